// bench/EngineLineHandlerBench.cpp: the conversion's encoder-line handler (the progress texts read from
// the output so far, the lines read before not read again) behind the console runner, with a fake
// encoder that prints one progress line and then 10,000 or 100,000 warnings. The encoder is this program
// itself, started with --produce N. Checks that ten times the warnings cost at most twelve times the
// time, and at most twice the runner alone (a handler that only counts the lines), best of five each.
// Prints the numbers; exits non-zero when a bound is missed.
// bench-libs: engine
#include "bench/BenchSupport.h"

#include "app/engine/ConRun.h"
#include "app/engine/Conversion.h"
#include "app/engine/Progress.h"
#include "rtl/Files.h"

#include <unistd.h>

#include <QElapsedTimer>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

int Produce(long Warnings) {
    std::string out = "size=     512kB time=00:00:32.00 bitrate= 131.1kbits/s speed=40.0x\n";
    for (long k = 0; k < Warnings; ++k) {
        out += "[mp3float @ 0x55d0] overread, skip -" + std::to_string(k % 9 + 1) + " enddists: -1 -1\n";
        if (out.size() > 60000 || k + 1 == Warnings) {
            if (!bench_support::WriteOut(out)) return 1;
            out.clear();
        }
    }
    return 0;
}

// One run of the fake encoder through the runner with the handler Handle; its wall time.
template <class THandle> double Run(long Warnings, THandle Handle) {
    auto list = std::make_unique<rtl::TStringList>();
    engine::OnConsoleLine = [&](uint32_t, const rtl::String&, bool) { Handle(list.get()); };
    QElapsedTimer t;
    t.start();
    engine::RunConsoleApp(rtl::ParamStr(0), QStringLiteral("--produce %1").arg(Warnings), list.get(), 0);
    const double s = bench_support::Seconds(t);
    engine::OnConsoleLine = nullptr;
    return list->Count() >= Warnings + 1 ? s : -1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--produce") == 0) return Produce(std::atol(argv[2]));
    engine::KeepHeapForOutputLists(); // as the program does at start-up
    const engine::TRunTexts texts;
    bool ok = true;
    const long counts[2] = {10000, 100000};
    double handler[2] = {1e9, 1e9}, runner[2] = {1e9, 1e9};
    int shown = 0;
    for (int i = 0; i < 2; ++i)
        for (int round = 0; round < 5; ++round) {
            engine::TEncoderProgressScan scan;
            const double h = Run(counts[i], [&](rtl::TStrings* Output) {
                engine::TProgressTexts t;
                if (engine::GetProgressTexts(Output, 1, 1, 60, texts, t, &scan) && t.Percent > 0) ++shown;
            });
            long lines = 0;
            const double r = Run(counts[i], [&](rtl::TStrings*) { ++lines; });
            if (h < 0 || r < 0) {
                std::fprintf(stderr, "a run failed or lost lines\n");
                return 1;
            }
            handler[i] = std::min(handler[i], h);
            runner[i] = std::min(runner[i], r);
        }
    for (int i = 0; i < 2; ++i)
        std::printf("%7ld warnings: with the handler %.2f ms, runner alone %.2f ms\n", counts[i], handler[i] * 1000,
                    runner[i] * 1000);
    if (shown == 0) std::fprintf(stderr, "the handler never showed the progress line\n");
    ok &= shown > 0;
    ok &= bench_support::Check("handler, 100k warnings / 10k", handler[1] / handler[0], "<=", 12);
    ok &= bench_support::Check("handler / runner alone, 10k", handler[0] / runner[0], "<=", 2);
    ok &= bench_support::Check("handler / runner alone, 100k", handler[1] / runner[1], "<=", 2);
    return ok ? 0 : 1;
}
