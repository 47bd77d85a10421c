// Virtual memory of the stand-in over mmap, mprotect and /proc/self/maps.
#include "win/kernel32/winbase.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr uintptr_t PageSize = 0x1000;
constexpr uintptr_t Granularity = 0x10000;
constexpr uintptr_t LowestAddress = 0x10000;
constexpr uintptr_t HighestAddress = 0x7FFF'FFFE'FFFF;

uintptr_t PageDown(uintptr_t A) { return A & ~(PageSize - 1); }
uintptr_t PageUp(uintptr_t A) { return (A + PageSize - 1) & ~(PageSize - 1); }

BOOL Fail(DWORD Error) {
    SetLastError(Error);
    return FALSE;
}

// PAGE_* to PROT_*; -1 for a value that is no protection.
int ProtFromPage(DWORD Protect) {
    switch (Protect & 0xFF) {
    case PAGE_NOACCESS: return PROT_NONE;
    case PAGE_READONLY: return PROT_READ;
    case PAGE_READWRITE:
    case PAGE_WRITECOPY: return PROT_READ | PROT_WRITE;
    case PAGE_EXECUTE: return PROT_EXEC;
    case PAGE_EXECUTE_READ: return PROT_READ | PROT_EXEC;
    case PAGE_EXECUTE_READWRITE:
    case PAGE_EXECUTE_WRITECOPY: return PROT_READ | PROT_WRITE | PROT_EXEC;
    default: return -1;
    }
}

DWORD PageFromProt(bool R, bool W, bool X) {
    if (X) return W ? PAGE_EXECUTE_READWRITE : R ? PAGE_EXECUTE_READ : PAGE_EXECUTE;
    if (W) return PAGE_READWRITE;
    return R ? PAGE_READONLY : PAGE_NOACCESS;
}

// A run of pages alike, [Start, End).
struct Region {
    uintptr_t Start, End;
    DWORD Protect;   // 0 while reserved
    DWORD State;     // MEM_COMMIT or MEM_RESERVE
    DWORD Type;
    uintptr_t AllocationBase;
    DWORD AllocationProtect;
};

// What VirtualAlloc handed out: the whole allocation, for MEM_RELEASE and for the allocation base.
struct Allocation {
    uintptr_t Size;
    DWORD Protect;
};

std::mutex Lock;                            // guards everything below
std::map<uintptr_t, Allocation> Allocations; // by base
int SnapshotDepth = 0;
std::vector<Region> Snapshot;               // sorted by Start, while SnapshotDepth > 0
std::atomic<DWORD> Parses{0};

// Splits the region holding A (if any) so that a region starts at A.
void SplitAt(std::vector<Region>& Map, uintptr_t A) {
    auto it = std::upper_bound(Map.begin(), Map.end(), A, [](uintptr_t a, const Region& r) { return a < r.Start; });
    if (it == Map.begin()) return;
    --it;
    if (A <= it->Start || A >= it->End) return;
    Region right = *it;
    right.Start = A;
    it->End = A;
    Map.insert(it + 1, right);
}

// Reads a number in the given base at P, moving P past it and one separator.
unsigned long Number(const char*& P, int Base) {
    char* end = nullptr;
    const unsigned long v = std::strtoul(P, &end, Base);
    P = *end ? end + 1 : end;
    return v;
}

std::vector<Region> ParseMaps() {
    ++Parses;
    std::vector<Region> out;
    FILE* f = std::fopen("/proc/self/maps", "re");
    if (!f) return out;
    out.reserve(512);
    char line[4096 + 256];
    std::string lastPath, path;
    // "start-end perms offset dev inode   path"
    while (std::fgets(line, sizeof line, f)) {
        const char* p = line;
        const unsigned long start = Number(p, 16), end = Number(p, 16);
        if (std::strlen(p) < 5) continue;
        const char* perms = p;
        p += 5;
        Number(p, 16); // offset
        while (*p && *p != ' ') ++p; // device
        if (*p) ++p;
        const unsigned long inode = Number(p, 10);
        while (*p == ' ') ++p;
        path.assign(p);
        while (!path.empty() && (path.back() == '\n' || path.back() == ' ')) path.pop_back();
        const bool r = perms[0] == 'r', w = perms[1] == 'w', x = perms[2] == 'x';
        Region g{};
        g.Start = start;
        g.End = end;
        g.State = r || w || x ? MEM_COMMIT : MEM_RESERVE;
        g.Protect = g.State == MEM_COMMIT ? PageFromProt(r, w, x) : 0;
        g.Type = inode ? MEM_IMAGE : MEM_PRIVATE;
        // The consecutive mappings of one file are one image, based at its first mapping.
        const bool sameFile = inode && !out.empty() && path == lastPath && out.back().End == start;
        g.AllocationBase = sameFile ? out.back().AllocationBase : start;
        g.AllocationProtect = sameFile ? out.back().AllocationProtect : g.Protect;
        lastPath = inode ? path : std::string();
        out.push_back(g);
    }
    std::fclose(f);
    // The kernel merges neighbouring mappings alike into one line; our allocations stay apart, each
    // with its own base and first protection.
    for (const auto& [base, a] : Allocations) {
        SplitAt(out, base);
        SplitAt(out, base + a.Size);
    }
    for (auto& g : out) {
        auto it = Allocations.upper_bound(g.Start);
        if (it == Allocations.begin()) continue;
        --it;
        if (g.Start < it->first + it->second.Size) {
            g.AllocationBase = it->first;
            g.AllocationProtect = it->second.Protect;
            g.Type = MEM_PRIVATE;
        }
    }
    return out;
}

// Removes [Start, End) from the snapshot, splitting the regions across its edges.
void Cut(std::vector<Region>& Map, uintptr_t Start, uintptr_t End) {
    SplitAt(Map, Start);
    SplitAt(Map, End);
    auto from = std::lower_bound(Map.begin(), Map.end(), Start, [](const Region& r, uintptr_t a) { return r.Start < a; });
    auto to = std::lower_bound(from, Map.end(), End, [](const Region& r, uintptr_t a) { return r.Start < a; });
    Map.erase(from, to);
}

void Insert(std::vector<Region>& Map, const Region& G) {
    auto at = std::lower_bound(Map.begin(), Map.end(), G.Start,
                               [](const Region& r, uintptr_t a) { return r.Start < a; });
    Map.insert(at, G);
}

// Sets the protection of [Start, End) in the snapshot, keeping each region's other facts.
void Reprotect(std::vector<Region>& Map, uintptr_t Start, uintptr_t End, DWORD Protect) {
    SplitAt(Map, Start);
    SplitAt(Map, End);
    for (auto it = std::lower_bound(Map.begin(), Map.end(), Start, [](const Region& r, uintptr_t a) { return r.Start < a; });
         it != Map.end() && it->Start < End; ++it) {
        it->Protect = Protect;
        it->State = MEM_COMMIT;
    }
}

const Region* Find(const std::vector<Region>& Map, uintptr_t A) {
    auto it = std::upper_bound(Map.begin(), Map.end(), A, [](uintptr_t a, const Region& r) { return a < r.Start; });
    if (it == Map.begin()) return nullptr;
    --it;
    return A < it->End ? &*it : nullptr;
}

bool Alike(const Region& A, const Region& B) {
    return A.End == B.Start && A.State == B.State && A.Protect == B.Protect && A.Type == B.Type &&
           A.AllocationBase == B.AllocationBase;
}

// A fresh anonymous mapping on the allocation granularity, anywhere.
void* MapAligned(uintptr_t Size, int Prot) {
    void* p = mmap(nullptr, Size + Granularity, Prot, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (p == MAP_FAILED) return nullptr;
    const uintptr_t raw = reinterpret_cast<uintptr_t>(p);
    const uintptr_t base = (raw + Granularity - 1) & ~(Granularity - 1);
    if (base > raw) munmap(p, base - raw);
    const uintptr_t tail = raw + Size + Granularity - (base + Size);
    if (tail) munmap(reinterpret_cast<void*>(base + Size), tail);
    return reinterpret_cast<void*>(base);
}

} // namespace

extern "C" {

void WINAPI GetSystemInfo(LPSYSTEM_INFO lpSystemInfo) {
    if (!lpSystemInfo) return;
    *lpSystemInfo = SYSTEM_INFO{};
    lpSystemInfo->wProcessorArchitecture = 9;
    lpSystemInfo->dwPageSize = DWORD(PageSize);
    lpSystemInfo->lpMinimumApplicationAddress = reinterpret_cast<LPVOID>(LowestAddress);
    lpSystemInfo->lpMaximumApplicationAddress = reinterpret_cast<LPVOID>(HighestAddress);
    const unsigned n = std::max(1u, std::min(64u, std::thread::hardware_concurrency()));
    lpSystemInfo->dwNumberOfProcessors = n;
    lpSystemInfo->dwActiveProcessorMask = n >= 64 ? ~DWORD_PTR(0) : (DWORD_PTR(1) << n) - 1;
    lpSystemInfo->dwProcessorType = 8664;
    lpSystemInfo->dwAllocationGranularity = DWORD(Granularity);
    lpSystemInfo->wProcessorLevel = 6;
}

LPVOID WINAPI VirtualAlloc(LPVOID lpAddress, SIZE_T dwSize, DWORD flAllocationType, DWORD flProtect) {
    const int prot = ProtFromPage(flProtect);
    const DWORD kind = flAllocationType & (MEM_COMMIT | MEM_RESERVE);
    if (dwSize == 0 || prot < 0 || !kind ||
        (flAllocationType & ~(MEM_COMMIT | MEM_RESERVE | MEM_TOP_DOWN))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const uintptr_t want = reinterpret_cast<uintptr_t>(lpAddress);
    std::lock_guard guard(Lock);

    // Committing pages of an existing reservation.
    if (kind == MEM_COMMIT && want) {
        const uintptr_t start = PageDown(want), end = PageUp(want + dwSize);
        auto it = Allocations.upper_bound(start);
        if (it == Allocations.begin() || end > std::prev(it)->first + std::prev(it)->second.Size) {
            SetLastError(ERROR_INVALID_ADDRESS);
            return nullptr;
        }
        if (mprotect(reinterpret_cast<void*>(start), end - start, prot) != 0) {
            SetLastError(TwErrorFromErrno(errno));
            return nullptr;
        }
        if (SnapshotDepth > 0) Reprotect(Snapshot, start, end, flProtect & 0xFF);
        return reinterpret_cast<LPVOID>(start);
    }

    const int mapProt = kind & MEM_COMMIT ? prot : PROT_NONE;
    uintptr_t base = 0, size = 0;
    if (want) {
        if (want < LowestAddress || want > HighestAddress) {
            SetLastError(ERROR_INVALID_ADDRESS);
            return nullptr;
        }
        base = want & ~(Granularity - 1);
        size = PageUp(want + dwSize) - base;
        void* p = mmap(reinterpret_cast<void*>(base), size, mapProt,
                       MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE | MAP_FIXED_NOREPLACE, -1, 0);
        if (p == MAP_FAILED || reinterpret_cast<uintptr_t>(p) != base) {
            // EEXIST: something is mapped there already; a kernel that ignores the flag places it elsewhere.
            if (p != MAP_FAILED) munmap(p, size);
            SetLastError(ERROR_INVALID_ADDRESS);
            return nullptr;
        }
    } else {
        size = PageUp(dwSize);
        void* p = MapAligned(size, mapProt);
        if (!p) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        base = reinterpret_cast<uintptr_t>(p);
    }
    Allocations[base] = Allocation{size, flProtect & 0xFF};
    if (SnapshotDepth > 0) {
        Cut(Snapshot, base, base + size);
        const bool committed = kind & MEM_COMMIT;
        Insert(Snapshot, Region{base, base + size, committed ? flProtect & 0xFF : 0,
                                DWORD(committed ? MEM_COMMIT : MEM_RESERVE), MEM_PRIVATE, base, flProtect & 0xFF});
    }
    return reinterpret_cast<LPVOID>(base);
}

BOOL WINAPI VirtualFree(LPVOID lpAddress, SIZE_T dwSize, DWORD dwFreeType) {
    const uintptr_t a = reinterpret_cast<uintptr_t>(lpAddress);
    std::lock_guard guard(Lock);
    if (dwFreeType == MEM_RELEASE) {
        auto it = Allocations.find(a);
        if (dwSize != 0 || it == Allocations.end()) return Fail(ERROR_INVALID_PARAMETER);
        if (munmap(lpAddress, it->second.Size) != 0) return Fail(TwErrorFromErrno(errno));
        if (SnapshotDepth > 0) Cut(Snapshot, a, a + it->second.Size);
        Allocations.erase(it);
        return TRUE;
    }
    if (dwFreeType == MEM_DECOMMIT) {
        auto it = Allocations.upper_bound(a);
        if (it == Allocations.begin()) return Fail(ERROR_INVALID_ADDRESS);
        --it;
        const uintptr_t allocEnd = it->first + it->second.Size;
        const uintptr_t start = PageDown(a), end = dwSize ? PageUp(a + dwSize) : allocEnd;
        if (start >= allocEnd || end > allocEnd) return Fail(ERROR_INVALID_ADDRESS);
        // A fresh inaccessible mapping in place drops the pages' contents.
        void* p = mmap(reinterpret_cast<void*>(start), end - start, PROT_NONE,
                       MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE | MAP_FIXED, -1, 0);
        if (p == MAP_FAILED) return Fail(TwErrorFromErrno(errno));
        if (SnapshotDepth > 0) {
            Cut(Snapshot, start, end);
            Insert(Snapshot, Region{start, end, 0, MEM_RESERVE, MEM_PRIVATE, it->first, it->second.Protect});
        }
        return TRUE;
    }
    return Fail(ERROR_INVALID_PARAMETER);
}

BOOL WINAPI VirtualProtect(LPVOID lpAddress, SIZE_T dwSize, DWORD flNewProtect, PDWORD lpflOldProtect) {
    const int prot = ProtFromPage(flNewProtect);
    if (prot < 0 || !lpflOldProtect || dwSize == 0) return Fail(ERROR_INVALID_PARAMETER);
    const uintptr_t a = reinterpret_cast<uintptr_t>(lpAddress);
    const uintptr_t start = PageDown(a), end = PageUp(a + dwSize);
    std::lock_guard guard(Lock);
    const std::vector<Region> own = SnapshotDepth > 0 ? std::vector<Region>() : ParseMaps();
    const std::vector<Region>& map = SnapshotDepth > 0 ? Snapshot : own;
    // Every page must be mapped, as Windows refuses a range that crosses free memory.
    auto mapped = [&] {
        uintptr_t covered = start;
        for (const Region* g = Find(map, start); g && covered < end; g = Find(map, covered)) covered = g->End;
        return covered >= end;
    };
    // Others (the heap) may have mapped memory since the snapshot was taken: look again before refusing.
    if (!mapped() && SnapshotDepth > 0) Snapshot = ParseMaps();
    if (!mapped()) return Fail(ERROR_INVALID_ADDRESS);
    const Region* first = Find(map, start);
    if (mprotect(reinterpret_cast<void*>(start), end - start, prot) != 0) return Fail(TwErrorFromErrno(errno));
    *lpflOldProtect = first->State == MEM_COMMIT ? first->Protect : PAGE_NOACCESS;
    if (SnapshotDepth > 0) Reprotect(Snapshot, start, end, flNewProtect & 0xFF);
    return TRUE;
}

SIZE_T WINAPI VirtualQuery(LPCVOID lpAddress, PMEMORY_BASIC_INFORMATION lpBuffer, SIZE_T dwLength) {
    const uintptr_t a = reinterpret_cast<uintptr_t>(lpAddress);
    if (!lpBuffer || dwLength < sizeof(MEMORY_BASIC_INFORMATION) || a > HighestAddress) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::lock_guard guard(Lock);
    const std::vector<Region> own = SnapshotDepth > 0 ? std::vector<Region>() : ParseMaps();
    const std::vector<Region>& map = SnapshotDepth > 0 ? Snapshot : own;
    MEMORY_BASIC_INFORMATION info{};
    const uintptr_t page = PageDown(a);
    info.BaseAddress = reinterpret_cast<PVOID>(page);
    if (const Region* g = Find(map, a)) {
        uintptr_t end = g->End;
        for (auto it = map.begin() + (g - map.data()) + 1; it != map.end() && Alike(*std::prev(it), *it); ++it)
            end = it->End;
        info.AllocationBase = reinterpret_cast<PVOID>(g->AllocationBase);
        info.AllocationProtect = g->AllocationProtect;
        info.RegionSize = end - page;
        info.State = g->State;
        info.Protect = g->Protect;
        info.Type = g->Type;
    } else {
        auto next = std::upper_bound(map.begin(), map.end(), a, [](uintptr_t v, const Region& r) { return v < r.Start; });
        const uintptr_t end = next == map.end() ? HighestAddress + 1 : std::min(next->Start, HighestAddress + 1);
        info.RegionSize = end - page;
        info.State = MEM_FREE;
        info.Protect = PAGE_NOACCESS;
    }
    *lpBuffer = info;
    return sizeof(MEMORY_BASIC_INFORMATION);
}

BOOL WINAPI FlushInstructionCache(HANDLE, LPCVOID lpBaseAddress, SIZE_T dwSize) {
    // x86 keeps instruction fetch coherent with stores; other processors need the explicit flush.
    if (lpBaseAddress && dwSize) {
        char* p = const_cast<char*>(static_cast<const char*>(lpBaseAddress));
        __builtin___clear_cache(p, p + dwSize);
    }
    return TRUE;
}

void WINAPI TwBeginMemorySnapshot(void) {
    std::lock_guard guard(Lock);
    if (SnapshotDepth++ == 0) Snapshot = ParseMaps();
}

void WINAPI TwEndMemorySnapshot(void) {
    std::lock_guard guard(Lock);
    if (SnapshotDepth > 0 && --SnapshotDepth == 0) Snapshot.clear();
}

DWORD WINAPI TwMemoryMapParses(void) {
    return Parses.load();
}

} // extern "C"
