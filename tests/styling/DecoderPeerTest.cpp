// tests/styling/DecoderPeerTest.cpp: our instruction lengths against a full disassembler, over an opcode
// sweep and over the code of real libraries. Differences must all be ones the decoder makes on purpose.
#if TW_HAVE_CAPSTONE
#include <capstone/capstone.h>
#include <dlfcn.h>
#include <elf.h>
#include <link.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "styling/hooking/InsnDecode.h"
#include "LibraryCode.h"

using namespace styling;

namespace {

struct Peer {
    csh handle = 0;
    Peer() { cs_open(CS_ARCH_X86, CS_MODE_64, &handle); }
    ~Peer() { cs_close(&handle); }
    // Length of the instruction, or 0 when the peer does not decode it.
    size_t Length(const uint8_t* Code, size_t Size) const {
        cs_insn* insn = nullptr;
        const size_t n = cs_disasm(handle, Code, Size, 0x1000, 1, &insn);
        const size_t len = n ? insn[0].size : 0;
        if (n) cs_free(insn, n);
        return len;
    }
};

int OurLength(const uint8_t* Code) {
    TDecodedInstruction I{};
    I.Architecture = 1;
    I.Address = Code;
    I.DecodeOptions = doVex;
    try {
        return DecodeInstruction(I);
    } catch (const InstException&) {
        return -1;
    }
}

bool IsIntegerOf0F(uint8_t Op) {
    return Op == 0x02 || Op == 0x03 || (Op >= 0x40 && Op <= 0x4F) || (Op >= 0x80 && Op <= 0xA5) ||
           (Op >= 0xA8 && Op <= 0xAD) || (Op >= 0xAF && Op <= 0xB7) || (Op >= 0xBA && Op <= 0xBF);
}

// The differences the decoder makes on purpose:
// - a 66, F2 or F3 prefix outside the set an SSE / system entry of the 0F, 0F 38 or 0F 3A map accepts
//   ends the instruction after the opcode byte (the peer reads the operands and ignores the prefix);
// - MOV to or from a control or debug register (0F 20 to 23) is measured by its ModRM like any other
//   (the processor ignores Mod there; privileged, never met in the code we patch);
// - 0F A6 and 0F A7, undefined on every current processor, are the opcode byte only.
bool Deliberate(bool Mandatory, size_t EscapeSize, uint8_t Op, uint8_t Form) {
    if (EscapeSize == 1 && Op >= 0x20 && Op <= 0x23 && Form != 0xC0) return true;
    if (EscapeSize == 1 && (Op == 0xA6 || Op == 0xA7)) return true;
    return Mandatory && EscapeSize > 0 && !(EscapeSize == 1 && IsIntegerOf0F(Op));
}

TEST(DecoderPeer, OpcodeSweepAgreesWithTheDisassembler) {
    Peer peer;
    const std::vector<std::vector<uint8_t>> prefixes{{}, {0x66}, {0xF2}, {0xF3}, {0x48}, {0x67}};
    const std::vector<std::vector<uint8_t>> escapes{{}, {0x0F}, {0x0F, 0x38}, {0x0F, 0x3A}};
    const std::vector<std::vector<uint8_t>> forms{{0xC0}, {0x05, 1, 2, 3, 4}, {0x44, 0x24, 0x08}};
    int compared = 0, deliberate = 0;
    std::map<std::string, int> unexplained;
    for (const auto& pre : prefixes)
        for (const auto& esc : escapes)
            for (int op = 0; op < 256; ++op)
                for (const auto& form : forms) {
                    std::vector<uint8_t> bytes = pre;
                    bytes.insert(bytes.end(), esc.begin(), esc.end());
                    bytes.push_back(uint8_t(op));
                    bytes.insert(bytes.end(), form.begin(), form.end());
                    for (int k = 0; k < 12; ++k) bytes.push_back(uint8_t(0x11 * (k + 1)));
                    bytes.resize(bytes.size() + 32, 0);
                    const size_t theirs = peer.Length(bytes.data(), bytes.size() - 32);
                    if (theirs == 0) continue;
                    // Prefixes and escapes as opcodes, and VEX/REX bytes in the sweep's opcode slot, measure a
                    // different instruction in each decoder's reading: compare only real opcodes.
                    if (esc.empty() && (op == 0x0F || op == 0x66 || op == 0x67 || op == 0xF0 || op == 0xF2 ||
                                        op == 0xF3 || (op >= 0x40 && op <= 0x4F) || op == 0xC4 || op == 0xC5 ||
                                        op == 0x26 || op == 0x2E || op == 0x36 || op == 0x3E || op == 0x64 ||
                                        op == 0x65 || op == 0x62))
                        continue;
                    ++compared;
                    const bool mandatory = !pre.empty() && (pre[0] == 0x66 || pre[0] == 0xF2 || pre[0] == 0xF3);
                    if (OurLength(bytes.data()) == int(theirs)) continue;
                    if (Deliberate(mandatory, esc.size(), uint8_t(op), form[0])) {
                        ++deliberate;
                        continue;
                    }
                    char key[64];
                    std::snprintf(key, sizeof key, "%s%s%02X", pre.empty() ? "" : QByteArray(reinterpret_cast<const char*>(pre.data()), 1).toHex().constData(),
                                  esc.size() == 1 ? " 0F " : esc.size() == 2 ? (esc[1] == 0x38 ? " 0F38 " : " 0F3A ") : " ", op);
                    ++unexplained[key];
                }
    std::string list;
    for (const auto& [k, n] : unexplained) list += k + " ";
    RecordProperty("compared", compared);
    RecordProperty("deliberate differences", deliberate);
    EXPECT_GT(compared, 5000);
    EXPECT_TRUE(unexplained.empty()) << unexplained.size() << " opcodes differ: " << list;
}

int Walk(const uint8_t* Code, size_t Size, const Peer& P, int& Compared, std::string& Differences) {
    cs_insn* insn = cs_malloc(P.handle);
    int differ = 0;
    const uint8_t* code = Code;
    size_t size = Size;
    uint64_t address = reinterpret_cast<uint64_t>(Code);
    while (size > 32) {
        const uint8_t* at = code;
        if (!cs_disasm_iter(P.handle, &code, &size, &address, insn)) {
            ++code; --size; ++address;
            continue;
        }
        // Past the end of real code the bytes are padding or data: stop at the last 32 bytes.
        ++Compared;
        const int ours = OurLength(at);
        if (ours != int(insn->size)) {
            ++differ;
            if (Differences.size() < 400) {
                char text[256];
                std::snprintf(text, sizeof text, "[%s %s: %d vs %d] ", insn->mnemonic, insn->op_str, ours, insn->size);
                Differences += text;
            }
        }
    }
    cs_free(insn, 1);
    return differ;
}

struct TextOf {
    const char* Name;
    const uint8_t* Start = nullptr;
    size_t Size = 0;
};

int FindText(dl_phdr_info* Info, size_t, void* Data) {
    auto* t = static_cast<TextOf*>(Data);
    if (!std::strstr(Info->dlpi_name, t->Name)) return 0;
    for (int k = 0; k < Info->dlpi_phnum; ++k) {
        const auto& ph = Info->dlpi_phdr[k];
        if (ph.p_type == PT_LOAD && (ph.p_flags & PF_X)) {
            t->Start = reinterpret_cast<const uint8_t*>(Info->dlpi_addr + ph.p_vaddr);
            t->Size = ph.p_memsz;
            return 1;
        }
    }
    return 0;
}

TEST(DecoderPeer, RealLibraryCodeAgreesWithTheDisassembler) {
    Peer peer;
    cs_option(peer.handle, CS_OPT_DETAIL, CS_OPT_OFF);
    ASSERT_TRUE(dlopen("libQt6Widgets.so.6", RTLD_NOW | RTLD_GLOBAL));
    for (const char* name : {"libc.so.6", "libstdc++.so.6", "libQt6Widgets.so.6"}) {
        TextOf text{name};
        dl_iterate_phdr(FindText, &text);
        ASSERT_TRUE(text.Start) << name;
        // The first 512 KB of each library's code: enough for every kind of instruction compilers emit.
        const size_t size = std::min<size_t>(text.Size, 512 * 1024);
        int compared = 0;
        std::string differences;
        const int differ = Walk(text.Start, size, peer, compared, differences);
        RecordProperty(std::string(name) + " instructions", compared);
        EXPECT_GT(compared, 50000) << name;
        EXPECT_EQ(differ, 0) << name << ": " << differ << " of " << compared << " differ: " << differences;
    }
}

// The bytes a patch takes: the first 64 of every function symbol.
TEST(DecoderPeer, FunctionEntriesAgreeWithTheDisassembler) {
    Peer peer;
    cs_option(peer.handle, CS_OPT_DETAIL, CS_OPT_OFF);
    ASSERT_TRUE(dlopen("libQt6Widgets.so.6", RTLD_NOW | RTLD_GLOBAL));
    for (const char* name : {"libc.so.6", "libstdc++.so.6", "libQt6Widgets.so.6"}) {
        styling_test::Library lib{name};
        dl_iterate_phdr(styling_test::FindLibrary, &lib);
        ASSERT_NE(lib.TextStart, 0u) << name;
        const auto functions = styling_test::FunctionsOf(lib);
        EXPECT_GT(functions.size(), 500u) << name;
        int compared = 0;
        std::string differences;
        for (uintptr_t f : functions)
            for (int at = 0; at < 64;) {
                const auto* code = reinterpret_cast<const uint8_t*>(f + uintptr_t(at));
                const size_t theirs = peer.Length(code, 32);
                if (theirs == 0) break; // data or padding: this entry is over
                ++compared;
                const int ours = OurLength(code);
                if (ours != int(theirs) && differences.size() < 400)
                    differences += "[" + QByteArray(reinterpret_cast<const char*>(code), int(theirs)).toHex(' ').toStdString() +
                                   ": " + std::to_string(ours) + " vs " + std::to_string(theirs) + "] ";
                at += int(theirs);
            }
        RecordProperty(std::string(name) + " entry instructions", compared);
        EXPECT_GT(compared, 5000) << name;
        EXPECT_TRUE(differences.empty()) << name << ": " << differences;
    }
}

} // namespace
#endif
