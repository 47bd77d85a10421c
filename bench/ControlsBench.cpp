// bench/ControlsBench.cpp: the styled panels' per-pixel drawing at 4K width, against frame budgets.
// The glow header and the glass shine of a header 3840 x 24 must each take at most 4 ms (a quarter of
// a 60 Hz frame); the main window's six flip panels at that width (glow header and 100-row gradient
// body each) at most two frames. The solid fill of the same header through the same device context is
// printed beside them, as the platform's floor. Exits non-zero when a bound is missed.
// bench-libs: controls vcl win rtl Qt6::Gui
#include "bench/BenchSupport.h"
#include "controls/RgSharedDraw.h"
#include "win/windows.h"


namespace {

using namespace controls;

constexpr int kWidth = 3840;
bench_support::TPair Panels, Shine, Glow;

double FillSeconds(vcl::TBitmap& Bmp, const TRect& R) {
    QElapsedTimer t;
    t.start();
    Bmp.Canvas()->Brush()->SetColor(0x808080);
    Bmp.Canvas()->FillRect(R);
    GdiFlush();
    return bench_support::Seconds(t);
}

void BM_SixFlipPanels(benchmark::State& State) {
    vcl::TBitmap bmp;
    bmp.SetPixelFormat(vcl::pf32bit);
    bmp.SetSize(kWidth, 6 * 124);
    for (auto _ : State) {
        QElapsedTimer t;
        t.start();
        for (int i = 0; i < 6; ++i) {
            const int top = i * 124;
            DrawGlowGradient(bmp.Canvas(), TRect(2, top + 2, kWidth - 2, top + 22), vcl::clBtnFace, vcl::clWindow, 10);
            DrawTopBottomGradient(bmp.Canvas(), TRect(0, top + 24, kWidth, top + 124), vcl::clWindow, 0xC0C0C0);
        }
        GdiFlush();
        const double ours = bench_support::Seconds(t);
        Panels.Add(ours, ours);
        State.SetIterationTime(ours);
    }
}

void BM_Header(benchmark::State& State, bool ShineOnly, bench_support::TPair* Pair) {
    vcl::TBitmap bmp;
    bmp.SetPixelFormat(vcl::pf32bit);
    bmp.SetSize(kWidth, 48);
    const TRect header(0, 0, kWidth, 24);
    for (auto _ : State) {
        QElapsedTimer t;
        t.start();
        if (ShineOnly)
            DrawGlassShine(bmp.Canvas(), TRect(0, 0, kWidth, 48));
        else
            DrawGlowGradient(bmp.Canvas(), header, vcl::clBtnFace, vcl::clWindow, 12);
        GdiFlush();
        const double ours = bench_support::Seconds(t);
        Pair->Add(ours, FillSeconds(bmp, header));
        State.SetIterationTime(ours);
    }
}

} // namespace

BENCHMARK(BM_SixFlipPanels)->Iterations(10)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Header, Shine, true, &Shine)->Iterations(20)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Header, Glow, false, &Glow)->Iterations(20)->UseManualTime()->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (!TwStartGui(&argc, argv, TRUE)) return 1;
    benchmark::Initialize(&argc, argv);
    bench_support::TKeepingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    bool ok = true;
    ok &= bench_support::Check("six flip panels 3840 wide, ms (best of 10)", Panels.Ours * 1000, "<=", 2000.0 / 60);
    ok &= bench_support::Check("glass shine 3840x24, ms (best of 20)", Shine.Ours * 1000, "<=", 4);
    ok &= bench_support::Check("glow header 3840x24, ms (best of 20)", Glow.Ours * 1000, "<=", 4);
    bench_support::Check("solid fill 3840x24, ms (best of 20; for comparison)", Glow.Peer * 1000, "<=", 4);
    TwStopGui();
    return ok ? 0 : 1;
}
