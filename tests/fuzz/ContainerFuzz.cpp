// tests/fuzz/ContainerFuzz.cpp: the skin-container unpacker and the descrambler on arbitrary bytes.
// Only the decompression error may come out.
// fuzz-libs: base
#include <cstdint>
#include <cstdlib>

#include "base/Container.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    rtl::TMemoryStream S;
    S.WriteBuffer(Data, int64_t(Size));
    const int64_t Before = S.Size();
    try {
        const int R = base::UnpackContainerInPlace(S);
        if (R == 40 && S.Size() != Before) std::abort(); // a rejected container is left as it was
    } catch (const base::EZDecompressionError&) {
    }
    rtl::TMemoryStream In, Out;
    In.WriteBuffer(Data, int64_t(Size));
    if (base::TDec().DecodeStream(In, Out) && Out.Size() != int64_t(Size) - base::ScrambleHeaderSize) std::abort();
    return 0;
}
