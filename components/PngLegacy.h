// components/PngLegacy.h: the disabled look of a speed button's glyph, and the PNG picture class under
// the older class name that stored pictures may carry.
#pragma once
#include "components/Graphics.h"
#include "vcl/PngImage.h"

namespace components {

// A PNG image under its former class name; it adds nothing.
class TPNGObject : public vcl::TPngImage {};

// Fades and greys a disabled glyph in place: grey first, then the opacity.
void MakeDisabledPng(vcl::TPngImage* Png, TKwpBlendIntensity BlendIntensity, TKwpGrayscaleIntensity GrayscaleIntensity,
                     bool Blend, bool Grayscale);

} // namespace components
