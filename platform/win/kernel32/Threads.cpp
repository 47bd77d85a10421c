// Threads of the stand-in: snapshots over /proc, suspension by a signal that parks the thread in its
// handler, thread priorities and thread-local storage.
#include "win/kernel32/winbase.h"

#include <dirent.h>
#include <linux/futex.h>
#include <signal.h>
#include <sys/syscall.h>
#include <ucontext.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace {

BOOL Fail(DWORD Error) {
    SetLastError(Error);
    return FALSE;
}

pid_t CurrentTid() { return pid_t(syscall(SYS_gettid)); }

const HANDLE CurrentThreadHandle = reinterpret_cast<HANDLE>(LONG_PTR(-2));

struct ThreadObject : TwKernelObject {
    explicit ThreadObject(pid_t Id) : Tid(Id) {}
    pid_t Tid;
};

// The thread a handle stands for, or 0 (with the last error set).
pid_t TidOf(HANDLE h) {
    if (h == CurrentThreadHandle) return CurrentTid();
    auto object = TwLookupHandle(h);
    auto* thread = object ? dynamic_cast<ThreadObject*>(object.get()) : nullptr;
    if (!thread) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return thread->Tid;
}

// ---- snapshots -------------------------------------------------------------------------------------

struct ThreadSnapshot : TwKernelObject {
    std::mutex Lock;
    std::vector<THREADENTRY32> Entries;
    size_t Next = 0;
};

void AddThreadsOf(pid_t Pid, std::vector<THREADENTRY32>& Out) {
    const std::string dir = "/proc/" + std::to_string(Pid) + "/task";
    DIR* d = opendir(dir.c_str());
    if (!d) return; // gone meanwhile, or not ours to see
    while (dirent* e = readdir(d)) {
        char* end = nullptr;
        const long tid = std::strtol(e->d_name, &end, 10);
        if (!end || *end || tid <= 0) continue;
        THREADENTRY32 entry{};
        entry.dwSize = sizeof(entry);
        entry.th32ThreadID = DWORD(tid);
        entry.th32OwnerProcessID = DWORD(Pid);
        entry.tpBasePri = 8;
        Out.push_back(entry);
    }
    closedir(d);
}

// ---- suspension ------------------------------------------------------------------------------------

enum : int { Running = 0, Requested = 1, Parked = 2, Resuming = 3 };

// One per thread that is or is being suspended. The signal handler finds its slot by thread id
// without a lock, so the table is fixed and its ids atomic.
struct SuspendSlot {
    std::atomic<pid_t> Tid{0};
    std::atomic<int> State{Running};
    std::atomic<bool> Inside{false}; // in the handler, where the signal is blocked for a while
    ucontext_t* Context = nullptr; // while Parked: the registers the thread resumes with
    DWORD Count = 0;               // guarded by SuspendLock
};

constexpr int SlotCount = 1024;
SuspendSlot Slots[SlotCount];
std::mutex SuspendLock;
std::once_flag HandlerInstalled;

int SuspendSignal() { return SIGRTMIN + 6; }

void FutexWait(std::atomic<int>& Word, int Expected, long Nanoseconds) {
    timespec t{0, Nanoseconds};
    syscall(SYS_futex, reinterpret_cast<int*>(&Word), FUTEX_WAIT_PRIVATE, Expected, Nanoseconds ? &t : nullptr,
            nullptr, 0);
}

void FutexWake(std::atomic<int>& Word) {
    syscall(SYS_futex, reinterpret_cast<int*>(&Word), FUTEX_WAKE_PRIVATE, INT32_MAX, nullptr, nullptr, 0);
}

SuspendSlot* FindSlot(pid_t Tid) {
    for (auto& s : Slots)
        if (s.Tid.load(std::memory_order_acquire) == Tid) return &s;
    return nullptr;
}

// Under SuspendLock: a slot for a thread that has none. A slot stays with its thread (the handler may
// still be on its way out of it after a resume); those of ended threads are taken back when needed.
SuspendSlot* TakeSlot(pid_t Tid) {
    for (auto& s : Slots) {
        pid_t none = 0;
        if (s.Tid.compare_exchange_strong(none, Tid)) return &s;
    }
    for (auto& s : Slots)
        if (s.Count == 0 && s.State.load() == Running && syscall(SYS_tgkill, getpid(), s.Tid.load(), 0) != 0) {
            s.Tid.store(Tid, std::memory_order_release);
            return &s;
        }
    return nullptr;
}

// Async-signal-safe: atomics and futex calls only.
void OnSuspendSignal(int, siginfo_t*, void* Context) {
    const int savedErrno = errno;
    SuspendSlot* s = FindSlot(CurrentTid());
    if (s) {
        s->Inside.store(true, std::memory_order_release);
        s->Context = static_cast<ucontext_t*>(Context);
        int expected = Requested;
        // A late signal after a suspension that was withdrawn, or a second queued one, finds no request.
        if (s->State.compare_exchange_strong(expected, Parked, std::memory_order_acq_rel)) {
            for (;;) {
                FutexWake(s->State);
                while (s->State.load(std::memory_order_acquire) == Parked) FutexWait(s->State, Parked, 0);
                expected = Resuming;
                if (s->State.compare_exchange_strong(expected, Running, std::memory_order_acq_rel)) break;
                // Suspended again before it left: park once more, with the same registers (unless
                // that request was withdrawn meanwhile).
                expected = Requested;
                if (!s->State.compare_exchange_strong(expected, Parked, std::memory_order_acq_rel)) break;
            }
            s->Context = nullptr;
            FutexWake(s->State);
        }
        s->Inside.store(false, std::memory_order_release);
    }
    errno = savedErrno;
}

void InstallHandler() {
    struct sigaction sa {};
    sa.sa_sigaction = OnSuspendSignal;
    sa.sa_flags = SA_SIGINFO | SA_RESTART;
    sigemptyset(&sa.sa_mask);
    sigaction(SuspendSignal(), &sa, nullptr);
}

bool Alive(pid_t Tid) { return syscall(SYS_tgkill, getpid(), Tid, 0) == 0; }

// Whether the thread blocks the suspend signal (threads that block every signal exist in libraries):
// such a thread cannot be parked, and need not be waited for.
bool BlocksSuspendSignal(pid_t Tid) {
    char path[64];
    std::snprintf(path, sizeof path, "/proc/self/task/%d/status", int(Tid));
    FILE* f = std::fopen(path, "re");
    if (!f) return false;
    char line[256];
    unsigned long long blocked = 0;
    bool found = false;
    while (!found && std::fgets(line, sizeof line, f)) found = std::sscanf(line, "SigBlk: %llx", &blocked) == 1;
    std::fclose(f);
    const int bit = SuspendSignal() - 1;
    return found && ((blocked >> bit) & 1);
}

// Under SuspendLock, for a slot with a suspension requested: waits until the thread has parked. A
// thread that keeps the signal blocked for a few looks (outside our handler, which parks it again
// when it next runs however long a loaded machine keeps it waiting), takes more than a few seconds or
// has ended gets its request withdrawn (false, with the last error set).
bool WaitParked(SuspendSlot* S, pid_t Tid) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    int blocking = 0; // consecutive looks at a blocked signal (another handler may block it briefly)
    while (S->State.load(std::memory_order_acquire) == Requested) {
        FutexWait(S->State, Requested, 10'000'000);
        if (S->State.load(std::memory_order_acquire) != Requested) break;
        const bool inside = S->Inside.load(std::memory_order_acquire);
        blocking = !inside && BlocksSuspendSignal(Tid) ? blocking + 1 : 0;
        if (std::chrono::steady_clock::now() < deadline && Alive(Tid) && blocking < 3) continue;
        int expected = Requested;
        if (S->State.compare_exchange_strong(expected, Running)) {
            S->Count = 0;
            SetLastError(blocking >= 3 ? ERROR_ACCESS_DENIED : ERROR_TIMEOUT);
            return false;
        }
    }
    return true;
}

// Under SuspendLock: the slot of a suspended thread once it has parked, or null.
SuspendSlot* ParkedSlot(pid_t Tid) {
    SuspendSlot* s = FindSlot(Tid);
    if (!s || s->Count == 0 || !WaitParked(s, Tid)) return nullptr;
    return s;
}

// CONTEXT_INTEGER: the registers a context carries, by their place in the signal frame.
struct IntegerRegister {
    int Reg;
    DWORD64 CONTEXT::*Field;
};
const IntegerRegister IntegerRegisters[] = {
    {REG_RAX, &CONTEXT::Rax}, {REG_RCX, &CONTEXT::Rcx}, {REG_RDX, &CONTEXT::Rdx}, {REG_RBX, &CONTEXT::Rbx},
    {REG_RBP, &CONTEXT::Rbp}, {REG_RSI, &CONTEXT::Rsi}, {REG_RDI, &CONTEXT::Rdi}, {REG_R8, &CONTEXT::R8},
    {REG_R9, &CONTEXT::R9},   {REG_R10, &CONTEXT::R10}, {REG_R11, &CONTEXT::R11}, {REG_R12, &CONTEXT::R12},
    {REG_R13, &CONTEXT::R13}, {REG_R14, &CONTEXT::R14}, {REG_R15, &CONTEXT::R15},
};

std::mutex PriorityLock;
std::map<pid_t, int> Priorities;

// ---- thread-local storage --------------------------------------------------------------------------

constexpr DWORD TlsSlotCount = 1088;
std::mutex TlsLock;
std::atomic<bool> TlsUsed[TlsSlotCount];
// Bumped on every allocation and release: a value stored under an older generation reads as null.
std::atomic<uint32_t> TlsGeneration[TlsSlotCount];

struct TlsCell {
    uint32_t Generation;
    void* Value;
};
thread_local std::vector<TlsCell> TlsCells;

} // namespace

// The thread snapshot behind CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD).
HANDLE TwCreateThreadSnapshot(DWORD ProcessId) {
    auto snap = std::make_shared<ThreadSnapshot>();
    if (ProcessId) {
        AddThreadsOf(pid_t(ProcessId), snap->Entries);
    } else if (DIR* d = opendir("/proc")) {
        while (dirent* e = readdir(d)) {
            char* end = nullptr;
            const long pid = std::strtol(e->d_name, &end, 10);
            if (end && !*end && pid > 0) AddThreadsOf(pid_t(pid), snap->Entries);
        }
        closedir(d);
    }
    HANDLE h = TwNewHandle(snap);
    return h ? h : INVALID_HANDLE_VALUE;
}

extern "C" {

BOOL WINAPI Thread32First(HANDLE hSnapshot, LPTHREADENTRY32 lpte) {
    auto object = TwLookupHandle(hSnapshot);
    auto* snap = object ? dynamic_cast<ThreadSnapshot*>(object.get()) : nullptr;
    if (!snap) return Fail(ERROR_INVALID_HANDLE);
    if (!lpte || lpte->dwSize < sizeof(THREADENTRY32)) return Fail(24); // ERROR_BAD_LENGTH
    std::lock_guard guard(snap->Lock);
    snap->Next = 0;
    if (snap->Entries.empty()) return Fail(ERROR_NO_MORE_FILES);
    *lpte = snap->Entries[snap->Next++];
    return TRUE;
}

BOOL WINAPI Thread32Next(HANDLE hSnapshot, LPTHREADENTRY32 lpte) {
    auto object = TwLookupHandle(hSnapshot);
    auto* snap = object ? dynamic_cast<ThreadSnapshot*>(object.get()) : nullptr;
    if (!snap) return Fail(ERROR_INVALID_HANDLE);
    if (!lpte || lpte->dwSize < sizeof(THREADENTRY32)) return Fail(24);
    std::lock_guard guard(snap->Lock);
    if (snap->Next >= snap->Entries.size()) return Fail(ERROR_NO_MORE_FILES);
    *lpte = snap->Entries[snap->Next++];
    return TRUE;
}

HANDLE WINAPI GetCurrentThread(void) {
    return CurrentThreadHandle;
}

HANDLE WINAPI OpenThread(DWORD, BOOL bInheritHandle, DWORD dwThreadId) {
    const pid_t tid = pid_t(dwThreadId);
    if (tid <= 0 || !Alive(tid)) {
        // Not a thread of this process: another process's, or none at all.
        const std::string status = "/proc/" + std::to_string(dwThreadId);
        SetLastError(tid > 0 && access(status.c_str(), F_OK) == 0 ? ERROR_ACCESS_DENIED : ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return TwNewHandle(std::make_shared<ThreadObject>(tid), bInheritHandle ? HANDLE_FLAG_INHERIT : 0);
}

DWORD WINAPI SuspendThread(HANDLE hThread) {
    const pid_t tid = TidOf(hThread);
    if (!tid) return DWORD(-1);
    if (tid == CurrentTid()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return DWORD(-1);
    }
    std::call_once(HandlerInstalled, InstallHandler);
    std::lock_guard guard(SuspendLock);
    SuspendSlot* s = FindSlot(tid);
    if (s && s->Count > 0) return s->Count++;
    if (!s) s = TakeSlot(tid);
    if (!s) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return DWORD(-1);
    }
    s->Count = 1;
    // Resumed but not yet out of the handler: it stays parked for this request.
    int expected = Resuming;
    if (s->State.compare_exchange_strong(expected, Requested, std::memory_order_acq_rel)) {
        FutexWake(s->State);
        return 0;
    }
    // As on the real platform the suspension completes asynchronously: the caller may ask several
    // threads at once, and GetThreadContext waits until the thread has stopped. A thread that blocks
    // the signal is waited for here, so that one that keeps it blocked is refused at once.
    s->State.store(Requested, std::memory_order_release);
    if (syscall(SYS_tgkill, getpid(), tid, SuspendSignal()) != 0) {
        s->State.store(Running);
        s->Count = 0;
        SetLastError(ERROR_INVALID_HANDLE);
        return DWORD(-1);
    }
    if (!s->Inside.load(std::memory_order_acquire) && BlocksSuspendSignal(tid) && !WaitParked(s, tid))
        return DWORD(-1);
    return 0;
}

DWORD WINAPI ResumeThread(HANDLE hThread) {
    const pid_t tid = TidOf(hThread);
    if (!tid) return DWORD(-1);
    std::lock_guard guard(SuspendLock);
    SuspendSlot* s = FindSlot(tid);
    if (!s || s->Count == 0) return 0;
    const DWORD previous = s->Count--;
    if (s->Count == 0) {
        // Not parked yet: the request is withdrawn and its signal, when it comes, finds none.
        int expected = Requested;
        if (!s->State.compare_exchange_strong(expected, Running, std::memory_order_acq_rel)) {
            s->State.store(Resuming, std::memory_order_release);
            FutexWake(s->State);
        }
    }
    return previous;
}

BOOL WINAPI GetThreadContext(HANDLE hThread, LPCONTEXT lpContext) {
    const pid_t tid = TidOf(hThread);
    if (!tid) return FALSE;
    if (!lpContext) return Fail(ERROR_INVALID_PARAMETER);
    std::lock_guard guard(SuspendLock);
    SuspendSlot* s = ParkedSlot(tid);
    if (!s) return Fail(ERROR_INVALID_PARAMETER);
    const greg_t* r = s->Context->uc_mcontext.gregs;
    if ((lpContext->ContextFlags & CONTEXT_CONTROL) == CONTEXT_CONTROL) {
        lpContext->Rip = DWORD64(r[REG_RIP]);
        lpContext->Rsp = DWORD64(r[REG_RSP]);
        lpContext->EFlags = DWORD(r[REG_EFL]);
        lpContext->SegCs = WORD(r[REG_CSGSFS] & 0xFFFF);
    }
    if ((lpContext->ContextFlags & CONTEXT_INTEGER) == CONTEXT_INTEGER) {
        for (const auto& g : IntegerRegisters) lpContext->*g.Field = DWORD64(r[g.Reg]);
    }
    return TRUE;
}

BOOL WINAPI SetThreadContext(HANDLE hThread, const CONTEXT* lpContext) {
    const pid_t tid = TidOf(hThread);
    if (!tid) return FALSE;
    if (!lpContext) return Fail(ERROR_INVALID_PARAMETER);
    std::lock_guard guard(SuspendLock);
    SuspendSlot* s = ParkedSlot(tid);
    if (!s) return Fail(ERROR_INVALID_PARAMETER);
    greg_t* r = s->Context->uc_mcontext.gregs;
    if ((lpContext->ContextFlags & CONTEXT_CONTROL) == CONTEXT_CONTROL) {
        // The segment registers stay: a user thread cannot change them.
        r[REG_RIP] = greg_t(lpContext->Rip);
        r[REG_RSP] = greg_t(lpContext->Rsp);
        r[REG_EFL] = greg_t(lpContext->EFlags);
    }
    if ((lpContext->ContextFlags & CONTEXT_INTEGER) == CONTEXT_INTEGER) {
        for (const auto& g : IntegerRegisters) r[g.Reg] = greg_t(lpContext->*g.Field);
    }
    return TRUE;
}

int WINAPI GetThreadPriority(HANDLE hThread) {
    const pid_t tid = TidOf(hThread);
    if (!tid) return THREAD_PRIORITY_ERROR_RETURN;
    std::lock_guard guard(PriorityLock);
    auto it = Priorities.find(tid);
    return it == Priorities.end() ? THREAD_PRIORITY_NORMAL : it->second;
}

BOOL WINAPI SetThreadPriority(HANDLE hThread, int nPriority) {
    const pid_t tid = TidOf(hThread);
    if (!tid) return FALSE;
    const bool valid = (nPriority >= THREAD_PRIORITY_LOWEST && nPriority <= THREAD_PRIORITY_HIGHEST) ||
                       nPriority == THREAD_PRIORITY_IDLE || nPriority == THREAD_PRIORITY_TIME_CRITICAL;
    if (!valid) return Fail(ERROR_INVALID_PARAMETER);
    std::lock_guard guard(PriorityLock);
    if (nPriority == THREAD_PRIORITY_NORMAL)
        Priorities.erase(tid);
    else
        Priorities[tid] = nPriority;
    return TRUE;
}

DWORD WINAPI TlsAlloc(void) {
    std::lock_guard guard(TlsLock);
    for (DWORD i = 0; i < TlsSlotCount; ++i)
        if (!TlsUsed[i].load()) {
            TlsGeneration[i].fetch_add(1);
            TlsUsed[i].store(true);
            return i;
        }
    SetLastError(259); // ERROR_NO_MORE_ITEMS
    return TLS_OUT_OF_INDEXES;
}

BOOL WINAPI TlsFree(DWORD dwTlsIndex) {
    std::lock_guard guard(TlsLock);
    if (dwTlsIndex >= TlsSlotCount || !TlsUsed[dwTlsIndex].load()) return Fail(ERROR_INVALID_PARAMETER);
    TlsUsed[dwTlsIndex].store(false);
    TlsGeneration[dwTlsIndex].fetch_add(1);
    return TRUE;
}

LPVOID WINAPI TlsGetValue(DWORD dwTlsIndex) {
    if (dwTlsIndex >= TlsSlotCount) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    SetLastError(ERROR_SUCCESS); // a stored null and a failure differ only by the last error
    if (dwTlsIndex >= TlsCells.size()) return nullptr;
    const TlsCell& c = TlsCells[dwTlsIndex];
    return c.Generation == TlsGeneration[dwTlsIndex].load() ? c.Value : nullptr;
}

BOOL WINAPI TlsSetValue(DWORD dwTlsIndex, LPVOID lpTlsValue) {
    if (dwTlsIndex >= TlsSlotCount || !TlsUsed[dwTlsIndex].load()) return Fail(ERROR_INVALID_PARAMETER);
    if (dwTlsIndex >= TlsCells.size()) TlsCells.resize(dwTlsIndex + 1, TlsCell{0, nullptr});
    TlsCells[dwTlsIndex] = TlsCell{TlsGeneration[dwTlsIndex].load(), lpTlsValue};
    return TRUE;
}

} // extern "C"
