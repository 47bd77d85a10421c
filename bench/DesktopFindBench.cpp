// bench/DesktopFindBench.cpp: a walk with FindFirstFileW/FindNextFileW over 100,000 files in 10,000
// folders against find on the same tree.
// bench-libs: win
#include "bench/BenchSupport.h"

#include <QTemporaryDir>

#include <string>

#include "win/kernel32/fileapi.h"

namespace {

const QString& Tree() {
    static QTemporaryDir Dir;
    static const QString Root = [] {
        const QString R = Dir.filePath(QStringLiteral("tree"));
        bench_support::MakeFileTree(R);
        return R;
    }();
    return Root;
}

// Every file below Folder, as the program's folder walks do it.
int64_t Walk(const std::u16string& Folder) {
    int64_t Files = 0;
    WIN32_FIND_DATAW Data;
    HANDLE H = FindFirstFileW((Folder + u"/*.*").c_str(), &Data);
    if (H == INVALID_HANDLE_VALUE) return 0;
    do {
        if (Data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            const std::u16string Name = Data.cFileName;
            if (Name != u"." && Name != u"..") Files += Walk(Folder + u"/" + Name);
        } else {
            ++Files;
        }
    } while (FindNextFileW(H, &Data));
    FindClose(H);
    return Files;
}

bench_support::TPair Pair;

void BM_Find_OursThenFind(benchmark::State& State) {
    const std::u16string Root = Tree().toStdU16String();
    int64_t Files = 0;
    for (auto _ : State) {
        QElapsedTimer T;
        T.start();
        Files = Walk(Root);
        const double Ours = bench_support::Seconds(T);
        const double Find = bench_support::TimeProgram(QStringLiteral("find"), {Tree(), QStringLiteral("-type"), QStringLiteral("f")});
        if (Find < 0) State.SkipWithError("find failed");
        Pair.Add(Ours, Find);
        State.SetIterationTime(Ours);
    }
    State.counters["files"] = double(Files);
    State.counters["ours_ms"] = Pair.Ours * 1000;
    State.counters["find_ms"] = Pair.Peer * 1000;
}

BENCHMARK(BM_Find_OursThenFind)->Iterations(7)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    if (Pair.Ours <= 0) return 0;
    return bench_support::Check("Walk time, FindFirstFileW / find -type f (best of 7)", Pair.Ours / Pair.Peer, "<=", 1.5)
               ? 0
               : 1;
}
