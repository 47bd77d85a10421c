// tags/TagFlac.h: the metadata of a native or Ogg FLAC file (Vorbis comments, pictures and the stream
// information), as the tag front uses it. Until the FLAC reader and writer exist, loading finds no
// tag and writing is not supported.
#pragma once
#include "rtl/System.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace rtl { class TStream; class TStrings; }

namespace tags {

using rtl::String;

// Result codes of the FLAC unit.
constexpr int FLACLIBRARY_SUCCESS = 0;
constexpr int FLACLIBRARY_ERROR_NO_TAG_FOUND = 1;
constexpr int FLACLIBRARY_ERROR_EMPTY_TAG = 2;
constexpr int FLACLIBRARY_ERROR_EMPTY_FRAMES = 3;
constexpr int FLACLIBRARY_ERROR_OPENING_FILE = 4;
constexpr int FLACLIBRARY_ERROR_READING_FILE = 5;
constexpr int FLACLIBRARY_ERROR_WRITING_FILE = 6;
constexpr int FLACLIBRARY_ERROR_NOT_SUPPORTED_VERSION = 7;
constexpr int FLACLIBRARY_ERROR_NOT_SUPPORTED_FORMAT = 8;
constexpr int FLACLIBRARY_ERROR_FILE_NOT_WRITABLE = 9;
constexpr int FLACLIBRARY_ERROR = 0xFFFF;

enum TVorbisCommentFormat { vcfUnknown, vcfText, vcfBinary };

class TFlacTag;

class TVorbisComment {
public:
    explicit TVorbisComment(TFlacTag* AParent) : Parent(AParent) {}

    String GetAsText() const;
    bool GetAsList(rtl::TStrings& List) const;
    bool SetAsText(const String& Text);
    bool SetAsList(const rtl::TStrings& List);

    String Name;
    TVorbisCommentFormat Format = vcfUnknown;
    TFlacTag* Parent;
    String FText;
};

struct TFlacTagCoverArtInfo {
    uint32_t PictureType = 0;
    String MIMEType;
    String Description;
    uint32_t Width = 0;
    uint32_t Height = 0;
    uint32_t ColorDepth = 0;
    uint32_t NoOfColors = 0;
    const uint8_t* PictureData = nullptr;
    uint32_t SizeOfPictureData = 0;
};

class TFlacTag {
public:
    TFlacTag();
    ~TFlacTag();
    TFlacTag(const TFlacTag&) = delete;
    TFlacTag& operator=(const TFlacTag&) = delete;

    void Clear();
    int LoadFromFile(const String& FileName, bool Buffered = true);
    int64_t CalculateTagSize(bool IncludePadding) const;
    int Count() const { return int(Tags.size()); }
    int CoverArtCount() const { return int(MetaDataBlocksCoverArts.size()); }
    TVorbisComment* AddTag(const String& Name);
    bool DeleteFrame(int FrameIndex);
    void DeleteAllCoverArts();
    bool GetCoverArt(int Index, rtl::TStream& PictureStream, TFlacTagCoverArtInfo& Info);
    bool SetCoverArt(int Index, rtl::TStream& PictureStream, const TFlacTagCoverArtInfo& Info);
    int AddMetaDataCoverArt(rtl::TStream* Stream, int Blocklength);
    int SaveToStream(rtl::TStream& Stream, bool Buffered = true);
    int SaveToFile(const String& FileName, bool Buffered = true);
    bool GetValid() const;
    double GetPlaytime() const;

    std::vector<std::unique_ptr<TVorbisComment>> Tags;
    std::vector<rtl::TBytes> MetaDataBlocksCoverArts;   // the bodies of the PICTURE blocks
    bool Loaded = false;
    uint32_t PaddingSizeToWrite = 4096;
    bool UpperCaseFieldNamesToWrite = true;
    uint8_t FChannels = 0;
    uint32_t FSampleRate = 0;
    uint8_t FBitsPerSample = 0;
    uint32_t FBitrate = 0;
    int64_t FSamples = 0;
};

int StripFlacTagsFromFile(const String& FileName, uint32_t PaddingSize);

} // namespace tags
