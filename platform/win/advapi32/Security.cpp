// Token and privilege calls. Linux has no such tokens: whoever may power the machine off is decided
// by the login manager when it is asked, so these succeed without effect.
#include "win/advapi32/winreg.h"
#include "win/kernel32/winbase.h"

#include <string>

extern "C" {

BOOL WINAPI OpenProcessToken(HANDLE, DWORD, PHANDLE token) {
    if (!token) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *token = GetCurrentProcess(); // closing it is harmless
    return TRUE;
}

BOOL WINAPI LookupPrivilegeValueW(LPCWSTR, LPCWSTR name, PLUID luid) {
    if (!name || !luid) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    luid->LowPart = std::u16string(name) == SE_SHUTDOWN_NAME ? 19 : 0; // its number on Windows
    luid->HighPart = 0;
    return TRUE;
}

BOOL WINAPI AdjustTokenPrivileges(HANDLE, BOOL, PTOKEN_PRIVILEGES, DWORD, PTOKEN_PRIVILEGES previous, PDWORD length) {
    if (previous) previous->PrivilegeCount = 0;
    if (length) *length = 0;
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

} // extern "C"
