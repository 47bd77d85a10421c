// Span kernels: raster operations over whole runs of 32-bit pixels, with the operation chosen once
// per call instead of per pixel. Each of the 256 ternary codes gets its own loop, which the compiler
// reduces to the few bitwise operations the code needs.
#include "win/gdi32/Gdi.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace wingdi {

namespace {

// A function of two inputs as a 4-bit truth table: bit (s << 1 | d) is the result for s, d.
template <unsigned F> inline uint32_t Fn2(uint32_t s, uint32_t d) {
    if constexpr (F == 0x0) return 0;
    else if constexpr (F == 0x1) return ~(s | d);
    else if constexpr (F == 0x2) return ~s & d;
    else if constexpr (F == 0x3) return ~s;
    else if constexpr (F == 0x4) return s & ~d;
    else if constexpr (F == 0x5) return ~d;
    else if constexpr (F == 0x6) return s ^ d;
    else if constexpr (F == 0x7) return ~(s & d);
    else if constexpr (F == 0x8) return s & d;
    else if constexpr (F == 0x9) return ~(s ^ d);
    else if constexpr (F == 0xA) return d;
    else if constexpr (F == 0xB) return ~s | d;
    else if constexpr (F == 0xC) return s;
    else if constexpr (F == 0xD) return s | ~d;
    else if constexpr (F == 0xE) return s | d;
    else return ~0u;
}

// Bit (p << 2 | s << 1 | d) of the code is the result: split on the pattern.
template <unsigned C> inline uint32_t Rop3Of(uint32_t p, uint32_t s, uint32_t d) {
    constexpr unsigned f0 = C & 15, f1 = C >> 4;
    if constexpr (f0 == f1) {
        return Fn2<f0>(s, d);
    } else if constexpr (f0 == 0) {
        return p & Fn2<f1>(s, d);
    } else if constexpr (f1 == 0) {
        return ~p & Fn2<f0>(s, d);
    } else if constexpr (f0 == 15) {
        return ~p | Fn2<f1>(s, d);
    } else if constexpr (f1 == 15) {
        return p | Fn2<f0>(s, d);
    } else if constexpr (f1 == (~f0 & 15)) {
        return p ^ Fn2<f0>(s, d);
    } else {
        const uint32_t a = Fn2<f0>(s, d), b = Fn2<f1>(s, d);
        return a ^ (p & (a ^ b));
    }
}

template <unsigned C> void RopLoop(uint32_t* d, const uint32_t* p, const uint32_t* s, int n) {
    constexpr bool usesP = (C >> 4) != (C & 15);
    constexpr bool usesS = ((C >> 2) & 0x33) != (C & 0x33);
    for (int i = 0; i < n; ++i) {
        uint32_t pv = 0, sv = 0;
        if constexpr (usesP) pv = p[i];
        if constexpr (usesS) sv = s[i];
        d[i] = Rop3Of<C>(pv, sv, d[i]);
    }
}

template <unsigned... C> constexpr std::array<RopSpan, 256> MakeTable(std::integer_sequence<unsigned, C...>) {
    return {&RopLoop<C>...};
}

constexpr std::array<RopSpan, 256> kRopLoops = MakeTable(std::make_integer_sequence<unsigned, 256>{});

} // namespace

RopSpan Rop3Span(DWORD rop) {
    return kRopLoops[(rop >> 16) & 0xFF];
}

BYTE Rop3CodeOfRop2(int rop2) {
    // Binary bits: 1 = !p&!d, 2 = !p&d, 4 = p&!d, 8 = p&d; each holds for either source value.
    const unsigned t = unsigned(rop2 - 1) & 15;
    unsigned code = 0;
    for (unsigned k = 0; k < 4; ++k) {
        if (!((t >> k) & 1)) continue;
        const unsigned p = k >> 1, d = k & 1;
        code |= 1u << (p << 2 | d) | 1u << (p << 2 | 2 | d);
    }
    return BYTE(code);
}

RopSpan Rop2Span(int rop2) {
    return kRopLoops[Rop3CodeOfRop2(rop2)];
}

bool BrushSource::Opaque() const {
    if (!brush) return false;
    switch (brush->style) {
    case BS_SOLID:
        return true;
    case BS_HATCHED:
        return opaqueBk;
    case BS_PATTERN:
    case BS_DIBPATTERN:
    case BS_DIBPATTERNPT:
    case BS_PATTERN8X8:
        return brush->patW > 0 && brush->patH > 0 &&
               brush->pattern.size() >= size_t(brush->patW) * size_t(brush->patH);
    default:
        return false;
    }
}

void BrushSource::Row(int x, int y, int n, uint32_t* out) const {
    if (n <= 0) return;
    if (brush->style == BS_SOLID) {
        std::fill_n(out, n, solid);
        return;
    }
    // One period of the row through At, then copies of it, doubling.
    const int period = std::min(n, brush->style == BS_HATCHED ? 8 : brush->patW);
    for (int k = 0; k < period; ++k) At(x + k, y, out[k]);
    for (int filled = period; filled < n;) {
        const int c = std::min(filled, n - filled);
        std::memcpy(out + filled, out, size_t(c) * sizeof(uint32_t));
        filled += c;
    }
}

} // namespace wingdi
