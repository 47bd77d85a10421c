// bench/ComponentsPngListBench.cpp: the PNG image list. Building the main window's dimmed list (a copy
// of each glyph faded and added) must grow linearly: 500 glyphs at most 12x the time of 50; and adding
// a glyph must cost at most 4x adding the same picture to a plain image list as a bitmap (both end as
// an icon in the system list; ours also copies the PNG and builds a 32-bit picture of it). Inserting at the
// front remakes the system list each time (its icons are taken out and put back), so n insertions are
// quadratic: 500 at most 120x the time of 50 (100x is quadratic). Exits non-zero when a bound is missed.
// bench-libs: components vcl win rtl Qt6::Gui
#include "bench/BenchSupport.h"
#include "components/PngImageList.h"
#include "win/windows.h"

#include <memory>
#include <vector>

namespace {

using namespace components;

std::unique_ptr<vcl::TPngImage> Glyph(int Seed) {
    auto png = std::make_unique<vcl::TPngImage>();
    png->CreateBlank(vcl::COLOR_RGBALPHA, 8, 16, 16);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) png->SetPixels(x, y, vcl::TColor((Seed * 2654435761u + x * 97 + y) & 0xFFFFFF));
        for (int x = 0; x < 16; ++x) png->AlphaScanline(y)[x] = uint8_t((x * 16 + y) & 0xFF);
    }
    return png;
}

double Dimmed(int Count) {
    TPngImageList light(nullptr), dark(nullptr);
    for (int i = 0; i < Count; ++i) light.AddPng(Glyph(i).get());
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < light.PngImages()->Count(); ++i) {
        auto png = light.PngImages()->GetItem(i)->Duplicate();
        ScalePngOpacity(png.get(), 190);
        dark.AddPng(png.get(), vcl::clNone);
    }
    return bench_support::Seconds(t);
}

bench_support::TPair Dimmed50, Dimmed500, AddVsPlain;
double Insert[2] = {};

void BM_Dimmed(benchmark::State& State, int Count, bench_support::TPair* Keep) {
    for (auto _ : State) {
        const double s = Dimmed(Count);
        Keep->Add(s, s);
        State.SetIterationTime(s);
    }
}

void BM_AddVsPlain(benchmark::State& State) {
    std::vector<std::unique_ptr<vcl::TPngImage>> pngs;
    std::vector<std::unique_ptr<vcl::TBitmap>> bitmaps;
    for (int i = 0; i < 200; ++i) {
        pngs.push_back(Glyph(i));
        auto bmp = std::make_unique<vcl::TBitmap>();
        bmp->Assign(pngs.back().get());
        bitmaps.push_back(std::move(bmp));
    }
    for (auto _ : State) {
        TPngImageList ours(nullptr);
        vcl::TImageList plain(nullptr);
        QElapsedTimer t;
        t.start();
        for (auto& png : pngs) ours.AddPng(png.get());
        const double o = bench_support::Seconds(t);
        t.restart();
        for (auto& bmp : bitmaps) plain.Add(bmp.get(), nullptr);
        const double p = bench_support::Seconds(t);
        AddVsPlain.Add(o, p);
        State.SetIterationTime(o);
    }
}

void BM_InsertAtFront(benchmark::State& State, int Count, double* Best) {
    std::vector<std::unique_ptr<vcl::TPngImage>> pngs;
    for (int i = 0; i < Count; ++i) pngs.push_back(Glyph(i));
    for (auto _ : State) {
        TPngImageList list(nullptr);
        QElapsedTimer t;
        t.start();
        for (auto& png : pngs) list.InsertPng(0, png.get());
        const double s = bench_support::Seconds(t);
        if (*Best == 0 || s < *Best) *Best = s;
        State.SetIterationTime(s);
    }
}

} // namespace

BENCHMARK_CAPTURE(BM_Dimmed, 50, 50, &Dimmed50)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Dimmed, 500, 500, &Dimmed500)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AddVsPlain)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_InsertAtFront, 50, 50, &Insert[0])->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_InsertAtFront, 500, 500, &Insert[1])->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (!TwStartGui(&argc, argv, TRUE)) return 1;
    benchmark::Initialize(&argc, argv);
    bench_support::TKeepingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    bool ok = true;
    ok &= bench_support::Check("dimmed list of 500 glyphs / of 50 (best runs; linear is 10)",
                               Dimmed500.Ours / Dimmed50.Ours, "<=", 12);
    ok &= bench_support::Check("AddPng / plain image list Add of the same picture, 200 glyphs (best of 3)",
                               AddVsPlain.Ours / AddVsPlain.Peer, "<=", 4);
    std::printf("insertions at the front: 50 in %.2f ms, 500 in %.1f ms\n", Insert[0] * 1000, Insert[1] * 1000);
    ok &= bench_support::Check("500 insertions at the front / 50 (best runs; quadratic is 100)", Insert[1] / Insert[0],
                               "<=", 120);
    TwStopGui();
    return ok ? 0 : 1;
}
