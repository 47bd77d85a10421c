// The window model's connection to the presentation, monitors, message boxes and the reset tests use.
#include "win/user32/WindowModel.h"

#include <cstdio>

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

int CALLBACK DefaultMessageBox(HWND, LPCWSTR text, LPCWSTR caption, UINT type) {
    // No dialog without the class library's handler: say it where someone can read it, and give the
    // answer that changes nothing.
    std::fprintf(stderr, "%s: %s\n", QString::fromUtf16(caption ? caption : u"").toLocal8Bit().constData(),
                 QString::fromUtf16(text ? text : u"").toLocal8Bit().constData());
    switch (type & 0xF) {
    case MB_OKCANCEL:
    case MB_RETRYCANCEL:
    case MB_YESNOCANCEL: return IDCANCEL;
    case MB_YESNO: return IDNO;
    case MB_ABORTRETRYIGNORE: return IDABORT;
    default: return IDOK;
    }
}

TwMessageBoxProc messageBoxProc = DefaultMessageBox;

const HMONITOR PrimaryMonitor = reinterpret_cast<HMONITOR>(uintptr_t(0x1001));

} // namespace

} // namespace twuser

using namespace twuser;

extern "C" {

int WINAPI MessageBoxW(HWND hwnd, LPCWSTR text, LPCWSTR caption, UINT type) {
    return messageBoxProc(hwnd, text, caption, type);
}

TwMessageBoxProc WINAPI TwSetMessageBoxHandler(TwMessageBoxProc proc) {
    const TwMessageBoxProc old = messageBoxProc;
    messageBoxProc = proc ? proc : DefaultMessageBox;
    return old;
}

HMONITOR WINAPI MonitorFromPoint(POINT pt, DWORD flags) {
    const RECT r{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (!PtInRect(&r, pt) && flags == MONITOR_DEFAULTTONULL) return nullptr;
    return PrimaryMonitor;
}

HMONITOR WINAPI MonitorFromRect(LPCRECT rc, DWORD flags) {
    const RECT r{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    RECT tmp;
    if (rc && !IntersectRect(&tmp, rc, &r) && flags == MONITOR_DEFAULTTONULL) return nullptr;
    return PrimaryMonitor;
}

HMONITOR WINAPI MonitorFromWindow(HWND hwnd, DWORD flags) {
    RECT r{};
    if (!GetWindowRect(hwnd, &r)) return flags == MONITOR_DEFAULTTONULL ? nullptr : PrimaryMonitor;
    return MonitorFromRect(&r, flags);
}

BOOL WINAPI GetMonitorInfoW(HMONITOR m, LPMONITORINFO mi) {
    if (m != PrimaryMonitor || !mi || mi->cbSize < sizeof(MONITORINFO)) return FALSE;
    mi->rcMonitor = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    mi->rcWork = mi->rcMonitor;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &mi->rcWork, 0);
    mi->dwFlags = MONITORINFOF_PRIMARY;
    return TRUE;
}

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
}

} // extern "C"
