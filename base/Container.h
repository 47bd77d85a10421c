// base/Container.h: the compressed container the built-in skins are stored in (a 47-byte header, a
// name, an optional field and a zlib payload, optionally scrambled), its descrambler and the zlib
// decompression stream the unpacker reads through.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include <zlib.h>

#include "rtl/Streams.h"

namespace base {

using rtl::String;

constexpr int ContainerHeaderSize = 47;
constexpr int ScrambleHeaderSize = 52;
constexpr int ScrambleBlockSize = 32768;

#pragma pack(push, 1)
struct TContainerHeader {
    char Magic[4];
    uint8_t Fixed[5];
    uint8_t Varying[8];
    int64_t Unknown;
    int64_t PayloadLength;
    uint8_t One;
    double Date;
    uint16_t NameLength;
    uint16_t ExtraLength;
    uint8_t Scrambled;
};
#pragma pack(pop)
static_assert(sizeof(TContainerHeader) == ContainerHeaderSize);

// 0 read, 22 when the stream is shorter than the header, 25 when the read came up short.
int ReadContainerHeader(rtl::TStream& Stream, TContainerHeader& Header);
// The header reads and the stream is exactly header, name, field and payload long.
bool IsValidContainer(rtl::TStream& Stream);
// 0, or 40 for an invalid container (Target untouched). A corrupt payload raises EZDecompressionError.
int UnpackContainer(rtl::TStream& Source, rtl::TMemoryStream& Target);
int UnpackContainerInPlace(rtl::TMemoryStream& Stream);

class TDec {
public:
    bool Aborted = false;
    int PercentComplete = 0;
    std::function<bool(int Percent)> DecProc; // false stops

    // The input's payload after its 52-byte header, descrambled block by block.
    bool DecodeStream(rtl::TStream& Input, rtl::TStream& Output);
    bool DecodeStream(rtl::TMemoryStream& Stream);
};

// Descrambles one block in place; Key holds the header bytes at 13, 17, 21, 25, 29 and 33.
void DescrambleBlock(uint8_t* Block, size_t Len, uint8_t Mode, const std::array<uint8_t, 6>& Key);

// The run-time library's zlib errors: one type, whichever unit raised it.
using EZLibError = rtl::EZLibError;
using EZDecompressionError = rtl::EZDecompressionError;

// Inflates a zlib stream read from Source, starting at Source's position when created.
class TZDecompressionStream : public rtl::TStream {
public:
    explicit TZDecompressionStream(rtl::TStream& Source);
    ~TZDecompressionStream() override;
    TZDecompressionStream(const TZDecompressionStream&) = delete;
    TZDecompressionStream& operator=(const TZDecompressionStream&) = delete;

    int64_t Read(void* Buffer, int64_t Count) override;
    int64_t Write(const void* Buffer, int64_t Count) override; // always raises
    int64_t Seek(int64_t Offset, rtl::TSeekOrigin Origin) override;

    std::function<void()> OnProgress; // each time the input buffer is refilled

protected:
    int64_t GetSize() override;

private:
    void Restart();
    rtl::TStream& FStream;
    int64_t FStreamStart;
    int64_t FStreamPos;
    z_stream FZStream{};
    bool FEnded = false;
    int64_t FDelivered = 0;
    std::vector<uint8_t> FBuffer;
};

} // namespace base
