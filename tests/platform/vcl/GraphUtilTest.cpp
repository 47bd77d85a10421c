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

TEST(GetHighLightColor, RaisesLightnessAndKeepsHue) {
    // The button face one step 19 lighter is the button highlight.
    EXPECT_EQ(GetHighLightColor(clBtnFace, 19), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(GetHighLightColor(clBtnFace), ColorToRGB(clBtnHighlight));
    // Step 0 gives the colour back within rounding, for greys and for saturated colours.
    for (const TColor c : {TColor(0x000000), TColor(0x808080), TColor(0x3050D0), TColor(0x20A040), TColor(0xF0F0F0)}) {
        const TColor back = GetHighLightColor(c, 0);
        for (int shift : {0, 8, 16})
            EXPECT_NEAR(int((back >> shift) & 0xFF), int((c >> shift) & 0xFF), 2) << std::hex << c;
    }
    // A blue stays blue and gets lighter in every channel; far steps end in white, never wrap.
    const TColor lighter = GetHighLightColor(TColor(0xC04020), 30);  // BGR: a mid blue
    EXPECT_GT(lighter & 0xFF, 0x20u);
    EXPECT_GT((lighter >> 16) & 0xFF, 0xC0u);
    EXPECT_GT((lighter >> 16) & 0xFF, lighter & 0xFF);
    EXPECT_EQ(GetHighLightColor(TColor(0x3050D0), 500), TColor(0xFFFFFF));
    EXPECT_EQ(GetHighLightColor(clNone, 10), clNone);
}
