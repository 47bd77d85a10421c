// tests/styling/windows/ScreenTipsHookTest.cpp: the tooltip hook on the tooltip double: the styled tip
// over the tip's own painting, balloons left as they are.
#include "tests/styling/windows/StyleHookFixture.h"

#include "styling/hooks/ScreenTips.h"
#include "tests/support/windows/TooltipDouble.h"
#include "win/comctl32/commctrl.h"

using namespace styling;
using namespace styletest;
using namespace testing_support;

namespace {

class TooltipHookTest : public StyleHookTest {};

TEST_F(TooltipHookTest, PlainTipIsPaintedOverInTheStylesLookAfterItsOwnPainting) {
    const HWND tip = CreateTooltipDouble(u"Tip text", 40, 40, 90, 24);
    ASSERT_NE(tip, nullptr);
    ASSERT_NE(dynamic_cast<TSysTooltipsStyleHook*>(TSysStyleManager::HookedWindows()[tip].get()), nullptr);
    App.PumpUntilIdle();
    const TTooltipColors colours = TooltipColors();
    auto rgb = [](vcl::TColor C) {
        const COLORREF c = COLORREF(vcl::ColorToRGB(C));
        return QRgb(GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c));
    };
    EXPECT_EQ(App.Pixel(tip, 0, 0) & 0xFFFFFF, rgb(colours.Frame));
    EXPECT_EQ(App.Pixel(tip, 89, 23) & 0xFFFFFF, rgb(colours.Frame));
    auto near = [](QRgb A, QRgb B) { return std::abs(qRed(A) - qRed(B)) + std::abs(qGreen(A) - qGreen(B)) + std::abs(qBlue(A) - qBlue(B)) < 24; };
    EXPECT_TRUE(near(App.Pixel(tip, 60, 1), rgb(colours.GradientTop))) << std::hex << App.Pixel(tip, 60, 1);
    EXPECT_TRUE(near(App.Pixel(tip, 60, 22), rgb(colours.GradientBottom))) << std::hex << App.Pixel(tip, 60, 22);
    App.SaveScreenshot(tip, QStringLiteral("styled-tooltip.png"));
}

TEST_F(TooltipHookTest, BalloonTipLooksExactlyAsItPaintsItself) {
    const HWND styled = CreateTooltipDouble(u"Balloon", 40, 40, 90, 24, TTS_BALLOON);
    ASSERT_NE(TSysStyleManager::HookedWindows()[styled], nullptr);
    App.PumpUntilIdle();
    UseSystemStyle();  // a tip made now stays unhooked
    const HWND plain = CreateTooltipDouble(u"Balloon", 240, 40, 90, 24, TTS_BALLOON);
    ASSERT_EQ(TSysStyleManager::HookedWindows().count(plain), 0u);
    // The same system colours for both: the style is not what differs.
    vcl::TStyleManager::SetStyle(Style.get());
    InvalidateRect(plain, nullptr, TRUE);
    InvalidateRect(styled, nullptr, TRUE);
    App.PumpUntilIdle();
    EXPECT_EQ(App.Grab(styled), App.Grab(plain));
    EXPECT_EQ(OwnLog().Messages.size(), 0u);
}

TEST_F(TooltipHookTest, TipTextStaysInsideTheAdjustedRectangle) {
    const HWND tip = CreateTooltipDouble(u"WWWWWWWWWWWWWWWWWWWW", 40, 40, 60, 24);
    App.PumpUntilIdle();
    // Text is clipped to nothing but the DC: ink may reach the right edge, never the left margin.
    for (int y = 1; y < 23; ++y)
        for (int x = 1; x < TooltipTextMargins.left; ++x) EXPECT_GT(qGreen(App.Pixel(tip, x, y)), 160) << x << "," << y;
}

} // namespace
