// The standard scroll bars of WS_HSCROLL/WS_VSCROLL windows: their state, painting and the modal
// tracking loop that turns a press into WM_HSCROLL/WM_VSCROLL messages.
#include "win/user32/WindowModel.h"
#include "win/user32/winctrl.h"

#include <algorithm>

namespace twuser {

namespace {

ScrollBar& BarOf(Window* w, int bar) { return bar == SB_VERT ? w->vbar : w->hbar; }
const ScrollBar& BarOf(const Window* w, int bar) { return bar == SB_VERT ? w->vbar : w->hbar; }

// Positions along a bar, relative to its start.
struct Geometry {
    RECT bar{};
    bool vert = true;
    int len = 0, arrow = 0;
    bool hasThumb = false;
    int thumbStart = 0, thumbLen = 0;
    long long posRange = 0;  // positions a thumb can take - 1
    int Track() const { return len - 2 * arrow; }
};

Geometry Measure(const Window* w, int bar) {
    Geometry g;
    if (!ScrollBarRect(w, bar, g.bar)) return g;
    g.vert = bar == SB_VERT;
    g.len = g.vert ? g.bar.bottom - g.bar.top : g.bar.right - g.bar.left;
    g.arrow = std::min(GetSystemMetrics(g.vert ? SM_CYVSCROLL : SM_CXHSCROLL), g.len / 2);
    const ScrollBar& sb = BarOf(w, bar);
    const long long range = (long long)sb.max - sb.min + 1;
    g.posRange = (long long)sb.max - sb.min - std::max<long long>((long long)sb.page - 1, 0);
    if (g.posRange <= 0 || sb.Disabled() == ESB_DISABLE_BOTH || range <= 0) return g;
    const int track = g.Track();
    int thumb = GetSystemMetrics(g.vert ? SM_CYVTHUMB : SM_CXHTHUMB);
    if (sb.page) thumb = std::max<int>(int(track * (long long)sb.page / range), 8);
    if (thumb > track) return g;
    g.hasThumb = true;
    g.thumbLen = thumb;
    const int pos = sb.tracking ? sb.trackPos : sb.pos;
    g.thumbStart = g.arrow + int((long long)(track - thumb) * (pos - sb.min) / g.posRange);
    return g;
}

void PaintBar(Window* w, HDC hdc, int bar) {
    const Geometry g = Measure(w, bar);
    if (g.len <= 0) return;
    const ScrollBar& sb = BarOf(w, bar);
    const UINT disabled = sb.Disabled();
    auto part = [&](int a, int b) {
        return g.vert ? RECT{g.bar.left, g.bar.top + a, g.bar.right, g.bar.top + b}
                      : RECT{g.bar.left + a, g.bar.top, g.bar.left + b, g.bar.bottom};
    };
    RECT up = part(0, g.arrow), down = part(g.len - g.arrow, g.len);
    const UINT pushed = DFCS_PUSHED | DFCS_FLAT;
    DrawFrameControl(hdc, &up, DFC_SCROLL,
                     (g.vert ? DFCS_SCROLLUP : DFCS_SCROLLLEFT) | ((disabled & ESB_DISABLE_LTUP) ? DFCS_INACTIVE : 0) |
                         (sb.pressedPart == SpLineUp ? pushed : 0));
    DrawFrameControl(hdc, &down, DFC_SCROLL,
                     (g.vert ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT) | ((disabled & ESB_DISABLE_RTDN) ? DFCS_INACTIVE : 0) |
                         (sb.pressedPart == SpLineDown ? pushed : 0));
    const RECT track = part(g.arrow, g.len - g.arrow);
    FillRect(hdc, &track, GetSysColorBrush(COLOR_SCROLLBAR));
    if (g.hasThumb) {
        if (sb.pressedPart == SpPageUp) {
            RECT r = part(g.arrow, g.thumbStart);
            FillRect(hdc, &r, GetSysColorBrush(COLOR_3DDKSHADOW));
        } else if (sb.pressedPart == SpPageDown) {
            RECT r = part(g.thumbStart + g.thumbLen, g.len - g.arrow);
            FillRect(hdc, &r, GetSysColorBrush(COLOR_3DDKSHADOW));
        }
        RECT thumb = part(g.thumbStart, g.thumbStart + g.thumbLen);
        DrawFrameControl(hdc, &thumb, DFC_BUTTON, DFCS_BUTTONPUSH);
    }
}

void RedrawBars(Window* w) {
    if (!ReallyVisible(w) || !(w->style & (WS_HSCROLL | WS_VSCROLL))) return;
    const HWND h = w->handle;
    HDC hdc = GetWindowDC(h);
    if (Window* x = Get(h)) PaintScrollBars(x, hdc);
    ReleaseDC(h, hdc);
}

int CodeFor(ScrollPart p) {
    switch (p) {
    case SpLineUp: return SB_LINEUP;
    case SpLineDown: return SB_LINEDOWN;
    case SpPageUp: return SB_PAGEUP;
    case SpPageDown: return SB_PAGEDOWN;
    default: return SB_ENDSCROLL;
    }
}

} // namespace

void PaintScrollBars(Window* w, HDC hdc) {
    if (BarShown(w, SB_VERT)) PaintBar(w, hdc, SB_VERT);
    if (BarShown(w, SB_HORZ)) PaintBar(w, hdc, SB_HORZ);
    RECT v, h;
    if (ScrollBarRect(w, SB_VERT, v) && ScrollBarRect(w, SB_HORZ, h)) {
        RECT corner{v.left, h.top, v.right, h.bottom};
        FillRect(hdc, &corner, GetSysColorBrush(COLOR_BTNFACE));
    }
}

ScrollPart ScrollHit(const Window* w, int bar, POINT p, int* thumbOffset) {
    const Geometry g = Measure(w, bar);
    if (g.len <= 0 || !PtInRect(&g.bar, p)) return SpNone;
    const int along = g.vert ? p.y - g.bar.top : p.x - g.bar.left;
    if (along < g.arrow) return SpLineUp;
    if (along >= g.len - g.arrow) return SpLineDown;
    if (!g.hasThumb) return along < g.len / 2 ? SpPageUp : SpPageDown;
    if (along < g.thumbStart) return SpPageUp;
    if (along < g.thumbStart + g.thumbLen) {
        if (thumbOffset) *thumbOffset = along - g.thumbStart;
        return SpThumb;
    }
    return SpPageDown;
}

void TrackScrollBar(Window* w, int bar, POINT screenPt) {
    const HWND hwnd = w->handle;
    const POINT wo = WindowOrigin(w);
    int thumbOffset = 0;
    const ScrollPart part = ScrollHit(w, bar, POINT{screenPt.x - wo.x, screenPt.y - wo.y}, &thumbOffset);
    if (part == SpNone) return;
    ScrollBar& sb0 = BarOf(w, bar);
    if (part == SpLineUp && (sb0.Disabled() & ESB_DISABLE_LTUP)) return;
    if (part == SpLineDown && (sb0.Disabled() & ESB_DISABLE_RTDN)) return;
    if (sb0.Disabled() == ESB_DISABLE_BOTH) return;
    const UINT msg = bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL;
    SetCapture(hwnd);
    const int startPos = sb0.pos;
    // Far enough from the bar (across it or past its ends) the drag lets go of the thumb, and picks it
    // up again when the pointer comes back, as Windows does.
    RECT snapArea{};
    if (ScrollBarRect(w, bar, snapArea)) {
        const int thick = bar == SB_VERT ? snapArea.right - snapArea.left : snapArea.bottom - snapArea.top;
        if (bar == SB_VERT) InflateRect(&snapArea, 8 * thick, 2 * thick);
        else InflateRect(&snapArea, 2 * thick, 8 * thick);
    }
    if (part == SpThumb) {
        sb0.tracking = true;
        sb0.trackPos = sb0.pos;
        // The thumb is picked up where it lies: the window hears that position first.
        Send(hwnd, msg, MAKEWPARAM(SB_THUMBTRACK, startPos), 0);
    } else {
        sb0.pressedPart = part;
        RedrawBars(w);
        Send(hwnd, msg, CodeFor(part), 0);
        if (Get(hwnd)) AddTimer(hwnd, TimerScrollRepeat, 200, nullptr, true);
    }
    bool over = true;
    POINT last = screenPt;
    for (;;) {
        if (!Get(hwnd) || GetCapture() != hwnd) break;
        MSG m;
        if (!PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
            WaitMessage();
            continue;
        }
        if (CallMsgFilterW(&m, MSGF_SCROLLBAR)) continue;
        if (m.message == WM_QUIT) {
            PostQuitMessage(int(m.wParam));
            break;
        }
        if (m.message == WM_LBUTTONUP) break;
        if (m.message == WM_MOUSEMOVE || m.message == WM_SYSTIMER) {
            Window* x = Get(hwnd);
            if (!x) break;
            if (m.message == WM_MOUSEMOVE) {
                last = m.pt;
            } else if (m.hwnd != hwnd || m.wParam != TimerScrollRepeat) {
                DispatchMessageW(&m);
                continue;
            }
            const POINT o = WindowOrigin(x);
            const POINT p{last.x - o.x, last.y - o.y};
            ScrollBar& sb = BarOf(x, bar);
            if (part == SpThumb) {
                if (m.message != WM_MOUSEMOVE) continue;
                const Geometry g = Measure(x, bar);
                if (!g.hasThumb) continue;
                const int along = (g.vert ? p.y - g.bar.top : p.x - g.bar.left) - thumbOffset;
                const int room = g.Track() - g.thumbLen;
                const int start = std::clamp(along, g.arrow, g.arrow + room);
                int pos = room > 0 ? sb.min + int(((long long)(start - g.arrow) * g.posRange + room / 2) / room) : sb.min;
                if (!PtInRect(&snapArea, p)) pos = startPos;  // strayed too far: the thumb goes back
                if (pos != sb.trackPos) {
                    sb.trackPos = pos;
                    RedrawBars(x);
                    Send(hwnd, msg, MAKEWPARAM(SB_THUMBTRACK, pos), 0);
                }
                continue;
            }
            // Line and page parts repeat while the pointer stays on them.
            const ScrollPart now = ScrollHit(x, bar, p);
            const bool nowOver = now == part;
            if (nowOver != over) {
                over = nowOver;
                sb.pressedPart = over ? part : SpNone;
                RedrawBars(x);
            }
            if (m.message == WM_SYSTIMER) {
                if (over) Send(hwnd, msg, CodeFor(part), 0);
                if (Get(hwnd)) AddTimer(hwnd, TimerScrollRepeat, 50, nullptr, true);
            }
            continue;
        }
        if (m.message >= WM_KEYFIRST && m.message <= WM_KEYLAST) {
            if (m.message == WM_KEYDOWN && m.wParam == VK_ESCAPE) break;
            continue;
        }
        if (m.message >= WM_MOUSEFIRST && m.message <= WM_MOUSELAST) continue;
        DispatchMessageW(&m);
    }
    RemoveTimer(hwnd, TimerScrollRepeat, true);
    // The capture goes before the closing messages, as on the real platform.
    if (GetCapture() == hwnd) ReleaseCapture();
    Window* x = Get(hwnd);
    if (!x) return;
    ScrollBar& sb = BarOf(x, bar);
    if (part == SpThumb) {
        const int pos = sb.trackPos;
        Send(hwnd, msg, MAKEWPARAM(SB_THUMBPOSITION, pos), 0);
        if ((x = Get(hwnd))) BarOf(x, bar).tracking = false;
    }
    if ((x = Get(hwnd))) {
        BarOf(x, bar).pressedPart = SpNone;
        Send(hwnd, msg, SB_ENDSCROLL, 0);
    }
    if ((x = Get(hwnd))) {
        BarOf(x, bar).trackPos = BarOf(x, bar).pos;
        RedrawBars(x);
    }
}

} // namespace twuser

using namespace twuser;

extern "C" {

BOOL WINAPI ShowScrollBar(HWND hwnd, int bar, BOOL show) {
    Window* w = Get(hwnd);
    if (!w || bar == SB_CTL) return FALSE;
    DWORD bits = bar == SB_BOTH ? (WS_HSCROLL | WS_VSCROLL) : bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL;
    const DWORD before = w->style;
    if (show) w->style |= bits;
    else w->style &= ~bits;
    if (w->style != before)
        SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return TRUE;
}

BOOL WINAPI EnableScrollBar(HWND hwnd, UINT bar, UINT arrows) {
    Window* w = Get(hwnd);
    if (!w || bar == SB_CTL) return FALSE;
    bool changed = false;
    for (int b : {SB_HORZ, SB_VERT}) {
        if (bar != SB_BOTH && int(bar) != b) continue;
        ScrollBar& sb = BarOf(w, b);
        changed |= sb.userDisabled != arrows;
        sb.userDisabled = arrows & ESB_DISABLE_BOTH;
    }
    if (changed) RedrawBars(w);
    return changed;
}

int WINAPI SetScrollInfo(HWND hwnd, int bar, LPCSCROLLINFO si, BOOL redraw) {
    // A scroll-bar control keeps its own state.
    if (bar == SB_CTL) return int(SendMessageW(hwnd, SBM_SETSCROLLINFO, redraw, reinterpret_cast<LPARAM>(si)));
    Window* w = Get(hwnd);
    if (!w || !si || (bar != SB_HORZ && bar != SB_VERT)) return 0;
    ScrollBar& sb = BarOf(w, bar);
    if (si->fMask & SIF_RANGE) {
        sb.min = si->nMin;
        sb.max = si->nMax;
    }
    if (si->fMask & SIF_PAGE) sb.page = si->nPage;
    if (si->fMask & SIF_POS) sb.pos = si->nPos;
    const long long range = (long long)sb.max - sb.min + 1;
    if ((long long)sb.page > std::max<long long>(range, 0)) sb.page = UINT(std::max<long long>(range, 0));
    const long long hi = (long long)sb.max - std::max<long long>((long long)sb.page - 1, 0);
    sb.pos = int(std::clamp<long long>(sb.pos, sb.min, std::max<long long>(sb.min, hi)));
    if (!sb.tracking) sb.trackPos = sb.pos;
    if (si->fMask & (SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL)) {
        const bool needless = (long long)sb.min >= hi;
        const DWORD bit = bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL;
        if (needless) {
            if (si->fMask & SIF_DISABLENOSCROLL) {
                sb.noScrollDisabled = true;
                if (!(w->style & bit)) ShowScrollBar(hwnd, bar, TRUE);
            } else if (w->style & bit) {
                ShowScrollBar(hwnd, bar, FALSE);
            }
        } else {
            // Only the "nothing to scroll" state is lifted; a bar disabled by EnableScrollBar stays so.
            sb.noScrollDisabled = false;
            if (si->fMask != SIF_PAGE && !(w->style & bit)) ShowScrollBar(hwnd, bar, TRUE);
        }
        if (!(w = Get(hwnd))) return 0;
    }
    if (redraw) RedrawBars(w);
    return BarOf(w, bar).pos;
}

BOOL WINAPI GetScrollInfo(HWND hwnd, int bar, LPSCROLLINFO si) {
    if (bar == SB_CTL) return BOOL(SendMessageW(hwnd, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(si)));
    Window* w = Get(hwnd);
    if (!w || !si || (bar != SB_HORZ && bar != SB_VERT)) return FALSE;
    const ScrollBar& sb = BarOf(w, bar);
    if (si->fMask & SIF_RANGE) {
        si->nMin = sb.min;
        si->nMax = sb.max;
    }
    if (si->fMask & SIF_PAGE) si->nPage = sb.page;
    if (si->fMask & SIF_POS) si->nPos = sb.pos;
    if (si->fMask & SIF_TRACKPOS) si->nTrackPos = sb.tracking ? sb.trackPos : sb.pos;
    return TRUE;
}

int WINAPI SetScrollPos(HWND hwnd, int bar, int pos, BOOL redraw) {
    if (bar == SB_CTL) return int(SendMessageW(hwnd, SBM_SETPOS, WPARAM(pos), redraw));
    Window* w = Get(hwnd);
    if (!w || (bar != SB_HORZ && bar != SB_VERT)) return 0;
    const int old = BarOf(w, bar).pos;
    SCROLLINFO si{sizeof si, SIF_POS, 0, 0, 0, pos, 0};
    SetScrollInfo(hwnd, bar, &si, redraw);
    return old;
}

int WINAPI GetScrollPos(HWND hwnd, int bar) {
    if (bar == SB_CTL) return int(SendMessageW(hwnd, SBM_GETPOS, 0, 0));
    Window* w = Get(hwnd);
    return w && (bar == SB_HORZ || bar == SB_VERT) ? BarOf(w, bar).pos : 0;
}

BOOL WINAPI SetScrollRange(HWND hwnd, int bar, int mn, int mx, BOOL redraw) {
    SCROLLINFO si{sizeof si, SIF_RANGE, mn, mx, 0, 0, 0};
    return Get(hwnd) && SetScrollInfo(hwnd, bar, &si, redraw) >= 0;
}

BOOL WINAPI GetScrollRange(HWND hwnd, int bar, LPINT mn, LPINT mx) {
    if (bar == SB_CTL) return SendMessageW(hwnd, SBM_GETRANGE, reinterpret_cast<WPARAM>(mn), reinterpret_cast<LPARAM>(mx)) == 0;
    Window* w = Get(hwnd);
    if (!w || (bar != SB_HORZ && bar != SB_VERT)) return FALSE;
    if (mn) *mn = BarOf(w, bar).min;
    if (mx) *mx = BarOf(w, bar).max;
    return TRUE;
}

} // extern "C"
