// Window objects: creation and destruction with Windows' message sequences, window longs, properties,
// the window tree, enumeration and hit testing by point, window regions and layered-window alpha.
#include "win/user32/WindowModel.h"
#include "win/kernel32/winbase.h"

#include <algorithm>
#include <cstring>
#include <unistd.h>

namespace twuser {

namespace {

constexpr uintptr_t HandleBase = 0x10000;

HWND HandleFor(size_t index) { return reinterpret_cast<HWND>(HandleBase + index * 4); }

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
    raw->liveSlot = s.live.size();
    s.live.push_back(raw);
    return raw;
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
    if (w->everOwner)
        for (Window* other : s.live)
            if (other->owner == w) other->owner = nullptr;
    Unlink(w);
    // Out of the live list: the last one takes its place.
    s.live[w->liveSlot] = s.live.back();
    s.live[w->liveSlot]->liveSlot = w->liveSlot;
    s.live.pop_back();
    if (w->cls) --w->cls->windows;
    w->dead = true;
    const size_t index = (reinterpret_cast<uintptr_t>(h) - HandleBase) / 4;
    s.graveyard.push_back(std::move(s.windows[index]));
}

} // namespace

void Unlink(Window* w) {
    if (!w->parent) return;
    // A window is among its siblings once: the search stops there (a parent going away frees its
    // children from the front, so each is found at once).
    auto& c = w->parent->children;
    const auto at = std::find(c.begin(), c.end(), w);
    if (at != c.end()) c.erase(at);
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
    if (!IsTopLevel(w) || (w->style & WS_CHILD) || w->ownFrame) return false;
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

} // namespace twuser

using namespace twuser;

extern "C" {

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
    w->style = style & ~WS_VISIBLE;
    w->exStyle = exStyle;
    w->id = reinterpret_cast<LONG_PTR>(menu);
    w->instance = instance;
    w->proc = cls->proc;
    w->extra.assign(size_t(cls->wndExtra), 0);
    w->parent = parent;
    w->owner = owner;
    if (owner) owner->everOwner = true;
    w->messageOnly = messageOnly;
    w->rect = RECT{x, y, x + std::max(cx, 0), y + std::max(cy, 0)};
    w->client = RECT{0, 0, std::max(cx, 0), std::max(cy, 0)};
    w->normalRect = w->rect;
    if (!topLevel) w->uiState = parent->uiState;  // children start with the keyboard cues of their parent
    ++cls->windows;
    s.windows.push_back(std::move(owned));
    w->liveSlot = s.live.size();
    s.live.push_back(w);
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
        const MINMAXINFO mmi = TrackLimits(w);
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
    if (topLevel && !messageOnly && !(style & (WS_POPUP | WS_CHILD))) {
        w->sizeOwed = true;  // an overlapped window hears its size when it is first shown
    } else {
        SendSizeAndMove(w);
        if (!Get(hwnd)) return nullptr;
    }
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

HWND WINAPI TwPeekNextWindowHandle(void) { return HandleFor(S().windows.size()); }

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
    // Owned windows go first, the topmost of them first (hidden ones keep their place in the order).
    if (IsTopLevel(w) && w->everOwner) {
        std::vector<HWND> ownedWindows;
        for (Window* o : S().desktop->children)
            if (!o->dead && o->owner == w) ownedWindows.push_back(o->handle);
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
            if (w->owner) w->owner->everOwner = true;
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
    case GW_ENABLEDPOPUP: {
        HWND first = nullptr;  // the oldest
        if (!w->everOwner) return first;
        for (Window* o : S().live)
            if (!o->dead && o->owner == w && o->Visible() && !(o->style & WS_DISABLED) && (!first || o->handle < first))
                first = o->handle;
        return first;
    }
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
    if (IsTopLevel(w) && w->shownOnScreen) {
        if (Backend* b = S().backend) b->Mask(hwnd, w->windowRgn ? w->windowRgn->Rects() : std::vector<RECT>());
        MarkDirty(w, RECT{0, 0, w->Width(), w->Height()});
    }
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
