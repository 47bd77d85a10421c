// Ending the session through the login manager, accessibility events for the program's own hooks, the
// record of calls that do nothing here, and the input method's held-back key.
#include "win/user32/winwindow.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <spawn.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace {

std::atomic<TwExitWindowsProc> Handler{nullptr};
std::atomic<TwCallRecorder> Recorder{nullptr};
std::atomic<UINT> ImmKey{0};

// The program's accessibility hooks (all on the GUI thread).
struct WinEventHook {
    HWINEVENTHOOK handle;
    DWORD min, max;
    WINEVENTPROC proc;
};
std::vector<WinEventHook>& WinEventHooks() {
    static std::vector<WinEventHook> hooks;
    return hooks;
}
bool IsHooked(HWINEVENTHOOK Handle) {
    for (const WinEventHook& h : WinEventHooks())
        if (h.handle == Handle) return true;
    return false;
}

// Runs a program found on the path and tells whether it exited with 0.
BOOL Run(const char* const* Argv) {
    pid_t Pid = 0;
    if (posix_spawnp(&Pid, Argv[0], nullptr, nullptr, const_cast<char* const*>(Argv), environ) != 0) return FALSE;
    int Status = 0;
    while (waitpid(Pid, &Status, 0) < 0)
        if (errno != EINTR) return FALSE;
    return WIFEXITED(Status) && WEXITSTATUS(Status) == 0;
}

// logind's manager call with the interactive flag: it may ask for authorisation and refuses rather
// than forcing other sessions or inhibitors aside.
BOOL CallLogind(const char* Method) {
    const char* const Argv[] = {"busctl", "call", "org.freedesktop.login1", "/org/freedesktop/login1",
                                "org.freedesktop.login1.Manager", Method, "b", "true", nullptr};
    return Run(Argv);
}

} // namespace

extern "C" {

BOOL WINAPI ExitWindowsEx(UINT uFlags, DWORD) {
    if (const TwExitWindowsProc H = Handler.load()) return H(uFlags);
    if (uFlags & (EWX_POWEROFF | EWX_SHUTDOWN)) return CallLogind("PowerOff");
    if (uFlags & EWX_REBOOT) return CallLogind("Reboot");
    // Logging off ends the session we run in.
    const char* Session = std::getenv("XDG_SESSION_ID");
    if (!Session || !*Session) return FALSE;
    const char* const Argv[] = {"loginctl", "terminate-session", Session, nullptr};
    return Run(Argv);
}

void WINAPI NotifyWinEvent(DWORD event, HWND hwnd, LONG idObject, LONG idChild) {
    // A copy: a hook may unhook itself or others while it runs.
    const std::vector<WinEventHook> hooks = WinEventHooks();
    for (const WinEventHook& h : hooks)
        if (event >= h.min && event <= h.max && IsHooked(h.handle))
            h.proc(h.handle, event, hwnd, idObject, idChild, GetCurrentThreadId(), GetTickCount());
}

HWINEVENTHOOK WINAPI SetWinEventHook(DWORD eventMin, DWORD eventMax, HMODULE, WINEVENTPROC pfnWinEventProc, DWORD,
                                     DWORD, DWORD) {
    if (!pfnWinEventProc || eventMin > eventMax) return nullptr;
    static uintptr_t next = 0;
    const auto handle = reinterpret_cast<HWINEVENTHOOK>(++next);
    WinEventHooks().push_back({handle, eventMin, eventMax, pfnWinEventProc});
    return handle;
}

BOOL WINAPI UnhookWinEvent(HWINEVENTHOOK hWinEventHook) {
    auto& hooks = WinEventHooks();
    for (auto it = hooks.begin(); it != hooks.end(); ++it)
        if (it->handle == hWinEventHook) {
            hooks.erase(it);
            return TRUE;
        }
    return FALSE;
}

TwCallRecorder WINAPI TwSetCallRecorder(TwCallRecorder proc) { return Recorder.exchange(proc); }

void WINAPI TwRecordCall(LPCWSTR name, LPCWSTR text, ULONG_PTR arg) {
    if (const TwCallRecorder r = Recorder.load()) r(name, text, arg);
}

UINT WINAPI ImmGetVirtualKey(HWND) { return ImmKey.load(); }

void WINAPI TwSetImmVirtualKey(UINT vk) { ImmKey.store(vk); }

TwExitWindowsProc WINAPI TwSetExitWindowsHandler(TwExitWindowsProc proc) { return Handler.exchange(proc); }

} // extern "C"
