// base/SHA1.h: the SHA-1 primitive (FIPS 180-4) in the init/update/final form the file hashing drives.
#pragma once
#include <cstddef>
#include <cstdint>

namespace base {

struct THashContext {
    uint32_t State[5];
    uint64_t Length;    // bytes fed so far
    uint8_t Buffer[64]; // a block not yet complete
    uint32_t Index;     // bytes held in Buffer
};

using TSHA1Digest = uint8_t[20];

void SHA1Init(THashContext& Context);
// The file hashing feeds at most 65535 bytes per call; any length works.
void SHA1Update(THashContext& Context, const void* Data, size_t Len);
void SHA1Final(THashContext& Context, TSHA1Digest& Digest);

// Registers the SHA-1 descriptor in the hash registry; done once at start-up.
void SHA1RegisterDescriptor();

namespace detail {
// Tests check the portable compression on machines whose CPU has the SHA extensions.
void SHA1UsePortable(bool Value);
} // namespace detail

} // namespace base
