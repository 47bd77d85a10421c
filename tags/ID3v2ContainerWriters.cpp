// tags/ID3v2ContainerWriters.cpp
#include "tags/ID3v2ContainerWriters.h"

#include "rtl/Files.h"
#include "rtl/Streams.h"
#include "tags/BufferedStream.h"
#include "tags/ID3v2Base.h"
#include "tags/ID3v2Containers.h"
#include "tags/ID3v2Edit.h"
#include "tags/SafeFile.h"
#include "tags/TagID3v2.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace tags {

namespace {

constexpr uint64_t Max32 = 0xFFFFFFFF;

void ReadAt(rtl::TStream& Stream, int64_t Offset, uint8_t* Buffer, int Count)
{
    Stream.SetPosition(Offset);
    ReadZeroFilled(Stream, Buffer, Count);
}

rtl::TBytes Bytes32(uint32_t Value, bool BigEndian)
{
    if (BigEndian) return {uint8_t(Value >> 24), uint8_t(Value >> 16), uint8_t(Value >> 8), uint8_t(Value)};
    return {uint8_t(Value), uint8_t(Value >> 8), uint8_t(Value >> 16), uint8_t(Value >> 24)};
}

rtl::TBytes Bytes64(uint64_t Value, bool BigEndian)
{
    rtl::TBytes b(8);
    for (int i = 0; i < 8; ++i) b[BigEndian ? 7 - i : i] = uint8_t(Value >> (8 * i));
    return b;
}

void Append(rtl::TBytes& Out, const char* Text) { Out.insert(Out.end(), Text, Text + std::strlen(Text)); }
void Append(rtl::TBytes& Out, const rtl::TBytes& Bytes) { Out.insert(Out.end(), Bytes.begin(), Bytes.end()); }

// The head of a RIFF, RF64 or FORM file and where its size lives.
struct TContainer {
    bool BigEndian = false;
    bool Wide = false;            // RF64 with its size in "ds64"
    uint64_t Size = 0;            // the container size field
    int64_t SizeOffset = 4;
    uint64_t DataSize64 = 0;      // RF64: the "data" size from "ds64"
    int64_t DataEnd() const { return int64_t(Size) + 8; }
};

int ReadContainer(TChunkForm Form, rtl::TStream& Stream, TContainer& C)
{
    uint8_t h[36];
    ReadAt(Stream, 0, h, 36);
    C.BigEndian = Form == TChunkForm::AIFF;
    C.Size = C.BigEndian ? BE32(h + 4) : LE32(h + 4);
    switch (Form) {
    case TChunkForm::WAV:
        if (std::memcmp(h, "RIFF", 4) != 0 || std::memcmp(h + 8, "WAVE", 4) != 0) return ID3V2LIBRARY_ERROR;
        return 0;
    case TChunkForm::AIFF:
        if (std::memcmp(h, "FORM", 4) != 0 || (std::memcmp(h + 8, "AIFF", 4) != 0 && std::memcmp(h + 8, "AIFC", 4) != 0))
            return ID3V2LIBRARY_ERROR;
        return 0;
    case TChunkForm::RF64:
        if (std::memcmp(h, "RF64", 4) != 0 || std::memcmp(h + 8, "WAVE", 4) != 0)
            return ID3V2LIBRARY_ERROR_NOT_SUPPORTED_FORMAT;
        if (C.Size != Max32) return 0;   // a 32-bit size: an RF64 file laid out like a WAV file
        if (std::memcmp(h + 12, "ds64", 4) != 0 || LE32(h + 16) < 16) return ID3V2LIBRARY_ERROR;
        C.Wide = true;
        C.Size = LE64(h + 20);
        C.SizeOffset = 20;
        C.DataSize64 = LE64(h + 28);
        return 0;
    }
    return ID3V2LIBRARY_ERROR;
}

rtl::TBytes SizeField(const TContainer& C, uint64_t Size)
{
    return C.Wide ? Bytes64(Size, false) : Bytes32(uint32_t(Size), C.BigEndian);
}

// A chunk as the walk meets it.
struct TChunk {
    int64_t Header = 0;
    uint8_t ID[4] = {};
    uint64_t Size = 0;
};

// Steps from chunk to chunk (pad bytes included) from Position while a whole header fits before Limit.
// Stops at the first chunk Match accepts (true), else where the walk ended (false, Chunk.Header is then
// that position).
template <typename TMatch>
bool WalkChunks(rtl::TStream& Stream, const TContainer& C, int64_t Position, int64_t Limit, TChunk& Chunk,
                TMatch Match)
{
    while (Position + 8 <= Limit) {
        uint8_t h[8];
        ReadAt(Stream, Position, h, 8);
        Chunk.Header = Position;
        std::memcpy(Chunk.ID, h, 4);
        Chunk.Size = C.BigEndian ? BE32(h + 4) : LE32(h + 4);
        if (C.Wide && Chunk.Size == Max32 && std::memcmp(h, "data", 4) == 0) Chunk.Size = C.DataSize64;
        if (Match(Chunk)) return true;
        Position += 8 + int64_t(Chunk.Size + (Chunk.Size & 1));
    }
    Chunk.Header = Position;
    return false;
}

bool IsTagChunk(TChunkForm Form, const TChunk& Chunk)
{
    if (Form == TChunkForm::AIFF) return std::memcmp(Chunk.ID, "ID3 ", 4) == 0;
    return std::memcmp(Chunk.ID, "id3 ", 4) == 0 || std::memcmp(Chunk.ID, "ID32", 4) == 0;
}

// The container size after the edit, with the 32-bit limit.
int PatchContainerSize(const TContainer& C, int64_t Delta, TTagEdit& Edit)
{
    // A chunk that ran past the container's end (its writer did not count it) is counted whole now.
    const int64_t size = std::max<int64_t>(int64_t(C.Size) + Delta, Edit.CutStart + Edit.NewLength() - 8);
    if (size < 0 || (!C.Wide && uint64_t(size) > Max32)) return ID3V2LIBRARY_ERROR_SIZE_LIMIT;
    Edit.Patches.push_back({C.SizeOffset, SizeField(C, uint64_t(size))});
    return 0;
}

int64_t EditDelta(const TTagEdit& Edit) { return Edit.NewLength() - (Edit.CutEnd - Edit.CutStart); }

void WriteZeros(rtl::TStream& Stream, uint64_t Count)
{
    static const uint8_t zeros[4096] = {};
    while (Count > 0) {
        const uint64_t n = std::min<uint64_t>(Count, sizeof zeros);
        Stream.WriteBuffer(zeros, int64_t(n));
        Count -= n;
    }
}

int WriteNewBytes(const TTagEdit& Edit, rtl::TStream& Stream, const TTagBodyWriter& Body)
{
    if (!Edit.Head.empty()) Stream.WriteBuffer(Edit.Head.data(), int64_t(Edit.Head.size()));
    const int64_t start = Stream.Position();
    const int result = Body(Stream, Edit.Padding);
    if (result != 0) return result;
    if (Stream.Position() != start + int64_t(Edit.TagSize) + Edit.Padding) return ID3V2LIBRARY_ERROR_WRITING_FILE;
    WriteZeros(Stream, Edit.Tail);
    return 0;
}

void WritePatches(const TTagEdit& Edit, rtl::TStream& Stream)
{
    for (const auto& p : Edit.Patches) {
        Stream.SetPosition(p.Offset);
        Stream.WriteBuffer(p.Bytes.data(), int64_t(p.Bytes.size()));
    }
}

// The body of the chunk writers: zeros, which the caller then overwrites with the tag.
int ZeroBody(rtl::TStream& Stream, uint32_t Padding, uint32_t TagSize)
{
    WriteZeros(Stream, uint64_t(TagSize) + Padding);
    return 0;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Planning

int PlanAppendChunk(TChunkForm Form, rtl::TStream& Stream, uint32_t TagSize, uint32_t Padding, TTagEdit& Edit)
{
    TContainer c;
    if (const int r = ReadContainer(Form, Stream, c)) return r;
    const int64_t size = Stream.Size();
    TChunk end;
    WalkChunks(Stream, c, 12, std::min(c.DataEnd(), size), end, [](const TChunk&) { return false; });
    // The new chunk goes at the end of the container's data; bytes after it (an ID3v1 block) follow it.
    const int64_t at = std::min(end.Header, size);
    Edit = TTagEdit();
    Edit.CutStart = Edit.CutEnd = at;
    if (at & 1) Edit.Head.push_back(0);
    Append(Edit.Head, Form == TChunkForm::AIFF ? "ID3 " : "id3 ");
    const uint64_t chunk = uint64_t(TagSize) + Padding + ((uint64_t(TagSize) + Padding) & 1);
    if (chunk > Max32) return ID3V2LIBRARY_ERROR_SIZE_LIMIT;
    Append(Edit.Head, Bytes32(uint32_t(chunk), c.BigEndian));
    Edit.TagSize = TagSize;
    Edit.Padding = Padding;
    Edit.Tail = chunk - TagSize - Padding;
    return PatchContainerSize(c, EditDelta(Edit), Edit);
}

int PlanResizeChunk(TChunkForm Form, rtl::TStream& Stream, uint32_t TagSize, uint32_t OldTagSize, uint32_t Padding,
                    TTagEdit& Edit)
{
    TContainer c;
    if (const int r = ReadContainer(Form, Stream, c)) return r;
    const int64_t size = Stream.Size();
    TChunk chunk;
    if (!WalkChunks(Stream, c, 12, size, chunk, [Form](const TChunk& k) { return IsTagChunk(Form, k); }))
        return ID3V2LIBRARY_ERROR;
    Edit = TTagEdit();
    Edit.CutStart = chunk.Header;
    Edit.CutEnd = std::min<int64_t>(chunk.Header + 8 + int64_t(chunk.Size + (chunk.Size & 1)), size);
    // What the chunk holds beyond its old tag stays behind the new one, as zeros; of a chunk cut off by
    // the end of the file only the bytes that are there.
    const uint64_t held = std::min<uint64_t>(chunk.Size, uint64_t(std::max<int64_t>(size - chunk.Header - 8, 0)));
    const uint64_t surplus = held - std::min<uint64_t>(OldTagSize, held);
    uint64_t newSize = surplus + TagSize + Padding;
    newSize += newSize & 1;
    if (newSize > Max32) return ID3V2LIBRARY_ERROR_SIZE_LIMIT;
    Edit.Head.assign(chunk.ID, chunk.ID + 4);
    Append(Edit.Head, Bytes32(uint32_t(newSize), c.BigEndian));
    Edit.TagSize = TagSize;
    Edit.Padding = Padding;
    Edit.Tail = newSize - TagSize - Padding;
    // A chunk found after the end of the container's data (appended by a careless writer) does not count
    // in its size.
    if (chunk.Header >= c.DataEnd()) return 0;
    return PatchContainerSize(c, EditDelta(Edit), Edit);
}

int PlanDSFTag(rtl::TStream& Stream, uint32_t TagSize, TTagEdit& Edit)
{
    uint8_t h[28];
    ReadAt(Stream, 0, h, 28);
    const int64_t size = Stream.Size();
    const uint64_t total = LE64(h + 12);
    uint64_t pointer = LE64(h + 20);
    uint64_t old = 0;
    if (pointer != 0 && pointer < uint64_t(size)) {
        Stream.SetPosition(int64_t(pointer));
        old = ID3v2TagSizeAt(Stream);
    }
    // No tag where the pointer points (or no pointer): the tag goes at the end, never into the sound data.
    if (old == 0) pointer = total;
    pointer = std::min<uint64_t>(pointer, uint64_t(size));
    old = std::min<uint64_t>(old, uint64_t(size) - pointer);
    Edit = TTagEdit();
    Edit.CutStart = int64_t(pointer);
    Edit.CutEnd = int64_t(pointer + old);
    Edit.TagSize = TagSize;
    Edit.Patches.push_back({12, Bytes64(std::max<uint64_t>(total + TagSize - old, pointer + TagSize), false)});
    Edit.Patches.push_back({20, Bytes64(pointer, false)});
    return 0;
}

int PlanDFFChunk(rtl::TStream& Stream, uint32_t TagSize, TTagEdit& Edit)
{
    uint8_t h[12];
    ReadAt(Stream, 4, h, 8);
    const uint64_t form = BE64(h);
    const int64_t size = Stream.Size();
    const int64_t formEnd = int64_t(std::min<uint64_t>(form + 12, uint64_t(size)));
    int64_t position = 16;
    bool found = false;
    uint64_t chunk = 0;
    while (position + 12 <= formEnd) {
        ReadAt(Stream, position, h, 12);
        chunk = BE64(h + 4);
        if (std::memcmp(h, "ID3 ", 4) == 0) {
            found = true;
            break;
        }
        if (chunk > uint64_t(size)) {
            position = size;
            break;
        }
        position += 12 + int64_t(chunk + (chunk & 1));
    }
    position = std::min(position, size);
    Edit = TTagEdit();
    Edit.CutStart = position;
    Edit.CutEnd = found ? std::min<int64_t>(position + 12 + int64_t(std::min<uint64_t>(chunk + (chunk & 1), uint64_t(size))), size)
                        : position;
    Append(Edit.Head, "ID3 ");
    Append(Edit.Head, Bytes64(TagSize, true));
    Edit.TagSize = TagSize;
    Edit.Tail = TagSize & 1;   // the chunk keeps its odd size and gets a pad byte
    const int64_t newForm = std::max<int64_t>(int64_t(form) + EditDelta(Edit), Edit.CutStart + Edit.NewLength() - 12);
    Edit.Patches.push_back({4, Bytes64(uint64_t(std::max<int64_t>(newForm, 0)), true)});
    return 0;
}

// ---------------------------------------------------------------------------------------------
// Carrying an edit out

int ApplyEditToStream(const TTagEdit& Edit, rtl::TStream& Stream, const TTagBodyWriter& Body, const String& HoldBeside)
{
    // The new bytes are made first, so a tag that cannot be written leaves the stream as it was.
    rtl::TMemoryStream fresh;
    if (const int r = WriteNewBytes(Edit, fresh, Body)) return r;
    if (Edit.SameLength()) {
        WritePatches(Edit, Stream);
        Stream.SetPosition(Edit.CutStart);
        fresh.SaveToStream(Stream);
        return 0;
    }
    const int64_t size = Stream.Size();
    std::unique_ptr<rtl::TStream> hold;
    if (Edit.CutEnd < size) {
        if (HoldBeside.isEmpty()) hold = std::make_unique<rtl::TMemoryStream>();
        else hold = std::make_unique<TReplacementFile>(HoldBeside);   // never committed: deleted with it
        Stream.SetPosition(Edit.CutEnd);
        hold->CopyFrom(Stream, size - Edit.CutEnd);
    }
    WritePatches(Edit, Stream);
    Stream.SetPosition(Edit.CutStart);
    fresh.SaveToStream(Stream);
    const int64_t end = Stream.Position();
    if (hold) {
        hold->SetPosition(0);
        Stream.CopyFrom(*hold, hold->Size());
    }
    const int64_t newSize = Stream.Position();
    if (newSize < size) Stream.SetSize(newSize);
    Stream.SetPosition(end);
    return 0;
}

bool IsTailEdit(const TTagEdit& Edit, int64_t FileSize)
{
    if (Edit.CutEnd != FileSize || Edit.CutStart > Edit.CutEnd) return false;
    return std::all_of(Edit.Patches.begin(), Edit.Patches.end(), [&](const TFieldPatch& P) {
        return P.Offset + int64_t(P.Bytes.size()) <= Edit.CutStart;
    });
}

int ApplyTailEditInPlace(const TTagEdit& Edit, int Handle, const TTagBodyWriter& Body)
{
    rtl::TMemoryStream fresh;
    if (const int r = WriteNewBytes(Edit, fresh, Body)) return r;
    const auto* p = static_cast<const uint8_t*>(fresh.Memory());
    WriteTailInPlace(Handle, Edit.CutStart, rtl::TBytes(p, p + fresh.Size()), Edit.Patches);
    return 0;
}

int WriteEditedFile(const TTagEdit& Edit, int SourceHandle, int64_t SourceSize, TReplacementFile& Out,
                    const TTagBodyWriter& Body)
{
    Out.CopyFromHandle(SourceHandle, 0, std::min(Edit.CutStart, SourceSize));
    {
        TBufferedStream buffered(Out);
        if (const int r = WriteNewBytes(Edit, buffered, Body)) return r;
        buffered.Flush();
    }
    Out.CopyFromHandle(SourceHandle, Edit.CutEnd, SourceSize - Edit.CutEnd);
    WritePatches(Edit, Out);
    return 0;
}

// ---------------------------------------------------------------------------------------------
// Layout checks

namespace {

// The position is restored whatever the check finds.
template <typename TCheck>
bool Restoring(rtl::TStream& Stream, TCheck Check)
{
    const int64_t position = Stream.Position();
    bool result = false;
    try {
        result = Check();
    } catch (const std::exception&) {
        result = false;
    }
    Stream.SetPosition(position);
    return result;
}

bool ChunksFit(rtl::TStream& Stream, const TContainer& C, int64_t Limit)
{
    const int64_t size = Stream.Size();
    TChunk chunk;
    bool fits = true;
    WalkChunks(Stream, C, 12, std::min(Limit, size), chunk, [&](const TChunk& k) {
        fits = k.Header + 8 + int64_t(k.Size) <= size;
        return !fits;
    });
    return fits;
}

} // namespace

bool CheckWAVLayout(rtl::TStream& Stream)
{
    return Restoring(Stream, [&] {
        TContainer c;
        return ReadContainer(TChunkForm::WAV, Stream, c) == 0 && ChunksFit(Stream, c, c.DataEnd());
    });
}

bool CheckRF64Layout(rtl::TStream& Stream)
{
    return Restoring(Stream, [&] {
        TContainer c;
        return ReadContainer(TChunkForm::RF64, Stream, c) == 0 && c.Wide && ChunksFit(Stream, c, Stream.Size());
    });
}

bool CheckDSFLayout(rtl::TStream& Stream)
{
    return Restoring(Stream, [&] {
        uint8_t h[20];
        ReadAt(Stream, 0, h, 20);
        return std::memcmp(h, "DSD ", 4) == 0 && uint64_t(Stream.Size()) >= LE64(h + 12);
    });
}

bool CheckDFFLayout(rtl::TStream& Stream)
{
    return Restoring(Stream, [&] {
        uint8_t h[12];
        ReadAt(Stream, 0, h, 12);
        const uint64_t form = BE64(h + 4);
        return std::memcmp(h, "FRM8", 4) == 0 && form <= uint64_t(INT64_MAX) - 12
               && uint64_t(Stream.Size()) >= form + 12;
    });
}

// ---------------------------------------------------------------------------------------------
// The chunk writers

namespace {

int RunChunkWriter(const String& FileName, rtl::TStream& Stream, uint32_t TagSize, const TTagEdit& Edit)
{
    try {
        const int r = ApplyEditToStream(Edit, Stream, [TagSize](rtl::TStream& s, uint32_t Padding) {
            return ZeroBody(s, Padding, TagSize);
        }, FileName);
        if (r != 0) return r;
        Stream.SetPosition(Edit.CutStart + int64_t(Edit.Head.size()));
        return 0;
    } catch (const rtl::EFCreateError&) {
        return ID3V2LIBRARY_ERROR_WRITING_FILE;
    } catch (const std::exception&) {
        return ID3V2LIBRARY_ERROR;
    }
}

int AppendChunk(TChunkForm Form, const String& FileName, rtl::TStream& Stream, uint32_t TagSize, uint32_t Padding)
{
    TTagEdit edit;
    try {
        if (const int r = PlanAppendChunk(Form, Stream, TagSize, Padding, edit)) return r;
    } catch (const std::exception&) {
        return ID3V2LIBRARY_ERROR;
    }
    return RunChunkWriter(FileName, Stream, TagSize, edit);
}

int ResizeChunk(TChunkForm Form, const String& FileName, rtl::TStream& Stream, uint32_t TagSize, uint32_t OldTagSize,
                uint32_t Padding)
{
    TTagEdit edit;
    try {
        if (const int r = PlanResizeChunk(Form, Stream, TagSize, OldTagSize, Padding, edit)) return r;
    } catch (const std::exception&) {
        return ID3V2LIBRARY_ERROR;
    }
    return RunChunkWriter(FileName, Stream, TagSize, edit);
}

} // namespace

int AppendWAVID3v2Chunk(const String& FileName, rtl::TStream& Stream, uint32_t TagSize, uint32_t Padding)
{
    return AppendChunk(TChunkForm::WAV, FileName, Stream, TagSize, Padding);
}

int AppendRF64ID3v2Chunk(const String& FileName, rtl::TStream& Stream, uint32_t TagSize, uint32_t Padding)
{
    return AppendChunk(TChunkForm::RF64, FileName, Stream, TagSize, Padding);
}

int AppendAIFFID3v2Chunk(const String& FileName, rtl::TStream& Stream, uint32_t TagSize, uint32_t Padding)
{
    return AppendChunk(TChunkForm::AIFF, FileName, Stream, TagSize, Padding);
}

int ResizeWAVID3v2Chunk(const String& FileName, rtl::TStream& Stream, uint32_t TagSize, uint32_t OldTagSize,
                        uint32_t Padding)
{
    return ResizeChunk(TChunkForm::WAV, FileName, Stream, TagSize, OldTagSize, Padding);
}

int ResizeRF64ID3v2Chunk(const String& FileName, rtl::TStream& Stream, uint32_t TagSize, uint32_t OldTagSize,
                         uint32_t Padding)
{
    return ResizeChunk(TChunkForm::RF64, FileName, Stream, TagSize, OldTagSize, Padding);
}

int ResizeAIFFID3v2Chunk(const String& FileName, rtl::TStream& Stream, uint32_t TagSize, uint32_t OldTagSize,
                         uint32_t Padding)
{
    return ResizeChunk(TChunkForm::AIFF, FileName, Stream, TagSize, OldTagSize, Padding);
}

// ---------------------------------------------------------------------------------------------
// Removing

namespace {

// A removal: the bytes [CutStart, CutEnd) go, the patches change sizes before them.
using TRemovalPlanner = int (*)(rtl::TStream& Stream, TTagEdit& Edit);

// Replaces FileName by its content without the edit's cut. Failures to create the new file give
// CreateFailure, later ones WriteFailure; the original stays untouched in both cases.
int ReplaceWithout(const String& FileName, rtl::TFileStream& File, const TTagEdit& Edit, int CreateFailure,
                   int WriteFailure)
{
    const int64_t size = File.Size();
    std::unique_ptr<TReplacementFile> out;
    try {
        out = std::make_unique<TReplacementFile>(FileName);
    } catch (const std::exception&) {
        return CreateFailure;
    }
    try {
        WriteEditedFile(Edit, File.Handle(), size, *out, [](rtl::TStream&, uint32_t) { return 0; });
        out->Commit();
    } catch (const std::exception&) {
        return WriteFailure;
    }
    return 0;
}

int RunRemover(const String& FileName, TRemovalPlanner Planner)
{
    std::unique_ptr<rtl::TFileStream> file;
    try {
        file = std::make_unique<rtl::TFileStream>(FileName, rtl::fmOpenReadWrite | rtl::fmShareExclusive);
    } catch (const std::exception&) {
        return ID3V2LIBRARY_ERROR_OPENING_FILE;
    }
    TTagEdit edit;
    try {
        TBufferedStream buffered(*file);
        if (const int r = Planner(buffered, edit)) return r;
    } catch (const std::exception&) {
        return ID3V2LIBRARY_ERROR;
    }
    return ReplaceWithout(FileName, *file, edit, ID3V2LIBRARY_ERROR_WRITING_FILE, ID3V2LIBRARY_ERROR);
}

int PlanRemoveChunk(TChunkForm Form, rtl::TStream& Stream, TTagEdit& Edit)
{
    TContainer c;
    if (const int r = ReadContainer(Form, Stream, c)) return r == ID3V2LIBRARY_ERROR ? ID3V2LIBRARY_ERROR_NOT_SUPPORTED_FORMAT : r;
    TChunk chunk;
    if (!WalkChunks(Stream, c, 12, Stream.Size(), chunk, [Form](const TChunk& k) { return IsTagChunk(Form, k); })
        || chunk.Size == 0)
        return ID3V2LIBRARY_ERROR_NO_TAG_FOUND;
    Edit = TTagEdit();
    Edit.CutStart = chunk.Header;
    Edit.CutEnd = std::min<int64_t>(chunk.Header + 8 + int64_t(chunk.Size + (chunk.Size & 1)), Stream.Size());
    if (chunk.Header >= c.DataEnd()) return 0;
    return PatchContainerSize(c, EditDelta(Edit), Edit);
}

} // namespace

int RemoveWAVID3v2Chunk(const String& FileName)
{
    return RunRemover(FileName, [](rtl::TStream& s, TTagEdit& e) { return PlanRemoveChunk(TChunkForm::WAV, s, e); });
}

int RemoveRF64ID3v2Chunk(const String& FileName)
{
    return RunRemover(FileName, [](rtl::TStream& s, TTagEdit& e) { return PlanRemoveChunk(TChunkForm::RF64, s, e); });
}

int RemoveAIFFID3v2Chunk(const String& FileName)
{
    return RunRemover(FileName, [](rtl::TStream& s, TTagEdit& e) { return PlanRemoveChunk(TChunkForm::AIFF, s, e); });
}

int RemoveDSFID3v2Tag(const String& FileName)
{
    return RunRemover(FileName, [](rtl::TStream& s, TTagEdit& e) {
        uint8_t h[28];
        ReadAt(s, 0, h, 28);
        if (std::memcmp(h, "DSD ", 4) != 0) return ID3V2LIBRARY_ERROR_NOT_SUPPORTED_FORMAT;
        const uint64_t pointer = LE64(h + 20);
        if (pointer == 0 || pointer >= uint64_t(s.Size())) return ID3V2LIBRARY_ERROR_NO_TAG_FOUND;
        s.SetPosition(int64_t(pointer));
        const uint64_t old = std::min<uint64_t>(ID3v2TagSizeAt(s), uint64_t(s.Size()) - pointer);
        if (old == 0) return ID3V2LIBRARY_ERROR_NO_TAG_FOUND;
        e = TTagEdit();
        e.CutStart = int64_t(pointer);
        e.CutEnd = int64_t(pointer + old);
        e.Patches.push_back({12, Bytes64(LE64(h + 12) - std::min(old, LE64(h + 12)), false)});
        e.Patches.push_back({20, Bytes64(0, false)});
        return 0;
    });
}

int RemoveDFFID3v2Chunk(const String& FileName)
{
    return RunRemover(FileName, [](rtl::TStream& s, TTagEdit& e) {
        // The plan for an empty tag finds the old chunk; what it would insert is dropped again.
        if (const int r = PlanDFFChunk(s, 0, e)) return r;
        if (e.CutEnd == e.CutStart) return ID3V2LIBRARY_ERROR_NO_TAG_FOUND;
        uint8_t h[8];
        ReadAt(s, 4, h, 8);
        const int64_t removed = e.CutEnd - e.CutStart;
        e.Head.clear();
        e.Tail = 0;
        e.Patches = {{4, Bytes64(uint64_t(std::max<int64_t>(int64_t(BE64(h)) - removed, 0)), true)}};
        return 0;
    });
}

// ---------------------------------------------------------------------------------------------
// Stripping

int StripID3v2FromFile(const String& FileName)
{
    if (!rtl::FileExists(FileName)) return ID3V2LIBRARY_ERROR;
    std::unique_ptr<rtl::TFileStream> file;
    try {
        file = std::make_unique<rtl::TFileStream>(FileName, rtl::fmOpenRead | rtl::fmShareExclusive);
    } catch (const std::exception&) {
        return ID3V2LIBRARY_ERROR_OPENING_FILE;
    }
    try {
        uint8_t h[10];
        {
            TBufferedStream s(*file);
            ReadAt(s, 0, h, 10);
            if (std::memcmp(h, "ID3", 3) == 0) {
                // A version 4 footer goes with its tag.
                int64_t length = int64_t(DecodeSynchsafe(h + 6)) + 10 + (h[3] == 4 && (h[5] & 0x10) ? 10 : 0);
                length = std::min(length, file->Size());
                TTagEdit edit;
                edit.CutEnd = length;
                return ReplaceWithout(FileName, *file, edit, ID3V2LIBRARY_ERROR_OPENING_FILE,
                                      ID3V2LIBRARY_ERROR_WRITING_FILE);
            }
        }
        using TFinder = uint32_t (*)(rtl::TStream&);
        struct TKind { bool (*Recognise)(rtl::TStream&); TFinder Find; int (*Remove)(const String&); };
        static const TKind kinds[] = {
            {IsRIFFStream, FindWAVID3v2Chunk, RemoveWAVID3v2Chunk},
            {IsRF64Stream, FindRF64ID3v2Chunk, RemoveRF64ID3v2Chunk},
            {IsAIFFStream, FindAIFFID3v2Chunk, RemoveAIFFID3v2Chunk},
            {IsDSFStream, FindDSFID3v2Tag, RemoveDSFID3v2Tag},
            {IsDFFStream, FindDFFID3v2Chunk, RemoveDFFID3v2Chunk},
        };
        for (const auto& kind : kinds) {
            uint32_t found = 0;
            {
                TBufferedStream s(*file);
                s.SetPosition(0);
                if (!kind.Recognise(s)) continue;
                found = kind.Find(s);
            }
            if (found == 0) return ID3V2LIBRARY_ERROR_EMPTY_TAG;
            file.reset();
            return kind.Remove(FileName);
        }
        return ID3V2LIBRARY_ERROR_EMPTY_TAG;
    } catch (const std::exception&) {
        return ID3V2LIBRARY_ERROR;
    }
}

} // namespace tags
