// tests/skins/SkBarsTest.cpp: the skinned dock and toolbar on a shown form: the menu bar's right-align
// spacer over dock lengths, menu-bar mode against customizing, display modes, the thickness cap, the
// position data, the drag-handle sizes, label clicks and rearranging items by drag and drop.
#include "skins/SkBars.h"

#include "skins/SkStatusBar.h"
#include "tests/skins/RecordingSkin.h"
#include "tests/skins/SkItemFixture.h"
#include "vcl/StdCtrls.h"
#include "vcl/Themes.h"

#include <gtest/gtest.h>

#include <map>

namespace skins_test {
namespace {

using bars::TBarCustomItem;
using bars::TBarItemViewer;

struct Bars : ::testing::Test {
    testing_support::FormHarness h;
    vcl::TForm* form = nullptr;
    TSkDock* dock = nullptr;
    TSkToolbar* bar = nullptr;
    TSkItem *file = nullptr, *edit = nullptr, *help = nullptr;
    TSkRightAlignSpacerItem* spacer = nullptr;

    void SetUp() override {
        form = h.Create<vcl::TForm>();
        form->SetBounds(50, 50, 600, 300);
        dock = new TSkDock(form);
        dock->SetAllowDrag(false);
        dock->SetParent(form);
        bar = new TSkToolbar(form);
        bar->SetName(QStringLiteral("MenuBar"));
        bar->SetMenuBar(true);
        bar->SetStretch(true);
        bar->SetShrinkMode(bars::tbsmNone);
        file = Add<TSkSubmenuItem>(u"&File");
        edit = Add<TSkSubmenuItem>(u"&Edit");
        spacer = Add<TSkRightAlignSpacerItem>(u"");
        help = Add<TSkSubmenuItem>(u"&Help");
        bar->SetParent(dock);
        form->Show();
        h.Pump();
    }
    template <class T> T* Add(const char16_t* Caption) {
        auto* item = new T(form);
        item->SetCaption(rtl::String::fromUtf16(Caption));
        bar->Items()->Add(item);
        return item;
    }
    TBarItemViewer* ViewerOf(TBarCustomItem* Item) { return bar->View()->Find(Item); }
    // The far edge of an item in the dock's client coordinates.
    int FarEdgeInDock(TBarCustomItem* Item, bool Vertical) {
        const vcl::TRect r = ViewerOf(Item)->BoundsRect();
        POINT p{r.Right, r.Bottom};
        ClientToScreen(bar->Handle(), &p);
        ScreenToClient(dock->Handle(), &p);
        return Vertical ? p.y : p.x;
    }
};

TEST_F(Bars, EachResizeOfTheDockPaintsEveryItemOnceThenOnlyTheBackground) {
    std::map<TBarCustomItem*, int> paints;
    for (TSkItem* item : {file, edit, help})
        item->OnDrawItem = [&paints, item](rtl::TObject*, vcl::TCanvas*, vcl::TRect, TSkMenuItemInfo, TSkPaintStage Stage,
                                           bool&) {
            if (Stage == pstPrePaint) ++paints[item];
        };
    for (int width : {700, 520, 800, 450}) {
        paints.clear();
        form->SetClientWidth(width);
        h.Pump();
        SCOPED_TRACE(width);
        for (TSkItem* item : {file, edit, help}) EXPECT_EQ(paints[item], 1) << item->Caption().toStdString();
    }
}

TEST_F(Bars, SpacerFillsTheDockSoTheLastMenuMeetsItsFarEdgeAndNeverGoesNegative) {
    struct Case {
        bars::TBarDockPosition position;
        int length;
    };
    for (const Case& c : {Case{bars::dpTop, 600}, Case{bars::dpTop, 900}, Case{bars::dpTop, 400},
                          Case{bars::dpTop, 60}, Case{bars::dpLeft, 280}, Case{bars::dpLeft, 40}}) {
        const bool vertical = c.position == bars::dpLeft;
        bar->SetParent(nullptr);
        dock->SetPosition(c.position);
        bar->SetParent(dock);
        if (vertical)
            form->SetClientHeight(c.length);
        else
            form->SetClientWidth(c.length);
        h.Pump();
        SCOPED_TRACE(std::to_string(c.length) + (vertical ? " vertical" : " horizontal"));
        const int dockLength = vertical ? dock->Height() : dock->Width();
        ASSERT_GE(spacer->CustomWidth(), 0);
        int others = 0;
        for (TBarCustomItem* item : {static_cast<TBarCustomItem*>(file), static_cast<TBarCustomItem*>(edit),
                                     static_cast<TBarCustomItem*>(help)}) {
            const vcl::TRect r = ViewerOf(item)->BoundsRect();
            others += vertical ? r.Height() : r.Width();
        }
        const int margin = vertical ? bar->NonClientHeight() : bar->NonClientWidth();
        if (others + margin <= dockLength) {
            // Room to spare: the spacer takes it all and Help ends at the dock's edge less the bar's
            // own border on that side.
            EXPECT_EQ(spacer->CustomWidth(), dockLength - margin - others);
            EXPECT_EQ(FarEdgeInDock(help, vertical), dockLength - margin / 2);
        } else
            EXPECT_EQ(spacer->CustomWidth(), 0);
    }
}

// A dock away from its parent's origin (under another dock, at the bottom, at the right) paints the part
// of its client area that no bar covers when erased, as the one at the origin does.
TEST_F(Bars, ADockAnywhereInItsParentPaintsItsUncoveredPartWhenErased) {
    for (bars::TBarDockPosition position : {bars::dpTop, bars::dpBottom, bars::dpRight}) {
        SCOPED_TRACE(int(position));
        auto* other = new TSkDock(form);
        other->SetAllowDrag(false);
        other->SetPosition(position);
        other->SetTop(dock->Height()); // a second top dock goes under the first
        other->SetParent(form);
        auto* small = new TSkToolbar(form);
        auto* item = new TSkItem(form);
        item->SetCaption(QStringLiteral("One"));
        small->Items()->Add(item);
        small->SetParent(other);
        h.Pump();
        const HWND wnd = other->Handle();
        ASSERT_TRUE(other->Left() > 0 || other->Top() > 0);
        HDC dc = GetDC(wnd);
        HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
        RECT all{0, 0, other->Width(), other->Height()};
        FillRect(dc, &all, red);
        DeleteObject(red);
        ReleaseDC(wnd, dc);
        RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
        h.Pump();
        const QImage pixels = h.App().Grab(wnd);
        int reds = 0;
        for (int y = 0; y < pixels.height(); ++y)
            for (int x = 0; x < pixels.width(); ++x) reds += (pixels.pixel(x, y) & 0xFFFFFF) == 0xFF0000;
        EXPECT_EQ(reds, 0);
        delete small;
        delete other;
    }
}

TEST_F(Bars, FloatingFrameHasAPlainStyleHookRegistered) {
    InitSkItemResources();
    const auto hooks = vcl::TCustomStyleEngine::StyleHooksOf(typeid(TSkFloatingWindowParent));
    ASSERT_EQ(hooks.size(), 1u);
    EXPECT_EQ(hooks[0].HookClass, std::type_index(typeid(vcl::TStyleHook)));
    EXPECT_EQ(bar->FloatingParentClass().Type, &typeid(TSkFloatingWindowParent));
}

TEST_F(Bars, MenuBarIsNeverCustomizableAndTheFlagComesBackWithoutIt) {
    EXPECT_FALSE(bar->Customizable());
    bar->SetCustomizable(true);
    EXPECT_FALSE(bar->Customizable());
    bar->SetMenuBar(false);
    EXPECT_TRUE(bar->Customizable());
    bar->SetCustomizable(false);
    bar->SetCustomizable(true);
    EXPECT_TRUE(bar->Customizable());
}

TEST_F(Bars, DisplayModeSetsTheImageAboveCaptionOptionsAndRoundTripsThroughPositionData) {
    bar->SetDisplayMode(tbdmImageAboveCaption);
    EXPECT_TRUE(bar->Options().Contains(bars::tboImageAboveCaption));
    EXPECT_TRUE(bar->Options().Contains(bars::tboSameWidth));
    bar->SetDisplayMode(tbdmTextOnly);
    EXPECT_FALSE(bar->Options().Contains(bars::tboImageAboveCaption));
    EXPECT_FALSE(bar->Options().Contains(bars::tboSameWidth));

    std::map<QString, int> stored;
    bars::TBarWritePositionData out;
    out.WriteIntProc = [&](const String& Name, const String& Value, int Data, void*) { stored[Name + "." + Value] = Data; };
    out.WriteStringProc = [](const String&, const String&, const String&, void*) {};
    bar->WritePositionData(out);
    EXPECT_EQ(stored["MenuBar.DisplayMode"], int(tbdmTextOnly));

    bar->SetDisplayMode(tbdmSelectiveCaption);
    bars::TBarReadPositionData in;
    in.ReadIntProc = [&](const String& Name, const String& Value, int Default, void*) {
        auto it = stored.find(Name + "." + Value);
        return it == stored.end() ? Default : it->second;
    };
    in.ReadStringProc = [](const String&, const String&, const String& Default, void*) { return Default; };
    bar->ReadPositionData(in);
    EXPECT_EQ(bar->DisplayMode(), tbdmTextOnly);
}

TEST_F(Bars, DisplayModesHideCaptionsOnlyBesideImagesOrEveryImageAndMaxSizeCapsThickness) {
    auto* tools = new TSkToolbar(form);
    auto* images = new vcl::TImageList(form);
    images->SetSize(24, 24);
    vcl::TBitmap picture;
    picture.SetSize(24, 24);
    images->Add(&picture, nullptr);
    tools->SetImages(images);
    auto* pictured = new TSkItem(form);
    pictured->SetCaption(QStringLiteral("Open"));
    pictured->SetImageIndex(0);
    auto* plain = new TSkItem(form);
    plain->SetCaption(QStringLiteral("Plain"));
    tools->Items()->Add(pictured);
    tools->Items()->Add(plain);
    tools->SetParent(dock);
    tools->SetDockRow(1);
    h.Pump();
    auto viewer = [&](TSkItem* Item) { return static_cast<TSkItemViewer*>(tools->View()->Find(Item)); };

    tools->SetDisplayMode(tbdmImageOnly);
    EXPECT_FALSE(viewer(pictured)->ShowsCaption());
    EXPECT_TRUE(viewer(plain)->ShowsCaption());
    tools->SetDisplayMode(tbdmTextOnly);
    EXPECT_FALSE(viewer(pictured)->GetImageShown());
    EXPECT_TRUE(viewer(pictured)->ShowsCaption());
    tools->SetDisplayMode(tbdmSelectiveCaption);
    EXPECT_TRUE(viewer(pictured)->GetImageShown());

    h.Pump();
    const int before = viewer(pictured)->BoundsRect().Height();
    ASSERT_GT(before, 20 - tools->NonClientHeight());
    tools->SetMaxSize(20);
    h.Pump();
    for (TSkItem* item : {pictured, plain})
        EXPECT_EQ(viewer(item)->BoundsRect().Height(), 20 - tools->NonClientHeight()) << item->Caption().toStdString();
}

TEST_F(Bars, DragHandleSizeFollowsStyleAndDockedCloseButtonAndIsZeroWithoutDragging) {
    struct Case {
        bool close;
        bars::TBarDragHandleStyle style;
        int size;
    };
    dock->SetAllowDrag(true);
    for (const Case& c : {Case{false, bars::dhDouble, 9}, Case{false, bars::dhNone, 0}, Case{false, bars::dhSingle, 6},
                          Case{true, bars::dhDouble, 14}, Case{true, bars::dhNone, 14},
                          Case{true, bars::dhSingle, 14}}) {
        bar->SetCloseButtonWhenDocked(c.close);
        bar->SetDragHandleStyle(c.style);
        EXPECT_EQ(GetDragHandleSize(bar), c.size) << c.close << ' ' << int(c.style);
    }
    dock->SetAllowDrag(false);
    EXPECT_EQ(GetDragHandleSize(bar), 0);
}

TEST_F(Bars, LabelItemsClickOnTheLeftButtonOnly) {
    auto* label = Add<TSkCustomLabelItem>(u"Status");
    int clicks = 0;
    label->OnClick = [&](rtl::TObject* Sender) {
        EXPECT_EQ(Sender, label);
        ++clicks;
    };
    h.Pump();
    const vcl::TRect r = ViewerOf(label)->BoundsRect();
    const POINT at{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    h.Click(bar, at, TW_BUTTON_RIGHT);
    h.Pump();
    EXPECT_EQ(clicks, 0);
    h.Click(bar, at);
    h.Pump();
    EXPECT_EQ(clicks, 1);
}

// A customizable toolbar with four buttons, customizing.
struct Customizing : Bars {
    TSkToolbar* tools = nullptr;
    std::vector<TSkItem*> buttons;
    void SetUp() override {
        Bars::SetUp();
        tools = new TSkToolbar(form);
        tools->SetName(QStringLiteral("Tools"));
        for (const char16_t* caption : {u"One", u"Two", u"Three", u"Four"}) {
            auto* item = new TSkItem(form);
            item->SetCaption(rtl::String::fromUtf16(caption));
            tools->Items()->Add(item);
            buttons.push_back(item);
        }
        tools->SetParent(dock);
        tools->SetDockRow(1);
        h.Pump();
        tools->BeginCustomize();
    }
    std::vector<std::string> Order() {
        std::vector<std::string> order;
        for (int i = 0; i < tools->Items()->Count(); ++i) order.push_back(tools->Items()->GetItem(i)->Caption().toStdString());
        return order;
    }
    // Drops Item at the point a quarter (Before) or three quarters into Target.
    void Drop(TSkItem* Item, TSkItem* Target, bool Before) {
        const vcl::TRect r = tools->View()->Find(Target)->BoundsRect();
        TSkItemDragObject drag(tools, Item);
        tools->DragDrop(&drag, Before ? r.Left + r.Width() / 4 : r.Right - r.Width() / 4, (r.Top + r.Bottom) / 2);
    }
};

TEST_F(Customizing, DropOnItsOwnPlaceOrOneToTheRightChangesNothingElsewhereItMoves) {
    const std::vector<std::string> start{"One", "Two", "Three", "Four"};
    Drop(buttons[1], buttons[1], true);
    EXPECT_EQ(Order(), start);
    Drop(buttons[1], buttons[1], false);
    EXPECT_EQ(Order(), start);
    Drop(buttons[1], buttons[2], true);
    EXPECT_EQ(Order(), start);
    Drop(buttons[1], buttons[3], false);
    EXPECT_EQ(Order(), (std::vector<std::string>{"One", "Three", "Four", "Two"}));
    Drop(buttons[3], buttons[0], true);
    EXPECT_EQ(Order(), (std::vector<std::string>{"Four", "One", "Three", "Two"}));
}

TEST_F(Customizing, PressDoesNothingWhenNotCustomizableAndMarkIsFourPixelsOnTheHalfRule) {
    int clicks = 0;
    buttons[0]->OnClick = [&](rtl::TObject*) { ++clicks; };
    tools->SetCustomizable(false);
    h.Click(tools, tools->View()->Find(buttons[0])->BoundsRect().CenterPoint());
    h.Pump();
    EXPECT_EQ(clicks, 0);

    const vcl::TRect r = tools->View()->Find(buttons[2])->BoundsRect();
    bars::TBarItemViewer* viewer = nullptr;
    int index = -1;
    vcl::TRect mark;
    GetDropPosition(tools->Items(), tools->View(), vcl::TPoint(r.Left + r.Width() / 2, r.Top + 1), viewer, index, mark);
    EXPECT_EQ(index, 2);
    EXPECT_EQ(mark, vcl::TRect(r.Left, 0, r.Left + 4, tools->View()->BaseSize().Y));
    GetDropPosition(tools->Items(), tools->View(), vcl::TPoint(r.Left + r.Width() / 2 + 1, r.Top + 1), viewer, index,
                    mark);
    EXPECT_EQ(index, 3);
    EXPECT_EQ(mark.Left, r.Right);
}

// ---- the tool window ----

// Position data kept in a map, written and read back by name.
struct PositionStore {
    std::map<QString, int> values;
    bars::TBarWritePositionData Writer() {
        bars::TBarWritePositionData out;
        out.WriteIntProc = [this](const String& Name, const String& Value, int Data, void*) {
            values[Name + "." + Value] = Data;
        };
        out.WriteStringProc = [](const String&, const String&, const String&, void*) {};
        return out;
    }
    bars::TBarReadPositionData Reader() {
        bars::TBarReadPositionData in;
        in.ReadIntProc = [this](const String& Name, const String& Value, int Default, void*) {
            auto it = values.find(Name + "." + Value);
            return it == values.end() ? Default : it->second;
        };
        in.ReadStringProc = [](const String&, const String&, const String& Default, void*) { return Default; };
        return in;
    }
};

struct ToolWindow : Bars {
    TSkDock* side = nullptr;
    TSkCustomToolWindow* panel = nullptr;
    void SetUp() override {
        Bars::SetUp();
        side = new TSkDock(form);
        side->SetPosition(bars::dpLeft);
        side->SetParent(form);
        panel = new TSkCustomToolWindow(form);
        panel->SetName(QStringLiteral("Panel"));
    }
};

TEST_F(ToolWindow, SizesByItsClientAreaAndStretchedTakesOnlyItsThicknessAlongTheDock) {
    EXPECT_EQ(panel->Width(), 32);
    EXPECT_EQ(panel->BarSize(), vcl::TPoint(32, 32));
    panel->SetClientSize(80, 50);
    ASSERT_EQ(panel->BarSize(), vcl::TPoint(80, 50));
    panel->SetMinClientWidth(40);
    panel->SetMinClientHeight(30);
    panel->SetMaxClientWidth(300);
    struct Case {
        bars::TBarDock* dock;
        bool stretch;
        vcl::TPoint size;
    };
    for (const Case& c : {Case{nullptr, true, {80, 50}}, Case{dock, false, {80, 50}}, Case{dock, true, {40, 50}},
                          Case{side, true, {80, 30}}}) {
        panel->SetStretch(c.stretch);
        EXPECT_EQ(panel->CalcSize(c.dock), c.size) << (c.dock == side ? "left " : c.dock ? "top " : "none ") << c.stretch;
    }
    int minW = 0, minH = 0, maxW = -1, maxH = -1;
    panel->GetSizeLimits(minW, minH, maxW, maxH);
    EXPECT_EQ((std::vector<int>{minW, minH, maxW, maxH}), (std::vector<int>{40, 30, 300, 0}));

    // Docked it has a frame: the client size is what is asked for, and what the dock lays out.
    panel->SetStretch(false);
    panel->SetParent(side);
    h.Pump();
    panel->SetClientSize(90, 60);
    h.Pump();
    EXPECT_EQ(panel->ClientWidth(), 90);
    EXPECT_EQ(panel->ClientHeight(), 60);
    EXPECT_EQ(panel->BarSize(), vcl::TPoint(90, 60));
    EXPECT_GT(panel->Width(), 90);
}

TEST_F(ToolWindow, ClientSizeRoundTripsThroughPositionDataOnlyWhenResizableAndWithinItsLimits) {
    panel->SetParent(side);
    h.Pump();
    panel->SetClientSize(70, 90);
    h.Pump();
    PositionStore store;
    panel->WritePositionData(store.Writer());
    EXPECT_EQ(store.values["Panel.ClientWidth"], 70);
    EXPECT_EQ(store.values["Panel.ClientHeight"], 90);

    panel->SetClientSize(50, 50);
    panel->SetResizable(false);
    panel->ReadPositionData(store.Reader());
    EXPECT_EQ(panel->ClientWidth(), 50);
    panel->SetResizable(true);
    panel->ReadPositionData(store.Reader());
    h.Pump();
    EXPECT_EQ(panel->ClientWidth(), 70);
    EXPECT_EQ(panel->ClientHeight(), 90);

    // A damaged settings file cannot make the panel vanish or outgrow its maximum.
    store.values["Panel.ClientWidth"] = -40;
    store.values["Panel.ClientHeight"] = 100000;
    panel->SetMaxClientHeight(200);
    panel->ReadPositionData(store.Reader());
    h.Pump();
    EXPECT_EQ(panel->ClientWidth(), 32);
    EXPECT_EQ(panel->ClientHeight(), 200);
}

TEST_F(ToolWindow, DockedFramePaintsThroughTheSkinWithTheCloseButtonAndBackgroundEvents) {
    TRecordingSkin::Use();
    side->SetAllowDrag(true);
    panel->SetCloseButtonWhenDocked(true);
    std::vector<TSkPaintStage> stages;
    panel->OnDrawBackground = [&](rtl::TObject* Sender, vcl::TCanvas*, vcl::TRect, TSkPaintStage Stage, bool&) {
        EXPECT_EQ(Sender, panel);
        stages.push_back(Stage);
    };
    panel->SetParent(side);
    h.Pump();
    ASSERT_EQ(GetDragHandleSize(panel), 14);
    EXPECT_EQ(panel->FloatingParentClass().Type, &typeid(TSkFloatingWindowParent));

    stages.clear();
    TRecordingSkin::Log().clear();
    HDC dc = GetWindowDC(panel->Handle());
    panel->PaintDockedNCArea(true, dc, nullptr);
    ReleaseDC(panel->Handle(), dc);
    EXPECT_EQ(stages, (std::vector<TSkPaintStage>{pstPrePaint, pstPostPaint}));
    // The close button sits in the grip at the top of a vertical dock's panel: 12 x 12 from (2, 2) of
    // the right end.
    const TPaintRecord close = TRecordingSkin::Last(skncToolbarItem);
    ASSERT_EQ(TRecordingSkin::Count(skncToolbarItem), 1);
    EXPECT_EQ(close.State, sknsNormal);
    EXPECT_EQ(close.Rect, vcl::TRect(panel->Width() - 14, 2, panel->Width() - 2, 14));
    EXPECT_GE(TRecordingSkin::Count(skncToolbar), 1);

    // The client area's erase paints the same background, events included.
    stages.clear();
    RedrawWindow(panel->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    EXPECT_EQ(stages, (std::vector<TSkPaintStage>{pstPrePaint, pstPostPaint}));
    GetSkinManager()->SetToDefaultSkin();
}

// ---- control items ----

TEST_F(Bars, ControlsPutOnACompoundBarsToolbarGetOneItemOwnedByTheForm) {
    auto* compound = new TSkCompoundBar(form);
    compound->SetParent(form);
    h.Pump();
    TSkToolbar* inner = compound->Toolbar();
    auto* edit = new vcl::TEdit(form);
    edit->SetParent(inner);
    ASSERT_EQ(inner->Items()->Count(), 1);
    auto* item = dynamic_cast<bars::TBarControlItem*>(inner->Items()->GetItem(0));
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->Control(), edit);
    EXPECT_EQ(item->Owner(), form);

    // Already wrapped, also inside a group: nothing new.
    inner->AddControlItem(0, edit);
    auto* group = new bars::TBarGroupItem(form);
    inner->Items()->Add(group);
    auto* other = new vcl::TEdit(form);
    auto* grouped = new bars::TBarControlItem(form);
    grouped->SetControl(other);
    group->Add(grouped);
    inner->AddControlItem(0, other);
    EXPECT_EQ(inner->Items()->Count(), 2);

    // An index past the end of a compound bar's items puts the new one first.
    auto* third = new vcl::TEdit(form);
    inner->AddControlItem(99, third);
    ASSERT_EQ(inner->Items()->Count(), 3);
    EXPECT_EQ(static_cast<bars::TBarControlItem*>(inner->Items()->GetItem(0))->Control(), third);
}

} // namespace
} // namespace skins_test
