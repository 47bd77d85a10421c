// grid/Columns.h: the grid's columns: the column base with its header and footer parts and slide
// bounds, the column collection with its two orders (item order = cell lists, display order =
// Position) and its layout, and the footer formulas.
#pragma once
#include "grid/Cells.h"
#include "grid/shared/Classes.h"
#include "grid/GridCommon.h"
#include "rtl/Classes.h"
#include "vcl/Graphics.h"

#include <QVariant>
#include <memory>
#include <vector>

namespace grid {

class TRgColumns;
class TRgCustomColumn;
class TColumnDisplay;
class TColumnPlay;
class TRgCustomEdit;

enum TColumnChangeKind {
    ccFieldName, ccInputChange, ccPosition, ccRevertStyle, ccSlideChanged, ccSorted, ccSortTypeChange,
    ccUndefined, ccVisible, ccUnsorted, ccWidth
};
enum TColumnOption {
    coAutoSize, coCanClick, coCanInput, coCanSort, coDisableMoving, coDontHighlight, coEditing,
    coEditorAutoSelect, coFixedSize, coImageForIcon, coPublicUsing, coFullResort, coSearchColumn,
    coShowTextFitHint, coTextForCaption
};
using TColumnOptions = rtl::TSet<TColumnOption>;
enum TColumnStyleItem {
    csClickable, csCanEdit, csDisableSorting, csFitToLargest, csTextFitHint, csWantReturns, csRedrawInplaceEdit
};
using TColumnStyle = rtl::TSet<TColumnStyleItem>;
enum TColumnStateItem { ceEditable, ceCanInput };
using TColumnState = rtl::TSet<TColumnStateItem>;
enum TCellStateItem { csBoldTextSelection, csEmpty, csFocused, csSelected };
using TCellState = rtl::TSet<TCellStateItem>;
enum TDisplayOption { doMultiLine };
using TDisplayOptions = rtl::TSet<TDisplayOption>;
enum TDisplayMode { dmImageOnly, dmTextAndImage, dmTextOnly };
enum THeaderOrientation { hoHorizontal, hoVertical };
enum TFormatMaskKind { mkText, mkFloat };
enum TFormulaKind { fkNone, fkAverage, fkCount, fkDistinct, fkMaximum, fkMinimum, fkSum, fkCustom };
enum TColumnLocation { clAlone, clLeftSide, clRightSide, clMiddle };
enum TSlideCatpionLocation { clLeft, clTop };
enum TColumnMemberKind { ckFooter, ckHeader, ckInput };
// A column's slide-view options (the grid has its own slide options).
enum TColumnSlideOption { soAutoSize };
using TColumnSlideOptions = rtl::TSet<TColumnSlideOption>;

// One cell's value, as the column's text rules read it.
struct TCellInfo {
    bool AsBoolean = false;
    rtl::TDateTime AsDateTime = 0;
    double AsFloat = 0;
    int AsInteger = 0;
    rtl::String AsString;
    QVariant AsVariant; // never filled by the grid
    rtl::TObject* ObjectReference = nullptr;
};

// The record of a cell by its column's type. The cell must just have been reached through GetCell,
// so that a row-number cell reads its own row.
TCellInfo GetCellInfo(TCell* Cell, TColumnType ColumnType);

using TColumnGetTextEvent = rtl::TEvent<void(rtl::TObject* Sender, rtl::String& Text)>;
using TDrawCellEvent =
    rtl::TEvent<void(rtl::TObject* Sender, int ACol, int ARow, const TRect& CellRect, TCellState CellState)>;
using TColumnChangeEvent =
    rtl::TEvent<void(rtl::TObject* Sender, TRgCustomColumn* AColumn, TColumnChangeKind ChangeKind, int Param)>;
using TColumnsChangeEvent =
    rtl::TEvent<void(rtl::TObject* Sender, TColumnsOperation ChangeOpearation, int Value1, int Value2)>;

// ---- column parts --------------------------------------------------------------------------------------

class TColumnPart : public rtl::TPersistent {
public:
    explicit TColumnPart(TRgCustomColumn* AColumn);
    ~TColumnPart() override;

    const rtl::String& Caption() const { return FCaption; }
    void SetCaption(const rtl::String& Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TDisplayMode DisplayMode() const { return FDisplayMode; }
    void SetDisplayMode(TDisplayMode Value);
    TDrawingOptions DrawingOptions() const { return FDrawingOptions; }
    void SetDrawingOptions(TDrawingOptions Value);
    vcl::TBitmap* Glyph() const { return FGlyph.get(); }
    void SetGlyph(vcl::TBitmap* Value);
    const rtl::String& Hint() const { return FHint; }
    void SetHint(const rtl::String& Value) { FHint = Value; }
    rtl::TObject* ObjectReference() const { return FObjectReference; }
    void SetObjectReference(rtl::TObject* Value) { FObjectReference = Value; }
    TRgCustomColumn* Column() const { return FColumn; }

    void Assign(rtl::TPersistent* Source) override;

    rtl::TNotifyEvent OnChange;

protected:
    void Changed();
    void Refresh(TGridArea Area);

    rtl::String FCaption;
    TColor FColor = vcl::clWindow;
    TRgCustomColumn* FColumn;
    TDisplayMode FDisplayMode = dmTextOnly;
    std::unique_ptr<vcl::TBitmap> FGlyph;
    rtl::String FHint;
    rtl::TObject* FObjectReference = nullptr;
    TDrawingOptions FDrawingOptions = doNormal;

private:
    void GlyphChanged(rtl::TObject* Sender);
};

class TColumnHeader : public TColumnPart {
public:
    explicit TColumnHeader(TRgCustomColumn* AColumn);

    THeaderOrientation Orientation() const { return FOrientation; }
    void SetOrientation(THeaderOrientation Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    bool MultiLine() const { return FMultiLine; }
    void SetMultiLine(bool Value);
    vcl::TFont* Font() const { return FFont.get(); }
    void SetFont(vcl::TFont* Value);
    bool HideArrow() const { return FHideArrow; }
    void SetHideArrow(bool Value);
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool Value);

    void Assign(rtl::TPersistent* Source) override;

private:
    void FontChanged(rtl::TObject* Sender);

    THeaderOrientation FOrientation = hoHorizontal;
    TAlignment FAlignment = taLeftJustify;
    bool FMultiLine = false;
    std::unique_ptr<vcl::TFont> FFont;
    bool FHideArrow = true;
    bool FParentFont = true;
};

class TColumnFooter : public TColumnPart {
public:
    explicit TColumnFooter(TRgCustomColumn* AColumn);

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    const rtl::String& FormatMask() const { return FFormatMask; }
    void SetFormatMask(const rtl::String& Value);
    TFormatMaskKind FormatMaskKind() const { return FFormatMaskKind; }
    void SetFormatMaskKind(TFormatMaskKind Value);
    TFormulaKind FormulaKind() const { return FFormulaKind; }
    void SetFormulaKind(TFormulaKind Value);
    double FormulaValue() const { return FFormulaValue; }
    void SetFormulaValue(double Value);
    const rtl::String& TextAfter() const { return FTextAfter; }
    void SetTextAfter(const rtl::String& Value);
    const rtl::String& TextBefore() const { return FTextBefore; }
    void SetTextBefore(const rtl::String& Value);

    void Assign(rtl::TPersistent* Source) override;

private:
    TAlignment FAlignment = taLeftJustify;
    rtl::String FFormatMask;
    TFormatMaskKind FFormatMaskKind = mkText;
    TFormulaKind FFormulaKind = fkNone;
    double FFormulaValue = 0;
    rtl::String FTextAfter;
    rtl::String FTextBefore;
};

// The column's rectangle in the slide view.
class TRgSlideBounds : public rtl::TPersistent {
public:
    explicit TRgSlideBounds(TRgCustomColumn* AOwner) : FOwner(AOwner) {}

    int Left() const { return FLeft; }
    void SetLeft(int Value);
    int Top() const { return FTop; }
    void SetTop(int Value);
    int Height() const { return FHeight; }
    void SetHeight(int Value);
    int Width() const { return FWidth; }
    void SetWidth(int Value);
    int Right() const { return FLeft + FWidth; }
    int Bottom() const { return FTop + FHeight; }

    void Assign(rtl::TPersistent* Source) override;

private:
    void Changed();
    TRgCustomColumn* FOwner;
    int FLeft = 8;
    int FTop = 8;
    int FHeight = 16;
    int FWidth = 80;
};

// ---- the column ----------------------------------------------------------------------------------------

class TRgCustomColumn : public rtl::TComponent {
public:
    explicit TRgCustomColumn(rtl::TComponent* AOwner);
    ~TRgCustomColumn() override;

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    bool AutoEdit() const { return FAutoEdit; }
    void SetAutoEdit(bool Value) { FAutoEdit = Value; }
    TBiDiMode BiDiMode() const { return FBiDiMode; }
    void SetBiDiMode(TBiDiMode Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor Value);
    const rtl::String& DefaultValue() const { return FDefaultValue; }
    void SetDefaultValue(const rtl::String& Value) { FDefaultValue = Value; }
    int DefaultWidth() const { return FDefaultWidth; }
    void SetDefaultWidth(int Value) { FDefaultWidth = Value; }
    TDrawingOptions DrawingOptions() const { return FDrawingOptions; }
    void SetDrawingOptions(TDrawingOptions Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value) { FEnabled = Value; }
    vcl::TFont* Font() const { return FFont.get(); }
    void SetFont(vcl::TFont* Value);
    TColumnFooter* Footer() const { return FFooter.get(); }
    void SetFooter(TColumnFooter* Value);
    TColumnHeader* Header() const { return FHeader.get(); }
    void SetHeader(TColumnHeader* Value);
    rtl::TComponent* InplaceEdit() const { return FInplaceEdit; }
    void SetInplaceEdit(rtl::TComponent* Value);
    const rtl::String& InputCaption() const { return FInputCaption; }
    void SetInputCaption(const rtl::String& Value);
    const rtl::String& InputValue() const { return FInputValue; }
    void SetInputValue(const rtl::String& Value);
    int MinWidth() const { return FMinWidth; }
    void SetMinWidth(int Value) { FMinWidth = Value; }
    rtl::TObject* ObjectReference() const { return FObjectReference; }
    void SetObjectReference(rtl::TObject* Value) { FObjectReference = Value; }
    TColumnOptions Options() const { return FOptions; }
    void SetOptions(TColumnOptions Value);
    int Padding() const { return FPadding; }
    void SetPadding(int Value);
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool Value);
    bool ParentCellColor() const { return FParentCellColor; }
    void SetParentCellColor(bool Value);
    int Position() const { return FPosition; }
    void SetPosition(int Value);
    TAnchors SlideAnchors() const { return FSlideAnchors; }
    void SetSlideAnchors(TAnchors Value) { FSlideAnchors = Value; }
    TRgSlideBounds* SlideBounds() const { return FSlideBounds.get(); }
    void SetSlideBounds(TRgSlideBounds* Value);
    const TCaption& SlideCaption() const { return FSlideCaption; }
    void SetSlideCaption(const TCaption& Value);
    TSlideCatpionLocation SlideCaptionLocation() const { return FSlideCaptionLocation; }
    void SetSlideCaptionLocation(TSlideCatpionLocation Value);
    TColumnSlideOptions SlideOptions() const { return FSlideOptions; }
    void SetSlideOptions(TColumnSlideOptions Value);
    bool Sorted() const { return FSorted; }
    void SetSorted(bool Value);
    TSortKind SortKind() const { return FSortKind; }
    void SetSortKind(TSortKind Value);
    TSortType SortType() const { return FSortType; }
    void SetSortType(TSortType Value);
    const rtl::String& StyleClass() const { return FStyleClass; }
    void SetStyleClass(const rtl::String& Value) { FStyleClass = Value; }
    const rtl::String& TagString() const { return FTagString; }
    void SetTagString(const rtl::String& Value) { FTagString = Value; }
    TVerticalAlignment VerticalAlignment() const { return FVerticalAlignment; }
    void SetVerticalAlignment(TVerticalAlignment Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    int Width() const { return FWidth; }
    void SetWidth(int Value);
    TWrapKind WrapKind() const { return FWrapKind; }
    void SetWrapKind(TWrapKind Value);

    TDrawCellEvent OnSetCell;
    TColumnGetTextEvent OnGetDrawText;

    // Public, computed.
    int AbsoluteLeft() const;
    TRect ClientRect() const;
    TRgColumns* Columns() const { return FColumns; }
    TColumnStyle ColumnStyle() const { return GetColumnStyle(); }
    TColumnState ColumnState() const { return GetColumnState(); }
    TColumnType ColumnType() const { return FColumnType; }
    bool Editing() const { return FOptions.Contains(coEditing); }
    void SetEditing(bool Value);
    bool First() const;
    bool Last() const;
    bool Focused() const;
    IRgGridHost* GridComponent() const;
    bool Hover() const;
    int Index() const;
    void SetIndex(int Value);
    bool Input() const { return FInput; }
    void SetInput(bool Value) { FInput = Value; }
    int Left() const { return FLeft; }
    TColumnLocation Location() const;
    TRgCustomColumn* NextColumn() const;
    TRgCustomColumn* PrevColumn() const;
    bool Selected() const;
    TRect SlideRect() const;
    int SlideWidth() const { return FSlideBounds->Right() - FSlideBounds->Left(); }
    int VisibleIndex() const { return FVisibleIndex; }
    TRect GetMemberRect(TColumnMemberKind ColumnMemberKind) const;
    // The display that paints the column's cells and the play that answers the mouse and keys in them
    // (nullptr for a column without one); made by the column's class on first use, freed with it.
    TColumnDisplay* Display();
    TColumnPlay* Play();
    // A new display and play of the column's class.
    virtual std::unique_ptr<TColumnDisplay> GetColumnDisplayClass();
    virtual std::unique_ptr<TColumnPlay> GetColumnPlayClass();

    // Text rules.
    virtual int GetCellBestFit(const rtl::String& Value);
    virtual TDisplayOptions GetDisplayOptions() const { return {}; }
    virtual rtl::String GetDrawText(const TCellInfo& Cell);
    virtual rtl::String GetHintText(const TCellInfo& Cell) { return GetDrawText(Cell); }
    virtual rtl::String GetInputDrawText(const rtl::String& Value) { return Value; }
    virtual rtl::String GetInputValue(const rtl::String& Value) { return Value; }
    virtual bool IsKeyValid(rtl::Char) const { return false; }
    virtual void AdjustEditRect(int, TRect&) const {}

    // The in-place editor the column owns (nullptr for a class without one), made hidden on first use
    // and freed with the column; GetCellEditorClass makes one of the column's class.
    TRgCustomEdit* Editor();
    virtual std::unique_ptr<TRgCustomEdit> GetCellEditorClass();
    // The grid's editing bracket: the editor is set up for the column before it takes the cell's text,
    // brought up to date after, and the edited value passes the column before it is written.
    virtual void BeginEditing();
    virtual void UpdateEdit() {}
    virtual void ApplyEditing(const rtl::String& Value) { (void)Value; }

    void Assign(rtl::TPersistent* Source) override;
    void SetName(const rtl::String& NewName) override;

    void Refresh(TGridArea GridArea = gaNone);
    void ColumnChanged(TColumnChangeKind ChangeKind, int Param = -1);
    // Sets the width clamped to MinWidth, without resizing the auto-size columns.
    void SetSilentWidth(int Value);
    bool IsLoading() const;

protected:
    virtual TColumnState GetColumnState() const;
    virtual TColumnStyle GetColumnStyle() const { return {}; }
    virtual void SetColumnType(TColumnType Value) { FColumnType = Value; }
    void Notification(rtl::TComponent* AComponent, rtl::TOperation Operation) override;
    void Loaded() override;
    // The measured width of a text in the column's font.
    int MeasureText(const rtl::String& Value) const;

    TAlignment FAlignment = taLeftJustify;
    TColumnOptions FOptions{coCanClick, coCanInput, coCanSort, coPublicUsing};
    TSortType FSortType = stAlphabetic;

private:
    friend class TRgColumns;
    void FontChanged(rtl::TObject* Sender);
    void PartChanged(rtl::TObject* Sender);

    bool FAutoEdit = false;
    TBiDiMode FBiDiMode = bdLeftToRight;
    TColor FColor = vcl::clWindow;
    TRgColumns* FColumns = nullptr;
    TColumnType FColumnType = ctString;
    TCursor FCursor = crDefault;
    rtl::String FDefaultValue;
    int FDefaultWidth = 80;
    TDrawingOptions FDrawingOptions = doNormal;
    bool FEnabled = true;
    std::unique_ptr<vcl::TFont> FFont;
    std::unique_ptr<TColumnFooter> FFooter;
    std::unique_ptr<TColumnHeader> FHeader;
    rtl::TComponent* FInplaceEdit = nullptr;
    bool FInput = false;
    rtl::String FInputCaption;
    rtl::String FInputValue;
    int FLeft = 0;
    bool FParentCellColor = false;
    bool FParentFont = true;
    bool FParentFontUpdating = false;
    int FPosition = -1;
    std::unique_ptr<TRgSlideBounds> FSlideBounds;
    TCaption FSlideCaption;
    TSlideCatpionLocation FSlideCaptionLocation = clTop;
    bool FSorted = false;
    TSortKind FSortKind = skAscending;
    TVerticalAlignment FVerticalAlignment = taVerticalCenter;
    bool FVisible = true;
    int FVisibleIndex = -1;
    int FWidth = 80;
    TWrapKind FWrapKind = wkEllipsis;
    rtl::String FStyleClass;
    int FMinWidth = 8;
    int FPadding = 0;
    TColumnSlideOptions FSlideOptions;
    TAnchors FSlideAnchors{akLeft, akTop};
    rtl::TObject* FObjectReference = nullptr;
    rtl::String FTagString;
    std::unique_ptr<TColumnDisplay> FDisplay;
    std::unique_ptr<TColumnPlay> FPlay;
    bool FPlayMade = false;
    std::unique_ptr<TRgCustomEdit> FEditor;
    bool FEditorMade = false;
};

// ---- the collection ------------------------------------------------------------------------------------

class TRgColumns : public rtl::TComponent {
public:
    TRgColumns(rtl::TComponent* AOwner, IRgGridHost* Grid);
    ~TRgColumns() override;

    virtual TRgCustomColumn* GetItem(int Index) const;
    TRgCustomColumn* GetPositionItem(int Index) const;
    TRgCustomColumn* Item(int Index) const { return GetItem(Index); }
    TRgCustomColumn* Column(int Index) const { return GetItem(Index); }
    TRgCustomColumn* PositionItem(int Index) const { return GetPositionItem(Index); }

    virtual void AddColumn(TRgCustomColumn* AColumn);
    // Joining while the column is being loaded: item order now, display order once it is loaded.
    void JoinLoading(TRgCustomColumn* AColumn);
    void Remove(TRgCustomColumn* Item);
    void Move(int CurIndex, int NewIndex);
    void ChangePosition(int CurPosition, int NewPosition);
    bool Exists(int Index) const { return Index >= 0 && Index < Count(); }
    void UpdateColumns(bool UpdatePosition);
    void ResizeColumns(TRgCustomColumn* Column, bool UseColumn);
    void UpdateColumn(TRgCustomColumn* AColumn, TGridArea GridArea);
    void AnchorSlides(int OldWidth, int NewWidth);

    int ClientWidth() const;
    int Count() const { return static_cast<int>(FItemsList.size()); }
    bool Empty() const { return FItemsList.empty(); }
    TRgCustomColumn* First() const;
    TRgCustomColumn* Last() const;
    TRgCustomColumn* FirstEnabled() const;
    TRgCustomColumn* LastEnabled() const;
    int FixedCols() const { return FFixedCols; }
    void SetFixedCols(int Value);
    int FixedWidth() const { return FFixedWidth; }
    TRgCustomColumn* LastAdded() const { return FLastAdded; }
    int VisibleCount() const;
    int IndexOf(const TRgCustomColumn* AColumn) const;
    int PositionOf(const TRgCustomColumn* AColumn) const;
    // The next or previous other visible and enabled column in display order; the column itself
    // when there is none.
    TRgCustomColumn* NextOf(const TRgCustomColumn* AColumn) const;
    TRgCustomColumn* PrevOf(const TRgCustomColumn* AColumn) const;
    IRgGridHost* Grid() const { return FGrid; }
    bool GridLoading() const { return FGrid && FGrid->IsLoading(); }

    TColumnsChangeEvent OnChange;
    TColumnsChangeEvent OnRepaint;
    TColumnChangeEvent OnColumnChange;

private:
    friend class TRgCustomColumn;
    void PlaceLoaded(TRgCustomColumn* AColumn);
    static bool Usable(const TRgCustomColumn* C) { return C->Visible() && C->Enabled(); }

    IRgGridHost* FGrid;
    int FFixedCols = 0;
    int FFixedWidth = 0;
    std::vector<TRgCustomColumn*> FItemsList;
    TRgCustomColumn* FLastAdded = nullptr;
    std::vector<TRgCustomColumn*> FPositionItemsList;
};

// Fills the footer of every column with a formula from the rows that take part (all rows, or the
// visible ones when VisibleOnly, that the grid's row test accepts).
void CalculateFooter(TRgColumns* Columns, TCells* Cells, bool VisibleOnly);

} // namespace grid
