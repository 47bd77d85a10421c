// styling/hooking/CodeHooks.cpp
#include "styling/hooking/CodeHooks.h"

#include "styling/hooking/CPUID.h"

#include <cstring>

namespace styling {

namespace {

// An indirect JMP or CALL through [rip+0]: the pointer is stored right behind the instruction. Only
// these carry inline data; any other rip+0 operand (lea rax,[rip+0]) is ordinary code.
bool HasInlineSlot(const TDecodedInstruction& I) {
    return I.OpcodeMap == 1 && I.Opcode == 0xFF && (I.ModRM.Reg == 2 || I.ModRM.Reg == 4) &&
           (I.Displacement.Flags & dfRipRelative) && I.Displacement.Value == 0;
}

int64_t Distance(const uint8_t* From, const uint8_t* To) {
    return int64_t(reinterpret_cast<uintptr_t>(To) - reinterpret_cast<uintptr_t>(From));
}
bool FitsInt8(int64_t V) { return V >= -128 && V <= 127; }
bool FitsInt32(int64_t V) { return V >= INT32_MIN && V <= INT32_MAX; }

[[noreturn]] void Fail(const char* Message) { throw rtl::Exception(QString::fromLatin1(Message)); }

void Put32(uint8_t* At, int64_t V) {
    const int32_t v = int32_t(V);
    std::memcpy(At, &v, 4);
}

} // namespace

int JumpFormSize(TJumpForm Form) {
    static constexpr int sizes[8] = {0, 2, 4, 5, 7, 6, 6, 14};
    return Form < 8 ? sizes[Form] : 0;
}

TJumpForm SelectJumpType(const uint8_t* From, const uint8_t* To, uint8_t* Slot) {
    if (FitsInt8(Distance(From + 2, To))) return jfShort8;
    if (FitsInt32(Distance(From + 5, To))) return jfNear32;
    if (!Slot) Fail("Invalid DstSave Address pointer.");
    return FitsInt32(Distance(From + 6, Slot)) ? jfSlotRip : jfInline64;
}

bool WriteJump(uint8_t* At, const uint8_t* To, TJumpForm Form, uint8_t* Slot) {
    // A displacement that does not fit would jump somewhere else entirely: refuse rather than truncate.
    switch (Form) {
    case jfShort8: {
        const int64_t d = Distance(At + 2, To);
        if (!FitsInt8(d)) Fail("Jump destination out of reach.");
        At[0] = 0xEB;
        At[1] = uint8_t(int8_t(d));
        return true;
    }
    case jfNear32: {
        const int64_t d = Distance(At + 5, To);
        if (!FitsInt32(d)) Fail("Jump destination out of reach.");
        At[0] = 0xE9;
        Put32(At + 1, d);
        return true;
    }
    case jfSlotRip: {
        if (!Slot) Fail("Invalid DstSave Address pointer.");
        const int64_t d = Distance(At + 6, Slot);
        if (!FitsInt32(d)) Fail("Jump destination out of reach.");
        const uint64_t target = reinterpret_cast<uintptr_t>(To);
        std::memcpy(Slot, &target, 8);
        At[0] = 0xFF;
        At[1] = 0x25;
        Put32(At + 2, d);
        return true;
    }
    case jfInline64: {
        const uint64_t target = reinterpret_cast<uintptr_t>(To);
        At[0] = 0xFF;
        At[1] = 0x25;
        Put32(At + 2, 0);
        std::memcpy(At + 6, &target, 8);
        return true;
    }
    case jfNear16:
    case jfSlot16:
    case jfSlot32:
        Fail("Invalid JMP Type for x64.");
    default:
        Fail("Invalid JMP Type.");
    }
}

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
