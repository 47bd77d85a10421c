// bench/ShellStyleBench.cpp: the main window and the style. The dimmed toolbar pictures, remade when
// the style turns dark: over the toolbar's set (about 60 pictures) under 50 ms, and twice the pictures
// at most 2.4x the time. A style switch across the windows (main, options, file information, progress,
// error log, tools information, command line, About, update check, folder-list editor) at most twice one
// full repaint of them. Exits non-zero when a bound is missed.
// bench-libs: shell engine components vcl win rtl tw_qt Qt6::Gui
#include "app/engine/Procs.h"
#include "app/shell/MainStyle.h"
#include "bench/ShellBenchWindows.h"
#include "components/PngImageList.h"
#include "qt/QtBackend.h"
#include "win/windows.h"

#include <QDir>
#include <QTemporaryDir>

#include <memory>

namespace {

using components::TPngImageList;

void Fill(TPngImageList& List, int Count) {
    for (int i = 0; i < Count; ++i) {
        vcl::TPngImage png;
        png.CreateBlank(vcl::COLOR_RGBALPHA, 8, 16, 16);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                png.SetPixels(x, y, vcl::TColor((i * 2654435761u + x * 97 + y) & 0xFFFFFF));
                png.AlphaScanline(y)[x] = uint8_t((x * 16 + y) & 0xFF);
            }
        List.AddPng(&png);
    }
}

double Best[2] = {};

void BM_Dark(benchmark::State& State, int Count, double* Keep) {
    TPngImageList light(nullptr), dark(nullptr);
    Fill(light, Count);
    for (auto _ : State) {
        QElapsedTimer t;
        t.start();
        shell::PrepareImageList_Dark(&light, &dark);
        const double s = bench_support::Seconds(t);
        if (*Keep == 0 || s < *Keep) *Keep = s;
        State.SetIterationTime(s);
    }
}

void StyleSwitch(double& Switch, double& Repaint) {
    QTemporaryDir program;
    engine::SetProgramDirOverride(program.path());
    shell::StartArgs = QStringList();
    vcl::Application->Initialize();
    using namespace shell;
    const std::vector<vcl::TForm*> forms = bench_support::MakeTheTenWindows();
    Switch = Repaint = 0;
    const char* const styles[] = {"Carbon", "Windows", "Luna", "Auric"};
    for (int i = 0; i < 12; ++i) {
        QElapsedTimer t;
        t.start();
        ChangeVisualStyle(QString::fromLatin1(styles[i % 4]));
        const double s = bench_support::Seconds(t);
        const double r = bench_support::RepaintAll(forms);
        if (Switch == 0 || s < Switch) Switch = s;
        if (Repaint == 0 || r < Repaint) Repaint = r;
    }
    for (vcl::TForm* f : forms) f->Hide();
    delete forms.front(); // the others go with the application
    engine::SetProgramDirOverride({});
}

} // namespace

BENCHMARK_CAPTURE(BM_Dark, 60, 60, &Best[0])->Iterations(7)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Dark, 120, 120, &Best[1])->Iterations(7)->UseManualTime()->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (!TwStartGui(&argc, argv, TRUE) || !twqt::Install()) return 1;
    benchmark::Initialize(&argc, argv);
    bench_support::TKeepingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    bool ok = true;
    ok &= bench_support::Check("dimmed set of 60 pictures, ms (best of 7)", Best[0] * 1000, "<=", 50);
    ok &= bench_support::Check("dimmed set of 120 pictures / of 60 (best runs)", Best[1] / Best[0], "<=", 2.4);
    double switchTime = 0, repaint = 0;
    StyleSwitch(switchTime, repaint);
    std::printf("style switch across ten windows %.2f ms, one full repaint of them %.2f ms\n", switchTime * 1e3,
                repaint * 1e3);
    ok &= bench_support::Check("style switch / full repaint of the ten windows (best of 12)", switchTime / repaint, "<=", 2);
    twqt::Uninstall();
    TwStopGui();
    return ok ? 0 : 1;
}
