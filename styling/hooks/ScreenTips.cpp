// styling/hooks/ScreenTips.cpp
#include "styling/hooks/ScreenTips.h"

#include "vcl/Forms.h"
#include "vcl/GraphUtil.h"

namespace styling {

using namespace vcl;

TTooltipColors TooltipColors(TCustomStyleServices* Style) {
    TTooltipColors colours;
    if (!Style) Style = TStyleManager::ActiveStyle();
    if (!Style || !Style->Enabled()) return colours;
    const TThemedElementDetails details = Style->GetElementDetails(thHintBalloon);
    const struct {
        TElementColor Role;
        TColor* Into;
    } roles[] = {{ecBorderColor, &colours.Frame},
                 {ecGradientColor1, &colours.GradientTop},
                 {ecGradientColor2, &colours.GradientBottom},
                 {ecTextColor, &colours.Text}};
    for (const auto& r : roles) {
        TColor c = clNone;
        if (Style->GetElementColor(details, r.Role, c) && c != clNone) *r.Into = c;
    }
    return colours;
}

void DrawTooltip(TCanvas* Canvas, const TRect& ClientRect, const TRect& TextRect, const rtl::String& Text,
                 TCustomStyleServices* Style) {
    const TTooltipColors colours = TooltipColors(Style);
    GradientFillCanvas(Canvas, colours.GradientTop, colours.GradientBottom, ClientRect, gdVertical);
    HDC dc = Canvas->Handle();
    HBRUSH frame = CreateSolidBrush(COLORREF(ColorToRGB(colours.Frame)) & 0xFFFFFF);
    const RECT client = ClientRect;
    FrameRect(dc, &client, frame);
    DeleteObject(frame);
    if (Screen) SelectObject(dc, Screen->HintFont()->Handle());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, COLORREF(ColorToRGB(colours.Text)) & 0xFFFFFF);
    // The window text of a tip is read up to 1024 characters.
    const rtl::String text = Text.left(1024);
    RECT r = TextRect;
    DrawTextW(dc, reinterpret_cast<LPCWSTR>(text.utf16()), int(text.size()), &r, 0);
}

} // namespace styling
