// styling/hooking/CodeHooks.cpp
#include "styling/hooking/CodeHooks.h"

#include "styling/hooking/CPUID.h"

#include <cstring>
#include <vector>

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

// ---- relocation -----------------------------------------------------------------------------------

namespace {

// Bytes of one rewritten instruction, built before they are placed.
struct Emitter {
    uint8_t Buf[64];
    int N = 0;
    void B(std::initializer_list<uint8_t> Bytes) {
        for (uint8_t b : Bytes) Buf[N++] = b;
    }
    void I32(int64_t V) {
        Put32(Buf + N, V);
        N += 4;
    }
    void U64(uint64_t V) {
        std::memcpy(Buf + N, &V, 8);
        N += 8;
    }
    void Copy(const uint8_t* From, int Count) {
        std::memcpy(Buf + N, From, size_t(Count));
        N += Count;
    }
    // FF 25 00000000 and the destination inline.
    void Inline64(uint64_t To) {
        B({0xFF, 0x25, 0, 0, 0, 0});
        U64(To);
    }
};

int64_t Reach(const uint8_t* End, uint64_t To) { return int64_t(To - reinterpret_cast<uintptr_t>(End)); }

int ImmediateBytes(const TDecodedInstruction& I) {
    return (I.Immediate1.Present ? I.Immediate1.Size : 0) + (I.Immediate2.Present ? I.Immediate2.Size : 0);
}

// Where the ModRM byte of a RIP-relative instruction stands: right before its 4-byte displacement,
// which the immediates follow.
int ModRMOffset(const TDecodedInstruction& I) { return I.Length - ImmediateBytes(I) - 4 - 1; }

int OpcodeBytes(const TDecodedInstruction& I) {
    if (I.Prefixes & pfVex) return 1;
    return I.OpcodeMap == 2 ? 2 : I.OpcodeMap == 3 ? 3 : 1;
}

// Registers the instruction uses without naming them in ModRM.
uint16_t ImplicitRegisters(const TDecodedInstruction& I) {
    constexpr uint16_t rax = 1 << 0, rcx = 1 << 1, rdx = 1 << 2, rbx = 1 << 3;
    const bool vex = I.Prefixes & pfVex;
    if (I.OpcodeMap == 1 && !vex) {
        if (I.Opcode == 0xD2 || I.Opcode == 0xD3) return rcx;                                  // shifts by CL
        if ((I.Opcode == 0xF6 || I.Opcode == 0xF7) && I.ModRM.Reg >= 4) return rax | rdx;     // MUL, DIV…
    }
    if (I.OpcodeMap == 2 && !vex) {
        if (I.Opcode == 0xB0 || I.Opcode == 0xB1) return rax;                                  // CMPXCHG
        if (I.Opcode == 0xA5 || I.Opcode == 0xAD) return rcx;                                  // SHLD, SHRD by CL
        if (I.Opcode == 0xC7) return rax | rcx | rdx | rbx;                                    // CMPXCHG8B/16B
    }
    if (I.OpcodeMap == 3 && vex && I.Opcode == 0xF6) return rdx;                                // MULX
    return 0;
}

bool IsIndirectTransfer(const TDecodedInstruction& I) {
    return I.OpcodeMap == 1 && I.Opcode == 0xFF && !(I.Prefixes & pfVex) && I.ModRM.Reg >= 2 && I.ModRM.Reg <= 5;
}

[[noreturn]] void FailRip() { Fail("Failed to correcr RIP Displacement."); }

// A RIP-relative instruction at RunAt.
void EmitRip(const TDecodedInstruction& I, const uint8_t* RunAt, Emitter& E) {
    const uint8_t* src = I.Address;
    if (HasInlineSlot(I)) {
        // Its displacement still addresses the pointer that moves with it.
        E.Copy(src, I.Length);
        return;
    }
    uint64_t absolute = reinterpret_cast<uintptr_t>(src + I.Length) + uint64_t(I.Displacement.Value);
    const bool addr32 = I.AddressMode == 2;
    if (addr32) absolute &= 0xFFFF'FFFFu;
    const int at = I.Length - ImmediateBytes(I) - 4;
    const int64_t d = Reach(RunAt + I.Length, absolute);
    if (addr32 || FitsInt32(d)) {
        // Under 32-bit addressing the sum wraps at 32 bits, so any distance can be expressed.
        E.Copy(src, I.Length);
        Put32(E.Buf + at, d);
        return;
    }
    if (!(I.ModRM.Flags & mfDecoded)) FailRip();
    if (IsIndirectTransfer(I)) {
        // JMP or CALL through a far slot: read the slot when it runs (its content may change), with
        // nothing kept below the stack pointer and the red zone left alone. RAX comes back unchanged.
        if (I.ModRM.Reg != 2 && I.ModRM.Reg != 4) FailRip(); // far JMP/CALL
        const bool call = I.ModRM.Reg == 2;
        E.B({0x48, 0x8D, 0x64, 0x24, 0x80});       // lea rsp,[rsp-128]
        E.B({0x50, 0x50});                         // push rax (saved); push rax (room for the destination)
        E.B({0x48, 0xB8});                         // mov rax, slot
        E.U64(absolute);
        E.B({0x48, 0x8B, 0x00});                   // mov rax,[rax]
        E.B({0x48, 0x89, 0x04, 0x24});             // mov [rsp],rax
        if (call) {
            constexpr int rest = 10 + 8 + 5 + 3;   // the bytes from here to the return point
            E.B({0x48, 0xB8});                     // mov rax, return point
            E.U64(reinterpret_cast<uintptr_t>(RunAt) + uint64_t(E.N - 2 + rest));
            E.B({0x48, 0x89, 0x84, 0x24, 0x88, 0, 0, 0}); // mov [rsp+136],rax: where the call puts it
        }
        E.B({0x48, 0x8B, 0x44, 0x24, 0x08});       // mov rax,[rsp+8]
        if (call)
            E.B({0xC2, 0x80, 0x00});               // ret 128: to the destination, stack as after a call
        else
            E.B({0xC2, 0x88, 0x00});               // ret 136: to the destination, stack as before
        return;
    }
    // PUSH or POP of memory would move the stack under the saved scratch register.
    if (I.InstructionClass == icStack || (I.OpcodeMap == 1 && (I.Opcode == 0x8F || I.Opcode == 0xFF)))
        FailRip();
    const bool extension = I.GroupOpcode || I.OpcodeMap == 4; // ModRM.reg is part of the opcode
    const int reg = I.ModRM.Reg | (I.Rex.R << 3);
    if (!extension && reg == 4) FailRip(); // the stack pointer as operand: it moves meanwhile
    uint16_t busy = ImplicitRegisters(I);
    if (!extension) busy |= uint16_t(1u << reg);
    if (I.Prefixes & pfVex) busy |= uint16_t(1u << (I.Vex.VVVV & 15));
    int scratch = -1;
    for (int r : {0, 1, 2, 3, 6, 7}) // not RSP or RBP: neither can be a plain [reg] base
        if (!(busy & (1u << r))) {
            scratch = r;
            break;
        }
    if (scratch < 0) FailRip();
    const int modrm = ModRMOffset(I);
    const int opcodeAt = modrm - OpcodeBytes(I);
    E.B({0x48, 0x8D, 0x64, 0x24, 0x80});           // lea rsp,[rsp-128]: past the red zone
    E.B({uint8_t(0x50 + scratch), 0x48, uint8_t(0xB8 + scratch)});
    E.U64(absolute);
    const int copied = E.N;
    E.Copy(src, modrm);
    // The scratch register is one of the first eight: clear REX.B (set VEX's inverted B).
    if (I.Prefixes & pfVex3)
        E.Buf[copied + opcodeAt - 2] |= 0x20;
    else if (I.Prefixes & pfRex)
        E.Buf[copied + opcodeAt - 1] &= uint8_t(~0x01);
    E.B({uint8_t((I.ModRM.Reg << 3) | scratch)});
    E.Copy(src + I.Length - ImmediateBytes(I), ImmediateBytes(I));
    E.B({uint8_t(0x58 + scratch)});
    E.B({0x48, 0x8D, 0xA4, 0x24, 0x80, 0, 0, 0});  // lea rsp,[rsp+128]
}

void EmitJump(const uint8_t* RunAt, uint64_t To, Emitter& E) {
    if (FitsInt8(Reach(RunAt + 2, To))) {
        E.B({0xEB, uint8_t(Reach(RunAt + 2, To))});
    } else if (FitsInt32(Reach(RunAt + 5, To))) {
        E.B({0xE9});
        E.I32(Reach(RunAt + 5, To));
    } else {
        E.Inline64(To);
    }
}

void EmitCall(const uint8_t* RunAt, uint64_t To, Emitter& E) {
    if (FitsInt32(Reach(RunAt + 5, To))) {
        E.B({0xE8});
        E.I32(Reach(RunAt + 5, To));
    } else {
        E.B({0xFF, 0x15, 0x02, 0, 0, 0, 0xEB, 0x08}); // call [slot]; the return skips the slot
        E.U64(To);
    }
}

void EmitConditional(const TDecodedInstruction& I, const uint8_t* RunAt, uint64_t To, Emitter& E) {
    if (I.BranchKind == bkConditional) {
        const uint8_t cc = I.Opcode & 0x0F;
        if (FitsInt8(Reach(RunAt + 2, To))) {
            E.B({uint8_t(0x70 + cc), uint8_t(Reach(RunAt + 2, To))});
        } else if (FitsInt32(Reach(RunAt + 6, To))) {
            E.B({0x0F, uint8_t(0x80 + cc)});
            E.I32(Reach(RunAt + 6, To));
        } else {
            E.B({uint8_t(0x70 + cc), 0x02, 0xEB, 0x0E});
            E.Inline64(To);
        }
        return;
    }
    // LOOP, LOOPE, LOOPNE, JrCXZ. Out of byte reach the instruction itself stays and branches over a
    // short jump to a far one: counter, flags and the condition all behave as in the original.
    const bool addr = I.Prefixes & pfAddrSize;
    const int p = addr ? 1 : 0;
    if (addr) E.B({0x67});
    if (FitsInt8(Reach(RunAt + p + 2, To))) {
        E.B({I.Opcode, uint8_t(Reach(RunAt + p + 2, To))});
    } else if (FitsInt32(Reach(RunAt + p + 9, To))) {
        E.B({I.Opcode, 0x02, 0xEB, 0x05, 0xE9});
        E.I32(Reach(RunAt + p + 9, To));
    } else {
        E.B({I.Opcode, 0x02, 0xEB, 0x0E});
        E.Inline64(To);
    }
}

// One instruction as it must stand at RunAt, a relative branch aimed at To.
void EmitRelocated(const TDecodedInstruction& I, const uint8_t* RunAt, uint64_t To, Emitter& E) {
    if (I.Displacement.Flags & dfRipRelative) {
        EmitRip(I, RunAt, E);
    } else if (I.Branch.Flags & bfRelative) {
        switch (I.BranchKind) {
        case bkJump: EmitJump(RunAt, To, E); break;
        case bkCall: EmitCall(RunAt, To, E); break;
        case bkConditional:
        case bkOther: EmitConditional(I, RunAt, To, E); break;
        default: Fail("Relative branch cannot be relocated."); // XBEGIN's abort address
        }
    } else {
        E.Copy(I.Address, I.Length);
    }
}

int32_t PlaceOne(const TDecodedInstruction& I, uint8_t* Destination) {
    Emitter e;
    EmitRelocated(I, Destination, I.Branch.Target, e);
    std::memcpy(Destination, e.Buf, size_t(e.N));
    return e.N;
}

} // namespace

int32_t FixRipDisplacement(const TDecodedInstruction& Instruction, uint8_t* Destination) {
    return PlaceOne(Instruction, Destination);
}
int32_t RelocateJump(const TDecodedInstruction& Instruction, uint8_t* Destination) {
    return PlaceOne(Instruction, Destination);
}
int32_t RelocateCall(const TDecodedInstruction& Instruction, uint8_t* Destination) {
    return PlaceOne(Instruction, Destination);
}
int32_t RelocateConditional(const TDecodedInstruction& Instruction, uint8_t* Destination) {
    return PlaceOne(Instruction, Destination);
}

int32_t RelocateInstructions(const uint8_t* Source, uint8_t* Destination, int32_t Count, int32_t Capacity,
                             TRelocatedOffset* Offsets, int& OffsetCount) {
    OffsetCount = 0;
    if (Count <= 0) return 0;
    std::vector<TDecodedInstruction> code;
    std::vector<int> at; // source offsets
    for (int consumed = 0; consumed < Count;) {
        TDecodedInstruction I{};
        I.Address = Source + consumed;
        DecodeForHook(I);
        code.push_back(I);
        at.push_back(consumed);
        consumed += I.Length;
    }
    const int n = int(code.size());
    const uintptr_t begin = reinterpret_cast<uintptr_t>(Source);
    const uintptr_t end = begin + uintptr_t(at.back() + code.back().Length);
    // A branch to one of the moved instructions must reach its copy, not the overwritten original.
    std::vector<int> inside(size_t(n), -1);
    for (int i = 0; i < n; ++i) {
        const auto& I = code[size_t(i)];
        if (!(I.Branch.Flags & bfRelative) || I.Branch.Target < begin || I.Branch.Target >= end) continue;
        for (int j = 0; j < n; ++j)
            if (begin + uintptr_t(at[size_t(j)]) == I.Branch.Target) inside[size_t(i)] = j;
        if (inside[size_t(i)] < 0) Fail("Branch into a relocated instruction cannot be kept.");
    }
    // Sizes depend on distances and distances on sizes: grow until nothing changes (sizes never
    // shrink, so this ends; a copy shorter than its slot is padded).
    std::vector<int> size(size_t(n), 0), place(size_t(n), 0);
    auto emitOne = [&](int i, Emitter& e) {
        const auto& I = code[size_t(i)];
        const int j = inside[size_t(i)];
        const uint64_t to = j >= 0 ? reinterpret_cast<uintptr_t>(Destination + place[size_t(j)]) : I.Branch.Target;
        EmitRelocated(I, Destination + place[size_t(i)], to, e);
    };
    for (bool changed = true; changed;) {
        changed = false;
        for (int i = 0, off = 0; i < n; off += size[size_t(i)], ++i) place[size_t(i)] = off;
        for (int i = 0; i < n; ++i) {
            Emitter e;
            emitOne(i, e);
            if (e.N > size[size_t(i)]) {
                size[size_t(i)] = e.N;
                changed = true;
            }
        }
    }
    const int total = place[size_t(n - 1)] + size[size_t(n - 1)];
    if (total > Capacity) Fail("Exceed maximum TrampoSize.");
    for (int i = 0; i < n; ++i) {
        Emitter e;
        emitOne(i, e);
        std::memcpy(Destination + place[size_t(i)], e.Buf, size_t(e.N));
        std::memset(Destination + place[size_t(i)] + e.N, 0x90, size_t(size[size_t(i)] - e.N));
    }
    if (Offsets) {
        OffsetCount = n;
        for (int i = 0; i < n; ++i) Offsets[i] = TRelocatedOffset{int16_t(at[size_t(i)]), int16_t(place[size_t(i)])};
    }
    return total;
}

int32_t RelocateInstructions(const uint8_t* Source, uint8_t* Destination, int32_t Count, int32_t Capacity) {
    int unused = 0;
    return RelocateInstructions(Source, Destination, Count, Capacity, nullptr, unused);
}

} // namespace styling
