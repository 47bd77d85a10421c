// tests/styling/hooks/ScreenTipsTest.cpp: the styled tooltip's picture in the default and the
// style's colours, and its text with line breaks and prefixes.
#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "styling/hooks/ScreenTips.h"

using namespace vcl;
using namespace styling;

namespace {

// A style with hint colours of its own, switched on or off.
class HintStyle : public TUxThemeStyle {
public:
    bool On = true;
    std::map<TElementColor, TColor> Colours;
    bool Enabled() const override { return On; }
    bool GetElementColor(const TThemedElementDetails& Details, TElementColor Role, TColor& Color) override {
        EXPECT_EQ(Details.Part, GetElementDetails(thHintBalloon).Part);
        auto it = Colours.find(Role);
        if (it == Colours.end()) return false;
        Color = it->second;
        return true;
    }
};

struct Tip {
    TBitmap Bmp;
    explicit Tip(const rtl::String& Text, TCustomStyleServices* Style, int W = 80, int H = 40) : Bmp(W, H) {
        Bmp.SetPixelFormat(pf32bit);
        DrawTooltip(Bmp.Canvas(), Rect(0, 0, W, H), Rect(4, 4, W - 4, H - 4), Text, Style);
    }
    COLORREF At(int X, int Y) { return GetPixel(Bmp.Canvas()->Handle(), X, Y) & 0xFFFFFF; }
    // The box of the pixels in the text colour's neighbourhood (darker than the gradient).
    TRect Ink() {
        TRect box(Bmp.Width(), Bmp.Height(), 0, 0);
        for (int y = 1; y < Bmp.Height() - 1; ++y)
            for (int x = 1; x < Bmp.Width() - 1; ++x)
                if (GetGValue(At(x, y)) < 160) {
                    box.Left = std::min<LONG>(box.Left, x), box.Top = std::min<LONG>(box.Top, y);
                    box.Right = std::max<LONG>(box.Right, x + 1), box.Bottom = std::max<LONG>(box.Bottom, y + 1);
                }
        return box;
    }
};

void ExpectNear(COLORREF Got, COLORREF Want, int Slack, const char* What) {
    EXPECT_NEAR(GetRValue(Got), GetRValue(Want), Slack) << What;
    EXPECT_NEAR(GetGValue(Got), GetGValue(Want), Slack) << What;
    EXPECT_NEAR(GetBValue(Got), GetBValue(Want), Slack) << What;
}

} // namespace

TEST(ScreenTips, DefaultsWithoutStyleColoursOrWithTheStyleOff) {
    HintStyle none;
    HintStyle off;
    off.On = false;
    off.Colours[ecBorderColor] = TColor(0x0000FF);
    for (HintStyle* style : {&none, &off}) {
        Tip tip(QStringLiteral("x"), style);
        EXPECT_EQ(tip.At(0, 0), RGB(118, 118, 118));
        EXPECT_EQ(tip.At(79, 39), RGB(118, 118, 118));
        ExpectNear(tip.At(60, 1), RGB(255, 255, 255), 8, "top");
        ExpectNear(tip.At(60, 38), RGB(227, 228, 239), 8, "bottom");
        bool text = false;
        for (int y = 4; y < 36 && !text; ++y)
            for (int x = 4; x < 40 && !text; ++x) text = tip.At(x, y) == RGB(87, 87, 87);
        EXPECT_TRUE(text) << "dark grey text";
    }
}

TEST(ScreenTips, StyleColoursReplaceTheDefaultsOneByOne) {
    HintStyle style;
    style.Colours[ecBorderColor] = TColor(0x0000FF);
    style.Colours[ecGradientColor1] = clNone; // none given: the default stays
    style.Colours[ecGradientColor2] = TColor(0x00FF00);
    const TTooltipColors c = TooltipColors(&style);
    EXPECT_EQ(c.Frame, TColor(0x0000FF));
    EXPECT_EQ(c.GradientTop, TColor(0xFFFFFF));
    EXPECT_EQ(c.GradientBottom, TColor(0x00FF00));
    EXPECT_EQ(c.Text, TColor(0x575757));
    Tip tip(QStringLiteral("x"), &style);
    EXPECT_EQ(tip.At(0, 20), RGB(255, 0, 0));
    ExpectNear(tip.At(60, 38), RGB(0, 255, 0), 12, "bottom");
}

TEST(ScreenTips, TextKeepsItsLineBreaksAndPrefixes) {
    HintStyle style;
    const TRect one = Tip(QStringLiteral("Wa"), &style).Ink();
    const TRect two = Tip(QStringLiteral("Wa\nWa"), &style).Ink();
    ASSERT_FALSE(one.IsEmpty());
    EXPECT_GT(two.Height(), one.Height() + 4) << "a second line";
    EXPECT_NEAR(two.Width(), one.Width(), 1);
    const TRect prefixed = Tip(QStringLiteral("&Wa"), &style).Ink();
    EXPECT_NEAR(prefixed.Width(), one.Width(), 1) << "the ampersand is a prefix, not drawn";
    EXPECT_GE(prefixed.Bottom, one.Bottom) << "the underline under W";
}
