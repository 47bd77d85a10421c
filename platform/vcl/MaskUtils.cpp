// vcl/MaskUtils.cpp
#include "vcl/MaskUtils.h"

#include "rtl/SysUtils.h"

namespace vcl {

namespace {

bool IsInputChar(QChar C) {
    switch (C.unicode()) {
    case u'L':
    case u'l':
    case u'A':
    case u'a':
    case u'C':
    case u'c':
    case u'0':
    case u'9':
    case u'#':
        return true;
    default:
        return false;
    }
}

} // namespace

rtl::String FormatMaskText(const rtl::String& EditMask, const rtl::String& Value) {
    if (EditMask.isEmpty()) return Value;
    // The mask's own fields: the picture, whether literals are saved with the value, the blank.
    rtl::String Mask = EditMask;
    bool SaveLiterals = true;
    QChar Blank = u'_';
    const int Last = Mask.lastIndexOf(u';');
    if (Last > 0 && Last == Mask.size() - 2 && Mask[Last - 1] != u'\\') {
        const int Prev = Mask.lastIndexOf(u';', Last - 1);
        if (Prev > 0 && Prev == Last - 2 && Mask[Prev - 1] != u'\\') {
            SaveLiterals = Mask[Prev + 1] != u'0';
            Blank = Mask[Last + 1];
            Mask.truncate(Prev);
        } else {
            SaveLiterals = Mask[Last + 1] != u'0';
            Mask.truncate(Last);
        }
    }
    rtl::String Result;
    int V = 0;
    int CaseMode = 0; // 1 upper, -1 lower
    for (int i = 0; i < Mask.size(); ++i) {
        const QChar M = Mask[i];
        if (M == u'!') continue;
        if (M == u'>') {
            CaseMode = 1;
            continue;
        }
        if (M == u'<') {
            if (i + 1 < Mask.size() && Mask[i + 1] == u'>') {
                CaseMode = 0;
                ++i;
            } else {
                CaseMode = -1;
            }
            continue;
        }
        if (IsInputChar(M)) {
            QChar C = V < Value.size() ? Value[V++] : Blank;
            if (CaseMode > 0) C = C.toUpper();
            if (CaseMode < 0) C = C.toLower();
            Result += C;
            continue;
        }
        QChar Literal = M;
        if (M == u'\\' && i + 1 < Mask.size())
            Literal = Mask[++i];
        else if (M == u':')
            Literal = rtl::FormatSettings.TimeSeparator;
        else if (M == u'/')
            Literal = rtl::FormatSettings.DateSeparator;
        if (SaveLiterals && V < Value.size() && Value[V] == Literal) ++V;
        Result += Literal;
    }
    return Result;
}

} // namespace vcl
