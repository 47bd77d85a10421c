// base/SHA1.cpp
#include "base/SHA1.h"
#include "base/Hash.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <cpuid.h>
#include <immintrin.h>
#define TW_SHA1_HAVE_SHANI 1
#endif

namespace base {

namespace {

inline uint32_t Rol(uint32_t X, int N) {
    return (X << N) | (X >> (32 - N));
}

inline uint32_t LoadBE(const uint8_t* P) {
    return (uint32_t(P[0]) << 24) | (uint32_t(P[1]) << 16) | (uint32_t(P[2]) << 8) | uint32_t(P[3]);
}

// Portable compression of whole 64-byte blocks; the message schedule lives in a rolling
// 16-word window so the loop stays in registers.
void CompressPortable(uint32_t State[5], const uint8_t* Data, size_t Blocks) {
    for (; Blocks; --Blocks, Data += 64) {
        uint32_t W[16];
        for (int i = 0; i < 16; ++i) W[i] = LoadBE(Data + 4 * i);
        uint32_t A = State[0], B = State[1], C = State[2], D = State[3], E = State[4];

// clang-format off
#define TW_W(i) (W[(i) & 15] = Rol(W[((i) + 13) & 15] ^ W[((i) + 8) & 15] ^ W[((i) + 2) & 15] ^ W[(i) & 15], 1))
#define TW_R0(a, b, c, d, e, i) e += ((b & (c ^ d)) ^ d) + W[i] + 0x5A827999u + Rol(a, 5); b = Rol(b, 30);
#define TW_R1(a, b, c, d, e, i) e += ((b & (c ^ d)) ^ d) + TW_W(i) + 0x5A827999u + Rol(a, 5); b = Rol(b, 30);
#define TW_R2(a, b, c, d, e, i) e += (b ^ c ^ d) + TW_W(i) + 0x6ED9EBA1u + Rol(a, 5); b = Rol(b, 30);
#define TW_R3(a, b, c, d, e, i) e += ((b & c) + (d & (b ^ c))) + TW_W(i) + 0x8F1BBCDCu + Rol(a, 5); b = Rol(b, 30);
#define TW_R4(a, b, c, d, e, i) e += (b ^ c ^ d) + TW_W(i) + 0xCA62C1D6u + Rol(a, 5); b = Rol(b, 30);

        TW_R0(A, B, C, D, E, 0) TW_R0(E, A, B, C, D, 1) TW_R0(D, E, A, B, C, 2) TW_R0(C, D, E, A, B, 3)
        TW_R0(B, C, D, E, A, 4) TW_R0(A, B, C, D, E, 5) TW_R0(E, A, B, C, D, 6) TW_R0(D, E, A, B, C, 7)
        TW_R0(C, D, E, A, B, 8) TW_R0(B, C, D, E, A, 9) TW_R0(A, B, C, D, E, 10) TW_R0(E, A, B, C, D, 11)
        TW_R0(D, E, A, B, C, 12) TW_R0(C, D, E, A, B, 13) TW_R0(B, C, D, E, A, 14) TW_R0(A, B, C, D, E, 15)
        TW_R1(E, A, B, C, D, 16) TW_R1(D, E, A, B, C, 17) TW_R1(C, D, E, A, B, 18) TW_R1(B, C, D, E, A, 19)
        TW_R2(A, B, C, D, E, 20) TW_R2(E, A, B, C, D, 21) TW_R2(D, E, A, B, C, 22) TW_R2(C, D, E, A, B, 23)
        TW_R2(B, C, D, E, A, 24) TW_R2(A, B, C, D, E, 25) TW_R2(E, A, B, C, D, 26) TW_R2(D, E, A, B, C, 27)
        TW_R2(C, D, E, A, B, 28) TW_R2(B, C, D, E, A, 29) TW_R2(A, B, C, D, E, 30) TW_R2(E, A, B, C, D, 31)
        TW_R2(D, E, A, B, C, 32) TW_R2(C, D, E, A, B, 33) TW_R2(B, C, D, E, A, 34) TW_R2(A, B, C, D, E, 35)
        TW_R2(E, A, B, C, D, 36) TW_R2(D, E, A, B, C, 37) TW_R2(C, D, E, A, B, 38) TW_R2(B, C, D, E, A, 39)
        TW_R3(A, B, C, D, E, 40) TW_R3(E, A, B, C, D, 41) TW_R3(D, E, A, B, C, 42) TW_R3(C, D, E, A, B, 43)
        TW_R3(B, C, D, E, A, 44) TW_R3(A, B, C, D, E, 45) TW_R3(E, A, B, C, D, 46) TW_R3(D, E, A, B, C, 47)
        TW_R3(C, D, E, A, B, 48) TW_R3(B, C, D, E, A, 49) TW_R3(A, B, C, D, E, 50) TW_R3(E, A, B, C, D, 51)
        TW_R3(D, E, A, B, C, 52) TW_R3(C, D, E, A, B, 53) TW_R3(B, C, D, E, A, 54) TW_R3(A, B, C, D, E, 55)
        TW_R3(E, A, B, C, D, 56) TW_R3(D, E, A, B, C, 57) TW_R3(C, D, E, A, B, 58) TW_R3(B, C, D, E, A, 59)
        TW_R4(A, B, C, D, E, 60) TW_R4(E, A, B, C, D, 61) TW_R4(D, E, A, B, C, 62) TW_R4(C, D, E, A, B, 63)
        TW_R4(B, C, D, E, A, 64) TW_R4(A, B, C, D, E, 65) TW_R4(E, A, B, C, D, 66) TW_R4(D, E, A, B, C, 67)
        TW_R4(C, D, E, A, B, 68) TW_R4(B, C, D, E, A, 69) TW_R4(A, B, C, D, E, 70) TW_R4(E, A, B, C, D, 71)
        TW_R4(D, E, A, B, C, 72) TW_R4(C, D, E, A, B, 73) TW_R4(B, C, D, E, A, 74) TW_R4(A, B, C, D, E, 75)
        TW_R4(E, A, B, C, D, 76) TW_R4(D, E, A, B, C, 77) TW_R4(C, D, E, A, B, 78) TW_R4(B, C, D, E, A, 79)
#undef TW_W
#undef TW_R0
#undef TW_R1
#undef TW_R2
#undef TW_R3
#undef TW_R4
            // clang-format on

            State[0] += A;
        State[1] += B;
        State[2] += C;
        State[3] += D;
        State[4] += E;
    }
}

#ifdef TW_SHA1_HAVE_SHANI
// The CPU's SHA extensions, where present: several times the portable speed.
__attribute__((target("sha,sse4.1"))) void CompressShaNi(uint32_t State[5], const uint8_t* Data,
                                                         size_t Blocks) {
    const __m128i Mask = _mm_set_epi64x(0x0001020304050607LL, 0x08090a0b0c0d0e0fLL);
    __m128i Abcd = _mm_loadu_si128(reinterpret_cast<const __m128i*>(State));
    __m128i E0 = _mm_set_epi32(int(State[4]), 0, 0, 0);
    Abcd = _mm_shuffle_epi32(Abcd, 0x1B);

    for (; Blocks; --Blocks, Data += 64) {
        const __m128i AbcdSave = Abcd;
        const __m128i ESave = E0;
        __m128i E1;
        __m128i M0 = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(Data + 0)), Mask);
        __m128i M1 = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(Data + 16)), Mask);
        __m128i M2 = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(Data + 32)), Mask);
        __m128i M3 = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(Data + 48)), Mask);

        // Rounds 0-3
        E0 = _mm_add_epi32(E0, M0);
        E1 = Abcd;
        Abcd = _mm_sha1rnds4_epu32(Abcd, E0, 0);
        // Rounds 4-7
        E1 = _mm_sha1nexte_epu32(E1, M1);
        E0 = Abcd;
        Abcd = _mm_sha1rnds4_epu32(Abcd, E1, 0);
        M0 = _mm_sha1msg1_epu32(M0, M1);
        // Rounds 8-11
        E0 = _mm_sha1nexte_epu32(E0, M2);
        E1 = Abcd;
        Abcd = _mm_sha1rnds4_epu32(Abcd, E0, 0);
        M1 = _mm_sha1msg1_epu32(M1, M2);
        M0 = _mm_xor_si128(M0, M2);

// clang-format off
#define TW_SHA_STEP(Ein, Eout, Mcur, Mprev, Mnext, Mfar, F)                  \
        Ein = _mm_sha1nexte_epu32(Ein, Mcur);                                \
        Eout = Abcd;                                                         \
        Mprev = _mm_sha1msg2_epu32(Mprev, Mcur);                             \
        Abcd = _mm_sha1rnds4_epu32(Abcd, Ein, F);                            \
        Mnext = _mm_sha1msg1_epu32(Mnext, Mcur);                             \
        Mfar = _mm_xor_si128(Mfar, Mcur);

        // Rounds 12-67 follow the same pattern, rotating the four message registers.
        TW_SHA_STEP(E1, E0, M3, M0, M2, M1, 0)   // 12-15
        TW_SHA_STEP(E0, E1, M0, M1, M3, M2, 0)   // 16-19
        TW_SHA_STEP(E1, E0, M1, M2, M0, M3, 1)   // 20-23
        TW_SHA_STEP(E0, E1, M2, M3, M1, M0, 1)   // 24-27
        TW_SHA_STEP(E1, E0, M3, M0, M2, M1, 1)   // 28-31
        TW_SHA_STEP(E0, E1, M0, M1, M3, M2, 1)   // 32-35
        TW_SHA_STEP(E1, E0, M1, M2, M0, M3, 1)   // 36-39
        TW_SHA_STEP(E0, E1, M2, M3, M1, M0, 2)   // 40-43
        TW_SHA_STEP(E1, E0, M3, M0, M2, M1, 2)   // 44-47
        TW_SHA_STEP(E0, E1, M0, M1, M3, M2, 2)   // 48-51
        TW_SHA_STEP(E1, E0, M1, M2, M0, M3, 2)   // 52-55
        TW_SHA_STEP(E0, E1, M2, M3, M1, M0, 2)   // 56-59
        TW_SHA_STEP(E1, E0, M3, M0, M2, M1, 3)   // 60-63
        TW_SHA_STEP(E0, E1, M0, M1, M3, M2, 3)   // 64-67
#undef TW_SHA_STEP
        // clang-format on
        // Rounds 68-71
        E1 = _mm_sha1nexte_epu32(E1, M1);
        E0 = Abcd;
        M2 = _mm_sha1msg2_epu32(M2, M1);
        Abcd = _mm_sha1rnds4_epu32(Abcd, E1, 3);
        M3 = _mm_xor_si128(M3, M1);
        // Rounds 72-75
        E0 = _mm_sha1nexte_epu32(E0, M2);
        E1 = Abcd;
        M3 = _mm_sha1msg2_epu32(M3, M2);
        Abcd = _mm_sha1rnds4_epu32(Abcd, E0, 3);
        // Rounds 76-79
        E1 = _mm_sha1nexte_epu32(E1, M3);
        E0 = Abcd;
        Abcd = _mm_sha1rnds4_epu32(Abcd, E1, 3);

        E0 = _mm_sha1nexte_epu32(E0, ESave);
        Abcd = _mm_add_epi32(Abcd, AbcdSave);
    }

    Abcd = _mm_shuffle_epi32(Abcd, 0x1B);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(State), Abcd);
    State[4] = uint32_t(_mm_extract_epi32(E0, 3));
}
#endif

using TCompress = void (*)(uint32_t*, const uint8_t*, size_t);

TCompress ChooseCompress() {
#ifdef TW_SHA1_HAVE_SHANI
    unsigned A = 0, B = 0, C = 0, D = 0;
    const bool Sse41 = __get_cpuid(1, &A, &B, &C, &D) && (C & bit_SSE4_1) && (C & bit_SSSE3);
    const bool Sha = __get_cpuid_count(7, 0, &A, &B, &C, &D) && (B & bit_SHA);
    if (Sse41 && Sha) return CompressShaNi;
#endif
    return CompressPortable;
}

// Chosen on first use, so hashing during static initialisation works too.
std::atomic<TCompress> Chosen{nullptr};

void Compress(uint32_t State[5], const uint8_t* Data, size_t Blocks) {
    TCompress F = Chosen.load(std::memory_order_relaxed);
    if (!F) {
        F = ChooseCompress();
        Chosen.store(F, std::memory_order_relaxed);
    }
    F(State, Data, Blocks);
}

} // namespace

void SHA1Init(THashContext& Context) {
    Context.State[0] = 0x67452301u;
    Context.State[1] = 0xEFCDAB89u;
    Context.State[2] = 0x98BADCFEu;
    Context.State[3] = 0x10325476u;
    Context.State[4] = 0xC3D2E1F0u;
    Context.Length = 0;
    Context.Index = 0;
}

void SHA1Update(THashContext& Context, const void* Data, size_t Len) {
    auto* P = static_cast<const uint8_t*>(Data);
    Context.Length += Len;
    if (Context.Index) {
        const size_t Take = std::min<size_t>(64 - Context.Index, Len);
        std::memcpy(Context.Buffer + Context.Index, P, Take);
        Context.Index += uint32_t(Take);
        P += Take;
        Len -= Take;
        if (Context.Index < 64) return;
        Compress(Context.State, Context.Buffer, 1);
        Context.Index = 0;
    }
    if (Len >= 64) {
        Compress(Context.State, P, Len / 64);
        P += Len & ~size_t(63);
        Len &= 63;
    }
    if (Len) {
        std::memcpy(Context.Buffer, P, Len);
        Context.Index = uint32_t(Len);
    }
}

void SHA1Final(THashContext& Context, TSHA1Digest& Digest) {
    const uint64_t Bits = Context.Length * 8;
    uint8_t Pad[72] = {0x80};
    const size_t PadLen = (Context.Index < 56 ? 56 : 120) - Context.Index;
    uint8_t LenBytes[8];
    for (int i = 0; i < 8; ++i) LenBytes[i] = uint8_t(Bits >> (56 - 8 * i));
    SHA1Update(Context, Pad, PadLen);
    SHA1Update(Context, LenBytes, 8);
    for (int i = 0; i < 5; ++i) {
        Digest[4 * i + 0] = uint8_t(Context.State[i] >> 24);
        Digest[4 * i + 1] = uint8_t(Context.State[i] >> 16);
        Digest[4 * i + 2] = uint8_t(Context.State[i] >> 8);
        Digest[4 * i + 3] = uint8_t(Context.State[i]);
    }
    std::memset(&Context, 0, sizeof(Context));
}

namespace {

void InitAdapter(THashContext& Context) {
    SHA1Init(Context);
}
void UpdateAdapter(THashContext& Context, const void* Data, uint16_t Len) {
    SHA1Update(Context, Data, Len);
}
void FinalAdapter(THashContext& Context, uint8_t* Digest) {
    TSHA1Digest D;
    SHA1Final(Context, D);
    std::memcpy(Digest, D, sizeof(D));
}

const uint32_t SHA1OID[6] = {1, 3, 14, 3, 2, 26};

THashDesc MakeDescriptor() {
    THashDesc Desc{};
    Desc.HSig = C_HashSig;
    Desc.HDSize = C_HashDescSize;
    Desc.HDVersion = C_HashVers;
    Desc.HBlockLen = 64;
    Desc.HDigestlen = 20;
    Desc.HInit = InitAdapter;
    Desc.HFinal = FinalAdapter;
    Desc.HUpdate = UpdateAdapter;
    Desc.HAlgNum = _SHA1;
    Desc.HName[0] = 4;
    std::memcpy(Desc.HName + 1, "SHA1", 4);
    Desc.HPtrOID = SHA1OID;
    Desc.HLenOID = 6;
    return Desc;
}

const THashDesc& SHA1Desc() {
    static const THashDesc Desc = MakeDescriptor();
    return Desc;
}

} // namespace

void SHA1RegisterDescriptor() {
    RegisterHash(_SHA1, &SHA1Desc());
}

namespace detail {
void SHA1UsePortable(bool Value) {
    Chosen.store(Value ? CompressPortable : ChooseCompress());
}
} // namespace detail

} // namespace base
