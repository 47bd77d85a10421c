// components/PngUtils.h: the disabled looks of PNG glyphs, drawing with them, and turning bitmaps into
// PNGs with an alpha channel.
#pragma once
#include "vcl/PngImage.h"

#include <array>
#include <cstdint>

namespace components {

enum TPngOption : uint8_t { pngBlendOnDisabled, pngGrayscaleOnDisabled };
using TPngOptions = rtl::TSet<TPngOption>;

// Fades the image: 255 keeps it, smaller amounts make it more transparent. Grayscale and palette
// images come back as true colour with alpha.
void ScalePngOpacity(vcl::TPngImage* Png, uint8_t Amount);
void GrayscalePng(vcl::TPngImage* Png, uint8_t Amount);
// Draws a faded and/or gray copy; the given image is left as it is.
void DrawPng(vcl::TPngImage* Png, vcl::TCanvas* Canvas, const vcl::TRect& ARect, TPngOptions Options);
void ApplyDisabledOptions(vcl::TPngImage* Png, TPngOptions Options);

void ConvertToPng(vcl::TGraphic* Source, vcl::TPngImage* Dest);
void CreatePngFromBitmapAndMask(vcl::TBitmap* Bitmap, vcl::TBitmap* Mask, vcl::TPngImage* Dest, bool InverseMask);
void CreatePngFromMaskedBitmap(vcl::TBitmap* Bitmap, vcl::TColor MaskColor, vcl::TPngImage* Dest);

// An NT-family system of version 5.1 or later (icons there carry an alpha channel).
bool IsWindowsXPOrLater();

// Blue, green, red: the memory order of a 24-bit pixel.
std::array<uint8_t, 3> ColorToTriple(vcl::TColor Color);

} // namespace components
