// skins/SkEditors.cpp: the skinned edit and its buttons, the spin edit and the skinned combo box.
#include "skins/SkEditors.h"

#include "skins/SkSkinsFaces.h"
#include "skins/SkSkinsPaint.h"
#include "skins/SkSkinsText.h"

#include "rtl/SysUtils.h"
#include "vcl/Forms.h"
#include "win/windows.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace skins {

using namespace vcl;

namespace {

TSkSkinType SkinType() { return GetSkinManager()->GetSkinType(); }

template <class E> TThemedElementDetails Element(E Detail) { return ActiveStyleServices()->GetElementDetails(Detail); }

void Edge(TCanvas* ACanvas, const TRect& R, UINT EdgeKind) {
    RECT rc = R;
    DrawEdge(ACanvas->Handle(), &rc, EdgeKind, BF_RECT);
}

TColor EditButtonTextColor(TSkSkinStatesType State) { return GetCurrentSkin()->GetTextColor(skncEditButton, State); }

// Normal, Hot, Pressed, Disabled follow each other in the themed spin and combo-button groups.
int ThemedButtonOffset(bool Enabled, bool Pressed, bool Hot) {
    if (!Enabled) return 3;
    if (Pressed) return 2;
    if (Hot) return 1;
    return 0;
}

constexpr double Int64Limit = 9223372036854775808.0;   // 2^63

} // namespace

// ---------------------------------------------------------------------------------------------------
// Faces

void PaintEditButtonFace(TCanvas* ACanvas, const TRect& ARect, bool Enabled, bool FrameHot, bool ButtonHot,
                         bool Pushed, bool RightAligned) {
    const TSkSkinStatesType state = TSkSkinOptions::GetState(Enabled, Pushed, FrameHot || ButtonHot, false);
    TRect r = ARect;
    if (FrameHot) {
        // The face covers the lit frame on its three outer sides.
        r.Inflate(1, 1);
        if (RightAligned)
            ++r.Left;
        else
            --r.Right;
    }
    GetCurrentSkin()->PaintBackground(ACanvas, r, skncEditButton, state, true, true, false, {});
}

void PaintDropDownButton(TCanvas* ACanvas, const TRect& ARect, bool Enabled, bool FrameHot, bool ButtonHot,
                         bool Pushed, bool RightAligned) {
    TRect r = ARect;
    TColor arrow = clNone;
    switch (SkinType()) {
    case sknNone:
        r.Left += 4;
        FillRectFramed(ACanvas, r, clBtnFace, clWindow);
        if (Pushed)
            Edge(ACanvas, r, BDR_SUNKENOUTER);
        else if (FrameHot || ButtonHot)
            Edge(ACanvas, r, BDR_RAISEDINNER);
        arrow = EditButtonTextColor(TSkSkinOptions::GetState(Enabled, Pushed, ButtonHot, false));
        break;
    case sknSkin: {
        const TSkSkinStatesType state = TSkSkinOptions::GetState(Enabled, Pushed, FrameHot, false);
        ACanvas->FillRect(r);
        PaintEditButtonFace(ACanvas, r, Enabled, FrameHot, ButtonHot, Pushed, RightAligned);
        arrow = EditButtonTextColor(state);
        break;
    }
    default: {
        const TThemedComboBox first = IsWindowsVistaOrLater() ? tcDropDownButtonRightNormal : tcDropDownButtonNormal;
        TSkSkinOptions::PaintThemedElementBackground(
            ACanvas, r, Element(TThemedComboBox(int(first) + ThemedButtonOffset(Enabled, Pushed, ButtonHot))));
        return;
    }
    }
    DrawArrowTriangle(ACanvas, (r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2 - 1, arrow, true, false, 2);
}

void PaintSpinButtons(TCanvas* ACanvas, const TRect& R, bool Enabled, bool UpPushed, bool DownPushed, bool UpHot,
                      bool DownHot, bool EditFrameHot, bool RightAligned) {
    const int mid = (R.Top + R.Bottom) / 2;
    switch (SkinType()) {
    case sknNone: {
        const UINT inactive = Enabled ? 0 : DFCS_INACTIVE;
        RECT up{R.Left, R.Top, R.Right, mid};
        DrawFrameControl(ACanvas->Handle(), &up, DFC_SCROLL, DFCS_SCROLLUP | (UpPushed ? DFCS_PUSHED : 0) | inactive);
        RECT down{R.Left, mid - 1, R.Right, R.Bottom};
        DrawFrameControl(ACanvas->Handle(), &down, DFC_SCROLL,
                         DFCS_SCROLLDOWN | (DownPushed ? DFCS_PUSHED : 0) | inactive);
        break;
    }
    case sknSkin: {
        const TRect halves[2] = {TRect(R.Left, R.Top, R.Right, mid + 1), TRect(R.Left, mid, R.Right, R.Bottom)};
        for (int i = 0; i < 2; ++i) {
            const bool up = i == 0;
            const bool pushed = up ? UpPushed : DownPushed;
            const bool hot = up ? UpHot : DownHot;
            const TSkSkinStatesType state = TSkSkinOptions::GetState(Enabled, pushed, EditFrameHot || hot, false);
            TRect face = halves[i];
            if (EditFrameHot) {
                if (up)
                    --face.Bottom;
                else
                    ++face.Top;
            }
            PaintEditButtonFace(ACanvas, face, Enabled, EditFrameHot, hot, pushed, RightAligned);
            const TRect& half = halves[i];
            DrawArrowTriangle(ACanvas, (half.Left + half.Right) / 2, (half.Top + half.Bottom) / 2 - 1,
                              EditButtonTextColor(state), true, up, 2);
        }
        break;
    }
    default: {
        TRect r = R;
        r.Inflate(1, 1);
        const int m = (r.Top + r.Bottom) / 2;
        TSkSkinOptions::PaintThemedElementBackground(
            ACanvas, TRect(r.Left, r.Top, r.Right, m),
            Element(TThemedSpin(int(tsUpNormal) + ThemedButtonOffset(Enabled, UpPushed, UpHot))));
        TSkSkinOptions::PaintThemedElementBackground(
            ACanvas, TRect(r.Left, m, r.Right, r.Bottom),
            Element(TThemedSpin(int(tsDownNormal) + ThemedButtonOffset(Enabled, DownPushed, DownHot))));
        break;
    }
    }
}

bool EditFrameHasHotLook(TBorderStyle ABorderStyle) {
    if (ABorderStyle == bsNone || SkinType() == sknNone) return false;
    TSkSkinOptions* skin = GetCurrentSkin();
    return !skin->Options(skncEditFrame, sknsNormal)
                ->Borders()
                ->IsEqual(skin->Options(skncEditFrame, sknsHotTrack)->Borders());
}

// ---------------------------------------------------------------------------------------------------
// TSkUnicodeEdit

TSkUnicodeEdit::TSkUnicodeEdit(rtl::TComponent* AOwner) : TCustomEdit(AOwner) {}

void TSkUnicodeEdit::CreateParams(TCreateParams& Params) {
    TCustomEdit::CreateParams(Params);
    // The edit buttons are children: the text must not run over them.
    Params.Style |= WS_CLIPCHILDREN;
}

void TSkUnicodeEdit::CreateWnd() {
    TCustomEdit::CreateWnd();
    UpdateEditRect();
}

void TSkUnicodeEdit::UpdateEditRect() {
    if (!HandleAllocated()) return;
    int left = 0, right = 0;
    for (int i = 0; i < ControlCount(); ++i) {
        auto* button = dynamic_cast<TSkEditButton*>(Controls(i));
        if (!button || !button->Visible()) continue;
        if (button->Align() == alLeft) left += button->Width();
        if (button->Align() == alRight) right += button->Width();
    }
    if (left > 0) left += 2;
    if (right > 0) right += 2;
    SendMessageW(Handle(), EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(left, right));
}

bool TSkUnicodeEdit::HasEditButton() const {
    if (!HandleAllocated()) return false;
    for (int i = 0; i < ControlCount(); ++i)
        if (dynamic_cast<TSkEditButton*>(Controls(i))) return true;
    return false;
}

TSkEditButton* TSkUnicodeEdit::AddEditButton(bool RightAligned, int AWidth) {
    auto* button = new TSkEditButton(this);
    button->SetParent(this);
    button->SetAlign(RightAligned ? alRight : alLeft);
    button->SetWidth(AWidth);
    UpdateEditRect();
    return button;
}

void TSkUnicodeEdit::CMFontChanged(TMessage& Message) {
    TCustomEdit::CMFontChanged(Message);
    UpdateEditRect();
}

void TSkUnicodeEdit::CMEnabledChanged(TMessage& Message) {
    TCustomEdit::CMEnabledChanged(Message);
    for (int i = 0; i < ControlCount(); ++i)
        if (auto* button = dynamic_cast<TSkEditButton*>(Controls(i))) button->SetEnabled(Enabled());
}

// ---------------------------------------------------------------------------------------------------
// TSkEdit

TSkEdit::TSkEdit(rtl::TComponent* AOwner) : TSkUnicodeEdit(AOwner) {
    GetSkinManager()->AddSkinNotification(this);
    // No double buffering: the platform's edit window paints only through its own paint cycle, so a
    // buffered paint would lose the text. Its frame is painted apart, so nothing flickers for want of it.
}

TSkEdit::~TSkEdit() { GetSkinManager()->RemoveSkinNotification(this); }

void TSkEdit::SetBorderStyle(TBorderStyle Value) {
    if (FBorderStyle == Value) return;
    FBorderStyle = Value;
    InvalidateFrame();
}

void TSkEdit::InvalidateFrame() {
    if (!HandleAllocated()) return;
    RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_ALLCHILDREN | RDW_ERASE | RDW_INVALIDATE);
}

bool TSkEdit::FrameRepaintWanted() {
    return FHotTrack && !Focused() && (HasEditButton() || EditFrameHasHotLook(FBorderStyle));
}

// A child's notice counts too: the pointer on an edit button is over the edit.
void TSkEdit::CMMouseEnter(TCMMouseEnterLeave& Message) {
    TSkUnicodeEdit::CMMouseEnter(Message);
    if (FMouseInControl) return;
    FMouseInControl = true;
    if (FrameRepaintWanted()) InvalidateFrame();
}

void TSkEdit::CMMouseLeave(TCMMouseEnterLeave& Message) {
    TSkUnicodeEdit::CMMouseLeave(Message);
    if (!FMouseInControl) return;
    FMouseInControl = false;
    if (FrameRepaintWanted()) InvalidateFrame();
}

void TSkEdit::CMEnter(TMessage& Message) {
    TSkUnicodeEdit::CMEnter(Message);
    FMouseInControl = true;
    if (FHotTrack) InvalidateFrame();
}

void TSkEdit::CMExit(TMessage& Message) {
    TSkUnicodeEdit::CMExit(Message);
    FMouseInControl = false;
    if (FHotTrack) InvalidateFrame();
}

void TSkEdit::CMEnabledChanged(TMessage& Message) {
    TSkUnicodeEdit::CMEnabledChanged(Message);
    FMouseInControl = false;
    if (FHotTrack) InvalidateFrame();
}

void TSkEdit::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_NCPAINT: {
        const bool hot = FHotTrack && (FMouseInControl || Focused());
        if (SkinType() == sknNone && FBorderStyle != bsNone) break;   // the system's own border
        if (Ctl3D()) PaintEditFrameNC(this, hot, FBorderStyle == bsNone);
        Message.Result = 0;
        return;
    }
    case WM_SKINCHANGED:
        DefaultHandler(Message);
        InvalidateFrame();
        return;
    default: break;
    }
    TSkUnicodeEdit::Dispatch(Message);
}

// ---------------------------------------------------------------------------------------------------
// TSkEditButton

TSkEditButton::TSkEditButton(rtl::TComponent* AOwner) : TSkSpeedButton(AOwner) {
    if (AOwner) {
        for (int n = 0;; ++n) {
            const String name = QStringLiteral("SubEditButton") + QString::number(n);
            if (!AOwner->FindComponent(name)) {
                SetName(name);
                break;
            }
        }
    }
    if (auto* control = dynamic_cast<TControl*>(AOwner)) SetPopupControl(control);
    SetSubComponent(true);
}

bool TSkEditButton::IsEditFrameHot() {
    auto* edit = dynamic_cast<TSkEdit*>(Parent());
    return edit && (edit->MouseInControl() || edit->Focused());
}

bool TSkEditButton::HasCaptionOrGlyph() { return !Caption().isEmpty() || GetGlyphSize().cx > 0; }

void TSkEditButton::AdjustFont(TFont* AFont) {
    if (!LinkText().isEmpty() && FMouseInControl) {
        TSkTextObject::AdjustFont(AFont);
        return;
    }
    AFont->SetColor(EditButtonTextColor(
        TSkSkinOptions::GetState(Enabled(), TSkTextObject::GetPushed(), FMouseInControl || IsEditFrameHot(), Checked())));
}

void TSkEditButton::Click() {
    auto* parent = Parent();
    if (parent && !parent->Focused()) {
        TCustomForm* form = GetParentForm(parent);
        if (form && form->Enabled() && form->Visible() && CanFocusControl(parent)) parent->SetFocus();
    }
    TSkSpeedButton::Click();
}

bool TSkEditButton::DoDraw(TCanvas* ACanvas, const TRect& ARect, TSkPaintStage PaintStage) {
    if (PaintStage == pstPostPaint || IsBitmapSkinned()) return TSkSpeedButton::DoDraw(ACanvas, ARect, PaintStage);
    if (!TSkTextObject::DoDraw(ACanvas, ARect, PaintStage)) return false;
    const bool frameHot = IsEditFrameHot();
    const bool rightAligned = Align() != alLeft;
    const bool pushed = GetPushed();
    if (HasCaptionOrGlyph()) {
        switch (SkinType()) {
        case sknNone:
            DrawButtonFace(ACanvas, ARect, Enabled(), pushed, FMouseInControl, Checked(), Focused(), Default());
            break;
        case sknSkin:
            PaintEditButtonFace(ACanvas, ARect, Enabled(), frameHot, frameHot || FMouseInControl, pushed, rightAligned);
            break;
        default: {
            TRect r = ARect;
            r.Inflate(1, 1);
            DrawButtonFace(ACanvas, r, Enabled(), pushed, FMouseInControl, Checked(), Focused(), Default());
            break;
        }
        }
    } else {
        PaintDropDownButton(ACanvas, ARect, Enabled(), frameHot, FMouseInControl, pushed, rightAligned);
    }
    return true;
}

void TSkEditButton::DrawDropDownArrow(TCanvas* ACanvas, const TRect& R) {
    if (HasCaptionOrGlyph()) TSkSpeedButton::DrawDropDownArrow(ACanvas, R);
}

// ---------------------------------------------------------------------------------------------------
// The spin edit's value model

int64_t RoundToInt64Saturated(double Value) {
    if (std::isnan(Value)) return 0;
    const double r = std::nearbyint(Value);
    if (r >= Int64Limit) return std::numeric_limits<int64_t>::max();
    if (r < -Int64Limit) return std::numeric_limits<int64_t>::min();
    return int64_t(r);
}

void TSkSpinEditOptions::DoValueChanged() { OnValueChanged(this); }

void TSkSpinEditOptions::SetDecimal(int Value) {
    Value = std::clamp(Value, 0, 10);
    if (FDecimal == Value) return;
    FDecimal = Value;
    UpdateTextFromValue();
}

void TSkSpinEditOptions::SetMaxValue(double Value) {
    if (FMaxValue == Value) return;
    FMaxValue = Value;
    if (Value < FValue) SetValue(Value);
}

void TSkSpinEditOptions::SetMinValue(double Value) {
    if (FMinValue == Value) return;
    FMinValue = Value;
    if (Value > FValue) SetValue(Value);
}

void TSkSpinEditOptions::SetPostfix(const String& Value) {
    if (FPostfix == Value) return;
    FPostfix = Value;
    UpdateTextFromValue();
}

void TSkSpinEditOptions::SetPrefix(const String& Value) {
    if (FPrefix == Value) return;
    FPrefix = Value;
    UpdateTextFromValue();
}

void TSkSpinEditOptions::SetValueType(TSkSpinType Value) {
    if (FValueType == Value) return;
    FValueType = Value;
    if (Value == spnInteger || Value == spnHex) FIncrement = std::max<double>(double(RoundToInt64Saturated(FIncrement)), 1);
    UpdateTextFromValue();
}

void TSkSpinEditOptions::SetValue(double X) {
    if (X == FValue || !std::isfinite(X)) return;
    if (FMinValue != FMaxValue && (X < FMinValue || X > FMaxValue)) return;
    FValue = X;
    DoValueChanged();
    UpdateTextFromValue();
}

void TSkSpinEditOptions::Step(bool Up) {
    const double I = FIncrement;
    if (!FValueSnap) {
        SetValue(Up ? FValue + I : FValue - I);
        return;
    }
    if (I == 0) return;   // no grid to snap to
    // The small term, scaled by the step, keeps a value on a multiple from stepping onto itself.
    const double q = FValue / I;
    const double k = Up ? std::floor(q + I * 1e-10 + 1.0) : std::ceil(q - I * 1e-10 - 1.0);
    if (!std::isfinite(k) || k >= Int64Limit || k < -Int64Limit) return;
    const double next = double(int64_t(k)) * I;
    if (!std::isfinite(next)) return;
    SetValue(next);
}

void TSkSpinEditOptions::ValueInc() { Step(true); }
void TSkSpinEditOptions::ValueDec() { Step(false); }

String TSkSpinEditOptions::FormatValue() const {
    switch (FValueType) {
    case spnFloat: return rtl::FloatToStrF(FValue, rtl::ffFixed, 15, FDecimal);
    case spnHex: return rtl::IntToHex(static_cast<long long>(RoundToInt64Saturated(FValue)), 1).toUpper();
    default: return rtl::IntToStr(static_cast<long long>(RoundToInt64Saturated(FValue)));
    }
}

void TSkSpinEditOptions::UpdateTextFromValue() {
    if (!OnSetText) return;
    OnSetText(this, FPrefix + FormatValue() + FPostfix);
}

void TSkSpinEditOptions::UpdateValueFromText(bool Force) {
    const double V = FValue;
    String text;
    bool accept = true;
    OnGetText(this, text, accept);
    if (!FPrefix.isEmpty()) {
        const int at = text.indexOf(FPrefix);
        if (at >= 0) text.remove(at, FPrefix.size());
    }
    if (!FPostfix.isEmpty()) {
        const int at = text.indexOf(FPostfix);
        if (at >= 0) text.remove(at, FPostfix.size());
    }
    text = rtl::Trim(text);
    double parsed = V;
    if (!text.isEmpty()) {
        switch (FValueType) {
        case spnFloat:
            if (!rtl::TryStrToFloat(text, parsed)) parsed = V;
            break;
        case spnHex: {
            // Sixteen digits are the two's complement of a negative value.
            uint64_t u = 0;
            parsed = rtl::TryStrToUInt64(QStringLiteral("$") + text, u) ? double(int64_t(u))
                                                                         : double(RoundToInt64Saturated(V));
            break;
        }
        default: {
            int64_t i = 0;
            parsed = rtl::TryStrToInt64(text, i) ? double(i) : double(RoundToInt64Saturated(V));
            break;
        }
        }
    }
    if (Force || parsed != V) {
        SetValue(parsed);
        UpdateTextFromValue();
    }
}

void TSkSpinEditOptions::Assign(rtl::TPersistent* Source) {
    auto* source = dynamic_cast<TSkSpinEditOptions*>(Source);
    if (!source) {
        rtl::TPersistent::Assign(Source);
        return;
    }
    SetDecimal(source->FDecimal);
    SetIncrement(source->FIncrement);
    SetMaxValue(source->FMaxValue);
    SetMinValue(source->FMinValue);
    SetPostfix(source->FPostfix);
    SetPrefix(source->FPrefix);
    SetValue(source->FValue);
    SetValueSnap(source->FValueSnap);
    SetValueType(source->FValueType);
}

// ---------------------------------------------------------------------------------------------------
// TSkSpinButton

TSkSpinButton::TSkSpinButton(rtl::TComponent* AOwner) : TSkEditButton(AOwner) { SetRepeating(true); }

void TSkSpinButton::IsHotTracking(bool& UpButton, bool& DownButton, bool& EditFrame) {
    UpButton = DownButton = false;
    POINT pos{};
    if (HandleAllocated() && FMouseInControl && GetCursorPos(&pos)) {
        const TPoint p = ScreenToClient(TPoint(pos));
        const TRect r = GetClientRect();
        if (r.Contains(p)) {
            UpButton = p.Y < r.Height() / 2;
            DownButton = !UpButton;
        }
    }
    auto* edit = dynamic_cast<TSkEdit*>(Owner());
    EditFrame = edit && edit->HotTrack() && (edit->MouseInControl() || edit->Focused());
}

void TSkSpinButton::Click() {
    FUpPushed = FDownPushed = false;
    if (Enabled()) {
        POINT pos{};
        GetCursorPos(&pos);
        const TPoint p = ScreenToClient(TPoint(pos));
        if (p.Y < Height() / 2) {
            FUpPushed = true;
            OnUpClick(this);
        } else {
            FDownPushed = true;
            OnDownClick(this);
        }
    }
    TSkEditButton::Click();
}

bool TSkSpinButton::DoDraw(TCanvas* ACanvas, const TRect& ARect, TSkPaintStage PaintStage) {
    if (PaintStage == pstPostPaint || IsBitmapSkinned()) return TSkEditButton::DoDraw(ACanvas, ARect, PaintStage);
    if (!TSkTextObject::DoDraw(ACanvas, ARect, PaintStage)) return false;
    bool upHot = false, downHot = false, frameHot = false;
    IsHotTracking(upHot, downHot, frameHot);
    PaintSpinButtons(ACanvas, GetClientRect(), Enabled(), FUpPushed, FDownPushed, upHot, downHot, frameHot,
                     Align() != alLeft);
    return true;
}

void TSkSpinButton::DoMouseLeave() {
    FUpPushed = FDownPushed = false;
    TSkEditButton::DoMouseLeave();
}

void TSkSpinButton::WMMouseButton(TWMMouse& Message) {
    TSkEditButton::WMMouseButton(Message);
    if (Message.Msg == WM_LBUTTONUP) {
        FUpPushed = FDownPushed = false;
        Invalidate();
    }
}

void TSkSpinButton::WMMouseMove(TWMMouse& Message) {
    TSkEditButton::WMMouseMove(Message);
    // The hot half follows the pointer.
    if (Enabled()) Repaint();
}

// ---------------------------------------------------------------------------------------------------
// TSkSpinEdit

TSkSpinEdit::TSkSpinEdit(rtl::TComponent* AOwner) : TSkEdit(AOwner) {
    SetAlignment(taRightJustify);
    FSpinOptions = std::make_unique<TSkSpinEditOptions>();
    FSpinOptions->OnGetText = TSkEditAcceptTextEvent(this, &TSkSpinEdit::GetSpinText);
    FSpinOptions->OnSetText = TSkEditChangeEvent(this, &TSkSpinEdit::SetSpinText);
    FSpinButton = new TSkSpinButton(this);
    FSpinButton->SetParent(this);
    FSpinButton->FreeNotification(this);
    FSpinButton->OnUpClick = rtl::TNotifyEvent(this, &TSkSpinEdit::SpinUpClick);
    FSpinButton->OnDownClick = rtl::TNotifyEvent(this, &TSkSpinEdit::SpinDownClick);
    FSpinButton->SetAlign(alRight);
    FSpinButton->SetWidth(14);
    UpdateEditRect();
    SetText(QStringLiteral("0"));
}

TSkSpinEdit::~TSkSpinEdit() {
    FSpinOptions.reset();
    if (FSpinButton) {
        TSkSpinButton* button = FSpinButton;
        FSpinButton = nullptr;
        delete button;
    }
}

void TSkSpinEdit::SpinUpClick(rtl::TObject* Sender) {
    (void)Sender;
    FSpinOptions->ValueInc();
}

void TSkSpinEdit::SpinDownClick(rtl::TObject* Sender) {
    (void)Sender;
    FSpinOptions->ValueDec();
}

void TSkSpinEdit::GetSpinText(rtl::TObject* Sender, String& NewText, bool& Accept) {
    (void)Sender;
    (void)Accept;
    NewText = Text();
}

void TSkSpinEdit::SetSpinText(rtl::TObject* Sender, const String& AText) {
    (void)Sender;
    const String old = Text();
    if (old == AText) return;
    const int length = old.size();
    SetText(AText);
    if (AText.size() > length && HandleAllocated()) SetSelStart(length + FSpinOptions->Prefix().size());
}

void TSkSpinEdit::KeyDown(WORD& Key, TShiftState Shift) {
    TSkEdit::KeyDown(Key, Shift);
    if (Key == VK_UP)
        FSpinOptions->ValueInc();
    else if (Key == VK_DOWN)
        FSpinOptions->ValueDec();
}

void TSkSpinEdit::KeyPress(rtl::Char& Key) {
    TSkEdit::KeyPress(Key);
    if (Key == u'\r') {
        Key = 0;
        FSpinOptions->UpdateValueFromText(true);
    }
}

void TSkSpinEdit::CMExit(TMessage& Message) {
    if (FSpinOptions) FSpinOptions->UpdateValueFromText(true);
    TSkEdit::CMExit(Message);
}

void TSkSpinEdit::Change() {
    if (FExtendedAccept && FSpinOptions) FSpinOptions->UpdateValueFromText(false);
    TSkEdit::Change();
}

void TSkSpinEdit::Notification(rtl::TComponent* AComponent, rtl::TOperation Operation) {
    TSkEdit::Notification(AComponent, Operation);
    if (Operation == rtl::opRemove && AComponent == FSpinButton) FSpinButton = nullptr;
}

// ---------------------------------------------------------------------------------------------------
// TSkComboBox

void SetComboDropDownWidth(TCustomComboBox* Combo, int RightMargin) {
    if (!Combo || !Combo->HandleAllocated()) return;
    HDC dc = GetDC(Combo->Handle());
    HGDIOBJ old = SelectObject(dc, Combo->Font()->Handle());
    int widest = 0;
    rtl::TStrings* items = Combo->Items();
    for (int i = 0; i < items->Count(); ++i)
        widest = std::max<int>(widest, GetTextExtent(dc, items->Strings(i), false).cx);
    SelectObject(dc, old);
    ReleaseDC(Combo->Handle(), dc);
    const int width = widest + GetSystemMetrics(SM_CXVSCROLL) + RightMargin;
    if (width > Combo->Width()) SendMessageW(Combo->Handle(), CB_SETDROPPEDWIDTH, WPARAM(width), 0);
}

TSkComboBox::TSkComboBox(rtl::TComponent* AOwner) : TCustomComboBox(AOwner) {
    GetSkinManager()->AddSkinNotification(this);
}

TSkComboBox::~TSkComboBox() {
    GetSkinManager()->RemoveSkinNotification(this);
    FMouseTimerDoomed = false;
    FreeMouseTimer();
}

int TSkComboBox::DropDownButtonWidth() const { return Style() == csSimple ? 0 : GetSystemMetrics(SM_CXVSCROLL); }

int TSkComboBox::ItemHeight() {
    if (OwnerDrawStyle()) return TCustomComboBox::ItemHeight();
    if (FAutoItemHeight) return GetFontTextHeight(this, Font());
    return FInternalItemHeight;
}

void TSkComboBox::SetItemHeight(int Value) {
    if (Value > 0) FInternalItemHeight = Value;
    TCustomComboBox::SetItemHeight(Value);
}

TRect TSkComboBox::GetDropDownButtonRect() {
    TRect r(Width() - DropDownButtonWidth(), 0, Width(), Height());
    const int d = SkinType() == sknSkin ? 2 : 1;
    r.Inflate(0, -d);
    r.Offset(-d, 0);
    return r;
}

bool TSkComboBox::GetMouseInDropDownButton() {
    if (ComponentState().Contains(rtl::csDesigning) || !HandleAllocated()) return false;
    POINT pos{};
    if (!GetCursorPos(&pos)) return false;
    const TPoint p = ScreenToClient(TPoint(pos));
    return TRect(Width() - DropDownButtonWidth(), 0, Width(), Height()).Contains(p);
}

void TSkComboBox::InvalidateFrame() {
    if (HandleAllocated()) InvalidateRect(Handle(), nullptr, TRUE);
}

void TSkComboBox::UpdateDropDownWidth() {
    if (FAutoDropDownWidth) SetComboDropDownWidth(this, FAutoDropDownWidthRightMargin);
}

void TSkComboBox::CreateParams(TCreateParams& Params) {
    TCustomComboBox::CreateParams(Params);
    // Every skinned combo box paints its items itself.
    if (!(Params.Style & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE))) Params.Style |= CBS_OWNERDRAWFIXED;
}

void TSkComboBox::CreateWnd() {
    TCustomComboBox::CreateWnd();
    UpdateDropDownWidth();
}

void TSkComboBox::CloseUp() {
    TCustomComboBox::CloseUp();
    InvalidateFrame();
}

void TSkComboBox::DoDrawBackground(TCanvas* ACanvas, const TRect& ARect, TSkPaintStage PaintStage, bool& PaintDefault) {
    if (OnDrawBackground) OnDrawBackground(this, ACanvas, ARect, PaintStage, PaintDefault);
}

void TSkComboBox::DoDrawItem(TCanvas* ACanvas, TRect& ARect, int Index, TOwnerDrawState State,
                             TSkPaintStage PaintStage, bool& PaintDefault) {
    if (OnDrawItem) OnDrawItem(this, ACanvas, ARect, Index, State, PaintStage, PaintDefault);
}

void TSkComboBox::DoDrawItemBackground(TCanvas* ACanvas, TRect& ARect, int Index, TOwnerDrawState State,
                                       TSkPaintStage PaintStage, bool& PaintDefault) {
    if (OnDrawItemBackground) OnDrawItemBackground(this, ACanvas, ARect, Index, State, PaintStage, PaintDefault);
}

void TSkComboBox::DrawItemBackground(int Index, const TRect& Rect, TOwnerDrawState State) {
    TRect r = Rect;
    bool paintDefault = true;
    DoDrawItemBackground(Canvas(), r, Index, State, pstPrePaint, paintDefault);
    if (paintDefault)
        DrawListItemBackground(Canvas(), r, State.Contains(odSelected), false, State.Contains(odFocused), false, true);
    paintDefault = true;
    DoDrawItemBackground(Canvas(), r, Index, State, pstPostPaint, paintDefault);
}

void TSkComboBox::DrawItem(int Index, TRect Rect, TOwnerDrawState State) {
    TCanvas* canvas = Canvas();
    bool paintDefault = true;
    DoDrawItem(canvas, Rect, Index, State, pstPrePaint, paintDefault);
    if (paintDefault) {
        TRect r = Rect;
        r.Left += 2;
        if (State.Contains(odDisabled)) canvas->Font()->SetColor(clGrayText);
        DrawSkinText(canvas, Items()->Strings(Index), r, DrawTextBiDiModeFlags(DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX));
    }
    paintDefault = true;
    DoDrawItem(canvas, Rect, Index, State, pstPostPaint, paintDefault);
}

void TSkComboBox::DrawItemMessage(TMessage& Message) {
    auto* d = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
    const TOwnerDrawState state = OwnerDrawStateOf(d->itemState);
    const TRect rect(d->rcItem.left, d->rcItem.top, d->rcItem.right, d->rcItem.bottom);
    const int index = int(d->itemID);
    TControlCanvas* canvas = static_cast<TControlCanvas*>(Canvas());
    canvas->PaintOn(d->hDC, [&] {
        canvas->Font()->Assign(Font());
        canvas->Brush()->Assign(Brush());
        if (index >= 0 && index < Items()->Count()) {
            DrawItemBackground(index, rect, state);
            canvas->UpdateTextFlags();
            canvas->Brush()->SetStyle(bsClear);
            DrawItem(index, rect, state);
        } else {
            canvas->FillRect(rect);
        }
    });
    Message.Result = 1;
}

void TSkComboBox::PaintFrame() {
    if (!HandleAllocated()) return;
    HWND wnd = Handle();
    HDC dc = GetWindowDC(wnd);
    if (!dc) return;
    RECT window{};
    GetWindowRect(wnd, &window);
    const TRect R(0, 0, window.right - window.left, window.bottom - window.top);
    const int W = DropDownButtonWidth();
    const int saved = SaveDC(dc);
    ExcludeClipRect(dc, 2, 2, R.Right - W - 2, R.Bottom - 2);
    {
        TCanvas canvas;
        canvas.SetHandle(dc);
        bool paintDefault = true;
        DoDrawBackground(&canvas, R, pstPrePaint, paintDefault);
        const TSkSkinType type = SkinType();
        const bool designing = ComponentState().Contains(rtl::csDesigning);
        const bool nativeThemed = type == sknWindows && IsWindowsVistaOrLater() && !designing;
        if (paintDefault && type != sknNone && !nativeThemed) {
            const bool frameHot = !designing && (FHotTrack ? FMouseInControl || Focused() : DroppedDown());
            if (type == sknSkin) FillParentBackground(this, dc, R);
            DrawEditFrame(&canvas, R, Enabled(), frameHot);
            if (Style() != csSimple)
                PaintDropDownButton(&canvas, GetDropDownButtonRect(), Enabled(), frameHot, GetMouseInDropDownButton(),
                                    DroppedDown(), true);
        }
        paintDefault = true;
        DoDrawBackground(&canvas, R, pstPostPaint, paintDefault);
        canvas.SetHandle(nullptr);
    }
    RestoreDC(dc, saved);
    ReleaseDC(wnd, dc);
}

void TSkComboBox::CMMouseEnter(TCMMouseEnterLeave& Message) {
    TCustomComboBox::CMMouseEnter(Message);
    if (Message.Child() || ComponentState().Contains(rtl::csDestroying) || FMouseInControl || !HandleAllocated())
        return;
    FMouseInControl = true;
    if (FHotTrack && !Focused()) InvalidateFrame();
    if (FMouseTimer && FMouseTimerDoomed) {
        // Stopped by its last poll and not yet freed: it polls again.
        FMouseTimerDoomed = false;
        FMouseTimer->SetEnabled(true);
    }
    if (!FMouseTimer) {
        FMouseTimer = new TTimer(nullptr);
        FMouseTimer->SetInterval(125);
        FMouseTimer->SetOnTimer(rtl::TNotifyEvent(this, &TSkComboBox::MouseTimerHandler));
        FMouseTimer->SetEnabled(true);
    }
}

void TSkComboBox::MouseTimerHandler(rtl::TObject* Sender) {
    (void)Sender;
    if (ComponentState().Contains(rtl::csDestroying) || DroppedDown() || !HandleAllocated()) return;
    POINT pos{};
    if (!GetCursorPos(&pos)) return;
    RECT window{};
    GetWindowRect(Handle(), &window);
    const bool inside = PtInRect(&window, pos);
    if (inside != FMouseInControl) {
        FMouseInControl = inside;
        if (FHotTrack && !Focused()) InvalidateFrame();
    }
    if (!inside) {
        // Stop now; the timer is freed once its tick has returned.
        FMouseTimer->SetEnabled(false);
        if (!FMouseTimerDoomed) PostMessageW(Handle(), CM_SKFREETIMER, 0, 0);
        FMouseTimerDoomed = true;
    }
}

void TSkComboBox::FreeMouseTimer() {
    delete FMouseTimer;
    FMouseTimer = nullptr;
    FMouseTimerDoomed = false;
}

void TSkComboBox::UpdateMouseInDropDownButton() {
    if (DroppedDown() || Focused()) return;
    const bool in = GetMouseInDropDownButton();
    if (in != FMouseInDropDownButton) InvalidateFrame();
    FMouseInDropDownButton = in;
}

void TSkComboBox::WMMouseMove(TWMMouse& Message) {
    TCustomComboBox::WMMouseMove(Message);
    UpdateMouseInDropDownButton();
}

void TSkComboBox::EditWndProc(TMessage& Message) {
    if (Message.Msg == WM_MOUSEMOVE && HandleAllocated()) {
        // The pointer over the inner edit is over the combo box: its tracking hears of it.
        POINT p{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
        MapWindowPoints(EditHandle(), Handle(), &p, 1);
        Perform(WM_MOUSEMOVE, Message.WParam, MAKELPARAM(p.x, p.y));
        DefEditHandler(Message);
        return;
    }
    TCustomComboBox::EditWndProc(Message);
}

void TSkComboBox::CMEnter(TMessage& Message) {
    TCustomComboBox::CMEnter(Message);
    FMouseInControl = true;
    InvalidateFrame();
}

void TSkComboBox::CMExit(TMessage& Message) {
    TCustomComboBox::CMExit(Message);
    FMouseInControl = false;
    InvalidateFrame();
}

void TSkComboBox::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case CN_DRAWITEM: DrawItemMessage(Message); return;
    case CN_MEASUREITEM: {
        TCustomComboBox::Dispatch(Message);
        if (!OwnerDrawStyle()) {
            auto* m = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
            m->itemHeight = UINT(int(m->itemID) == -1 ? GetFontTextHeight(this, Font()) + 2 : ItemHeight());
        }
        return;
    }
    case WM_PAINT:
        TCustomComboBox::Dispatch(Message);
        PaintFrame();
        return;
    case WM_NCCALCSIZE: Message.Result = 0; return;   // no non-client area
    case WM_SETFONT:
        TCustomComboBox::Dispatch(Message);
        if (!FFontChanging && !OwnerDrawStyle() && HandleAllocated()) PostMessageW(Handle(), CM_SKFONTCHANGED, 0, 0);
        return;
    case CM_SKFONTCHANGED:
        if (!FFontChanging && !OwnerDrawStyle()) {
            FFontChanging = true;
            if (!DroppedDown()) RecreateWnd();
            FFontChanging = false;
        }
        return;
    case CM_SKFREETIMER:
        if (FMouseTimerDoomed) FreeMouseTimer();
        return;
    case WM_SKINCHANGED:
        DefaultHandler(Message);
        InvalidateFrame();
        return;
    default: break;
    }
    TCustomComboBox::Dispatch(Message);
}

} // namespace skins
