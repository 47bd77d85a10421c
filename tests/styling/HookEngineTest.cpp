// tests/styling/HookEngineTest.cpp: hooks on real functions (the assembly fixtures, copied next to the
// engine's heap blocks, more than 2 GB away from them, and where no stub finds room within reach) run, call the original through their
// trampoline, chain, refuse what they must, and leave the target byte for byte as it was.
#include <gtest/gtest.h>
#include <sched.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <fstream>
#include <functional>
#include <set>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "styling/hooking/CPUID.h"
#include "styling/hooking/CodeHooks.h"
#include "win/windows.h"

using namespace styling;

extern "C" {
extern uint8_t tw_fx_long[], tw_fx_long_end[], tw_fx_rip_load[], tw_fx_rip_load_end[], tw_fx_jrcxz[], tw_fx_jrcxz_end[], tw_fx_jcc[],
    tw_fx_jcc_end[], tw_fx_loop[], tw_fx_loop_end[], tw_fx_call[], tw_fx_call_end[], tw_fx_thunk1[],
    tw_fx_thunk1_end[], tw_fx_thunk2[], tw_fx_real[], tw_fx_slot1[], tw_fx_slot2[], tw_fx_early_ret[],
    tw_fx_early_ret_end[], tw_fx_tail_jump[], tw_fx_tail_jump_end[], tw_fx_int3[], tw_fx_int3_end[], tw_fx_ud2[],
    tw_fx_ud2_end[], tw_fx_loop_back[], tw_fx_loop_back_end[];
}

namespace {

using Fn = uint64_t (*)(uint64_t, uint64_t);

// One fixture with what it uses, copied to one place; At() gives an address of the unit in the copy.
enum TPlace { plHeap, plFar, plWalled };

struct Placed {
    const uint8_t* Begin;
    uint8_t* Base = nullptr;
    bool Heap;
    uint8_t* Wall = nullptr;
    void* Probe = nullptr;
    Placed(const uint8_t* UnitBegin, const uint8_t* UnitEnd, bool Near) : Placed(UnitBegin, UnitEnd, Near ? plHeap : plFar) {}
    Placed(const uint8_t* UnitBegin, const uint8_t* UnitEnd, TPlace Where) : Begin(UnitBegin), Heap(Where == plHeap) {
        const size_t size = size_t(UnitEnd - UnitBegin);
        if (Where == plWalled) {
            // In the middle of 8 GB reserved around it: no room for the engine's stub within reach.
            Wall = static_cast<uint8_t*>(VirtualAlloc(nullptr, uintptr_t(8) << 30, MEM_RESERVE, PAGE_NOACCESS));
            if (Wall)
                Base = static_cast<uint8_t*>(
                    VirtualAlloc(Wall + (uintptr_t(4) << 30), 0x1000, MEM_COMMIT, PAGE_EXECUTE_READWRITE));
        } else if (Where == plHeap) {
            // On the heap, in blocks of a descriptor's size (an allocator may keep each size in a region
            // of its own, with all memory around it reserved).
            if (size > HookDescriptorSize) return;
            Base = static_cast<uint8_t*>(std::malloc(HookDescriptorSize));
            DWORD old = 0;
            VirtualProtect(Base, HookDescriptorSize, PAGE_EXECUTE_READWRITE, &old);
        } else {
            // An ordinary mapping, more than 4 GB from that heap.
            Probe = std::malloc(HookDescriptorSize); // kept until the end: only its address matters
            const auto heap = reinterpret_cast<uintptr_t>(Probe);
            Base = static_cast<uint8_t*>(VirtualAlloc(nullptr, 0x1000, MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE));
            const auto at = reinterpret_cast<uintptr_t>(Base);
            if (Base && (at > heap ? at - heap : heap - at) < (uintptr_t(4) << 30)) {
                VirtualFree(Base, 0, MEM_RELEASE);
                Base = nullptr;
            }
        }
        if (!Base) return;
        std::memcpy(Base, UnitBegin, size);
        if (UnitBegin == tw_fx_thunk1) {
            const auto thunk2 = reinterpret_cast<uint64_t>(At(tw_fx_thunk2));
            const auto real = reinterpret_cast<uint64_t>(At(tw_fx_real));
            std::memcpy(At(tw_fx_slot1), &thunk2, 8);
            std::memcpy(At(tw_fx_slot2), &real, 8);
        }
    }
    ~Placed() {
        std::free(Probe);
        if (Wall)
            VirtualFree(Wall, 0, MEM_RELEASE);
        else if (Heap)
            std::free(Base);
        else if (Base)
            VirtualFree(Base, 0, MEM_RELEASE);
    }
    uint8_t* At(const uint8_t* Label) const { return Base + (Label - Begin); }
    Fn F(const uint8_t* Label) const { return reinterpret_cast<Fn>(At(Label)); }
};

// The detours: each adds its mark to what the next in the chain returns.
Fn Next[8];
std::string Order;
template <int N>
uint64_t Detour(uint64_t A, uint64_t B) {
    Order += char('0' + N);
    return Next[N](A, B) + uint64_t(N + 1) * 1'000'000;
}

void ExpectMessage(const std::function<void()>& Call, const char* Message) {
    try {
        Call();
        ADD_FAILURE() << "no exception, expected: " << Message;
    } catch (const rtl::Exception& e) {
        EXPECT_EQ(e.Message().toStdString(), Message);
    }
}

// Which way the patched target reaches its descriptor: 1 straight (through the descriptor's own slot,
// which leads to the first hook), 2 through a relay near it, 4 straight with the 14-byte jump. Where the
// stub is near the target, the descriptor lives in it, so the target reaches its slot.
int LayoutOf(void* Target) {
    TDecodedInstruction I{};
    I.Address = static_cast<uint8_t*>(Target);
    DecodeForHook(I);
    const uint8_t* d = FindHookDescriptor(Target);
    if (I.Length == 6 && I.Address[0] == 0xFF) { // through the descriptor's own slot
        int32_t disp = 0;
        std::memcpy(&disp, I.Address + 2, 4);
        return I.Address + 6 + disp == d + 8 ? 1 : 2;
    }
    if (d + 106 != reinterpret_cast<uint8_t*>(I.Branch.Target)) return 2;
    return I.Length == 14 ? 4 : 1;
}

// The jump that ends the trampoline behind the call-through pointer of a target's only hook: the last
// instruction before the NOP filler of its 94 bytes.
TDecodedInstruction JumpBack(void* CallThrough) {
    uint8_t* tramp = nullptr;
    std::memcpy(&tramp, GetTrampolineInfo(CallThrough) + 36, 8);
    TDecodedInstruction last{};
    for (uint8_t* p = tramp; p < tramp + MaxCopiedBytes && !IsNopFill(p, int(tramp + MaxCopiedBytes - p));) {
        TDecodedInstruction I{};
        I.Address = p;
        DecodeForHook(I);
        last = I;
        p += I.Length;
    }
    return last;
}

struct HookCase {
    const char* name;
    uint8_t* fixture;     // what is hooked
    uint8_t* end;         // the end of its unit
    uint8_t* patched;     // where the patch lands (the end of a thunk chain)
    std::vector<std::pair<uint64_t, uint64_t>> inputs;
};

TEST(HookFunction, DetourRunsAndReachesTheOriginalAtEveryPlacement) {
    const HookCase cases[] = {
        {"long", tw_fx_long, tw_fx_long_end, tw_fx_long, {{0, 3}, {4, 3}}},
        {"rip load", tw_fx_rip_load, tw_fx_rip_load_end, tw_fx_rip_load, {{5, 0}}},
        {"jrcxz", tw_fx_jrcxz, tw_fx_jrcxz_end, tw_fx_jrcxz, {{0, 4}, {3, 4}}},
        {"jcc", tw_fx_jcc, tw_fx_jcc_end, tw_fx_jcc, {{0, 1}, {2, 3}}},
        {"loop in the copy", tw_fx_loop, tw_fx_loop_end, tw_fx_loop, {{3, 1}, {3, 4}}},
        {"call", tw_fx_call, tw_fx_call_end, tw_fx_call, {{5, 0}}},
        {"thunk chain", tw_fx_thunk1, tw_fx_thunk1_end, tw_fx_real, {{5, 6}}},
    };
    std::set<int> layouts, backForms;
    for (TPlace where : {plHeap, plFar, plWalled}) {
        const bool far = where != plHeap;
        for (const auto& c : cases) {
            if (where == plWalled && c.fixture != tw_fx_long) continue; // the others are too short for 14 bytes
            Placed at(c.fixture, c.end, where);
            ASSERT_NE(at.Base, nullptr) << c.name;
            const std::vector<uint8_t> before(at.At(c.patched), at.At(c.end));
            std::vector<uint64_t> direct;
            for (auto [a, b] : c.inputs) direct.push_back(at.F(c.fixture)(a, b));
            void* target = at.At(c.fixture);
            Next[0] = reinterpret_cast<Fn>(HookFunction(target, reinterpret_cast<void*>(&Detour<0>)));
            layouts.insert(LayoutOf(at.At(c.patched)));
            // The way back is a near jump wherever the stub found room within reach of the target.
            const TDecodedInstruction back = JumpBack(reinterpret_cast<void*>(Next[0]));
            const int64_t distance = int64_t(back.Branch.Target) - int64_t(reinterpret_cast<uintptr_t>(back.Address) + 5);
            EXPECT_EQ(back.BranchKind, bkJump) << c.name;
            EXPECT_EQ(back.Length, distance == int32_t(distance) ? 5 : 14) << c.name;
            backForms.insert(back.Length);
            EXPECT_GT(back.Branch.Target, reinterpret_cast<uintptr_t>(at.At(c.patched))) << c.name;
            EXPECT_NE(std::memcmp(at.At(c.patched), before.data(), 5), 0) << c.name << ": not patched there";
            for (size_t i = 0; i < c.inputs.size(); ++i) {
                const auto [a, b] = c.inputs[i];
                EXPECT_EQ(at.F(c.fixture)(a, b), direct[i] + 1'000'000) << c.name << (far ? " far" : " near");
                EXPECT_EQ(Next[0](a, b), direct[i]) << c.name << ": the trampoline is the original";
            }
            EXPECT_EQ(UnhookFunction(reinterpret_cast<void*>(Next[0])), 0);
            EXPECT_EQ(std::memcmp(at.At(c.patched), before.data(), before.size()), 0) << c.name << ": not restored";
            EXPECT_EQ(at.F(c.fixture)(c.inputs[0].first, c.inputs[0].second), direct[0]) << c.name;
        }
    }
    EXPECT_EQ(layouts, (std::set<int>{1, 4})) << "the near patch wherever the stub is near, else the 14-byte one";
    EXPECT_EQ(backForms, (std::set<int>{5, 14})) << "the near and the absolute jump back";
}

TEST(HookFunction, RefusesFunctionsShorterThanThePatchAndBranchesBackIntoIt) {
    const char* tooSmall = "Size of function is too small, risk to override others adjacent functions.";
    const std::tuple<uint8_t*, uint8_t*, const char*> cases[] = {
        {tw_fx_early_ret, tw_fx_early_ret_end, tooSmall},
        {tw_fx_tail_jump, tw_fx_tail_jump_end, tooSmall},
        {tw_fx_int3, tw_fx_int3_end, tooSmall},
        {tw_fx_ud2, tw_fx_ud2_end, tooSmall},
        {tw_fx_loop_back, tw_fx_loop_back_end, "Branch into a relocated instruction cannot be kept."},
    };
    for (const auto& [fixture, end, message] : cases) {
        Placed at(fixture, end, true);
        ASSERT_NE(at.Base, nullptr);
        const std::vector<uint8_t> before(at.At(fixture), at.At(end));
        void* const target = at.At(fixture); // a lambda may not capture a structured binding before clang 16
        ExpectMessage([&] { HookFunction(target, reinterpret_cast<void*>(&Detour<0>)); }, message);
        EXPECT_EQ(std::memcmp(at.At(fixture), before.data(), before.size()), 0) << message;
        EXPECT_EQ(FindHookDescriptor(at.At(fixture)), nullptr);
    }
}

TEST(HookFunction, SevenHooksRunInOrderAndAnEighthIsRefused) {
    Placed at(tw_fx_rip_load, tw_fx_rip_load_end, true);
    ASSERT_NE(at.Base, nullptr);
    void* target = at.At(tw_fx_rip_load);
    void* const detours[] = {reinterpret_cast<void*>(&Detour<0>), reinterpret_cast<void*>(&Detour<1>),
                             reinterpret_cast<void*>(&Detour<2>), reinterpret_cast<void*>(&Detour<3>),
                             reinterpret_cast<void*>(&Detour<4>), reinterpret_cast<void*>(&Detour<5>),
                             reinterpret_cast<void*>(&Detour<6>), reinterpret_cast<void*>(&Detour<7>)};
    std::vector<uint8_t> patched;
    for (int i = 0; i < 7; ++i) {
        Next[i] = reinterpret_cast<Fn>(HookFunction(target, detours[i]));
        if (i == 0) patched.assign(at.At(tw_fx_rip_load), at.At(tw_fx_rip_load) + 16);
        // Later hooks join the descriptor; the target stays as the first one patched it.
        EXPECT_EQ(std::memcmp(at.At(tw_fx_rip_load), patched.data(), 16), 0) << i;
    }
    ExpectMessage([&] { HookFunction(target, detours[7]); }, "Exceed maximum allowed of hooks.");
    Order.clear();
    EXPECT_EQ(at.F(tw_fx_rip_load)(1, 0), 1001u + 28'000'000u);
    EXPECT_EQ(Order, "0123456");
    // Without the first hook the way in leads to the second.
    EXPECT_EQ(UnhookFunction(reinterpret_cast<void*>(Next[0])), 6);
    Order.clear();
    EXPECT_EQ(at.F(tw_fx_rip_load)(1, 0), 1001u + 27'000'000u);
    EXPECT_EQ(Order, "123456");
    for (int i = 6; i >= 1; --i) EXPECT_EQ(UnhookFunction(reinterpret_cast<void*>(Next[i])), i - 1);
    EXPECT_EQ(at.F(tw_fx_rip_load)(1, 0), 1001u);
}

TEST(HookFunction, ACallThroughLeadsStraightToTheNextHookWithinReach) {
    Placed at(tw_fx_rip_load, tw_fx_rip_load_end, true);
    ASSERT_NE(at.Base, nullptr);
    void* target = at.At(tw_fx_rip_load);
    // The second intercept in a block of a hook record's size, so on the records' part of the heap.
    const size_t size = size_t(tw_fx_long_end - tw_fx_long);
    auto* second = static_cast<uint8_t*>(std::aligned_alloc(64, 128));
    ASSERT_NE(second, nullptr);
    std::memcpy(second, tw_fx_long, size);
    DWORD old = 0;
    VirtualProtect(second, size, PAGE_EXECUTE_READWRITE, &old);
    const uint64_t direct = reinterpret_cast<Fn>(second)(4, 3);

    Next[0] = reinterpret_cast<Fn>(HookFunction(target, reinterpret_cast<void*>(&Detour<0>)));
    const uint64_t original = Next[0](4, 3);
    void* last = HookFunction(target, second);
    TDecodedInstruction I{};
    I.Address = reinterpret_cast<uint8_t*>(Next[0]);
    DecodeForHook(I);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(Next[0]) % 8, 0u) << "rewritten by one aligned store";
    EXPECT_EQ(I.Branch.Target, reinterpret_cast<uintptr_t>(second));
    EXPECT_EQ(I.Length, 5) << "a near jump";
    EXPECT_EQ(Next[0](4, 3), direct);
    EXPECT_EQ(at.F(tw_fx_rip_load)(4, 3), direct + 1'000'000);
    // Without the second hook the first calls on to the original again.
    EXPECT_EQ(UnhookFunction(last), 1);
    EXPECT_EQ(Next[0](4, 3), original);
    EXPECT_EQ(UnhookFunction(reinterpret_cast<void*>(Next[0])), 0);
    std::free(second);
}

TEST(HookFunction, AHookAddedAfterARemovalInTheMiddleTakesAFreeEntry) {
    Placed at(tw_fx_rip_load, tw_fx_rip_load_end, true);
    ASSERT_NE(at.Base, nullptr);
    void* target = at.At(tw_fx_rip_load);
    Next[0] = reinterpret_cast<Fn>(HookFunction(target, reinterpret_cast<void*>(&Detour<0>)));
    Next[1] = reinterpret_cast<Fn>(HookFunction(target, reinterpret_cast<void*>(&Detour<1>)));
    Next[2] = reinterpret_cast<Fn>(HookFunction(target, reinterpret_cast<void*>(&Detour<2>)));
    EXPECT_EQ(UnhookFunction(reinterpret_cast<void*>(Next[1])), 2);
    Next[3] = reinterpret_cast<Fn>(HookFunction(target, reinterpret_cast<void*>(&Detour<3>)));
    Order.clear();
    EXPECT_EQ(at.F(tw_fx_rip_load)(0, 0), 1000u + 1'000'000u + 3'000'000u + 4'000'000u);
    EXPECT_EQ(Order, "023"); // each live hook once, in the order installed
    EXPECT_EQ(UnhookFunction(reinterpret_cast<void*>(Next[2])), 2);
    Order.clear();
    EXPECT_EQ(at.F(tw_fx_rip_load)(0, 0), 1000u + 1'000'000u + 4'000'000u);
    EXPECT_EQ(Order, "03");
    // The first hook gone, the landing slides through the emptied entries to the last hook's.
    EXPECT_EQ(UnhookFunction(reinterpret_cast<void*>(Next[0])), 1);
    Order.clear();
    EXPECT_EQ(at.F(tw_fx_rip_load)(0, 0), 1000u + 4'000'000u);
    EXPECT_EQ(Order, "3");
    EXPECT_EQ(UnhookFunction(reinterpret_cast<void*>(Next[3])), 0);
    EXPECT_EQ(at.F(tw_fx_rip_load)(0, 0), 1000u);
}

TEST(HookFunction, RefusesBadPointers) {
    uint8_t junk[64] = {};
    ExpectMessage([] { HookFunction(nullptr, reinterpret_cast<void*>(&Detour<0>)); }, "Invalid TargetProc Pointer.");
    ExpectMessage([] { HookFunction(reinterpret_cast<void*>(tw_fx_jcc), nullptr); },
                  "Invalid InterceptProc Pointer.");
    ExpectMessage([] { UnhookFunction(nullptr); }, "Invalid TrampoLine Pointer.");
    ExpectMessage([&] { UnhookFunction(junk + 32); }, "Invalid TrampoLine Pointer.");
    void* unmapped = VirtualAlloc(nullptr, 0x1000, MEM_RESERVE, PAGE_NOACCESS);
    ExpectMessage([&] { UnhookFunction(static_cast<uint8_t*>(unmapped) + 8); }, "Invalid TrampoLine Pointer.");
    VirtualFree(unmapped, 0, MEM_RELEASE);
    EXPECT_EQ(UnhookFunctionIfSet(nullptr), -1);
    // A record whose descriptor has lost its signature.
    std::memcpy(junk + 32 - 30 + 9, "LTLT", 4);
    uint8_t fake[HookDescriptorSize] = {};
    uint8_t* fakePtr = fake;
    std::memcpy(junk + 32 - 30 + 1, &fakePtr, 8);
    ExpectMessage([&] { UnhookFunction(junk + 32); }, "Invalid Descriptor.");
}

TEST(HookModuleFunction, HooksTheStandInsExportsAndSkipsMissingModules) {
    static Fn original;
    struct Local {
        static DWORD Color(int Index) { return Index == COLOR_WINDOW ? 0x123456 : DWORD(original(Index, 0)); }
    };
    const DWORD before = GetSysColor(COLOR_WINDOW);
    // The export begins with the NOP filler kept for patching (whatever forms the compiler chose):
    // nothing of it is moved, and the way back goes straight to its first instruction of code.
    const auto* entry = static_cast<const uint8_t*>(
        ResolveJumpThunk(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(u"user32.dll"), "GetSysColor"))));
    const uint8_t* code = entry + 16; // the exports keep 16 bytes of filler
    void* t = HookModuleFunction(QStringLiteral("user32.dll"), "GetSysColor", reinterpret_cast<void*>(&Local::Color));
    ASSERT_NE(t, nullptr);
    original = reinterpret_cast<Fn>(t);
    TDecodedInstruction onward{};
    onward.Address = static_cast<uint8_t*>(t);
    DecodeForHook(onward);
    EXPECT_EQ(onward.Branch.Target, reinterpret_cast<uintptr_t>(code)) << "the hook calls on into the code itself";
    const uint8_t* descriptor = FindHookDescriptor(reinterpret_cast<void*>(const_cast<uint8_t*>(entry)));
    ASSERT_NE(descriptor, nullptr);
    uint8_t* tramp = nullptr;
    std::memcpy(&tramp, descriptor + 42 + 8, 8); // the slot of the chain entry after the hook's
    TDecodedInstruction back{};
    back.Address = tramp;
    DecodeForHook(back);
    EXPECT_EQ(back.Branch.Target, reinterpret_cast<uintptr_t>(code)) << "no filler moved into the trampoline";
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), 0x123456u);
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), DWORD(original(COLOR_BTNFACE, 0)));
    EXPECT_EQ(UnhookFunction(t), 0);
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), before);
    EXPECT_EQ(HookModuleFunction(QStringLiteral("dwmapi.dll"), "DwmFlush", reinterpret_cast<void*>(&Local::Color)),
              nullptr);
    EXPECT_EQ(HookModuleFunction(QStringLiteral("user32.dll"), "NoSuchExport", reinterpret_cast<void*>(&Local::Color)),
              nullptr);
}

TEST(HookTransaction, WithoutSuspensionOnlyThePriorityChanges) {
    std::atomic<bool> stop{false};
    std::atomic<uint64_t> count{0};
    std::thread worker([&] {
        while (!stop) ++count;
    });
    THookTransaction* t = BeginHookTransaction(0);
    EXPECT_EQ(GetThreadPriority(GetCurrentThread()), THREAD_PRIORITY_TIME_CRITICAL);
    EXPECT_EQ(t->Count, 0);
    const uint64_t from = count;
    while (count == from) std::this_thread::yield(); // still running
    EXPECT_TRUE(EndHookTransaction(t));
    EXPECT_EQ(GetThreadPriority(GetCurrentThread()), THREAD_PRIORITY_NORMAL);

    t = BeginHookTransaction(toSuspendThreads);
    EXPECT_GE(t->Count, 1);
    const uint64_t frozen = count;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(count.load(), frozen);
    EndHookTransaction(t);
    stop = true;
    worker.join();
}

// The signals sent to one thread of this process and not yet taken.
uint64_t PendingSignalsOf(pid_t Tid) {
    std::ifstream status("/proc/self/task/" + std::to_string(Tid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("SigPnd:", 0) == 0) return std::stoull(line.substr(7), nullptr, 16);
    return ~uint64_t(0);
}

TEST(HookTransaction, ReturnsOnlyOnceTheOtherThreadsHaveStopped) {
    // On one processor with this thread, a spinning thread can take the suspend signal only when this
    // thread gives the processor up, which it does only by waiting for the others to stop.
    cpu_set_t all, one;
    ASSERT_EQ(sched_getaffinity(0, sizeof all, &all), 0);
    CPU_ZERO(&one);
    CPU_SET(sched_getcpu(), &one);
    if (sched_setaffinity(0, sizeof one, &one) != 0) {
        GTEST_SKIP() << "threads cannot be pinned here";
    }
    std::atomic<bool> stop{false};
    std::atomic<pid_t> tid{0};
    std::thread worker([&] {
        tid = pid_t(gettid());
        while (!stop) {
        }
    });
    while (!tid) std::this_thread::yield();
    THookTransaction* t = BeginHookTransaction(toSuspendThreads);
    const uint64_t pending = PendingSignalsOf(tid);
    const int held = t->Count;
    EndHookTransaction(t);
    stop = true;
    worker.join();
    sched_setaffinity(0, sizeof all, &all);
    EXPECT_GE(held, 1);
    EXPECT_EQ(pending, 0u) << "a listed thread had not yet taken the signal that stops it";
}

std::atomic<uint64_t> StressDetours{0};
uint64_t StressDetour(uint64_t A, uint64_t B) {
    ++StressDetours;
    return A + B + 1; // what the fixture gives, without reaching through a trampoline that may go
}

TEST(HookFunction, FourThreadsCallTheTargetDuringThousandsOfChanges) {
    Placed at(tw_fx_thunk1, tw_fx_thunk1_end, false);
    ASSERT_NE(at.Base, nullptr);
    Fn f = at.F(tw_fx_real);
    const std::vector<uint8_t> before(at.At(tw_fx_real), at.At(tw_fx_thunk1_end));
    std::atomic<bool> stop{false};
    std::atomic<uint64_t> wrong{0}, calls{0};
    std::atomic<int> running{0};
    std::vector<std::thread> callers;
    for (int i = 0; i < 4; ++i)
        callers.emplace_back([&, i] {
            running++;
            // Bursts of calls with short sleeps between them: a sleeping caller takes the suspend
            // signal at once, and the installing thread is not starved on a loaded machine.
            while (!stop) {
                for (int k = 0; k < 2000; ++k)
                    if (f(uint64_t(i), 10) != uint64_t(i) + 11) ++wrong;
                calls += 2000;
                std::this_thread::sleep_for(std::chrono::microseconds(20));
            }
        });
    // A thread still starting up allocates; held there by a transaction it could keep the allocator's
    // lock that the installing thread then waits for. Callers that only call allocate nothing.
    while (running < 4) std::this_thread::yield();
    // Each transaction removes the last hook and installs the next: threads held inside the old hook's
    // code go back to the restored original, and those inside the bytes the new patch takes go on in
    // its trampoline.
    void* tramp = nullptr;
    for (int i = 0; i < 1000; ++i) {
        THookTransaction* t = BeginHookTransaction(toSuspendThreads);
        if (tramp) {
            EXPECT_EQ(UnhookFunction(tramp), 0);
        }
        tramp = HookFunction(at.At(tw_fx_real), reinterpret_cast<void*>(&StressDetour));
        EndHookTransaction(t);
    }
    THookTransaction* t = BeginHookTransaction(toSuspendThreads);
    EXPECT_EQ(UnhookFunction(tramp), 0);
    EndHookTransaction(t);
    stop = true;
    for (auto& c : callers) c.join();
    EXPECT_EQ(wrong.load(), 0u);
    EXPECT_GT(calls.load(), 0u);
    EXPECT_EQ(std::memcmp(at.At(tw_fx_real), before.data(), before.size()), 0);
}

TEST(HookFunction, ATlsIndexPerHookAndNoneLeftLeavesTheTargetAlone) {
    Placed at(tw_fx_jcc, tw_fx_jcc_end, true);
    ASSERT_NE(at.Base, nullptr);
    const std::vector<uint8_t> before(at.At(tw_fx_jcc), at.At(tw_fx_jcc_end));
    void* tramp = HookFunction(at.At(tw_fx_jcc), reinterpret_cast<void*>(&Detour<0>), 0, hoAllocTls);
    DWORD index = 0; // a packed field of the record
    std::memcpy(&index, GetTrampolineInfo(tramp) + 25, 4);
    EXPECT_TRUE(TlsSetValue(index, tramp)); // allocated for this hook
    EXPECT_EQ(UnhookFunction(tramp), 0);
    EXPECT_FALSE(TlsSetValue(index, nullptr)); // and freed with it

    std::vector<DWORD> taken;
    for (DWORD i; (i = TlsAlloc()) != TLS_OUT_OF_INDEXES;) taken.push_back(i);
    ExpectMessage([&] { HookFunction(at.At(tw_fx_jcc), reinterpret_cast<void*>(&Detour<0>), 0, hoAllocTls); },
                  "Tls out of indexes.");
    for (DWORD i : taken) TlsFree(i);
    EXPECT_EQ(std::memcmp(at.At(tw_fx_jcc), before.data(), before.size()), 0);
    EXPECT_EQ(FindHookDescriptor(at.At(tw_fx_jcc)), nullptr);
}

TEST(AllocNearMemory, FindsRoomWithinReachOfTheTargetFromOneLookAtTheAddressSpace) {
    void* mapping = VirtualAlloc(nullptr, 0x1000, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    for (void* target : {reinterpret_cast<void*>(&GetSysColor), mapping}) {
        const DWORD parses = TwMemoryMapParses();
        void* p = AllocNearMemory(target, 4096, PAGE_EXECUTE_READWRITE);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(TwMemoryMapParses(), parses + 1);
        const auto a = reinterpret_cast<uintptr_t>(p), t = reinterpret_cast<uintptr_t>(target);
        EXPECT_LT(a > t ? a - t : t - a, uintptr_t(0x7FFF0000));
        MEMORY_BASIC_INFORMATION m{};
        VirtualQuery(p, &m, sizeof m);
        EXPECT_EQ(m.Protect, DWORD(PAGE_EXECUTE_READWRITE));
        VirtualFree(p, 0, MEM_RELEASE);
    }
    VirtualFree(mapping, 0, MEM_RELEASE);
    EXPECT_EQ(AllocNearMemory(reinterpret_cast<void*>(0x1000), 4096, PAGE_READWRITE), nullptr); // below the lowest
}

TEST(FillNops, MultiByteFillIsRecognisedAndPlainFillToo) {
    uint8_t buf[40];
    for (int n : {1, 6, 9, 10, 17, 40}) {
        std::memset(buf, 0xCC, sizeof buf);
        FillNops(buf, n, (CpuInstructions & ciMultiByteNop) != 0);
        EXPECT_TRUE(IsNopFill(buf, n)) << n;
        if (n < 40) {
            EXPECT_EQ(buf[n], 0xCC) << n;
        }
    }
    FillNops(buf, 6, false);
    EXPECT_TRUE(IsNopFill(buf, 6));
    buf[3] = 0xC3;
    EXPECT_FALSE(IsNopFill(buf, 6));

    const uint8_t saved = CpuInstructions;
    CpuInstructions = 0; // a processor without them
    ExpectMessage([&] { FillNops(buf, 6, true); }, "Multi Bytes Nop Instructions not supported by your CPU.");
    CpuInstructions = saved;
}

} // namespace
