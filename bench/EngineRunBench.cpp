// bench/EngineRunBench.cpp: the conversion run against a shell loop, and output naming by row count.
//  - 50 short WebM files converted to MP3 by the run (unattended, no window), against /bin/sh running
//    the same encoder commands: the run's batch script, with the encoder's "-i" report of each input
//    that the run's analysis makes. The run's fixed waits (2 x 150 ms a row) are taken off its time;
//    the rest must stay within 1.05 times the loop. Each iteration times both back to back; the best
//    pair counts, as the machine's load drifts.
//  - Naming 100, 1,000 and 10,000 rows, with and without -OUTFILE, outputs existing and not: ten times
//    the rows must cost at most 15 times the time.
// bench-libs: engine
#include "bench/BenchSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/resource.h>

#include "app/engine/ConRun.h"
#include "app/engine/Conversion.h"
#include "app/engine/OutputNames.h"
#include "app/engine/Procs.h"
#include "rtl/Files.h"

namespace {

constexpr int Files = 50;

QTemporaryDir& Work() {
    static QTemporaryDir dir;
    return dir;
}

// The inputs, made once: 0.5 s of tone under a small picture.
QStringList Inputs() {
    static QStringList inputs;
    if (!inputs.isEmpty()) return inputs;
    const QString first = Work().filePath("in/input_00.webm");
    QDir().mkpath(Work().filePath("in"));
    QProcess p;
    p.start("ffmpeg", {"-v", "error", "-y", "-f", "lavfi", "-i", "testsrc=size=64x48:rate=10:duration=0.5", "-f", "lavfi",
                       "-i", "sine=frequency=440:sample_rate=48000:duration=0.5", "-c:v", "libvpx-vp9", "-deadline",
                       "realtime", "-c:a", "libopus", "-shortest", first});
    if (!p.waitForFinished(-1) || p.exitCode() != 0) return {};
    inputs << first;
    for (int i = 1; i < Files; ++i) {
        const QString name = Work().filePath(QString("in/input_%1.webm").arg(i, 2, 10, QChar('0')));
        QFile::copy(first, name);
        inputs << name;
    }
    return inputs;
}

engine::TFileRows Rows() {
    engine::TFileRows rows;
    for (const QString& f : Inputs()) {
        engine::TFileRow r;
        r.Info.FileName = f;
        rows.Rows.push_back(r);
    }
    return rows;
}

bench_support::TPair Conversion;

// Processor seconds of this process and of the children it has waited for, so far.
double CpuSeconds() {
    auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    rusage self{}, children{};
    getrusage(RUSAGE_SELF, &self);
    getrusage(RUSAGE_CHILDREN, &children);
    return seconds(self.ru_utime) + seconds(self.ru_stime) + seconds(children.ru_utime) + seconds(children.ru_stime);
}

void BM_Convert50Files(benchmark::State& State) {
    if (Inputs().size() != Files) {
        State.SkipWithError("ffmpeg could not make the inputs");
        return;
    }
    engine::InitAppParams(engine::AppParams);
    engine::GetFFmpegExe(engine::AppParams); // as at start-up: the analysis library too
    engine::GetMediaInfoDll(engine::AppParams);
    engine::AppParams.RunParams.bAutoConvert = true;
    engine::AppParams.RunParams.Silent = 1;
    engine::AppParams.RunParams.Overwrite = engine::opOverwrite;
    engine::AppParams.RunParams.bOverwriteParams = true;
    engine::TEncoderPanel panel;
    engine::TConversionView view;

    // The same commands as a shell script: the run's own batch script, plus the reports.
    const QString script = Work().filePath("loop.sh");
    {
        engine::AppParams.RunParams.OutDir = Work().filePath("out-loop");
        engine::TFileRows rows = Rows();
        engine::TConversionRun batch(panel, rows, view);
        batch.bSaveAsBatch = true;
        batch.BatchFileName = script;
        batch.Execute();
        QFile f(script);
        f.open(QIODevice::ReadOnly);
        QString text = QString::fromUtf8(f.readAll());
        f.close();
        QString reports;
        for (const QString& in : Inputs()) reports += "\"$ffmpeg\" -i " + engine::ShellQuote(in) + " 2>/dev/null\n";
        text.replace("\"$ffmpeg\" '-y'", "\"$ffmpeg\" -nostdin '-y'");
        const int first = text.indexOf("# //////// file 1");
        text.insert(first, reports);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(text.toUtf8());
    }

    auto runOnce = [&](double& Wall, double& Cpu) {
        engine::AppParams.RunParams.OutDir = Work().filePath("out-run");
        engine::TFileRows rows = Rows();
        engine::TConversionRun run(panel, rows, view);
        run.ErrorOutput = [](const rtl::String&) {};
        const double cpu0 = CpuSeconds();
        QElapsedTimer t;
        t.start();
        const engine::TRunResult r = run.Execute();
        Wall = bench_support::Seconds(t) - Files * 2 * engine::TConversionRun::RowWaitMs / 1000.0;
        Cpu = CpuSeconds() - cpu0;
        return r.Converted == Files;
    };
    auto loopOnce = [&](double& Wall, double& Cpu) {
        QDir().mkpath(Work().filePath("out-loop"));
        const double cpu0 = CpuSeconds();
        Wall = bench_support::TimeProgram("/bin/sh", {script});
        Cpu = CpuSeconds() - cpu0;
        return Wall >= 0;
    };

    // The machine is shared and its load drifts over minutes: each iteration times the run and the
    // loop back to back, in alternating order, and the pair with the lowest ratio counts.
    double bestRatio = 0, cpuRatio = 0;
    int iteration = 0;
    for (auto _ : State) {
        double ours = 0, loop = 0, oursCpu = 0, loopCpu = 0;
        bool ok = true;
        if (iteration++ % 2 == 0) {
            ok &= runOnce(ours, oursCpu);
            ok &= loopOnce(loop, loopCpu);
        } else {
            ok &= loopOnce(loop, loopCpu);
            ok &= runOnce(ours, oursCpu);
        }
        if (!ok) State.SkipWithError("a conversion failed");
        const double ratio = ours / loop;
        if (bestRatio == 0 || ratio < bestRatio) {
            bestRatio = ratio;
            Conversion = bench_support::TPair{ours, loop};
        }
        if (loopCpu > 0 && (cpuRatio == 0 || oursCpu / loopCpu < cpuRatio)) cpuRatio = oursCpu / loopCpu;
        State.SetIterationTime(ours);
    }
    State.counters["run_s"] = Conversion.Ours;
    State.counters["loop_s"] = Conversion.Peer;
    // What a row costs the run beyond the loop's commands (analysis, process handling, naming).
    State.counters["extra_ms_per_row"] = (Conversion.Ours - Conversion.Peer) * 1000.0 / Files;
    // Processor time (ours and the children's) is much less sensitive to the machine's load.
    State.counters["cpu_ratio"] = cpuRatio;
}
BENCHMARK(BM_Convert50Files)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

// ---- naming ------------------------------------------------------------------------------------------

std::map<std::string, double> NamingSeconds;

void Naming(benchmark::State& State, bool OutFile, bool Existing) {
    const int rows = int(State.range(0));
    const QString dir = Work().filePath(QString("names-%1-%2-%3").arg(rows).arg(OutFile).arg(Existing));
    QDir().mkpath(dir);
    if (Existing) {
        for (int i = 0; i < rows; ++i) {
            const QString name = OutFile ? (i == 0 ? QString("all.mp3") : QString("all_%1.mp3").arg(i, 3, 10, QChar('0')))
                                         : QString("in_%1.mp3").arg(i);
            QFile f(dir + '/' + name);
            f.open(QIODevice::WriteOnly);
        }
    }
    engine::TEncoderPanel panel;
    engine::TRunParams params;
    params.bAutoConvert = true;
    params.OutDir = dir;
    if (OutFile) params.OutFile = "all.mp3";
    double best = 0;
    for (auto _ : State) {
        engine::TOutputNamer namer(panel, params, false);
        QElapsedTimer t;
        t.start();
        for (int i = 0; i < rows; ++i) {
            engine::TFileRowInfo row;
            row.FileName = QString("/music/in_%1.webm").arg(i);
            rtl::String status, err;
            namer.GetOutputFileName(row, ".mp3", false, status, err);
            if (!err.isEmpty()) State.SkipWithError("naming failed");
        }
        const double s = bench_support::Seconds(t);
        if (best == 0 || s < best) best = s;
        State.SetIterationTime(s);
    }
    NamingSeconds[std::string(OutFile ? "outfile" : "names") + (Existing ? "-existing-" : "-") + std::to_string(rows)] = best;
}

void BM_NameRows(benchmark::State& State) { Naming(State, false, false); }
void BM_NameRowsExisting(benchmark::State& State) { Naming(State, false, true); }
void BM_NameRowsOutFile(benchmark::State& State) { Naming(State, true, false); }
void BM_NameRowsOutFileExisting(benchmark::State& State) { Naming(State, true, true); }
BENCHMARK(BM_NameRows)->Arg(100)->Arg(1000)->Arg(10000)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NameRowsExisting)->Arg(100)->Arg(1000)->Arg(10000)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NameRowsOutFile)->Arg(100)->Arg(1000)->Arg(10000)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NameRowsOutFileExisting)->Arg(100)->Arg(1000)->Arg(10000)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    rtl::InitParams(argc, argv);
    engine::KeepHeapForOutputLists();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    bool ok = true;
    if (Conversion.Ours > 0 && Conversion.Peer > 0)
        ok &= bench_support::Check("run (less its fixed waits) / shell loop, 50 files", Conversion.Ours / Conversion.Peer,
                                   "<=", 1.05);
    for (const char* kind : {"names-", "names-existing-", "outfile-", "outfile-existing-"}) {
        const double t100 = NamingSeconds[std::string(kind) + "100"], t1k = NamingSeconds[std::string(kind) + "1000"],
                     t10k = NamingSeconds[std::string(kind) + "10000"];
        if (t100 > 0 && t1k > 0 && t10k > 0) {
            ok &= bench_support::Check((std::string("naming ") + kind + "10000 / 1000 rows").c_str(), t10k / t1k, "<=", 15);
            ok &= bench_support::Check((std::string("naming ") + kind + "1000 / 100 rows").c_str(), t1k / t100, "<=", 15);
        }
    }
    return ok ? 0 : 1;
}
