// bench/StylingInterceptBench.cpp: what the styling's interceptions cost. With the styling started
// and the system style active, GetSysColor, GetSysColorBrush, FillRect and DrawThemeBackground through
// their patched exports against a direct call of the unpatched code (at most 2x); the styled brush
// against the unstyled one (at most 3x); creating 1,000 windows of a class nobody hooks with the
// manager's creation hook against without it, under a custom style (at most 1.1x). Under a custom style: a background call
// for a theme handle no probe identifies against the sum of what identifying it takes, each call
// measured alone (its opens, its closes and the forwarded call; at most 1.2x); a dialog whose
// children are hooked through the deferred-hook message, cost per child at 500 children against 50
// (at most 1.5x). Prints the ratios; exits non-zero when a bound is missed.
// bench-libs: styling_hooks styling_hooking vcl win tw_qt Qt6::Gui
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <functional>
#include <memory>

#include "styling/hooks/Styling.h"
#include "styling/hooks/SysStyleHook.h"
#include "styling/hooks/SysControls.h"
#include "vcl/StyleFile.h"
#include "vcl/Themes.h"
#include "win/windows.h"

namespace {

// The thread's own processor time: the machine may be shared, and what others run is not ours.
struct Clock {
    using duration = std::chrono::nanoseconds;
    using time_point = std::chrono::time_point<Clock, duration>;
    static time_point now() {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return time_point(duration(int64_t(t.tv_sec) * 1000000000 + t.tv_nsec));
    }
};

// Nanoseconds per call of F, the best of eleven runs of N calls.
double PerCall(const std::function<void(int)>& F, int N = 200000) {
    double best = 1e30;
    for (int run = 0; run < 11; ++run) {
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

// Microseconds per child for a hooked dialog with Count children of a hooked class, each deferred at
// its creation and hooked when the dialog handles the message its children's notices post; the
// dialog and its children destroyed again. The best of five.
double DialogPerChild(int Count) {
    double best = 1e30;
    for (int run = 0; run < 5; ++run) {
        const auto t0 = Clock::now();
        HWND dialog = CreateWindowExW(0, u"TwBenchDialog", u"", WS_POPUP, 0, 0, 400, 400, nullptr, nullptr, nullptr, nullptr);
        for (int i = 0; i < Count; ++i)
            CreateWindowExW(0, u"TwBenchDialog", u"", WS_CHILD, 0, 0, 10, 10, dialog, nullptr, nullptr, nullptr);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        DestroyWindow(dialog);
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        best = std::min(best, std::chrono::duration<double, std::micro>(Clock::now() - t0).count() / Count);
    }
    return best;
}

// What the styling tries, in its order, to name a theme handle it has no record of.
const char16_t* const ThemeProbes[] = {u"SCROLLBAR", u"LISTVIEW", u"ItemsView::Header", u"Navigation", u"CommandModule",
                                       u"EDIT",      u"LISTBOX",  u"BUTTON",            u"MENU",       u"MENUBAND"};

} // namespace

int main() {
    if (!TwStartGui(nullptr, nullptr, TRUE)) return 2;
    WNDCLASSW cls{};
    cls.lpfnWndProc = &DefWindowProcW;
    cls.lpszClassName = u"TwBenchPlain";
    RegisterClassW(&cls);
    cls.lpszClassName = u"TwBenchDialog";
    RegisterClassW(&cls);
    auto style = DarkStyle();
    HBITMAP bm = CreateBitmap(16, 16, 1, 32, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, bm);
    const RECT r{0, 0, 8, 8};
    HBRUSH solid = CreateSolidBrush(RGB(1, 2, 3));
    TwSetThemeActive(TRUE);
    const HTHEME theme = OpenThemeData(nullptr, u"BUTTON");
    // Opened before the styling starts, and of a class no probe opens: never identified.
    const HTHEME unknown = OpenThemeData(nullptr, u"TREEVIEW");
    bool ok = true;

    // Unpatched first: the classic twins stand for the direct call.
    const double colorDirect = PerCall([](int i) { benchmark::DoNotOptimize(GetSysColor(i & 15)); });
    const double brushDirect = PerCall([](int i) { benchmark::DoNotOptimize(TwClassicSysColorBrush(i & 15)); });
    const double fillDirect = PerCall([&](int) { TwClassicFillRect(dc, &r, solid); });
    const double themeDirect = PerCall([&](int) { DrawThemeBackground(theme, dc, 1, 1, &r, nullptr); }, 20000);
    // Identifying a handle, each step alone under the custom style: the probes' opens, a close per
    // handle they give, the forwarded call.
    vcl::TStyleManager::SetStyle(style.get());
    double probeSum = PerCall([&](int) { DrawThemeBackground(unknown, dc, 1, 1, &r, nullptr); }, 20000);
    for (const char16_t* name : ThemeProbes) {
        const HTHEME probe = OpenThemeData(nullptr, name);
        probeSum += PerCall([&](int) { benchmark::DoNotOptimize(OpenThemeData(nullptr, name)); }, 20000);
        if (probe) probeSum += PerCall([&](int) { benchmark::DoNotOptimize(CloseThemeData(probe)); }, 20000);
    }
    vcl::TStyleManager::SetStyle(vcl::TStyleManager::SystemStyle());

    // The platform's own share, for the record: the same dialogs before the styling starts.
    const double bare50 = DialogPerChild(50), bare500 = DialogPerChild(500);
    styling::Initialize();
    const double colorOff = PerCall([](int i) { benchmark::DoNotOptimize(GetSysColor(i & 15)); });
    const double brushOff = PerCall([](int i) { benchmark::DoNotOptimize(GetSysColorBrush(i & 15)); });
    const double fillOff = PerCall([&](int) { FillRect(dc, &r, solid); });
    const double themeOff = PerCall([&](int) { DrawThemeBackground(theme, dc, 1, 1, &r, nullptr); }, 20000);
    vcl::TStyleManager::SetStyle(style.get());
    const double brushStyled = PerCall([](int i) { benchmark::DoNotOptimize(GetSysColorBrush(i & 15)); });
    const double probed = PerCall([&](int) { DrawThemeBackground(unknown, dc, 1, 1, &r, nullptr); }, 20000);
    styling::TSysStyleManager::RegisterSysStyleHook(QStringLiteral("TwBenchDialog"), &styling::CreateHook<styling::TSysStyleHook>);
    const double perChild50 = DialogPerChild(50);
    const double perChild500 = DialogPerChild(500);
    styling::TSysStyleManager::UnRegisterSysStyleHook(QStringLiteral("TwBenchDialog"));
    // Windows nobody hooks under the custom style, with the manager and without it, in turns.
    double windowsBare = 1e30, windowsHooked = 1e30;
    for (int round = 0; round < 7; ++round) {
        styling::Finalize();
        windowsBare = std::min(windowsBare, CreateWindows(1000));
        styling::Initialize();
        windowsHooked = std::min(windowsHooked, CreateWindows(1000));
    }
    vcl::TStyleManager::SetStyle(vcl::TStyleManager::SystemStyle());
    std::printf("dialog: %.2f us per child at 50, %.2f us at 500 (without the styling %.2f and %.2f)\n", perChild50,
                perChild500, bare50, bare500);
    std::printf("unidentified background call %.0f ns, its steps alone %.0f ns\n", probed, probeSum);

    ok &= Check("GetSysColor installed, styling off", colorOff / colorDirect, 2.0);
    ok &= Check("GetSysColorBrush installed, styling off", brushOff / brushDirect, 2.0);
    ok &= Check("FillRect installed, styling off", fillOff / fillDirect, 2.0);
    ok &= Check("DrawThemeBackground installed, styling off", themeOff / themeDirect, 2.0);
    ok &= Check("styled GetSysColorBrush / unstyled", brushStyled / brushOff, 3.0);
    ok &= Check("1,000 unhooked windows with the manager", windowsHooked / windowsBare, 1.1);
    ok &= Check("unidentified handle / its opens, closes, forward", probed / probeSum, 1.2);
    ok &= Check("dialog: per child at 500 / at 50", perChild500 / perChild50, 1.5);
    styling::Finalize();
    TwSetThemeActive(FALSE);
    DeleteDC(dc);
    DeleteObject(bm);
    DeleteObject(solid);
    TwStopGui();
    return ok ? 0 : 1;
}
