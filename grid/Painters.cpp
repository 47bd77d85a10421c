// grid/Painters.cpp
#include "grid/Painters.h"

#include "rtl/SysUtils.h"
#include "vcl/MaskUtils.h"
#include "vcl/Themes.h"

namespace grid {

using namespace vcl;

namespace {

// Header theme parts and states of the visual-styles documentation.
constexpr int HP_HEADERITEM = 1;
constexpr int HP_HEADERITEMRIGHT = 3;
constexpr int HIS_NORMAL = 1;
constexpr int HIS_HOT = 2;
constexpr int HIS_PRESSED = 3;

// Room the sort arrow takes right of a right-aligned caption.
constexpr int SortArrowRoom = 31;

} // namespace

// ---- TStyleDisplay ----------------------------------------------------------------------------------------

TStyleDisplay::TStyleDisplay(rtl::TComponent* AOwner) : FOwner(AOwner) {}

vcl::TStyleElements TStyleDisplay::StyleElements() const {
    auto* Owner = dynamic_cast<IStyleDisplayOwner*>(FOwner);
    return Owner ? Owner->GridStyleElements() : vcl::TStyleElements{seFont, seClient, seBorder};
}

bool TStyleDisplay::UseStyles() {
    return StyleServices()->Enabled();
}

std::optional<TKwGridColors> TStyleDisplay::CustomColors() const {
    auto* Owner = dynamic_cast<IStyleDisplayOwner*>(FOwner);
    if (!Owner) return std::nullopt;
    try {
        TKwGridColors Colors = Owner->KwColors();
        if (Colors.CustomizationEnabled) return Colors;
    } catch (...) {
        // An owner that cannot give its colours is drawn uncustomised.
    }
    return std::nullopt;
}

bool TStyleDisplay::DontDrawVertGridOnLastCol() const {
    auto* Owner = dynamic_cast<IStyleDisplayOwner*>(FOwner);
    if (!Owner) return false;
    try {
        return Owner->KwColors().DontDrawHeaderVertGridOnLastCol;
    } catch (...) {
        return false;
    }
}

TColor TStyleDisplay::OwnerColor() const {
    auto* Owner = dynamic_cast<IStyleDisplayOwner*>(FOwner);
    return Owner ? Owner->GridColor() : clBtnFace;
}

void TStyleDisplay::Line(int X1, int Y1, int X2, int Y2) {
    FCanvas->MoveTo(X1, Y1);
    FCanvas->LineTo(X2, Y2);
}

void TStyleDisplay::RightBottomLine(const TRect& R) {
    FCanvas->MoveTo(R.Right - 1, R.Top);
    FCanvas->LineTo(R.Right - 1, R.Bottom - 1);
    FCanvas->LineTo(R.Left - 1, R.Bottom - 1);
}

void TStyleDisplay::FillRect(const TRect& R, TColor Color) {
    FCanvas->Brush()->SetColor(Color);
    FCanvas->FillRect(R);
}

void TStyleDisplay::InvertRect(const TRect& R) {
    FCanvas->SetCopyMode(cmDstInvert);
    FCanvas->CopyRect(R, FCanvas, R);
    FCanvas->SetCopyMode(cmSrcCopy);
}

void TStyleDisplay::DrawGlyph(vcl::TBitmap* Glyph, int X, int Y) {
    Glyph->SetTransparent(true);
    DrawAlphaBitmap(FCanvas, X, Y, Glyph);
}

void TStyleDisplay::DoDrawText(TCanvas* ACanvas, const TRect& TextRect, const rtl::String& Caption,
                               bool MultiLine) {
    UINT Flags = DT_VCENTER | DT_EXTERNALLEADING | DT_NOPREFIX | DT_END_ELLIPSIS;
    if (!MultiLine) Flags |= DT_SINGLELINE;
    if (FBidiMode != bdLeftToRight) Flags |= DT_RTLREADING;
    ACanvas->Brush()->SetStyle(bsClear);
    RECT R = TextRect;
    DrawTextW(ACanvas->Handle(), reinterpret_cast<LPCWSTR>(Caption.utf16()), int(Caption.size()), &R, Flags);
    ACanvas->Brush()->SetStyle(bsSolid);
}

void TStyleDisplay::DrawHeader(TRgCustomColumn* Column, const TRect& R) {
    const TDrawingOptions Options = Column->Header()->DrawingOptions();
    if (FDisplayMedia == dmScreen && Options != doCustomOnly) DrawHeaderBackground(Column, R);
    if (Options == doNormal || Options == doCustom) DrawHeaderContent(Column, R);
    if (OnHeaderDraw) OnHeaderDraw(this, Column->Index(), R);
}

void TStyleDisplay::DrawHeaderContent(TRgCustomColumn* Column, const TRect& R) {
    TColumnHeader* H = Column->Header();
    const bool Horizontal = H->Orientation() == hoHorizontal;
    int E = 0;
    if (H->DisplayMode() != dmImageOnly) {
        if (Horizontal)
            E = (H->MultiLine() ? GetMultiLineTextWidth(FCanvas, H->Caption())
                                : GetTextWidthW(FCanvas, H->Caption())) +
                2;
        else
            E = GetTextHeightW(FCanvas, H->Caption()) + 2;
    }
    int X = R.Left + 2;
    vcl::TBitmap* Glyph = H->Glyph();
    if (!Glyph || Glyph->Empty() || H->DisplayMode() == dmTextOnly) {
        if (H->Alignment() == taRightJustify) {
            X = std::max<int>(R.Right - E - 2, R.Left);
            if (Column->Sorted()) X -= SortArrowRoom;
        } else if (H->Alignment() == taCenter) {
            X = E < R.Right - R.Left ? R.Left + (R.Right - R.Left - E) / 2 : R.Left + 2;
        }
    } else {
        const int GW = Glyph->Width();
        const int GlyphTop = R.Top + (R.Bottom - R.Top) / 2 - Glyph->Height() / 2;
        int GlyphLeft = R.Left + 3;
        if (H->Alignment() == taRightJustify) {
            GlyphLeft = R.Right - GW - E - 2;
            if (Column->Sorted()) GlyphLeft -= SortArrowRoom;
        } else if (H->Alignment() == taCenter) {
            GlyphLeft = R.Left + (R.Right - R.Left) / 2 - (E + GW) / 2;
        }
        X = GlyphLeft + GW + 2;
        if (H->Alignment() == taRightJustify && X < R.Left) X = R.Left;
        if (GlyphLeft >= R.Left) DrawGlyph(Glyph, GlyphLeft, GlyphTop);
    }
    if (H->DisplayMode() != dmImageOnly) {
        if (UseStyles() && StyleElements().Contains(seFont)) {
            TColor Color = clNone;
            if (StyleServices()->GetElementColor(StyleServices()->GetElementDetails(thHeaderItemNormal),
                                                 ecTextColor, Color) &&
                Color != clNone)
                FCanvas->Font()->SetColor(Color);
        }
        TRect TextRect(X, R.Top, R.Right, R.Bottom);
        AdjustTextRect(TextRect);
        if (Horizontal)
            DoDrawText(FCanvas, TextRect, H->Caption(), H->MultiLine());
        else
            DrawVerticalText(FCanvas, TextRect, H->Caption(), H->MultiLine());
    }
    if (!FDefaultDrawing) return;
    const TStyleDisplayAttributes Attributes = GetStyleDisplayAttributes();
    if (Column->Sorted()) {
        const int ArrowX = X + E + 19;
        const int ArrowY = R.Top + (R.Bottom - R.Top) / 2 - 4;
        if ((ArrowX + 8 < R.Right || !H->HideArrow()) && !Attributes.Contains(sdaCustomArrow))
            DrawSortArrow(ArrowX, ArrowY, Column->SortKind() == skAscending);
    }
    if (Column->Focused() && Attributes.Contains(sdaInvertFocus)) {
        if (Column->Location() == clAlone)
            InvertRect(TRect(R.Left - 1, R.Top - 1, R.Right, R.Bottom));
        else
            InvertRect(TRect(R.Left, R.Top, R.Right - 1, R.Bottom));
    }
}

void TStyleDisplay::DrawSortArrow(int X, int Y, bool Ascending) {
    if (FEnableThemes) {
        FCanvas->Brush()->SetColor(clGrayText);
        FCanvas->Pen()->SetColor(clGrayText);
        if (Ascending)
            FCanvas->Polygon({{X, Y + 4}, {X + 4, Y}, {X + 8, Y + 4}});
        else
            FCanvas->Polygon({{X, Y}, {X + 4, Y + 4}, {X + 8, Y}});
        return;
    }
    FCanvas->Pen()->SetColor(clBtnShadow);
    if (Ascending)
        FCanvas->Polyline({{X + 7, Y + 6},
                           {X, Y + 6},
                           {X, Y + 5},
                           {X + 1, Y + 5},
                           {X + 1, Y + 3},
                           {X + 2, Y + 3},
                           {X + 2, Y + 1},
                           {X + 3, Y + 1},
                           {X + 3, Y - 1}});
    else
        FCanvas->Polyline({{X + 7, Y},
                           {X, Y},
                           {X, Y + 1},
                           {X + 1, Y + 1},
                           {X + 1, Y + 3},
                           {X + 2, Y + 3},
                           {X + 2, Y + 5},
                           {X + 3, Y + 5},
                           {X + 3, Y + 7}});
    FCanvas->Pen()->SetColor(clBtnHighlight);
    if (Ascending)
        FCanvas->Polyline({{X + 7, Y + 5},
                           {X + 6, Y + 5},
                           {X + 6, Y + 3},
                           {X + 5, Y + 3},
                           {X + 5, Y + 1},
                           {X + 4, Y + 1},
                           {X + 4, Y - 1}});
    else
        FCanvas->Polyline({{X + 7, Y + 1},
                           {X + 6, Y + 1},
                           {X + 6, Y + 3},
                           {X + 5, Y + 3},
                           {X + 5, Y + 5},
                           {X + 4, Y + 5},
                           {X + 4, Y + 7}});
}

void TStyleDisplay::DrawFooter(TRgCustomColumn* Column, const TRect& R, bool Grid) {
    TColumnFooter* F = Column->Footer();
    TRect Fill = R;
    if (Grid) {
        Fill.Right -= 1;
        Fill.Bottom -= 1;
    }
    if (F->DrawingOptions() != doCustomOnly) {
        FCanvas->Font()->Assign(Column->Font());
        FillRect(Fill, F->Color());
    }
    const auto Custom = Grid ? CustomColors() : std::nullopt;
    FCanvas->Pen()->SetColor(Custom ? Custom->FooterBorder : clBtnFace);
    Line(R.Left, R.Bottom - 1, R.Right - 1, R.Bottom - 1);
    Line(R.Right - 1, R.Top, R.Right - 1, R.Bottom + 1);

    HDC DC = FCanvas->Handle();
    RECT Saved{};
    GetClipBox(DC, &Saved);
    SelectClipRect(FCanvas, Fill);
    if (F->DrawingOptions() == doNormal || F->DrawingOptions() == doCustom) DrawFooterContent(Column, Fill);
    // The owner's drawing is optional here: a footer without one keeps what was painted.
    if (OnDraw) OnDraw(this, Column->Index(), Fill);
    SelectClipRect(FCanvas, Saved);
}

void TStyleDisplay::DrawFooterContent(TRgCustomColumn* Column, const TRect& R) {
    TColumnFooter* F = Column->Footer();
    rtl::String Text = F->Caption();
    if (!F->FormatMask().isEmpty()) {
        if (F->FormatMaskKind() == mkFloat) {
            double Value = 0;
            if (!rtl::TryStrToFloat(Text, Value)) Value = 0;
            Text = rtl::FormatFloat(F->FormatMask(), Value);
        } else {
            Text = FormatMaskText(F->FormatMask(), Text);
        }
    }
    Text = F->TextBefore() + Text + F->TextAfter();
    const bool ImageOnly = F->DisplayMode() == dmImageOnly;
    const int W = ImageOnly ? 0 : FCanvas->TextWidth(Text);
    int X = R.Left + 2;
    vcl::TBitmap* Glyph = F->Glyph();
    if (!Glyph || Glyph->Empty() || F->DisplayMode() == dmTextOnly) {
        if (F->Alignment() == taRightJustify)
            X = R.Right - W - Column->Padding();
        else if (F->Alignment() == taCenter)
            X = R.Left + (R.Right - R.Left) / 2 - W / 2;
    } else {
        const int GW = Glyph->Width();
        const int GlyphTop = R.Top + (R.Bottom - R.Top) / 2 - Glyph->Height() / 2;
        int GlyphLeft = R.Left + 3;
        if (F->Alignment() == taRightJustify) {
            GlyphLeft = R.Right - GW - W - Column->Padding() - 2;
            if (Column->Sorted()) GlyphLeft -= SortArrowRoom;
        } else if (F->Alignment() == taCenter) {
            GlyphLeft = R.Left + (R.Right - R.Left) / 2 - (GW + W) / 2;
        }
        X = GlyphLeft + GW + 2;
        DrawGlyph(Glyph, GlyphLeft, GlyphTop);
    }
    if (ImageOnly) return;
    if (X < R.Left) X = R.Left;
    DoDrawText(FCanvas, TRect(X, R.Top, R.Right, R.Bottom), Text, false);
}

void TStyleDisplay::DrawInput(TRgCustomColumn* Column, const TRect& R, bool Grid, bool Selected,
                              bool Focused) {
    FCanvas->Font()->Assign(Column->Font());
    if (Selected && !Column->Input()) {
        FCanvas->Font()->SetColor(clHighlightText);
        FCanvas->Font()->SetStyle({});
        FCanvas->Brush()->SetColor(Focused ? clHighlight : clBtnFace);
        if (Column->Selected()) {
            FCanvas->Brush()->SetColor(Column->Color());
            FCanvas->Font()->SetColor(clGrayText);
        }
    } else {
        FCanvas->Font()->SetColor(clGrayText);
        FCanvas->Font()->SetStyle({});
        FCanvas->Brush()->SetColor(Column->Color());
    }
    TRect Box = R;
    if (Selected && Grid) {
        Box.Right -= 1;
        Box.Bottom -= 1;
    }
    if (Column->Input())
        FCanvas->FrameRect(Box);
    else
        FCanvas->FillRect(Box);
    if (Selected && Grid) {
        FCanvas->Pen()->SetColor(clHighlight);
        Line(R.Left, R.Bottom - 1, R.Right - 1, R.Bottom - 1);
        Line(R.Right - 1, R.Top, R.Right - 1, R.Bottom + 1);
    }
    const TRect TextRect(R.Left + 2, R.Top, R.Right - 1, R.Bottom - 1);
    if (!Column->InputValue().isEmpty())
        TGraphicsProvider::DrawTextRect(FCanvas, TextRect, Column->Alignment(),
                                        Column->GetInputDrawText(Column->InputValue()), FBidiMode);
    else
        TGraphicsProvider::DrawTextRect(FCanvas, TextRect, taCenter, Column->InputCaption(), FBidiMode);
}

void TStyleDisplay::DrawIndicator(const TRect& R, int Index, bool, bool) {
    FillRect(TRect(1, R.Top + 1, R.Right - 1, R.Bottom), clBtnFace);
    FCanvas->Pen()->SetColor(clBtnHighlight);
    Line(0, R.Top, 0, R.Bottom + 1);
    if (Index < 1) {
        Line(1, R.Top, R.Right - 1, R.Top);
    } else {
        FCanvas->SetPixels(1, R.Top, clBtnFace);
        FCanvas->SetPixels(R.Right - 2, R.Top, clBtnFace);
        Line(2, R.Top, R.Right - 2, R.Top);
    }
    FCanvas->Pen()->SetColor(clBtnShadow);
    FCanvas->SetPixels(1, R.Bottom - 1, clBtnFace);
    FCanvas->SetPixels(R.Right - 2, R.Bottom - 1, clBtnFace);
    Line(R.Right - 1, R.Top, R.Right - 1, R.Bottom);
    Line(2, R.Bottom - 1, R.Right - 2, R.Bottom - 1);
}

void TStyleDisplay::DrawIndicatorState(const TRect& R, bool Selected, bool Highlighted) {
    auto* Owner = dynamic_cast<IStyleDisplayOwner*>(FOwner);
    const auto Custom = Owner && Owner->IsGridControl() ? CustomColors() : std::nullopt;
    auto Triangle = [&](TColor Color) {
        const TPoint P = TCalcProvider::PosInRect(6, 11, 0, R, taCenter, taVerticalCenter);
        FCanvas->Pen()->SetColor(Color);
        FCanvas->Brush()->SetColor(Color);
        FCanvas->Polygon({{P.X, P.Y}, {P.X + 5, P.Y + 5}, {P.X, P.Y + 10}});
    };
    if (Custom) {
        if (Selected || Highlighted) {
            FCanvas->Pen()->SetColor(Custom->IndicatorHotBackground);
            FCanvas->Brush()->SetColor(Custom->IndicatorHotBackground);
            FCanvas->Rectangle(TRect(R.Left, R.Top, R.Right, R.Bottom + 1));
        }
        if (Selected) Triangle(Custom->IndicatorHotTriangle);
        return;
    }
    if (Selected) Triangle(clWindowText);
    if (Highlighted) InvertRect(R);
}

void TStyleDisplay::DrawCornerBox(const TRect& R, TBoxLocation) {
    FillRect(R, OwnerColor());
}
void TStyleDisplay::DrawInactiveHeader(const TRect& R) {
    FillRect(R, OwnerColor());
}
void TStyleDisplay::DrawAreaSplitter(const TRect& R) {
    DrawCornerBox(R, bpAlone);
}

int TStyleDisplay::GetHeaderContentWidth(TRgCustomColumn* Column) {
    TColumnHeader* H = Column->Header();
    const int E = H->Orientation() == hoHorizontal ? FCanvas->TextWidth(H->Caption())
                                                   : FCanvas->TextHeight(H->Caption());
    const int GW = H->Glyph() ? H->Glyph()->Width() : 0;
    switch (H->DisplayMode()) {
    case dmImageOnly:
        return GW;
    case dmTextAndImage:
        return GW + E + 2;
    default:
        return E;
    }
}

int TStyleDisplay::GetHeaderSpacing(TRgCustomColumn* Column) {
    if (!FDefaultDrawing || FDisplayMedia == dmPaper) return 0;
    return FEnableThemes && Column->Header()->DisplayMode() == dmTextOnly ? 11 : 2;
}

// ---- default style ----------------------------------------------------------------------------------------

TStyleDisplayAttributes TDefaultStyleDisplay::GetStyleDisplayAttributes() {
    return FEnableThemes ? TStyleDisplayAttributes{sdaHoverEnabled} : TStyleDisplayAttributes{sdaInvertFocus};
}

void TDefaultStyleDisplay::DrawHeaderBackground(TRgCustomColumn* Column, const TRect& R) {
    if (UseStyles())
        DrawStyledHeader(Column, R);
    else if (FEnableThemes)
        DrawThemedHeader(Column, R);
    else
        DrawClassicHeader(Column, R);
}

void TDefaultStyleDisplay::DrawStyledHeader(TRgCustomColumn* Column, const TRect& R) {
    const TThemedHeader Item = Column->Focused() ? thHeaderItemPressed
                               : Column->Hover() ? thHeaderItemHot
                                                 : thHeaderItemNormal;
    StyleServices()->DrawElement(FCanvas->Handle(), StyleServices()->GetElementDetails(Item), R);
}

void TDefaultStyleDisplay::DrawThemedHeader(TRgCustomColumn* Column, const TRect& R) {
    const int State = Column->Focused() ? HIS_PRESSED : Column->Hover() ? HIS_HOT : HIS_NORMAL;
    const RECT Rc = R;
    ThemeLibrary().DrawThemeBackground(FTheme, FCanvas->Handle(), HP_HEADERITEM, State, &Rc, nullptr);
}

void TDefaultStyleDisplay::DrawClassicHeader(TRgCustomColumn* Column, const TRect& R) {
    const TColor Face = Column->Header()->Color();
    FillRect(TCalcProvider::ResizeRect(R, 1, 1, -1, -1), Face);
    const TColumnLocation Location = Column->Location();
    if (Location == clAlone) {
        FCanvas->Pen()->SetColor(clBtnHighlight);
        Line(R.Left, R.Bottom - 1, R.Left, R.Top);
        FCanvas->LineTo(R.Right - 1, R.Top);
        FCanvas->Pen()->SetColor(clBtnShadow);
        FCanvas->LineTo(R.Right - 1, R.Bottom - 1);
        FCanvas->LineTo(R.Left - 1, R.Bottom - 1);
        return;
    }
    FCanvas->Pen()->SetColor(clBtnHighlight);
    Line(R.Left, R.Top, R.Right, R.Top);
    if (Location == clLeftSide) {
        Line(R.Left, R.Top + 1, R.Left, R.Bottom - 1);
    } else {
        Line(R.Left, R.Top + 2, R.Left, R.Bottom - 2);
        FCanvas->SetPixels(R.Left, R.Top + 1, Face);
        FCanvas->SetPixels(R.Left, R.Bottom - 2, Face);
    }
    FCanvas->Pen()->SetColor(clBtnShadow);
    Line(R.Left, R.Bottom - 1, R.Right, R.Bottom - 1);
    if (Location == clRightSide) {
        Line(R.Right - 1, R.Top, R.Right - 1, R.Bottom - 1);
    } else {
        Line(R.Right - 1, R.Top + 2, R.Right - 1, R.Bottom - 2);
        FCanvas->SetPixels(R.Right - 1, R.Top + 1, Face);
        FCanvas->SetPixels(R.Right - 1, R.Bottom - 2, Face);
    }
}

void TDefaultStyleDisplay::DrawCornerBox(const TRect& R, TBoxLocation Location) {
    if (UseStyles()) {
        StyleServices()->DrawElement(FCanvas->Handle(),
                                     StyleServices()->GetElementDetails(thHeaderItemLeftNormal), R);
        return;
    }
    if (Location == bpAlone) {
        if (FEnableThemes) {
            const RECT Rc = R;
            ThemeLibrary().DrawThemeBackground(FTheme, FCanvas->Handle(), HP_HEADERITEM, HIS_NORMAL, &Rc,
                                               nullptr);
        } else {
            TGraphicsProvider::DrawButton(FCanvas, R, false);
        }
    } else if (Location == bpBottom) {
        FillRect(TRect(1, R.Top + 1, R.Right - 1, R.Bottom), clBtnFace);
        FCanvas->Pen()->SetColor(clBtnHighlight);
        Line(0, R.Top, 0, R.Bottom);
        FCanvas->SetPixels(1, R.Top + 1, clBtnFace);
        FCanvas->SetPixels(R.Right - 2, R.Top + 1, clBtnFace);
        Line(2, R.Top + 1, R.Right - 2, R.Top + 1);
        FCanvas->Pen()->SetColor(clBtnShadow);
        FCanvas->SetPixels(1, R.Top, clBtnFace);
        FCanvas->SetPixels(R.Right - 2, R.Top, clBtnFace);
        RightBottomLine(R);
        Line(2, R.Top, R.Right - 2, R.Top);
    }
}

void TDefaultStyleDisplay::DrawInactiveHeader(const TRect& R) {
    if (UseStyles()) {
        StyleServices()->DrawElement(FCanvas->Handle(),
                                     StyleServices()->GetElementDetails(thHeaderItemRightNormal), R);
    } else if (FEnableThemes) {
        const RECT Rc = R;
        ThemeLibrary().DrawThemeBackground(FTheme, FCanvas->Handle(), HP_HEADERITEMRIGHT, 1, &Rc, nullptr);
    } else {
        TStyleDisplay::DrawInactiveHeader(R);
    }
}

void TDefaultStyleDisplay::DrawIndicator(const TRect& R, int Index, bool Selected, bool Highlighted) {
    if (UseStyles())
        StyleServices()->DrawElement(FCanvas->Handle(),
                                     StyleServices()->GetElementDetails(thHeaderItemLeftNormal), R);
    else
        TStyleDisplay::DrawIndicator(R, Index, Selected, Highlighted);
}

// ---- flat style (the program's look) ----------------------------------------------------------------------

void TFlatStyleDisplay::DrawHeaderFace(TRgCustomColumn* Column, const TRect& R) {
    FillRect(R, Column->Header()->Color());
    const auto Custom = CustomColors();
    FCanvas->Pen()->SetColor(Custom ? Custom->HeaderGrid : clGrayText);
    if (Column->Last() && DontDrawVertGridOnLastCol())
        Line(R.Left - 1, R.Bottom - 1, R.Right, R.Bottom - 1);
    else
        RightBottomLine(R);
}

void TFlatStyleDisplay::DrawIndicator(const TRect& R, int, bool Selected, bool Highlighted) {
    const auto Custom = CustomColors();
    if (Custom) {
        FCanvas->Pen()->SetColor(Selected || Highlighted ? Custom->IndicatorColumnGridSelected
                                                         : Custom->IndicatorColumnGrid);
        FillRect(R, Custom->IndicatorColumnBackground);
    } else {
        FCanvas->Pen()->SetColor(clGrayText);
        FillRect(R, clBtnFace);
    }
    RightBottomLine(R);
}

void TFlatStyleDisplay::DrawCornerBox(const TRect& R, TBoxLocation) {
    const auto Custom = CustomColors();
    if (Custom) {
        // Boxes below the header (input row, footer) take the bottom colours.
        const bool Below = R.Top > 4;
        FCanvas->Pen()->SetColor(Below ? Custom->CornerBoxBottomBorder : Custom->CornerBoxTopBorder);
        FillRect(R, Below ? Custom->CornerBoxBottom : Custom->CornerBoxTop);
    } else {
        FCanvas->Pen()->SetColor(clGrayText);
        FillRect(R, clBtnFace);
    }
    RightBottomLine(R);
}

void TFlatStyleDisplay::DrawAreaSplitter(const TRect& R) {
    const auto Custom = CustomColors();
    FillRect(R, Custom ? Custom->FooterAreaSplitter : clBtnFace);
}

// ---- office styles ----------------------------------------------------------------------------------------

TColor TOffice2007StyleDisplay::FaceFrom() const {
    return clWhite;
}
TColor TOffice2007StyleDisplay::FaceTo() const {
    return GetSchemeColor(11);
}
TColor TOffice2010StyleDisplay::FaceFrom() const {
    return GetSchemeColor(6);
}
TColor TOffice2010StyleDisplay::FaceTo() const {
    return GetSchemeColor(7);
}

void TOffice2007StyleDisplay::DrawHeaderFace(TRgCustomColumn* Column, const TRect& R) {
    if (Column->Focused())
        DrawTopBottomGradient(FCanvas, R, FaceTo(), FaceFrom());
    else
        DrawTopBottomGradient(FCanvas, R, FaceFrom(), FaceTo());
    const TColumnLocation Location = Column->Location();
    if (Location == clLeftSide || Location == clMiddle) {
        FCanvas->Pen()->SetColor(GetSchemeColor(10));
        Line(R.Right - 1, R.Top + 2, R.Right - 1, R.Bottom - 3);
    } else {
        FCanvas->Pen()->SetColor(GetSchemeColor(2));
        Line(R.Right - 1, R.Top, R.Right - 1, R.Bottom - 1);
    }
    FCanvas->Pen()->SetColor(GetSchemeColor(2));
    Line(R.Left, R.Bottom - 1, R.Right, R.Bottom - 1);
}

void TOffice2007StyleDisplay::DrawCornerBox(const TRect& R, TBoxLocation) {
    DrawTopBottomGradient(FCanvas, R, FaceFrom(), FaceTo());
    FCanvas->Pen()->SetColor(GetSchemeColor(2));
    RightBottomLine(R);
}

void TOffice2007StyleDisplay::DrawAreaSplitter(const TRect& R) {
    FillRect(R, GetSchemeColor(11));
}

void TOffice2010StyleDisplay::DrawSortArrow(int X, int Y, bool Ascending) {
    FCanvas->Pen()->SetColor(clBlack);
    FCanvas->Brush()->SetColor(0xB5ACA5);
    if (Ascending)
        FCanvas->Polygon({{X, Y + 4}, {X + 4, Y}, {X + 8, Y + 4}});
    else
        FCanvas->Polygon({{X, Y}, {X + 4, Y + 4}, {X + 8, Y}});
}

// ---- old style --------------------------------------------------------------------------------------------

void TOldStyleDisplay::DrawCornerBox(const TRect& R, TBoxLocation) {
    TGraphicsProvider::DrawButton(FCanvas, R, true);
}

// ---- Outlook style ----------------------------------------------------------------------------------------

void TOutlookStyleDisplay::DrawShadeRows(const TRect& R, TColor Color) {
    int Alpha = 50;
    for (int y = R.Bottom - 3; y < R.Bottom; ++y, Alpha += 50) {
        FCanvas->Pen()->SetColor(AlphaBlendColor(clBtnShadow, Color, Alpha));
        Line(R.Left, y, R.Right, y);
    }
}

void TOutlookStyleDisplay::DrawHeaderFace(TRgCustomColumn* Column, const TRect& R) {
    const TColor Face = Column->Header()->Color();
    FillRect(TRect(R.Left, R.Top, R.Right, R.Bottom - 3), Face);
    const TColumnLocation Location = Column->Location();
    FCanvas->Pen()->SetColor(clBtnHighlight);
    if (Location == clAlone || Location == clLeftSide)
        Line(R.Left, R.Top, R.Left, R.Bottom - 3);
    else
        Line(R.Left, R.Top + 2, R.Left, R.Bottom - 4);
    FCanvas->Pen()->SetColor(clBtnShadow);
    if (Location == clAlone || Location == clRightSide)
        Line(R.Right - 1, R.Top, R.Right - 1, R.Bottom - 1);
    else
        Line(R.Right - 1, R.Top + 2, R.Right - 1, R.Bottom - 4);
    DrawShadeRows(R, Face);
}

void TOutlookStyleDisplay::DrawCornerBox(const TRect& R, TBoxLocation) {
    FillRect(TRect(R.Left, R.Top, R.Right, R.Bottom - 3), clBtnFace);
    FCanvas->Pen()->SetColor(clBtnShadow);
    Line(R.Right - 1, R.Top, R.Right - 1, R.Bottom - 1);
    DrawShadeRows(R, clBtnFace);
}

void TOutlookStyleDisplay::DrawAreaSplitter(const TRect& R) {
    TGraphicsProvider::DrawButton(FCanvas, R, false);
}

// ---- Vista style ------------------------------------------------------------------------------------------

TRect TVistaStyleDisplay::DrawVistaEdges(const TRect& R) {
    FCanvas->Pen()->SetColor(clWhite);
    Line(R.Left, R.Top, R.Left, R.Bottom);
    FCanvas->Pen()->SetColor(clBtnFace);
    Line(R.Right - 1, R.Top, R.Right - 1, R.Bottom);
    return TRect(R.Left + 1, R.Top, R.Right - 1, R.Bottom);
}

void TVistaStyleDisplay::DrawHeaderFace(TRgCustomColumn* Column, const TRect& R) {
    const TRect Inner = DrawVistaEdges(R);
    if (!Column->Sorted()) {
        FillRect(Inner, 0xF0F0F0);
        return;
    }
    const int GradientBottom = std::min<int>(Inner.Top + 6, Inner.Bottom);
    DrawTopBottomGradient(FCanvas, TRect(Inner.Left, Inner.Top, Inner.Right, GradientBottom), 0xF0DCAF,
                          clWhite);
    FillRect(TRect(Inner.Left, GradientBottom, Inner.Right, Inner.Bottom), clWhite);
    DrawVistaSortMark(R.Left + (R.Right - R.Left) / 2 - 3, 0, Column->SortKind() == skAscending);
}

void TVistaStyleDisplay::DrawVistaSortMark(int X, int Y, bool Ascending) {
    FCanvas->Pen()->SetColor(clWhite);
    FCanvas->Brush()->SetColor(clWhite);
    if (Ascending)
        FCanvas->Polygon({{X + 3, Y}, {X + 6, Y + 3}, {X, Y + 3}});
    else
        FCanvas->Polygon({{X, Y}, {X + 3, Y + 3}, {X + 6, Y}});
}

void TVistaStyleDisplay::DrawIndicator(const TRect& R, int, bool, bool) {
    FillRect(DrawVistaEdges(R), 0xF0F0F0);
}

// ---- factory ----------------------------------------------------------------------------------------------

std::unique_ptr<TStyleDisplay> CreateStyleDisplay(int HeaderStyle, rtl::TComponent* AOwner) {
    switch (HeaderStyle) {
    case 1:
        return std::make_unique<TFlatStyleDisplay>(AOwner);
    case 2:
        return std::make_unique<TOffice2007StyleDisplay>(AOwner);
    case 3:
        return std::make_unique<TOffice2010StyleDisplay>(AOwner);
    case 4:
        return std::make_unique<TOldStyleDisplay>(AOwner);
    case 5:
        return std::make_unique<TOutlookStyleDisplay>(AOwner);
    case 6:
        return std::make_unique<TVistaStyleDisplay>(AOwner);
    default:
        return std::make_unique<TDefaultStyleDisplay>(AOwner);
    }
}

} // namespace grid
