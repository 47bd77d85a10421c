// grid/Selection.cpp: the grid's selection model: the current cell, the rows' Selected flags in
// full-row mode, Ctrl and Shift selection from an anchor row, select all and clear, and the moves by
// row, page, column and Tab with the events they fire.
#include "grid/GridControl.h"

namespace grid {

using namespace vcl;

void TRgCustomGridControl::SelectCell(int ACol, int ARow, TShiftState Shift, bool Deselect, bool AutoEdit) {
    bool Accept = CanSelectCell(ACol, ARow, Shift);
    if (OnBeforeSelect) OnBeforeSelect(this, ACol, ARow, Accept);
    if (!Accept) return;
    const bool ShiftKey = Shift.Contains(ssShift);
    const bool CtrlKey = Shift.Contains(ssCtrl);
    if (FGridState.Contains(gtMultiSelect) && Deselect && !ShiftKey && !CtrlKey) NoSelection();
    if (!FColumns->Exists(ACol) || !FColumns->Item(ACol)->Enabled()) return;

    const int OldCol = FSelectedColumn;
    const int OldRow = FSelectedRow;
    FSelectedColumn = ACol;
    FSelectedRow = ARow;
    const bool SameRow = ARow == OldRow;
    const bool CellChanged = !SameRow || ACol != OldCol;
    if (CellChanged) {
        // The handler already sees the new cell as the selected one.
        if (CellBounds(OldCol, OldRow) && OnDeselectCell) OnDeselectCell(this, OldCol, OldRow);
        if (FGridState.Contains(gtEdit)) EndEditing();
    }
    if (FAutoScroll && RowExist(ARow)) ScrollToRow(ARow);

    if (FInputSelected) {
        if (OldCol == ACol) return;
        if (OnInputSelectCell) OnInputSelectCell(this, ACol);
        RefreshInputCell(ACol);
        if (FColumns->Exists(OldCol)) RefreshInputCell(OldCol);
        return;
    }
    if (GetRowCount() == 0) return;

    if (FOptions.Contains(goSelectFullRow)) {
        const bool Multi = FOptions.Contains(goMultiSelect);
        if (Multi && CtrlKey && !ShiftKey) {
            FFromSelected = ARow;
            FGridState.Include(gtMultiSelect);
            SetSelected(ARow, !GetSelected(ARow));
            if (!SameRow) RefreshRow(OldRow);
            if (OnSelectCell) OnSelectCell(this, ACol, ARow);
            return;
        }
        // Without an anchor row a Shift-click is a plain click: there is no range to select.
        if (Multi && ShiftKey && RowExist(FFromSelected) && RowExist(ARow)) {
            FGridState.Include(gtMultiSelect);
            const int Anchor = FFromSelected;
            const int From = std::min(Anchor, ARow);
            const int To = std::max(Anchor, ARow);
            if (!CtrlKey) {
                for (int r = 0; r < From; ++r) SetSelected(r, false);
                for (int r = To + 1, n = GetRowCount(); r < n; ++r) SetSelected(r, false);
            }
            SelectRange(From, To, true);
            if (!SameRow) {
                RefreshRow(ARow);
                RefreshRow(OldRow);
            }
            if (OnSelectCell) OnSelectCell(this, ACol, ARow);
            return;
        }
        if (SameRow && FAppearanceOptions.Contains(aoIndicateSelectedCell) && ACol != OldCol) {
            RefreshCell(ACol, ARow);
            if (FColumns->Exists(OldCol)) RefreshCell(OldCol, ARow);
        }
        if (!SameRow && !FGridState.Contains(gtMultiSelect) && RowExist(OldRow)) SetSelected(OldRow, false);
        if (RowExist(ARow)) SetSelected(ARow, true);
        FFromSelected = ARow;
        if (!Updating()) {
            RefreshRow(ARow);
            RefreshRow(OldRow);
        }
        if (OnSelectCell) OnSelectCell(this, ACol, ARow);
    } else {
        if (CellChanged) {
            if (!SameRow) {
                RefreshIndicator(ARow);
                RefreshIndicator(OldRow);
            }
            RefreshCell(ACol, ARow);
            if (FColumns->Exists(OldCol)) RefreshCell(OldCol, OldRow);
        }
        if (OnSelectCell) OnSelectCell(this, ACol, ARow);
    }
    if (AutoEdit) EditCell(ACol, ARow, String());
}

void TRgCustomGridControl::SelectAll() {
    if (!MultiSelect()) return;
    BeginUpdate();
    for (int r = 0, n = GetRowCount(); r < n; ++r) SetSelected(r, true);
    FGridState.Include(gtMultiSelect);
    EndUpdate(true);
}

void TRgCustomGridControl::ClearSelection() {
    for (int r = 0, n = GetRowCount(); r < n; ++r)
        if (GetSelected(r)) SetSelected(r, false);
    FSelectedRow = -1;
    FSelectedColumn = -1;
}

void TRgCustomGridControl::NoSelection() {
    BeginUpdate();
    ClearSelection();
    EndUpdate(true);
    FGridState.Exclude(gtMultiSelect);
    FSelectedRow = -1;
    FSelectedColumn = 0;
}

void TRgCustomGridControl::SelectFirstRow(TShiftState Shift) {
    LeaveInput();
    SelectCell(FSelectedColumn, GetFirstVisibleRow(), Shift, true, false);
    FVertScrollBar->First();
}

void TRgCustomGridControl::SelectLastRow(TShiftState Shift) {
    LeaveInput();
    SelectCell(FSelectedColumn, GetLastVisibleRow(), Shift, true, false);
    FVertScrollBar->Last();
}

void TRgCustomGridControl::SelectFirstColumn() {
    TRgCustomColumn* C = FColumns->FirstEnabled();
    if (!C) return;
    SetSelectedColumn(C->Index());
    ScrollToColumn(C);
}

void TRgCustomGridControl::SelectLastColumn() {
    TRgCustomColumn* C = FColumns->Last();
    if (!C) return;
    SetSelectedColumn(C->Index());
    ScrollToColumn(C);
}

// The AutoEdit a move passes on: that of the column the selection stays in or goes to.
static bool ColumnAutoEdit(TRgColumns* Columns, int ACol) {
    return Columns->Exists(ACol) && Columns->Item(ACol)->AutoEdit();
}

void TRgCustomGridControl::MoveSelectionUp(TShiftState Shift) {
    if (!RowExist(FSelectedRow)) return;
    if (FSelectedRow == GetFirstVisibleRow() && FOptions.Contains(goInput) && FGridStyle == gsReport) {
        FInputSelected = true;
        RefreshInputCell(FSelectedColumn);
        RefreshRow(FSelectedRow);
        return;
    }
    for (int r = FSelectedRow - 1; r >= 0; --r) {
        if (!GetRowVisible(r) || !CanSelectCell(FSelectedColumn, r, Shift)) continue;
        SelectCell(FSelectedColumn, r, Shift, true, ColumnAutoEdit(FColumns, FSelectedColumn));
        if (r < FFirstRow) FVertScrollBar->MoveBy(-1);
        return;
    }
}

void TRgCustomGridControl::MoveSelectionDown(TShiftState Shift, bool NextControl, bool SelectFirst) {
    if (GetRowCount() == 0) return;
    if (FInputSelected) {
        // The input row lies above the rows: Down comes back to the first row, as Up from it went there.
        FInputSelected = false;
        RefreshInputCell(FSelectedColumn);
        const int First = SelectRowBelow(-1, Shift);
        if (First >= 0 && (First < FFirstRow || First >= LastRowInView())) ScrollToRow(First);
        return;
    }
    if (!RowExist(FSelectedRow)) return;
    if (FSelectedRow == GetLastVisibleRow()) {
        if (NextControl) SelectNextInParent();
        if (SelectFirst) SelectFirstRow({});
        return;
    }
    MoveByRow(true, Shift);
}

int TRgCustomGridControl::SelectRowBelow(int Row, TShiftState Shift) {
    const bool AutoEdit = ColumnAutoEdit(FColumns, FSelectedColumn);
    for (int r = Row + 1, n = GetRowCount(); r < n; ++r) {
        if (!GetRowVisible(r) || !CanSelectCell(FSelectedColumn, r, Shift)) continue;
        SelectCell(FSelectedColumn, r, Shift, true, AutoEdit);
        return r;
    }
    return -1;
}

void TRgCustomGridControl::MoveByRow(bool MoveDown, TShiftState Shift) {
    if (MoveDown) {
        const int Below = SelectRowBelow(FSelectedRow, Shift);
        if (Below >= 0 && Below >= LastRowInView()) ScrollToRow(Below);
        return;
    }
    const bool AutoEdit = ColumnAutoEdit(FColumns, FSelectedColumn);
    if (FSelectedRow == GetFirstVisibleRow() && FOptions.Contains(goInput)) {
        FInputSelected = true;
        RefreshInputCell(FSelectedColumn);
        return;
    }
    for (int r = FSelectedRow - 1; r >= 0; --r) {
        if (!GetRowVisible(r) || !CanSelectCell(FSelectedColumn, r, Shift)) continue;
        SelectCell(FSelectedColumn, r, Shift, true, AutoEdit);
        if (r < FFirstRow) FVertScrollBar->MoveBy(-1);
        return;
    }
}

void TRgCustomGridControl::MoveSelectionLeft(TMoveSelectionKey Key) {
    if (!FColumns->Exists(FSelectedColumn)) return;
    int Target = FColumns->Item(FSelectedColumn)->PrevColumn()->Index();
    if (OnSelectionMove) OnSelectionMove(this, Target, FSelectedRow, Key);
    SelectCell(Target, FSelectedRow, {}, true, ColumnAutoEdit(FColumns, Target));
    if (FGridStyle == gsReport && FColumns->Exists(Target)) ScrollToColumn(FColumns->Item(Target));
}

void TRgCustomGridControl::MoveSelectionRight(TMoveSelectionKey Key) {
    if (!FColumns->Exists(FSelectedColumn)) return;
    int Target = FColumns->Item(FSelectedColumn)->NextColumn()->Index();
    if (OnSelectionMove) OnSelectionMove(this, Target, FSelectedRow, Key);
    SelectCell(Target, FSelectedRow, {}, true, ColumnAutoEdit(FColumns, Target));
    if (FGridStyle == gsReport && FColumns->Exists(Target)) ScrollToColumn(FColumns->Item(Target));
}

void TRgCustomGridControl::MoveToNextCell(bool TabKey) {
    if (!FColumns->Exists(FSelectedColumn)) return;
    const TMoveSelectionKey Key = TabKey ? mkTab : mkUndefined;
    if (!FColumns->Item(FSelectedColumn)->Last()) {
        MoveSelectionRight(Key);
        return;
    }
    if (FInputSelected) {
        if (FTabLeaveControl) SelectNextInParent();
        return;
    }
    MoveSelectionDown({}, TabKey && FTabLeaveControl, TabKey);
    TRgCustomColumn* First = FColumns->FirstEnabled();
    if (!First) return;
    int Target = First->Index();
    if (OnSelectionMove) OnSelectionMove(this, Target, FSelectedRow, Key);
    SetSelectedColumn(Target);
}

void TRgCustomGridControl::MoveToPrevCell(bool TabKey) {
    if (!FColumns->Exists(FSelectedColumn)) return;
    const TMoveSelectionKey Key = TabKey ? mkTab : mkUndefined;
    if (!FColumns->Item(FSelectedColumn)->First()) {
        MoveSelectionLeft(Key);
        return;
    }
    if (!FInputSelected && FSelectedRow > GetFirstVisibleRow()) {
        MoveSelectionUp({});
        TRgCustomColumn* Last = FColumns->LastEnabled();
        if (!Last) return;
        int Target = Last->Index();
        if (OnSelectionMove) OnSelectionMove(this, Target, FSelectedRow, Key);
        SetSelectedColumn(Target);
        return;
    }
    if (FTabLeaveControl) SelectPriorInParent();
}

void TRgCustomGridControl::MoveSelectionBy(int Distance) {
    if (!RowExist(FSelectedRow)) return;
    int r = FSelectedRow;
    const int Last = GetLastVisibleRow();
    const int First = GetFirstVisibleRow();
    for (int n = std::abs(Distance); n > 0; --n) {
        int Next = r + (Distance > 0 ? 1 : -1);
        while (Next >= First && Next <= Last && !GetRowVisible(Next)) Next += Distance > 0 ? 1 : -1;
        if (Next < First || Next > Last) break;
        r = Next;
    }
    SetSelectedRow(r);
}

} // namespace grid
