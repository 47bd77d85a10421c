// tests/fuzz/DecoderFuzz.cpp: the instruction decoder on arbitrary bytes, walked instruction by
// instruction in 32- and 64-bit code with and without VEX. The bytes end, after a little zero padding
// for the last instruction's operands, at a guard page: a decode that reads past the longest
// instruction, or a pointer slot read straight from memory, faults there. With mode bit 4 the first
// bytes are also relocated, near and 4 GB away, as the patcher moves the start of a function: the
// rewrite must stay inside the room it is given or refuse.
// fuzz-libs: styling_hooking rtl
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "styling/hooking/CodeHooks.h"
#include "styling/hooking/InsnDecode.h"

namespace {

// Longest instruction plus the widest operands read before the length is checked.
constexpr size_t Padding = 48;

struct GuardedBuffer {
    size_t page = size_t(sysconf(_SC_PAGESIZE));
    size_t size = 16 * page;
    uint8_t* base = static_cast<uint8_t*>(mmap(nullptr, size + page, PROT_READ | PROT_WRITE,
                                               MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
    GuardedBuffer() {
        if (base == MAP_FAILED) std::abort();
        mprotect(base + size, page, PROT_NONE);
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    static GuardedBuffer buffer;
    if (Size < 1 || Size > buffer.size - Padding) return 0;
    const uint8_t mode = Data[0];
    ++Data;
    --Size;
    uint8_t* code = buffer.base + buffer.size - Padding - Size;
    std::memcpy(code, Data, Size);
    std::memset(code + Size, 0, Padding);
    size_t at = 0;
    while (at < Size) {
        styling::TDecodedInstruction I{};
        I.Architecture = mode & 1;
        I.DecodeOptions = (mode >> 1) & 1;
        I.Address = code + at;
        I.RunAddress = (mode & 4) ? reinterpret_cast<const uint8_t*>(uintptr_t(0x1000)) : nullptr;
        int32_t length = 0;
        try {
            length = (mode & 8) ? styling::DecodeForHook(I) : styling::DecodeInstruction(I);
        } catch (const styling::InstException&) {
            length = 1;
        }
        if (length < 1 || length > 32) std::abort();
        at += size_t(length);
    }
    if ((mode & 16) && Size + Padding + 320 <= buffer.size) {
        // Near: the start of the same mapping; far: the program's own data, gigabytes away.
        static uint8_t farOut[256 + 64];
        const int32_t count = int32_t(Size < 24 ? Size : 24);
        for (uint8_t* out : {buffer.base, farOut}) {
            std::memset(out, 0xCC, 256 + 64);
            try {
                const int32_t n = styling::RelocateInstructions(code, out, count, 256);
                if ((n < 1 && count > 0) || n > 256 || out[256] != 0xCC) std::abort();
            } catch (const rtl::Exception&) {
            }
        }
    }
    return 0;
}
