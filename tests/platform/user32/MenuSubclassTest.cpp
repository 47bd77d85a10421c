// tests/platform/user32/MenuSubclassTest.cpp: what a subclass of the pop-up menu window hears and sees:
// the print of the opening, one button message per press, its timers, the system menu's bitmaps, and
// a menu taller than its window that leaves scrolling to the subclass.
#include "tests/platform/user32/Recorder.h"
#include "tests/support/windows/MenuScript.h"

#include <string>
#include <vector>

using namespace user32_test;

namespace {

using testing_support::MenuScript;

// The subclass: records what reaches it and passes everything on.
struct Subclass {
    static inline WNDPROC Original = nullptr;
    static inline HWND Window = nullptr;
    static inline std::vector<Seen> Heard;
    static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
        Heard.push_back(Seen{h, m, w, l});
        return CallWindowProcW(Original, h, m, w, l);
    }
    static LRESULT CALLBACK Cbt(int code, WPARAM wp, LPARAM lp) {
        if (code == HCBT_CREATEWND) {
            WCHAR cls[16] = {};
            GetClassNameW(reinterpret_cast<HWND>(wp), cls, 16);
            if (std::u16string(cls) == u"#32768" && !Window) {
                Window = reinterpret_cast<HWND>(wp);
                Original = reinterpret_cast<WNDPROC>(
                    SetWindowLongPtrW(Window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc)));
            }
        }
        return CallNextHookEx(nullptr, code, wp, lp);
    }
    static int Count(UINT Msg) {
        int n = 0;
        for (const Seen& s : Heard) n += s.msg == Msg;
        return n;
    }
};

class MenuSubclass : public WindowTest {
protected:
    MenuSubclass() {
        owner = TopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT{100, 100, 600, 500});
        app.PumpUntilIdle();
        Subclass::Window = nullptr;
        Subclass::Heard.clear();
        hook = SetWindowsHookExW(WH_CBT, &Subclass::Cbt, nullptr, GetCurrentThreadId());
    }
    ~MenuSubclass() override { UnhookWindowsHookEx(hook); }

    HWND owner = nullptr;
    HHOOK hook = nullptr;
    MenuScript script{app};
};

HMENU Items(int n) {
    const HMENU m = CreatePopupMenu();
    for (int i = 1; i <= n; ++i) AppendMenuW(m, MF_STRING, UINT(100 + i), (u"Item " + std::u16string(1, char16_t(u'a' + i % 26))).c_str());
    return m;
}

} // namespace

TEST_F(MenuSubclass, HearsThePrintOfTheOpeningAndOneButtonMessagePerPress) {
    const HMENU m = Items(3);
    script.Then([&] {
        ASSERT_NE(Subclass::Window, nullptr);
        EXPECT_EQ(Subclass::Count(WM_PRINT), 1);
        RECT r{};
        GetMenuItemRect(nullptr, m, 1, &r);
        MenuScript::ClickAt(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    });
    const UINT chosen = TrackPopupMenu(m, TPM_RETURNCMD, 150, 150, 0, owner, nullptr);
    EXPECT_EQ(chosen, 102u);
    EXPECT_EQ(Subclass::Count(MN_BUTTONDOWN), 1);
    // The press names the item and comes before the release that the menu acts on.
    size_t press = 0, release = 0;
    for (size_t i = 0; i < Subclass::Heard.size(); ++i) {
        if (Subclass::Heard[i].msg == MN_BUTTONDOWN) {
            press = i + 1;
            EXPECT_EQ(Subclass::Heard[i].wp, 1u);
        }
        if (Subclass::Heard[i].msg == MN_BUTTONUP && !release) release = i + 1;
    }
    EXPECT_GT(press, 0u);
    EXPECT_GT(release, press);
    DestroyMenu(m);
}

TEST_F(MenuSubclass, TimersOfTheSubclassReachItOnTheMenuWindow) {
    const HMENU m = Items(2);
    script.Then([&] { SetTimer(Subclass::Window, 147, 100, nullptr); });
    script.Wait();  // the clock runs to the timer
    script.Then([&] {
        EXPECT_GE(Subclass::Count(WM_TIMER), 1);
        KillTimer(Subclass::Window, 147);
        EndMenu();
    });
    TrackPopupMenu(m, TPM_RETURNCMD, 150, 150, 0, owner, nullptr);
    bool found = false;
    for (const Seen& s : Subclass::Heard) found |= s.msg == WM_TIMER && s.wp == 147;
    EXPECT_TRUE(found);
    DestroyMenu(m);
}

TEST_F(MenuSubclass, TallMenuLeavesScrollingToTheSubclass) {
    const HMENU m = Items(120);
    RECT first{}, firstAfter{}, lastAfter{};
    POINT client{0, 0};
    script.Then([&] {
        ASSERT_NE(Subclass::Window, nullptr);
        ClientToScreen(Subclass::Window, &client);
        GetMenuItemRect(nullptr, m, 0, &first);
        SendMessageW(Subclass::Window, MN_SELECTITEM, 119, 0);
        GetMenuItemRect(nullptr, m, 0, &firstAfter);
        GetMenuItemRect(nullptr, m, 119, &lastAfter);
        EndMenu();
    });
    TrackPopupMenu(m, TPM_RETURNCMD, 150, 150, 0, owner, nullptr);
    // The unscrolled layout: the first item right at the top, no arrow above it, and selecting the
    // last item moves nothing.
    EXPECT_LT(first.top - client.y, 8);
    EXPECT_EQ(firstAfter.top, first.top);
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_GT(lastAfter.bottom, work.bottom);
    DestroyMenu(m);
}

TEST_F(MenuSubclass, SystemMenuStateItemsCarryTheSystemMenuBitmaps) {
    const HMENU sys = GetSystemMenu(owner, FALSE);
    ASSERT_NE(sys, nullptr);
    const std::pair<UINT, HBITMAP> expected[] = {{SC_RESTORE, HBMMENU_POPUP_RESTORE}, {SC_MINIMIZE, HBMMENU_POPUP_MINIMIZE},
                                                 {SC_MAXIMIZE, HBMMENU_POPUP_MAXIMIZE}, {SC_CLOSE, HBMMENU_POPUP_CLOSE},
                                                 {SC_MOVE, nullptr}};
    for (const auto& [command, bitmap] : expected) {
        MENUITEMINFOW mi{};
        mi.cbSize = sizeof mi;
        mi.fMask = MIIM_BITMAP;
        ASSERT_TRUE(GetMenuItemInfoW(sys, command, FALSE, &mi)) << command;
        EXPECT_EQ(mi.hbmpItem, bitmap) << command;
    }
}
