// tags/TagWMA.h: the attributes of a WMA, WMV or ASF file, as the tag front uses them. Until the ASF
// metadata editor exists, loading and saving answer that the editor component cannot be loaded.
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

class TWMATag;

class TWMATagFrame {
public:
    explicit TWMATagFrame(TWMATag* AParent) : Parent(AParent) {}

    String GetAsText() const;
    bool SetAsText(const String& Text);
    bool GetAsList(rtl::TStrings& List) const;
    bool SetAsList(const rtl::TStrings& List);

    String Name;
    WMT_ATTR_DATATYPE Format = WMT_TYPE_UNKNOWN;
    TWMATag* Parent;
    String FText;
};

class TWMATag {
public:
    TWMATag();
    ~TWMATag();
    TWMATag(const TWMATag&) = delete;
    TWMATag& operator=(const TWMATag&) = delete;

    void Clear();
    int LoadFromFile(const String& FileName);
    int SaveToFile(const String& FileName);
    int64_t CalculateTagSize() const;
    int Count() const { return int(Frames.size()); }
    TWMATagFrame* AddFrame(const String& Name);
    bool DeleteFrame(int Index);
    bool SetTextFrameText(const String& Name, const String& Text);
    void DeleteAllCoverArts();
    int AddCoverArtFrame(rtl::TStream& PictureStream, const String& MIMEType, uint8_t PictureType,
                         const String& Description);
    bool GetCoverArtFromFrame(int Index, rtl::TStream& PictureStream, String& MIMEType, uint8_t& PictureType,
                              String& Description);
    int64_t GetDuration() const;
    int64_t GetNumberOfFrames() const;
    int GetBitRate() const;

    std::vector<std::unique_ptr<TWMATagFrame>> Frames;
    bool Loaded = false;
};

// The attribute names the name maps use.
extern const char16_t* const g_wszWMAuthor;
extern const char16_t* const g_wszWMTitle;
extern const char16_t* const g_wszWMCopyright;
extern const char16_t* const g_wszWMDescription;
extern const char16_t* const g_wszWMPicture;

} // namespace tags
