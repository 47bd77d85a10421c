// toolbars/BarAcc.cpp: the accessibility objects of views and item viewers, the list of live
// objects, and loading the accessibility library.
#include "toolbars/BarAcc.h"

#include <mutex>

namespace bars {

namespace {

std::mutex AccObjectListLock;
TBarCustomAccObject* AccObjectList = nullptr;  // the newest; FPrevious leads to older ones
std::atomic<int> ViewObjects{0};
std::atomic<int> ViewerObjects{0};

using TLresultFromObject = LRESULT (*)(REFIID, WPARAM, IUnknown*);
using TAccessibleObjectFromWindow = HRESULT (*)(HWND, DWORD, REFIID, void**);
using TNotifyWinEvent = void (*)(DWORD, HWND, LONG, LONG);

struct TOleAcc {
    bool Inited = false;
    bool Available = false;
    TLresultFromObject LresultFromObjectFunc = nullptr;
    TAccessibleObjectFromWindow AccessibleObjectFromWindowFunc = nullptr;
    bool NotifyLookedUp = false;
    TNotifyWinEvent NotifyWinEventFunc = nullptr;
} OleAcc;

// COM for the accessibility runtime, started with the program and ended with it.
struct TComLifetime {
    bool Initialized = false;
    TComLifetime() { Initialized = SUCCEEDED(CoInitialize(nullptr)); }
    ~TComLifetime() {
        DisconnectAccObjects();
        if (Initialized) CoUninitialize();
    }
} ComLifetime;

bool IsSelf(const VARIANT& V) { return V.vt == VT_I4 && V.lVal == CHILDID_SELF; }

// Every method answers with an HRESULT; a failure inside it is E_UNEXPECTED, never an exception.
template <class F> HRESULT Guarded(F&& Body) {
    try {
        return Body();
    } catch (...) {
        return E_UNEXPECTED;
    }
}

BSTR ToBSTR(const String& S) {
    return SysAllocStringLen(reinterpret_cast<const OLECHAR*>(S.utf16()), UINT(S.size()));
}

HRESULT Nothing(BSTR* Out) {
    *Out = nullptr;
    return S_FALSE;
}

HRESULT Text(BSTR* Out, const String& S) {
    *Out = ToBSTR(S);
    return S_OK;
}

void SetInt(VARIANT* V, LONG Value) {
    V->vt = VT_I4;
    V->lVal = Value;
}

// Hands out an object with a reference for the caller.
HRESULT SetObject(VARIANT* V, IDispatch* Object) {
    if (!Object) return S_FALSE;
    Object->AddRef();
    V->vt = VT_DISPATCH;
    V->pdispVal = Object;
    return S_OK;
}

HRESULT GiveObject(IDispatch** Out, IDispatch* Object) {
    *Out = Object;
    if (!Object) return S_FALSE;
    Object->AddRef();
    return S_OK;
}

HWND WindowOf(TBarView* View) {
    vcl::TWinControl* w = View->Window();
    return w && w->HandleAllocated() ? w->Handle() : nullptr;
}

String WindowText(HWND Wnd) {
    if (!Wnd) return String();
    const int length = GetWindowTextLengthW(Wnd);
    std::u16string text(size_t(length) + 1, u'\0');
    GetWindowTextW(Wnd, reinterpret_cast<LPWSTR>(text.data()), length + 1);
    text.resize(size_t(length));
    return String::fromStdU16String(text);
}

HRESULT ScreenRect(HWND Wnd, const TRect& ClientRect, LONG* X, LONG* Y, LONG* W, LONG* H) {
    POINT p{ClientRect.Left, ClientRect.Top};
    if (Wnd) ::ClientToScreen(Wnd, &p);
    *X = p.x;
    *Y = p.y;
    *W = ClientRect.Width();
    *H = ClientRect.Height();
    return S_OK;
}

std::vector<TBarItemViewer*> AccessibleViewers(TBarView* View) {
    std::vector<TBarItemViewer*> list;
    for (int i = 0; i < View->ViewerCount(); ++i)
        if (View->GetViewer(i)->IsAccessible()) list.push_back(View->GetViewer(i));
    return list;
}

} // namespace

// ---- the library ----

bool InitOleAcc() {
    if (OleAcc.Inited) return OleAcc.Available;
    OleAcc.Inited = true;
    const UINT saved = SetErrorMode(SEM_NOOPENFILEERRORBOX);
    const HMODULE lib = LoadLibraryW(u"oleacc.dll");
    SetErrorMode(saved);
    if (lib) {
        OleAcc.LresultFromObjectFunc =
            reinterpret_cast<TLresultFromObject>(reinterpret_cast<void*>(GetProcAddress(lib, "LresultFromObject")));
        OleAcc.AccessibleObjectFromWindowFunc =
            reinterpret_cast<TAccessibleObjectFromWindow>(
            reinterpret_cast<void*>(GetProcAddress(lib, "AccessibleObjectFromWindow")));
    }
    OleAcc.Available = OleAcc.LresultFromObjectFunc && OleAcc.AccessibleObjectFromWindowFunc;
    return OleAcc.Available;
}

void ForgetOleAcc() {
    OleAcc.Inited = false;
    OleAcc.Available = false;
    OleAcc.LresultFromObjectFunc = nullptr;
    OleAcc.AccessibleObjectFromWindowFunc = nullptr;
}

void CallNotifyWinEvent(DWORD Event, HWND Wnd, LONG ObjectId, LONG ChildId) {
    if (!OleAcc.NotifyLookedUp) {
        OleAcc.NotifyLookedUp = true;
        if (const HMODULE user = GetModuleHandleW(u"user32.dll"))
            OleAcc.NotifyWinEventFunc = reinterpret_cast<TNotifyWinEvent>(
                reinterpret_cast<void*>(GetProcAddress(user, "NotifyWinEvent")));
    }
    if (OleAcc.NotifyWinEventFunc) OleAcc.NotifyWinEventFunc(Event, Wnd, ObjectId, ChildId);
}

HRESULT WindowAccObject(HWND Wnd, IDispatch*& Result) {
    Result = nullptr;
    if (!InitOleAcc()) return E_FAIL;
    void* object = nullptr;
    const HRESULT hr = OleAcc.AccessibleObjectFromWindowFunc(Wnd, DWORD(OBJID_WINDOW), IID_IDispatch, &object);
    if (SUCCEEDED(hr)) Result = static_cast<IDispatch*>(object);
    return hr;
}

void DisconnectAccObjects() {
    std::lock_guard<std::mutex> guard(AccObjectListLock);
    for (TBarCustomAccObject* o = AccObjectList; o; o = o->Previous()) CoDisconnectObject(o, 0);
}

int ViewAccObjectCount() { return ViewObjects; }
int ItemViewerAccObjectCount() { return ViewerObjects; }

String GetAltKeyName() {
    char16_t name[64] = {};
    const UINT scan = MapVirtualKeyW(VK_MENU, 0);
    if (scan && GetKeyNameTextW(LONG(scan << 16), reinterpret_cast<LPWSTR>(name), 64) > 0)
        return String::fromUtf16(name);
    return QStringLiteral("Alt");
}

// ---- the base objects ----

HRESULT STDMETHODCALLTYPE TBarBaseAccObject::QueryInterface(REFIID riid, void** ppvObject) {
    if (!ppvObject) return E_POINTER;
    *ppvObject = nullptr;
    if (!TwIsEqualGUID(&riid, &IID_IUnknown) && !TwIsEqualGUID(&riid, &IID_IDispatch) &&
        !TwIsEqualGUID(&riid, &IID_IAccessible))
        return E_NOINTERFACE;
    *ppvObject = static_cast<IAccessible*>(this);
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE TBarBaseAccObject::AddRef() { return ++FRefCount; }

ULONG STDMETHODCALLTYPE TBarBaseAccObject::Release() {
    const ULONG left = --FRefCount;
    if (left == 0) delete this;
    return left;
}

TBarCustomAccObject::TBarCustomAccObject() {
    std::lock_guard<std::mutex> guard(AccObjectListLock);
    FPrevious = AccObjectList;
    if (AccObjectList) AccObjectList->FNext = this;
    AccObjectList = this;
}

TBarCustomAccObject::~TBarCustomAccObject() {
    std::lock_guard<std::mutex> guard(AccObjectListLock);
    if (AccObjectList == this) AccObjectList = FPrevious;
    if (FPrevious) FPrevious->FNext = FNext;
    if (FNext) FNext->FPrevious = FPrevious;
}

// ---- the view's object ----

TBarViewAccObject::TBarViewAccObject(TBarView* AView) : FView(AView) { ++ViewObjects; }

TBarViewAccObject::~TBarViewAccObject() {
    if (FView && FView->FAccObjectInstance == this) FView->FAccObjectInstance = nullptr;
    --ViewObjects;
}

void TBarViewAccObject::ClientIsDestroying() { FView = nullptr; }

HRESULT TBarViewAccObject::IsValidSelfChild(const VARIANT& varChild) {
    if (!FView) return E_FAIL;
    return IsSelf(varChild) ? S_OK : E_INVALIDARG;
}

HRESULT STDMETHODCALLTYPE TBarViewAccObject::get_accParent(IDispatch** ppdispParent) {
    return Guarded([&] {
        *ppdispParent = nullptr;
        if (!FView) return E_FAIL;
        if (TBarView* parent = FView->ParentView(); parent && parent->OpenViewer())
            return GiveObject(ppdispParent, parent->OpenViewer()->GetAccObject());
        const HWND wnd = WindowOf(FView);
        if (!wnd) return S_FALSE;
        return WindowAccObject(wnd, *ppdispParent);
    });
}

HRESULT STDMETHODCALLTYPE TBarViewAccObject::get_accChildCount(LONG* pcountChildren) {
    return Guarded([&] {
        if (!FView) return E_FAIL;
        *pcountChildren = LONG(AccessibleViewers(FView).size());
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE TBarViewAccObject::get_accChild(VARIANT varChild, IDispatch** ppdispChild) {
    return Guarded([&] {
        *ppdispChild = nullptr;
        if (!FView) return E_FAIL;
        if (varChild.vt != VT_I4) return E_INVALIDARG;
        if (varChild.lVal == CHILDID_SELF) return GiveObject(ppdispChild, this);
        const std::vector<TBarItemViewer*> list = AccessibleViewers(FView);
        if (varChild.lVal < 1 || size_t(varChild.lVal) > list.size()) return E_INVALIDARG;
        TBarItemViewer* viewer = list[size_t(varChild.lVal - 1)];
        // A hosted control answers through its own window.
        if (auto* item = dynamic_cast<TBarControlItem*>(viewer->Item()))
            if (auto* control = dynamic_cast<vcl::TWinControl*>(item->Control()); control && control->HandleAllocated())
                return WindowAccObject(control->Handle(), *ppdispChild);
        return GiveObject(ppdispChild, viewer->GetAccObject());
    });
}

HRESULT STDMETHODCALLTYPE TBarViewAccObject::get_accName(VARIANT varChild, BSTR* pszName) {
    return Guarded([&] {
        *pszName = nullptr;
        if (const HRESULT hr = IsValidSelfChild(varChild); hr != S_OK) return hr;
        String name;
        if (TBarView* parent = FView->ParentView(); parent && parent->OpenViewer())
            name = StripAccelChars(parent->OpenViewer()->CaptionText());
        if (name.isEmpty()) name = WindowText(WindowOf(FView));
        return Text(pszName, name);
    });
}

HRESULT STDMETHODCALLTYPE TBarViewAccObject::get_accValue(VARIANT varChild, BSTR* pszValue) {
    return Guarded([&] {
        if (const HRESULT hr = IsValidSelfChild(varChild); hr != S_OK) return (*pszValue = nullptr, hr);
        return Nothing(pszValue);
    });
}

HRESULT STDMETHODCALLTYPE TBarViewAccObject::get_accDescription(VARIANT varChild, BSTR* pszDescription) {
    return get_accValue(varChild, pszDescription);
}

HRESULT STDMETHODCALLTYPE TBarViewAccObject::get_accHelp(VARIANT varChild, BSTR* pszHelp) {
    return get_accValue(varChild, pszHelp);
}

HRESULT STDMETHODCALLTYPE TBarViewAccObject::get_accDefaultAction(VARIANT varChild, BSTR* pszDefaultAction) {
    return get_accValue(varChild, pszDefaultAction);
}

HRESULT STDMETHODCALLTYPE TBarViewAccObject::get_accHelpTopic(BSTR* pszHelpFile, VARIANT varChild, LONG* pidTopic) {
    *pidTopic = 0;
    return get_accValue(varChild, pszHelpFile);
}

HRESULT STDMETHODCALLTYPE TBarViewAccObject::get_accRole(VARIANT varChild, VARIANT* pvarRole) {
    return Guarded([&] {
        VariantInit(pvarRole);
        if (const HRESULT hr = IsValidSelfChild(varChild); hr != S_OK) return hr;
        SetInt(pvarRole, FView->IsPopup()                     ? ROLE_SYSTEM_MENUPOPUP
                         : FView->Style.Contains(vsMenuBar) ? ROLE_SYSTEM_MENUBAR
                                                            : ROLE_SYSTEM_TOOLBAR);
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE TBarViewAccObject::get_accState(VARIANT varChild, VARIANT* pvarState) {
    return Guarded([&] {
        VariantInit(pvarState);
        if (const HRESULT hr = IsValidSelfChild(varChild); hr != S_OK) return hr;
        SetInt(pvarState, 0);
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE TBarViewAccObject::get_accKeyboardShortcut(VARIANT varChild, BSTR* pszKeyboardShortcut) {
    return Guarded([&] {
        *pszKeyboardShortcut = nullptr;
        if (const HRESULT hr = IsValidSelfChild(varChild); hr != S_OK) return hr;
        if (!FView->Style.Contains(vsMenuBar)) return S_FALSE;
        return Text(pszKeyboardShortcut, GetAltKeyName());
    });
}

HRESULT STDMETHODCALLTYPE TBarViewAccObject::get_accFocus(VARIANT* pvarChild) {
    VariantInit(pvarChild);
    return S_FALSE;
}

HRESULT STDMETHODCALLTYPE TBarViewAccObject::get_accSelection(VARIANT* pvarChildren) {
    VariantInit(pvarChildren);
    return S_FALSE;
}

HRESULT STDMETHODCALLTYPE TBarViewAccObject::accSelect(LONG, VARIANT varChild) {
    return Guarded([&] {
        if (const HRESULT hr = IsValidSelfChild(varChild); hr != S_OK) return hr;
        return DISP_E_MEMBERNOTFOUND;
    });
}

HRESULT STDMETHODCALLTYPE TBarViewAccObject::accLocation(LONG* pxLeft, LONG* pyTop, LONG* pcxWidth, LONG* pcyHeight,
                                                         VARIANT varChild) {
    return Guarded([&] {
        if (const HRESULT hr = IsValidSelfChild(varChild); hr != S_OK) return hr;
        RECT r{};
        if (const HWND wnd = WindowOf(FView)) GetWindowRect(wnd, &r);
        *pxLeft = r.left;
        *pyTop = r.top;
        *pcxWidth = r.right - r.left;
        *pcyHeight = r.bottom - r.top;
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE TBarViewAccObject::accNavigate(LONG navDir, VARIANT varStart, VARIANT* pvarEndUpAt) {
    return Guarded([&] {
        VariantInit(pvarEndUpAt);
        if (const HRESULT hr = IsValidSelfChild(varStart); hr != S_OK) return hr;
        const std::vector<TBarItemViewer*> list = AccessibleViewers(FView);
        if (list.empty() || (navDir != NAVDIR_FIRSTCHILD && navDir != NAVDIR_LASTCHILD)) return S_FALSE;
        return SetObject(pvarEndUpAt, (navDir == NAVDIR_FIRSTCHILD ? list.front() : list.back())->GetAccObject());
    });
}

HRESULT STDMETHODCALLTYPE TBarViewAccObject::accHitTest(LONG xLeft, LONG yTop, VARIANT* pvarChild) {
    return Guarded([&] {
        VariantInit(pvarChild);
        if (!FView) return E_FAIL;
        const HWND wnd = WindowOf(FView);
        if (!wnd) return S_FALSE;
        RECT r;
        GetWindowRect(wnd, &r);
        if (xLeft < r.left || xLeft >= r.right || yTop < r.top || yTop >= r.bottom) return S_FALSE;
        POINT p{xLeft, yTop};
        ::ScreenToClient(wnd, &p);
        if (const HWND child = ChildWindowFromPointEx(wnd, p, CWP_SKIPINVISIBLE); child && child != wnd) {
            IDispatch* object = nullptr;
            const HRESULT hr = WindowAccObject(child, object);
            if (object) {
                pvarChild->vt = VT_DISPATCH;
                pvarChild->pdispVal = object;
            }
            return hr;
        }
        if (TBarItemViewer* v = FView->ViewerFromPoint(TPoint(p))) return SetObject(pvarChild, v->GetAccObject());
        SetInt(pvarChild, CHILDID_SELF);
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE TBarViewAccObject::accDoDefaultAction(VARIANT varChild) {
    return Guarded([&] {
        if (const HRESULT hr = IsValidSelfChild(varChild); hr != S_OK) return hr;
        return S_FALSE;
    });
}

HRESULT STDMETHODCALLTYPE TBarViewAccObject::put_accName(VARIANT varChild, BSTR) { return accDoDefaultAction(varChild); }
HRESULT STDMETHODCALLTYPE TBarViewAccObject::put_accValue(VARIANT varChild, BSTR) { return accDoDefaultAction(varChild); }

// ---- the item viewer's object ----

TBarItemViewerAccObject::TBarItemViewerAccObject(TBarItemViewer* AViewer) : FViewer(AViewer) { ++ViewerObjects; }

TBarItemViewerAccObject::~TBarItemViewerAccObject() {
    if (FViewer && FViewer->FAccObjectInstance == this) FViewer->FAccObjectInstance = nullptr;
    --ViewerObjects;
}

void TBarItemViewerAccObject::ClientIsDestroying() { FViewer = nullptr; }

HRESULT TBarItemViewerAccObject::IsValidSelfChild(const VARIANT& varChild) {
    if (!FViewer) return E_FAIL;
    return IsSelf(varChild) ? S_OK : E_INVALIDARG;
}

bool TBarItemViewerAccObject::IsAvailable() {
    TBarView* view = FViewer->View();
    vcl::TWinControl* window = view->Window();
    if (!window || window->ComponentState().Contains(rtl::csDesigning) || !window->HandleAllocated()) return false;
    const HWND wnd = window->Handle();
    if (!IsWindowVisible(wnd)) return false;
    for (HWND w = wnd; w; w = GetParent(w))
        if (!IsWindowEnabled(w)) return false;
    if (view->State.Contains(vsModal)) return true;
    const HWND active = GetActiveWindow();
    return active && (active == wnd || IsChild(active, wnd));
}

bool TBarItemViewerAccObject::CanAct() {
    const TBarCustomItem* item = FViewer->Item();
    return FViewer->IsAccessible() && item->Enabled() && item->ItemStyle().Contains(tbisSelectable) && IsAvailable();
}

void TBarItemViewerAccObject::HandleAccSelect(bool AExecute) {
    if (!FViewer) return;
    if (AExecute ? !CanAct() : !IsAvailable()) return;
    TBarView* view = FViewer->View();
    view->Select(FViewer, false);
    view->ScrollSelectedIntoView();
    if (view->State.Contains(vsModal)) {
        if (AExecute) view->ExecuteSelected(false);
    } else if (!view->ParentView() && !GetCapture()) {
        TBarEnterToolbarLoopOptions options{tbetFromMSAA};
        if (AExecute) options.Include(tbetExecuteSelected);
        view->EnterToolbarLoop(options);
    }
}

HRESULT STDMETHODCALLTYPE TBarItemViewerAccObject::get_accParent(IDispatch** ppdispParent) {
    return Guarded([&] {
        *ppdispParent = nullptr;
        if (!FViewer) return E_FAIL;
        return GiveObject(ppdispParent, FViewer->View()->GetAccObject());
    });
}

HRESULT STDMETHODCALLTYPE TBarItemViewerAccObject::get_accChildCount(LONG* pcountChildren) {
    return Guarded([&] {
        if (!FViewer) return E_FAIL;
        *pcountChildren = FViewer->View()->OpenViewer() == FViewer ? 1 : 0;
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE TBarItemViewerAccObject::get_accChild(VARIANT varChild, IDispatch** ppdispChild) {
    return Guarded([&] {
        *ppdispChild = nullptr;
        if (!FViewer) return E_FAIL;
        if (varChild.vt != VT_I4) return E_INVALIDARG;
        if (varChild.lVal == CHILDID_SELF) return GiveObject(ppdispChild, this);
        if (varChild.lVal != 1) return E_INVALIDARG;
        TBarView* open = FViewer->View()->OpenViewer() == FViewer ? FViewer->View()->OpenViewerView() : nullptr;
        return GiveObject(ppdispChild, open ? open->GetAccObject() : nullptr);
    });
}

HRESULT STDMETHODCALLTYPE TBarItemViewerAccObject::get_accName(VARIANT varChild, BSTR* pszName) {
    return Guarded([&] {
        *pszName = nullptr;
        if (const HRESULT hr = IsValidSelfChild(varChild); hr != S_OK) return hr;
        String name = StripAccelChars(FViewer->CaptionText());
        if (!FViewer->IsToolbarStyle()) {
            const String shortcut = FViewer->Item()->GetShortCutText();
            if (!shortcut.isEmpty()) name += u'\t' + shortcut;
        }
        return Text(pszName, name);
    });
}

HRESULT STDMETHODCALLTYPE TBarItemViewerAccObject::get_accValue(VARIANT varChild, BSTR* pszValue) {
    return Guarded([&] {
        *pszValue = nullptr;
        if (const HRESULT hr = IsValidSelfChild(varChild); hr != S_OK) return hr;
        String value;
        if (!FViewer->AccessibleValue(value)) return S_FALSE;
        return Text(pszValue, value);
    });
}

HRESULT STDMETHODCALLTYPE TBarItemViewerAccObject::get_accDescription(VARIANT varChild, BSTR* pszDescription) {
    return Guarded([&] {
        *pszDescription = nullptr;
        if (const HRESULT hr = IsValidSelfChild(varChild); hr != S_OK) return hr;
        return S_FALSE;
    });
}

HRESULT STDMETHODCALLTYPE TBarItemViewerAccObject::get_accHelp(VARIANT varChild, BSTR* pszHelp) {
    return get_accDescription(varChild, pszHelp);
}

HRESULT STDMETHODCALLTYPE TBarItemViewerAccObject::get_accHelpTopic(BSTR* pszHelpFile, VARIANT varChild,
                                                                    LONG* pidTopic) {
    *pidTopic = 0;
    return get_accDescription(varChild, pszHelpFile);
}

HRESULT STDMETHODCALLTYPE TBarItemViewerAccObject::get_accRole(VARIANT varChild, VARIANT* pvarRole) {
    return Guarded([&] {
        VariantInit(pvarRole);
        if (const HRESULT hr = IsValidSelfChild(varChild); hr != S_OK) return hr;
        SetInt(pvarRole, FViewer->AccessibleRole());
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE TBarItemViewerAccObject::get_accState(VARIANT varChild, VARIANT* pvarState) {
    return Guarded([&] {
        VariantInit(pvarState);
        if (const HRESULT hr = IsValidSelfChild(varChild); hr != S_OK) return hr;
        TBarView* view = FViewer->View();
        const TBarCustomItem* item = FViewer->Item();
        LONG state = 0;
        if (view->Selected() == FViewer) {
            state |= STATE_SYSTEM_HOTTRACKED;
            if (view->State.Contains(vsModal)) state |= STATE_SYSTEM_FOCUSED;
            if (view->Capture() && view->MouseOverSelected()) state |= STATE_SYSTEM_PRESSED;
        }
        if (item->ItemStyle().Contains(tbisSubmenu)) state |= STATE_SYSTEM_HASPOPUP;
        if (!FViewer->Show() && !FViewer->Clipped())
            state |= STATE_SYSTEM_INVISIBLE;
        else if (IsAvailable())
            state |= STATE_SYSTEM_FOCUSABLE;
        if (!item->Enabled() || !item->ItemStyle().Contains(tbisSelectable)) state |= STATE_SYSTEM_UNAVAILABLE;
        if (item->Checked()) state |= STATE_SYSTEM_CHECKED;
        SetInt(pvarState, state);
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE TBarItemViewerAccObject::get_accKeyboardShortcut(VARIANT varChild,
                                                                           BSTR* pszKeyboardShortcut) {
    return Guarded([&] {
        *pszKeyboardShortcut = nullptr;
        if (const HRESULT hr = IsValidSelfChild(varChild); hr != S_OK) return hr;
        if (!FViewer->ShowsCaption()) return S_FALSE;
        const char16_t accel = FindAccelChar(FViewer->CaptionText());
        if (!accel) return S_FALSE;
        const String key = String(QChar(accel)).toLower();
        if (FViewer->View()->IsPopup()) return Text(pszKeyboardShortcut, key);
        return Text(pszKeyboardShortcut, GetAltKeyName() + u'+' + key);
    });
}

HRESULT STDMETHODCALLTYPE TBarItemViewerAccObject::get_accFocus(VARIANT* pvarChild) {
    return Guarded([&] {
        VariantInit(pvarChild);
        if (!FViewer) return E_FAIL;
        TBarView* view = FViewer->View();
        if (!view->State.Contains(vsModal) || view->Selected() != FViewer) return S_FALSE;
        SetInt(pvarChild, CHILDID_SELF);
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE TBarItemViewerAccObject::get_accSelection(VARIANT* pvarChildren) {
    VariantInit(pvarChildren);
    return S_FALSE;
}

HRESULT STDMETHODCALLTYPE TBarItemViewerAccObject::get_accDefaultAction(VARIANT varChild, BSTR* pszDefaultAction) {
    return Guarded([&] {
        *pszDefaultAction = nullptr;
        if (const HRESULT hr = IsValidSelfChild(varChild); hr != S_OK) return hr;
        if (!CanAct()) return S_FALSE;
        TBarView* view = FViewer->View();
        const char* action = view->OpenViewer() == FViewer                           ? "Close"
                             : FViewer->Item()->ItemStyle().Contains(tbisSubmenu)   ? "Open"
                             : view->IsPopup() || view->Style.Contains(vsMenuBar)  ? "Execute"
                                                                                   : "Press";
        return Text(pszDefaultAction, String::fromLatin1(action));
    });
}

HRESULT STDMETHODCALLTYPE TBarItemViewerAccObject::accSelect(LONG flagsSelect, VARIANT varChild) {
    return Guarded([&] {
        if (const HRESULT hr = IsValidSelfChild(varChild); hr != S_OK) return hr;
        if (flagsSelect != SELFLAG_TAKEFOCUS) return E_INVALIDARG;
        if (!IsAvailable() || (!FViewer->Show() && !FViewer->Clipped())) return E_FAIL;
        TBarView* view = FViewer->View();
        view->Select(FViewer, false);
        view->ScrollSelectedIntoView();
        if (!view->State.Contains(vsModal) && !view->ParentView()) FViewer->PostAccSelect(0);
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE TBarItemViewerAccObject::accLocation(LONG* pxLeft, LONG* pyTop, LONG* pcxWidth,
                                                               LONG* pcyHeight, VARIANT varChild) {
    return Guarded([&] {
        if (const HRESULT hr = IsValidSelfChild(varChild); hr != S_OK) return hr;
        return ScreenRect(WindowOf(FViewer->View()), FViewer->BoundsRect(), pxLeft, pyTop, pcxWidth, pcyHeight);
    });
}

HRESULT STDMETHODCALLTYPE TBarItemViewerAccObject::accNavigate(LONG navDir, VARIANT varStart, VARIANT* pvarEndUpAt) {
    return Guarded([&] {
        VariantInit(pvarEndUpAt);
        if (const HRESULT hr = IsValidSelfChild(varStart); hr != S_OK) return hr;
        TBarView* view = FViewer->View();
        switch (navDir) {
        case NAVDIR_FIRSTCHILD:
        case NAVDIR_LASTCHILD:
            if (view->OpenViewer() != FViewer || !view->OpenViewerView()) return S_FALSE;
            return SetObject(pvarEndUpAt, view->OpenViewerView()->GetAccObject());
        case NAVDIR_UP:
        case NAVDIR_LEFT:
        case NAVDIR_PREVIOUS:
            for (int i = view->IndexOf(FViewer) - 1; i >= 0; --i)
                if (view->GetViewer(i)->IsAccessible()) return SetObject(pvarEndUpAt, view->GetViewer(i)->GetAccObject());
            return S_FALSE;
        case NAVDIR_DOWN:
        case NAVDIR_RIGHT:
        case NAVDIR_NEXT:
            for (int i = view->IndexOf(FViewer) + 1; i < view->ViewerCount(); ++i)
                if (view->GetViewer(i)->IsAccessible()) return SetObject(pvarEndUpAt, view->GetViewer(i)->GetAccObject());
            return S_FALSE;
        default: return S_FALSE;
        }
    });
}

HRESULT STDMETHODCALLTYPE TBarItemViewerAccObject::accHitTest(LONG xLeft, LONG yTop, VARIANT* pvarChild) {
    return Guarded([&] {
        VariantInit(pvarChild);
        if (!FViewer) return E_FAIL;
        LONG x, y, w, h;
        ScreenRect(WindowOf(FViewer->View()), FViewer->BoundsRect(), &x, &y, &w, &h);
        if (xLeft < x || xLeft >= x + w || yTop < y || yTop >= y + h) return S_FALSE;
        SetInt(pvarChild, CHILDID_SELF);
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE TBarItemViewerAccObject::accDoDefaultAction(VARIANT varChild) {
    return Guarded([&] {
        if (const HRESULT hr = IsValidSelfChild(varChild); hr != S_OK) return hr;
        if (!CanAct()) return E_FAIL;
        TBarView* view = FViewer->View();
        if (view->OpenViewer() == FViewer) {
            view->CancelChildPopups();
            if (view->State.Contains(vsModal) && !view->IsPopup()) view->EndModal();
            return S_OK;
        }
        view->Select(FViewer, false);
        view->ScrollSelectedIntoView();
        FViewer->PostAccSelect(1);
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE TBarItemViewerAccObject::put_accName(VARIANT varChild, BSTR) {
    const HRESULT hr = IsValidSelfChild(varChild);
    return hr != S_OK ? hr : S_FALSE;
}

HRESULT STDMETHODCALLTYPE TBarItemViewerAccObject::put_accValue(VARIANT varChild, BSTR) {
    return put_accName(varChild, nullptr);
}

} // namespace bars
