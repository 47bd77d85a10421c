// Registry of the stand-in's modules by Windows library name.
#include "win/kernel32/modules.h"

#include <dlfcn.h>

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
};

Registry& TheRegistry() {
    static Registry* registry = new Registry; // never destroyed: modules may register during exit
    return *registry;
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
    std::lock_guard guard(r.lock);
    std::u16string key = LowerAscii(name);
    if (key.size() < 4 || key.compare(key.size() - 4, 4, u".dll") != 0) key += u".dll";
    auto it = r.handles.find(key);
    return it == r.handles.end() ? nullptr : static_cast<HMODULE>(it->second);
}

FARPROC WINAPI TwFindExport(HMODULE module, LPCSTR procName) {
    if (!module || !procName) return nullptr;
    return reinterpret_cast<FARPROC>(dlsym(module, procName));
}

} // extern "C"
