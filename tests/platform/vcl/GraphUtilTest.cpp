// tests/platform/vcl/GraphUtilTest.cpp
#include "vcl/GraphUtil.h"

#include <gtest/gtest.h>

using namespace vcl;

TEST(GradientFillCanvas, BlendsAlongTheChosenDirection) {
    for (const auto direction : {gdHorizontal, gdVertical}) {
        TBitmap bmp;
        bmp.SetPixelFormat(pf32bit);
        bmp.SetSize(11, 11);
        GradientFillCanvas(bmp.Canvas(), clBlack, clWhite, TRect(0, 0, 11, 11), direction);
        TCanvas* c = bmp.Canvas();
        const TColor first = c->Pixels(0, 0);
        const TColor last = direction == gdHorizontal ? c->Pixels(10, 0) : c->Pixels(0, 10);
        const TColor across = direction == gdHorizontal ? c->Pixels(0, 10) : c->Pixels(10, 0);
        EXPECT_LE(first & 0xFF, 0x20) << direction;
        EXPECT_GE(last & 0xFF, 0xE0) << direction;
        EXPECT_EQ(across, first) << direction;               // constant across the blend
        const TColor middle = direction == gdHorizontal ? c->Pixels(5, 3) : c->Pixels(3, 5);
        EXPECT_NEAR(middle & 0xFF, 0x80, 0x20) << direction;
    }
    TBitmap untouched;
    untouched.SetSize(2, 2);
    GradientFillCanvas(untouched.Canvas(), clBlack, clBlack, TRect(1, 1, 1, 2), gdVertical);
    EXPECT_EQ(untouched.Canvas()->Pixels(1, 1), clWhite);
}
