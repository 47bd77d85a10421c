// bench/GridEditBench.cpp: the grid's keyboard search and in-place editing on a shown grid. One search
// step over 100,000 rows that finds nothing (every row read) must take at most 10 ms and grow at most
// 12x from 10,000 rows; opening the editor on a cell in view, writing and closing it must cost the
// same at 1,000 and at 100,000 rows (at most 1.3x apart).
// bench-libs: grid vcl tw_qt win
#include "bench/GridBenchFixture.h"

namespace {

using namespace grid;
using grid_bench::KeepBest;

// Four columns: the first searched, the second editable; the middle row current and in view.
struct TEditGrid : grid_bench::TShownGrid {
    explicit TEditGrid(int Rows) : TShownGrid(4) {
        Grid->Columns()->Item(0)->SetOptions(Grid->Columns()->Item(0)->Options() + TColumnOptions{coSearchColumn});
        Grid->Columns()->Item(1)->SetEditing(true);
        AddRows(Rows);
        Grid->SetSelectedRow(Rows / 2);
        Grid->ScrollToRow(Rows / 2 + 10);
    }
};

double BestSearch[2] = {0, 0}; // seconds per step: 10k, 100k
double BestEdit[2] = {0, 0};   // seconds per round trip: 1k, 100k

void MeasureSearch(benchmark::State& State, int Rows, double& Best) {
    TEditGrid G(Rows);
    for (auto _ : State) {
        QElapsedTimer T;
        T.start();
        constexpr int Steps = 20;
        for (int i = 0; i < Steps; ++i) benchmark::DoNotOptimize(G.Grid->SearchNext(0, QStringLiteral("zz"), false));
        const double Seconds = bench_support::Seconds(T) / Steps;
        KeepBest(Best, Seconds);
        State.SetIterationTime(Seconds);
    }
}

void MeasureEdit(benchmark::State& State, int Rows, double& Best) {
    TEditGrid G(Rows);
    for (auto _ : State) {
        QElapsedTimer T;
        T.start();
        constexpr int Trips = 200;
        for (int i = 0; i < Trips; ++i) {
            // The user edits a cell in view: the ten rows from the middle one, which is shown.
            const int Row = Rows / 2 + i % 10;
            G.Grid->EditCell(1, Row, QStringLiteral("edited %1").arg(i));
            G.Grid->ApplyEditing();
            G.Grid->EndEditing();
        }
        const double Seconds = bench_support::Seconds(T) / Trips;
        KeepBest(Best, Seconds);
        State.SetIterationTime(Seconds);
    }
}

void BM_Search10k(benchmark::State& S) { MeasureSearch(S, 10000, BestSearch[0]); }
void BM_Search100k(benchmark::State& S) { MeasureSearch(S, 100000, BestSearch[1]); }
void BM_EditRoundTrip1k(benchmark::State& S) { MeasureEdit(S, 1000, BestEdit[0]); }
void BM_EditRoundTrip100k(benchmark::State& S) { MeasureEdit(S, 100000, BestEdit[1]); }

BENCHMARK(BM_Search10k)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Search100k)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EditRoundTrip1k)->Iterations(5)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EditRoundTrip100k)->Iterations(5)->UseManualTime()->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    return grid_bench::RunAndCheck(argc, argv, [] {
        bool ok = true;
        if (BestSearch[1] > 0)
            ok &= bench_support::Check("one search step over 100,000 rows, ms (best of 5)", BestSearch[1] * 1000, "<=", 10);
        if (BestSearch[0] > 0 && BestSearch[1] > 0)
            ok &= bench_support::Check("search step, 100,000 / 10,000 rows", BestSearch[1] / BestSearch[0], "<=", 12);
        if (BestEdit[0] > 0 && BestEdit[1] > 0)
            ok &= bench_support::Check("edit round trip, 100,000 / 1,000 rows", BestEdit[1] / BestEdit[0], "<=", 1.3);
        return ok;
    });
}
