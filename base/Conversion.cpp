// base/Conversion.cpp
#include "base/Conversion.h"

#include "rtl/SysUtils.h"

namespace base {

bool TryHexToInt64(const String& Text, int64_t& Value) {
    if (Text.isEmpty()) return false;
    const String Hex = Text.startsWith(u'$') ? Text : u'$' + Text;
    int64_t Result = 0;
    if (!rtl::TryStrToInt64(Hex, Result)) return false;
    Value = Result;
    return true;
}

bool TryHexToByte(const String& Text, uint8_t& Value) {
    int64_t Result = 0;
    if (!TryHexToInt64(Text, Result) || Result < 0 || Result > 255) return false;
    Value = uint8_t(Result);
    return true;
}

bool TryTextToByte(const String& Text, uint8_t& Value) {
    int Result = 0;
    if (!rtl::TryStrToInt(Text, Result) || Result < 0 || Result > 255) return false;
    Value = uint8_t(Result);
    return true;
}

int ClampInt(int Value, int Min, int Max) {
    if (Value < Min) return Min;
    if (Value > Max) return Max;
    return Value;
}

int64_t ClampInt64(int64_t Value, int64_t Min, int64_t Max) {
    if (Value < Min) return Min;
    if (Value > Max) return Max;
    return Value;
}

void ClampIntVar(int& Value, int Min, int Max) {
    Value = ClampInt(Value, Min, Max);
}

namespace {

// The steps both validity tests share: spaces, a single leading '-', a leading '+'.
bool PrepareNumberText(const String& Text, bool IgnoreSpaces, String& Out) {
    Out = Text;
    if (IgnoreSpaces) Out.remove(u' ');
    const qsizetype Minus = Out.count(u'-');
    if (Minus > 1 || (Minus == 1 && !Out.startsWith(u'-'))) return false;
    if (Out.startsWith(u'+')) Out.remove(0, 1);
    return true;
}

bool IsDigit(QChar C) {
    return C >= u'0' && C <= u'9';
}

} // namespace

bool IsValidFloatText(const String& Text, bool IgnoreSpaces) {
    String S;
    if (!PrepareNumberText(Text, IgnoreSpaces, S)) return false;
    S = rtl::UpperCase(S);
    if (S.count(u'E') > 1) return false;
    const qsizetype Dots = S.count(u'.');
    const qsizetype Commas = S.count(u',');
    if (Dots > 1 || Commas > 1 || (Dots && Commas)) return false;
    for (QChar C : S)
        if (!IsDigit(C) && C != u'-' && C != u'E' && C != u'.' && C != u',') return false;
    return true;
}

bool IsValidIntText(const String& Text, bool IgnoreSpaces) {
    String S;
    if (!PrepareNumberText(Text, IgnoreSpaces, S)) return false;
    for (QChar C : S)
        if (!IsDigit(C) && C != u'-') return false;
    return true;
}

String IntToText(int Value) {
    return QString::number(Value);
}

String Int64ToText(int64_t Value) {
    return QString::number(Value);
}

int TextToInt(const String& Text) {
    return rtl::StrToInt(Text);
}

bool IsIntConvertible(const String& Text) {
    try {
        TextToInt(Text);
        return true;
    } catch (const rtl::EConvertError&) {
        return false;
    }
}

bool IsFloatConvertible(const String& Text) {
    try {
        rtl::StrToFloat(Text);
        return true;
    } catch (const rtl::EConvertError&) {
        return false;
    }
}

double TextToFloatDef(const String& Text, double Default) {
    try {
        String S = Text;
        const QChar Mark(rtl::FormatSettings.DecimalSeparator);
        S.replace(u',', Mark).replace(u'.', Mark);
        return rtl::StrToFloat(S);
    } catch (...) {
        return Default;
    }
}

String IfThenText(bool Condition, const String& TrueText, const String& FalseText) {
    return Condition ? TrueText : FalseText;
}

String BoolToDigit(bool Value) {
    return Value ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace base
