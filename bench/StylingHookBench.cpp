// bench/StylingHookBench.cpp: what an interception costs while styling is off. A call of the stand-in's
// GetSysColor through 1 and through 7 chained hooks, each of which only tests its switch and forwards
// through its call-through pointer, against the same call through a function pointer.
//
// BM_BareJumps<7> is the least any chain of seven such hooks can cost: the same procedures, each
// reaching the next through one plain near jump in a block of its own (placed within reach, as the
// engine places its records), as every hook hands its caller a pointer into its own record; no way in
// from the patched target and none back.
//
// Bounds, checked at the end of the run: 1 hook at most 2x the direct call, 7 hooks at most 1.25x
// BM_BareJumps<7>. Exits non-zero when one is missed.
// bench-libs: styling_hooking rtl win
#include "bench/BenchSupport.h"

#include "styling/hooking/CodeHooks.h"
#include "win/windows.h"

#include <cstring>
#include <map>
#include <string>
#include <vector>

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
    // Within a near jump of the procedures, as the engine places its records where it can: the first
    // free 64 KB below them, else anywhere.
    uint8_t* code = nullptr;
    const uintptr_t procs = reinterpret_cast<uintptr_t>(Procs[0]) & ~uintptr_t(0xFFFF);
    for (uintptr_t below = 0x10000; !code && below < 0x40000000 && below < procs; below += 0x10000)
        code = static_cast<uint8_t*>(VirtualAlloc(reinterpret_cast<void*>(procs - below), 0x1000,
                                                  MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE));
    if (!code)
        code = static_cast<uint8_t*>(VirtualAlloc(nullptr, 0x1000, MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE));
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

// Keeps each benchmark's processor time per call (the machine may be shared): the median of its
// repetitions when it has them.
class TMedianReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& Runs) override {
        for (const Run& R : Runs) {
            const std::string name = R.run_name.function_name;
            if (R.run_type == Run::RT_Aggregate && R.aggregate_name == "median") Medians[name] = R.GetAdjustedCPUTime();
            else if (R.run_type == Run::RT_Iteration && R.iterations > 0 && !Medians.count(name))
                Singles[name] = R.GetAdjustedCPUTime();
        }
        ConsoleReporter::ReportRuns(Runs);
    }
    double Of(const std::string& Name) const {
        if (auto it = Medians.find(Name); it != Medians.end()) return it->second;
        auto it = Singles.find(Name);
        return it == Singles.end() ? 0 : it->second;
    }

private:
    std::map<std::string, double> Medians, Singles;
};

int main(int argc, char** argv) {
    // Five repetitions of each unless the command line says otherwise.
    std::vector<char*> args(argv, argv + argc);
    char repetitions[] = "--benchmark_repetitions=5";
    char aggregates[] = "--benchmark_report_aggregates_only=true";
    if (argc == 1) {
        args.push_back(repetitions);
        args.push_back(aggregates);
    }
    int count = int(args.size());
    benchmark::Initialize(&count, args.data());
    TMedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    const double direct = reporter.Of("BM_DirectIndirectCall"), one = reporter.Of("BM_Hooked<1>"),
                 seven = reporter.Of("BM_Hooked<7>"), bare = reporter.Of("BM_BareJumps<7>");
    if (!direct || !one || !seven || !bare) return 0; // a filtered run checks nothing
    bool ok = bench_support::Check("1 hook / direct call", one / direct, "<=", 2.0);
    ok &= bench_support::Check("7 hooks / 7 bare jumps", seven / bare, "<=", 1.25);
    std::printf("7 hooks / direct call: %.2fx\n", seven / direct);
    return ok ? 0 : 1;
}
