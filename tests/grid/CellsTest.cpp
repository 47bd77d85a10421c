// tests/grid/CellsTest.cpp: typed cells and the cell store (rows, the row tree, factories, sorting).
#include "GridFixture.h"

#include "rtl/Math.h"
#include "tests/support/Peers.h"

#include <unicode/coll.h>
#include <unicode/locid.h>
#include <unicode/unistr.h>

#include <QLocale>

#include <QRegularExpression>
#include <cmath>
#include <optional>
#include <random>

using namespace grid_test;

namespace {

// What a cell reads through each accessor; nullopt: the read fails with a conversion error.
struct TReads {
    std::optional<bool> Bool;
    std::optional<double> DateTime;
    std::optional<double> Float;
    std::optional<int> Int;
    std::optional<QString> Text;
};

template <class T, class F> void ExpectRead(const std::optional<T>& Expected, F Read, const char* What) {
    if (Expected) {
        EXPECT_EQ(Read(), *Expected) << What;
    } else {
        EXPECT_THROW(Read(), rtl::EConvertError) << What;
    }
}

void ExpectReads(TCell* C, const TReads& R) {
    ExpectRead(R.Bool, [&] { return C->AsBoolean(); }, "AsBoolean");
    ExpectRead(R.DateTime, [&] { return C->AsDateTime(); }, "AsDateTime");
    ExpectRead(R.Float, [&] { return C->AsFloat(); }, "AsFloat");
    ExpectRead(R.Int, [&] { return C->AsInteger(); }, "AsInteger");
    ExpectRead(R.Text, [&] { return C->AsString(); }, "AsString");
}

struct ReadCase {
    const char* Name;
    TColumnType Type;
    std::function<void(TCell*)> Set;
    TReads Reads;
};

class CellReads : public ::testing::TestWithParam<ReadCase> {};

TEST_P(CellReads, ConvertByTheFixedRules) {
    const auto& c = GetParam();
    TGridData G;
    G.AddOfType(c.Type);
    G.Cells.AddRow(5);
    TCell* Cell = G.Cell(0, 4);
    c.Set(Cell);
    ExpectReads(G.Cell(0, 4), c.Reads);
}

const auto Nothing = [](TCell*) {};

INSTANTIATE_TEST_SUITE_P(Classes, CellReads, ::testing::Values(
    ReadCase{"BooleanTrue", ctBoolean, [](TCell* C) { C->SetAsString(u"TRUE"_qs); }, {true, 0, 1, 1, u"True"_qs}},
    ReadCase{"BooleanFalse", ctBoolean, [](TCell* C) { C->SetAsInteger(0); }, {false, 0, 0, 0, u"False"_qs}},
    ReadCase{"IntegerNegative", ctInteger, [](TCell* C) { C->SetAsInteger(-5); }, {false, 0, -5, -5, u"-5"_qs}},
    ReadCase{"IntegerOne", ctInteger, [](TCell* C) { C->SetAsInteger(1); }, {true, 0, 1, 1, u"1"_qs}},
    ReadCase{"FloatHalfDown", ctFloat, [](TCell* C) { C->SetAsFloat(2.5); }, {false, 2.5, 2.5, 2, u"2.5"_qs}},
    ReadCase{"FloatHalfUp", ctFloat, [](TCell* C) { C->SetAsFloat(3.5); }, {false, 3.5, 3.5, 4, u"3.5"_qs}},
    ReadCase{"DateTruncates", ctDate, [](TCell* C) { C->SetAsFloat(-1.75); }, {false, -1.75, -1.75, -1, u"12/29/1899 18:00:00"_qs}},
    ReadCase{"StringNumber", ctString, [](TCell* C) { C->SetAsString(u"12"_qs); }, {true, std::nullopt, 12, 12, u"12"_qs}},
    ReadCase{"StringEmpty", ctString, Nothing, {std::nullopt, 0, std::nullopt, std::nullopt, u""_qs}},
    ReadCase{"StringWord", ctString, [](TCell* C) { C->SetAsString(u"abc"_qs); },
             {std::nullopt, std::nullopt, std::nullopt, std::nullopt, u"abc"_qs}},
    ReadCase{"StringHex", ctString, [](TCell* C) { C->SetAsString(u"$1F"_qs); }, {std::nullopt, std::nullopt, std::nullopt, 31, u"$1F"_qs}},
    ReadCase{"IncrementRowFour", ctAutoInc, Nothing, {false, 0, 5, 5, u"5"_qs}},
    ReadCase{"GuidText", ctGuid, [](TCell* C) { C->SetAsString(u"{00000000-0000-0000-0000-00000000002A}"_qs); },
             {std::nullopt, std::nullopt, std::nullopt, std::nullopt, u"{00000000-0000-0000-0000-00000000002A}"_qs}},
    ReadCase{"VirtualWithoutHandler", ctVirtual, Nothing, {std::nullopt, std::nullopt, std::nullopt, std::nullopt, u""_qs}}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST(BooleanCell, ReadsTrueOnlyForOneOrTrueInAnyCase) {
    TGridData G;
    G.Add(ctBoolean);
    G.Cells.AddRow();
    const std::pair<const char16_t*, bool> Cases[] = {{u"1", true},  {u"TRUE", true}, {u"true", true}, {u"0", false},
                                                      {u"yes", false}, {u"", false},   {u"false", false}, {u"2", false}};
    for (const auto& [Text, Expected] : Cases) {
        G.Cell(0, 0)->SetAsString(QString::fromUtf16(Text));
        EXPECT_EQ(G.Cell(0, 0)->AsBoolean(), Expected) << QString::fromUtf16(Text).toStdString();
    }
}

// What AsString reads after each typed write, per class.
struct WriteCase {
    TColumnType Type;
    const char* AfterBool;
    const char* AfterDate; // SetAsDateTime(2.75)
    const char* AfterFloat; // SetAsFloat(2.5)
    const char* AfterInt;   // SetAsInteger(7)
    const char* AfterText;  // SetAsString("42")
};

class CellWrites : public ::testing::TestWithParam<WriteCase> {};

TEST_P(CellWrites, StoreByTheFixedRules) {
    const auto& c = GetParam();
    TGridData G;
    G.Add(c.Type);
    G.Cells.AddRow();
    auto Text = [&] { return G.Cell(0, 0)->AsString().toStdString(); };
    G.Cell(0, 0)->SetAsBoolean(true);
    if (c.AfterBool) {
        EXPECT_EQ(Text(), c.AfterBool) << "bool";
    }
    G.Cell(0, 0)->SetAsDateTime(2.75);
    EXPECT_EQ(Text(), c.AfterDate) << "date";
    G.Cell(0, 0)->SetAsFloat(2.5);
    EXPECT_EQ(Text(), c.AfterFloat) << "float";
    G.Cell(0, 0)->SetAsInteger(7);
    EXPECT_EQ(Text(), c.AfterInt) << "int";
    G.Cell(0, 0)->SetAsString(u"42"_qs);
    EXPECT_EQ(Text(), c.AfterText) << "text";
}

INSTANTIATE_TEST_SUITE_P(Classes, CellWrites, ::testing::Values(
    WriteCase{ctBoolean, "True", "False", "True", "True", "False"},
    WriteCase{ctFloat, "0", "2.75", "2.5", "7", "42"},
    WriteCase{ctInteger, "1", "0", "2", "7", "42"},
    WriteCase{ctString, "True", "01/01/1900 18:00:00", "2.5", "7", "42"},
    WriteCase{ctDate, nullptr /* today */, "01/01/1900 18:00:00", "01/01/1900 12:00:00", "01/06/1900", "12/30/1899"},
    WriteCase{ctAutoInc, "1", "1", "1", "1", "1"}));

TEST(DateTimeCell, BooleanWriteStoresTodayAtMidnight) {
    TGridData G;
    G.Add(ctDate);
    G.Cells.AddRow();
    G.Cell(0, 0)->SetAsFloat(3.25);
    G.Cell(0, 0)->SetAsBoolean(false);
    EXPECT_EQ(G.Cell(0, 0)->AsDateTime(), rtl::Date());
    EXPECT_EQ(G.Cell(0, 0)->AsDateTime(), std::trunc(G.Cell(0, 0)->AsDateTime()));
}

TEST(CellWriteFailures, KeepTheOldValue) {
    TGridData G;
    G.Add(ctInteger);
    G.Add(ctFloat);
    G.Add(ctGuid);
    G.Add(ctDate);
    G.Cells.AddRow();
    G.Cell(0, 0)->SetAsInteger(9);
    EXPECT_THROW(G.Cell(0, 0)->SetAsString(u"abc"_qs), rtl::EConvertError);
    EXPECT_EQ(G.Cell(0, 0)->AsInteger(), 9);
    G.Cell(0, 0)->SetAsString(u""_qs);
    EXPECT_EQ(G.Cell(0, 0)->AsInteger(), 0);

    G.Cell(1, 0)->SetAsFloat(1.5);
    EXPECT_THROW(G.Cell(1, 0)->SetAsString(u"1,5x"_qs), rtl::EConvertError);
    EXPECT_EQ(G.Cell(1, 0)->AsFloat(), 1.5);

    const QString Guid = G.Cell(2, 0)->AsString();
    EXPECT_THROW(G.Cell(2, 0)->SetAsInteger(5), rtl::EConvertError);
    EXPECT_THROW(G.Cell(2, 0)->SetAsString(u"{1234}"_qs), rtl::EConvertError);
    EXPECT_EQ(G.Cell(2, 0)->AsString(), Guid);

    // An unparsable date never fails: it reads as 0.
    G.Cell(3, 0)->SetAsFloat(5);
    G.Cell(3, 0)->SetAsString(u"not a date"_qs);
    EXPECT_EQ(G.Cell(3, 0)->AsDateTime(), 0);
}

TEST(CellWriteFailures, OverflowingFloatIsAnErrorNotAWrappedNumber) {
    TGridData G;
    G.Add(ctFloat);
    G.Add(ctInteger);
    G.Cells.AddRow();
    G.Cell(0, 0)->SetAsFloat(1e12);
    EXPECT_ANY_THROW(G.Cell(0, 0)->AsInteger());
    G.Cell(1, 0)->SetAsInteger(3);
    EXPECT_ANY_THROW(G.Cell(1, 0)->SetAsFloat(NAN));
    EXPECT_EQ(G.Cell(1, 0)->AsInteger(), 3);
}

// ---- change notices ----

struct NoticeCase {
    const char* Name;
    TColumnType Type;
    std::function<void(TCell*)> Act;
    int Notices;
};

class ChangeNotices : public ::testing::TestWithParam<NoticeCase> {};

TEST_P(ChangeNotices, CountAsTheCellsSendThem) {
    const auto& c = GetParam();
    TGridData G;
    G.AddOfType(c.Type);
    G.Cells.AddRow(2);
    std::vector<std::pair<int, int>> Seen;
    G.Cells.OnCellChange = [&](rtl::TObject*, int ACol, int ARow) { Seen.emplace_back(ACol, ARow); };
    TCell* Cell = G.Cell(0, 1);
    try {
        c.Act(Cell);
    } catch (const rtl::EConvertError&) {
    }
    EXPECT_EQ(int(Seen.size()), c.Notices);
    for (const auto& P : Seen) EXPECT_EQ(P, std::make_pair(0, 1));
}

INSTANTIATE_TEST_SUITE_P(Cases, ChangeNotices, ::testing::Values(
    NoticeCase{"StringWrite", ctString, [](TCell* C) { C->SetAsInteger(1); }, 1},
    NoticeCase{"StringClear", ctString, [](TCell* C) { C->Clear(); }, 1},
    NoticeCase{"IncrementWrite", ctAutoInc, [](TCell* C) { C->SetAsString(u"9"_qs); }, 1},
    NoticeCase{"IncrementClear", ctAutoInc, [](TCell* C) { C->Clear(); }, 0},
    NoticeCase{"GuidClearKeepsValue", ctGuid, [](TCell* C) { C->Clear(); }, 1},
    NoticeCase{"GuidFailedWrite", ctGuid, [](TCell* C) { C->SetAsInteger(5); }, 0},
    NoticeCase{"GuidAsGuid", ctGuid, [](TCell* C) { static_cast<TGuidCell*>(C)->SetAsGuid({}); }, 0},
    NoticeCase{"VirtualNumber", ctVirtual, [](TCell* C) { C->SetAsFloat(1); }, 2},
    NoticeCase{"VirtualText", ctVirtual, [](TCell* C) { C->SetAsString(u"x"_qs); }, 1},
    NoticeCase{"ColorUnlocked", ctString, [](TCell* C) { C->SetColor(5); }, 1},
    NoticeCase{"ColorLocked", ctString, [](TCell* C) { C->SetLocked(true); C->SetColor(5); C->SetHint(u"h"_qs); }, 0},
    NoticeCase{"EmptyLocked", ctString, [](TCell* C) { C->SetLocked(true); C->SetEmpty(true); }, 1},
    NoticeCase{"ObjectReference", ctString, [](TCell* C) { C->SetObjectReference(nullptr); }, 0}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST(SortedState, ClearedByEveryCellNotice) {
    TGridData G;
    G.Add(ctInteger);
    G.Cells.AddRow(3);
    G.Cells.SortColumn(0, stNumeric, skAscending, false);
    ASSERT_TRUE(G.Cells.Sorted());
    G.Cell(0, 2)->SetEmpty(true);
    EXPECT_FALSE(G.Cells.Sorted());
}

// ---- the store ----

// Which class each of the four places makes, and what it copies from the column.
TEST(CellFactories, DifferByThePlaceThatMakesTheCell) {
    TGridData G;
    auto* Auto = G.Add(ctAutoInc);
    G.Add(ctGuid);
    Auto->Font()->SetColor(0x123456);
    Auto->SetColor(0x00FF00);
    G.Cells.AddRow(2);
    EXPECT_TRUE(dynamic_cast<TIncrementCell*>(G.Cell(0, 1)));
    EXPECT_TRUE(dynamic_cast<TGuidCell*>(G.Cell(1, 1)));
    EXPECT_EQ(G.Cell(0, 1)->TextColor(), 0x123456);
    EXPECT_EQ(G.Cell(0, 1)->Color(), 0x00FF00);
    EXPECT_FALSE(G.Cell(0, 1)->Locked());

    G.Cells.InsertRow(1);
    EXPECT_TRUE(dynamic_cast<TIntegerCell*>(G.Cell(0, 1)));
    EXPECT_EQ(G.Cell(0, 1)->AsInteger(), 0);
    EXPECT_TRUE(dynamic_cast<TStringCell*>(G.Cell(1, 1)));
    EXPECT_EQ(G.Cell(0, 2)->AsInteger(), 3); // the appended row below reads its new row number

    G.Cells.AddChildRow(0, 1);
    EXPECT_TRUE(dynamic_cast<TIncrementCell*>(G.Cell(0, 1)));
    EXPECT_TRUE(dynamic_cast<TStringCell*>(G.Cell(1, 1)));
    EXPECT_EQ(G.Cell(0, 1)->TextColor(), 0); // child rows do not take the font colour

    // The insert-column factory, for the row-number column at index 0.
    G.Cells.InsertColumn(0);
    EXPECT_TRUE(dynamic_cast<TIntegerCell*>(G.Cell(0, 3)));
    G.Cells.DeleteColumn(0);
}

TEST(RowTree, CountsDescendantsAndDirectChildren) {
    TGridData G;
    G.Add(ctString);
    G.Cells.AddRow(5);
    const int Levels[] = {0, 1, 2, 1, 0};
    for (int r = 0; r < 5; ++r) G.Cells.GetRow(r)->SetLevel(Levels[r]);
    EXPECT_EQ(G.Cells.GetChildCount(0), 3);
    EXPECT_EQ(G.Cells.GetChildsCount(0), 2);
    EXPECT_EQ(G.Cells.GetChildCount(1), 1);
    EXPECT_EQ(G.Cells.GetChildCount(4), 0);
}

TEST(RowTree, ChildOfACollapsedParentIsNotShownNorCounted) {
    TGridData G;
    G.Add(ctString);
    G.Cells.AddRow(2);
    G.Cells.GetRow(0)->SetExpanded(false);
    G.Cells.AddChildRow(0, 1);
    TRow* Child = G.Cells.GetRow(1);
    EXPECT_FALSE(Child->Shown());
    EXPECT_EQ(Child->Level(), 1);
    EXPECT_EQ(Child->ParentRow(), G.Cells.GetRow(0));
    EXPECT_EQ(G.Cells.GetRow(0)->ChildCount(), 1);
    EXPECT_EQ(G.Cells.RowCount(), 3);
    EXPECT_EQ(G.Cells.VisibleRowCount(), 2);
    // Hiding or showing a row collapsed away does not move the count of rows both visible and shown.
    G.Cells.ShowRow(1, false);
    EXPECT_EQ(G.Cells.VisibleRowCount(), 2);
    G.Cells.ExpandRow(1, true);
    EXPECT_EQ(G.Cells.VisibleRowCount(), 2);
    G.Cells.ShowRow(1, true);
    EXPECT_EQ(G.Cells.VisibleRowCount(), 3);
    G.Cells.ExpandRow(1, false);
    EXPECT_EQ(G.Cells.VisibleRowCount(), 2);
    // Deleting rows that are hidden or collapsed away leaves the visible count alone.
    G.Cells.ShowRow(2, false);
    EXPECT_EQ(G.Cells.VisibleRowCount(), 1);
    G.Cells.DeleteRow(2);
    G.Cells.DeleteRow(1);
    EXPECT_EQ(G.Cells.VisibleRowCount(), 1);
    EXPECT_EQ(G.Cells.RowCount(), 1);
}

TEST(CellStore, RowIndexesOutsideTheStoreFailWithTheListError) {
    TGridData G;
    G.Add(ctString);
    G.Cells.AddRow(2);
    EXPECT_THROW(G.Cells.GetCell(0, 2), rtl::EListError);
    EXPECT_THROW(G.Cells.GetCell(0, -1), rtl::EListError);
    EXPECT_THROW(G.Cells.GetCell(1, 0), rtl::EListError);
    EXPECT_THROW(G.Cells.DeleteRow(5), rtl::EListError);
    EXPECT_THROW(G.Cells.SwapRows(0, 2), rtl::EListError);
    EXPECT_THROW(G.Cells.ShowRow(-1, false), rtl::EListError);
    EXPECT_EQ(G.Cells.GetRowIndex(nullptr), -1);
    EXPECT_EQ(G.Cells.GetRowIndex(G.Cells.GetRow(1)), 1);
}

TEST(CellStore, MoveAndSwapCarryWholeRows) {
    TGridData G;
    G.Add(ctString);
    G.Add(ctInteger);
    G.Cells.AddRow(4);
    for (int r = 0; r < 4; ++r) {
        G.Cell(0, r)->SetAsString(QString(QChar(u'a' + r)));
        G.Cell(1, r)->SetAsInteger(r);
        G.Cells.GetRow(r)->SetImageIndex(r);
    }
    G.Cells.MoveRow(0, 2);
    EXPECT_EQ(G.Texts(0), (std::vector<QString>{u"b"_qs, u"c"_qs, u"a"_qs, u"d"_qs}));
    G.Cells.SwapRows(0, 3);
    EXPECT_EQ(G.Texts(0), (std::vector<QString>{u"d"_qs, u"c"_qs, u"a"_qs, u"b"_qs}));
    for (int r = 0; r < 4; ++r) {
        EXPECT_EQ(G.Cells.GetRow(r)->ImageIndex(), G.Cell(1, r)->AsInteger());
        EXPECT_EQ(G.Cell(0, r)->AsString(), QString(QChar(u'a' + G.Cell(1, r)->AsInteger())));
    }
}

// Storage grows with the columns; the rows go with the last column.
TEST(CellStore, HoldsAnyNumberOfColumnsAndFreesRowsWithTheLast) {
    TGridData G;
    for (int c = 0; c < 1100; ++c) G.Add(ctInteger);
    G.Cells.AddRow(2);
    G.Cell(1099, 1)->SetAsInteger(7);
    EXPECT_EQ(G.Cell(1099, 1)->AsInteger(), 7);
    while (G.Columns.Count() > 0) delete G.Columns.Item(0);
    EXPECT_EQ(G.Cells.RowCount(), 0);
    EXPECT_EQ(G.Cells.VisibleRowCount(), 0);
    EXPECT_THROW(G.Cells.GetRow(0), rtl::EListError);
    // Rows added afterwards start from a clean store.
    G.Add(ctAutoInc);
    G.Cells.AddRow(1);
    EXPECT_EQ(G.Cell(0, 0)->AsInteger(), 1);
}

struct StructuralCase {
    const char* Name;
    std::function<void(TGridData&)> Change;
};

class StructuralChange : public ::testing::TestWithParam<StructuralCase> {};

// After any change of the row or column structure the next opposite-direction sort sorts again.
TEST_P(StructuralChange, ClearsTheSortedState) {
    TGridData G;
    G.Add(ctInteger);
    G.Add(ctInteger);
    G.Cells.AddRow(4);
    G.Cells.SortColumn(1, stNumeric, skAscending, false);
    ASSERT_TRUE(G.Cells.Sorted());
    GetParam().Change(G);
    EXPECT_FALSE(G.Cells.Sorted());
}

INSTANTIATE_TEST_SUITE_P(Changes, StructuralChange, ::testing::Values(
    StructuralCase{"AddRow", [](TGridData& G) { G.Cells.AddRow(); }},
    StructuralCase{"InsertRow", [](TGridData& G) { G.Cells.InsertRow(0); }},
    StructuralCase{"MoveRow", [](TGridData& G) { G.Cells.MoveRow(0, 3); }},
    StructuralCase{"SwapRows", [](TGridData& G) { G.Cells.SwapRows(0, 3); }},
    StructuralCase{"AddChildRow", [](TGridData& G) { G.Cells.AddChildRow(0, 1); }},
    StructuralCase{"DeleteColumn", [](TGridData& G) { delete G.Columns.Item(0); }},
    StructuralCase{"MoveColumn", [](TGridData& G) { G.Columns.Move(0, 1); }},
    StructuralCase{"InsertColumn", [](TGridData& G) { G.Cells.InsertColumn(0); G.Cells.DeleteColumn(0); }},
    StructuralCase{"ClearRows", [](TGridData& G) { G.Cells.ClearRows(); }}),
    [](const auto& Info) { return std::string(Info.param.Name); });

// ---- sorting ----

struct SortCase {
    const char* Name;
    TSortType Sort;
    TColumnType Type;
    std::vector<QString> Input;
    std::vector<QString> Ascending; // what the column reads top to bottom
};

class SortTypes : public ::testing::TestWithParam<SortCase> {};

TEST_P(SortTypes, OrderRowsByTheirComparison) {
    const auto& c = GetParam();
    TGridData G;
    G.Add(c.Type);
    G.Cells.AddRow(int(c.Input.size()));
    for (int r = 0; r < int(c.Input.size()); ++r) G.Cell(0, r)->SetAsString(c.Input[r]);
    rtl::RandSeed = 7;
    G.Cells.SortColumn(0, c.Sort, skAscending, false);
    EXPECT_EQ(G.Texts(0), c.Ascending);
    G.Cells.SortColumn(0, c.Sort, skDescending, true);
    EXPECT_EQ(G.Texts(0), std::vector<QString>(c.Ascending.rbegin(), c.Ascending.rend()));
}

INSTANTIATE_TEST_SUITE_P(Types, SortTypes, ::testing::Values(
    SortCase{"Alphabetic", stAlphabetic, ctString, {u"b"_qs, u"é"_qs, u"B"_qs, u"a"_qs}, {u"B"_qs, u"a"_qs, u"b"_qs, u"é"_qs}},
    SortCase{"CaseInsensitive", stCaseInsensitive, ctString, {u"c"_qs, u"é"_qs, u"B"_qs, u"É"_qs, u"a"_qs},
             {u"a"_qs, u"B"_qs, u"c"_qs, u"É"_qs, u"é"_qs}},
    SortCase{"NumericTextFallsBackToText", stNumeric, ctString, {u"10"_qs, u"abc"_qs, u"9"_qs, u"1.5"_qs},
             {u"1.5"_qs, u"9"_qs, u"10"_qs, u"abc"_qs}},
    SortCase{"NumericFloat", stNumeric, ctFloat, {u"3"_qs, u"-1"_qs, u"2.5"_qs}, {u"-1"_qs, u"2.5"_qs, u"3"_qs}},
    SortCase{"Boolean", stBoolean, ctBoolean, {u"True"_qs, u"False"_qs}, {u"False"_qs, u"True"_qs}},
    SortCase{"Date", stDate, ctDate, {u"01/03/1900"_qs, u"12/31/1899"_qs, u"01/01/1900 06:00:00"_qs},
             {u"12/31/1899"_qs, u"01/01/1900 06:00:00"_qs, u"01/03/1900"_qs}},
    SortCase{"AddressFourthGroupFirst", stIP, ctString, {u"9.0.0.3"_qs, u"1.2.3.4"_qs, u"10.0.0.2"_qs, u"4.3.2.1"_qs},
             {u"4.3.2.1"_qs, u"10.0.0.2"_qs, u"9.0.0.3"_qs, u"1.2.3.4"_qs}}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST(SortCustom, AsksOnCompareWithThePivotFirst) {
    TGridData G;
    G.Add(ctString);
    G.Cells.AddRow(4);
    const QString Words[] = {u"ccc"_qs, u"a"_qs, u"dddd"_qs, u"bb"_qs};
    for (int r = 0; r < 4; ++r) G.Cell(0, r)->SetAsString(Words[r]);
    G.Cells.OnCompare = [](rtl::TObject*, TCell* A, TCell* B, int& Compare) {
        Compare = int(A->AsString().size()) - int(B->AsString().size());
    };
    G.Cells.SortColumn(0, stCustom, skAscending, false);
    EXPECT_EQ(G.Texts(0), (std::vector<QString>{u"a"_qs, u"bb"_qs, u"ccc"_qs, u"dddd"_qs}));
}

// Sorting a column of row numbers or of virtual cells reads each cell at its own row.
TEST(SortCustom, CellsThatReadTheirPlaceCompareTheirOwnRows) {
    TGridData G;
    auto* Virtual = G.Add<TRgVirtualColumn>();
    G.Add(ctInteger);
    G.Cells.AddRow(5);
    const int Keys[] = {30, 10, 50, 20, 40};
    for (int r = 0; r < 5; ++r) G.Cell(1, r)->SetAsInteger(Keys[r]);
    // The virtual text comes from the integer column of the same row.
    Virtual->OnGetText = [&](rtl::TObject*, int, int ARow, QString& Value) {
        const int Saved = ARow;
        Value = QString::number(G.Cells.GetCell(1, Saved)->AsInteger());
    };
    G.Cells.SortColumn(0, stNumeric, skAscending, false);
    EXPECT_EQ(G.Texts(1), (std::vector<QString>{u"10"_qs, u"20"_qs, u"30"_qs, u"40"_qs, u"50"_qs}));
}

struct TKeyedRows {
    TGridData G;
    explicit TKeyedRows(const std::vector<int>& Keys) {
        G.Add(ctInteger); // row id
        G.Add(ctInteger); // key
        G.Cells.AddRow(int(Keys.size()));
        for (int r = 0; r < int(Keys.size()); ++r) {
            G.Cell(0, r)->SetAsInteger(r);
            G.Cell(1, r)->SetAsInteger(Keys[r]);
        }
    }
    std::vector<int> Ids() {
        std::vector<int> Out;
        for (int r = 0; r < G.Cells.RowCount(); ++r) Out.push_back(G.Cell(0, r)->AsInteger());
        return Out;
    }
};

TEST(SortReverse, OppositeDirectionReversesExactlyUnlessResortOrEdited) {
    TKeyedRows K({2, 1, 2, 3, 1, 2});
    K.G.Cells.SortColumn(1, stNumeric, skAscending, false);
    const std::vector<int> Ascending = K.Ids();
    K.G.Cells.SortColumn(1, stNumeric, skDescending, false);
    EXPECT_EQ(K.Ids(), std::vector<int>(Ascending.rbegin(), Ascending.rend())); // equal keys too
    EXPECT_EQ(K.G.Cells.SortKind(), skDescending);

    // An edit puts a key out of place: the next click sorts again instead of reversing.
    K.G.Cell(1, 0)->SetAsInteger(0);
    K.G.Cells.SortColumn(1, stNumeric, skAscending, false);
    for (int r = 0; r < 6; ++r) EXPECT_EQ(K.G.Cell(1, r)->AsInteger(), (std::array{0, 1, 1, 2, 2, 2}[r]));

    // Resort sorts in full even when only the direction changes.
    K.G.Cells.SortColumn(1, stNumeric, skDescending, true);
    for (int r = 1; r < 6; ++r) EXPECT_GE(K.G.Cell(1, r - 1)->AsInteger(), K.G.Cell(1, r)->AsInteger());
}

TEST(SortReverse, EmptyAndSingleRowStoresStillRecordTheSort) {
    for (int Rows : {0, 1}) {
        TGridData G;
        G.Add(ctString);
        G.Add(ctString);
        G.Cells.AddRow(Rows);
        G.Cells.SortColumn(1, stAlphabetic, skDescending, false);
        EXPECT_TRUE(G.Cells.Sorted());
        EXPECT_EQ(G.Cells.SortIndex(), 1);
        EXPECT_EQ(G.Cells.SortKind(), skDescending);
    }
}

TEST(SortFailure, LeavesSortedAndSortIndexAsTheyWere) {
    TGridData G;
    G.Add(ctString);
    G.Add(ctString);
    G.Cells.AddRow(3);
    const QString Addresses[] = {u"1.2.3.4"_qs, u"1..2"_qs, u"5.6.7.8"_qs};
    for (int r = 0; r < 3; ++r) G.Cell(1, r)->SetAsString(Addresses[r]);
    G.Cells.SortColumn(0, stAlphabetic, skAscending, false);
    EXPECT_THROW(G.Cells.SortColumn(1, stIP, skDescending, false), rtl::EConvertError);
    EXPECT_TRUE(G.Cells.Sorted());
    EXPECT_EQ(G.Cells.SortIndex(), 0);
    EXPECT_EQ(G.Cells.SortKind(), skDescending);
}

TEST(DottedAddress, ReadsFourGroupsAndFailsOnAnEmptyOne) {
    const std::pair<const char16_t*, std::optional<TIPGroups>> Cases[] = {
        {u"192.168.0.1", TIPGroups{192, 168, 0, 1}}, {u"1.2.3.", TIPGroups{1, 2, 3, 0}},
        {u"", TIPGroups{0, 0, 0, 0}},                {u"a1b.2", TIPGroups{1, 2, 0, 0}},
        {u"1.2.3.4.5.6", TIPGroups{1, 2, 3, 4}},     {u"1..2", std::nullopt},
        {u".1", std::nullopt},                       {u"words", std::nullopt}};
    for (const auto& [Text, Expected] : Cases) {
        const QString S = QString::fromUtf16(Text);
        if (Expected)
            EXPECT_EQ(StrToIPGroups(S), *Expected) << S.toStdString();
        else
            EXPECT_THROW(StrToIPGroups(S), rtl::EConvertError) << S.toStdString();
    }
}

// Any data, any seed: every row stays whole and the key column ends ordered.
TEST(SortProperties, RowsStayWholeAndKeysEndOrdered) {
    std::mt19937 Random(12345);
    for (int Round = 0; Round < 60; ++Round) {
        const int Rows = int(Random() % 120);
        std::vector<int> Keys(Rows);
        for (int& Key : Keys) Key = int(Random() % (Round % 3 == 0 ? 4 : 1000)) - 50;
        TKeyedRows K(Keys);
        rtl::RandSeed = int32_t(Random());
        const TSortKind Kind = Round % 2 ? skAscending : skDescending;
        K.G.Cells.SortColumn(1, Round % 4 < 2 ? stNumeric : stAlphabetic, Kind, false);
        std::vector<bool> Seen(Rows);
        for (int r = 0; r < Rows; ++r) {
            const int Id = K.G.Cell(0, r)->AsInteger();
            ASSERT_FALSE(Seen[Id]);
            Seen[Id] = true;
            ASSERT_EQ(K.G.Cell(1, r)->AsInteger(), Keys[Id]) << "row " << r << " lost its key";
            if (r == 0) continue;
            const TCell* Prev = K.G.Cell(1, r - 1);
            const QString A = Prev->AsString(), B = K.G.Cell(1, r)->AsString();
            const int Order = Round % 4 < 2 ? (Keys[K.G.Cell(0, r - 1)->AsInteger()] > Keys[Id]) -
                                                  (Keys[K.G.Cell(0, r - 1)->AsInteger()] < Keys[Id])
                                            : rtl::CompareStr(A, B);
            ASSERT_TRUE(Kind == skAscending ? Order <= 0 : Order >= 0) << "round " << Round << " row " << r;
        }
    }
}

// A handler that answers at random, or never "equal", must not carry the scans out of the rows.
TEST(SortProperties, HostileComparisonStaysInsideTheRows) {
    std::mt19937 Random(99);
    const std::function<int()> Answers[] = {[&] { return int(Random() % 3) - 1; }, [] { return -1; }, [] { return 1; }};
    for (const auto& Answer : Answers)
        for (int Rows : {2, 3, 17, 200}) {
            TKeyedRows K(std::vector<int>(Rows, 0));
            K.G.Cells.OnCompare = [&](rtl::TObject*, TCell*, TCell*, int& Compare) { Compare = Answer(); };
            K.G.Cells.SortColumn(1, stCustom, skAscending, false);
            K.G.Cells.SortColumn(1, stCustom, skDescending, true);
            std::vector<int> Ids = K.Ids();
            std::sort(Ids.begin(), Ids.end());
            for (int r = 0; r < Rows; ++r) ASSERT_EQ(Ids[r], r);
        }
}

TEST(SortProperties, NotANumberSortsAfterEveryNumber) {
    TGridData G;
    G.Add(ctFloat);
    const double Values[] = {NAN, 3, NAN, -2, 1e300, NAN, 0};
    G.Cells.AddRow(7);
    for (int r = 0; r < 7; ++r) G.Cell(0, r)->SetAsFloat(Values[r]);
    G.Cells.SortColumn(0, stNumeric, skAscending, false);
    const double Expected[] = {-2, 0, 3, 1e300};
    for (int r = 0; r < 4; ++r) EXPECT_EQ(G.Cell(0, r)->AsFloat(), Expected[r]);
    for (int r = 4; r < 7; ++r) EXPECT_TRUE(std::isnan(G.Cell(0, r)->AsFloat()));
    G.Cells.SortColumn(0, stDate, skDescending, true);
    for (int r = 0; r < 3; ++r) EXPECT_TRUE(std::isnan(G.Cell(0, r)->AsFloat()));
    EXPECT_EQ(G.Cell(0, 3)->AsFloat(), 1e300);
}

// ---- against real peers ----

QStringList Lines(const QByteArray& Out) {
    return QString::fromUtf8(Out).split(u'\n', Qt::SkipEmptyParts);
}

// The lines a Python script prints for the given input; empty, with a failure recorded, when it fails.
QStringList Python(const QString& Script, const QByteArray& Input) {
    const auto Peer = testing_support::RunProgram(u"/usr/bin/python3"_qs, {u"-c"_qs, Script}, 60000, Input);
    EXPECT_TRUE(Peer.Ok()) << Peer.Describe();
    return Peer.Ok() ? Lines(Peer.Out) : QStringList{};
}

TEST(SortPeers, AddressOrderMatchesSortByFourthGroupFirst) {
    TW_REQUIRE_TOOL("sort");
    std::mt19937 Random(2026);
    TGridData G;
    G.Add(ctString);
    G.Cells.AddRow(10000);
    QByteArray Input;
    for (int r = 0; r < 10000; ++r) {
        const QString A = QStringLiteral("%1.%2.%3.%4")
                              .arg(Random() % 256).arg(Random() % 256).arg(Random() % 256).arg(Random() % 256);
        G.Cell(0, r)->SetAsString(A);
        Input += A.toLatin1() + '\n';
    }
    G.Cells.SortColumn(0, stIP, skAscending, false);
    const auto Peer = testing_support::RunProgram(u"sort"_qs, {u"-t."_qs, u"-k4,4n"_qs, u"-k3,3n"_qs, u"-k2,2n"_qs,
                                                               u"-k1,1n"_qs}, 60000, Input);
    ASSERT_TRUE(Peer.Ok()) << Peer.Describe();
    const QStringList Expected = Lines(Peer.Out);
    ASSERT_EQ(Expected.size(), 10000);
    for (int r = 0; r < 10000; ++r) ASSERT_EQ(G.Cell(0, r)->AsString(), Expected[r]) << "row " << r;
}

TEST(CellPeers, GuidTextsAgreeWithPythonUuid) {
    TW_REQUIRE_TOOL("/usr/bin/python3", "import uuid");
    TGridData G;
    G.Add(ctGuid);
    G.Cells.AddRow(50);
    QByteArray Ours;
    for (int r = 0; r < 50; ++r) Ours += G.Cell(0, r)->AsString().toLatin1() + '\n';
    // Python reads ours back and writes its own fresh ones in the same form.
    const QString Script = QStringLiteral(
        "import sys, uuid\n"
        "for line in sys.stdin.read().split():\n"
        "    u = uuid.UUID(line)\n"
        "    print('{%s}' % str(u).upper(), u.version, u.variant == uuid.RFC_4122)\n"
        "for i in range(20): print('{%s}' % str(uuid.uuid4()).upper())\n");
    const QStringList Out = Python(Script, Ours);
    ASSERT_EQ(Out.size(), 70);
    for (int r = 0; r < 50; ++r)
        EXPECT_EQ(Out[r], G.Cell(0, r)->AsString() + u" 4 True"_qs);
    for (int i = 50; i < 70; ++i) {
        G.Cell(0, 0)->SetAsString(Out[i]);
        EXPECT_EQ(G.Cell(0, 0)->AsString(), Out[i]);
    }
}

TEST(CellPeers, DateTimeTextsAgreeWithPythonDatetime) {
    TW_REQUIRE_TOOL("/usr/bin/python3", "import datetime");
    std::mt19937 Random(77);
    std::vector<double> Values;
    QByteArray Input;
    for (int i = 0; i < 300; ++i) {
        const int Day = int(Random() % 3400000) - 500000;
        const int Second = i % 5 == 0 ? 0 : int(Random() % 86400);
        // Before 1899-12-30 the whole part counts back and the fraction still counts forward.
        Values.push_back(Day >= 0 ? Day + Second / 86400.0 : Day - Second / 86400.0);
        Input += QByteArray::number(Day) + ' ' + QByteArray::number(Second) + '\n';
    }
    const QString Script = QStringLiteral(
        "import sys, datetime\n"
        "base = datetime.datetime(1899, 12, 30)\n"
        "for line in sys.stdin:\n"
        "    d, s = map(int, line.split())\n"
        "    t = base + datetime.timedelta(days=d, seconds=s)\n"
        "    text = '%02d/%02d/%04d' % (t.month, t.day, t.year)\n"
        "    if s: text += ' %02d:%02d:%02d' % (t.hour, t.minute, t.second)\n"
        "    print(text)\n");
    const QStringList Expected = Python(Script, Input);
    ASSERT_EQ(Expected.size(), int(Values.size()));
    TGridData G;
    G.Add(ctDate);
    G.Add(ctString);
    G.Cells.AddRow();
    for (size_t i = 0; i < Values.size(); ++i) {
        G.Cell(0, 0)->SetAsDateTime(Values[i]);
        EXPECT_EQ(G.Cell(0, 0)->AsString(), Expected[int(i)]) << Values[i];
        // And back: the text cell reads the peer's text as the same moment.
        G.Cell(1, 0)->SetAsString(Expected[int(i)]);
        EXPECT_NEAR(G.Cell(1, 0)->AsDateTime(), Values[i], 1e-8) << Expected[int(i)].toStdString();
    }
}

TEST(CellPeers, NumberTextsHaveTheDigitsOfPythonFormat15g) {
    TW_REQUIRE_TOOL("/usr/bin/python3");
    std::mt19937_64 Random(5);
    std::vector<double> Values = {0, 1, -1, 2.5, 0.1, 1e20, 1e-5, 1e-4, 123456789012345.0, 1234567890123456.0,
                                  0.30000000000000004, 1.0 / 3, -2.0 / 3, 5e-324, 1.7976931348623157e308};
    for (int i = 0; i < 400; ++i) {
        const double Mantissa = std::ldexp(double(Random() >> 11), -53) * (i % 2 ? 1 : -1);
        Values.push_back(Mantissa * std::pow(10.0, int(Random() % 60) - 30));
    }
    QByteArray Input;
    for (double V : Values) Input += QByteArray::number(V, 'g', 17) + '\n';
    const QStringList Expected = Python(u"import sys\nfor l in sys.stdin: print(format(float(l), '.15g'))"_qs, Input);
    ASSERT_EQ(Expected.size(), int(Values.size()));
    TGridData G;
    G.Add(ctFloat);
    G.Cells.AddRow();
    static const QRegularExpression Exponent(u"e([+-])0*(\\d+)"_qs);
    for (size_t i = 0; i < Values.size(); ++i) {
        G.Cell(0, 0)->SetAsFloat(Values[i]);
        // Python writes "1e+20" and "1e-05" where we write "1E20" and "1E-5".
        QString Theirs = Expected[int(i)];
        Theirs.replace(Exponent, u"E\\1\\2"_qs);
        Theirs.replace(u"E+"_qs, u"E"_qs);
        if (Theirs == u"-0"_qs) Theirs = u"0"_qs;
        EXPECT_EQ(G.Cell(0, 0)->AsString(), Theirs) << Expected[int(i)].toStdString();
    }
}

TEST(SortPeers, UnicodeAlphabeticOrderMatchesIcuCollation) {
    const QLocale Saved;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const QStringList Words = {u"zebra"_qs,  u"Äpfel"_qs, u"apple"_qs, u"Zürich"_qs, u"école"_qs, u"eclair"_qs,
                               u"Ωmega"_qs,  u"alpha"_qs, u"Alpha"_qs, u"naïve"_qs,  u"nave"_qs,   u"ñandú"_qs,
                               u"Nandu"_qs,  u"Ölfarbe"_qs, u"office"_qs, u"Øre"_qs, u"дом"_qs, u"Дом"_qs,
                               u"co-op"_qs, u"coop"_qs,  u"Straße"_qs, u"strasse"_qs, u"10"_qs, u"9"_qs};
    TGridData G;
    G.Add(ctString);
    G.Cells.AddRow(int(Words.size()));
    for (int r = 0; r < Words.size(); ++r) G.Cell(0, r)->SetAsString(Words[r]);
    G.Cells.SortColumn(0, stUnicodeAlphabetic, skAscending, false);
    const std::vector<QString> Ours = G.Texts(0);
    QLocale::setDefault(Saved);

    UErrorCode Status = U_ZERO_ERROR;
    std::unique_ptr<icu::Collator> Collator(icu::Collator::createInstance(icu::Locale("en_US"), Status));
    ASSERT_TRUE(U_SUCCESS(Status));
    std::vector<QString> Theirs(Words.begin(), Words.end());
    auto Icu = [](const QString& S) { return icu::UnicodeString(reinterpret_cast<const char16_t*>(S.utf16()), int(S.size())); };
    std::sort(Theirs.begin(), Theirs.end(), [&](const QString& A, const QString& B) {
        UErrorCode E = U_ZERO_ERROR;
        return Collator->compare(Icu(A), Icu(B), E) == UCOL_LESS;
    });
    EXPECT_EQ(Ours, Theirs);
}

} // namespace
