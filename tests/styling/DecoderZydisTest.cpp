// tests/styling/DecoderZydisTest.cpp: the operand facts the patcher relies on (length, RIP-relative
// displacement, immediates, relative branch displacement, kind of control transfer) against a full
// decoder, over the first 64 bytes of every exported function of libc, libstdc++ and the widgets
// library: the bytes a patch takes.
#if TW_HAVE_ZYDIS
#include <Zydis/Zydis.h>
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "styling/hooking/InsnDecode.h"
#include "LibraryCode.h"

using namespace styling;
using namespace styling_test;

namespace {

struct Facts {
    int Length = 0;
    bool Rip = false;
    int DispSize = 0;
    uint64_t Disp = 0;
    bool Relative = false;
    uint64_t BranchDisp = 0;
    std::vector<std::pair<int, uint64_t>> Imms; // size in bytes, value cut to that size
    int Kind = 0;                               // 1 return, 2 call, 4 jump, 8 conditional or counter
};

uint64_t Cut(uint64_t V, int Bytes) { return Bytes >= 8 ? V : V & ((uint64_t(1) << (8 * Bytes)) - 1); }

bool Ours(const uint8_t* Code, Facts& F) {
    TDecodedInstruction I{};
    I.Architecture = 1;
    I.Address = Code;
    I.DecodeOptions = doVex;
    try {
        F.Length = DecodeInstruction(I);
    } catch (const InstException&) {
        return false;
    }
    F.Rip = I.Displacement.Flags & dfRipRelative;
    if (I.Displacement.Flags & dfPresent) {
        F.DispSize = I.Displacement.Size;
        F.Disp = Cut(uint64_t(I.Displacement.Value), F.DispSize);
    }
    F.Relative = I.Branch.Flags & bfRelative;
    if (F.Relative) F.BranchDisp = Cut(uint64_t(I.Branch.Value), I.Branch.Size);
    for (const auto* imm : {&I.Immediate1, &I.Immediate2})
        if (imm->Present) F.Imms.push_back({imm->Size, Cut(uint64_t(imm->Value), imm->Size)});
    F.Kind = I.BranchKind == bkConditional ? 8 : I.BranchKind;
    return true;
}

bool Theirs(const ZydisDecoder& D, const uint8_t* Code, Facts& F) {
    ZydisDecodedInstruction insn;
    ZydisDecodedOperand ops[ZYDIS_MAX_OPERAND_COUNT];
    if (!ZYAN_SUCCESS(ZydisDecoderDecodeFull(&D, Code, 32, &insn, ops))) return false;
    F.Length = insn.length;
    for (int k = 0; k < insn.operand_count; ++k)
        if (ops[k].type == ZYDIS_OPERAND_TYPE_MEMORY &&
            (ops[k].mem.base == ZYDIS_REGISTER_RIP || ops[k].mem.base == ZYDIS_REGISTER_EIP))
            F.Rip = true;
    if (insn.raw.disp.size) {
        F.DispSize = insn.raw.disp.size / 8;
        F.Disp = Cut(uint64_t(insn.raw.disp.value), F.DispSize);
    }
    for (const auto& imm : insn.raw.imm) {
        if (!imm.size) continue;
        if (imm.is_relative) {
            F.Relative = true;
            F.BranchDisp = Cut(imm.value.u, imm.size / 8);
        } else {
            F.Imms.push_back({imm.size / 8, Cut(imm.value.u, imm.size / 8)});
        }
    }
    switch (insn.meta.category) {
    case ZYDIS_CATEGORY_RET: F.Kind = 1; break;
    case ZYDIS_CATEGORY_CALL: F.Kind = 2; break;
    case ZYDIS_CATEGORY_UNCOND_BR: F.Kind = 4; break;
    case ZYDIS_CATEGORY_COND_BR: F.Kind = 8; break;
    default: break;
    }
    return true;
}

// The fields of two readings that differ, by name.
std::string Differ(const Facts& A, const Facts& B) {
    std::string d;
    if (A.Length != B.Length) return "length";
    if (A.Rip != B.Rip) d += "rip ";
    if (A.DispSize != B.DispSize || A.Disp != B.Disp) d += "displacement ";
    if (A.Relative != B.Relative || A.BranchDisp != B.BranchDisp) d += "branch ";
    if (A.Imms != B.Imms) d += "immediates ";
    if (A.Kind != B.Kind) d += "kind ";
    return d;
}

TEST(DecoderZydis, OperandFactsAgreeOverTheEntryOfEveryExportedFunction) {
    ASSERT_TRUE(dlopen("libQt6Widgets.so.6", RTLD_NOW | RTLD_GLOBAL));
    ZydisDecoder zydis;
    ZydisDecoderInit(&zydis, ZYDIS_MACHINE_MODE_LONG_64, ZYDIS_STACK_WIDTH_64);
    for (const char* name : {"libc.so.6", "libstdc++.so.6", "libQt6Widgets.so.6"}) {
        Library lib{name};
        dl_iterate_phdr(FindLibrary, &lib);
        ASSERT_NE(lib.TextStart, 0u) << name;
        const auto functions = FunctionsOf(lib);
        EXPECT_GT(functions.size(), 500u) << name;
        int compared = 0;
        std::map<std::string, std::string> differences; // field → first example
        for (uintptr_t f : functions) {
            for (int at = 0; at < 64;) {
                const auto* code = reinterpret_cast<const uint8_t*>(f + uintptr_t(at));
                Facts ours, theirs;
                if (!Theirs(zydis, code, theirs)) break; // data or padding: this entry is over
                ++compared;
                const std::string d = Ours(code, ours) ? Differ(ours, theirs) : std::string("error");
                if (!d.empty() && !differences.count(d)) {
                    char where[160];
                    ZydisDisassembledInstruction text;
                    ZydisDisassembleIntel(ZYDIS_MACHINE_MODE_LONG_64, 0, code, 32, &text);
                    std::snprintf(where, sizeof where, "%s (ours %d, theirs %d bytes)", text.text, ours.Length,
                                  theirs.Length);
                    differences[d] = where;
                }
                at += theirs.Length;
            }
        }
        std::string list;
        for (const auto& [field, example] : differences) list += "[" + field + ": " + example + "] ";
        RecordProperty(std::string(name) + " instructions", compared);
        EXPECT_GT(compared, 5000) << name;
        EXPECT_TRUE(differences.empty()) << name << ": " << list;
    }
}

bool IsIntegerOf0F(uint8_t Op) {
    return Op == 0x02 || Op == 0x03 || (Op >= 0x40 && Op <= 0x4F) || (Op >= 0x80 && Op <= 0xA5) ||
           (Op >= 0xA8 && Op <= 0xAD) || (Op >= 0xAF && Op <= 0xB7) || (Op >= 0xBA && Op <= 0xBF);
}

// The differences the decoder makes on purpose:
// - a 66, F2 or F3 prefix outside the set an SSE or system entry of the 0F, 0F 38 or 0F 3A map
//   accepts ends the instruction after the opcode byte;
// - MOV to or from a control or debug register (0F 20 to 23) is measured by its ModRM;
// - 0F A6 and 0F A7, undefined on every current processor, are the opcode byte only;
// - 0F 0D (PREFETCHW and its NOP forms), 0F B9 (UD1), 0F FF (UD0) and 0F 38 F6 without a mandatory
//   prefix (WRSS) are the opcode byte only, as the decoder's tables define them;
// - SYSRET (0F 07) counts as a return;
// - a 66 prefix makes the displacement of a near CALL, JMP or Jcc 16 bits (the other decoder follows
//   the processors that ignore the prefix there).
bool Deliberate(bool Mandatory, size_t EscapeSize, uint8_t Op, uint8_t Form, uint8_t Prefix) {
    if (EscapeSize == 1 && Op >= 0x20 && Op <= 0x23 && Form != 0xC0) return true;
    if (EscapeSize == 1 && (Op == 0xA6 || Op == 0xA7 || Op == 0x0D || Op == 0xB9 || Op == 0xFF || Op == 0x07))
        return true;
    if (EscapeSize == 2 && Op == 0xF6 && !Mandatory) return true;
    if (Prefix == 0x66 && ((EscapeSize == 0 && (Op == 0xE8 || Op == 0xE9)) || (EscapeSize == 1 && Op >= 0x80 && Op <= 0x8F)))
        return true;
    return Mandatory && EscapeSize > 0 && !(EscapeSize == 1 && IsIntegerOf0F(Op));
}

TEST(DecoderZydis, OpcodeSweepAgreesOnLengthAndOperands) {
    ZydisDecoder zydis;
    ZydisDecoderInit(&zydis, ZYDIS_MACHINE_MODE_LONG_64, ZYDIS_STACK_WIDTH_64);
    const std::vector<std::vector<uint8_t>> prefixes{{}, {0x66}, {0xF2}, {0xF3}, {0x48}, {0x67}};
    const std::vector<std::vector<uint8_t>> escapes{{}, {0x0F}, {0x0F, 0x38}, {0x0F, 0x3A}};
    const std::vector<std::vector<uint8_t>> forms{{0xC0}, {0x05, 1, 2, 3, 4}, {0x44, 0x24, 0x08}};
    int compared = 0, deliberate = 0;
    std::map<std::string, std::string> unexplained;
    for (const auto& pre : prefixes)
        for (const auto& esc : escapes)
            for (int op = 0; op < 256; ++op)
                for (const auto& form : forms) {
                    // Prefixes, escapes, REX and VEX bytes in the opcode slot are not opcodes.
                    if (esc.empty() && (op == 0x0F || op == 0x66 || op == 0x67 || op == 0xF0 || op == 0xF2 ||
                                        op == 0xF3 || (op >= 0x40 && op <= 0x4F) || op == 0xC4 || op == 0xC5 ||
                                        op == 0x26 || op == 0x2E || op == 0x36 || op == 0x3E || op == 0x64 ||
                                        op == 0x65 || op == 0x62))
                        continue;
                    std::vector<uint8_t> bytes = pre;
                    bytes.insert(bytes.end(), esc.begin(), esc.end());
                    bytes.push_back(uint8_t(op));
                    bytes.insert(bytes.end(), form.begin(), form.end());
                    for (int k = 0; k < 12; ++k) bytes.push_back(uint8_t(0x11 * (k + 1)));
                    bytes.resize(bytes.size() + 32, 0);
                    Facts ours, theirs;
                    if (!Theirs(zydis, bytes.data(), theirs)) continue;
                    ++compared;
                    const bool mandatory = !pre.empty() && (pre[0] == 0x66 || pre[0] == 0xF2 || pre[0] == 0xF3);
                    const std::string d = Ours(bytes.data(), ours) ? Differ(ours, theirs) : std::string("error");
                    if (d.empty()) continue;
                    if (Deliberate(mandatory, esc.size(), uint8_t(op), form[0], pre.empty() ? 0 : pre[0])) {
                        ++deliberate;
                        continue;
                    }
                    char key[48];
                    std::snprintf(key, sizeof key, "%s%s%02X/%02X", pre.empty() ? "" : (pre[0] == 0x48 ? "48 " : pre[0] == 0x67 ? "67 " : pre[0] == 0x66 ? "66 " : pre[0] == 0xF2 ? "F2 " : "F3 "),
                                  esc.size() == 1 ? "0F " : esc.size() == 2 ? (esc[1] == 0x38 ? "0F38 " : "0F3A ") : "", op, form[0]);
                    unexplained[key] = d;
                }
    std::string list;
    for (const auto& [k, d] : unexplained) list += "[" + k + ": " + d + "] ";
    RecordProperty("compared", compared);
    RecordProperty("deliberate differences", deliberate);
    EXPECT_GT(compared, 5000);
    EXPECT_TRUE(unexplained.empty()) << unexplained.size() << " differ: " << list;
}

} // namespace
#endif
