// components/KwpSimplePanel.cpp
#include "components/KwpSimplePanel.h"

namespace components {

// ---- TKwpCustomBaseSimplePanel ----

TKwpCustomBaseSimplePanel::TKwpCustomBaseSimplePanel(rtl::TComponent* AOwner) : TKwpPaintedPanel(AOwner) {}

void TKwpCustomBaseSimplePanel::SetCaptionMargin(int32_t Value) {
    if (FCaptionMargin == Value) return;
    FCaptionMargin = Value;
    Invalidate();
}

void TKwpCustomBaseSimplePanel::DrawCaption(TRect R) {
    if (!ShowCaption() || Caption().isEmpty()) return;
    TCanvas* canvas = Canvas();
    canvas->Font()->Assign(Font());
    const rtl::String text = Caption();
    const int w = canvas->TextWidth(text), h = canvas->TextHeight(text);
    const int x = Alignment() == vcl::taLeftJustify    ? FCaptionMargin
                  : Alignment() == vcl::taRightJustify ? R.Width() - w - FCaptionMargin
                                                       : R.Width() / 2 - w / 2;
    // The brush stays as the background left it: clear after a border, else the last fill colour.
    canvas->TextOut(x, R.Height() / 2 - h / 2, text);
}

// ---- TKwpSimplePanelAppearance ----

TKwpSimplePanelAppearance::TKwpSimplePanelAppearance(rtl::TComponent* AOwner) : FOwner(AOwner) {}

void TKwpSimplePanelAppearance::Changed() {
    if (OnChange) OnChange(this);
}

void TKwpSimplePanelAppearance::SetBackgroundColor(TColor Value) {
    FBackgroundColor = Value;
    Changed();
}

void TKwpSimplePanelAppearance::Assign(rtl::TPersistent* Source) {
    auto* source = dynamic_cast<TKwpSimplePanelAppearance*>(Source);
    if (!source) {
        rtl::TPersistent::Assign(Source);
        return;
    }
    FBackgroundColor = source->FBackgroundColor;
    FBorderColor = source->FBorderColor;
    FDrawTopBorder = source->FDrawTopBorder;
    FDrawBottomBorder = source->FDrawBottomBorder;
    FDrawLeftBorder = source->FDrawLeftBorder;
    FDrawRightBorder = source->FDrawRightBorder;
    FBorderStyle = source->FBorderStyle;
    FBackroundColorTo = source->FBackroundColorTo;
    Changed();
}

// ---- TKwpCustomSimplePanel ----

TKwpCustomSimplePanel::TKwpCustomSimplePanel(rtl::TComponent* AOwner)
    : TKwpHostPanel<TKwpCustomBaseSimplePanel>(AOwner), FAppearance(std::make_unique<TKwpSimplePanelAppearance>(this)) {
    FAppearance->OnChange = rtl::MakeEvent(this, &TKwpCustomSimplePanel::SimpleAppearanceChanged);
}

TKwpCustomSimplePanel::~TKwpCustomSimplePanel() = default;

void TKwpCustomSimplePanel::SimpleAppearanceChanged(rtl::TObject*) {
    if (Loading()) return;
    Invalidate();
    SetColor(FAppearance->BackgroundColor());
}

void TKwpCustomSimplePanel::DrawBackground(const TRect& R) {
    TCanvas* canvas = Canvas();
    SetColor(FAppearance->BackgroundColor());
    if (!ParentBackground()) {
        if (FAppearance->BackroundColorTo() == vcl::clNone) {
            canvas->Brush()->SetStyle(vcl::bsSolid);
            canvas->Brush()->SetColor(FAppearance->BackgroundColor());
            canvas->FillRect(R);
        } else {
            DrawGradientByKind(canvas, R, FAppearance->BackgroundColor(), FAppearance->BackroundColorTo(), 0, 255);
        }
    }
    if (FAppearance->BorderColor() == vcl::clNone) return;
    canvas->Brush()->SetStyle(vcl::bsClear);
    canvas->Pen()->SetStyle(FAppearance->BorderStyle());
    canvas->Pen()->SetColor(FAppearance->BorderColor());
    // The border procedures draw with the canvas pen at width 1: they are given a copy of it, so
    // that each side still gets as many lines as the pen was wide.
    TPen pen;
    pen.Assign(canvas->Pen());
    if (FAppearance->DrawLeftBorder()) DrawLeftBorderLines(canvas, R, &pen, false);
    if (FAppearance->DrawRightBorder()) DrawRightBorderLines(canvas, R, &pen, false);
    if (FAppearance->DrawTopBorder()) DrawTopBorderLines(canvas, R, &pen, false);
    if (FAppearance->DrawBottomBorder()) DrawBottomBorderLines(canvas, R, &pen, false);
}

} // namespace components
