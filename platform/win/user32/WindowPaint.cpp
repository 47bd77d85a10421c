// Painting of windows: update regions, WM_PAINT/WM_NCPAINT/WM_ERASEBKGND, window DCs on the backing
// image of each top-level window (drawing works at any time, not only inside WM_PAINT), scrolling of
// window contents, and handing finished pixels to the presentation.
#include "win/user32/WindowModel.h"

#include <algorithm>
#include <cstring>

namespace twuser {

namespace {

uint32_t dummyPixel = 0;
std::unique_ptr<uint32_t[]> desktopPixels;

TwSurface DummySurface() { return TwSurface{&dummyPixel, 1, 1, 4}; }

TwSurface DesktopSurface() {
    const int w = std::max(1, GetSystemMetrics(SM_CXSCREEN)), h = std::max(1, GetSystemMetrics(SM_CYSCREEN));
    static int dw = 0, dh = 0;
    if (!desktopPixels || dw != w || dh != h) {
        desktopPixels.reset(new uint32_t[size_t(w) * size_t(h)]());
        dw = w, dh = h;
    }
    return TwSurface{desktopPixels.get(), w, h, w * 4};
}

struct DCInfo {
    bool windowArea = false, clipChildren = false, clipSiblings = false;
    std::optional<Region> extra;  // device coordinates
};
std::vector<std::pair<HDC, DCInfo>> dcInfos;

DCInfo* InfoOf(HDC hdc) {
    for (auto& p : dcInfos)
        if (p.first == hdc) return &p.second;
    return nullptr;
}

// Points a window DC at its window's current pixels and visible area.
void Target(HDC hdc, Window* w, const DCInfo& info) {
    wingdi::DC* dc = wingdi::GetDC(hdc);
    if (!dc) return;
    if (w == S().desktop) {
        dc->surface = DesktopSurface();
        dc->deviceOrigin = POINT{0, 0};
        dc->visible.reset();
        return;
    }
    Window* top = TopLevelOf(w);
    if (!top || !top->backing) {
        dc->surface = DummySurface();
        dc->deviceOrigin = POINT{0, 0};
        dc->visible = Region();
        return;
    }
    dc->surface = top->backing->Surface();
    const POINT o = WindowOrigin(w), to = WindowOrigin(top);
    POINT origin{o.x - to.x, o.y - to.y};
    if (!info.windowArea) origin.x += w->client.left, origin.y += w->client.top;
    dc->deviceOrigin = origin;
    Region vis = VisibleRegion(w, !info.windowArea, info.clipChildren, info.clipSiblings);
    if (info.extra) vis = vis.Intersect(*info.extra);
    dc->visible = vis;
    if (!vis.IsEmpty()) {
        RECT b = vis.Bounds();
        OffsetRect(&b, origin.x, origin.y);
        MarkDirty(top, b);
    }
}

void RetargetDCs() {
    for (auto& [hdc, hwnd] : S().windowDCs)
        if (Window* w = Get(hwnd))
            if (DCInfo* info = InfoOf(hdc)) Target(hdc, w, *info);
}

bool NeedsPaint(const Window* w) { return !w->update.IsEmpty() || w->frameNeeded || w->internalPaint; }

bool FindIn(Window* w, HWND& out) {
    if (!w->Visible()) return false;
    if (NeedsPaint(w)) {
        out = w->handle;
        return true;
    }
    for (Window* c : w->children)
        if (FindIn(c, out)) return true;
    return false;
}

void PaintNow(HWND hwnd) {
    Window* w = Get(hwnd);
    if (!w || !NeedsPaint(w)) return;
    Send(hwnd, WM_PAINT, 0, 0);
    if ((w = Get(hwnd)) && NeedsPaint(w)) {
        // The procedure neither validated nor passed WM_PAINT on: validate, or it would come back forever.
        PAINTSTRUCT ps;
        if (BeginPaint(hwnd, &ps)) EndPaint(hwnd, &ps);
    }
}

void UpdateNow(HWND hwnd, bool children) {
    PaintNow(hwnd);
    Window* w = Get(hwnd);
    if (!w || !children) return;
    std::vector<HWND> kids;
    for (Window* c : w->children)
        if (c->Visible()) kids.push_back(c->handle);
    for (HWND k : kids) UpdateNow(k, true);
}

void EraseNow(HWND hwnd) {
    Window* w = Get(hwnd);
    if (!w) return;
    if (w->frameNeeded) {
        w->frameNeeded = false;
        Send(hwnd, WM_NCPAINT, 1, 0);
        if (!(w = Get(hwnd))) return;
    }
    if (w->eraseNeeded && !w->update.IsEmpty()) {
        w->eraseNeeded = false;
        Region upd = w->update;
        upd.Offset(-w->client.left, -w->client.top);
        HDC hdc = MakeWindowDC(w, false, w->style & WS_CLIPCHILDREN, w->style & WS_CLIPSIBLINGS, &upd);
        Send(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0);
        ReleaseDC(hwnd, hdc);
    }
}

Region ClientToWindowRgn(const Window* w, const RECT* r, HRGN rgn, bool frame) {
    Region area;
    if (rgn) {
        if (auto* ro = wingdi::GetRegion(rgn)) area = ro->rgn;
        area.Offset(w->client.left, w->client.top);
    } else if (r) {
        area = Region::FromRect(*r);
        area.Offset(w->client.left, w->client.top);
    } else {
        area = Region::FromRect(frame ? RECT{0, 0, w->Width(), w->Height()} : w->client);
    }
    return area;
}

} // namespace

void InvalidateWindow(Window* w, const Region* rgn, UINT flags) {
    if (!w) return;
    if (w == S().desktop) {
        for (Window* t : std::vector<Window*>(w->children)) InvalidateWindow(t, nullptr, flags | RDW_FRAME);
        return;
    }
    if (!ReallyVisible(w)) return;
    const RECT whole{0, 0, w->Width(), w->Height()};
    const Region area = rgn ? rgn->Intersect(whole) : Region::FromRect(whole);
    if (area.IsEmpty()) return;
    const Region clientPart = area.Intersect(w->client);
    if (flags & RDW_INVALIDATE) {
        if (!clientPart.IsEmpty()) {
            w->update = w->update.Union(clientPart);
            if (flags & RDW_ERASE) w->eraseNeeded = true;
        }
        if ((flags & RDW_FRAME) && !area.Subtract(Region::FromRect(w->client)).IsEmpty()) w->frameNeeded = true;
        if (flags & RDW_INTERNALPAINT) w->internalPaint = true;
        BumpSerial();
    } else if (flags & RDW_VALIDATE) {
        w->update = w->update.Subtract(clientPart);
        if (w->update.IsEmpty() || (flags & RDW_NOERASE)) w->eraseNeeded = false;
        if (flags & RDW_NOFRAME) w->frameNeeded = false;
        if (flags & RDW_NOINTERNALPAINT) w->internalPaint = false;
    }
    const bool all = (flags & RDW_ALLCHILDREN) || (!(flags & RDW_NOCHILDREN) && !(w->style & WS_CLIPCHILDREN));
    if (!all) return;
    for (Window* c : w->children) {
        if (!c->Visible()) continue;
        const RECT cr{c->rect.left + w->client.left, c->rect.top + w->client.top, c->rect.right + w->client.left,
                      c->rect.bottom + w->client.top};
        Region childArea = clientPart.Intersect(cr);
        if (childArea.IsEmpty()) continue;
        childArea.Offset(-cr.left, -cr.top);
        // A child's frame lies in the parent's client area: it is repainted with it.
        InvalidateWindow(c, &childArea, (flags & RDW_INVALIDATE) ? (flags | RDW_FRAME) : flags);
    }
}

bool FindPaintWindow(HWND filter, HWND& out) {
    if (filter) {
        Window* w = Get(filter);
        return w && ReallyVisible(w) && FindIn(w, out);
    }
    for (Window* t : Desktop()->children)
        if (FindIn(t, out)) return true;
    return false;
}

void EnsureBacking(Window* top) {
    const int w = std::max(1, top->Width()), h = std::max(1, top->Height());
    if (top->backing && top->backing->width == w && top->backing->height == h) return;
    auto b = std::make_unique<Backing>();
    b->width = w;
    b->height = h;
    b->pixels.reset(new uint32_t[size_t(w) * size_t(h)]);
    std::fill_n(b->pixels.get(), size_t(w) * size_t(h), 0xFFFFFFFFu);
    if (top->backing) {
        const Backing& old = *top->backing;
        const int cw = std::min(w, old.width), ch = std::min(h, old.height);
        for (int y = 0; y < ch; ++y)
            std::memcpy(b->pixels.get() + size_t(y) * w, old.pixels.get() + size_t(y) * old.width, size_t(cw) * 4);
    }
    b->dirty = RECT{0, 0, w, h};
    top->backing = std::move(b);
    RetargetDCs();
}

void MarkDirty(Window* top, const RECT& r) {
    if (!top || !top->backing) return;
    RECT& d = top->backing->dirty;
    RECT clipped;
    const RECT all{0, 0, top->backing->width, top->backing->height};
    if (!IntersectRect(&clipped, &r, &all)) return;
    if (IsRectEmpty(&d)) d = clipped;
    else UnionRect(&d, &d, &clipped);
}

void PresentAll() {
    auto& s = S();
    if (!s.desktop) return;
    for (Window* t : s.desktop->children) {
        if (!t->backing || IsRectEmpty(&t->backing->dirty)) continue;
        const RECT d = t->backing->dirty;
        t->backing->dirty = RECT{0, 0, 0, 0};
        if (s.backend && t->shownOnScreen) s.backend->Present(t->handle, d);
    }
}

HDC MakeWindowDC(Window* w, bool windowArea, bool clipChildren, bool clipSiblings, const Region* extraClip) {
    TwSurface surface = DummySurface();
    HDC hdc = TwCreateSurfaceDC(&surface);
    if (!hdc) return nullptr;
    DCInfo info;
    info.windowArea = windowArea;
    info.clipChildren = clipChildren;
    info.clipSiblings = clipSiblings;
    if (extraClip) info.extra = *extraClip;
    Window* top = TopLevelOf(w);
    if (top && top->Visible()) EnsureBacking(top);
    S().windowDCs.emplace_back(hdc, w->handle);
    dcInfos.emplace_back(hdc, info);
    Target(hdc, w, info);
    return hdc;
}

void ForgetDC(HDC hdc) {
    auto& v = S().windowDCs;
    v.erase(std::remove_if(v.begin(), v.end(), [&](auto& p) { return p.first == hdc; }), v.end());
    dcInfos.erase(std::remove_if(dcInfos.begin(), dcInfos.end(), [&](auto& p) { return p.first == hdc; }),
                  dcInfos.end());
}

void ScrollBitsInBacking(Window* w, const RECT& srcRect, const RECT& clipRect, int dx, int dy) {
    Window* top = TopLevelOf(w);
    if (!top || !top->backing) return;
    Backing& b = *top->backing;
    const POINT o = ClientOrigin(w), to = WindowOrigin(top);
    const int ox = o.x - to.x, oy = o.y - to.y;
    // Destination pixels whose source is visible inside the scroll rectangle.
    const Region vis = VisibleRegion(w, true, true, true);
    Region src = vis.Intersect(srcRect);
    src.Offset(dx, dy);
    const Region dest = src.Intersect(vis).Intersect(clipRect);
    if (dest.IsEmpty()) return;
    const RECT bb = dest.Bounds();
    // Each destination span, cut to the backing, copied from its source span by a row move. Rows are
    // visited so that no source is written before it is read: against the direction of a vertical
    // move, and inside one row against the direction of a horizontal one.
    struct Span {
        int y, x0, x1;
    };
    std::vector<Span> spans;
    dest.ForEachSpan([&](int y, int x0, int x1) {
        const int by = y + oy, sy = y - dy + oy;
        if (by < 0 || by >= b.height || sy < 0 || sy >= b.height) return;
        // Both the destination x + ox and the source x - dx + ox inside [0, width).
        const int lo = std::max({x0, -ox, dx - ox});
        const int hi = std::min({x1, b.width - ox, b.width + dx - ox});
        if (lo < hi) spans.push_back(Span{y, lo, hi});
    });
    const auto move = [&](const Span& s) {
        uint32_t* row = b.pixels.get();
        std::memmove(row + size_t(s.y + oy) * b.width + (s.x0 + ox),
                     row + size_t(s.y - dy + oy) * b.width + (s.x0 - dx + ox), size_t(s.x1 - s.x0) * 4);
    };
    if (dy > 0 || (dy == 0 && dx > 0))
        std::for_each(spans.rbegin(), spans.rend(), move);
    else
        std::for_each(spans.begin(), spans.end(), move);
    RECT d = bb;
    OffsetRect(&d, ox, oy);
    MarkDirty(top, d);
}

} // namespace twuser

using namespace twuser;

extern "C" {

HDC WINAPI BeginPaint(HWND hwnd, LPPAINTSTRUCT ps) {
    Window* w = Get(hwnd);
    if (!w || !ps) return nullptr;
    CaretHideForPaint(hwnd);
    if (w->frameNeeded) {
        w->frameNeeded = false;
        Send(hwnd, WM_NCPAINT, 1, 0);
        if (!(w = Get(hwnd))) return nullptr;
    }
    Region upd = w->update;
    const bool erase = w->eraseNeeded;
    w->update = Region();
    w->eraseNeeded = false;
    w->internalPaint = false;
    upd.Offset(-w->client.left, -w->client.top);
    HDC hdc = MakeWindowDC(w, false, w->style & WS_CLIPCHILDREN, w->style & WS_CLIPSIBLINGS, &upd);
    S().paintDCs.push_back(hdc);
    std::memset(ps, 0, sizeof *ps);
    ps->hdc = hdc;
    RECT bounds = upd.Bounds();
    const RECT client{0, 0, w->client.right - w->client.left, w->client.bottom - w->client.top};
    IntersectRect(&ps->rcPaint, &bounds, &client);
    ps->fErase = TRUE;
    if (erase) ps->fErase = Send(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0) == 0;
    return hdc;
}

BOOL WINAPI EndPaint(HWND hwnd, const PAINTSTRUCT* ps) {
    if (!ps) return FALSE;
    auto& v = S().paintDCs;
    v.erase(std::remove(v.begin(), v.end(), ps->hdc), v.end());
    ReleaseDC(hwnd, ps->hdc);
    CaretShowAfterPaint(hwnd);
    return TRUE;
}

HDC WINAPI GetDCEx(HWND hwnd, HRGN clip, DWORD flags) {
    Window* w = hwnd ? Get(hwnd) : Desktop();
    if (!w) return nullptr;
    const bool windowArea = flags & DCX_WINDOW;
    // A cache DC clips as the flags say; otherwise the window's own styles add to them.
    const bool own = !(flags & DCX_CACHE);
    const bool clipChildren = (flags & DCX_CLIPCHILDREN) || (own && (w->style & WS_CLIPCHILDREN));
    const bool clipSiblings = (flags & DCX_CLIPSIBLINGS) || (own && (w->style & WS_CLIPSIBLINGS));
    std::optional<Region> extra;
    if ((flags & (DCX_INTERSECTRGN | DCX_EXCLUDERGN)) && reinterpret_cast<uintptr_t>(clip) > 1) {
        if (auto* ro = wingdi::GetRegion(clip)) {
            // The region is in screen coordinates.
            Region r = ro->rgn;
            const POINT o = windowArea ? WindowOrigin(w) : ClientOrigin(w);
            r.Offset(-o.x, -o.y);
            const RECT all = windowArea ? RECT{0, 0, w->Width(), w->Height()}
                                        : RECT{0, 0, w->client.right - w->client.left, w->client.bottom - w->client.top};
            extra = (flags & DCX_INTERSECTRGN) ? r : Region::FromRect(all).Subtract(r);
        }
    }
    if (flags & DCX_INTERSECTUPDATE) {
        Region upd = w->update;
        upd.Offset(-w->client.left, -w->client.top);
        extra = extra ? extra->Intersect(upd) : upd;
    }
    return MakeWindowDC(w, windowArea, clipChildren, clipSiblings, extra ? &*extra : nullptr);
}

HDC WINAPI GetDC(HWND hwnd) { return GetDCEx(hwnd, nullptr, 0); }
HDC WINAPI GetWindowDC(HWND hwnd) { return GetDCEx(hwnd, nullptr, DCX_WINDOW); }

int WINAPI ReleaseDC(HWND, HDC hdc) {
    auto& v = S().windowDCs;
    auto it = std::find_if(v.begin(), v.end(), [&](auto& p) { return p.first == hdc; });
    if (it == v.end()) return 0;
    // What was drawn since the DC was made is shown too, though a presentation came in between (a DC
    // kept through a popup's animation).
    Window* w = Get(it->second);
    wingdi::DC* dc = wingdi::GetDC(hdc);
    if (w && dc && dc->visible && !dc->visible->IsEmpty()) {
        RECT b = dc->visible->Bounds();
        OffsetRect(&b, dc->deviceOrigin.x, dc->deviceOrigin.y);
        MarkDirty(TopLevelOf(w), b);
    }
    ForgetDC(hdc);
    DeleteDC(hdc);
    return 1;
}

HWND WINAPI WindowFromDC(HDC hdc) {
    for (auto& p : S().windowDCs)
        if (p.first == hdc) return p.second;
    return nullptr;
}

BOOL WINAPI RedrawWindow(HWND hwnd, const RECT* r, HRGN rgn, UINT flags) {
    Window* w = hwnd ? Get(hwnd) : Desktop();
    if (!w) return FALSE;
    if (flags & (RDW_INVALIDATE | RDW_VALIDATE | RDW_INTERNALPAINT | RDW_NOINTERNALPAINT)) {
        UINT f = flags;
        if ((flags & RDW_INTERNALPAINT) && !(flags & RDW_INVALIDATE)) {
            w->internalPaint = true;
            BumpSerial();
        }
        if (w == S().desktop) {
            InvalidateWindow(w, nullptr, f);
        } else {
            const Region area = ClientToWindowRgn(w, r, rgn, flags & RDW_FRAME);
            InvalidateWindow(w, &area, f);
        }
    }
    if (flags & RDW_UPDATENOW) {
        UpdateNow(H(w), flags & RDW_ALLCHILDREN || !(flags & RDW_NOCHILDREN));
    } else if (flags & RDW_ERASENOW) {
        EraseNow(H(w));
    }
    return TRUE;
}

BOOL WINAPI InvalidateRect(HWND hwnd, const RECT* r, BOOL erase) {
    return RedrawWindow(hwnd, r, nullptr, RDW_INVALIDATE | (erase ? RDW_ERASE : 0) | (hwnd ? 0 : RDW_FRAME | RDW_ALLCHILDREN));
}

BOOL WINAPI InvalidateRgn(HWND hwnd, HRGN rgn, BOOL erase) {
    return RedrawWindow(hwnd, nullptr, rgn, RDW_INVALIDATE | (erase ? RDW_ERASE : 0));
}

BOOL WINAPI ValidateRect(HWND hwnd, const RECT* r) { return RedrawWindow(hwnd, r, nullptr, RDW_VALIDATE); }
BOOL WINAPI ValidateRgn(HWND hwnd, HRGN rgn) { return RedrawWindow(hwnd, nullptr, rgn, RDW_VALIDATE); }

BOOL WINAPI UpdateWindow(HWND hwnd) {
    if (!Get(hwnd)) return FALSE;
    UpdateNow(hwnd, true);
    return TRUE;
}

BOOL WINAPI GetUpdateRect(HWND hwnd, LPRECT r, BOOL erase) {
    Window* w = Get(hwnd);
    if (!w) return FALSE;
    RECT b = w->update.Bounds();
    if (w->update.IsEmpty()) b = RECT{0, 0, 0, 0};
    else OffsetRect(&b, -w->client.left, -w->client.top);
    if (r) *r = b;
    const bool any = !w->update.IsEmpty();
    if (erase && any) EraseNow(hwnd);
    return any;
}

int WINAPI GetUpdateRgn(HWND hwnd, HRGN rgn, BOOL erase) {
    Window* w = Get(hwnd);
    wingdi::RegionObject* ro = wingdi::GetRegion(rgn);
    if (!w || !ro) return ERROR;
    Region u = w->update;
    u.Offset(-w->client.left, -w->client.top);
    ro->rgn = u;
    if (erase && !u.IsEmpty()) EraseNow(hwnd);
    return u.Complexity();
}

int WINAPI ExcludeUpdateRgn(HDC hdc, HWND hwnd) {
    Window* w = Get(hwnd);
    if (!w) return ERROR;
    Region u = w->update;
    u.Offset(-w->client.left, -w->client.top);
    HRGN h = CreateRectRgn(0, 0, 0, 0);
    if (auto* ro = wingdi::GetRegion(h)) ro->rgn = u;
    const int r = ExtSelectClipRgn(hdc, h, RGN_DIFF);
    DeleteObject(h);
    return r;
}

int WINAPI ScrollWindowEx(HWND hwnd, int dx, int dy, const RECT* scroll, const RECT* clip, HRGN updateRgn,
                          LPRECT updateRect, UINT flags) {
    Window* w = Get(hwnd);
    if (!w) return ERROR;
    const RECT client{0, 0, w->client.right - w->client.left, w->client.bottom - w->client.top};
    RECT sr = scroll ? *scroll : client;
    RECT cr = clip ? *clip : client;
    IntersectRect(&sr, &sr, &client);
    IntersectRect(&cr, &cr, &client);
    RECT area;
    IntersectRect(&area, &sr, &cr);
    CaretHideForPaint(hwnd);
    const Region vis = ReallyVisible(w) ? VisibleRegion(w, true, true, true) : Region();
    // Only pixels inside both rectangles move, and they land only inside the clip rectangle: what lies
    // outside the clip neither comes in nor is overwritten, and the part of the area that nothing
    // moved into is left to be painted.
    Region moved = vis.Intersect(area);
    moved.Offset(dx, dy);
    moved = moved.Intersect(cr).Intersect(vis);
    if (ReallyVisible(w)) {
        if (!moved.IsEmpty()) ScrollBitsInBacking(w, area, cr, dx, dy);
    }
    Region uncovered = Region::FromRect(area).Subtract(moved);
    // Pending invalid parts move with the contents.
    {
        Region upd = w->update;
        upd.Offset(-w->client.left, -w->client.top);
        Region inside = upd.Intersect(sr);
        Region outside = upd.Subtract(Region::FromRect(sr));
        inside.Offset(dx, dy);
        inside = inside.Intersect(cr);
        Region merged = outside.Union(inside);
        merged.Offset(w->client.left, w->client.top);
        w->update = merged;
    }
    if (flags & SW_SCROLLCHILDREN) {
        for (Window* c : w->children) {
            const RECT r = c->rect;
            RECT tmp;
            if (!scroll || IntersectRect(&tmp, &r, &sr)) OffsetRect(&c->rect, dx, dy);
        }
        RetargetDCs();
    }
    if (flags & SW_INVALIDATE) {
        Region u = uncovered;
        u.Offset(w->client.left, w->client.top);
        InvalidateWindow(w, &u, RDW_INVALIDATE | ((flags & SW_ERASE) ? RDW_ERASE : 0) | RDW_ALLCHILDREN);
    }
    if (updateRgn)
        if (auto* ro = wingdi::GetRegion(updateRgn)) ro->rgn = uncovered;
    if (updateRect) *updateRect = uncovered.IsEmpty() ? RECT{0, 0, 0, 0} : uncovered.Bounds();
    CaretShowAfterPaint(hwnd);
    return uncovered.Complexity();
}

BOOL WINAPI ScrollWindow(HWND hwnd, int dx, int dy, const RECT* r, const RECT* clip) {
    return ScrollWindowEx(hwnd, dx, dy, r, clip, nullptr, nullptr, SW_INVALIDATE | SW_ERASE | (r ? 0 : SW_SCROLLCHILDREN)) != ERROR;
}

BOOL WINAPI LockWindowUpdate(HWND) { return TRUE; }

// ---- stand-in extensions ----

BOOL WINAPI TwGetWindowSurface(HWND hwnd, TwSurface* surface, POINT* origin) {
    Window* w = Get(hwnd);
    Window* top = w ? TopLevelOf(w) : nullptr;
    if (!top) return FALSE;
    if (top->Visible()) EnsureBacking(top);
    if (!top->backing) return FALSE;
    if (surface) *surface = top->backing->Surface();
    if (origin) {
        const POINT o = WindowOrigin(w), to = WindowOrigin(top);
        *origin = POINT{o.x - to.x, o.y - to.y};
    }
    return TRUE;
}

void WINAPI TwFlushPainting(void) {
    for (int guard = 0; guard < 100000; ++guard) {
        HWND h = nullptr;
        if (!FindPaintWindow(nullptr, h)) break;
        PaintNow(h);
    }
    PresentAll();
}

} // extern "C"
