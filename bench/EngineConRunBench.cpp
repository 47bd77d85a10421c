// bench/EngineConRunBench.cpp: the console runner reading a child that prints short lines, with a
// line handler installed, against `cat` reading the same bytes from a pipe. The child is this program
// itself, started with --produce N. Checks that the cost grows linearly (1,000,000 against 100,000
// lines, ratio under 12) and that the runner keeps at least half of cat's throughput.
// bench-libs: engine
#include "bench/BenchSupport.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "app/engine/ConRun.h"
#include "rtl/Files.h"

namespace {

int Produce(long Lines) {
    std::string buf;
    buf.reserve(1 << 16);
    char line[32];
    for (long k = 0; k < Lines; ++k) {
        buf.append(line, size_t(std::snprintf(line, sizeof line, "line %ld\n", k)));
        if (buf.size() > 60000 || k + 1 == Lines) {
            if (!bench_support::WriteOut(buf)) return 1;
            buf.clear();
        }
    }
    return 0;
}

QString Self() {
    return rtl::ParamStr(0);
}

bench_support::TPair Small, Large; // Ours: runner; Peer: cat
long HandledLines = 0;

double TimeRunner(long Lines) {
    auto list = std::make_unique<rtl::TStringList>();
    HandledLines = 0;
    QElapsedTimer t;
    t.start();
    engine::RunConsoleApp(Self(), QStringLiteral("--produce %1").arg(Lines), list.get(), 0);
    const double s = bench_support::Seconds(t);
    if (HandledLines != Lines + 1 || list->Count() != Lines + 1) return -1; // and the empty last piece
    return s;
}

double TimeCat(long Lines) {
    const QString script = QStringLiteral("'%1' --produce %2 | cat > /dev/null").arg(Self()).arg(Lines);
    return bench_support::TimeProgram(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), script});
}

void Measure(benchmark::State& State, long Lines, bench_support::TPair& Pair) {
    engine::OnConsoleLine = [](uint32_t, const rtl::String&, bool HasLine) {
        if (HasLine) ++HandledLines;
    };
    for (auto _ : State) {
        const double ours = TimeRunner(Lines);
        const double cat = TimeCat(Lines);
        if (ours < 0 || cat < 0) State.SkipWithError("a run failed or lost lines");
        Pair.Add(ours, cat);
        State.SetIterationTime(ours);
    }
    State.counters["runner_lines_per_s"] = double(Lines) / Pair.Ours;
    State.counters["cat_lines_per_s"] = double(Lines) / Pair.Peer;
    engine::OnConsoleLine = nullptr;
}

void BM_Runner100kLines(benchmark::State& State) {
    Measure(State, 100000, Small);
}
void BM_Runner1MLines(benchmark::State& State) {
    Measure(State, 1000000, Large);
}

BENCHMARK(BM_Runner100kLines)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Runner1MLines)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--produce") == 0) return Produce(std::atol(argv[2]));
    engine::KeepHeapForOutputLists(); // as the program does at start-up
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    bool ok = true;
    if (Small.Ours > 0 && Large.Ours > 0) {
        ok &= bench_support::Check("runner time, 1,000,000 / 100,000 lines (best of 5)",
                                   Large.Ours / Small.Ours, "<=", 12);
        ok &= bench_support::Check("runner throughput / cat throughput, 1,000,000 lines",
                                   Large.Peer / Large.Ours, ">=", 0.5);
    }
    return ok ? 0 : 1;
}
