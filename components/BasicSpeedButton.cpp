// components/BasicSpeedButton.cpp
#include "components/BasicSpeedButton.h"

#include "base/Colors.h"
#include "components/KwpPngButton.h"
#include "components/PngLegacy.h"
#include "vcl/ActnList.h"

namespace components {

using vcl::TPoint;

// ---- state and appearance ----

void TKwpBasicSpeedButtonStateParams::SetColor(TColor Value) { Set(FColor, Value); }
void TKwpBasicSpeedButtonStateParams::SetFontColor(TColor Value) { Set(FFontColor, Value); }
void TKwpBasicSpeedButtonStateParams::SetBorderColor(TColor Value) { Set(FBorderColor, Value); }
void TKwpBasicSpeedButtonStateParams::SetBorderWidth(int Value) { Set(FBorderWidth, Value); }
void TKwpBasicSpeedButtonStateParams::SetTransparentBorder(bool Value) { Set(FTransparentBorder, Value); }
void TKwpBasicSpeedButtonStateParams::SetTransparentBackground(bool Value) { Set(FTransparentBackground, Value); }

void TKwpBasicSpeedButtonStateParams::Assign(rtl::TPersistent* Source) {
    auto* src = dynamic_cast<TKwpBasicSpeedButtonStateParams*>(Source);
    if (!src) {
        rtl::TPersistent::Assign(Source);
        return;
    }
    SetColor(src->Color());
    SetFontColor(src->FontColor());
    SetBorderColor(src->BorderColor());
    SetBorderWidth(src->BorderWidth());
    SetTransparentBorder(src->TransparentBorder());
    SetTransparentBackground(src->TransparentBackground());
}

TKwpBasicSpeedButtonAppearance::TKwpBasicSpeedButtonAppearance()
    : FNormal(std::make_unique<TKwpBasicSpeedButtonStateParams>()),
      FHot(std::make_unique<TKwpBasicSpeedButtonStateParams>()),
      FDown(std::make_unique<TKwpBasicSpeedButtonStateParams>()),
      FDisabled(std::make_unique<TKwpBasicSpeedButtonStateParams>()) {
    FNormal->SetColor(vcl::clBtnFace);
    FNormal->SetFontColor(vcl::clWindowText);
    FNormal->SetBorderColor(vcl::clWindowFrame);
    FHot->SetColor(vcl::clHighlight);
    FHot->SetFontColor(vcl::clHighlightText);
    FHot->SetBorderColor(vcl::clHighlight);
    // Computed once here, from the system colours of this moment.
    FDown->SetColor(base::ChangeColorByPercent(FHot->Color(), 30, false));
    FDown->SetFontColor(FHot->FontColor());
    FDown->SetBorderColor(FDown->Color());
    FDisabled->SetColor(base::ChangeColorByPercent(vcl::clBtnFace, 3, true));
    FDisabled->SetFontColor(vcl::clBtnShadow);
    FDisabled->SetBorderColor(FDisabled->FontColor());
    for (TKwpBasicSpeedButtonStateParams* s : {FNormal.get(), FHot.get(), FDown.get(), FDisabled.get()}) {
        s->SetBorderWidth(1);
        s->OnChange = rtl::TNotifyEvent(this, &TKwpBasicSpeedButtonAppearance::PropsChanged);
    }
}

TKwpBasicSpeedButtonAppearance::~TKwpBasicSpeedButtonAppearance() = default;

void TKwpBasicSpeedButtonAppearance::PropsChanged(rtl::TObject*) {
    if (OnChange) OnChange(this);
}

void TKwpBasicSpeedButtonAppearance::SetGlyphHotGammaFactor(uint8_t Value) {
    FGlyphHotGammaFactor = Value;
    PropsChanged(this);
}
void TKwpBasicSpeedButtonAppearance::SetMoveWhenDown(bool Value) {
    FMoveWhenDown = Value;
    PropsChanged(this);
}
void TKwpBasicSpeedButtonAppearance::SetShowCaption(bool Value) {
    FShowCaption = Value;
    PropsChanged(this);
}
void TKwpBasicSpeedButtonAppearance::SetGlyphDisabledBlendIntensity(TKwpBlendIntensity Value) {
    if (Value == FGlyphDisabledBlendIntensity) return;
    FGlyphDisabledBlendIntensity = Value;
    PropsChanged(this);
}
void TKwpBasicSpeedButtonAppearance::SetGlyphDisabledGrayscaleIntensity(TKwpGrayscaleIntensity Value) {
    if (Value == FGlyphDisabledGrayscaleIntensity) return;
    FGlyphDisabledGrayscaleIntensity = Value;
    PropsChanged(this);
}

// ---- the button ----

TKwpBasicSpeedButton::TKwpBasicSpeedButton(rtl::TComponent* AOwner)
    : TKwpAnchorHost<vcl::TGraphicControl>(AOwner), FTagExt(std::make_unique<TKwpTagExt>(this)),
      FAppearance(std::make_unique<TKwpBasicSpeedButtonAppearance>()),
      FPngImage(std::make_unique<vcl::TPngImage>()) {
    // No click from the class library: the button decides on the release itself.
    SetControlStyle(vcl::TControlStyle{vcl::csCaptureMouse, vcl::csDoubleClicks});
    FAppearance->OnChange = rtl::TNotifyEvent(this, &TKwpBasicSpeedButton::AppearanceChanged);
    SetBounds(Left(), Top(), 75, 25);
}

TKwpBasicSpeedButton::~TKwpBasicSpeedButton() = default;


void TKwpBasicSpeedButton::SetCaption(const rtl::String& Value) {
    FCaption = Value;
    AdjustAutoWidth();
    Repaint();
}
void TKwpBasicSpeedButton::SetLayout(vcl::TButtonLayout Value) {
    FLayout = Value;
    Repaint();
}
void TKwpBasicSpeedButton::SetMargin(int Value) {
    FMargin = Value;
    AdjustAutoWidth();
    Repaint();
}
void TKwpBasicSpeedButton::SetSpacing(int Value) {
    FSpacing = Value;
    AdjustAutoWidth();
    Repaint();
}

void TKwpBasicSpeedButton::SetAutoWidth(bool Value) {
    if (Value == FAutoWidth) return;
    FAutoWidth = Value;
    AdjustAutoWidth();
    Repaint();
}
void TKwpBasicSpeedButton::SetAutoWidthMargin(int8_t Value) {
    if (Value == FAutoWidthMargin) return;
    FAutoWidthMargin = Value;
    AdjustAutoWidth();
    Repaint();
}
void TKwpBasicSpeedButton::SetAutoWidthRightJustify(bool Value) {
    if (Value == FAutoWidthRightJustify) return;
    FAutoWidthRightJustify = Value;
    Repaint();
}
void TKwpBasicSpeedButton::SetPngOptions(TPngOptions Value) {
    if (Value == FPngOptions) return;
    FPngOptions = Value;
    Repaint();
}

void TKwpBasicSpeedButton::SetPngImage(vcl::TPngImage* Value) {
    if (Value)
        FPngImage->Assign(Value);
    else
        FPngImage = std::make_unique<vcl::TPngImage>();
    DropGamma(FPngImage.get());
    FImageFromAction = false;
    AdjustAutoWidth();
    Repaint();
}

void TKwpBasicSpeedButton::Loaded() {
    vcl::TGraphicControl::Loaded();
    FButtonState = RestState();
    AdjustAutoWidth();
}

void TKwpBasicSpeedButton::CMFontChanged(vcl::TMessage& Message) {
    vcl::TGraphicControl::CMFontChanged(Message);
    AdjustAutoWidth();
}

void TKwpBasicSpeedButton::CMEnabledChanged(vcl::TMessage& Message) {
    vcl::TGraphicControl::CMEnabledChanged(Message);
    FButtonState = RestState();
    Repaint();
}

void TKwpBasicSpeedButton::CMMouseEnter(vcl::TCMMouseEnterLeave& Message) {
    vcl::TGraphicControl::CMMouseEnter(Message);
    if (Message.Child()) return;
    FMouseInControl = true;
    FButtonState = Enabled() ? bssOver : bssDisabled;
    if (ComponentState().Contains(rtl::csDesigning)) return;
    if (Enabled() && OnMouseEnter) OnMouseEnter(this);
    Repaint();
}

void TKwpBasicSpeedButton::CMMouseLeave(vcl::TCMMouseEnterLeave& Message) {
    vcl::TGraphicControl::CMMouseLeave(Message);
    if (Message.Child()) return;
    FMouseInControl = false;
    FButtonState = RestState();
    if (ComponentState().Contains(rtl::csDesigning)) return;
    if (Enabled() && OnMouseLeave) OnMouseLeave(this);
    Repaint();
}

void TKwpBasicSpeedButton::MouseDown(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y) {
    vcl::TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button == vcl::mbLeft && Enabled() && FButtonState != bssDown) {
        FButtonState = bssDown;
        Repaint();
    }
}

void TKwpBasicSpeedButton::MouseUp(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y) {
    vcl::TGraphicControl::MouseUp(Button, Shift, X, Y);
    if (!Enabled()) return;
    // Released outside: no click, and the hot look stays until the pointer leaves.
    FButtonState = bssOver;
    const vcl::TRect client = ClientRect();
    if (X >= 0 && X < client.Width() && Y >= 0 && Y < client.Height()) Click();
    Repaint();
}

void TKwpBasicSpeedButton::ActionChange(rtl::TObject* Sender, bool CheckDefaults) {
    vcl::TGraphicControl::ActionChange(Sender, CheckDefaults);
    if (auto* action = dynamic_cast<vcl::TCustomAction*>(Sender)) {
        SetCaption(action->Caption());
        SetHint(action->Hint());
        SetShowHint(ShowHint());
    }
    if ((FPngImage->Empty() || FImageFromAction) && CopyImageFromAction(Sender, FPngImage.get())) {
        FImageFromAction = true;
        Repaint();
    }
}

void TKwpBasicSpeedButton::AdjustAutoWidth() {
    if (!FAutoWidth || !FAppearance->ShowCaption() || FCaption.isEmpty()) return;
    if (Align() == vcl::alTop || Align() == vcl::alBottom || Align() == vcl::alClient) return;
    // The gap counts only between a glyph and a caption, as the layout places them.
    int w = FPngImage->Empty() ? 0 : FPngImage->Width() + FSpacing;
    vcl::TBitmap measure;
    measure.Canvas()->Font()->Assign(Font());
    w += measure.Canvas()->TextWidth(FCaption) + 2 * FAutoWidthMargin;
    if (FMargin > 0) w += FMargin;
    w = std::max(w, 16);
    if (w == Width()) return;
    const int grown = w - Width();
    SetBounds(FAutoWidthRightJustify ? Left() - grown : Left(), Top(), w, Height());
}

void TKwpBasicSpeedButton::Paint() {
    vcl::TCanvas* canvas = Canvas();
    const vcl::TRect r = ClientRect();
    canvas->Font()->Assign(Font());
    TKwpBasicSpeedButtonAppearance* a = FAppearance.get();
    TKwpBasicSpeedButtonStateParams* s = FButtonState == bssOver       ? a->Hot()
                                         : FButtonState == bssDown     ? a->Down()
                                         : FButtonState == bssDisabled ? a->Disabled()
                                                                       : a->Normal();
    if (!s->TransparentBackground()) {
        canvas->Brush()->SetColor(s->Color());
        canvas->Brush()->SetStyle(vcl::bsSolid);
        canvas->FillRect(r);
    }
    if (!s->TransparentBorder()) {
        canvas->Brush()->SetStyle(vcl::bsClear);
        canvas->Pen()->SetColor(s->Color());
        vcl::TRect frame = r;
        DrawFrame(canvas, frame, s->BorderColor(), s->BorderWidth());
    }
    const bool hot = FButtonState == bssOver, down = FButtonState == bssDown;
    const rtl::String text = a->ShowCaption() ? FCaption : rtl::String();
    TPoint g, t;
    CalcPngButtonLayout(canvas, FPngImage.get(), r, down && a->MoveWhenDown(), false, text, FLayout, FMargin, FSpacing,
                        g, t, DrawTextBiDiModeFlags(0));
    if (!FPngImage->Empty()) {
        if (Enabled() && (hot || down)) {
            vcl::TPngImage copy;
            copy.Assign(FPngImage.get());
            GammaCorrectPng(&copy, float(a->GlyphHotGammaFactor()) / 100);
            canvas->Draw(g.X, g.Y, &copy);
        } else if (Enabled()) {
            canvas->Draw(g.X, g.Y, FPngImage.get());
        } else {
            vcl::TPngImage copy;
            copy.Assign(FPngImage.get());
            MakeDisabledPng(&copy, a->GlyphDisabledBlendIntensity(), a->GlyphDisabledGrayscaleIntensity(),
                            FPngOptions.Contains(pngBlendOnDisabled), FPngOptions.Contains(pngGrayscaleOnDisabled));
            canvas->Draw(g.X, g.Y, &copy);
        }
    }
    if (a->ShowCaption() && !FCaption.isEmpty()) {
        canvas->Brush()->SetStyle(vcl::bsClear);
        canvas->Font()->SetColor(s->FontColor());
        vcl::TRect tr(t.X, t.Y, Width(), Height());
        rtl::String caption = FCaption;
        canvas->TextRect(tr, caption, vcl::TextFormatFromFlags(DT_SINGLELINE | DrawTextBiDiModeFlags(0)));
    }
}

} // namespace components
