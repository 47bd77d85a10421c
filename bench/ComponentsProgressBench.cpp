// bench/ComponentsProgressBench.cpp: the progress bar repaints itself on every position the encoder
// reports, on the GUI thread. One whole paint of a 400 x 20 bar (off-screen bitmap, stacked gradient
// segments, blocks, text, copy) must stay under 1 ms; a QPainter fill of the same bar with two linear
// gradients and its text is printed beside it for scale. Exits non-zero when a bound is missed.
// bench-libs: components vcl win rtl Qt6::Gui
#include "bench/BenchSupport.h"
#include "components/PlusProgressBar.h"
#include "win/windows.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>

namespace {

using namespace components;

bench_support::TPair Stacked, Blocks;

TGaugeSettings Settings(vcl::TFont* Font, bool Stack, int Percent) {
    return TGaugeSettings{0x00FF00, 0xE1FFE1, 0x00FFFF, 0xCAFFFF, 0x53A9FF, 0xA8D3FF, 0x0000FF, 0xCACAFF,
                          70, 90, 0x808080, vcl::clNone, vcl::clNone, vcl::clNone, true, Stack, true, true, Font,
                          false, true, Stack ? 4 : 8, Percent, Percent, 100, 0xFFFFFF, goHorizontal, false, QString(),
                          false, 0};
}

double QtPaint(QImage& Target, int Percent) {
    QElapsedTimer t;
    t.start();
    QImage work(400, 20, QImage::Format_RGB32);
    {
        QPainter p(&work);
        p.fillRect(work.rect(), Qt::white);
        p.setPen(Qt::gray);
        p.drawRect(0, 0, 399, 19);
        const int len = 398 * Percent / 100;
        QLinearGradient top(0, 1, 0, 10), bottom(0, 10, 0, 19);
        top.setColorAt(0, QColor(0xE1, 0xFF, 0xE1));
        top.setColorAt(1, QColor(0, 0xFF, 0));
        bottom.setColorAt(0, QColor(0, 0xFF, 0));
        bottom.setColorAt(1, QColor(0xE1, 0xFF, 0xE1));
        p.fillRect(1, 1, len, 9, top);
        p.fillRect(1, 10, len, 9, bottom);
        p.drawText(work.rect(), Qt::AlignCenter, QStringLiteral("%1%").arg(Percent));
    }
    QPainter(&Target).drawImage(0, 0, work);
    return bench_support::Seconds(t);
}

void BM_Paint(benchmark::State& State, bool Stack, bench_support::TPair* Pair) {
    vcl::TFont font;
    font.SetStyle(vcl::TFontStyles{vcl::fsBold});
    vcl::TBitmap target;
    target.SetPixelFormat(vcl::pf32bit);
    target.SetSize(400, 20);
    QImage peer(400, 20, QImage::Format_RGB32);
    int percent = 0;
    for (auto _ : State) {
        percent = percent % 100 + 1;
        QElapsedTimer t;
        t.start();
        vcl::TBitmap work;
        work.SetPixelFormat(vcl::pf24bit);
        work.SetSize(400, 20);
        DrawGauge(work.Canvas(), vcl::TRect(0, 0, 400, 20), Settings(&font, Stack, percent));
        target.Canvas()->Draw(0, 0, &work);
        GdiFlush();
        const double ours = bench_support::Seconds(t);
        Pair->Add(ours, QtPaint(peer, percent));
        State.SetIterationTime(ours);
    }
}

} // namespace

BENCHMARK_CAPTURE(BM_Paint, stacked, true, &Stacked)->Iterations(200)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Paint, blocks, false, &Blocks)->Iterations(200)->UseManualTime()->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    if (!TwStartGui(&argc, argv, TRUE)) return 1;
    benchmark::Initialize(&argc, argv);
    bench_support::TKeepingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    bool ok = true;
    ok &= bench_support::Check("stacked bar paint, 400x20, ms (best of 200)", Stacked.Ours * 1e3, "<=", 1);
    ok &= bench_support::Check("block bar paint, 400x20, ms (best of 200)", Blocks.Ours * 1e3, "<=", 1);
    // For scale only: QPainter draws straight into an image, the bar goes through the device contexts,
    // an off-screen bitmap and its copy. The bound that matters is the time per paint above.
    std::printf("%-60s %8.3f\n", "stacked bar paint / QPainter gradients and text", Stacked.Ours / Stacked.Peer);
    TwStopGui();
    return ok ? 0 : 1;
}
