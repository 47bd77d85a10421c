// rtlos/OSUtils.h: the run-time library's routines that need the system: the system's error texts and
// the error they raise, loading a library without the system's error boxes, and the system's version
// (the version of Windows the stand-in presents, and of its common controls).
#pragma once
#include "rtl/System.h"
#include "win/windows.h"

#include <cstdint>

namespace rtl {

// The system's text for an error code, without the line end and full stop it ends with; empty for a
// code the system has no text for.
String SysErrorMessage(uint32_t ErrorCode);

// Raises EOSError for an error code (the calling thread's last error by default): "System Error.
// Code: <n>." and the system's text on the next line, then AdditionalInfo; for code 0, "A call to an
// OS function failed". ErrorCode carries the code.
[[noreturn]] void RaiseLastOSError();
[[noreturn]] void RaiseLastOSError(uint32_t LastError);
[[noreturn]] void RaiseLastOSError(uint32_t LastError, const String& AdditionalInfo);

// Loads a library with the system's error boxes off (ErrorMode) and the floating-point environment
// kept as it was, which a library's start-up code may change. 0 when it cannot be loaded.
// (The error-mode values are SEM_FAILCRITICALERRORS 0x0001 and SEM_NOOPENFILEERRORBOX 0x8000.)
HMODULE SafeLoadLibrary(const String& FileName, UINT ErrorMode = 0x8000);

// The system the program runs on, as the stand-in presents it: Windows NT 10.0.
constexpr int PlatformWin32NT = 2; // VER_PLATFORM_WIN32_NT
extern const int Win32Platform;
extern const int Win32MajorVersion;
extern const int Win32MinorVersion;
extern const int Win32BuildNumber;
extern const String Win32CSDVersion;

struct TOSVersion {
    enum TArchitecture { arIntelX86, arIntelX64, arARM32, arARM64 };
    enum TPlatform { pfWindows, pfMacOS, pfiOS, pfAndroid, pfWinRT, pfLinux };

    static TArchitecture Architecture();
    static TPlatform Platform() { return pfWindows; }
    static int Major() { return Win32MajorVersion; }
    static int Minor() { return Win32MinorVersion; }
    static int Build() { return Win32BuildNumber; }
    static int ServicePackMajor() { return 0; }
    static int ServicePackMinor() { return 0; }
    static String Name() { return QStringLiteral("Windows 10"); }
    // "Windows 10 (Version 10.0, Build 19045, 64-bit Edition)"
    static String ToString();
    // Whether the system is at least AMajor.AMinor (and service pack AServicePackMajor).
    static bool Check(int AMajor, int AMinor = 0);
    static bool Check(int AMajor, int AMinor, int AServicePackMajor);
};

// The version of the common-controls library: major in the high word, minor in the low word.
constexpr uint32_t ComCtlVersionIE6 = 0x00060000;
uint32_t GetComCtlVersion();
// Makes GetComCtlVersion answer Version from now on (to try what callers do under another version of
// the library); gives the previous answer back.
uint32_t SetComCtlVersion(uint32_t Version);

} // namespace rtl
