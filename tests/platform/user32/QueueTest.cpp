// The queue: ordering, filters, WM_QUIT, timers on the manual clock, hooks.
#include "Recorder.h"

using namespace user32_test;

TEST_F(WindowTest, PeekLeavesMessagesQueuedAndFiltersByRange) {
    HWND w = TopLevel(WS_OVERLAPPEDWINDOW);
    app.PumpUntilIdle();
    PostMessageW(w, WM_USER + 1, 1, 0);
    PostMessageW(w, WM_USER + 5, 5, 0);
    PostMessageW(w, WM_USER + 2, 2, 0);
    MSG m;
    ASSERT_TRUE(PeekMessageW(&m, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(m.message, UINT(WM_USER + 1));
    ASSERT_TRUE(PeekMessageW(&m, w, WM_USER + 2, WM_USER + 5, PM_REMOVE));
    EXPECT_EQ(m.message, UINT(WM_USER + 5));
    EXPECT_FALSE(PeekMessageW(&m, w, WM_USER + 6, WM_USER + 9, PM_REMOVE));
    ASSERT_TRUE(GetMessageW(&m, nullptr, 0, 0));
    EXPECT_EQ(m.message, UINT(WM_USER + 1));
    ASSERT_TRUE(GetMessageW(&m, nullptr, 0, 0));
    EXPECT_EQ(m.message, UINT(WM_USER + 2));
    EXPECT_FALSE(PeekMessageW(&m, nullptr, WM_USER, WM_USER + 100, PM_REMOVE));
}

TEST_F(WindowTest, QuitIsRetrievableWhateverTheFilterAfterPostedMessages) {
    HWND w = TopLevel(WS_OVERLAPPEDWINDOW);
    app.PumpUntilIdle();
    PostQuitMessage(3);
    PostMessageW(w, WM_USER, 0, 0);
    MSG m;
    ASSERT_TRUE(PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, UINT(WM_USER));
    ASSERT_TRUE(PeekMessageW(&m, w, WM_KEYFIRST, WM_KEYLAST, PM_NOREMOVE));
    EXPECT_EQ(m.message, UINT(WM_QUIT));
    EXPECT_EQ(GetMessageW(&m, nullptr, 0, 0), FALSE);
    EXPECT_EQ(m.wParam, 3u);
    EXPECT_FALSE(PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(WindowTest, PaintComesOnlyWhenNothingElseWaitsAndTimersLast) {
    HWND w = TopLevel();
    app.PumpUntilIdle();
    SetTimer(w, 1, 10, nullptr);
    TwAdvanceClock(20);
    InvalidateRect(w, nullptr, TRUE);
    PostMessageW(w, WM_USER, 0, 0);
    TwInputMouseMove(5000, 5000);  // off every window: dropped
    std::vector<UINT> order;
    MSG m;
    while (order.size() < 3 && PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        order.push_back(m.message);
        DispatchMessageW(&m);
    }
    EXPECT_EQ(order, (std::vector<UINT>{WM_USER, WM_PAINT, WM_TIMER}));
}

TEST_F(WindowTest, TimersFireOnTheManualClockOncePerExpiryAndCallbacksRun) {
    HWND w = TopLevel(WS_OVERLAPPEDWINDOW);
    app.PumpUntilIdle();
    static int callbacks = 0;
    callbacks = 0;
    SetTimer(w, 7, 100, nullptr);
    SetTimer(nullptr, 0, 250, [](HWND, UINT, UINT_PTR, DWORD) { ++callbacks; });
    rec.Clear();
    app.Advance(std::chrono::milliseconds(99));
    EXPECT_TRUE(rec.Of(WM_TIMER).empty());
    app.Advance(std::chrono::milliseconds(401));
    EXPECT_EQ(rec.Of(WM_TIMER).size(), 5u);
    EXPECT_EQ(rec.Of(WM_TIMER).at(0).wp, 7u);
    EXPECT_EQ(callbacks, 2);
    // A long stall gives one WM_TIMER, not a burst.
    rec.Clear();
    TwAdvanceClock(1000);
    app.PumpUntilIdle();
    EXPECT_EQ(rec.Of(WM_TIMER).size(), 1u);
    EXPECT_TRUE(KillTimer(w, 7));
    EXPECT_FALSE(KillTimer(w, 7));
    EXPECT_EQ(GetTickCount(), DWORD(10'000'000 + 1500));
}

namespace {
HWND redirectTo = nullptr;
LRESULT CALLBACK Redirect(int code, WPARAM wp, LPARAM lp) {
    auto* m = reinterpret_cast<MSG*>(lp);
    if (code == HC_ACTION && wp == PM_REMOVE && m->message == WM_USER + 3) m->hwnd = redirectTo;
    return CallNextHookEx(nullptr, code, wp, lp);
}
} // namespace

TEST_F(WindowTest, GetMessageHookMayRewriteTheMessage) {
    HWND a = TopLevel(WS_OVERLAPPEDWINDOW);
    HWND b = TopLevel(WS_OVERLAPPEDWINDOW);
    app.PumpUntilIdle();
    redirectTo = b;
    HHOOK h = SetWindowsHookExW(WH_GETMESSAGE, Redirect, nullptr, GetCurrentThreadId());
    PostMessageW(a, WM_USER + 3, 0, 0);
    rec.Clear();
    app.PumpUntilIdle();
    ASSERT_EQ(rec.Of(WM_USER + 3).size(), 1u);
    EXPECT_EQ(rec.Of(WM_USER + 3).at(0).hwnd, b);
    UnhookWindowsHookEx(h);
}

namespace {
std::vector<UINT> sentSeen;
LRESULT CALLBACK SendHook(int code, WPARAM wp, LPARAM lp) {
    sentSeen.push_back(reinterpret_cast<CWPSTRUCT*>(lp)->message);
    return CallNextHookEx(nullptr, code, wp, lp);
}
} // namespace

TEST_F(WindowTest, SendHooksSeeActivationAndPositionChanges) {
    sentSeen.clear();
    HHOOK h = SetWindowsHookExW(WH_CALLWNDPROC, SendHook, nullptr, 0);
    HWND w = TopLevel();
    UnhookWindowsHookEx(h);
    for (UINT m : {WM_ACTIVATEAPP, WM_ACTIVATE, WM_WINDOWPOSCHANGED, WM_CREATE})
        EXPECT_NE(std::find(sentSeen.begin(), sentSeen.end(), m), sentSeen.end()) << m;
    sentSeen.clear();
    SendMessageW(w, WM_USER, 0, 0);
    EXPECT_TRUE(sentSeen.empty());
    EXPECT_EQ(RegisterWindowMessageW(u"KW_DROPFILES"), RegisterWindowMessageW(u"kw_dropfiles"));
    EXPECT_GE(RegisterWindowMessageW(u"KW_DROPFILES"), 0xC000u);
}

TEST_F(WindowTest, MessageWaitTimesOutOnTheManualClock) {
    TopLevel(WS_OVERLAPPEDWINDOW);
    app.PumpUntilIdle();
    const DWORD before = GetTickCount();
    EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 30, QS_ALLINPUT), DWORD(WAIT_TIMEOUT));
    EXPECT_EQ(GetTickCount() - before, 30u);
    PostMessageW(nullptr, WM_USER, 0, 0);
    EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 30, QS_ALLINPUT), DWORD(WAIT_OBJECT_0));
}
