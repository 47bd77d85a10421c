#include "controls/RgCollection.h"

#include "vcl/ResourceStream.h"

namespace controls {

// ---- margins ----

void TRgIndent::DoChange() { OnChange(this); }

void TRgIndent::SetLeft(int Value) {
    FLeft = Value;
    DoChange();
}

void TRgIndent::SetTop(int Value) {
    FTop = Value;
    DoChange();
}

void TRgIndent::Assign(rtl::TPersistent* Source) {
    auto* source = dynamic_cast<TRgIndent*>(Source);
    if (!source) {
        rtl::TPersistent::Assign(Source);
        return;
    }
    SetLeft(source->Left());
    SetTop(source->Top());
}

void TRgMargins::SetBottom(int Value) {
    FBottom = Value;
    DoChange();
}

void TRgMargins::SetRight(int Value) {
    FRight = Value;
    DoChange();
}

void TRgMargins::Assign(rtl::TPersistent* Source) {
    TRgIndent::Assign(Source);
    if (auto* source = dynamic_cast<TRgMargins*>(Source)) {
        SetBottom(source->Bottom());
        SetRight(source->Right());
    }
}

// ---- the panel base ----

TRgCollectionControl::TRgCollectionControl(TComponent* AOwner) : vcl::TCustomControl(AOwner) {
    SetControlStyle(ControlStyle() + vcl::TControlStyle{vcl::csGestures});
}

void TRgCollectionControl::AdjustClientRect(TRect& Rect) {
    // The border is outside the client area already; only the padding remains.
    Rect.Left += Padding()->Left();
    Rect.Top += Padding()->Top();
    Rect.Right -= Padding()->Right();
    Rect.Bottom -= Padding()->Bottom();
}

void TRgCollectionControl::Dispatch(vcl::TMessage& Message) {
    vcl::TCustomControl::Dispatch(Message);
    if (Message.Msg == WM_NCCALCSIZE && Message.LParam) {
        RECT& r = Message.WParam ? reinterpret_cast<NCCALCSIZE_PARAMS*>(Message.LParam)->rgrc[0]
                                 : *reinterpret_cast<RECT*>(Message.LParam);
        InflateRect(&r, -BorderWidth(), -BorderWidth());
    }
}

void TRgCollectionControl::FrameWindow(TColor Color) {
    if (!HandleAllocated()) return;
    HWND wnd = WindowHandle();
    HDC dc = GetWindowDC(wnd);
    RECT r;
    GetWindowRect(wnd, &r);
    OffsetRect(&r, -r.left, -r.top);
    HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(vcl::ColorToRGB(Color)));
    for (int i = 0; i < BorderWidth(); ++i) {
        FrameRect(dc, &r, brush);
        InflateRect(&r, -1, -1);
    }
    DeleteObject(brush);
    ReleaseDC(wnd, dc);
}

void DrawResourceBitmap(TCanvas* Canvas, int X, int Y, const String& Name) {
    vcl::TBitmap bmp;
    bmp.LoadFromResourceName(vcl::HInstance, Name);
    bmp.SetTransparent(true);
    bmp.SetTransparentColor(vcl::clLime);
    Canvas->Draw(X, Y, &bmp);
}

// ---- the header panel ----

TRgHeaderPanel::TRgHeaderPanel(TComponent* AOwner)
    : TRgCollectionControl(AOwner), FGlyph(std::make_unique<vcl::TBitmap>()),
      FHeaderFont(std::make_unique<vcl::TFont>()), FInnerMargins(std::make_unique<TRgMargins>()),
      FPicture(std::make_unique<vcl::TPicture>()) {
    SetControlStyle(ControlStyle() + vcl::TControlStyle{vcl::csAcceptsControls, vcl::csCaptureMouse, vcl::csClickEvents,
                                                        vcl::csSetCaption, vcl::csDoubleClicks, vcl::csReplicatable});
    SetBorderWidth(1);
    SetColor(vcl::clWindow);
    SetParentColor(false);
    SetBounds(Left(), Top(), 245, 245);
    CopyFontToHeaderFont();
    FGlyph->OnChange = TNotifyEvent(this, &TRgHeaderPanel::GlyphChanged);
    FPicture->OnChange = TNotifyEvent(this, &TRgHeaderPanel::PictureChanged);
    FHeaderFont->OnChange = TNotifyEvent(this, &TRgHeaderPanel::HeaderFontChanged);
    FInnerMargins->OnChange = TNotifyEvent(this, &TRgHeaderPanel::MarginsChanged);
    RegisterCollectionControl(this);
}

TRgHeaderPanel::~TRgHeaderPanel() {
    UnregisterCollectionControl(this);
    FGlyph->OnChange = nullptr;
    FPicture->OnChange = nullptr;
    FHeaderFont->OnChange = nullptr;
    FInnerMargins->OnChange = nullptr;
}

void TRgHeaderPanel::CopyFontToHeaderFont() {
    FCopyingFont = true;
    FHeaderFont->Assign(Font());
    FCopyingFont = false;
}

void TRgHeaderPanel::GlyphChanged(TObject*) {
    Invalidate();
    FGlyph->SetTransparent(true);
    if (!FGlyph->Empty()) FGlyph->SetTransparentColor(FGlyph->Canvas()->Pixels(0, FGlyph->Height() - 1));
}

void TRgHeaderPanel::PictureChanged(TObject*) { Invalidate(); }

void TRgHeaderPanel::HeaderFontChanged(TObject*) {
    Invalidate();
    if (!FCopyingFont) FParentHeaderFont = false;
}

void TRgHeaderPanel::MarginsChanged(TObject*) {
    Invalidate();
    Realign();
}

void TRgHeaderPanel::SetAdaptiveColors(bool Value) {
    FAdaptiveColors = Value;
    Invalidate();
}

void TRgHeaderPanel::SetBorderColor(TColor Value) {
    FBorderColor = Value;
    DrawBorder();
}

void TRgHeaderPanel::SetCaption(const String& Value) {
    FCaption = Value;
    Invalidate();
}

void TRgHeaderPanel::SetColorScheme(TColorScheme Value) {
    FColorScheme = Value;
    Invalidate();
}

void TRgHeaderPanel::SetDisplayStyle(TDisplayStyle Value) {
    FDisplayStyle = Value;
    if (FDisplayStyle == dsHeaderOnly) SetClientHeight(FHeaderSize);
    Invalidate();
    Realign();
}

void TRgHeaderPanel::SetDrawDirection(TDirection Value) {
    FDrawDirection = Value;
    Invalidate();
}

void TRgHeaderPanel::SetHeaderColor(TColor Value) {
    FHeaderColor = Value;
    Invalidate();
}

void TRgHeaderPanel::SetHeaderColorTo(TColor Value) {
    if (FHeaderColorTo == Value) return;
    FHeaderColorTo = Value;
    Invalidate();
}

void TRgHeaderPanel::SetHeaderFont(vcl::TFont* Value) {
    FHeaderFont->Assign(Value);
    Invalidate();
}

void TRgHeaderPanel::SetHeaderLineColor(TColor Value) {
    if (FHeaderLineColor == Value) return;
    FHeaderLineColor = Value;
    Invalidate();
}

void TRgHeaderPanel::SetHeaderSize(int Value) {
    FHeaderSize = Value;
    Realign();
    Invalidate();
}

void TRgHeaderPanel::SetHeaderStyle(TRgHeaderStyle Value) {
    FHeaderStyle = Value;
    Invalidate();
}

void TRgHeaderPanel::SetIndent(int Value) {
    FIndent = Value;
    Invalidate();
}

void TRgHeaderPanel::SetOptions(THeaderOptions Value) {
    FOptions = Value;
    Invalidate();
}

void TRgHeaderPanel::SetPanelStyle(TRgPanelStyle Value) {
    FPanelStyle = Value;
    Invalidate();
}

void TRgHeaderPanel::SetParentHeaderFont(bool Value) {
    FParentHeaderFont = Value;
    if (Value) CopyFontToHeaderFont();
}

void TRgHeaderPanel::SetExpanded(bool Value) {
    if (!Value && Width() < kCollapseThreshold) SetWidth(kCollapseThreshold);
    if (Value == FExpanded) return;
    FExpanding = true;
    if (Value) {
        SetWidth(FFullWidth);
    } else {
        // A width at or below the threshold is a collapsed width, not one to return to.
        if (Width() > kCollapseThreshold) FFullWidth = Width();
        SetWidth(CollapseWidth);
    }
    FExpanded = Value;
    OnChange(this);
    if (Value) Realign();
    FExpanding = false;
}

TRect TRgHeaderPanel::GetButtonRect() {
    TRect r;
    r.Left = (!FExpanded && FDrawDirection == diRightToLeft) ? 4 : ClientWidth() - 21;
    r.Right = r.Left + 18;
    r.Top = FHeaderSize / 2 - 9;
    r.Bottom = FHeaderSize / 2 + 9;
    return r;
}

TRect TRgHeaderPanel::GlyphRect() const {
    if (FGlyph->Empty()) return TRect();
    return vcl::Bounds(5, FHeaderSize / 2 - FGlyph->Height() / 2, FGlyph->Width(), FGlyph->Height());
}

void TRgHeaderPanel::AdjustClientRect(TRect& Rect) {
    TRgCollectionControl::AdjustClientRect(Rect);
    if (FDisplayStyle != dsPanelOnly) Rect.Top += FHeaderSize;
    Rect.Left += FInnerMargins->Left();
    Rect.Top += FInnerMargins->Top();
    Rect.Right -= FInnerMargins->Right();
    Rect.Bottom -= FInnerMargins->Bottom();
}

void TRgHeaderPanel::DefineProperties(rtl::TFiler* Filer) {
    TRgCollectionControl::DefineProperties(Filer);
    Filer->DefineProperty(QStringLiteral("FullWidth"), rtl::TReaderProc(this, &TRgHeaderPanel::ReadFullWidth),
                          rtl::TWriterProc(this, &TRgHeaderPanel::WriteFullWidth), true);
}

void TRgHeaderPanel::Dispatch(vcl::TMessage& Message) {
    if (Message.Msg == WM_NCPAINT) {
        DrawBorder();  // the border is the whole of the non-client area
        Message.Result = 0;
        return;
    }
    TRgCollectionControl::Dispatch(Message);
}

void TRgHeaderPanel::WMSize(vcl::TWMSize& Message) {
    TRgCollectionControl::WMSize(Message);
    if (FDisplayStyle == dsHeaderOnly && ClientHeight() != FHeaderSize) SetClientHeight(FHeaderSize);
    if (ComponentState().Contains(rtl::csReading) || FExpanding) return;
    if (Width() <= kCollapseThreshold) {
        SetExpanded(false);
    } else {
        FFullWidth = Width();
        SetExpanded(true);
    }
}

void TRgHeaderPanel::CMMouseLeave(vcl::TCMMouseEnterLeave& Message) {
    SetButtonState(FBtnState - TButtonState{btHover});
    // Passed on too, so that OnMouseLeave fires.
    TRgCollectionControl::CMMouseLeave(Message);
}

void TRgHeaderPanel::CMTextChanged(vcl::TMessage&) {
    if (HandleAllocated()) {
        const RECT r = HeaderRect();
        InvalidateRect(WindowHandle(), &r, TRUE);
    }
}

void TRgHeaderPanel::CMParentFontChanged(vcl::TMessage& Message) {
    TRgCollectionControl::CMParentFontChanged(Message);
    if (ParentFont() && FParentHeaderFont) CopyFontToHeaderFont();
}

void TRgHeaderPanel::SetButtonState(TButtonState Value) {
    if (Value == FBtnState) return;
    FBtnState = Value;
    if (HandleAllocated()) {
        const RECT r = GetButtonRect();
        InvalidateRect(WindowHandle(), &r, TRUE);
    }
}

void TRgHeaderPanel::MouseDown(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y) {
    TRgCollectionControl::MouseDown(Button, Shift, X, Y);
    const TPoint p(X, Y);
    if (PointInRectEx(p, HeaderRect(), false)) FHeaderMouseDown = true;
    if (PointInRectEx(p, GetButtonRect(), false)) SetButtonState(FBtnState + TButtonState{btDown});
}

void TRgHeaderPanel::MouseMove(vcl::TShiftState Shift, int X, int Y) {
    TRgCollectionControl::MouseMove(Shift, X, Y);
    if (PointInRectEx(TPoint(X, Y), GetButtonRect(), false))
        SetButtonState(FBtnState + TButtonState{btHover});
    else
        SetButtonState(FBtnState - TButtonState{btHover});
}

void TRgHeaderPanel::MouseUp(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y) {
    TRgCollectionControl::MouseUp(Button, Shift, X, Y);
    const TPoint p(X, Y);
    if (FHeaderMouseDown && PointInRectEx(p, HeaderRect(), false)) {
        DoHeaderClick();
        if (PointInRectEx(p, GlyphRect(), false)) DoGlyphClick();
    }
    if (FOptions.Contains(hoCollapseButton) && PointInRectEx(p, GetButtonRect(), false)) {
        bool accept = true;
        if (FExpanded) {
            DoCollapse(accept);
            if (accept) SetExpanded(false);
        } else {
            DoExpand(accept);
            if (accept) SetExpanded(true);
            if (CanFocus()) SetFocus();
        }
    }
    if (FOptions.Contains(hoClickOnBodyExpand) && PointInRectEx(p, TRect(0, FHeaderSize, ClientWidth(), ClientHeight()), false))
        SetExpanded(true);
    SetButtonState({});
    FHeaderMouseDown = false;
}

void TRgHeaderPanel::DrawPanelBody(const TRect& R) {
    TCanvas* c = Canvas();
    switch (FPanelStyle) {
    case ptDefault:
        c->Brush()->SetColor(Color());
        c->FillRect(R);
        break;
    case ptGradient: DrawTopBottomGradient(c, R, vcl::clWindow, GetSchemeColor(3, csDefault)); break;
    case ptInverseGradient: DrawTopBottomGradient(c, R, GetSchemeColor(3, csDefault), vcl::clWindow); break;
    }
}

void TRgHeaderPanel::Paint() {
    TRgCollectionControl::Paint();
    TCanvas* c = Canvas();
    if (FDisplayStyle == dsPanelOnly) {
        DrawPanelBody(ClientRect());
        return;
    }
    if (FDisplayStyle == dsNormal) {
        const TRect body(0, FHeaderSize, ClientWidth(), ClientHeight());
        if (FPicture->Graphic() && !FPicture->Graphic()->Empty())
            c->StretchDraw(body, FPicture->Graphic());
        else
            DrawPanelBody(body);
    }
    c->SetFont(FHeaderFont.get());
    if (FOptions.Contains(hoColorSchemeFont)) c->Font()->SetColor(GetSchemeColor(9, csDefault));
    const TRect hr = HeaderRect();
    switch (FHeaderStyle) {
    case psFlat: DrawFlatHeader(hr); break;
    case psNormal: DrawNormalHeader(hr); break;
    case psSectionHeader: DrawSectionHeader(hr); break;
    case psVista: DrawVistaHeader(hr); break;
    case psWindowsLive: DrawWindowsLiveHeader(hr); break;
    }
    int captionLeft = FIndent, captionRight = ClientWidth();
    if (FOptions.Contains(hoCollapseButton)) {
        const TRect b = GetButtonRect();
        DrawHeaderButton(b);
        captionRight = b.Left;
    }
    if (!FExpanded) return;  // a collapsed panel shows neither glyph nor caption
    if (!FGlyph->Empty()) {
        const TRect g = GlyphRect();
        DrawAlphaBitmap(c, g.Left, g.Top, FGlyph.get());
        captionLeft += FGlyph->Width() + 7;
    }
    DrawTextBiDi(c, TRect(captionLeft, 0, captionRight, FHeaderSize), FCaption, vcl::bdLeftToRight);
}

void TRgHeaderPanel::DrawFlatHeader(const TRect& R) {
    TCanvas* c = Canvas();
    if (FHeaderColorTo == vcl::clNone) {
        c->Brush()->SetColor(FHeaderColor);
        c->FillRect(R);
    } else {
        DrawTopBottomGradient(c, R, FHeaderColor, FHeaderColorTo);
    }
    if (FHeaderLineColor != vcl::clNone) {
        c->Pen()->SetColor(FHeaderLineColor);
        c->MoveTo(R.Left, R.Bottom);
        c->LineTo(R.Right, R.Bottom);
    }
}

void TRgHeaderPanel::DrawNormalHeader(const TRect& R) {
    TCanvas* c = Canvas();
    const int w = ClientWidth();
    c->Pen()->SetColor(vcl::clWhite);
    c->Polyline({TPoint(0, R.Bottom), TPoint(0, R.Top), TPoint(w, R.Top)});
    c->Pen()->SetColor(GetSchemeColor(13, FColorScheme));
    c->MoveTo(0, R.Bottom - 1);
    c->LineTo(w, R.Bottom - 1);
    const TRect g(R.Left + 1, R.Top + 1, R.Right, R.Bottom - 1);
    if (FAdaptiveColors)
        DrawTopBottomGradient(c, g, GetSchemeColor(12, FColorScheme), GetSchemeColor(11, FColorScheme));
    else
        DrawTopBottomGradient(c, g, vcl::clWindow, FHeaderColor);
}

void TRgHeaderPanel::DrawSectionHeader(const TRect& R) {
    TCanvas* c = Canvas();
    if (FAdaptiveColors && IsThemingActive()) {
        DrawTopBottomGradient(c, R, AlphaBlendColor(vcl::clHighlight, vcl::clInactiveCaption, 112),
                              AlphaBlendColor(vcl::clActiveCaption, vcl::clBlack, 170));
    } else if (FAdaptiveColors) {
        c->Brush()->SetColor(vcl::clGrayText);
        c->FillRect(R);
    } else {
        DrawTopBottomGradient(c, R, FHeaderColor, AlphaBlendColor(FHeaderColor, vcl::clBlack, 170));
    }
}

void TRgHeaderPanel::DrawVistaHeader(const TRect& R) {
    TCanvas* c = Canvas();
    c->Brush()->SetColor(vcl::clBlack);
    c->FillRect(R);
    DrawGlassShine(c, R);
}

void TRgHeaderPanel::DrawWindowsLiveHeader(const TRect& R) {
    TCanvas* c = Canvas();
    const int w = ClientWidth();
    const TColor h = FAdaptiveColors ? GetSchemeColor(18, FColorScheme) : FHeaderColor;
    c->Pen()->SetColor(vcl::clWhite);
    c->MoveTo(0, R.Top);
    c->LineTo(w, R.Top);
    c->MoveTo(0, R.Bottom - 2);
    c->LineTo(w, R.Bottom - 2);
    c->Pen()->SetColor(FAdaptiveColors ? GetSchemeColor(18, FColorScheme) : FBorderColor);
    c->MoveTo(0, R.Bottom - 1);
    c->LineTo(w, R.Bottom - 1);
    const TRect g(R.Left, R.Top + 1, R.Right, R.Bottom - 2);
    DrawGlowGradient(c, g, h, Color(), g.Height() / 2);
}

void TRgHeaderPanel::DrawHeaderButton(const TRect& R) {
    DrawHeaderButtonBackground(R);
    const bool pointLeft = FExpanded == (FDrawDirection == diLeftToRight);
    DrawResourceBitmap(Canvas(), R.Left + R.Width() / 2 - 4, R.Top + R.Height() / 2 - 3,
                       pointLeft ? QStringLiteral("HEADERCOLLAPSE") : QStringLiteral("HEADEREXPAND"));
}

void TRgHeaderPanel::DrawHeaderButtonBackground(const TRect& R) {
    if (FBtnState.Contains(btDown))
        DrawTopBottomGradient(Canvas(), R, 0x087FE8, 0x7AD9F7);
    else if (FBtnState.Contains(btHover))
        DrawTopBottomGradient(Canvas(), R, 0xDCFFFF, 0x5FC2F8);
}

void TRgHeaderPanel::DrawBorder() { FrameWindow(FAdaptiveColors ? GetSchemeColor(2, FColorScheme) : FBorderColor); }

} // namespace controls
