// base/TimeLogger.h: a millisecond stopwatch.
#pragma once
#include <cstdint>

namespace base {

// Milliseconds of the monotonic clock.
int64_t GetTimeMs();

class TClassTimeLogger {
public:
    TClassTimeLogger();

    void StartLog();
    void EndLog();
    int64_t ElapsedTimeMs() const { return FEndMs - FStartMs; }

private:
    int64_t FStartMs = 0;
    int64_t FEndMs = 0;
    int64_t FStartMs_2 = 0;
    int64_t FEndMs_2 = 0;
};

} // namespace base
