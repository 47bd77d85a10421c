// base/HashCommon.h: the result of hashing a stream or file.
#pragma once
#include "rtl/System.h"

namespace base {

struct THashResultRec {
    rtl::String StrValueUpper; // the digest in upper-case hexadecimal digits
    rtl::String StrValueLower; // the same in lower case
    int32_t IntValue = 0;      // an integer digest (0 for SHA-1)
    int64_t Int64Value = 0;    // a 64-bit integer digest (0 for SHA-1)
    int64_t StreamSize = 0;    // bytes from the start position to the end of the stream
    uint32_t ElapsedTimeMs = 0;
    float SpeedMBperSec = 0; // MiB per second

    void Clear();
};

} // namespace base
