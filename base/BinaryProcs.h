// base/BinaryProcs.h: helpers of the executable readers.
#pragma once
#include <cstdint>

#include "rtl/System.h"

namespace base {

// As GetFileSizeSafe, but 0 where that gives -1.
int64_t GetFileSizeOrZero(const rtl::String& FileName);

} // namespace base
