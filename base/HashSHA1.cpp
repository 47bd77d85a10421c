// base/HashSHA1.cpp
#include "base/HashSHA1.h"

#include <vector>

#include "base/Math.h"
#include "base/MemUtil.h"
#include "base/SHA1.h"
#include "base/TimeLogger.h"
#include "rtl/Math.h"

namespace base {

double CalcSpeedMBps(int64_t Bytes, double Ms, double Default) {
    const double Seconds = Ms / 1000;
    if (Seconds > 0) return double(Bytes) / 1048576 / Seconds;
    return Default;
}

bool SHA1OfStream(rtl::TStream& Stream, THashResultRec& Res, int64_t StartPos,
                  const THashProgressCallback& Callback) {
    TClassTimeLogger Logger;
    Logger.StartLog();
    Res.Clear();
    THashContext Context;
    SHA1Init(Context);

    const int64_t Size = Stream.Size();
    Res.StreamSize = Size - StartPos;
    Stream.Seek(StartPos, rtl::soBeginning);
    int64_t Position = Stream.Position();
    std::vector<uint8_t> Buffer(SHA1ChunkSize);
    int Chunks = 0;
    while (Position < Size) {
        const int64_t Got = Stream.Read(Buffer.data(), std::min(SHA1ChunkSize, Size - Position));
        // A file cut short while it is read would otherwise give empty reads for ever.
        if (Got <= 0) throw rtl::EReadError(QStringLiteral("Stream read error"));
        SHA1Update(Context, Buffer.data(), size_t(Got));
        Position += Got;
        ++Chunks;
        if (Callback &&
            !Callback(int(rtl::Round(PercentRatio(double(Position - StartPos), double(Res.StreamSize)))),
                      Chunks))
            return false;
    }

    TSHA1Digest Digest;
    SHA1Final(Context, Digest);
    const QString Hex = QString::fromLatin1(BufferToHex(Digest, sizeof(Digest)));
    Res.StrValueUpper = Hex.toUpper();
    Res.StrValueLower = Hex.toLower();
    Logger.EndLog();
    Res.ElapsedTimeMs = uint32_t(Logger.ElapsedTimeMs());
    Res.SpeedMBperSec = float(CalcSpeedMBps(Res.StreamSize, Res.ElapsedTimeMs, 0));
    return true;
}

bool SHA1OfFile(const rtl::String& FileName, THashResultRec& Res, const THashProgressCallback& Callback) {
    rtl::TFileStream Stream(FileName, rtl::fmOpenRead | rtl::fmShareDenyNone);
    return SHA1OfStream(Stream, Res, 0, Callback);
}

} // namespace base
