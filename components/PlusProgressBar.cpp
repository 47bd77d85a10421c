#include "components/PlusProgressBar.h"

#include <cmath>

namespace components {

TPlusProgressBar::TPlusProgressBar(rtl::TComponent* AOwner) : vcl::TGraphicControl(AOwner) {
    SetBounds(0, 0, 200, 20);
}

void TPlusProgressBar::SetPosition(int Value) {
    if (Value < Min || Value > Max)
        return;
    FPosition = Value;
    FPercentage = Max == Min ? 0 : static_cast<int>(std::lround(double(Value) / (Max - Min) * 100));
    Invalidate();
}

void TPlusProgressBar::Paint() {
    vcl::TCanvas* c = Canvas();
    vcl::TRect r = ClientRect();
    c->Brush()->SetColor(BackgroundColor);
    c->Pen()->SetColor(BorderColor);
    c->Rectangle(r);
    // The filled part grows in Steps equal blocks, coloured by the level the percentage has reached.
    const int inner = r.Width() - 2;
    const int steps = Steps > 0 ? Steps : 1;
    const int blocks = FPercentage * steps / 100;
    const int blockWidth = inner / steps;
    for (int i = 0; i < blocks; ++i) {
        const int perc = (i + 1) * 100 / steps;
        vcl::TColor color = perc > Level2Perc ? Level2Color : perc > Level1Perc ? Level1Color : Level0Color;
        c->Brush()->SetColor(color);
        c->FillRect(vcl::TRect(1 + i * blockWidth, 1, 1 + (i + 1) * blockWidth, r.Bottom - 1));
    }
    c->Font()->Assign(Font());
    c->Brush()->SetStyle(vcl::bsClear);
    rtl::String text = rtl::String::number(FPercentage) + QStringLiteral("%");
    c->TextRect(r, text, vcl::TTextFormat{vcl::tfSingleLine, vcl::tfVerticalCenter, vcl::tfCenter});
}

} // namespace components
