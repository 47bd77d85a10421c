// bench/BaseSearchBench.cpp: the folder search over 100,000 files in 10,000 folders against find on the
// same tree.
// bench-libs: base
#include "bench/BenchSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <unistd.h>

#include "base/FileSearch.h"

namespace {

// 100 folders of 100 folders, ten files in each of the 10,000 inner ones.
const QString& Tree() {
    static QTemporaryDir Dir;
    static const QString Root = [] {
        const QString R = Dir.filePath(QStringLiteral("tree"));
        for (int a = 0; a < 100; ++a)
            for (int b = 0; b < 100; ++b) {
                const QString Folder = QStringLiteral("%1/Folder %2/sub%3").arg(R).arg(a).arg(b);
                QDir().mkpath(Folder);
                for (int f = 0; f < 10; ++f) {
                    QFile F(QStringLiteral("%1/clip %2.webm").arg(Folder).arg(f));
                    F.open(QIODevice::WriteOnly);
                }
            }
        ::sync(); // let the new tree reach the disk before anything is timed
        return R;
    }();
    return Root;
}

bench_support::TPair Plain, Following;

// As the program calls it for a dropped folder: every file, 20 levels, links followed.
double TimeOurs(int64_t& Files) {
    QElapsedTimer T;
    T.start();
    rtl::TStringList Results;
    int Entries = 0;
    base::SearchFiles(QStringLiteral("*.*"), Tree(), &Results, 20, true, true, {}, {}, [&](int) {
        ++Entries;
        return true;
    });
    Files = Results.Count();
    benchmark::DoNotOptimize(Entries);
    return bench_support::Seconds(T);
}

void BM_Search_OursThenFind(benchmark::State& State) {
    Tree(); // made before anything is timed
    int64_t Files = 0;
    for (auto _ : State) {
        const double Ours = TimeOurs(Files);
        const double Find = bench_support::TimeProgram(
            QStringLiteral("find"), {Tree(), QStringLiteral("-type"), QStringLiteral("f")});
        const double FindL = bench_support::TimeProgram(
            QStringLiteral("find"),
            {QStringLiteral("-L"), Tree(), QStringLiteral("-type"), QStringLiteral("f")});
        if (Find < 0 || FindL < 0) State.SkipWithError("find failed");
        Plain.Add(Ours, Find);
        Following.Add(Ours, FindL);
        State.SetIterationTime(Ours);
    }
    State.counters["files"] = double(Files);
    State.counters["ours_ms"] = Plain.Ours * 1000;
    State.counters["find_ms"] = Plain.Peer * 1000;
    State.counters["find_L_ms"] = Following.Peer * 1000;
}

BENCHMARK(BM_Search_OursThenFind)->Iterations(7)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    if (Plain.Ours <= 0) return 0;
    bench_support::Check("Search time, ours / find -L -type f (best of 7)", Following.Ours / Following.Peer,
                         "<=", 1.5);
    return bench_support::Check("Search time, ours / find -type f (best of 7)", Plain.Ours / Plain.Peer,
                                "<=", 1.5)
               ? 0
               : 1;
}
