// grid/GridPaint.cpp: how the grid paints its report view: the body rows and their cells, the empty
// rows below the last one, the indicator column, the header, input and footer parts, the grid lines,
// cell and selection colours, the focus frame, the caption of an empty grid and the window edge; best
// fit of columns and rows; and the repaint requests, each sized to what changed.
#include "grid/GridControl.h"

namespace grid {

using namespace vcl;

namespace {

bool Intersects(const TRect& A, const TRect& B) {
    return A.Left < B.Right && B.Left < A.Right && A.Top < B.Bottom && B.Top < A.Bottom;
}

// Puts things back on every way out of a scope.
template <class F> struct TOnExit {
    F Run;
    ~TOnExit() { Run(); }
};
template <class F> TOnExit(F) -> TOnExit<F>;

// Black blended in with weight 10: the darkening of a sorted column.
TColor Darkened(TColor Color) { return TGraphicsProvider::BlendColor(clBlack, Color, 10); }

} // namespace

void AssignFont(TFont* Dest, TFont* Source) {
    if (Dest == Source) return;
    if (Dest->Name() == Source->Name() && Dest->Height() == Source->Height() && Dest->Style() == Source->Style() &&
        Dest->Charset() == Source->Charset() && Dest->Orientation() == Source->Orientation() &&
        Dest->Pitch() == Source->Pitch() && Dest->Quality() == Source->Quality() &&
        Dest->PixelsPerInch() == Source->PixelsPerInch()) {
        Dest->SetColor(Source->Color());
        return;
    }
    Dest->Assign(Source);
}

// ---- the paint -----------------------------------------------------------------------------------------

void TRgCustomGridControl::Paint() {
    TRgScrollControl::Paint();
    if (Updating()) return;
    HDC DC = Canvas()->Handle();
    // The clip the paint was given (the part of a picture asked for) stays under every cell's own clip.
    FPaintClip = CreateRectRgn(0, 0, 0, 0);
    if (GetClipRgn(DC, FPaintClip) != 1) {
        DeleteObject(FPaintClip);
        FPaintClip = nullptr;
    }
    TOnExit Restore{[this, DC] {
        SelectClipRgn(DC, FPaintClip);
        if (FPaintClip) DeleteObject(FPaintClip);
        FPaintClip = nullptr;
    }};
    const int Width = TControl::ClientWidth();
    const int Height = TControl::ClientHeight();
    if (FGridStyle == gsReport) {
        const TRect Body = GetBodyRect();
        SetHorzScrollClipRect(TRect(GetFixedWidth() + Body.Left, 0, Width, Height));
        SetVertScrollClipRect(TRect(0, Body.Top, Width, Body.Bottom));
        PaintReport();
        PaintRightStrip();
    } else {
        PaintSlides();
    }
    if (GetVisibleRows() == 0) PaintCaption();
    if (OnPostDraw) OnPostDraw(this);
}

void TRgCustomGridControl::PaintRightStrip() {
    const int Right = IndicatorSize() + FColumns->ClientWidth() - HorzPosition();
    const int Width = TControl::ClientWidth();
    if (Right >= Width) return;
    ResetCanvasClip();
    TCanvas* C = Canvas();
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(Color());
    int Top = 0;
    if (IsThemingActive() && FHeaderStyle == hsAuto && FOptions.Contains(goHeader)) {
        FCurrentStyleDisplay->SetCanvas(C);
        FCurrentStyleDisplay->DrawInactiveHeader(TRect(Right, 0, Width, FHeaderSize));
        C->Brush()->SetColor(Color());
        Top = FHeaderSize;
    }
    C->FillRect(TRect(Right, Top, Width, TControl::ClientHeight()));
}

void TRgCustomGridControl::PaintCaption() {
    if (FCaption.isEmpty()) return;
    ResetCanvasClip();
    TCanvas* C = Canvas();
    AssignFont(C->Font(), Font());
    if (!Enabled()) C->Font()->SetColor(clGrayText);
    const TRect Body = GetBodyRect();
    const int Top = Body.Top + 4;
    RECT R{Body.Left - HorzPosition(), Top, TControl::ClientWidth() - HorzPosition(), Top + C->TextHeight(FCaption)};
    C->Brush()->SetStyle(bsClear);
    DrawTextW(C->Handle(), reinterpret_cast<LPCWSTR>(FCaption.utf16()), int(FCaption.size()), &R,
              DT_CENTER | DT_SINGLELINE | DT_NOPREFIX);
    C->Brush()->SetStyle(bsSolid);
}

void TRgCustomGridControl::PaintReport() {
    PaintReportRows();
    PaintReportParts();
}

bool TRgCustomGridControl::ColumnCellRect(TRgCustomColumn* Column, int Top, int Height, TRect& R) {
    if (!Column->Visible()) return false;
    const bool Scrolled = Column->Position() >= FFixedCols;
    const int X = Column->AbsoluteLeft();
    // Hidden behind the fixed columns, or off either side.
    if (Scrolled && X + Column->Width() <= GetScrollRect().Left) return false;
    if (X > TControl::ClientWidth() || X + Column->Width() < 0) return false;
    R = TRect(X, Top, X + Column->Width(), Top + Height);
    return true;
}

void TRgCustomGridControl::PaintReportRows() {
    const TRect Body = GetBodyRect();
    const int Count = GetRowCount();
    const int Columns = FColumns->Count();
    int Row = FFirstRow;
    int Top = Body.Top;
    while (Top < Body.Bottom) {
        FLastRow = Row;
        const bool StoreRow = Row < Count;
        if (StoreRow && !GetRowVisible(Row)) {
            ++Row;
            continue;
        }
        const int Height = GetRowHeight(Row);
        if (!StoreRow && Height < 1) {
            // A height below 1 past the last row would never reach the bottom: the rest is background.
            ResetCanvasClip();
            Canvas()->Brush()->SetStyle(bsSolid);
            Canvas()->Brush()->SetColor(Color());
            Canvas()->FillRect(TRect(0, Top, Body.Right, Body.Bottom));
            break;
        }
        Top += FGridSpace[lpTop];
        const bool Partial = StoreRow && BlankPartialRows() && Top + Height > Body.Bottom;
        for (int p = 0; p < Columns; ++p) {
            TRgCustomColumn* Column = FColumns->PositionItem(p);
            TRect R;
            if (!ColumnCellRect(Column, Top, Height, R)) continue;
            if (StoreRow && !Partial)
                DrawCell(Column->Index(), Row, R);
            else
                PaintEmptyCell(Column->Index(), Row, R);
        }
        if (FOptions.Contains(goIndicator)) {
            if (StoreRow) {
                const int Current = SelectedRow();
                DrawIndicatorCell(Row, Row == Current && !FInputSelected,
                                  !FInputSelected && (GetSelected(Row) || Row == Current));
            } else {
                DrawIndicatorCell(Row, false, false);
            }
        }
        Top += Height + FGridSpace[lpBottom];
        ++Row;
    }
    FLastRow = Row;
    ResetCanvasClip();
    if (FOptions.Contains(goSelectFullRow)) PaintFocusRect();
}

TRect TRgCustomGridControl::CellClipRect(TRgCustomColumn* Column, const TRect& CellRect) {
    TRect R = CellRect;
    if (Column->Position() >= FFixedCols) R.Left = std::max(R.Left, GetScrollRect().Left);
    R.Left -= FGridSpace[lpLeft];
    R.Top -= FGridSpace[lpTop];
    R.Right += FGridSpace[lpRight];
    R.Bottom = std::min(R.Bottom + FGridSpace[lpBottom], GetBodyRect().Bottom);
    return R;
}

void TRgCustomGridControl::DrawCell(int ACol, int ARow, const TRect& CellRect) {
    TRgCustomColumn* Column = FColumns->Item(ACol);
    if (!Column->Visible()) return;
    TCanvas* C = Canvas();
    RECT Box{};
    GetClipBox(C->Handle(), &Box);
    if (!Intersects(CellRect, TRect(Box))) return;
    AssignFont(C->Font(), Column->Font());
    TColor CellColor = GetActualCellColor(ACol, ARow);
    TColor GridColor = FGridLinesColor;
    TColumnDisplay* Display = Column->Display();
    TCellState State;
    const bool Highlighted = IsCellHighlighted(ACol, ARow);
    if (Highlighted) {
        State.Include(csSelected);
        if (FAppearanceOptions.Contains(aoBoldTextSelection)) State.Include(csBoldTextSelection);
    }
    Display->SetHighlighted(Highlighted);
    if (Focused() && !FAppearanceOptions.Contains(aoHideFocus)) State.Include(csFocused);
    if (OnCellColoring) OnCellColoring(this, ACol, ARow, CellColor, GridColor, State);
    if (Column->Sorted() && !Highlighted) {
        if (FSortedStyle == soDarker)
            CellColor = FKW_CustomizationEnabled ? FKW_SortDarker : Darkened(CellColor);
        else if (FSortedStyle == soWhite)
            CellColor = TColor(0xFFFFFF);
    }
    ClipCanvas(CellClipRect(Column, CellRect));
    C->Pen()->SetColor(clBlack);
    if (FOptions.Contains(goGrid) && FGridStyle == gsReport) DrawCellGrid(ACol, ARow, CellRect, GridColor);
    TRect R = CellRect;
    R.Left += FGridSpace[lpLeft];
    R.Right -= FGridSpace[lpRight];
    const TDrawingOptions Drawing = Column->DrawingOptions();
    bool Fill = !FAppearanceOptions.Contains(aoDontFillCells) && Drawing != doCustomOnly;
    FPaintingCell = TPoint(ACol, ARow);
    {
        TOnExit Reset{[this] {
            FPaintingCell = TPoint(-1, -1);
            ResetCanvasClip();
        }};
        if (OnDrawCellBackground) OnDrawCellBackground(this, ACol, ARow, R, State, Fill);
        Display->SetCanvas(C);
        Display->SetHandle(WindowHandle());
        Display->SetClientRect(R);
        Display->SetImageIndex(GetRowImageIndex(ARow));
        Display->SetHighlightedTextColor(FHighlightedTextColor);
        PrepareCellDisplay(ACol, ARow, Display);
        if (Editing() && FEditingCell == TPoint(ACol, ARow)) {
            // The editor paints itself: its area is left alone so that it does not flicker.
            TRect E = R;
            Column->AdjustEditRect(GetRowLevel(ARow), E);
            E.Inflate(-1, -1);
            E.Bottom -= 1;
            ExcludeClipRect(C->Handle(), E.Left, E.Top, E.Right, E.Bottom);
        }
        if (Column->OnSetCell) {
            BeginUpdate();
            TOnExit Close{[this] { EndUpdate(false); }};
            Column->OnSetCell(Column, ACol, ARow, R, State);
        }
        if (Fill) Display->PaintBackground(CellColor, true);
        Display->SetSelected(ACol == FSelectedColumn && ARow == SelectedRow());
        TRect Client = Display->ClientRect();
        Client.Left += Column->Padding();
        Client.Right -= Column->Padding();
        Display->SetClientRect(Client);
        if ((Drawing == doNormal || Drawing == doCustom) && !IsCellEmpty(ACol, ARow) &&
            ApplyCellFont(ACol, ARow, State))
            Display->Paint();
        if (FAppearanceOptions.Contains(aoHintMarks) && !GetCellHint(ACol, ARow).isEmpty()) Display->DrawHintMark();
        if (Drawing != doNormal && OnCustomDrawCell) OnCustomDrawCell(this, ACol, ARow, R, State);
        if (!FOptions.Contains(goSelectFullRow) && ACol == FSelectedColumn && ARow == SelectedRow()) PaintFocusRect();
    }
    if (!ComponentState().Contains(rtl::csDesigning) && KW_AfterDrawCell) KW_AfterDrawCell(this, ACol, ARow, R, State);
}

void TRgCustomGridControl::PaintEmptyCell(int ACol, int ARow, const TRect& CellRect) {
    TRgCustomColumn* Column = FColumns->Item(ACol);
    TColor CellColor = Color();
    if (Column->Sorted() && FAppearanceOptions.Contains(aoIndicateSortedColumn)) CellColor = Darkened(CellColor);
    // No lines below the rows under the active-row styles.
    TColor GridColor =
        FGridLinesStyle == lsActiveRows || FGridLinesStyle == lsActiveHorzOnly ? CellColor : FGridLinesColor;
    ClipCanvas(CellClipRect(Column, CellRect));
    TOnExit Reset{[this] { ResetCanvasClip(); }};
    if (OnCellColoring) OnCellColoring(this, ACol, ARow, CellColor, GridColor, TCellState{csEmpty});
    Canvas()->Pen()->SetColor(clBlack);
    if (FOptions.Contains(goGrid)) DrawCellGrid(ACol, ARow, CellRect, GridColor);
    TRect R = CellRect;
    R.Left += FGridSpace[lpLeft];
    R.Right -= FGridSpace[lpRight];
    bool Fill = true;
    if (OnDrawCellBackground) OnDrawCellBackground(this, ACol, ARow, R, TCellState{csEmpty}, Fill);
    if (Fill) {
        Canvas()->Brush()->SetStyle(bsSolid);
        Canvas()->Brush()->SetColor(CellColor);
        Canvas()->FillRect(R);
    }
}

void TRgCustomGridControl::DrawCellGrid(int ACol, int ARow, const TRect& R, TColor GridColor) {
    TCanvas* C = Canvas();
    const auto Line = [C](TColor Color, int X1, int Y1, int X2, int Y2) {
        C->Pen()->SetStyle(psSolid);
        C->Pen()->SetWidth(1);
        C->Pen()->SetColor(Color);
        C->MoveTo(X1, Y1);
        C->LineTo(X2, Y2);
    };
    const bool Framed = FGridLinesStyle == lsFramed;
    if (FGridSpace[lpBottom] > 0) {
        TColor Color = GridColor;
        if (RowExist(ARow) && ARow == GetLastVisibleRow()) {
            if (Framed) Color = clBlack;
            if (FKW_LastRowHorizontalGridColor != clNone) Color = FKW_LastRowHorizontalGridColor;
        }
        Line(Color, R.Left, R.Bottom, R.Right + 1, R.Bottom);
    }
    if (FGridSpace[lpTop] > 0) Line(clBtnHighlight, R.Left, R.Top - 1, R.Right + 1, R.Top - 1);
    if (FGridSpace[lpLeft] > 0) Line(clBtnHighlight, R.Left, R.Top - 1, R.Left, R.Bottom + 1);
    if (FGridSpace[lpRight] >= 1) {
        TColor Color = GridColor;
        if (RowExist(ARow) && FColumns->Last() == FColumns->Item(ACol)) {
            if (Framed) Color = clBlack;
            if (FKW_LastColVerticalGridColor != clNone) Color = FKW_LastColVerticalGridColor;
        }
        Line(Color, R.Right - 1, R.Top - 1, R.Right - 1, R.Bottom + 1);
    }
}

void TRgCustomGridControl::DrawIndicatorCell(int Index, bool Selected, bool Highlighted) {
    const int Top = GetRowTop(Index);
    const int Height = RowExist(Index) ? GetRowHeight(Index) : FRowSize;
    const TRect R(0, Top - FGridSpace[lpTop], IndicatorWidth, Top + Height + FGridSpace[lpBottom]);
    ResetCanvasClip();
    FCurrentStyleDisplay->SetCanvas(Canvas());
    if (FIndicatorDrawingOptions == doNormal || FIndicatorDrawingOptions == doBackgroundOnly)
        FCurrentStyleDisplay->DrawIndicator(R, Index, Selected, Highlighted);
    if (FIndicatorDrawingOptions == doNormal || FIndicatorDrawingOptions == doCustom)
        FCurrentStyleDisplay->DrawIndicatorState(R, Selected, Highlighted);
    if (FIndicatorDrawingOptions != doNormal && OnCustomDrawIndicator)
        OnCustomDrawIndicator(this, Index, R, Selected, Highlighted);
}

void TRgCustomGridControl::DoCustomDrawHeader(TObject*, int Index, const TRect& HeaderRect) {
    if (OnCustomDrawHeader) OnCustomDrawHeader(this, Index, HeaderRect);
}

void TRgCustomGridControl::DoCustomDrawFooter(TObject*, int Index, const TRect& FooterRect) {
    if (OnCustomDrawFooter) OnCustomDrawFooter(this, Index, FooterRect);
}

void TRgCustomGridControl::PaintReportParts() {
    TStyleDisplay* Painter = FCurrentStyleDisplay;
    Painter->SetCanvas(Canvas());
    const int Width = TControl::ClientWidth();
    const TRect Scroll = GetScrollRect();
    for (int p = 0, n = FColumns->Count(); p < n; ++p) {
        TRgCustomColumn* Column = FColumns->PositionItem(p);
        if (!Column->Visible()) continue;
        const bool Scrolled = Column->Position() >= FFixedCols;
        const int X = Column->AbsoluteLeft();
        if (X > Width) break;
        if (Column->Left() < 0 || (Scrolled && X + Column->Width() <= Scroll.Left)) continue;
        if (Scrolled)
            ClipCanvas(Scroll);
        else
            ResetCanvasClip();
        Painter->SetEnableThemes(FEnableVisualStyles && IsThemingActive());
        AssignFont(Canvas()->Font(), Column->Header()->ParentFont() ? Font() : Column->Header()->Font());
        if (FOptions.Contains(goHeader)) {
            Painter->OnHeaderDraw = TDisplayDrawEvent(this, &TRgCustomGridControl::DoCustomDrawHeader);
            Painter->DrawHeader(Column, Column->GetMemberRect(ckHeader));
        }
        if (FOptions.Contains(goInput))
            Painter->DrawInput(Column, Column->GetMemberRect(ckInput), FOptions.Contains(goGrid), FInputSelected,
                               Focused());
        if (FOptions.Contains(goFooter)) {
            Painter->OnDraw = TDisplayDrawEvent(this, &TRgCustomGridControl::DoCustomDrawFooter);
            Painter->DrawFooter(Column, Column->GetMemberRect(ckFooter), FOptions.Contains(goGrid));
        }
        ResetCanvasClip();
    }
    const int IW = IndicatorSize();
    if (FOptions.Contains(goInput)) {
        const TRect Input = GetInputRect();
        Painter->DrawAreaSplitter(TRect(IW - HorzPosition(), Input.Bottom - 6, Input.Right, Input.Bottom));
    }
    if (FOptions.Contains(goFooter)) {
        const TRect Footer = GetFooterRect();
        Painter->DrawAreaSplitter(TRect(IW - HorzPosition(), Footer.Top, Footer.Right, Footer.Top + 4));
    }
    if (FOptions.Contains(goIndicator)) {
        if (FOptions.Contains(goInput)) {
            const TRect Input = GetInputRect();
            Painter->DrawCornerBox(TRect(0, Input.Top, IndicatorWidth, Input.Bottom), bpAlone);
        }
        if (FOptions.Contains(goFooter)) {
            const TRect Footer = GetFooterRect();
            Painter->DrawCornerBox(TRect(0, Footer.Top, IndicatorWidth, Footer.Bottom), bpBottom);
        }
        if (FOptions.Contains(goHeader)) Painter->DrawCornerBox(TRect(0, 0, IndicatorWidth, FHeaderSize), bpAlone);
    }
}

// ---- clipping ------------------------------------------------------------------------------------------

void TRgCustomGridControl::ClipCanvas(const TRect& R) {
    HDC DC = Canvas()->Handle();
    POINT View{}, Window{};
    GetViewportOrgEx(DC, &View);
    GetWindowOrgEx(DC, &Window);
    const int DX = View.x - Window.x, DY = View.y - Window.y;
    HRGN Rgn = CreateRectRgn(R.Left + DX, R.Top + DY, R.Right + DX, R.Bottom + DY);
    if (FPaintClip) CombineRgn(Rgn, Rgn, FPaintClip, RGN_AND);
    SelectClipRgn(DC, Rgn);
    DeleteObject(Rgn);
}

void TRgCustomGridControl::ResetCanvasClip() {
    ClipCanvas(TRect(0, 0, TControl::ClientWidth(), TControl::ClientHeight()));
}

// ---- the focus frame -----------------------------------------------------------------------------------

bool TRgCustomGridControl::FocusRectOf(TRect& R, TRect& Clip) {
    const int Row = SelectedRow();
    if (!FColumns->Exists(FSelectedColumn) || !RowExist(Row) || Row < FFirstRow || !GetRowVisible(Row)) return false;
    if (FInputSelected || !Focused() || FAppearanceOptions.Contains(aoHideFocus)) return false;
    const TRect Body = GetBodyRect();
    const int Top = GetRowTop(Row);
    const int Height = GetRowHeight(Row);
    if (FOptions.Contains(goSelectFullRow)) {
        const int Left = Body.Left - HorzPosition();
        R = TRect(Left - FGridSpace[lpLeft], Top, Left + FColumns->ClientWidth() - FGridSpace[lpRight], Top + Height);
        Clip = R;
        Clip.Left = Body.Left;
        Clip.Bottom = std::min(Clip.Bottom, Body.Bottom);
    } else {
        TRgCustomColumn* Column = FColumns->Item(FSelectedColumn);
        if (!Column->Visible()) return false;
        const int X = Column->AbsoluteLeft();
        const TRect Cell(X, Top, X + Column->Width(), Top + Height);
        Clip = CellClipRect(Column, Cell);
        R = Cell;
        R.Left += FGridSpace[lpLeft];
        R.Right -= FGridSpace[lpRight];
    }
    return R.Bottom > Body.Top && R.Top < Body.Bottom;
}

void TRgCustomGridControl::PaintFocusRect() {
    TRect R, Clip;
    if (!FocusRectOf(R, Clip)) return;
    if (!FKW_DoNotDrawFocusRect) {
        ClipCanvas(Clip);
        TGraphicsProvider::DrawFocused(Canvas(), R, FAppearanceOptions.Contains(aoAlphaBlendedSelection));
    }
    ResetCanvasClip();
}

void TRgCustomGridControl::XorFocusRect() {
    if (FAppearanceOptions.Contains(aoAlphaBlendedSelection) || FKW_DoNotDrawFocusRect || !HandleAllocated() ||
        FGridStyle != gsReport || Updating())
        return;
    TRect R, Clip;
    if (!FocusRectOf(R, Clip)) return;
    HDC DC = GetDC(WindowHandle());
    if (!DC) return;
    IntersectClipRect(DC, Clip.Left, Clip.Top, Clip.Right, Clip.Bottom);
    TCanvas C;
    C.SetHandle(DC);
    TGraphicsProvider::DrawFocused(&C, R, false);
    C.SetHandle(nullptr);
    ReleaseDC(WindowHandle(), DC);
}

// ---- cell colours --------------------------------------------------------------------------------------

bool TRgCustomGridControl::IsCellHighlighted(int ACol, int ARow) {
    if (FGridStyle == gsSlides && !FAppearanceOptions.Contains(aoHighlightSlideCells)) return false;
    if (FInputSelected) return false;
    if (FColumns->Exists(ACol) && FColumns->Item(ACol)->Options().Contains(coDontHighlight)) return false;
    if (!Focused() && FAppearanceOptions.Contains(aoHideSelection)) return false;
    const bool Current = ACol == FSelectedColumn && ARow == SelectedRow();
    const bool Edited = Editing() && FEditingCell == TPoint(ACol, ARow);
    if (FOptions.Contains(goSelectFullRow)) {
        if (!RowExist(ARow) || !GetSelected(ARow)) return false;
        return !(Current && (FAppearanceOptions.Contains(aoIndicateSelectedCell) || Edited));
    }
    return Current && !Edited;
}

TColor TRgCustomGridControl::GetActualCellColor(int ACol, int ARow) {
    TColor Color = GetCellColor(ACol, ARow);
    if (FAppearanceOptions.Contains(aoIndicateSortedColumn) && FColumns->Item(ACol)->Sorted()) Color = Darkened(Color);
    if (!IsCellHighlighted(ACol, ARow)) return Color;
    if (!Focused()) return FInactiveSelectionColor;
    if (FAppearanceOptions.Contains(aoAlphaBlendedSelection))
        return TGraphicsProvider::BlendColor(Color, clHighlight, 0.25);
    return FSelectionColor;
}

TColor TRgCustomGridControl::GetActualCellFontColor(int ACol, int ARow) {
    if (IsCellHighlighted(ACol, ARow) && Focused()) return FHighlightedTextColor;
    return FColumns->Item(ACol)->Font()->Color();
}

TCellState TRgCustomGridControl::GetCellState(int ACol, int ARow) {
    AssignFont(Canvas()->Font(), FColumns->Item(ACol)->Font());
    TColor Color = GetActualCellColor(ACol, ARow);
    TColor GridColor = FGridLinesColor;
    TCellState State;
    if (IsCellHighlighted(ACol, ARow)) {
        State.Include(csSelected);
        if (FAppearanceOptions.Contains(aoBoldTextSelection)) State.Include(csBoldTextSelection);
    }
    if (Focused() && !FAppearanceOptions.Contains(aoHideFocus)) State.Include(csFocused);
    if (OnCellColoring) OnCellColoring(this, ACol, ARow, Color, GridColor, State);
    return State;
}

// ---- best fit ------------------------------------------------------------------------------------------

void TRgCustomGridControl::BestFitColumn(int Index, TBestFitMode BestFitMode, bool OnlyVisible) {
    if (!FColumns->Exists(Index)) return;
    TRgCustomColumn* Column = FColumns->Item(Index);
    TCanvas* C = Canvas();
    int W = 8;
    if (BestFitMode != bfCells) {
        AssignFont(C->Font(), Font());
        FCurrentStyleDisplay->SetCanvas(C);
        W = FCurrentStyleDisplay->GetHeaderContentWidth(Column);
    }
    if (BestFitMode != bfHeader) {
        TColumnDisplay* Display = Column->Display();
        Display->SetCanvas(C);
        Display->SetHandle(HandleAllocated() ? WindowHandle() : nullptr);
        for (int r = 0, n = GetRowCount(); r < n; ++r) {
            if (OnlyVisible && !GetRowVisible(r)) continue;
            Display->SetClientRect(TRect(0, 0, Column->Width(), GetRowHeight(r)));
            const TCellState State = GetCellState(Index, r);
            String Text = GetDrawText(Index, r);
            if (OnApplyCell) OnApplyCell(this, Index, r, Text);
            Display->SetAsString(Text);
            ApplyCellFormating(Index, r, Text, State);
            W = std::max(W, Display->GetContentWidth());
        }
    }
    Column->SetWidth(W + 2 * Column->Padding() + 5);
}

int TRgCustomGridControl::GetCellHeight(int ACol, int ARow) {
    TRgCustomColumn* Column = FColumns->Item(ACol);
    TColumnDisplay* Display = Column->Display();
    Display->SetCanvas(Canvas());
    Display->SetClientRect(TRect(0, 0, FGridSpace[lpLeft] + Column->Width() - FGridSpace[lpRight], FRowSize));
    Display->SetLevel(GetRowLevel(ARow));
    const TCellState State = GetCellState(ACol, ARow);
    String Text = GetDrawText(ACol, ARow);
    if (OnApplyCell) OnApplyCell(this, ACol, ARow, Text);
    Display->SetAsString(Text);
    ApplyCellFormating(ACol, ARow, Text, State);
    return Display->GetTextSize().cy;
}

void TRgCustomGridControl::BestFitRow(int Index) {
    if (!RowExist(Index)) return;
    int H = FRowSize;
    for (int c = 0, n = FColumns->Count(); c < n; ++c)
        if (FColumns->Item(c)->Visible()) H = std::max(H, GetCellHeight(c, Index));
    SetRowHeight(Index, H);
}

// ---- the window edge -----------------------------------------------------------------------------------

void TRgCustomGridControl::RepaintWindowEdge() {
    if (HandleAllocated()) PaintWindowEdge();
}

void TRgCustomGridControl::PaintWindowEdge() {
    if (!HandleAllocated()) return;
    const bool Single = FBorderStyle == bsSingle;
    const bool Office = FHeaderStyle == hsOffice2007 || FHeaderStyle == hsOffice2010;
    const bool Flat = FHeaderStyle == hsFlatBorders && FKW_BorderColor != clNone;
    HWND Wnd = WindowHandle();
    RECT Window{};
    GetWindowRect(Wnd, &Window);
    const RECT R{0, 0, Window.right - Window.left, Window.bottom - Window.top};
    if (Single && (Office || Flat)) {
        HDC DC = GetWindowDC(Wnd);
        HBRUSH Brush = CreateSolidBrush(ColorToRGB(Office ? GetSchemeColor(2) : FKW_BorderColor));
        FrameRect(DC, &R, Brush);
        DeleteObject(Brush);
        ReleaseDC(Wnd, DC);
        return;
    }
    SetBorderWidth(0);
    const TThemeLibrary& T = ThemeLibrary();
    if (!Single || !FEnableVisualStyles || !IsThemingActive() || !T.OpenThemeData || !T.DrawThemeBackground) return;
    HTHEME Theme = T.OpenThemeData(Wnd, reinterpret_cast<LPCWSTR>(u"listview"));
    if (!Theme) return;
    HDC DC = GetWindowDC(Wnd);
    const int Inner = BorderWidth() + 1;
    ExcludeClipRect(DC, R.left + Inner, R.top + Inner, R.right - Inner, R.bottom - Inner);
    T.DrawThemeBackground(Theme, DC, 1, 0, &R, nullptr);
    ReleaseDC(Wnd, DC);
    if (T.CloseThemeData) T.CloseThemeData(Theme);
}

// ---- repaint requests ----------------------------------------------------------------------------------

void TRgCustomGridControl::InvalidateArea(const TRect& Rect) {
    if (!HandleAllocated() || Updating() || Rect.Right <= Rect.Left || Rect.Bottom <= Rect.Top) return;
    const RECT R(Rect);
    InvalidateRect(WindowHandle(), &R, FALSE);
}

bool TRgCustomGridControl::RowInView(int Index) {
    // Only rows on screen are measured: finding a row's top walks the rows above it in view.
    if (!HandleAllocated() || Updating() || Index < FFirstRow) return false;
    return Index <= LastRowInView() + 1;
}

void TRgCustomGridControl::RefreshCell(int ACol, int ARow) {
    if (!FColumns->Exists(ACol) || !RowExist(ARow) || !RowInView(ARow)) return;
    TRect R = GetCellRect(ACol, ARow);
    R.Right += FGridSpace[lpBottom];
    R.Bottom += FGridSpace[lpBottom];
    InvalidateArea(R);
}

void TRgCustomGridControl::RefreshRow(int Index, bool BorderOnly) {
    if (!RowExist(Index) || Index < FFirstRow || Index > FLastRow || !HandleAllocated() || Updating()) return;
    const TRect R = GetRowRect(Index);
    InvalidateArea(R);
    if (BorderOnly && R.Width() > 2 && R.Height() > 2) {
        const RECT Inner{R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1};
        ValidateRect(WindowHandle(), &Inner);
    }
}

void TRgCustomGridControl::RefreshRowGrid(int Index) {
    if (!RowExist(Index) || !RowInView(Index)) return;
    const int Bottom = GetRowTop(Index) + GetRowHeight(Index);
    InvalidateArea(TRect(0, Bottom - 1, GetBodyRect().Right, Bottom - 1 + FGridSpace[lpBottom] + 1));
}

void TRgCustomGridControl::RefreshSlide(int Index, bool BorderOnly) {
    if (!RowExist(Index) || !RowInView(Index)) return;
    const int Top = GetRowTop(Index);
    const TRect R(GetBodyRect().Left, Top, TControl::ClientWidth(), Top + FSlideSize);
    InvalidateArea(R);
    if (BorderOnly && R.Width() > 8 && R.Height() > 8) {
        const RECT Inner{R.Left + 3, R.Top + 3, R.Right - 4, R.Bottom - 4};
        ValidateRect(WindowHandle(), &Inner);
    }
}

void TRgCustomGridControl::RefreshArea(TGridArea Area) {
    switch (Area) {
    case gaBody: InvalidateArea(GetBodyRect()); break;
    case gaFooter:
        if (FOptions.Contains(goFooter)) InvalidateArea(GetFooterRect());
        break;
    case gaHeader:
        if (FOptions.Contains(goHeader)) InvalidateArea(GetHeaderRect());
        break;
    case gaIndicator:
        if (FOptions.Contains(goIndicator)) InvalidateArea(GetIndicatorRect());
        break;
    case gaInput:
        if (FOptions.Contains(goInput)) InvalidateArea(GetInputRect());
        break;
    default: break;
    }
}

void TRgCustomGridControl::RefreshIndicator(int Index) {
    if (!FOptions.Contains(goIndicator) || !RowExist(Index) || !RowInView(Index)) return;
    const int Top = GetRowTop(Index);
    InvalidateArea(TRect(0, Top - FGridSpace[lpTop], IndicatorWidth, Top + GetRowHeight(Index) + FGridSpace[lpBottom]));
}

void TRgCustomGridControl::RefreshInputCell(int ACol) {
    if (FColumns->Exists(ACol)) InvalidateArea(GetInputCellRect(ACol));
}

void TRgCustomGridControl::RefreshColumn(TRgCustomColumn* Column, TGridArea Area) {
    if (!Column || Updating()) return;
    const int L = Column->AbsoluteLeft();
    TRect R(L, 0, L + Column->Width(), TControl::ClientHeight());
    switch (Area) {
    case gaBody: R.Top = GetBodyRect().Top, R.Bottom = GetBodyRect().Bottom; break;
    case gaFooter: R.Top = GetFooterRect().Top, R.Bottom = GetFooterRect().Bottom; break;
    case gaHeader: R.Top = GetHeaderRect().Top, R.Bottom = GetHeaderRect().Bottom; break;
    case gaIndicator: R.Top = GetIndicatorRect().Top, R.Bottom = GetIndicatorRect().Bottom; break;
    case gaInput: R.Top = GetInputRect().Top, R.Bottom = GetInputRect().Bottom; break;
    default: break;
    }
    InvalidateArea(R);
}

void TRgCustomGridControl::RefreshColumnSlide(TRgCustomColumn*) { Invalidate(); }

void TRgCustomGridControl::RefreshSelection() {
    if (!HandleAllocated() || Updating()) return;
    if (FInputSelected) RefreshArea(gaInput);
    if (FColumns->Count() == 0 || GetRowCount() == 0) return;
    if (!FOptions.Contains(goSelectFullRow)) {
        RefreshCell(FSelectedColumn, SelectedRow());
        return;
    }
    const int Last = std::min(FFirstRow + GetVisibleCount(false) + 1, GetRowCount());
    for (int r = FFirstRow; r < Last; ++r)
        if (GetSelected(r)) RefreshRow(r);
}

void TRgCustomGridControl::RefreshRange(int FromRow, int ToRow) {
    if (FromRow > ToRow) std::swap(FromRow, ToRow);
    if (!HandleAllocated() || Updating()) return;
    const int Last = LastRowInView() + 1;
    if (ToRow < FFirstRow || FromRow > Last) return;
    FromRow = std::max(FromRow, FFirstRow);
    ToRow = std::min(ToRow, Last);
    const TRect A = GetRowRect(FromRow);
    const TRect B = GetRowRect(ToRow);
    InvalidateArea(TRect(0, A.Top, GetBodyRect().Right, B.Bottom));
}

void TRgCustomGridControl::RefreshRowsFrom(int Index, int Count) {
    if (Count <= 0 || !RowInView(Index)) return;
    const TRect Body = GetBodyRect();
    const TRect First = GetRowRect(Index);
    int Bottom = First.Bottom;
    for (int r = Index + 1, Last = Index + Count - 1; r <= Last && Bottom < Body.Bottom; ++r)
        if (!RowExist(r) || GetRowVisible(r)) Bottom += (RowExist(r) ? GetRowHeight(r) : FRowSize) + LineSpace();
    InvalidateArea(TRect(0, First.Top, Body.Right, std::min(Bottom, Body.Bottom)));
}

} // namespace grid
