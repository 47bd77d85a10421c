// bench/StylingHookBench.cpp: what an interception costs while styling is off. A call of the stand-in's
// GetSysColor through 1 and through 7 chained hooks, each of which only tests its switch and forwards
// through its trampoline, against the same call through a function pointer; the hooked call should
// take at most twice as long.
// bench-libs: styling_hooking rtl win
#include <benchmark/benchmark.h>

#include "styling/hooking/CodeHooks.h"
#include "win/windows.h"

namespace {

using ColorFn = DWORD (*)(int);

bool StylingActive = false;
ColorFn Next[7];

template <int N>
DWORD Intercept(int Index) {
    if (StylingActive) return 0xFF00FF;
    return Next[N](Index);
}

ColorFn volatile Direct = &GetSysColor;

void Call(benchmark::State& State) {
    ColorFn f = Direct;
    int index = 0;
    for (auto _ : State) {
        benchmark::DoNotOptimize(f(index));
        index = (index + 1) & 15;
    }
}

void BM_DirectIndirectCall(benchmark::State& State) { Call(State); }

template <int Hooks>
void BM_Hooked(benchmark::State& State) {
    void* const procs[7] = {reinterpret_cast<void*>(&Intercept<0>), reinterpret_cast<void*>(&Intercept<1>),
                            reinterpret_cast<void*>(&Intercept<2>), reinterpret_cast<void*>(&Intercept<3>),
                            reinterpret_cast<void*>(&Intercept<4>), reinterpret_cast<void*>(&Intercept<5>),
                            reinterpret_cast<void*>(&Intercept<6>)};
    for (int i = 0; i < Hooks; ++i)
        Next[i] = reinterpret_cast<ColorFn>(
            styling::HookModuleFunction(QStringLiteral("user32.dll"), "GetSysColor", procs[i]));
    Call(State);
    for (int i = Hooks - 1; i >= 0; --i) styling::UnhookFunction(reinterpret_cast<void*>(Next[i]));
}

BENCHMARK(BM_DirectIndirectCall);
BENCHMARK(BM_Hooked<1>);
BENCHMARK(BM_Hooked<7>);

} // namespace

BENCHMARK_MAIN();
