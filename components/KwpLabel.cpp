#include "components/KwpLabel.h"

namespace components {

TKwpLabel::TKwpLabel(rtl::TComponent* AOwner) : vcl::TGraphicControl(AOwner) {
    SetBounds(0, 0, 100, 16);
}

void TKwpLabel::Paint() {
    vcl::TCanvas* c = Canvas();
    c->Font()->Assign(Font());
    c->Brush()->SetStyle(vcl::bsClear);
    vcl::TRect r = ClientRect();
    rtl::String text = Caption();
    vcl::TTextFormat format{vcl::tfSingleLine, vcl::tfVerticalCenter, vcl::tfNoPrefix};
    if (RightAligned)
        format.Include(vcl::tfRight);
    if (EllipsisPosition == epEndEllipsis)
        format.Include(vcl::tfEndEllipsis);
    c->TextRect(r, text, format);
}

} // namespace components
