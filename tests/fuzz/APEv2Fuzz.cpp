// tests/fuzz/APEv2Fuzz.cpp: arbitrary bytes into the APEv2 loader, then every value reader over what was
// loaded, and a save into the input, whose tag must read back whole.
// fuzz-libs: tags rtl
#include "rtl/Classes.h"
#include "rtl/Streams.h"
#include "tags/TagAPEv2.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    rtl::TMemoryStream input;
    if (Size > 0) input.WriteBuffer(Data, int64_t(Size));
    input.SetPosition(0);
    tags::TAPEv2Tag tag;
    tag.LoadFromStream(input);
    rtl::TStringList list;
    for (int i = 0; i < tag.Count(); ++i) {
        tags::TAPEv2Frame& frame = *tag.Frames[size_t(i)];
        frame.GetAsText();
        frame.GetAsTextANSI();
        frame.GetAsList(list);
        rtl::TMemoryStream picture;
        tags::TAPEv2PictureFormat format;
        rtl::String description;
        tag.GetCoverArtFromFrame(i, picture, format, description);
    }
    if (tag.Count() > 0 && tag.SaveToStream(input) == tags::APEV2LIBRARY_SUCCESS) {
        tags::TAPEv2Tag back;
        // Bytes that happen to read "TAG" 128 bytes before the end pass for an ID3v1 tag, and the reader
        // then looks for a tag in front of them: such a file hides the saved tag from every reader (and
        // may show stale bytes as one), so only a file that cannot be taken so is compared.
        const auto* bytes = static_cast<const uint8_t*>(input.Memory());
        const int64_t size = input.Size();
        const bool endsWithFooter = size >= 32 && std::memcmp(bytes + size - 32, "APETAGEX", 8) == 0;
        const bool looksLikeID3v1 = size >= 128 && std::memcmp(bytes + size - 128, "TAG", 3) == 0;
        if (endsWithFooter && looksLikeID3v1) return 0;
        if (back.LoadFromStream(input) == tags::APEV2LIBRARY_SUCCESS && back.Count() != tag.Count()) std::abort();
    }
    return 0;
}
