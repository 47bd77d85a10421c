// Registry of the stand-in's modules by Windows library name.
#include "win/kernel32/modules.h"
#include "win/kernel32/Utf8.h"
#include "win/kernel32/winbase.h"

#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <map>
#include <mutex>
#include <string>

namespace {

std::u16string LowerAscii(LPCWSTR name) {
    std::u16string s;
    for (; name && *name; ++name) s.push_back(*name >= u'A' && *name <= u'Z' ? char16_t(*name + 32) : *name);
    return s;
}

struct Registry {
    std::mutex lock;
    std::map<std::u16string, void*> handles; // dlopen handles, kept for the life of the process
    std::map<std::pair<void*, WORD>, std::string> ordinals;  // the exports a module also gives by number
    std::map<std::pair<void*, std::string>, bool> hidden;    // names tests hide, as older systems lack them
    std::map<std::u16string, bool> withheld;                 // modules tests take away, as systems lack them
};

Registry& TheRegistry() {
    static Registry* registry = new Registry; // never destroyed: modules may register during exit
    return *registry;
}

std::string Utf8(LPCWSTR s) {
    return s ? winkernel::Utf16ToUtf8(s, std::char_traits<char16_t>::length(s)) : std::string();
}

// The file of a stand-in module ("comctl32.dll" → libtw_comctl32.so), beside this library. Empty for a
// name that cannot be one of ours.
std::string ModuleFile(const std::u16string& key) {
    const std::u16string stem = key.substr(0, key.size() - 4);
    if (stem.empty()) return {};
    for (char16_t c : stem)
        if (!((c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'_')) return {};
    Dl_info self{};
    if (!dladdr(reinterpret_cast<const void*>(&ModuleFile), &self) || !self.dli_fname) return {};
    std::string dir = self.dli_fname;
    const size_t slash = dir.rfind('/');
    dir = slash == std::string::npos ? std::string() : dir.substr(0, slash + 1);
    return dir + "libtw_" + std::string(stem.begin(), stem.end()) + ".so";
}

} // namespace

extern "C" {

void WINAPI TwRegisterModule(LPCWSTR name, const void* anyAddressInside) {
    Dl_info info{};
    if (!name || !dladdr(anyAddressInside, &info) || !info.dli_fname) return;
    void* handle = dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD);
    if (!handle) return;
    auto& r = TheRegistry();
    std::lock_guard guard(r.lock);
    r.handles[LowerAscii(name)] = handle;
}

HMODULE WINAPI TwFindModule(LPCWSTR name) {
    auto& r = TheRegistry();
    std::unique_lock guard(r.lock);
    std::u16string key = LowerAscii(name);
    if (key.size() < 4 || key.compare(key.size() - 4, 4, u".dll") != 0) key += u".dll";
    if (r.withheld.count(key)) return nullptr;
    if (auto it = r.handles.find(key); it != r.handles.end()) return static_cast<HMODULE>(it->second);
    // A module the program links but never calls directly may have been left out by the linker: load it
    // (its registration runs as it loads), so that a module is found whatever the link kept.
    const std::string file = ModuleFile(key);
    if (file.empty() || access(file.c_str(), R_OK) != 0) return nullptr;
    guard.unlock();
    void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_GLOBAL);
    guard.lock();
    if (!handle) return nullptr;
    auto it = r.handles.find(key);
    return it == r.handles.end() ? nullptr : static_cast<HMODULE>(it->second);
}

FARPROC WINAPI TwFindExport(HMODULE module, LPCSTR procName) {
    if (!module || !procName) return nullptr;
    {
        Registry& r = TheRegistry();
        std::lock_guard<std::mutex> guard(r.lock);
        if (r.hidden.count({module, procName})) return nullptr;
    }
    return reinterpret_cast<FARPROC>(dlsym(module, procName));
}

void WINAPI TwSetExportOrdinal(HMODULE module, WORD ordinal, LPCSTR procName) {
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> guard(r.lock);
    r.ordinals[{module, ordinal}] = procName ? procName : "";
}

void WINAPI TwWithholdModule(LPCWSTR name, BOOL withhold) {
    if (!name) return;
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> guard(r.lock);
    if (withhold) r.withheld[LowerAscii(name)] = true;
    else r.withheld.erase(LowerAscii(name));
}

void WINAPI TwHideExport(HMODULE module, LPCSTR procName, BOOL hide) {
    if (!module || !procName) return;
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> guard(r.lock);
    if (hide) r.hidden[{module, procName}] = true;
    else r.hidden.erase({module, procName});
}

} // extern "C"

// ---- the Win32 module functions over the registry ------------------------------------------------

extern "C" {

HMODULE WINAPI GetModuleHandleW(LPCWSTR name) {
    // The program itself: the handle dlopen gives for a null name, stable for the life of the process.
    if (!name) {
        static void* self = dlopen(nullptr, RTLD_NOW);
        return static_cast<HMODULE>(self);
    }
    HMODULE module = TwFindModule(name);
    if (!module) SetLastError(ERROR_MOD_NOT_FOUND);
    return module;
}

HMODULE WINAPI LoadLibraryW(LPCWSTR name) {
    if (!name || !*name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (HMODULE module = TwFindModule(name)) return module;
    if (LowerAscii(name).find(u".so") != std::u16string::npos)
        if (void* handle = dlopen(Utf8(name).c_str(), RTLD_NOW)) return static_cast<HMODULE>(handle);
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
}

FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR procName) {
    if (!module) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (IS_INTRESOURCE(procName)) { // an ordinal: only the numbers a module gave
        std::string name;
        {
            Registry& r = TheRegistry();
            std::lock_guard<std::mutex> guard(r.lock);
            auto it = r.ordinals.find({module, WORD(reinterpret_cast<uintptr_t>(procName))});
            if (it != r.ordinals.end()) name = it->second;
        }
        // By number the export is there even where its name is hidden.
        FARPROC proc = name.empty() ? nullptr : reinterpret_cast<FARPROC>(dlsym(module, name.c_str()));
        if (!proc) SetLastError(ERROR_PROC_NOT_FOUND);
        return proc;
    }
    FARPROC proc = TwFindExport(module, procName);
    if (!proc) SetLastError(ERROR_PROC_NOT_FOUND);
    return proc;
}

BOOL WINAPI FreeLibrary(HMODULE module) {
    if (!module) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

} // extern "C"

namespace {
// The kernel is a module of ours like the others, so "kernel32.dll" resolves to these exports.
const bool registered = (TwRegisterModule(u"kernel32.dll", reinterpret_cast<const void*>(&GetModuleHandleW)), true);
} // namespace
