// tags/TagOggVorbisAndOpus.h: the comment header of an Ogg Vorbis, Opus or Theora stream (vendor string,
// NAME=value comments, METADATA_BLOCK_PICTURE covers) with the stream facts, read and written one Ogg
// page at a time. TOGGStream is the page layer: walking pages, wrapping packets into new pages, predicting
// their size and renumbering the pages that follow a replaced run.
#pragma once
#include "rtl/Streams.h"
#include "rtl/System.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace rtl { class TStrings; }

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

// ---- the page layer ----------------------------------------------------------------------------------

// One page header with room for all its lacing values; 282 bytes in the file layout.
struct TOggHeader {
    static constexpr int HeaderSize = 27;
    static constexpr int RecordSize = 282;

    uint8_t ID[4] = {};
    uint8_t StreamVersion = 0;
    uint8_t TypeFlag = 0;
    int64_t AbsolutePosition = 0;
    int32_t Serial = 0;
    int32_t PageNumber = 0;
    uint32_t Checksum = 0;
    uint8_t Segments = 0;
    uint8_t LacingValues[255] = {};

    // From / into the file layout (27 header bytes, then Segments lacing values).
    void ReadHeader(const uint8_t* Data);
    void WriteHeader(uint8_t* Data) const;
    bool HasCapturePattern() const;
    int64_t DataSize() const;   // the sum of the lacing values
    int64_t PageSize() const { return HeaderSize + Segments + DataSize(); }
};

uint32_t OggCRCUpdate(uint32_t CRC, const void* Data, int64_t Count);
// Page holds one complete page from position 0 and Header is its header with Checksum 0.
bool SetOggPageCRC(rtl::TMemoryStream& Page, const TOggHeader& Header);

class TOGGStream {
public:
    static constexpr int FullPageSegments = 17;
    static constexpr int FullPageData = FullPageSegments * 255;

    explicit TOGGStream(rtl::TStream* SourceStream);

    bool GetNextPage(rtl::TStream& Stream);
    bool GetNextPageData(rtl::TStream& Stream);
    // Stream may be null: the page is skipped.
    bool GetNextPageHeader(TOggHeader& OggHeader, rtl::TStream* Stream);

    // Packets end with a lacing value below 255, so a packet whose size is a multiple of 255 gets a
    // closing 0. SecondPacketOpen: the second packet is only the start of a packet whose rest lies in
    // the pages after the replaced ones, and must stay open into them.
    int32_t CreateTagStream(rtl::TStream& TagStream, rtl::TStream& OutputOGGStream, uint32_t StartPageNumber);
    int32_t CreateTagStreamVorbis(int32_t TagSize, rtl::TStream& TagStream, rtl::TStream& OutputOGGStream,
                                  bool SecondPacketOpen = false);
    int32_t CalculateWrappedStreamSize(int32_t InputDataSize) const;
    int32_t CalculateWrappedStreamSizeVorbis(int32_t TagSize, int32_t InputDataSize, bool SecondPacketOpen = false) const;
    int32_t CalculateWrappedStreamSizeEx(int32_t InputDataSize, int32_t MustFitSize, int32_t& PaddingNeeded) const;

    // Both read pages from Source (the stream this object reads) up to its end and append them to
    // Destination; only the pages of Serial are changed, the others are copied byte for byte.
    // ReNumberPages numbers them consecutively from PageNumberStartsFrom; ReNumberPagesTheora adds
    // PageNumberStartsFrom to their numbers.
    bool ReNumberPages(int64_t PageNumberStartsFrom, rtl::TStream& Source, rtl::TStream& Destination, int32_t Serial);
    bool ReNumberPagesTheora(int64_t PageNumberStartsFrom, rtl::TStream& Source, rtl::TStream& Destination,
                             int32_t Serial);

    // Reads one whole page (header, lacing values, data) at FStream's position into Header, appending
    // the page to Whole and its data to Data (either may be null); a page that is not complete, or
    // does not begin with "OggS", is not consumed and gives false.
    bool ReadPage(TOggHeader& Header, rtl::TStream* Whole, rtl::TStream* Data);

    rtl::TStream* FStream;
    int64_t LastPageQueried = 0;
    TOggHeader FirstOGGHeader;

private:
    bool Renumber(bool Consecutive, int64_t Start, rtl::TStream& Source, rtl::TStream& Destination, int32_t Serial);
};

// ---- the comment header ------------------------------------------------------------------------------

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

// The identification headers, as far as they are read (little-endian in the file).
struct TOpusHeader {   // 19 bytes
    uint8_t ID[8] = {};
    uint8_t BitstreamVersion = 0;
    uint8_t ChannelCount = 0;
    uint16_t PreSkip = 0;
    uint32_t SampleRate = 0;
    int16_t OutputGain = 0;
    uint8_t MappingFamily = 0;
};

struct TVorbisHeader {   // 30 bytes
    uint8_t ID[7] = {};
    uint32_t BitstreamVersion = 0;
    uint8_t ChannelMode = 0;   // the channel count
    int32_t SampleRate = 0;
    int32_t BitRateMaximal = 0;
    int32_t BitRateNominal = 0;   // bit/s
    int32_t BitRateMinimal = 0;
    uint8_t BlockSize = 0;
    uint8_t StopFlag = 0;
};

struct TOpusTags { uint8_t ID[8] = {}; int32_t Fields = 0; };
struct TVorbisTag { uint8_t ID[7] = {}; int32_t Fields = 0; };
struct TTheoraHeader { uint8_t ID[7] = {}; uint8_t HeaderData[35] = {}; };

// Where the comment header lies and what the stream says about itself. Positions are 64-bit, so that
// files over 2 GiB are read and written like small ones.
struct TFileInfo {
    TOggHeader FPage, SPage, LPage;
    TOpusHeader OpusParameters;
    TOpusTags Tag;
    TVorbisHeader VorbisParameters;
    TVorbisTag VorbisTag;
    uint8_t ChannelMapping[8] = {};
    TTheoraHeader TheoraHeader;
    int64_t FileSize = 0;
    int64_t ID3v2Size = 0;
    int64_t SPagePos = 0;    // the first page of the comment header
    int64_t TagEndPos = 0;   // after the last page read for it
    int32_t TagCount = 0;
    int64_t DataPageNumberStartsFrom = 0;
    int64_t HeaderOggPageCount = 0;
    int64_t SampleCount = 0;
    double PlayTime = 0;     // seconds
    int32_t BitRate = 0;     // kbit/s
    // The logical stream of the comment header, its first page's number, and the pages of other
    // streams that lie between its first and last page (kept as they are when the header is rewritten).
    int32_t Serial = 0;
    int32_t CommentPageNumber = 0;
    int64_t CommentPageCount = 0;
    std::vector<std::pair<int64_t, int64_t>> ForeignPages;   // position, size
    bool VorbisDataOpen = false;   // the setup header goes on in the pages after TagEndPos
};

class TOpusTag;

class TOpusTagFrame {
public:
    explicit TOpusTagFrame(TOpusTag* AParent) : Parent(AParent) {}

    String GetAsText() const;
    bool SetAsText(const String& Text);
    bool SetAsList(const rtl::TStrings& List);
    bool GetAsList(rtl::TStrings& List) const;
    bool IsCoverArt() const { return Format == otffCoverArt; }
    int32_t CalculateTotalFrameSize() const;
    int GetIndex() const;
    int Index() const { return GetIndex(); }

    String Name;
    TOpusTagFrameFormat Format = otffUnknown;
    mutable rtl::TMemoryStream Stream;   // the value bytes as stored after the "="
    TOpusTag* Parent;
    mutable bool AlreadyParsed = false;
};

// Copied into every new TOpusTag.
extern bool OggWritePaddingDefault;
extern int32_t OggPaddingSizeToWriteDefault;
extern bool OggUpperCaseFieldNamesToWriteDefault;
extern bool OggParsePlayTimeDefault;
extern bool OggDeepOpusBitRateScanDefault;

class TOpusTag {
public:
    TOpusTag();
    ~TOpusTag();
    TOpusTag(const TOpusTag&) = delete;
    TOpusTag& operator=(const TOpusTag&) = delete;

    void Clear();
    void FillDefault();
    int LoadFromFile(const String& AFileName);
    int LoadFromStream(rtl::TStream& Stream);
    int SaveToFile(const String& AFileName);
    int SaveToStream(rtl::TStream& Stream);

    int Count() const { return int(Frames.size()); }
    TOpusTagFrame* AddFrame(const String& Name);
    bool DeleteFrame(int FrameIndex);
    void DeleteAllFrames();
    void DeleteAllCoverArts();
    int FrameExists(const String& Name) const;
    int AddTextFrame(const String& Name, const String& Text);
    void SetTextFrameText(const String& Name, const String& Text);
    String ReadFrameByNameAsText(const String& Name) const;
    int32_t CalculateTotalFramesSize() const;
    int32_t CalculateTagSize(bool IncludePadding) const;
    int AddCoverArtFrame(rtl::TStream* PictureStream, const TOpusVorbisCoverArtInfo& CoverArtInfo);
    bool SetCoverArtFrame(int Index, rtl::TStream* PictureStream, const TOpusVorbisCoverArtInfo& CoverArtInfo);
    bool GetCoverArtFromFrame(int Index, rtl::TStream& PictureStream, TOpusVorbisCoverArtInfo& CoverArtInfo);
    void BuildTag(rtl::TStream& Stream, int32_t PaddingSize) const;
    bool AdjustPadding(int64_t TagSize);
    int64_t FileSize() const { return FFileSize; }

    int64_t FFileSize = 0;
    String FileName;
    bool Loaded = false;
    std::vector<std::unique_ptr<TOpusTagFrame>> Frames;
    TFileInfo Info;
    String VendorString;
    rtl::TMemoryStream FirstOGGPage;   // the identification packet
    bool WritePadding = OggWritePaddingDefault;
    int32_t PaddingSizeToWrite = OggPaddingSizeToWriteDefault;
    bool UpperCaseFieldNamesToWrite = OggUpperCaseFieldNamesToWriteDefault;
    bool ParsePlayTime = OggParsePlayTimeDefault;
    bool DeepOpusBitRateScan = OggDeepOpusBitRateScanDefault;
    TOggFormat Format = ofUnknown;
    rtl::TMemoryStream VorbisData;   // what follows the comment packet: the setup header, or its start

private:
    bool GetInfo(rtl::TStream& SourceFile);
    bool ReadTag(rtl::TMemoryStream& Buffer, TOGGStream& Pages, rtl::TStream& SourceFile);
    void ReadAudioFacts(rtl::TStream& SourceFile);
    int Save(const String* AFileName, rtl::TStream* Stream);
};

// Pages of a new comment header (and what must follow them) written over the old header's pages.
int WriteTagPages(const String& FileName, TFileInfo& Info, rtl::TMemoryStream& Pages, bool InPlace, TOggFormat Format,
                  rtl::TStream* Stream);
// Removes every comment but ENCODER.
int StripOggTagsFromFile(const String& FileName, int32_t PaddingSize);

} // namespace tags
