// tags/BufferedStream.h: a 1024-byte buffer in front of another stream, so that the many small
// field reads and writes of the tag code reach the file in blocks.
#pragma once
#include "rtl/Streams.h"

#include <cstdint>

namespace tags {

// Reads and writes share one buffer: the first Read after writing writes the pending bytes out, the
// first Write after reading drops the read-ahead. The wrapped stream is not owned and must not be
// touched by anybody else while the wrapper exists; destroying the wrapper writes pending bytes.
class TBufferedStream : public rtl::TStream {
public:
    explicit TBufferedStream(rtl::TStream& Stream);
    ~TBufferedStream() override;

    int64_t Read(void* Buffer, int64_t Count) override;
    int64_t Write(const void* Buffer, int64_t Count) override;
    int64_t Seek(int64_t Offset, rtl::TSeekOrigin Origin) override;
    void SetSize(int64_t NewSize) override;
    // Writes pending bytes now, raising on failure; destruction writes them too but cannot report.
    void Flush();
    using rtl::TStream::Read;
    using rtl::TStream::Write;

protected:
    int64_t GetSize() override { return FStreamSize; }

private:
    static constexpr int BufferSize = 1024;
    void FlushBuffer();

    uint8_t FBuf[BufferSize];
    int32_t FBufPos = 0;
    int32_t FBufSize = 0;
    rtl::TStream& FStream;
    int64_t FStreamPos = 0;
    int64_t FStreamSize = 0;
    bool FWriting = false;
};

} // namespace tags
