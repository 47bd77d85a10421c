// Window objects: classes, the creation and destruction sequences, subclassing, positions, the tree.
#include "Recorder.h"

using namespace user32_test;

namespace {

HHOOK cbtHook = nullptr;
LRESULT CALLBACK CbtProc(int code, WPARAM wp, LPARAM lp) {
    if (Recorder* r = Recorder::Current(); r && (code == HCBT_CREATEWND || code == HCBT_DESTROYWND)) {
        r->seen.push_back(Seen{reinterpret_cast<HWND>(wp), UINT(0x10000 + code), wp, lp});
        if (code == HCBT_CREATEWND) {
            // The class name already answers, and the creation parameters are there.
            WCHAR name[64];
            EXPECT_GT(GetClassNameW(reinterpret_cast<HWND>(wp), name, 64), 0);
            EXPECT_NE(reinterpret_cast<CBT_CREATEWNDW*>(lp)->lpcs, nullptr);
        }
    }
    return CallNextHookEx(cbtHook, code, wp, lp);
}

} // namespace

TEST_F(WindowTest, ClassNamesCompareWithoutCaseAndAClassWithWindowsStays) {
    WNDCLASSEXW info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetClassInfoExW(nullptr, u"twtestWINDOW", &info));
    EXPECT_EQ(info.lpfnWndProc, &RecordingProc);
    WNDCLASSEXW again{};
    again.cbSize = sizeof again;
    again.lpfnWndProc = RecordingProc;
    again.lpszClassName = u"TWTESTWINDOW";
    EXPECT_EQ(RegisterClassExW(&again), 0);
    HWND w = TopLevel(WS_OVERLAPPEDWINDOW);
    EXPECT_FALSE(UnregisterClassW(u"TwTestWindow", nullptr));
    DestroyWindow(w);
    EXPECT_TRUE(UnregisterClassW(u"twtestwindow", nullptr));
    EXPECT_FALSE(GetClassInfoExW(nullptr, u"TwTestWindow", &info));
    EXPECT_EQ(CreateWindowExW(0, u"NoSuchClass", u"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
}

TEST_F(WindowTest, CreationSendsWindowsSequenceAndTheCbtHookComesFirst) {
    cbtHook = SetWindowsHookExW(WH_CBT, CbtProc, nullptr, GetCurrentThreadId());
    HWND top = TopLevel();
    ASSERT_TRUE(top);
    EXPECT_EQ(rec.Messages(top), (std::vector<UINT>{CbtCreate, WM_GETMINMAXINFO, WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE,
                                                    WM_SHOWWINDOW, WM_WINDOWPOSCHANGING, WM_ACTIVATEAPP,
                                                    WM_NCACTIVATE, WM_ACTIVATE, WM_SETFOCUS, WM_WINDOWPOSCHANGED,
                                                    WM_SIZE, WM_MOVE}));
    rec.Clear();
    HWND child = Child(top, RECT{10, 10, 60, 40});
    EXPECT_EQ(rec.Messages(), (std::vector<UINT>{CbtCreate, WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_SIZE, WM_MOVE,
                                                 WM_PARENTNOTIFY, WM_SHOWWINDOW, WM_WINDOWPOSCHANGING,
                                                 WM_WINDOWPOSCHANGED}));
    EXPECT_EQ(rec.Of(WM_PARENTNOTIFY).at(0).hwnd, top);
    EXPECT_EQ(HWND(rec.Of(WM_PARENTNOTIFY).at(0).lp), child);
    UnhookWindowsHookEx(cbtHook);
}

TEST_F(WindowTest, CreationFailsWhenNcCreateOrCreateRefuses) {
    rec.any = [](HWND, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (m == WM_CREATE) return -1;
        return std::nullopt;
    };
    EXPECT_EQ(TopLevel(), nullptr);
    EXPECT_EQ(rec.Messages().back(), UINT(WM_NCDESTROY));
    rec.any = [](HWND, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (m == WM_NCCREATE) return FALSE;
        return std::nullopt;
    };
    rec.Clear();
    EXPECT_EQ(TopLevel(), nullptr);
    EXPECT_EQ(rec.Messages(), (std::vector<UINT>{WM_GETMINMAXINFO, WM_NCCREATE, WM_NCDESTROY}));
}

TEST_F(WindowTest, DestructionNotifiesParentHidesThenDestroysParentBeforeChildren) {
    HWND top = TopLevel();
    HWND child = Child(top, RECT{0, 0, 50, 50});
    HWND grand = Child(child, RECT{0, 0, 10, 10}, WS_CHILD | WS_VISIBLE, 2);
    cbtHook = SetWindowsHookExW(WH_CBT, CbtProc, nullptr, 0);
    rec.Clear();
    ASSERT_TRUE(DestroyWindow(child));
    std::vector<std::pair<HWND, UINT>> got;
    for (const Seen& s : rec.seen)
        if (s.msg != WM_NCHITTEST && s.msg != WM_ERASEBKGND && s.msg != WM_NCPAINT) got.emplace_back(s.hwnd, s.msg);
    const std::vector<std::pair<HWND, UINT>> want{
        {child, CbtDestroy},           {top, WM_PARENTNOTIFY},  {child, WM_SHOWWINDOW}, {child, WM_WINDOWPOSCHANGING},
        {child, WM_WINDOWPOSCHANGED}, {child, WM_DESTROY},     {grand, WM_DESTROY},
        {grand, WM_NCDESTROY},         {child, WM_NCDESTROY}};
    EXPECT_EQ(got, want);
    EXPECT_FALSE(IsWindow(child));
    EXPECT_FALSE(IsWindow(grand));
    EXPECT_EQ(GetWindow(top, GW_CHILD), nullptr);
    UnhookWindowsHookEx(cbtHook);
}

namespace {
WNDPROC firstOld = nullptr, secondOld = nullptr;
std::vector<int> calls;
LRESULT CALLBACK First(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_USER) calls.push_back(1);
    return CallWindowProcW(firstOld, h, m, w, l) + (m == WM_USER ? 10 : 0);
}
LRESULT CALLBACK Second(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_USER) calls.push_back(2);
    return CallWindowProcW(secondOld, h, m, w, l) + (m == WM_USER ? 100 : 0);
}
} // namespace

TEST_F(WindowTest, SubclassChainCallsNewestFirstAndSurvivesRemovalInAnotherOrder) {
    HWND w = TopLevel(WS_OVERLAPPEDWINDOW);
    rec.handlers[w] = [](HWND, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (m == WM_USER) return 1;
        return std::nullopt;
    };
    firstOld = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(First)));
    secondOld = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Second)));
    EXPECT_EQ(firstOld, &RecordingProc);
    EXPECT_EQ(secondOld, &First);
    calls.clear();
    EXPECT_EQ(SendMessageW(w, WM_USER, 0, 0), 111);
    EXPECT_EQ(calls, (std::vector<int>{2, 1}));
    // The first subclass leaves while the second stays: the second now skips it.
    secondOld = firstOld;
    calls.clear();
    EXPECT_EQ(SendMessageW(w, WM_USER, 0, 0), 101);
    EXPECT_EQ(calls, (std::vector<int>{2}));
    SetWindowLongPtrW(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RecordingProc));
    EXPECT_EQ(SendMessageW(w, WM_USER, 0, 0), 1);
}

TEST_F(WindowTest, SetWindowPosSendsChangingCalcSizeChangedMoveSize) {
    HWND top = TopLevel();
    HWND child = Child(top, RECT{10, 10, 60, 40});
    rec.Clear();
    SetWindowPos(child, nullptr, 20, 30, 100, 50, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(rec.Messages(child),
              (std::vector<UINT>{WM_WINDOWPOSCHANGING, WM_NCCALCSIZE, WM_WINDOWPOSCHANGED, WM_MOVE, WM_SIZE}));
    EXPECT_EQ(rec.Of(WM_SIZE).at(0).lp, MAKELPARAM(100, 50));
    EXPECT_EQ(rec.Of(WM_MOVE).at(0).lp, MAKELPARAM(20, 30));
    RECT r;
    GetWindowRect(child, &r);
    POINT o{0, 0};
    ClientToScreen(top, &o);
    EXPECT_EQ(r.left, o.x + 20);
    EXPECT_EQ(r.bottom, o.y + 80);
    // A pure move sends no WM_SIZE; a frame change asks for the client area again.
    rec.Clear();
    SetWindowPos(child, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(rec.Messages(child), (std::vector<UINT>{WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_MOVE}));
    rec.Clear();
    SetWindowPos(child, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
    EXPECT_EQ(rec.Messages(child), (std::vector<UINT>{WM_WINDOWPOSCHANGING, WM_NCCALCSIZE, WM_CHILDACTIVATE,
                                                      WM_WINDOWPOSCHANGED}));
}

TEST_F(WindowTest, ShowWindowSendsShowWindowOnlyOnChangeAndHidingMovesFocusToParent) {
    HWND top = TopLevel();
    HWND child = Child(top, RECT{10, 10, 60, 40});
    SetFocus(child);
    rec.Clear();
    EXPECT_TRUE(ShowWindow(child, SW_HIDE));
    EXPECT_EQ(rec.Messages(child), (std::vector<UINT>{WM_SHOWWINDOW, WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_KILLFOCUS}));
    EXPECT_EQ(GetFocus(), top);
    EXPECT_FALSE(IsWindowVisible(child));
    rec.Clear();
    EXPECT_FALSE(ShowWindow(child, SW_HIDE));
    EXPECT_TRUE(rec.Messages(child).empty());
    EXPECT_FALSE(ShowWindow(child, SW_SHOW));
    EXPECT_EQ(rec.Messages(child), (std::vector<UINT>{WM_SHOWWINDOW, WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED}));
    EXPECT_TRUE(IsWindowVisible(child));
}

TEST_F(WindowTest, CoordinatesTreeAndPropertiesFollowTheWindows) {
    HWND top = TopLevel(WS_POPUP | WS_VISIBLE | WS_BORDER, RECT{100, 50, 300, 250});
    HWND a = Child(top, RECT{10, 20, 110, 120}, WS_CHILD | WS_VISIBLE, 7);
    HWND b = Child(a, RECT{5, 5, 25, 25}, WS_CHILD | WS_VISIBLE, 8);
    POINT p{0, 0};
    ClientToScreen(b, &p);
    EXPECT_EQ(p.x, 100 + 1 + 10 + 5);  // the 1-pixel border of the popup
    EXPECT_EQ(p.y, 50 + 1 + 20 + 5);
    POINT q{3, 4};
    MapWindowPoints(b, top, &q, 1);
    EXPECT_EQ(q.x, 18);
    EXPECT_EQ(q.y, 29);
    EXPECT_EQ(WindowFromPoint(POINT{p.x + 1, p.y + 1}), b);
    POINT inA{50, 50};
    EXPECT_EQ(ChildWindowFromPointEx(top, inA, CWP_SKIPINVISIBLE), a);
    EXPECT_EQ(ChildWindowFromPointEx(top, POINT{150, 150}, CWP_SKIPINVISIBLE), top);
    EXPECT_EQ(GetAncestor(b, GA_ROOT), top);
    EXPECT_EQ(GetParent(b), a);
    EXPECT_EQ(GetDlgItem(top, 7), a);
    EXPECT_TRUE(IsChild(top, b));
    std::vector<HWND> all;
    EnumChildWindows(top, [](HWND h, LPARAM l) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(l)->push_back(h);
        return TRUE;
    }, reinterpret_cast<LPARAM>(&all));
    EXPECT_EQ(all, (std::vector<HWND>{a, b}));
    EXPECT_TRUE(SetPropW(a, u"Tag", reinterpret_cast<HANDLE>(42)));
    EXPECT_EQ(GetPropW(a, u"TAG"), reinterpret_cast<HANDLE>(42));
    EXPECT_EQ(RemovePropW(a, u"tag"), reinterpret_cast<HANDLE>(42));
    EXPECT_EQ(GetPropW(a, u"Tag"), nullptr);
    // Re-parenting keeps the handle.
    HWND other = TopLevel(WS_POPUP | WS_VISIBLE, RECT{400, 400, 500, 500});
    EXPECT_EQ(SetParent(b, other), a);
    EXPECT_EQ(GetParent(b), other);
    EXPECT_TRUE(IsWindow(b));
}

TEST_F(WindowTest, ClientAreaLeavesRoomForBordersEdgesAndScrollBars) {
    HWND w = TopLevel(WS_POPUP | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_HSCROLL, RECT{0, 0, 200, 100}, WS_EX_CLIENTEDGE);
    RECT c;
    GetClientRect(w, &c);
    EXPECT_EQ(c.right, 200 - 2 - 4 - GetSystemMetrics(SM_CXVSCROLL));
    EXPECT_EQ(c.bottom, 100 - 2 - 4 - GetSystemMetrics(SM_CYHSCROLL));
    // Desktop-decorated windows have no model caption or frame.
    HWND d = TopLevel(WS_OVERLAPPEDWINDOW, RECT{0, 0, 200, 100});
    GetClientRect(d, &c);
    EXPECT_EQ(c.right, 200);
    EXPECT_EQ(c.bottom, 100);
}
