// win/user32/MenuModel.h: the objects behind HMENUs, their layout and painting, shared by the menu
// functions, the pop-up menu window and the menu bar in the non-client area. Internal to user32.
#pragma once

#include "win/user32/WindowModel.h"
#include "win/kernel32/winbase.h"

#include <string>
#include <vector>

namespace twuser::menus {

struct Item {
    UINT type = MFT_STRING;  // MFT_ bits
    UINT state = 0;          // MFS_ bits
    UINT id = 0;
    HMENU sub = nullptr;
    HBITMAP checked = nullptr, unchecked = nullptr;
    ULONG_PTR data = 0;
    bool hasText = false;     // a string item may have no text at all
    std::u16string text;      // caption, a tab, then the shortcut text
    HBITMAP bitmap = nullptr;  // hbmpItem, or the bitmap of an MFT_BITMAP item
    RECT rect{};  // pop-up: in the menu's unscrolled client coordinates; bar: in window coordinates

    bool Separator() const { return (type & MFT_SEPARATOR) != 0; }
    bool OwnerDraw() const { return (type & MFT_OWNERDRAW) != 0; }
    bool Disabled() const { return (state & MFS_GRAYED) != 0; }
    // The part before the tab and the part after it.
    std::u16string Label() const;
    std::u16string Shortcut() const;
    // The character after the first lone '&', lower-cased; 0 when there is none.
    char16_t Mnemonic() const;
};

struct Menu {
    HMENU handle = nullptr;
    bool popup = false;   // made by CreatePopupMenu (or the system menu)
    HWND systemOf = nullptr;  // the window whose system menu this is
    std::vector<Item> items;
    HWND window = nullptr;    // the "#32768" window showing it, while shown
    HWND barOwner = nullptr;  // the window whose menu bar it is
    bool laidOut = false;
    SIZE size{};       // pop-up: the client size of all items
    int leftColumn = 0;  // pop-up: the column of check marks and item bitmaps
    int tabColumn = 0;  // pop-up: where shortcut texts end is the item's right edge minus this
    int selected = -1;
    int scroll = 0;     // pixels scrolled in a pop-up taller than its window
    bool scrolls = false;
    bool destroyed = false;
    RECT barRect{};     // bar: the band it fills (window coordinates)
    DWORD style = 0;    // MNS_ bits
    UINT maxHeight = 0;  // pop-up: taller than this it scrolls; 0 for the work area
    HBRUSH background = nullptr;  // instead of the menu colour
    DWORD helpId = 0;
    ULONG_PTR data = 0;
};

Menu* Find(HMENU h);
// The item an MF_BYCOMMAND or MF_BYPOSITION reference names, and the menu that holds it.
Item* FindItem(HMENU h, UINT ref, bool byPosition, Menu** holder = nullptr, int* position = nullptr);

// Font, height and layout constants of the classic look.
HFONT MenuFont(bool bold = false);
constexpr int PopupBorder = 1;  // the frame in the non-client area
constexpr int PopupMargin = 2;  // between the frame and the items
constexpr int SeparatorHeight = 9;
constexpr int ScrollArrowHeight = 14;  // puts the first item 17 pixels below the window's top, as the oracle has it

// Pop-up layout: every item's rectangle and the total size; owner-drawn items ask `owner`.
void LayoutPopup(Menu* m, HWND owner);
// Paints one pop-up item (client coordinates, scrolled) into hdc.
void PaintPopupItem(HDC hdc, Menu* m, int index, HWND owner, bool cues, int dy);
// Whether a pop-up scrolls by itself: it is taller than its window, and its window is not subclassed.
// A subclass that paints the items keeps its own scroll position, so the window then shows the
// unscrolled layout, reports it through GetMenuItemRect and leaves the scroll alone on selection.
bool ScrollsItself(const Menu* m);
// The y offset that items are drawn at in a pop-up window (scroll arrow and scroll position).
int PopupItemShift(const Menu* m);

// The menu bar of a window: its height at the top of `barArea`, in coordinates where the window's
// top-left corner is `origin` (the bar keeps window coordinates).
int MenuBarHeight(Window* w, const RECT& barArea, POINT origin);
void PaintMenuBar(Window* w, HDC windowDC);
HMENU BarMenuOf(const Window* w);
int BarItemAt(Window* w, POINT screenPt);
// Opens the bar item's menu and runs the menu loop (mouse on the bar or a key of SC_KEYMENU);
// `barOnly` (Alt or F10 alone) only highlights the item and leaves the keyboard on the bar.
void TrackMenuBar(HWND hwnd, int item, bool byKeyboard, bool barOnly = false);

// The system menu of a window, made on first use; its states follow the window's style and state.
HMENU SystemMenuOf(HWND hwnd, bool create);
void UpdateSystemMenu(HWND hwnd, HMENU menu);
// Opens the window's system menu at a screen point (from Alt+Space, the caption or WM_CONTEXTMENU).
void TrackSystemMenu(HWND hwnd, POINT at, bool byKeyboard);

// The menu loop (PopupMenu.cpp). `barItem` >= 0 when it runs from a menu bar.
UINT RunMenuLoop(HMENU menu, UINT flags, POINT at, HWND owner, const RECT* exclude, bool byKeyboard,
                 bool systemMenu, HWND barWindow = nullptr, int barItem = -1, bool barOnly = false);
bool MenuLoopActive();

} // namespace twuser::menus
