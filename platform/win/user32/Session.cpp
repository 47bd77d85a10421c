// The window model's connection to the presentation, monitors, message boxes and the reset tests use.
#include "win/user32/WindowModel.h"
#include "win/user32/controls/Controls.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

namespace twuser {

void SyncTopLevel(Window* w);

void SetBackend(Backend* backend) {
    auto& s = S();
    if (s.backend == backend) return;
    for (Window* t : Desktop()->children) t->shownOnScreen = false;
    s.backend = backend;
    if (!backend) return;
    for (Window* t : std::vector<Window*>(Desktop()->children)) SyncTopLevel(t);
    ApplyCursor();
}

Backend* CurrentBackend() { return S().backend; }

namespace {

TwMonitorsProc monitorProvider = nullptr;

// The monitors now: asked each time, since screens come and go while the program runs.
std::vector<TwMonitorDesc> Monitors() {
    std::vector<TwMonitorDesc> all;
    if (monitorProvider) {
        TwMonitorDesc buf[16];
        const int n = monitorProvider(buf, 16);
        all.assign(buf, buf + std::clamp(n, 0, 16));
    }
    if (all.empty()) {
        TwMonitorDesc one{};
        one.rcMonitor = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        one.rcWork = one.rcMonitor;
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &one.rcWork, 0);
        one.primary = TRUE;
        all.push_back(one);
    }
    // Exactly one primary: the first one marked, else the first.
    bool seen = false;
    for (auto& m : all) {
        if (m.primary && !seen) seen = true;
        else m.primary = FALSE;
    }
    if (!seen) all.front().primary = TRUE;
    return all;
}

// Handles are small numbers by position in the list.
HMONITOR HandleOf(size_t i) { return reinterpret_cast<HMONITOR>(uintptr_t(0x1001 + i)); }
size_t IndexOf(HMONITOR m) { return size_t(reinterpret_cast<uintptr_t>(m)) - 0x1001; }

size_t PrimaryIndex(const std::vector<TwMonitorDesc>& all) {
    for (size_t i = 0; i < all.size(); ++i)
        if (all[i].primary) return i;
    return 0;
}

// Distance between two rectangles (0 when they touch or overlap), for MONITOR_DEFAULTTONEAREST.
long long Distance(const RECT& a, const RECT& b) {
    const long long dx = std::max<long long>({0, (long long)b.left - a.right + 1, (long long)a.left - b.right + 1});
    const long long dy = std::max<long long>({0, (long long)b.top - a.bottom + 1, (long long)a.top - b.bottom + 1});
    return dx * dx + dy * dy;
}

HMONITOR Fallback(const std::vector<TwMonitorDesc>& all, const RECT& r, DWORD flags) {
    if (flags == MONITOR_DEFAULTTOPRIMARY) return HandleOf(PrimaryIndex(all));
    if (flags != MONITOR_DEFAULTTONEAREST) return nullptr;
    size_t best = 0;
    for (size_t i = 1; i < all.size(); ++i)
        if (Distance(r, all[i].rcMonitor) < Distance(r, all[best].rcMonitor)) best = i;
    return HandleOf(best);
}

} // namespace

} // namespace twuser

using namespace twuser;

extern "C" {

HMONITOR WINAPI MonitorFromPoint(POINT pt, DWORD flags) {
    const auto all = Monitors();
    for (size_t i = 0; i < all.size(); ++i)
        if (PtInRect(&all[i].rcMonitor, pt)) return HandleOf(i);
    const RECT r{pt.x, pt.y, pt.x + 1, pt.y + 1};
    return Fallback(all, r, flags);
}

HMONITOR WINAPI MonitorFromRect(LPCRECT rc, DWORD flags) {
    if (!rc) return nullptr;
    const auto all = Monitors();
    // The monitor holding most of the rectangle.
    long long best = 0;
    HMONITOR found = nullptr;
    for (size_t i = 0; i < all.size(); ++i) {
        RECT x;
        if (!IntersectRect(&x, rc, &all[i].rcMonitor)) continue;
        const long long area = (long long)(x.right - x.left) * (x.bottom - x.top);
        if (area > best) best = area, found = HandleOf(i);
    }
    if (found) return found;
    // An empty rectangle on a monitor still belongs to it.
    for (size_t i = 0; i < all.size(); ++i)
        if (PtInRect(&all[i].rcMonitor, POINT{rc->left, rc->top})) return HandleOf(i);
    return Fallback(all, *rc, flags);
}

HMONITOR WINAPI MonitorFromWindow(HWND hwnd, DWORD flags) {
    Window* w = Get(hwnd);
    if (!w) return flags == MONITOR_DEFAULTTONULL ? nullptr : Fallback(Monitors(), RECT{}, MONITOR_DEFAULTTOPRIMARY);
    // A minimized window belongs where it is restored to.
    RECT r = ScreenRect(w);
    if (w->minimized && IsTopLevel(w)) r = w->normalRect;
    return MonitorFromRect(&r, flags);
}

BOOL WINAPI GetMonitorInfoW(HMONITOR m, LPMONITORINFO mi) {
    const auto all = Monitors();
    const size_t i = IndexOf(m);
    if (i >= all.size() || !mi || mi->cbSize < sizeof(MONITORINFO)) return FALSE;
    mi->rcMonitor = all[i].rcMonitor;
    mi->rcWork = all[i].rcWork;
    mi->dwFlags = all[i].primary ? MONITORINFOF_PRIMARY : 0;
    return TRUE;
}

BOOL WINAPI EnumDisplayMonitors(HDC hdc, LPCRECT clip, MONITORENUMPROC proc, LPARAM data) {
    if (!proc) return FALSE;
    const auto all = Monitors();
    // With a DC, only the part of the screen the DC's window covers counts (clip in its client coordinates).
    std::optional<RECT> limit;
    POINT shift{0, 0};
    if (hdc) {
        Window* w = Get(WindowFromDC(hdc));
        if (!w) return FALSE;
        limit = ScreenClientRect(w);
        shift = ClientOrigin(w);
    }
    if (clip) {
        RECT c = *clip;
        OffsetRect(&c, shift.x, shift.y);
        if (limit) IntersectRect(&c, &c, &*limit);
        limit = c;
    }
    for (size_t i = 0; i < all.size(); ++i) {
        RECT r = all[i].rcMonitor;
        if (limit && !IntersectRect(&r, &r, &*limit)) continue;
        OffsetRect(&r, -shift.x, -shift.y);
        if (!proc(HandleOf(i), hdc, &r, data)) return TRUE;
    }
    return TRUE;
}

void WINAPI TwSetMonitorProvider(TwMonitorsProc proc) { monitorProvider = proc; }

BOOL WINAPI GetMonitorInfoA(HMONITOR m, LPMONITORINFO mi) { return GetMonitorInfoW(m, mi); }

void WINAPI TwResetWindowing(void) {
    auto& s = S();
    for (int round = 0; round < 4; ++round) {
        std::vector<HWND> tops;
        for (Window* t : Desktop()->children) tops.push_back(t->handle);
        if (tops.empty()) break;
        for (HWND h : tops) DestroyWindow(h);
    }
    // Anything a hook or procedure kept alive is forgotten too.
    for (Window* t : std::vector<Window*>(Desktop()->children)) t->parent = nullptr;
    Desktop()->children.clear();
    for (Hook& h : s.hooks)
        if (!h.removed) UnhookWindowsHookEx(h.handle);
    s.timers.clear();
    s.classes.erase(std::remove_if(s.classes.begin(), s.classes.end(), [](auto& c) { return c->windows == 0; }),
                    s.classes.end());
    {
        std::lock_guard<std::mutex> lock(s.postLock);
        s.posted.clear();
    }
    s.input.clear();
    s.quitPosted = false;
    s.quitCode = 0;
    s.active = s.focus = s.capture = nullptr;
    s.appActive = false;
    std::fill(std::begin(s.keyState), std::end(s.keyState), BYTE(0));
    std::fill(std::begin(s.asyncKeyState), std::end(s.asyncKeyState), BYTE(0));
    s.lastClickTime = 0;
    s.lastClickHwnd = nullptr;
    s.mouseWindow = s.trackLeave = nullptr;
    s.altAlone = s.f10Down = false;
    s.pendingText.clear();
    s.caret = Caret{};
    s.currentCursor = nullptr;
    s.idleProc = nullptr;
    s.idleContext = nullptr;
    s.doubleClickTime = 500;
    s.lastMsg = MSG{};
    if (s.sendDepth == 0) FreeDeadWindows();
    controls::RegisterBuiltinClasses();  // the system's classes outlive a reset
}

} // extern "C"
