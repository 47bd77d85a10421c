// bench/GridBench.cpp: the report grid's cell store. Sorting 100,000 rows by a text column and by a
// number column against std::stable_sort of the same cells with the same comparison (at most 2x), and
// adding rows and reading every cell, whose cost must grow linearly (100,000 against 10,000 rows).
// bench-libs: grid engine
#include "bench/BenchSupport.h"

#include <algorithm>
#include <cmath>
#include <random>

#include "app/engine/ConRun.h"
#include "grid/Cells.h"
#include "grid/Columns.h"
#include "rtl/Math.h"

namespace {

using namespace grid;

class TBenchColumn : public TRgCustomColumn {
public:
    TBenchColumn(TColumnType Type) : TRgCustomColumn(nullptr) { SetColumnType(Type); }
};

struct TStore {
    TRgColumns Columns{nullptr, nullptr};
    TCells Cells{nullptr, &Columns};
    explicit TStore(std::initializer_list<TColumnType> Types) {
        Columns.OnChange = [this](rtl::TObject*, TColumnsOperation Op, int V1, int V2) { Cells.ColumnsChange(Op, V1, V2); };
        for (TColumnType T : Types) Columns.AddColumn(new TBenchColumn(T));
    }
    ~TStore() {
        while (Columns.Count() > 0) delete Columns.Item(Columns.Count() - 1);
    }
};

constexpr int SortRows = 100000;

std::vector<QString> RandomWords() {
    std::mt19937 Random(1);
    std::vector<QString> Words(SortRows);
    for (QString& W : Words) {
        const int Length = 6 + int(Random() % 8);
        for (int i = 0; i < Length; ++i) W += QChar(u'a' + int(Random() % 26));
    }
    return Words;
}

std::vector<double> RandomNumbers() {
    std::mt19937_64 Random(2);
    std::vector<double> Numbers(SortRows);
    for (double& V : Numbers) V = double(int64_t(Random() % 2000000)) / 7.0 - 100000;
    return Numbers;
}

int CompareNumbers(double A, double B) {
    const bool NanA = std::isnan(A), NanB = std::isnan(B);
    if (NanA || NanB) return int(NanA) - int(NanB);
    return A < B ? -1 : (B < A ? 1 : 0);
}

bench_support::TPair TextSort, NumberSort; // Ours: the store; Peer: std::stable_sort
bool SortedRight = true;

template <class Fill, class Less>
void MeasureSort(benchmark::State& State, TColumnType Type, TSortType Sort, Fill FillCells, Less CellLess,
                 bench_support::TPair& Pair) {
    TStore S({Type});
    S.Cells.AddRow(SortRows);
    for (auto _ : State) {
        FillCells(S.Cells);
        rtl::RandSeed = 42;
        QElapsedTimer T;
        T.start();
        S.Cells.SortColumn(0, Sort, skAscending, true);
        const double Ours = bench_support::Seconds(T);
        for (int r = 1; r < SortRows; ++r)
            if (CellLess(S.Cells.GetCell(0, r), S.Cells.GetCell(0, r - 1))) SortedRight = false;

        FillCells(S.Cells);
        std::vector<TCell*> Cells(SortRows);
        for (int r = 0; r < SortRows; ++r) Cells[r] = S.Cells.GetCell(0, r);
        T.restart();
        std::stable_sort(Cells.begin(), Cells.end(), CellLess);
        const double Peer = bench_support::Seconds(T);
        Pair.Add(Ours, Peer);
        State.SetIterationTime(Ours);
    }
    State.counters["stable_sort_ms"] = Pair.Peer * 1000;
}

void BM_SortTextColumn100k(benchmark::State& State) {
    static const std::vector<QString> Words = RandomWords();
    MeasureSort(
        State, ctString, stAlphabetic,
        [](TCells& C) {
            for (int r = 0; r < SortRows; ++r) C.GetCell(0, r)->SetAsString(Words[r]);
        },
        [](TCell* A, TCell* B) { return rtl::CompareStr(A->AsString(), B->AsString()) < 0; }, TextSort);
}

void BM_SortNumberColumn100k(benchmark::State& State) {
    static const std::vector<double> Numbers = RandomNumbers();
    MeasureSort(
        State, ctFloat, stNumeric,
        [](TCells& C) {
            for (int r = 0; r < SortRows; ++r) C.GetCell(0, r)->SetAsFloat(Numbers[r]);
        },
        [](TCell* A, TCell* B) { return CompareNumbers(A->AsFloat(), B->AsFloat()) < 0; }, NumberSort);
}

// Adding rows one at a time to a store of four typed columns, then reading every cell as text.
double BestAddAndRead[2] = {0, 0};

void MeasureAddAndRead(benchmark::State& State, int Rows, double& Best) {
    for (auto _ : State) {
        TStore S({ctString, ctFloat, ctInteger, ctAutoInc});
        QElapsedTimer T;
        T.start();
        for (int r = 0; r < Rows; ++r) S.Cells.AddRow(1);
        size_t Length = 0;
        for (int r = 0; r < Rows; ++r)
            for (int c = 0; c < 4; ++c) Length += size_t(S.Cells.GetCell(c, r)->AsString().size());
        benchmark::DoNotOptimize(Length);
        const double Seconds = bench_support::Seconds(T);
        if (Best == 0 || Seconds < Best) Best = Seconds;
        State.SetIterationTime(Seconds);
    }
}

void BM_AddAndRead10k(benchmark::State& State) { MeasureAddAndRead(State, 10000, BestAddAndRead[0]); }
void BM_AddAndRead100k(benchmark::State& State) { MeasureAddAndRead(State, 100000, BestAddAndRead[1]); }

BENCHMARK(BM_SortTextColumn100k)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortNumberColumn100k)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AddAndRead10k)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AddAndRead100k)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    engine::KeepHeapForOutputLists(); // as the program does at start-up
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    bool ok = bench_support::Check("sorted orders agree with the comparison (1 = yes)", SortedRight, ">=", 1);
    if (TextSort.Ours > 0)
        ok &= bench_support::Check("text sort / std::stable_sort, 100,000 rows (best of 5)",
                                   TextSort.Ours / TextSort.Peer, "<=", 2);
    if (NumberSort.Ours > 0)
        ok &= bench_support::Check("number sort / std::stable_sort, 100,000 rows (best of 5)",
                                   NumberSort.Ours / NumberSort.Peer, "<=", 2);
    if (BestAddAndRead[0] > 0 && BestAddAndRead[1] > 0)
        ok &= bench_support::Check("add and read, 100,000 / 10,000 rows (best of 5)",
                                   BestAddAndRead[1] / BestAddAndRead[0], "<=", 12);
    return ok ? 0 : 1;
}
