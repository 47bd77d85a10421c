// tests/toolbars/BarViewTest.cpp: views kept in step with the item tree, viewers (measuring, hit
// tests, mouse, hints, the plain look) and the interactive side (selection, accelerators, menu keys,
// child popups, ending the menu loop).
#include "tests/support/windows/HeadlessApp.h"
#include "tests/toolbars/BarFixture.h"
#include "toolbars/BarModal.h"

#include "vcl/Forms.h"
#include "vcl/Menus.h"

#include <gtest/gtest.h>

using namespace bars_test;

namespace {

std::vector<TBarCustomItem*> Shown(TBarView* v) {
    std::vector<TBarCustomItem*> out;
    for (int i = 0; i < v->ViewerCount(); ++i) out.push_back(v->GetViewer(i)->Item());
    return out;
}

// ---- keeping in step with the tree ----

TEST(ViewSync, InsertionsAndDeletionsReachTheViewers) {
    Bar b;
    auto* a = b.Item();
    auto* v = b.Toolbar();
    auto* c = b.Item();
    auto* front = new TFixedItem(b.owner.get());
    b.root->Insert(0, front);
    EXPECT_EQ(Shown(v), (std::vector<TBarCustomItem*>{front, a, c}));
    // New viewers get the highest priority.
    ASSERT_TRUE(v->PriorityList());
    EXPECT_EQ(v->PriorityList()->front()->Item(), front);
    b.root->Move(0, 2);
    EXPECT_EQ(Shown(v), (std::vector<TBarCustomItem*>{a, c, front}));
    delete a;
    EXPECT_EQ(Shown(v), (std::vector<TBarCustomItem*>{c, front}));
    EXPECT_EQ(v->PriorityList()->size(), 2u);
    EXPECT_THROW(v->GetViewer(2), EBarItemError);
    try {
        v->Find(a);
        FAIL();
    } catch (const EBarItemError& e) {
        EXPECT_EQ(e.Message(), u"An item viewer associated the specified item could not be found"_qs);
    }
}

TEST(ViewSync, AGroupShownTwiceGainsAndLosesAViewerInEachPlace) {
    Bar b;
    auto* source = new TBarRootItem(b.owner.get());
    auto* first = b.Plain<TBarGroupItem>(u"");
    auto* middle = b.Item();
    auto* second = b.Plain<TBarGroupItem>(u"");
    first->SetLinkSubitems(source);
    second->SetLinkSubitems(source);
    auto* v = b.Toolbar();
    EXPECT_EQ(Shown(v), (std::vector<TBarCustomItem*>{first, middle, second}));
    auto* x = b.Item(30, 20, source);
    EXPECT_EQ(Shown(v), (std::vector<TBarCustomItem*>{first, x, middle, second, x}));
    EXPECT_EQ(v->GetViewer(1)->GroupLevel(), 1);
    auto* y = new TFixedItem(b.owner.get());
    source->Insert(0, y);
    EXPECT_EQ(Shown(v), (std::vector<TBarCustomItem*>{first, y, x, middle, second, y, x}));
    delete x;
    EXPECT_EQ(Shown(v), (std::vector<TBarCustomItem*>{first, y, middle, second, y}));
    // The group's own viewers are there but never shown.
    v->UpdatePositions();
    EXPECT_FALSE(v->GetViewer(0)->Show());
    EXPECT_TRUE(v->GetViewer(1)->Show());
}

TEST(ViewSync, TheLastItemGoesBeforeTheChevron) {
    Bar b;
    b.Item();
    auto* v = b.ChevronToolbar();
    auto* chevron = b.Chevron();
    auto* last = b.Item();
    EXPECT_EQ(Shown(v).back(), chevron);
    EXPECT_EQ(Shown(v)[1], last);
}

TEST(ViewSync, ALinkedParentShowsTheLinkedSubitemsAndRebuildsOnChange) {
    Bar b;
    auto* own = b.Item();
    auto* other = new TBarRootItem(b.owner.get());
    auto* linked = b.Item(30, 20, other);
    auto* v = b.Toolbar();
    EXPECT_EQ(Shown(v), std::vector<TBarCustomItem*>{own});
    b.root->SetLinkSubitems(other);
    EXPECT_EQ(v->CurParentItem(), other);
    EXPECT_EQ(Shown(v), std::vector<TBarCustomItem*>{linked});
    auto* more = b.Item(30, 20, other);
    EXPECT_EQ(Shown(v), (std::vector<TBarCustomItem*>{linked, more}));
    delete other;  // the link goes with it: the view shows its own level again
    EXPECT_EQ(v->CurParentItem(), b.root);
    EXPECT_EQ(Shown(v), std::vector<TBarCustomItem*>{own});
}

TEST(ViewSync, AViewWhoseParentItemGoesShowsNothing) {
    Bar b;
    auto* menu = b.Plain(u"menu");
    b.Item(30, 20, menu);
    auto* v = b.Popup(menu);
    EXPECT_EQ(v->ViewerCount(), 1);
    delete menu;
    EXPECT_EQ(v->ParentItem(), nullptr);
    EXPECT_EQ(v->ViewerCount(), 0);
}

TEST(ViewSync, UpdatesFoldIntoOneLayout) {
    Bar b;
    auto* a = b.Item();
    auto* v = b.Toolbar();
    v->UpdatePositions();
    EXPECT_TRUE(v->Validated());
    v->BeginUpdate();
    a->SetCaption(u"longer"_qs);
    EXPECT_FALSE(v->Validated());
    b.Item();
    EXPECT_FALSE(v->Validated());
    v->EndUpdate();
    EXPECT_TRUE(v->Validated());
    EXPECT_EQ(v->GetViewer(1)->BoundsRect(), TRect(30, 0, 60, 20));
}

// ---- viewers: measuring ----

struct ScreenCanvas {
    HDC dc = GetDC(nullptr);
    vcl::TCanvas canvas;
    ScreenCanvas() { canvas.SetHandle(dc); }
    ~ScreenCanvas() {
        canvas.SetHandle(nullptr);
        ReleaseDC(nullptr, dc);
    }
};

TEST(ViewerMeasure, AMenuItemIsTextHighAndTwoSquaresWide) {
    for (const int dpi : {96, 144}) {
        TwSetLogPixels(dpi);
        Bar b;
        auto* item = b.Plain(u"&Convert");
        auto* v = b.Popup();
        ScreenCanvas s;
        TEXTMETRICW tm{};
        GetTextMetricsW(s.canvas.Handle(), &tm);
        const int cw = GetTextWidth(s.canvas.Handle(), u"Convert"_qs, false);
        int w = 0, h = 0;
        v->Find(item)->MeasureSize(&s.canvas, w, h);
        const int expectedH = tm.tmHeight + ScaleForDPI(4) + tm.tmExternalLeading;
        EXPECT_EQ(h, expectedH) << dpi;
        EXPECT_EQ(w, cw + 2 * expectedH + ScaleForDPI(1) + ScaleForDPI(2) + ScaleForDPI(3)) << dpi;
        // A shortcut adds its text and a square minus 6 (96 dpi), scaled like every other constant.
        item->SetShortCut(vcl::scCtrl | 'E');
        int w2 = 0, h2 = 0;
        v->Find(item)->MeasureSize(&s.canvas, w2, h2);
        const int shortCutTerm = dpi == 96 ? 6 : 9;
        EXPECT_EQ(w2, w + h + GetTextWidth(s.canvas.Handle(), vcl::ShortCutToText(vcl::scCtrl | 'E'), false) -
                          shortCutTerm)
            << dpi;
    }
    TwSetLogPixels(96);
}

// A captioned button with a 16 x 16 image, on a toolbar.
TBarCustomItem* ImageButton(Bar& b) {
    auto* item = b.Plain(u"Open");
    item->SetImages(new vcl::TImageList(b.owner.get(), 16, 16));
    item->SetImageIndex(0);
    return item;
}

TEST(ViewerMeasure, AnImageOnlyButtonGrowsWithTheDpi) {
    const std::tuple<int, int, int> cases[] = {{96, 23, 22}, {120, 25, 24}, {144, 27, 25}};
    for (const auto& [dpi, width, height] : cases) {
        TwSetLogPixels(dpi);
        Bar b;
        auto* item = ImageButton(b);
        auto* v = b.Toolbar();
        ScreenCanvas s;
        int w = 0, h = 0;
        v->Find(item)->MeasureSize(&s.canvas, w, h);
        EXPECT_EQ(w, width) << dpi;
        EXPECT_EQ(h, height) << dpi;
    }
    TwSetLogPixels(96);
}

TEST(ViewerMeasure, ImageAboveCaptionShowsEvenAnEmptyCaptionAndSeparatorsAreSixOrTen) {
    Bar b;
    auto* item = ImageButton(b);
    auto* v = b.Toolbar();
    ScreenCanvas s;
    int w = 0, h = 0;
    TBarItemViewer* viewer = v->Find(item);
    EXPECT_FALSE(viewer->ShowsCaption());
    // Image above caption counts as showing the caption, even an empty one.
    item->SetCaption(QString());
    item->SetOptions({tboImageAboveCaption});
    EXPECT_TRUE(viewer->ShowsCaption());
    // A separator is 6 square on a bar, 10 high in a menu.
    auto* sep = b.Separator();
    w = h = 0;
    v->Find(sep)->MeasureSize(&s.canvas, w, h);
    EXPECT_EQ(std::make_pair(w, h), std::make_pair(6, 6));
    auto* popup = b.Popup();
    w = 77;
    popup->Find(sep)->MeasureSize(&s.canvas, w, h);
    EXPECT_EQ(std::make_pair(w, h), std::make_pair(77, 10));
}

// ---- viewers: hit tests, mouse, hints ----

TEST(ViewerHitTest, ASplitButtonsArrowPartIsItsLastElevenPixels) {
    Bar b;
    auto* split = b.Item(40, 22);
    split->AddStyle(tbisSubmenu);
    split->AddStyle(tbisCombo);
    auto* plainMenu = b.Item(40, 22);
    plainMenu->AddStyle(tbisSubmenu);
    auto* button = b.Item(40, 22);
    auto* v = b.Toolbar();
    v->UpdatePositions();
    EXPECT_TRUE(v->Find(split)->PointInButtonPart(28, 5));
    EXPECT_FALSE(v->Find(split)->PointInButtonPart(29, 5));
    EXPECT_FALSE(v->Find(plainMenu)->PointInButtonPart(0, 0));
    EXPECT_TRUE(v->Find(button)->PointInButtonPart(39, 0));
}

TEST(ViewerMouse, ADisabledButtonOnATopLevelBarEndsTheLoopAndRunsNothing) {
    Bar b;
    auto* item = b.Item();
    int clicks = 0;
    item->OnClick = [&](rtl::TObject*) { ++clicks; };
    item->SetEnabled(false);
    auto* v = b.Toolbar();
    v->UpdatePositions();
    bool didDrag = false;
    v->Find(item)->MouseDown({}, 5, 5, didDrag);
    EXPECT_EQ(v->DoneActionData().DoneAction, tbdaCancel);
    EXPECT_EQ(clicks, 0);
}

TEST(ViewerHint, ComesFromTheCaptionWithTheShortCut) {
    Bar b;
    auto* item = b.Plain(u"&Open...");
    auto* v = b.Popup();
    TBarItemViewer* viewer = v->Find(item);
    vcl::Application->SetHintShortCuts(true);
    EXPECT_EQ(viewer->GetHintText(), u"Open"_qs);
    item->SetShortCut(vcl::scCtrl | 'O');
    EXPECT_EQ(viewer->GetHintText(), u"Open ("_qs + vcl::ShortCutToText(vcl::scCtrl | 'O') + u")"_qs);
    item->SetHint(u"Opens a file|Opens a media file for conversion"_qs);
    vcl::Application->SetHintShortCuts(false);
    EXPECT_EQ(viewer->GetHintText(), u"Opens a file"_qs);
    vcl::Application->SetHintShortCuts(true);
    item->SetHint(QString());
    item->SetOptions({tboNoAutoHint});
    EXPECT_EQ(viewer->GetHintText(), QString());
}

TEST(ViewerRole, ByKindAndView) {
    Bar b;
    auto* button = b.Plain(u"b");
    auto* sep = b.Separator();
    auto* menu = b.Item();
    menu->AddStyle(tbisSubmenu);
    auto* control = b.Plain<TBarControlItem>(u"");
    auto* bar = b.Toolbar();
    auto* popup = b.Popup();
    EXPECT_EQ(bar->Find(button)->AccessibleRole(), 43);
    EXPECT_EQ(bar->Find(menu)->AccessibleRole(), 57);
    EXPECT_EQ(bar->Find(sep)->AccessibleRole(), 21);
    EXPECT_EQ(bar->Find(control)->AccessibleRole(), 10);
    EXPECT_EQ(popup->Find(button)->AccessibleRole(), 12);
    bar->Style.Include(vsMenuBar);
    EXPECT_EQ(bar->Find(menu)->AccessibleRole(), 12);
}

// ---- viewers: the plain look ----

// Paints one viewer into a white memory bitmap of its size.
struct Painted {
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ old;
    int w, h;
    Painted(TBarItemViewer* viewer, int W, int H, bool selected = false) : w(W), h(H) {
        HDC screen = GetDC(nullptr);
        dc = CreateCompatibleDC(screen);
        bitmap = CreateCompatibleBitmap(screen, W, H);
        ReleaseDC(nullptr, screen);
        old = SelectObject(dc, bitmap);
        RECT r{0, 0, W, H};
        FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        vcl::TCanvas canvas;
        canvas.SetHandle(dc);
        viewer->Paint(&canvas, TRect(0, 0, W, H), selected, false, false);
        canvas.SetHandle(nullptr);
    }
    ~Painted() {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    bool Ink(int x, int y) const { return (GetPixel(dc, x, y) & 0xFFFFFF) != 0xFFFFFF; }
};

TEST(ViewerPaint, SeparatorsDrawAcrossTheirLineOrBreakIt) {
    Bar b;
    b.Item();
    auto* sep = b.Separator();
    b.Item();
    auto* v = b.Toolbar();
    TBarItemViewer* viewer = v->Find(sep);
    {
        // On a horizontal bar: a vertical etched line through the middle, full height.
        Painted p(viewer, 6, 22);
        EXPECT_TRUE(p.Ink(2, 0));
        EXPECT_TRUE(p.Ink(2, 21));
        EXPECT_FALSE(p.Ink(0, 10));
        EXPECT_FALSE(p.Ink(5, 10));
    }
    viewer->State.Include(tbvsLineBreak);
    {
        // Breaking a line: horizontal, inset by 4 at each end.
        Painted p(viewer, 100, 6);
        EXPECT_TRUE(p.Ink(50, 2));
        EXPECT_FALSE(p.Ink(3, 2));
        EXPECT_TRUE(p.Ink(4, 2));
        EXPECT_TRUE(p.Ink(95, 2));
        EXPECT_FALSE(p.Ink(96, 2));
        EXPECT_FALSE(p.Ink(50, 0));
    }
    viewer->State.Exclude(tbvsLineBreak);
    sep->SetBlank(true);
    {
        Painted p(viewer, 6, 22);
        for (int y = 0; y < 22; ++y)
            for (int x = 0; x < 6; ++x) ASSERT_FALSE(p.Ink(x, y));
    }
}

TEST(ViewerPaint, ACheckedMenuItemWithoutImageShowsItsMark) {
    Bar b;
    auto* item = b.Plain(u"Keep dates");
    auto* v = b.Popup();
    TBarItemViewer* viewer = v->Find(item);
    auto markInk = [&](int h) {
        Painted p(viewer, 120, h);
        int ink = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < h; ++x) ink += p.Ink(x, y);
        return ink;
    };
    const int unchecked = markInk(20);
    item->SetChecked(true);
    const int checked = markInk(20);
    item->SetRadioItem(true);
    const int radio = markInk(20);
    EXPECT_EQ(unchecked, 0);
    EXPECT_GT(checked, 20);
    EXPECT_GT(radio, 20);
    EXPECT_NE(checked, radio);
}

TEST(ViewerPaint, ToolbarButtonsShowHotPressedAndCheckedFrames) {
    Bar b;
    auto* item = b.Item(30, 22);
    auto* v = b.Toolbar();
    TBarItemViewer* viewer = v->Find(item);
    const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT) & 0xFFFFFF, shadow = GetSysColor(COLOR_BTNSHADOW) & 0xFFFFFF,
                   face = GetSysColor(COLOR_BTNFACE) & 0xFFFFFF;
    auto at = [](const Painted& p, int x, int y) { return GetPixel(p.dc, x, y) & 0xFFFFFF; };
    {
        Painted p(viewer, 30, 22);
        EXPECT_FALSE(p.Ink(0, 0));  // a plain button has no frame
    }
    {
        Painted hot(viewer, 30, 22, true);  // selected: raised
        EXPECT_EQ(at(hot, 0, 0), light);
        EXPECT_EQ(at(hot, 29, 21), shadow);
    }
    item->SetChecked(true);
    {
        Painted p(viewer, 30, 22);  // checked: sunken, its inside dithered
        EXPECT_EQ(at(p, 0, 0), shadow);
        EXPECT_EQ(at(p, 29, 21), light);
        const COLORREF a = at(p, 5, 5), c = at(p, 6, 5);
        EXPECT_NE(a, c);
        EXPECT_TRUE((a == face && c == light) || (a == light && c == face));
    }
    item->SetEnabled(false);
    {
        Painted hot(viewer, 30, 22, true);  // disabled and checked: the frame stays, no hot look
        EXPECT_EQ(at(hot, 0, 0), shadow);
    }
}

// ---- selection and accelerators ----

TEST(Selection, NextSelectableWrapsAndSkipsWhatCannotBeSelected) {
    Bar b;
    auto* a = b.Item();
    b.Separator();
    auto* hidden = b.Item();
    hidden->SetVisible(false);
    auto* c = b.Item();
    auto* v = b.Toolbar();
    EXPECT_EQ(v->NextSelectable(nullptr, false)->Item(), c);
    EXPECT_EQ(v->NextSelectable(nullptr, true)->Item(), a);
    EXPECT_EQ(v->NextSelectable(v->Find(c), true)->Item(), a);
    EXPECT_EQ(v->NextSelectable(v->Find(a), true)->Item(), c);
    Bar seps;
    seps.Separator();
    seps.Separator();
    EXPECT_EQ(seps.Toolbar()->NextSelectable(nullptr, true), nullptr);
}

TEST(Selection, FirstSelectableSkipsDontSelectFirstUnlessItIsTheOnlyOne) {
    Bar b;
    auto* skip = b.Item();
    skip->AddStyle(tbisDontSelectFirst);
    auto* next = b.Item();
    auto* v = b.Popup();
    EXPECT_EQ(v->FirstSelectable()->Item(), next);
    next->SetVisible(false);
    EXPECT_EQ(v->FirstSelectable()->Item(), skip);
}

TEST(Selection, AcceleratorsCycleAndTellWhetherTheyAreTheOnlyOne) {
    Bar b;
    auto* file = b.Plain(u"&File");
    auto* fmt = b.Plain(u"&Format");
    auto* edit = b.Plain(u"Edit");
    auto* space = b.Plain(u" lead");
    auto* v = b.Popup();
    bool only = true;
    TBarItemViewer* found = v->NextSelectableWithAccel(nullptr, u'f', false, only);
    EXPECT_EQ(found->Item(), file);
    EXPECT_FALSE(only);
    found = v->NextSelectableWithAccel(found, u'F', false, only);
    EXPECT_EQ(found->Item(), fmt);
    EXPECT_EQ(v->NextSelectableWithAccel(found, u'f', false, only)->Item(), file);
    // One enabled and one disabled: the enabled one, and it is the only one.
    fmt->SetEnabled(false);
    EXPECT_EQ(v->NextSelectableWithAccel(nullptr, u'f', false, only)->Item(), file);
    EXPECT_TRUE(only);
    // A caption's first letter counts only without an accelerator and not when primary ones are asked.
    EXPECT_EQ(v->NextSelectableWithAccel(nullptr, u'e', false, only)->Item(), edit);
    EXPECT_EQ(v->NextSelectableWithAccel(nullptr, u'e', true, only), nullptr);
    // A space never matches a first letter.
    EXPECT_EQ(v->NextSelectableWithAccel(nullptr, u' ', false, only), nullptr);
    (void)space;
}

// ---- menu keys and child popups ----

// A menu bar with File (Open, Recent > one) and Edit (Copy).
struct MenuBar : Bar {
    TBarCustomItem *file, *open, *recent, *one, *edit, *copy;
    TBarView* bar;
    MenuBar() {
        file = Submenu(u"&File", root);
        open = Plain(u"&Open", file);
        recent = Submenu(u"&Recent", file);
        one = Plain(u"One", recent);
        edit = Submenu(u"&Edit", root);
        copy = Plain(u"&Copy", edit);
        bar = Toolbar();
        bar->Style.Include(vsMenuBar);
        bar->State.Include(vsModal);
    }
    TBarCustomItem* Submenu(const char16_t* caption, TBarCustomItem* parent) {
        auto* item = Plain<TFixedItem>(caption, parent);
        item->AddStyle(tbisSubmenu);
        return item;
    }
    void Key(TBarView* v, WORD key) {
        WORD k = key;
        v->KeyDown(k, {});
        EXPECT_EQ(k, 0);
    }
};

TEST(MenuKeys, EscapeBacksOutOneLevelAtATime) {
    MenuBar m;
    m.bar->SetSelected(m.bar->Find(m.file));
    ASSERT_TRUE(m.bar->OpenChildPopup(true));
    TBarView* fileMenu = m.bar->OpenViewerView();
    EXPECT_EQ(fileMenu->Selected()->Item(), m.open);
    EXPECT_TRUE(m.bar->State.Contains(vsDropDownMenus));
    m.Key(fileMenu, VK_DOWN);
    EXPECT_EQ(fileMenu->Selected()->Item(), m.recent);
    m.Key(fileMenu, VK_RIGHT);  // opens the submenu
    TBarView* recentMenu = fileMenu->OpenViewerView();
    ASSERT_NE(recentMenu, nullptr);
    EXPECT_EQ(recentMenu->ParentView(), fileMenu);
    m.Key(recentMenu, VK_ESCAPE);
    EXPECT_EQ(fileMenu->OpenViewerView(), nullptr);
    EXPECT_EQ(m.bar->OpenViewerView(), fileMenu);
    m.Key(fileMenu, VK_ESCAPE);
    EXPECT_EQ(m.bar->OpenViewerView(), nullptr);
    EXPECT_FALSE(m.bar->State.Contains(vsDropDownMenus));
    EXPECT_EQ(m.bar->Selected()->Item(), m.file);  // the bar keeps its item selected
    EXPECT_EQ(m.bar->DoneActionData().DoneAction, tbdaNone);
    m.Key(m.bar, VK_ESCAPE);
    EXPECT_EQ(m.bar->DoneActionData().DoneAction, tbdaCancel);
}

TEST(MenuKeys, LeftAndRightMoveAcrossTheMenuBarWithItsMenuOpen) {
    MenuBar m;
    m.bar->SetSelected(m.bar->Find(m.file));
    m.bar->OpenChildPopup(true);
    // Open is no submenu: Right goes to the next bar item, whose menu opens in menu mode.
    m.Key(m.bar->OpenViewerView(), VK_RIGHT);
    EXPECT_EQ(m.bar->Selected()->Item(), m.edit);
    ASSERT_NE(m.bar->OpenViewerView(), nullptr);
    EXPECT_EQ(m.bar->OpenViewerView()->CurParentItem(), m.edit);
    m.Key(m.bar->OpenViewerView(), VK_LEFT);
    EXPECT_EQ(m.bar->Selected()->Item(), m.file);
    EXPECT_EQ(m.bar->OpenViewerView()->CurParentItem(), m.file);
}

TEST(MenuKeys, EnterRunsTheItemThroughTheRootsDoneAction) {
    MenuBar m;
    m.bar->SetSelected(m.bar->Find(m.edit));
    m.Key(m.bar, VK_DOWN);  // a horizontal bar opens the menu
    TBarView* editMenu = m.bar->OpenViewerView();
    ASSERT_NE(editMenu, nullptr);
    m.Key(editMenu, VK_RETURN);
    EXPECT_EQ(m.bar->DoneActionData().DoneAction, tbdaClickItem);
    EXPECT_EQ(m.bar->DoneActionData().ClickItem, m.copy);
    EXPECT_TRUE(m.bar->DoneActionData().Sound);
    EXPECT_TRUE(editMenu->IsModalEnding());
}

TEST(MenuKeys, F1FindsTheNearestHelpContext) {
    MenuBar m;
    m.file->SetHelpContext(42);
    m.bar->SetSelected(m.bar->Find(m.file));
    m.bar->OpenChildPopup(true);
    m.Key(m.bar->OpenViewerView(), VK_F1);  // Open has none; File has one
    EXPECT_EQ(m.bar->DoneActionData().DoneAction, tbdaHelpContext);
    EXPECT_EQ(m.bar->DoneActionData().ContextID, 42);
}

TEST(MenuKeys, TabHomeAndEndMoveTheSelectionInThePopup) {
    MenuBar m;
    m.bar->SetSelected(m.bar->Find(m.file));
    m.bar->OpenChildPopup(true);
    TBarView* fileMenu = m.bar->OpenViewerView();
    m.Key(fileMenu, VK_END);
    EXPECT_EQ(fileMenu->Selected()->Item(), m.recent);
    m.Key(fileMenu, VK_TAB);  // wraps to the first
    EXPECT_EQ(fileMenu->Selected()->Item(), m.open);
    TwSyncModifiers(TRUE, FALSE, FALSE);
    m.Key(fileMenu, VK_TAB);  // with Shift: backward
    TwSyncModifiers(FALSE, FALSE, FALSE);
    EXPECT_EQ(fileMenu->Selected()->Item(), m.recent);
    m.Key(fileMenu, VK_HOME);
    EXPECT_EQ(fileMenu->Selected()->Item(), m.open);
}

TEST(MenuKeys, EnterOnASplitItemRunsItInsteadOfOpeningIt) {
    MenuBar m;
    static_cast<TFixedItem*>(m.recent)->AddStyle(tbisCombo);
    m.bar->SetSelected(m.bar->Find(m.file));
    m.bar->OpenChildPopup(true);
    TBarView* fileMenu = m.bar->OpenViewerView();
    fileMenu->SetSelected(fileMenu->Find(m.recent));
    m.Key(fileMenu, VK_RETURN);
    EXPECT_EQ(fileMenu->OpenViewerView(), nullptr);
    EXPECT_EQ(m.bar->DoneActionData().DoneAction, tbdaClickItem);
    EXPECT_EQ(m.bar->DoneActionData().ClickItem, m.recent);
    // A disabled selection ends the loop without a click.
    MenuBar n;
    n.bar->SetSelected(n.bar->Find(n.file));
    n.file->SetEnabled(false);
    n.Key(n.bar, VK_RETURN);
    EXPECT_EQ(n.bar->DoneActionData().DoneAction, tbdaCancel);
}

TEST(ChildPopups, TheItemThatOpenedAPopupStaysSelectedInItsParent) {
    MenuBar m;
    m.bar->State.Exclude(vsModal);  // outside the loop a new selection leaves the popup open
    m.bar->SetSelected(m.bar->Find(m.file));
    ASSERT_TRUE(m.bar->OpenChildPopup(true));
    TBarView* fileMenu = m.bar->OpenViewerView();
    // Opening with the first item selected keeps the bar's selection.
    EXPECT_EQ(m.bar->Selected()->Item(), m.file);
    EXPECT_EQ(m.bar->OpenViewer()->Item(), m.file);
    m.bar->SetSelected(m.bar->Find(m.edit));
    ASSERT_EQ(m.bar->OpenViewerView(), fileMenu);
    fileMenu->SetSelected(fileMenu->Find(m.recent));
    EXPECT_EQ(m.bar->Selected()->Item(), m.file);
}

TEST(MenuKeys, OtherKeysAreLeftAlone) {
    MenuBar m;
    WORD key = 'Q';
    m.bar->KeyDown(key, {});
    EXPECT_EQ(key, WORD('Q'));
}

TEST(ChildPopups, ADisabledSubmenuOpensNothingAndThePopupEventsFire) {
    MenuBar m;
    std::vector<std::string> events;
    m.file->OnPopup = [&](TBarCustomItem*, bool fromLink) { events.push_back(fromLink ? "link" : "own"); };
    m.file->SetEnabled(false);
    m.bar->SetSelected(m.bar->Find(m.file));
    EXPECT_FALSE(m.bar->OpenChildPopup(true));
    EXPECT_TRUE(events.empty());
    m.file->SetEnabled(true);
    EXPECT_TRUE(m.bar->OpenChildPopup(true));
    EXPECT_EQ(events, std::vector<std::string>{"own"});
    // Deleting the open item's viewer closes its popup.
    delete m.file;
    EXPECT_EQ(m.bar->OpenViewerView(), nullptr);
    EXPECT_EQ(m.bar->Selected(), nullptr);
}

TEST(Timers, NeedAPopupWindowWithAHandle) {
    MenuBar m;
    m.bar->StartTimer(0, 400);
    EXPECT_EQ(m.bar->ActiveTimers(), 0);
    m.bar->StopTimer(0);
    // Cancelling a capture never held leaves the menu loop's last position alone...
    LastPos = TPoint(5, 7);
    m.bar->CancelCapture();
    EXPECT_EQ(LastPos, TPoint(5, 7));
    // ...one that was held marks it unset, so the loop reads the mouse again.
    m.bar->SetCapture();
    m.bar->CancelCapture();
    EXPECT_FALSE(m.bar->Capture());
    EXPECT_EQ(LastPos.X, NoPosition);
}

TEST(Priority, HighestIsTheFrontOfTheListAndShown) {
    Bar b;
    auto* a = b.Item();
    auto* c = b.Item();
    auto* v = b.Toolbar();
    EXPECT_EQ(v->HighestPriorityViewer()->Item(), a);
    v->GivePriority(v->Find(c));
    EXPECT_EQ(v->HighestPriorityViewer()->Item(), c);
    c->SetVisible(false);
    EXPECT_EQ(v->HighestPriorityViewer()->Item(), a);
}

} // namespace
