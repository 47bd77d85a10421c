// Lines and shapes, drawn by our own rasteriser with GDI's pixel rules: right and bottom edges
// excluded, LineTo without its end point, Rectangle's pen inside its bounds.
#include "win/gdi32/Gdi.h"

#include <algorithm>
#include <cmath>
#include <map>

using namespace wingdi;

namespace wingdi {

namespace {

// Shapes are rasterised only where they can matter: inside this rectangle, the clip bounds of the
// drawing in progress with a margin (so outlines found at its edge stay invisible), or a 16-bit range
// for regions. Far-away coordinates then cost nothing.
RECT Limit{-32768, -32768, 32768, 32768};

class RasterLimit {
public:
    explicit RasterLimit(const DC& dc) : saved_(Limit) {
        const RECT b = dc.EffectiveClip().Bounds();
        Limit = RECT{b.left - 4, b.top - 4, b.right + 4, b.bottom + 4};
    }
    ~RasterLimit() { Limit = saved_; }

private:
    RECT saved_;
};

RECT Limited(RECT box) {
    return RECT{std::max(box.left, Limit.left), std::max(box.top, Limit.top),
                std::min(box.right, Limit.right), std::min(box.bottom, Limit.bottom)};
}

} // namespace

// A region from a per-pixel test over a box.
template <class Pred> Region MaskFromPredicate(RECT box, Pred inside) {
    box = Limited(box);
    std::vector<std::vector<Span>> rows;
    for (int y = box.top; y < box.bottom; ++y) {
        std::vector<Span> row;
        int start = 0;
        bool in = false;
        for (int x = box.left; x < box.right; ++x) {
            const bool now = inside(x, y);
            if (now && !in) start = x;
            if (!now && in) row.push_back({start, x});
            in = now;
        }
        if (in) row.push_back({start, int(box.right)});
        rows.push_back(std::move(row));
    }
    return Region::FromRows(box.top, rows);
}

namespace {

// Half-widths of the ellipse filling a w × h box, one per row from its top, in half pixels measured
// from the box's centre line; -1 for a row the ellipse leaves empty. The outline is walked as the
// reference platform walks it, one quadrant mirrored into the others, from the middle row outwards with
// an error term in integers: a step along y where the doubled error does not exceed the y increment, a
// step along x where it reaches the x increment (both may come at once). Boxes up to two pixels wide are
// finished up to their top and bottom rows; wider ones stop where the walk ends, so a tall narrow
// ellipse has no tip pixel. A 1 × 1 box keeps its one pixel.
std::vector<int64_t> EllipseHalfWidths(int64_t w, int64_t h) {
    std::vector<int64_t> half(size_t(std::max<int64_t>(h, 0)), -1);
    if (w <= 0 || h <= 0) return half;
    if (w == 1 && h == 1) return {0};
    auto put = [&](__int128 x, __int128 y) {
        if (y < 0 || y >= h) return;
        const __int128 d = 2 * x - (w - 1);
        half[size_t(y)] = std::max(half[size_t(y)], int64_t(d < 0 ? -d : d));
    };
    const __int128 a = w - 1, b = h - 1, b1 = b & 1;
    __int128 dx = 4 * (1 - a) * b * b, dy = 4 * (b1 + 1) * a * a;
    __int128 err = dx + dy + b1 * a * a;
    const __int128 stepX = 8 * b * b, stepY = 8 * a * a;
    __int128 x0 = 0, x1 = a, y0 = (b + 1) / 2, y1 = y0 - b1;
    do {
        put(x1, y0);
        put(x0, y0);
        put(x0, y1);
        put(x1, y1);
        const __int128 e2 = 2 * err;
        if (e2 <= dy) {
            ++y0;
            --y1;
            dy += stepY;
            err += dy;
        }
        if (e2 >= dx) {
            ++x0;
            --x1;
            dx += stepX;
            err += dx;
        }
    } while (x0 <= x1);
    if (w <= 2)
        while (y0 - y1 <= b) {
            put(x0 - 1, y0);
            put(x1 + 1, y0++);
            put(x0 - 1, y1);
            put(x1 + 1, y1--);
        }
    return half;
}

// The span [x0, x1) of row i of the ellipse filling a box of width w whose left edge is at l.
Span EllipseSpan(const std::vector<int64_t>& half, int64_t l, int64_t w, int64_t i) {
    const int64_t h = half[size_t(i)];
    if (h < 0) return {int(l + w / 2), int(l + w / 2)};
    return {int(l + (w - 1 - h) / 2), int(l + (w - 1 + h) / 2 + 1)};
}

} // namespace

// The filled ellipse inscribed in [l, r) × [t, b).
Region EllipseRegion(int l, int t, int r, int b) {
    if (l > r) std::swap(l, r);
    if (t > b) std::swap(t, b);
    if (int64_t(r) - l <= 0 || int64_t(b) - t <= 0) return Region();
    const std::vector<int64_t> half = EllipseHalfWidths(int64_t(r) - l, int64_t(b) - t);
    const RECT lim = Limited(RECT{l, t, r, b});
    std::vector<std::vector<Span>> rows;
    for (int y = lim.top; y < lim.bottom; ++y) {
        const Span s = EllipseSpan(half, l, int64_t(r) - l, int64_t(y) - t);
        const int x0 = std::max<int>(s.x0, lim.left), x1 = std::min<int>(s.x1, lim.right);
        rows.push_back(x1 > x0 ? std::vector<Span>{{x0, x1}} : std::vector<Span>{});
    }
    return Region::FromRows(lim.top, rows);
}

Region RoundRectRegion(int l, int t, int r, int b, int w, int h) {
    if (l > r) std::swap(l, r);
    if (t > b) std::swap(t, b);
    w = int(std::min<int64_t>(std::abs(int64_t(w)), int64_t(r) - l));
    h = int(std::min<int64_t>(std::abs(int64_t(h)), int64_t(b) - t));
    if (w <= 1 || h <= 1) return Region::FromRect(l, t, r, b);
    // The corners are the quarters of a w × h ellipse.
    const std::vector<int64_t> half = EllipseHalfWidths(w, h);
    std::vector<std::vector<Span>> rows;
    const RECT lim = Limited(RECT{l, t, r, b});
    for (int y = lim.top; y < lim.bottom; ++y) {
        int x0 = l, x1 = r;
        int64_t i = -1;
        if (y < t + h / 2)
            i = int64_t(y) - t;
        else if (y >= b - h / 2)
            i = int64_t(y) - (int64_t(b) - h);
        if (i >= 0) {
            x0 = EllipseSpan(half, l, w, i).x0;
            x1 = EllipseSpan(half, int64_t(r) - w, w, i).x1;
        }
        rows.push_back({Span{std::max<int>(x0, lim.left), std::min<int>(x1, lim.right)}});
    }
    return Region::FromRows(lim.top, rows);
}

// Pixels of the region with a 4-neighbour outside it: a one-pixel outline.
Region Outline(const Region& mask) {
    Region inner = mask;
    for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
        Region shifted = mask;
        shifted.Offset(dx, dy);
        inner = inner.Intersect(shifted);
    }
    return mask.Subtract(inner);
}

// Polygon interior sampled at integer points (vertices lie on pixel centres), top-left rule.
Region PolygonRegion(const std::vector<std::vector<POINT>>& polys, int mode) {
    struct Edge {
        double x0, y0, x1, y1;
        int dir;
    };
    std::vector<Edge> edges;
    int ymin = INT32_MAX, ymax = INT32_MIN;
    for (const auto& poly : polys) {
        const size_t n = poly.size();
        if (n < 2) continue;
        for (size_t i = 0; i < n; ++i) {
            POINT a = poly[i], b = poly[(i + 1) % n];
            if (a.y == b.y) continue;
            const int dir = a.y < b.y ? 1 : -1;
            if (a.y > b.y) std::swap(a, b);
            edges.push_back({double(a.x), double(a.y), double(b.x), double(b.y), dir});
            ymin = std::min<int>(ymin, a.y);
            ymax = std::max<int>(ymax, b.y);
        }
    }
    if (edges.empty()) return Region();
    ymin = std::max<int>(ymin, Limit.top);
    ymax = std::min<int>(ymax, Limit.bottom);
    std::vector<std::vector<Span>> rows;
    std::vector<std::pair<double, int>> xs;
    for (int y = ymin; y < ymax; ++y) {
        xs.clear();
        for (const Edge& e : edges) {
            if (y < e.y0 || y >= e.y1) continue;
            xs.push_back({e.x0 + (y - e.y0) * (e.x1 - e.x0) / (e.y1 - e.y0), e.dir});
        }
        std::sort(xs.begin(), xs.end());
        std::vector<Span> row;
        int winding = 0;
        for (size_t i = 0; i + 1 < xs.size(); ++i) {
            winding += xs[i].second;
            const bool in = mode == WINDING ? winding != 0 : (i % 2) == 0;
            if (!in) continue;
            const double lo = std::max<double>(xs[i].first, Limit.left),
                         hi = std::min<double>(xs[i + 1].first, Limit.right);
            const int x0 = int(std::ceil(lo - 1e-9)), x1 = int(std::ceil(hi - 1e-9));
            if (x1 > x0) row.push_back({x0, x1});
        }
        rows.push_back(std::move(row));
    }
    return Region::FromRows(ymin, rows);
}

} // namespace wingdi

namespace {

struct PenInfo {
    const Pen* pen = nullptr;
    COLORREF color = 0;
    int kind = PS_NULL;
    int width = 1;
    bool geometric = false; // wide pens are drawn as areas
};

PenInfo PenOf(const DC& dc) {
    PenInfo p;
    p.pen = GetPen(dc.s.pen);
    if (!p.pen) return p;
    p.kind = p.pen->Kind();
    p.color = dc.s.pen == static_cast<HPEN>(GetStockObject(DC_PEN)) ? dc.s.dcPenColor : p.pen->color;
    p.width = p.pen->width;
    p.geometric = p.width > 1;
    return p;
}

// Dash patterns of cosmetic pens, in pixels, starting with a dash.
const std::vector<int>& DashPattern(int kind) {
    static const std::vector<int> dash{18, 6}, dot{3, 3}, dashdot{9, 6, 3, 6}, dashdotdot{9, 3, 3, 3, 3, 3},
        alternate{1, 1}, solid{};
    switch (kind) {
    case PS_DASH:
        return dash;
    case PS_DOT:
        return dot;
    case PS_DASHDOT:
        return dashdot;
    case PS_DASHDOTDOT:
        return dashdotdot;
    case PS_ALTERNATE:
        return alternate;
    default:
        return solid;
    }
}

// Bresenham from a to b, without b: plot(x, y) for each pixel. Steps whose major coordinate lies
// outside box are skipped arithmetically (skip(n) is told how many), so a line to a far-away point
// costs only its visible part.
template <class Plot, class SkipFn> void WalkLine(POINT a, POINT b, const RECT& box, Plot plot, SkipFn skip) {
    const bool xMajor = std::abs(int64_t(b.x) - a.x) >= std::abs(int64_t(b.y) - a.y);
    const int64_t major0 = xMajor ? a.x : a.y, major1 = xMajor ? b.x : b.y;
    const int64_t minor0 = xMajor ? a.y : a.x, minor1 = xMajor ? b.y : b.x;
    const int64_t dMaj = std::abs(major1 - major0), dMin = std::abs(minor1 - minor0);
    const int sMaj = major0 < major1 ? 1 : -1, sMin = minor0 < minor1 ? 1 : -1;
    const int64_t lo = int64_t(xMajor ? box.left : box.top) - 1,
                  hi = int64_t(xMajor ? box.right : box.bottom) + 1;
    // Steps i in [first, last) put the major coordinate inside [lo, hi).
    int64_t first = 0, last = dMaj;
    if (sMaj > 0) {
        first = std::max<int64_t>(first, lo - major0);
        last = std::min<int64_t>(last, hi - major0);
    } else {
        first = std::max<int64_t>(first, major0 - hi + 1);
        last = std::min<int64_t>(last, major0 - lo + 1);
    }
    if (first >= last) {
        skip(dMaj);
        return;
    }
    skip(first);
    // Where the ideal line passes exactly midway between two pixels, the one with the smaller minor
    // coordinate is taken whichever way the line runs: going down the minor axis the tie stays, going
    // up it steps (a threshold one lower; no tie is possible when dMaj is odd).
    const int64_t half = sMin > 0 ? dMaj / 2 : (dMaj - 1) / 2;
    // After i steps the minor coordinate moved k times, k the least with half - i·dMin + k·dMaj >= 0.
    const int64_t k = first * dMin > half ? (first * dMin - half + dMaj - 1) / dMaj : 0;
    int64_t err = half - first * dMin + k * dMaj;
    int64_t minor = minor0 + sMin * k;
    for (int64_t i = first; i < last; ++i) {
        const int64_t major = major0 + sMaj * i;
        if (minor >= INT32_MIN && minor <= INT32_MAX) {
            if (xMajor)
                plot(int(major), int(minor));
            else
                plot(int(minor), int(major));
        }
        err -= dMin;
        if (err < 0) {
            minor += sMin;
            err += dMaj;
        }
    }
    skip(dMaj - last);
}

// Draws the pixels of a cosmetic (one-pixel) pen, keeping its dash position across segments.
class CosmeticPen {
public:
    CosmeticPen(DC& dc, const PenInfo& pen) : dc_(dc), pattern_(DashPattern(pen.kind)) {
        t_ = dc.Target();
        clip_ = dc.EffectiveClip();
        fg_ = t_.FromColorRef(pen.color);
        bg_ = t_.FromColorRef(dc.s.bkColor);
        opaque_ = dc.s.bkMode == OPAQUE;
    }

    void Plot(int x, int y) {
        bool on = true;
        if (!pattern_.empty()) {
            on = (index_ % 2) == 0;
            if (++count_ >= pattern_[index_]) {
                count_ = 0;
                index_ = (index_ + 1) % pattern_.size();
            }
        }
        if (!t_.Valid() || (!on && !opaque_) || !clip_.Contains(x, y)) return;
        const int tx = x + dc_.deviceOrigin.x, ty = y + dc_.deviceOrigin.y;
        const uint32_t p = on ? fg_ : bg_;
        t_.Set(tx, ty, dc_.s.rop2 == R2_COPYPEN ? p : Rop2(dc_.s.rop2, p, t_.Get(tx, ty)));
    }

    // Bresenham from a to b, without b.
    void Line(POINT a, POINT b) {
        if (StraightSolidLine(a, b)) return;
        WalkLine(
            a, b, clip_.Bounds(), [this](int x, int y) { Plot(x, y); }, [this](int64_t n) { Skip(n); });
    }

    // A solid copy-pen line along a row or a column, drawn a clip span at a time: the pixels Plot
    // would set. False for any other line.
    bool StraightSolidLine(POINT a, POINT b) {
        if (!pattern_.empty() || dc_.s.rop2 != R2_COPYPEN || !t_.Valid() || (a.x != b.x && a.y != b.y) ||
            (a.x == b.x && a.y == b.y))
            return false;
        const int ox = dc_.deviceOrigin.x, oy = dc_.deviceOrigin.y;
        // The pixels from a towards b, b left out.
        const auto range = [](LONG from, LONG to) {
            return from < to ? std::pair<int64_t, int64_t>{from, to} : std::pair<int64_t, int64_t>{int64_t(to) + 1, int64_t(from) + 1};
        };
        for (const Band& band : clip_.Bands()) {
            if (a.y == b.y) {
                if (a.y < band.y0 || a.y >= band.y1) continue;
                const auto [x0, x1] = range(a.x, b.x);
                for (const Span& s : band.spans) {
                    const int lo = int(std::max<int64_t>(x0, s.x0)), hi = int(std::min<int64_t>(x1, s.x1));
                    if (lo >= hi) continue;
                    if (t_.bpp == 32)
                        Fill32(reinterpret_cast<uint32_t*>(t_.bits + t_.stride * (a.y + oy)) + (lo + ox), hi - lo, fg_);
                    else
                        for (int x = lo; x < hi; ++x) t_.Set(x + ox, a.y + oy, fg_);
                }
            } else {
                const auto [y0, y1] = range(a.y, b.y);
                const int lo = int(std::max<int64_t>(y0, band.y0)), hi = int(std::min<int64_t>(y1, band.y1));
                if (lo >= hi) continue;
                for (const Span& s : band.spans)
                    if (a.x >= s.x0 && a.x < s.x1)
                        for (int y = lo; y < hi; ++y) t_.Set(a.x + ox, y + oy, fg_);
            }
        }
        return true;
    }

    // Moves the dash position as if n pixels had been drawn.
    void Skip(int64_t n) {
        if (pattern_.empty() || n <= 0) return;
        int period = 0;
        for (int len : pattern_) period += len;
        n %= period;
        while (n > 0) {
            const int step = int(std::min<int64_t>(n, pattern_[index_] - count_));
            count_ += step;
            n -= step;
            if (count_ >= pattern_[index_]) {
                count_ = 0;
                index_ = (index_ + 1) % pattern_.size();
            }
        }
    }

private:
    DC& dc_;
    const std::vector<int>& pattern_;
    PixelTarget t_;
    Region clip_;
    uint32_t fg_ = 0, bg_ = 0;
    bool opaque_ = true;
    size_t index_ = 0;
    int count_ = 0;
};

// The area a wide pen covers along a path: each segment as a band of the pen's width, with round joins.
Region WidePath(const std::vector<POINT>& pts, int width, bool closed) {
    Region area;
    const double half = width / 2.0;
    auto disc = [&](POINT c) {
        const int lo = -(width / 2), hi = lo + width;
        return EllipseRegion(c.x + lo, c.y + lo, c.x + hi, c.y + hi);
    };
    const size_t n = pts.size();
    const size_t segs = closed ? n : n - 1;
    for (size_t i = 0; i < segs; ++i) {
        POINT a = pts[i], b = pts[(i + 1) % n];
        const double dx = b.x - a.x, dy = b.y - a.y, len = std::hypot(dx, dy);
        if (len > 0) {
            const double nx = -dy / len * half, ny = dx / len * half;
            // Vertices shifted by half a pixel so that the band is centred on the pixel centres.
            auto pt = [](double x, double y) {
                return POINT{LONG(std::floor(x + 1.0)), LONG(std::floor(y + 1.0))};
            };
            std::vector<POINT> quad{pt(a.x + nx - 0.5, a.y + ny - 0.5), pt(b.x + nx - 0.5, b.y + ny - 0.5),
                                    pt(b.x - nx - 0.5, b.y - ny - 0.5), pt(a.x - nx - 0.5, a.y - ny - 0.5)};
            area = area.Union(PolygonRegion({quad}, WINDING));
        }
        area = area.Union(disc(a));
    }
    if (!closed && n > 0) area = area.Union(disc(pts[n - 1]));
    return area;
}

void PaintPenRegion(DC& dc, const PenInfo& pen, const Region& devRegion) {
    PixelTarget t = dc.Target();
    if (!t.Valid()) return;
    Brush solid;
    solid.color = pen.color;
    BrushSource src;
    src.brush = &solid;
    src.solid = t.FromColorRef(pen.color);
    PaintRegion(dc, devRegion.Intersect(dc.EffectiveClip()), src, dc.s.rop2);
}

// Strokes a path given in device coordinates with the DC's pen.
void StrokePath(DC& dc, const std::vector<POINT>& pts, bool closed) {
    PenInfo pen = PenOf(dc);
    if (!pen.pen || pen.kind == PS_NULL || pts.empty()) return;
    if (pen.geometric) {
        PaintPenRegion(dc, pen, WidePath(pts, pen.width, closed));
        return;
    }
    CosmeticPen cp(dc, pen);
    for (size_t i = 0; i + 1 < pts.size(); ++i) cp.Line(pts[i], pts[i + 1]);
    if (closed && pts.size() > 1) cp.Line(pts.back(), pts.front());
}

std::vector<POINT> ToDevice(const DC& dc, const POINT* pts, int n) {
    std::vector<POINT> out;
    out.reserve(size_t(n));
    for (int i = 0; i < n; ++i) out.push_back(dc.ToDevice(pts[i].x, pts[i].y));
    return out;
}

void Fill(DC& dc, const Region& devRegion) {
    FillDeviceRegion(dc, devRegion, dc.s.brush);
}

// Fills a closed shape and outlines it with the pen. `shape(inset)` gives the device region of the
// shape with its bounds moved in by `inset` pixels on every side (negative: out).
template <class ShapeFn> void DrawClosedShape(DC& dc, RECT box, ShapeFn shape, bool rectangle = false) {
    PenInfo pen = PenOf(dc);
    if (!pen.pen || pen.kind == PS_NULL) {
        // Without a pen the filled area is one pixel smaller on the right and bottom, as on Windows.
        Fill(dc, shape(RECT{box.left, box.top, box.right - 1, box.bottom - 1}));
        return;
    }
    if (!pen.geometric) {
        const Region full = shape(box);
        const Region edge = Outline(full);
        Fill(dc, full.Subtract(edge));
        if (pen.kind == PS_SOLID || pen.kind == PS_INSIDEFRAME) {
            PaintPenRegion(dc, pen, edge);
        } else {
            // Styled pens walk the outline; a rectangle's outline is its four sides, stroked from the
            // top-right corner leftward (top, left, bottom, right), which sets where the dashes fall.
            std::vector<POINT> path{{box.right - 1, box.top},
                                    {box.left, box.top},
                                    {box.left, box.bottom - 1},
                                    {box.right - 1, box.bottom - 1}};
            StrokePath(dc, path, true);
        }
        return;
    }
    const int w = pen.width;
    RECT outer = box;
    if (pen.kind != PS_INSIDEFRAME) {
        // Centred on the outline through the outermost pixels.
        outer = RECT{box.left - w / 2, box.top - w / 2, box.right + (w - 1) / 2, box.bottom + (w - 1) / 2};
    }
    const RECT inner{outer.left + w, outer.top + w, outer.right - w, outer.bottom - w};
    const Region hole = inner.left < inner.right && inner.top < inner.bottom ? shape(inner) : Region();
    Fill(dc, hole);
    if (rectangle) {
        // The pen's disc stamped along the four sides: the corners come out round.
        const LONG l = outer.left + w / 2, t = outer.top + w / 2, r = outer.right - 1 - (w - 1) / 2,
                   b = outer.bottom - 1 - (w - 1) / 2;
        PaintPenRegion(dc, pen, WidePath({{l, t}, {r, t}, {r, b}, {l, b}}, w, true).Subtract(hole));
        return;
    }
    PaintPenRegion(dc, pen, shape(outer).Subtract(hole));
}

RECT NormalizedDeviceRect(const DC& dc, int l, int t, int r, int b) {
    RECT d = dc.ToDevice(RECT{l, t, r, b});
    if (d.left > d.right) std::swap(d.left, d.right);
    if (d.top > d.bottom) std::swap(d.top, d.bottom);
    return d;
}

double AngleOf(double x, double y, double cx, double cy) {
    double a = std::atan2(cy - y, x - cx); // y grows downward: counter-clockwise on screen
    return a < 0 ? a + 2 * M_PI : a;
}

// Whether angle a lies on the arc going counter-clockwise from a0 to a1.
bool InArc(double a, double a0, double a1) {
    double span = a1 - a0;
    while (span <= 0) span += 2 * M_PI;
    double rel = a - a0;
    while (rel < 0) rel += 2 * M_PI;
    while (rel >= 2 * M_PI) rel -= 2 * M_PI;
    return rel <= span + 1e-9;
}

enum class ArcKind { Arc, Pie, Chord };

BOOL DrawArc(HDC hdc, ArcKind kind, int l, int t, int r, int b, int xs, int ys, int xe, int ye) {
    DC* dc = wingdi::GetDC(hdc);
    if (!dc) return FALSE;
    RasterLimit limit(*dc);
    RECT box = NormalizedDeviceRect(*dc, l, t, r, b);
    const POINT ps = dc->ToDevice(xs, ys), pe = dc->ToDevice(xe, ye);
    const double cx = (box.left + box.right - 1) / 2.0, cy = (box.top + box.bottom - 1) / 2.0;
    double a0 = AngleOf(ps.x, ps.y, cx, cy), a1 = AngleOf(pe.x, pe.y, cx, cy);
    if (dc->s.arcDirection == AD_CLOCKWISE) std::swap(a0, a1);
    const Region ellipse = EllipseRegion(box.left, box.top, box.right, box.bottom);
    const RECT bounds = ellipse.Bounds();
    auto inSector = [&](int x, int y) {
        return (x == cx && y == cy) || InArc(AngleOf(x, y, cx, cy), a0, a1);
    };
    // Where the radial at angle a meets the ellipse: the chord joins the arc's two end points.
    const double rx = (box.right - box.left) / 2.0, ry = (box.bottom - box.top) / 2.0;
    auto onEllipse = [&](double a) {
        const double dx = std::cos(a), dy = -std::sin(a);
        const double q = std::hypot(dx / std::max(rx, 1e-9), dy / std::max(ry, 1e-9));
        return std::pair{cx + dx / q, cy + dy / q};
    };
    // Points of the chord's side: those on the arc's side of the line from start to end.
    // Plain pairs rather than structured bindings: older clang cannot capture bindings in a lambda.
    const std::pair<double, double> from = onEllipse(a0), to = onEllipse(a1);
    auto side = [&](double x, double y) {
        return (to.first - from.first) * (y - from.second) - (to.second - from.second) * (x - from.first);
    };
    const double mid = (a0 + (a1 > a0 ? a1 - a0 : a1 + 2 * M_PI - a0) / 2);
    const auto [mx, my] = onEllipse(mid);
    const double arcSide = side(mx, my);
    PenInfo pen = PenOf(*dc);
    if (kind == ArcKind::Arc) {
        if (!pen.pen || pen.kind == PS_NULL) return TRUE;
        const Region edge = Outline(ellipse).Intersect(MaskFromPredicate(bounds, inSector));
        PaintPenRegion(*dc, pen, edge);
        return TRUE;
    }
    const Region shape = kind == ArcKind::Pie
                             ? ellipse.Intersect(MaskFromPredicate(bounds, inSector))
                             : ellipse.Intersect(MaskFromPredicate(
                                   bounds, [&](int x, int y) { return side(x, y) * arcSide >= 0; }));
    if (!pen.pen || pen.kind == PS_NULL) {
        Fill(*dc, shape);
        return TRUE;
    }
    const Region edge = Outline(shape);
    Fill(*dc, shape.Subtract(edge));
    PaintPenRegion(*dc, pen, edge);
    return TRUE;
}

} // namespace

extern "C" {

COLORREF WINAPI GetPixel(HDC hdc, int x, int y) {
    DC* dc = wingdi::GetDC(hdc);
    if (!dc) return CLR_INVALID;
    const POINT p = dc->ToDevice(x, y);
    if (!dc->EffectiveClip().Contains(p.x, p.y)) return CLR_INVALID;
    PixelTarget t = dc->Target();
    return ColorRefOf(t.Get(p.x + dc->deviceOrigin.x, p.y + dc->deviceOrigin.y));
}

COLORREF WINAPI SetPixel(HDC hdc, int x, int y, COLORREF color) {
    DC* dc = wingdi::GetDC(hdc);
    if (!dc) return CLR_INVALID;
    const POINT p = dc->ToDevice(x, y);
    if (!dc->EffectiveClip().Contains(p.x, p.y)) return CLR_INVALID;
    PixelTarget t = dc->Target();
    const uint32_t v = t.FromColorRef(color);
    t.Set(p.x + dc->deviceOrigin.x, p.y + dc->deviceOrigin.y, v);
    return ColorRefOf(v);
}

BOOL WINAPI SetPixelV(HDC hdc, int x, int y, COLORREF color) {
    DC* dc = wingdi::GetDC(hdc);
    if (!dc) return FALSE;
    SetPixel(hdc, x, y, color);
    return TRUE;
}

BOOL WINAPI MoveToEx(HDC hdc, int x, int y, LPPOINT old) {
    DC* dc = wingdi::GetDC(hdc);
    if (!dc) return FALSE;
    if (old) *old = dc->s.pos;
    dc->s.pos = POINT{x, y};
    if (dc->pathOpen) dc->path.push_back({dc->ToDevice(x, y)});
    return TRUE;
}

BOOL WINAPI LineTo(HDC hdc, int x, int y) {
    DC* dc = wingdi::GetDC(hdc);
    if (!dc) return FALSE;
    if (dc->pathOpen) {
        if (dc->path.empty()) dc->path.push_back({dc->ToDevice(dc->s.pos.x, dc->s.pos.y)});
        dc->path.back().push_back(dc->ToDevice(x, y));
        dc->s.pos = POINT{x, y};
        return TRUE;
    }
    RasterLimit limit(*dc);
    StrokePath(*dc, {dc->ToDevice(dc->s.pos.x, dc->s.pos.y), dc->ToDevice(x, y)}, false);
    dc->s.pos = POINT{x, y};
    return TRUE;
}

BOOL WINAPI Polyline(HDC hdc, const POINT* pts, int n) {
    DC* dc = wingdi::GetDC(hdc);
    if (!dc || !pts || n < 2) return FALSE;
    if (dc->pathOpen) {
        dc->path.push_back(ToDevice(*dc, pts, n));
        return TRUE;
    }
    RasterLimit limit(*dc);
    StrokePath(*dc, ToDevice(*dc, pts, n), false);
    return TRUE;
}

BOOL WINAPI PolylineTo(HDC hdc, const POINT* pts, DWORD n) {
    DC* dc = wingdi::GetDC(hdc);
    if (!dc || !pts) return FALSE;
    RasterLimit limit(*dc);
    if (n == 0) return TRUE;
    std::vector<POINT> path{dc->ToDevice(dc->s.pos.x, dc->s.pos.y)};
    for (DWORD i = 0; i < n; ++i) path.push_back(dc->ToDevice(pts[i].x, pts[i].y));
    StrokePath(*dc, path, false);
    dc->s.pos = pts[n - 1];
    return TRUE;
}

BOOL WINAPI PolyPolyline(HDC hdc, const POINT* pts, const DWORD* counts, DWORD n) {
    DC* dc = wingdi::GetDC(hdc);
    if (!dc || !pts || !counts) return FALSE;
    RasterLimit limit(*dc);
    for (DWORD i = 0; i < n; ++i) {
        if (counts[i] >= 2) StrokePath(*dc, ToDevice(*dc, pts, int(counts[i])), false);
        pts += counts[i];
    }
    return TRUE;
}

BOOL WINAPI PolyPolygon(HDC hdc, const POINT* pts, const INT* counts, int n) {
    DC* dc = wingdi::GetDC(hdc);
    if (!dc || !pts || !counts || n <= 0) return FALSE;
    RasterLimit limit(*dc);
    std::vector<std::vector<POINT>> polys;
    const POINT* p = pts;
    for (int i = 0; i < n; ++i) {
        if (counts[i] < 2) return FALSE;
        polys.push_back(ToDevice(*dc, p, counts[i]));
        p += counts[i];
    }
    Region fill = PolygonRegion(polys, dc->s.polyFillMode);
    PenInfo pen = PenOf(*dc);
    if (!pen.pen || pen.kind == PS_NULL) {
        Fill(*dc, fill);
        return TRUE;
    }
    // The outline is painted once over the fill: the fill leaves the pen's pixels alone.
    Region edge;
    for (const auto& poly : polys) {
        if (pen.geometric) {
            edge = edge.Union(WidePath(poly, pen.width, true));
        } else {
            // Pixels of a one-pixel closed outline, inside the limits only.
            std::map<int, std::vector<Span>> rows;
            const size_t m = poly.size();
            for (size_t k = 0; k < m; ++k)
                WalkLine(
                    poly[k], poly[(k + 1) % m], Limit,
                    [&](int x, int y) {
                        if (y >= Limit.top && y < Limit.bottom && x >= Limit.left && x < Limit.right)
                            rows[y].push_back({x, x + 1});
                    },
                    [](int64_t) {});
            if (!rows.empty()) {
                const int y0 = rows.begin()->first;
                std::vector<std::vector<Span>> list(size_t(rows.rbegin()->first - y0 + 1));
                for (auto& [y, spans] : rows) list[size_t(y - y0)] = std::move(spans);
                edge = edge.Union(Region::FromRows(y0, list));
            }
        }
    }
    Fill(*dc, fill.Subtract(edge));
    if (pen.geometric || pen.kind == PS_SOLID || pen.kind == PS_INSIDEFRAME) {
        PaintPenRegion(*dc, pen, edge);
    } else {
        for (const auto& poly : polys) StrokePath(*dc, poly, true);
    }
    return TRUE;
}

BOOL WINAPI Polygon(HDC hdc, const POINT* pts, int n) {
    DC* dc = wingdi::GetDC(hdc);
    if (dc && dc->pathOpen) {
        if (!pts || n < 2) return FALSE;
        dc->path.push_back(ToDevice(*dc, pts, n));
        return TRUE;
    }
    const INT count = n;
    return PolyPolygon(hdc, pts, &count, 1);
}

BOOL WINAPI BeginPath(HDC hdc) {
    DC* dc = wingdi::GetDC(hdc);
    if (!dc) return FALSE;
    dc->pathOpen = true;
    dc->pathDone = false;
    dc->path.clear();
    return TRUE;
}

BOOL WINAPI EndPath(HDC hdc) {
    DC* dc = wingdi::GetDC(hdc);
    if (!dc || !dc->pathOpen) return FALSE;
    dc->pathOpen = false;
    dc->pathDone = true;
    return TRUE;
}

BOOL WINAPI AbortPath(HDC hdc) {
    DC* dc = wingdi::GetDC(hdc);
    if (!dc) return FALSE;
    dc->pathOpen = dc->pathDone = false;
    dc->path.clear();
    return TRUE;
}

BOOL WINAPI SelectClipPath(HDC hdc, int mode) {
    DC* dc = wingdi::GetDC(hdc);
    if (!dc || !dc->pathDone) return FALSE;
    // Each figure is closed, as filling closes it.
    std::vector<std::vector<POINT>> figures;
    for (const auto& f : dc->path)
        if (f.size() >= 2) figures.push_back(f);
    dc->path.clear();
    dc->pathDone = false;
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    if (auto* r = GetRegion(rgn)) r->rgn = PolygonRegion(figures, dc->s.polyFillMode);
    const int result = ExtSelectClipRgn(hdc, rgn, mode);
    DeleteObject(rgn);
    return result != ERROR;
}

BOOL WINAPI Rectangle(HDC hdc, int l, int t, int r, int b) {
    DC* dc = wingdi::GetDC(hdc);
    if (!dc) return FALSE;
    RasterLimit limit(*dc);
    DrawClosedShape(
        *dc, NormalizedDeviceRect(*dc, l, t, r, b), [](const RECT& rc) { return Region::FromRect(rc); }, true);
    return TRUE;
}

BOOL WINAPI RoundRect(HDC hdc, int l, int t, int r, int b, int w, int h) {
    DC* dc = wingdi::GetDC(hdc);
    if (!dc) return FALSE;
    RasterLimit limit(*dc);
    DrawClosedShape(*dc, NormalizedDeviceRect(*dc, l, t, r, b), [w, h](const RECT& rc) {
        return RoundRectRegion(rc.left, rc.top, rc.right, rc.bottom, w, h);
    });
    return TRUE;
}

BOOL WINAPI Ellipse(HDC hdc, int l, int t, int r, int b) {
    DC* dc = wingdi::GetDC(hdc);
    if (!dc) return FALSE;
    RasterLimit limit(*dc);
    DrawClosedShape(*dc, NormalizedDeviceRect(*dc, l, t, r, b),
                    [](const RECT& rc) { return EllipseRegion(rc.left, rc.top, rc.right, rc.bottom); });
    return TRUE;
}

BOOL WINAPI Arc(HDC hdc, int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    return DrawArc(hdc, ArcKind::Arc, x1, y1, x2, y2, x3, y3, x4, y4);
}

BOOL WINAPI Pie(HDC hdc, int l, int t, int r, int b, int xr1, int yr1, int xr2, int yr2) {
    return DrawArc(hdc, ArcKind::Pie, l, t, r, b, xr1, yr1, xr2, yr2);
}

BOOL WINAPI Chord(HDC hdc, int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    return DrawArc(hdc, ArcKind::Chord, x1, y1, x2, y2, x3, y3, x4, y4);
}

} // extern "C"
