#include "win/gdi32/Region.h"
#include "win/gdi32/wingdi.h"

#include <algorithm>
#include <climits>

namespace wingdi {

namespace {

std::vector<Span> SortedUnion(std::vector<Span> s) {
    std::sort(s.begin(), s.end(), [](const Span& a, const Span& b) { return a.x0 < b.x0; });
    std::vector<Span> out;
    for (const Span& sp : s) {
        if (sp.x1 <= sp.x0) continue;
        if (!out.empty() && sp.x0 <= out.back().x1)
            out.back().x1 = std::max(out.back().x1, sp.x1);
        else
            out.push_back(sp);
    }
    return out;
}

std::vector<Span> CombineSpans(const std::vector<Span>& a, const std::vector<Span>& b, Region::Op op) {
    std::vector<int> xs;
    for (const Span& s : a) xs.insert(xs.end(), {s.x0, s.x1});
    for (const Span& s : b) xs.insert(xs.end(), {s.x0, s.x1});
    std::sort(xs.begin(), xs.end());
    xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
    std::vector<Span> out;
    size_t ia = 0, ib = 0;
    for (size_t i = 0; i + 1 < xs.size(); ++i) {
        const int x = xs[i];
        while (ia < a.size() && a[ia].x1 <= x) ++ia;
        while (ib < b.size() && b[ib].x1 <= x) ++ib;
        const bool inA = ia < a.size() && a[ia].x0 <= x;
        const bool inB = ib < b.size() && b[ib].x0 <= x;
        bool in = false;
        switch (op) {
        case Region::Op::And:
            in = inA && inB;
            break;
        case Region::Op::Or:
            in = inA || inB;
            break;
        case Region::Op::Xor:
            in = inA != inB;
            break;
        case Region::Op::Diff:
            in = inA && !inB;
            break;
        }
        if (!in) continue;
        if (!out.empty() && out.back().x1 == x)
            out.back().x1 = xs[i + 1];
        else
            out.push_back({x, xs[i + 1]});
    }
    return out;
}

} // namespace

Region Region::FromRect(int left, int top, int right, int bottom) {
    Region r;
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    if (left < right && top < bottom) r.bands_.push_back({top, bottom, {{left, right}}});
    return r;
}

Region Region::FromRows(int y0, const std::vector<std::vector<Span>>& rows) {
    Region r;
    for (size_t i = 0; i < rows.size(); ++i) {
        auto spans = SortedUnion(rows[i]);
        if (!spans.empty()) r.bands_.push_back({y0 + int(i), y0 + int(i) + 1, std::move(spans)});
    }
    r.Normalize();
    return r;
}

void Region::Normalize() {
    bool clean = true;
    for (size_t i = 0; i < bands_.size() && clean; ++i)
        clean = !bands_[i].spans.empty() && bands_[i].y0 < bands_[i].y1 &&
                (i == 0 || bands_[i - 1].y1 != bands_[i].y0 || bands_[i - 1].spans != bands_[i].spans);
    if (clean) return;
    std::vector<Band> out;
    for (auto& b : bands_) {
        if (b.spans.empty() || b.y1 <= b.y0) continue;
        if (!out.empty() && out.back().y1 == b.y0 && out.back().spans == b.spans)
            out.back().y1 = b.y1;
        else
            out.push_back(std::move(b));
    }
    bands_ = std::move(out);
}

RECT Region::Bounds() const {
    if (bands_.empty()) return RECT{0, 0, 0, 0};
    RECT r{INT_MAX, bands_.front().y0, INT_MIN, bands_.back().y1};
    for (const auto& b : bands_) {
        r.left = std::min<LONG>(r.left, b.spans.front().x0);
        r.right = std::max<LONG>(r.right, b.spans.back().x1);
    }
    return r;
}

int Region::Complexity() const {
    if (bands_.empty()) return NULLREGION;
    return bands_.size() == 1 && bands_[0].spans.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

bool Region::Contains(int x, int y) const {
    for (const auto& b : bands_) {
        if (y < b.y0) return false;
        if (y >= b.y1) continue;
        for (const auto& s : b.spans)
            if (x >= s.x0 && x < s.x1) return true;
        return false;
    }
    return false;
}

bool Region::Intersects(const RECT& r) const {
    for (const auto& b : bands_) {
        if (b.y1 <= r.top || b.y0 >= r.bottom) continue;
        for (const auto& s : b.spans)
            if (s.x1 > r.left && s.x0 < r.right) return true;
    }
    return false;
}

std::vector<RECT> Region::Rects() const {
    std::vector<RECT> out;
    for (const auto& b : bands_)
        for (const auto& s : b.spans) out.push_back(RECT{s.x0, b.y0, s.x1, b.y1});
    return out;
}

void Region::Offset(int dx, int dy) {
    for (auto& b : bands_) {
        b.y0 += dy;
        b.y1 += dy;
        for (auto& s : b.spans) {
            s.x0 += dx;
            s.x1 += dx;
        }
    }
}

bool Region::operator==(const Region& o) const {
    if (bands_.size() != o.bands_.size()) return false;
    for (size_t i = 0; i < bands_.size(); ++i)
        if (bands_[i].y0 != o.bands_[i].y0 || bands_[i].y1 != o.bands_[i].y1 ||
            bands_[i].spans != o.bands_[i].spans)
            return false;
    return true;
}

// a ∩ r for a rectangle r: each band cut to r's rows and its spans to r's columns.
Region Region::ClipToRect(const Region& a, const RECT& r) {
    Region out;
    if (r.left >= r.right || r.top >= r.bottom) return out;
    for (const Band& band : a.bands_) {
        if (band.y1 <= r.top) continue;
        if (band.y0 >= r.bottom) break;
        Band cut{std::max<int>(band.y0, r.top), std::min<int>(band.y1, r.bottom), {}};
        for (const Span& s : band.spans) {
            if (s.x1 <= r.left) continue;
            if (s.x0 >= r.right) break;
            cut.spans.push_back({std::max<int>(s.x0, r.left), std::min<int>(s.x1, r.right)});
        }
        if (!cut.spans.empty()) out.bands_.push_back(std::move(cut));
    }
    out.Normalize();
    return out;
}

Region Region::Combine(const Region& a, const Region& b, Op op) {
    // Clipping to a rectangle is most of what drawing does: no sweep needed.
    if (op == Op::And) {
        if (a.IsEmpty() || b.IsEmpty()) return Region();
        if (b.Complexity() == SIMPLEREGION) return ClipToRect(a, b.Bounds());
        if (a.Complexity() == SIMPLEREGION) return ClipToRect(b, a.Bounds());
    }
    std::vector<int> ys;
    for (const auto& band : a.bands_) ys.insert(ys.end(), {band.y0, band.y1});
    for (const auto& band : b.bands_) ys.insert(ys.end(), {band.y0, band.y1});
    std::sort(ys.begin(), ys.end());
    ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
    static const std::vector<Span> none;
    Region out;
    size_t ia = 0, ib = 0;
    for (size_t i = 0; i + 1 < ys.size(); ++i) {
        const int y = ys[i];
        while (ia < a.bands_.size() && a.bands_[ia].y1 <= y) ++ia;
        while (ib < b.bands_.size() && b.bands_[ib].y1 <= y) ++ib;
        const auto& sa = ia < a.bands_.size() && a.bands_[ia].y0 <= y ? a.bands_[ia].spans : none;
        const auto& sb = ib < b.bands_.size() && b.bands_[ib].y0 <= y ? b.bands_[ib].spans : none;
        auto spans = CombineSpans(sa, sb, op);
        if (!spans.empty()) out.bands_.push_back({y, ys[i + 1], std::move(spans)});
    }
    out.Normalize();
    return out;
}

} // namespace wingdi
