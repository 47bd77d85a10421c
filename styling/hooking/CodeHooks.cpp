// styling/hooking/CodeHooks.cpp
#include "styling/hooking/CodeHooks.h"

#include "styling/hooking/CPUID.h"

namespace styling {

namespace {

// An indirect JMP or CALL through [rip+0]: the pointer is stored right behind the instruction. Only
// these carry inline data; any other rip+0 operand (lea rax,[rip+0]) is ordinary code.
bool HasInlineSlot(const TDecodedInstruction& I) {
    return I.OpcodeMap == 1 && I.Opcode == 0xFF && (I.ModRM.Reg == 2 || I.ModRM.Reg == 4) &&
           (I.Displacement.Flags & dfRipRelative) && I.Displacement.Value == 0;
}

} // namespace

int32_t DecodeForHook(TDecodedInstruction& Instruction) {
    TDecodedInstruction& I = Instruction;
    if (CpuExtensions & ceAvx) I.DecodeOptions |= doVex;
    I.Architecture = 1;
    I.RunAddress = nullptr;
    DecodeInstruction(I);
    if (HasInlineSlot(I)) I.Length += (I.Prefixes & pfOpSize) && CpuVendor == cvAMD ? 2 : 8;
    return I.Length;
}

} // namespace styling
