// The selection model: plain, Ctrl and Shift selection from the anchor row in full-row multi-selection,
// cell selection, the events and their order, select all, and the moves by row, column and Tab.
#include "tests/grid/GridForm.h"

using namespace grid_test;

namespace {

struct ClickCase {
    const char* name;
    vcl::TShiftState shift;
    int row;
    std::vector<int> selected; // after a plain click on 1 and a Ctrl-click on 5
    int anchor;                // the anchor row the next Shift-click starts from (seen through it)
};

std::ostream& operator<<(std::ostream& os, const ClickCase& c) { return os << c.name; }

} // namespace

class FullRowClicks : public ::testing::TestWithParam<ClickCase> {};

TEST_P(FullRowClicks, SelectRowsFromTheAnchor) {
    const auto& c = GetParam();
    TGridTest t(2, 8);
    t.Grid->SelectCell(0, 1, {}, true, false);
    t.Grid->SelectCell(0, 5, {vcl::ssCtrl}, true, false); // anchor on 5
    t.TakeLog();
    t.Grid->SelectCell(0, c.row, c.shift, true, false);
    EXPECT_EQ(t.SelectedRows(), c.selected);
    EXPECT_EQ(t.Grid->SelectedRow(), c.row);
    EXPECT_EQ(t.TakeLog().filter(QStringLiteral("select")).last(), QStringLiteral("select 0,%1").arg(c.row));
    // Where the anchor is now: a Shift-click on row 7 selects from it.
    t.Grid->SelectCell(0, 7, {vcl::ssShift}, true, false);
    std::vector<int> range;
    for (int r = c.anchor; r <= 7; ++r) range.push_back(r);
    EXPECT_EQ(t.SelectedRows(), range);
}

INSTANTIATE_TEST_SUITE_P(Cases, FullRowClicks, ::testing::Values(
    ClickCase{"Plain", {}, 3, {3}, 3},
    ClickCase{"Ctrl", {vcl::ssCtrl}, 3, {1, 3, 5}, 3},
    ClickCase{"CtrlOnSelected", {vcl::ssCtrl}, 1, {5}, 1},
    ClickCase{"Shift", {vcl::ssShift}, 2, {2, 3, 4, 5}, 5},
    ClickCase{"ShiftBelow", {vcl::ssShift}, 6, {5, 6}, 5},
    ClickCase{"CtrlShift", {vcl::ssCtrl, vcl::ssShift}, 3, {1, 3, 4, 5}, 5}));

TEST(Selection, WithoutRowsTheCellIsStoredButNothingFires) {
    TGridTest t(2);
    t.Grid->SelectCell(1, 0, {}, true, false);
    EXPECT_EQ(t.Grid->SelectedCell(), vcl::TPoint(1, 0));
    EXPECT_TRUE(t.TakeLog().isEmpty());
}

TEST(Selection, DeselectSeesTheNewCellAndBeforeSelectCanVeto) {
    TGridTest t(2, 4);
    t.Grid->SetOptions({goHeader}); // cell mode: a plain click in full-row mode starts from no selection
    t.Grid->SetSelectedRow(1);
    vcl::TPoint seen;
    t.Grid->OnDeselectCell = [&](rtl::TObject*, int, int) { seen = t.Grid->SelectedCell(); };
    t.Grid->SelectCell(1, 2, {}, true, false);
    EXPECT_EQ(seen, vcl::TPoint(1, 2));
    t.Grid->OnBeforeSelect = [](rtl::TObject*, int, int ARow, bool& Accept) { Accept = ARow != 3; };
    t.Grid->SetSelectedRow(3);
    EXPECT_EQ(t.Grid->SelectedRow(), 2);
    t.Grid->Columns()->Item(0)->SetEnabled(false);
    t.Grid->SetSelectedColumn(0);
    EXPECT_EQ(t.Grid->SelectedColumn(), 1);
}

TEST(Selection, ShiftClickWithoutAnAnchorIsAPlainClick) {
    TGridTest t(1, 5);
    t.Grid->SelectCell(0, 3, {vcl::ssShift}, true, false);
    EXPECT_EQ(t.SelectedRows(), std::vector<int>({3}));
    t.Grid->SelectCell(0, 1, {vcl::ssShift}, true, false); // now from the anchor
    EXPECT_EQ(t.SelectedRows(), std::vector<int>({1, 2, 3}));
}

namespace {
class TEditCountingGrid : public TReportGrid {
public:
    using TReportGrid::TReportGrid;
    int Edits = 0;
    void EditCell(int, int, const String&) override { ++Edits; }
};
} // namespace

TEST(Selection, CtrlToggleNeverStartsEditingAndPlainSelectionDoes) {
    testing_support::FormHarness h;
    auto* form = h.Show<TGridForm>();
    auto* g = new TEditCountingGrid(form);
    g->SetParent(form);
    g->SetOptions({goHeader, goSelectFullRow, goMultiSelect});
    g->Columns()->AddColumn(new TRgTextColumn(form));
    g->AddRow(3);
    g->SelectCell(0, 1, {vcl::ssCtrl}, true, true);
    EXPECT_EQ(g->Edits, 0);
    g->SelectCell(0, 2, {}, true, true);
    EXPECT_EQ(g->Edits, 1);
}

TEST(Selection, CellModeLeavesTheRowFlagsAlone) {
    TGridTest t(3, 3);
    t.Grid->SetOptions({goHeader});
    t.Grid->SelectCell(2, 1, {vcl::ssCtrl}, true, false);
    EXPECT_TRUE(t.SelectedRows().empty());
    EXPECT_EQ(t.TakeLog(), QStringList({QStringLiteral("select 2,1")}));
    t.Grid->SelectAll(); // needs full-row multi-selection
    EXPECT_TRUE(t.SelectedRows().empty());
}

TEST(Selection, SelectAllAndNoSelection) {
    TGridTest t(1, 4);
    t.Grid->SelectAll();
    EXPECT_EQ(t.Grid->SelectedCount(), 4);
    EXPECT_TRUE(t.Grid->GridState().Contains(gtMultiSelect));
    t.Grid->SelectCell(0, 2, {}, true, false); // a plain click clears the multi-selection first
    EXPECT_EQ(t.SelectedRows(), std::vector<int>({2}));
    t.Grid->ClearSelection();
    EXPECT_EQ(t.Grid->SelectedCell(), vcl::TPoint(-1, -1));
    EXPECT_EQ(t.Grid->SelectedCount(), 0);
}

TEST(SelectionMoves, RowsSkipHiddenOnesAndScrollIntoView) {
    TGridTest t(1, 30);
    t.Grid->SetSelectedRow(8);
    t.Grid->SetRowVisible(9, false);
    t.Grid->MoveSelectionDown({}, false, false);
    EXPECT_EQ(t.Grid->SelectedRow(), 10);
    EXPECT_EQ(t.Grid->FirstRow(), 0); // still whole in view
    t.Grid->MoveSelectionDown({}, false, false);
    EXPECT_EQ(t.Grid->SelectedRow(), 11);
    EXPECT_EQ(t.Grid->FirstRow(), 1); // scrolled just far enough
    t.Grid->MoveSelectionUp({});
    t.Grid->MoveSelectionUp({});
    EXPECT_EQ(t.Grid->SelectedRow(), 8);
    t.Grid->MoveSelectionBy(5);
    EXPECT_EQ(t.Grid->SelectedRow(), 14);
    t.Grid->MoveSelectionBy(-100);
    EXPECT_EQ(t.Grid->SelectedRow(), 0);
    t.Grid->SelectLastRow({});
    EXPECT_EQ(t.Grid->SelectedRow(), 29);
    EXPECT_TRUE(t.Grid->VertScrollBar()->IsLast());
    EXPECT_EQ(t.Grid->LastRowInView(), 29);
}

TEST(SelectionMoves, TabOnTheLastCellLeavesTheGridAndWrapsToTheFirst) {
    TGridTest t(3, 3);
    t.Grid->SetOptions({goHeader});
    t.Grid->Columns()->Item(0)->SetEnabled(false);
    t.Grid->SelectCell(2, 2, {}, true, false);
    t.Grid->MoveToNextCell(true);
    MSG msg;
    EXPECT_TRUE(PeekMessageW(&msg, t.Form->Handle(), WM_KEYDOWN, WM_KEYDOWN, PM_NOREMOVE));
    EXPECT_EQ(msg.wParam, WPARAM(VK_TAB));
    EXPECT_EQ(t.Grid->SelectedCell(), vcl::TPoint(1, 0)); // first row, first enabled column
    t.Harness.Pump();
    // Shift+Tab moves left; a handler may send the move elsewhere.
    t.Grid->Columns()->Item(0)->SetEnabled(true);
    t.Grid->OnSelectionMove = [](rtl::TObject*, int& ACol, int, TMoveSelectionKey Key) {
        if (Key == mkTab) ACol = 0;
    };
    t.Grid->SelectCell(2, 1, {}, true, false);
    t.Grid->MoveToPrevCell(true);
    EXPECT_EQ(t.Grid->SelectedCell(), vcl::TPoint(0, 1));
    t.Grid->OnSelectionMove = nullptr;
    t.Grid->MoveToPrevCell(true); // first enabled column: the row above, last column
    EXPECT_EQ(t.Grid->SelectedCell(), vcl::TPoint(2, 0));
    t.Grid->SetTabLeaveControl(false);
    t.Grid->SelectCell(2, 2, {}, true, false);
    t.Grid->MoveToNextCell(true);
    EXPECT_FALSE(PeekMessageW(&msg, t.Form->Handle(), WM_KEYDOWN, WM_KEYDOWN, PM_NOREMOVE));
    EXPECT_EQ(t.Grid->SelectedCell(), vcl::TPoint(0, 0));
}
