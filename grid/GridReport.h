// grid/GridReport.h: the report grid forms place (TReportGrid): the grid control over a cell store,
// with cell access, row operations, child rows and expansion, sorting that keeps the selected row,
// footer calculation and the formatting, compare and row-show events.
#pragma once
#include "grid/Cells.h"
#include "grid/GridControl.h"

namespace grid {

enum TChildRowPosition { crFirst, crLast };

using TCellFormatingEvent = rtl::TEvent<void(TObject* Sender, int ACol, int ARow, TColor& TextColor,
                                             vcl::TFontStyles& FontStyle, TCellState CellState)>;
using TRgRowExpandEvent = rtl::TEvent<void(TObject* Sender, int ARow)>;
// Called with no sender, as the application's handler expects.
using TKW_AfterRowShowEvent = rtl::TEvent<void(int Index, int ARowHeight, bool Show)>;

class TReportGrid : public TRgCustomGrid {
public:
    explicit TReportGrid(rtl::TComponent* AOwner);
    ~TReportGrid() override;

    int StartRowCount() const { return FStartRowCount; }
    void SetStartRowCount(int Value);
    int LastAddedRow() const { return FLastAddedRow; }
    int VisibleRows() { return GetVisibleRows(); }
    TCells* CellStore() const { return FCells.get(); }

    TCellFormatingEvent OnCellFormating;
    TCompareEvent OnCompare;
    TRgRowExpandEvent OnExpand;
    TKW_AfterRowShowEvent KW_OnAfterRowShow;

    // ---- cells ----
    // No range check: the caller keeps both indexes inside the grid.
    TCell* GetCell(int ACol, int ARow) { return FCells->GetCell(ACol, ARow); }
    TCell* Cell(int ACol, int ARow) { return GetCell(ACol, ARow); }
    String GetCells(int ACol, int ARow) override;
    bool CellTextStartsWith(int ACol, int ARow, const String& Prefix) override;
    int NextSearchCandidate(int ACol, const String& Prefix, int From, int To) override {
        return FCells->NextTextCandidate(ACol, Prefix, From, To);
    }
    void SetCells(int ACol, int ARow, const String& Value) override;
    TCellInfo GetCellInfo(int ACol, int ARow) override;
    String GetDrawText(int ACol, int ARow) override;
    String GetHintText(int ACol, int ARow) override;
    TColor GetCellColor(int ACol, int ARow) override;
    String GetCellHint(int ACol, int ARow) override;
    bool IsCellEmpty(int ACol, int ARow) override;
    bool ApplyCellFont(int ACol, int ARow, TCellState CellState) override;
    void ApplyCellFormating(int ACol, int ARow, const String& Text, TCellState CellState) override;
    void RevertStyle(int Index) override;

    // ---- rows ----
    TRow* GetRow(int Index) { return FCells->GetRow(Index); }
    TRow* Row(int Index) { return GetRow(Index); }
    int GetRowCount() override { return FCells->RowCount(); }
    int GetVisibleRows() override { return FCells->VisibleRowCount(); }
    int GetFirstVisibleRow() override { return FFirstVisibleRow; }
    int GetLastVisibleRow() override { return FLastVisibleRow; }
    int GetRowHeight(int Index) override;
    void SetRowHeight(int Index, int Value) override;
    void SetRowSize(int Value) override;
    int GetRowImageIndex(int Index) override { return GetRow(Index)->ImageIndex(); }
    int GetRowLevel(int Index) override { return GetRow(Index)->Level(); }
    bool GetRowVisible(int Index) override;
    void SetRowVisible(int Index, bool Value) override;
    bool GetSelected(int Index) override { return GetRow(Index)->Selected(); }
    void SetSelected(int Index, bool Value) override;
    void SelectRange(int FromRow, int ToRow, bool Value) override;
    void ClearSelection() override;

    int AddRow(int Count = 1) override;
    void ReserveRows(int Count);
    void InsertRow(int Pos, int Count = 1) override;
    void AddChildRow(int Index, TChildRowPosition Position);
    void DeleteRow(int Index) override;
    // Deletes the rows Gone picks (asked once per row, from the top) in one pass over the rows, as
    // DeleteRow would one by one from the bottom; returns how many went.
    int DeleteRows(const std::function<bool(int)>& Gone);
    void ClearChildRows(int Index);
    void ClearRows() override;
    void MoveRow(int FromPos, int ToPos) override;
    void SwapRows(int FromPos, int ToPos) override;

    // ---- tree ----
    int GetLevel(int Index) { return GetRow(Index)->Level(); }
    int GetParent(int Index);
    int GetNextSibling(int Index);
    int GetChildCount(int Index, bool Recurse);
    bool GetExpanded(int Index) { return GetRow(Index)->Expanded(); }
    bool Expanded(int Index) { return GetExpanded(Index); }
    void SetExpanded(int Index, bool Value);

    // ---- displays and plays ----
    void PrepareCellDisplay(int ACol, int ARow, TColumnDisplay* Display) override;
    // The display's value fields from the cell, by the column's type; the cell's record is the answer.
    TCellInfo FillDisplayValues(int ACol, int ARow, TColumnDisplay* Display);
    void PreparePlayValues(TColumnPlay* Play) override;
    void PlayChanged(TColumnPlay* Play) override;
    void PlayExpanded(TColumnPlay* Play) override;

    // ---- sorting and footer ----
    void SortColumn(TRgCustomColumn* AColumn, bool Asending) override;
    void CalculateFooter(bool VisibleOnly) override;

protected:
    void Paint() override;
    void ColumnsChanged(TColumnsOperation ChangeOpearation, int Value1, int Value2) override;

private:
    void CellChanged(TObject* Sender, int ACol, int ARow);
    void CompareCells(TObject* Sender, TCell* Cell1, TCell* Cell2, int& Compare);
    void CheckCell(int ACol, int ARow);
    void WriteDefaultValues(int ARow);
    // The event for a row whose space opened or closed.
    void RowShow(int Index, int Height, bool Show);
    // A row became visible: shown at the top when nothing visible was above the first row in view.
    void RowShown(int Index);
    // Rows [From, From + Count) left the store: indexes past them move back, the first row in view and
    // the current row stay on the rows they named.
    void RowsRemoved(int From, int Count, TRow* Current);
    void CurrentRowGone(int Former, int Target);
    // After a structural change: visible range, scroll bar, repaint.
    void RowsChanged();
    int ActualRowHeight(int Index) { return FGridStyle == gsSlides ? FSlideSize : GetRowHeight(Index); }

    // The next sibling of every row while a paint runs (-1: none), found on first need.
    void FindNextSiblings();
    bool FPainting = false;
    std::vector<int> FNextSiblings;
    std::unique_ptr<TCells> FCells;
    int FLastAddedRow = -1;
    int FStartRowCount = 0;
};

} // namespace grid
