// The pop-up menu window and its modal loop: input is fed from the queue's idle hook, one step each
// time the loop waits, so every step runs inside TrackPopupMenu as the user's input would.
#include "tests/platform/user32/Recorder.h"
#include "tests/support/windows/MenuScript.h"

#include <string>
#include <vector>

using namespace user32_test;

namespace {

using testing_support::MenuScript;
constexpr auto MenuWindows = &MenuScript::MenuWindows;
void Key(UINT vk, const char16_t* text = nullptr) { MenuScript::Key(vk, text); }
void ClickAt(POINT p, int button = TW_BUTTON_LEFT) { MenuScript::ClickAt(p, button); }

POINT ItemCentre(HMENU m, UINT pos) {
    RECT r{};
    GetMenuItemRect(nullptr, m, pos, &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

COLORREF Rgb(QRgb p) { return RGB(qRed(p), qGreen(p), qBlue(p)); }

class PopupMenu : public WindowTest {
protected:
    PopupMenu() {
        owner = TopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT{100, 100, 600, 500});
        app.PumpUntilIdle();
        rec.Clear();
    }

    void Then(std::function<void()> step) { script.Then(std::move(step)); }
    void Wait(int n = 1) { script.Wait(n); }

    std::vector<UINT> OwnerMessages() const {
        std::vector<UINT> out;
        for (const Seen& s : rec.seen)
            if (s.hwnd == owner &&
                (s.msg == WM_ENTERMENULOOP || s.msg == WM_EXITMENULOOP || s.msg == WM_INITMENU || s.msg == WM_INITMENUPOPUP ||
                 s.msg == WM_UNINITMENUPOPUP || s.msg == WM_MENUSELECT || s.msg == WM_COMMAND || s.msg == WM_MENUCHAR))
                out.push_back(s.msg);
        return out;
    }
    std::vector<Seen> Commands() {
        app.PumpUntilIdle();
        return rec.Of(WM_COMMAND);
    }

    HWND owner = nullptr;
    testing_support::MenuScript script{app};
};

HMENU Simple(int n = 3) {
    const HMENU m = CreatePopupMenu();
    for (int i = 1; i <= n; ++i) AppendMenuW(m, MF_STRING, UINT(100 + i), (u"Item " + std::u16string(1, char16_t(u'0' + i % 10))).c_str());
    return m;
}

// A bar of "&File" and "&Edit", two items each; Edit's first is "Undo" (301).
HMENU FileEditBar(HMENU& edit) {
    const HMENU bar = CreateMenu();
    edit = Simple(2);
    ModifyMenuW(edit, 0, MF_BYPOSITION | MF_STRING, 301, u"Undo");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(Simple(2)), u"&File");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(edit), u"&Edit");
    return bar;
}

} // namespace

TEST_F(PopupMenu, KeyboardChoiceWithReturnCmdGivesTheCommandWithoutWmCommand) {
    const HMENU m = Simple();
    Then([] { Key(VK_DOWN); });
    Then([] { Key(VK_DOWN); });
    Then([&] {
        EXPECT_EQ(MenuWindows().size(), 1u);
        EXPECT_EQ(GetMenuState(m, 1, MF_BYPOSITION) & MF_HILITE, UINT(MF_HILITE));
        Key(VK_RETURN);
    });
    EXPECT_EQ(TrackPopupMenu(m, TPM_RETURNCMD, 200, 200, 0, owner, nullptr), 102);
    EXPECT_TRUE(MenuWindows().empty());
    EXPECT_TRUE(Commands().empty());
    EXPECT_EQ(OwnerMessages(), (std::vector<UINT>{WM_ENTERMENULOOP, WM_INITMENU, WM_INITMENUPOPUP, WM_MENUSELECT,
                                                  WM_MENUSELECT, WM_UNINITMENUPOPUP, WM_MENUSELECT, WM_EXITMENULOOP}));
    const auto selects = rec.Of(WM_MENUSELECT);
    ASSERT_EQ(selects.size(), 3u);
    EXPECT_EQ(selects[1].wp, MAKEWPARAM(102, MF_HILITE));
    EXPECT_EQ(selects[1].lp, reinterpret_cast<LPARAM>(m));
    EXPECT_EQ(HIWORD(selects[2].wp), 0xFFFF);  // the menu closed
    EXPECT_EQ(selects[2].lp, 0);
    DestroyMenu(m);
}

TEST_F(PopupMenu, ChoiceWithoutReturnCmdPostsWmCommandAndNoNotifyKeepsTheOwnerQuiet) {
    const HMENU m = Simple();
    Then([] { Key(VK_UP); });  // wraps to the last item
    Then([] { Key(VK_RETURN); });
    EXPECT_TRUE(TrackPopupMenu(m, 0, 200, 200, 0, owner, nullptr));
    const auto cmds = Commands();
    ASSERT_EQ(cmds.size(), 1u);
    EXPECT_EQ(cmds[0].wp, 103u);

    rec.Clear();
    Then([] { Key(VK_DOWN); });
    Then([] { Key(VK_RETURN); });
    EXPECT_EQ(TrackPopupMenu(m, TPM_RETURNCMD | TPM_NONOTIFY, 200, 200, 0, owner, nullptr), 101);
    EXPECT_TRUE(OwnerMessages().empty());
    DestroyMenu(m);
}

TEST_F(PopupMenu, AMenuNotifyingByPositionPostsWmMenuCommandAndAMaxHeightMakesItScroll) {
    const HMENU m = Simple(9);
    MENUINFO mi{sizeof mi, MIM_STYLE | MIM_MAXHEIGHT, MNS_NOTIFYBYPOS, 60, nullptr, 0, 0};
    ASSERT_TRUE(SetMenuInfo(m, &mi));
    Then([&] {
        const auto wins = MenuWindows();
        ASSERT_EQ(wins.size(), 1u);
        RECT wr;
        GetWindowRect(wins[0], &wr);
        EXPECT_EQ(wr.bottom - wr.top, 60);
        Key(VK_DOWN);
        Key(VK_DOWN);
    });
    Then([] { Key(VK_RETURN); });
    EXPECT_TRUE(TrackPopupMenu(m, 0, 200, 200, 0, owner, nullptr));
    EXPECT_TRUE(Commands().empty());
    const auto byPos = rec.Of(WM_MENUCOMMAND);
    ASSERT_EQ(byPos.size(), 1u);
    EXPECT_EQ(byPos[0].wp, 1u);
    EXPECT_EQ(byPos[0].lp, reinterpret_cast<LPARAM>(m));
    DestroyMenu(m);
}

TEST_F(PopupMenu, AClickOutsideCancelsWithNoCommand) {
    const HMENU m = Simple();
    Then([] { TwInputMouseMove(250, 215); });  // over the first item
    Then([] { ClickAt(POINT{900, 900}); });
    EXPECT_EQ(TrackPopupMenu(m, TPM_RETURNCMD, 200, 200, 0, owner, nullptr), 0);
    EXPECT_TRUE(Commands().empty());
    EXPECT_TRUE(MenuWindows().empty());
    Then([] { Key(VK_ESCAPE); });
    EXPECT_TRUE(TrackPopupMenu(m, 0, 200, 200, 0, owner, nullptr));  // a cancel is no failure
    EXPECT_TRUE(Commands().empty());
    DestroyMenu(m);
}

TEST_F(PopupMenu, AMouseClickChoosesTheItemUnderThePointerButNotADisabledOne) {
    const HMENU m = Simple();
    EnableMenuItem(m, 101, MF_GRAYED);
    Then([&] { ClickAt(ItemCentre(m, 0)); });  // disabled: the menu stays
    Then([&] {
        EXPECT_EQ(MenuWindows().size(), 1u);
        ClickAt(ItemCentre(m, 2));
    });
    EXPECT_EQ(TrackPopupMenu(m, TPM_RETURNCMD, 200, 200, 0, owner, nullptr), 103);
    DestroyMenu(m);
}

TEST_F(PopupMenu, ARightButtonChoosesOnlyWithTpmRightButton) {
    const HMENU m = Simple();
    Then([&] { ClickAt(ItemCentre(m, 1), TW_BUTTON_RIGHT); });
    Then([&] {
        EXPECT_EQ(MenuWindows().size(), 1u);
        Key(VK_ESCAPE);
    });
    EXPECT_EQ(TrackPopupMenu(m, TPM_RETURNCMD, 200, 200, 0, owner, nullptr), 0);
    Then([&] { ClickAt(ItemCentre(m, 1), TW_BUTTON_RIGHT); });
    EXPECT_EQ(TrackPopupMenu(m, TPM_RETURNCMD | TPM_RIGHTBUTTON, 200, 200, 0, owner, nullptr), 102);
    DestroyMenu(m);
}

TEST_F(PopupMenu, MnemonicsChooseOrCycleThroughDuplicatesAndAskTheOwnerOtherwise) {
    const HMENU m = CreatePopupMenu();
    AppendMenuW(m, MF_STRING, 1, u"&Apple");
    AppendMenuW(m, MF_STRING, 2, u"&Banana");
    AppendMenuW(m, MF_STRING, 3, u"&avocado");
    AppendMenuW(m, MF_STRING, 4, u"Cherry && &Plum");
    Then([] { Key('A', u"a"); });
    Then([&] {
        EXPECT_EQ(GetMenuState(m, 0, MF_BYPOSITION) & MF_HILITE, UINT(MF_HILITE));
        Key('A', u"A");  // case does not matter
    });
    Then([&] {
        EXPECT_EQ(GetMenuState(m, 2, MF_BYPOSITION) & MF_HILITE, UINT(MF_HILITE));
        EXPECT_EQ(MenuWindows().size(), 1u);  // duplicates never choose
        Key('A', u"a");
    });
    Then([&] {
        EXPECT_EQ(GetMenuState(m, 0, MF_BYPOSITION) & MF_HILITE, UINT(MF_HILITE));  // and wrap around
        Key('P', u"p");
    });
    EXPECT_EQ(TrackPopupMenu(m, TPM_RETURNCMD, 200, 200, 0, owner, nullptr), 4);

    // No item has the letter: the owner's WM_MENUCHAR answer decides.
    rec.handlers[owner] = [&](HWND, UINT msg, WPARAM wp, LPARAM lp) -> std::optional<LRESULT> {
        if (msg != WM_MENUCHAR) return std::nullopt;
        EXPECT_EQ(LOWORD(wp), u'z');
        EXPECT_EQ(HIWORD(wp) & MF_POPUP, UINT(MF_POPUP));
        EXPECT_EQ(lp, reinterpret_cast<LPARAM>(m));
        return MAKELRESULT(1, MNC_EXECUTE);
    };
    Then([] { Key('Z', u"z"); });
    EXPECT_EQ(TrackPopupMenu(m, TPM_RETURNCMD, 200, 200, 0, owner, nullptr), 2);
    DestroyMenu(m);
}

TEST_F(PopupMenu, ASubMenuOpensAfterTheHoverDelayOnTheClock) {
    const HMENU m = Simple(2);
    const HMENU sub = Simple(2);
    ModifyMenuW(sub, 0, MF_BYPOSITION | MF_STRING, 201, u"Deep");
    AppendMenuW(m, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), u"&More");
    UINT delay = 0;
    SystemParametersInfoW(SPI_GETMENUSHOWDELAY, 0, &delay, 0);
    ASSERT_GT(delay, 0u);
    ULONGLONG hoverAt = 0;
    Then([&] {
        const POINT p = ItemCentre(m, 2);
        TwInputMouseMove(p.x, p.y);
        hoverAt = GetTickCount64();
    });
    Then([&] {
        // Still before the delay: only the first menu shows.
        EXPECT_LT(GetTickCount64() - hoverAt, delay);
        EXPECT_EQ(MenuWindows().size(), 1u);
    });
    Then([&] {
        EXPECT_GE(GetTickCount64() - hoverAt, delay);
        ASSERT_EQ(MenuWindows().size(), 2u);
        EXPECT_EQ(GetMenuState(sub, 0, MF_BYPOSITION) & MF_HILITE, 0u);  // opened by the mouse: nothing selected
        ClickAt(ItemCentre(sub, 0));
    });
    EXPECT_EQ(TrackPopupMenu(m, TPM_RETURNCMD, 200, 200, 0, owner, nullptr), 201);
    // The sub-menu sat beside its item, and both were announced and closed to the owner.
    EXPECT_EQ(rec.Of(WM_INITMENUPOPUP).size(), 2u);
    EXPECT_EQ(rec.Of(WM_INITMENUPOPUP)[1].wp, reinterpret_cast<WPARAM>(sub));
    EXPECT_EQ(LOWORD(rec.Of(WM_INITMENUPOPUP)[1].lp), 2);
    EXPECT_EQ(rec.Of(WM_UNINITMENUPOPUP).size(), 2u);
    DestroyMenu(m);
}

TEST_F(PopupMenu, ArrowsOpenAndCloseSubMenusAndEscapeBacksOutOneLevel) {
    const HMENU m = Simple(1);
    const HMENU sub = Simple(2);
    AppendMenuW(m, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), u"&More");
    Then([] { Key('M', u"m"); });  // a mnemonic of a sub-menu item opens it with its first item selected
    Then([&] {
        EXPECT_EQ(MenuWindows().size(), 2u);
        EXPECT_EQ(GetMenuState(sub, 0, MF_BYPOSITION) & MF_HILITE, UINT(MF_HILITE));
        Key(VK_ESCAPE);
    });
    Then([&] {
        EXPECT_EQ(MenuWindows().size(), 1u);
        Key(VK_RIGHT);
    });
    Then([] { Key(VK_DOWN); });
    Then([] { Key(VK_RETURN); });
    EXPECT_EQ(TrackPopupMenu(m, TPM_RETURNCMD, 200, 200, 0, owner, nullptr), 102);
    DestroyMenu(m);
}

TEST_F(PopupMenu, SixtyItemsScrollOnASmallScreen) {
    TwSetMonitorProvider([](TwMonitorDesc* mons, int max) {
        if (max > 0) mons[0] = TwMonitorDesc{RECT{0, 0, 640, 300}, RECT{0, 0, 640, 280}, TRUE};
        return 1;
    });
    const HMENU m = Simple(0);
    for (UINT i = 1; i <= 60; ++i) AppendMenuW(m, MF_STRING, i, (u"Entry " + QString::number(i).toStdU16String()).c_str());
    HWND menuWnd = nullptr;
    RECT firstRect{};
    Then([&] {
        ASSERT_EQ(MenuWindows().size(), 1u);
        menuWnd = MenuWindows()[0];
        RECT wr;
        GetWindowRect(menuWnd, &wr);
        EXPECT_LE(wr.bottom, 280);
        EXPECT_GE(wr.top, 0);
        EXPECT_EQ(SendMessageW(menuWnd, MN_GETHMENU, 0, 0), reinterpret_cast<LRESULT>(m));
        GetMenuItemRect(nullptr, m, 0, &firstRect);
        Key(VK_END);
    });
    Then([&] {
        EXPECT_EQ(GetMenuState(m, 59, MF_BYPOSITION) & MF_HILITE, UINT(MF_HILITE));
        // The last item shows at the bottom, above the scroll arrow, in the highlight colour.
        TwFlushPainting();
        RECT c;
        GetClientRect(menuWnd, &c);
        EXPECT_EQ(Rgb(app.Pixel(menuWnd, 4, c.bottom - 16 - 6)), GetSysColor(COLOR_HIGHLIGHT));
        EXPECT_EQ(Rgb(app.Pixel(menuWnd, 4, 16 + 6)), GetSysColor(COLOR_MENU));
        // The layout position stays where the item lies unscrolled.
        RECT r;
        GetMenuItemRect(nullptr, m, 0, &r);
        EXPECT_EQ(r.top, firstRect.top);
        Key(VK_HOME);
    });
    Then([&] {
        // Back at the top, the pointer resting on the bottom arrow scrolls on the timer.
        RECT wr;
        GetWindowRect(menuWnd, &wr);
        TwInputMouseMove((wr.left + wr.right) / 2, wr.bottom - 3 - 8);
    });
    Wait(3);
    Then([&] {
        TwFlushPainting();
        RECT c;
        GetClientRect(menuWnd, &c);
        // The first item scrolled away from under the top arrow.
        EXPECT_NE(Rgb(app.Pixel(menuWnd, 4, 16 + 6)), GetSysColor(COLOR_HIGHLIGHT));
        Key(VK_RETURN);
    });
    EXPECT_EQ(TrackPopupMenu(m, TPM_RETURNCMD, 10, 10, 0, owner, nullptr), 1);
    DestroyMenu(m);
}

TEST_F(PopupMenu, OwnerDrawnItemsAreMeasuredAndDrawnWithTheirStates) {
    const HMENU m = CreatePopupMenu();
    AppendMenuW(m, MF_OWNERDRAW, 1, reinterpret_cast<LPCWSTR>(0x11));
    AppendMenuW(m, MF_OWNERDRAW | MF_GRAYED | MF_CHECKED, 2, reinterpret_cast<LPCWSTR>(0x22));
    std::vector<DRAWITEMSTRUCT> drawn;
    rec.handlers[owner] = [&](HWND, UINT msg, WPARAM, LPARAM lp) -> std::optional<LRESULT> {
        if (msg == WM_MEASUREITEM) {
            auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
            EXPECT_EQ(mis->CtlType, UINT(ODT_MENU));
            mis->itemWidth = 120;
            mis->itemHeight = mis->itemData == 0x11 ? 30 : 24;
            return TRUE;
        }
        if (msg == WM_DRAWITEM) {
            auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
            drawn.push_back(*dis);
            HBRUSH b = CreateSolidBrush(dis->itemState & ODS_SELECTED ? RGB(0, 200, 0) : RGB(200, 0, 0));
            FillRect(dis->hDC, &dis->rcItem, b);
            DeleteObject(b);
            return TRUE;
        }
        return std::nullopt;
    };
    Then([&] {
        RECT a, b;
        GetMenuItemRect(nullptr, m, 0, &a);
        GetMenuItemRect(nullptr, m, 1, &b);
        EXPECT_EQ(a.bottom - a.top, 30);
        EXPECT_EQ(b.bottom - b.top, 24);
        EXPECT_EQ(b.top, a.bottom);
        EXPECT_GE(a.right - a.left, 120);
        Key(VK_DOWN);
    });
    Then([&] {
        TwFlushPainting();
        const HWND w = MenuWindows().at(0);
        const POINT p = ItemCentre(m, 0);
        POINT c = p;
        ScreenToClient(w, &c);
        EXPECT_EQ(Rgb(app.Pixel(w, c.x, c.y)), RGB(0, 200, 0));
        Key(VK_ESCAPE);
    });
    EXPECT_EQ(TrackPopupMenu(m, TPM_RETURNCMD, 200, 200, 0, owner, nullptr), 0);
    ASSERT_GE(drawn.size(), 3u);
    EXPECT_EQ(drawn[0].itemData, 0x11u);
    EXPECT_EQ(drawn[0].hwndItem, reinterpret_cast<HWND>(m));
    EXPECT_EQ(drawn[1].itemID, 2u);
    EXPECT_EQ(drawn[1].itemState & (ODS_GRAYED | ODS_CHECKED | ODS_SELECTED), UINT(ODS_GRAYED | ODS_CHECKED));
    bool selectedSeen = false;
    for (const auto& d : drawn) selectedSeen |= d.itemID == 1 && (d.itemState & ODS_SELECTED);
    EXPECT_TRUE(selectedSeen);
    DestroyMenu(m);
}

TEST_F(PopupMenu, ASubclassDrivesTheMenuWithItsPrivateMessages) {
    // What a window subclass of "#32768" relies on: MN_GETHMENU, MN_SELECTITEM, Enter sent to the
    // window chooses, and one MN_BUTTONDOWN per click before the menu acts on it.
    const HMENU m = Simple();
    static std::vector<UINT> seen;
    static WNDPROC original = nullptr;
    seen.clear();
    Then([&] {
        const HWND w = MenuWindows().at(0);
        EXPECT_EQ(SendMessageW(w, MN_GETHMENU, 0, 0), reinterpret_cast<LRESULT>(m));
        original = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(
            +[](HWND h, UINT msg, WPARAM wp, LPARAM lp) -> LRESULT {
                if (msg == MN_BUTTONDOWN || msg == MN_SELECTITEM) seen.push_back(msg);
                return CallWindowProcW(original, h, msg, wp, lp);
            })));
        ClickAt(ItemCentre(m, 0));
    });
    EXPECT_EQ(TrackPopupMenu(m, TPM_RETURNCMD, 200, 200, 0, owner, nullptr), 101);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(std::count(seen.begin(), seen.end(), UINT(MN_BUTTONDOWN)), 1);

    Then([&] {
        const HWND w = MenuWindows().at(0);
        SendMessageW(w, MN_SELECTITEM, 2, 0);
        EXPECT_EQ(GetMenuState(m, 2, MF_BYPOSITION) & MF_HILITE, UINT(MF_HILITE));
        SendMessageW(w, MN_SELECTITEM, WPARAM(-1), 0);
        EXPECT_EQ(GetMenuState(m, 2, MF_BYPOSITION) & MF_HILITE, 0u);
        SendMessageW(w, MN_SELECTITEM, 1, 0);
        SendMessageW(w, WM_KEYDOWN, VK_RETURN, 0);
        SendMessageW(w, WM_KEYUP, VK_RETURN, 0);
    });
    EXPECT_EQ(TrackPopupMenu(m, TPM_RETURNCMD, 200, 200, 0, owner, nullptr), 102);

    // A subclass may answer the press itself, as a styled menu does: the item under the pointer is
    // selected and Enter goes to the menu's own procedure, which chooses it; the release adds nothing.
    static int presses = 0;
    presses = 0;
    Then([&] {
        const HWND w = MenuWindows().at(0);
        original = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(
            +[](HWND h, UINT msg, WPARAM wp, LPARAM lp) -> LRESULT {
                if (msg != MN_BUTTONDOWN) return CallWindowProcW(original, h, msg, wp, lp);
                ++presses;
                CallWindowProcW(original, h, MN_SELECTITEM, wp, 0);
                CallWindowProcW(original, h, WM_KEYDOWN, VK_RETURN, 0);
                CallWindowProcW(original, h, WM_KEYUP, VK_RETURN, 0);
                return 0;
            })));
        ClickAt(ItemCentre(m, 2));
    });
    EXPECT_EQ(TrackPopupMenu(m, TPM_RETURNCMD, 200, 200, 0, owner, nullptr), 103);
    EXPECT_EQ(presses, 1);
    EXPECT_TRUE(Commands().empty());
    DestroyMenu(m);
}

TEST_F(PopupMenu, AlignmentFlagsPlaceTheMenuAroundThePoint) {
    const HMENU m = Simple();
    struct Case {
        UINT flags;
        int dxFactor2, dyFactor2;  // offset of the point from the top-left, in half sizes
    };
    for (const Case c : {Case{TPM_LEFTALIGN | TPM_TOPALIGN, 0, 0}, Case{TPM_RIGHTALIGN | TPM_BOTTOMALIGN, 2, 2},
                         Case{TPM_CENTERALIGN | TPM_VCENTERALIGN, 1, 1}}) {
        RECT wr{};
        Then([&] {
            GetWindowRect(MenuWindows().at(0), &wr);
            Key(VK_ESCAPE);
        });
        TrackPopupMenu(m, c.flags, 400, 400, 0, owner, nullptr);
        const int w = wr.right - wr.left, h = wr.bottom - wr.top;
        EXPECT_EQ(wr.left, 400 - c.dxFactor2 * w / 2) << c.flags;
        EXPECT_EQ(wr.top, 400 - c.dyFactor2 * h / 2) << c.flags;
    }
    // Near the right and bottom edges the menu opens to the other side of the point.
    RECT wr{};
    Then([&] {
        GetWindowRect(MenuWindows().at(0), &wr);
        Key(VK_ESCAPE);
    });
    TrackPopupMenu(m, 0, 1270, 970, 0, owner, nullptr);
    EXPECT_EQ(wr.right, 1270);
    EXPECT_EQ(wr.bottom, 970);
    // A rectangle to keep clear moves the menu beside it: below with TPM_VERTICAL, else to its right.
    for (const UINT flags : {UINT(TPM_VERTICAL), UINT(TPM_HORIZONTAL)}) {
        TPMPARAMS keep{sizeof(TPMPARAMS), RECT{390, 390, 450, 420}};
        Then([&] {
            GetWindowRect(MenuWindows().at(0), &wr);
            Key(VK_ESCAPE);
        });
        TrackPopupMenuEx(m, flags, 400, 400, owner, &keep);
        RECT overlap;
        EXPECT_FALSE(IntersectRect(&overlap, &wr, &keep.rcExclude)) << flags;
        EXPECT_EQ(flags == TPM_VERTICAL ? wr.top : wr.left, flags == TPM_VERTICAL ? 420 : 450) << flags;
    }
    DestroyMenu(m);
}

TEST_F(PopupMenu, DeactivationAndEndMenuCloseTheLoop) {
    const HMENU m = Simple();
    SetActiveWindow(owner);
    const HWND other = TopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT{700, 100, 900, 300});
    SetActiveWindow(owner);
    Then([&] {
        TwInputActivate(other);
        PostMessageW(other, WM_NULL, 0, 0);  // the desktop's activation also ends the wait
    });
    EXPECT_EQ(TrackPopupMenu(m, TPM_RETURNCMD, 200, 200, 0, owner, nullptr), 0);
    EXPECT_TRUE(MenuWindows().empty());
    SetActiveWindow(owner);
    Then([] { EXPECT_TRUE(EndMenu()); });
    EXPECT_EQ(TrackPopupMenu(m, TPM_RETURNCMD, 200, 200, 0, owner, nullptr), 0);
    EXPECT_FALSE(EndMenu());
    // One loop at a time.
    Then([&] {
        EXPECT_FALSE(TrackPopupMenu(m, TPM_RETURNCMD, 10, 10, 0, owner, nullptr));
        EndMenu();
    });
    TrackPopupMenu(m, TPM_RETURNCMD, 200, 200, 0, owner, nullptr);
    DestroyMenu(m);
}

TEST_F(PopupMenu, AltSpaceOpensTheSystemMenuAndItsChoiceIsASysCommand) {
    Then([] { Key('C', u"c"); });
    SendMessageW(owner, WM_SYSCOMMAND, SC_KEYMENU, VK_SPACE);
    const auto sys = rec.Of(WM_SYSCOMMAND);
    ASSERT_EQ(sys.size(), 2u);
    EXPECT_EQ(sys[1].wp, WPARAM(SC_CLOSE));
    EXPECT_FALSE(IsWindow(owner));  // the default answer to SC_CLOSE closed it
}

// The desktop draws the captions of top-level windows: it asks for the window menu with message 0x0313,
// and a click on the caption's icon arrives as SC_MOUSEMENU on HTSYSMENU.
TEST_F(PopupMenu, TheCaptionOpensTheSystemMenu) {
    HMENU shown = nullptr;
    Then([&] {
        ASSERT_EQ(MenuWindows().size(), 1u);
        shown = reinterpret_cast<HMENU>(SendMessageW(MenuWindows()[0], MN_GETHMENU, 0, 0));
        Key(VK_ESCAPE);
    });
    SendMessageW(owner, 0x0313, 0, MAKELPARAM(150, 120));
    EXPECT_TRUE(script.Done());
    EXPECT_EQ(shown, GetSystemMenu(owner, FALSE));

    Then([&] {
        ASSERT_EQ(MenuWindows().size(), 1u);
        Key('N', u"n");  // Mi&nimize
    });
    rec.Clear();
    SendMessageW(owner, WM_SYSCOMMAND, SC_MOUSEMENU | HTSYSMENU, MAKELPARAM(110, 110));
    app.PumpUntilIdle();
    EXPECT_TRUE(script.Done());
    bool minimized = false;
    for (const Seen& s : rec.Of(WM_SYSCOMMAND)) minimized |= (s.wp & 0xFFF0) == SC_MINIMIZE;
    EXPECT_TRUE(minimized);
}

TEST_F(PopupMenu, TheMenuBarOpensItsItemsMenuUnderItAndArrowsMoveAlongTheBar) {
    HMENU edit = nullptr;
    const HMENU bar = FileEditBar(edit);
    SetMenu(owner, bar);
    app.PumpUntilIdle();
    RECT fileRect;
    GetMenuItemRect(owner, bar, 0, &fileRect);
    Then([&] {
        const auto wins = MenuWindows();
        ASSERT_EQ(wins.size(), 1u);
        RECT wr;
        GetWindowRect(wins[0], &wr);
        EXPECT_EQ(wr.left, fileRect.left);
        EXPECT_EQ(wr.top, fileRect.bottom);
        Key(VK_RIGHT);
    });
    Then([&] {
        EXPECT_EQ(GetMenuState(edit, 0, MF_BYPOSITION) & MF_HILITE, UINT(MF_HILITE));
        Key(VK_RETURN);
    });
    SendMessageW(owner, WM_SYSCOMMAND, SC_KEYMENU, 'f');
    const auto cmds = Commands();
    ASSERT_EQ(cmds.size(), 1u);
    EXPECT_EQ(cmds[0].wp, 301u);
    DestroyMenu(bar);
}

TEST_F(PopupMenu, AltAloneHighlightsTheBarWhereArrowsMoveAndEnterOrEscapeOpenOrLeave) {
    HMENU edit = nullptr;
    const HMENU bar = FileEditBar(edit);
    AppendMenuW(bar, MF_STRING, 401, u"&Go");
    SetMenu(owner, bar);
    app.PumpUntilIdle();
    auto hot = [&](UINT pos) { return (GetMenuState(bar, pos, MF_BYPOSITION) & MF_HILITE) != 0; };
    std::vector<std::pair<WPARAM, HMENU>> nextMenus;
    rec.handlers[owner] = [&](HWND, UINT msg, WPARAM wp, LPARAM lp) -> std::optional<LRESULT> {
        if (msg == WM_NEXTMENU) nextMenus.emplace_back(wp, reinterpret_cast<MDINEXTMENU*>(lp)->hmenuIn);
        return std::nullopt;
    };
    Then([&] {
        EXPECT_TRUE(MenuWindows().empty());  // only the bar is highlighted, no menu opens
        EXPECT_TRUE(hot(0));
        Key(VK_LEFT);  // off the left end: wraps to the last item
    });
    Then([&] {
        EXPECT_TRUE(hot(2));
        EXPECT_FALSE(hot(0));
        Key(VK_RIGHT);
        Key(VK_RIGHT);
    });
    Then([&] {
        EXPECT_TRUE(hot(1));
        EXPECT_TRUE(MenuWindows().empty());
        Key(VK_RETURN);  // opens Edit with its first item selected
    });
    Then([&] {
        ASSERT_EQ(MenuWindows().size(), 1u);
        EXPECT_EQ(GetMenuState(edit, 0, MF_BYPOSITION) & MF_HILITE, UINT(MF_HILITE));
        Key(VK_ESCAPE);  // closes the menu; the keyboard stays on the bar
    });
    Then([&] {
        EXPECT_TRUE(MenuWindows().empty());
        EXPECT_TRUE(hot(1));
        Key(VK_ESCAPE);
    });
    SendMessageW(owner, WM_SYSCOMMAND, SC_KEYMENU, 0);
    EXPECT_TRUE(script.Done());
    EXPECT_FALSE(hot(1));
    EXPECT_TRUE(Commands().empty());
    ASSERT_EQ(nextMenus.size(), 2u);  // leaving the left end, then the right end
    EXPECT_EQ(nextMenus[0], std::make_pair(WPARAM(VK_LEFT), bar));
    EXPECT_EQ(nextMenus[1], std::make_pair(WPARAM(VK_RIGHT), bar));

    // A mnemonic on the bar opens its item; an item without a menu is a command at once.
    Then([&] { Key('G', u"g"); });
    SendMessageW(owner, WM_SYSCOMMAND, SC_KEYMENU, 0);
    const auto cmds = Commands();
    ASSERT_EQ(cmds.size(), 1u);
    EXPECT_EQ(cmds[0].wp, 401u);
    DestroyMenu(bar);
}
