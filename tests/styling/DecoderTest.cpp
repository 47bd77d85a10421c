// tests/styling/DecoderTest.cpp: the instruction decoder's measurements, its errors, the patcher's
// decoding entry and the processor feature detection.
#include <gtest/gtest.h>

#include <QFile>
#include <QString>

#include <cstring>
#include <vector>

#include "styling/hooking/CPUID.h"
#include "styling/hooking/CodeHooks.h"
#include "styling/hooking/InsnDecode.h"

using namespace styling;

namespace {

constexpr int Any = -1;

struct DecodeCase {
    const char* name;
    int arch;
    uint8_t options;
    std::vector<uint8_t> bytes;
    int length;
    int branchKind = Any;
    int instructionClass = Any;
    int displacementFlags = Any;
    int branchFlags = Any;
    int immediateSize = Any;
};

// Bytes padded, so that an over-long measurement reads zeros rather than past the buffer.
TDecodedInstruction Decode(std::vector<uint8_t>& Bytes, int Arch, uint8_t Options = 0,
                           const uint8_t* Run = nullptr) {
    Bytes.resize(Bytes.size() + 32, 0);
    TDecodedInstruction I{};
    I.Architecture = uint8_t(Arch);
    I.Address = Bytes.data();
    I.RunAddress = Run;
    I.DecodeOptions = Options;
    DecodeInstruction(I);
    return I;
}

class DecodeTable : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeTable, MeasuresAndClassifies) {
    DecodeCase c = GetParam();
    const TDecodedInstruction I = Decode(c.bytes, c.arch, c.options);
    EXPECT_EQ(I.Length, c.length);
    EXPECT_EQ(I.Cursor - I.Address, c.length);
    if (c.branchKind != Any) {
        EXPECT_EQ(I.BranchKind, c.branchKind);
    }
    if (c.instructionClass != Any) {
        EXPECT_EQ(I.InstructionClass, c.instructionClass);
    }
    if (c.displacementFlags != Any) {
        EXPECT_EQ(I.Displacement.Flags, c.displacementFlags);
    }
    if (c.branchFlags != Any) {
        EXPECT_EQ(I.Branch.Flags, c.branchFlags);
    }
    if (c.immediateSize != Any) {
        EXPECT_EQ(I.Immediate1.Size, c.immediateSize);
    }
}

const DecodeCase Cases[] = {
    {"Ret", 1, 0, {0xC3}, 1, bkReturn, icControlTransfer},
    {"RipLoad", 1, 0, {0x48, 0x8B, 0x05, 0x78, 0x56, 0x34, 0x12}, 7, Any, Any, 1 + 2 + 8},
    {"AbsoluteLoad32", 0, 0, {0x8B, 0x05, 0x78, 0x56, 0x34, 0x12}, 6, Any, Any, 1 + 8},
    {"BaseDisp8", 1, 0, {0x8B, 0x44, 0x24, 0x08}, 4, Any, Any, 1 + 4},
    {"SibNoBase", 1, 0, {0x8B, 0x04, 0x25, 0, 0, 0, 0}, 7, Any, Any, 1 + 4},
    {"MovImm16", 1, 0, {0x66, 0xB8, 0x34, 0x12}, 4, Any, Any, Any, Any, 2},
    {"MovImm64", 1, 0, {0x48, 0xB8, 1, 2, 3, 4, 5, 6, 7, 8}, 10, Any, Any, Any, Any, 8},
    {"MovImm32", 1, 0, {0xB8, 1, 2, 3, 4}, 5, Any, Any, Any, Any, 4},
    {"MemOffset64", 1, 0, {0xA1, 1, 2, 3, 4, 5, 6, 7, 8}, 9, Any, Any, 1 + 16},
    {"MemOffset67", 1, 0, {0x67, 0xA1, 1, 2, 3, 4}, 6, Any, Any, 1 + 16},
    {"MemOffset16", 0, 0, {0x67, 0xA1, 1, 2}, 4},
    {"RepeatedPrefix", 1, 0, {0x66, 0x66, 0x90}, 3},
    {"Nop5", 1, 0, {0x0F, 0x1F, 0x44, 0x00, 0x00}, 5},
    {"Lfence", 1, 0, {0x0F, 0xAE, 0xE8}, 3},
    {"BtImm", 1, 0, {0x0F, 0xBA, 0xE0, 0x05}, 4},
    {"GroupKeeps66Nop", 1, 0, {0x66, 0x0F, 0x1F, 0x44, 0x00, 0x00}, 6},
    {"GroupKeeps66Bt", 1, 0, {0x66, 0x0F, 0xBA, 0xE0, 0x05}, 5},
    {"MovapdAccepts66", 1, 0, {0x66, 0x0F, 0x28, 0xC1}, 4},
    {"MovapsModRM", 1, 0, {0x0F, 0x28, 0xC1}, 3},
    {"MovapsRefusesF2", 1, 0, {0xF2, 0x0F, 0x28, 0xC1}, 3},
    // x87 escapes keep their ModRM whatever the prefix.
    {"X87Under66", 1, 0, {0x66, 0xD9, 0xC0}, 3},
    {"X87Memory", 1, 0, {0xD9, 0x45, 0x08}, 3},
    {"X87UndefinedMemory", 1, 0, {0xDD, 0x28}, 2},
    // Memory forms of 0F AE measured with their SIB and displacement.
    {"FxsaveSib", 1, 0, {0x0F, 0xAE, 0x44, 0x24, 0x08}, 5},
    {"LdmxcsrDisp32", 1, 0, {0x0F, 0xAE, 0x94, 0x24, 0x00, 0x01, 0x00, 0x00}, 8},
    {"ClflushRip", 1, 0, {0x0F, 0xAE, 0x3D, 1, 2, 3, 4}, 7, Any, Any, 1 + 2 + 8},
    {"XsaveRex", 1, 0, {0x48, 0x0F, 0xAE, 0x64, 0x24, 0x40}, 6},
    {"Vex2In32", 0, doVex, {0xC5, 0xF9, 0x6F, 0xC1}, 4},
    {"LesIn32", 0, doVex, {0xC4, 0x00}, 2},
    {"LdsWithoutVex", 1, 0, {0xC5, 0xF9}, 2},
    {"Vex3Map38", 1, doVex, {0xC4, 0xE2, 0x79, 0x18, 0x04, 0x24}, 6},
    {"Vex3Map3A", 1, doVex, {0xC4, 0xE3, 0x79, 0x0F, 0xC1, 0x08}, 6},
    {"Movbe", 1, 0, {0x0F, 0x38, 0xF0, 0x07}, 4},
    {"Crc32", 1, 0, {0xF2, 0x0F, 0x38, 0xF1, 0xC0}, 5},
    // Integer instructions of the 0F map keep their operands under 66, F2 and F3.
    {"MovzxUnder66", 1, 0, {0x66, 0x0F, 0xB6, 0xC0}, 4},
    {"CmovUnder66", 1, 0, {0x66, 0x0F, 0x44, 0x44, 0x24, 0x08}, 6},
    {"Popcnt", 1, 0, {0xF3, 0x0F, 0xB8, 0xC0}, 4},
    {"Palignr", 1, 0, {0x66, 0x0F, 0x3A, 0x0F, 0xC1, 0x08}, 6},
    {"Pshufb", 1, 0, {0x66, 0x0F, 0x38, 0x00, 0xC1}, 5},
    {"CallRel", 1, 0, {0xE8, 1, 2, 3, 4}, 5, bkCall, icControlTransfer, Any, 1 + 2},
    {"TlsCall", 1, 0, {0x66, 0x66, 0x48, 0xE8, 1, 2, 3, 4}, 8, bkCall},
    {"CallRel16In32", 0, 0, {0x66, 0xE8, 1, 2}, 4, bkCall},
    {"Jcc8", 1, 0, {0x75, 0x10}, 2, bkConditional, icControlTransfer},
    {"Jcc32", 1, 0, {0x0F, 0x84, 1, 2, 3, 4}, 6, bkConditional, icControlTransfer},
    {"Loop", 1, 0, {0xE2, 0xFE}, 2, bkOther, icControlTransfer},
    {"JmpShort", 1, 0, {0xEB, 0x00}, 2, bkJump},
    {"JmpThroughRegister", 1, 0, {0xFF, 0x60, 0x08}, 3, bkJump, Any, Any, 1 + 4 + 8 + 16},
    {"Xbegin", 1, 0, {0xC7, 0xF8, 1, 2, 3, 4}, 6, bkNone},
    {"Push", 1, 0, {0x41, 0x57}, 2, bkNone, icStack},
    {"MovCr", 1, 0, {0x0F, 0x20, 0xC0}, 3, Any, icControlRegister},
    {"Enter", 1, 0, {0xC8, 0x10, 0x00, 0x00}, 4, Any, icStack},
    {"IncIn32", 0, 0, {0x40}, 1},
    {"FarCall32", 0, 0, {0x9A, 1, 2, 3, 4, 5, 6}, 7, bkCall, Any, Any, 1 + 4 + 32},
    {"FarCallIn64", 1, 0, {0x9A}, 1},
    {"Syscall", 1, 0, {0x0F, 0x05}, 2},
    {"Modrm16", 0, 0, {0x67, 0x8B, 0x46, 0x10}, 4},
    {"Modrm16NoBase", 0, 0, {0x67, 0x8B, 0x06, 0x34, 0x12}, 5},
};

INSTANTIATE_TEST_SUITE_P(Vectors, DecodeTable, ::testing::ValuesIn(Cases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Decoder, BranchTargetsFollowTheRunAddress) {
    std::vector<uint8_t> bytes{0xE9, 0x10, 0x00, 0x00, 0x00};
    const auto* run = reinterpret_cast<const uint8_t*>(uintptr_t(0x7000'0000'1000));
    const TDecodedInstruction I = Decode(bytes, 1, 0, run);
    EXPECT_EQ(I.Branch.Target, 0x7000'0000'1000u + 5 + 0x10);
    EXPECT_EQ(I.BranchKind, bkJump);
}

TEST(Decoder, IndirectJumpThroughInlineSlotReadsTheTarget) {
    std::vector<uint8_t> bytes{0xFF, 0x25, 0, 0, 0, 0, 0x88, 0x77, 0x66, 0x55, 0x44, 0x33, 0x22, 0x11};
    const TDecodedInstruction I = Decode(bytes, 1);
    EXPECT_EQ(I.Length, 6);
    EXPECT_EQ(I.Branch.Target, 0x1122334455667788u);
    EXPECT_EQ(I.Branch.Flags, 1 + 4 + 8 + 64);
}

TEST(Decoder, UnreadableSlotLeavesTheTargetUnknown) {
    // A slot that points nowhere mapped must not bring the decoder down.
    std::vector<uint8_t> bytes{0xFF, 0x25, 0x00, 0x00, 0x00, 0x80};
    const TDecodedInstruction I = Decode(bytes, 1);
    EXPECT_EQ(I.Length, 6);
    EXPECT_EQ(I.Branch.Target, 0u);
    EXPECT_TRUE(I.Branch.Flags & bfUnknown);
}

struct ErrorCase {
    const char* name;
    int arch;
    uint8_t options;
    std::vector<uint8_t> bytes;
    int code;
    const char* message;
};

class DecodeErrors : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(DecodeErrors, RaiseWithCodeAndText) {
    ErrorCase c = GetParam();
    c.bytes.resize(c.bytes.size() + 32, 0x66);
    TDecodedInstruction I{};
    I.Architecture = uint8_t(c.arch);
    I.Address = c.bytes.data();
    I.DecodeOptions = c.options;
    try {
        DecodeInstruction(I);
        FAIL() << "no error";
    } catch (const InstException& e) {
        EXPECT_EQ(e.Message(), QString::fromLatin1(c.message));
        EXPECT_EQ(I.ErrorBits, c.code);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, DecodeErrors, ::testing::Values(
    ErrorCase{"Architecture", 2, 0, {0x90}, 1, "Error 1 : Invalid cpux."},
    ErrorCase{"VexMapZero", 1, doVex, {0xC4, 0xE0, 0x79, 0x00}, 32, "Error 32 : Invalid vex mmmmm field."},
    ErrorCase{"VexMapFour", 1, doVex, {0xC4, 0xE4, 0x79, 0x00}, 32, "Error 32 : Invalid vex mmmmm field."},
    // Trailing 66 prefixes only: the walk stops at the longest instruction instead of running on.
    ErrorCase{"EndlessPrefixes", 1, 0, {}, 4, "Error 4 : Invalid instruction length."},
    ErrorCase{"TooLong32", 0, 0, {0x66, 0x66, 0x66, 0x66, 0x66, 0x66, 0x66, 0x66, 0x66, 0x66, 0x81, 0x84,
                                  0x24, 1, 2, 3, 4, 1, 2}, 4, "Error 4 : Invalid instruction length."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Decoder, NullAddressIsRefused) {
    TDecodedInstruction I{};
    I.Architecture = 1;
    EXPECT_THROW(DecodeInstruction(I), InstException);
    EXPECT_EQ(I.ErrorBits, 2);
}

TEST(Decoder, InputFieldsSurviveAndOutputsAreCleared) {
    std::vector<uint8_t> jcc{0x75, 0x10};
    TDecodedInstruction I = Decode(jcc, 1, doVex);
    std::vector<uint8_t> nop{0x90, 0, 0};
    I.Address = nop.data();
    DecodeInstruction(I);
    EXPECT_EQ(I.Length, 1);
    EXPECT_EQ(I.BranchKind, bkNone);
    EXPECT_EQ(I.Branch.Flags, 0);
    EXPECT_EQ(I.DecodeOptions, doVex);
    EXPECT_EQ(I.Architecture, 1);
}

struct HookDecodeCase {
    const char* name;
    std::vector<uint8_t> bytes;
    int length;
};

class HookDecode : public ::testing::TestWithParam<HookDecodeCase> {};

TEST_P(HookDecode, CountsInlineSlotsOnlyForIndirectBranches) {
    HookDecodeCase c = GetParam();
    c.bytes.resize(c.bytes.size() + 32, 0);
    TDecodedInstruction I{};
    I.Address = c.bytes.data();
    EXPECT_EQ(DecodeForHook(I), c.length);
}

INSTANTIATE_TEST_SUITE_P(Cases, HookDecode, ::testing::Values(
    HookDecodeCase{"JmpSlot", {0xFF, 0x25, 0, 0, 0, 0}, 14},
    HookDecodeCase{"CallSlot", {0xFF, 0x15, 0, 0, 0, 0}, 14},
    HookDecodeCase{"LeaRipZero", {0x48, 0x8D, 0x05, 0, 0, 0, 0}, 7},
    HookDecodeCase{"LoadRipZero", {0x8B, 0x05, 0, 0, 0, 0}, 6},
    HookDecodeCase{"JmpSlotElsewhere", {0xFF, 0x25, 8, 0, 0, 0}, 6}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- processor features ----

struct FakeCpu {
    static inline TCpuidResult Leaf0{}, Leaf1{};
    static inline uint64_t Xcr0 = 0;
    static TCpuidResult Cpuid(uint32_t Leaf) { return Leaf == 0 ? Leaf0 : Leaf1; }
    static uint64_t Xgetbv(uint32_t) { return Xcr0; }
    static void Set(const char* Vendor, uint32_t Family, bool Avx, uint64_t Xcr0Value) {
        Leaf0 = {};
        std::memcpy(&Leaf0[1], Vendor, 12);
        Leaf1 = {Family << 8, 0, 0, Avx ? (1u << 27) | (1u << 28) : 0u};
        Xcr0 = Xcr0Value;
    }
};

TEST(CpuFeatures, DetectsVendorNopsAndUsableAvx) {
    const uint8_t vendor = CpuVendor, ext = CpuExtensions, ins = CpuInstructions;
    const TCpuProbe probe{true, FakeCpu::Cpuid, FakeCpu::Xgetbv};
    FakeCpu::Set("GenuineIntel", 6, false, 7);
    DetectCpuFeatures(probe);
    EXPECT_EQ(CpuVendor, cvIntel);
    EXPECT_EQ(CpuInstructions, ciMultiByteNop);
    EXPECT_EQ(CpuExtensions, ceAlways);
    FakeCpu::Set("AuthenticAMD", 15, true, 7);
    DetectCpuFeatures(probe);
    EXPECT_EQ(CpuVendor, cvAMD);
    EXPECT_EQ(CpuExtensions, ceAlways | ceAvx);
    // AVX in the processor but its register state not enabled by the operating system.
    FakeCpu::Set("NexGenDriven", 5, true, 3);
    DetectCpuFeatures(probe);
    EXPECT_EQ(CpuVendor, cvNexGen);
    EXPECT_EQ(CpuInstructions, 0);
    EXPECT_EQ(CpuExtensions, ceAlways);
    FakeCpu::Set("SomethingElse", 6, false, 0);
    DetectCpuFeatures(probe);
    EXPECT_EQ(CpuVendor, cvUnknown);
    DetectCpuFeatures(TCpuProbe{false, FakeCpu::Cpuid, FakeCpu::Xgetbv});
    EXPECT_EQ(CpuInstructions, 0);
    CpuVendor = vendor;
    CpuExtensions = ext;
    CpuInstructions = ins;
}

TEST(CpuFeatures, AgreeWithProcCpuinfo) {
    QFile f(QStringLiteral("/proc/cpuinfo"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QString vendor;
    QStringList flags;
    for (const QByteArray& line : f.readAll().split('\n')) {
        const QString s = QString::fromLatin1(line);
        if (vendor.isEmpty() && s.startsWith(QLatin1String("vendor_id")))
            vendor = s.section(QLatin1Char(':'), 1).trimmed();
        if (flags.isEmpty() && s.startsWith(QLatin1String("flags")))
            flags = s.section(QLatin1Char(':'), 1).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    }
    const auto text = GetCpuVendor();
    EXPECT_EQ(QString::fromLatin1(text.data(), 12), vendor);
    // The kernel lists avx only when it saves the AVX state with xsave (it shows no osxsave flag).
    EXPECT_EQ(bool(CpuExtensions & ceAvx), flags.contains(QLatin1String("avx")) &&
                                               flags.contains(QLatin1String("xsave")));
    const int expected = vendor == QLatin1String("GenuineIntel") ? cvIntel
                         : vendor == QLatin1String("AuthenticAMD") ? cvAMD : cvUnknown;
    EXPECT_EQ(CpuVendor, expected);
}

} // namespace
