// tags/Float80.cpp
#include "tags/Float80.h"

#include <cmath>

namespace tags {

TExtended80 DoubleToExtended80(double Value)
{
    TExtended80 r{};
    if (Value == 0.0 || std::isnan(Value)) {
        if (std::isnan(Value)) { r[7] = 0xC0; r[8] = 0xFF; r[9] = 0x7F; }
        else if (std::signbit(Value)) r[9] = 0x80;
        return r;
    }
    const bool negative = std::signbit(Value);
    uint64_t mantissa = 0;
    int exponent = 0x7FFF;
    if (std::isinf(Value)) {
        mantissa = uint64_t(1) << 63;
    } else {
        int e = 0;
        const double m = std::frexp(std::fabs(Value), &e);  // m in [0.5, 1)
        mantissa = uint64_t(std::ldexp(m, 64));             // exact: a double has 53 bits
        exponent = e - 1 + 16383;
    }
    for (int i = 0; i < 8; ++i) r[i] = uint8_t(mantissa >> (8 * i));
    const uint16_t se = uint16_t(exponent | (negative ? 0x8000 : 0));
    r[8] = uint8_t(se);
    r[9] = uint8_t(se >> 8);
    return r;
}

double DoubleFromExtended80(const TExtended80& Value)
{
    uint64_t mantissa = 0;
    for (int i = 7; i >= 0; --i) mantissa = (mantissa << 8) | Value[i];
    const int se = Value[8] | (Value[9] << 8);
    const bool negative = (se & 0x8000) != 0;
    const int exponent = se & 0x7FFF;
    double r;
    if (exponent == 0x7FFF)
        r = (mantissa << 1) == 0 ? INFINITY : NAN;
    else if (mantissa == 0)
        r = 0.0;
    else
        r = std::ldexp(double(mantissa), (exponent == 0 ? 1 : exponent) - 16383 - 63);
    return negative ? -r : r;
}

static bool FitsInt64(double Value)
{
    return std::isfinite(Value) && Value >= -9223372036854775808.0 && Value < 9223372036854775808.0;
}

int64_t RoundExtended80(double Value)
{
    const double r = std::nearbyint(Value);  // the default rounding mode: to nearest, ties to even
    return FitsInt64(r) ? int64_t(r) : 0;
}

int64_t TruncExtended80(double Value)
{
    const double r = std::trunc(Value);
    return FitsInt64(r) ? int64_t(r) : 0;
}

} // namespace tags
