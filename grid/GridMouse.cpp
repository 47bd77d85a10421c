// grid/GridMouse.cpp: what the mouse does to the grid: finding the area, column, row and cell under a
// point; presses, moves and releases in the body, header, footer, input row and indicator column;
// sorting by header click, column and row resizing with inverted guide lines, row moving with the red
// marker, column moving with the floating header and its two arrows; the wheel, pan gestures, a
// cancelled drag and the application losing the activation.
#include "grid/GridControl.h"

#include "vcl/ResourceStream.h"

#include <cstdlib>

namespace grid {

using namespace vcl;

namespace {

constexpr TCursor crHorzSplit = 3000, crColumnNoDrag = 3001, crVertSplit = 3003, crIndicatorSelect = 3006;

// The grid draws its guides and marker on the window itself, outside a paint.
template <class F> void DrawOnWindow(HWND Wnd, F Draw) {
    if (!Wnd) return;
    HDC DC = GetDC(Wnd);
    if (!DC) return;
    TCanvas C;
    C.SetHandle(DC);
    Draw(C);
    C.SetHandle(nullptr);
    ReleaseDC(Wnd, DC);
}

// Rectangles of the areas are tested without their last column and row of pixels.
bool InShrunk(TRect R, const TPoint& P) {
    R.Right -= 1;
    R.Bottom -= 1;
    return R.Contains(P);
}

} // namespace

// ---- construction --------------------------------------------------------------------------------------

TRgCustomGrid::TRgCustomGrid(rtl::TComponent* AOwner) : TRgCustomGridControl(AOwner) {
    FDownDragArrow = new TDragArrow(this);
    FDownDragArrow->SetParent(this);
    FUpDragArrow = new TDragArrow(this);
    FUpDragArrow->SetParent(this);
    FColumnDragBox = new TColumnDragBox(this);
    FColumnDragBox->SetParent(this);
    FColumnDragBox->SetVisible(false);
    FColumnDragBox->OnDragBoxDrop = TDragBoxEvent(this, &TRgCustomGrid::DragBoxDrop);
    FColumnDragBox->OnDragBoxMove = TDragBoxEvent(this, &TRgCustomGrid::DragBoxMove);
    FMouseDownCell = TPoint(-1, -1);
    SetParentColor(false);
    SetColor(clWindow);
    SetControlStyle(ControlStyle() + TControlStyle{csDoubleClicks, csReplicatable, csGestures});
    Touch()->SetInteractiveGestures({igPan, igPressAndTap});
    Touch()->SetInteractiveGestureOptions({igoPanSingleFingerHorizontal, igoPanSingleFingerVertical, igoPanInertia,
                                           igoPanGutter, igoParentPassthrough});
    // Without the pictures the arrow shows.
    if (Screen)
        for (auto [Cursor, Name] : {std::pair{crHorzSplit, u"HORZSPLIT"}, {crColumnNoDrag, u"COLUMNNODRAG"},
                                    {crVertSplit, u"VERTSPLIT"}, {crIndicatorSelect, u"INDICATORSELECT"}})
            Screen->SetCursors(Cursor, LoadCursorW(HInstance, Name));
}

TRgCustomGrid::~TRgCustomGrid() {
    FColumnDragBox->OnDragBoxDrop = nullptr;
    FColumnDragBox->OnDragBoxMove = nullptr;
}

void TRgCustomGrid::CreateWnd() {
    TRgCustomGridControl::CreateWnd();
    FDownDragArrow->SetArrowKind(akDown);
    FUpDragArrow->SetArrowKind(akUp);
    FHorzScrollBar->SetLargeChange(10);
    FHorzScrollBar->SetSmallChange(5);
    FVertScrollBar->SetLargeChange(10);
    // The drag box hears the application's activation changes and passes them on (see DragBox.h).
    FColumnDragBox->HandleNeeded();
}

void TRgCustomGrid::Dispatch(TMessage& Message) {
    if (Message.Msg == WM_ACTIVATEAPP) {
        if (!Message.WParam) AppDeactivated();
        RefreshSelection();
    }
    TRgCustomGridControl::Dispatch(Message);
}

void TRgCustomGrid::AppDeactivated() {
    if (FMouseDownColumn) RefreshColumn(FMouseDownColumn, gaHeader);
    FMouseDownColumn = nullptr;
    FMouseDownPoint = TPoint(-1, -1);
    FMouseDownCell = TPoint(-1, -1);
    FDragDropColumn = nullptr;
    FFocusedColumn = nullptr;
    FGridState.Exclude(gtColumnHeaderDown);
    FGridState.Exclude(gtColumnMoving);
    HideArrows();
    if (FColumnDragBox->HandleAllocated() && GetCapture() == FColumnDragBox->WindowHandle()) ReleaseCapture();
    FColumnDragBox->SetVisible(false);
    if (Screen) Screen->SetCursor(crDefault);
}

// ---- hit tests -----------------------------------------------------------------------------------------

TGridArea TRgCustomGrid::GetAreaAtPos(const TPoint& Point) {
    if (FGridStyle == gsSlides) {
        if (FOptions.Contains(goHeader) && InShrunk(GetHeaderRect(), Point)) return gaHeader;
        return gaBody;
    }
    if (FOptions.Contains(goHeader) && InShrunk(GetHeaderRect(), Point)) return gaHeader;
    if (FOptions.Contains(goInput) && InShrunk(GetInputRect(), Point)) return gaInput;
    if (InShrunk(GetBodyRect(), Point)) return gaBody;
    if (FOptions.Contains(goFooter) && InShrunk(GetFooterRect(), Point)) return gaFooter;
    if (FOptions.Contains(goIndicator) && InShrunk(GetIndicatorRect(), Point)) return gaIndicator;
    return gaNone;
}

TRgCustomColumn* TRgCustomGrid::GetColumnAtPos(const TPoint& Point) {
    for (int i = 0, n = FColumns->Count(); i < n; ++i) {
        TRgCustomColumn* C = FColumns->PositionItem(i);
        if (!C->Visible()) continue;
        const int L = C->AbsoluteLeft();
        if (L <= Point.X && Point.X <= L + C->Width()) return C;
    }
    return nullptr;
}

int TRgCustomGrid::GetRowAtPos(int X, int Y) {
    TRect Body = GetBodyRect();
    Body.Left = 0;
    if (!Body.Contains(TPoint(X, Y))) return -1;
    int Bottom = Body.Top;
    for (int r = FFirstRow, n = GetRowCount(); r < n; ++r) {
        if (!GetRowVisible(r)) continue;
        Bottom += GetRowHeight(r) + FGridSpace[lpTop];
        if (Y <= Bottom) return r;
        Bottom += FGridSpace[lpBottom];
    }
    return -1;
}

TPoint TRgCustomGrid::GetCellAtPos(const TPoint& APoint) {
    if (FGridStyle == gsSlides) {
        const int Row = GetSlideAtPos(APoint.X, APoint.Y);
        const int Top = GetSlideTop(Row);
        for (int i = 0, n = FColumns->Count(); i < n; ++i) {
            TRgCustomColumn* C = FColumns->Item(i);
            const TRgSlideBounds* B = C->SlideBounds();
            if (TRect(B->Left(), Top + B->Top(), B->Right(), Top + B->Bottom()).Contains(APoint)) return TPoint(i, Row);
        }
        return TPoint(-1, Row);
    }
    TRgCustomColumn* C = GetColumnAtPos(APoint);
    return TPoint(C ? C->Index() : -1, GetRowAtPos(APoint.X, APoint.Y));
}

TRgCustomColumn* TRgCustomGrid::GetColumnSizeGripAtPos(int X, int Y) {
    (void)Y;
    const int FixedRight = GetScrollRect().Left;
    for (int i = 0, n = FColumns->Count(); i < n; ++i) {
        TRgCustomColumn* C = FColumns->PositionItem(i);
        if (!C->Visible() || C->Options().Contains(coFixedSize)) continue;
        // A scrolled column's edge slid under the fixed columns is not there to be taken.
        if (C->Position() >= FFixedCols && X < FixedRight) continue;
        const int R = C->AbsoluteLeft() + C->Width();
        if (R - 3 <= X && X <= R + 2) return C;
    }
    return nullptr;
}

int TRgCustomGrid::GetRowSizeGripAtPos(int X, int Y) {
    const TRect Body = GetBodyRect();
    if (X > 12 || Y < Body.Top) return -1;
    int Bottom = Body.Top;
    for (int r = FFirstRow, n = GetRowCount(); r < n; ++r) {
        if (!GetRowVisible(r)) continue;
        Bottom += GetRowHeight(r) + LineSpace();
        if (Bottom - 3 < Y && Y < Bottom + 1) return r;
    }
    return -1;
}

int TRgCustomGrid::GetNearestRow(int X, int Y) {
    (void)X;
    const TRect Body = GetBodyRect();
    if (Y < Body.Top) return -1;
    int Top = Body.Top;
    for (int r = FFirstRow, n = GetRowCount(); Top < Body.Bottom && r < n; ++r) {
        if (!GetRowVisible(r)) continue;
        const int H = GetActualRowHeight(r);
        if (Top < Y && Y <= Top + H + LineSpace()) return Y > Top + H / 2 ? r + 1 : r;
        Top += H + LineSpace();
    }
    return -1;
}

int TRgCustomGrid::GetNearestPosition(TRgCustomColumn* Column, const TPoint& Point) {
    const int Own = Column->Position();
    TRgCustomColumn* Previous = nullptr;
    for (int i = 0, n = FColumns->Count(); i < n; ++i) {
        TRgCustomColumn* Item = FColumns->PositionItem(i);
        if (!Item->Visible() && Item != Column) continue;
        const int L = Item->AbsoluteLeft();
        if (!(L <= Point.X && Point.X <= L + Item->Width())) {
            Previous = Item;
            continue;
        }
        if (Item == Column) return Own;
        // A scrolled column partly under the fixed ones is no place to drop on.
        if (Item->Position() >= FFixedCols && L < GetScrollRect().Left) return Own;
        int Position = Item->Position();
        if (Point.X > L + Item->Width() / 2) {
            if (Own >= Item->Position()) Position += 1;
        } else if (Item->Position() >= Own) {
            Position = Previous ? Previous->Position() : Item->Position();
        }
        return Position;
    }
    return Own;
}

// ---- drop arrows ---------------------------------------------------------------------------------------

void TRgCustomGrid::UpdateArrows(int CurPosition, int NewPosition, bool UseSelf) {
    TRgCustomColumn* Target = FColumns->PositionItem(NewPosition);
    if (!Target) return;
    int X = Target->Left();
    if (CurPosition == NewPosition) {
        if (!UseSelf) {
            HideArrows();
            return;
        }
    } else if (CurPosition < NewPosition) {
        TRgCustomColumn* Dragged = FColumns->PositionItem(CurPosition);
        TRgCustomColumn* FirstVisible = nullptr;
        for (int i = 0, n = FColumns->Count(); i < n && !FirstVisible; ++i)
            if (FColumns->PositionItem(i)->Visible()) FirstVisible = FColumns->PositionItem(i);
        if (!(Dragged && Dragged->Visible() && Target == FirstVisible)) X += Target->Width();
    }
    TPoint P = ClientToScreen(TPoint(X, 0));
    if (Target->Position() >= FFixedCols) P.X -= HorzPosition();
    FDownDragArrow->SetBounds(P.X - 4, P.Y - 12, FDownDragArrow->Width(), FDownDragArrow->Height());
    FUpDragArrow->SetBounds(P.X - 4, P.Y + FHeaderSize - 1, FUpDragArrow->Width(), FUpDragArrow->Height());
    FDownDragArrow->SetVisible(true);
    FUpDragArrow->SetVisible(true);
}

void TRgCustomGrid::HideArrows() {
    FDownDragArrow->SetVisible(false);
    FUpDragArrow->SetVisible(false);
}

// ---- plays ---------------------------------------------------------------------------------------------

bool TRgCustomGrid::PreparePlay(int ACol, int ARow, const TRect& CellRect, bool AskBeforeEdit) {
    if (AskBeforeEdit) {
        bool Accept = true;
        if (OnBeforeEdit) OnBeforeEdit(this, ACol, ARow, Accept);
        if (!Accept) return false;
    }
    TRgCustomColumn* C = FColumns->Item(ACol);
    TColumnPlay* Play = C->Play();
    if (!Play) return false;
    Play->SetCol(ACol);
    Play->SetRow(ARow);
    Play->SetCanvas(Canvas());
    AssignFont(Canvas()->Font(), C->Font());
    PreparePlayValues(Play);
    Play->SetClientRect(CellRect);
    Play->SetHandle(HandleAllocated() ? WindowHandle() : nullptr);
    Play->OnChange = [this](TObject* Sender) { PlayChanged(static_cast<TColumnPlay*>(Sender)); };
    Play->OnExpand = [this](TObject* Sender) { PlayExpanded(static_cast<TColumnPlay*>(Sender)); };
    return true;
}

// ---- presses -------------------------------------------------------------------------------------------

void TRgCustomGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TRgCustomGridControl::MouseDown(Button, Shift, X, Y);
    bool Deselect = Button == mbLeft;
    FMouseDownPoint = TPoint(X, Y);
    FMouseDownCell = GetCellAtPos(TPoint(X, Y));
    const TGridArea Area = GetAreaAtPos(TPoint(X, Y));

    if (Shift.Contains(ssDouble)) {
        if (FSizeReadyColumn && FSizeReadyColumn->ColumnStyle().Contains(csFitToLargest)) {
            BestFitColumn(FSizeReadyColumn->Index(), bfCells, true);
            FSizeReadyColumn = nullptr;
        } else if (Area == gaBody) {
            if (CellBounds(FMouseDownCell.X, FMouseDownCell.Y) && OnCellDblClick)
                OnCellDblClick(this, FMouseDownCell.X, FMouseDownCell.Y);
        } else if (Area == gaHeader) {
            if (TRgCustomColumn* C = GetColumnAtPos(TPoint(X, Y)); C && OnHeaderDblClick) OnHeaderDblClick(this, C->Index());
        } else if (Area == gaIndicator && FOptions.Contains(goRowResizing)) {
            const int Row = GetRowSizeGripAtPos(X, Y);
            if (RowExist(Row)) BestFitRow(Row);
        }
        FMouseDownPoint = TPoint(-1, -1);
        return;
    }

    if (Visible() && Enabled() && GetParentForm(this) && CanFocus() && !Focused()) SetFocus();
    if (FColumns->Count() == 0 || Button == mbMiddle) return;

    if (Button == mbLeft && FOptions.Contains(goHeader) && GetHeaderRect().Contains(TPoint(X, Y)))
        FSizeProgressColumn = GetColumnSizeGripAtPos(X, Y);
    if (FSizeProgressColumn) {
        StartColumnResizing(X);
        return;
    }

    switch (Area) {
    case gaBody: BodyPress(Button, Shift, X, Y, Deselect); break;
    case gaHeader:
        if (Button != mbLeft) break;
        FMouseDownColumn = GetColumnAtPos(TPoint(X, Y));
        if (FMouseDownColumn && FMouseDownColumn->Options().Contains(coCanClick)) {
            FGridState.Include(gtColumnHeaderDown);
            FFocusedColumn = FMouseDownColumn;
            RefreshColumn(FMouseDownColumn, gaHeader);
        } else {
            FMouseDownColumn = nullptr;
        }
        break;
    case gaIndicator:
        if (FOptions.Contains(goRowResizing)) {
            FResizingRow = GetRowSizeGripAtPos(X, Y);
            if (FResizingRow >= 0) {
                FRowSizingPos = TPoint(X, Y);
                DrawRowGuide(Y);
                return;
            }
        }
        SetSelectedRow(GetRowAtPos(X, Y));
        break;
    case gaNone:
        ApplyEditing();
        EndEditing();
        OutsidePress();
        break;
    default: break; // the footer and the input row act on release
    }
}

void TRgCustomGrid::BodyPress(TMouseButton Button, TShiftState Shift, int X, int Y, bool& Deselect) {
    if (Editing() || FInputSelected) {
        const bool Input = FInputSelected;
        ApplyEditing();
        if (Input) AddRowFromInput();
        EndEditing();
    }
    if (FGridStyle == gsReport) LeaveInput();
    const int Col = FMouseDownCell.X, Row = FMouseDownCell.Y;
    FClickOnSelected = FMouseDownCell == SelectedCell();
    TShiftState Passed;
    if (FOptions.Contains(goMultiSelect) && FOptions.Contains(goSelectFullRow)) {
        Passed = Shift;
        if (Button == mbLeft && RowExist(Row) && GetSelected(Row) && Dragging()) {
            // The multi-selection is what is being dragged: it stays until the drag is cancelled.
            Deselect = false;
            FCanDeselect = true;
        } else if (Button == mbRight && RowExist(Row) && !GetSelected(Row)) {
            Deselect = true;
            FCanDeselect = true;
        }
    }
    if (!RowExist(Row)) return;
    FMouseDownRow = Row;
    const int SelCol = FColumns->Exists(Col) ? Col : FSelectedColumn;
    if (FColumns->Exists(Col)) {
        TRgCustomColumn* C = FColumns->Item(Col);
        const TRect R = GetCellRect(Col, Row);
        if (C->Play() && (C->Options().Contains(coEditing) || C->ColumnStyle().Contains(csClickable)) && !FReadOnly &&
            PreparePlay(Col, Row, R, true))
            C->Play()->MouseDown(Button, Shift, X - R.Left, Y - R.Top);
    }
    SelectCell(SelCol, Row, Passed, Deselect, false);
    if (FGridStyle == gsReport) {
        if (GetRowRect(Row).Bottom > GetBodyRect().Bottom) ScrollToRow(Row);
    } else if (GetSlideRect(Row).Bottom > GetBodyRect().Bottom) {
        FVertScrollBar->Next();
    }
}

// ---- column and row resizing ---------------------------------------------------------------------------

void TRgCustomGrid::DrawResizeGuide(int X) {
    const int Height = TControl::ClientHeight();
    DrawOnWindow(HandleAllocated() ? WindowHandle() : nullptr, [&](TCanvas& C) {
        C.Pen()->SetMode(pmNot);
        C.MoveTo(X, 0);
        C.LineTo(X, Height);
        C.Pen()->SetMode(pmCopy);
    });
}

void TRgCustomGrid::DrawRowGuide(int Y) {
    const int Width = TControl::ClientWidth();
    DrawOnWindow(HandleAllocated() ? WindowHandle() : nullptr, [&](TCanvas& C) {
        C.Pen()->SetMode(pmNot);
        C.MoveTo(0, Y);
        C.LineTo(Width, Y);
        C.Pen()->SetMode(pmCopy);
    });
}

void TRgCustomGrid::StartColumnResizing(int X) {
    (void)X;
    FGridState.Include(gtColumnResizing);
    FSizeDelta = 0;
    const int L = FSizeProgressColumn->AbsoluteLeft();
    FLeftResizingGuide = FSizeProgressColumn->Index() == 0 ? L : L - 1;
    FRightResizingGuide = L + FSizeProgressColumn->Width() - 1;
    DrawResizeGuide(FLeftResizingGuide);
    DrawResizeGuide(FRightResizingGuide);
}

void TRgCustomGrid::MoveColumnResizing(int X) {
    FGridState.Include(gtColumnResizing);
    DrawResizeGuide(FRightResizingGuide);
    TRgCustomColumn* C = FSizeProgressColumn;
    const int L = C->AbsoluteLeft();
    FSizeDelta = X - L - C->Width();
    if (C->Width() + FSizeDelta < C->MinWidth()) FSizeDelta = C->MinWidth() - C->Width();
    FRightResizingGuide = L + C->Width() + FSizeDelta - 1;
    DrawResizeGuide(FRightResizingGuide);
}

void TRgCustomGrid::EndColumnResizing() {
    TRgCustomColumn* C = FSizeProgressColumn;
    // The guides go before the width changes: the change scrolls what lies right of the column.
    DrawResizeGuide(FLeftResizingGuide);
    DrawResizeGuide(FRightResizingGuide);
    FSizeProgressColumn = nullptr;
    FSizeReadyColumn = nullptr;
    FGridState.Exclude(gtColumnResizing);
    C->SetWidth(C->Width() + FSizeDelta);
}

void TRgCustomGrid::CancelMouseDrags() {
    if (FGridState.Contains(gtColumnResizing) && FSizeProgressColumn) {
        DrawResizeGuide(FLeftResizingGuide);
        DrawResizeGuide(FRightResizingGuide);
    }
    FSizeProgressColumn = nullptr;
    if (FResizingRow >= 0) {
        DrawRowGuide(FRowSizingPos.Y);
        FResizingRow = -1;
    }
    if (FGridState.Contains(gtRowMoving)) EraseMoveMarker(FMoveRow);
    FMoveRow = -1;
    FMouseDownRow = -1;
    AppDeactivated();
    for (TGridStateItem Drag : {gtColumnResizing, gtRolling, gtRowMoving}) FGridState.Exclude(Drag);
}

// ---- row moving ----------------------------------------------------------------------------------------

int TRgCustomGrid::MoveMarkerY(int Position) {
    const int Top = GetRowTop(Position);
    return Position == FFirstRow ? Top : Top - 1;
}

void TRgCustomGrid::DrawMoveMarker(int Position) {
    if (Position < 0) return;
    const int Y = MoveMarkerY(Position);
    const int R = TControl::ClientWidth();
    DrawOnWindow(HandleAllocated() ? WindowHandle() : nullptr, [&](TCanvas& C) {
        C.Pen()->SetColor(clRed);
        C.Brush()->SetColor(clRed);
        C.Brush()->SetStyle(bsSolid);
        C.Polygon({{0, Y - 2}, {2, Y - 2}, {2, Y - 5}, {7, Y}, {2, Y + 5}, {2, Y + 2}, {0, Y + 2}});
        C.Polygon({{R, Y - 2}, {R - 2, Y - 2}, {R - 2, Y - 5}, {R - 7, Y}, {R - 2, Y + 5}, {R - 2, Y + 2}, {R, Y + 2}});
        C.MoveTo(8, Y);
        C.LineTo(R - 8, Y);
    });
}

void TRgCustomGrid::EraseMoveMarker(int Position) {
    if (Position < 0) return;
    const int Y = MoveMarkerY(Position);
    const int R = TControl::ClientWidth();
    InvalidateArea(TRect(0, Y - 5, 7, Y + 6));
    InvalidateArea(TRect(R - 7, Y - 5, R + 1, Y + 6));
    InvalidateArea(TRect(7, Y, R, Y + 1));
}

void TRgCustomGrid::RowMoveStep(int X, int Y) {
    FOldRowPosition = FMoveRow;
    FMoveRow = GetNearestRow(X, Y);
    if (FMoveRow == FOldRowPosition) return;
    EraseMoveMarker(FOldRowPosition);
    if (FMoveRow >= 0) {
        if (FMoveRow == FFirstRow)
            FVertScrollBar->Prior();
        else if (FMoveRow == LastRowInView() + 1)
            FVertScrollBar->Next();
    }
    DrawMoveMarker(FMoveRow);
}

void TRgCustomGrid::RowMoveDrop(int X, int Y) {
    int Target = GetNearestRow(X, Y);
    const int From = FMouseDownRow;
    if (Target >= 0 && From >= 0 && From < Target) --Target;
    // The rows may have changed under the drag: only a store row moves, only to a store row.
    if (Target < 0 || !RowExist(Target) || !RowExist(From)) {
        EraseMoveMarker(FMoveRow);
    } else {
        bool Accept = true;
        if (OnRowMove) OnRowMove(this, From, Target, Accept);
        EraseMoveMarker(FMoveRow);
        if (Accept) {
            MoveRow(From, Target);
            if (OnAfterRowMove) OnAfterRowMove(this, From, Target);
            SetSelectedRow(Target);
        }
    }
    FMoveRow = -1;
    FGridState.Exclude(gtRowMoving);
    FMouseDownRow = -1;
    if (Screen) Screen->SetCursor(crDefault);
}

// ---- column moving -------------------------------------------------------------------------------------

TRect TRgCustomGrid::ColumnDropZone() {
    return TRect(0, 0, std::min(GetHeaderRect().Right, TControl::ClientWidth()), GetBodyRect().Top);
}

bool TRgCustomGrid::MayMoveColumn(int OldPosition, int NewPosition) {
    return !FOptions.Contains(goLockFixedCols) || (OldPosition >= FFixedCols && NewPosition >= FFixedCols);
}

void TRgCustomGrid::DragBoxMove(TObject*, int X, int Y) {
    TRgCustomColumn* Column = FColumnDragBox->Column();
    if (!Column) return;
    const TPoint P = ScreenToClient(TPoint(X, Y));
    if (!ColumnDropZone().Contains(P)) {
        HideArrows();
        return;
    }
    const int Position = GetNearestPosition(Column, P);
    if (MayMoveColumn(Column->Position(), Position)) {
        if (TRgCustomColumn* At = FColumns->PositionItem(Position); At && At->Visible())
            UpdateArrows(Column->Position(), Position, true);
        if (Screen) Screen->SetCursor(crDefault);
    } else {
        HideArrows();
        if (Screen) Screen->SetCursor(crColumnNoDrag);
    }
}

void TRgCustomGrid::DragBoxDrop(TObject*, int X, int Y) {
    if (Screen) Screen->SetCursor(crDefault);
    TRgCustomColumn* Column = FColumnDragBox->Column();
    if (Column) {
        const TPoint P = ScreenToClient(TPoint(X, Y));
        if (ColumnDropZone().Contains(P)) {
            const int Old = Column->Position();
            const int New = GetNearestPosition(Column, P);
            if (MayMoveColumn(Old, New)) FColumns->ChangePosition(Old, New);
        } else if (FOptions.Contains(goCanHideColumn)) {
            Column->SetVisible(false);
        }
        RefreshColumn(Column, gaHeader);
    }
    FMouseDownColumn = nullptr;
    FMouseDownPoint = TPoint(-1, -1);
    FFocusedColumn = nullptr;
    FDragDropColumn = nullptr;
    HideArrows();
    FGridState.Exclude(gtColumnMoving);
    FGridState.Exclude(gtColumnHeaderDown);
}

// ---- moves ---------------------------------------------------------------------------------------------

void TRgCustomGrid::MouseMove(TShiftState Shift, int X, int Y) {
    TRgCustomGridControl::MouseMove(Shift, X, Y);
    const TPoint Previous = FMouseOverCell;
    FMouseOverCell = TPoint(-1, -1);
    if (FColumns->Count() == 0 || FViewState.Contains(vsRolling)) return;
    if (FGridState.Contains(gtColumnResizing) && FSizeProgressColumn) {
        MoveColumnResizing(X);
        return;
    }
    if (FResizingRow >= 0) {
        DrawRowGuide(FRowSizingPos.Y);
        const int Top = GetRowTop(FResizingRow);
        Y = std::max(Y, Top + 8);
        FRowSizingPos = TPoint(X, Y);
        DrawRowGuide(Y);
        return;
    }
    const TPoint P(X, Y);
    const TGridArea Area = GetAreaAtPos(P);

    if (Area == gaHeader) {
        FSizeReadyColumn = GetColumnSizeGripAtPos(X, Y);
        SetCursor(FSizeReadyColumn ? crHorzSplit : crDefault);
        if (!FMouseDownColumn || !Shift.Contains(ssLeft) || FMouseDownColumn->Options().Contains(coDisableMoving) ||
            FOptions.Contains(goDisableColumnMoving)) {
            TRgCustomColumn* Hover = GetColumnAtPos(P);
            ShowHeaderHint(Hover);
            if (Hover != FHoverColumn) {
                TRgCustomColumn* Old = FHoverColumn;
                FHoverColumn = Hover;
                if (FCurrentStyleDisplay && FCurrentStyleDisplay->GetStyleDisplayAttributes().Contains(sdaHoverEnabled)) {
                    RefreshColumn(Hover, gaHeader);
                    RefreshColumn(Old, gaHeader);
                }
            }
        } else if (!FGridState.Contains(gtColumnMoving) &&
                   (std::abs(X - FMouseDownPoint.X) > 3 || std::abs(Y - FMouseDownPoint.Y) > 3)) {
            FGridState.Include(gtColumnMoving);
            TRgCustomColumn* C = FMouseDownColumn;
            const TPoint Origin = ClientToScreen(TPoint(C->AbsoluteLeft(), 0));
            FColumnDragBox->Canvas()->Font()->Assign(Font());
            FColumnDragBox->SetBounds(Origin.X, Origin.Y, C->Width(), FHeaderSize);
            FColumnDragBox->Show(X, Y, C, false);
        }
    } else {
        ReleaseAreaHint(gaHeader);
        if (FHoverColumn) {
            TRgCustomColumn* Old = FHoverColumn;
            FHoverColumn = nullptr;
            RefreshColumn(Old, gaHeader);
        }
        FSizeReadyColumn = nullptr;
    }

    if (Area == gaFooter)
        ShowFooterHint(GetColumnAtPos(P));
    else
        ReleaseAreaHint(gaFooter);

    if (Area == gaBody) {
        FMouseOverCell = GetCellAtPos(P);
        if (FMouseOverCell != FHoverCell) {
            if (FColumns->Exists(FHoverCell.X))
                if (TColumnPlay* Play = FColumns->Item(FHoverCell.X)->Play()) Play->MouseLeave();
            FHoverCell = FMouseOverCell;
        }
        const TPoint Cell = FMouseOverCell;
        if (CellBounds(Cell.X, Cell.Y) && FColumns->Item(Cell.X)->Play() && !FReadOnly) {
            const TRect R = GetCellRect(Cell.X, Cell.Y);
            if (PreparePlay(Cell.X, Cell.Y, R, false)) FColumns->Item(Cell.X)->Play()->MouseMove(Shift, X - R.Left, Y - R.Top);
        }
        if (FOptions.Contains(goRowMoving) && Shift.Contains(ssLeft) && FMouseDownRow >= 0 &&
            !FGridState.Contains(gtRowMoving) &&
            (std::abs(X - FMouseDownPoint.X) > 5 || std::abs(Y - FMouseDownPoint.Y) > 5)) {
            FGridState.Include(gtRowMoving);
            if (Screen) Screen->SetCursor(crDrag);
        }
        if (FGridState.Contains(gtRowMoving)) RowMoveStep(X, Y);
        SetCursor(FColumns->Exists(Cell.X) ? FColumns->Item(Cell.X)->Cursor() : crDefault);
        ShowCellHint(Cell.X, Cell.Y);
    } else {
        ReleaseAreaHint(gaBody);
        if (FColumns->Exists(Previous.X))
            if (TColumnPlay* Play = FColumns->Item(Previous.X)->Play()) Play->MouseLeave();
    }

    if (Area == gaIndicator) {
        const int RowsBottom = GetRowTop(GetRowCount()) - FGridSpace[lpTop];
        if (FOptions.Contains(goRowResizing) && GetRowSizeGripAtPos(X, Y) >= 0)
            SetCursor(crVertSplit);
        else if (Y >= GetBodyRect().Top && Y < RowsBottom)
            SetCursor(crIndicatorSelect);
        else
            SetCursor(crDefault);
    } else if (Area == gaNone) {
        ReleaseAreaHint(gaNone);
        SetCursor(crDefault);
    }
}

// ---- releases ------------------------------------------------------------------------------------------

void TRgCustomGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TRgCustomGridControl::MouseUp(Button, Shift, X, Y);
    TRgCustomColumn* Pressed = FMouseDownColumn;
    FMouseDownColumn = nullptr;
    FMouseDownPoint = TPoint(-1, -1);
    if (FGridState.Contains(gtRowMoving)) RowMoveDrop(X, Y);
    FMouseDownRow = -1;
    FGridState.Exclude(gtColumnHeaderDown);
    FGridState.Exclude(gtIndicatorMouseDown);
    if (FGridState.Contains(gtColumnResizing) && FSizeProgressColumn) {
        EndColumnResizing();
        return;
    }
    FGridState.Exclude(gtColumnResizing);
    if (FResizingRow >= 0) {
        DrawRowGuide(FRowSizingPos.Y);
        const int Row = FResizingRow;
        FResizingRow = -1;
        SetRowHeight(Row, FRowSizingPos.Y - GetRowTop(Row));
    }
    // The pressed header reports its click wherever the mouse is released.
    if (TRgCustomColumn* Clicked = FFocusedColumn) {
        FFocusedColumn = nullptr;
        if (OnHeaderClick) OnHeaderClick(this, Clicked->Index());
        RefreshColumn(Clicked, gaHeader);
    }
    if (Button != mbLeft) {
        EndEditing();
        return;
    }
    switch (GetAreaAtPos(TPoint(X, Y))) {
    case gaBody: BodyRelease(Button, Shift, X, Y); break;
    case gaFooter:
        if (TRgCustomColumn* C = GetColumnAtPos(TPoint(X, Y)); C && OnFooterClick) OnFooterClick(this, C->Index());
        break;
    case gaHeader: HeaderRelease(X, Y, Pressed); break;
    case gaInput:
        if (TRgCustomColumn* C = GetColumnAtPos(TPoint(X, Y))) InputColumn(C, String());
        break;
    case gaNone:
    case gaIndicator:
        if (FGridState.Contains(gtMultiSelect)) ClearSelection();
        break;
    }
}

void TRgCustomGrid::HeaderRelease(int X, int Y, TRgCustomColumn* Pressed) {
    TRgCustomColumn* C = GetColumnAtPos(TPoint(X, Y));
    if (!C || C != Pressed || !C->Options().Contains(coCanSort)) return;
    if (!C->Sorted())
        C->SetSorted(true);
    else if (C->SortKind() == skDescending)
        C->SetSortKind(skAscending);
    else
        C->SetSortKind(skDescending);
}

void TRgCustomGrid::BodyRelease(TMouseButton Button, TShiftState Shift, int X, int Y) {
    const TPoint Cell = GetCellAtPos(TPoint(X, Y));
    bool Same = false;
    if (Cell.X >= 0 && Cell.Y >= 0 && RowExist(Cell.Y)) {
        Same = Cell == FMouseDownCell;
        if (Same && OnCellClick) OnCellClick(this, Cell.X, Cell.Y);
    }
    if (!FColumns->Exists(Cell.X)) return;
    if (Shift.Contains(ssShift) || Shift.Contains(ssCtrl)) {
        if (Cell.Y == -1) ClearSelection();
        return;
    }
    if (!Same || !RowExist(Cell.Y)) return;
    TRgCustomColumn* C = FColumns->Item(Cell.X);
    const TRect R = GetCellRect(Cell.X, Cell.Y);
    if (C->Play() && (C->Options().Contains(coEditing) || C->ColumnStyle().Contains(csClickable)) && !FReadOnly &&
        PreparePlay(Cell.X, Cell.Y, R, true))
        C->Play()->MouseUp(Button, Shift, X - R.Left, Y - R.Top);
    TRect EditRect = R;
    C->AdjustEditRect(GetRowLevel(Cell.Y), EditRect);
    if (EditRect.Contains(TPoint(X, Y)) && CanSelectCell(Cell.X, Cell.Y, Shift) &&
        (!FOptions.Contains(goSecondClickEdit) || FClickOnSelected))
        EditCell(Cell.X, Cell.Y, String());
}

// ---- wheel, pan, cancelled drags -----------------------------------------------------------------------

namespace {
bool HasRange(TRgScrollBar* Bar) { return Bar->Visible() && Bar->Max() > 0; }
} // namespace

bool TRgCustomGrid::DoMouseWheelDown(TShiftState Shift, const TPoint& MousePos) {
    const bool Result = TRgCustomGridControl::DoMouseWheelDown(Shift, MousePos);
    if (Editing()) return Result;
    const bool Page = Shift.Contains(ssCtrl);
    if (HasRange(FVertScrollBar.get()) && !FVertScrollBar->IsLast()) {
        if (Page)
            FVertScrollBar->PageDown();
        else
            FVertScrollBar->Next();
    } else if (FGridStyle == gsReport && HasRange(FHorzScrollBar.get()) && !FVertScrollBar->Visible()) {
        if (Page)
            FHorzScrollBar->PageDown();
        else
            FHorzScrollBar->Next();
    }
    return Result;
}

bool TRgCustomGrid::DoMouseWheelUp(TShiftState Shift, const TPoint& MousePos) {
    const bool Result = TRgCustomGridControl::DoMouseWheelUp(Shift, MousePos);
    if (Editing()) return Result;
    const bool Page = Shift.Contains(ssCtrl);
    if (HasRange(FVertScrollBar.get())) {
        if (Page)
            FVertScrollBar->PageUp();
        else
            FVertScrollBar->Prior();
    } else if (FGridStyle == gsReport && HasRange(FHorzScrollBar.get())) {
        if (Page)
            FHorzScrollBar->PageUp();
        else
            FHorzScrollBar->Prior();
    }
    return Result;
}

void TRgCustomGrid::DoGesture(const TGestureEventInfo& EventInfo, bool& Handled) {
    TRgCustomGridControl::DoGesture(EventInfo, Handled);
    if (EventInfo.GestureID != igiPan) return;
    if (!EventInfo.Flags.Contains(gfBegin)) {
        // The vertical position counts rows: the pan scrolls the rows its distance covers, and keeps
        // the rest of the distance for the next event, so a slow pan still scrolls.
        const int Dy = FPanPoint.Y - EventInfo.Location.Y;
        const int Count = GetRowCount();
        int Rows = 0, Covered = 0;
        if (Dy > 0) {
            for (int r = FFirstRow; r < Count; ++r) {
                if (!GetRowVisible(r)) continue;
                const int H = GetActualRowHeight(r) + LineSpace();
                if (Covered + H > Dy) break;
                Covered += H;
                ++Rows;
            }
        } else {
            for (int r = FFirstRow - 1; r >= 0; --r) {
                if (!GetRowVisible(r)) continue;
                const int H = GetActualRowHeight(r) + LineSpace();
                if (Covered + H > -Dy) break;
                Covered += H;
                ++Rows;
            }
        }
        if (Rows > 0) FVertScrollBar->SetPosition(FVertScrollBar->Position() + (Dy > 0 ? Rows : -Rows));
        FHorzScrollBar->SetPosition(FHorzScrollBar->Position() + FPanPoint.X - EventInfo.Location.X);
        FPanPoint = TPoint(EventInfo.Location.X, FPanPoint.Y - (Dy > 0 ? Covered : -Covered));
    } else {
        FPanPoint = EventInfo.Location;
    }
    Handled = true;
}

void TRgCustomGrid::DragCanceled() {
    TRgCustomGridControl::DragCanceled();
    if (!FCanDeselect) return;
    SelectCell(FSelectedColumn, SelectedRow(), {}, true, false);
    FCanDeselect = false;
}

} // namespace grid
