// win/kernel32/winver.h: the version API over the version resource of PE files, read straight from
// the file (no loader involved), so it works on any file on any platform.
#pragma once

#include "win/windef.h"

extern "C" {

#define VS_FFI_SIGNATURE 0xFEEF04BDL

typedef struct tagVS_FIXEDFILEINFO {
    DWORD dwSignature;
    DWORD dwStrucVersion;
    DWORD dwFileVersionMS;
    DWORD dwFileVersionLS;
    DWORD dwProductVersionMS;
    DWORD dwProductVersionLS;
    DWORD dwFileFlagsMask;
    DWORD dwFileFlags;
    DWORD dwFileOS;
    DWORD dwFileType;
    DWORD dwFileSubtype;
    DWORD dwFileDateMS;
    DWORD dwFileDateLS;
} VS_FIXEDFILEINFO;

// 0 (last error set) when the file has no readable version resource.
DWORD WINAPI GetFileVersionInfoSizeW(LPCWSTR lptstrFilename, LPDWORD lpdwHandle);
BOOL WINAPI GetFileVersionInfoW(LPCWSTR lptstrFilename, DWORD dwHandle, DWORD dwLen, LPVOID lpData);
// Sub-blocks: "\" (the fixed info), "\VarFileInfo\Translation", "\StringFileInfo\<lang><cp>\<name>"
// (puLen in characters for strings, in bytes otherwise). Keys compare without regard to case.
BOOL WINAPI VerQueryValueW(LPCVOID pBlock, LPCWSTR lpSubBlock, LPVOID* lplpBuffer, PUINT puLen);

} // extern "C"
