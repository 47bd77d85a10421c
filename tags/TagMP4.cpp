// tags/TagMP4.cpp: MP4 items and their typed values, the Xtra attributes, and reading an MP4 file.
#include "tags/TagMP4.h"
#include "tags/TagMP4Atoms.h"

#include "tags/BufferedStream.h"
#include "tags/TagValues.h"

#include "rtl/Classes.h"
#include "rtl/Encoding.h"
#include "rtl/Files.h"
#include "rtl/DateUtils.h"
#include "rtl/SysUtils.h"

#include <QDateTime>
#include <QTimeZone>

#include <cmath>
#include <cstring>

using namespace Qt::Literals::StringLiterals;

namespace tags {

// ---------------------------------------------------------------------------------------------
// Names and atom headers

TAtomName AtomNameFromText(const String& Text)
{
    TAtomName name{};
    for (int i = 0; i < 4 && i < Text.size(); ++i) name[size_t(i)] = uint8_t(Text[i].unicode() & 0xFF);
    return name;
}

String AtomNameToText(const TAtomName& Name)
{
    String text;
    for (uint8_t b : Name) text += QChar(b);
    return text;
}

bool AtomNameMatchesText(const TAtomName& Name, const char* Text) { return std::memcmp(Name.data(), Text, 4) == 0; }

namespace mp4 {

uint32_t BE32(const uint8_t* P) { return uint32_t(P[0]) << 24 | uint32_t(P[1]) << 16 | uint32_t(P[2]) << 8 | P[3]; }
uint64_t BE64(const uint8_t* P) { return uint64_t(BE32(P)) << 32 | BE32(P + 4); }

int64_t ReadZeroFilled(rtl::TStream& S, void* Buffer, int64_t Count)
{
    std::memset(Buffer, 0, size_t(Count));
    return S.Read(Buffer, Count);
}

uint32_t ReadBE32(rtl::TStream& S)
{
    uint8_t b[4];
    ReadZeroFilled(S, b, 4);
    return BE32(b);
}

[[noreturn]] void Corrupt(const TAtomName& Type)
{
    throw rtl::Exception(u"Corrupted MP4 file. Atom name: "_s + AtomNameToText(Type));
}

bool ReadAtomHeader(rtl::TStream& S, TAtomHeader& H, bool Check)
{
    const int64_t size = S.Size();
    if (S.Position() >= size) return false;
    H = TAtomHeader();
    H.Offset = S.Position();
    uint8_t b[8];
    ReadZeroFilled(S, b, 8);
    std::memcpy(H.Type.data(), b + 4, 4);
    H.Size = BE32(b);
    if (H.Size == 1) {
        uint8_t e[8];
        ReadZeroFilled(S, e, 8);
        H.Size = BE64(e);
        H.HeaderLength = 16;
    }
    if (Check && (H.Size < uint64_t(H.HeaderLength) || H.Size > uint64_t(size - H.Offset))) Corrupt(H.Type);
    return true;
}

void SkipBody(rtl::TStream& S, const TAtomHeader& H)
{
    // An unchecked size past the stream lands at its end.
    const uint64_t end = uint64_t(H.Offset) + H.Size;
    S.SetPosition(end > uint64_t(S.Size()) ? S.Size() : int64_t(end));
}

int64_t End(const TAtomHeader& H) { return H.Offset + int64_t(H.Size); }

// The offset and size of the first top-level "mdat", or -1 and 0; the stream position is kept.
std::pair<int64_t, int64_t> FindMdatAtom(rtl::TStream& S)
{
    const int64_t keep = S.Position();
    std::pair<int64_t, int64_t> found(-1, 0);
    try {
        S.SetPosition(0);
        TAtomHeader h;
        for (int n = 0; n < 101 && ReadAtomHeader(S, h, false); ++n) {
            if (h.Size == 0 || h.Type == TAtomName{}) break;
            if (AtomNameMatchesText(h.Type, "mdat")) {
                found = {h.Offset, int64_t(h.Size)};
                break;
            }
            SkipBody(S, h);
        }
    } catch (const std::exception&) {
        found = {-1, 0};
    }
    S.SetPosition(keep);
    return found;
}

} // namespace mp4

using namespace mp4;

// ---------------------------------------------------------------------------------------------
// mean and name parts

String TMP4AtomText::GetAsText() const
{
    AlreadyParsed = true;
    if (SizeOf(Data) <= 3) return String();
    return rtl::TEncoding::UTF8()->GetString(Bytes(Data) + 4, size_t(SizeOf(Data) - 4));
}

bool TMP4AtomText::SetAsText(const String& Text)
{
    rtl::TBytes value;
    if (!Text.isEmpty()) {
        value.assign(4, 0);
        const rtl::TBytes text = rtl::TEncoding::UTF8()->GetBytes(Text);
        value.insert(value.end(), text.begin(), text.end());
    }
    ReplaceValue(Data, value);
    return true;
}

// ---------------------------------------------------------------------------------------------
// Data parts

uint64_t TMP4AtomData::ReadBE(int Width) const
{
    if (DataType != MP4DataInteger && DataType != MP4DataBEInteger) return 0;
    uint64_t v = 0;
    const int64_t n = SizeOf(Data);
    for (int i = 0; i < Width; ++i) v = v << 8 | (i < n ? Bytes(Data)[i] : 0);
    return v;
}

bool TMP4AtomData::SetBE(uint64_t Value, int Width)
{
    rtl::TBytes b(static_cast<size_t>(Width));
    for (int i = Width - 1; i >= 0; --i, Value >>= 8) b[size_t(i)] = uint8_t(Value);
    ReplaceValue(Data, b);
    DataType = MP4DataInteger;
    return true;
}

String TMP4AtomData::GetAsText() const
{
    AlreadyParsed = true;
    if (DataType != MP4DataText) return String();
    return rtl::TEncoding::UTF8()->GetString(Bytes(Data), size_t(SizeOf(Data)));
}

uint8_t TMP4AtomData::GetAsInteger8() const { return uint8_t(ReadBE(1)); }
uint16_t TMP4AtomData::GetAsInteger16() const { return uint16_t(ReadBE(2)); }
uint32_t TMP4AtomData::GetAsInteger32() const { return uint32_t(ReadBE(4)); }

bool TMP4AtomData::GetAsInteger48(uint32_t& LowDWord, uint16_t& HighWord, uint64_t& Value) const
{
    LowDWord = 0;
    HighWord = 0;
    Value = 0;
    if (DataType != MP4DataInteger && DataType != MP4DataBEInteger) return false;
    Value = ReadBE(6);
    HighWord = uint16_t(Value >> 32);
    LowDWord = uint32_t(Value);
    return true;
}

bool TMP4AtomData::GetAsInteger64(uint32_t& LowDWord, uint32_t& HighDWord, uint64_t& Value) const
{
    LowDWord = HighDWord = 0;
    Value = 0;
    if (DataType != MP4DataInteger && DataType != MP4DataBEInteger) return false;
    Value = ReadBE(8);
    HighDWord = uint32_t(Value >> 32);
    LowDWord = uint32_t(Value);
    return true;
}

bool TMP4AtomData::GetAsInteger(uint64_t& Value) const
{
    AlreadyParsed = true;
    Value = 0;
    switch (SizeOf(Data)) {
    case 1: Value = GetAsInteger8(); return true;
    case 2: Value = GetAsInteger16(); return true;
    case 4: Value = GetAsInteger32(); return true;
    case 6: {
        uint32_t low;
        uint16_t high;
        return GetAsInteger48(low, high, Value);
    }
    case 8: {
        uint32_t low, high;
        return GetAsInteger64(low, high, Value);
    }
    default: return false;
    }
}

bool TMP4AtomData::GetAsList(rtl::TStrings& List) const
{
    List.Clear();
    if (DataType != MP4DataText) return false;
    AlreadyParsed = true;
    const std::vector<rtl::TBytes> lines = CrLfLines(Bytes(Data), SizeOf(Data), true);
    auto text = [](const rtl::TBytes& B) { return rtl::TEncoding::UTF8()->GetString(B.data(), B.size()); };
    bool any = false;
    for (size_t i = 0; i + 1 < lines.size(); i += 2) {
        List.Add(text(lines[i]) + u'=' + text(lines[i + 1]));
        any = true;
    }
    return any;
}

bool TMP4AtomData::SetAsText(const String& Text)
{
    ReplaceValue(Data, rtl::TEncoding::UTF8()->GetBytes(Text));
    DataType = MP4DataText;
    return true;
}

bool TMP4AtomData::SetAsInteger8(uint8_t Value) { return SetBE(Value, 1); }
bool TMP4AtomData::SetAsInteger16(uint16_t Value) { return SetBE(Value, 2); }
bool TMP4AtomData::SetAsInteger32(uint32_t Value) { return SetBE(Value, 4); }
bool TMP4AtomData::SetAsInteger48(uint32_t LowDWord, uint16_t HighWord) { return SetBE(uint64_t(HighWord) << 32 | LowDWord, 6); }
bool TMP4AtomData::SetAsInteger64(uint32_t LowDWord, uint32_t HighDWord) { return SetBE(uint64_t(HighDWord) << 32 | LowDWord, 8); }

bool TMP4AtomData::SetAsList(const rtl::TStrings& List)
{
    ReplaceValue(Data, NameValueLines(List, [](const String& S) { return rtl::TEncoding::UTF8()->GetBytes(S); }));
    DataType = MP4DataText;
    return true;
}

void TMP4AtomData::Clear()
{
    DataType = MP4DataInteger;
    Data.Clear();
}

// ---------------------------------------------------------------------------------------------
// Items

TMP4AtomData* TMP4Atom::AddData()
{
    Datas.push_back(std::make_unique<TMP4AtomData>(this));
    Datas.back()->Index = int(Datas.size()) - 1;
    return Datas.back().get();
}

void TMP4Atom::Clear()
{
    Datas.clear();
    mean.Clear();
    name.Clear();
}

int TMP4Atom::GetIndex() const
{
    for (size_t i = 0; Parent && i < Parent->Atoms.size(); ++i)
        if (Parent->Atoms[i].get() == this) return int(i);
    return -1;
}

TMP4AtomData& TMP4Atom::First()
{
    if (Datas.empty()) AddData();
    return *Datas.front();
}

String TMP4Atom::GetAsText() const
{
    AlreadyParsed = true;
    if (Datas.empty()) return String();
    const TMP4AtomData& d = *Datas.front();
    if (d.DataType == MP4DataText) return d.GetAsText();
    uint64_t v = 0;
    return d.GetAsInteger(v) ? String::number(v) : String();
}

bool TMP4Atom::GetAsInteger(uint64_t& Value) const
{
    Value = 0;
    return !Datas.empty() && Datas.front()->GetAsInteger(Value);
}

bool TMP4Atom::GetAsList(rtl::TStrings& List) const
{
    if (Datas.empty()) {
        List.Clear();
        return false;
    }
    return Datas.front()->GetAsList(List);
}

uint16_t TMP4Atom::GetAsInteger16() const { return Datas.empty() ? 0 : Datas.front()->GetAsInteger16(); }

bool TMP4Atom::GetAsInteger48(uint32_t& LowDWord, uint16_t HiWord, uint64_t& Value) const
{
    LowDWord = 0;
    Value = 0;
    return !Datas.empty() && Datas.front()->GetAsInteger48(LowDWord, HiWord, Value);
}

bool TMP4Atom::SetAsText(const String& Text) { return First().SetAsText(Text); }
bool TMP4Atom::SetAsInteger8(uint8_t Value) { return First().SetAsInteger8(Value); }
bool TMP4Atom::SetAsInteger16(uint16_t Value) { return First().SetAsInteger16(Value); }
bool TMP4Atom::SetAsInteger32(uint32_t Value) { return First().SetAsInteger32(Value); }
bool TMP4Atom::SetAsInteger48(uint32_t LowDWord, uint16_t HiWord) { return First().SetAsInteger48(LowDWord, HiWord); }
bool TMP4Atom::SetAsInteger64(uint32_t LowDWord, uint32_t HiDWord) { return First().SetAsInteger64(LowDWord, HiDWord); }
bool TMP4Atom::SetAsBool(bool Value) { return First().SetAsBool(Value); }
bool TMP4Atom::SetAsList(const rtl::TStrings& List) { return First().SetAsList(List); }

String TMP4Atom::GetAsCommonText(String& Name, String& Mean) const
{
    Name = name.GetAsText();
    Mean = mean.GetAsText();
    return GetAsText();
}

bool TMP4Atom::SetAsCommonText(const String& Name, const String& Mean, const String& Value)
{
    name.SetAsText(Name);
    mean.SetAsText(Mean);
    return First().SetAsText(Value);
}

uint32_t TMP4Atom::CalculateAtomSize() const
{
    int64_t size = 8;
    if (SizeOf(mean.Data) > 0) size += SizeOf(mean.Data) + 8;
    if (SizeOf(name.Data) > 0) size += SizeOf(name.Data) + 8;
    for (const auto& d : Datas) size += SizeOf(d->Data) + 16;
    return uint32_t(size);
}

bool TMP4AtomText::WritePart(rtl::TStream& MP4Stream, const char* Type) const
{
    if (SizeOf(Data) == 0) return false;
    try {
        rtl::TBytes out;
        PutBE32(out, uint32_t(SizeOf(Data) + 8));
        out.insert(out.end(), Type, Type + 4);
        out.insert(out.end(), Bytes(Data), Bytes(Data) + SizeOf(Data));
        MP4Stream.WriteBuffer(out.data(), int64_t(out.size()));
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool TMP4AtomData::Write(rtl::TStream& MP4Stream) const
{
    try {
        rtl::TBytes out;
        PutBE32(out, uint32_t(SizeOf(Data) + 16));
        out.insert(out.end(), {'d', 'a', 't', 'a'});
        PutBE32(out, DataType);
        for (int shift = 0; shift < 32; shift += 8) out.push_back(uint8_t(Reserved >> shift));
        out.insert(out.end(), Bytes(Data), Bytes(Data) + SizeOf(Data));
        MP4Stream.WriteBuffer(out.data(), int64_t(out.size()));
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool TMP4Atom::Write(rtl::TStream& Stream) const
{
    try {
        rtl::TBytes out;
        PutBE32(out, CalculateAtomSize());
        out.insert(out.end(), ID.begin(), ID.end());
        Stream.WriteBuffer(out.data(), int64_t(out.size()));
    } catch (const std::exception&) {
        return false;
    }
    // An empty part writes nothing; any other part that fails fails the item.
    if (SizeOf(mean.Data) > 0 && !mean.Write(Stream)) return false;
    if (SizeOf(name.Data) > 0 && !name.Write(Stream)) return false;
    for (const auto& d : Datas)
        if (!d->Write(Stream)) return false;
    return true;
}

void TMP4Atom::Delete()
{
    if (Parent) Parent->DeleteAtom(GetIndex());
}

// ---------------------------------------------------------------------------------------------
// The tag's item operations

uint32_t MP4DefaultPaddingToWrite = 4096;
bool MP4DefaultParseXtra = true;

TMP4Tag::TMP4Tag()
{
    Atoms.reserve(256);
    Xtras.reserve(256);
    Clear();
    PaddingToWrite = MP4DefaultPaddingToWrite;
    ParseXtra = MP4DefaultParseXtra;
}

TMP4Tag::~TMP4Tag() = default;

void TMP4Tag::Clear()
{
    while (!Atoms.empty()) Atoms.pop_back();
    Version = 0;
    Flags = 0;
    FLoaded = false;
    FFileSize = 0;
    FAtommdatPosition = 0;
    FAtommdatSize = 0;
    FAtommoovPosition = FAtommoovSize = FAtomudtaPosition = FAtomudtaSize = 0;
    FAtommetaPosition = FAtommetaSize = FAtomilstPosition = FAtomilstSize = 0;
    FAudioChannelCount = 0;
    FAudioResolution = 0;
    FAudioSampleRate = 0;
    FPlaytime = 0;
    FBitRate = 0;
    FVideoWidth = FVideoHeight = 0;
    FAudioFormat = mp4afUnknown;
    ClearXtras();
}

TMP4Atom* TMP4Tag::AddAtom(const TAtomName& AtomName)
{
    if (Atoms.size() == Atoms.capacity()) Atoms.reserve(Atoms.capacity() + 256);
    Atoms.push_back(std::make_unique<TMP4Atom>(this));
    Atoms.back()->ID = AtomName;
    return Atoms.back().get();
}

TMP4Atom* TMP4Tag::FindAtom(const TAtomName& AtomName) const
{
    for (const auto& a : Atoms)
        if (a->ID == AtomName) return a.get();
    return nullptr;
}

TMP4Atom* TMP4Tag::FindAtomCommon(const TAtomName& AtomName, const String& Name, const String& Mean) const
{
    for (const auto& a : Atoms)
        if (a->ID == AtomName && a->name.GetAsText().compare(Name, Qt::CaseInsensitive) == 0 &&
            a->mean.GetAsText().compare(Mean, Qt::CaseInsensitive) == 0)
            return a.get();
    return nullptr;
}

bool TMP4Tag::DeleteAtom(int Index)
{
    if (Index < 0 || Index >= Count()) return false;
    Atoms.erase(Atoms.begin() + Index);
    return true;
}

bool TMP4Tag::DeleteAtom(const TAtomName& AtomName)
{
    const TMP4Atom* atom = FindAtom(AtomName);
    return atom && DeleteAtom(atom->GetIndex());
}

bool TMP4Tag::DeleteAllAtoms(const TAtomName& AtomName)
{
    bool any = false;
    for (int i = Count() - 1; i >= 0; --i)
        if (Atoms[size_t(i)]->ID == AtomName) any = DeleteAtom(i) || any;
    return any;
}

String TMP4Tag::GetText(const TAtomName& AtomName) const
{
    const TMP4Atom* atom = FindAtom(AtomName);
    return atom ? atom->GetAsText() : String();
}

bool TMP4Tag::GetInteger(const TAtomName& AtomName, uint64_t& Value) const
{
    Value = 0;
    const TMP4Atom* atom = FindAtom(AtomName);
    return atom && atom->GetAsInteger(Value);
}

uint16_t TMP4Tag::GetInteger16(const TAtomName& AtomName) const
{
    const TMP4Atom* atom = FindAtom(AtomName);
    return atom ? atom->GetAsInteger16() : 0;
}

bool TMP4Tag::GetInteger48(const TAtomName& AtomName, uint32_t& LowDWord, uint16_t HiWord, uint64_t& Value) const
{
    LowDWord = 0;
    Value = 0;
    const TMP4Atom* atom = FindAtom(AtomName);
    return atom && atom->GetAsInteger48(LowDWord, HiWord, Value);
}

namespace {

TMP4Atom& FindOrAdd(TMP4Tag& Tag, const TAtomName& Name)
{
    TMP4Atom* atom = Tag.FindAtom(Name);
    return atom ? *atom : *Tag.AddAtom(Name);
}

} // namespace

bool TMP4Tag::SetText(const TAtomName& AtomName, const String& Text)
{
    if (Text.isEmpty()) {
        DeleteAtom(AtomName);
        return true;
    }
    return FindOrAdd(*this, AtomName).SetAsText(Text);
}

bool TMP4Tag::SetInteger8(const TAtomName& A, uint8_t V) { return FindOrAdd(*this, A).SetAsInteger8(V); }
bool TMP4Tag::SetInteger16(const TAtomName& A, uint16_t V) { return FindOrAdd(*this, A).SetAsInteger16(V); }
bool TMP4Tag::SetInteger32(const TAtomName& A, uint32_t V) { return FindOrAdd(*this, A).SetAsInteger32(V); }
bool TMP4Tag::SetInteger48(const TAtomName& A, uint32_t L, uint16_t H) { return FindOrAdd(*this, A).SetAsInteger48(L, H); }
bool TMP4Tag::SetInteger64(const TAtomName& A, uint32_t L, uint32_t H) { return FindOrAdd(*this, A).SetAsInteger64(L, H); }
bool TMP4Tag::SetBool(const TAtomName& A, bool V) { return FindOrAdd(*this, A).SetAsBool(V); }

bool TMP4Tag::SetMultipleValuesMultipleAtoms(const TAtomName& AtomName, const rtl::TStrings& List)
{
    DeleteAllAtoms(AtomName);
    for (int i = 0; i < List.Count(); ++i) AddAtom(AtomName)->SetAsText(List[i]);
    return true;
}

int64_t TMP4Tag::CalculateSize() const
{
    int64_t size = 0;
    for (const auto& a : Atoms) size += a->CalculateAtomSize();
    if (size > 0) size += 8;
    if (size >= (int64_t(1) << 32)) size += 8;
    return size;
}

// ---------------------------------------------------------------------------------------------
// Genre, media kind, track and disc, purchase country

const char* const MP4GenreNames[192] = {"Blues", "Classic Rock", "Country", "Dance", "Disco", "Funk", "Grunge",
    "Hip-Hop", "Jazz", "Metal", "New Age", "Oldies", "Other", "Pop", "R&B", "Rap", "Reggae", "Rock", "Techno",
    "Industrial", "Alternative", "Ska", "Death Metal", "Pranks", "Soundtrack", "Euro-Techno", "Ambient", "Trip-Hop",
    "Vocal", "Jazz+Funk", "Fusion", "Trance", "Classical", "Instrumental", "Acid", "House", "Game", "Sound Clip",
    "Gospel", "Noise", "AlternRock", "Bass", "Soul", "Punk", "Space", "Meditative", "Instrumental Pop",
    "Instrumental Rock", "Ethnic", "Gothic", "Darkwave", "Techno-Industrial", "Electronic", "Pop-Folk", "Eurodance",
    "Dream", "Southern Rock", "Comedy", "Cult", "Gangsta", "Top 40", "Christian Rap", "Pop/Funk", "Jungle",
    "Native American", "Cabaret", "New Wave", "Psychedelic", "Rave", "Showtunes", "Trailer", "Lo-Fi", "Tribal",
    "Acid Punk", "Acid Jazz", "Polka", "Retro", "Musical", "Rock & Roll", "Hard Rock", "Folk", "Folk-Rock",
    "National Folk", "Swing", "Fast Fusion", "Bebob", "Latin", "Revival", "Celtic", "Bluegrass", "Avantgarde",
    "Gothic Rock", "Progressive Rock", "Psychedelic Rock", "Symphonic Rock", "Slow Rock", "Big Band", "Chorus",
    "Easy Listening", "Acoustic", "Humour", "Speech", "Chanson", "Opera", "Chamber Music", "Sonata", "Symphony",
    "Booty Bass", "Primus", "Porn Groove", "Satire", "Slow Jam", "Club", "Tango", "Samba", "Folklore", "Ballad",
    "Power Ballad", "Rhythmic Soul", "Freestyle", "Duet", "Punk Rock", "Drum Solo", "A capella", "Euro-House",
    "Dance Hall", "Goa", "Drum & Bass", "Club-House", "Hardcore", "Terror", "Indie", "BritPop", "Negerpunk",
    "Polsk Punk", "Beat", "Christian Gangsta Rap", "Heavy Metal", "Black Metal", "Crossover",
    "Contemporary Christian", "Christian Rock", "Merengue", "Salsa", "Trash Metal", "Anime", "JPop", "SynthPop",
    "Abstract", "Art Rock", "Baroque", "Bhangra", "Big Beat", "Breakbeat", "Chillout", "Downtempo", "Dub", "EBM",
    "Eclectic", "Electro", "Electroclash", "Emo", "Experimental", "Garage", "Global", "IDM", "Illbient",
    "Industro-Goth", "Jam Band", "Krautrock", "Leftfield", "Lounge", "Math Rock", "New Romantic", "Nu-Breakz",
    "Post-Punk", "Post-Rock", "Psytrance", "Shoegaze", "Space Rock", "Trop Rock", "World Music", "Neoclassical",
    "Audiobook", "Audio Theatre", "Neue Deutsche Welle", "Podcast", "Indie Rock", "G-Funk", "Dubstep", "Garage Rock",
    "Psybient"};

namespace {

const TAtomName Gnre = {'g', 'n', 'r', 'e'};
const TAtomName GenText = {0xA9, 'g', 'e', 'n'};
const TAtomName Stik = {'s', 't', 'i', 'k'};
const TAtomName Trkn = {'t', 'r', 'k', 'n'};
const TAtomName Disk = {'d', 'i', 's', 'k'};
const TAtomName SfID = {'s', 'f', 'I', 'D'};

struct TMediaKind {
    uint16_t Value;
    const char16_t* Text;
};
// "Movie" reads from 0 and 9 and is written as 9.
const TMediaKind MediaKinds[] = {{0, u"Movie"}, {1, u"Music"}, {2, u"Audiobook"}, {6, u"Music Video"}, {9, u"Movie"},
                                 {10, u"TV Show"}, {11, u"Booklet"}, {14, u"Ringtone"}};

const char16_t* const Countries[] = {u"United States", u"France", u"Germany", u"United Kingdom", u"Austria",
    u"Belgium", u"Finland", u"Greece", u"Ireland", u"Italy", u"Luxembourg", u"Netherlands", u"Portugal", u"Spain",
    u"Canada", u"Sweden", u"Norway", u"Denmark", u"Switzerland", u"Australia", u"New Zealand", u"Japan"};
constexpr uint32_t FirstStoreFront = 143441;

} // namespace

String TMP4Tag::GetGenre() const
{
    const uint16_t g = GetInteger16(Gnre);
    if (g >= 1 && g <= 192) return String::fromLatin1(MP4GenreNames[g - 1]);
    return GetText(GenText);
}

bool TMP4Tag::SetGenre(const String& Genre)
{
    DeleteAllAtoms(Gnre);
    DeleteAllAtoms(GenText);
    if (Genre.isEmpty()) return true;
    const int index = GenreNameToIndex(Genre);
    return index > 0 ? SetInteger16(Gnre, uint16_t(index)) : SetText(GenText, Genre);
}

int GenreNameToIndex(const String& Genre)
{
    for (int i = 0; i < 192; ++i)
        if (Genre.compare(String::fromLatin1(MP4GenreNames[i]), Qt::CaseInsensitive) == 0) return i + 1;
    return -1;
}

String TMP4Tag::GetMediaType() const
{
    if (!FindAtom(Stik)) return String();
    const uint16_t v = GetInteger16(Stik);
    for (const auto& k : MediaKinds)
        if (k.Value == v) return String::fromUtf16(k.Text);
    return String();
}

bool TMP4Tag::SetMediaType(const String& Media)
{
    for (const auto& k : MediaKinds)
        if (k.Value != 0 && Media == String::fromUtf16(k.Text)) return SetInteger16(Stik, k.Value);
    return false;
}

namespace {

// The number and total of "trkn" and "disk": the 8-byte and the 6-byte layouts read alike.
uint32_t NumberAndTotal(const TMP4Tag& Tag, const TAtomName& Name)
{
    uint32_t low = 0;
    uint64_t value = 0;
    Tag.GetInteger48(Name, low, 0, value);
    return low;
}

} // namespace

uint16_t TMP4Tag::GetTrack() const { return uint16_t(NumberAndTotal(*this, Trkn) >> 16); }
uint16_t TMP4Tag::GetTotalTracks() const { return uint16_t(NumberAndTotal(*this, Trkn)); }
uint16_t TMP4Tag::GetDisc() const { return uint16_t(NumberAndTotal(*this, Disk) >> 16); }
uint16_t TMP4Tag::GetTotalDiscs() const { return uint16_t(NumberAndTotal(*this, Disk)); }

bool TMP4Tag::SetTrack(uint16_t Track, uint16_t TotalTracks)
{
    if (Track == 0 && TotalTracks == 0) {
        DeleteAtom(Trkn);
        return true;
    }
    return SetInteger64(Trkn, uint32_t(TotalTracks) << 16, Track);
}

bool TMP4Tag::SetDisc(uint16_t Disc, uint16_t TotalDiscs)
{
    if (Disc == 0 && TotalDiscs == 0) {
        DeleteAtom(Disk);
        return true;
    }
    return SetInteger48(Disk, uint32_t(Disc) << 16 | TotalDiscs, 0);
}

String TMP4Tag::GetPurchaseCountry() const
{
    uint64_t v = 0;
    if (!GetInteger(SfID, v)) return String();
    const uint32_t low = uint32_t(v);
    if (low >= FirstStoreFront && low < FirstStoreFront + 22) return String::fromUtf16(Countries[low - FirstStoreFront]);
    return v == 0 ? String() : String::number(v);
}

bool TMP4Tag::SetPurchaseCountry(const String& Country)
{
    uint32_t n = 0;
    bool hit = false;
    for (uint32_t i = 0; i < 22 && !hit; ++i)
        if (Country == String::fromUtf16(Countries[i])) {
            n = FirstStoreFront + i;
            hit = true;
        }
    if (!hit) n = Country.toUInt();
    return SetInteger32(SfID, n);
}

// ---------------------------------------------------------------------------------------------
// Xtra attributes

String TMP4Xtra::GetAsText() const
{
    AlreadyParsed = true;
    switch (PropType) {
    case 8: {
        const int64_t n = SizeOf(Data) / 2;
        String text = String::fromUtf16(reinterpret_cast<const char16_t*>(Bytes(Data)), qsizetype(n));
        while (text.endsWith(QChar(0))) text.chop(1);
        return text;
    }
    case 19: {
        int64_t v = 0;
        return GetAsInteger(v) ? String::number(v) : String();
    }
    case 21: {
        rtl::TDateTime t = 0;
        GetAsDateTime(t);
        return rtl::DateTimeToStr(t);
    }
    case 72: {
        std::array<uint8_t, 16> g{};
        GetAsGUID(g);
        auto hex = [&](int From, int To, bool Reverse) {
            String s;
            for (int i = 0; i < To - From; ++i)
                s += String::asprintf("%02X", g[size_t(Reverse ? To - 1 - i : From + i)]);
            return s;
        };
        return u"{"_s + hex(0, 4, true) + u'-' + hex(4, 6, true) + u'-' + hex(6, 8, true) + u'-' + hex(8, 10, false) +
               u'-' + hex(10, 16, false) + u'}';
    }
    default: return String::number(SizeOf(Data)) + u" bytes"_s;
    }
}

bool TMP4Xtra::GetAsInteger(int64_t& Value) const
{
    AlreadyParsed = true;
    const int64_t n = SizeOf(Data);
    if (n != 1 && n != 2 && n != 4 && n != 8) return false;
    uint64_t v = 0;
    for (int64_t i = n - 1; i >= 0; --i) v = v << 8 | Bytes(Data)[i];
    Value = int64_t(v);
    return true;
}

bool TMP4Xtra::GetAsGUID(std::array<uint8_t, 16>& Value) const
{
    AlreadyParsed = true;
    Value.fill(0);
    std::memcpy(Value.data(), Bytes(Data), size_t(std::min<int64_t>(16, SizeOf(Data))));
    return true;
}

bool TMP4Xtra::GetAsDateTime(rtl::TDateTime& Value) const
{
    AlreadyParsed = true;
    uint64_t t = 0;
    for (int i = std::min<int>(8, int(SizeOf(Data))) - 1; i >= 0; --i) t = t << 8 | Bytes(Data)[i];
    // A count of 100-ns intervals since 1601-01-01 UTC, shown in local time.
    const QDateTime epoch(QDate(1601, 1, 1), QTime(0, 0), Qt::UTC);
    const QDateTime utc = epoch.addMSecs(qint64(t / 10000));
    const QDateTime local = utc.toLocalTime();
    const QDateTime base(QDate(1899, 12, 30), QTime(0, 0));
    // Before 1899-12-30 the day counts down while the time of day still counts up.
    const double days = double(base.date().daysTo(local.date()));
    const double time = double(local.time().msecsSinceStartOfDay()) / 86400000.0;
    Value = days < 0 ? days - time : days + time;
    return true;
}

int TMP4Xtra::GetIndex() const
{
    for (size_t i = 0; Parent && i < Parent->Xtras.size(); ++i)
        if (Parent->Xtras[i].get() == this) return int(i);
    return -1;
}

TMP4Xtra* TMP4Tag::AddXtra(const String& FieldName)
{
    Xtras.push_back(std::make_unique<TMP4Xtra>(this));
    Xtras.back()->Name = FieldName;
    return Xtras.back().get();
}

TMP4Xtra* TMP4Tag::FindAtomXtra(const String& FieldName) const
{
    for (const auto& x : Xtras)
        if (x->Name.compare(FieldName, Qt::CaseInsensitive) == 0) return x.get();
    return nullptr;
}

String TMP4Tag::GetTextXtra(const String& FieldName) const
{
    const TMP4Xtra* x = FindAtomXtra(FieldName);
    return x ? x->GetAsText() : String();
}

bool TMP4Tag::LoadXtra(rtl::TStream& S, int64_t XtraAtomSize)
{
    const int64_t start = S.Position();
    const int64_t end = std::min(start + XtraAtomSize, S.Size());
    bool any = false;
    while (S.Position() < end) {
        ReadBE32(S);   // entry size
        const uint32_t nameLength = ReadBE32(S);
        if (nameLength > uint64_t(end - S.Position())) Corrupt({'X', 't', 'r', 'a'});
        rtl::TBytes name(nameLength);
        if (nameLength > 0) S.ReadBuffer(name.data(), nameLength);
        ReadBE32(S);   // number of values: one is read
        const uint32_t valueSize = ReadBE32(S);
        uint8_t type[2] = {};
        ReadZeroFilled(S, type, 2);
        // A value size below 6 or past the atom is no value at all.
        if (valueSize < 6 || valueSize - 6 > uint64_t(end - S.Position())) Corrupt({'X', 't', 'r', 'a'});
        TMP4Xtra* x = AddXtra(rtl::TEncoding::UTF8()->GetString(name.data(), name.size()));
        x->PropType = uint16_t(type[0] << 8 | type[1]);
        if (valueSize > 6) x->Data.CopyFrom(S, valueSize - 6);
        x->Data.SetPosition(0);
        any = true;
    }
    return any;
}

bool TMP4Tag::CreateXtraAtomStream(rtl::TMemoryStream& XtraStream) const
{
    if (Xtras.empty()) return false;
    const int64_t start = XtraStream.Position();
    rtl::TBytes out = {0, 0, 0, 0, 'X', 't', 'r', 'a'};
    bool any = false;
    for (const auto& x : Xtras) {
        if (x->Name.isEmpty() || x->PropType == 0 || SizeOf(x->Data) == 0) continue;
        const rtl::TBytes name = rtl::TEncoding::UTF8()->GetBytes(x->Name);
        const auto m = uint32_t(SizeOf(x->Data));
        PutBE32(out, uint32_t(name.size()) + m + 18);
        PutBE32(out, uint32_t(name.size()));
        out.insert(out.end(), name.begin(), name.end());
        PutBE32(out, 1);
        PutBE32(out, m + 6);
        out.push_back(uint8_t(x->PropType >> 8));
        out.push_back(uint8_t(x->PropType));
        out.insert(out.end(), Bytes(x->Data), Bytes(x->Data) + m);
        any = true;
    }
    if (!any) return false;
    const auto size = uint32_t(out.size());
    for (int i = 0; i < 4; ++i) out[size_t(i)] = uint8_t(size >> (24 - 8 * i));
    XtraStream.SetPosition(start);
    XtraStream.WriteBuffer(out.data(), int64_t(out.size()));
    return true;
}

// ---------------------------------------------------------------------------------------------
// Reading

namespace {

// Seconds from the first "mvhd"; 0 when there is none or it cannot be read.
double ReadMP4Playtime(rtl::TStream& S)
{
    const int64_t keep = S.Position();
    double result = 0;
    try {
        S.SetPosition(0);
        TAtomHeader h;
        if (ReadAtomHeader(S, h, false) && AtomNameMatchesText(h.Type, "ftyp")) {
            SkipBody(S, h);
            bool done = false;
            while (!done && ReadAtomHeader(S, h, true)) {
                if (!AtomNameMatchesText(h.Type, "moov")) {
                    SkipBody(S, h);
                    continue;
                }
                const int64_t moovEnd = End(h);
                while (!done && S.Position() < moovEnd && ReadAtomHeader(S, h, true)) {
                    if (!AtomNameMatchesText(h.Type, "mvhd")) {
                        SkipBody(S, h);
                        continue;
                    }
                    uint8_t v[4];
                    ReadZeroFilled(S, v, 4);
                    uint32_t scale = 0;
                    uint64_t duration = 0;
                    uint8_t b[28];
                    if (v[0] == 1) {
                        ReadZeroFilled(S, b, 28);
                        scale = BE32(b + 16);
                        duration = BE64(b + 20);
                    } else {
                        ReadZeroFilled(S, b, 16);
                        scale = BE32(b + 8);
                        duration = BE32(b + 12);
                    }
                    if (scale != 0 && duration != 0) result = double(duration) / scale;
                    done = true;
                }
                done = true;
            }
        }
    } catch (const std::exception&) {
        result = 0;
    }
    S.SetPosition(keep);
    return result;
}

// Looks for a child of the given type from the position on, skipping others; the search may run to the
// stream's end.
bool FindChild(rtl::TStream& S, const char* Type, TAtomHeader& H)
{
    while (ReadAtomHeader(S, H, true)) {
        if (AtomNameMatchesText(H.Type, Type)) return true;
        SkipBody(S, H);
    }
    return false;
}

} // namespace

void TMP4Tag::ReadTrackInfo(rtl::TStream& S)
{
    FVideoWidth = FVideoHeight = 0;
    try {
        const int64_t size = S.Size();
        TAtomHeader h;
        while (S.Position() < size && ReadAtomHeader(S, h, false) && h.Size > 0) {
            if (!AtomNameMatchesText(h.Type, "moov")) {
                SkipBody(S, h);
                continue;
            }
            TAtomHeader c;
            while (S.Position() < size && ReadAtomHeader(S, c, false) && c.Size != 0 && c.Type != TAtomName{}) {
                if (!AtomNameMatchesText(c.Type, "trak")) {
                    SkipBody(S, c);
                    continue;
                }
                const int64_t body = S.Position();
                TAtomHeader t;
                if (FindChild(S, "tkhd", t)) {
                    uint8_t b[84];
                    ReadZeroFilled(S, b, 84);
                    const int32_t width = int32_t(b[76]) << 8 | b[77];
                    const int32_t height = int32_t(b[80]) << 8 | b[81];
                    if (width >= FVideoWidth && height >= FVideoHeight) {
                        FVideoWidth = width;
                        FVideoHeight = height;
                    }
                }
                S.SetPosition(body);
                if (FindChild(S, "mdia", t) && FindChild(S, "minf", t) && FindChild(S, "stbl", t) && FindChild(S, "stsd", t)) {
                    uint8_t b[8];
                    ReadZeroFilled(S, b, 8);
                    if (BE32(b + 4) == 1) {
                        TAtomHeader e;
                        while (ReadAtomHeader(S, e, true)) {
                            const bool mp4a = AtomNameMatchesText(e.Type, "mp4a");
                            const bool alac = AtomNameMatchesText(e.Type, "alac");
                            const bool ac3 = AtomNameMatchesText(e.Type, "ac-3");
                            if (!mp4a && !alac && !ac3) {
                                SkipBody(S, e);
                                continue;
                            }
                            uint8_t entry[72];
                            S.SetPosition(e.Offset);
                            ReadZeroFilled(S, entry, 72);
                            FAudioChannelCount = uint16_t(entry[24] << 8 | entry[25]);
                            FAudioResolution = uint32_t(entry[26] << 8 | entry[27]);
                            FAudioSampleRate = BE32(entry + (alac ? 68 : 30));
                            FAudioFormat = mp4a ? mp4afAAC : alac ? mp4afALAC : mpfafAC3;
                            break;
                        }
                    }
                }
                S.SetPosition(c.Offset);
                SkipBody(S, c);
            }
        }
    } catch (const std::exception&) {
        // The facts found so far stay.
    }
}

bool TMP4Tag::ReadAtom(rtl::TStream& S, TMP4Atom& Atom)
{
    try {
        const int64_t start = S.Position();
        uint8_t head[8];
        ReadZeroFilled(S, head, 8);
        Atom.Size = BE32(head);
        std::memcpy(Atom.ID.data(), head + 4, 4);
        const bool skipPayload = !ParseCoverArts && AtomNameMatchesText(Atom.ID, "covr");
        // An item that claims more than the stream holds ends with the stream.
        const int64_t end = std::min(start + int64_t(Atom.Size), S.Size());
        bool any = false;
        while (S.Position() < end) {
            const int64_t at = S.Position();
            ReadZeroFilled(S, head, 8);
            const uint32_t size = BE32(head);
            const int64_t left = S.Size() - S.Position();
            auto copyBody = [&](rtl::TMemoryStream& Data) {
                if (size <= 8) return;
                if (int64_t(size) - 8 > left) Corrupt(Atom.ID);
                Data.Clear();
                Data.CopyFrom(S, size - 8);
                Data.SetPosition(0);
            };
            if (std::memcmp(head + 4, "mean", 4) == 0) {
                copyBody(Atom.mean.Data);
            } else if (std::memcmp(head + 4, "name", 4) == 0) {
                copyBody(Atom.name.Data);
            } else if (std::memcmp(head + 4, "data", 4) == 0) {
                TMP4AtomData* data = Atom.AddData();
                uint8_t typeAndReserved[8];
                ReadZeroFilled(S, typeAndReserved, 8);
                data->DataType = BE32(typeAndReserved);
                data->Reserved = uint32_t(typeAndReserved[4]) | uint32_t(typeAndReserved[5]) << 8 |
                                 uint32_t(typeAndReserved[6]) << 16 | uint32_t(typeAndReserved[7]) << 24;
                const int64_t payload = int64_t(size) - 16;
                if (payload > left - 8) Corrupt(Atom.ID);
                if (skipPayload) S.Seek(std::max<int64_t>(payload, 0), rtl::soCurrent);
                else if (payload > 0) data->Data.CopyFrom(S, payload);
                data->Data.SetPosition(0);
            } else {
                // A size below 8 skips to the end of the stream, which ends the item and the list.
                S.SetPosition(size < 8 ? S.Size() : std::min(at + int64_t(size), S.Size()));
            }
            any = true;
        }
        return any;
    } catch (const std::exception&) {
        return false;
    }
}

int TMP4Tag::LoadFromFile(const String& MP4FileName)
{
    Clear();
    FLoaded = false;
    std::unique_ptr<rtl::TFileStream> file;
    try {
        if (!rtl::FileExists(MP4FileName)) return MP4TAGLIBRARY_ERROR_OPENING_FILE;
        file = std::make_unique<rtl::TFileStream>(MP4FileName, rtl::fmOpenRead | rtl::fmShareDenyWrite);
    } catch (const std::exception&) {
        return MP4TAGLIBRARY_ERROR_OPENING_FILE;
    }
    return LoadFromStream(*file, true);
}

int TMP4Tag::LoadFromStream(rtl::TStream& Stream, bool Buffered)
{
    Clear();
    FileName.clear();
    if (!Buffered) return Load(Stream);
    TBufferedStream buffered(Stream);
    return Load(buffered);
}

int TMP4Tag::Load(rtl::TStream& S)
{
    int result = MP4TAGLIBRARY_ERROR_NO_TAG_FOUND;
    TAtomHeader ftyp;
    try {
        ReadAtomHeader(S, ftyp, false);
    } catch (const std::exception&) {
    }
    if (!AtomNameMatchesText(ftyp.Type, "ftyp")) return MP4TAGLIBRARY_ERROR_NOT_SUPPORTED_FORMAT;
    try {
        FFileSize = S.Size();
        std::tie(FAtommdatPosition, FAtommdatSize) = FindMdatAtom(S);
        FPlaytime = ReadMP4Playtime(S);
        // A damaged header can claim a play time of next to nothing: the rate stops at the field's top.
        if (FPlaytime != 0) FBitRate = uint32_t(std::min(double(FAtommdatSize) / FPlaytime / 125 + 0.5, double(UINT32_MAX)));
        S.SetPosition(ftyp.Offset);
        SkipBody(S, ftyp);
        const int64_t afterFtyp = S.Position();
        ReadTrackInfo(S);
        S.SetPosition(afterFtyp);

        const int64_t size = S.Size();
        bool xtraRead = false;
        TAtomHeader h;
        while (S.Position() < size && ReadAtomHeader(S, h, true)) {
            if (!AtomNameMatchesText(h.Type, "moov")) {
                SkipBody(S, h);
                continue;
            }
            FAtommoovPosition = h.Offset;
            FAtommoovSize = int64_t(h.Size);
            const int64_t moovEnd = End(h);
            TAtomHeader c;
            while (S.Position() < std::min(size, moovEnd) && ReadAtomHeader(S, c, true)) {
                if (!AtomNameMatchesText(c.Type, "udta")) {
                    SkipBody(S, c);
                    continue;
                }
                FAtomudtaPosition = c.Offset;
                FAtomudtaSize = int64_t(c.Size);
                const int64_t udtaEnd = End(c);
                TAtomHeader u;
                while (S.Position() < std::min(size, udtaEnd) && ReadAtomHeader(S, u, true)) {
                    if (AtomNameMatchesText(u.Type, "meta")) {
                        FAtommetaPosition = u.Offset;
                        FAtommetaSize = int64_t(u.Size);
                        uint8_t vf[4];
                        ReadZeroFilled(S, vf, 4);
                        Version = vf[0];
                        Flags = uint32_t(vf[1]) << 16 | uint32_t(vf[2]) << 8 | vf[3];
                        TAtomHeader m;
                        bool ilst = false;
                        while (S.Position() < size && ReadAtomHeader(S, m, true)) {
                            if (AtomNameMatchesText(m.Type, "ilst")) {
                                ilst = true;
                                break;
                            }
                            SkipBody(S, m);
                        }
                        if (!ilst) continue;
                        FAtomilstPosition = m.Offset;
                        FAtomilstSize = int64_t(m.Size);
                        while (S.Position() < End(m)) {
                            ReadAtom(S, *AddAtom(TAtomName{}));
                            result = MP4TAGLIBRARY_SUCCESS;
                            FLoaded = true;
                        }
                        if (ParseXtra && !xtraRead) {
                            S.SetPosition(End(m));
                            continue;
                        }
                        return result;
                    }
                    if (AtomNameMatchesText(u.Type, "Xtra") && ParseXtra) {
                        LoadXtra(S, int64_t(u.Size) - u.HeaderLength);
                        xtraRead = true;
                        S.SetPosition(End(u));
                        if (FLoaded) return result;
                        continue;
                    }
                    SkipBody(S, u);
                }
                return result;
            }
            return result;
        }
    } catch (const std::exception&) {
        return MP4TAGLIBRARY_ERROR_READING_FILE;
    }
    return result;
}

} // namespace tags
