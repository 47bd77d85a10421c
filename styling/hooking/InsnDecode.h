// styling/hooking/InsnDecode.h: a table-driven x86 / x86-64 instruction decoder. It measures and
// classifies one instruction (prefixes, REX/VEX, ModRM/SIB, displacement, immediates, branch target,
// length) so that the code patcher knows where instructions end and what they address. No mnemonics.
#pragma once
#include <cstdint>

#include "rtl/System.h"

namespace styling {

// Prefixes
constexpr uint16_t pfCS = 0x0001, pfDS = 0x0002, pfES = 0x0004, pfGS = 0x0008, pfFS = 0x0010,
                   pfSS = 0x0020, pfOpSize = 0x0040, pfAddrSize = 0x0080, pfLock = 0x0100,
                   pfRep = 0x0200, pfRepne = 0x0400, pfRex = 0x0800, pfVex = 0x1000, pfVex2 = 0x2000,
                   pfVex3 = 0x4000;

// BranchKind
constexpr uint8_t bkNone = 0, bkReturn = 1, bkCall = 2, bkJump = 4, bkOther = 8, bkConditional = 24;
// InstructionClass
constexpr uint8_t icOther = 0, icStack = 1, icControlRegister = 2, icControlTransfer = 3;

// ModRM.Flags
constexpr uint8_t mfMemoryReg = 0x01, mfSib = 0x10, mfDecoded = 0x80;
// Displacement.Flags
constexpr uint8_t dfPresent = 1, dfRipRelative = 2, dfWithBase = 4, dfNoBase = 8, dfMemOffset = 16;
// Branch.Flags
constexpr uint8_t bfPresent = 1, bfRelative = 2, bfNotRelative = 4, bfIndirect = 8, bfUnknown = 16,
                  bfFar = 32, bfRipSlot = 64;
// DecodeOptions
constexpr uint8_t doVex = 1;

struct TModRMInfo { uint8_t Mod, Reg, RM, Value, Flags; };
struct TSibInfo { uint8_t Scale, Index, Base, Value, Present; };
struct TDisplacementInfo { uint8_t Size; int64_t Value; uint8_t Flags; };
struct TImmediateInfo { uint8_t Size; int64_t Value; uint8_t Present; };
struct TBranchInfo { uint8_t Size; int64_t Value; uint64_t Target; uint8_t Flags; };
struct TRexInfo { uint8_t R, X, B, W, Value; };
struct TVexInfo { uint8_t VVVV, L, PP, MMMMM, VectorBytes; };

struct TDecodedInstruction {
    uint8_t Architecture;          // input: 0 = 32-bit code, 1 = 64-bit code
    uint8_t AddressMode;           // 1 = 16-bit, 2 = 32-bit, 3 = 64-bit addressing
    const uint8_t* Address;        // input: first byte
    const uint8_t* RunAddress;     // input: where it will run (targets computed there), or null
    const uint8_t* Cursor;
    uint8_t Opcode;
    uint8_t BranchKind;
    uint8_t GroupOpcode;
    uint8_t OpcodeMap;             // 1 one-byte, 2 0F, 3 0F 38 / 0F 3A, 4 x87
    uint8_t InstructionClass;
    uint16_t Prefixes;
    TModRMInfo ModRM;
    TSibInfo Sib;
    TDisplacementInfo Displacement;
    TImmediateInfo Immediate1, Immediate2;
    TBranchInfo Branch;
    uint8_t Segment;               // 0 none, 1 CS, 2 DS, 3 ES, 4 GS, 5 FS, 6 SS
    TRexInfo Rex;
    TVexInfo Vex;
    uint8_t MandatoryPrefix;       // 0, 0x66, 0xF2 or 0xF3
    uint8_t ImmediateSize;
    uint8_t OperandSize;
    uint8_t ErrorBits;
    int32_t Length;
    uint8_t DecodeOptions;         // input
};

class InstException : public rtl::Exception {
public:
    using rtl::Exception::Exception;
    rtl::String ClassName() const override { return QStringLiteral("InstException"); }
};

// Decodes the instruction at Instruction.Address; raises InstException ("Error %d : %s.").
int32_t DecodeInstruction(TDecodedInstruction& Instruction);

} // namespace styling
