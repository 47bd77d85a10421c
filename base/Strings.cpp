// base/Strings.cpp
#include "base/Strings.h"

#include <cmath>

#include "rtl/Math.h"
#include "rtl/SysUtils.h"

namespace base {

rtl::Char GetDecimalSeparatorChar() {
    return rtl::FormatSettings.DecimalSeparator;
}

String MakeRandomHexString(int Count, const String& Separator, bool LowerCase) {
    String Result;
    for (int i = 0; i < Count; ++i) {
        if (i > 0) Result += Separator;
        Result += rtl::IntToHex(rtl::Random(255), 2);
    }
    return LowerCase ? Result.toLower() : Result;
}

String SurroundText(const String& Text, rtl::Char Left, rtl::Char Right) {
    return QChar(Left) + Text + QChar(Right);
}

String StripBounds(const String& Text, const String& LeftBound, const String& RightBound) {
    String Result = Text;
    if (!LeftBound.isEmpty() && Result.startsWith(LeftBound)) Result.remove(0, LeftBound.size());
    if (!RightBound.isEmpty() && Result.endsWith(RightBound)) Result.chop(RightBound.size());
    return Result;
}

void SplitToStringArray(const String& Text, std::vector<String>& Parts, const String& Separator) {
    Parts.clear();
    if (Text.isEmpty()) return;
    if (Separator.isEmpty()) {
        Parts.push_back(Text);
        return;
    }
    qsizetype Start = 0;
    for (;;) {
        const qsizetype At = Text.indexOf(Separator, Start);
        if (At < 0) break;
        Parts.push_back(Text.mid(Start, At - Start));
        Start = At + Separator.size();
    }
    if (Start < Text.size()) Parts.push_back(Text.mid(Start));
}

String UpperTrim(const String& Text) {
    return rtl::Trim(rtl::UpperCase(Text));
}

namespace {

// Two decimals, halves away from zero, '.' as the mark whatever the locale.
String TwoDecimals(double Value) {
    const long long Hundredths = std::llround(Value * 100);
    return QString::number(Hundredths / 100) + u'.' +
           QString::number(Hundredths % 100).rightJustified(2, u'0');
}

} // namespace

String FormatFileSizeText(int64_t Size, const String& BytesUnit) {
    const double M = std::fabs(double(Size));
    String Result;
    if (M < 1024)
        Result = QStringLiteral("%1").arg(qint64(M), 2) + BytesUnit;
    else if (M < 1048576)
        Result = TwoDecimals(M / 1024) + QStringLiteral(" KB");
    else if (M < 1073741824)
        Result = TwoDecimals(M / 1048576) + QStringLiteral(" MB");
    else
        Result = TwoDecimals(M / 1073741824) + QStringLiteral(" GB");
    if (Size < 0) Result.prepend(u'-');
    return Result;
}

bool IsDigitChar(rtl::Char Ch) {
    return Ch >= u'0' && Ch <= u'9';
}

int FirstNonDigitPos(const String& Text) {
    for (qsizetype i = 0; i < Text.size(); ++i)
        if (!IsDigitChar(Text[i].unicode())) return int(i + 1);
    return 0;
}

String ExtractExtension(const String& FileName, bool WithoutDot) {
    const qsizetype Dot = FileName.lastIndexOf(u'.');
    if (Dot < 0 || FileName.indexOf(u'/', Dot) >= 0) return {};
    return FileName.mid(WithoutDot ? Dot + 1 : Dot);
}

int CountChar(rtl::Char Ch, const String& Text) {
    return int(Text.count(QChar(Ch)));
}

String DeleteAllText(const String& Text, const String& SubText, bool IgnoreCase) {
    return ReplaceAllText(Text, SubText, String(), IgnoreCase);
}

String ReplaceAllText(const String& Text, const String& OldText, const String& NewText, bool IgnoreCase) {
    return rtl::StringReplace(Text, OldText, NewText,
                              rtl::rfReplaceAll | (IgnoreCase ? rtl::rfIgnoreCase : 0));
}

String ReplaceFirstText(const String& Text, const String& OldText, const String& NewText, bool IgnoreCase) {
    return rtl::StringReplace(Text, OldText, NewText, IgnoreCase ? rtl::rfIgnoreCase : 0);
}

String RemoveSpaces(const String& Text) {
    String Result = Text;
    Result.remove(u' ');
    return Result;
}

int LastCharPos(const String& Text, rtl::Char Ch) {
    return int(Text.lastIndexOf(QChar(Ch)) + 1);
}

String DropTrailingChar(const String& Text, rtl::Char Ch) {
    if (!Text.isEmpty() && Text.back() == QChar(Ch)) return Text.left(Text.size() - 1);
    return Text;
}

String PadLeftText(const String& Text, int Len, rtl::Char PadChar) {
    return Text.rightJustified(Len, QChar(PadChar)); // never cuts without the truncate flag
}

String PadRightText(const String& Text, int Len, rtl::Char PadChar) {
    return Text.leftJustified(Len, QChar(PadChar));
}

String ReplaceInvalidFileNameChars(const String& FileName, const String& Replacement,
                                   bool QuoteToApostrophe) {
    String Result = FileName;
    if (QuoteToApostrophe) Result.replace(u'"', u'\'');
    for (char16_t Ch : u"?*:/\\<>|") {
        if (!Ch) break;
        Result.replace(QChar(Ch), Replacement);
    }
    return Result;
}

String TrimDirTail(const String& Dir) {
    String Result = Dir;
    if (Result.endsWith(u'.')) Result.chop(1);
    if (Result.endsWith(u'/')) Result.chop(1);
    return Result;
}

String GroupDigits(int64_t Value, rtl::Char Separator) {
    const String Digits = QString::number(Value);
    const qsizetype First = Value < 0 ? 1 : 0; // never between the sign and the digits
    String Result = Digits.left(First);
    const qsizetype Count = Digits.size() - First;
    for (qsizetype i = 0; i < Count; ++i) {
        if (i > 0 && (Count - i) % 3 == 0) Result += QChar(Separator);
        Result += Digits[First + i];
    }
    return rtl::Trim(Result);
}

String GroupDigitsInt(int Value, rtl::Char Separator) {
    return GroupDigits(Value, Separator);
}

} // namespace base
