// controls/TrackBar.h: a horizontal slider over a real-valued range, with a minus box at the left and
// a plus box at the right, a progress bar from one end to the thumb, tick marks and images.
#pragma once
#include <cmath>

#include "controls/RgControls6.h"
#include "vcl/GraphUtil.h"
#include "vcl/ImgList.h"

namespace controls {

enum TKWRgTrackProgress { tpHidden, tpLeftToPosition, tpRightToPosition };
enum TKWRgTrackBarProgressFillMode { pfmDefault, pfmFull, pfmFullWithBorder, pfmHidden };
using TKWRgWheelEvent =
    rtl::TEvent<void(rtl::TObject* Sender, vcl::TShiftState Shift, double Position, vcl::TPoint MousePos, bool& Allow)>;
using TKWRgMouseWheel = rtl::TEvent<void(rtl::TObject* Sender, vcl::TMessage& Message)>;

class TKWRgTrackBar6 : public TRgStyledControl6 {
public:
    explicit TKWRgTrackBar6(rtl::TComponent* AOwner);

    double Min() const { return FMin; }
    void SetMin(double Value);
    double Max() const { return FMax; }
    void SetMax(double Value);
    double Position() const { return FPosition; }
    void SetPosition(double Value);
    double Step() const { return FStep; }
    void SetStep(double Value) {
        if (std::isfinite(Value)) FStep = Value;
    }
    int Precision() const { return FPrecision; }
    void SetPrecision(int Value) { Store(FPrecision, Value); }
    TRgAppearanceStyle Style() const { return FStyle; }
    void SetStyle(TRgAppearanceStyle Value) { Store(FStyle, Value); }
    int TrackHeight() const { return FTrackHeight; }
    void SetTrackHeight(int Value) { Store(FTrackHeight, Value < 1 ? 1 : Value); }
    vcl::TColor TrackColor() const { return FTrackColor; }
    void SetTrackColor(vcl::TColor Value) { Store(FTrackColor, Value); }
    vcl::TColor TrackColorTo() const { return FTrackColorTo; }
    void SetTrackColorTo(vcl::TColor Value) { Store(FTrackColorTo, Value); }
    vcl::TGradientDirection TrackGradientDirection() const { return FTrackGradientDirection; }
    void SetTrackGradientDirection(vcl::TGradientDirection Value);
    vcl::TColor TrackBorderColor() const { return FTrackBorderColor; }
    void SetTrackBorderColor(vcl::TColor Value) { Store(FTrackBorderColor, Value); }
    vcl::TColor TrackDisabledColor() const { return FTrackDisabledColor; }
    void SetTrackDisabledColor(vcl::TColor Value) { StoreDisabled(FTrackDisabledColor, Value); }
    vcl::TColor TrackDisabledColorTo() const { return FTrackDisabledColorTo; }
    void SetTrackDisabledColorTo(vcl::TColor Value) { StoreDisabled(FTrackDisabledColorTo, Value); }
    vcl::TColor TrackDisabledBorderColor() const { return FTrackDisabledBorderColor; }
    void SetTrackDisabledBorderColor(vcl::TColor Value) { StoreDisabled(FTrackDisabledBorderColor, Value); }
    int ThumbWidth() const { return FThumbWidth; }
    void SetThumbWidth(int Value) { Store(FThumbWidth, Value); }
    int ThumbHeight() const { return FThumbHeight; }
    void SetThumbHeight(int Value) { Store(FThumbHeight, Value); }
    vcl::TColor ThumbColor() const { return FThumbColor; }
    void SetThumbColor(vcl::TColor Value) { Store(FThumbColor, Value); }
    vcl::TColor ThumbBorderColor() const { return FThumbBorderColor; }
    void SetThumbBorderColor(vcl::TColor Value) { Store(FThumbBorderColor, Value); }
    vcl::TColor ThumbHotColor() const { return FThumbHotColor; }
    void SetThumbHotColor(vcl::TColor Value) { Store(FThumbHotColor, Value); }
    vcl::TColor ThumbHotBorderColor() const { return FThumbHotBorderColor; }
    void SetThumbHotBorderColor(vcl::TColor Value) { Store(FThumbHotBorderColor, Value); }
    vcl::TColor ThumbDisabledColor() const { return FThumbDisabledColor; }
    void SetThumbDisabledColor(vcl::TColor Value) { Store(FThumbDisabledColor, Value); }
    vcl::TColor ThumbDisabledBorderColor() const { return FThumbDisabledBorderColor; }
    void SetThumbDisabledBorderColor(vcl::TColor Value) { Store(FThumbDisabledBorderColor, Value); }
    TKWRgTrackProgress ProgressLocation() const { return FProgressLocation; }
    void SetProgressLocation(TKWRgTrackProgress Value) { Store(FProgressLocation, Value); }
    TKWRgTrackBarProgressFillMode ProgressFillMode() const { return FProgressFillMode; }
    void SetProgressFillMode(TKWRgTrackBarProgressFillMode Value) { Store(FProgressFillMode, Value); }
    vcl::TColor ProgressColor() const { return FProgressColor; }
    void SetProgressColor(vcl::TColor Value);
    vcl::TColor ProgressColorTo() const { return FProgressColorTo; }
    void SetProgressColorTo(vcl::TColor Value) { Store(FProgressColorTo, Value); }
    vcl::TGradientDirection ProgressGradientDirection() const { return FProgressGradientDirection; }
    void SetProgressGradientDirection(vcl::TGradientDirection Value);
    vcl::TColor ProgressDisabledColor() const { return FProgressDisabledColor; }
    void SetProgressDisabledColor(vcl::TColor Value) { Store(FProgressDisabledColor, Value); }
    vcl::TColor ProgressDisabledBorderColor() const { return FProgressDisabledBorderColor; }
    void SetProgressDisabledBorderColor(vcl::TColor Value) { Store(FProgressDisabledBorderColor, Value); }
    bool SignMinusVisible() const { return FSignMinusVisible; }
    void SetSignMinusVisible(bool Value) { Store(FSignMinusVisible, Value); }
    bool SignPlusVisible() const { return FSignPlusVisible; }
    void SetSignPlusVisible(bool Value) { Store(FSignPlusVisible, Value); }
    int SignsRectWidth() const { return FSignsRectWidth; }
    void SetSignsRectWidth(int Value) { Store(FSignsRectWidth, Value); }
    int SignsRectHeight() const { return FSignsRectHeight; }
    void SetSignsRectHeight(int Value) { Store(FSignsRectHeight, Value); }
    vcl::TColor SignsRectColor() const { return FSignsRectColor; }
    void SetSignsRectColor(vcl::TColor Value) { Store(FSignsRectColor, Value); }
    vcl::TColor SignsRectBackgroundColor() const { return FSignsRectBackgroundColor; }
    void SetSignsRectBackgroundColor(vcl::TColor Value) { Store(FSignsRectBackgroundColor, Value); }
    bool SignsRectTransparent() const { return FSignsRectTransparent; }
    void SetSignsRectTransparent(bool Value) { Store(FSignsRectTransparent, Value); }
    bool SignsTransparentBackground() const { return FSignsTransparentBackground; }
    void SetSignsTransparentBackground(bool Value) { Store(FSignsTransparentBackground, Value); }
    vcl::TColor SignsColor() const { return FSignsColor; }
    void SetSignsColor(vcl::TColor Value) { Store(FSignsColor, Value); }
    int SignsWidth() const { return FSignsWidth; }
    void SetSignsWidth(int Value) { Store(FSignsWidth, Value); }
    int SignsHeight() const { return FSignsHeight; }
    void SetSignsHeight(int Value) { Store(FSignsHeight, Value); }
    bool TickMarks() const { return FTickMarks; }
    void SetTickMarks(bool Value) { Store(FTickMarks, Value); }
    int TickFrequency() const { return FTickFrequency; }
    void SetTickFrequency(int Value) { Store(FTickFrequency, Value); }
    int TickTopMargin() const { return FTickTopMargin; }
    void SetTickTopMargin(int Value) { Store(FTickTopMargin, Value); }
    int TickSize() const { return FTickSize; }
    void SetTickSize(int Value) { Store(FTickSize, Value); }
    vcl::TColor TickMarkColor() const { return FTickMarkColor; }
    void SetTickMarkColor(vcl::TColor Value) { Store(FTickMarkColor, Value); }
    vcl::TCustomImageList* Images() const { return FImages; }
    void SetImages(vcl::TCustomImageList* Value);
    int ImagesDistance() const { return FImagesDistance; }
    void SetImagesDistance(int Value) { Store(FImagesDistance, Value); }

    // Geometry, in client coordinates.
    vcl::TRect CalcContentRect();
    vcl::TRect CalcMinusRect();
    vcl::TRect CalcPlusRect();
    vcl::TRect CalcTrackRect();
    vcl::TPoint CalcThumbSize();
    vcl::TRect CalcThumbRect();
    vcl::TRect CalcTrackHitRect();
    vcl::TRect CalcProgressRect();
    double GetPositionAtPos(int X, int Y);
    TRgButtonState State() const { return FState; }

    rtl::TNotifyEvent OnChange;
    // The control's own wheel events (they stand in for the control base's of the same names).
    TKWRgWheelEvent OnMouseWheelDown;
    TKWRgWheelEvent OnMouseWheelUp;
    TKWRgMouseWheel OnMouseWheel;

protected:
    void Paint() override;
    void Dispatch(vcl::TMessage& Message) override;
    void MouseDown(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y) override;
    void MouseMove(vcl::TShiftState Shift, int X, int Y) override;
    void MouseUp(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y) override;
    void KeyDown(WORD& Key, vcl::TShiftState Shift) override;
    bool DoMouseWheelDown(vcl::TShiftState Shift, const vcl::TPoint& MousePos) override;
    bool DoMouseWheelUp(vcl::TShiftState Shift, const vcl::TPoint& MousePos) override;
    void Notification(rtl::TComponent* AComponent, rtl::TOperation Operation) override;
    virtual void DoChange() { OnChange(this); }

private:
    template <class T> void Store(T& Field, T Value) {
        if (Field == Value) return;
        Field = Value;
        Invalidate();
    }
    template <class T> void StoreDisabled(T& Field, T Value) {
        if (Field == Value) return;
        Field = Value;
        if (!Enabled()) Invalidate();
    }
    bool DoWheel(const TKWRgWheelEvent& Event, vcl::TShiftState Shift, const vcl::TPoint& MousePos);
    void SetState(TRgButtonState Value);
    void InvalidateThumbAndProgress();
    double Range() const { return FMax - FMin; }
    int ValueToX(const vcl::TRect& Track, double V) const;
    void DrawSign(const vcl::TRect& Box, bool Plus);
    void DrawTicks(const vcl::TRect& Track);
    void DrawImages(const vcl::TRect& Track);
    void DrawProgress(vcl::TRect R);

    double FMin = 1.0, FMax = 5.0, FPosition = 1.0, FStep = 1.0;
    int FPrecision = 0;
    TRgAppearanceStyle FStyle = stUserDefined;
    int FTrackHeight = 6;
    vcl::TColor FTrackColor = 0x808080, FTrackColorTo = vcl::clNone;
    vcl::TGradientDirection FTrackGradientDirection = vcl::gdVertical;
    vcl::TColor FTrackBorderColor = 0x808080;
    vcl::TColor FTrackDisabledColor = 0xC0C0C0, FTrackDisabledColorTo = vcl::clNone, FTrackDisabledBorderColor = 0x808080;
    int FThumbWidth = 8, FThumbHeight = 13;
    vcl::TColor FThumbColor = vcl::clHighlight, FThumbBorderColor = vcl::clHighlight;
    vcl::TColor FThumbHotColor = vcl::clHighlight, FThumbHotBorderColor = vcl::clHighlight;
    vcl::TColor FThumbDisabledColor = 0x808080, FThumbDisabledBorderColor = 0x808080;
    TKWRgTrackProgress FProgressLocation = tpLeftToPosition;
    TKWRgTrackBarProgressFillMode FProgressFillMode = pfmDefault;
    vcl::TColor FProgressColor = vcl::clHighlight, FProgressColorTo = vcl::clNone;
    vcl::TGradientDirection FProgressGradientDirection = vcl::gdVertical;
    vcl::TColor FProgressDisabledColor = 0x808080, FProgressDisabledBorderColor = 0x808080;
    bool FSignMinusVisible = true, FSignPlusVisible = true;
    int FSignsRectWidth = 14, FSignsRectHeight = 14;
    vcl::TColor FSignsRectColor = 0x808080, FSignsRectBackgroundColor = vcl::clBtnFace;
    bool FSignsRectTransparent = false, FSignsTransparentBackground = false;
    vcl::TColor FSignsColor = 0x808080;
    int FSignsWidth = 8, FSignsHeight = 2;
    bool FTickMarks = true;
    int FTickFrequency = 1, FTickTopMargin = 3, FTickSize = 3;
    vcl::TColor FTickMarkColor = 0xC0C0C0;
    vcl::TCustomImageList* FImages = nullptr;
    int FImagesDistance = 4;
    TRgButtonState FState;
};

} // namespace controls
