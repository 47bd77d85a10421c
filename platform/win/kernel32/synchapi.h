// win/kernel32/synchapi.h: critical sections, interlocked operations, the system version and the error
// mode of the Win32 stand-in.
#pragma once

#include "win/windef.h"

extern "C" {

// Recursive, as on Windows: the owning thread may enter again and leaves as often as it entered.
typedef struct _RTL_CRITICAL_SECTION {
    alignas(void*) BYTE Storage[48];
} CRITICAL_SECTION, *PCRITICAL_SECTION, *LPCRITICAL_SECTION;

void WINAPI InitializeCriticalSection(LPCRITICAL_SECTION lpCriticalSection);
BOOL WINAPI InitializeCriticalSectionAndSpinCount(LPCRITICAL_SECTION lpCriticalSection, DWORD dwSpinCount);
void WINAPI EnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection);
BOOL WINAPI TryEnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection);
void WINAPI LeaveCriticalSection(LPCRITICAL_SECTION lpCriticalSection);
void WINAPI DeleteCriticalSection(LPCRITICAL_SECTION lpCriticalSection);

// Each returns the new value (Increment, Decrement) or the previous one (Exchange, CompareExchange).
LONG WINAPI InterlockedIncrement(LONG volatile* Addend);
LONG WINAPI InterlockedDecrement(LONG volatile* Addend);
LONG WINAPI InterlockedExchange(LONG volatile* Target, LONG Value);
LONG WINAPI InterlockedCompareExchange(LONG volatile* Destination, LONG Exchange, LONG Comperand);
LONG WINAPI InterlockedExchangeAdd(LONG volatile* Addend, LONG Value);

#define VER_PLATFORM_WIN32_WINDOWS 1
#define VER_PLATFORM_WIN32_NT 2
#define VER_NT_WORKSTATION 1

typedef struct _OSVERSIONINFOW {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    WCHAR szCSDVersion[128];
} OSVERSIONINFOW, *POSVERSIONINFOW, *LPOSVERSIONINFOW;

typedef struct _OSVERSIONINFOEXW {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    WCHAR szCSDVersion[128];
    WORD wServicePackMajor;
    WORD wServicePackMinor;
    WORD wSuiteMask;
    BYTE wProductType;
    BYTE wReserved;
} OSVERSIONINFOEXW, *POSVERSIONINFOEXW, *LPOSVERSIONINFOEXW;

// The stand-in answers as a current NT-family desktop system (10.0, build 19045), so that version
// gates take the modern path. The size field must name one of the two records.
BOOL WINAPI GetVersionExW(LPOSVERSIONINFOW lpVersionInformation);
// Tests try the version gates of older systems: the version GetVersionExW answers (0 for the default).
void WINAPI TwSetVersion(DWORD major, DWORD minor, DWORD build);

#define SEM_FAILCRITICALERRORS 0x0001
#define SEM_NOGPFAULTERRORBOX 0x0002
#define SEM_NOOPENFILEERRORBOX 0x8000
// Kept and returned; no error box is ever shown here anyway.
UINT WINAPI SetErrorMode(UINT uMode);
// Debugger output: handed to the sink when one is set (tests read it), else dropped.
void WINAPI OutputDebugStringW(LPCWSTR lpOutputString);
typedef void (*TwDebugOutputSink)(LPCWSTR text);
void WINAPI TwSetDebugOutputSink(TwDebugOutputSink sink);

} // extern "C"
