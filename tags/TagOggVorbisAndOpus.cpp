// tags/TagOggVorbisAndOpus.cpp: the Ogg comments held in memory; only the stream kind is read.
#include "tags/TagOggVorbisAndOpus.h"

#include "tags/TagItems.h"

#include "rtl/Classes.h"
#include "rtl/Streams.h"

#include <cstring>

namespace tags {

String TOpusTagFrame::GetAsText() const { return Format == otffText ? FText : String(); }

bool TOpusTagFrame::GetAsList(rtl::TStrings& List) const
{
    List.Clear();
    return false;
}

bool TOpusTagFrame::SetAsText(const String& Text)
{
    Format = otffText;
    FText = Text;
    return true;
}

bool TOpusTagFrame::SetAsList(const rtl::TStrings&) { return false; }

TOpusTag::TOpusTag() = default;
TOpusTag::~TOpusTag() = default;

void TOpusTag::Clear()
{
    Frames.clear();
    Loaded = false;
    Format = ofUnknown;
    Info = TOggInfo();
}

int TOpusTag::LoadFromFile(const String& FileName)
{
    Clear();
    return FileName.isEmpty() ? OPUSTAGLIBRARY_ERROR_OPENING_FILE : OPUSTAGLIBRARY_ERROR_NO_TAG_FOUND;
}

int TOpusTag::LoadFromStream(rtl::TStream& Stream)
{
    Clear();
    const int64_t start = Stream.Position();
    try {
        // The first page carries the identification packet, which names the codec.
        uint8_t header[27];
        Stream.SetPosition(0);
        if (Stream.Read(header, 27) == 27 && std::memcmp(header, "OggS", 4) == 0) {
            uint8_t lacing[255];
            const int segments = header[26];
            if (Stream.Read(lacing, segments) == segments) {
                uint8_t packet[8] = {};
                Stream.Read(packet, 8);
                if (std::memcmp(packet, "OpusHead", 8) == 0) Format = ofOpus;
                else if (std::memcmp(packet, "\x01vorbis", 7) == 0) Format = ofVorbis;
                else if (std::memcmp(packet, "\x80theora", 7) == 0) Format = ofTheora;
            }
        }
        Stream.SetPosition(start);
        return OPUSTAGLIBRARY_SUCCESS;
    } catch (...) {
        return OPUSTAGLIBRARY_ERROR;
    }
}

int64_t TOpusTag::CalculateTagSize(bool) const { return 0; }

TOpusTagFrame* TOpusTag::AddFrame(const String& Name) { return AppendNamedItem(Frames, this, Name); }
bool TOpusTag::DeleteFrame(int FrameIndex) { return DeleteItemAt(Frames, FrameIndex); }
void TOpusTag::DeleteAllCoverArts() { DeleteItemsWhere(Frames, [](const TOpusTagFrame& f) { return f.IsCoverArt(); }); }

bool TOpusTag::GetCoverArtFromFrame(int, rtl::TStream&, TOpusVorbisCoverArtInfo&) { return false; }
int TOpusTag::AddCoverArtFrame(rtl::TStream&, const TOpusVorbisCoverArtInfo&) { return -1; }

int TOpusTag::SaveToStream(rtl::TStream&) { return OPUSTAGLIBRARY_ERROR_NOT_SUPPORTED_FORMAT; }
int TOpusTag::SaveToFile(const String&) { return OPUSTAGLIBRARY_ERROR_NOT_SUPPORTED_FORMAT; }

int StripOggTagsFromFile(const String&, uint32_t) { return OPUSTAGLIBRARY_ERROR_NOT_SUPPORTED_FORMAT; }

} // namespace tags
