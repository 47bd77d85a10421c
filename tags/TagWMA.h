// tags/TagWMA.h: the attributes of a WMA, WMV or ASF file, read and written through the system's
// metadata editor ("WMVCORE.DLL", loaded at run time); this unit parses nothing of the file itself.
#pragma once
#include "rtl/System.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace rtl { class TStream; class TStrings; }

namespace tags {

using rtl::String;

// Result codes of the WMA unit.
constexpr int WMATAGLIBRARY_SUCCESS = 0;
constexpr int WMATAGLIBRARY_ERROR_FILE_NOT_FOUND = 1;
constexpr int WMATAGLIBRARY_ERROR_WMVCORE_NOT_FOUND = 2;
constexpr int WMATAGLIBRARY_ERROR_EDITOR_FAILED = 3;
constexpr int WMATAGLIBRARY_ERROR_HEADER_INFO_FAILED = 4;
constexpr int WMATAGLIBRARY_ERROR_ATTRIBUTE_COUNT_FAILED = 5;
constexpr int WMATAGLIBRARY_ERROR = 0xFFFF;

enum WMT_ATTR_DATATYPE {
    WMT_TYPE_DWORD = 0, WMT_TYPE_STRING = 1, WMT_TYPE_BINARY = 2, WMT_TYPE_BOOL = 3, WMT_TYPE_QWORD = 4,
    WMT_TYPE_WORD = 5, WMT_TYPE_GUID = 6, WMT_TYPE_UNKNOWN = 7
};

// Whether loading scales "WM/SharedUserRating" from 0..99 to 0..255 (and saving back); copied by
// each new tag.
extern bool WMANormalizeRatingTo255;

class TWMATag;

class TWMATagFrame {
public:
    explicit TWMATagFrame(TWMATag* AParent) : Parent(AParent) {}

    String GetAsText() const;
    bool SetAsText(const String& Text);
    int64_t GetAsInteger() const;
    bool SetAsInteger(int64_t Value, WMT_ATTR_DATATYPE _Format);
    bool GetAsGUID(uint8_t (&Value)[16]) const;
    bool GetAsList(rtl::TStrings& List) const;
    bool SetAsList(const rtl::TStrings& List);

    String Name;
    WMT_ATTR_DATATYPE Format = WMT_TYPE_UNKNOWN;
    std::vector<uint8_t> Stream; // the value bytes, little-endian
    TWMATag* Parent;
    bool AlreadyParsed = false;
};

class TWMATag {
public:
    TWMATag();
    ~TWMATag();
    TWMATag(const TWMATag&) = delete;
    TWMATag& operator=(const TWMATag&) = delete;

    void Clear();
    void DeleteAllFrames();
    int LoadFromFile(const String& _FileName);
    int SaveToFile(const String& _FileName);
    int64_t CalculateTagSize() const;
    int Count() const { return int(Frames.size()); }
    TWMATagFrame* AddFrame(const String& Name);
    bool DeleteFrame(int Index);
    String ReadFrameByNameAsText(const String& Name) const;
    int64_t ReadAsInteger(const String& Name) const;
    bool SetTextFrameText(const String& Name, const String& Text);
    void DeleteAllCoverArts();
    int AddCoverArtFrame(rtl::TStream& PictureStream, const String& MIMEType, uint8_t PictureType,
                         const String& Description);
    bool SetCoverArtFrame(int Index, rtl::TStream* PictureStream, const String& MIMEType, uint8_t PictureType,
                          const String& Description);
    bool GetCoverArtFromFrame(int Index, rtl::TStream& PictureStream, String& MIMEType, uint8_t& PictureType,
                              String& Description);
    bool ValidatePictureFrame(int Index);

    // The file's play time in milliseconds (the editor gives 100-ns units).
    int64_t GetDuration() const;
    int64_t GetNumberOfFrames() const;
    // kbit/s of 1000 bit/s, rounded half to even.
    int GetBitRate() const;
    bool GetSeekable() const;
    bool GetHasAudio() const;
    bool GetHasVideo() const;
    bool GetContainerFormat() const;
    int64_t FileSize() const { return FFileSize; }
    String CodecInfo() const { return FCodecInfo; }
    String CodecDescription() const { return FCodecDescription; }

    std::vector<std::unique_ptr<TWMATagFrame>> Frames;
    String FileName;
    bool Loaded = false;
    bool NormalizeRatingTo255;

private:
    int LoadTags(const String& _FileName);

    int64_t FFileSize = -1;
    String FCodecInfo, FCodecDescription;
};

// The attribute names the name maps use.
extern const char16_t* const g_wszWMAuthor;
extern const char16_t* const g_wszWMTitle;
extern const char16_t* const g_wszWMCopyright;
extern const char16_t* const g_wszWMDescription;
extern const char16_t* const g_wszWMPicture;
extern const char16_t* const g_wszWMSharedUserRating;

} // namespace tags
