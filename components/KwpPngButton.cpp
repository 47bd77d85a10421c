#include "components/KwpPngButton.h"

namespace components {

TKwpPngButton::TKwpPngButton(rtl::TComponent* AOwner) : vcl::TCustomControl(AOwner) {
    SetControlStyle(ControlStyle() + vcl::TControlStyle{vcl::csClickEvents, vcl::csCaptureMouse});
    SetBounds(0, 0, 90, 26);
}

void TKwpPngButton::Paint() {
    vcl::TCanvas* c = Canvas();
    vcl::TRect r = ClientRect();
    c->Brush()->SetColor(vcl::clBtnFace);
    c->Pen()->SetColor(vcl::clBtnShadow);
    c->Rectangle(r);
    c->Font()->Assign(Font());
    c->Brush()->SetStyle(vcl::bsClear);
    rtl::String text = Caption();
    c->TextRect(r, text, vcl::TTextFormat{vcl::tfSingleLine, vcl::tfVerticalCenter, vcl::tfCenter});
}

void SetButtonFonts(TKwpPngButton* Button, const rtl::String& FontName, int Size) {
    Button->Font()->SetName(FontName);
    Button->Font()->SetSize(Size);
}

TKwpCheckBox::TKwpCheckBox(rtl::TComponent* AOwner) : vcl::TCustomControl(AOwner) {
    SetControlStyle(ControlStyle() + vcl::TControlStyle{vcl::csClickEvents, vcl::csCaptureMouse});
    SetBounds(0, 0, 180, 18);
}

void TKwpCheckBox::SetChecked(bool Value) {
    if (FChecked == Value)
        return;
    FChecked = Value;
    Invalidate();
}

void TKwpCheckBox::Click() {
    SetChecked(!FChecked);
    vcl::TCustomControl::Click();
}

void TKwpCheckBox::Paint() {
    vcl::TCanvas* c = Canvas();
    vcl::TRect r = ClientRect();
    c->Brush()->SetColor(Color());
    c->FillRect(r);
    const int box = 13, top = (r.Bottom - box) / 2;
    c->Brush()->SetColor(vcl::clWhite);
    c->Pen()->SetColor(vcl::clBtnShadow);
    c->Rectangle(0, top, box, top + box);
    if (FChecked) {
        c->Pen()->SetColor(vcl::clWindowText);
        c->MoveTo(3, top + 6);
        c->LineTo(5, top + 9);
        c->LineTo(10, top + 3);
    }
    c->Font()->Assign(Font());
    c->Brush()->SetStyle(vcl::bsClear);
    vcl::TRect tr(box + 5, 0, r.Right, r.Bottom);
    rtl::String text = Caption();
    c->TextRect(tr, text, vcl::TTextFormat{vcl::tfSingleLine, vcl::tfVerticalCenter, vcl::tfEndEllipsis});
}

} // namespace components
