// tags/TagWAV.h: the RIFF tag of a WAV or RF64 file (LIST/INFO sub-chunks, the broadcast-wave "bext" and
// the "cart" chunk) with its audio attributes, as the tag front uses it. Until the RIFF reader and
// writer exist, loading finds no tag and writing is not supported.
#pragma once
#include "rtl/System.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace rtl { class TStream; class TStrings; }

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
    bool GetAsList(rtl::TStrings& List) const;
    bool SetAsList(const rtl::TStrings& List);

    String Name;   // the four-character chunk ID
    TWAVTagFrameFormat Format = wtffUnknown;
    TWAVTag* Parent;
    String FText;
};

#define TW_WAV_TEXT_PROPERTY(Name)                                                                           \
    String Name() const { return F##Name; }                                                                  \
    void Set##Name(const String& Value) { F##Name = Value; }
#define TW_WAV_NUMBER_PROPERTY(Type, Name)                                                                   \
    Type Name() const { return F##Name; }                                                                    \
    void Set##Name(Type Value) { F##Name = Value; }

class TBEXT {
public:
    void Clear() { *this = TBEXT(); }

    TW_WAV_TEXT_PROPERTY(Description)
    TW_WAV_TEXT_PROPERTY(Originator)
    TW_WAV_TEXT_PROPERTY(OriginatorReference)
    TW_WAV_TEXT_PROPERTY(OriginationDate)
    TW_WAV_TEXT_PROPERTY(OriginationTime)
    TW_WAV_TEXT_PROPERTY(UMID)
    TW_WAV_TEXT_PROPERTY(CodingHistory)
    TW_WAV_NUMBER_PROPERTY(uint64_t, TimeReference)
    TW_WAV_NUMBER_PROPERTY(uint16_t, Version)
    TW_WAV_NUMBER_PROPERTY(uint16_t, LoudnessValue)
    TW_WAV_NUMBER_PROPERTY(uint16_t, LoudnessRange)
    TW_WAV_NUMBER_PROPERTY(uint16_t, MaxTruePeakLevel)
    TW_WAV_NUMBER_PROPERTY(uint16_t, MaxMomentaryLoudness)
    TW_WAV_NUMBER_PROPERTY(uint16_t, MaxShortTermLoudness)

    bool Loaded = false;

private:
    String FDescription, FOriginator, FOriginatorReference, FOriginationDate, FOriginationTime, FUMID, FCodingHistory;
    uint64_t FTimeReference = 0;
    uint16_t FVersion = 0, FLoudnessValue = 0, FLoudnessRange = 0, FMaxTruePeakLevel = 0, FMaxMomentaryLoudness = 0,
             FMaxShortTermLoudness = 0;
};

struct TCART_TIMER {
    String Usage;
    uint32_t Value = 0;
};

class TCART {
public:
    void Clear() { *this = TCART(); }

    TW_WAV_TEXT_PROPERTY(Version)
    TW_WAV_TEXT_PROPERTY(Title)
    TW_WAV_TEXT_PROPERTY(Artist)
    TW_WAV_TEXT_PROPERTY(CutID)
    TW_WAV_TEXT_PROPERTY(ClientID)
    TW_WAV_TEXT_PROPERTY(Category)
    TW_WAV_TEXT_PROPERTY(Classification)
    TW_WAV_TEXT_PROPERTY(OutCue)
    TW_WAV_TEXT_PROPERTY(StartDate)
    TW_WAV_TEXT_PROPERTY(StartTime)
    TW_WAV_TEXT_PROPERTY(EndDate)
    TW_WAV_TEXT_PROPERTY(EndTime)
    TW_WAV_TEXT_PROPERTY(ProducerAppID)
    TW_WAV_TEXT_PROPERTY(ProducerAppVersion)
    TW_WAV_TEXT_PROPERTY(UserDef)
    TW_WAV_TEXT_PROPERTY(URL)
    TW_WAV_TEXT_PROPERTY(Reserved)
    TW_WAV_TEXT_PROPERTY(TagText)
    TW_WAV_NUMBER_PROPERTY(uint32_t, LevelReference)

    bool GetPostTimer(int Index, TCART_TIMER& Timer) const;
    bool SetPostTimer(int Index, const TCART_TIMER& Timer);
    void ClearPostTimer(int Index);

    bool Loaded = false;

private:
    String FVersion, FTitle, FArtist, FCutID, FClientID, FCategory, FClassification, FOutCue, FStartDate, FStartTime,
        FEndDate, FEndTime, FProducerAppID, FProducerAppVersion, FUserDef, FURL, FReserved, FTagText;
    uint32_t FLevelReference = 0;
    std::array<TCART_TIMER, 8> FPostTimers{};
};

#undef TW_WAV_TEXT_PROPERTY
#undef TW_WAV_NUMBER_PROPERTY

struct TWAVAttributes {
    uint16_t Channels = 0;
    uint32_t SamplesPerSec = 0;
    uint16_t BitsPerSample = 0;
};

class TWAVTag {
public:
    TWAVTag();
    ~TWAVTag();
    TWAVTag(const TWAVTag&) = delete;
    TWAVTag& operator=(const TWAVTag&) = delete;

    void Clear();
    int LoadFromFile(const String& FileName);
    int Count() const { return int(Frames.size()); }
    TWAVTagFrame* AddFrame(const String& Name);
    void DeleteFrameByName(const String& Name);
    bool SetTextFrameText(const String& Name, const String& Text);
    int SaveToStream(rtl::TStream& Stream);
    int SaveToFile(const String& FileName);

    std::vector<std::unique_ptr<TWAVTagFrame>> Frames;
    bool Loaded = false;
    uint32_t Size = 0;
    TBEXT BEXT;
    TCART CART;
    TWAVAttributes Attributes;
    double PlayTime = 0;
    int64_t SampleCount = 0;
    uint32_t BitRate = 0;
};

int StripWAVTagsFromFile(const String& FileName);

} // namespace tags
