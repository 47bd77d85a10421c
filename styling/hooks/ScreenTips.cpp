// styling/hooks/ScreenTips.cpp
#include "styling/hooks/ScreenTips.h"

#include "vcl/Forms.h"
#include "vcl/GraphUtil.h"
#include "styling/hooks/SysControls.h"
#include "win/comctl32/commctrl.h"

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

TSysTooltipsStyleHook::TSysTooltipsStyleHook(HWND AHandle) : TSysStyleHook(AHandle) {
    SetStyleElements(TStyleElements{seClient});
}

void TSysTooltipsStyleHook::WMPaint(TMessage& Message) {
    CallDefaultProc(Message);
    if (!(FSysControl->Style() & TTS_BALLOON)) TSysStyleHook::WMPaint(Message);
    // The tip's own procedure has had the message: never a second time.
    FHandled = true;
}

void TSysTooltipsStyleHook::Paint(TCanvas* Canvas) {
    const TRect client = FSysControl->ClientRect();
    RECT text = client;
    SendMessageW(FHandle, TTM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&text));
    DrawTooltip(Canvas, client, TRect(text), FSysControl->Text());
}

namespace {
const rtl::String TooltipClass = QStringLiteral("tooltips_class32");
}

void InitScreenTips() {
    TStyleManager::SetSystemHooks(TStyleManager::SystemHooks() - TSystemHooks{shToolTips});
    if (TStyleManager::ActiveStyle()->Available())
        TSysStyleManager::RegisterSysStyleHook(TooltipClass, &CreateHook<TSysTooltipsStyleHook>);
}

void FinalScreenTips() { TSysStyleManager::UnRegisterSysStyleHook(TooltipClass, &CreateHook<TSysTooltipsStyleHook>); }

} // namespace styling
