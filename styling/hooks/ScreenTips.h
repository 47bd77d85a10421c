// styling/hooks/ScreenTips.h: how the styled system tooltips look: a vertical gradient, a one-pixel
// frame and the tip text, in the hint colours of the active style or the defaults below.
#pragma once
#include "rtl/System.h"
#include "vcl/Graphics.h"
#include "vcl/Themes.h"
#include "styling/hooks/SysStyleHook.h"

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

// The hook of the system's tooltip windows ("tooltips_class32"): the tip's own painting first, then
// the styled tip over it; balloon tips keep their own look.
class TSysTooltipsStyleHook : public TSysStyleHook {
public:
    explicit TSysTooltipsStyleHook(HWND AHandle);
    void Paint(vcl::TCanvas* Canvas) override;

protected:
    void WMPaint(TMessage& Message) override;
};

// Start-up and end of the tooltip unit: the class library's own tooltip styling is always switched
// off; the hook is registered when the active style is available, unregistered at the end.
void InitScreenTips();
void FinalScreenTips();

} // namespace styling
