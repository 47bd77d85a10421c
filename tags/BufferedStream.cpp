// tags/BufferedStream.cpp
#include "tags/BufferedStream.h"

#include <algorithm>
#include <cstring>

namespace tags {

TBufferedStream::TBufferedStream(rtl::TStream& Stream) : FStream(Stream)
{
    FStreamPos = Stream.Position();
    FStreamSize = Stream.Size();
}

TBufferedStream::~TBufferedStream()
{
    if (FWriting && FBufSize > 0) {
        try {
            FStream.WriteBuffer(FBuf, FBufSize);
        } catch (...) {
            // a destructor must not throw; the owner saw every earlier failure already
        }
    }
}

void TBufferedStream::FlushBuffer()
{
    if (FBufSize > 0) FStream.WriteBuffer(FBuf, FBufSize);
    FStreamPos += FBufSize;
    FBufPos = 0;
    FBufSize = 0;
}

void TBufferedStream::Flush()
{
    if (!FWriting || FBufSize == 0) return;
    const int64_t position = FStreamPos + FBufPos;
    FlushBuffer();
    if (position != FStreamPos) {
        FStream.Seek(position, rtl::soBeginning);
        FStreamPos = position;
    }
}

int64_t TBufferedStream::Read(void* Buffer, int64_t Count)
{
    if (FWriting) {
        if (FBufSize > 0) FStream.WriteBuffer(FBuf, FBufSize);
        FWriting = false;
        FStreamPos += FBufPos;
        FStream.Seek(FStreamPos, rtl::soBeginning);
        FBufPos = 0;
        FBufSize = 0;
    }
    auto* out = static_cast<uint8_t*>(Buffer);
    int64_t result = 0;
    while (Count > 0) {
        if (FBufPos == FBufSize) {
            FStreamPos += FBufSize;
            FBufPos = 0;
            FBufSize = 0;
            if (Count >= BufferSize) {
                // a large read bypasses the buffer; the buffer stays empty at the new position
                const int64_t n = FStream.Read(out, Count);
                if (n <= 0) break;
                FStreamPos += n;
                result += n;
                break;
            }
            const int64_t n = FStream.Read(FBuf, BufferSize);
            if (n <= 0) break;
            FBufSize = int32_t(n);
        }
        const int32_t n = int32_t(std::min<int64_t>(Count, FBufSize - FBufPos));
        std::memcpy(out, FBuf + FBufPos, size_t(n));
        FBufPos += n;
        out += n;
        Count -= n;
        result += n;
    }
    return result;
}

int64_t TBufferedStream::Write(const void* Buffer, int64_t Count)
{
    if (!FWriting) {
        FWriting = true;
        FStreamPos += FBufPos;
        FStream.Seek(FStreamPos, rtl::soBeginning);
        FBufPos = 0;
        FBufSize = 0;
    }
    const auto* in = static_cast<const uint8_t*>(Buffer);
    if (Count >= BufferSize) {
        // a large write (a picture) bypasses the buffer instead of passing through it in 1 KB pieces
        const int64_t position = FStreamPos + FBufPos;
        if (FBufSize > 0) FlushBuffer();
        if (FStreamPos != position) FStream.Seek(position, rtl::soBeginning);
        FStreamPos = position;
        FStream.WriteBuffer(in, Count);
        FStreamPos += Count;
        FStreamSize = std::max(FStreamSize, FStreamPos);
        return Count;
    }
    int64_t result = 0;
    while (Count > 0) {
        const int32_t n = int32_t(std::min<int64_t>(Count, BufferSize - FBufPos));
        std::memcpy(FBuf + FBufPos, in, size_t(n));
        FBufPos += n;
        if (FBufPos > FBufSize) {
            FBufSize = FBufPos;
            if (FStreamPos + FBufSize > FStreamSize) FStreamSize = FStreamPos + FBufSize;
        }
        if (FBufPos == BufferSize) FlushBuffer();
        Count -= n;
        in += n;
        result += n;
    }
    return result;
}

int64_t TBufferedStream::Seek(int64_t Offset, rtl::TSeekOrigin Origin)
{
    int64_t target = Offset;
    if (Origin == rtl::soCurrent) target = FStreamPos + FBufPos + Offset;
    else if (Origin == rtl::soEnd) target = FStreamSize + Offset;
    target = std::clamp<int64_t>(target, 0, FStreamSize);
    if (target >= FStreamPos && target <= FStreamPos + FBufSize) {
        FBufPos = int32_t(target - FStreamPos);
        return target;
    }
    if (FWriting && FBufSize > 0) FlushBuffer();
    FStream.Seek(target, rtl::soBeginning);
    FStreamPos = target;
    FBufPos = 0;
    FBufSize = 0;
    return target;
}

void TBufferedStream::SetSize(int64_t NewSize)
{
    if (NewSize == FStreamSize) return;
    if (FWriting && FBufSize > 0) FlushBuffer();
    FStream.SetSize(NewSize);
    FStream.Seek(NewSize, rtl::soBeginning);  // the wrapped stream stands where the wrapper does
    FStreamPos = NewSize;
    FStreamSize = NewSize;
    FBufPos = 0;
    FBufSize = 0;
}

} // namespace tags
