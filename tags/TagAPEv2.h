// tags/TagAPEv2.h: the APEv2 tag at the end of a file (before a trailing ID3v1 block), as the tag front
// uses it. Until the APEv2 reader and writer exist, loading finds no tag and writing is not supported.
#pragma once
#include "rtl/System.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace rtl { class TStream; class TStrings; }

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

class TAPEv2Tag;

class TAPEv2Frame {
public:
    explicit TAPEv2Frame(TAPEv2Tag* AParent) : Parent(AParent) {}

    String GetAsText() const;
    bool GetAsList(rtl::TStrings& List) const;
    bool SetAsText(const String& Text);
    void SetAsList(const rtl::TStrings& List);
    bool IsCoverArt() const;

    String Name;
    TAPEv2FrameFormat Format = ffUnknown;
    TAPEv2Tag* Parent;
    String FText;   // the value of a text item
};

class TAPEv2Tag {
public:
    TAPEv2Tag();
    ~TAPEv2Tag();
    TAPEv2Tag(const TAPEv2Tag&) = delete;
    TAPEv2Tag& operator=(const TAPEv2Tag&) = delete;

    void Clear();
    int LoadFromFile(const String& FileName);
    int64_t CalculateTagSize() const;
    int Count() const { return int(Frames.size()); }
    TAPEv2Frame* AddFrame(const String& Name);
    bool DeleteFrame(int FrameIndex);
    void DeleteAllCoverArts();
    int AddCoverArtFrame(const String& Name, rtl::TStream& PictureStream, const String& Description);
    bool GetCoverArtFromFrame(int Index, rtl::TStream& PictureStream, TAPEv2PictureFormat& PictureFormat,
                              String& Description);
    int SaveToStream(rtl::TStream& Stream);
    int SaveToFile(const String& FileName);

    std::vector<std::unique_ptr<TAPEv2Frame>> Frames;
    bool Loaded = false;
    uint32_t Size = 0;
    bool UpperCaseFieldNamesToWrite = true;
};

int StripAPEv2FromFile(const String& FileName);

} // namespace tags
