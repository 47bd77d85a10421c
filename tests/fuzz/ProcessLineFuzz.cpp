// tests/fuzz/ProcessLineFuzz.cpp: a child's output bytes through the console runner's line assembler,
// then the progress-line reader and the log filter over the lines. How the bytes are split into reads
// must not change the lines: every input is fed once whole and once in pieces chosen by the input.
// fuzz-libs: engine
#include <QStringList>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "app/engine/ConRun.h"
#include "app/engine/Progress.h"

namespace {

struct TAssembled {
    QStringList Entries;
    QStringList Handed;
};

// Splits Bytes into reads of the sizes the Sizes bytes name (0 stands for a read of 1); the rest of
// the bytes go in one last read.
TAssembled Assemble(const std::vector<char>& Bytes, const uint8_t* Sizes, size_t SizeCount) {
    TAssembled out;
    rtl::TStringList list;
    auto builder = std::make_unique<engine::TOutputLineBuilder>(
        &list, [&out](const QString& Line) { out.Handed << Line; });
    size_t at = 0;
    for (size_t i = 0; i < SizeCount && at < Bytes.size(); ++i) {
        const size_t n = std::min<size_t>(std::max<size_t>(Sizes[i], 1) * 97, Bytes.size() - at);
        builder->Feed(Bytes.data() + at, n);
        at += n;
    }
    builder->Feed(Bytes.data() + at, Bytes.size() - at);
    builder->Finish();
    for (int i = 0; i < list.Count(); ++i) out.Entries << list[i];
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    if (Size < 2) return 0;
    // Byte 0: how often the rest is repeated (up to 64 times, so that lines pass the piece length; one
    // input in four, as long inputs run slowly); byte 1: how many of the next bytes are read sizes.
    const int repeat = (Data[0] & 0xC0) == 0xC0 ? 1 + Data[0] % 64 : 1;
    const size_t sizeCount = std::min<size_t>(Data[1] % 16, Size - 2);
    const uint8_t* sizes = Data + 2;
    const uint8_t* text = sizes + sizeCount;
    const size_t textSize = Size - 2 - sizeCount;
    std::vector<char> bytes;
    for (int r = 0; r < repeat; ++r) bytes.insert(bytes.end(), text, text + textSize);

    const TAssembled whole = Assemble(bytes, nullptr, 0);
    const TAssembled pieces = Assemble(bytes, sizes, sizeCount);
    if (whole.Entries != pieces.Entries || whole.Handed != pieces.Handed) std::abort();
    // A piece holds at most ConsoleLineMax bytes, and no byte decodes to more than one UTF-16 unit
    // (a bad byte becomes one U+FFFD, which would take three bytes again in UTF-8).
    for (const QString& e : whole.Entries)
        if (e.size() > engine::ConsoleLineMax) std::abort();

    rtl::TStringList lines;
    for (const QString& e : whole.Entries) {
        lines.Add(e);
        engine::TEncoderProgress progress;
        engine::ParseEncoderProgressLine(e, progress);
        if (progress.PositionSec < -1) std::abort();
        (void)engine::ParseClockSeconds(e);
    }
    engine::TEncoderProgress progress;
    if (engine::ParseEncoderProgress(&lines, progress)) {
        const int percent = engine::ProgressPercent(progress.PositionSec, int64_t(Data[0]) * 7 - 100);
        if (percent < 0 || percent > 100) std::abort();
    }
    engine::FilterEncoderLog(&lines);
    if (lines.Count() > int(whole.Entries.size())) std::abort();
    return 0;
}
