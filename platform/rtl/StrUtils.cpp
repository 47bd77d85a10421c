#include "rtl/StrUtils.h"

namespace rtl {

String LeftStr(const String& AText, int ACount) {
    return ACount <= 0 ? String() : AText.left(ACount);
}
String RightStr(const String& AText, int ACount) {
    return ACount <= 0 ? String() : AText.right(ACount);
}
String MidStr(const String& AText, int AStart, int ACount) {
    return Copy(AText, AStart, ACount);
}

bool StartsText(const String& ASubText, const String& AText) {
    return AText.startsWith(ASubText, Qt::CaseInsensitive);
}
bool EndsText(const String& ASubText, const String& AText) {
    return AText.endsWith(ASubText, Qt::CaseInsensitive);
}
bool ContainsText(const String& AText, const String& ASubText) {
    return AText.contains(ASubText, Qt::CaseInsensitive);
}
bool StartsStr(const String& ASubText, const String& AText) {
    return AText.startsWith(ASubText);
}
bool EndsStr(const String& ASubText, const String& AText) {
    return AText.endsWith(ASubText);
}
bool ContainsStr(const String& AText, const String& ASubText) {
    return AText.contains(ASubText);
}
bool AnsiStartsText(const String& ASubText, const String& AText) {
    return StartsText(ASubText, AText);
}
bool AnsiEndsText(const String& ASubText, const String& AText) {
    return EndsText(ASubText, AText);
}
bool AnsiContainsText(const String& AText, const String& ASubText) {
    return ContainsText(AText, ASubText);
}

int IndexStr(const String& AText, const std::vector<String>& AValues) {
    for (size_t I = 0; I < AValues.size(); ++I)
        if (AValues[I] == AText) return static_cast<int>(I);
    return -1;
}

int IndexText(const String& AText, const std::vector<String>& AValues) {
    for (size_t I = 0; I < AValues.size(); ++I)
        if (AnsiSameText(AValues[I], AText)) return static_cast<int>(I);
    return -1;
}

bool MatchStr(const String& AText, const std::vector<String>& AValues) {
    return IndexStr(AText, AValues) >= 0;
}
bool MatchText(const String& AText, const std::vector<String>& AValues) {
    return IndexText(AText, AValues) >= 0;
}

String ReverseString(const String& AText) {
    String R;
    R.reserve(AText.size());
    for (qsizetype I = AText.size() - 1; I >= 0; --I) {
        if (I > 0 && AText[I].isLowSurrogate() && AText[I - 1].isHighSurrogate()) {
            R += AText[I - 1];
            R += AText[I];
            --I;
        } else {
            R += AText[I];
        }
    }
    return R;
}

String DupeString(const String& AText, int ACount) {
    return ACount <= 0 ? String() : AText.repeated(ACount);
}

String ReplaceStr(const String& AText, const String& AFromText, const String& AToText) {
    return StringReplace(AText, AFromText, AToText, rfReplaceAll);
}

String ReplaceText(const String& AText, const String& AFromText, const String& AToText) {
    return StringReplace(AText, AFromText, AToText, rfReplaceAll | rfIgnoreCase);
}

std::vector<String> SplitString(const String& S, const String& Delimiters) {
    std::vector<String> R;
    if (S.isEmpty()) return R;
    qsizetype Start = 0;
    for (qsizetype I = 0; I < S.size(); ++I)
        if (Delimiters.contains(S[I])) {
            R.push_back(S.mid(Start, I - Start));
            Start = I + 1;
        }
    R.push_back(S.mid(Start));
    return R;
}

} // namespace rtl
