#include "rtlos/OSUtils.h"

#include <cfenv>

namespace rtl {

// The version the stand-in presents: the Windows 10 release the Parts' version checks expect to pass.
const int Win32Platform = PlatformWin32NT;
const int Win32MajorVersion = 10;
const int Win32MinorVersion = 0;
const int Win32BuildNumber = 19045;
const String Win32CSDVersion;

String SysErrorMessage(uint32_t ErrorCode) {
    char16_t buffer[1024] = {};
    DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, ErrorCode, 0,
                             buffer, DWORD(std::size(buffer)), nullptr);
    while (n > 0 && (buffer[n - 1] <= u' ' || buffer[n - 1] == u'.')) --n;
    return String::fromUtf16(buffer, n);
}

[[noreturn]] void RaiseLastOSError() { RaiseLastOSError(GetLastError()); }

[[noreturn]] void RaiseLastOSError(uint32_t LastError) { RaiseLastOSError(LastError, String()); }

[[noreturn]] void RaiseLastOSError(uint32_t LastError, const String& AdditionalInfo) {
    if (LastError == 0) throw EOSError(QStringLiteral("A call to an OS function failed"), 0);
    throw EOSError(QStringLiteral("System Error.  Code: %1.\r\n%2%3")
                       .arg(LastError)
                       .arg(SysErrorMessage(LastError), AdditionalInfo),
                   LastError);
}

HMODULE SafeLoadLibrary(const String& FileName, UINT) {
    // The stand-in shows no error boxes, so the error mode has nothing to switch off.
    std::fenv_t saved;
    std::fegetenv(&saved);
    HMODULE module = LoadLibraryW(reinterpret_cast<LPCWSTR>(FileName.utf16()));
    std::fesetenv(&saved);
    return module;
}

TOSVersion::TArchitecture TOSVersion::Architecture() {
#if defined(__aarch64__)
    return arARM64;
#elif defined(__arm__)
    return arARM32;
#elif defined(__x86_64__)
    return arIntelX64;
#else
    return arIntelX86;
#endif
}

String TOSVersion::ToString() {
    const bool wide = sizeof(void*) == 8;
    return QStringLiteral("%1 (Version %2.%3, Build %4, %5)")
        .arg(Name())
        .arg(Major())
        .arg(Minor())
        .arg(Build())
        .arg(wide ? QStringLiteral("64-bit Edition") : QStringLiteral("32-bit Edition"));
}

bool TOSVersion::Check(int AMajor, int AMinor) { return Major() > AMajor || (Major() == AMajor && Minor() >= AMinor); }

bool TOSVersion::Check(int AMajor, int AMinor, int AServicePackMajor) {
    return Major() > AMajor ||
           (Major() == AMajor && (Minor() > AMinor || (Minor() == AMinor && ServicePackMajor() >= AServicePackMajor)));
}

namespace {
// Version 6 of the common controls, the one with visual styles; the stand-in's image lists and
// themes behave as that version does.
uint32_t ComCtlVersion = 0x00060010u;
} // namespace

uint32_t GetComCtlVersion() { return ComCtlVersion; }

uint32_t SetComCtlVersion(uint32_t Version) {
    const uint32_t previous = ComCtlVersion;
    ComCtlVersion = Version;
    return previous;
}

} // namespace rtl
