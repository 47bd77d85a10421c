// styling/hooking/CodeHooks.h: the machine-code side of function hooking: decoding for the patcher,
// the jumps that patch a target and link the engine's blocks.
#pragma once
#include <cstdint>

#include "styling/hooking/InsnDecode.h"

namespace styling {

// Decodes 64-bit code as the patcher sees it: VEX when the processor has AVX, and an FF 25 / FF 15
// through a zero displacement measured with the 8-byte pointer that follows it inline.
int32_t DecodeForHook(TDecodedInstruction& Instruction);

// Jump forms, by the bytes they write (displacements count from the end of the jump).
enum TJumpForm : uint8_t {
    jfNone = 0,     // nothing; writing it is an error
    jfShort8 = 1,   // EB rel8                                  2 bytes
    jfNear16 = 2,   // 66 E9 rel16 (32-bit code only)           4 bytes
    jfNear32 = 3,   // E9 rel32                                 5 bytes
    jfSlot16 = 4,   // 66 FF 25 abs32 (32-bit code only)        7 bytes
    jfSlot32 = 5,   // FF 25 abs32 (32-bit code only)           6 bytes
    jfSlotRip = 6,  // FF 25 rel32 to an 8-byte slot elsewhere  6 bytes
    jfInline64 = 7, // FF 25 00000000 and the 8-byte target     14 bytes
};

int JumpFormSize(TJumpForm Form);

// The smallest form that reaches To from a jump at From; Slot is where a far target may be stored.
TJumpForm SelectJumpType(const uint8_t* From, const uint8_t* To, uint8_t* Slot);
// Writes the jump (and for jfSlotRip the target into Slot). Raises rtl::Exception for forms that
// cannot be written in 64-bit code or do not reach.
bool WriteJump(uint8_t* At, const uint8_t* To, TJumpForm Form, uint8_t* Slot);

// ---- relocation of the instructions a patch overwrites ---------------------------------------------

// Moves whole instructions from Source, until Count source bytes are consumed, to Destination so that
// they do the same there: RIP-relative operands keep their absolute location, relative branches
// their destination, and a branch to one of the moved instructions goes to its copy. Returns the
// bytes written. Raises rtl::Exception when the result would exceed Capacity or an instruction cannot
// be moved (a branch into the middle of a moved instruction, a far RIP-relative operand of an
// instruction that the scratch-register form cannot carry).
int32_t RelocateInstructions(const uint8_t* Source, uint8_t* Destination, int32_t Count,
                             int32_t Capacity = INT32_MAX);
// Where each moved instruction starts, source offset to destination offset, filled by the call
// below: a suspended thread found inside the moved bytes continues at the same instruction.
struct TRelocatedOffset {
    int16_t Source, Destination;
};
int32_t RelocateInstructions(const uint8_t* Source, uint8_t* Destination, int32_t Count, int32_t Capacity,
                             TRelocatedOffset* Offsets, int& OffsetCount);

// The per-instruction rewrites, for an instruction decoded at its source (no RunAddress); each writes
// the instruction as it must stand at Destination and returns the bytes written.
int32_t FixRipDisplacement(const TDecodedInstruction& Instruction, uint8_t* Destination);
int32_t RelocateJump(const TDecodedInstruction& Instruction, uint8_t* Destination);
int32_t RelocateCall(const TDecodedInstruction& Instruction, uint8_t* Destination);
int32_t RelocateConditional(const TDecodedInstruction& Instruction, uint8_t* Destination);

// ---- the hooking engine ----------------------------------------------------------------------------

// HookFunction options
constexpr uint8_t hoLoadModule = 1 << 0; // HookModuleFunction loads a module that is not loaded yet
constexpr uint8_t hoAllocTls = 1 << 1;   // the hook gets a TLS index of its own
// BeginHookTransaction options
constexpr uint8_t toSuspendThreads = 1 << 0;

constexpr int MaxHooksPerTarget = 7;
constexpr int MaxCopiedBytes = 94;
constexpr int HookDescriptorSize = 155;
constexpr int HookRecordSize = 94;

struct THookTransaction {
    uint8_t Options;
    uint32_t ThreadId;
    uint32_t ProcessId;
    int Priority;
    int32_t Count;      // threads suspended
    uint32_t* Threads;  // their identifiers
};

// Installs an interception of TargetProc (import thunks and jumps at its start are followed) and
// returns the call-through pointer that reaches the next interception or the unpatched code.
void* HookFunction(void* TargetProc, void* InterceptProc, uintptr_t Param = 0, uint8_t Options = 0);
// The same, storing the call-through pointer in Trampoline as well.
template <class T>
T HookFunction(T TargetProc, T InterceptProc, T& Trampoline, uintptr_t Param = 0, uint8_t Options = 0) {
    Trampoline = reinterpret_cast<T>(HookFunction(reinterpret_cast<void*>(TargetProc),
                                                  reinterpret_cast<void*>(InterceptProc), Param, Options));
    return Trampoline;
}
// Null when the module (not loaded, and hoLoadModule not given) or the export is missing.
void* HookModuleFunction(const rtl::String& ModuleName, const char* ProcName, void* InterceptProc,
                         uintptr_t Param = 0, uint8_t Options = 0);
// Removes the interception behind a call-through pointer; returns the hooks left on that target.
int32_t UnhookFunction(void* Trampoline);
// As UnhookFunction, but -1 for a null pointer.
int32_t UnhookFunctionIfSet(void* Trampoline);

THookTransaction* BeginHookTransaction(uint8_t Options);
bool EndHookTransaction(THookTransaction* Transaction);

// Helpers of the engine, open for tests.
void FillNops(uint8_t* At, int Count, bool MultiByte);
bool IsNopFill(const uint8_t* At, int Count);
void* ResolveJumpThunk(void* Address);
void* AllocNearMemory(void* Address, size_t Size, uint32_t Protection);
// The hook record (its first byte) behind a call-through pointer; raises "Invalid TrampoLine Pointer.".
uint8_t* GetTrampolineInfo(void* Trampoline);
// The descriptor of an intercepted target, or null.
uint8_t* FindHookDescriptor(void* Target);

} // namespace styling
