// base/BinaryProcs.cpp
#include "base/BinaryProcs.h"

#include "base/Files.h"

namespace base {

int64_t GetFileSizeOrZero(const rtl::String& FileName) {
    const int64_t Size = GetFileSizeSafe(FileName);
    return Size < 0 ? 0 : Size;
}

} // namespace base
