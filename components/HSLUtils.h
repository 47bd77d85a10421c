// components/HSLUtils.h: colours to hue-saturation-lightness and back, as fractions or on the
// integer scale (hue 0..239, saturation and lightness 0..240).
#pragma once
#include "vcl/Graphics.h"

namespace components {

inline int HSLRange = 240;

vcl::TColor HSLToRGB(double H, double S, double L);
vcl::TColor HSLRangeToRGB(int H, int S, int L);
void RGBToHSL(vcl::TColor RGB, double& H, double& S, double& L);
void RGBToHSLRange(vcl::TColor RGB, int& H, int& S, int& L);

} // namespace components
