// components/FlatGroupBox.cpp
#include "components/FlatGroupBox.h"

#include "vcl/StdCtrls.h"

#include <algorithm>

namespace components {

TFlatGroupBox::TFlatGroupBox(rtl::TComponent* AOwner) : vcl::TCustomControl(AOwner) {
    SetControlStyle(ControlStyle() + vcl::TControlStyle{vcl::csAcceptsControls, vcl::csOpaque});
    SetBounds(Left(), Top(), 185, 105);
}

void TFlatGroupBox::SetTransparent(bool Value) {
    FTransparent = Value;
    Invalidate();
}

void TFlatGroupBox::SetColorBorder(vcl::TColor Value) {
    FBorderColor = Value;
    Invalidate();
}

void TFlatGroupBox::SetBorder(TGroupBoxBorder Value) {
    FBorder = Value;
    Invalidate();
}

void TFlatGroupBox::SetAdvColorBorder(TAdvColors Value) {
    FAdvColorBorder = std::min<TAdvColors>(Value, 100);
    CalcAdvColors();
    Invalidate();
}

void TFlatGroupBox::SetUseAdvColors(bool Value) {
    if (FUseAdvColors == Value) return;
    FUseAdvColors = Value;
    SetParentColor(Value);
    CalcAdvColors();
    Invalidate();
}

void TFlatGroupBox::CalcAdvColors() {
    if (FUseAdvColors) FBorderColor = ShiftColorLuminance(Color(), FBorderColor, FAdvColorBorder, true);
}

void TFlatGroupBox::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    vcl::TCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    // What shows through changes with the place.
    if (FTransparent) Invalidate();
}

void TFlatGroupBox::Paint() {
    const vcl::TRect client = ClientRect();
    const int w = client.Width(), h = client.Height();
    vcl::TBitmap bmp;
    bmp.SetSize(w, h);
    vcl::TCanvas* c = bmp.Canvas();
    c->Font()->Assign(Font());
    const rtl::String caption = Caption();
    const int th = c->TextHeight(caption), tw = c->TextWidth(caption);
    if (FTransparent)
        DrawParentBackground(this, c);
    else {
        c->Brush()->SetColor(Color());
        c->FillRect(client);
    }
    c->Pen()->SetColor(FBorderColor);
    if (FBorder == brFull) {
        c->Polyline({{5, th / 2}, {0, th / 2}, {0, h - 1}, {w - 1, h - 1}, {w - 1, th / 2}, {tw + 12, th / 2}});
    } else {
        // The left piece ends at the height measured in the control's own canvas font.
        const int ownTh = Canvas()->TextHeight(caption);
        c->MoveTo(5, th / 2);
        c->LineTo(0, ownTh / 2);
        c->MoveTo(w - 1, th / 2);
        c->LineTo(tw + 12, th / 2);
    }
    c->Brush()->SetStyle(vcl::bsClear);
    const vcl::TTextFormat format{vcl::tfLeft, vcl::tfTop, vcl::tfSingleLine};
    vcl::TRect r(10, 0, w - 10, th);
    rtl::String text = caption;
    if (Enabled()) {
        c->TextRect(r, text, format);
    } else {
        vcl::TRect shadow = r;
        shadow.Offset(1, 1);
        c->Font()->SetColor(vcl::clBtnHighlight);
        c->TextRect(shadow, text, format);
        c->Font()->SetColor(vcl::clBtnShadow);
        c->TextRect(r, text, format);
    }
    Canvas()->Draw(0, 0, &bmp);
}

void TFlatGroupBox::CMDialogChar(vcl::TCMDialogChar& Message) {
    if (vcl::IsAccel(Message.CharCode(), Caption()) && CanFocus()) {
        SetFocus();
        Message.Result = 1;
        return;
    }
    vcl::TCustomControl::CMDialogChar(Message);
}

void TFlatGroupBox::CMTextChanged(vcl::TMessage& Message) {
    vcl::TCustomControl::CMTextChanged(Message);
    Invalidate();
}

void TFlatGroupBox::CMEnabledChanged(vcl::TMessage& Message) {
    vcl::TCustomControl::CMEnabledChanged(Message);
    Invalidate();
}

void TFlatGroupBox::FollowParentColors() {
    if (FUseAdvColors) {
        SetParentColor(true);
        CalcAdvColors();
    }
    Invalidate();
}

void TFlatGroupBox::CMParentColorChanged(vcl::TMessage& Message) {
    vcl::TCustomControl::CMParentColorChanged(Message);
    FollowParentColors();
}

void TFlatGroupBox::CMSysColorChange(vcl::TMessage& Message) {
    vcl::TCustomControl::CMSysColorChange(Message);
    FollowParentColors();
}

} // namespace components
