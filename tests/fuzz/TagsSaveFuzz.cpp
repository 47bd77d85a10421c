// tests/fuzz/TagsSaveFuzz.cpp: arbitrary bytes loaded as a tag (behind the container head the first
// byte picks, as in TagsFuzz), saved back into the same bytes and loaded again: no crash, and the
// frames read back are the frames that were saved. The ID3v1 block goes the same round.
// fuzz-libs: tags rtl
#include "rtl/Streams.h"
#include "tags/TagID3v1.h"
#include "tags/TagID3v2.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

std::vector<uint8_t> Head(uint8_t Choice)
{
    auto bytes = [](const char* s, size_t n) { return std::vector<uint8_t>(s, s + n); };
    switch (Choice % 7) {
    case 1: return bytes("RIFF\x40\x00\x00\x00WAVE", 12);
    case 2: return bytes("RF64\xff\xff\xff\xffWAVEds64\x1c\x00\x00\x00\x40\x00\x00\x00\x00\x00\x00\x00", 28);
    case 3: return bytes("FORM\x00\x00\x00\x40" "AIFF", 12);
    case 4: return bytes("FORM\x00\x00\x00\x40" "AIFC", 12);
    case 5: return bytes("DSD \x1c\x00\x00\x00\x00\x00\x00\x00", 12);
    case 6: return bytes("FRM8\x00\x00\x00\x00\x00\x00\x00\x40" "DSD ", 16);
    default: return {};
    }
}

struct TSavedFrame {
    tags::TFrameID ID;
    std::vector<uint8_t> Data;
    bool operator==(const TSavedFrame&) const = default;
};

std::vector<TSavedFrame> WrittenFrames(const tags::TID3v2Tag& Tag)
{
    std::vector<TSavedFrame> frames;
    for (const auto& f : Tag.Frames) {
        if (!tags::ValidFrameID(f->ID) || f->Stream->Size() == 0) continue;
        const auto* p = static_cast<const uint8_t*>(f->Stream->Memory());
        frames.push_back({f->ID, std::vector<uint8_t>(p, p + f->Stream->Size())});
    }
    return frames;
}

void Check(bool Condition)
{
    if (!Condition) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    if (Size == 0) return 0;
    std::vector<uint8_t> input = Head(Data[0]);
    input.insert(input.end(), Data + 1, Data + Size);
    rtl::TMemoryStream stream;
    if (!input.empty()) stream.WriteBuffer(input.data(), int64_t(input.size()));

    tags::TID3v2Tag tag;
    tag.ParseAudioAttributes = (Data[0] & 0x40) != 0;
    stream.SetPosition(0);
    if (tag.LoadFromStream(stream, (Data[0] & 0x80) != 0) == 0 && tag.SaveToStream(stream) == 0) {
        tags::TID3v2Tag back;
        Check(back.LoadFromStream(stream) == 0);
        Check(WrittenFrames(back) == WrittenFrames(tag));
        Check(back.MajorVersion == tag.MajorVersion);
    }

    tags::TID3v1Tag v1;
    if (v1.LoadFromStream(stream) == 0) {
        v1.SetANSIText = false;   // every character a byte: what was read comes back
        v1.ReturnANSIText = false;
        v1.TrimText = false;
        v1.LoadFromStream(stream);
        Check(v1.SaveToStream(stream) == 0);
        tags::TID3v1Tag again;
        again.ReturnANSIText = false;
        again.TrimText = false;
        Check(again.LoadFromStream(stream) == 0);
        Check(again.Title == v1.Title && again.Artist == v1.Artist && again.Album == v1.Album && again.Year == v1.Year);
    }
    return 0;
}
