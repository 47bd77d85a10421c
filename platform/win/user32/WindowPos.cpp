// Window positions: SetWindowPos (the one place windows move, resize, change z-order, show and hide),
// ShowWindow with minimise, maximise and restore, placements, the tracking limits and coordinate mapping.
#include "win/user32/WindowModel.h"

#include <algorithm>

namespace twuser {

namespace {

// Where a maximised window may go: the work area for a top-level window, the parent's client area
// for a child (parent coordinates).
RECT MaximizeArea(const Window* w) {
    RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (IsTopLevel(w)) SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    else if (w->parent) work = RECT{0, 0, w->parent->client.right - w->parent->client.left,
                                    w->parent->client.bottom - w->parent->client.top};
    return work;
}

MINMAXINFO MinMax(Window* w) {
    MINMAXINFO mmi{};
    const int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
    // By default a maximised window's border lies just outside the area, so its client area fills it.
    const RECT area = MaximizeArea(w);
    const int b = FrameWidth(w);
    mmi.ptMaxSize = POINT{area.right - area.left + 2 * b, area.bottom - area.top + 2 * b};
    mmi.ptMaxPosition = POINT{-b, -b};
    // A window with a border or a dialog frame is kept to the system's smallest size; any other only to
    // twice its frame (nothing at all for a window without one).
    if (w->style & (WS_DLGFRAME | WS_BORDER))
        mmi.ptMinTrackSize = POINT{GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
    else
        mmi.ptMinTrackSize = POINT{2 * b, 2 * b};
    mmi.ptMaxTrackSize = POINT{std::max(GetSystemMetrics(SM_CXMAXTRACK), cx), std::max(GetSystemMetrics(SM_CYMAXTRACK), cy)};
    Send(w->handle, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
    return mmi;
}

TopLevelInfo InfoOf(const Window* w) {
    TopLevelInfo i;
    i.rect = w->rect;
    i.decorated = IsDecorated(w);
    i.topmost = (w->exStyle & WS_EX_TOPMOST) != 0;
    i.ownFrame = w->ownFrame;
    i.popup = !i.decorated && !i.ownFrame;
    i.noActivate = (w->exStyle & WS_EX_NOACTIVATE) != 0 || i.popup;
    i.tool = (w->exStyle & WS_EX_TOOLWINDOW) != 0;
    i.title = QString::fromStdU16String(w->text);
    return i;
}

// Tells the presentation what a top-level window looks like now.
void SyncScreen(Window* w) {
    Backend* b = S().backend;
    if (!IsTopLevel(w) || w->messageOnly) return;
    const bool show = w->Visible() && !w->minimized;
    if (S().desktopChange && w->shownOnScreen) {
        // What the desktop did is on the screen already; only the pixels follow the new size.
        if (show) EnsureBacking(w);
        return;
    }
    if (show) {
        EnsureBacking(w);
        if (!b) return;
        if (!w->shownOnScreen) {
            w->shownOnScreen = true;
            b->Show(w->handle, InfoOf(w));
            if (w->windowRgn) b->Mask(w->handle, w->windowRgn->Rects());
            if (w->alpha != 255) b->Opacity(w->handle, w->alpha / 255.0);
            MarkDirty(w, RECT{0, 0, w->Width(), w->Height()});
        } else {
            b->Geometry(w->handle, w->rect);
        }
    } else if (w->shownOnScreen) {
        w->shownOnScreen = false;
        if (b) b->Hide(w->handle);
    }
}

} // namespace

MINMAXINFO TrackLimits(Window* w) { return MinMax(w); }

bool SizeTracked(const Window* w) {
    return IsTopLevel(w) && ((w->style & WS_THICKFRAME) || !(w->style & (WS_POPUP | WS_CHILD)));
}

void ClampTracked(Window* w, WINDOWPOS& pos) {
    const HWND h = w->handle;
    const MINMAXINFO mmi = MinMax(w);
    // An iconic window keeps the small size it is given.
    if (!(w = Get(h)) || w->minimized) return;
    pos.cx = std::clamp<int>(pos.cx, mmi.ptMinTrackSize.x, std::max(mmi.ptMinTrackSize.x, mmi.ptMaxTrackSize.x));
    pos.cy = std::clamp<int>(pos.cy, mmi.ptMinTrackSize.y, std::max(mmi.ptMinTrackSize.y, mmi.ptMaxTrackSize.y));
}

RECT MaximizedRect(Window* w) {
    // The window may move or size its maximised self through WM_GETMINMAXINFO (relative to the area).
    const HWND h = w->handle;
    const MINMAXINFO mmi = MinMax(w);
    if (!(w = Get(h))) return RECT{};
    const RECT area = MaximizeArea(w);
    const LONG x = area.left + mmi.ptMaxPosition.x, y = area.top + mmi.ptMaxPosition.y;
    return RECT{x, y, x + mmi.ptMaxSize.x, y + mmi.ptMaxSize.y};
}

void SyncTopLevel(Window* w) { SyncScreen(w); }

void SendSizeAndMove(Window* w) {
    const HWND hwnd = w->handle;
    const WPARAM type = w->minimized ? SIZE_MINIMIZED : w->maximized ? SIZE_MAXIMIZED : SIZE_RESTORED;
    Send(hwnd, WM_SIZE, type, MAKELPARAM(w->client.right - w->client.left, w->client.bottom - w->client.top));
    if (!(w = Get(hwnd))) return;
    Send(hwnd, WM_MOVE, 0, MAKELPARAM(w->rect.left + w->client.left, w->rect.top + w->client.top));
}

// ---- SetWindowPos: the one place windows move, resize, change z-order, show and hide ----

BOOL SetWindowPosImpl(HWND hwnd, HWND after, int x, int y, int cx, int cy, UINT flags) {
    Window* w = Get(hwnd);
    if (!w || w == S().desktop) return FALSE;
    if (after == hwnd) flags |= SWP_NOZORDER;
    if (flags & SWP_NOMOVE) x = w->rect.left, y = w->rect.top;
    if (flags & SWP_NOSIZE) cx = w->Width(), cy = w->Height();
    cx = std::max(cx, 0);
    cy = std::max(cy, 0);
    WINDOWPOS wp{hwnd, after, x, y, cx, cy, flags};
    if (!(flags & SWP_NOSENDCHANGING)) {
        // The window hears the request as made; DefWindowProcW holds the size to the tracking limits.
        Send(hwnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&wp));
        if (!(w = Get(hwnd))) return FALSE;
        flags = wp.flags;
        if (flags & SWP_NOMOVE) wp.x = w->rect.left, wp.y = w->rect.top;
        if (flags & SWP_NOSIZE) wp.cx = w->Width(), wp.cy = w->Height();
    }
    if (w->Visible()) flags &= ~SWP_SHOWWINDOW;
    else flags &= ~SWP_HIDEWINDOW;
    const RECT oldRect = w->rect, oldClient = w->client;
    const RECT newRect{wp.x, wp.y, wp.x + std::max(wp.cx, 0), wp.y + std::max(wp.cy, 0)};
    const bool sized = newRect.right - newRect.left != oldRect.right - oldRect.left ||
                       newRect.bottom - newRect.top != oldRect.bottom - oldRect.top;
    const bool moved = newRect.left != oldRect.left || newRect.top != oldRect.top;
    RECT newClient = oldClient;  // window coordinates
    if (sized || (flags & SWP_FRAMECHANGED)) {
        NCCALCSIZE_PARAMS p{};
        p.rgrc[0] = newRect;
        p.rgrc[1] = oldRect;
        p.rgrc[2] = RECT{oldRect.left + oldClient.left, oldRect.top + oldClient.top, oldRect.left + oldClient.right,
                         oldRect.top + oldClient.bottom};
        p.lppos = &wp;
        Send(hwnd, WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&p));
        if (!(w = Get(hwnd))) return FALSE;
        RECT c = p.rgrc[0];
        c.right = std::max(c.right, c.left);
        c.bottom = std::max(c.bottom, c.top);
        newClient = RECT{c.left - newRect.left, c.top - newRect.top, c.right - newRect.left, c.bottom - newRect.top};
        if (w->minimized) newClient = RECT{0, 0, 0, 0};  // an iconic window has no client area
    }
    const bool wasVisible = w->Visible();
    // Where the window was, for the parent to repaint.
    const RECT oldScreen = ScreenRect(w);
    w->rect = newRect;
    w->client = newClient;
    if (!(flags & SWP_NOZORDER)) {
        // A window already in the place asked for reports no z-order change, as Windows does. An owner
        // brought to the top stays below the windows it owns; it reports where it went.
        const std::vector<Window*> before = w->parent ? w->parent->children : std::vector<Window*>{};
        const DWORD exBefore = w->exStyle;
        HWND place = after;
        if (after == HWND_TOP && IsTopLevel(w)) {
            for (Window* o : w->parent->children) {
                if (o == w || ((o->exStyle ^ w->exStyle) & WS_EX_TOPMOST)) continue;
                for (Window* a = o->owner; a; a = a->owner)
                    if (a == w) {
                        place = o->handle;
                        break;
                    }
            }
        }
        LinkAfter(w, place);
        if (place != after) wp.hwndInsertAfter = place;
        else if (w->parent && w->parent->children == before && w->exStyle == exBefore) flags |= SWP_NOZORDER;
    }
    if (flags & SWP_SHOWWINDOW) w->style |= WS_VISIBLE;
    if (flags & SWP_HIDEWINDOW) w->style &= ~WS_VISIBLE;

    UINT finalFlags = flags;
    if (!wasVisible && !(flags & SWP_SHOWWINDOW)) finalFlags |= SWP_NOREDRAW;  // nothing of it is on screen
    if (!(sized || (flags & SWP_FRAMECHANGED)) || (oldClient.right - oldClient.left == newClient.right - newClient.left &&
                                                   oldClient.bottom - oldClient.top == newClient.bottom - newClient.top))
        finalFlags |= TW_SWP_NOCLIENTSIZE;
    if (oldRect.left + oldClient.left == newRect.left + newClient.left &&
        oldRect.top + oldClient.top == newRect.top + newClient.top)
        finalFlags |= TW_SWP_NOCLIENTMOVE;
    wp.flags = finalFlags;

    // Repainting: the uncovered part of the parent, the window where it needs it.
    if (!(flags & SWP_NOREDRAW)) {
        if (!IsTopLevel(w) && wasVisible && (moved || sized || (flags & SWP_HIDEWINDOW))) {
            Window* p = w->parent;
            Region gone = Region::FromRect(oldScreen);
            if (w->Visible() && !(flags & SWP_HIDEWINDOW)) gone = gone.Subtract(Region::FromRect(ScreenRect(w)));
            const POINT po = WindowOrigin(p);
            gone.Offset(-po.x, -po.y);
            InvalidateWindow(p, &gone, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
        }
        if (w->Visible()) {
            if ((flags & SWP_SHOWWINDOW) || (moved && !IsTopLevel(w))) {
                InvalidateWindow(w, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
            } else if (sized || (flags & SWP_FRAMECHANGED)) {
                const UINT cs = w->cls ? w->cls->style : 0;
                const bool hredraw = (cs & CS_HREDRAW) && newRect.right - newRect.left != oldRect.right - oldRect.left;
                const bool vredraw = (cs & CS_VREDRAW) && newRect.bottom - newRect.top != oldRect.bottom - oldRect.top;
                if (hredraw || vredraw) {
                    InvalidateWindow(w, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
                } else {
                    // Only what was not client area before (and the frame) needs painting.
                    Region exposed = Region::FromRect(newClient).Subtract(Region::FromRect(RECT{
                        oldClient.left, oldClient.top, std::min(oldClient.right, newClient.right),
                        std::min(oldClient.bottom, newClient.bottom)}));
                    if (oldClient.left != newClient.left || oldClient.top != newClient.top)
                        exposed = Region::FromRect(newClient);
                    InvalidateWindow(w, &exposed, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
                    w->frameNeeded = true;
                }
            }
        }
    } else if (flags & SWP_FRAMECHANGED) {
        w->frameNeeded = w->Visible();
    }
    if (IsTopLevel(w)) SyncScreen(w);

    if (!(flags & (SWP_NOACTIVATE | SWP_HIDEWINDOW))) {
        // A child hears of it even while hidden (so does a child-style window of the desktop); only a
        // visible top-level window can become active.
        if ((w->style & (WS_CHILD | WS_POPUP)) == WS_CHILD) Send(hwnd, WM_CHILDACTIVATE, 0, 0);
        else if (IsTopLevel(w) && w->Visible()) ActivateWindow(w, false);
        if (!(w = Get(hwnd))) return TRUE;
    }
    const UINT noChange = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER;
    if ((flags & noChange) != noChange || sized || moved || (flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW | SWP_FRAMECHANGED)))
        Send(hwnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&wp));
    if ((flags & SWP_HIDEWINDOW) && (w = Get(hwnd))) {
        // Only once the window is hidden does the focus leave it: a focused child hands it to its parent
        // (a focused descendant keeps it), an active window its activation to the next window. A window
        // being destroyed gives up its activation later, once the windows it owns are gone.
        auto& s = S();
        if (!IsTopLevel(w)) {
            if (s.focus == hwnd) SetFocus(H(w->parent));
            if ((w = Get(hwnd)) && s.capture && (s.capture == hwnd || IsChild(hwnd, s.capture))) s.capture = nullptr;
        } else if (!w->destroying) {
            FocusLost(w);
        }
    }
    return TRUE;
}

} // namespace twuser

using namespace twuser;

extern "C" {

// ---- geometry ----

BOOL WINAPI GetWindowRect(HWND hwnd, LPRECT r) {
    Window* w = Get(hwnd);
    if (!r) return FALSE;
    if (!w) {
        *r = RECT{0, 0, 0, 0};
        return FALSE;
    }
    *r = ScreenRect(w);
    return TRUE;
}

BOOL WINAPI GetClientRect(HWND hwnd, LPRECT r) {
    Window* w = Get(hwnd);
    if (!r) return FALSE;
    if (!w) {
        *r = RECT{0, 0, 0, 0};
        return FALSE;
    }
    *r = RECT{0, 0, w->client.right - w->client.left, w->client.bottom - w->client.top};
    return TRUE;
}

BOOL WINAPI SetWindowPos(HWND hwnd, HWND after, int x, int y, int cx, int cy, UINT flags) {
    return SetWindowPosImpl(hwnd, after, x, y, cx, cy, flags);
}

BOOL WINAPI MoveWindow(HWND hwnd, int x, int y, int cx, int cy, BOOL repaint) {
    return SetWindowPosImpl(hwnd, nullptr, x, y, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

BOOL WINAPI BringWindowToTop(HWND hwnd) { return SetWindowPosImpl(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE); }

BOOL WINAPI ShowWindow(HWND hwnd, int cmd) {
    Window* w = Get(hwnd);
    if (!w || w == S().desktop) return FALSE;
    auto& s = S();
    const bool wasVisible = w->Visible();
    UINT swp = 0;
    bool show = true;
    enum { Plain, Minimize, Maximize, Restore } change = Plain;
    switch (cmd) {
    case SW_HIDE:
        if (!wasVisible) return FALSE;
        show = false;
        swp = SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE;
        if (w->style & WS_CHILD) swp |= SWP_NOACTIVATE | SWP_NOZORDER;
        break;
    case SW_SHOWNA:
    case SW_SHOWNOACTIVATE:
        // SW_SHOWNA brings a top-level window to the top, without activating it.
        swp = SWP_SHOWWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE;
        if (cmd == SW_SHOWNOACTIVATE || (w->style & WS_CHILD)) swp |= SWP_NOZORDER;
        if (cmd == SW_SHOWNOACTIVATE && (w->minimized || w->maximized)) change = Restore;
        break;
    case SW_SHOW:
        if (wasVisible) return TRUE;
        swp = SWP_SHOWWINDOW | SWP_NOSIZE | SWP_NOMOVE;
        if (w->style & WS_CHILD) swp |= SWP_NOACTIVATE | SWP_NOZORDER;
        break;
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
    case SW_SHOWMINNOACTIVE:
    case SW_FORCEMINIMIZE:
        // Minimising says SWP_SHOWWINDOW even to a shown window.
        swp = SWP_SHOWWINDOW | SWP_NOZORDER;
        if (cmd != SW_SHOWMINIMIZED) swp |= SWP_NOACTIVATE;
        if (!w->minimized) change = Minimize;
        else swp |= SWP_NOSIZE | SWP_NOMOVE;
        break;
    case SW_SHOWMAXIMIZED:
        swp = wasVisible ? 0 : SWP_SHOWWINDOW;
        if (!w->maximized) change = Maximize;
        else swp |= SWP_NOSIZE | SWP_NOMOVE;
        break;
    default:  // SW_SHOWNORMAL, SW_RESTORE, SW_SHOWDEFAULT
        swp = SWP_SHOWWINDOW;
        if (w->style & WS_CHILD) swp |= SWP_NOACTIVATE | SWP_NOZORDER;
        if (w->minimized || w->maximized) change = Restore;
        else swp |= SWP_NOSIZE | SWP_NOMOVE;
        break;
    }
    RECT target = w->rect;
    bool fromIcon = false;
    if (change != Plain) {
        if (CallHooks(WH_CBT, HCBT_MINMAX, reinterpret_cast<WPARAM>(hwnd), LPARAM(cmd))) {
            // Refused: the window stays as it is, but still hears of a frame change.
            change = Plain;
            swp |= SWP_NOSIZE | SWP_NOMOVE | SWP_FRAMECHANGED;
        }
        if (!(w = Get(hwnd))) return wasVisible;
    }
    if (change == Plain) {
        if (!(swp & SWP_FRAMECHANGED) && w->Visible() == show && (swp & (SWP_NOSIZE | SWP_NOMOVE)) == (SWP_NOSIZE | SWP_NOMOVE))
            swp &= ~(SWP_SHOWWINDOW | SWP_HIDEWINDOW);
    } else if (change == Minimize) {
        // The focus leaves an iconic window; the activation stays.
        if (s.focus && (s.focus == hwnd || IsChild(hwnd, s.focus))) {
            SetFocus(nullptr);
            if (!(w = Get(hwnd))) return wasVisible;
        }
        if (!w->maximized) w->normalRect = w->rect;
        w->restoreMaximized = w->maximized;
        w->minimized = true;
        w->maximized = false;
        w->style = (w->style | WS_MINIMIZE) & ~WS_MAXIMIZE;
        // Off the screen, at the small size Windows gives an icon that is not shown.
        constexpr int IconicWidth = 160, IconicHeight = 24;
        target = RECT{-32000, -32000, -32000 + IconicWidth, -32000 + IconicHeight};
        swp |= SWP_FRAMECHANGED | SWP_NOCOPYBITS | TW_SWP_STATECHANGED;
    } else {
        fromIcon = w->minimized;
        if (fromIcon) {
            if (!Send(hwnd, WM_QUERYOPEN, 0, 0)) return wasVisible;  // the window stays an icon
            if (!(w = Get(hwnd))) return wasVisible;
            if (change == Restore && w->restoreMaximized) change = Maximize;
        } else if (change == Maximize) {
            w->normalRect = w->rect;
        }
        w->minimized = false;
        w->restoreMaximized = false;
        w->maximized = change == Maximize;
        w->style &= ~(WS_MINIMIZE | WS_MAXIMIZE);
        if (w->maximized) w->style |= WS_MAXIMIZE;
        if (w->maximized) {
            target = MaximizedRect(w);
            if (!(w = Get(hwnd))) return wasVisible;
        } else {
            target = w->normalRect;
        }
        swp &= ~(SWP_NOSIZE | SWP_NOMOVE);
        if (wasVisible) swp &= ~SWP_SHOWWINDOW;
        swp |= SWP_FRAMECHANGED | TW_SWP_STATECHANGED | (fromIcon ? SWP_NOCOPYBITS : 0);
    }
    if (show != wasVisible) {
        Send(hwnd, WM_SHOWWINDOW, show, 0);
        if (!(w = Get(hwnd))) return wasVisible;
    }
    SetWindowPosImpl(hwnd, HWND_TOP, target.left, target.top, target.right - target.left, target.bottom - target.top, swp);
    if ((w = Get(hwnd)) && w->sizeOwed && w->Visible()) {
        w->sizeOwed = false;
        SendSizeAndMove(w);
    }
    if (fromIcon && (w = Get(hwnd)) && s.active == hwnd) {
        // Back from an icon while active: it takes the focus back and hears again that it is active.
        if (s.focus != hwnd && !IsChild(hwnd, s.focus)) SetFocus(hwnd);
        if (Get(hwnd)) Send(hwnd, WM_ACTIVATE, WA_ACTIVE, 0);
    }
    return wasVisible;
}

BOOL WINAPI IsWindowVisible(HWND hwnd) {
    Window* w = Get(hwnd);
    return w && ReallyVisible(w) ? TRUE : FALSE;
}

BOOL WINAPI IsIconic(HWND hwnd) {
    Window* w = Get(hwnd);
    return w && w->minimized ? TRUE : FALSE;
}

BOOL WINAPI IsZoomed(HWND hwnd) {
    Window* w = Get(hwnd);
    return w && w->maximized ? TRUE : FALSE;
}

BOOL WINAPI GetWindowPlacement(HWND hwnd, WINDOWPLACEMENT* p) {
    Window* w = Get(hwnd);
    if (!w || !p) return FALSE;
    p->length = sizeof(WINDOWPLACEMENT);
    p->flags = 0;
    p->showCmd = w->minimized ? SW_SHOWMINIMIZED : w->maximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
    p->ptMinPosition = POINT{-1, -1};
    p->ptMaxPosition = POINT{-1, -1};
    p->rcNormalPosition = (w->minimized || w->maximized) ? w->normalRect : w->rect;
    return TRUE;
}

BOOL WINAPI SetWindowPlacement(HWND hwnd, const WINDOWPLACEMENT* p) {
    Window* w = Get(hwnd);
    if (!w || !p) return FALSE;
    const RECT& r = p->rcNormalPosition;
    if (r.right > r.left && r.bottom > r.top) {
        if (w->minimized || w->maximized) w->normalRect = r;
        else SetWindowPosImpl(hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (Get(hwnd) && (p->showCmd != SW_HIDE || Get(hwnd)->Visible())) ShowWindow(hwnd, int(p->showCmd));
    return TRUE;
}

BOOL WINAPI ClientToScreen(HWND hwnd, LPPOINT pt) {
    Window* w = Get(hwnd);
    if (!w || !pt) return FALSE;
    const POINT o = ClientOrigin(w);
    pt->x += o.x;
    pt->y += o.y;
    return TRUE;
}

BOOL WINAPI ScreenToClient(HWND hwnd, LPPOINT pt) {
    Window* w = Get(hwnd);
    if (!w || !pt) return FALSE;
    const POINT o = ClientOrigin(w);
    pt->x -= o.x;
    pt->y -= o.y;
    return TRUE;
}

int WINAPI MapWindowPoints(HWND from, HWND to, LPPOINT pts, UINT n) {
    POINT a{0, 0}, b{0, 0};
    if (from) {
        Window* w = Get(from);
        if (!w) return 0;
        a = ClientOrigin(w);
    }
    if (to) {
        Window* w = Get(to);
        if (!w) return 0;
        b = ClientOrigin(w);
    }
    const int dx = a.x - b.x, dy = a.y - b.y;
    for (UINT i = 0; pts && i < n; ++i) pts[i].x += dx, pts[i].y += dy;
    return MAKELONG(WORD(SHORT(dx)), WORD(SHORT(dy)));
}

// ---- what the desktop does to a window ----

namespace {

// The window's own paths (SetWindowPos, ShowWindow) carry out the change, marked as the desktop's.
struct DesktopChange {
    bool was = S().desktopChange;
    DesktopChange() { S().desktopChange = true; }
    ~DesktopChange() { S().desktopChange = was; }
};

} // namespace

void WINAPI TwDesktopPlaced(HWND hwnd, int x, int y, int cx, int cy) {
    Window* w = Get(hwnd);
    if (!w || !IsTopLevel(w) || w->minimized || !w->shownOnScreen) return;
    const RECT asked{x, y, x + std::max(cx, 0), y + std::max(cy, 0)};
    if (EqualRect(&asked, &w->rect)) return;
    {
        DesktopChange change;
        SetWindowPosImpl(hwnd, nullptr, x, y, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // The window may have held itself to its limits: the desktop shows what it kept.
    if ((w = Get(hwnd)) && w->shownOnScreen && S().backend && !EqualRect(&asked, &w->rect))
        S().backend->Geometry(hwnd, w->rect);
}

void WINAPI TwDesktopShowState(HWND hwnd, int cmd) {
    Window* w = Get(hwnd);
    if (!w || !IsTopLevel(w) || !w->shownOnScreen) return;
    const bool already = cmd == SW_MINIMIZE ? w->minimized : cmd == SW_MAXIMIZE ? w->maximized && !w->minimized
                                                                                : !w->minimized && !w->maximized;
    if (already) return;
    DesktopChange change;
    ShowWindow(hwnd, cmd == SW_MINIMIZE ? SW_MINIMIZE : cmd == SW_MAXIMIZE ? SW_SHOWMAXIMIZED : SW_RESTORE);
}

BOOL WINAPI TwGetTrackLimits(HWND hwnd, SIZE* minTrack, SIZE* maxTrack) {
    Window* w = Get(hwnd);
    if (!w || !SizeTracked(w)) return FALSE;
    const MINMAXINFO mmi = TrackLimits(w);
    if (minTrack) *minTrack = SIZE{mmi.ptMinTrackSize.x, mmi.ptMinTrackSize.y};
    if (maxTrack) *maxTrack = SIZE{std::max(mmi.ptMinTrackSize.x, mmi.ptMaxTrackSize.x),
                                   std::max(mmi.ptMinTrackSize.y, mmi.ptMaxTrackSize.y)};
    return TRUE;
}

BOOL WINAPI TwSetOwnFrame(HWND hwnd, BOOL ownFrame) {
    Window* w = Get(hwnd);
    if (!w || !IsTopLevel(w)) return FALSE;
    if (w->ownFrame == bool(ownFrame)) return TRUE;
    w->ownFrame = ownFrame;
    // The presentation shows the window anew with or without the desktop's decorations.
    if (w->shownOnScreen) {
        w->shownOnScreen = false;
        if (Backend* b = S().backend) b->Hide(hwnd);
        SyncScreen(w);
    }
    return TRUE;
}

BOOL WINAPI TwHasOwnFrame(HWND hwnd) {
    const Window* w = Get(hwnd);
    return w && w->ownFrame;
}

BOOL WINAPI TwAdjustWindowRectFor(HWND hwnd, LPRECT r) {
    if (!r || !Get(hwnd)) return FALSE;
    // Asked of a rectangle large enough for any frame: a window not yet sized has no client to measure.
    constexpr int Probe = 10000;
    RECT c{0, 0, Probe, Probe};
    Send(hwnd, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&c));
    r->left -= c.left;
    r->top -= c.top;
    r->right += Probe - c.right;
    r->bottom += Probe - c.bottom;
    return TRUE;
}

} // extern "C"
