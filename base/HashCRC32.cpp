// base/HashCRC32.cpp
#include "base/HashCRC32.h"

#include <algorithm>
#include <vector>
#include <zlib.h>
#ifdef TW_HAVE_ISAL
#include <isa-l/crc.h>
#endif

#include "base/Math.h"
#include "rtl/Math.h"

namespace base {

uint32_t CRC32Update(uint32_t Crc, const void* Data, size_t Len) {
#ifdef TW_HAVE_ISAL
    // Carry-less multiply folding: several times zlib's speed on the same polynomial.
    const auto* P = static_cast<const uint8_t*>(Data);
    while (Len > 0) {
        const uint64_t N = std::min<size_t>(Len, 1u << 30);
        Crc = crc32_gzip_refl(Crc, P, N);
        P += N;
        Len -= N;
    }
    return Crc;
#else
    const auto* P = static_cast<const Bytef*>(Data);
    uLong C = Crc;
    while (Len > 0) {
        const uInt N = uInt(std::min<size_t>(Len, 1u << 30));
        C = crc32(C, P, N);
        P += N;
        Len -= N;
    }
    return uint32_t(C);
#endif
}

uint32_t CRC32OfStream(rtl::TStream& Stream, int64_t StartPos, const THashProgressCallback& Callback) {
    Stream.Seek(StartPos, rtl::soBeginning);
    const int64_t Size = Stream.Size();
    uLong Crc = 0;
    int Chunks = 0;
    std::vector<uint8_t> Buffer(CRC32ChunkSize);
    int64_t Position = Stream.Position();
    while (Position < Size) {
        const int64_t Got = Stream.Read(Buffer.data(), std::min(CRC32ChunkSize, Size - Position));
        // A file cut short while it is read would otherwise give empty reads for ever.
        if (Got <= 0) throw rtl::EReadError(QStringLiteral("Stream read error"));
        Crc = CRC32Update(uint32_t(Crc), Buffer.data(), size_t(Got));
        Position += Got;
        ++Chunks;
        if (Callback &&
            !Callback(int(rtl::Round(PercentRatio(double(Position - StartPos), double(Size - StartPos)))),
                      Chunks))
            break;
    }
    return uint32_t(Crc);
}

uint32_t CRC32OfFile(const rtl::String& FileName, const THashProgressCallback& Callback) {
    rtl::TFileStream Stream(FileName, rtl::fmOpenRead | rtl::fmShareDenyNone);
    return CRC32OfStream(Stream, 0, Callback);
}

} // namespace base
