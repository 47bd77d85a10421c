// AlphaBlend, TransparentBlt and GradientFill arithmetic.
#include "Canvas.h"

using wintest::Canvas;
using wintest::Selected;

namespace {

TEST(AlphaBlend, ConstantAlphaMixesSourceAndDestination) {
    Canvas src(2, 1, RGB(200, 100, 0));
    Canvas dst(2, 1, RGB(0, 0, 255));
    const BLENDFUNCTION half{AC_SRC_OVER, 0, 128, 0};
    ASSERT_TRUE(AlphaBlend(dst.dc, 0, 0, 1, 1, src.dc, 0, 0, 1, 1, half));
    // (s·128 + d·127) / 255, rounded.
    EXPECT_EQ(dst.At(0, 0), RGB((200 * 128 + 127) / 255, (100 * 128 + 127) / 255, (255 * 127 + 127) / 255));
    EXPECT_EQ(dst.At(1, 0), RGB(0, 0, 255));
}

TEST(AlphaBlend, PerPixelAlphaTakesAPremultipliedSource) {
    Canvas src(3, 1);
    src.bits[0] = 0xFF804020; // opaque
    src.bits[1] = 0x80402010; // half: premultiplied (128, 64, 32) / 2
    src.bits[2] = 0x00000000; // transparent
    Canvas dst(3, 1, RGB(100, 100, 100));
    const BLENDFUNCTION pp{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ASSERT_TRUE(AlphaBlend(dst.dc, 0, 0, 3, 1, src.dc, 0, 0, 3, 1, pp));
    EXPECT_EQ(dst.At(0, 0), RGB(0x80, 0x40, 0x20));
    EXPECT_EQ(dst.At(1, 0), RGB(0x40 + (100 * 127 + 127) / 255, 0x20 + (100 * 127 + 127) / 255,
                                0x10 + (100 * 127 + 127) / 255));
    EXPECT_EQ(dst.At(2, 0), RGB(100, 100, 100));
}

TEST(AlphaBlend, RefusesSourcesOutsideTheBitmapAndNegativeSizes) {
    Canvas src(2, 2);
    Canvas dst(4, 4);
    const BLENDFUNCTION f{AC_SRC_OVER, 0, 255, 0};
    EXPECT_FALSE(AlphaBlend(dst.dc, 0, 0, 2, 2, src.dc, 1, 1, 2, 2, f));
    EXPECT_FALSE(AlphaBlend(dst.dc, 0, 0, -2, 2, src.dc, 0, 0, 2, 2, f));
    Canvas rgb(2, 2);
    HBITMAP mono = CreateBitmap(2, 2, 1, 1, nullptr);
    HDC m = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(m, mono);
    const BLENDFUNCTION pp{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    EXPECT_FALSE(AlphaBlend(dst.dc, 0, 0, 2, 2, m, 0, 0, 2, 2, pp)); // per-pixel alpha needs 32 bits
    SelectObject(m, old);
    DeleteDC(m);
    DeleteObject(mono);
}

TEST(TransparentBlt, SkipsExactlyTheKeyColourAndStretches) {
    Canvas src(2, 1, RGB(255, 0, 255));
    SetPixel(src.dc, 1, 0, RGB(255, 1, 255)); // one step off the key: drawn
    Canvas dst(4, 1, RGB(9, 9, 9));
    ASSERT_TRUE(TransparentBlt(dst.dc, 0, 0, 4, 1, src.dc, 0, 0, 2, 1, RGB(255, 0, 255)));
    EXPECT_EQ(dst.At(0, 0), RGB(9, 9, 9));
    EXPECT_EQ(dst.At(1, 0), RGB(9, 9, 9));
    EXPECT_EQ(dst.At(2, 0), RGB(255, 1, 255));
    EXPECT_EQ(dst.At(3, 0), RGB(255, 1, 255));
}

TEST(GradientFill, HorizontalRunsFromFirstColourTowardsTheSecondExcludingIt) {
    Canvas c(4, 2);
    TRIVERTEX v[2] = {{0, 0, 0x0000, 0x0000, 0xFF00, 0xFF00}, {4, 1, 0xFF00, 0x8000, 0x0000, 0xFF00}};
    GRADIENT_RECT g{0, 1};
    ASSERT_TRUE(GradientFill(c.dc, v, 2, &g, 1, GRADIENT_FILL_RECT_H));
    for (int x = 0; x < 4; ++x) {
        const int r = (0xFF00 * x / 4) >> 8, gr = (0x8000 * x / 4) >> 8, b = (0xFF00 * (4 - x) / 4) >> 8;
        EXPECT_EQ(c.At(x, 0), RGB(r, gr, b)) << x;
        EXPECT_EQ(c.Raw(x, 0) >> 24, 0xFFu); // alpha is written on 32-bit targets
    }
    EXPECT_EQ(c.At(0, 1), RGB(255, 255, 255)); // the lower-right vertex is outside
}

TEST(GradientFill, VerticalRangesSharingARowLetTheLaterOnePaintIt) {
    Canvas c(1, 5);
    TRIVERTEX a[2] = {{0, 0, 0, 0, 0, 0}, {1, 3, 0, 0, 0, 0}};
    TRIVERTEX b[2] = {{0, 2, 0xFF00, 0, 0, 0}, {1, 5, 0xFF00, 0, 0, 0}};
    GRADIENT_RECT g{0, 1};
    GradientFill(c.dc, a, 2, &g, 1, GRADIENT_FILL_RECT_V);
    GradientFill(c.dc, b, 2, &g, 1, GRADIENT_FILL_RECT_V);
    EXPECT_EQ(c.At(0, 1), RGB(0, 0, 0));
    EXPECT_EQ(c.At(0, 2), RGB(255, 0, 0));
    EXPECT_EQ(c.At(0, 4), RGB(255, 0, 0));
}

TEST(GradientFill, RejectsVertexIndexesOutOfRange) {
    Canvas c(2, 2);
    TRIVERTEX v[2] = {{0, 0, 0, 0, 0, 0}, {2, 2, 0, 0, 0, 0}};
    GRADIENT_RECT g{0, 2};
    EXPECT_FALSE(GradientFill(c.dc, v, 2, &g, 1, GRADIENT_FILL_RECT_H));
}

} // namespace
