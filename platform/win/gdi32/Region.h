// win/gdi32/Region.h: regions as y-bands of sorted, disjoint x-spans (half-open, like RECT).
#pragma once

#include "win/windef.h"

#include <functional>
#include <vector>

TW_SHARED_BEGIN
namespace wingdi {

struct Span {
    int x0, x1; // [x0, x1)
    bool operator==(const Span&) const = default;
};

struct Band {
    int y0, y1; // [y0, y1)
    std::vector<Span> spans;
};

class Region {
public:
    Region() = default;
    static Region FromRect(int left, int top, int right, int bottom);
    static Region FromRect(const RECT& r) { return FromRect(r.left, r.top, r.right, r.bottom); }
    // One row of spans per scan line starting at y0; spans within a row may be unsorted or overlap.
    static Region FromRows(int y0, const std::vector<std::vector<Span>>& rows);

    bool IsEmpty() const { return bands_.empty(); }
    RECT Bounds() const;
    int Complexity() const; // NULLREGION, SIMPLEREGION or COMPLEXREGION
    bool Contains(int x, int y) const;
    bool Intersects(const RECT& r) const;
    std::vector<RECT> Rects() const;
    const std::vector<Band>& Bands() const { return bands_; }
    void Offset(int dx, int dy);
    bool operator==(const Region& o) const;

    enum class Op { And, Or, Xor, Diff };
    static Region Combine(const Region& a, const Region& b, Op op);
    Region Intersect(const Region& b) const { return Combine(*this, b, Op::And); }
    Region Intersect(const RECT& r) const { return Combine(*this, FromRect(r), Op::And); }
    Region Subtract(const Region& b) const { return Combine(*this, b, Op::Diff); }
    Region Union(const Region& b) const { return Combine(*this, b, Op::Or); }

    // Calls f(y, x0, x1) for every span of every row, top to bottom. A template, so that a fill of
    // short spans pays no indirect call (nor a std::function allocation) per span.
    template <class F> void ForEachSpan(F&& f) const {
        for (const auto& b : bands_)
            for (int y = b.y0; y < b.y1; ++y)
                for (const auto& s : b.spans) f(y, s.x0, s.x1);
    }

private:
    void Normalize(); // merges equal neighbouring bands, drops empty ones
    static Region ClipToRect(const Region& a, const RECT& r);
    std::vector<Band> bands_;
};

} // namespace wingdi
TW_SHARED_END
