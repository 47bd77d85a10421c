// win/shell32/objbase.h: the COM entry points the program looks up and falls back from. The stand-in
// registers no classes: CoCreateInstance answers REGDB_E_CLASSNOTREG, so callers take the path they
// take on a system without the class. The task allocator is the C heap.
#pragma once

#include "win/windef.h"

extern "C" {

typedef struct _GUID {
    DWORD Data1;
    WORD Data2;
    WORD Data3;
    BYTE Data4[8];
} GUID, IID, CLSID;
typedef const GUID& REFGUID;
typedef const IID& REFIID;
typedef const CLSID& REFCLSID;

#define E_NOINTERFACE ((HRESULT)0x80004002L)
#define E_POINTER ((HRESULT)0x80004003L)
#define CLASS_E_NOAGGREGATION ((HRESULT)0x80040110L)
#define REGDB_E_CLASSNOTREG ((HRESULT)0x80040154L)
#define RPC_E_CHANGED_MODE ((HRESULT)0x80010106L)

#define COINIT_APARTMENTTHREADED 0x2
#define COINIT_MULTITHREADED 0x0
#define CLSCTX_INPROC_SERVER 0x1
#define CLSCTX_ALL 0x17

} // extern "C"

#define STDMETHODCALLTYPE

// The interfaces as C++ abstract classes, methods in their vtable order.
struct IUnknown {
    virtual HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) = 0;
    virtual ULONG STDMETHODCALLTYPE AddRef() = 0;
    virtual ULONG STDMETHODCALLTYPE Release() = 0;
};

struct IMalloc : IUnknown {
    virtual void* STDMETHODCALLTYPE Alloc(SIZE_T cb) = 0;
    virtual void* STDMETHODCALLTYPE Realloc(void* pv, SIZE_T cb) = 0;
    virtual void STDMETHODCALLTYPE Free(void* pv) = 0;
    virtual SIZE_T STDMETHODCALLTYPE GetSize(void* pv) = 0;
    virtual int STDMETHODCALLTYPE DidAlloc(void* pv) = 0;
    virtual void STDMETHODCALLTYPE HeapMinimize() = 0;
};

extern "C" {

// Counted per thread: the first call gives S_OK, each further one S_FALSE.
HRESULT WINAPI CoInitialize(LPVOID pvReserved);
HRESULT WINAPI CoInitializeEx(LPVOID pvReserved, DWORD dwCoInit);
void WINAPI CoUninitialize(void);
HRESULT WINAPI OleInitialize(LPVOID pvReserved);
void WINAPI OleUninitialize(void);
HRESULT WINAPI CoCreateInstance(REFCLSID rclsid, IUnknown* pUnkOuter, DWORD dwClsContext, REFIID riid, LPVOID* ppv);
// No object is ever handed to another process here: nothing to disconnect.
HRESULT WINAPI CoDisconnectObject(IUnknown* pUnk, DWORD dwReserved);
LPVOID WINAPI CoTaskMemAlloc(SIZE_T cb);
LPVOID WINAPI CoTaskMemRealloc(LPVOID pv, SIZE_T cb);
void WINAPI CoTaskMemFree(LPVOID pv);
// A random (version 4) GUID from the system's random source.
HRESULT WINAPI CoCreateGuid(GUID* pguid);

// Sounds by alias: there is no sound scheme to play from, so nothing is played (FALSE) and nothing
// waits, whatever the flags.
#define SND_SYNC 0x0000
#define SND_ASYNC 0x0001
#define SND_NODEFAULT 0x0002
#define SND_NOSTOP 0x0010
#define SND_ALIAS 0x00010000
#define SND_SYSTEM 0x00200000
BOOL WINAPI PlaySoundW(LPCWSTR pszSound, HMODULE hmod, DWORD fdwSound);

} // extern "C"
