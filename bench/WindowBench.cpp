// bench/WindowBench.cpp: the window model's message throughput (post and dispatch 1,000,000 messages,
// at least 1,000,000 per second, and linear: 100,000 cost a tenth) and a full repaint of a 1920x1080
// window with 200 painted child windows against filling a QImage of that size in the same run (at
// most 10 times as long). Prints the numbers; exits non-zero when a bound is missed.
// bench-libs: win Qt6::Gui
#include "win/windows.h"

#include <QElapsedTimer>
#include <QImage>

#include <algorithm>
#include <cstdio>

namespace {

long long dispatched = 0;

LRESULT CALLBACK CountingProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_USER) {
        ++dispatched;
        return 0;
    }
    return DefWindowProcW(h, m, w, l);
}

HBRUSH childBrush = nullptr;

LRESULT CALLBACK ChildProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(h, &ps);
        RECT r;
        GetClientRect(h, &r);
        FillRect(dc, &r, childBrush);
        EndPaint(h, &ps);
        return 0;
    }
    return DefWindowProcW(h, m, w, l);
}

double PostAndDispatch(HWND w, int count) {
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < count; ++i) PostMessageW(w, WM_USER, WPARAM(i), 0);
    MSG msg;
    for (int i = 0; i < count; ++i) {
        if (!GetMessageW(&msg, nullptr, 0, 0)) break;
        DispatchMessageW(&msg);
    }
    return double(t.nsecsElapsed()) / 1e9;
}

} // namespace

int main(int argc, char** argv) {
    TwStartGui(&argc, argv, TRUE); // offscreen unless QT_QPA_PLATFORM names a platform
    bool ok = true;

    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = CountingProc;
    wc.lpszClassName = u"BenchCounter";
    RegisterClassExW(&wc);
    HWND counter = CreateWindowExW(0, u"BenchCounter", u"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);

    double small = 1e9, large = 1e9;
    for (int run = 0; run < 3; ++run) {
        small = std::min(small, PostAndDispatch(counter, 100'000));
        large = std::min(large, PostAndDispatch(counter, 1'000'000));
    }
    const double rate = 1'000'000 / large;
    std::printf("messages: 1,000,000 posted and dispatched in %.3f s (%.2f M/s); 100,000 in %.4f s (ratio %.2f)\n",
                large, rate / 1e6, small, large / small);
    if (rate < 1e6) {
        std::printf("  FAIL: fewer than 1,000,000 messages per second\n");
        ok = false;
    }
    if (large / small > 10 * 1.5) {
        std::printf("  FAIL: not linear\n");
        ok = false;
    }

    wc.lpfnWndProc = DefWindowProcW;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = u"BenchParent";
    RegisterClassExW(&wc);
    wc.lpfnWndProc = ChildProc;
    wc.hbrBackground = nullptr;
    wc.lpszClassName = u"BenchChild";
    RegisterClassExW(&wc);
    childBrush = CreateSolidBrush(RGB(30, 90, 200));
    HWND top = CreateWindowExW(0, u"BenchParent", u"", WS_POPUP | WS_VISIBLE, 0, 0, 1920, 1080, nullptr, nullptr,
                               nullptr, nullptr);
    for (int i = 0; i < 200; ++i) {
        const int x = (i % 20) * 96, y = (i / 20) * 108;
        CreateWindowExW(0, u"BenchChild", u"", WS_CHILD | WS_VISIBLE, x + 4, y + 4, 88, 100, top, nullptr, nullptr,
                        nullptr);
    }
    UpdateWindow(top);
    double repaint = 1e9, fill = 1e9;
    QImage image(1920, 1080, QImage::Format_RGB32);
    for (int run = 0; run < 10; ++run) {
        QElapsedTimer t;
        t.start();
        RedrawWindow(top, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        repaint = std::min(repaint, double(t.nsecsElapsed()) / 1e9);
        t.restart();
        image.fill(QColor(run * 20, 90, 200));
        fill = std::min(fill, double(t.nsecsElapsed()) / 1e9);
    }
    std::printf("repaint: 1920x1080 with 200 children %.2f ms; QImage fill %.2f ms (ratio %.1f)\n", repaint * 1e3,
                fill * 1e3, repaint / fill);
    if (repaint > 10 * fill) {
        std::printf("  FAIL: more than 10 times the fill\n");
        ok = false;
    }
    DestroyWindow(top);
    DestroyWindow(counter);
    DeleteObject(childBrush);
    return ok ? 0 : 1;
}
