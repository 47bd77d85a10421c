// grid/GridSlides.cpp: the grid's second layout, where every visible row is a slide across the client
// width and every column places its cell inside the slide at its own bounds, with an optional caption
// beside or above it: where slides and their cells lie, which slide a point falls on, and how the
// header band and the slides are painted.
#include "grid/GridControl.h"

namespace grid {

using namespace vcl;

// ---- geometry ------------------------------------------------------------------------------------------

int TRgCustomGrid::GetSlideTop(int Index) {
    int Top = GetBodyRect().Top;
    for (int r = FFirstRow, n = GetRowCount(); r < Index && r < n; ++r)
        if (GetRowVisible(r)) Top += FSlideSize + LineSpace();
    return Top;
}

TRect TRgCustomGrid::GetSlideRect(int Index) {
    const int Top = GetSlideTop(Index) + FGridSpace[lpTop];
    return TRect(0, Top, TControl::ClientWidth(), Top + FSlideSize);
}

int TRgCustomGrid::GetSlideAtPos(int X, int Y) {
    (void)X;
    const TRect Body = GetBodyRect();
    if (Y < Body.Top) return FFirstRow;
    int Bottom = Body.Top;
    int r = FFirstRow;
    for (const int n = GetRowCount(); r < n; ++r) {
        if (!GetRowVisible(r)) continue;
        Bottom += FSlideSize + FGridSpace[lpTop];
        if (Bottom >= Y) return r;
        Bottom += FGridSpace[lpBottom];
    }
    return r;
}

TRect TRgCustomGrid::SlideCellRect(TRgCustomColumn* Column, int Top) {
    const TRgSlideBounds* B = Column->SlideBounds();
    return TRect(B->Left(), Top + B->Top(), B->Left() + B->Width(), Top + B->Top() + B->Height());
}

TRect TRgCustomGrid::GetCellRect(int ACol, int ARow) {
    if (FGridStyle == gsReport) return TRgCustomGridControl::GetCellRect(ACol, ARow);
    return SlideCellRect(FColumns->Item(ACol), GetSlideTop(ARow));
}

// ---- painting ------------------------------------------------------------------------------------------

void TRgCustomGrid::PaintSlides() {
    const int Width = TControl::ClientWidth();
    const int Height = TControl::ClientHeight();
    const TRect Body = GetBodyRect();
    if (FOptions.Contains(goHeader) && IsThemingActive() && FHeaderStyle == hsAuto) {
        const int Right = Body.Left + FColumns->ClientWidth() - HorzPosition();
        if (Right < Width) {
            FCurrentStyleDisplay->SetCanvas(Canvas());
            FCurrentStyleDisplay->DrawInactiveHeader(TRect(Right, 0, Width, FHeaderSize));
        }
    }
    SetHorzScrollClipRect(TRect(0, 0, Width, Height));
    SetVertScrollClipRect(TRect(0, Body.Top, Width, Height));
    PaintSlidesHeader();
    PaintSlidesBody();
}

void TRgCustomGrid::PaintSlidesHeader() {
    if (!FOptions.Contains(goHeader)) return;
    TStyleDisplay* Painter = FCurrentStyleDisplay;
    Painter->SetCanvas(Canvas());
    TCanvas* C = Canvas();
    const int Width = TControl::ClientWidth();
    int X = GetBodyRect().Left - HorzPosition();
    ResetCanvasClip();
    for (int p = 0, n = FColumns->Count(); p < n && X < Width; ++p) {
        TRgCustomColumn* Column = FColumns->PositionItem(p);
        if (!Column->Visible()) continue;
        AssignFont(C->Font(), Column->Header()->ParentFont() ? Font() : Column->Header()->Font());
        Painter->SetEnableThemes(FEnableVisualStyles && IsThemingActive());
        Painter->OnHeaderDraw = TDisplayDrawEvent(static_cast<TRgCustomGridControl*>(this), &TRgCustomGrid::DoCustomDrawHeader);
        Painter->DrawHeader(Column, TRect(X, 0, X + Column->Width(), FHeaderSize));
        X += Column->Width();
    }
    if (X < Width) {
        C->Brush()->SetStyle(bsSolid);
        C->Brush()->SetColor(Color());
        C->FillRect(TRect(X, 0, Width, FHeaderSize));
    }
    if (FOptions.Contains(goIndicator)) Painter->DrawCornerBox(TRect(0, 0, IndicatorWidth, FHeaderSize), bpAlone);
}

void TRgCustomGrid::PaintSlideCaption(TRgCustomColumn* Column, const TRect& CellRect) {
    const String& Text = Column->SlideCaption();
    if (Text.isEmpty()) return;
    TCanvas* C = Canvas();
    AssignFont(C->Font(), Font());
    C->Font()->SetColor(FSlideCaptionColor);
    C->Font()->SetStyle({});
    const TRgSlideBounds* B = Column->SlideBounds();
    const int TW = C->TextWidth(Text), TH = C->TextHeight(Text);
    RECT R;
    if (Column->SlideCaptionLocation() == clLeft)
        R = RECT{B->Left() - TW - 2, CellRect.Top, B->Left() - 2, CellRect.Top + B->Height()};
    else
        R = RECT{B->Left() + 2, CellRect.Top - TH - 2, B->Left() + 2 + TW, CellRect.Top - 2};
    C->Brush()->SetStyle(bsClear);
    DrawTextW(C->Handle(), reinterpret_cast<LPCWSTR>(Text.utf16()), int(Text.size()), &R,
              DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
    C->Brush()->SetStyle(bsSolid);
}

void TRgCustomGrid::PaintSlidesBody() {
    TCanvas* C = Canvas();
    const int Width = TControl::ClientWidth();
    const int Height = TControl::ClientHeight();
    const TRect Body = GetBodyRect();
    const int Current = SelectedRow();
    int Top = Body.Top;
    for (int Row = FFirstRow, n = GetRowCount(); Row < n && Top < Height; ++Row) {
        if (!GetRowVisible(Row)) continue;
        FLastRow = Row;
        Top += FGridSpace[lpTop];
        const TRect R(0, Top, Width, Top + FSlideSize + FGridSpace[lpBottom]);
        if (FAppearanceOptions.Contains(ao3DGridLines)) {
            ResetCanvasClip();
            C->Pen()->SetColor(Color());
            C->MoveTo(0, Top - 1);
            C->LineTo(Width, Top - 1);
        }
        ClipCanvas(R);
        TColor SlideColor = Color();
        if (GetSelected(Row) && !FSlideOptions.Contains(soHideSelection))
            SlideColor = Focused() ? FSlideSelectionColor : clBtnFace;
        TSlideState State;
        if (Row == Current) {
            State.Include(stSelected);
            if (FSlideOptions.Contains(soFrame)) State.Include(stFocused);
        }
        TColor GridColor = FGridLinesColor;
        if (OnSlideColoring) OnSlideColoring(this, Row, SlideColor, GridColor, State);
        C->Brush()->SetStyle(bsSolid);
        C->Brush()->SetColor(SlideColor);
        C->FillRect(R);
        if (BlankPartialRows() && Top + FSlideSize > Body.Bottom) break;
        for (int p = 0, Count = FColumns->Count(); p < Count; ++p) {
            TRgCustomColumn* Column = FColumns->PositionItem(p);
            if (!Column->Visible()) continue;
            const TRect Cell = SlideCellRect(Column, Top);
            DrawCell(Column->Index(), Row, Cell);
            ClipCanvas(R);
            PaintSlideCaption(Column, Cell);
        }
        if (State.Contains(stFocused)) {
            C->Brush()->SetStyle(bsClear);
            C->Pen()->SetColor(Focused() ? FSelectionColor : FInactiveSelectionColor);
            C->Rectangle(TRect(R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 2));
            C->Rectangle(TRect(R.Left + 2, R.Top + 2, R.Right - 2, R.Bottom - 3));
            C->Brush()->SetStyle(bsSolid);
        }
        Top += FSlideSize + FGridSpace[lpBottom];
        ResetCanvasClip();
        if (FOptions.Contains(goGrid)) {
            C->Pen()->SetColor(GridColor);
            C->MoveTo(0, Top - 1);
            C->LineTo(Width, Top - 1);
        }
    }
    ResetCanvasClip();
    if (Top < Height) {
        C->Brush()->SetStyle(bsSolid);
        C->Brush()->SetColor(Color());
        C->FillRect(TRect(0, Top, Width, Height));
    }
}

} // namespace grid
