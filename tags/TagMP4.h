// tags/TagMP4.h: the metadata of MP4 files (MP4, M4A, M4B, MOV): the items of moov/udta/meta/ilst with
// their typed data parts, the Xtra attributes beside them, and the audio facts of the tracks. Saving
// rebuilds moov in place inside its old room, or writes the file anew with its chunk offsets corrected.
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

// Data type codes of a data part.
constexpr uint32_t MP4DataInteger = 0;
constexpr uint32_t MP4DataText = 1;
constexpr uint32_t MP4DataJPEG = 13;
constexpr uint32_t MP4DataPNG = 14;
constexpr uint32_t MP4DataBEInteger = 21;

using TAtomName = std::array<uint8_t, 4>;

// The low byte of each of the first four characters; missing ones give zero bytes.
TAtomName AtomNameFromText(const String& Text);
String AtomNameToText(const TAtomName& Name);
bool AtomNameMatchesText(const TAtomName& Name, const char* Text);

enum TMP4AudioFormat { mp4afUnknown, mp4afAAC, mp4afALAC, mpfafAC3 };

class TMP4Tag;
class TMP4Atom;

// The "mean" and "name" parts of a free-form item: four bytes of version and flags, then UTF-8 text.
class TMP4AtomText {
public:
    String GetAsText() const;
    bool SetAsText(const String& Text);
    void Clear() { Data.Clear(); }
    rtl::TMemoryStream Data;
    TMP4Atom* Parent = nullptr;   // declared for callers; nothing here sets it
    mutable bool AlreadyParsed = false;

protected:
    bool WritePart(rtl::TStream& MP4Stream, const char* Type) const;
};
// Write: the part as an atom (size, type, Data); nothing and false when Data is empty or on a failed write.
class TMP4Atommean : public TMP4AtomText {
public:
    bool Write(rtl::TStream& MP4Stream) const { return WritePart(MP4Stream, "mean"); }
};
class TMP4Atomname : public TMP4AtomText {
public:
    bool Write(rtl::TStream& MP4Stream) const { return WritePart(MP4Stream, "name"); }
};

class TMP4AtomData {
public:
    explicit TMP4AtomData(TMP4Atom* AParent) : Parent(AParent) {}

    String GetAsText() const;
    bool GetAsInteger(uint64_t& Value) const;
    uint8_t GetAsInteger8() const;
    uint16_t GetAsInteger16() const;
    uint32_t GetAsInteger32() const;
    bool GetAsInteger48(uint32_t& LowDWord, uint16_t& HighWord, uint64_t& Value) const;
    bool GetAsInteger64(uint32_t& LowDWord, uint32_t& HighDWord, uint64_t& Value) const;
    bool GetAsList(rtl::TStrings& List) const;
    bool SetAsText(const String& Text);
    bool SetAsInteger8(uint8_t Value);
    bool SetAsInteger16(uint16_t Value);
    bool SetAsInteger32(uint32_t Value);
    bool SetAsInteger48(uint32_t LowDWord, uint16_t HighWord);
    bool SetAsInteger64(uint32_t LowDWord, uint32_t HighDWord);
    bool SetAsBool(bool Value) { return SetAsInteger8(Value ? 1 : 0); }
    bool SetAsList(const rtl::TStrings& List);
    void Clear();
    // The "data" atom: size, "data", the type code, the reserved bytes as held, the payload.
    bool Write(rtl::TStream& MP4Stream) const;

    rtl::TMemoryStream Data;
    uint32_t DataType = 0;
    uint32_t Reserved = 0;   // the four bytes after the type code, in stored order
    TMP4Atom* Parent;
    int Index = 0;
    mutable bool AlreadyParsed = false;

private:
    uint64_t ReadBE(int Width) const;
    bool SetBE(uint64_t Value, int Width);
};

class TMP4Atom {
public:
    explicit TMP4Atom(TMP4Tag* AParent) : Parent(AParent) {}

    TMP4AtomData* AddData();
    int Count() const { return int(Datas.size()); }
    void Clear();
    int GetIndex() const;
    String GetAsText() const;
    bool GetAsInteger(uint64_t& Value) const;
    bool GetAsList(rtl::TStrings& List) const;
    uint16_t GetAsInteger16() const;
    bool GetAsInteger48(uint32_t& LowDWord, uint16_t HiWord, uint64_t& Value) const;
    bool SetAsText(const String& Text);
    bool SetAsInteger8(uint8_t Value);
    bool SetAsInteger16(uint16_t Value);
    bool SetAsInteger32(uint32_t Value);
    bool SetAsInteger48(uint32_t LowDWord, uint16_t HiWord);
    bool SetAsInteger64(uint32_t LowDWord, uint32_t HiDWord);
    bool SetAsBool(bool Value);
    bool SetAsList(const rtl::TStrings& List);
    String GetAsCommonText(String& Name, String& Mean) const;
    bool SetAsCommonText(const String& Name, const String& Mean, const String& Value);
    uint32_t CalculateAtomSize() const;
    bool Write(rtl::TStream& Stream) const;
    void Delete();   // removes the item from its tag and frees it

    TAtomName ID{};
    uint32_t Size = 0;
    TMP4Atommean mean;
    TMP4Atomname name;
    std::vector<std::unique_ptr<TMP4AtomData>> Datas;
    uint32_t Flags = 0;
    TMP4Tag* Parent;
    mutable bool AlreadyParsed = false;

private:
    TMP4AtomData& First();
};

// One attribute of the Xtra atom: a name, a type code and the value's bytes.
class TMP4Xtra {
public:
    explicit TMP4Xtra(TMP4Tag* AParent) : Parent(AParent) {}

    String GetAsText() const;
    bool GetAsInteger(int64_t& Value) const;
    bool GetAsGUID(std::array<uint8_t, 16>& Value) const;
    bool GetAsDateTime(rtl::TDateTime& Value) const;
    int GetIndex() const;

    String Name;
    uint16_t PropType = 0;
    rtl::TMemoryStream Data;
    TMP4Tag* Parent;
    mutable bool AlreadyParsed = false;
};

// How the Xtra attributes relate to the items; carried for callers, consulted by nothing here.
enum TMP4XtraUsageConversion { mp4eucNone, mp4eucParse, mp4eucWrite, mp4eucParseAndWrite, mp4eucWriteJustXtra };
enum TMP4XtraPriority { mp4epXtraHasPriority, mp4epCommonHasPriority };

// What each new tag starts with.
extern uint32_t MP4DefaultPaddingToWrite;
extern bool MP4DefaultParseXtra;

class TMP4Tag {
public:
    TMP4Tag();
    ~TMP4Tag();
    TMP4Tag(const TMP4Tag&) = delete;
    TMP4Tag& operator=(const TMP4Tag&) = delete;

    void Clear();
    int LoadFromFile(const String& FileName);
    int LoadFromStream(rtl::TStream& Stream, bool Buffered = true);
    int SaveToStream(rtl::TStream& MP4Stream, bool Buffered, bool KeepPadding, const String& MP4FileName);
    int SaveToFile(const String& MP4FileName, bool KeepPadding, int64_t UseMemoryForTempDataMaxFileSize = 0xFA00000);

    int Count() const { return int(Atoms.size()); }
    TMP4Atom* AddAtom(const TAtomName& AtomName);
    TMP4Atom* AddAtom(const String& AtomName) { return AddAtom(AtomNameFromText(AtomName)); }
    TMP4Atom* FindAtom(const TAtomName& AtomName) const;
    TMP4Atom* FindAtom(const String& AtomName) const { return FindAtom(AtomNameFromText(AtomName)); }
    TMP4Atom* FindAtomCommon(const TAtomName& AtomName, const String& Name, const String& Mean) const;
    TMP4Atom* FindAtomCommon(const String& AtomName, const String& Name, const String& Mean) const
    {
        return FindAtomCommon(AtomNameFromText(AtomName), Name, Mean);
    }
    bool DeleteAtom(int Index);
    bool DeleteAtom(const TAtomName& AtomName);
    bool DeleteAtom(const String& AtomName) { return DeleteAtom(AtomNameFromText(AtomName)); }
    bool DeleteAllAtoms(const TAtomName& AtomName);
    bool DeleteAllAtoms(const String& AtomName) { return DeleteAllAtoms(AtomNameFromText(AtomName)); }
    String GetText(const TAtomName& AtomName) const;
    String GetText(const String& AtomName) const { return GetText(AtomNameFromText(AtomName)); }
    bool GetInteger(const TAtomName& AtomName, uint64_t& Value) const;
    bool GetInteger(const String& AtomName, uint64_t& Value) const { return GetInteger(AtomNameFromText(AtomName), Value); }
    uint16_t GetInteger16(const TAtomName& AtomName) const;
    uint16_t GetInteger16(const String& AtomName) const { return GetInteger16(AtomNameFromText(AtomName)); }
    bool GetInteger48(const TAtomName& AtomName, uint32_t& LowDWord, uint16_t HiWord, uint64_t& Value) const;
    bool GetInteger48(const String& AtomName, uint32_t& LowDWord, uint16_t HiWord, uint64_t& Value) const
    {
        return GetInteger48(AtomNameFromText(AtomName), LowDWord, HiWord, Value);
    }
    bool SetText(const TAtomName& AtomName, const String& Text);
    bool SetText(const String& AtomName, const String& Text) { return SetText(AtomNameFromText(AtomName), Text); }
    bool SetInteger8(const TAtomName& AtomName, uint8_t Value);
    bool SetInteger8(const String& AtomName, uint8_t Value) { return SetInteger8(AtomNameFromText(AtomName), Value); }
    bool SetInteger16(const TAtomName& AtomName, uint16_t Value);
    bool SetInteger16(const String& AtomName, uint16_t Value) { return SetInteger16(AtomNameFromText(AtomName), Value); }
    bool SetInteger32(const TAtomName& AtomName, uint32_t Value);
    bool SetInteger32(const String& AtomName, uint32_t Value) { return SetInteger32(AtomNameFromText(AtomName), Value); }
    bool SetInteger48(const TAtomName& AtomName, uint32_t LowDWord, uint16_t HighWord);
    bool SetInteger48(const String& AtomName, uint32_t LowDWord, uint16_t HighWord)
    {
        return SetInteger48(AtomNameFromText(AtomName), LowDWord, HighWord);
    }
    bool SetInteger64(const TAtomName& AtomName, uint32_t LowDWord, uint32_t HighDWord);
    bool SetInteger64(const String& AtomName, uint32_t LowDWord, uint32_t HighDWord)
    {
        return SetInteger64(AtomNameFromText(AtomName), LowDWord, HighDWord);
    }
    bool SetBool(const TAtomName& AtomName, bool Value);
    bool SetBool(const String& AtomName, bool Value) { return SetBool(AtomNameFromText(AtomName), Value); }
    bool SetMultipleValuesMultipleAtoms(const TAtomName& AtomName, const rtl::TStrings& List);
    bool SetMultipleValuesMultipleAtoms(const String& AtomName, const rtl::TStrings& List)
    {
        return SetMultipleValuesMultipleAtoms(AtomNameFromText(AtomName), List);
    }
    int64_t CalculateSize() const;

    String GetGenre() const;
    bool SetGenre(const String& Genre);
    String GetMediaType() const;
    bool SetMediaType(const String& Media);
    uint16_t GetTrack() const;
    uint16_t GetTotalTracks() const;
    uint16_t GetDisc() const;
    uint16_t GetTotalDiscs() const;
    bool SetTrack(uint16_t Track, uint16_t TotalTracks);
    bool SetDisc(uint16_t Disc, uint16_t TotalDiscs);
    String GetPurchaseCountry() const;
    bool SetPurchaseCountry(const String& Country);

    // Xtra attributes.
    bool LoadXtra(rtl::TStream& Stream, int64_t XtraAtomSize);
    TMP4Xtra* AddXtra(const String& FieldName);
    TMP4Xtra* FindAtomXtra(const String& FieldName) const;
    String GetTextXtra(const String& FieldName) const;
    void ClearXtras() { Xtras.clear(); }
    bool CreateXtraAtomStream(rtl::TMemoryStream& XtraStream) const;

    bool FLoaded = false;
    int64_t FFileSize = 0;
    int64_t FAtommdatPosition = -1;
    int64_t FAtommdatSize = 0;
    double FPlaytime = 0;
    uint16_t FAudioChannelCount = 0;
    uint32_t FAudioResolution = 0;
    uint32_t FAudioSampleRate = 0;
    uint32_t FBitRate = 0;
    int32_t FVideoWidth = 0;
    int32_t FVideoHeight = 0;
    TMP4AudioFormat FAudioFormat = mp4afUnknown;
    int64_t FAtommoovPosition = 0, FAtommoovSize = 0, FAtomudtaPosition = 0, FAtomudtaSize = 0;
    int64_t FAtommetaPosition = 0, FAtommetaSize = 0, FAtomilstPosition = 0, FAtomilstSize = 0;
    String FileName;
    std::vector<std::unique_ptr<TMP4Atom>> Atoms;
    std::vector<std::unique_ptr<TMP4Xtra>> Xtras;
    uint8_t Version = 0;
    uint32_t Flags = 0;
    uint32_t PaddingToWrite = 4096;
    bool ParseXtra = true;
    TMP4XtraUsageConversion XtraUsageConversion = mp4eucParseAndWrite;
    TMP4XtraPriority XtraPriority = mp4epXtraHasPriority;
    bool ParseCoverArts = true;

private:
    int Load(rtl::TStream& S);
    bool ReadAtom(rtl::TStream& S, TMP4Atom& Atom);
    void ReadTrackInfo(rtl::TStream& S);
};

int StripMP4TagsFromFile(const String& FileName, bool KeepPadding, uint32_t PaddingSize);

extern const char* const MP4GenreNames[192];
// The genre's number in MP4GenreNames plus 1 (1 to 192), ignoring case; -1 for any other text.
int GenreNameToIndex(const String& Genre);

} // namespace tags
