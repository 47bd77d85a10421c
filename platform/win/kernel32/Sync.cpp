// Critical sections, interlocked operations, the version answer and the error mode.
#include "win/kernel32/synchapi.h"
#include "win/kernel32/winbase.h"

#include <atomic>
#include <cstring>
#include <mutex>
#include <new>

namespace {

static_assert(sizeof(std::recursive_mutex) <= sizeof(CRITICAL_SECTION::Storage));
static_assert(sizeof(OSVERSIONINFOW) == 276);

std::recursive_mutex& Mutex(LPCRITICAL_SECTION cs) {
    return *std::launder(reinterpret_cast<std::recursive_mutex*>(cs->Storage));
}

std::atomic<TwDebugOutputSink> debugSink{nullptr};
std::atomic<DWORD> osMajor{10}, osMinor{0}, osBuild{19045};
std::atomic<UINT> errorMode{0};

} // namespace

extern "C" {

void WINAPI InitializeCriticalSection(LPCRITICAL_SECTION cs) { new (cs->Storage) std::recursive_mutex; }

BOOL WINAPI InitializeCriticalSectionAndSpinCount(LPCRITICAL_SECTION cs, DWORD) {
    InitializeCriticalSection(cs);
    return TRUE;
}

void WINAPI EnterCriticalSection(LPCRITICAL_SECTION cs) { Mutex(cs).lock(); }
BOOL WINAPI TryEnterCriticalSection(LPCRITICAL_SECTION cs) { return Mutex(cs).try_lock(); }
void WINAPI LeaveCriticalSection(LPCRITICAL_SECTION cs) { Mutex(cs).unlock(); }
void WINAPI DeleteCriticalSection(LPCRITICAL_SECTION cs) { Mutex(cs).~recursive_mutex(); }

LONG WINAPI InterlockedIncrement(LONG volatile* p) { return __atomic_add_fetch(p, 1, __ATOMIC_SEQ_CST); }
LONG WINAPI InterlockedDecrement(LONG volatile* p) { return __atomic_sub_fetch(p, 1, __ATOMIC_SEQ_CST); }
LONG WINAPI InterlockedExchange(LONG volatile* p, LONG v) { return __atomic_exchange_n(p, v, __ATOMIC_SEQ_CST); }
LONG WINAPI InterlockedExchangeAdd(LONG volatile* p, LONG v) { return __atomic_fetch_add(p, v, __ATOMIC_SEQ_CST); }

LONG WINAPI InterlockedCompareExchange(LONG volatile* p, LONG exchange, LONG comperand) {
    LONG expected = comperand;
    __atomic_compare_exchange_n(p, &expected, exchange, false, __ATOMIC_SEQ_CST, __ATOMIC_SEQ_CST);
    return expected;
}

BOOL WINAPI GetVersionExW(LPOSVERSIONINFOW info) {
    if (!info || (info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOW) &&
                  info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOEXW))) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    const DWORD size = info->dwOSVersionInfoSize;
    std::memset(reinterpret_cast<BYTE*>(info) + sizeof(DWORD), 0, size - sizeof(DWORD));
    info->dwMajorVersion = osMajor.load();
    info->dwMinorVersion = osMinor.load();
    info->dwBuildNumber = osBuild.load();
    info->dwPlatformId = VER_PLATFORM_WIN32_NT;
    if (size == sizeof(OSVERSIONINFOEXW)) reinterpret_cast<LPOSVERSIONINFOEXW>(info)->wProductType = VER_NT_WORKSTATION;
    return TRUE;
}

UINT WINAPI SetErrorMode(UINT mode) { return errorMode.exchange(mode); }

void WINAPI OutputDebugStringW(LPCWSTR text) {
    if (TwDebugOutputSink sink = debugSink.load()) sink(text ? text : u"");
}

void WINAPI TwSetDebugOutputSink(TwDebugOutputSink sink) { debugSink.store(sink); }

void WINAPI TwSetVersion(DWORD major, DWORD minor, DWORD build) {
    if (major == 0) major = 10, minor = 0, build = 19045;
    osMajor.store(major), osMinor.store(minor), osBuild.store(build);
}

} // extern "C"
