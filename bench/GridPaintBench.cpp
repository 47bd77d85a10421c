// bench/GridPaintBench.cpp: painting the report grid as the file list shows it, 1920 x 1080 with 32
// visible columns. A full repaint stays within a frame (16.7 ms) and does not grow with the rows
// (100,000 against 1,000: at most 1.3x); a one-row scroll repaints at most a fifth of that; a depth-5
// tree paints as fast with 10,000 rows as with 1,000 (1.3x); best fit over a column grows at most 12x
// from 10,000 to 100,000 rows. A bare QPainter fill of the same area is printed for scale.
// bench-libs: grid vcl tw_qt win
#include "bench/BenchSupport.h"

#include "grid/ColumnClasses.h"
#include "grid/GridReport.h"
#include "vcl/Forms.h"
#include "win/windows.h"

#include <QImage>
#include <QPainter>

namespace {

using namespace grid;

constexpr int kWidth = 1920, kHeight = 1080;

struct TPaintedGrid {
    vcl::TForm* Form;
    TReportGrid* Grid;
    vcl::TBitmap Paper;
    explicit TPaintedGrid(int Rows, bool Tree = false) {
        Form = new vcl::TForm(nullptr);
        Form->SetBorderStyle(vcl::bsNone);
        Form->SetBounds(0, 0, kWidth, kHeight);
        Grid = new TReportGrid(Form);
        Grid->SetParent(Form);
        Grid->SetBorderStyle(vcl::bsNone);
        Grid->SetAlign(vcl::alClient);
        Grid->SetOptions({goHeader, goGrid, goIndicator, goFooter, goSelectFullRow, goMultiSelect});
        Grid->SetRowSize(22);
        Grid->SetHeaderSize(22);
        for (int c = 0; c < 32; ++c) {
            TRgCustomColumn* Col = Tree && c == 0 ? static_cast<TRgCustomColumn*>(new TRgTreeColumn(Form))
                                                  : static_cast<TRgCustomColumn*>(new TRgTextColumn(Form));
            Col->SetWidth((kWidth - 12) / 32);
            Col->Header()->SetCaption(QStringLiteral("Column %1").arg(c));
            Grid->Columns()->AddColumn(Col);
        }
        Grid->BeginUpdate();
        Grid->ReserveRows(Rows);
        for (int r = 0; r < Rows; ++r)
            for (int c = 0; c < 32; c += 4) Grid->GetCell(c, r)->SetAsString(QStringLiteral("cell %1.%2").arg(r).arg(c));
        if (Tree) {
            // Depth 5: each top row holds a chain four deep, the rest of a block of 100 rows are leaves.
            std::vector<TRow*> Chain(5, nullptr);
            for (int r = 0; r < Rows; ++r) {
                const int InBlock = r % 100;
                const int Level = InBlock < 5 ? InBlock : 4;
                TRow* Row = Grid->GetRow(r);
                Row->SetLevel(Level);
                Chain[size_t(Level)] = Row;
                if (Level > 0) {
                    Row->SetParentRow(Chain[size_t(Level - 1)]);
                    Chain[size_t(Level - 1)]->AddChild();
                }
            }
        }
        Grid->EndUpdate();
        Grid->SetSelectedRow(2);
        Form->Show();
        Paper.SetPixelFormat(vcl::pf24bit);
        Paper.SetSize(kWidth, kHeight);
    }
    ~TPaintedGrid() { delete Form; }
    void PaintAll() { Grid->PaintTo(Paper.Canvas()->Handle(), 0, 0); }
};

// Best time of Repeats runs of F.
template <class F> double Best(int Repeats, F Run) {
    double Best = 0;
    for (int i = 0; i < Repeats; ++i) {
        QElapsedTimer T;
        T.start();
        Run();
        const double S = bench_support::Seconds(T);
        if (Best == 0 || S < Best) Best = S;
    }
    return Best;
}

double FullRepaint(int Rows, bool Tree = false) {
    TPaintedGrid G(Rows, Tree);
    G.PaintAll();
    return Best(15, [&] { G.PaintAll(); });
}

double OneRowScroll(int Rows) {
    TPaintedGrid G(Rows);
    const HWND Wnd = G.Grid->Handle();
    UpdateWindow(Wnd);
    return Best(15, [&] {
        G.Grid->Perform(UINT(WM_VSCROLL), WPARAM(SB_LINEDOWN), LPARAM(0));
        UpdateWindow(Wnd);
    });
}

double BestFit(int Rows) {
    TPaintedGrid G(Rows);
    return Best(3, [&] { G.Grid->BestFitColumn(0, bfCells); });
}

double QPainterFill() {
    QImage Image(kWidth, kHeight, QImage::Format_RGB32);
    return Best(15, [&] {
        QPainter P(&Image);
        P.fillRect(0, 0, kWidth, kHeight, QColor(255, 255, 255));
    });
}

} // namespace

int main(int argc, char** argv) {
    if (!TwStartGui(&argc, argv, TRUE)) return 1;
    const double Full1k = FullRepaint(1000), Full10k = FullRepaint(10000), Full100k = FullRepaint(100000);
    const double Floor = QPainterFill();
    std::printf("full repaint %dx%d, 32 columns: 1k %.2f ms, 10k %.2f ms, 100k %.2f ms; a bare QPainter fill %.3f ms\n",
                kWidth, kHeight, Full1k * 1e3, Full10k * 1e3, Full100k * 1e3, Floor * 1e3);
    const double Scroll = OneRowScroll(10000);
    std::printf("one-row scroll: %.2f ms\n", Scroll * 1e3);
    const double Tree1k = FullRepaint(1000, true), Tree10k = FullRepaint(10000, true);
    std::printf("depth-5 tree repaint: 1k %.2f ms, 10k %.2f ms\n", Tree1k * 1e3, Tree10k * 1e3);
    const double Fit10k = BestFit(10000), Fit100k = BestFit(100000);
    std::printf("best fit of a column: 10k %.1f ms, 100k %.1f ms\n", Fit10k * 1e3, Fit100k * 1e3);
    bool ok = true;
    ok &= bench_support::Check("full repaint of 100,000 rows, ms (best of 15)", Full100k * 1e3, "<=", 16.7);
    ok &= bench_support::Check("full repaint, 100,000 / 1,000 rows", Full100k / Full1k, "<=", 1.3);
    ok &= bench_support::Check("one-row scroll / full repaint (10,000 rows)", Scroll / Full10k, "<=", 0.2);
    ok &= bench_support::Check("depth-5 tree repaint, 10,000 / 1,000 rows", Tree10k / Tree1k, "<=", 1.3);
    ok &= bench_support::Check("best fit, 100,000 / 10,000 rows", Fit100k / Fit10k, "<=", 12);
    TwStopGui();
    return ok ? 0 : 1;
}
