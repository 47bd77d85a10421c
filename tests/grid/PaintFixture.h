// tests/grid/PaintFixture.h: the paper painters draw on, and readers of what was drawn on it.
#pragma once
#include "tests/components/Paper.h"
#include "vcl/Graphics.h"

namespace grid_test {

using components_test::kPaper;
using components_test::Paper;

inline vcl::TColor Px(vcl::TBitmap* bmp, int x, int y) {
    return bmp->Canvas()->Pixels(x, y);
}
inline vcl::TColor Rgb(vcl::TColor c) {
    return vcl::ColorToRGB(c);
}

// Pixels of R that are no longer paper.
inline int Inked(vcl::TBitmap* bmp, const vcl::TRect& R) {
    int n = 0;
    for (int y = R.Top; y < R.Bottom; ++y)
        for (int x = R.Left; x < R.Right; ++x) n += Px(bmp, x, y) != kPaper;
    return n;
}

// The left-most column of R holding ink, -1 without any.
inline int FirstInkedColumn(vcl::TBitmap* bmp, const vcl::TRect& R) {
    for (int x = R.Left; x < R.Right; ++x)
        for (int y = R.Top; y < R.Bottom; ++y)
            if (Px(bmp, x, y) != kPaper) return x;
    return -1;
}

} // namespace grid_test
