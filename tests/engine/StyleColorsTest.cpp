// Style colour schemes: which scheme a style name selects, a few table values that pin the columns and
// rows, and the progress bar taking a scheme.
#include "app/engine/StyleColors.h"

#include <gtest/gtest.h>

#include "tests/support/QtPrint.h"

namespace {

using engine::StyleColorSchemeIndex;

struct SchemeCase {
    const char* name;
    int index;
};

class SchemeByName : public ::testing::TestWithParam<SchemeCase> {};

TEST_P(SchemeByName, TakesTheFirstWordInAnyCase) {
    EXPECT_EQ(StyleColorSchemeIndex(QString::fromUtf8(GetParam().name)), GetParam().index) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(Cases, SchemeByName,
                         ::testing::Values(SchemeCase{"", 8}, SchemeCase{"windows", 8}, SchemeCase{"Auric", 0},
                                           SchemeCase{"  carbon  ", 1}, SchemeCase{"Charcoal Dark Slate", 2},
                                           SchemeCase{"Iceberg Classico", 3}, SchemeCase{"Luna", 4},
                                           SchemeCase{"Silver", 5}, SchemeCase{"Slate Classico", 6},
                                           SchemeCase{"TabletDark", 7}, SchemeCase{"Tablet.Dark", 8},
                                           SchemeCase{"Cobalt XEMedia", 9}, SchemeCase{"Glossy", 2},
                                           SchemeCase{"Jet", 2}, SchemeCase{"Onyx Blue", 8}, SchemeCase{"Glow", 8},
                                           SchemeCase{"Aqua Light Slate", 8}, SchemeCase{"Windows10,Blue", 8}));

TEST(StyleColorSchemes, FillsEverySchemeButWindowsWithItsValues) {
    engine::TStyleColorSchemes schemes{};
    schemes[8].GridColor = 0x123456;
    engine::InitStyleColorSchemes(schemes);
    EXPECT_EQ(schemes[8].GridColor, 0x123456); // the captured scheme is left alone
    EXPECT_EQ(schemes[8].ProgressLevel0Color, 0);
    EXPECT_EQ(schemes[0].GridColor, 0x484848);
    EXPECT_EQ(schemes[9].GridColor, 0x0E0704);
    EXPECT_EQ(schemes[3].FlipPanelHeaderHotColor, 0xE9DED1);
    EXPECT_EQ(schemes[3].FlipPanelHeaderHotPercent, -140);
    EXPECT_EQ(schemes[1].FlipPanelHeaderHotPercent, -20);
    EXPECT_EQ(schemes[9].GridHeaderFontColor, 0); // Cobalt's unset entries
    EXPECT_EQ(schemes[9].GridIndicatorColor, 0);
    EXPECT_EQ(schemes[7].ProgressBackgroundColor, 0x1B1214);
    EXPECT_EQ(schemes[2].ProgressFontColor, 0xC8C8C8);
    EXPECT_EQ(schemes[4].ProgressLevel2ColorTo, 0xD99E6F);
    EXPECT_EQ(schemes[0].TrackThumbColor, 0x4AAEE3);
    EXPECT_EQ(schemes[6].TrackSignsColor, 0x292929);
    EXPECT_EQ(schemes[5].LinkDisabledColor, 0);

    // Callers get copies: changing one leaves the table as it was.
    engine::TStyleColorScheme copy = engine::GetStyleColors(QStringLiteral("Luna"), schemes);
    EXPECT_EQ(copy.GridColor, 0xFFFFFF);
    copy.GridColor = 1;
    EXPECT_EQ(schemes[4].GridColor, 0xFFFFFF);
}

TEST(StyleColorSchemes, TheProgressBarTakesItsNineEntries) {
    engine::TStyleColorSchemes schemes{};
    engine::InitStyleColorSchemes(schemes);
    components::TPlusProgressBar bar(nullptr);
    engine::SetProgressBarStyleColors(&bar, engine::GetStyleColors(QStringLiteral("Carbon"), schemes));
    EXPECT_EQ(bar.BackgroundColor(), 0x4B4B4B);
    EXPECT_EQ(bar.BorderColor(), 0x141414);
    EXPECT_EQ(bar.Font()->Color(), 0x000000);
    EXPECT_EQ(bar.Level0Color(), 0x98782E);
    EXPECT_EQ(bar.Level0ColorTo(), 0x795F24);
    EXPECT_EQ(bar.Level1Color(), 0x735A22);
    EXPECT_EQ(bar.Level1ColorTo(), 0x644F1E);
    EXPECT_EQ(bar.Level2Color(), 0x56441B);
    EXPECT_EQ(bar.Level2ColorTo(), 0x4A3C17);
}

} // namespace
