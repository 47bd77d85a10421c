// win/kernel32/winres.h: resources compiled into the program (FindResourceW, LoadResource…).
//
// Each module (the program, or a library of ours) has a table of resources by type and name or id,
// filled at start-up by the code that tw_resources() generates, or by tests. Languages are not kept:
// every resource is language-neutral, and FindResourceExW finds it under any language.
#pragma once

#include "win/windef.h"

extern "C" {

// Resource types (integer ids).
#define RT_CURSOR MAKEINTRESOURCEW(1)
#define RT_BITMAP MAKEINTRESOURCEW(2)
#define RT_ICON MAKEINTRESOURCEW(3)
#define RT_MENU MAKEINTRESOURCEW(4)
#define RT_DIALOG MAKEINTRESOURCEW(5)
#define RT_STRING MAKEINTRESOURCEW(6)
#define RT_FONTDIR MAKEINTRESOURCEW(7)
#define RT_FONT MAKEINTRESOURCEW(8)
#define RT_ACCELERATOR MAKEINTRESOURCEW(9)
#define RT_RCDATA MAKEINTRESOURCEW(10)
#define RT_MESSAGETABLE MAKEINTRESOURCEW(11)
#define RT_GROUP_CURSOR MAKEINTRESOURCEW(12)
#define RT_GROUP_ICON MAKEINTRESOURCEW(14)
#define RT_VERSION MAKEINTRESOURCEW(16)
#define RT_HTML MAKEINTRESOURCEW(23)
#define RT_MANIFEST MAKEINTRESOURCEW(24)

#define ERROR_RESOURCE_DATA_NOT_FOUND 1812L
#define ERROR_RESOURCE_TYPE_NOT_FOUND 1813L
#define ERROR_RESOURCE_NAME_NOT_FOUND 1814L
#define ERROR_RESOURCE_LANG_NOT_FOUND 1815L

// The layouts of icon and cursor groups (RT_GROUP_ICON / RT_GROUP_CURSOR), packed as in the module.
#pragma pack(push, 2)
typedef struct {
    WORD idReserved; // 0
    WORD idType;     // 1 icons, 2 cursors
    WORD idCount;
} TW_GRPICONDIR;
typedef struct {
    BYTE bWidth; // 0 means 256
    BYTE bHeight;
    BYTE bColorCount;
    BYTE bReserved;
    WORD wPlanes;
    WORD wBitCount;
    DWORD dwBytesInRes;
    WORD nID; // the RT_ICON resource holding this picture
} TW_GRPICONDIRENTRY;
typedef struct {
    WORD wWidth;
    WORD wHeight; // twice the picture's height (the mask counts)
    WORD wPlanes;
    WORD wBitCount;
    DWORD dwBytesInRes;
    WORD nID; // the RT_CURSOR resource: a WORD x and y hot spot, then the picture
} TW_GRPCURSORDIRENTRY;
#pragma pack(pop)

// hModule 0 is the program. Names and types are ids (MAKEINTRESOURCEW), "#123" for id 123, or
// strings compared without case. Failures leave ERROR_RESOURCE_DATA_NOT_FOUND (the module has no
// resources), ERROR_RESOURCE_TYPE_NOT_FOUND or ERROR_RESOURCE_NAME_NOT_FOUND.
HRSRC WINAPI FindResourceW(HMODULE hModule, LPCWSTR lpName, LPCWSTR lpType);
HRSRC WINAPI FindResourceExW(HMODULE hModule, LPCWSTR lpType, LPCWSTR lpName, WORD wLanguage);
// The resource's bytes, valid for the life of the process; LockResource gives the same pointer.
HGLOBAL WINAPI LoadResource(HMODULE hModule, HRSRC hResInfo);
LPVOID WINAPI LockResource(HGLOBAL hResData);
DWORD WINAPI SizeofResource(HMODULE hModule, HRSRC hResInfo);
BOOL WINAPI FreeResource(HGLOBAL hResData); // obsolete: does nothing and answers FALSE

// ---- stand-in extensions (not Win32): filling the tables ----

// How TwAddFileResource lays out a file, as the resource compiler does for a resource script line.
#define TW_RESFILE_RCDATA 0 // the bytes as they are, under RT_RCDATA
#define TW_RESFILE_ICON 1   // an .ico: one RT_ICON per picture and an RT_GROUP_ICON directory
#define TW_RESFILE_CURSOR 2 // a .cur: one RT_CURSOR per picture and an RT_GROUP_CURSOR directory
#define TW_RESFILE_BITMAP 3 // a .bmp: RT_BITMAP without the file header

// Adds (or replaces) one resource. With bCopy the table keeps a copy of the bytes; without, they must
// stay valid for the life of the process (data compiled into the program).
BOOL WINAPI TwAddResource(HMODULE hModule, LPCWSTR lpType, LPCWSTR lpName, LPCVOID lpData, DWORD cbData,
                          BOOL bCopy);
// Adds a file's contents as a resource of kind TW_RESFILE_*; lpType is used by TW_RESFILE_RCDATA only
// (0 for RT_RCDATA). The bytes must stay valid for the life of the process. FALSE with
// ERROR_BAD_FORMAT when the file is not of its kind (nothing is added then).
BOOL WINAPI TwAddFileResource(HMODULE hModule, LPCWSTR lpType, LPCWSTR lpName, UINT uKind, LPCVOID lpData,
                              DWORD cbData);

} // extern "C"
