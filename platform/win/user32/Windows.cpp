// Window classes and window objects: creation and destruction with Windows' message sequences,
// window longs, properties, the window tree, positions (SetWindowPos, ShowWindow), coordinate mapping,
// enumeration and hit testing by point, window regions and layered-window alpha.
#include "win/user32/WindowModel.h"
#include "win/kernel32/winbase.h"

#include <algorithm>
#include <cstring>
#include <unistd.h>

namespace twuser {

namespace {

constexpr uintptr_t HandleBase = 0x10000;

HWND HandleFor(size_t index) { return reinterpret_cast<HWND>(HandleBase + index * 4); }

WndClass* FindClass(LPCWSTR name) {
    auto& s = S();
    if (!name) return nullptr;
    if (IS_INTRESOURCE(name)) {
        const ATOM atom = ATOM(reinterpret_cast<uintptr_t>(name));
        for (auto& c : s.classes)
            if (c->atom == atom) return c.get();
        return nullptr;
    }
    const std::u16string key = Fold(FromW(name));
    for (auto& c : s.classes)
        if (c->key == key) return c.get();
    return nullptr;
}

// The desktop: the root of the tree, the parent of every top-level window.
Window* MakeDesktop() {
    auto& s = S();
    auto w = std::make_unique<Window>();
    w->handle = HandleFor(s.windows.size());
    w->style = WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_POPUP;
    w->rect = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    w->client = w->rect;
    w->created = true;
    Window* raw = w.get();
    s.windows.push_back(std::move(w));
    return raw;
}

void Unlink(Window* w) {
    if (!w->parent) return;
    auto& c = w->parent->children;
    c.erase(std::remove(c.begin(), c.end(), w), c.end());
}

// Places w among its siblings: HWND_TOP, HWND_BOTTOM, HWND_TOPMOST, HWND_NOTOPMOST or after a sibling.
void LinkAfter(Window* w, HWND after) {
    Window* p = w->parent;
    if (!p) return;
    Unlink(w);
    auto& c = p->children;
    const bool topLevel = p == S().desktop;
    if (after == HWND_TOPMOST) {
        if (topLevel) w->exStyle |= WS_EX_TOPMOST;
        c.insert(c.begin(), w);
        return;
    }
    if (after == HWND_NOTOPMOST) {
        if (topLevel) w->exStyle &= ~WS_EX_TOPMOST;
        after = HWND_TOP;
    }
    if (after == HWND_BOTTOM) {
        c.push_back(w);
        return;
    }
    if (after == HWND_TOP) {
        auto it = c.begin();
        // Top-level windows that are not topmost stay below the topmost ones.
        if (topLevel && !(w->exStyle & WS_EX_TOPMOST))
            while (it != c.end() && ((*it)->exStyle & WS_EX_TOPMOST)) ++it;
        c.insert(it, w);
        return;
    }
    auto it = std::find_if(c.begin(), c.end(), [&](Window* x) { return x->handle == after; });
    if (it == c.end()) c.insert(c.begin(), w);
    else c.insert(it + 1, w);
}


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
    mmi.ptMinTrackSize = POINT{GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
    mmi.ptMaxTrackSize = POINT{std::max(GetSystemMetrics(SM_CXMAXTRACK), cx), std::max(GetSystemMetrics(SM_CYMAXTRACK), cy)};
    Send(w->handle, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
    return mmi;
}

TopLevelInfo InfoOf(const Window* w) {
    TopLevelInfo i;
    i.rect = w->rect;
    i.decorated = IsDecorated(w);
    i.popup = !i.decorated;
    i.topmost = (w->exStyle & WS_EX_TOPMOST) != 0;
    i.noActivate = (w->exStyle & WS_EX_NOACTIVATE) != 0 || !i.decorated;
    i.tool = (w->exStyle & WS_EX_TOOLWINDOW) != 0;
    i.title = QString::fromStdU16String(w->text);
    return i;
}

// Tells the presentation what a top-level window looks like now.
void SyncScreen(Window* w) {
    Backend* b = S().backend;
    if (!IsTopLevel(w) || w->messageOnly) return;
    const bool show = w->Visible() && !w->minimized;
    if (show) {
        EnsureBacking(w);
        if (!b) return;
        if (!w->shownOnScreen) {
            w->shownOnScreen = true;
            b->Show(w->handle, InfoOf(w));
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

void SendDestroy(HWND h) {
    Send(h, WM_DESTROY, 0, 0);
    Window* w = Get(h);
    if (!w) return;
    std::vector<HWND> kids;
    for (Window* c : w->children) kids.push_back(c->handle);
    for (HWND k : kids) SendDestroy(k);
}

void FreeWindow(HWND h) {
    Window* w = Get(h);
    if (!w) return;
    std::vector<HWND> kids;
    for (Window* c : w->children) kids.push_back(c->handle);
    for (HWND k : kids) FreeWindow(k);
    w = Get(h);
    if (!w) return;
    Send(h, WM_NCDESTROY, 0, 0);
    w = Get(h);
    if (!w) return;
    auto& s = S();
    RemoveTimersOf(h);
    DestroyCaretOf(h);
    FocusLost(w);
    if (s.capture == h) s.capture = nullptr;
    if (s.trackLeave == h) s.trackLeave = nullptr;
    if (s.mouseWindow == h) s.mouseWindow = nullptr;
    if (s.lastClickHwnd == h) s.lastClickHwnd = nullptr;
    for (auto it = s.windowDCs.begin(); it != s.windowDCs.end();) {
        if (it->second == h) {
            DeleteDC(it->first);
            it = s.windowDCs.erase(it);
        } else {
            ++it;
        }
    }
    if (w->shownOnScreen || IsTopLevel(w)) {
        if (s.backend && w->shownOnScreen) s.backend->Destroyed(h);
        w->shownOnScreen = false;
    }
    for (auto& other : s.windows)
        if (other && other->owner == w) other->owner = nullptr;
    Unlink(w);
    if (w->cls) --w->cls->windows;
    w->dead = true;
    const size_t index = (reinterpret_cast<uintptr_t>(h) - HandleBase) / 4;
    s.graveyard.push_back(std::move(s.windows[index]));
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

// ---- lookup and geometry helpers ----

Window* Get(HWND h) {
    auto& s = S();
    const uintptr_t v = reinterpret_cast<uintptr_t>(h);
    if (v < HandleBase || (v - HandleBase) % 4) return nullptr;
    const size_t index = (v - HandleBase) / 4;
    if (index >= s.windows.size()) return nullptr;
    Window* w = s.windows[index].get();
    return w && !w->dead ? w : nullptr;
}

Window* Desktop() {
    auto& s = S();
    // Made on first use, after the system metrics exist.
    if (!s.desktop) s.desktop = MakeDesktop();
    return s.desktop;
}

bool IsTopLevel(const Window* w) { return w && w->parent && w->parent == S().desktop; }

Window* TopLevelOf(Window* w) {
    while (w && w->parent && w->parent != S().desktop) w = w->parent;
    return w && w->parent ? w : nullptr;
}

bool IsDecorated(const Window* w) {
    if (!IsTopLevel(w) || (w->style & WS_CHILD)) return false;
    return !(w->style & WS_POPUP) || (w->style & WS_CAPTION) == WS_CAPTION;
}

std::u16string Fold(std::u16string_view s) {
    return QString::fromRawData(reinterpret_cast<const QChar*>(s.data()), qsizetype(s.size())).toCaseFolded().toStdU16String();
}

std::u16string FromW(LPCWSTR s) {
    if (!s) return {};
    if (IS_INTRESOURCE(s)) return u"#" + QString::number(uint(reinterpret_cast<uintptr_t>(s))).toStdU16String();
    return std::u16string(s);
}

POINT WindowOrigin(const Window* w) {
    if (!w || !w->parent) return POINT{0, 0};
    if (w->parent == S().desktop) return POINT{w->rect.left, w->rect.top};
    const POINT p = ClientOrigin(w->parent);
    return POINT{p.x + w->rect.left, p.y + w->rect.top};
}

POINT ClientOrigin(const Window* w) {
    if (!w || !w->parent) return POINT{0, 0};
    const POINT o = WindowOrigin(w);
    return POINT{o.x + w->client.left, o.y + w->client.top};
}

RECT ScreenRect(const Window* w) {
    const POINT o = WindowOrigin(w);
    return RECT{o.x, o.y, o.x + w->Width(), o.y + w->Height()};
}

RECT ScreenClientRect(const Window* w) {
    const POINT o = ClientOrigin(w);
    return RECT{o.x, o.y, o.x + (w->client.right - w->client.left), o.y + (w->client.bottom - w->client.top)};
}

bool ReallyVisible(const Window* w) {
    for (; w && w != S().desktop; w = w->parent)
        if (!w->Visible()) return false;
    return w != nullptr;
}

Region VisibleRegion(const Window* w, bool clientArea, bool clipChildren, bool clipSiblings) {
    if (!w || !ReallyVisible(w) || w->messageOnly) return Region();
    // Work in screen coordinates, then move to the window's (or client's) own.
    const RECT own = clientArea ? ScreenClientRect(w) : ScreenRect(w);
    Region rgn = Region::FromRect(own);
    if (w->windowRgn) {
        Region wr = *w->windowRgn;
        const POINT o = WindowOrigin(w);
        wr.Offset(o.x, o.y);
        rgn = rgn.Intersect(wr);
    }
    auto clipSiblingsOf = [&](const Window* x) {
        const Window* p = x->parent;
        for (const Window* sib : p->children) {
            if (sib == x) break;
            if (!sib->Visible()) continue;
            Region sr = Region::FromRect(ScreenRect(sib));
            if (sib->windowRgn) {
                Region wr = *sib->windowRgn;
                const POINT o = WindowOrigin(sib);
                wr.Offset(o.x, o.y);
                sr = sr.Intersect(wr);
            }
            rgn = rgn.Subtract(sr);
        }
    };
    if (clipSiblings && !IsTopLevel(w)) clipSiblingsOf(w);
    for (const Window* a = w->parent; a && a != S().desktop; a = a->parent) {
        rgn = rgn.Intersect(ScreenClientRect(a));
        if (a->windowRgn) {
            Region wr = *a->windowRgn;
            const POINT o = WindowOrigin(a);
            wr.Offset(o.x, o.y);
            rgn = rgn.Intersect(wr);
        }
        if ((a->style & WS_CLIPSIBLINGS) && !IsTopLevel(a)) clipSiblingsOf(a);
    }
    if (clipChildren) {
        for (const Window* c : w->children) {
            if (!c->Visible()) continue;
            Region cr = Region::FromRect(ScreenRect(c));
            if (c->windowRgn) {
                Region wr = *c->windowRgn;
                const POINT o = WindowOrigin(c);
                wr.Offset(o.x, o.y);
                cr = cr.Intersect(wr);
            }
            rgn = rgn.Subtract(cr);
        }
    }
    rgn.Offset(-own.left, -own.top);
    return rgn;
}

void SyncTopLevel(Window* w) { SyncScreen(w); }

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

// ---- classes ----

ATOM WINAPI RegisterClassExW(const WNDCLASSEXW* wc) {
    if (!wc || !wc->lpszClassName || !wc->lpfnWndProc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (FindClass(wc->lpszClassName)) {
        SetLastError(1410);  // ERROR_CLASS_ALREADY_EXISTS
        return 0;
    }
    auto& s = S();
    auto c = std::make_unique<WndClass>();
    c->name = FromW(wc->lpszClassName);
    c->key = Fold(c->name);
    c->atom = s.nextAtom++;
    c->style = wc->style;
    c->proc = wc->lpfnWndProc;
    c->clsExtra = std::max(0, wc->cbClsExtra);
    c->wndExtra = std::max(0, wc->cbWndExtra);
    c->extra.assign(size_t(c->clsExtra), 0);
    c->instance = wc->hInstance;
    c->icon = wc->hIcon;
    c->iconSm = wc->hIconSm;
    c->cursor = wc->hCursor;
    c->background = wc->hbrBackground;
    c->menuName = wc->lpszMenuName && !IS_INTRESOURCE(wc->lpszMenuName) ? FromW(wc->lpszMenuName) : std::u16string();
    const ATOM atom = c->atom;
    s.classes.push_back(std::move(c));
    return atom;
}

ATOM WINAPI RegisterClassW(const WNDCLASSW* wc) {
    if (!wc) return 0;
    WNDCLASSEXW ex{sizeof(WNDCLASSEXW), wc->style, wc->lpfnWndProc, wc->cbClsExtra, wc->cbWndExtra, wc->hInstance,
                   wc->hIcon, wc->hCursor, wc->hbrBackground, wc->lpszMenuName, wc->lpszClassName, nullptr};
    return RegisterClassExW(&ex);
}

BOOL WINAPI UnregisterClassW(LPCWSTR name, HINSTANCE) {
    WndClass* c = FindClass(name);
    if (!c) {
        SetLastError(1411);  // ERROR_CLASS_DOES_NOT_EXIST
        return FALSE;
    }
    if (c->windows > 0) {
        SetLastError(1412);  // ERROR_CLASS_HAS_WINDOWS
        return FALSE;
    }
    auto& v = S().classes;
    // Windows already destroyed may still point at the class until they are freed.
    for (auto& g : S().graveyard)
        if (g->cls == c) g->cls = nullptr;
    v.erase(std::remove_if(v.begin(), v.end(), [&](auto& p) { return p.get() == c; }), v.end());
    return TRUE;
}

BOOL WINAPI GetClassInfoExW(HINSTANCE, LPCWSTR name, LPWNDCLASSEXW out) {
    WndClass* c = FindClass(name);
    if (!c || !out) {
        SetLastError(1411);
        return FALSE;
    }
    out->style = c->style;
    out->lpfnWndProc = c->proc;
    out->cbClsExtra = c->clsExtra;
    out->cbWndExtra = c->wndExtra;
    out->hInstance = c->instance;
    out->hIcon = c->icon;
    out->hCursor = c->cursor;
    out->hbrBackground = c->background;
    out->lpszMenuName = nullptr;
    out->lpszClassName = c->name.c_str();
    out->hIconSm = c->iconSm;
    return TRUE;
}

BOOL WINAPI GetClassInfoW(HINSTANCE inst, LPCWSTR name, LPWNDCLASSW out) {
    WNDCLASSEXW ex{};
    if (!out || !GetClassInfoExW(inst, name, &ex)) return FALSE;
    *out = WNDCLASSW{ex.style, ex.lpfnWndProc, ex.cbClsExtra, ex.cbWndExtra, ex.hInstance, ex.hIcon, ex.hCursor,
                     ex.hbrBackground, ex.lpszMenuName, ex.lpszClassName};
    return TRUE;
}

int WINAPI GetClassNameW(HWND hwnd, LPWSTR buf, int max) {
    Window* w = Get(hwnd);
    if (!buf || max <= 0) return 0;
    buf[0] = 0;
    if (!w) return 0;
    const std::u16string name = w == S().desktop ? u"#32769" : (w->cls ? w->cls->name : u"");
    const int n = std::min<int>(int(name.size()), max - 1);
    std::copy_n(name.data(), n, buf);
    buf[n] = 0;
    return n;
}

ULONG_PTR WINAPI GetClassLongPtrW(HWND hwnd, int index) {
    Window* w = Get(hwnd);
    if (!w || !w->cls) return 0;
    WndClass* c = w->cls;
    if (index >= 0) {
        if (size_t(index) + sizeof(LONG_PTR) > c->extra.size()) return 0;
        LONG_PTR v;
        std::memcpy(&v, c->extra.data() + index, sizeof v);
        return ULONG_PTR(v);
    }
    switch (index) {
    case GCLP_HBRBACKGROUND: return reinterpret_cast<ULONG_PTR>(c->background);
    case GCLP_HCURSOR: return reinterpret_cast<ULONG_PTR>(c->cursor);
    case GCLP_HICON: return reinterpret_cast<ULONG_PTR>(c->icon);
    case GCLP_HICONSM: return reinterpret_cast<ULONG_PTR>(c->iconSm);
    case GCLP_HMODULE: return reinterpret_cast<ULONG_PTR>(c->instance);
    case GCL_CBWNDEXTRA: return ULONG_PTR(c->wndExtra);
    case GCL_CBCLSEXTRA: return ULONG_PTR(c->clsExtra);
    case GCLP_WNDPROC: return reinterpret_cast<ULONG_PTR>(c->proc);
    case GCL_STYLE: return c->style;
    case GCW_ATOM: return c->atom;
    default: return 0;
    }
}

ULONG_PTR WINAPI SetClassLongPtrW(HWND hwnd, int index, LONG_PTR v) {
    Window* w = Get(hwnd);
    if (!w || !w->cls) return 0;
    WndClass* c = w->cls;
    const ULONG_PTR old = GetClassLongPtrW(hwnd, index);
    if (index >= 0) {
        if (size_t(index) + sizeof(LONG_PTR) > c->extra.size()) return 0;
        std::memcpy(c->extra.data() + index, &v, sizeof v);
        return old;
    }
    switch (index) {
    case GCLP_HBRBACKGROUND: c->background = reinterpret_cast<HBRUSH>(v); break;
    case GCLP_HCURSOR: c->cursor = reinterpret_cast<HCURSOR>(v); break;
    case GCLP_HICON: c->icon = reinterpret_cast<HICON>(v); break;
    case GCLP_HICONSM: c->iconSm = reinterpret_cast<HICON>(v); break;
    case GCLP_WNDPROC: c->proc = reinterpret_cast<WNDPROC>(v); break;
    case GCL_STYLE: c->style = UINT(v); break;
    default: return 0;
    }
    return old;
}

// ---- creation and destruction ----

HWND WINAPI CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int cx,
                            int cy, HWND parentHandle, HMENU menu, HINSTANCE instance, LPVOID param) {
    auto& s = S();
    Window* desktop = Desktop();
    WndClass* cls = FindClass(className);
    if (!cls) {
        SetLastError(1407);  // ERROR_CANNOT_FIND_WND_CLASS
        return nullptr;
    }
    bool messageOnly = false;
    Window* parent = nullptr;
    Window* owner = nullptr;
    if (parentHandle == HWND_MESSAGE) {
        messageOnly = true;
        parent = desktop;
        style &= ~(WS_CHILD | WS_VISIBLE);
    } else if (parentHandle) {
        parent = Get(parentHandle);
        if (!parent) {
            SetLastError(1400);  // ERROR_INVALID_WINDOW_HANDLE
            return nullptr;
        }
    }
    if ((style & WS_CHILD) && parent && parent != desktop) {
        // a child window
    } else {
        if ((style & WS_CHILD) && !parent) {
            SetLastError(1406);  // ERROR_TLW_WITH_WSCHILD
            return nullptr;
        }
        if (parent && parent != desktop) owner = TopLevelOf(parent);
        parent = desktop;
    }
    const bool topLevel = parent == desktop;
    if (topLevel && !(style & (WS_POPUP | WS_CHILD))) style |= WS_CLIPSIBLINGS | WS_CAPTION;
    if (x == CW_USEDEFAULT) x = topLevel ? 64 : 0, y = topLevel ? 64 : 0;
    if (cx == CW_USEDEFAULT) cx = topLevel ? 640 : 0, cy = topLevel ? 480 : 0;
    if (y == CW_USEDEFAULT) y = 0;
    if (cy == CW_USEDEFAULT) cy = 0;

    auto owned = std::make_unique<Window>();
    Window* w = owned.get();
    w->handle = HandleFor(s.windows.size());
    w->cls = cls;
    w->text = windowName && !IS_INTRESOURCE(windowName) ? std::u16string(windowName) : std::u16string();
    w->style = style & ~WS_VISIBLE;
    w->exStyle = exStyle;
    w->id = reinterpret_cast<LONG_PTR>(menu);
    w->instance = instance;
    w->proc = cls->proc;
    w->extra.assign(size_t(cls->wndExtra), 0);
    w->parent = parent;
    w->owner = owner;
    w->messageOnly = messageOnly;
    w->rect = RECT{x, y, x + std::max(cx, 0), y + std::max(cy, 0)};
    w->client = RECT{0, 0, std::max(cx, 0), std::max(cy, 0)};
    w->normalRect = w->rect;
    if (!topLevel) w->uiState = parent->uiState;  // children start with the keyboard cues of their parent
    ++cls->windows;
    s.windows.push_back(std::move(owned));
    const HWND hwnd = w->handle;
    if (topLevel) {
        parent->children.insert(parent->children.begin(), w);
        if (!(exStyle & WS_EX_TOPMOST)) LinkAfter(w, HWND_TOP);
    } else {
        parent->children.push_back(w);
    }

    CREATESTRUCTW cs{param, instance, menu, topLevel ? H(owner) : H(parent), cy, cx, y, x, LONG(style),
                     windowName, className, exStyle};
    CBT_CREATEWNDW cbt{&cs, HWND_TOP};
    if (CallHooks(WH_CBT, HCBT_CREATEWND, reinterpret_cast<WPARAM>(hwnd), reinterpret_cast<LPARAM>(&cbt))) {
        FreeWindow(hwnd);
        return nullptr;
    }
    if (!(w = Get(hwnd))) return nullptr;
    // The hook may have moved or sized the window.
    w->rect = RECT{cs.x, cs.y, cs.x + std::max(cs.cx, 0), cs.y + std::max(cs.cy, 0)};
    if (SizeTracked(w)) {
        int ncx = cs.cx, ncy = cs.cy;
        const MINMAXINFO mmi = MinMax(w);
        if (!(w = Get(hwnd))) return nullptr;
        ncx = std::min<int>(ncx, mmi.ptMaxTrackSize.x);
        ncy = std::min<int>(ncy, mmi.ptMaxTrackSize.y);
        w->rect.right = w->rect.left + std::max(ncx, 0);
        w->rect.bottom = w->rect.top + std::max(ncy, 0);
    }
    w->client = RECT{0, 0, w->Width(), w->Height()};
    w->normalRect = w->rect;

    if (!Send(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
        FreeWindow(hwnd);
        return nullptr;
    }
    if (!(w = Get(hwnd))) return nullptr;
    w->created = true;
    UpdateClientRect(w, true);
    if (!Get(hwnd)) return nullptr;
    if (Send(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    if (!(w = Get(hwnd))) return nullptr;
    Send(hwnd, WM_SIZE, SIZE_RESTORED,
         MAKELPARAM(w->client.right - w->client.left, w->client.bottom - w->client.top));
    if (!(w = Get(hwnd))) return nullptr;
    Send(hwnd, WM_MOVE, 0, MAKELPARAM(w->rect.left + w->client.left, w->rect.top + w->client.top));
    // Every ancestor hears of a new child, unless the child says not to tell.
    for (Window* c = Get(hwnd); c && !IsTopLevel(c) && !(c->exStyle & WS_EX_NOPARENTNOTIFY);) {
        const HWND p = H(c->parent);
        Send(p, WM_PARENTNOTIFY, MAKEWPARAM(WM_CREATE, LOWORD(Get(hwnd) ? Get(hwnd)->id : 0)),
             reinterpret_cast<LPARAM>(hwnd));
        c = Get(p);
    }
    if (!Get(hwnd)) return nullptr;
    if (style & WS_VISIBLE) {
        int cmd = SW_SHOW;
        if (style & WS_MAXIMIZE) cmd = SW_SHOWMAXIMIZED;
        else if (style & WS_MINIMIZE) cmd = SW_SHOWMINIMIZED;
        ShowWindow(hwnd, cmd);
    }
    return Get(hwnd) ? hwnd : nullptr;
}

BOOL WINAPI DestroyWindow(HWND hwnd) {
    Window* w = Get(hwnd);
    if (!w || w == S().desktop) {
        SetLastError(1400);
        return FALSE;
    }
    if (w->destroying) return TRUE;
    if (CallHooks(WH_CBT, HCBT_DESTROYWND, reinterpret_cast<WPARAM>(hwnd), 0)) return FALSE;
    if (!(w = Get(hwnd))) return TRUE;
    w->destroying = true;
    for (Window* c = w; c && !IsTopLevel(c) && !(c->exStyle & WS_EX_NOPARENTNOTIFY);) {
        const HWND p = H(c->parent);
        Send(p, WM_PARENTNOTIFY, MAKEWPARAM(WM_DESTROY, LOWORD(w->id)), reinterpret_cast<LPARAM>(hwnd));
        if (!(w = Get(hwnd))) return TRUE;
        c = Get(p);
    }
    if (w->Visible()) {
        // A child is hidden as ShowWindow hides it (WM_SHOWWINDOW first); a top-level window only moves off
        // the screen.
        if (w->style & WS_CHILD) ShowWindow(hwnd, SW_HIDE);
        else SetWindowPosImpl(hwnd, nullptr, 0, 0, 0, 0,
                              SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE);
        if (!(w = Get(hwnd))) return TRUE;
    }
    // Owned windows go first.
    if (IsTopLevel(w)) {
        std::vector<HWND> ownedWindows;
        for (auto& o : S().windows)
            if (o && !o->dead && o->owner == w) ownedWindows.push_back(o->handle);
        for (HWND o : ownedWindows) DestroyWindow(o);
        if (!(w = Get(hwnd))) return TRUE;
    }
    FocusLost(w);
    SendDestroy(hwnd);
    FreeWindow(hwnd);
    return TRUE;
}

BOOL WINAPI IsWindow(HWND hwnd) { return Get(hwnd) != nullptr; }

// ---- window longs ----

LONG_PTR WINAPI GetWindowLongPtrW(HWND hwnd, int index) {
    Window* w = Get(hwnd);
    if (!w) {
        SetLastError(1400);
        return 0;
    }
    if (index >= 0) {
        if (size_t(index) + sizeof(LONG_PTR) > w->extra.size()) {
            if (size_t(index) + sizeof(LONG) <= w->extra.size()) {
                LONG v;
                std::memcpy(&v, w->extra.data() + index, sizeof v);
                return v;
            }
            SetLastError(1413);  // ERROR_INVALID_INDEX
            return 0;
        }
        LONG_PTR v;
        std::memcpy(&v, w->extra.data() + index, sizeof v);
        return v;
    }
    switch (index) {
    case GWLP_WNDPROC: return reinterpret_cast<LONG_PTR>(w->proc);
    case GWLP_HINSTANCE: return reinterpret_cast<LONG_PTR>(w->instance);
    case GWLP_HWNDPARENT:
        return reinterpret_cast<LONG_PTR>(IsTopLevel(w) ? H(w->owner) : H(w->parent));
    case GWLP_ID: return w->id;
    case GWL_STYLE: return LONG_PTR(LONG(w->style));
    case GWL_EXSTYLE: return LONG_PTR(LONG(w->exStyle));
    case GWLP_USERDATA: return w->userData;
    default: SetLastError(1413); return 0;
    }
}

LONG_PTR WINAPI SetWindowLongPtrW(HWND hwnd, int index, LONG_PTR value) {
    Window* w = Get(hwnd);
    if (!w) {
        SetLastError(1400);
        return 0;
    }
    SetLastError(0);
    if (index >= 0) {
        if (size_t(index) + sizeof(LONG_PTR) > w->extra.size()) {
            SetLastError(1413);
            return 0;
        }
        LONG_PTR old;
        std::memcpy(&old, w->extra.data() + index, sizeof old);
        std::memcpy(w->extra.data() + index, &value, sizeof value);
        return old;
    }
    switch (index) {
    case GWLP_WNDPROC: {
        const LONG_PTR old = reinterpret_cast<LONG_PTR>(w->proc);
        if (value) w->proc = reinterpret_cast<WNDPROC>(value);
        return old;
    }
    case GWLP_HINSTANCE: {
        const LONG_PTR old = reinterpret_cast<LONG_PTR>(w->instance);
        w->instance = reinterpret_cast<HINSTANCE>(value);
        return old;
    }
    case GWLP_HWNDPARENT: {
        const LONG_PTR old = GetWindowLongPtrW(hwnd, GWLP_HWNDPARENT);
        if (IsTopLevel(w)) {
            Window* o = Get(reinterpret_cast<HWND>(value));
            w->owner = o ? TopLevelOf(o) : nullptr;
            if (w->owner == w) w->owner = nullptr;
        }
        return old;
    }
    case GWLP_ID: {
        const LONG_PTR old = w->id;
        w->id = value;
        return old;
    }
    case GWLP_USERDATA: {
        const LONG_PTR old = w->userData;
        w->userData = value;
        return old;
    }
    case GWL_STYLE:
    case GWL_EXSTYLE: {
        const bool isStyle = index == GWL_STYLE;
        const DWORD old = isStyle ? w->style : w->exStyle;
        STYLESTRUCT ss{old, DWORD(value)};
        Send(hwnd, WM_STYLECHANGING, WPARAM(index), reinterpret_cast<LPARAM>(&ss));
        if (!(w = Get(hwnd))) return LONG_PTR(LONG(old));
        DWORD v = ss.styleNew;
        // The style bits may change freely; visibility stays with ShowWindow/SetWindowPos.
        if (isStyle) {
            v = (v & ~WS_VISIBLE) | (w->style & WS_VISIBLE);
            w->style = v;
        } else {
            const bool wasLayered = w->exStyle & WS_EX_LAYERED;
            w->exStyle = v;
            if (wasLayered && !(v & WS_EX_LAYERED)) {
                w->alpha = 255;
                if (S().backend && w->shownOnScreen) S().backend->Opacity(hwnd, 1.0);
            }
        }
        ss.styleOld = old;
        ss.styleNew = v;
        Send(hwnd, WM_STYLECHANGED, WPARAM(index), reinterpret_cast<LPARAM>(&ss));
        return LONG_PTR(LONG(old));
    }
    default: SetLastError(1413); return 0;
    }
}

LONG WINAPI GetWindowLongW(HWND hwnd, int index) { return LONG(GetWindowLongPtrW(hwnd, index)); }
LONG WINAPI SetWindowLongW(HWND hwnd, int index, LONG value) {
    return LONG(SetWindowLongPtrW(hwnd, index, index == GWL_STYLE || index == GWL_EXSTYLE ? LONG_PTR(DWORD(value)) : value));
}

// ---- properties ----

BOOL WINAPI SetPropW(HWND hwnd, LPCWSTR name, HANDLE data) {
    Window* w = Get(hwnd);
    if (!w || !name) return FALSE;
    const std::u16string key = Fold(FromW(name));
    for (auto& p : w->props)
        if (p.first == key) {
            p.second = data;
            return TRUE;
        }
    w->props.emplace_back(key, data);
    return TRUE;
}

HANDLE WINAPI GetPropW(HWND hwnd, LPCWSTR name) {
    Window* w = Get(hwnd);
    if (!w || !name) return nullptr;
    const std::u16string key = Fold(FromW(name));
    for (auto& p : w->props)
        if (p.first == key) return p.second;
    return nullptr;
}

HANDLE WINAPI RemovePropW(HWND hwnd, LPCWSTR name) {
    Window* w = Get(hwnd);
    if (!w || !name) return nullptr;
    const std::u16string key = Fold(FromW(name));
    for (auto it = w->props.begin(); it != w->props.end(); ++it)
        if (it->first == key) {
            HANDLE h = it->second;
            w->props.erase(it);
            return h;
        }
    return nullptr;
}

// ---- text ----

int WINAPI GetWindowTextW(HWND hwnd, LPWSTR buf, int max) {
    if (!buf || max <= 0) return 0;
    buf[0] = 0;
    if (!Get(hwnd)) return 0;
    return int(Send(hwnd, WM_GETTEXT, WPARAM(max), reinterpret_cast<LPARAM>(buf)));
}

int WINAPI GetWindowTextLengthW(HWND hwnd) {
    if (!Get(hwnd)) return 0;
    return int(Send(hwnd, WM_GETTEXTLENGTH, 0, 0));
}

BOOL WINAPI SetWindowTextW(HWND hwnd, LPCWSTR text) {
    if (!Get(hwnd)) return FALSE;
    return Send(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) != 0;
}

// ---- the tree ----

HWND WINAPI GetDesktopWindow(void) { return Desktop()->handle; }

HWND WINAPI GetParent(HWND hwnd) {
    Window* w = Get(hwnd);
    if (!w) return nullptr;
    if (w->style & WS_CHILD) return H(w->parent);  // the desktop for a child-style top-level window
    if (w->style & WS_POPUP) return H(w->owner);
    return IsTopLevel(w) ? H(w->owner) : H(w->parent);
}

HWND WINAPI SetParent(HWND child, HWND newParent) {
    Window* w = Get(child);
    Window* desktop = Desktop();
    if (!w || w == desktop) return nullptr;
    Window* p = newParent ? Get(newParent) : desktop;
    if (!p) return nullptr;
    for (Window* a = p; a; a = a->parent)
        if (a == w) return nullptr;  // would make a cycle
    Window* old = w->parent;
    const HWND oldHandle = old == desktop ? desktop->handle : H(old);
    const bool wasVisible = w->Visible();
    if (wasVisible) ShowWindow(child, SW_HIDE);
    if (!(w = Get(child))) return nullptr;
    Window* oldTop = TopLevelOf(w);
    const POINT was = WindowOrigin(w);  // on the screen
    Unlink(w);
    w->parent = p;
    if (p == desktop) w->owner = nullptr;
    LinkAfter(w, HWND_TOP);
    if (oldTop == w && p != desktop && w->shownOnScreen) {
        if (S().backend) S().backend->Destroyed(child);
        w->shownOnScreen = false;
    }
    if (p != desktop) w->backing.reset();
    // The window keeps its position relative to the new parent, and comes to the top of its siblings: a
    // move from where it was on the screen, which it hears of through WM_MOVE.
    const POINT keep{w->rect.left, w->rect.top};
    const POINT origin = p == desktop ? POINT{0, 0} : ClientOrigin(p);
    OffsetRect(&w->rect, was.x - origin.x - keep.x, was.y - origin.y - keep.y);
    SetWindowPosImpl(child, HWND_TOP, keep.x, keep.y, 0, 0, SWP_NOSIZE);
    if (!Get(child)) return oldHandle;
    if (wasVisible) ShowWindow(child, SW_SHOWNA);
    return oldHandle;
}

HWND WINAPI GetAncestor(HWND hwnd, UINT flags) {
    Window* w = Get(hwnd);
    if (!w || w == S().desktop) return nullptr;
    switch (flags) {
    case GA_PARENT: return H(w->parent);
    case GA_ROOT: return H(TopLevelOf(w));
    case GA_ROOTOWNER: {
        // The root, then up through GetParent: owners, or the desktop above a child-style root.
        HWND r = H(TopLevelOf(w));
        for (HWND up = r ? GetParent(r) : nullptr; up; up = GetParent(up)) r = up;
        return r;
    }
    default: return nullptr;
    }
}

HWND WINAPI GetWindow(HWND hwnd, UINT cmd) {
    Window* w = Get(hwnd);
    if (!w) return nullptr;
    auto sibling = [&](int delta) -> HWND {
        if (!w->parent) return nullptr;
        auto& c = w->parent->children;
        auto it = std::find(c.begin(), c.end(), w);
        if (it == c.end()) return nullptr;
        const ptrdiff_t i = (it - c.begin()) + delta;
        return i >= 0 && size_t(i) < c.size() ? c[size_t(i)]->handle : nullptr;
    };
    switch (cmd) {
    case GW_HWNDFIRST: return w->parent && !w->parent->children.empty() ? w->parent->children.front()->handle : nullptr;
    case GW_HWNDLAST: return w->parent && !w->parent->children.empty() ? w->parent->children.back()->handle : nullptr;
    case GW_HWNDNEXT: return sibling(1);
    case GW_HWNDPREV: return sibling(-1);
    case GW_OWNER: return H(w->owner);
    case GW_CHILD: return w->children.empty() ? nullptr : w->children.front()->handle;
    case GW_ENABLEDPOPUP:
        for (auto& o : S().windows)
            if (o && !o->dead && o->owner == w && o->Visible() && !(o->style & WS_DISABLED)) return o->handle;
        return nullptr;
    default: return nullptr;
    }
}

HWND WINAPI GetTopWindow(HWND hwnd) { return GetWindow(hwnd ? hwnd : GetDesktopWindow(), GW_CHILD); }

BOOL WINAPI IsChild(HWND parent, HWND hwnd) {
    Window* p = Get(parent);
    Window* w = Get(hwnd);
    if (!p || !w) return FALSE;
    for (Window* a = w; a && !IsTopLevel(a) && a->parent; a = a->parent)
        if (a->parent == p) return TRUE;
    return FALSE;
}

HWND WINAPI GetDlgItem(HWND dlg, int id) {
    Window* w = Get(dlg);
    if (!w) return nullptr;
    for (Window* c : w->children)
        if (LOWORD(c->id) == LOWORD(id) && c->id == LONG_PTR(id)) return c->handle;
    for (Window* c : w->children)
        if (int(c->id) == id) return c->handle;
    return nullptr;
}

int WINAPI GetDlgCtrlID(HWND hwnd) {
    Window* w = Get(hwnd);
    return w && !IsTopLevel(w) ? int(w->id) : 0;
}

namespace {
bool EnumTree(Window* w, WNDENUMPROC proc, LPARAM lp) {
    std::vector<HWND> kids;
    for (Window* c : w->children) kids.push_back(c->handle);
    for (HWND k : kids) {
        if (!Get(k)) continue;
        if (!proc(k, lp)) return false;
        if (Window* c = Get(k); c && !EnumTree(c, proc, lp)) return false;
    }
    return true;
}

std::vector<HWND> TopLevels() {
    std::vector<HWND> out;
    for (Window* c : Desktop()->children)
        if (!c->messageOnly) out.push_back(c->handle);
    return out;
}
} // namespace

BOOL WINAPI EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM lp) {
    if (!proc) return FALSE;
    Window* p = parent ? Get(parent) : Desktop();
    if (!p) return FALSE;
    EnumTree(p, proc, lp);
    return TRUE;
}

BOOL WINAPI EnumWindows(WNDENUMPROC proc, LPARAM lp) {
    if (!proc) return FALSE;
    for (HWND h : TopLevels())
        if (Get(h) && !proc(h, lp)) return FALSE;
    return TRUE;
}

BOOL WINAPI EnumThreadWindows(DWORD, WNDENUMPROC proc, LPARAM lp) { return EnumWindows(proc, lp); }

HWND WINAPI FindWindowExW(HWND parent, HWND after, LPCWSTR cls, LPCWSTR title) {
    Window* p = parent ? Get(parent) : Desktop();
    if (!p) return nullptr;
    const std::u16string key = cls ? Fold(FromW(cls)) : std::u16string();
    WndClass* wanted = cls && IS_INTRESOURCE(cls) ? FindClass(cls) : nullptr;
    bool started = after == nullptr;
    for (Window* c : p->children) {
        if (!started) {
            started = c->handle == after;
            continue;
        }
        if (c->messageOnly && !parent) continue;
        if (cls && (!c->cls || (wanted ? c->cls != wanted : c->cls->key != key))) continue;
        if (title && c->text != std::u16string(title)) continue;
        return c->handle;
    }
    return nullptr;
}

HWND WINAPI FindWindowW(LPCWSTR cls, LPCWSTR title) { return FindWindowExW(nullptr, nullptr, cls, title); }

DWORD WINAPI GetCurrentThreadId(void) { return DWORD(gettid()); }

DWORD WINAPI GetWindowThreadProcessId(HWND hwnd, LPDWORD pid) {
    if (!Get(hwnd)) return 0;
    if (pid) *pid = DWORD(getpid());
    static const DWORD guiThread = GetCurrentThreadId();
    return guiThread;
}

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
        swp = SWP_SHOWWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
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

} // extern "C"

namespace twuser {

bool InWindowShape(const Window* w, POINT screenPt) {
    const RECT r = ScreenRect(w);
    if (!PtInRect(&r, screenPt)) return false;
    if (w->windowRgn) return w->windowRgn->Contains(screenPt.x - r.left, screenPt.y - r.top);
    return true;
}

// The deepest visible window under a screen point, disabled ones included (WindowFromPoint's rule).
Window* DeepestAt(Window* w, POINT pt) {
    if (!(w->style & WS_DISABLED) || IsTopLevel(w)) {
        const RECT cr = ScreenClientRect(w);
        if (PtInRect(&cr, pt))
            for (Window* c : w->children)
                if (c->Visible() && InWindowShape(c, pt)) return DeepestAt(c, pt);
    }
    return w;
}

} // namespace twuser

extern "C" {

HWND WINAPI WindowFromPoint(POINT pt) {
    for (Window* top : Desktop()->children)
        if (top->Visible() && !top->messageOnly && !top->minimized && InWindowShape(top, pt)) {
            Window* w = DeepestAt(top, pt);
            return w->handle;
        }
    return nullptr;
}

HWND WINAPI ChildWindowFromPointEx(HWND hwnd, POINT pt, UINT flags) {
    Window* w = Get(hwnd);
    if (!w) return nullptr;
    RECT r{0, 0, w->client.right - w->client.left, w->client.bottom - w->client.top};
    if (!PtInRect(&r, pt)) return nullptr;
    const POINT o = ClientOrigin(w);
    const POINT sp{pt.x + o.x, pt.y + o.y};
    for (Window* c : w->children) {
        if ((flags & CWP_SKIPINVISIBLE) && !c->Visible()) continue;
        if ((flags & CWP_SKIPDISABLED) && (c->style & WS_DISABLED)) continue;
        if ((flags & CWP_SKIPTRANSPARENT) && (c->exStyle & WS_EX_TRANSPARENT)) continue;
        if (InWindowShape(c, sp)) return c->handle;
    }
    return hwnd;
}

HWND WINAPI ChildWindowFromPoint(HWND hwnd, POINT pt) { return ChildWindowFromPointEx(hwnd, pt, CWP_ALL); }

// ---- regions and layered windows ----

int WINAPI SetWindowRgn(HWND hwnd, HRGN rgn, BOOL redraw) {
    Window* w = Get(hwnd);
    if (!w) return 0;
    if (rgn) {
        wingdi::RegionObject* r = wingdi::GetRegion(rgn);
        if (!r) return 0;
        w->windowRgn = r->rgn;
        // The window owns the region from now on; a caller deleting it again only gets FALSE.
        DeleteObject(rgn);
    } else {
        w->windowRgn.reset();
    }
    if (redraw && w->Visible()) {
        if (!IsTopLevel(w)) {
            Region all = Region::FromRect(RECT{w->rect.left, w->rect.top, w->rect.right, w->rect.bottom});
            const POINT pc{w->parent->client.left, w->parent->client.top};
            all.Offset(pc.x, pc.y);
            InvalidateWindow(w->parent, &all, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        }
        InvalidateWindow(w, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    }
    if (IsTopLevel(w) && w->shownOnScreen) MarkDirty(w, RECT{0, 0, w->Width(), w->Height()});
    return 1;
}

int WINAPI GetWindowRgn(HWND hwnd, HRGN rgn) {
    Window* w = Get(hwnd);
    wingdi::RegionObject* r = wingdi::GetRegion(rgn);
    if (!w || !r || !w->windowRgn) return ERROR;
    r->rgn = *w->windowRgn;
    return r->rgn.Complexity();
}

BOOL WINAPI SetLayeredWindowAttributes(HWND hwnd, COLORREF key, BYTE alpha, DWORD flags) {
    Window* w = Get(hwnd);
    if (!w || !(w->exStyle & WS_EX_LAYERED)) return FALSE;
    w->layeredFlags = flags;
    w->colorKey = key;
    w->alpha = (flags & LWA_ALPHA) ? alpha : 255;
    if (S().backend && w->shownOnScreen) S().backend->Opacity(hwnd, w->alpha / 255.0);
    return TRUE;
}

BOOL WINAPI GetLayeredWindowAttributes(HWND hwnd, COLORREF* key, BYTE* alpha, DWORD* flags) {
    Window* w = Get(hwnd);
    if (!w || !(w->exStyle & WS_EX_LAYERED)) return FALSE;
    if (key) *key = w->colorKey;
    if (alpha) *alpha = w->alpha;
    if (flags) *flags = w->layeredFlags;
    return TRUE;
}

BOOL WINAPI UpdateLayeredWindow(HWND hwnd, HDC, POINT* dst, SIZE* size, HDC src, POINT* srcPt, COLORREF key,
                                TW_ULW_BLENDFUNCTION* blend, DWORD flags) {
    Window* w = Get(hwnd);
    if (!w || !(w->exStyle & WS_EX_LAYERED)) return FALSE;
    if (dst || size) {
        const UINT swp = SWP_NOZORDER | SWP_NOACTIVATE | (dst ? 0 : SWP_NOMOVE) | (size ? 0 : SWP_NOSIZE);
        SetWindowPosImpl(hwnd, nullptr, dst ? dst->x : 0, dst ? dst->y : 0, size ? size->cx : 0, size ? size->cy : 0, swp);
        if (!(w = Get(hwnd))) return FALSE;
    }
    if (src) {
        HDC wdc = GetWindowDC(hwnd);
        BitBlt(wdc, 0, 0, w->Width(), w->Height(), src, srcPt ? srcPt->x : 0, srcPt ? srcPt->y : 0, SRCCOPY);
        ReleaseDC(hwnd, wdc);
    }
    if (blend && (flags & ULW_ALPHA)) w->alpha = blend->SourceConstantAlpha;
    else if (flags & ULW_OPAQUE) w->alpha = 255;
    w->colorKey = key;
    w->layeredFlags = (flags & ULW_ALPHA) ? LWA_ALPHA : 0;
    if (S().backend && w->shownOnScreen) S().backend->Opacity(hwnd, w->alpha / 255.0);
    return TRUE;
}

BOOL WINAPI AdjustWindowRectEx(LPRECT r, DWORD style, BOOL, DWORD exStyle) {
    if (!r) return FALSE;
    Window probe;
    probe.style = style & ~(WS_HSCROLL | WS_VSCROLL);
    probe.exStyle = exStyle;
    probe.parent = (style & WS_CHILD) ? &probe : Desktop();  // a child probe: not top-level
    const RECT window{0, 0, 1000, 1000};
    const RECT c = CalcNonClient(&probe, window);
    r->left -= c.left;
    r->top -= c.top;
    r->right += window.right - c.right;
    r->bottom += window.bottom - c.bottom;
    return TRUE;
}

} // extern "C"
