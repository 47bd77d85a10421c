// grid/GridReport.cpp
#include "grid/GridReport.h"

#include "grid/ColumnClasses.h"

namespace grid {

using namespace vcl;

TReportGrid::TReportGrid(rtl::TComponent* AOwner) : TRgCustomGrid(AOwner) {
    FCells = std::make_unique<TCells>(Host(), FColumns);
    FCells->SetRowHeight(FRowSize);
    FCells->OnCellChange = TCellChangeEvent(this, &TReportGrid::CellChanged);
    FCells->OnCompare = TCompareEvent(this, &TReportGrid::CompareCells);
    // Columns added before the store existed (none, unless a subclass adds them) get their lists.
    for (int c = FCells->ColCount(); c < FColumns->Count(); ++c) FCells->AddColumn();
}

TReportGrid::~TReportGrid() {
    // The columns still to go must not reach the store.
    FColumns->OnChange = nullptr;
    FCells.reset();
}

void TReportGrid::CellChanged(TObject*, int ACol, int ARow) {
    if (Updating()) return;
    RefreshCell(ACol, ARow);
    if (OnChange) OnChange(this, ACol, ARow);
}

void TReportGrid::CompareCells(TObject*, TCell* Cell1, TCell* Cell2, int& Compare) {
    if (OnCompare) OnCompare(this, Cell1, Cell2, Compare);
}

void TReportGrid::ColumnsChanged(TColumnsOperation ChangeOpearation, int Value1, int Value2) {
    TRgCustomGrid::ColumnsChanged(ChangeOpearation, Value1, Value2);
    if (FCells) FCells->ColumnsChange(ChangeOpearation, Value1, Value2);
}

// ---- cells ---------------------------------------------------------------------------------------------

void TReportGrid::CheckCell(int ACol, int ARow) {
    if (ARow < 0 || ARow > GetRowCount() - 1 || ACol < 0 || ACol > FColumns->Count() - 1)
        throw rtl::Exception(QStringLiteral("Cell out of bounds (%1, %2)").arg(ACol).arg(ARow));
}

String TReportGrid::GetCells(int ACol, int ARow) {
    CheckCell(ACol, ARow);
    return GetCell(ACol, ARow)->AsString();
}

bool TReportGrid::CellTextStartsWith(int ACol, int ARow, const String& Prefix) {
    CheckCell(ACol, ARow);
    return GetCell(ACol, ARow)->TextStartsWith(Prefix);
}

void TReportGrid::SetCells(int ACol, int ARow, const String& Value) {
    CheckCell(ACol, ARow);
    GetCell(ACol, ARow)->SetAsString(Value);
}

TCellInfo TReportGrid::GetCellInfo(int ACol, int ARow) {
    // Filled from the cell, so a row-number cell gives the number it shows.
    return grid::GetCellInfo(GetCell(ACol, ARow), FColumns->Item(ACol)->ColumnType());
}

String TReportGrid::GetDrawText(int ACol, int ARow) { return FColumns->Item(ACol)->GetDrawText(GetCellInfo(ACol, ARow)); }

String TReportGrid::GetHintText(int ACol, int ARow) { return FColumns->Item(ACol)->GetHintText(GetCellInfo(ACol, ARow)); }

TColor TReportGrid::GetCellColor(int ACol, int ARow) {
    TRgCustomColumn* C = FColumns->Item(ACol);
    return C->ParentCellColor() ? C->Color() : GetCell(ACol, ARow)->Color();
}

String TReportGrid::GetCellHint(int ACol, int ARow) {
    String Hint = GetCell(ACol, ARow)->Hint();
    if (OnCellHint) OnCellHint(this, ACol, ARow, Hint);
    return Hint;
}

bool TReportGrid::IsCellEmpty(int ACol, int ARow) {
    if (GetCell(ACol, ARow)->Empty()) return true;
    return TRgCustomGrid::IsCellEmpty(ACol, ARow);
}

bool TReportGrid::ApplyCellFont(int ACol, int ARow, TCellState CellState) {
    TRgCustomGrid::ApplyCellFont(ACol, ARow, CellState);
    const TCellInfo Info = FillDisplayValues(ACol, ARow, FColumns->Item(ACol)->Display());
    ApplyCellFormating(ACol, ARow, Info.AsString, CellState);
    return true;
}

void TReportGrid::ApplyCellFormating(int ACol, int ARow, const String&, TCellState CellState) {
    TCell* C = GetCell(ACol, ARow);
    TFontStyles FontStyle = C->FontStyle();
    TColor TextColor = Canvas()->Font()->Color();
    if (!CellState.Contains(csSelected)) TextColor = C->TextColor();
    if (CellState.Contains(csBoldTextSelection)) FontStyle.Include(fsBold);
    if (OnCellFormating) OnCellFormating(this, ACol, ARow, TextColor, FontStyle, CellState);
    Canvas()->Font()->SetColor(TextColor);
    Canvas()->Font()->SetStyle(FontStyle);
}

void TReportGrid::RevertStyle(int Index) {
    if (!FColumns->Exists(Index)) return;
    TRgCustomColumn* C = FColumns->Item(Index);
    for (int r = 0, n = GetRowCount(); r < n; ++r) {
        TCell* Cell = GetCell(Index, r);
        Cell->SetColor(C->Color());
        Cell->SetFontStyle(C->Font()->Style());
        Cell->SetTextColor(C->Font()->Color());
    }
}

// ---- rows ----------------------------------------------------------------------------------------------

int TReportGrid::GetRowHeight(int Index) {
    int Height = RowExist(Index) ? GetRow(Index)->RowHeight() : FRowSize;
    if (OnMeasuringRowHeight) OnMeasuringRowHeight(this, Index, Height);
    return Height;
}

void TReportGrid::SetRowHeight(int Index, int Value) {
    if (!RowExist(Index) || Value == GetRowHeight(Index)) return;
    GetRow(Index)->SetRowHeight(Value);
    TRgCustomGrid::SetRowHeight(Index, Value);
    if (!GetRowVisible(Index) || Updating()) return;
    if (RowInView(Index)) InvalidateArea(TRect(0, GetRowTop(Index), TControl::ClientWidth(), GetBodyRect().Bottom));
    UpdateVertScrollRange();
}

void TReportGrid::SetRowSize(int Value) {
    TRgCustomGrid::SetRowSize(Value);
    if (Value > 0) FCells->SetRowHeight(Value);
}

bool TReportGrid::GetRowVisible(int Index) {
    const TRow* R = GetRow(Index);
    return R->Visible() && R->Shown();
}

void TReportGrid::SetRowVisible(int Index, bool Value) {
    if (Value == GetRowVisible(Index)) return;
    FCells->ShowRow(Index, Value);
    // ShowRow changes the row's own flag; a collapsed row stays out of view until its parent expands.
    if (GetRowVisible(Index) != Value) return;
    if (Value) {
        RowShown(Index);
    } else if (Index == FFirstRow) {
        int Next = Index;
        while (Next < GetRowCount() && !GetRowVisible(Next)) ++Next;
        if (Next >= GetRowCount()) {
            Next = Index;
            while (Next > 0 && !GetRowVisible(Next)) --Next;
        }
        FFirstRow = Next;
    }
    RowShow(Index, ActualRowHeight(Index), Value);
    TRgCustomGrid::SetRowVisible(Index, Value);
    RowsChanged();
}

void TReportGrid::SetSelected(int Index, bool Value) {
    if (!RowExist(Index) || GetRow(Index)->Selected() == Value) return;
    GetRow(Index)->SetSelected(Value);
    if (Value) FGridState.Include(gtMultiSelect);
    RefreshRow(Index);
}

void TReportGrid::SelectRange(int FromRow, int ToRow, bool Value) {
    if (!RowExist(FromRow) || !RowExist(ToRow)) return;
    for (int r = FromRow; r <= ToRow; ++r) GetRow(r)->SetSelected(Value);
    if (FromRow <= ToRow) RefreshRange(FromRow, ToRow);
}

void TReportGrid::ClearSelection() {
    // Straight through the rows: a plain click or key in full-row mode clears them all.
    for (int r = 0, n = GetRowCount(); r < n; ++r)
        if (TRow* R = FCells->GetRow(r); R->Selected()) {
            R->SetSelected(false);
            RefreshRow(r);
        }
    FSelectedRow = -1;
    FSelectedColumn = -1;
}

void TReportGrid::WriteDefaultValues(int ARow) {
    if (!FOptions.Contains(goUseDefaultValues)) return;
    for (int c = 0; c < FColumns->Count(); ++c) {
        const String& Value = FColumns->Item(c)->DefaultValue();
        if (!Value.isEmpty()) SetCells(c, ARow, Value);
    }
}

void TReportGrid::RowShow(int Index, int Height, bool Show) {
    // While updating, rows below the first one in view report nothing.
    if (Updating() && Index > FFirstRow) return;
    if (KW_OnAfterRowShow) KW_OnAfterRowShow(Index, Height, Show);
}

void TReportGrid::RowShown(int Index) {
    // With nothing visible above the first row in view, a row shown above it becomes the first.
    if (Index < FFirstRow && CountVisibleRows(0, FFirstRow) == 1) FFirstRow = Index;
    if (GetVisibleRows() == 1) FFirstRow = Index;
}

void TReportGrid::RowsChanged() {
    RecountVisibleRange();
    SyncVertScroll();
    if (!Updating()) RefreshSelection();
}

int TReportGrid::AddRow(int Count) {
    if (Count <= 0) return FLastAddedRow;
    const int First = GetRowCount();
    const bool NoneVisible = GetVisibleRows() == 0;
    FCells->AddRow(Count);
    for (int r = First; r < First + Count; ++r) WriteDefaultValues(r);
    if (NoneVisible) {
        FFirstVisibleRow = First;
        FFirstRow = First;
    }
    FLastAddedRow = GetRowCount() - 1;
    FLastVisibleRow = FLastAddedRow;
    if (!Updating()) {
        if (KW_OnAfterRowShow)
            for (int r = First; r < First + Count; ++r) RowShow(r, ActualRowHeight(r), true);
        // The new rows, and the grid line of the row above them, when they are in view.
        if (First >= FFirstRow && First <= LastRowInView() + 1)
            InvalidateArea(TRect(0, GetRowTop(First) - FGridSpace[lpTopBottom] - 1, TControl::ClientWidth(),
                                 GetBodyRect().Bottom));
        // Rows at the end change nothing above the first row in view: only the range grows.
        UpdateVertScrollRange();
    }
    DoDataChange(dcAddRow, FLastAddedRow);
    return FLastAddedRow;
}

void TReportGrid::ReserveRows(int Count) {
    if (Count <= 0) return;
    const bool NoneVisible = GetVisibleRows() == 0;
    const int First = GetRowCount();
    FCells->AddRow(Count);
    if (NoneVisible) FFirstVisibleRow = FFirstRow = First;
    FLastAddedRow = GetRowCount() - 1;
    FLastVisibleRow = FLastAddedRow;
    Invalidate();
    if (!Updating()) UpdateVertScrollRange();
    UpdateHorzScrollRange();
}

void TReportGrid::InsertRow(int Pos, int Count) {
    if (Count <= 0) return;
    if (Pos < 0 || Pos > GetRowCount()) rtl::TList::Error("List index out of bounds (%d)", Pos);
    const int OldCount = GetRowCount();
    const bool AtTop = FVertScrollBar->Position() == 0;
    TRgCustomGrid::InsertRow(Pos, Count);
    FCells->InsertRow(Pos, Count);
    // The first row in view keeps naming the same row, unless the view is at its top: then the new
    // rows show there.
    if (OldCount > 0 && Pos <= FFirstRow && !AtTop) FFirstRow += Count;
    if (AtTop && Pos <= FFirstRow) FFirstRow = Pos;
    // The current row and the anchor stay on their rows; nothing is selected anew.
    if (FSelectedRow >= Pos) FSelectedRow += Count;
    if (FFromSelected >= Pos) FFromSelected += Count;
    FLastAddedRow = Pos;
    for (int r = Pos; r < Pos + Count; ++r) RowShow(r, ActualRowHeight(r), true);
    RowsChanged();
    DoDataChange(dcInsertRow, Pos);
}

void TReportGrid::AddChildRow(int Index, TChildRowPosition Position) {
    CloseEditor(); // the rows below move down
    const int Pos = Position == crFirst ? Index + 1 : Index + FCells->GetChildCount(Index) + 1;
    TRow* Parent = GetRow(Index);
    FCells->AddChildRow(Index, Pos);
    WriteDefaultValues(Pos);
    if (FFirstRow >= Pos) FFirstRow += 1;
    if (FSelectedRow >= Pos) FSelectedRow += 1;
    if (FFromSelected >= Pos) FFromSelected += 1;
    const bool Shown = GetRowVisible(Pos);
    if (Shown) RowShow(Pos, FRowSize, true);
    if (!Updating() && GetRowVisible(Index) && Parent->ChildCount() == 1) RefreshRow(Index); // gains its button
    FLastAddedRow = Pos;
    RowsChanged();
    DoDataChange(dcAddChildRow, FLastAddedRow);
}

void TReportGrid::RowsRemoved(int From, int Count, TRow* Current) {
    const int Rows = GetRowCount();
    const auto Shift = [&](int& Index) {
        if (Index >= From + Count)
            Index -= Count;
        else if (Index >= From)
            Index = From; // the row now in their place
    };
    Shift(FFirstRow);
    if (FFirstRow >= Rows) FFirstRow = std::max(Rows - 1, 0);
    Shift(FFromSelected);
    if (FFromSelected >= Rows) FFromSelected = -1;
    if (Current) {
        FSelectedRow = FCells->GetRowIndex(Current);
    } else if (FSelectedRow >= From) {
        CurrentRowGone(FSelectedRow, From);
    }
    FLastAddedRow = std::min(FLastAddedRow, Rows - 1);
}

void TReportGrid::CurrentRowGone(int Former, int Target) {
    // The row now in its place (Target), or the last one, becomes current.
    FSelectedRow = -1;
    RecountVisibleRange();
    if (GetRowCount() == 0) return;
    if (Target >= FLastVisibleRow) {
        if (OnDeselectCell) OnDeselectCell(this, FSelectedColumn, Former);
        Target = FLastVisibleRow;
    } else {
        while (Target < FLastVisibleRow && !GetRowVisible(Target)) ++Target;
    }
    SelectCell(FSelectedColumn, Target, {}, false, false);
}

void TReportGrid::DeleteRow(int Index) {
    TRow* Row = GetRow(Index); // a row that does not exist raises here
    TRgCustomGrid::DeleteRow(Index);
    if (Row->HasChildren()) ClearChildRows(Index);
    if (TRow* Parent = Row->ParentRow()) Parent->DeleteChild();
    const int Height = ActualRowHeight(Index);
    const bool Visible = GetRowVisible(Index);
    TRow* Current = RowExist(FSelectedRow) && FSelectedRow != Index ? GetRow(FSelectedRow) : nullptr;
    FCells->DeleteRow(Index);
    RowsRemoved(Index, 1, Current);
    if (Visible) RowShow(Index, Height, false);
    RowsChanged();
    DoDataChange(dcDeleteRow, Index);
}

int TReportGrid::DeleteRows(const std::function<bool(int)>& Gone) {
    const int Count = GetRowCount();
    std::vector<char> gone(size_t(Count), 0);
    bool tree = false;
    int deleted = 0;
    for (int r = 0; r < Count; ++r) {
        gone[size_t(r)] = Gone(r) ? 1 : 0;
        deleted += gone[size_t(r)];
        tree = tree || GetRow(r)->HasChildren() || GetRow(r)->ParentRow();
    }
    if (deleted == 0) return 0;
    if (tree) {
        // Parents take their children with them: one by one, from the bottom.
        for (int r = Count - 1; r >= 0; --r)
            if (gone[size_t(r)] && r < GetRowCount()) DeleteRow(r);
        return deleted;
    }
    CloseEditor();
    // Where each row lands: the number of kept rows above it (a deleted row: the row now in its place).
    std::vector<int> landing(size_t(Count) + 1, 0);
    std::vector<int> shownHeights(size_t(Count), -1);
    for (int r = 0; r < Count; ++r) {
        landing[size_t(r) + 1] = landing[size_t(r)] + (gone[size_t(r)] ? 0 : 1);
        if (gone[size_t(r)] && GetRowVisible(r)) shownHeights[size_t(r)] = ActualRowHeight(r);
    }
    const auto Land = [&](int Index) { return Index < 0 ? Index : landing[size_t(std::min(Index, Count))]; };
    TRow* Current = RowExist(FSelectedRow) && !gone[size_t(FSelectedRow)] ? GetRow(FSelectedRow) : nullptr;
    const int Former = FSelectedRow;
    FCells->DeleteRows(gone);
    const int Rows = GetRowCount();
    FFirstRow = Land(FFirstRow);
    if (FFirstRow >= Rows) FFirstRow = std::max(Rows - 1, 0);
    FFromSelected = Land(FFromSelected);
    if (FFromSelected >= Rows) FFromSelected = -1;
    if (Current) {
        FSelectedRow = Land(Former);
    } else if (Former >= 0) {
        CurrentRowGone(Former, Land(Former));
    }
    FLastAddedRow = std::min(FLastAddedRow, Rows - 1);
    for (int r = Count - 1; r >= 0; --r)
        if (shownHeights[size_t(r)] >= 0) RowShow(r, shownHeights[size_t(r)], false);
    Invalidate();
    RowsChanged();
    for (int r = Count - 1; r >= 0; --r)
        if (gone[size_t(r)]) DoDataChange(dcDeleteRow, r);
    return deleted;
}

void TReportGrid::ClearChildRows(int Index) {
    const int Count = FCells->GetChildCount(Index);
    if (Count == 0) return;
    CloseEditor();
    TRow* Current = RowExist(FSelectedRow) && (FSelectedRow <= Index || FSelectedRow > Index + Count)
                        ? GetRow(FSelectedRow)
                        : nullptr;
    for (int r = Index + Count; r > Index; --r) FCells->DeleteRow(r);
    GetRow(Index)->Clear();
    RowsRemoved(Index + 1, Count, Current);
    Invalidate();
    RowsChanged();
}

void TReportGrid::ClearRows() {
    TRgCustomGrid::ClearRows();
    FCells->ClearRows();
    FFirstRow = FFirstVisibleRow = FLastVisibleRow = 0;
    FFromSelected = -1;
    FGridState.Exclude(gtMultiSelect);
    FLastAddedRow = -1;
    Invalidate();
    SyncVertScroll();
    UpdateHorzScrollRange();
    DoDataChange(dcClearRows, -1);
}

void TReportGrid::MoveRow(int FromPos, int ToPos) {
    TRgCustomGrid::MoveRow(FromPos, ToPos);
    if (FromPos == ToPos) return;
    TRow* Current = RowExist(FSelectedRow) ? GetRow(FSelectedRow) : nullptr;
    TRow* Anchor = RowExist(FFromSelected) ? GetRow(FFromSelected) : nullptr;
    FCells->MoveRow(FromPos, ToPos);
    if (Current) FSelectedRow = FCells->GetRowIndex(Current);
    if (Anchor) FFromSelected = FCells->GetRowIndex(Anchor);
    RowsChanged();
}

void TReportGrid::SwapRows(int FromPos, int ToPos) {
    CloseEditor();
    FCells->SwapRows(FromPos, ToPos);
    // The current row and the anchor stay with their rows, as the Selected flags do.
    for (int* Index : {&FSelectedRow, &FFromSelected}) {
        if (*Index == FromPos)
            *Index = ToPos;
        else if (*Index == ToPos)
            *Index = FromPos;
    }
    if (GetRowVisible(FromPos) != GetRowVisible(ToPos)) RecountVisibleRange();
    if (!Updating()) {
        RefreshRow(FromPos);
        RefreshRow(ToPos);
    }
}

void TReportGrid::SetStartRowCount(int Value) {
    if (Value == FStartRowCount || Value < 0) return;
    if (Value > FStartRowCount) {
        AddRow(Value - FStartRowCount);
    } else {
        int Count = FStartRowCount < GetRowCount() ? FStartRowCount - Value : GetRowCount() - Value;
        for (; Count > 0 && GetRowCount() > 0; --Count) DeleteRow(0);
    }
    FStartRowCount = Value;
    Invalidate();
}

// ---- tree ----------------------------------------------------------------------------------------------

int TReportGrid::GetParent(int Index) {
    const TRow* Row = GetRow(Index);
    if (Row->Level() <= 0 || !Row->ParentRow()) return -1;
    // A parent precedes its children: scanning back from the row finds it soonest.
    const TRow* Parent = Row->ParentRow();
    for (int r = Index - 1; r >= 0; --r)
        if (GetRow(r) == Parent) return r;
    return -1;
}

void TReportGrid::Paint() {
    // The tree lines of every painted cell ask for next siblings: answered from one pass per paint.
    FPainting = true;
    try {
        TRgCustomGrid::Paint();
    } catch (...) {
        FPainting = false;
        FNextSiblings.clear();
        throw;
    }
    FPainting = false;
    FNextSiblings.clear();
}

void TReportGrid::FindNextSiblings() {
    const int Count = GetRowCount();
    FNextSiblings.assign(size_t(Count), -1);
    // From the bottom up: the nearest row below at each level with no shallower row between.
    std::vector<int> Below;
    for (int r = Count - 1; r >= 0; --r) {
        const int Level = std::max(GetRow(r)->Level(), 0);
        if (size_t(Level) < Below.size()) FNextSiblings[size_t(r)] = Below[size_t(Level)];
        Below.resize(size_t(Level) + 1, -1);
        Below[size_t(Level)] = r;
    }
}

int TReportGrid::GetNextSibling(int Index) {
    if (FPainting) {
        if (FNextSiblings.size() != size_t(GetRowCount())) FindNextSiblings();
        return FNextSiblings[size_t(Index)];
    }
    const int Level = GetRow(Index)->Level();
    for (int r = Index + 1, n = GetRowCount(); r < n; ++r) {
        const int L = GetRow(r)->Level();
        if (L < Level) return -1;
        if (L == Level) return r;
    }
    return -1;
}

int TReportGrid::GetChildCount(int Index, bool Recurse) {
    return Recurse ? FCells->GetChildCount(Index) : FCells->GetChildsCount(Index);
}

void TReportGrid::SetExpanded(int Index, bool Value) {
    TRow* Row = GetRow(Index);
    if (Row->Expanded() == Value) return;
    Row->SetExpanded(Value);
    RefreshRow(Index);
    if (Row->HasChildren()) {
        const int Level = Row->Level();
        const int End = Index + FCells->GetChildCount(Index) + 1;
        const bool ParentShown = Row->Shown();
        for (int r = Index + 1; r < End; ++r) {
            TRow* Child = GetRow(r);
            if (!Value) {
                if (!Child->Shown()) continue;
                const bool WasVisible = GetRowVisible(r);
                FCells->ExpandRow(r, false);
                if (WasVisible) RowShow(r, ActualRowHeight(r), false);
                continue;
            }
            if (!ParentShown) break; // an ancestor above is collapsed: the subtree stays out of view
            if (!Child->Shown()) {
                FCells->ExpandRow(r, true);
                if (GetRowVisible(r)) RowShow(r, ActualRowHeight(r), true);
            }
            // A collapsed child keeps its own subtree out of view.
            if (!Child->Expanded() && Child->HasChildren()) r += FCells->GetChildCount(r);
        }
        (void)Level;
        // The first row in view may have been folded away: its nearest shown ancestor takes its place.
        if (FFirstRow > Index && FFirstRow < End && !GetRow(FFirstRow)->Shown()) FFirstRow = Index;
        if (RowExist(FSelectedRow) && FSelectedRow > Index && FSelectedRow < End && !GetRow(FSelectedRow)->Shown())
            SelectCell(FSelectedColumn, Index, {}, false, false);
        RowsChanged();
        // The rows below the toggled one moved: they are drawn again from it (or the body's top) down.
        if (HandleAllocated() && !Updating() && Index <= LastRowInView()) {
            const TRect Body = GetBodyRect();
            const int Top = Index >= FFirstRow ? GetRowRect(Index).Top : Body.Top;
            InvalidateArea(TRect(0, Top, Body.Right, Body.Bottom));
        }
    }
    if (OnExpand) OnExpand(this, Index);
}

// ---- displays and plays -------------------------------------------------------------------------------

TCellInfo TReportGrid::FillDisplayValues(int ACol, int ARow, TColumnDisplay* Display) {
    const TCellInfo Info = GetCellInfo(ACol, ARow);
    switch (FColumns->Item(ACol)->ColumnType()) {
    case ctAutoInc: Display->SetAsInteger(ARow); break;
    case ctInteger: Display->SetAsInteger(Info.AsInteger); break;
    case ctBoolean: Display->SetAsBoolean(Info.AsBoolean); break;
    case ctDate: Display->SetAsDateTime(Info.AsDateTime); break;
    case ctFloat: Display->SetAsFloat(Info.AsFloat); break;
    case ctGraphic: Display->SetObjectReference(Info.ObjectReference); break;
    default: break;
    }
    Display->SetAsString(Info.AsString);
    return Info;
}

void TReportGrid::PrepareCellDisplay(int ACol, int ARow, TColumnDisplay* Display) {
    if (!dynamic_cast<TRgTreeColumn*>(FColumns->Item(ACol))) return;
    const TRow* R = GetRow(ARow);
    Display->OnParentRow = [this](int& Row, int& NextSibling) {
        NextSibling = GetNextSibling(Row);
        Row = GetParent(Row);
    };
    Display->SetRowIndex(ARow);
    Display->SetIsFirst(ARow == FFirstVisibleRow);
    Display->SetIsLast(GetNextSibling(ARow) == -1);
    Display->SetChildCount(R->ChildCount());
    Display->SetLevel(R->Level());
    Display->SetExpanded(R->Expanded());
}

void TReportGrid::PreparePlayValues(TColumnPlay* Play) {
    const int Col = Play->Col(), Row = Play->Row();
    Play->SetLevel(GetRow(Row)->Level());
    switch (FColumns->Item(Col)->ColumnType()) {
    case ctBoolean: Play->SetAsBoolean(GetCell(Col, Row)->AsBoolean()); break;
    case ctInteger: Play->SetAsInteger(GetCell(Col, Row)->AsInteger()); break;
    case ctString: Play->SetAsString(GetDrawText(Col, Row)); break;
    default: break;
    }
}

void TReportGrid::PlayChanged(TColumnPlay* Play) {
    const int Col = Play->Col(), Row = Play->Row();
    bool Accept = true;
    if (OnEditAccept) OnEditAccept(this, Col, Row, Play->AsString(), Accept);
    if (!Accept) return;
    TCell* C = GetCell(Col, Row);
    switch (FColumns->Item(Col)->ColumnType()) {
    case ctBoolean: C->SetAsBoolean(Play->AsBoolean()); break;
    case ctInteger: C->SetAsInteger(Play->AsInteger()); break;
    default: break;
    }
    if (OnAfterEdit) OnAfterEdit(this, Col, Row, C->AsString());
}

void TReportGrid::PlayExpanded(TColumnPlay* Play) { SetExpanded(Play->Row(), !GetExpanded(Play->Row())); }

// ---- sorting and footer --------------------------------------------------------------------------------

void TReportGrid::SortColumn(TRgCustomColumn* AColumn, bool Asending) {
    TRgCustomGrid::SortColumn(AColumn, Asending);
    if (!AColumn || !AColumn->Options().Contains(coCanSort)) return;
    TRow* Current = RowExist(FSelectedRow) ? GetRow(FSelectedRow) : nullptr;
    FCells->SortColumn(AColumn->Index(), AColumn->SortType(), Asending ? skAscending : skDescending,
                       AColumn->Options().Contains(coFullResort));
    // The same rows are in view as far as the bar goes; the current row is found again by its object.
    FFirstRow = RowAtVertPosition();
    RecountVisibleRange();
    if (Current) {
        const int NewIndex = FCells->GetRowIndex(Current);
        if (NewIndex != FSelectedRow) SelectCell(FSelectedColumn, NewIndex, {}, false, false);
        ScrollToRow(FSelectedRow);
    }
    Invalidate();
    if (OnAfterSort) OnAfterSort(this, AColumn->Index());
}

void TReportGrid::CalculateFooter(bool VisibleOnly) { grid::CalculateFooter(FColumns, FCells.get(), VisibleOnly); }

} // namespace grid
