// base/Strings.h: small text routines used everywhere: filling, splitting, bounds, replacing, size and
// digit-group texts, file-name cleaning. None raises; every one returns a new text.
#pragma once
#include <vector>

#include "rtl/System.h"

namespace base {

using rtl::String;

rtl::Char GetDecimalSeparatorChar();
// Count random bytes (0..254) as upper-case hex pairs with Separator between pairs.
String MakeRandomHexString(int Count, const String& Separator, bool LowerCase);
String SurroundText(const String& Text, rtl::Char Left, rtl::Char Right);
// Removes a leading LeftBound and, independently, a trailing RightBound (case-sensitive).
String StripBounds(const String& Text, const String& LeftBound, const String& RightBound);
// 'a,,b,' gives 'a', '' and 'b': inner empty parts stay, an empty remainder is dropped.
void SplitToStringArray(const String& Text, std::vector<String>& Parts, const String& Separator);
String UpperTrim(const String& Text);
// ' 5 bytes', '1.50 KB', '-2.00 KB': the mark is always '.'.
String FormatFileSizeText(int64_t Size, const String& BytesUnit);
int FirstNonDigitPos(const String& Text);
String ExtractExtension(const String& FileName, bool WithoutDot);
int CountChar(rtl::Char Ch, const String& Text);
bool IsDigitChar(rtl::Char Ch);
String DeleteAllText(const String& Text, const String& SubText, bool IgnoreCase);
String ReplaceAllText(const String& Text, const String& OldText, const String& NewText, bool IgnoreCase);
String ReplaceFirstText(const String& Text, const String& OldText, const String& NewText, bool IgnoreCase);
String RemoveSpaces(const String& Text);
int LastCharPos(const String& Text, rtl::Char Ch);
String DropTrailingChar(const String& Text, rtl::Char Ch);
String PadLeftText(const String& Text, int Len, rtl::Char PadChar);
String PadRightText(const String& Text, int Len, rtl::Char PadChar);
String ReplaceInvalidFileNameChars(const String& FileName, const String& Replacement, bool QuoteToApostrophe);
// Drops one trailing '.', then one trailing '/'.
String TrimDirTail(const String& Dir);
String GroupDigits(int64_t Value, rtl::Char Separator);
String GroupDigitsInt(int Value, rtl::Char Separator);

} // namespace base
