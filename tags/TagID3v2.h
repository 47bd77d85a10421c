// tags/TagID3v2.h: an ID3v2.2/2.3/2.4 tag in memory: its header, extended header and frames, how it is
// found and read in MP3, WAV, RF64, AIFF/AIFC, DSF and DSDIFF files, and the accessors that read and
// write the contents of single frames.
#pragma once
#include "rtl/Streams.h"
#include "tags/AudioInfo.h"
#include "tags/ID3v2Base.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace rtl { class TStrings; }

namespace tags {

class TID3v2Tag;

enum TSourceFileType { sftUnknown, sftMPEG, sftWAVE, sftRF64, sftAIFF, sftDSF, sftDFF };

// Result codes of the ID3v2 unit.
constexpr int ID3V2LIBRARY_SUCCESS = 0;
constexpr int ID3V2LIBRARY_ERROR = 0xFFFF;
constexpr int ID3V2LIBRARY_ERROR_NO_TAG_FOUND = 1;
constexpr int ID3V2LIBRARY_ERROR_EMPTY_TAG = 2;
constexpr int ID3V2LIBRARY_ERROR_EMPTY_FRAMES = 3;
constexpr int ID3V2LIBRARY_ERROR_OPENING_FILE = 4;
constexpr int ID3V2LIBRARY_ERROR_READING_FILE = 5;
constexpr int ID3V2LIBRARY_ERROR_WRITING_FILE = 6;
constexpr int ID3V2LIBRARY_ERROR_DOESNT_FIT = 7;
constexpr int ID3V2LIBRARY_ERROR_NOT_SUPPORTED_VERSION = 8;
constexpr int ID3V2LIBRARY_ERROR_NOT_SUPPORTED_FORMAT = 9;   // not a container of the expected kind
constexpr int ID3V2LIBRARY_ERROR_SIZE_LIMIT = 10;            // a 32-bit container size would pass 4 GB
constexpr int ID3V2LIBRARY_ERROR_FILE_IN_USE = 11;           // a rebuild needs the file to itself

// Text encodings, the first byte of most frames (4 is internal: UTF-8 bytes read as ANSI).
enum : uint8_t { ID3V2_TEXT_ISO88591 = 0, ID3V2_TEXT_UTF16 = 1, ID3V2_TEXT_UTF16BE = 2, ID3V2_TEXT_UTF8 = 3,
                 ID3V2_TEXT_ANSI = 4 };
enum TByteOrder : uint8_t { boLittleEndian, boBigEndian };

using TLanguageID = std::array<uint8_t, 3>;

String LanguageIDToString(const TLanguageID& ID);
TLanguageID StringToLanguageID(const String& Text);
inline void ClearLanguageID(TLanguageID& ID) { ID = {' ', ' ', ' '}; }

String DecodeID3v2Genre(const String& Text);

// Reading primitives of frame data.
uint8_t ReadTextEncoding(rtl::TStream& Stream);
TByteOrder ReadUnicodeBOM(rtl::TStream& Stream, TByteOrder Current);
String ReadEncodedString(rtl::TStream& Stream, uint8_t Encoding, TByteOrder* ByteOrder = nullptr,
                         bool* Terminated = nullptr);

enum TID3v2ExtendedHeader4TagSizeRestriction {
    NoMoreThan128FramesAnd1MBTotalTagSize, NoMoreThan64FramesAnd128KBTotalTagSize,
    NoMoreThan32FramesAnd40KBTotalTagSize, NoMoreThan32FramesAnd4KBTotalTagSize
};
enum TID3v2ExtendedHeader4TextEncodingRestriction { NoTextEncodingRestrictions, OnlyEncodedWithISO88591OrUTF8 };
enum TID3v2ExtendedHeader4TextFieldsSizeRestriction {
    NoTextFieldsSizeRestrictions, NoStringIsLongerThan1024Characters, NoStringIsLongerThan128Characters,
    NoStringIsLongerThan30Characters
};
enum TID3v2ExtendedHeader4ImageEncodingRestriction { NoImageEncodingRestrictions, ImagesAreEncodedOnlyWithPNGOrJPEG };
enum TID3v2ExtendedHeader4ImageSizeRestriction {
    NoImageSizeRestrictions, AllImagesAre256x256PixelsOrSmaller, AllImagesAre64x64PixelsOrSmaller,
    AllImagesAreExactly64x64PixelsUnlessRequiredOtherwise
};

class TID3v2ExtendedHeader3 {
public:
    void DecodeExtendedHeaderSize() { Size = DecodeSynchsafe(CodedSize.data()); }
    void DecodeExtendedHeaderFlags() { Flags = SwapWord(Flags); CRCPresent = (Flags & 0x8000) != 0; }

    uint32_t Size = 0;
    std::array<uint8_t, 4> CodedSize{};
    rtl::TMemoryStream Data;   // the raw rest (padding size, CRC)
    uint16_t Flags = 0;        // after the byte swap
    bool CRCPresent = false;
};

class TID3v2ExtendedHeader4 {
public:
    void DecodeExtendedHeaderSize() { Size = DecodeSynchsafe(CodedSize.data()); }
    void DecodeExtendedHeaderFlags();
    void CalculateExtendedFlagsDataSize();
    void DecodeExtendedHeaderFlagData() {}   // restrictions are kept raw, never interpreted

    uint32_t Size = 0;
    std::array<uint8_t, 4> CodedSize{};
    uint8_t FlagBytes = 0;
    uint8_t Flags = 0;
    uint32_t ExtendedFlagsDataSize = 0;
    TBytes ExtendedFlagsData;
    bool TagIsAnUpdate = false;
    bool CRCPresent = false;
    bool TagRestrictions = false;
    TID3v2ExtendedHeader4TagSizeRestriction TagRestrictionsData = NoMoreThan128FramesAnd1MBTotalTagSize;
    TID3v2ExtendedHeader4TextEncodingRestriction TextEncodingRestrictions = NoTextEncodingRestrictions;
    TID3v2ExtendedHeader4TextFieldsSizeRestriction TextFieldsSizeRestriction = NoTextFieldsSizeRestrictions;
    TID3v2ExtendedHeader4ImageEncodingRestriction ImageEncodingRestriction = NoImageEncodingRestrictions;
    TID3v2ExtendedHeader4ImageSizeRestriction ImageSizeRestriction = NoImageSizeRestrictions;
};

class TID3v2Frame {
public:
    explicit TID3v2Frame(TID3v2Tag* _Parent);
    TID3v2Frame(const TID3v2Frame&) = delete;
    TID3v2Frame& operator=(const TID3v2Frame&) = delete;

    int IndexInParent() const;
    bool DeCompress();
    bool RemoveUnsynchronisation();
    void DecodeFlags3();
    void DecodeFlags4();
    void EncodeFlags3();
    void EncodeFlags4();

    bool FWasUnsynchronised = false;
    TFrameID ID{0, 0, 0, 0};
    TID3v2Tag* Parent;
    uint32_t Size = 0;
    uint32_t CodedSize = 0;
    std::unique_ptr<rtl::TMemoryStream> Stream;
    uint16_t Flags = 0;   // status byte high, format byte low
    bool TagAlterPreservation = false;
    bool FileAlterPreservation = false;
    bool ReadOnly = false;
    bool Compressed = false;
    bool Encrypted = false;
    bool GroupingIdentity = false;
    bool Unsynchronised = false;
    bool DataLengthIndicator = false;
    uint8_t GroupIdentifier = 0;
    uint8_t EncryptionMethod = 0;
    uint32_t DataLengthIndicatorValue = 0;
    bool AlreadyParsed = false;
};

class TID3v2Tag {
public:
    TID3v2Tag();
    ~TID3v2Tag();
    TID3v2Tag(const TID3v2Tag&) = delete;
    TID3v2Tag& operator=(const TID3v2Tag&) = delete;

    void Clear();

    // Loading (results: 0 parsed, 1 no tag, 4 cannot open, 8 unsupported version).
    int LoadFromFile(const String& FileName, bool Buffered = true);
    int LoadFromStream(rtl::TStream& Stream, bool Buffered = false);
    int LoadTagFromStream(rtl::TStream& Stream);

    // Writing (results: the ID3V2LIBRARY_* codes). A file is changed in place when the new tag fits the
    // old one, else it is replaced as a whole through a new file beside it: a failure keeps the original.
    int SaveTagToStream(rtl::TStream& Stream, uint32_t PaddingSizeToWrite);
    int SaveToFile(const String& FileName, bool Buffered = true);
    int SaveToStream(rtl::TStream& Stream, bool Buffered = true);
    int64_t CalculateTagSize(int64_t _PaddingSize) const;   // header, written frames and padding
    int64_t CalculateTotalFramesSize() const;                // data of the frames with valid IDs
    uint32_t FullFrameSize(int FrameIndex) const;            // the frame's size field
    // DSF and DSDIFF keep their tag unpadded at a place of their own; these write it there.
    int SaveDSFID3v2Tag(rtl::TStream& Stream, uint32_t TagSize);
    int SaveDFFID3v2Chunk(rtl::TStream& Stream, uint32_t TagSize);

    // The frame list.
    int AddFrame(const TFrameID& FrameID);
    int AddFrame(const String& FrameID);
    bool DeleteFrame(int FrameIndex);
    bool DeleteFrame(const TFrameID& FrameID);
    bool DeleteFrame(const String& FrameID);
    int FrameExists(const TFrameID& FrameID) const;
    int FrameExists(const String& FrameID) const;
    int FrameTypeCount(const TFrameID& FrameID) const;
    int FrameTypeCount(const String& FrameID) const;
    int FrameCount() const { return int(Frames.size()); }
    void DeleteAllFrames();
    void DeleteAllCoverArts();
    bool RemoveUnsynchronisationOnAllFrames();
    bool DeCompressAllFrames();

    // Frame accessors.
    String GetUnicodeText(int FrameIndex, bool ReturnNativeText = false);
    String GetUnicodeText(const String& FrameID, bool ReturnNativeText = false);
    bool SetUnicodeText(int FrameIndex, const String& Text);
    bool SetUnicodeText(const String& FrameID, const String& Text);
    bool GetUnicodeTextMultiple(int FrameIndex, rtl::TStrings& List);
    bool SetUnicodeTextMultiple(int FrameIndex, const rtl::TStrings& List);
    bool SetUnicodeTextMultiple(const String& FrameID, const rtl::TStrings& List);
    String GetUnicodeContent(int FrameIndex, TLanguageID& LanguageID, String& Description);
    bool SetUnicodeContent(int FrameIndex, const String& Content, const TLanguageID& LanguageID,
                           const String& Description);
    bool SetUnicodeContent(const String& FrameID, const String& Content, const TLanguageID& LanguageID,
                           const String& Description);
    bool GetUnicodeCoverPictureStream(int FrameIndex, rtl::TStream& PictureStream, String& MIMEType,
                                      String& Description, int& CoverType);
    bool SetUnicodeCoverPictureFromStream(int FrameIndex, const String& Description,
                                          rtl::TStream& PictureStream, const String& MIMEType, int CoverType);
    String GetUnicodeUserDefinedURLLink(int FrameIndex, String& Description);
    bool SetUnicodeUserDefinedURLLink(int FrameIndex, const String& URL, const String& Description);
    bool SetUnicodeUserDefinedURLLink(const String& FrameID, const String& URL, const String& Description);
    bool SetUnicodeUserDefinedURLLinkByDescription(const String& Description, const String& URL);
    String GetURL(int FrameIndex);
    bool SetURL(int FrameIndex, const String& URL);
    bool SetURL(const String& FrameID, const String& URL);
    uint32_t GetPlayCount(int FrameIndex);
    bool SetPlayCount(int FrameIndex, uint32_t PlayCount);
    bool SetPlayCount(const String& FrameID, uint32_t PlayCount);
    double PlayTime();

    String GetUnicodeUserDefinedTextInformation(int FrameIndex, String& Description);
    bool GetUnicodeUserDefinedTextInformationMultiple(int FrameIndex, String& Description, rtl::TStrings& List);
    bool SetUnicodeUserDefinedTextInformationMultiple(int FrameIndex, const String& Description,
                                                      const rtl::TStrings& List);
    bool SetUnicodeUserDefinedTextInformationMultiple(const String& FrameID, const String& Description,
                                                      const rtl::TStrings& List);
    bool SetUnicodeTXXXByDescriptionMultiple(const String& Description, const rtl::TStrings& List);
    bool GetPopularimeter(int FrameIndex, String& Email, uint8_t& Rating, uint32_t& PlayCounter);
    String GetUnicodeListFrameText(int FrameIndex);
    bool GetUnicodeListFrame(int FrameIndex, rtl::TStrings& List);
    bool SetUnicodeListFrame(int Index, const rtl::TStrings& List);
    bool SetUnicodeListFrame(const String& FrameID, const rtl::TStrings& List);

    // Header flags and sizes.
    void DecodeHeaderFlags();
    uint8_t EncodeHeaderFlags() const;
    void DecodeTagSize() { Size = DecodeSynchsafe(reinterpret_cast<const uint8_t*>(&CodedSize)) + 10; }

    TSourceFileType SourceFileType() const { return FSourceFileType; }
    int64_t Position() const { return FPosition; }
    int64_t FileSize() const { return FFileSize; }
    bool Error() const { return FError; }
    bool WasUnsynchronised() const { return FWasUnsynchronised; }

    uint32_t CodedSize = 0;   // the header's four size bytes as they stand in the file
    String SourceFileName;
    bool Loaded = false;
    uint8_t MajorVersion = 3;
    uint8_t MinorVersion = 0;
    uint8_t Flags = 0;
    bool Unsynchronised = false;
    bool Compressed = false;
    bool ExtendedHeader = false;
    bool Experimental = false;
    bool FooterPresent = false;
    uint32_t Size = 0;        // the whole tag, its 10-byte header included
    std::vector<std::unique_ptr<TID3v2Frame>> Frames;
    std::unique_ptr<TID3v2ExtendedHeader3> ExtendedHeader3;
    std::unique_ptr<TID3v2ExtendedHeader4> ExtendedHeader4;
    uint32_t PaddingSize = 0;
    uint32_t PaddingToWrite = 4096;
    TMPEGHeader MPEGInfo;
    TWaveFmt WAVInfo;
    TAIFFInformation AIFFInfo;
    std::unique_ptr<TDSFInfo> DSFInfo;
    std::unique_ptr<TDFFInfo> DFFInfo;
    int64_t SampleCount = 0;
    int32_t BitRate = 0;
    bool ParseAudioAttributes;
    bool TrimText;
    uint32_t BeginningSearchLength;
    int32_t MPEGSearchLength;
    bool AutoRemoveUnsynchronisation;
    bool ParseCoverArts = true;

private:
    friend class TID3v2Frame;
    bool ReadExtendedHeader(rtl::TStream& Stream);
    bool RemoveExtendedHeaderUnsynchronisation();
    bool ReadFrame(rtl::TStream& Stream);
    void ReadFrameBody(rtl::TStream& Stream, int FrameIndex);
    bool ConvertV22FrameID(int FrameIndex);
    bool ConvertPICToAPIC(int FrameIndex);
    bool FindMPEGFrameSync(rtl::TStream& Stream);
    void LoadWAVInfo(rtl::TStream& Stream);
    bool LoadDSFInfo(rtl::TStream& Stream);
    int LoadFromStreamInner(rtl::TStream& Stream);
    bool WriteFrames(rtl::TStream& Stream);
    bool WritesFrame(int FrameIndex) const;
    rtl::TMemoryStream* FrameData(int FrameIndex) const;   // nullptr outside the list
    int FrameForSetter(const String& FrameID);

public:
    // What all compressed frames of a tag may inflate to together: far above any real tag, and a bound
    // on what a hostile one can make us allocate.
    static constexpr int64_t InflateLimit = int64_t(64) << 20;

private:
    int64_t FInflateBudget = InflateLimit;
    int64_t FPosition = 0;
    TSourceFileType FSourceFileType = sftUnknown;
    double FPlayTime = 0;
    int64_t FFileSize = 0;
    bool FError = false;
    bool FWasUnsynchronised = false;
};

// Unit-wide defaults read by TID3v2Tag's constructor, and the text reader's switch.
extern bool ID3v2ParseAudioAttributesDefault;
extern bool ID3v2TrimTextDefault;
extern uint32_t ID3v2BeginningSearchLengthDefault;
extern int32_t ID3v2MPEGSearchLengthDefault;
extern bool ID3v2AutoRemoveUnsynchronisationDefault;
extern bool ID3v2ISO88591AsANSI;

} // namespace tags
