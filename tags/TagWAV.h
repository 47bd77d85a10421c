// tags/TagWAV.h: the tags of a RIFF or RF64 WAVE file: the LIST/INFO sub-chunks, the broadcast-wave "bext"
// and the "cart" chunk (each a fixed record kept byte for byte plus a text tail), with the audio facts
// of "fmt " and "data". Saving puts the new tag chunks behind the form header: in the file itself where
// the tag chunks lead the form (the rest of their room a "JUNK" chunk, more room inserted in whole
// blocks of the file system), else by rewriting the file.
#pragma once
#include "tags/AudioInfo.h"

#include "rtl/Streams.h"
#include "rtl/System.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace rtl { class TStrings; }

namespace tags {

using rtl::String;

// Result codes of the WAV unit.
constexpr int WAVTAGLIBRARY_SUCCESS = 0;
constexpr int WAVTAGLIBRARY_ERROR_NO_TAG_FOUND = 1;
constexpr int WAVTAGLIBRARY_ERROR_EMPTY_TAG = 2;
constexpr int WAVTAGLIBRARY_ERROR_EMPTY_FRAMES = 3;
constexpr int WAVTAGLIBRARY_ERROR_OPENING_FILE = 4;
constexpr int WAVTAGLIBRARY_ERROR_READING_FILE = 5;
constexpr int WAVTAGLIBRARY_ERROR_WRITING_FILE = 6;
constexpr int WAVTAGLIBRARY_ERROR_CORRUPT = 7;
constexpr int WAVTAGLIBRARY_ERROR_NOT_SUPPORTED_VERSION = 8;
constexpr int WAVTAGLIBRARY_ERROR_NOT_SUPPORTED_FORMAT = 9;
constexpr int WAVTAGLIBRARY_ERROR_DOESNT_FIT = 10;
constexpr int WAVTAGLIBRARY_ERROR_FILE_NOT_WRITABLE = 11;
constexpr int WAVTAGLIBRARY_ERROR = 0xFFFF;

enum TWAVTagFrameFormat { wtffUnknown, wtffText, wtffBinary };

class TWAVTag;

class TWAVTagFrame {
public:
    explicit TWAVTagFrame(TWAVTag* AParent) : Parent(AParent) {}

    String GetAsText() const;
    bool SetAsText(const String& Text);
    bool GetAsList(rtl::TStrings& List) const;
    bool SetAsList(const rtl::TStrings& List);
    int GetIndex() const;
    int Index() const { return GetIndex(); }

    String Name;   // the four-character sub-chunk ID
    TWAVTagFrameFormat Format = wtffUnknown;
    mutable rtl::TMemoryStream Stream;   // the data as stored, without the pad byte
    TWAVTag* Parent;
};

// Stored text: Windows-1252 when the text survives the round trip, else UTF-8 (cut between characters
// to fit Width bytes when Width >= 0); read back as strict UTF-8, else Windows-1252.
rtl::TBytes TextToFieldBytes(const String& Text, int Width = -1);
String FieldBytesToText(const uint8_t* Data, size_t Size);

// A text field of the record: offset and width in bytes.
#define TW_WAV_TEXT_PROPERTY(Name, Offset, Width)                                                            \
    String Name() const { return ReadTextField(Offset, Width); }                                                 \
    void Set##Name(const String& Value) { WriteTextField(Offset, Width, Value); }
#define TW_WAV_NUMBER_PROPERTY(Type, Name, Offset)                                                           \
    Type Name() const { return Type(ReadNumber(Offset, sizeof(Type))); }                                     \
    void Set##Name(Type Value) { WriteNumber(Offset, sizeof(Type), uint64_t(Value)); }

// A fixed record of Size bytes with a variable tail, as the chunk stores them.
template <size_t Size> class TWAVRecord {
public:
    static constexpr size_t RecordSize = Size;
    void Clear()
    {
        Record.fill(0);
        Tail.clear();
    }
    bool HasContent() const;

    std::array<uint8_t, Size> Record{};
    rtl::TBytes Tail;   // as stored, terminating and pad bytes included
    bool Loaded = false;

protected:
    String ReadTextField(size_t Offset, size_t Width) const;
    void WriteTextField(size_t Offset, size_t Width, const String& Value);
    uint64_t ReadNumber(size_t Offset, size_t Bytes) const;
    void WriteNumber(size_t Offset, size_t Bytes, uint64_t Value);
    String ReadTail() const;
    void WriteTail(const String& Value) { Tail = TextToFieldBytes(Value); }
};

class TBEXT : public TWAVRecord<602> {
public:
    TW_WAV_TEXT_PROPERTY(Description, 0, 256)
    TW_WAV_TEXT_PROPERTY(Originator, 256, 32)
    TW_WAV_TEXT_PROPERTY(OriginatorReference, 288, 32)
    TW_WAV_TEXT_PROPERTY(OriginationDate, 320, 10)
    TW_WAV_TEXT_PROPERTY(OriginationTime, 330, 8)
    TW_WAV_NUMBER_PROPERTY(uint64_t, TimeReference, 338)
    TW_WAV_NUMBER_PROPERTY(uint16_t, Version, 346)
    TW_WAV_NUMBER_PROPERTY(uint16_t, LoudnessValue, 412)
    TW_WAV_NUMBER_PROPERTY(uint16_t, LoudnessRange, 414)
    TW_WAV_NUMBER_PROPERTY(uint16_t, MaxTruePeakLevel, 416)
    TW_WAV_NUMBER_PROPERTY(uint16_t, MaxMomentaryLoudness, 418)
    TW_WAV_NUMBER_PROPERTY(uint16_t, MaxShortTermLoudness, 420)
    TW_WAV_TEXT_PROPERTY(Reserved, 422, 180)
    // 64 bytes as blank-separated hexadecimal pairs; empty while Version is 0.
    String UMID() const;
    void SetUMID(const String& Value);
    String CodingHistory() const { return ReadTail(); }
    void SetCodingHistory(const String& Value) { WriteTail(Value); }
};

struct TCART_TIMER {
    String Usage;
    uint32_t Value = 0;
};

// One post timer as the cart chunk stores it at 684 + 8n: a four-character usage code and a value.
struct TAG_CART_TIMER {
    std::array<uint8_t, 4> Usage{};
    uint32_t Value = 0;
};
using TTAG_CART_TIMERS = std::array<TAG_CART_TIMER, 8>;

class TCART : public TWAVRecord<2048> {
public:
    TW_WAV_TEXT_PROPERTY(Version, 0, 4)
    TW_WAV_TEXT_PROPERTY(Title, 4, 64)
    TW_WAV_TEXT_PROPERTY(Artist, 68, 64)
    TW_WAV_TEXT_PROPERTY(CutID, 132, 64)
    TW_WAV_TEXT_PROPERTY(ClientID, 196, 64)
    TW_WAV_TEXT_PROPERTY(Category, 260, 64)
    TW_WAV_TEXT_PROPERTY(Classification, 324, 64)
    TW_WAV_TEXT_PROPERTY(OutCue, 388, 64)
    TW_WAV_TEXT_PROPERTY(StartDate, 452, 10)
    TW_WAV_TEXT_PROPERTY(StartTime, 462, 8)
    TW_WAV_TEXT_PROPERTY(EndDate, 470, 10)
    TW_WAV_TEXT_PROPERTY(EndTime, 480, 8)
    TW_WAV_TEXT_PROPERTY(ProducerAppID, 488, 64)
    TW_WAV_TEXT_PROPERTY(ProducerAppVersion, 552, 64)
    TW_WAV_TEXT_PROPERTY(UserDef, 616, 64)
    TW_WAV_NUMBER_PROPERTY(uint32_t, LevelReference, 680)
    TW_WAV_TEXT_PROPERTY(Reserved, 748, 276)
    TW_WAV_TEXT_PROPERTY(URL, 1024, 1024)
    String TagText() const { return ReadTail(); }
    void SetTagText(const String& Value) { WriteTail(Value); }

    // A copy of the 8 stored timers; setting replaces all 8.
    TTAG_CART_TIMERS PostTimer() const;
    void SetPostTimer(const TTAG_CART_TIMERS& Timers);

    bool GetPostTimer(int Index, TCART_TIMER& Timer) const;
    bool SetPostTimer(int Index, const TCART_TIMER& Timer);
    bool ClearPostTimer(int Index);
};

#undef TW_WAV_TEXT_PROPERTY
#undef TW_WAV_NUMBER_PROPERTY

class TWAVTag {
public:
    TWAVTag();
    ~TWAVTag();
    TWAVTag(const TWAVTag&) = delete;
    TWAVTag& operator=(const TWAVTag&) = delete;

    void Clear();
    int Count() const { return int(Frames.size()); }
    TWAVTagFrame* AddFrame(const String& Name);
    bool DeleteFrame(int FrameIndex);
    void DeleteAllFrames();
    int AddTextFrame(const String& Name, const String& Text);
    void SetTextFrameText(const String& Name, const String& Text);
    bool DeleteFrameByName(const String& Name);
    void RemoveEmptyFrames();
    int64_t CalculateTotalFramesSize() const;
    bool HaveBEXT() const { return BEXT.HasContent(); }
    bool HaveCART() const { return CART.HasContent(); }
    int64_t CalculateBEXTSize() const;
    int64_t CalculateCARTSize() const;
    int64_t FileSize() const { return FFileSize; }

    int LoadFromFile(const String& AFileName);
    int LoadFromStream(rtl::TStream& TagStream);
    void CreateTagChunks(rtl::TStream& Stream);
    int SaveToFile(const String& AFileName);
    int SaveToStream(rtl::TStream& Stream);

    int64_t FFileSize = 0;
    String FileName;
    bool Loaded = false;
    std::vector<std::unique_ptr<TWAVTagFrame>> Frames;
    TBEXT BEXT;
    TCART CART;
    TWaveFmt Attributes;
    double PlayTime = 0;
    int64_t SampleCount = 0;
    int32_t BitRate = 0;   // kbit/s
    int64_t SampleDataStartPosition = 0;
    int64_t SampleDataSize = 0;
    // The size of the tags as stored: the LIST/INFO, bext and cart chunks found by the last load.
    int64_t Size = 0;

private:
    void ReadWaveAttributes(rtl::TStream& Stream, int64_t Base, bool RF64);
};

int StripWAVTagsFromFile(const String& FileName);

} // namespace tags
