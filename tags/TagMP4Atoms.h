// tags/TagMP4Atoms.h: MP4 atom headers and the walks that reading and saving share. Internal to the tag
// library.
#pragma once
#include "tags/TagMP4.h"

#include <cstdint>
#include <utility>

namespace tags::mp4 {

struct TAtomHeader {
    int64_t Offset = 0;        // the header's first byte
    uint64_t Size = 0;         // the whole atom, header included
    TAtomName Type{};
    int HeaderLength = 8;      // 16 with a 64-bit size
};

uint32_t BE32(const uint8_t* P);
uint64_t BE64(const uint8_t* P);
inline void PutBE32(rtl::TBytes& Out, uint32_t V)
{
    for (int shift = 24; shift >= 0; shift -= 8) Out.push_back(uint8_t(V >> shift));
}
int64_t ReadZeroFilled(rtl::TStream& S, void* Buffer, int64_t Count);
uint32_t ReadBE32(rtl::TStream& S);
[[noreturn]] void Corrupt(const TAtomName& Type);

// Reads the header at the position; false at the stream's end. Check refuses a size below the header or
// past the stream with the corrupt-file exception.
bool ReadAtomHeader(rtl::TStream& S, TAtomHeader& H, bool Check);
// Moves to the atom's end (or the stream's end, for an unchecked size past it).
void SkipBody(rtl::TStream& S, const TAtomHeader& H);
int64_t End(const TAtomHeader& H);
std::pair<int64_t, int64_t> FindMdatAtom(rtl::TStream& S);

} // namespace tags::mp4
