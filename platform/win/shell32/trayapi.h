// win/shell32/trayapi.h: icons in the desktop's notification area (Shell_NotifyIconW).
#pragma once

#include "win/shell32/objbase.h"
#include "win/windows.h"

extern "C" {

#define NIM_ADD 0x00000000
#define NIM_MODIFY 0x00000001
#define NIM_DELETE 0x00000002
#define NIM_SETFOCUS 0x00000003
#define NIM_SETVERSION 0x00000004

#define NIF_MESSAGE 0x00000001
#define NIF_ICON 0x00000002
#define NIF_TIP 0x00000004
#define NIF_STATE 0x00000008
#define NIF_INFO 0x00000010
#define NIF_GUID 0x00000020
#define NIF_REALTIME 0x00000040
#define NIF_SHOWTIP 0x00000080

#define NIS_HIDDEN 0x00000001
#define NIS_SHAREDICON 0x00000002

#define NIIF_NONE 0x00000000
#define NIIF_INFO 0x00000001
#define NIIF_WARNING 0x00000002
#define NIIF_ERROR 0x00000003
#define NIIF_USER 0x00000004
#define NIIF_NOSOUND 0x00000010

#define NOTIFYICON_VERSION 3
#define NOTIFYICON_VERSION_4 4

// What the callback message carries besides mouse messages.
#define NIN_SELECT (WM_USER + 0)
#define NIN_KEYSELECT (WM_USER + 1)
#define NIN_BALLOONSHOW (WM_USER + 2)
#define NIN_BALLOONHIDE (WM_USER + 3)
#define NIN_BALLOONTIMEOUT (WM_USER + 4)
#define NIN_BALLOONUSERCLICK (WM_USER + 5)

typedef struct _NOTIFYICONDATAW {
    DWORD cbSize;
    HWND hWnd;
    UINT uID;
    UINT uFlags;
    UINT uCallbackMessage;
    HICON hIcon;
    WCHAR szTip[128];
    DWORD dwState;
    DWORD dwStateMask;
    WCHAR szInfo[256];
    union {
        UINT uTimeout;
        UINT uVersion;
    };
    WCHAR szInfoTitle[64];
    DWORD dwInfoFlags;
    GUID guidItem;
    HICON hBalloonIcon;
} NOTIFYICONDATAW, *PNOTIFYICONDATAW;

// Adds, changes or removes the icon that the window hWnd keeps under uID. Adding fails (FALSE) when the
// desktop has no notification area, as it does without a display; the callback message then never comes.
BOOL WINAPI Shell_NotifyIconW(DWORD dwMessage, PNOTIFYICONDATAW lpData);

// The presentation (or a test) reports a click on the icon it shows under `trayId` (the id given to
// the backend): WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_RBUTTONUP,
// WM_MBUTTONUP, WM_CONTEXTMENU or NIN_BALLOONUSERCLICK, at a screen point. The owner's callback message
// is posted as its notification version asks.
void WINAPI TwTrayEvent(int trayId, UINT event, int x, int y);
// The backend id of an icon that a window keeps, or 0.
int WINAPI TwTrayIdOf(HWND hWnd, UINT uID);

} // extern "C"
