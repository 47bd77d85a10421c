// toolbars/BarCommon.cpp: the framework's shared window, text, queue and settings routines.
#include "toolbars/BarCommon.h"

#include "rtl/Math.h"
#include "rtl/SysUtils.h"

#include <QHash>

#include <atomic>

namespace bars {

namespace {

// Text widths by font description and text, for GetTextWidth, and metrics by font description, for
// TextMetricsOf (the menu thread only).
QHash<QByteArray, int>& TextWidths() {
    static QHash<QByteArray, int> widths;
    return widths;
}
QHash<QByteArray, TEXTMETRICW>& FontMetrics() {
    static QHash<QByteArray, TEXTMETRICW> metrics;
    return metrics;
}

// The whole description of the DC's font, as the key of what is kept per font; empty when unknown.
QByteArray FontKey(HDC DC, qsizetype Extra = 0) {
    LOGFONTW font{};
    if (GetObjectW(GetCurrentObject(DC, OBJ_FONT), sizeof font, &font) != sizeof font) return {};
    QByteArray key;
    key.reserve(qsizetype(sizeof font) + Extra);
    key.append(reinterpret_cast<const char*>(&font), sizeof font);
    return key;
}

// Functions the framework looks up at run time: missing ones degrade without errors.
using TGradientFill = BOOL(*)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);
using TMonitorFromRect = HMONITOR(*)(LPCRECT, DWORD);
using TMonitorFromPoint = HMONITOR(*)(POINT, DWORD);
using TMonitorFromWindow = HMONITOR(*)(HWND, DWORD);
using TGetMonitorInfo = BOOL(*)(HMONITOR, LPMONITORINFO);
using TTrackMouseEvent = BOOL(*)(LPTRACKMOUSEEVENT);
using TLockSetForegroundWindow = BOOL(*)(UINT);

struct TUnitFunctions {
    TGradientFill GradientFillFunc = nullptr;
    TMonitorFromRect MonitorFromRectFunc = nullptr;
    TMonitorFromPoint MonitorFromPointFunc = nullptr;
    TMonitorFromWindow MonitorFromWindowFunc = nullptr;
    TGetMonitorInfo GetMonitorInfoFunc = nullptr;
    bool MonitorFunctionsAvailable = false;
    TLockSetForegroundWindow LockSetForegroundWindowFunc = nullptr;

    TUnitFunctions() {
        const UINT oldMode = SetErrorMode(SEM_NOOPENFILEERRORBOX);
        if (HMODULE msimg = LoadLibraryW(u"msimg32.dll"))
            GradientFillFunc = reinterpret_cast<TGradientFill>(reinterpret_cast<void*>(GetProcAddress(msimg, "GradientFill")));
        SetErrorMode(oldMode);
        if (HMODULE user = GetModuleHandleW(u"user32.dll")) {
            MonitorFromRectFunc = reinterpret_cast<TMonitorFromRect>(reinterpret_cast<void*>(GetProcAddress(user, "MonitorFromRect")));
            MonitorFromPointFunc = reinterpret_cast<TMonitorFromPoint>(reinterpret_cast<void*>(GetProcAddress(user, "MonitorFromPoint")));
            MonitorFromWindowFunc =
                reinterpret_cast<TMonitorFromWindow>(reinterpret_cast<void*>(GetProcAddress(user, "MonitorFromWindow")));
            GetMonitorInfoFunc = reinterpret_cast<TGetMonitorInfo>(reinterpret_cast<void*>(GetProcAddress(user, "GetMonitorInfoA")));
            LockSetForegroundWindowFunc =
                reinterpret_cast<TLockSetForegroundWindow>(reinterpret_cast<void*>(GetProcAddress(user, "LockSetForegroundWindow")));
        }
        MonitorFunctionsAvailable =
            MonitorFromRectFunc && MonitorFromPointFunc && MonitorFromWindowFunc && GetMonitorInfoFunc;
    }
};

const TUnitFunctions& Functions() {
    static const TUnitFunctions functions;
    return functions;
}

std::atomic<TTrackMouseEvent> TrackMouseEventFunc{nullptr};
std::atomic<bool> TrackMouseEventInited{false};

std::atomic<int> RegMenuShowDelay{0};
std::atomic<bool> RegMenuShowDelayInited{false};

thread_local bool FontExistsFound = false;

// Saves the DC and restores it when the scope ends, also on an exception.
struct TSavedDC {
    HDC DC;
    int Saved;
    explicit TSavedDC(HDC ADC) : DC(ADC), Saved(SaveDC(ADC)) {}
    ~TSavedDC() { RestoreDC(DC, Saved); }
};

struct TPrintData {
    HWND ParentWnd;
    HDC DC;
    LPARAM Flags;
};

BOOL CALLBACK PrintChildWindowProc(HWND Wnd, LPARAM LParam) {
    const auto& data = *reinterpret_cast<const TPrintData*>(LParam);
    if ((GetParent(Wnd) == data.ParentWnd ||
         reinterpret_cast<HWND>(GetWindowLongPtrW(Wnd, GWLP_HWNDPARENT)) == data.ParentWnd) &&
        (GetWindowLongW(Wnd, GWL_STYLE) & WS_VISIBLE)) {
        RECT r;
        GetWindowRect(Wnd, &r);
        MapWindowPoints(nullptr, data.ParentWnd, reinterpret_cast<POINT*>(&r), 2);
        TSavedDC saved(data.DC);
        POINT org;
        GetWindowOrgEx(data.DC, &org);
        SetWindowOrgEx(data.DC, org.x - r.left, org.y - r.top, nullptr);
        IntersectClipRect(data.DC, 0, 0, r.right - r.left, r.bottom - r.top);
        SendMessageW(Wnd, WM_PRINT, reinterpret_cast<WPARAM>(data.DC), data.Flags);
    }
    return TRUE;
}

void MoveWindowOrg(HDC DC, int DX, int DY) {
    POINT org;
    GetWindowOrgEx(DC, &org);
    SetWindowOrgEx(DC, org.x - DX, org.y - DY, nullptr);
}

int FontExistsProc(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM) {
    FontExistsFound = true;
    return 0;
}

} // namespace

// ---- printing and painting ----

void HandlePrintRequest(HWND Wnd, vcl::TMessage& Message, TBarNCPaintProc NCPaintFunc, LPARAM AppData) {
    const HDC dc = reinterpret_cast<HDC>(Message.WParam);
    const LPARAM flags = Message.LParam;
    if ((flags & PRF_CHECKVISIBLE) && !IsWindowVisible(Wnd)) {
        Message.Result = 0;
        return;
    }
    {
        TSavedDC outer(dc);
        if ((flags & PRF_NONCLIENT) && NCPaintFunc) {
            TSavedDC saved(dc);
            NCPaintFunc(Wnd, dc, AppData);
        }
        RECT wr;
        GetWindowRect(Wnd, &wr);
        POINT origin{0, 0};
        ClientToScreen(Wnd, &origin);
        const int dx = origin.x - wr.left, dy = origin.y - wr.top;
        if (flags & PRF_CLIENT) {
            if (flags & PRF_ERASEBKGND) {
                TSavedDC saved(dc);
                if (flags & PRF_NONCLIENT) MoveWindowOrg(dc, dx, dy);
                SendMessageW(Wnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
            }
            {
                TSavedDC saved(dc);
                if (flags & PRF_NONCLIENT) MoveWindowOrg(dc, dx, dy);
                SendMessageW(Wnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), 0);
            }
            MoveWindowOrg(dc, dx, dy);
            if (flags & PRF_CHILDREN) {
                TPrintData data{Wnd, dc,
                                (flags & ~PRF_CHECKVISIBLE) | PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN};
                EnumChildWindows(Wnd, PrintChildWindowProc, reinterpret_cast<LPARAM>(&data));
            }
            if (flags & PRF_OWNED) {
                TPrintData data{Wnd, dc, flags};
                EnumWindows(PrintChildWindowProc, reinterpret_cast<LPARAM>(&data));
            }
        }
    }
    Message.Result = 1;
}

void HandlePrintClientRequest(const vcl::TWndMethod& PaintHandler, vcl::TMessage& Message) {
    vcl::TMessage paint;
    paint.Msg = WM_PAINT;
    paint.WParam = Message.WParam;
    const HDC dc = reinterpret_cast<HDC>(Message.WParam);
    TSavedDC saved(dc);
    PaintHandler(paint);
}

void SelectNCPaintClipRgn(HWND Wnd, HDC DC, HRGN Rgn) {
    if (reinterpret_cast<uintptr_t>(Rgn) <= 1) return;
    RECT wr;
    GetWindowRect(Wnd, &wr);
    if (SelectClipRgn(DC, Rgn) == ERROR) {
        HRGN whole = CreateRectRgnIndirect(&wr);
        SelectClipRgn(DC, whole);
        DeleteObject(whole);
    }
    OffsetClipRgn(DC, -wr.left, -wr.top);
}

void PaintWindowBuffered(HWND Wnd) {
    RECT client{};
    bool done = false;
    if (IsWindowVisible(Wnd) && GetClientRect(Wnd, &client) && !IsRectEmpty(&client)) {
        ValidateRect(Wnd, nullptr);
        if (HDC windowDC = GetDC(Wnd)) {
            RECT clip{}, r{};
            if (GetClipBox(windowDC, &clip) != ERROR && IntersectRect(&r, &clip, &client)) {
                HBITMAP bitmap = CreateCompatibleBitmap(windowDC, r.right - r.left, r.bottom - r.top);
                HDC memDC = bitmap ? CreateCompatibleDC(windowDC) : nullptr;
                if (memDC) {
                    HGDIOBJ old = SelectObject(memDC, bitmap);
                    SetWindowOrgEx(memDC, r.left, r.top, nullptr);
                    SendMessageW(Wnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(memDC), reinterpret_cast<LPARAM>(memDC));
                    SendMessageW(Wnd, WM_PAINT, reinterpret_cast<WPARAM>(memDC), 0);
                    BitBlt(windowDC, r.left, r.top, r.right - r.left, r.bottom - r.top, memDC, r.left, r.top, SRCCOPY);
                    SelectObject(memDC, old);
                    DeleteDC(memDC);
                    done = true;
                }
                if (bitmap) DeleteObject(bitmap);
            }
            ReleaseDC(Wnd, windowDC);
        }
    }
    if (!done) InvalidateRect(Wnd, nullptr, TRUE);
}

HRGN CreateFrameRgn(const TRect& R, const SIZE& Border) {
    RECT outer{R.Left, R.Top, R.Right, R.Bottom};
    if (IsRectEmpty(&outer)) return CreateRectRgn(0, 0, 0, 0);
    HRGN result = CreateRectRgnIndirect(&outer);
    RECT inner = outer;
    InflateRect(&inner, -Border.cx, -Border.cy);
    if (!IsRectEmpty(&inner)) {
        HRGN hole = CreateRectRgnIndirect(&inner);
        CombineRgn(result, result, hole, RGN_XOR);
        DeleteObject(hole);
    }
    return result;
}

void DrawInvertFrame(HDC DC, const TRect& NewRect, const TRect& OldRect, const SIZE& NewSize,
                     const SIZE& OldSize, HBRUSH Brush) {
    HRGN rgn = CreateFrameRgn(NewRect, NewSize);
    HRGN old = CreateFrameRgn(OldRect, OldSize);
    CombineRgn(rgn, rgn, old, RGN_XOR);
    DeleteObject(old);
    SelectClipRgn(DC, rgn);
    RECT box;
    GetClipBox(DC, &box);
    HGDIOBJ oldBrush = SelectObject(DC, Brush);
    PatBlt(DC, box.left, box.top, box.right - box.left, box.bottom - box.top, PATINVERT);
    SelectObject(DC, oldBrush);
    SelectClipRgn(DC, nullptr);
    DeleteObject(rgn);
}

HBITMAP CreateMonoBitmap(int Width, int Height, const void* Bits) { return CreateBitmap(Width, Height, 1, 1, Bits); }

HBRUSH CreateHalftoneBrush() {
    // Rows of 16 bits (word-aligned), alternating 0x55 and 0xAA: a checkerboard.
    WORD pattern[8];
    for (int i = 0; i < 8; ++i) pattern[i] = (i % 2 == 0) ? 0x55 : 0xAA;
    HBITMAP bitmap = CreateMonoBitmap(8, 8, pattern);
    HBRUSH brush = CreatePatternBrush(bitmap);
    DeleteObject(bitmap);
    return brush;
}

void DrawHalftoneInvertFrame(HDC DC, const TRect& NewRect, const TRect& OldRect, const SIZE& NewSize,
                             const SIZE& OldSize) {
    HBRUSH brush = CreateHalftoneBrush();
    DrawInvertFrame(DC, NewRect, OldRect, NewSize, OldSize, brush);
    DeleteObject(brush);
}

bool IsGradientFillAvailable() { return Functions().GradientFillFunc != nullptr; }

void GradientFillRect(HDC DC, const TRect& R, COLORREF Color1, COLORREF Color2, bool Horizontal) {
    const auto fill = Functions().GradientFillFunc;
    if (!fill) return;
    TRIVERTEX v[2] = {};
    v[0].x = R.Left;
    v[0].y = R.Top;
    v[0].Red = static_cast<COLOR16>(GetRValue(Color1) << 8);
    v[0].Green = static_cast<COLOR16>(GetGValue(Color1) << 8);
    v[0].Blue = static_cast<COLOR16>(GetBValue(Color1) << 8);
    v[1].x = R.Right;
    v[1].y = R.Bottom;
    v[1].Red = static_cast<COLOR16>(GetRValue(Color2) << 8);
    v[1].Green = static_cast<COLOR16>(GetGValue(Color2) << 8);
    v[1].Blue = static_cast<COLOR16>(GetBValue(Color2) << 8);
    GRADIENT_RECT mesh{0, 1};
    fill(DC, v, 2, &mesh, 1, Horizontal ? GRADIENT_FILL_RECT_H : GRADIENT_FILL_RECT_V);
}

void DrawSmallWindowCaption(HWND, HDC DC, TRect R, const String& Text, bool Active) {
    if (R.Left >= R.Right) return;
    const int bgIndex = Active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION;
    const int endIndex = Active ? COLOR_GRADIENTACTIVECAPTION : COLOR_GRADIENTINACTIVECAPTION;
    const int textIndex = Active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT;
    const COLORREF bg = GetSysColor(bgIndex), end = GetSysColor(endIndex);
    RECT rr{R.Left, R.Top, R.Right, R.Bottom};
    if (GetSystemParamBool(SPI_GETGRADIENTCAPTIONS, false) && IsGradientFillAvailable() && bg != end)
        GradientFillRect(DC, R, bg, end, true);
    else
        FillRect(DC, &rr, GetSysColorBrush(bgIndex));
    rr.left += GetSystemMetrics(SM_CXEDGE);
    NONCLIENTMETRICSW metrics;
    if (IsRectEmpty(&rr) || !GetNonClientMetrics(metrics)) return;
    HFONT font = CreateFontIndirectW(&metrics.lfSmCaptionFont);
    HGDIOBJ oldFont = SelectObject(DC, font);
    const COLORREF oldColor = SetTextColor(DC, GetSysColor(textIndex));
    const int oldMode = SetBkMode(DC, TRANSPARENT);
    DrawTextStr(DC, Text, rr, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    SetBkMode(DC, oldMode);
    SetTextColor(DC, oldColor);
    SelectObject(DC, oldFont);
    DeleteObject(font);
}

// ---- caption text ----

String StripAccelChars(const String& S) {
    String result;
    result.reserve(S.size());
    for (qsizetype i = 0; i < S.size(); ++i) {
        if (S[i] == u'&') {
            ++i;  // the mark goes; the character after it stays, even another '&'
            if (i >= S.size()) break;
        }
        result += S[i];
    }
    return result;
}

String EscapeAmpersands(const String& S) {
    String result = S;
    result.replace(u'&', QStringLiteral("&&"));
    return result;
}

String StripTrailingPunctuation(const String& S) {
    if (S.size() > 1 && S.endsWith(u':')) return S.left(S.size() - 1);
    if (S.size() > 3 && S.endsWith(QStringLiteral("..."))) return S.left(S.size() - 3);
    return S;
}

char16_t FindAccelChar(const String& S) {
    char16_t result = 0;
    for (qsizetype i = 0; i < S.size(); ++i) {
        if (S[i] != u'&') continue;
        if (i + 1 >= S.size()) break;
        if (S[i + 1] != u'&') result = S[i + 1].unicode();
        ++i;
    }
    return result;
}

char16_t CharToLower(char16_t C) {
    // CharLower with the character in the low word of a pointer converts the one character.
    return static_cast<char16_t>(reinterpret_cast<uintptr_t>(CharLowerW(reinterpret_cast<LPWSTR>(uintptr_t(C)))));
}

int GetTextWidth(HDC DC, String S, bool Prefix) {
    if (Prefix) S = StripAccelChars(S);
    // Menus open again and again with the same captions and shortcuts, and shaping a text is the main
    // cost of measuring a long menu: widths are kept per font (its whole description) and text.
    QByteArray key = FontKey(DC, S.size() * 2);
    const bool known = !key.isEmpty();
    if (known) {
        key.append(reinterpret_cast<const char*>(S.utf16()), S.size() * 2);
        if (const auto it = TextWidths().constFind(key); it != TextWidths().cend()) return it.value();
    }
    SIZE size{};
    GetTextExtentStr(DC, S, size);
    if (known) {
        if (TextWidths().size() >= 4096) TextWidths().clear();
        TextWidths().insert(key, int(size.cx));
    }
    return size.cx;
}

TEXTMETRICW TextMetricsOf(HDC DC) {
    const QByteArray key = FontKey(DC);
    if (!key.isEmpty())
        if (const auto it = FontMetrics().constFind(key); it != FontMetrics().cend()) return it.value();
    TEXTMETRICW tm{};
    GetTextMetricsW(DC, &tm);
    if (!key.isEmpty()) {
        if (FontMetrics().size() >= 256) FontMetrics().clear();
        FontMetrics().insert(key, tm);
    }
    return tm;
}

void DrawTextStr(HDC DC, const String& S, RECT& R, UINT Format) {
    DrawTextW(DC, reinterpret_cast<LPCWSTR>(S.utf16()), static_cast<int>(S.size()), &R, Format);
}

void GetTextExtentStr(HDC DC, const String& S, SIZE& Size) {
    GetTextExtentPoint32W(DC, reinterpret_cast<LPCWSTR>(S.utf16()), static_cast<int>(S.size()), &Size);
}

void TextOutStr(HDC DC, int X, int Y, const String& S) {
    TextOutW(DC, X, Y, reinterpret_cast<LPCWSTR>(S.utf16()), static_cast<int>(S.size()));
}

bool FontExists(HDC DC, const String& FaceName) {
    FontExistsFound = false;
    EnumFontsW(DC, reinterpret_cast<LPCWSTR>(FaceName.utf16()), FontExistsProc, 0);
    return FontExistsFound;
}

HFONT CreateVerticalTextFont(HDC DC) {
    HGDIOBJ current = GetCurrentObject(DC, OBJ_FONT);
    LOGFONTW lf{};
    if (!current || GetObjectW(current, sizeof(lf), &lf) == 0) return nullptr;
    lf.lfEscapement = 2700;
    lf.lfOrientation = 2700;
    lf.lfOutPrecision = OUT_TT_ONLY_PRECIS;
    const String face = String::fromUtf16(reinterpret_cast<const char16_t*>(lf.lfFaceName));
    if (face.compare(QStringLiteral("MS Sans Serif"), Qt::CaseInsensitive) == 0 ||
        face.compare(QStringLiteral("Microsoft Sans Serif"), Qt::CaseInsensitive) == 0) {
        // Not a TrueType face: it cannot turn.
        const String tahoma = QStringLiteral("Tahoma");
        std::fill(std::begin(lf.lfFaceName), std::end(lf.lfFaceName), 0);
        std::copy(tahoma.utf16(), tahoma.utf16() + tahoma.size(), lf.lfFaceName);
        TEXTMETRICW tm{};
        GetTextMetricsW(DC, &tm);
        lf.lfHeight = lf.lfHeight > 0 ? tm.tmHeight : -(tm.tmHeight - tm.tmInternalLeading);
    }
    const String current_face = String::fromUtf16(reinterpret_cast<const char16_t*>(lf.lfFaceName));
    const String vertical = u'@' + current_face;
    if (FontExists(DC, vertical)) {
        std::fill(std::begin(lf.lfFaceName), std::end(lf.lfFaceName), 0);
        const auto n = std::min<qsizetype>(vertical.size(), 31);
        std::copy(vertical.utf16(), vertical.utf16() + n, lf.lfFaceName);
    }
    return CreateFontIndirectW(&lf);
}

void DrawVerticalText(HDC DC, const String& S, const TRect& R, UINT Format) {
    HFONT font = CreateVerticalTextFont(DC);
    if (!font) return;
    HGDIOBJ oldFont = SelectObject(DC, font);
    TEXTMETRICW tm{};
    GetTextMetricsW(DC, &tm);
    const int x = R.Left + (R.Width() - tm.tmHeight) / 2;
    const String plain = StripAccelChars(S);
    const int len = GetTextWidth(DC, plain, false);
    // Where the accelerator lies in the plain text: after the last single '&'.
    int accel = -1;
    for (qsizetype i = 0, out = 0; i < S.size(); ++i, ++out) {
        if (S[i] == u'&') {
            ++i;
            if (i >= S.size()) break;
            if (S[i] != u'&') accel = static_cast<int>(out);
        }
    }
    const UINT oldAlign = SetTextAlign(DC, TA_BOTTOM);
    const int y = R.Top + (R.Height() - len) / 2;
    TextOutStr(DC, x, y, plain);
    SetTextAlign(DC, oldAlign);
    if (accel >= 0 && !(Format & DT_HIDEPREFIX)) {
        const int start = GetTextWidth(DC, plain.left(accel), false);
        const int end = GetTextWidth(DC, plain.left(accel + 1), false);
        HPEN pen = CreatePen(PS_SOLID, 1, GetTextColor(DC));
        HGDIOBJ oldPen = SelectObject(DC, pen);
        const int lineX = x + tm.tmDescent - ScaleForDPI(2);
        MoveToEx(DC, lineX, y + start, nullptr);
        LineTo(DC, lineX, y + end);
        SelectObject(DC, oldPen);
        DeleteObject(pen);
    }
    SelectObject(DC, oldFont);
    DeleteObject(font);
}

// ---- messages ----

void ProcessPaintMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, WM_PAINT, WM_PAINT, PM_NOREMOVE)) {
        const BOOL got = GetMessageW(&msg, nullptr, WM_PAINT, WM_PAINT);
        if (got == -1) break;
        if (!got) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        DispatchMessageW(&msg);
    }
}

void RemoveMessages(UINT Min, UINT Max) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, Min, Max, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
    }
}

TPoint MessagePosAsPoint() {
    const DWORD pos = GetMessagePos();
    return TPoint(static_cast<int16_t>(LOWORD(pos)), static_cast<int16_t>(HIWORD(pos)));
}

// ---- system settings ----

bool ApplicationIsActive() { return GetActiveWindow() != nullptr; }

int GetMenuShowDelay() {
    int delay = 0;
    if (!SystemParametersInfoW(SPI_GETMENUSHOWDELAY, 0, &delay, 0)) {
        if (!RegMenuShowDelayInited.load()) {
            int value = 400;
            HKEY key = nullptr;
            if (RegOpenKeyExW(HKEY_CURRENT_USER, u"Control Panel\\Desktop", 0, KEY_QUERY_VALUE, &key) ==
                ERROR_SUCCESS) {
                WCHAR buffer[33] = {};
                DWORD type = 0, size = 32 * sizeof(WCHAR);
                const LSTATUS status =
                    RegQueryValueExW(key, u"MenuShowDelay", nullptr, &type, reinterpret_cast<LPBYTE>(buffer), &size);
                if (status == ERROR_FILE_NOT_FOUND)
                    value = 400;
                else if (status != ERROR_SUCCESS || type != REG_SZ)
                    value = 0;
                else {
                    const String text = String::fromUtf16(buffer, static_cast<qsizetype>(size / sizeof(WCHAR)))
                                            .section(QChar(0), 0, 0);
                    value = rtl::StrToIntDef(text, 0);
                }
                RegCloseKey(key);
            }
            RegMenuShowDelay.store(value);
            RegMenuShowDelayInited.exchange(true);
        }
        delay = RegMenuShowDelay.load();
    }
    return delay < 0 ? 0 : delay;
}

void ForgetMenuShowDelay() { RegMenuShowDelayInited.store(false); }

bool IsWindowsXPOrLater() { return true; }

bool IsFlatMenuStyleOn() { return IsWindowsXPOrLater() && GetSystemParamBool(SPI_GETFLATMENU, false); }

bool AlwaysUnderlineAccelKeys() { return GetSystemParamBool(SPI_GETKEYBOARDCUES, true); }

bool GetSystemParamBool(UINT Action, bool Default) {
    BOOL value = FALSE;
    if (SystemParametersInfoW(Action, 0, &value, 0)) return value != FALSE;
    return Default;
}

bool GetNonClientMetrics(NONCLIENTMETRICSW& Metrics) {
    Metrics = {};
    Metrics.cbSize = sizeof(NONCLIENTMETRICSW);
    return SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(NONCLIENTMETRICSW), &Metrics, 0) != FALSE;
}

int ScaleForDPI(int N) {
    // A memory DC made for the screen has the screen's pixels per inch, and costs a third of the
    // screen's own DC: layouts ask for many scaled sizes.
    HDC dc = CreateCompatibleDC(nullptr);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    DeleteDC(dc);
    return rtl::MulDiv(N, dpi, 96);
}

// ---- monitors ----

TRect GetScreenRect(bool WorkArea) {
    RECT r{};
    if (WorkArea && SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0)) return TRect(r.left, r.top, r.right, r.bottom);
    return TRect(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
}

bool MultipleMonitors() { return Functions().MonitorFunctionsAvailable && GetSystemMetrics(SM_CMONITORS) > 1; }

bool GetMonitorRect(HMONITOR Monitor, bool WorkArea, TRect& R) {
    MONITORINFO info{};
    info.cbSize = sizeof(MONITORINFO);
    if (!Functions().GetMonitorInfoFunc || !Functions().GetMonitorInfoFunc(Monitor, &info)) return false;
    const RECT& r = WorkArea ? info.rcWork : info.rcMonitor;
    R = TRect(r.left, r.top, r.right, r.bottom);
    return true;
}

TRect MonitorRectForRect(const TRect& R, bool WorkArea) {
    TRect result;
    if (MultipleMonitors()) {
        RECT r{R.Left, R.Top, R.Right, R.Bottom};
        if (GetMonitorRect(Functions().MonitorFromRectFunc(&r, MONITOR_DEFAULTTONEAREST), WorkArea, result))
            return result;
    }
    return GetScreenRect(WorkArea);
}

TRect MonitorRectForPoint(const TPoint& P, bool WorkArea) {
    TRect result;
    if (MultipleMonitors() &&
        GetMonitorRect(Functions().MonitorFromPointFunc(POINT{P.X, P.Y}, MONITOR_DEFAULTTONEAREST), WorkArea, result))
        return result;
    return GetScreenRect(WorkArea);
}

TRect MonitorRectForWindow(HWND Wnd, bool WorkArea) {
    TRect result;
    if (MultipleMonitors() &&
        GetMonitorRect(Functions().MonitorFromWindowFunc(Wnd, MONITOR_DEFAULTTONEAREST), WorkArea, result))
        return result;
    return GetScreenRect(WorkArea);
}

// ---- mouse, foreground, sounds ----

void InitTrackMouseEvent() {
    if (TrackMouseEventInited.load()) return;
    TTrackMouseEvent func = nullptr;
    if (HMODULE user = GetModuleHandleW(u"user32.dll"))
        func = reinterpret_cast<TTrackMouseEvent>(reinterpret_cast<void*>(GetProcAddress(user, "TrackMouseEvent")));
    if (!func) {
        const UINT oldMode = SetErrorMode(SEM_NOOPENFILEERRORBOX);
        if (HMODULE comctl = LoadLibraryW(u"comctl32.dll"))
            func = reinterpret_cast<TTrackMouseEvent>(reinterpret_cast<void*>(GetProcAddress(comctl, "_TrackMouseEvent")));
        SetErrorMode(oldMode);
    }
    TrackMouseEventFunc.store(func);
    TrackMouseEventInited.exchange(true);
}

bool StartMouseTracking(HWND Wnd, DWORD Flags) {
    InitTrackMouseEvent();
    const TTrackMouseEvent func = TrackMouseEventFunc.load();
    if (!func) return false;
    TRACKMOUSEEVENT tme{};
    tme.cbSize = sizeof(TRACKMOUSEEVENT);
    tme.dwFlags = Flags;
    tme.hwndTrack = Wnd;
    tme.dwHoverTime = 0;
    return func(&tme) != FALSE;
}

void CallLockSetForegroundWindow(bool Lock) {
    if (const auto func = Functions().LockSetForegroundWindowFunc) func(Lock ? 1u : 2u);
}

bool IsMenuSoundConfigured(const String& Name) {
    const String path = QStringLiteral("AppEvents\\Schemes\\Apps\\.Default\\") + Name + QStringLiteral("\\.Current");
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, reinterpret_cast<LPCWSTR>(path.utf16()), 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS)
        return false;
    BYTE buffer[8] = {};
    DWORD size = sizeof(buffer);
    const LSTATUS status = RegQueryValueExW(key, nullptr, nullptr, nullptr, buffer, &size);
    RegCloseKey(key);
    return (status == ERROR_SUCCESS && buffer[0] != 0) || status == ERROR_MORE_DATA;
}

void PlayMenuSound(const String& Name) {
    PlaySoundW(reinterpret_cast<LPCWSTR>(Name.utf16()), nullptr, SND_ALIAS | SND_ASYNC | SND_NODEFAULT | SND_SYSTEM);
}

} // namespace bars
