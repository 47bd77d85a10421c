#include "rtl/Math.h"

#include <chrono>
#include <cmath>
#include <limits>

namespace rtl {

namespace {

[[noreturn]] void RaiseInvalidOp() {
    throw EInvalidOp(QStringLiteral("Invalid floating point operation"));
}

// Int64 range test that rejects NaN (every comparison with NaN is false).
bool FitsInt64(double X) {
    return X >= -9223372036854775808.0 && X < 9223372036854775808.0;
}

} // namespace

int64_t Round(double X) {
    const double R = std::nearbyint(X); // the default rounding mode: halves to even
    if (!FitsInt64(R)) RaiseInvalidOp();
    return static_cast<int64_t>(R);
}

int64_t Trunc(double X) {
    const double R = std::trunc(X);
    if (!FitsInt64(R)) RaiseInvalidOp();
    return static_cast<int64_t>(R);
}

int Ceil(double X) {
    const double R = std::ceil(X);
    if (!(R >= -2147483648.0 && R <= 2147483647.0)) RaiseInvalidOp();
    return static_cast<int>(R);
}

int Floor(double X) {
    const double R = std::floor(X);
    if (!(R >= -2147483648.0 && R <= 2147483647.0)) RaiseInvalidOp();
    return static_cast<int>(R);
}

double Int(double X) {
    return std::trunc(X);
}
double Frac(double X) {
    return X - std::trunc(X);
}

int MulDiv(int Number, int Numerator, int Denominator) {
    if (Denominator == 0) return -1;
    const int64_t Product = int64_t(Number) * Numerator;
    int64_t Quotient = Product / Denominator;
    const int64_t Remainder = Product % Denominator;
    // Halves away from zero: compare twice the remainder with the divisor, both as magnitudes.
    const uint64_t TwiceRem = uint64_t(Remainder < 0 ? -Remainder : Remainder) * 2;
    const uint64_t Div = uint64_t(Denominator < 0 ? -int64_t(Denominator) : int64_t(Denominator));
    if (TwiceRem >= Div) Quotient += ((Product < 0) != (Denominator < 0)) ? -1 : 1;
    if (Quotient < std::numeric_limits<int>::min() || Quotient > std::numeric_limits<int>::max()) return -1;
    return static_cast<int>(Quotient);
}

double RoundTo(double Value, int Digit) {
    if (Digit < -20 || Digit > 20) throw ERangeError(QStringLiteral("Range check error"));
    if (Digit == 0) return static_cast<double>(Round(Value));
    const double Factor = std::pow(10.0, std::abs(Digit));
    if (Digit < 0) return std::nearbyint(Value * Factor) / Factor;
    return std::nearbyint(Value / Factor) * Factor;
}

double SimpleRoundTo(double Value, int Digit) {
    const double Factor = std::pow(10.0, std::abs(Digit));
    if (Digit < 0) return std::round(Value * Factor) / Factor;
    return std::round(Value / Factor) * Factor;
}

double Power(double Base, double Exponent) {
    if (Exponent == 0) return 1.0;
    const double R = std::pow(Base, Exponent);
    if (std::isnan(R) && !std::isnan(Base) && !std::isnan(Exponent)) RaiseInvalidOp();
    return R;
}

int64_t IntPower(int64_t Base, int Exponent) {
    int64_t R = 1;
    for (int I = 0; I < Exponent; ++I) R = int64_t(uint64_t(R) * uint64_t(Base));
    return Exponent < 0 ? 0 : R;
}

double Log10(double X) {
    return std::log10(X);
}

int32_t RandSeed = 0;

namespace {
uint32_t NextRandom() {
    RandSeed = int32_t(uint32_t(RandSeed) * 134775813u + 1u);
    return uint32_t(RandSeed);
}
} // namespace

void Randomize() {
    const auto Ticks = std::chrono::steady_clock::now().time_since_epoch().count() ^
                       std::chrono::system_clock::now().time_since_epoch().count();
    RandSeed = int32_t(uint32_t(uint64_t(Ticks) ^ (uint64_t(Ticks) >> 32)));
}

int Random(int Range) {
    const uint32_t R = NextRandom();
    if (Range <= 0) return 0;
    return static_cast<int>((uint64_t(R) * uint64_t(Range)) >> 32);
}

double Random() {
    return NextRandom() / 4294967296.0;
}

int RandomRange(int AFrom, int ATo) {
    if (AFrom > ATo) std::swap(AFrom, ATo);
    return AFrom + Random(ATo - AFrom);
}

} // namespace rtl
