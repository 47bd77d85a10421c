// tests/fuzz/WAVFuzz.cpp: arbitrary bytes as a WAV or RF64 file: the chunk walks, the INFO, bext and cart
// readers and the audio facts, then a save into the input, whose tags must read back.
// fuzz-libs: tags rtl
#include "rtl/Classes.h"
#include "rtl/Streams.h"
#include "tags/TagWAV.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    rtl::TMemoryStream input;
    if (Size > 0) input.WriteBuffer(Data, int64_t(Size));
    input.SetPosition(0);
    tags::TWAVTag tag;
    if (tag.LoadFromStream(input) != tags::WAVTAGLIBRARY_SUCCESS) return 0;
    rtl::TStringList list;
    for (const auto& frame : tag.Frames) {
        frame->GetAsText();
        frame->GetAsList(list);
    }
    tag.BEXT.UMID();
    tag.BEXT.CodingHistory();
    tag.CART.TagText();
    tags::TCART_TIMER timer;
    for (int i = 0; i < 8; ++i) tag.CART.GetPostTimer(i, timer);
    tag.SetTextFrameText(rtl::String::fromLatin1("INAM"), rtl::String::fromLatin1("fuzz"));
    if (tag.SaveToStream(input) == tags::WAVTAGLIBRARY_SUCCESS) {
        tags::TWAVTag back;
        if (back.LoadFromStream(input) != tags::WAVTAGLIBRARY_SUCCESS) std::abort();
        bool found = false;
        for (const auto& frame : back.Frames) found = found || frame->GetAsText() == rtl::String::fromLatin1("fuzz");
        if (!found) std::abort();
    }
    return 0;
}
