// base/Colors.h: colour values 0x00BBGGRR: building and splitting, lightening and darkening, HSL, and
// colours written as text ("#FF8000", "255, 128, 0", "$0080FF", "808080").
#pragma once
#include <cstdint>

#include "rtl/System.h"

namespace base {

// A colour; a value with the top bit set is a system colour (0xFF000000 + index).
using TColor = int32_t;

// The current RGB value of a system colour; other values pass unchanged.
TColor ColorToRGB(TColor Color);

TColor MakeColor(int R, int G, int B);
TColor MakeGrayColor(int V);
void SplitColor(TColor Color, int& R, int& G, int& B);
void SplitColorBytes(TColor Color, uint8_t& R, uint8_t& G, uint8_t& B);
TColor LightenColorPercent(TColor Color, int Percent);
TColor BrightenColorPercent(TColor Color, int Percent);
TColor ChangeColorByPercent(TColor Color, int Percent, bool Lighter);
TColor AddToColorChannels(TColor Color, int DeltaRed, int DeltaGreen, int DeltaBlue);
TColor ModifyColorChannels(TColor Color, int DeltaRed, int DeltaGreen, int DeltaBlue);
TColor AddToAllColorChannels(TColor Color, int Delta);

// The integer scales of ColorToHslRanged and HslRangedToColor; 360, 100, 100 at start.
extern int HueRange;
extern int SatRange;
extern int LumRange;
void SetHslRanges(int AHueRange, int ASatRange, int ALumRange);
void ResetHslRanges();
void ColorToHslRanged(TColor Color, int& H, int& S, int& L);
TColor HslRangedToColor(int H, int S, int L);
TColor HslToColor(double H, double S, double L); // each in 0..1
// Resets the HSL ranges as a side effect.
TColor ShiftColorHsl(TColor Color, int DeltaHue, int DeltaSat, int DeltaLum);

// Color is left unchanged when the text is not a colour.
bool TryTextToColor(const rtl::String& Text, TColor& Color);

} // namespace base
