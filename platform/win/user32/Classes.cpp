// Window classes: registration, lookup by name or atom, class information and class longs.
#include "win/user32/WindowModel.h"
#include "win/kernel32/winbase.h"

#include <algorithm>
#include <cstring>

namespace twuser {

WndClass* FindClass(LPCWSTR name) {
    auto& s = S();
    if (!name) return nullptr;
    if (IS_INTRESOURCE(name)) {
        const ATOM atom = ATOM(reinterpret_cast<uintptr_t>(name));
        for (auto& c : s.classes)
            if (c->atom == atom) return c.get();
        return nullptr;
    }
    const std::u16string key = Fold(FromW(name));
    for (auto& c : s.classes)
        if (c->key == key) return c.get();
    return nullptr;
}

} // namespace twuser

using namespace twuser;

extern "C" {

ATOM WINAPI RegisterClassExW(const WNDCLASSEXW* wc) {
    if (!wc || !wc->lpszClassName || !wc->lpfnWndProc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (FindClass(wc->lpszClassName)) {
        SetLastError(1410);  // ERROR_CLASS_ALREADY_EXISTS
        return 0;
    }
    auto& s = S();
    auto c = std::make_unique<WndClass>();
    c->name = FromW(wc->lpszClassName);
    c->key = Fold(c->name);
    c->atom = s.nextAtom++;
    c->style = wc->style;
    c->proc = wc->lpfnWndProc;
    c->clsExtra = std::max(0, wc->cbClsExtra);
    c->wndExtra = std::max(0, wc->cbWndExtra);
    c->extra.assign(size_t(c->clsExtra), 0);
    c->instance = wc->hInstance;
    c->icon = wc->hIcon;
    c->iconSm = wc->hIconSm;
    c->cursor = wc->hCursor;
    c->background = wc->hbrBackground;
    c->menuName = wc->lpszMenuName && !IS_INTRESOURCE(wc->lpszMenuName) ? FromW(wc->lpszMenuName) : std::u16string();
    const ATOM atom = c->atom;
    s.classes.push_back(std::move(c));
    return atom;
}

ATOM WINAPI RegisterClassW(const WNDCLASSW* wc) {
    if (!wc) return 0;
    WNDCLASSEXW ex{sizeof(WNDCLASSEXW), wc->style, wc->lpfnWndProc, wc->cbClsExtra, wc->cbWndExtra, wc->hInstance,
                   wc->hIcon, wc->hCursor, wc->hbrBackground, wc->lpszMenuName, wc->lpszClassName, nullptr};
    return RegisterClassExW(&ex);
}

BOOL WINAPI UnregisterClassW(LPCWSTR name, HINSTANCE) {
    WndClass* c = FindClass(name);
    if (!c) {
        SetLastError(1411);  // ERROR_CLASS_DOES_NOT_EXIST
        return FALSE;
    }
    if (c->windows > 0) {
        SetLastError(1412);  // ERROR_CLASS_HAS_WINDOWS
        return FALSE;
    }
    auto& v = S().classes;
    // Windows already destroyed may still point at the class until they are freed.
    for (auto& g : S().graveyard)
        if (g->cls == c) g->cls = nullptr;
    v.erase(std::remove_if(v.begin(), v.end(), [&](auto& p) { return p.get() == c; }), v.end());
    return TRUE;
}

BOOL WINAPI GetClassInfoExW(HINSTANCE, LPCWSTR name, LPWNDCLASSEXW out) {
    WndClass* c = FindClass(name);
    if (!c || !out) {
        SetLastError(1411);
        return FALSE;
    }
    out->style = c->style;
    out->lpfnWndProc = c->proc;
    out->cbClsExtra = c->clsExtra;
    out->cbWndExtra = c->wndExtra;
    out->hInstance = c->instance;
    out->hIcon = c->icon;
    out->hCursor = c->cursor;
    out->hbrBackground = c->background;
    out->lpszMenuName = nullptr;
    out->lpszClassName = c->name.c_str();
    out->hIconSm = c->iconSm;
    return TRUE;
}

BOOL WINAPI GetClassInfoW(HINSTANCE inst, LPCWSTR name, LPWNDCLASSW out) {
    WNDCLASSEXW ex{};
    if (!out || !GetClassInfoExW(inst, name, &ex)) return FALSE;
    *out = WNDCLASSW{ex.style, ex.lpfnWndProc, ex.cbClsExtra, ex.cbWndExtra, ex.hInstance, ex.hIcon, ex.hCursor,
                     ex.hbrBackground, ex.lpszMenuName, ex.lpszClassName};
    return TRUE;
}

int WINAPI GetClassNameW(HWND hwnd, LPWSTR buf, int max) {
    Window* w = Get(hwnd);
    if (!buf || max <= 0) return 0;
    buf[0] = 0;
    if (!w) return 0;
    const std::u16string name = w == S().desktop ? u"#32769" : (w->cls ? w->cls->name : u"");
    const int n = std::min<int>(int(name.size()), max - 1);
    std::copy_n(name.data(), n, buf);
    buf[n] = 0;
    return n;
}

ULONG_PTR WINAPI GetClassLongPtrW(HWND hwnd, int index) {
    Window* w = Get(hwnd);
    if (!w || !w->cls) return 0;
    WndClass* c = w->cls;
    if (index >= 0) {
        if (size_t(index) + sizeof(LONG_PTR) > c->extra.size()) return 0;
        LONG_PTR v;
        std::memcpy(&v, c->extra.data() + index, sizeof v);
        return ULONG_PTR(v);
    }
    switch (index) {
    case GCLP_HBRBACKGROUND: return reinterpret_cast<ULONG_PTR>(c->background);
    case GCLP_HCURSOR: return reinterpret_cast<ULONG_PTR>(c->cursor);
    case GCLP_HICON: return reinterpret_cast<ULONG_PTR>(c->icon);
    case GCLP_HICONSM: return reinterpret_cast<ULONG_PTR>(c->iconSm);
    case GCLP_HMODULE: return reinterpret_cast<ULONG_PTR>(c->instance);
    case GCL_CBWNDEXTRA: return ULONG_PTR(c->wndExtra);
    case GCL_CBCLSEXTRA: return ULONG_PTR(c->clsExtra);
    case GCLP_WNDPROC: return reinterpret_cast<ULONG_PTR>(c->proc);
    case GCL_STYLE: return c->style;
    case GCW_ATOM: return c->atom;
    default: return 0;
    }
}

ULONG_PTR WINAPI SetClassLongPtrW(HWND hwnd, int index, LONG_PTR v) {
    Window* w = Get(hwnd);
    if (!w || !w->cls) return 0;
    WndClass* c = w->cls;
    const ULONG_PTR old = GetClassLongPtrW(hwnd, index);
    if (index >= 0) {
        if (size_t(index) + sizeof(LONG_PTR) > c->extra.size()) return 0;
        std::memcpy(c->extra.data() + index, &v, sizeof v);
        return old;
    }
    switch (index) {
    case GCLP_HBRBACKGROUND: c->background = reinterpret_cast<HBRUSH>(v); break;
    case GCLP_HCURSOR: c->cursor = reinterpret_cast<HCURSOR>(v); break;
    case GCLP_HICON: c->icon = reinterpret_cast<HICON>(v); break;
    case GCLP_HICONSM: c->iconSm = reinterpret_cast<HICON>(v); break;
    case GCLP_WNDPROC: c->proc = reinterpret_cast<WNDPROC>(v); break;
    case GCL_STYLE: c->style = UINT(v); break;
    default: return 0;
    }
    return old;
}

} // extern "C"
