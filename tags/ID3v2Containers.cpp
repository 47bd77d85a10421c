// tags/ID3v2Containers.cpp
#include "tags/ID3v2Containers.h"

#include "rtl/Streams.h"
#include "tags/ID3v2Base.h"

#include <algorithm>
#include <cstring>

namespace tags {

namespace {

bool ReadMark(rtl::TStream& Stream, const char* Mark)
{
    uint8_t b[4];
    ReadZeroFilled(Stream, b, 4);
    return std::memcmp(b, Mark, 4) == 0;
}

// Skips a chunk's data and its pad byte; false when that would pass the end of the stream.
bool SkipChunk(rtl::TStream& Stream, uint64_t Size)
{
    const uint64_t left = uint64_t(BytesLeft(Stream));
    if (Size >= left) {
        Stream.Seek(0, rtl::soEnd);
        return false;
    }
    Stream.Seek(int64_t(Size + (Size & 1)), rtl::soCurrent);   // a pad byte missing at the very end is no matter
    return true;
}

// The walk of RIFF-style chunks with 32-bit sizes; RF64 adds the ds64 data size for "data".
uint32_t WalkForID3(rtl::TStream& Stream, bool BigEndian, const char* Id1, const char* Id2, bool RF64)
{
    uint64_t ds64DataSize = 0;
    const int64_t size = Stream.Size();
    while (Stream.Position() + 8 < size) {
        uint8_t h[8];
        ReadZeroFilled(Stream, h, 8);
        const uint32_t chunkSize = BigEndian ? BE32(h + 4) : LE32(h + 4);
        if (std::memcmp(h, Id1, 4) == 0 || (Id2 && std::memcmp(h, Id2, 4) == 0)) return chunkSize;
        uint64_t skip = chunkSize;
        if (RF64 && std::memcmp(h, "ds64", 4) == 0 && chunkSize >= 28) {
            uint8_t d[28];
            ReadZeroFilled(Stream, d, 28);
            ds64DataSize = LE64(d + 8);
            skip = chunkSize - 28;
        } else if (RF64 && std::memcmp(h, "data", 4) == 0 && chunkSize == 0xFFFFFFFF) {
            skip = ds64DataSize;
        }
        if (!SkipChunk(Stream, skip)) break;
    }
    return 0;
}

} // namespace

bool IsID3v2Header(rtl::TStream& Stream)
{
    uint8_t b[3];
    ReadZeroFilled(Stream, b, 3);
    return std::memcmp(b, "ID3", 3) == 0;
}

bool IsRIFFStream(rtl::TStream& Stream) { return ReadMark(Stream, "RIFF"); }
bool IsRF64Stream(rtl::TStream& Stream) { return ReadMark(Stream, "RF64"); }
bool IsAIFFStream(rtl::TStream& Stream) { return ReadMark(Stream, "FORM"); }
bool IsDSFStream(rtl::TStream& Stream) { return ReadMark(Stream, "DSD "); }

bool IsDFFStream(rtl::TStream& Stream)
{
    if (!ReadMark(Stream, "FRM8")) return false;
    Stream.Seek(8, rtl::soCurrent);
    return ReadMark(Stream, "DSD ");
}

uint32_t FindWAVID3v2Chunk(rtl::TStream& Stream)
{
    Stream.Seek(4, rtl::soCurrent);
    if (!ReadMark(Stream, "WAVE")) return 0;
    return WalkForID3(Stream, false, "id3 ", "ID32", false);
}

uint32_t FindRF64ID3v2Chunk(rtl::TStream& Stream)
{
    Stream.Seek(4, rtl::soCurrent);
    if (!ReadMark(Stream, "WAVE")) return 0;
    return WalkForID3(Stream, false, "id3 ", "ID32", true);
}

uint32_t FindAIFFID3v2Chunk(rtl::TStream& Stream)
{
    Stream.Seek(4, rtl::soCurrent);
    uint8_t type[4];
    ReadZeroFilled(Stream, type, 4);
    if (std::memcmp(type, "AIFF", 4) != 0 && std::memcmp(type, "AIFC", 4) != 0) return 0;
    return WalkForID3(Stream, true, "ID3 ", nullptr, false);
}

uint32_t FindDSFID3v2Tag(rtl::TStream& Stream)
{
    Stream.SetPosition(20);
    uint8_t p[8];
    ReadZeroFilled(Stream, p, 8);
    const uint64_t pointer = LE64(p);
    if (pointer == 0 || pointer >= uint64_t(Stream.Size())) return 0;
    Stream.SetPosition(int64_t(pointer));
    return ID3v2TagSizeAt(Stream);
}

uint32_t FindDFFID3v2Chunk(rtl::TStream& Stream)
{
    Stream.SetPosition(4);
    uint8_t b[12];
    ReadZeroFilled(Stream, b, 8);
    const uint64_t formEnd = BE64(b) + 12;
    Stream.Seek(4, rtl::soCurrent);
    do {
        ReadZeroFilled(Stream, b, 12);
        const uint64_t chunkSize = BE64(b + 4);
        if (std::memcmp(b, "ID3 ", 4) == 0) return uint32_t(chunkSize);
        if (!SkipChunk(Stream, chunkSize)) break;
    } while (uint64_t(Stream.Position()) < formEnd && Stream.Position() < Stream.Size());
    return 0;
}

uint32_t ID3v2TagSizeAt(rtl::TStream& Stream)
{
    const int64_t start = Stream.Position();
    uint8_t h[10];
    ReadZeroFilled(Stream, h, 10);
    Stream.SetPosition(start);
    if (std::memcmp(h, "ID3", 3) != 0) return 0;
    return DecodeSynchsafe(h + 6) + 10;
}

bool SearchID3v2Header(rtl::TStream& Stream, uint32_t Length)
{
    const int64_t start = Stream.Position();
    // The marker must start within Length bytes; its other two letters may lie just beyond.
    const int64_t n = std::min<int64_t>(Length, BytesLeft(Stream));
    if (n <= 0) return false;
    TBytes copy(size_t(n) + 2, 0);
    Stream.Read(copy.data(), std::min<int64_t>(n + 2, BytesLeft(Stream)));
    for (int64_t i = 0; i < n; ++i) {
        if (copy[i] == 'I' && copy[i + 1] == 'D' && copy[i + 2] == '3') {
            Stream.SetPosition(start + i);
            return true;
        }
    }
    Stream.SetPosition(start);
    return false;
}

} // namespace tags
