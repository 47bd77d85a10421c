// base/TStr.h: short names kept for older callers.
#pragma once
#include "base/Strings.h"

namespace base {

String StrPadLeft(const String& Text, int Len, rtl::Char PadChar);
String StrPadRight(const String& Text, int Len, rtl::Char PadChar);
String StrRemoveAll(const String& Text, const String& SubText, bool IgnoreCase);

} // namespace base
