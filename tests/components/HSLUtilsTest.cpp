// tests/components/HSLUtilsTest.cpp
#include "components/FlatUtils.h"
#include "components/HSLUtils.h"

#include "tests/support/Peers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace components;
using vcl::TColor;

TEST(HSL, KnownColours) {
    EXPECT_EQ(HSLToRGB(0, 0, 0.5), 0x808080); // 127.5 rounds to 128
    EXPECT_EQ(HSLToRGB(0, 1, 0.5), 0x0000FF);
    EXPECT_EQ(HSLToRGB(2.0 / 3.0, 1, 0.5), 0xFF0000);
    EXPECT_EQ(HSLRangeToRGB(0, 240, 120), 0x0000FF);
    double h, s, l;
    RGBToHSL(0xFF0000, h, s, l);
    EXPECT_DOUBLE_EQ(h, 2.0 / 3.0);
    EXPECT_DOUBLE_EQ(s, 1);
    EXPECT_DOUBLE_EQ(l, 0.5);
    RGBToHSL(vcl::clWhite, h, s, l);
    EXPECT_EQ(h, 0);
    EXPECT_EQ(s, 0);
    EXPECT_EQ(l, 1);
    int H, S, L;
    RGBToHSLRange(0x00FFFF, H, S, L); // yellow: hue 1/6 of 239 = 39.83
    EXPECT_EQ(H, 40);
    EXPECT_EQ(S, 240);
    EXPECT_EQ(L, 120);
}

TEST(HSL, ShiftColorLuminanceWorksOnTheHundredScale) {
    EXPECT_EQ(ShiftColorLuminance(vcl::clWhite, 0x123456, 0, true), 0x123456);
    EXPECT_EQ(ShiftColorLuminance(vcl::clWhite, 0, 20, false), 0x6A6A6A); // lightness capped at 100 of 240
    EXPECT_EQ(ShiftColorLuminance(vcl::clWhite, 0, 20, true), 0xF4F4F4);  // 240 + 10 - 20
    EXPECT_EQ(ShiftColorLuminance(vcl::clBlack, 0, 30, true), 0x000000);  // held at 0
}

// Python's colorsys (hue, lightness, saturation order) over a few thousand colours, both ways.
TEST(HSL, AgreesWithPythonColorsys) {
    TW_REQUIRE_TOOL("/usr/bin/python3", "import colorsys");
    std::mt19937 rng(11);
    QStringList colours, hsl;
    std::vector<TColor> rgb;
    std::vector<std::array<double, 3>> fractions;
    for (int i = 0; i < 3000; ++i) {
        const TColor c = TColor(rng() & 0xFFFFFF);
        rgb.push_back(c);
        colours << QString::number(c);
        const std::array<double, 3> f = {(rng() % 100000) / 100000.0, (rng() % 100000) / 100000.0,
                                         (rng() % 100000) / 100000.0};
        fractions.push_back(f);
        hsl << QStringLiteral("%1,%2,%3").arg(f[0], 0, 'g', 17).arg(f[1], 0, 'g', 17).arg(f[2], 0, 'g', 17);
    }
    const QString script = QStringLiteral(
        "import colorsys,sys\n"
        "a,b=sys.stdin.read().split('|')\n"
        "for c in a.split():\n"
        "  c=int(c); h,l,s=colorsys.rgb_to_hls((c&255)/255,((c>>8)&255)/255,((c>>16)&255)/255)\n"
        "  print('%.17g %.17g %.17g'%(h,s,l))\n"
        "for t in b.split():\n"
        "  h,s,l=map(float,t.split(',')); r,g,bb=colorsys.hls_to_rgb(h,l,s)\n"
        "  print(round(r*255)+round(g*255)*256+round(bb*255)*65536)\n");
    const auto run = testing_support::RunProgram(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), script},
                                                 60000, (colours.join(' ') + '|' + hsl.join(' ')).toUtf8());
    ASSERT_TRUE(run.Ok()) << run.Describe();
    const QStringList lines = QString::fromUtf8(run.Out).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 6000);
    int mismatches = 0;
    for (int i = 0; i < 3000; ++i) {
        const QStringList v = lines[i].split(' ');
        double h, s, l;
        RGBToHSL(rgb[i], h, s, l);
        if (std::abs(h - v[0].toDouble()) > 1e-12 || std::abs(s - v[1].toDouble()) > 1e-12 ||
            std::abs(l - v[2].toDouble()) > 1e-12) {
            ADD_FAILURE() << "RGBToHSL " << rgb[i] << ": " << h << ' ' << s << ' ' << l << " vs " << lines[i].toStdString();
            if (++mismatches > 5) return;
        }
        const TColor back = HSLToRGB(fractions[i][0], fractions[i][1], fractions[i][2]);
        if (back != lines[3000 + i].toInt()) {
            ADD_FAILURE() << "HSLToRGB " << hsl[i].toStdString() << ": " << back << " vs " << lines[3000 + i].toStdString();
            if (++mismatches > 5) return;
        }
    }
}
