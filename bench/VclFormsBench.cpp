// bench/VclFormsBench.cpp: forms of the class library. Creating, showing and destroying a form with 200
// windowed controls is linear (200 cost at most 10 times 20, with a margin of 1.5) and takes at most 3
// times as long as making, showing and destroying 200 child windows through the bare window API; a
// realignment after a resize grows linearly with the controls (20 against 200). Prints the numbers;
// exits non-zero when a bound is missed.
// bench-libs: vcl win Qt6::Gui
#include "bench/BenchSupport.h"
#include "vcl/Forms.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>

using namespace vcl;

namespace {

using bench_support::Seconds;

class TCell : public TCustomControl {
public:
    explicit TCell(TComponent* AOwner) : TCustomControl(AOwner) {}
};

// A form with Count controls in a grid, half of them aligned (top and left) and half anchored, so the
// realignment has work of every kind.
class TBenchForm : public TForm {
public:
    TBenchForm(TComponent* AOwner, int Count) : TForm(AOwner) {
        BeginLoading();
        SetPosition(poDesigned);
        SetBounds(0, 0, 1200, 900);
        for (int i = 0; i < Count; ++i) {
            auto* c = new TCell(this);
            c->SetBounds((i % 20) * 50 + 100, (i / 20) * 40 + 100, 40, 30);
            if (i % 4 == 0) c->SetAlign(alTop);
            else if (i % 4 == 1) c->SetAlign(alLeft);
            else if (i % 4 == 2) c->SetAnchors({akRight, akBottom});
            c->SetParent(this);
        }
        EndLoading();
    }
};


double FormCycle(int count) {
    QElapsedTimer t;
    t.start();
    auto* form = new TBenchForm(Application, count);
    form->Show();
    delete form;
    return Seconds(t);
}

double BareCycle(int count) {
    QElapsedTimer t;
    t.start();
    HWND top = CreateWindowExW(0, u"BenchBare", u"", WS_OVERLAPPEDWINDOW, 0, 0, 1200, 900, nullptr, nullptr, nullptr,
                               nullptr);
    for (int i = 0; i < count; ++i)
        CreateWindowExW(0, u"BenchBare", u"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, (i % 20) * 50 + 100,
                        (i / 20) * 40 + 100, 40, 30, top, nullptr, nullptr, nullptr);
    ShowWindow(top, SW_SHOWNORMAL);
    DestroyWindow(top);
    return Seconds(t);
}

double Realign(int count) {
    auto* form = new TBenchForm(Application, count);
    form->Show();
    double best = 1e9;
    for (int run = 0; run < 5; ++run) {
        QElapsedTimer t;
        t.start();
        form->SetBounds(0, 0, 1200 + 10 * (run + 1), 900 + 10 * (run + 1));
        best = std::min(best, Seconds(t));
    }
    delete form;
    return best;
}

template <class F> double Best(F&& f, int runs) {
    double best = 1e9;
    for (int i = 0; i < runs; ++i) best = std::min(best, f());
    return best;
}

} // namespace

int main(int argc, char** argv) {
    TwStartGui(&argc, argv, TRUE); // offscreen unless QT_QPA_PLATFORM names a platform
    bool ok = true;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcW;
    wc.lpszClassName = u"BenchBare";
    RegisterClassExW(&wc);

    const double small = Best([] { return FormCycle(20); }, 7);
    const double large = Best([] { return FormCycle(200); }, 7);
    const double bare = Best([] { return BareCycle(200); }, 7);
    std::printf("form cycle: 20 controls %.2f ms, 200 controls %.2f ms (ratio %.1f); bare windows %.2f ms (ratio %.2f)\n",
                small * 1e3, large * 1e3, large / small, bare * 1e3, large / bare);
    if (large / small > 10 * 1.5) {
        std::printf("  FAIL: not linear\n");
        ok = false;
    }
    if (large > 3 * bare) {
        std::printf("  FAIL: more than 3 times the bare window API\n");
        ok = false;
    }
    const double alignSmall = Best([] { return Realign(20); }, 5);
    const double alignLarge = Best([] { return Realign(200); }, 5);
    std::printf("realign after a resize: 20 controls %.3f ms, 200 controls %.3f ms (ratio %.1f)\n", alignSmall * 1e3,
                alignLarge * 1e3, alignLarge / alignSmall);
    if (alignLarge / alignSmall > 10 * 1.5) {
        std::printf("  FAIL: not linear\n");
        ok = false;
    }
    return ok ? 0 : 1;
}
