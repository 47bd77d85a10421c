// vcl/StdCtrls.h: the standard controls: labels (windowless), push buttons, check boxes, radio buttons
// and group boxes over the platform's "Button" class.
#pragma once
#include "vcl/Controls.h"
#include "vcl/Forms.h"

namespace vcl {

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
using TLeftRight = TAlignment;
enum TTextLayout { tlTop, tlCenter, tlBottom };
enum TEllipsisPosition { epNone, epPathEllipsis, epEndEllipsis, epWordEllipsis };
enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };

// True when the caption marks Key as its accelerator ("&F" in "&File"; "&&" is a plain ampersand).
bool IsAccel(WORD Key, const String& Caption);

class TCustomLabel : public TGraphicControl {
public:
    explicit TCustomLabel(TComponent* AOwner);

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TTextLayout Layout() const { return FLayout; }
    void SetLayout(TTextLayout Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    bool ShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool Value);
    TEllipsisPosition EllipsisPosition() const { return FEllipsisPosition; }
    void SetEllipsisPosition(TEllipsisPosition Value);
    TWinControl* FocusControl() const { return FFocusControl; }
    void SetFocusControl(TWinControl* Value);

protected:
    void Paint() override;
    bool CanAutoSize(int& NewWidth, int& NewHeight) override;
    void Dispatch(TMessage& Message) override;
    void CMTextChanged(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;
    void Notification(TComponent* AComponent, rtl::TOperation Operation) override;
    virtual void CMDialogChar(TCMDialogChar& Message);
    // The DT_ flags the text is drawn and measured with.
    UINT DrawTextFlags() const;

private:
    // Not TControl::Changed (which tells the parent): the label refits and repaints itself.
    void TextLayoutChanged();
    TAlignment FAlignment = taLeftJustify;
    TTextLayout FLayout = tlTop;
    bool FWordWrap = false;
    bool FTransparent = false;
    bool FShowAccelChar = true;
    TEllipsisPosition FEllipsisPosition = epNone;
    TWinControl* FFocusControl = nullptr;
};

class TLabel : public TCustomLabel {
public:
    using TCustomLabel::TCustomLabel;
};

// A control over a platform "Button" window; ClicksDisabled keeps programmatic changes from clicking.
class TButtonControl : public TWinControl {
public:
    explicit TButtonControl(TComponent* AOwner);

protected:
    bool ClicksDisabled() const { return FClicksDisabled; }
    void SetClicksDisabled(bool Value) { FClicksDisabled = Value; }
    void CreateParams(TCreateParams& Params) override;
    void Dispatch(TMessage& Message) override;
    virtual void CNCommand(TWMCommand& Message) { (void)Message; }
    bool FClicksDisabled = false;
};

class TButton : public TButtonControl {
public:
    explicit TButton(TComponent* AOwner);
    bool Default() const { return FDefault; }
    void SetDefault(bool Value);
    bool Cancel() const { return FCancel; }
    void SetCancel(bool Value) { FCancel = Value; }
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult Value) { FModalResult = Value; }
    void Click() override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CNCommand(TWMCommand& Message) override;
    void CMDialogKey(TCMDialogKey& Message) override;

private:
    bool FDefault = false;
    bool FCancel = false;
    TModalResult FModalResult = mrNone;
};

class TCustomCheckBox : public TButtonControl {
public:
    explicit TCustomCheckBox(TComponent* AOwner);
    bool Checked() const { return FState == cbChecked; }
    void SetChecked(bool Value) { SetState(Value ? cbChecked : cbUnchecked); }
    TCheckBoxState State() const { return FState; }
    void SetState(TCheckBoxState Value);
    bool AllowGrayed() const { return FAllowGrayed; }
    void SetAllowGrayed(bool Value) { FAllowGrayed = Value; }
    TLeftRight Alignment() const { return FAlignment; }
    void SetAlignment(TLeftRight Value);

protected:
    // The next state a click gives: unchecked, checked, then grayed where allowed.
    virtual void Toggle();
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void CNCommand(TWMCommand& Message) override;

private:
    TCheckBoxState FState = cbUnchecked;
    bool FAllowGrayed = false;
    TLeftRight FAlignment = taRightJustify;
};

class TCheckBox : public TCustomCheckBox {
public:
    using TCustomCheckBox::TCustomCheckBox;
};

// Checking one unchecks its siblings that are radio buttons too.
class TRadioButton : public TButtonControl {
public:
    explicit TRadioButton(TComponent* AOwner);
    bool Checked() const { return FChecked; }
    void SetChecked(bool Value);

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void CNCommand(TWMCommand& Message) override;

private:
    bool FChecked = false;
};

class TCustomGroupBox : public TCustomControl {
public:
    explicit TCustomGroupBox(TComponent* AOwner);

protected:
    void AdjustClientRect(TRect& Rect) override;
    void Paint() override;
    void Dispatch(TMessage& Message) override;
};

class TGroupBox : public TCustomGroupBox {
public:
    using TCustomGroupBox::TCustomGroupBox;
};

// A single-line edit over the platform's "Edit" window; OnChange follows EN_CHANGE, once per change of
// the text, whoever made it.
class TCustomEdit : public TWinControl {
public:
    explicit TCustomEdit(TComponent* AOwner);

    int SelStart();
    void SetSelStart(int Value);
    int SelLength();
    void SetSelLength(int Value);
    String SelText();
    void SetSelText(const String& Value);
    void SelectAll();
    void Clear() { SetText(String()); }
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value);
    rtl::Char PasswordChar() const { return FPasswordChar; }
    void SetPasswordChar(rtl::Char Value);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    bool NumbersOnly() const { return FNumbersOnly; }
    void SetNumbersOnly(bool Value);
    TEditCharCase CharCase() const { return FCharCase; }
    void SetCharCase(TEditCharCase Value);
    bool Modified();
    void SetModified(bool Value);
    String TextHint() const { return FTextHint; }
    void SetTextHint(const String& Value);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);

    TNotifyEvent OnChange;

protected:
    virtual void Change();
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void Dispatch(TMessage& Message) override;

private:
    void GetSel(int& Start, int& End);
    void PaintTextHint(HDC DC);
    LRESULT Send(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);

    int FMaxLength = 0;
    rtl::Char FPasswordChar = 0;
    bool FReadOnly = false;
    bool FNumbersOnly = false;
    TEditCharCase FCharCase = ecNormal;
    bool FModified = false;
    bool FCreating = false;
    String FTextHint;
    TBorderStyle FBorderStyle = bsSingle;
    TAlignment FAlignment = taLeftJustify;
};

class TEdit : public TCustomEdit {
public:
    using TCustomEdit::TCustomEdit;
};

} // namespace vcl
