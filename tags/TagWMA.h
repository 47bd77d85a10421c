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
    bool GetStridable() const;
    bool GetBroadcast() const;
    bool GetIsProtected() const;
    bool GetIsTrusted() const;
    String GetSignatureName() const;
    bool GetHasAudio() const;
    bool GetHasImage() const;
    bool GetHasScript() const;
    bool GetHasVideo() const;
    int64_t GetCurrentBitrate() const;
    int64_t GetOptimalBitrate() const;
    bool GetHasAttachedImages() const;
    bool GetCanSkipBackward() const;
    bool GetCanSkipForward() const;
    bool GetHasArbitraryDataStream() const;
    bool GetHasFileTransferStream() const;
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

// The attribute names: the first 21 are the file's own properties, read-only; the tag front uses the
// others in its name maps. WMAttributeNames lists all 90 in this order.
extern const char16_t* const g_wszWMDuration;
extern const char16_t* const g_wszWMBitrate;
extern const char16_t* const g_wszWMSeekable;
extern const char16_t* const g_wszWMStridable;
extern const char16_t* const g_wszWMBroadcast;
extern const char16_t* const g_wszWMIsProtected;
extern const char16_t* const g_wszWMIsTrusted;
extern const char16_t* const g_wszWMSignatureName;
extern const char16_t* const g_wszWMHasAudio;
extern const char16_t* const g_wszWMHasImage;
extern const char16_t* const g_wszWMHasScript;
extern const char16_t* const g_wszWMHasVideo;
extern const char16_t* const g_wszWMCurrentBitrate;
extern const char16_t* const g_wszWMOptimalBitrate;
extern const char16_t* const g_wszWMHasAttachedImages;
extern const char16_t* const g_wszWMCanSkipBackward;
extern const char16_t* const g_wszWMCanSkipForward;
extern const char16_t* const g_wszWMNumberOfFrames;
extern const char16_t* const g_wszWMHasArbitraryDataStream;
extern const char16_t* const g_wszWMHasFileTransferStream;
extern const char16_t* const g_wszWMContainerFormat;
extern const char16_t* const g_wszWMTitle;
extern const char16_t* const g_wszWMAuthor;
extern const char16_t* const g_wszWMDescription;
extern const char16_t* const g_wszWMCopyright;
extern const char16_t* const g_wszWMAlbumTitle;
extern const char16_t* const g_wszWMTrack;
extern const char16_t* const g_wszWMPromotionURL;
extern const char16_t* const g_wszWMGenre;
extern const char16_t* const g_wszWMYear;
extern const char16_t* const g_wszWMComposer;
extern const char16_t* const g_wszWMLyrics;
extern const char16_t* const g_wszWMTrackNumber;
extern const char16_t* const g_wszWMAlbumArtist;
extern const char16_t* const g_wszWMWriter;
extern const char16_t* const g_wszWMConductor;
extern const char16_t* const g_wszWMProducer;
extern const char16_t* const g_wszWMContentGroupDescription;
extern const char16_t* const g_wszWMSubTitle;
extern const char16_t* const g_wszWMPartOfSet;
extern const char16_t* const g_wszWMPicture;
extern const char16_t* const g_wszWMOriginalLyricist;
extern const char16_t* const g_wszWMOriginalArtist;
extern const char16_t* const g_wszWMOriginalReleaseYear;
extern const char16_t* const g_wszWMOriginalFilename;
extern const char16_t* const g_wszWMPublisher;
extern const char16_t* const g_wszWMEncodedBy;
extern const char16_t* const g_wszWMEncodingSettings;
extern const char16_t* const g_wszWMAuthorURL;
extern const char16_t* const g_wszWMAudioFileURL;
extern const char16_t* const g_wszWMAudioSourceURL;
extern const char16_t* const g_wszWMLanguage;
extern const char16_t* const g_wszWMBeatsPerMinute;
extern const char16_t* const g_wszWMInitialKey;
extern const char16_t* const g_wszWMMood;
extern const char16_t* const g_wszWMModifiedBy;
extern const char16_t* const g_wszWMRadioStationName;
extern const char16_t* const g_wszWMRadioStationOwner;
extern const char16_t* const g_wszWMISRC;
extern const char16_t* const g_wszWMSharedUserRating;
extern const char16_t* const g_wszWMReleaseYear;
extern const char16_t* const g_wszWMStudio;
extern const char16_t* const g_wszWMProduced;
extern const char16_t* const g_wszWMCatalogNo;
extern const char16_t* const g_wszWMSetSubTitle;
extern const char16_t* const g_wszWMPartOfSeries;
extern const char16_t* const g_wszWMMedia;
extern const char16_t* const g_wszWMArranger;
extern const char16_t* const g_wszWMEngineer;
extern const char16_t* const g_wszWMDJMixer;
extern const char16_t* const g_wszWMMixer;
extern const char16_t* const g_wszWMPopularity;
extern const char16_t* const g_wszWMQuality;
extern const char16_t* const g_wszWMSituation;
extern const char16_t* const g_wszWMPreference;
extern const char16_t* const g_wszWMTempo;
extern const char16_t* const g_wszWMArtistSortOrder;
extern const char16_t* const g_wszWMTitleSortOrder;
extern const char16_t* const g_wszWMAlbumArtistSortOrder;
extern const char16_t* const g_wszWMAlbumSortOrder;
extern const char16_t* const g_wszWMOriginalTitle;
extern const char16_t* const g_wszWMBuyCDURL;
extern const char16_t* const g_wszWMPublisherURL;
extern const char16_t* const g_wszWMRadioURL;
extern const char16_t* const g_wszWMCopyrightURL;
extern const char16_t* const g_wszWMPaymentURL;
extern const char16_t* const g_wszWMFileOwner;
extern const char16_t* const g_wszWMPlaycount;
extern const char16_t* const g_wszWMTIPL;
extern const char16_t* const g_wszWMTMCL;
extern const char16_t* const WMAttributeNames[90];

} // namespace tags
