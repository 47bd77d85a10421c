/* tests/platform/oleacc/oracle/probe.c: what the system's accessibility library answers for the
 * standard objects of a plain window and of a push button on it, written as "standard-objects.txt":
 * one line per question, "<window> <object> <question>\t<answer>", where the window is "form",
 * "button" or "disabled" (a second button, disabled), the object "window" or "client", and the answers
 * are "role <n>", "name <text>" ("-" for none), "state <hex>", "location <x> <y> <w> <h>" and
 * "children <n>", or "hr <hex>" when the call fails. Two lines more give WM_GETOBJECT's default answer
 * (DefWindowProc) for the client and the window object. The form is a popup window at (100, 100),
 * 300 x 200, without a frame, so that the locations do not depend on the theme. */
#define COBJMACROS
#include <windows.h>
#include <oleacc.h>
#include <stdio.h>

static FILE *out;
/* Spelled out: the cross compiler's import libraries do not all carry them. */
static const GUID IidAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
static const GUID IidDispatch = {0x00020400, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

static void put(const char *who, const char *what, const char *question, const char *answer) {
    fprintf(out, "%s %s %s\t%s\n", who, what, question, answer);
}

static void ask(const char *who, HWND wnd, LONG id) {
    const char *what = id == OBJID_WINDOW ? "window" : "client";
    IAccessible *acc = NULL;
    char text[512];
    VARIANT self, v;
    BSTR name = NULL;
    LONG x, y, w, h, n;
    IDispatch *d = NULL;
    HRESULT hr = AccessibleObjectFromWindow(wnd, (DWORD)id, &IidDispatch, (void **)&d);
    if (SUCCEEDED(hr) && d) {
        hr = IDispatch_QueryInterface(d, &IidAccessible, (void **)&acc);
        IDispatch_Release(d);
    }
    sprintf(text, "hr %08lx", (unsigned long)hr);
    put(who, what, "object", text);
    if (FAILED(hr) || !acc) {
        /* The standard object made in process, without going through WM_GETOBJECT. */
        hr = CreateStdAccessibleObject(wnd, id, &IidAccessible, (void **)&acc);
        sprintf(text, "hr %08lx", (unsigned long)hr);
        put(who, what, "standard", text);
        if (FAILED(hr) || !acc) return;
    }
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    hr = IAccessible_get_accRole(acc, self, &v);
    if (SUCCEEDED(hr) && v.vt == VT_I4) sprintf(text, "%ld", (long)v.lVal);
    else sprintf(text, "hr %08lx", (unsigned long)hr);
    put(who, what, "role", text);
    hr = IAccessible_get_accName(acc, self, &name);
    if (hr == S_OK && name) {
        WideCharToMultiByte(CP_UTF8, 0, name, -1, text, sizeof text, NULL, NULL);
        SysFreeString(name);
    } else if (SUCCEEDED(hr)) strcpy(text, "-");
    else sprintf(text, "hr %08lx", (unsigned long)hr);
    put(who, what, "name", text);
    hr = IAccessible_get_accState(acc, self, &v);
    if (SUCCEEDED(hr) && v.vt == VT_I4) sprintf(text, "%08lx", (unsigned long)v.lVal);
    else sprintf(text, "hr %08lx", (unsigned long)hr);
    put(who, what, "state", text);
    hr = IAccessible_accLocation(acc, &x, &y, &w, &h, self);
    if (SUCCEEDED(hr)) sprintf(text, "%ld %ld %ld %ld", (long)x, (long)y, (long)w, (long)h);
    else sprintf(text, "hr %08lx", (unsigned long)hr);
    put(who, what, "location", text);
    hr = IAccessible_get_accChildCount(acc, &n);
    if (SUCCEEDED(hr)) sprintf(text, "%ld", (long)n);
    else sprintf(text, "hr %08lx", (unsigned long)hr);
    put(who, what, "children", text);
    IAccessible_Release(acc);
}

int main(void) {
    WNDCLASSW wc = {0};
    HWND form, button, disabled;
    char text[64];
    CoInitialize(NULL);
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(NULL);
    wc.lpszClassName = L"ProbeForm";
    RegisterClassW(&wc);
    form = CreateWindowExW(0, L"ProbeForm", L"Form", WS_POPUP | WS_VISIBLE, 100, 100, 300, 200, NULL, NULL,
                           wc.hInstance, NULL);
    button = CreateWindowExW(0, L"BUTTON", L"&Run", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 10, 10,
                             80, 24, form, NULL, wc.hInstance, NULL);
    disabled = CreateWindowExW(0, L"BUTTON", L"Stop", WS_CHILD | WS_VISIBLE | WS_DISABLED | BS_PUSHBUTTON, 100,
                               10, 80, 24, form, NULL, wc.hInstance, NULL);
    SetForegroundWindow(form);
    SetFocus(button);
    out = fopen("standard-objects.txt", "wb");
    if (!out) return 1;
    ask("form", form, OBJID_WINDOW);
    ask("form", form, OBJID_CLIENT);
    ask("button", button, OBJID_WINDOW);
    ask("button", button, OBJID_CLIENT);
    ask("disabled", disabled, OBJID_CLIENT);
    sprintf(text, "%ld", (long)DefWindowProcW(form, WM_GETOBJECT, 0, (LPARAM)OBJID_CLIENT));
    put("form", "client", "wm_getobject", text);
    sprintf(text, "%ld", (long)DefWindowProcW(form, WM_GETOBJECT, 0, (LPARAM)OBJID_WINDOW));
    put("form", "window", "wm_getobject", text);
    fclose(out);
    DestroyWindow(form);
    CoUninitialize();
    printf("probe: standard-objects\n");
    return 0;
}
