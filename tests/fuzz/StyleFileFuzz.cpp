// tests/fuzz/StyleFileFuzz.cpp: a style file of arbitrary bytes. The reader either refuses it with a
// line number inside the text or gives a style that the writer writes and the reader reads back equal.
// fuzz-libs: vcl
#include <cstdint>
#include <cstdlib>

#include "vcl/StyleFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    const QByteArray Text(reinterpret_cast<const char*>(Data), qsizetype(Size));
    const QString Source = QStringLiteral("fuzz.vsf");
    const QString Folder = QStringLiteral("/nonexistent");
    vcl::TStyleFileData Style;
    try {
        Style = vcl::ParseStyleText(Text, Source, Folder);
    } catch (const vcl::EStyleFileError& E) {
        // The line named must be one of the text's lines (0: the text as a whole).
        if (E.Line() < 0 || E.Line() > Text.count('\n') + 1) std::abort();
        return 0;
    }
    const QByteArray Written = vcl::StyleFileText(Style);
    vcl::TStyleFileData Back;
    try {
        Back = vcl::ParseStyleText(Written, Source, Folder);
    } catch (const vcl::EStyleFileError&) {
        std::abort(); // what we write we must read
    }
    if (!(Back == Style)) std::abort();
    return 0;
}
