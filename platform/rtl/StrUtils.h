// rtl/StrUtils.h: the class library's string helpers beyond SysUtils: left/right/mid parts,
// prefix/suffix/containment tests with and without case, reversing and choosing.
#pragma once
#include "rtl/SysUtils.h"

#include <vector>

namespace rtl {

String LeftStr(const String& AText, int ACount); // ACount <= 0 gives ""
String RightStr(const String& AText, int ACount);
String MidStr(const String& AText, int AStart, int ACount); // = Copy

// Case-insensitive forms fold with Unicode case rules; an empty ASubText always matches.
bool StartsText(const String& ASubText, const String& AText);
bool EndsText(const String& ASubText, const String& AText);
bool ContainsText(const String& AText, const String& ASubText);
bool StartsStr(const String& ASubText, const String& AText);
bool EndsStr(const String& ASubText, const String& AText);
bool ContainsStr(const String& AText, const String& ASubText);
bool AnsiStartsText(const String& ASubText, const String& AText);
bool AnsiEndsText(const String& ASubText, const String& AText);
bool AnsiContainsText(const String& AText, const String& ASubText);

// Index (0-based) of the first entry of AValues equal to AText (MatchText ignores case); -1 if none.
int IndexStr(const String& AText, const std::vector<String>& AValues);
int IndexText(const String& AText, const std::vector<String>& AValues);
bool MatchStr(const String& AText, const std::vector<String>& AValues);
bool MatchText(const String& AText, const std::vector<String>& AValues);

String ReverseString(const String& AText); // reverses UTF-16 units, surrogate pairs kept whole
String DupeString(const String& AText, int ACount);
String ReplaceStr(const String& AText, const String& AFromText, const String& AToText);  // all, case
String ReplaceText(const String& AText, const String& AFromText, const String& AToText); // all, no case
inline String AnsiReplaceStr(const String& AText, const String& AFromText, const String& AToText) {
    return ReplaceStr(AText, AFromText, AToText);
}
inline String AnsiReplaceText(const String& AText, const String& AFromText, const String& AToText) {
    return ReplaceText(AText, AFromText, AToText);
}
// Splits at every unit that is one of Delimiters (no trimming; empty parts kept).
std::vector<String> SplitString(const String& S, const String& Delimiters);

inline String IfThen(bool AValue, const String& ATrue, const String& AFalse = String()) {
    return AValue ? ATrue : AFalse;
}

} // namespace rtl
