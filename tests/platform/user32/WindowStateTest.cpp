// Window states and the rules around them that the oracle traces do not reach: what the window's own
// answers (WM_QUERYOPEN, WM_GETMINMAXINFO, the CBT hook) change, and button notifications to parents.
#include "Recorder.h"

using namespace user32_test;

namespace {

constexpr DWORD SizingPopup = WS_POPUP | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_SYSMENU | WS_VISIBLE;

RECT RectOf(HWND h) {
    RECT r{};
    GetWindowRect(h, &r);
    return r;
}

bool Same(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != 0; }

HHOOK moveHook = nullptr;
bool refuseMove = false;
std::vector<RECT> moveRects;
LRESULT CALLBACK MoveCbt(int code, WPARAM wp, LPARAM lp) {
    if (code == HCBT_MOVESIZE) {
        moveRects.push_back(*reinterpret_cast<RECT*>(lp));
        if (refuseMove) return 1;
    }
    return CallNextHookEx(moveHook, code, wp, lp);
}

} // namespace

TEST_F(WindowTest, AnIconThatRefusesToOpenStaysAnIcon) {
    HWND w = TopLevel(SizingPopup, RECT{100, 100, 500, 400});
    ShowWindow(w, SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(w));
    rec.handlers[w] = [](HWND, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (m == WM_QUERYOPEN) return 0;
        return std::nullopt;
    };
    rec.Clear();
    ShowWindow(w, SW_RESTORE);
    EXPECT_TRUE(IsIconic(w));
    EXPECT_EQ(rec.Messages(w), (std::vector<UINT>{WM_QUERYOPEN}));
    rec.handlers.erase(w);
    ShowWindow(w, SW_RESTORE);
    EXPECT_FALSE(IsIconic(w));
    EXPECT_TRUE(Same(RectOf(w), RECT{100, 100, 500, 400}));
}

TEST_F(WindowTest, MaximisingAsksGetMinMaxInfoAndAnIconRemembersItWasMaximised) {
    HWND w = TopLevel(SizingPopup, RECT{100, 100, 500, 400});
    rec.handlers[w] = [](HWND, UINT m, WPARAM, LPARAM lp) -> std::optional<LRESULT> {
        if (m != WM_GETMINMAXINFO) return std::nullopt;
        auto* mmi = reinterpret_cast<MINMAXINFO*>(lp);
        mmi->ptMaxPosition = POINT{20, 30};
        mmi->ptMaxSize = POINT{600, 500};
        return 0;
    };
    ShowWindow(w, SW_MAXIMIZE);
    EXPECT_TRUE(IsZoomed(w));
    const RECT area = [] {
        RECT r{};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0);
        return r;
    }();
    EXPECT_TRUE(Same(RectOf(w), RECT{area.left + 20, area.top + 30, area.left + 620, area.top + 530}));
    ASSERT_FALSE(rec.Of(WM_SIZE).empty());
    EXPECT_EQ(rec.Of(WM_SIZE).back().wp, WPARAM(SIZE_MAXIMIZED));

    // Minimised from there: an icon off the screen with no client area, not zoomed; restoring maximises.
    rec.Clear();
    ShowWindow(w, SW_MINIMIZE);
    EXPECT_TRUE(IsIconic(w));
    EXPECT_FALSE(IsZoomed(w));
    EXPECT_LT(RectOf(w).left, -10000);
    RECT client{};
    GetClientRect(w, &client);
    EXPECT_TRUE(IsRectEmpty(&client));
    ASSERT_FALSE(rec.Of(WM_SIZE).empty());
    EXPECT_EQ(rec.Of(WM_SIZE).back().wp, WPARAM(SIZE_MINIMIZED));
    WINDOWPLACEMENT pl{};
    pl.length = sizeof pl;
    GetWindowPlacement(w, &pl);
    EXPECT_EQ(pl.showCmd, UINT(SW_SHOWMINIMIZED));
    EXPECT_TRUE(Same(pl.rcNormalPosition, RECT{100, 100, 500, 400}));
    SendMessageW(w, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_TRUE(IsZoomed(w));
    EXPECT_TRUE(Same(RectOf(w), RECT{area.left + 20, area.top + 30, area.left + 620, area.top + 530}));
    SendMessageW(w, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_FALSE(IsZoomed(w));
    EXPECT_TRUE(Same(RectOf(w), RECT{100, 100, 500, 400}));
}

TEST_F(WindowTest, AMoveTheCbtHookRefusesPutsTheWindowBack) {
    HWND w = TopLevel(SizingPopup, RECT{100, 100, 500, 400});
    moveHook = SetWindowsHookExW(WH_CBT, MoveCbt, nullptr, GetCurrentThreadId());
    auto keyMove = [w] {
        PostMessageW(w, WM_KEYDOWN, VK_RIGHT, 0);
        PostMessageW(w, WM_KEYDOWN, VK_RIGHT, 0);
        PostMessageW(w, WM_KEYDOWN, VK_RETURN, 0);
        SendMessageW(w, WM_SYSCOMMAND, SC_MOVE, 0);
    };
    moveRects.clear();
    refuseMove = false;
    keyMove();
    const RECT moved = RectOf(w);
    EXPECT_GT(moved.left, 100);
    ASSERT_EQ(moveRects.size(), 1u);
    EXPECT_TRUE(Same(moveRects[0], moved));  // the hook sees where the window ends up

    refuseMove = true;
    keyMove();
    EXPECT_TRUE(Same(RectOf(w), moved));
    EXPECT_EQ(moveRects.size(), 2u);
    EXPECT_GT(moveRects[1].left, moved.left);
    refuseMove = false;
    UnhookWindowsHookEx(moveHook);
}

TEST_F(WindowTest, AButtonDownInAChildTellsEachParentWhereUnlessTheChildSaysNot) {
    HWND top = TopLevel(WS_POPUP | WS_VISIBLE, RECT{100, 100, 400, 300});
    HWND mid = Child(top, RECT{10, 20, 210, 170}, WS_CHILD | WS_VISIBLE, 1);
    HWND leaf = Child(mid, RECT{5, 5, 105, 85}, WS_CHILD | WS_VISIBLE, 2);
    TopLevel(WS_POPUP | WS_VISIBLE, RECT{600, 100, 700, 200});  // active, so the click activates top
    ASSERT_NE(GetActiveWindow(), top);
    rec.Clear();
    app.Click(leaf, POINT{7, 9});
    std::vector<Seen> notes = rec.Of(WM_PARENTNOTIFY);
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_EQ(notes[0].hwnd, mid);
    EXPECT_EQ(LOWORD(notes[0].wp), WM_LBUTTONDOWN);
    EXPECT_EQ(notes[0].lp, MAKELPARAM(12, 14));  // in mid's client area
    EXPECT_EQ(notes[1].hwnd, top);
    EXPECT_EQ(notes[1].lp, MAKELPARAM(22, 34));
    // Notified before the activation the click brings.
    const auto& seen = rec.seen;
    const auto firstNote = std::find_if(seen.begin(), seen.end(), [](const Seen& s) { return s.msg == WM_PARENTNOTIFY; });
    const auto activate = std::find_if(seen.begin(), seen.end(), [](const Seen& s) { return s.msg == WM_MOUSEACTIVATE; });
    ASSERT_NE(activate, seen.end());
    EXPECT_LT(firstNote - seen.begin(), activate - seen.begin());
    EXPECT_EQ(GetActiveWindow(), top);

    SetWindowLongPtrW(leaf, GWL_EXSTYLE, WS_EX_NOPARENTNOTIFY);
    rec.Clear();
    app.Click(leaf, POINT{7, 9});
    EXPECT_TRUE(rec.Of(WM_PARENTNOTIFY).empty());
    ASSERT_FALSE(rec.Of(WM_LBUTTONDOWN).empty());
    EXPECT_EQ(rec.Of(WM_LBUTTONDOWN).back().hwnd, leaf);
}
