// The built-in class table, registered when user32 loads, and the helpers the control procedures share.
#include "win/user32/controls/Controls.h"

#include <algorithm>

namespace twuser::controls {

namespace {

const BuiltinClass builtinClasses[] = {
    {u"Button", CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, ButtonProc, sizeof(void*), 32512, 0},
    {u"Static", CS_DBLCLKS, StaticProc, sizeof(void*), 32512, 0},
    {u"Edit", CS_DBLCLKS, EditProc, sizeof(void*), 32513, 0},
    {u"ListBox", CS_DBLCLKS, ListBoxProc, sizeof(void*), 32512, 0},
    {u"ComboBox", CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, ComboBoxProc, sizeof(void*), 32512, 0},
    {u"ComboLBox", CS_DBLCLKS | CS_SAVEBITS | CS_DROPSHADOW, ComboLBoxProc, sizeof(void*), 32512, 0},
    {u"ScrollBar", CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, ScrollBarProc, sizeof(void*), 32512, 0},
    {u"msctls_updown32", CS_HREDRAW | CS_VREDRAW, UpDownProc, sizeof(void*), 32512, 0},
    {u"#32770", CS_SAVEBITS | CS_DBLCLKS, DialogClassProc, DLGWINDOWEXTRA, 32512, 0},
};

TwThemePartPainter themePainter = nullptr;

// The classes exist before the program's first line runs, as they do in Windows.
const bool registeredAtStart = (RegisterBuiltinClasses(), true);

} // namespace

void RegisterBuiltinClasses() {
    (void)registeredAtStart;
    for (const BuiltinClass& b : builtinClasses) {
        WNDCLASSEXW existing{};
        existing.cbSize = sizeof existing;
        if (GetClassInfoExW(nullptr, b.name, &existing)) continue;
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.style = b.style | CS_GLOBALCLASS;
        wc.lpfnWndProc = b.proc;
        wc.cbWndExtra = b.wndExtra;
        wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(b.cursor));
        wc.hbrBackground = b.background ? reinterpret_cast<HBRUSH>(INT_PTR(b.background)) : nullptr;
        wc.lpszClassName = b.name;
        RegisterClassExW(&wc);
    }
}

void NotifyParent(HWND hwnd, WORD code) {
    const HWND parent = GetParent(hwnd);
    if (!parent) return;
    SendMessageW(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), code), reinterpret_cast<LPARAM>(hwnd));
}

HBRUSH ControlColor(HWND hwnd, HDC hdc, UINT msg) {
    const HWND parent = GetParent(hwnd);
    HBRUSH brush = nullptr;
    if (parent) brush = reinterpret_cast<HBRUSH>(SendMessageW(parent, msg, reinterpret_cast<WPARAM>(hdc),
                                                              reinterpret_cast<LPARAM>(hwnd)));
    if (!brush) brush = reinterpret_cast<HBRUSH>(DefWindowProcW(hwnd, msg, reinterpret_cast<WPARAM>(hdc),
                                                                reinterpret_cast<LPARAM>(hwnd)));
    return brush;
}

HFONT DefaultGuiFont() { return reinterpret_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

int FontHeight(HWND hwnd, HFONT font) {
    HDC hdc = GetDC(hwnd);
    HGDIOBJ old = SelectObject(hdc, font ? font : DefaultGuiFont());
    TEXTMETRICW tm{};
    GetTextMetricsW(hdc, &tm);
    SelectObject(hdc, old);
    ReleaseDC(hwnd, hdc);
    return tm.tmHeight;
}

std::u16string TextOf(HWND hwnd) {
    const int n = GetWindowTextLengthW(hwnd);
    std::u16string s(size_t(std::max(n, 0)) + 1, u'\0');
    const int got = GetWindowTextW(hwnd, s.data(), n + 1);
    s.resize(size_t(std::max(got, 0)));
    return s;
}

LRESULT CopyText(const std::u16string& text, WPARAM max, LPARAM buffer) {
    auto* out = reinterpret_cast<WCHAR*>(buffer);
    if (!out || max == 0) return 0;
    const size_t n = std::min<size_t>(text.size(), size_t(max) - 1);
    std::copy_n(text.data(), n, out);
    out[n] = 0;
    return LRESULT(n);
}

UINT DrawItemState(HWND hwnd) {
    UINT state = 0;
    if (!IsWindowEnabled(hwnd)) state |= ODS_DISABLED;
    const LRESULT ui = SendMessageW(hwnd, WM_QUERYUISTATE, 0, 0);
    if (ui & UISF_HIDEACCEL) state |= ODS_NOACCEL;
    if (ui & UISF_HIDEFOCUS) state |= ODS_NOFOCUSRECT;
    return state;
}

bool ThemedPart(HWND hwnd, HDC hdc, const char16_t* themeClass, int part, int state, const RECT& rect) {
    return themePainter && themePainter(hwnd, hdc, themeClass, part, state, &rect);
}

void PaintOrPrint(HWND hwnd, WPARAM wp, void (*paint)(HWND, HDC)) {
    if (wp) {
        paint(hwnd, reinterpret_cast<HDC>(wp));
        return;
    }
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd, &ps);
    if (hdc) paint(hwnd, hdc);
    EndPaint(hwnd, &ps);
}

} // namespace twuser::controls

using namespace twuser::controls;

extern "C" void WINAPI TwSetControlThemePainter(TwThemePartPainter painter) { themePainter = painter; }
