// bench/BaseHashBench.cpp: CRC-32 and SHA-1 of a cached 1 GiB file against Python's zlib.crc32 and
// sha1sum on the same file, run alternately; the best run of each side counts. The file is sparse, so
// it costs no disk and every read is served from memory.
// bench-libs: base
#include "bench/BenchSupport.h"

#include <QFile>
#include <QTemporaryDir>

#include "base/HashCRC32.h"
#include "base/HashSHA1.h"
#include "base/SHA1.h"

namespace {

constexpr int64_t FileSize = int64_t(1) << 30;

const QString& BigFile() {
    static QTemporaryDir Dir;
    static const QString Name = [] {
        const QString N = Dir.filePath(QStringLiteral("big.bin"));
        QFile F(N);
        F.open(QIODevice::WriteOnly);
        F.resize(FileSize);
        F.seek(FileSize / 3);
        F.write("some data, so the file is not all zeros");
        return N;
    }();
    return Name;
}

bench_support::TPair Crc, Sha, ShaPortable;
// Every run's value must equal the peer's: 1 if all did, 0 if one did not, -1 before any run.
int CrcAgrees = -1, ShaAgrees = -1;

void Agree(int& Flag, bool Same) {
    Flag = (Flag != 0 && Same) ? 1 : 0;
}

void BM_CRC32_OursThenPythonZlib(benchmark::State& State) {
    const QString Script =
        QStringLiteral("import sys,zlib\nc=0\nf=open(sys.argv[1],'rb')\n"
                       "while True:\n b=f.read(1<<20)\n if not b: break\n c=zlib.crc32(b,c)\nprint(c)");
    for (auto _ : State) {
        QElapsedTimer T;
        T.start();
        const uint32_t Value = base::CRC32OfFile(BigFile());
        const double Ours = bench_support::Seconds(T);
        QByteArray Out;
        const double Peer = bench_support::TimeProgram(QStringLiteral("/usr/bin/python3"),
                                                       {QStringLiteral("-c"), Script, BigFile()}, &Out);
        Agree(CrcAgrees, Out.trimmed() == QByteArray::number(Value));
        if (Peer < 0) State.SkipWithError("python3 failed");
        Crc.Add(Ours, Peer);
        State.SetIterationTime(Ours);
    }
    State.counters["ours_MiBps"] = 1024 / Crc.Ours;
    State.counters["python_MiBps"] = 1024 / Crc.Peer;
}

void BM_SHA1_OursThenSha1sum(benchmark::State& State) {
    for (auto _ : State) {
        QElapsedTimer T;
        T.start();
        base::THashResultRec Res;
        benchmark::DoNotOptimize(base::SHA1OfFile(BigFile(), Res));
        const double Ours = bench_support::Seconds(T);
        QByteArray Out;
        const double Peer = bench_support::TimeProgram(QStringLiteral("sha1sum"), {BigFile()}, &Out);
        if (Peer < 0) State.SkipWithError("sha1sum failed");
        Agree(ShaAgrees, Out.left(40) == Res.StrValueLower.toLatin1());
        Sha.Add(Ours, Peer);
        State.SetIterationTime(Ours);
    }
    State.counters["ours_MiBps"] = 1024 / Sha.Ours;
    State.counters["sha1sum_MiBps"] = 1024 / Sha.Peer;
}

// The same with the portable compression, as on a CPU without the SHA extensions.
void BM_SHA1_PortableThenSha1sum(benchmark::State& State) {
    base::detail::SHA1UsePortable(true);
    for (auto _ : State) {
        QElapsedTimer T;
        T.start();
        base::THashResultRec Res;
        benchmark::DoNotOptimize(base::SHA1OfFile(BigFile(), Res));
        const double Ours = bench_support::Seconds(T);
        QByteArray Out;
        const double Peer = bench_support::TimeProgram(QStringLiteral("sha1sum"), {BigFile()}, &Out);
        if (Peer < 0) State.SkipWithError("sha1sum failed");
        Agree(ShaAgrees, Out.left(40) == Res.StrValueLower.toLatin1());
        ShaPortable.Add(Ours, Peer);
        State.SetIterationTime(Ours);
    }
    base::detail::SHA1UsePortable(false);
    State.counters["ours_MiBps"] = 1024 / ShaPortable.Ours;
    State.counters["sha1sum_MiBps"] = 1024 / ShaPortable.Peer;
}

BENCHMARK(BM_CRC32_OursThenPythonZlib)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SHA1_OursThenSha1sum)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SHA1_PortableThenSha1sum)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    bool Ok = true;
    if (CrcAgrees >= 0)
        Ok &= bench_support::Check("CRC-32 of the 1 GiB file equals Python's (1 = yes)", CrcAgrees, ">=", 1);
    if (ShaAgrees >= 0)
        Ok &= bench_support::Check("SHA-1 of the 1 GiB file equals sha1sum's (1 = yes)", ShaAgrees, ">=", 1);
    if (Crc.Ours > 0)
        Ok &= bench_support::Check("CRC-32 throughput, ours / Python zlib.crc32 (best of 5)",
                                   Crc.Peer / Crc.Ours, ">=", 3.0);
    if (Sha.Ours > 0)
        Ok &= bench_support::Check("SHA-1 throughput, ours / sha1sum (best of 5)", Sha.Peer / Sha.Ours,
                                   ">=", 0.9);
    if (ShaPortable.Ours > 0)
        Ok &= bench_support::Check("SHA-1 throughput, portable code / sha1sum (best of 5)",
                                   ShaPortable.Peer / ShaPortable.Ours, ">=", 0.9);
    return Ok ? 0 : 1;
}
