// tags/ID3v2Base.h: the byte-level pieces of ID3v2: integer encodings, frame IDs and their kinds,
// zero-filling reads and the removal of unsynchronisation.
#pragma once
#include "rtl/System.h"

#include <array>
#include <cstdint>

namespace rtl { class TStream; class TMemoryStream; }

namespace tags {

using rtl::String;
using rtl::TBytes;

// Synchsafe integers: 7 bits a byte, most significant group first; top bits are ignored when decoding.
uint32_t DecodeSynchsafe(const uint8_t* Bytes, int Width = 4);
void EncodeSynchsafe(uint32_t Value, uint8_t* Bytes, int Width = 4);

uint16_t SwapWord(uint16_t Value);
uint32_t SwapLongWord(uint32_t Value);
void ReverseBytes10(uint8_t* Value);
inline int64_t MakeInt64(uint32_t Lo, uint32_t Hi) { return int64_t((uint64_t(Hi) << 32) | Lo); }
inline uint32_t Int64Lo(int64_t Value) { return uint32_t(uint64_t(Value)); }
inline uint32_t Int64Hi(int64_t Value) { return uint32_t(uint64_t(Value) >> 32); }

inline uint16_t BE16(const uint8_t* p) { return uint16_t((p[0] << 8) | p[1]); }
inline uint32_t BE24(const uint8_t* p) { return (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2]; }
inline uint32_t BE32(const uint8_t* p) { return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3]; }
inline uint64_t BE64(const uint8_t* p) { return (uint64_t(BE32(p)) << 32) | BE32(p + 4); }
inline uint16_t LE16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
inline uint32_t LE32(const uint8_t* p) { return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24); }
inline uint64_t LE64(const uint8_t* p) { return (uint64_t(LE32(p + 4)) << 32) | LE32(p); }

// Fills Count bytes with zeros, then reads what the stream has: a truncated field reads as zeros.
int ReadZeroFilled(rtl::TStream& Stream, void* Buffer, int Count);
// Bytes left between the stream's position and its end (0 when the position is past the end).
int64_t BytesLeft(rtl::TStream& Stream);

// Copies Count bytes (fewer at the end of Source), dropping each 00 that directly follows an FF.
void CopyRemovingUnsynchronisation(rtl::TStream& Source, rtl::TStream& Dest, int64_t Count);
bool RemoveUnsynchronisationInPlace(rtl::TMemoryStream& Stream);
// The same on a byte buffer; LastWasFF carries the state across calls.
TBytes RemoveUnsynchronisationBytes(const uint8_t* Data, size_t Size, bool& LastWasFF);

// Frame IDs: four single-byte characters; version 2.2 IDs have three and a zero fourth byte.
using TFrameID = std::array<uint8_t, 4>;

inline void ClearFrameID(TFrameID& ID) { ID = {0, 0, 0, 0}; }
TFrameID StringToFrameID(const String& Text);
TFrameID FrameIDFromLiteral(const String& Text);
String FrameIDToString(const TFrameID& ID);
bool ValidFrameID(const TFrameID& ID);
bool ValidFrameIDv22(const TFrameID& ID);
inline bool SameFrameID(const TFrameID& A, const TFrameID& B) { return A == B; }
bool FrameIDMatchesText(const TFrameID& ID, const char* Text);
bool FrameIDMatchesText(const TFrameID& ID, const String& Text);

// Kinds of frames, as the converters sort them.
enum : int {
    fkText = 1, fkUserDefinedText = 2, fkContent = 3, fkList = 4, fkURL = 5, fkUserDefinedURL = 6,
    fkPlayCounter = 7, fkOther = 8
};
int ID3v2FrameKind(const TFrameID& ID);

} // namespace tags
