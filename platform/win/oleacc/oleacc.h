// win/oleacc/oleacc.h: the accessibility library "oleacc.dll": the IDispatch and IAccessible
// interfaces, VARIANT with the types the program passes (VT_EMPTY, VT_I4, VT_DISPATCH), BSTR strings,
// handing an object out through WM_GETOBJECT (LresultFromObject / ObjectFromLresult) and the
// standard objects of windows (AccessibleObjectFromWindow). Everything stays in process: an lresult
// is a cookie in a table of this module, not a marshalled stream.
#pragma once

#include "win/shell32/objbase.h"

extern "C" {

typedef char16_t OLECHAR;
typedef OLECHAR* BSTR;
typedef OLECHAR* LPOLESTR;
typedef unsigned short VARTYPE;
typedef LONG DISPID;
typedef DWORD LCID;

#define VT_EMPTY 0
#define VT_I4 3
#define VT_DISPATCH 9

#define DISP_E_MEMBERNOTFOUND ((HRESULT)0x80020003L)

// Roles, states and navigation of the accessibility interface.
#define ROLE_SYSTEM_MENUBAR 2
#define ROLE_SYSTEM_WINDOW 9
#define ROLE_SYSTEM_CLIENT 10
#define ROLE_SYSTEM_MENUPOPUP 11
#define ROLE_SYSTEM_MENUITEM 12
#define ROLE_SYSTEM_SEPARATOR 21
#define ROLE_SYSTEM_TOOLBAR 22
#define ROLE_SYSTEM_PUSHBUTTON 43
#define ROLE_SYSTEM_BUTTONMENU 57
#define STATE_SYSTEM_UNAVAILABLE 0x1
#define STATE_SYSTEM_FOCUSED 0x4
#ifndef STATE_SYSTEM_PRESSED
#define STATE_SYSTEM_PRESSED 0x8
#endif
#define STATE_SYSTEM_CHECKED 0x10
#define STATE_SYSTEM_HOTTRACKED 0x80
#ifndef STATE_SYSTEM_INVISIBLE
#define STATE_SYSTEM_INVISIBLE 0x8000
#endif
#define STATE_SYSTEM_FOCUSABLE 0x100000
#define STATE_SYSTEM_HASPOPUP 0x40000000
#define NAVDIR_UP 1
#define NAVDIR_DOWN 2
#define NAVDIR_LEFT 3
#define NAVDIR_RIGHT 4
#define NAVDIR_NEXT 5
#define NAVDIR_PREVIOUS 6
#define NAVDIR_FIRSTCHILD 7
#define NAVDIR_LASTCHILD 8
#define SELFLAG_TAKEFOCUS 0x1

} // extern "C"

struct IDispatch;

struct VARIANT {
    VARTYPE vt;
    WORD wReserved1, wReserved2, wReserved3;
    union {
        LONG lVal;
        IDispatch* pdispVal;
        LONGLONG llVal;
    };
};

struct IDispatch : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* pctinfo) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT iTInfo, LCID lcid, void** ppTInfo) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid,
                                                    DISPID* rgDispId) = 0;
    virtual HRESULT STDMETHODCALLTYPE Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags,
                                             void* pDispParams, VARIANT* pVarResult, void* pExcepInfo,
                                             UINT* puArgErr) = 0;
};

struct IAccessible : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** ppdispParent) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* pcountChildren) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_accChild(VARIANT varChild, IDispatch** ppdispChild) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_accName(VARIANT varChild, BSTR* pszName) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_accValue(VARIANT varChild, BSTR* pszValue) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT varChild, BSTR* pszDescription) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_accRole(VARIANT varChild, VARIANT* pvarRole) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_accState(VARIANT varChild, VARIANT* pvarState) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT varChild, BSTR* pszHelp) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* pszHelpFile, VARIANT varChild, LONG* pidTopic) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT varChild, BSTR* pszKeyboardShortcut) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* pvarChild) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* pvarChildren) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT varChild, BSTR* pszDefaultAction) = 0;
    virtual HRESULT STDMETHODCALLTYPE accSelect(LONG flagsSelect, VARIANT varChild) = 0;
    virtual HRESULT STDMETHODCALLTYPE accLocation(LONG* pxLeft, LONG* pyTop, LONG* pcxWidth, LONG* pcyHeight,
                                                  VARIANT varChild) = 0;
    virtual HRESULT STDMETHODCALLTYPE accNavigate(LONG navDir, VARIANT varStart, VARIANT* pvarEndUpAt) = 0;
    virtual HRESULT STDMETHODCALLTYPE accHitTest(LONG xLeft, LONG yTop, VARIANT* pvarChild) = 0;
    virtual HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT varChild) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_accName(VARIANT varChild, BSTR szName) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_accValue(VARIANT varChild, BSTR szValue) = 0;
};

extern "C" {

extern TW_EXPORT const IID IID_IUnknown;
extern TW_EXPORT const IID IID_IDispatch;
extern TW_EXPORT const IID IID_IAccessible;

BOOL WINAPI TwIsEqualGUID(const GUID* a, const GUID* b);

// Strings of the automation library, kept in this module: a length prefix before the characters.
BSTR WINAPI SysAllocString(const OLECHAR* psz);
BSTR WINAPI SysAllocStringLen(const OLECHAR* strIn, UINT ui);
void WINAPI SysFreeString(BSTR bstrString);
UINT WINAPI SysStringLen(BSTR pbstr);
void WINAPI VariantInit(VARIANT* pvarg);
// Releases a VT_DISPATCH value; every variant is VT_EMPTY afterwards.
HRESULT WINAPI VariantClear(VARIANT* pvarg);

// A positive cookie that ObjectFromLresult turns back into the object (once); the table holds a
// reference until then. An error HRESULT (negative) when the object lacks the interface.
LRESULT WINAPI LresultFromObject(REFIID riid, WPARAM wParam, IUnknown* punk);
HRESULT WINAPI ObjectFromLresult(LRESULT lResult, REFIID riid, WPARAM wParam, void** ppvObject);
// OBJID_WINDOW or OBJID_CLIENT: the window's own object when WM_GETOBJECT gives one, otherwise the
// standard object (role, name from the window text, state, location, parent, child windows).
HRESULT WINAPI AccessibleObjectFromWindow(HWND hwnd, DWORD dwId, REFIID riid, void** ppvObject);

} // extern "C"
