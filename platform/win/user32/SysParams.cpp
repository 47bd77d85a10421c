// System colours, metrics and parameters with the Windows 10 defaults at 96 DPI; tests replace them.
#include "win/gdi32/Gdi.h"
#include "win/user32/winuser.h"

#include <array>
#include <cstring>
#include <mutex>

namespace {

constexpr int ColorCount = COLOR_MENUBAR + 1;

const std::array<COLORREF, ColorCount> DefaultColors = {
    RGB(200, 200, 200), // COLOR_SCROLLBAR
    RGB(0, 0, 0),       // COLOR_BACKGROUND
    RGB(153, 180, 209), // COLOR_ACTIVECAPTION
    RGB(191, 205, 219), // COLOR_INACTIVECAPTION
    RGB(240, 240, 240), // COLOR_MENU
    RGB(255, 255, 255), // COLOR_WINDOW
    RGB(100, 100, 100), // COLOR_WINDOWFRAME
    RGB(0, 0, 0),       // COLOR_MENUTEXT
    RGB(0, 0, 0),       // COLOR_WINDOWTEXT
    RGB(0, 0, 0),       // COLOR_CAPTIONTEXT
    RGB(180, 180, 180), // COLOR_ACTIVEBORDER
    RGB(244, 247, 252), // COLOR_INACTIVEBORDER
    RGB(171, 171, 171), // COLOR_APPWORKSPACE
    RGB(0, 120, 215),   // COLOR_HIGHLIGHT
    RGB(255, 255, 255), // COLOR_HIGHLIGHTTEXT
    RGB(240, 240, 240), // COLOR_BTNFACE
    RGB(160, 160, 160), // COLOR_BTNSHADOW
    RGB(109, 109, 109), // COLOR_GRAYTEXT
    RGB(0, 0, 0),       // COLOR_BTNTEXT
    RGB(0, 0, 0),       // COLOR_INACTIVECAPTIONTEXT
    RGB(255, 255, 255), // COLOR_BTNHIGHLIGHT
    RGB(105, 105, 105), // COLOR_3DDKSHADOW
    RGB(227, 227, 227), // COLOR_3DLIGHT
    RGB(0, 0, 0),       // COLOR_INFOTEXT
    RGB(255, 255, 225), // COLOR_INFOBK
    RGB(0, 0, 0),       // 25: unused
    RGB(0, 102, 204),   // COLOR_HOTLIGHT
    RGB(185, 209, 234), // COLOR_GRADIENTACTIVECAPTION
    RGB(215, 228, 242), // COLOR_GRADIENTINACTIVECAPTION
    RGB(0, 120, 215),   // COLOR_MENUHILIGHT
    RGB(240, 240, 240), // COLOR_MENUBAR
};

std::array<int, SM_CMETRICS + 1> DefaultMetrics() {
    std::array<int, SM_CMETRICS + 1> m{};
    m[SM_CXSCREEN] = 1920;
    m[SM_CYSCREEN] = 1080;
    m[SM_CXVSCROLL] = 17;
    m[SM_CYHSCROLL] = 17;
    m[SM_CYCAPTION] = 23;
    m[SM_CXBORDER] = 1;
    m[SM_CYBORDER] = 1;
    m[SM_CXDLGFRAME] = 3;
    m[SM_CYDLGFRAME] = 3;
    m[SM_CYVTHUMB] = 17;
    m[SM_CXHTHUMB] = 17;
    m[SM_CXICON] = 32;
    m[SM_CYICON] = 32;
    m[SM_CXCURSOR] = 32;
    m[SM_CYCURSOR] = 32;
    m[SM_CYMENU] = 20;
    m[SM_CXFULLSCREEN] = 1920;
    m[SM_CYFULLSCREEN] = 1017;
    m[SM_MOUSEPRESENT] = 1;
    m[SM_CYVSCROLL] = 17;
    m[SM_CXHSCROLL] = 17;
    m[SM_CXMIN] = 136;
    m[SM_CYMIN] = 39;
    m[SM_CXSIZE] = 36;
    m[SM_CYSIZE] = 22;
    m[SM_CXFRAME] = 4;
    m[SM_CYFRAME] = 4;
    m[SM_CXMINTRACK] = 136;
    m[SM_CYMINTRACK] = 39;
    m[SM_CXDOUBLECLK] = 4;
    m[SM_CYDOUBLECLK] = 4;
    m[SM_CXICONSPACING] = 75;
    m[SM_CYICONSPACING] = 75;
    m[SM_CMOUSEBUTTONS] = 3;
    m[SM_CXEDGE] = 2;
    m[SM_CYEDGE] = 2;
    m[SM_CXSMICON] = 16;
    m[SM_CYSMICON] = 16;
    m[SM_CYSMCAPTION] = 23;
    m[SM_CXSMSIZE] = 22;
    m[SM_CYSMSIZE] = 22;
    m[SM_CXMENUSIZE] = 19;
    m[SM_CYMENUSIZE] = 19;
    m[SM_CXMAXTRACK] = 1940;
    m[SM_CYMAXTRACK] = 1100;
    m[SM_CXMAXIMIZED] = 1936;
    m[SM_CYMAXIMIZED] = 1056;
    m[SM_CXDRAG] = 4;
    m[SM_CYDRAG] = 4;
    m[SM_CXMENUCHECK] = 15;
    m[SM_CYMENUCHECK] = 15;
    m[SM_MOUSEWHEELPRESENT] = 1;
    m[SM_CXVIRTUALSCREEN] = 1920;
    m[SM_CYVIRTUALSCREEN] = 1080;
    m[SM_CMONITORS] = 1;
    m[SM_SAMEDISPLAYFORMAT] = 1;
    m[SM_CXFOCUSBORDER] = 1;
    m[SM_CYFOCUSBORDER] = 1;
    m[SM_CXPADDEDBORDER] = 4;
    return m;
}

LOGFONTW UiFont(LONG height, LONG weight) {
    LOGFONTW lf{};
    lf.lfHeight = height;
    lf.lfWeight = weight;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = DEFAULT_QUALITY;
    const char16_t face[] = u"Segoe UI";
    std::memcpy(lf.lfFaceName, face, sizeof face);
    return lf;
}

NONCLIENTMETRICSW DefaultNonClientMetrics() {
    NONCLIENTMETRICSW n{};
    n.cbSize = sizeof n;
    n.iBorderWidth = 1;
    n.iScrollWidth = 17;
    n.iScrollHeight = 17;
    n.iCaptionWidth = 36;
    n.iCaptionHeight = 22;
    n.lfCaptionFont = UiFont(-12, FW_NORMAL);
    n.iSmCaptionWidth = 22;
    n.iSmCaptionHeight = 22;
    n.lfSmCaptionFont = UiFont(-12, FW_NORMAL);
    n.iMenuWidth = 19;
    n.iMenuHeight = 19;
    n.lfMenuFont = UiFont(-12, FW_NORMAL);
    n.lfStatusFont = UiFont(-12, FW_NORMAL);
    n.lfMessageFont = UiFont(-12, FW_NORMAL);
    n.iPaddedBorderWidth = 4;
    return n;
}

struct Settings {
    std::array<COLORREF, ColorCount> colors = DefaultColors;
    std::array<HBRUSH, ColorCount> brushes{};
    std::array<int, SM_CMETRICS + 1> metrics = DefaultMetrics();
    NONCLIENTMETRICSW ncm = DefaultNonClientMetrics();
    TwSystemParametersProc provider = nullptr;
    TwSysColorProc colorProvider = nullptr; // the active visual style's colours
};

Settings& S() {
    static Settings* s = new Settings;
    return *s;
}

COLORREF ColorOf(int i) {
    auto& s = S();
    COLORREF c = 0;
    if (s.colorProvider && s.colorProvider(i, &c)) return c;
    return s.colors[size_t(i)];
}

void UpdateBrush(int i) {
    auto& s = S();
    if (!s.brushes[size_t(i)]) {
        s.brushes[size_t(i)] = CreateSolidBrush(ColorOf(i));
        if (auto* b = wingdi::GetBrush(s.brushes[size_t(i)])) b->stock = true; // callers never delete them
    } else if (auto* b = wingdi::GetBrush(s.brushes[size_t(i)])) {
        b->color = ColorOf(i);
    }
}

template <class T> BOOL Give(PVOID p, T value) {
    if (!p) return FALSE;
    std::memcpy(p, &value, sizeof value);
    return TRUE;
}

bool IsCountMetric(int i) {
    switch (i) {
    case SM_MOUSEPRESENT:
    case SM_SWAPBUTTON:
    case SM_DEBUG:
    case SM_CMOUSEBUTTONS:
    case SM_MENUDROPALIGNMENT:
    case SM_MOUSEWHEELPRESENT:
    case SM_CMONITORS:
    case SM_SAMEDISPLAYFORMAT:
    case SM_REMOTESESSION:
    case SM_CXSCREEN:
    case SM_CYSCREEN:
    case SM_CXVIRTUALSCREEN:
    case SM_CYVIRTUALSCREEN:
    case SM_XVIRTUALSCREEN:
    case SM_YVIRTUALSCREEN:
    case SM_CXFULLSCREEN:
    case SM_CYFULLSCREEN:
        return true;
    default:
        return false;
    }
}

} // namespace

extern "C" {

DWORD WINAPI GetSysColor(int i) {
    if (i < 0 || i >= ColorCount) return 0;
    return ColorOf(i);
}

HBRUSH WINAPI GetSysColorBrush(int i) { return TwClassicSysColorBrush(i); }

HBRUSH WINAPI TwClassicSysColorBrush(int i) {
    if (i < 0 || i >= ColorCount) return nullptr;
    UpdateBrush(i);
    return S().brushes[size_t(i)];
}

BOOL WINAPI SetSysColors(int n, const INT* which, const COLORREF* values) {
    if (n < 0 || (n > 0 && (!which || !values))) return FALSE;
    for (int k = 0; k < n; ++k) TwSetSysColor(which[k], values[k]);
    return TRUE;
}

int WINAPI GetSystemMetrics(int i) {
    if (i == SM_REMOTESESSION) return 0;
    if (i < 0 || i > SM_CMETRICS) return 0;
    return S().metrics[size_t(i)];
}

int WINAPI GetSystemMetricsForDpi(int i, UINT dpi) {
    const int v = GetSystemMetrics(i);
    if (IsCountMetric(i) || dpi == 0) return v;
    return int((int64_t(v) * dpi + 48) / 96);
}

BOOL WINAPI SystemParametersInfoW(UINT action, UINT uiParam, PVOID pv, UINT winIni) {
    auto& s = S();
    if (s.provider) {
        const int r = s.provider(action, uiParam, pv, winIni);
        if (r >= 0) return r;
    }
    switch (action) {
    case SPI_GETNONCLIENTMETRICS: {
        auto* n = static_cast<NONCLIENTMETRICSW*>(pv);
        // Callers built for older systems pass the size without the padded border.
        if (!n ||
            (n->cbSize != sizeof(NONCLIENTMETRICSW) && n->cbSize != sizeof(NONCLIENTMETRICSW) - sizeof(int)))
            return FALSE;
        const UINT size = n->cbSize;
        std::memcpy(n, &s.ncm, size);
        n->cbSize = size;
        return TRUE;
    }
    case SPI_SETNONCLIENTMETRICS: {
        auto* n = static_cast<const NONCLIENTMETRICSW*>(pv);
        if (!n || n->cbSize < sizeof(NONCLIENTMETRICSW) - sizeof(int)) return FALSE;
        std::memcpy(&s.ncm, n, std::min<size_t>(n->cbSize, sizeof s.ncm));
        s.ncm.cbSize = sizeof s.ncm;
        return TRUE;
    }
    case SPI_GETICONTITLELOGFONT:
        return Give(pv, UiFont(-12, FW_NORMAL));
    case SPI_GETWORKAREA:
        return Give(pv, RECT{0, 0, s.metrics[SM_CXSCREEN], s.metrics[SM_CYSCREEN]});
    case SPI_GETMENUSHOWDELAY:
        return Give<DWORD>(pv, 400);
    case SPI_GETMOUSEHOVERTIME:
        return Give<UINT>(pv, 400);
    case SPI_GETMOUSEHOVERWIDTH:
    case SPI_GETMOUSEHOVERHEIGHT:
        return Give<UINT>(pv, 4);
    case SPI_GETWHEELSCROLLLINES:
    case SPI_GETWHEELSCROLLCHARS:
        return Give<UINT>(pv, 3);
    case SPI_GETBORDER:
        return Give<int>(pv, 1);
    case SPI_GETCARETWIDTH:
    case SPI_GETFOCUSBORDERWIDTH:
    case SPI_GETFOCUSBORDERHEIGHT:
        return Give<UINT>(pv, 1);
    case SPI_GETKEYBOARDCUES:
        return Give<BOOL>(pv, FALSE);
    case SPI_GETFLATMENU:
    case SPI_GETGRADIENTCAPTIONS:
    case SPI_GETMENUANIMATION:
    case SPI_GETMENUFADE:
    case SPI_GETCOMBOBOXANIMATION:
    case SPI_GETTOOLTIPANIMATION:
    case SPI_GETTOOLTIPFADE:
    case SPI_GETSELECTIONFADE:
    case SPI_GETHOTTRACKING:
    case SPI_GETDROPSHADOW:
    case SPI_GETUIEFFECTS:
    case SPI_GETCLIENTAREAANIMATION:
    case SPI_GETDRAGFULLWINDOWS:
        return Give<BOOL>(pv, TRUE);
    case SPI_GETHIGHCONTRAST: {
        auto* h = static_cast<HIGHCONTRASTW*>(pv);
        if (!h || h->cbSize != sizeof(HIGHCONTRASTW)) return FALSE;
        h->dwFlags = 0;
        h->lpszDefaultScheme = nullptr;
        return TRUE;
    }
    default:
        return FALSE;
    }
}

void WINAPI TwResetSystemSettings(void) {
    auto& s = S();
    s.colors = DefaultColors;
    for (int i = 0; i < ColorCount; ++i)
        if (s.brushes[size_t(i)]) UpdateBrush(i);
    s.metrics = DefaultMetrics();
    s.ncm = DefaultNonClientMetrics();
    s.provider = nullptr;
}

void WINAPI TwSetSysColor(int i, COLORREF c) {
    if (i < 0 || i >= ColorCount) return;
    S().colors[size_t(i)] = c & 0xFFFFFF;
    if (S().brushes[size_t(i)]) UpdateBrush(i);
}

void WINAPI TwSetSystemMetric(int i, int value) {
    if (i >= 0 && i <= SM_CMETRICS) S().metrics[size_t(i)] = value;
}

void WINAPI TwSetSystemParametersProvider(TwSystemParametersProc proc) {
    S().provider = proc;
}

void WINAPI TwSetSysColorProvider(TwSysColorProc proc) {
    auto& s = S();
    s.colorProvider = proc;
    // The system's brushes are handed out once and kept by callers: they take the new colours.
    for (int i = 0; i < ColorCount; ++i)
        if (s.brushes[size_t(i)]) UpdateBrush(i);
}

} // extern "C"
