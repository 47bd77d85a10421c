// components/KwpPanel.cpp
#include "components/KwpPanel.h"

#include "base/Colors.h"
#include "base/Math.h"
#include "base/Rects.h"
#include "vcl/Themes.h"

namespace components {

// ---- TKwpPanelBorder ----

TKwpPanelBorder::TKwpPanelBorder(rtl::TComponent*) : FPen(std::make_unique<TPen>()) {
    FPen->OnChange = rtl::MakeEvent(this, &TKwpPanelBorder::PenChanged);
}

TKwpPanelBorder::~TKwpPanelBorder() = default;

void TKwpPanelBorder::Changed() {
    if (OnChange) OnChange(this);
}

void TKwpPanelBorder::SetPen(TPen* Value) {
    FPen->Assign(Value); // tells through the pen
}

void TKwpPanelBorder::SetVisible(bool Value) {
    FVisible = Value;
    Changed();
}

void TKwpPanelBorder::SetBorder3D(bool Value) {
    FBorder3D = Value;
    Changed();
}

void TKwpPanelBorder::Assign(rtl::TPersistent* Source) {
    auto* source = dynamic_cast<TKwpPanelBorder*>(Source);
    if (!source) {
        rtl::TPersistent::Assign(Source);
        return;
    }
    FPen->Assign(source->FPen.get());
    FVisible = source->FVisible;
    FBorder3D = source->FBorder3D;
    Changed();
}

// ---- TKwpPanelBorders ----

TKwpPanelBorders::TKwpPanelBorders(rtl::TComponent* AOwner)
    : FLeft(std::make_unique<TKwpPanelBorder>(AOwner)), FRight(std::make_unique<TKwpPanelBorder>(AOwner)),
      FTop(std::make_unique<TKwpPanelBorder>(AOwner)), FBottom(std::make_unique<TKwpPanelBorder>(AOwner)) {
    // A raised look.
    FLeft->Pen()->SetColor(vcl::clBtnHighlight);
    FRight->Pen()->SetColor(vcl::clBtnShadow);
    FTop->Pen()->SetColor(vcl::clBtnHighlight);
    FBottom->Pen()->SetColor(vcl::clBtnShadow);
    for (TKwpPanelBorder* side : {FLeft.get(), FRight.get(), FTop.get(), FBottom.get()})
        side->OnChange = rtl::MakeEvent(this, &TKwpPanelBorders::SideChanged);
}

TKwpPanelBorders::~TKwpPanelBorders() = default;

void TKwpPanelBorders::SideChanged(rtl::TObject*) {
    if (OnChange) OnChange(this);
}

void TKwpPanelBorders::SetSide(TKwpPanelBorder* Own, TKwpPanelBorder* Value) {
    if (Value) Own->Assign(Value);
}

void TKwpPanelBorders::Assign(rtl::TPersistent* Source) {
    auto* source = dynamic_cast<TKwpPanelBorders*>(Source);
    if (!source) {
        rtl::TPersistent::Assign(Source);
        return;
    }
    FLeft->Assign(source->FLeft.get());
    FRight->Assign(source->FRight.get());
    FTop->Assign(source->FTop.get());
    FBottom->Assign(source->FBottom.get());
}

// ---- TKwpPanelAppearance ----

TKwpPanelAppearance::TKwpPanelAppearance(rtl::TComponent* AOwner)
    : FOwner(AOwner), FUpperGradient(std::make_unique<TKwpGradientEx>(AOwner)),
      FBottomGradient(std::make_unique<TKwpGradientEx>(AOwner)), FBorders(std::make_unique<TKwpPanelBorders>(AOwner)) {
    // From the button face as it resolves now.
    FUpperGradient->SetColorFrom(base::ChangeColorByPercent(vcl::clBtnFace, 5, true));
    FUpperGradient->SetColorTo(base::ChangeColorByPercent(vcl::clBtnFace, 5, false));
    FBottomGradient->SetColorFrom(FUpperGradient->ColorTo());
    FBottomGradient->SetColorTo(base::ChangeColorByPercent(vcl::clBtnFace, 10, false));
    FBorders->OnChange = rtl::MakeEvent(this, &TKwpPanelAppearance::Changed);
}

TKwpPanelAppearance::~TKwpPanelAppearance() = default;

void TKwpPanelAppearance::Changed(rtl::TObject*) {
    if (OnChange) OnChange(this);
}

void TKwpPanelAppearance::SetUpperGradient(TKwpGradientEx* Value) {
    if (Value) FUpperGradient->Assign(Value);
    Changed(this);
}

void TKwpPanelAppearance::SetBottomGradient(TKwpGradientEx* Value) {
    if (Value) FBottomGradient->Assign(Value);
    Changed(this);
}

void TKwpPanelAppearance::SetUpperGradientPercent(uint8_t Value) {
    FUpperGradientPercent = Value;
    if (FBottomGradient->OnChange) FBottomGradient->OnChange(this);
    if (FUpperGradient->OnChange) FUpperGradient->OnChange(this);
    Changed(this);
}

void TKwpPanelAppearance::SetBorders(TKwpPanelBorders* Value) {
    if (Value) FBorders->Assign(Value);
    Changed(this);
}

void TKwpPanelAppearance::Assign(rtl::TPersistent* Source) {
    auto* source = dynamic_cast<TKwpPanelAppearance*>(Source);
    if (!source) {
        rtl::TPersistent::Assign(Source);
        return;
    }
    FUpperGradient->Assign(source->FUpperGradient.get());
    FBottomGradient->Assign(source->FBottomGradient.get());
    FUpperGradientPercent = source->FUpperGradientPercent;
    FBorders->Assign(source->FBorders.get());
    FBorderToGradientMargin = source->FBorderToGradientMargin;
    FBackgroundColor = source->FBackgroundColor;
    FDrawGradient = source->FDrawGradient;
    FDrawBorder = source->FDrawBorder;
    Changed(this);
}

// ---- decorations ----

void TKwpPanelItem::Changed(rtl::TObject*) {
    if (OnChange) OnChange(this);
}

namespace {

// An owned pen or font that reports its changes as the item's.
template <class TObj> std::unique_ptr<TObj> OwnedPart(TKwpPanelItem* Item, void (TKwpPanelItem::*Handler)(rtl::TObject*)) {
    auto part = std::make_unique<TObj>();
    part->OnChange = rtl::MakeEvent(Item, Handler);
    return part;
}

} // namespace

TKwpPanelVerticalLine::TKwpPanelVerticalLine(rtl::TCollection* ACollection)
    : TKwpPanelItem(ACollection), FPen(OwnedPart<TPen>(this, &TKwpPanelVerticalLine::Changed)) {}

TKwpPanelVerticalLine::~TKwpPanelVerticalLine() = default;

void TKwpPanelVerticalLine::SetPen(TPen* Value) {
    FPen->Assign(Value);
}

void TKwpPanelVerticalLine::Assign(rtl::TPersistent* Source) {
    auto* source = dynamic_cast<TKwpPanelVerticalLine*>(Source);
    if (!source) {
        TKwpPanelItem::Assign(Source);
        return;
    }
    FPen->Assign(source->FPen.get());
    FTopMargin = source->FTopMargin;
    FBottomMargin = source->FBottomMargin;
    FVisible = source->FVisible;
    OnChange = source->OnChange;
    FPosX = source->FPosX;
    FLinePosition = source->FLinePosition;
    Changed(this);
}

TKwpPanelHorizontalLine::TKwpPanelHorizontalLine(rtl::TCollection* ACollection)
    : TKwpPanelItem(ACollection), FPen(OwnedPart<TPen>(this, &TKwpPanelHorizontalLine::Changed)) {}

TKwpPanelHorizontalLine::~TKwpPanelHorizontalLine() = default;

void TKwpPanelHorizontalLine::SetPen(TPen* Value) {
    FPen->Assign(Value);
}

void TKwpPanelHorizontalLine::Assign(rtl::TPersistent* Source) {
    auto* source = dynamic_cast<TKwpPanelHorizontalLine*>(Source);
    if (!source) {
        TKwpPanelItem::Assign(Source);
        return;
    }
    FPen->Assign(source->FPen.get());
    FLeftMargin = source->FLeftMargin;
    FRightMargin = source->FRightMargin;
    FVisible = source->FVisible;
    OnChange = source->OnChange;
    FPosY = source->FPosY;
    FLinePosition = source->FLinePosition;
    Changed(this);
}

TKwpPanelCaption::TKwpPanelCaption(rtl::TCollection* ACollection)
    : TKwpPanelItem(ACollection), FFont(OwnedPart<TFont>(this, &TKwpPanelCaption::Changed)) {}

TKwpPanelCaption::~TKwpPanelCaption() = default;

void TKwpPanelCaption::SetFont(TFont* Value) {
    FFont->Assign(Value);
}

void TKwpPanelCaption::Assign(rtl::TPersistent* Source) {
    auto* source = dynamic_cast<TKwpPanelCaption*>(Source);
    if (!source) {
        TKwpPanelItem::Assign(Source);
        return;
    }
    const rtl::TNotifyEvent fontChange = FFont->OnChange;
    FFont->OnChange = {};
    FFont->Assign(source->FFont.get());
    FFont->OnChange = fontChange;
    FPosX = source->FPosX;
    FPosY = source->FPosY;
    FMarginX = source->FMarginX;
    FMarginY = source->FMarginY;
    FVerticalPosition = source->FVerticalPosition;
    FHorizontalPosition = source->FHorizontalPosition;
}

TKwpPanelHorizontalBar::TKwpPanelHorizontalBar(rtl::TCollection* ACollection)
    : TKwpPanelItem(ACollection), FBorder(OwnedPart<TPen>(this, &TKwpPanelHorizontalBar::Changed)),
      FGradient(std::make_unique<TKwpGradientEx>()) {
    FGradient->OnChange = rtl::MakeEvent(this, &TKwpPanelHorizontalBar::Changed);
}

TKwpPanelHorizontalBar::~TKwpPanelHorizontalBar() = default;

void TKwpPanelHorizontalBar::SetBorder(TPen* Value) {
    FBorder->Assign(Value);
}

void TKwpPanelHorizontalBar::SetGradient(TKwpGradientEx* Value) {
    if (Value) FGradient->Assign(Value);
}

// ---- TKwpPaintedPanel ----

TKwpPaintedPanel::TKwpPaintedPanel(rtl::TComponent* AOwner) : vcl::TCustomPanel(AOwner) {
    SetBevelOuter(vcl::bvNone);
}

void TKwpPaintedPanel::Paint() {
    const TRect R = ClientRect();
    DrawBackground(R);
    if (OnAfterDrawBackground) OnAfterDrawBackground(this);
    if (!Caption().isEmpty() && ShowCaption()) DrawCaption(R);
    if (OnPaint) OnPaint(this);
}

void TKwpPaintedPanel::DoMouseEnter() {
    if (OnMouseEnter) OnMouseEnter(this);
}

void TKwpPaintedPanel::DoMouseLeave() {
    if (OnMouseLeave) OnMouseLeave(this);
}

void TKwpPaintedPanel::CMMouseEnter(vcl::TCMMouseEnterLeave& Message) {
    vcl::TCustomPanel::CMMouseEnter(Message);
    DoMouseEnter();
}

void TKwpPaintedPanel::CMMouseLeave(vcl::TCMMouseEnterLeave& Message) {
    vcl::TCustomPanel::CMMouseLeave(Message);
    DoMouseLeave();
}

void TKwpPaintedPanel::VisibleChanging() {
    vcl::TCustomPanel::VisibleChanging();
    if (OnVisibleChanging) OnVisibleChanging(this);
}

void TKwpPaintedPanel::Dispatch(vcl::TMessage& Message) {
    if (Message.Msg == WM_DROPFILES) {
        if (OnDragDropFiles) OnDragDropFiles(this, static_cast<vcl::TWMDropFiles&>(Message));
        return;
    }
    vcl::TCustomPanel::Dispatch(Message);
}

// ---- TKwpBasePanel ----

TKwpBasePanel::TKwpBasePanel(rtl::TComponent* AOwner) : TKwpPaintedPanel(AOwner) {}

void TKwpBasePanel::SetLayout(vcl::TTextLayout Value) {
    FLayout = Value;
    Invalidate();
}

// ---- whole-object assignments ----

void CopyTagExt(TKwpTagExt* Source, TKwpTagExt* Dest) {
    if (!Source || Source == Dest) return;
    Dest->SetIntValue(Source->IntValue());
    Dest->SetStrValue(Source->StrValue());
    Dest->SetRealValue(Source->RealValue());
    Dest->SetDateValue(Source->DateValue());
    Dest->SetPointerValue(Source->PointerValue());
}

void CopyAnchoredControls(TKwpAnchoredControls* Source, TKwpAnchoredControls* Dest) {
    if (!Source || Source == Dest) return;
    Dest->SetTop(Source->Top());
    Dest->SetBottom(Source->Bottom());
    Dest->SetLeft(Source->Left());
    Dest->SetRight(Source->Right());
}

// ---- TKwpCustomPanel ----

TKwpCustomPanel::TKwpCustomPanel(rtl::TComponent* AOwner)
    : TKwpHostPanel<TKwpBasePanel>(AOwner), FAppearance(std::make_unique<TKwpPanelAppearance>(this)),
      FVerticalLines(std::make_unique<TKwpPanelVerticalLines>(this)),
      FHorizontalLines(std::make_unique<TKwpPanelHorizontalLines>(this)),
      FCaptions(std::make_unique<TKwpPanelCaptions>(this)),
      FHorizontalBars(std::make_unique<TKwpPanelHorizontalBars>(this)) {
    const auto appearanceChanged = rtl::MakeEvent(this, &TKwpCustomPanel::AppearanceChanged);
    FAppearance->OnChange = appearanceChanged;
    FAppearance->UpperGradient()->OnChange = rtl::MakeEvent(this, &TKwpCustomPanel::GradientChanged);
    FAppearance->BottomGradient()->OnChange = rtl::MakeEvent(this, &TKwpCustomPanel::GradientChanged);
    FVerticalLines->OnChange = appearanceChanged;
    FHorizontalLines->OnChange = appearanceChanged;
    FCaptions->OnChange = appearanceChanged;
    FHorizontalBars->OnChange = appearanceChanged;
}

TKwpCustomPanel::~TKwpCustomPanel() = default;

void TKwpCustomPanel::AppearanceChanged(rtl::TObject*) {
    if (!Loading()) Invalidate();
}

void TKwpCustomPanel::GradientChanged(rtl::TObject*) {
    Invalidate();
}

void TKwpCustomPanel::WMMouseWheel(vcl::TWMMouseWheel& Message) {
    TKwpHostPanel<TKwpBasePanel>::WMMouseWheel(Message);
    if (!OnMouseWheel) return;
    bool handled = false; // the answer is not used
    OnMouseWheel(this, vcl::KeysToShiftState(Message.Keys()), Message.WheelDelta(),
                 vcl::TPoint(Message.XPos(), Message.YPos()), handled);
}

void TKwpCustomPanel::DrawBackground(const TRect& R) {
    if (ParentBackground()) {
        // nothing under the decorations
    } else if (PanelStyledBackground(this)) {
        DrawStyledPanelBackground(this, Canvas(), R);
    } else {
        DrawPanelOwnBackground(Canvas(), R, FAppearance.get());
    }
    DrawPanelBars(R);
    DrawPanelVerticalLines(R);
    DrawPanelHorizontalLines(R);
    DrawPanelCaptions(R);
    DrawPanelBorders(Canvas(), R, FAppearance.get());
}

void TKwpCustomPanel::DrawPanelBars(const TRect& R) {
    TCanvas* canvas = Canvas();
    const TKwpBorderWidths b = GetPanelBorderWidths(FAppearance.get());
    const int W = R.Width(), H = R.Height();
    for (int i = 0; i < FHorizontalBars->Count(); ++i) {
        TKwpPanelHorizontalBar* bar = FHorizontalBars->GetItem(i);
        if (!bar->Visible() || bar->Height() <= 0) continue;
        int y = 0;
        switch (bar->BarPosition()) {
        case hbpFromTop: y = b.Top + bar->PosY(); break;
        case hbpCenter: y = H / 2 + b.Top - bar->Height() / 2 - b.Bottom; break;
        case hbpFromBottom: y = H - b.Bottom - bar->PosY() - bar->Height(); break;
        case hbpPercentFromTop: y = b.Top + int(base::PercentOfRounded(bar->PosY(), H - b.Top - b.Bottom)); break;
        case hbpPercentFromBottom:
            y = H - b.Bottom - int(base::PercentOfRounded(bar->PosY(), H - b.Top - b.Bottom)) - bar->Height();
            break;
        }
        const TRect r(b.Left + bar->LeftMargin(), y, W - b.Right - bar->RightMargin(), y + bar->Height());
        canvas->Brush()->SetStyle(vcl::bsSolid);
        canvas->Brush()->SetColor(bar->BackgroundColor());
        canvas->FillRect(r);
        if (bar->DrawGradient()) bar->Gradient()->Draw(canvas, r);
        if (bar->Border()->Width() > 0) {
            canvas->Brush()->SetStyle(vcl::bsClear);
            canvas->Pen()->Assign(bar->Border());
            TRect frame = r;
            DrawFrame(canvas, frame, bar->Border()->Color(), bar->Border()->Width());
        }
    }
}

void TKwpCustomPanel::DrawPanelVerticalLines(const TRect& R) {
    TCanvas* canvas = Canvas();
    const TKwpBorderWidths b = GetPanelBorderWidths(FAppearance.get());
    const int W = R.Width(), H = R.Height();
    for (int i = 0; i < FVerticalLines->Count(); ++i) {
        TKwpPanelVerticalLine* line = FVerticalLines->GetItem(i);
        if (!line->Visible() || line->Pen()->Style() == vcl::psClear || line->Pen()->Width() <= 0) continue;
        canvas->Pen()->Assign(line->Pen());
        const int x = line->LinePosition() == vlpFromLeft    ? b.Left + line->PosX()
                      : line->LinePosition() == vlpFromRight ? W - line->PosX() - b.Right
                                                             : W / 2 + b.Left - b.Right;
        canvas->MoveTo(x, b.Top + line->TopMargin());
        canvas->LineTo(x, H - b.Bottom - line->BottomMargin());
    }
}

void TKwpCustomPanel::DrawPanelHorizontalLines(const TRect& R) {
    TCanvas* canvas = Canvas();
    const TKwpBorderWidths b = GetPanelBorderWidths(FAppearance.get());
    const int W = R.Width(), H = R.Height();
    for (int i = 0; i < FHorizontalLines->Count(); ++i) {
        TKwpPanelHorizontalLine* line = FHorizontalLines->GetItem(i);
        if (!line->Visible() || line->Pen()->Style() == vcl::psClear || line->Pen()->Width() <= 0) continue;
        canvas->Pen()->Assign(line->Pen());
        const int y = line->LinePosition() == hlpFromTop      ? b.Top + line->PosY()
                      : line->LinePosition() == hlpFromBottom ? H - line->PosY() - b.Bottom
                                                              : H / 2 + b.Top - b.Bottom;
        canvas->MoveTo(b.Left + line->LeftMargin(), y);
        canvas->LineTo(W - b.Right - line->RightMargin(), y);
    }
}

void TKwpCustomPanel::DrawPanelCaptions(const TRect& R) {
    TCanvas* canvas = Canvas();
    const TKwpBorderWidths b = GetPanelBorderWidths(FAppearance.get());
    const int W = R.Width(), H = R.Height();
    canvas->Brush()->SetStyle(vcl::bsClear);
    for (int i = 0; i < FCaptions->Count(); ++i) {
        TKwpPanelCaption* caption = FCaptions->GetItem(i);
        if (!caption->Visible() || rtl::Trim(caption->Text()).isEmpty()) continue;
        canvas->Font()->Assign(caption->Font());
        const int w = canvas->TextWidth(caption->Text()), h = canvas->TextHeight(caption->Text());
        const int x = caption->HorizontalPosition() == thpFromLeft ? b.Left + caption->PosX() + caption->MarginX()
                      : caption->HorizontalPosition() == thpFromRight
                          ? W - caption->PosX() - b.Right - caption->MarginX() - w
                          : W / 2 + b.Left - w / 2 - b.Right;
        const int y = caption->VerticalPosition() == tvpFromTop ? b.Top + caption->PosY() + caption->MarginY()
                      : caption->VerticalPosition() == tvpFromBottom
                          ? H - caption->PosY() - b.Bottom - caption->MarginY() - h
                          : H / 2 + b.Top - h / 2 - b.Bottom;
        canvas->TextOut(x, y, caption->Text());
    }
}

// ---- shared painting ----

TKwpBorderWidths GetPanelBorderWidths(const TKwpPanelAppearance* Appearance) {
    auto width = [](const TKwpPanelBorder* Side) {
        return Side->Visible() && Side->Pen()->Width() > 0 ? Side->Pen()->Width() : 0;
    };
    const TKwpPanelBorders* b = Appearance->Borders();
    return {width(b->Left()), width(b->Right()), width(b->Top()), width(b->Bottom())};
}

bool PanelStyledBackground(vcl::TCustomPanel* Panel) {
    vcl::TCustomStyleServices* style = vcl::StyleServices();
    return style->Enabled() && style->Name() != QStringLiteral("Windows") &&
           Panel->StyleElements().Contains(vcl::seClient);
}

void DrawStyledPanelBackground(vcl::TCustomPanel* Panel, TCanvas* Canvas, TRect R) {
    vcl::TCustomStyleServices* style = vcl::StyleServices();
    TColor fill = Panel->Color(), highlight = vcl::clBtnHighlight, shadow = vcl::clBtnShadow;
    auto take = [style](vcl::TThemedPanel Element, vcl::TElementColor Which, TColor& Color) {
        TColor c = vcl::clNone;
        if (style->GetElementColor(style->GetElementDetails(Element), Which, c) && c != vcl::clNone) Color = c;
    };
    take(vcl::tpPanelBackground, vcl::ecFillColor, fill);
    take(vcl::tpPanelBevel, vcl::ecEdgeHighlightColor, highlight);
    take(vcl::tpPanelBevel, vcl::ecEdgeShadowColor, shadow);
    auto bevel = [&](vcl::TBevelCut Cut) {
        if (Cut == vcl::bvNone) return;
        const bool lowered = Cut == vcl::bvLowered;
        vcl::Frame3D(Canvas, R, lowered ? shadow : highlight, lowered ? highlight : shadow, Panel->BevelWidth());
    };
    bevel(Panel->BevelOuter());
    vcl::Frame3D(Canvas, R, fill, fill, Panel->BorderWidth());
    bevel(Panel->BevelInner());
    Canvas->Brush()->SetStyle(vcl::bsSolid);
    Canvas->Brush()->SetColor(fill);
    Canvas->FillRect(R);
}

void DrawPanelOwnBackground(TCanvas* Canvas, const TRect& R, const TKwpPanelAppearance* Appearance) {
    Canvas->Brush()->SetStyle(vcl::bsSolid);
    Canvas->Brush()->SetColor(Appearance->BackgroundColor());
    if (!Appearance->DrawGradient()) {
        Canvas->FillRect(R);
        return;
    }
    TRect g = R;
    if (const int m = Appearance->BorderToGradientMargin(); m > 0) {
        const TKwpBorderWidths b = GetPanelBorderWidths(Appearance);
        g = TRect(g.Left + b.Left + m, g.Top + b.Top + m, g.Right - b.Right - m, g.Bottom - b.Bottom - m);
    }
    const int split = g.Top + int(base::PercentOfRounded(base::RectHeight(g), Appearance->UpperGradientPercent()));
    Appearance->UpperGradient()->Draw(Canvas, TRect(g.Left, g.Top, g.Right, split));
    Appearance->BottomGradient()->Draw(Canvas, TRect(g.Left, split, g.Right, g.Bottom));
}

void DrawPanelBorders(TCanvas* Canvas, const TRect& R, const TKwpPanelAppearance* Appearance) {
    if (!Appearance->DrawBorder()) return;
    Canvas->Brush()->SetStyle(vcl::bsClear);
    const TKwpPanelBorders* b = Appearance->Borders();
    if (b->Left()->Visible()) DrawLeftBorderLines(Canvas, R, b->Left()->Pen(), b->Left()->Border3D());
    if (b->Right()->Visible()) DrawRightBorderLines(Canvas, R, b->Right()->Pen(), b->Right()->Border3D());
    if (b->Top()->Visible()) DrawTopBorderLines(Canvas, R, b->Top()->Pen(), b->Top()->Border3D());
    if (b->Bottom()->Visible()) DrawBottomBorderLines(Canvas, R, b->Bottom()->Pen(), b->Bottom()->Border3D());
}

} // namespace components
