// tags/TagMP4.h: the ilst items and the audio information of an MP4 file, as the tag front uses them.
// Until the MP4 reader and writer exist, loading finds no tag and writing is not supported.
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

// Result codes of the MP4 unit.
constexpr int MP4TAGLIBRARY_SUCCESS = 0;
constexpr int MP4TAGLIBRARY_ERROR_NO_TAG_FOUND = 1;
constexpr int MP4TAGLIBRARY_ERROR_EMPTY_TAG = 2;
constexpr int MP4TAGLIBRARY_ERROR_EMPTY_FRAMES = 3;
constexpr int MP4TAGLIBRARY_ERROR_OPENING_FILE = 4;
constexpr int MP4TAGLIBRARY_ERROR_READING_FILE = 5;
constexpr int MP4TAGLIBRARY_ERROR_WRITING_FILE = 6;
constexpr int MP4TAGLIBRARY_ERROR_DOESNT_FIT = 7;
constexpr int MP4TAGLIBRARY_ERROR_NOT_SUPPORTED_VERSION = 8;
constexpr int MP4TAGLIBRARY_ERROR_NOT_SUPPORTED_FORMAT = 9;
constexpr int MP4TAGLIBRARY_ERROR_FILE_NOT_WRITABLE = 10;
constexpr int MP4TAGLIBRARY_ERROR_UPDATE_STCO = 11;
constexpr int MP4TAGLIBRARY_ERROR_UPDATE_CO64 = 12;
constexpr int MP4TAGLIBRARY_ERROR = 0xFFFF;

using TAtomName = std::array<uint8_t, 4>;

class TMP4Tag;
class TMP4Atom;

class TMP4AtomData {
public:
    rtl::TMemoryStream Data;
    uint32_t DataType = 0;
};

class TMP4Atomname {
public:
    String GetAsText() const { return FText; }
    bool SetAsText(const String& Text) { FText = Text; return true; }
    String FText;
};

class TMP4Atommean {
public:
    String GetAsText() const { return FText; }
    bool SetAsText(const String& Text) { FText = Text; return true; }
    String FText;
};

class TMP4Atom {
public:
    explicit TMP4Atom(TMP4Tag* AParent) : Parent(AParent) {}

    String GetAsText() const;
    bool GetAsList(rtl::TStrings& List) const;
    bool SetAsList(const rtl::TStrings& List);
    bool SetAsCommonText(const String& Name, const String& Mean, const String& Value);
    TMP4AtomData* AddData();
    void Delete();   // removes the atom from its tag and frees it

    TAtomName ID{};
    TMP4Atomname name;
    TMP4Atommean mean;
    std::vector<std::unique_ptr<TMP4AtomData>> Datas;
    TMP4Tag* Parent;
};

class TMP4Xtra {
public:
    String Name;
    String Value;
};

class TMP4Tag {
public:
    TMP4Tag();
    ~TMP4Tag();
    TMP4Tag(const TMP4Tag&) = delete;
    TMP4Tag& operator=(const TMP4Tag&) = delete;

    void Clear();
    int LoadFromFile(const String& FileName);
    int64_t CalculateSize() const;
    int Count() const { return int(Atoms.size()); }
    TMP4Atom* FindAtom(const TAtomName& AtomName) const;
    TMP4Atom* FindAtomCommon(const TAtomName& AtomName, const String& Name, const String& Mean) const;
    TMP4Atom* AddAtom(const TAtomName& AtomName);
    bool DeleteAtom(const TAtomName& AtomName);
    bool DeleteAtom(int Index);
    String GetGenre() const;
    String GetMediaType() const;
    uint16_t GetTrack() const;
    uint16_t GetTotalTracks() const;
    uint16_t GetDisc() const;
    uint16_t GetTotalDiscs() const;
    String GetPurchaseCountry() const;
    String GetTextXtra(const String& FieldName) const;
    bool SetText(const TAtomName& AtomName, const String& Text);
    bool SetBool(const TAtomName& AtomName, bool Value);
    bool SetInteger8(const TAtomName& AtomName, uint8_t Value);
    bool SetInteger16(const TAtomName& AtomName, uint16_t Value);
    bool SetInteger32(const TAtomName& AtomName, uint32_t Value);
    bool SetGenre(const String& Genre);
    bool SetMediaType(const String& Media);
    bool SetPurchaseCountry(const String& Country);
    bool SetTrack(uint16_t Track, uint16_t TotalTracks);
    bool SetDisc(uint16_t Disc, uint16_t TotalDiscs);
    bool SetMultipleValuesMultipleAtoms(const TAtomName& AtomName, const rtl::TStrings& List);
    int SaveToStream(rtl::TStream& MP4Stream, bool Buffered, bool KeepPadding, const String& MP4FileName);
    int SaveToFile(const String& MP4FileName, bool KeepPadding, int64_t UseMemoryForTempDataMaxFileSize = 0);

    std::vector<std::unique_ptr<TMP4Atom>> Atoms;
    std::vector<std::unique_ptr<TMP4Xtra>> Xtras;
    bool FLoaded = false;
    uint32_t PaddingToWrite = 4096;
    bool ParseCoverArts = true;
    uint16_t FAudioChannelCount = 0;
    uint32_t FAudioSampleRate = 0;
    uint32_t FAudioResolution = 0;
    double FPlaytime = 0;
    uint32_t FBitRate = 0;
    int64_t FAtommdatSize = 0;
};

// An atom name from its text: each character gives one byte ("©" gives 0xA9).
TAtomName AtomNameFromText(const String& Text);

int StripMP4TagsFromFile(const String& FileName, bool KeepPadding, uint32_t PaddingSize);

} // namespace tags
