// tests/toolbars/BarWindowTest.cpp: a view shown in a window: painting through the window's paint
// handler, single viewers repainted off screen after a change, and hints.
#include "tests/support/windows/FormHarness.h"
#include "tests/toolbars/BarFixture.h"

#include "vcl/Forms.h"

#include <gtest/gtest.h>

using namespace bars_test;

namespace {

// A control that shows a view the way bars and popups do: its paint handler draws the subitems.
class THost : public vcl::TCustomControl {
public:
    explicit THost(rtl::TComponent* AOwner) : vcl::TCustomControl(AOwner) { SetColor(vcl::clMenu); }
    TBarView* View = nullptr;
    int paints = 0;

protected:
    void Paint() override {
        ++paints;
        Canvas()->Brush()->SetColor(Color());
        Canvas()->FillRect(ClientRect());
        if (View) View->DrawSubitems(Canvas());
    }
};

QRgb Rgb(COLORREF c) { return (QRgb(GetRValue(c)) << 16) | (QRgb(GetGValue(c)) << 8) | GetBValue(c); }

struct Shown {
    testing_support::FormHarness h;
    Bar b;
    vcl::TForm* form;
    THost* host;
    TBarView* view;
    TBarCustomItem *one, *two;
    Shown() {
        one = b.Plain(u"One");
        two = b.Plain(u"Two");
        form = h.Create<vcl::TForm>();
        form->SetBounds(10, 10, 300, 200);
        host = new THost(form);
        host->SetParent(form);
        host->SetBounds(0, 0, 200, 100);
        view = b.Keep(new TBarView(nullptr, nullptr, b.root, host, false, false, false));
        host->View = view;
        form->Show();
        h.Pump();
    }
    QRgb At(TBarCustomItem* item) {
        const TRect r = view->Find(item)->BoundsRect();
        return h.App().Pixel(host->Handle(), r.Right - 3, (r.Top + r.Bottom) / 2);
    }
};

TEST(ViewInWindow, ASelectedMenuItemIsRepaintedHighlightedAlone) {
    Shown s;
    const QRgb menu = Rgb(GetSysColor(COLOR_MENU));
    const QRgb highlight = Rgb(GetSysColor(IsFlatMenuStyleOn() ? COLOR_MENUHILIGHT : COLOR_HIGHLIGHT));
    ASSERT_TRUE(s.view->Validated());
    EXPECT_EQ(s.At(s.one), menu);
    EXPECT_EQ(s.At(s.two), menu);
    s.view->SetSelected(s.view->Find(s.two));
    s.h.Pump();
    EXPECT_EQ(s.At(s.two), highlight);
    EXPECT_EQ(s.At(s.one), menu);
    // Moving the selection repaints both viewers.
    s.view->SetSelected(s.view->Find(s.one));
    s.h.Pump();
    EXPECT_EQ(s.At(s.one), highlight);
    EXPECT_EQ(s.At(s.two), menu);
    EXPECT_FALSE(s.view->Find(s.one)->State.Contains(tbvsInvalidated));
}

TEST(ViewInWindow, AChangeOfSizeLaysOutAndRepaintsAtOnce) {
    Shown s;
    const int before = s.view->Find(s.one)->BoundsRect().Width();
    s.one->SetCaption(u"A much longer caption"_qs);
    // The notification validates again at once: no paint message needed.
    EXPECT_TRUE(s.view->Validated());
    EXPECT_GT(s.view->Find(s.one)->BoundsRect().Width(), before);
    EXPECT_EQ(s.view->Find(s.two)->BoundsRect().Width(), s.view->Find(s.one)->BoundsRect().Width());
}

TEST(ViewInWindow, HintsComeFromTheViewerUnderTheCursor) {
    Shown s;
    const TRect r = s.view->Find(s.two)->BoundsRect();
    vcl::THintInfo info;
    info.HintStr = u"stale"_qs;
    info.CursorPos = TPoint(r.Left + 2, r.Top + 2);
    vcl::TCMHintShow message;
    message.Msg = vcl::CM_HINTSHOW;
    message.LParam = reinterpret_cast<LPARAM>(&info);
    s.view->HandleHintShowMessage(message);
    EXPECT_EQ(info.HintStr, u"Two"_qs);
    EXPECT_EQ(info.CursorRect, r);
    EXPECT_EQ(info.HintData, s.view->Find(s.two));
    info.CursorPos = TPoint(190, 95);  // below the items
    s.view->HandleHintShowMessage(message);
    EXPECT_EQ(info.HintStr, QString());
}

} // namespace

namespace {

// A menu bar whose File menu holds a submenu; the popups get window handles, so their timers run.
struct OpenMenu {
    testing_support::HeadlessApp app;
    Bar b;
    TFixedItem *file, *open, *recent;
    TBarView* bar;
    TBarView* menu = nullptr;
    OpenMenu() {
        file = b.Item(40, 20);
        file->AddStyle(tbisSubmenu);
        open = b.Item(80, 20, file);
        recent = b.Item(80, 20, file);
        recent->AddStyle(tbisSubmenu);
        b.Item(80, 20, recent);
        bar = b.Toolbar();
        bar->State.Include(vsModal);
        bar->SetSelected(bar->Find(file));
        bar->OpenChildPopup(false);
        menu = bar->OpenViewerView();
        menu->Window()->HandleNeeded();
    }
    bool Running(TBarView* v, int n) const { return (v->ActiveTimers() >> n) & 1; }
};

TEST(PopupTimers, ASubmenuChosenByMouseOpensAfterTheDelayByKeyboardAtOnce) {
    OpenMenu m;
    ASSERT_NE(m.menu, nullptr);
    EXPECT_TRUE(m.menu->State.Contains(vsModal));
    m.menu->Select(m.menu->Find(m.recent), true);
    EXPECT_TRUE(m.Running(m.menu, 0));
    EXPECT_EQ(m.menu->OpenViewer(), nullptr);
    // Moving to a plain item stops the opening.
    m.menu->Select(m.menu->Find(m.open), true);
    EXPECT_FALSE(m.Running(m.menu, 0));
    // By keyboard the submenu opens at once, with no timer.
    m.menu->Select(m.menu->Find(m.recent), false);
    m.menu->OpenChildPopup(true);
    ASSERT_NE(m.menu->OpenViewer(), nullptr);
    EXPECT_FALSE(m.Running(m.menu, 0));
    // With the submenu open, moving away by mouse closes it only after the delay.
    m.menu->Select(m.menu->Find(m.open), true);
    EXPECT_TRUE(m.Running(m.menu, 1));
    EXPECT_NE(m.menu->OpenViewer(), nullptr);
    m.menu->Select(m.menu->Find(m.recent), false);  // back by keyboard: the close is called off
    EXPECT_FALSE(m.Running(m.menu, 1));
    m.menu->StopAllTimers();
    EXPECT_EQ(m.menu->ActiveTimers(), 0);
}

TEST(PopupTimers, CancelModeEndsTheLoopAndHidesEveryPopup) {
    OpenMenu m;
    m.menu->Select(m.menu->Find(m.recent), false);
    m.menu->OpenChildPopup(true);
    TBarView* sub = m.menu->OpenViewerView();
    ASSERT_NE(sub, nullptr);
    sub->Window()->HandleNeeded();
    ShowWindow(m.menu->Window()->Handle(), SW_SHOWNOACTIVATE);
    ShowWindow(sub->Window()->Handle(), SW_SHOWNOACTIVATE);
    m.menu->Select(m.menu->Find(m.open), true);
    sub->CancelMode();
    EXPECT_EQ(m.bar->DoneActionData().DoneAction, tbdaCancel);
    EXPECT_FALSE(IsWindowVisible(sub->Window()->Handle()));
    EXPECT_FALSE(IsWindowVisible(m.menu->Window()->Handle()));
    EXPECT_EQ(m.menu->ActiveTimers(), 0);
}

} // namespace

namespace {

TEST(ViewInWindow, TheMouseSelectsTheViewerUnderItAndAPopupDropsItOutside) {
    Shown s;
    s.view->State.Include(vsModal);
    const TRect r = s.view->Find(s.two)->BoundsRect();
    POINT p{r.Left + 3, r.Top + 3};
    ClientToScreen(s.host->Handle(), &p);
    s.view->UpdateSelection(TPoint(p), true);
    ASSERT_NE(s.view->Selected(), nullptr);
    EXPECT_EQ(s.view->Selected()->Item(), s.two);
    EXPECT_TRUE(s.view->SelectedViaMouse());
    EXPECT_TRUE(s.view->State.Contains(vsMouseInWindow));
    // Leaving the window: a popup lets go of its selection.
    s.view->UpdateSelection(TPoint(NoPosition, 0), true);
    EXPECT_EQ(s.view->Selected(), nullptr);
    EXPECT_FALSE(s.view->State.Contains(vsMouseInWindow));
    // Over the window but not over an item: nothing selected either.
    POINT below{190, 95};
    ClientToScreen(s.host->Handle(), &below);
    s.view->UpdateSelection(TPoint(below), true);
    EXPECT_EQ(s.view->Selected(), nullptr);
    EXPECT_TRUE(s.view->State.Contains(vsMouseInWindow));
}

TEST(ViewInWindow, UnderlinesShowOnlyWhenAskedOrAlwaysOn) {
    Shown s;
    TwSetSystemParametersProvider([](UINT action, UINT, PVOID pv, UINT) -> int {
        if (action != SPI_GETKEYBOARDCUES) return -1;
        *static_cast<BOOL*>(pv) = FALSE;
        return 1;
    });
    s.view->Style.Include(vsUseHiddenAccels);
    s.view->SetAccelsVisibility(false);
    EXPECT_FALSE(s.view->State.Contains(vsShowAccels));
    s.view->SetAccelsVisibility(true);
    EXPECT_TRUE(s.view->State.Contains(vsShowAccels));
    s.view->SetAccelsVisibility(false);
    EXPECT_FALSE(s.view->State.Contains(vsShowAccels));
    s.view->Style.Exclude(vsUseHiddenAccels);  // a view that never hides them
    s.view->SetAccelsVisibility(false);
    EXPECT_TRUE(s.view->State.Contains(vsShowAccels));
    TwSetSystemParametersProvider(nullptr);
}

TEST(ControlItems, TheControlStandsInTheItemsPlaceOrOutOfSight) {
    testing_support::FormHarness h;
    Bar b;
    auto* form = h.Create<vcl::TForm>();
    form->SetBounds(10, 10, 300, 200);
    auto* host = new THost(form);
    host->SetParent(form);
    host->SetBounds(0, 0, 200, 40);
    auto* control = new THost(form);
    control->SetParent(host);
    control->SetBounds(0, 0, 50, 14);
    b.Item(30, 20);
    auto* item = b.Plain<TBarControlItem>(u"");
    item->SetControl(control);
    b.Item(30, 20);
    auto* view = b.Keep(new TBarView(nullptr, nullptr, b.root, host, true, false, true));
    view->UpdatePositions();
    // Centred across the line like any toolbar item.
    EXPECT_EQ(control->BoundsRect(), TRect(30, 3, 80, 17));
    EXPECT_EQ(view->GetViewer(2)->BoundsRect(), TRect(80, 0, 110, 20));
    // A control that is not on the view's window does not show.
    control->SetParent(form);
    view->InvalidatePositions();
    view->UpdatePositions();
    EXPECT_FALSE(view->GetViewer(1)->Show());
    EXPECT_EQ(view->GetViewer(2)->BoundsRect(), TRect(30, 0, 60, 20));
    // The item frees its control, unless told not to.
    control->SetParent(host);
    const int owned = form->ComponentCount();
    delete item;
    EXPECT_EQ(form->ComponentCount(), owned - 1);
    EXPECT_EQ(host->ControlCount(), 0);
}

TEST(ControlItems, ADontFreeControlOutlivesItsItem) {
    testing_support::FormHarness h;
    Bar b;
    auto* form = h.Create<vcl::TForm>();
    auto* control = new THost(form);
    control->SetParent(form);
    auto* item = b.Plain<TBarControlItem>(u"");
    item->SetControl(control);
    item->SetDontFreeControl(true);
    delete item;
    EXPECT_EQ(form->ControlCount(), 1);
    // And an item whose control goes first forgets it.
    auto* other = b.Plain<TBarControlItem>(u"");
    other->SetControl(control);
    delete control;
    EXPECT_EQ(other->Control(), nullptr);
}

} // namespace
