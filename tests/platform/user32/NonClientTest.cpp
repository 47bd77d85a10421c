// Default window procedure answers kept per window: keyboard-cue (UI) state.
#include "Recorder.h"

using namespace user32_test;

namespace {

int CALLBACK KeyboardCuesOn(UINT action, UINT, PVOID pv, UINT) {
    if (action != SPI_GETKEYBOARDCUES) return -1;
    *static_cast<BOOL*>(pv) = TRUE;
    return 1;
}

LRESULT Query(HWND h) { return SendMessageW(h, WM_QUERYUISTATE, 0, 0); }

} // namespace

TEST_F(WindowTest, UiStateChangesGoThroughTheTopLevelWindowToEveryChild) {
    HWND top = TopLevel(WS_POPUP | WS_VISIBLE, RECT{0, 0, 200, 200});
    HWND child = Child(top, RECT{10, 10, 100, 100});
    HWND grandchild = Child(child, RECT{5, 5, 50, 50});
    rec.Clear();
    SendMessageW(grandchild, WM_CHANGEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEACCEL | UISF_HIDEFOCUS), 0);
    std::vector<std::pair<HWND, UINT>> seen;
    for (const Seen& s : rec.seen) seen.emplace_back(s.hwnd, s.msg);
    EXPECT_EQ(seen, (std::vector<std::pair<HWND, UINT>>{{grandchild, WM_CHANGEUISTATE}, {child, WM_CHANGEUISTATE},
                                                         {top, WM_CHANGEUISTATE}, {top, WM_UPDATEUISTATE},
                                                         {child, WM_UPDATEUISTATE}, {grandchild, WM_UPDATEUISTATE}}));
    for (HWND h : {top, child, grandchild}) EXPECT_EQ(Query(h), UISF_HIDEACCEL | UISF_HIDEFOCUS);

    rec.Clear();
    SendMessageW(child, WM_CHANGEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEACCEL), 0);  // already so
    EXPECT_TRUE(rec.Of(WM_UPDATEUISTATE).empty());
    SendMessageW(child, WM_CHANGEUISTATE, MAKEWPARAM(7, UISF_HIDEACCEL), 0);  // no such action
    EXPECT_TRUE(rec.Of(WM_UPDATEUISTATE).empty());
    SendMessageW(top, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    EXPECT_EQ(Query(grandchild), UISF_HIDEACCEL);
    EXPECT_EQ(Query(Child(top, RECT{0, 0, 5, 5}, WS_CHILD, 2)), UISF_HIDEACCEL);  // a new child inherits
}

TEST_F(WindowTest, InitializeHidesCuesAfterAClickShowsThemAfterKeysAndAltShowsAccelerators) {
    HWND top = TopLevel(WS_POPUP | WS_VISIBLE, RECT{0, 0, 200, 200});
    app.Click(top, POINT{20, 20});
    SendMessageW(top, WM_CHANGEUISTATE, MAKEWPARAM(UIS_INITIALIZE, UISF_HIDEACCEL), 0);
    EXPECT_EQ(Query(top), UISF_HIDEACCEL);
    app.Tap(VK_TAB);
    SendMessageW(top, WM_CHANGEUISTATE, MAKEWPARAM(UIS_INITIALIZE, UISF_HIDEACCEL), 0);
    EXPECT_EQ(Query(top), 0);

    app.Click(top, POINT{20, 20});
    SendMessageW(top, WM_CHANGEUISTATE, MAKEWPARAM(UIS_INITIALIZE, UISF_HIDEACCEL), 0);
    SetFocus(top);
    app.KeyDown(VK_MENU);
    EXPECT_EQ(Query(top), 0);
    app.KeyUp(VK_MENU);

    // The user asked to always see keyboard cues: nothing hides them.
    TwSetSystemParametersProvider(KeyboardCuesOn);
    app.Click(top, POINT{20, 20});
    SendMessageW(top, WM_CHANGEUISTATE, MAKEWPARAM(UIS_INITIALIZE, UISF_HIDEACCEL | UISF_HIDEFOCUS), 0);
    SendMessageW(top, WM_CHANGEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEACCEL), 0);
    EXPECT_EQ(Query(top), 0);
}

namespace {

// The screen centre of a caption button of a window that draws its own frame.
POINT ButtonCentre(HWND h, int hit) {
    RECT wr{};
    GetWindowRect(h, &wr);
    const int b = GetSystemMetrics(SM_CXFRAME);
    const RECT caption{wr.left + b, wr.top + b, wr.right - b, wr.top + b + GetSystemMetrics(SM_CYCAPTION)};
    RECT r{};
    EXPECT_TRUE(TwCaptionButtonRect(&caption, hit, &r));
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

} // namespace

TEST_F(WindowTest, OwnFramedWindowHitsItsCaptionButtonsAndRunsTheirCommandOnlyWhenReleasedOverThem) {
    HWND top = TopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT{100, 100, 500, 400});
    ASSERT_TRUE(TwSetOwnFrame(top, TRUE));
    SetWindowPos(top, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
    const POINT close = ButtonCentre(top, HTCLOSE), max = ButtonCentre(top, HTMAXBUTTON), min = ButtonCentre(top, HTMINBUTTON);
    EXPECT_EQ(SendMessageW(top, WM_NCHITTEST, 0, MAKELPARAM(close.x, close.y)), HTCLOSE);
    EXPECT_EQ(SendMessageW(top, WM_NCHITTEST, 0, MAKELPARAM(max.x, max.y)), HTMAXBUTTON);
    EXPECT_EQ(SendMessageW(top, WM_NCHITTEST, 0, MAKELPARAM(min.x, min.y)), HTMINBUTTON);
    EXPECT_EQ(SendMessageW(top, WM_NCHITTEST, 0, MAKELPARAM(close.x - 120, close.y)), HTCAPTION);

    struct Case {
        const char* Name;
        POINT Release;
        bool Command;
    } cases[] = {{"released off the button", POINT{max.x - 100, max.y + 80}, false},
                 {"pressed and released over it", max, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        rec.Clear();
        int step = 0;
        app.OnIdle([&] {
            if (step == 0) TwInputMouseMove(c.Release.x, c.Release.y);
            else if (step == 1) TwInputMouseButton(c.Release.x, c.Release.y, TW_BUTTON_LEFT, FALSE);
            else TwAdvanceClock(100);
            ++step;
        });
        TwInputMouseMove(max.x, max.y);
        TwInputMouseButton(max.x, max.y, TW_BUTTON_LEFT, TRUE);
        app.PumpUntilIdle();
        app.OnIdle(nullptr);
        EXPECT_GE(step, 2) << "the press ran a loop of its own";
        const auto commands = rec.Of(WM_SYSCOMMAND);
        ASSERT_EQ(commands.size(), c.Command ? 1u : 0u);
        if (c.Command) {
            EXPECT_EQ(commands[0].wp & 0xFFF0, WPARAM(SC_MAXIMIZE));
        }
        EXPECT_EQ(GetCapture(), nullptr);
        app.Advance(std::chrono::milliseconds(1000));
    }
    ASSERT_TRUE(TwSetOwnFrame(top, FALSE));
}
