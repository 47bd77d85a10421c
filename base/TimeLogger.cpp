// base/TimeLogger.cpp
#include "base/TimeLogger.h"

#include <time.h>

namespace base {

int64_t GetTimeMs() {
    timespec Ts{};
    clock_gettime(CLOCK_MONOTONIC, &Ts);
    // Rounded to the nearest millisecond, as the counter-based original.
    return int64_t(Ts.tv_sec) * 1000 + (int64_t(Ts.tv_nsec) + 500000) / 1000000;
}

TClassTimeLogger::TClassTimeLogger() {
    FStartMs = GetTimeMs();
    FStartMs_2 = FStartMs;
    (void)FEndMs_2;
}

void TClassTimeLogger::StartLog() {
    FStartMs = GetTimeMs();
}

void TClassTimeLogger::EndLog() {
    FEndMs = GetTimeMs();
}

} // namespace base
