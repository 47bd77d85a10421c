// bench/GridControlBench.cpp: the report grid control over its store, as the file list uses it.
// Adding rows one at a time to a shown grid (with selection and repaint requests) must grow linearly
// (100,000 against 10,000 rows, with and without an update bracket), and so must selecting every
// row and then moving the selection row by row.
// bench-libs: grid vcl tw_qt win
#include "bench/GridBenchFixture.h"

namespace {

using grid_bench::KeepBest;
using grid_bench::TShownGrid;

double BestAdd[2][2] = {{0, 0}, {0, 0}}; // [bracketed][10k, 100k]

void MeasureAdd(benchmark::State& State, int Rows, bool Bracketed, double& Best) {
    for (auto _ : State) {
        TShownGrid G(8);
        QElapsedTimer T;
        T.start();
        if (Bracketed) G.Grid->BeginUpdate();
        for (int r = 0; r < Rows; ++r) {
            const int Row = G.Grid->AddRow();
            G.Grid->SetCells(0, Row, QStringLiteral("file %1").arg(r));
            G.Grid->SetCells(1, Row, QStringLiteral("/some/folder"));
        }
        if (Bracketed) G.Grid->EndUpdate();
        const double Seconds = bench_support::Seconds(T);
        KeepBest(Best, Seconds);
        State.SetIterationTime(Seconds);
    }
}

void BM_Add10k(benchmark::State& S) { MeasureAdd(S, 10000, false, BestAdd[0][0]); }
void BM_Add100k(benchmark::State& S) { MeasureAdd(S, 100000, false, BestAdd[0][1]); }
void BM_AddBracketed10k(benchmark::State& S) { MeasureAdd(S, 10000, true, BestAdd[1][0]); }
void BM_AddBracketed100k(benchmark::State& S) { MeasureAdd(S, 100000, true, BestAdd[1][1]); }

double BestSelect[2] = {0, 0};

// Select all, then walk the selection down 200 rows from the middle. Each plain move in full-row mode
// clears every row's flag first, so a move costs the rows once; nothing more may grow with them.
void MeasureSelect(benchmark::State& State, int Rows, double& Best) {
    for (auto _ : State) {
        TShownGrid G(8);
        G.Grid->ReserveRows(Rows);
        QElapsedTimer T;
        T.start();
        G.Grid->SelectAll();
        G.Grid->SetSelectedRow(Rows / 2);
        for (int i = 0; i < 200; ++i) G.Grid->MoveSelectionDown({}, false, false);
        const double Seconds = bench_support::Seconds(T);
        KeepBest(Best, Seconds);
        State.SetIterationTime(Seconds);
    }
}

void BM_SelectAndMove10k(benchmark::State& S) { MeasureSelect(S, 10000, BestSelect[0]); }
void BM_SelectAndMove100k(benchmark::State& S) { MeasureSelect(S, 100000, BestSelect[1]); }

BENCHMARK(BM_Add10k)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Add100k)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AddBracketed10k)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AddBracketed100k)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SelectAndMove10k)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SelectAndMove100k)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return grid_bench::RunAndCheck(argc, argv, [] {
        bool ok = true;
        if (BestAdd[0][0] > 0 && BestAdd[0][1] > 0)
            ok &= bench_support::Check("add rows to a shown grid, 100,000 / 10,000 (best of 3)",
                                       BestAdd[0][1] / BestAdd[0][0], "<=", 15);
        if (BestAdd[1][0] > 0 && BestAdd[1][1] > 0)
            ok &= bench_support::Check("add rows inside BeginUpdate, 100,000 / 10,000 (best of 3)",
                                       BestAdd[1][1] / BestAdd[1][0], "<=", 15);
        if (BestSelect[0] > 0 && BestSelect[1] > 0)
            ok &= bench_support::Check("select all and 200 moves, 100,000 / 10,000 rows (best of 3)",
                                       BestSelect[1] / BestSelect[0], "<=", 15);
        return ok;
    });
}
