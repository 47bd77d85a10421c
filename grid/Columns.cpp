// grid/Columns.cpp
#include "grid/Columns.h"
#include "grid/CellPainters.h"
#include "grid/TextEdit.h"

#include <QSet>
#include <algorithm>
#include <cmath>

namespace grid {

TCellInfo GetCellInfo(TCell* Cell, TColumnType ColumnType) {
    TCellInfo Info;
    switch (ColumnType) {
    // The record holds what the cell reads: a row-number cell counts from 1, as it is shown.
    case ctAutoInc: Info.AsInteger = Cell->AsInteger(); break;
    case ctBoolean: Info.AsBoolean = Cell->AsBoolean(); break;
    case ctDate: Info.AsDateTime = Cell->AsDateTime(); break;
    case ctFloat: Info.AsFloat = Cell->AsFloat(); break;
    case ctGraphic: Info.ObjectReference = Cell->ObjectReference(); break;
    case ctGuid:
    case ctString:
    case ctVirtual: Info.AsString = Cell->AsString(); break;
    case ctInteger: Info.AsInteger = Cell->AsInteger(); break;
    default: break;
    }
    // The row-number column's text is its number.
    if (ColumnType == ctAutoInc) Info.AsString = Cell->AsString();
    return Info;
}

// ---- column parts --------------------------------------------------------------------------------------

TColumnPart::TColumnPart(TRgCustomColumn* AColumn) : FColumn(AColumn), FGlyph(std::make_unique<vcl::TBitmap>()) {
    FGlyph->OnChange = rtl::TNotifyEvent(this, &TColumnPart::GlyphChanged);
}

TColumnPart::~TColumnPart() = default;

void TColumnPart::Changed() {
    if (OnChange) OnChange(this);
}

void TColumnPart::Refresh(TGridArea Area) {
    if (FColumn) FColumn->Refresh(Area);
}

void TColumnPart::SetCaption(const rtl::String& Value) {
    FCaption = Value;
    Refresh(gaNone);
}

void TColumnPart::SetColor(TColor Value) {
    FColor = Value;
    Refresh(gaNone);
}

void TColumnPart::SetDisplayMode(TDisplayMode Value) {
    FDisplayMode = Value;
    Changed();
}

void TColumnPart::SetDrawingOptions(TDrawingOptions Value) {
    FDrawingOptions = Value;
    Changed();
}

void TColumnPart::SetGlyph(vcl::TBitmap* Value) {
    FGlyph->Assign(Value);
    Changed();
}

// A glyph is drawn with its bottom-left pixel as the transparent colour.
void TColumnPart::GlyphChanged(rtl::TObject*) {
    if (!FGlyph->Empty()) {
        FGlyph->OnChange = nullptr;
        FGlyph->SetTransparentColor(FGlyph->Canvas()->Pixels(0, FGlyph->Height() - 1));
        FGlyph->SetTransparent(true);
        FGlyph->OnChange = rtl::TNotifyEvent(this, &TColumnPart::GlyphChanged);
    }
    Changed();
}

void TColumnPart::Assign(rtl::TPersistent* Source) {
    if (auto* Part = dynamic_cast<TColumnPart*>(Source)) {
        SetCaption(Part->Caption());
        SetColor(Part->Color());
        SetDisplayMode(Part->DisplayMode());
        SetGlyph(Part->Glyph());
        return;
    }
    rtl::TPersistent::Assign(Source);
}

TColumnHeader::TColumnHeader(TRgCustomColumn* AColumn)
    : TColumnPart(AColumn), FFont(std::make_unique<vcl::TFont>()) {
    FColor = vcl::clBtnFace;
    FFont->OnChange = rtl::TNotifyEvent(this, &TColumnHeader::FontChanged);
}

void TColumnHeader::FontChanged(rtl::TObject*) {
    if (!FParentFont) Changed();
}

void TColumnHeader::SetOrientation(THeaderOrientation Value) {
    FOrientation = Value;
    Refresh(gaHeader);
}

void TColumnHeader::SetAlignment(TAlignment Value) {
    FAlignment = Value;
    Refresh(gaHeader);
}

void TColumnHeader::SetMultiLine(bool Value) {
    FMultiLine = Value;
    Refresh(gaHeader);
}

void TColumnHeader::SetHideArrow(bool Value) {
    FHideArrow = Value;
    Refresh(gaHeader);
}

void TColumnHeader::SetParentFont(bool Value) {
    if (Value == FParentFont) return;
    FParentFont = Value;
    Changed();
}

void TColumnHeader::SetFont(vcl::TFont* Value) {
    if (Value && Value != FFont.get()) FFont->Assign(Value);
    if (FParentFont) Changed();
}

void TColumnHeader::Assign(rtl::TPersistent* Source) {
    if (auto* Header = dynamic_cast<TColumnHeader*>(Source)) {
        SetAlignment(Header->Alignment());
        SetCaption(Header->Caption());
        SetColor(Header->Color());
        SetDisplayMode(Header->DisplayMode());
        SetFont(Header->Font());
        SetGlyph(Header->Glyph());
        SetHint(Header->Hint());
        SetMultiLine(Header->MultiLine());
        SetOrientation(Header->Orientation());
        SetParentFont(Header->ParentFont());
        return;
    }
    TColumnPart::Assign(Source);
}

TColumnFooter::TColumnFooter(TRgCustomColumn* AColumn) : TColumnPart(AColumn) {
    FColor = vcl::clWindow;
}

void TColumnFooter::SetAlignment(TAlignment Value) {
    FAlignment = Value;
    Refresh(gaFooter);
}

void TColumnFooter::SetFormatMask(const rtl::String& Value) {
    FFormatMask = Value;
    Changed();
}

void TColumnFooter::SetFormatMaskKind(TFormatMaskKind Value) {
    FFormatMaskKind = Value;
    Changed();
}

void TColumnFooter::SetFormulaKind(TFormulaKind Value) {
    FFormulaKind = Value;
    Changed();
}

void TColumnFooter::SetFormulaValue(double Value) {
    FFormulaValue = Value;
    Changed();
}

void TColumnFooter::SetTextAfter(const rtl::String& Value) {
    FTextAfter = Value;
    Changed();
}

void TColumnFooter::SetTextBefore(const rtl::String& Value) {
    FTextBefore = Value;
    Changed();
}

void TColumnFooter::Assign(rtl::TPersistent* Source) {
    if (auto* Footer = dynamic_cast<TColumnFooter*>(Source)) {
        SetAlignment(Footer->Alignment());
        SetDrawingOptions(Footer->DrawingOptions());
        SetFormulaKind(Footer->FormulaKind());
        SetFormatMask(Footer->FormatMask());
        SetTextAfter(Footer->TextAfter());
        SetTextBefore(Footer->TextBefore());
        return;
    }
    TColumnPart::Assign(Source);
}

// ---- slide bounds --------------------------------------------------------------------------------------

void TRgSlideBounds::Changed() {
    if (FOwner) FOwner->ColumnChanged(ccSlideChanged);
}

void TRgSlideBounds::SetLeft(int Value) {
    FLeft = Value;
    Changed();
}

void TRgSlideBounds::SetTop(int Value) {
    FTop = Value;
    Changed();
}

void TRgSlideBounds::SetHeight(int Value) {
    if (Value == FHeight) return;
    FHeight = Value;
    Changed();
}

void TRgSlideBounds::SetWidth(int Value) {
    if (Value == FWidth) return;
    FWidth = Value;
    Changed();
}

void TRgSlideBounds::Assign(rtl::TPersistent* Source) {
    if (auto* Bounds = dynamic_cast<TRgSlideBounds*>(Source)) {
        SetLeft(Bounds->Left());
        SetTop(Bounds->Top());
        SetHeight(Bounds->Height());
        SetWidth(Bounds->Width());
        return;
    }
    rtl::TPersistent::Assign(Source);
}

// ---- the column ----------------------------------------------------------------------------------------

TRgCustomColumn::TRgCustomColumn(rtl::TComponent* AOwner)
    : rtl::TComponent(AOwner), FFont(std::make_unique<vcl::TFont>()),
      FFooter(std::make_unique<TColumnFooter>(this)), FHeader(std::make_unique<TColumnHeader>(this)),
      FSlideBounds(std::make_unique<TRgSlideBounds>(this)) {
    FFont->OnChange = rtl::TNotifyEvent(this, &TRgCustomColumn::FontChanged);
    FFooter->OnChange = rtl::TNotifyEvent(this, &TRgCustomColumn::PartChanged);
    FHeader->OnChange = rtl::TNotifyEvent(this, &TRgCustomColumn::PartChanged);
}

TRgCustomColumn::~TRgCustomColumn() {
    if (FColumns) FColumns->Remove(this);
}

std::unique_ptr<TColumnDisplay> TRgCustomColumn::GetColumnDisplayClass() {
    return std::make_unique<TTextColumnDisplay>(this);
}

std::unique_ptr<TColumnPlay> TRgCustomColumn::GetColumnPlayClass() { return nullptr; }

TColumnDisplay* TRgCustomColumn::Display() {
    if (!FDisplay) FDisplay = GetColumnDisplayClass();
    return FDisplay.get();
}

std::unique_ptr<TRgCustomEdit> TRgCustomColumn::GetCellEditorClass() { return nullptr; }

TRgCustomEdit* TRgCustomColumn::Editor() {
    if (!FEditorMade) {
        FEditor = GetCellEditorClass();
        FEditorMade = true;
        if (FEditor) FEditor->SetVisible(false);
    }
    return FEditor.get();
}

void TRgCustomColumn::BeginEditing() {
    TRgCustomEdit* E = Editor();
    if (!E) return;
    E->SetEditorUpdating(true);
    E->SetAlignment(FAlignment);
    E->SetBorderStyle(vcl::bsNone);
    E->SetBorderWidth(0);
    // A new margin remakes the editor's window: only when it changes.
    if (E->EditMargins()->Left() != 1) E->EditMargins()->SetLeft(1);
}

TColumnPlay* TRgCustomColumn::Play() {
    if (!FPlayMade) {
        FPlay = GetColumnPlayClass();
        FPlayMade = true;
        if (FPlay) FPlay->SetDisplay(Display());
    }
    return FPlay.get();
}

bool TRgCustomColumn::IsLoading() const {
    return ComponentState().Contains(rtl::csLoading) || (FColumns && FColumns->GridLoading());
}

void TRgCustomColumn::ColumnChanged(TColumnChangeKind ChangeKind, int Param) {
    if (FColumns && FColumns->OnColumnChange) FColumns->OnColumnChange(FColumns, this, ChangeKind, Param);
}

void TRgCustomColumn::Refresh(TGridArea GridArea) {
    if (FColumns) FColumns->UpdateColumn(this, GridArea);
}

void TRgCustomColumn::FontChanged(rtl::TObject*) {
    if (FParentFontUpdating) return;
    FParentFont = false;
    ColumnChanged(ccUndefined);
}

void TRgCustomColumn::PartChanged(rtl::TObject*) {
    ColumnChanged(ccUndefined);
}

void TRgCustomColumn::SetAlignment(TAlignment Value) {
    FAlignment = Value;
    ColumnChanged(ccUndefined);
}

void TRgCustomColumn::SetBiDiMode(TBiDiMode Value) {
    FBiDiMode = Value;
    ColumnChanged(ccUndefined);
}

void TRgCustomColumn::SetColor(TColor Value) {
    FColor = Value;
    ColumnChanged(ccUndefined);
}

void TRgCustomColumn::SetCursor(TCursor Value) {
    FCursor = Value;
    ColumnChanged(ccUndefined);
}

void TRgCustomColumn::SetDrawingOptions(TDrawingOptions Value) {
    FDrawingOptions = Value;
    ColumnChanged(ccUndefined);
}

void TRgCustomColumn::SetFont(vcl::TFont* Value) {
    if (!Value) return;
    FFont->Assign(Value);
    ColumnChanged(ccUndefined);
}

void TRgCustomColumn::SetFooter(TColumnFooter* Value) {
    if (Value && Value != FFooter.get()) FFooter->Assign(Value);
    ColumnChanged(ccUndefined);
}

void TRgCustomColumn::SetHeader(TColumnHeader* Value) {
    if (Value && Value != FHeader.get()) FHeader->Assign(Value);
    ColumnChanged(ccUndefined);
}

void TRgCustomColumn::SetInplaceEdit(rtl::TComponent* Value) {
    if (FInplaceEdit) FInplaceEdit->RemoveFreeNotification(this);
    FInplaceEdit = Value;
    if (Value) Value->FreeNotification(this);
}

void TRgCustomColumn::Notification(rtl::TComponent* AComponent, rtl::TOperation Operation) {
    rtl::TComponent::Notification(AComponent, Operation);
    if (Operation == rtl::opRemove && AComponent == FInplaceEdit) FInplaceEdit = nullptr;
}

void TRgCustomColumn::SetInputCaption(const rtl::String& Value) {
    FInputCaption = Value;
    ColumnChanged(ccUndefined);
}

void TRgCustomColumn::SetInputValue(const rtl::String& Value) {
    FInputValue = Value;
    ColumnChanged(ccInputChange);
}

void TRgCustomColumn::SetPadding(int Value) {
    FPadding = Value;
    Refresh(gaBody);
}

void TRgCustomColumn::SetParentFont(bool Value) {
    FParentFont = Value;
    if (Value && FColumns && FColumns->Grid() && FColumns->Grid()->Font()) {
        FParentFontUpdating = true;
        FFont->Assign(FColumns->Grid()->Font());
        FParentFontUpdating = false;
    }
}

void TRgCustomColumn::SetParentCellColor(bool Value) {
    FParentCellColor = Value;
    Refresh(gaBody);
}

void TRgCustomColumn::SetSlideBounds(TRgSlideBounds* Value) {
    if (Value && Value != FSlideBounds.get()) FSlideBounds->Assign(Value);
    ColumnChanged(ccUndefined);
}

void TRgCustomColumn::SetSlideCaption(const TCaption& Value) {
    FSlideCaption = Value;
    Refresh(gaNone);
}

void TRgCustomColumn::SetSlideCaptionLocation(TSlideCatpionLocation Value) {
    FSlideCaptionLocation = Value;
    ColumnChanged(ccUndefined);
}

void TRgCustomColumn::SetSlideOptions(TColumnSlideOptions Value) {
    FSlideOptions = Value;
    ColumnChanged(ccSlideChanged);
}

void TRgCustomColumn::SetSorted(bool Value) {
    if (ColumnStyle().Contains(csDisableSorting)) return;
    if (!Value) {
        FSorted = false;
        ColumnChanged(ccUnsorted);
        return;
    }
    // At most one column is sorted.
    if (FColumns)
        for (TRgCustomColumn* C : FColumns->FItemsList)
            if (C->Sorted()) C->SetSorted(false);
    FSorted = true;
    ColumnChanged(ccSorted);
}

void TRgCustomColumn::SetSortKind(TSortKind Value) {
    FSortKind = Value;
    ColumnChanged(ccSortTypeChange);
}

void TRgCustomColumn::SetSortType(TSortType Value) {
    FSortType = Value;
    ColumnChanged(ccSortTypeChange);
}

void TRgCustomColumn::SetVerticalAlignment(TVerticalAlignment Value) {
    FVerticalAlignment = Value;
    ColumnChanged(ccUndefined);
}

void TRgCustomColumn::SetWrapKind(TWrapKind Value) {
    FWrapKind = Value;
    Refresh(gaBody);
}

void TRgCustomColumn::SetEditing(bool Value) {
    TColumnOptions O = FOptions;
    if (Value)
        O.Include(coEditing);
    else
        O.Exclude(coEditing);
    SetOptions(O);
}

void TRgCustomColumn::SetName(const rtl::String& NewName) {
    if (NewName != Name()) rtl::TComponent::SetName(NewName);
}

// ---- layout setters ----

void TRgCustomColumn::SetSilentWidth(int Value) {
    const int Old = FWidth;
    FWidth = std::max(Value, FMinWidth);
    if (FColumns && !IsLoading()) FColumns->UpdateColumns(false);
    ColumnChanged(ccWidth, FWidth - Old);
}

void TRgCustomColumn::SetWidth(int Value) {
    if (IsLoading()) {
        FWidth = Value;
        return;
    }
    SetSilentWidth(Value);
    if (FColumns) FColumns->ResizeColumns(this, false);
    if (ComponentState().Contains(rtl::csDesigning)) FDefaultWidth = FWidth;
}

void TRgCustomColumn::SetVisible(bool Value) {
    if (Value == FVisible) return;
    FVisible = Value;
    ColumnChanged(ccVisible);
    if (FColumns && !IsLoading()) {
        FColumns->UpdateColumns(false);
        FColumns->ResizeColumns(nullptr, false);
    }
}

void TRgCustomColumn::SetPosition(int Value) {
    if (FColumns && !IsLoading()) {
        FColumns->ChangePosition(FPosition, Value);
        ColumnChanged(ccPosition);
    }
    FPosition = Value;
}

void TRgCustomColumn::SetOptions(TColumnOptions Value) {
    // One search column at most.
    if (Value.Contains(coSearchColumn) && !FOptions.Contains(coSearchColumn) && FColumns)
        for (TRgCustomColumn* C : FColumns->FItemsList)
            if (C != this) C->FOptions.Exclude(coSearchColumn);
    const bool AutoBefore = FOptions.Contains(coAutoSize);
    FOptions = Value;
    if (!FColumns || IsLoading()) return;
    if (!(AutoBefore && Value.Contains(coAutoSize))) FColumns->ResizeColumns(this, true);
    ColumnChanged(ccUndefined);
}

void TRgCustomColumn::Loaded() {
    rtl::TComponent::Loaded();
    if (FColumns) FColumns->PlaceLoaded(this);
}

// ---- computed properties ----

TColumnState TRgCustomColumn::GetColumnState() const {
    TColumnState State;
    if (FEnabled && (ColumnStyle().Contains(csCanEdit) || FInplaceEdit)) {
        if (FOptions.Contains(coEditing)) State.Include(ceEditable);
        if (FOptions.Contains(coCanInput)) State.Include(ceCanInput);
    }
    return State;
}

IRgGridHost* TRgCustomColumn::GridComponent() const {
    return FColumns ? FColumns->Grid() : nullptr;
}

int TRgCustomColumn::AbsoluteLeft() const {
    IRgGridHost* Grid = GridComponent();
    if (!Grid || (FColumns && FPosition < FColumns->FixedCols())) return FLeft;
    return FLeft - Grid->HorzScrollPos();
}

TRect TRgCustomColumn::ClientRect() const {
    IRgGridHost* Grid = GridComponent();
    const int HeaderSize = Grid ? Grid->HeaderSize() : 0;
    const int Height = Grid ? Grid->ClientHeight() : 0;
    const int L = AbsoluteLeft();
    return TRect(L, HeaderSize, L + FWidth, Height - HeaderSize - 4);
}

TRect TRgCustomColumn::GetMemberRect(TColumnMemberKind ColumnMemberKind) const {
    IRgGridHost* Grid = GridComponent();
    if (!Grid) return {};
    const int L = AbsoluteLeft();
    switch (ColumnMemberKind) {
    case ckFooter: {
        const TRect R = Grid->GetAreaRect(gaFooter);
        return TRect(L, R.Top + 4, L + FWidth, R.Bottom);
    }
    case ckHeader: {
        const TRect R = Grid->GetAreaRect(gaHeader);
        return TRect(L, R.Top, L + FWidth, R.Bottom);
    }
    case ckInput: {
        const TRect R = Grid->GetAreaRect(gaInput);
        return TRect(L, R.Top, L + FWidth, R.Bottom - 6);
    }
    }
    return {};
}

bool TRgCustomColumn::First() const { return FColumns && FColumns->FirstEnabled() == this; }
bool TRgCustomColumn::Last() const { return FColumns && FColumns->LastEnabled() == this; }

bool TRgCustomColumn::Focused() const {
    IRgGridHost* Grid = GridComponent();
    return Grid && Grid->FocusedColumn() == Index();
}

bool TRgCustomColumn::Hover() const {
    IRgGridHost* Grid = GridComponent();
    return Grid && Grid->HoverColumn() == Index();
}

bool TRgCustomColumn::Selected() const {
    IRgGridHost* Grid = GridComponent();
    return Grid && Grid->SelectedColumn() == Index();
}

int TRgCustomColumn::Index() const { return FColumns ? FColumns->IndexOf(this) : -1; }

void TRgCustomColumn::SetIndex(int Value) {
    if (FColumns) FColumns->Move(Index(), Value);
}

TColumnLocation TRgCustomColumn::Location() const {
    const int Count = FColumns ? FColumns->VisibleCount() : 1;
    if (Count <= 1) return clAlone;
    if (FVisibleIndex == 0) return clLeftSide;
    if (FVisibleIndex == Count - 1) return clRightSide;
    return clMiddle;
}

TRgCustomColumn* TRgCustomColumn::NextColumn() const {
    return FColumns ? FColumns->NextOf(this) : const_cast<TRgCustomColumn*>(this);
}

TRgCustomColumn* TRgCustomColumn::PrevColumn() const {
    return FColumns ? FColumns->PrevOf(this) : const_cast<TRgCustomColumn*>(this);
}

TRect TRgCustomColumn::SlideRect() const {
    return TRect(FSlideBounds->Left(), FSlideBounds->Top(), FSlideBounds->Right(), FSlideBounds->Bottom());
}

// ---- text rules ----

int TRgCustomColumn::MeasureText(const rtl::String& Value) const {
    IRgGridHost* Grid = GridComponent();
    ITextMeasurer& Measurer = Grid ? Grid->TextMeasurer() : DefaultTextMeasurer();
    return Measurer.TextWidth(Value, FFont.get());
}

int TRgCustomColumn::GetCellBestFit(const rtl::String& Value) {
    return std::max(MeasureText(Value) + 6, 8);
}

rtl::String TRgCustomColumn::GetDrawText(const TCellInfo& Cell) {
    rtl::String Text = Cell.AsString;
    if (OnGetDrawText) OnGetDrawText(this, Text);
    return Text;
}

void TRgCustomColumn::Assign(rtl::TPersistent* Source) {
    auto* C = dynamic_cast<TRgCustomColumn*>(Source);
    if (!C) {
        rtl::TComponent::Assign(Source);
        return;
    }
    SetAlignment(C->Alignment());
    FAutoEdit = C->AutoEdit();
    SetColor(C->Color());
    SetCursor(C->Cursor());
    SetDefaultValue(C->DefaultValue());
    SetDrawingOptions(C->DrawingOptions());
    SetFont(C->Font());
    FFooter->Assign(C->Footer());
    FHeader->Assign(C->Header());
    SetInputCaption(C->InputCaption());
    SetInputValue(C->InputValue());
    SetOptions(C->Options());
    SetParentFont(C->ParentFont());
    SetPosition(C->Position());
    FSlideBounds->Assign(C->SlideBounds());
    SetSorted(C->Sorted());
    SetSortKind(C->SortKind());
    SetVerticalAlignment(C->VerticalAlignment());
    SetVisible(C->Visible());
    SetWidth(C->Width());
    SetWrapKind(C->WrapKind());
}

// ---- the collection ------------------------------------------------------------------------------------

TRgColumns::TRgColumns(rtl::TComponent* AOwner, IRgGridHost* Grid) : rtl::TComponent(AOwner), FGrid(Grid) {}

TRgColumns::~TRgColumns() {
    // Each column leaves the lists as it goes; no layout is recomputed for a collection on its way out.
    Destroying();
    while (!FItemsList.empty()) delete FItemsList.back();
}

TRgCustomColumn* TRgColumns::GetItem(int Index) const {
    if (!Exists(Index)) rtl::TList::Error("List index out of bounds (%d)", Index);
    return FItemsList[Index];
}

TRgCustomColumn* TRgColumns::GetPositionItem(int Index) const {
    if (Index < 0 || Index >= int(FPositionItemsList.size())) rtl::TList::Error("List index out of bounds (%d)", Index);
    return FPositionItemsList[Index];
}

int TRgColumns::IndexOf(const TRgCustomColumn* AColumn) const {
    const auto It = std::find(FItemsList.begin(), FItemsList.end(), AColumn);
    return It == FItemsList.end() ? -1 : int(It - FItemsList.begin());
}

int TRgColumns::PositionOf(const TRgCustomColumn* AColumn) const {
    const auto It = std::find(FPositionItemsList.begin(), FPositionItemsList.end(), AColumn);
    return It == FPositionItemsList.end() ? -1 : int(It - FPositionItemsList.begin());
}

void TRgColumns::AddColumn(TRgCustomColumn* AColumn) {
    AColumn->FColumns = this;
    FItemsList.push_back(AColumn);
    FPositionItemsList.push_back(AColumn);
    AColumn->FPosition = int(FPositionItemsList.size()) - 1;
    UpdateColumns(false);
    ResizeColumns(nullptr, false);
    FLastAdded = AColumn;
    if (OnChange) OnChange(this, opAdd, -1, -1);
    if (OnRepaint) OnRepaint(this, opAdd, -1, -1);
}

void TRgColumns::JoinLoading(TRgCustomColumn* AColumn) {
    AColumn->FColumns = this;
    FItemsList.push_back(AColumn);
    FLastAdded = AColumn;
    if (OnChange) OnChange(this, opAdd, -1, -1);
}

void TRgColumns::PlaceLoaded(TRgCustomColumn* AColumn) {
    if (PositionOf(AColumn) >= 0) return;
    auto It = std::find_if(FPositionItemsList.begin(), FPositionItemsList.end(),
                           [&](const TRgCustomColumn* C) { return C->Position() > AColumn->Position(); });
    FPositionItemsList.insert(It, AColumn);
    UpdateColumns(false);
}

void TRgColumns::Remove(TRgCustomColumn* Item) {
    const int Former = IndexOf(Item);
    if (Former >= 0) {
        FItemsList.erase(FItemsList.begin() + Former);
        if (OnChange) OnChange(this, opDelete, Former, -1);
    }
    const int Pos = PositionOf(Item);
    if (Pos >= 0) FPositionItemsList.erase(FPositionItemsList.begin() + Pos);
    if (FLastAdded == Item) FLastAdded = nullptr;
    Item->FColumns = nullptr;
    if (!(FGrid && FGrid->IsDestroying()) && !ComponentState().Contains(rtl::csDestroying)) {
        UpdateColumns(true);
        ResizeColumns(nullptr, false);
        if (OnRepaint) OnRepaint(this, opDelete, Former, -1);
    }
}

template <class T> static void MoveEntry(std::vector<T>& List, int From, int To) {
    if (From < To)
        std::rotate(List.begin() + From, List.begin() + From + 1, List.begin() + To + 1);
    else if (From > To)
        std::rotate(List.begin() + To, List.begin() + From, List.begin() + From + 1);
}

void TRgColumns::Move(int CurIndex, int NewIndex) {
    if (!Exists(CurIndex) || !Exists(NewIndex)) return;
    MoveEntry(FItemsList, CurIndex, NewIndex);
    UpdateColumns(false);
    if (OnChange) OnChange(this, opMove, CurIndex, NewIndex);
    if (OnRepaint) OnRepaint(this, opMove, CurIndex, NewIndex);
}

void TRgColumns::ChangePosition(int CurPosition, int NewPosition) {
    if (CurPosition == NewPosition) return;
    const int Count = int(FPositionItemsList.size());
    if (CurPosition < 0 || CurPosition >= Count) rtl::TList::Error("List index out of bounds (%d)", CurPosition);
    if (NewPosition < 0 || NewPosition >= Count) rtl::TList::Error("List index out of bounds (%d)", NewPosition);
    TRgCustomColumn* Moved = FPositionItemsList[CurPosition];
    MoveEntry(FPositionItemsList, CurPosition, NewPosition);
    UpdateColumns(true);
    if (OnColumnChange) OnColumnChange(this, Moved, ccPosition, CurPosition);
}

void TRgColumns::UpdateColumns(bool UpdatePosition) {
    FFixedWidth = 0;
    for (int p = 0; p < FFixedCols && p < int(FPositionItemsList.size()); ++p)
        if (FPositionItemsList[p]->Visible()) FFixedWidth += FPositionItemsList[p]->Width();
    int X = FGrid && FGrid->ShowIndicator() ? 12 : 0;
    int VisibleIndex = 0;
    for (int p = 0; p < int(FPositionItemsList.size()); ++p) {
        TRgCustomColumn* C = FPositionItemsList[p];
        if (C->Visible()) {
            C->FLeft = X;
            C->FVisibleIndex = VisibleIndex++;
            X += C->Width();
        } else {
            C->FVisibleIndex = -1;
        }
        if (UpdatePosition) C->FPosition = p;
    }
}

void TRgColumns::ResizeColumns(TRgCustomColumn* Column, bool UseColumn) {
    if (GridLoading()) return;
    const bool Indicator = FGrid && FGrid->ShowIndicator();
    int Start = 0, Offset = 0;
    if (Column) {
        const int Pos = PositionOf(Column);
        if (UseColumn) {
            Start = Pos;
            Offset = Column->Left();
        } else {
            Start = Pos + 1;
            Offset = Column->Visible() ? Column->Left() + Column->Width() : Column->Left();
        }
        if (Indicator) Offset -= 12;
    }
    int InnerWidth = FGrid ? FGrid->ClientWidth() : 0;
    if (Indicator && FGrid->IsReportStyle()) InnerWidth -= 12;
    double Space = InnerWidth - Offset;
    const int Count = int(FPositionItemsList.size());
    double T = 0, F = 0;
    for (int p = std::max(Start, 0); p < Count; ++p) {
        const TRgCustomColumn* C = FPositionItemsList[p];
        if (!C->Visible()) continue;
        (C->Options().Contains(coAutoSize) ? T : F) += C->Width();
    }
    Space -= F;
    double Carry = 0;
    TRgCustomColumn* LastPlain = nullptr;
    for (int p = std::max(Start, 0); p < Count; ++p) {
        TRgCustomColumn* C = FPositionItemsList[p];
        if (!C->Visible() || !C->Options().Contains(coAutoSize)) continue;
        const double Share = T == 0 ? 0 : C->Width() / T;
        const int W = static_cast<int>(std::trunc(Space * Share));
        Carry += Space * Share - W;
        if (Carry >= 1) {
            C->SetSilentWidth(W + 1);
            Carry -= 1;
        } else {
            C->SetSilentWidth(W);
            LastPlain = C;
        }
    }
    if (Carry > 0.001 && LastPlain) LastPlain->SetSilentWidth(LastPlain->Width() + 1);
}

void TRgColumns::UpdateColumn(TRgCustomColumn* AColumn, TGridArea GridArea) {
    if (FGrid) FGrid->RefreshColumn(AColumn, GridArea);
}

void TRgColumns::SetFixedCols(int Value) {
    FFixedCols = Value;
    UpdateColumns(false);
}

void TRgColumns::AnchorSlides(int OldWidth, int NewWidth) {
    for (TRgCustomColumn* C : FItemsList) {
        if (!C->SlideAnchors().Contains(akRight)) continue;
        TRgSlideBounds* B = C->SlideBounds();
        if (C->SlideAnchors().Contains(akLeft))
            B->SetWidth(NewWidth + B->Width() - OldWidth);
        else
            B->SetLeft(NewWidth + B->Left() - OldWidth);
    }
}

int TRgColumns::ClientWidth() const {
    int W = 0;
    for (const TRgCustomColumn* C : FItemsList)
        if (C->Visible()) W += C->Width();
    return W;
}

int TRgColumns::VisibleCount() const {
    return int(std::count_if(FItemsList.begin(), FItemsList.end(), [](auto* C) { return C->Visible(); }));
}

TRgCustomColumn* TRgColumns::First() const {
    for (TRgCustomColumn* C : FPositionItemsList)
        if (C->Visible()) return C;
    return nullptr;
}

TRgCustomColumn* TRgColumns::Last() const {
    for (auto It = FPositionItemsList.rbegin(); It != FPositionItemsList.rend(); ++It)
        if ((*It)->Visible()) return *It;
    return nullptr;
}

TRgCustomColumn* TRgColumns::FirstEnabled() const {
    for (TRgCustomColumn* C : FPositionItemsList)
        if (Usable(C)) return C;
    return nullptr;
}

TRgCustomColumn* TRgColumns::LastEnabled() const {
    for (auto It = FPositionItemsList.rbegin(); It != FPositionItemsList.rend(); ++It)
        if (Usable(*It)) return *It;
    return nullptr;
}

TRgCustomColumn* TRgColumns::NextOf(const TRgCustomColumn* AColumn) const {
    for (int p = PositionOf(AColumn) + 1; p > 0 && p < int(FPositionItemsList.size()); ++p)
        if (Usable(FPositionItemsList[p])) return FPositionItemsList[p];
    return const_cast<TRgCustomColumn*>(AColumn);
}

TRgCustomColumn* TRgColumns::PrevOf(const TRgCustomColumn* AColumn) const {
    for (int p = PositionOf(AColumn) - 1; p >= 0; --p)
        if (Usable(FPositionItemsList[p])) return FPositionItemsList[p];
    return const_cast<TRgCustomColumn*>(AColumn);
}

// ---- footer formulas -----------------------------------------------------------------------------------

void CalculateFooter(TRgColumns* Columns, TCells* Cells, bool VisibleOnly) {
    IRgGridHost* Grid = Columns->Grid();
    const int N = VisibleOnly ? Cells->VisibleRowCount() : Cells->RowCount();
    // The rows taking part are the same for every formula: asked once per row.
    std::vector<int> Rows;
    bool RowsKnown = false;
    auto TakingPart = [&]() -> const std::vector<int>& {
        if (!RowsKnown) {
            for (int r = 0; r < Cells->RowCount(); ++r) {
                const TRow* Row = Cells->GetRow(r);
                if (VisibleOnly && !(Row->Visible() && Row->Shown())) continue;
                if (Grid && !Grid->CanCalculateRow(r)) continue;
                Rows.push_back(r);
            }
            RowsKnown = true;
        }
        return Rows;
    };
    for (int c = 0; c < Columns->Count(); ++c) {
        TColumnFooter* Footer = Columns->Item(c)->Footer();
        const TFormulaKind Kind = Footer->FormulaKind();
        if (Kind == fkNone) continue;
        if (N == 0) {
            Footer->SetCaption(QStringLiteral("0"));
            Footer->SetFormulaValue(0);
            continue;
        }
        // Every formula works over exactly the rows that take part; none reads a row it skipped.
        double V = 0;
        const std::vector<int>& Part = TakingPart();
        switch (Kind) {
        case fkSum:
        case fkAverage:
            for (int r : Part) V += Cells->GetCell(c, r)->AsFloat();
            if (Kind == fkAverage) V = Part.empty() ? 0 : V / double(Part.size());
            break;
        case fkCount: V = double(Part.size()); break;
        case fkDistinct: {
            QSet<rtl::String> Seen;
            for (int r : Part) Seen.insert(Cells->GetCell(c, r)->AsString().toCaseFolded());
            V = Seen.size();
            break;
        }
        case fkMaximum:
        case fkMinimum:
            for (size_t i = 0; i < Part.size(); ++i) {
                const double X = Cells->GetCell(c, Part[i])->AsFloat();
                if (i == 0 || (Kind == fkMaximum ? X > V : X < V)) V = X;
            }
            break;
        case fkCustom:
            if (Grid) Grid->DoColumnFooterValue(c, V);
            break;
        case fkNone: break;
        }
        if (Grid) Grid->DoFooterCalculate(c, V);
        Footer->SetCaption(rtl::FloatToStr(V));
        Footer->SetFormulaValue(V);
    }
}

} // namespace grid
