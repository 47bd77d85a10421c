// grid/GridControl.h: the report grid's control class: options, state, the row and cell operations
// it declares for a store to implement, the update counter, column notifications, events, geometry and
// scrolling, and the selection model. Painting, mouse and keyboard input and in-place editing build on
// this class; here they are the virtual operations they override.
#pragma once
#include "grid/CellPainters.h"
#include "grid/DragBox.h"
#include "grid/Columns.h"
#include "grid/GridCommon.h"
#include "grid/Painters.h"
#include "grid/ScrollControl.h"
#include "grid/TextEdit.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"

#include <array>
#include <memory>

namespace grid {

using vcl::TShiftState;

enum TGridOption {
    goArrowKeyExitEditing, goCanHideColumn, goDisableColumnMoving, goDisableKeys, goEscClearEdit, goFooter,
    goGrid, goHeader, goIndicator, goInput, goLockFixedCols, goMultiSelect, goRowResizing, goRowMoving,
    goSecondClickEdit, goSelectFullRow, goUseDefaultValues, goInplaceEditEvents
};
using TGridOptions = rtl::TSet<TGridOption>;
enum TAppearanceOption {
    ao3DGridLines, aoAlphaBlendedSelection, aoBoldTextSelection, aoDontFillCells, aoHideFocus, aoHideSelection,
    aoHighlightSlideCells, aoHintMarks, aoIndicateSelectedCell, aoIndicateSortedColumn
};
using TAppearanceOptions = rtl::TSet<TAppearanceOption>;
enum TGridStateItem {
    gtColumnResizing, gtColumnHeaderDown, gtColumnMoving, gtEdit, gtEditorMoving, gtIndicatorMouseDown, gtInput,
    gtMultiSelect, gtRolling, gtRowMoving, gtHorzScrolling, gtUpdating
};
using TGridState = rtl::TSet<TGridStateItem>;
enum TGridStyle { gsReport, gsSlides };
enum TGridLinesStyle { lsNormal, lsActiveHorzOnly, lsActiveRows, lsFramed, lsHorizontalOnly, lsVerticalOnly };
enum TGridLinePosition { lpLeft, lpTop, lpRight, lpBottom, lpTopBottom };
enum TSelectionMoveDirection { mdNone, mdUp, mdDown, mdLeft, mdRight };
enum THeaderStyle { hsAuto, hsFlatBorders, hsOffice2007, hsOffice2010, hsOldStyle, hsOutlook, hsVista };
enum TSortedStyle { soDefault, soDarker, soWhite };
enum TBestFitMode { bfBoth, bfCells, bfHeader };
enum TInputEnterMode { imAllways, imEditing };
enum THomeEndBehaviour { hebTopBottom, hebLeftRight };
enum TDataChange {
    dcAddColumn, dcAddChildRow, dcAddRow, dcInsertColumn, dcInsertRow, dcDeleteColumn, dcDeleteRow, dcClearRows
};
enum TMoveSelectionKey { mkUndefined, mkArrows, mkTab, mkEnter };
enum TResizeKind { rkShrink, rkExpansion };
enum TSlideStateItem { stFocused, stSelected };
using TSlideState = rtl::TSet<TSlideStateItem>;
enum TSlideOption { soFrame, soHideSelection };
using TSlideOptions = rtl::TSet<TSlideOption>;

// ---- events --------------------------------------------------------------------------------------------

using rtl::String;
using rtl::TObject;
using TGridCellEvent = rtl::TEvent<void(TObject* Sender, int ACol, int ARow)>;
using TGridColumnEvent = rtl::TEvent<void(TObject* Sender, int ACol)>;
using TGridValueEvent = rtl::TEvent<void(TObject* Sender, int ACol, int ARow, const String& Value)>;
using TGridTextEvent = rtl::TEvent<void(TObject* Sender, int ACol, int ARow, String& Value)>;
using TGridAcceptEvent = rtl::TEvent<void(TObject* Sender, int ACol, int ARow, bool& Accept)>;
using TGridRowMoveEvent = rtl::TEvent<void(TObject* Sender, int FromPos, int ToPos)>;
using TGridRowMoveAcceptEvent = rtl::TEvent<void(TObject* Sender, int FromPos, int ToPos, bool& Accept)>;
using TGridRowAcceptEvent = rtl::TEvent<void(TObject* Sender, int Index, bool& Accept)>;
using TGridBeforeScrollEvent = rtl::TEvent<void(TObject* Sender, TScrollBarKind Kind, bool& Accept)>;
using TGridCellColoringEvent = rtl::TEvent<void(TObject* Sender, int ACol, int ARow, TColor& CellColor,
                                                TColor& GridColor, TCellState CellState)>;
using TGridRowHeightEvent = rtl::TEvent<void(TObject* Sender, int Index, int Height)>;
using TGridMeasureRowEvent = rtl::TEvent<void(TObject* Sender, int Index, int& RowHeight)>;
using TGridFooterValueEvent = rtl::TEvent<void(TObject* Sender, int ACol, double& Value)>;
using TGridColumnMoveEvent = rtl::TEvent<void(TObject* Sender, int ACol, int FromPos, int ToPos)>;
using TGridDrawCellEvent =
    rtl::TEvent<void(TObject* Sender, int ACol, int ARow, const TRect& CellRect, TCellState CellState)>;
using TGridDrawPartEvent = rtl::TEvent<void(TObject* Sender, int Index, const TRect& PartRect)>;
using TGridDrawIndicatorEvent =
    rtl::TEvent<void(TObject* Sender, int Index, const TRect& IndicatorRect, bool Selected, bool Highlighted)>;
using TGridDataChangeEvent = rtl::TEvent<void(TObject* Sender, TDataChange AChangeType, int AIndex)>;
using TGridCellBackgroundEvent = rtl::TEvent<void(TObject* Sender, int ACol, int ARow, const TRect& CellRect,
                                                  TCellState CellState, bool& DefaultDrawing)>;
using TGridEditAcceptEvent =
    rtl::TEvent<void(TObject* Sender, int ACol, int ARow, const String& Value, bool& Accept)>;
using TGridEndEditingEvent = rtl::TEvent<void(TObject* Sender, int ACol, int ARow, String& Value, bool& Accept)>;
using TGridInputAcceptEvent = rtl::TEvent<void(TObject* Sender, bool& Accept)>;
using TGridSlideColoringEvent =
    rtl::TEvent<void(TObject* Sender, int Index, TColor& SlideColor, TColor& GridColor, TSlideState SlideState)>;
using TGridSortColumnEvent = rtl::TEvent<void(TObject* Sender, int ACol, bool Ascending)>;
using TGridSelectionMoveEvent = rtl::TEvent<void(TObject* Sender, int& ACol, int ARow, TMoveSelectionKey Key)>;

class TRgCustomGridControl;

// Dest takes Source's font; when only the colour differs the font's handle is kept (a new handle
// costs a font lookup, and cells of one column share their font).
void AssignFont(vcl::TFont* Dest, vcl::TFont* Source);

// The grid a column or a cell store was given, or nullptr for another host.
TRgCustomGridControl* GridOf(IRgGridHost* Host);

// ---- the control ---------------------------------------------------------------------------------------

class TRgCustomGridControl : public TRgScrollControl, public IStyleDisplayOwner {
public:
    static constexpr int IndicatorWidth = 12;

    explicit TRgCustomGridControl(rtl::TComponent* AOwner);
    ~TRgCustomGridControl() override;

    // ---- published properties ----
    TAppearanceOptions AppearanceOptions() const { return FAppearanceOptions; }
    void SetAppearanceOptions(TAppearanceOptions Value);
    bool AutoScroll() const { return FAutoScroll; }
    void SetAutoScroll(bool Value) { FAutoScroll = Value; }
    vcl::TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(vcl::TBorderStyle Value);
    const String& Caption() const { return FCaption; }
    void SetCaption(const String& Value);
    bool EnableVisualStyles() const { return FEnableVisualStyles; }
    void SetEnableVisualStyles(bool Value);
    int FixedCols() const { return FFixedCols; }
    void SetFixedCols(int Value);
    int FooterSize() const { return FFooterSize; }
    void SetFooterSize(int Value) { StoreAndInvalidate(FFooterSize, Value); }
    TColor GridLinesColor() const { return FGridLinesColor; }
    void SetGridLinesColor(TColor Value) { StoreAndInvalidate(FGridLinesColor, Value); }
    TGridLinesStyle GridLinesStyle() const { return FGridLinesStyle; }
    void SetGridLinesStyle(TGridLinesStyle Value);
    TGridStyle GridStyle() const { return FGridStyle; }
    void SetGridStyle(TGridStyle Value);
    int HeaderSize() const { return FHeaderSize; }
    void SetHeaderSize(int Value);
    THeaderStyle HeaderStyle() const { return FHeaderStyle; }
    void SetHeaderStyle(THeaderStyle Value);
    bool HideScrollBar() const { return FHideScrollBar; }
    void SetHideScrollBar(bool Value);
    TColor HighlightedTextColor() const { return FHighlightedTextColor; }
    void SetHighlightedTextColor(TColor Value);
    TColor InactiveSelectionColor() const { return FInactiveSelectionColor; }
    void SetInactiveSelectionColor(TColor Value) { StoreAndInvalidate(FInactiveSelectionColor, Value); }
    TDrawingOptions IndicatorDrawingOptions() const { return FIndicatorDrawingOptions; }
    void SetIndicatorDrawingOptions(TDrawingOptions Value);
    int InputSize() const { return FInputSize; }
    void SetInputSize(int Value) { StoreAndInvalidate(FInputSize, Value); }
    TGridOptions Options() const { return FOptions; }
    void SetOptions(TGridOptions Value);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value) { FReadOnly = Value; }
    int RowSize() const { return FRowSize; }
    virtual void SetRowSize(int Value);
    TColor SelectionColor() const { return FSelectionColor; }
    void SetSelectionColor(TColor Value) { FSelectionColor = Value; }
    TSelectionMoveDirection SelectionMoveDirection() const { return FSelectionMoveDirection; }
    void SetSelectionMoveDirection(TSelectionMoveDirection Value) { FSelectionMoveDirection = Value; }
    TSlideOptions SlidesOptions() const { return FSlideOptions; }
    void SetSlidesOptions(TSlideOptions Value) { StoreAndInvalidate(FSlideOptions, Value); }
    TColor SlideCaptionColor() const { return FSlideCaptionColor; }
    void SetSlideCaptionColor(TColor Value) { StoreAndInvalidate(FSlideCaptionColor, Value); }
    TColor SlideSelectionColor() const { return FSlideSelectionColor; }
    void SetSlideSelectionColor(TColor Value) { StoreAndInvalidate(FSlideSelectionColor, Value); }
    int SlideSize() const { return FSlideSize; }
    void SetSlideSize(int Value);
    TSortedStyle SortedStyle() const { return FSortedStyle; }
    void SetSortedStyle(TSortedStyle Value) { StoreAndInvalidate(FSortedStyle, Value); }
    const String& Version() const { return FVersion; }
    void SetVersion(const String&) { FVersion = QStringLiteral("1.4.0"); }
    bool WantReturns() const { return FWantReturns; }
    void SetWantReturns(bool Value) { FWantReturns = Value; }
    bool WantTabs() const { return FWantTabs; }
    void SetWantTabs(bool Value) { FWantTabs = Value; }
    TInputEnterMode InputEnterMode() const { return FInputEnterMode; }
    void SetInputEnterMode(TInputEnterMode Value) { FInputEnterMode = Value; }
    THomeEndBehaviour HomeEndBehaviour() const { return FHomeEndBehaviour; }
    void SetHomeEndBehaviour(THomeEndBehaviour Value) { FHomeEndBehaviour = Value; }
    bool TabLeaveControl() const { return FTabLeaveControl; }
    void SetTabLeaveControl(bool Value) { FTabLeaveControl = Value; }

    // The style colours the application sets per visual style.
    TColor KW_IndicatorHotBackground() const { return FKW_IndicatorHotBackground; }
    void SetKW_IndicatorHotBackground(TColor Value) { StoreAndInvalidate(FKW_IndicatorHotBackground, Value, true); }
    bool KW_CustomizationEnabled() const { return FKW_CustomizationEnabled; }
    void SetKW_CustomizationEnabled(bool Value) { StoreAndInvalidate(FKW_CustomizationEnabled, Value, true); }
    TColor KW_IndicatorHotTriangle() const { return FKW_IndicatorHotTriangle; }
    void SetKW_IndicatorHotTriangle(TColor Value) { StoreAndInvalidate(FKW_IndicatorHotTriangle, Value, true); }
    TColor KW_FooterBorder() const { return FKW_FooterBorder; }
    void SetKW_FooterBorder(TColor Value) { StoreAndInvalidate(FKW_FooterBorder, Value, true); }
    TColor KW_FooterAreaSplitter() const { return FKW_FooterAreaSplitter; }
    void SetKW_FooterAreaSplitter(TColor Value) { StoreAndInvalidate(FKW_FooterAreaSplitter, Value, true); }
    TColor KW_HeaderGrid() const { return FKW_HeaderGrid; }
    void SetKW_HeaderGrid(TColor Value) { StoreAndInvalidate(FKW_HeaderGrid, Value, true); }
    TColor KW_IndicatorColumnBackground() const { return FKW_IndicatorColumnBackground; }
    void SetKW_IndicatorColumnBackground(TColor Value) { StoreAndInvalidate(FKW_IndicatorColumnBackground, Value, true); }
    TColor KW_IndicatorColumnGrid() const { return FKW_IndicatorColumnGrid; }
    void SetKW_IndicatorColumnGrid(TColor Value) { StoreAndInvalidate(FKW_IndicatorColumnGrid, Value, true); }
    TColor KW_CornerBoxTop() const { return FKW_CornerBoxTop; }
    void SetKW_CornerBoxTop(TColor Value) { StoreAndInvalidate(FKW_CornerBoxTop, Value, true); }
    TColor KW_CornerBoxBottom() const { return FKW_CornerBoxBottom; }
    void SetKW_CornerBoxBottom(TColor Value) { StoreAndInvalidate(FKW_CornerBoxBottom, Value, true); }
    TColor KW_CornerBoxBottomBorder() const { return FKW_CornerBoxBottomBorder; }
    void SetKW_CornerBoxBottomBorder(TColor Value) { StoreAndInvalidate(FKW_CornerBoxBottomBorder, Value, true); }
    TColor KW_CornerBoxTopBorder() const { return FKW_CornerBoxTopBorder; }
    void SetKW_CornerBoxTopBorder(TColor Value) { StoreAndInvalidate(FKW_CornerBoxTopBorder, Value, true); }
    TColor KW_IndicatorColumnGridSelected() const { return FKW_IndicatorColumnGridSelected; }
    void SetKW_IndicatorColumnGridSelected(TColor Value) {
        StoreAndInvalidate(FKW_IndicatorColumnGridSelected, Value, true);
    }
    bool KW_DoNotDrawFocusRect() const { return FKW_DoNotDrawFocusRect; }
    void SetKW_DoNotDrawFocusRect(bool Value) { StoreAndInvalidate(FKW_DoNotDrawFocusRect, Value, true); }
    TColor KW_SortDarker() const { return FKW_SortDarker; }
    void SetKW_SortDarker(TColor Value) { StoreAndInvalidate(FKW_SortDarker, Value, true); }
    TColor KW_BorderColor() const { return FKW_BorderColor; }
    void SetKW_BorderColor(TColor Value);
    bool KW_DontDrawHeaderVertGridOnLastCol() const { return FKW_DontDrawHeaderVertGridOnLastCol; }
    void SetKW_DontDrawHeaderVertGridOnLastCol(bool Value) { StoreAndInvalidate(FKW_DontDrawHeaderVertGridOnLastCol, Value); }
    TColor KW_LastColVerticalGridColor() const { return FKW_LastColVerticalGridColor; }
    void SetKW_LastColVerticalGridColor(TColor Value) { StoreAndInvalidate(FKW_LastColVerticalGridColor, Value); }
    TColor KW_LastRowHorizontalGridColor() const { return FKW_LastRowHorizontalGridColor; }
    void SetKW_LastRowHorizontalGridColor(TColor Value) { StoreAndInvalidate(FKW_LastRowHorizontalGridColor, Value); }

    // ---- public state ----
    TRgColumns* Columns() const { return FColumns; }
    IRgGridHost* Host() const { return FHost.get(); }
    vcl::TPoint SelectedCell() const { return vcl::TPoint(FSelectedColumn, FSelectedRow); }
    bool MultiSelect() const { return FOptions.Contains(goMultiSelect) && FOptions.Contains(goSelectFullRow); }
    int SelectedCount() { return GetSelectedCount(); }
    int SelectedRow() { return GetSelectedRow(); }
    void SetSelectedRow(int Value) { DoSetSelectedRow(Value); }
    int SelectedColumn() const { return FSelectedColumn; }
    void SetSelectedColumn(int Value);
    bool Selected(int Index) { return GetSelected(Index); }
    void SetSelectedFlag(int Index, bool Value) { SetSelected(Index, Value); }
    int RowCount() { return GetRowCount(); }
    void SetRowCount(int Value);
    int FirstRow() const { return FFirstRow; }
    int FirstVisibleRow() { return GetFirstVisibleRow(); }
    int LastVisibleRow() { return GetLastVisibleRow(); }
    int LastRow() const { return FLastRow; }
    int LastRowInView();
    int InnerWidth() { return GetInnerWidth(); }
    bool Editing() const { return FGridState.Contains(gtEdit); }
    vcl::TPoint EditingCell() const { return FEditingCell; }
    void SetEditingCell(const vcl::TPoint& Value) { EditCell(Value.X, Value.Y, String()); }
    int InputingColumn() const { return FInputingColumn; }
    bool InputSelected() const { return FInputSelected; }
    TRgCustomColumn* FocusedColumn() const { return FFocusedColumn; }
    TRgCustomColumn* HoverColumn() const { return FHoverColumn; }
    vcl::TPoint PaintingCell() const { return FPaintingCell; }
    TRgCustomColumn* SortedColumn() const { return FSortedColumn; }
    TGridState GridState() const { return FGridState; }
    int UpdateCount() const { return FUpdateCount; }
    TResizeKind VertResizeKind() const { return FVertResizeKind; }
    // The header painter of the current header style.
    TStyleDisplay* CurrentStyleDisplay() const { return FCurrentStyleDisplay; }
    HTHEME Theme() const { return FTheme; }
    TColor GridColor() const override { return const_cast<TRgCustomGridControl*>(this)->Color(); }
    TKwGridColors KwColors() const override;
    bool Updating() const { return FUpdateCount > 0; }
    // The grid or its in-place editor has the focus.
    bool Focused() const override;

    // ---- update counting ----
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate(bool CanUpdate = true);

    // ---- rows and cells (a store implements the abstract ones) ----
    virtual int AddRow(int Count = 1) = 0;
    virtual void InsertRow(int Pos, int Count = 1);
    virtual void DeleteRow(int Index);
    virtual void MoveRow(int FromPos, int ToPos);
    virtual void ClearRows();
    virtual void SwapRows(int FromPos, int ToPos) = 0;
    virtual void SelectRange(int FromRow, int ToRow, bool Value) = 0;
    virtual void CalculateFooter(bool VisibleOnly) = 0;
    virtual String GetCells(int ACol, int ARow) = 0;
    // Whether the cell's text begins with Prefix, case ignored (the incremental search asks every row).
    virtual bool CellTextStartsWith(int ACol, int ARow, const String& Prefix) {
        return GetCells(ACol, ARow).startsWith(Prefix, Qt::CaseInsensitive);
    }
    // The first row in [From, To] the search still has to ask CellTextStartsWith about, or To + 1 when
    // no row there can match; a grid that knows its texts passes over rows without reading them.
    virtual int NextSearchCandidate(int, const String&, int From, int) { return From; }
    virtual void SetCells(int ACol, int ARow, const String& Value) = 0;
    virtual TCellInfo GetCellInfo(int ACol, int ARow) = 0;
    virtual String GetDrawText(int ACol, int ARow) = 0;
    virtual String GetHintText(int ACol, int ARow) = 0;
    virtual int GetRowCount() = 0;
    virtual int GetVisibleRows() = 0;
    virtual int GetFirstVisibleRow() = 0;
    virtual int GetLastVisibleRow() = 0;
    virtual bool GetSelected(int Index) = 0;
    virtual void SetSelected(int Index, bool Value) = 0;
    virtual int GetRowHeight(int Index);
    virtual void SetRowHeight(int Index, int Value);
    virtual int GetRowImageIndex(int) { return -1; }
    virtual int GetRowLevel(int) { return 0; }
    virtual bool GetRowVisible(int) { return true; }
    virtual void SetRowVisible(int Index, bool Value);
    virtual int GetSelectedCount();
    virtual int GetSelectedRow() { return FSelectedRow; }
    virtual int GetShownRows();
    virtual void RevertStyle(int Index) { (void)Index; }
    virtual TColor GetCellColor(int ACol, int ARow);
    virtual String GetCellHint(int ACol, int ARow);
    virtual bool IsCellEmpty(int ACol, int ARow);
    virtual bool ApplyCellFont(int ACol, int ARow, TCellState CellState);
    virtual void ApplyCellFormating(int ACol, int ARow, const String& Text, TCellState CellState) {
        (void)ACol, (void)ARow, (void)Text, (void)CellState;
    }
    virtual bool CanEdit() { return true; }
    virtual bool CanSelectCell(int ACol, int ARow, TShiftState Shift) {
        (void)ACol, (void)ARow, (void)Shift;
        return true;
    }
    virtual void SetEditedCell(const String& Value) { SetCells(FEditingCell.X, FEditingCell.Y, Value); }
    virtual bool BlankPartialRows() { return false; }
    virtual void SortColumn(TRgCustomColumn* AColumn, bool Asending);
    bool RowExist(int Index) { return Index >= 0 && Index < GetRowCount(); }
    bool CellBounds(int ACol, int ARow) { return ACol >= 0 && ACol < FColumns->Count() && RowExist(ARow); }
    // Every cell of every row as one text: cells end with Separator, rows with Separator CR LF, and a
    // CR LF inside a cell is marked with a "%" before it.
    String GetTextStr(const String& Separator);
    bool CanCalculateRow(int Index);

    // The input row gives up the selection.
    void LeaveInput() { FInputSelected = false; }

    // ---- selection ----
    virtual void SelectCell(int ACol, int ARow, TShiftState Shift, bool Deselect, bool AutoEdit);
    void SelectAll();
    virtual void ClearSelection();
    void NoSelection();
    virtual void SelectFirstRow(TShiftState Shift);
    virtual void SelectLastRow(TShiftState Shift);
    void SelectFirstColumn();
    void SelectLastColumn();
    virtual void MoveSelectionUp(TShiftState Shift);
    virtual void MoveSelectionDown(TShiftState Shift, bool NextControl, bool SelectFirst);
    void MoveSelectionLeft(TMoveSelectionKey Key);
    void MoveSelectionRight(TMoveSelectionKey Key);
    void MoveSelectionBy(int Distance);
    void MoveToNextCell(bool TabKey);
    void MoveToPrevCell(bool TabKey);
    void MoveByRow(bool MoveDown, TShiftState Shift);
    // Selects the first visible, selectable row after Row (-1: from the top) and answers it; -1 for none.
    int SelectRowBelow(int Row, TShiftState Shift);

    // ---- geometry ----
    int GetGridSpace(TGridLinePosition Index) const { return FGridSpace[Index]; }
    int IndicatorSize() const { return FOptions.Contains(goIndicator) ? IndicatorWidth : 0; }
    int HorzPosition() const { return FHorzScrollBar->Position(); }
    TRect GetHeaderRect();
    TRect GetInputRect();
    TRect GetBodyRect();
    TRect GetFooterRect();
    TRect GetIndicatorRect();
    TRect GetScrollRect();
    TRect GetInputCellRect(int ACol);
    TRect GetRowRect(int Index);
    virtual TRect GetCellRect(int ACol, int ARow);
    int GetRowTop(int Index);
    int GetCellTop(int ACol, int ARow) { (void)ACol; return GetRowTop(ARow); }
    int GetFixedWidth() const { return FColumns->FixedWidth(); }
    int GetActualRowHeight(int Index) { return FGridStyle == gsSlides ? FSlideSize : GetRowHeight(Index); }
    int GetVisibleCount(bool Expand);
    int GetInnerWidth();
    virtual int GetHorzOverflow();
    // The row reached by stepping Count - 1 visible rows down from the first row in view.
    int GetRowByVisibleCount(int Count);
    // Visible rows in [FromRow, ToRow).
    int CountVisibleRows(int FromRow, int ToRow);
    // The row after as many visible rows from row 0 as the vertical position says.
    int RowAtVertPosition();
    void ScrollToRow(int Index);
    void ScrollToColumn(TRgCustomColumn* AColumn);
    virtual void UpdateHorzScrollRange();
    virtual void UpdateVertScrollRange();
    int GetHorzScrollDelta(int OldPosition, int NewPosition) override;
    int GetVertScrollDelta(int OldPosition, int NewPosition) override;

    // ---- painting ----
    // Whether the cell shows as selected, the colours it is painted with before the events, and its
    // state as the painting events get it.
    bool IsCellHighlighted(int ACol, int ARow);
    virtual TColor GetActualCellColor(int ACol, int ARow);
    virtual TColor GetActualCellFontColor(int ACol, int ARow);
    TCellState GetCellState(int ACol, int ARow);
    // The column's width made to fit its header and/or its cells; a row's height made to fit its cells.
    void BestFitColumn(int Index, TBestFitMode BestFitMode = bfBoth, bool OnlyVisible = false);
    void BestFitRow(int Index);
    int GetCellHeight(int ACol, int ARow);
    // The non-client edge in the header style's colours.
    void PaintWindowEdge();

    // ---- repainting (what changed is invalidated; nothing while updating) ----
    void InvalidateArea(const TRect& Rect);
    // The row lies in the body's view (or below the last row, among the empty ones).
    bool RowInView(int Index);
    void RefreshCell(int ACol, int ARow);
    // With BorderOnly only the row's outline repaints.
    void RefreshRow(int Index, bool BorderOnly = false);
    // The line under the row.
    void RefreshRowGrid(int Index);
    void RefreshSlide(int Index, bool BorderOnly = false);
    void RefreshArea(TGridArea Area);
    void RefreshIndicator(int Index);
    void RefreshInputCell(int ACol);
    void RefreshColumn(TRgCustomColumn* Column, TGridArea Area);
    void RefreshColumnSlide(TRgCustomColumn* Column);
    void RefreshSelection();
    void RefreshRange(int FromRow, int ToRow);
    // Rows Index .. Index + Count - 1, as far as the body reaches.
    void RefreshRowsFrom(int Index, int Count);

    // ---- events ----
    TGridValueEvent OnAfterEdit;
    TGridRowMoveEvent OnAfterRowMove;
    TGridColumnEvent OnAfterSort;
    TGridTextEvent OnApplyCell;
    TGridTextEvent OnApplyEditText;
    TGridAcceptEvent OnBeforeEdit;
    TGridAcceptEvent OnBeforeSelect;
    TGridRowAcceptEvent OnCalculateRow;
    TGridBeforeScrollEvent OnBeforeScroll;
    TGridCellEvent OnCellClick;
    TGridCellColoringEvent OnCellColoring;
    TGridCellEvent OnCellDblClick;
    TGridTextEvent OnCellHint;
    TGridAcceptEvent OnCellShowing;
    TGridCellEvent OnChange;
    TGridRowHeightEvent OnChangeRowHeight;
    TGridFooterValueEvent OnColumnFooterValue;
    TGridColumnMoveEvent OnColumnMove;
    TGridColumnEvent OnColumnResize;
    TGridDrawCellEvent OnCustomDrawCell;
    TGridDrawPartEvent OnCustomDrawFooter;
    TGridDrawPartEvent OnCustomDrawHeader;
    TGridDrawIndicatorEvent OnCustomDrawIndicator;
    TGridDataChangeEvent OnDataChange;
    TGridCellEvent OnDeselectCell;
    TGridCellBackgroundEvent OnDrawCellBackground;
    TGridValueEvent OnEdit;
    TGridEditAcceptEvent OnEditAccept;
    rtl::TNotifyEvent OnEditEnter;
    rtl::TNotifyEvent OnEditExit;
    TGridTextEvent OnEditText;
    TGridEndEditingEvent OnEndEditing;
    TGridFooterValueEvent OnFooterCalculate;
    TGridColumnEvent OnFooterClick;
    TGridColumnEvent OnHeaderClick;
    TGridColumnEvent OnHeaderDblClick;
    TGridInputAcceptEvent OnInputAccept;
    rtl::TNotifyEvent OnInputAdded;
    TGridColumnEvent OnInputSelectCell;
    TGridCellEvent OnLoadProgress;
    TGridMeasureRowEvent OnMeasuringRowHeight;
    rtl::TNotifyEvent OnPostDraw;
    TGridRowMoveAcceptEvent OnRowMove;
    TGridCellEvent OnSelectCell;
    TGridColumnEvent OnSlideChange;
    TGridSlideColoringEvent OnSlideColoring;
    TGridSortColumnEvent OnSortColumn;
    TGridSelectionMoveEvent OnSelectionMove;
    rtl::TNotifyEvent OnUpdateColumns;
    TGridDrawCellEvent KW_AfterDrawCell;

protected:
    friend class TGridHost;

    // Stores a property value and invalidates; with OnlyChanged false the value is stored and the control
    // invalidated even when unchanged.
    template <class T> void StoreAndInvalidate(T& Field, const T& Value, bool Always = false) {
        if (!Always && Field == Value) return;
        Field = Value;
        Invalidate();
    }
    void CreateParams(vcl::TCreateParams& Params) override;
    void CreateWnd() override;
    void Dispatch(vcl::TMessage& Message) override;
    // The "header" theme for the default painter, while theming is active.
    void OpenHeaderTheme();
    void CloseHeaderTheme();
    void WMScroll(vcl::TWMScroll& Message, TRgCustomScrollBar* Bar) override;
    virtual void WMSizeChanged();
    void Paint() override;
    void Loaded() override;

    // Hooks of the parts built on this class.
    virtual void ScrolledRows(int Distance) { (void)Distance; }
    virtual void GridStyleChanged() {}
    virtual void HeaderStyleChanged() {}
    virtual void RepaintWindowEdge();
    void RepositionEditor() { PositionEditor(); }
    virtual void PaintReport();
    virtual void PaintReportRows();
    virtual void PaintReportParts();
    virtual void PaintSlides() {}
    virtual void DrawCell(int ACol, int ARow, const TRect& CellRect);
    void PaintEmptyCell(int ACol, int ARow, const TRect& CellRect);
    void DrawCellGrid(int ACol, int ARow, const TRect& R, TColor GridColor);
    virtual void DrawIndicatorCell(int Index, bool Selected, bool Highlighted);
    void PaintFocusRect();
    // A column's display takes what it paints besides the value (tree columns: the row's place).
    virtual void PrepareCellDisplay(int ACol, int ARow, TColumnDisplay* Display) {
        (void)ACol, (void)ARow, (void)Display;
    }
    void DoCustomDrawHeader(TObject* Sender, int Index, const TRect& HeaderRect);
    void DoCustomDrawFooter(TObject* Sender, int Index, const TRect& FooterRect);

    // The canvas's clip during a paint: the region the paint began with (in device coordinates) cut to
    // R, or to the client area.
    void ClipCanvas(const TRect& R);
    void ResetCanvasClip();
    // The clip of a cell: the scroll rectangle for scrolled columns, grown by the grid spaces, down to
    // the body's bottom at most.
    TRect CellClipRect(TRgCustomColumn* Column, const TRect& CellRect);
    // The columns end left of the client's right edge: the strip right of them is filled.
    void PaintRightStrip();
    void PaintCaption();
    // The rectangle of a visible column's cell at Top, Height high; false when it is off screen.
    bool ColumnCellRect(TRgCustomColumn* Column, int Top, int Height, TRect& R);
    // The focus frame of the current cell or row and its clip; false when none is drawn.
    bool FocusRectOf(TRect& R, TRect& Clip);
    // The XOR focus frame drawn on the window outside a paint: once before and once after a horizontal
    // scroll, it moves with the content without a repaint.
    void XorFocusRect();
    virtual TRgColumns* CreateColumns();

    // Column notifications from the collection.
    virtual void ColumnsChanged(TColumnsOperation ChangeOpearation, int Value1, int Value2);
    virtual void ColumnChanged(TRgCustomColumn* Column, TColumnChangeKind ChangeKind, int Param);
    virtual void ColumnsRepaint(int Kind);
    void DoDataChange(TDataChange AChangeType, int AIndex);
    void UpdateGridSpace();
    void DoSetSelectedRow(int Value);
    // After rows came, went, showed or hid: the first and last visible rows found again, and the
    // vertical bar made to count the visible rows above the first row in view (then its range).
    void RecountVisibleRange();
    void SyncVertScroll();
    // The grid line spacing of one stacked row (top + bottom).
    int LineSpace() const { return FGridSpace[lpTopBottom]; }

    TAppearanceOptions FAppearanceOptions{aoHideSelection, aoHighlightSlideCells};
    bool FAutoScroll = false;
    vcl::TBorderStyle FBorderStyle = vcl::bsSingle;
    String FCaption;
    vcl::TPoint FEditingCell{-1, -1};
    bool FEnableVisualStyles = true;
    int FFixedCols = 0;
    int FFooterSize = 18;
    int FFromSelected = -1;
    TColor FGridLinesColor = vcl::clBtnFace;
    TGridLinesStyle FGridLinesStyle = lsNormal;
    std::array<int, 5> FGridSpace{};
    TGridStyle FGridStyle = gsReport;
    int FHeaderSize = 18;
    THeaderStyle FHeaderStyle = hsAuto;
    bool FHideScrollBar = true;
    TColor FHighlightedTextColor = vcl::clHighlightText;
    TColor FInactiveSelectionColor = vcl::clBtnFace;
    TDrawingOptions FIndicatorDrawingOptions = doNormal;
    vcl::TWinControl* FInplaceEdit = nullptr;
    bool FInplaceEditUpdate = false;
    int FInputingColumn = -1;
    bool FInputSelected = false;
    int FInputSize = 16;
    TGridOptions FOptions{goHeader};
    vcl::TPoint FPaintingCell{-1, -1};
    bool FReadOnly = false;
    int FRowSize = 16;
    int FSelectedColumn = 0;
    TColor FSelectionColor = vcl::clHighlight;
    TSelectionMoveDirection FSelectionMoveDirection = mdDown;
    TSlideOptions FSlideOptions{soFrame, soHideSelection};
    TColor FSlideSelectionColor = vcl::clWindow;
    int FSlideSize = 80;
    TRgCustomColumn* FSortedColumn = nullptr;
    TSortedStyle FSortedStyle = soDefault;
    int FUpdateCount = 0;
    String FVersion = QStringLiteral("1.4.0");
    bool FWantReturns = false;
    bool FWantTabs = false;
    TColor FSlideCaptionColor = vcl::clGrayText;
    TInputEnterMode FInputEnterMode = imEditing;
    THomeEndBehaviour FHomeEndBehaviour = hebTopBottom;
    bool FTabLeaveControl = true;
    TColor FKW_IndicatorHotBackground = 0x333333;
    bool FKW_CustomizationEnabled = true;
    TColor FKW_IndicatorHotTriangle = 0xFFFFFF;
    TColor FKW_FooterBorder = 0xC0C0C0;
    TColor FKW_FooterAreaSplitter = vcl::clBtnFace;
    TColor FKW_HeaderGrid = vcl::clGrayText;
    TColor FKW_IndicatorColumnBackground = vcl::clBtnFace;
    TColor FKW_IndicatorColumnGrid = vcl::clGrayText;
    TColor FKW_CornerBoxTop = vcl::clBtnFace;
    TColor FKW_CornerBoxBottom = vcl::clBtnFace;
    TColor FKW_CornerBoxBottomBorder = vcl::clGrayText;
    TColor FKW_CornerBoxTopBorder = vcl::clGrayText;
    TColor FKW_IndicatorColumnGridSelected = vcl::clGrayText;
    bool FKW_DoNotDrawFocusRect = false;
    TColor FKW_SortDarker = vcl::clBtnFace;
    TColor FKW_BorderColor = vcl::clGray;
    bool FKW_DontDrawHeaderVertGridOnLastCol = false;
    TColor FKW_LastColVerticalGridColor = vcl::clNone;
    TColor FKW_LastRowHorizontalGridColor = vcl::clNone;
    std::unique_ptr<IRgGridHost> FHost;
    TRgColumns* FColumns = nullptr;
    int FFirstRow = 0;
    int FFirstVisibleRow = 0;
    int FLastVisibleRow = 0;
    TRgCustomColumn* FFocusedColumn = nullptr;
    TGridState FGridState;
    TRgCustomColumn* FHoverColumn = nullptr;
    int FLastRow = 0;
    vcl::TPoint FMouseDownCell{-1, -1};
    int FSelectedRow = -1;
    TResizeKind FVertResizeKind = rkShrink;
    std::unique_ptr<TStyleDisplay> FDefaultStyleDisplay, FFlatStyleDisplay, FOffice2007StyleDisplay,
        FOffice2010StyleDisplay, FOldStyleDisplay, FOutlookStyleDisplay, FVistaStyleDisplay;
    TStyleDisplay* FCurrentStyleDisplay = nullptr;
    HTHEME FTheme = 0;
    int FOldWidth = 0;
    int FOldHeight = 0;
    bool FRowsChangedWhileUpdating = false;
    HRGN FPaintClip = nullptr; // the clip a paint began with, nullptr without one

    // Editing, keys, hints and focus
public:
    // Opens the editor on a cell: with AText it holds that text (OnEdit fires), without it the cell's.
    virtual void EditCell(int ACol, int ARow, const String& AText);
    // Opens the editor on a cell because Key was typed: it holds only that character.
    void StartEdit(int ACol, int ARow, rtl::Char Key);
    // Opens the editor on a column's input cell (with Value, or the column's input value).
    virtual void InputColumn(TRgCustomColumn* Column, const String& Value);
    void StartInput(int Index, rtl::Char Key);
    // Writes the editor's value; true when something was written (or an input value was kept).
    virtual bool ApplyEditing();
    // Closes the editor without writing, unless OnEndEditing refuses.
    virtual void EndEditing();
    // The input row's values become a new row.
    virtual void AddRowFromInput();
    void SetInputSelected(bool Value);
    // Places and shows the editor over the edited cell.
    void PositionEditor();
    vcl::TWinControl* InplaceEdit() const { return FInplaceEdit; }
    // Whether Value reads as a value of column ACol's type (a text that does not is never written).
    virtual bool ValueFits(int ACol, const String& Value);

protected:
    virtual void HookEditorEvents();
    // Runs after the editor took its text.
    virtual void EditorPrepared() {}
    void SetInplaceEdit(vcl::TWinControl* Value);
    // Row and column operations, sorting and the slides view close the editor whatever OnEndEditing
    // answers: nothing is written.
    void CloseEditor() { FinishEditing(true); }
    void DoEnter() override;
    void DoExit() override;
    void AfterScroll(TScrollBarKind Kind) override;
    // An outside editor freed while in use is forgotten.
    void Notification(rtl::TComponent* AComponent, rtl::TOperation Operation) override;
    // The arrow keys the editor lets go under goArrowKeyExitEditing.
    void CMChildKey(vcl::TMessage& Message) override;
    // What the grid does with the editor's events.
    void EditorChange(TObject* Sender);
    void EditorEnterExit(TObject* Sender);
    void EditorKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    void EditorKeyPress(TObject* Sender, rtl::Char& Key);
    void EditorKeyUp(TObject* Sender, WORD& Key, TShiftState Shift);

    // The dialog code the grid answers, from the class library's.
    virtual LRESULT DialogCode(LRESULT Inherited) { return Inherited; }
    // The last apply left the editor open because its text did not fit the cell's type.
    bool FValueRejected = false;

private:
    bool FinishEditing(bool Force);
    // The column's editor (or its outside one) becomes the editor; false when it has none.
    bool TakeEditor(TRgCustomColumn* Column, int ACol, int ARow, bool Input);
    // The editor as an edit box (nullptr for another kind of control) and as one of the grid's editors.
    vcl::TCustomEdit* EditBox() const;
    TRgCustomEdit* GridEditor() const;
    // The caret to the end of the text, or the whole text selected.
    void PlaceCaret(TRgCustomColumn* Column);
    bool CanEditCell(int ACol, int ARow);
    // The first steps of opening an editor on a cell or an input cell (the previous edit written and
    // ended first); false when none opens.
    bool OpenCellEdit(int ACol, int ARow);
    bool OpenInput(TRgCustomColumn* Column);
};

// Mouse and keyboard handling build on this class.
class TRgCustomGrid : public TRgCustomGridControl {
public:
    // A column's play takes one cell's value, reports a change of it, or expands its row.
    virtual void PreparePlayValues(TColumnPlay* Play) = 0;
    virtual void PlayChanged(TColumnPlay* Play) { (void)Play; }
    virtual void PlayExpanded(TColumnPlay* Play) { (void)Play; }

    // Mouse, hit tests and slides
    explicit TRgCustomGrid(rtl::TComponent* AOwner);
    ~TRgCustomGrid() override;

    // Hit tests, in client coordinates.
    TGridArea GetAreaAtPos(const TPoint& Point);
    // Both edges of a column belong to it; the point's Y is not looked at.
    TRgCustomColumn* GetColumnAtPos(const TPoint& Point);
    int GetRowAtPos(int X, int Y);
    TPoint GetCellAtPos(const TPoint& APoint);
    TRgCustomColumn* GetColumnSizeGripAtPos(int X, int Y);
    int GetRowSizeGripAtPos(int X, int Y);
    // The display position a dragged column takes when dropped at Point.X.
    int GetNearestPosition(TRgCustomColumn* Column, const TPoint& Point);
    // Where a dragged row goes in: the row under Y, or the one after it below the row's middle; -1
    // above the body and below the rows.
    int GetNearestRow(int X, int Y);
    void UpdateArrows(int CurPosition, int NewPosition, bool UseSelf);
    void HideArrows();
    // Slides: the top of a slide in view, its band across the client, the slide under a point
    // (RowCount below the last one).
    int GetSlideTop(int Index);
    TRect GetSlideRect(int Index);
    int GetSlideAtPos(int X, int Y);
    TRect GetCellRect(int ACol, int ARow) override;

    TColumnDragBox* ColumnDragBox() const { return FColumnDragBox; }
    TDragArrow* UpDragArrow() const { return FUpDragArrow; }
    TDragArrow* DownDragArrow() const { return FDownDragArrow; }
    TPoint MouseDownPoint() const { return FMouseDownPoint; }
    int MoveRowPosition() const { return FMoveRow; }
    TPoint MouseOverCell() const { return FMouseOverCell; }

    // The column's play set up for a cell; false when OnBeforeEdit refuses (with AskBeforeEdit).
    virtual bool PreparePlay(int ACol, int ARow, const TRect& CellRect, bool AskBeforeEdit);

    // The hints the mouse shows over a header, a footer and a cell, or releases when it leaves that
    // area (gaNone: every hint).
    virtual void ShowHeaderHint(TRgCustomColumn* Column) { HeaderHint(Column); }
    virtual void ShowFooterHint(TRgCustomColumn* Column) { FooterHint(Column); }
    virtual void ShowCellHint(int ACol, int ARow) { CellHint(ACol, ARow); }
    virtual void ReleaseAreaHint(TGridArea Area);

protected:
    void Dispatch(vcl::TMessage& Message) override;
    void MouseDown(vcl::TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(vcl::TMouseButton Button, TShiftState Shift, int X, int Y) override;
    bool DoMouseWheelDown(TShiftState Shift, const TPoint& MousePos) override;
    bool DoMouseWheelUp(TShiftState Shift, const TPoint& MousePos) override;
    void DoGesture(const vcl::TGestureEventInfo& EventInfo, bool& Handled) override;
    void DragCanceled() override;
    void CreateWnd() override;
    void DragBoxMove(TObject* Sender, int X, int Y);
    void DragBoxDrop(TObject* Sender, int X, int Y);
    // A press outside every area, after editing ended.
    virtual void OutsidePress() {}
    // The application lost the activation: every drag is forgotten.
    void AppDeactivated();
    // The focus went in the middle of a drag: each one ends without effect, leaving no guide or marker.
    void CancelMouseDrags();
    void PaintSlides() override;
    virtual void PaintSlidesHeader();
    virtual void PaintSlidesBody();

    bool FCanDeselect = false;
    bool FClickOnSelected = false;
    TColumnDragBox* FColumnDragBox = nullptr;
    TDragArrow* FDownDragArrow = nullptr;
    TRgCustomColumn* FDragDropColumn = nullptr;
    TPoint FHoverCell{-1, -1};
    int FLeftResizingGuide = 0;
    TRgCustomColumn* FMouseDownColumn = nullptr;
    TPoint FMouseDownPoint{-1, -1};
    int FMouseDownRow = -1;
    int FMoveRow = -1;
    int FOldRowPosition = -1;
    TPoint FPanPoint;
    int FResizingRow = -1;
    int FRightResizingGuide = 0;
    TPoint FRowSizingPos;
    int FSizeDelta = 0;
    TRgCustomColumn* FSizeProgressColumn = nullptr;
    TRgCustomColumn* FSizeReadyColumn = nullptr;
    TDragArrow* FUpDragArrow = nullptr;
    TPoint FMouseOverCell{-1, -1};

private:
    void StartColumnResizing(int X);
    void MoveColumnResizing(int X);
    void EndColumnResizing();
    void DrawResizeGuide(int X);
    void DrawRowGuide(int Y);
    void BodyPress(vcl::TMouseButton Button, TShiftState Shift, int X, int Y, bool& Deselect);
    void BodyRelease(vcl::TMouseButton Button, TShiftState Shift, int X, int Y);
    void HeaderRelease(int X, int Y, TRgCustomColumn* Pressed);
    void RowMoveStep(int X, int Y);
    void RowMoveDrop(int X, int Y);
    void DrawMoveMarker(int Position);
    void EraseMoveMarker(int Position);
    int MoveMarkerY(int Position);
    // The drop zone for a dragged header: the header band as far as the columns and the client reach.
    TRect ColumnDropZone();
    bool MayMoveColumn(int OldPosition, int NewPosition);
    TRect SlideCellRect(TRgCustomColumn* Column, int Top);
    void PaintSlideCaption(TRgCustomColumn* Column, const TRect& CellRect);

public:
    rtl::TNotifyEvent KW_OnAfterKillFocus;
    rtl::TNotifyEvent KW_OnAfterSetFocus;

    // Editing, keys, hints and focus
public:
    enum THintPosition { hpNone, hpFooter, hpHeader, hpTextFit, hpCellHint };

    // Selects the next row (from the first with FromFirst, else after the current one, wrapping) whose
    // text in column Index starts with S, case ignored; false when none does.
    bool SearchNext(int Index, const String& S, bool FromFirst);
    // The first column in creation order with coSearchColumn, or nullptr.
    TRgCustomColumn* SearchColumn() const;
    const String& SearchBuffer() const { return FSearchBuffer; }
    virtual void HandleNavigationKey(WORD& Key, TShiftState Shift);

    // Hints: the window, shown at a client point while the grid's form is active and hints are on.
    virtual void CreateHintWindow();
    void ShowColumnHint(int X, int Y, const String& Text);
    // Whether the cell's text fits its column.
    bool IsTextFit(int ACol, int ARow);
    // What the mouse shows over a column's header or footer (nullptr: over none) and over a cell.
    void HeaderHint(TRgCustomColumn* Column);
    void FooterHint(TRgCustomColumn* Column);
    void CellHint(int ACol, int ARow);
    void ShowTextFitHint(int ACol, int ARow);
    void ShowCellHint(int ACol, int ARow, const String& Text);
    // Hides the hint window.
    void ReleaseHint();
    THintPosition HintPosition() const { return FHintPosition; }
    vcl::THintWindow* HintWindow() const { return FHintWindow; }

protected:
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(rtl::Char& Key) override;
    void KeyUp(WORD& Key, TShiftState Shift) override;
    void WMSetFocus(vcl::TWMSetFocus& Message) override;
    void WMKillFocus(vcl::TWMKillFocus& Message) override;
    void MouseLeave() override;
    void CMFontChanged(vcl::TMessage& Message) override;
    LRESULT DialogCode(LRESULT Inherited) override;

private:
    // End and Home in a multi-select grid: every visible row between the two ends is selected.
    void ExtendRange(int FromRow, int ToRow);
    // The column's play takes the current cell for a key; false when OnBeforeEdit refuses.
    bool PrepareKeyPlay(TRgCustomColumn* Column, int ARow);
    void SearchTimerTick(TObject* Sender);

    String FSearchBuffer;
    vcl::TTimer* FSearchTimer = nullptr; // made on the first search
    vcl::THintWindow* FHintWindow = nullptr; // a component of the grid, freed with it
    vcl::THintWindowClass FHintWindowClass = nullptr; // what made FHintWindow
    THintPosition FHintPosition = hpNone;
    TRgCustomColumn* FHeaderHintColumn = nullptr;
    TRgCustomColumn* FFooterHintColumn = nullptr;
    vcl::TPoint FHintCell{-1, -1}; // the cell the last cell hint was decided for
};

} // namespace grid
