// The key store behind the registry functions.
#include "win/advapi32/winreg.h"
#include "win/kernel32/userdirs.h"
#include "win/kernel32/winbase.h"

#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace {

std::u16string Lower(std::u16string s) {
    for (auto& c : s)
        if (c >= u'A' && c <= u'Z') c = char16_t(c + 32);
    return s;
}

struct Value {
    std::u16string name; // as written
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
    int folder = -1; // a special folder, read when asked for: the user may move it while we run
};

struct Key {
    std::u16string name;
    std::map<std::u16string, Value> values;              // by lower-case name
    std::map<std::u16string, std::unique_ptr<Key>> subkeys; // by lower-case name
};

// An opened key: the handle points at one of these.
struct Opened {
    Key* key;
};

std::vector<BYTE> Text(const std::u16string& s) {
    std::vector<BYTE> bytes((s.size() + 1) * 2);
    std::memcpy(bytes.data(), s.c_str(), bytes.size());
    return bytes;
}

std::u16string Folder(int csidl) {
    char16_t buffer[4096];
    const DWORD n = TwUserFolderPath(csidl, buffer, 4096);
    return n > 0 && n < 4096 ? std::u16string(buffer, n) : std::u16string();
}

class Store {
public:
    std::mutex lock;
    Key roots[6];
    // Deleted keys stay allocated: a handle still open on one must not point at freed memory.
    std::vector<std::unique_ptr<Key>> deleted;

    Store() {
        for (auto& r : roots) r.name = u"";
        Key* shell = Create(Root(HKEY_CURRENT_USER), u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders");
        struct Named {
            const char16_t* name;
            int csidl;
        };
        for (const Named& n : {Named{u"Desktop", 0x10}, Named{u"Personal", 0x05}, Named{u"My Music", 0x0D},
                               Named{u"My Pictures", 0x27}, Named{u"My Video", 0x0E}, Named{u"Templates", 0x15},
                               Named{u"AppData", 0x1A}, Named{u"Local AppData", 0x1C}, Named{u"Fonts", 0x14},
                               Named{u"Cache", 0x20}})
            Set(shell, n.name, REG_SZ, {}).folder = n.csidl;
        Set(Create(Root(HKEY_CURRENT_USER), u"Control Panel\\Desktop"), u"MenuShowDelay", REG_SZ, Text(u"400"));
        // No sounds are set for the menu events: the scheme's keys exist with empty defaults.
        for (const char16_t* event : {u"MenuPopup", u"MenuCommand"})
            Set(Create(Root(HKEY_CURRENT_USER), std::u16string(u"AppEvents\\Schemes\\Apps\\.Default\\") + event + u"\\.Current"),
                u"", REG_SZ, Text(u""));
    }

    Key* Root(HKEY h) {
        const auto v = uint32_t(reinterpret_cast<uintptr_t>(h));
        if (v < 0x80000000u || v > 0x80000005u) return nullptr;
        return &roots[v - 0x80000000u];
    }

    Key* Resolve(HKEY h) {
        if (Key* root = Root(h)) return root;
        return h ? reinterpret_cast<Opened*>(h)->key : nullptr;
    }

    // The key at a backslash path below `from`; null when a part is missing (create: made instead).
    Key* Walk(Key* from, const std::u16string& path, bool create, bool* created = nullptr) {
        Key* k = from;
        size_t start = 0;
        while (k && start <= path.size()) {
            size_t end = path.find(u'\\', start);
            if (end == std::u16string::npos) end = path.size();
            const std::u16string part = path.substr(start, end - start);
            start = end + 1;
            if (part.empty()) continue;
            auto it = k->subkeys.find(Lower(part));
            if (it == k->subkeys.end()) {
                if (!create) return nullptr;
                auto made = std::make_unique<Key>();
                made->name = part;
                it = k->subkeys.emplace(Lower(part), std::move(made)).first;
                if (created) *created = true;
            }
            k = it->second.get();
        }
        return k;
    }

    Key* Create(Key* from, const std::u16string& path) { return Walk(from, path, true); }

    static Value& Set(Key* k, const std::u16string& name, DWORD type, std::vector<BYTE> data) {
        Value& v = k->values[Lower(name)];
        v.name = name;
        v.type = type;
        v.data = std::move(data);
        v.folder = -1;
        return v;
    }
};

Store& TheStore() {
    static Store* store = new Store; // never destroyed: keys may be closed during exit
    return *store;
}

HKEY Open(Key* k) { return reinterpret_cast<HKEY>(new Opened{k}); }

bool IsRoot(HKEY h) { return TheStore().Root(h) != nullptr; }

// Copies up to `size` characters of a name with its terminator, Windows style.
LSTATUS PutName(const std::u16string& name, LPWSTR out, LPDWORD size) {
    if (!out || !size) return ERROR_INVALID_PARAMETER;
    if (*size < name.size() + 1) {
        *size = DWORD(name.size() + 1);
        return ERROR_MORE_DATA;
    }
    std::memcpy(out, name.c_str(), (name.size() + 1) * 2);
    *size = DWORD(name.size());
    return ERROR_SUCCESS;
}

LSTATUS PutData(const Value& v, LPDWORD type, LPBYTE data, LPDWORD size) {
    if (type) *type = v.type;
    if (!size) return data ? ERROR_INVALID_PARAMETER : ERROR_SUCCESS;
    const std::vector<BYTE> bytes = v.folder >= 0 ? Text(Folder(v.folder)) : v.data;
    const DWORD need = DWORD(bytes.size());
    if (data && *size < need) {
        *size = need;
        return ERROR_MORE_DATA;
    }
    if (data && need) std::memcpy(data, bytes.data(), need);
    *size = need;
    return ERROR_SUCCESS;
}

} // namespace

extern "C" {

LSTATUS WINAPI RegOpenKeyExW(HKEY parent, LPCWSTR subKey, DWORD, REGSAM, PHKEY result) {
    if (!result) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    auto& s = TheStore();
    std::lock_guard guard(s.lock);
    Key* from = s.Resolve(parent);
    if (!from) return ERROR_INVALID_HANDLE;
    Key* k = s.Walk(from, subKey ? subKey : u"", false);
    if (!k) return ERROR_FILE_NOT_FOUND;
    *result = Open(k);
    return ERROR_SUCCESS;
}

LSTATUS WINAPI RegCreateKeyExW(HKEY parent, LPCWSTR subKey, DWORD, LPWSTR, DWORD, REGSAM, const void*, PHKEY result,
                               LPDWORD disposition) {
    if (!result || !subKey) return ERROR_INVALID_PARAMETER;
    auto& s = TheStore();
    std::lock_guard guard(s.lock);
    Key* from = s.Resolve(parent);
    if (!from) return ERROR_INVALID_HANDLE;
    bool created = false;
    Key* k = s.Walk(from, subKey, true, &created);
    *result = Open(k);
    if (disposition) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    return ERROR_SUCCESS;
}

LSTATUS WINAPI RegCloseKey(HKEY h) {
    if (!h) return ERROR_INVALID_HANDLE;
    if (!IsRoot(h)) delete reinterpret_cast<Opened*>(h);
    return ERROR_SUCCESS;
}

LSTATUS WINAPI RegQueryValueExW(HKEY h, LPCWSTR name, LPDWORD, LPDWORD type, LPBYTE data, LPDWORD size) {
    auto& s = TheStore();
    std::lock_guard guard(s.lock);
    Key* k = s.Resolve(h);
    if (!k) return ERROR_INVALID_HANDLE;
    auto it = k->values.find(Lower(name ? name : u""));
    if (it == k->values.end()) return ERROR_FILE_NOT_FOUND;
    return PutData(it->second, type, data, size);
}

LSTATUS WINAPI RegSetValueExW(HKEY h, LPCWSTR name, DWORD, DWORD type, const BYTE* data, DWORD size) {
    auto& s = TheStore();
    std::lock_guard guard(s.lock);
    Key* k = s.Resolve(h);
    if (!k) return ERROR_INVALID_HANDLE;
    if (size && !data) return ERROR_INVALID_PARAMETER;
    Store::Set(k, name ? name : u"", type, std::vector<BYTE>(data, data + size));
    return ERROR_SUCCESS;
}

LSTATUS WINAPI RegDeleteValueW(HKEY h, LPCWSTR name) {
    auto& s = TheStore();
    std::lock_guard guard(s.lock);
    Key* k = s.Resolve(h);
    if (!k) return ERROR_INVALID_HANDLE;
    return k->values.erase(Lower(name ? name : u"")) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
}

LSTATUS WINAPI RegDeleteKeyW(HKEY h, LPCWSTR subKey) {
    if (!subKey || !*subKey) return ERROR_INVALID_PARAMETER;
    auto& s = TheStore();
    std::lock_guard guard(s.lock);
    Key* from = s.Resolve(h);
    if (!from) return ERROR_INVALID_HANDLE;
    std::u16string path = subKey;
    const size_t slash = path.find_last_of(u'\\');
    Key* parent = slash == std::u16string::npos ? from : s.Walk(from, path.substr(0, slash), false);
    const std::u16string last = Lower(slash == std::u16string::npos ? path : path.substr(slash + 1));
    if (!parent) return ERROR_FILE_NOT_FOUND;
    auto it = parent->subkeys.find(last);
    if (it == parent->subkeys.end()) return ERROR_FILE_NOT_FOUND;
    if (!it->second->subkeys.empty()) return ERROR_ACCESS_DENIED;
    s.deleted.push_back(std::move(it->second));
    parent->subkeys.erase(it);
    return ERROR_SUCCESS;
}

LSTATUS WINAPI RegEnumKeyExW(HKEY h, DWORD index, LPWSTR name, LPDWORD size, LPDWORD, LPWSTR, LPDWORD, void*) {
    auto& s = TheStore();
    std::lock_guard guard(s.lock);
    Key* k = s.Resolve(h);
    if (!k) return ERROR_INVALID_HANDLE;
    if (index >= k->subkeys.size()) return ERROR_NO_MORE_ITEMS;
    auto it = k->subkeys.begin();
    std::advance(it, index);
    return PutName(it->second->name, name, size);
}

LSTATUS WINAPI RegEnumValueW(HKEY h, DWORD index, LPWSTR name, LPDWORD nameSize, LPDWORD, LPDWORD type, LPBYTE data,
                             LPDWORD size) {
    auto& s = TheStore();
    std::lock_guard guard(s.lock);
    Key* k = s.Resolve(h);
    if (!k) return ERROR_INVALID_HANDLE;
    if (index >= k->values.size()) return ERROR_NO_MORE_ITEMS;
    auto it = k->values.begin();
    std::advance(it, index);
    if (const LSTATUS r = PutName(it->second.name, name, nameSize); r != ERROR_SUCCESS) return r;
    return PutData(it->second, type, data, size);
}

} // extern "C"
