// bench/GridMouseBench.cpp: the grid under the mouse. A mouse move over the body (the message through
// the window, with its hit tests, hover and hints) and the drop-row lookup must cost the same at 1,000
// and at 100,000 rows (at most 1.3x apart), and moving one row across a 100,000-row grid of 32 columns
// may cost at most twice a bare std::rotate of the same 33 lists (the rows and each column's cells).
// bench-libs: grid vcl tw_qt win
#include "bench/GridBenchFixture.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace {

using grid_bench::KeepBest;
using grid_bench::TShownGrid;

// A grid scrolled to its middle; the body starts below the 18-pixel header.
struct TMiddleGrid : TShownGrid {
    TMiddleGrid(int Columns, int Rows) : TShownGrid(Columns) {
        AddRows(Rows);
        Grid->ScrollToRow(Rows / 2);
    }
};

double BestMove[2] = {0, 0};    // seconds per mouse move: 1k, 100k
double BestNearest[2] = {0, 0}; // seconds per GetNearestRow: 1k, 100k

// The pointer sweeps down and up the body over many cells, as a hover does.
void MeasureMouseMove(benchmark::State& State, int Rows, double& Best) {
    TMiddleGrid G(8, Rows);
    const HWND Wnd = G.Grid->Handle();
    for (auto _ : State) {
        constexpr int Moves = 2000;
        QElapsedTimer T;
        T.start();
        for (int i = 0; i < Moves; ++i) {
            const int Y = 30 + (i * 7) % 500, X = 10 + (i * 13) % 700;
            SendMessageW(Wnd, WM_MOUSEMOVE, 0, MAKELPARAM(X, Y));
        }
        const double Seconds = bench_support::Seconds(T) / Moves;
        KeepBest(Best, Seconds);
        State.SetIterationTime(Seconds);
    }
}

void MeasureNearest(benchmark::State& State, int Rows, double& Best) {
    TMiddleGrid G(8, Rows);
    for (auto _ : State) {
        constexpr int Calls = 2000;
        QElapsedTimer T;
        T.start();
        for (int i = 0; i < Calls; ++i) benchmark::DoNotOptimize(G.Grid->GetNearestRow(40, 20 + (i * 7) % 560));
        const double Seconds = bench_support::Seconds(T) / Calls;
        KeepBest(Best, Seconds);
        State.SetIterationTime(Seconds);
    }
}

constexpr int MoveRows = 100000, MoveColumns = 32;
bench_support::TPair BestRowMove; // seconds per move: the grid's (Ours), the bare rotate's (Peer)

// Row 10, the current one, to near the end and back, as a drop does: each move shifts nearly every row
// of every list. The same shifts on 33 bare lists of owned objects, as the store keeps its rows and
// cells, are timed in turn with it, so that load from other processes hits both alike.
void BM_RowMoveAgainstRotate100k(benchmark::State& State) {
    TMiddleGrid G(MoveColumns, MoveRows);
    G.Grid->SetSelectedRow(10);
    std::vector<std::vector<std::unique_ptr<int>>> Lists(MoveColumns + 1);
    for (auto& List : Lists)
        for (int r = 0; r < MoveRows; ++r) List.push_back(std::make_unique<int>(r));
    for (auto _ : State) {
        QElapsedTimer T;
        T.start();
        G.Grid->MoveRow(10, MoveRows - 10);
        G.Grid->MoveRow(MoveRows - 10, 10);
        const double Ours = bench_support::Seconds(T) / 2;
        T.start();
        for (auto& List : Lists) std::rotate(List.begin() + 10, List.begin() + 11, List.end() - 9);
        for (auto& List : Lists) std::rotate(List.begin() + 10, List.end() - 10, List.end() - 9);
        benchmark::ClobberMemory();
        const double Bare = bench_support::Seconds(T) / 2;
        BestRowMove.Add(Ours, Bare);
        State.SetIterationTime(Ours);
    }
}

void BM_MouseMove1k(benchmark::State& S) { MeasureMouseMove(S, 1000, BestMove[0]); }
void BM_MouseMove100k(benchmark::State& S) { MeasureMouseMove(S, 100000, BestMove[1]); }
void BM_NearestRow1k(benchmark::State& S) { MeasureNearest(S, 1000, BestNearest[0]); }
void BM_NearestRow100k(benchmark::State& S) { MeasureNearest(S, 100000, BestNearest[1]); }

BENCHMARK(BM_MouseMove1k)->Iterations(10)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MouseMove100k)->Iterations(10)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_NearestRow1k)->Iterations(5)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_NearestRow100k)->Iterations(5)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RowMoveAgainstRotate100k)->Iterations(20)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return grid_bench::RunAndCheck(argc, argv, [] {
        bool ok = true;
        if (BestMove[0] > 0 && BestMove[1] > 0)
            ok &= bench_support::Check("mouse move over the body, 100,000 / 1,000 rows", BestMove[1] / BestMove[0], "<=", 1.3);
        if (BestNearest[0] > 0 && BestNearest[1] > 0)
            ok &= bench_support::Check("GetNearestRow, 100,000 / 1,000 rows", BestNearest[1] / BestNearest[0], "<=", 1.3);
        if (BestRowMove.Ours > 0 && BestRowMove.Peer > 0)
            ok &= bench_support::Check("row move in 100,000 rows x 32 columns / bare rotate of 33 lists",
                                       BestRowMove.Ours / BestRowMove.Peer, "<=", 2);
        return ok;
    });
}
