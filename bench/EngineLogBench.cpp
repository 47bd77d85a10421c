// bench/EngineLogBench.cpp: the encoder log filter over 10,000, 100,000 and 1,000,000 lines, half of them
// noise (banner, warning and notice lines, blank lines) and half kept (stream and progress lines).
// Checks that ten times the lines cost at most twelve times the time, and that filtering costs at most
// twice copying the kept lines into a new list. Each run starts with its log out of the caches, whatever
// its size. Prints the numbers; exits non-zero when a bound is missed.
// bench-libs: engine
#include "bench/BenchSupport.h"

#include "app/engine/Progress.h"
#include "rtl/Classes.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

const char* const Noise[] = {"  libavcodec     58. 91.100 / 58. 91.100", "", "Press [q] to stop, [?] for help",
                             "[mpeg4 @ 0x55] Error at MB: 1234, concealing errors", "Last message repeated 3 times"};
const char* const Kept[] = {"Stream #0:0: Audio: mp3, 44100 Hz, stereo, fltp, 128 kb/s",
                            "size=    1024kB time=00:01:05.43 bitrate= 128.2kbits/s speed=42.1x",
                            "Output #0, mp3, to 'out.mp3':", "  Duration: 00:03:12.05, start: 0.000000, bitrate: 320 kb/s"};

std::unique_ptr<rtl::TStringList> MakeLog(int Lines) {
    auto list = std::make_unique<rtl::TStringList>();
    for (int i = 0; i < Lines; ++i)
        list->Add(QString::fromLatin1(i % 2 ? Noise[(i / 2) % 5] : Kept[(i / 2) % 4]));
    return list;
}

// Writes a buffer twice the size of a large last-level cache, so that every run starts with none of its
// log cached: a small log just made would otherwise be read from the cache and a large one from memory,
// and the sizes would compare the caches rather than the filter.
void EvictCaches() {
    static std::vector<unsigned char> buffer(64 << 20);
    static unsigned char round = 0;
    ++round;
    for (size_t i = 0; i < buffer.size(); i += 64) buffer[i] = round;
}

// Best of Runs, each on a fresh log made outside the timing and out of the caches.
template <class TWork> double Best(int Lines, TWork Work, int Runs) {
    double best = 1e9;
    for (int r = 0; r < Runs; ++r) {
        auto log = MakeLog(Lines);
        EvictCaches();
        QElapsedTimer t;
        t.start();
        Work(log.get());
        best = std::min(best, bench_support::Seconds(t));
    }
    return best;
}

} // namespace

int main() {
    bool ok = true;
    const int sizes[3] = {10000, 100000, 1000000};
    double filter[3] = {}, copy[3] = {};
    for (int i = 0; i < 3; ++i) {
        const int runs = i == 2 ? 7 : 10;
        filter[i] = Best(sizes[i], [](rtl::TStringList* Log) { engine::FilterEncoderLog(Log); }, runs);
        // The baseline: the kept half copied line by line into a new list (kept lines are the even ones).
        copy[i] = Best(sizes[i], [](rtl::TStringList* Log) {
            rtl::TStringList out;
            for (int k = 0; k < Log->Count(); k += 2) out.AddObject((*Log)[k], Log->Objects(k));
        }, runs);
        std::printf("%8d lines: filter %.3f ms, copying the kept lines %.3f ms\n", sizes[i], filter[i] * 1000, copy[i] * 1000);
    }
    ok &= bench_support::Check("filter, 100k lines / 10k", filter[1] / filter[0], "<=", 12);
    ok &= bench_support::Check("filter, 1M lines / 100k", filter[2] / filter[1], "<=", 12);
    for (int i = 0; i < 3; ++i)
        ok &= bench_support::Check(i == 0 ? "filter / copy, 10k" : i == 1 ? "filter / copy, 100k" : "filter / copy, 1M",
                                   filter[i] / copy[i], "<=", 2);
    return ok ? 0 : 1;
}
