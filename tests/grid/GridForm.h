// tests/grid/GridForm.h: a report grid on a form, shown headless, with a log of the grid's events.
#pragma once
#include "grid/ColumnClasses.h"
#include "grid/GridReport.h"
#include "tests/support/windows/FormHarness.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace grid_test {

using namespace grid;

// TGrid is the report grid or a test's subclass of it.
template <class TGrid>
class TGridFormOf : public vcl::TForm {
public:
    explicit TGridFormOf(rtl::TComponent* AOwner) : vcl::TForm(AOwner) {
        BeginLoading();
        SetPosition(vcl::poDesigned);
        SetBounds(50, 50, 500, 400);
        Grid = new TGrid(this);
        Grid->SetParent(this);
        Grid->SetBorderStyle(vcl::bsNone);
        // 16-pixel rows and 1-pixel lines: 17 pixels a row; 18 for the header.
        Grid->SetOptions({goHeader, goGrid, goSelectFullRow, goMultiSelect});
        Grid->SetBounds(0, 0, 300, 18 + 10 * 17); // ten rows fit below the header
        EndLoading();
    }
    TGrid* Grid;
};

using TGridForm = TGridFormOf<TReportGrid>;

// Text columns 80 pixels wide owned by Owner, and rows whose first cell holds the row's number.
inline void FillGrid(TReportGrid* Grid, rtl::TComponent* Owner, int Columns, int Rows) {
    for (int c = 0; c < Columns; ++c) {
        auto* Col = new TRgTextColumn(Owner);
        Col->SetWidth(80);
        Grid->Columns()->AddColumn(Col);
    }
    Grid->AddRow(Rows);
    for (int r = 0; r < Rows; ++r) Grid->GetCell(0, r)->SetAsString(QString::number(r));
}

// A form with a grid of text columns; the log records the grid's events as short texts.
struct TGridTest {
    QStringList Log; // outlives the form, whose grid reports to it
    testing_support::FormHarness Harness;
    TGridForm* Form = nullptr;
    TReportGrid* Grid = nullptr;

    explicit TGridTest(int Columns = 3, int Rows = 0) {
        Form = Harness.Show<TGridForm>();
        Grid = Form->Grid;
        FillGrid(Grid, Form, Columns, Rows);
        Harness.Pump();
        Grid->OnSelectCell = [this](TObject*, int c, int r) { Log << QStringLiteral("select %1,%2").arg(c).arg(r); };
        Grid->OnDeselectCell = [this](TObject*, int c, int r) { Log << QStringLiteral("deselect %1,%2").arg(c).arg(r); };
        Grid->OnDataChange = [this](TObject*, TDataChange k, int i) { Log << QStringLiteral("data %1,%2").arg(int(k)).arg(i); };
        Grid->KW_OnAfterRowShow = [this](int i, int h, bool s) { Log << QStringLiteral("show %1,%2,%3").arg(i).arg(h).arg(s); };
    }
    // The rows whose Selected flag is set.
    std::vector<int> SelectedRows() {
        std::vector<int> Out;
        for (int r = 0; r < Grid->RowCount(); ++r)
            if (Grid->Selected(r)) Out.push_back(r);
        return Out;
    }
    // The text of column 0 of every row.
    QStringList Keys() {
        QStringList Out;
        for (int r = 0; r < Grid->RowCount(); ++r) Out << Grid->GetCell(0, r)->AsString();
        return Out;
    }
    QStringList TakeLog() {
        QStringList Out = Log;
        Log.clear();
        return Out;
    }
};

} // namespace grid_test
