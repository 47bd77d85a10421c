// tests/toolbars/BarToolbarTest.cpp: the toolbar and the menu bar on a shown form: Alt, F10 and
// Alt+letter through the form's own key handling, accelerators of plain toolbars, application-wide
// shortcuts, hosted controls, the chevron, placement facts, floating sizes and sizing, position data.
#include "tests/toolbars/BarFixture.h"
#include "tests/toolbars/ToolbarFixture.h"

#include "vcl/StdCtrls.h"

#include <fstream>
#include <map>

using namespace bars_test;

namespace {

// A toolbar whose measurements can be made to fail.
class TFailingItem : public TFixedItem {
public:
    using TFixedItem::TFixedItem;
    TBarItemViewerClass GetItemViewerClass(TBarView*) override;
    static inline bool Fail = false;
};
class TFailingViewer : public TFixedViewer {
public:
    using TFixedViewer::TFixedViewer;
    void MeasureSize(vcl::TCanvas* C, int& W, int& H) override {
        if (TFailingItem::Fail) throw rtl::Exception(QStringLiteral("measure"));
        TFixedViewer::MeasureSize(C, W, H);
    }
};
TBarItemViewerClass TFailingItem::GetItemViewerClass(TBarView*) { return TBarItemViewerClass::Of<TFailingViewer>(); }

// ---- the menu bar with real keys ----

TEST(MenuBar, AltPressedAndReleasedSelectsTheFirstItemAndShowsUnderlinesWhileDown) {
    MenuBarFixture f;
    TwInputKey(VK_MENU, TRUE, FALSE, nullptr, FALSE);
    f.h.Pump();
    EXPECT_TRUE(f.Underlined());
    bool modal = false;
    TBarCustomItem* selected = nullptr;
    f.Then([&] {
        modal = f.bar->View()->State.Contains(vsModal);
        selected = f.SelectedItem();
        Key(VK_ESCAPE);
    });
    TwInputKey(VK_MENU, FALSE, FALSE, nullptr, FALSE);
    f.h.Pump();
    EXPECT_TRUE(modal);
    EXPECT_EQ(selected, f.file);
    EXPECT_FALSE(f.bar->View()->State.Contains(vsModal));
    EXPECT_FALSE(f.Underlined());
    EXPECT_TRUE(f.clicks.empty());
}

TEST(MenuBar, AltThenFThenReturnRunsConvertOnceAfterTheLoop) {
    for (const UINT opener : {UINT(VK_MENU), UINT(VK_F10)}) {
        MenuBarFixture f;
        bool fileOpen = false;
        f.Then([&] { Key('F', u"f"); });
        f.Then([&] {
            fileOpen = PopupOf(f.file) != nullptr;
            EXPECT_TRUE(f.clicks.empty());
            Key(VK_RETURN);
        });
        Key(opener);
        f.h.Pump();
        EXPECT_TRUE(fileOpen) << opener;
        EXPECT_EQ(f.clicks, std::vector<std::string>{"&Convert"}) << opener;
    }
}

TEST(MenuBar, RightArrowMovesTheOpenMenuAcross) {
    MenuBarFixture f;
    bool editOpen = false, fileOpen = true;
    f.Then([&] { Key(VK_DOWN); });   // opens File
    f.Then([&] { Key(VK_RIGHT); });  // to Edit, opened
    f.Then([&] {
        editOpen = PopupOf(f.edit) != nullptr;
        fileOpen = PopupOf(f.file) != nullptr;
        Key(VK_ESCAPE);
        Key(VK_ESCAPE);
    });
    Key(VK_MENU);
    f.h.Pump();
    EXPECT_TRUE(editOpen);
    EXPECT_FALSE(fileOpen);
}

// ---- Alt+letter as the system command ----

struct KeyMenuCase {
    const char* name;
    char16_t key;
    bool captured;
    LRESULT result;
    int loop;  // 0 none, 1 selects without opening, 2 opens Edit
    int beeps;
};
std::ostream& operator<<(std::ostream& os, const KeyMenuCase& c) { return os << c.name; }
class AltLetter : public ::testing::TestWithParam<KeyMenuCase> {};

TEST_P(AltLetter, OnTheMenuBar) {
    const KeyMenuCase c = GetParam();
    MenuBarFixture f;
    TBarCustomItem* selected = nullptr;
    bool editOpen = false;
    if (c.loop)
        f.Then([&] {
            selected = f.SelectedItem();
            editOpen = PopupOf(f.edit) != nullptr;
            Key(VK_ESCAPE);
            Key(VK_ESCAPE);
        });
    if (c.captured) SetCapture(f.form->Handle());
    EXPECT_EQ(f.KeyMenu(c.key), c.result);
    if (c.captured) ReleaseCapture();
    f.h.Pump();
    EXPECT_EQ(selected, c.loop == 1 ? f.tools : c.loop == 2 ? f.edit : nullptr);
    EXPECT_EQ(editOpen, c.loop == 2);
    EXPECT_EQ(Recorded::Count("MessageBeep 0"), c.beeps);
    EXPECT_FALSE(f.Underlined());  // never left underlined, refused or not
    EXPECT_TRUE(f.clicks.empty()) << (f.clicks.empty() ? "" : f.clicks[0]);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, AltLetter,
    ::testing::Values(KeyMenuCase{"unique opens at once", u'e', false, 1, 2, 0},
                      KeyMenuCase{"shared selects the first", u't', false, 1, 1, 0},
                      KeyMenuCase{"no match beeps", u'z', false, 1, 0, 1},
                      KeyMenuCase{"minus is left to the system", u'-', false, 0, 0, 0},
                      KeyMenuCase{"space is never taken", u' ', false, 0, 0, 0},
                      KeyMenuCase{"a capture holds it off", u'e', true, 0, 0, 0}),
    [](const auto& info) { return std::to_string(info.index); });

TEST(MenuBar, AltLetterThroughTheFormReachesTheBar) {
    MenuBarFixture f;
    bool editOpen = false;
    f.Then([&] {
        editOpen = PopupOf(f.edit) != nullptr;
        Key(VK_ESCAPE);
        Key(VK_ESCAPE);
    });
    f.h.Keys('E', {VK_MENU});
    EXPECT_TRUE(editOpen);
}

TEST(MenuBar, ADisabledMatchIsRefusedAndNotLeftUnderlined) {
    MenuBarFixture f;
    f.edit->SetEnabled(false);
    EXPECT_FALSE(f.bar->KeyboardOpen(u'e', false));
    EXPECT_FALSE(f.Underlined());
    EXPECT_FALSE(f.bar->View()->State.Contains(vsModal));
}

TEST(MenuBar, SettingItAtRunTimeSetsTheBarUpWhileLoadingLeavesTheStreamedValues) {
    MenuFixture f;
    auto* bar = new TBarCustomToolbar(f.form);
    EXPECT_TRUE(bar->CloseButton());
    bar->SetMenuBar(true);
    EXPECT_TRUE(bar->FullSize());
    EXPECT_EQ(bar->ShrinkMode(), tbsmWrap);
    EXPECT_FALSE(bar->CloseButton());
    EXPECT_TRUE(bar->ProcessShortCuts());
    EXPECT_TRUE(bar->ControlStyle().Contains(vcl::csMenuEvents));
    EXPECT_TRUE(bar->MainWindowHookInstalled());
    bar->SetMenuBar(false);
    EXPECT_FALSE(bar->FullSize());
    EXPECT_EQ(bar->ShrinkMode(), tbsmChevron);
    EXPECT_TRUE(bar->CloseButton());
    EXPECT_FALSE(bar->ProcessShortCuts());
    EXPECT_FALSE(bar->MainWindowHookInstalled());

    auto* loaded = new TBarCustomToolbar(f.form);
    loaded->BeginLoading();
    loaded->SetMenuBar(true);
    loaded->EndLoading();
    EXPECT_FALSE(loaded->FullSize());
    EXPECT_EQ(loaded->ShrinkMode(), tbsmChevron);
    EXPECT_TRUE(loaded->CloseButton());
    EXPECT_FALSE(loaded->ProcessShortCuts());
    EXPECT_TRUE(loaded->MainWindowHookInstalled());  // a menu bar hears the system commands all the same
    delete loaded;
    delete bar;
}

// ---- plain toolbars ----

struct PlainBarFixture : MenuFixture {
    TBarCustomToolbar* bar;
    TPlainItem *alpha, *beta, *bravo;
    PlainBarFixture() {
        bar = new TBarCustomToolbar(form);
        alpha = Add(u"&Alpha", bar->Items());
        beta = Add(u"&Beta", bar->Items());
        bravo = Add(u"&Bravo", bar->Items());
        bar->SetParent(form);
        bar->SetBounds(10, 10, 200, 24);
        h.Pump();
    }
};

TEST(PlainToolbar, AUniqueAcceleratorRunsItsItemASharedOneFallsThrough) {
    PlainBarFixture f;
    EXPECT_EQ(f.bar->Perform(vcl::CM_DIALOGCHAR, WPARAM(u'b'), LPARAM(0)), 0);
    EXPECT_EQ(f.bar->Perform(vcl::CM_DIALOGCHAR, WPARAM(u'a'), LPARAM(0)), 1);
    f.h.Pump();
    EXPECT_EQ(f.clicks, std::vector<std::string>{"&Alpha"});
    // A menu bar takes no accelerators this way.
    f.bar->SetMenuBar(true);
    EXPECT_EQ(f.bar->Perform(vcl::CM_DIALOGCHAR, WPARAM(u'a'), LPARAM(0)), 0);
}

TEST(PlainToolbar, AClickRunsTheItemOnceAndAPressBesideItDoesNot) {
    PlainBarFixture f;
    f.bar->View()->ValidatePositions();
    const TRect r = f.bar->View()->Find(f.beta)->BoundsRect();
    POINT p{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    ClientToScreen(f.bar->Handle(), &p);
    f.Then([&] { Release(p); });
    MoveTo(p);
    Press(p);
    f.h.Pump();
    EXPECT_EQ(f.clicks, std::vector<std::string>{"&Beta"});
    EXPECT_FALSE(f.bar->View()->State.Contains(vsModal));
}

// ---- shortcuts ----

struct ShortCutFixture : MenuFixture {
    TBarCustomToolbar *mainBar, *otherBar;
    TPlainItem *mainE, *otherE, *otherQ;
    vcl::TForm* other;
    ShortCutFixture() {
        mainBar = Bar(form, &mainE);
        other = h.Create<vcl::TForm>();
        other->SetBounds(200, 200, 300, 200);
        otherBar = Bar(other, &otherE);
        otherQ = Add(u"Quit", otherBar->Items());
        otherQ->SetShortCut(vcl::ShortCut('Q', vcl::TShiftState{vcl::ssCtrl}));
        other->Show();
        h.Pump();
    }
    TBarCustomToolbar* Bar(vcl::TForm* owner, TPlainItem** e) {
        auto* bar = new TBarCustomToolbar(owner);
        bar->SetProcessShortCuts(true);
        *e = Add(owner == form ? u"Main E" : u"Other E", bar->Items());
        (*e)->SetShortCut(vcl::ShortCut('E', vcl::TShiftState{vcl::ssCtrl}));
        bar->SetParent(owner);
        return bar;
    }
};

TEST(ToolbarShortCuts, TheActiveFormsToolbarsFirstThenTheMainForms) {
    ShortCutFixture f;
    f.h.Keys('E', {VK_CONTROL});
    EXPECT_EQ(f.clicks, std::vector<std::string>{"Other E"});
    // A key only the main form's bar has reaches it from the other form.
    f.clicks.clear();
    f.otherE->SetShortCut(0);
    f.h.Keys('E', {VK_CONTROL});
    EXPECT_EQ(f.clicks, std::vector<std::string>{"Main E"});
}

TEST(ToolbarShortCuts, OnShortCutLooksFirstAndADisabledFormIsRefused) {
    ShortCutFixture f;
    int seen = 0;
    f.otherBar->OnShortCut = [&](vcl::TWMKey& key, bool& handled) {
        if (key.CharCode() != 'Q') return;
        ++seen;
        handled = true;
    };
    f.h.Keys('Q', {VK_CONTROL});
    EXPECT_EQ(seen, 1);
    EXPECT_TRUE(f.clicks.empty());
    f.otherBar->OnShortCut = nullptr;
    f.otherQ->SetShortCut(VK_F7);
    vcl::TMessage key{};
    key.Msg = WM_KEYDOWN;
    key.WParam = VK_F7;
    EnableWindow(f.other->Handle(), FALSE);
    EXPECT_FALSE(ProcessToolbarShortCuts(f.other, vcl::MessageAs<vcl::TWMKey>(key)));
    EnableWindow(f.other->Handle(), TRUE);
    EXPECT_TRUE(ProcessToolbarShortCuts(f.other, vcl::MessageAs<vcl::TWMKey>(key)));
    EXPECT_FALSE(ProcessToolbarShortCuts(f.form, vcl::MessageAs<vcl::TWMKey>(key)));  // not the main form's bar
    f.h.Pump();
    EXPECT_EQ(f.clicks, std::vector<std::string>{"Quit"});
}

TEST(ToolbarShortCuts, TheHookGoesWithTheLastToolbarThatNeedsIt) {
    ShortCutFixture f;
    EXPECT_EQ(ShortCutToolbars().size(), 2u);
    f.mainBar->SetProcessShortCuts(false);
    EXPECT_EQ(ShortCutToolbars().size(), 1u);
    delete f.otherBar;
    EXPECT_TRUE(ShortCutToolbars().empty());
    // Without the hook the application's window no longer takes the key.
    f.mainBar->SetProcessShortCuts(false);
    EXPECT_EQ(SendMessageW(vcl::Application->Handle(), vcl::CM_APPKEYDOWN, 'E', 0), 0);
}

// ---- hosted controls ----

TEST(HostedControls, AControlGetsAWrapperAndLeavingFreesOnlyTheWrapper) {
    MenuFixture f;
    auto* bar = new TBarCustomToolbar(f.form);
    bar->SetParent(f.form);
    auto* edit = new vcl::TEdit(f.form);
    edit->SetParent(bar);
    ASSERT_EQ(bar->Items()->Count(), 1);
    auto* wrapper = dynamic_cast<TBarControlItem*>(bar->Items()->GetItem(0));
    ASSERT_NE(wrapper, nullptr);
    EXPECT_EQ(wrapper->Control(), edit);
    EXPECT_EQ(wrapper->Owner(), f.form);
    edit->SetParent(f.form);
    EXPECT_EQ(bar->Items()->Count(), 0);
    EXPECT_EQ(edit->Parent(), f.form);  // the control survives
    delete bar;
}

TEST(HostedControls, WrappersAreNamedInTurnAtDesignTime) {
    MenuFixture f;
    auto* bar = new TBarCustomToolbar(f.form);
    auto* taken = new TPlainItem(f.form);
    taken->SetName(QStringLiteral("BarControlItem1"));
    bar->SetDesigning(true);
    bar->SetParent(f.form);
    auto* a = new vcl::TEdit(f.form);
    a->SetParent(bar);
    auto* b = new vcl::TEdit(f.form);
    b->SetParent(bar);
    ASSERT_EQ(bar->Items()->Count(), 2);
    EXPECT_EQ(bar->Items()->GetItem(0)->Name(), QStringLiteral("BarControlItem2"));
    EXPECT_EQ(bar->Items()->GetItem(1)->Name(), QStringLiteral("BarControlItem3"));
    delete bar;
    delete taken;
}

// ---- docked: chevron, placement, tab order ----

struct DockedBarFixture : MenuFixture {
    TBarDock* dock;
    TBarCustomToolbar* bar;
    std::vector<TPlainItem*> items;
    explicit DockedBarFixture(int count = 6, TBarDockPosition pos = dpTop) {
        dock = new TBarDock(form);
        dock->SetPosition(pos);
        dock->SetParent(form);
        bar = new TBarCustomToolbar(form);
        bar->SetName(QStringLiteral("Tools"));
        for (int i = 0; i < count; ++i) {
            const std::u16string caption = u"Item" + std::u16string(1, char16_t(u'A' + i));
            items.push_back(Add(caption.c_str(), bar->Items()));
        }
        bar->SetParent(dock);
        h.Pump();
    }
    // Gives the bar a length on its dock, as the dock does when the row is too short.
    void Squeeze(int length) {
        if (dock->Vertical())
            form->SetClientHeight(length);
        else
            form->SetClientWidth(length);
        h.Pump();
    }
    std::vector<TBarCustomItem*> Hidden() {
        std::vector<TBarCustomItem*> out;
        for (TPlainItem* i : items)
            if (!bar->View()->Find(i)->Show()) out.push_back(i);
        return out;
    }
};

TEST(Chevron, EnabledOnlyWithHiddenItemsAndItsPopupShowsExactlyThem) {
    DockedBarFixture f;
    EXPECT_TRUE(f.Hidden().empty());
    f.Squeeze(f.bar->Width() / 2);
    const std::vector<TBarCustomItem*> hidden = f.Hidden();
    ASSERT_FALSE(hidden.empty());
    EXPECT_TRUE(f.bar->ChevronItem()->Enabled());
    EXPECT_TRUE(f.bar->View()->Find(f.bar->ChevronItem())->Show());
    std::vector<TBarCustomItem*> shown;
    f.Then([&] {
        if (TBarPopupWindow* w = f.bar->View()->OpenViewerWindow())
            for (int i = 0; i < w->View()->ViewerCount(); ++i)
                if (w->View()->GetViewer(i)->Show()) shown.push_back(w->View()->GetViewer(i)->Item());
        // Running a hidden item gives it its place back.
        Key(VK_RETURN);
    });
    f.bar->View()->SetSelected(f.bar->View()->Find(f.bar->ChevronItem()));
    f.bar->View()->EnterToolbarLoop({tbetExecuteSelected});
    f.h.Pump();
    EXPECT_EQ(shown, hidden);
    ASSERT_EQ(f.clicks.size(), 1u);
    EXPECT_EQ(f.clicks[0], hidden.front()->Caption().toStdString());
    f.dock->ArrangeToolbars();
    EXPECT_TRUE(f.bar->View()->Find(hidden.front())->Show());
}

TEST(Chevron, DisabledWhenEverythingFits) {
    DockedBarFixture f(2);
    f.Squeeze(600);
    EXPECT_TRUE(f.Hidden().empty());
    EXPECT_FALSE(f.bar->View()->Find(f.bar->ChevronItem())->Show() && f.bar->ChevronItem()->Enabled());
}

// The menu-bar mode switched on a dock too short for the items: they wrap into rows, and when the mode
// ends they are laid out again in one row with the chevron, not left in the rows the wrapping made.
TEST(Chevron, WrappingAndTheChevronFollowTheMenuBarModeOnAShortDock) {
    DockedBarFixture f;
    f.Squeeze(150); // six items of about 48 pixels
    TBarView* v = f.bar->View();
    const auto lowestShown = [&] {
        int bottom = 0;
        for (int i = 0; i < v->ViewerCount(); ++i)
            if (v->GetViewer(i)->Show()) bottom = std::max(bottom, v->GetViewer(i)->BoundsRect().Bottom);
        return bottom;
    };
    f.bar->SetMenuBar(true);
    f.h.Pump();
    EXPECT_GT(v->WrapOffset(), 0);
    EXPECT_TRUE(f.Hidden().empty());
    EXPECT_GT(f.bar->ClientRect().Bottom, 40) << "six items in at least two rows";
    f.bar->SetMenuBar(false);
    f.h.Pump();
    EXPECT_EQ(v->WrapOffset(), 0);
    EXPECT_GT(v->ChevronOffset(), 0);
    EXPECT_LE(lowestShown(), f.bar->ClientRect().Bottom);
    EXPECT_FALSE(f.Hidden().empty());
    EXPECT_TRUE(v->Find(f.bar->ChevronItem())->Show());
}

struct PlacementCase {
    const char* name;
    int where;  // 0 top dock, 1 left dock, 2 floating, 3 on the form
    TBarShrinkMode mode;
    TBarViewOrientation orientation;
    bool wrapIsDockLength;
    bool chevronIsCurrentSize;
};
std::ostream& operator<<(std::ostream& os, const PlacementCase& c) { return os << c.name; }
class ToolbarPlacement : public ::testing::TestWithParam<PlacementCase> {};

TEST_P(ToolbarPlacement, TheViewGetsItsOrientationAndOffsets) {
    const PlacementCase c = GetParam();
    DockedBarFixture f(6, c.where == 1 ? dpLeft : dpTop);
    f.bar->SetShrinkMode(c.mode);
    if (c.where == 2) {
        f.bar->SetFloatingWidth(90);
        f.bar->SetFloating(true);
    } else if (c.where == 3) {
        f.bar->SetParent(f.form);
        f.bar->SetAnchors({vcl::akLeft, vcl::akTop, vcl::akRight});
        f.bar->SetBounds(0, 0, 80, 30);
    } else
        f.Squeeze(70);
    f.bar->UpdateViewProperties();
    TBarView* v = f.bar->View();
    EXPECT_EQ(v->Orientation(), c.orientation);
    EXPECT_EQ(v->ChevronSize(), 12);
    if (c.where == 2) {
        EXPECT_EQ(v->WrapOffset(), 90);
        EXPECT_EQ(v->ChevronOffset(), 0);
        return;
    }
    if (c.where == 3) {
        const int room = f.bar->Width() - f.bar->NonClientWidth();
        EXPECT_EQ(v->ChevronOffset(), c.mode == tbsmChevron ? room : 0);
        EXPECT_EQ(v->WrapOffset(), c.mode == tbsmWrap ? room : 0);
        return;
    }
    const bool vertical = c.where == 1;
    const int dockLength = vertical ? f.dock->Height() - f.dock->NonClientHeight() - f.bar->NonClientHeight()
                                    : f.dock->Width() - f.dock->NonClientWidth() - f.bar->NonClientWidth();
    EXPECT_EQ(f.bar->GetWrapOffset(f.dock), c.wrapIsDockLength ? dockLength : 0);
    EXPECT_EQ(f.bar->GetChevronOffset(nullptr, v->Orientation()), 0);  // another dock
    if (!c.chevronIsCurrentSize) {
        EXPECT_EQ(f.bar->GetChevronOffset(f.dock, v->Orientation()), 0);
    } else {
        // The dock hands the bar a length while it arranges; the offset follows from it.
        EXPECT_TRUE(f.bar->ChevronItem()->Enabled());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ToolbarPlacement,
    ::testing::Values(PlacementCase{"top dock chevron", 0, tbsmChevron, tbvoHorizontal, false, true},
                      PlacementCase{"top dock wrap", 0, tbsmWrap, tbvoHorizontal, true, false},
                      PlacementCase{"left dock chevron", 1, tbsmChevron, tbvoVertical, false, true},
                      PlacementCase{"left dock wrap", 1, tbsmWrap, tbvoVertical, true, false},
                      PlacementCase{"floating", 2, tbsmChevron, tbvoFloating, false, false},
                      PlacementCase{"on the form chevron", 3, tbsmChevron, tbvoHorizontal, false, false},
                      PlacementCase{"on the form wrap", 3, tbsmWrap, tbvoHorizontal, false, false}),
    [](const auto& info) { return std::to_string(info.index); });

TEST(HostedControls, AControlOffTheEdgeLeavesTheTabOrder) {
    DockedBarFixture f(4);
    f.bar->SetChevronPriorityForNewItems(tbcpLowest);
    auto* edit = new vcl::TEdit(f.form);
    edit->SetWidth(80);
    edit->SetParent(f.bar);
    f.h.Pump();
    std::vector<vcl::TWinControl*> list;
    f.bar->GetTabOrderList(list);
    EXPECT_NE(std::find(list.begin(), list.end(), edit), list.end());
    // Squeezed, the control, the newest item at the lowest priority, goes behind the chevron first.
    f.Squeeze(80);
    ASSERT_TRUE(f.bar->View()->Find(f.bar->Items()->GetItem(4))->OffEdge());
    list.clear();
    f.bar->GetTabOrderList(list);
    EXPECT_EQ(std::find(list.begin(), list.end(), edit), list.end());
}

// ---- floating ----

struct FloatingFixture : MenuFixture {
    std::unique_ptr<TBarDock> unused;
    TBarCustomToolbar* bar;
    explicit FloatingFixture(int count = 8) {
        bar = new TBarCustomToolbar(form);
        bar->SetName(QStringLiteral("Floater"));
        for (int i = 0; i < count; ++i) bar->Items()->Add(new TFailingItem(form, 30, 20));
        bar->SetParent(form);
        bar->SetFloating(true);
        h.Pump();
    }
};

TEST(FloatingSizes, OneSizePerLineCountEachTheNarrowest) {
    FloatingFixture f(8);
    std::vector<TPoint> sizes;
    f.bar->ListFloatingSizes(sizes);
    // 8 buttons of 30 in a floating view with 4-pixel margins: 1, 2, 3, 4 and 8 lines.
    ASSERT_GE(sizes.size(), 4u);
    EXPECT_EQ(sizes[0], TPoint(8 * 30 + 8, 20 + 3));
    int lines = 1;
    for (size_t i = 1; i < sizes.size(); ++i) {
        EXPECT_LT(sizes[i].X, sizes[i - 1].X);
        EXPECT_GT(sizes[i].Y, sizes[i - 1].Y);
        // The narrowest: at its width the lines are more than before, one pixel less gives more still.
        f.bar->SetFloatingWidth(sizes[i].X);
        f.bar->ArrangeContents(false, dkFloating, true, nullptr);
        EXPECT_GT(f.bar->LastWrappedLines(), lines);
        lines = f.bar->LastWrappedLines();
        f.bar->SetFloatingWidth(sizes[i].X - 1);
        f.bar->ArrangeContents(false, dkFloating, true, nullptr);
        if (i + 1 < sizes.size()) {
            EXPECT_GT(f.bar->LastWrappedLines(), lines);
        }
    }
    f.bar->SetFloatingWidth(0);
    EXPECT_EQ(sizes[1], TPoint(4 * 30 + 8, 2 * 20 + 3));
    EXPECT_EQ(sizes.back().X, 30 + 8);
    EXPECT_EQ(f.bar->FloatingWidth(), 0);
}

TEST(FloatingSizes, WidthZeroIsOneRowAndAFailedMeasurementRestoresTheWidth) {
    FloatingFixture f(4);
    EXPECT_EQ(f.bar->LastWrappedLines(), 1);
    f.bar->SetFloatingWidth(70);
    TFailingItem::Fail = true;
    std::vector<TPoint> sizes;
    EXPECT_THROW(f.bar->ListFloatingSizes(sizes), rtl::Exception);
    TFailingItem::Fail = false;
    EXPECT_EQ(f.bar->FloatingWidth(), 70);
}

TEST(FloatingSizes, SizingByTheRightEdgeSnapsWithADeadZone) {
    FloatingFixture f(8);
    f.bar->SetFloatingWidth(0);
    f.h.Pump();
    RECT frame;
    GetWindowRect(f.bar->FloatParent()->Handle(), &frame);
    const TRect orig(frame);
    f.bar->SizingStarted(twshRight);
    const TToolbarSizeData* d = f.bar->SizeData();
    ASSERT_NE(d, nullptr);
    ASSERT_GE(d->NewSizes.size(), 2u);
    EXPECT_EQ(TPoint(d->OrigWidth, d->OrigHeight), d->NewSizes[0]);  // the one-row size
    EXPECT_EQ(d->DistanceToLargerSize, 0);
    EXPECT_EQ(d->DistanceToSmallerSize, 12);
    // Within the dead zone nothing changes.
    TRect r = orig;
    r.Right -= 11;
    f.bar->SizingTracked(r, orig);
    EXPECT_EQ(r, orig);
    // Beyond it the width snaps to the next listed size, two lines.
    r = orig;
    r.Right -= 13;
    f.bar->SizingTracked(r, orig);
    EXPECT_EQ(r.Width(), d->NewSizes[1].X);
    EXPECT_EQ(r.Height(), d->NewSizes[1].Y);
    const int twoLines = d->CurRightX;
    EXPECT_GT(twoLines, 0);
    f.bar->SizingAccepted();
    f.bar->SizingEnded();
    EXPECT_EQ(f.bar->SizeData(), nullptr);
    EXPECT_EQ(f.bar->FloatingWidth(), twoLines);
    f.h.Pump();
    EXPECT_EQ(f.bar->ClientHeight(), 2 * 20 + 3);
}

// ---- position data and the chevron's hint ----

TEST(Toolbar, FloatRightXIsReadAndWritten) {
    FloatingFixture f(4);
    f.bar->SetFloatingWidth(77);
    std::vector<std::string> written;
    TBarWritePositionData w;
    w.WriteIntProc = [&](const String& bar, const String& name, int value, void*) {
        written.push_back(bar.toStdString() + "." + name.toStdString() + "=" + std::to_string(value));
    };
    f.bar->WritePositionData(w);
    EXPECT_EQ(written, std::vector<std::string>{"Floater.FloatRightX=77"});
    TBarReadPositionData r;
    r.ReadIntProc = [](const String&, const String& name, int def, void*) {
        return name == QStringLiteral("FloatRightX") ? 55 : def;
    };
    f.bar->ReadPositionData(r);
    EXPECT_EQ(f.bar->FloatingWidth(), 55);
}

TEST(Toolbar, ChevronHintGivesTheCaptionAndIsStoredOnlyWhenChanged) {
    MenuFixture f;
    auto* bar = new TBarCustomToolbar(f.form);
    EXPECT_EQ(bar->ChevronHint(), QStringLiteral("More Buttons|"));
    EXPECT_EQ(bar->ChevronItem()->Caption(), QStringLiteral("More Buttons"));
    EXPECT_FALSE(bar->IsChevronHintStored());
    bar->SetChevronHint(QStringLiteral("Tools & more|Everything else"));
    EXPECT_EQ(bar->ChevronItem()->Caption(), QStringLiteral("Tools && more"));
    EXPECT_TRUE(bar->IsChevronHintStored());
    delete bar;
}

// ---- the chevron's glyph ----

TEST(Chevron, GlyphIsPaintedFromThePatternAndDisabledTwice) {
    MenuFixture f;
    auto* bar = new TBarCustomToolbar(f.form);
    TBarChevronItemViewer viewer(bar->View(), bar->ChevronItem(), 0);
    auto paint = [&](bool enabled) {
        bar->ChevronItem()->SetEnabled(enabled);
        vcl::TBitmap bmp;
        bmp.SetSize(12, 16);
        bmp.Canvas()->Brush()->SetColor(vcl::clGreen);
        bmp.Canvas()->FillRect(TRect(0, 0, 12, 16));
        viewer.Paint(bmp.Canvas(), TRect(0, 0, 12, 16), false, false, false);
        std::vector<std::string> rows;
        for (int y = 4; y < 10; ++y) {
            std::string row;
            for (int x = 2; x < 10; ++x) {
                const COLORREF c = GetPixel(bmp.Canvas()->Handle(), x, y);
                row += c == GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_BTNSHADOW) ? '#'
                       : c == GetSysColor(COLOR_BTNHIGHLIGHT)                      ? 'h'
                                                                                   : '.';
            }
            rows.push_back(row);
        }
        return rows;
    };
    EXPECT_EQ(paint(true), (std::vector<std::string>{"##..##..", ".##..##.", "..##..##", ".##..##.", "##..##..",
                                                     "........"}));
    // Disabled: the highlight one pixel lower, then the shadow over it in place.
    EXPECT_EQ(paint(false), (std::vector<std::string>{"##..##..", "h##.h##.", ".h##.h##", ".##h.##h", "##h.##h.",
                                                      "hh..hh.."}));
    delete bar;
}

namespace {

// A table of the platform's drawing oracle: "W H", then H rows of W 0x00RRGGBB pixels.
std::vector<uint32_t> GdiOracleTable(const std::string& name, int& w, int& h) {
    std::ifstream in(TW_TOOLBARS_TEST_DIR "/../platform/win/oracle/tables/" + name + ".txt");
    std::vector<uint32_t> px;
    if (!(in >> w >> h)) return px;
    px.resize(size_t(w) * size_t(h));
    for (uint32_t& v : px)
        if (!(in >> std::hex >> v)) return {};
    return px;
}

} // namespace

TEST(Chevron, PaintsAsTheRealPlatformDrawsTheSameButton) {
    MenuFixture f;  // before the colours: it starts the platform afresh
    // The real platform's colours for the ones the chevron and its edges use, for the test's length.
    int cw = 0, ch = 0;
    const std::vector<uint32_t> colours = GdiOracleTable("sys_colours", cw, ch);
    ASSERT_EQ(colours.size(), 31u);
    const INT used[] = {COLOR_BTNFACE, COLOR_BTNTEXT, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT, COLOR_3DLIGHT, COLOR_3DDKSHADOW};
    COLORREF theirs[std::size(used)], ours[std::size(used)];
    for (size_t i = 0; i < std::size(used); ++i) {
        ours[i] = GetSysColor(used[i]);
        const uint32_t v = colours[size_t(used[i])];
        theirs[i] = RGB(v >> 16 & 0xFF, v >> 8 & 0xFF, v & 0xFF);
    }
    SetSysColors(int(std::size(used)), used, theirs);
    struct Case {
        const char* table;
        bool selected, pushed, enabled;
        TBarViewOrientation orientation;
    };
    auto* bar = new TBarCustomToolbar(f.form);
    TBarChevronItemViewer viewer(bar->View(), bar->ChevronItem(), 0);
    for (const Case& c : {Case{"chevron", false, false, true, tbvoHorizontal},
                          Case{"chevron_hot", true, false, true, tbvoHorizontal},
                          Case{"chevron_pushed", false, true, true, tbvoHorizontal},
                          Case{"chevron_disabled", false, false, false, tbvoHorizontal},
                          Case{"chevron_vertical", false, false, true, tbvoVertical}}) {
        SCOPED_TRACE(c.table);
        int w = 0, h = 0;
        const std::vector<uint32_t> want = GdiOracleTable(c.table, w, h);
        ASSERT_FALSE(want.empty());
        bar->ChevronItem()->SetEnabled(c.enabled);
        bar->View()->SetOrientation(c.orientation);
        vcl::TBitmap bmp;
        bmp.SetSize(w, h);
        bmp.Canvas()->Brush()->SetColor(vcl::clGreen);
        bmp.Canvas()->FillRect(TRect(0, 0, w, h));
        viewer.Paint(bmp.Canvas(), TRect(0, 0, w, h), c.selected, c.pushed, false);
        std::string wanted, got;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const COLORREF p = GetPixel(bmp.Canvas()->Handle(), x, y);
                const uint32_t rgb = uint32_t(GetRValue(p)) << 16 | uint32_t(GetGValue(p)) << 8 | GetBValue(p);
                const uint32_t v = want[size_t(y * w + x)];
                // One letter per colour, the same in both pictures, so a failure shows where.
                auto letter = [](uint32_t px) {
                    return px == 0x008000 ? '.' : px == 0 ? '#' : px == 0xFFFFFF ? 'w' : 'o';
                };
                wanted += letter(v);
                got += v == rgb ? letter(rgb) : '!';
            }
            wanted += '\n';
            got += '\n';
        }
        EXPECT_EQ(got, wanted);
    }
    delete bar;
    SetSysColors(int(std::size(used)), used, ours);
}

// ---- the services the main window uses, on a menu bar, a docked toolbar and a popup menu ----

TEST(MainWindowServices, CaptionHintVisibleEnabledCheckedImagesActionAndOnPopup) {
    MenuBarFixture f;
    auto* tools = new TBarCustomToolbar(f.form);
    TPlainItem* convertButton = f.Add(u"Convert", tools->Items());
    TPlainItem* stayOnTop = f.Add(u"Top", tools->Items());
    TPlainItem* other = f.Add(u"Other", tools->Items());
    tools->SetParent(f.dock);
    f.h.Pump();
    TBarView* view = tools->View();
    auto width = [&](TBarCustomItem* i) {
        view->ValidatePositions();
        return view->Find(i)->BoundsRect().Width();
    };

    // Images: a list on the toolbar gives its buttons room for a picture; nil takes it away again.
    vcl::TImageList images(nullptr, 16, 16);
    convertButton->SetImageIndex(0);
    const int plain = width(convertButton);
    tools->SetImages(&images);
    EXPECT_EQ(view->Find(convertButton)->EffectiveImages(), &images);
    EXPECT_GT(width(convertButton), plain);
    tools->SetImages(nullptr);
    EXPECT_EQ(view->Find(convertButton)->EffectiveImages(), nullptr);
    EXPECT_EQ(width(convertButton), plain);
    f.menu->SetImages(&images);
    EXPECT_EQ(f.menu->Items()->SubMenuImages(), &images);
    f.bar->SetImages(&images);
    EXPECT_EQ(f.bar->View()->Find(f.file)->EffectiveImages(), &images);
    f.bar->SetImages(nullptr);
    f.menu->SetImages(nullptr);

    // Caption re-measures (a button without a picture shows it); Hint is stored as it is; Visible lays
    // out again.
    convertButton->SetImageIndex(-1);
    const int captioned = width(convertButton);
    convertButton->SetCaption(QStringLiteral("Convert all files"));
    EXPECT_GT(width(convertButton), captioned);
    convertButton->SetCaption(QString());
    EXPECT_LT(width(convertButton), captioned);
    stayOnTop->SetHint(QStringLiteral("Stay on top|Keeps the window above the others"));
    EXPECT_EQ(stayOnTop->Hint(), QStringLiteral("Stay on top|Keeps the window above the others"));
    other->SetVisible(false);
    view->ValidatePositions();
    EXPECT_FALSE(view->Find(other)->Show());
    other->SetVisible(true);
    view->ValidatePositions();
    EXPECT_TRUE(view->Find(other)->Show());

    // Checked in a group unchecks the others of the group.
    stayOnTop->SetGroupIndex(1);
    other->SetGroupIndex(1);
    other->SetChecked(true);
    stayOnTop->SetChecked(true);
    EXPECT_FALSE(other->Checked());

    // Action: caption, enabled state and the click come from the action.
    vcl::TAction action(f.form);
    action.SetCaption(QStringLiteral("&Convert"));
    int executed = 0;
    action.SetOnExecute([&](rtl::TObject*) { ++executed; });
    f.convert->SetAction(&action);
    EXPECT_EQ(f.convert->Caption(), QStringLiteral("&Convert"));
    action.SetEnabled(false);
    EXPECT_FALSE(f.convert->Enabled());
    action.SetEnabled(true);

    // OnPopup of a submenu runs when the menu bar opens it; Enter then runs the action once.
    int popups = 0;
    f.file->OnPopup = [&](TBarCustomItem*, bool) { ++popups; };
    f.Then([] { Key('F', u"f"); });
    f.Then([] { Key(VK_RETURN); });
    Key(VK_MENU);
    f.h.Pump();
    EXPECT_EQ(popups, 1);
    EXPECT_EQ(executed, 1);
    f.convert->SetAction(nullptr);
}

// ---- against the window menu bar as Wine runs it (tests/platform/user32/oracle/traces/menubar_keys.txt,
// the same four menus on a window with SetMenu, from scripts/make-message-oracle.sh) ----

std::map<std::string, std::vector<std::string>> WineMenuBarSteps() {
    std::ifstream in(std::string(TW_TOOLBARS_TEST_DIR) + "/../platform/user32/oracle/traces/menubar_keys.txt");
    std::map<std::string, std::vector<std::string>> steps;
    std::string line, step;
    while (std::getline(in, line))
        if (line.rfind("> ", 0) == 0)
            step = line.substr(2);
        else if (!step.empty())
            steps[step].push_back(line);
    return steps;
}

bool Has(const std::vector<std::string>& lines, const std::string& text) {
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return l.find(text) != std::string::npos; });
}

TEST(MenuBarAgainstWine, TheSameKeysGiveTheSameOutcome) {
    auto wine = WineMenuBarSteps();
    ASSERT_FALSE(wine.empty());
    // Alt and F10 alone select the first item without opening it.
    for (const char* key : {"Alt", "F10"}) {
        ASSERT_TRUE(Has(wine[key], "WM_MENUSELECT id=0 flags=0x0090 menu=bar")) << key;
        EXPECT_FALSE(Has(wine[key], "WM_INITMENUPOPUP")) << key;
        MenuBarFixture f;
        TBarCustomItem* selected = nullptr;
        bool opened = true;
        f.Then([&] {
            selected = f.SelectedItem();
            opened = f.bar->View()->OpenViewer() != nullptr;
            Key(VK_ESCAPE);
        });
        Key(std::string(key) == "Alt" ? VK_MENU : VK_F10);
        f.h.Pump();
        EXPECT_EQ(selected, f.file) << key;
        EXPECT_FALSE(opened) << key;
    }
    // One match opens its menu; no match beeps (Wine asks the window with WM_MENUCHAR, then beeps).
    EXPECT_TRUE(Has(wine["Alt+E (one match)"], "WM_INITMENUPOPUP menu=edit"));
    EXPECT_TRUE(Has(wine["Alt+Z (none)"], "WM_MENUCHAR ch=122"));
    // Two matches: Wine opens the first (Tools); a menu bar of ours selects it without opening, as
    // asked of it. The keyboard menu's lParam is the character in both.
    EXPECT_TRUE(Has(wine["Alt+T (two matches)"], "WM_INITMENUPOPUP menu=tools"));
    EXPECT_TRUE(Has(wine["Alt+T (two matches)"], "WM_SYSCOMMAND cmd=0xf100 lp=0x74"));
    // Arrows move the open menu across: File, Edit, Tools; Escape closes a level each.
    const auto& across = wine["Alt then Down Right Right Escape Escape Escape"];
    std::vector<std::string> wineOpened;
    for (const std::string& l : across)
        if (auto at = l.find("WM_INITMENUPOPUP menu="); at != std::string::npos)
            wineOpened.push_back(l.substr(at + 22, l.find(' ', at + 22) - at - 22));
    EXPECT_EQ(wineOpened, (std::vector<std::string>{"file", "edit", "tools"}));
    {
        MenuBarFixture f;
        std::vector<std::string> opened;
        for (TPlainItem* i : {f.file, f.edit, f.tools, f.themes})
            i->OnPopup = [&opened, i](TBarCustomItem*, bool) {
                opened.push_back(StripAccelChars(i->Caption()).toLower().toStdString());
            };
        for (UINT k : {VK_DOWN, VK_RIGHT, VK_RIGHT, VK_ESCAPE, VK_ESCAPE, VK_ESCAPE}) f.Then([k] { Key(k); });
        Key(VK_MENU);
        f.h.Pump();
        EXPECT_EQ(opened, wineOpened);
        EXPECT_FALSE(f.bar->View()->State.Contains(vsModal));
    }
    // Alt, F, Return runs the first command once, after the loop.
    EXPECT_TRUE(Has(wine["Alt then F Return"], "WM_COMMAND id=1"));
}

} // namespace
