// win/shell32/shlobj.h: special folders, item lists and the folder browser of the Win32 stand-in.
//
// Special folders come from the XDG user folders (win/kernel32/userdirs.h). Folders with no place on
// Linux (the recycle bin, printers, the network...) have item lists that name them but have no path.
#pragma once

#include "win/kernel32/winbase.h"
#include "win/shell32/objbase.h"
#include "win/user32/winctrl.h"
#include "win/user32/winuser.h"

extern "C" {

// Shell folder identifiers: enumerators, not macros, so that code keeping its own constants of
// these names in a namespace is not rewritten by the preprocessor.
enum : int {
    CSIDL_DESKTOP = 0x0000,
    CSIDL_INTERNET = 0x0001,
    CSIDL_PROGRAMS = 0x0002,
    CSIDL_CONTROLS = 0x0003,
    CSIDL_PRINTERS = 0x0004,
    CSIDL_PERSONAL = 0x0005,
    CSIDL_FAVORITES = 0x0006,
    CSIDL_STARTUP = 0x0007,
    CSIDL_RECENT = 0x0008,
    CSIDL_SENDTO = 0x0009,
    CSIDL_BITBUCKET = 0x000A,
    CSIDL_STARTMENU = 0x000B,
    CSIDL_MYDOCUMENTS = 0x000C,
    CSIDL_MYMUSIC = 0x000D,
    CSIDL_MYVIDEO = 0x000E,
    CSIDL_DESKTOPDIRECTORY = 0x0010,
    CSIDL_DRIVES = 0x0011,
    CSIDL_NETWORK = 0x0012,
    CSIDL_NETHOOD = 0x0013,
    CSIDL_FONTS = 0x0014,
    CSIDL_TEMPLATES = 0x0015,
    CSIDL_COMMON_STARTMENU = 0x0016,
    CSIDL_COMMON_PROGRAMS = 0x0017,
    CSIDL_COMMON_STARTUP = 0x0018,
    CSIDL_COMMON_DESKTOPDIRECTORY = 0x0019,
    CSIDL_APPDATA = 0x001A,
    CSIDL_PRINTHOOD = 0x001B,
    CSIDL_LOCAL_APPDATA = 0x001C,
    CSIDL_ALTSTARTUP = 0x001D,
    CSIDL_COMMON_ALTSTARTUP = 0x001E,
    CSIDL_COMMON_FAVORITES = 0x001F,
    CSIDL_INTERNET_CACHE = 0x0020,
    CSIDL_COOKIES = 0x0021,
    CSIDL_HISTORY = 0x0022,
    CSIDL_COMMON_APPDATA = 0x0023,
    CSIDL_WINDOWS = 0x0024,
    CSIDL_SYSTEM = 0x0025,
    CSIDL_PROGRAM_FILES = 0x0026,
    CSIDL_MYPICTURES = 0x0027,
    CSIDL_PROFILE = 0x0028,
    CSIDL_SYSTEMX86 = 0x0029,
    CSIDL_PROGRAM_FILESX86 = 0x002A,
    CSIDL_PROGRAM_FILES_COMMON = 0x002B,
    CSIDL_PROGRAM_FILES_COMMONX86 = 0x002C,
    CSIDL_COMMON_TEMPLATES = 0x002D,
    CSIDL_COMMON_DOCUMENTS = 0x002E,
    CSIDL_COMMON_ADMINTOOLS = 0x002F,
    CSIDL_ADMINTOOLS = 0x0030,
    CSIDL_CONNECTIONS = 0x0031,
    CSIDL_COMMON_MUSIC = 0x0035,
    CSIDL_COMMON_PICTURES = 0x0036,
    CSIDL_COMMON_VIDEO = 0x0037,
    CSIDL_RESOURCES = 0x0038,
    CSIDL_RESOURCES_LOCALIZED = 0x0039,
    CSIDL_COMMON_OEM_LINKS = 0x003A,
    CSIDL_CDBURN_AREA = 0x003B,
    CSIDL_COMPUTERSNEARME = 0x003D,
    CSIDL_PROFILES = 0x003E,
    CSIDL_FLAG_CREATE = 0x8000,
};

#define SHGFP_TYPE_CURRENT 0
#define SHGFP_TYPE_DEFAULT 1

typedef struct _SHITEMID {
    USHORT cb; // size of the item with this field
    BYTE abID[1];
} SHITEMID;

typedef struct _ITEMIDLIST {
    SHITEMID mkid;
} ITEMIDLIST, *LPITEMIDLIST;
typedef const ITEMIDLIST* LPCITEMIDLIST;
typedef ITEMIDLIST* PIDLIST_ABSOLUTE;
typedef const ITEMIDLIST* PCIDLIST_ABSOLUTE;

// With CSIDL_FLAG_CREATE a missing folder is made. E_FAIL when the folder has no path here or it
// does not fit MAX_PATH; E_INVALIDARG for an unknown identifier.
HRESULT WINAPI SHGetFolderPathW(HWND hwnd, int csidl, HANDLE hToken, DWORD dwFlags, LPWSTR pszPath);
HRESULT WINAPI SHGetFolderLocation(HWND hwnd, int csidl, HANDLE hToken, DWORD dwFlags, PIDLIST_ABSOLUTE* ppidl);
HRESULT WINAPI SHGetSpecialFolderLocation(HWND hwnd, int csidl, PIDLIST_ABSOLUTE* ppidl);
// FALSE (and an empty text) for an item with no file-system path.
BOOL WINAPI SHGetPathFromIDListW(PCIDLIST_ABSOLUTE pidl, LPWSTR pszPath);
// The item list of a path (the stand-in's own helper, as SHParseDisplayName gives it); free with
// CoTaskMemFree. Null for an empty path.
PIDLIST_ABSOLUTE WINAPI ILCreateFromPathW(LPCWSTR pszPath);
void WINAPI ILFree(PIDLIST_ABSOLUTE pidl);
HRESULT WINAPI SHGetMalloc(IMalloc** ppMalloc);

// ---- the folder browser ----

typedef int(CALLBACK* BFFCALLBACK)(HWND hwnd, UINT uMsg, LPARAM lParam, LPARAM lpData);

typedef struct _browseinfoW {
    HWND hwndOwner;
    PCIDLIST_ABSOLUTE pidlRoot;
    LPWSTR pszDisplayName; // MAX_PATH characters: the display name of the chosen item
    LPCWSTR lpszTitle;
    UINT ulFlags;
    BFFCALLBACK lpfn;
    LPARAM lParam;
    int iImage;
} BROWSEINFOW, *LPBROWSEINFOW;

#define BIF_RETURNONLYFSDIRS 0x00000001
#define BIF_DONTGOBELOWDOMAIN 0x00000002
#define BIF_STATUSTEXT 0x00000004
#define BIF_RETURNFSANCESTORS 0x00000008
#define BIF_EDITBOX 0x00000010
#define BIF_VALIDATE 0x00000020
#define BIF_NEWDIALOGSTYLE 0x00000040
#define BIF_USENEWUI (BIF_NEWDIALOGSTYLE | BIF_EDITBOX)
#define BIF_UAHINT 0x00000100
#define BIF_NONEWFOLDERBUTTON 0x00000200

// Notifications to the callback.
#define BFFM_INITIALIZED 1
#define BFFM_SELCHANGED 2
#define BFFM_VALIDATEFAILEDW 4
#define BFFM_IUNKNOWN 5
// Messages to the dialog.
#define BFFM_SETSTATUSTEXTW (WM_USER + 104)
#define BFFM_ENABLEOK (WM_USER + 101)
#define BFFM_SETSELECTIONW (WM_USER + 103)
#define BFFM_SETOKTEXT (WM_USER + 105)
#define BFFM_SETEXPANDED (WM_USER + 106)

// Control identifiers of the browser, as the system's dialog has them.
#define TW_BFF_TITLE 0x3742     // the prompt
#define TW_BFF_STATUS 0x3743    // the status line (BIF_STATUSTEXT, old style)
#define TW_BFF_TREE 0x3741      // the folder list
#define TW_BFF_EDIT 0x3744      // the edit box (BIF_EDITBOX)
#define TW_BFF_NEWFOLDER 14150  // the New Folder button (new style)

// A modal dialog in the window model: a prompt, the folders below the current one (".." goes up),
// OK and Cancel, New Folder on the new style, a status line and an edit box on request. The callback
// hears BFFM_INITIALIZED, BFFM_SELCHANGED on every selection and BFFM_VALIDATEFAILEDW for an edit text
// that names no folder. Returns the chosen item (free with CoTaskMemFree), or null when cancelled.
// Without a display and without a dialog handler (TwSetCommonDialogHandler) it returns null at once.
PIDLIST_ABSOLUTE WINAPI SHBrowseForFolderW(LPBROWSEINFOW lpbi);

// ---- the one handler that answers common dialogs in tests and unattended runs ----

#define TW_DIALOG_BROWSE_FOLDER 1
#define TW_DIALOG_OPEN_FILE 2
#define TW_DIALOG_SAVE_FILE 3
// Called once the dialog is set up (its callback has heard BFFM_INITIALIZED); it may send messages
// to the dialog and its controls, then returns the button to press: IDOK or IDCANCEL. The dialog
// asks again while it stays open (a refused OK), at most a few times, and then cancels.
typedef int(CALLBACK* TwCommonDialogProc)(HWND hDialog, UINT kind);
TwCommonDialogProc WINAPI TwSetCommonDialogHandler(TwCommonDialogProc proc);
TwCommonDialogProc WINAPI TwCommonDialogHandler(void);
// Runs a common dialog of the given kind as a modal dialog (an empty template with the caption; the
// procedure makes the controls in WM_INITDIALOG, whose lParam is param). Once WM_INITDIALOG is done
// the handler, when there is one, answers it. Without a display and without a handler nothing is
// shown and IDCANCEL comes back at once, so an unattended run never waits on a dialog.
INT_PTR WINAPI TwRunCommonDialog(UINT kind, HWND owner, LPCWSTR caption, DLGPROC proc, LPARAM param);

} // extern "C"
