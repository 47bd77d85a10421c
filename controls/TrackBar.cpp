#include "controls/TrackBar.h"

#include "controls/RgSharedDraw.h"

#include "rtl/Math.h"

#include <algorithm>
#include <cmath>

namespace controls {

using vcl::TColor;
using vcl::TPoint;
using vcl::TRect;

TKWRgTrackBar6::TKWRgTrackBar6(rtl::TComponent* AOwner) : TRgStyledControl6(AOwner) {
    SetBounds(Left(), Top(), 150, 25);
    SetTabStop(true);
}

// ---- geometry ----

TRect TKWRgTrackBar6::CalcContentRect() {
    TRect r = ClientRect();
    if (FImages) r.Bottom -= FImages->Height();
    return r;
}

TRect TKWRgTrackBar6::CalcMinusRect() {
    if (!FSignMinusVisible) return TRect();
    const TRect c = CalcContentRect();
    const int w = ScaleValue6(FSignsRectWidth), h = ScaleValue6(FSignsRectHeight);
    const int top = c.Top + c.Height() / 2 - h / 2;
    return TRect(c.Left, top, c.Left + w, top + h);
}

TRect TKWRgTrackBar6::CalcPlusRect() {
    const TRect c = CalcContentRect();
    if (!FSignPlusVisible) return TRect(c.Right, 0, c.Right, 0);
    const int w = ScaleValue6(FSignsRectWidth), h = ScaleValue6(FSignsRectHeight);
    const int top = c.Top + c.Height() / 2 - h / 2;
    return TRect(c.Right - w, top, c.Right, top + h);
}

TRect TKWRgTrackBar6::CalcTrackRect() {
    const TRect c = CalcContentRect();
    const int top = c.Top + c.Height() / 2 - FTrackHeight / 2;
    return TRect(CalcMinusRect().Right + ScaleValue6(4), top, CalcPlusRect().Left - ScaleValue6(4), top + FTrackHeight);
}

TPoint TKWRgTrackBar6::CalcThumbSize() {
    switch (FStyle) {
    case stNative: return ScalePoint6(TPoint(8, 13));
    case stModern: return ScalePoint6(TPoint(4, 11));
    case stUserDefined: break;
    }
    return ScalePoint6(TPoint(FThumbWidth, FThumbHeight));
}

int TKWRgTrackBar6::ValueToX(const TRect& Track, double V) const {
    // A range that is not above zero puts every value at the track's left end.
    if (Range() <= 0) return Track.Left;
    return Track.Left + static_cast<int>(std::nearbyint(Track.Width() * (V - FMin) / Range()));
}

TRect TKWRgTrackBar6::CalcThumbRect() {
    const TRect tr = CalcTrackRect();
    const TPoint size = CalcThumbSize();
    const int left = ValueToX(tr, FPosition) - size.X / 2;
    const int top = tr.Top + tr.Height() / 2 - size.Y / 2;
    return TRect(left, top, left + size.X, top + size.Y);
}

TRect TKWRgTrackBar6::CalcTrackHitRect() {
    TRect r = CalcTrackRect();
    const TRect thumb = CalcThumbRect();
    r.Top = thumb.Top;
    r.Bottom = thumb.Bottom;
    return r;
}

TRect TKWRgTrackBar6::CalcProgressRect() {
    TRect r = CalcTrackRect();
    r.Inflate(-2, -2);
    const TRect thumb = CalcThumbRect();
    const int middle = thumb.Left + thumb.Width() / 2;
    if (FProgressLocation == tpLeftToPosition) r.Right = middle;
    if (FProgressLocation == tpRightToPosition) r.Left = middle;
    return r;
}

double TKWRgTrackBar6::GetPositionAtPos(int X, int) {
    const TRect tr = CalcTrackRect();
    if (tr.Width() <= 0 || Range() <= 0) return FMin;
    double v = double(X - tr.Left) / tr.Width() * Range() + FMin;
    // RoundTo takes digits in -20..20 only; a precision beyond them rounds as far as it can.
    v = rtl::RoundTo(v, std::clamp(FPrecision, -20, 20));
    return std::max(std::min(v, FMax), FMin);
}

// ---- properties ----

void TKWRgTrackBar6::InvalidateThumbAndProgress() {
    InvalidateRectNoErase(CalcThumbRect());
    if (FProgressLocation != tpHidden) InvalidateRectNoErase(CalcProgressRect());
}

void TKWRgTrackBar6::SetPosition(double Value) {
    // NaN passes every comparison and ±∞ would later be cast to a pixel: neither is a position.
    if (!std::isfinite(Value) || Value == FPosition) return;
    Value = std::max(std::min(Value, FMax), FMin);
    if (Value == FPosition) return;
    InvalidateThumbAndProgress();
    FPosition = Value;
    DoChange();
    InvalidateThumbAndProgress();
}

void TKWRgTrackBar6::SetMax(double Value) {
    if (!std::isfinite(Value) || Value == FMax) return;
    FMax = Value;
    if (FMax <= FMin) FMax = FMin + FStep;
    Invalidate();
    // The position stays inside the range.
    if (FPosition > FMax) SetPosition(FMax);
}

void TKWRgTrackBar6::SetMin(double Value) {
    if (!std::isfinite(Value) || Value == FMin) return;
    FMin = Value;
    if (FMin >= FMax) FMin = FMax - FStep;
    Invalidate();
    if (FPosition < FMin) SetPosition(FMin);
}

void TKWRgTrackBar6::SetProgressColor(TColor Value) {
    if (Value == FProgressColor) return;
    FProgressColor = Value;
    InvalidateRectNoErase(CalcProgressRect());
}

void TKWRgTrackBar6::SetTrackGradientDirection(vcl::TGradientDirection Value) {
    if (Value == FTrackGradientDirection) return;
    FTrackGradientDirection = Value;
    if (FTrackColorTo != vcl::clNone) Invalidate();
}

void TKWRgTrackBar6::SetProgressGradientDirection(vcl::TGradientDirection Value) {
    if (Value == FProgressGradientDirection) return;
    FProgressGradientDirection = Value;
    if (FProgressColorTo != vcl::clNone) Invalidate();
}

void TKWRgTrackBar6::SetImages(vcl::TCustomImageList* Value) {
    if (Value == FImages) return;
    if (FImages) FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (FImages) FImages->FreeNotification(this);
    Invalidate();
}

void TKWRgTrackBar6::Notification(rtl::TComponent* AComponent, rtl::TOperation Operation) {
    TRgStyledControl6::Notification(AComponent, Operation);
    if (Operation == rtl::opRemove && AComponent == FImages) {
        FImages = nullptr;
        Invalidate();
    }
}

void TKWRgTrackBar6::SetState(TRgButtonState Value) {
    if (Value == FState) return;
    FState = Value;
    Invalidate();
}

// ---- input ----

void TKWRgTrackBar6::MouseDown(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y) {
    TRgStyledControl6::MouseDown(Button, Shift, X, Y);
    if (Button != vcl::mbLeft) return;
    const TPoint p(X, Y);
    if (PointInRectEx(p, CalcMinusRect(), false)) {
        SetPosition(FPosition - FStep);
    } else if (PointInRectEx(p, CalcPlusRect(), false)) {
        SetPosition(FPosition + FStep);
    } else if (PointInRectEx(p, CalcTrackHitRect(), false) || PointInRectEx(p, CalcThumbRect(), false)) {
        SetPosition(GetPositionAtPos(X, Y));
        SetState(FState + TRgButtonState{bsPressed});
    }
    if (CanFocus() && IsParentFormShowing()) SetFocus();
}

void TKWRgTrackBar6::MouseMove(vcl::TShiftState Shift, int X, int Y) {
    TRgStyledControl6::MouseMove(Shift, X, Y);
    if (FState.Contains(bsPressed)) SetPosition(GetPositionAtPos(X, Y));
    if (PointInRectEx(TPoint(X, Y), CalcThumbRect(), false))
        SetState(FState + TRgButtonState{bsHover});
    else
        SetState(FState - TRgButtonState{bsHover});
}

void TKWRgTrackBar6::MouseUp(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y) {
    TRgStyledControl6::MouseUp(Button, Shift, X, Y);
    SetState(FState - TRgButtonState{bsPressed});
}

void TKWRgTrackBar6::KeyDown(WORD& Key, vcl::TShiftState Shift) {
    TRgStyledControl6::KeyDown(Key, Shift);
    switch (Key) {
    case VK_RIGHT: SetPosition(FPosition + FStep); break;
    case VK_LEFT: SetPosition(FPosition - FStep); break;
    case VK_HOME: SetPosition(FMin); break;
    case VK_END: SetPosition(FMax); break;
    default: break;
    }
}

bool TKWRgTrackBar6::DoWheel(const TKWRgWheelEvent& Event, vcl::TShiftState Shift, const TPoint& MousePos) {
    if (!Event) return true;  // handled: without a handler the wheel moves nothing
    bool allow = true;
    Event(this, Shift, FPosition, MousePos, allow);
    return allow;
}

bool TKWRgTrackBar6::DoMouseWheelDown(vcl::TShiftState Shift, const TPoint& MousePos) {
    TRgStyledControl6::DoMouseWheelDown(Shift, MousePos);
    return DoWheel(OnMouseWheelDown, Shift, MousePos);
}

bool TKWRgTrackBar6::DoMouseWheelUp(vcl::TShiftState Shift, const TPoint& MousePos) {
    TRgStyledControl6::DoMouseWheelUp(Shift, MousePos);
    return DoWheel(OnMouseWheelUp, Shift, MousePos);
}

void TKWRgTrackBar6::Dispatch(vcl::TMessage& Message) {
    TRgStyledControl6::Dispatch(Message);
    if (Message.Msg == WM_GETDLGCODE) Message.Result |= DLGC_WANTARROWS | DLGC_WANTCHARS;
    if (Message.Msg == WM_MOUSEWHEEL) OnMouseWheel(this, Message);
}

// ---- painting ----

void TKWRgTrackBar6::DrawSign(const TRect& Box, bool Plus) {
    vcl::TCanvas* c = Canvas();
    c->Pen()->SetColor(FSignsRectColor);
    c->Pen()->SetStyle(FSignsRectTransparent ? vcl::psClear : vcl::psSolid);
    c->Brush()->SetColor(FSignsRectBackgroundColor);
    if (FSignsTransparentBackground) c->Brush()->SetStyle(vcl::bsClear);
    c->Rectangle(Box);
    c->Pen()->SetStyle(vcl::psSolid);
    c->Brush()->SetColor(FSignsColor);
    c->Pen()->SetColor(FSignsColor);
    const int l = Box.Left + Box.Width() / 2 - FSignsWidth / 2, t = Box.Top + Box.Height() / 2 - FSignsHeight / 2;
    c->Rectangle(vcl::Bounds(l, t, FSignsWidth, FSignsHeight));
    if (Plus) {
        const int vl = Box.Left + Box.Width() / 2 - FSignsHeight / 2, vt = Box.Top + Box.Height() / 2 - FSignsWidth / 2;
        c->Rectangle(vcl::Bounds(vl, vt, FSignsHeight, FSignsWidth));
    }
}

void TKWRgTrackBar6::DrawTicks(const TRect& Track) {
    if (FTickFrequency <= 0 || Range() <= 0) return;
    vcl::TCanvas* c = Canvas();
    c->Pen()->SetColor(FTickMarkColor);
    const int y1 = Track.Bottom + FTickTopMargin, y2 = y1 + FTickSize;
    auto tick = [&](int x) {
        c->MoveTo(x, y1);
        c->LineTo(x, y2);
    };
    // More ticks than pixel columns mark every column; walking the values would not end in time.
    if (Range() / FTickFrequency > Track.Width() + 1) {
        for (int x = Track.Left; x <= Track.Right; ++x) tick(x);
        return;
    }
    for (double v = FMin; v <= FMax; v += FTickFrequency) tick(ValueToX(Track, v));
}

void TKWRgTrackBar6::DrawImages(const TRect& Track) {
    if (!FImages || Range() <= 0) return;
    const int advance = static_cast<int>(std::nearbyint(Track.Width() / Range()));
    int x = Track.Left - FImages->Width() / 2;
    const int y = Track.Bottom + FImagesDistance;
    for (int n = 0; n < FImages->Count() && FMin + n * FStep <= FMax; ++n, x += advance) FImages->Draw(Canvas(), x, y, n);
}

void TKWRgTrackBar6::DrawProgress(TRect R) {
    if (FProgressFillMode == pfmHidden) return;
    vcl::TCanvas* c = Canvas();
    if (FStyle == stModern) {
        c->Brush()->SetColor(GetSchemeColor6(7));
        c->FillRect(R);
    } else {
        c->Brush()->SetColor(FProgressColor);
    }
    if (Enabled()) {
        c->Pen()->SetColor(c->Brush()->Color());
        c->Pen()->SetStyle(vcl::psSolid);
    } else {
        c->Pen()->SetColor(FProgressDisabledBorderColor);
        c->Brush()->SetColor(FProgressDisabledColor);
    }
    if (FProgressFillMode == pfmFull) R.Inflate(1, 1);
    if (FProgressFillMode == pfmFullWithBorder) R.Inflate(2, 2);
    if (FProgressColorTo == vcl::clNone)
        c->Rectangle(R);
    else
        vcl::GradientFillCanvas(c, FProgressColor, FProgressColorTo, R, FProgressGradientDirection);
}

void TKWRgTrackBar6::Paint() {
    TRgStyledControl6::Paint();
    vcl::TCanvas* c = Canvas();
    FillBackground(ClientRect(), Color());
    if (FSignMinusVisible) DrawSign(CalcMinusRect(), false);
    if (FSignPlusVisible) DrawSign(CalcPlusRect(), true);
    const TRect tr = CalcTrackRect();
    if (FTickMarks) DrawTicks(tr);
    DrawImages(tr);
    const TRect thumb = CalcThumbRect();
    const bool hot = FState.Contains(bsHover) || FState.Contains(bsPressed);
    switch (FStyle) {
    case stNative: {
        HWND wnd = Parent() ? Parent()->Handle() : Handle();
        TRgTrackBarStyle6::PaintTrack(c, wnd, tr, StyleOptions());
        DrawProgress(CalcProgressRect());
        TRgTrackBarStyle6::PaintThumb(c, wnd, thumb, FState, StyleOptions());
        break;
    }
    case stModern:
        c->FillRect(tr);
        if (hot) c->Brush()->SetColor(GetSchemeColor6(17));
        DrawProgress(CalcProgressRect());
        c->FillRect(thumb);
        break;
    case stUserDefined: {
        const bool on = Enabled();
        const TColor from = on ? FTrackColor : FTrackDisabledColor, to = on ? FTrackColorTo : FTrackDisabledColorTo;
        if (to == vcl::clNone) {
            c->Brush()->SetColor(from);
            c->FillRect(tr);
        } else {
            vcl::GradientFillCanvas(c, from, to, tr, FTrackGradientDirection);
        }
        c->Brush()->SetStyle(vcl::bsClear);
        c->Pen()->SetColor(on ? FTrackBorderColor : FTrackDisabledBorderColor);
        c->Rectangle(tr);
        c->Brush()->SetStyle(vcl::bsSolid);
        DrawProgress(CalcProgressRect());
        TColor fill = FThumbDisabledColor, border = FThumbDisabledBorderColor;
        if (on && hot) {
            fill = FThumbHotColor;
            border = FThumbHotBorderColor;
        } else if (on) {
            fill = FThumbColor;
            border = FThumbBorderColor;
        }
        c->Brush()->SetColor(fill);
        c->Pen()->SetColor(border);
        c->Rectangle(thumb);
        break;
    }
    }
}

} // namespace controls
