// bench/ShellStyleBench.cpp: the main window's dimmed toolbar pictures, remade when the style turns
// dark. Over the toolbar's set (about 60 pictures) it must take under 50 ms, and twice the pictures at
// most 2.4x the time. Exits non-zero when a bound is missed.
// bench-libs: shell components vcl win rtl Qt6::Gui
#include "app/shell/MainStyle.h"
#include "bench/BenchSupport.h"
#include "components/PngImageList.h"
#include "win/windows.h"

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

} // namespace

BENCHMARK_CAPTURE(BM_Dark, 60, 60, &Best[0])->Iterations(7)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Dark, 120, 120, &Best[1])->Iterations(7)->UseManualTime()->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (!TwStartGui(&argc, argv, TRUE)) return 1;
    benchmark::Initialize(&argc, argv);
    bench_support::TKeepingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    bool ok = true;
    ok &= bench_support::Check("dimmed set of 60 pictures, ms (best of 7)", Best[0] * 1000, "<", 50);
    ok &= bench_support::Check("dimmed set of 120 pictures / of 60 (best runs)", Best[1] / Best[0], "<=", 2.4);
    TwStopGui();
    return ok ? 0 : 1;
}
