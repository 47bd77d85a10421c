// tests/toolbars/BarModalTest.cpp: the modal menu loop driven by scripted input on the manual clock:
// how it ends, keys and accelerators, timers, the done action after the loop, clean-up on errors, and
// the toolbar's menu mode.
#include "tests/toolbars/MenuFixture.h"

using namespace bars_test;

namespace {

TEST(MenuLoop, DownDownReturnRunsTheSecondItemOnlyAfterTheLoop) {
    MenuFixture f;
    f.Then([] {
        Key(VK_DOWN);
        Key(VK_DOWN);
        Key(VK_RETURN);
    });
    TBarCustomItem* clicked = f.Popup();
    EXPECT_EQ(clicked, f.save);
    EXPECT_TRUE(f.clicks.empty());  // the click is posted, not run inside the loop
    EXPECT_EQ(PopupOf(f.menu->Items()), nullptr);
    EXPECT_FALSE(MenuFixture::Queued(WM_CHAR, WM_DEADCHAR));
    EXPECT_FALSE(MenuFixture::Queued(WM_SYSCHAR, WM_SYSDEADCHAR));
    EXPECT_EQ(GetCapture(), nullptr);
    f.h.Pump();
    EXPECT_EQ(f.clicks, std::vector<std::string>{"&Save"});
    EXPECT_EQ(Recorded::Events, (std::vector<DWORD>{EVENT_SYSTEM_MENUSTART, EVENT_SYSTEM_MENUPOPUPSTART,
                                                   EVENT_SYSTEM_MENUPOPUPEND, EVENT_SYSTEM_MENUEND}));
    // Foreground changes are locked for the loop and unlocked after it.
    EXPECT_EQ(Recorded::Count("LockSetForegroundWindow 1"), 1);
    EXPECT_EQ(Recorded::Count("LockSetForegroundWindow 2"), 1);
}

TEST(MenuLoop, ReturnClickedItemOnlyReturnsTheItemWithoutRunningIt) {
    MenuFixture f;
    f.Then([&] { ClickAt(ItemPoint(f.open)); });
    EXPECT_EQ(f.Popup(true), f.open);
    f.h.Pump();
    EXPECT_TRUE(f.clicks.empty());
}

TEST(MenuLoop, AClickRunsTheItemOnceAfterTheLoop) {
    MenuFixture f;
    // The first release over empty space is ignored (the press that opened a context menu).
    f.Then([&] {
        const POINT p = ItemPoint(f.exit);
        MoveTo(p);
        Press(p);
        Release(p);
    });
    EXPECT_EQ(f.Popup(), f.exit);
    f.h.Pump();
    EXPECT_EQ(f.clicks, std::vector<std::string>{"E&xit"});
}

// ---- ending ----

struct OutsideCase {
    const char* name;
    int button;
    bool trackRight;
};

std::ostream& operator<<(std::ostream& os, const OutsideCase& c) { return os << c.name; }

class PressOutside : public ::testing::TestWithParam<OutsideCase> {};

TEST_P(PressOutside, EndsTheLoopAndReachesTheControlBelowAfterwards) {
    const auto c = GetParam();
    MenuFixture f;
    f.menu->SetTrackButton(c.trackRight ? vcl::tbRightButton : vcl::tbLeftButton);
    f.Then([&] {
        const POINT p = f.BelowPoint();
        MoveTo(p);
        Press(p, c.button);
        Release(p, c.button);
    });
    EXPECT_EQ(f.Popup(), nullptr);
    EXPECT_EQ(f.below->presses + f.below->rightPresses, 0);  // still queued when Popup returns
    f.h.Pump();
    EXPECT_EQ(c.button == TW_BUTTON_LEFT ? f.below->presses : f.below->rightPresses, 1) << c.name;
    EXPECT_TRUE(f.clicks.empty());
}

INSTANTIATE_TEST_SUITE_P(Buttons, PressOutside,
                         ::testing::Values(OutsideCase{"left", TW_BUTTON_LEFT, false},
                                           OutsideCase{"right, right button not tracked", TW_BUTTON_RIGHT, false},
                                           OutsideCase{"right, right button tracked", TW_BUTTON_RIGHT, true}),
                         [](const auto& info) { return std::to_string(info.index); });

TEST(MenuLoop, TheFirstReleaseOverEmptySpaceIsIgnoredTheSecondCloses) {
    MenuFixture f;
    bool openAfterFirst = false;
    f.Then([&] {
        Release(POINT{f.at.x - 20, f.at.y - 20});  // a release, not over the menu
    });
    f.Then([&] {
        openAfterFirst = PopupOf(f.menu->Items()) != nullptr;
        Release(POINT{f.at.x - 20, f.at.y - 20});
    });
    // Releases over the form go to it through the capture: the menu sees them as its own.
    EXPECT_EQ(f.Popup(), nullptr);
    EXPECT_TRUE(openAfterFirst);
}

TEST(MenuLoop, LosingActivationEndsWithNothingDone) {
    MenuFixture f;
    f.Then([&] {
        Key(VK_DOWN);  // selects Open
    });
    f.Then([] { TwInputDeactivateApp(); });
    EXPECT_EQ(f.Popup(), nullptr);
    f.h.Pump();
    EXPECT_TRUE(f.clicks.empty());
}

TEST(MenuLoop, LosingTheCaptureEndsWithNothingDone) {
    MenuFixture f;
    f.Then([&] {
        Key(VK_DOWN);
    });
    f.Then([&] {
        SetCapture(f.form->Handle());
        // Characters and the F1 message still queued when the loop ends do not reach the program.
        PostMessageW(f.form->Handle(), WM_CHAR, 'z', 0);
        PostMessageW(f.form->Handle(), 0x004D, 0, 0);
    });
    EXPECT_EQ(f.Popup(), nullptr);
    EXPECT_FALSE(MenuFixture::Queued(WM_CHAR, WM_CHAR));
    EXPECT_FALSE(MenuFixture::Queued(0x004D, 0x004D));
    ReleaseCapture();
    f.h.Pump();
    EXPECT_TRUE(f.clicks.empty());
}

TEST(MenuLoop, AQuitWhileTheMenuIsOpenCancelsItAndIsPostedAgain) {
    MenuFixture f;
    f.Then([&] { Key(VK_DOWN); });
    f.Then([] { PostQuitMessage(7); });
    f.Then([] { Key(VK_RETURN); });  // reached only when the quit was lost: the item would run
    EXPECT_EQ(f.Popup(), nullptr);
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);
    f.h.Pump();
    EXPECT_TRUE(f.clicks.empty());
}

// ---- keys ----

TEST(MenuKeys, AUniqueAcceleratorRunsItsItemAfterTheLoop) {
    MenuFixture f;
    f.Then([] { Key('O', u"o"); });
    EXPECT_EQ(f.Popup(), f.open);
    EXPECT_TRUE(f.clicks.empty());
    f.h.Pump();
    EXPECT_EQ(f.clicks, std::vector<std::string>{"&Open"});
    f.h.Pump();
    EXPECT_EQ(f.clicks.size(), 1u);
}

TEST(MenuKeys, ASharedAcceleratorSelectsTheNextAndNoMatchBeeps) {
    MenuFixture f;
    TBarCustomItem* afterFirst = nullptr;
    TBarCustomItem* afterSecond = nullptr;
    f.Then([] { Key('S', u"s"); });
    f.Then([&] {
        afterFirst = PopupOf(f.menu->Items())->View()->Selected()->Item();
        Key('S', u"s");
    });
    f.Then([&] {
        afterSecond = PopupOf(f.menu->Items())->View()->Selected()->Item();
        Key('Q', u"q");
    });
    f.Then([] { Key(VK_ESCAPE); });
    EXPECT_EQ(f.Popup(), nullptr);
    EXPECT_EQ(afterFirst, f.save);
    EXPECT_EQ(afterSecond, f.send);
    EXPECT_EQ(Recorded::Count("MessageBeep 0"), 1);
    f.h.Pump();
    EXPECT_TRUE(f.clicks.empty());
}

TEST(MenuKeys, KeysAreDroppedWhileAButtonIsHeld) {
    MenuFixture f;
    TBarCustomItem* selected = nullptr;
    // Now inside: hold the button on the menu itself and type.
    f.Then([&] {
        const POINT p = ItemPoint(f.open);
        MoveTo(p);
        TwInputMouseButton(p.x, p.y, TW_BUTTON_LEFT, TRUE);
        Key(VK_DOWN);
        Key('X', u"x");
    });
    f.Then([&] {
        selected = PopupOf(f.menu->Items())->View()->Selected()->Item();
        TwInputMouseButton(ItemPoint(f.open).x, ItemPoint(f.open).y, TW_BUTTON_LEFT, FALSE);
    });
    EXPECT_EQ(f.Popup(), f.open);  // the release over Open runs it; Down and x did nothing
    EXPECT_EQ(selected, f.open);
}

TEST(MenuKeys, F1WithAHelpContextEndsWithHelp) {
    MenuFixture f;
    f.open->SetHelpContext(42);
    f.Then([] {
        Key(VK_DOWN);
        Key(VK_F1);
    });
    EXPECT_EQ(f.Popup(), nullptr);
    EXPECT_FALSE(MenuFixture::Queued(0x004D, 0x004D));
}

TEST(MenuKeys, KeysHeldByAnInputMethodActAsTheirRealKey) {
    MenuFixture f;
    TwSetImmVirtualKey(VK_DOWN);
    f.Then([&] {
        PostMessageW(f.form->Handle(), WM_KEYDOWN, VK_PROCESSKEY, 1);
        PostMessageW(f.form->Handle(), WM_KEYDOWN, VK_RETURN, 1);
    });
    EXPECT_EQ(f.Popup(true), f.open);
    TwSetImmVirtualKey(0);
}

// ---- errors ----

class TRaisingItem : public TPlainItem {
public:
    using TPlainItem::TPlainItem;
    TBarItemViewerClass GetItemViewerClass(TBarView*) override;
};

class TRaisingViewer : public TBarItemViewer {
public:
    using TBarItemViewer::TBarItemViewer;
    void MouseDown(vcl::TShiftState, int, int, bool&) override { throw rtl::Exception(u"pressed"_qs); }
};

TBarItemViewerClass TRaisingItem::GetItemViewerClass(TBarView*) { return TBarItemViewerClass::Of<TRaisingViewer>(); }

TEST(MenuLoop, AViewerRaisingCleansEverythingUpAndTheErrorTravelsOn) {
    MenuFixture f;
    auto* raising = new TRaisingItem(f.form);
    raising->SetCaption(u"Raise"_qs);
    f.menu->Items()->Add(raising);
    f.Then([&] {
        const POINT p = ItemPoint(raising);
        MoveTo(p);
        Press(p);
    });
    EXPECT_THROW(f.Popup(), rtl::Exception);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(PopupOf(f.menu->Items()), nullptr);
    EXPECT_EQ(Recorded::Events.back(), DWORD(EVENT_SYSTEM_MENUEND));
    EXPECT_EQ(Recorded::Count("LockSetForegroundWindow 2"), 1);
    EXPECT_FALSE(MenuFixture::Queued(WM_CHAR, WM_DEADCHAR));
}

// ---- timers ----

TEST(MenuTimers, ASubmenuOpensByMouseAtTheShowDelayAndByKeyAtOnce) {
    MenuFixture f;
    ForgetMenuShowDelay();
    const int delay = GetMenuShowDelay();
    ASSERT_EQ(delay, 400);
    bool openBefore = true, openAt = false, closedBefore = false, closedAfter = false;
    f.Then([&] { MoveTo(ItemPoint(f.recent)); });
    f.Then([&] { TwAdvanceClock(399); });
    f.Then([&] {
        openBefore = PopupOf(f.recent) != nullptr;
        TwAdvanceClock(1);
    });
    f.Then([&] {
        openAt = PopupOf(f.recent) != nullptr;
        MoveTo(ItemPoint(f.open));  // another item: the submenu closes after the same delay
    });
    f.Then([&] { TwAdvanceClock(399); });
    f.Then([&] {
        closedBefore = PopupOf(f.recent) == nullptr;
        TwAdvanceClock(1);
    });
    f.Then([&] {
        closedAfter = PopupOf(f.recent) == nullptr;
        Key(VK_ESCAPE);
    });
    EXPECT_EQ(f.Popup(), nullptr);
    EXPECT_FALSE(openBefore);
    EXPECT_TRUE(openAt);
    EXPECT_FALSE(closedBefore);
    EXPECT_TRUE(closedAfter);

    // By keyboard the submenu opens at once, its first item selected.
    TBarCustomItem* selectedInSub = nullptr;
    f.Then([] {
        Key('R', u"r");
    });
    f.Then([&] {
        if (TBarPopupWindow* sub = PopupOf(f.recent)) selectedInSub = sub->View()->Selected()->Item();
        Key(VK_ESCAPE);
        Key(VK_ESCAPE);
    });
    EXPECT_EQ(f.Popup(), nullptr);
    EXPECT_EQ(selectedInSub, f.first);
}

TEST(MenuTimers, OtherTimersAreDispatchedInsideTheLoop) {
    MenuFixture f;
    static int fired;
    fired = 0;
    f.Then([&] { SetTimer(f.form->Handle(), 77, 50, [](HWND h, UINT, UINT_PTR id, DWORD) {
                     ++fired;
                     KillTimer(h, id);
                 }); });
    f.Then([] { TwAdvanceClock(50); });
    f.Then([] { Key(VK_ESCAPE); });
    EXPECT_EQ(f.Popup(), nullptr);
    EXPECT_EQ(fired, 1);
}

TEST(MenuTimers, ATallMenuScrollsOneItemEvery100ms) {
    MenuFixture f;
    for (int i = 0; i < 120; ++i) f.Add(u"Filler", f.menu->Items());
    int offsetAt0 = -1, offsetAt100 = -1, offsetAt200 = -1;
    bool downArrow = false;
    f.Then([&] {
        TBarPopupWindow* w = PopupOf(f.menu->Items());
        downArrow = w->View()->ShowDownArrow();
        POINT p{w->ClientWidth() / 2, w->ClientHeight() - 5};
        ClientToScreen(w->Handle(), &p);
        MoveTo(p);
    });
    f.Then([&] {
        offsetAt0 = PopupOf(f.menu->Items())->View()->ScrollOffset();
        TwAdvanceClock(100);
    });
    f.Then([&] {
        offsetAt100 = PopupOf(f.menu->Items())->View()->ScrollOffset();
        TwAdvanceClock(100);
    });
    f.Then([&] {
        offsetAt200 = PopupOf(f.menu->Items())->View()->ScrollOffset();
        Key(VK_ESCAPE);
    });
    EXPECT_EQ(f.Popup(), nullptr);
    EXPECT_TRUE(downArrow);
    EXPECT_EQ(offsetAt0, 0);
    EXPECT_GT(offsetAt100, offsetAt0);
    EXPECT_GT(offsetAt200, offsetAt100);
    // The menu is no taller than the monitor less its frame.
    EXPECT_LE(offsetAt200 - offsetAt100, 40);
}

// ---- the selection of a parent follows its open popup through its own Select ----

TEST(MenuSelect, APopupSelectingReselectsTheOpenItemInItsParentWithItsEvents) {
    MenuFixture f;
    std::vector<std::string> events;
    f.recent->OnSelect = [&](TBarCustomItem*, TBarItemViewer*, bool selecting) {
        events.push_back(selecting ? "entered" : "left");
    };
    f.Then([&] { Key('R', u"r"); });  // opens Recent with its first item selected
    f.Then([&] {
        TBarView* root = PopupOf(f.menu->Items())->View();
        TBarView* sub = PopupOf(f.recent)->View();
        root->Select(root->Find(f.open), true);  // by mouse the parent's selection moves, the popup stays
        sub->SetSelected(sub->Find(f.second));
        if (root->Selected()) events.push_back("parent:" + root->Selected()->Item()->Caption().toStdString());
        Key(VK_ESCAPE);
        Key(VK_ESCAPE);
    });
    EXPECT_EQ(f.Popup(), nullptr);
    // Entered by the key, left for Open, entered again through Select: each entry has its leaving.
    EXPECT_EQ(events, (std::vector<std::string>{"entered", "left", "entered", "parent:&Recent"}));
}

// ---- the done action ----

TEST(DoneAction, SystemMenuAndHelp) {
    MenuFixture f;
    std::vector<std::pair<WPARAM, LPARAM>> syscommands;
    TBarDoneActionData data;
    data.DoneAction = tbdaOpenSystemMenu;
    data.Wnd = f.form->Handle();
    data.Key = u' ';
    f.form->WindowProc = [&, old = f.form->WindowProc](vcl::TMessage& m) {
        if (m.Msg == WM_SYSCOMMAND) syscommands.emplace_back(m.WParam, m.LParam);
        else old(m);
    };
    EXPECT_EQ(ExecuteDoneAction(data, false), nullptr);
    f.form->WindowProc = vcl::TWndMethod(f.form, &vcl::TControl::WndProc);
    ASSERT_EQ(syscommands.size(), 1u);
    EXPECT_EQ(syscommands[0].first & 0xFFF0, WPARAM(SC_KEYMENU));
    EXPECT_EQ(syscommands[0].second, LPARAM(' '));
    // A click plays the command sound only when asked and configured.
    data = {};
    data.DoneAction = tbdaClickItem;
    data.ClickItem = f.open;
    data.Sound = true;
    EXPECT_EQ(ExecuteDoneAction(data, true), f.open);
    f.h.Pump();
    EXPECT_TRUE(f.clicks.empty());
}

} // namespace

// ---- a toolbar's menu mode ----

namespace {

// The window of a toolbar: it paints its view and counts the presses that reach it.
class TBarHost : public TPressTarget {
public:
    using TPressTarget::TPressTarget;
    TBarView* View = nullptr;

protected:
    void Paint() override {
        Canvas()->Brush()->SetColor(vcl::clBtnFace);
        Canvas()->FillRect(ClientRect());
        if (View) View->DrawSubitems(Canvas());
    }
};

struct ToolbarFixture : MenuFixture {
    TBarRootItem* barRoot;
    TPlainItem *a, *b, *transparent;
    TBarHost* host;
    TBarView* bar;
    std::vector<std::pair<WPARAM, LPARAM>> sysCommands;
    ToolbarFixture() {
        barRoot = new TBarRootItem(form);
        a = Add(u"A", barRoot);
        b = Add(u"B", barRoot);
        transparent = Add(u"T", barRoot);
        transparent->AddStyle(tbisClicksTransparent);
        host = new TBarHost(form);
        host->SetParent(form);
        host->SetBounds(10, 10, 300, 30);
        bar = new TBarView(form, nullptr, barRoot, host, true, false, false);
        host->View = bar;
        bar->UpdatePositions();
        f_oldProc = form->WindowProc;
        form->WindowProc = [this](vcl::TMessage& m) {
            if (m.Msg == WM_SYSCOMMAND && (m.WParam & 0xFFF0) == SC_KEYMENU)
                sysCommands.emplace_back(m.WParam, m.LParam);
            else
                f_oldProc(m);
        };
        h.Pump();
    }
    ~ToolbarFixture() {
        form->WindowProc = f_oldProc;
        host->View = nullptr;
        delete bar;
    }
    POINT At(TBarCustomItem* item) {
        const TRect r = bar->Find(item)->BoundsRect();
        POINT p{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
        ClientToScreen(host->Handle(), &p);
        return p;
    }
    POINT EmptyBarSpace() {
        POINT p{290, 15};
        ClientToScreen(host->Handle(), &p);
        return p;
    }
    vcl::TWndMethod f_oldProc;
};

} // namespace

TEST(ViewerMouse, AToolbarButtonRunsOnlyWhenThePressBeganOnIt) {
    ToolbarFixture t;
    // Pressed on A (the press that entered the loop), released on A: A runs once, after the loop.
    MoveTo(t.At(t.a));
    t.h.Pump();
    t.bar->Select(t.bar->Find(t.a), true);
    t.Then([&] { Release(t.At(t.a)); });
    t.bar->EnterToolbarLoop({tbetMouseDown});
    EXPECT_TRUE(t.clicks.empty());
    t.h.Pump();
    EXPECT_EQ(t.clicks, std::vector<std::string>{"A"});
    // Pressed on A, released on B: nothing runs.
    t.clicks.clear();
    t.Then([&] {
        const POINT p = t.At(t.a);
        MoveTo(p);
        Press(p);
        MoveTo(t.At(t.b));
        Release(t.At(t.b));
    });
    t.bar->EnterToolbarLoop({});
    t.h.Pump();
    EXPECT_TRUE(t.clicks.empty());
    EXPECT_FALSE(t.bar->State.Contains(vsModal));
    EXPECT_EQ(t.bar->Selected(), nullptr);
}

struct BarEndCase {
    const char* name;
    int where;  // 0 item B, 1 empty bar space, 2 the clicks-transparent item, 3 a release on empty space
    bool ends;
};

std::ostream& operator<<(std::ostream& os, const BarEndCase& c) { return os << c.name; }

class ToolbarMode : public ::testing::TestWithParam<BarEndCase> {};

TEST_P(ToolbarMode, APressGoesOnOnlyOverAnotherItem) {
    const BarEndCase c = GetParam();
    ToolbarFixture t;
    bool stillModalAfterPress = false;
    t.Then([&] {
        const POINT p = c.where == 0 ? t.At(t.b) : c.where == 2 ? t.At(t.transparent) : t.EmptyBarSpace();
        MoveTo(p);
        if (c.where == 3)
            Release(p);
        else
            Press(p);
    });
    if (!c.ends)
        t.Then([&] {
            stillModalAfterPress = t.bar->State.Contains(vsModal) && t.bar->Selected() &&
                                   t.bar->Selected()->Item() == t.b;
            Release(t.At(t.b));
        });
    t.bar->EnterToolbarLoop({});
    t.h.Pump();
    if (c.ends) {
        EXPECT_TRUE(t.clicks.empty()) << c.name;
        EXPECT_EQ(t.host->presses, c.where == 3 ? 0 : 1) << c.name;  // the press reaches the bar afterwards
    } else {
        EXPECT_TRUE(stillModalAfterPress);
        EXPECT_EQ(t.clicks, std::vector<std::string>{"B"});
    }
}

INSTANTIATE_TEST_SUITE_P(Presses, ToolbarMode,
                         ::testing::Values(BarEndCase{"another item", 0, false},
                                           BarEndCase{"empty bar space", 1, true},
                                           BarEndCase{"clicks-transparent item", 2, true},
                                           BarEndCase{"release with nothing selected", 3, true}),
                         [](const auto& info) { return std::to_string(info.index); });

TEST(ToolbarMode, SpaceOrMinusOnTheBarOpensTheSystemMenuAfterTheLoop) {
    for (const char16_t ch : {u' ', u'-'}) {
        ToolbarFixture t;
        const UINT vk = ch == u' ' ? VK_SPACE : VK_OEM_MINUS;
        const char16_t text[2] = {ch, 0};
        t.Then([&] { Key(vk, text); });
        t.bar->EnterToolbarLoop({});
        ASSERT_EQ(t.sysCommands.size(), 1u);
        EXPECT_EQ(t.sysCommands[0].second, LPARAM(ch));
        EXPECT_FALSE(MenuFixture::Queued(WM_CHAR, WM_DEADCHAR));
    }
}

TEST(ToolbarMode, ASecondLoopOnAModalViewDoesNotStart) {
    ToolbarFixture t;
    t.bar->State.Include(vsModal);
    t.bar->EnterToolbarLoop({});  // returns at once: nothing is scripted
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_TRUE(Recorded::Events.empty());
}
