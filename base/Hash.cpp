// base/Hash.cpp
#include "base/Hash.h"

#include <array>

namespace base {

namespace {

std::array<PHashDesc, C_HashMaxAlg + 1>& Registry() {
    static std::array<PHashDesc, C_HashMaxAlg + 1> Slots{};
    return Slots;
}

} // namespace

void RegisterHash(uint32_t AlgId, PHashDesc Desc) {
    if (AlgId > uint32_t(C_HashMaxAlg) || !Desc) return;
    if (Desc->HAlgNum != AlgId || Desc->HSig != C_HashSig || Desc->HDVersion != C_HashVers ||
        Desc->HDSize != C_HashDescSize)
        return;
    Registry()[AlgId] = Desc;
}

PHashDesc FindHash_by_ID(uint32_t AlgId) {
    if (AlgId > uint32_t(C_HashMaxAlg)) return nullptr;
    return Registry()[AlgId];
}

namespace {
// The SHA-1 unit enrols its descriptor when the program starts.
const bool SHA1Enrolled = (SHA1RegisterDescriptor(), true);
} // namespace

} // namespace base
