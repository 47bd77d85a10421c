// base/HashCommon.cpp
#include "base/HashCommon.h"

namespace base {

void THashResultRec::Clear() {
    StrValueUpper.clear();
    StrValueLower.clear();
    IntValue = 0;
    Int64Value = 0;
    StreamSize = 0;
    ElapsedTimeMs = 0;
    SpeedMBperSec = 0;
}

} // namespace base
