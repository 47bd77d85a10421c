// bench/StylingHookBench.cpp: what an interception costs while styling is off. A call of the stand-in's
// GetSysColor through 1 and through 7 chained hooks, each of which only tests its switch and forwards
// through its call-through pointer, against the same call through a function pointer.
//
// BM_BareJumps<7> is the least any chain of seven such hooks can cost: the same procedures, each
// reaching the next through one plain near jump in a block of its own, as every hook hands its caller
// a pointer into its own record; no way in from the patched target and none back.
// bench-libs: styling_hooking rtl win
#include <benchmark/benchmark.h>

#include "styling/hooking/CodeHooks.h"
#include "win/windows.h"

#include <cstring>

namespace {

using ColorFn = DWORD (*)(int);

bool volatile StylingActive = false;
ColorFn Next[7];

template <int N>
DWORD Intercept(int Index) {
    if (StylingActive) return 0xFF00FF;
    return Next[N](Index);
}

void* const Procs[7] = {reinterpret_cast<void*>(&Intercept<0>), reinterpret_cast<void*>(&Intercept<1>),
                        reinterpret_cast<void*>(&Intercept<2>), reinterpret_cast<void*>(&Intercept<3>),
                        reinterpret_cast<void*>(&Intercept<4>), reinterpret_cast<void*>(&Intercept<5>),
                        reinterpret_cast<void*>(&Intercept<6>)};

ColorFn volatile Direct = &GetSysColor;

void Call(benchmark::State& State, ColorFn F) {
    int index = 0;
    for (auto _ : State) {
        benchmark::DoNotOptimize(F(index));
        index = (index + 1) & 15;
    }
}

void BM_DirectIndirectCall(benchmark::State& State) { Call(State, Direct); }

template <int Hooks>
void BM_Hooked(benchmark::State& State) {
    for (int i = 0; i < Hooks; ++i)
        Next[i] = reinterpret_cast<ColorFn>(
            styling::HookModuleFunction(QStringLiteral("user32.dll"), "GetSysColor", Procs[i]));
    Call(State, Direct);
    for (int i = Hooks - 1; i >= 0; --i) styling::UnhookFunction(reinterpret_cast<void*>(Next[i]));
}

// A jump to To at At: near where it reaches, else through the 8 bytes behind it.
void JumpAt(uint8_t* At, const void* To) {
    const int64_t d = static_cast<const uint8_t*>(To) - (At + 5);
    if (d == int32_t(d)) {
        const int32_t near = int32_t(d);
        At[0] = 0xE9;
        std::memcpy(At + 1, &near, 4);
    } else {
        const uint8_t slotJump[6] = {0xFF, 0x25, 0, 0, 0, 0};
        std::memcpy(At, slotJump, 6);
        std::memcpy(At + 6, &To, 8);
    }
}

template <int Hooks>
void BM_BareJumps(benchmark::State& State) {
    constexpr size_t Block = 128; // a hook record's heap block
    auto* code = static_cast<uint8_t*>(
        VirtualAlloc(nullptr, 0x1000, MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE));
    if (!code) {
        State.SkipWithError("no executable memory");
        return;
    }
    std::memset(code, 0x90, 0x1000);
    for (int i = 0; i < Hooks; ++i) {
        JumpAt(code + Block * size_t(i), i + 1 < Hooks ? Procs[i + 1] : reinterpret_cast<void*>(Direct));
        Next[i] = reinterpret_cast<ColorFn>(code + Block * size_t(i));
    }
    FlushInstructionCache(GetCurrentProcess(), code, 0x1000);
    Call(State, reinterpret_cast<ColorFn>(Procs[0]));
    VirtualFree(code, 0, MEM_RELEASE);
}

BENCHMARK(BM_DirectIndirectCall);
BENCHMARK(BM_Hooked<1>);
BENCHMARK(BM_Hooked<7>);
BENCHMARK(BM_BareJumps<7>);

} // namespace

BENCHMARK_MAIN();
