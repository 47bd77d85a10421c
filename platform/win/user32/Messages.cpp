// The message queue of the GUI thread: sent, posted and input messages, WM_QUIT, WM_PAINT from update
// regions and WM_TIMER from due timers, in Windows' order; waiting, translation and dispatch.
#include "win/user32/WindowModel.h"
#include "win/kernel32/winbase.h"

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace twuser {

State& S() {
    static State* s = new State();  // lives to the end: windows may be touched by late destructors
    return *s;
}

namespace {

std::condition_variable& QueueSignal() {
    static std::condition_variable cv;
    return cv;
}

std::thread::id GuiThread() {
    static const std::thread::id id = std::this_thread::get_id();
    return id;
}

// Bumped whenever something new arrives, so that WaitMessage can tell old from new.
uint64_t serial = 0;
uint64_t seenSerial = 0;
ULONGLONG lastPeekTime = 0;
unsigned peeksSinceEvents = 0;

struct DepthGuard {
    DepthGuard() { ++S().sendDepth; }
    ~DepthGuard() { --S().sendDepth; }
};

bool Matches(const MSG& m, HWND filter, UINT min, UINT max) {
    if (filter == reinterpret_cast<HWND>(-1)) {
        if (m.hwnd) return false;
    } else if (filter) {
        if (m.hwnd != filter && !IsChild(filter, m.hwnd)) return false;
    }
    if (min == 0 && max == 0) return true;
    return m.message >= min && m.message <= max;
}

bool InRange(UINT m, UINT min, UINT max) { return (min == 0 && max == 0) || (m >= min && m <= max); }

bool TimerDue() {
    const ULONGLONG now = GetTickCount64();
    for (const Timer& t : S().timers)
        if (!t.killed && t.due <= now) return true;
    return false;
}

bool HasWork() {
    auto& s = S();
    {
        std::lock_guard<std::mutex> lock(s.postLock);
        if (!s.posted.empty()) return true;
    }
    HWND h;
    return s.quitPosted || !s.input.empty() || FindPaintWindow(nullptr, h) || TimerDue();
}

bool NewWork() {
    if (serial != seenSerial) return true;
    const ULONGLONG now = GetTickCount64();
    for (const Timer& t : S().timers)
        if (!t.killed && t.due <= now && t.due > lastPeekTime) return true;
    return false;
}

void ProcessBackendEvents() {
    peeksSinceEvents = 0;
    if (Backend* b = S().backend) b->ProcessEvents(0);
}

BOOL PeekImpl(LPMSG out, HWND filter, UINT min, UINT max, UINT flags) {
    auto& s = S();
    if (s.sendDepth == 0) FreeDeadWindows();
    // Let the presentation deliver input now and then, also while posted messages flood the queue.
    if (++peeksSinceEvents >= 256) ProcessBackendEvents();
    seenSerial = serial;
    lastPeekTime = GetTickCount64();
    const bool remove = flags & PM_REMOVE;
    MSG msg{};
    bool found = false;
    for (int attempt = 0; attempt < 2 && !found; ++attempt) {
        {
            std::lock_guard<std::mutex> lock(s.postLock);
            for (auto it = s.posted.begin(); it != s.posted.end();) {
                if (it->hwnd && !Get(it->hwnd)) {  // the window died: its messages go with it
                    it = s.posted.erase(it);
                    continue;
                }
                if (Matches(*it, filter, min, max)) {
                    msg = *it;
                    if (remove) s.posted.erase(it);
                    found = true;
                    break;
                }
                ++it;
            }
        }
        if (!found && s.quitPosted) {
            msg = MSG{nullptr, WM_QUIT, WPARAM(s.quitCode), 0, Now(), s.cursorPos};
            if (remove) s.quitPosted = false;
            found = true;
        }
        if (!found) found = TakeInput(msg, filter, min, max, remove);
        if (!found && InRange(WM_PAINT, min, max)) {
            HWND h = nullptr;
            if (FindPaintWindow(filter == reinterpret_cast<HWND>(-1) ? nullptr : filter, h) &&
                filter != reinterpret_cast<HWND>(-1)) {
                msg = MSG{h, WM_PAINT, 0, 0, Now(), s.cursorPos};
                found = true;
            }
        }
        if (!found) found = TakeTimer(msg, filter, min, max, remove);
        if (!found && attempt == 0) {
            if (!s.backend) break;
            ProcessBackendEvents();
        }
    }
    if (!found) {
        PresentAll();
        return FALSE;
    }
    s.lastMsg = msg;
    if (HasHook(WH_GETMESSAGE)) {
        CallHooks(WH_GETMESSAGE, HC_ACTION, remove ? PM_REMOVE : PM_NOREMOVE, reinterpret_cast<LPARAM>(&msg));
    }
    if (out) *out = msg;
    return TRUE;
}

[[noreturn]] void Stalled() {
    std::fprintf(stderr,
                 "user32: the message queue waits under the manual clock, but no message, input, paint or "
                 "timer can ever arrive\n");
    std::abort();
}

} // namespace

LRESULT CallProc(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (!proc) return 0;
    DepthGuard guard;
    return proc(hwnd, msg, wp, lp);
}

LRESULT Send(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Window* w = Get(hwnd);
    if (!w) return 0;
    if (HasHook(WH_CALLWNDPROC)) {
        CWPSTRUCT c{lp, wp, msg, hwnd};
        CallHooks(WH_CALLWNDPROC, HC_ACTION, 1, reinterpret_cast<LPARAM>(&c));
        if (!(w = Get(hwnd))) return 0;
    }
    const LRESULT r = CallProc(w->proc, hwnd, msg, wp, lp);
    if (HasHook(WH_CALLWNDPROCRET) && Get(hwnd)) {
        CWPRETSTRUCT c{r, lp, wp, msg, hwnd};
        CallHooks(WH_CALLWNDPROCRET, HC_ACTION, 1, reinterpret_cast<LPARAM>(&c));
    }
    return r;
}

void Post(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto& s = S();
    {
        std::lock_guard<std::mutex> lock(s.postLock);
        s.posted.push_back(MSG{hwnd, msg, wp, lp, Now(), s.cursorPos});
        ++serial;
    }
    WakeQueue();
}

void WakeQueue() {
    QueueSignal().notify_all();
    if (std::this_thread::get_id() != GuiThread())
        if (Backend* b = S().backend) b->Wake();
}

void BumpSerial() { ++serial; }

void FreeDeadWindows() { S().graveyard.clear(); }

bool WaitForWork(std::optional<ULONGLONG> deadline) {
    auto& s = S();
    PresentAll();
    if (s.manualClock) {
        if (s.backend) s.backend->ProcessEvents(0);
        if (NewWork()) return true;
        if (s.idleProc) {
            const uint64_t before = serial;
            const ULONGLONG was = s.manualNow;
            s.idleProc(s.idleContext);
            if (serial != before || s.manualNow != was || NewWork()) return true;
        }
        std::optional<ULONGLONG> next;
        for (const Timer& t : s.timers)
            if (!t.killed && t.due > lastPeekTime && (!next || t.due < *next)) next = t.due;
        if (deadline && (!next || *deadline <= *next)) {
            s.manualNow = std::max(s.manualNow, *deadline);
            return false;
        }
        if (next) {
            s.manualNow = std::max(s.manualNow, *next);
            return true;
        }
        Stalled();
    }
    const ULONGLONG now = GetTickCount64();
    std::optional<ULONGLONG> wake = deadline;
    if (auto t = NextTimerDue(); t && (!wake || *t < *wake)) wake = *t;
    if (wake && *wake <= now) return !deadline || *deadline > now;
    const int timeout = wake ? int(std::min<ULONGLONG>(*wake - now, 0x7FFFFFFF)) : -1;
    if (s.backend) {
        s.backend->ProcessEvents(timeout);
    } else {
        std::unique_lock<std::mutex> lock(s.postLock);
        auto ready = [&] { return !s.posted.empty(); };
        if (timeout < 0) QueueSignal().wait(lock, ready);
        else QueueSignal().wait_for(lock, std::chrono::milliseconds(timeout), ready);
    }
    return !deadline || GetTickCount64() < *deadline;
}

// ---- hooks ----

namespace {
int hookCounts[16] = {};
int HookSlot(int type) { return type + 1 >= 0 && type + 1 < 16 ? type + 1 : 0; }

int removedHooks = 0;  // unhooked, still listed while a hook runs

void PurgeHooks() {
    auto& s = S();
    if (removedHooks == 0 || s.hookDepth != 0) return;
    auto& v = s.hooks;
    v.erase(std::remove_if(v.begin(), v.end(), [](const Hook& h) { return h.removed; }), v.end());
    removedHooks = 0;
}

LRESULT CallFrom(int type, size_t start, int code, WPARAM wp, LPARAM lp, bool* called) {
    auto& s = S();
    for (size_t i = start; i < s.hooks.size(); ++i) {
        const Hook h = s.hooks[i];
        if (h.type != type || h.removed) continue;
        if (called) *called = true;
        ++s.hookDepth;
        // A hook sits on every message sent: the list is swept only when one was removed meanwhile.
        struct Leave {
            decltype(s)& state;
            ~Leave() {
                if (--state.hookDepth == 0 && removedHooks) PurgeHooks();
            }
        } leave{s};
        return h.proc(code, wp, lp);
    }
    return 0;
}
} // namespace

bool HasHook(int type) { return hookCounts[HookSlot(type)] > 0; }

LRESULT CallHooks(int type, int code, WPARAM wp, LPARAM lp, bool* called) {
    if (!HasHook(type)) return 0;
    return CallFrom(type, 0, code, wp, lp, called);
}

} // namespace twuser

using namespace twuser;

extern "C" {

HHOOK WINAPI SetWindowsHookExW(int type, HOOKPROC proc, HINSTANCE, DWORD) {
    static const int supported[] = {WH_MSGFILTER, WH_GETMESSAGE, WH_CALLWNDPROC, WH_CBT,
                                    WH_MOUSE,     WH_KEYBOARD,   WH_CALLWNDPROCRET};
    if (!proc || std::find(std::begin(supported), std::end(supported), type) == std::end(supported)) {
        SetLastError(1426);  // ERROR_INVALID_HOOK_FILTER
        return nullptr;
    }
    auto& s = S();
    Hook h;
    h.handle = reinterpret_cast<HHOOK>(s.nextHook);
    s.nextHook += 4;
    h.type = type;
    h.proc = proc;
    s.hooks.insert(s.hooks.begin(), h);
    ++hookCounts[HookSlot(type)];
    return h.handle;
}

BOOL WINAPI UnhookWindowsHookEx(HHOOK hhk) {
    for (Hook& h : S().hooks)
        if (h.handle == hhk && !h.removed) {
            h.removed = true;
            ++removedHooks;
            --hookCounts[HookSlot(h.type)];
            PurgeHooks();
            return TRUE;
        }
    SetLastError(1404);  // ERROR_INVALID_HOOK_HANDLE
    return FALSE;
}

LRESULT WINAPI CallNextHookEx(HHOOK hhk, int code, WPARAM wp, LPARAM lp) {
    auto& v = S().hooks;
    for (size_t i = 0; i < v.size(); ++i)
        if (v[i].handle == hhk) return CallFrom(v[i].type, i + 1, code, wp, lp, nullptr);
    return 0;
}

BOOL WINAPI CallMsgFilterW(LPMSG msg, int code) {
    if (!msg) return FALSE;
    return CallHooks(WH_MSGFILTER, code, 0, reinterpret_cast<LPARAM>(msg)) != 0;
}

// ---- sending and posting ----

LRESULT WINAPI SendMessageW(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (hwnd == HWND_BROADCAST) {
        std::vector<HWND> tops;
        for (Window* t : Desktop()->children)
            if (!t->messageOnly) tops.push_back(t->handle);
        for (HWND t : tops) Send(t, msg, wp, lp);
        return 0;
    }
    return Send(hwnd, msg, wp, lp);
}

BOOL WINAPI SendNotifyMessageW(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (hwnd != HWND_BROADCAST && !Get(hwnd)) return FALSE;
    SendMessageW(hwnd, msg, wp, lp);
    return TRUE;
}

LRESULT WINAPI SendMessageTimeoutW(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT, UINT, PDWORD_PTR result) {
    if (hwnd != HWND_BROADCAST && !Get(hwnd)) return 0;
    const LRESULT r = SendMessageW(hwnd, msg, wp, lp);
    if (result) *result = DWORD_PTR(r);
    return 1;
}

BOOL WINAPI PostMessageW(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (hwnd == HWND_BROADCAST) {
        for (Window* t : Desktop()->children)
            if (!t->messageOnly) Post(t->handle, msg, wp, lp);
        return TRUE;
    }
    // Other threads may post; only the GUI thread can check the handle without a race.
    if (hwnd && std::this_thread::get_id() == GuiThread() && !Get(hwnd)) {
        SetLastError(1400);
        return FALSE;
    }
    Post(hwnd, msg, wp, lp);
    return TRUE;
}

BOOL WINAPI PostThreadMessageW(DWORD, UINT msg, WPARAM wp, LPARAM lp) {
    Post(nullptr, msg, wp, lp);
    return TRUE;
}

void WINAPI PostQuitMessage(int code) {
    auto& s = S();
    s.quitPosted = true;
    s.quitCode = code;
    ++serial;
    WakeQueue();
}

// ---- retrieving ----

BOOL WINAPI PeekMessageW(LPMSG msg, HWND hwnd, UINT min, UINT max, UINT flags) {
    if (hwnd && hwnd != reinterpret_cast<HWND>(-1) && !Get(hwnd)) return FALSE;
    return PeekImpl(msg, hwnd, min, max, flags);
}

BOOL WINAPI GetMessageW(LPMSG msg, HWND hwnd, UINT min, UINT max) {
    if (!msg || (hwnd && hwnd != reinterpret_cast<HWND>(-1) && !Get(hwnd))) {
        SetLastError(1400);
        return -1;
    }
    for (;;) {
        if (PeekImpl(msg, hwnd, min, max, PM_REMOVE)) return msg->message != WM_QUIT;
        WaitForWork(std::nullopt);
    }
}

BOOL WINAPI WaitMessage(void) {
    while (!NewWork()) {
        if (S().backend) ProcessBackendEvents();
        if (NewWork()) break;
        WaitForWork(std::nullopt);
    }
    seenSerial = serial;
    return TRUE;
}

DWORD WINAPI MsgWaitForMultipleObjectsEx(DWORD n, const HANDLE*, DWORD ms, DWORD, DWORD) {
    const ULONGLONG deadline = ms == INFINITE ? ~0ULL : GetTickCount64() + ms;
    for (;;) {
        if (S().backend) ProcessBackendEvents();
        if (HasWork() && NewWork()) return WAIT_OBJECT_0 + n;
        if (ms == 0 || GetTickCount64() >= deadline) return WAIT_TIMEOUT;
        if (!WaitForWork(ms == INFINITE ? std::nullopt : std::optional<ULONGLONG>(deadline))) return WAIT_TIMEOUT;
    }
}

DWORD WINAPI MsgWaitForMultipleObjects(DWORD n, const HANDLE* handles, BOOL, DWORD ms, DWORD mask) {
    return MsgWaitForMultipleObjectsEx(n, handles, ms, mask, 0);
}

DWORD WINAPI GetQueueStatus(UINT flags) {
    auto& s = S();
    DWORD status = 0;
    {
        std::lock_guard<std::mutex> lock(s.postLock);
        if (!s.posted.empty()) status |= QS_POSTMESSAGE;
    }
    for (const InputEvent& e : s.input)
        status |= e.kind == InputEvent::Key ? QS_KEY : e.kind == InputEvent::MouseMove ? QS_MOUSEMOVE : QS_MOUSEBUTTON;
    HWND h;
    if (FindPaintWindow(nullptr, h)) status |= QS_PAINT;
    if (TimerDue()) status |= QS_TIMER;
    status &= flags;
    return MAKELONG(status, status);
}

LRESULT WINAPI DispatchMessageW(const MSG* msg) {
    if (!msg) return 0;
    if (msg->message == WM_TIMER || msg->message == WM_SYSTIMER) {
        if (msg->message == WM_SYSTIMER && msg->wParam == TimerCaretBlink) {
            CaretBlink();
            return 0;
        }
        if (msg->message == WM_TIMER && msg->lParam) {
            // Only a live timer's procedure is called.
            for (const Timer& t : S().timers)
                if (!t.killed && !t.system && t.hwnd == msg->hwnd && t.id == msg->wParam &&
                    reinterpret_cast<LPARAM>(t.proc) == msg->lParam) {
                    reinterpret_cast<TIMERPROC>(msg->lParam)(msg->hwnd, WM_TIMER, msg->wParam, GetTickCount());
                    return 0;
                }
            return 0;
        }
        if (msg->message == WM_SYSTIMER) return 0;
    }
    Window* w = Get(msg->hwnd);
    if (!w) return 0;
    const HWND hwnd = msg->hwnd;
    const LRESULT r = CallProc(w->proc, hwnd, msg->message, msg->wParam, msg->lParam);
    if (msg->message == WM_PAINT) {
        if (Window* p = Get(hwnd)) {
            // A window procedure that neither painted nor passed WM_PAINT on would get it forever.
            if (p->frameNeeded || p->eraseNeeded || !p->update.IsEmpty() || p->internalPaint) {
                PAINTSTRUCT ps;
                if (BeginPaint(hwnd, &ps)) EndPaint(hwnd, &ps);
            }
        }
    }
    return r;
}

DWORD WINAPI GetMessagePos(void) {
    const POINT& p = S().lastMsg.pt;
    return DWORD(MAKELONG(WORD(SHORT(p.x)), WORD(SHORT(p.y))));
}

LONG WINAPI GetMessageTime(void) { return LONG(S().lastMsg.time); }
LPARAM WINAPI GetMessageExtraInfo(void) { return 0; }
BOOL WINAPI InSendMessage(void) { return FALSE; }

UINT WINAPI RegisterWindowMessageW(LPCWSTR name) {
    if (!name || !*name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    auto& v = S().registeredMessages;
    const std::u16string key = Fold(name);
    for (auto& p : v)
        if (p.first == key) return p.second;
    const UINT id = UINT(0xC000 + v.size());
    if (id > 0xFFFF) return 0;
    v.emplace_back(key, id);
    return id;
}

} // extern "C"
