// tests/base/ColorsTest.cpp: colour arithmetic, HSL and colours written as text.
#include <gtest/gtest.h>

#include "tests/support/QtPrint.h"

#include <cmath>

#include "base/Colors.h"
#include "tests/support/Peers.h"

namespace {

using base::TColor;

struct TextCase {
    const char16_t* Text;
    std::optional<TColor> Expected;
};
class TextToColor : public ::testing::TestWithParam<TextCase> {};

TEST_P(TextToColor, ReadsByTheFirstMatchingRule) {
    const auto& C = GetParam();
    TColor Color = 0x0BADBAD;
    EXPECT_EQ(base::TryTextToColor(QString::fromUtf16(C.Text), Color), C.Expected.has_value());
    EXPECT_EQ(Color, C.Expected.value_or(0x0BADBAD)); // unchanged on failure
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextToColor,
    ::testing::Values(TextCase{u"#fff", 0x00FFFFFF}, TextCase{u"#FF8000", 0x000080FF},
                      TextCase{u" # F 80 ", 0x000088FF}, TextCase{u"#12345", std::nullopt},
                      TextCase{u"#GGGGGG", std::nullopt}, TextCase{u"255, 0, 0", 0x000000FF},
                      TextCase{u"255   0    0", 0x000000FF}, TextCase{u"(10,20,30)", 0x001E140A},
                      TextCase{u"rgb(10,20,30)", std::nullopt}, TextCase{u"RGB 10 20 30", std::nullopt},
                      TextCase{u"300,0,0", std::nullopt}, TextCase{u"10,20", std::nullopt},
                      TextCase{u"10,20,30,40", std::nullopt}, TextCase{u"(128)", std::nullopt},
                      TextCase{u"128 ", 0x128}, TextCase{u"1 28", std::nullopt}, TextCase{u"77", 0x77},
                      TextCase{u" 7 ", 0x7}, TextCase{u"128", 0x128}, TextCase{u"808080", 0x808080},
                      TextCase{u"0x0000FF", 0xFF}, TextCase{u"0x000000", std::nullopt},
                      TextCase{u"$FF00000F", TColor(0xFF00000F)}, TextCase{u"clRed", std::nullopt},
                      TextCase{u"", std::nullopt}, TextCase{u"  ", std::nullopt},
                      TextCase{u"-5", std::nullopt}, TextCase{u"(7)x", std::nullopt}));

TEST(ColorArithmetic, TablesOfThePercentRoutines) {
    EXPECT_EQ(base::MakeColor(255, 128, 0), 0x000080FF);
    EXPECT_EQ(base::MakeColor(256 + 1, -1, 0), 0x0000FF01);
    int R, G, B;
    base::SplitColor(TColor(0xFF000005), R, G, B);
    EXPECT_EQ(std::tie(R, G, B), std::make_tuple(5, 0, 0));
    uint8_t Rb, Gb, Bb;
    base::SplitColorBytes(0x00332211, Rb, Gb, Bb);
    EXPECT_EQ(std::tie(Rb, Gb, Bb), std::make_tuple(0x11, 0x22, 0x33));

    EXPECT_EQ(base::ChangeColorByPercent(0x00646464, 10, true), 0x006E6E6E);
    EXPECT_EQ(base::ChangeColorByPercent(0x00646464, 10, false), 0x005A5A5A);
    EXPECT_EQ(base::ChangeColorByPercent(0x00646464, 200, false), 0);
    EXPECT_EQ(base::ChangeColorByPercent(0x00C80A05, 15, true), 0x00E60B05); // truncation: 0.75 and 1.5 lost
    EXPECT_EQ(base::LightenColorPercent(0, 50), 0x00808080);                 // 127.5 to even gives 128
    EXPECT_EQ(base::LightenColorPercent(0x00000004, 50), 0x00808082);        // 125.5 to even gives 126
    EXPECT_EQ(base::BrightenColorPercent(0x00808080, -200), 0x00000000);     // clamped
    EXPECT_EQ(base::LightenColorPercent(TColor(0xFF00000F), 0), 0x00F0F0F0); // system colours resolve

    EXPECT_EQ(base::AddToColorChannels(TColor(0xFF00000F), 0, 0, 0), TColor(0xFF00000F));
    EXPECT_EQ(base::AddToColorChannels(TColor(0xFF00000F), 0, 1, 0),
              0x0000010F); // not resolved, top byte gone
    EXPECT_EQ(base::ModifyColorChannels(0x00FF0010, -20, 0, 300), 0x00FF0000);
    EXPECT_EQ(base::AddToAllColorChannels(0x00102030, 0x10), 0x00203040);
}

TEST(ColorHsl, ShiftKeepsTheDefaultRanges) {
    base::SetHslRanges(240, 240, 240);
    EXPECT_EQ(base::ShiftColorHsl(0x000000FF, 120, 0, 0), 0x0000FF00);
    EXPECT_EQ(base::HueRange, 360);
    EXPECT_EQ(base::ShiftColorHsl(0x000000FF, 0, 0, 100), 0x00FFFFFF);
    EXPECT_EQ(base::ShiftColorHsl(0x000000FF, 400, 0, 0), 0x000000FF); // 360 wraps to red
    int H, S, L;
    base::SetHslRanges(240, 240, 240);
    base::ColorToHslRanged(0x0000FF00, H, S, L);
    EXPECT_EQ(std::tie(H, S, L), std::make_tuple(80, 240, 120));
    EXPECT_EQ(base::HslRangedToColor(80, 500, 120), 0x0000FF00); // S limited from above
    EXPECT_EQ(base::HslRangedToColor(80, -3, 120), 0x00808080);  // and from below
    base::ResetHslRanges();
}

// Python's colorsys and round() (also halves to even) are the reference. Values within a hair of a tie
// are skipped: the two formulas may land on either side of it.
TEST(ColorHsl, AgreesWithPythonColorsys) {
    TW_REQUIRE_TOOL("/usr/bin/python3", "import colorsys");
    base::ResetHslRanges();
    const char* Script = R"(
import colorsys
def near_tie(x): return abs(x - int(x) - 0.5) < 1e-9
out = []
for r in range(0, 256, 17):
  for g in range(0, 256, 15):
    for b in range(0, 256, 51):
      h, l, s = colorsys.rgb_to_hls(r/255, g/255, b/255)
      t = [h*360, s*100, l*100]
      out.append('C %d %s %d' % (r | g << 8 | b << 16, ' '.join(str(round(x)) for x in t), int(any(near_tie(x) for x in t))))
for h in range(0, 361, 15):
  for s in range(0, 101, 10):
    for l in range(0, 101, 5):
      rgb = [255 * x for x in colorsys.hls_to_rgb(h/360, l/100, s/100)]
      out.append('H %d %d %d %d %d' % (h, s, l, round(rgb[0]) | round(rgb[1]) << 8 | round(rgb[2]) << 16, int(any(near_tie(x) for x in rgb))))
print('\n'.join(out))
)";
    const auto Run = testing_support::RunProgram(QStringLiteral("/usr/bin/python3"),
                                                 {QStringLiteral("-c"), QString::fromUtf8(Script)});
    ASSERT_TRUE(Run.Ok()) << Run.Describe();
    int Checked = 0;
    for (const QString& Line : QString::fromUtf8(Run.Out).split(u'\n', Qt::SkipEmptyParts)) {
        const QStringList F = Line.split(u' ');
        if (F.last() == u"1") continue;
        if (F[0] == u"C") {
            int H, S, L;
            base::ColorToHslRanged(F[1].toInt(), H, S, L);
            EXPECT_EQ(QStringLiteral("%1 %2 %3").arg(H).arg(S).arg(L), F.mid(2, 3).join(u' '))
                << Line.toStdString();
        } else {
            EXPECT_EQ(base::HslRangedToColor(F[1].toInt(), F[2].toInt(), F[3].toInt()), F[4].toInt())
                << Line.toStdString();
        }
        ++Checked;
    }
    EXPECT_GT(Checked, 3000);
}

} // namespace
