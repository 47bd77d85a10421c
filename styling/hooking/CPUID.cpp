// styling/hooking/CPUID.cpp
#include "styling/hooking/CPUID.h"

#include <cpuid.h>
#include <cstring>

#include "rtl/System.h"

namespace styling {

uint8_t CpuVendor = cvUnknown;
uint8_t CpuExtensions = ceAlways;
uint8_t CpuInstructions = 0;

namespace {

bool StoredCpuidAvailable = false;

bool ProbeCpuidFlag() {
#if defined(__x86_64__)
    return true; // every x86-64 processor has CPUID
#elif defined(__i386__)
    return __get_cpuid_max(0, nullptr) != 0;
#else
    return false;
#endif
}

TCpuidResult RealCpuid(uint32_t Leaf) {
    TCpuidResult r{};
#if defined(__x86_64__) || defined(__i386__)
    uint32_t a = 0, b = 0, c = 0, d = 0;
    __cpuid_count(Leaf, Leaf, a, b, c, d);
    r = {a, b, d, c};
#endif
    return r;
}

uint64_t RealXgetbv(uint32_t Index) {
#if defined(__x86_64__) || defined(__i386__)
    uint32_t lo = 0, hi = 0;
    __asm__ volatile("xgetbv" : "=a"(lo), "=d"(hi) : "c"(Index));
    return (uint64_t(hi) << 32) | lo;
#else
    (void)Index;
    return 0;
#endif
}

TCpuProbe RealProbe() { return {IsCpuidAvailable(), RealCpuid, RealXgetbv}; }

struct TInit {
    TInit() { InitCpuFeatures(); }
} Init;

} // namespace

bool IsCpuidAvailable() { return StoredCpuidAvailable; }

void CallCpuid(uint32_t Leaf, TCpuidResult& Result) {
    Result = {};
    if (!IsCpuidAvailable()) throw rtl::Exception(QStringLiteral("CPUID instruction not supported."));
    Result = RealCpuid(Leaf);
}

bool IsAvxSupported(const TCpuProbe& Probe) {
    if (!Probe.Available) return false;
    const uint32_t ecx = Probe.Cpuid(1)[3];
    if ((ecx & (1u << 27)) == 0 || (ecx & (1u << 28)) == 0) return false; // OSXSAVE and AVX
    // XGETBV may only run once OSXSAVE said so; the OS must save SSE and AVX state.
    return (Probe.Xgetbv(0) & 6) == 6;
}

bool IsAvxSupported() { return IsAvxSupported(RealProbe()); }

std::array<char, 12> GetCpuVendor() {
    std::array<char, 12> v{};
    if (!IsCpuidAvailable()) return v;
    TCpuidResult r;
    CallCpuid(0, r);
    std::memcpy(v.data(), &r[1], 12);
    return v;
}

void DetectCpuFeatures(const TCpuProbe& Probe) {
    CpuVendor = cvUnknown;
    CpuExtensions = ceAlways;
    CpuInstructions = 0;
    if (!Probe.Available) return;
    const TCpuidResult r0 = Probe.Cpuid(0);
    char vendor[12];
    std::memcpy(vendor, &r0[1], 12);
    if (std::memcmp(vendor, "GenuineIntel", 12) == 0) CpuVendor = cvIntel;
    else if (std::memcmp(vendor, "AuthenticAMD", 12) == 0) CpuVendor = cvAMD;
    else if (std::memcmp(vendor, "NexGenDriven", 12) == 0) CpuVendor = cvNexGen;
    const uint32_t family = (Probe.Cpuid(1)[0] >> 8) & 0xF;
    if (family == 6 || family == 15) CpuInstructions |= ciMultiByteNop;
    if (IsAvxSupported(Probe)) CpuExtensions |= ceAvx;
}

void DetectCpuFeatures() { DetectCpuFeatures(RealProbe()); }

void InitCpuFeatures() {
    StoredCpuidAvailable = ProbeCpuidFlag();
    DetectCpuFeatures();
}

} // namespace styling
