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
