// bench/EngineParamsBench.cpp: the encoding parameters of a row, which locate the encoder and the player
// each time, with the player missing and 10,000 folders beside the program folder that the descriptor
// search would walk, against the same with the player in the program's tools folder. The missing player
// is searched for once in a run, so a row costs at most twice a row with the player present (best of
// five runs of 1,000 rows each). Prints the numbers, and the first row's (the one search) for a reader;
// exits non-zero when the bound is missed.
// bench-libs: engine
#include "bench/BenchSupport.h"

#include "app/engine/EncoderParams.h"
#include "app/engine/Procs.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

bool MakeTool(const QString& Path) {
    QDir().mkpath(QFileInfo(Path).path());
    QFile f(Path);
    if (!f.open(QIODevice::WriteOnly)) return false;
    f.write("#!/bin/sh\n");
    f.close();
    return f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// Rows rows' parameters; the wall time in seconds.
double Rows(engine::TAppParams& Params, int Rows) {
    engine::TEncoderPanel panel;
    engine::TVideoFileInfo info;
    info.SetFileName(QStringLiteral("/music/song.webm"));
    info.Seconds = 200;
    info.NumberOfAudioStreams = 1;
    info.AudioStreams[0].Exists = true;
    info.AudioStreams[0].Codec = QStringLiteral("Opus");
    info.AudioStreams[0].CodecFF = QStringLiteral("opus");
    QElapsedTimer t;
    t.start();
    for (int r = 0; r < Rows; ++r) {
        engine::TEncodingParams ep;
        engine::GetEncodingParams(panel, info, ep, false, nullptr, Params);
        benchmark::DoNotOptimize(ep);
    }
    return bench_support::Seconds(t);
}

} // namespace

int main() {
    QTemporaryDir root;
    const QString near = root.path() + QStringLiteral("/apps"),
                  program = near + QStringLiteral("/tunewright");
    // 100 folders of 100 each beside the program: within the search's three levels.
    for (int i = 0; i < 100; ++i)
        for (int k = 0; k < 100; ++k)
            if (!QDir().mkpath(QStringLiteral("%1/lib%2/part%3").arg(near).arg(i).arg(k))) return 1;
    QDir().mkpath(program);
    QDir().mkpath(root.path() + QStringLiteral("/bin"));
    qputenv("PATH", QFile::encodeName(root.path() + QStringLiteral("/bin"))); // no system player either
    engine::SetProgramDirOverride(program);
    engine::TAppParams params;
    engine::InitAppParams(params);
    const QString ffplay = params.ffplay;
    if (!MakeTool(params.ffmpeg)) return 1;

    // Missing: the first row searches, the others know.
    engine::ForgetMissingTools();
    const double first = Rows(params, 1);
    if (!params.ffplay.isEmpty()) {
        std::fprintf(stderr, "the player was found: %s\n", qPrintable(params.ffplay));
        return 1;
    }
    double missing = 1e9, present = 1e9;
    const int rows = 1000;
    for (int round = 0; round < 5; ++round) missing = std::min(missing, Rows(params, rows));
    if (!MakeTool(ffplay)) return 1;
    for (int round = 0; round < 5; ++round) present = std::min(present, Rows(params, rows));
    if (params.ffplay != ffplay) {
        std::fprintf(stderr, "the player in the tools folder was not found\n");
        return 1;
    }
    std::printf("first row with the player missing (the one search of 10,000 folders) %.2f ms\n",
                first * 1000);
    std::printf("%d rows: player missing %.2f ms, player present %.2f ms\n", rows, missing * 1000,
                present * 1000);
    const bool ok = bench_support::Check("rows, player missing / present", missing / present, "<=", 2);
    engine::SetProgramDirOverride({});
    return ok ? 0 : 1;
}
