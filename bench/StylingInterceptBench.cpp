// bench/StylingInterceptBench.cpp: what the styling's interceptions cost. With the styling started
// and the system style active, GetSysColor, GetSysColorBrush, FillRect and DrawThemeBackground through
// their patched exports against a direct call of the unpatched code (at most 2x); the styled brush
// against the unstyled one (at most 3x); creating 1,000 windows of a class nobody hooks with the
// manager's creation hook against without it (at most 1.1x). Prints the ratios; exits non-zero when
// a bound is missed.
// bench-libs: styling_hooks styling_hooking vcl win tw_qt Qt6::Gui
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>

#include "styling/hooks/Styling.h"
#include "styling/hooks/SysControls.h"
#include "vcl/StyleFile.h"
#include "vcl/Themes.h"
#include "win/windows.h"

namespace {

using Clock = std::chrono::steady_clock;

// Nanoseconds per call of F, the best of five runs of N calls.
double PerCall(const std::function<void(int)>& F, int N = 200000) {
    double best = 1e30;
    for (int run = 0; run < 5; ++run) {
        const auto t0 = Clock::now();
        for (int i = 0; i < N; ++i) F(i);
        const double ns = std::chrono::duration<double, std::nano>(Clock::now() - t0).count() / N;
        if (ns < best) best = ns;
    }
    return best;
}

bool Check(const char* What, double Ratio, double Bound) {
    std::printf("%-44s %6.2fx (bound %.2fx)\n", What, Ratio, Bound);
    return Ratio <= Bound;
}

std::unique_ptr<vcl::TCustomStyle> DarkStyle() {
    vcl::TStyleFileData data;
    data.Name = QStringLiteral("Bench Dark");
    data.SystemColors[COLOR_WINDOW] = vcl::TColor(0x202020);
    data.StyleColors[vcl::scWindow] = vcl::TColor(0x202020);
    return std::make_unique<vcl::TCustomStyle>(data);
}

double CreateWindows(int Count) {
    const auto t0 = Clock::now();
    for (int i = 0; i < Count; ++i) {
        HWND w = CreateWindowExW(0, u"TwBenchPlain", u"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        DestroyWindow(w);
    }
    return std::chrono::duration<double, std::micro>(Clock::now() - t0).count();
}

} // namespace

int main() {
    if (!TwStartGui(nullptr, nullptr, TRUE)) return 2;
    WNDCLASSW cls{};
    cls.lpfnWndProc = &DefWindowProcW;
    cls.lpszClassName = u"TwBenchPlain";
    RegisterClassW(&cls);
    auto style = DarkStyle();
    HBITMAP bm = CreateBitmap(16, 16, 1, 32, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, bm);
    const RECT r{0, 0, 8, 8};
    HBRUSH solid = CreateSolidBrush(RGB(1, 2, 3));
    TwSetThemeActive(TRUE);
    const HTHEME theme = OpenThemeData(nullptr, u"BUTTON");
    bool ok = true;

    // Unpatched first: the classic twins stand for the direct call.
    const double windowsBare = std::min(CreateWindows(1000), CreateWindows(1000));
    const double colorDirect = PerCall([](int i) { benchmark::DoNotOptimize(GetSysColor(i & 15)); });
    const double brushDirect = PerCall([](int i) { benchmark::DoNotOptimize(TwClassicSysColorBrush(i & 15)); });
    const double fillDirect = PerCall([&](int) { TwClassicFillRect(dc, &r, solid); });
    const double themeDirect = PerCall([&](int) { DrawThemeBackground(theme, dc, 1, 1, &r, nullptr); }, 20000);

    styling::Initialize();
    const double windowsHooked = std::min(CreateWindows(1000), CreateWindows(1000));
    const double colorOff = PerCall([](int i) { benchmark::DoNotOptimize(GetSysColor(i & 15)); });
    const double brushOff = PerCall([](int i) { benchmark::DoNotOptimize(GetSysColorBrush(i & 15)); });
    const double fillOff = PerCall([&](int) { FillRect(dc, &r, solid); });
    const double themeOff = PerCall([&](int) { DrawThemeBackground(theme, dc, 1, 1, &r, nullptr); }, 20000);
    vcl::TStyleManager::SetStyle(style.get());
    const double brushStyled = PerCall([](int i) { benchmark::DoNotOptimize(GetSysColorBrush(i & 15)); });
    vcl::TStyleManager::SetStyle(vcl::TStyleManager::SystemStyle());

    ok &= Check("GetSysColor installed, styling off", colorOff / colorDirect, 2.0);
    ok &= Check("GetSysColorBrush installed, styling off", brushOff / brushDirect, 2.0);
    ok &= Check("FillRect installed, styling off", fillOff / fillDirect, 2.0);
    ok &= Check("DrawThemeBackground installed, styling off", themeOff / themeDirect, 2.0);
    ok &= Check("styled GetSysColorBrush / unstyled", brushStyled / brushOff, 3.0);
    ok &= Check("1,000 unhooked windows with the manager", windowsHooked / windowsBare, 1.1);
    styling::Finalize();
    TwSetThemeActive(FALSE);
    DeleteDC(dc);
    DeleteObject(bm);
    DeleteObject(solid);
    TwStopGui();
    return ok ? 0 : 1;
}
