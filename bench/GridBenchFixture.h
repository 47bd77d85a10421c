// bench/GridBenchFixture.h: what the grid benchmarks share: a report grid of text columns filling an
// 800 x 600 form that is shown, and its rows filled inside one update bracket.
#pragma once
#include "bench/BenchSupport.h"

#include "grid/ColumnClasses.h"
#include "grid/GridReport.h"
#include "vcl/Forms.h"
#include "win/windows.h"

namespace grid_bench {

struct TShownGrid {
    vcl::TForm* Form;
    grid::TReportGrid* Grid;
    explicit TShownGrid(int Columns) {
        using namespace grid;
        Form = new vcl::TForm(nullptr);
        Form->SetBounds(0, 0, 800, 600);
        Grid = new TReportGrid(Form);
        Grid->SetParent(Form);
        Grid->SetAlign(vcl::alClient);
        Grid->SetOptions({goHeader, goGrid, goSelectFullRow, goMultiSelect});
        for (int c = 0; c < Columns; ++c) Grid->Columns()->AddColumn(new TRgTextColumn(Form));
        Form->Show();
    }
    ~TShownGrid() { delete Form; }
    TShownGrid(const TShownGrid&) = delete;
    TShownGrid& operator=(const TShownGrid&) = delete;

    // Rows named as files: column 0 "track N.mp3", column 1 (when there is one) "note N".
    void AddRows(int Rows) {
        Grid->BeginUpdate();
        for (int r = 0; r < Rows; ++r) {
            const int Row = Grid->AddRow();
            Grid->SetCells(0, Row, QStringLiteral("track %1.mp3").arg(r));
            if (Grid->Columns()->Count() > 1) Grid->SetCells(1, Row, QStringLiteral("note %1").arg(r));
        }
        Grid->EndUpdate();
    }
};

// Runs the benchmarks on a started GUI, then Checks, which prints each bound and answers whether all
// hold: the exit status.
template <class TChecks> int RunAndCheck(int argc, char** argv, TChecks Checks) {
    if (!TwStartGui(&argc, argv, TRUE)) return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    const bool Ok = Checks();
    TwStopGui();
    return Ok ? 0 : 1;
}

// Keeps the lowest of the times given: the best of a benchmark's iterations.
inline void KeepBest(double& Best, double Seconds) {
    if (Best == 0 || Seconds < Best) Best = Seconds;
}

} // namespace grid_bench
