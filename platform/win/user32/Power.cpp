// Ending the session through the login manager, and the accessibility events nobody listens to.
#include "win/user32/winwindow.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace {

std::atomic<TwExitWindowsProc> Handler{nullptr};

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

void WINAPI NotifyWinEvent(DWORD, HWND, LONG, LONG) {}

TwExitWindowsProc WINAPI TwSetExitWindowsHandler(TwExitWindowsProc proc) { return Handler.exchange(proc); }

} // extern "C"
