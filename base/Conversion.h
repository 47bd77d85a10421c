// base/Conversion.h: text to number and back, validity tests and clamping.
#pragma once
#include <cstdint>

#include "rtl/System.h"

namespace base {

using rtl::String;

// Hexadecimal with or without a leading '$'; Value is left alone on failure.
bool TryHexToInt64(const String& Text, int64_t& Value);
bool TryHexToByte(const String& Text, uint8_t& Value);
bool TryTextToByte(const String& Text, uint8_t& Value);
int ClampInt(int Value, int Min, int Max);
int64_t ClampInt64(int64_t Value, int64_t Min, int64_t Max);
void ClampIntVar(int& Value, int Min, int Max);
// Character tests that do not convert: '-1.5E3' and '1,5' pass, '1E-3' does not.
bool IsValidFloatText(const String& Text, bool IgnoreSpaces);
bool IsValidIntText(const String& Text, bool IgnoreSpaces);
String IntToText(int Value);
String Int64ToText(int64_t Value);
// Raises rtl::EConvertError for bad text.
int TextToInt(const String& Text);
bool IsIntConvertible(const String& Text);
bool IsFloatConvertible(const String& Text);
// Accepts '.' and ',' as the decimal mark under any locale; Default when the text does not convert.
double TextToFloatDef(const String& Text, double Default);
String IfThenText(bool Condition, const String& TrueText, const String& FalseText);
String BoolToDigit(bool Value);

} // namespace base
