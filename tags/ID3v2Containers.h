// tags/ID3v2Containers.h: recognising WAV, RF64, AIFF/AIFC, DSF and DSDIFF files by their first bytes
// and finding the ID3v2 tag inside each; searching for "ID3" near the start of any other file.
#pragma once
#include <cstdint>

namespace rtl { class TStream; }

namespace tags {

// Recognisers read at the position and leave the stream after what they read.
bool IsID3v2Header(rtl::TStream& Stream);
bool IsRIFFStream(rtl::TStream& Stream);
bool IsRF64Stream(rtl::TStream& Stream);
bool IsAIFFStream(rtl::TStream& Stream);
bool IsDSFStream(rtl::TStream& Stream);
bool IsDFFStream(rtl::TStream& Stream);

// Finders leave the stream at the data of the chunk they found and return its size (0: none found).
uint32_t FindWAVID3v2Chunk(rtl::TStream& Stream);    // after IsRIFFStream
uint32_t FindRF64ID3v2Chunk(rtl::TStream& Stream);   // after IsRF64Stream
uint32_t FindAIFFID3v2Chunk(rtl::TStream& Stream);   // after IsAIFFStream
uint32_t FindDSFID3v2Tag(rtl::TStream& Stream);      // after IsDSFStream
uint32_t FindDFFID3v2Chunk(rtl::TStream& Stream);    // from offset 4

// Size of the ID3v2 tag at the position, header included (0: no "ID3"); the position is kept.
uint32_t ID3v2TagSizeAt(rtl::TStream& Stream);
// Looks for "ID3" within Length bytes from the position; false leaves the position unchanged.
bool SearchID3v2Header(rtl::TStream& Stream, uint32_t Length);

} // namespace tags
