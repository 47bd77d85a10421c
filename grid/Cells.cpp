// grid/Cells.cpp
#include "grid/Cells.h"

#include "grid/ColumnClasses.h"
#include "grid/Columns.h"
#include "rtl/Math.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <typeinfo>
#include <utility>

namespace grid {

namespace {

// Float to integer as the run-time library does it: an overflowing or NaN value is an error, not a
// wrapped number.
int CheckedInt(double Value) {
    if (!(Value >= double(INT_MIN) && Value <= double(INT_MAX)))
        throw rtl::EInvalidOp(QStringLiteral("Invalid floating point operation"));
    return static_cast<int>(Value);
}

int RoundToInt(double Value) {
    return CheckedInt(std::nearbyint(Value)); // halves go to the even neighbour
}

rtl::String BoolText(bool Value) {
    return Value ? QStringLiteral("True") : QStringLiteral("False");
}

} // namespace

// ---- TCell ---------------------------------------------------------------------------------------------

TCell::TCell(TCells* Cells) : FCells(Cells) {}

int TCell::ColumnIndex() const {
    return FCells->FColIndex;
}

int TCell::RowIndex() const {
    return FCells->FRowIndex;
}

TColor TCell::GetActualColor() const {
    return FCells->FGrid ? FCells->FGrid->GetActualCellColor(ColumnIndex(), RowIndex()) : FColor;
}

TColor TCell::GetActualFontColor() const {
    return FCells->FGrid ? FCells->FGrid->GetActualCellFontColor(ColumnIndex(), RowIndex()) : FTextColor;
}

bool TCell::TextStartsWith(const rtl::String& Prefix) const {
    return GetAsString().startsWith(Prefix, Qt::CaseInsensitive);
}

rtl::String TCell::DisplayText() const {
    return FCells->FGrid ? FCells->FGrid->GetDrawText(ColumnIndex(), RowIndex()) : AsString();
}

bool TCell::Highlighted() const {
    return FCells->FGrid && FCells->FGrid->IsCellHighlighted(ColumnIndex(), RowIndex());
}

void TCell::Changed() {
    FCells->DoCellChange();
}

void TCell::SetAsBoolean(bool) { Changed(); }
void TCell::SetAsDateTime(rtl::TDateTime) { Changed(); }
void TCell::SetAsFloat(double) { Changed(); }
void TCell::SetAsInteger(int) { Changed(); }
void TCell::SetAsString(const rtl::String&) { Changed(); }
void TCell::Clear() { Changed(); }

void TCell::SetFontStyle(vcl::TFontStyles Value) {
    FFontStyle = Value;
    if (!Locked()) Changed();
}

void TCell::SetColor(TColor Value) {
    FColor = Value;
    if (!Locked()) Changed();
}

void TCell::SetHint(const rtl::String& Value) {
    FHint = Value;
    if (!Locked()) Changed();
}

void TCell::SetTextColor(TColor Value) {
    FTextColor = Value;
    if (!Locked()) Changed();
}

void TCell::SetEmpty(bool Value) {
    if (Value)
        FState.Include(cstEmpty);
    else
        FState.Exclude(cstEmpty);
    Changed();
}

void TCell::SetLocked(bool Value) {
    if (Value)
        FState.Include(cstLocked);
    else
        FState.Exclude(cstLocked);
}

// ---- TBooleanCell --------------------------------------------------------------------------------------

rtl::String TBooleanCell::GetAsString() const { return BoolText(FValue); }

void TBooleanCell::SetAsBoolean(bool Value) {
    FValue = Value;
    TCell::SetAsBoolean(Value);
}
void TBooleanCell::SetAsDateTime(rtl::TDateTime Value) {
    FValue = false;
    TCell::SetAsDateTime(Value);
}
void TBooleanCell::SetAsFloat(double Value) {
    FValue = Value != 0;
    TCell::SetAsFloat(Value);
}
void TBooleanCell::SetAsInteger(int Value) {
    FValue = Value != 0;
    TCell::SetAsInteger(Value);
}
void TBooleanCell::SetAsString(const rtl::String& Value) {
    FValue = Value == QLatin1String("1") || Value.toLower() == QLatin1String("true");
    TCell::SetAsString(Value);
}
void TBooleanCell::Clear() {
    FValue = false;
    TCell::Clear();
}

// ---- TDateTimeCell -------------------------------------------------------------------------------------

int TDateTimeCell::GetAsInteger() const { return CheckedInt(std::trunc(FValue)); }
rtl::String TDateTimeCell::GetAsString() const { return rtl::DateTimeToStr(FValue); }

void TDateTimeCell::SetAsBoolean(bool Value) {
    FValue = rtl::Date();
    TCell::SetAsBoolean(Value);
}
void TDateTimeCell::SetAsDateTime(rtl::TDateTime Value) {
    FValue = Value;
    TCell::SetAsDateTime(Value);
}
void TDateTimeCell::SetAsFloat(double Value) {
    FValue = Value;
    TCell::SetAsFloat(Value);
}
void TDateTimeCell::SetAsInteger(int Value) {
    FValue = Value;
    TCell::SetAsInteger(Value);
}
void TDateTimeCell::SetAsString(const rtl::String& Value) {
    rtl::TDateTime Parsed = 0;
    if (Value.isEmpty() || !rtl::TryStrToDateTime(Value, Parsed)) Parsed = 0;
    FValue = Parsed;
    TCell::SetAsString(Value);
}
void TDateTimeCell::Clear() {
    FValue = 0;
    TCell::Clear();
}

// ---- TFloatCell ----------------------------------------------------------------------------------------

int TFloatCell::GetAsInteger() const { return RoundToInt(FValue); }
rtl::String TFloatCell::GetAsString() const { return rtl::FloatToStr(FValue); }

void TFloatCell::SetAsBoolean(bool Value) {
    FValue = 0;
    TCell::SetAsBoolean(Value);
}
void TFloatCell::SetAsDateTime(rtl::TDateTime Value) {
    FValue = Value;
    TCell::SetAsDateTime(Value);
}
void TFloatCell::SetAsFloat(double Value) {
    FValue = Value;
    TCell::SetAsFloat(Value);
}
void TFloatCell::SetAsInteger(int Value) {
    FValue = Value;
    TCell::SetAsInteger(Value);
}
void TFloatCell::SetAsString(const rtl::String& Value) {
    FValue = rtl::StrToFloat(Value);
    TCell::SetAsString(Value);
}
void TFloatCell::Clear() {
    FValue = 0;
    TCell::Clear();
}

// ---- TIntegerCell --------------------------------------------------------------------------------------

rtl::String TIntegerCell::GetAsString() const { return QString::number(FValue); }

void TIntegerCell::SetAsBoolean(bool Value) {
    FValue = Value ? 1 : 0;
    TCell::SetAsBoolean(Value);
}
void TIntegerCell::SetAsDateTime(rtl::TDateTime Value) {
    FValue = 0;
    TCell::SetAsDateTime(Value);
}
void TIntegerCell::SetAsFloat(double Value) {
    FValue = RoundToInt(Value);
    TCell::SetAsFloat(Value);
}
void TIntegerCell::SetAsInteger(int Value) {
    FValue = Value;
    TCell::SetAsInteger(Value);
}
void TIntegerCell::SetAsString(const rtl::String& Value) {
    FValue = Value.isEmpty() ? 0 : rtl::StrToInt(Value);
    TCell::SetAsString(Value);
}
void TIntegerCell::Clear() {
    FValue = 0;
    TCell::Clear();
}

// ---- TStringCell ---------------------------------------------------------------------------------------

bool TStringCell::GetAsBoolean() const { return rtl::StrToBool(FValue); }
rtl::TDateTime TStringCell::GetAsDateTime() const {
    return FValue.isEmpty() ? 0 : rtl::StrToDateTime(FValue);
}
double TStringCell::GetAsFloat() const { return rtl::StrToFloat(FValue); }
int TStringCell::GetAsInteger() const { return rtl::StrToInt(FValue); }

void TStringCell::SetAsBoolean(bool Value) {
    FValue = BoolText(Value);
    TCell::SetAsBoolean(Value);
}
void TStringCell::SetAsDateTime(rtl::TDateTime Value) {
    FValue = rtl::DateTimeToStr(Value);
    TCell::SetAsDateTime(Value);
}
void TStringCell::SetAsFloat(double Value) {
    FValue = rtl::FloatToStr(Value);
    TCell::SetAsFloat(Value);
}
void TStringCell::SetAsInteger(int Value) {
    FValue = QString::number(Value);
    TCell::SetAsInteger(Value);
}
void TStringCell::SetAsString(const rtl::String& Value) {
    FValue = Value;
    TCell::SetAsString(Value);
}
void TStringCell::Clear() {
    FValue.clear();
    TCell::Clear();
}

// ---- TIncrementCell ------------------------------------------------------------------------------------

rtl::String TIncrementCell::GetAsString() const { return QString::number(RowIndex() + 1); }

// ---- text-backed cells (GUID, virtual) -----------------------------------------------------------------

bool TTextBackedCell::GetAsBoolean() const { return rtl::StrToBool(AsString()); }
rtl::TDateTime TTextBackedCell::GetAsDateTime() const { return rtl::StrToDateTime(AsString()); }
double TTextBackedCell::GetAsFloat() const { return rtl::StrToFloat(AsString()); }
int TTextBackedCell::GetAsInteger() const { return rtl::StrToInt(AsString()); }

// The text goes through the virtual string writer (one notice), then the base writer adds its own.
void TTextBackedCell::SetAsBoolean(bool Value) {
    SetAsString(BoolText(Value));
    TCell::SetAsBoolean(Value);
}
void TTextBackedCell::SetAsDateTime(rtl::TDateTime Value) {
    SetAsString(rtl::DateTimeToStr(Value));
    TCell::SetAsDateTime(Value);
}
void TTextBackedCell::SetAsFloat(double Value) {
    SetAsString(rtl::FloatToStr(Value));
    TCell::SetAsFloat(Value);
}
void TTextBackedCell::SetAsInteger(int Value) {
    SetAsString(QString::number(Value));
    TCell::SetAsInteger(Value);
}

TGuidCell::TGuidCell(TCells* Cells) : TTextBackedCell(Cells), FValue(rtl::CreateGUID()) {}

rtl::String TGuidCell::GetAsString() const { return rtl::GUIDToString(FValue); }

void TGuidCell::SetAsString(const rtl::String& Value) {
    FValue = rtl::StringToGUID(Value);
    TCell::SetAsString(Value);
}

rtl::String TVirtualCell::GetAsString() const {
    rtl::String Text;
    if (FColumn) FColumn->GetText(ColumnIndex(), RowIndex(), Text);
    return Text;
}

void TVirtualCell::SetAsString(const rtl::String& Value) {
    if (FColumn) FColumn->SetText(ColumnIndex(), RowIndex(), Value);
    TCell::SetAsString(Value);
}

// ---- dotted addresses ----------------------------------------------------------------------------------

TIPGroups StrToIPGroups(const rtl::String& S) {
    TIPGroups Groups{0, 0, 0, 0};
    int Group = 0;
    int64_t Value = 0;
    int Digits = 0;
    for (int i = 0; i < S.size(); ++i) {
        const char16_t C = S[i].unicode();
        if (C >= u'0' && C <= u'9') {
            Value = Value * 10 + (C - u'0');
            ++Digits;
            if (Value > INT_MAX) throw rtl::EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(S));
        }
        if (C == u'.' || i == S.size() - 1) {
            // A group closes on its dot or at the end of the text; an empty one is no number.
            if (Digits == 0) throw rtl::EConvertError(QStringLiteral("'' is not a valid integer value"));
            // The text comes from data: groups past the fourth are read and dropped.
            if (Group < 4) Groups[Group] = int(Value);
            ++Group;
            Value = 0;
            Digits = 0;
        }
    }
    return Groups;
}

// The fourth group decides first.
bool IsIPGreaterOrEqual(const TIPGroups& A, const TIPGroups& B) {
    for (int g = 3; g >= 0; --g)
        if (A[g] != B[g]) return A[g] > B[g];
    return true;
}

// ---- TCells --------------------------------------------------------------------------------------------

TCells::TCells(IRgGridHost* Grid, TRgColumns* Columns) : FColumns(Columns), FGrid(Grid) {}

TCells::~TCells() {
    ClearRows();
    ClearColumns();
}

void TCells::CheckRow(int Index) const {
    if (Index < 0 || Index >= FRowCount) rtl::TList::Error("List index out of bounds (%d)", Index);
}

void TCells::CheckColumn(int Index) const {
    if (Index < 0 || Index >= ColCount()) rtl::TList::Error("List index out of bounds (%d)", Index);
}

TCell* TCells::GetCell(int ACol, int ARow) {
    FColIndex = ACol;
    FRowIndex = ARow;
    CheckColumn(ACol);
    CheckRow(ARow);
    return FCellsList[ACol][ARow].get();
}

TRow* TCells::GetRow(int Index) const {
    CheckRow(Index);
    return FRowsList[Index].get();
}

int TCells::GetRowIndex(const TRow* ARow) const {
    for (int i = 0; i < FRowCount; ++i)
        if (FRowsList[i].get() == ARow) return i;
    return -1;
}

int TCells::GetChildCount(int Index) const {
    const int Level = GetRow(Index)->Level();
    int Count = 0;
    for (int i = Index + 1; i < FRowCount && FRowsList[i]->Level() > Level; ++i) ++Count;
    return Count;
}

int TCells::GetChildsCount(int Index) const {
    const int Level = GetRow(Index)->Level();
    int Count = 0;
    for (int i = Index + 1; i < FRowCount && FRowsList[i]->Level() > Level; ++i)
        if (FRowsList[i]->Level() == Level + 1) ++Count;
    return Count;
}

TRgCustomColumn* TCells::ColumnAt(int Index) const {
    return FColumns && Index >= 0 && Index < FColumns->Count() ? FColumns->Item(Index) : nullptr;
}

std::unique_ptr<TCell> TCells::CreateCell(TRgCustomColumn* Column, TFactory Factory) {
    const TColumnType Type = Column ? Column->ColumnType() : ctString;
    std::unique_ptr<TCell> Cell;
    switch (Type) {
    case ctAutoInc:
        if (Factory == fkColumn || Factory == fkChild)
            Cell = std::make_unique<TIncrementCell>(this);
        else
            Cell = std::make_unique<TIntegerCell>(this);
        break;
    case ctBoolean: Cell = std::make_unique<TBooleanCell>(this); break;
    case ctDate: Cell = std::make_unique<TDateTimeCell>(this); break;
    case ctFloat: Cell = std::make_unique<TFloatCell>(this); break;
    case ctInteger: Cell = std::make_unique<TIntegerCell>(this); break;
    case ctGuid:
        if (Factory == fkInsertRow || Factory == fkChild)
            Cell = std::make_unique<TStringCell>(this);
        else
            Cell = std::make_unique<TGuidCell>(this);
        break;
    case ctVirtual: {
        auto Virtual = std::make_unique<TVirtualCell>(this);
        Virtual->SetColumn(dynamic_cast<TRgVirtualColumn*>(Column));
        Cell = std::move(Virtual);
        break;
    }
    default: Cell = std::make_unique<TStringCell>(this); break;
    }
    if (Column) {
        Cell->SetFontStyle(Column->Font()->Style());
        Cell->SetColor(Column->Color());
        if (Factory != fkChild) Cell->SetTextColor(Column->Font()->Color());
    }
    Cell->SetLocked(false);
    return Cell;
}

void TCells::AddRow(int Count) {
    DropSearchKeys();
    for (int n = 0; n < Count; ++n) {
        for (int c = 0; c < ColCount(); ++c) FCellsList[c].push_back(CreateCell(ColumnAt(c), fkColumn));
        auto Row = std::make_unique<TRow>();
        Row->FRowHeight = FRowHeight;
        FRowsList.push_back(std::move(Row));
        ++FVisibleRowCount;
        ++FRowCount;
    }
    FSorted = false;
}

void TCells::InsertRow(int Pos, int Count) {
    DropSearchKeys();
    if (Pos < 0 || Pos > FRowCount) rtl::TList::Error("List index out of bounds (%d)", Pos);
    for (int n = 0; n < Count; ++n) {
        for (int c = 0; c < ColCount(); ++c)
            FCellsList[c].insert(FCellsList[c].begin() + Pos, CreateCell(ColumnAt(c), fkInsertRow));
        auto Row = std::make_unique<TRow>();
        Row->FRowHeight = FRowHeight;
        FRowsList.insert(FRowsList.begin() + Pos, std::move(Row));
        ++FVisibleRowCount;
        ++FRowCount;
    }
    FSorted = false;
}

void TCells::AddChildRow(int Index, int Position) {
    DropSearchKeys();
    TRow* Parent = GetRow(Index);
    if (Position < 0 || Position > FRowCount) rtl::TList::Error("List index out of bounds (%d)", Position);
    auto Row = std::make_unique<TRow>();
    Row->FParentRow = Parent;
    Row->FShown = Parent->Expanded() && Parent->Shown();
    Row->FRowHeight = FRowHeight;
    Row->FLevel = Parent->Level() + 1;
    Parent->AddChild();
    const bool Visible = Row->FShown;
    FRowsList.insert(FRowsList.begin() + Position, std::move(Row));
    ++FRowCount;
    if (Visible) ++FVisibleRowCount;
    for (int c = 0; c < ColCount(); ++c)
        FCellsList[c].insert(FCellsList[c].begin() + Position, CreateCell(ColumnAt(c), fkChild));
    // A new row in the middle of the order: the rows are no longer in the last sort's order.
    FSorted = false;
}

void TCells::DeleteRow(int Index) {
    DropSearchKeys();
    CheckRow(Index);
    for (auto& Column : FCellsList) Column.erase(Column.begin() + Index);
    --FRowCount;
    const TRow* Row = FRowsList[Index].get();
    if (Row->Visible() && Row->Shown()) --FVisibleRowCount;
    FRowsList.erase(FRowsList.begin() + Index);
}

void TCells::DeleteRows(const std::vector<char>& Gone) {
    DropSearchKeys();
    const auto Keep = [&Gone](auto& List) {
        size_t To = 0;
        for (size_t From = 0; From < List.size(); ++From)
            if (!Gone[From]) List[To++] = std::move(List[From]);
        List.resize(To);
    };
    for (auto& Column : FCellsList) Keep(Column);
    for (int r = 0; r < FRowCount; ++r)
        if (Gone[size_t(r)] && FRowsList[size_t(r)]->Visible() && FRowsList[size_t(r)]->Shown()) --FVisibleRowCount;
    Keep(FRowsList);
    FRowCount = static_cast<int>(FRowsList.size());
}

void TCells::ClearRows() {
    DropSearchKeys();
    for (auto& Column : FCellsList) Column.clear();
    FRowsList.clear();
    FRowCount = 0;
    FVisibleRowCount = 0;
    FSorted = false;
}

template <class T> static void MoveItem(std::vector<T>& List, int From, int To) {
    if (From < To)
        std::rotate(List.begin() + From, List.begin() + From + 1, List.begin() + To + 1);
    else if (From > To)
        std::rotate(List.begin() + To, List.begin() + From, List.begin() + From + 1);
}

void TCells::MoveRow(int FromPos, int ToPos) {
    DropSearchKeys();
    CheckRow(FromPos);
    CheckRow(ToPos);
    MoveItem(FRowsList, FromPos, ToPos);
    for (auto& Column : FCellsList) MoveItem(Column, FromPos, ToPos);
    FSorted = false;
}

void TCells::ExchangeRows(int A, int B) {
    DropSearchKeys();
    std::swap(FRowsList[A], FRowsList[B]);
    for (auto& Column : FCellsList) std::swap(Column[A], Column[B]);
}

void TCells::SwapRows(int FromPos, int ToPos) {
    CheckRow(FromPos);
    CheckRow(ToPos);
    ExchangeRows(FromPos, ToPos);
    FSorted = false;
}

void TCells::ShowRow(int Index, bool Value) {
    TRow* Row = GetRow(Index);
    if (Value == Row->FVisible) return;
    Row->FVisible = Value;
    // The count holds rows both visible and shown; a row collapsed away does not move it.
    if (Row->FShown) FVisibleRowCount += Value ? 1 : -1;
}

void TCells::ExpandRow(int Index, bool Value) {
    TRow* Row = GetRow(Index);
    if (Value == Row->FShown) return;
    Row->FShown = Value;
    if (Row->FVisible) FVisibleRowCount += Value ? 1 : -1;
}

void TCells::ColumnsChange(TColumnsOperation ChangeOpearation, int Value1, int Value2) {
    switch (ChangeOpearation) {
    case opAdd: AddColumn(); break;
    case opDelete: DeleteColumn(Value1); break;
    case opClear: ClearColumns(); break;
    case opInsert: InsertColumn(Value1); break;
    case opMove: MoveColumn(Value1, Value2); break;
    }
}

void TCells::AddColumn() {
    DropSearchKeys();
    TRgCustomColumn* Column = FColumns && FColumns->Count() > 0 ? FColumns->Item(FColumns->Count() - 1) : nullptr;
    TColumnCells List;
    List.reserve(FRowCount);
    for (int r = 0; r < FRowCount; ++r) List.push_back(CreateCell(Column, fkColumn));
    FCellsList.push_back(std::move(List));
}

void TCells::InsertColumn(int Pos) {
    DropSearchKeys();
    if (Pos < 0 || Pos > ColCount()) rtl::TList::Error("List index out of bounds (%d)", Pos);
    TColumnCells List;
    List.reserve(FRowCount);
    for (int r = 0; r < FRowCount; ++r) List.push_back(CreateCell(ColumnAt(Pos), fkInsertColumn));
    FSorted = false;
    FCellsList.insert(FCellsList.begin() + Pos, std::move(List));
}

void TCells::FreeRows() {
    DropSearchKeys();
    FRowsList.clear();
    FRowCount = 0;
    FVisibleRowCount = 0;
}

void TCells::DeleteColumn(int Index) {
    DropSearchKeys();
    CheckColumn(Index);
    FCellsList.erase(FCellsList.begin() + Index);
    FSorted = false;
    // Rows cannot exist without columns: the row records go with the last column.
    if (FCellsList.empty()) FreeRows();
}

void TCells::ClearColumns() {
    DropSearchKeys();
    FCellsList.clear();
    FreeRows();
    FSorted = false;
}

void TCells::MoveColumn(int CurIndex, int NewIndex) {
    DropSearchKeys();
    CheckColumn(CurIndex);
    CheckColumn(NewIndex);
    MoveItem(FCellsList, CurIndex, NewIndex);
    FSorted = false;
}

void TCells::DoCellChange() {
    DropSearchKeys();
    if (OnCellChange) OnCellChange(this, FColIndex, FRowIndex);
    FSorted = false;
}

// The search key of one UTF-16 unit: its case folding, or AskCell where the unit alone does not
// decide (half of a surrogate pair, a folding outside the plane).
static constexpr char16_t AskCell = 0xFFFF;
static char16_t SearchKey(char16_t C) {
    if (QChar::isSurrogate(C)) return AskCell;
    const char32_t Folded = QChar::toCaseFolded(char32_t(C));
    return Folded > 0xFFFF ? AskCell : char16_t(Folded);
}

int TCells::NextTextCandidate(int ACol, const rtl::String& Prefix, int From, int To) {
    if (Prefix.isEmpty() || From > To) return From;
    const char16_t Key = SearchKey(Prefix.front().unicode());
    if (Key == AskCell) return From;
    if (FSearchKeysColumn != ACol) {
        CheckColumn(ACol);
        const TColumnCells& Cells = FCellsList[ACol];
        FSearchKeys.resize(Cells.size());
        for (size_t r = 0; r < Cells.size(); ++r) {
            // Only a plain text cell holds its text; every other kind works its text out when asked.
            const TCell& Cell = *Cells[r];
            if (typeid(Cell) != typeid(TStringCell)) {
                FSearchKeys[r] = AskCell;
                continue;
            }
            const rtl::String& Text = static_cast<const TStringCell&>(Cell).Text();
            FSearchKeys[r] = Text.isEmpty() ? char16_t(0) : SearchKey(Text.front().unicode());
        }
        FSearchKeysColumn = ACol;
    }
    const char16_t* Keys = FSearchKeys.data();
    const auto Candidate = [&](int r) { return (Keys[r] == Key) | (Keys[r] == AskCell); };
    // Whole blocks first, read without a branch per row, then row by row from the block that holds one.
    constexpr int Block = 64;
    int r = From;
    for (; To - r + 1 >= Block; r += Block) {
        bool Any = false;
        for (int i = 0; i < Block; ++i) Any |= Candidate(r + i);
        if (Any) break;
    }
    for (; r <= To; ++r)
        if (Candidate(r)) return r;
    return To + 1;
}

void TCells::DoCompare(TCell* Cell1, TCell* Cell2, int& Compare) {
    if (OnCompare) OnCompare(this, Cell1, Cell2, Compare);
}

// ---- sorting -------------------------------------------------------------------------------------------

namespace {

template <class T> int Cmp(const T& A, const T& B) {
    return A < B ? -1 : (B < A ? 1 : 0);
}

// NaN has a fixed place after every number, so the order stays total and the scans stop.
int CmpDouble(double A, double B) {
    const bool NanA = std::isnan(A), NanB = std::isnan(B);
    if (NanA || NanB) return int(NanA) - int(NanB);
    return Cmp(A, B);
}

rtl::String LowerAscii(rtl::String S) {
    for (QChar& C : S)
        if (C >= u'A' && C <= u'Z') C = QChar(C.unicode() + 32);
    return S;
}

} // namespace

static int CompareIP(const TIPGroups& A, const TIPGroups& B) {
    for (int g = 3; g >= 0; --g)
        if (A[g] != B[g]) return A[g] < B[g] ? -1 : 1;
    return 0;
}

// Below zero when the cell of row PRow sorts before the cell of row CRow. Each side is looked up
// right before it is read, so cells that compute their value from their place (row numbers,
// virtual cells) read their own row.
int TCells::CompareCells(TSortType ASortType, int ACol, int PRow, int CRow) {
    auto Text = [&](int Row) { return CellAt(ACol, Row)->AsString(); };
    switch (ASortType) {
    case stAlphabetic: return rtl::CompareStr(Text(PRow), Text(CRow));
    case stBoolean: return Cmp(CellAt(ACol, PRow)->AsBoolean(), CellAt(ACol, CRow)->AsBoolean());
    case stCaseInsensitive: return rtl::CompareStr(LowerAscii(Text(PRow)), LowerAscii(Text(CRow)));
    case stCustom: {
        TCell* P = CellAt(ACol, PRow);
        int Compare = 0;
        DoCompare(P, CellAt(ACol, CRow), Compare);
        return Compare;
    }
    case stNumeric: {
        double A, B;
        try {
            A = CellAt(ACol, PRow)->AsFloat();
            B = CellAt(ACol, CRow)->AsFloat();
        } catch (const rtl::EConvertError&) {
            return rtl::CompareStr(Text(PRow), Text(CRow));
        }
        return CmpDouble(A, B);
    }
    case stDate: return CmpDouble(CellAt(ACol, PRow)->AsDateTime(), CellAt(ACol, CRow)->AsDateTime());
    case stIP: return CompareIP(StrToIPGroups(Text(PRow)), StrToIPGroups(Text(CRow)));
    case stUnicodeAlphabetic: return rtl::AnsiCompareStr(Text(PRow), Text(CRow));
    }
    return 0;
}

int TCells::Partition(int L, int R, int ACol, TSortType ASortType) {
    // The pivot is followed through the exchanges: it moves with its row.
    int Pivot = L + rtl::Random(R - L) + 1;
    const bool Ascending = FSortKind == skAscending;
    // "first" stops the rising scan of an ascending sort (P <= C), "second" the falling one (P >= C).
    auto StopRising = [&](int i) {
        const int c = CompareCells(ASortType, ACol, Pivot, i);
        return Ascending ? c <= 0 : c >= 0;
    };
    auto StopFalling = [&](int j) {
        const int c = CompareCells(ASortType, ACol, Pivot, j);
        return Ascending ? c >= 0 : c <= 0;
    };
    auto Exchange = [&](int a, int b) {
        ExchangeRows(a, b);
        if (Pivot == a)
            Pivot = b;
        else if (Pivot == b)
            Pivot = a;
    };
    int i = L - 1, j = R + 1;
    // The scans stop at the range's ends as well: a comparison that is not reflexive (a hostile
    // OnCompare) would otherwise carry them past the pivot and out of the range.
    do {
        do ++i; while (i < R && !StopRising(i));
        do --j; while (j > L && !StopFalling(j));
        if (i != j) Exchange(i, j);
    } while (j > i);
    if (i != j) Exchange(i, j);
    // Both parts must shrink, whatever the comparison answered.
    return std::clamp(i, L + 1, R);
}

void TCells::QuickSortRows(int L, int R, int ACol, TSortType ASortType) {
    while (L < R) {
        const int p = Partition(L, R, ACol, ASortType);
        // Recurse into the smaller part, loop over the larger: the stack stays logarithmic.
        if (p - 1 - L < R - p) {
            QuickSortRows(L, p - 1, ACol, ASortType);
            L = p;
        } else {
            QuickSortRows(p, R, ACol, ASortType);
            R = p - 1;
        }
    }
}

void TCells::SortColumn(int ACol, TSortType ASortType, TSortKind ASortKind, bool Resort) {
    if (FRowCount > 1) CheckColumn(ACol);
    if (ACol == FSortIndex && FSorted && ASortKind != FSortKind && !Resort) {
        FSortKind = ASortKind;
        for (int i = 0; i < FRowCount / 2; ++i) ExchangeRows(i, FRowCount - 1 - i);
    } else {
        FSortKind = ASortKind;
        QuickSortRows(0, FRowCount - 1, ACol, ASortType);
    }
    FSortIndex = ACol;
    FSorted = true;
}

} // namespace grid
