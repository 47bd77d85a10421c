// styling/hooks/GlyphFont.h: the icon font among the program's resources (RCDATA "glyphfont"), whose
// private-use glyphs the interceptions draw on DCs and turn into icons.
#pragma once
#include <cstdint>

#include "rtl/System.h"
#include "vcl/Graphics.h"
#include "win/windows.h"

namespace styling {

// Accepted by the drawing calls for their callers' sake; the glyph is always drawn upright and centred.
enum class TGlyphOrientation { Horizontal, Vertical };
enum class TGlyphAlignment { Left, Center, Right };

class TGlyphFont {
public:
    // Installs the font of the resource for the process; raises EResNotFound without the resource and
    // the last system error when the font does not load.
    TGlyphFont();
    TGlyphFont(const TGlyphFont&) = delete;
    TGlyphFont& operator=(const TGlyphFont&) = delete;
    // The family the font declares (the name table), "GlyphFont" when it declares none.
    const rtl::String& FamilyName() const { return FFamilyName; }

    // The glyph centred horizontally at the top of DestRect, AFontHeight pixels to the em (DestRect's
    // height without one). Orientation and ImageAlignment are accepted and not used.
    void DrawChar(HDC DC, char16_t AChar, const vcl::TRect& DestRect, int AFontHeight, vcl::TColor AColor,
                  TGlyphOrientation Orientation = TGlyphOrientation::Horizontal, TGlyphAlignment ImageAlignment = TGlyphAlignment::Center);
    void DrawChar(HDC DC, char16_t AChar, const vcl::TRect& DestRect, vcl::TColor AColor, TGlyphOrientation Orientation = TGlyphOrientation::Horizontal,
                  TGlyphAlignment ImageAlignment = TGlyphAlignment::Center);
    void DrawChar(HDC DC, uint16_t ACode, const vcl::TRect& DestRect, int AFontHeight, vcl::TColor AColor,
                  TGlyphOrientation Orientation = TGlyphOrientation::Horizontal, TGlyphAlignment ImageAlignment = TGlyphAlignment::Center);
    void DrawChar(HDC DC, uint16_t ACode, const vcl::TRect& DestRect, vcl::TColor AColor, TGlyphOrientation Orientation = TGlyphOrientation::Horizontal,
                  TGlyphAlignment ImageAlignment = TGlyphAlignment::Center);

    // A Width x Height icon of the glyph, CharY pixels to the em, on ABackColor made transparent. The
    // caller owns the icon.
    HICON GetIcon(uint16_t ACode, int Width, int Height, int CharX, int CharY, vcl::TColor AColor,
                  vcl::TColor ABackColor, TGlyphOrientation Orientation = TGlyphOrientation::Horizontal, TGlyphAlignment ImageAlignment = TGlyphAlignment::Center);
    HICON GetIcon(uint16_t ACode, int Width, int Height, vcl::TColor AColor, vcl::TColor ABackColor,
                  TGlyphOrientation Orientation = TGlyphOrientation::Horizontal, TGlyphAlignment ImageAlignment = TGlyphAlignment::Center);

private:
    rtl::String FFamilyName;
};

// The family name (name id 1) in a TrueType file's name table; empty when there is none or the
// bytes are not a font.
rtl::String TrueTypeFamilyName(const uint8_t* Data, size_t Size);

// The one glyph font of the run, made on first use; null when the font cannot be loaded (then the
// glyphs are not drawn and nothing else fails).
TGlyphFont* GlyphFont();

} // namespace styling
