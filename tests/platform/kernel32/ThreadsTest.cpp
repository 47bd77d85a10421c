// tests/platform/kernel32/ThreadsTest.cpp: thread snapshots, suspension and context, priorities, TLS.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <set>
#include <thread>
#include <vector>

#include "win/kernel32/winbase.h"

// A function that never returns by itself: only a moved instruction pointer gets a thread out of it.
extern "C" long tw_k32_spin(void);
extern "C" void tw_k32_spin_exit(void);
asm(".text\n"
    ".globl tw_k32_spin\n.type tw_k32_spin,@function\n"
    "tw_k32_spin:\n1: pause\n jmp 1b\n"
    ".globl tw_k32_spin_exit\n"
    "tw_k32_spin_exit:\n ret\n"
    ".size tw_k32_spin, .-tw_k32_spin\n");

namespace {

DWORD Tid() { return DWORD(syscall(SYS_gettid)); }

// A thread that counts as fast as it can until told to stop.
struct Counter {
    std::atomic<uint64_t> Count{0};
    std::atomic<bool> Stop{false};
    std::atomic<DWORD> Id{0};
    std::thread Thread{[this] {
        Id = Tid();
        while (!Stop.load(std::memory_order_relaxed)) Count.fetch_add(1, std::memory_order_relaxed);
    }};
    Counter() {
        while (!Id) std::this_thread::yield();
    }
    ~Counter() {
        Stop = true;
        Thread.join();
    }
    // True once the count moves on from where it is now (bounded, so a stuck thread fails the test).
    bool Moves() {
        const uint64_t from = Count.load();
        for (int i = 0; i < 20000; ++i) {
            if (Count.load() != from) return true;
            std::this_thread::yield();
        }
        return false;
    }
};

std::set<DWORD> ThreadsOf(DWORD Pid) {
    std::set<DWORD> ids;
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, Pid);
    EXPECT_NE(snap, INVALID_HANDLE_VALUE);
    THREADENTRY32 e{};
    e.dwSize = sizeof e;
    for (BOOL ok = Thread32First(snap, &e); ok; ok = Thread32Next(snap, &e)) {
        EXPECT_EQ(e.th32OwnerProcessID, Pid);
        ids.insert(e.th32ThreadID);
    }
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NO_MORE_FILES));
    CloseHandle(snap);
    return ids;
}

TEST(ThreadSnapshot, ListsEveryThreadOfTheProcess) {
    Counter a, b;
    const auto ids = ThreadsOf(GetCurrentProcessId());
    EXPECT_TRUE(ids.count(Tid()));
    EXPECT_TRUE(ids.count(a.Id));
    EXPECT_TRUE(ids.count(b.Id));
    EXPECT_EQ(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD | TH32CS_SNAPPROCESS, 0), INVALID_HANDLE_VALUE);
}

TEST(SuspendThread, StopsTheThreadUntilEveryResume) {
    Counter c;
    HANDLE h = OpenThread(THREAD_SUSPEND_RESUME, FALSE, c.Id);
    ASSERT_NE(h, nullptr);
    ASSERT_EQ(SuspendThread(h), 0u);
    EXPECT_EQ(SuspendThread(h), 1u);
    // The suspension completes asynchronously, as on the real platform; the context waits for it.
    CONTEXT ctx{};
    ctx.ContextFlags = CONTEXT_CONTROL;
    ASSERT_TRUE(GetThreadContext(h, &ctx));
    const uint64_t frozen = c.Count.load();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(c.Count.load(), frozen);
    EXPECT_EQ(ResumeThread(h), 2u);
    EXPECT_FALSE(c.Moves()); // still suspended once
    EXPECT_EQ(ResumeThread(h), 1u);
    EXPECT_TRUE(c.Moves());
    EXPECT_EQ(ResumeThread(h), 0u); // not suspended: nothing to undo
    CloseHandle(h);
}

TEST(SuspendThread, ContextMovesTheInstructionPointer) {
    std::atomic<bool> out{false};
    std::atomic<long> result{0};
    std::atomic<DWORD> id{0};
    std::thread t([&] {
        id = Tid();
        result = tw_k32_spin();
        out = true;
    });
    while (!id) std::this_thread::yield();
    HANDLE h = OpenThread(THREAD_SUSPEND_RESUME | THREAD_GET_CONTEXT | THREAD_SET_CONTEXT, FALSE, id);
    ASSERT_NE(h, nullptr);
    const auto spin = reinterpret_cast<uintptr_t>(&tw_k32_spin);
    const auto exit = reinterpret_cast<uintptr_t>(&tw_k32_spin_exit);
    CONTEXT ctx{};
    ctx.ContextFlags = CONTEXT_FULL;
    // The thread may not have reached the loop yet: suspend until it has.
    for (int i = 0; i < 1000; ++i) {
        ASSERT_EQ(SuspendThread(h), 0u);
        ASSERT_TRUE(GetThreadContext(h, &ctx));
        if (ctx.Rip >= spin && ctx.Rip < exit) break;
        ResumeThread(h);
        std::this_thread::yield();
    }
    ASSERT_TRUE(ctx.Rip >= spin && ctx.Rip < exit) << std::hex << ctx.Rip;
    EXPECT_NE(ctx.Rsp, 0u);
    ctx.Rip = exit;
    ctx.Rax = 0x5EED; // becomes the function's result
    ASSERT_TRUE(SetThreadContext(h, &ctx));
    EXPECT_FALSE(out.load());
    ResumeThread(h);
    for (int i = 0; i < 200000 && !out; ++i) std::this_thread::yield();
    ASSERT_TRUE(out.load());
    t.join();
    EXPECT_EQ(result.load(), 0x5EED);
    CloseHandle(h);
    // Of a running thread there is no context to read.
    EXPECT_FALSE(GetThreadContext(GetCurrentThread(), &ctx));
}

TEST(SuspendThread, RefusesItselfForeignAndEndedThreads) {
    SetLastError(0);
    EXPECT_EQ(SuspendThread(GetCurrentThread()), DWORD(-1));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(SuspendThread(reinterpret_cast<HANDLE>(0x7FF0)), DWORD(-1));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));

    EXPECT_EQ(OpenThread(THREAD_SUSPEND_RESUME, FALSE, 1), nullptr); // init's: not ours
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));

    std::atomic<DWORD> id{0};
    std::thread([&] { id = Tid(); }).join();
    // join returns once the thread has cleared its id, which is before the kernel has let it go:
    // wait until it is really gone.
    for (int i = 0; i < 2000 && syscall(SYS_tgkill, getpid(), pid_t(id), 0) == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_EQ(OpenThread(THREAD_SUSPEND_RESUME, FALSE, id), nullptr);

    // A thread that blocks every signal is refused at once, not after a wait.
    std::atomic<bool> stop{false};
    id = 0;
    std::thread deaf([&] {
        sigset_t all;
        sigfillset(&all);
        pthread_sigmask(SIG_BLOCK, &all, nullptr);
        id = Tid();
        while (!stop) std::this_thread::yield();
    });
    while (!id) std::this_thread::yield();
    HANDLE h = OpenThread(THREAD_SUSPEND_RESUME, FALSE, id);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(SuspendThread(h), DWORD(-1));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
    CloseHandle(h);
    stop = true;
    deaf.join();
}

TEST(SuspendThread, ManyRoundsOverSeveralThreadsNeitherHangNorLoseOne) {
    std::vector<std::unique_ptr<Counter>> counters;
    std::vector<HANDLE> handles;
    for (int i = 0; i < 4; ++i) {
        counters.push_back(std::make_unique<Counter>());
        handles.push_back(OpenThread(THREAD_SUSPEND_RESUME, FALSE, counters.back()->Id));
        ASSERT_NE(handles.back(), nullptr);
    }
    // Every other round waits for the threads to stop; the others resume them at once, mostly before
    // they have stopped or left the handler.
    for (int round = 0; round < 100; ++round) {
        for (HANDLE h : handles) ASSERT_EQ(SuspendThread(h), 0u) << round;
        bool stopped = true;
        if (round % 2) {
            for (HANDLE h : handles) {
                CONTEXT ctx{};
                ctx.ContextFlags = CONTEXT_CONTROL;
                stopped = stopped && GetThreadContext(h, &ctx);
            }
            uint64_t frozen[4];
            for (int i = 0; i < 4; ++i) frozen[i] = counters[i]->Count.load();
            std::this_thread::yield();
            for (int i = 0; i < 4; ++i) stopped = stopped && counters[i]->Count.load() == frozen[i];
        }
        for (HANDLE h : handles) ResumeThread(h);
        ASSERT_TRUE(stopped) << "round " << round; // after the resumes, so that the threads can end
    }
    for (auto& c : counters) EXPECT_TRUE(c->Moves());
    for (HANDLE h : handles) CloseHandle(h);
}

TEST(ThreadPriority, IsKeptPerThread) {
    EXPECT_EQ(GetThreadPriority(GetCurrentThread()), THREAD_PRIORITY_NORMAL);
    ASSERT_TRUE(SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL));
    EXPECT_EQ(GetThreadPriority(GetCurrentThread()), THREAD_PRIORITY_TIME_CRITICAL);
    std::thread([] { EXPECT_EQ(GetThreadPriority(GetCurrentThread()), THREAD_PRIORITY_NORMAL); }).join();
    EXPECT_FALSE(SetThreadPriority(GetCurrentThread(), 7));
    ASSERT_TRUE(SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_NORMAL));
    EXPECT_EQ(GetThreadPriority(GetCurrentThread()), THREAD_PRIORITY_NORMAL);
}

TEST(ThreadLocalStorage, ValuesArePerThreadAndFreeingClearsThemEverywhere) {
    const DWORD i = TlsAlloc();
    ASSERT_NE(i, TLS_OUT_OF_INDEXES);
    int mine = 0, theirs = 0;
    ASSERT_TRUE(TlsSetValue(i, &mine));
    std::atomic<int> phase{0};
    std::thread t([&] {
        EXPECT_EQ(TlsGetValue(i), nullptr);
        TlsSetValue(i, &theirs);
        phase = 1;
        while (phase != 2) std::this_thread::yield();
        EXPECT_EQ(TlsGetValue(i), nullptr); // freed and taken again meanwhile
    });
    while (phase != 1) std::this_thread::yield();
    EXPECT_EQ(TlsGetValue(i), &mine);
    ASSERT_TRUE(TlsFree(i));
    EXPECT_FALSE(TlsFree(i));
    EXPECT_FALSE(TlsSetValue(i, &mine));
    ASSERT_EQ(TlsAlloc(), i); // the lowest free index comes back
    EXPECT_EQ(TlsGetValue(i), nullptr);
    phase = 2;
    t.join();
    TlsFree(i);
}

TEST(ThreadLocalStorage, RunsOutAfterItsIndexes) {
    std::vector<DWORD> taken;
    for (DWORD i; (i = TlsAlloc()) != TLS_OUT_OF_INDEXES && taken.size() < 5000;) taken.push_back(i);
    EXPECT_LE(taken.size(), 1088u);
    EXPECT_GE(taken.size(), 1000u);
    EXPECT_EQ(TlsAlloc(), TLS_OUT_OF_INDEXES);
    for (DWORD i : taken) EXPECT_TRUE(TlsFree(i));
    SetLastError(0);
    EXPECT_EQ(TlsGetValue(5000), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

} // namespace
