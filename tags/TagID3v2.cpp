// tags/TagID3v2.cpp: the tag object, its frame list, loading, and the accessors of frame contents.
#include "tags/TagID3v2.h"

#include "rtl/Classes.h"
#include "rtl/Files.h"
#include "rtl/SysUtils.h"
#include "tags/BufferedStream.h"
#include "tags/ID3v2Containers.h"
#include "tags/TagID3v1.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

namespace tags {

bool ID3v2ParseAudioAttributesDefault = true;
bool ID3v2TrimTextDefault = true;
uint32_t ID3v2BeginningSearchLengthDefault = 0;
int32_t ID3v2MPEGSearchLengthDefault = 4096;
bool ID3v2AutoRemoveUnsynchronisationDefault = true;
bool ID3v2ISO88591AsANSI = false;

// ---------------------------------------------------------------------------------------------
// Extended headers and frames

namespace {

// One block of freed frame data is kept for the next frame of about its size: reading file after file
// (each with a cover) would otherwise hand the top of the heap back to the system after each file and
// fault it in again for the next.
struct TSpareBlock {
    uint8_t* Memory = nullptr;
    int64_t Capacity = 0;
    ~TSpareBlock() { std::free(Memory); }
};
thread_local TSpareBlock Spare;
constexpr int64_t SpareMin = 16 * 1024, SpareMax = 64 * 1024 * 1024;

// Frame data: exactly the capacity asked for (the class library rounds up to 8 KB, which a tag of
// many small frames pays for each one), and filled without zeroing first.
class TFrameDataStream : public rtl::TMemoryStream {
public:
    ~TFrameDataStream() override
    {
        if (FMemory && FCapacity >= SpareMin && FCapacity <= SpareMax && FCapacity > Spare.Capacity) {
            std::free(Spare.Memory);
            Spare.Memory = FMemory;
            Spare.Capacity = FCapacity;
            FMemory = nullptr;
        }
    }

    // Makes the stream Count bytes long with undefined contents, for a read to fill.
    uint8_t* Allocate(int64_t Count)
    {
        SetCapacity(Count);
        FSize = Count;
        FPosition = 0;
        return FMemory;
    }

protected:
    uint8_t* Realloc(int64_t& NewCapacity) override
    {
        if (NewCapacity == FCapacity) return FMemory;
        if (!FMemory && Spare.Memory && NewCapacity <= Spare.Capacity && NewCapacity >= Spare.Capacity / 2) {
            uint8_t* block = Spare.Memory;
            NewCapacity = Spare.Capacity;
            Spare.Memory = nullptr;
            Spare.Capacity = 0;
            return block;
        }
        if (NewCapacity == 0) {
            std::free(FMemory);
            return nullptr;
        }
        void* block = std::realloc(FMemory, size_t(NewCapacity));
        if (block == nullptr) throw rtl::EOutOfMemory(QStringLiteral("Out of memory while expanding memory stream"));
        return static_cast<uint8_t*>(block);
    }
};

// Writes the rest of Source from its position into Dest without a copy buffer where Source is memory.
void CopyRest(rtl::TMemoryStream& Source, rtl::TStream& Dest)
{
    const int64_t rest = BytesLeft(Source);
    if (rest <= 0) return;
    Dest.WriteBuffer(static_cast<const uint8_t*>(Source.Memory()) + Source.Position(), rest);
    Source.Seek(rest, rtl::soCurrent);
}

} // namespace

void TID3v2ExtendedHeader4::DecodeExtendedHeaderFlags()
{
    TagIsAnUpdate = (Flags & 0x40) != 0;
    CRCPresent = (Flags & 0x20) != 0;
    TagRestrictions = (Flags & 0x10) != 0;
}

void TID3v2ExtendedHeader4::CalculateExtendedFlagsDataSize()
{
    ExtendedFlagsDataSize = (TagIsAnUpdate ? 1 : 0) + (CRCPresent ? 6 : 0) + (TagRestrictions ? 2 : 0);
}

TID3v2Frame::TID3v2Frame(TID3v2Tag* _Parent) : Parent(_Parent), Stream(std::make_unique<TFrameDataStream>()) {}

int TID3v2Frame::IndexInParent() const
{
    if (!Parent) return -1;
    for (size_t i = 0; i < Parent->Frames.size(); ++i)
        if (Parent->Frames[i].get() == this) return int(i);
    return -1;
}

bool TID3v2Frame::DeCompress()
{
    if (Stream->Size() <= 4) return false;
    // Inflate in memory; corrupt or truncated data leaves the frame as it was.
    const auto* in = static_cast<const uint8_t*>(Stream->Memory());
    z_stream z{};
    if (inflateInit(&z) != Z_OK) return false;
    z.next_in = const_cast<Bytef*>(in);
    z.avail_in = uInt(Stream->Size());
    auto scratch = std::make_unique<TFrameDataStream>();
    uint8_t out[16384];
    int rc = Z_OK;
    // Everything a tag inflates is counted against what the largest tag (28-bit size) could hold
    // uncompressed: many small zlib bombs stop there as one large one does.
    int64_t ownBudget = TID3v2Tag::InflateLimit;
    int64_t& budget = Parent ? Parent->FInflateBudget : ownBudget;
    // the announced size saves regrowing the output; it is only a hint
    if (DataLengthIndicatorValue > 0) scratch->SetCapacity(std::min<int64_t>(DataLengthIndicatorValue, budget));
    try {
        while (rc != Z_STREAM_END) {
            z.next_out = out;
            z.avail_out = sizeof out;
            rc = inflate(&z, Z_NO_FLUSH);
            if (rc != Z_OK && rc != Z_STREAM_END) break;
            const size_t produced = sizeof out - z.avail_out;
            if (int64_t(produced) > budget) { rc = Z_DATA_ERROR; break; }
            budget -= int64_t(produced);
            if (produced) scratch->WriteBuffer(out, int64_t(produced));
            if (rc == Z_OK && produced == 0 && z.avail_in == 0) { rc = Z_DATA_ERROR; break; }  // truncated
        }
    } catch (const std::exception&) {
        rc = Z_MEM_ERROR;
    }
    inflateEnd(&z);
    if (rc != Z_STREAM_END) return false;
    scratch->SetPosition(0);
    Stream = std::move(scratch);
    Compressed = false;
    DataLengthIndicator = false;
    return true;
}

bool TID3v2Frame::RemoveUnsynchronisation()
{
    FWasUnsynchronised = Unsynchronised;
    if (!RemoveUnsynchronisationInPlace(*Stream)) return false;
    Unsynchronised = false;
    return true;
}

void TID3v2Frame::DecodeFlags3()
{
    const uint8_t status = uint8_t(Flags >> 8), format = uint8_t(Flags);
    TagAlterPreservation = status & 0x80;
    FileAlterPreservation = status & 0x40;
    ReadOnly = status & 0x20;
    Compressed = format & 0x80;
    Encrypted = format & 0x40;
    GroupingIdentity = format & 0x20;
}

void TID3v2Frame::DecodeFlags4()
{
    const uint8_t status = uint8_t(Flags >> 8), format = uint8_t(Flags);
    TagAlterPreservation = status & 0x40;
    FileAlterPreservation = status & 0x20;
    ReadOnly = status & 0x10;
    GroupingIdentity = format & 0x40;
    Compressed = format & 0x08;
    Encrypted = format & 0x04;
    if (format & 0x02) Unsynchronised = true;
    DataLengthIndicator = format & 0x01;
}

void TID3v2Frame::EncodeFlags3()
{
    const uint8_t status = (TagAlterPreservation ? 0x80 : 0) | (FileAlterPreservation ? 0x40 : 0) | (ReadOnly ? 0x20 : 0);
    const uint8_t format = (Compressed ? 0x80 : 0) | (Encrypted ? 0x40 : 0) | (GroupingIdentity ? 0x20 : 0);
    Flags = uint16_t((status << 8) | format);
}

void TID3v2Frame::EncodeFlags4()
{
    const uint8_t status = (TagAlterPreservation ? 0x40 : 0) | (FileAlterPreservation ? 0x20 : 0) | (ReadOnly ? 0x10 : 0);
    const uint8_t format = (GroupingIdentity ? 0x40 : 0) | (Compressed ? 0x08 : 0) | (Encrypted ? 0x04 : 0)
                           | (Unsynchronised ? 0x02 : 0) | (DataLengthIndicator ? 0x01 : 0);
    Flags = uint16_t((status << 8) | format);
}

// ---------------------------------------------------------------------------------------------
// The tag

TID3v2Tag::TID3v2Tag()
    : DSFInfo(std::make_unique<TDSFInfo>()), DFFInfo(std::make_unique<TDFFInfo>())
{
    Clear();
    ParseAudioAttributes = ID3v2ParseAudioAttributesDefault;
    TrimText = ID3v2TrimTextDefault;
    BeginningSearchLength = ID3v2BeginningSearchLengthDefault;
    MPEGSearchLength = ID3v2MPEGSearchLengthDefault;
    AutoRemoveUnsynchronisation = ID3v2AutoRemoveUnsynchronisationDefault;
    ParseCoverArts = true;
}

TID3v2Tag::~TID3v2Tag() = default;

void TID3v2Tag::Clear()
{
    DeleteAllFrames();
    SourceFileName.clear();
    Loaded = false;
    MajorVersion = 3;
    MinorVersion = 0;
    Flags = 0;
    Unsynchronised = FWasUnsynchronised = Compressed = ExtendedHeader = Experimental = FooterPresent = false;
    Size = CodedSize = PaddingSize = 0;
    PaddingToWrite = 4096;
    FPosition = 0;
    ExtendedHeader3 = std::make_unique<TID3v2ExtendedHeader3>();
    ExtendedHeader4 = std::make_unique<TID3v2ExtendedHeader4>();
    MPEGInfo = TMPEGHeader();
    WAVInfo = TWaveFmt();
    AIFFInfo = TAIFFInformation();
    DSFInfo->Clear();
    DFFInfo->ResetData();
    FSourceFileType = sftUnknown;
    FPlayTime = 0;
    SampleCount = 0;
    BitRate = 0;
    FError = false;
    FInflateBudget = InflateLimit;
}

void TID3v2Tag::DecodeHeaderFlags()
{
    Unsynchronised = Flags & 0x80;
    if (MajorVersion == 2) {
        Compressed = Flags & 0x40;
    } else {
        ExtendedHeader = Flags & 0x40;
        Experimental = Flags & 0x20;
        FooterPresent = Flags & 0x10;
    }
}

uint8_t TID3v2Tag::EncodeHeaderFlags() const
{
    return uint8_t((Unsynchronised ? 0x80 : 0) | (Experimental ? 0x20 : 0));
}

int TID3v2Tag::AddFrame(const TFrameID& FrameID)
{
    Frames.push_back(std::make_unique<TID3v2Frame>(this));
    Frames.back()->ID = FrameID;
    return int(Frames.size()) - 1;
}

int TID3v2Tag::AddFrame(const String& FrameID) { return AddFrame(StringToFrameID(FrameID)); }

bool TID3v2Tag::DeleteFrame(int FrameIndex)
{
    if (FrameIndex < 0 || FrameIndex >= FrameCount()) return false;
    Frames.erase(Frames.begin() + FrameIndex);
    return true;
}

bool TID3v2Tag::DeleteFrame(const TFrameID& FrameID) { return DeleteFrame(FrameExists(FrameID)); }
bool TID3v2Tag::DeleteFrame(const String& FrameID) { return DeleteFrame(StringToFrameID(FrameID)); }

int TID3v2Tag::FrameExists(const TFrameID& FrameID) const
{
    for (size_t i = 0; i < Frames.size(); ++i)
        if (SameFrameID(Frames[i]->ID, FrameID)) return int(i);
    return -1;
}

int TID3v2Tag::FrameExists(const String& FrameID) const { return FrameExists(StringToFrameID(FrameID)); }

int TID3v2Tag::FrameTypeCount(const TFrameID& FrameID) const
{
    return int(std::count_if(Frames.begin(), Frames.end(), [&](const auto& f) { return SameFrameID(f->ID, FrameID); }));
}

int TID3v2Tag::FrameTypeCount(const String& FrameID) const { return FrameTypeCount(FrameIDFromLiteral(FrameID)); }

void TID3v2Tag::DeleteAllFrames()
{
    Frames.clear();
    Frames.shrink_to_fit();
}

void TID3v2Tag::DeleteAllCoverArts()
{
    for (int i = FrameCount() - 1; i >= 0; --i)
        if (FrameIDMatchesText(Frames[i]->ID, "APIC")) DeleteFrame(i);
}

bool TID3v2Tag::RemoveUnsynchronisationOnAllFrames()
{
    try {
        if (MajorVersion == 3 && Unsynchronised) {
            for (auto& f : Frames) f->RemoveUnsynchronisation();
            Unsynchronised = false;
        } else if (MajorVersion == 4) {
            for (auto& f : Frames)
                if (f->Unsynchronised) f->RemoveUnsynchronisation();
            Unsynchronised = false;
        }
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool TID3v2Tag::DeCompressAllFrames()
{
    try {
        for (auto& f : Frames)
            if (f->Compressed) f->DeCompress();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

// ---------------------------------------------------------------------------------------------
// Loading

int TID3v2Tag::LoadFromFile(const String& FileName, bool Buffered)
{
    Clear();
    Loaded = false;
    if (!rtl::FileExists(FileName)) return ID3V2LIBRARY_ERROR_OPENING_FILE;
    std::unique_ptr<rtl::TFileStream> file;
    try {
        file = std::make_unique<rtl::TFileStream>(FileName, rtl::fmOpenRead | rtl::fmShareDenyWrite);
    } catch (const rtl::Exception&) {
        return ID3V2LIBRARY_ERROR_OPENING_FILE;
    }
    const int result = LoadFromStream(*file, Buffered);
    if (result < ID3V2LIBRARY_ERROR_OPENING_FILE) SourceFileName = FileName;
    return result;
}

int TID3v2Tag::LoadFromStream(rtl::TStream& Stream, bool Buffered)
{
    Loaded = false;
    std::unique_ptr<TBufferedStream> buffer;
    if (Buffered) buffer = std::make_unique<TBufferedStream>(Stream);
    rtl::TStream& s = buffer ? static_cast<rtl::TStream&>(*buffer) : Stream;
    Clear();
    FFileSize = s.Size();

    auto finish = [&] {
        FWasUnsynchronised = FWasUnsynchronised || Unsynchronised;
        if (AutoRemoveUnsynchronisation) {
            RemoveUnsynchronisationOnAllFrames();
            Unsynchronised = false;
        }
        s.SetPosition(Size);
        if (FSourceFileType == sftUnknown && FindMPEGFrameSync(s)) {
            FSourceFileType = sftMPEG;
            if (ParseAudioAttributes) {
                MPEGInfo = DecodeMPEGHeader(s);
                ReadMPEGVBRHeader(s, MPEGInfo);
                BitRate = MPEGStreamBitRate(s, MPEGInfo);
            }
        }
    };
    int result;
    try {
        result = LoadFromStreamInner(s);
    } catch (...) {
        finish();
        throw;
    }
    finish();
    return result;
}

namespace {

// The stream put back at a position, for trying one recogniser after the other.
rtl::TStream& At(rtl::TStream& Stream, int64_t Position)
{
    Stream.SetPosition(Position);
    return Stream;
}

} // namespace

int TID3v2Tag::LoadFromStreamInner(rtl::TStream& s)
{
    const int64_t start = s.Position();
    if (!IsID3v2Header(s)) {
        uint32_t found = 0;
        s.SetPosition(start);
        // Audio facts that cannot be worked out (a zero divisor) stay 0; the tag is read all the same.
        auto facts = [&](auto Read) {
            if (!ParseAudioAttributes) return;
            const int64_t position = s.Position();
            try {
                Read();
            } catch (const std::exception&) {
                FPlayTime = 0;
                SampleCount = 0;
                BitRate = 0;
                s.SetPosition(position);
            }
        };
        if (IsRIFFStream(s)) {
            FSourceFileType = sftWAVE;
            facts([&] { LoadWAVInfo(s); });
            found = FindWAVID3v2Chunk(s);
        } else if (IsRF64Stream(At(s, start))) {
            FSourceFileType = sftRF64;
            facts([&] { LoadWAVInfo(s); });
            found = FindRF64ID3v2Chunk(s);
        } else if (IsAIFFStream(At(s, start))) {
            FSourceFileType = sftAIFF;
            facts([&] { ReadAIFFInfo(s, AIFFInfo, FPlayTime, BitRate); });
            found = FindAIFFID3v2Chunk(s);
        } else if (IsDSFStream(At(s, start))) {
            FSourceFileType = sftDSF;
            facts([&] { LoadDSFInfo(s); });
            found = FindDSFID3v2Tag(s);
        } else if (IsDFFStream(At(s, start))) {
            FSourceFileType = sftDFF;
            facts([&] { DFFInfo->LoadFromStream(s); });
            found = FindDFFID3v2Chunk(s);
        } else {
            if (BeginningSearchLength == 0) return ID3V2LIBRARY_ERROR_NO_TAG_FOUND;
            s.SetPosition(start);
            found = SearchID3v2Header(s, BeginningSearchLength) ? 1 : 0;
        }
        if (found == 0) return ID3V2LIBRARY_ERROR_NO_TAG_FOUND;
        if (!IsID3v2Header(s)) return ID3V2LIBRARY_ERROR_NO_TAG_FOUND;
    }
    s.Seek(-3, rtl::soCurrent);
    return LoadTagFromStream(s);
}

int TID3v2Tag::LoadTagFromStream(rtl::TStream& Stream)
{
    uint8_t h[10];
    ReadZeroFilled(Stream, h, 3);
    if (std::memcmp(h, "ID3", 3) != 0) return ID3V2LIBRARY_ERROR_NO_TAG_FOUND;
    ReadZeroFilled(Stream, h + 3, 2);
    MajorVersion = h[3];
    MinorVersion = h[4];
    if (MajorVersion > 4 || MajorVersion < 2) return ID3V2LIBRARY_ERROR_NOT_SUPPORTED_VERSION;
    ReadZeroFilled(Stream, h + 5, 5);
    Flags = h[5];
    DecodeHeaderFlags();
    std::memcpy(&CodedSize, h + 6, 4);
    DecodeTagSize();
    FPosition = Stream.Position() - 10;

    if (Unsynchronised && MajorVersion < 4) {
        // Versions 2.2 and 2.3 unsynchronise the whole tag, frame headers included, and count frame
        // sizes before it: the body is cleaned first and the frames are read from the clean copy.
        const int64_t bodySize = std::min<int64_t>(int64_t(Size) - 10, BytesLeft(Stream));
        rtl::TMemoryStream body;
        CopyRemovingUnsynchronisation(Stream, body, bodySize);
        body.SetPosition(0);
        Unsynchronised = false;
        FWasUnsynchronised = true;
        if (ExtendedHeader) ReadExtendedHeader(body);
        while (ReadFrame(body) && body.Position() < body.Size()) {}
    } else {
        if (ExtendedHeader) ReadExtendedHeader(Stream);
        while (ReadFrame(Stream) && Stream.Position() < FPosition + int64_t(Size)) {}
    }
    Loaded = true;
    return ID3V2LIBRARY_SUCCESS;
}

bool TID3v2Tag::ReadExtendedHeader(rtl::TStream& Stream)
{
    try {
        TFrameID id;
        ReadZeroFilled(Stream, id.data(), 4);
        Stream.Seek(-4, rtl::soCurrent);
        if (ValidFrameID(id)) {
            ExtendedHeader = false;
            return true;
        }
        if (MajorVersion == 3) {
            auto& x = *ExtendedHeader3;
            ReadZeroFilled(Stream, x.CodedSize.data(), 4);
            x.DecodeExtendedHeaderSize();
            uint8_t f[2];
            ReadZeroFilled(Stream, f, 2);
            x.Flags = uint16_t(f[0] | (f[1] << 8));   // as the bytes lie in memory; decoding swaps them
            x.DecodeExtendedHeaderFlags();
            const int64_t rest = std::min<int64_t>(x.Size >= 2 ? x.Size - 2 : 0, BytesLeft(Stream));
            if (rest > 0) x.Data.CopyFrom(Stream, rest);
            if (Unsynchronised) RemoveExtendedHeaderUnsynchronisation();
        } else if (MajorVersion == 4) {
            auto& x = *ExtendedHeader4;
            ReadZeroFilled(Stream, x.CodedSize.data(), 4);
            x.DecodeExtendedHeaderSize();
            uint8_t f[2];
            ReadZeroFilled(Stream, f, 2);
            x.FlagBytes = f[0];
            x.Flags = f[1];
            x.DecodeExtendedHeaderFlags();
            x.CalculateExtendedFlagsDataSize();
            x.ExtendedFlagsData.assign(x.ExtendedFlagsDataSize, 0);
            ReadZeroFilled(Stream, x.ExtendedFlagsData.data(), int(x.ExtendedFlagsDataSize));
            x.DecodeExtendedHeaderFlagData();
        }
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool TID3v2Tag::RemoveExtendedHeaderUnsynchronisation()
{
    return RemoveUnsynchronisationInPlace(ExtendedHeader3->Data);
}

bool TID3v2Tag::ReadFrame(rtl::TStream& Stream)
{
    TFrameID id{0, 0, 0, 0};
    ReadZeroFilled(Stream, id.data(), MajorVersion == 2 ? 3 : 4);
    if (!ValidFrameIDv22(id)) return false;
    const int index = AddFrame(id);
    ReadFrameBody(Stream, index);
    return !FError;
}

namespace {

// Copies Count bytes of frame data, or what the stream still has; the rest of a cut frame is lost.
void CopyFrameData(rtl::TStream& Stream, std::unique_ptr<rtl::TMemoryStream>& Data, uint32_t Count)
{
    const int64_t n = std::min<int64_t>(Count, BytesLeft(Stream));
    if (n <= 0) return;
    auto* data = dynamic_cast<TFrameDataStream*>(Data.get());
    if (!data) {
        Data = std::make_unique<TFrameDataStream>();
        data = static_cast<TFrameDataStream*>(Data.get());
    }
    const int64_t got = Stream.Read(data->Allocate(n), n);
    if (got < n) data->SetSize(std::max<int64_t>(got, 0));
    data->SetPosition(0);
}

void SkipFrameData(rtl::TStream& Stream, uint32_t Count)
{
    Stream.Seek(std::min<int64_t>(Count, BytesLeft(Stream)), rtl::soCurrent);
}

} // namespace

void TID3v2Tag::ReadFrameBody(rtl::TStream& Stream, int FrameIndex)
{
    TID3v2Frame& f = *Frames[FrameIndex];
    try {
        if (MajorVersion == 2) {
            uint8_t b[3];
            ReadZeroFilled(Stream, b, 3);
            f.Size = BE24(b);
            if (f.Size > Size) {
                FError = true;
            } else if (f.Size > 0) {
                f.Unsynchronised = Unsynchronised;
                if (FrameIDMatchesText(f.ID, "PIC") && !ParseCoverArts) SkipFrameData(Stream, f.Size);
                else CopyFrameData(Stream, f.Stream, f.Size);
            }
            ConvertV22FrameID(FrameIndex);
            return;
        }
        uint8_t b[6];
        ReadZeroFilled(Stream, b, 6);
        f.Size = MajorVersion == 3 ? BE32(b) : DecodeSynchsafe(b);
        f.Flags = BE16(b + 4);
        if (f.Size > Size) {
            FError = true;
            return;
        }
        if (f.Size == 0) return;
        f.Unsynchronised = Unsynchronised;
        uint32_t additions;
        if (MajorVersion == 3) {
            f.DecodeFlags3();
            additions = (f.Compressed ? 4 : 0) + (f.Encrypted ? 1 : 0) + (f.GroupingIdentity ? 1 : 0);
        } else {
            f.DecodeFlags4();
            additions = (f.GroupingIdentity ? 1 : 0) + (f.Encrypted ? 1 : 0) + (f.DataLengthIndicator ? 4 : 0);
        }
        if (additions > f.Size) {
            // the flags announce more than the frame holds: keep the flags, drop the bytes
            SkipFrameData(Stream, f.Size);
            f.Size = 0;
            return;
        }
        uint8_t a[4];
        if (MajorVersion == 3) {
            if (f.Compressed) {
                ReadZeroFilled(Stream, a, 4);
                f.DataLengthIndicatorValue = BE32(a);
                f.DataLengthIndicator = true;
            }
            if (f.Encrypted) { ReadZeroFilled(Stream, a, 1); f.EncryptionMethod = a[0]; }
            if (f.GroupingIdentity) { ReadZeroFilled(Stream, a, 1); f.GroupIdentifier = a[0]; }
        } else {
            if (f.GroupingIdentity) { ReadZeroFilled(Stream, a, 1); f.GroupIdentifier = a[0]; }
            if (f.Encrypted) { ReadZeroFilled(Stream, a, 1); f.EncryptionMethod = a[0]; }
            if (f.DataLengthIndicator) {
                ReadZeroFilled(Stream, a, 4);
                f.DataLengthIndicatorValue = DecodeSynchsafe(a);
            }
        }
        f.Size -= additions;
        if (FrameIDMatchesText(f.ID, "APIC") && !ParseCoverArts) SkipFrameData(Stream, f.Size);
        else CopyFrameData(Stream, f.Stream, f.Size);
    } catch (const std::exception&) {
        // the frame keeps what it got; the next frame header decides whether reading goes on
    }
}

namespace {

struct TV22Pair { const char* From; const char* To; };

constexpr TV22Pair V22IDs[] = {
    {"BUF", "RBUF"}, {"CNT", "PCNT"}, {"COM", "COMM"}, {"CRA", "AENC"}, {"ETC", "ETCO"}, {"EQU", "EQUA"},
    {"GEO", "GEOB"}, {"GP1", "GRP1"}, {"IPL", "TIPL"}, {"LNK", "LINK"}, {"MCI", "MCDI"}, {"MLL", "MLLT"},
    {"MVI", "MVIN"}, {"MVN", "MVNM"}, {"POP", "POPM"}, {"REV", "RVRB"}, {"RVA", "RVAD"}, {"SLT", "SYLT"},
    {"STC", "SYTC"}, {"TAL", "TALB"}, {"TBP", "TBPM"}, {"TCM", "TCOM"}, {"TCO", "TCON"}, {"TCP", "TCMP"},
    {"TCR", "TCOP"}, {"TDA", "TDAT"}, {"TDY", "TDLY"}, {"TEN", "TENC"}, {"TFT", "TFLT"}, {"TIM", "TIME"},
    {"TKE", "TKEY"}, {"TLA", "TLAN"}, {"TLE", "TLEN"}, {"TMT", "TMED"}, {"TOA", "TOPE"}, {"TOF", "TOFN"},
    {"TOL", "TOLY"}, {"TOR", "TORY"}, {"TOT", "TOAL"}, {"TP1", "TPE1"}, {"TP2", "TPE2"}, {"TP3", "TPE3"},
    {"TP4", "TPE4"}, {"TPA", "TPOS"}, {"TPB", "TPUB"}, {"TRC", "TSRC"}, {"TRD", "TRDA"}, {"TRK", "TRCK"},
    {"TRN", "TRSN"}, {"TRO", "TRSO"}, {"TS2", "TSO2"}, {"TSA", "TSOA"}, {"TSC", "TSOC"}, {"TSI", "TSIZ"},
    {"TSP", "TSOP"}, {"TSS", "TSSE"}, {"TST", "TSOT"}, {"TT1", "TIT1"}, {"TT2", "TIT2"}, {"TT3", "TIT3"},
    {"TXT", "TEXT"}, {"TXX", "TXXX"}, {"TYE", "TYER"}, {"UFI", "UFID"}, {"ULT", "USLT"}, {"WAF", "WOAF"},
    {"WAR", "WOAR"}, {"WAS", "WOAS"}, {"WCM", "WCOM"}, {"WCP", "WCOP"}, {"WPB", "WPUB"}, {"WXX", "WXXX"},
};

} // namespace

bool TID3v2Tag::ConvertV22FrameID(int FrameIndex)
{
    TID3v2Frame& f = *Frames[FrameIndex];
    const char id[4] = {char(f.ID[0]), char(f.ID[1]), char(f.ID[2]), 0};
    if (std::strcmp(id, "PIC") == 0) {
        f.ID = StringToFrameID(QStringLiteral("APIC"));
        ConvertPICToAPIC(FrameIndex);
        return true;
    }
    for (const auto& pair : V22IDs) {
        if (std::strcmp(id, pair.From) == 0) {
            std::memcpy(f.ID.data(), pair.To, 4);
            return true;
        }
    }
    return false;
}

bool TID3v2Tag::ConvertPICToAPIC(int FrameIndex)
{
    rtl::TMemoryStream& data = *Frames[FrameIndex]->Stream;
    if (data.Size() == 0) return false;
    try {
        data.SetPosition(0);
        const uint8_t encoding = ReadTextEncoding(data);
        uint8_t format[3];
        ReadZeroFilled(data, format, 3);
        String mime;
        for (uint8_t c : format)
            if (c != 0) mime += QChar(c);
        uint8_t type = 0;
        ReadZeroFilled(data, &type, 1);
        const String description = ReadEncodedString(data, encoding);
        rtl::TMemoryStream picture;
        CopyRest(data, picture);
        mime = mime.toUpper();
        if (mime == u"JPG") mime = QStringLiteral("image/jpeg");
        else if (mime == u"PNG") mime = QStringLiteral("image/png");
        else if (mime == u"GIF") mime = QStringLiteral("image/gif");
        else if (mime == u"BMP") mime = QStringLiteral("image/bmp");
        return SetUnicodeCoverPictureFromStream(FrameIndex, description, picture, mime, type);
    } catch (const std::exception&) {
        return false;
    }
}

bool TID3v2Tag::FindMPEGFrameSync(rtl::TStream& Stream)
{
    for (int32_t counter = 0; counter <= MPEGSearchLength; ++counter) {
        uint8_t b = 0;
        if (Stream.Read(&b, 1) < 1) return false;   // nothing but zeros past the end
        if (b != 0xFF) continue;
        uint8_t next = 0;
        Stream.Read(&next, 1);
        switch (next) {
        case 0xF9: case 0xFA: case 0xFB: case 0xFC: case 0xFD: case 0xF2: case 0xF3: case 0xE3:
            Stream.Seek(-2, rtl::soCurrent);
            return true;
        default:
            break;
        }
    }
    return false;
}

void TID3v2Tag::LoadWAVInfo(rtl::TStream& Stream)
{
    TWaveFacts facts;
    WAVInfo = TWaveFmt();
    ReadWAVFormat(Stream, WAVInfo, facts);
    SampleCount = facts.SampleCount;
    FPlayTime = facts.PlayTime;
    BitRate = facts.BitRate;
}

bool TID3v2Tag::LoadDSFInfo(rtl::TStream& Stream)
{
    if (!DSFInfo->LoadFromStream(Stream)) return false;
    FPlayTime = DSFInfo->PlayTime;
    SampleCount = int64_t(DSFInfo->SampleCount);
    BitRate = int32_t(DSFInfo->GetBitRate());
    return true;
}

double TID3v2Tag::PlayTime()
{
    if (FPlayTime != 0) return FPlayTime;
    const String tlen = GetUnicodeText(QStringLiteral("TLEN"));
    if (!tlen.isEmpty()) {
        FPlayTime = rtl::StrToIntDef(tlen, 0) / 1000.0;
    } else if (FSourceFileType == sftMPEG) {
        if (MPEGInfo.VBR) {
            const int samples = MPEGSamplesPerFrame(MPEGInfo.Version, MPEGInfo.Layer);
            // a sample rate of 0 would divide by zero: no play time then
            FPlayTime = MPEGInfo.SampleRate != 0 ? double(samples) * MPEGInfo.FrameCount / MPEGInfo.SampleRate : 0;
        } else {
            int64_t trailing = 0;
            if (!SourceFileName.isEmpty()) {
                TID3v1Tag v1;
                if (v1.LoadFromFile(SourceFileName) == ID3V1_SUCCESS) trailing = 128 + v1.FLyricsTagSize;
            }
            FPlayTime = BitRate > 0 ? double(FFileSize - Size - trailing) / BitRate * 8 / 1000 : 0;
        }
    }
    return FPlayTime;
}

// ---------------------------------------------------------------------------------------------
// Frame contents


namespace {

const String CRLF = QStringLiteral("\r\n");

String DecodeText(const uint8_t* Data, size_t Size, uint8_t Encoding, TByteOrder Order)
{
    switch (Encoding) {
    case ID3V2_TEXT_ISO88591:
        if (ID3v2ISO88591AsANSI) return rtl::TEncoding::ANSI()->GetString(Data, Size);
        return QString::fromLatin1(reinterpret_cast<const char*>(Data), qsizetype(Size));
    case ID3V2_TEXT_UTF16:
    case ID3V2_TEXT_UTF16BE: {
        const bool big = Encoding == ID3V2_TEXT_UTF16BE || Order == boBigEndian;
        String s;
        s.resize(qsizetype(Size / 2));
        for (size_t i = 0; i + 1 < Size; i += 2)
            s[qsizetype(i / 2)] = QChar(big ? uint16_t((Data[i] << 8) | Data[i + 1]) : uint16_t(Data[i] | (Data[i + 1] << 8)));
        return s;
    }
    case ID3V2_TEXT_UTF8: {
        String s;
        if (rtl::TEncoding::UTF8()->TryGetString(Data, Size, s)) return s;
        return QString::fromUtf8(reinterpret_cast<const char*>(Data), qsizetype(Size));  // broken bytes as U+FFFD
    }
    default:
        return rtl::TEncoding::ANSI()->GetString(Data, Size);
    }
}

TBytes UTF16LE(const String& Text) { return rtl::TEncoding::Unicode()->GetBytes(Text); }

void Put(TBytes& Out, std::initializer_list<uint8_t> Bytes) { Out.insert(Out.end(), Bytes); }
void Put(TBytes& Out, const TBytes& Bytes) { Out.insert(Out.end(), Bytes.begin(), Bytes.end()); }
void PutLowBytes(TBytes& Out, const String& Text)
{
    for (QChar c : Text) Out.push_back(uint8_t(c.unicode()));
}

// Replaces a frame's data; the frame's flags stay as they are.
void SetData(rtl::TMemoryStream& Stream, const TBytes& Data)
{
    Stream.Clear();
    if (!Data.empty()) Stream.WriteBuffer(Data.data(), int64_t(Data.size()));
    Stream.SetPosition(0);
}

// Restores a frame's data position when an accessor leaves, whatever happened.
class TRewind {
public:
    explicit TRewind(rtl::TStream& Stream) : FStream(Stream) {}
    ~TRewind()
    {
        try { FStream.SetPosition(0); } catch (...) {}
    }

private:
    rtl::TStream& FStream;
};

} // namespace

// ---------------------------------------------------------------------------------------------
// Reading primitives

uint8_t ReadTextEncoding(rtl::TStream& Stream)
{
    uint8_t b = 0;
    if (Stream.Read(&b, 1) < 1) return 0;
    if (b <= 3) return b;
    Stream.Seek(-1, rtl::soCurrent);
    return 0;
}

TByteOrder ReadUnicodeBOM(rtl::TStream& Stream, TByteOrder Current)
{
    uint8_t b[2] = {0, 0};
    const int64_t n = Stream.Read(b, 2);
    if (b[0] == 0xFF && b[1] == 0xFE) return boLittleEndian;
    if (b[0] == 0xFE && b[1] == 0xFF) return boBigEndian;
    if (n > 0) Stream.Seek(-n, rtl::soCurrent);
    return Current;
}

String ReadEncodedString(rtl::TStream& Stream, uint8_t Encoding, TByteOrder* ByteOrder, bool* Terminated)
{
    TByteOrder order = ByteOrder ? *ByteOrder : boLittleEndian;
    if (Encoding == ID3V2_TEXT_UTF16) {
        order = ReadUnicodeBOM(Stream, order);
        if (ByteOrder) *ByteOrder = order;
    }
    if (Terminated) *Terminated = false;
    const int unit = Encoding == ID3V2_TEXT_UTF16 || Encoding == ID3V2_TEXT_UTF16BE ? 2 : 1;
    const int64_t start = Stream.Position();
    const int64_t left = BytesLeft(Stream);

    // Frame data lives in memory streams: scan them in place, copy the rest of any other stream.
    TBytes copy;
    const uint8_t* view;
    if (auto* memory = dynamic_cast<rtl::TCustomMemoryStream*>(&Stream)) {
        view = static_cast<const uint8_t*>(memory->Memory()) + (left > 0 ? start : 0);
    } else {
        copy.resize(size_t(left));
        Stream.Read(copy.data(), left);
        view = copy.data();
    }
    const size_t n = size_t(left);
    // Unit after unit up to a zero unit; reads past the end give zeros, so at the very end the
    // result is empty and counts as terminated.
    size_t i = 0;
    bool terminated = false;
    while (true) {
        const uint8_t b0 = i < n ? view[i] : 0;
        const uint8_t b1 = unit == 2 && i + 1 < n ? view[i + 1] : 0;
        if (b0 == 0 && b1 == 0) {
            terminated = true;
            break;
        }
        i += unit;
        if (i >= n) break;
    }
    const size_t length = std::min(i, n);
    if (Terminated) *Terminated = terminated;
    String result;
    if (length > 0) result = DecodeText(view, length, Encoding, order);
    Stream.SetPosition(start + int64_t(terminated ? std::min(i + unit, n) : n));
    return result;
}

// ---------------------------------------------------------------------------------------------
// Language IDs and genres

String LanguageIDToString(const TLanguageID& ID)
{
    String s;
    for (uint8_t c : ID)
        if (c != 0) s += QChar(c);
    return s;
}

TLanguageID StringToLanguageID(const String& Text)
{
    TLanguageID id = {' ', ' ', ' '};
    for (int i = 0; i < 3 && i < Text.size(); ++i) id[i] = uint8_t(Text.at(i).unicode());
    return id;
}

String DecodeID3v2Genre(const String& Text)
{
    const qsizetype n = Text.size();
    qsizetype c = 0, rest = 0;
    String result;
    while (c < n - 1 && Text[c] == u'(') {
        ++c;
        const QChar ch = Text[c];
        String item;
        if (ch == u'(') {
            rest = c;
            break;
        } else if (ch == u')') {
            // an empty item
        } else if (ch.isDigit() && ch.unicode() < 128) {
            const qsizetype first = c;
            while (c < n && Text[c].unicode() >= '0' && Text[c].unicode() <= '9') ++c;
            if (c >= n || Text[c] != u')') break;
            bool ok = false;
            const int number = Text.mid(first, c - first).toInt(&ok);
            if (!ok || number > 255) break;
            item = GenreIndexToText(uint8_t(number));
        } else if ((ch == u'R' || ch == u'C') && c + 2 < n && Text[c + 1] == (ch == u'R' ? u'X' : u'R')
                   && Text[c + 2] == u')') {
            item = ch == u'R' ? QStringLiteral("Remix") : QStringLiteral("Cover");
            c += 2;
        } else {
            break;
        }
        if (!item.isEmpty()) {
            if (!result.isEmpty()) result += u' ';
            result += item;
        }
        ++c;
        rest = c;
    }
    const String tail = rtl::Trim(Text.mid(rest));
    if (!tail.isEmpty() && tail != result) {
        if (!result.isEmpty()) result += u' ';
        result += tail;
    }
    return result;
}

// ---------------------------------------------------------------------------------------------
// Accessors

rtl::TMemoryStream* TID3v2Tag::FrameData(int FrameIndex) const
{
    if (FrameIndex < 0 || FrameIndex >= FrameCount()) return nullptr;
    return Frames[FrameIndex]->Stream.get();
}

int TID3v2Tag::FrameForSetter(const String& FrameID)
{
    const int index = FrameExists(StringToFrameID(FrameID));
    return index >= 0 ? index : AddFrame(FrameID);
}

String TID3v2Tag::GetUnicodeText(int FrameIndex, bool ReturnNativeText)
{
    rtl::TMemoryStream* data = FrameData(FrameIndex);
    if (!data || data->Size() == 0) return {};
    String result;
    try {
        TRewind rewind(*data);
        data->SetPosition(0);
        uint8_t encoding = ReadTextEncoding(*data);
        if (ReturnNativeText && encoding == ID3V2_TEXT_UTF8) encoding = ID3V2_TEXT_ANSI;
        TByteOrder order = boLittleEndian;
        while (true) {
            bool terminated = false;
            result += ReadEncodedString(*data, encoding, &order, &terminated);
            if (!terminated || data->Position() >= data->Size()) break;
            result += CRLF;
        }
    } catch (const std::exception&) {
    }
    return TrimText ? rtl::Trim(result) : result;
}

String TID3v2Tag::GetUnicodeText(const String& FrameID, bool ReturnNativeText)
{
    const int index = FrameExists(StringToFrameID(FrameID));
    return index >= 0 ? GetUnicodeText(index, ReturnNativeText) : String();
}

bool TID3v2Tag::SetUnicodeText(int FrameIndex, const String& Text)
{
    rtl::TMemoryStream* data = FrameData(FrameIndex);
    if (!data) return false;
    try {
        TBytes out;
        Put(out, {ID3V2_TEXT_UTF16, 0xFF, 0xFE});
        Put(out, UTF16LE(Text));
        Put(out, {0, 0});
        SetData(*data, out);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool TID3v2Tag::SetUnicodeText(const String& FrameID, const String& Text)
{
    return SetUnicodeText(FrameForSetter(FrameID), Text);
}

bool TID3v2Tag::GetUnicodeTextMultiple(int FrameIndex, rtl::TStrings& List)
{
    List.Clear();
    List.SetText(GetUnicodeText(FrameIndex, false));
    return !List.Text().isEmpty();
}

bool TID3v2Tag::SetUnicodeTextMultiple(int FrameIndex, const rtl::TStrings& List)
{
    rtl::TMemoryStream* data = FrameData(FrameIndex);
    if (!data) return false;
    try {
        TBytes out;
        Put(out, {ID3V2_TEXT_UTF16, 0xFF, 0xFE});
        for (int i = 0; i < List.Count(); ++i) {
            Put(out, UTF16LE(List.Strings(i)));
            Put(out, {0, 0});
        }
        SetData(*data, out);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool TID3v2Tag::SetUnicodeTextMultiple(const String& FrameID, const rtl::TStrings& List)
{
    return SetUnicodeTextMultiple(FrameForSetter(FrameID), List);
}

String TID3v2Tag::GetUnicodeContent(int FrameIndex, TLanguageID& LanguageID, String& Description)
{
    ClearLanguageID(LanguageID);
    Description.clear();
    rtl::TMemoryStream* data = FrameData(FrameIndex);
    if (!data || data->Size() == 0) return {};
    String content;
    try {
        TRewind rewind(*data);
        data->SetPosition(0);
        const uint8_t encoding = ReadTextEncoding(*data);
        ReadZeroFilled(*data, LanguageID.data(), 3);
        TByteOrder order = boLittleEndian;
        Description = ReadEncodedString(*data, encoding, &order);
        content = ReadEncodedString(*data, encoding, &order);
    } catch (const std::exception&) {
    }
    return content;
}

bool TID3v2Tag::SetUnicodeContent(int FrameIndex, const String& Content, const TLanguageID& LanguageID,
                                  const String& Description)
{
    rtl::TMemoryStream* data = FrameData(FrameIndex);
    if (!data) return false;
    try {
        TBytes out;
        Put(out, {ID3V2_TEXT_UTF16, LanguageID[0], LanguageID[1], LanguageID[2], 0xFF, 0xFE});
        Put(out, UTF16LE(Description));
        Put(out, {0, 0, 0xFF, 0xFE});
        Put(out, UTF16LE(Content));
        Put(out, {0, 0});
        SetData(*data, out);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool TID3v2Tag::SetUnicodeContent(const String& FrameID, const String& Content, const TLanguageID& LanguageID,
                                  const String& Description)
{
    return SetUnicodeContent(FrameForSetter(FrameID), Content, LanguageID, Description);
}

bool TID3v2Tag::GetUnicodeCoverPictureStream(int FrameIndex, rtl::TStream& PictureStream, String& MIMEType,
                                             String& Description, int& CoverType)
{
    MIMEType.clear();
    Description.clear();
    CoverType = 0;
    rtl::TMemoryStream* data = FrameData(FrameIndex);
    if (!data || data->Size() == 0) return false;
    try {
        TRewind rewind(*data);
        data->SetPosition(0);
        const uint8_t encoding = ReadTextEncoding(*data);
        MIMEType = ReadEncodedString(*data, ID3V2_TEXT_ISO88591);
        uint8_t type = 0;
        ReadZeroFilled(*data, &type, 1);
        CoverType = type;
        Description = ReadEncodedString(*data, encoding);
        PictureStream.SetPosition(0);
        CopyRest(*data, PictureStream);
        PictureStream.SetPosition(0);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool TID3v2Tag::SetUnicodeCoverPictureFromStream(int FrameIndex, const String& Description,
                                                 rtl::TStream& PictureStream, const String& MIMEType,
                                                 int CoverType)
{
    rtl::TMemoryStream* data = FrameData(FrameIndex);
    if (!data) return false;
    try {
        auto fresh = std::make_unique<TFrameDataStream>();
        TBytes head;
        Put(head, {ID3V2_TEXT_UTF16});
        Put(head, rtl::TEncoding::ANSI()->GetBytes(MIMEType));
        Put(head, {0, uint8_t(CoverType), 0xFF, 0xFE});
        Put(head, UTF16LE(Description));
        Put(head, {0, 0});
        PictureStream.SetPosition(0);
        const int64_t size = PictureStream.Size();
        fresh->SetCapacity(int64_t(head.size()) + std::max<int64_t>(size, 0));
        fresh->WriteBuffer(head.data(), int64_t(head.size()));
        if (auto* memory = dynamic_cast<rtl::TMemoryStream*>(&PictureStream)) CopyRest(*memory, *fresh);
        else if (size > 0) fresh->CopyFrom(PictureStream, size);
        fresh->SetPosition(0);
        Frames[FrameIndex]->Stream = std::move(fresh);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

String TID3v2Tag::GetUnicodeUserDefinedURLLink(int FrameIndex, String& Description)
{
    Description.clear();
    rtl::TMemoryStream* data = FrameData(FrameIndex);
    if (!data || data->Size() == 0) return {};
    String url;
    try {
        TRewind rewind(*data);
        data->SetPosition(0);
        const uint8_t encoding = ReadTextEncoding(*data);
        Description = ReadEncodedString(*data, encoding);
        url = ReadEncodedString(*data, ID3V2_TEXT_ISO88591);
    } catch (const std::exception&) {
    }
    return url;
}

bool TID3v2Tag::SetUnicodeUserDefinedURLLink(int FrameIndex, const String& URL, const String& Description)
{
    rtl::TMemoryStream* data = FrameData(FrameIndex);
    if (!data) return false;
    try {
        TBytes out;
        Put(out, {ID3V2_TEXT_UTF16, 0xFF, 0xFE});
        Put(out, UTF16LE(Description));
        Put(out, {0, 0});
        PutLowBytes(out, URL);
        SetData(*data, out);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool TID3v2Tag::SetUnicodeUserDefinedURLLink(const String& FrameID, const String& URL, const String& Description)
{
    return SetUnicodeUserDefinedURLLink(FrameForSetter(FrameID), URL, Description);
}

bool TID3v2Tag::SetUnicodeUserDefinedURLLinkByDescription(const String& Description, const String& URL)
{
    int index = -1;
    for (int i = 0; i < FrameCount() && index < 0; ++i) {
        if (!FrameIDMatchesText(Frames[i]->ID, "WXXX")) continue;
        String description;
        GetUnicodeUserDefinedURLLink(i, description);
        if (description == Description) index = i;
    }
    if (index < 0) index = AddFrame(QStringLiteral("WXXX"));
    return SetUnicodeUserDefinedURLLink(index, URL, Description);
}

String TID3v2Tag::GetURL(int FrameIndex) { return GetUnicodeText(FrameIndex, false); }

bool TID3v2Tag::SetURL(int FrameIndex, const String& URL)
{
    rtl::TMemoryStream* data = FrameData(FrameIndex);
    if (!data) return false;
    try {
        TBytes out;
        PutLowBytes(out, URL);
        SetData(*data, out);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool TID3v2Tag::SetURL(const String& FrameID, const String& URL) { return SetURL(FrameForSetter(FrameID), URL); }

uint32_t TID3v2Tag::GetPlayCount(int FrameIndex)
{
    rtl::TMemoryStream* data = FrameData(FrameIndex);
    if (!data || data->Size() == 0) return 0;
    const auto* p = static_cast<const uint8_t*>(data->Memory());
    uint32_t count = 0;
    for (int64_t i = 0; i < data->Size(); ++i) count = (count << 8) | p[i];   // longer counters keep their low 32 bits
    data->SetPosition(0);
    return count;
}

bool TID3v2Tag::SetPlayCount(int FrameIndex, uint32_t PlayCount)
{
    rtl::TMemoryStream* data = FrameData(FrameIndex);
    if (!data) return false;
    try {
        SetData(*data, {uint8_t(PlayCount >> 24), uint8_t(PlayCount >> 16), uint8_t(PlayCount >> 8), uint8_t(PlayCount)});
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool TID3v2Tag::SetPlayCount(const String& FrameID, uint32_t PlayCount)
{
    return SetPlayCount(FrameForSetter(FrameID), PlayCount);
}

// ---------------------------------------------------------------------------------------------
// User-defined text, popularimeter and list frames

String TID3v2Tag::GetUnicodeUserDefinedTextInformation(int FrameIndex, String& Description)
{
    Description.clear();
    rtl::TMemoryStream* data = FrameData(FrameIndex);
    if (!data || data->Size() == 0) return {};
    String result;
    try {
        TRewind rewind(*data);
        data->SetPosition(0);
        const uint8_t encoding = ReadTextEncoding(*data);
        TByteOrder order = boLittleEndian;
        Description = ReadEncodedString(*data, encoding, &order);
        while (true) {
            bool terminated = false;
            result += ReadEncodedString(*data, encoding, &order, &terminated);
            if (!terminated || data->Position() >= data->Size()) break;
            result += CRLF;
        }
    } catch (const std::exception&) {
    }
    return TrimText ? rtl::Trim(result) : result;
}

bool TID3v2Tag::GetUnicodeUserDefinedTextInformationMultiple(int FrameIndex, String& Description, rtl::TStrings& List)
{
    List.Clear();
    List.SetText(GetUnicodeUserDefinedTextInformation(FrameIndex, Description));
    return !List.Text().isEmpty();
}

bool TID3v2Tag::SetUnicodeUserDefinedTextInformationMultiple(int FrameIndex, const String& Description,
                                                             const rtl::TStrings& List)
{
    rtl::TMemoryStream* data = FrameData(FrameIndex);
    if (!data) return false;
    try {
        TBytes out;
        Put(out, {ID3V2_TEXT_UTF16, 0xFF, 0xFE});
        Put(out, UTF16LE(Description));
        Put(out, {0, 0, 0xFF, 0xFE});
        for (int i = 0; i < List.Count(); ++i) {
            Put(out, UTF16LE(List.Strings(i)));
            Put(out, {0, 0});
        }
        SetData(*data, out);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool TID3v2Tag::SetUnicodeUserDefinedTextInformationMultiple(const String& FrameID, const String& Description,
                                                             const rtl::TStrings& List)
{
    return SetUnicodeUserDefinedTextInformationMultiple(FrameForSetter(FrameID), Description, List);
}

bool TID3v2Tag::SetUnicodeTXXXByDescriptionMultiple(const String& Description, const rtl::TStrings& List)
{
    int index = -1;
    const String wanted = Description.toUpper();
    for (int i = 0; i < FrameCount() && index < 0; ++i) {
        if (!FrameIDMatchesText(Frames[i]->ID, "TXXX")) continue;
        String description;
        GetUnicodeUserDefinedTextInformation(i, description);
        if (description.toUpper() == wanted) index = i;
    }
    if (index < 0) index = AddFrame(QStringLiteral("TXXX"));
    return SetUnicodeUserDefinedTextInformationMultiple(index, Description, List);
}

bool TID3v2Tag::GetPopularimeter(int FrameIndex, String& Email, uint8_t& Rating, uint32_t& PlayCounter)
{
    Email.clear();
    Rating = 0;
    PlayCounter = 0;
    rtl::TMemoryStream* data = FrameData(FrameIndex);
    if (!data || data->Size() == 0) return false;
    try {
        TRewind rewind(*data);
        data->SetPosition(0);
        Email = ReadEncodedString(*data, ID3V2_TEXT_ISO88591);
        ReadZeroFilled(*data, &Rating, 1);
        const auto* p = static_cast<const uint8_t*>(data->Memory());
        for (int64_t i = data->Position(); i < data->Size(); ++i) PlayCounter = (PlayCounter << 8) | p[i];
        return true;
    } catch (const std::exception&) {
        PlayCounter = 0xFFFFFFFF;
        return false;
    }
}

String TID3v2Tag::GetUnicodeListFrameText(int FrameIndex)
{
    rtl::TMemoryStream* data = FrameData(FrameIndex);
    if (!data || data->Size() == 0) return {};
    String result;
    try {
        TRewind rewind(*data);
        data->SetPosition(0);
        const uint8_t encoding = ReadTextEncoding(*data);
        TByteOrder order = boLittleEndian;
        for (int n = 1;; ++n) {
            bool terminated = false;
            result += ReadEncodedString(*data, encoding, &order, &terminated);
            if (!terminated || data->Position() >= data->Size()) break;
            result += n % 2 == 1 ? QStringLiteral("=") : CRLF;
        }
    } catch (const std::exception&) {
    }
    return TrimText ? rtl::Trim(result) : result;
}

bool TID3v2Tag::GetUnicodeListFrame(int FrameIndex, rtl::TStrings& List)
{
    List.Clear();
    List.SetText(GetUnicodeListFrameText(FrameIndex));
    return !List.Text().isEmpty();
}

bool TID3v2Tag::SetUnicodeListFrame(int Index, const rtl::TStrings& List)
{
    rtl::TMemoryStream* data = FrameData(Index);
    if (!data) return false;
    try {
        TBytes out;
        Put(out, {ID3V2_TEXT_UTF16, 0xFF, 0xFE});
        for (int i = 0; i < List.Count(); ++i) {
            Put(out, UTF16LE(List.Names(i)));
            Put(out, {0, 0});
            Put(out, UTF16LE(List.ValueFromIndex(i)));
            Put(out, {0, 0});
        }
        SetData(*data, out);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool TID3v2Tag::SetUnicodeListFrame(const String& FrameID, const rtl::TStrings& List)
{
    return SetUnicodeListFrame(FrameForSetter(FrameID), List);
}

} // namespace tags
