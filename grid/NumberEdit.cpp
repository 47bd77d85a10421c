// grid/NumberEdit.cpp
#include "grid/NumberEdit.h"

#include "grid/shared/DrawHelpers.h"
#include "vcl/Clipbrd.h"
#include "vcl/Themes.h"

#include <climits>
#include <cmath>

namespace grid {

using vcl::TRect;

namespace {

bool IsSign(rtl::Char C) { return C == u'+' || C == u'-'; }
bool HoldsSign(const rtl::String& S) { return S.contains(u'+') || S.contains(u'-'); }

// A custom style draws the buttons; the platform's own visual styles go through the theme parts.
bool StyledLook() { return vcl::TStyleManager::IsCustomStyleActive() && vcl::StyleServices()->Enabled(); }

} // namespace

// ---- TRgCustomNumberEdit ----

TRgCustomNumberEdit::TRgCustomNumberEdit(rtl::TComponent* AOwner) : TRgEdit(AOwner) {
    SetControlStyle(ControlStyle() - vcl::TControlStyle{vcl::csSetCaption});
}

double TRgCustomNumberEdit::Clamp(double AValue) const {
    if (!RangeApplies()) return AValue;
    if (AValue > FMax) AValue = FMax;
    if (AValue < FMin) AValue = FMin;
    return AValue;
}

namespace {

// Keeps what may make a number: digits, one separator where allowed, a sign only in front.
rtl::String KeepNumberChars(const rtl::String& S, bool AllowSeparator, bool AllowSign) {
    const rtl::Char Sep = TLocalSettings::DecimalSeparator();
    rtl::String Kept;
    bool HasSeparator = false;
    for (const QChar Q : S) {
        const rtl::Char C = Q.unicode();
        if (C == Sep) {
            if (!AllowSeparator || HasSeparator) continue;
            HasSeparator = true;
        } else if (IsSign(C)) {
            if (!AllowSign || !Kept.isEmpty()) continue;
        } else if (!(C >= u'0' && C <= u'9') && C != u'\b') {
            continue;
        }
        Kept += C;
    }
    if (Kept.size() == 1 && IsSign(Kept[0].unicode())) Kept = QStringLiteral("0");
    return Kept;
}

} // namespace

rtl::String TRgCustomNumberEdit::CleanText(const rtl::String& S, bool AllowSeparator, bool AllowSign) const {
    const rtl::String Kept = KeepNumberChars(S, AllowSeparator, AllowSign);
    double Number = FMin;
    if (!Kept.isEmpty()) {
        if (!rtl::TryStrToFloat(Kept, Number)) return {};
        Number = Clamp(Number);
    }
    return rtl::FloatToStr(Number);
}

double TRgCustomNumberEdit::Value() {
    rtl::String S = Text();
    if (!FNullText.isEmpty() && S == FNullText) {
        FValue = 0;
        return 0;
    }
    if (S.isEmpty()) return FMin;
    // The shown prefix and suffix are no part of the number (they may hold digits).
    if (!FTextBefore.isEmpty() && S.startsWith(FTextBefore)) S.remove(0, FTextBefore.size());
    if (!FTextAfter.isEmpty() && S.endsWith(FTextAfter)) S.chop(FTextAfter.size());
    // Cleaning clamps to the range; what still is no number ("-." and the like) leaves the last good value.
    const rtl::String Cleaned = CleanText(S, FOptions.Contains(eoAllowFloat), FOptions.Contains(eoAllowSigns));
    double Number = 0;
    if (Cleaned.isEmpty() || !rtl::TryStrToFloat(Cleaned, Number)) return FValue;
    FValue = Number;
    return FValue;
}

void TRgCustomNumberEdit::SetValue(double AValue) {
    FValue = AValue;
    if (!EditorUpdating()) SetText(GetFormatedValue(AValue));
}

rtl::String TRgCustomNumberEdit::GetFormatedValue(double AValue) const {
    if (AValue == 0 && !FNullText.isEmpty()) return FNullText;
    rtl::String Number;
    if (!FOptions.Contains(eoAllowFloat)) Number = rtl::FloatToStrF(AValue, rtl::ffFixed, 18, 0);
    else if (FPrecision > 0) Number = rtl::FloatToStrF(AValue, rtl::ffFixed, 18, FPrecision);
    else Number = rtl::FloatToStr(AValue);
    return FTextBefore + Number + FTextAfter;
}

void TRgCustomNumberEdit::SetPrecision(int Value) {
    FPrecision = Value;
    Reformat();
}

void TRgCustomNumberEdit::SetNullText(const rtl::String& Value) {
    FNullText = Value;
    SetValue(0);
}

void TRgCustomNumberEdit::SetTextBefore(const rtl::String& Value) {
    // The number is read while the old prefix still shows.
    const double Number = this->Value();
    FTextBefore = Value;
    if (!FOptions.Contains(eoAllowAll)) SetValue(Number);
}

void TRgCustomNumberEdit::SetTextAfter(const rtl::String& Value) {
    const double Number = this->Value();
    FTextAfter = Value;
    if (!FOptions.Contains(eoAllowAll)) SetValue(Number);
}

void TRgCustomNumberEdit::ApplyEditing() {
    if (!FOptions.Contains(eoAllowAll)) Reformat();
}

namespace {

// A value beyond the integer range is no integer (as the text's own conversion would say).
int ToInteger(double Value, double Whole) {
    if (!(Whole >= double(INT_MIN) && Whole <= double(INT_MAX)))
        throw rtl::EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(rtl::FloatToStr(Value)));
    return int(Whole);
}

} // namespace

int TRgCustomNumberEdit::GetAsInteger() {
    const double V = Value();
    return ToInteger(V, std::trunc(V));
}

void TRgCustomNumberEdit::SetAsFloat(double Value) {
    TRgEdit::SetAsFloat(Value);
    SetValue(Value);
}

void TRgCustomNumberEdit::SetAsInteger(int Value) {
    TRgEdit::SetAsInteger(Value);
    SetValue(Value);
}

void TRgCustomNumberEdit::CreateWnd() {
    TRgEdit::CreateWnd();
    Reformat();
}

void TRgCustomNumberEdit::Assign(rtl::TPersistent* Source) {
    auto* Other = dynamic_cast<TRgCustomNumberEdit*>(Source);
    if (!Other) {
        TRgEdit::Assign(Source);
        return;
    }
    FMax = Other->FMax;
    FMin = Other->FMin;
    FNullText = Other->FNullText;
    FOptions = Other->FOptions;
    FPrecision = Other->FPrecision;
    SetValue(Other->Value());
}

void TRgCustomNumberEdit::KeyPress(rtl::Char& Key) {
    if (FOptions.Contains(eoDisableTyping)) {
        Key = 0;
        return;
    }
    // Ctrl+C, Tab, Ctrl+V and Ctrl+X go through untouched.
    if (FOptions.Contains(eoAllowAll) || Key == 3 || Key == 9 || Key == 22 || Key == 24) {
        TRgEdit::KeyPress(Key);
        return;
    }
    const rtl::Char Sep = TLocalSettings::DecimalSeparator();
    // Ctrl+A, Backspace and Enter besides what makes a number.
    const bool Wanted = Key == 1 || Key == 8 || Key == 13 || IsSign(Key) || (Key >= u'0' && Key <= u'9') || Key == Sep;
    if (!Wanted) {
        Key = 0;
        return;
    }
    if (Key == Sep) {
        if (!FOptions.Contains(eoAllowFloat) || (Text().contains(Sep) && !SelText().contains(Sep))) {
            Key = 0;
            return;
        }
    } else if (IsSign(Key)) {
        // A sign goes in front only, once, unless it types over the one there.
        if (!FOptions.Contains(eoAllowSigns) ||
            (!HoldsSign(SelText()) && (SelStart() != 0 || HoldsSign(Text())))) {
            Key = 0;
            return;
        }
    }
    TRgEdit::KeyPress(Key);
}

void TRgCustomNumberEdit::KeyDown(WORD& Key, vcl::TShiftState Shift) {
    if (FOptions.Contains(eoDisableTyping) && (Key == VK_BACK || Key == VK_CLEAR || Key == VK_DELETE)) {
        Key = 0;
        return;
    }
    TRgEdit::KeyDown(Key, Shift);
}

void TRgCustomNumberEdit::Paste() {
    if (FOptions.Contains(eoDisablePaste)) return;
    const rtl::String Clip = vcl::Clipboard()->HasFormat(CF_UNICODETEXT) ? vcl::Clipboard()->AsText() : rtl::String();
    const int Start = SelStart();
    rtl::String Outside = Text();
    Outside.remove(Start, SelLength());
    const bool AllowSeparator = FOptions.Contains(eoAllowFloat) && !Outside.contains(TLocalSettings::DecimalSeparator());
    const bool AllowSign = FOptions.Contains(eoAllowSigns) && Start == 0;
    // A clipboard holding no number leaves the text alone rather than typing Min over the selection.
    if (KeepNumberChars(Clip, AllowSeparator, AllowSign).isEmpty()) return;
    const rtl::String Cleaned = CleanText(Clip, AllowSeparator, AllowSign);
    if (Cleaned.isEmpty()) return;
    SetSelText(Cleaned);
    SetSelStart(Start);
}

void TRgCustomNumberEdit::Dispatch(vcl::TMessage& Message) {
    switch (Message.Msg) {
    case WM_PASTE:
        if (FOptions.Contains(eoAllowAll)) break;
        Paste();
        Message.Result = 0;
        return;
    case WM_KILLFOCUS:
        TRgEdit::Dispatch(Message);
        if (!FOptions.Contains(eoAllowAll)) Reformat();
        return;
    default: break;
    }
    TRgEdit::Dispatch(Message);
}

// ---- TRgSpinButtons ----

TRgSpinButtons::TRgSpinButtons(rtl::TComponent* AOwner, TRgCustomEdit* CellEditor)
    : vcl::TCustomControl(AOwner), FCellEditor(CellEditor) {
    SetTabStop(false);
    FDelayTimer = new vcl::TTimer(this);
    FDelayTimer->SetEnabled(false);
    FDelayTimer->SetInterval(400);
    FDelayTimer->SetOnTimer(rtl::TNotifyEvent(this, &TRgSpinButtons::DelayTimer));
    FRepeatTimer = new vcl::TTimer(this);
    FRepeatTimer->SetEnabled(false);
    FRepeatTimer->SetInterval(20);
    FRepeatTimer->SetOnTimer(rtl::TNotifyEvent(this, &TRgSpinButtons::RepeatTimer));
}

TSpinButtonSet TRgSpinButtons::HalfAt(int Y) const { return Y < Height() / 2 ? TSpinButtonSet{sbUp} : TSpinButtonSet{sbDown}; }

void TRgSpinButtons::DelayTimer(rtl::TObject*) {
    FDelayTimer->SetEnabled(false);
    FRepeatTimer->SetEnabled(true);
}

void TRgSpinButtons::RepeatTimer(rtl::TObject*) { OnSpin(this, FPressedButtons); }

void TRgSpinButtons::SetPressedButtons(TSpinButtonSet Value) {
    FPressedButtons = Value;
    FDelayTimer->SetEnabled(false);
    FRepeatTimer->SetEnabled(false);
    if (!Value.Empty()) {
        FDelayTimer->SetEnabled(true);
        OnSpin(this, Value);
    }
    Invalidate();
}

void TRgSpinButtons::MouseDown(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y) {
    if (Button == vcl::mbLeft) SetPressedButtons(HalfAt(Y));
    vcl::TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TRgSpinButtons::MouseUp(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y) {
    if (Button == vcl::mbLeft) SetPressedButtons({});
    vcl::TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TRgSpinButtons::MouseMove(vcl::TShiftState Shift, int X, int Y) {
    FHoverButtons = HalfAt(Y);
    Invalidate();
    vcl::TCustomControl::MouseMove(Shift, X, Y);
}

void TRgSpinButtons::MouseLeave() {
    FHoverButtons = {};
    Invalidate();
    vcl::TCustomControl::MouseLeave();
}

void TRgSpinButtons::Paint() {
    const int W = Width(), H = Height();
    const TRect Halves[2] = {TRect(0, -1, W, H / 2), TRect(0, H / 2, W, H)};
    const TSpinButton Which[2] = {sbUp, sbDown};
    const bool Disabled = !FCellEditor->Enabled();
    HDC DC = Canvas()->Handle();
    for (int i = 0; i < 2; ++i) {
        const bool Pressed = FPressedButtons.Contains(Which[i]);
        const bool Hot = FHoverButtons.Contains(Which[i]);
        // Theme states: 1 normal, 2 hot, 3 pressed, 4 disabled.
        const int State = Disabled ? 4 : Pressed ? 3 : Hot ? 2 : 1;
        TRect R = Halves[i];
        if (StyledLook()) {
            const auto First = Which[i] == sbUp ? vcl::tsUpNormal : vcl::tsDownNormal;
            vcl::StyleServices()->DrawElement(
                DC, vcl::StyleServices()->GetElementDetails(vcl::TThemedSpin(First + State - 1)), R);
        } else if (IsThemingActive()) {
            DrawThemedPart(WindowHandle(), DC, R, QStringLiteral("spin"), i + 1, State);
        } else {
            UINT Flags = (Which[i] == sbUp ? DFCS_SCROLLUP : DFCS_SCROLLDOWN) | DFCS_ADJUSTRECT;
            if (Pressed) Flags |= DFCS_PUSHED;
            if (Disabled) Flags |= DFCS_INACTIVE;
            RECT F = R;
            DrawFrameControl(DC, &F, DFC_SCROLL, Flags);
        }
    }
}

// ---- TRgSmallButton, TRgExecuteButton ----

TRgSmallButton::TRgSmallButton(rtl::TComponent* AOwner, TRgCustomEdit* CellEditor)
    : vcl::TCustomControl(AOwner), FCellEditor(CellEditor) {
    SetTabStop(false);
}

void TRgSmallButton::SetCaption(const rtl::String& Value) {
    FCaption = Value;
    Invalidate();
}

void TRgSmallButton::MouseDown(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y) {
    if (Button == vcl::mbLeft) {
        if (FCellEditor->Visible() && FCellEditor->CanFocus()) FCellEditor->SetFocus();
        FDown = true;
        Invalidate();
        OnButtonDown(this);
    }
    vcl::TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TRgSmallButton::MouseUp(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y) {
    if (FDown) {
        FDown = false;
        Invalidate();
        OnButtonClick(this);
    }
    vcl::TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TRgSmallButton::MouseEnter() {
    if (!ComponentState().Contains(rtl::csDesigning)) {
        FHover = true;
        Invalidate();
    }
    vcl::TCustomControl::MouseEnter();
}

void TRgSmallButton::MouseLeave() {
    if (!ComponentState().Contains(rtl::csDesigning)) {
        FHover = false;
        Invalidate();
    }
    vcl::TCustomControl::MouseLeave();
}

TRgExecuteButton::TRgExecuteButton(rtl::TComponent* AOwner, TRgCustomEdit* CellEditor)
    : TRgSmallButton(AOwner, CellEditor) {
    SetWidth(21);
}

TRgExecuteButton::~TRgExecuteButton() { CloseTheme(); }

void TRgExecuteButton::SetGlyph(vcl::TBitmap* Value) {
    FGlyph = Value;
    Invalidate();
}

void TRgExecuteButton::CloseTheme() {
    if (FTheme) CloseThemeData(FTheme);
    FTheme = 0;
}

void TRgExecuteButton::CreateWnd() {
    TRgSmallButton::CreateWnd();
    FTheme = OpenThemeData(WindowHandle(), u"button");
}

void TRgExecuteButton::DestroyWnd() {
    CloseTheme();
    TRgSmallButton::DestroyWnd();
}

void TRgExecuteButton::Dispatch(vcl::TMessage& Message) {
    if (Message.Msg == WM_THEMECHANGED) {
        CloseTheme();
        FTheme = OpenThemeData(WindowHandle(), u"button");
    }
    TRgSmallButton::Dispatch(Message);
}

void TRgExecuteButton::Paint() {
    vcl::TCanvas* C = Canvas();
    const TRect R = ClientRect();
    const bool Disabled = !CellEditor()->Enabled();
    if (StyledLook()) {
        C->Brush()->SetColor(Color());
        C->FillRect(R);
        const auto Detail = Disabled ? vcl::tbPushButtonDisabled
                            : Down() ? vcl::tbPushButtonPressed
                            : Hover() ? vcl::tbPushButtonHot
                                      : vcl::tbPushButtonNormal;
        vcl::StyleServices()->DrawElement(C->Handle(), vcl::StyleServices()->GetElementDetails(Detail), R);
    } else if (IsThemingActive()) {
        C->Brush()->SetColor(Color());
        C->FillRect(R);
        const int State = Disabled ? 4 : Down() ? 3 : Hover() ? 2 : 1;
        RECT G = R;
        InflateRect(&G, 1, 1);
        if (FTheme) DrawThemeBackground(FTheme, C->Handle(), 1, State, &G, nullptr);
    } else if (Down()) {
        C->Brush()->SetColor(vcl::clBtnFace);
        C->Pen()->SetColor(vcl::clBtnShadow);
        C->Rectangle(R);
    } else {
        RECT F = R;
        DrawFrameControl(C->Handle(), &F, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | (Disabled ? DFCS_INACTIVE : 0));
    }
    if (FGlyph && !FGlyph->Empty())
        TDrawProvider::ApplyBitmap(C, (R.Width() - FGlyph->Width()) / 2, (R.Height() - FGlyph->Height()) / 2, FGlyph);
    if (!Caption().isEmpty()) {
        C->Font()->Assign(Font());
        C->Brush()->SetStyle(vcl::bsClear);
        TGraphicsProvider::DrawTextRect(C, R, taCenter, Caption(), vcl::bdLeftToRight);
    }
}

// ---- TRgSpinEdit ----

TRgSpinEdit::TRgSpinEdit(rtl::TComponent* AOwner) : TRgCustomNumberEdit(AOwner) {
    SetPrecision(0);
    FButton = new TRgExecuteButton(this, this);
    FButton->SetVisible(false);
    FButton->SetParent(this);
    FButton->OnButtonClick = [this](rtl::TObject*) { DoButtonClick(); };
    FButtons = new TRgSpinButtons(this, this);
    FButtons->SetWidth(GetSystemMetrics(SM_CXVSCROLL));
    FButtons->SetParent(this);
    FButtons->OnSpin = [this](rtl::TObject*, TSpinButtonSet Buttons) { DoSpin(Buttons); };
}

void TRgSpinEdit::DoSpin(TSpinButtonSet Buttons) {
    if (ReadOnly()) return;
    if (!Focused() && Visible() && CanFocus()) SetFocus();
    const double Current = Value();
    if (Buttons.Contains(sbUp)) {
        if (RangeApplies() && Current + FIncrement > Max()) return;
        SetValue(Current + FIncrement);
    } else if (Buttons.Contains(sbDown)) {
        const bool Signs = Options().Contains(eoAllowSigns);
        if (Current == 0 && !Signs) return;
        if (RangeApplies() && Min() > Current - FIncrement) return;
        // Without signs a step down stops at 0 (a negative text would read back as positive).
        SetValue(!Signs && Current - FIncrement < 0 ? 0 : Current - FIncrement);
    } else {
        return;
    }
    SetSelStart(Text().size());
    OnSpin(this, Buttons);
    SetModified(true);
}

void TRgSpinEdit::DoButtonClick() { OnButtonClick(this); }

int TRgSpinEdit::GetAsInteger() {
    const double V = Value();
    return ToInteger(V, std::nearbyint(V));  // halves to even, as the run-time's Round
}

void TRgSpinEdit::AdjustMargins(int& Left, int& Right) {
    TRgCustomNumberEdit::AdjustMargins(Left, Right);
    if (FSpinButtons) Right += FButtons->Width();
    if (FShowButton) Left += FButton->Width();
}

void TRgSpinEdit::UpdateButtons() {
    const bool Single = BorderStyle() == vcl::bsSingle;
    const int W = GetSystemMetrics(SM_CXVSCROLL);
    FButtons->SetBounds(ClientWidth() - W, Single ? 1 : 0, W, ClientHeight() + 1 - (Single ? 2 : 0));
    FButtons->SetVisible(FSpinButtons);
    FButton->SetBounds(0, 0, FButtonWidth, ClientHeight());
    FButton->SetVisible(FShowButton);
}

void TRgSpinEdit::CreateWnd() {
    TRgCustomNumberEdit::CreateWnd();
    UpdateButtons();
    UpdateMargins();
}

void TRgSpinEdit::Resize() {
    TRgCustomNumberEdit::Resize();
    UpdateButtons();
}

void TRgSpinEdit::WMWindowPosChanged(vcl::TWMWindowPosMsg& Message) {
    TRgCustomNumberEdit::WMWindowPosChanged(Message);
    if (!ComponentState().Contains(rtl::csLoading)) UpdateButtons();
}

template <class T> void TRgSpinEdit::SetLayoutField(T& Field, T Value) {
    Field = Value;
    UpdateButtons();
    UpdateMargins();
}

void TRgSpinEdit::SetSpinButtons(bool Value) { SetLayoutField(FSpinButtons, Value); }
void TRgSpinEdit::SetShowButton(bool Value) { SetLayoutField(FShowButton, Value); }
void TRgSpinEdit::SetButtonWidth(int Value) { SetLayoutField(FButtonWidth, Value); }

void TRgSpinEdit::SetButtonCaption(const rtl::String& Value) {
    FButtonCaption = Value;
    FButton->SetCaption(Value);
}

void TRgSpinEdit::Step(TSpinButtonSet Buttons) {
    FButtons->SetPressedButtons(Buttons);
    FButtons->SetPressedButtons({});
}

bool TRgSpinEdit::DoMouseWheelDown(vcl::TShiftState Shift, const vcl::TPoint& MousePos) {
    const bool Handled = TRgCustomNumberEdit::DoMouseWheelDown(Shift, MousePos);
    // In a grid cell the wheel scrolls the grid.
    if (InplaceEditor()) return Handled;
    if (FSpinButtons) Step({sbDown});
    return true;
}

bool TRgSpinEdit::DoMouseWheelUp(vcl::TShiftState Shift, const vcl::TPoint& MousePos) {
    const bool Handled = TRgCustomNumberEdit::DoMouseWheelUp(Shift, MousePos);
    if (InplaceEditor()) return Handled;
    if (FSpinButtons) Step({sbUp});
    return true;
}

void TRgSpinEdit::Dispatch(vcl::TMessage& Message) {
    switch (Message.Msg) {
    case WM_KEYDOWN: {
        TRgCustomNumberEdit::Dispatch(Message);
        const WORD Key = vcl::MessageAs<vcl::TWMKey>(Message).CharCode();
        if (!StepsHere() || (Key != VK_UP && Key != VK_DOWN)) return;
        const TSpinButtonSet Buttons{Key == VK_UP ? sbUp : sbDown};
        // The key's own repeat is left to the buttons' timers.
        if (FButtons->PressedButtons() != Buttons) FButtons->SetPressedButtons(Buttons);
        return;
    }
    case WM_KEYUP:
        TRgCustomNumberEdit::Dispatch(Message);
        if (!InplaceEditor()) FButtons->SetPressedButtons({});
        return;
    default: TRgCustomNumberEdit::Dispatch(Message);
    }
}

} // namespace grid
