// styling/hooking/InsnDecode.cpp
#include "styling/hooking/InsnDecode.h"

#include "styling/hooking/CPUID.h"

#include <sys/uio.h>
#include <unistd.h>

#include <array>
#include <cstring>
#include <initializer_list>

namespace styling {

namespace {

enum TRoutine : uint8_t {
    rOpOnly, rOpOnlyAny, rStack, rModRM, rModRMInv64, rModRMCtrl, rImm8, rImm8Inv64, rImmZ, rImmV,
    rMemOffset, rPushImmZ, rPushImm8, rModRMImmZ, rModRMImm8, rEnter, rRetImm, rRet, rFarRet,
    rShortBranch, rNearJcc, rCallRel, rJmpRel, rJmpShort, rFarPtr, rX87, rGroup, r66, r67, rLock, rRepne,
    rRep, rSegment, rRex, rVex3, rVex2, rEsc0F, rEsc38, rEsc3A, rSpecial38F0,
};

// Mandatory prefixes a routine of the 0F maps accepts.
constexpr uint8_t sNone = 1, s66 = 2, sF3 = 4, sF2 = 8, sAny = 15;

struct TEntry {
    uint8_t Routine = rOpOnly;
    uint8_t Accepts = sNone;
};
using TMap = std::array<TEntry, 256>;

void Set(TMap& M, std::initializer_list<int> Codes, TRoutine R, uint8_t Accepts = sNone) {
    for (int c : Codes) M[c] = {R, Accepts};
}
void Range(TMap& M, int From, int To, TRoutine R, uint8_t Accepts = sNone) {
    for (int c = From; c <= To; ++c) M[c] = {R, Accepts};
}

TMap BuildOneByteMap() {
    TMap m{};
    for (int row = 0; row < 0x40; row += 8) {
        Range(m, row, row + 3, rModRM);
        m[row + 4] = {rImm8};
        m[row + 5] = {rImmZ};
    }
    Set(m, {0x06, 0x07, 0x0E, 0x16, 0x17, 0x1E, 0x1F, 0x27, 0x2F, 0x37, 0x3F, 0x60, 0x61, 0xCE, 0xD6},
        rOpOnly);
    Set(m, {0x0F}, rEsc0F);
    Set(m, {0x26, 0x2E, 0x36, 0x3E, 0x64, 0x65}, rSegment);
    Range(m, 0x40, 0x4F, rRex);
    Range(m, 0x50, 0x5F, rStack);
    Set(m, {0x62}, rModRMInv64);
    Set(m, {0x63}, rModRM);
    Set(m, {0x66}, r66);
    Set(m, {0x67}, r67);
    Set(m, {0x68}, rPushImmZ);
    Set(m, {0x69}, rModRMImmZ);
    Set(m, {0x6A}, rPushImm8);
    Set(m, {0x6B}, rModRMImm8);
    Range(m, 0x70, 0x7F, rShortBranch);
    Range(m, 0x80, 0x83, rGroup);
    Range(m, 0x84, 0x8E, rModRM);
    Set(m, {0x8F, 0xC0, 0xC1, 0xC6, 0xC7, 0xD0, 0xD1, 0xD2, 0xD3, 0xF6, 0xF7, 0xFE, 0xFF}, rGroup);
    Set(m, {0x9A, 0xEA}, rFarPtr);
    Set(m, {0x9C, 0x9D, 0xC9}, rStack);
    Range(m, 0xA0, 0xA3, rMemOffset);
    Set(m, {0xA8, 0xCD, 0xE4, 0xE5, 0xE6, 0xE7}, rImm8);
    Range(m, 0xB0, 0xB7, rImm8);
    Set(m, {0xA9}, rImmZ);
    Range(m, 0xB8, 0xBF, rImmV);
    Set(m, {0xC2}, rRetImm);
    Set(m, {0xC3}, rRet);
    Set(m, {0xC4}, rVex3);
    Set(m, {0xC5}, rVex2);
    Set(m, {0xC8}, rEnter);
    Set(m, {0xCA, 0xCB, 0xCF}, rFarRet);
    Set(m, {0xD4, 0xD5}, rImm8Inv64);
    Range(m, 0xD8, 0xDF, rX87);
    Range(m, 0xE0, 0xE3, rShortBranch);
    Set(m, {0xE8}, rCallRel);
    Set(m, {0xE9}, rJmpRel);
    Set(m, {0xEB}, rJmpShort);
    Set(m, {0xF0}, rLock);
    Set(m, {0xF2}, rRepne);
    Set(m, {0xF3}, rRep);
    return m;
}

TMap BuildTwoByteMap() {
    TMap m{};
    Set(m, {0x05}, rOpOnlyAny);
    // The integer instructions of this map take 66 as an operand size and ignore F2 / F3, so a prefix
    // must not cut them short (66 0F B6 is MOVZX of a word, 66 0F 44 a 16-bit CMOVE).
    Set(m, {0xA0, 0xA1, 0xA8, 0xA9}, rStack, sAny);
    Set(m, {0x78, 0x79, 0xC3}, rModRM);
    Set(m, {0x02, 0x03, 0xA3, 0xA5, 0xAB, 0xAD, 0xBB, 0xBE, 0xBF}, rModRM, sAny);
    Range(m, 0x40, 0x4F, rModRM, sAny);
    Range(m, 0x90, 0x9F, rModRM, sAny);
    Range(m, 0xAF, 0xB7, rModRM, sAny);
    Set(m, {0x20, 0x21, 0x22, 0x23, 0x24, 0x26}, rModRMCtrl);
    Set(m, {0x10, 0x11, 0x12, 0x2A, 0x2B, 0x2C, 0x2D, 0x51, 0x58, 0x59, 0x5A, 0x5C, 0x5D, 0x5E, 0x5F,
            0xC0, 0xC1}, rModRM, sAny);
    const uint8_t none66 = sNone | s66;
    Set(m, {0x13, 0x14, 0x15, 0x17, 0x28, 0x29, 0x2E, 0x2F, 0x50, 0x54, 0x55, 0x56, 0x57, 0x6E, 0x74,
            0x75, 0x76, 0xD1, 0xD2, 0xD3, 0xD4, 0xD5, 0xD7}, rModRM, none66);
    Range(m, 0x60, 0x6B, rModRM, none66);
    Range(m, 0xD8, 0xE5, rModRM, none66);
    Range(m, 0xE7, 0xEF, rModRM, none66);
    Range(m, 0xF1, 0xFE, rModRM, none66);
    Set(m, {0x16, 0x5B, 0x6F, 0x7E, 0x7F}, rModRM, sNone | s66 | sF3);
    Set(m, {0x52, 0x53}, rModRM, sNone | sF3);
    Set(m, {0xBC, 0xBD}, rModRM, sAny);
    Set(m, {0x6C, 0x6D}, rModRM, s66);
    Set(m, {0x7C, 0x7D, 0xD0}, rModRM, s66 | sF2);
    Set(m, {0xB8}, rModRM, sF3);
    Set(m, {0xD6, 0xE6}, rModRM, s66 | sF2 | sF3);
    Set(m, {0xF0}, rModRM, sF2);
    Set(m, {0xA4, 0xAC}, rModRMImm8, sAny);
    Set(m, {0x70, 0xC2}, rModRMImm8, sAny);
    Set(m, {0xC4, 0xC5, 0xC6}, rModRMImm8, none66);
    Set(m, {0x07}, rFarRet);
    Range(m, 0x80, 0x8F, rNearJcc, sAny);
    Set(m, {0x00, 0x01, 0x71, 0x72, 0x73, 0xAE, 0xB9, 0xBA, 0xC7}, rGroup);
    Range(m, 0x18, 0x1F, rGroup);
    Set(m, {0x38}, rEsc38);
    Set(m, {0x3A}, rEsc3A);
    return m;
}

TMap BuildMap0F38() {
    TMap m{};
    // The entries the processor defines under 66 (legacy SSE4 / AES forms and their VEX relatives).
    for (auto [from, to] : std::initializer_list<std::pair<int, int>>{
             {0x0C, 0x1A}, {0x20, 0x25}, {0x28, 0x41}, {0x45, 0x47}, {0x58, 0x5A}, {0x78, 0x79},
             {0x80, 0x82}, {0x8C, 0x8C}, {0x8E, 0x8E}, {0x90, 0x9F}, {0xA6, 0xAF}, {0xB6, 0xBF},
             {0xCF, 0xCF}, {0xDB, 0xDF}})
        Range(m, from, to, rModRM, s66);
    Range(m, 0x00, 0x0B, rModRM, sNone | s66);
    Range(m, 0x1C, 0x1E, rModRM, sNone | s66);
    Range(m, 0xC8, 0xCD, rModRM);
    Set(m, {0xF9}, rModRM, sNone); // MOVDIRI
    Range(m, 0xF0, 0xF7, rSpecial38F0);
    return m;
}

TMap BuildMap0F3A() {
    TMap m{};
    for (auto [from, to] : std::initializer_list<std::pair<int, int>>{
             {0x00, 0x02}, {0x04, 0x06}, {0x08, 0x0E}, {0x14, 0x19}, {0x1D, 0x1D}, {0x20, 0x22},
             {0x38, 0x39}, {0x40, 0x42}, {0x44, 0x44}, {0x46, 0x46}, {0x60, 0x63}, {0xCE, 0xCF},
             {0xDF, 0xDF}})
        Range(m, from, to, rModRMImm8, s66);
    Set(m, {0x0F}, rModRMImm8, sNone | s66);
    Set(m, {0xCC}, rModRMImm8);
    Set(m, {0xF0}, rModRMImm8, sF2);
    Range(m, 0x4A, 0x4C, rModRM, s66);
    Range(m, 0x5C, 0x5F, rModRM, s66);
    Range(m, 0x68, 0x6F, rModRM, s66);
    Range(m, 0x78, 0x7F, rModRM, s66);
    return m;
}

const TMap OneByteMap = BuildOneByteMap();
const TMap TwoByteMap = BuildTwoByteMap();
const TMap Map0F38 = BuildMap0F38();
const TMap Map0F3A = BuildMap0F3A();

// ModRM.Flags per ModRM byte: bit 0 memory through a register, bits 1-3 displacement code, bit 4 SIB.
using TModRMTable = std::array<uint8_t, 256>;

TModRMTable BuildModRMTable16() {
    TModRMTable t{};
    for (int b = 0; b < 256; ++b) {
        const int mod = b >> 6, rm = b & 7;
        if (mod == 0) t[b] = rm == 6 ? uint8_t(2 << 1) : mfMemoryReg;
        else if (mod == 1) t[b] = mfMemoryReg | (1 << 1);
        else if (mod == 2) t[b] = mfMemoryReg | (2 << 1);
    }
    return t;
}

TModRMTable BuildModRMTable32() {
    TModRMTable t{};
    for (int b = 0; b < 256; ++b) {
        const int mod = b >> 6, rm = b & 7;
        const uint8_t sib = rm == 4 ? mfSib : 0;
        if (mod == 0) t[b] = rm == 5 ? uint8_t(4 << 1) : uint8_t(mfMemoryReg | sib);
        else if (mod == 1) t[b] = mfMemoryReg | (1 << 1) | sib;
        else if (mod == 2) t[b] = mfMemoryReg | (4 << 1) | sib;
    }
    return t;
}

const TModRMTable ModRMTable16 = BuildModRMTable16();
const TModRMTable ModRMTable32 = BuildModRMTable32();

constexpr uint8_t DefaultAddressMode[2] = {2, 3};
constexpr uint8_t AddressModeAfter67[2] = {1, 2};
constexpr int32_t LongestInstruction[2] = {14, 18};
constexpr uint8_t VexPrefix[4] = {0, 0x66, 0xF3, 0xF2};

const char* const Messages[8] = {"No error", "Invalid cpux", "Invalid address", "Invalid instruction length",
                                 "Invalid displacement size", "Invalid immediat size",
                                 "Invalid vex mmmmm field", "Invalid group opcode"};

// Pointer slots named by an indirect branch lie outside the instruction: read them without trusting them.
bool ReadMemory(uint64_t At, void* Out, size_t Size) {
    iovec local{Out, Size};
    iovec remote{reinterpret_cast<void*>(At), Size};
    return process_vm_readv(getpid(), &local, 1, &remote, 1, 0) == ssize_t(Size);
}

class TDecoder {
public:
    explicit TDecoder(TDecodedInstruction& I) : I(I) {}

    void Dispatch(const TMap& Map) {
        const TEntry e = Map[*I.Cursor];
        Run(TRoutine(e.Routine), e.Accepts);
    }

    void RaiseDecodeError(uint8_t Code) {
        if (Code == 0) {
            I.ErrorBits = 0;
            return;
        }
        I.ErrorBits |= Code;
        const char* text = "Unknown Error";
        for (int bit = 0; bit < 7; ++bit)
            if (Code == (1 << bit)) text = Messages[bit + 1];
        throw InstException(QStringLiteral("Error %1 : %2.").arg(Code).arg(QLatin1String(text)));
    }

private:
    TDecodedInstruction& I;

    uint8_t Peek(int Ahead = 0) const { return I.Cursor[Ahead]; }
    bool Is64() const { return I.Architecture == 1; }

    int64_t ReadSigned(int Size) {
        int64_t v = 0;
        switch (Size) {
        case 1: v = int8_t(I.Cursor[0]); break;
        case 2: { int16_t x; std::memcpy(&x, I.Cursor, 2); v = x; break; }
        case 4: { int32_t x; std::memcpy(&x, I.Cursor, 4); v = x; break; }
        case 8: { std::memcpy(&v, I.Cursor, 8); break; }
        }
        return v;
    }

    // Each prefix extends the instruction: stop walking them at the longest length allowed, so a run
    // of prefixes cannot lead the decoder on through memory.
    void NextPrefixed(const TMap& Map) {
        if (I.Cursor - I.Address >= LongestInstruction[I.Architecture]) RaiseDecodeError(4);
        Dispatch(Map);
    }

    void ConsumeOpcode() { I.Opcode = *I.Cursor++; }
    void ConsumeOpcodePlusOne() {
        ConsumeOpcode();
        ++I.Cursor;
    }

    void ReadModRM() {
        const uint8_t b = *I.Cursor;
        I.ModRM.Value = b;
        I.ModRM.Mod = b >> 6;
        I.ModRM.Reg = (b >> 3) & 7;
        I.ModRM.RM = b & 7;
        I.ModRM.Flags = (I.AddressMode == 1 ? ModRMTable16 : ModRMTable32)[b];
        int disp = (I.ModRM.Flags >> 1) & 7;
        if (disp != 1 && disp != 2 && disp != 4) disp = 0;
        ++I.Cursor;
        if (I.ModRM.Flags & mfSib) {
            const uint8_t s = *I.Cursor;
            I.Sib.Present = 1;
            I.Sib.Value = s;
            I.Sib.Scale = uint8_t(1 << (s >> 6));
            I.Sib.Index = (s >> 3) & 7;
            I.Sib.Base = s & 7;
            ++I.Cursor;
            if (disp == 0 && I.ModRM.Mod == 0 && I.Sib.Base == 5) disp = 4;
        }
        if (disp) ReadDisplacement(disp);
        I.ModRM.Flags |= mfDecoded;
    }

    void ReadDisplacement(int Size) {
        I.Displacement.Flags = dfPresent;
        I.Displacement.Size = uint8_t(Size);
        if (Size != 1 && Size != 2 && Size != 4) {
            I.Displacement.Value = 0;
            RaiseDecodeError(8);
        }
        I.Displacement.Value = ReadSigned(Size);
        const bool noBase = I.ModRM.Mod == 0 && I.ModRM.RM == 5;
        if (Size == 4 && noBase && Is64()) I.Displacement.Flags |= dfRipRelative;
        I.Displacement.Flags |= noBase ? dfNoBase : dfWithBase;
        I.Cursor += Size;
    }

    void ReadImmediate(int Size) {
        TImmediateInfo& imm = I.Immediate1.Present ? I.Immediate2 : I.Immediate1;
        imm.Size = uint8_t(Size);
        imm.Present = 1;
        if (Size != 1 && Size != 2 && Size != 4 && Size != 8) {
            imm.Value = 0;
            RaiseDecodeError(16);
        }
        imm.Value = ReadSigned(Size);
        I.Cursor += Size;
    }

    // The end of the instruction where it will run.
    uint64_t RunEnd() const {
        const uint8_t* base = I.RunAddress ? I.RunAddress : I.Address;
        return reinterpret_cast<uint64_t>(base) + uint64_t(I.Cursor - I.Address);
    }

    // A near branch of 64-bit code keeps its 32-bit displacement under 66 except on AMD processors, and
    // under REX.W everywhere (the TLS call 66 66 48 E8 rel32 that compilers emit).
    int NearBranchSize() const {
        if (Is64() && (I.Prefixes & pfOpSize) && (I.Rex.W || CpuVendor != cvAMD)) return 4;
        return I.ImmediateSize;
    }

    void ReadRelativeBranch(int Size) {
        const int64_t disp = ReadSigned(Size);
        I.Cursor += Size;
        if (I.BranchKind == bkNone) I.BranchKind = bkOther;
        if (I.Opcode >= 0x70 && I.Opcode <= 0x8F) I.BranchKind = bkConditional;
        I.Branch.Flags = bfPresent | bfRelative;
        I.Branch.Value = disp;
        I.Branch.Size = uint8_t(Size);
        I.Branch.Target = RunEnd() + uint64_t(disp);
    }

    void DecodeIndirectBranch(uint8_t Kind) {
        ConsumeOpcode();
        ReadModRM();
        I.BranchKind = Kind;
        I.Branch.Value = I.Displacement.Value;
        I.Branch.Size = I.Displacement.Size;
        I.Branch.Flags = bfPresent | bfNotRelative | bfIndirect;
        if (I.ModRM.Mod == 0 && I.ModRM.RM == 5) {
            if (Is64()) {
                I.Branch.Flags |= bfRipSlot;
                uint64_t slot = RunEnd() + uint64_t(I.Displacement.Value);
                if (I.Prefixes & pfAddrSize) slot = uint32_t(slot);
                uint64_t target = 0;
                if (ReadMemory(slot, &target, 8)) I.Branch.Target = target;
                else I.Branch.Flags |= bfUnknown;
            } else {
                const uint64_t slot = uint32_t(I.Displacement.Value);
                if (I.Prefixes & pfOpSize) {
                    uint16_t t = 0;
                    if (ReadMemory(slot, &t, 2)) I.Branch.Target = t;
                    else I.Branch.Flags |= bfUnknown;
                } else {
                    uint32_t t = 0;
                    if (ReadMemory(slot, &t, 4)) I.Branch.Target = t;
                    else I.Branch.Flags |= bfUnknown;
                }
            }
        } else {
            I.Branch.Flags |= bfUnknown;
        }
    }

    void DecodeFarPointer() {
        ConsumeOpcode();
        I.Branch.Flags = bfPresent | bfNotRelative | bfFar;
        uint64_t v = 0;
        std::memcpy(&v, I.Cursor, 6);
        I.Branch.Value = int64_t(v);
        I.Branch.Size = 6;
        I.Cursor += 6;
    }

    void DecodeFarIndirect(uint8_t Kind) {
        ConsumeOpcode();
        I.BranchKind = Kind;
        I.Branch.Flags = bfPresent | bfNotRelative | bfFar;
        ReadModRM();
        I.Branch.Value = I.Displacement.Value;
        I.Branch.Size = I.Displacement.Size;
    }

    static uint8_t PrefixBit(uint8_t Mandatory) {
        switch (Mandatory) {
        case 0x66: return s66;
        case 0xF3: return sF3;
        case 0xF2: return sF2;
        default: return sNone;
        }
    }

    void Run(TRoutine R, uint8_t Accepts);
    void Group();
    void X87();
    void Special38F0();
    void Vex3();
    void Vex2();
};

void TDecoder::Run(TRoutine R, uint8_t Accepts) {
    const bool checked = I.OpcodeMap != 1 && R != rGroup && R != rSpecial38F0 && R != rEsc38 &&
                         R != rEsc3A;
    if (checked && !(Accepts & PrefixBit(I.MandatoryPrefix))) {
        ConsumeOpcode();
        return;
    }
    switch (R) {
    case rOpOnly:
    case rOpOnlyAny:
        ConsumeOpcode();
        break;
    case rStack:
        ConsumeOpcode();
        I.InstructionClass = icStack;
        break;
    case rModRM:
        ConsumeOpcode();
        ReadModRM();
        break;
    case rModRMInv64:
        ConsumeOpcode();
        if (!Is64()) ReadModRM();
        break;
    case rModRMCtrl:
        ConsumeOpcode();
        ReadModRM();
        I.InstructionClass = icControlRegister;
        break;
    case rImm8:
        ConsumeOpcode();
        ReadImmediate(1);
        break;
    case rImm8Inv64:
        ConsumeOpcode();
        if (!Is64()) ReadImmediate(1);
        break;
    case rImmZ:
        ConsumeOpcode();
        ReadImmediate(I.ImmediateSize);
        break;
    case rImmV:
        ConsumeOpcode();
        ReadImmediate(I.OperandSize);
        break;
    case rMemOffset: {
        ConsumeOpcode();
        const int size = I.AddressMode == 1 ? 2 : I.AddressMode == 2 ? 4 : 8;
        I.Displacement.Size = uint8_t(size);
        I.Displacement.Value = ReadSigned(size);
        I.Displacement.Flags = dfPresent | dfMemOffset;
        I.Cursor += size;
        break;
    }
    case rPushImmZ:
        ConsumeOpcode();
        ReadImmediate(I.ImmediateSize);
        I.InstructionClass = icStack;
        break;
    case rPushImm8:
        ConsumeOpcode();
        ReadImmediate(1);
        I.InstructionClass = icStack;
        break;
    case rModRMImmZ:
        ConsumeOpcode();
        ReadModRM();
        ReadImmediate(I.ImmediateSize);
        break;
    case rModRMImm8:
        ConsumeOpcode();
        ReadModRM();
        ReadImmediate(1);
        break;
    case rEnter:
        ConsumeOpcode();
        ReadImmediate(2);
        ReadImmediate(1);
        I.InstructionClass = icStack;
        break;
    case rRetImm:
    case rRet:
        ConsumeOpcode();
        if (R == rRetImm) ReadImmediate(2);
        I.BranchKind = bkReturn;
        I.InstructionClass = icControlTransfer;
        break;
    case rFarRet:
        ConsumeOpcode();
        if (I.Opcode == 0xCA && I.OpcodeMap == 1) ReadImmediate(2);
        I.BranchKind = bkReturn;
        break;
    case rShortBranch:
        ConsumeOpcode();
        ReadRelativeBranch(1);
        I.InstructionClass = icControlTransfer;
        break;
    case rNearJcc:
        ConsumeOpcode();
        ReadRelativeBranch(NearBranchSize());
        I.InstructionClass = icControlTransfer;
        break;
    case rCallRel:
    case rJmpRel:
    case rJmpShort:
        I.BranchKind = R == rCallRel ? bkCall : bkJump;
        ConsumeOpcode();
        ReadRelativeBranch(R == rJmpShort ? 1 : NearBranchSize());
        I.InstructionClass = icControlTransfer;
        break;
    case rFarPtr:
        I.BranchKind = Peek() == 0x9A ? bkCall : bkJump;
        if (Is64()) ConsumeOpcode();
        else DecodeFarPointer();
        break;
    case rX87:
        X87();
        break;
    case rGroup:
        Group();
        break;
    case r66:
        ++I.Cursor;
        I.Prefixes |= pfOpSize;
        I.OperandSize = 2;
        I.ImmediateSize = 2;
        I.MandatoryPrefix = 0x66;
        NextPrefixed(OneByteMap);
        break;
    case r67:
        ++I.Cursor;
        I.Prefixes |= pfAddrSize;
        I.AddressMode = AddressModeAfter67[I.Architecture];
        NextPrefixed(OneByteMap);
        break;
    case rLock:
        ++I.Cursor;
        I.Prefixes |= pfLock;
        NextPrefixed(OneByteMap);
        break;
    case rRepne:
    case rRep:
        ++I.Cursor;
        I.Prefixes |= R == rRep ? pfRep : pfRepne;
        I.MandatoryPrefix = R == rRep ? 0xF3 : 0xF2;
        NextPrefixed(OneByteMap);
        break;
    case rSegment: {
        static constexpr uint8_t bytes[6] = {0x2E, 0x3E, 0x26, 0x65, 0x64, 0x36};
        static constexpr uint16_t bits[6] = {pfCS, pfDS, pfES, pfGS, pfFS, pfSS};
        for (int k = 0; k < 6; ++k)
            if (Peek() == bytes[k]) {
                I.Prefixes |= bits[k];
                I.Segment = uint8_t(k + 1);
            }
        ++I.Cursor;
        NextPrefixed(OneByteMap);
        break;
    }
    case rRex:
        if (!Is64()) {
            ConsumeOpcode(); // INC or DEC of a register
            break;
        }
        I.Prefixes |= pfRex;
        I.Rex.Value = Peek();
        I.Rex.B = I.Rex.Value & 1;
        I.Rex.X = (I.Rex.Value >> 1) & 1;
        I.Rex.R = (I.Rex.Value >> 2) & 1;
        I.Rex.W = (I.Rex.Value >> 3) & 1;
        if (I.Rex.W) I.OperandSize = 8;
        ++I.Cursor;
        NextPrefixed(OneByteMap);
        break;
    case rVex3:
    case rVex2:
        if ((I.DecodeOptions & doVex) && (Is64() || (Peek(1) & 0xC0) == 0xC0)) {
            R == rVex3 ? Vex3() : Vex2();
        } else {
            ConsumeOpcode(); // LES / LDS
            ReadModRM();
        }
        break;
    case rEsc0F:
        ++I.Cursor;
        I.OpcodeMap = 2;
        Dispatch(TwoByteMap);
        break;
    case rEsc38:
    case rEsc3A:
        ++I.Cursor;
        I.OpcodeMap = 3;
        Dispatch(R == rEsc38 ? Map0F38 : Map0F3A);
        break;
    case rSpecial38F0:
        Special38F0();
        break;
    }
}

void TDecoder::Vex3() {
    I.Prefixes |= pfVex | pfVex3;
    const uint8_t b1 = Peek(1), b2 = Peek(2);
    I.Rex.R = !(b1 & 0x80);
    I.Rex.X = !(b1 & 0x40);
    I.Rex.B = !(b1 & 0x20);
    I.Vex.MMMMM = b1 & 0x1F;
    I.Rex.W = b2 >> 7;
    I.Vex.VVVV = uint8_t(15 - ((b2 >> 3) & 15));
    I.Vex.L = (b2 >> 2) & 1;
    I.Vex.PP = b2 & 3;
    I.Vex.VectorBytes = I.Vex.L ? 32 : 16;
    I.MandatoryPrefix = VexPrefix[I.Vex.PP];
    I.Cursor += 3;
    switch (I.Vex.MMMMM) {
    case 1: I.OpcodeMap = 2; Dispatch(TwoByteMap); break;
    case 2: I.OpcodeMap = 3; Dispatch(Map0F38); break;
    case 3: I.OpcodeMap = 3; Dispatch(Map0F3A); break;
    default: RaiseDecodeError(32);
    }
}

void TDecoder::Vex2() {
    I.Prefixes |= pfVex | pfVex2;
    const uint8_t b1 = Peek(1);
    I.Rex.R = !(b1 & 0x80);
    I.Vex.VVVV = uint8_t(15 - ((b1 >> 3) & 15));
    I.Vex.L = (b1 >> 2) & 1;
    I.Vex.PP = b1 & 3;
    I.Vex.VectorBytes = I.Vex.L ? 32 : 16;
    I.MandatoryPrefix = VexPrefix[I.Vex.PP];
    I.Cursor += 2;
    I.OpcodeMap = 2;
    Dispatch(TwoByteMap);
}

void TDecoder::X87() {
    // Any prefix: 66 D9 C0 is still FLD with its ModRM byte.
    const uint8_t esc = Peek(), modrm = Peek(1);
    const int reg = (modrm >> 3) & 7;
    const bool mem = modrm < 0xC0;
    bool undefined = false;
    auto in = [&](int a, int b) { return modrm >= a && modrm <= b; };
    switch (esc) {
    case 0xD9: undefined = mem ? reg == 1 : (in(0xD1, 0xDF) || in(0xE2, 0xE3) || modrm == 0xEF); break;
    case 0xDA: undefined = !mem && (in(0xE0, 0xE8) || in(0xEA, 0xFF)); break;
    case 0xDB: undefined = mem ? (reg == 4 || reg == 6) : (in(0xE0, 0xE1) || in(0xE4, 0xE7) || in(0xF8, 0xFF)); break;
    case 0xDC: undefined = !mem && in(0xD0, 0xDF); break;
    case 0xDD: undefined = mem ? reg == 5 : (in(0xC8, 0xCF) || in(0xF0, 0xFF)); break;
    case 0xDE: undefined = !mem && (in(0xD0, 0xD8) || in(0xDA, 0xDF)); break;
    case 0xDF: undefined = !mem && (in(0xC1, 0xDF) || in(0xE1, 0xE7) || in(0xF8, 0xFF)); break;
    default: break;
    }
    I.OpcodeMap = 4;
    if (undefined) {
        ConsumeOpcodePlusOne();
    } else {
        ConsumeOpcode();
        ReadModRM();
    }
}

void TDecoder::Special38F0() {
    const uint8_t op = Peek(), reg = (Peek(1) >> 3) & 7;
    bool modrm;
    if (op == 0xF3) { // group 17: BLSR, BLSMSK, BLSI
        I.GroupOpcode = 1;
        modrm = reg >= 1 && reg <= 3;
        if (!modrm) {
            ConsumeOpcodePlusOne();
            return;
        }
    } else if ((I.Prefixes & pfOpSize) && (I.Prefixes & pfRepne)) {
        modrm = op == 0xF0 || op == 0xF1;
    } else {
        switch (I.MandatoryPrefix) {
        case 0x66: modrm = !(op == 0xF2 || op == 0xF4 || op == 0xF5); break;
        case 0xF3: modrm = op >= 0xF5; break;
        case 0xF2: modrm = !(op == 0xF2 || op == 0xF4); break;
        default: modrm = !(op == 0xF4 || op == 0xF6); break;
        }
    }
    ConsumeOpcode();
    if (modrm) ReadModRM();
}

void TDecoder::Group() {
    I.GroupOpcode = 1;
    const uint8_t op = Peek(), modrm = Peek(1);
    const int mod = modrm >> 6, reg = (modrm >> 3) & 7;
    auto modrmOnly = [&] { ConsumeOpcode(); ReadModRM(); };
    auto modrmImm = [&](int Size) { ConsumeOpcode(); ReadModRM(); ReadImmediate(Size); };
    if (I.OpcodeMap == 1) {
        switch (op) {
        case 0x80: case 0x82: case 0x83: modrmImm(1); return;
        case 0x81: modrmImm(I.ImmediateSize); return;
        case 0xC6: case 0xC7:
            if (reg == 0) modrmImm(op == 0xC6 ? 1 : I.ImmediateSize);
            else if (reg == 7 && op == 0xC6) { ConsumeOpcodePlusOne(); ReadImmediate(1); }
            else if (reg == 7) { ConsumeOpcodePlusOne(); ReadRelativeBranch(I.ImmediateSize); I.BranchKind = bkNone; }
            else ConsumeOpcodePlusOne();
            return;
        case 0xF6: case 0xF7:
            if (reg <= 1) modrmImm(op == 0xF6 ? 1 : I.ImmediateSize);
            else modrmOnly();
            return;
        case 0xFE:
            if (reg <= 1) modrmOnly(); else ConsumeOpcodePlusOne();
            return;
        case 0xFF:
            switch (reg) {
            case 2: DecodeIndirectBranch(bkCall); return;
            case 3: DecodeFarIndirect(bkCall); return;
            case 4: DecodeIndirectBranch(bkJump); return;
            case 5: DecodeFarIndirect(bkJump); return;
            case 7: ConsumeOpcodePlusOne(); return;
            default: modrmOnly(); return;
            }
        case 0xC0: case 0xC1: modrmImm(1); return;
        case 0xD0: case 0xD1: case 0xD2: case 0xD3: modrmOnly(); return;
        case 0x8F:
            if (reg == 0) modrmOnly(); else ConsumeOpcodePlusOne();
            return;
        default: break;
        }
    } else if (I.OpcodeMap == 2) {
        switch (op) {
        case 0x00:
            if (reg == 7) ConsumeOpcodePlusOne(); else modrmOnly();
            return;
        case 0x01:
            if (reg == 4 || reg == 6) modrmOnly();
            else if (reg == 5 || mod == 3) ConsumeOpcodePlusOne();
            else modrmOnly();
            return;
        case 0x18: case 0x19: case 0x1A: case 0x1B: case 0x1C: case 0x1D: case 0x1E: case 0x1F:
            if (mod == 3 || reg >= 4) ConsumeOpcodePlusOne(); else modrmOnly();
            return;
        case 0x71: case 0x72:
            if (mod == 3 && (reg == 2 || reg == 4 || reg == 6)) modrmImm(1); else ConsumeOpcodePlusOne();
            return;
        case 0x73:
            if (mod == 3 && (reg == 2 || reg == 6 || (I.MandatoryPrefix == 0x66 && (reg == 3 || reg == 7))))
                modrmImm(1);
            else
                ConsumeOpcodePlusOne();
            return;
        case 0xAE:
            if (mod != 3) modrmOnly(); // FXSAVE, LDMXCSR, XSAVE, CLFLUSH…: full memory operand
            else if (I.MandatoryPrefix == 0xF3 && reg <= 3) modrmOnly();
            else ConsumeOpcodePlusOne();
            return;
        case 0xB9: ConsumeOpcode(); return;
        case 0xBA:
            if (reg <= 3) ConsumeOpcodePlusOne(); else modrmImm(1);
            return;
        case 0xC7:
            if (mod == 3) {
                if (reg >= 6) modrmOnly(); else ConsumeOpcodePlusOne();
            } else if ((reg == 1 && I.MandatoryPrefix == 0) || (reg == 6 && I.MandatoryPrefix == 0x66) ||
                       ((reg == 6 || reg == 7) && I.MandatoryPrefix == 0xF3)) {
                modrmOnly();
            } else {
                ConsumeOpcodePlusOne();
            }
            return;
        default: break;
        }
    }
    RaiseDecodeError(64);
}

} // namespace

int32_t DecodeInstruction(TDecodedInstruction& Instruction) {
    TDecodedInstruction& I = Instruction;
    TDecoder d(I);
    d.RaiseDecodeError(0);
    if (I.Architecture > 1) d.RaiseDecodeError(1);
    if (!I.Address) d.RaiseDecodeError(2);
    const uint8_t arch = I.Architecture, options = I.DecodeOptions, errors = I.ErrorBits;
    const uint8_t* address = I.Address;
    const uint8_t* run = I.RunAddress;
    // Cleared by a copy of a blank record: compilers store that as a few vector moves, where the
    // assignment of an empty record becomes a string store costing more than a short decode.
    static const TDecodedInstruction Blank{};
    std::memcpy(&I, &Blank, sizeof I);
    I.Architecture = arch;
    I.Address = address;
    I.RunAddress = run;
    I.ErrorBits = errors;
    I.DecodeOptions = options;
    I.Cursor = address;
    I.ImmediateSize = 4;
    I.OperandSize = 4;
    I.AddressMode = DefaultAddressMode[arch];
    I.OpcodeMap = 1;
    d.Dispatch(OneByteMap);
    I.Length = int32_t(I.Cursor - I.Address);
    if (I.Length > LongestInstruction[arch]) d.RaiseDecodeError(4);
    return I.Length;
}

} // namespace styling
