// The accessibility library: strings and variants, the in-process hand-over of objects through
// WM_GETOBJECT, and the standard objects of windows.
#include "win/oleacc/oleacc.h"

#include "win/kernel32/modules.h"
#include "win/user32/winwindow.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <string>

extern "C" {
const IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID IID_IDispatch = {0x00020400, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID IID_IAccessible = {0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
}

namespace {

const bool registered = [] {
    TwRegisterModule(u"oleacc.dll", reinterpret_cast<const void*>(&LresultFromObject));
    return true;
}();

bool Same(REFIID a, const IID& b) { return std::memcmp(&a, &b, sizeof(IID)) == 0; }

// Handed-out objects by cookie, each holding one reference until it is taken.
std::mutex tableLock;
std::map<LRESULT, IUnknown*>& Table() {
    static std::map<LRESULT, IUnknown*> table;
    return table;
}
LRESULT nextCookie = 1;

bool IsSelf(const VARIANT& v) { return v.vt == VT_I4 && v.lVal == CHILDID_SELF; }

// A window's text as its name: without the accelerator marks ("&Run" is "Run", "&&" one '&').
BSTR TextOf(HWND hwnd) {
    const int length = GetWindowTextLengthW(hwnd);
    std::u16string text(size_t(length) + 1, u'\0');
    if (length > 0) GetWindowTextW(hwnd, text.data(), length + 1);
    text.resize(size_t(length));
    std::u16string name;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size()) ++i;
        name += text[i];
    }
    return SysAllocStringLen(name.data(), UINT(name.size()));
}

// The standard object of a window (OBJID_WINDOW) or of its client area (OBJID_CLIENT).
class StandardObject final : public IAccessible {
public:
    StandardObject(HWND Wnd, LONG Id) : wnd(Wnd), id(Id) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (!Same(riid, IID_IUnknown) && !Same(riid, IID_IDispatch) && !Same(riid, IID_IAccessible))
            return E_NOINTERFACE;
        *ppv = static_cast<IAccessible*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --refs;
        if (left == 0) delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, void**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, void*, VARIANT*, void*, UINT*) override {
        return E_NOTIMPL;
    }

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** out) override {
        *out = nullptr;
        if (!IsWindow(wnd)) return E_FAIL;
        // A client area's parent is its window; a window's is the client area of its parent.
        if (id == OBJID_CLIENT) return AccessibleObjectFromWindow(wnd, DWORD(OBJID_WINDOW), IID_IDispatch, reinterpret_cast<void**>(out));
        const HWND parent = GetAncestor(wnd, GA_PARENT);
        if (!parent || parent == GetDesktopWindow()) return S_FALSE;
        return AccessibleObjectFromWindow(parent, DWORD(OBJID_CLIENT), IID_IDispatch, reinterpret_cast<void**>(out));
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
        if (!IsWindow(wnd)) return E_FAIL;
        if (id == OBJID_WINDOW) {
            *count = 1;  // the client area
            return S_OK;
        }
        LONG n = 0;
        for (HWND c = GetWindow(wnd, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) ++n;
        *count = n;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT, IDispatch** out) override {
        *out = nullptr;
        return IsWindow(wnd) ? S_FALSE : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* out) override {
        *out = nullptr;
        if (!IsWindow(wnd)) return E_FAIL;
        if (!IsSelf(child)) return E_INVALIDARG;
        *out = TextOf(wnd);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT, BSTR* out) override { return Nothing(out); }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT, BSTR* out) override { return Nothing(out); }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* out) override {
        VariantInit(out);
        if (!IsWindow(wnd)) return E_FAIL;
        if (!IsSelf(child)) return E_INVALIDARG;
        out->vt = VT_I4;
        out->lVal = id == OBJID_WINDOW ? ROLE_SYSTEM_WINDOW : ROLE_SYSTEM_CLIENT;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* out) override {
        VariantInit(out);
        if (!IsWindow(wnd)) return E_FAIL;
        if (!IsSelf(child)) return E_INVALIDARG;
        LONG state = 0;
        if (!IsWindowVisible(wnd)) state |= STATE_SYSTEM_INVISIBLE;
        if (!IsWindowEnabled(wnd)) state |= STATE_SYSTEM_UNAVAILABLE;
        if (IsWindowVisible(wnd) && IsWindowEnabled(wnd)) state |= STATE_SYSTEM_FOCUSABLE;
        if (GetFocus() == wnd) state |= STATE_SYSTEM_FOCUSED;
        out->vt = VT_I4;
        out->lVal = state;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR* out) override { return Nothing(out); }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, LONG* topic) override {
        *topic = 0;
        return Nothing(file);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT, BSTR* out) override { return Nothing(out); }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* out) override {
        VariantInit(out);
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* out) override {
        VariantInit(out);
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT, BSTR* out) override { return Nothing(out); }
    HRESULT STDMETHODCALLTYPE accSelect(LONG, VARIANT) override { return DISP_E_MEMBERNOTFOUND; }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* x, LONG* y, LONG* w, LONG* h, VARIANT child) override {
        if (!IsWindow(wnd)) return E_FAIL;
        if (!IsSelf(child)) return E_INVALIDARG;
        const RECT r = Bounds();
        *x = r.left;
        *y = r.top;
        *w = r.right - r.left;
        *h = r.bottom - r.top;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG, VARIANT, VARIANT* out) override {
        VariantInit(out);
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* out) override {
        VariantInit(out);
        if (!IsWindow(wnd)) return E_FAIL;
        const RECT r = Bounds();
        if (x < r.left || x >= r.right || y < r.top || y >= r.bottom) return S_FALSE;
        out->vt = VT_I4;
        out->lVal = CHILDID_SELF;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT) override { return DISP_E_MEMBERNOTFOUND; }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return S_FALSE; }

private:
    ~StandardObject() = default;
    HRESULT Nothing(BSTR* out) {
        *out = nullptr;
        return IsWindow(wnd) ? S_FALSE : E_FAIL;
    }
    RECT Bounds() {
        RECT r{};
        if (id == OBJID_WINDOW) {
            GetWindowRect(wnd, &r);
            return r;
        }
        GetClientRect(wnd, &r);
        MapWindowPoints(wnd, nullptr, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    HWND wnd;
    LONG id;
    std::atomic<ULONG> refs{1};
};

} // namespace

extern "C" {

BOOL WINAPI TwIsEqualGUID(const GUID* a, const GUID* b) { return std::memcmp(a, b, sizeof(GUID)) == 0; }

BSTR WINAPI SysAllocStringLen(const OLECHAR* strIn, UINT ui) {
    auto* block = static_cast<char*>(std::malloc(sizeof(UINT) + (size_t(ui) + 1) * sizeof(OLECHAR)));
    if (!block) return nullptr;
    std::memcpy(block, &ui, sizeof(UINT));
    auto* s = reinterpret_cast<OLECHAR*>(block + sizeof(UINT));
    if (strIn)
        std::memcpy(s, strIn, ui * sizeof(OLECHAR));
    else
        std::memset(s, 0, ui * sizeof(OLECHAR));
    s[ui] = 0;
    return s;
}

BSTR WINAPI SysAllocString(const OLECHAR* psz) {
    if (!psz) return nullptr;
    UINT n = 0;
    while (psz[n]) ++n;
    return SysAllocStringLen(psz, n);
}

void WINAPI SysFreeString(BSTR s) {
    if (s) std::free(reinterpret_cast<char*>(s) - sizeof(UINT));
}

UINT WINAPI SysStringLen(BSTR s) {
    if (!s) return 0;
    UINT n;
    std::memcpy(&n, reinterpret_cast<char*>(s) - sizeof(UINT), sizeof(UINT));
    return n;
}

void WINAPI VariantInit(VARIANT* v) {
    std::memset(v, 0, sizeof(VARIANT));
    v->vt = VT_EMPTY;
}

HRESULT WINAPI VariantClear(VARIANT* v) {
    if (v->vt == VT_DISPATCH && v->pdispVal) v->pdispVal->Release();
    VariantInit(v);
    return S_OK;
}

LRESULT WINAPI LresultFromObject(REFIID riid, WPARAM, IUnknown* punk) {
    if (!punk) return E_INVALIDARG;
    void* itf = nullptr;
    const HRESULT hr = punk->QueryInterface(riid, &itf);
    if (FAILED(hr)) return hr;
    std::lock_guard<std::mutex> guard(tableLock);
    const LRESULT cookie = nextCookie++;
    Table()[cookie] = static_cast<IUnknown*>(itf);
    return cookie;
}

HRESULT WINAPI ObjectFromLresult(LRESULT lResult, REFIID riid, WPARAM, void** ppvObject) {
    if (!ppvObject) return E_POINTER;
    *ppvObject = nullptr;
    IUnknown* object = nullptr;
    {
        std::lock_guard<std::mutex> guard(tableLock);
        auto it = Table().find(lResult);
        if (it == Table().end()) return E_INVALIDARG;
        object = it->second;
        Table().erase(it);
    }
    const HRESULT hr = object->QueryInterface(riid, ppvObject);
    object->Release();
    return hr;
}

HRESULT WINAPI AccessibleObjectFromWindow(HWND hwnd, DWORD dwId, REFIID riid, void** ppvObject) {
    if (!ppvObject) return E_POINTER;
    *ppvObject = nullptr;
    if (!IsWindow(hwnd)) return E_FAIL;
    const LONG id = LONG(dwId);
    if (id != OBJID_WINDOW && id != OBJID_CLIENT) return E_INVALIDARG;
    const LRESULT answer = SendMessageW(hwnd, WM_GETOBJECT, 0, LPARAM(id));
    if (answer > 0) return ObjectFromLresult(answer, riid, 0, ppvObject);
    auto* object = new StandardObject(hwnd, id);
    const HRESULT hr = object->QueryInterface(riid, ppvObject);
    object->Release();
    return hr;
}

} // extern "C"
