// grid/Cells.h: the report grid's typed cells, its row records and the cell store with its sorting.
// A cell does not know its own place: it reports the store's current column and row, which GetCell
// records on every lookup, so position-dependent reads are valid for the cell just looked up.
#pragma once
#include "grid/GridCommon.h"
#include "rtl/Classes.h"
#include "rtl/Event.h"
#include "rtl/SysUtils.h"
#include "vcl/Graphics.h"

#include <array>
#include <memory>
#include <vector>

namespace grid {

class TCells;
class TRgColumns;
class TRgCustomColumn;
class TRgVirtualColumn;

enum TColumnType {
    ctAutoInc, ctBoolean, ctDate, ctFloat, ctGraphic, ctGuid, ctInteger, ctLookup, ctMemo, ctNone,
    ctString, ctVirtual
};
enum TSortKind { skAscending, skDescending };
enum TSortType {
    stAlphabetic, stBoolean, stCaseInsensitive, stCustom, stDate, stIP, stNumeric, stUnicodeAlphabetic
};
enum TColumnsOperation { opAdd, opClear, opDelete, opInsert, opMove };

enum TRgCellStateItem { cstEmpty, cstLocked };
using TRgCellState = rtl::TSet<TRgCellStateItem>;

// ---- cells ---------------------------------------------------------------------------------------------

class TCell : public rtl::TObject {
public:
    explicit TCell(TCells* Cells);

    TColor ActualColor() const { return GetActualColor(); }
    TColor ActualFontColor() const { return GetActualFontColor(); }

    bool AsBoolean() const { return GetAsBoolean(); }
    rtl::TDateTime AsDateTime() const { return GetAsDateTime(); }
    double AsFloat() const { return GetAsFloat(); }
    int AsInteger() const { return GetAsInteger(); }
    rtl::String AsString() const { return GetAsString(); }
    // Whether the text begins with Prefix, case ignored; text cells answer without copying the text.
    virtual bool TextStartsWith(const rtl::String& Prefix) const;
    virtual void SetAsBoolean(bool Value);
    virtual void SetAsDateTime(rtl::TDateTime Value);
    virtual void SetAsFloat(double Value);
    virtual void SetAsInteger(int Value);
    virtual void SetAsString(const rtl::String& Value);
    virtual void Clear();

    vcl::TFontStyles FontStyle() const { return FFontStyle; }
    void SetFontStyle(vcl::TFontStyles Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    const rtl::String& Hint() const { return FHint; }
    void SetHint(const rtl::String& Value);
    TColor TextColor() const { return FTextColor; }
    void SetTextColor(TColor Value);
    bool Empty() const { return FState.Contains(cstEmpty); }
    void SetEmpty(bool Value);
    bool Locked() const { return FState.Contains(cstLocked); }
    void SetLocked(bool Value);
    rtl::TObject* ObjectReference() const { return FObjectReference; }
    void SetObjectReference(rtl::TObject* Value) { FObjectReference = Value; }

    int ColumnIndex() const;
    int RowIndex() const;
    rtl::String DisplayText() const;
    bool Highlighted() const;
    TCells* Cells() const { return FCells; }

protected:
    virtual TColor GetActualColor() const;
    virtual TColor GetActualFontColor() const;
    virtual bool GetAsBoolean() const = 0;
    virtual rtl::TDateTime GetAsDateTime() const = 0;
    virtual double GetAsFloat() const = 0;
    virtual int GetAsInteger() const = 0;
    virtual rtl::String GetAsString() const = 0;
    virtual void Changed();

    TCells* FCells;
    rtl::TObject* FObjectReference = nullptr;
    vcl::TFontStyles FFontStyle;
    TColor FColor = 0;
    rtl::String FHint;
    TColor FTextColor = 0;
    TRgCellState FState{cstLocked};
};

class TBooleanCell : public TCell {
public:
    using TCell::TCell;
    void SetAsBoolean(bool Value) override;
    void SetAsDateTime(rtl::TDateTime Value) override;
    void SetAsFloat(double Value) override;
    void SetAsInteger(int Value) override;
    void SetAsString(const rtl::String& Value) override;
    void Clear() override;

protected:
    bool GetAsBoolean() const override { return FValue; }
    rtl::TDateTime GetAsDateTime() const override { return 0; }
    double GetAsFloat() const override { return FValue ? 1.0 : 0.0; }
    int GetAsInteger() const override { return FValue ? 1 : 0; }
    rtl::String GetAsString() const override;

private:
    bool FValue = false;
};

class TDateTimeCell : public TCell {
public:
    using TCell::TCell;
    void SetAsBoolean(bool Value) override;
    void SetAsDateTime(rtl::TDateTime Value) override;
    void SetAsFloat(double Value) override;
    void SetAsInteger(int Value) override;
    void SetAsString(const rtl::String& Value) override;
    void Clear() override;

protected:
    bool GetAsBoolean() const override { return false; }
    rtl::TDateTime GetAsDateTime() const override { return FValue; }
    double GetAsFloat() const override { return FValue; }
    int GetAsInteger() const override;
    rtl::String GetAsString() const override;

private:
    rtl::TDateTime FValue = 0;
};

class TFloatCell : public TCell {
public:
    using TCell::TCell;
    void SetAsBoolean(bool Value) override;
    void SetAsDateTime(rtl::TDateTime Value) override;
    void SetAsFloat(double Value) override;
    void SetAsInteger(int Value) override;
    void SetAsString(const rtl::String& Value) override;
    void Clear() override;

protected:
    bool GetAsBoolean() const override { return false; }
    rtl::TDateTime GetAsDateTime() const override { return FValue; }
    double GetAsFloat() const override { return FValue; }
    int GetAsInteger() const override;
    rtl::String GetAsString() const override;

private:
    double FValue = 0;
};

class TIntegerCell : public TCell {
public:
    using TCell::TCell;
    void SetAsBoolean(bool Value) override;
    void SetAsDateTime(rtl::TDateTime Value) override;
    void SetAsFloat(double Value) override;
    void SetAsInteger(int Value) override;
    void SetAsString(const rtl::String& Value) override;
    void Clear() override;

protected:
    bool GetAsBoolean() const override { return FValue > 0; }
    rtl::TDateTime GetAsDateTime() const override { return 0; }
    double GetAsFloat() const override { return FValue; }
    int GetAsInteger() const override { return FValue; }
    rtl::String GetAsString() const override;

private:
    int FValue = 0;
};

class TStringCell : public TCell {
public:
    using TCell::TCell;
    void SetAsBoolean(bool Value) override;
    void SetAsDateTime(rtl::TDateTime Value) override;
    void SetAsFloat(double Value) override;
    void SetAsInteger(int Value) override;
    void SetAsString(const rtl::String& Value) override;
    void Clear() override;

protected:
    bool GetAsBoolean() const override;
    rtl::TDateTime GetAsDateTime() const override;
    double GetAsFloat() const override;
    int GetAsInteger() const override;
    rtl::String GetAsString() const override { return FValue; }

public:
    bool TextStartsWith(const rtl::String& Prefix) const override {
        return FValue.startsWith(Prefix, Qt::CaseInsensitive);
    }
    const rtl::String& Text() const { return FValue; }

private:
    rtl::String FValue;
};

// The row number, 1-based, computed from the cell's place; writes store nothing.
class TIncrementCell : public TCell {
public:
    using TCell::TCell;
    void Clear() override {}

protected:
    bool GetAsBoolean() const override { return false; }
    rtl::TDateTime GetAsDateTime() const override { return 0; }
    double GetAsFloat() const override { return RowIndex() + 1; }
    int GetAsInteger() const override { return RowIndex() + 1; }
    rtl::String GetAsString() const override;
};

// Base of the cells whose typed values all pass through their text.
class TTextBackedCell : public TCell {
public:
    using TCell::TCell;
    void SetAsBoolean(bool Value) override;
    void SetAsDateTime(rtl::TDateTime Value) override;
    void SetAsFloat(double Value) override;
    void SetAsInteger(int Value) override;

protected:
    bool GetAsBoolean() const override;
    rtl::TDateTime GetAsDateTime() const override;
    double GetAsFloat() const override;
    int GetAsInteger() const override;
};

class TGuidCell : public TTextBackedCell {
public:
    explicit TGuidCell(TCells* Cells);
    void SetAsString(const rtl::String& Value) override;
    rtl::TGUID AsGuid() const { return FValue; }
    void SetAsGuid(const rtl::TGUID& Value) { FValue = Value; }

protected:
    rtl::String GetAsString() const override;

private:
    rtl::TGUID FValue;
};

// The value lives outside the grid: the column's text events read and write it.
class TVirtualCell : public TTextBackedCell {
public:
    using TTextBackedCell::TTextBackedCell;
    void SetAsString(const rtl::String& Value) override;
    TRgVirtualColumn* Column() const { return FColumn; }
    void SetColumn(TRgVirtualColumn* Value) { FColumn = Value; }

protected:
    rtl::String GetAsString() const override;

private:
    TRgVirtualColumn* FColumn = nullptr;
};

// ---- rows ----------------------------------------------------------------------------------------------

class TRow : public rtl::TObject {
public:
    int ChildCount() const { return FChildCount; }
    void* Data() const { return FData; }
    void SetData(void* Value) { FData = Value; }
    bool Expanded() const { return FExpanded; }
    void SetExpanded(bool Value) { FExpanded = Value; }
    bool HasChildren() const { return FChildCount > 0; }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value) { FImageIndex = Value; }
    int Level() const { return FLevel; }
    void SetLevel(int Value) { FLevel = Value; }
    TRow* ParentRow() const { return FParentRow; }
    void SetParentRow(TRow* Value) { FParentRow = Value; }
    int RowHeight() const { return FRowHeight; }
    void SetRowHeight(int Value) { FRowHeight = Value; }
    bool Selected() const { return FSelected; }
    void SetSelected(bool Value) { FSelected = Value; }
    bool Shown() const { return FShown; }
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value) { FVisible = Value; }

    void AddChild() { ++FChildCount; }
    void DeleteChild() { --FChildCount; }
    void Clear() { FChildCount = 0; }

private:
    friend class TCells;
    int FChildCount = 0;
    void* FData = nullptr;
    bool FExpanded = true;
    int FImageIndex = -1;
    int FLevel = 0;
    TRow* FParentRow = nullptr;
    int FRowHeight = 0;
    bool FSelected = false;
    bool FShown = true;
    bool FVisible = true;
};

// ---- the store -----------------------------------------------------------------------------------------

using TCellChangeEvent = rtl::TEvent<void(rtl::TObject* Sender, int ACol, int ARow)>;
using TCompareEvent = rtl::TEvent<void(rtl::TObject* Sender, TCell* Cell1, TCell* Cell2, int& Compare)>;

// The four groups of a dotted address, first group at index 0; groups past the fourth are ignored.
using TIPGroups = std::array<int, 4>;
TIPGroups StrToIPGroups(const rtl::String& S);
bool IsIPGreaterOrEqual(const TIPGroups& A, const TIPGroups& B);

class TCells : public rtl::TObject {
public:
    TCells(IRgGridHost* Grid, TRgColumns* Columns);
    ~TCells() override;

    TCell* GetCell(int ACol, int ARow);
    TCell* Cell(int ACol, int ARow) { return GetCell(ACol, ARow); }
    TRow* GetRow(int Index) const;
    TRow* Row(int Index) const { return GetRow(Index); }
    int GetRowIndex(const TRow* ARow) const;
    int GetChildCount(int Index) const;
    int GetChildsCount(int Index) const;

    void AddRow(int Count = 1);
    void InsertRow(int Pos, int Count = 1);
    void AddChildRow(int Index, int Position);
    void DeleteRow(int Index);
    // Deletes every row whose flag is set, in one pass (Gone has one flag per row).
    void DeleteRows(const std::vector<char>& Gone);
    void ClearRows();
    void MoveRow(int FromPos, int ToPos);
    void SwapRows(int FromPos, int ToPos);
    void ShowRow(int Index, bool Value);
    void ExpandRow(int Index, bool Value);

    void ColumnsChange(TColumnsOperation ChangeOpearation, int Value1, int Value2);
    void AddColumn();
    void InsertColumn(int Pos);
    void DeleteColumn(int Index);
    void ClearColumns();
    void MoveColumn(int CurIndex, int NewIndex);

    void SortColumn(int ACol, TSortType ASortType, TSortKind ASortKind, bool Resort);

    // The first row in [From, To] (rows of the store) whose text in column ACol may begin with Prefix,
    // case ignored, or To + 1: every row passed over cannot match, the row returned still has to be
    // asked. One folded first character per row of the column last searched is kept until a cell or
    // the rows change, so a search step reads one small array instead of every cell.
    int NextTextCandidate(int ACol, const rtl::String& Prefix, int From, int To);

    int ColCount() const { return static_cast<int>(FCellsList.size()); }
    int RowCount() const { return FRowCount; }
    int VisibleRowCount() const { return FVisibleRowCount; }
    int SortIndex() const { return FSortIndex; }
    TSortKind SortKind() const { return FSortKind; }
    bool Sorted() const { return FSorted; }
    int RowHeight() const { return FRowHeight; }
    void SetRowHeight(int Value) { FRowHeight = Value; }
    IRgGridHost* Grid() const { return FGrid; }

    TCellChangeEvent OnCellChange;
    TCompareEvent OnCompare;

private:
    friend class TCell;
    enum TFactory { fkColumn, fkInsertColumn, fkInsertRow, fkChild };
    using TColumnCells = std::vector<std::unique_ptr<TCell>>;

    std::unique_ptr<TCell> CreateCell(TRgCustomColumn* Column, TFactory Factory);
    TRgCustomColumn* ColumnAt(int Index) const;
    void CheckRow(int Index) const;
    void CheckColumn(int Index) const;
    // GetCell for indexes the caller has already checked (the sort's own ranges).
    TCell* CellAt(int ACol, int ARow) {
        FColIndex = ACol;
        FRowIndex = ARow;
        return FCellsList[ACol][ARow].get();
    }
    void ExchangeRows(int A, int B);
    void QuickSortRows(int L, int R, int ACol, TSortType ASortType);
    int Partition(int L, int R, int ACol, TSortType ASortType);
    int CompareCells(TSortType ASortType, int ACol, int PRow, int CRow);
    void DoCellChange();
    void DoCompare(TCell* Cell1, TCell* Cell2, int& Compare);
    void FreeRows();
    void DropSearchKeys() {
        FSearchKeysColumn = -1;
        FSearchKeys.clear();
    }

    std::vector<TColumnCells> FCellsList;
    int FColIndex = 0;
    int FRowIndex = 0;
    TRgColumns* FColumns;
    IRgGridHost* FGrid;
    int FRowCount = 0;
    int FRowHeight = 16;
    std::vector<std::unique_ptr<TRow>> FRowsList;
    bool FSorted = false;
    int FSortIndex = -1;
    TSortKind FSortKind = skAscending;
    int FVisibleRowCount = 0;
    int FSearchKeysColumn = -1;
    std::vector<char16_t> FSearchKeys;
};

} // namespace grid
