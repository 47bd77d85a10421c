// styling/hooking/CPUID.h: what the processor offers the code patcher: its maker, multi-byte NOPs and
// usable AVX. Filled once at start-up, read-only afterwards.
#pragma once
#include <array>
#include <cstdint>

namespace styling {

enum TCpuVendor : uint8_t { cvUnknown = 0, cvIntel = 1, cvAMD = 2, cvNexGen = 3 };

// Set elements as bits.
constexpr uint8_t ceAlways = 1 << 0;     // CpuExtensions: always present
constexpr uint8_t ceAvx = 1 << 1;        // CpuExtensions: AVX usable (processor and operating system)
constexpr uint8_t ciMultiByteNop = 1 << 0; // CpuInstructions

extern uint8_t CpuVendor;
extern uint8_t CpuExtensions;
extern uint8_t CpuInstructions;

// EAX, EBX, EDX, ECX: bytes 4 to 15 of leaf 0 are then the vendor text.
using TCpuidResult = std::array<uint32_t, 4>;

bool IsCpuidAvailable();
void CallCpuid(uint32_t Leaf, TCpuidResult& Result); // raises rtl::Exception without CPUID
bool IsAvxSupported();
std::array<char, 12> GetCpuVendor();
void InitCpuFeatures();

// The detection over any processor: tests feed it recorded answers.
struct TCpuProbe {
    bool Available = true;
    TCpuidResult (*Cpuid)(uint32_t Leaf) = nullptr;
    uint64_t (*Xgetbv)(uint32_t Index) = nullptr;
};
bool IsAvxSupported(const TCpuProbe& Probe);
void DetectCpuFeatures(const TCpuProbe& Probe);
void DetectCpuFeatures();

} // namespace styling
