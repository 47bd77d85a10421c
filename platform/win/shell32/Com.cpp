// COM entry points without classes, the task allocator, and sounds.
#include "win/shell32/objbase.h"
#include "win/user32/winwindow.h"

#include <sys/random.h>

#include <cstdlib>

namespace {

thread_local int comDepth = 0;

} // namespace

extern "C" {

HRESULT WINAPI CoInitializeEx(LPVOID, DWORD) { return comDepth++ == 0 ? S_OK : S_FALSE; }
HRESULT WINAPI CoInitialize(LPVOID reserved) { return CoInitializeEx(reserved, COINIT_APARTMENTTHREADED); }
void WINAPI CoUninitialize(void) {
    if (comDepth > 0) --comDepth;
}
HRESULT WINAPI OleInitialize(LPVOID reserved) { return CoInitialize(reserved); }
void WINAPI OleUninitialize(void) { CoUninitialize(); }

HRESULT WINAPI CoCreateInstance(REFCLSID, IUnknown* outer, DWORD, REFIID, LPVOID* ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    return outer ? CLASS_E_NOAGGREGATION : REGDB_E_CLASSNOTREG;
}

HRESULT WINAPI CoDisconnectObject(IUnknown* object, DWORD) { return object ? S_OK : E_INVALIDARG; }

LPVOID WINAPI CoTaskMemAlloc(SIZE_T cb) { return std::malloc(cb ? cb : 1); }
LPVOID WINAPI CoTaskMemRealloc(LPVOID pv, SIZE_T cb) { return std::realloc(pv, cb ? cb : 1); }
void WINAPI CoTaskMemFree(LPVOID pv) { std::free(pv); }

HRESULT WINAPI CoCreateGuid(GUID* guid) {
    if (!guid) return E_INVALIDARG;
    BYTE b[16];
    if (getrandom(b, sizeof b, 0) != ssize_t(sizeof b)) return E_FAIL;
    b[6] = BYTE((b[6] & 0x0F) | 0x40); // version 4
    b[8] = BYTE((b[8] & 0x3F) | 0x80); // the RFC 4122 variant
    guid->Data1 = DWORD(b[0]) << 24 | DWORD(b[1]) << 16 | DWORD(b[2]) << 8 | b[3];
    guid->Data2 = WORD(b[4] << 8 | b[5]);
    guid->Data3 = WORD(b[6] << 8 | b[7]);
    for (int i = 0; i < 8; ++i) guid->Data4[i] = b[8 + i];
    return S_OK;
}

BOOL WINAPI PlaySoundW(LPCWSTR pszSound, HMODULE, DWORD fdwSound) {
    TwRecordCall(u"PlaySoundW", pszSound, fdwSound);  // nothing is played
    return FALSE;
}

} // extern "C"
