// win/windef.h: the base types, handles, structures and macros every part of the Win32 stand-in shares.
// The stand-in is plain C at global scope so that code written against Win32 reads unchanged.
#pragma once

#include <cstddef>
#include <cstdint>

// What a library of the stand-in exports. The libraries build with hidden visibility, so nothing leaves
// a library unless its declaration says so: WINAPI carries TW_EXPORT, so a Win32 function or Tw*
// extension is exported by declaring it in its public header as Windows does ("BOOL WINAPI F(...);").
// The C++ interfaces the libraries share with each other and with the presentation (win/gdi32/Gdi.h,
// win/user32/Backend.h...) sit between TW_SHARED_BEGIN and TW_SHARED_END. Everything else (helpers,
// anonymous namespaces, a library's own headers) stays inside its library; a test lists each library's
// dynamic symbols against these declarations. WINAPI belongs on declarations only: a pointer to an
// export is written without it, "BOOL (*)(HWND)".
#define TW_EXPORT __attribute__((visibility("default")))
#define TW_SHARED_BEGIN _Pragma("GCC visibility push(default)")
#define TW_SHARED_END _Pragma("GCC visibility pop")

#ifndef WINAPI
#define WINAPI TW_EXPORT
#define CALLBACK
#define APIENTRY
#endif

// Exports of the modules that other code patches in memory at run time (user32, uxtheme): each keeps
// its own body (no inlining, no cloning or folding) and starts with 16 bytes of NOPs, so that a jump
// fits before any return. Given per function: the compiler-wide flag trips the linker on inline code.
#if defined(__clang__)
// Clang has no noipa; noinline together with -fsemantic-interposition on the module does its work.
#define TW_PATCHABLE __attribute__((patchable_function_entry(16, 0), noinline))
#else
#define TW_PATCHABLE __attribute__((patchable_function_entry(16, 0), noipa))
#endif

extern "C" {

typedef int BOOL;
typedef uint8_t BYTE;
typedef uint8_t BOOLEAN;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef uint64_t DWORD64;
typedef uint64_t ULONGLONG;
typedef int64_t LONGLONG;
typedef unsigned int UINT;
typedef int INT;
typedef int32_t LONG;
typedef uint32_t ULONG;
typedef int16_t SHORT;
typedef uint16_t USHORT;
typedef char CHAR;
typedef unsigned char UCHAR;
typedef float FLOAT;
typedef char16_t WCHAR;
typedef intptr_t INT_PTR;
typedef uintptr_t UINT_PTR;
typedef intptr_t LONG_PTR;
typedef uintptr_t ULONG_PTR;
typedef uintptr_t DWORD_PTR;
typedef size_t SIZE_T;
typedef UINT_PTR WPARAM;
typedef LONG_PTR LPARAM;
typedef LONG_PTR LRESULT;
typedef LONG HRESULT;
typedef WORD ATOM;
typedef DWORD COLORREF;
typedef void VOID;
typedef void* PVOID;
typedef void* LPVOID;
typedef const void* LPCVOID;
typedef BYTE* LPBYTE;
typedef BYTE* PBYTE;
typedef WORD* LPWORD;
typedef DWORD* LPDWORD;
typedef DWORD* PDWORD;
typedef INT* LPINT;
typedef LONG* LPLONG;
typedef BOOL* LPBOOL;
typedef UINT* LPUINT;
typedef COLORREF* LPCOLORREF;
typedef DWORD_PTR* PDWORD_PTR;
typedef ULONG_PTR* PULONG_PTR;
typedef LONG_PTR* PLONG_PTR;
typedef UINT_PTR* PUINT_PTR;
typedef INT_PTR* PINT_PTR;
typedef UINT* PUINT;
typedef INT* PINT;
typedef LONG* PLONG;
typedef ULONG* PULONG;
typedef SHORT* PSHORT;
typedef USHORT* PUSHORT;
typedef WORD* PWORD;
typedef BOOL* PBOOL;
typedef SIZE_T* PSIZE_T;
typedef WCHAR* LPWSTR;
typedef WCHAR* PWSTR;
typedef const WCHAR* LPCWSTR;
typedef const WCHAR* PCWSTR;
typedef CHAR* LPSTR;
typedef const CHAR* LPCSTR;

#ifndef TRUE
#define TRUE 1
#define FALSE 0
#endif

// Distinct handle types, so that a brush is not passed where a pen is expected by mistake.
#define TW_DECLARE_HANDLE(name)                                                                              \
    struct name##__ {                                                                                        \
        int unused;                                                                                          \
    };                                                                                                       \
    typedef struct name##__* name

typedef void* HANDLE;
typedef HANDLE* PHANDLE;
typedef HANDLE* LPHANDLE;
TW_DECLARE_HANDLE(HWND);
TW_DECLARE_HANDLE(HDC);
typedef void* HGDIOBJ;
TW_DECLARE_HANDLE(HBITMAP);
TW_DECLARE_HANDLE(HBRUSH);
TW_DECLARE_HANDLE(HPEN);
TW_DECLARE_HANDLE(HFONT);
TW_DECLARE_HANDLE(HRGN);
TW_DECLARE_HANDLE(HPALETTE);
TW_DECLARE_HANDLE(HICON);
typedef HICON HCURSOR;
TW_DECLARE_HANDLE(HMENU);
TW_DECLARE_HANDLE(HINSTANCE);
typedef HINSTANCE HMODULE;
TW_DECLARE_HANDLE(HKEY);
TW_DECLARE_HANDLE(HMONITOR);
TW_DECLARE_HANDLE(HHOOK);
TW_DECLARE_HANDLE(HDROP);
typedef HANDLE HGLOBAL;
typedef HANDLE HLOCAL;
typedef HANDLE HRSRC;
typedef LONG_PTR HTHEME; // an opaque theme handle; 0 means "no theme"
typedef struct _IMAGELIST* HIMAGELIST;

typedef LRESULT(CALLBACK* WNDPROC)(HWND, UINT, WPARAM, LPARAM);
typedef INT_PTR(CALLBACK* FARPROC)();

typedef struct tagRECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
} RECT, *PRECT, *LPRECT;
typedef const RECT* LPCRECT;

typedef struct tagRECTL {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
} RECTL, *PRECTL, *LPRECTL;

typedef struct tagPOINT {
    LONG x;
    LONG y;
} POINT, *PPOINT, *LPPOINT;

typedef struct tagPOINTL {
    LONG x;
    LONG y;
} POINTL, *PPOINTL;

typedef struct tagSIZE {
    LONG cx;
    LONG cy;
} SIZE, *PSIZE, *LPSIZE;

typedef struct tagPOINTS {
    SHORT x;
    SHORT y;
} POINTS, *PPOINTS;

#define MAKEWORD(a, b)                                                                                       \
    ((WORD)(((BYTE)(((DWORD_PTR)(a)) & 0xff)) | ((WORD)((BYTE)(((DWORD_PTR)(b)) & 0xff))) << 8))
#define MAKELONG(a, b)                                                                                       \
    ((LONG)(((WORD)(((DWORD_PTR)(a)) & 0xffff)) | ((DWORD)((WORD)(((DWORD_PTR)(b)) & 0xffff))) << 16))
#define LOWORD(l) ((WORD)(((DWORD_PTR)(l)) & 0xffff))
#define HIWORD(l) ((WORD)((((DWORD_PTR)(l)) >> 16) & 0xffff))
#define LOBYTE(w) ((BYTE)(((DWORD_PTR)(w)) & 0xff))
#define HIBYTE(w) ((BYTE)((((DWORD_PTR)(w)) >> 8) & 0xff))
#define MAKEWPARAM(l, h) ((WPARAM)(DWORD)MAKELONG(l, h))
#define MAKELPARAM(l, h) ((LPARAM)(DWORD)MAKELONG(l, h))
#define MAKELRESULT(l, h) ((LRESULT)(DWORD)MAKELONG(l, h))
#define GET_X_LPARAM(lp) ((int)(short)LOWORD(lp))
#define GET_Y_LPARAM(lp) ((int)(short)HIWORD(lp))

#define RGB(r, g, b) ((COLORREF)(((BYTE)(r) | ((WORD)((BYTE)(g)) << 8)) | (((DWORD)(BYTE)(b)) << 16)))
#define GetRValue(rgb) (LOBYTE(rgb))
#define GetGValue(rgb) (LOBYTE(((WORD)(rgb)) >> 8))
#define GetBValue(rgb) (LOBYTE((rgb) >> 16))
#define PALETTERGB(r, g, b) (0x02000000 | RGB(r, g, b))
#define PALETTEINDEX(i) ((COLORREF)(0x01000000 | (DWORD)(WORD)(i)))
#define CLR_INVALID 0xFFFFFFFF

#define MAKEINTRESOURCEW(i) ((LPWSTR)((ULONG_PTR)((WORD)(i))))
#define IS_INTRESOURCE(r) ((((ULONG_PTR)(r)) >> 16) == 0)

// HRESULT values the stand-in returns.
#define S_OK ((HRESULT)0)
#define S_FALSE ((HRESULT)1)
#define E_NOTIMPL ((HRESULT)0x80004001L)
#define E_FAIL ((HRESULT)0x80004005L)
#define E_INVALIDARG ((HRESULT)0x80070057L)
#define E_OUTOFMEMORY ((HRESULT)0x8007000EL)
#define E_HANDLE ((HRESULT)0x80070006L)
#define E_UNEXPECTED ((HRESULT)0x8000FFFFL)
#define SUCCEEDED(hr) (((HRESULT)(hr)) >= 0)
#define FAILED(hr) (((HRESULT)(hr)) < 0)

} // extern "C"
