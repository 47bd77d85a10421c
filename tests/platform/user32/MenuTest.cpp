// Menu handles and items, the menu bar in the non-client area and the system menu.
#include "tests/platform/user32/Recorder.h"

#include <string>
#include <vector>

using namespace user32_test;

namespace {

std::u16string Text(HMENU m, UINT pos) {
    MENUITEMINFOW mi{};
    mi.cbSize = sizeof mi;
    mi.fMask = MIIM_STRING;
    if (!GetMenuItemInfoW(m, pos, TRUE, &mi)) return u"<none>";
    std::u16string s(mi.cch + 1, u'\0');
    mi.dwTypeData = s.data();
    mi.cch = UINT(s.size());
    GetMenuItemInfoW(m, pos, TRUE, &mi);
    s.resize(mi.cch);
    return s;
}

// File (Open 10, Recent > (A 21, B 22), ---, Exit 11)
struct Sample {
    HMENU file = CreatePopupMenu();
    HMENU recent = CreatePopupMenu();
    Sample() {
        AppendMenuW(file, MF_STRING, 10, u"&Open\tCtrl+O");
        AppendMenuW(recent, MF_STRING, 21, u"A");
        AppendMenuW(recent, MF_STRING | MF_GRAYED, 22, u"B");
        AppendMenuW(file, MF_POPUP, reinterpret_cast<UINT_PTR>(recent), u"&Recent");
        AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(file, MF_STRING, 11, u"E&xit");
    }
    ~Sample() { DestroyMenu(file); }
};

} // namespace

TEST(MenuItems, AreFoundByPositionAndByCommandInsideSubMenus) {
    Sample s;
    EXPECT_EQ(GetMenuItemCount(s.file), 4);
    EXPECT_EQ(GetMenuItemID(s.file, 0), 10u);
    EXPECT_EQ(GetMenuItemID(s.file, 1), UINT(-1));  // a sub-menu item has no command
    EXPECT_EQ(GetSubMenu(s.file, 1), s.recent);
    EXPECT_EQ(GetSubMenu(s.file, 0), nullptr);
    // By command the search reaches into the sub-menu.
    EXPECT_EQ(GetMenuState(s.file, 22, MF_BYCOMMAND), UINT(MF_GRAYED));
    EXPECT_EQ(GetMenuState(s.file, 1, MF_BYPOSITION), UINT(MF_POPUP | MAKEWORD(0, 2)));
    EXPECT_EQ(GetMenuState(s.file, 2, MF_BYPOSITION), UINT(MF_SEPARATOR));
    EXPECT_EQ(GetMenuState(s.file, 99, MF_BYCOMMAND), UINT(-1));
    WCHAR buf[32];
    EXPECT_EQ(GetMenuStringW(s.file, 11, buf, 32, MF_BYCOMMAND), 5);
    EXPECT_EQ(std::u16string(buf), u"E&xit");
    EXPECT_EQ(GetMenuStringW(s.file, 11, buf, 3, MF_BYCOMMAND), 2);  // cut to the buffer, terminated
    EXPECT_EQ(std::u16string(buf), u"E&");
    // Inserting by command puts the new item before it, in the menu that holds it.
    ASSERT_TRUE(InsertMenuW(s.file, 22, MF_BYCOMMAND | MF_STRING, 23, u"C"));
    EXPECT_EQ(GetMenuItemID(s.recent, 1), 23u);
    EXPECT_EQ(GetMenuItemCount(s.file), 4);
}

TEST(MenuItems, InfoAnswersEveryMaskAndTheTextLengthWithoutABuffer) {
    Sample s;
    MENUITEMINFOW mi{};
    mi.cbSize = sizeof mi;
    mi.fMask = MIIM_STRING | MIIM_FTYPE;
    ASSERT_TRUE(GetMenuItemInfoW(s.file, 0, TRUE, &mi));
    EXPECT_EQ(mi.cch, 12u);  // "&Open\tCtrl+O"
    EXPECT_EQ(mi.fType, UINT(MFT_STRING));
    EXPECT_EQ(Text(s.file, 0), u"&Open\tCtrl+O");
    EXPECT_EQ(Text(s.file, 2), u"");

    MENUITEMINFOW set{};
    set.cbSize = sizeof set;
    set.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_DATA | MIIM_ID | MIIM_BITMAP;
    set.fType = MFT_OWNERDRAW | MFT_RADIOCHECK;
    set.fState = MFS_CHECKED | MFS_DEFAULT;
    set.dwItemData = 0x1234;
    set.wID = 77;
    set.hbmpItem = HBMMENU_POPUP_CLOSE;
    ASSERT_TRUE(SetMenuItemInfoW(s.file, 0, TRUE, &set));
    MENUITEMINFOW got{};
    got.cbSize = sizeof got;
    got.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_DATA | MIIM_ID | MIIM_BITMAP | MIIM_STRING;
    ASSERT_TRUE(GetMenuItemInfoW(s.file, 77, FALSE, &got));
    EXPECT_EQ(got.fType, UINT(MFT_OWNERDRAW | MFT_RADIOCHECK));
    EXPECT_EQ(got.fState, UINT(MFS_CHECKED | MFS_DEFAULT));
    EXPECT_EQ(got.dwItemData, 0x1234u);
    EXPECT_EQ(got.hbmpItem, HBMMENU_POPUP_CLOSE);
    EXPECT_EQ(got.cch, 12u);  // a changed type keeps the text

    // A wrong structure size, a missing item and a dead menu all fail.
    got.cbSize = 20;
    EXPECT_FALSE(GetMenuItemInfoW(s.file, 0, TRUE, &got));
    got.cbSize = sizeof got;
    EXPECT_FALSE(GetMenuItemInfoW(s.file, 9, TRUE, &got));
    const HMENU dead = CreatePopupMenu();
    DestroyMenu(dead);
    EXPECT_FALSE(IsMenu(dead));
    EXPECT_FALSE(GetMenuItemInfoW(dead, 0, TRUE, &got));
    EXPECT_EQ(GetMenuItemCount(dead), -1);
    EXPECT_FALSE(AppendMenuW(dead, MF_STRING, 1, u"x"));
}

TEST(MenuItems, EnableCheckAndRadioReturnWhatWasBefore) {
    Sample s;
    EXPECT_EQ(EnableMenuItem(s.file, 10, MF_BYCOMMAND | MF_GRAYED), MF_ENABLED);
    EXPECT_EQ(EnableMenuItem(s.file, 10, MF_BYCOMMAND | MF_ENABLED), MF_GRAYED);
    EXPECT_EQ(EnableMenuItem(s.file, 99, MF_BYCOMMAND), -1);
    EXPECT_EQ(CheckMenuItem(s.file, 0, MF_BYPOSITION | MF_CHECKED), DWORD(MF_UNCHECKED));
    EXPECT_EQ(CheckMenuItem(s.file, 0, MF_BYPOSITION | MF_UNCHECKED), DWORD(MF_CHECKED));

    const HMENU m = CreatePopupMenu();
    for (UINT id = 1; id <= 4; ++id) AppendMenuW(m, MF_STRING | (id == 1 ? MF_CHECKED : 0), id, u"r");
    ASSERT_TRUE(CheckMenuRadioItem(m, 1, 3, 2, MF_BYCOMMAND));
    MENUITEMINFOW mi{};
    mi.cbSize = sizeof mi;
    mi.fMask = MIIM_FTYPE | MIIM_STATE;
    GetMenuItemInfoW(m, 2, FALSE, &mi);
    EXPECT_EQ(mi.fType, UINT(MFT_RADIOCHECK));
    EXPECT_EQ(mi.fState, UINT(MFS_CHECKED));
    EXPECT_EQ(GetMenuState(m, 1, MF_BYCOMMAND) & MF_CHECKED, 0u);  // the rest of the group is unchecked
    // The checked item must lie inside the group.
    EXPECT_FALSE(CheckMenuRadioItem(m, 0, 1, 3, MF_BYPOSITION));
    DestroyMenu(m);
}

TEST(MenuItems, DeleteDestroysTheSubMenuRemoveKeepsIt) {
    Sample s;
    const HMENU second = CreatePopupMenu();
    AppendMenuW(s.file, MF_POPUP, reinterpret_cast<UINT_PTR>(second), u"More");
    ASSERT_TRUE(RemoveMenu(s.file, 1, MF_BYPOSITION));
    EXPECT_TRUE(IsMenu(s.recent));
    ASSERT_TRUE(DeleteMenu(s.file, 3, MF_BYPOSITION));
    EXPECT_FALSE(IsMenu(second));
    EXPECT_FALSE(DeleteMenu(s.file, 9, MF_BYPOSITION));
    // Destroying a menu takes its sub-menus with it.
    const HMENU top = CreatePopupMenu();
    AppendMenuW(top, MF_POPUP, reinterpret_cast<UINT_PTR>(s.recent), u"R");
    DestroyMenu(top);
    EXPECT_FALSE(IsMenu(s.recent));
}

TEST(MenuItems, OneDefaultItemAtATime) {
    Sample s;
    ASSERT_TRUE(SetMenuDefaultItem(s.file, 10, FALSE));
    ASSERT_TRUE(SetMenuDefaultItem(s.file, 3, TRUE));
    EXPECT_EQ(GetMenuDefaultItem(s.file, FALSE, 0), 11u);
    EXPECT_EQ(GetMenuState(s.file, 10, MF_BYCOMMAND) & MF_DEFAULT, 0u);
    ASSERT_TRUE(SetMenuDefaultItem(s.file, UINT(-1), TRUE));
    EXPECT_EQ(GetMenuDefaultItem(s.file, TRUE, 0), UINT(-1));
    // A sub-menu's command is no default item of its parent.
    EXPECT_FALSE(SetMenuDefaultItem(s.file, 21, FALSE));
}

TEST(MenuItems, MenuInfoKeepsEachMaskedMemberAndReachesSubMenusOnlyWhenAsked) {
    Sample s;
    MENUINFO set{sizeof set, MIM_STYLE | MIM_MAXHEIGHT | MIM_MENUDATA, MNS_NOTIFYBYPOS | MNS_CHECKORBMP, 120, nullptr, 0, 77};
    ASSERT_TRUE(SetMenuInfo(s.file, &set));
    MENUINFO got{sizeof got, MIM_STYLE | MIM_MAXHEIGHT | MIM_MENUDATA | MIM_BACKGROUND, 0, 0, nullptr, 0, 0};
    ASSERT_TRUE(GetMenuInfo(s.file, &got));
    EXPECT_EQ(got.dwStyle, DWORD(MNS_NOTIFYBYPOS | MNS_CHECKORBMP));
    EXPECT_EQ(got.cyMax, 120u);
    EXPECT_EQ(got.dwMenuData, 77u);
    EXPECT_EQ(got.hbrBack, nullptr);
    ASSERT_TRUE(GetMenuInfo(s.recent, &got));
    EXPECT_EQ(got.dwStyle, 0u);  // the sub-menu kept its own
    // Only the masked members change, and MIM_APPLYTOSUBMENUS carries them down.
    const HBRUSH brush = GetSysColorBrush(COLOR_WINDOW);
    MENUINFO back{sizeof back, MIM_BACKGROUND | MIM_APPLYTOSUBMENUS, 0, 0, brush, 0, 0};
    ASSERT_TRUE(SetMenuInfo(s.file, &back));
    ASSERT_TRUE(GetMenuInfo(s.file, &got));
    EXPECT_EQ(got.hbrBack, brush);
    EXPECT_EQ(got.dwStyle, DWORD(MNS_NOTIFYBYPOS | MNS_CHECKORBMP));
    ASSERT_TRUE(GetMenuInfo(s.recent, &got));
    EXPECT_EQ(got.hbrBack, brush);
    // Errors: a wrong size, no structure, no menu.
    MENUINFO bad = set;
    bad.cbSize = 4;
    EXPECT_FALSE(SetMenuInfo(s.file, &bad));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_FALSE(GetMenuInfo(s.file, nullptr));
    EXPECT_FALSE(GetMenuInfo(reinterpret_cast<HMENU>(0x7777), &got));
}

class MenuBar : public WindowTest {};

TEST_F(MenuBar, TakesItsRowFromTheClientAreaAndAnswersHitTests) {
    const HWND w = TopLevel(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, RECT{100, 100, 500, 400});
    RECT before;
    GetClientRect(w, &before);
    const HMENU bar = CreateMenu();
    Sample s;
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(s.file), u"&File");
    AppendMenuW(bar, MF_STRING, 50, u"&Help");
    ASSERT_TRUE(SetMenu(w, bar));
    EXPECT_EQ(GetMenu(w), bar);
    RECT after;
    GetClientRect(w, &after);
    EXPECT_EQ(before.bottom - after.bottom, GetSystemMetrics(SM_CYMENU));
    RECT file, help;
    ASSERT_TRUE(GetMenuItemRect(w, bar, 0, &file));
    ASSERT_TRUE(GetMenuItemRect(w, bar, 1, &help));
    EXPECT_EQ(file.top, help.top);
    EXPECT_EQ(help.left, file.right);
    POINT client{0, 0};
    ClientToScreen(w, &client);
    EXPECT_LE(file.bottom, client.y);
    const POINT mid{(file.left + file.right) / 2, (file.top + file.bottom) / 2};
    EXPECT_EQ(SendMessageW(w, WM_NCHITTEST, 0, MAKELPARAM(mid.x, mid.y)), HTMENU);
    EXPECT_EQ(MenuItemFromPoint(w, bar, POINT{(help.left + help.right) / 2, mid.y}), 1);
    app.PumpUntilIdle();
    POINT inWindow = mid;
    ScreenToClient(w, &inWindow);
    // The bar's band is painted in the menu colour beyond its last item.
    const COLORREF menu = GetSysColor(COLOR_MENU);
    EXPECT_EQ(app.Pixel(w, help.right + 4 - client.x, inWindow.y),
              QRgb((GetRValue(menu) << 16) | (GetGValue(menu) << 8) | GetBValue(menu)));

    // A window too narrow for one row wraps the bar to a second one.
    SetWindowPos(w, nullptr, 0, 0, file.right - file.left + 20, 300, SWP_NOMOVE | SWP_NOZORDER);
    RECT narrow;
    GetClientRect(w, &narrow);
    RECT wr;
    GetWindowRect(w, &wr);
    ASSERT_TRUE(GetMenuItemRect(w, bar, 1, &help));
    ASSERT_TRUE(GetMenuItemRect(w, bar, 0, &file));
    EXPECT_GT(help.top, file.top);
    ASSERT_TRUE(SetMenu(w, nullptr));
    RECT none;
    GetClientRect(w, &none);
    EXPECT_EQ(none.bottom - narrow.bottom, 2 * GetSystemMetrics(SM_CYMENU));
    DestroyMenu(bar);
}

struct SysMenuCase {
    DWORD style;
    bool maximized;
    std::vector<std::pair<UINT, bool>> items;  // command (0: separator), enabled
};

class SystemMenu : public WindowTest, public ::testing::WithParamInterface<SysMenuCase> {};

TEST_P(SystemMenu, HoldsTheStandardItemsInTheWindowsState) {
    const SysMenuCase& c = GetParam();
    const HWND w = TopLevel(c.style | WS_VISIBLE, RECT{50, 50, 450, 350});
    if (c.maximized) ShowWindow(w, SW_MAXIMIZE);
    const HMENU m = GetSystemMenu(w, FALSE);
    ASSERT_NE(m, nullptr);
    std::vector<std::pair<UINT, bool>> got;
    for (int i = 0; i < GetMenuItemCount(m); ++i) {
        const UINT state = GetMenuState(m, UINT(i), MF_BYPOSITION);
        got.emplace_back((state & MF_SEPARATOR) ? 0u : GetMenuItemID(m, i), !(state & MF_GRAYED));
    }
    EXPECT_EQ(got, c.items);
    EXPECT_EQ(GetMenuDefaultItem(m, FALSE, 0), UINT(SC_CLOSE));
    // The same menu comes back; reverting makes the standard one again.
    EXPECT_EQ(GetSystemMenu(w, FALSE), m);
    EXPECT_EQ(GetSystemMenu(w, TRUE), nullptr);
    EXPECT_FALSE(IsMenu(m));
}

INSTANTIATE_TEST_SUITE_P(
    Styles, SystemMenu,
    ::testing::Values(
        SysMenuCase{WS_OVERLAPPEDWINDOW, false,
                    {{SC_RESTORE, false}, {SC_MOVE, true}, {SC_SIZE, true}, {SC_MINIMIZE, true}, {SC_MAXIMIZE, true}, {0, true}, {SC_CLOSE, true}}},
        SysMenuCase{WS_OVERLAPPEDWINDOW, true,
                    {{SC_RESTORE, true}, {SC_MOVE, false}, {SC_SIZE, false}, {SC_MINIMIZE, true}, {SC_MAXIMIZE, false}, {0, true}, {SC_CLOSE, true}}},
        SysMenuCase{WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, false,
                    {{SC_RESTORE, false}, {SC_MOVE, true}, {SC_SIZE, false}, {SC_MINIMIZE, true}, {SC_MAXIMIZE, false}, {0, true}, {SC_CLOSE, true}}},
        SysMenuCase{WS_POPUP | WS_CAPTION | WS_SYSMENU, false, {{SC_MOVE, true}, {0, true}, {SC_CLOSE, true}}}));
