// grid/GridEdit.cpp: editing in place: the editor opened over a cell or an input cell, its events and
// keys routed through the grid, the edited value checked and written, the input row's values turned
// into a new row, and the editor kept over its cell while the grid scrolls and its columns change.
#include "grid/GridControl.h"

namespace grid {

using namespace vcl;

// ---- the editor ----------------------------------------------------------------------------------------

TCustomEdit* TRgCustomGridControl::EditBox() const { return dynamic_cast<TCustomEdit*>(FInplaceEdit); }

TRgCustomEdit* TRgCustomGridControl::GridEditor() const { return dynamic_cast<TRgCustomEdit*>(FInplaceEdit); }

void TRgCustomGridControl::SetInplaceEdit(TWinControl* Value) {
    if (FInplaceEdit) FInplaceEdit->RemoveFreeNotification(this);
    FInplaceEdit = Value;
    if (!Value) return;
    // An outside editor may be freed while it is in use.
    Value->FreeNotification(this);
    TCustomEdit* Box = EditBox();
    // Emptying it is no edit.
    if (Box) Box->OnChange = nullptr;
    Value->SetParent(this);
    Value->HandleNeeded();
    if (Box) Box->SetText(String());
    if (TRgCustomEdit* E = GridEditor()) E->SetWantTabs(FWantTabs);
    Value->SetBiDiMode(BiDiMode());
}

void TRgCustomGridControl::HookEditorEvents() {
    if (TCustomEdit* Box = EditBox()) Box->OnChange = TNotifyEvent(this, &TRgCustomGridControl::EditorChange);
    FInplaceEdit->OnEnter = TNotifyEvent(this, &TRgCustomGridControl::EditorEnterExit);
    FInplaceEdit->OnExit = TNotifyEvent(this, &TRgCustomGridControl::EditorEnterExit);
    FInplaceEdit->OnKeyDown = TKeyEvent(this, &TRgCustomGridControl::EditorKeyDown);
    FInplaceEdit->OnKeyPress = TKeyPressEvent(this, &TRgCustomGridControl::EditorKeyPress);
    FInplaceEdit->OnKeyUp = TKeyEvent(this, &TRgCustomGridControl::EditorKeyUp);
}

bool TRgCustomGridControl::TakeEditor(TRgCustomColumn* Column, int ACol, int ARow, bool Input) {
    if (auto* Outside = dynamic_cast<TWinControl*>(Column->InplaceEdit())) {
        if (!FOptions.Contains(goInplaceEditEvents)) {
            SetInplaceEdit(Outside);
            HookEditorEvents();
            return true;
        }
        // It keeps its own events: its change handler too.
        auto* Box = dynamic_cast<TCustomEdit*>(Outside);
        const TNotifyEvent Change = Box ? Box->OnChange : TNotifyEvent();
        SetInplaceEdit(Outside);
        if (Box) Box->OnChange = Change;
        return true;
    }
    TRgCustomEdit* E = Column->Editor();
    if (!E) return false;
    SetInplaceEdit(E);
    HookEditorEvents();
    Column->BeginEditing();
    E->SetEditorUpdating(false);
    E->Font()->Assign(Column->Font());
    if (Input) {
        E->SetColor(Column->Color());
        E->SetAutoSelect(false);
    } else {
        E->SetColor(GetCellColor(ACol, ARow));
    }
    E->BeginEditing();
    return true;
}

void TRgCustomGridControl::PlaceCaret(TRgCustomColumn* Column) {
    TCustomEdit* Box = EditBox();
    if (!Box) return;
    if (Column && Column->Options().Contains(coEditorAutoSelect)) {
        Box->SelectAll();
        return;
    }
    Box->SetSelStart(int(Box->Text().size()));
    Box->SetSelLength(0);
}

bool TRgCustomGridControl::CanEditCell(int ACol, int ARow) {
    if (!FColumns->Exists(ACol)) return false;
    TRgCustomColumn* Column = FColumns->Item(ACol);
    return Column->ColumnState().Contains(ceEditable) && !FReadOnly && CanEdit() &&
           (Column->InplaceEdit() || Column->Editor()) && CellBounds(ACol, ARow);
}

// ---- opening ---------------------------------------------------------------------------------------------

bool TRgCustomGridControl::OpenCellEdit(int ACol, int ARow) {
    if (Editing() && FEditingCell == TPoint(ACol, ARow)) return false;
    if (!CanEditCell(ACol, ARow)) return false;
    bool Accept = true;
    if (OnBeforeEdit) OnBeforeEdit(this, ACol, ARow, Accept);
    if (!Accept) return false;
    ApplyEditing();
    EndEditing();
    // The previous edit refused to end: it keeps the editor.
    if (FInplaceEdit) return false;
    FGridState.Include(gtEdit);
    FEditingCell = TPoint(ACol, ARow);
    TakeEditor(FColumns->Item(ACol), ACol, ARow, false);
    return true;
}

void TRgCustomGridControl::EditCell(int ACol, int ARow, const String& AText) {
    if (!OpenCellEdit(ACol, ARow)) return;
    String Text = AText.isEmpty() ? GetCells(ACol, ARow) : AText;
    TRgCustomColumn* Column = FColumns->Item(ACol);
    // The cell's own text is no edit.
    if (AText.isEmpty()) FInplaceEditUpdate = true;
    if (OnApplyEditText) OnApplyEditText(this, ACol, ARow, Text);
    if (TCustomEdit* Box = EditBox()) Box->SetText(Text);
    EditorPrepared();
    PositionEditor();
    Column->UpdateEdit();
    FInplaceEditUpdate = false;
    PlaceCaret(Column);
    if (OnEditEnter) OnEditEnter(this);
}

void TRgCustomGridControl::StartEdit(int ACol, int ARow, rtl::Char Key) {
    if (!OpenCellEdit(ACol, ARow)) return;
    PositionEditor();
    TCustomEdit* Box = EditBox();
    if (Box) Box->SetAutoSelect(false);
    FInplaceEdit->Perform(WM_CHAR, WPARAM(Key), 1);
    // A handler of the typed character may have ended the edit.
    if (!FInplaceEdit) return;
    if ((Box = EditBox())) Box->SetAutoSelect(true);
    EditorPrepared();
    FInplaceEditUpdate = false;
    PlaceCaret(nullptr);
    if (OnEditEnter) OnEditEnter(this);
}

bool TRgCustomGridControl::OpenInput(TRgCustomColumn* Column) {
    SetInputSelected(true);
    if (Editing() || FGridState.Contains(gtInput)) {
        ApplyEditing();
        EndEditing();
        if (FInplaceEdit) return false;
    }
    if (!(Column->Editor() || Column->InplaceEdit()) || !Column->ColumnState().Contains(ceCanInput) || FReadOnly)
        return false;
    FGridState.Include(gtInput);
    TakeEditor(Column, -1, -1, true);
    FInputingColumn = Column->Index();
    Column->SetInput(true);
    return true;
}

void TRgCustomGridControl::InputColumn(TRgCustomColumn* Column, const String& Value) {
    if (!Column) return;
    SetInputSelected(true);
    SetSelectedColumn(Column->Index());
    if (!OpenInput(Column)) return;
    FInplaceEditUpdate = true;
    if (TCustomEdit* Box = EditBox()) Box->SetText(Value.isEmpty() ? Column->InputValue() : Value);
    Column->UpdateEdit();
    FInplaceEditUpdate = false;
    FEditingCell = TPoint(Column->Index(), -1);
    PositionEditor();
    PlaceCaret(Column);
    if (OnInputSelectCell) OnInputSelectCell(this, Column->Index());
}

void TRgCustomGridControl::StartInput(int Index, rtl::Char Key) {
    if (!FColumns->Exists(Index)) return;
    if (!OpenInput(FColumns->Item(Index))) return;
    FInplaceEditUpdate = true;
    FInplaceEdit->Perform(WM_CHAR, WPARAM(Key), 1);
    FInplaceEditUpdate = false;
    if (!FInplaceEdit) return;
    FEditingCell = TPoint(-1, -1);
    PositionEditor();
    // The typed character stays unselected, so that the next one does not replace it.
    PlaceCaret(nullptr);
    if (OnInputSelectCell) OnInputSelectCell(this, Index);
}

// ---- writing and closing ---------------------------------------------------------------------------------

bool TRgCustomGridControl::ValueFits(int ACol, const String& Value) {
    if (!FColumns->Exists(ACol)) return true;
    switch (FColumns->Item(ACol)->ColumnType()) {
    case ctFloat: {
        double D = 0;
        return rtl::TryStrToFloat(Value, D);
    }
    case ctInteger: {
        int I = 0;
        return Value.isEmpty() || rtl::TryStrToInt(Value, I);
    }
    case ctGuid:
        try {
            rtl::StringToGUID(Value);
            return true;
        } catch (const rtl::EConvertError&) {
            return false;
        }
    default: return true;
    }
}

bool TRgCustomGridControl::ApplyEditing() {
    FValueRejected = false;
    const bool CellEdit = FGridState.Contains(gtEdit);
    if (!CellEdit && !FGridState.Contains(gtInput)) return false;
    if (TRgCustomEdit* E = GridEditor()) E->ApplyEditing();
    TCustomEdit* Box = EditBox();
    String Value = Box ? Box->Text() : String();
    if (CellEdit) {
        const int ACol = FEditingCell.X, ARow = FEditingCell.Y;
        if (FColumns->Exists(ACol)) FColumns->Item(ACol)->ApplyEditing(Value);
        bool Accept = true;
        if (OnEditAccept) OnEditAccept(this, ACol, ARow, Value, Accept);
        if (GetRowCount() == 0 || !CellBounds(ACol, ARow) || !Accept) return false;
        // A text the cell's type does not read is never written: the editor keeps it.
        if (!ValueFits(ACol, Value)) {
            FValueRejected = true;
            return false;
        }
        if (OnEditText) OnEditText(this, ACol, ARow, Value);
        if (!ValueFits(ACol, Value)) {
            FValueRejected = true;
            return false;
        }
        SetEditedCell(Value);
        if (OnAfterEdit) OnAfterEdit(this, ACol, ARow, Value);
        return true;
    }
    if (!FColumns->Exists(FInputingColumn)) return false;
    TRgCustomColumn* Column = FColumns->Item(FInputingColumn);
    Column->ApplyEditing(Value);
    Column->SetInputValue(Value);
    Column->SetInput(false);
    return true;
}

void TRgCustomGridControl::EndEditing() { FinishEditing(false); }

bool TRgCustomGridControl::FinishEditing(bool Force) {
    const bool CellEdit = FGridState.Contains(gtEdit);
    if (!CellEdit && !FGridState.Contains(gtInput) && !FInplaceEdit) return true;
    bool Accept = true;
    if (CellEdit && FInplaceEdit) {
        TRgCustomEdit* E = GridEditor();
        TCustomEdit* Box = EditBox();
        String Value = E ? E->AsString() : Box ? Box->Text() : String();
        if (OnEndEditing) OnEndEditing(this, FEditingCell.X, FEditingCell.Y, Value, Accept);
        if (E)
            E->SetAsString(Value);
        else if (Box)
            Box->SetText(Value);
    }
    if (!Accept && !Force) return false;
    if (FInplaceEdit) {
        // A focused window that hides would send the focus to the form, and the grid would exit.
        if (FInplaceEdit->Focused() && CanFocus()) SetFocus();
        FInplaceEdit->SetVisible(false);
        if (CellEdit)
            RefreshCell(FEditingCell.X, FEditingCell.Y);
        else
            RefreshInputCell(FInputingColumn);
        ResetCanvasClip();
    }
    if (CellEdit && OnEditExit) OnEditExit(this);
    FGridState.Exclude(gtEdit);
    FGridState.Exclude(gtInput);
    FEditingCell = TPoint(-1, -1);
    if (FColumns->Exists(FInputingColumn)) FColumns->Item(FInputingColumn)->SetInput(false);
    FInputingColumn = -1;
    SetInplaceEdit(nullptr);
    return true;
}

void TRgCustomGridControl::AddRowFromInput() {
    FValueRejected = false;
    bool Accept = true;
    if (OnInputAccept) OnInputAccept(this, Accept);
    if (!Accept) return;
    const int Count = FColumns->Count();
    std::vector<String> Values(size_t(std::max(Count, 0)));
    // Every value is checked before the row is made: a row is added whole or not at all.
    for (int c = 0; c < Count; ++c) {
        TRgCustomColumn* Column = FColumns->Item(c);
        Values[size_t(c)] = Column->InputValue().isEmpty() ? Column->DefaultValue() : Column->InputValue();
        if (!Values[size_t(c)].isEmpty() && !ValueFits(c, Values[size_t(c)])) {
            FValueRejected = true;
            return;
        }
    }
    AddRow(1);
    const int Row = GetRowCount() - 1;
    for (int c = 0; c < Count; ++c) {
        if (!Values[size_t(c)].isEmpty()) SetCells(c, Row, Values[size_t(c)]);
        FColumns->Item(c)->SetInputValue(String());
    }
    if (OnInputAdded) OnInputAdded(this);
}

void TRgCustomGridControl::SetInputSelected(bool Value) {
    if (Value == FInputSelected) return;
    FInputSelected = Value;
    if (Value) {
        if (RowExist(FSelectedRow)) SetSelected(FSelectedRow, false);
    } else {
        EndEditing();
    }
    RefreshArea(gaInput);
    RefreshArea(gaIndicator);
    RefreshSelection();
}

// ---- placing ---------------------------------------------------------------------------------------------

void TRgCustomGridControl::PositionEditor() {
    if (!FInplaceEdit || !HandleAllocated()) return;
    const TRect Body = GetBodyRect();
    TRect R;
    TRgCustomColumn* Column = nullptr;
    if (FGridState.Contains(gtEdit) && CellBounds(FEditingCell.X, FEditingCell.Y)) {
        Column = FColumns->Item(FEditingCell.X);
        R = GetCellRect(FEditingCell.X, FEditingCell.Y);
        Column->AdjustEditRect(GetRowLevel(FEditingCell.Y), R);
        R.Left += FGridSpace[lpLeft];
        R.Right -= FGridSpace[lpRight];
        if (!FOptions.Contains(goGrid)) R.Right -= 1;
        if (FEditingCell.Y < FFirstRow || R.Top < Body.Top) {
            // Scrolled above the body: hidden until it comes back.
            if (FInplaceEdit->Focused() && CanFocus()) SetFocus();
            FInplaceEdit->SetVisible(false);
            return;
        }
        if (R.Left < Body.Left) R.Left = Body.Left;
    } else if (FGridState.Contains(gtInput) && FColumns->Exists(FInputingColumn)) {
        Column = FColumns->Item(FInputingColumn);
        R = GetInputCellRect(FInputingColumn);
    } else {
        return;
    }
    R.Inflate(-1, -1);
    if (R.Left < 0) R.Left = 0;
    if (R.Left < Body.Left) R.Left = Body.Left;
    FInplaceEdit->SetBounds(R.Left, R.Top, R.Width(), R.Height());
    FInplaceEdit->SetVisible(true);
    if (FInplaceEdit->CanFocus() && !FInplaceEdit->Focused()) FInplaceEdit->SetFocus();
    FInplaceEdit->Invalidate();
    if (Column->ColumnStyle().Contains(csRedrawInplaceEdit)) FInplaceEdit->Update();
}

void TRgCustomGridControl::AfterScroll(TScrollBarKind Kind) {
    TRgScrollControl::AfterScroll(Kind);
    if (FInplaceEdit) PositionEditor();
}

// ---- the editor's events ---------------------------------------------------------------------------------

void TRgCustomGridControl::EditorChange(TObject* Sender) {
    if (Sender != FInplaceEdit || FInplaceEditUpdate) return;
    if (OnEdit) OnEdit(this, FEditingCell.X, FEditingCell.Y, EditBox() ? EditBox()->Text() : String());
}

void TRgCustomGridControl::EditorEnterExit(TObject* Sender) {
    if (Sender != FInplaceEdit) return;
    // The selection shows in other colours without the focus.
    if (!Focused()) Invalidate();
}

void TRgCustomGridControl::EditorKeyDown(TObject* Sender, WORD& Key, TShiftState Shift) {
    if (Sender != FInplaceEdit) return;
    // A text the cell does not take stays in the editor, selected, and the key goes no further.
    auto KeptBack = [&] {
        if (!FValueRejected || !FInplaceEdit) return false;
        if (TCustomEdit* Box = EditBox()) Box->SelectAll();
        Key = 0;
        return true;
    };
    switch (Key) {
    case VK_TAB:
        ApplyEditing();
        if (KeptBack()) return;
        EndEditing();
        break;
    case VK_RETURN:
        if (Shift.Contains(ssCtrl)) break;
        if (FGridState.Contains(gtEdit)) {
            if (FColumns->Exists(FEditingCell.X) &&
                FColumns->Item(FEditingCell.X)->ColumnStyle().Contains(csWantReturns))
                break;
            ApplyEditing();
            if (KeptBack()) return;
            EndEditing();
            if (!FInplaceEdit && CanFocus()) SetFocus();
        } else if (FGridState.Contains(gtInput)) {
            const int Index = FInputingColumn;
            ApplyEditing();
            AddRowFromInput();
            if (FInplaceEdit && FColumns->Exists(Index)) {
                FColumns->Item(Index)->SetInput(true);
                FInplaceEditUpdate = true;
                if (TCustomEdit* Box = EditBox()) Box->SetText(FColumns->Item(Index)->InputValue());
                FInplaceEditUpdate = false;
                PlaceCaret(nullptr);
            }
            if (KeptBack()) return;
        }
        break;
    case VK_ESCAPE:
        if (FOptions.Contains(goEscClearEdit)) {
            if (TCustomEdit* Box = EditBox()) Box->Clear();
        } else {
            EndEditing();
            if (!FInplaceEdit && CanFocus()) SetFocus();
        }
        break;
    default: break;
    }
    KeyDown(Key, Shift);
}

void TRgCustomGridControl::EditorKeyPress(TObject* Sender, rtl::Char& Key) {
    if (Sender == FInplaceEdit) KeyPress(Key);
}

void TRgCustomGridControl::EditorKeyUp(TObject* Sender, WORD& Key, TShiftState Shift) {
    if (Sender == FInplaceEdit) KeyUp(Key, Shift);
}

void TRgCustomGridControl::CMChildKey(TMessage& Message) {
    const WORD Key = WORD(Message.WParam);
    const bool Arrow = Key == VK_LEFT || Key == VK_UP || Key == VK_RIGHT || Key == VK_DOWN;
    TRgCustomEdit* E = GridEditor();
    if (Arrow && E && Message.LParam == LPARAM(static_cast<TWinControl*>(E)) && E->CanDispatchKey(Key) &&
        FOptions.Contains(goArrowKeyExitEditing)) {
        ApplyEditing();
        if (!FValueRejected) EndEditing();
        if (!FInplaceEdit) {
            WORD K = Key;
            KeyDown(K, {});
            Message.Result = 1;
            return;
        }
    }
    TRgScrollControl::CMChildKey(Message);
}

void TRgCustomGridControl::Notification(rtl::TComponent* AComponent, rtl::TOperation Operation) {
    TRgScrollControl::Notification(AComponent, Operation);
    if (Operation != rtl::opRemove || AComponent != FInplaceEdit) return;
    FInplaceEdit = nullptr;
    FGridState.Exclude(gtEdit);
    FGridState.Exclude(gtInput);
    FEditingCell = TPoint(-1, -1);
    if (FColumns && FColumns->Exists(FInputingColumn)) FColumns->Item(FInputingColumn)->SetInput(false);
    FInputingColumn = -1;
}

// ---- focus -----------------------------------------------------------------------------------------------

void TRgCustomGridControl::DoEnter() {
    TRgScrollControl::DoEnter();
    RefreshArea(gaIndicator);
}

void TRgCustomGridControl::DoExit() {
    if (Editing() || FGridState.Contains(gtInput)) {
        ApplyEditing();
        EndEditing();
    }
    TRgScrollControl::DoExit();
}

} // namespace grid
