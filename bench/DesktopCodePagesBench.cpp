// bench/DesktopCodePagesBench.cpp: the code-page conversions over 100 MB of text against iconv(3) on the
// same text: UTF-8 to UTF-16, and UTF-16 to Windows-1252.
// bench-libs: win
#include "bench/BenchSupport.h"

#include <iconv.h>

#include <string>

#include "win/kernel32/winnls.h"

namespace {

// Western text with accents, punctuation of the 1252 upper half, and now and then a word in another script.
const std::string& Utf8Text() {
    static const std::string text = [] {
        const std::string line = "Ça m'a coûté 5 € — « naïve » Größe, smörgåsbord; Ελλάδα 日本 ok.\n";
        std::string s;
        s.reserve(100u << 20);
        while (s.size() + line.size() <= (100u << 20)) s += line;
        return s;
    }();
    return text;
}

// Text that 1252 holds entirely, so that iconv runs without stopping at unmappable characters.
const std::u16string& Utf16Text() {
    static const std::u16string text = [] {
        const std::string line = "Ça m'a coûté 5 € — « naïve » Größe, smörgåsbord; “quoted” ok.\n";
        std::string s;
        s.reserve(100u << 20);
        while (s.size() + line.size() <= (100u << 20)) s += line;
        std::u16string w(s.size(), u'\0');
        w.resize(size_t(MultiByteToWideChar(CP_UTF8, 0, s.data(), int(s.size()), w.data(), int(w.size()))));
        return w;
    }();
    return text;
}

double Iconv(const char* to, const char* from, const char* in, size_t inBytes, size_t outBytes) {
    std::string out(outBytes, '\0');
    QElapsedTimer t;
    t.start();
    iconv_t cd = iconv_open(to, from);
    char* src = const_cast<char*>(in);
    char* dst = out.data();
    size_t left = inBytes, room = outBytes;
    while (left > 0) {
        if (iconv(cd, &src, &left, &dst, &room) == size_t(-1)) { // unmappable: a '?' as Windows writes
            src += 2, left -= 2;
            *dst++ = '?', --room;
        }
    }
    iconv_close(cd);
    const double seconds = bench_support::Seconds(t);
    benchmark::DoNotOptimize(out.data());
    return seconds;
}

bench_support::TPair Decoding, Encoding;

void BM_Decode_Utf8_OursThenIconv(benchmark::State& state) {
    const std::string& s = Utf8Text();
    std::u16string out(s.size(), u'\0');
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        MultiByteToWideChar(CP_UTF8, 0, s.data(), int(s.size()), out.data(), int(out.size()));
        const double ours = bench_support::Seconds(t);
        Decoding.Add(ours, Iconv("UTF-16LE", "UTF-8", s.data(), s.size(), s.size() * 2));
        state.SetIterationTime(ours);
    }
    state.SetBytesProcessed(int64_t(s.size()) * state.iterations());
}

void BM_Encode_1252_OursThenIconv(benchmark::State& state) {
    const std::u16string& w = Utf16Text();
    std::string out(w.size(), '\0');
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        WideCharToMultiByte(1252, 0, w.data(), int(w.size()), out.data(), int(out.size()), nullptr, nullptr);
        const double ours = bench_support::Seconds(t);
        Encoding.Add(ours, Iconv("WINDOWS-1252", "UTF-16LE", reinterpret_cast<const char*>(w.data()),
                                 w.size() * 2, w.size()));
        state.SetIterationTime(ours);
    }
    state.SetBytesProcessed(int64_t(w.size() * 2) * state.iterations());
}

BENCHMARK(BM_Decode_Utf8_OursThenIconv)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Encode_1252_OursThenIconv)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    if (Decoding.Ours <= 0 || Encoding.Ours <= 0) return 0;
    // Throughput at least half of iconv's: time at most twice iconv's.
    const bool decode = bench_support::Check("UTF-8 decoding time, ours / iconv (best of 5)",
                                             Decoding.Ours / Decoding.Peer, "<=", 2.0);
    const bool encode = bench_support::Check("1252 encoding time, ours / iconv (best of 5)",
                                             Encoding.Ours / Encoding.Peer, "<=", 2.0);
    return decode && encode ? 0 : 1;
}
