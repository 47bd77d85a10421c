// components/Common.h: the small classes every pack component shares (update counting and change
// notification, the extended tag, the caption label of edit-like controls, focus rectangle settings,
// the gradient object) and the border and frame drawing procedures.
#pragma once
#include "components/Gradient.h"
#include "rtl/Classes.h"
#include "rtl/DateUtils.h"
#include "vcl/StdCtrls.h"

#include <memory>

namespace components {

using vcl::TPen;

class TKwpPersistent : public rtl::TPersistent {
public:
    TKwpPersistent() = default;

    void BeginUpdate() { ++FUpdateCounter; }
    void EndUpdate(bool bCallOnChangeAfterUpdate, bool bResetUpdatingState);
    void NotifyChanged(rtl::TObject* Sender);
    int UpdateCounter() const { return FUpdateCounter; }

    rtl::TNotifyEvent OnChange;

private:
    int32_t FUpdateCounter = 0;
};

class TKwpTagExt : public rtl::TPersistent {
public:
    explicit TKwpTagExt(rtl::TComponent* AOwner = nullptr);

    int32_t IntValue() const { return FIntValue; }
    void SetIntValue(int32_t Value) { FIntValue = Value; }
    rtl::String StrValue() const { return FStrValue; }
    void SetStrValue(const rtl::String& Value) { FStrValue = Value; }
    double RealValue() const { return FRealValue; }
    void SetRealValue(double Value) { FRealValue = Value; }
    rtl::TDateTime DateValue() const { return FDateValue; }
    void SetDateValue(rtl::TDateTime Value) { FDateValue = Value; }
    void* PointerValue() const { return FPointerValue; }
    void SetPointerValue(void* Value) { FPointerValue = Value; }

private:
    int32_t FIntValue = 0;
    rtl::String FStrValue;
    double FRealValue = 0;
    rtl::TDateTime FDateValue;
    void* FPointerValue = nullptr;
};

// The caption label an edit-like control owns and keeps beside itself. The owner decides where it goes:
// it places the label in SetBounds and again from OnAdjustBounds whenever the label resized itself.
class TKwpControlBoundLabel : public vcl::TCustomLabel {
public:
    explicit TKwpControlBoundLabel(rtl::TComponent* AOwner);
    TKwpControlBoundLabel(rtl::TComponent* AOwner, const rtl::String& AName);

    rtl::TNotifyEvent OnAdjustBounds;

protected:
    void AdjustSize() override;

private:
    // Only the owning control moves the label (through SetBounds).
    using vcl::TCustomLabel::SetLeft;
    using vcl::TCustomLabel::SetTop;
};

enum TKwpFocusRectType : uint8_t { frtSystem, frtCustom, frtNone };

class TKwpFocusRectParams : public TKwpPersistent {
public:
    explicit TKwpFocusRectParams(rtl::TComponent* AOwner = nullptr);

    TPen* Pen() const { return FPen.get(); }
    void SetPen(TPen* Value);
    int32_t Spacing() const { return FSpacing; }
    void SetSpacing(int32_t Value);
    TKwpFocusRectType FocusType() const { return FFocusType; }
    void SetFocusType(TKwpFocusRectType Value);

private:
    std::unique_ptr<TPen> FPen;
    int32_t FSpacing = 2;
    TKwpFocusRectType FFocusType = frtNone;
};

class TKwpGradientEx : public TKwpPersistent {
public:
    explicit TKwpGradientEx(rtl::TComponent* AOwner = nullptr);
    ~TKwpGradientEx() override;

    void Assign(rtl::TPersistent* Source) override;
    void Draw(TCanvas* aCanvas, const TRect& aRect);

    TColor ColorFrom() const { return FColorFrom; }
    void SetColorFrom(TColor Value);
    TColor ColorTo() const { return FColorTo; }
    void SetColorTo(TColor Value);
    TDgradOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TDgradOrientation Value);
    uint16_t Balance() const { return FBalance; }
    void SetBalance(uint16_t Value);
    TDgradBalanceMode BalanceMode() const { return FBalanceMode; }
    void SetBalanceMode(TDgradBalanceMode Value);
    uint16_t AngleDegree() const { return FAngleDegree; }
    void SetAngleDegree(uint16_t Value);
    uint8_t MaxDegrade() const { return FMaxDegrade; }
    void SetMaxDegrade(uint8_t Value);
    int32_t SpeedPercent() const { return FSpeedPercent; }
    void SetSpeedPercent(int32_t Value);

    // The rotated picture of an angle gradient, kept between paints (nullptr for other orientations).
    TBitmap* AngleViewCache() const { return FAngleViewCache.get(); }
    bool AngleViewModified() const { return FAngleViewModified; }

private:
    template <class T> void Change(T& Field, T Value, bool Accepted);

    std::unique_ptr<TBitmap> FAngleViewCache;
    bool FAngleViewModified = true;
    bool FAngleClipRect = false;
    uint16_t FBalance = 50;
    TColor FColorFrom = vcl::clWhite;
    TColor FColorTo = vcl::clBtnFace;
    TDgradOrientation FOrientation = dgdVertical;
    uint16_t FAngleDegree = 45;
    TDgradBalanceMode FBalanceMode = bmNormal;
    uint8_t FMaxDegrade = 255;
    int32_t FSpeedPercent = 100;
};

// One side of a border as a stack of one-pixel lines, as many as the pen is wide.
void DrawTopBorderLines(TCanvas* Canvas, TRect R, TPen* Pen, bool Inward);
void DrawRightBorderLines(TCanvas* Canvas, TRect R, TPen* Pen, bool Inward);
void DrawBottomBorderLines(TCanvas* Canvas, TRect R, TPen* Pen, bool Inward);
void DrawLeftBorderLines(TCanvas* Canvas, TRect R, TPen* Pen, bool Inward);

// A frame with one colour per side (clNone: that side is left unpainted); R comes back as the
// frame's interior.
void DrawFrame4Colors(TCanvas* Canvas, TRect& R, TColor LeftColor, TColor RightColor, TColor TopColor,
                      TColor BottomColor, int32_t Width);
void DrawFrame(TCanvas* Canvas, TRect& R, TColor Color, int32_t Width);

} // namespace components
