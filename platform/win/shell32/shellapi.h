// win/shell32/shellapi.h: opening documents and addresses, and file information from the desktop.
#pragma once

#include "win/shell32/shlobj.h"

extern "C" {

#define SE_ERR_FNF 2
#define SE_ERR_PNF 3
#define SE_ERR_ACCESSDENIED 5
#define SE_ERR_OOM 8
#define SE_ERR_NOASSOC 31

// Documents, folders and addresses open with xdg-open; an executable file starts directly with the
// parameters split by the Windows rules ("explorer.exe /select,<file>" shows the file in the file
// manager over D-Bus, else opens its folder). Never through a shell. The verb and the show command are
// not used (every verb opens). Returns a value above 32 when the program started, else SE_ERR_*.
HINSTANCE WINAPI ShellExecuteW(HWND hwnd, LPCWSTR lpOperation, LPCWSTR lpFile, LPCWSTR lpParameters,
                               LPCWSTR lpDirectory, INT nShowCmd);
// Where ShellExecuteW's programs start: the argument vector and working folder (null: unchanged).
// Without wait the program is started detached and the answer is whether it started; with wait (the
// file manager's D-Bus call) it is whether it ran and exited with 0. Tests record instead; null puts
// back the real start.
typedef BOOL(CALLBACK* TwLaunchProc)(const LPCWSTR* argv, int argc, LPCWSTR directory, BOOL wait);
TwLaunchProc WINAPI TwSetShellLauncher(TwLaunchProc proc);

typedef struct _SHFILEINFOW {
    HICON hIcon;
    int iIcon;
    DWORD dwAttributes;
    WCHAR szDisplayName[MAX_PATH];
    WCHAR szTypeName[80];
} SHFILEINFOW;

#define SHGFI_LARGEICON 0x000000000
#define SHGFI_SMALLICON 0x000000001
#define SHGFI_OPENICON 0x000000002
#define SHGFI_PIDL 0x000000008
#define SHGFI_USEFILEATTRIBUTES 0x000000010
#define SHGFI_ICON 0x000000100
#define SHGFI_DISPLAYNAME 0x000000200
#define SHGFI_TYPENAME 0x000000400
#define SHGFI_ATTRIBUTES 0x000000800
#define SHGFI_SYSICONINDEX 0x000004000

// The display name (the last part of the path; the folder's name for a special folder), the type
// name and icon from the MIME database and the desktop's icon theme. A path that does not exist
// gives 0, unless SHGFI_USEFILEATTRIBUTES says to go by its name alone. pszPath is an item list
// with SHGFI_PIDL. The icon belongs to the caller (DestroyIcon).
DWORD_PTR WINAPI SHGetFileInfoW(LPCWSTR pszPath, DWORD dwFileAttributes, SHFILEINFOW* psfi, UINT cbFileInfo,
                                UINT uFlags);

// The desktop's task bar as an application bar. Linux desktops publish no such bar to other programs
// (nor a "Shell_TrayWnd" window), so every message answers 0: no position, no auto-hide state.
typedef struct _AppBarData {
    DWORD cbSize;
    HWND hWnd;
    UINT uCallbackMessage;
    UINT uEdge;
    RECT rc;
    LPARAM lParam;
} APPBARDATA, *PAPPBARDATA;

#define ABM_GETSTATE 0x00000004
#define ABM_GETTASKBARPOS 0x00000005
#define ABS_AUTOHIDE 0x0000001
#define ABE_LEFT 0
#define ABE_TOP 1
#define ABE_RIGHT 2
#define ABE_BOTTOM 3

UINT_PTR WINAPI SHAppBarMessage(DWORD dwMessage, PAPPBARDATA pData);

} // extern "C"
