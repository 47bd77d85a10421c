// One clock for the whole window model (real, or manual in tests) and the timers that run on it.
#include "win/user32/WindowModel.h"

#include <algorithm>
#include <chrono>

namespace twuser {

DWORD Now() { return GetTickCount(); }

UINT_PTR AddTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc, bool system) {
    auto& s = S();
    // Windows clamps the interval to at least 10 ms.
    elapse = std::max<UINT>(elapse, 10);
    const ULONGLONG due = GetTickCount64() + elapse;
    if (hwnd) {
        for (Timer& t : s.timers)
            if (!t.killed && t.hwnd == hwnd && t.id == id && t.system == system) {
                t.interval = elapse;
                t.proc = proc;
                t.due = due;
                return id ? id : 1;
            }
    } else {
        if (id) {
            for (Timer& t : s.timers)
                if (!t.killed && !t.hwnd && t.id == id) {
                    t.interval = elapse;
                    t.proc = proc;
                    t.due = due;
                    return id;
                }
        }
        id = ++s.nextTimerId;
    }
    Timer t;
    t.hwnd = hwnd;
    t.id = id;
    t.interval = elapse;
    t.proc = proc;
    t.due = due;
    t.system = system;
    s.timers.push_back(t);
    BumpSerial();
    return id ? id : 1;
}

void RemoveTimer(HWND hwnd, UINT_PTR id, bool system) {
    auto& v = S().timers;
    v.erase(std::remove_if(v.begin(), v.end(),
                           [&](const Timer& t) { return t.hwnd == hwnd && t.id == id && t.system == system; }),
            v.end());
}

void RemoveTimersOf(HWND hwnd) {
    auto& v = S().timers;
    v.erase(std::remove_if(v.begin(), v.end(), [&](const Timer& t) { return t.hwnd == hwnd; }), v.end());
}

std::optional<ULONGLONG> NextTimerDue() {
    std::optional<ULONGLONG> next;
    for (const Timer& t : S().timers)
        if (!t.killed && (!next || t.due < *next)) next = t.due;
    return next;
}

bool TakeTimer(MSG& msg, HWND filter, UINT minMsg, UINT maxMsg, bool remove) {
    auto& s = S();
    const ULONGLONG now = GetTickCount64();
    Timer* best = nullptr;
    for (Timer& t : s.timers) {
        if (t.killed || t.due > now) continue;
        const UINT m = t.system ? WM_SYSTIMER : WM_TIMER;
        if (!(minMsg == 0 && maxMsg == 0) && (m < minMsg || m > maxMsg)) continue;
        if (filter == reinterpret_cast<HWND>(-1)) {
            if (t.hwnd) continue;
        } else if (filter && t.hwnd != filter && !IsChild(filter, t.hwnd)) {
            continue;
        }
        if (t.hwnd && !Get(t.hwnd)) continue;
        if (!best || t.due < best->due) best = &t;
    }
    if (!best) return false;
    msg = MSG{best->hwnd, UINT(best->system ? WM_SYSTIMER : WM_TIMER), best->id,
              reinterpret_cast<LPARAM>(best->proc), DWORD(now), s.cursorPos};
    // One WM_TIMER per expiry, however late: the next one is an interval after this one is taken.
    if (remove) best->due = now + best->interval;
    return true;
}

} // namespace twuser

using namespace twuser;

extern "C" {

UINT_PTR WINAPI SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc) {
    if (hwnd && !Get(hwnd)) return 0;
    return AddTimer(hwnd, id, elapse, proc, false);
}

BOOL WINAPI KillTimer(HWND hwnd, UINT_PTR id) {
    auto& v = S().timers;
    const auto before = v.size();
    RemoveTimer(hwnd, id, false);
    // A WM_TIMER already taken from the queue but not dispatched finds no timer and calls nothing.
    return v.size() != before;
}

ULONGLONG WINAPI GetTickCount64(void) {
    auto& s = S();
    if (s.manualClock) return s.manualNow;
    using namespace std::chrono;
    return ULONGLONG(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

DWORD WINAPI GetTickCount(void) { return DWORD(GetTickCount64()); }

UINT WINAPI GetDoubleClickTime(void) { return S().doubleClickTime; }

BOOL WINAPI SetDoubleClickTime(UINT ms) {
    S().doubleClickTime = ms ? ms : 500;
    return TRUE;
}

UINT WINAPI GetCaretBlinkTime(void) { return 530; }

void WINAPI TwUseManualClock(ULONGLONG startMs) {
    auto& s = S();
    const ULONGLONG real = GetTickCount64();
    s.manualClock = true;
    s.manualNow = startMs;
    // Timers keep their remaining time on the new clock.
    for (Timer& t : s.timers) t.due = startMs + (t.due > real ? t.due - real : 0);
}

void WINAPI TwUseRealClock(void) {
    auto& s = S();
    const ULONGLONG manual = s.manualNow;
    s.manualClock = false;
    const ULONGLONG real = GetTickCount64();
    for (Timer& t : s.timers) t.due = real + (t.due > manual ? t.due - manual : 0);
}

BOOL WINAPI TwClockIsManual(void) { return S().manualClock; }

void WINAPI TwAdvanceClock(ULONGLONG ms) {
    auto& s = S();
    if (!s.manualClock) return;
    s.manualNow += ms;
    WakeQueue();
}

void WINAPI TwSetIdleHook(TwIdleProc proc, void* context) {
    S().idleProc = proc;
    S().idleContext = context;
}

BOOL WINAPI TwNextTimerDue(ULONGLONG* due) {
    auto next = NextTimerDue();
    if (!next) return FALSE;
    if (due) *due = *next;
    return TRUE;
}

} // extern "C"
