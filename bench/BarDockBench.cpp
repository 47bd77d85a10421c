// bench/BarDockBench.cpp: docks of the bar framework. Arranging 10, 100 and 1,000 bars in rows of 10:
// ten times the bars within 15 times the time. A message that the hooks of dockable windows do not
// watch, sent with ten dockable windows registered: at most 1.3 times the time without them. One
// mouse move of a smooth drag among 10 bars on three docks (the bar re-parented and its docks
// arranged): under 16.7 ms. Prints the numbers; exits non-zero when a bound is missed.
// bench-libs: toolbars vcl win Qt6::Gui
#include "bench/BenchSupport.h"
#include "toolbars/BarDock.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace bars;
using bench_support::Seconds;

namespace {

class TBenchBar : public TBarCustomDockableWindow {
public:
    using TBarCustomDockableWindow::TBarCustomDockableWindow;
    TPoint ArrangeContents(bool, TBarDockKind, bool, TBarDock*) override { return TPoint(30, 20); }
    void GetBaseSize(TPoint& ASize) override { ASize = TPoint(30, 20); }
};

template <class F> double Best(F&& f, int runs) {
    double best = 1e9;
    for (int i = 0; i < runs; ++i) best = std::min(best, f());
    return best;
}

struct TSetup {
    vcl::TForm* Form;
    std::vector<TBarDock*> Docks;
    std::vector<TBenchBar*> Bars;
    TSetup(int bars, int docks) {
        Form = new vcl::TForm(vcl::Application);
        Form->SetBounds(0, 0, 1200, 900);
        for (int d = 0; d < docks; ++d) {
            auto* dock = new TBarDock(Form);
            dock->SetPosition(d == 1 ? dpBottom : d == 2 ? dpLeft : dpTop);
            dock->SetParent(Form);
            Docks.push_back(dock);
        }
        Docks[0]->BeginUpdate();
        for (int i = 0; i < bars; ++i) {
            auto* b = new TBenchBar(Form);
            b->SetDockRow(i / 10);
            b->SetDockPos((i % 10) * 40);
            b->SetParent(Docks[size_t(i % docks == 0 ? 0 : i % docks)]);
            Bars.push_back(b);
        }
        Docks[0]->EndUpdate();
        Form->Show();
    }
    ~TSetup() { delete Form; }
};

double Arrange(int bars) {
    TSetup s(bars, 1);
    return Best(
        [&] {
            QElapsedTimer t;
            t.start();
            s.Docks[0]->ArrangeToolbars();
            return Seconds(t);
        },
        5);
}

LRESULT CALLBACK Plain(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcW(h, m, w, l); }

// The least a call-window hook can do: pass the message on. What the platform's hook calls cost.
HHOOK passHook = nullptr;
LRESULT CALLBACK PassOn(int Code, WPARAM W, LPARAM L) { return CallNextHookEx(passHook, Code, W, L); }

double SendUnwatched(HWND wnd) {
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < 100000; ++i) SendMessageW(wnd, WM_USER + 7, WPARAM(i), 0);
    return Seconds(t);
}

// A smooth drag whose mouse moves alternate between two docks, fed each time the loop waits.
struct TDragFeed {
    std::vector<POINT> Points;
    size_t Next = 0;
    static void CALLBACK Idle(void* Self) {
        auto* f = static_cast<TDragFeed*>(Self);
        if (f->Next < f->Points.size()) {
            const POINT p = f->Points[f->Next++];
            TwAdvanceClock(10);
            TwInputMouseMove(p.x, p.y);
        } else {
            const POINT p = f->Points.back();
            TwInputMouseButton(p.x, p.y, TW_BUTTON_LEFT, FALSE);
        }
    }
};

double SmoothDragMove(int moves) {
    TSetup s(10, 3);
    s.Form->SetBounds(0, 0, 800, 600);
    TBenchBar* bar = s.Bars[0];
    RECT wr;
    GetWindowRect(bar->Handle(), &wr);
    const POINT start{wr.left + 4, (wr.top + wr.bottom) / 2};
    POINT top{0, 0}, bottom{0, 0};
    ClientToScreen(s.Docks[0]->Handle(), &top);
    ClientToScreen(s.Docks[1]->Handle(), &bottom);
    TDragFeed feed;
    for (int i = 0; i < moves; ++i)
        feed.Points.push_back(i % 2 ? POINT{top.x + 200 + i % 7, top.y + 5} : POINT{bottom.x + 200 + i % 7, bottom.y + 5});
    TwSetIdleHook(&TDragFeed::Idle, &feed);
    TwInputMouseMove(start.x, start.y);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    QElapsedTimer t;
    t.start();
    bar->BeginMoving(4, 10);
    const double seconds = Seconds(t);
    TwSetIdleHook(nullptr, nullptr);
    return seconds / moves;
}

} // namespace

int main(int argc, char** argv) {
    TwStartGui(&argc, argv, TRUE);
    TwUseManualClock(1000000);
    bool ok = true;

    const double a10 = Arrange(10), a100 = Arrange(100), a1000 = Arrange(1000);
    std::printf("ArrangeToolbars: 10 bars %.3f ms, 100 bars %.3f ms, 1000 bars %.3f ms (ratios %.1f, %.1f)\n",
                a10 * 1e3, a100 * 1e3, a1000 * 1e3, a100 / a10, a1000 / a100);
    if (a100 / a10 > 15 || a1000 / a100 > 15) {
        std::printf("  FAIL: ten times the bars took more than 15 times as long\n");
        ok = false;
    }

    WNDCLASSW cls{};
    cls.lpfnWndProc = Plain;
    cls.lpszClassName = u"BenchPlain";
    RegisterClassW(&cls);
    HWND wnd = CreateWindowExW(0, u"BenchPlain", u"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    const double bare = Best([&] { return SendUnwatched(wnd); }, 5);
    double hooked = 0;
    {
        auto* owner = new vcl::TForm(vcl::Application);
        for (int i = 0; i < 10; ++i) new TBenchBar(owner);  // each registers with the hook manager
        hooked = Best([&] { return SendUnwatched(wnd); }, 5);
        delete owner;
    }
    passHook = SetWindowsHookExW(WH_CALLWNDPROC, PassOn, nullptr, GetCurrentThreadId());
    const double passing = Best([&] { return SendUnwatched(wnd); }, 5);
    UnhookWindowsHookEx(passHook);
    std::printf("SendMessage of an unwatched message: %.1f ns bare, %.1f ns with ten dockable windows (ratio %.2f); "
                "%.1f ns with one hook that only passes it on (ratio %.2f)\n",
                bare * 1e4, hooked * 1e4, hooked / bare, passing * 1e4, passing / bare);
    if (hooked > 1.3 * bare) {
        std::printf("  FAIL: more than 1.3 times\n");
        ok = false;
    }
    DestroyWindow(wnd);

    const double move = Best([] { return SmoothDragMove(40); }, 3);
    std::printf("smooth drag: %.3f ms a mouse move among 10 bars on three docks\n", move * 1e3);
    if (move > 0.0167) {
        std::printf("  FAIL: over 16.7 ms\n");
        ok = false;
    }
    return ok ? 0 : 1;
}
