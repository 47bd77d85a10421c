// tests/styling/hooks/GlyphFontTest.cpp: the icon font from the program's resources, drawn on a DC
// and made into icons.
#include <gtest/gtest.h>

#include <memory>

#include "styling/hooks/GlyphFont.h"
#include "styling/hooks/StyleGraphics.h"

using namespace vcl;
using namespace styling;

namespace {

constexpr uint16_t Check = 0xF00C;

TGlyphFont* LoadedFont() {
#ifndef TW_HAVE_GLYPH_FONT
    return nullptr;
#else
    return GlyphFont();
#endif
}

#define REQUIRE_FONT(F)                                                                                       \
    TGlyphFont* F = LoadedFont();                                                                             \
    if (!F) GTEST_SKIP() << "no glyph font: install fonts-fork-awesome"

std::unique_ptr<TBitmap> White(int W, int H) {
    auto bmp = std::make_unique<TBitmap>(W, H);
    bmp->SetPixelFormat(pf32bit);
    bmp->Canvas()->Brush()->SetColor(clWhite);
    bmp->Canvas()->FillRect(Rect(0, 0, W, H));
    return bmp;
}

// The box around the pixels that are not white.
TRect Inked(TBitmap& Bmp) {
    TRect box(Bmp.Width(), Bmp.Height(), 0, 0);
    for (int y = 0; y < Bmp.Height(); ++y)
        for (int x = 0; x < Bmp.Width(); ++x)
            if ((GetPixel(Bmp.Canvas()->Handle(), x, y) & 0xFFFFFF) != 0xFFFFFF) {
                box.Left = std::min<LONG>(box.Left, x), box.Top = std::min<LONG>(box.Top, y);
                box.Right = std::max<LONG>(box.Right, x + 1), box.Bottom = std::max<LONG>(box.Bottom, y + 1);
            }
    return box;
}

} // namespace

TEST(GlyphFontName, ReadFromTheNameTable) {
    EXPECT_TRUE(TrueTypeFamilyName(nullptr, 0).isEmpty());
    const uint8_t junk[] = {0, 1, 0, 0, 0, 9, 0, 0, 0, 0, 0, 0, 'n', 'a', 'm', 'e'};
    EXPECT_TRUE(TrueTypeFamilyName(junk, sizeof junk).isEmpty()) << "a table count past the end";
    REQUIRE_FONT(font);
    EXPECT_EQ(font->FamilyName().toLower(), QStringLiteral("forkawesome"));
}

TEST(GlyphFont, DrawsTheGlyphCentredAtTheTopAndLeavesTheDc) {
    REQUIRE_FONT(font);
    auto bmp = White(64, 64);
    HDC dc = bmp->Canvas()->Handle();
    const HGDIOBJ oldFont = GetCurrentObject(dc, OBJ_FONT);
    const COLORREF oldText = GetTextColor(dc);
    font->DrawChar(dc, Check, Rect(0, 0, 64, 64), 24, TColor(0x0000FF));
    const TRect ink = Inked(*bmp);
    ASSERT_FALSE(ink.IsEmpty()) << "nothing drawn";
    EXPECT_LE(ink.Bottom, 32) << "a 24-pixel glyph stays in the top half";
    EXPECT_NEAR((ink.Left + ink.Right) / 2.0, 32, 3) << "centred horizontally";
    EXPECT_GE(ink.Width(), 12);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), oldFont);
    EXPECT_EQ(GetTextColor(dc), oldText);
    bool red = false;
    for (int y = ink.Top; y < ink.Bottom && !red; ++y)
        for (int x = ink.Left; x < ink.Right && !red; ++x) red = (GetPixel(dc, x, y) & 0xFFFFFF) == RGB(255, 0, 0);
    EXPECT_TRUE(red) << "the glyph is in the asked colour";

    auto whole = White(64, 32);
    font->DrawChar(whole->Canvas()->Handle(), char16_t(Check), Rect(0, 0, 64, 32), clBlack);
    EXPECT_GT(Inked(*whole).Height(), 16) << "without a height the rectangle's height is the font's";
}

TEST(GlyphFont, IconHasAnOpaqueGlyphOnAClearBackground) {
    REQUIRE_FONT(font);
    HICON icon = font->GetIcon(Check, 32, 32, 32, 16, clBlack, clWhite);
    ASSERT_NE(icon, nullptr);
    // Drawn on green: the background shows through, the glyph covers it.
    TBitmap green(32, 32);
    green.SetPixelFormat(pf32bit);
    green.Canvas()->Brush()->SetColor(TColor(0x00FF00));
    green.Canvas()->FillRect(Rect(0, 0, 32, 32));
    HDC dc = green.Canvas()->Handle();
    ASSERT_TRUE(DrawIconEx(dc, 0, 0, icon, 32, 32, 0, nullptr, DI_NORMAL));
    TRect ink(32, 32, 0, 0);
    int black = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const COLORREF c = GetPixel(dc, x, y) & 0xFFFFFF;
            EXPECT_NE(c, RGB(255, 255, 255)) << "the back colour is see-through at " << x << "," << y;
            if (c == RGB(0, 0, 0)) {
                ++black;
                ink.Left = std::min<LONG>(ink.Left, x), ink.Top = std::min<LONG>(ink.Top, y);
                ink.Right = std::max<LONG>(ink.Right, x + 1), ink.Bottom = std::max<LONG>(ink.Bottom, y + 1);
            }
        }
    EXPECT_GT(black, 10);
    EXPECT_LE(ink.Bottom, 18) << "a 16-pixel glyph at the top of a 32-pixel icon";
    EXPECT_NEAR((ink.Left + ink.Right) / 2.0, 16, 3);
    DestroyIcon(icon);
    EXPECT_EQ(font->GetIcon(Check, 0, 16, clBlack, clWhite), nullptr);
}

TEST(GlyphFont, EveryCodeTheInterceptionsUseHasAGlyph) {
    REQUIRE_FONT(font);
    const uint16_t codes[] = {0xF002, 0xF00C, 0xF021, 0xF060, 0xF061, 0xF0D7, 0xF111, 0xF133, 0xF062, 0xF08D};
    for (uint16_t code : codes) {
        auto bmp = White(24, 24);
        font->DrawChar(bmp->Canvas()->Handle(), code, Rect(0, 0, 24, 24), clBlack);
        const TRect ink = Inked(*bmp);
        EXPECT_GE(ink.Width(), 4) << std::hex << code;
        EXPECT_GE(ink.Height(), 4) << std::hex << code;
    }
}
