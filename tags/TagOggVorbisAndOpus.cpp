// tags/TagOggVorbisAndOpus.cpp: Ogg pages and the Vorbis, Opus and Theora comment headers.
#include "tags/TagOggVorbisAndOpus.h"

#include "tags/SafeFile.h"
#include "tags/TagAPEv2.h"
#include "tags/TagItems.h"

#include "rtl/Classes.h"
#include "rtl/Files.h"
#include "rtl/SysUtils.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

using namespace Qt::Literals::StringLiterals;

namespace tags {

bool OggWritePaddingDefault = false;
int32_t OggPaddingSizeToWriteDefault = 2048;
bool OggUpperCaseFieldNamesToWriteDefault = true;
bool OggParsePlayTimeDefault = false;
bool OggDeepOpusBitRateScanDefault = false;

namespace {

uint32_t GetLE32(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }
uint16_t GetLE16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
void PutLE32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}
uint32_t GetBE32(const uint8_t* p) { return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]; }

void WriteLE32(rtl::TStream& Stream, uint32_t Value)
{
    uint8_t b[4];
    PutLE32(b, Value);
    Stream.WriteBuffer(b, 4);
}

void WriteBE32(rtl::TStream& Stream, uint32_t Value)
{
    const uint8_t b[4] = {uint8_t(Value >> 24), uint8_t(Value >> 16), uint8_t(Value >> 8), uint8_t(Value)};
    Stream.WriteBuffer(b, 4);
}

void WriteBytes(rtl::TStream& Stream, const QByteArray& Bytes)
{
    if (!Bytes.isEmpty()) Stream.WriteBuffer(Bytes.constData(), Bytes.size());
}

constexpr std::array<uint32_t, 256> MakeCRCTable()
{
    std::array<uint32_t, 256> table{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t r = i << 24;
        for (int b = 0; b < 8; ++b) r = (r & 0x80000000u) ? (r << 1) ^ 0x04C11DB7u : r << 1;
        table[i] = r;
    }
    return table;
}
constexpr std::array<uint32_t, 256> CRCTable = MakeCRCTable();

// Eight tables for eight bytes at a time: Tables[k][b] is the CRC of byte b followed by k zero bytes.
constexpr std::array<std::array<uint32_t, 256>, 8> MakeCRCTables()
{
    std::array<std::array<uint32_t, 256>, 8> t{};
    t[0] = MakeCRCTable();
    for (size_t k = 1; k < 8; ++k)
        for (size_t b = 0; b < 256; ++b) t[k][b] = (t[k - 1][b] << 8) ^ t[0][t[k - 1][b] >> 24];
    return t;
}
constexpr std::array<std::array<uint32_t, 256>, 8> CRCTables = MakeCRCTables();

const uint8_t* Bytes(const rtl::TCustomMemoryStream& Stream) { return static_cast<const uint8_t*>(Stream.Memory()); }

// Only a to z change: the names are ASCII by the comment format's own rule.
QByteArray AsciiUpper(QByteArray Name)
{
    for (char& c : Name)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    return Name;
}

bool SameAsciiName(const String& A, const String& B)
{
    if (A.size() != B.size()) return false;
    for (qsizetype i = 0; i < A.size(); ++i) {
        char16_t a = A[i].unicode(), b = B[i].unicode();
        if (a >= u'a' && a <= u'z') a = char16_t(a - 32);
        if (b >= u'a' && b <= u'z') b = char16_t(b - 32);
        if (a != b) return false;
    }
    return true;
}

// ---- wrapping packets into pages --------------------------------------------------------------------

struct TWrapped {
    int32_t Pages = 0;
    int64_t Bytes = 0;
};

// The lacing values of one packet: 255 for every whole segment, then the rest; a packet that is a
// whole number of segments is closed with 0 unless it must stay open.
void AddPacketLacing(std::vector<uint8_t>& Lacing, int64_t Size, bool Close)
{
    for (; Size >= 255; Size -= 255) Lacing.push_back(255);
    if (Size > 0 || Close) Lacing.push_back(uint8_t(Size));
}

// Lays Size bytes out into pages: one packet (FirstPacket < 0), or FirstPacket bytes and then the rest
// as a second packet. Full pages of 17 segments carry the first packet while more than 4335 of its
// bytes are left; everything else goes on the next page, continued on further pages when it needs
// more than 255 lacing values. With Output, the pages are built from Template and appended.
TWrapped WrapPackets(const uint8_t* Data, int64_t Size, int64_t FirstPacket, bool SecondPacketOpen,
                     TOggHeader Template, rtl::TStream* Output)
{
    TWrapped result;
    if (Size <= 0) return result;
    std::vector<uint8_t> lacing;
    if (FirstPacket <= 0 || FirstPacket >= Size) {
        AddPacketLacing(lacing, Size, true);
        FirstPacket = Size;
    } else {
        AddPacketLacing(lacing, FirstPacket, true);
        AddPacketLacing(lacing, Size - FirstPacket, !SecondPacketOpen);
    }
    Template.TypeFlag = 0;
    Template.AbsolutePosition = 0;
    Template.Checksum = 0;
    size_t next = 0;
    int64_t offset = 0;
    std::vector<uint8_t> page;
    while (next < lacing.size()) {
        size_t count;
        if (FirstPacket - offset > TOGGStream::FullPageData) count = TOGGStream::FullPageSegments;
        else count = std::min<size_t>(lacing.size() - next, 255);
        int64_t dataSize = 0;
        for (size_t i = 0; i < count; ++i) dataSize += lacing[next + i];
        if (Output) {
            Template.Segments = uint8_t(count);
            std::copy_n(lacing.begin() + ptrdiff_t(next), count, Template.LacingValues);
            page.assign(size_t(TOggHeader::HeaderSize + count + dataSize), 0);
            Template.WriteHeader(page.data());
            std::memcpy(page.data() + TOggHeader::HeaderSize + count, Data + offset, size_t(dataSize));
            PutLE32(page.data() + 22, OggCRCUpdate(0, page.data(), int64_t(page.size())));
            Output->WriteBuffer(page.data(), int64_t(page.size()));
            Template.TypeFlag = lacing[next + count - 1] == 255 ? 1 : 0;
            ++Template.PageNumber;
        }
        result.Bytes += TOggHeader::HeaderSize + int64_t(count) + dataSize;
        ++result.Pages;
        next += count;
        offset += dataSize;
    }
    return result;
}

std::vector<uint8_t> RemainingBytes(rtl::TStream& Stream)
{
    const int64_t n = Stream.Size() - Stream.Position();
    std::vector<uint8_t> data(size_t(std::max<int64_t>(n, 0)));
    if (n > 0) Stream.ReadBuffer(data.data(), n);
    return data;
}

} // namespace

// ---- pages -------------------------------------------------------------------------------------------

void TOggHeader::ReadHeader(const uint8_t* Data)
{
    std::memcpy(ID, Data, 4);
    StreamVersion = Data[4];
    TypeFlag = Data[5];
    AbsolutePosition = int64_t(uint64_t(GetLE32(Data + 6)) | uint64_t(GetLE32(Data + 10)) << 32);
    Serial = int32_t(GetLE32(Data + 14));
    PageNumber = int32_t(GetLE32(Data + 18));
    Checksum = GetLE32(Data + 22);
    Segments = Data[26];
}

void TOggHeader::WriteHeader(uint8_t* Data) const
{
    std::memcpy(Data, ID, 4);
    Data[4] = StreamVersion;
    Data[5] = TypeFlag;
    PutLE32(Data + 6, uint32_t(uint64_t(AbsolutePosition)));
    PutLE32(Data + 10, uint32_t(uint64_t(AbsolutePosition) >> 32));
    PutLE32(Data + 14, uint32_t(Serial));
    PutLE32(Data + 18, uint32_t(PageNumber));
    PutLE32(Data + 22, Checksum);
    Data[26] = Segments;
    std::memcpy(Data + HeaderSize, LacingValues, Segments);
}

bool TOggHeader::HasCapturePattern() const { return std::memcmp(ID, "OggS", 4) == 0; }

int64_t TOggHeader::DataSize() const
{
    int64_t n = 0;
    for (int i = 0; i < Segments; ++i) n += LacingValues[i];
    return n;
}

uint32_t OggCRCUpdate(uint32_t CRC, const void* Data, int64_t Count)
{
    const auto* p = static_cast<const uint8_t*>(Data);
    const auto& T = CRCTables;
    for (; Count >= 8; Count -= 8, p += 8) {
        const uint32_t a = CRC ^ (uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]);
        CRC = T[7][a >> 24] ^ T[6][(a >> 16) & 0xFF] ^ T[5][(a >> 8) & 0xFF] ^ T[4][a & 0xFF] ^ T[3][p[4]] ^ T[2][p[5]] ^
              T[1][p[6]] ^ T[0][p[7]];
    }
    for (; Count > 0; --Count) CRC = (CRC << 8) ^ CRCTable[(CRC >> 24) ^ *p++];
    return CRC;
}

bool SetOggPageCRC(rtl::TMemoryStream& Page, const TOggHeader& Header)
{
    uint8_t head[TOggHeader::RecordSize];
    Header.WriteHeader(head);
    uint32_t crc = OggCRCUpdate(0, head, TOggHeader::HeaderSize + Header.Segments);
    const int64_t start = TOggHeader::HeaderSize + Header.Segments;
    const int64_t size = Header.DataSize();
    if (Page.Size() < start + size) return false;
    crc = OggCRCUpdate(crc, Bytes(Page) + start, size);
    Page.SetPosition(22);
    WriteLE32(Page, crc);
    return true;
}

TOGGStream::TOGGStream(rtl::TStream* SourceStream) : FStream(SourceStream)
{
    if (!FStream) return;
    uint8_t record[TOggHeader::RecordSize] = {};
    const int64_t start = FStream->Position();
    const int64_t got = FStream->Read(record, TOggHeader::RecordSize);
    FStream->SetPosition(start);
    if (got < TOggHeader::HeaderSize) {
        if (got > 0) std::memcpy(FirstOGGHeader.ID, record, size_t(std::min<int64_t>(got, 4)));
        return;
    }
    FirstOGGHeader.ReadHeader(record);
    std::memcpy(FirstOGGHeader.LacingValues, record + TOggHeader::HeaderSize, 255);
}

// A page must be whole: a header, all its lacing values and all its data, or nothing is consumed.
bool TOGGStream::ReadPage(TOggHeader& Header, rtl::TStream* Whole, rtl::TStream* Data)
{
    if (!FStream) return false;
    const int64_t start = FStream->Position();
    uint8_t head[TOggHeader::RecordSize];
    Header = TOggHeader();
    if (FStream->Read(head, TOggHeader::HeaderSize) != TOggHeader::HeaderSize) {
        FStream->SetPosition(start);
        return false;
    }
    Header.ReadHeader(head);
    if (!Header.HasCapturePattern() || FStream->Read(head + TOggHeader::HeaderSize, Header.Segments) != Header.Segments) {
        FStream->SetPosition(start);
        return false;
    }
    std::memcpy(Header.LacingValues, head + TOggHeader::HeaderSize, Header.Segments);
    const int64_t dataSize = Header.DataSize();
    const int64_t dataStart = FStream->Position();
    if (FStream->Size() - dataStart < dataSize) {
        FStream->SetPosition(start);
        return false;
    }
    if (Whole) Whole->WriteBuffer(head, TOggHeader::HeaderSize + Header.Segments);
    if (Whole || Data) {
        std::vector<uint8_t> data(static_cast<size_t>(dataSize));
        if (dataSize > 0) FStream->ReadBuffer(data.data(), dataSize);
        if (Whole && dataSize > 0) Whole->WriteBuffer(data.data(), dataSize);
        if (Data && dataSize > 0) Data->WriteBuffer(data.data(), dataSize);
    } else {
        FStream->SetPosition(dataStart + dataSize);
    }
    ++LastPageQueried;
    return true;
}

bool TOGGStream::GetNextPage(rtl::TStream& Stream)
{
    TOggHeader header;
    try {
        return ReadPage(header, &Stream, nullptr);
    } catch (const std::exception&) {
        return false;
    }
}

bool TOGGStream::GetNextPageData(rtl::TStream& Stream)
{
    TOggHeader header;
    try {
        return ReadPage(header, nullptr, &Stream);
    } catch (const std::exception&) {
        return false;
    }
}

bool TOGGStream::GetNextPageHeader(TOggHeader& OggHeader, rtl::TStream* Stream)
{
    try {
        return ReadPage(OggHeader, Stream, nullptr);
    } catch (const std::exception&) {
        return false;
    }
}

int32_t TOGGStream::CreateTagStream(rtl::TStream& TagStream, rtl::TStream& OutputOGGStream, uint32_t StartPageNumber)
{
    try {
        const std::vector<uint8_t> data = RemainingBytes(TagStream);
        TOggHeader header = FirstOGGHeader;
        header.PageNumber = int32_t(StartPageNumber);
        return WrapPackets(data.data(), int64_t(data.size()), -1, false, header, &OutputOGGStream).Pages;
    } catch (const std::exception&) {
        return 0;
    }
}

int32_t TOGGStream::CreateTagStreamVorbis(int32_t TagSize, rtl::TStream& TagStream, rtl::TStream& OutputOGGStream,
                                          bool SecondPacketOpen)
{
    try {
        const std::vector<uint8_t> data = RemainingBytes(TagStream);
        return WrapPackets(data.data(), int64_t(data.size()), TagSize, SecondPacketOpen, FirstOGGHeader, &OutputOGGStream)
            .Pages;
    } catch (const std::exception&) {
        return 0;
    }
}

int32_t TOGGStream::CalculateWrappedStreamSize(int32_t InputDataSize) const
{
    return int32_t(WrapPackets(nullptr, InputDataSize, -1, false, FirstOGGHeader, nullptr).Bytes);
}

int32_t TOGGStream::CalculateWrappedStreamSizeVorbis(int32_t TagSize, int32_t InputDataSize, bool SecondPacketOpen) const
{
    return int32_t(WrapPackets(nullptr, InputDataSize, TagSize, SecondPacketOpen, FirstOGGHeader, nullptr).Bytes);
}

int32_t TOGGStream::CalculateWrappedStreamSizeEx(int32_t InputDataSize, int32_t MustFitSize, int32_t& PaddingNeeded) const
{
    int64_t a = int64_t(InputDataSize) + MustFitSize;
    int64_t result = 0;
    while (a > 0) {
        int64_t piece;
        int64_t segments;
        if (a > FullPageData || a < MustFitSize) {
            piece = FullPageData;
            segments = FullPageSegments;
            if (a < MustFitSize) PaddingNeeded = FullPageData - MustFitSize;
        } else {
            piece = a;
            segments = a / 255 + (a % 255 != 0 ? 1 : 0);
        }
        a -= piece;
        result += TOggHeader::HeaderSize + segments + piece;
    }
    return int32_t(result);
}

// Pages are taken from a large read buffer and written in large blocks: a file of any size costs two
// buffers of memory and few system calls.
bool TOGGStream::Renumber(bool Consecutive, int64_t Start, rtl::TStream& Source, rtl::TStream& Destination, int32_t Serial)
{
    constexpr int64_t LargestPage = TOggHeader::RecordSize + 255 * 255;
    try {
        int64_t consumed = Source.Position();   // file position of in[at]
        const int64_t end = Source.Size();
        // A megabyte at a time, or less for what is left of a small file: never less than a page.
        const size_t BlockSize = size_t(std::clamp<int64_t>(end - consumed, LargestPage, 1 << 20));
        std::vector<uint8_t> in(BlockSize), out;
        out.reserve(BlockSize);
        size_t have = 0, at = 0;
        int64_t n = Start;
        auto fill = [&] {
            std::memmove(in.data(), in.data() + at, have - at);
            have -= at;
            at = 0;
            const int64_t got = Source.Read(in.data() + have, int64_t(in.size() - have));
            if (got > 0) have += size_t(got);
        };
        auto flush = [&] {
            if (!out.empty()) Destination.WriteBuffer(out.data(), int64_t(out.size()));
            out.clear();
        };
        while (consumed < end) {
            if (have - at < size_t(LargestPage)) fill();
            const size_t left = have - at;
            const uint8_t* p = in.data() + at;
            size_t size = 0;
            if (left >= size_t(TOggHeader::HeaderSize) && std::memcmp(p, "OggS", 4) == 0 && left >= size_t(27 + p[26])) {
                size = 27 + p[26];
                for (int i = 0; i < p[26]; ++i) size += p[27 + i];
            }
            if (size == 0 || size > left) {
                // Not a page (trailing bytes of another kind, or a cut page): kept as they are.
                flush();
                Source.SetPosition(consumed);
                Destination.CopyFrom(Source, end - consumed);
                return true;
            }
            const size_t o = out.size();
            out.insert(out.end(), p, p + size);
            uint8_t* page = out.data() + o;
            if (int32_t(GetLE32(page + 14)) == Serial) {
                const uint32_t number = Consecutive ? uint32_t(n) : GetLE32(page + 18) + uint32_t(Start);
                PutLE32(page + 18, number);
                PutLE32(page + 22, 0);
                PutLE32(page + 22, OggCRCUpdate(0, page, int64_t(size)));
                ++n;
            }
            ++LastPageQueried;
            at += size;
            consumed += int64_t(size);
            if (out.size() >= BlockSize) flush();
        }
        flush();
        Source.SetPosition(consumed);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool TOGGStream::ReNumberPages(int64_t PageNumberStartsFrom, rtl::TStream& Source, rtl::TStream& Destination, int32_t Serial)
{
    return Renumber(true, PageNumberStartsFrom, Source, Destination, Serial);
}

bool TOGGStream::ReNumberPagesTheora(int64_t PageNumberStartsFrom, rtl::TStream& Source, rtl::TStream& Destination,
                                     int32_t Serial)
{
    return Renumber(false, PageNumberStartsFrom, Source, Destination, Serial);
}

// ---- one comment -------------------------------------------------------------------------------------

String TOpusTagFrame::GetAsText() const
{
    switch (Format) {
    case otffText:
        AlreadyParsed = true;
        return String::fromUtf8(reinterpret_cast<const char*>(Stream.Memory()), qsizetype(Stream.Size()));
    case otffCoverArt: return u"COVER ART BINARY "_s + FormatByteCount(Stream.Size());
    case otffBinary: return u"BINARY "_s + FormatByteCount(Stream.Size());
    default: return {};
    }
}

bool TOpusTagFrame::SetAsText(const String& Text)
{
    Stream.Clear();
    WriteBytes(Stream, Text.toUtf8());
    Format = otffText;
    return true;
}

bool TOpusTagFrame::SetAsList(const rtl::TStrings& List)
{
    Stream.Clear();
    for (int i = 0; i < List.Count(); ++i) {
        WriteBytes(Stream, List.Names(i).toUtf8() + "\r\n");
        WriteBytes(Stream, List.ValueFromIndex(i).toUtf8() + "\r\n");
    }
    Format = otffText;
    return true;
}

bool TOpusTagFrame::GetAsList(rtl::TStrings& List) const
{
    List.Clear();
    if (Format != otffText) return false;
    std::vector<QByteArray> lines;
    QByteArray line;
    const uint8_t* p = Bytes(Stream);
    const int64_t size = Stream.Size();
    for (int64_t i = 0; i < size; ++i) {
        if (p[i] == '\r') {
            if (i + 1 < size && p[i + 1] == '\n') {
                lines.push_back(line);
                line.clear();
                ++i;
            }
            continue;   // a lone CR is dropped
        }
        line.append(char(p[i]));
    }
    if (!line.isEmpty()) lines.push_back(line);
    for (size_t i = 0; i + 1 < lines.size(); i += 2)
        List.Add(String::fromUtf8(lines[i]) + u'=' + String::fromUtf8(lines[i + 1]));
    AlreadyParsed = true;
    return List.Count() > 0;
}

int32_t TOpusTagFrame::CalculateTotalFrameSize() const { return int32_t(Name.toUtf8().size() + 1 + Stream.Size()); }

int TOpusTagFrame::GetIndex() const
{
    for (int i = 0; i < Parent->Count(); ++i)
        if (Parent->Frames[size_t(i)].get() == this) return i;
    return -1;
}

// ---- the comment list ----------------------------------------------------------------------------------

TOpusTag::TOpusTag() { FillDefault(); }

TOpusTag::~TOpusTag() = default;

void TOpusTag::FillDefault()
{
    for (TOggHeader* page : {&Info.FPage, &Info.SPage}) {
        *page = TOggHeader();
        std::memcpy(page->ID, "OggS", 4);
        page->PageNumber = page == &Info.FPage ? 1 : 2;
        page->Segments = 1;
        page->LacingValues[0] = 19;
    }
    Info.OpusParameters = TOpusHeader();
    std::memcpy(Info.OpusParameters.ID, "OpusHead", 8);
    std::memcpy(Info.Tag.ID, "OpusTags", 8);
    Info.Tag.Fields = 0;
    std::memcpy(Info.VorbisTag.ID, "\x03vorbis", 7);
    std::memcpy(Info.TheoraHeader.ID, "\x81theora", 7);
    Info.SPagePos = 47;
}

void TOpusTag::DeleteAllFrames() { Frames.clear(); }

void TOpusTag::Clear()
{
    DeleteAllFrames();
    FileName.clear();
    VendorString.clear();
    Loaded = false;
    std::memset(Info.ChannelMapping, 0, sizeof Info.ChannelMapping);
    FFileSize = 0;
}

TOpusTagFrame* TOpusTag::AddFrame(const String& Name)
{
    try {
        return AppendNamedItem(Frames, this, Name);
    } catch (const std::exception&) {
        return nullptr;
    }
}

bool TOpusTag::DeleteFrame(int FrameIndex) { return DeleteItemAt(Frames, FrameIndex); }

void TOpusTag::DeleteAllCoverArts() { DeleteItemsWhere(Frames, [](const TOpusTagFrame& f) { return f.IsCoverArt(); }); }

int TOpusTag::FrameExists(const String& Name) const
{
    for (int i = 0; i < Count(); ++i)
        if (SameAsciiName(Frames[size_t(i)]->Name, Name)) return i;
    return -1;
}

int TOpusTag::AddTextFrame(const String& Name, const String& Text)
{
    TOpusTagFrame* frame = AddFrame(Name);
    if (!frame) return -1;
    frame->SetAsText(Text);
    return Count() - 1;
}

void TOpusTag::SetTextFrameText(const String& Name, const String& Text)
{
    const int i = FrameExists(Name);
    if (i >= 0) Frames[size_t(i)]->SetAsText(Text);
    else AddTextFrame(Name, Text);
}

String TOpusTag::ReadFrameByNameAsText(const String& Name) const
{
    const int i = FrameExists(Name);
    return i >= 0 ? Frames[size_t(i)]->GetAsText() : String();
}

int32_t TOpusTag::CalculateTotalFramesSize() const
{
    int32_t size = 0;
    for (const auto& frame : Frames) size += frame->CalculateTotalFrameSize() + 4;
    return size;
}

int32_t TOpusTag::CalculateTagSize(bool IncludePadding) const
{
    int32_t size = CalculateTotalFramesSize() + int32_t(VendorString.toUtf8().size()) + 16;
    if (!IncludePadding) {
        const int padding = FrameExists(u"PADDING"_s);
        if (padding >= 0) size -= Frames[size_t(padding)]->CalculateTotalFrameSize();
    }
    return size;
}

void TOpusTag::BuildTag(rtl::TStream& Stream, int32_t PaddingSize) const
{
    switch (Format) {
    case ofOpus: Stream.WriteBuffer("OpusTags", 8); break;
    case ofVorbis: Stream.WriteBuffer("\x03vorbis", 7); break;
    case ofTheora: Stream.WriteBuffer("\x81theora", 7); break;
    default: break;
    }
    const QByteArray vendor = VendorString.toUtf8();
    WriteLE32(Stream, uint32_t(vendor.size()));
    WriteBytes(Stream, vendor);
    WriteLE32(Stream, uint32_t(Frames.size()));
    for (const auto& frame : Frames) {
        QByteArray name = frame->Name.toUtf8();
        if (UpperCaseFieldNamesToWrite) name = AsciiUpper(name);
        WriteLE32(Stream, uint32_t(name.size() + 1 + frame->Stream.Size()));
        WriteBytes(Stream, name + '=');
        if (frame->Stream.Size() > 0) Stream.WriteBuffer(frame->Stream.Memory(), frame->Stream.Size());
    }
    if (Format == ofVorbis) Stream.WriteBuffer("\x01", 1);
    if (PaddingSize > 0) {
        const std::vector<uint8_t> zeros(size_t(PaddingSize), 0);
        Stream.WriteBuffer(zeros.data(), PaddingSize);
    }
    Stream.SetPosition(0);
}

// ---- cover pictures ----------------------------------------------------------------------------------

namespace {

// Characters outside the alphabet are skipped; "=" ends a group early.
QByteArray Base64Decode(const QByteArray& Text)
{
    static constexpr char Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    QByteArray out;
    uint32_t group = 0;
    int have = 0;
    auto endGroup = [&] {
        if (have == 2) out.append(char(group >> 4 & 0xFF));
        if (have == 3) out.append(char(group >> 10 & 0xFF)).append(char(group >> 2 & 0xFF));
        group = 0;
        have = 0;
    };
    for (const char c : Text) {
        if (c == '=') {
            endGroup();
            continue;
        }
        const char* at = c != 0 ? std::strchr(Alphabet, c) : nullptr;
        if (!at) continue;
        group = group << 6 | uint32_t(at - Alphabet);
        if (++have == 4) {
            out.append(char(group >> 16 & 0xFF)).append(char(group >> 8 & 0xFF)).append(char(group & 0xFF));
            group = 0;
            have = 0;
        }
    }
    endGroup();
    return out;
}

} // namespace

bool TOpusTag::SetCoverArtFrame(int Index, rtl::TStream* PictureStream, const TOpusVorbisCoverArtInfo& CoverArtInfo)
{
    TOpusTagFrame& frame = *Frames.at(size_t(Index));
    if (frame.Name != u"METADATA_BLOCK_PICTURE"_s) return false;
    frame.Stream.Clear();
    bool ok = true;
    try {
        rtl::TMemoryStream block;
        WriteBE32(block, CoverArtInfo.PictureType);
        const QByteArray mime = CoverArtInfo.MIMEType.toLower().toUtf8();
        WriteBE32(block, uint32_t(mime.size()));
        WriteBytes(block, mime);
        const QByteArray description = CoverArtInfo.Description.toUtf8();
        WriteBE32(block, uint32_t(description.size()));
        WriteBytes(block, description);
        WriteBE32(block, CoverArtInfo.Width);
        WriteBE32(block, CoverArtInfo.Height);
        WriteBE32(block, CoverArtInfo.ColorDepth);
        WriteBE32(block, CoverArtInfo.NoOfColors);
        if (PictureStream) {
            WriteBE32(block, uint32_t(PictureStream->Size()));
            PictureStream->SetPosition(0);
            if (PictureStream->Size() > 0) block.CopyFrom(*PictureStream, PictureStream->Size());
        } else {
            WriteBE32(block, 0);
        }
        WriteBytes(frame.Stream,
                   QByteArray::fromRawData(reinterpret_cast<const char*>(block.Memory()), qsizetype(block.Size())).toBase64());
    } catch (const std::exception&) {
        ok = false;
    }
    frame.Format = otffCoverArt;
    return ok;
}

int TOpusTag::AddCoverArtFrame(rtl::TStream* PictureStream, const TOpusVorbisCoverArtInfo& CoverArtInfo)
{
    try {
        if (!AddFrame(u"METADATA_BLOCK_PICTURE"_s)) return -1;
        const int index = Count() - 1;
        if (!SetCoverArtFrame(index, PictureStream, CoverArtInfo)) {
            DeleteFrame(index);
            return -1;
        }
        return index;
    } catch (const std::exception&) {
        return -1;
    }
}

bool TOpusTag::GetCoverArtFromFrame(int Index, rtl::TStream& PictureStream, TOpusVorbisCoverArtInfo& CoverArtInfo)
{
    const TOpusTagFrame& frame = *Frames.at(size_t(Index));
    CoverArtInfo.PictureType = 0;
    CoverArtInfo.MIMEType.clear();
    CoverArtInfo.Description.clear();
    CoverArtInfo.Width = CoverArtInfo.Height = CoverArtInfo.ColorDepth = CoverArtInfo.NoOfColors = 0;
    if (frame.Name != u"METADATA_BLOCK_PICTURE"_s) return false;
    try {
        const QByteArray block = Base64Decode(
            QByteArray::fromRawData(static_cast<const char*>(frame.Stream.Memory()), qsizetype(frame.Stream.Size())));
        const auto* p = reinterpret_cast<const uint8_t*>(block.constData());
        const int64_t size = block.size();
        int64_t at = 0;
        // Every length is checked against what the block holds before it is used.
        auto u32 = [&](uint32_t& Value) {
            if (size - at < 4) return false;
            Value = GetBE32(p + at);
            at += 4;
            return true;
        };
        auto text = [&](String& Value) {
            uint32_t n = 0;
            if (!u32(n) || uint64_t(size - at) < n) return false;
            Value = String::fromUtf8(block.constData() + at, qsizetype(n));
            at += n;
            return true;
        };
        uint32_t dataSize = 0;
        if (!u32(CoverArtInfo.PictureType) || !text(CoverArtInfo.MIMEType) || !text(CoverArtInfo.Description) ||
            !u32(CoverArtInfo.Width) || !u32(CoverArtInfo.Height) || !u32(CoverArtInfo.ColorDepth) ||
            !u32(CoverArtInfo.NoOfColors) || !u32(dataSize) || uint64_t(size - at) < dataSize)
            return false;
        CoverArtInfo.SizeOfPictureData = dataSize;
        if (dataSize > 0) PictureStream.WriteBuffer(p + at, dataSize);
        PictureStream.SetPosition(0);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

// ---- loading -----------------------------------------------------------------------------------------

int TOpusTag::LoadFromFile(const String& AFileName)
{
    Loaded = false;
    Format = ofUnknown;
    std::unique_ptr<rtl::TFileStream> file;
    try {
        if (!rtl::FileExists(AFileName)) return OPUSTAGLIBRARY_ERROR_OPENING_FILE;
        file = std::make_unique<rtl::TFileStream>(AFileName, rtl::fmOpenRead | rtl::fmShareDenyWrite);
    } catch (const std::exception&) {
        return OPUSTAGLIBRARY_ERROR_OPENING_FILE;
    }
    const int result = LoadFromStream(*file);
    if (result == OPUSTAGLIBRARY_SUCCESS) FileName = AFileName;
    return result;
}

int TOpusTag::LoadFromStream(rtl::TStream& Stream)
{
    Loaded = false;
    Format = ofUnknown;
    Clear();
    try {
        FFileSize = Stream.Size();
        const int64_t start = Stream.Position();
        Stream.SetPosition(0);
        const bool found = GetInfo(Stream);
        Stream.SetPosition(start);
        Loaded = found;
    } catch (const std::exception&) {
        Loaded = false;
    }
    return Loaded ? OPUSTAGLIBRARY_SUCCESS : OPUSTAGLIBRARY_ERROR;
}

bool TOpusTag::GetInfo(rtl::TStream& SourceFile)
{
    Info.FileSize = SourceFile.Size();
    Info.ID3v2Size = 0;
    uint8_t id3[10] = {};
    if (SourceFile.Read(id3, 10) == 10 && std::memcmp(id3, "ID3", 3) == 0) {
        const int64_t size = 10 + (int64_t(id3[6] & 0x7F) << 21 | int64_t(id3[7] & 0x7F) << 14 |
                                   int64_t(id3[8] & 0x7F) << 7 | int64_t(id3[9] & 0x7F));
        Info.ID3v2Size = size > Info.FileSize ? 0 : size;
    }
    SourceFile.SetPosition(Info.ID3v2Size);
    TOGGStream pages(&SourceFile);
    if (!pages.FirstOGGHeader.HasCapturePattern()) return false;
    FirstOGGPage.Clear();
    if (!pages.GetNextPageData(FirstOGGPage)) return false;
    Info.SPagePos = Info.TagEndPos = SourceFile.Position();
    Info.ForeignPages.clear();
    Info.VorbisDataOpen = false;
    VorbisData.Clear();

    const uint8_t* first = Bytes(FirstOGGPage);
    const int64_t firstSize = FirstOGGPage.Size();
    rtl::TMemoryStream buffer;
    TOggHeader header;
    bool read = false;
    for (int tries = 0; tries < 18 && !read; ++tries) {
        Info.SPagePos = SourceFile.Position();
        buffer.Clear();
        if (!pages.ReadPage(header, nullptr, &buffer)) break;
        const uint8_t* p = Bytes(buffer);
        const int64_t n = buffer.Size();
        if (tries == 0 && n >= 8 && std::memcmp(p, "OpusTags", 8) == 0) {
            Format = ofOpus;
            if (firstSize >= 19) {
                TOpusHeader& h = Info.OpusParameters;
                std::memcpy(h.ID, first, 8);
                h.BitstreamVersion = first[8];
                h.ChannelCount = first[9];
                h.PreSkip = GetLE16(first + 10);
                h.SampleRate = GetLE32(first + 12);
                h.OutputGain = int16_t(GetLE16(first + 16));
                h.MappingFamily = first[18];
            }
            buffer.SetPosition(8);
        } else if (tries == 0 && n >= 7 && std::memcmp(p, "\x03vorbis", 7) == 0) {
            Format = ofVorbis;
            if (firstSize >= 30) {
                TVorbisHeader& h = Info.VorbisParameters;
                std::memcpy(h.ID, first, 7);
                h.BitstreamVersion = GetLE32(first + 7);
                h.ChannelMode = first[11];
                h.SampleRate = int32_t(GetLE32(first + 12));
                h.BitRateMaximal = int32_t(GetLE32(first + 16));
                h.BitRateNominal = int32_t(GetLE32(first + 20));
                h.BitRateMinimal = int32_t(GetLE32(first + 24));
                h.BlockSize = first[28];
                h.StopFlag = first[29];
            }
            buffer.SetPosition(7);
        } else if (n >= 7 && std::memcmp(p, "\x81theora", 7) == 0) {
            // A Theora stream alone has its comment header on the second page, beside other streams later.
            Format = ofTheora;
            buffer.SetPosition(7);
        } else {
            continue;
        }
        Info.Serial = header.Serial;
        Info.CommentPageNumber = header.PageNumber;
        read = ReadTag(buffer, pages, SourceFile);
        if (!read) return false;
    }
    Info.HeaderOggPageCount = pages.LastPageQueried;
    if (!read) return false;
    if (ParsePlayTime && (Format == ofVorbis || Format == ofOpus)) ReadAudioFacts(SourceFile);
    return true;
}

// Reads the comment list from Buffer (the comment page's data after the magic), appending the data of
// the stream's following pages as the list needs it; pages of other streams in between are noted.
bool TOpusTag::ReadTag(rtl::TMemoryStream& Buffer, TOGGStream& Pages, rtl::TStream& SourceFile)
{
    Info.CommentPageCount = 1;
    uint8_t lastLacing = 0;
    TOggHeader header;
    auto lastOf = [](const TOggHeader& h) { return h.Segments > 0 ? h.LacingValues[h.Segments - 1] : uint8_t(0); };
    auto need = [&](int64_t Count) {
        // Pages are appended until Count bytes are left after the buffer's position; a length that
        // more than the rest of the file could hold fails at once.
        const int64_t left = Buffer.Size() - Buffer.Position();
        if (Count > left + (SourceFile.Size() - SourceFile.Position())) return false;
        while (Buffer.Size() - Buffer.Position() < Count) {
            const int64_t pos = SourceFile.Position();
            const int64_t keep = Buffer.Position();
            Buffer.Seek(0, rtl::soEnd);
            if (!Pages.ReadPage(header, nullptr, nullptr)) return false;
            if (header.Serial != Info.Serial) {
                Info.ForeignPages.emplace_back(pos, SourceFile.Position() - pos);
                Buffer.SetPosition(keep);
                continue;
            }
            SourceFile.SetPosition(pos);
            if (!Pages.ReadPage(header, nullptr, &Buffer)) return false;
            ++Info.CommentPageCount;
            lastLacing = lastOf(header);
            Buffer.SetPosition(keep);
        }
        return true;
    };
    // The comment page's own last lacing value: its header is read again without moving on.
    {
        const int64_t end = SourceFile.Position();
        SourceFile.SetPosition(Info.SPagePos);
        uint8_t head[TOggHeader::RecordSize];
        if (SourceFile.Read(head, TOggHeader::HeaderSize) == TOggHeader::HeaderSize) {
            header.ReadHeader(head);
            if (SourceFile.Read(header.LacingValues, header.Segments) == header.Segments) lastLacing = lastOf(header);
        }
        SourceFile.SetPosition(end);
    }
    uint8_t b[4];
    if (!need(4)) return false;
    Buffer.ReadBuffer(b, 4);
    const uint32_t vendorLength = GetLE32(b);
    if (!need(vendorLength)) return false;
    QByteArray vendor(qsizetype(vendorLength), Qt::Uninitialized);
    if (vendorLength > 0) Buffer.ReadBuffer(vendor.data(), vendorLength);
    VendorString = String::fromUtf8(vendor);
    if (!need(4)) return false;
    Buffer.ReadBuffer(b, 4);
    const uint32_t count = GetLE32(b);
    Info.Tag.Fields = int32_t(count);
    for (uint32_t i = 0; i < count; ++i) {
        if (!need(4)) return false;
        Buffer.ReadBuffer(b, 4);
        const uint32_t length = GetLE32(b);
        if (!need(length)) return false;
        const uint8_t* item = Bytes(Buffer) + Buffer.Position();
        const auto* equals = static_cast<const uint8_t*>(std::memchr(item, '=', length));
        if (equals) {
            const QByteArray name(reinterpret_cast<const char*>(item), qsizetype(equals - item));
            TOpusTagFrame* frame = AddFrame(String::fromUtf8(AsciiUpper(name)));
            if (!frame) return false;
            const int64_t valueSize = int64_t(length) - (equals - item) - 1;
            if (valueSize > 0) frame->Stream.WriteBuffer(equals + 1, valueSize);
            frame->Stream.SetPosition(0);
            frame->Format = frame->Name == u"METADATA_BLOCK_PICTURE"_s ? otffCoverArt : otffText;
        }
        Buffer.SetPosition(Buffer.Position() + length);
    }
    const uint8_t* p = Bytes(Buffer);
    int64_t at = Buffer.Position();
    const int64_t size = Buffer.Size();
    if (Format == ofVorbis) {
        ++at;   // the framing byte
        while (at < size && p[at] == 0) ++at;
    }
    VorbisData.Clear();
    if (Format != ofOpus && at < size) VorbisData.WriteBuffer(p + at, size - at);
    VorbisData.SetPosition(0);
    // The last page read ends in the middle of a packet: the setup header goes on after TagEndPos.
    Info.VorbisDataOpen = Format != ofOpus && VorbisData.Size() > 0 && lastLacing == 255;
    Info.TagEndPos = SourceFile.Position();
    return true;
}

void TOpusTag::ReadAudioFacts(rtl::TStream& SourceFile)
{
    Info.SampleCount = 0;
    // The last page's header, searched for in the last 40 KB read at once.
    const int64_t size = SourceFile.Size();
    const int64_t tail = std::min<int64_t>(size, 40960 + 4 + TOggHeader::HeaderSize);
    std::vector<uint8_t> buffer(static_cast<size_t>(tail));
    SourceFile.SetPosition(size - tail);
    SourceFile.ReadBuffer(buffer.data(), tail);
    for (int64_t i = 0; i <= 40960 && size - 4 - i >= 0; ++i) {
        const int64_t at = tail - 4 - i;   // size - 4 - i in the file
        if (at < 0) break;
        if (std::memcmp(buffer.data() + at, "OggS", 4) != 0) continue;
        if (at + TOggHeader::HeaderSize <= tail) {
            TOggHeader h;
            h.ReadHeader(buffer.data() + at);
            Info.SampleCount = h.AbsolutePosition;
        }
        break;
    }
    Info.PlayTime = 0;
    if (Format == ofOpus) {
        if (Info.SampleCount > 0) Info.PlayTime = double(Info.SampleCount) / 48000;
    } else if (Info.SampleCount > 0) {
        if (Info.VorbisParameters.SampleRate > 0) Info.PlayTime = double(Info.SampleCount) / Info.VorbisParameters.SampleRate;
    } else if (Info.VorbisParameters.BitRateNominal > 0) {
        // The nominal bit rate is in bit/s.
        Info.PlayTime = double(Info.FileSize - Info.ID3v2Size) * 8 / Info.VorbisParameters.BitRateNominal;
    }
    if (Format == ofVorbis && Info.VorbisParameters.BitRateNominal != 0) {
        Info.BitRate = Info.VorbisParameters.BitRateNominal / 1000;
        return;
    }
    if (Info.PlayTime == 0) {
        Info.BitRate = 0;
        return;
    }
    double bytes = double(Info.FileSize - Info.TagEndPos);
    if (DeepOpusBitRateScan) {
        bytes = 0;
        SourceFile.SetPosition(Info.TagEndPos);
        TOGGStream pages(&SourceFile);
        TOggHeader h;
        while (pages.ReadPage(h, nullptr, nullptr)) bytes += double(h.DataSize());
    }
    Info.BitRate = int32_t(std::nearbyint(bytes / Info.PlayTime / 125));
}

// ---- saving ------------------------------------------------------------------------------------------

bool TOpusTag::AdjustPadding(int64_t TagSize)
{
    int32_t P = PaddingSizeToWrite;
    bool WP = WritePadding;
    auto deletePadding = [this] {
        const int i = FrameExists(u"PADDING"_s);
        if (i >= 0) DeleteFrame(i);
    };
    TOGGStream sizer(nullptr);
    if (!WP || P == 0) {
        deletePadding();
        WP = false;
    } else if (P < 13) {
        P = 13;
    }
    int64_t s = sizer.CalculateWrappedStreamSize(CalculateTagSize(false));
    if (s == TagSize) {
        deletePadding();
        return true;
    }
    bool result = false;
    if (WP) {
        s = sizer.CalculateWrappedStreamSize(CalculateTagSize(true));
        if (s == TagSize) return true;
        const int index = FrameExists(u"PADDING"_s);
        const int32_t padFrameSize = index >= 0 ? Frames[size_t(index)]->CalculateTotalFrameSize() : 0;
        if (P < TagSize - s) return false;
        // The packet without the padding comment; with it, its length field, "PADDING=" and the value.
        // The value is tried one character at a time but set only once, so a large padding costs no
        // rewrite of the comment per character.
        const int64_t rest = CalculateTagSize(true) - (index >= 0 ? padFrameSize + 4 : 0);
        auto wrapped = [&](int64_t ValueBytes) { return int64_t(sizer.CalculateWrappedStreamSize(int32_t(rest + 12 + ValueBytes))); };
        if (s < TagSize && TagSize > 12 && padFrameSize < P) {
            String value = ReadFrameByNameAsText(u"PADDING"_s);
            int64_t bytes = value.toUtf8().size();
            for (;;) {
                value += u'#';
                ++bytes;
                if (P < value.size() + 12) {
                    deletePadding();
                    result = false;
                    break;
                }
                s = wrapped(bytes);
                if (s >= TagSize) {
                    SetTextFrameText(u"PADDING"_s, value);
                    result = s == TagSize;
                    break;
                }
            }
        }
        if (TagSize < s && padFrameSize > 0) {
            String value = ReadFrameByNameAsText(u"PADDING"_s);
            for (;;) {
                value.chop(1);
                if (value.isEmpty()) {
                    deletePadding();
                    break;
                }
                s = wrapped(value.toUtf8().size());
                if (s <= TagSize) {
                    SetTextFrameText(u"PADDING"_s, value);
                    break;
                }
            }
            result = s == TagSize;
        }
    }
    if (WP && !result) {
        // One padding comment: an existing one is resized rather than joined by a second.
        SetTextFrameText(u"PADDING"_s, String(P >= 12 ? P - 11 : 0, u'#'));
    }
    return result;
}

namespace {

// The default first page of a new file: an Opus identification header of zeros.
void WriteDefaultFirstPage(rtl::TStream& Stream, const TFileInfo& Info)
{
    uint8_t page[47] = {};
    TOggHeader header = Info.FPage;
    header.PageNumber = 0;
    header.TypeFlag = 2;   // the first page of the stream
    header.WriteHeader(page);
    std::memcpy(page + 28, Info.OpusParameters.ID, 8);
    PutLE32(page + 22, OggCRCUpdate(0, page, 47));
    Stream.WriteBuffer(page, 47);
}

int64_t ForeignBytes(const TFileInfo& Info)
{
    int64_t n = 0;
    for (const auto& [pos, size] : Info.ForeignPages) n += size;
    return n;
}

} // namespace

int TOpusTag::Save(const String* AFileName, rtl::TStream* Stream)
{
    bool isNew = false;
    try {
        if (FirstOGGPage.Size() == 0 && (Stream ? Stream->Size() == 0 : !rtl::FileExists(*AFileName))) {
            try {
                if (Stream) {
                    WriteDefaultFirstPage(*Stream, Info);
                } else {
                    rtl::TFileStream created(*AFileName, rtl::fmCreate);
                    WriteDefaultFirstPage(created, Info);
                }
            } catch (const std::exception&) {
                return OPUSTAGLIBRARY_ERROR_WRITING_FILE;
            }
            isNew = true;
        }
    } catch (const std::exception&) {
        return OPUSTAGLIBRARY_ERROR;
    }

    TOpusTag target;
    std::unique_ptr<rtl::TFileStream> file;
    try {
        if (Stream) {
            target.LoadFromStream(*Stream);
        } else {
            if (!rtl::FileExists(*AFileName)) return OPUSTAGLIBRARY_ERROR_OPENING_FILE;
            try {
                file = std::make_unique<rtl::TFileStream>(*AFileName, rtl::fmOpenRead | rtl::fmShareDenyWrite);
            } catch (const std::exception&) {
                return OPUSTAGLIBRARY_ERROR_OPENING_FILE;
            }
            target.LoadFromStream(*file);
        }
        if (isNew) {
            target.Format = ofOpus;
            target.Info.SPagePos = target.Info.TagEndPos = 47;
            target.Info.Serial = Info.FPage.Serial;
            target.Info.CommentPageNumber = 1;
            target.Info.CommentPageCount = 0;
        } else if (target.Format == ofUnknown || !target.Loaded) {
            return OPUSTAGLIBRARY_ERROR_NOT_SUPPORTED_FORMAT;
        }

        // The template of the new pages: the old comment header's first page (its stream and version).
        rtl::TStream& source = Stream ? *Stream : static_cast<rtl::TStream&>(*file);
        source.SetPosition(isNew ? 0 : target.Info.SPagePos);
        TOGGStream pages(&source);
        pages.FirstOGGHeader.Serial = target.Info.Serial;
        pages.FirstOGGHeader.PageNumber = target.Info.CommentPageNumber;
        file.reset();

        Format = target.Format;
        if (!target.VendorString.isEmpty()) VendorString = target.VendorString;
        else if (VendorString.isEmpty()) VendorString = u"Unknown vendor"_s;
        VorbisData.Clear();
        if (target.VorbisData.Size() > 0) VorbisData.WriteBuffer(target.VorbisData.Memory(), target.VorbisData.Size());
        const bool open = target.Info.VorbisDataOpen;
        const int64_t tagSize = target.Info.TagEndPos - target.Info.SPagePos - ForeignBytes(target.Info);

        rtl::TMemoryStream packet;
        rtl::TMemoryStream out;
        int32_t n = 0;
        bool inPlace = false;
        if (Format == ofOpus) {
            inPlace = AdjustPadding(tagSize);
            BuildTag(packet, 0);
            n = pages.CreateTagStream(packet, out, uint32_t(target.Info.CommentPageNumber));
        } else {
            int32_t pad = 0;
            if (Format == ofVorbis) {
                const int i = FrameExists(u"PADDING"_s);
                if (i >= 0) DeleteFrame(i);
                const int32_t setup = int32_t(VorbisData.Size());
                const int32_t base = CalculateTagSize(false);
                const int32_t trial = pages.CalculateWrappedStreamSizeVorbis(base, base + setup, open);
                const bool padding = WritePadding && PaddingSizeToWrite != 0;
                if (padding ? tagSize >= trial : trial == tagSize) {
                    // The smallest padding that fills the old pages exactly.
                    int32_t c = 0;
                    for (pad = 0;; ++pad) {
                        c = pages.CalculateWrappedStreamSizeVorbis(base + pad, base + pad + setup, open);
                        if (c >= tagSize || pad >= PaddingSizeToWrite) break;
                    }
                    if (c != tagSize) pad = padding ? PaddingSizeToWrite : 0;
                } else {
                    pad = padding ? PaddingSizeToWrite : 0;
                }
            }
            BuildTag(packet, pad);
            const int32_t tagDataSize = int32_t(packet.Size());
            packet.Seek(0, rtl::soEnd);
            if (VorbisData.Size() > 0) packet.WriteBuffer(VorbisData.Memory(), VorbisData.Size());
            packet.SetPosition(0);
            n = pages.CreateTagStreamVorbis(tagDataSize, packet, out, open);
        }
        if (n <= 0 && packet.Size() > 0) return OPUSTAGLIBRARY_ERROR;
        // In place only when the following pages keep their numbers, so nothing after the header moves.
        inPlace = !isNew && out.Size() == tagSize && n == target.Info.CommentPageCount;
        target.Info.DataPageNumberStartsFrom = Format == ofTheora ? n - target.Info.CommentPageCount - 1
                                                                  : target.Info.CommentPageNumber + n - 1;
        if (Stream) return WriteTagPages(String(), target.Info, out, inPlace, Format, Stream);
        return WriteTagPages(*AFileName, target.Info, out, inPlace, Format, nullptr);
    } catch (const std::exception&) {
        return OPUSTAGLIBRARY_ERROR;
    }
}

int TOpusTag::SaveToFile(const String& AFileName) { return Save(&AFileName, nullptr); }

int TOpusTag::SaveToStream(rtl::TStream& Stream)
{
    Stream.SetPosition(0);
    return Save(nullptr, &Stream);
}

namespace {

// The new pages, the other streams' pages that lay among the old ones, and the renumbered rest.
void WriteNewContent(rtl::TStream& Source, rtl::TStream& Destination, const TFileInfo& Info, rtl::TMemoryStream& Pages,
                     TOggFormat Format)
{
    Destination.WriteBuffer(Pages.Memory(), Pages.Size());
    for (const auto& [pos, size] : Info.ForeignPages) {
        Source.SetPosition(pos);
        Destination.CopyFrom(Source, size);
    }
    Source.SetPosition(Info.TagEndPos);
    if (Source.Position() >= Source.Size()) return;
    TOGGStream rest(&Source);
    const bool ok = Format == ofTheora
                        ? rest.ReNumberPagesTheora(Info.DataPageNumberStartsFrom + 1, Source, Destination, Info.Serial)
                        : rest.ReNumberPages(Info.DataPageNumberStartsFrom + 1, Source, Destination, Info.Serial);
    if (!ok) throw rtl::EWriteError(u"Stream write error"_s);
}

} // namespace

int WriteTagPages(const String& FileName, TFileInfo& Info, rtl::TMemoryStream& Pages, bool InPlace, TOggFormat Format,
                  rtl::TStream* Stream)
{
    try {
        if (Stream) {
            rtl::TMemoryStream destination;
            Stream->SetPosition(0);
            if (Info.SPagePos > 0) destination.CopyFrom(*Stream, Info.SPagePos);
            WriteNewContent(*Stream, destination, Info, Pages, Format);
            Stream->SetSize(0);
            Stream->SetPosition(0);
            Stream->WriteBuffer(destination.Memory(), destination.Size());
            Stream->SetPosition(0);
            return OPUSTAGLIBRARY_SUCCESS;
        }
        if (!rtl::FileExists(FileName)) return OPUSTAGLIBRARY_ERROR_OPENING_FILE;
        if (rtl::FileSetAttr(FileName, 0) != 0) return OPUSTAGLIBRARY_ERROR_OPENING_FILE;
        if (InPlace) {
            std::unique_ptr<rtl::TFileStream> file;
            try {
                file = std::make_unique<rtl::TFileStream>(FileName, rtl::fmOpenReadWrite | rtl::fmShareDenyWrite);
            } catch (const std::exception&) {
                return OPUSTAGLIBRARY_ERROR_FILE_NOT_WRITABLE;
            }
            // Other streams' pages among the old ones move behind the new pages: read them first.
            rtl::TMemoryStream foreign;
            for (const auto& [pos, size] : Info.ForeignPages) {
                file->SetPosition(pos);
                foreign.CopyFrom(*file, size);
            }
            file->SetPosition(Info.SPagePos);
            file->WriteBuffer(Pages.Memory(), Pages.Size());
            if (foreign.Size() > 0) file->WriteBuffer(foreign.Memory(), foreign.Size());
            return OPUSTAGLIBRARY_SUCCESS;
        }
        std::unique_ptr<rtl::TFileStream> source;
        try {
            source = std::make_unique<rtl::TFileStream>(FileName, rtl::fmOpenRead | rtl::fmShareDenyNone);
        } catch (const std::exception&) {
            return OPUSTAGLIBRARY_ERROR_OPENING_FILE;
        }
        std::unique_ptr<TReplacementFile> replacement;
        try {
            replacement = std::make_unique<TReplacementFile>(FileName);
        } catch (const std::exception&) {
            return OPUSTAGLIBRARY_ERROR_WRITING_FILE;
        }
        replacement->CopyFromHandle(source->Handle(), 0, Info.SPagePos);
        replacement->SetPosition(Info.SPagePos);
        WriteNewContent(*source, *replacement, Info, Pages, Format);
        source.reset();
        try {
            replacement->Commit();
        } catch (const std::exception&) {
            return OPUSTAGLIBRARY_ERROR_WRITING_FILE;
        }
        return OPUSTAGLIBRARY_SUCCESS;
    } catch (const std::exception&) {
        return OPUSTAGLIBRARY_ERROR;
    }
}

int StripOggTagsFromFile(const String& FileName, int32_t PaddingSize)
{
    TOpusTag tag;
    // A file without a comment header has nothing to strip: said as the save says it, not as a failure.
    const int loaded = tag.LoadFromFile(FileName);
    if (loaded == OPUSTAGLIBRARY_ERROR_OPENING_FILE) return loaded;
    if (loaded != OPUSTAGLIBRARY_SUCCESS || !tag.Loaded) return OPUSTAGLIBRARY_ERROR_NOT_SUPPORTED_FORMAT;
    for (int i = tag.Count() - 1; i >= 0; --i)
        if (tag.Frames[size_t(i)]->Name != u"ENCODER"_s) tag.DeleteFrame(i);
    tag.PaddingSizeToWrite = PaddingSize;
    return tag.SaveToFile(FileName);
}

} // namespace tags
