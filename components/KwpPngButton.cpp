// components/KwpPngButton.cpp
#include "components/KwpPngButton.h"

#include "base/Colors.h"
#include "base/Strings.h"
#include "components/Graphics.h"
#include "components/PngImageList.h"
#include "rtl/Math.h"
#include "vcl/ActnList.h"
#include "vcl/ImgList.h"

#include <cmath>

namespace components {

using vcl::TPoint;

// ---- TKwpItemStateParams ----

TKwpItemStateParams::TKwpItemStateParams(rtl::TComponent* AOwner)
    : FFont(std::make_unique<vcl::TFont>()), FBorder(std::make_unique<TPen>()),
      FUpperGradient(std::make_unique<TKwpGradientEx>(AOwner)),
      FBottomGradient(std::make_unique<TKwpGradientEx>(AOwner)) {
    const rtl::TNotifyEvent changed(this, &TKwpItemStateParams::PropsChanged);
    FFont->OnChange = changed;
    FBorder->OnChange = changed;
    FUpperGradient->OnChange = changed;
    FBottomGradient->OnChange = changed;
}

TKwpItemStateParams::~TKwpItemStateParams() = default;

void TKwpItemStateParams::PropsChanged(rtl::TObject*) {
    if (OnChange) OnChange(this);
}

// Owned parts are filled in place: the holder never keeps an object it was handed.
void TKwpItemStateParams::SetBorder(TPen* Value) {
    FBorder->Assign(Value);
}
void TKwpItemStateParams::SetColor(TColor Value) {
    FColor = Value;
    PropsChanged(this);
}
void TKwpItemStateParams::SetFont(vcl::TFont* Value) {
    FFont->Assign(Value);
    PropsChanged(this);
}
void TKwpItemStateParams::SetUpperGradient(TKwpGradientEx* Value) {
    FUpperGradient->Assign(Value);
}
void TKwpItemStateParams::SetBottomGradient(TKwpGradientEx* Value) {
    FBottomGradient->Assign(Value);
}
void TKwpItemStateParams::SetGradientEnabled(bool Value) {
    FGradientEnabled = Value;
    PropsChanged(this);
}
void TKwpItemStateParams::SetUpperGradientPercent(uint8_t Value) {
    FUpperGradientPercent = Value;
    PropsChanged(this);
}
void TKwpItemStateParams::SetBorderToGradientMargin(int32_t Value) {
    FBorderToGradientMargin = Value;
    PropsChanged(this);
}
void TKwpItemStateParams::SetTransparentBackground(bool Value) {
    FTransparentBackground = Value;
    PropsChanged(this);
}
void TKwpItemStateParams::SetTransparentFrame(bool Value) {
    FTransparentFrame = Value;
    PropsChanged(this);
}

// ---- TKwpButtonAppearance ----

namespace {

void SetStateLook(TKwpItemStateParams* S, TColor Color, TColor UpperFrom, TColor UpperTo, TColor BottomFrom,
                  TColor BottomTo, TColor Border, TColor Font, uint8_t UpperPercent) {
    S->SetColor(Color);
    S->UpperGradient()->SetColorFrom(UpperFrom);
    S->UpperGradient()->SetColorTo(UpperTo);
    S->BottomGradient()->SetColorFrom(BottomFrom);
    S->BottomGradient()->SetColorTo(BottomTo);
    S->Border()->SetColor(Border);
    S->Font()->SetColor(Font);
    S->SetUpperGradientPercent(UpperPercent);
}

// A state that reads as another takes that state's value as it is at that moment.
void SetStateLikeNormal(TKwpItemStateParams* S, const TKwpItemStateParams* N, TColor Border) {
    SetStateLook(S, N->Color(), N->UpperGradient()->ColorFrom(), N->UpperGradient()->ColorTo(),
                 N->BottomGradient()->ColorFrom(), N->BottomGradient()->ColorTo(), Border, N->Font()->Color(),
                 N->UpperGradientPercent());
}

} // namespace

TKwpButtonAppearance::TKwpButtonAppearance(rtl::TComponent* AOwner)
    : FNormal(std::make_unique<TKwpItemStateParams>(AOwner)), FHot(std::make_unique<TKwpItemStateParams>(AOwner)),
      FFocusRect(std::make_unique<TKwpFocusRectParams>(AOwner)), FBorderWhenDefault(std::make_unique<TPen>()),
      FDown(std::make_unique<TKwpItemStateParams>(AOwner)), FDisabled(std::make_unique<TKwpItemStateParams>(AOwner)),
      FFocused(std::make_unique<TKwpItemStateParams>(AOwner)) {
    SetStateLook(FNormal.get(), 0xF3F3F3, 0xF1F1F1, 0xEBEBEB, 0xDDDDDD, 0xCFCFCF, 0x707070, 0x000000, 46);
    SetStateLook(FHot.get(), 0xFCF5E8, 0xFDF6EA, 0xFCF0D9, 0xFDE6BE, 0xF5D9A7, 0xB17F3C, 0x000000,
                 FNormal->UpperGradientPercent());
    SetStateLikeNormal(FFocused.get(), FNormal.get(), 0xD0AA24);
    SetStateLook(FDown.get(), 0xF1E2C5, 0xFCF4E5, 0xF6E5C4, 0xEFD198, 0xDFB972,
                 base::ChangeColorByPercent(FHot->Border()->Color(), 50, false), 0x000000, 52);
    SetStateLook(FDisabled.get(), 0xF4F4F4, 0xF4F4F4, 0xF4F4F4, 0xF4F4F4, 0xF4F4F4, 0xB5B2AD,
                 base::MakeColor(160, 160, 160), FNormal->UpperGradientPercent());
    FFocusRect->Pen()->SetColor(0xD0AA24);
    FBorderWhenDefault->SetColor(0xD0AA24);
    const rtl::TNotifyEvent changed(this, &TKwpButtonAppearance::PropsChanged);
    for (TKwpItemStateParams* s : {FNormal.get(), FHot.get(), FFocused.get(), FDown.get(), FDisabled.get()})
        s->OnChange = changed;
    FFocusRect->OnChange = changed;
    // The default button's frame is a part of the look too.
    FBorderWhenDefault->OnChange = changed;
}

TKwpButtonAppearance::~TKwpButtonAppearance() = default;

void TKwpButtonAppearance::PropsChanged(rtl::TObject*) {
    if (FOnChange) FOnChange(this);
}

void TKwpButtonAppearance::SetOnChange(const rtl::TNotifyEvent& Value) {
    FOnChange = Value;
    PropsChanged(this);
}

void TKwpButtonAppearance::SetDefaultDrawing(bool Value) {
    FDefaultDrawing = Value;
    PropsChanged(this);
}
void TKwpButtonAppearance::SetGlyphDisabledGrayscaleFactor(uint8_t Value) {
    FGlyphDisabledGrayscaleFactor = Value;
    PropsChanged(this);
}
void TKwpButtonAppearance::SetGlyphDisabledBlendFactor(uint8_t Value) {
    FGlyphDisabledBlendFactor = Value;
    PropsChanged(this);
}
void TKwpButtonAppearance::SetGlyphHotGammaFactor(uint8_t Value) {
    FGlyphHotGammaFactor = Value;
    PropsChanged(this);
}
void TKwpButtonAppearance::SetMoveWhenDown(bool Value) {
    FMoveWhenDown = Value;
    PropsChanged(this);
}
void TKwpButtonAppearance::SetShowCaption(bool Value) {
    FShowCaption = Value;
    PropsChanged(this);
}

void TKwpButtonAppearance::Assign(rtl::TPersistent* Source) {
    auto* src = dynamic_cast<TKwpButtonAppearance*>(Source);
    if (!src) {
        rtl::TPersistent::Assign(Source);
        return;
    }
    SetDefaultDrawing(src->DefaultDrawing());
    SetGlyphDisabledGrayscaleFactor(src->GlyphDisabledGrayscaleFactor());
    SetGlyphDisabledBlendFactor(src->GlyphDisabledBlendFactor());
    SetGlyphHotGammaFactor(src->GlyphHotGammaFactor());
    SetMoveWhenDown(src->MoveWhenDown());
    FBorderWhenDefault->Assign(src->BorderWhenDefault());
    FFocusRect->SetFocusType(src->FocusRect()->FocusType());
    FFocusRect->SetSpacing(src->FocusRect()->Spacing());
    FFocusRect->Pen()->Assign(src->FocusRect()->Pen());
    SetShowCaption(src->ShowCaption());
    TKwpItemStateParams* mine[] = {Normal(), Hot(), Down(), Focused(), Disabled()};
    TKwpItemStateParams* theirs[] = {src->Normal(), src->Hot(), src->Down(), src->Focused(), src->Disabled()};
    for (int i = 0; i < 5; ++i) {
        TKwpItemStateParams* d = mine[i];
        const TKwpItemStateParams* s = theirs[i];
        d->Font()->Assign(s->Font());
        d->Border()->Assign(s->Border());
        d->SetColor(s->Color());
        d->SetGradientEnabled(s->GradientEnabled());
        d->UpperGradient()->Assign(s->UpperGradient());
        d->BottomGradient()->Assign(s->BottomGradient());
        d->SetUpperGradientPercent(s->UpperGradientPercent());
        d->SetBorderToGradientMargin(s->BorderToGradientMargin());
        d->SetTransparentBackground(s->TransparentBackground());
        d->SetTransparentFrame(s->TransparentFrame());
    }
}

// ---- layout ----

void CalcPngButtonLayout(vcl::TCanvas* Canvas, vcl::TPngImage* Png, const vcl::TRect& Client, bool Pressed, bool Down,
                         const rtl::String& Caption, vcl::TButtonLayout Layout, int Margin, int Spacing,
                         TPoint& GlyphPos, TPoint& TextPos, UINT BiDiFlags) {
    if (BiDiFlags & DT_RIGHT) {
        if (Layout == vcl::blGlyphLeft)
            Layout = vcl::blGlyphRight;
        else if (Layout == vcl::blGlyphRight)
            Layout = vcl::blGlyphLeft;
    }
    const TPoint cs(Client.Width(), Client.Height());
    const TPoint gs = Png ? TPoint(Png->Width(), Png->Height()) : TPoint(0, 0);
    TPoint ts(0, 0);
    if (!Caption.isEmpty()) {
        vcl::TRect r(0, 0, cs.X, 0);
        rtl::String text = Caption;
        Canvas->TextRect(r, text, vcl::TextFormatFromFlags(BiDiFlags | DT_CALCRECT));
        ts = TPoint(r.Width(), r.Height());
    }
    const bool horizontal = Layout == vcl::blGlyphLeft || Layout == vcl::blGlyphRight;
    if (horizontal)
        GlyphPos.Y = (cs.Y - gs.Y + 1) / 2;
    else
        GlyphPos.X = (cs.X - gs.X + 1) / 2;
    if (ts.X == 0 || gs.X == 0) Spacing = 0;
    const int csMain = horizontal ? cs.X : cs.Y, gsMain = horizontal ? gs.X : gs.Y, tsMain = horizontal ? ts.X : ts.Y;
    if (Margin == -1) {
        if (Spacing == -1) {
            Margin = (csMain - gsMain - tsMain) / 3;
            Spacing = Margin;
        } else {
            Margin = (csMain - (gsMain + Spacing + tsMain)) / 2;
        }
    } else if (Spacing == -1) {
        Spacing = (csMain - Margin - gsMain - tsMain) / 2;
    }
    switch (Layout) {
    case vcl::blGlyphLeft: GlyphPos.X = Margin; break;
    case vcl::blGlyphRight: GlyphPos.X = cs.X - Margin - gs.X; break;
    case vcl::blGlyphTop: GlyphPos.Y = Margin; break;
    case vcl::blGlyphBottom: GlyphPos.Y = cs.Y - Margin - gs.Y; break;
    }
    if (horizontal)
        TextPos.Y = (cs.Y - ts.Y) / 2;
    else
        TextPos.X = (cs.X - ts.X) / 2;
    switch (Layout) {
    case vcl::blGlyphLeft: TextPos.X = GlyphPos.X + gs.X + Spacing; break;
    case vcl::blGlyphRight: TextPos.X = GlyphPos.X - Spacing - ts.X; break;
    case vcl::blGlyphTop: TextPos.Y = GlyphPos.Y + gs.Y + Spacing; break;
    case vcl::blGlyphBottom: TextPos.Y = GlyphPos.Y - Spacing - ts.Y; break;
    }
    const int shift = Pressed || Down ? 1 : 0;
    GlyphPos = TPoint(GlyphPos.X + Client.Left + shift, GlyphPos.Y + Client.Top + shift);
    TextPos = TPoint(TextPos.X + Client.Left + shift, TextPos.Y + Client.Top + shift);
}

// ---- TKwpPngButton ----

void DropGamma(vcl::TPngImage* Png) {
    if (Png->Empty()) return;
    const unsigned type = Png->Header().ColorType;
    if (type != 2 && type != 3 && type != 6) return;
    if (vcl::TChunk* gama = Png->Chunks().FindChunk("gAMA")) Png->Chunks().RemoveChunk(gama);
}

TKwpPngButton::TKwpPngButton(rtl::TComponent* AOwner)
    : TKwpAnchorHost<vcl::TBitBtn>(AOwner), FPngImage(std::make_unique<vcl::TPngImage>()),
      FCanvas(std::make_unique<vcl::TControlCanvas>()), FTagExt(std::make_unique<TKwpTagExt>(this)),
      FAppearance(std::make_unique<TKwpButtonAppearance>(this)) {
    FCanvas->SetControl(this);
    FAppearance->SetOnChange(rtl::TNotifyEvent(this, &TKwpPngButton::AppearanceChanged));
}

TKwpPngButton::~TKwpPngButton() = default;

void TKwpPngButton::AppearanceChanged(rtl::TObject*) {
    if (!ComponentState().Contains(rtl::csLoading)) Invalidate();
}

void TKwpPngButton::SetButtonStyle(bool ADefault) {
    vcl::TBitBtn::SetButtonStyle(ADefault);
    if (ADefault != FIsFocusedStyle) {
        FIsFocusedStyle = ADefault;
        Refresh();
    }
}

void TKwpPngButton::SetPngImage(vcl::TPngImage* Value) {
    if (Value)
        FPngImage->Assign(Value);
    else
        FPngImage = std::make_unique<vcl::TPngImage>();
    DropGamma(FPngImage.get());
    FImageFromAction = false;
    Repaint();
}

void TKwpPngButton::SetPngOptions(TPngOptions Value) {
    if (Value == FPngOptions) return;
    FPngOptions = Value;
    Repaint();
}

void TKwpPngButton::ActionChange(rtl::TObject* Sender, bool CheckDefaults) {
    vcl::TBitBtn::ActionChange(Sender, CheckDefaults);
    if (!(FPngImage->Empty() || FImageFromAction)) return;
    if (CopyImageFromAction(Sender, FPngImage.get())) {
        FImageFromAction = true;
        Invalidate();
    }
}

bool CopyImageFromAction(rtl::TObject* Action, vcl::TPngImage* Png) {
    auto* action = dynamic_cast<vcl::TCustomAction*>(Action);
    if (!action) return false;
    vcl::TCustomImageList* images = action->ActionList() ? action->ActionList()->Images() : nullptr;
    if (!images || action->ImageIndex() < 0 || action->ImageIndex() >= images->Count()) return false;
    CopyImageFromImageList(Png, images, action->ImageIndex());
    return true;
}

void TKwpPngButton::CMMouseEnter(vcl::TCMMouseEnterLeave& Message) {
    vcl::TBitBtn::CMMouseEnter(Message);
    if (Message.Child()) return;
    bOver = true;
    const bool designing = ComponentState().Contains(rtl::csDesigning);
    if (vcl::StyleServices()->Enabled() && !FMouseInControl && !designing) {
        FMouseInControl = true;
        Repaint();
    } else if (!designing) {
        if (OnMouseEnter) OnMouseEnter(this);
        Repaint();
    }
}

void TKwpPngButton::CMMouseLeave(vcl::TCMMouseEnterLeave& Message) {
    vcl::TBitBtn::CMMouseLeave(Message);
    if (Message.Child()) return;
    bOver = false;
    if (vcl::StyleServices()->Enabled() && FMouseInControl) {
        FMouseInControl = false;
        Repaint();
    } else if (!ComponentState().Contains(rtl::csDesigning)) {
        if (OnMouseLeave) OnMouseLeave(this);
        Repaint();
    }
}

void TKwpPngButton::DrawItem(const DRAWITEMSTRUCT& DrawItemStruct) {
    const bool down = DrawItemStruct.itemState & ODS_SELECTED;
    const bool isDefault = DrawItemStruct.itemState & ODS_FOCUS;
    if (FAppearance->DefaultDrawing())
        DrawDefault(DrawItemStruct, down, isDefault);
    else
        DrawParameters(DrawItemStruct, down, isDefault);
}

void TKwpPngButton::DrawParameters(const DRAWITEMSTRUCT& DIS, bool Down, bool IsDefault) {
    vcl::TCanvas canvas;
    canvas.SetHandle(DIS.hDC);
    TKwpButtonAppearance* a = FAppearance.get();
    TRect r = ClientRect();
    // Disabled wins over everything; the pointer only shows while the button is not pressed.
    TKwpItemStateParams* s = !Enabled()           ? a->Disabled()
                             : bOver && !Down     ? a->Hot()
                             : Down               ? a->Down()
                             : Focused()          ? a->Focused()
                                                  : a->Normal();
    canvas.Brush()->SetStyle(vcl::bsSolid);
    canvas.Brush()->SetColor(s->Color());
    if (!s->TransparentBackground()) canvas.FillRect(canvas.ClipRect());
    if (s->GradientEnabled() && !s->TransparentBackground()) {
        const int m = std::max(s->BorderToGradientMargin(), 0);
        const int p = std::min<int>(s->UpperGradientPercent(), 100);
        const int u = int(std::nearbyint(double(r.Height() * p) / 100));
        const TRect upper(r.Left + m, r.Top + m, r.Right - m, u);
        const TRect bottom(r.Left + m, u, r.Right - m, r.Bottom - m);
        for (auto [g, rect] : {std::pair{s->UpperGradient(), upper}, std::pair{s->BottomGradient(), bottom}})
            DrawGradientEx(&canvas, rect, g->ColorFrom(), g->ColorTo(), g->Orientation(), g->Balance(),
                           g->AngleDegree(), g->BalanceMode(), g->MaxDegrade(), g->SpeedPercent(), true, nullptr);
    }
    canvas.Brush()->SetStyle(vcl::bsClear);
    if (!s->TransparentFrame()) {
        const bool defaultFrame = IsDefault && Enabled() && !Down && !Focused();
        canvas.Pen()->Assign(defaultFrame ? a->BorderWhenDefault() : s->Border());
        DrawFrame(&canvas, r, canvas.Pen()->Color(), canvas.Pen()->Width());
        TKwpFocusRectParams* fr = a->FocusRect();
        if (Focused() && fr->FocusType() != frtNone) {
            TRect f = r;
            f.Inflate(-fr->Spacing(), -fr->Spacing());
            if (fr->FocusType() == frtCustom) {
                canvas.Brush()->SetStyle(vcl::bsClear);
                canvas.Pen()->Assign(fr->Pen());
                DrawFrame(&canvas, f, fr->Pen()->Color(), fr->Pen()->Width());
            } else {
                canvas.Brush()->SetStyle(vcl::bsSolid);
                canvas.Brush()->SetColor(vcl::clBtnFace);
                canvas.DrawFocusRect(f);
            }
        }
    }
    canvas.Font()->Assign(s->Font());
    const rtl::String caption = a->ShowCaption() ? Caption() : rtl::String();
    TPoint glyphPos, textPos;
    CalcPngButtonLayout(&canvas, FPngImage.get(), ClientRect(), Down && a->MoveWhenDown(), false, caption, Layout(),
                        Margin(), Spacing(), glyphPos, textPos, DrawTextBiDiModeFlags(0));
    if (!FPngImage->Empty()) {
        if (Enabled() && (bOver || Down)) {
            vcl::TPngImage copy;
            copy.Assign(FPngImage.get());
            GammaCorrectPng(&copy, float(a->GlyphHotGammaFactor()) / 100);
            canvas.Draw(glyphPos.X, glyphPos.Y, &copy);
        } else if (Enabled()) {
            canvas.Draw(glyphPos.X, glyphPos.Y, FPngImage.get());
        } else {
            vcl::TPngImage copy;
            copy.Assign(FPngImage.get());
            GrayscalePng(&copy, a->GlyphDisabledGrayscaleFactor());
            ScalePngOpacity(&copy, a->GlyphDisabledBlendFactor());
            canvas.Draw(glyphPos.X, glyphPos.Y, &copy);
        }
    }
    if (!caption.isEmpty()) {
        TRect tr(textPos.X, textPos.Y, Width(), Height());
        canvas.Brush()->SetStyle(vcl::bsClear);
        rtl::String text = caption;
        canvas.TextRect(tr, text, vcl::TextFormatFromFlags(DrawTextBiDiModeFlags(0) | DT_SINGLELINE));
    }
    canvas.SetHandle(nullptr);
}

void TKwpPngButton::DrawGlyph(vcl::TCanvas* Canvas, const TPoint& At) {
    if (Kind() != vcl::bkCustom || FPngImage->Empty()) return;
    DrawPng(FPngImage.get(), Canvas, TRect(At.X, At.Y, At.X + FPngImage->Width(), At.Y + FPngImage->Height()),
            Enabled() ? TPngOptions{} : FPngOptions);
}

void TKwpPngButton::DrawDefault(const DRAWITEMSTRUCT& DIS, bool Down, bool IsDefault) {
    FCanvas->PaintOn(DIS.hDC, [&] {
        vcl::TCanvas* canvas = FCanvas.get();
        canvas->Font()->Assign(Font());
        TRect r = ClientRect();
        vcl::TCustomStyleServices* style = vcl::StyleServices();
        const bool styled = style->Enabled();
        if (styled) {
            const vcl::TThemedButton element = !Enabled()                     ? vcl::tbPushButtonDisabled
                                               : Down                          ? vcl::tbPushButtonPressed
                                               : FMouseInControl               ? vcl::tbPushButtonHot
                                               : FIsFocusedStyle || IsDefault ? vcl::tbPushButtonDefaulted
                                                                               : vcl::tbPushButtonNormal;
            const vcl::TThemedElementDetails details = style->GetElementDetails(element);
            style->DrawParentBackground(Handle(), DIS.hDC, &details, true);
            style->DrawElement(DIS.hDC, details, TRect(DIS.rcItem));
            TRect content = r;
            style->GetElementContentRect(DIS.hDC, details, TRect(DIS.rcItem), content);
            r = content;
        } else {
            if (FIsFocusedStyle || IsDefault) {
                canvas->Pen()->SetColor(vcl::clWindowFrame);
                canvas->Pen()->SetWidth(1);
                canvas->Brush()->SetStyle(vcl::bsClear);
                canvas->Rectangle(r);
                r.Inflate(-1, -1);
            }
            if (Down) {
                canvas->Pen()->SetColor(vcl::clBtnShadow);
                canvas->Pen()->SetWidth(1);
                canvas->Brush()->SetStyle(vcl::bsSolid);
                canvas->Brush()->SetColor(vcl::clBtnFace);
                canvas->Rectangle(r);
                r.Inflate(-1, -1);
            } else {
                RECT rr = r;
                UINT flags = DFCS_BUTTONPUSH | DFCS_ADJUSTRECT;
                if (DIS.itemState & ODS_DISABLED) flags |= DFCS_INACTIVE;
                DrawFrameControl(DIS.hDC, &rr, DFC_BUTTON, flags);
                r = TRect(rr);
            }
        }
        const rtl::String caption = FAppearance->ShowCaption() ? Caption() : rtl::String();
        TPoint glyphPos, textPos;
        CalcPngButtonLayout(canvas, FPngImage.get(), ClientRect(), Down && FAppearance->MoveWhenDown(), false,
                            caption, Layout(), Margin(), Spacing(), glyphPos, textPos, DrawTextBiDiModeFlags(0));
        DrawGlyph(canvas, glyphPos);
        if (!caption.isEmpty()) {
            canvas->Brush()->SetStyle(vcl::bsClear);
            const UINT flags = DrawTextBiDiModeFlags(0) | DT_SINGLELINE;
            rtl::String text = caption;
            if (!Enabled()) {
                // Engraved: a light copy one pixel down and right, the shadow colour over it.
                TRect lit(textPos.X + 1, textPos.Y + 1, Width(), Height());
                canvas->Font()->SetColor(vcl::clBtnHighlight);
                canvas->TextRect(lit, text, vcl::TextFormatFromFlags(flags));
                canvas->Font()->SetColor(vcl::clBtnShadow);
            }
            TRect tr(textPos.X, textPos.Y, Width(), Height());
            canvas->TextRect(tr, text, vcl::TextFormatFromFlags(flags));
        }
        if (FIsFocusedStyle && IsDefault) {
            if (!styled) {
                r = ClientRect();
                r.Inflate(-3, -3);
            }
            canvas->Pen()->SetColor(vcl::clWindowFrame);
            canvas->Brush()->SetStyle(vcl::bsSolid);
            canvas->Brush()->SetColor(vcl::clBtnFace);
            RECT fr = r;
            ::DrawFocusRect(canvas->Handle(), &fr);
        }
        FLastKind = Kind();
    });
}

// ---- style hook ----

void TKwpPngButtonStyleHook::DrawButton(vcl::TCanvas* Canvas, bool AMouseInControl) {
    auto* button = dynamic_cast<TKwpPngButton*>(Control());
    if (!button) {
        vcl::TButtonStyleHook::DrawButton(Canvas, AMouseInControl);
        return;
    }
    vcl::TCustomStyleServices* style = vcl::StyleServices();
    const vcl::TThemedButton element = Pressed()                          ? vcl::tbPushButtonPressed
                                       : AMouseInControl                  ? vcl::tbPushButtonHot
                                       : Focused() || button->Default()   ? vcl::tbPushButtonDefaulted
                                       : button->Enabled()                ? vcl::tbPushButtonNormal
                                                                          : vcl::tbPushButtonDisabled;
    const vcl::TThemedElementDetails details = style->GetElementDetails(element);
    const TRect client = button->ClientRect();
    style->DrawElement(Canvas->Handle(), details, client);
    Canvas->Font()->Assign(button->Font());
    TPoint glyphPos, textPos;
    const UINT bidi = button->DrawTextBiDiModeFlags(0);
    CalcPngButtonLayout(Canvas, button->PngImage(), client, Pressed(), false, button->Caption(), button->Layout(),
                        button->Margin(), button->Spacing(), glyphPos, textPos, bidi);
    button->DrawGlyph(Canvas, glyphPos);
    Canvas->Brush()->SetStyle(vcl::bsClear);
    TColor color = Canvas->Font()->Color();
    if (!(button->Enabled() &&
          (style->IsSystemStyle() || !button->StyleElements().Contains(vcl::seFont)))) {
        TColor styled = vcl::clNone;
        if (style->GetElementColor(details, vcl::ecTextColor, styled) && styled != vcl::clNone) color = styled;
    }
    UINT flags = bidi | DT_CENTER | DT_VCENTER | DT_NOCLIP;
    if (button->WordWrap()) flags |= DT_WORDBREAK;
    const rtl::String text = button->Caption();
    TRect r(0, 0, client.Width(), 0);
    if (!text.isEmpty()) {
        rtl::String measured = text;
        Canvas->TextRect(r, measured, vcl::TextFormatFromFlags(flags | DT_CALCRECT));
    }
    r.Offset(textPos.X + client.Left, textPos.Y + client.Top);
    Canvas->Font()->SetColor(color);
    style->DrawText(Canvas->Handle(), details, text, r, vcl::TextFormatFromFlags(flags));
}

namespace {

// The hook is registered once for the program's life.
const bool HookRegistered = [] {
    vcl::TCustomStyleEngine::RegisterStyleHook<TKwpPngButton, TKwpPngButtonStyleHook>();
    return true;
}();

} // namespace

// ---- colour maps ----

namespace {

// The colour fields of one state and the appearance's objects that hold them, in map order.
void StateColorsOf(TKwpItemStateParams* S, TKwpPngButtonStateColors& C) {
    C.BorderColor = vcl::ColorToRGB(S->Border()->Color());
    C.FontColor = vcl::ColorToRGB(S->Font()->Color());
    C.Color = vcl::ColorToRGB(S->Color());
    C.BottomGradientColorFrom = vcl::ColorToRGB(S->BottomGradient()->ColorFrom());
    C.BottomGradientColorTo = vcl::ColorToRGB(S->BottomGradient()->ColorTo());
    C.UpperGradientColorFrom = vcl::ColorToRGB(S->UpperGradient()->ColorFrom());
    C.UpperGradientColorTo = vcl::ColorToRGB(S->UpperGradient()->ColorTo());
}

void SetStateColors(TKwpItemStateParams* S, const TKwpPngButtonStateColors& C) {
    S->Border()->SetColor(C.BorderColor);
    S->Font()->SetColor(C.FontColor);
    S->SetColor(C.Color);
    S->UpperGradient()->SetColorFrom(C.UpperGradientColorFrom);
    S->UpperGradient()->SetColorTo(C.UpperGradientColorTo);
    S->BottomGradient()->SetColorFrom(C.BottomGradientColorFrom);
    S->BottomGradient()->SetColorTo(C.BottomGradientColorTo);
}

} // namespace

void GetButtonColorMap(TKwpPngButton* Button, TKwpPngButtonColorMap& ColorMap) {
    TKwpButtonAppearance* a = Button->Appearance();
    ColorMap.BorderWhenDefaultColor = vcl::ColorToRGB(a->BorderWhenDefault()->Color());
    ColorMap.FocusRectColor = vcl::ColorToRGB(a->FocusRect()->Pen()->Color());
    StateColorsOf(a->Normal(), ColorMap.Normal);
    StateColorsOf(a->Hot(), ColorMap.Hot);
    StateColorsOf(a->Down(), ColorMap.Down);
    StateColorsOf(a->Focused(), ColorMap.Focused);
    StateColorsOf(a->Disabled(), ColorMap.Disabled);
}

void SetButtonColorMap(TKwpPngButton* Button, const TKwpPngButtonColorMap& ColorMap) {
    TKwpButtonAppearance* a = Button->Appearance();
    a->BorderWhenDefault()->SetColor(ColorMap.BorderWhenDefaultColor);
    a->FocusRect()->Pen()->SetColor(ColorMap.FocusRectColor);
    SetStateColors(a->Normal(), ColorMap.Normal);
    SetStateColors(a->Hot(), ColorMap.Hot);
    SetStateColors(a->Down(), ColorMap.Down);
    SetStateColors(a->Focused(), ColorMap.Focused);
    SetStateColors(a->Disabled(), ColorMap.Disabled);
}

void TKwpPngButton::ApplyColorMap(TKwpPngButtonColorMap ColorMap) {
    SetButtonColorMap(this, ColorMap);
}

void TKwpPngButton::SetColorMapType(TKwpPngButtonColorMapType Value) {
    FColorMapType = Value;
    if (Value == cmtCustom) return;
    TKwpPngButtonColorMap map;
    GetButtonColorMap(this, map);
    GetPredefinedColorMap(Value, map);
    ApplyColorMap(map);
}

void ApplyColorMapForStyle(TKwpPngButton* Button, const rtl::String& StyleName) {
    const rtl::String n = base::RemoveSpaces(base::UpperTrim(StyleName));
    if (n.isEmpty() || n == QLatin1String("WINDOWS")) {
        Button->SetStyleElements(vcl::TStyleElements{vcl::seFont, vcl::seClient, vcl::seBorder});
        Button->Appearance()->SetDefaultDrawing(true);
        return;
    }
    Button->SetStyleElements(vcl::TStyleElements{});
    Button->Appearance()->SetDefaultDrawing(false);
    static const struct {
        const char* Prefix;
        TKwpPngButtonColorMapType Map;
    } Prefixes[] = {{"AQUALIGHT", cmtVclAquaLightSlate}, {"AURIC", cmtVclAuric},
                    {"CARBON", cmtVclCarbon},            {"CHARCOALDARK", cmtVclCharcoalDarkSlate},
                    {"ICEBERG", cmtVclIcebergClassico},  {"LUNA", cmtVclLuna},
                    {"SLATECLASSICO", cmtVclSlateClassico}, {"COBALTXEMEDIA", cmtVclCobaltXEMedia},
                    {"GLOSSY", cmtVclGlossy},            {"JET", cmtVclJet}};
    for (const auto& p : Prefixes)
        if (n.startsWith(QLatin1String(p.Prefix), Qt::CaseInsensitive)) {
            Button->SetColorMapType(p.Map);
            return;
        }
}

void SetButtonFonts(TKwpPngButton* Button, const rtl::String& FontName, int Size) {
    TKwpButtonAppearance* a = Button->Appearance();
    for (vcl::TFont* f : {Button->Font(), a->Normal()->Font(), a->Hot()->Font(), a->Down()->Font(),
                          a->Focused()->Font(), a->Disabled()->Font()}) {
        f->SetName(FontName);
        f->SetSize(Size);
    }
}

} // namespace components
