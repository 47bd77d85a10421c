// vcl/StdCtrls.cpp: labels, buttons, check boxes, radio buttons, group boxes.
#include "vcl/StdCtrls.h"
#include "vcl/Forms.h"

namespace vcl {

namespace {
std::u16string Wide(const String& s) { return s.toStdU16String(); }

// Text of a label measured or drawn on DC with the label's font.
void DrawLabelText(HDC DC, HFONT Font, const String& Text, RECT& R, UINT Flags) {
    HGDIOBJ old = SelectObject(DC, Font);
    const std::u16string text = Wide(Text.isEmpty() && (Flags & DT_CALCRECT) ? String(u" "_qs) : Text);
    DrawTextW(DC, reinterpret_cast<LPCWSTR>(text.c_str()), int(text.size()), &R, Flags);
    SelectObject(DC, old);
}
} // namespace

bool IsAccel(WORD Key, const String& Caption) {
    for (qsizetype i = 0; i + 1 < Caption.size(); ++i) {
        if (Caption[i] != u'&') continue;
        if (Caption[i + 1] == u'&') { ++i; continue; }
        return Caption[i + 1].toUpper() == QChar(Key).toUpper();
    }
    return false;
}

// ---- TCustomLabel ----

TCustomLabel::TCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
    SetControlStyle(ControlStyle() + TControlStyle{csOpaque, csReplicatable});
    SetBounds(Left(), Top(), 65, 17);
    SetAutoSize(true);
}

UINT TCustomLabel::DrawTextFlags() const {
    static constexpr UINT Align[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
    UINT flags = DT_EXPANDTABS | Align[FAlignment];
    if (FWordWrap) flags |= DT_WORDBREAK;
    if (!FShowAccelChar) flags |= DT_NOPREFIX;
    if (!FWordWrap) {
        static constexpr UINT Ellipsis[] = {0, DT_PATH_ELLIPSIS, DT_END_ELLIPSIS, DT_WORD_ELLIPSIS};
        flags |= Ellipsis[FEllipsisPosition];
    }
    return flags;
}

bool TCustomLabel::CanAutoSize(int& NewWidth, int& NewHeight) {
    HDC dc = CreateCompatibleDC(nullptr);
    // Word-wrapped labels keep their width and grow downwards.
    RECT r{0, 0, FWordWrap ? NewWidth : 0x7fff, 0};
    DrawLabelText(dc, Font()->Handle(), Caption(), r, (DrawTextFlags() | DT_CALCRECT) & ~UINT(DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS));
    DeleteDC(dc);
    if (!FWordWrap) NewWidth = r.right;
    NewHeight = r.bottom;
    return true;
}

void TCustomLabel::Paint() {
    TCanvas* canvas = Canvas();
    TRect client = ClientRect();
    if (!FTransparent) {
        canvas->Brush()->SetColor(Color());
        canvas->FillRect(client);
    }
    HDC dc = canvas->Handle();
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorToRGB(Enabled() ? Font()->Color() : clGrayText));
    RECT r{client.Left, client.Top, client.Right, client.Bottom};
    const UINT flags = DrawTextFlags();
    if (FLayout != tlTop) {
        RECT calc = r;
        DrawLabelText(dc, Font()->Handle(), Caption(), calc, flags | DT_CALCRECT);
        const int h = calc.bottom - calc.top;
        r.top += FLayout == tlBottom ? (client.Height() - h) : (client.Height() - h) / 2;
    }
    DrawLabelText(dc, Font()->Handle(), Caption(), r, flags);
}

void TCustomLabel::TextLayoutChanged() {
    AdjustSize();
    Invalidate();
}

void TCustomLabel::SetAlignment(TAlignment Value) {
    if (FAlignment != Value) { FAlignment = Value; Invalidate(); }
}
void TCustomLabel::SetLayout(TTextLayout Value) {
    if (FLayout != Value) { FLayout = Value; Invalidate(); }
}
void TCustomLabel::SetWordWrap(bool Value) {
    if (FWordWrap != Value) { FWordWrap = Value; TextLayoutChanged(); }
}
void TCustomLabel::SetShowAccelChar(bool Value) {
    if (FShowAccelChar != Value) { FShowAccelChar = Value; TextLayoutChanged(); }
}
void TCustomLabel::SetEllipsisPosition(TEllipsisPosition Value) {
    if (FEllipsisPosition != Value) { FEllipsisPosition = Value; Invalidate(); }
}
void TCustomLabel::SetTransparent(bool Value) {
    if (FTransparent == Value) return;
    FTransparent = Value;
    SetControlStyle(Value ? ControlStyle() - TControlStyle{csOpaque} : ControlStyle() + TControlStyle{csOpaque});
    Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* Value) {
    if (FFocusControl) FFocusControl->RemoveFreeNotification(this);
    FFocusControl = Value;
    if (Value) Value->FreeNotification(this);
}

void TCustomLabel::Notification(TComponent* AComponent, rtl::TOperation Operation) {
    TGraphicControl::Notification(AComponent, Operation);
    if (Operation == rtl::opRemove && AComponent == FFocusControl) FFocusControl = nullptr;
}

void TCustomLabel::Dispatch(TMessage& Message) {
    if (Message.Msg == CM_DIALOGCHAR) {
        CMDialogChar(MessageAs<TCMDialogChar>(Message));
        return;
    }
    TGraphicControl::Dispatch(Message);
}

void TCustomLabel::CMTextChanged(TMessage& Message) {
    (void)Message;
    TextLayoutChanged();
}

void TCustomLabel::CMFontChanged(TMessage& Message) {
    TGraphicControl::CMFontChanged(Message);
    TextLayoutChanged();
}

void TCustomLabel::CMDialogChar(TCMDialogChar& Message) {
    // The accelerator of the caption moves the focus to the control the label names.
    if (FFocusControl && Enabled() && FShowAccelChar && IsAccel(Message.CharCode(), Caption()) &&
        FFocusControl->CanFocus()) {
        FFocusControl->SetFocus();
        Message.Result = 1;
    }
}

// ---- TButtonControl ----

TButtonControl::TButtonControl(TComponent* AOwner) : TWinControl(AOwner) {
    SetControlStyle(TControlStyle{csSetCaption, csDoubleClicks});
}

void TButtonControl::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, u"BUTTON"_qs);
}

void TButtonControl::Dispatch(TMessage& Message) {
    if (Message.Msg == CN_COMMAND) {
        CNCommand(MessageAs<TWMCommand>(Message));
        return;
    }
    TWinControl::Dispatch(Message);
}

// ---- TButton ----

TButton::TButton(TComponent* AOwner) : TButtonControl(AOwner) {
    SetBounds(Left(), Top(), 75, 25);
    SetTabStop(true);
}

void TButton::CreateParams(TCreateParams& Params) {
    TButtonControl::CreateParams(Params);
    Params.Style |= (FDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | WS_TABSTOP;
}

void TButton::SetDefault(bool Value) {
    if (FDefault == Value) return;
    FDefault = Value;
    if (HandleAllocated()) SendMessageW(WindowHandle(), BM_SETSTYLE, Value ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void TButton::Click() {
    // The form closes a modal loop on the result; the handler still runs.
    if (TCustomForm* form = GetParentForm(this); form && FModalResult != mrNone) form->SetModalResult(FModalResult);
    TButtonControl::Click();
}

void TButton::CNCommand(TWMCommand& Message) {
    if (Message.NotifyCode() == BN_CLICKED) Click();
}

void TButton::CMDialogKey(TCMDialogKey& Message) {
    const WORD key = Message.CharCode();
    if (((key == VK_RETURN && FDefault) || (key == VK_ESCAPE && FCancel)) && GetKeyState(VK_MENU) >= 0 &&
        CanFocus()) {
        Click();
        Message.Result = 1;
        return;
    }
    TButtonControl::CMDialogKey(Message);
}

// ---- TCustomCheckBox ----

TCustomCheckBox::TCustomCheckBox(TComponent* AOwner) : TButtonControl(AOwner) {
    SetBounds(Left(), Top(), 97, 17);
    SetTabStop(true);
}

void TCustomCheckBox::CreateParams(TCreateParams& Params) {
    TButtonControl::CreateParams(Params);
    // Not an automatic box: the control owns the state and tells the window.
    Params.Style |= BS_3STATE | WS_TABSTOP;
    if (FAlignment == taLeftJustify) Params.Style |= BS_LEFTTEXT;
}

void TCustomCheckBox::CreateWnd() {
    TButtonControl::CreateWnd();
    SendMessageW(WindowHandle(), BM_SETCHECK, WPARAM(FState), 0);
}

void TCustomCheckBox::SetAlignment(TLeftRight Value) {
    if (FAlignment == Value) return;
    FAlignment = Value;
    RecreateWnd();
}

void TCustomCheckBox::SetState(TCheckBoxState Value) {
    if (FState == Value) return;
    FState = Value;
    if (HandleAllocated()) SendMessageW(WindowHandle(), BM_SETCHECK, WPARAM(FState), 0);
    if (!ClicksDisabled() && !ComponentState().Contains(rtl::csLoading)) Click();
}

void TCustomCheckBox::Toggle() {
    switch (FState) {
    case cbUnchecked: SetState(FAllowGrayed ? cbGrayed : cbChecked); break;
    case cbChecked: SetState(cbUnchecked); break;
    case cbGrayed: SetState(cbChecked); break;
    }
}

void TCustomCheckBox::CNCommand(TWMCommand& Message) {
    if (Message.NotifyCode() == BN_CLICKED) Toggle();
}

// ---- TRadioButton ----

TRadioButton::TRadioButton(TComponent* AOwner) : TButtonControl(AOwner) {
    SetBounds(Left(), Top(), 113, 17);
}

void TRadioButton::CreateParams(TCreateParams& Params) {
    TButtonControl::CreateParams(Params);
    Params.Style |= BS_RADIOBUTTON;
}

void TRadioButton::CreateWnd() {
    TButtonControl::CreateWnd();
    SendMessageW(WindowHandle(), BM_SETCHECK, FChecked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TRadioButton::SetChecked(bool Value) {
    if (FChecked == Value) return;
    FChecked = Value;
    SetTabStop(Value);
    if (HandleAllocated()) SendMessageW(WindowHandle(), BM_SETCHECK, Value ? BST_CHECKED : BST_UNCHECKED, 0);
    if (!Value) return;
    if (TWinControl* parent = Parent()) {
        for (int i = 0; i < parent->ControlCount(); ++i)
            if (auto* sibling = dynamic_cast<TRadioButton*>(parent->Controls(i)); sibling && sibling != this)
                sibling->SetChecked(false);
    }
    if (!ClicksDisabled() && !ComponentState().Contains(rtl::csLoading)) Click();
}

void TRadioButton::CNCommand(TWMCommand& Message) {
    if (Message.NotifyCode() == BN_CLICKED) SetChecked(true);
}

// ---- TCustomGroupBox ----

TCustomGroupBox::TCustomGroupBox(TComponent* AOwner) : TCustomControl(AOwner) {
    SetControlStyle(TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks,
                                  csReplicatable, csParentBackground});
    SetBounds(Left(), Top(), 185, 105);
}

void TCustomGroupBox::AdjustClientRect(TRect& Rect) {
    TCustomControl::AdjustClientRect(Rect);
    // Room for the caption on the frame, and for the frame itself.
    Canvas()->Font()->Assign(Font());
    Rect.Top += Canvas()->TextHeight(u"0"_qs);
    Rect.Left += 1; Rect.Right -= 1; Rect.Bottom -= 1;
    if (Rect.Right < Rect.Left) Rect.Right = Rect.Left;
    if (Rect.Bottom < Rect.Top) Rect.Bottom = Rect.Top;
}

void TCustomGroupBox::Paint() {
    TCanvas* canvas = Canvas();
    canvas->Font()->Assign(Font());
    const int h = canvas->TextHeight(u"0"_qs);
    TRect r = ClientRect();
    r.Top += h / 2;
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(ClientRect());
    canvas->Pen()->SetColor(clBtnShadow);
    canvas->Brush()->SetStyle(bsClear);
    canvas->Rectangle(r.Left, r.Top, r.Right - 1, r.Bottom - 1);
    canvas->Pen()->SetColor(clBtnHighlight);
    canvas->Rectangle(r.Left + 1, r.Top + 1, r.Right, r.Bottom);
    if (!Caption().isEmpty()) {
        canvas->Brush()->SetStyle(bsSolid);
        canvas->TextOut(8, 0, Caption());
    }
}

void TCustomGroupBox::Dispatch(TMessage& Message) {
    // The caption's accelerator moves to the first control inside.
    if (Message.Msg == CM_DIALOGCHAR && IsAccel(WORD(Message.WParam), Caption()) && CanFocus()) {
        SelectFirst();
        Message.Result = 1;
        return;
    }
    if (Message.Msg == CM_TEXTCHANGED) {
        Realign();
        Invalidate();
    }
    TCustomControl::Dispatch(Message);
}

// ---- TCustomEdit ----

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner) {
    SetControlStyle(TControlStyle{csClickEvents, csSetCaption, csDoubleClicks});
    SetBounds(Left(), Top(), 121, 21);
    SetTabStop(true);
    SetParentColor(false);
    SetColor(clWindow);
}

LRESULT TCustomEdit::Send(UINT Msg, WPARAM WParam, LPARAM LParam) {
    return SendMessageW(Handle(), Msg, WParam, LParam);
}

void TCustomEdit::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, u"EDIT"_qs);
    static constexpr DWORD Align[] = {ES_LEFT, ES_RIGHT, ES_CENTER};
    static constexpr DWORD Case[] = {0, ES_UPPERCASE, ES_LOWERCASE};
    Params.Style |= ES_AUTOHSCROLL | WS_TABSTOP | Align[FAlignment] | Case[FCharCase];
    if (FReadOnly) Params.Style |= ES_READONLY;
    if (FNumbersOnly) Params.Style |= ES_NUMBER;
    if (FPasswordChar != 0) Params.Style |= ES_PASSWORD;
    if (FBorderStyle == bsSingle) Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomEdit::CreateWnd() {
    FCreating = true;
    try {
        TWinControl::CreateWnd();
    } catch (...) {
        FCreating = false;
        throw;
    }
    FCreating = false;
    Send(EM_LIMITTEXT, WPARAM(FMaxLength));
    Send(EM_SETPASSWORDCHAR, WPARAM(FPasswordChar));
    Send(EM_SETMODIFY, FModified);
}

void TCustomEdit::DestroyWnd() {
    // What the window knew survives a new window.
    FModified = Modified();
    TWinControl::DestroyWnd();
}

void TCustomEdit::Dispatch(TMessage& Message) {
    if (Message.Msg == CN_COMMAND) {
        if (HIWORD(Message.WParam) == EN_CHANGE && !FCreating) Change();
        return;
    }
    TWinControl::Dispatch(Message);
    switch (Message.Msg) {
    case WM_PAINT:
        if (HDC given = HDC(Message.WParam)) PaintTextHint(given);
        else if (HandleAllocated()) {
            HDC dc = GetDC(WindowHandle());
            PaintTextHint(dc);
            ReleaseDC(WindowHandle(), dc);
        }
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        if (!FTextHint.isEmpty()) Invalidate();
        break;
    }
}

void TCustomEdit::PaintTextHint(HDC DC) {
    // The hint stands in the empty box until it gets the focus.
    if (FTextHint.isEmpty() || GetWindowTextLengthW(WindowHandle()) != 0 || Focused()) return;
    static constexpr UINT Align[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
    HGDIOBJ old = SelectObject(DC, Font()->Handle());
    SetBkMode(DC, TRANSPARENT);
    SetTextColor(DC, ColorToRGB(clGrayText));
    RECT r{2, 0, ClientWidth() - 2, ClientHeight()};
    const std::u16string text = FTextHint.toStdU16String();
    DrawTextW(DC, reinterpret_cast<LPCWSTR>(text.c_str()), int(text.size()), &r,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | Align[FAlignment]);
    SelectObject(DC, old);
}

void TCustomEdit::Change() {
    Changed();
    if (!ComponentState().Contains(rtl::csLoading)) OnChange(this);
}

void TCustomEdit::GetSel(int& Start, int& End) {
    DWORD start = 0, end = 0;
    Send(EM_GETSEL, WPARAM(&start), LPARAM(&end));
    Start = int(start);
    End = int(end);
}

int TCustomEdit::SelStart() {
    int start, end;
    GetSel(start, end);
    return start;
}

void TCustomEdit::SetSelStart(int Value) { Send(EM_SETSEL, WPARAM(Value), LPARAM(Value)); }

int TCustomEdit::SelLength() {
    int start, end;
    GetSel(start, end);
    return end - start;
}

void TCustomEdit::SetSelLength(int Value) {
    int start, end;
    GetSel(start, end);
    Send(EM_SETSEL, WPARAM(start), LPARAM(start + Value));
    Send(EM_SCROLLCARET);
}

String TCustomEdit::SelText() {
    int start, end;
    GetSel(start, end);
    return Text().mid(start, end - start);
}

void TCustomEdit::SetSelText(const String& Value) {
    const std::u16string text = Value.toStdU16String();
    Send(EM_REPLACESEL, 0, LPARAM(text.c_str()));
}

void TCustomEdit::SelectAll() { Send(EM_SETSEL, 0, LPARAM(-1)); }

void TCustomEdit::SetMaxLength(int Value) {
    if (Value < 0) Value = 0;
    FMaxLength = Value;
    if (HandleAllocated()) Send(EM_LIMITTEXT, WPARAM(Value));
}

void TCustomEdit::SetPasswordChar(rtl::Char Value) {
    if (FPasswordChar == Value) return;
    FPasswordChar = Value;
    if (HandleAllocated()) {
        Send(EM_SETPASSWORDCHAR, WPARAM(Value));
        Invalidate();
    }
}

void TCustomEdit::SetReadOnly(bool Value) {
    if (FReadOnly == Value) return;
    FReadOnly = Value;
    if (HandleAllocated()) Send(EM_SETREADONLY, Value);
}

void TCustomEdit::SetNumbersOnly(bool Value) {
    if (FNumbersOnly == Value) return;
    FNumbersOnly = Value;
    if (HandleAllocated()) RecreateWnd();
}

void TCustomEdit::SetCharCase(TEditCharCase Value) {
    if (FCharCase == Value) return;
    FCharCase = Value;
    // The text already there takes the case too.
    if (Value == ecUpperCase) SetText(Text().toUpper());
    else if (Value == ecLowerCase) SetText(Text().toLower());
    if (HandleAllocated()) RecreateWnd();
}

void TCustomEdit::SetBorderStyle(TBorderStyle Value) {
    if (FBorderStyle == Value) return;
    FBorderStyle = Value;
    if (HandleAllocated()) RecreateWnd();
}

void TCustomEdit::SetAlignment(TAlignment Value) {
    if (FAlignment == Value) return;
    FAlignment = Value;
    if (HandleAllocated()) RecreateWnd();
}

bool TCustomEdit::Modified() {
    if (HandleAllocated()) return Send(EM_GETMODIFY) != 0;
    return FModified;
}

void TCustomEdit::SetTextHint(const String& Value) {
    if (FTextHint == Value) return;
    FTextHint = Value;
    if (HandleAllocated()) Invalidate();
}

void TCustomEdit::SetModified(bool Value) {
    FModified = Value;
    if (HandleAllocated()) Send(EM_SETMODIFY, Value);
}

} // namespace vcl
