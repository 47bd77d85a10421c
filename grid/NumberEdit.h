// grid/NumberEdit.h: the number editors: a text editor that takes only a number and shows it
// formatted, and the spin editor of number columns with its up and down buttons at the right and an
// optional push button at the left; and the two small button controls they use.
#pragma once
#include "grid/TextEdit.h"
#include "vcl/ExtCtrls.h"
#include "win/uxtheme/uxtheme.h"

namespace grid {

enum TRgNumberEditOption { eoAllowAll, eoAllowFloat, eoAllowSigns, eoDisablePaste, eoDisableTyping };
using TRgNumberEditOptions = rtl::TSet<TRgNumberEditOption>;

enum TSpinButton { sbUp, sbDown };
using TSpinButtonSet = rtl::TSet<TSpinButton>;
using TSpinEvent = rtl::TEvent<void(rtl::TObject* Sender, TSpinButtonSet Buttons)>;

class TRgCustomNumberEdit : public TRgEdit {
public:
    explicit TRgCustomNumberEdit(rtl::TComponent* AOwner);

    void Assign(rtl::TPersistent* Source) override;
    void ApplyEditing() override;

    // The number the text holds, clamped to the range; a text that does not read gives the last good
    // value (never an error).
    double Value();
    void SetValue(double AValue);
    rtl::String GetFormatedValue(double AValue) const;
    // Shows the current value formatted anew.
    void Reformat() { SetValue(Value()); }
    // What cleaning leaves of a text: only a number, written the locale's shortest way, clamped to the
    // range (Min for nothing left). Empty when what is left still does not read as a number.
    rtl::String CleanText(const rtl::String& S, bool AllowSeparator, bool AllowSign) const;
    bool RangeApplies() const { return FMax != 0 || FMin != 0; }

    double Max() const { return FMax; }
    void SetMax(double Value) { FMax = Value; }
    double Min() const { return FMin; }
    void SetMin(double Value) { FMin = Value; }
    rtl::String NullText() const { return FNullText; }
    void SetNullText(const rtl::String& Value);
    TRgNumberEditOptions Options() const { return FOptions; }
    void SetOptions(TRgNumberEditOptions Value) { FOptions = Value; }
    int Precision() const { return FPrecision; }
    void SetPrecision(int Value);
    rtl::String TextAfter() const { return FTextAfter; }
    void SetTextAfter(const rtl::String& Value);
    rtl::String TextBefore() const { return FTextBefore; }
    void SetTextBefore(const rtl::String& Value);

    void SetAsFloat(double Value) override;
    void SetAsInteger(int Value) override;

protected:
    double GetAsFloat() override { return Value(); }
    int GetAsInteger() override;
    void CreateWnd() override;
    void KeyPress(rtl::Char& Key) override;
    void KeyDown(WORD& Key, vcl::TShiftState Shift) override;
    void Dispatch(vcl::TMessage& Message) override;

    double Clamp(double AValue) const;

private:
    void Paste();

    double FMax = 0;
    double FMin = 0;
    rtl::String FNullText;
    TRgNumberEditOptions FOptions{eoAllowFloat, eoAllowSigns};
    int FPrecision = 2;
    rtl::String FTextAfter;
    rtl::String FTextBefore;
    double FValue = 0;
};

// The up and down buttons: a press steps once at once, then, held, every 20 ms after 400 ms.
class TRgSpinButtons : public vcl::TCustomControl {
public:
    TRgSpinButtons(rtl::TComponent* AOwner, TRgCustomEdit* CellEditor);

    TSpinButtonSet HoverButtons() const { return FHoverButtons; }
    TSpinButtonSet PressedButtons() const { return FPressedButtons; }
    // Non-empty: presses (one step at once, repeating later); empty: releases.
    void SetPressedButtons(TSpinButtonSet Value);

    TSpinEvent OnSpin;

protected:
    void Paint() override;
    void MouseDown(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y) override;
    void MouseMove(vcl::TShiftState Shift, int X, int Y) override;
    void MouseUp(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y) override;
    void MouseLeave() override;
    void WMEraseBkgnd(vcl::TWMEraseBkgnd& Message) override { Message.Result = 1; }

private:
    TSpinButtonSet HalfAt(int Y) const;
    void DelayTimer(rtl::TObject* Sender);
    void RepeatTimer(rtl::TObject* Sender);

    TRgCustomEdit* FCellEditor;
    vcl::TTimer* FDelayTimer;
    TSpinButtonSet FHoverButtons;
    TSpinButtonSet FPressedButtons;
    vcl::TTimer* FRepeatTimer;
};

class TRgSmallButton : public vcl::TCustomControl {
public:
    TRgSmallButton(rtl::TComponent* AOwner, TRgCustomEdit* CellEditor);

    rtl::String Caption() const { return FCaption; }
    void SetCaption(const rtl::String& Value);
    bool Down() const { return FDown; }
    bool Hover() const { return FHover; }

    rtl::TNotifyEvent OnButtonClick;
    rtl::TNotifyEvent OnButtonDown;

protected:
    void MouseDown(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y) override;
    void MouseUp(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void WMEraseBkgnd(vcl::TWMEraseBkgnd& Message) override { Message.Result = 1; }

    TRgCustomEdit* CellEditor() const { return FCellEditor; }

private:
    rtl::String FCaption;
    TRgCustomEdit* FCellEditor;
    bool FDown = false;
    bool FHover = false;
};

class TRgExecuteButton : public TRgSmallButton {
public:
    TRgExecuteButton(rtl::TComponent* AOwner, TRgCustomEdit* CellEditor);
    ~TRgExecuteButton() override;

    vcl::TBitmap* Glyph() const { return FGlyph; }
    void SetGlyph(vcl::TBitmap* Value);

protected:
    void CreateWnd() override;
    void DestroyWnd() override;
    void Dispatch(vcl::TMessage& Message) override;
    void Paint() override;

private:
    void CloseTheme();

    vcl::TBitmap* FGlyph = nullptr;  // the owner's bitmap
    HTHEME FTheme = 0;
};

class TRgSpinEdit : public TRgCustomNumberEdit {
public:
    explicit TRgSpinEdit(rtl::TComponent* AOwner);

    TRgExecuteButton* Button() const { return FButton; }
    TRgSpinButtons* Buttons() const { return FButtons; }

    rtl::String ButtonCaption() const { return FButtonCaption; }
    void SetButtonCaption(const rtl::String& Value);
    int ButtonWidth() const { return FButtonWidth; }
    void SetButtonWidth(int Value);
    double Increment() const { return FIncrement; }
    void SetIncrement(double Value) { FIncrement = Value; }
    bool ShowButton() const { return FShowButton; }
    void SetShowButton(bool Value);
    bool SpinButtons() const { return FSpinButtons; }
    void SetSpinButtons(bool Value);

    void SetAsFloat(double Value) override { SetValue(Value); }
    void SetAsInteger(int Value) override { SetValue(Value); }

    rtl::TNotifyEvent OnButtonClick;
    TSpinEvent OnSpin;

protected:
    virtual void DoSpin(TSpinButtonSet Buttons);
    virtual void DoButtonClick();
    int GetAsInteger() override;
    void AdjustMargins(int& Left, int& Right) override;
    void CreateWnd() override;
    void Resize() override;
    void WMWindowPosChanged(vcl::TWMWindowPosMsg& Message) override;
    bool DoMouseWheelDown(vcl::TShiftState Shift, const vcl::TPoint& MousePos) override;
    bool DoMouseWheelUp(vcl::TShiftState Shift, const vcl::TPoint& MousePos) override;
    void Dispatch(vcl::TMessage& Message) override;

private:
    void UpdateButtons();
    // Stores a setting that moves or shows a button, then lays the buttons and the margins out anew.
    template <class T> void SetLayoutField(T& Field, T Value);
    bool StepsHere() const { return !InplaceEditor() && FSpinButtons; }
    void Step(TSpinButtonSet Buttons);

    TRgExecuteButton* FButton;
    TRgSpinButtons* FButtons;
    double FIncrement = 1;
    bool FSpinButtons = true;
    bool FShowButton = false;
    int FButtonWidth = 21;
    rtl::String FButtonCaption;
};

} // namespace grid
