// grid/GridGeometry.cpp: where the grid's areas, rows and cells lie in the report view, how rows are
// stacked with the grid-line spacing, the two scroll ranges and what a scroll position means (the
// vertical one counts visible rows above the first row in view), scrolling rows and columns into view,
// and what a size change or a scroll message does.
#include "grid/GridControl.h"

namespace grid {

using namespace vcl;

// ---- areas ---------------------------------------------------------------------------------------------

TRect TRgCustomGridControl::GetHeaderRect() {
    const int IW = IndicatorSize();
    return TRect(IW, 0, FColumns->ClientWidth() + IW - HorzPosition(), FHeaderSize);
}

TRect TRgCustomGridControl::GetInputRect() {
    const int IW = IndicatorSize();
    const int Top = FOptions.Contains(goHeader) ? FHeaderSize : 0;
    return TRect(IW, Top, FColumns->ClientWidth() + IW - HorzPosition(), Top + FInputSize + 6 + FGridSpace[lpBottom]);
}

TRect TRgCustomGridControl::GetBodyRect() {
    const int IW = IndicatorSize();
    const int Width = TControl::ClientWidth();
    const int Height = TControl::ClientHeight();
    if (FGridStyle == gsSlides)
        return TRect(IW, FOptions.Contains(goHeader) ? FHeaderSize : 0, Width + IW, Height);
    int Top = FOptions.Contains(goHeader) ? FHeaderSize : 0;
    if (FOptions.Contains(goInput)) Top += FInputSize + 6 + FGridSpace[lpBottom];
    const int Bottom = FOptions.Contains(goFooter) ? Height - FFooterSize - 4 - FGridSpace[lpBottom] : Height;
    return TRect(IW, Top, std::min(FColumns->ClientWidth() + IW - HorzPosition(), Width), Bottom);
}

TRect TRgCustomGridControl::GetFooterRect() {
    if (FGridStyle == gsSlides) return {};
    const int IW = IndicatorSize();
    const int Height = TControl::ClientHeight();
    return TRect(IW, Height - FFooterSize - 4 - FGridSpace[lpBottom], FColumns->ClientWidth() + IW - HorzPosition(),
                 Height);
}

TRect TRgCustomGridControl::GetIndicatorRect() { return TRect(0, 0, IndicatorWidth, TControl::ClientHeight()); }

TRect TRgCustomGridControl::GetScrollRect() {
    return TRect(GetFixedWidth() + IndicatorSize(), 0, TControl::ClientWidth(), TControl::ClientHeight());
}

TRect TRgCustomGridControl::GetInputCellRect(int ACol) {
    TRgCustomColumn* C = FColumns->Item(ACol);
    const int Top = GetInputRect().Top;
    const int L = C->Left() - HorzPosition();
    return TRect(L, Top, L + C->Width(), Top + FInputSize);
}

// ---- rows ----------------------------------------------------------------------------------------------

int TRgCustomGridControl::GetRowTop(int Index) {
    int Top = GetBodyRect().Top + FGridSpace[lpTop];
    const int Count = GetRowCount();
    for (int r = FFirstRow; r < Index; ++r) {
        // Hidden rows take no room; past the last row the empty rows continue with the default height.
        const int Height = r >= Count ? (FGridStyle == gsSlides ? FSlideSize : FRowSize) : GetRowVisible(r) ? GetActualRowHeight(r) : 0;
        if (Height > 0) Top += Height + LineSpace();
    }
    return Top;
}

TRect TRgCustomGridControl::GetRowRect(int Index) {
    const int Top = GetRowTop(Index);
    const int Height = RowExist(Index) ? GetRowHeight(Index) : FRowSize;
    return TRect(0, Top, GetBodyRect().Right, Top + Height + FGridSpace[lpBottom]);
}

TRect TRgCustomGridControl::GetCellRect(int ACol, int ARow) {
    TRgCustomColumn* C = FColumns->Item(ACol);
    const int L = C->AbsoluteLeft();
    const int Top = GetRowTop(ARow);
    return TRect(L, Top, L + C->Width(), Top + (RowExist(ARow) ? GetRowHeight(ARow) : FRowSize));
}

int TRgCustomGridControl::GetVisibleCount(bool Expand) {
    const TRect Body = GetBodyRect();
    const int Room = Body.Bottom - Body.Top;
    const int Count = GetRowCount();
    int Used = 0, Fit = 0;
    int r = FFirstRow;
    for (; r < Count; ++r) {
        if (!GetRowVisible(r)) continue;
        const int Height = GetRowHeight(r) + LineSpace();
        if (Used + Height > Room) break;
        Used += Height;
        ++Fit;
    }
    if (r >= Count && Expand)
        for (int Above = FFirstRow - 1; Above >= 0; --Above) {
            if (!GetRowVisible(Above)) continue;
            const int Height = GetRowHeight(Above) + LineSpace();
            if (Used + Height > Room) break;
            Used += Height;
            ++Fit;
        }
    return Fit;
}

int TRgCustomGridControl::LastRowInView() {
    const TRect Body = GetBodyRect();
    const int Room = Body.Bottom - Body.Top;
    const int Count = GetRowCount();
    int Used = 0, Last = FFirstRow;
    for (int r = FFirstRow; r < Count; ++r) {
        if (!GetRowVisible(r)) continue;
        Used += GetRowHeight(r) + LineSpace();
        if (Used > Room) break;
        Last = r;
    }
    return Last;
}

// The last row shown completely, counting slides in the slides view; -1 when none is.
static int LastFullyShown(TRgCustomGridControl* G, int FirstRow) {
    const TRect Body = G->GetBodyRect();
    const int Room = Body.Bottom - Body.Top;
    int Used = 0, Last = -1;
    for (int r = FirstRow, n = G->RowCount(); r < n; ++r) {
        if (!G->GetRowVisible(r)) continue;
        Used += G->GetActualRowHeight(r) + G->GetGridSpace(lpTopBottom);
        if (Used > Room) break;
        Last = r;
    }
    return Last;
}

int TRgCustomGridControl::GetInnerWidth() {
    return FGridStyle == gsReport && FOptions.Contains(goIndicator) ? TControl::ClientWidth() - IndicatorWidth
                                                                     : TControl::ClientWidth();
}

int TRgCustomGridControl::GetHorzOverflow() {
    const int Overflow = FColumns->ClientWidth() + IndicatorSize() - TControl::ClientWidth();
    return Overflow > 0 ? Overflow : 0;
}

int TRgCustomGridControl::GetRowByVisibleCount(int Count) {
    const int Rows = GetRowCount();
    int r = FFirstRow;
    for (int Steps = Count - 1; Steps > 0 && r < Rows - 1;) {
        ++r;
        if (GetRowVisible(r)) --Steps;
    }
    return r;
}

int TRgCustomGridControl::CountVisibleRows(int FromRow, int ToRow) {
    const int From = std::max(FromRow, 0), To = std::min(ToRow, GetRowCount());
    if (To <= From) return 0;
    // With no row hidden or folded away every row in the range counts, without reading each one.
    if (GetVisibleRows() == GetRowCount()) return To - From;
    int Count = 0;
    for (int r = From; r < To; ++r)
        if (GetRowVisible(r)) ++Count;
    return Count;
}

int TRgCustomGridControl::RowAtVertPosition() {
    const int Rows = GetRowCount();
    int r = 0;
    while (r < Rows - 1 && !GetRowVisible(r)) ++r;
    for (int Steps = FVertScrollBar->Position(); Steps > 0 && r < Rows - 1;) {
        ++r;
        if (GetRowVisible(r)) --Steps;
    }
    return r;
}

// ---- scrolling -----------------------------------------------------------------------------------------

void TRgCustomGridControl::ScrollToRow(int Index) {
    if (!RowExist(Index)) return;
    if (Index <= LastFullyShown(this, FFirstRow)) {
        if (Index < FFirstRow) FVertScrollBar->SetPosition(FVertScrollBar->Position() - CountVisibleRows(Index, FFirstRow));
        return;
    }
    // Scroll down just far enough that the row's bottom reaches the body's bottom: the rows leaving the
    // top give up their room.
    const int BodyBottom = GetBodyRect().Bottom;
    int Bottom = GetRowTop(Index) + GetActualRowHeight(Index);
    int Count = 0;
    for (int r = FFirstRow; r < Index && Bottom > BodyBottom; ++r) {
        if (!GetRowVisible(r)) continue;
        Bottom -= GetActualRowHeight(r) + LineSpace();
        ++Count;
    }
    if (Count == 0) return;
    FVertScrollBar->SetPosition(FVertScrollBar->Position() + Count);
    ScrolledRows(Count);
}

void TRgCustomGridControl::ScrollToColumn(TRgCustomColumn* AColumn) {
    if (!AColumn || AColumn->Position() < FFixedCols) return;
    const int X = AColumn->Left() - HorzPosition();
    const int ScrollLeft = GetScrollRect().Left;
    if (X < ScrollLeft)
        FHorzScrollBar->MoveBy(X - ScrollLeft);
    else if (X + AColumn->Width() > TControl::ClientWidth())
        FHorzScrollBar->MoveBy(X + AColumn->Width() - TControl::ClientWidth());
    RepositionEditor();
}

void TRgCustomGridControl::UpdateHorzScrollRange() {
    if (FGridStyle == gsSlides) {
        FHorzScrollBar->SetVisible(false);
        return;
    }
    const int Total = FColumns->ClientWidth() + IndicatorSize();
    const int Width = TControl::ClientWidth();
    const int Position = HandleAllocated() ? GetScrollPos(WindowHandle(), SB_HORZ) : FHorzScrollBar->Position();
    const bool Show = Width > GetSystemMetrics(SM_CXHSCROLL) && Width + 1 < Total;
    const int PreviousPage = FHorzScrollBar->PageSize();
    FHorzScrollBar->SetPageSize(Width + 1);
    FHorzScrollBar->SetMax(Total);
    FHorzScrollBar->SetLargeChange(PreviousPage - 10);
    FHorzScrollBar->SetVisible(Show);
    if (Show)
        FHorzScrollBar->SetPosition(Position);
    else if (FHorzScrollBar->Position() != 0)
        FHorzScrollBar->SetPosition(0); // no bar left to bring shifted columns back
}

void TRgCustomGridControl::UpdateVertScrollRange() {
    const int Count = GetRowCount();
    const int V = Count == 1 ? 0 : GetVisibleRows();
    // Whole rows that fit from the first row in view; past the last row the empty rows count.
    const TRect Body = GetBodyRect();
    const int Room = Body.Bottom - Body.Top;
    int F = 0;
    for (int r = FFirstRow, Used = 0;; ++r) {
        if (r < Count && !GetRowVisible(r)) continue;
        const int Height = (r < Count ? GetActualRowHeight(r) : FGridStyle == gsSlides ? FSlideSize : FRowSize) + LineSpace();
        if (Height <= 0 || Used + Height > Room) break;
        Used += Height;
        ++F;
    }
    if (F < V) {
        FVertScrollBar->SetPageSize(F + 1);
        FVertScrollBar->SetLargeChange(F + 1);
        FVertScrollBar->SetMax(V);
    } else {
        FVertScrollBar->SetMax(0);
    }
    if (F + 1 >= V) FVertScrollBar->SetPosition(CountVisibleRows(0, FFirstRow));
}

int TRgCustomGridControl::GetHorzScrollDelta(int OldPosition, int NewPosition) { return OldPosition - NewPosition; }

int TRgCustomGridControl::GetVertScrollDelta(int OldPosition, int NewPosition) {
    const int Count = GetRowCount();
    const auto RowRoom = [&](int r) { return GetActualRowHeight(r) + FGridSpace[lpTop] + FGridSpace[lpBottom]; };
    int Delta = 0;
    int r = FFirstRow;
    if (NewPosition > OldPosition) {
        while (r < Count - 1 && !GetRowVisible(r)) ++r; // hidden rows at the top take no room
        for (int n = NewPosition - OldPosition; n > 0; --n) {
            int Next = r + 1;
            while (Next < Count && !GetRowVisible(Next)) ++Next;
            if (Next >= Count) break;
            Delta -= RowRoom(r);
            r = Next;
        }
    } else {
        for (int n = OldPosition - NewPosition; n > 0; --n) {
            int Prior = r - 1;
            while (Prior >= 0 && !GetRowVisible(Prior)) --Prior;
            if (Prior < 0) break;
            Delta += RowRoom(Prior);
            r = Prior;
        }
    }
    FFirstRow = std::max(0, std::min(r, std::max(Count - 1, 0)));
    return Delta;
}

// ---- messages ------------------------------------------------------------------------------------------

void TRgCustomGridControl::WMScroll(TWMScroll& Message, TRgCustomScrollBar* Bar) {
    if (Bar->Kind() == skVertical) {
        if (FGridState.Contains(gtEdit)) EndEditing();
        UpdateVertScrollRange();
        TRgScrollControl::WMScroll(Message, Bar);
        return;
    }
    EndEditing();
    // The XOR frame is taken off where it is and put back where the content moved it.
    XorFocusRect();
    TRgScrollControl::WMScroll(Message, Bar);
    XorFocusRect();
}



void TRgCustomGridControl::WMSizeChanged() {
    const int Width = TControl::ClientWidth();
    const int Height = TControl::ClientHeight();
    if (Height != FOldHeight) {
        if (FGridStyle == gsSlides) {
            InvalidateArea(TRect(0, std::min(FOldHeight, Height), Width, std::max(FOldHeight, Height)));
        } else if (FOptions.Contains(goFooter)) {
            const TRect Footer = GetFooterRect();
            InvalidateArea(TRect(0, Footer.Top, Width, Height));
            const int OldTop = FOldHeight - FFooterSize - 4 - FGridSpace[lpBottom];
            InvalidateArea(TRect(0, OldTop, Width, FOldHeight));
        }
        if (Height > FOldHeight) {
            // Rows above the first one in view come back into the room that opened below the last row.
            const int Count = GetRowCount();
            for (;;) {
                int Prior = FFirstRow - 1;
                while (Prior >= 0 && !GetRowVisible(Prior)) --Prior;
                if (Prior < 0 || FVertScrollBar->Position() <= 0) break;
                const int RowsBottom = GetRowTop(Count) - FGridSpace[lpTop];
                if (GetBodyRect().Bottom - RowsBottom < GetRowHeight(Prior) + LineSpace()) break;
                const int FirstBefore = FFirstRow;
                FVertScrollBar->SetPosition(FVertScrollBar->Position() - 1);
                if (FFirstRow == FirstBefore) break;
            }
            FVertResizeKind = rkExpansion;
        } else {
            FVertResizeKind = rkShrink;
        }
        FOldHeight = Height;
        UpdateVertScrollRange();
    }
    if (Width != FOldWidth) {
        if (HorzPosition() > 0)
            Invalidate();
        else
            InvalidateArea(TRect(std::min(FOldWidth, Width) - (FGridStyle == gsSlides ? 3 : 0), 0, std::max(FOldWidth, Width),
                                 Height));
        FColumns->AnchorSlides(FOldWidth, Width);
        FOldWidth = Width;
        FColumns->ResizeColumns(nullptr, false);
        UpdateHorzScrollRange();
        if (!FCaption.isEmpty() && GetVisibleRows() == 0) InvalidateArea(GetBodyRect());
    }
    if (FGridState.Contains(gtEdit)) EndEditing();
}

} // namespace grid
