// grid/GridKeys.cpp: the grid from the keyboard: the navigation keys, Enter, typed characters that
// start editing or the incremental search, the dialog codes; the header, footer, cell and text-fit
// hints; and what gaining or losing the focus, the mouse leaving and a new font do.
#include "grid/GridControl.h"

namespace grid {

using namespace vcl;

// ---- keys ------------------------------------------------------------------------------------------------

void TRgCustomGrid::KeyDown(WORD& Key, TShiftState Shift) {
    TRgCustomGridControl::KeyDown(Key, Shift);
    HandleNavigationKey(Key, Shift);
}

void TRgCustomGrid::KeyUp(WORD& Key, TShiftState Shift) { TRgCustomGridControl::KeyUp(Key, Shift); }

void TRgCustomGrid::ExtendRange(int FromRow, int ToRow) {
    if (FromRow == ToRow || !MultiSelect()) return;
    FGridState.Include(gtMultiSelect);
    for (int r = std::min(FromRow, ToRow), Last = std::max(FromRow, ToRow); r <= Last; ++r)
        if (GetRowVisible(r)) SetSelected(r, true);
}

void TRgCustomGrid::HandleNavigationKey(WORD& Key, TShiftState Shift) {
    if (FOptions.Contains(goDisableKeys)) return;
    const bool EditorOpen = FGridState.Contains(gtEdit) || FGridState.Contains(gtInput);
    // The editor moves its caret with these.
    if (EditorOpen && (Key == VK_END || Key == VK_HOME || Key == VK_LEFT || Key == VK_UP || Key == VK_RIGHT ||
                       Key == VK_DOWN))
        return;
    const int Page = GetVisibleCount(false);
    // Left and Right move the selection where there is a cell to move to; otherwise they scroll.
    const bool CellMoves = FInputSelected || !FOptions.Contains(goSelectFullRow) ||
                           FAppearanceOptions.Contains(aoIndicateSelectedCell);
    switch (Key) {
    case VK_TAB:
        if (Shift.Contains(ssShift))
            MoveToPrevCell(true);
        else
            MoveToNextCell(true);
        break;
    case VK_PRIOR:
        if (FVertScrollBar->Position() == 0) {
            SelectFirstRow({});
        } else if (SelectedRow() > FFirstRow) {
            SetSelectedRow(FFirstRow);
        } else {
            MoveSelectionBy(-Page);
            ScrollToRow(SelectedRow());
        }
        break;
    case VK_NEXT: {
        if (FVertScrollBar->IsLast()) break;
        const int PageEnd = GetRowByVisibleCount(Page);
        if (SelectedRow() < PageEnd) {
            SetSelectedRow(PageEnd);
        } else if (SelectedRow() + Page > GetRowCount()) {
            SelectLastRow({});
        } else {
            MoveSelectionBy(Page);
            ScrollToRow(SelectedRow());
        }
        break;
    }
    case VK_END:
        if (GetRowCount() > 0) ExtendRange(RowExist(SelectedRow()) ? SelectedRow() : GetFirstVisibleRow(), GetRowCount() - 1);
        if (FHomeEndBehaviour == hebTopBottom) {
            if (FColumns->Exists(FSelectedColumn)) SelectLastRow(Shift);
        } else {
            SelectLastColumn();
        }
        break;
    case VK_HOME:
        if (GetRowCount() > 0) ExtendRange(0, RowExist(SelectedRow()) ? SelectedRow() : GetLastVisibleRow());
        if (FHomeEndBehaviour == hebTopBottom) {
            if (FColumns->Exists(FSelectedColumn)) SelectFirstRow(Shift);
        } else {
            SelectFirstColumn();
        }
        break;
    case VK_LEFT:
        if (CellMoves)
            MoveSelectionLeft(mkArrows);
        else
            FHorzScrollBar->Prior();
        break;
    case VK_RIGHT:
        if (CellMoves)
            MoveSelectionRight(mkArrows);
        else
            FHorzScrollBar->Next();
        break;
    case VK_UP: MoveSelectionUp(Shift); break;
    case VK_DOWN: MoveSelectionDown(Shift, false, false); break;
    case 'A':
        if (Shift.Contains(ssCtrl)) SelectAll();
        break;
    default: break;
    }
}

bool TRgCustomGrid::PrepareKeyPlay(TRgCustomColumn* Column, int ARow) {
    const int ACol = Column->Index();
    bool Accept = true;
    if (OnBeforeEdit) OnBeforeEdit(this, ACol, ARow, Accept);
    if (!Accept) return false;
    TColumnPlay* Play = Column->Play();
    Play->SetCol(ACol);
    Play->SetRow(ARow);
    Play->SetCanvas(Canvas());
    AssignFont(Canvas()->Font(), Column->Font());
    PreparePlayValues(Play);
    Play->SetClientRect(GetCellRect(ACol, ARow));
    Play->OnChange = [this, Play](TObject*) { PlayChanged(Play); };
    Play->OnExpand = [this, Play](TObject*) { PlayExpanded(Play); };
    return true;
}

void TRgCustomGrid::KeyPress(rtl::Char& Key) {
    TRgCustomGridControl::KeyPress(Key);
    if (Editing() || FGridState.Contains(gtInput) || FOptions.Contains(goDisableKeys) || Key == 27 || Key == 0)
        return;
    if (Key == u'\r') {
        if (FWantReturns) {
            if (!FInputSelected) {
                switch (FSelectionMoveDirection) {
                case mdUp: MoveSelectionUp({}); break;
                case mdDown: MoveSelectionDown({}, false, false); break;
                case mdLeft: MoveSelectionLeft(mkEnter); break;
                case mdRight: MoveSelectionRight(mkEnter); break;
                case mdNone: break;
                }
            } else if (FInputEnterMode == imAllways) {
                ApplyEditing();
                if (TCustomEdit* Box = dynamic_cast<TCustomEdit*>(FInplaceEdit)) Box->Clear();
                AddRowFromInput();
                if (auto* Box = dynamic_cast<TCustomEdit*>(FInplaceEdit); Box && FColumns->Exists(FInputingColumn)) {
                    Box->SetText(FColumns->Item(FInputingColumn)->InputValue());
                    Box->SelectAll();
                }
            }
        }
        Key = 0;
        return;
    }
    TRgCustomColumn* Column = FColumns->Exists(FSelectedColumn) ? FColumns->Item(FSelectedColumn) : nullptr;
    const int Row = SelectedRow();
    if (Column && !FInputSelected && RowExist(Row) && Column->Play() && !FReadOnly &&
        (Column->Options().Contains(coEditing) || Column->ColumnStyle().Contains(csClickable)) &&
        PrepareKeyPlay(Column, Row))
        Column->Play()->KeyPress(Key);
    if (Key == u'\t') {
        Key = 0;
        return;
    }
    if (Column && Key != 0 && Column->IsKeyValid(Key)) {
        if (FInputSelected)
            StartInput(FSelectedColumn, Key);
        else
            StartEdit(FSelectedColumn, Row, Key);
    }
    TRgCustomColumn* Search = SearchColumn();
    if (FInputSelected || (Column && Column->Options().Contains(coEditing)) || !Search || GetRowCount() == 0 ||
        Key == 0)
        return;
    if (!FSearchTimer) {
        FSearchTimer = new TTimer(this);
        FSearchTimer->SetEnabled(false);
        FSearchTimer->SetInterval(700);
        FSearchTimer->SetOnTimer(TNotifyEvent(this, &TRgCustomGrid::SearchTimerTick));
    }
    // Every character gives the search another 700 ms.
    FSearchTimer->SetEnabled(false);
    FSearchTimer->SetEnabled(true);
    FSearchBuffer += Key;
    SearchNext(Search->Index(), FSearchBuffer, false);
}

void TRgCustomGrid::SearchTimerTick(TObject*) {
    FSearchBuffer.clear();
    FSearchTimer->SetEnabled(false);
}

TRgCustomColumn* TRgCustomGrid::SearchColumn() const {
    for (int c = 0, n = FColumns->Count(); c < n; ++c)
        if (FColumns->Item(c)->Options().Contains(coSearchColumn)) return FColumns->Item(c);
    return nullptr;
}

bool TRgCustomGrid::SearchNext(int Index, const String& S, bool FromFirst) {
    const int Count = GetRowCount();
    if (Count == 0 || !FColumns->Exists(Index)) return false;
    // With no row hidden or folded away the rows need not be read to know they count.
    const bool AllVisible = GetVisibleRows() == Count;
    auto Find = [&](int From, int To) {
        for (int r = NextSearchCandidate(Index, S, From, To); r <= To; r = NextSearchCandidate(Index, S, r + 1, To)) {
            if (!AllVisible && !GetRowVisible(r)) continue;
            if (!CellTextStartsWith(Index, r, S)) continue;
            SetSelectedRow(r);
            if (!Updating()) ScrollToRow(r);
            return true;
        }
        return false;
    };
    if (FromFirst) return Find(0, Count - 1);
    const int Current = std::min(SelectedRow(), Count - 1);
    return Find(Current + 1, Count - 1) || Find(0, Current);
}

LRESULT TRgCustomGrid::DialogCode(LRESULT Inherited) {
    LRESULT Code = Inherited | DLGC_WANTARROWS | DLGC_WANTCHARS;
    if (FWantTabs && FColumns->VisibleCount() > 0 && (GetRowCount() > 0 || FInputSelected))
        Code |= DLGC_WANTTAB;
    else
        Code &= ~LRESULT(DLGC_WANTTAB);
    return Code;
}

// ---- hints -----------------------------------------------------------------------------------------------

// The grid's form is the one the user works in.
static bool FormActive(TControl* Control) {
    TCustomForm* Form = GetParentForm(Control);
    return Form && Screen && Screen->ActiveForm() == Form;
}

void TRgCustomGrid::CreateHintWindow() {
    if (FHintWindow && FHintWindowClass == HintWindowClass) return;
    delete FHintWindow;
    FHintWindowClass = HintWindowClass;
    FHintWindow = HintWindowClass(this);
    if (Application) FHintWindow->SetColor(Application->HintColor());
}

void TRgCustomGrid::ReleaseHint() {
    if (FHintWindow) FHintWindow->ReleaseHandle();
}

void TRgCustomGrid::ReleaseAreaHint(TGridArea Area) {
    const bool Shown = Area == gaNone || (Area == gaHeader && FHintPosition == hpHeader) ||
                       (Area == gaFooter && FHintPosition == hpFooter) ||
                       (Area == gaBody && (FHintPosition == hpTextFit || FHintPosition == hpCellHint));
    if (!Shown) return;
    ReleaseHint();
    FHintPosition = hpNone;
    if (Area == gaNone || Area == gaHeader) FHeaderHintColumn = nullptr;
    if (Area == gaNone || Area == gaFooter) FFooterHintColumn = nullptr;
    if (Area == gaNone || Area == gaBody) FHintCell = TPoint(-1, -1);
}

void TRgCustomGrid::ShowColumnHint(int X, int Y, const String& Text) {
    if (!FormActive(this) || !Application || !Application->ShowHint()) return;
    CreateHintWindow();
    TRect R = FHintWindow->CalcHintRect(TControl::ClientWidth(), Text, nullptr);
    const TPoint P = ClientToScreen(TPoint(X, Y));
    R.Offset(P.X, P.Y);
    FHintWindow->ActivateHint(R, Text);
}

void TRgCustomGrid::HeaderHint(TRgCustomColumn* Column) {
    if (!Column || Column->Header()->Hint().isEmpty()) {
        ReleaseHint();
        FHeaderHintColumn = nullptr;
        return;
    }
    if (Column == FHeaderHintColumn) return;
    FHintPosition = hpHeader;
    FHeaderHintColumn = Column;
    ShowColumnHint(Column->AbsoluteLeft(), FHeaderSize + 2, Column->Header()->Hint());
}

void TRgCustomGrid::FooterHint(TRgCustomColumn* Column) {
    if (!Column || Column->Footer()->Hint().isEmpty()) {
        ReleaseHint();
        FFooterHintColumn = nullptr;
        return;
    }
    if (Column == FFooterHintColumn) return;
    FHintPosition = hpFooter;
    FFooterHintColumn = Column;
    ShowColumnHint(Column->AbsoluteLeft(), TControl::ClientHeight() + 2, Column->Footer()->Hint());
}

void TRgCustomGrid::CellHint(int ACol, int ARow) {
    if (!CellBounds(ACol, ARow)) return;
    if (Editing() && FEditingCell == TPoint(ACol, ARow)) {
        ReleaseHint();
        return;
    }
    if (FHintCell == TPoint(ACol, ARow)) return;
    FHintCell = TPoint(ACol, ARow);
    if (FColumns->Item(ACol)->Options().Contains(coShowTextFitHint) && !IsTextFit(ACol, ARow)) {
        ShowTextFitHint(ACol, ARow);
        return;
    }
    const String Text = FHintPosition != hpTextFit ? GetCellHint(ACol, ARow) : String();
    if (Text.isEmpty()) {
        ReleaseHint();
        return;
    }
    ShowCellHint(ACol, ARow, Text);
}

void TRgCustomGrid::ShowTextFitHint(int ACol, int ARow) {
    if (!FormActive(this)) return;
    CreateHintWindow();
    FHintPosition = hpTextFit;
    String Text = GetHintText(ACol, ARow);
    if (OnApplyCell) OnApplyCell(this, ACol, ARow, Text);
    if (Text.isEmpty()) {
        ReleaseHint();
        return;
    }
    TRect R = FHintWindow->CalcHintRect(TControl::ClientWidth(), Text, nullptr);
    const TRect Cell = GetCellRect(ACol, ARow);
    const TPoint P = ClientToScreen(TPoint(Cell.Left, Cell.Top));
    R.Offset(P.X, P.Y);
    FHintWindow->ActivateHint(R, Text);
}

void TRgCustomGrid::ShowCellHint(int ACol, int ARow, const String& Text) {
    if (!FormActive(this) || !Application || !Application->ShowHint()) return;
    CreateHintWindow();
    FHintPosition = hpCellHint;
    const TRect Cell = GetCellRect(ACol, ARow);
    TRgCustomColumn* Column = FColumns->Item(ACol);
    const int X = std::min(Cell.Left + (FGridStyle == gsSlides ? Column->SlideWidth() : Column->Width()),
                           TControl::ClientWidth());
    const int Y = Cell.Top - 20;
    TRect R = FHintWindow->CalcHintRect(250, Text, nullptr);
    const TPoint P = ClientToScreen(TPoint(X, Y));
    R.Offset(P.X, P.Y);
    FHintWindow->ActivateHint(R, Text);
}

bool TRgCustomGrid::IsTextFit(int ACol, int ARow) {
    if (!CellBounds(ACol, ARow)) return true;
    TRgCustomColumn* Column = FColumns->Item(ACol);
    TColumnDisplay* Display = Column->Display();
    Display->SetCanvas(Canvas());
    Display->SetHandle(HandleAllocated() ? WindowHandle() : nullptr);
    Display->SetClientRect(GetCellRect(ACol, ARow));
    PrepareCellDisplay(ACol, ARow, Display);
    const TCellState State = GetCellState(ACol, ARow);
    String Text = GetDrawText(ACol, ARow);
    if (OnApplyCell) OnApplyCell(this, ACol, ARow, Text);
    Display->SetAsString(Text);
    ApplyCellFont(ACol, ARow, State);
    ApplyCellFormating(ACol, ARow, Text, State);
    const int Width = FGridStyle == gsSlides ? Column->SlideWidth() : Column->Width();
    return Width >= Display->GetContentWidth() + 5;
}

// ---- focus, the mouse leaving, fonts ---------------------------------------------------------------------

void TRgCustomGrid::WMSetFocus(TWMSetFocus& Message) {
    TRgCustomGridControl::WMSetFocus(Message);
    if (GetRowCount() > 0) {
        RefreshSelection();
    } else if (FOptions.Contains(goInput)) {
        FInputSelected = true;
        RefreshArea(gaInput);
    }
    if (KW_OnAfterSetFocus) KW_OnAfterSetFocus(this);
}

void TRgCustomGrid::WMKillFocus(TWMKillFocus& Message) {
    TRgCustomGridControl::WMKillFocus(Message);
    ReleaseHint();
    CancelMouseDrags();
    RefreshSelection();
    if (FOptions.Contains(goHeader) && FHoverColumn) {
        TRgCustomColumn* Hover = FHoverColumn;
        FHoverColumn = nullptr;
        RefreshColumn(Hover, gaHeader);
    }
    FHoverColumn = nullptr;
    FFocusedColumn = nullptr;
    if (KW_OnAfterKillFocus) KW_OnAfterKillFocus(this);
}

void TRgCustomGrid::MouseLeave() {
    FHintPosition = hpNone;
    ReleaseHint();
    FHeaderHintColumn = nullptr;
    FHintCell = TPoint(-1, -1);
    if (FHoverColumn) {
        TRgCustomColumn* Hover = FHoverColumn;
        FHoverColumn = nullptr;
        RefreshColumn(Hover, gaHeader);
    }
    // Fires OnMouseLeave, last.
    TRgCustomGridControl::MouseLeave();
}

void TRgCustomGrid::CMFontChanged(TMessage& Message) {
    TRgCustomGridControl::CMFontChanged(Message);
    for (int c = 0, n = FColumns->Count(); c < n; ++c)
        if (FColumns->Item(c)->ParentFont()) FColumns->Item(c)->SetParentFont(true);
}

} // namespace grid
