// Special folders and item lists. An item list here holds one item: a path, or a special folder
// that has no path (the computer, the network, the recycle bin...).
#include "win/shell32/shlobj.h"
#include "win/kernel32/fileapi.h"
#include "win/kernel32/userdirs.h"
#include "win/kernel32/winbase.h"
#include "win/shell32/Items.h"

#include <QDir>
#include <QString>

#include <cstdlib>
#include <cstring>

namespace twshell {

namespace {

constexpr BYTE Magic0 = 'T', Magic1 = 'W';
enum : BYTE { KindPath = 0, KindVirtual = 1 };
constexpr size_t Header = 6;

PIDLIST_ABSOLUTE Make(BYTE kind, const void* payload, size_t bytes) {
    // The payload starts at an even offset: a path is read in place as UTF-16.
    const size_t cb = Header + bytes;
    auto* p = static_cast<BYTE*>(CoTaskMemAlloc(cb + 2));
    if (!p) return nullptr;
    p[0] = BYTE(cb), p[1] = BYTE(cb >> 8);
    p[2] = Magic0, p[3] = Magic1, p[4] = kind, p[5] = 0;
    std::memcpy(p + Header, payload, bytes);
    p[cb] = p[cb + 1] = 0; // the list ends with an empty item
    return reinterpret_cast<PIDLIST_ABSOLUTE>(p);
}

} // namespace

bool IsVirtualFolder(int csidl) {
    switch (csidl) {
    case CSIDL_INTERNET:
    case CSIDL_CONTROLS:
    case CSIDL_PRINTERS:
    case CSIDL_BITBUCKET:
    case CSIDL_DRIVES:
    case CSIDL_NETWORK:
    case CSIDL_CONNECTIONS:
    case CSIDL_COMPUTERSNEARME: return true;
    default: return false;
    }
}

QString VirtualName(int csidl) {
    switch (csidl) {
    case CSIDL_DESKTOP: return QStringLiteral("Desktop");
    case CSIDL_INTERNET: return QStringLiteral("Internet");
    case CSIDL_CONTROLS: return QStringLiteral("Control Panel");
    case CSIDL_PRINTERS: return QStringLiteral("Printers");
    case CSIDL_BITBUCKET: return QStringLiteral("Trash");
    case CSIDL_DRIVES: return QStringLiteral("Computer");
    case CSIDL_NETWORK: return QStringLiteral("Network");
    case CSIDL_CONNECTIONS: return QStringLiteral("Network Connections");
    case CSIDL_COMPUTERSNEARME: return QStringLiteral("Computers Near Me");
    default: return QString();
    }
}

QString FolderPath(int csidl) {
    char16_t buffer[4096];
    const DWORD n = TwUserFolderPath(csidl, buffer, 4096);
    return n > 0 && n < 4096 ? QString::fromUtf16(buffer, n) : QString();
}

PIDLIST_ABSOLUTE ItemOfPath(const QString& path) {
    if (path.isEmpty()) return nullptr;
    return Make(KindPath, path.utf16(), size_t(path.size() + 1) * 2);
}

PIDLIST_ABSOLUTE ItemOfVirtual(int csidl) {
    const WORD id = WORD(csidl);
    return Make(KindVirtual, &id, 2);
}

Item Read(PCIDLIST_ABSOLUTE pidl) {
    Item item;
    if (!pidl) return item;
    const auto* p = reinterpret_cast<const BYTE*>(pidl);
    const size_t cb = size_t(p[0] | p[1] << 8);
    item.valid = true;
    if (cb == 0) { // the empty list is the desktop, the root of the shell's namespace
        item.csidl = CSIDL_DESKTOP;
        item.path = FolderPath(CSIDL_DESKTOP);
        item.name = VirtualName(CSIDL_DESKTOP);
        return item;
    }
    if (cb < Header || p[2] != Magic0 || p[3] != Magic1) {
        item.valid = false;
        return item;
    }
    if (p[4] == KindVirtual && cb >= Header + 2) {
        item.csidl = p[Header] | p[Header + 1] << 8;
        item.name = VirtualName(item.csidl);
        if (item.csidl == CSIDL_DESKTOP) item.path = FolderPath(CSIDL_DESKTOP);
    } else {
        item.path = QString::fromUtf16(reinterpret_cast<const char16_t*>(p + Header), qsizetype(cb - Header) / 2 - 1);
        item.name = item.path == QLatin1String("/") ? item.path : item.path.section(u'/', -1, -1, QString::SectionSkipEmpty);
    }
    return item;
}

PIDLIST_ABSOLUTE Copy(const Item& item) {
    if (!item.valid) return nullptr;
    return item.path.isEmpty() || item.csidl == CSIDL_DESKTOP ? ItemOfVirtual(item.csidl) : ItemOfPath(item.path);
}

} // namespace twshell

using namespace twshell;

namespace {

// The task allocator: the C heap behind CoTaskMemAlloc.
struct Malloc final : IMalloc {
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** ppv) override {
        if (!ppv) return E_POINTER;
        *ppv = this;
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    void* STDMETHODCALLTYPE Alloc(SIZE_T cb) override { return CoTaskMemAlloc(cb); }
    void* STDMETHODCALLTYPE Realloc(void* pv, SIZE_T cb) override { return CoTaskMemRealloc(pv, cb); }
    void STDMETHODCALLTYPE Free(void* pv) override { CoTaskMemFree(pv); }
    SIZE_T STDMETHODCALLTYPE GetSize(void*) override { return SIZE_T(-1); }
    int STDMETHODCALLTYPE DidAlloc(void*) override { return -1; }
    void STDMETHODCALLTYPE HeapMinimize() override {}
};

HRESULT Location(int csidl, PIDLIST_ABSOLUTE* ppidl) {
    if (!ppidl) return E_INVALIDARG;
    *ppidl = nullptr;
    if (csidl & CSIDL_FLAG_CREATE) return E_INVALIDARG;
    if (csidl == CSIDL_DESKTOP || IsVirtualFolder(csidl)) {
        *ppidl = ItemOfVirtual(csidl);
    } else {
        const QString path = FolderPath(csidl);
        if (path.isEmpty()) return E_FAIL;
        *ppidl = ItemOfPath(path);
    }
    return *ppidl ? S_OK : E_OUTOFMEMORY;
}

} // namespace

extern "C" {

HRESULT WINAPI SHGetFolderPathW(HWND, int csidl, HANDLE, DWORD, LPWSTR path) {
    if (!path) return E_INVALIDARG;
    path[0] = 0;
    const int id = csidl & ~CSIDL_FLAG_CREATE;
    const QString folder = FolderPath(id);
    if (folder.isEmpty()) return IsVirtualFolder(id) || id < 0x40 ? E_FAIL : E_INVALIDARG;
    if (folder.size() >= MAX_PATH) return E_FAIL;
    if ((csidl & CSIDL_FLAG_CREATE) && !QDir().mkpath(folder)) return E_FAIL;
    std::memcpy(path, folder.utf16(), size_t(folder.size() + 1) * 2);
    return S_OK;
}

HRESULT WINAPI SHGetFolderLocation(HWND, int csidl, HANDLE, DWORD, PIDLIST_ABSOLUTE* ppidl) {
    return Location(csidl, ppidl);
}

HRESULT WINAPI SHGetSpecialFolderLocation(HWND, int csidl, PIDLIST_ABSOLUTE* ppidl) { return Location(csidl, ppidl); }

BOOL WINAPI SHGetPathFromIDListW(PCIDLIST_ABSOLUTE pidl, LPWSTR path) {
    if (!path) return FALSE;
    path[0] = 0;
    const Item item = Read(pidl);
    if (!item.valid || item.path.isEmpty() || item.path.size() >= MAX_PATH) return FALSE;
    std::memcpy(path, item.path.utf16(), size_t(item.path.size() + 1) * 2);
    return TRUE;
}

PIDLIST_ABSOLUTE WINAPI ILCreateFromPathW(LPCWSTR path) {
    return path ? ItemOfPath(QString::fromUtf16(path)) : nullptr;
}

void WINAPI ILFree(PIDLIST_ABSOLUTE pidl) { CoTaskMemFree(pidl); }

HRESULT WINAPI SHGetMalloc(IMalloc** ppMalloc) {
    static Malloc malloc;
    if (!ppMalloc) return E_INVALIDARG;
    *ppMalloc = &malloc;
    return S_OK;
}

} // extern "C"
