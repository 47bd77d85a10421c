// components/PlusCombo.cpp
#include "components/PlusCombo.h"

#include "components/KwpComboBox.h" // TabOnEnterKey
#include "vcl/Forms.h"

#include <cmath>

namespace components {

int TPlusCustomCombo::ScreenDpiOverride = 0;

TPlusCustomCombo::TPlusCustomCombo(rtl::TComponent* AOwner)
    : vcl::TCustomComboBox(AOwner),
      FButtonWidth(GetSystemMetrics(SM_CXVSCROLL) + 2),
      FLabelFont(std::make_unique<vcl::TFont>()) {
    FLabelFont->OnChange = rtl::TNotifyEvent(this, &TPlusCustomCombo::LabelFontChanged);
    FLblFntHeight = FLabelFont->Height();
}

TPlusCustomCombo::~TPlusCustomCombo() {
    FLabelFont->OnChange = {};
    delete FLabel; // owned by us; its Notification clears FLabel first
}

void TPlusCustomCombo::Notification(rtl::TComponent* AComponent, rtl::TOperation Operation) {
    vcl::TCustomComboBox::Notification(AComponent, Operation);
    if (Operation == rtl::opRemove && AComponent == FLabel) FLabel = nullptr;
}

rtl::String TPlusCustomCombo::LabelCaption() const { return FLabel ? FLabel->Caption() : rtl::String(); }

void TPlusCustomCombo::SetLabelCaption(const rtl::String& Value) {
    if (!FLabel) CreateLabel();
    FLabel->SetCaption(Value);
    UpdateLabel();
}

void TPlusCustomCombo::CreateLabel() {
    FLabel = new vcl::TLabel(this);
    FLabel->SetParent(Parent());
    FLabel->SetFocusControl(this);
    FLabel->Font()->Assign(FLabelFont.get());
    FLabel->SetParentFont(ParentFont());
}

void TPlusCustomCombo::SetLabelFont(vcl::TFont* Value) {
    if (ParentFont()) return;
    FLabelFont->Assign(Value);
    if (FLabel) UpdateLabel();
}

void TPlusCustomCombo::LabelFontChanged(rtl::TObject*) {
    const rtl::TComponentState state = ComponentState();
    if (state.Contains(rtl::csDesigning) && !state.Contains(rtl::csLoading)) {
        SetParentFont(false);
        FParentFnt = false;
    }
    if (FLabel) UpdateLabel();
    if (!FLblUpdate) FLblFntHeight = FLabelFont->Height();
}

void TPlusCustomCombo::UpdateLabel() {
    if (!FLabel) return;
    FLabel->SetTransparent(FLabelTransparent);
    FLabel->Font()->Assign(FParentFnt ? Font() : FLabelFont.get());
    if (FLabel->Parent() && FLabel->Parent()->HandleAllocated()) UpdateLabelPos();
}

void TPlusCustomCombo::UpdateLabelPos() {
    if (!FLabel) return;
    // A caption given before the control had a parent: the label joins it now, or waits.
    if (!FLabel->Parent()) FLabel->SetParent(Parent());
    if (!FLabel->Parent()) return;
    // The text's own width, not the label's: an auto-size label may not have followed its text yet.
    vcl::TCanvas* cv = FLabel->Canvas();
    cv->Font()->Assign(FLabel->Font());
    const rtl::String text = FLabel->Caption();
    RECT r{0, 0, 1000, 255};
    DrawTextW(cv->Handle(), reinterpret_cast<LPCWSTR>(text.utf16()), int(text.size()), &r,
              DT_CALCRECT | DT_HIDEPREFIX);
    const int w = r.right - r.left;
    const int lw = FLabel->Width(), lh = FLabel->Height();
    const int l = Left(), t = Top(), cw = Width(), ch = Height(), m = FLabelMargin;
    const int middleY = lh < ch ? t + (ch - lh) / 2 : t - (lh - ch) / 2;
    const int middleX = lw < cw ? l + (cw - lw) / 2 : l - (lw - cw) / 2;
    int top = t, left = l;
    switch (FLabelPosition) {
    case lpLeftTop: top = t; left = l - w - m; break;
    case lpLeftCenter: top = middleY; left = l - w - m; break;
    case lpLeftBottom: top = t + ch - lh; left = l - w - m; break;
    case lpTopLeft: top = t - lh - m; left = l; break;
    case lpBottomLeft: top = t + ch + m; left = l; break;
    case lpLeftTopLeft: top = t; left = l - m; break;
    case lpLeftCenterLeft: top = middleY; left = l - m; break;
    case lpLeftBottomLeft: top = t + ch - lh; left = l - m; break;
    case lpTopCenter: top = t - lh - m; left = middleX; break;
    case lpBottomCenter: top = t + ch + m; left = middleX; break;
    case lpRightTop: top = t; left = l + cw + m; break;
    case lpRightCenter: top = middleY; left = l + cw + m; break;
    case lpRighBottom: top = t + ch - lh; left = l + cw + m; break;
    case lpTopRight: top = t - lh - m; left = l + cw - lw; break;
    case lpBottomRight: top = t + ch + m; left = l + cw - lw; break;
    }
    FLabel->SetTop(top);
    FLabel->SetLeft(left);
    FLabel->SetVisible(Visible());
}

void TPlusCustomCombo::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    if (FLabel) {
        const vcl::TAlign a = Align();
        const int lw = FLabel->Width(), lh = FLabel->Height();
        switch (FLabelPosition) {
        case lpLeftTop:
        case lpLeftCenter:
        case lpLeftBottom:
            if (a == vcl::alTop || a == vcl::alBottom || a == vcl::alClient) {
                ALeft += lw + FLabelMargin;
                AWidth -= lw + FLabelMargin;
            }
            break;
        case lpTopLeft:
        case lpTopCenter:
            if (a == vcl::alTop || a == vcl::alLeft || a == vcl::alRight || a == vcl::alClient) ATop += lh;
            break;
        case lpRightTop:
        case lpRightCenter:
        case lpRighBottom:
            if (a == vcl::alTop || a == vcl::alBottom || a == vcl::alClient) AWidth -= lw + FLabelMargin;
            break;
        default: break;
        }
    }
    vcl::TCustomComboBox::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (!ComponentState().Contains(rtl::csDestroying)) UpdateLabel();
}

void TPlusCustomCombo::SetButtonWidth(int Value) {
    if (Value < 14 || Value > 32) return;
    FButtonWidth = Value;
    Invalidate();
}

void TPlusCustomCombo::SetFlat(bool Value) {
    if (FFlat == Value) return;
    FFlat = Value;
    SetCtl3D(!Value);
    if (FFlatParentColor && Value) {
        if (Parent()) SetColor(Parent()->Brush()->Color());
    } else {
        SetColor(FLoadedColor);
    }
    Invalidate();
}

void TPlusCustomCombo::SetBorderColor(TColor Value) {
    if (FBorderColor == Value) return;
    FBorderColor = Value;
    if (HandleAllocated()) SendMessageW(Handle(), WM_NCPAINT, 1, 0);
}

void TPlusCustomCombo::SetDropWidth(int Value) {
    FDropWidth = Value;
    if (Value > 0 && HandleAllocated()) SendMessageW(Handle(), CB_SETDROPPEDWIDTH, WPARAM(Value), 0);
}

bool TPlusCustomCombo::SelectItemText(const rtl::String& AString) {
    const int i = Items()->IndexOf(AString);
    if (i < 0) return false;
    SetItemIndex(i);
    Change();
    return true;
}

void TPlusCustomCombo::DoSetEnabled(bool Value) {
    const bool was = Enabled();
    vcl::TCustomComboBox::DoSetEnabled(Value);
    const rtl::TComponentState state = ComponentState();
    if (state.Contains(rtl::csLoading) || state.Contains(rtl::csDesigning) || was == Value) return;
    if (FLabel && !FLabelAlwaysEnabled) {
        FLabel->SetEnabled(Value);
        UpdateLabel();
    }
}

void TPlusCustomCombo::CMVisibleChanged(vcl::TMessage& Message) {
    vcl::TCustomComboBox::CMVisibleChanged(Message);
    if (FLabel) FLabel->SetVisible(Visible());
}

void TPlusCustomCombo::CMColorChanged(vcl::TMessage& Message) {
    if (ComponentState().Contains(rtl::csLoading)) FLoadedColor = Color();
    vcl::TCustomComboBox::CMColorChanged(Message);
}

void TPlusCustomCombo::CMEnabledChanged(vcl::TMessage& Message) {
    if (FFlat && !ComponentState().Contains(rtl::csLoading)) {
        if (Enabled()) {
            SetParentColor(FOldParentColor);
            SetColor(FOldColor);
        } else {
            FOldParentColor = ParentColor();
            FOldColor = Color();
            SetParentColor(true);
        }
    }
    vcl::TCustomComboBox::CMEnabledChanged(Message);
}

void TPlusCustomCombo::SetLabelBold(bool Value) {
    if (!FocusLabel || !FLabel) return;
    vcl::TFontStyles style = FLabel->Font()->Style();
    if (Value) style.Include(vcl::fsBold);
    else style.Exclude(vcl::fsBold);
    FLabel->Font()->SetStyle(style);
    UpdateLabelPos();
}

void TPlusCustomCombo::CMEnter(vcl::TMessage& Message) {
    vcl::TCustomComboBox::CMEnter(Message);
    if (ComponentState().Contains(rtl::csDesigning)) return;
    FHasFocus = true;
    if (FocusColor != vcl::clNone) SetColor(FocusColor);
    if (FocusFontColor != vcl::clNone && FocusFontColor != Font()->Color()) {
        FFontColor = Font()->Color();
        Font()->SetColor(FocusFontColor);
        if (FLabel) UpdateLabel();
    }
    SetLabelBold(true);
}

void TPlusCustomCombo::CMExit(vcl::TMessage& Message) {
    vcl::TCustomComboBox::CMExit(Message); // runs DoExit
    if (ComponentState().Contains(rtl::csDesigning)) return;
    FHasFocus = false;
    Invalidate();
}

void TPlusCustomCombo::DoExit() {
    vcl::TCustomComboBox::DoExit();
    if (FocusColor != vcl::clNone && FNormalColor != vcl::clNone) SetColor(FNormalColor);
    if (FocusFontColor != vcl::clNone && FFontColor != vcl::clNone) {
        Font()->SetColor(FFontColor);
        if (FLabel) UpdateLabel();
    }
    SetLabelBold(false);
    Invalidate();
}

void TPlusCustomCombo::CMFontChanged(vcl::TMessage& Message) {
    const rtl::TComponentState state = ComponentState();
    if (FLabel && ParentFont() && (state.Contains(rtl::csDesigning) || state.Contains(rtl::csLoading)))
        FLabel->Font()->Assign(Font());
    vcl::TCustomComboBox::CMFontChanged(Message);
}

void TPlusCustomCombo::CMParentFontChanged(vcl::TMessage& Message) {
    vcl::TCustomComboBox::CMParentFontChanged(Message);
    if (FLabel && ParentFont()) {
        FLabel->Font()->Assign(Font());
        UpdateLabel();
    }
}

void TPlusCustomCombo::ChangeScale(int M, int D) {
    vcl::TCustomComboBox::ChangeScale(M, D);
    if (!ComponentState().Contains(rtl::csLoading)) FLabelFont->SetSize(Font()->Size());
}

void TPlusCustomCombo::Dispatch(vcl::TMessage& Message) { vcl::TCustomComboBox::Dispatch(Message); }

void TPlusCustomCombo::InvalidateButton() {
    if (HandleAllocated()) {
        const RECT r{ClientWidth() - FButtonWidth, 0, ClientWidth(), ClientHeight()};
        InvalidateRect(Handle(), &r, FALSE);
    }
}

void TPlusCustomCombo::DropDown() {
    vcl::TCustomComboBox::DropDown();
    InvalidateButton();
}

void TPlusCustomCombo::CloseUp() {
    vcl::TCustomComboBox::CloseUp();
    InvalidateButton();
    OnDropUp(this);
}

void TPlusCustomCombo::KeyDown(WORD& Key, vcl::TShiftState Shift) {
    FGotReturn = Key == VK_RETURN;
    vcl::TCustomComboBox::KeyDown(Key, Shift);
}

void TPlusCustomCombo::KeyPress(rtl::Char& Key) {
    if (ReturnIsTab && Key == rtl::Char(13)) {
        // Enter inserts nothing and moves on, as Tab does.
        FGotReturn = false;
        TabOnEnterKey(vcl::GetParentForm(this), Key);
        Key = rtl::Char(0);
        return;
    }
    vcl::TCustomComboBox::KeyPress(Key);
}

void TPlusCustomCombo::EditWndProc(vcl::TMessage& Message) {
    if (Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_LBUTTONUP) {
        vcl::TShiftState shift;
        if (Message.WParam & MK_SHIFT) shift.Include(vcl::ssShift);
        if (Message.WParam & MK_CONTROL) shift.Include(vcl::ssCtrl);
        const int x = short(LOWORD(Message.LParam)), y = short(HIWORD(Message.LParam));
        if (Message.Msg == WM_LBUTTONDOWN) OnMouseDown(this, vcl::mbLeft, shift, x, y);
        else OnMouseUp(this, vcl::mbLeft, shift, x, y);
    }
    vcl::TCustomComboBox::EditWndProc(Message);
}

void TPlusCustomCombo::CreateWnd() {
    vcl::TCustomComboBox::CreateWnd();
    const rtl::TComponentState state = ComponentState();
    vcl::TCustomForm* form = vcl::GetParentForm(this);
    const bool scaled = !form || form->Scaled();
    if (!ParentFont() && FLabel && !FLabel->Caption().isEmpty() && !state.Contains(rtl::csDesigning) && scaled) {
        FLblUpdate = true;
        FLabelFont->SetHeight(int(std::nearbyint(FLblFntHeight * GetDpiScale())));
        FLblUpdate = false;
    }
    if (FLabel) UpdateLabelPos();
}

int TPlusCustomCombo::TextHeightAtDpi(int Dpi, int Size) {
    vcl::TBitmap bmp;
    bmp.SetPixelFormat(vcl::pf24bit);
    bmp.SetSize(1, 1);
    vcl::TFont* f = bmp.Canvas()->Font();
    f->SetPixelsPerInch(Dpi);
    f->SetSize(Size);
    return bmp.Canvas()->TextHeight(QStringLiteral("0"));
}

float TPlusCustomCombo::GetDpiScale() {
    int dpi = ScreenDpiOverride;
    if (dpi == 0) {
        HDC dc = GetDC(nullptr);
        dpi = GetDeviceCaps(dc, LOGPIXELSX);
        ReleaseDC(nullptr, dc);
    }
    if (dpi == 96) return 1.0f;
    const int base = TextHeightAtDpi(96, 9);
    if (base <= 0) return 1.0f; // no font to measure: leave the label as it is
    return float(TextHeightAtDpi(dpi, 9)) / float(base);
}

void TPlusCustomCombo::Loaded() {
    vcl::TCustomComboBox::Loaded();
    if (FDropWidth > 0) SetDropWidth(FDropWidth);
    FOldColor = FLoadedColor;
    if (!(FFlatParentColor && !FFlat)) SetColor(FLoadedColor);
    if (FLabel) {
        if (!FLabelAlwaysEnabled) FLabel->SetEnabled(Enabled());
        FLabel->Font()->Assign(ParentFont() ? Font() : FLabelFont.get());
    }
    FParentFnt = ParentFont();
    UpdateLabel();
    FLblFntHeight = FLabel ? FLabel->Font()->Height() : FLabelFont->Height();
    FNormalColor = Color();
}

} // namespace components
