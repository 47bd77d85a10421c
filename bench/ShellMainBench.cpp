// bench/ShellMainBench.cpp: the main window's file list, with no analysis (names, folders, sizes only).
// Adding 1,000 and 10,000 files by a file list and by a drop: ten times the files at most 12x the time;
// Remove Checked over half of them and a status text written to every row, the same bound; the controls'
// refresh (InitControls) over 10,000 rows under 16 ms; a folder of 10,000 files: the longest gap between
// two message pumps at most 100 ms, the whole add against `find -type f` over the folder (reported, bound
// 3x); 50 short files
// converted by Convert against a shell running the run's own script of the same encoder commands, less
// the run's fixed waits (two per row), at most 1.05x.
// Exits non-zero when a bound is missed.
// bench-libs: shell engine components vcl win rtl tw_qt Qt6::Gui
#include "app/engine/Procs.h"
#include "app/shell/FileListColumns.h"
#include "app/shell/FormMain.h"
#include "bench/BenchSupport.h"
#include "qt/QtBackend.h"
#include "win/windows.h"

#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <functional>

namespace {

using namespace shell;

QTemporaryDir Files;

// Count empty .webm files in one folder (made once).
QStringList MakeFiles(const QString& Folder, int Count) {
    QDir().mkpath(Folder);
    QStringList names;
    for (int i = 0; i < Count; ++i) {
        const QString f = QStringLiteral("%1/clip %2.webm").arg(Folder).arg(i, 5, 10, QLatin1Char('0'));
        if (!QFile::exists(f)) {
            QFile file(f);
            file.open(QIODevice::WriteOnly);
        }
        names << f;
    }
    return names;
}

QString MakeList(const QStringList& Names, const QString& ListFile) {
    QFile f(ListFile);
    f.open(QIODevice::WriteOnly);
    f.write("\xEF\xBB\xBF");
    for (const QString& n : Names) f.write((n + QStringLiteral("\r\n")).toUtf8());
    return ListFile;
}

using bench_support::Best;
using bench_support::Time;

struct TFigures {
    double List = 0, Drop = 0, Remove = 0, Status = 0;
};

TFigures Measure(TFormMain* W, int Count) {
    const QStringList names = MakeFiles(Files.filePath(QStringLiteral("flat")), Count);
    const QString list = MakeList(names, Files.filePath(QStringLiteral("files%1.lst").arg(Count)));
    const int rounds = 3;
    auto clear = [W] { W->actClearFileListExecute(nullptr); };
    TFigures f;
    f.List = Best(rounds, clear, [&] {
        W->LoadFileList(list);
        W->InitControls();
    });
    f.Drop = Best(rounds, clear, [&] { W->DropFiles(names); });
    auto halfChecked = [&] {
        if (W->ng->RowCount() != Count) W->DropFiles(names);
        for (int r = 0; r < W->ng->RowCount(); ++r) W->ng->GetCell(colActive, r)->SetAsBoolean(r % 2 == 0);
    };
    f.Remove = Best(rounds, halfChecked, [&] { W->actRemoveCheckedExecute(nullptr); });
    f.Status = Best(rounds, [&] {
        if (W->ng->RowCount() != Count) {
            clear();
            W->DropFiles(names);
        } }, [&] {
        for (int r = 0; r < W->ng->RowCount(); ++r) W->ng->GetCell(colStatus, r)->SetAsString(QStringLiteral("Done"));
        vcl::Application->ProcessMessages();
    });
    if (W->ng->RowCount() != Count) std::printf("rows %d, expected %d\n", W->ng->RowCount(), Count);
    return f;
}

// Ours (less the fixed waits) and the shell's time for 50 one-second files to MP3; false without ffmpeg.
bool ConvertFifty(TFormMain* W, double& Ours, double& Shell) {
    const QString dir = Files.filePath(QStringLiteral("convert"));
    QDir().mkpath(dir);
    QStringList inputs;
    for (int i = 0; i < 50; ++i) {
        const QString f = QStringLiteral("%1/tone %2.webm").arg(dir).arg(i, 2, 10, QLatin1Char('0'));
        const QStringList args = {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-y"), QStringLiteral("-f"),
                                  QStringLiteral("lavfi"), QStringLiteral("-i"),
                                  QStringLiteral("sine=frequency=%1:duration=1").arg(300 + 10 * i), QStringLiteral("-c:a"),
                                  QStringLiteral("libopus"), f};
        if (bench_support::TimeProgram(QStringLiteral("ffmpeg"), args) < 0) return false;
        inputs << f;
    }
    W->actClearFileListExecute(nullptr);
    W->DropFiles(inputs);
    W->EncoderPanel.cbOutputFormat.SetItemIndex(engine::ofMP3);
    W->EncoderPanel.cbOutputExists.SetItemIndex(engine::opOverwrite);
    const QString script = dir + QStringLiteral("/run.sh");
    W->bSaveAsBatch = true;
    W->BatchFileName = script;
    W->actConvertExecute(nullptr);
    W->bSaveAsBatch = false;
    if (!QFile::exists(script)) return false;
    const double waits = 50 * 2 * engine::TConversionRun::RowWaitMs / 1000.0;
    Ours = Shell = 0;
    for (int round = 0; round < 2; ++round) {
        const double ours = Time([&] { W->actConvertExecute(nullptr); }) - waits;
        const double shell = bench_support::TimeProgram(QStringLiteral("/bin/sh"), {script});
        if (W->LastRun.Failed > 0 || shell < 0) return false;
        if (Ours == 0 || ours < Ours) Ours = ours;
        if (Shell == 0 || shell < Shell) Shell = shell;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (!TwStartGui(&argc, argv, TRUE) || !twqt::Install()) return 1;
    QTemporaryDir program;
    engine::SetProgramDirOverride(program.path());
    StartArgs = QStringList();
    vcl::Application->Initialize();
    bool ok = true;

    // (The start to a shown window is timed as a fresh process: ShellStartBench.)
    TFormMain* w = nullptr;
    vcl::Application->CreateForm(w);
    w->Show();
    vcl::Application->ProcessMessages();
    engine::AppParams.FileAnalysis = engine::faNone;
    engine::AppParams.DragAcceptDirectories = true;

    // TW_BENCH_ONLY=list, folder or convert: that part alone (for a profiler).
    const QByteArray only = qgetenv("TW_BENCH_ONLY");
    auto part = [&](const char* Name) { return only.isEmpty() || only == Name; };

    if (part("list")) {
        const TFigures small = Measure(w, 1000), large = Measure(w, 10000);
        std::printf("1,000 files: list %.1f ms, drop %.1f ms, remove half %.1f ms, statuses %.2f ms\n", small.List * 1e3,
                    small.Drop * 1e3, small.Remove * 1e3, small.Status * 1e3);
        std::printf("10,000 files: list %.1f ms, drop %.1f ms, remove half %.1f ms, statuses %.2f ms\n", large.List * 1e3,
                    large.Drop * 1e3, large.Remove * 1e3, large.Status * 1e3);

        // The controls over 10,000 rows, a third of them selected.
        w->actClearFileListExecute(nullptr);
        w->DropFiles(MakeFiles(Files.filePath(QStringLiteral("flat")), 10000));
        for (int r = 0; r < w->ng->RowCount(); r += 3) w->ng->SetSelected(r, true);
        const double init = Best(9, [] {}, [&] { w->InitControls(); });
        ok &= bench_support::Check("list: 10,000 files / 1,000 files", large.List / small.List, "<=", 12);
        ok &= bench_support::Check("drop: 10,000 files / 1,000 files", large.Drop / small.Drop, "<=", 12);
        ok &= bench_support::Check("Remove Checked: 10,000 rows / 1,000 rows", large.Remove / small.Remove, "<=", 12);
        ok &= bench_support::Check("statuses: 10,000 rows / 1,000 rows", large.Status / small.Status, "<=", 12);
        ok &= bench_support::Check("InitControls on 10,000 rows, ms", init * 1e3, "<=", 16);
    }

    if (part("folder")) {
        // A folder of 10,000 files in 100 sub-folders: the gaps between pumps, seen by a timer that fires
        // whenever the queue is pumped.
        const QString folder = Files.filePath(QStringLiteral("tree"));
        for (int d = 0; d < 100; ++d) MakeFiles(QStringLiteral("%1/sub%2").arg(folder).arg(d, 3, 10, QLatin1Char('0')), 100);
        ::sync();
        const double find = Best(5, [] {}, [&] {
            bench_support::TimeProgram(QStringLiteral("find"), {folder, QStringLiteral("-type"), QStringLiteral("f")});
        });
        double gap = 0;
        QElapsedTimer sinceFire;
        QTimer pumpWatch;
        pumpWatch.setInterval(0);
        QObject::connect(&pumpWatch, &QTimer::timeout, [&] {
            if (sinceFire.isValid()) gap = std::max(gap, bench_support::Seconds(sinceFire));
            sinceFire.start();
        });
        const double add = Best(only.isEmpty() ? 3 : 20, [&] { w->actClearFileListExecute(nullptr); }, [&] {
            pumpWatch.start();
            sinceFire.invalidate();
            bStopAdding = false;
            w->AddFolder(folder, true);
            w->InitControls();
            pumpWatch.stop();
        });
        if (w->ng->RowCount() != 10000) std::printf("folder rows %d, expected 10000\n", w->ng->RowCount());
        ok &= bench_support::Check("folder of 10,000: longest gap between pumps, ms", gap * 1e3, "<=", 100);
        std::printf("folder of 10,000: add %.1f ms, find -type f %.1f ms\n", add * 1e3, find * 1e3);
        ok &= bench_support::Check("folder of 10,000: add / find -type f", add / find, "<=", 3);
    }

    double ours = 0, shell = 0;
    if (!part("convert")) {
    } else if (ConvertFifty(w, ours, shell)) {
        std::printf("50 files by Convert %.2f s beyond the fixed waits, the same commands by the shell %.2f s\n", ours, shell);
        ok &= bench_support::Check("50 files: Convert less its fixed waits / the shell's loop", ours / shell, "<=", 1.05);
    } else {
        std::printf("50 files by Convert: not measured (no ffmpeg, or the run failed)\n");
    }

    w->Close();
    delete w;
    engine::SetProgramDirOverride({});
    twqt::Uninstall();
    TwStopGui();
    return ok ? 0 : 1;
}
