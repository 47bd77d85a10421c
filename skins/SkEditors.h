// skins/SkEditors.h: the skinned editors: a single-line edit whose frame is painted in the current
// skin and lights up under the pointer or with the focus, the small buttons that live inside it, the
// numeric spin edit with its value model, and the skinned combo box with two-stage owner drawing.
#pragma once
#include "skins/SkControls.h"
#include "skins/SkSkins.h"

#include "vcl/ExtCtrls.h"
#include "vcl/StdCtrls.h"

#include <cstdint>

namespace skins {

// The combo box re-measures its items after a font change (posted to itself).
constexpr UINT CM_SKFONTCHANGED = 0xB8AD;

// ---- the faces shared by the edit buttons, the spin button and the combo box ----

void PaintEditButtonFace(vcl::TCanvas* ACanvas, const TRect& ARect, bool Enabled, bool FrameHot, bool ButtonHot,
                         bool Pushed, bool RightAligned);
void PaintDropDownButton(vcl::TCanvas* ACanvas, const TRect& ARect, bool Enabled, bool FrameHot, bool ButtonHot,
                         bool Pushed, bool RightAligned);
// The two halves of a spin button in R.
void PaintSpinButtons(vcl::TCanvas* ACanvas, const TRect& R, bool Enabled, bool UpPushed, bool DownPushed,
                      bool UpHot, bool DownHot, bool EditFrameHot, bool RightAligned);

// Whether an edit's frame looks different when hot under the current skin.
bool EditFrameHasHotLook(vcl::TBorderStyle ABorderStyle);

class TSkEditButton;

// The edit with alignment and room for edit buttons (the buttons are child controls).
class TSkUnicodeEdit : public vcl::TCustomEdit {
public:
    explicit TSkUnicodeEdit(rtl::TComponent* AOwner);

    virtual void UpdateEditRect();
    bool HasEditButton() const;
    // A new button at the right or left edge, AWidth pixels wide.
    TSkEditButton* AddEditButton(bool RightAligned, int AWidth);

protected:
    void CreateParams(vcl::TCreateParams& Params) override;
    void CreateWnd() override;
    void CMFontChanged(vcl::TMessage& Message) override;
    void CMEnabledChanged(vcl::TMessage& Message) override;
};

class TSkEdit : public TSkUnicodeEdit {
public:
    explicit TSkEdit(rtl::TComponent* AOwner);
    ~TSkEdit() override;

    // Whether the skinned frame is drawn; the window's own border stays as the edit sets it.
    vcl::TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(vcl::TBorderStyle Value);
    bool HotTrack() const { return FHotTrack; }
    void SetHotTrack(bool Value) { FHotTrack = Value; }
    bool MouseInControl() const { return FMouseInControl; }
    void InvalidateFrame();

protected:
    void Dispatch(vcl::TMessage& Message) override;
    void CMMouseEnter(vcl::TCMMouseEnterLeave& Message) override;
    void CMMouseLeave(vcl::TCMMouseEnterLeave& Message) override;
    void CMEnter(vcl::TMessage& Message) override;
    void CMExit(vcl::TMessage& Message) override;
    void CMEnabledChanged(vcl::TMessage& Message) override;

    bool FMouseInControl = false;

private:
    bool FrameRepaintWanted();

    vcl::TBorderStyle FBorderStyle = vcl::bsSingle;
    bool FHotTrack = true;
};

// A button inside a skinned edit, named "SubEditButton<n>" after its owner's free names.
class TSkEditButton : public TSkSpeedButton {
public:
    explicit TSkEditButton(rtl::TComponent* AOwner);
    void Click() override;
    // The edit it sits in has the pointer over it or the focus.
    bool IsEditFrameHot();

protected:
    void AdjustFont(vcl::TFont* AFont) override;
    bool DoDraw(vcl::TCanvas* ACanvas, const TRect& ARect, TSkPaintStage PaintStage) override;
    void DrawDropDownArrow(vcl::TCanvas* ACanvas, const TRect& R) override;
    bool HasCaptionOrGlyph();
};

// ---- the spin edit ----

enum TSkSpinType { spnInteger, spnFloat, spnHex };

using TSkEditAcceptTextEvent = rtl::TEvent<void(rtl::TObject* Sender, String& NewText, bool& Accept)>;
using TSkEditChangeEvent = rtl::TEvent<void(rtl::TObject* Sender, const String& AText)>;

// A 64-bit integer from a value: rounded half to even, saturated at the 64-bit bounds (0 for NaN).
int64_t RoundToInt64Saturated(double Value);

// The value of a spin edit, its range, step and text format. MinValue = MaxValue means unbounded.
class TSkSpinEditOptions : public rtl::TPersistent {
public:
    TSkSpinEditOptions() = default;

    int Decimal() const { return FDecimal; }
    void SetDecimal(int Value);               // clamped to 0..10
    double Increment() const { return FIncrement; }
    void SetIncrement(double Value) { FIncrement = Value; }
    double MaxValue() const { return FMaxValue; }
    void SetMaxValue(double Value);
    double MinValue() const { return FMinValue; }
    void SetMinValue(double Value);
    String Postfix() const { return FPostfix; }
    void SetPostfix(const String& Value);
    String Prefix() const { return FPrefix; }
    void SetPrefix(const String& Value);
    double Value() const { return FValue; }
    // Ignores the same value, one outside the range and one that is not a finite number.
    void SetValue(double X);
    bool ValueSnap() const { return FValueSnap; }
    void SetValueSnap(bool Value) { FValueSnap = Value; }
    TSkSpinType ValueType() const { return FValueType; }
    void SetValueType(TSkSpinType Value);
    int64_t ValueAsInteger() const { return RoundToInt64Saturated(FValue); }
    void SetValueAsInteger(int64_t Value) { SetValue(double(Value)); }

    void ValueInc();
    void ValueDec();
    // The number as the edit shows it, without prefix and postfix.
    String FormatValue() const;
    void UpdateTextFromValue();
    void UpdateValueFromText(bool Force);
    void Assign(rtl::TPersistent* Source) override;

    TSkEditAcceptTextEvent OnGetText;
    TSkEditChangeEvent OnSetText;
    rtl::TNotifyEvent OnValueChanged;

protected:
    virtual void DoValueChanged();

private:
    void Step(bool Up);

    int FDecimal = 2;
    double FIncrement = 1;
    double FMaxValue = 0;
    double FMinValue = 0;
    String FPostfix;
    String FPrefix;
    double FValue = 0;
    bool FValueSnap = true;
    TSkSpinType FValueType = spnInteger;
};

class TSkSpinButton : public TSkEditButton {
public:
    explicit TSkSpinButton(rtl::TComponent* AOwner);

    bool UpPushed() const { return FUpPushed; }
    bool DownPushed() const { return FDownPushed; }
    void IsHotTracking(bool& UpButton, bool& DownButton, bool& EditFrame);
    void Click() override;

    rtl::TNotifyEvent OnUpClick;
    rtl::TNotifyEvent OnDownClick;

protected:
    bool DoDraw(vcl::TCanvas* ACanvas, const TRect& ARect, TSkPaintStage PaintStage) override;
    void DoMouseLeave() override;
    void WMMouseButton(vcl::TWMMouse& Message) override;
    void WMMouseMove(vcl::TWMMouse& Message) override;

private:
    bool FUpPushed = false;
    bool FDownPushed = false;
};

class TSkSpinEdit : public TSkEdit {
public:
    explicit TSkSpinEdit(rtl::TComponent* AOwner);
    ~TSkSpinEdit() override;

    bool ExtendedAccept() const { return FExtendedAccept; }
    void SetExtendedAccept(bool Value) { FExtendedAccept = Value; }
    TSkSpinButton* SpinButton() const { return FSpinButton; }
    TSkSpinEditOptions* SpinOptions() const { return FSpinOptions.get(); }
    void SetSpinOptions(TSkSpinEditOptions* Value) { FSpinOptions->Assign(Value); }
    double Value() const { return FSpinOptions->Value(); }
    void SetValue(double Value) { FSpinOptions->SetValue(Value); }
    const rtl::TNotifyEvent& OnValueChanged() const { return FSpinOptions->OnValueChanged; }
    void SetOnValueChanged(const rtl::TNotifyEvent& Value) { FSpinOptions->OnValueChanged = Value; }

protected:
    virtual void SpinUpClick(rtl::TObject* Sender);
    virtual void SpinDownClick(rtl::TObject* Sender);
    void GetSpinText(rtl::TObject* Sender, String& NewText, bool& Accept);
    void SetSpinText(rtl::TObject* Sender, const String& AText);

    void KeyDown(WORD& Key, vcl::TShiftState Shift) override;
    void KeyPress(rtl::Char& Key) override;
    void CMExit(vcl::TMessage& Message) override;
    void Change() override;
    void Notification(rtl::TComponent* AComponent, rtl::TOperation Operation) override;

private:
    bool FExtendedAccept = false;
    std::unique_ptr<TSkSpinEditOptions> FSpinOptions;
    TSkSpinButton* FSpinButton = nullptr;
};

// ---- the combo box ----

using TSkDrawListItemEvent =
    rtl::TEvent<void(rtl::TObject* Sender, vcl::TCanvas* ACanvas, TRect& ARect, int Index,
                     vcl::TOwnerDrawState State, TSkPaintStage PaintStage, bool& PaintDefault)>;

// Sends CB_SETDROPPEDWIDTH when the widest item's text, the scroll bar and RightMargin need more room
// than the combo's width; the list never becomes narrower than the combo.
void SetComboDropDownWidth(vcl::TCustomComboBox* Combo, int RightMargin);

class TSkComboBox : public vcl::TCustomComboBox {
public:
    explicit TSkComboBox(rtl::TComponent* AOwner);
    ~TSkComboBox() override;

    bool AutoDropDownWidth() const { return FAutoDropDownWidth; }
    void SetAutoDropDownWidth(bool Value) { FAutoDropDownWidth = Value; }
    bool AutoItemHeight() const { return FAutoItemHeight; }
    void SetAutoItemHeight(bool Value) { FAutoItemHeight = Value; }
    bool HotTrack() const { return FHotTrack; }
    void SetHotTrack(bool Value) { FHotTrack = Value; }
    int ItemHeight();
    void SetItemHeight(int Value);
    bool MouseInControl() const { return FMouseInControl; }
    // The pointer poll of the hot look (nullptr while the pointer is away); tests look at it.
    vcl::TTimer* MouseTimer() const { return FMouseTimer; }

    TRect GetDropDownButtonRect();
    bool GetMouseInDropDownButton();
    void InvalidateFrame();

    TSkDrawEvent OnDrawBackground;
    TSkDrawListItemEvent OnDrawItem;
    TSkDrawListItemEvent OnDrawItemBackground;

protected:
    virtual void UpdateDropDownWidth();
    virtual void DoDrawBackground(vcl::TCanvas* ACanvas, const TRect& ARect, TSkPaintStage PaintStage,
                                  bool& PaintDefault);
    virtual void DoDrawItem(vcl::TCanvas* ACanvas, TRect& ARect, int Index, vcl::TOwnerDrawState State,
                            TSkPaintStage PaintStage, bool& PaintDefault);
    virtual void DoDrawItemBackground(vcl::TCanvas* ACanvas, TRect& ARect, int Index, vcl::TOwnerDrawState State,
                                      TSkPaintStage PaintStage, bool& PaintDefault);
    virtual void DrawItemBackground(int Index, const TRect& Rect, vcl::TOwnerDrawState State);
    void DrawItem(int Index, TRect Rect, vcl::TOwnerDrawState State) override;
    void MouseTimerHandler(rtl::TObject* Sender);
    void UpdateMouseInDropDownButton();

    void CreateParams(vcl::TCreateParams& Params) override;
    void CreateWnd() override;
    void CloseUp() override;
    void EditWndProc(vcl::TMessage& Message) override;
    void Dispatch(vcl::TMessage& Message) override;
    void WMMouseMove(vcl::TWMMouse& Message) override;
    void CMMouseEnter(vcl::TCMMouseEnterLeave& Message) override;
    void CMEnter(vcl::TMessage& Message) override;
    void CMExit(vcl::TMessage& Message) override;

private:
    bool OwnerDrawStyle() const { return Style() == vcl::csOwnerDrawFixed || Style() == vcl::csOwnerDrawVariable; }
    int DropDownButtonWidth() const;
    void PaintFrame();
    void DrawItemMessage(vcl::TMessage& Message);
    void FreeMouseTimer();

    bool FAutoDropDownWidth = false;
    bool FAutoItemHeight = true;
    bool FHotTrack = true;
    bool FFontChanging = false;
    int FInternalItemHeight = 0;
    bool FMouseInControl = false;
    bool FMouseInDropDownButton = false;
    vcl::TTimer* FMouseTimer = nullptr;
    bool FMouseTimerDoomed = false;
    int FAutoDropDownWidthRightMargin = 8;
};

} // namespace skins
