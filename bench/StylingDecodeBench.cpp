// bench/StylingDecodeBench.cpp: decoding throughput over libQt6Widgets' code, ours against Zydis's full
// decode in the same run (ours only measures and classifies, so it should be at least twice as fast).
// bench-libs: styling_hooking rtl Zydis
#include <benchmark/benchmark.h>
#include <Zydis/Zydis.h>
#include <dlfcn.h>
#include <link.h>

#include <cstring>

#include "styling/hooking/InsnDecode.h"

namespace {

struct Text {
    const uint8_t* Start = nullptr;
    size_t Size = 0;
};

int FindText(dl_phdr_info* Info, size_t, void* Data) {
    auto* t = static_cast<Text*>(Data);
    if (!std::strstr(Info->dlpi_name, "libQt6Widgets.so")) return 0;
    for (int k = 0; k < Info->dlpi_phnum; ++k) {
        const auto& ph = Info->dlpi_phdr[k];
        if (ph.p_type == PT_LOAD && (ph.p_flags & PF_X)) {
            t->Start = reinterpret_cast<const uint8_t*>(Info->dlpi_addr + ph.p_vaddr);
            t->Size = ph.p_memsz - 64; // room for the last instruction's operands
            return 1;
        }
    }
    return 0;
}

const Text& WidgetsText() {
    static const Text text = [] {
        Text t;
        dlopen("libQt6Widgets.so.6", RTLD_NOW | RTLD_GLOBAL);
        dl_iterate_phdr(FindText, &t);
        return t;
    }();
    return text;
}

void BM_OurDecoder(benchmark::State& State) {
    const Text& t = WidgetsText();
    size_t count = 0;
    for (auto _ : State) {
        size_t at = 0;
        // One record for every decode, as a caller walking code uses it: the decoder clears it.
        styling::TDecodedInstruction I{};
        I.Architecture = 1;
        I.DecodeOptions = styling::doVex;
        while (at < t.Size) {
            I.Address = t.Start + at;
            int len = 1;
            try {
                len = styling::DecodeInstruction(I);
            } catch (const styling::InstException&) {
            }
            at += size_t(len);
            ++count;
        }
    }
    State.SetBytesProcessed(int64_t(State.iterations() * t.Size));
    State.counters["insns"] = double(count) / double(State.iterations());
}

void BM_ZydisFullDecode(benchmark::State& State) {
    const Text& t = WidgetsText();
    ZydisDecoder decoder;
    ZydisDecoderInit(&decoder, ZYDIS_MACHINE_MODE_LONG_64, ZYDIS_STACK_WIDTH_64);
    ZydisDecodedInstruction insn;
    ZydisDecodedOperand operands[ZYDIS_MAX_OPERAND_COUNT];
    size_t count = 0;
    for (auto _ : State) {
        size_t at = 0;
        while (at < t.Size) {
            const ZyanStatus s = ZydisDecoderDecodeFull(&decoder, t.Start + at, t.Size - at, &insn, operands);
            at += ZYAN_SUCCESS(s) ? insn.length : 1;
            ++count;
        }
    }
    State.SetBytesProcessed(int64_t(State.iterations() * t.Size));
    State.counters["insns"] = double(count) / double(State.iterations());
}

BENCHMARK(BM_OurDecoder)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZydisFullDecode)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
