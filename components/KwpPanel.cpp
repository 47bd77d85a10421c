#include "components/KwpPanel.h"

namespace components {

TKwpPanel::TKwpPanel(rtl::TComponent* AOwner) : vcl::TCustomControl(AOwner) {
    SetControlStyle(ControlStyle() + vcl::TControlStyle{vcl::csAcceptsControls});
}

void TKwpPanel::Paint() {
    vcl::TCanvas* c = Canvas();
    vcl::TRect r = ClientRect();
    c->Brush()->SetColor(Color());
    c->FillRect(r);
    if (!FAppearance.DrawBorder)
        return;
    auto side = [&](const TKwpPanelBorder& b, int x1, int y1, int x2, int y2) {
        if (!b.Visible)
            return;
        c->Pen()->SetColor(b.Color);
        c->MoveTo(x1, y1);
        c->LineTo(x2, y2);
    };
    const auto& B = FAppearance.Borders;
    side(B.Top, 0, 0, r.Right, 0);
    side(B.Bottom, 0, r.Bottom - 1, r.Right, r.Bottom - 1);
    side(B.Left, 0, 0, 0, r.Bottom);
    side(B.Right, r.Right - 1, 0, r.Right - 1, r.Bottom);
}

} // namespace components
