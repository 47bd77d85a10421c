// tests/fuzz/OggFuzz.cpp: arbitrary bytes as an Ogg file: the page walk and the comment header loader,
// every comment and picture reader, then a save into the input, whose comments must read back whole and
// whose pages must all carry good checksums.
// fuzz-libs: tags rtl
#include "rtl/Classes.h"
#include "rtl/Streams.h"
#include "tags/TagOggVorbisAndOpus.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

// Every page from Start on must be whole and checksummed.
void CheckPages(rtl::TMemoryStream& Stream, int64_t Start)
{
    Stream.SetPosition(Start);
    tags::TOGGStream pages(&Stream);
    rtl::TMemoryStream page;
    tags::TOggHeader header;
    while (Stream.Position() < Stream.Size()) {
        page.Clear();
        if (!pages.ReadPage(header, &page, nullptr)) return;   // bytes the input had beyond its pages
        auto* p = static_cast<uint8_t*>(page.Memory());
        uint32_t stored = 0;
        std::memcpy(&stored, p + 22, 4);
        std::memset(p + 22, 0, 4);
        if (tags::OggCRCUpdate(0, p, page.Size()) != stored && header.Serial == pages.FirstOGGHeader.Serial) std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    rtl::TMemoryStream input;
    if (Size > 0) input.WriteBuffer(Data, int64_t(Size));
    input.SetPosition(0);
    tags::TOpusTag tag;
    tag.ParsePlayTime = true;
    tag.DeepOpusBitRateScan = Size > 0 && (Data[Size - 1] & 1);
    if (tag.LoadFromStream(input) != tags::OPUSTAGLIBRARY_SUCCESS) return 0;
    rtl::TStringList list;
    for (int i = 0; i < tag.Count(); ++i) {
        tag.Frames[size_t(i)]->GetAsText();
        tag.Frames[size_t(i)]->GetAsList(list);
        rtl::TMemoryStream picture;
        tags::TOpusVorbisCoverArtInfo info;
        tag.GetCoverArtFromFrame(i, picture, info);
    }
    tag.AddTextFrame(rtl::String::fromLatin1("FUZZ"), rtl::String::fromLatin1("value"));
    tag.WritePadding = Size > 1 && (Data[Size - 2] & 1);
    if (tag.SaveToStream(input) == tags::OPUSTAGLIBRARY_SUCCESS) {
        tags::TOpusTag back;
        if (back.LoadFromStream(input) != tags::OPUSTAGLIBRARY_SUCCESS) std::abort();
        if (back.ReadFrameByNameAsText(rtl::String::fromLatin1("FUZZ")) != rtl::String::fromLatin1("value")) std::abort();
        CheckPages(input, back.Info.SPagePos);
    }
    return 0;
}
