#include "controls/FlipPanel.h"

#include <vector>

#include "vcl/ResourceStream.h"

#include <algorithm>

namespace controls {

TKWRgFlipPanel::TKWRgFlipPanel(TComponent* AOwner)
    : TRgCollectionControl(AOwner), FCollapseGlyph(std::make_unique<vcl::TBitmap>()),
      FExpandGlyph(std::make_unique<vcl::TBitmap>()), FGlyph(std::make_unique<vcl::TBitmap>()),
      FHeaderFont(std::make_unique<vcl::TFont>()), FInnerMargins(std::make_unique<TRgMargins>()),
      FRightCaptionFont(std::make_unique<vcl::TFont>()) {
    SetControlStyle(ControlStyle() + vcl::TControlStyle{vcl::csAcceptsControls, vcl::csCaptureMouse, vcl::csClickEvents,
                                                        vcl::csSetCaption, vcl::csDoubleClicks, vcl::csReplicatable});
    FExpandGlyph->LoadFromResourceName(vcl::HInstance, QStringLiteral("KWFLIPPLUS"));
    FCollapseGlyph->LoadFromResourceName(vcl::HInstance, QStringLiteral("KWCOLLAPSE"));
    CopyFontToHeaderFont();
    FHeaderFontUpdating = true;
    FRightCaptionFont->Assign(Font());
    FHeaderFontUpdating = false;
    FHeaderFont->OnChange = TNotifyEvent(this, &TKWRgFlipPanel::HeaderFontChanged);
    FRightCaptionFont->OnChange = TNotifyEvent(this, &TKWRgFlipPanel::HeaderFontChanged);
    FExpandGlyph->OnChange = TNotifyEvent(this, &TKWRgFlipPanel::GlyphChanged);
    FCollapseGlyph->OnChange = TNotifyEvent(this, &TKWRgFlipPanel::GlyphChanged);
    FInnerMargins->OnChange = TNotifyEvent(this, &TKWRgFlipPanel::MarginsChanged);
    SetParentColor(false);
    SetColor(vcl::clWindow);
    SetBounds(Left(), Top(), 200, 200);
    RegisterCollectionControl(this);
}

TKWRgFlipPanel::~TKWRgFlipPanel() {
    FHeaderFont->OnChange = nullptr;
    FRightCaptionFont->OnChange = nullptr;
    FExpandGlyph->OnChange = nullptr;
    FCollapseGlyph->OnChange = nullptr;
    FInnerMargins->OnChange = nullptr;
    UnregisterCollectionControl(this);
}

// ---- properties ----

void TKWRgFlipPanel::InvalidateHeader() {
    if (HandleAllocated()) {
        const RECT r = GetHeaderRect();
        InvalidateRect(WindowHandle(), &r, TRUE);
    }
}

void TKWRgFlipPanel::InvalidateNoErase(const TRect& R) {
    if (!HandleAllocated()) return;
    const RECT r = R;
    InvalidateRect(WindowHandle(), &r, FALSE);
}

void TKWRgFlipPanel::RefreshBody() { InvalidateNoErase(GetBodyRect()); }
void TKWRgFlipPanel::RepaintHeader() { InvalidateNoErase(GetHeaderRect()); }

void TKWRgFlipPanel::SetAdaptiveColors(bool Value) {
    FAdaptiveColors = Value;
    Invalidate();
}

void TKWRgFlipPanel::SetBackgroundColor(TColor Value) {
    FBackgroundColor = Value;
    Invalidate();
}

void TKWRgFlipPanel::SetBackgroundStyle(TFlipBackgroundStyle Value) {
    FBackgroundStyle = Value;
    Invalidate();
}

void TKWRgFlipPanel::SetBorderColor(TColor Value) {
    FBorderColor = Value;
    DrawBorder();
}

void TKWRgFlipPanel::SetCaption(const String& Value) {
    FCaption = Value;
    Invalidate();
}

void TKWRgFlipPanel::SetCaptionCollapsed(const String& Value) {
    FCaptionCollapsed = Value;
    if (!FExpanded) Invalidate();
}

void TKWRgFlipPanel::SetExpandGlyph(vcl::TBitmap* Value) {
    FExpandGlyph->Assign(Value);
    InvalidateHeader();
}

void TKWRgFlipPanel::SetColorScheme(TColorScheme Value) {
    FColorScheme = Value;
    Invalidate();
}

void TKWRgFlipPanel::SetDrawDirection(TDirection Value) {
    FDrawDirection = Value;
    Invalidate();
}

void TKWRgFlipPanel::SetGlyph(vcl::TBitmap* Value) {
    FGlyph->Assign(Value);
    Invalidate();
}

void TKWRgFlipPanel::SetHeaderExpandedBottomLineColor(TColor Value) {
    if (Value == FHeaderExpandedBottomLineColor) return;
    StoreAndRepaintHeader(FHeaderExpandedBottomLineColor, Value);
}

void TKWRgFlipPanel::SetHeaderFont(vcl::TFont* Value) {
    FHeaderFont->Assign(Value);
    Invalidate();
}

void TKWRgFlipPanel::SetHeaderHeight(int Value) {
    FHeaderHeight = Value;
    Realign();
    Invalidate();
}

void TKWRgFlipPanel::SetIndent(int Value) {
    FIndent = Value;
    Invalidate();
}

void TKWRgFlipPanel::SetParentHeaderFont(bool Value) {
    if (Value == FParentHeaderFont) return;
    FParentHeaderFont = Value;
    if (Value) CopyFontToHeaderFont();
    Invalidate();
}

void TKWRgFlipPanel::SetRightCaption(const String& Value) {
    if (Value == FRightCaption) return;
    StoreAndRepaintHeader(FRightCaption, Value);
}

void TKWRgFlipPanel::SetRightCaptionVisible(bool Value) {
    if (Value == FRightCaptionVisible) return;
    StoreAndRepaintHeader(FRightCaptionVisible, Value);
}

void TKWRgFlipPanel::SetRightCaptionFont(vcl::TFont* Value) {
    FRightCaptionFont->Assign(Value);
    RepaintHeader();
}

void TKWRgFlipPanel::SetRightCaptionEllipsis(vcl::TEllipsisPosition Value) {
    if (Value == FRightCaptionEllipsis) return;
    StoreAndRepaintHeader(FRightCaptionEllipsis, Value);
}

void TKWRgFlipPanel::SetShowButtons(bool Value) {
    FShowButtons = Value;
    Invalidate();
}

void TKWRgFlipPanel::SetShowGlyph(bool Value) {
    FShowGlyph = Value;
    Invalidate();
}

void TKWRgFlipPanel::SetTransparentButtons(bool Value) {
    FTransparentButtons = Value;
    Invalidate();
}

void TKWRgFlipPanel::SetTransparentGlyph(bool Value) {
    FTransparentGlyph = Value;
    FGlyph->SetTransparent(Value);
    if (Value && !FGlyph->Empty()) FGlyph->SetTransparentColor(FGlyph->Canvas()->Pixels(0, FGlyph->Height() - 1));
    Invalidate();
}

void TKWRgFlipPanel::CopyFontToHeaderFont() {
    FHeaderFontUpdating = true;
    FHeaderFont->Assign(Font());
    FHeaderFontUpdating = false;
}

void TKWRgFlipPanel::HeaderFontChanged(TObject*) {
    if (FHeaderFontUpdating) return;
    FParentHeaderFont = false;
    Invalidate();
}

void TKWRgFlipPanel::MarginsChanged(TObject*) {
    Invalidate();
    Realign();
}

// ---- flipping ----

void TKWRgFlipPanel::SetExpanded(bool Value) {
    if (Value == FExpanded || !FAllowFlip) return;
    FExpanding = true;
    const int headerOnly = FHeaderHeight + FInnerMargins->Top();
    if (Value) {
        ResizeParentFlipPanels(FFullHeight - Height());
        SetHeight(FFullHeight);
    } else {
        FFullHeight = std::max(Height(), headerOnly);
        // Read from a form, the stored height is the collapsed one and FullHeight follows.
        if (!ComponentState().Contains(rtl::csReading)) {
            SetHeight(headerOnly);
            ResizeParentFlipPanels(Height() - FFullHeight);
        }
    }
    FExpanded = Value;
    DoChange();
    InvalidateNoErase(GetButtonRect());
    if (Value) {
        CollapseSiblings();
        Realign();
    }
    FExpanding = false;
}

void TKWRgFlipPanel::ResizeParentFlipPanels(int Delta) {
    for (auto* p = dynamic_cast<TKWRgFlipPanel*>(Parent()); p; p = dynamic_cast<TKWRgFlipPanel*>(p->Parent()))
        p->SetHeight(p->Height() + Delta);
}

void TKWRgFlipPanel::CollapseSiblings() {
    if (!FAutoCollapse || !Parent()) return;
    vcl::TWinControl* parent = Parent();
    for (int i = 0; i < parent->ControlCount(); ++i) {
        auto* other = dynamic_cast<TKWRgFlipPanel*>(parent->Controls(i));
        if (other && other != this) other->SetExpanded(false);
    }
}

void TKWRgFlipPanel::SetAllExpanded(bool Value) {
    std::vector<TKWRgFlipPanel*> panels;
    if (vcl::TWinControl* parent = Parent()) {
        for (int i = 0; i < parent->ControlCount(); ++i)
            if (auto* p = dynamic_cast<TKWRgFlipPanel*>(parent->Controls(i))) panels.push_back(p);
    } else {
        panels.push_back(this);
    }
    for (TKWRgFlipPanel* p : panels) {
        const bool autoCollapse = p->FAutoCollapse;
        p->FAutoCollapse = false; // all of them are meant to stay open
        p->SetExpanded(Value);
        p->FAutoCollapse = autoCollapse;
    }
}

TRect TKWRgFlipPanel::GetButtonRect() {
    TRect r;
    r.Left = FDrawDirection == diLeftToRight ? FIndent : ClientWidth() - FExpandGlyph->Width() - 4;
    if (IsThemingActive()) {
        r.Top = FHeaderHeight / 2 - FExpandGlyph->Height() / 2 - 1;
        r.Right = r.Left + FExpandGlyph->Width();
        r.Bottom = r.Top + FExpandGlyph->Height();
    } else {
        r.Top = FHeaderHeight / 2 - 5;
        r.Right = r.Left + 9;
        r.Bottom = r.Top + 9;
    }
    return r;
}

bool TKWRgFlipPanel::IsMouseInHeader() {
    return PointInRectEx(ScreenToClient(vcl::Mouse->CursorPos()), GetHeaderRect(), false);
}

void TKWRgFlipPanel::AdjustClientRect(TRect& Rect) {
    TRgCollectionControl::AdjustClientRect(Rect);
    Rect.Left += FInnerMargins->Left();
    Rect.Top += FHeaderHeight + FInnerMargins->Top();
    Rect.Right -= FInnerMargins->Right();
    Rect.Bottom -= FInnerMargins->Bottom();
}

void TKWRgFlipPanel::DefineProperties(rtl::TFiler* Filer) {
    TRgCollectionControl::DefineProperties(Filer);
    Filer->DefineProperty(QStringLiteral("FullHeight"), rtl::TReaderProc(this, &TKWRgFlipPanel::ReadFullHeight),
                          rtl::TWriterProc(this, &TKWRgFlipPanel::WriteFullHeight), true);
}

void TKWRgFlipPanel::CreateParams(vcl::TCreateParams& Params) {
    TRgCollectionControl::CreateParams(Params);
    if (ComponentState().Contains(rtl::csDesigning)) Params.WindowClass.style |= CS_HREDRAW;
}

void TKWRgFlipPanel::ChangeScale(int M, int D) {
    // The inherited scaling has scaled the bounds, Height among them, once already.
    TRgCollectionControl::ChangeScale(M, D);
    if (M == D || D == 0) return;
    FFullHeight = FFullHeight * M / D;
    FHeaderHeight = FHeaderHeight * M / D;
    FInnerMargins->SetTop(FInnerMargins->Top() * M / D);
}

// ---- messages and input ----

void TKWRgFlipPanel::Dispatch(vcl::TMessage& Message) {
    TRgCollectionControl::Dispatch(Message);
    if (Message.Msg == WM_NCPAINT) DrawBorder();
}

void TKWRgFlipPanel::WMSize(vcl::TWMSize& Message) {
    TRgCollectionControl::WMSize(Message);
    if (!ComponentState().Contains(rtl::csReading) && FBackgroundStyle == bsVertGradient) RefreshBody();
}

void TKWRgFlipPanel::WMWindowPosChanged(vcl::TWMWindowPosMsg& Message) {
    TRgCollectionControl::WMWindowPosChanged(Message);
    if ((FHeaderStyle == hsTransparent || FHeaderStyle == hsVista) && !FExpanding) Invalidate();
}

void TKWRgFlipPanel::CMDialogChar(vcl::TCMDialogChar& Message) {
    // A hidden or disabled panel leaves the key to the controls that can take it.
    if (Showing() && Enabled() && vcl::IsAccel(Message.CharCode(), FCaption)) {
        Flip();
        Message.Result = 1;
        return;
    }
    TRgCollectionControl::CMDialogChar(Message);
}

void TKWRgFlipPanel::CMFontChanged(vcl::TMessage& Message) {
    TRgCollectionControl::CMFontChanged(Message);
    if (FParentHeaderFont) CopyFontToHeaderFont();
}

void TKWRgFlipPanel::CMMouseEnter(vcl::TCMMouseEnterLeave& Message) {
    TRgCollectionControl::CMMouseEnter(Message);
    MouseInControl = true;
    MouseInHeader = IsMouseInHeader();
}

void TKWRgFlipPanel::CMMouseLeave(vcl::TCMMouseEnterLeave& Message) {
    TRgCollectionControl::CMMouseLeave(Message);
    MouseInControl = false;
    MouseInHeader = false;
    if (HotPainted) RepaintHeader();
}

void TKWRgFlipPanel::CMTextChanged(vcl::TMessage&) { Invalidate(); }

void TKWRgFlipPanel::MouseMove(vcl::TShiftState Shift, int X, int Y) {
    TRgCollectionControl::MouseMove(Shift, X, Y);
    MouseInHeader = IsMouseInHeader();
    if (MouseInHeader != HotPainted) RepaintHeader();
}

void TKWRgFlipPanel::MouseUp(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y) {
    TRgCollectionControl::MouseUp(Button, Shift, X, Y);
    if (Button != vcl::mbLeft) return;
    const TPoint p(X, Y);
    if ((FFlipKind == fkButton && FShowButtons && PointInRectEx(p, GetButtonRect(), false)) ||
        (FFlipKind == fkHeaderAndButton && PointInRectEx(p, GetHeaderRect(), false)))
        Flip();
}

// ---- painting ----

void TKWRgFlipPanel::Paint() {
    TCanvas* c = Canvas();
    const TRect hr = GetHeaderRect();
    c->SetFont(Font());
    DrawHeader();
    if (Focused()) TGraphicsProvider::DrawFocused(c, hr, false);
    DrawBackground();
    c->SetFont(FHeaderFont.get());
    int textX = FIndent;
    if (FShowButtons) {
        int buttonX = FIndent;
        if (FDrawDirection == diLeftToRight)
            textX = FIndent + FExpandGlyph->Width() + 4;
        else
            buttonX = ClientWidth() - FExpandGlyph->Width() - 4;
        const int buttonY = IsThemingActive() ? FHeaderHeight / 2 - FExpandGlyph->Height() / 2 + FCaptionDeltaY - 1
                                              : FHeaderHeight / 2 + FCaptionDeltaY - 5;
        DrawButton(buttonX, buttonY);
    }
    if (!FGlyph->Empty() && FShowGlyph) {
        int glyphX = ClientWidth() - FGlyph->Width() - 2;
        if (FDrawDirection == diRightToLeft) {
            glyphX = textX;
            textX += FGlyph->Width() + 2;
        }
        DrawAlphaBitmap(c, glyphX, FHeaderHeight / 2 - FGlyph->Height() / 2, FGlyph.get());
    }
    TRect tr = hr;
    tr.Left = textX + FCaptionDeltaX;
    tr.Top = FCaptionDeltaY;
    if (BorderWidth() > 0) tr.Bottom -= 1;
    const String caption = !FCaptionCollapsed.isEmpty() && !FExpanded ? FCaptionCollapsed : FCaption;
    DrawTextAligned(c, tr, vcl::taLeftJustify, caption, false);
    if (FRightCaptionVisible && !FRightCaption.isEmpty()) {
        RECT measured{0, 0, 0, 0};
        DrawTextW(c->Handle(), reinterpret_cast<LPCWSTR>(caption.utf16()), static_cast<int>(caption.size()), &measured,
                  DT_CALCRECT | DT_SINGLELINE);
        RECT r2 = tr;
        r2.left += (measured.right - measured.left) + 8;
        r2.right -= 4;
        c->SetFont(FRightCaptionFont.get());
        c->Brush()->SetStyle(vcl::bsClear);
        UINT flags = DT_RIGHT | DT_VCENTER | DT_SINGLELINE;
        switch (FRightCaptionEllipsis) {
        case vcl::epPathEllipsis: flags |= DT_PATH_ELLIPSIS; break;
        case vcl::epEndEllipsis: flags |= DT_END_ELLIPSIS; break;
        case vcl::epWordEllipsis: flags |= DT_WORD_ELLIPSIS; break;
        case vcl::epNone: break;
        }
        DrawTextW(c->Handle(), reinterpret_cast<LPCWSTR>(FRightCaption.utf16()), static_cast<int>(FRightCaption.size()),
                  &r2, flags);
    }
    if (ComponentState().Contains(rtl::csDesigning) && FExpanded) {
        TRect area(FInnerMargins->Left(), FHeaderHeight + FInnerMargins->Top(), ClientWidth() - FInnerMargins->Right(),
                   ClientHeight() - FInnerMargins->Bottom());
        area.Inflate(1, 1);
        c->Brush()->SetColor(vcl::clBtnFace);
        c->FrameRect(area);
    }
}

void TKWRgFlipPanel::DrawButton(int X, int Y) {
    if (FToggleTriangle)
        DrawToggleTriangle(X, Y);
    else if (IsThemingActive())
        DrawGlyphButton(X, Y);
    else
        DrawClassicButton(X, Y);
}

void TKWRgFlipPanel::DrawToggleTriangle(int X, int Y) {
    TCanvas* c = Canvas();
    const int s = FToggleTriangleSize;
    const TColor color = MouseInControl && MouseInHeader ? FToggleTriangleHotColor : FToggleTriangleColor;
    c->Brush()->SetColor(color);
    if (FExpanded) {
        X += FTriangleExpandedDX;
        Y += FTriangleExpandedDY;
        c->Pen()->SetStyle(vcl::psSolid);
        c->Pen()->SetColor(color);
        c->Polygon({TPoint(X, Y + s - 1), TPoint(X + s - 1, Y + s - 1), TPoint(X + s - 1, Y), TPoint(X, Y + s - 1)});
    } else {
        X += FTriangleCollapsedDX;
        Y = Y - s / 2 + FTriangleCollapsedDY + 1;
        c->Pen()->SetStyle(vcl::psClear);
        c->Polygon({TPoint(X, Y), TPoint(X + s - 2, Y + s - 2), TPoint(X, Y + 2 * (s - 2)), TPoint(X, Y)});
    }
    c->Pen()->SetStyle(vcl::psSolid);
}

void TKWRgFlipPanel::DrawGlyphButton(int X, int Y) {
    if (FTransparentButtons) {
        for (vcl::TBitmap* b : {FCollapseGlyph.get(), FExpandGlyph.get()}) {
            b->SetTransparent(true);
            if (!b->Empty()) b->SetTransparentColor(b->Canvas()->Pixels(0, b->Height() - 1));
        }
    }
    TDrawProvider::ApplyBitmap(Canvas(), X, Y, FExpanded ? FCollapseGlyph.get() : FExpandGlyph.get());
}

void TKWRgFlipPanel::DrawClassicButton(int X, int Y) {
    TCanvas* c = Canvas();
    c->Pen()->SetColor(vcl::clBlack);
    c->Brush()->SetColor(vcl::clGrayText);
    c->FrameRect(TRect(X, Y, X + 9, Y + 9));
    c->MoveTo(X + 2, Y + 4);
    c->LineTo(X + 7, Y + 4);
    if (!FExpanded) {
        c->MoveTo(X + 4, Y + 2);
        c->LineTo(X + 4, Y + 7);
    }
}

void TKWRgFlipPanel::DrawHeader() {
    TCanvas* c = Canvas();
    const bool hot = MouseInHeader && MouseInControl && FHeaderHotTrack;
    const TColor c1 = hot ? FHeaderHotColor : FHeaderColor;
    const TColor c2 = hot ? FHeaderHotColorTo : FHeaderColorTo;
    HotPainted = hot;
    TColor base = FHeaderColor;
    if (FAdaptiveColors) {
        if (dynamic_cast<TKWRgFlipPanel*>(Parent()))
            base = Color();
        else
            base = IsThemingActive() ? GetSchemeColor(18, FColorScheme) : vcl::clBtnFace;
    }
    TRect hr = GetHeaderRect();
    auto fill = [&](const TRect& r, TColor color) {
        c->Brush()->SetColor(color);
        c->FillRect(r);
    };
    switch (FHeaderStyle) {
    case hsAuto:
        if (IsThemingActive())
            DrawThemedPart(WindowHandle(), c->Handle(), hr, QStringLiteral("explorerbar"), 0, 1);
        else
            fill(hr, base);
        break;
    case hsFadeAway: TGraphicsProvider::DrawVertGradient(c, hr, c2, c1); break;
    case hsGradient: TGraphicsProvider::DrawGradient(c, hr, c1, c2); break;
    case hsInverseGradient: TGraphicsProvider::DrawGradient(c, hr, c2, c1); break;
    case hsOffice2007:
        DrawGlassGradient(c, hr, GetSchemeColor(4, FColorScheme), GetSchemeColor(3, FColorScheme), FHeaderHeight / 2);
        break;
    case hsSolid: fill(hr, c1); break;
    case hsTopGradient:
        DrawTopBottomGradient(c, TRect(0, 0, ClientWidth(), FHeaderTopGradientSize), c1, c2);
        fill(TRect(0, FHeaderTopGradientSize, ClientWidth(), ClientHeight()), c2);
        break;
    case hsTransparent: PaintParentBackground(this, c); break;
    case hsVista:
        fill(hr, vcl::clBlack);
        DrawGlassShine(c, hr);
        break;
    case hsWindowsLive:
        c->Brush()->SetColor(base);
        c->FrameRect(hr);
        hr.Inflate(-1, -1);
        c->Brush()->SetColor(Color());
        c->FrameRect(hr);
        hr.Inflate(-1, -1);
        DrawGlowGradient(c, hr, base, Color(), hr.Height() / 2);
        break;
    }
    if (FExpanded && FHeaderExpandedBottomLineColor != vcl::clNone) {
        c->Pen()->SetColor(FHeaderExpandedBottomLineColor);
        c->MoveTo(hr.Left, hr.Bottom - 1);
        c->LineTo(hr.Right, hr.Bottom - 1);
    }
    if (hot && FHeaderHotBorderSize > 0) {
        c->Brush()->SetStyle(vcl::bsClear);
        c->Pen()->SetColor(FHeaderHotBorderColor);
        c->Pen()->SetWidth(FHeaderHotBorderSize);
        TRect r = hr;
        if (!FExpanded) r.Bottom -= 2 * BorderWidth();
        c->Rectangle(r);
        c->Pen()->SetWidth(1);
        c->Brush()->SetStyle(vcl::bsSolid);
    }
}

void TKWRgFlipPanel::DrawBackground() {
    TCanvas* c = Canvas();
    const TRect body = GetBodyRect();
    switch (FBackgroundStyle) {
    case bsSolid:
        c->Brush()->SetColor(Color());
        c->FillRect(body);
        break;
    case bsVertGradient: DrawTopBottomGradient(c, body, Color(), FBackgroundColor); break;
    case bsTransparent:
        if (FHeaderStyle != hsTransparent && FHeaderStyle != hsVista) PaintParentBackground(this, c);
        break;
    }
}

void TKWRgFlipPanel::DrawBorder() { FrameWindow(FAdaptiveColors ? GetSchemeColor(2, FColorScheme) : FBorderColor); }

} // namespace controls
