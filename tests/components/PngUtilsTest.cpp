// tests/components/PngUtilsTest.cpp
#include "components/Graphics.h"
#include "components/PngUtils.h"

#include "Paper.h"
#include "tests/support/Peers.h"
#include "tests/support/TempDir.h"
#include "win/kernel32/synchapi.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

using namespace components;
using vcl::TColor;
using vcl::TPngImage;

namespace {

constexpr uint8_t kTypes[] = {vcl::COLOR_GRAYSCALE, vcl::COLOR_RGB, vcl::COLOR_PALETTE, vcl::COLOR_GRAYSCALEALPHA,
                              vcl::COLOR_RGBALPHA};

// A 4 x 2 glyph of the colour type: white, black, a mid colour and a light one in each row, opaque.
std::unique_ptr<TPngImage> Glyph(uint8_t Type) {
    static const uint8_t rgb[4][3] = {{255, 255, 255}, {0, 0, 0}, {200, 100, 50}, {30, 160, 220}};
    auto png = std::make_unique<TPngImage>();
    png->CreateBlank(Type, 8, 4, 2);
    if (Type == vcl::COLOR_PALETTE) {
        std::vector<vcl::TPngPaletteEntry> entries;
        for (const auto& c : rgb) entries.push_back({c[0], c[1], c[2]});
        png->SetPaletteEntries(entries);
    }
    for (int y = 0; y < 2; ++y) {
        uint8_t* row = png->Scanline(y);
        for (int x = 0; x < 4; ++x) {
            switch (Type) {
            case vcl::COLOR_GRAYSCALE:
            case vcl::COLOR_GRAYSCALEALPHA: row[x] = rgb[x][1]; break;
            case vcl::COLOR_PALETTE: row[x] = uint8_t(x); break;
            default: row[3 * x] = rgb[x][2]; row[3 * x + 1] = rgb[x][1]; row[3 * x + 2] = rgb[x][0];
            }
        }
        if (uint8_t* alpha = png->AlphaScanline(y)) std::fill(alpha, alpha + 4, 255);
    }
    return png;
}

std::vector<TColor> Colours(TPngImage& Png) {
    std::vector<TColor> out;
    for (int y = 0; y < Png.Height(); ++y)
        for (int x = 0; x < Png.Width(); ++x) out.push_back(Png.Pixels(x, y));
    return out;
}

bool HasAlphaType(TPngImage& Png) {
    return Png.Header().ColorType == vcl::COLOR_GRAYSCALEALPHA || Png.Header().ColorType == vcl::COLOR_RGBALPHA;
}

} // namespace

TEST(BlendPixelToGray, MovesTowardGrayWithItsRounding) {
    struct Case {
        uint8_t In[3], Amount, Out[3];
    };
    for (const Case c : {Case{{255, 255, 255}, 255, {254, 254, 254}}, Case{{0, 0, 0}, 255, {0, 0, 0}},
                         Case{{255, 255, 255}, 0, {254, 254, 254}}, Case{{255, 0, 0}, 255, {76, 76, 76}},
                         Case{{255, 0, 0}, 128, {165, 38, 38}}}) {
        uint8_t r = c.In[0], g = c.In[1], b = c.In[2];
        BlendPixelToGray(r, g, b, c.Amount);
        EXPECT_EQ((std::array<int, 3>{r, g, b}), (std::array<int, 3>{c.Out[0], c.Out[1], c.Out[2]}))
            << int(c.In[0]) << ',' << int(c.In[1]) << ',' << int(c.In[2]) << " by " << int(c.Amount);
    }
}

class PngTypes : public ::testing::TestWithParam<uint8_t> {};

TEST_P(PngTypes, ScalePngOpacityFadesAndKeepsTheColours) {
    for (const auto& [amount, expectedAlpha] : {std::pair{127, 128}, std::pair{190, 190}, std::pair{255, 255}}) {
        auto png = Glyph(GetParam());
        const auto before = Colours(*png);
        ScalePngOpacity(png.get(), uint8_t(amount));
        ASSERT_TRUE(HasAlphaType(*png)) << int(GetParam());
        EXPECT_EQ(Colours(*png), before);
        // Images without an alpha channel of their own get Amount itself; others scale 255.
        const int alpha = GetParam() == vcl::COLOR_GRAYSCALE || GetParam() == vcl::COLOR_PALETTE ? amount : expectedAlpha;
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 4; ++x) EXPECT_EQ(png->AlphaScanline(y)[x], alpha) << "type " << int(GetParam()) << " amount " << amount;
    }
}

TEST_P(PngTypes, GrayscalePngGraysColourAndLeavesGrayAlone) {
    auto png = Glyph(GetParam());
    const auto before = Colours(*png);
    GrayscalePng(png.get(), 255);
    const auto after = Colours(*png);
    if (GetParam() == vcl::COLOR_GRAYSCALE || GetParam() == vcl::COLOR_GRAYSCALEALPHA) {
        EXPECT_EQ(after, before);
        return;
    }
    EXPECT_EQ(after[0], 0xFEFEFE); // white: 254 after the rounding of the blend
    EXPECT_EQ(after[1], 0);
    for (TColor c : after) {
        EXPECT_LE(std::abs((c & 0xFF) - ((c >> 8) & 0xFF)), 1);
        EXPECT_LE(std::abs((c & 0xFF) - ((c >> 16) & 0xFF)), 1);
    }
    if (auto* alpha = png->AlphaScanline(0)) {
        EXPECT_EQ(alpha[2], 255);
    }
}

TEST_P(PngTypes, DrawPngDrawsAFadedGrayCopyAndLeavesTheSourceIntact) {
    auto png = Glyph(GetParam());
    const auto bytes = png->SaveToBytes();
    auto paper = components_test::Paper(4, 2);
    paper->Canvas()->Brush()->SetColor(vcl::clWhite);
    paper->Canvas()->FillRect(vcl::TRect(0, 0, 4, 2));
    DrawPng(png.get(), paper->Canvas(), vcl::TRect(0, 0, 4, 2), {pngBlendOnDisabled, pngGrayscaleOnDisabled});
    EXPECT_EQ(png->SaveToBytes(), bytes);
    const TColor black = paper->Canvas()->Pixels(1, 0);
    EXPECT_NEAR(black & 0xFF, 127, 2) << "half-transparent black over white";
    const TColor mid = paper->Canvas()->Pixels(2, 0);
    EXPECT_LE(std::abs((mid & 0xFF) - ((mid >> 16) & 0xFF)), 2) << "gray";
}

INSTANTIATE_TEST_SUITE_P(Types, PngTypes, ::testing::ValuesIn(kTypes),
                         [](const auto& Info) { return "Type" + std::to_string(Info.param); });

TEST(ScalePngOpacity, BitTransparentColourBecomesFullyTransparent) {
    for (uint8_t type : {vcl::COLOR_GRAYSCALE, vcl::COLOR_RGB, vcl::COLOR_PALETTE}) {
        auto png = Glyph(type);
        png->SetTransparentColor(vcl::clWhite);
        ASSERT_EQ(png->TransparencyMode(), vcl::ptmBit);
        ScalePngOpacity(png.get(), 190);
        EXPECT_EQ(png->AlphaScanline(0)[0], 0) << int(type);
        EXPECT_EQ(png->AlphaScanline(1)[0], 0) << int(type);
        EXPECT_NE(png->AlphaScanline(0)[1], 0) << int(type);
    }
}

TEST(GrayscalePng, AmountZeroIsNotSkipped) {
    auto png = Glyph(vcl::COLOR_RGB);
    GrayscalePng(png.get(), 0);
    EXPECT_EQ(png->Pixels(0, 0), 0xFEFEFE);
    auto bmp = Glyph(vcl::COLOR_RGB);
    BlendPngToGray(bmp.get(), 0);
    EXPECT_EQ(bmp->Pixels(0, 0), vcl::clWhite); // BlendPngToGray skips amount 0
}

TEST(GammaCorrectPng, BrightensThroughItsTable) {
    auto png = Glyph(vcl::COLOR_RGBALPHA);
    png->AlphaScanline(0)[2] = 77;
    const auto before = png->SaveToBytes();
    EXPECT_FALSE(GammaCorrectPng(png.get(), 1.0f));
    EXPECT_EQ(png->SaveToBytes(), before);

    ASSERT_TRUE(GammaCorrectPng(png.get(), 2.0f));
    EXPECT_EQ(png->Pixels(0, 0), vcl::clWhite);                    // T[255] = 255
    EXPECT_EQ(png->Pixels(1, 0), vcl::clBlack);                    // T[0] = 0
    EXPECT_EQ(png->Pixels(2, 0) & 0xFF, 226);                      // 255 * (200/255)^0.5 = 225.8
    EXPECT_EQ(png->AlphaScanline(0)[2], 77);

    auto low = Glyph(vcl::COLOR_RGB), floor = Glyph(vcl::COLOR_RGB);
    GammaCorrectPng(low.get(), 0.05f);
    GammaCorrectPng(floor.get(), 0.1f);
    EXPECT_EQ(Colours(*low), Colours(*floor));

    TPngImage empty;
    EXPECT_FALSE(GammaCorrectPng(&empty, 2.0f));
}

TEST(CopyPngImage, RefusesAnEmptySourceAndLeavesTheDestination) {
    TPngImage empty;
    auto dest = Glyph(vcl::COLOR_RGB);
    const auto bytes = dest->SaveToBytes();
    EXPECT_FALSE(CopyPngImage(&empty, dest.get()));
    EXPECT_FALSE(CopyPngImage(nullptr, dest.get()));
    EXPECT_EQ(dest->SaveToBytes(), bytes);

    auto source = Glyph(vcl::COLOR_PALETTE);
    TPngImage copy;
    EXPECT_TRUE(CopyPngImage(source.get(), &copy));
    EXPECT_EQ(copy.Header().ColorType, vcl::COLOR_PALETTE);
    EXPECT_EQ(Colours(copy), Colours(*source));
}

TEST(ConvertToPng, BitmapsAndPngs) {
    auto bmp = components_test::Paper(3, 2);
    bmp->Canvas()->SetPixels(1, 0, vcl::clRed);
    TPngImage out;
    ConvertToPng(bmp.get(), &out);
    EXPECT_FALSE(HasAlphaType(out)); // not transparent: no alpha
    EXPECT_EQ(out.Pixels(1, 0), vcl::clRed);
    EXPECT_EQ(out.Pixels(0, 1), components_test::kPaper);

    bmp->SetTransparent(true); // the bottom-left pixel names the transparent colour
    ConvertToPng(bmp.get(), &out);
    ASSERT_TRUE(HasAlphaType(out));
    EXPECT_EQ(out.AlphaScanline(0)[0], 0);
    EXPECT_EQ(out.AlphaScanline(0)[1], 255);

    auto glyph = Glyph(vcl::COLOR_PALETTE);
    ConvertToPng(glyph.get(), &out);
    EXPECT_EQ(out.Header().ColorType, vcl::COLOR_PALETTE);
    EXPECT_THROW(ConvertToPng(glyph.get(), nullptr), rtl::EAssertionFailed);
}

TEST(CreatePngFromMaskedBitmap, MaskColourBecomesTransparent) {
    auto bmp = components_test::Paper(3, 1);
    bmp->Canvas()->SetPixels(2, 0, vcl::clLime);
    TPngImage out;
    CreatePngFromMaskedBitmap(bmp.get(), vcl::clLime, &out);
    EXPECT_EQ(out.AlphaScanline(0)[0], 255);
    EXPECT_EQ(out.AlphaScanline(0)[2], 0);

    auto mask = components_test::Paper(3, 1);
    mask->Canvas()->SetPixels(0, 0, 0x000040);
    CreatePngFromBitmapAndMask(bmp.get(), mask.get(), &out, true);
    EXPECT_EQ(out.AlphaScanline(0)[0], 255 - 0x40);
    EXPECT_EQ(out.AlphaScanline(0)[1], 255 - 0x56); // the paper's red byte
}

// pngcheck accepts what the routines write, the gamma chunk survives a copy and is gone from an image
// rebuilt as true colour with alpha, and Python's zlib inflates the image data to whole rows.
TEST(PngRoutines, OutputPassesPngcheckAndInflates) {
    TW_REQUIRE_TOOL("pngcheck");
    TW_REQUIRE_TOOL("/usr/bin/python3", "import zlib, struct");
    testing_support::TempDir dir;
    // The palette glyph with a gAMA chunk of 1/2.2 inserted after IHDR by Python.
    const auto plainBytes = Glyph(vcl::COLOR_PALETTE)->SaveToBytes();
    const QString plain = dir.Write(QStringLiteral("plain.png"),
                                    QByteArray(reinterpret_cast<const char*>(plainBytes.data()), qsizetype(plainBytes.size())));
    const QString withGamma = dir.QFile(QStringLiteral("gamma.png"));
    const auto insert = testing_support::RunProgram(
        QStringLiteral("/usr/bin/python3"),
        {QStringLiteral("-c"),
         QStringLiteral("import sys,struct,zlib\n"
                        "d=open(sys.argv[1],'rb').read(); body=b'gAMA'+struct.pack('>I',45455)\n"
                        "c=struct.pack('>I',4)+body+struct.pack('>I',zlib.crc32(body))\n"
                        "open(sys.argv[2],'wb').write(d[:33]+c+d[33:])\n"),
         plain, withGamma});
    ASSERT_TRUE(insert.Ok()) << insert.Describe();

    auto save = [&](TPngImage& Png, const char* Name) {
        const QString path = dir.QFile(QString::fromUtf8(Name));
        Png.SaveToFile(path);
        return path;
    };
    TPngImage source;
    source.LoadFromFile(withGamma);
    TPngImage copy;
    ASSERT_TRUE(CopyPngImage(&source, &copy));
    const QString copied = save(copy, "copy.png");
    TPngImage faded;
    faded.Assign(&source);
    ScalePngOpacity(&faded, 190);
    const QString rebuilt = save(faded, "faded.png");
    QStringList others;
    int n = 0;
    for (uint8_t type : kTypes) {
        auto png = Glyph(type);
        ApplyDisabledOptions(png.get(), {pngBlendOnDisabled, pngGrayscaleOnDisabled});
        GammaCorrectPng(png.get(), 1.3f);
        others << save(*png, ("type" + std::to_string(n++) + ".png").c_str());
    }

    for (const QString& file : QStringList{copied, rebuilt} + others) {
        const auto check = testing_support::RunProgram(QStringLiteral("pngcheck"), {QStringLiteral("-v"), file});
        EXPECT_TRUE(check.Ok()) << file.toStdString() << "\n" << check.Out.toStdString();
        if (file == copied) {
            EXPECT_TRUE(check.Out.contains("chunk gAMA")) << check.Out.toStdString();
        }
        if (file == rebuilt) {
            EXPECT_FALSE(check.Out.contains("chunk gAMA")) << check.Out.toStdString();
            EXPECT_TRUE(check.Out.contains("RGB+alpha")) << check.Out.toStdString();
        }
        const auto inflate = testing_support::RunProgram(
            QStringLiteral("/usr/bin/python3"),
            {QStringLiteral("-c"),
             QStringLiteral("import sys,struct,zlib\n"
                            "d=open(sys.argv[1],'rb').read(); p=8; idat=b''\n"
                            "while p<len(d):\n"
                            "  n,=struct.unpack('>I',d[p:p+4]); t=d[p+4:p+8]\n"
                            "  if t==b'IHDR': w,h,depth,ct=struct.unpack('>IIBB',d[p+8:p+18])\n"
                            "  if t==b'IDAT': idat+=d[p+8:p+8+n]\n"
                            "  p+=12+n\n"
                            "ch={0:1,2:3,3:1,4:2,6:4}[ct]\n"
                            "print(len(zlib.decompress(idat))==h*(1+(w*ch*depth+7)//8))\n"),
             file});
        EXPECT_EQ(inflate.Out.trimmed(), QByteArray("True")) << file.toStdString() << inflate.Describe();
    }
}

TEST(IsWindowsXPOrLater, FromVersionFivePointOne) {
    struct Case {
        DWORD Major, Minor;
        bool Expected;
    } cases[] = {{4, 0, false}, {5, 0, false}, {5, 1, true}, {5, 2, true}, {6, 0, true}, {10, 0, true}};
    for (const Case& c : cases) {
        TwSetVersion(c.Major, c.Minor, 1);
        EXPECT_EQ(IsWindowsXPOrLater(), c.Expected) << c.Major << "." << c.Minor;
    }
    TwSetVersion(0, 0, 0);
    EXPECT_TRUE(IsWindowsXPOrLater());
}
