// rtl/Math.h: rounding, clamping and the shared pseudo-random generator with the class library's
// semantics (Round halves to even, Trunc toward zero, MulDiv exact with halves away from zero).
#pragma once
#include "rtl/System.h"

#include <cstdint>

namespace rtl {

inline constexpr double Pi = 3.14159265358979323846;

// Nearest integer, halves to even (2.5 -> 2, 3.5 -> 4, -2.5 -> -2). EInvalidOp for NaN, infinities
// and values outside the Int64 range.
int64_t Round(double X);
// Toward zero; EInvalidOp as Round.
int64_t Trunc(double X);
// 32-bit results as the class library gives them; EInvalidOp outside the Integer range.
int Ceil(double X);
int Floor(double X);
double Frac(double X); // X - Int(X), sign of X
double Int(double X);  // integer part as a double

// Number * Numerator / Denominator with a 64-bit intermediate, rounded half away from zero;
// -1 when Denominator is 0 or the result does not fit 32 bits.
int MulDiv(int Number, int Numerator, int Denominator);

// Round to a multiple of 10^Digit (Digit -2 = hundredths), halves to even on the decimal value;
// ERangeError for a Digit outside -20..20.
double RoundTo(double Value, int Digit);
// Same, halves away from zero (the class library's SimpleRoundTo).
double SimpleRoundTo(double Value, int Digit = -2);

template <typename T> constexpr T Min(T A, T B) {
    return B < A ? B : A;
}
template <typename T> constexpr T Max(T A, T B) {
    return A < B ? B : A;
}
template <typename T> constexpr bool InRange(T Value, T AMin, T AMax) {
    return Value >= AMin && Value <= AMax;
}
// Clamps to AMin..AMax (AMin wins when the range is empty, as the class library's order of tests does).
template <typename T> constexpr T EnsureRange(T Value, T AMin, T AMax) {
    if (Value < AMin) return AMin;
    if (Value > AMax) return AMax;
    return Value;
}
template <typename T> constexpr int Sign(T Value) {
    return Value < T(0) ? -1 : (Value > T(0) ? 1 : 0);
}
template <typename T> constexpr T IfThen(bool Condition, T TrueValue, T FalseValue = T(0)) {
    return Condition ? TrueValue : FalseValue;
}

// Base raised to Exponent (EInvalidOp for a negative base with a non-integer exponent).
double Power(double Base, double Exponent);
int64_t IntPower(int64_t Base, int Exponent);
double Log10(double X);

// The shared generator: a 32-bit linear congruential sequence (seed * 134775813 + 1), the same
// numbers for the same seed. RandSeed is 0 at start; Randomize seeds it from the clock; tests assign
// RandSeed to get a fixed sequence. Not safe for use from several threads at once.
extern int32_t RandSeed;
void Randomize();
int Random(int Range);               // 0 <= result < Range; 0 when Range <= 0
double Random();                     // 0 <= result < 1
int RandomRange(int AFrom, int ATo); // AFrom <= result < ATo (either order)

} // namespace rtl
