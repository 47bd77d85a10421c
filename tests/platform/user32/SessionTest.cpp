// Monitors: lookups over every monitor the provider lists, and Qt's screens as that provider.
#include "Recorder.h"
#include "qt/QtBackend.h"
#include "win/kernel32/modules.h"

#include <QGuiApplication>
#include <QScreen>

using namespace user32_test;

namespace {

// The primary 1280x1024 screen and a second one to its right, higher up.
int CALLBACK TwoMonitors(TwMonitorDesc* out, int max) {
    const TwMonitorDesc all[2] = {
        {RECT{1280, -100, 3200, 980}, RECT{1280, -100, 3200, 940}, FALSE},
        {RECT{0, 0, 1280, 1024}, RECT{0, 0, 1280, 984}, TRUE},
    };
    for (int i = 0; i < 2 && i < max; ++i) out[i] = all[i];
    return 2;
}

RECT Work(HMONITOR m, DWORD* flags = nullptr) {
    MONITORINFO mi{sizeof mi, {}, {}, 0};
    EXPECT_TRUE(GetMonitorInfoW(m, &mi));
    if (flags) *flags = mi.dwFlags;
    return mi.rcWork;
}

BOOL CALLBACK Collect(HMONITOR m, HDC, LPRECT r, LPARAM lp) {
    reinterpret_cast<std::vector<std::pair<HMONITOR, RECT>>*>(lp)->emplace_back(m, *r);
    return TRUE;
}

} // namespace

TEST_F(WindowTest, TwoMonitorsAnswerContainingNearestAndPrimary) {
    TwSetMonitorProvider(TwoMonitors);
    const HMONITOR primary = MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTONULL);
    const HMONITOR second = MonitorFromPoint(POINT{1300, -50}, MONITOR_DEFAULTTONULL);
    ASSERT_NE(primary, nullptr);
    ASSERT_NE(second, nullptr);
    ASSERT_NE(primary, second);
    DWORD flags = 0;
    EXPECT_EQ(Work(primary, &flags).bottom, 984);
    EXPECT_EQ(flags, DWORD(MONITORINFOF_PRIMARY));
    EXPECT_EQ(Work(second, &flags).bottom, 940);
    EXPECT_EQ(flags, 0u);

    EXPECT_EQ(MonitorFromPoint(POINT{5000, 0}, MONITOR_DEFAULTTONULL), nullptr);
    EXPECT_EQ(MonitorFromPoint(POINT{5000, 0}, MONITOR_DEFAULTTONEAREST), second);
    EXPECT_EQ(MonitorFromPoint(POINT{5000, 0}, MONITOR_DEFAULTTOPRIMARY), primary);
    EXPECT_EQ(MonitorFromPoint(POINT{100, 2000}, MONITOR_DEFAULTTONEAREST), primary);
    const RECT mostlyRight{1200, 0, 1500, 100};
    EXPECT_EQ(MonitorFromRect(&mostlyRight, MONITOR_DEFAULTTONULL), second);
    HWND w = TopLevel(WS_POPUP | WS_VISIBLE, RECT{1100, 10, 1400, 300});  // 180 px left, 120 px right
    EXPECT_EQ(MonitorFromWindow(w, MONITOR_DEFAULTTONEAREST), primary);
    SetWindowPos(w, nullptr, 1250, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_EQ(MonitorFromWindow(w, MONITOR_DEFAULTTONEAREST), second);

    std::vector<std::pair<HMONITOR, RECT>> seen;
    EXPECT_TRUE(EnumDisplayMonitors(nullptr, nullptr, Collect, reinterpret_cast<LPARAM>(&seen)));
    ASSERT_EQ(seen.size(), 2u);
    seen.clear();
    const RECT clip{1000, 500, 1400, 600};
    EnumDisplayMonitors(nullptr, &clip, Collect, reinterpret_cast<LPARAM>(&seen));
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].first, second);
    const RECT part{1280, 500, 1400, 600};
    EXPECT_TRUE(EqualRect(&seen[0].second, &part));

    // The class library finds these entry points by name.
    HMODULE user32 = TwFindModule(u"user32.dll");
    for (const char* name : {"MonitorFromRect", "MonitorFromPoint", "MonitorFromWindow", "GetMonitorInfoA"})
        EXPECT_NE(TwFindExport(user32, name), nullptr) << name;
    TwSetMonitorProvider(nullptr);
}

TEST_F(WindowTest, QtScreensBecomeMonitors) {
    TwMonitorDesc mons[4]{};
    const int n = twqt::ScreenMonitors(mons, 4);
    ASSERT_EQ(n, int(QGuiApplication::screens().size()));
    ASSERT_GE(n, 1);
    const QRect g = QGuiApplication::primaryScreen()->geometry();
    int primaries = 0;
    for (int i = 0; i < n; ++i) primaries += mons[i].primary ? 1 : 0;
    EXPECT_EQ(primaries, 1);
    TwSetMonitorProvider([](TwMonitorDesc* out, int max) { return twqt::ScreenMonitors(out, max); });
    MONITORINFO mi{sizeof mi, {}, {}, 0};
    ASSERT_TRUE(GetMonitorInfoW(MonitorFromPoint(POINT{g.x(), g.y()}, MONITOR_DEFAULTTOPRIMARY), &mi));
    EXPECT_EQ(mi.rcMonitor.right - mi.rcMonitor.left, g.width());
    EXPECT_EQ(mi.rcMonitor.bottom - mi.rcMonitor.top, g.height());
    TwSetMonitorProvider(nullptr);
}
