// toolbars/BarAcc.h: accessibility objects of views and item viewers. Bars draw their items
// themselves, so assistive tools reach them through these objects: a view's object comes from
// WM_GETOBJECT on its window, the item objects from it. Everything depends on the accessibility
// library at run time; without it no objects are made and menus work as before.
#pragma once
#include "toolbars/BarItem.h"

#include "win/oleacc/oleacc.h"

#include <atomic>

namespace bars {

// A reference-counted object with the accessibility interface; late binding is not offered.
class TBarBaseAccObject : public IAccessible {
public:
    // The view or viewer behind the object is being destroyed: every query fails from now on.
    virtual void ClientIsDestroying() = 0;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, void**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, void*, VARIANT*, void*, UINT*) override {
        return E_NOTIMPL;
    }

protected:
    virtual ~TBarBaseAccObject() = default;
    std::atomic<ULONG> FRefCount{0};
};

// An object linked into the list of live objects, newest first.
class TBarCustomAccObject : public TBarBaseAccObject {
public:
    TBarCustomAccObject();
    TBarCustomAccObject* Previous() const { return FPrevious; }

protected:
    ~TBarCustomAccObject() override;
    TBarCustomAccObject* FPrevious = nullptr;
    TBarCustomAccObject* FNext = nullptr;
};

// The IAccessible methods, as both object classes override them.
#define TW_BAR_ACC_METHODS \
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** ppdispParent) override; \
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* pcountChildren) override; \
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT varChild, IDispatch** ppdispChild) override; \
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT varChild, BSTR* pszName) override; \
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT varChild, BSTR* pszValue) override; \
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT varChild, BSTR* pszDescription) override; \
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT varChild, VARIANT* pvarRole) override; \
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT varChild, VARIANT* pvarState) override; \
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT varChild, BSTR* pszHelp) override; \
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* pszHelpFile, VARIANT varChild, \
                                               LONG* pidTopic) override; \
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT varChild, BSTR* pszKeyboardShortcut) override; \
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* pvarChild) override; \
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* pvarChildren) override; \
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT varChild, BSTR* pszDefaultAction) override; \
    HRESULT STDMETHODCALLTYPE accSelect(LONG flagsSelect, VARIANT varChild) override; \
    HRESULT STDMETHODCALLTYPE accLocation(LONG* pxLeft, LONG* pyTop, LONG* pcxWidth, LONG* pcyHeight, \
                                          VARIANT varChild) override; \
    HRESULT STDMETHODCALLTYPE accNavigate(LONG navDir, VARIANT varStart, VARIANT* pvarEndUpAt) override; \
    HRESULT STDMETHODCALLTYPE accHitTest(LONG xLeft, LONG yTop, VARIANT* pvarChild) override; \
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT varChild) override; \
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT varChild, BSTR szName) override; \
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT varChild, BSTR szValue) override;

class TBarViewAccObject : public TBarCustomAccObject {
public:
    explicit TBarViewAccObject(TBarView* AView);
    void ClientIsDestroying() override;

    TW_BAR_ACC_METHODS

protected:
    ~TBarViewAccObject() override;
    HRESULT IsValidSelfChild(const VARIANT& varChild);
    TBarView* FView;
};

class TBarItemViewerAccObject : public TBarCustomAccObject {
public:
    explicit TBarItemViewerAccObject(TBarItemViewer* AViewer);
    void ClientIsDestroying() override;
    // The deferred selection queued by accSelect and accDoDefaultAction.
    void HandleAccSelect(bool AExecute);

    TW_BAR_ACC_METHODS

protected:
    ~TBarItemViewerAccObject() override;
    HRESULT IsValidSelfChild(const VARIANT& varChild);
    bool IsAvailable();
    bool CanAct();
    TBarItemViewer* FViewer;
};

#undef TW_BAR_ACC_METHODS

// Loads the accessibility library once; true when both of its entry points exist.
bool InitOleAcc();
// Forgets the answer, so the next InitOleAcc looks again (after tests hid an entry point).
void ForgetOleAcc();
void CallNotifyWinEvent(DWORD Event, HWND Wnd, LONG ObjectId, LONG ChildId);
// The standard object of a real window, or the failure code.
HRESULT WindowAccObject(HWND Wnd, IDispatch*& Result);
// No outside client may call into the objects once their code is going away.
void DisconnectAccObjects();
int ViewAccObjectCount();
int ItemViewerAccObjectCount();
// The Alt key's name as the keyboard spells it, else "Alt".
String GetAltKeyName();

} // namespace bars
