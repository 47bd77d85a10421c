// styling/hooking/CodeHooks.h: the machine-code side of function hooking: decoding for the patcher,
// the jumps that patch a target and link the engine's blocks.
#pragma once
#include <cstdint>

#include "styling/hooking/InsnDecode.h"

namespace styling {

// Decodes 64-bit code as the patcher sees it: VEX when the processor has AVX, and an FF 25 / FF 15
// through a zero displacement measured with the 8-byte pointer that follows it inline.
int32_t DecodeForHook(TDecodedInstruction& Instruction);

} // namespace styling
