// tags/TagAPEv2.cpp: reading, writing and stripping APEv2 tags.
#include "tags/TagAPEv2.h"

#include "tags/SafeFile.h"
#include "tags/TagItems.h"
#include "tags/TagValues.h"

#include "rtl/Classes.h"
#include "rtl/Encoding.h"
#include "rtl/Files.h"
#include "rtl/SysUtils.h"

#include <cmath>
#include <cstring>
#include <optional>

using namespace Qt::Literals::StringLiterals;

namespace tags {

bool APEv2UpperCaseFieldNamesToWriteDefault = true;

namespace {

constexpr int64_t BlockSize = 32;            // header or footer
constexpr int64_t ID3v1Size = 128;
constexpr uint32_t FlagHasHeader = 0x80000000u;
constexpr uint32_t FlagIsHeader = 0x20000000u;
constexpr uint32_t FlagReadOnly = 0x00000001u;
const char Preamble[8] = {'A', 'P', 'E', 'T', 'A', 'G', 'E', 'X'};
const String CoverArtKey = u"Cover Art (Front)"_s;

uint32_t GetLE32(const uint8_t* P) { return uint32_t(P[0]) | uint32_t(P[1]) << 8 | uint32_t(P[2]) << 16 | uint32_t(P[3]) << 24; }
void PutLE32(uint8_t* P, uint32_t V)
{
    for (int i = 0; i < 4; ++i) P[i] = uint8_t(V >> (8 * i));
}

// UTF-8, or the ANSI code page for a text UTF-8 gives no bytes for.
rtl::TBytes EncodeText(const String& Text)
{
    rtl::TBytes bytes = rtl::TEncoding::UTF8()->GetBytes(Text);
    if (bytes.empty() && !Text.isEmpty()) bytes = rtl::TEncoding::ANSI()->GetBytes(Text);
    return bytes;
}

// UTF-8, or the ANSI code page for bytes that are not UTF-8.
String DecodeText(const uint8_t* Data, size_t Size)
{
    String text;
    if (!rtl::TEncoding::UTF8()->TryGetString(Data, Size, text) || text.isEmpty())
        text = rtl::TEncoding::ANSI()->GetString(Data, Size);
    return text;
}

String TrimTrailingControls(String Text)
{
    qsizetype n = Text.size();
    while (n > 0 && Text[n - 1].unicode() < 33) --n;
    Text.truncate(n);
    return Text;
}

// The 24 bytes after the preamble of a header or footer.
struct TFooter {
    uint32_t Version = 0;
    uint32_t TagSize = 0;
    uint32_t ItemCount = 0;
    uint32_t Flags = 0;
    bool ReservedZero = true;
};

// Where a footer would be, by the file's end and a trailing ID3v1 tag (whose bytes are kept).
struct TTagPlace {
    int64_t FooterAt = -1;     // the footer's start
    bool HasTag = false;
    std::optional<std::array<uint8_t, ID3v1Size>> ID3v1;
};

TTagPlace FindTag(rtl::TStream& S)
{
    TTagPlace place;
    const int64_t size = S.Size();
    if (size >= ID3v1Size) {
        std::array<uint8_t, ID3v1Size> v1{};
        S.SetPosition(size - ID3v1Size);
        if (S.Read(v1.data(), ID3v1Size) == ID3v1Size && std::memcmp(v1.data(), "TAG", 3) == 0) place.ID3v1 = v1;
    }
    place.FooterAt = size - BlockSize - (place.ID3v1 ? ID3v1Size : 0);
    if (place.FooterAt < 0) return place;
    S.SetPosition(place.FooterAt);
    place.HasTag = HasAPEv2Preamble(S);
    return place;
}

// Reads the footer's fields (the stream stands after the preamble); false when fewer than 24 bytes remain.
bool ReadFooter(rtl::TStream& S, TFooter& F)
{
    uint8_t b[24];
    if (S.Read(b, 24) != 24) return false;
    F.Version = GetLE32(b);
    F.TagSize = GetLE32(b + 4);
    F.ItemCount = GetLE32(b + 8);
    F.Flags = GetLE32(b + 12);
    F.ReservedZero = std::all_of(b + 16, b + 24, [](uint8_t c) { return c == 0; });
    return true;
}

// Where an existing tag starts: its header when it has one, else its first item; -1 when the tag
// claims more bytes than lie before its footer.
int64_t TagStart(const TTagPlace& Place, const TFooter& F)
{
    const int64_t firstItem = Place.FooterAt + BlockSize - int64_t(F.TagSize);
    const int64_t start = firstItem - ((F.Flags & FlagHasHeader) ? BlockSize : 0);
    if (F.TagSize < BlockSize || start < 0) return -1;
    return start;
}

// Finds an existing tag for replacing or stripping it: a unit result, and where writing starts.
int PlanReplace(rtl::TStream& S, TTagPlace& Place, int64_t& Start, bool CheckFlags)
{
    Place = FindTag(S);
    if (!Place.HasTag) {
        Start = S.Size() - (Place.ID3v1 ? ID3v1Size : 0);
        return APEV2LIBRARY_ERROR_NO_TAG_FOUND;
    }
    TFooter f;
    if (!ReadFooter(S, f) || !f.ReservedZero) return APEV2LIBRARY_ERROR_NOT_SUPPORTED_FORMAT;
    if (f.Version != 2000 && f.Version != 1000) return APEV2LIBRARY_ERROR_NOT_SUPPORTED_VERSION;
    if (CheckFlags && (f.Flags & ~(FlagHasHeader | FlagReadOnly)) != 0) return APEV2LIBRARY_ERROR_CORRUPT;
    Start = TagStart(Place, f);
    return Start < 0 ? APEV2LIBRARY_ERROR_CORRUPT : APEV2LIBRARY_SUCCESS;
}

// Header, items and footer as they are written.
rtl::TBytes BuildTag(const TAPEv2Tag& Tag)
{
    rtl::TBytes out;
    auto block = [&](uint32_t Flags) {
        uint8_t b[BlockSize] = {};
        std::memcpy(b, Preamble, 8);
        PutLE32(b + 8, 2000);
        PutLE32(b + 12, uint32_t(Tag.CalculateTagSize()));
        PutLE32(b + 16, uint32_t(Tag.Frames.size()));
        PutLE32(b + 20, Flags);
        out.insert(out.end(), b, b + BlockSize);
    };
    block(FlagHasHeader | FlagIsHeader);
    for (const auto& frame : Tag.Frames) {
        const rtl::TBytes key = EncodeText(Tag.UpperCaseFieldNamesToWrite ? UpperAscii(frame->Name) : frame->Name);
        uint8_t head[8];
        PutLE32(head, uint32_t(SizeOf(frame->Stream)));
        PutLE32(head + 4, frame->Format == ffBinary ? 2u : 0u);
        out.insert(out.end(), head, head + 8);
        out.insert(out.end(), key.begin(), key.end());
        out.push_back(0);
        out.insert(out.end(), Bytes(frame->Stream), Bytes(frame->Stream) + SizeOf(frame->Stream));
    }
    block(FlagHasHeader);
    return out;
}

// Empty items go; 2 or 3 when nothing is left to write, 0xFFFF for a tag past the 32-bit size field.
int PrepareSave(TAPEv2Tag& Tag)
{
    Tag.RemoveEmptyFrames();
    if (Tag.Frames.empty()) return APEV2LIBRARY_ERROR_EMPTY_TAG;
    if (Tag.CalculateTotalFramesSize() == 0) return APEV2LIBRARY_ERROR_EMPTY_FRAMES;
    if (Tag.CalculateTagSize() > int64_t(UINT32_MAX)) return APEV2LIBRARY_ERROR;
    return APEV2LIBRARY_SUCCESS;
}

// Writes the file again through a new file renamed over it: its bytes up to Start, then Tail.
void ReplaceFileTail(const String& FileName, int Handle, int64_t Start, const rtl::TBytes& Tail)
{
    TReplacementFile out(FileName);
    if (Start > 0) out.CopyFromHandle(Handle, 0, Start);
    if (!Tail.empty()) out.WriteBuffer(Tail.data(), int64_t(Tail.size()));
    out.Commit();
}

} // namespace

// ---- items ------------------------------------------------------------------------------------------

namespace {

// A value as text: the size of a binary one, else the bytes decoded without trailing blanks and controls.
String ValueText(const TAPEv2Frame& Frame, bool& Parsed, String (*Decode)(const uint8_t*, size_t))
{
    const int64_t n = SizeOf(Frame.Stream);
    if (Frame.Format == ffBinary) {
        Parsed = true;
        return u"BINARY "_s + FormatByteCount(n);
    }
    if (n == 0) return String();
    Parsed = true;
    return TrimTrailingControls(Decode(Bytes(Frame.Stream), size_t(n)));
}

String DecodeANSI(const uint8_t* Data, size_t Size) { return rtl::TEncoding::ANSI()->GetString(Data, Size); }

} // namespace

String TAPEv2Frame::GetAsText() const { return ValueText(*this, AlreadyParsed, DecodeText); }
String TAPEv2Frame::GetAsTextANSI() const { return ValueText(*this, AlreadyParsed, DecodeANSI); }

bool TAPEv2Frame::SetAsText(const String& Text)
{
    ReplaceValue(Stream, EncodeText(Text));
    Format = ffText;
    return true;
}

bool TAPEv2Frame::SetAsList(const rtl::TStrings& List)
{
    ReplaceValue(Stream, NameValueLines(List, EncodeText));
    Format = ffText;
    return true;
}

bool TAPEv2Frame::GetAsList(rtl::TStrings& List) const
{
    List.Clear();
    if (Format != ffText) return false;
    AlreadyParsed = true;
    const std::vector<rtl::TBytes> lines = CrLfLines(Bytes(Stream), SizeOf(Stream), true);
    bool any = false;
    for (size_t i = 0; i + 1 < lines.size(); i += 2) {
        const String name = TrimTrailingControls(DecodeText(lines[i].data(), lines[i].size()));
        const String value = TrimTrailingControls(DecodeText(lines[i + 1].data(), lines[i + 1].size()));
        List.Add(name + u'=' + value);
        any = true;
    }
    return any;
}

bool TAPEv2Frame::IsCoverArt() const
{
    if (Format != ffBinary) return false;
    if (rtl::SameText(Name, CoverArtKey)) return true;
    return SniffCoverArtValue(Bytes(Stream), SizeOf(Stream)).Start >= 0;
}

int TAPEv2Frame::Index() const
{
    if (!Parent) return -1;
    for (size_t i = 0; i < Parent->Frames.size(); ++i)
        if (Parent->Frames[i].get() == this) return int(i);
    return -1;
}

// ---- the tag ----------------------------------------------------------------------------------------

TAPEv2Tag::TAPEv2Tag() { Frames.reserve(256); }
TAPEv2Tag::~TAPEv2Tag() = default;

void TAPEv2Tag::Clear()
{
    Frames.clear();
    Frames.reserve(256);
    FileName.clear();
    Loaded = false;
    Version = Flags = Size = 0;
    FFileSize = 0;
}

TAPEv2Frame* TAPEv2Tag::AddFrame(const String& Name) { return AppendNamedItem(Frames, this, Name); }
bool TAPEv2Tag::DeleteFrame(int FrameIndex) { return DeleteItemAt(Frames, FrameIndex); }
void TAPEv2Tag::DeleteAllFrames() { Frames.clear(); }
void TAPEv2Tag::DeleteAllCoverArts() { DeleteItemsWhere(Frames, [](const TAPEv2Frame& f) { return f.IsCoverArt(); }); }
void TAPEv2Tag::RemoveEmptyFrames()
{
    DeleteItemsWhere(Frames, [](const TAPEv2Frame& f) { return SizeOf(f.Stream) == 0; });
}

int TAPEv2Tag::AddBinaryFrame(const String& Name, rtl::TStream& BinaryStream, int64_t DataSize)
{
    TAPEv2Frame* frame = AddFrame(Name);
    const int64_t at = BinaryStream.Position();
    if (DataSize > 0) frame->Stream.CopyFrom(BinaryStream, DataSize);
    frame->Stream.SetPosition(0);
    BinaryStream.SetPosition(at);
    frame->Format = ffBinary;
    return Count() - 1;
}

int TAPEv2Tag::AddCoverArtFrame(const String& Name, rtl::TStream* PictureStream, const String& Description)
{
    rtl::TMemoryStream value;
    const rtl::TBytes description = EncodeText(Description);
    if (!description.empty()) value.WriteBuffer(description.data(), int64_t(description.size()));
    const uint8_t nul = 0;
    value.WriteBuffer(&nul, 1);
    if (PictureStream) {
        PictureStream->SetPosition(0);
        if (PictureStream->Size() > 0) value.CopyFrom(*PictureStream, PictureStream->Size());
        PictureStream->SetPosition(0);
    }
    value.SetPosition(0);
    return AddBinaryFrame(Name, value, value.Size());
}

bool TAPEv2Tag::GetCoverArtFromFrame(int Index, rtl::TStream& PictureStream, TAPEv2PictureFormat& PictureFormat,
                                     String& Description)
{
    PictureFormat = pfUnknown;
    Description.clear();
    if (Index < 0 || Index >= Count()) return false;
    try {
        const TAPEv2Frame& frame = *Frames[size_t(Index)];
        const uint8_t* data = Bytes(frame.Stream);
        const int64_t size = SizeOf(frame.Stream);
        const TPictureSniff sniff = SniffCoverArtValue(data, size);
        if (sniff.Start < 0) return false;
        PictureStream.Seek(0, rtl::soEnd);
        PictureStream.WriteBuffer(data + sniff.Start, size - sniff.Start);
        PictureStream.SetPosition(0);
        PictureFormat = sniff.Format;
        Description = DecodeText(data, size_t(sniff.DescriptionLength));
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

int64_t TAPEv2Tag::CalculateTotalFramesSize() const
{
    int64_t total = 0;
    for (const auto& frame : Frames) total += SizeOf(frame->Stream) + int64_t(EncodeText(frame->Name).size()) + 9;
    return total;
}

int64_t TAPEv2Tag::CalculateTagSize() const { return CalculateTotalFramesSize() + BlockSize; }

int TAPEv2Tag::LoadFromStream(rtl::TStream& TagStream)
{
    Loaded = false;
    Clear();
    const int64_t start = TagStream.Position();
    bool corrupt = false;
    try {
        FFileSize = TagStream.Size();
        auto done = [&](int Result) {
            TagStream.SetPosition(start);
            return Result;
        };
        const TTagPlace place = FindTag(TagStream);
        if (!place.HasTag) return done(APEV2LIBRARY_ERROR_NO_TAG_FOUND);
        TFooter f;
        if (!ReadFooter(TagStream, f)) return done(APEV2LIBRARY_ERROR_NOT_SUPPORTED_FORMAT);
        Version = f.Version;
        Flags = f.Flags;
        Size = f.TagSize;
        if (f.Version != 2000 && f.Version != 1000) return done(APEV2LIBRARY_ERROR_NOT_SUPPORTED_VERSION);
        // The items lie between the tag's start and its footer; a size reaching past the file is corrupt.
        const int64_t itemsSize = int64_t(f.TagSize) - BlockSize;
        if (itemsSize < 0 || itemsSize > place.FooterAt) return done(APEV2LIBRARY_ERROR_CORRUPT);
        rtl::TBytes items(static_cast<size_t>(itemsSize));
        TagStream.SetPosition(place.FooterAt - itemsSize);
        if (itemsSize > 0) TagStream.ReadBuffer(items.data(), itemsSize);

        size_t at = 0;
        for (uint32_t i = 0; i < f.ItemCount; ++i) {
            if (items.size() - at < 8) return done(APEV2LIBRARY_ERROR_CORRUPT);
            const uint32_t valueSize = GetLE32(&items[at]);
            const uint32_t itemFlags = GetLE32(&items[at + 4]);
            at += 8;
            if (itemFlags & ~uint32_t(7)) corrupt = true;
            if (valueSize > f.TagSize) return done(APEV2LIBRARY_ERROR_CORRUPT);
            const auto nul = std::find(items.begin() + ptrdiff_t(at), items.end(), uint8_t(0));
            if (nul == items.end()) return done(APEV2LIBRARY_ERROR_CORRUPT);
            const size_t keyLength = size_t(nul - items.begin()) - at;
            const String key = DecodeText(&items[at], keyLength);
            at += keyLength + 1;
            if (items.size() - at < valueSize) return done(APEV2LIBRARY_ERROR_CORRUPT);
            const uint32_t type = (itemFlags >> 1) & 3;
            if (type == 0 || type == 1) {
                TAPEv2Frame* frame = AddFrame(key);
                if (valueSize > 0) frame->Stream.WriteBuffer(&items[at], valueSize);
                frame->Stream.SetPosition(0);
                frame->Format = type == 0 ? ffText : ffBinary;
            } else if (type == 3) {
                corrupt = true;
            }
            at += valueSize;
            Loaded = true;
        }
        if (f.Version == 1000) {
            for (auto& frame : Frames)
                if (frame->Format == ffText) {
                    frame->SetAsText(frame->GetAsTextANSI());
                    frame->AlreadyParsed = false;
                }
        }
        return done(APEV2LIBRARY_SUCCESS);
    } catch (const std::exception&) {
        return corrupt ? APEV2LIBRARY_ERROR_CORRUPT : APEV2LIBRARY_ERROR;
    }
}

int TAPEv2Tag::LoadFromFile(const String& AFileName)
{
    Clear();
    Loaded = false;
    std::unique_ptr<rtl::TFileStream> file;
    try {
        if (!rtl::FileExists(AFileName)) return APEV2LIBRARY_ERROR_OPENING_FILE;
        file = std::make_unique<rtl::TFileStream>(AFileName, rtl::fmOpenRead | rtl::fmShareDenyWrite);
    } catch (const std::exception&) {
        return APEV2LIBRARY_ERROR_OPENING_FILE;
    }
    const int result = LoadFromStream(*file);
    if (result == APEV2LIBRARY_SUCCESS || result == APEV2LIBRARY_ERROR_NOT_SUPPORTED_VERSION) FileName = AFileName;
    return result;
}

int TAPEv2Tag::SaveToStream(rtl::TStream& Stream)
{
    if (const int r = PrepareSave(*this)) return r;
    try {
        TTagPlace place;
        int64_t start = 0;
        const int plan = PlanReplace(Stream, place, start, true);
        if (plan != APEV2LIBRARY_SUCCESS && plan != APEV2LIBRARY_ERROR_NO_TAG_FOUND) return plan;
        rtl::TBytes tail = BuildTag(*this);
        if (place.ID3v1) tail.insert(tail.end(), place.ID3v1->begin(), place.ID3v1->end());
        Stream.SetPosition(start);
        Stream.WriteBuffer(tail.data(), int64_t(tail.size()));
        Stream.SetSize(Stream.Position());
        return APEV2LIBRARY_SUCCESS;
    } catch (const std::exception&) {
        return APEV2LIBRARY_ERROR;
    }
}

namespace {

// The file for a tag save or strip: open for writing where that is allowed (InPlace), so that only its
// end is written; otherwise for reading, and the file is then written anew.
std::unique_ptr<rtl::TFileStream> OpenForTail(const String& FileName, bool& InPlace)
{
    try {
        auto file = std::make_unique<rtl::TFileStream>(FileName, rtl::fmOpenReadWrite | rtl::fmShareDenyWrite);
        InPlace = true;
        return file;
    } catch (const std::exception&) {
        InPlace = false;
        return std::make_unique<rtl::TFileStream>(FileName, rtl::fmOpenRead | rtl::fmShareDenyWrite);
    }
}

// The tag lies behind the audio: it is written in place, the audio never touched (the old tail comes
// back when a step fails). A file that may not be written is written anew beside it and renamed over it.
void WriteTail(const String& FileName, rtl::TFileStream* File, bool InPlace, int64_t Start, const rtl::TBytes& Tail)
{
    if (File && InPlace) WriteTailInPlace(File->Handle(), Start, Tail);
    else ReplaceFileTail(FileName, File ? File->Handle() : -1, Start, Tail);
}

} // namespace

int TAPEv2Tag::SaveToFile(const String& AFileName)
{
    if (const int r = PrepareSave(*this)) return r;
    try {
        std::unique_ptr<rtl::TFileStream> file;
        bool inPlace = false;
        if (rtl::FileExists(AFileName)) file = OpenForTail(AFileName, inPlace);
        TTagPlace place;
        int64_t start = 0;
        if (file) {
            const int plan = PlanReplace(*file, place, start, true);
            if (plan != APEV2LIBRARY_SUCCESS && plan != APEV2LIBRARY_ERROR_NO_TAG_FOUND) return plan;
        }
        rtl::TBytes tail = BuildTag(*this);
        if (place.ID3v1) tail.insert(tail.end(), place.ID3v1->begin(), place.ID3v1->end());
        WriteTail(AFileName, file.get(), inPlace, start, tail);
        return APEV2LIBRARY_SUCCESS;
    } catch (const std::exception&) {
        return APEV2LIBRARY_ERROR;
    }
}

int StripAPEv2FromFile(const String& FileName)
{
    try {
        if (!rtl::FileExists(FileName)) return APEV2LIBRARY_ERROR_NO_TAG_FOUND;
        std::unique_ptr<rtl::TFileStream> opened;
        bool inPlace = false;
        try {
            opened = OpenForTail(FileName, inPlace);
        } catch (const std::exception&) {
            return APEV2LIBRARY_ERROR_OPENING_FILE;   // another program is writing it
        }
        rtl::TFileStream& file = *opened;
        TTagPlace place;
        int64_t start = 0;
        if (const int plan = PlanReplace(file, place, start, false)) return plan;
        rtl::TBytes tail;
        if (place.ID3v1) tail.assign(place.ID3v1->begin(), place.ID3v1->end());
        WriteTail(FileName, &file, inPlace, start, tail);
        return APEV2LIBRARY_SUCCESS;
    } catch (const std::exception&) {
        return APEV2LIBRARY_ERROR;
    }
}

bool HasAPEv2Preamble(rtl::TStream& Stream)
{
    try {
        char b[8];
        return Stream.Read(b, 8) == 8 && std::memcmp(b, Preamble, 8) == 0;
    } catch (const std::exception&) {
        return false;
    }
}

String FormatByteCount(int64_t Count)
{
    if (Count < 1024) return String::number(Count) + u" Byte"_s;
    static const char16_t* const Units[] = {u" KB", u" MB", u" GB", u" TB", u" PB", u" EB"};
    int unit = 0;
    double divisor = 1024;
    while (unit < 5 && double(Count) >= divisor * 1024) {
        divisor *= 1024;
        ++unit;
    }
    const double quotient = double(Count) / divisor;
    const int integerDigits = quotient >= 1 ? int(std::floor(std::log10(quotient))) + 1 : 1;
    const int decimals = std::clamp(4 - integerDigits, 0, 2);
    const double scale = std::pow(10.0, decimals);
    const double rounded = std::round(quotient * scale) / scale;
    return rtl::FormatFloat(u"0.00"_s, rounded) + String::fromUtf16(Units[unit]);
}

TPictureSniff SniffCoverArtValue(const uint8_t* Data, int64_t Size)
{
    TPictureSniff sniff;
    const uint8_t* nul = Size > 0 ? static_cast<const uint8_t*>(std::memchr(Data, 0, size_t(Size))) : nullptr;
    if (!nul) return sniff;
    sniff.DescriptionLength = nul - Data;
    struct TSignature {
        const char* Bytes;
        int64_t Length;
        TAPEv2PictureFormat Format;
    };
    static const TSignature Signatures[] = {
        {"\xFF\xD8", 2, pfJPEG}, {"\x89PNG", 4, pfPNG}, {"GIF8", 4, pfGIF}, {"BM", 2, pfBMP}};
    for (int64_t at = sniff.DescriptionLength + 1; at < Size; ++at)
        for (const TSignature& s : Signatures)
            if (Size - at >= s.Length && std::memcmp(Data + at, s.Bytes, size_t(s.Length)) == 0) {
                sniff.Start = at;
                sniff.Format = s.Format;
                return sniff;
            }
    return sniff;
}

} // namespace tags
