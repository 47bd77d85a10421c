// base/Math.cpp
#include "base/Math.h"

#include "rtl/Math.h"

namespace base {

double PercentOf(double Value, double Percent) {
    return Value * Percent / 100;
}

int64_t PercentOfRounded(int A, double B) {
    return rtl::Round(A * B / 100);
}

double PercentRatio(double Part, double Whole) {
    if (Whole == 0) return 0;
    return Part * 100 / Whole;
}

} // namespace base
