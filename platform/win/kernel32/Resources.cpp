// Resources compiled into the program: a table per module of typed, named or numbered byte blocks.
#include "win/kernel32/winres.h"
#include "win/kernel32/modules.h"
#include "win/kernel32/winbase.h"

#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_set>
#include <vector>

namespace {

// A type or a name: an id, or a string kept upper-cased so that lookups ignore case.
struct ResKey {
    WORD id = 0;
    std::u16string text; // empty for an id
    bool operator<(const ResKey& o) const { return text != o.text ? text < o.text : id < o.id; }
};

char16_t Upper(char16_t c) {
    if (c >= u'a' && c <= u'z') return char16_t(c - 32);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return char16_t(c - 32); // Latin-1 letters
    return c;
}

// "#123" names id 123, as the resource functions have it.
ResKey KeyOf(LPCWSTR s) {
    ResKey k;
    if (IS_INTRESOURCE(s)) {
        k.id = WORD(reinterpret_cast<ULONG_PTR>(s));
        return k;
    }
    if (s[0] == u'#' && s[1]) {
        uint32_t v = 0;
        const WCHAR* p = s + 1;
        for (; *p >= u'0' && *p <= u'9' && v <= 0xFFFF; ++p) v = v * 10 + uint32_t(*p - u'0');
        if (!*p && v <= 0xFFFF) {
            k.id = WORD(v);
            return k;
        }
    }
    for (; *s; ++s) k.text.push_back(Upper(*s));
    return k;
}

struct Entry {
    const uint8_t* data = nullptr;
    DWORD size = 0;
    std::vector<uint8_t> owned;
};

struct ModuleResources {
    std::map<ResKey, std::map<ResKey, std::unique_ptr<Entry>>> types;
    WORD nextImageId = 0; // ids of the pictures that icon and cursor groups refer to
};

struct Table {
    std::mutex lock;
    std::map<HMODULE, ModuleResources> modules;
    std::unordered_set<const Entry*> entries;          // every HRSRC handed out, for checking
    std::vector<std::vector<uint8_t>> retired;         // replaced copies: old pointers stay readable
};

Table& TheTable() {
    static Table* table = new Table; // never destroyed: resources register from static initialisers
    return *table;
}

HMODULE Resolve(HMODULE module) {
    return module ? module : GetModuleHandleW(nullptr);
}

// Caller holds the lock.
void AddLocked(Table& t, HMODULE module, const ResKey& type, const ResKey& name, const uint8_t* data,
               DWORD size, std::vector<uint8_t> owned) {
    auto& slot = t.modules[module].types[type][name];
    if (!slot) {
        slot = std::make_unique<Entry>();
        t.entries.insert(slot.get());
    } else if (!slot->owned.empty()) {
        t.retired.push_back(std::move(slot->owned));
    }
    slot->owned = std::move(owned);
    slot->data = slot->owned.empty() ? data : slot->owned.data();
    slot->size = size;
}

// Code reads resources through structure pointers (a DIB header, a group directory), so a picture cut
// out of a file at an odd offset gets an aligned copy, as resource data in a module is aligned.
std::vector<uint8_t> AlignedCopyIfNeeded(const uint8_t* data, DWORD size) {
    if (reinterpret_cast<uintptr_t>(data) % 8 == 0 || size == 0) return {};
    return std::vector<uint8_t>(data, data + size);
}

uint16_t U16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
uint32_t U32(const uint8_t* p) { return uint32_t(U16(p)) | uint32_t(U16(p + 2)) << 16; }

// The colour depth of an icon picture, from its DIB header or 32 for a PNG.
WORD BitCountOf(const uint8_t* image, DWORD size) {
    if (size >= 8 && std::memcmp(image, "\x89PNG", 4) == 0) return 32;
    if (size >= 16) return U16(image + 14);
    return 0;
}

// Lays out an .ico or .cur as the resource compiler does: each picture under its own RT_ICON or
// RT_CURSOR id (a cursor's picture after its WORD x and y hot spot), and a group directory naming them.
BOOL AddIconFile(HMODULE module, const ResKey& name, bool cursor, const uint8_t* file, DWORD size) {
    if (size < 6 || U16(file) != 0 || U16(file + 2) != (cursor ? 2 : 1)) return FALSE;
    const uint16_t count = U16(file + 4);
    if (count == 0 || (size - 6) / 16 < count) return FALSE;
    for (uint16_t i = 0; i < count; ++i) {
        const uint8_t* e = file + 6 + size_t(i) * 16;
        const uint32_t bytes = U32(e + 8), offset = U32(e + 12);
        if (offset > size || bytes > size - offset || bytes == 0) return FALSE;
    }
    auto& t = TheTable();
    std::lock_guard guard(t.lock);
    ModuleResources& m = t.modules[module];
    if (uint32_t(m.nextImageId) + count > 0xFFFF) return FALSE;
    std::vector<uint8_t> group(6 + size_t(count) * 14);
    auto put16 = [&](size_t at, uint16_t v) { group[at] = uint8_t(v), group[at + 1] = uint8_t(v >> 8); };
    auto put32 = [&](size_t at, uint32_t v) { put16(at, uint16_t(v)), put16(at + 2, uint16_t(v >> 16)); };
    put16(2, cursor ? 2 : 1);
    put16(4, count);
    for (uint16_t i = 0; i < count; ++i) {
        const uint8_t* e = file + 6 + size_t(i) * 16;
        const uint32_t bytes = U32(e + 8), offset = U32(e + 12);
        const uint8_t* image = file + offset;
        const WORD id = ++m.nextImageId;
        const size_t g = 6 + size_t(i) * 14;
        if (cursor) {
            std::vector<uint8_t> picture(4 + size_t(bytes));
            std::memcpy(picture.data(), e + 4, 4); // the file keeps the hot spot where planes would be
            std::memcpy(picture.data() + 4, image, bytes);
            const uint16_t w = e[0] ? e[0] : 256, h = e[1] ? e[1] : 256;
            put16(g, w);
            put16(g + 2, uint16_t(h * 2));
            put16(g + 4, 1);
            put16(g + 6, BitCountOf(image, bytes));
            put32(g + 8, bytes + 4);
            AddLocked(t, module, KeyOf(RT_CURSOR), ResKey{id, {}}, nullptr, bytes + 4, std::move(picture));
        } else {
            std::memcpy(&group[g], e, 8);
            if (U16(e + 6) == 0) put16(g + 6, BitCountOf(image, bytes));
            if (U16(e + 4) == 0) put16(g + 4, 1);
            put32(g + 8, bytes);
            AddLocked(t, module, KeyOf(RT_ICON), ResKey{id, {}}, image, bytes, AlignedCopyIfNeeded(image, bytes));
        }
        put16(g + 12, id);
    }
    const DWORD groupSize = DWORD(group.size());
    AddLocked(t, module, KeyOf(cursor ? RT_GROUP_CURSOR : RT_GROUP_ICON), name, nullptr, groupSize,
              std::move(group));
    return TRUE;
}

} // namespace

extern "C" {

HRSRC WINAPI FindResourceExW(HMODULE hModule, LPCWSTR lpType, LPCWSTR lpName, WORD) {
    const HMODULE module = Resolve(hModule);
    const ResKey type = KeyOf(lpType), name = KeyOf(lpName);
    auto& t = TheTable();
    std::lock_guard guard(t.lock);
    auto m = t.modules.find(module);
    if (m == t.modules.end()) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }
    auto ty = m->second.types.find(type);
    if (ty == m->second.types.end()) {
        SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
        return nullptr;
    }
    auto n = ty->second.find(name);
    if (n == ty->second.end()) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    return static_cast<HRSRC>(n->second.get());
}

HRSRC WINAPI FindResourceW(HMODULE hModule, LPCWSTR lpName, LPCWSTR lpType) {
    return FindResourceExW(hModule, lpType, lpName, 0);
}

HGLOBAL WINAPI LoadResource(HMODULE, HRSRC hResInfo) {
    static const uint8_t empty = 0; // a resource of no bytes still loads to a valid pointer
    auto& t = TheTable();
    std::lock_guard guard(t.lock);
    const auto* e = static_cast<const Entry*>(hResInfo);
    if (!e || !t.entries.count(e)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return const_cast<uint8_t*>(e->size ? e->data : &empty);
}

LPVOID WINAPI LockResource(HGLOBAL hResData) {
    return hResData;
}

DWORD WINAPI SizeofResource(HMODULE, HRSRC hResInfo) {
    auto& t = TheTable();
    std::lock_guard guard(t.lock);
    const auto* e = static_cast<const Entry*>(hResInfo);
    if (!e || !t.entries.count(e)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return e->size;
}

BOOL WINAPI FreeResource(HGLOBAL) {
    return FALSE;
}

BOOL WINAPI TwAddResource(HMODULE hModule, LPCWSTR lpType, LPCWSTR lpName, LPCVOID lpData, DWORD cbData,
                          BOOL bCopy) {
    if (!lpData && cbData) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const auto* bytes = static_cast<const uint8_t*>(lpData);
    std::vector<uint8_t> owned;
    if (bCopy && cbData) owned.assign(bytes, bytes + cbData);
    const HMODULE module = Resolve(hModule);
    auto& t = TheTable();
    std::lock_guard guard(t.lock);
    AddLocked(t, module, KeyOf(lpType), KeyOf(lpName), bytes, cbData, std::move(owned));
    return TRUE;
}

BOOL WINAPI TwAddFileResource(HMODULE hModule, LPCWSTR lpType, LPCWSTR lpName, UINT uKind, LPCVOID lpData,
                              DWORD cbData) {
    const auto* file = static_cast<const uint8_t*>(lpData);
    if (!file && cbData) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    BOOL ok = FALSE;
    switch (uKind) {
    case TW_RESFILE_RCDATA:
        return TwAddResource(hModule, lpType ? lpType : RT_RCDATA, lpName, lpData, cbData, FALSE);
    case TW_RESFILE_ICON:
    case TW_RESFILE_CURSOR:
        ok = AddIconFile(Resolve(hModule), KeyOf(lpName), uKind == TW_RESFILE_CURSOR, file, cbData);
        break;
    case TW_RESFILE_BITMAP:
        // The module keeps the DIB (header, colours, bits) without the 14-byte file header.
        if (cbData >= 14 + 12 && file[0] == 'B' && file[1] == 'M')
            ok = TwAddResource(hModule, RT_BITMAP, lpName, file + 14, cbData - 14,
                               reinterpret_cast<uintptr_t>(file + 14) % 8 != 0);
        break;
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!ok) SetLastError(ERROR_BAD_FORMAT);
    return ok;
}

} // extern "C"
