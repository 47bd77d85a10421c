// "ScrollBar" as a control: horizontal and vertical bars that tell their parent through WM_HSCROLL and
// WM_VSCROLL, with arrow repeat, page clicks, thumb dragging and keys; size boxes and grips.
#include "win/user32/controls/Controls.h"

#include <algorithm>

namespace twuser::controls {

namespace {

constexpr UINT_PTR RepeatTimer = 1;
constexpr UINT FirstDelay = 400, RepeatDelay = 50;

enum Part { None, LineUp, PageUp, Thumb, PageDown, LineDown };

struct BarState {
    int min = 0, max = 100, pos = 0, trackPos = 0;
    UINT page = 0;
    UINT disabledArrows = 0;
    Part pressed = None;  // the part being held
    bool inside = false;  // the mouse is over the held part
    int grab = 0;         // where in the thumb it was taken
};

LONG StyleOf(HWND h) { return GetWindowLongW(h, GWL_STYLE); }
bool Vertical(HWND h) { return StyleOf(h) & SBS_VERT; }
bool SizeBox(HWND h) { return StyleOf(h) & (SBS_SIZEBOX | SBS_SIZEGRIP); }

struct Geometry {
    int len = 0, arrow = 0, thumbStart = 0, thumbLen = 0;
    bool hasThumb = false;
};

long long PosRange(const BarState* s) { return (long long)s->max - s->min - std::max<long long>((long long)s->page - 1, 0); }

Geometry Measure(HWND hwnd, const BarState* s) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    Geometry g;
    const bool vert = Vertical(hwnd);
    g.len = vert ? rc.bottom : rc.right;
    g.arrow = std::min(vert ? rc.right : rc.bottom, g.len / 2);
    const int track = g.len - 2 * g.arrow;
    const long long range = (long long)s->max - s->min + 1;
    if (PosRange(s) <= 0 || range <= 0 || !IsWindowEnabled(hwnd)) return g;
    int thumb = std::min(vert ? rc.right : rc.bottom, track);
    if (s->page) thumb = std::max<int>(int(track * (long long)s->page / range), 8);
    if (thumb > track || track <= 0) return g;
    g.hasThumb = true;
    g.thumbLen = thumb;
    const int pos = s->pressed == Thumb ? s->trackPos : s->pos;
    g.thumbStart = g.arrow + int((long long)(track - thumb) * (pos - s->min) / PosRange(s));
    return g;
}

RECT PartRect(HWND hwnd, int a, int b) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    return Vertical(hwnd) ? RECT{0, a, rc.right, b} : RECT{a, 0, b, rc.bottom};
}

Part HitPart(HWND hwnd, const BarState* s, POINT p, int* grab = nullptr) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    if (!PtInRect(&rc, p)) return None;
    const Geometry g = Measure(hwnd, s);
    const int along = Vertical(hwnd) ? p.y : p.x;
    if (along < g.arrow) return LineUp;
    if (along >= g.len - g.arrow) return LineDown;
    if (!g.hasThumb) return None;
    if (along < g.thumbStart) return PageUp;
    if (along < g.thumbStart + g.thumbLen) {
        if (grab) *grab = along - g.thumbStart;
        return Thumb;
    }
    return PageDown;
}

void Paint(HWND hwnd, HDC hdc) {
    auto* s = StateOf<BarState>(hwnd);
    if (!s) return;
    RECT rc;
    GetClientRect(hwnd, &rc);
    if (SizeBox(hwnd)) {
        FillRect(hdc, &rc, GetSysColorBrush(COLOR_BTNFACE));
        if (StyleOf(hwnd) & SBS_SIZEGRIP) DrawFrameControl(hdc, &rc, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
        return;
    }
    const Geometry g = Measure(hwnd, s);
    const bool vert = Vertical(hwnd), enabled = IsWindowEnabled(hwnd);
    const UINT pushed = DFCS_PUSHED | DFCS_FLAT;
    RECT up = PartRect(hwnd, 0, g.arrow), down = PartRect(hwnd, g.len - g.arrow, g.len);
    const bool upOff = !enabled || (s->disabledArrows & ESB_DISABLE_LTUP) || !g.hasThumb;
    const bool downOff = !enabled || (s->disabledArrows & ESB_DISABLE_RTDN) || !g.hasThumb;
    DrawFrameControl(hdc, &up, DFC_SCROLL, (vert ? DFCS_SCROLLUP : DFCS_SCROLLLEFT) | (upOff ? DFCS_INACTIVE : 0) |
                                               (s->pressed == LineUp && s->inside ? pushed : 0));
    DrawFrameControl(hdc, &down, DFC_SCROLL, (vert ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT) | (downOff ? DFCS_INACTIVE : 0) |
                                                 (s->pressed == LineDown && s->inside ? pushed : 0));
    RECT track = PartRect(hwnd, g.arrow, g.len - g.arrow);
    HBRUSH brush = ControlColor(hwnd, hdc, WM_CTLCOLORSCROLLBAR);
    FillRect(hdc, &track, brush ? brush : GetSysColorBrush(COLOR_SCROLLBAR));
    if (!g.hasThumb) return;
    if (s->pressed == PageUp && s->inside) {
        RECT r = PartRect(hwnd, g.arrow, g.thumbStart);
        FillRect(hdc, &r, GetSysColorBrush(COLOR_3DDKSHADOW));
    } else if (s->pressed == PageDown && s->inside) {
        RECT r = PartRect(hwnd, g.thumbStart + g.thumbLen, g.len - g.arrow);
        FillRect(hdc, &r, GetSysColorBrush(COLOR_3DDKSHADOW));
    }
    RECT thumb = PartRect(hwnd, g.thumbStart, g.thumbStart + g.thumbLen);
    DrawFrameControl(hdc, &thumb, DFC_BUTTON, DFCS_BUTTONPUSH);
}

void Tell(HWND hwnd, int code, int pos = 0) {
    const HWND parent = GetParent(hwnd);
    if (!parent) return;
    SendMessageW(parent, Vertical(hwnd) ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(code, pos), reinterpret_cast<LPARAM>(hwnd));
}

int CodeOf(Part p) {
    switch (p) {
    case LineUp: return SB_LINEUP;
    case LineDown: return SB_LINEDOWN;
    case PageUp: return SB_PAGEUP;
    case PageDown: return SB_PAGEDOWN;
    default: return SB_ENDSCROLL;
    }
}

int SetInfo(HWND hwnd, BarState* s, const SCROLLINFO* si, bool redraw) {
    if (si->fMask & SIF_RANGE) s->min = si->nMin, s->max = si->nMax;
    if (si->fMask & SIF_PAGE) s->page = si->nPage;
    if (si->fMask & SIF_POS) s->pos = si->nPos;
    const long long range = (long long)s->max - s->min + 1;
    if ((long long)s->page > std::max<long long>(range, 0)) s->page = UINT(std::max<long long>(range, 0));
    const long long hi = s->min + std::max<long long>(PosRange(s), 0);
    s->pos = int(std::clamp<long long>(s->pos, s->min, hi));
    if (s->pressed != Thumb) s->trackPos = s->pos;
    if (redraw) InvalidateRect(hwnd, nullptr, TRUE);
    return s->pos;
}

// The thumb follows the mouse; its position is told as SB_THUMBTRACK.
void DragThumb(HWND hwnd, BarState* s, POINT p) {
    const Geometry g = Measure(hwnd, s);
    const int track = g.len - 2 * g.arrow - g.thumbLen;
    if (track <= 0) return;
    const int along = (Vertical(hwnd) ? p.y : p.x) - g.arrow - s->grab;
    const long long pos = s->min + ((long long)std::clamp(along, 0, track) * PosRange(s) + track / 2) / track;
    if (int(pos) == s->trackPos) return;
    s->trackPos = int(pos);
    InvalidateRect(hwnd, nullptr, FALSE);
    Tell(hwnd, SB_THUMBTRACK, s->trackPos);
}

} // namespace

LRESULT CALLBACK ScrollBarProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* s = StateOf<BarState>(hwnd);
    if (!s && msg != WM_NCCREATE) return DefWindowProcW(hwnd, msg, wp, lp);
    switch (msg) {
    case WM_NCCREATE:
        AttachState<BarState>(hwnd);
        return DefWindowProcW(hwnd, msg, wp, lp);
    case WM_NCDESTROY:
        FreeState<BarState>(hwnd);
        return DefWindowProcW(hwnd, msg, wp, lp);
    case WM_NCHITTEST:
        // A size box resizes the window it sits in.
        if (SizeBox(hwnd)) return (StyleOf(hwnd) & SBS_TOPALIGN) ? HTTOPLEFT : HTBOTTOMRIGHT;
        return DefWindowProcW(hwnd, msg, wp, lp);
    case WM_ERASEBKGND: return 1;
    case WM_PAINT:
    case WM_PRINTCLIENT: PaintOrPrint(hwnd, msg == WM_PRINTCLIENT ? wp : 0, Paint); return 0;
    case WM_ENABLE: InvalidateRect(hwnd, nullptr, TRUE); return 0;
    case WM_GETDLGCODE: return DLGC_WANTARROWS;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        if (SizeBox(hwnd)) return 0;
        const POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        const Part part = HitPart(hwnd, s, p, &s->grab);
        if (part == None) return 0;
        if ((part == LineUp && (s->disabledArrows & ESB_DISABLE_LTUP)) ||
            (part == LineDown && (s->disabledArrows & ESB_DISABLE_RTDN)))
            return 0;
        if (StyleOf(hwnd) & WS_TABSTOP) SetFocus(hwnd);
        if (!(s = StateOf<BarState>(hwnd))) return 0;
        s->pressed = part;
        s->inside = true;
        s->trackPos = s->pos;
        SetCapture(hwnd);
        InvalidateRect(hwnd, nullptr, FALSE);
        if (part != Thumb) {
            Tell(hwnd, CodeOf(part));
            SetTimer(hwnd, RepeatTimer, FirstDelay, nullptr);
        }
        return 0;
    }
    case WM_TIMER:
        if (wp != RepeatTimer) return 0;
        SetTimer(hwnd, RepeatTimer, RepeatDelay, nullptr);
        if (s->pressed != None && s->pressed != Thumb && s->inside) {
            // A page click stops once the thumb has reached the mouse.
            POINT p;
            GetCursorPos(&p);
            ScreenToClient(hwnd, &p);
            if (s->pressed == LineUp || s->pressed == LineDown || HitPart(hwnd, s, p) == s->pressed)
                Tell(hwnd, CodeOf(s->pressed));
        }
        return 0;
    case WM_MOUSEMOVE: {
        if (s->pressed == None || GetCapture() != hwnd) return 0;
        const POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        if (s->pressed == Thumb) {
            DragThumb(hwnd, s, p);
            return 0;
        }
        const bool inside = HitPart(hwnd, s, p) == s->pressed;
        if (inside != s->inside) {
            s->inside = inside;
            InvalidateRect(hwnd, nullptr, FALSE);
        }
        return 0;
    }
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED: {
        if (s->pressed == None) return 0;
        const Part was = s->pressed;
        s->pressed = None;
        KillTimer(hwnd, RepeatTimer);
        if (msg == WM_LBUTTONUP && GetCapture() == hwnd) ReleaseCapture();
        if (!(s = StateOf<BarState>(hwnd))) return 0;
        if (was == Thumb) Tell(hwnd, SB_THUMBPOSITION, s->trackPos);
        Tell(hwnd, SB_ENDSCROLL);
        InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    }
    case WM_KEYDOWN: {
        int code = -1;
        switch (wp) {
        case VK_UP:
        case VK_LEFT: code = SB_LINEUP; break;
        case VK_DOWN:
        case VK_RIGHT: code = SB_LINEDOWN; break;
        case VK_PRIOR: code = SB_PAGEUP; break;
        case VK_NEXT: code = SB_PAGEDOWN; break;
        case VK_HOME: code = SB_TOP; break;
        case VK_END: code = SB_BOTTOM; break;
        default: break;
        }
        if (code >= 0) {
            Tell(hwnd, code);
            Tell(hwnd, SB_ENDSCROLL);
        }
        return 0;
    }
    case SBM_SETSCROLLINFO:
        if (!lp) return 0;
        return SetInfo(hwnd, s, reinterpret_cast<const SCROLLINFO*>(lp), wp != 0);
    case SBM_GETSCROLLINFO: {
        auto* si = reinterpret_cast<SCROLLINFO*>(lp);
        if (!si) return FALSE;
        if (si->fMask & SIF_RANGE) si->nMin = s->min, si->nMax = s->max;
        if (si->fMask & SIF_PAGE) si->nPage = s->page;
        if (si->fMask & SIF_POS) si->nPos = s->pos;
        if (si->fMask & SIF_TRACKPOS) si->nTrackPos = s->pressed == Thumb ? s->trackPos : s->pos;
        return TRUE;
    }
    case SBM_SETPOS: {
        const int old = s->pos;
        SCROLLINFO si{};
        si.fMask = SIF_POS;
        si.nPos = int(wp);
        SetInfo(hwnd, s, &si, lp != 0);
        return old;
    }
    case SBM_GETPOS: return s->pos;
    case SBM_SETRANGE:
    case SBM_SETRANGEREDRAW: {
        SCROLLINFO si{};
        si.fMask = SIF_RANGE;
        si.nMin = int(wp);
        si.nMax = int(lp);
        const int old = s->pos;
        SetInfo(hwnd, s, &si, msg == SBM_SETRANGEREDRAW);
        return old;
    }
    case SBM_GETRANGE:
        if (wp) *reinterpret_cast<LPINT>(wp) = s->min;
        if (lp) *reinterpret_cast<LPINT>(lp) = s->max;
        return 0;
    case SBM_ENABLE_ARROWS:
        s->disabledArrows = UINT(wp) & ESB_DISABLE_BOTH;
        InvalidateRect(hwnd, nullptr, FALSE);
        return TRUE;
    default: return DefWindowProcW(hwnd, msg, wp, lp);
    }
}

} // namespace twuser::controls
