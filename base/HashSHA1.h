// base/HashSHA1.h: SHA-1 of a stream or file, with timing and throughput.
#pragma once
#include "base/HashCRC32.h"
#include "base/HashCommon.h"

namespace base {

// The largest multiple of the 64-byte block that the 16-bit update length allows.
constexpr int64_t SHA1ChunkSize = 0xFC00;

// Bytes / MiB / seconds, or Default when no time passed.
double CalcSpeedMBps(int64_t Bytes, double Ms, double Default);

// Fills Res and returns true; a run stopped by the callback returns false with only StreamSize set.
// A stream that ends early raises rtl::EReadError.
bool SHA1OfStream(rtl::TStream& Stream, THashResultRec& Res, int64_t StartPos,
                  const THashProgressCallback& Callback = {});
// Raises rtl::EFOpenError when the file cannot be opened.
bool SHA1OfFile(const rtl::String& FileName, THashResultRec& Res, const THashProgressCallback& Callback = {});

} // namespace base
