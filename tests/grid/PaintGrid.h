// tests/grid/PaintGrid.h: a report grid on a form beside a button that can take the focus, painted on
// paper; the grid counts the cells it paints and lets a test select its input row.
#pragma once
#include "tests/grid/GridForm.h"
#include "tests/components/PanelPaint.h"
#include "tests/grid/PaintFixture.h"
#include "tests/support/windows/FormHarness.h"

#include <gtest/gtest.h>

namespace grid_test {

using namespace grid;

class TPaintGrid : public TReportGrid {
public:
    using TReportGrid::TReportGrid;
    int DrawnCells = 0;
    void DrawCell(int ACol, int ARow, const TRect& CellRect) override {
        ++DrawnCells;
        TReportGrid::DrawCell(ACol, ARow, CellRect);
    }
    void SelectInput() { FInputSelected = true; }
};

class TPaintForm : public vcl::TForm {
public:
    explicit TPaintForm(rtl::TComponent* AOwner) : vcl::TForm(AOwner) {
        BeginLoading();
        SetPosition(vcl::poDesigned);
        SetBounds(50, 50, 400, 300);
        Grid = new TPaintGrid(this);
        Grid->SetParent(this);
        Grid->SetBorderStyle(vcl::bsNone);
        // 16-pixel rows under 1-pixel lines: row r spans 18 + 17r .. 34 + 17r, its line lies at 34 + 17r.
        Grid->SetOptions({goHeader, goGrid, goSelectFullRow, goMultiSelect});
        Grid->SetBounds(0, 0, 300, 18 + 10 * 17);
        Other = new vcl::TButton(this);
        Other->SetBounds(310, 10, 75, 25);
        Other->SetParent(this);
        EndLoading();
    }
    TPaintGrid* Grid;
    vcl::TButton* Other;
};

// Text columns 80 pixels wide (column c spans 80c .. 80c + 80, its line at 80c + 79); column 0 holds
// the row numbers, the others are empty.
struct TPaintTest {
    testing_support::FormHarness Harness;
    TPaintForm* Form = nullptr;
    TPaintGrid* Grid = nullptr;

    explicit TPaintTest(int Columns = 3, int Rows = 3) {
        Form = Harness.Show<TPaintForm>();
        Grid = Form->Grid;
        FillGrid(Grid, Form, Columns, Rows);
        Harness.Pump();
    }
    std::unique_ptr<vcl::TBitmap> Paint() { return components_test::Painted(Grid); }
    void Focus(bool OnGrid) {
        if (OnGrid)
            Grid->SetFocus();
        else
            Form->Other->SetFocus();
        Harness.Pump();
    }
    static int RowTop(int Row) { return 18 + 17 * Row; }
    // The middle of a cell.
    static vcl::TPoint Mid(int Col, int Row) { return vcl::TPoint(80 * Col + 60, RowTop(Row) + 8); }
};

inline vcl::TColor At(vcl::TBitmap& Bmp, const vcl::TPoint& P) { return Bmp.Canvas()->Pixels(P.X, P.Y); }

} // namespace grid_test
