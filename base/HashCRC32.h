// base/HashCRC32.h: CRC-32 (zlib's, IEEE 802.3) of a stream or file, read in fixed chunks.
#pragma once
#include <cstdint>
#include <functional>

#include "rtl/Streams.h"

namespace base {

// Called after each chunk with the percentage read so far and the chunk count; false stops the run.
using THashProgressCallback = std::function<bool(int Percent, int ChunkCount)>;

constexpr int64_t CRC32ChunkSize = 102400;
// Continues Crc (0 to start) over Len more bytes; the same values as zlib's crc32.
uint32_t CRC32Update(uint32_t Crc, const void* Data, size_t Len);

// The CRC of the bytes from StartPos to the end of the stream (as sized at the start). A stopped run
// gives the CRC of what was read; a stream that ends early raises rtl::EReadError.
uint32_t CRC32OfStream(rtl::TStream& Stream, int64_t StartPos, const THashProgressCallback& Callback = {});
// Raises rtl::EFOpenError when the file cannot be opened.
uint32_t CRC32OfFile(const rtl::String& FileName, const THashProgressCallback& Callback = {});

} // namespace base
