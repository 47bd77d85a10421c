// base/TStr.cpp
#include "base/TStr.h"

namespace base {

String StrPadLeft(const String& Text, int Len, rtl::Char PadChar) {
    return PadLeftText(Text, Len, PadChar);
}
String StrPadRight(const String& Text, int Len, rtl::Char PadChar) {
    return PadRightText(Text, Len, PadChar);
}
String StrRemoveAll(const String& Text, const String& SubText, bool IgnoreCase) {
    return DeleteAllText(Text, SubText, IgnoreCase);
}

} // namespace base
