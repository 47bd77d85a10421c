// tags/Tags.h: the tag front. One TTags owns an object of every tag format and a format-independent view
// of the same tags: name-value entries (TTag) and pictures (TCoverArt). It loads every format of a file
// and merges them by priority, writes the entries back in the formats that suit a file, and strips tags.
#pragma once
#include "rtl/Classes.h"
#include "rtl/Streams.h"
#include "rtl/System.h"

#include <QStringList>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace tags {

using rtl::String;

class TAPEv2Tag;
class TFlacTag;
class TID3v1Tag;
class TID3v2Tag;
class TMP4Tag;
class TOpusTag;
class TWAVTag;
class TWMATag;
class TWAVPackfile;
class TMPEGplus;
class TTags;

enum TTagType {
    ttNone, ttAutomatic, ttAPEv2, ttFlac, ttID3v1, ttID3v2, ttMP4, ttOpusVorbis, ttWAV, ttWMA, ttMP4Xtra
};
enum TTagPictureFormat { tpfUnknown, tpfJPEG, tpfPNG, tpfBMP, tpfGIF, tpfTIFF };
enum TExtTagType { ettUnknown, ettTXXX, ettWXXX };

using TTagPriority = std::array<TTagType, 9>;   // index 0 is the highest priority
using TTagTypes = uint16_t;                     // a set of TTagType: bit (1 << ordinal) per member

constexpr TTagTypes TagTypeBit(TTagType Type) { return TTagTypes(1u << Type); }

// Common result codes of LoadFromFile, SaveToFile and StripTagsFromFile.
constexpr int trcSuccess = 0;
constexpr int trcNoTagFound = 1;
constexpr int trcFileNotFound = 2;
constexpr int trcEmptyTag = 3;
constexpr int trcEmptyFrames = 4;
constexpr int trcOpeningFile = 5;
constexpr int trcReadingFile = 6;
constexpr int trcWritingFile = 7;
constexpr int trcCorrupt = 8;
constexpr int trcNotSupportedVersion = 9;
constexpr int trcNotSupportedFormat = 10;
constexpr int trcSizeOverflow = 13;
constexpr int trcFileNotWritable = 14;
constexpr int trcWMVCoreNotFound = 15;
constexpr int trcWMEditorFailed = 16;
constexpr int trcWMHeaderInfoFailed = 17;
constexpr int trcWMAttributeFailed = 18;
constexpr int trcMP4ChunkOffsetStco = 19;
constexpr int trcMP4ChunkOffsetCo64 = 20;
constexpr int trcUnknownError = 0xFFFF;

// Unit results to common codes; anything without a mapping gives trcUnknownError.
int MapAPEv2Result(int Result);
int MapFlacResult(int Result);
int MapID3v1Result(int Result);
int MapID3v2Result(int Result);
int MapMP4Result(int Result);
int MapOggResult(int Result);
int MapWAVResult(int Result);
int MapWMAResult(int Result);

// Common field names and the identifiers of the formats that name their items otherwise. Read maps
// compare exactly; write maps accept any ASCII letter case. Unknown input gives "".
String ID3v2FrameToTagName(const String& FrameID);
String TagNameToID3v2Frame(const String& Name);
String MP4AtomToTagName(const String& AtomName);
String TagNameToMP4Atom(const String& Name);
String RIFFInfoToTagName(const String& ChunkID);
String TagNameToRIFFInfo(const String& Name);
String WMAAttributeToTagName(const String& AttributeName);
String TagNameToWMAAttribute(const String& Name);
String ID3v2FrameIDToTagName(uint32_t FrameID);   // lowest byte is the first character
String MP4AtomIDToTagName(uint32_t AtomID);
// Every attribute name the WMA column of the maps holds, in either direction (for checks).
QStringList WMAAttributesOfNameMaps();

// Container sniffing: 0 unknown, 1 Monkey's Audio, 2 FLAC, 3 Ogg FLAC, 4 MPEG audio, 5 MP4, 6 Ogg Opus,
// 7 Ogg Vorbis, 8 Ogg Theora, 9 RIFF WAVE, 10 RF64, 11 AIFF, 12 AIFF-C, 13 DSDIFF, 14 DSF, 15 OptimFROG,
// 16 Musepack, 17 WavPack.
int SniffAudioFileFormat(const String& FileName);
int SniffAudioFormat(rtl::TStream& Stream);
TTagTypes TagTypesForExtension(const String& FileName);
// A raw AC-3 or E-AC-3 stream (by its extension or its sync word): no tag can be appended to one
// without its last frame being lost to decoders.
bool IsRawAC3File(const String& FileName);

// Removes tags of one format, or of every format with ttAutomatic; a common result code.
int StripTagsFromFile(const String& FileName, TTagType TagType);

bool RestoreFileDate(const String& FileName, rtl::TDateTime Date);

// Whether two names stand for the same file: the same device and inode, or, when one of them does not
// exist yet, the same canonical path.
bool SameFile(const String& FileName1, const String& FileName2);

class TTag {
public:
    explicit TTag(TTags* AParent) : Parent(AParent) {}

    int GetIndex() const;
    int Index() const { return GetIndex(); }
    void Remove();   // frees this entry

    String Name;
    String Value;
    String Language;
    String Description;
    TExtTagType ExtTagType = ettUnknown;
    TTags* Parent;
    bool AlreadyParsed = false;
};

class TCoverArt {
public:
    explicit TCoverArt(TTags* AParent);
    ~TCoverArt();

    int GetIndex() const;
    int Index() const { return GetIndex(); }

    String Name;
    std::unique_ptr<rtl::TMemoryStream> Stream;
    String Description;
    uint32_t CoverType = 0;
    String MIMEType;
    TTagPictureFormat PictureFormat = tpfUnknown;
    uint32_t Width = 0;
    uint32_t Height = 0;
    uint32_t ColorDepth = 0;
    uint32_t NoOfColors = 0;
    TTags* Parent;
    bool AlreadyParsed = false;
};

class TSourceAudioAttributes {
public:
    explicit TSourceAudioAttributes(TTags* AParent);
    ~TSourceAudioAttributes();

    uint16_t Channels() const { return GetChannels(); }
    uint32_t SamplesPerSec() const { return GetSamplesPerSec(); }
    uint16_t BitsPerSample() const { return GetBitsPerSample(); }
    double PlayTime() const { return GetPlayTime(); }
    int64_t SampleCount() const { return GetSampleCount(); }
    int32_t BitRate() const { return GetBitRate(); }

    uint16_t GetChannels() const;
    uint32_t GetSamplesPerSec() const;
    uint16_t GetBitsPerSample() const;
    double GetPlayTime() const;
    int64_t GetSampleCount() const;
    int32_t GetBitRate() const;

    std::unique_ptr<TWAVPackfile> WAVPackAttributes;
    std::unique_ptr<TMPEGplus> MusePackAttributes;
    TTags* Parent;
};

class TTags {
public:
    TTags();
    ~TTags();
    TTags(const TTags&) = delete;
    TTags& operator=(const TTags&) = delete;

    TTag* Add(const String& Name);
    TCoverArt* AddCoverArt(const String& Name);
    int Count() const { return int(Tags.size()); }
    int CoverArtCount() const { return int(CoverArts.size()); }
    int Exists(const String& Name) const;
    int TypeCount(const String& Name) const;
    String GetTag(const String& Name) const;
    int SetTag(const String& Name, const String& Text);
    bool Remove(int Index);
    bool Delete(int Index);
    void DeleteAllTags();
    void DeleteAllCoverArts();
    void Clear();
    bool ItemAlreadyOnList(const rtl::TStrings& List, const String& Item) const;
    void GetMultipleList(const String& Name, rtl::TStrings& List) const;
    static TTagPictureFormat PictureStreamType(rtl::TStream* PictureStream);
    int64_t Size() const;

    int LoadFromFile(const String& FileName);
    void LoadTags();
    int SaveToFile(const String& FileName, TTagType TagType);

    // Converters from the format objects into entries.
    void LoadAPEv2Tags();
    void LoadFlacTags();
    void LoadID3v1Tags();
    void LoadID3v2Tags();
    void LoadMP4Tags();
    void LoadOggVorbisAndOpusTags();
    void LoadWAVTags();
    void LoadWMATags();

    // Writers from the entries into the format objects and the file; unit result numbers.
    int SaveAPEv2Tag(const String& FileName, rtl::TStream* Stream = nullptr);
    int SaveFlacTag(const String& FileName, bool Buffered = true, rtl::TStream* Stream = nullptr);
    int SaveID3v1Tag(const String& FileName, rtl::TStream* Stream = nullptr);
    int SaveID3v2Tag(const String& FileName, bool Buffered = true, rtl::TStream* Stream = nullptr);
    int SaveMP4Tag(const String& FileName, bool Buffered = true, rtl::TStream* Stream = nullptr);
    int SaveOggVorbisAndOpusTag(const String& FileName, rtl::TStream* Stream = nullptr);
    int SaveWAVTag(const String& FileName, rtl::TStream* Stream = nullptr);
    int SaveWMATag(const String& FileName);

    static bool ClearAllID3v2FramesByID(TID3v2Tag& ID3v2Tag, const String& FrameID);
    static bool ClearAllID3v2FramesTXXXByDescription(TID3v2Tag& ID3v2Tag, const String& Description);

    String FileName;
    bool Loaded = false;
    TTagPriority TagLoadPriority{};
    std::unique_ptr<TAPEv2Tag> APEv2Tag;
    std::unique_ptr<TFlacTag> FlacTag;
    std::unique_ptr<TID3v1Tag> ID3v1Tag;
    std::unique_ptr<TID3v2Tag> ID3v2Tag;
    std::unique_ptr<TMP4Tag> MP4Tag;
    std::unique_ptr<TOpusTag> OggVorbisAndOpusTag;
    std::unique_ptr<TWAVTag> WAVTag;
    std::unique_ptr<TWMATag> WMATag;
    std::vector<std::unique_ptr<TTag>> Tags;
    std::vector<std::unique_ptr<TCoverArt>> CoverArts;
    std::unique_ptr<TSourceAudioAttributes> SourceAudioAttributes;
    bool UpperCaseFieldNamesToWrite = true;
    bool MP4KeepPadding = true;
    bool ParseWavPackAudioAttributes = false;
    bool ParseMusePackAudioAttributes = false;
    bool ParseAudioAttributes = true;
    bool ParseCoverArts = true;
    std::unique_ptr<rtl::TObject> User1;
    std::unique_ptr<rtl::TObject> User2;
    bool PreserveFileDate = false;

private:
    bool ReusePictureFrames(TID3v2Tag& Tag) const;
    void RemoveByName(const String& Name);
    void SetSplitNumber(const String& NumberName, const String& TotalName, const String& Text);
    // The conversion that the name-keyed formats share (tags/TagsConvert.h): the entries that a text
    // item gives, and the items that the entries give.
    template <class TItem> void AddEntriesOfItem(TItem& Item);
    template <class TTagObject, class TAddItem> void WriteEntriesAsItems(TTagObject& Tag, TAddItem AddItem);
};

// The name rule of the front: both empty, or equal with ASCII letters folded.
bool SameTagName(const String& A, const String& B);

// Unit-wide defaults that every new TTags copies.
extern const TTagPriority TagLoadPriorityDefault;

} // namespace tags
