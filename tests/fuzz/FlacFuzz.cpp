// tests/fuzz/FlacFuzz.cpp: arbitrary bytes into the FLAC metadata reader, every comment and picture read
// back, then a save into the input, which must load again with the comments it wrote.
// fuzz-libs: tags rtl
#include "rtl/Classes.h"
#include "rtl/Streams.h"
#include "tags/TagFlac.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    rtl::TMemoryStream input;
    if (Size > 0) input.WriteBuffer(Data, int64_t(Size));
    tags::TFlacTag tag;
    tag.LoadFromStream(input, Size % 2 == 0);
    rtl::TStringList list;
    int written = 0;
    for (const auto& comment : tag.Tags) {
        if (!comment->GetAsText().isEmpty()) ++written;
        comment->GetAsList(list);
    }
    for (int i = 0; i < tag.CoverArtCount(); ++i) {
        rtl::TMemoryStream picture;
        tags::TFlacTagCoverArtInfo info;
        tag.GetCoverArt(i, picture, info);
    }
    tag.GetPlaytime();
    if (tag.SaveToStream(input) == tags::FLACLIBRARY_SUCCESS) {
        tags::TFlacTag back;
        if (back.LoadFromStream(input) != tags::FLACLIBRARY_SUCCESS || back.Count() != written) std::abort();
    }
    return 0;
}
