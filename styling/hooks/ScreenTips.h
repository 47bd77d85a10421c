// styling/hooks/ScreenTips.h: how the styled system tooltips look: a vertical gradient, a one-pixel
// frame and the tip text, in the hint colours of the active style or the defaults below.
#pragma once
#include "rtl/System.h"
#include "vcl/Graphics.h"
#include "vcl/Themes.h"

namespace styling {

struct TTooltipColors {
    vcl::TColor Frame = vcl::TColor(0x767676);
    vcl::TColor GradientTop = vcl::TColor(0xFFFFFF);
    vcl::TColor GradientBottom = vcl::TColor(0xEFE4E3);
    vcl::TColor Text = vcl::TColor(0x575757);
};

// The defaults, each replaced by the balloon-hint colour Style gives (the active style without
// one) when that style is enabled and the colour is not clNone.
TTooltipColors TooltipColors(vcl::TCustomStyleServices* Style = nullptr);

// Paints a tip over ClientRect and writes Text in TextRect with the screen's hint font, left-aligned,
// with its line breaks and '&' prefixes.
void DrawTooltip(vcl::TCanvas* Canvas, const vcl::TRect& ClientRect, const vcl::TRect& TextRect,
                 const rtl::String& Text, vcl::TCustomStyleServices* Style = nullptr);

} // namespace styling
