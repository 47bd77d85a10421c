// controls/RgEdit6.h: the single-line edit of the second control family (typed values, inner padding,
// a validation frame, a preview box at the left edge, edit options) and the edit with an embedded button.
#pragma once
#include "controls/RgClasses6.h"
#include "controls/RgStyles6.h"
#include "rtl/SysUtils.h"
#include "vcl/StdCtrls.h"

#include <memory>

namespace controls {

enum TRgValidationTrigger { vtLeave, vtTyping, vtTextChanged };
using TRgValidationTriggers = rtl::TSet<TRgValidationTrigger>;

using TRgPreviewDrawEvent = rtl::TEvent<void(rtl::TObject* Sender, const vcl::TRect& PreviewRect)>;
using TRgStringValidateEvent =
    rtl::TEvent<void(rtl::TObject* Sender, const rtl::String& Value, TRgValidationResult& Result)>;

class TRgCustomEdit6;

// Gives its verdict on a control's value.
class IRgValidator {
public:
    virtual ~IRgValidator() = default;
    virtual TRgValidationResult Validate(TRgCustomEdit6* Control) = 0;
};

// A value source (a grid cell, an inspector row): the edit reads only its text.
class IRgBase {
public:
    virtual ~IRgBase() = default;
    virtual rtl::String GetAsString() = 0;
};

// A control whose preview box its owner may draw.
class IRgPreviewDrawable {
public:
    virtual ~IRgPreviewDrawable() = default;
    virtual TRgPreviewDrawEvent GetOnPreviewDraw() = 0;
    virtual void SetOnPreviewDraw(const TRgPreviewDrawEvent& Value) = 0;
};

// Identifies a control to a validator.
class IRgValidatable {
public:
    virtual ~IRgValidatable() = default;
};

// A control's value in the usual types.
class IRgProperty {
public:
    virtual ~IRgProperty() = default;
    virtual bool GetAsBoolean() = 0;
    virtual rtl::TDateTime GetAsDateTime() = 0;
    virtual double GetAsFloat() = 0;
    virtual int GetAsInteger() = 0;
    virtual rtl::String GetAsString() = 0;
    virtual void SetAsBoolean(bool Value) = 0;
    virtual void SetAsDateTime(rtl::TDateTime Value) = 0;
    virtual void SetAsFloat(double Value) = 0;
    virtual void SetAsInteger(int Value) = 0;
    virtual void SetAsString(const rtl::String& Value) = 0;
};

class IRgTextControl {
public:
    virtual ~IRgTextControl() = default;
    virtual rtl::String GetEditText() = 0;
};

struct TEditMargins {
    uint16_t Leading = 0, Trailing = 0;
};

// What a host (a grid, an inspector) drives an edit through when the edit works in place.
class IRgInplaceEdit {
public:
    virtual ~IRgInplaceEdit() = default;
    virtual rtl::TNotifyEvent GetOnChange() = 0;
    virtual vcl::TPadding* GetPadding() = 0;
    virtual bool GetShowing() = 0;
    virtual rtl::String GetEditText() = 0;
    virtual void SetAlignment(vcl::TAlignment Value) = 0;
    virtual void SetAutoSelect(bool Value) = 0;
    virtual void SetEditOptions(TRgEditOptions Value) = 0;
    virtual void SetOnChange(const rtl::TNotifyEvent& Value) = 0;
    virtual void SetReadOnly(bool Value) = 0;
    virtual void SetText(const rtl::String& Value) = 0;
    virtual void SetWantTabs(bool Value) = 0;
    virtual HWND GetHandle() = 0;
    virtual void SetColor(vcl::TColor Value) = 0;
    virtual void SetFont(vcl::TFont* Value) = 0;
    virtual void SetPadding(vcl::TPadding* Value) = 0;
    virtual void SetEnabled(bool Value) = 0;
    virtual void SetParent(vcl::TWinControl* Value) = 0;
    virtual void Assign(rtl::TPersistent* Source) = 0;
    virtual void AssignValue(IRgBase* Source) = 0;
    virtual void PrepareInplaceEdit() = 0;
    virtual void BeginEditWithKey(rtl::Char Key) = 0;
    virtual bool CanDispatchKey(WORD Key) = 0;
    virtual void EndEditing() = 0;
    virtual bool Focused() = 0;
    virtual void Free() = 0;   // frees the control: the interface is gone with it
    virtual void Hide() = 0;
    virtual void SelectAll() = 0;
    virtual void SetEditMargins(uint16_t Leading, uint16_t Trailing) = 0;
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) = 0;
    virtual void SetFocus() = 0;
    virtual void Show() = 0;
};

class TRgEditButton;

// The button inside a button edit, as its edit sees it.
class IRgEditButton {
public:
    virtual ~IRgEditButton() = default;
    virtual vcl::TAlign GetAlign() = 0;
    virtual bool GetAutoUp() = 0;
    virtual rtl::String GetCaption() = 0;
    virtual bool GetDown() = 0;
    virtual IRgInplaceEdit* GetEdit() = 0;
    virtual HWND GetHandle() = 0;
    virtual bool GetHover() = 0;
    virtual int GetLeft() = 0;
    virtual rtl::TNotifyEvent GetOnButtonClick() = 0;
    virtual rtl::TNotifyEvent GetOnDown() = 0;
    virtual rtl::TNotifyEvent GetOnUp() = 0;
    virtual vcl::TWinControl* GetParent() = 0;
    virtual bool GetVisible() = 0;
    virtual int GetWidth() = 0;
    virtual void SetAlign(vcl::TAlign Value) = 0;
    virtual void SetAutoUp(bool Value) = 0;
    virtual void SetCaption(const rtl::String& Value) = 0;
    virtual void SetDown(bool Value) = 0;
    virtual void SetEdit(IRgInplaceEdit* Value) = 0;
    virtual void SetHover(bool Value) = 0;
    virtual void SetLeft(int Value) = 0;
    virtual void SetOnButtonClick(const rtl::TNotifyEvent& Value) = 0;
    virtual void SetOnDown(const rtl::TNotifyEvent& Value) = 0;
    virtual void SetOnUp(const rtl::TNotifyEvent& Value) = 0;
    virtual void SetParent(vcl::TWinControl* Value) = 0;
    virtual void SetVisible(bool Value) = 0;
    virtual void SetWidth(int Value) = 0;
    virtual void Invalidate() = 0;
};

// An edit with a button, as its button's owner sees it.
class IRgButtonEdit {
public:
    virtual ~IRgButtonEdit() = default;
    virtual void SetOnButtonClick(const rtl::TNotifyEvent& Value) = 0;
};

class TRgCustomEdit6 : public vcl::TCustomEdit,
                       public IRgPreviewDrawable,
                       public IRgValidatable,
                       public IRgProperty,
                       public IRgTextControl {
public:
    explicit TRgCustomEdit6(rtl::TComponent* AOwner);
    ~TRgCustomEdit6() override;

    TRgEditOptions EditOptions() const { return FEditOptions; }
    void SetEditOptions(TRgEditOptions Value) { FEditOptions = Value; }
    bool ShowPreview() const { return FShowPreview; }
    void SetShowPreview(bool Value);
    TRgStyleOptions StyleOptions() const { return FStyleOptions; }
    void SetStyleOptions(TRgStyleOptions Value);
    bool CanStyle(TRgStyleOption Option);
    rtl::String TagString() const { return FTagString; }
    void SetTagString(const rtl::String& Value) { FTagString = Value; }
    TRgValidationResult ValidationResult() const { return FValidationResult; }
    void SetValidationResult(TRgValidationResult Value);
    TRgValidationTriggers ValidationTriggers() const { return FValidationTriggers; }
    void SetValidationTriggers(TRgValidationTriggers Value) { FValidationTriggers = Value; }
    IRgValidator* Validator() const { return FValidator; }
    void SetValidator(IRgValidator* Value) { FValidator = Value; }
    bool WantReturns() const { return FWantReturns; }
    void SetWantReturns(bool Value) { FWantReturns = Value; }
    bool WantTabs() const { return FWantTabs; }
    void SetWantTabs(bool Value) { FWantTabs = Value; }
    bool HasValidation() const { return !FValidationTriggers.Empty(); }
    TRgValidationResult Validate(const rtl::String& Value);
    // Takes the settings of another edit of this family (the class library has nothing to copy
    // between controls, so only other sources go to the inherited assignment).
    void Assign(rtl::TPersistent* Source) override;

    bool GetAsBoolean() override;
    rtl::TDateTime GetAsDateTime() override;
    double GetAsFloat() override;
    int GetAsInteger() override;
    rtl::String GetAsString() override { return Text(); }
    void SetAsBoolean(bool Value) override { SetAsString(rtl::BoolToStr(Value, true)); }
    void SetAsDateTime(rtl::TDateTime Value) override { SetAsString(rtl::DateTimeToStr(Value)); }
    void SetAsFloat(double Value) override { SetAsString(rtl::FloatToStr(Value)); }
    void SetAsInteger(int Value) override { SetAsString(rtl::IntToStr(Value)); }
    void SetAsString(const rtl::String& Value) override { SetText(Value); }
    rtl::String GetEditText() override { return Text(); }
    // Takes the text the source reports.
    void AssignValue(IRgBase* Source) {
        if (Source) SetAsString(Source->GetAsString());
    }
    TRgPreviewDrawEvent GetOnPreviewDraw() override { return OnPreviewDraw; }
    void SetOnPreviewDraw(const TRgPreviewDrawEvent& Value) override { OnPreviewDraw = Value; }
    virtual void PrepareInplaceEdit();
    virtual void BeginEditWithKey(rtl::Char Key);
    virtual void EndEditing() {}
    virtual vcl::TRect GetEditRect();
    // Whether a host may take Key away from the edit (the caret keys stay with it).
    virtual bool CanDispatchKey(WORD Key);
    void SetEditMargins(uint16_t Leading, uint16_t Trailing);
    // The preview box in window coordinates.
    vcl::TRect GetPreviewRect();
    // The canvas an OnPreviewDraw handler paints with (bound to the window while the preview is drawn).
    vcl::TControlCanvas* EditCanvas() { return FCanvas; }
    // The edit as a host working in place drives it.
    IRgInplaceEdit* InplaceEdit() { return FInplaceEdit.get(); }

    rtl::TNotifyEvent OnPreviewClick;
    TRgPreviewDrawEvent OnPreviewDraw;
    TRgStringValidateEvent OnValidate;

protected:
    virtual void PaintNonClient();
    virtual void PaintPadding();
    virtual void PaintValidationFrame();
    virtual void PaintPreview();
    virtual void DoPreviewDraw(const vcl::TRect& Rect) { OnPreviewDraw(this, Rect); }
    virtual void UpdateMargins();
    virtual void UpdateFrame();
    virtual void DoValidate(const rtl::String& Value, TRgValidationResult& Result) { OnValidate(this, Value, Result); }

    void CreateParams(vcl::TCreateParams& Params) override;
    void CreateWnd() override;
    void AlignControls(vcl::TControl* AControl, vcl::TRect& Rect) override;
    void Change() override;
    void DoExit() override;
    void KeyDown(WORD& Key, vcl::TShiftState Shift) override;
    void KeyUp(WORD& Key, vcl::TShiftState Shift) override;
    void CMTextChanged(vcl::TMessage& Message) override;
    void Dispatch(vcl::TMessage& Message) override;

    int BorderOffset() { return BorderStyle() == vcl::bsSingle ? 2 : 0; }

private:
    void PaddingChanged(rtl::TObject* Sender);
    void RefreshPreview();
    void RedrawFrame(const vcl::TRect& WindowRect);
    bool InPreview(LPARAM ScreenPoint);
    void NCPaint(vcl::TMessage& Message);

    vcl::TControlCanvas* FCanvas;
    std::unique_ptr<IRgInplaceEdit> FInplaceEdit;
    TRgEditOptions FEditOptions{edPaste, edTyping};
    TEditMargins FEditPadding;
    bool FNCLButtonDown = false;
    bool FShowPreview = false;
    TRgStyleOptions FStyleOptions{soNativeStyles, soVCLStyles};
    rtl::String FTagString;
    TRgValidationResult FValidationResult = vrUnchecked;
    TRgValidationTriggers FValidationTriggers;
    IRgValidator* FValidator = nullptr;
    bool FWantReturns = false, FWantTabs = false;
};

class TRgEdit6 : public TRgCustomEdit6 {
public:
    using TRgCustomEdit6::TRgCustomEdit6;
};

// A small window inside an edit, aligned to its right edge, that toggles on press and reports clicks.
class TRgEditButton : public vcl::TCustomControl {
public:
    explicit TRgEditButton(rtl::TComponent* AOwner);

    bool AutoUp() const { return FAutoUp; }
    void SetAutoUp(bool Value) { FAutoUp = Value; }
    rtl::String Caption() const { return FCaption; }
    void SetCaption(const rtl::String& Value);
    bool Down() const { return FDown; }
    void SetDown(bool Value);
    bool Hover() const { return FHover; }
    void SetHover(bool Value);
    // The owner's in-place interface, when the owner is an edit of this family.
    IRgInplaceEdit* Edit() const { return FEdit; }
    void SetEdit(IRgInplaceEdit* Value) { FEdit = Value; }
    IRgEditButton* AsEditButton() { return FEditButton.get(); }

    rtl::TNotifyEvent OnButtonClick;
    rtl::TNotifyEvent OnDown;
    rtl::TNotifyEvent OnUp;

protected:
    virtual void PaintContent() = 0;
    void Paint() override { PaintContent(); }
    virtual void DoButtonClick() { OnButtonClick(this); }
    virtual void DoDown() { OnDown(this); }
    virtual void DoUp() { OnUp(this); }
    void MouseDown(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y) override;
    void MouseUp(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y) override;
    void CMMouseEnter(vcl::TCMMouseEnterLeave& Message) override;
    void CMMouseLeave(vcl::TCMMouseEnterLeave& Message) override;
    void Dispatch(vcl::TMessage& Message) override;

private:
    bool FAutoUp = true;
    rtl::String FCaption;
    bool FDown = false;
    IRgInplaceEdit* FEdit;
    std::unique_ptr<IRgEditButton> FEditButton;
    bool FHover = false;
    bool FMouseDown = false;
};

class TRgCustomButtonEdit6 : public TRgEdit6 {
public:
    explicit TRgCustomButtonEdit6(rtl::TComponent* AOwner);

    TRgEditButton* Button() const { return FButton; }
    IRgButtonEdit* AsButtonEdit() { return FButtonEdit.get(); }
    int ButtonWidth() const { return FButtonWidth; }
    void SetButtonWidth(int Value);
    bool ShowButton() const { return FShowButton; }
    void SetShowButton(bool Value);
    void Assign(rtl::TPersistent* Source) override;

    rtl::TNotifyEvent OnButtonClick;

protected:
    // Makes the button; a descendant calls Init from its constructor once it can make one.
    virtual TRgEditButton* CreateButton() = 0;
    void Init();
    virtual void DoButtonClick() { OnButtonClick(this); }
    virtual void DoButtonDown() {}
    virtual void DoButtonUp() {}
    void CreateWnd() override;
    void Dispatch(vcl::TMessage& Message) override;

    TRgEditButton* FButton = nullptr;  // a child component, freed with the edit

private:
    std::unique_ptr<IRgButtonEdit> FButtonEdit;
    int FButtonWidth = 0;
    bool FShowButton = true;
};

} // namespace controls
