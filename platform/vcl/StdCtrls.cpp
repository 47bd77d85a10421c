// vcl/StdCtrls.cpp: labels, buttons, check boxes, radio buttons, group boxes.
#include "vcl/StdCtrls.h"
#include "vcl/Forms.h"

#include <QScopedValueRollback>
#include <algorithm>

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

void TCustomLabel::AdjustBounds() {
    if (AutoSize()) AdjustSize();
}

void TCustomLabel::TextLayoutChanged() {
    AdjustBounds();
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
    if (HandleAllocated()) SetButtonStyle(Value);
}

void TButton::SetButtonStyle(bool ADefault) {
    const LONG style = ADefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    if ((GetWindowLongW(WindowHandle(), GWL_STYLE) & BS_TYPEMASK) != style)
        SendMessageW(WindowHandle(), BM_SETSTYLE, WPARAM(style), TRUE);
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
    // Room for the caption on the frame, and for the frame itself. Before the window exists (a group box
    // sized before it has a parent) the caption is measured on the screen, not by making the window.
    if (HandleAllocated()) {
        Canvas()->Font()->Assign(Font());
        Rect.Top += Canvas()->TextHeight(u"0"_qs);
    } else if (HDC dc = GetDC(nullptr)) {
        const HGDIOBJ old = SelectObject(dc, Font()->Handle());
        SIZE size{};
        GetTextExtentPoint32W(dc, reinterpret_cast<LPCWSTR>(u"0"), 1, &size);
        SelectObject(dc, old);
        ReleaseDC(nullptr, dc);
        Rect.Top += size.cy;
    }
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
    SetAutoSize(true);
}

bool TCustomEdit::CanAutoSize(int& NewWidth, int& NewHeight) {
    (void)NewWidth;
    HDC dc = CreateCompatibleDC(nullptr);
    TEXTMETRICW font{};
    HGDIOBJ old = SelectObject(dc, Font()->Handle());
    GetTextMetricsW(dc, &font);
    SelectObject(dc, old);
    DeleteDC(dc);
    // Room for the frame and the margins above and below the text, a bit more with the 3-D frame.
    NewHeight = font.tmHeight + GetSystemMetrics(SM_CYBORDER) * (Ctl3D() ? 8 : 6);
    return true;
}

void TCustomEdit::CMFontChanged(TMessage& Message) {
    TWinControl::CMFontChanged(Message);
    if (AutoSize()) AdjustSize();
}

void TCustomEdit::CMEnter(TMessage& Message) {
    // A click places the caret where it lands instead.
    if (FAutoSelect && HandleAllocated() && !ControlState().Contains(csLButtonDown) &&
        !(GetWindowLongW(WindowHandle(), GWL_STYLE) & ES_MULTILINE))
        SelectAll();
    TWinControl::CMEnter(Message);
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


// ---- TCustomMemo ----

namespace {

// The lines of a memo's window: EM_ messages on the window while it exists, the control's text before.
class TMemoStrings : public rtl::TStrings {
public:
    explicit TMemoStrings(TCustomMemo* Memo) : FMemo(Memo) {}

    int Count() const override {
        if (!FMemo->HandleAllocated()) {
            rtl::TStringList lines;
            LoadTextLines(lines);
            return lines.Count();
        }
        int n = int(Send(EM_GETLINECOUNT));
        // A text that ends in a line break has an empty last line that is not a line of the list.
        if (n > 0 && Send(EM_LINELENGTH, WPARAM(Send(EM_LINEINDEX, WPARAM(n - 1)))) == 0) --n;
        return n;
    }

    void Insert(int Index, const String& S) override { InsertLines(Index, S, 1); }

    void AddStrings(rtl::TStrings* Strings) override {
        // One replacement for the whole block: adding many lines stays linear in their length.
        if (!Strings || Strings->Count() == 0) return;
        const int n = Strings->Count();
        String block;
        qsizetype size = 0;
        for (int i = 0; i < n; ++i) size += Strings->Strings(i).size() + 2;
        block.reserve(size);
        for (int i = 0; i < n; ++i) {
            if (i > 0) block += u"\r\n"_qs;
            block += Strings->Strings(i);
        }
        InsertLines(Count(), block, n);
    }

    void Delete(int Index) override {
        CheckIndex(Index, Count() - 1);
        if (!FMemo->HandleAllocated()) {
            rtl::TStringList lines;
            LoadTextLines(lines);
            lines.Delete(Index);
            FMemo->SetText(lines.Text());
            return;
        }
        const LRESULT start = Send(EM_LINEINDEX, WPARAM(Index));
        LRESULT end = Send(EM_LINEINDEX, WPARAM(Index + 1));
        if (end < 0) end = start + Send(EM_LINELENGTH, WPARAM(start));
        Send(EM_SETSEL, WPARAM(start), LPARAM(end));
        Send(EM_REPLACESEL, 0, LPARAM(u""));
    }

    void Clear() override { FMemo->Clear(); }

protected:
    String Get(int Index) const override {
        if (!FMemo->HandleAllocated()) {
            rtl::TStringList lines;
            LoadTextLines(lines);
            CheckIndex(Index, lines.Count() - 1);
            return lines.Strings(Index);
        }
        CheckIndex(Index, int(Send(EM_GETLINECOUNT)) - 1);
        const LRESULT length = Send(EM_LINELENGTH, WPARAM(Send(EM_LINEINDEX, WPARAM(Index))));
        if (length <= 0) return String();
        // EM_GETLINE reads the buffer size from the buffer's first unit.
        std::u16string buffer(size_t(std::max<LRESULT>(length, 1)), u'\0');
        buffer[0] = char16_t(std::min<LRESULT>(length, 0xFFFF));
        if (length > 0xFFFF) {
            // Longer than the size word can say: cut from the whole text instead.
            const String text = FMemo->Text();
            return text.mid(int(Send(EM_LINEINDEX, WPARAM(Index))), int(length));
        }
        const LRESULT got = Send(EM_GETLINE, WPARAM(Index), LPARAM(buffer.data()));
        return String::fromUtf16(buffer.data(), qsizetype(got));
    }

    void Put(int Index, const String& S) override {
        CheckIndex(Index, Count() - 1);
        if (!FMemo->HandleAllocated()) {
            rtl::TStringList lines;
            LoadTextLines(lines);
            lines.SetStrings(Index, S);
            FMemo->SetText(lines.Text());
            return;
        }
        const LRESULT start = Send(EM_LINEINDEX, WPARAM(Index));
        Send(EM_SETSEL, WPARAM(start), LPARAM(start + Send(EM_LINELENGTH, WPARAM(start))));
        const std::u16string text = S.toStdU16String();
        Send(EM_REPLACESEL, 0, LPARAM(text.c_str()));
    }

    String GetTextStr() const override { return FMemo->Text(); }

    void SetTextStr(const String& Value) override {
        if (Value == FMemo->Text()) return;
        FMemo->SetText(Value);
    }

    void SetUpdateState(bool Updating) override {
        if (!FMemo->HandleAllocated()) return;
        Send(WM_SETREDRAW, Updating ? FALSE : TRUE);
        if (!Updating) FMemo->Refresh();
    }

private:
    LRESULT Send(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0) const {
        return SendMessageW(FMemo->WindowHandle(), Msg, WParam, LParam);
    }
    static void CheckIndex(int Index, int Last) {
        if (Index < 0 || Index > Last) Error("List index out of bounds (%d)", Index);
    }
    void LoadTextLines(rtl::TStringList& Lines) const { Lines.SetText(FMemo->Text()); }

    // Inserts Lines (Count lines joined by CR LF) before line Index; Index may be the count.
    void InsertLines(int Index, const String& Lines, int Count) {
        (void)Count;
        CheckIndex(Index, this->Count());
        if (!FMemo->HandleAllocated()) {
            String text = FMemo->Text();
            rtl::TStringList lines;
            lines.SetText(text);
            lines.Insert(Index, Lines);
            FMemo->SetText(lines.Text());
            return;
        }
        LRESULT start = Send(EM_LINEINDEX, WPARAM(Index));
        String insert;
        if (start >= 0) {
            insert = Lines + u"\r\n"_qs;
        } else {
            // After the last line, which has no line break yet.
            start = Send(EM_LINEINDEX, WPARAM(Index - 1));
            start += Send(EM_LINELENGTH, WPARAM(start));
            insert = u"\r\n"_qs + Lines;
        }
        Send(EM_SETSEL, WPARAM(start), LPARAM(start));
        const std::u16string text = insert.toStdU16String();
        Send(EM_REPLACESEL, 0, LPARAM(text.c_str()));
    }

    TCustomMemo* FMemo;
};

} // namespace

TCustomMemo::TCustomMemo(TComponent* AOwner) : TCustomEdit(AOwner), FLines(std::make_unique<TMemoStrings>(this)) {
    SetAutoSize(false);
    SetBounds(Left(), Top(), 185, 89);
}

TCustomMemo::~TCustomMemo() = default;

void TCustomMemo::CreateParams(TCreateParams& Params) {
    TCustomEdit::CreateParams(Params);
    static constexpr DWORD Bars[] = {0, WS_HSCROLL, WS_VSCROLL, WS_HSCROLL | WS_VSCROLL};
    Params.Style &= ~DWORD(ES_AUTOHSCROLL);
    Params.Style |= ES_MULTILINE | ES_AUTOVSCROLL | Bars[int(FScrollBars)];
    if (!FWordWrap) Params.Style |= ES_AUTOHSCROLL;
}

void TCustomMemo::SetScrollBars(TScrollStyle Value) {
    if (FScrollBars == Value) return;
    FScrollBars = Value;
    RecreateWnd();
}

void TCustomMemo::SetWordWrap(bool Value) {
    if (FWordWrap == Value) return;
    FWordWrap = Value;
    RecreateWnd();
}

TPoint TCustomMemo::CaretPos() {
    if (!HandleAllocated()) return TPoint(0, 0);
    DWORD start = 0, end = 0;
    SendMessageW(WindowHandle(), EM_GETSEL, WPARAM(&start), LPARAM(&end));
    const int line = int(SendMessageW(WindowHandle(), EM_LINEFROMCHAR, WPARAM(end), 0));
    return TPoint(int(end) - int(SendMessageW(WindowHandle(), EM_LINEINDEX, WPARAM(line), 0)), line);
}

void TCustomMemo::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_GETDLGCODE:
        TCustomEdit::Dispatch(Message);
        if (FWantTabs) Message.Result |= DLGC_WANTTAB;
        else Message.Result &= ~LRESULT(DLGC_WANTTAB);
        if (!FWantReturns) Message.Result &= ~LRESULT(DLGC_WANTALLKEYS);
        return;
    case WM_SETTEXT:
        // A multi-line window says nothing of a text set as a whole.
        TCustomEdit::Dispatch(Message);
        Change();
        return;
    default: TCustomEdit::Dispatch(Message);
    }
}

void TCustomMemo::KeyPress(rtl::Char& Key) {
    TCustomEdit::KeyPress(Key);
    if (Key == u'\r' && !FWantReturns) Key = 0;
    if (Key == u'\t' && !FWantTabs) Key = 0;
}

// ---- the items of list boxes and combo boxes ----

namespace detail {

struct TItemMessages {
    UINT Add, Insert, Delete, Reset, Count, GetText, GetTextLen, GetData, SetData, InitStorage;
    LRESULT Err;
};

constexpr TItemMessages ListBoxMessages{LB_ADDSTRING, LB_INSERTSTRING, LB_DELETESTRING, LB_RESETCONTENT,
                                        LB_GETCOUNT, LB_GETTEXT, LB_GETTEXTLEN, LB_GETITEMDATA,
                                        LB_SETITEMDATA, LB_INITSTORAGE, LB_ERR};
constexpr TItemMessages ComboBoxMessages{CB_ADDSTRING, CB_INSERTSTRING, CB_DELETESTRING, CB_RESETCONTENT,
                                         CB_GETCOUNT, CB_GETLBTEXT, CB_GETLBTEXTLEN, CB_GETITEMDATA,
                                         CB_SETITEMDATA, CB_INITSTORAGE, CB_ERR};

// While the control has a window the items are the window's; before it (and between two windows) they
// are kept here, sorted as the window would sort them.
class TItemStrings : public rtl::TStrings {
public:
    TItemStrings(TWinControl* Control, const TItemMessages& Messages) : FControl(Control), FMsg(Messages) {}

    bool Sorted() const { return FSorted; }
    void SetSorted(bool Value) { FSorted = Value; }

    int Count() const override {
        return Windowed() ? int(Send(FMsg.Count)) : FSaved.Count();
    }

    int Add(const String& S) override {
        if (!Windowed()) {
            int at = FSaved.Count();
            if (FSorted && (at == 0 || S.compare(FSaved.Strings(at - 1), Qt::CaseInsensitive) < 0)) {
                int lo = 0, hi = FSaved.Count();
                while (lo < hi) {
                    const int mid = (lo + hi) / 2;
                    if (S.compare(FSaved.Strings(mid), Qt::CaseInsensitive) < 0) hi = mid;
                    else lo = mid + 1;
                }
                at = lo;
            }
            FSaved.Insert(at, S);
            return at;
        }
        const std::u16string text = S.toStdU16String();
        const LRESULT at = Send(FMsg.Add, 0, LPARAM(text.c_str()));
        if (at < 0) Error("Failed to insert item (%d)", Count());
        return int(at);
    }

    void Insert(int Index, const String& S) override {
        if (Index < 0 || Index > Count()) Error("List index out of bounds (%d)", Index);
        if (!Windowed()) {
            FSaved.Insert(Index, S);
            return;
        }
        const std::u16string text = S.toStdU16String();
        if (Send(FMsg.Insert, WPARAM(Index), LPARAM(text.c_str())) < 0) Error("Failed to insert item (%d)", Index);
    }

    void AddStrings(rtl::TStrings* Strings) override {
        if (!Strings) return;
        const int n = Strings->Count();
        if (Windowed()) Send(FMsg.InitStorage, WPARAM(n), 0);
        if (!FSorted || n < 2 || Count() != 0 || Strings == this) {
            rtl::TStrings::AddStrings(Strings);
            return;
        }
        // Into an empty sorted list, in sorted order (stable, as equal items would go after each
        // other): each then goes last instead of moving all those after its place.
        std::vector<String> texts(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i) texts[size_t(i)] = Strings->Strings(i);
        std::vector<int> order(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i) order[size_t(i)] = i;
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            return texts[size_t(a)].compare(texts[size_t(b)], Qt::CaseInsensitive) < 0;
        });
        BeginUpdate();
        try {
            for (int i : order) AddObject(texts[size_t(i)], Strings->Objects(i));
        } catch (...) {
            EndUpdate();
            throw;
        }
        EndUpdate();
    }

    void Delete(int Index) override {
        CheckIndex(Index);
        if (Windowed()) Send(FMsg.Delete, WPARAM(Index));
        else FSaved.Delete(Index);
    }

    void Clear() override {
        if (Windowed()) Send(FMsg.Reset);
        else FSaved.Clear();
    }

    // The window's items into the saved list, before the window goes.
    void SaveFromWindow() {
        FSaved.Clear();
        const int n = int(Send(FMsg.Count));
        for (int i = 0; i < n; ++i) FSaved.AddObject(Get(i), GetObject(i));
    }
    // The saved items into a new window (which sorts them when it is sorted).
    void LoadIntoWindow() {
        const int n = FSaved.Count();
        if (n == 0) return;
        Send(FMsg.InitStorage, WPARAM(n), 0);
        for (int i = 0; i < n; ++i) {
            const std::u16string text = FSaved.Strings(i).toStdU16String();
            const LRESULT at = FSorted ? Send(FMsg.Add, 0, LPARAM(text.c_str()))
                                       : Send(FMsg.Insert, WPARAM(-1), LPARAM(text.c_str()));
            if (at >= 0) Send(FMsg.SetData, WPARAM(at), LPARAM(FSaved.Objects(i)));
        }
        FSaved.Clear();
    }

protected:
    String Get(int Index) const override {
        CheckIndex(Index);
        if (!Windowed()) return FSaved.Strings(Index);
        const LRESULT length = Send(FMsg.GetTextLen, WPARAM(Index));
        if (length <= 0) return String();
        std::u16string text(size_t(length) + 1, u'\0');
        const LRESULT got = Send(FMsg.GetText, WPARAM(Index), LPARAM(text.data()));
        return String::fromUtf16(text.data(), qsizetype(std::max<LRESULT>(got, 0)));
    }

    TObject* GetObject(int Index) const override {
        CheckIndex(Index);
        if (!Windowed()) return FSaved.Objects(Index);
        const LRESULT data = Send(FMsg.GetData, WPARAM(Index));
        return data == FMsg.Err ? nullptr : reinterpret_cast<TObject*>(data);
    }

    void PutObject(int Index, TObject* AObject) override {
        CheckIndex(Index);
        if (Windowed()) Send(FMsg.SetData, WPARAM(Index), LPARAM(AObject));
        else FSaved.SetObjects(Index, AObject);
    }

    void Put(int Index, const String& S) override {
        // Replacing the chosen item keeps it chosen.
        const int chosen = FControl->HandleAllocated() ? CurrentIndex() : -1;
        rtl::TStrings::Put(Index, S);
        if (chosen == Index && CurrentIndex() != Index) SetCurrentIndex(Index);
    }

    void SetUpdateState(bool Updating) override {
        if (!Windowed()) return;
        Send(WM_SETREDRAW, Updating ? FALSE : TRUE);
        if (!Updating) FControl->Invalidate();
    }

private:
    bool Windowed() const { return FControl->HandleAllocated(); }
    LRESULT Send(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0) const {
        return SendMessageW(FControl->WindowHandle(), Msg, WParam, LParam);
    }
    void CheckIndex(int Index) const {
        if (Index < 0 || Index >= Count()) Error("List index out of bounds (%d)", Index);
    }
    bool IsCombo() const { return FMsg.Add == CB_ADDSTRING; }
    int CurrentIndex() const { return int(Send(IsCombo() ? CB_GETCURSEL : LB_GETCURSEL)); }
    void SetCurrentIndex(int Index) const { Send(IsCombo() ? CB_SETCURSEL : LB_SETCURSEL, WPARAM(Index)); }

    TWinControl* FControl;
    TItemMessages FMsg;
    rtl::TStringList FSaved;
    bool FSorted = false;
};

} // namespace detail

// ---- TCustomListControl ----

TCustomListControl::TCustomListControl(TComponent* AOwner, bool Combo)
    : TWinControl(AOwner),
      FItems(std::make_unique<detail::TItemStrings>(this, Combo ? detail::ComboBoxMessages : detail::ListBoxMessages)),
      FCanvas(std::make_unique<TControlCanvas>()) {
    SetControlStyle(TControlStyle{csSetCaption, csDoubleClicks});
    SetTabStop(true);
    SetParentColor(false);
    SetColor(clWindow);
    FCanvas->SetControl(this);
}

TCustomListControl::~TCustomListControl() = default;

rtl::TStrings* TCustomListControl::Items() const { return FItems.get(); }
void TCustomListControl::SetItems(rtl::TStrings* Value) { FItems->Assign(Value); }

void TCustomListControl::DrawItem(int Index, TRect Rect, TOwnerDrawState State) {
    if (OnDrawItem) {
        OnDrawItem(this, Index, Rect, State);
        return;
    }
    FCanvas->FillRect(Rect);
    if (Index >= 0 && Index < FItems->Count()) FCanvas->TextOut(Rect.Left + 2, Rect.Top, FItems->Strings(Index));
}

void TCustomListControl::MeasureItem(int Index, int& Height) {
    if (OnMeasureItem) OnMeasureItem(this, Index, Height);
}

bool TCustomListControl::OwnerDrawMessage(TMessage& Message) {
    if (Message.Msg == CN_MEASUREITEM) {
        auto* m = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
        int height = FItemHeight;
        if (VariableItemHeight()) MeasureItem(int(m->itemID), height);
        m->itemHeight = UINT(height);
        Message.Result = 1;
        return true;
    }
    if (Message.Msg != CN_DRAWITEM) return false;
    // The selected look first, then the item (or the empty field), then the focus rectangle.
    auto* d = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
    const TOwnerDrawState state = OwnerDrawStateOf(d->itemState);
    const TRect rect(d->rcItem.left, d->rcItem.top, d->rcItem.right, d->rcItem.bottom);
    FCanvas->PaintOn(d->hDC, [&] {
        FCanvas->Font()->Assign(Font());
        FCanvas->Brush()->Assign(Brush());
        if (int(d->itemID) >= 0 && state.Contains(odSelected)) {
            FCanvas->Brush()->SetColor(clHighlight);
            FCanvas->Font()->SetColor(clHighlightText);
        }
        if (int(d->itemID) >= 0) DrawItem(int(d->itemID), rect, state);
        else FCanvas->FillRect(rect);
        if (state.Contains(odFocused)) DrawFocusRect(d->hDC, &d->rcItem);
    });
    Message.Result = 1;
    return true;
}

// ---- TCustomListBox ----

TCustomListBox::TCustomListBox(TComponent* AOwner) : TCustomListControl(AOwner, false) {
    SetBounds(Left(), Top(), 121, 97);
}

int TCustomListBox::Count() const { return FItems->Count(); }

void TCustomListBox::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, u"LISTBOX"_qs);
    static constexpr DWORD Styles[] = {0, LBS_OWNERDRAWFIXED, LBS_OWNERDRAWVARIABLE, LBS_OWNERDRAWFIXED,
                                       LBS_OWNERDRAWVARIABLE};
    Params.Style |= WS_VSCROLL | LBS_HASSTRINGS | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_TABSTOP | Styles[FStyle];
    if (FMultiSelect) Params.Style |= FExtendedSelect ? LBS_EXTENDEDSEL : LBS_MULTIPLESEL;
    if (FSorted) Params.Style |= LBS_SORT;
    if (FBorderStyle == bsSingle) Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomListBox::CreateWnd() {
    TWinControl::CreateWnd();
    if (FStyle != lbStandard) Send(LB_SETITEMHEIGHT, 0, MAKELPARAM(FItemHeight, 0));
    FItems->LoadIntoWindow();
    Send(LB_SETTOPINDEX, WPARAM(FSavedTop));
    if (FMultiSelect) {
        for (int i : FSavedSelection) Send(LB_SETSEL, TRUE, LPARAM(i));
        if (FSavedIndex >= 0) Send(LB_SETCARETINDEX, WPARAM(FSavedIndex), 0);
    } else if (FSavedIndex >= 0) {
        Send(LB_SETCURSEL, WPARAM(FSavedIndex));
    }
    FSavedSelection.clear();
    FSavedIndex = -1;
    FSavedTop = 0;
}

void TCustomListBox::DestroyWnd() {
    // What the window held survives a new window.
    if (HandleAllocated()) {
        FSavedIndex = ItemIndex();
        FSavedTop = TopIndex();
        FSavedSelection.clear();
        if (FMultiSelect)
            for (int i = 0, n = Count(); i < n; ++i)
                if (Selected(i)) FSavedSelection.push_back(i);
        FItems->SaveFromWindow();
    }
    TWinControl::DestroyWnd();
}

int TCustomListBox::ItemIndex() {
    if (!HandleAllocated()) return FSavedIndex;
    return int(Send(FMultiSelect ? LB_GETCARETINDEX : LB_GETCURSEL));
}

void TCustomListBox::SetItemIndex(int Value) {
    if (!HandleAllocated()) {
        FSavedIndex = Value;
        return;
    }
    if (ItemIndex() == Value) return;
    if (FMultiSelect) Send(LB_SETCARETINDEX, WPARAM(Value), 0);
    else Send(LB_SETCURSEL, WPARAM(Value));
}

bool TCustomListBox::Selected(int Index) {
    if (Index < 0 || Index >= Count()) throw rtl::EListError(QStringLiteral("List index out of bounds (%1)").arg(Index));
    if (!HandleAllocated())
        return FMultiSelect ? std::find(FSavedSelection.begin(), FSavedSelection.end(), Index) != FSavedSelection.end()
                            : FSavedIndex == Index;
    if (!FMultiSelect) return int(Send(LB_GETCURSEL)) == Index;
    return Send(LB_GETSEL, WPARAM(Index)) > 0;
}

void TCustomListBox::SetSelected(int Index, bool Value) {
    if (Index < 0 || Index >= Count()) throw rtl::EListError(QStringLiteral("List index out of bounds (%1)").arg(Index));
    if (!HandleAllocated()) {
        if (!FMultiSelect) {
            if (Value) FSavedIndex = Index;
            else if (FSavedIndex == Index) FSavedIndex = -1;
            return;
        }
        auto it = std::find(FSavedSelection.begin(), FSavedSelection.end(), Index);
        if (Value && it == FSavedSelection.end()) FSavedSelection.push_back(Index);
        if (!Value && it != FSavedSelection.end()) FSavedSelection.erase(it);
        return;
    }
    if (FMultiSelect) Send(LB_SETSEL, WPARAM(Value), LPARAM(Index));
    else if (Value) Send(LB_SETCURSEL, WPARAM(Index));
    else if (int(Send(LB_GETCURSEL)) == Index) Send(LB_SETCURSEL, WPARAM(-1));
}

int TCustomListBox::SelCount() {
    if (!HandleAllocated()) return FMultiSelect ? int(FSavedSelection.size()) : -1;
    return FMultiSelect ? int(Send(LB_GETSELCOUNT)) : -1;
}

void TCustomListBox::ClearSelection() {
    if (!HandleAllocated()) {
        FSavedSelection.clear();
        FSavedIndex = -1;
        return;
    }
    if (FMultiSelect) Send(LB_SETSEL, FALSE, LPARAM(-1));
    else Send(LB_SETCURSEL, WPARAM(-1));
}

void TCustomListBox::SelectAll() {
    if (!FMultiSelect) return;
    if (!HandleAllocated()) {
        FSavedSelection.clear();
        for (int i = 0, n = Count(); i < n; ++i) FSavedSelection.push_back(i);
        return;
    }
    Send(LB_SETSEL, TRUE, LPARAM(-1));
}

void TCustomListBox::DeleteSelected() {
    if (!FMultiSelect) {
        const int i = ItemIndex();
        if (i >= 0) FItems->Delete(i);
        return;
    }
    FItems->BeginUpdate();
    for (int i = Count() - 1; i >= 0; --i)
        if (Selected(i)) FItems->Delete(i);
    FItems->EndUpdate();
}

void TCustomListBox::Clear() { FItems->Clear(); }

int TCustomListBox::TopIndex() { return HandleAllocated() ? int(Send(LB_GETTOPINDEX)) : FSavedTop; }

void TCustomListBox::SetTopIndex(int Value) {
    if (HandleAllocated()) Send(LB_SETTOPINDEX, WPARAM(Value));
    else FSavedTop = Value;
}

int TCustomListBox::ItemAtPos(const TPoint& Pos, bool Existing) {
    const int n = Count();
    TRect client = ClientRect();
    if (client.Contains(Pos)) {
        for (int i = TopIndex(); i < n; ++i) {
            const TRect r = ItemRect(i);
            if (r.Top > client.Bottom) break;
            if (r.Contains(Pos)) return i;
        }
    }
    return Existing ? -1 : n;
}

TRect TCustomListBox::ItemRect(int Index) {
    RECT r{};
    if (Send(LB_GETITEMRECT, WPARAM(Index), LPARAM(&r)) == LB_ERR && Index == Count()) {
        // Just past the last item: where the next one would go.
        if (Index > 0) {
            Send(LB_GETITEMRECT, WPARAM(Index - 1), LPARAM(&r));
            const int h = r.bottom - r.top;
            r.top += h;
            r.bottom += h;
        }
    }
    return TRect(r.left, r.top, r.right, r.bottom);
}

int TCustomListBox::ItemHeight() {
    if (HandleAllocated() && FStyle == lbStandard) return int(Send(LB_GETITEMHEIGHT));
    return FItemHeight;
}

void TCustomListBox::SetItemHeight(int Value) {
    if (Value <= 0 || FItemHeight == Value) return;
    FItemHeight = Value;
    RecreateWnd();
}

void TCustomListBox::SetSorted(bool Value) {
    if (FSorted == Value) return;
    FSorted = Value;
    FItems->SetSorted(Value);
    if (Value && !HandleAllocated() && FItems->Count() > 1) {
        // Saved items take the order the window would give them.
        rtl::TStringList all;
        all.Assign(FItems.get());
        FItems->Clear();
        for (int i = 0; i < all.Count(); ++i) FItems->AddObject(all.Strings(i), all.Objects(i));
    }
    RecreateWnd();
}

void TCustomListBox::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case CN_COMMAND:
        switch (HIWORD(Message.WParam)) {
        case LBN_SELCHANGE:
            Changed();
            Click();
            break;
        case LBN_DBLCLK: DblClick(); break;
        default: break;
        }
        return;
    default:
        if (!OwnerDrawMessage(Message)) TWinControl::Dispatch(Message);
    }
}

// ---- TCustomComboBox ----

TCustomComboBox::TCustomComboBox(TComponent* AOwner) : TCustomListControl(AOwner, true) {
    SetBounds(Left(), Top(), 145, 23);
}

void TCustomComboBox::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, u"COMBOBOX"_qs);
    static constexpr DWORD Styles[] = {CBS_DROPDOWN, CBS_SIMPLE, CBS_DROPDOWNLIST,
                                       CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED,
                                       CBS_DROPDOWNLIST | CBS_OWNERDRAWVARIABLE};
    Params.Style |= WS_VSCROLL | CBS_HASSTRINGS | CBS_AUTOHSCROLL | WS_TABSTOP | Styles[FStyle];
    if (FSorted) Params.Style |= CBS_SORT;
    static constexpr DWORD Case[] = {0, CBS_UPPERCASE, CBS_LOWERCASE};
    Params.Style |= Case[FCharCase];
}

void TCustomComboBox::CreateWnd() {
    const String text = FText;
    FCreating = true;
    try {
        TWinControl::CreateWnd();
    } catch (...) {
        FCreating = false;
        throw;
    }
    if (OwnerDrawn()) {
        Send(CB_SETITEMHEIGHT, WPARAM(-1), LPARAM(FItemHeight));
        Send(CB_SETITEMHEIGHT, 0, LPARAM(FItemHeight));
    }
    Send(CB_LIMITTEXT, WPARAM(FMaxLength));
    HookEdit();
    FItems->LoadIntoWindow();
    if (FSavedIndex >= 0) Send(CB_SETCURSEL, WPARAM(FSavedIndex));
    else if (FStyle == csDropDown || FStyle == csSimple) SetWindowTextW(WindowHandle(), reinterpret_cast<LPCWSTR>(text.utf16()));
    FSavedIndex = -1;
    FCreating = false;
}

namespace {
const char16_t ComboOfEdit[] = u"TwVclComboBox";
} // namespace

LRESULT CALLBACK TCustomComboBox::EditHook(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* combo = static_cast<TCustomComboBox*>(GetPropW(hwnd, reinterpret_cast<LPCWSTR>(ComboOfEdit)));
    if (!combo || !combo->FDefEditProc) return DefWindowProcW(hwnd, msg, wp, lp);
    TMessage message;
    message.Msg = msg;
    message.WParam = wp;
    message.LParam = lp;
    try {
        combo->EditWndProc(message);
    } catch (...) {
        HandleControlException(combo);
    }
    if (msg == WM_NCDESTROY) {
        RemovePropW(hwnd, reinterpret_cast<LPCWSTR>(ComboOfEdit));
        combo->FEditHandle = nullptr;
        combo->FDefEditProc = nullptr;
    }
    return message.Result;
}

void TCustomComboBox::DefEditHandler(TMessage& Message) {
    Message.Result = CallWindowProcW(FDefEditProc, FEditHandle, Message.Msg, Message.WParam, Message.LParam);
}

void TCustomComboBox::EditWndProc(TMessage& Message) {
    if (Message.Msg == WM_CHAR) {
        // Keys typed into the edit are the combo box's own: OnKeyPress and completion see them first.
        TWMKey key;
        key.Msg = Message.Msg;
        key.WParam = Message.WParam;
        key.LParam = Message.LParam;
        if (DoKeyPress(key)) {
            Message.Result = 0;
            return;
        }
        Message.WParam = key.WParam;
    }
    DefEditHandler(Message);
    // The edit inside is the platform's window: its focus is the combo box's focus.
    if (Message.Msg == WM_SETFOCUS)
        if (TCustomForm* form = GetParentForm(this)) form->SetFocusedControl(this);
}

void TCustomComboBox::HookEdit() {
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    if (!GetComboBoxInfo(WindowHandle(), &info) || !info.hwndItem || info.hwndItem == WindowHandle()) return;
    FEditHandle = info.hwndItem;
    FDefEditProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(FEditHandle, GWLP_WNDPROC));
    SetPropW(FEditHandle, reinterpret_cast<LPCWSTR>(ComboOfEdit), HANDLE(this));
    SetWindowLongPtrW(FEditHandle, GWLP_WNDPROC, LONG_PTR(&TCustomComboBox::EditHook));
}

void TCustomComboBox::UnhookEdit() {
    // The edit gets its own procedure back before it goes (or before this control does).
    if (FEditHandle && IsWindow(FEditHandle)) {
        SetWindowLongPtrW(FEditHandle, GWLP_WNDPROC, LONG_PTR(FDefEditProc));
        RemovePropW(FEditHandle, reinterpret_cast<LPCWSTR>(ComboOfEdit));
    }
    FEditHandle = nullptr;
    FDefEditProc = nullptr;
}

TCustomComboBox::~TCustomComboBox() { UnhookEdit(); }

void TCustomComboBox::DestroyWnd() {
    UnhookEdit();
    if (HandleAllocated()) {
        FSavedIndex = ItemIndex();
        FItems->SaveFromWindow();
    }
    TWinControl::DestroyWnd();
}

int TCustomComboBox::ItemIndex() { return HandleAllocated() ? int(Send(CB_GETCURSEL)) : FSavedIndex; }

void TCustomComboBox::SetItemIndex(int Value) {
    if (!HandleAllocated()) {
        FSavedIndex = Value;
        FText = Value >= 0 && Value < FItems->Count() ? FItems->Strings(Value) : String();
        return;
    }
    if (ItemIndex() != Value) Send(CB_SETCURSEL, WPARAM(Value));
}

void TCustomComboBox::Clear() {
    SetText(String());
    FItems->Clear();
    FSavedIndex = -1;
}

void TCustomComboBox::SetStyle(TComboBoxStyle Value) {
    if (FStyle == Value) return;
    FStyle = Value;
    RecreateWnd();
}

int TCustomComboBox::ItemHeight() {
    if (HandleAllocated() && !OwnerDrawn()) return int(Send(CB_GETITEMHEIGHT, 0));
    return FItemHeight;
}

void TCustomComboBox::SetItemHeight(int Value) {
    if (Value <= 0 || FItemHeight == Value) return;
    FItemHeight = Value;
    if (HandleAllocated() && OwnerDrawn()) RecreateWnd();
}

bool TCustomComboBox::DroppedDown() { return HandleAllocated() && Send(CB_GETDROPPEDSTATE) != 0; }

void TCustomComboBox::SetDroppedDown(bool Value) { Send(CB_SHOWDROPDOWN, Handle() ? WPARAM(Value) : 0); }

void TCustomComboBox::SetSorted(bool Value) {
    if (FSorted == Value) return;
    FSorted = Value;
    FItems->SetSorted(Value);
    RecreateWnd();
}

void TCustomComboBox::SetMaxLength(int Value) {
    if (Value < 0) Value = 0;
    FMaxLength = Value;
    if (HandleAllocated()) Send(CB_LIMITTEXT, WPARAM(Value));
}

void TCustomComboBox::GetSel(int& Start, int& End) {
    DWORD start = 0, end = 0;
    if (HandleAllocated()) Send(CB_GETEDITSEL, WPARAM(&start), LPARAM(&end));
    Start = int(start);
    End = int(end);
}

int TCustomComboBox::SelStart() {
    int start, end;
    GetSel(start, end);
    return start;
}

void TCustomComboBox::SetSelStart(int Value) {
    if (HandleAllocated()) Send(CB_SETEDITSEL, 0, MAKELPARAM(Value, Value));
}

int TCustomComboBox::SelLength() {
    int start, end;
    GetSel(start, end);
    return end - start;
}

void TCustomComboBox::SetSelLength(int Value) {
    int start, end;
    GetSel(start, end);
    if (HandleAllocated()) Send(CB_SETEDITSEL, 0, MAKELPARAM(start, start + Value));
}

void TCustomComboBox::SelectAll() {
    if (HandleAllocated()) Send(CB_SETEDITSEL, 0, MAKELPARAM(0, 0xFFFF));
}

void TCustomComboBox::Change() {
    Changed();
    if (!ComponentState().Contains(rtl::csLoading)) OnChange(this);
}

void TCustomComboBox::Select() {
    if (OnSelect) OnSelect(this);
    else Change();
}

void TCustomComboBox::SetCharCase(TEditCharCase Value) {
    if (FCharCase == Value) return;
    FCharCase = Value;
    // The text already there takes the case too.
    if (Value == ecUpperCase) SetText(Text().toUpper());
    else if (Value == ecLowerCase) SetText(Text().toLower());
    RecreateWnd();
}

bool TCustomComboBox::Focused() const {
    if (TWinControl::Focused()) return true;
    return FEditHandle && GetFocus() == FEditHandle;
}

bool TCustomComboBox::SelectItem(const String& AnItem) {
    if (AnItem.isEmpty()) {
        if (ItemIndex() != -1) {
            SetItemIndex(-1);
            Change();
        }
        return false;
    }
    const int index = int(Send(CB_FINDSTRING, WPARAM(-1), LPARAM(AnItem.utf16())));
    if (index < 0) return false;
    const String item = FItems->Strings(index);
    const bool changed = index != ItemIndex();
    const String before = Text();
    if (FAutoCloseUp && DroppedDown() && FItems->IndexOf(AnItem) >= 0) Send(CB_SHOWDROPDOWN, FALSE);
    {
        // The steps below each touch the edit; the user made one change.
        const QScopedValueRollback quiet(FQuiet, true);
        Send(CB_SETCURSEL, WPARAM(index));
        if (FStyle == csDropDown || FStyle == csSimple) {
            // What was typed stays as typed; the rest of the item follows, selected, so the next key replaces it.
            const String text = AnItem + item.mid(AnItem.length());
            SetText(text);
            Send(CB_SETEDITSEL, 0, MAKELPARAM(AnItem.length(), text.length()));
        }
    }
    if (changed) {
        Click();
        Select();
    } else if (Text() != before) {
        Change();
    }
    return true;
}

void TCustomComboBox::KeyPress(rtl::Char& Key) {
    TCustomListControl::KeyPress(Key);
    if (Key == 0) return;
    if (Key == VK_TAB) {
        if (FAutoDropDown && DroppedDown()) SetDroppedDown(false);
        return;
    }
    if (Key == VK_ESCAPE || Key == VK_RETURN) return;
    if (FAutoDropDown && Key != VK_BACK && !DroppedDown()) SetDroppedDown(true);
    if (!FAutoComplete) return;
    const bool editing = FStyle == csDropDown || FStyle == csSimple;
    int start, end;
    GetSel(start, end);
    if (editing) {
        // Completion extends the end of the text only; a key typed inside it is an ordinary edit, and a
        // Backspace over a completed tail takes the tail and the last typed character with it.
        const String text = Text();
        if (Key == VK_BACK) {
            if (end > start && end == text.length()) {
                const QScopedValueRollback quiet(FQuiet, true);
                SetText(text.left(start));
                SetSelStart(start);
            }
            return;
        }
        if (end != text.length() || QChar::isSurrogate(Key)) return;
        if (SelectItem(text.left(start) + Key)) Key = 0;
        return;
    }
    const DWORD now = GetTickCount();
    if (now - FLastTime >= FAutoCompleteDelay) FFilter.clear();
    FLastTime = now;
    if (Key == VK_BACK) {
        FFilter.chop(FFilter.length() >= 2 && FFilter.back().isLowSurrogate() ? 2 : 1);
    } else {
        const String filter = FFilter + Key;
        // A lone half of a pair waits for its other half.
        if (QChar::isHighSurrogate(Key) || SelectItem(filter)) FFilter = filter;
    }
    Key = 0;
}

void TCustomComboBox::DropDown() { OnDropDown(this); }
void TCustomComboBox::CloseUp() { OnCloseUp(this); }

void TCustomComboBox::AdjustDropDown() {
    // The list shows up to DropDownCount items; the height given to a closed combo box is its open one.
    const int items = std::clamp(FItems->Count(), 1, std::max(1, FDropDownCount));
    const int itemHeight = int(Send(CB_GETITEMHEIGHT, 0));
    SetWindowPos(WindowHandle(), nullptr, 0, 0, Width(), itemHeight * items + Height() + 2,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
}

void TCustomComboBox::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case CN_COMMAND:
        if (FCreating) return;
        switch (HIWORD(Message.WParam)) {
        case CBN_EDITCHANGE:
            if (!FQuiet) Change();
            break;
        case CBN_SELCHANGE:
            Click();
            Select();
            break;
        case CBN_DROPDOWN:
            DropDown();
            AdjustDropDown();
            break;
        case CBN_CLOSEUP: CloseUp(); break;
        case CBN_DBLCLK: DblClick(); break;
        default: break;
        }
        return;
    case CM_WANTSPECIALKEY:
        // Enter and Escape close an open list rather than press the form's buttons.
        if ((Message.WParam == VK_RETURN || Message.WParam == VK_ESCAPE) && DroppedDown()) {
            Message.Result = 1;
            return;
        }
        TWinControl::Dispatch(Message);
        return;
    default:
        if (!OwnerDrawMessage(Message)) TWinControl::Dispatch(Message);
    }
}

// ---- TScrollBar ----

TScrollBar::TScrollBar(TComponent* AOwner) : TWinControl(AOwner) {
    SetBounds(Left(), Top(), 121, GetSystemMetrics(SM_CYHSCROLL));
    SetTabStop(true);
    SetControlStyle(TControlStyle{csFramed, csDoubleClicks, csOpaque});
}

void TScrollBar::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, u"SCROLLBAR"_qs);
    Params.Style |= WS_TABSTOP | (FKind == sbVertical ? SBS_VERT : SBS_HORZ);
}

void TScrollBar::CreateWnd() {
    TWinControl::CreateWnd();
    UpdateWindow();
}

void TScrollBar::UpdateWindow() {
    if (!HandleAllocated()) return;
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_ALL;
    si.nMin = FMin;
    si.nMax = FMax;
    si.nPage = UINT(FPageSize);
    si.nPos = FPosition;
    SetScrollInfo(WindowHandle(), SB_CTL, &si, TRUE);
}

void TScrollBar::SetKind(TScrollBarKind Value) {
    if (FKind == Value) return;
    FKind = Value;
    // The bar turns: width and height trade places.
    if (!ComponentState().Contains(rtl::csLoading)) SetBounds(Left(), Top(), Height(), Width());
    RecreateWnd();
}

void TScrollBar::SetParams(int APosition, int AMin, int AMax) {
    if (AMax < AMin || AMax < FPageSize) throw rtl::EInvalidOperation(QStringLiteral("Scroll bar property out of range"));
    FMin = AMin;
    FMax = AMax;
    APosition = std::clamp(APosition, FMin, std::max(FMin, LastPosition()));
    const bool moved = FPosition != APosition;
    FPosition = APosition;
    UpdateWindow();
    if (moved) Change();
}

void TScrollBar::SetPageSize(int Value) {
    if (FPageSize == Value) return;
    if (Value < 0 || Value > FMax - FMin + 1) throw rtl::EInvalidOperation(QStringLiteral("Scroll bar property out of range"));
    FPageSize = Value;
    SetParams(FPosition, FMin, FMax);
    UpdateWindow();
}

void TScrollBar::Change() {
    Changed();
    if (!ComponentState().Contains(rtl::csLoading)) OnChange(this);
}

void TScrollBar::Scroll(TScrollCode ScrollCode, int& ScrollPos) { OnScroll(this, ScrollCode, ScrollPos); }

void TScrollBar::DoScroll(TWMScroll& Message) {
    int pos = FPosition;
    const auto code = TScrollCode(Message.ScrollCode());
    switch (code) {
    case scLineUp: pos -= FSmallChange; break;
    case scLineDown: pos += FSmallChange; break;
    case scPageUp: pos -= FLargeChange; break;
    case scPageDown: pos += FLargeChange; break;
    case scPosition:
    case scTrack: {
        // The track position in full, not the 16 bits of the message.
        SCROLLINFO si{};
        si.cbSize = sizeof(si);
        si.fMask = SIF_ALL;
        GetScrollInfo(WindowHandle(), SB_CTL, &si);
        pos = si.nTrackPos;
        break;
    }
    case scTop: pos = FMin; break;
    case scBottom: pos = FMax; break;
    default: break;
    }
    pos = std::clamp(pos, FMin, std::max(FMin, LastPosition()));
    Scroll(code, pos);
    SetPosition(pos);
}

void TScrollBar::Dispatch(TMessage& Message) {
    if (Message.Msg == CN_HSCROLL || Message.Msg == CN_VSCROLL) {
        DoScroll(MessageAs<TWMScroll>(Message));
        Message.Result = 0;
        return;
    }
    TWinControl::Dispatch(Message);
}

} // namespace vcl
