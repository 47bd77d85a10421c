// base/Math.h: percent arithmetic.
#pragma once
#include <cstdint>

namespace base {

double PercentOf(double Value, double Percent); // Value * Percent / 100
int64_t PercentOfRounded(int A, double B);      // Round(A * B / 100), halves to even
double PercentRatio(double Part, double Whole); // Part * 100 / Whole; 0 when Whole is 0

} // namespace base
