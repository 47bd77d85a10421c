// tags/ID3v2ContainerWriters.h: making room for an ID3v2 tag inside WAV, RF64, AIFF/AIFC, DSF and
// DSDIFF files, checking that a container can take one, and taking the tag out again.
#pragma once
#include "rtl/System.h"

#include <cstdint>

namespace rtl { class TStream; }

namespace tags {

using rtl::String;

// Each check reads from the stream's start and restores the position; false when the chunks do not fit
// the stream (nothing must then be written).
bool CheckWAVLayout(rtl::TStream& Stream);
bool CheckRF64Layout(rtl::TStream& Stream);
bool CheckDSFLayout(rtl::TStream& Stream);
bool CheckDFFLayout(rtl::TStream& Stream);

// Chunk writers, entered with the stream at 0. On 0 the stream stands at the data of a chunk of
// TagSize + Padding zero bytes (rounded up to even; after a resize, the surplus of a chunk that held
// more than its tag follows). Bytes after the chunk are held in memory, or, when FileName is given, in a
// new file beside it that is deleted afterwards. Results: 0, 6, 9 (RF64), 10 (WAV, AIFF), 0xFFFF; every
// refusal comes before the stream is changed.
int AppendWAVID3v2Chunk(const String& FileName, rtl::TStream& Stream, uint32_t TagSize, uint32_t Padding);
int AppendRF64ID3v2Chunk(const String& FileName, rtl::TStream& Stream, uint32_t TagSize, uint32_t Padding);
int AppendAIFFID3v2Chunk(const String& FileName, rtl::TStream& Stream, uint32_t TagSize, uint32_t Padding);
int ResizeWAVID3v2Chunk(const String& FileName, rtl::TStream& Stream, uint32_t TagSize, uint32_t OldTagSize,
                        uint32_t Padding);
int ResizeRF64ID3v2Chunk(const String& FileName, rtl::TStream& Stream, uint32_t TagSize, uint32_t OldTagSize,
                         uint32_t Padding);
int ResizeAIFFID3v2Chunk(const String& FileName, rtl::TStream& Stream, uint32_t TagSize, uint32_t OldTagSize,
                         uint32_t Padding);

// Removers: the file is replaced through a new file beside it, so a failure leaves it as it was.
// Results: 0, 1 (no tag), 4 (cannot open), 6 (the new file cannot be made), 9 (not that container),
// 10 (size limit), 0xFFFF.
int RemoveWAVID3v2Chunk(const String& FileName);
int RemoveRF64ID3v2Chunk(const String& FileName);
int RemoveAIFFID3v2Chunk(const String& FileName);
int RemoveDSFID3v2Tag(const String& FileName);
int RemoveDFFID3v2Chunk(const String& FileName);

// Removes the ID3v2 tag from the start of any file or from a container. Results: 0, 2 (nothing to
// remove), 4 (cannot open or create), 6 (writing or replacing failed, the file is unchanged), 0xFFFF
// (missing file or an unexpected failure).
int StripID3v2FromFile(const String& FileName);

} // namespace tags
