// The grid under the mouse: hit tests, selection by click, header sorting, check boxes and tree
// buttons, resizing, row and column moving, double clicks, the wheel, pans, the roll marker and the
// calls the mouse makes into editing and hints. Input goes in as the desktop's messages.
#include "tests/grid/GridForm.h"

#include "vcl/Forms.h"

#include <QImage>

using namespace grid_test;

namespace {

using vcl::TPoint;

// A report grid that records the calls the mouse makes into editing and hints.
class TRecordingGrid : public TReportGrid {
public:
    using TReportGrid::TReportGrid;
    QStringList Calls;
    void EditCell(int ACol, int ARow, const String&) override { Calls << QStringLiteral("edit %1,%2").arg(ACol).arg(ARow); }
    void InputColumn(TRgCustomColumn* Column, const String&) override {
        Calls << QStringLiteral("input %1").arg(Column->Index());
    }
    void ShowHeaderHint(TRgCustomColumn* Column) override {
        if (Column) Calls << QStringLiteral("header hint %1").arg(Column->Index());
    }
    void ShowFooterHint(TRgCustomColumn* Column) override {
        if (Column) Calls << QStringLiteral("footer hint %1").arg(Column->Index());
    }
    void ShowCellHint(int ACol, int ARow) override { Calls << QStringLiteral("cell hint %1,%2").arg(ACol).arg(ARow); }
    using TReportGrid::GetCellRect;
    void SetEditing() { FGridState.Include(gtEdit); }
};

// Columns 80 wide from x = 0; the header 18 high; rows 17 apart: row r spans 18 + 17r .. 34 + 17r.
using TMouseForm = TGridFormOf<TRecordingGrid>;

struct MouseTest {
    QStringList Log;
    testing_support::FormHarness Harness;
    TMouseForm* Form = nullptr;
    TRecordingGrid* Grid = nullptr;

    explicit MouseTest(int Columns = 3, int Rows = 5) {
        Form = Harness.Show<TMouseForm>();
        Grid = Form->Grid;
        FillGrid(Grid, Form, Columns, Rows);
        Harness.Pump();
    }
    HWND Wnd() { return Grid->Handle(); }
    auto& App() { return Harness.App(); }
    static POINT Row(int R, int X = 40) { return POINT{X, 18 + 17 * R + 8}; }
    // Each action ends after the double-click time, so two clicks never make a double click.
    void Gap() { Harness.Advance(std::chrono::milliseconds(1000)); }
    void Click(POINT P, int Button = TW_BUTTON_LEFT) {
        App().Click(Wnd(), P, Button);
        Gap();
    }
    void Press(POINT P, int Button = TW_BUTTON_LEFT) { App().Press(Wnd(), P, Button); }
    void Move(POINT P) { App().MoveTo(Wnd(), P); }
    void Release(POINT P, int Button = TW_BUTTON_LEFT) {
        App().Release(Wnd(), P, Button);
        Gap();
    }
    void Drag(POINT From, POINT To) {
        App().Drag(Wnd(), From, To);
        Gap();
    }
    void WithKey(UINT Vk, const std::function<void()>& Action) {
        App().KeyDown(Vk);
        Action();
        App().KeyUp(Vk);
    }
    std::vector<int> SelectedRows() {
        std::vector<int> Out;
        for (int r = 0; r < Grid->RowCount(); ++r)
            if (Grid->Selected(r)) Out.push_back(r);
        return Out;
    }
    QStringList Keys() {
        QStringList Out;
        for (int r = 0; r < Grid->RowCount(); ++r) Out << Grid->GetCell(0, r)->AsString();
        return Out;
    }
};

using Rows = std::vector<int>;

} // namespace

// ---- hit tests -----------------------------------------------------------------------------------------

struct ColumnHit { int x; int col; };
class GridColumnAtPos : public ::testing::TestWithParam<ColumnHit> {};
TEST_P(GridColumnAtPos, IncludesBothEdges) {
    MouseTest t;
    TRgCustomColumn* C = t.Grid->GetColumnAtPos(TPoint(GetParam().x, 500));
    EXPECT_EQ(C ? C->Index() : -1, GetParam().col);
}
INSTANTIATE_TEST_SUITE_P(Cases, GridColumnAtPos, ::testing::Values(
    ColumnHit{0, 0}, ColumnHit{80, 0}, ColumnHit{81, 1}, ColumnHit{160, 1}, ColumnHit{240, 2}, ColumnHit{241, -1},
    ColumnHit{-1, -1}));

struct GripHit { int x; int col; };
class GridSizeGrip : public ::testing::TestWithParam<GripHit> {};
TEST_P(GridSizeGrip, LiesThreeLeftAndTwoRightOfTheEdge) {
    MouseTest t;
    TRgCustomColumn* C = t.Grid->GetColumnSizeGripAtPos(GetParam().x, 5);
    EXPECT_EQ(C ? C->Index() : -1, GetParam().col);
}
INSTANTIATE_TEST_SUITE_P(Cases, GridSizeGrip, ::testing::Values(
    GripHit{76, -1}, GripHit{77, 0}, GripHit{80, 0}, GripHit{82, 0}, GripHit{83, -1}, GripHit{157, 1}, GripHit{242, 2}));

TEST(GridHitTests, GripsOfFixedSizeAndHiddenColumnsAreNotThere) {
    MouseTest t(5);
    t.Grid->Columns()->Item(0)->SetOptions(t.Grid->Columns()->Item(0)->Options() + TColumnOptions{coFixedSize});
    EXPECT_EQ(t.Grid->GetColumnSizeGripAtPos(80, 5), nullptr);
    // Column 1 scrolled 100 pixels: its edge at 60 lies under the fixed column 0.
    t.Grid->Columns()->Item(0)->SetOptions(t.Grid->Columns()->Item(0)->Options() - TColumnOptions{coFixedSize});
    t.Grid->SetFixedCols(1);
    t.Grid->HorzScrollBar()->SetPosition(100);
    EXPECT_EQ(t.Grid->Columns()->Item(1)->AbsoluteLeft() + 80, 60);
    EXPECT_EQ(t.Grid->GetColumnSizeGripAtPos(60, 5), nullptr);
    EXPECT_EQ(t.Grid->GetColumnSizeGripAtPos(80, 5), t.Grid->Columns()->Item(0));
    EXPECT_EQ(t.Grid->GetColumnSizeGripAtPos(140, 5), t.Grid->Columns()->Item(2));
}

TEST(GridHitTests, RowsGripsAndNearestRows) {
    MouseTest t(3, 3);
    // Rows end at 18 + 3 * 17 = 69.
    const std::vector<std::pair<int, int>> RowAt{{17, -1}, {18, 0}, {34, 0}, {35, 1}, {68, 2}, {69, -1}};
    for (auto [y, row] : RowAt) EXPECT_EQ(t.Grid->GetRowAtPos(5, y), row) << y;
    const std::vector<std::tuple<int, int, int>> GripAt{{5, 32, -1}, {5, 33, 0}, {12, 35, 0}, {13, 34, -1}, {5, 36, -1},
                                                          {5, 52, 1}, {5, 70, -1}};
    for (auto [x, y, row] : GripAt) EXPECT_EQ(t.Grid->GetRowSizeGripAtPos(x, y), row) << x << "," << y;
    // By the row's half: rows 16 high with their line, the middle at top + 8.
    const std::vector<std::pair<int, int>> Nearest{{10, -1}, {19, 0}, {26, 0}, {27, 1}, {35, 1}, {36, 1}, {60, 2},
                                                   {61, 3}, {69, 3}, {70, -1}};
    for (auto [y, row] : Nearest) EXPECT_EQ(t.Grid->GetNearestRow(5, y), row) << y;
}

struct AreaHit { TGridOptions options; int x, y; TGridArea area; };
class GridAreaAtPos : public ::testing::TestWithParam<AreaHit> {};
TEST_P(GridAreaAtPos, TestsEachRectangleShrunkByOnePixel) {
    MouseTest t;
    t.Grid->SetOptions(GetParam().options);
    EXPECT_EQ(t.Grid->GetAreaAtPos(TPoint(GetParam().x, GetParam().y)), GetParam().area);
}
// Header 0..240 x 0..18; with the indicator the columns start at 12; the footer starts at 188 - 18 - 4 - 1.
INSTANTIATE_TEST_SUITE_P(Cases, GridAreaAtPos, ::testing::Values(
    AreaHit{{goHeader}, 238, 16, gaHeader}, AreaHit{{goHeader}, 239, 5, gaNone}, AreaHit{{goHeader}, 5, 17, gaNone},
    AreaHit{{goHeader}, 5, 18, gaBody}, AreaHit{{goHeader}, 238, 186, gaBody}, AreaHit{{goHeader}, 239, 100, gaNone},
    AreaHit{{}, 5, 5, gaBody}, AreaHit{{goHeader, goFooter}, 5, 166, gaFooter},
    AreaHit{{goHeader, goFooter}, 5, 164, gaBody}, AreaHit{{goHeader, goIndicator}, 5, 50, gaIndicator},
    AreaHit{{goHeader, goIndicator}, 12, 50, gaBody}, AreaHit{{goHeader, goInput}, 5, 20, gaInput}));

// ---- header clicks ---------------------------------------------------------------------------------------

TEST(GridHeader, ClicksCycleTheSortAndAReleaseElsewhereOnlyReportsTheClick) {
    MouseTest t(3, 3);
    QStringList Clicks;
    t.Grid->OnHeaderClick = [&](rtl::TObject*, int c) { Clicks << QString::number(c); };
    TRgCustomColumn* C = t.Grid->Columns()->Item(0);
    for (int r = 0; r < 3; ++r) t.Grid->GetCell(0, r)->SetAsString(QStringList{QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("a")}[r]);
    t.Click({40, 9});
    EXPECT_TRUE(C->Sorted());
    EXPECT_EQ(C->SortKind(), skAscending);
    EXPECT_EQ(t.Keys(), QStringList({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));
    t.Click({40, 9});
    EXPECT_EQ(C->SortKind(), skDescending);
    EXPECT_EQ(t.Keys(), QStringList({QStringLiteral("c"), QStringLiteral("b"), QStringLiteral("a")}));
    t.Click({40, 9});
    EXPECT_EQ(C->SortKind(), skAscending);
    // Without column moving a release over another header is no drag.
    t.Grid->SetOptions(t.Grid->Options() + TGridOptions{goDisableColumnMoving});
    t.Press({40, 9});
    t.Release({120, 9});
    EXPECT_EQ(C->SortKind(), skAscending);
    EXPECT_FALSE(t.Grid->Columns()->Item(1)->Sorted());
    EXPECT_EQ(Clicks, QStringList({QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0")}));
    EXPECT_FALSE(t.Grid->GridState().Contains(gtColumnHeaderDown));
}

// ---- selection -------------------------------------------------------------------------------------------

TEST(GridSelection, CtrlAndShiftClicks) {
    MouseTest t(3, 6);
    t.Click(MouseTest::Row(1));
    t.WithKey(VK_SHIFT, [&] { t.Click(MouseTest::Row(3)); });
    EXPECT_EQ(t.SelectedRows(), Rows({1, 2, 3}));
    t.WithKey(VK_CONTROL, [&] { t.Click(MouseTest::Row(5)); });
    EXPECT_EQ(t.SelectedRows(), Rows({1, 2, 3, 5}));
    t.WithKey(VK_CONTROL, [&] { t.Click(MouseTest::Row(2)); });
    EXPECT_EQ(t.SelectedRows(), Rows({1, 3, 5}));
    t.Click(MouseTest::Row(4));
    EXPECT_EQ(t.SelectedRows(), Rows({4}));
    EXPECT_EQ(t.Grid->SelectedCell(), TPoint(0, 4));
}

TEST(GridSelection, RightClickKeepsASelectedRowsSelectionAndReplacesAnUnselectedOne) {
    MouseTest t(3, 6);
    t.Click(MouseTest::Row(1));
    t.WithKey(VK_SHIFT, [&] { t.Click(MouseTest::Row(3)); });
    t.Click(MouseTest::Row(2), TW_BUTTON_RIGHT);
    EXPECT_EQ(t.SelectedRows(), Rows({1, 2, 3}));
    EXPECT_EQ(t.Grid->SelectedRow(), 2);
    t.Click(MouseTest::Row(5), TW_BUTTON_RIGHT);
    EXPECT_EQ(t.SelectedRows(), Rows({5}));
}

TEST(GridSelection, APressThatStartsADragKeepsTheSelectionUntilTheDragIsCancelled) {
    MouseTest t(3, 6);
    t.Click(MouseTest::Row(1));
    t.WithKey(VK_SHIFT, [&] { t.Click(MouseTest::Row(3)); });
    t.Grid->OnMouseDown = [&](rtl::TObject*, vcl::TMouseButton, vcl::TShiftState, int, int) { t.Grid->BeginDrag(false); };
    t.Press(MouseTest::Row(2));
    EXPECT_TRUE(t.Grid->Dragging());
    EXPECT_EQ(t.SelectedRows(), Rows({1, 2, 3}));
    vcl::CancelDrag();
    EXPECT_EQ(t.SelectedRows(), Rows({2}));
    t.Release(MouseTest::Row(2));
}

TEST(GridSelection, AShiftOrCtrlReleaseBelowTheRowsClearsTheSelection) {
    for (UINT Vk : {VK_SHIFT, VK_CONTROL}) {
        MouseTest t(3, 4);
        t.Click(MouseTest::Row(0));
        t.WithKey(VK_SHIFT, [&] { t.Click(MouseTest::Row(2)); });
        ASSERT_EQ(t.SelectedRows(), Rows({0, 1, 2}));
        t.WithKey(Vk, [&] { t.Click(MouseTest::Row(7)); });
        EXPECT_EQ(t.SelectedRows(), Rows()) << Vk;
    }
}

// ---- resizing --------------------------------------------------------------------------------------------

TEST(GridResizing, AColumnFollowsItsGripDownToMinWidth) {
    MouseTest t;
    TRgCustomColumn* C = t.Grid->Columns()->Item(1);
    QStringList Resized;
    t.Grid->OnColumnResize = [&](rtl::TObject*, int c) { Resized << QString::number(c); };
    t.Drag({160, 9}, {190, 9});
    EXPECT_EQ(C->Width(), 110);
    EXPECT_EQ(t.Grid->Columns()->Item(2)->Left(), 190);
    C->SetMinWidth(30);
    t.Drag({190, 9}, {60, 9});
    EXPECT_EQ(C->Width(), 30);
    EXPECT_EQ(Resized, QStringList({QStringLiteral("1"), QStringLiteral("1")}));
    EXPECT_FALSE(t.Grid->GridState().Contains(gtColumnResizing));
}

TEST(GridResizing, TheGuidesLeaveNoTrace) {
    MouseTest t;
    const QImage Before = t.App().Grab(t.Wnd());
    // A drag that ends where it began: the guides come and go, the width stays.
    t.Press({160, 9});
    t.Move({200, 9});
    const QImage During = t.App().Grab(t.Wnd());
    EXPECT_NE(During, Before) << "the guides show while dragging";
    t.Move({160, 9});
    t.Release({160, 9});
    EXPECT_EQ(t.Grid->Columns()->Item(1)->Width(), 80);
    EXPECT_EQ(t.App().Grab(t.Wnd()), Before);
}

TEST(GridResizing, RowsResizeFromTheIndicatorNoLowerThanEightPixels) {
    MouseTest t(3, 4);
    t.Grid->SetOptions(t.Grid->Options() + TGridOptions{goIndicator, goRowResizing});
    QStringList Heights;
    t.Grid->OnChangeRowHeight = [&](rtl::TObject*, int r, int h) { Heights << QStringLiteral("%1:%2").arg(r).arg(h); };
    // Row 1's bottom line at 18 + 2 * 17 = 52.
    t.Drag({5, 51}, {5, 61});
    EXPECT_EQ(t.Grid->GetRowHeight(1), 26);
    const QImage Before = t.App().Grab(t.Wnd());
    t.Drag({5, 60}, {5, 20});
    EXPECT_EQ(t.Grid->GetRowHeight(1), 8);
    EXPECT_EQ(Heights, QStringList({QStringLiteral("1:26"), QStringLiteral("1:8")}));
    EXPECT_EQ(t.Grid->GetRowSizeGripAtPos(5, 18 + 17 + 9), 1);
    (void)Before;
}

// ---- row moving ------------------------------------------------------------------------------------------

TEST(GridRowMoving, ARowDroppedBelowAnotherTakesItsPlace) {
    MouseTest t(3, 5);
    t.Grid->SetOptions(t.Grid->Options() + TGridOptions{goRowMoving});
    QStringList Moves;
    t.Grid->OnAfterRowMove = [&](rtl::TObject*, int f, int to) { Moves << QStringLiteral("%1>%2").arg(f).arg(to); };
    // Row 0 dropped in the lower half of row 2: in before row 3, which is position 2 once row 0 left.
    t.App().Press(t.Wnd(), MouseTest::Row(0));
    t.Move({40, 18 + 17 * 2 + 12});
    EXPECT_TRUE(t.Grid->GridState().Contains(gtRowMoving));
    EXPECT_EQ(t.Grid->MoveRowPosition(), 3);
    EXPECT_EQ(t.App().Pixel(t.Wnd(), 100, 18 + 17 * 3 - 1), 0xFF0000u) << "the red marker";
    t.Release({40, 18 + 17 * 2 + 12});
    EXPECT_EQ(t.Keys(), QStringList({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("0"), QStringLiteral("3"), QStringLiteral("4")}));
    EXPECT_EQ(Moves, QStringList{QStringLiteral("0>2")});
    EXPECT_EQ(t.Grid->SelectedRow(), 2);
    EXPECT_NE(t.App().Pixel(t.Wnd(), 100, 18 + 17 * 3 - 1), 0xFF0000u) << "the marker is gone";
    EXPECT_FALSE(t.Grid->GridState().Contains(gtRowMoving));
}

TEST(GridRowMoving, ADropOnItsOwnPlaceStillMovesAndReports) {
    MouseTest t(3, 5);
    t.Grid->SetOptions(t.Grid->Options() + TGridOptions{goRowMoving});
    QStringList Moves;
    t.Grid->OnAfterRowMove = [&](rtl::TObject*, int f, int to) { Moves << QStringLiteral("%1>%2").arg(f).arg(to); };
    t.Drag(MouseTest::Row(2, 40), MouseTest::Row(2, 100));
    EXPECT_EQ(Moves, QStringList{QStringLiteral("2>2")});
    EXPECT_EQ(t.Keys(), QStringList({QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4")}));
}

TEST(GridRowMoving, ARefusedMoveMovesNothingAndErasesTheMarker) {
    MouseTest t(3, 5);
    t.Grid->SetOptions(t.Grid->Options() + TGridOptions{goRowMoving});
    t.Grid->OnRowMove = [](rtl::TObject*, int, int, bool& Accept) { Accept = false; };
    bool After = false;
    t.Grid->OnAfterRowMove = [&](rtl::TObject*, int, int) { After = true; };
    t.Drag(MouseTest::Row(0), {40, 18 + 17 * 3 + 3});
    EXPECT_FALSE(After);
    EXPECT_EQ(t.Keys(), QStringList({QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4")}));
    for (int x : {3, 100, 296}) EXPECT_NE(t.App().Pixel(t.Wnd(), x, 18 + 17 * 3 - 1), 0xFF0000u) << x;
}

TEST(GridRowMoving, ADropAfterTheRowsChangedUnderTheDragIsRefused) {
    MouseTest t(3, 5);
    t.Grid->SetOptions(t.Grid->Options() + TGridOptions{goRowMoving});
    bool Asked = false;
    t.Grid->OnRowMove = [&](rtl::TObject*, int, int, bool&) { Asked = true; };
    t.App().Press(t.Wnd(), MouseTest::Row(4));
    t.Move(MouseTest::Row(2));
    // The application empties the list while the drag runs.
    t.Grid->ClearRows();
    t.Grid->AddRow(2);
    t.Release(MouseTest::Row(1));
    EXPECT_FALSE(Asked);
    EXPECT_EQ(t.Grid->RowCount(), 2);
    EXPECT_FALSE(t.Grid->GridState().Contains(gtRowMoving));
}

// ---- column moving ---------------------------------------------------------------------------------------

TEST(GridColumnMoving, AHeaderDraggedRightLandsWhereTheArrowsPoint) {
    MouseTest t(3, 2);
    TRgCustomColumn* C = t.Grid->Columns()->Item(0);
    QStringList Moves;
    t.Grid->OnColumnMove = [&](rtl::TObject*, int c, int f, int to) { Moves << QStringLiteral("%1:%2>%3").arg(c).arg(f).arg(to); };
    t.App().Press(t.Wnd(), {40, 9});
    t.Move({50, 9});
    ASSERT_TRUE(t.Grid->GridState().Contains(gtColumnMoving));
    EXPECT_TRUE(t.Grid->ColumnDragBox()->Visible());
    EXPECT_EQ(GetCapture(), t.Grid->ColumnDragBox()->Handle());
    t.Move({210, 9});
    EXPECT_TRUE(t.Grid->DownDragArrow()->Visible());
    EXPECT_TRUE(t.Grid->UpDragArrow()->Visible());
    // The arrows point at column 2's right edge: x 240 of the grid, which lies at the screen's 50 + frame.
    const TPoint Edge = t.Grid->ClientToScreen(TPoint(240, 0));
    EXPECT_EQ(t.Grid->DownDragArrow()->Left(), Edge.X - 4);
    EXPECT_EQ(t.Grid->DownDragArrow()->Top(), Edge.Y - 12);
    EXPECT_EQ(t.Grid->UpDragArrow()->Top(), Edge.Y + 17);
    t.Release({210, 9});
    EXPECT_EQ(C->Position(), 2);
    EXPECT_EQ(Moves, QStringList{QStringLiteral("0:0>2")});
    EXPECT_FALSE(t.Grid->ColumnDragBox()->Visible());
    EXPECT_FALSE(t.Grid->DownDragArrow()->Visible());
    EXPECT_FALSE(t.Grid->GridState().Contains(gtColumnMoving));
    EXPECT_FALSE(C->Sorted()) << "a drag is no click";
}

TEST(GridColumnMoving, LockedFixedColumnsRefuseTheDropWithTheNoDragCursor) {
    MouseTest t(3, 2);
    t.Grid->SetFixedCols(1);
    t.Grid->SetOptions(t.Grid->Options() + TGridOptions{goLockFixedCols});
    t.App().Press(t.Wnd(), {120, 9});
    t.Move({130, 9});
    t.Move({30, 9});
    EXPECT_EQ(vcl::Screen->Cursor(), 3001);
    EXPECT_FALSE(t.Grid->DownDragArrow()->Visible());
    t.Release({30, 9});
    EXPECT_EQ(t.Grid->Columns()->Item(1)->Position(), 1);
    EXPECT_EQ(vcl::Screen->Cursor(), vcl::crDefault);
}

TEST(GridColumnMoving, ADropOutsideTheHeaderHidesTheColumnOnlyWhenAllowed) {
    for (bool CanHide : {false, true}) {
        MouseTest t(3, 2);
        if (CanHide) t.Grid->SetOptions(t.Grid->Options() + TGridOptions{goCanHideColumn});
        t.App().Press(t.Wnd(), {120, 9});
        t.Move({130, 9});
        t.Move({130, 120});
        t.Release({130, 120});
        EXPECT_EQ(t.Grid->Columns()->Item(1)->Visible(), !CanHide);
        EXPECT_EQ(t.Grid->Columns()->Item(1)->Position(), 1);
    }
}

TEST(GridColumnMoving, DeactivatingTheApplicationForgetsTheDrag) {
    MouseTest t(3, 2);
    t.App().Press(t.Wnd(), {40, 9});
    t.Move({50, 9});
    t.Move({210, 9});
    ASSERT_TRUE(t.Grid->DownDragArrow()->Visible());
    // The desktop tells only top-level windows; the grid is a child window.
    TwInputDeactivateApp();
    EXPECT_FALSE(t.Grid->DownDragArrow()->Visible());
    EXPECT_FALSE(t.Grid->UpDragArrow()->Visible());
    EXPECT_FALSE(t.Grid->ColumnDragBox()->Visible());
    EXPECT_EQ(t.Grid->MouseDownPoint(), TPoint(-1, -1));
    EXPECT_EQ(t.Grid->FocusedColumn(), nullptr);
    EXPECT_EQ(GetCapture(), nullptr);
}

// ---- plays -----------------------------------------------------------------------------------------------

namespace {

// A grid whose column 0 is a check box column.
struct CheckTest : MouseTest {
    TRgCheckBoxColumn* Check;
    CheckTest() : MouseTest(0, 0) {
        Check = new TRgCheckBoxColumn(Form);
        Check->SetWidth(80);
        Grid->Columns()->AddColumn(Check);
        Grid->AddRow(3);
        Harness.Pump();
    }
    bool Checked(int r) { return Grid->GetCell(0, r)->AsBoolean(); }
};

} // namespace

TEST(GridPlays, AClickInsideTheCheckBoxTogglesIt) {
    CheckTest t;
    TColumnPlay* Play = t.Check->Play();
    ASSERT_NE(Play, nullptr);
    const TRect Cell = t.Grid->GetCellRect(0, 1);
    ASSERT_TRUE(t.Grid->PreparePlay(0, 1, Cell, false));
    const TRect Box = static_cast<TCheckBoxColumnPlay*>(Play)->CheckBoxRect();
    const POINT In{Cell.Left + Box.Left + Box.Width() / 2, Cell.Top + Box.Top + Box.Height() / 2};
    t.Click(In);
    EXPECT_TRUE(t.Checked(1));
    t.Click({Cell.Left + 2, Cell.Top + 2});
    EXPECT_TRUE(t.Checked(1)) << "beside the box";
    t.Click(In);
    EXPECT_FALSE(t.Checked(1));
    // OnBeforeEdit refuses, then ReadOnly stops the play without asking.
    int Asked = 0;
    t.Grid->OnBeforeEdit = [&](rtl::TObject*, int, int, bool& Accept) { ++Asked, Accept = false; };
    t.Click(In);
    EXPECT_FALSE(t.Checked(1));
    EXPECT_GT(Asked, 0);
    t.Grid->OnBeforeEdit = nullptr;
    t.Grid->SetReadOnly(true);
    t.Click(In);
    EXPECT_FALSE(t.Checked(1));
}

TEST(GridPlays, TheTreeButtonExpandsAndCollapses) {
    MouseTest t(0, 0);
    auto* Tree = new TRgTreeColumn(t.Form);
    Tree->SetWidth(120);
    t.Grid->Columns()->AddColumn(Tree);
    t.Grid->AddRow(1);
    t.Grid->AddChildRow(0, crLast);
    t.Grid->AddChildRow(0, crLast);
    t.Grid->SetExpanded(0, false);
    t.Harness.Pump();
    const TRect Cell = t.Grid->GetCellRect(0, 0);
    ASSERT_TRUE(t.Grid->PreparePlay(0, 0, Cell, false));
    const TRect Button = static_cast<TTreeColumnPlay*>(Tree->Play())->ButtonRect();
    const POINT On{Cell.Left + Button.Left + 2, Cell.Top + Button.Top + 2};
    // What shows after a toggle is what a full repaint draws: the rows below moved and were redrawn.
    const auto ShowsAsRepainted = [&] {
        t.Harness.Pump();
        const QImage Shown = t.App().Grab(t.Wnd());
        t.Grid->Invalidate();
        t.Harness.Pump();
        return Shown == t.App().Grab(t.Wnd());
    };
    t.Grid->AddRow(1);
    t.Grid->GetCell(0, 3)->SetAsString(QStringLiteral("next"));
    t.Click(On);
    EXPECT_TRUE(t.Grid->Expanded(0));
    EXPECT_EQ(t.Grid->GetRowAtPos(40, 18 + 17 * 2 + 5), 2) << "the children show";
    EXPECT_TRUE(ShowsAsRepainted());
    t.Click(On);
    EXPECT_FALSE(t.Grid->Expanded(0));
    EXPECT_EQ(t.Grid->GetRowAtPos(40, 18 + 17 * 2 + 5), -1);
    EXPECT_TRUE(ShowsAsRepainted());
}

// ---- double clicks ---------------------------------------------------------------------------------------

TEST(GridDoubleClicks, AGripFitsACellFittingColumnToItsCellsAndARowGripFitsTheRow) {
    MouseTest t(0, 0);
    auto* Check = new TRgCheckBoxColumn(t.Form); // a style that fits its cells
    Check->SetWidth(80);
    Check->Header()->SetCaption(QStringLiteral("A very long header caption indeed"));
    t.Grid->Columns()->AddColumn(Check);
    auto* Next = new TRgTextColumn(t.Form);
    Next->SetWidth(80);
    t.Grid->Columns()->AddColumn(Next);
    t.Grid->AddRow(2);
    t.Harness.Pump();
    ASSERT_TRUE(Check->ColumnStyle().Contains(csFitToLargest));
    t.Move({80, 9});
    t.App().Click(t.Wnd(), {80, 9});
    t.Move({81, 9}); // the release forgot the grip; the pointer finds it again
    t.App().Click(t.Wnd(), {81, 9});
    t.Gap();
    EXPECT_LT(Check->Width(), 40) << "fits the boxes, not the caption";

    MouseTest r(3, 3);
    r.Grid->SetOptions(r.Grid->Options() + TGridOptions{goIndicator, goRowResizing});
    r.Grid->SetRowHeight(1, 40);
    r.App().DoubleClick(r.Wnd(), {5, 18 + 17 + 41 - 1});
    EXPECT_EQ(r.Grid->GetRowHeight(1), 16);
}

// ---- the calls into editing and hints --------------------------------------------------------------------

TEST(GridSeams, AReleaseOnACellEditsItAndOneInTheInputRowOpensTheInput) {
    MouseTest t(3, 3);
    t.Click(MouseTest::Row(1, 120));
    EXPECT_TRUE(t.Grid->Calls.contains(QStringLiteral("edit 1,1")));
    t.Grid->Calls.clear();
    t.Grid->SetOptions(t.Grid->Options() + TGridOptions{goSecondClickEdit});
    t.Click(MouseTest::Row(2, 120));
    EXPECT_FALSE(t.Grid->Calls.contains(QStringLiteral("edit 1,2"))) << "the first click only selects";
    t.Click(MouseTest::Row(2, 120));
    EXPECT_TRUE(t.Grid->Calls.contains(QStringLiteral("edit 1,2")));
    t.Grid->SetOptions(t.Grid->Options() + TGridOptions{goInput});
    t.Grid->Calls.clear();
    t.Click({200, 22});
    EXPECT_EQ(t.Grid->Calls.filter(QStringLiteral("input")), QStringList{QStringLiteral("input 2")});
}

TEST(GridSeams, HoversAskForTheHeaderFooterAndCellHints) {
    MouseTest t(3, 3);
    t.Grid->SetOptions(t.Grid->Options() + TGridOptions{goFooter});
    t.Move({100, 9});
    t.Move({200, 18 + 8});
    t.Move({40, 170});
    EXPECT_TRUE(t.Grid->Calls.contains(QStringLiteral("header hint 1")));
    EXPECT_TRUE(t.Grid->Calls.contains(QStringLiteral("cell hint 2,0")));
    EXPECT_TRUE(t.Grid->Calls.contains(QStringLiteral("footer hint 0")));
}

// ---- wheel, pan and roll ---------------------------------------------------------------------------------

TEST(GridWheel, StepsOrPagesAndFallsBackToTheHorizontalBar) {
    MouseTest t(3, 40);
    t.App().Wheel(t.Wnd(), MouseTest::Row(2), -120);
    EXPECT_EQ(t.Grid->VertScrollBar()->Position(), 1);
    EXPECT_EQ(t.Grid->FirstRow(), 1);
    t.WithKey(VK_CONTROL, [&] { t.App().Wheel(t.Wnd(), MouseTest::Row(2), -120); });
    const int Paged = t.Grid->VertScrollBar()->Position();
    EXPECT_EQ(Paged, 1 + t.Grid->VertScrollBar()->LargeChange());
    t.App().Wheel(t.Wnd(), MouseTest::Row(2), 120);
    EXPECT_EQ(t.Grid->VertScrollBar()->Position(), Paged - 1);
    // Nothing moves while a cell is edited.
    t.Grid->SetEditing();
    t.App().Wheel(t.Wnd(), MouseTest::Row(2), 120);
    EXPECT_EQ(t.Grid->VertScrollBar()->Position(), Paged - 1);
    t.Grid->EndEditing();

    // Scrolling back brings the rows back, not the header above them.
    while (t.Grid->VertScrollBar()->Position() > 0) t.App().Wheel(t.Wnd(), MouseTest::Row(2), 120);
    const QImage Scrolled = t.App().Grab(t.Wnd());
    t.Grid->Invalidate();
    t.Harness.Pump();
    EXPECT_EQ(Scrolled, t.App().Grab(t.Wnd()));

    MouseTest h(6, 2);
    h.App().Wheel(h.Wnd(), MouseTest::Row(0), -120);
    EXPECT_EQ(h.Grid->HorzScrollBar()->Position(), 5);
    h.App().Wheel(h.Wnd(), MouseTest::Row(0), 120);
    EXPECT_EQ(h.Grid->HorzScrollBar()->Position(), 0);
}

TEST(GridPan, ScrollsTheRowsThePanCoversAndKeepsTheRest) {
    MouseTest t(3, 40);
    const auto Pan = [&](int Y, bool Begin) {
        vcl::TGestureEventInfo Info;
        Info.GestureID = vcl::igiPan;
        Info.Location = TPoint(50, Y);
        if (Begin) Info.Flags.Include(vcl::gfBegin);
        t.Grid->Perform(vcl::CM_GESTURE, 0, LPARAM(&Info));
    };
    Pan(150, true);
    Pan(50, false); // 100 pixels: five whole rows of 17, and 15 pixels kept
    EXPECT_EQ(t.Grid->VertScrollBar()->Position(), 5);
    // Slow pans of 6 pixels still add up to a row.
    Pan(59, false);
    Pan(53, false);
    EXPECT_EQ(t.Grid->VertScrollBar()->Position(), 5);
    Pan(47, false);
    EXPECT_EQ(t.Grid->VertScrollBar()->Position(), 6);
    Pan(83, false); // 35 pixels back: two rows
    EXPECT_EQ(t.Grid->VertScrollBar()->Position(), 4);
}

TEST(GridRoll, TheMarkerStandsAtThePressAndFollowsTheDirection) {
    MouseTest t(3, 40);
    TRollShadow* Marker = t.Grid->RollShadow();
    t.Press({100, 80}, TW_BUTTON_MIDDLE);
    ASSERT_TRUE(Marker->Visible());
    const TPoint At = t.Grid->ClientToScreen(TPoint(100, 80));
    EXPECT_EQ(Marker->BoundsRect(), TRect(At.X - 7, At.Y - 11, At.X + 25, At.Y + 21));
    EXPECT_EQ(Marker->Cursor(), crRoll);
    t.Move({100, 60});
    EXPECT_EQ(Marker->Cursor(), crRollUp);
    t.Move({100, 120});
    EXPECT_EQ(Marker->Cursor(), crRollDown);
    t.Harness.Advance(std::chrono::milliseconds(200));
    EXPECT_GT(t.Grid->VertScrollBar()->Position(), 0);
    t.Release({100, 120}, TW_BUTTON_MIDDLE);
    EXPECT_FALSE(Marker->Visible());
    EXPECT_FALSE(t.Grid->ViewState().Contains(vsRolling));
}
