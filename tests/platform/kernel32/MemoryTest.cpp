// tests/platform/kernel32/MemoryTest.cpp: virtual memory over mmap, mprotect and /proc/self/maps.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "win/kernel32/winbase.h"

namespace {

constexpr SIZE_T K64 = 0x10000;

MEMORY_BASIC_INFORMATION Query(const void* At) {
    MEMORY_BASIC_INFORMATION m{};
    EXPECT_EQ(VirtualQuery(At, &m, sizeof m), sizeof m);
    return m;
}

uint8_t* Bytes(void* P) { return static_cast<uint8_t*>(P); }

TEST(VirtualMemory, AllocatesOnTheGranularityAndReleasesWhole) {
    auto* p = Bytes(VirtualAlloc(nullptr, 10000, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(p) % K64, 0u);
    std::memset(p, 0xAB, 10000);

    const auto m = Query(p + 5000);
    EXPECT_EQ(m.BaseAddress, p + 4096);
    EXPECT_EQ(m.AllocationBase, p);
    EXPECT_EQ(m.AllocationProtect, DWORD(PAGE_READWRITE));
    EXPECT_EQ(m.RegionSize, 12288u - 4096u);
    EXPECT_EQ(m.State, DWORD(MEM_COMMIT));
    EXPECT_EQ(m.Protect, DWORD(PAGE_READWRITE));
    EXPECT_EQ(m.Type, DWORD(MEM_PRIVATE));

    ASSERT_TRUE(VirtualFree(p, 0, MEM_RELEASE));
    EXPECT_EQ(Query(p).State, DWORD(MEM_FREE));
}

TEST(VirtualMemory, AllocatesExactlyAtAFreeAddressAndNeverOverAnother) {
    auto* area = Bytes(VirtualAlloc(nullptr, 3 * K64, MEM_RESERVE, PAGE_NOACCESS));
    ASSERT_NE(area, nullptr);
    ASSERT_TRUE(VirtualFree(area, 0, MEM_RELEASE));

    auto* low = Bytes(VirtualAlloc(area, K64, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    auto* high = Bytes(VirtualAlloc(area + 2 * K64 + 100, 50, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    ASSERT_EQ(low, area);
    ASSERT_EQ(high, area + 2 * K64); // rounded down to the granularity
    low[0] = 42;

    // The gap between them is free, and its size runs to the next mapping.
    const auto gap = Query(area + K64 + 10);
    EXPECT_EQ(gap.State, DWORD(MEM_FREE));
    EXPECT_EQ(gap.AllocationBase, nullptr);
    EXPECT_EQ(gap.RegionSize, K64);

    SetLastError(0);
    EXPECT_EQ(VirtualAlloc(area, K64, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_ADDRESS));
    EXPECT_EQ(low[0], 42); // nothing replaced

    EXPECT_TRUE(VirtualFree(low, 0, MEM_RELEASE));
    EXPECT_TRUE(VirtualFree(high, 0, MEM_RELEASE));
}

TEST(VirtualMemory, ReservesCommitsAndDecommits) {
    auto* p = Bytes(VirtualAlloc(nullptr, 4 * 4096, MEM_RESERVE, PAGE_READWRITE));
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(Query(p).State, DWORD(MEM_RESERVE));
    ASSERT_EQ(VirtualAlloc(p + 4096, 4096, MEM_COMMIT, PAGE_READWRITE), p + 4096);
    p[4096] = 7;
    const auto m = Query(p + 4096);
    EXPECT_EQ(m.State, DWORD(MEM_COMMIT));
    EXPECT_EQ(m.RegionSize, 4096u);
    EXPECT_EQ(m.AllocationBase, p);
    ASSERT_TRUE(VirtualFree(p + 4096, 4096, MEM_DECOMMIT));
    EXPECT_EQ(Query(p + 4096).State, DWORD(MEM_RESERVE));
    ASSERT_EQ(VirtualAlloc(p + 4096, 4096, MEM_COMMIT, PAGE_READWRITE), p + 4096);
    EXPECT_EQ(p[4096], 0); // decommitted pages come back zeroed
    EXPECT_TRUE(VirtualFree(p, 0, MEM_RELEASE));
}

TEST(VirtualMemory, ProtectReturnsThePreviousProtection) {
    auto* p = Bytes(VirtualAlloc(nullptr, 2 * 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    ASSERT_NE(p, nullptr);
    DWORD old = 0;
    ASSERT_TRUE(VirtualProtect(p + 4096, 1, PAGE_EXECUTE_READWRITE, &old));
    EXPECT_EQ(old, DWORD(PAGE_READWRITE));
    EXPECT_EQ(Query(p).Protect, DWORD(PAGE_READWRITE));
    EXPECT_EQ(Query(p + 4096).Protect, DWORD(PAGE_EXECUTE_READWRITE));
    ASSERT_TRUE(VirtualProtect(p + 4096, 1, PAGE_READONLY, &old));
    EXPECT_EQ(old, DWORD(PAGE_EXECUTE_READWRITE));
    EXPECT_TRUE(VirtualFree(p, 0, MEM_RELEASE));

    // Code of a shared library can be made writable and back.
    auto* code = reinterpret_cast<uint8_t*>(&VirtualQuery);
    ASSERT_TRUE(VirtualProtect(code, 16, PAGE_EXECUTE_READWRITE, &old));
    EXPECT_EQ(old, DWORD(PAGE_EXECUTE_READ));
    EXPECT_EQ(Query(code).Type, DWORD(MEM_IMAGE));
    ASSERT_TRUE(VirtualProtect(code, 16, old, &old));
    EXPECT_EQ(old, DWORD(PAGE_EXECUTE_READWRITE));
}

TEST(VirtualMemory, RefusesBadRequests) {
    // An allocation with free room behind it.
    auto* area = Bytes(VirtualAlloc(nullptr, 2 * K64, MEM_RESERVE, PAGE_NOACCESS));
    ASSERT_TRUE(area && VirtualFree(area, 0, MEM_RELEASE));
    auto* p = Bytes(VirtualAlloc(area, K64, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    ASSERT_EQ(p, area);
    DWORD old = 0;
    struct Case {
        const char* name;
        std::function<bool()> call;
        DWORD error;
    };
    const Case cases[] = {
        {"release with a size", [&] { return bool(VirtualFree(p, 4096, MEM_RELEASE)); }, ERROR_INVALID_PARAMETER},
        {"release inside", [&] { return bool(VirtualFree(p + 4096, 0, MEM_RELEASE)); }, ERROR_INVALID_PARAMETER},
        {"alloc without a kind", [&] { return VirtualAlloc(nullptr, 10, 0, PAGE_READWRITE) != nullptr; },
         ERROR_INVALID_PARAMETER},
        {"alloc with no protection", [&] { return VirtualAlloc(nullptr, 10, MEM_COMMIT, 0x33) != nullptr; },
         ERROR_INVALID_PARAMETER},
        {"commit outside any reservation",
         [&] { return VirtualAlloc(p + K64 * 100, 10, MEM_COMMIT, PAGE_READWRITE) != nullptr; }, ERROR_INVALID_ADDRESS},
        {"protect without old", [&] { return bool(VirtualProtect(p, 10, PAGE_READONLY, nullptr)); },
         ERROR_INVALID_PARAMETER},
        {"protect across free memory", [&] { return bool(VirtualProtect(p, 2 * K64, PAGE_READONLY, &old)); },
         ERROR_INVALID_ADDRESS},
    };
    for (const auto& c : cases) {
        SetLastError(0);
        EXPECT_FALSE(c.call()) << c.name;
        EXPECT_EQ(GetLastError(), c.error) << c.name;
    }
    EXPECT_EQ(Query(p).Protect, DWORD(PAGE_READWRITE)); // the refused change changed nothing
    EXPECT_TRUE(VirtualFree(p, 0, MEM_RELEASE));
}

bool Same(const MEMORY_BASIC_INFORMATION& A, const MEMORY_BASIC_INFORMATION& B) {
    return A.BaseAddress == B.BaseAddress && A.AllocationBase == B.AllocationBase && A.RegionSize == B.RegionSize &&
           A.State == B.State && A.Protect == B.Protect && A.Type == B.Type;
}

TEST(VirtualMemory, SnapshotParsesOnceAndFollowsOwnChanges) {
    auto* keep = Bytes(VirtualAlloc(nullptr, 4 * 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    auto* whole = Bytes(VirtualAlloc(nullptr, 3 * 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    ASSERT_NE(keep, nullptr);
    ASSERT_NE(whole, nullptr);
    TwBeginMemorySnapshot();
    const DWORD parses = TwMemoryMapParses();
    auto* fresh = Bytes(VirtualAlloc(nullptr, 3 * 4096, MEM_RESERVE, PAGE_READWRITE));
    ASSERT_NE(fresh, nullptr);
    ASSERT_EQ(VirtualAlloc(fresh + 4096, 4096, MEM_COMMIT, PAGE_EXECUTE_READ), fresh + 4096);
    DWORD old = 0;
    ASSERT_TRUE(VirtualProtect(keep + 4096, 2 * 4096, PAGE_READONLY, &old));
    auto* gone = Bytes(VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    ASSERT_TRUE(VirtualFree(gone, 0, MEM_RELEASE));
    ASSERT_TRUE(VirtualFree(fresh + 2 * 4096, 4096, MEM_DECOMMIT));
    ASSERT_TRUE(VirtualFree(whole, 4096, MEM_DECOMMIT)); // the start of one region: the rest stays

    const std::vector<const uint8_t*> probes = {keep,         keep + 4096,      keep + 3 * 4096, fresh,
                                                fresh + 4096, fresh + 2 * 4096, whole, whole + 4096,
                                                reinterpret_cast<const uint8_t*>(&VirtualAlloc)};
    std::vector<MEMORY_BASIC_INFORMATION> during;
    for (const auto* p : probes) during.push_back(Query(p));
    EXPECT_EQ(Query(gone).State, DWORD(MEM_FREE)); // (anything may take its place once the snapshot ends)
    EXPECT_EQ(TwMemoryMapParses(), parses); // no parse per query or per change
    TwEndMemorySnapshot();

    for (size_t i = 0; i < probes.size(); ++i) {
        const auto now = Query(probes[i]);
        // A free gap may be split by anything mapped since; its start and state must still agree.
        if (now.State == DWORD(MEM_FREE)) {
            EXPECT_EQ(during[i].State, DWORD(MEM_FREE)) << i;
            continue;
        }
        EXPECT_TRUE(Same(during[i], now)) << "probe " << i << ": size " << during[i].RegionSize << " vs "
                                          << now.RegionSize << ", protect " << during[i].Protect << " vs "
                                          << now.Protect << ", state " << during[i].State << " vs " << now.State;
    }
    EXPECT_GT(TwMemoryMapParses(), parses);
    VirtualFree(keep, 0, MEM_RELEASE);
    VirtualFree(fresh, 0, MEM_RELEASE);
    VirtualFree(whole, 0, MEM_RELEASE);
}

TEST(VirtualMemory, SystemInfoDescribesTheAddressSpace) {
    SYSTEM_INFO si{};
    GetSystemInfo(&si);
    EXPECT_EQ(si.dwPageSize, 4096u);
    EXPECT_EQ(si.dwAllocationGranularity, K64);
    EXPECT_LT(si.lpMinimumApplicationAddress, static_cast<void*>(&si));
    EXPECT_GT(si.lpMaximumApplicationAddress, static_cast<void*>(&si));
    EXPECT_GE(si.dwNumberOfProcessors, 1u);
}

} // namespace
