// tests/styling/JumpTest.cpp: choosing and writing the patcher's jumps at every distance. The written
// bytes are decoded back and must land on the destination.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "styling/hooking/CodeHooks.h"

using namespace styling;

namespace {

const uint8_t* At(uintptr_t A) { return reinterpret_cast<const uint8_t*>(A); }

struct SelectCase {
    const char* name;
    uintptr_t from, to, slot;
    TJumpForm form;
};

class SelectJump : public ::testing::TestWithParam<SelectCase> {};

TEST_P(SelectJump, PicksTheSmallestFormThatReaches) {
    const auto& c = GetParam();
    EXPECT_EQ(SelectJumpType(At(c.from), At(c.to), const_cast<uint8_t*>(At(c.slot))), c.form);
}

constexpr uintptr_t Base = 0x7000'0000'0000;

INSTANTIATE_TEST_SUITE_P(Distances, SelectJump, ::testing::Values(
    SelectCase{"ByteForward", Base, Base + 2 + 127, 0, jfShort8},
    SelectCase{"ByteForwardPlusOne", Base, Base + 2 + 128, 0, jfNear32},
    SelectCase{"ByteBackward", Base, Base + 2 - 128, 0, jfShort8},
    SelectCase{"ByteBackwardPlusOne", Base, Base + 2 - 129, 0, jfNear32},
    SelectCase{"NearForward", Base, Base + 5 + 0x7FFF'FFFF, 0, jfNear32},
    SelectCase{"NearBackward", Base, Base + 5 - 0x8000'0000ull, 0, jfNear32},
    SelectCase{"FarWithNearSlot", Base, Base + 5 + 0x8000'0000ull, Base + 0x1000, jfSlotRip},
    SelectCase{"FarWithFarSlot", Base, Base + 0x1'0000'0000ull, Base + 6 + 0x8000'0000ull, jfInline64},
    SelectCase{"SlotAtTheEdge", Base, Base + 0x1'0000'0000ull, Base + 6 + 0x7FFF'FFFF, jfSlotRip}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SelectJump, FarWithoutSlotIsRefused) {
    try {
        SelectJumpType(At(Base), At(Base + 0x1'0000'0000ull), nullptr);
        FAIL();
    } catch (const rtl::Exception& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Invalid DstSave Address pointer."));
    }
}

// Decodes the written jump as the processor would and follows it to its destination.
uint64_t Follow(const uint8_t* Code, const uint8_t* RunAt) {
    TDecodedInstruction I{};
    I.Architecture = 1;
    I.Address = Code;
    I.RunAddress = RunAt;
    DecodeInstruction(I);
    return I.Branch.Target;
}

TEST(WriteJump, EachFormReachesItsDestination) {
    std::vector<uint8_t> mem(0x20000, 0xCC);
    uint8_t* at = mem.data() + 0x10000;
    struct { TJumpForm form; intptr_t to; int size; } cases[] = {
        {jfShort8, 2 + 127, 2}, {jfShort8, 2 - 128, 2}, {jfNear32, 0x8000, 5}, {jfNear32, -0x8000, 5},
        {jfSlotRip, 0x123456789, 6}, {jfInline64, -0x123456789, 14},
    };
    for (const auto& c : cases) {
        std::fill(mem.begin(), mem.end(), 0xCC);
        uint8_t* slot = at + 0x100;
        const uint8_t* to = at + c.to;
        EXPECT_TRUE(WriteJump(at, to, c.form, slot));
        EXPECT_EQ(JumpFormSize(c.form), c.size);
        EXPECT_EQ(at[c.size], 0xCC) << int(c.form) << ": wrote past its size";
        EXPECT_EQ(Follow(at, nullptr), reinterpret_cast<uint64_t>(to)) << int(c.form);
    }
}

TEST(WriteJump, RefusesWhatCannotBeWritten) {
    std::vector<uint8_t> mem(64, 0xCC);
    struct { TJumpForm form; intptr_t to; bool slot; const char* message; } cases[] = {
        {jfNone, 0, true, "Invalid JMP Type."},
        {jfNear16, 0, true, "Invalid JMP Type for x64."},
        {jfSlot16, 0, true, "Invalid JMP Type for x64."},
        {jfSlot32, 0, true, "Invalid JMP Type for x64."},
        {jfSlotRip, 0, false, "Invalid DstSave Address pointer."},
        // A displacement that does not fit is refused rather than truncated into a wrong jump.
        {jfShort8, 2 + 128, true, "Jump destination out of reach."},
        {jfNear32, 0x1'0000'0000ll, true, "Jump destination out of reach."},
    };
    for (const auto& c : cases) {
        try {
            WriteJump(mem.data(), mem.data() + c.to, c.form, c.slot ? mem.data() + 32 : nullptr);
            ADD_FAILURE() << c.message;
        } catch (const rtl::Exception& e) {
            EXPECT_EQ(e.Message(), QString::fromLatin1(c.message));
        }
        EXPECT_EQ(mem[0], 0xCC) << c.message << ": bytes written before refusing";
    }
}

} // namespace
