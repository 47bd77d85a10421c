// vcl/GraphUtil.h: the class library's small drawing helpers on top of the canvas.
#pragma once
#include "vcl/Graphics.h"

namespace vcl {

enum TGradientDirection { gdHorizontal, gdVertical };

// Fills Rect with a linear blend from AStartColor (left or top) to AEndColor (right or bottom), through
// the GDI gradient fill. System colours are resolved first; an empty rectangle draws nothing.
void GradientFillCanvas(TCanvas* ACanvas, TColor AStartColor, TColor AEndColor, const TRect& ARect,
                        TGradientDirection Direction);

// A lighter shade of Color: its lightness on the system's 0..240 hue-lightness-saturation scale raised
// by Luminance (clamped to white), hue and saturation kept. System colours are resolved first;
// clNone and clDefault come back unchanged. Step 19 turns the button face into its highlight.
TColor GetHighLightColor(TColor Color, int Luminance = 19);

} // namespace vcl
