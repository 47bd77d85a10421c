// win/comdlg32/commdlg.h: the open and save dialogs of the Win32 stand-in.
//
// Each is a modal dialog of the window model: the folder's subfolders and the files matching the
// chosen filter, a file-name box, the filter list, OK and Cancel. The common-dialog handler of
// win/shell32/shlobj.h answers it in tests and unattended runs (it types into the file-name box,
// edt1, and presses a button); without a display and without a handler the dialog returns FALSE at
// once with CommDlgExtendedError() 0, as a cancel does.
#pragma once

#include "win/shell32/shlobj.h"

extern "C" {

typedef UINT_PTR(CALLBACK* LPOFNHOOKPROC)(HWND, UINT, WPARAM, LPARAM);

typedef struct tagOFNW {
    DWORD lStructSize;
    HWND hwndOwner;
    HINSTANCE hInstance;
    LPCWSTR lpstrFilter; // pairs of "text\0pattern;pattern\0", ending with an empty text
    LPWSTR lpstrCustomFilter;
    DWORD nMaxCustFilter;
    DWORD nFilterIndex; // 1-based; 0 takes the first
    LPWSTR lpstrFile;   // in: the initial name; out: the path, or "folder\0name\0name\0\0" for several
    DWORD nMaxFile;
    LPWSTR lpstrFileTitle;
    DWORD nMaxFileTitle;
    LPCWSTR lpstrInitialDir;
    LPCWSTR lpstrTitle;
    DWORD Flags;
    WORD nFileOffset;
    WORD nFileExtension;
    LPCWSTR lpstrDefExt;
    LPARAM lCustData;
    LPOFNHOOKPROC lpfnHook;
    LPCWSTR lpTemplateName;
    void* pvReserved;
    DWORD dwReserved;
    DWORD FlagsEx;
} OPENFILENAMEW, *LPOPENFILENAMEW;

#define OFN_READONLY 0x00000001
#define OFN_OVERWRITEPROMPT 0x00000002
#define OFN_HIDEREADONLY 0x00000004
#define OFN_NOCHANGEDIR 0x00000008
#define OFN_SHOWHELP 0x00000010
#define OFN_NOVALIDATE 0x00000100
#define OFN_ALLOWMULTISELECT 0x00000200
#define OFN_EXTENSIONDIFFERENT 0x00000400
#define OFN_PATHMUSTEXIST 0x00000800
#define OFN_FILEMUSTEXIST 0x00001000
#define OFN_CREATEPROMPT 0x00002000
#define OFN_NOREADONLYRETURN 0x00008000
#define OFN_EXPLORER 0x00080000
#define OFN_ENABLESIZING 0x00800000

#define CDERR_STRUCTSIZE 0x0001
#define CDERR_INITIALIZATION 0x0002
#define FNERR_INVALIDFILENAME 0x3002
#define FNERR_BUFFERTOOSMALL 0x3003

// Control numbers, as the system's dialog has them.
#define stc1 0x0440 // the folder shown
#define lst1 0x0460 // folders and files
#define cmb1 0x0470 // the filters
#define edt1 0x0480 // the file name

// Several names are typed in quotes ("a.mp3" "b.mp3") where OFN_ALLOWMULTISELECT allows it. A name
// without extension takes lpstrDefExt. OFN_FILEMUSTEXIST and OFN_PATHMUSTEXIST refuse missing names
// with a message box and keep the dialog open; OFN_OVERWRITEPROMPT asks before an existing file is
// chosen for saving. A result longer than nMaxFile fails with FNERR_BUFFERTOOSMALL and the size
// needed in the first two bytes of lpstrFile.
BOOL WINAPI GetOpenFileNameW(LPOPENFILENAMEW lpofn);
BOOL WINAPI GetSaveFileNameW(LPOPENFILENAMEW lpofn);
DWORD WINAPI CommDlgExtendedError(void);

} // extern "C"
