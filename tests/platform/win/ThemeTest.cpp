// The theme stand-in: off by default, classes opened by name, elements drawn when on.
#include "Canvas.h"

using wintest::Canvas;

namespace {

class ThemeTest : public ::testing::Test {
protected:
    void TearDown() override { TwSetThemeActive(FALSE); }
};

TEST_F(ThemeTest, OffByDefaultSoClassicPathsRun) {
    EXPECT_FALSE(IsThemeActive());
    EXPECT_FALSE(IsAppThemed());
    EXPECT_EQ(OpenThemeData(nullptr, u"button"), 0);
}

TEST_F(ThemeTest, ClassNamesMatchWithoutCaseAndGiveOneHandlePerClass) {
    TwSetThemeActive(TRUE);
    const HTHEME a = OpenThemeData(nullptr, u"Button"), b = OpenThemeData(nullptr, u"BUTTON");
    EXPECT_NE(a, 0);
    EXPECT_EQ(a, b);
    EXPECT_EQ(OpenThemeData(nullptr, u"NoSuchClass"), 0);
    EXPECT_EQ(OpenThemeData(nullptr, u"NoSuchClass;Header"), OpenThemeData(nullptr, u"header"));
    EXPECT_EQ(OpenThemeData(nullptr, u"Explorer::ListView"), OpenThemeData(nullptr, u"LISTVIEW"));
    EXPECT_EQ(CloseThemeData(a), S_OK);
}

TEST_F(ThemeTest, DrawsPartsInsideTheClipAndAnswersColoursAndSizes) {
    TwSetThemeActive(TRUE);
    const HTHEME button = OpenThemeData(nullptr, u"button");
    Canvas c(30, 20);
    const RECT r{0, 0, 30, 20}, clip{0, 0, 15, 20};
    EXPECT_EQ(DrawThemeBackground(button, c.dc, 1, 2, &r, &clip), S_OK);
    EXPECT_NE(c.At(7, 10), RGB(255, 255, 255));
    EXPECT_EQ(c.At(20, 10), RGB(255, 255, 255));
    const auto hot = c.Pixels();
    DrawThemeBackground(button, c.dc, 1, 3, &r, &clip); // pressed looks different
    EXPECT_NE(c.Pixels(), hot);
    c.Fill(RGB(255, 255, 255));
    EXPECT_EQ(DrawThemeBackground(button, c.dc, 1, 0, &r, nullptr), S_OK); // state 0 draws as normal
    EXPECT_NE(c.At(15, 10), RGB(255, 255, 255));
    EXPECT_EQ(DrawThemeBackground(0x1234, c.dc, 1, 1, &r, nullptr), E_HANDLE);

    COLORREF color = 12345;
    EXPECT_EQ(GetThemeColor(button, 1, 4, TMT_TEXTCOLOR, &color), S_OK);
    EXPECT_NE(color, 12345u);
    color = 12345;
    EXPECT_NE(GetThemeColor(button, 1, 1, 9999, &color), S_OK);
    EXPECT_EQ(color, 12345u); // unchanged when the theme has none
    SIZE box{};
    EXPECT_EQ(GetThemePartSize(button, c.dc, 3, 1, nullptr, TS_TRUE, &box), S_OK);
    EXPECT_EQ(box.cx, 13);
}

TEST_F(ThemeTest, ThemeTextUsesTheThemeColour) {
    TwSetThemeActive(TRUE);
    const HTHEME button = OpenThemeData(nullptr, u"button");
    Canvas c(60, 20);
    const RECT r{0, 0, 60, 20};
    SetTextColor(c.dc, RGB(255, 0, 0));
    EXPECT_EQ(DrawThemeText(button, c.dc, 1, 1, u"Go", -1, DT_SINGLELINE, 0, &r), S_OK);
    EXPECT_EQ(GetTextColor(c.dc), RGB(255, 0, 0));
    bool red = false, dark = false;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 60; ++x) {
            red |= c.At(x, y) == RGB(255, 0, 0);
            dark |= c.At(x, y) == RGB(0, 0, 0);
        }
    EXPECT_FALSE(red);
    EXPECT_TRUE(dark);
}

} // namespace
