// tests/grid/DrawHelpersTest.cpp
#include "grid/shared/DrawHelpers.h"

#include "tests/grid/PaintFixture.h"
#include "tests/support/windows/FormHarness.h"

#include <gtest/gtest.h>

namespace grid_test {
namespace {

using namespace grid;
using vcl::TColor;
using vcl::TRect;

// ---- blends ----

struct BlendCase {
    TColor c1, c2;
    int weight;
    TColor expected;
};

class IntegerBlendTable : public ::testing::TestWithParam<BlendCase> {};

TEST_P(IntegerBlendTable, AllThreeRoutinesWeighTheFirstColourTruncating) {
    const auto& c = GetParam();
    EXPECT_EQ(AlphaBlendColor(c.c1, c.c2, c.weight), c.expected);
    EXPECT_EQ(TGraphicsProvider::BlendColor(c.c1, c.c2, c.weight), c.expected);
    EXPECT_EQ(TMaskProvider::MixColors(c.c1, c.c2, c.weight), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IntegerBlendTable,
    ::testing::Values(BlendCase{0xFFFFFF, 0x000000, 255, 0xFEFEFE},
                      BlendCase{0xFFFFFF, 0x000000, 0, 0x000000}, BlendCase{0x000000, 0xFFFFFF, 0, 0xFEFEFE},
                      BlendCase{0xFFFFFF, 0x000000, 128, 0x7F7F7F},
                      // channels stay apart: red from the first colour, blue from the second
                      BlendCase{0x0000FF, 0xFF0000, 255, 0x0000FE},
                      BlendCase{0x0000FF, 0xFF0000, 0, 0xFE0000},
                      BlendCase{0x00FF00, 0x000000, 100, 0x006300}));

TEST(DrawBlend, WeightOutsideAByteIsAnAssertionFailure) {
    for (int w : {-1, 256}) {
        EXPECT_THROW(AlphaBlendColor(0, 0, w), rtl::EAssertionFailed);
        EXPECT_THROW(TGraphicsProvider::BlendColor(0, 0, w), rtl::EAssertionFailed);
        EXPECT_THROW(TMaskProvider::MixColors(0, 0, w), rtl::EAssertionFailed);
    }
    try {
        AlphaBlendColor(0, 0, 300);
    } catch (const rtl::Exception& E) {
        EXPECT_TRUE(E.Message().startsWith(QStringLiteral("Assertion failure"))) << E.Message().toStdString();
    }
}

TEST(DrawBlend, RatioEndsAreExactAndHalvesGoToEven) {
    EXPECT_EQ(BlendColorRatio(0x123456, 0xABCDEF, 0), 0x123456);
    EXPECT_EQ(BlendColorRatio(0x123456, 0xABCDEF, 1), 0xABCDEF);
    EXPECT_EQ(TGraphicsProvider::BlendColor(0x123456, 0xABCDEF, 1.0), 0xABCDEF);
    EXPECT_EQ(BlendColorRatio(0x000001, 0x000002, 0.5), 0x000002); // 1.5 -> 2
    EXPECT_EQ(BlendColorRatio(0x000000, 0x000001, 0.5), 0x000000); // 0.5 -> 0
    EXPECT_EQ(BlendColorRatio(0x000000, 0x0000C8, 2.0), 0x000090); // 400 keeps its low byte
}

TEST(DrawBlend, SystemColoursBlendAsTheirCurrentValue) {
    const TColor face = Rgb(vcl::clBtnFace);
    EXPECT_EQ(BlendColorRatio(vcl::clBtnFace, 0, 0), face);
    EXPECT_EQ(AlphaBlendColor(vcl::clBtnFace, vcl::clWindowText, 200),
              AlphaBlendColor(face, Rgb(vcl::clWindowText), 200));
}

// ---- geometry ----

struct PosCase {
    TAlignment h;
    TVerticalAlignment v;
    vcl::TPoint expected;
};

class PosInRectTable : public ::testing::TestWithParam<PosCase> {};

TEST_P(PosInRectTable, PlacesAnItemWithMarginExceptWhenCentred) {
    const auto& c = GetParam();
    // a 10x6 item in (20, 10, 61, 41) with margin 3
    EXPECT_EQ(TCalcProvider::PosInRect(10, 6, 3, TRect(20, 10, 61, 41), c.h, c.v), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, PosInRectTable,
                         ::testing::Values(PosCase{taLeftJustify, taAlignTop, {23, 13}},
                                           PosCase{taRightJustify, taAlignBottom, {48, 32}},
                                           PosCase{taCenter, taVerticalCenter, {35, 22}},
                                           PosCase{taCenter, taAlignTop, {35, 13}}));

TEST(DrawGeometry, RectanglesThatOnlyTouchCountAsInside) {
    EXPECT_TRUE(TCalcProvider::IsRectInRect(TRect(0, 0, 10, 10), TRect(10, 0, 20, 10)));
    EXPECT_TRUE(TCalcProvider::IsRectInRect(TRect(0, 10, 10, 20), TRect(0, 0, 10, 10)));
    EXPECT_FALSE(TCalcProvider::IsRectInRect(TRect(0, 0, 10, 10), TRect(11, 0, 20, 10)));
    EXPECT_FALSE(TCalcProvider::IsRectInRect(TRect(0, 0, 10, 10), TRect(0, 11, 10, 20)));
    EXPECT_EQ(TCalcProvider::ResizeRect(TRect(5, 5, 10, 10), -1, 2, 3, -4), TRect(4, 7, 13, 6));
}

TEST(DrawGeometry, ToleranceIncludesBothEnds) {
    const vcl::TPoint o(10, 20);
    EXPECT_FALSE(IsOutsideTolerance(vcl::TPoint(14, 24), o, 4));
    EXPECT_FALSE(IsOutsideTolerance(vcl::TPoint(6, 16), o, 4));
    EXPECT_TRUE(IsOutsideTolerance(vcl::TPoint(15, 20), o, 4));
    EXPECT_TRUE(IsOutsideTolerance(vcl::TPoint(10, 15), o, 4));
}

TEST(DrawGeometry, ClampRaisesThenLowersAndNoPointIsMinusOne) {
    int v = -5;
    ClampValue(v, 0, 10);
    EXPECT_EQ(v, 0);
    v = 50;
    ClampValue(v, 0, 10);
    EXPECT_EQ(v, 10);
    v = 5;
    ClampValue(v, 8, 3); // Min above Max: Max wins
    EXPECT_EQ(v, 3);
    EXPECT_TRUE(IsNoPoint(vcl::TPoint(-1, 4)));
    EXPECT_TRUE(IsNoPoint(vcl::TPoint(4, -1)));
    EXPECT_FALSE(IsNoPoint(vcl::TPoint(0, 0)));
}

TEST(DrawText, MeasuringSingleAndMultiLineText) {
    auto bmp = Paper(10, 10);
    vcl::TCanvas* c = bmp->Canvas();
    const vcl::TSize one = GetTextSize(c, QStringLiteral("Wide text"));
    EXPECT_EQ(one.cx, c->TextWidth(QStringLiteral("Wide text")));
    EXPECT_EQ(GetTextWidthW(c, QStringLiteral("Wide text")), one.cx);
    EXPECT_EQ(GetTextHeightW(c, QStringLiteral("Wide text")), c->TextHeight(QStringLiteral("Wide text")));
    EXPECT_EQ(GetMultiLineTextWidth(c, QStringLiteral("ab\r\nWide text\nc")), one.cx) << "the widest line";
    EXPECT_EQ(GetMultiLineTextWidth(c, QString()), 0);
}

// ---- schemes, themes, registry ----

TEST(DrawThemes, SchemeTableAndTheCurrentScheme) {
    EXPECT_EQ(GetSchemeColor(2, csBlack), 0x5C534C);
    EXPECT_EQ(GetSchemeColor(11, csBlue), 0xFFD2AF);
    EXPECT_EQ(GetSchemeColor(11), GetSchemeColor(11, csBlue));
    EXPECT_EQ(GetSchemeColor(23, csSilver2010), 0x977778);
    EXPECT_EQ(GetSchemeColor(14, csBlack2010), 0xF0CDA7);
    EXPECT_EQ(GetSchemeColor(5, csBlack), 0x3C8CFB);
    for (uint8_t unset : {0, 5, 15, 16, 17}) EXPECT_EQ(GetSchemeColor(unset, csBlue), 0) << int(unset);
}

TEST(DrawThemes, ThemingFollowsTheDesktopAndIsOffWithoutTheLibrary) {
    EXPECT_NE(ThemeLibrary().Module, nullptr);
    EXPECT_NE(ThemeLibrary().OpenThemeData, nullptr);
    EXPECT_FALSE(IsThemingActive());
    TwSetThemeActive(TRUE);
    EXPECT_TRUE(IsThemingActive());

    const TThemeLibrary saved = ThemeLibrary();
    ThemeLibrary() = TThemeLibrary{};
    LoadThemeLibrary(u"nosuch-theme-library.dll");
    EXPECT_EQ(ThemeLibrary().Module, nullptr);
    EXPECT_FALSE(IsThemingActive());
    auto bmp = Paper(10, 10);
    DrawThemedPart(nullptr, bmp->Canvas()->Handle(), TRect(0, 0, 9, 9), QStringLiteral("treeview"), 2, 1);
    EXPECT_EQ(Inked(bmp.get(), TRect(0, 0, 10, 10)), 0)
        << "no library: nothing drawn, no call through a nil entry";
    ThemeLibrary() = saved;
    TwSetThemeActive(FALSE);
    EXPECT_FALSE(IsThemingActive());
}

TEST(DrawThemes, ThemedPartsDrawInTheirRectangle) {
    TwSetThemeActive(TRUE);
    ASSERT_TRUE(IsThemingActive());
    auto bmp = Paper(30, 30);
    DrawThemedPart(nullptr, bmp->Canvas()->Handle(), TRect(10, 10, 19, 19), QStringLiteral("treeview"), 2, 1);
    TwSetThemeActive(FALSE);
    EXPECT_GT(Inked(bmp.get(), TRect(10, 10, 19, 19)), 0);
    EXPECT_EQ(Inked(bmp.get(), TRect(0, 0, 30, 10)) + Inked(bmp.get(), TRect(0, 19, 30, 30)) +
                  Inked(bmp.get(), TRect(0, 10, 10, 19)) + Inked(bmp.get(), TRect(19, 10, 30, 19)),
              0);
    DrawThemedPart(nullptr, bmp->Canvas()->Handle(), TRect(0, 0, 9, 9), QStringLiteral("no such class"), 1, 1);
    EXPECT_EQ(Inked(bmp.get(), TRect(0, 0, 9, 9)), 0) << "no theme opens: nothing drawn";
}

TEST(DrawThemes, RegistryRemovesTheFirstOccurrence) {
    vcl::TControl* a = reinterpret_cast<vcl::TControl*>(0x10);
    vcl::TControl* b = reinterpret_cast<vcl::TControl*>(0x20);
    RegisterCollectionControl(a);
    RegisterCollectionControl(b);
    RegisterCollectionControl(a);
    UnregisterCollectionControl(a);
    UnregisterCollectionControl(reinterpret_cast<vcl::TControl*>(0x30));
    EXPECT_EQ(CollectionControls(), (std::vector<vcl::TControl*>{b, a}));
    UnregisterCollectionControl(b);
    UnregisterCollectionControl(a);
    EXPECT_TRUE(CollectionControls().empty());
}

// ---- gradients and frames ----

TEST(DrawGradient, TopToBottomStopsOneStepShortOfTheEndColour) {
    auto bmp = Paper(12, 8);
    TGraphicsProvider::DrawGradient(bmp->Canvas(), TRect(2, 2, 10, 2), 0x000000, 0x0000FF);
    EXPECT_EQ(Inked(bmp.get(), TRect(0, 0, 12, 8)), 0) << "height 0 draws nothing";
    TGraphicsProvider::DrawGradient(bmp->Canvas(), TRect(2, 1, 10, 2), 0x0000F0, 0x000000);
    EXPECT_EQ(Px(bmp.get(), 2, 1), 0x0000F0);
    EXPECT_EQ(Px(bmp.get(), 9, 1), 0x0000F0);
    EXPECT_EQ(Px(bmp.get(), 10, 1), kPaper) << "the right edge is excluded";
    DrawTopBottomGradient(bmp->Canvas(), TRect(0, 4, 4, 8), 0x000000, 0x0000C8);
    EXPECT_EQ(Px(bmp.get(), 0, 4), 0x000000);
    EXPECT_EQ(Px(bmp.get(), 0, 5), 0x000032);
    EXPECT_EQ(Px(bmp.get(), 3, 7), 0x000096);
}

TEST(DrawGradient, LeftToRightDrawsOneColumnPerPixel) {
    auto bmp = Paper(8, 4);
    TGraphicsProvider::DrawVertGradient(bmp->Canvas(), TRect(0, 1, 4, 3), 0x000000, 0xC80000);
    EXPECT_EQ(Px(bmp.get(), 0, 1), 0x000000);
    EXPECT_EQ(Px(bmp.get(), 2, 2), 0x640000);
    EXPECT_EQ(Px(bmp.get(), 3, 1), 0x960000);
    EXPECT_EQ(Px(bmp.get(), 3, 3), kPaper);
    EXPECT_EQ(Px(bmp.get(), 4, 1), kPaper);
}

TEST(DrawFrames, ButtonIsRaisedWithItsDarkEdgesOnTheLastRowAndColumn) {
    for (bool oldStyle : {false, true}) {
        auto bmp = Paper(14, 12);
        TGraphicsProvider::DrawButton(bmp->Canvas(), TRect(2, 2, 12, 10), oldStyle);
        const TColor dark = Rgb(oldStyle ? vcl::clWindowFrame : vcl::clBtnShadow);
        EXPECT_EQ(Px(bmp.get(), 2, 2), Rgb(vcl::clBtnHighlight));
        EXPECT_EQ(Px(bmp.get(), 2, 8), Rgb(vcl::clBtnHighlight));
        EXPECT_EQ(Px(bmp.get(), 10, 2), Rgb(vcl::clBtnHighlight));
        EXPECT_EQ(Px(bmp.get(), 11, 5), dark);
        EXPECT_EQ(Px(bmp.get(), 5, 9), dark);
        EXPECT_EQ(Px(bmp.get(), 2, 9), dark);
        EXPECT_EQ(Px(bmp.get(), 6, 5), Rgb(vcl::clBtnFace));
        EXPECT_EQ(Px(bmp.get(), 12, 5), kPaper);
        EXPECT_EQ(Px(bmp.get(), 5, 10), kPaper);
    }
}

TEST(DrawFrames, FocusFrameIsHighlightOrADottedInversion) {
    auto bmp = Paper(12, 12);
    TGraphicsProvider::DrawFocused(bmp->Canvas(), TRect(1, 1, 11, 11), true);
    EXPECT_EQ(Px(bmp.get(), 1, 1), Rgb(vcl::clHighlight));
    EXPECT_EQ(Px(bmp.get(), 10, 10), Rgb(vcl::clHighlight));
    EXPECT_EQ(Px(bmp.get(), 5, 5), kPaper);

    auto dotted = Paper(12, 12);
    HDC dc = dotted->Canvas()->Handle();
    SetBkColor(dc, 0x00FF00);
    TGraphicsProvider::DrawFocused(dotted->Canvas(), TRect(1, 1, 11, 11), false);
    EXPECT_NE(Px(dotted.get(), 1, 1), kPaper);
    EXPECT_EQ(Px(dotted.get(), 2, 1), kPaper) << "dotted: every other pixel";
    EXPECT_EQ(Px(dotted.get(), 5, 5), kPaper);
    EXPECT_EQ(GetBkColor(dc), COLORREF(0x00FF00)) << "the device context's colours come back";
}

// ---- text ----

TEST(DrawText, FlagsOfTheSingleLineRoutines) {
    EXPECT_EQ(TextRectFlags(taLeftJustify, false), 0x8A24u);
    EXPECT_EQ(TextRectFlags(taRightJustify, true), 0x8A24u | DT_RIGHT | DT_RTLREADING);
    EXPECT_EQ(TextRectFlags(taCenter, false), 0x8A24u | DT_CENTER);
    EXPECT_EQ(TextAlignedFlags(taLeftJustify, false), 0x8224u);
    EXPECT_EQ(TextAlignedFlags(taCenter, true), 0x8A24u | DT_CENTER);
    EXPECT_EQ(TextBiDiFlags(bdRightToLeft), 0x8A24u | DT_RTLREADING);
    EXPECT_EQ(TextBiDiFlags(bdRightToLeftNoAlign), 0x8A24u);
    EXPECT_EQ(VerticalTextFlags, 0xA28u);
}

TEST(DrawText, AlignedTextStaysInItsRectangleWithTheBrushSolidAgain) {
    auto bmp = Paper(200, 20);
    vcl::TCanvas* c = bmp->Canvas();
    c->Font()->SetColor(vcl::clBlack);
    DrawTextInRect(c, TRect(100, 0, 200, 20), taRightJustify, QStringLiteral("Wide"), false);
    EXPECT_EQ(c->Brush()->Style(), vcl::bsSolid);
    EXPECT_EQ(Inked(bmp.get(), TRect(0, 0, 100, 20)), 0);
    EXPECT_GT(FirstInkedColumn(bmp.get(), TRect(0, 0, 200, 20)), 150) << "right-aligned";
    TGraphicsProvider::DrawTextRect(c, TRect(0, 0, 100, 20), taLeftJustify, QString(), bdLeftToRight);
    EXPECT_EQ(Inked(bmp.get(), TRect(0, 0, 100, 20)), 0) << "empty text draws nothing";
    DrawTextAligned(c, TRect(0, 0, 100, 20), taLeftJustify, QStringLiteral("&Go"), false);
    DrawTextBiDi(c, TRect(0, 0, 100, 20), QStringLiteral("Go"), bdLeftToRight);
    EXPECT_GT(Inked(bmp.get(), TRect(0, 0, 100, 20)), 0);
    EXPECT_LT(FirstInkedColumn(bmp.get(), TRect(0, 0, 100, 20)), 10);
}

TEST(DrawText, VerticalLinesStandSideBySideAndTheBrushStaysClear) {
    auto one = Paper(60, 80);
    one->Canvas()->Font()->SetColor(vcl::clBlack);
    DrawVerticalText(one->Canvas(), TRect(0, 0, 60, 80), QStringLiteral("Abc\rDef"), false);
    EXPECT_EQ(one->Canvas()->Brush()->Style(), vcl::bsClear);
    auto two = Paper(60, 80);
    two->Canvas()->Font()->SetColor(vcl::clBlack);
    DrawVerticalText(two->Canvas(), TRect(0, 0, 60, 80), QStringLiteral("Abc\r\nDef"), true);
    const int lineStep = two->Canvas()->TextHeight(QStringLiteral("Abc\r\nDef"));
    ASSERT_GT(Inked(one.get(), TRect(0, 0, 60, 80)), 0);
    // the second line begins a line step further right than the first
    EXPECT_GT(Inked(two.get(), TRect(lineStep, 0, 2 * lineStep, 80)), 0);
    EXPECT_EQ(Inked(two.get(), TRect(2 * lineStep + 2, 0, 60, 80)), 0);
}

// ---- clipping ----

TEST(DrawClipping, LogicalAndDeviceRectanglesDifferByTheWindowOrigin) {
    for (bool logical : {true, false}) {
        auto bmp = Paper(40, 4);
        vcl::TCanvas* c = bmp->Canvas();
        SetWindowOrgEx(c->Handle(), 10, 0, nullptr);
        if (logical)
            SetClipRect(c, TRect(10, 0, 15, 4));
        else
            SelectClipRect(c, TRect(10, 0, 15, 4));
        c->Brush()->SetColor(vcl::clRed);
        c->FillRect(TRect(-10, 0, 50, 4));
        SetWindowOrgEx(c->Handle(), 0, 0, nullptr);
        SelectClipRgn(c->Handle(), nullptr);
        const int first = logical ? 0 : 10;
        EXPECT_EQ(FirstInkedColumn(bmp.get(), TRect(0, 0, 40, 4)), first) << logical;
        EXPECT_EQ(Inked(bmp.get(), TRect(0, 0, 40, 4)), 5 * 4) << logical;
    }
}

// ---- alpha bitmaps and glass ----

// A 2x1 32-bit bitmap: pixel 0 red-ish with Alpha0, pixel 1 blue-ish with Alpha1.
std::unique_ptr<vcl::TBitmap> AlphaPair(uint8_t Alpha0, uint8_t Alpha1) {
    auto bmp = std::make_unique<vcl::TBitmap>();
    bmp->SetPixelFormat(vcl::pf32bit);
    bmp->SetSize(2, 1);
    auto* p = static_cast<uint8_t*>(bmp->ScanLine(0));
    const uint8_t px[8] = {0, 0, 200, Alpha0, 200, 0, 0, Alpha1}; // B G R A
    std::copy(px, px + 8, p);
    return bmp;
}

TEST(DrawAlphaBitmap, IntegerVariantBlendsEachPixelByItsAlpha) {
    auto bmp = Paper(4, 2);
    auto src = AlphaPair(0, 255);
    DrawAlphaBitmap(bmp->Canvas(), 1, 0, src.get());
    EXPECT_EQ(Px(bmp.get(), 1, 0), AlphaBlendColor(0x0000C8, kPaper, 0)) << "alpha 0 keeps the canvas";
    EXPECT_EQ(Px(bmp.get(), 2, 0), AlphaBlendColor(0xC80000, kPaper, 255));
    EXPECT_EQ(Px(bmp.get(), 0, 0), kPaper);
    EXPECT_EQ(Px(bmp.get(), 3, 0), kPaper);

    auto half = Paper(2, 1);
    auto src2 = AlphaPair(128, 128);
    DrawAlphaBitmap(half->Canvas(), 0, 0, src2.get());
    EXPECT_EQ(Px(half.get(), 0, 0), AlphaBlendColor(0x0000C8, kPaper, 128));
}

TEST(DrawAlphaBitmap, RoundingVariantRoundsEachTermAndClamps) {
    auto bmp = Paper(2, 1);
    auto src = AlphaPair(128, 0);
    TDrawProvider::ApplyBitmap(bmp->Canvas(), 0, 0, src.get());
    // red: Round(200 * 128 / 255) + Round(0x56 * 127 / 255) = 100 + 43; green 0 + 26; blue 0 + 9
    EXPECT_EQ(Px(bmp.get(), 0, 0), TColor(143 | (26 << 8) | (9 << 16)));
    EXPECT_EQ(Px(bmp.get(), 1, 0), kPaper) << "alpha 0 leaves the canvas exactly";
}

TEST(DrawAlphaBitmap, OtherFormatsAreDrawnAsTheyAre) {
    auto src = Paper(2, 2);
    src->Canvas()->SetPixels(0, 0, 0x00FF00);
    for (int variant = 0; variant < 2; ++variant) {
        auto bmp = Paper(3, 3);
        bmp->Canvas()->Brush()->SetColor(0x0000FF);
        bmp->Canvas()->FillRect(TRect(0, 0, 3, 3));
        if (variant)
            TDrawProvider::ApplyBitmap(bmp->Canvas(), 1, 1, src.get());
        else
            DrawAlphaBitmap(bmp->Canvas(), 1, 1, src.get());
        EXPECT_EQ(Px(bmp.get(), 1, 1), 0x00FF00);
        EXPECT_EQ(Px(bmp.get(), 2, 2), kPaper);
        EXPECT_EQ(Px(bmp.get(), 0, 0), 0x0000FF);
    }
}

TEST(DrawGlass, ShineWhitensAtMostTheFirst22RowsOfTheUpperHalf) {
    struct Case {
        int height, changedRows;
    };
    for (const Case& c : {Case{10, 5}, Case{60, 22}}) {
        auto bmp = Paper(6, c.height);
        DrawGlassShine(bmp->Canvas(), TRect(0, 0, 6, c.height));
        EXPECT_EQ(Px(bmp.get(), 3, 0), AlphaBlendColor(vcl::clWhite, kPaper, 150));
        EXPECT_EQ(Px(bmp.get(), 5, c.changedRows - 1),
                  AlphaBlendColor(vcl::clWhite, kPaper, 150 - 7 * (c.changedRows - 1)));
        EXPECT_EQ(Px(bmp.get(), 0, c.changedRows), kPaper) << c.height;
    }
}

TEST(DrawGlass, ShineStaysInARectangleBelowTheTop) {
    auto bmp = Paper(6, 60);
    DrawGlassShine(bmp->Canvas(), TRect(0, 40, 6, 50));
    EXPECT_EQ(Inked(bmp.get(), TRect(0, 0, 6, 40)), 0);
    EXPECT_EQ(Px(bmp.get(), 2, 40), AlphaBlendColor(vcl::clWhite, kPaper, 150));
    EXPECT_EQ(Px(bmp.get(), 2, 44), AlphaBlendColor(vcl::clWhite, kPaper, 122));
    EXPECT_EQ(Inked(bmp.get(), TRect(0, 45, 6, 60)), 0) << "only the upper half of the rectangle";
}

TEST(DrawGlass, GradientRowsMoveTowardTheEndColourUnderAWhiteGloss) {
    auto bmp = Paper(5, 10);
    DrawGlassGradient(bmp->Canvas(), TRect(0, 0, 5, 10), 0x000000, 0xC8C8C8, 4);
    EXPECT_EQ(Px(bmp.get(), 0, 0), 0xFEFEFE) << "the first row is almost white";
    EXPECT_EQ(Px(bmp.get(), 4, 2), AlphaBlendColor(AlphaBlendColor(0xC8C8C8, 0, 51), vcl::clWhite, 64));
    EXPECT_EQ(Px(bmp.get(), 2, 9), AlphaBlendColor(0xC8C8C8, 0, 230));

    auto glow = Paper(200, 2);
    DrawGlowGradient(glow->Canvas(), TRect(0, 0, 200, 2), 0x000000, 0x000000, 0);
    EXPECT_EQ(Px(glow.get(), 100, 1), AlphaBlendColor(AlphaBlendColor(0, 0, 128), vcl::clWhite, 100))
        << "lightest in the middle";
    EXPECT_EQ(Px(glow.get(), 0, 0), AlphaBlendColor(0, vcl::clWhite, 255));
    EXPECT_EQ(Px(glow.get(), 22, 0), AlphaBlendColor(0, vcl::clWhite, 255)) << "full strength 78 pixels away";
    EXPECT_EQ(Px(glow.get(), 23, 0), AlphaBlendColor(0, vcl::clWhite, 254));
}

// ---- the parent's background ----

// A form that paints a red column at x 15 of its client area over its own colour.
class StripeForm : public vcl::TForm {
public:
    explicit StripeForm(rtl::TComponent* AOwner) : vcl::TForm(AOwner) {
        SetBounds(0, 0, 200, 100);
        SetColor(0x00FFFF);
        child = new vcl::TCustomControl(this);
        child->SetParent(this);
        child->SetBounds(10, 5, 20, 20);
    }
    vcl::TCustomControl* child;

protected:
    void Paint() override {
        Canvas()->Brush()->SetColor(vcl::clRed);
        Canvas()->FillRect(TRect(15, 0, 16, 100));
    }
};

TEST(DrawParent, TheParentPaintsBehindTheControlAtItsOffset) {
    testing_support::FormHarness h;
    auto* form = h.Show<StripeForm>();
    auto bmp = Paper(20, 20);
    PaintParentBackground(form->child, bmp->Canvas());
    EXPECT_EQ(Px(bmp.get(), 5, 3), vcl::clRed);
    EXPECT_EQ(Px(bmp.get(), 4, 3), 0x00FFFF) << "erased in the parent's colour first";
    EXPECT_EQ(Px(bmp.get(), 6, 19), 0x00FFFF);
    POINT org{1, 1};
    GetWindowOrgEx(bmp->Canvas()->Handle(), &org);
    EXPECT_EQ(org.x, 0) << "the device context comes back as it was";
    EXPECT_TRUE(IsParentFormActive(form->child));

    vcl::TCustomControl orphan(nullptr);
    auto plain = Paper(20, 20);
    PaintParentBackground(&orphan, plain->Canvas());
    EXPECT_EQ(Inked(plain.get(), TRect(0, 0, 20, 20)), 0);
    EXPECT_FALSE(IsParentFormActive(&orphan));
}

TEST(DrawHints, HintWindowIsShownMeasuredAndReleased) {
    testing_support::FormHarness h;
    ShowHintText(nullptr, TRect(0, 0, 10, 10), QStringLiteral("nothing")); // no window: nothing
    ReleaseHintWindow(nullptr);
    EXPECT_TRUE(CalcHintTextRect(nullptr, 300, QStringLiteral("nothing")).IsEmpty());
    vcl::THintWindow hint(nullptr);
    const TRect r = CalcHintTextRect(&hint, 300, QStringLiteral("A hint"));
    EXPECT_EQ(r, hint.CalcHintRect(300, QStringLiteral("A hint"), nullptr));
    EXPECT_GT(r.Width(), 0);
    ShowHintText(&hint, TRect(50, 50, 50 + r.Width(), 50 + r.Height()), QStringLiteral("A hint"));
    ASSERT_TRUE(hint.HandleAllocated());
    EXPECT_TRUE(IsWindowVisible(hint.Handle()));
    ReleaseHintWindow(&hint);
    EXPECT_FALSE(hint.HandleAllocated()) << "the handle goes, the window object stays";
}

} // namespace
} // namespace grid_test
