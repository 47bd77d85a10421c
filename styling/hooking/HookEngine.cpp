// styling/hooking/HookEngine.cpp: the function-hooking engine of CodeHooks. A hooked target jumps
// (directly or through a relay near it) into its descriptor, whose chain of jumps runs the installed
// intercept procedures in turn and last the trampoline with the moved instructions. Where the stub
// block lies near the target, the descriptor lives in it beside the trampoline, so the target reaches
// it with one near jump; else it is a heap block.
#include "styling/hooking/CodeHooks.h"

#include "rtl/SyncObjs.h"
#include "styling/hooking/CPUID.h"
#include "win/kernel32/modules.h"
#include "win/kernel32/winbase.h"
#include "win/user32/winwindow.h"

#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <vector>

namespace styling {

namespace {

constexpr uint8_t Signature[8] = {0x90, 0x40, 0x40, 0x40, 0x0F, 0x1F, 0xF3, 0xF3};
constexpr uint8_t Magic[4] = {0x4C, 0x54, 0x4C, 0x54};

// Descriptor layout.
constexpr int dTargetSlot = 8, dCount = 16, dStub = 18, dTarget = 26, dSaved = 34, dSlots = 42, dLanding = 106,
              dChain = 107;
// Hook record layout.
constexpr int rDescriptor = 1, rMagic = 9, rThread = 13, rParam = 17, rTls = 25, rOptions = 29, rCallThrough = 30,
              rSlot = 36;
constexpr int RelayBytes = 32;
constexpr int JumpBackBytes = 14;
// Where the descriptor sits in the stub block: behind the relay and the trampoline, on a cache line of
// its own.
constexpr size_t StubDescriptorAt = 128;
static_assert(RelayBytes + MaxCopiedBytes <= int(StubDescriptorAt));

template <class T>
T Get(const uint8_t* P) {
    T v;
    std::memcpy(&v, P, sizeof v);
    return v;
}
template <class T>
void Put(uint8_t* P, T V) {
    std::memcpy(P, &V, sizeof V);
}

[[noreturn]] void Fail(const char* Message) { throw rtl::Exception(QString::fromLatin1(Message)); }

// What the patch overwrote, and where each moved instruction went.
struct TSavedCode {
    uint8_t* Trampoline;
    // Where the last hook calls on: the trampoline, or, when nothing was moved into it, straight where
    // its jump leads.
    uint8_t* WayOn;
    uint8_t Count;
    uint8_t* Bytes;
    int Relocated;
    int OffsetCount;
    TRelocatedOffset Offsets[MaxCopiedBytes];
};

struct Engine {
    rtl::TCriticalSection Lock;
    // The live hook records of each descriptor in chain order. A record's call-through goes straight to
    // what follows it (the next live hook, or the trampoline), not through the chain entries.
    std::map<uint8_t*, std::vector<uint8_t*>> Live;
    size_t StubSize = 0;
    decltype(&OpenThread) OpenThreadProc = nullptr;
};

Engine& TheEngine() {
    static Engine* engine = [] {
        auto* e = new Engine; // lives as long as the code it patched
        SYSTEM_INFO si{};
        GetSystemInfo(&si);
        e->StubSize = std::max<size_t>(si.dwPageSize, StubDescriptorAt + HookDescriptorSize);
        HMODULE kernel = GetModuleHandleW(u"kernel32.dll");
        if (!kernel) kernel = LoadLibraryW(u"kernel32.dll");
        if (kernel)
            e->OpenThreadProc = reinterpret_cast<decltype(&OpenThread)>(
                reinterpret_cast<void*>(GetProcAddress(kernel, "OpenThread")));
        return e;
    }();
    return *engine;
}

thread_local THookTransaction* CurrentTransaction = nullptr;

// Intel's recommended NOPs of 1 to 9 bytes.
constexpr uint8_t Nops[9][9] = {
    {0x90},
    {0x66, 0x90},
    {0x0F, 0x1F, 0x00},
    {0x0F, 0x1F, 0x40, 0x00},
    {0x0F, 0x1F, 0x44, 0x00, 0x00},
    {0x66, 0x0F, 0x1F, 0x44, 0x00, 0x00},
    {0x0F, 0x1F, 0x80, 0x00, 0x00, 0x00, 0x00},
    {0x0F, 0x1F, 0x84, 0x00, 0x00, 0x00, 0x00, 0x00},
    {0x66, 0x0F, 0x1F, 0x84, 0x00, 0x00, 0x00, 0x00, 0x00},
};

bool HasMultiByteNops() { return CpuInstructions & ciMultiByteNop; }

// How many of the Limit bytes from At lie in committed, readable memory.
int ReadableLength(const uint8_t* At, int Limit) {
    MEMORY_BASIC_INFORMATION m{};
    if (!VirtualQuery(At, &m, sizeof m) || m.State != MEM_COMMIT || m.Protect == PAGE_NOACCESS ||
        m.Protect == PAGE_EXECUTE)
        return 0;
    const auto end = reinterpret_cast<uintptr_t>(m.BaseAddress) + m.RegionSize;
    return int(std::min<uintptr_t>(uintptr_t(Limit), end - reinterpret_cast<uintptr_t>(At)));
}

void FillChainNops(uint8_t* At, int Count) { FillNops(At, Count, HasMultiByteNops()); }

DWORD SetMemoryProtection(void* Address, size_t Size, DWORD Protection) {
    DWORD old = 0;
    if (!VirtualProtect(Address, Size, Protection, &old)) Fail("Cannot change the protection of code memory.");
    if (Protection & 0xF0) FlushInstructionCache(GetCurrentProcess(), Address, Size);
    return old;
}

// The length of the NOP filler (one- and multi-byte NOPs) from At, at most Limit bytes.
int NopFillLength(const uint8_t* At, int Limit);

// A return, an unconditional jump, INT3 or UD2: nothing after it belongs to the function for sure.
bool EndsFunction(const TDecodedInstruction& I) {
    if (I.BranchKind == bkReturn || I.BranchKind == bkJump) return true;
    if (I.OpcodeMap == 1 && I.Opcode == 0xCC) return true;
    return I.OpcodeMap == 2 && I.Opcode == 0x0B;
}

// Threads that the running transaction of this thread suspended, each moved by Move (which returns
// its instruction pointer unchanged when it stays). False when Move refuses one (returns 0).
bool MoveSuspendedThreads(const std::function<uint64_t(uint64_t)>& Move) {
    THookTransaction* t = CurrentTransaction;
    bool all = true;
    if (!t) return all;
    for (int i = 0; i < t->Count; ++i) {
        HANDLE h = OpenThread(THREAD_GET_CONTEXT | THREAD_SET_CONTEXT, FALSE, t->Threads[i]);
        if (!h) continue;
        CONTEXT c{};
        c.ContextFlags = CONTEXT_CONTROL;
        if (GetThreadContext(h, &c)) {
            const uint64_t to = Move(c.Rip);
            if (!to) {
                all = false;
            } else if (to != c.Rip) {
                c.Rip = to;
                SetThreadContext(h, &c);
            }
        }
        CloseHandle(h);
    }
    return all;
}

bool Within(uint64_t A, const void* From, size_t Size) {
    const auto f = reinterpret_cast<uintptr_t>(From);
    return A >= f && A < f + Size;
}

// The jumps every hooked call passes (the trampoline's way back, each call-through) are direct near
// jumps where the destination is within reach; the stub is placed near the target, so only a stub that
// had to go elsewhere takes the 14-byte form back.
TJumpForm NearOrInline(const uint8_t* From, const uint8_t* To) {
    const int64_t d = To - (From + 5);
    return d >= INT32_MIN && d <= INT32_MAX ? jfNear32 : jfInline64;
}

// A hook record sits in its heap block so that its call-through jump starts a cache line: the jump's
// 6 bytes and the first 2 of its slot then form one aligned 8-byte word, which a single store rewrites
// while other threads run through it.
constexpr size_t RecordLead = 64 - rCallThrough, RecordBlock = 128;

uint8_t* NewHookRecord() {
    auto* block = static_cast<uint8_t*>(std::aligned_alloc(64, RecordBlock));
    if (!block) throw std::bad_alloc();
    std::memset(block, 0x90, RecordBlock);
    return block + RecordLead;
}

void DeleteHookRecord(uint8_t* Rec) { std::free(Rec - RecordLead); }

// Points a record's call-through at To. Hooks call on through it once per call, so where To is within
// reach it is a direct near jump (a slot jump costs a load and an indirect branch per hook); the slot
// keeps To either way. The slot is written first: a thread still at the old slot jump then goes on to
// the new destination or the old one, both still live.
void SetCallThrough(uint8_t* Rec, const uint8_t* To) {
    Put<uint64_t>(Rec + rSlot, reinterpret_cast<uintptr_t>(To));
    uint8_t word[8];
    std::memcpy(word, Rec + rCallThrough, 8);
    if (NearOrInline(Rec + rCallThrough, To) == jfNear32) {
        word[0] = 0xE9;
        Put<int32_t>(word + 1, int32_t(To - (Rec + rCallThrough + 5)));
        word[5] = 0x90;
    } else {
        word[0] = 0xFF, word[1] = 0x25; // through the slot right behind it
        Put<int32_t>(word + 2, 0);
    }
    __atomic_store_n(reinterpret_cast<uint64_t*>(Rec + rCallThrough), Get<uint64_t>(word), __ATOMIC_RELEASE);
}

// A target's descriptor: at At in its stub block (code only, so nothing the program writes while it
// runs shares a cache line with the chain its calls pass), or with At null a heap block.
uint8_t* CreateHookDescriptor(uint8_t* At) {
    auto* d = At ? At : static_cast<uint8_t*>(std::malloc(HookDescriptorSize));
    if (!d) throw std::bad_alloc();
    std::memset(d, 0x90, HookDescriptorSize);
    FillChainNops(d + dChain, 8 * 6);
    std::memcpy(d, Signature, 8);
    std::memset(d + 16, 0, 10);
    std::memset(d + dSlots, 0, 64); // a zero slot: its entry is free
    return d;
}

// Frees a heap descriptor; one in the stub block goes with the block.
void DisposeDescriptor(uint8_t* D, const uint8_t* Stub) {
    if (D == Stub + StubDescriptorAt) return;
    std::memset(D, 0x90, HookDescriptorSize);
    std::free(D);
}

// Where the target's jump through the descriptor's slot leads; one aligned store, while other threads
// may pass it.
void SetWayIn(uint8_t* D, const uint8_t* To) {
    __atomic_store_n(reinterpret_cast<uint64_t*>(D + dTargetSlot), reinterpret_cast<uintptr_t>(To), __ATOMIC_RELEASE);
}

uint8_t* EntryOf(uint8_t* D, int K) { return D + dChain + 6 * K; }
uint8_t* SlotOf(uint8_t* D, int K) { return D + dSlots + 8 * K; }

// A branch further on in the function that returns into the moved bytes (a loop around the first
// instructions) would land inside the patch. The look ahead ends at padding, after 256 bytes, or where
// the mapped code ends.
void RefuseBranchesBack(const uint8_t* Target, int Count) {
    const uint8_t* p = Target + Count;
    MEMORY_BASIC_INFORMATION m{};
    if (!VirtualQuery(p, &m, sizeof m) || m.State != MEM_COMMIT) return;
    const uint8_t* end = std::min(p + 256, static_cast<const uint8_t*>(m.BaseAddress) + m.RegionSize);
    const auto from = reinterpret_cast<uintptr_t>(Target), to = from + uintptr_t(Count);
    while (p + 16 <= end) {
        TDecodedInstruction I{};
        I.Address = p;
        try {
            DecodeForHook(I);
        } catch (const InstException&) {
            return;
        }
        if (I.OpcodeMap == 1 && I.Opcode == 0xCC) return;
        if ((I.Branch.Flags & bfRelative) && I.Branch.Target > from && I.Branch.Target < to)
            Fail("Branch into a relocated instruction cannot be kept.");
        p += I.Length;
    }
}

// Makes the stub block near Target and the descriptor, and patches Target; returns the descriptor.
uint8_t* BuildTrampoline(uint8_t* Target) {
    Engine& e = TheEngine();
    auto* stub = static_cast<uint8_t*>(AllocNearMemory(Target, e.StubSize, PAGE_EXECUTE_READWRITE));
    if (!stub) {
        const DWORD topDown = reinterpret_cast<uintptr_t>(Target) > 0xFFFF'FFFFull ? MEM_TOP_DOWN : 0;
        stub = static_cast<uint8_t*>(
            VirtualAlloc(nullptr, e.StubSize, MEM_COMMIT | MEM_RESERVE | topDown, PAGE_EXECUTE_READWRITE));
        if (!stub) Fail("Cannot allocate the trampoline.");
    }
    uint8_t* D = nullptr;
    try {
        uint8_t* home = stub + StubDescriptorAt;
        D = CreateHookDescriptor(NearOrInline(Target, home + dLanding) == jfNear32 ? home : nullptr);
    } catch (...) {
        VirtualFree(stub, 0, MEM_RELEASE);
        throw;
    }
    Put<uint8_t*>(D + dTarget, Target);
    TJumpForm formA = SelectJumpType(Target, D + dLanding, D + dTargetSlot);
    // Within reach, the target jumps through the descriptor's own slot, which holds the first live
    // hook's procedure (the landing while there is none): one jump on the way in.
    if ((formA == jfShort8 || formA == jfNear32) && NearOrInline(Target + 1, D + dTargetSlot) == jfNear32)
        formA = jfSlotRip;
    auto* saved = new TSavedCode{};
    try {
        int layout = 1;
        uint8_t* tramp = stub;
        TJumpForm formB = jfNone, formC = jfNone;
        int patch = JumpFormSize(formA);
        if (patch > 6) {
            tramp = stub + RelayBytes;
            formB = SelectJumpType(Target, stub, stub + 6);
            if (JumpFormSize(formB) <= 6) {
                formC = SelectJumpType(stub, D + dLanding, stub + 14);
                layout = JumpFormSize(formC) <= 6 ? 2 : 3;
                patch = JumpFormSize(formB);
            } else {
                layout = 4;
                patch = JumpFormSize(jfInline64);
            }
        }
        int count = 0;
        while (count < patch) {
            TDecodedInstruction I{};
            I.Address = Target + count;
            DecodeForHook(I);
            count += I.Length;
            if (count > MaxCopiedBytes) Fail("Exceed maximum TrampoSize.");
            // The patch would run into whatever follows the function.
            if (count < patch && EndsFunction(I))
                Fail("Size of function is too small, risk to override others adjacent functions.");
        }
        RefuseBranchesBack(Target, count);
        FillNops(tramp, MaxCopiedBytes, false);
        saved->Trampoline = tramp;
        saved->Count = uint8_t(count);
        saved->Bytes = static_cast<uint8_t*>(std::malloc(size_t(count) + 6));
        std::memset(saved->Bytes, 0x90, size_t(count) + 6);
        std::memcpy(saved->Bytes, Target, size_t(count));
        // An entry of NOP filler (the room a function keeps for patching) does nothing, so nothing of it
        // is moved and the way back goes past the rest of the filler, straight to the function's code.
        uint8_t* back = Target + count;
        if (NopFillLength(Target, count) == count) {
            saved->Relocated = 0;
            back += NopFillLength(back, ReadableLength(back, MaxCopiedBytes));
        } else {
            saved->Relocated = RelocateInstructions(Target, tramp, count, MaxCopiedBytes - JumpBackBytes,
                                                    saved->Offsets, saved->OffsetCount);
        }
        WriteJump(tramp + saved->Relocated, back, NearOrInline(tramp + saved->Relocated, back), nullptr);
        saved->WayOn = saved->Relocated == 0 ? back : tramp;
        if (layout == 2) WriteJump(stub, D + dLanding, formC, stub + 14);
        if (layout == 3) WriteJump(stub, D + dLanding, jfInline64, nullptr);
        Put<uint8_t*>(D + dStub, stub);
        Put<TSavedCode*>(D + dSaved, saved);
        SetMemoryProtection(stub, e.StubSize, PAGE_EXECUTE_READWRITE);
        SetMemoryProtection(D, HookDescriptorSize, PAGE_EXECUTE_READWRITE);
        // Until the first hook is in, the landing leads straight to the trampoline.
        WriteJump(EntryOf(D, 0), tramp, jfSlotRip, SlotOf(D, 0));

        // The target itself last, once everything it leads to is in place.
        const DWORD old = SetMemoryProtection(Target, size_t(count), PAGE_EXECUTE_READWRITE);
        FillNops(Target, count, false);
        if (layout == 1)
            WriteJump(Target, D + dLanding, formA, D + dTargetSlot);
        else if (layout == 4)
            WriteJump(Target, D + dLanding, jfInline64, nullptr);
        else
            WriteJump(Target, stub, formB, stub + 6);
        SetMemoryProtection(Target, size_t(count), old);
    } catch (...) {
        if (saved->Bytes && saved->Count && std::memcmp(Target, saved->Bytes, saved->Count) != 0) {
            const DWORD old = SetMemoryProtection(Target, saved->Count, PAGE_EXECUTE_READWRITE);
            std::memcpy(Target, saved->Bytes, saved->Count);
            SetMemoryProtection(Target, saved->Count, old);
        }
        std::free(saved->Bytes);
        delete saved;
        DisposeDescriptor(D, stub);
        VirtualFree(stub, 0, MEM_RELEASE);
        throw;
    }
    // A suspended thread inside the overwritten bytes goes on at the same instruction's copy.
    MoveSuspendedThreads([&](uint64_t Rip) -> uint64_t {
        if (!Within(Rip, Target, saved->Count)) return Rip;
        if (saved->Relocated == 0) return reinterpret_cast<uintptr_t>(Target + saved->Count); // in the filler
        for (int i = 0; i < saved->OffsetCount; ++i)
            if (Rip == reinterpret_cast<uintptr_t>(Target + saved->Offsets[i].Source))
                return reinterpret_cast<uintptr_t>(saved->Trampoline + saved->Offsets[i].Destination);
        return Rip;
    });
    return D;
}

void FreeHookDescriptor(uint8_t* D, uint8_t* Record) {
    Engine& e = TheEngine();
    auto* target = Get<uint8_t*>(D + dTarget);
    auto* stub = Get<uint8_t*>(D + dStub);
    auto* saved = Get<TSavedCode*>(D + dSaved);
    const DWORD old = SetMemoryProtection(target, saved->Count, PAGE_EXECUTE_READWRITE);
    std::memcpy(target, saved->Bytes, saved->Count);
    SetMemoryProtection(target, saved->Count, old);
    // Suspended threads inside the engine's code for this target go back to the restored original:
    // from the relay, the descriptor or a call-through jump as a fresh call, from the trampoline at the
    // instruction they stood at. One in the middle of a rewritten instruction cannot be moved; then
    // the code stays allocated for it.
    const uint8_t* tramp = saved->Trampoline;
    const bool moved = MoveSuspendedThreads([&](uint64_t Rip) -> uint64_t {
        const auto t = reinterpret_cast<uintptr_t>(target);
        if (Within(Rip, D, HookDescriptorSize) || (tramp != stub && Within(Rip, stub, RelayBytes)) ||
            (Record && Within(Rip, Record + rCallThrough, 14)))
            return t;
        if (!Within(Rip, tramp, size_t(saved->Relocated + JumpBackBytes))) return Rip;
        if (Rip >= reinterpret_cast<uintptr_t>(tramp + saved->Relocated)) return t + saved->Count;
        for (int i = 0; i < saved->OffsetCount; ++i)
            if (Rip == reinterpret_cast<uintptr_t>(tramp + saved->Offsets[i].Destination))
                return t + uint64_t(saved->Offsets[i].Source);
        return 0;
    });
    std::free(saved->Bytes);
    delete saved;
    if (!moved) return;
    DisposeDescriptor(D, stub);
    FillNops(stub, int(e.StubSize), false);
    if (!VirtualFree(stub, 0, MEM_RELEASE))
        throw rtl::Exception(QStringLiteral("System Error. Code: %1.").arg(GetLastError()));
}

void* AddHookSlot(uint8_t* D, void* InterceptProc, uintptr_t Param, uint8_t Options) {
    const int count = D[dCount];
    if (count >= MaxHooksPerTarget) Fail("Exceed maximum allowed of hooks.");
    const uint8_t* tramp = Get<TSavedCode*>(D + dSaved)->Trampoline;
    // A new hook runs after every live one, so it takes the entry after the last live hook; entries of
    // hooks removed before it stay filler that execution slides through.
    int last = -1;
    for (int k = 0; k < MaxHooksPerTarget; ++k) {
        const auto slot = Get<uint64_t>(SlotOf(D, k));
        if (slot && slot != reinterpret_cast<uintptr_t>(tramp)) last = k;
    }
    const int entry = last + 1;
    if (entry >= MaxHooksPerTarget) Fail("Exceed maximum allowed of hooks.");

    uint8_t* rec = NewHookRecord();
    rec[0] = uint8_t(entry + 1);
    Put<uint8_t*>(rec + rDescriptor, D);
    std::memcpy(rec + rMagic, Magic, 4);
    Put<uint32_t>(rec + rThread, GetCurrentThreadId());
    Put<uint64_t>(rec + rParam, Param);
    Put<uint32_t>(rec + rTls, 0);
    rec[rOptions] = Options;
    if (Options & hoAllocTls) {
        const DWORD index = TlsAlloc();
        if (index == TLS_OUT_OF_INDEXES) {
            DeleteHookRecord(rec);
            Fail("Tls out of indexes.");
        }
        Put<uint32_t>(rec + rTls, index);
    }
    // The chain stays whole at every step: first what follows the new entry, the entry itself last,
    // then the hook before it calls on into the new one.
    WriteJump(EntryOf(D, entry + 1), tramp, jfSlotRip, SlotOf(D, entry + 1));
    SetCallThrough(rec, Get<TSavedCode*>(D + dSaved)->WayOn);
    SetMemoryProtection(rec + rCallThrough, 14, PAGE_EXECUTE_READWRITE);
    WriteJump(EntryOf(D, entry), static_cast<uint8_t*>(InterceptProc), jfSlotRip, SlotOf(D, entry));
    auto& live = TheEngine().Live[D];
    if (!live.empty()) SetCallThrough(live.back(), static_cast<uint8_t*>(InterceptProc));
    live.push_back(rec);
    if (live.size() == 1) SetWayIn(D, static_cast<uint8_t*>(InterceptProc));
    D[dCount] = uint8_t(count + 1);
    return rec + rCallThrough;
}

// Whether Size bytes from At can be read (mapped and not inaccessible).
bool Readable(const uint8_t* At, size_t Size) {
    for (const uint8_t* p = At; p < At + Size;) {
        MEMORY_BASIC_INFORMATION m{};
        if (!VirtualQuery(p, &m, sizeof m) || m.State != MEM_COMMIT || m.Protect == PAGE_NOACCESS ||
            m.Protect == PAGE_EXECUTE)
            return false;
        p = static_cast<const uint8_t*>(m.BaseAddress) + m.RegionSize;
    }
    return true;
}

// Keeps one parse of the address space for a whole installation or removal.
struct MemorySnapshot {
    MemorySnapshot() { TwBeginMemorySnapshot(); }
    ~MemorySnapshot() { TwEndMemorySnapshot(); }
};

template <class F>
void EnumProcessThreads(DWORD ProcessId, F Callback) {
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, ProcessId);
    if (snap == INVALID_HANDLE_VALUE) return;
    THREADENTRY32 e{};
    e.dwSize = sizeof e;
    for (BOOL ok = Thread32First(snap, &e); ok; ok = Thread32Next(snap, &e)) {
        if (e.th32OwnerProcessID != ProcessId) continue;
        bool go = true;
        try {
            go = Callback(e.th32ThreadID);
        } catch (...) {
        }
        if (!go) break;
    }
    CloseHandle(snap);
}

} // namespace

void FillNops(uint8_t* At, int Count, bool MultiByte) {
    if (!MultiByte) {
        std::memset(At, 0x90, size_t(Count));
        return;
    }
    if (!HasMultiByteNops()) Fail("Multi Bytes Nop Instructions not supported by your CPU.");
    while (Count > 0) {
        const int n = std::min(Count, 9);
        std::memcpy(At, Nops[n - 1], size_t(n));
        At += n;
        Count -= n;
    }
}

namespace {

int NopFillLength(const uint8_t* At, int Limit) {
    // Any form a compiler pads with: 90 (not xchg with r8, not PAUSE) and 0F 1F /0, with operand-size
    // and segment prefixes.
    int length = 0;
    while (length < Limit) {
        TDecodedInstruction I{};
        I.Address = At + length;
        try {
            DecodeForHook(I);
        } catch (const InstException&) {
            break;
        }
        const bool nop = (I.OpcodeMap == 1 && I.Opcode == 0x90 && !I.Rex.B && I.MandatoryPrefix != 0xF3) ||
                         (I.OpcodeMap == 2 && I.Opcode == 0x1F && I.ModRM.Reg == 0);
        if (!nop || length + I.Length > Limit) break;
        length += I.Length;
    }
    return length;
}

} // namespace

bool IsNopFill(const uint8_t* At, int Count) {
    while (Count > 0) {
        int matched = 0;
        const int longest = HasMultiByteNops() ? std::min(Count, 9) : 1;
        for (int n = longest; n >= 1 && !matched; --n)
            if (std::memcmp(At, Nops[n - 1], size_t(n)) == 0) matched = n;
        if (!matched) return false;
        At += matched;
        Count -= matched;
    }
    return true;
}

void* ResolveJumpThunk(void* Address) {
    auto* p = static_cast<const uint8_t*>(Address);
    // Bounded: jumps that lead in a circle would otherwise never end.
    for (int hops = 0; hops < 64; ++hops) {
        TDecodedInstruction I{};
        I.Address = p;
        DecodeForHook(I);
        if (I.BranchKind != bkJump || I.Branch.Target == 0) break;
        p = reinterpret_cast<const uint8_t*>(I.Branch.Target);
    }
    return const_cast<uint8_t*>(p);
}

void* AllocNearMemory(void* Address, size_t Size, uint32_t Protection) {
    if (!Address) return VirtualAlloc(nullptr, Size, MEM_COMMIT | MEM_RESERVE, Protection);
    SYSTEM_INFO si{};
    GetSystemInfo(&si);
    const auto target = reinterpret_cast<uintptr_t>(Address);
    const auto lowest = reinterpret_cast<uintptr_t>(si.lpMinimumApplicationAddress);
    const auto highest = reinterpret_cast<uintptr_t>(si.lpMaximumApplicationAddress);
    if (target < lowest || target > highest) return nullptr;
    const uintptr_t gran = si.dwAllocationGranularity;
    MemorySnapshot snapshot;
    // Only memory within a 32-bit jump of the target helps; the search stays inside that window.
    constexpr uintptr_t reach = 0x7FFF'0000;
    const uintptr_t low = target > lowest + reach ? target - reach : lowest;
    const uintptr_t high = std::min(highest, target + reach) - Size;
    auto tryAt = [&](uintptr_t At) {
        return VirtualAlloc(reinterpret_cast<void*>(At), Size, MEM_COMMIT | MEM_RESERVE, Protection);
    };
    MEMORY_BASIC_INFORMATION m{};
    // Upward: the lowest granule of each free region above the target.
    for (uintptr_t p = (target + gran - 1) & ~(gran - 1); p < high;) {
        if (!VirtualQuery(reinterpret_cast<void*>(p), &m, sizeof m)) return nullptr;
        const auto base = reinterpret_cast<uintptr_t>(m.BaseAddress);
        const uintptr_t end = base + m.RegionSize;
        const uintptr_t at = (base + gran - 1) & ~(gran - 1);
        if (m.State == MEM_FREE && at + Size <= end && at <= high)
            if (void* r = tryAt(at)) return r;
        p = (end + gran - 1) & ~(gran - 1);
    }
    // Downward: the highest granule below the target whose region is free far enough.
    for (uintptr_t p = (target & ~(gran - 1)) - gran; p > low;) {
        if (!VirtualQuery(reinterpret_cast<void*>(p), &m, sizeof m)) return nullptr;
        const auto base = reinterpret_cast<uintptr_t>(m.BaseAddress);
        if (m.State == MEM_FREE && p + Size <= base + m.RegionSize)
            if (void* r = tryAt(p)) return r;
        const auto from = m.State == MEM_FREE ? p : reinterpret_cast<uintptr_t>(m.AllocationBase ? m.AllocationBase : m.BaseAddress);
        p = (from & ~(gran - 1)) - gran;
    }
    return nullptr;
}

uint8_t* GetTrampolineInfo(void* Trampoline) {
    auto* p = static_cast<uint8_t*>(Trampoline);
    if (!p || !Readable(p - rCallThrough + rMagic, 4) || std::memcmp(p - rCallThrough + rMagic, Magic, 4) != 0)
        Fail("Invalid TrampoLine Pointer.");
    return p - rCallThrough;
}

uint8_t* FindHookDescriptor(void* Target) {
    // A target that jumps through a descriptor's slot (its first 8 bytes, the signature, before it).
    auto* q = static_cast<uint8_t*>(Target);
    for (int hops = 0; q && hops < 64; ++hops) {
        TDecodedInstruction I{};
        I.Address = q;
        DecodeForHook(I);
        if (I.BranchKind != bkJump) break;
        if (q[0] == 0xFF && q[1] == 0x25 && I.Length == 6) {
            int32_t disp = 0;
            std::memcpy(&disp, q + 2, 4);
            const uint8_t* slot = q + 6 + disp;
            if (Readable(slot - dTargetSlot, 8) && std::memcmp(slot - dTargetSlot, Signature, 8) == 0)
                return const_cast<uint8_t*>(slot) - dTargetSlot;
        }
        q = I.Branch.Target ? reinterpret_cast<uint8_t*>(I.Branch.Target) : nullptr;
    }
    auto* p = static_cast<uint8_t*>(ResolveJumpThunk(Target));
    if (*p != 0x90) return nullptr;
    TDecodedInstruction I{};
    I.Address = p + 1;
    DecodeForHook(I);
    const bool chain = (I.BranchKind == bkJump && I.Branch.Target != 0) || IsNopFill(p + 1, 6);
    // A NOP at the start of ordinary code (a patchable entry) has anything, or nothing, before it.
    if (!chain || !Readable(p - dLanding, 8) || std::memcmp(p - dLanding, Signature, 8) != 0) return nullptr;
    return p - dLanding;
}

void* HookFunction(void* TargetProc, void* InterceptProc, uintptr_t Param, uint8_t Options) {
    if (!TargetProc) Fail("Invalid TargetProc Pointer.");
    if (!InterceptProc) Fail("Invalid InterceptProc Pointer.");
    MemorySnapshot snapshot;
    if (uint8_t* d = FindHookDescriptor(TargetProc)) return AddHookSlot(d, InterceptProc, Param, Options);
    auto* target = static_cast<uint8_t*>(ResolveJumpThunk(TargetProc));
    uint8_t* d = BuildTrampoline(target);
    try {
        return AddHookSlot(d, InterceptProc, Param, Options);
    } catch (...) {
        FreeHookDescriptor(d, nullptr); // the first hook failed: the target goes back as it was
        throw;
    }
}

void* HookModuleFunction(const rtl::String& ModuleName, const char* ProcName, void* InterceptProc, uintptr_t Param,
                         uint8_t Options) {
    const std::u16string name = ModuleName.toStdU16String();
    HMODULE module = GetModuleHandleW(name.c_str());
    if (!module && (Options & hoLoadModule)) module = LoadLibraryW(name.c_str());
    if (!module) return nullptr;
    FARPROC proc = GetProcAddress(module, ProcName);
    if (!proc) return nullptr;
    return HookFunction(reinterpret_cast<void*>(proc), InterceptProc, Param, Options);
}

int32_t UnhookFunction(void* Trampoline) {
    MemorySnapshot snapshot;
    uint8_t* rec = GetTrampolineInfo(Trampoline);
    auto* d = Get<uint8_t*>(rec + rDescriptor);
    if (!d || !Readable(d, 8) || std::memcmp(d, Signature, 8) != 0) Fail("Invalid Descriptor.");
    const int entry = rec[0] - 1;
    // The hook before this one calls on to what followed it.
    auto& all = TheEngine().Live;
    auto& live = all[d];
    for (size_t i = 0; i < live.size(); ++i)
        if (live[i] == rec) {
            if (i > 0) SetCallThrough(live[i - 1], Get<uint8_t*>(rec + rSlot));
            // Without its first hook the way in leads to the next one, or through the landing and the
            // chain to the trampoline.
            if (i == 0) SetWayIn(d, live.size() > 1 ? Get<uint8_t*>(rec + rSlot) : d + dLanding);
            live.erase(live.begin() + long(i));
            break;
        }
    if (live.empty()) all.erase(d);
    // Filler first, so no thread meets the entry's jump through an emptied slot.
    FillChainNops(EntryOf(d, entry), 6);
    Put<uint64_t>(SlotOf(d, entry), 0);
    const int left = --d[dCount];
    if (left == 0) {
        FreeHookDescriptor(d, rec);
    } else {
        // A suspended thread on this hook's way on goes straight to where it led.
        const auto next = Get<uint64_t>(rec + rSlot);
        MoveSuspendedThreads([&](uint64_t Rip) { return Within(Rip, rec + rCallThrough, 14) ? next : Rip; });
    }
    if (rec[rOptions] & hoAllocTls) TlsFree(Get<uint32_t>(rec + rTls));
    std::memset(rec, 0x90, HookRecordSize); // a stale call-through pointer is refused from now on
    DeleteHookRecord(rec);
    return left;
}

int32_t UnhookFunctionIfSet(void* Trampoline) { return Trampoline ? UnhookFunction(Trampoline) : -1; }

THookTransaction* BeginHookTransaction(uint8_t Options) {
    Engine& e = TheEngine();
    e.Lock.Acquire();
    auto* t = new THookTransaction{Options, GetCurrentThreadId(), GetCurrentProcessId(),
                                   GetThreadPriority(GetCurrentThread()), 0, nullptr};
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
    // Without OpenThread the others cannot be held: the transaction then only raises the priority.
    if ((Options & toSuspendThreads) && e.OpenThreadProc) {
        int threads = 0;
        EnumProcessThreads(t->ProcessId, [&](DWORD) { return ++threads, true; });
        if (threads > 1) {
            // Room for threads started between the two walks; any beyond it keep running.
            const int capacity = 2 * threads;
            t->Threads = new uint32_t[size_t(capacity)];
            EnumProcessThreads(t->ProcessId, [&](DWORD Id) {
                if (Id == t->ThreadId) return true;
                if (t->Count >= capacity) return false;
                if (HANDLE h = e.OpenThreadProc(THREAD_SUSPEND_RESUME, FALSE, Id)) {
                    if (SuspendThread(h) != DWORD(-1)) t->Threads[t->Count++] = Id;
                    CloseHandle(h);
                }
                return true;
            });
            // A suspension completes asynchronously; asking for the context waits until the thread
            // has stopped. One that does not stop is let go and not listed.
            int kept = 0;
            for (int i = 0; i < t->Count; ++i) {
                HANDLE h = e.OpenThreadProc(THREAD_SUSPEND_RESUME | THREAD_GET_CONTEXT, FALSE, t->Threads[i]);
                if (!h) continue;
                CONTEXT c{};
                c.ContextFlags = CONTEXT_CONTROL;
                if (GetThreadContext(h, &c))
                    t->Threads[kept++] = t->Threads[i];
                else
                    ResumeThread(h);
                CloseHandle(h);
            }
            t->Count = kept;
        }
    }
    CurrentTransaction = t;
    e.Lock.Release();
    return t;
}

bool EndHookTransaction(THookTransaction* Transaction) {
    Engine& e = TheEngine();
    e.Lock.Acquire();
    for (int i = 0; i < Transaction->Count; ++i)
        if (HANDLE h = OpenThread(THREAD_SUSPEND_RESUME, FALSE, Transaction->Threads[i])) {
            ResumeThread(h);
            CloseHandle(h);
        }
    delete[] Transaction->Threads;
    SetThreadPriority(GetCurrentThread(), Transaction->Priority);
    if (CurrentTransaction == Transaction) CurrentTransaction = nullptr;
    delete Transaction;
    e.Lock.Release();
    return true;
}

} // namespace styling
