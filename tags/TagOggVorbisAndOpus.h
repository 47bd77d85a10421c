// tags/TagOggVorbisAndOpus.h: the comment header of an Ogg Vorbis, Opus or Theora file with its stream
// information, as the tag front uses it. Until the Ogg reader and writer exist, loading recognises the
// stream kind from the first page only, finds no comments, and writing is not supported.
#pragma once
#include "rtl/System.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace rtl { class TStream; class TStrings; }

namespace tags {

using rtl::String;

// Result codes of the Ogg unit.
constexpr int OPUSTAGLIBRARY_SUCCESS = 0;
constexpr int OPUSTAGLIBRARY_ERROR_NO_TAG_FOUND = 1;
constexpr int OPUSTAGLIBRARY_ERROR_EMPTY_TAG = 2;
constexpr int OPUSTAGLIBRARY_ERROR_EMPTY_FRAMES = 3;
constexpr int OPUSTAGLIBRARY_ERROR_OPENING_FILE = 4;
constexpr int OPUSTAGLIBRARY_ERROR_READING_FILE = 5;
constexpr int OPUSTAGLIBRARY_ERROR_WRITING_FILE = 6;
constexpr int OPUSTAGLIBRARY_ERROR_CORRUPT = 7;
constexpr int OPUSTAGLIBRARY_ERROR_NOT_SUPPORTED_VERSION = 8;
constexpr int OPUSTAGLIBRARY_ERROR_NOT_SUPPORTED_FORMAT = 9;
constexpr int OPUSTAGLIBRARY_ERROR_FILE_NOT_WRITABLE = 10;
constexpr int OPUSTAGLIBRARY_ERROR = 0xFFFF;

enum TOggFormat { ofUnknown, ofVorbis, ofOpus, ofTheora };
enum TOpusTagFrameFormat { otffUnknown, otffText, otffCoverArt, otffBinary };

struct TOpusVorbisCoverArtInfo {
    uint32_t PictureType = 0;
    String MIMEType;
    String Description;
    uint32_t Width = 0;
    uint32_t Height = 0;
    uint32_t ColorDepth = 0;
    uint32_t NoOfColors = 0;
    uint32_t SizeOfPictureData = 0;
};

struct TOpusHeader {
    uint8_t ChannelCount = 0;
    uint32_t SampleRate = 0;
};

struct TVorbisHeader {
    uint8_t ChannelMode = 0;   // the channel count
    uint32_t SampleRate = 0;
    uint32_t BitRateNominal = 0;   // bit/s
};

struct TOggInfo {
    TOpusHeader OpusHeader;
    TVorbisHeader VorbisHeader;
    int64_t SampleCount = 0;
    double PlayTime = 0;
    uint32_t BitRate = 0;   // kbit/s
};

class TOpusTag;

class TOpusTagFrame {
public:
    explicit TOpusTagFrame(TOpusTag* AParent) : Parent(AParent) {}

    String GetAsText() const;
    bool GetAsList(rtl::TStrings& List) const;
    bool SetAsText(const String& Text);
    bool SetAsList(const rtl::TStrings& List);
    bool IsCoverArt() const { return Format == otffCoverArt; }

    String Name;
    TOpusTagFrameFormat Format = otffUnknown;
    TOpusTag* Parent;
    String FText;
};

class TOpusTag {
public:
    TOpusTag();
    ~TOpusTag();
    TOpusTag(const TOpusTag&) = delete;
    TOpusTag& operator=(const TOpusTag&) = delete;

    void Clear();
    int LoadFromFile(const String& FileName);
    int LoadFromStream(rtl::TStream& Stream);
    int64_t CalculateTagSize(bool IncludePadding) const;
    int Count() const { return int(Frames.size()); }
    TOpusTagFrame* AddFrame(const String& Name);
    bool DeleteFrame(int FrameIndex);
    void DeleteAllCoverArts();
    bool GetCoverArtFromFrame(int Index, rtl::TStream& PictureStream, TOpusVorbisCoverArtInfo& Info);
    int AddCoverArtFrame(rtl::TStream& PictureStream, const TOpusVorbisCoverArtInfo& Info);
    int SaveToStream(rtl::TStream& Stream);
    int SaveToFile(const String& FileName);

    std::vector<std::unique_ptr<TOpusTagFrame>> Frames;
    bool Loaded = false;
    TOggFormat Format = ofUnknown;
    uint32_t PaddingSizeToWrite = 4096;
    bool ParsePlayTime = false;
    bool UpperCaseFieldNamesToWrite = true;
    TOggInfo Info;
};

int StripOggTagsFromFile(const String& FileName, uint32_t PaddingSize);

} // namespace tags
