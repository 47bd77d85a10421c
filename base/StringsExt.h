// base/StringsExt.h: splitting a text into a string list.
#pragma once
#include "rtl/Classes.h"

namespace base {

// Adds the trimmed parts (empty inner parts too) to List, which is not cleared; a null List does nothing.
void SplitToStrings(const rtl::String& Text, rtl::TStrings* List, const rtl::String& Separator);

} // namespace base
