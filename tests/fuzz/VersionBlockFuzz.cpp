// tests/fuzz/VersionBlockFuzz.cpp: version-block queries on arbitrary blocks. Every answer must lie
// inside the block.
// fuzz-libs: tw_kernel32
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "win/kernel32/winver.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    if (Size < 2) return 0;
    // The block's own first word is its length, as the version API hands it out.
    std::vector<uint8_t> Block(Data, Data + Size);
    const size_t Len = size_t(Block[0] | Block[1] << 8);
    if (Len > Size) return 0;
    Block.resize(Len < 2 ? 2 : Len);
    static const char16_t* const Paths[] = {u"\\", u"\\VarFileInfo\\Translation",
                                            u"\\StringFileInfo\\040904b0\\ProductVersion",
                                            u"\\StringFileInfo\\040904B0\\FileDescription", u"\\A\\B\\C\\D"};
    for (const char16_t* Path : Paths) {
        LPVOID P = nullptr;
        UINT N = 0;
        if (!VerQueryValueW(Block.data(), reinterpret_cast<LPCWSTR>(Path), &P, &N)) continue;
        const auto* B = static_cast<const uint8_t*>(P);
        if (B < Block.data() || B > Block.data() + Block.size() || N > Block.size()) std::abort();
    }
    return 0;
}
