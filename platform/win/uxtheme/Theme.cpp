// The visual-styles stand-in: off by default; when on, it draws the elements the program names in a
// flat, light look and answers colours and sizes for them.
#include "win/kernel32/modules.h"
#include "win/user32/winctrl.h"
#include "win/user32/winuser.h"
#include "win/uxtheme/uxtheme.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

bool Active = false;
// The painter of a style the class library draws with, ahead of the visual styles while it is set.
TwThemePartPainter StylePainter = nullptr;
DWORD AppProperties = STAP_ALLOW_NONCLIENT | STAP_ALLOW_CONTROLS | STAP_ALLOW_WEBCONTENT;
// The theme last opened for a window, and the windows whose dialog texture was switched on.
std::map<HWND, HTHEME> WindowThemes;
std::map<HWND, bool> DialogTextures;

// Classes with a look of their own; the handle of a class is its index here plus a base, so that
// opening a class twice gives the same handle.
const char* const Classes[] = {
    "BUTTON", "HEADER",  "TREEVIEW", "SPIN",       "EDIT",     "LISTVIEW",   "COMBOBOX",   "EXPLORERBAR",
    "WINDOW", "TOOLBAR", "TOOLTIP",  "TRACKBAR",   "TAB",      "SCROLLBAR",  "PROGRESS",   "REBAR",
    "MENU",   "LISTBOX", "STATUS",   "DATEPICKER", "MONTHCAL", "TASKDIALOG", "NAVIGATION", "TEXTSTYLE"};
constexpr int ClassCount = int(sizeof Classes / sizeof Classes[0]);
constexpr HTHEME HandleBase = 0x7E000;

enum Cls {
    Button,
    Header,
    TreeView,
    Spin,
    Edit,
    ListView,
    ComboBox,
    ExplorerBar,
    Window,
    ToolBar,
    ToolTip,
    TrackBar,
    Tab,
    ScrollBar,
    Progress,
    Rebar,
    Menu,
    ListBox,
    Status,
    DatePicker,
    MonthCal,
    TaskDialog,
    Navigation,
    TextStyle
};

// Each class-list text (compared without case) gets a handle of its own, the same on every open:
// "Explorer::ListView" and "LISTVIEW" draw alike but are two handles.
struct OpenedList {
    std::u16string key;
    int cls;
};
std::vector<OpenedList>& OpenedLists() {
    static std::vector<OpenedList> lists;
    return lists;
}

int ClassOf(HTHEME h) {
    const HTHEME i = h - HandleBase;
    return (h >= HandleBase && size_t(i) < OpenedLists().size()) ? OpenedLists()[size_t(i)].cls : -1;
}

HTHEME HandleOfList(const std::u16string& list, int cls) {
    std::u16string key;
    for (char16_t c : list) key.push_back(c >= u'a' && c <= u'z' ? char16_t(c - 32) : c);
    auto& lists = OpenedLists();
    for (size_t i = 0; i < lists.size(); ++i)
        if (lists[i].key == key) return HandleBase + HTHEME(i);
    lists.push_back(OpenedList{key, cls});
    return HandleBase + HTHEME(lists.size() - 1);
}

// The name before any "::" (sub-application prefixes such as "Explorer::ListView" keep the class).
int FindClass(const std::u16string& name) {
    std::string upper;
    const size_t colon = name.rfind(u"::");
    for (size_t i = colon == std::u16string::npos ? 0 : colon + 2; i < name.size(); ++i) {
        const char16_t c = name[i];
        if (c > 127) return -1;
        upper.push_back(char(c >= 'a' && c <= 'z' ? c - 32 : c));
    }
    for (int i = 0; i < ClassCount; ++i)
        if (upper == Classes[i]) return i;
    return -1;
}

struct Look {
    COLORREF fill, border, text;
};

// Colours of an element by class, part and state (state 0 is drawn as normal).
Look LookOf(int cls, int part, int state) {
    const bool hot = state == 2, pressed = state == 3, disabled = state == 4;
    switch (cls) {
    case Button:
        if (part == 1) { // push button; state 5 = defaulted
            if (disabled) return {RGB(204, 204, 204), RGB(191, 191, 191), RGB(131, 131, 131)};
            if (pressed) return {RGB(204, 228, 247), RGB(0, 84, 153), RGB(0, 0, 0)};
            if (hot) return {RGB(229, 241, 251), RGB(0, 120, 215), RGB(0, 0, 0)};
            if (state == 5 || state == 6) return {RGB(225, 225, 225), RGB(0, 120, 215), RGB(0, 0, 0)};
            return {RGB(225, 225, 225), RGB(173, 173, 173), RGB(0, 0, 0)};
        }
        if (part == 2 || part == 3) { // radio button, check box: four states per check state
            const int s = state > 0 ? (state - 1) % 4 + 1 : 1;
            if (s == 4) return {RGB(255, 255, 255), RGB(188, 188, 188), RGB(131, 131, 131)};
            if (s == 3) return {RGB(204, 228, 247), RGB(0, 84, 153), RGB(0, 0, 0)};
            if (s == 2) return {RGB(255, 255, 255), RGB(0, 120, 215), RGB(0, 0, 0)};
            return {RGB(255, 255, 255), RGB(51, 51, 51), RGB(0, 0, 0)};
        }
        return {RGB(240, 240, 240), RGB(220, 220, 220), disabled ? RGB(131, 131, 131) : RGB(0, 0, 0)};
    case Header:
        if (pressed) return {RGB(188, 220, 244), RGB(229, 229, 229), RGB(0, 0, 0)};
        if (hot) return {RGB(217, 235, 249), RGB(229, 229, 229), RGB(0, 0, 0)};
        return {RGB(255, 255, 255), RGB(229, 229, 229), RGB(0, 0, 0)};
    case Spin:
    case ComboBox:
    case ScrollBar:
        if (disabled) return {RGB(240, 240, 240), RGB(204, 204, 204), RGB(191, 191, 191)};
        if (pressed) return {RGB(204, 228, 247), RGB(86, 157, 229), RGB(0, 0, 0)};
        if (hot) return {RGB(229, 241, 251), RGB(126, 180, 234), RGB(0, 0, 0)};
        return {RGB(240, 240, 240), RGB(172, 172, 172), RGB(96, 96, 96)};
    case Edit:
    case ListBox:
    case DatePicker:
        if (disabled) return {RGB(240, 240, 240), RGB(204, 204, 204), RGB(109, 109, 109)};
        if (hot) return {RGB(255, 255, 255), RGB(23, 23, 23), RGB(0, 0, 0)};
        if (state == 3 || state == 5) return {RGB(255, 255, 255), RGB(0, 120, 215), RGB(0, 0, 0)}; // focused
        return {RGB(255, 255, 255), RGB(122, 122, 122), RGB(0, 0, 0)};
    case ListView:
    case TreeView:
        if (part == 1 && (state == 3 || state == 6))
            return {RGB(204, 232, 255), RGB(153, 209, 255), RGB(0, 0, 0)};
        if (part == 1 && hot) return {RGB(229, 243, 255), RGB(229, 243, 255), RGB(0, 0, 0)};
        return {RGB(255, 255, 255), RGB(130, 135, 144), RGB(0, 0, 0)};
    case ToolBar:
    case Rebar:
    case Menu:
        if (pressed || state == 5 || state == 6)
            return {RGB(204, 232, 255), RGB(153, 209, 255), RGB(0, 0, 0)};
        if (hot) return {RGB(229, 243, 255), RGB(204, 232, 255), RGB(0, 0, 0)};
        if (disabled) return {RGB(240, 240, 240), RGB(240, 240, 240), RGB(109, 109, 109)};
        return {RGB(240, 240, 240), RGB(240, 240, 240), RGB(0, 0, 0)};
    case ToolTip:
        return {RGB(255, 255, 255), RGB(118, 118, 118), RGB(87, 87, 87)};
    case Window:
        return part == 1 && state != 1 ? Look{RGB(255, 255, 255), RGB(170, 170, 170), RGB(153, 153, 153)}
                                       : Look{RGB(255, 255, 255), RGB(0, 120, 215), RGB(0, 0, 0)};
    case Progress:
        return {part == 5 || part == 3 ? RGB(6, 176, 37) : RGB(230, 230, 230), RGB(188, 188, 188),
                RGB(0, 0, 0)};
    case ExplorerBar:
        return {RGB(246, 246, 246), RGB(222, 222, 222), RGB(30, 57, 145)};
    case TaskDialog:
        return {RGB(255, 255, 255), RGB(223, 223, 223), RGB(0, 51, 153)};
    default:
        return {RGB(240, 240, 240), RGB(173, 173, 173), disabled ? RGB(109, 109, 109) : RGB(0, 0, 0)};
    }
}

void Fill(HDC hdc, const RECT& r, COLORREF c) {
    HBRUSH b = CreateSolidBrush(c);
    FillRect(hdc, &r, b);
    DeleteObject(b);
}

void Frame(HDC hdc, const RECT& r, COLORREF c) {
    HBRUSH b = CreateSolidBrush(c);
    FrameRect(hdc, &r, b);
    DeleteObject(b);
}

void Triangle(HDC hdc, POINT a, POINT b, POINT c, COLORREF color) {
    const int saved = SaveDC(hdc);
    HBRUSH br = CreateSolidBrush(color);
    HPEN pen = CreatePen(PS_SOLID, 1, color);
    SelectObject(hdc, br);
    SelectObject(hdc, pen);
    SetROP2(hdc, R2_COPYPEN);
    const POINT pts[3] = {a, b, c};
    Polygon(hdc, pts, 3);
    RestoreDC(hdc, saved);
    DeleteObject(br);
    DeleteObject(pen);
}

// A chevron pointing down (or up) centred in r.
void Chevron(HDC hdc, const RECT& r, bool down, COLORREF c) {
    const int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
    const int s = std::max(2, std::min(r.right - r.left, r.bottom - r.top) / 4);
    if (down)
        Triangle(hdc, {cx - s, cy - s / 2}, {cx + s, cy - s / 2}, {cx, cy + s / 2 + 1}, c);
    else
        Triangle(hdc, {cx - s, cy + s / 2}, {cx + s, cy + s / 2}, {cx, cy - s / 2 - 1}, c);
}

RECT Centered(const RECT& r, int w, int h) {
    const int x = r.left + (r.right - r.left - w) / 2, y = r.top + (r.bottom - r.top - h) / 2;
    return RECT{x, y, x + w, y + h};
}

void DrawElement(int cls, HDC hdc, int part, int state, const RECT& r) {
    const Look look = LookOf(cls, part, state);
    switch (cls) {
    case Button:
        if (part == 2 || part == 3) {
            const RECT box = Centered(r, 13, 13);
            const int check = state > 0 ? (state - 1) / 4 : 0; // 0 unchecked, 1 checked, 2 mixed
            if (part == 2) {
                const int saved = SaveDC(hdc);
                HBRUSH b = CreateSolidBrush(look.fill);
                HPEN p = CreatePen(PS_SOLID, 1, look.border);
                SelectObject(hdc, b);
                SelectObject(hdc, p);
                Ellipse(hdc, box.left, box.top, box.right, box.bottom);
                RestoreDC(hdc, saved);
                DeleteObject(b);
                DeleteObject(p);
                if (check)
                    Fill(hdc, RECT{box.left + 4, box.top + 4, box.right - 4, box.bottom - 4}, look.text);
                return;
            }
            Fill(hdc, box, look.fill);
            Frame(hdc, box, look.border);
            if (check == 1) {
                const int saved = SaveDC(hdc);
                HPEN p = CreatePen(PS_SOLID, 2, look.text);
                SelectObject(hdc, p);
                MoveToEx(hdc, box.left + 3, box.top + 6, nullptr);
                LineTo(hdc, box.left + 5, box.top + 9);
                LineTo(hdc, box.left + 10, box.top + 3);
                RestoreDC(hdc, saved);
                DeleteObject(p);
            } else if (check == 2) {
                Fill(hdc, RECT{box.left + 3, box.top + 3, box.right - 3, box.bottom - 3}, look.text);
            }
            return;
        }
        if (part == 4) { // group box
            Frame(hdc, r, look.border);
            return;
        }
        Fill(hdc, r, look.fill);
        Frame(hdc, r, look.border);
        if (state == 5 || state == 6) { // defaulted: a second line inside
            RECT in = r;
            InflateRect(&in, -1, -1);
            Frame(hdc, in, look.border);
        }
        return;
    case Header:
        if (part == 4) { // sort arrow
            Chevron(hdc, r, state == 2, RGB(96, 96, 96));
            return;
        }
        Fill(hdc, r, look.fill);
        if (part != 0) Fill(hdc, RECT{r.right - 1, r.top, r.right, r.bottom}, look.border);
        Fill(hdc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, look.border);
        return;
    case TreeView:
        if (part == 2 || part == 4) { // glyph: an open chevron when expanded
            const RECT g = Centered(r, 9, 9);
            const COLORREF c = part == 4 ? RGB(28, 196, 247) : RGB(38, 38, 38);
            if (state == 2)
                Triangle(hdc, {g.right - 1, g.top + 1}, {g.right - 1, g.bottom - 1},
                         {g.left + 1, g.bottom - 1}, c);
            else
                Triangle(hdc, {g.left + 2, g.top}, {g.left + 2, g.bottom - 1}, {g.left + 6, g.top + 4}, c);
            return;
        }
        Fill(hdc, r, look.fill);
        if (part == 1 && state > 1) Frame(hdc, r, look.border);
        return;
    case Spin:
    case ComboBox:
    case ScrollBar:
        Fill(hdc, r, look.fill);
        Frame(hdc, r, look.border);
        if (cls == Spin)
            Chevron(hdc, r, part == 2 || part == 4, look.text);
        else if (cls == ComboBox && (part == 1 || part == 6 || part == 7))
            Chevron(hdc, r, true, look.text);
        else if (cls == ScrollBar && part == 1)
            Chevron(hdc, r, state > 4 && state <= 8, look.text);
        return;
    default:
        Fill(hdc, r, look.fill);
        Frame(hdc, r, look.border);
    }
}

std::u16string Text16(LPCWSTR s) {
    return s ? std::u16string(s) : std::u16string();
}

// The standard controls of user32 draw their parts here while themes are on.
BOOL CALLBACK ControlPart(HWND hwnd, HDC hdc, LPCWSTR cls, int part, int state, const RECT* rect) {
    const HTHEME theme = OpenThemeData(hwnd, cls);
    if (!theme) return FALSE;
    const bool drawn = DrawThemeBackground(theme, hdc, part, state, rect, nullptr) == S_OK;
    CloseThemeData(theme);
    return drawn;
}

// The work behind the exports; the exports and their siblings call these, never each other.
HTHEME ThemeOpen(HWND hwnd, LPCWSTR classList);
HRESULT ThemeDrawBackground(HTHEME h, HDC hdc, int part, int state, LPCRECT rect, LPCRECT clip);
HRESULT ThemeDrawText(HTHEME h, HDC hdc, int part, int state, LPCWSTR text, int cch, DWORD flags, LPRECT rect,
                      const DTTOPTS* options);

} // namespace

extern "C" {

void WINAPI TwSetThemeActive(BOOL active) {
    Active = active != FALSE;
    TwSetControlThemePainter(StylePainter ? StylePainter : Active ? ControlPart : nullptr);
}

void WINAPI TwSetStylePartPainter(TwThemePartPainter painter) {
    StylePainter = painter;
    TwSetControlThemePainter(StylePainter ? StylePainter : Active ? ControlPart : nullptr);
}

BOOL WINAPI IsThemeActive(void) {
    return Active;
}
BOOL WINAPI IsAppThemed(void) {
    return Active;
}
DWORD WINAPI GetThemeAppProperties(void) {
    return Active ? AppProperties : 0;
}
void WINAPI SetThemeAppProperties(DWORD flags) {
    AppProperties = flags & (STAP_ALLOW_NONCLIENT | STAP_ALLOW_CONTROLS | STAP_ALLOW_WEBCONTENT);
}
HRESULT WINAPI EnableTheming(BOOL enable) {
    TwSetThemeActive(enable);
    return S_OK;
}

HTHEME WINAPI OpenThemeData(HWND hwnd, LPCWSTR classList) { return ThemeOpen(hwnd, classList); }


HTHEME WINAPI GetWindowTheme(HWND hwnd) {
    const auto it = WindowThemes.find(hwnd);
    return Active && it != WindowThemes.end() && IsWindow(hwnd) ? it->second : 0;
}

HRESULT WINAPI EnableThemeDialogTexture(HWND hwnd, DWORD flags) {
    if (!IsWindow(hwnd)) return E_HANDLE;
    if (flags & ETDT_DISABLE) DialogTextures.erase(hwnd);
    else if (flags & ETDT_ENABLE) DialogTextures[hwnd] = true;
    return S_OK;
}
BOOL WINAPI IsThemeDialogTextureEnabled(HWND hwnd) {
    return DialogTextures.count(hwnd) && IsWindow(hwnd);
}

// The siblings open through the same internal step, never through the export: an interception of
// the export then sees each open once.
HTHEME WINAPI OpenThemeDataEx(HWND hwnd, LPCWSTR classList, DWORD) { return ThemeOpen(hwnd, classList); }
HTHEME WINAPI OpenThemeDataForDpi(HWND hwnd, LPCWSTR classList, UINT) { return ThemeOpen(hwnd, classList); }

HRESULT WINAPI CloseThemeData(HTHEME h) {
    return ClassOf(h) >= 0 || h == 0 ? S_OK : E_HANDLE;
}

HRESULT WINAPI DrawThemeBackground(HTHEME h, HDC hdc, int part, int state, LPCRECT rect, LPCRECT clip) {
    return ThemeDrawBackground(h, hdc, part, state, rect, clip);
}


HRESULT WINAPI DrawThemeBackgroundEx(HTHEME h, HDC hdc, int part, int state, LPCRECT rect,
                                     const DTBGOPTS* options) {
    const RECT* clip = options && (options->dwFlags & DTBG_CLIPRECT) ? &options->rcClip : nullptr;
    return ThemeDrawBackground(h, hdc, part, state, rect, clip);
}

HRESULT WINAPI DrawThemeEdge(HTHEME h, HDC hdc, int, int, LPCRECT dest, UINT edge, UINT flags,
                             LPRECT content) {
    if (ClassOf(h) < 0) return E_HANDLE;
    if (!dest) return E_INVALIDARG;
    RECT r = *dest;
    DrawEdge(hdc, &r, edge, flags | BF_ADJUST);
    if (content) *content = r;
    return S_OK;
}

HRESULT WINAPI GetThemeColor(HTHEME h, int part, int state, int prop, COLORREF* color) {
    const int cls = ClassOf(h);
    if (cls < 0) return E_HANDLE;
    if (!color) return E_INVALIDARG;
    const Look look = LookOf(cls, part, state);
    switch (prop) {
    case TMT_TEXTCOLOR:
        *color = look.text;
        return S_OK;
    case TMT_FILLCOLOR:
    case TMT_FILLCOLORHINT:
        *color = look.fill;
        return S_OK;
    case TMT_BORDERCOLOR:
    case TMT_BORDERCOLORHINT:
        *color = look.border;
        return S_OK;
    default:
        return E_FAIL; // the caller keeps its own colour
    }
}

HRESULT WINAPI DrawThemeTextEx(HTHEME h, HDC hdc, int part, int state, LPCWSTR text, int cch, DWORD flags,
                               LPRECT rect, const DTTOPTS* options) {
    return ThemeDrawText(h, hdc, part, state, text, cch, flags, rect, options);
}


HRESULT WINAPI DrawThemeText(HTHEME h, HDC hdc, int part, int state, LPCWSTR text, int cch, DWORD flags,
                             DWORD, LPCRECT rect) {
    if (!rect) return E_INVALIDARG;
    RECT r = *rect; // measuring here leaves the caller's rectangle alone
    return ThemeDrawText(h, hdc, part, state, text, cch, flags, &r, nullptr);
}

HRESULT WINAPI DrawThemeParentBackground(HWND hwnd, HDC hdc, const RECT* prc) {
    // The parent paints into the child's DC moved to the parent's coordinates, clipped to the part
    // behind the child (or behind prc in it).
    HWND parent = GetParent(hwnd);
    if (!parent) return E_FAIL;
    POINT origin{0, 0};
    MapWindowPoints(hwnd, parent, &origin, 1);
    const int saved = SaveDC(hdc);
    if (!saved) return E_HANDLE;
    if (prc) IntersectClipRect(hdc, prc->left, prc->top, prc->right, prc->bottom);
    POINT old{};
    OffsetWindowOrgEx(hdc, origin.x, origin.y, &old);
    SendMessageW(parent, WM_ERASEBKGND, WPARAM(hdc), 0);
    SendMessageW(parent, WM_PRINTCLIENT, WPARAM(hdc), PRF_CLIENT);
    RestoreDC(hdc, saved);
    return S_OK;
}

COLORREF WINAPI GetThemeSysColor(HTHEME, int id) {
    return GetSysColor(id);
}
HBRUSH WINAPI GetThemeSysColorBrush(HTHEME, int id) {
    return GetSysColorBrush(id);
}
int WINAPI GetThemeSysSize(HTHEME, int id) {
    return GetSystemMetrics(id);
}

HRESULT WINAPI GetThemePartSize(HTHEME h, HDC, int part, int, LPCRECT rect, THEMESIZE, SIZE* size) {
    const int cls = ClassOf(h);
    if (cls < 0) return E_HANDLE;
    if (!size) return E_INVALIDARG;
    SIZE s{rect ? rect->right - rect->left : 0, rect ? rect->bottom - rect->top : 0};
    if (cls == Button && (part == 2 || part == 3))
        s = {13, 13};
    else if (cls == TreeView && (part == 2 || part == 4))
        s = {16, 16};
    else if (cls == Header && part == 4)
        s = {7, 4};
    else if (cls == ComboBox && (part == 1 || part == 6))
        s = {GetSystemMetrics(SM_CXVSCROLL), GetSystemMetrics(SM_CYVSCROLL)};
    else if (cls == Spin)
        s = {GetSystemMetrics(SM_CXVSCROLL), GetSystemMetrics(SM_CYVSCROLL) / 2 + 1};
    else if (cls == ScrollBar && part == 1)
        s = {GetSystemMetrics(SM_CXVSCROLL), GetSystemMetrics(SM_CYVSCROLL)};
    else if (cls == Window && part == 1)
        s = {0, GetSystemMetrics(SM_CYCAPTION)};
    else if (cls == Menu && part == 11) // the popup check mark and bullet
        s = {GetSystemMetrics(SM_CXMENUCHECK), GetSystemMetrics(SM_CYMENUCHECK)};
    *size = s;
    return S_OK;
}

HRESULT WINAPI GetThemeBackgroundContentRect(HTHEME h, HDC, int part, int, LPCRECT bounds, LPRECT content) {
    const int cls = ClassOf(h);
    if (cls < 0) return E_HANDLE;
    if (!bounds || !content) return E_INVALIDARG;
    *content = *bounds;
    const int inset = cls == Button && part == 1 ? 3 : 1;
    InflateRect(content, -inset, -inset);
    return S_OK;
}

HRESULT WINAPI GetThemeBackgroundRegion(HTHEME h, HDC, int, int, LPCRECT rect, HRGN* region) {
    if (ClassOf(h) < 0) return E_HANDLE;
    if (!rect || !region) return E_INVALIDARG;
    *region = CreateRectRgnIndirect(rect);
    return *region ? S_OK : E_OUTOFMEMORY;
}

HRESULT WINAPI GetCurrentThemeName(LPWSTR file, int fileChars, LPWSTR color, int colorChars, LPWSTR size,
                                   int sizeChars) {
    if (!Active) return E_FAIL;
    auto put = [](LPWSTR dst, int cap, const char16_t* s) {
        if (!dst || cap <= 0) return;
        int n = 0;
        for (; s[n] && n < cap - 1; ++n) dst[n] = s[n];
        dst[n] = 0;
    };
    put(file, fileChars, u"Aero.msstyles");
    put(color, colorChars, u"NormalColor");
    put(size, sizeChars, u"NormalSize");
    return S_OK;
}

BOOL WINAPI IsThemePartDefined(HTHEME h, int part, int) {
    return ClassOf(h) >= 0 && part >= 0;
}

BOOL WINAPI IsThemeBackgroundPartiallyTransparent(HTHEME h, int part, int) {
    return ClassOf(h) == Button && (part == 2 || part == 3);
}

HRESULT WINAPI SetWindowTheme(HWND, LPCWSTR, LPCWSTR) {
    return S_OK;
}

HRESULT WINAPI GetThemeBackgroundExtent(HTHEME h, HDC hdc, int part, int state, LPCRECT content, LPRECT extent) {
    if (!content || !extent) return E_INVALIDARG;
    // The content rectangle's inset, added back around the content.
    const RECT probe{0, 0, 100, 100};
    RECT inner{};
    const HRESULT hr = GetThemeBackgroundContentRect(h, hdc, part, state, &probe, &inner);
    if (hr != S_OK) return hr;
    *extent = {content->left - inner.left, content->top - inner.top, content->right + (probe.right - inner.right),
               content->bottom + (probe.bottom - inner.bottom)};
    return S_OK;
}

HRESULT WINAPI GetThemeMargins(HTHEME h, HDC hdc, int part, int state, int prop, LPCRECT, MARGINS* margins) {
    if (ClassOf(h) < 0) return E_HANDLE;
    if (!margins) return E_INVALIDARG;
    if (prop != TMT_CONTENTMARGINS) return E_PROP_ID_UNSUPPORTED;
    const RECT probe{0, 0, 100, 100};
    RECT inner{};
    GetThemeBackgroundContentRect(h, hdc, part, state, &probe, &inner);
    *margins = {inner.left, probe.right - inner.right, inner.top, probe.bottom - inner.bottom};
    return S_OK;
}

HRESULT WINAPI GetThemeTextExtent(HTHEME h, HDC hdc, int, int, LPCWSTR text, int cch, DWORD flags, LPCRECT bounds,
                                  LPRECT extent) {
    if (ClassOf(h) < 0) return E_HANDLE;
    if (!text || !extent) return E_INVALIDARG;
    RECT r = bounds ? *bounds : RECT{0, 0, 0, 0};
    DrawTextW(hdc, text, cch, &r, flags | DT_CALCRECT);
    *extent = r;
    return S_OK;
}

HRESULT WINAPI GetThemeTextMetrics(HTHEME h, HDC hdc, int, int, TEXTMETRICW* tm) {
    if (ClassOf(h) < 0) return E_HANDLE;
    if (!tm) return E_INVALIDARG;
    return GetTextMetricsW(hdc, tm) ? S_OK : E_FAIL;
}

HRESULT WINAPI HitTestThemeBackground(HTHEME h, HDC, int, int, DWORD, LPCRECT rect, HRGN region, POINT pt,
                                      WORD* code) {
    if (ClassOf(h) < 0) return E_HANDLE;
    if (!rect || !code) return E_INVALIDARG;
    const bool inside = region ? PtInRegion(region, pt.x, pt.y) : PtInRect(rect, pt);
    *code = inside ? HTCLIENT : HTNOWHERE;
    return S_OK;
}

HRESULT WINAPI DrawThemeIcon(HTHEME h, HDC hdc, int, int, LPCRECT rect, HIMAGELIST images, int index) {
    if (ClassOf(h) < 0) return E_HANDLE;
    if (!rect || !images) return E_INVALIDARG;
    // The image lists live in the common controls, which this module does not link: reached by name.
    using DrawProc = BOOL (*)(HIMAGELIST, int, HDC, int, int, UINT);
    using SizeProc = BOOL (*)(HIMAGELIST, int*, int*);
    HMODULE comctl = TwFindModule(u"comctl32.dll");
    auto find = [comctl](const char* name) {
        return comctl ? reinterpret_cast<void*>(TwFindExport(comctl, name)) : nullptr;
    };
    auto draw = reinterpret_cast<DrawProc>(find("ImageList_Draw"));
    auto size = reinterpret_cast<SizeProc>(find("ImageList_GetIconSize"));
    if (!draw || !size) return E_FAIL;
    int cx = 0, cy = 0;
    size(images, &cx, &cy);
    const int x = rect->left + (rect->right - rect->left - cx) / 2, y = rect->top + (rect->bottom - rect->top - cy) / 2;
    return draw(images, index, hdc, x, y, 1 /* ILD_TRANSPARENT */) ? S_OK : E_FAIL;
}

// A property the looks do not carry.
static HRESULT Unsupported(HTHEME h, const void* out) {
    return ClassOf(h) < 0 ? E_HANDLE : !out ? E_INVALIDARG : E_PROP_ID_UNSUPPORTED;
}

HRESULT WINAPI GetThemeMetric(HTHEME h, HDC, int, int, int, int* value) {
    return Unsupported(h, value);
}
HRESULT WINAPI GetThemeString(HTHEME h, int, int, int, LPWSTR buffer, int) {
    return Unsupported(h, buffer);
}
HRESULT WINAPI GetThemeBool(HTHEME h, int, int, int, BOOL* value) {
    return Unsupported(h, value);
}
HRESULT WINAPI GetThemeInt(HTHEME h, int, int, int, int* value) {
    return Unsupported(h, value);
}
HRESULT WINAPI GetThemeEnumValue(HTHEME h, int, int, int, int* value) {
    return Unsupported(h, value);
}
HRESULT WINAPI GetThemePosition(HTHEME h, int, int, int, POINT* point) {
    return Unsupported(h, point);
}
HRESULT WINAPI GetThemeFont(HTHEME h, HDC, int, int, int, LOGFONTW* font) {
    return Unsupported(h, font);
}
HRESULT WINAPI GetThemeRect(HTHEME h, int, int, int, LPRECT rect) {
    return Unsupported(h, rect);
}
HRESULT WINAPI GetThemeIntList(HTHEME h, int, int, int, INTLIST* list) {
    return Unsupported(h, list);
}
HRESULT WINAPI GetThemeFilename(HTHEME h, int, int, int, LPWSTR buffer, int) {
    return Unsupported(h, buffer);
}

BOOL WINAPI GetThemeSysBool(HTHEME, int) {
    return FALSE; // neither flat menus nor any other system flag
}

HRESULT WINAPI GetThemeSysFont(HTHEME, int id, LOGFONTW* font) {
    if (!font) return E_INVALIDARG;
    // TMT_CAPTIONFONT .. TMT_MSGBOXFONT: the fonts of the non-client metrics.
    NONCLIENTMETRICSW ncm{};
    ncm.cbSize = sizeof ncm;
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0)) return E_FAIL;
    switch (id) {
    case 801: *font = ncm.lfCaptionFont; return S_OK;
    case 802: *font = ncm.lfSmCaptionFont; return S_OK;
    case 803: *font = ncm.lfMenuFont; return S_OK;
    case 804: *font = ncm.lfStatusFont; return S_OK;
    case 805: *font = ncm.lfMessageFont; return S_OK;
    case 806: *font = ncm.lfStatusFont; return S_OK; // icon titles
    default: return E_PROP_ID_UNSUPPORTED;
    }
}

HRESULT WINAPI GetThemeSysString(HTHEME, int, LPWSTR buffer, int) {
    return !buffer ? E_INVALIDARG : E_PROP_ID_UNSUPPORTED;
}
HRESULT WINAPI GetThemeSysInt(HTHEME, int, int* value) {
    return !value ? E_INVALIDARG : E_PROP_ID_UNSUPPORTED;
}
HRESULT WINAPI GetThemeDocumentationProperty(LPCWSTR, LPCWSTR, LPWSTR buffer, int) {
    return !buffer ? E_INVALIDARG : E_PROP_ID_UNSUPPORTED;
}

} // extern "C"

namespace {

HTHEME ThemeOpen(HWND hwnd, LPCWSTR classList) {
    if (!Active || !classList) return 0;
    // A list separated by ";" gives the first class that has a look.
    const std::u16string list = Text16(classList);
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(u';', start);
        if (end == std::u16string::npos) end = list.size();
        const int cls = FindClass(list.substr(start, end - start));
        if (cls >= 0) {
            const HTHEME h = HandleOfList(list, cls);
            if (hwnd) WindowThemes[hwnd] = h;
            return h;
        }
        start = end + 1;
    }
    return 0;
}

HRESULT ThemeDrawBackground(HTHEME h, HDC hdc, int part, int state, LPCRECT rect, LPCRECT clip) {
    const int cls = ClassOf(h);
    if (cls < 0) return E_HANDLE;
    if (!rect) return E_INVALIDARG;
    const int saved = SaveDC(hdc);
    if (!saved) return E_HANDLE;
    if (clip) IntersectClipRect(hdc, clip->left, clip->top, clip->right, clip->bottom);
    DrawElement(cls, hdc, part, state, *rect);
    RestoreDC(hdc, saved);
    return S_OK;
}

HRESULT ThemeDrawText(HTHEME h, HDC hdc, int part, int state, LPCWSTR text, int cch, DWORD flags, LPRECT rect,
                 const DTTOPTS* options) {
    if (ClassOf(h) < 0) return E_HANDLE;
    if (!text || !rect) return E_INVALIDARG;
    COLORREF color = 0;
    if (options && (options->dwFlags & DTT_TEXTCOLOR))
        color = options->crText;
    else
        GetThemeColor(h, part, state, TMT_TEXTCOLOR, &color);
    if (options && (options->dwFlags & DTT_CALCRECT)) flags |= DT_CALCRECT;
    const COLORREF oldColor = SetTextColor(hdc, color);
    const int oldMode = SetBkMode(hdc, TRANSPARENT);
    DrawTextW(hdc, text, cch, rect, flags);
    SetBkMode(hdc, oldMode);
    SetTextColor(hdc, oldColor);
    return S_OK;
}

} // namespace
