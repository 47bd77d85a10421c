#include "controls/RgStyles6.h"

#include "grid/shared/DrawHelpers.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Themes.h"
#include "win/uxtheme/uxtheme.h"

namespace controls {

using vcl::TCanvas;
using vcl::TColor;
using vcl::TPoint;
using vcl::TRect;

namespace {
TRgThemeLibrary6 gThemeLibrary;
} // namespace

const TRgThemeLibrary6& ThemeLibrary6() { return gThemeLibrary; }

void LoadThemeLibrary6() {
    if (gThemeLibrary.Module) return;
    const grid::TThemeLibrary& shared = grid::ThemeLibrary();
    if (!shared.Module) return;
    auto entry = [](auto Proc) { return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(Proc)); };
    gThemeLibrary.Module = shared.Module;
    gThemeLibrary.OpenThemeData = entry(shared.OpenThemeData);
    gThemeLibrary.CloseThemeData = entry(shared.CloseThemeData);
    gThemeLibrary.DrawThemeBackground = entry(shared.DrawThemeBackground);
    gThemeLibrary.DrawThemeEdge = entry(shared.DrawThemeEdge);
    gThemeLibrary.GetThemeSysSize = entry(shared.GetThemeSysSize);
    gThemeLibrary.IsThemeActive = entry(shared.IsThemeActive);
    gThemeLibrary.IsAppThemed = entry(shared.IsAppThemed);
}

void FreeThemeLibrary6() { gThemeLibrary = TRgThemeLibrary6{}; }

bool IsNativeThemeActive() { return IsThemeActive() != FALSE; }

bool IsVCLStyleActive6() {
    vcl::TCustomStyleServices* s = vcl::StyleServices();
    return s && s->Enabled() && s->Available();
}

bool CanUseStyle6(TRgStyleOptions Options) {
    return (Options.Contains(soVCLStyles) && IsVCLStyleActive6()) || (Options.Contains(soNativeStyles) && IsNativeThemeActive());
}

namespace {

enum class TWay { Style, Native, Classic };

TWay ChooseWay(TRgStyleOptions Options) {
    if (Options.Contains(soVCLStyles) && IsVCLStyleActive6()) return TWay::Style;
    if (Options.Contains(soNativeStyles) && IsNativeThemeActive()) return TWay::Native;
    return TWay::Classic;
}

template <class TElement> void DrawStyleElement(TCanvas* Canvas, TElement Element, const TRect& Dest) {
    vcl::TCustomStyleServices* s = vcl::StyleServices();
    s->DrawElement(Canvas->Handle(), s->GetElementDetails(Element), Dest);
}

void DrawThemePart(TCanvas* Canvas, HWND Handle, const char16_t* ClassName, int Part, int State, const TRect& Dest) {
    HTHEME theme = OpenThemeData(Handle, reinterpret_cast<LPCWSTR>(ClassName));
    if (!theme) return;
    const RECT r = Dest;
    DrawThemeBackground(theme, Canvas->Handle(), Part, State, &r, nullptr);
    CloseThemeData(theme);
}

// A one-pixel frame: TopLeft on the left and top edges, BottomRight on the right and bottom ones.
void Frame1(TCanvas* Canvas, TRect& R, TColor TopLeft, TColor BottomRight) {
    vcl::Frame3D(Canvas, R, TopLeft, BottomRight, 1);
}

} // namespace

void TRgDropButtonStyledView6::Paint(TCanvas* Canvas, HWND Handle, const TRect& Dest, TRgButtonState State,
                                     TRgStyleOptions Options) {
    const bool pressed = State.Contains(bsPressed), disabled = State.Contains(bsDisabled);
    switch (ChooseWay(Options)) {
    case TWay::Style: {
        vcl::TThemedComboBox e = vcl::tcDropDownButtonNormal;
        if (disabled)
            e = vcl::tcDropDownButtonDisabled;
        else if (State.Contains(bsChecked) || pressed)
            e = vcl::tcDropDownButtonPressed;
        else if (State.Contains(bsHover))
            e = vcl::tcDropDownButtonHot;
        DrawStyleElement(Canvas, e, Dest);
        break;
    }
    case TWay::Native: {
        const int state = (pressed || disabled || State.Contains(bsChecked)) ? 3 : State.Contains(bsHover) ? 2 : 0;
        DrawThemePart(Canvas, Handle, u"combobox", 1, state, Dest);
        break;
    }
    case TWay::Classic: {
        RECT r = Dest;
        UINT flags = DFCS_SCROLLCOMBOBOX | DFCS_ADJUSTRECT;
        if (pressed) flags |= DFCS_PUSHED;
        if (disabled) flags |= DFCS_INACTIVE;
        DrawFrameControl(Canvas->Handle(), &r, DFC_SCROLL, flags);
        break;
    }
    }
}

void TRgTrackBarStyle6::PaintTrack(TCanvas* Canvas, HWND Handle, const TRect& TrackRect, TRgStyleOptions Options) {
    switch (ChooseWay(Options)) {
    case TWay::Style: DrawStyleElement(Canvas, vcl::ttbTrack, TrackRect); break;
    case TWay::Native: DrawThemePart(Canvas, Handle, u"trackbar", 1, 1, TrackRect); break;
    case TWay::Classic: {
        TRect r = TrackRect;
        Frame1(Canvas, r, vcl::clBtnHighlight, vcl::clBtnShadow);
        Canvas->Brush()->SetColor(vcl::clBtnFace);
        Canvas->FillRect(r);
        break;
    }
    }
}

void TRgTrackBarStyle6::PaintThumb(TCanvas* Canvas, HWND Handle, const TRect& Dest, TRgButtonState State,
                                   TRgStyleOptions Options) {
    const bool disabled = State.Contains(bsDisabled), pressed = State.Contains(bsChecked) || State.Contains(bsPressed);
    switch (ChooseWay(Options)) {
    case TWay::Style:
        DrawStyleElement(Canvas,
                         disabled ? vcl::ttbThumbDisabled
                         : pressed ? vcl::ttbThumbPressed
                         : State.Contains(bsHover) ? vcl::ttbThumbHot
                                                   : vcl::ttbThumbNormal,
                         Dest);
        break;
    case TWay::Native:
        DrawThemePart(Canvas, Handle, u"trackbar", 6,
                      disabled ? 5 : State.Contains(bsPressed) ? 3 : State.Contains(bsHover) ? 2 : 1, Dest);
        break;
    case TWay::Classic: {
        // A thumb pointing down.
        const int l = Dest.Left, t = Dest.Top, r = Dest.Right, b = Dest.Bottom, a = (r - l) / 2;
        Canvas->Brush()->SetColor(vcl::clBtnFace);
        Canvas->Pen()->SetColor(vcl::clBtnFace);
        Canvas->Polygon({TPoint(l, t), TPoint(r, t), TPoint(r, b - a), TPoint(l + a, b), TPoint(l, b - a), TPoint(l, t)});
        Canvas->Pen()->SetColor(vcl::clBtnHighlight);
        Canvas->MoveTo(r - 1, t);
        Canvas->LineTo(l, t);
        Canvas->LineTo(l, b - a);
        Canvas->LineTo(l + a, b);
        Canvas->Pen()->SetColor(vcl::cl3DDkShadow);
        Canvas->LineTo(r, b - a);
        Canvas->LineTo(r, t - 1);
        Canvas->Pen()->SetColor(vcl::cl3DLight);
        Canvas->MoveTo(r - 2, t + 1);
        Canvas->LineTo(l + 1, t + 1);
        Canvas->LineTo(l + 1, b - a);
        Canvas->LineTo(l + a, b - 1);
        Canvas->Pen()->SetColor(vcl::clBtnShadow);
        Canvas->LineTo(r - 1, b - a);
        Canvas->LineTo(r - 1, t);
        break;
    }
    }
}

void TRgPageControlStyle6::PaintBackground(TCanvas* Canvas, HWND Handle, const TRect& Dest, TRgStyleOptions Options) {
    if (ChooseWay(Options) == TWay::Style) {
        vcl::TCustomStyleServices* s = vcl::StyleServices();
        const vcl::TThemedElementDetails d = s->GetElementDetails(vcl::ttPane);
        s->DrawParentBackground(Handle, Canvas->Handle(), &d, false);
        return;
    }
    Canvas->FillRect(Dest);
}

void TRgPageControlStyle6::PaintButton(TCanvas* Canvas, HWND Handle, const TRect& Dest, TRgButtonState State,
                                       TRgStyleOptions Options) {
    const bool pressed = State.Contains(bsPressed);
    switch (ChooseWay(Options)) {
    case TWay::Style: {
        vcl::TThemedButton e = State.Contains(bsSelected) ? vcl::tbPushButtonDefaulted : vcl::tbPushButtonNormal;
        if (State.Contains(bsHover)) e = vcl::tbPushButtonHot;
        if (pressed || State.Contains(bsChecked)) e = vcl::tbPushButtonPressed;
        if (State.Contains(bsDisabled)) e = vcl::tbPushButtonDisabled;
        DrawStyleElement(Canvas, e, Dest);
        break;
    }
    case TWay::Native: {
        Canvas->FillRect(Dest);
        TRect r = Dest;
        r.Inflate(1, 1);
        const int state =
            (pressed || State.Contains(bsChecked) || State.Contains(bsDisabled)) ? 3 : State.Contains(bsHover) ? 2 : 0;
        DrawThemePart(Canvas, Handle, u"button", 1, state, r);
        break;
    }
    case TWay::Classic: {
        TRect r = Dest;
        if (pressed) {
            Frame1(Canvas, r, vcl::clBtnShadow, vcl::clBtnHighlight);
            break;
        }
        Canvas->Brush()->SetColor(vcl::clBtnFace);
        Canvas->FillRect(r);
        Frame1(Canvas, r, vcl::clBtnHighlight, vcl::clBtnShadow);
        break;
    }
    }
}

void TRgPageControlStyle6::PaintTab(TCanvas* Canvas, HWND Handle, const TRect& Dest, TRgButtonState State,
                                    TRgStyleOptions Options, TRgTabsLocation TabsLocation) {
    switch (ChooseWay(Options)) {
    case TWay::Style: {
        // Per location the four elements Normal, Hot, Selected, Disabled follow one another.
        static constexpr vcl::TThemedTab kNormal[] = {vcl::ttTabItemNormal, vcl::ttTabItemLeftEdgeNormal,
                                                      vcl::ttTabItemRightEdgeNormal, vcl::ttTabItemBothEdgeNormal};
        const int base = kNormal[TabsLocation];
        const int offset = State.Contains(bsDisabled) ? 3 : State.Contains(bsSelected) ? 2 : State.Contains(bsHover) ? 1 : 0;
        DrawStyleElement(Canvas, static_cast<vcl::TThemedTab>(base + offset), Dest);
        break;
    }
    case TWay::Native: {
        int state = 0;
        if (State.Contains(bsSelected)) state = 3;
        if (State.Contains(bsHover)) state = 2;
        if (State.Contains(bsFocused)) state = 4;
        DrawThemePart(Canvas, Handle, u"tab", 2, state, Dest);
        break;
    }
    case TWay::Classic: {
        const int l = Dest.Left, t = Dest.Top, r = Dest.Right, b = Dest.Bottom;
        if (Canvas->Brush()->Color() != vcl::clNone) Canvas->FillRect(Dest);
        if (TabsLocation == tbRight || TabsLocation == tbBottom) {
            Canvas->Pen()->SetColor(vcl::clBtnShadow);
            Canvas->Polyline({TPoint(l, b - 1), TPoint(r - 1, b - 1), TPoint(r - 1, t - 1)});
        } else {
            Canvas->Pen()->SetColor(vcl::clBtnHighlight);
            Canvas->Polyline({TPoint(l, b), TPoint(l, t), TPoint(r, t)});
        }
        auto line = [&](TColor c, int x1, int y1, int x2, int y2) {
            Canvas->Pen()->SetColor(c);
            Canvas->MoveTo(x1, y1);
            Canvas->LineTo(x2, y2);
        };
        switch (TabsLocation) {
        case tbTop: line(vcl::clBtnShadow, r - 1, t + 1, r - 1, b); break;
        case tbLeft: line(vcl::clBtnShadow, l, b - 1, r, b - 1); break;
        case tbRight: line(vcl::clBtnHighlight, l, t, r, t); break;
        case tbBottom: line(vcl::clBtnHighlight, l, t, l, b - 1); break;
        }
        break;
    }
    }
}

} // namespace controls
