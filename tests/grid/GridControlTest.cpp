// The grid control: option rules, the update counter, column notifications, the grid's text, the
// geometry of its areas and rows, and the vertical scroll model (positions count visible rows).
#include "tests/grid/GridForm.h"

using namespace grid_test;

namespace {

struct SpaceCase {
    TGridOptions options;
    TAppearanceOptions appearance;
    TGridLinesStyle style;
    int left, top, right, bottom;
};

} // namespace

class GridSpaceTable : public ::testing::TestWithParam<SpaceCase> {};

TEST_P(GridSpaceTable, LinesTakeTheirPixelsOnEachSide) {
    const auto& c = GetParam();
    TGridTest t(1);
    t.Grid->SetOptions(c.options);
    t.Grid->SetAppearanceOptions(c.appearance);
    t.Grid->SetGridLinesStyle(c.style);
    EXPECT_EQ(t.Grid->GetGridSpace(lpLeft), c.left);
    EXPECT_EQ(t.Grid->GetGridSpace(lpTop), c.top);
    EXPECT_EQ(t.Grid->GetGridSpace(lpRight), c.right);
    EXPECT_EQ(t.Grid->GetGridSpace(lpBottom), c.bottom);
    EXPECT_EQ(t.Grid->GetGridSpace(lpTopBottom), c.top + c.bottom);
}

INSTANTIATE_TEST_SUITE_P(Cases, GridSpaceTable, ::testing::Values(
    SpaceCase{{goGrid}, {}, lsNormal, 0, 0, 1, 1},
    SpaceCase{{goGrid}, {ao3DGridLines}, lsNormal, 1, 1, 1, 1},
    SpaceCase{{goGrid}, {}, lsVerticalOnly, 0, 0, 1, 0},
    SpaceCase{{goGrid}, {ao3DGridLines}, lsHorizontalOnly, 0, 1, 0, 1},
    SpaceCase{{goGrid}, {}, lsActiveHorzOnly, 0, 0, 0, 1},
    SpaceCase{{}, {ao3DGridLines}, lsNormal, 0, 0, 0, 0}));

TEST(GridControl, PropertyRules) {
    TGridTest t(1);
    t.Grid->SetVersion(QStringLiteral("9.9"));
    EXPECT_EQ(t.Grid->Version(), QStringLiteral("1.4.0"));
    t.Grid->EndUpdate(); // unmatched: stays at 0
    EXPECT_EQ(t.Grid->UpdateCount(), 0);
    t.Grid->BeginUpdate();
    t.Grid->BeginUpdate();
    t.Grid->EndUpdate();
    EXPECT_EQ(t.Grid->UpdateCount(), 1);
    t.Grid->EndUpdate();
    t.Grid->SetRowSize(0);
    EXPECT_EQ(t.Grid->RowSize(), 16);
    t.Grid->SetRowCount(-1);
    EXPECT_EQ(t.Grid->RowCount(), 0);
    // The indicator moves the columns and is the one option that reports itself.
    int updates = 0;
    t.Grid->OnUpdateColumns = [&](rtl::TObject*) { ++updates; };
    const int left = t.Grid->Columns()->Item(0)->Left();
    t.Grid->SetOptions(t.Grid->Options() + TGridOptions{goFooter});
    EXPECT_EQ(updates, 0);
    t.Grid->SetOptions(t.Grid->Options() + TGridOptions{goIndicator});
    EXPECT_EQ(updates, 1);
    EXPECT_EQ(t.Grid->Columns()->Item(0)->Left(), left + 12);
    EXPECT_EQ(t.Grid->InnerWidth(), t.Grid->ClientWidth() - 12);
}

TEST(GridControl, RowCountGrowsInOneAddAndShrinksFromTheEnd) {
    TGridTest t(1, 3);
    t.Grid->SetRowCount(5);
    EXPECT_EQ(t.TakeLog().filter(QStringLiteral("data")), QStringList({QStringLiteral("data 2,4")}));
    t.Grid->SetRowCount(2);
    EXPECT_EQ(t.TakeLog().filter(QStringLiteral("data")),
              QStringList({QStringLiteral("data 6,4"), QStringLiteral("data 6,3"), QStringLiteral("data 6,2")}));
    EXPECT_EQ(t.Keys(), QStringList({QStringLiteral("0"), QStringLiteral("1")}));
}

TEST(GridControl, ColumnChangesAreReported) {
    TGridTest t(2, 2);
    auto* added = new TRgTextColumn(t.Form);
    t.Grid->Columns()->AddColumn(added);
    delete t.Grid->Columns()->Item(0);
    EXPECT_EQ(t.TakeLog().filter(QStringLiteral("data")),
              QStringList({QStringLiteral("data 0,2"), QStringLiteral("data 5,0")})); // dcAddColumn, dcDeleteColumn
    EXPECT_EQ(t.Grid->CellStore()->ColCount(), 2);
    QStringList events;
    t.Grid->OnColumnMove = [&](rtl::TObject*, int c, int from, int to) {
        events << QStringLiteral("move %1 %2>%3").arg(c).arg(from).arg(to);
    };
    t.Grid->OnColumnResize = [&](rtl::TObject*, int c) { events << QStringLiteral("resize %1").arg(c); };
    t.Grid->Columns()->ChangePosition(1, 0);
    added->SetWidth(120);
    t.Grid->Columns()->Move(0, 1); // item order only: no data change
    EXPECT_EQ(events, QStringList({QStringLiteral("move 1 1>0"), QStringLiteral("resize 1")}));
    EXPECT_TRUE(t.TakeLog().filter(QStringLiteral("data")).isEmpty());
}

TEST(GridControl, TextHoldsEveryCellWithLineBreaksMarked) {
    TGridTest t(2, 2);
    t.Grid->SetCells(1, 0, QStringLiteral("a\r\nb"));
    t.Grid->SetCells(1, 1, QStringLiteral("z"));
    EXPECT_EQ(t.Grid->GetTextStr(QStringLiteral(";")), QStringLiteral(";0;a%\r\nb;\r\n1;z"));
    TGridTest empty(2);
    EXPECT_EQ(empty.Grid->GetTextStr(QStringLiteral("|")), QStringLiteral("|"));
}

TEST(GridControl, CellsOutOfBoundsAreRefusedWithTheirIndexes) {
    TGridTest t(3, 1);
    for (auto [c, r] : {std::pair{5, 0}, std::pair{0, -1}, std::pair{0, 1}, std::pair{-1, 0}}) {
        try {
            t.Grid->GetCells(c, r);
            ADD_FAILURE() << c << "," << r;
        } catch (const rtl::Exception& e) {
            EXPECT_EQ(e.Message(), QStringLiteral("Cell out of bounds (%1, %2)").arg(c).arg(r));
        }
        EXPECT_THROW(t.Grid->SetCells(c, r, QStringLiteral("x")), rtl::Exception);
    }
}

TEST(GridGeometry, AreasAndRowsStackWithTheLineSpacing) {
    TGridTest t(3, 4);
    TReportGrid* g = t.Grid;
    ASSERT_EQ(g->ClientHeight(), 188);
    EXPECT_EQ(g->GetBodyRect(), TRect(0, 18, 240, 188));
    EXPECT_EQ(g->GetRowTop(2), 18 + 2 * 17);
    EXPECT_EQ(g->GetCellRect(1, 2), TRect(80, 52, 160, 68));
    EXPECT_EQ(g->GetRowRect(2), TRect(0, 52, 240, 69));
    g->SetRowVisible(1, false); // hidden rows take no room
    EXPECT_EQ(g->GetRowTop(2), 18 + 17);
    g->SetOptions(g->Options() + TGridOptions{goFooter, goIndicator, goInput});
    EXPECT_EQ(g->GetBodyRect(), TRect(12, 18 + 16 + 6 + 1, 252, 188 - 18 - 4 - 1));
    EXPECT_EQ(g->GetFooterRect().Top, 188 - 18 - 4 - 1);
    EXPECT_EQ(g->GetIndicatorRect(), TRect(0, 0, 12, 188));
}

TEST(GridScrolling, PositionsCountVisibleRowsAndTheLastPageFillsTheBody) {
    TGridTest t(3, 30);
    TReportGrid* g = t.Grid;
    TRgScrollBar* v = g->VertScrollBar();
    EXPECT_EQ(v->Max(), 30);
    EXPECT_EQ(v->PageSize(), 11);
    g->Perform(WM_VSCROLL, SB_BOTTOM, LPARAM(0));
    EXPECT_EQ(v->Position(), 20);
    EXPECT_EQ(g->FirstRow(), 20);
    EXPECT_EQ(g->LastRowInView(), 29);
    g->Perform(WM_VSCROLL, SB_LINEUP, LPARAM(0));
    EXPECT_EQ(g->FirstRow(), 19);
    g->ScrollToRow(25); // already whole in view: nothing
    EXPECT_EQ(g->FirstRow(), 19);
    g->ScrollToRow(3);
    EXPECT_EQ(g->FirstRow(), 3);
    g->ScrollToRow(20); // just far enough that its bottom fits
    EXPECT_EQ(g->FirstRow(), 11);
    EXPECT_EQ(g->LastRowInView(), 20);
    EXPECT_EQ(v->Position(), 11);
    // Hidden rows above the view are not counted.
    g->SetRowVisible(0, false);
    g->SetRowVisible(1, false);
    EXPECT_EQ(g->FirstRow(), 11);
    EXPECT_EQ(v->Position(), 9);
    EXPECT_EQ(v->Max(), 28);
}

TEST(GridScrolling, OneRowNeverGetsARange) {
    TGridTest t(1, 1);
    t.Grid->SetRowHeight(0, 400);
    t.Grid->UpdateVertScrollRange();
    EXPECT_EQ(t.Grid->VertScrollBar()->Max(), 0);
}

TEST(GridScrolling, GrowingTheGridBringsEarlierRowsBackIntoView) {
    TGridTest t(3, 30);
    TReportGrid* g = t.Grid;
    g->Perform(WM_VSCROLL, SB_BOTTOM, LPARAM(0));
    ASSERT_EQ(g->FirstRow(), 20);
    g->SetHeight(g->Height() + 2 * 17);
    t.Harness.Pump();
    EXPECT_EQ(g->FirstRow(), 18);
    EXPECT_EQ(g->LastRowInView(), 29);
    EXPECT_EQ(g->VertScrollBar()->Position(), 18);
    EXPECT_EQ(g->VertResizeKind(), rkExpansion);
}

TEST(GridScrolling, ColumnsWiderThanTheClientGetAHorizontalRange) {
    TGridTest t(5, 2);
    TReportGrid* g = t.Grid;
    TRgScrollBar* h = g->HorzScrollBar();
    EXPECT_TRUE(h->Visible());
    EXPECT_EQ(h->Max(), 400);
    EXPECT_EQ(h->PageSize(), g->ClientWidth() + 1);
    g->ScrollToColumn(g->Columns()->Item(4));
    EXPECT_EQ(g->HorzPosition(), 400 - g->ClientWidth());
    EXPECT_EQ(g->GetCellRect(4, 0).Right, g->ClientWidth());
    g->ScrollToColumn(g->Columns()->Item(0));
    EXPECT_EQ(g->HorzPosition(), 0);
    TGridTest narrow(2, 2);
    EXPECT_FALSE(narrow.Grid->HorzScrollBar()->Visible());
}

TEST(GridControl, TheDefaultPainterDrawsWithTheHeaderThemeWhileThemingIsActive) {
    TwSetThemeActive(TRUE);
    {
        TGridTest t(1);
        ASSERT_NE(t.Grid->Theme(), HTHEME(0));
        EXPECT_EQ(t.Grid->CurrentStyleDisplay()->Theme(), t.Grid->Theme());
        t.Grid->Perform(WM_THEMECHANGED, 0, LPARAM(0));
        EXPECT_NE(t.Grid->Theme(), HTHEME(0));
    }
    TwSetThemeActive(FALSE);
    TGridTest plain(1);
    EXPECT_EQ(plain.Grid->Theme(), HTHEME(0));
}
