// tags/TagAPEv2.h: the APEv2 tag at the end of a file (before a trailing ID3v1 block): key/value items
// holding UTF-8 text, name/value lists or binary data (cover art: description, NUL, picture file).
// Versions 2000 and 1000 are read; 2000 with header and footer is written.
#pragma once
#include "rtl/Streams.h"
#include "rtl/System.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace rtl { class TStrings; }

namespace tags {

using rtl::String;

// Result codes of the APEv2 unit.
constexpr int APEV2LIBRARY_SUCCESS = 0;
constexpr int APEV2LIBRARY_ERROR_NO_TAG_FOUND = 1;
constexpr int APEV2LIBRARY_ERROR_EMPTY_TAG = 2;
constexpr int APEV2LIBRARY_ERROR_EMPTY_FRAMES = 3;
constexpr int APEV2LIBRARY_ERROR_OPENING_FILE = 4;
constexpr int APEV2LIBRARY_ERROR_READING_FILE = 5;
constexpr int APEV2LIBRARY_ERROR_WRITING_FILE = 6;
constexpr int APEV2LIBRARY_ERROR_CORRUPT = 7;
constexpr int APEV2LIBRARY_ERROR_NOT_SUPPORTED_VERSION = 8;
constexpr int APEV2LIBRARY_ERROR_NOT_SUPPORTED_FORMAT = 9;
constexpr int APEV2LIBRARY_ERROR = 0xFFFF;

enum TAPEv2FrameFormat { ffUnknown, ffText, ffBinary };
enum TAPEv2PictureFormat { pfUnknown, pfJPEG, pfPNG, pfBMP, pfGIF };

// Keys are written upper-cased unless a tag says otherwise; every new tag copies this.
extern bool APEv2UpperCaseFieldNamesToWriteDefault;

class TAPEv2Tag;

class TAPEv2Frame {
public:
    explicit TAPEv2Frame(TAPEv2Tag* AParent) : Parent(AParent) {}

    String GetAsText() const;
    String GetAsTextANSI() const;
    bool SetAsText(const String& Text);
    bool SetAsList(const rtl::TStrings& List);
    bool GetAsList(rtl::TStrings& List) const;
    bool IsCoverArt() const;
    int Index() const;

    String Name;
    TAPEv2FrameFormat Format = ffUnknown;
    rtl::TMemoryStream Stream;   // the value bytes as stored
    TAPEv2Tag* Parent;
    mutable bool AlreadyParsed = false;   // set by the value readers
};

class TAPEv2Tag {
public:
    TAPEv2Tag();
    ~TAPEv2Tag();
    TAPEv2Tag(const TAPEv2Tag&) = delete;
    TAPEv2Tag& operator=(const TAPEv2Tag&) = delete;

    void Clear();
    int Count() const { return int(Frames.size()); }
    TAPEv2Frame* AddFrame(const String& Name);
    bool DeleteFrame(int FrameIndex);
    void DeleteAllFrames();
    void DeleteAllCoverArts();
    void RemoveEmptyFrames();
    int AddBinaryFrame(const String& Name, rtl::TStream& BinaryStream, int64_t DataSize);
    int AddCoverArtFrame(const String& Name, rtl::TStream* PictureStream, const String& Description);
    bool GetCoverArtFromFrame(int Index, rtl::TStream& PictureStream, TAPEv2PictureFormat& PictureFormat,
                              String& Description);
    int64_t CalculateTotalFramesSize() const;
    int64_t CalculateTagSize() const;
    int64_t FileSize() const { return FFileSize; }

    int LoadFromFile(const String& FileName);
    int LoadFromStream(rtl::TStream& TagStream);
    int SaveToFile(const String& FileName);
    int SaveToStream(rtl::TStream& Stream);

    std::vector<std::unique_ptr<TAPEv2Frame>> Frames;
    int64_t FFileSize = 0;
    String FileName;
    bool Loaded = false;
    uint32_t Version = 0;
    uint32_t Flags = 0;
    uint32_t Size = 0;
    bool UpperCaseFieldNamesToWrite = APEv2UpperCaseFieldNamesToWriteDefault;
};

int StripAPEv2FromFile(const String& FileName);
bool HasAPEv2Preamble(rtl::TStream& Stream);
// "1023 Byte", "1.50 KB", "117.70 MB": binary units, four significant digits shown with two decimals.
String FormatByteCount(int64_t Count);

// Where a picture file starts inside a cover-art value (description, NUL, picture) and its format;
// Start is -1 without a known signature.
struct TPictureSniff {
    int64_t DescriptionLength = 0;
    int64_t Start = -1;
    TAPEv2PictureFormat Format = pfUnknown;
};
TPictureSniff SniffCoverArtValue(const uint8_t* Data, int64_t Size);

} // namespace tags
