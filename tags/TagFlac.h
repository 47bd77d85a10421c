// tags/TagFlac.h: the metadata of a native FLAC file: the stream information, the Vorbis comments, the
// PICTURE blocks and every other metadata block kept byte for byte, written back in place inside the old
// comment block and its padding or by writing the whole file anew. Ogg FLAC shares the class.
#pragma once
#include "rtl/Streams.h"
#include "rtl/System.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace rtl { class TStrings; }

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

// Metadata block types.
constexpr int FlacBlockStreamInfo = 0;
constexpr int FlacBlockPadding = 1;
constexpr int FlacBlockApplication = 2;
constexpr int FlacBlockSeekTable = 3;
constexpr int FlacBlockVorbisComment = 4;
constexpr int FlacBlockCueSheet = 5;
constexpr int FlacBlockPicture = 6;
// A block body's length is a 24-bit field.
constexpr int64_t FlacMaxBlockLength = (int64_t(1) << 24) - 1;

extern const char* const FlacDefaultVendor;

enum TVorbisCommentFormat { vcfUnknown, vcfText, vcfBinary };
enum TFlacStreamType { fstUnknown, fstNativeFlac, fstOggFlac };

class TFlacTag;
struct TFlacOpenFile;

class TVorbisComment {
public:
    explicit TVorbisComment(TFlacTag* AParent) : Parent(AParent) {}

    // The value with control characters other than CR and LF as blanks; empty unless it is text.
    String GetAsText() const;
    // Name and value lines, each ended by CR LF, as name=value lines.
    bool GetAsList(rtl::TStrings& List);
    // An empty text deletes the comment from its parent, which frees it.
    bool SetAsText(const String& Text);
    bool SetAsList(const rtl::TStrings& List);
    bool Delete();
    int Index() const;

    String Name;
    TVorbisCommentFormat Format = vcfUnknown;
    rtl::TMemoryStream Stream;   // the value's UTF-8 bytes
    TFlacTag* Parent;
    mutable bool AlreadyParsed = false;
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

// One kept metadata block: its header as read and its body.
struct TMetaData {
    std::array<uint8_t, 4> MetaDataBlockHeader{};
    rtl::TBytes Data;
    int BlockType = 0;
    TFlacTagCoverArtInfo CoverArtInfo;   // picture blocks only
};

// The Ogg FLAC mapping packet: 0x7F "FLAC", version, packet count, then the 42 bytes below.
constexpr int OggFlacMappingSize = 51;
// "fLaC", the STREAMINFO block header and its 34 bytes.
using TFlacHeader = std::array<uint8_t, 42>;

// Parses a PICTURE block body; false when a length inside runs past the body. PictureData points into Body.
bool ParseFlacPicture(const rtl::TBytes& Body, TFlacTagCoverArtInfo& Info);
// A PICTURE block body from the record's fields and the picture bytes.
rtl::TBytes BuildFlacPicture(const TFlacTagCoverArtInfo& Info, const uint8_t* Picture, size_t Size);

class TFlacTag {
public:
    TFlacTag();
    ~TFlacTag();
    TFlacTag(const TFlacTag&) = delete;
    TFlacTag& operator=(const TFlacTag&) = delete;

    void ResetData(bool ClearStreamInfo, bool ClearTags);
    void Clear();
    int LoadFromFile(const String& FileName, bool Buffered = true);
    int LoadFromStream(rtl::TStream& Stream, bool Buffered = true);
    int SaveToFile(const String& FileName, bool Buffered = true);
    int SaveToStream(rtl::TStream& Stream, bool Buffered = true);

    int Count() const { return int(Tags.size()); }
    TVorbisComment* AddTag(const String& Name);
    bool DeleteFrame(int FrameIndex);
    void DeleteAllFrames();

    int CoverArtCount() const { return int(MetaBlocksCoverArts.size()); }
    int AddMetaDataCoverArt(rtl::TStream* Stream, int64_t Blocklength);
    int AddMetaDataOther(const std::array<uint8_t, 4>& Header, rtl::TStream* Stream, int64_t Blocklength, int BlockType);
    bool GetCoverArt(int Index, rtl::TStream& PictureStream, TFlacTagCoverArtInfo& Info);
    bool GetCoverArtInfoPointer(int Index, TFlacTagCoverArtInfo& Info) const;
    bool SetCoverArt(int Index, rtl::TStream& PictureStream, const TFlacTagCoverArtInfo& Info);
    bool DeleteCoverArt(int Index);
    void DeleteAllCoverArts();

    int64_t CalculateVorbisCommentsSize();
    int64_t CalculateMetaBlocksSize(bool IncludePadding) const;
    int64_t CalculateTagSize(bool IncludePadding);

    bool GetValid() const;
    double GetPlaytime() const;
    double GetRatio() const;
    String GetChannelMode() const;

    // Stream facts and the places found by the last read.
    TFlacHeader FHeader{};
    rtl::TBytes FOggFlacHeader;   // Ogg FLAC: the 51-byte mapping packet of the first page
    int FPaddingIndex = 0;
    bool FPaddingLast = false;
    bool FPaddingFragments = false;
    int FVorbisIndex = 0;
    int64_t FPadding = 0;
    int64_t FVCOffset = 0;
    int64_t FAudioOffset = 0;
    int64_t FAudioSize = 0;
    uint8_t FChannels = 0;
    uint32_t FSampleRate = 0;
    uint8_t FBitsPerSample = 0;
    uint32_t FBitrate = 0;
    int64_t FFileSize = 0;
    int64_t FSamples = 0;
    int64_t FTagSize = 0;
    int64_t FMetaBlocksSize = 0;
    // Where the blocks after STREAMINFO start (after a leading ID3v2 tag); in Ogg FLAC, the first page's end.
    int64_t FStreamInfoEnd = 0;
    bool FExists = false;

    String FileName;
    std::vector<std::unique_ptr<TVorbisComment>> Tags;
    String VendorString;
    bool Loaded = false;
    std::vector<TMetaData> MetaBlocksCoverArts;
    std::vector<TMetaData> aMetaBlockOther;
    bool PreserveDate = false;
    uint32_t PaddingSizeToWrite = 4092;
    bool UpperCaseFieldNamesToWrite = true;
    bool ForceReWrite = false;
    TFlacStreamType StreamType = fstUnknown;

    // The comment block body as it is written now.
    rtl::TBytes BuildVorbisCommentBlock();

private:
    int ReadMetaBlocks(rtl::TStream& Stream, bool Buffered, bool LoadContents);
    int ReadBlocks(rtl::TStream& Stream, bool LoadContents);
    int ReadOggBlocks(rtl::TStream& Stream, int64_t OggStart, bool LoadContents);
    void ReadStreamFacts();
    void SetBitrate();
    // The blocks after STREAMINFO up to the one with the last flag; false at a reserved block type.
    bool WalkBlocks(rtl::TStream& Stream, bool LoadContents);
    void ReadVorbisComments(rtl::TStream& Stream, int64_t Length, bool LoadContents);
    int Save(const String& FileName, rtl::TStream* Target, bool Buffered);
    // 0 when the blocks can be stored and the file can be written, else the code that says why not.
    int CheckWritable(const String& FileName, rtl::TStream* Target, const rtl::TBytes& Comments,
                      const TFlacOpenFile* Held) const;
    // Held: the file as Save opened it; in place, a handle open for writing is written through.
    int WriteNativeFlac(const String& FileName, rtl::TStream* Target, const rtl::TBytes& Comments, TFlacOpenFile& Held);
    int WriteOggFlac(const String& FileName, rtl::TStream* Target, const rtl::TBytes& Comments);
};

int StripFlacTagsFromFile(const String& FileName, uint32_t PaddingSize);

// Reads up to Count bytes into a zeroed buffer, so a short read leaves zeros behind.
int64_t ReadZeroFilled(rtl::TStream& Stream, void* Buffer, int64_t Count);
// The size of an ID3v2 tag at the start of the stream, header included; 0 without one.
uint32_t LeadingID3v2Size(rtl::TStream& Stream);

} // namespace tags
