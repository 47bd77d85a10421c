// tests/components/GradientTest.cpp
#include "components/Gradient.h"

#include "Paper.h"

#include <gtest/gtest.h>

#include <memory>

using namespace components;
using vcl::TColor;
using namespace components_test;

namespace {

int Gray(vcl::TBitmap& Bmp, int X, int Y) {
    return Bmp.Canvas()->Pixels(X, Y) & 0xFF;
}

} // namespace

// Black to white over 10 pixels with 255 bands: 10 bands, the first two pixels wide in 26, then one
// pixel per band up to 230; the white band has no extent.
TEST(StepGradient, TenPixelsOfBlackToWhiteGiveTenBands) {
    const int expected[10] = {26, 26, 51, 77, 102, 128, 153, 179, 204, 230};
    for (bool vertical : {true, false}) {
        auto bmp = vertical ? Paper(3, 10) : Paper(10, 3);
        if (vertical)
            DrawStepGradientV(bmp->Canvas(), vcl::TRect(0, 0, 3, 10), vcl::clBlack, vcl::clWhite, 255);
        else
            DrawStepGradientH(bmp->Canvas(), vcl::TRect(0, 0, 10, 3), vcl::clBlack, vcl::clWhite, 255);
        for (int i = 0; i < 10; ++i)
            EXPECT_EQ(vertical ? Gray(*bmp, 1, i) : Gray(*bmp, i, 1), expected[i]) << "vertical " << vertical << " at " << i;
    }
}

TEST(StepGradient, OneBandIsTheEndColourAndTwoTheMidColour) {
    struct Case {
        uint8_t Bands;
        TColor Expected;
    };
    for (const Case c : {Case{1, 0x00FF00}, Case{2, 0x00807F}, Case{0, kPaper}}) {
        auto bmp = Paper(8, 8);
        DrawStepGradientV(bmp->Canvas(), vcl::TRect(0, 0, 8, 8), vcl::clRed, vcl::clLime, c.Bands);
        for (int y : {0, 7}) EXPECT_EQ(bmp->Canvas()->Pixels(4, y), c.Expected) << int(c.Bands) << " bands, row " << y;
    }
}

TEST(StepGradient, EmptyOrInvertedRectanglePaintsNothing) {
    auto bmp = Paper(8, 8);
    DrawStepGradientV(bmp->Canvas(), vcl::TRect(0, 6, 8, 2), vcl::clBlack, vcl::clWhite, 255);
    DrawStepGradientH(bmp->Canvas(), vcl::TRect(6, 0, 6, 8), vcl::clBlack, vcl::clWhite, 255);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) ASSERT_EQ(bmp->Canvas()->Pixels(x, y), kPaper);
}

// The general case: balance, mode and speed split the rectangle into two band runs.
struct SplitCase {
    const char* Name;
    uint16_t Balance;
    TDgradBalanceMode Mode;
    int Speed;
    int Height;
    std::vector<std::pair<int, int>> Rows; // row, gray value
};

class SplitGradient : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitGradient, PaintsBothPartsInTheirColours) {
    const auto& c = GetParam();
    auto bmp = Paper(4, c.Height);
    DrawGradientEx(bmp->Canvas(), vcl::TRect(0, 0, 4, c.Height), vcl::clBlack, vcl::clWhite, dgdVertical, c.Balance, 45,
                   c.Mode, 255, c.Speed, true, nullptr);
    for (const auto& [row, gray] : c.Rows) EXPECT_EQ(Gray(*bmp, 2, row), gray) << c.Name << " row " << row;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitGradient,
    ::testing::Values(
        // 77 and 178 bands; black to 128 over 30 rows, then 127 to white over 70.
        SplitCase{"Balance30", 30, bmNormal, 100, 100, {{0, 4}, {29, 124}, {30, 129}, {99, 253}}},
        // Black to white in the first half, white back to black in the second.
        SplitCase{"Mirror", 50, bmMirror, 100, 20, {{0, 26}, {9, 230}, {10, 229}, {11, 229}, {19, 25}}},
        // Speed 50 makes the mid colours the end colours: two flat parts and a hard edge.
        SplitCase{"Speed50", 50, bmNormal, 50, 20, {{0, 0}, {9, 0}, {10, 255}, {19, 255}}},
        // Below speed 50 the mid channels are held at the ends instead of wrapping round.
        SplitCase{"Speed0", 50, bmNormal, 0, 20, {{0, 0}, {9, 0}, {10, 255}, {19, 255}}},
        SplitCase{"Reverse", 50, bmReverse, 100, 20, {{0, 13}, {10, 242}, {19, 140}}},
        SplitCase{"Balance0", 0, bmNormal, 100, 20, {{0, 133}, {19, 249}}}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST(RadialGradient, ThinRectangleEndsInTheCentrePixelAndReachesAboveAndBelow) {
    // The rectangle (0, 10, 21, 11) is a 21 x 1 strip in the middle of a 21 x 21 bitmap.
    auto bmp = Paper(21, 21);
    DrawGradientEx(bmp->Canvas(), vcl::TRect(0, 10, 21, 11), vcl::clBlack, vcl::clWhite, dgdRadial, 50, 45, bmNormal,
                   255, 100, true, nullptr);
    EXPECT_EQ(bmp->Canvas()->Pixels(10, 10), vcl::clWhite);    // the centre band, filled as a rectangle
    EXPECT_EQ(bmp->Canvas()->Pixels(10, 0), vcl::clBlack);     // the first ellipse, 10 pixels above
    EXPECT_NE(bmp->Canvas()->Pixels(10, 19), kPaper);     // and below
    EXPECT_EQ(Gray(*bmp, 10, 1), 23);                          // band 2 of 11: MulDiv(1, 255, 11)
    EXPECT_EQ(bmp->Canvas()->Pixels(0, 0), kPaper);       // outside every ellipse
}

TEST(RectangleGradient, ConcentricFramesFromOutsideIn) {
    auto bmp = Paper(9, 9);
    DrawGradientEx(bmp->Canvas(), vcl::TRect(0, 0, 9, 9), vcl::clBlack, vcl::clWhite, dgdRectangle, 50, 45, bmNormal,
                   255, 100, true, nullptr);
    // dx = 4: five bands, the outer in the start colour, the centre pixel in the end colour.
    EXPECT_EQ(Gray(*bmp, 0, 0), 0);
    EXPECT_EQ(Gray(*bmp, 1, 4), 51);
    EXPECT_EQ(Gray(*bmp, 3, 3), 153);
    EXPECT_EQ(Gray(*bmp, 4, 4), 255);
}

TEST(AngleGradient, QuarterTurnRunsTopToBottom) {
    auto bmp = Paper(10, 10);
    DrawGradientEx(bmp->Canvas(), vcl::TRect(0, 0, 10, 10), vcl::clBlack, vcl::clWhite, dgdAngle, 50, 90, bmNormal,
                   255, 100, true, nullptr);
    EXPECT_LT(Gray(*bmp, 5, 0), Gray(*bmp, 5, 9));
    EXPECT_EQ(Gray(*bmp, 0, 5), Gray(*bmp, 9, 5));
    EXPECT_EQ(Gray(*bmp, 0, 2), Gray(*bmp, 9, 2));
}

TEST(AngleGradient, ClipKeepsTheSquareInsideTheRectangle) {
    for (bool clip : {true, false}) {
        auto bmp = Paper(20, 20);
        DrawRotatedGradient(bmp->Canvas(), vcl::TRect(5, 8, 15, 12), vcl::clBlack, vcl::clWhite, 255, 0, clip, nullptr);
        EXPECT_EQ(bmp->Canvas()->Pixels(10, 7) == kPaper, clip) << "clip " << clip;
        EXPECT_NE(bmp->Canvas()->Pixels(10, 10), kPaper);
    }
}

TEST(GradientByKind, KindsMapToTheirGradients) {
    auto paintKind = [](uint8_t Kind, TColor From, TColor To) {
        auto bmp = Paper(12, 30);
        DrawGradientByKind(bmp->Canvas(), vcl::TRect(0, 0, 12, 30), From, To, Kind, 255);
        return bmp;
    };
    auto paintEx = [](TDgradOrientation O, uint16_t Balance, TDgradBalanceMode Mode) {
        auto bmp = Paper(12, 30);
        DrawGradientEx(bmp->Canvas(), vcl::TRect(0, 0, 12, 30), vcl::clBlack, vcl::clWhite, O, Balance, 45, Mode, 255,
                       100, true, nullptr);
        return bmp;
    };
    auto same = [](vcl::TBitmap& A, vcl::TBitmap& B) {
        for (int y = 0; y < A.Height(); ++y)
            for (int x = 0; x < A.Width(); ++x)
                if (A.Canvas()->Pixels(x, y) != B.Canvas()->Pixels(x, y)) return false;
        return true;
    };
    EXPECT_TRUE(same(*paintKind(9, vcl::clBlack, vcl::clWhite), *paintEx(dgdVertical, 30, bmNormal)));
    EXPECT_TRUE(same(*paintKind(10, vcl::clBlack, vcl::clWhite), *paintEx(dgdVertical, 70, bmNormal)));
    EXPECT_TRUE(same(*paintKind(4, vcl::clBlack, vcl::clWhite), *paintEx(dgdHorizontal, 50, bmMirror)));
    EXPECT_TRUE(same(*paintKind(11, vcl::clBlack, vcl::clWhite), *paintKind(0, vcl::clBlack, vcl::clWhite)));
    EXPECT_FALSE(same(*paintKind(9, vcl::clBlack, vcl::clWhite), *paintKind(0, vcl::clBlack, vcl::clWhite)));
    for (uint8_t kind = 0; kind <= 11; ++kind) {
        auto bmp = paintKind(kind, vcl::clTeal, vcl::clTeal);
        EXPECT_EQ(bmp->Canvas()->Pixels(0, 0), vcl::clTeal) << int(kind);
        EXPECT_EQ(bmp->Canvas()->Pixels(11, 29), vcl::clTeal) << int(kind);
    }
}

TEST(RectRoutines, CollapseGrowAndInterpolate) {
    EXPECT_EQ(ScaleRectAboutCentre(vcl::TRect(0, 0, 21, 1), -1), vcl::TRect(10, 0, 11, 1));
    EXPECT_EQ(ScaleRectAboutCentre(vcl::TRect(0, 0, 20, 4), -1), vcl::TRect(10, 2, 10, 2));
    EXPECT_EQ(GrowRectAroundRect(vcl::TRect(10, 0, 11, 1), vcl::TRect(0, 0, 21, 1)), vcl::TRect(0, -10, 21, 11));
    EXPECT_EQ(InterpolateRect(vcl::TRect(0, 0, 20, 20), vcl::TRect(10, 10, 10, 10), 0.25), vcl::TRect(2, 2, 18, 18));
}
