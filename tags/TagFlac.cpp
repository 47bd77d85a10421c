// tags/TagFlac.cpp: reading and writing the metadata blocks of native FLAC files.
#include "tags/TagFlac.h"

#include "tags/BufferedStream.h"
#include "tags/SafeFile.h"
#include "tags/TagItems.h"
#include "tags/TagOggVorbisAndOpus.h"
#include "tags/TagValues.h"
#include "tags/Tags.h"

#include "rtl/Classes.h"
#include "rtl/Encoding.h"
#include "rtl/Files.h"
#include "rtl/SysUtils.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <functional>
#include <optional>

using namespace Qt::Literals::StringLiterals;

namespace tags {

const char* const FlacDefaultVendor = "Tunewright tag writer 1.0";

namespace {

uint32_t GetBE32(const uint8_t* P) { return uint32_t(P[0]) << 24 | uint32_t(P[1]) << 16 | uint32_t(P[2]) << 8 | P[3]; }
uint32_t GetLE32(const uint8_t* P) { return uint32_t(P[0]) | uint32_t(P[1]) << 8 | uint32_t(P[2]) << 16 | uint32_t(P[3]) << 24; }
uint32_t GetBE24(const uint8_t* P) { return uint32_t(P[0]) << 16 | uint32_t(P[1]) << 8 | P[2]; }

void PutBE32(rtl::TBytes& Out, uint32_t V)
{
    for (int shift = 24; shift >= 0; shift -= 8) Out.push_back(uint8_t(V >> shift));
}
void PutLE32(rtl::TBytes& Out, uint32_t V)
{
    for (int shift = 0; shift < 32; shift += 8) Out.push_back(uint8_t(V >> shift));
}
void Append(rtl::TBytes& Out, const rtl::TBytes& Bytes) { Out.insert(Out.end(), Bytes.begin(), Bytes.end()); }

void PutBlockHeader(rtl::TBytes& Out, int Type, bool Last, int64_t Length)
{
    Out.push_back(uint8_t(Type | (Last ? 0x80 : 0)));
    Out.push_back(uint8_t(Length >> 16));
    Out.push_back(uint8_t(Length >> 8));
    Out.push_back(uint8_t(Length));
}

[[noreturn]] void Truncated() { throw rtl::EReadError(u"FLAC metadata runs past the end of the file"_s); }

// A length read from the file must fit in what is left before anything is allocated for it.
void CheckLeft(rtl::TStream& S, int64_t Length)
{
    if (Length > S.Size() - S.Position()) Truncated();
}

// Length bytes from the stream's position; nothing without a stream.
rtl::TBytes ReadBody(rtl::TStream* S, int64_t Length)
{
    rtl::TBytes body;
    if (S && Length > 0) {
        body.resize(static_cast<size_t>(Length));
        S->ReadBuffer(body.data(), Length);
    }
    return body;
}

rtl::TBytes ReadAll(rtl::TStream& S)
{
    S.SetPosition(0);
    rtl::TBytes bytes(size_t(S.Size()));
    if (!bytes.empty()) S.ReadBuffer(bytes.data(), int64_t(bytes.size()));
    S.SetPosition(0);
    return bytes;
}

// The file opened with Mode; null when it cannot be opened.
std::unique_ptr<rtl::TFileStream> OpenFile(const String& FileName, uint16_t Mode)
{
    try {
        return std::make_unique<rtl::TFileStream>(FileName, Mode);
    } catch (const std::exception&) {
        return nullptr;
    }
}

// An open file read and written at explicit offsets: seeking costs no system call and the size is the
// one taken when the view was made (a save never grows the file through it), so walking the blocks of a
// small file costs one read.
class TPositionedFile : public rtl::TStream {
public:
    // Null when the file's size cannot be asked.
    static std::unique_ptr<TPositionedFile> Of(rtl::THandleStream& File, struct stat* Info = nullptr)
    {
        struct stat st {};
        if (::fstat(File.Handle(), &st) != 0) return nullptr;
        if (Info) *Info = st;
        return std::unique_ptr<TPositionedFile>(new TPositionedFile(File.Handle(), int64_t(st.st_size)));
    }

    int64_t Read(void* Buffer, int64_t Count) override
    {
        if (Count <= 0 || FPosition < 0) return 0;
        ssize_t n;
        do {
            n = ::pread(FHandle, Buffer, size_t(Count), off_t(FPosition));
        } while (n < 0 && errno == EINTR);
        if (n <= 0) return 0;
        FPosition += n;
        return n;
    }

    int64_t Write(const void* Buffer, int64_t Count) override
    {
        if (Count <= 0 || FPosition < 0) return 0;
        const auto* p = static_cast<const uint8_t*>(Buffer);
        int64_t done = 0;
        while (done < Count) {
            const ssize_t n = ::pwrite(FHandle, p + done, size_t(Count - done), off_t(FPosition + done));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            done += n;
        }
        FPosition += done;
        FSize = std::max(FSize, FPosition);
        return done;
    }

    // As a handle stream: a negative position is refused and the position stays.
    int64_t Seek(int64_t Offset, rtl::TSeekOrigin Origin) override
    {
        const int64_t target = Origin == rtl::soBeginning ? Offset : Origin == rtl::soCurrent ? FPosition + Offset : FSize + Offset;
        if (target < 0) return -1;
        FPosition = target;
        return target;
    }

protected:
    int64_t GetSize() override { return FSize; }

private:
    TPositionedFile(int Handle, int64_t Size) : FHandle(Handle), FSize(Size) {}
    int FHandle;
    int64_t FSize;
    int64_t FPosition = 0;
};

// Writes the file anew beside it and puts the new file in its place; Fill gets the original, open for
// reading, and the new file. On any failure the original stays as it was.
int RewriteFile(const String& FileName, const std::function<bool(rtl::TFileStream&, TReplacementFile&)>& Fill)
{
    try {
        rtl::TFileStream probe(FileName, rtl::fmOpenReadWrite | rtl::fmShareExclusive);
    } catch (const std::exception&) {
        return FLACLIBRARY_ERROR_FILE_NOT_WRITABLE;
    }
    const std::unique_ptr<rtl::TFileStream> source = OpenFile(FileName, rtl::fmOpenRead | rtl::fmShareDenyWrite);
    if (!source) return FLACLIBRARY_ERROR_OPENING_FILE;
    std::optional<TReplacementFile> out;
    try {
        out.emplace(FileName);
    } catch (const std::exception&) {
        return FLACLIBRARY_ERROR_WRITING_FILE;
    }
    if (!Fill(*source, *out)) return FLACLIBRARY_ERROR_WRITING_FILE;
    try {
        out->Commit();
    } catch (const std::exception&) {
        return FLACLIBRARY_ERROR_WRITING_FILE;
    }
    return FLACLIBRARY_SUCCESS;
}

} // namespace

// The file a save works on, open from reading its blocks to writing them in place.
struct TFlacOpenFile {
    std::unique_ptr<rtl::TFileStream> Stream;
    std::unique_ptr<rtl::TStream> View;   // the same file read and written at offsets
    struct stat Info {};                  // as the file was when opened
    bool Writable = false;                // opened for writing
};

// ---------------------------------------------------------------------------------------------
// Vorbis comments

String TVorbisComment::GetAsText() const
{
    if (Format != vcfText) return String();
    AlreadyParsed = true;
    rtl::TBytes value(Bytes(Stream), Bytes(Stream) + SizeOf(Stream));
    for (auto& b : value)
        if (b < 0x20 && b != '\r' && b != '\n') b = ' ';
    return rtl::TEncoding::UTF8()->GetString(value.data(), value.size());
}

bool TVorbisComment::SetAsText(const String& Text)
{
    if (Text.isEmpty()) return Delete();
    ReplaceValue(Stream, rtl::TEncoding::UTF8()->GetBytes(Text));
    Format = vcfText;
    return true;
}

bool TVorbisComment::SetAsList(const rtl::TStrings& List)
{
    ReplaceValue(Stream, NameValueLines(List, [](const String& S) { return rtl::TEncoding::UTF8()->GetBytes(S); }));
    Format = vcfText;
    return true;
}

bool TVorbisComment::GetAsList(rtl::TStrings& List)
{
    List.Clear();
    if (Format != vcfText) return false;
    AlreadyParsed = true;
    const std::vector<rtl::TBytes> lines = CrLfLines(Bytes(Stream), SizeOf(Stream), false);
    auto text = [](const rtl::TBytes& B) { return rtl::TEncoding::UTF8()->GetString(B.data(), B.size()); };
    bool any = false;
    for (size_t i = 0; i + 1 < lines.size(); i += 2) {
        List.Add(text(lines[i]) + u'=' + text(lines[i + 1]));
        any = true;
    }
    return any;
}

int TVorbisComment::Index() const
{
    for (size_t i = 0; i < Parent->Tags.size(); ++i)
        if (Parent->Tags[i].get() == this) return int(i);
    return -1;
}

bool TVorbisComment::Delete() { return Parent && Parent->DeleteFrame(Index()); }

// ---------------------------------------------------------------------------------------------
// Pictures

bool ParseFlacPicture(const rtl::TBytes& Body, TFlacTagCoverArtInfo& Info)
{
    Info = TFlacTagCoverArtInfo();
    size_t at = 0;
    auto number = [&](uint32_t& Value) {
        if (Body.size() - at < 4) return false;
        Value = GetBE32(&Body[at]);
        at += 4;
        return true;
    };
    auto text = [&](bool Utf8, String& Value) {
        uint32_t length = 0;
        if (!number(length) || Body.size() - at < length) return false;
        Value = Utf8 ? rtl::TEncoding::UTF8()->GetString(&Body[at], length)
                     : String::fromLatin1(reinterpret_cast<const char*>(&Body[at]), qsizetype(length));
        at += length;
        return true;
    };
    if (!number(Info.PictureType) || !text(false, Info.MIMEType) || !text(true, Info.Description) ||
        !number(Info.Width) || !number(Info.Height) || !number(Info.ColorDepth) || !number(Info.NoOfColors) ||
        !number(Info.SizeOfPictureData) || Body.size() - at < Info.SizeOfPictureData)
        return false;
    Info.PictureData = Body.data() + at;
    return true;
}

rtl::TBytes BuildFlacPicture(const TFlacTagCoverArtInfo& Info, const uint8_t* Picture, size_t Size)
{
    rtl::TBytes body;
    const QByteArray mime = Info.MIMEType.toLatin1();
    const rtl::TBytes description = rtl::TEncoding::UTF8()->GetBytes(Info.Description);
    PutBE32(body, Info.PictureType);
    PutBE32(body, uint32_t(mime.size()));
    body.insert(body.end(), mime.begin(), mime.end());
    PutBE32(body, uint32_t(description.size()));
    Append(body, description);
    for (uint32_t v : {Info.Width, Info.Height, Info.ColorDepth, Info.NoOfColors, uint32_t(Size)}) PutBE32(body, v);
    if (Size > 0) body.insert(body.end(), Picture, Picture + Size);
    return body;
}

// ---------------------------------------------------------------------------------------------
// The tag object

TFlacTag::TFlacTag() { ResetData(true, true); }
TFlacTag::~TFlacTag() = default;

void TFlacTag::ResetData(bool ClearStreamInfo, bool ClearTags)
{
    if (ClearStreamInfo) {
        FHeader.fill(0);
        FOggFlacHeader.clear();
        FileName.clear();
        FPaddingIndex = 0;
        FPaddingLast = false;
        FPaddingFragments = false;
        FVorbisIndex = 0;
        FPadding = 0;
        FChannels = 0;
        FSampleRate = 0;
        FBitsPerSample = 0;
        FBitrate = 0;
        FFileSize = 0;
        FSamples = 0;
        FVCOffset = 0;
        FAudioOffset = 0;
        FAudioSize = 0;
        FMetaBlocksSize = 0;
        FStreamInfoEnd = 0;
        StreamType = fstUnknown;
        aMetaBlockOther.clear();
    }
    if (ClearTags) {
        VendorString.clear();
        FTagSize = 0;
        FExists = false;
        Tags.clear();
        Tags.reserve(256);
        MetaBlocksCoverArts.clear();
    }
}

void TFlacTag::Clear()
{
    ResetData(true, true);
    FileName.clear();
    VendorString.clear();
    Loaded = false;
}

TVorbisComment* TFlacTag::AddTag(const String& Name) { return AppendNamedItem(Tags, this, Name); }
bool TFlacTag::DeleteFrame(int FrameIndex) { return DeleteItemAt(Tags, FrameIndex); }
void TFlacTag::DeleteAllFrames() { Tags.clear(); }

int TFlacTag::AddMetaDataCoverArt(rtl::TStream* Stream, int64_t Blocklength)
{
    TMetaData block;
    block.MetaDataBlockHeader = {uint8_t(FlacBlockPicture), 0, 0, 0};
    block.BlockType = FlacBlockPicture;
    block.Data = ReadBody(Stream, Blocklength);
    MetaBlocksCoverArts.push_back(std::move(block));
    return int(MetaBlocksCoverArts.size()) - 1;
}

int TFlacTag::AddMetaDataOther(const std::array<uint8_t, 4>& Header, rtl::TStream* Stream, int64_t Blocklength,
                               int BlockType)
{
    TMetaData block;
    block.MetaDataBlockHeader = Header;
    block.BlockType = BlockType;
    block.Data = ReadBody(Stream, Blocklength);
    aMetaBlockOther.push_back(std::move(block));
    return int(aMetaBlockOther.size()) - 1;
}

bool TFlacTag::GetCoverArtInfoPointer(int Index, TFlacTagCoverArtInfo& Info) const
{
    Info = TFlacTagCoverArtInfo();
    if (Index < 0 || Index >= CoverArtCount()) return false;
    return ParseFlacPicture(MetaBlocksCoverArts[size_t(Index)].Data, Info);
}

bool TFlacTag::GetCoverArt(int Index, rtl::TStream& PictureStream, TFlacTagCoverArtInfo& Info)
{
    if (!GetCoverArtInfoPointer(Index, Info)) return false;
    if (Info.SizeOfPictureData > 0) PictureStream.WriteBuffer(Info.PictureData, Info.SizeOfPictureData);
    PictureStream.SetPosition(0);
    return true;
}

bool TFlacTag::SetCoverArt(int Index, rtl::TStream& PictureStream, const TFlacTagCoverArtInfo& Info)
{
    if (Index < 0 || Index >= CoverArtCount()) return false;
    const rtl::TBytes picture = ReadAll(PictureStream);
    TMetaData& block = MetaBlocksCoverArts[size_t(Index)];
    block.Data = BuildFlacPicture(Info, picture.data(), picture.size());
    rtl::TBytes header;
    PutBlockHeader(header, FlacBlockPicture, false, int64_t(block.Data.size()));
    std::copy(header.begin(), header.end(), block.MetaDataBlockHeader.begin());
    ParseFlacPicture(block.Data, block.CoverArtInfo);
    return true;
}

bool TFlacTag::DeleteCoverArt(int Index)
{
    if (Index < 0 || Index >= CoverArtCount()) return false;
    MetaBlocksCoverArts.erase(MetaBlocksCoverArts.begin() + Index);
    return true;
}

void TFlacTag::DeleteAllCoverArts()
{
    for (int i = CoverArtCount() - 1; i >= 0; --i) DeleteCoverArt(i);
}

rtl::TBytes TFlacTag::BuildVorbisCommentBlock()
{
    rtl::TBytes comments;
    uint32_t count = 0;
    for (const auto& comment : Tags) {
        const String value = comment->GetAsText();
        if (value.isEmpty()) continue;
        const String name = UpperCaseFieldNamesToWrite ? UpperAscii(comment->Name) : comment->Name;
        const rtl::TBytes text = rtl::TEncoding::UTF8()->GetBytes(name + u'=' + value);
        PutLE32(comments, uint32_t(text.size()));
        Append(comments, text);
        ++count;
    }
    if (VendorString.isEmpty()) VendorString = String::fromLatin1(FlacDefaultVendor);
    const rtl::TBytes vendor = rtl::TEncoding::UTF8()->GetBytes(VendorString);
    rtl::TBytes body;
    PutLE32(body, uint32_t(vendor.size()));
    Append(body, vendor);
    PutLE32(body, count);
    Append(body, comments);
    return body;
}

int64_t TFlacTag::CalculateVorbisCommentsSize() { return int64_t(BuildVorbisCommentBlock().size()); }

int64_t TFlacTag::CalculateMetaBlocksSize(bool IncludePadding) const
{
    int64_t size = 0;
    for (const auto& block : aMetaBlockOther)
        if (IncludePadding || block.BlockType != FlacBlockPadding) size += int64_t(block.Data.size()) + 4;
    for (const auto& block : MetaBlocksCoverArts) size += int64_t(block.Data.size()) + 4;
    return size;
}

int64_t TFlacTag::CalculateTagSize(bool IncludePadding)
{
    return CalculateVorbisCommentsSize() + CalculateMetaBlocksSize(IncludePadding) + (IncludePadding ? FPadding : 0);
}

bool TFlacTag::GetValid() const
{
    if (StreamType != fstNativeFlac) return false;
    return std::memcmp(FHeader.data(), "fLaC", 4) == 0 && FChannels != 0 && FSampleRate != 0 && FBitsPerSample != 0 &&
           FSamples > 0;
}

double TFlacTag::GetPlaytime() const { return GetValid() ? double(FSamples) / FSampleRate : 0; }

double TFlacTag::GetRatio() const
{
    if (!GetValid()) return 0;
    return double(FAudioSize) / (double(FChannels) * double(FSamples) * FBitsPerSample / 8) * 100;
}

String TFlacTag::GetChannelMode() const
{
    if (!GetValid()) return String();
    return FChannels == 1 ? u"Mono"_s : FChannels == 2 ? u"Stereo"_s : u"Multi Channel"_s;
}

// ---------------------------------------------------------------------------------------------
// Reading

int64_t ReadZeroFilled(rtl::TStream& Stream, void* Buffer, int64_t Count)
{
    std::memset(Buffer, 0, size_t(Count));
    return Stream.Read(Buffer, Count);
}

uint32_t LeadingID3v2Size(rtl::TStream& Stream)
{
    uint8_t b[10];
    Stream.SetPosition(0);
    ReadZeroFilled(Stream, b, 10);
    if (std::memcmp(b, "ID3", 3) != 0) return 0;
    const uint32_t size = (uint32_t(b[6] & 0x7F) << 21 | uint32_t(b[7] & 0x7F) << 14 | uint32_t(b[8] & 0x7F) << 7 |
                           uint32_t(b[9] & 0x7F)) + 10;
    return int64_t(size) > Stream.Size() ? 0 : size;
}

void TFlacTag::ReadVorbisComments(rtl::TStream& Stream, int64_t Length, bool LoadContents)
{
    rtl::TBytes body(static_cast<size_t>(Length));
    Stream.ReadBuffer(body.data(), Length);
    size_t at = 0;
    // Lengths are signed 32-bit in the layout: 2^31 and above count as nothing to read.
    auto number = [&]() -> int64_t {
        if (body.size() - at < 4) Truncated();
        const auto v = int32_t(GetLE32(&body[at]));
        at += 4;
        return v;
    };
    auto bytes = [&](int64_t N) {
        if (N <= 0) return std::pair<const uint8_t*, size_t>(nullptr, 0);
        if (int64_t(body.size() - at) < N) Truncated();
        const std::pair<const uint8_t*, size_t> r(&body[at], size_t(N));
        at += size_t(N);
        return r;
    };
    const auto vendor = bytes(number());
    if (vendor.second > 0) VendorString = rtl::TEncoding::UTF8()->GetString(vendor.first, vendor.second);
    const int64_t count = number();
    FExists = count > 0;
    for (int64_t i = 0; i < count; ++i) {
        const auto text = bytes(number());
        if (text.second == 0 || !LoadContents) continue;
        String decoded;
        if (!rtl::TEncoding::UTF8()->TryGetString(text.first, text.second, decoded)) continue;
        const qsizetype eq = decoded.indexOf(u'=');
        if (eq < 0) continue;
        TVorbisComment* comment = AddTag(UpperAscii(decoded.left(eq)));
        ReplaceValue(comment->Stream, rtl::TEncoding::UTF8()->GetBytes(decoded.mid(eq + 1)));
        comment->Format = vcfText;
    }
}

int TFlacTag::ReadMetaBlocks(rtl::TStream& Stream, bool Buffered, bool LoadContents)
{
    if (!Buffered) return ReadBlocks(Stream, LoadContents);
    TBufferedStream buffered(Stream);
    return ReadBlocks(buffered, LoadContents);
}

int TFlacTag::ReadBlocks(rtl::TStream& S, bool LoadContents)
{
    ResetData(true, false);
    const int64_t size = S.Size();
    if (size == 0) return FLACLIBRARY_ERROR_OPENING_FILE;
    FFileSize = size;
    const uint32_t id3 = LeadingID3v2Size(S);
    S.SetPosition(id3);
    ReadZeroFilled(S, FHeader.data(), int64_t(FHeader.size()));
    if (std::memcmp(FHeader.data(), "fLaC", 4) != 0) return ReadOggBlocks(S, id3, LoadContents);
    StreamType = fstNativeFlac;
    const uint8_t* h = FHeader.data();
    ReadStreamFacts();

    // STREAMINFO is 34 bytes; should a file say otherwise, its own length is what it takes.
    const int64_t streamInfoLength = GetBE24(h + 5);
    FStreamInfoEnd = int64_t(id3) + 8 + streamInfoLength;
    if (streamInfoLength < 34 || FStreamInfoEnd > size) Truncated();
    S.SetPosition(FStreamInfoEnd);

    if (h[4] & 0x80) {
        FAudioOffset = S.Position();
        FAudioSize = FFileSize - FAudioOffset;
        SetBitrate();
        return FLACLIBRARY_ERROR_NO_TAG_FOUND;
    }
    if (!WalkBlocks(S, LoadContents)) return FLACLIBRARY_SUCCESS;
    FAudioOffset = S.Position();
    FAudioSize = FFileSize - FAudioOffset;
    SetBitrate();
    return FLACLIBRARY_SUCCESS;
}

void TFlacTag::ReadStreamFacts()
{
    const uint8_t* h = FHeader.data();
    FSampleRate = uint32_t(h[18]) << 12 | uint32_t(h[19]) << 4 | h[20] >> 4;
    FChannels = uint8_t(((h[20] >> 1) & 7) + 1);
    FBitsPerSample = uint8_t(((h[20] & 1) << 4 | h[21] >> 4) + 1);
    // The sample count is 36 bits wide: the high 4 bits matter past 2^32 samples (a day of audio).
    FSamples = int64_t(h[21] & 0x0F) << 32 | GetBE32(h + 22);
}

void TFlacTag::SetBitrate()
{
    if (GetValid() && GetPlaytime() != 0) FBitrate = uint32_t(std::lround(double(FAudioSize) / 1000 * 8 / GetPlaytime()));
}

bool TFlacTag::WalkBlocks(rtl::TStream& S, bool LoadContents)
{
    for (int number = 1;; ++number) {
        std::array<uint8_t, 4> header{};
        if (ReadZeroFilled(S, header.data(), 4) != 4) Truncated();
        const int type = header[0] & 0x7F;
        const bool last = header[0] & 0x80;
        const int64_t length = GetBE24(&header[1]);
        CheckLeft(S, length);
        if (length > 0) {
            if (type == FlacBlockVorbisComment && FVorbisIndex == 0) {
                FVCOffset = S.Position();
                FTagSize = length;
                FVorbisIndex = number;
                ReadVorbisComments(S, length, LoadContents);
                // The walk goes on after the block's length, whatever the comments themselves took.
                S.SetPosition(FVCOffset + length);
            } else if (type == FlacBlockPadding && FPaddingIndex == 0) {
                FPadding = length;
                FPaddingLast = last;
                FPaddingIndex = number;
                S.Seek(length, rtl::soCurrent);
            } else if (type > FlacBlockPicture) {
                FSamples = 0;
                return false;
            } else {
                if (type == FlacBlockPadding) FPaddingFragments = true;
                if (type == FlacBlockVorbisComment) {
                    // A second comment block adds its comments to the list and is not kept: the file is
                    // written anew with the one block that holds them all.
                    const int64_t body = S.Position();
                    ReadVorbisComments(S, length, LoadContents);
                    S.SetPosition(body + length);
                } else if (type == FlacBlockPicture) {
                    if (LoadContents) {
                        const int index = AddMetaDataCoverArt(&S, length);
                        GetCoverArtInfoPointer(index, MetaBlocksCoverArts[size_t(index)].CoverArtInfo);
                    } else {
                        S.Seek(length, rtl::soCurrent);
                    }
                } else {
                    AddMetaDataOther(header, &S, length, type);
                }
                FMetaBlocksSize += length + 4;
            }
        } else {
            FMetaBlocksSize += 4;
        }
        if (last) {
            Loaded = true;
            return true;
        }
    }
}

// Ogg FLAC: the first page holds only the mapping packet (with STREAMINFO), then one packet per block.
int TFlacTag::ReadOggBlocks(rtl::TStream& S, int64_t OggStart, bool LoadContents)
{
    uint8_t first[TOggHeader::RecordSize];
    S.SetPosition(OggStart);
    ReadZeroFilled(S, first, TOggHeader::RecordSize);
    if (std::memcmp(first, "OggS", 4) != 0) return FLACLIBRARY_ERROR_NOT_SUPPORTED_FORMAT;
    TOggHeader page;
    page.ReadHeader(first);
    std::memcpy(page.LacingValues, first + TOggHeader::HeaderSize, page.Segments);
    const int64_t packetAt = OggStart + TOggHeader::HeaderSize + page.Segments;
    const int64_t firstEnd = packetAt + page.DataSize();
    rtl::TBytes packet(OggFlacMappingSize);
    S.SetPosition(packetAt);
    ReadZeroFilled(S, packet.data(), OggFlacMappingSize);
    // Another codec's stream is no FLAC at all, whatever its version byte holds.
    if (packet[0] != 0x7F || std::memcmp(&packet[1], "FLAC", 4) != 0) return FLACLIBRARY_ERROR_NOT_SUPPORTED_FORMAT;
    if (packet[5] != 1) return FLACLIBRARY_ERROR_NOT_SUPPORTED_VERSION;
    if (std::memcmp(&packet[9], "fLaC", 4) != 0 || page.Segments != 1 ||
        page.LacingValues[0] != OggFlacMappingSize || firstEnd > S.Size())
        return FLACLIBRARY_ERROR_NOT_SUPPORTED_FORMAT;

    StreamType = fstOggFlac;
    FOggFlacHeader = packet;
    std::copy_n(packet.begin() + 9, FHeader.size(), FHeader.begin());
    ReadStreamFacts();
    FStreamInfoEnd = firstEnd;
    if (FHeader[4] & 0x80) {
        FAudioOffset = firstEnd;
        FAudioSize = FFileSize - FAudioOffset;
        SetBitrate();
        return FLACLIBRARY_ERROR_NO_TAG_FOUND;
    }

    // The block packets are gathered page by page until the block with the last flag is whole; pages
    // running out first (a cut file) end the reading.
    S.SetPosition(firstEnd);
    TOGGStream pages(&S);
    rtl::TMemoryStream buffer;
    auto need = [&](int64_t Count) {
        while (buffer.Size() < Count) {
            buffer.SetPosition(buffer.Size());
            if (!pages.GetNextPageData(buffer)) return false;
        }
        return true;
    };
    for (int64_t at = 0;;) {
        uint8_t header[4];
        if (!need(at + 4)) return FLACLIBRARY_ERROR_NOT_SUPPORTED_FORMAT;
        buffer.SetPosition(at);
        buffer.ReadBuffer(header, 4);
        if ((header[0] & 0x7F) > FlacBlockPicture) break;
        at += 4 + GetBE24(header + 1);
        if (!need(at)) return FLACLIBRARY_ERROR_NOT_SUPPORTED_FORMAT;
        if (header[0] & 0x80) break;
    }
    const int64_t audio = S.Position();
    buffer.SetPosition(0);
    if (!WalkBlocks(buffer, LoadContents)) return FLACLIBRARY_SUCCESS;
    FAudioOffset = audio;
    FAudioSize = FFileSize - FAudioOffset;
    SetBitrate();
    return FLACLIBRARY_SUCCESS;
}

int TFlacTag::LoadFromFile(const String& AFileName, bool Buffered)
{
    Clear();
    const std::unique_ptr<rtl::TFileStream> file = OpenFile(AFileName, rtl::fmOpenRead | rtl::fmShareDenyWrite);
    const std::unique_ptr<TPositionedFile> view = file ? TPositionedFile::Of(*file) : nullptr;
    if (!view) return FLACLIBRARY_ERROR_OPENING_FILE;
    const int result = LoadFromStream(*view, Buffered);
    FileName = AFileName;
    return result;
}

int TFlacTag::LoadFromStream(rtl::TStream& Stream, bool Buffered)
{
    Clear();
    try {
        Stream.SetPosition(0);
        return ReadMetaBlocks(Stream, Buffered, true);
    } catch (const std::exception&) {
        Loaded = false;
        return FLACLIBRARY_ERROR;
    }
}

// ---------------------------------------------------------------------------------------------
// Writing

int TFlacTag::SaveToFile(const String& AFileName, bool Buffered) { return Save(AFileName, nullptr, Buffered); }

int TFlacTag::SaveToStream(rtl::TStream& Stream, bool Buffered) { return Save(String(), &Stream, Buffered); }

int TFlacTag::Save(const String& AFileName, rtl::TStream* Target, bool Buffered)
{
    int result = FLACLIBRARY_ERROR;
    try {
        int read = 0;
        // The file is opened once, for writing where it may be, and its blocks are read anew through that
        // handle: what is written in place is placed by the file as it is now, whatever changed it since
        // it was loaded. A file we may only read is opened for reading, as it may be made writable later.
        TFlacOpenFile file;
        if (Target) {
            Target->SetPosition(0);
            read = ReadMetaBlocks(*Target, Buffered, false);
        } else {
            file.Stream = OpenFile(AFileName, rtl::fmOpenReadWrite | rtl::fmShareDenyWrite);
            file.Writable = file.Stream != nullptr;
            if (!file.Stream) file.Stream = OpenFile(AFileName, rtl::fmOpenRead | rtl::fmShareDenyWrite);
            if (file.Stream) file.View = TPositionedFile::Of(*file.Stream, &file.Info);
            if (!file.View) return FLACLIBRARY_ERROR_OPENING_FILE;
            read = ReadMetaBlocks(*file.View, Buffered, false);
            // A handle only for reading would stand in the way of the writer's own open.
            if (!file.Writable) file = TFlacOpenFile();
        }
        rtl::TDateTime date = 0;
        const bool haveDate = PreserveDate && !Target && rtl::FileAge(AFileName, date);
        // A file that is no FLAC (or cannot be read) says so, so that stripping every format can pass it by.
        if (read == FLACLIBRARY_ERROR_NOT_SUPPORTED_FORMAT || read == FLACLIBRARY_ERROR_OPENING_FILE) {
            FExists = false;
            return read;
        }
        if (read == FLACLIBRARY_SUCCESS || read == FLACLIBRARY_ERROR_NO_TAG_FOUND) {
            const rtl::TBytes comments = BuildVorbisCommentBlock();
            if (StreamType == fstNativeFlac) {
                result = WriteNativeFlac(AFileName, Target, comments, file);
            } else if (StreamType == fstOggFlac) {
                file = TFlacOpenFile();
                result = WriteOggFlac(AFileName, Target, comments);
            }
        }
        file = TFlacOpenFile();
        if (haveDate && result == FLACLIBRARY_SUCCESS) RestoreFileDate(AFileName, date);
    } catch (const std::exception&) {
        result = FLACLIBRARY_ERROR;
    }
    FExists = result == FLACLIBRARY_SUCCESS;
    return result;
}

int TFlacTag::CheckWritable(const String& AFileName, rtl::TStream* Target, const rtl::TBytes& Comments,
                            const TFlacOpenFile* Held) const
{
    // Block lengths are 24-bit: a longer comment block or picture cannot be stored.
    if (int64_t(Comments.size()) > FlacMaxBlockLength) return FLACLIBRARY_ERROR;
    for (const auto& block : MetaBlocksCoverArts)
        if (int64_t(block.Data.size()) > FlacMaxBlockLength) return FLACLIBRARY_ERROR;
    if (Target) return FLACLIBRARY_SUCCESS;
    // Saving tags into a read-only file makes it writable, as the attributes are reset to normal.
    if (Held && Held->Writable) {
        const mode_t mode = Held->Info.st_mode & 07777;
        if (!(mode & S_IWUSR) && ::fchmod(Held->Stream->Handle(), mode | S_IWUSR) != 0)
            return FLACLIBRARY_ERROR_OPENING_FILE;
        return FLACLIBRARY_SUCCESS;
    }
    if (!rtl::FileExists(AFileName)) return FLACLIBRARY_ERROR_OPENING_FILE;
    if (rtl::FileSetAttr(AFileName, rtl::faNormal) != 0) return FLACLIBRARY_ERROR_OPENING_FILE;
    return FLACLIBRARY_SUCCESS;
}

int TFlacTag::WriteNativeFlac(const String& AFileName, rtl::TStream* Target, const rtl::TBytes& Comments,
                              TFlacOpenFile& Held)
{
    // A walk that stopped at a reserved block type left the audio's start unknown: nothing is written.
    if (FAudioOffset <= 0) return FLACLIBRARY_ERROR;
    const auto commentSize = int64_t(Comments.size());
    if (const int refused = CheckWritable(AFileName, Target, Comments, &Held)) return refused;

    const int64_t metaBlocks = CalculateMetaBlocksSize(true);
    int64_t mergedPadding = 0;
    for (const auto& block : aMetaBlockOther)
        if (block.BlockType == FlacBlockPadding) mergedPadding += int64_t(block.Data.size()) + 4;
    const int64_t inPlacePadding = FPadding + FTagSize + FMetaBlocksSize + mergedPadding - commentSize - metaBlocks;
    const bool inPlace = FVorbisIndex > 0 && FPaddingIndex > 0 && FPadding > commentSize - FTagSize &&
                         FMetaBlocksSize == metaBlocks && !ForceReWrite && inPlacePadding <= FlacMaxBlockLength;
    const bool rebuild = !(inPlace && FPaddingIndex == FVorbisIndex + 1 && !FPaddingFragments);
    const int64_t padding = inPlace ? inPlacePadding : int64_t(PaddingSizeToWrite);
    if (padding > FlacMaxBlockLength) return FLACLIBRARY_ERROR;

    // The metadata from the first rebuilt block (or the comment block) to the end of the padding.
    rtl::TBytes region;
    if (rebuild) {
        auto put = [&](const TMetaData& Block, int Type) {
            PutBlockHeader(region, Type, false, int64_t(Block.Data.size()));
            Append(region, Block.Data);
        };
        for (const auto& block : MetaBlocksCoverArts) put(block, FlacBlockPicture);
        for (const auto& block : aMetaBlockOther)
            if (block.BlockType != FlacBlockPadding) put(block, block.MetaDataBlockHeader[0] & 0x7F);
    }
    PutBlockHeader(region, FlacBlockVorbisComment, false, commentSize);
    Append(region, Comments);
    PutBlockHeader(region, FlacBlockPadding, FPaddingLast || rebuild, padding);
    const int64_t regionAt = rebuild ? FStreamInfoEnd : FVCOffset - 4;
    // In place right after the comment block, the part of the new padding that lies in the old padding
    // keeps its bytes; only what the comment block gave up is zeroed, so no removed text stays behind.
    int64_t zeros = padding;
    if (inPlace && !rebuild)
        zeros = std::clamp<int64_t>(FVCOffset + FTagSize + 4 - (regionAt + int64_t(region.size())), 0, padding);
    region.resize(region.size() + size_t(zeros), 0);
    if (inPlace) {
        std::unique_ptr<rtl::TFileStream> file;
        if (!Target && !Held.Writable && !(file = OpenFile(AFileName, rtl::fmOpenReadWrite | rtl::fmShareDenyWrite)))
            return FLACLIBRARY_ERROR_OPENING_FILE;
        rtl::TStream& out = Target ? *Target : Held.Writable ? *Held.View : *file;
        out.SetPosition(regionAt);
        out.WriteBuffer(region.data(), int64_t(region.size()));
        out.SetPosition(0);
        return FLACLIBRARY_SUCCESS;
    }

    // Rewrite: the leading ID3v2 tag and STREAMINFO of the source (no longer the last block), the blocks,
    // then the audio.
    auto head = [&](rtl::TStream& Source) {
        rtl::TBytes bytes(static_cast<size_t>(FStreamInfoEnd));
        Source.SetPosition(0);
        Source.ReadBuffer(bytes.data(), FStreamInfoEnd);
        bytes[size_t(FStreamInfoEnd - GetBE24(FHeader.data() + 5) - 4)] &= 0x7F;
        Append(bytes, region);
        return bytes;
    };
    if (Target) {
        rtl::TMemoryStream output;
        const rtl::TBytes start = head(*Target);
        output.WriteBuffer(start.data(), int64_t(start.size()));
        Target->SetPosition(FAudioOffset);
        output.CopyFrom(*Target, Target->Size() - FAudioOffset);
        Target->SetPosition(0);
        Target->SetSize(0);
        Target->WriteBuffer(output.Memory(), output.Size());
        Target->SetPosition(0);
        return FLACLIBRARY_SUCCESS;
    }
    // The replacement takes the file exclusively: our own handle goes first.
    Held = TFlacOpenFile();
    return RewriteFile(AFileName, [&](rtl::TFileStream& Source, TReplacementFile& Out) {
        const rtl::TBytes start = head(Source);
        Out.WriteBuffer(start.data(), int64_t(start.size()));
        Out.CopyFromHandle(Source.Handle(), FAudioOffset, Source.Size() - FAudioOffset);
        return true;
    });
}

int TFlacTag::WriteOggFlac(const String& AFileName, rtl::TStream* Target, const rtl::TBytes& Comments)
{
    if (FAudioOffset <= 0 || FOggFlacHeader.size() != OggFlacMappingSize) return FLACLIBRARY_ERROR;
    if (int64_t(PaddingSizeToWrite) > FlacMaxBlockLength) return FLACLIBRARY_ERROR;
    if (const int refused = CheckWritable(AFileName, Target, Comments, nullptr)) return refused;

    std::unique_ptr<rtl::TFileStream> file;
    if (!Target && !(file = OpenFile(AFileName, rtl::fmOpenRead | rtl::fmShareDenyWrite)))
        return FLACLIBRARY_ERROR_OPENING_FILE;
    rtl::TStream& source = Target ? *Target : *file;
    const int64_t oggStart = LeadingID3v2Size(source);
    source.SetPosition(oggStart);
    TOGGStream pages(&source);

    // One packet per block: the comments, the pictures, the kept blocks; padding comes last.
    std::vector<rtl::TBytes> packets;
    auto add = [&](int Type, const rtl::TBytes& Body) {
        rtl::TBytes packet;
        PutBlockHeader(packet, Type, false, int64_t(Body.size()));
        Append(packet, Body);
        packets.push_back(std::move(packet));
    };
    add(FlacBlockVorbisComment, Comments);
    for (const auto& block : MetaBlocksCoverArts) add(FlacBlockPicture, block.Data);
    for (const auto& block : aMetaBlockOther)
        if (block.BlockType != FlacBlockPadding) add(block.MetaDataBlockHeader[0] & 0x7F, block.Data);
    int64_t blockPages = 0;
    for (const auto& packet : packets) blockPages += pages.CalculateWrappedStreamSize(int32_t(packet.size()));

    // In place the new pages with a padding packet must end exactly where the audio pages begin.
    const int64_t old = FAudioOffset - FStreamInfoEnd;
    int64_t padding = -1;
    if (!ForceReWrite && blockPages + pages.CalculateWrappedStreamSize(5) <= old) {
        for (int64_t n = 5; n <= int64_t(PaddingSizeToWrite); ++n) {
            const int64_t total = blockPages + pages.CalculateWrappedStreamSize(int32_t(n));
            if (total < old) continue;
            if (total == old) padding = n - 4;
            break;
        }
    }

    rtl::TMemoryStream metadata;
    int64_t count = 0;   // pages written
    auto build = [&](int64_t PaddingBody) {
        std::vector<rtl::TBytes> all = packets;
        rtl::TBytes pad;
        PutBlockHeader(pad, FlacBlockPadding, true, PaddingBody);
        pad.resize(pad.size() + size_t(PaddingBody), 0);
        all.push_back(std::move(pad));
        metadata.Clear();
        count = 0;
        for (const auto& packet : all) {
            rtl::TMemoryStream one;
            one.WriteBuffer(packet.data(), int64_t(packet.size()));
            one.SetPosition(0);
            const int32_t written = pages.CreateTagStream(one, metadata, uint32_t(count + 1));
            if (written == 0) return false;
            count += written;
        }
        return true;
    };

    // Audio pages that would need new numbers are renumbered through a rewrite, never in place, so
    // that an interrupted save cannot leave a file half renumbered.
    bool inPlace = false;
    if (padding >= 0) {
        if (!build(padding)) return FLACLIBRARY_ERROR;
        uint8_t next[TOggHeader::HeaderSize];
        source.SetPosition(FAudioOffset);
        ReadZeroFilled(source, next, TOggHeader::HeaderSize);
        inPlace = FStreamInfoEnd + metadata.Size() == FAudioOffset &&
                  (std::memcmp(next, "OggS", 4) != 0 || int64_t(GetLE32(next + 18)) == count + 1);
    }
    if (!inPlace && !build(PaddingSizeToWrite)) return FLACLIBRARY_ERROR;

    // The first page: STREAMINFO is no longer the last block, and the packet count is the new one.
    rtl::TBytes firstPage(size_t(FStreamInfoEnd - oggStart));
    source.SetPosition(oggStart);
    source.ReadBuffer(firstPage.data(), int64_t(firstPage.size()));
    const size_t packetAt = size_t(TOggHeader::HeaderSize) + firstPage[26];
    firstPage[packetAt + 13] &= 0x7F;
    firstPage[packetAt + 7] = uint8_t((packets.size() + 1) >> 8);
    firstPage[packetAt + 8] = uint8_t(packets.size() + 1);
    std::fill_n(firstPage.begin() + 22, 4, 0);
    const uint32_t crc = OggCRCUpdate(0, firstPage.data(), int64_t(firstPage.size()));
    for (int i = 0; i < 4; ++i) firstPage[size_t(22 + i)] = uint8_t(crc >> (8 * i));

    // ID3: the stream to copy the leading ID3v2 tag from; none in place, where it stays as it is.
    auto writeHead = [&](rtl::TStream& Out, rtl::TStream* ID3) {
        if (ID3 && oggStart > 0) {
            rtl::TBytes id3(static_cast<size_t>(oggStart));
            ID3->SetPosition(0);
            ID3->ReadBuffer(id3.data(), oggStart);
            Out.WriteBuffer(id3.data(), oggStart);
        }
        Out.WriteBuffer(firstPage.data(), int64_t(firstPage.size()));
        Out.WriteBuffer(metadata.Memory(), metadata.Size());
    };
    const int32_t serial = pages.FirstOGGHeader.Serial;

    if (inPlace) {
        file.reset();
        if (!Target && !(file = OpenFile(AFileName, rtl::fmOpenReadWrite | rtl::fmShareDenyWrite)))
            return FLACLIBRARY_ERROR_OPENING_FILE;
        rtl::TStream& out = Target ? *Target : *file;
        out.SetPosition(oggStart);
        writeHead(out, nullptr);
        out.SetPosition(0);
        return FLACLIBRARY_SUCCESS;
    }

    if (Target) {
        rtl::TMemoryStream output;
        writeHead(output, Target);
        Target->SetPosition(FAudioOffset);
        if (!pages.ReNumberPages(count + 1, *Target, output, serial)) return FLACLIBRARY_ERROR;
        Target->SetPosition(0);
        Target->SetSize(0);
        Target->WriteBuffer(output.Memory(), output.Size());
        Target->SetPosition(0);
        return FLACLIBRARY_SUCCESS;
    }
    file.reset();
    return RewriteFile(AFileName, [&](rtl::TFileStream& Source, TReplacementFile& Out) {
        TOGGStream sourcePages(&Source);
        writeHead(Out, &Source);
        Source.SetPosition(FAudioOffset);
        return sourcePages.ReNumberPages(count + 1, Source, Out, serial);
    });
}

int StripFlacTagsFromFile(const String& FileName, uint32_t PaddingSize)
{
    TFlacTag tag;
    tag.ResetData(false, true);
    tag.ForceReWrite = true;
    tag.PaddingSizeToWrite = PaddingSize;
    return tag.SaveToFile(FileName, true);
}

} // namespace tags
