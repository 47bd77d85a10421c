// Region objects and painting them.
#include "win/gdi32/Gdi.h"

#include <algorithm>
#include <cstring>

namespace wingdi {
Region EllipseRegion(int l, int t, int r, int b);
Region RoundRectRegion(int l, int t, int r, int b, int w, int h);
Region PolygonRegion(const std::vector<std::vector<POINT>>& polys, int mode);
} // namespace wingdi

using namespace wingdi;

namespace {

HRGN NewRegion(Region r) {
    auto o = std::make_unique<RegionObject>();
    o->rgn = std::move(r);
    return static_cast<HRGN>(AddObject(std::move(o)));
}

// A region given in logical coordinates, moved to device coordinates.
Region ToDevice(const DC& dc, Region r) {
    const POINT o = dc.ToDevice(0, 0);
    r.Offset(o.x, o.y);
    return r;
}

} // namespace

extern "C" {

HRGN WINAPI CreateRectRgn(int x1, int y1, int x2, int y2) {
    return NewRegion(Region::FromRect(x1, y1, x2, y2));
}

HRGN WINAPI CreateRectRgnIndirect(const RECT* r) {
    return r ? CreateRectRgn(r->left, r->top, r->right, r->bottom) : nullptr;
}

HRGN WINAPI CreateEllipticRgn(int x1, int y1, int x2, int y2) {
    return NewRegion(EllipseRegion(x1, y1, x2, y2));
}

HRGN WINAPI CreateEllipticRgnIndirect(const RECT* r) {
    return r ? CreateEllipticRgn(r->left, r->top, r->right, r->bottom) : nullptr;
}

HRGN WINAPI CreateRoundRectRgn(int x1, int y1, int x2, int y2, int w, int h) {
    return NewRegion(RoundRectRegion(x1, y1, x2, y2, w, h));
}

HRGN WINAPI CreatePolygonRgn(const POINT* pts, int n, int mode) {
    if (!pts || n < 2) return nullptr;
    return NewRegion(PolygonRegion({std::vector<POINT>(pts, pts + n)}, mode));
}

HRGN WINAPI CreatePolyPolygonRgn(const POINT* pts, const INT* counts, int n, int mode) {
    if (!pts || !counts || n <= 0) return nullptr;
    std::vector<std::vector<POINT>> polys;
    for (int i = 0; i < n; ++i) {
        if (counts[i] < 0) return nullptr;
        polys.emplace_back(pts, pts + counts[i]);
        pts += counts[i];
    }
    return NewRegion(PolygonRegion(polys, mode));
}

HRGN WINAPI ExtCreateRegion(const XFORM*, DWORD size, const RGNDATA* data) {
    if (!data || size < sizeof(RGNDATAHEADER) || data->rdh.iType != RDH_RECTANGLES) return nullptr;
    const DWORD count = data->rdh.nCount;
    if ((size - sizeof(RGNDATAHEADER)) / sizeof(RECT) < count) return nullptr;
    Region r;
    for (DWORD i = 0; i < count; ++i) {
        RECT rc;
        std::memcpy(&rc, data->Buffer + i * sizeof(RECT), sizeof rc);
        r = r.Union(Region::FromRect(rc));
    }
    return NewRegion(std::move(r));
}

int WINAPI CombineRgn(HRGN dst, HRGN src1, HRGN src2, int mode) {
    RegionObject* d = GetRegion(dst);
    RegionObject* a = GetRegion(src1);
    if (!d || !a) return ERROR;
    if (mode == RGN_COPY) {
        d->rgn = a->rgn;
        return d->rgn.Complexity();
    }
    RegionObject* b = GetRegion(src2);
    if (!b) return ERROR;
    Region::Op op;
    switch (mode) {
    case RGN_AND:
        op = Region::Op::And;
        break;
    case RGN_OR:
        op = Region::Op::Or;
        break;
    case RGN_XOR:
        op = Region::Op::Xor;
        break;
    case RGN_DIFF:
        op = Region::Op::Diff;
        break;
    default:
        return ERROR;
    }
    d->rgn = Region::Combine(a->rgn, b->rgn, op);
    return d->rgn.Complexity();
}

BOOL WINAPI SetRectRgn(HRGN h, int l, int t, int r, int b) {
    RegionObject* o = GetRegion(h);
    if (!o) return FALSE;
    o->rgn = Region::FromRect(l, t, r, b);
    return TRUE;
}

int WINAPI OffsetRgn(HRGN h, int x, int y) {
    RegionObject* o = GetRegion(h);
    if (!o) return ERROR;
    o->rgn.Offset(x, y);
    return o->rgn.Complexity();
}

BOOL WINAPI EqualRgn(HRGN a, HRGN b) {
    RegionObject *ra = GetRegion(a), *rb = GetRegion(b);
    if (!ra || !rb) return ERROR;
    return ra->rgn == rb->rgn;
}

BOOL WINAPI PtInRegion(HRGN h, int x, int y) {
    RegionObject* o = GetRegion(h);
    return o && o->rgn.Contains(x, y);
}

BOOL WINAPI RectInRegion(HRGN h, const RECT* rc) {
    RegionObject* o = GetRegion(h);
    if (!o || !rc) return FALSE;
    RECT r = *rc;
    if (r.left > r.right) std::swap(r.left, r.right);
    if (r.top > r.bottom) std::swap(r.top, r.bottom);
    return o->rgn.Intersects(r);
}

int WINAPI GetRgnBox(HRGN h, LPRECT out) {
    RegionObject* o = GetRegion(h);
    if (!o || !out) return ERROR;
    *out = o->rgn.Bounds();
    return o->rgn.Complexity();
}

DWORD WINAPI GetRegionData(HRGN h, DWORD size, LPRGNDATA data) {
    RegionObject* o = GetRegion(h);
    if (!o) return 0;
    const auto rects = o->rgn.Rects();
    const DWORD needed = DWORD(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
    if (!data) return needed;
    if (size < needed) return 0;
    data->rdh.dwSize = sizeof(RGNDATAHEADER);
    data->rdh.iType = RDH_RECTANGLES;
    data->rdh.nCount = DWORD(rects.size());
    data->rdh.nRgnSize = DWORD(rects.size() * sizeof(RECT));
    data->rdh.rcBound = o->rgn.Bounds();
    if (!rects.empty()) std::memcpy(data->Buffer, rects.data(), rects.size() * sizeof(RECT));
    return needed;
}

BOOL WINAPI FillRgn(HDC hdc, HRGN h, HBRUSH hbr) {
    DC* dc = wingdi::GetDC(hdc);
    RegionObject* o = GetRegion(h);
    if (!dc || !o || !GetBrush(hbr)) return FALSE;
    FillDeviceRegion(*dc, ToDevice(*dc, o->rgn), hbr, R2_COPYPEN);
    return TRUE;
}

BOOL WINAPI PaintRgn(HDC hdc, HRGN h) {
    DC* dc = wingdi::GetDC(hdc);
    RegionObject* o = GetRegion(h);
    if (!dc || !o) return FALSE;
    FillDeviceRegion(*dc, ToDevice(*dc, o->rgn), dc->s.brush);
    return TRUE;
}

BOOL WINAPI InvertRgn(HDC hdc, HRGN h) {
    DC* dc = wingdi::GetDC(hdc);
    RegionObject* o = GetRegion(h);
    if (!dc || !o) return FALSE;
    FillDeviceRegion(*dc, ToDevice(*dc, o->rgn), static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)), R2_NOT);
    return TRUE;
}

BOOL WINAPI FrameRgn(HDC hdc, HRGN h, HBRUSH hbr, int w, int hgt) {
    DC* dc = wingdi::GetDC(hdc);
    RegionObject* o = GetRegion(h);
    if (!dc || !o || !GetBrush(hbr) || w <= 0 || hgt <= 0) return FALSE;
    // The frame is the region minus the region shrunk by w horizontally and hgt vertically.
    Region inner = o->rgn;
    for (int dx = -w; dx <= w; dx += w) {
        for (int dy = -hgt; dy <= hgt; dy += hgt) {
            Region shifted = o->rgn;
            shifted.Offset(dx, dy);
            inner = inner.Intersect(shifted);
        }
    }
    FillDeviceRegion(*dc, ToDevice(*dc, o->rgn.Subtract(inner)), hbr, R2_COPYPEN);
    return TRUE;
}

} // extern "C"
