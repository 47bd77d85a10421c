// The second control family's foundation: its colour schemes, geometry and DPI helpers, text drawing,
// and the painters' classic drawing (the only way open with empty options or without themes).
#include "controls/RgClasses6.h"
#include "controls/RgStyles6.h"
#include "grid/shared/DrawHelpers.h"
#include "tests/components/Paper.h"
#include "win/uxtheme/uxtheme.h"

#include <gtest/gtest.h>

using namespace controls;
using components_test::kPaper;
using components_test::Paper;
using vcl::TColor;
using vcl::TRect;

namespace {
TColor Sys(TColor c) { return vcl::ColorToRGB(c); }
} // namespace

TEST(Schemes6, CurrentSchemeIsTheSecond) {
    EXPECT_EQ(GetSchemeColor6(17, 0), 0x00FF00);
    EXPECT_EQ(GetSchemeColor6(18, 0), 0xB5ACA5);
    EXPECT_EQ(GetSchemeColor6(7, 0), 0xF7E6CD);
    EXPECT_EQ(GetSchemeColor6(8, 1), 0x467321);
    EXPECT_EQ(GetSchemeColor6(0, 5), 0x553929);
    EXPECT_EQ(GetSchemeColor6(14, 3), 0x3E62F0);
    EXPECT_EQ(GetSchemeColor6(17, 4), 0xD9B298);
}

TEST(Geometry6, CenterRectTruncatesEachHalf) {
    EXPECT_EQ(CenterRect(TRect(0, 0, 10, 10), TRect(0, 0, 5, 5)), TRect(3, 3, 8, 8));
    EXPECT_EQ(CenterRect(TRect(10, 20, 21, 31), TRect(0, 0, 4, 6)), TRect(13, 22, 17, 28));
    TRect r(0, 0, 20, 20);
    DeflateRectByPadding(r, TRect(1, 2, 3, 4));
    EXPECT_EQ(r, TRect(1, 2, 17, 16));
}

TEST(Geometry6, ScaleFactorIsPixelsPerInchDiv72) {
    struct Case { int dpi, factor; };
    for (const Case& c : {Case{96, 1}, Case{120, 1}, Case{144, 2}, Case{192, 2}}) {
        TwSetLogPixels(c.dpi);
        EXPECT_EQ(ScaleValue6(10), 10 * c.factor) << c.dpi;
        EXPECT_EQ(ScalePoint6(vcl::TPoint(8, 13)), vcl::TPoint(8 * c.factor, 13 * c.factor)) << c.dpi;
    }
    TwSetLogPixels(96);
}

TEST(Text6, BrushIsClearWhileDrawingAndSolidAfter) {
    auto bmp = Paper(100, 30);
    vcl::TCanvas* c = bmp->Canvas();
    c->Font()->SetColor(0x000000);
    c->Brush()->SetColor(0xFFFFFF);
    DrawText6(c, TRect(0, 0, 100, 30), vcl::taLeftJustify, taVerticalCenter, QStringLiteral("Wide"));
    EXPECT_EQ(c->Brush()->Style(), vcl::bsSolid);
    bool ink = false, whiteBox = false;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 100; ++x) {
            ink |= c->Pixels(x, y) == 0x000000;
            whiteBox |= c->Pixels(x, y) == 0xFFFFFF;
        }
    EXPECT_TRUE(ink);
    EXPECT_FALSE(whiteBox);  // no opaque text background
    const vcl::TSize s = GetTextSize6(c, QStringLiteral("Wide"));
    EXPECT_EQ(s.cx, c->TextWidth(QStringLiteral("Wide")));
}

TEST(Painters6, EmptyOptionsDrawTheClassicWayEvenWithThemesOn) {
    TwSetThemeActive(TRUE);
    EXPECT_TRUE(CanUseStyle6({soNativeStyles}));
    EXPECT_FALSE(CanUseStyle6({}));
    auto bmp = Paper(20, 10);
    TRgTrackBarStyle6::PaintTrack(bmp->Canvas(), nullptr, TRect(0, 0, 20, 10), {});
    TwSetThemeActive(FALSE);
    vcl::TCanvas* c = bmp->Canvas();
    EXPECT_EQ(c->Pixels(0, 0), Sys(vcl::clBtnHighlight));
    EXPECT_EQ(c->Pixels(0, 8), Sys(vcl::clBtnHighlight));
    EXPECT_EQ(c->Pixels(0, 9), Sys(vcl::clBtnShadow));  // the bottom edge takes the corner
    EXPECT_EQ(c->Pixels(19, 0), Sys(vcl::clBtnShadow));
    EXPECT_EQ(c->Pixels(19, 9), Sys(vcl::clBtnShadow));
    EXPECT_EQ(c->Pixels(5, 5), Sys(vcl::clBtnFace));
}

TEST(Painters6, ClassicThumbPointsDown) {
    auto bmp = Paper(12, 16);
    // (L, T, R, B) = (0, 0, 10, 14), A = 5: the point at (5, 14).
    TRgTrackBarStyle6::PaintThumb(bmp->Canvas(), nullptr, TRect(0, 0, 10, 14), {}, {});
    vcl::TCanvas* c = bmp->Canvas();
    EXPECT_EQ(c->Pixels(3, 0), Sys(vcl::clBtnHighlight));   // top edge
    EXPECT_EQ(c->Pixels(0, 5), Sys(vcl::clBtnHighlight));   // left edge
    EXPECT_EQ(c->Pixels(4, 3), Sys(vcl::clBtnFace));        // inside
    EXPECT_EQ(c->Pixels(10, 3), Sys(vcl::cl3DDkShadow));    // right edge
    EXPECT_EQ(c->Pixels(9, 3), Sys(vcl::clBtnShadow));
    EXPECT_EQ(c->Pixels(1, 3), Sys(vcl::cl3DLight));
    EXPECT_EQ(c->Pixels(0, 12), kPaper);                    // beside the point
    EXPECT_EQ(c->Pixels(11, 3), kPaper);
}

TEST(Painters6, ClassicTabsDrawTheirEdgesByLocation) {
    struct Case { TRgTabsLocation where; int x, y; TColor color; };
    for (const Case& k : {Case{tbTop, 0, 5, vcl::clBtnHighlight}, Case{tbTop, 5, 0, vcl::clBtnHighlight},
                          Case{tbTop, 9, 5, vcl::clBtnShadow}, Case{tbLeft, 5, 9, vcl::clBtnShadow},
                          Case{tbRight, 5, 9, vcl::clBtnShadow}, Case{tbRight, 5, 0, vcl::clBtnHighlight},
                          Case{tbBottom, 9, 5, vcl::clBtnShadow}, Case{tbBottom, 0, 5, vcl::clBtnHighlight}}) {
        auto bmp = Paper(10, 10);
        bmp->Canvas()->Brush()->SetColor(0x00FF00);
        TRgPageControlStyle6::PaintTab(bmp->Canvas(), nullptr, TRect(0, 0, 10, 10), {}, {}, k.where);
        EXPECT_EQ(bmp->Canvas()->Pixels(k.x, k.y), Sys(k.color)) << k.where << " " << k.x << "," << k.y;
        EXPECT_EQ(bmp->Canvas()->Pixels(4, 4), 0x00FF00);
    }
}

TEST(Painters6, ClassicPressedButtonIsOnlyASunkenFrame) {
    auto bmp = Paper(10, 10);
    TRgPageControlStyle6::PaintButton(bmp->Canvas(), nullptr, TRect(0, 0, 10, 10), {bsPressed}, {});
    EXPECT_EQ(bmp->Canvas()->Pixels(0, 0), Sys(vcl::clBtnShadow));
    EXPECT_EQ(bmp->Canvas()->Pixels(9, 9), Sys(vcl::clBtnHighlight));
    EXPECT_EQ(bmp->Canvas()->Pixels(5, 5), kPaper);
    TRgPageControlStyle6::PaintButton(bmp->Canvas(), nullptr, TRect(0, 0, 10, 10), {bsHover}, {});
    EXPECT_EQ(bmp->Canvas()->Pixels(0, 0), Sys(vcl::clBtnHighlight));
    EXPECT_EQ(bmp->Canvas()->Pixels(5, 5), Sys(vcl::clBtnFace));
}

TEST(ThemeLibrary6, TakesTheSevenEntryPointsFromTheSharedBindingAndClearsThemWhenFreed) {
    LoadThemeLibrary6();
    const TRgThemeLibrary6& lib = ThemeLibrary6();
    const grid::TThemeLibrary& shared = grid::ThemeLibrary();
    ASSERT_NE(lib.Module, nullptr);
    EXPECT_EQ(lib.Module, shared.Module) << "one loading of the library for the grid and the panels";
    const HMODULE first = lib.Module;
    for (FARPROC p : {lib.OpenThemeData, lib.CloseThemeData, lib.DrawThemeBackground, lib.DrawThemeEdge,
                      lib.GetThemeSysSize, lib.IsThemeActive, lib.IsAppThemed})
        EXPECT_NE(p, nullptr);
    EXPECT_EQ(reinterpret_cast<void*>(lib.IsThemeActive), reinterpret_cast<void*>(&IsThemeActive));
    EXPECT_EQ(reinterpret_cast<void*>(lib.DrawThemeEdge), reinterpret_cast<void*>(shared.DrawThemeEdge));
    LoadThemeLibrary6();
    EXPECT_EQ(lib.Module, first);
    FreeThemeLibrary6();
    EXPECT_EQ(lib.Module, nullptr);
    EXPECT_EQ(lib.IsAppThemed, nullptr);
    // The grid and the panels still draw with the library.
    EXPECT_EQ(shared.Module, first);
    EXPECT_NE(shared.OpenThemeData, nullptr);

    // Where the shared binding found no library, the suite has none either: it loads nothing itself.
    const grid::TThemeLibrary saved = grid::ThemeLibrary();
    grid::ThemeLibrary() = grid::TThemeLibrary{};
    grid::LoadThemeLibrary(u"nosuch-theme-library.dll");
    LoadThemeLibrary6();
    EXPECT_EQ(lib.Module, nullptr);
    EXPECT_EQ(lib.OpenThemeData, nullptr);
    grid::ThemeLibrary() = saved;
    LoadThemeLibrary6();
    EXPECT_EQ(lib.Module, first);
}
