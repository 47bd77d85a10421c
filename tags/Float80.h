// tags/Float80.h: the 80-bit extended numbers of AIFF headers, decoded in software so that no
// floating-point unit setting is needed.
#pragma once
#include <array>
#include <cstdint>

namespace tags {

// An 80-bit IEEE 754 extended value in machine (little-endian) byte order: the 64-bit mantissa
// with its explicit integer bit first, then sign and 15-bit exponent.
using TExtended80 = std::array<uint8_t, 10>;

TExtended80 DoubleToExtended80(double Value);
double DoubleFromExtended80(const TExtended80& Value);
// To Int64, halves to even; NaN, infinities and out-of-range values give 0.
int64_t RoundExtended80(double Value);
// To Int64, toward zero; NaN, infinities and out-of-range values give 0.
int64_t TruncExtended80(double Value);

} // namespace tags
