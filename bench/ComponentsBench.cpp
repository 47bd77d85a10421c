// bench/ComponentsBench.cpp: the component packs' drawing core. Tokenizing and laying out a 100 KB
// mark-up text must grow linearly (against 10 KB: at most 12x) and take at most 3x the time of
// QTextDocument::setHtml plus layout of the same text written as HTML; a 1920x1080 vertical gradient
// must take at most 2x a QPainter fill of a linear gradient of that size. Texts made of brackets only
// show the tokenizer's cost does not grow with the distance to the next ">". Prints the ratios; exits
// non-zero when a bound is missed.
// bench-libs: components vcl win rtl Qt6::Gui
#include "bench/BenchSupport.h"
#include "components/Gradient.h"
#include "components/HTMLText2.h"
#include "win/windows.h"

#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QTextDocument>

namespace {

using namespace components;

// One paragraph in both languages; the texts repeat it up to the size asked for.
QString Text(int Bytes, bool Html) {
    const QString markup = QStringLiteral(
        "<b>Section</b> with some plain words, <fc:#C03020>a coloured run</fc> &amp; an entity, "
        "<a:https://example.org/a/b>a link to follow</a> and <i>slanted text</i> on a line.<br>"
        "<li>first item of a list that wraps round at the right edge of the area<br>");
    const QString html = QStringLiteral(
        "<b>Section</b> with some plain words, <font color=#C03020>a coloured run</font> &amp; an entity, "
        "<a href=\"https://example.org/a/b\">a link to follow</a> and <i>slanted text</i> on a line.<br>"
        "<li>first item of a list that wraps round at the right edge of the area</li>");
    QString out;
    while (out.size() < Bytes) out += Html ? html : markup;
    return out;
}

double LayoutSeconds(const QString& Markup) {
    vcl::TBitmap bmp;
    bmp.SetSize(8, 8);
    THqHLayoutSettings lb;
    lb.Width = 600;
    lb.Text = Markup;
    THqHLayout out;
    QElapsedTimer t;
    t.start();
    RebuildLayout(lb, bmp.Canvas(), out);
    benchmark::DoNotOptimize(out.TextHeight);
    return bench_support::Seconds(t);
}

double TextDocumentSeconds(const QString& Html) {
    QElapsedTimer t;
    t.start();
    QTextDocument doc;
    doc.setTextWidth(600);
    doc.setHtml(Html);
    benchmark::DoNotOptimize(doc.documentLayout()->documentSize().height());
    return bench_support::Seconds(t);
}

bench_support::TPair Markup10k, Markup100k, Gradient, Brackets;

void BM_Markup(benchmark::State& State, int Bytes, bench_support::TPair* Pair) {
    const QString markup = Text(Bytes, false), html = Text(Bytes, true);
    for (auto _ : State) {
        const double ours = LayoutSeconds(markup), peer = TextDocumentSeconds(html);
        Pair->Add(ours, peer);
        State.SetIterationTime(ours);
    }
}

void BM_Gradient1080p(benchmark::State& State) {
    vcl::TBitmap bmp;
    bmp.SetPixelFormat(vcl::pf32bit);
    bmp.SetSize(1920, 1080);
    QImage image(1920, 1080, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : State) {
        QElapsedTimer t;
        t.start();
        DrawGradientEx(bmp.Canvas(), vcl::TRect(0, 0, 1920, 1080), vcl::clNavy, vcl::clWhite, dgdVertical, 50, 45, bmNormal,
                       255, 100, true, nullptr);
        GdiFlush();
        const double ours = bench_support::Seconds(t);
        t.restart();
        {
            QPainter p(&image);
            QLinearGradient g(0, 0, 0, 1080);
            g.setColorAt(0, QColor(0, 0, 128));
            g.setColorAt(1, Qt::white);
            p.fillRect(image.rect(), g);
        }
        Gradient.Add(ours, bench_support::Seconds(t));
        State.SetIterationTime(ours);
    }
}

// 100 KB of "<" without a ">" and of "<<<…>" runs: each "<" must not rescan the rest of the text.
void BM_Brackets(benchmark::State& State) {
    const QString open(100000, u'<');
    QString runs;
    while (runs.size() < 100000) runs += QString(99, u'<') + u'>';
    for (auto _ : State) {
        QElapsedTimer t;
        t.start();
        TListToken a, b;
        Tokenize(open, a);
        Tokenize(runs, b);
        const double ours = bench_support::Seconds(t);
        Brackets.Add(ours, ours);
        State.SetIterationTime(ours);
    }
}

} // namespace

BENCHMARK_CAPTURE(BM_Markup, 10k, 10000, &Markup10k)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Markup, 100k, 100000, &Markup100k)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Gradient1080p)->Iterations(10)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Brackets)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (!TwStartGui(&argc, argv, TRUE)) return 1;
    benchmark::Initialize(&argc, argv);
    bench_support::TKeepingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    bool ok = true;
    ok &= bench_support::Check("mark-up layout 100 KB / 10 KB (best of 5; linear is 10)",
                               Markup100k.Ours / Markup10k.Ours, "<=", 12);
    ok &= bench_support::Check("mark-up layout / QTextDocument, 100 KB (best of 5)", Markup100k.Ours / Markup100k.Peer,
                               "<=", 3);
    ok &= bench_support::Check("gradient / QPainter linear gradient, 1920x1080 (best of 10)",
                               Gradient.Ours / Gradient.Peer, "<=", 2);
    ok &= bench_support::Check("200 KB of unmatched brackets, seconds (best of 3)", Brackets.Ours, "<=", 0.5);
    TwStopGui();
    return ok ? 0 : 1;
}
