// The panels' drawing routines: colour schemes, blends, gradients, glass effects and alpha bitmaps,
// checked pixel by pixel on bitmaps.
#include "controls/RgSharedDraw.h"
#include "tests/components/Paper.h"
#include "win/uxtheme/uxtheme.h"

#include <gtest/gtest.h>

#include <memory>

using namespace controls;

using components_test::kPaper;
using components_test::Paper;

TEST(SchemeColors, DefaultReadsTheBlueSchemeAndUnsetEntriesAreBlack) {
    EXPECT_EQ(GetSchemeColor(2, csDefault), 0xCF9365);
    EXPECT_EQ(GetSchemeColor(2, csBlue), 0xCF9365);
    EXPECT_EQ(GetSchemeColor(9, csDefault), 0x8B4215);
    EXPECT_EQ(GetSchemeColor(18, csBlack), 0xA0A09E);
    EXPECT_EQ(GetSchemeColor(23, csBlack2010), 0x977778);
    EXPECT_EQ(GetSchemeColor(3, csSilver2010), 0xE0DBD6);
    EXPECT_EQ(GetSchemeColor(5, csBlack), 0x3C8CFB);
    EXPECT_EQ(GetSchemeColor(5, csBlue), 0);
    EXPECT_EQ(GetSchemeColor(16, csSilver), 0);
}

TEST(Blends, IntegerBlendTruncatesAndRatioBlendIsExactAtItsEnds) {
    EXPECT_EQ(AlphaBlendColor(0xFFFFFF, 0x000000, 255), 0xFEFEFE);
    EXPECT_EQ(AlphaBlendColor(0xFFFFFF, 0x000000, 0), 0x000000);
    EXPECT_EQ(AlphaBlendColor(0x0000FF, 0xFF0000, 128), 0x7E007F);  // 128*255 div 256, 127*255 div 256
    EXPECT_EQ(AlphaBlendColor(vcl::clBtnFace, vcl::clBtnFace, 255), AlphaBlendColor(vcl::ColorToRGB(vcl::clBtnFace), vcl::ColorToRGB(vcl::clBtnFace), 255));
    EXPECT_THROW(AlphaBlendColor(0, 0, 256), rtl::EAssertionFailed);
    EXPECT_THROW(AlphaBlendColor(0, 0, -1), rtl::EAssertionFailed);
    EXPECT_EQ(BlendColorRatio(0x102030, 0xF0E0D0, 0), 0x102030);
    EXPECT_EQ(BlendColorRatio(0x102030, 0xF0E0D0, 1), 0xF0E0D0);
    EXPECT_EQ(BlendColorRatio(0x000000, 0x050505, 0.5), 0x020202);  // 2.5 to even
    EXPECT_EQ(BlendColorRatio(vcl::clBtnFace, 0, 0), vcl::ColorToRGB(vcl::clBtnFace));
}

TEST(Gradients, OneLinePerRowOrColumnStoppingAStepShort) {
    auto bmp = Paper(8, 8);
    TCanvas* c = bmp->Canvas();
    DrawTopBottomGradient(c, TRect(0, 0, 8, 0), 0x000000, 0xFFFFFF);
    EXPECT_EQ(c->Pixels(0, 0), kPaper);
    DrawTopBottomGradient(c, TRect(0, 0, 8, 1), 0x000000, 0xFFFFFF);
    EXPECT_EQ(c->Pixels(7, 0), 0x000000);
    EXPECT_EQ(c->Pixels(0, 1), kPaper);
    DrawTopBottomGradient(c, TRect(0, 0, 8, 4), 0x000000, 0x040404);
    for (int y = 0; y < 4; ++y) EXPECT_EQ(c->Pixels(3, y), y * 0x010101) << y;
    TGraphicsProvider::DrawVertGradient(c, TRect(2, 5, 6, 7), 0x000000, 0x080808);
    for (int x = 2; x < 6; ++x) EXPECT_EQ(c->Pixels(x, 6), (x - 2) * 0x020202) << x;
    EXPECT_EQ(c->Pixels(6, 6), kPaper);
    EXPECT_EQ(c->Pixels(3, 7), kPaper);
}

TEST(GlassEffects, ShineWhitensAtMost22RowsOfTheTopHalf) {
    struct Case { int height, lastRow; };
    for (const Case& k : {Case{10, 4}, Case{60, 21}}) {
        auto bmp = Paper(4, k.height);
        DrawGlassShine(bmp->Canvas(), TRect(0, 0, 4, k.height));
        EXPECT_EQ(bmp->Canvas()->Pixels(1, 0), AlphaBlendColor(vcl::clWhite, kPaper, 150)) << k.height;
        EXPECT_EQ(bmp->Canvas()->Pixels(1, k.lastRow), AlphaBlendColor(vcl::clWhite, kPaper, 150 - 7 * k.lastRow)) << k.height;
        EXPECT_EQ(bmp->Canvas()->Pixels(1, k.lastRow + 1), kPaper) << k.height;
    }
}

TEST(GlassEffects, ShineStaysInTheTopHalfOfARectangleBelowTheTop) {
    auto bmp = Paper(4, 60);
    DrawGlassShine(bmp->Canvas(), TRect(0, 40, 4, 50));
    EXPECT_EQ(bmp->Canvas()->Pixels(1, 39), kPaper);
    EXPECT_EQ(bmp->Canvas()->Pixels(1, 40), AlphaBlendColor(vcl::clWhite, kPaper, 150));
    EXPECT_EQ(bmp->Canvas()->Pixels(1, 44), AlphaBlendColor(vcl::clWhite, kPaper, 150 - 7 * 4));
    for (int y = 45; y < 60; ++y) EXPECT_EQ(bmp->Canvas()->Pixels(1, y), kPaper) << y; // not the rows below R
}

TEST(Themes, WithoutTheThemeLibraryThePanelsDrawClassicAsTheGridDoes) {
    TwSetThemeActive(TRUE);
    EXPECT_TRUE(IsThemingActive());
    const grid::TThemeLibrary Saved = grid::ThemeLibrary();
    grid::ThemeLibrary() = grid::TThemeLibrary{};
    grid::LoadThemeLibrary(u"nosuch-theme-library.dll");
    EXPECT_FALSE(IsThemingActive()); // the platform is themed, but nothing can draw its parts
    auto bmp = Paper(9, 9);
    DrawThemedPart(nullptr, bmp->Canvas()->Handle(), TRect(0, 0, 9, 9), QStringLiteral("treeview"), 2, 1);
    EXPECT_EQ(bmp->Canvas()->Pixels(4, 4), kPaper);
    grid::ThemeLibrary() = Saved;
    TwSetThemeActive(FALSE);
}

TEST(GlassEffects, GlowIsLightestInTheMiddleColumn) {
    auto bmp = Paper(200, 10);
    DrawGlowGradient(bmp->Canvas(), TRect(0, 0, 200, 10), 0x000000, 0x000000, 0);
    TCanvas* c = bmp->Canvas();
    EXPECT_EQ(c->Pixels(100, 5), AlphaBlendColor(0, vcl::clWhite, 100));
    EXPECT_EQ(c->Pixels(99, 5), AlphaBlendColor(0, vcl::clWhite, 102));
    EXPECT_EQ(c->Pixels(0, 5), AlphaBlendColor(0, vcl::clWhite, 255));
    auto glass = Paper(4, 10);
    DrawGlassGradient(glass->Canvas(), TRect(0, 0, 4, 10), 0x000000, 0xFFFFFF, 4);
    EXPECT_EQ(glass->Canvas()->Pixels(0, 0), AlphaBlendColor(0, vcl::clWhite, 0));
    EXPECT_EQ(glass->Canvas()->Pixels(0, 9), AlphaBlendColor(0xFFFFFF, 0, 230));
}

TEST(AlphaBitmaps, ThirtyTwoBitBlendsByAlphaOthersDrawPlainly) {
    vcl::TBitmap src;
    src.SetPixelFormat(vcl::pf32bit);
    src.SetSize(2, 1);
    auto* px = static_cast<uint8_t*>(src.ScanLine(0));
    const uint8_t pixels[8] = {0xFF, 0x00, 0x00, 0x00, /* blue, alpha 0 */ 0x00, 0x00, 0xFF, 0xFF /* red, opaque */};
    std::copy(pixels, pixels + 8, px);
    auto bmp = Paper(4, 2);
    DrawAlphaBitmap(bmp->Canvas(), 1, 1, &src);
    EXPECT_EQ(bmp->Canvas()->Pixels(1, 1), AlphaBlendColor(0xFF0000, kPaper, 0));
    EXPECT_EQ(bmp->Canvas()->Pixels(2, 1), AlphaBlendColor(0x0000FF, kPaper, 255));
    auto rounded = Paper(4, 2);
    TDrawProvider::ApplyBitmap(rounded->Canvas(), 1, 1, &src);
    EXPECT_EQ(rounded->Canvas()->Pixels(1, 1), kPaper);
    EXPECT_EQ(rounded->Canvas()->Pixels(2, 1), 0x0000FF);

    vcl::TBitmap plain(2, 1);
    plain.Canvas()->Brush()->SetColor(0x00FF00);
    plain.Canvas()->FillRect(TRect(0, 0, 2, 1));
    DrawAlphaBitmap(bmp->Canvas(), 0, 0, &plain);
    EXPECT_EQ(bmp->Canvas()->Pixels(1, 0), 0x00FF00);
    EXPECT_EQ(bmp->Canvas()->Pixels(2, 0), kPaper);

    // Nil and empty bitmaps draw nothing.
    vcl::TBitmap empty;
    for (vcl::TBitmap* b : {static_cast<vcl::TBitmap*>(nullptr), &empty}) {
        DrawAlphaBitmap(bmp->Canvas(), 0, 0, b);
        TDrawProvider::ApplyBitmap(bmp->Canvas(), 0, 0, b);
    }
    EXPECT_EQ(bmp->Canvas()->Pixels(3, 1), kPaper);
}

TEST(PointInRect, RightAndBottomEdgesCountOnlyWhenInclusive) {
    const TRect r(2, 2, 5, 5);
    EXPECT_TRUE(PointInRectEx(TPoint(2, 2), r, false));
    EXPECT_FALSE(PointInRectEx(TPoint(5, 3), r, false));
    EXPECT_FALSE(PointInRectEx(TPoint(3, 5), r, false));
    EXPECT_TRUE(PointInRectEx(TPoint(5, 5), r, true));
    EXPECT_FALSE(PointInRectEx(TPoint(1, 3), r, true));
}
