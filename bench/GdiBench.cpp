// bench/GdiBench.cpp: the GDI stand-in's fills, blits and text on a 1920x1080 32-bit bitmap against
// QPainter doing the same on a QImage, in one run. Fills and blits must take at most twice as long as
// QPainter's; the text ratio is reported. Prints the ratios; exits non-zero when a bound is missed.
// bench-libs: win Qt6::Gui
#include "bench/BenchSupport.h"
#include "win/windows.h"

#include <QImage>
#include <QPainter>
#include <QPixmap>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int W = 1920, H = 1080;

// A top-down 32-bit DIB selected into a memory DC.
struct GdiImage {
    GdiImage() {
        BITMAPINFO bmi{};
        bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bmi.bmiHeader.biWidth = W;
        bmi.bmiHeader.biHeight = -H;
        bmi.bmiHeader.biPlanes = 1;
        bmi.bmiHeader.biBitCount = 32;
        void* p = nullptr;
        bm = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &p, nullptr, 0);
        bits = static_cast<uint32_t*>(p);
        dc = CreateCompatibleDC(nullptr);
        old = SelectObject(dc, bm);
        for (int i = 0; i < W * H; ++i) bits[i] = uint32_t(i * 2654435761u) & 0xFFFFFF;
    }
    ~GdiImage() {
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(bm);
    }
    HBITMAP bm = nullptr;
    HDC dc = nullptr;
    HGDIOBJ old = nullptr;
    uint32_t* bits = nullptr;
};

struct QtImage {
    QtImage() : image(W, H, QImage::Format_RGB32) {
        auto* p = reinterpret_cast<uint32_t*>(image.bits());
        for (int i = 0; i < W * H; ++i) p[i] = 0xFF000000u | (uint32_t(i * 2654435761u) & 0xFFFFFF);
    }
    QImage image;
};

// Small rectangles over the whole image, as a window full of controls paints them.
std::vector<RECT> Tiles() {
    std::vector<RECT> out;
    for (int y = 0; y + 30 <= H; y += 36)
        for (int x = 0; x + 60 <= W; x += 64) out.push_back(RECT{x, y, x + 60, y + 30});
    return out;
}

const char16_t Line[] = u"The quick brown fox jumps over the lazy dog 0123456789";
constexpr int LineLength = int(sizeof Line / sizeof Line[0]) - 1;

// One drawing job done both ways.
struct Pair {
    const char* name;
    bool bounded; // at most twice QPainter's time
    std::function<void(GdiImage&, GdiImage&)> gdi;
    std::function<void(QtImage&, QtImage&, QPainter&)> qt;
};

std::vector<Pair> Pairs() {
    return {
        {"FillRect, whole image, solid", true,
         [](GdiImage& d, GdiImage&) {
             static HBRUSH b = CreateSolidBrush(RGB(30, 90, 200));
             const RECT r{0, 0, W, H};
             FillRect(d.dc, &r, b);
         },
         [](QtImage&, QtImage&, QPainter& p) { p.fillRect(0, 0, W, H, QColor(30, 90, 200)); }},
        {"FillRect, 870 tiles of 60x30, solid", true,
         [](GdiImage& d, GdiImage&) {
             static HBRUSH b = CreateSolidBrush(RGB(200, 90, 30));
             static const std::vector<RECT> tiles = Tiles();
             for (const RECT& r : tiles) FillRect(d.dc, &r, b);
         },
         [](QtImage&, QtImage&, QPainter& p) {
             static const std::vector<RECT> tiles = Tiles();
             const QColor c(200, 90, 30);
             for (const RECT& r : tiles) p.fillRect(r.left, r.top, r.right - r.left, r.bottom - r.top, c);
         }},
        {"FillRect, whole image, cross-hatched", true,
         [](GdiImage& d, GdiImage&) {
             static HBRUSH b = CreateHatchBrush(HS_DIAGCROSS, RGB(0, 0, 0));
             SetBkMode(d.dc, OPAQUE);
             SetBkColor(d.dc, RGB(255, 255, 255));
             const RECT r{0, 0, W, H};
             FillRect(d.dc, &r, b);
         },
         [](QtImage&, QtImage&, QPainter& p) {
             p.setBackgroundMode(Qt::OpaqueMode);
             p.setBackground(Qt::white);
             p.fillRect(0, 0, W, H, QBrush(Qt::black, Qt::DiagCrossPattern));
         }},
        {"PatBlt, whole image, PATINVERT", true,
         [](GdiImage& d, GdiImage&) {
             static HBRUSH b = CreateSolidBrush(RGB(255, 255, 255));
             HGDIOBJ old = SelectObject(d.dc, b);
             PatBlt(d.dc, 0, 0, W, H, PATINVERT);
             SelectObject(d.dc, old);
         },
         [](QtImage&, QtImage&, QPainter& p) {
             p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
             p.fillRect(0, 0, W, H, Qt::white);
             p.setCompositionMode(QPainter::CompositionMode_SourceOver);
         }},
        {"BitBlt, whole image, SRCCOPY", true,
         [](GdiImage& d, GdiImage& s) { BitBlt(d.dc, 0, 0, W, H, s.dc, 0, 0, SRCCOPY); },
         [](QtImage&, QtImage& s, QPainter& p) {
             p.setCompositionMode(QPainter::CompositionMode_Source);
             p.drawImage(0, 0, s.image);
             p.setCompositionMode(QPainter::CompositionMode_SourceOver);
         }},
        {"BitBlt, 870 tiles of 60x30, SRCCOPY", true,
         [](GdiImage& d, GdiImage& s) {
             static const std::vector<RECT> tiles = Tiles();
             for (const RECT& r : tiles)
                 BitBlt(d.dc, r.left, r.top, r.right - r.left, r.bottom - r.top, s.dc, r.left, r.top, SRCCOPY);
         },
         [](QtImage&, QtImage& s, QPainter& p) {
             static const std::vector<RECT> tiles = Tiles();
             p.setCompositionMode(QPainter::CompositionMode_Source);
             for (const RECT& r : tiles)
                 p.drawImage(QPoint(r.left, r.top), s.image,
                             QRect(r.left, r.top, r.right - r.left, r.bottom - r.top));
             p.setCompositionMode(QPainter::CompositionMode_SourceOver);
         }},
        {"BitBlt, scroll within the image by 17 rows", true,
         [](GdiImage& d, GdiImage&) { BitBlt(d.dc, 0, 0, W, H - 17, d.dc, 0, 17, SRCCOPY); },
         [](QtImage&, QtImage& s, QPainter&) {
             // QImage cannot scroll itself; a raster pixmap scrolls its image in place.
             static QPixmap pixmap = QPixmap::fromImage(s.image);
             pixmap.scroll(0, -17, QRect(0, 0, W, H));
         }},
        {"BitBlt, whole image, SRCINVERT", true,
         [](GdiImage& d, GdiImage& s) { BitBlt(d.dc, 0, 0, W, H, s.dc, 0, 0, SRCINVERT); },
         [](QtImage&, QtImage& s, QPainter& p) {
             p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
             p.drawImage(0, 0, s.image);
             p.setCompositionMode(QPainter::CompositionMode_SourceOver);
         }},
        {"TextOutW, 40 lines", false,
         [](GdiImage& d, GdiImage&) {
             static HFONT f = CreateFontW(-16, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, u"Sans");
             HGDIOBJ old = SelectObject(d.dc, f);
             SetBkMode(d.dc, TRANSPARENT);
             SetTextColor(d.dc, RGB(0, 0, 0));
             for (int i = 0; i < 40; ++i) TextOutW(d.dc, 10, 10 + 24 * i, Line, LineLength);
             SelectObject(d.dc, old);
         },
         [](QtImage&, QtImage&, QPainter& p) {
             static const QString text = QString::fromUtf16(Line, LineLength);
             QFont f(QStringLiteral("Sans"));
             f.setPixelSize(16);
             p.setFont(f);
             p.setPen(Qt::black);
             const int ascent = QFontMetrics(f).ascent();
             for (int i = 0; i < 40; ++i) p.drawText(10, 10 + 24 * i + ascent, text);
         }},
    };
}

} // namespace

int main(int argc, char** argv) {
    TwStartGui(&argc, argv, TRUE); // offscreen unless QT_QPA_PLATFORM names a platform
    benchmark::Initialize(&argc, argv);

    GdiImage gdiDst, gdiSrc;
    QtImage qtDst, qtSrc;
    const std::vector<Pair> pairs = Pairs();
    for (const Pair& pair : pairs) {
        benchmark::RegisterBenchmark((std::string(pair.name) + " /gdi").c_str(), [&](benchmark::State& st) {
            for (auto _ : st) pair.gdi(gdiDst, gdiSrc);
            GdiFlush();
        })->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark((std::string(pair.name) + " /qpainter").c_str(), [&](benchmark::State& st) {
            QPainter painter(&qtDst.image);
            for (auto _ : st) pair.qt(qtDst, qtSrc, painter);
        })->Unit(benchmark::kMicrosecond);
    }
    bench_support::TKeepingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    bool ok = true;
    for (const Pair& pair : pairs) {
        const auto gdi = reporter.Seconds.find(std::string(pair.name) + " /gdi");
        const auto qt = reporter.Seconds.find(std::string(pair.name) + " /qpainter");
        if (gdi == reporter.Seconds.end() || qt == reporter.Seconds.end()) continue; // filtered out
        const double ratio = gdi->second / qt->second;
        const std::string label = std::string(pair.name) + ", GDI / QPainter";
        if (pair.bounded)
            ok &= bench_support::Check(label.c_str(), ratio, "<=", 2.0);
        else
            std::printf("%-60s %8.3f  (reported)\n", label.c_str(), ratio);
    }
    return ok ? 0 : 1;
}
