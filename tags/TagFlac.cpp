// tags/TagFlac.cpp: the FLAC metadata held in memory; no file format behind it yet.
#include "tags/TagFlac.h"

#include "tags/TagItems.h"

#include "rtl/Classes.h"

namespace tags {

String TVorbisComment::GetAsText() const
{
    return Format == vcfText ? FText : String();
}

bool TVorbisComment::GetAsList(rtl::TStrings& List) const
{
    List.Clear();
    return false;
}

bool TVorbisComment::SetAsText(const String& Text)
{
    Format = vcfText;
    FText = Text;
    return true;
}

bool TVorbisComment::SetAsList(const rtl::TStrings&) { return false; }

TFlacTag::TFlacTag() = default;
TFlacTag::~TFlacTag() = default;

void TFlacTag::Clear()
{
    Tags.clear();
    MetaDataBlocksCoverArts.clear();
    Loaded = false;
    FChannels = 0;
    FSampleRate = 0;
    FBitsPerSample = 0;
    FBitrate = 0;
    FSamples = 0;
}

int TFlacTag::LoadFromFile(const String& FileName, bool)
{
    Clear();
    return FileName.isEmpty() ? FLACLIBRARY_ERROR_OPENING_FILE : FLACLIBRARY_ERROR_NO_TAG_FOUND;
}

int64_t TFlacTag::CalculateTagSize(bool) const { return 0; }

TVorbisComment* TFlacTag::AddTag(const String& Name) { return AppendNamedItem(Tags, this, Name); }
bool TFlacTag::DeleteFrame(int FrameIndex) { return DeleteItemAt(Tags, FrameIndex); }

void TFlacTag::DeleteAllCoverArts() { MetaDataBlocksCoverArts.clear(); }

bool TFlacTag::GetCoverArt(int, rtl::TStream&, TFlacTagCoverArtInfo&) { return false; }
bool TFlacTag::SetCoverArt(int, rtl::TStream&, const TFlacTagCoverArtInfo&) { return false; }
int TFlacTag::AddMetaDataCoverArt(rtl::TStream*, int) { return -1; }

int TFlacTag::SaveToStream(rtl::TStream&, bool) { return FLACLIBRARY_ERROR_NOT_SUPPORTED_FORMAT; }
int TFlacTag::SaveToFile(const String&, bool) { return FLACLIBRARY_ERROR_NOT_SUPPORTED_FORMAT; }

bool TFlacTag::GetValid() const { return false; }
double TFlacTag::GetPlaytime() const { return 0; }

int StripFlacTagsFromFile(const String&, uint32_t) { return FLACLIBRARY_ERROR_NOT_SUPPORTED_FORMAT; }

} // namespace tags
