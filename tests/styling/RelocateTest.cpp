// tests/styling/RelocateTest.cpp: moved instructions run at their new place, near and more than 2 GB
// away, and give what the originals gave. After moving, the original bytes are overwritten with RET,
// so a copy that still reaches back into them returns a wrong value.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "styling/hooking/CPUID.h"
#include "styling/hooking/CodeHooks.h"
#include "win/kernel32/winbase.h"

using namespace styling;

namespace {

using Fn = uint64_t (*)(uint64_t, uint64_t);

uint8_t* Alloc(uintptr_t At, SIZE_T Size) {
    return static_cast<uint8_t*>(VirtualAlloc(reinterpret_cast<void*>(At), Size, MEM_COMMIT | MEM_RESERVE,
                                              PAGE_EXECUTE_READWRITE));
}

// A code area for the function under test and one more than 4 GB away for its far copy.
struct Areas {
    uint8_t* Near = nullptr;
    uint8_t* Far = nullptr;
    Areas() {
        Near = Alloc(0, 0x10000);
        for (uintptr_t step = 5; !Far && step < 64; ++step)
            Far = Alloc(reinterpret_cast<uintptr_t>(Near) - (step << 30), 0x10000);
    }
    ~Areas() {
        VirtualFree(Near, 0, MEM_RELEASE);
        if (Far) VirtualFree(Far, 0, MEM_RELEASE);
    }
};

// Writes bytes; rel32(to) writes the displacement from the end of the 4 bytes.
struct Asm {
    uint8_t* P;
    Asm& operator()(std::initializer_list<uint8_t> Bytes) {
        for (uint8_t b : Bytes) *P++ = b;
        return *this;
    }
    Asm& Rel32(const void* To, int After = 0) {
        const int32_t d = int32_t(static_cast<const uint8_t*>(To) - (P + 4 + After));
        std::memcpy(P, &d, 4);
        P += 4;
        return *this;
    }
    Asm& U64(uint64_t V) {
        std::memcpy(P, &V, 8);
        P += 8;
        return *this;
    }
};

uint64_t Five(uint64_t, uint64_t) { return 5; }
uint64_t SeventySeven(uint64_t, uint64_t) { return 77; }

struct RelocCase {
    bool needsBmi; // a BMI1 instruction, VEX-encoded
    const char* name;
    // Builds the function at Code (data cells at Data, 8 bytes each); returns the bytes to move.
    std::function<int(uint8_t* Code, uint8_t* Data)> build;
    std::vector<std::pair<uint64_t, uint64_t>> inputs;
};

void PrintTo(const RelocCase& C, std::ostream* Os) { *Os << C.name; }

class Relocate : public ::testing::TestWithParam<RelocCase> {};

TEST_P(Relocate, CopyRunsLikeTheOriginalNearAndFar) {
    const auto& c = GetParam();
    if (c.needsBmi && !(__builtin_cpu_supports("bmi") && (CpuExtensions & ceAvx)))
        GTEST_SKIP() << "the processor lacks BMI1 or usable AVX";
    Areas areas;
    ASSERT_TRUE(areas.Near && areas.Far);
    for (bool far : {false, true}) {
        uint8_t* code = areas.Near;
        uint8_t* data = areas.Near + 0x8000;
        std::memset(areas.Near, 0xCC, 0x10000);
        const uint64_t cells[] = {0x1122334455667788ull, 0x80, uint64_t(&SeventySeven), 3};
        std::memcpy(data, cells, sizeof cells);
        const int count = c.build(code, data);
        std::vector<uint64_t> expected;
        for (auto [a, b] : c.inputs) {
            expected.push_back(reinterpret_cast<Fn>(code)(a, b));
            std::memcpy(data, cells, sizeof cells); // the function may change its data
        }
        uint8_t* copy = far ? areas.Far + 0x100 : areas.Near + 0x1000;
        const int written = RelocateInstructions(code, copy, count);
        WriteJump(copy + written, code + count, jfInline64, nullptr);
        std::memset(code, 0xC3, size_t(count)); // what the patch overwrites is gone
        for (size_t i = 0; i < c.inputs.size(); ++i) {
            EXPECT_EQ(reinterpret_cast<Fn>(copy)(c.inputs[i].first, c.inputs[i].second), expected[i])
                << c.name << (far ? " far" : " near") << " input " << i;
            std::memcpy(data, cells, sizeof cells);
        }
    }
}

const RelocCase Cases[] = {
    RelocCase{false, "RipLoad", [](uint8_t* p, uint8_t* d) {
        Asm a{p};
        a({0x48, 0x8B, 0x05}).Rel32(d)({0xC3}); // mov rax,[rip+d]
        return 7;
    }, {{0, 0}}},
    RelocCase{false, "RipCompareWithImmediate", [](uint8_t* p, uint8_t* d) {
        Asm a{p};
        a({0x80, 0x3D}).Rel32(d + 8, 1)({0x80});          // cmp byte [rip+d+8],0x80
        a({0x0F, 0x94, 0xC0, 0x0F, 0xB6, 0xC0, 0xC3});     // sete al; movzx eax,al; ret
        return 7;
    }, {{0, 0}}},
    RelocCase{false, "RexBIgnoredUnderRip", [](uint8_t* p, uint8_t* d) {
        Asm a{p};
        a({0x49, 0x8B, 0x05}).Rel32(d)({0xC3}); // mov rax,[rip+d] with REX.B set: not [r8]
        return 7;
    }, {{0, 0}}},
    RelocCase{false, "RexRRegisterZeroIsR8", [](uint8_t* p, uint8_t* d) {
        Asm a{p};
        a({0x4C, 0x8B, 0x05}).Rel32(d)({0x4C, 0x89, 0xC0, 0xC3}); // mov r8,[rip+d]; mov rax,r8
        return 7;
    }, {{0, 0}}},
    RelocCase{false, "RotateByClKeepsCl", [](uint8_t* p, uint8_t* d) {
        Asm a{p};
        a({0x48, 0x89, 0xF9});                   // mov rcx,rdi
        a({0x48, 0xD3, 0x05}).Rel32(d);          // rol qword [rip+d],cl (reg field 0)
        a({0x48, 0x8B, 0x05}).Rel32(d)({0xC3});  // mov rax,[rip+d]
        return 10;
    }, {{4, 0}, {12, 0}}},
    RelocCase{false, "CompareExchangeKeepsRax", [](uint8_t* p, uint8_t* d) {
        Asm a{p};
        a({0x48, 0x89, 0xF8, 0x48, 0x89, 0xF1});       // mov rax,rdi; mov rcx,rsi
        a({0x48, 0x0F, 0xB1, 0x0D}).Rel32(d + 24);    // cmpxchg [rip+d+24],rcx
        a({0x48, 0x8B, 0x05}).Rel32(d + 24)({0xC3});  // mov rax,[rip+d+24]
        return 14;
    }, {{3, 9}, {4, 9}}},
    RelocCase{true, "VexRegisterOperandKept", [](uint8_t* p, uint8_t* d) {
        Asm a{p};
        a({0x48, 0x89, 0xF9});                             // mov rcx,rdi
        a({0xC4, 0xE2, 0xF0, 0xF2, 0x05}).Rel32(d)({0xC3}); // andn rax,rcx,[rip+d]: rcx in VEX.vvvv
        return 12;
    }, {{0xFF, 0}, {0x0F0F, 0}}},
    RelocCase{false, "RedZoneSurvives", [](uint8_t* p, uint8_t* d) {
        Asm a{p};
        a({0x48, 0x89, 0x7C, 0x24, 0xF8});                 // mov [rsp-8],rdi
        a({0x48, 0x89, 0x74, 0x24, 0x88});                 // mov [rsp-120],rsi
        a({0x48, 0x8B, 0x05}).Rel32(d);                    // mov rax,[rip+d]
        a({0x48, 0x03, 0x44, 0x24, 0xF8});                 // add rax,[rsp-8]
        a({0x48, 0x03, 0x44, 0x24, 0x88, 0xC3});           // add rax,[rsp-120]
        return 17;
    }, {{1, 100}}},
    RelocCase{false, "JumpThroughSlot", [](uint8_t* p, uint8_t* d) {
        Asm a{p};
        a({0xFF, 0x25}).Rel32(d + 16); // jmp [rip+d+16]
        return 6;
    }, {{0, 0}}},
    RelocCase{false, "CallThroughSlot", [](uint8_t* p, uint8_t* d) {
        Asm a{p};
        a({0xFF, 0x15}).Rel32(d + 16)({0x48, 0x83, 0xC0, 0x01, 0xC3}); // call [rip+d+16]; add rax,1
        return 6;
    }, {{0, 0}}},
    RelocCase{false, "InlineSlotJump", [](uint8_t* p, uint8_t*) {
        Asm a{p};
        a({0xFF, 0x25, 0, 0, 0, 0}).U64(uint64_t(&Five)); // measured and moved whole
        return 14;
    }, {{0, 0}}},
    RelocCase{false, "RelativeCall", [](uint8_t* p, uint8_t*) {
        Asm a{p};
        a({0xE8}).Rel32(p + 0x300)({0x48, 0x83, 0xC0, 0x01, 0xC3});
        Asm{p + 0x300}({0xB8, 5, 0, 0, 0, 0xC3});
        return 5;
    }, {{0, 0}}},
    RelocCase{false, "ConditionalOut", [](uint8_t* p, uint8_t*) {
        Asm a{p};
        a({0x48, 0x85, 0xFF, 0x74, 0x06});                 // test rdi,rdi; je +6
        a({0xB8, 1, 0, 0, 0, 0xC3, 0xB8, 2, 0, 0, 0, 0xC3});
        return 5;
    }, {{0, 0}, {1, 0}}},
    RelocCase{false, "NearConditionalOut", [](uint8_t* p, uint8_t*) {
        Asm a{p};
        a({0x48, 0x85, 0xFF, 0x0F, 0x85}).Rel32(p + 0x200); // test rdi,rdi; jne far below
        a({0xB8, 1, 0, 0, 0, 0xC3});
        Asm{p + 0x200}({0xB8, 2, 0, 0, 0, 0xC3});
        return 9;
    }, {{0, 0}, {1, 0}}},
    RelocCase{false, "JrcxzOut", [](uint8_t* p, uint8_t*) {
        Asm a{p};
        a({0x48, 0x89, 0xF9, 0xE3, 0x06});                 // mov rcx,rdi; jrcxz +6
        a({0xB8, 1, 0, 0, 0, 0xC3, 0xB8, 2, 0, 0, 0, 0xC3});
        return 5;
    }, {{0, 0}, {3, 0}}},
    RelocCase{false, "LoopneOutKeepsFlagsAndCounter", [](uint8_t* p, uint8_t*) {
        Asm a{p};
        a({0x48, 0x89, 0xF9, 0x48, 0x39, 0xF7});           // mov rcx,rdi; cmp rdi,rsi (ZF)
        a({0xE0, 0x04});                                   // loopne +4
        a({0x48, 0x89, 0xC8, 0xC3});                       // mov rax,rcx; ret
        a({0x48, 0x8D, 0x41, 0x64, 0xC3});                 // lea rax,[rcx+100]; ret
        return 8;
    }, {{5, 5}, {5, 6}, {1, 6}}},
    RelocCase{false, "LoopBackIntoTheCopy", [](uint8_t* p, uint8_t*) {
        Asm a{p};
        a({0x48, 0x89, 0xF9, 0x31, 0xC0});                 // mov rcx,rdi; xor eax,eax
        a({0x83, 0xC0, 0x03, 0xE2, 0xFB});                 // l: add eax,3; loop l
        a({0xC3});
        return 10;
    }, {{1, 0}, {4, 0}}},
    RelocCase{false, "JumpBackIntoTheCopy", [](uint8_t* p, uint8_t*) {
        Asm a{p};
        a({0x31, 0xC0});                                   // xor eax,eax
        a({0xFF, 0xC0, 0x48, 0xFF, 0xCF, 0x75, 0xF9});     // l: inc eax; dec rdi; jnz l
        a({0xC3});
        return 9;
    }, {{1, 0}, {6, 0}}},
};

INSTANTIATE_TEST_SUITE_P(Cases, Relocate, ::testing::ValuesIn(Cases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RelocateRefuses, BranchesIntoTheMiddleOfAMovedInstruction) {
    Areas areas;
    ASSERT_TRUE(areas.Near);
    uint8_t* p = areas.Near;
    Asm{p}({0xB8, 1, 2, 3, 4, 0xEB, 0xFA}); // mov eax,..; jmp into the mov's immediate
    try {
        RelocateInstructions(p, p + 0x1000, 7);
        FAIL();
    } catch (const rtl::Exception& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Branch into a relocated instruction cannot be kept."));
    }
}

TEST(RelocateRefuses, WhatNoScratchFormCarries) {
    Areas areas;
    ASSERT_TRUE(areas.Near && areas.Far);
    uint8_t* d = areas.Near + 0x8000;
    struct { const char* name; std::vector<uint8_t> head; } cases[] = {
        {"push qword [rip]", {0xFF, 0x35}}, {"pop qword [rip]", {0x8F, 0x05}},
        {"mov rsp,[rip]", {0x48, 0x8B, 0x25}}, {"jmp far [rip]", {0xFF, 0x2D}},
    };
    for (const auto& c : cases) {
        uint8_t* p = areas.Near;
        Asm a{p};
        for (uint8_t b : c.head) a({b});
        a.Rel32(d);
        const int n = int(c.head.size()) + 4;
        EXPECT_NO_THROW(RelocateInstructions(p, areas.Near + 0x1000, n)) << c.name << " near";
        try {
            RelocateInstructions(p, areas.Far, n);
            ADD_FAILURE() << c.name;
        } catch (const rtl::Exception& e) {
            EXPECT_EQ(e.Message(), QStringLiteral("Failed to correcr RIP Displacement.")) << c.name;
        }
    }
}

TEST(RelocateRefuses, MoreThanTheRoomGiven) {
    Areas areas;
    ASSERT_TRUE(areas.Near && areas.Far);
    uint8_t* p = areas.Near;
    Asm{p}({0x74, 0x10, 0x74, 0x10}); // two short jumps that become 18 bytes each far away
    EXPECT_EQ(RelocateInstructions(p, areas.Near + 0x100, 4, 12), 12); // two 0F 8x forms
    EXPECT_EQ(RelocateInstructions(p, areas.Near + 0x100, 0), 0);      // nothing to move, as fuzzing found
    try {
        RelocateInstructions(p, areas.Far, 4, 30);
        FAIL();
    } catch (const rtl::Exception& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Exceed maximum TrampoSize."));
    }
}

} // namespace
