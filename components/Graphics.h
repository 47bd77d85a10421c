// components/Graphics.h: pixel routines on PNG glyphs shared by the pack's buttons.
#pragma once
#include "vcl/PngImage.h"

#include <cstdint>

namespace components {

enum TKwpBlendIntensity : uint8_t { biNone, biLow, biBelowNormal, biNormal, biBelowMax, biMax };
enum TKwpGrayscaleIntensity : uint8_t {
    giNone,
    gi10Percent,
    gi20Percent,
    gi30Percent,
    gi40Percent,
    gi50Percent,
    gi60Percent,
    gi70Percent,
    gi80Percent,
    gi90Percent,
    gi100Percent
};

// Moves the colour toward its gray by Amount/255.
void BlendPixelToGray(uint8_t& Red, uint8_t& Green, uint8_t& Blue, uint8_t Amount);
void BlendPngToGray(vcl::TPngImage* Png, uint8_t Amount);
// A copy through saving and loading; false (destination untouched) for a missing or empty source.
bool CopyPngImage(vcl::TPngImage* Source, vcl::TPngImage* Dest);
// False when there is nothing to do (gamma 1, an empty image, no true-colour pixels).
bool GammaCorrectPng(vcl::TPngImage* Png, float Gamma);

} // namespace components
