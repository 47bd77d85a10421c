// base/HashCRC32.cpp
#include "base/HashCRC32.h"

#include <vector>
#include <zlib.h>

#include "base/Math.h"
#include "rtl/Math.h"

namespace base {

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
        Crc = crc32(Crc, Buffer.data(), uInt(Got));
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
