// Pipes, child processes and process snapshots of the stand-in, over pipe2, posix_spawn, waitpid
// and /proc.
#include "win/kernel32/winbase.h"
#include "win/kernel32/Utf8.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>

extern char** environ;

namespace {

// ---- text -----------------------------------------------------------------------------------------

std::u16string FromUtf8(const std::string& s) {
    std::u16string out;
    out.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        const auto b = static_cast<unsigned char>(s[i]);
        uint32_t c = 0xFFFD;
        size_t len = 1;
        if (b < 0x80) {
            c = b;
        } else if ((b & 0xE0) == 0xC0) {
            len = 2;
        } else if ((b & 0xF0) == 0xE0) {
            len = 3;
        } else if ((b & 0xF8) == 0xF0) {
            len = 4;
        }
        if (len > 1) {
            bool ok = i + len <= s.size();
            uint32_t v = b & (0xFF >> (len + 1));
            for (size_t k = 1; ok && k < len; ++k) {
                const auto cb = static_cast<unsigned char>(s[i + k]);
                ok = (cb & 0xC0) == 0x80;
                v = (v << 6) | (cb & 0x3F);
            }
            if (ok) {
                c = v;
            } else {
                len = 1;
            }
        }
        i += len;
        if (c >= 0x10000) {
            c -= 0x10000;
            out += char16_t(0xD800 + (c >> 10));
            out += char16_t(0xDC00 + (c & 0x3FF));
        } else {
            out += char16_t(c);
        }
    }
    return out;
}

bool Fail(DWORD Code) {
    SetLastError(Code);
    return false;
}

// Keeps pipe ends off descriptors 0..2, so that handing them to a child as its standard handles
// never overwrites one with another.
int AboveStandardFds(int fd) {
    if (fd < 0 || fd > 2) return fd;
    const int moved = fcntl(fd, F_DUPFD_CLOEXEC, 3);
    const int saved = errno;
    close(fd);
    errno = saved;
    return moved;
}

// ---- pipes ----------------------------------------------------------------------------------------

struct PipeEnd : TwKernelObject {
    PipeEnd(int Fd, bool IsRead) : Fd(Fd), IsRead(IsRead) {}
    ~PipeEnd() override { close(Fd); }

    DWORD Wait(DWORD Milliseconds) override {
        pollfd p{Fd, short(IsRead ? POLLIN : POLLOUT), 0};
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(Milliseconds);
        for (;;) {
            int timeout = -1;
            if (Milliseconds != INFINITE) {
                const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                    deadline - std::chrono::steady_clock::now());
                timeout = int(std::max<long long>(0, std::min<long long>(left.count(), INT_MAX)));
            }
            const int r = poll(&p, 1, timeout);
            if (r > 0) return WAIT_OBJECT_0; // data, end of file or an error: a read will not block
            if (r == 0) return WAIT_TIMEOUT;
            if (errno != EINTR) {
                SetLastError(TwErrorFromErrno(errno));
                return WAIT_FAILED;
            }
        }
    }

    BOOL Read(void* Buffer, DWORD Count, DWORD& Done) override {
        Done = 0;
        if (!IsRead) return Fail(ERROR_ACCESS_DENIED);
        if (Count == 0) return TRUE;
        for (;;) {
            const ssize_t r = read(Fd, Buffer, Count);
            if (r > 0) {
                Done = DWORD(r);
                return TRUE;
            }
            if (r == 0) return Fail(ERROR_BROKEN_PIPE);
            if (errno != EINTR) return Fail(errno == EPIPE ? ERROR_BROKEN_PIPE : TwErrorFromErrno(errno));
        }
    }

    BOOL Write(const void* Buffer, DWORD Count, DWORD& Done) override {
        Done = 0;
        if (IsRead) return Fail(ERROR_ACCESS_DENIED);
        // A reader that has gone must give an error, not a SIGPIPE that ends this program.
        sigset_t pipeSet, oldMask, pending;
        sigemptyset(&pipeSet);
        sigaddset(&pipeSet, SIGPIPE);
        sigpending(&pending);
        const bool wasPending = sigismember(&pending, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &pipeSet, &oldMask);
        int error = 0;
        const auto* bytes = static_cast<const char*>(Buffer);
        while (Done < Count) {
            const ssize_t r = write(Fd, bytes + Done, Count - Done);
            if (r >= 0) {
                Done += DWORD(r);
            } else if (errno != EINTR) {
                error = errno;
                break;
            }
        }
        if (error == EPIPE && !wasPending) {
            timespec zero{0, 0};
            sigtimedwait(&pipeSet, nullptr, &zero);
        }
        pthread_sigmask(SIG_SETMASK, &oldMask, nullptr);
        if (error) return Fail(TwErrorFromErrno(error));
        return TRUE;
    }

    int Fd;
    bool IsRead;
};

// ---- processes ------------------------------------------------------------------------------------

struct ProcessState;
std::mutex ChildrenLock;
std::map<pid_t, std::weak_ptr<ProcessState>>& Children() {
    static auto* children = new std::map<pid_t, std::weak_ptr<ProcessState>>;
    return *children;
}

struct ProcessState {
    ProcessState(pid_t Pid, bool IsChild) : Pid(Pid), IsChild(IsChild) {}

    ~ProcessState() {
        {
            std::lock_guard guard(ChildrenLock);
            auto it = Children().find(Pid);
            if (it != Children().end() && it->second.expired()) Children().erase(it);
        }
        std::lock_guard guard(Lock);
        if (IsChild && !PollLocked()) {
            // Nobody waits any more for a child that is still running: reap it when it ends, so it
            // does not stay behind as a zombie.
            const pid_t pid = Pid;
            std::thread([pid] {
                int status = 0;
                while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
                }
            }).detach();
        }
    }

    DWORD Decode(int Status) const {
        if (WIFEXITED(Status)) return DWORD(WEXITSTATUS(Status));
        if (Terminated) return TerminateCode;
        if (WIFSIGNALED(Status)) return DWORD(128 + WTERMSIG(Status));
        return 0;
    }

    bool PollLocked() {
        if (Exited) return true;
        if (IsChild) {
            int status = 0;
            const pid_t r = waitpid(Pid, &status, WNOHANG);
            if (r == Pid) {
                Exited = true;
                ExitCode = Decode(status);
            } else if (r < 0 && errno == ECHILD) { // reaped elsewhere: the code is lost
                Exited = true;
                ExitCode = Terminated ? TerminateCode : 0;
            }
        } else if (kill(Pid, 0) != 0 && errno == ESRCH) {
            Exited = true;
            ExitCode = Terminated ? TerminateCode : 0;
        }
        return Exited;
    }

    bool Poll() {
        std::lock_guard guard(Lock);
        return PollLocked();
    }

    const pid_t Pid;
    const bool IsChild; // started by this process, so this process reaps it
    std::mutex Lock;
    bool Exited = false;
    DWORD ExitCode = STILL_ACTIVE;
    bool Terminated = false;
    DWORD TerminateCode = 0;
};

struct ProcessObject : TwKernelObject {
    explicit ProcessObject(std::shared_ptr<ProcessState> State) : State(std::move(State)) {}

    DWORD Wait(DWORD Milliseconds) override {
        const auto start = std::chrono::steady_clock::now();
        int step = 1;
        for (;;) {
            if (State->Poll()) return WAIT_OBJECT_0;
            const auto spent = std::chrono::duration_cast<std::chrono::milliseconds>(
                                   std::chrono::steady_clock::now() - start)
                                   .count();
            if (Milliseconds != INFINITE && spent >= Milliseconds) return WAIT_TIMEOUT;
            long long pause = step;
            if (Milliseconds != INFINITE) pause = std::min<long long>(pause, Milliseconds - spent);
            std::this_thread::sleep_for(std::chrono::milliseconds(pause));
            step = std::min(step * 2, 10);
        }
    }

    std::shared_ptr<ProcessState> State;
};

std::shared_ptr<ProcessState> StateOf(HANDLE h) {
    if (h == GetCurrentProcess()) {
        static auto self = std::make_shared<ProcessState>(getpid(), false);
        return self;
    }
    auto object = TwLookupHandle(h);
    if (!object) return nullptr;
    auto* process = dynamic_cast<ProcessObject*>(object.get());
    if (!process) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return process->State;
}

std::string CurrentDir() {
    std::string buf(4096, '\0');
    while (!getcwd(buf.data(), buf.size())) {
        if (errno != ERANGE) return "/";
        buf.resize(buf.size() * 2);
    }
    return buf.c_str();
}

// The program a command-line name stands for: a name with '/' as a path from the current folder,
// any other name through PATH. Empty with Error set when there is no such program.
std::string ResolveProgram(const std::string& Name, int& Error) {
    Error = ENOENT;
    if (Name.empty()) return {};
    auto check = [&Error](const std::string& Path) {
        struct stat st {};
        if (stat(Path.c_str(), &st) != 0) return false;
        if (!S_ISREG(st.st_mode) || access(Path.c_str(), X_OK) != 0) {
            Error = EACCES;
            return false;
        }
        return true;
    };
    if (Name.find('/') != std::string::npos) {
        const std::string path = Name[0] == '/' ? Name : CurrentDir() + "/" + Name;
        return check(path) ? path : std::string();
    }
    const char* env = getenv("PATH");
    const std::string pathList = env && *env ? env : "/usr/local/bin:/usr/bin:/bin";
    std::stringstream dirs(pathList);
    std::string dir;
    while (std::getline(dirs, dir, ':')) {
        const std::string path = (dir.empty() ? std::string(".") : dir) + "/" + Name;
        if (check(path)) return path[0] == '/' ? path : CurrentDir() + "/" + path;
    }
    return {};
}

int FdOf(HANDLE h) {
    auto object = TwLookupHandle(h);
    auto* end = object ? dynamic_cast<PipeEnd*>(object.get()) : nullptr;
    return end ? end->Fd : -1;
}

// /proc/<pid>/stat: the name in parentheses (which may hold blanks and parentheses), then the fields.
bool ReadStat(pid_t Pid, std::string& Comm, char& State, pid_t& Parent, long& Threads) {
    std::ifstream f("/proc/" + std::to_string(Pid) + "/stat");
    std::string line;
    if (!f || !std::getline(f, line)) return false;
    const size_t open = line.find('('), close = line.rfind(')');
    if (open == std::string::npos || close == std::string::npos || close < open) return false;
    Comm = line.substr(open + 1, close - open - 1);
    std::istringstream rest(line.substr(close + 1));
    long fields[18] = {};
    rest >> State;
    for (int i = 0; i < 17 && rest; ++i) rest >> fields[i];
    Parent = pid_t(fields[0]);
    Threads = fields[16];
    return bool(rest) || rest.eof();
}

std::string ExeOf(pid_t Pid, int& Error) {
    std::string buf(4096, '\0');
    const std::string link = "/proc/" + std::to_string(Pid) + "/exe";
    for (;;) {
        const ssize_t n = readlink(link.c_str(), buf.data(), buf.size());
        if (n < 0) {
            Error = errno;
            return {};
        }
        if (size_t(n) < buf.size()) {
            buf.resize(size_t(n));
            break;
        }
        buf.resize(buf.size() * 2);
    }
    const std::string deleted = " (deleted)";
    if (buf.size() > deleted.size() && buf.compare(buf.size() - deleted.size(), deleted.size(), deleted) == 0)
        buf.resize(buf.size() - deleted.size());
    return buf;
}

struct Snapshot : TwKernelObject {
    std::mutex Lock;
    std::vector<PROCESSENTRY32W> Entries;
    size_t Next = 0;
};

BOOL SnapshotEntry(HANDLE h, LPPROCESSENTRY32W lppe, bool First) {
    auto object = TwLookupHandle(h);
    auto* snap = object ? dynamic_cast<Snapshot*>(object.get()) : nullptr;
    if (!snap) return Fail(ERROR_INVALID_HANDLE);
    if (!lppe || lppe->dwSize < sizeof(PROCESSENTRY32W)) return Fail(24); // ERROR_BAD_LENGTH
    std::lock_guard guard(snap->Lock);
    if (First) snap->Next = 0;
    if (snap->Next >= snap->Entries.size()) return Fail(ERROR_NO_MORE_FILES);
    *lppe = snap->Entries[snap->Next++];
    return TRUE;
}

} // namespace

HANDLE TwCreateThreadSnapshot(DWORD ProcessId);

extern "C" {

BOOL WINAPI CreatePipe(PHANDLE hReadPipe, PHANDLE hWritePipe, LPSECURITY_ATTRIBUTES lpPipeAttributes, DWORD) {
    if (!hReadPipe || !hWritePipe) return Fail(ERROR_INVALID_PARAMETER);
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return Fail(TwErrorFromErrno(errno));
    fds[0] = AboveStandardFds(fds[0]);
    fds[1] = AboveStandardFds(fds[1]);
    if (fds[0] < 0 || fds[1] < 0) {
        const DWORD error = TwErrorFromErrno(errno);
        if (fds[0] >= 0) close(fds[0]);
        if (fds[1] >= 0) close(fds[1]);
        return Fail(error);
    }
    const DWORD flags = lpPipeAttributes && lpPipeAttributes->bInheritHandle ? HANDLE_FLAG_INHERIT : 0;
    auto readEnd = std::make_shared<PipeEnd>(fds[0], true);
    auto writeEnd = std::make_shared<PipeEnd>(fds[1], false);
    HANDLE r = TwNewHandle(readEnd, flags);
    if (!r) return FALSE;
    HANDLE w = TwNewHandle(writeEnd, flags);
    if (!w) {
        CloseHandle(r);
        return FALSE;
    }
    *hReadPipe = r;
    *hWritePipe = w;
    return TRUE;
}

BOOL WINAPI PeekNamedPipe(HANDLE hNamedPipe, LPVOID lpBuffer, DWORD nBufferSize, LPDWORD lpBytesRead,
                          LPDWORD lpTotalBytesAvail, LPDWORD lpBytesLeftThisMessage) {
    if (lpBuffer && nBufferSize) return Fail(ERROR_NOT_SUPPORTED); // only the byte count is offered
    const int fd = FdOf(hNamedPipe);
    if (fd < 0) return Fail(ERROR_INVALID_HANDLE);
    int avail = 0;
    if (ioctl(fd, FIONREAD, &avail) != 0) return Fail(TwErrorFromErrno(errno));
    if (avail == 0) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR))) return Fail(ERROR_BROKEN_PIPE);
    }
    if (lpBytesRead) *lpBytesRead = 0;
    if (lpTotalBytesAvail) *lpTotalBytesAvail = DWORD(avail);
    if (lpBytesLeftThisMessage) *lpBytesLeftThisMessage = 0;
    return TRUE;
}

BOOL WINAPI CreateProcessW(LPCWSTR lpApplicationName, LPWSTR lpCommandLine, LPSECURITY_ATTRIBUTES,
                           LPSECURITY_ATTRIBUTES, BOOL, DWORD, LPVOID lpEnvironment,
                           LPCWSTR lpCurrentDirectory, LPSTARTUPINFOW lpStartupInfo,
                           LPPROCESS_INFORMATION lpProcessInformation) {
    if (lpApplicationName || lpEnvironment || !lpCommandLine || !lpProcessInformation)
        return Fail(ERROR_INVALID_PARAMETER);
    const std::u16string line(lpCommandLine);
    size_t start = 0;
    while (start < line.size() && (line[start] == u' ' || line[start] == u'\t')) ++start;
    if (start >= line.size()) return Fail(ERROR_FILE_NOT_FOUND);

    // The program: quoted, or unquoted up to a blank; an unquoted path holding blanks is tried at
    // each blank in turn, the shortest first, as Windows does.
    std::string program, resolved;
    size_t argsFrom = 0;
    int error = ENOENT;
    if (line[start] == u'"') {
        const size_t close = line.find(u'"', start + 1);
        program = winkernel::Utf16ToUtf8(
            line.substr(start + 1, close == std::u16string::npos ? std::u16string::npos : close - start - 1));
        argsFrom = close == std::u16string::npos ? line.size() : close + 1;
        resolved = ResolveProgram(program, error);
    } else {
        size_t pos = start;
        int firstError = 0;
        for (;;) {
            const size_t blank = line.find_first_of(u" \t", pos);
            const std::string candidate = winkernel::Utf16ToUtf8(
                line.substr(start, blank == std::u16string::npos ? std::u16string::npos : blank - start));
            int candidateError = ENOENT;
            resolved = ResolveProgram(candidate, candidateError);
            if (program.empty()) {
                program = candidate; // what is reported when nothing is found
                argsFrom = blank == std::u16string::npos ? line.size() : blank;
                firstError = candidateError;
            }
            if (!resolved.empty()) {
                program = candidate;
                argsFrom = blank == std::u16string::npos ? line.size() : blank;
                break;
            }
            if (blank == std::u16string::npos) break;
            pos = blank + 1;
        }
        error = firstError;
    }
    if (resolved.empty()) return Fail(TwErrorFromErrno(error));

    std::vector<std::u16string> args = TwCommandLineToArgv(u"x" + line.substr(argsFrom));
    std::vector<std::string> argv8{program};
    for (size_t i = 1; i < args.size(); ++i) argv8.push_back(winkernel::Utf16ToUtf8(args[i]));
    std::vector<char*> argv;
    for (auto& a : argv8) argv.push_back(a.data());
    argv.push_back(nullptr);

    std::string cwd;
    if (lpCurrentDirectory && *lpCurrentDirectory) {
        cwd = winkernel::Utf16ToUtf8(lpCurrentDirectory);
        struct stat st {};
        if (stat(cwd.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return Fail(ERROR_DIRECTORY);
    }

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    int devNull = -1;
    if (lpStartupInfo && (lpStartupInfo->dwFlags & STARTF_USESTDHANDLES)) {
        const HANDLE std[3] = {lpStartupInfo->hStdInput, lpStartupInfo->hStdOutput, lpStartupInfo->hStdError};
        for (int k = 0; k < 3; ++k) {
            int fd = FdOf(std[k]);
            if (fd < 0) { // no usable handle: the child gets the null device
                if (devNull < 0) devNull = AboveStandardFds(open("/dev/null", O_RDWR | O_CLOEXEC));
                fd = devNull;
            }
            if (fd >= 0) posix_spawn_file_actions_adddup2(&actions, fd, k);
        }
    }
    if (!cwd.empty()) posix_spawn_file_actions_addchdir_np(&actions, cwd.c_str());
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
    posix_spawn_file_actions_addclosefrom_np(&actions, 3); // only the standard handles are inherited
#endif

    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t mask, defaults;
    sigemptyset(&mask);
    sigemptyset(&defaults);
    for (int sig : {SIGPIPE, SIGINT, SIGQUIT, SIGTERM, SIGHUP, SIGCHLD, SIGUSR1, SIGUSR2, SIGALRM})
        sigaddset(&defaults, sig);
    posix_spawnattr_setsigmask(&attr, &mask);
    posix_spawnattr_setsigdefault(&attr, &defaults);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    pid_t pid = 0;
    const int rc = posix_spawn(&pid, resolved.c_str(), &actions, &attr, argv.data(), environ);
    posix_spawnattr_destroy(&attr);
    posix_spawn_file_actions_destroy(&actions);
    if (devNull >= 0) close(devNull);
    if (rc != 0) return Fail(TwErrorFromErrno(rc));

    auto state = std::make_shared<ProcessState>(pid, true);
    {
        std::lock_guard guard(ChildrenLock);
        Children()[pid] = state;
    }
    HANDLE process = TwNewHandle(std::make_shared<ProcessObject>(state));
    HANDLE thread = process ? TwNewHandle(std::make_shared<ProcessObject>(state)) : nullptr;
    if (!thread) {
        if (process) CloseHandle(process);
        kill(pid, SIGKILL);
        return Fail(ERROR_NOT_ENOUGH_MEMORY);
    }
    lpProcessInformation->hProcess = process;
    lpProcessInformation->hThread = thread;
    lpProcessInformation->dwProcessId = DWORD(pid);
    lpProcessInformation->dwThreadId = DWORD(pid);
    return TRUE;
}

BOOL WINAPI GetExitCodeProcess(HANDLE hProcess, LPDWORD lpExitCode) {
    auto state = StateOf(hProcess);
    if (!state) return FALSE;
    if (!lpExitCode) return Fail(ERROR_INVALID_PARAMETER);
    std::lock_guard guard(state->Lock);
    *lpExitCode = state->PollLocked() ? state->ExitCode : STILL_ACTIVE;
    return TRUE;
}

BOOL WINAPI TerminateProcess(HANDLE hProcess, UINT uExitCode) {
    if (hProcess == GetCurrentProcess()) _exit(int(uExitCode));
    auto state = StateOf(hProcess);
    if (!state) return FALSE;
    std::lock_guard guard(state->Lock);
    if (state->PollLocked()) return Fail(ERROR_ACCESS_DENIED);
    const bool wasTerminated = state->Terminated;
    state->Terminated = true;
    state->TerminateCode = uExitCode;
    if (kill(state->Pid, SIGKILL) != 0) {
        const int e = errno;
        state->Terminated = wasTerminated;
        return Fail(e == ESRCH ? ERROR_ACCESS_DENIED : TwErrorFromErrno(e));
    }
    return TRUE;
}

HANDLE WINAPI OpenProcess(DWORD, BOOL bInheritHandle, DWORD dwProcessId) {
    if (dwProcessId == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const pid_t pid = pid_t(dwProcessId);
    std::shared_ptr<ProcessState> state;
    {
        std::lock_guard guard(ChildrenLock);
        auto it = Children().find(pid);
        if (it != Children().end()) state = it->second.lock();
    }
    if (!state) {
        if (kill(pid, 0) != 0 && errno == ESRCH) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
        }
        state = std::make_shared<ProcessState>(pid, false);
    }
    return TwNewHandle(std::make_shared<ProcessObject>(state), bInheritHandle ? HANDLE_FLAG_INHERIT : 0);
}

HANDLE WINAPI GetCurrentProcess(void) {
    return INVALID_HANDLE_VALUE;
}

DWORD WINAPI GetCurrentProcessId(void) {
    return DWORD(getpid());
}

DWORD WINAPI GetProcessId(HANDLE Process) {
    auto state = StateOf(Process);
    return state ? DWORD(state->Pid) : 0;
}

DWORD WINAPI GetModuleFileNameExW(HANDLE hProcess, HMODULE hModule, LPWSTR lpFilename, DWORD nSize) {
    if (hModule || !lpFilename || nSize == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    auto state = StateOf(hProcess);
    if (!state) return 0;
    int error = 0;
    const std::string exe = ExeOf(state->Pid, error);
    if (exe.empty()) {
        SetLastError(error == ENOENT ? ERROR_INVALID_PARAMETER : TwErrorFromErrno(error));
        return 0;
    }
    const std::u16string path = FromUtf8(exe);
    const size_t n = std::min<size_t>(path.size(), nSize - 1);
    std::copy_n(path.begin(), n, lpFilename);
    lpFilename[n] = 0;
    if (n < path.size()) SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return DWORD(n);
}

HANDLE WINAPI CreateToolhelp32Snapshot(DWORD dwFlags, DWORD th32ProcessID) {
    if (dwFlags == TH32CS_SNAPTHREAD) return TwCreateThreadSnapshot(th32ProcessID); // Threads.cpp
    if (!(dwFlags & TH32CS_SNAPPROCESS) || (dwFlags & TH32CS_SNAPTHREAD)) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return INVALID_HANDLE_VALUE;
    }
    auto snap = std::make_shared<Snapshot>();
    DIR* dir = opendir("/proc");
    if (!dir) {
        SetLastError(TwErrorFromErrno(errno));
        return INVALID_HANDLE_VALUE;
    }
    while (dirent* e = readdir(dir)) {
        char* end = nullptr;
        const long pid = strtol(e->d_name, &end, 10);
        if (!end || *end || pid <= 0) continue;
        std::string comm;
        char state = 0;
        pid_t parent = 0;
        long threads = 0;
        if (!ReadStat(pid_t(pid), comm, state, parent, threads)) continue; // gone meanwhile
        PROCESSENTRY32W entry{};
        entry.dwSize = sizeof(entry);
        entry.th32ProcessID = DWORD(pid);
        entry.th32ParentProcessID = DWORD(parent);
        entry.cntThreads = DWORD(threads);
        int error = 0;
        std::string exe = ExeOf(pid_t(pid), error);
        std::string name = exe.empty() ? comm : exe.substr(exe.rfind('/') + 1);
        const std::u16string name16 = FromUtf8(name);
        const size_t n = std::min<size_t>(name16.size(), MAX_PATH - 1);
        std::copy_n(name16.begin(), n, entry.szExeFile);
        snap->Entries.push_back(entry);
    }
    closedir(dir);
    HANDLE h = TwNewHandle(snap);
    return h ? h : INVALID_HANDLE_VALUE;
}

BOOL WINAPI Process32FirstW(HANDLE hSnapshot, LPPROCESSENTRY32W lppe) {
    return SnapshotEntry(hSnapshot, lppe, true);
}

BOOL WINAPI Process32NextW(HANDLE hSnapshot, LPPROCESSENTRY32W lppe) {
    return SnapshotEntry(hSnapshot, lppe, false);
}

} // extern "C"
