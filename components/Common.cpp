// components/Common.cpp
#include "components/Common.h"

#include "rtl/Math.h"

#include <cmath>

namespace components {

void TKwpPersistent::EndUpdate(bool bCallOnChangeAfterUpdate, bool bResetUpdatingState) {
    if (bResetUpdatingState)
        FUpdateCounter = 0;
    else if (--FUpdateCounter < 0)
        FUpdateCounter = 0;
    if (bCallOnChangeAfterUpdate && FUpdateCounter == 0) NotifyChanged(this);
}

void TKwpPersistent::NotifyChanged(rtl::TObject* Sender) {
    if (OnChange) OnChange(Sender);
}

TKwpTagExt::TKwpTagExt(rtl::TComponent*) : FDateValue(rtl::Now()) {}

TKwpControlBoundLabel::TKwpControlBoundLabel(rtl::TComponent* AOwner)
    : TKwpControlBoundLabel(AOwner, QStringLiteral("SubLabel")) {}

TKwpControlBoundLabel::TKwpControlBoundLabel(rtl::TComponent* AOwner, const rtl::String& AName)
    : vcl::TCustomLabel(AOwner) {
    SetName(AName);
    SetSubComponent(true);
    // Naming a control copies the name into an empty caption; a label without an owner stays blank.
    SetCaption(AOwner ? AOwner->Name() : rtl::String());
}

void TKwpControlBoundLabel::AdjustSize() {
    vcl::TCustomLabel::AdjustSize();
    if (OnAdjustBounds) OnAdjustBounds(this);
}

TKwpFocusRectParams::TKwpFocusRectParams(rtl::TComponent*) : FPen(std::make_unique<TPen>()) {
    FPen->OnChange = rtl::MakeEvent(static_cast<TKwpPersistent*>(this), &TKwpPersistent::NotifyChanged);
}

void TKwpFocusRectParams::SetPen(TPen* Value) {
    FPen->Assign(Value);
    NotifyChanged(this);
}

void TKwpFocusRectParams::SetSpacing(int32_t Value) {
    FSpacing = Value;
    NotifyChanged(this);
}

void TKwpFocusRectParams::SetFocusType(TKwpFocusRectType Value) {
    FFocusType = Value;
    NotifyChanged(this);
}

TKwpGradientEx::TKwpGradientEx(rtl::TComponent*) {}

TKwpGradientEx::~TKwpGradientEx() = default;

template <class T> void TKwpGradientEx::Change(T& Field, T Value, bool Accepted) {
    if (!Accepted || Field == Value) return;
    Field = Value;
    FAngleViewModified = true;
    NotifyChanged(this);
}

void TKwpGradientEx::SetColorFrom(TColor Value) {
    Change(FColorFrom, Value, true);
}
void TKwpGradientEx::SetColorTo(TColor Value) {
    Change(FColorTo, Value, true);
}
void TKwpGradientEx::SetBalance(uint16_t Value) {
    Change(FBalance, Value, Value <= 100);
}
void TKwpGradientEx::SetBalanceMode(TDgradBalanceMode Value) {
    Change(FBalanceMode, Value, true);
}
void TKwpGradientEx::SetAngleDegree(uint16_t Value) {
    Change(FAngleDegree, Value, Value <= 359);
}
void TKwpGradientEx::SetMaxDegrade(uint8_t Value) {
    Change(FMaxDegrade, Value, Value >= 1);
}
void TKwpGradientEx::SetSpeedPercent(int32_t Value) {
    Change(FSpeedPercent, Value, Value >= 0 && Value <= 100);
}

void TKwpGradientEx::SetOrientation(TDgradOrientation Value) {
    if (Value == FOrientation) return;
    FOrientation = Value;
    if (Value == dgdAngle) {
        if (!FAngleViewCache) FAngleViewCache = std::make_unique<TBitmap>();
    } else {
        FAngleViewCache.reset();
    }
    FAngleViewModified = true;
    NotifyChanged(this);
}

void TKwpGradientEx::Assign(rtl::TPersistent* Source) {
    auto* grex = dynamic_cast<TKwpGradientEx*>(Source);
    if (!grex) {
        TKwpPersistent::Assign(Source);
        return;
    }
    BeginUpdate();
    struct TEnd {
        TKwpGradientEx* Self;
        ~TEnd() { Self->EndUpdate(true, false); }
    } end{this};
    FAngleDegree = grex->FAngleDegree;
    FBalance = grex->FBalance;
    FBalanceMode = grex->FBalanceMode;
    FMaxDegrade = grex->FMaxDegrade;
    FOrientation = grex->FOrientation;
    FSpeedPercent = grex->FSpeedPercent;
    FColorFrom = grex->FColorFrom;
    FColorTo = grex->FColorTo;
    FAngleViewModified = true;
}

void TKwpGradientEx::Draw(TCanvas* aCanvas, const TRect& aRect) {
    if (FColorFrom == FColorTo) {
        aCanvas->Brush()->SetColor(FColorFrom);
        aCanvas->Brush()->SetStyle(vcl::bsSolid);
        aCanvas->FillRect(aRect);
        return;
    }
    if (FOrientation != dgdAngle) {
        DrawGradientEx(aCanvas, aRect, FColorFrom, FColorTo, FOrientation, FBalance, FAngleDegree, FBalanceMode,
                       FMaxDegrade, FSpeedPercent, true, nullptr);
        return;
    }
    const double w = aRect.Width(), h = aRect.Height();
    const int d = static_cast<int>(rtl::Round(std::sqrt(w * w + h * h)));
    TBitmap* cache = FAngleViewCache.get();
    if (cache && !FAngleViewModified && cache->Width() == d) {
        DrawCentred(aCanvas, aRect, cache, FAngleClipRect);
        return;
    }
    DrawGradientEx(aCanvas, aRect, FColorFrom, FColorTo, FOrientation, FBalance, FAngleDegree, FBalanceMode,
                   FMaxDegrade, FSpeedPercent, FAngleClipRect, cache);
    FAngleViewModified = false;
}

namespace {

enum class TSide { Top, Right, Bottom, Left };

void DrawBorderLines(TCanvas* Canvas, TRect R, TPen* Pen, bool Inward, TSide Side) {
    TPen* canvasPen = Canvas->Pen();
    const int savedWidth = canvasPen->Width();
    canvasPen->SetWidth(1);
    canvasPen->SetColor(Pen->Color());
    canvasPen->SetStyle(Pen->Style());
    canvasPen->SetMode(Pen->Mode());
    switch (Side) {
    case TSide::Top: break;
    case TSide::Right: R.Right -= 1; break;
    case TSide::Bottom: R.Left -= 1; R.Right -= 1; R.Bottom -= 1; break;
    case TSide::Left: R.Top -= 1; R.Bottom -= 1; break;
    }
    for (int i = 0; i < Pen->Width(); ++i) {
        switch (Side) {
        case TSide::Top: Canvas->MoveTo(R.Left, R.Top); Canvas->LineTo(R.Right, R.Top); break;
        case TSide::Right: Canvas->MoveTo(R.Right, R.Top); Canvas->LineTo(R.Right, R.Bottom); break;
        case TSide::Bottom: Canvas->MoveTo(R.Right, R.Bottom); Canvas->LineTo(R.Left, R.Bottom); break;
        case TSide::Left: Canvas->MoveTo(R.Left, R.Bottom); Canvas->LineTo(R.Left, R.Top); break;
        }
        if (Inward) {
            R.Inflate(-1, -1);
        } else {
            switch (Side) {
            case TSide::Top: R.Top += 1; break;
            case TSide::Right: R.Right -= 1; break;
            case TSide::Bottom: R.Bottom -= 1; break;
            case TSide::Left: R.Left += 1; break;
            }
        }
    }
    canvasPen->SetWidth(savedWidth);
}

} // namespace

void DrawTopBorderLines(TCanvas* Canvas, TRect R, TPen* Pen, bool Inward) {
    DrawBorderLines(Canvas, R, Pen, Inward, TSide::Top);
}
void DrawRightBorderLines(TCanvas* Canvas, TRect R, TPen* Pen, bool Inward) {
    DrawBorderLines(Canvas, R, Pen, Inward, TSide::Right);
}
void DrawBottomBorderLines(TCanvas* Canvas, TRect R, TPen* Pen, bool Inward) {
    DrawBorderLines(Canvas, R, Pen, Inward, TSide::Bottom);
}
void DrawLeftBorderLines(TCanvas* Canvas, TRect R, TPen* Pen, bool Inward) {
    DrawBorderLines(Canvas, R, Pen, Inward, TSide::Left);
}

void DrawFrame4Colors(TCanvas* Canvas, TRect& R, TColor LeftColor, TColor RightColor, TColor TopColor,
                      TColor BottomColor, int32_t Width) {
    Canvas->Pen()->SetWidth(1);
    R.Bottom -= 1;
    R.Right -= 1;
    auto side = [Canvas](TColor Color, int X, int Y) {
        if (Color == vcl::clNone) {
            Canvas->MoveTo(X, Y);
        } else {
            Canvas->Pen()->SetColor(Color);
            Canvas->LineTo(X, Y);
        }
    };
    for (int i = 0; i < Width; ++i) {
        Canvas->MoveTo(R.Left, R.Top);
        side(TopColor, R.Right, R.Top);
        side(RightColor, R.Right, R.Bottom);
        side(BottomColor, R.Left, R.Bottom);
        side(LeftColor, R.Left, R.Top);
        R.Inflate(-1, -1);
    }
    R.Bottom += 1;
    R.Right += 1;
}

void DrawFrame(TCanvas* Canvas, TRect& R, TColor Color, int32_t Width) {
    DrawFrame4Colors(Canvas, R, Color, Color, Color, Color, Width);
}

} // namespace components
