// Input: hit testing, capture, activation, keys, Qt events, drops.
#include "Recorder.h"
#include "qt/QtBackend.h"
#include "win/kernel32/modules.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWindow>

using namespace user32_test;

TEST_F(WindowTest, CustomHitCodesReachSetCursorAndNonClientMessagesUnchanged) {
    HWND w = TopLevel(WS_POPUP | WS_VISIBLE, RECT{100, 100, 300, 300});
    rec.handlers[w] = [](HWND, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (m == WM_NCHITTEST) return 2001;
        return std::nullopt;
    };
    app.PumpUntilIdle();
    rec.Clear();
    app.Click(w, POINT{20, 20});
    ASSERT_FALSE(rec.Of(WM_SETCURSOR).empty());
    EXPECT_EQ(LOWORD(rec.Of(WM_SETCURSOR).back().lp), 2001);
    ASSERT_EQ(rec.Of(WM_NCLBUTTONDOWN).size(), 1u);
    EXPECT_EQ(rec.Of(WM_NCLBUTTONDOWN)[0].wp, 2001u);
    EXPECT_EQ(rec.Of(WM_NCLBUTTONUP)[0].wp, 2001u);
    EXPECT_EQ(rec.Of(WM_NCLBUTTONDOWN)[0].lp, MAKELPARAM(120, 120));
    EXPECT_TRUE(rec.Of(WM_LBUTTONDOWN).empty());
}

TEST_F(WindowTest, MouseGoesToTheDeepestChildOrToTheCapture) {
    HWND top = TopLevel(WS_POPUP | WS_VISIBLE, RECT{0, 0, 300, 300});
    HWND a = Child(top, RECT{10, 10, 110, 110});
    HWND disabled = Child(top, RECT{150, 10, 250, 110}, WS_CHILD | WS_VISIBLE | WS_DISABLED, 2);
    app.PumpUntilIdle();
    rec.Clear();
    app.Click(top, POINT{20, 30});
    ASSERT_EQ(rec.Of(WM_LBUTTONDOWN).size(), 1u);
    EXPECT_EQ(rec.Of(WM_LBUTTONDOWN)[0].hwnd, a);
    EXPECT_EQ(rec.Of(WM_LBUTTONDOWN)[0].lp, MAKELPARAM(10, 20));
    EXPECT_EQ(rec.Of(WM_LBUTTONDOWN)[0].wp, WPARAM(MK_LBUTTON));
    rec.Clear();
    app.Click(top, POINT{160, 20});  // a disabled child lets its parent have the click
    EXPECT_EQ(rec.Of(WM_LBUTTONDOWN).at(0).hwnd, top);
    (void)disabled;
    SetCapture(a);
    rec.Clear();
    app.Click(top, POINT{200, 200});
    ASSERT_EQ(rec.Of(WM_LBUTTONUP).size(), 1u);
    EXPECT_EQ(rec.Of(WM_LBUTTONUP)[0].hwnd, a);
    EXPECT_EQ(rec.Of(WM_LBUTTONUP)[0].lp, MAKELPARAM(190, 190));
    ReleaseCapture();
    EXPECT_EQ(rec.Of(WM_CAPTURECHANGED).size(), 1u);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(WindowTest, ATransparentHitPassesToTheWindowBelow) {
    HWND top = TopLevel(WS_POPUP | WS_VISIBLE, RECT{0, 0, 300, 300});
    HWND glass = Child(top, RECT{0, 0, 100, 100});
    rec.handlers[glass] = [](HWND, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (m == WM_NCHITTEST) return HTTRANSPARENT;
        return std::nullopt;
    };
    app.PumpUntilIdle();
    rec.Clear();
    app.Click(top, POINT{50, 50});
    EXPECT_EQ(rec.Of(WM_LBUTTONDOWN).at(0).hwnd, top);
}

TEST_F(WindowTest, DoubleClicksOnlyForClassesThatAskAndWithinTimeAndDistance) {
    HWND top = TopLevel(WS_POPUP | WS_VISIBLE, RECT{0, 0, 300, 300});
    HWND dbl = Child(top, RECT{0, 0, 100, 100}, WS_CHILD | WS_VISIBLE, 1, u"TwTestDblClk");
    HWND plain = Child(top, RECT{150, 0, 250, 100}, WS_CHILD | WS_VISIBLE, 2);
    app.PumpUntilIdle();
    rec.Clear();
    app.DoubleClick(top, POINT{10, 10});
    app.DoubleClick(top, POINT{160, 10});
    EXPECT_EQ(rec.Of(WM_LBUTTONDBLCLK).size(), 1u);
    EXPECT_EQ(rec.Of(WM_LBUTTONDBLCLK).at(0).hwnd, dbl);
    EXPECT_EQ(rec.Of(WM_LBUTTONDOWN).size(), 3u);
    rec.Clear();
    app.Click(top, POINT{10, 10});
    TwAdvanceClock(GetDoubleClickTime() + 1);
    app.Click(top, POINT{10, 10});
    EXPECT_TRUE(rec.Of(WM_LBUTTONDBLCLK).empty());
    (void)plain;
}

TEST_F(WindowTest, MouseActivateNoActivateKeepsTheWindowInactive) {
    HWND main = TopLevel();
    HWND popup = TopLevel(WS_POPUP | WS_VISIBLE, RECT{600, 100, 700, 200});
    SetActiveWindow(main);
    rec.handlers[popup] = [](HWND, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (m == WM_MOUSEACTIVATE) return MA_NOACTIVATE;
        return std::nullopt;
    };
    app.PumpUntilIdle();
    rec.Clear();
    app.Click(popup, POINT{10, 10});
    EXPECT_EQ(rec.Of(WM_MOUSEACTIVATE).size(), 1u);
    EXPECT_EQ(GetActiveWindow(), main);
    EXPECT_EQ(rec.Of(WM_LBUTTONDOWN).size(), 1u);
    rec.handlers.erase(popup);
    app.Click(popup, POINT{10, 10});
    EXPECT_EQ(GetActiveWindow(), popup);
}

TEST_F(WindowTest, ClickInAChildOfTheActiveWindowAsksItsParentsButActivatesNothing) {
    HWND top = TopLevel(WS_POPUP | WS_VISIBLE, RECT{0, 0, 300, 300});
    HWND child = Child(top, RECT{10, 10, 110, 110});
    LRESULT answer = 0;  // the parent's: 0 lets DefWindowProc decide
    rec.handlers[top] = [&](HWND, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (m == WM_MOUSEACTIVATE && answer) return answer;
        return std::nullopt;
    };
    SetActiveWindow(top);
    app.PumpUntilIdle();
    rec.Clear();
    app.Click(top, POINT{20, 20});
    ASSERT_EQ(rec.Of(WM_MOUSEACTIVATE).size(), 2u);  // the child, passing it on to its parent
    EXPECT_EQ(rec.Of(WM_MOUSEACTIVATE)[0].hwnd, child);
    EXPECT_EQ(rec.Of(WM_MOUSEACTIVATE)[1].hwnd, top);
    EXPECT_EQ(rec.Of(WM_MOUSEACTIVATE)[1].wp, reinterpret_cast<WPARAM>(top));
    EXPECT_EQ(rec.Of(WM_MOUSEACTIVATE)[1].lp, MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
    EXPECT_TRUE(rec.Of(WM_NCACTIVATE).empty());
    EXPECT_TRUE(rec.Of(WM_ACTIVATE).empty());
    EXPECT_EQ(rec.Of(WM_LBUTTONDOWN).size(), 1u);
    // The active window itself is not asked.
    rec.Clear();
    app.Click(top, POINT{200, 200});
    EXPECT_TRUE(rec.Of(WM_MOUSEACTIVATE).empty());
    EXPECT_EQ(rec.Of(WM_LBUTTONDOWN).size(), 1u);
    // A parent may eat the click.
    answer = MA_NOACTIVATEANDEAT;
    rec.Clear();
    app.Click(top, POINT{20, 20});
    EXPECT_EQ(rec.Of(WM_MOUSEACTIVATE).size(), 2u);
    EXPECT_TRUE(rec.Of(WM_LBUTTONDOWN).empty());
    EXPECT_EQ(GetActiveWindow(), top);
}

TEST_F(WindowTest, ActivationSequenceAndActivateAppOnlyForTopLevelWindows) {
    HWND a = TopLevel();
    HWND child = Child(a, RECT{0, 0, 50, 50});
    HWND b = TopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT{600, 100, 900, 400});
    ASSERT_EQ(GetActiveWindow(), b);
    EXPECT_TRUE(rec.Of(WM_ACTIVATEAPP).size() >= 1u);
    for (const Seen& s : rec.Of(WM_ACTIVATEAPP)) EXPECT_NE(s.hwnd, child);
    rec.Clear();
    SetActiveWindow(a);
    std::vector<std::pair<HWND, UINT>> got;
    for (const Seen& s : rec.seen)
        if (s.msg == WM_NCACTIVATE || s.msg == WM_ACTIVATE || s.msg == WM_SETFOCUS || s.msg == WM_KILLFOCUS ||
            s.msg == WM_ACTIVATEAPP)
            got.emplace_back(s.hwnd, s.msg);
    EXPECT_EQ(got, (std::vector<std::pair<HWND, UINT>>{{b, WM_NCACTIVATE}, {b, WM_ACTIVATE}, {a, WM_NCACTIVATE},
                                                       {a, WM_ACTIVATE}, {b, WM_KILLFOCUS}, {a, WM_SETFOCUS}}));
    // Focus into a child of the other window activates that window first.
    rec.Clear();
    SetFocus(child);
    EXPECT_EQ(GetFocus(), child);
    EXPECT_EQ(GetActiveWindow(), a);
    EXPECT_EQ(rec.Of(WM_KILLFOCUS).at(0).hwnd, a);
    EXPECT_EQ(rec.Of(WM_SETFOCUS).at(0).wp, reinterpret_cast<WPARAM>(a));
}

TEST_F(WindowTest, KeysCarryWindowsLParamAndTranslateToCharacters) {
    HWND w = TopLevel();
    app.PumpUntilIdle();
    rec.Clear();
    app.KeyDown(VK_SHIFT);
    app.Tap('A');
    EXPECT_LT(GetKeyState(VK_SHIFT), 0);
    app.KeyUp(VK_SHIFT);
    EXPECT_GE(GetKeyState(VK_SHIFT), 0);
    auto downs = rec.Of(WM_KEYDOWN);
    ASSERT_EQ(downs.size(), 2u);
    EXPECT_EQ(downs[1].wp, WPARAM('A'));
    EXPECT_EQ(DWORD(downs[1].lp), DWORD(1 | (0x1E << 16)));
    EXPECT_EQ(DWORD(rec.Of(WM_KEYUP).at(0).lp), DWORD(1 | (0x1E << 16) | (1u << 30) | (1u << 31)));
    ASSERT_EQ(rec.Of(WM_CHAR).size(), 1u);
    EXPECT_EQ(rec.Of(WM_CHAR)[0].wp, WPARAM('A'));
    EXPECT_EQ(rec.Of(WM_CHAR)[0].hwnd, w);
}

TEST_F(WindowTest, AltAloneAltLetterAndF10AskForTheMenu) {
    HWND w = TopLevel();
    HWND child = Child(w, RECT{0, 0, 50, 50});
    SetFocus(child);
    app.PumpUntilIdle();
    rec.Clear();
    app.Tap(VK_MENU);
    app.KeyDown(VK_MENU);
    app.Tap('F');
    app.KeyUp(VK_MENU);
    app.Tap(VK_F10);
    std::vector<LPARAM> menus;
    for (const Seen& s : rec.Of(WM_SYSCOMMAND)) {
        EXPECT_EQ(s.hwnd, w);
        EXPECT_EQ(s.wp & 0xFFF0, WPARAM(SC_KEYMENU));
        menus.push_back(s.lp);
    }
    EXPECT_EQ(menus, (std::vector<LPARAM>{0, 'f', 0}));
    EXPECT_EQ(rec.Of(WM_SYSCHAR).at(0).hwnd, child);
}

TEST_F(WindowTest, APressThatEndsAModalLoopStaysQueuedForItsOwnTarget) {
    HWND main = TopLevel(WS_POPUP | WS_VISIBLE, RECT{0, 0, 300, 300});
    HWND menu = TopLevel(WS_POPUP | WS_VISIBLE, RECT{400, 0, 500, 100});
    app.PumpUntilIdle();
    SetCapture(menu);
    const POINT p = testing_support::HeadlessApp::ToScreen(main, POINT{50, 50});
    TwInputMouseButton(p.x, p.y, TW_BUTTON_LEFT, TRUE);
    // The loop looks without taking, sees a press outside, and ends.
    MSG m;
    ASSERT_TRUE(PeekMessageW(&m, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(m.hwnd, menu);
    EXPECT_EQ(m.message, UINT(WM_LBUTTONDOWN));
    ReleaseCapture();
    rec.Clear();
    app.PumpUntilIdle();
    ASSERT_EQ(rec.Of(WM_LBUTTONDOWN).size(), 1u);
    EXPECT_EQ(rec.Of(WM_LBUTTONDOWN)[0].hwnd, main);
    EXPECT_EQ(rec.Of(WM_LBUTTONDOWN)[0].lp, MAKELPARAM(50, 50));
}

TEST_F(WindowTest, QtMouseAndKeyEventsArriveAsMessages) {
    HWND w = TopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT{100, 100, 400, 300});
    app.PumpUntilIdle();
    QWindow* qw = twqt::WindowOf(w);
    ASSERT_NE(qw, nullptr);
    rec.Clear();
    const QPointF local(30, 40);
    const QPointF global = qw->mapToGlobal(local.toPoint());
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(qw, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(qw, &release);
    QKeyEvent key(QEvent::KeyPress, Qt::Key_Z, Qt::NoModifier, QStringLiteral("z"));
    QCoreApplication::sendEvent(qw, &key);
    QKeyEvent keyUp(QEvent::KeyRelease, Qt::Key_Z, Qt::NoModifier);
    QCoreApplication::sendEvent(qw, &keyUp);
    app.PumpUntilIdle();
    ASSERT_EQ(rec.Of(WM_LBUTTONDOWN).size(), 1u);
    const POINT expect = [&] {
        POINT s{LONG(global.x()), LONG(global.y())};
        ScreenToClient(w, &s);
        return s;
    }();
    EXPECT_EQ(rec.Of(WM_LBUTTONDOWN)[0].lp, MAKELPARAM(expect.x, expect.y));
    EXPECT_EQ(rec.Of(WM_LBUTTONUP).size(), 1u);
    EXPECT_EQ(rec.Of(WM_KEYDOWN).at(0).wp, WPARAM('Z'));
    EXPECT_EQ(rec.Of(WM_CHAR).at(0).wp, WPARAM('z'));
    EXPECT_EQ(rec.Of(WM_KEYUP).size(), 1u);
}

TEST_F(WindowTest, DroppedFilesArriveAsDropFilesForWindowsThatAccept) {
    HWND top = TopLevel(WS_POPUP | WS_VISIBLE, RECT{0, 0, 300, 300});
    HWND child = Child(top, RECT{10, 10, 110, 110});
    app.PumpUntilIdle();
    const POINT p = testing_support::HeadlessApp::ToScreen(child, POINT{5, 6});
    EXPECT_FALSE(TwInputDropFiles(p.x, p.y, u"/tmp/a.webm\0"));
    DragAcceptFiles(top, TRUE);
    ASSERT_TRUE(TwInputDropFiles(p.x, p.y, u"/tmp/a.webm\0/tmp/b c.mp4\0"));
    rec.Clear();
    app.PumpUntilIdle();
    ASSERT_EQ(rec.Of(WM_DROPFILES).size(), 1u);
    const Seen d = rec.Of(WM_DROPFILES)[0];
    EXPECT_EQ(d.hwnd, top);
    auto drop = reinterpret_cast<HDROP>(d.wp);
    ASSERT_EQ(DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0), 2u);
    WCHAR name[64];
    EXPECT_EQ(DragQueryFileW(drop, 1, nullptr, 0), 12u);
    DragQueryFileW(drop, 1, name, 64);
    EXPECT_EQ(std::u16string(name), u"/tmp/b c.mp4");
    EXPECT_EQ(DragQueryFileW(drop, 1, name, 5), 4u);
    EXPECT_EQ(std::u16string(name), u"/tmp");
    POINT at;
    EXPECT_TRUE(DragQueryPoint(drop, &at));
    EXPECT_EQ(at.x, 15);
    EXPECT_EQ(at.y, 16);
    DragFinish(drop);
}

TEST_F(WindowTest, TrackMouseEventGivesOneLeave) {
    HWND a = TopLevel(WS_POPUP | WS_VISIBLE, RECT{0, 0, 100, 100});
    HWND b = TopLevel(WS_POPUP | WS_VISIBLE, RECT{200, 0, 300, 100});
    app.MoveTo(a, POINT{10, 10});
    TRACKMOUSEEVENT t{sizeof t, TME_LEAVE, a, 0};
    ASSERT_TRUE(TrackMouseEvent(&t));
    rec.Clear();
    app.MoveTo(a, POINT{20, 20});
    EXPECT_TRUE(rec.Of(WM_MOUSELEAVE).empty());
    app.MoveTo(b, POINT{10, 10});
    app.MoveTo(a, POINT{10, 10});
    app.MoveTo(b, POINT{10, 10});
    EXPECT_EQ(rec.Of(WM_MOUSELEAVE).size(), 1u);
}

TEST_F(WindowTest, NonClientLeaveTrackingThroughTheCommonControlsEntryPoint) {
    // Looked up by name as the class library does; the same tracking as TrackMouseEvent.
    auto track = reinterpret_cast<BOOL (*)(LPTRACKMOUSEEVENT)>(
        reinterpret_cast<void*>(TwFindExport(TwFindModule(u"comctl32.dll"), "_TrackMouseEvent")));
    ASSERT_NE(track, nullptr);
    HWND w = TopLevel(WS_POPUP | WS_VISIBLE | WS_VSCROLL, RECT{0, 0, 200, 200});
    app.PumpUntilIdle();
    TwInputMouseMove(195, 100);  // on the scroll bar
    app.PumpUntilIdle();
    TRACKMOUSEEVENT t{sizeof t, TME_LEAVE | TME_NONCLIENT, w, 0};
    ASSERT_TRUE(track(&t));
    TRACKMOUSEEVENT q{sizeof q, TME_QUERY, nullptr, 0};
    ASSERT_TRUE(track(&q));
    EXPECT_EQ(q.dwFlags, DWORD(TME_LEAVE | TME_NONCLIENT));
    EXPECT_EQ(q.hwndTrack, w);
    rec.Clear();
    TwInputMouseMove(194, 120);
    app.PumpUntilIdle();
    EXPECT_TRUE(rec.Of(WM_NCMOUSELEAVE).empty());
    app.MoveTo(w, POINT{50, 50});  // into the client area
    TwInputMouseMove(195, 100);
    app.PumpUntilIdle();
    app.MoveTo(w, POINT{60, 50});
    EXPECT_EQ(rec.Of(WM_NCMOUSELEAVE).size(), 1u);
    EXPECT_TRUE(rec.Of(WM_MOUSELEAVE).empty());

    // A cancelled request gives nothing.
    TwInputMouseMove(195, 100);
    app.PumpUntilIdle();
    ASSERT_TRUE(track(&t));
    TRACKMOUSEEVENT c{sizeof c, TME_CANCEL | TME_LEAVE | TME_NONCLIENT, w, 0};
    ASSERT_TRUE(track(&c));
    rec.Clear();
    app.MoveTo(w, POINT{50, 50});
    EXPECT_TRUE(rec.Of(WM_NCMOUSELEAVE).empty());
}
