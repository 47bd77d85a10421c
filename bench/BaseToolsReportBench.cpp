// bench/BaseToolsReportBench.cpp: the file report over Debian's ffmpeg, ffplay, ffprobe, the analysis
// library and the codec library against sha1sum plus Python's zlib.crc32 over the same files, run
// alternately; the best run of each side counts. The report reads each file once for both checksums.
// bench-libs: engine
#include "bench/BenchSupport.h"

#include <QFileInfo>

#include "app/engine/ToolsReport.h"

namespace {

QStringList Tools() {
    QStringList Files;
    for (const char* F : {"/usr/bin/ffmpeg", "/usr/bin/ffplay", "/usr/bin/ffprobe",
                          "/usr/lib/x86_64-linux-gnu/libmediainfo.so.0", "/usr/lib/x86_64-linux-gnu/libavcodec.so.59"})
        if (QFileInfo::exists(QString::fromLatin1(F))) Files << QFileInfo(QString::fromLatin1(F)).canonicalFilePath();
    return Files;
}

bench_support::TPair Report;
int Agrees = -1;

void BM_FileReports_OursThenSha1sumAndCrc32(benchmark::State& State) {
    const QStringList Files = Tools();
    if (Files.size() < 5) State.SkipWithError("Debian's tools are not all installed");
    const QString Crc = QStringLiteral("import sys,zlib\nfor n in sys.argv[1:]:\n"
                                       " print('%08X' % zlib.crc32(open(n,'rb').read()))");
    for (auto _ : State) {
        QElapsedTimer T;
        T.start();
        QString Text;
        for (const QString& F : Files) Text += engine::GetFileInfoText(F, 18);
        const double Ours = bench_support::Seconds(T);
        QByteArray Sums, Crcs;
        const double Sha = bench_support::TimeProgram(QStringLiteral("sha1sum"), Files, &Sums);
        const double Py = bench_support::TimeProgram(QStringLiteral("/usr/bin/python3"),
                                                     QStringList{QStringLiteral("-c"), Crc} + Files, &Crcs);
        if (Sha < 0 || Py < 0) State.SkipWithError("peer failed");
        bool Same = true;
        for (const QByteArray& L : Sums.split('\n'))
            if (!L.isEmpty()) Same &= Text.contains(QString::fromLatin1(L.left(40)));
        for (const QByteArray& L : Crcs.split('\n'))
            if (!L.isEmpty()) Same &= Text.contains(QStringLiteral("$") + QString::fromLatin1(L));
        Agrees = (Agrees != 0 && Same) ? 1 : 0;
        Report.Add(Ours, Sha + Py);
        State.SetIterationTime(Ours);
    }
}

BENCHMARK(BM_FileReports_OursThenSha1sumAndCrc32)->Iterations(7)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    bool Ok = true;
    if (Agrees >= 0) Ok &= bench_support::Check("report checksums equal sha1sum's and Python's (1 = yes)", Agrees, ">=", 1);
    if (Report.Ours > 0)
        Ok &= bench_support::Check("report time / (sha1sum + crc32) time (best of 7)", Report.Ours / Report.Peer,
                                   "<=", 1.2);
    return Ok ? 0 : 1;
}
