// base/Hash.h: the small registry of hash descriptors that hash units enrol in when they start.
#pragma once
#include <cstdint>

#include "base/SHA1.h"

namespace base {

constexpr uint16_t C_HashSig = 0x3D7A;
constexpr uint16_t C_HashDescSize = 100;
constexpr uint32_t C_HashVers = 0x00020002;
constexpr int C_HashMaxAlg = 18; // slots 0..18

// Algorithm numbers are slot indexes.
enum THashAlgorithm : uint32_t { _CRC16 = 0, _CRC24 = 1, _CRC32 = 2, _SHA1 = 3 };

struct THashDesc {
    uint16_t HSig;      // C_HashSig
    uint16_t HDSize;    // C_HashDescSize
    uint32_t HDVersion; // C_HashVers
    uint16_t HBlockLen;
    uint16_t HDigestlen;
    void (*HInit)(THashContext&);
    void (*HFinal)(THashContext&, uint8_t* Digest);
    void (*HUpdate)(THashContext&, const void* Data, uint16_t Len);
    uint32_t HAlgNum;
    uint8_t HName[20]; // length byte, then up to 19 characters
    const uint32_t* HPtrOID;
    uint16_t HLenOID;
    uint16_t HFill;
    void (*HFinalBit)(THashContext&, uint8_t* Digest, uint8_t BData, int BitLen);
    uint8_t HReserved[20];
};

using PHashDesc = const THashDesc*;

// Enrols Desc in slot AlgId; a descriptor that does not check out is ignored.
void RegisterHash(uint32_t AlgId, PHashDesc Desc);
// The descriptor in a slot, or null.
PHashDesc FindHash_by_ID(uint32_t AlgId);

} // namespace base
