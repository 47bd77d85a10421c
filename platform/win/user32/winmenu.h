// win/user32/winmenu.h: menus of the Win32 stand-in: menu handles and their items, the menu bar of a
// window, the system menu and the pop-up menu window ("#32768") with its modal loop.
#pragma once

#include "win/user32/winctrl.h"
#include "win/windef.h"

extern "C" {

// ---- item flags of AppendMenuW / InsertMenuW / ModifyMenuW and the MF_ answers of GetMenuState ----
#define MF_INSERT 0x00000000L
#define MF_CHANGE 0x00000080L
#define MF_APPEND 0x00000100L
#define MF_DELETE 0x00000200L
#define MF_REMOVE 0x00001000L
#define MF_BYCOMMAND 0x00000000L
#define MF_BYPOSITION 0x00000400L
#define MF_SEPARATOR 0x00000800L
#define MF_ENABLED 0x00000000L
#define MF_GRAYED 0x00000001L
#define MF_DISABLED 0x00000002L
#define MF_UNCHECKED 0x00000000L
#define MF_CHECKED 0x00000008L
#define MF_USECHECKBITMAPS 0x00000200L
#define MF_STRING 0x00000000L
#define MF_BITMAP 0x00000004L
#define MF_OWNERDRAW 0x00000100L
#define MF_POPUP 0x00000010L
#define MF_MENUBARBREAK 0x00000020L
#define MF_MENUBREAK 0x00000040L
#define MF_UNHILITE 0x00000000L
#define MF_HILITE 0x00000080L
#define MF_DEFAULT 0x00001000L
#define MF_SYSMENU 0x00002000L
#define MF_HELP 0x00004000L
#define MF_RIGHTJUSTIFY 0x00004000L
#define MF_MOUSESELECT 0x00008000L

#define MFT_STRING MF_STRING
#define MFT_BITMAP MF_BITMAP
#define MFT_MENUBARBREAK MF_MENUBARBREAK
#define MFT_MENUBREAK MF_MENUBREAK
#define MFT_OWNERDRAW MF_OWNERDRAW
#define MFT_RADIOCHECK 0x00000200L
#define MFT_SEPARATOR MF_SEPARATOR
#define MFT_RIGHTORDER 0x00002000L
#define MFT_RIGHTJUSTIFY MF_RIGHTJUSTIFY

#define MFS_GRAYED 0x00000003L
#define MFS_DISABLED MFS_GRAYED
#define MFS_CHECKED MF_CHECKED
#define MFS_HILITE MF_HILITE
#define MFS_ENABLED MF_ENABLED
#define MFS_UNCHECKED MF_UNCHECKED
#define MFS_UNHILITE MF_UNHILITE
#define MFS_DEFAULT MF_DEFAULT

#define MIIM_STATE 0x00000001
#define MIIM_ID 0x00000002
#define MIIM_SUBMENU 0x00000004
#define MIIM_CHECKMARKS 0x00000008
#define MIIM_TYPE 0x00000010
#define MIIM_DATA 0x00000020
#define MIIM_STRING 0x00000040
#define MIIM_BITMAP 0x00000080
#define MIIM_FTYPE 0x00000100

// System bitmaps an item can show (hbmpItem).
#define HBMMENU_CALLBACK ((HBITMAP)-1)
#define HBMMENU_SYSTEM ((HBITMAP)1)
#define HBMMENU_MBAR_RESTORE ((HBITMAP)2)
#define HBMMENU_MBAR_MINIMIZE ((HBITMAP)3)
#define HBMMENU_MBAR_CLOSE ((HBITMAP)5)
#define HBMMENU_MBAR_CLOSE_D ((HBITMAP)6)
#define HBMMENU_MBAR_MINIMIZE_D ((HBITMAP)7)
#define HBMMENU_POPUP_CLOSE ((HBITMAP)8)
#define HBMMENU_POPUP_RESTORE ((HBITMAP)9)
#define HBMMENU_POPUP_MAXIMIZE ((HBITMAP)10)
#define HBMMENU_POPUP_MINIMIZE ((HBITMAP)11)

typedef struct tagMENUITEMINFOW {
    UINT cbSize;
    UINT fMask;
    UINT fType;
    UINT fState;
    UINT wID;
    HMENU hSubMenu;
    HBITMAP hbmpChecked;
    HBITMAP hbmpUnchecked;
    ULONG_PTR dwItemData;
    LPWSTR dwTypeData;
    UINT cch;
    HBITMAP hbmpItem;
} MENUITEMINFOW, *LPMENUITEMINFOW;
typedef const MENUITEMINFOW* LPCMENUITEMINFOW;

// ---- TrackPopupMenu(Ex) ----
#define TPM_LEFTBUTTON 0x0000L
#define TPM_RIGHTBUTTON 0x0002L
#define TPM_LEFTALIGN 0x0000L
#define TPM_CENTERALIGN 0x0004L
#define TPM_RIGHTALIGN 0x0008L
#define TPM_TOPALIGN 0x0000L
#define TPM_VCENTERALIGN 0x0010L
#define TPM_BOTTOMALIGN 0x0020L
#define TPM_HORIZONTAL 0x0000L
#define TPM_VERTICAL 0x0040L
#define TPM_NONOTIFY 0x0080L
#define TPM_RETURNCMD 0x0100L
#define TPM_RECURSE 0x0001L
#define TPM_HORPOSANIMATION 0x0400L
#define TPM_HORNEGANIMATION 0x0800L
#define TPM_VERPOSANIMATION 0x1000L
#define TPM_VERNEGANIMATION 0x2000L
#define TPM_NOANIMATION 0x4000L
#define TPM_LAYOUTRTL 0x8000L
#define TPM_WORKAREA 0x10000L

typedef struct tagTPMPARAMS {
    UINT cbSize;
    RECT rcExclude;
} TPMPARAMS, *LPTPMPARAMS;

// A menu's own settings (GetMenuInfo/SetMenuInfo).
#define MIM_MAXHEIGHT 0x00000001
#define MIM_BACKGROUND 0x00000002
#define MIM_HELPID 0x00000004
#define MIM_MENUDATA 0x00000008
#define MIM_STYLE 0x00000010
#define MIM_APPLYTOSUBMENUS 0x80000000
#define MNS_NOCHECK 0x80000000
#define MNS_MODELESS 0x40000000
#define MNS_DRAGDROP 0x20000000
#define MNS_AUTODISMISS 0x10000000
#define MNS_NOTIFYBYPOS 0x08000000
#define MNS_CHECKORBMP 0x04000000
typedef struct tagMENUINFO {
    DWORD cbSize;
    DWORD fMask;
    DWORD dwStyle;
    UINT cyMax;
    HBRUSH hbrBack;
    DWORD dwContextHelpID;
    ULONG_PTR dwMenuData;
} MENUINFO, *LPMENUINFO;
typedef const MENUINFO* LPCMENUINFO;

// ---- messages of menus ----
#define WM_MENURBUTTONUP 0x0122
#define WM_UNINITMENUPOPUP 0x0125
#define WM_MENUCOMMAND 0x0126
#define WM_NEXTMENU 0x0213
// What WM_NEXTMENU carries: the menu being left, and the answer of another menu and window to go to.
typedef struct tagMDINEXTMENU {
    HMENU hmenuIn;
    HMENU hmenuNext;
    HWND hwndNext;
} MDINEXTMENU, *PMDINEXTMENU, *LPMDINEXTMENU;
// WM_MENUCHAR answers (HIWORD of the result)
#define MNC_IGNORE 0
#define MNC_CLOSE 1
#define MNC_EXECUTE 2
#define MNC_SELECT 3
// The pop-up menu window's own messages, private to the system but relied on by window subclasses.
#define MN_GETHMENU 0x01E1
#define MN_SELECTITEM 0x01E5      // wParam: item position; -1 (or out of range) clears the selection
#define MN_BUTTONDOWN 0x01F1      // wParam: item position under the press (-1: none); one per press
#define MN_BUTTONUP 0x01EF        // wParam: item position under the release

// ---- menu handles ----
TW_PATCHABLE HMENU WINAPI CreateMenu(void);
TW_PATCHABLE HMENU WINAPI CreatePopupMenu(void);
TW_PATCHABLE BOOL WINAPI DestroyMenu(HMENU hMenu);
TW_PATCHABLE BOOL WINAPI IsMenu(HMENU hMenu);
TW_PATCHABLE BOOL WINAPI InsertMenuItemW(HMENU hmenu, UINT item, BOOL fByPosition, LPCMENUITEMINFOW lpmi);
TW_PATCHABLE BOOL WINAPI AppendMenuW(HMENU hMenu, UINT uFlags, UINT_PTR uIDNewItem, LPCWSTR lpNewItem);
TW_PATCHABLE BOOL WINAPI InsertMenuW(HMENU hMenu, UINT uPosition, UINT uFlags, UINT_PTR uIDNewItem, LPCWSTR lpNewItem);
TW_PATCHABLE BOOL WINAPI ModifyMenuW(HMENU hMnu, UINT uPosition, UINT uFlags, UINT_PTR uIDNewItem, LPCWSTR lpNewItem);
TW_PATCHABLE BOOL WINAPI RemoveMenu(HMENU hMenu, UINT uPosition, UINT uFlags);
TW_PATCHABLE BOOL WINAPI DeleteMenu(HMENU hMenu, UINT uPosition, UINT uFlags);
TW_PATCHABLE BOOL WINAPI GetMenuItemInfoW(HMENU hmenu, UINT item, BOOL fByPosition, LPMENUITEMINFOW lpmii);
TW_PATCHABLE BOOL WINAPI SetMenuItemInfoW(HMENU hmenu, UINT item, BOOL fByPositon, LPCMENUITEMINFOW lpmii);
TW_PATCHABLE int WINAPI GetMenuItemCount(HMENU hMenu);
TW_PATCHABLE UINT WINAPI GetMenuItemID(HMENU hMenu, int nPos);
TW_PATCHABLE HMENU WINAPI GetSubMenu(HMENU hMenu, int nPos);
TW_PATCHABLE int WINAPI GetMenuStringW(HMENU hMenu, UINT uIDItem, LPWSTR lpString, int cchMax, UINT flags);
TW_PATCHABLE BOOL WINAPI EnableMenuItem(HMENU hMenu, UINT uIDEnableItem, UINT uEnable);
TW_PATCHABLE DWORD WINAPI CheckMenuItem(HMENU hMenu, UINT uIDCheckItem, UINT uCheck);
TW_PATCHABLE BOOL WINAPI CheckMenuRadioItem(HMENU hmenu, UINT first, UINT last, UINT check, UINT flags);
TW_PATCHABLE UINT WINAPI GetMenuState(HMENU hMenu, UINT uId, UINT uFlags);
TW_PATCHABLE BOOL WINAPI HiliteMenuItem(HWND hWnd, HMENU hMenu, UINT uIDHiliteItem, UINT uHilite);
TW_PATCHABLE BOOL WINAPI SetMenuDefaultItem(HMENU hMenu, UINT uItem, UINT fByPos);
TW_PATCHABLE UINT WINAPI GetMenuDefaultItem(HMENU hMenu, UINT fByPos, UINT gmdiFlags);
// The item's rectangle in screen coordinates while its menu is shown (a pop-up, or a window's bar).
TW_PATCHABLE BOOL WINAPI GetMenuItemRect(HWND hWnd, HMENU hMenu, UINT uItem, LPRECT lprcItem);
TW_PATCHABLE int WINAPI MenuItemFromPoint(HWND hWnd, HMENU hMenu, POINT ptScreen);
TW_PATCHABLE LONG WINAPI GetMenuCheckMarkDimensions(void);
TW_PATCHABLE BOOL WINAPI GetMenuInfo(HMENU hmenu, LPMENUINFO lpcmi);
TW_PATCHABLE BOOL WINAPI SetMenuInfo(HMENU hmenu, LPCMENUINFO lpcmi);

// ---- a window's menus ----
TW_PATCHABLE HMENU WINAPI GetMenu(HWND hWnd);
TW_PATCHABLE BOOL WINAPI SetMenu(HWND hWnd, HMENU hMenu);
TW_PATCHABLE BOOL WINAPI DrawMenuBar(HWND hWnd);
TW_PATCHABLE HMENU WINAPI GetSystemMenu(HWND hWnd, BOOL bRevert);

// ---- the pop-up menu window and its modal loop ----
TW_PATCHABLE BOOL WINAPI TrackPopupMenu(HMENU hMenu, UINT uFlags, int x, int y, int nReserved, HWND hWnd,
                                        const RECT* prcRect);
TW_PATCHABLE BOOL WINAPI TrackPopupMenuEx(HMENU hMenu, UINT uFlags, int x, int y, HWND hwnd, LPTPMPARAMS lptpm);
TW_PATCHABLE BOOL WINAPI EndMenu(void);

} // extern "C"
