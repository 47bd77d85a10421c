// The report grid over its cell store: adding, inserting, deleting and moving rows with their events,
// the current row kept on its row, child rows with collapse and expand, and sorting.
#include "tests/grid/GridForm.h"

#include <algorithm>

#include "tests/support/QtPrint.h"

using namespace grid_test;

namespace {
QStringList Texts(std::initializer_list<const char*> Items) {
    QStringList Out;
    for (const char* s : Items) Out << QString::fromUtf8(s);
    return Out;
}
} // namespace

TEST(ReportGridRows, AddRowWritesDefaultsOnlyWithTheOptionAndReportsTheLastRow) {
    TGridTest t(1);
    auto* number = new TRgNumberColumn(t.Form);
    number->SetDefaultValue(QStringLiteral("5"));
    t.Grid->Columns()->AddColumn(number);
    t.TakeLog();
    EXPECT_EQ(t.Grid->AddRow(0), -1);
    EXPECT_TRUE(t.TakeLog().isEmpty());
    EXPECT_EQ(t.Grid->AddRow(2), 1);
    EXPECT_EQ(t.TakeLog(), Texts({"show 0,16,1", "show 1,16,1", "data 2,1"}));
    EXPECT_EQ(t.Grid->GetCells(1, 1), QStringLiteral("0")); // the cell's own empty value
    t.Grid->SetOptions(t.Grid->Options() + TGridOptions{goUseDefaultValues});
    t.Grid->AddRow();
    EXPECT_EQ(t.Grid->GetCells(1, 2), QStringLiteral("5"));
    EXPECT_EQ(t.Grid->GetCells(0, 2), QString());
    t.TakeLog();
    t.Grid->ReserveRows(100); // no defaults, no events
    EXPECT_TRUE(t.TakeLog().isEmpty());
    EXPECT_EQ(t.Grid->RowCount(), 103);
    EXPECT_EQ(t.Grid->GetCells(1, 102), QStringLiteral("0"));
    EXPECT_EQ(t.Grid->LastAddedRow(), 102);
    EXPECT_EQ(t.Grid->LastVisibleRow(), 102);
}

TEST(ReportGridRows, InsertKeepsTheCurrentRowAndTheSelectionOnTheirRows) {
    TGridTest t(1, 6);
    t.Grid->SetSelectedRow(2);
    t.Grid->SelectCell(0, 4, {vcl::ssCtrl}, true, false);
    t.TakeLog();
    t.Grid->InsertRow(1, 2);
    EXPECT_EQ(t.Grid->SelectedRow(), 6);
    EXPECT_EQ(t.Grid->GetCells(0, 6), QStringLiteral("4"));
    EXPECT_EQ(t.SelectedRows(), std::vector<int>({4, 6}));
    EXPECT_EQ(t.Grid->LastAddedRow(), 1);
    EXPECT_EQ(t.TakeLog(), Texts({"show 1,16,1", "show 2,16,1", "data 4,1"}));
    t.Grid->InsertRow(8, 1); // below: nothing moves
    EXPECT_EQ(t.Grid->SelectedRow(), 6);
    EXPECT_EQ(t.Grid->RowCount(), 9);
    EXPECT_THROW(t.Grid->InsertRow(20, 1), rtl::Exception);
    t.Grid->InsertRow(0, 0);
    EXPECT_EQ(t.Grid->RowCount(), 9);
}

TEST(ReportGridRows, DeleteKeepsTheCurrentRowOrPassesItToTheNextOne) {
    TGridTest t(1, 5);
    t.Grid->SetSelectedRow(3);
    t.TakeLog();
    t.Grid->DeleteRow(0); // above the current row
    EXPECT_EQ(t.Grid->SelectedRow(), 2);
    EXPECT_EQ(t.Grid->GetCells(0, 2), QStringLiteral("3"));
    EXPECT_EQ(t.TakeLog(), Texts({"show 0,16,0", "data 6,0"}));
    t.Grid->DeleteRow(2); // the current row: the next one takes its place
    EXPECT_EQ(t.Grid->GetCells(0, t.Grid->SelectedRow()), QStringLiteral("4"));
    EXPECT_EQ(t.SelectedRows(), std::vector<int>({2}));
    t.TakeLog();
    t.Grid->DeleteRow(2); // the current and last row: the new last row
    EXPECT_EQ(t.Grid->SelectedRow(), 1);
    EXPECT_EQ(t.TakeLog(), Texts({"deselect 0,2", "select 0,1", "show 2,16,0", "data 6,2"}));
    EXPECT_EQ(t.Grid->LastAddedRow(), 1);
    EXPECT_EQ(t.Grid->LastVisibleRow(), 1);
    EXPECT_THROW(t.Grid->DeleteRow(7), rtl::Exception);
}

// Deleting many rows at once ends where deleting them one by one from the bottom ends: the same rows,
// current row, selection, first row in view and scroll position.
TEST(ReportGridRows, DeleteRowsInOnePassEndsAsOneByOne) {
    struct Case {
        const char* name;
        int current;
        int scrolled; // lines down, 99: to the bottom
        std::vector<int> gone;
    } cases[] = {
        {"above the current row", 12, 0, {0, 3, 4}},
        {"the current row and the one after", 12, 0, {12, 13}},
        {"the current row at the end", 29, 99, {27, 28, 29}},
        {"every other row, scrolled", 20, 99, {0, 2, 4, 6, 8, 10, 12, 14, 16, 18, 20, 22, 24, 26, 28}},
        {"above the view", 20, 8, {0, 1, 2}},
        {"none current", -1, 99, {1, 25}},
    };
    for (const Case& c : cases) {
        const std::vector<int>& gone = c.gone;
        auto State = [&](TGridTest& t) {
            QStringList s;
            for (int r = 0; r < t.Grid->RowCount(); ++r) s << t.Grid->GetCells(0, r);
            s << QStringLiteral("current %1").arg(t.Grid->SelectedRow());
            for (int r : t.SelectedRows()) s << QStringLiteral("sel %1").arg(r);
            s << QStringLiteral("first %1 last %2 pos %3")
                     .arg(t.Grid->FirstRow())
                     .arg(t.Grid->LastVisibleRow())
                     .arg(t.Grid->VertScrollBar()->Position());
            return s;
        };
        auto Prepare = [&](TGridTest& t) {
            if (c.current >= 0) t.Grid->SetSelectedRow(c.current);
            t.Grid->SelectCell(0, 7, {vcl::ssCtrl}, true, false);
            if (c.scrolled == 99) t.Grid->Perform(WM_VSCROLL, SB_BOTTOM, LPARAM(0));
            for (int i = 0; i < c.scrolled && c.scrolled != 99; ++i)
                t.Grid->Perform(UINT(WM_VSCROLL), WPARAM(SB_LINEDOWN), LPARAM(0));
        };
        // One harness at a time.
        auto Run = [&](bool Bulk) {
            TGridTest t(1, 30);
            Prepare(t);
            if (Bulk) {
                const int deleted =
                    t.Grid->DeleteRows([&](int Row) { return std::find(gone.begin(), gone.end(), Row) != gone.end(); });
                EXPECT_EQ(deleted, int(gone.size())) << c.name;
            } else {
                for (auto r = gone.rbegin(); r != gone.rend(); ++r) t.Grid->DeleteRow(*r);
            }
            return State(t);
        };
        const QStringList one = Run(false);
        EXPECT_EQ(Run(true), one) << c.name;
    }
}

TEST(ReportGridRows, DeletingRowsAtTheEndScrollsTheViewBack) {
    TGridTest t(1, 30);
    t.Grid->Perform(WM_VSCROLL, SB_BOTTOM, LPARAM(0));
    ASSERT_EQ(t.Grid->FirstRow(), 20);
    for (int i = 0; i < 5; ++i) t.Grid->DeleteRow(t.Grid->RowCount() - 1);
    EXPECT_EQ(t.Grid->FirstRow(), 15);
    EXPECT_EQ(t.Grid->LastRowInView(), 24);
    EXPECT_EQ(t.Grid->VertScrollBar()->Position(), 15);
    t.Grid->ClearRows();
    EXPECT_EQ(t.Grid->FirstRow(), 0);
    EXPECT_EQ(t.Grid->SelectedCell(), vcl::TPoint(0, -1));
    EXPECT_EQ(t.Grid->VertScrollBar()->Max(), 0);
}

TEST(ReportGridRows, StartRowCountAddsAtTheEndAndDeletesFromTheTop) {
    TGridTest t(1);
    t.Grid->SetStartRowCount(5);
    for (int r = 0; r < 5; ++r) t.Grid->SetCells(0, r, QString::number(r));
    t.Grid->SetStartRowCount(2);
    EXPECT_EQ(t.Keys(), Texts({"3", "4"}));
    t.Grid->SetStartRowCount(-1);
    EXPECT_EQ(t.Grid->StartRowCount(), 2);
}

TEST(ReportGridRows, MovesAndSwapsTakeTheCurrentRowAlong) {
    TGridTest t(1, 4);
    t.Grid->SetSelectedRow(1);
    t.Grid->MoveRow(1, 3);
    EXPECT_EQ(t.Keys(), Texts({"0", "2", "3", "1"}));
    EXPECT_EQ(t.Grid->SelectedRow(), 3);
    t.Grid->SwapRows(3, 0);
    EXPECT_EQ(t.Keys(), Texts({"1", "2", "3", "0"}));
    EXPECT_EQ(t.Grid->SelectedRow(), 0);
    EXPECT_EQ(t.SelectedRows(), std::vector<int>({0}));
}

TEST(ReportGridTree, ChildRowsCollapseAndExpandTheirSubtrees) {
    TGridTest t(1, 2);
    TReportGrid* g = t.Grid;
    g->AddChildRow(0, crLast);  // row 1: child of 0
    g->AddChildRow(1, crLast);  // row 2: grandchild
    g->AddChildRow(0, crLast);  // row 3: second child, after the grandchild
    ASSERT_EQ(g->RowCount(), 5);
    EXPECT_EQ(g->GetParent(2), 1);
    EXPECT_EQ(g->GetParent(3), 0);
    EXPECT_EQ(g->GetParent(0), -1);
    EXPECT_EQ(g->GetNextSibling(1), 3);
    EXPECT_EQ(g->GetNextSibling(3), -1);
    EXPECT_EQ(g->GetChildCount(0, true), 3);
    EXPECT_EQ(g->GetChildCount(0, false), 2);
    EXPECT_EQ(g->GetCells(0, 4), QStringLiteral("1"));

    int expanded = -1;
    g->OnExpand = [&](rtl::TObject*, int r) { expanded = r; };
    g->SetExpanded(1, false);
    EXPECT_EQ(g->VisibleRows(), 4);
    g->SetExpanded(0, false);
    EXPECT_EQ(expanded, 0);
    EXPECT_EQ(g->VisibleRows(), 2);
    g->AddChildRow(0, crLast); // under a collapsed row: hidden
    EXPECT_EQ(g->VisibleRows(), 2);
    EXPECT_FALSE(g->GetRowVisible(4));
    g->SetExpanded(0, true); // the collapsed child keeps its own child hidden
    EXPECT_EQ(g->VisibleRows(), 5);
    EXPECT_FALSE(g->GetRowVisible(2));
    EXPECT_EQ(g->LastVisibleRow(), 5);

    g->DeleteRow(0); // the parent takes its descendants along
    EXPECT_EQ(g->RowCount(), 1);
    EXPECT_EQ(g->GetCells(0, 0), QStringLiteral("1"));
    EXPECT_EQ(g->VisibleRows(), 1);
}

TEST(ReportGridSort, SortingKeepsTheSelectedRowObjects) {
    TGridTest t(1, 0);
    const char* keys[] = {"d", "b", "e", "a", "c"};
    for (const char* k : keys) t.Grid->SetCells(0, t.Grid->AddRow(), QString::fromUtf8(k));
    t.Grid->SetSelectedRow(0); // "d"
    t.Grid->SelectCell(0, 2, {vcl::ssCtrl}, true, false); // and "e"
    TRow* current = t.Grid->GetRow(t.Grid->SelectedRow());
    int sorted = -1;
    t.Grid->OnAfterSort = [&](rtl::TObject*, int c) { sorted = c; };
    t.Grid->SortColumn(t.Grid->Columns()->Item(0), true);
    EXPECT_EQ(t.Keys(), Texts({"a", "b", "c", "d", "e"}));
    EXPECT_EQ(t.Grid->GetRow(t.Grid->SelectedRow()), current);
    EXPECT_EQ(t.SelectedRows(), std::vector<int>({3, 4}));
    EXPECT_EQ(sorted, 0);
    EXPECT_EQ(t.Grid->SortedColumn(), t.Grid->Columns()->Item(0));
    // A column that cannot sort leaves the order alone.
    t.Grid->Columns()->Item(0)->SetOptions({});
    t.Grid->SortColumn(t.Grid->Columns()->Item(0), false);
    EXPECT_EQ(t.Keys(), Texts({"a", "b", "c", "d", "e"}));
}

TEST(ReportGridRows, HidingAndShowingRowsReportTheirSpace) {
    TGridTest t(1, 3);
    t.TakeLog();
    t.Grid->SetRowVisible(1, false);
    t.Grid->SetRowVisible(1, false);
    t.Grid->SetRowVisible(1, true);
    EXPECT_EQ(t.TakeLog(), Texts({"show 1,16,0", "show 1,16,1"}));
    t.Grid->SetRowVisible(0, false);
    EXPECT_EQ(t.Grid->FirstVisibleRow(), 1);
    t.Grid->SetRowVisible(2, false);
    EXPECT_EQ(t.Grid->LastVisibleRow(), 1);
}

TEST(ReportGridSort, TheColumnsSortedFlagAndKindSortTheRows) {
    TGridTest t(1, 0);
    for (const char* k : {"b", "c", "a"}) t.Grid->SetCells(0, t.Grid->AddRow(), QString::fromUtf8(k));
    QStringList sorts;
    t.Grid->OnSortColumn = [&](rtl::TObject*, int c, bool up) { sorts << QStringLiteral("%1 %2").arg(c).arg(up); };
    TRgCustomColumn* c = t.Grid->Columns()->Item(0);
    c->SetSorted(true);
    EXPECT_EQ(t.Keys(), Texts({"a", "b", "c"}));
    c->SetSortKind(skDescending);
    EXPECT_EQ(t.Keys(), Texts({"c", "b", "a"}));
    EXPECT_EQ(sorts, Texts({"0 1", "0 0"}));
    c->SetSorted(false);
    EXPECT_EQ(t.Grid->SortedColumn(), nullptr);
    c->SetSortKind(skAscending); // not sorted: nothing happens
    EXPECT_EQ(t.Keys(), Texts({"c", "b", "a"}));
}

TEST(ReportGridCells, FormattingComesFromTheCellThenTheEvent) {
    TGridTest t(2, 2);
    TReportGrid* g = t.Grid;
    TCell* cell = g->GetCell(1, 0);
    cell->SetTextColor(vcl::clRed);
    cell->SetFontStyle({vcl::fsItalic});
    vcl::TFont* font = g->Canvas()->Font();
    font->SetColor(vcl::clBlue);
    g->ApplyCellFormating(1, 0, QString(), {});
    EXPECT_EQ(font->Color(), vcl::clRed);
    EXPECT_EQ(font->Style(), vcl::TFontStyles({vcl::fsItalic}));
    font->SetColor(vcl::clBlue);
    g->ApplyCellFormating(1, 0, QString(), {csSelected, csBoldTextSelection}); // selected text keeps its colour
    EXPECT_EQ(font->Color(), vcl::clBlue);
    EXPECT_EQ(font->Style(), vcl::TFontStyles({vcl::fsItalic, vcl::fsBold}));
    g->OnCellFormating = [](rtl::TObject*, int, int, TColor& c, vcl::TFontStyles& s, TCellState) {
        c = vcl::clGreen;
        s = {};
    };
    g->ApplyCellFormating(1, 0, QString(), {});
    EXPECT_EQ(font->Color(), vcl::clGreen);
    EXPECT_TRUE(font->Style().Empty());

    cell->SetColor(vcl::clYellow);
    EXPECT_EQ(g->GetCellColor(1, 0), vcl::clYellow);
    g->Columns()->Item(1)->SetParentCellColor(true);
    EXPECT_EQ(g->GetCellColor(1, 0), g->Columns()->Item(1)->Color());
    cell->SetHint(QStringLiteral("cell"));
    g->OnCellHint = [](rtl::TObject*, int, int, String& v) { v += QStringLiteral("+event"); };
    EXPECT_EQ(g->GetCellHint(1, 0), QStringLiteral("cell+event"));
    g->GetCell(0, 1)->SetEmpty(true);
    EXPECT_TRUE(g->IsCellEmpty(0, 1));
    g->OnCellShowing = [](rtl::TObject*, int ACol, int, bool& Showing) { Showing = ACol != 1; };
    EXPECT_TRUE(g->IsCellEmpty(1, 1));
    EXPECT_FALSE(g->IsCellEmpty(0, 0));
}

TEST(ReportGridRows, RowHeightsStackAndTheEventsMayChangeThem) {
    TGridTest t(1, 4);
    TReportGrid* g = t.Grid;
    std::vector<int> changed;
    g->OnChangeRowHeight = [&](rtl::TObject*, int i, int h) { changed.push_back(i * 1000 + h); };
    g->SetRowHeight(1, 30);
    g->SetRowHeight(1, 30); // unchanged: nothing
    EXPECT_EQ(changed, std::vector<int>({1030}));
    EXPECT_EQ(g->GetRowTop(2), 18 + 17 + 31);
    g->OnMeasuringRowHeight = [](rtl::TObject*, int i, int& h) {
        if (i == 0) h = 5;
    };
    EXPECT_EQ(g->GetRowHeight(0), 5);
    EXPECT_EQ(g->GetRowTop(1), 18 + 6);
    g->SetRowSize(20); // new rows take the new default height
    g->AddRow();
    EXPECT_EQ(g->GetRowHeight(4), 20);
    EXPECT_EQ(g->GetRowHeight(3), 16);
}

TEST(ReportGridPlays, ACheckBoxPlayWritesItsValueUnlessRefusedAndATreePlayExpands) {
    TGridTest t(0);
    auto* check = new TRgCheckBoxColumn(t.Form);
    auto* tree = new TRgTreeColumn(t.Form);
    t.Grid->Columns()->AddColumn(check);
    t.Grid->Columns()->AddColumn(tree);
    t.Grid->AddRow(2);
    t.Grid->AddChildRow(0, crLast);
    auto play = CreateColumnPlay(check);
    ASSERT_TRUE(play);
    play->SetCol(0);
    play->SetRow(2);
    t.Grid->PreparePlayValues(play.get());
    EXPECT_FALSE(play->AsBoolean());
    EXPECT_EQ(play->Level(), 0);
    QStringList edits;
    t.Grid->OnAfterEdit = [&](rtl::TObject*, int c, int r, const String& v) { edits << QStringLiteral("%1,%2=%3").arg(c).arg(r).arg(v); };
    play->SetAsBoolean(true);
    t.Grid->PlayChanged(play.get());
    EXPECT_TRUE(t.Grid->GetCell(0, 2)->AsBoolean());
    t.Grid->OnEditAccept = [](rtl::TObject*, int, int, const String&, bool& Accept) { Accept = false; };
    play->SetAsBoolean(false);
    t.Grid->PlayChanged(play.get());
    EXPECT_TRUE(t.Grid->GetCell(0, 2)->AsBoolean());
    EXPECT_EQ(edits, QStringList({QStringLiteral("0,2=True")}));

    auto treePlay = CreateColumnPlay(tree);
    ASSERT_TRUE(treePlay);
    treePlay->SetCol(1);
    treePlay->SetRow(0);
    t.Grid->PlayExpanded(treePlay.get());
    EXPECT_FALSE(t.Grid->Expanded(0));
    EXPECT_FALSE(t.Grid->GetRowVisible(1));

    auto display = CreateColumnDisplay(tree);
    t.Grid->PrepareCellDisplay(1, 0, display.get());
    EXPECT_EQ(display->ChildCount(), 1);
    EXPECT_FALSE(display->Expanded());
    EXPECT_TRUE(display->IsFirst());
    EXPECT_FALSE(display->IsLast()); // row 2 is its sibling
    int row = 1, next = 0;
    display->OnParentRow(row, next);
    EXPECT_EQ(row, 0);
    EXPECT_EQ(next, -1);
}

TEST(ReportGridPainters, TheHeaderStyleChoosesItsPainter) {
    TGridTest t(1);
    TStyleDisplay* automatic = t.Grid->CurrentStyleDisplay();
    EXPECT_NE(dynamic_cast<TDefaultStyleDisplay*>(automatic), nullptr);
    t.Grid->SetHeaderStyle(hsFlatBorders);
    EXPECT_NE(dynamic_cast<TFlatStyleDisplay*>(t.Grid->CurrentStyleDisplay()), nullptr);
    EXPECT_EQ(t.Grid->CurrentStyleDisplay()->Canvas(), t.Grid->Canvas());
    t.Grid->SetKW_HeaderGrid(vcl::clRed);
    EXPECT_EQ(t.Grid->KwColors().HeaderGrid, vcl::clRed);
    t.Grid->SetHeaderStyle(hsAuto);
    EXPECT_EQ(t.Grid->CurrentStyleDisplay(), automatic);
}

TEST(ReportGridRows, RowsInsertedAboveTheViewLeaveItOnTheSameRows) {
    TGridTest t(1, 30);
    t.Grid->Perform(WM_VSCROLL, SB_BOTTOM, LPARAM(0));
    ASSERT_EQ(t.Grid->FirstRow(), 20);
    t.Grid->InsertRow(0, 2);
    EXPECT_EQ(t.Grid->GetCells(0, t.Grid->FirstRow()), QStringLiteral("20"));
    EXPECT_EQ(t.Grid->VertScrollBar()->Position(), 22);
    EXPECT_EQ(t.Grid->LastRowInView(), 31);
    t.Grid->Perform(WM_VSCROLL, SB_TOP, LPARAM(0));
    EXPECT_EQ(t.Grid->FirstRow(), 0);
    t.Grid->InsertRow(0, 1); // at the top of the view: the new row shows there
    EXPECT_EQ(t.Grid->FirstRow(), 0);
    EXPECT_EQ(t.Grid->VertScrollBar()->Position(), 0);
    t.Grid->SetExpanded(0, false); // no children: only the flag
    EXPECT_FALSE(t.Grid->Expanded(0));
    t.Grid->AddChildRow(0, crFirst); // under a collapsed row: hidden, the view stays
    EXPECT_EQ(t.Grid->FirstRow(), 0);
    EXPECT_FALSE(t.Grid->GetRowVisible(1));
}

TEST(ReportGridRows, RowsChangedInsideAnUpdateBracketAreCountedAtItsEnd) {
    TGridTest t(1, 30);
    t.Grid->Perform(WM_VSCROLL, SB_BOTTOM, LPARAM(0));
    t.Grid->BeginUpdate();
    t.Grid->InsertRow(0, 3);
    t.Grid->SetRowVisible(1, false);
    t.Grid->EndUpdate();
    EXPECT_EQ(t.Grid->GetCells(0, t.Grid->FirstRow()), QStringLiteral("20"));
    EXPECT_EQ(t.Grid->VertScrollBar()->Position(), t.Grid->FirstRow() - 1); // the visible rows above
    t.Grid->Perform(WM_VSCROLL, SB_LINEUP, LPARAM(0));
    EXPECT_EQ(t.Grid->GetCells(0, t.Grid->FirstRow()), QStringLiteral("19"));
}
