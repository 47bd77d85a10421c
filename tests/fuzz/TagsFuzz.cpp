// tests/fuzz/TagsFuzz.cpp: arbitrary bytes into the tag loaders. The first byte picks the container
// head put in front of the rest (none, WAV, RF64, AIFF, AIFC, DSF, DSDIFF), so that every finder and
// audio-facts reader is reached; then every frame accessor runs over what was loaded.
// fuzz-libs: tags rtl
#include "rtl/Classes.h"
#include "rtl/Streams.h"
#include "tags/AudioInfo.h"
#include "tags/TagID3v1.h"
#include "tags/TagID3v2.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

std::vector<uint8_t> Head(uint8_t Choice) {
    auto bytes = [](const char* s, size_t n) { return std::vector<uint8_t>(s, s + n); };
    switch (Choice % 7) {
    case 1:
        return bytes("RIFF\xff\xff\xff\x7fWAVE", 12);
    case 2:
        return bytes("RF64\xff\xff\xff\xffWAVE", 12);
    case 3:
        return bytes("FORM\x7f\xff\xff\xff"
                     "AIFF",
                     12);
    case 4:
        return bytes("FORM\x7f\xff\xff\xff"
                     "AIFC",
                     12);
    case 5:
        return bytes("DSD ", 4);
    case 6:
        return bytes("FRM8\x00\x00\x00\x00\x7f\xff\xff\xff"
                     "DSD ",
                     16);
    default:
        return {};
    }
}

void Exercise(tags::TID3v2Tag& Tag) {
    Tag.RemoveUnsynchronisationOnAllFrames();
    Tag.DeCompressAllFrames();
    for (int i = 0; i < Tag.FrameCount(); ++i) {
        QString a, b;
        tags::TLanguageID lang;
        int type = 0;
        uint8_t rating = 0;
        uint32_t count = 0;
        rtl::TStringList list;
        rtl::TMemoryStream picture;
        Tag.GetUnicodeText(i, false);
        Tag.GetUnicodeText(i, true);
        tags::DecodeID3v2Genre(Tag.GetUnicodeText(i));
        Tag.GetUnicodeTextMultiple(i, list);
        Tag.GetUnicodeContent(i, lang, a);
        Tag.GetUnicodeCoverPictureStream(i, picture, a, b, type);
        Tag.GetUnicodeUserDefinedURLLink(i, a);
        Tag.GetURL(i);
        Tag.GetPlayCount(i);
        Tag.GetUnicodeUserDefinedTextInformationMultiple(i, a, list);
        Tag.GetPopularimeter(i, a, rating, count);
        Tag.GetUnicodeListFrame(i, list);
    }
    Tag.PlayTime();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    if (Size == 0) return 0;
    std::vector<uint8_t> input = Head(Data[0]);
    input.insert(input.end(), Data + 1, Data + Size);
    rtl::TMemoryStream stream;
    if (!input.empty()) stream.WriteBuffer(input.data(), int64_t(input.size()));
    for (bool buffered : {false, true}) {
        tags::TID3v2Tag tag;
        tag.BeginningSearchLength = 64;
        tag.ParseCoverArts = (Data[0] & 0x80) == 0;
        stream.SetPosition(0);
        try {
            tag.LoadFromStream(stream, buffered);
        } catch (const rtl::Exception&) {
            continue; // a zero divisor in the audio facts: reported, never a crash
        }
        Exercise(tag);
    }
    tags::TID3v1Tag v1;
    v1.LoadFromStream(stream);
    return 0;
}
