#include "rtl/SysUtils.h"

#include <QRandomGenerator>
#include <QUuid>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>
#include <string>

namespace rtl {

// ---- 1-based string primitives ----------------------------------------------------------------------

int Pos(const String& SubStr, const String& S) {
    if (SubStr.isEmpty()) return 0;
    return static_cast<int>(S.indexOf(SubStr)) + 1;
}

int Pos(Char C, const String& S) {
    return static_cast<int>(S.indexOf(QChar(C))) + 1;
}

int PosEx(const String& SubStr, const String& S, int Offset) {
    if (SubStr.isEmpty() || Offset < 1 || Offset > S.size()) return 0;
    return static_cast<int>(S.indexOf(SubStr, Offset - 1)) + 1;
}

String Copy(const String& S, int Index, int Count) {
    if (Index < 1) Index = 1;
    if (Count <= 0 || Index > S.size()) return String();
    const qsizetype Start = Index - 1;
    return S.mid(Start, std::min<qsizetype>(Count, S.size() - Start));
}

String Copy(const String& S, int Index) {
    return Copy(S, Index, std::numeric_limits<int>::max());
}

void Delete(String& S, int Index, int Count) {
    if (Index < 1 || Index > S.size() || Count <= 0) return;
    S.remove(Index - 1, std::min<qsizetype>(Count, S.size() - (Index - 1)));
}

void Insert(const String& Source, String& S, int Index) {
    if (Index < 1) Index = 1;
    if (Index > S.size())
        S.append(Source);
    else
        S.insert(Index - 1, Source);
}

String StringOfChar(Char Ch, int Count) {
    return Count <= 0 ? String() : String(Count, QChar(Ch));
}

void SetLength(String& S, int NewLength) {
    if (NewLength < 0) NewLength = 0;
    const qsizetype Old = S.size();
    S.resize(NewLength);
    for (qsizetype I = Old; I < NewLength; ++I) S[I] = QChar(0);
}

// ---- case, trimming, comparison -------------------------------------------------------------------

String UpperCase(const String& S) {
    String R = S;
    for (QChar& C : R)
        if (C.unicode() >= u'a' && C.unicode() <= u'z') C = QChar(C.unicode() - 32);
    return R;
}

String LowerCase(const String& S) {
    String R = S;
    for (QChar& C : R)
        if (C.unicode() >= u'A' && C.unicode() <= u'Z') C = QChar(C.unicode() + 32);
    return R;
}

String AnsiUpperCase(const String& S) {
    return S.toUpper();
}
String AnsiLowerCase(const String& S) {
    return S.toLower();
}
Char UpCase(Char C) {
    return (C >= u'a' && C <= u'z') ? Char(C - 32) : C;
}

String Trim(const String& S) {
    qsizetype B = 0, E = S.size();
    while (B < E && S[B].unicode() <= 32) ++B;
    while (E > B && S[E - 1].unicode() <= 32) --E;
    return S.mid(B, E - B);
}

String TrimLeft(const String& S) {
    qsizetype B = 0;
    while (B < S.size() && S[B].unicode() <= 32) ++B;
    return S.mid(B);
}

String TrimRight(const String& S) {
    qsizetype E = S.size();
    while (E > 0 && S[E - 1].unicode() <= 32) --E;
    return S.left(E);
}

namespace {
inline char16_t AsciiUpper(char16_t C) {
    return (C >= u'a' && C <= u'z') ? char16_t(C - 32) : C;
}
} // namespace

int CompareStr(const String& S1, const String& S2) {
    const qsizetype N = std::min(S1.size(), S2.size());
    for (qsizetype I = 0; I < N; ++I)
        if (S1[I] != S2[I]) return int(S1[I].unicode()) - int(S2[I].unicode());
    return static_cast<int>(S1.size() - S2.size());
}

int CompareText(const String& S1, const String& S2) {
    const qsizetype N = std::min(S1.size(), S2.size());
    for (qsizetype I = 0; I < N; ++I) {
        const char16_t A = AsciiUpper(S1[I].unicode()), B = AsciiUpper(S2[I].unicode());
        if (A != B) return int(A) - int(B);
    }
    return static_cast<int>(S1.size() - S2.size());
}

bool SameStr(const String& S1, const String& S2) {
    return S1 == S2;
}
bool SameText(const String& S1, const String& S2) {
    return S1.size() == S2.size() && CompareText(S1, S2) == 0;
}

int AnsiCompareStr(const String& S1, const String& S2) {
    return String::localeAwareCompare(S1, S2);
}
int AnsiCompareText(const String& S1, const String& S2) {
    return String::localeAwareCompare(S1.toCaseFolded(), S2.toCaseFolded());
}
bool AnsiSameStr(const String& S1, const String& S2) {
    return S1 == S2;
}
bool AnsiSameText(const String& S1, const String& S2) {
    return S1.compare(S2, Qt::CaseInsensitive) == 0;
}

// ---- replace, quote, split helpers ----------------------------------------------------------------

String StringReplace(const String& S, const String& OldPattern, const String& NewPattern,
                     TReplaceFlags Flags) {
    if (OldPattern.isEmpty()) return S;
    const Qt::CaseSensitivity Cs = (Flags & rfIgnoreCase) ? Qt::CaseInsensitive : Qt::CaseSensitive;
    String R;
    qsizetype From = 0;
    while (true) {
        const qsizetype At = S.indexOf(OldPattern, From, Cs);
        if (At < 0) break;
        R += QStringView(S).mid(From, At - From);
        R += NewPattern;
        From = At + OldPattern.size();
        if (!(Flags & rfReplaceAll)) break;
    }
    R += QStringView(S).mid(From);
    return R;
}

String QuotedStr(const String& S) {
    return AnsiQuotedStr(S, u'\'');
}

String AnsiQuotedStr(const String& S, Char Quote) {
    String R;
    R.reserve(S.size() + 2);
    R += QChar(Quote);
    for (QChar C : S) {
        R += C;
        if (C.unicode() == Quote) R += C;
    }
    R += QChar(Quote);
    return R;
}

String AnsiExtractQuotedStr(const String& S, int& Pos, Char Quote) {
    if (Pos < 0 || Pos >= S.size() || S[Pos].unicode() != Quote) return String();
    String R;
    qsizetype I = Pos + 1;
    while (I < S.size()) {
        if (S[I].unicode() == Quote) {
            if (I + 1 < S.size() && S[I + 1].unicode() == Quote) {
                R += QChar(Quote);
                I += 2;
                continue;
            }
            ++I;
            break;
        }
        R += S[I++];
    }
    Pos = static_cast<int>(I);
    return R;
}

String AnsiDequotedStr(const String& S, Char Quote) {
    if (S.isEmpty() || S[0].unicode() != Quote) return S;
    int P = 0;
    return AnsiExtractQuotedStr(S, P, Quote);
}

bool IsDelimiter(const String& Delimiters, const String& S, int Index) {
    if (Index < 1 || Index > S.size()) return false;
    return Delimiters.contains(S[Index - 1]);
}

int LastDelimiter(const String& Delimiters, const String& S) {
    for (qsizetype I = S.size() - 1; I >= 0; --I)
        if (Delimiters.contains(S[I])) return static_cast<int>(I) + 1;
    return 0;
}

bool CharInSet(Char C, const String& Set) {
    return Set.contains(QChar(C));
}
bool CharInSet(Char C, std::initializer_list<Char> Set) {
    for (Char X : Set)
        if (X == C) return true;
    return false;
}

String AdjustLineBreaks(const String& S) {
    String R;
    R.reserve(S.size() + S.size() / 16);
    for (qsizetype I = 0; I < S.size(); ++I) {
        const char16_t C = S[I].unicode();
        if (C == u'\r' || C == u'\n') {
            const char16_t Other = C == u'\r' ? u'\n' : u'\r';
            if (I + 1 < S.size() && S[I + 1].unicode() == Other) ++I;
            R += QStringLiteral("\r\n");
        } else {
            R += S[I];
        }
    }
    return R;
}

String WrapText(const String& Line, const String& BreakStr, const String& BreakChars, int MaxCol) {
    // Each output line ends after its last break character within MaxCol; the break characters that
    // follow a made break are dropped. Quoted parts are never split; a break already in the text ends
    // a line as it is.
    String R;
    qsizetype LineStart = 0, BreakAt = -1, I = 0;
    Char InQuote = 0;
    const qsizetype N = Line.size();
    while (I < N) {
        const char16_t C = Line[I].unicode();
        if (!InQuote && !BreakStr.isEmpty() && QStringView(Line).mid(I).startsWith(BreakStr)) {
            I += BreakStr.size();
            R += QStringView(Line).mid(LineStart, I - LineStart);
            LineStart = I;
            BreakAt = -1;
            continue;
        }
        if (C == u'\'' || C == u'"') {
            if (InQuote == C)
                InQuote = 0;
            else if (!InQuote)
                InQuote = C;
        } else if (!InQuote && BreakChars.contains(QChar(C))) {
            BreakAt = I;
        }
        ++I;
        if (!InQuote && I - LineStart > MaxCol && BreakAt >= LineStart && BreakAt < I - 1) {
            R += QStringView(Line).mid(LineStart, BreakAt + 1 - LineStart);
            qsizetype Next = BreakAt + 1;
            while (Next < N && BreakChars.contains(Line[Next])) ++Next;
            if (Next < N) R += BreakStr;
            LineStart = Next;
            I = Next;
            BreakAt = -1;
        }
    }
    R += QStringView(Line).mid(LineStart);
    return R;
}

String WrapText(const String& Line, int MaxCol) {
    return WrapText(Line, sLineBreak, QStringLiteral(" -\t"), MaxCol);
}

// ---- format settings -------------------------------------------------------------------------------

namespace {

QLocale& DefaultLocaleRef() {
    static QLocale Locale = QLocale::c();
    return Locale;
}

// Qt date-time pictures to the class library's letters: M is the month (m), m the minute (n), H the
// 24-hour (h), AP/ap the AM/PM marker (ampm); the date separator becomes '/' so that DateSeparator
// governs it; two-digit years become four, a time zone ("t") is dropped.
String FromQtPicture(const String& Qt, Char DateSep) {
    String R;
    for (qsizetype I = 0; I < Qt.size(); ++I) {
        const QChar C = Qt[I];
        if (C == u'\'') {
            const qsizetype End = Qt.indexOf(u'\'', I + 1);
            const qsizetype Stop = End < 0 ? Qt.size() : End + 1;
            R += QStringView(Qt).mid(I, Stop - I);
            I = Stop - 1;
            continue;
        }
        qsizetype Run = 1;
        while (I + Run < Qt.size() && Qt[I + Run] == C) ++Run;
        const String Same(Run, C);
        switch (C.unicode()) {
        case u'M':
            R += String(Run, u'm');
            break;
        case u'm':
            R += String(Run, u'n');
            break;
        case u'H':
            R += String(Run, u'h');
            break;
        case u'y':
            R += Run == 2 ? QStringLiteral("yyyy") : Same;
            break;
        case u'A':
        case u'a':
            if (I + 1 < Qt.size() && (Qt[I + 1] == u'P' || Qt[I + 1] == u'p')) {
                R += QStringLiteral("ampm");
                Run = 2;
            } else
                R += QStringLiteral("ampm");
            break;
        case u't':
            while (!R.isEmpty() && R.back() == u' ') R.chop(1);
            break;
        default:
            if (DateSep != 0 && C.unicode() == DateSep)
                R += String(Run, u'/');
            else
                R += Same;
        }
        I += Run - 1;
    }
    return Trim(R);
}

Char SeparatorIn(const String& Picture, const String& Letters, Char Fallback) {
    bool SeenLetter = false;
    for (qsizetype I = 0; I < Picture.size(); ++I) {
        const QChar C = Picture[I];
        if (C == u'\'') return Fallback;
        if (Letters.contains(C))
            SeenLetter = true;
        else if (SeenLetter && !C.isLetter() && C != u' ')
            return C.unicode();
    }
    return Fallback;
}

} // namespace

TFormatSettings TFormatSettings::Invariant() {
    TFormatSettings F;
    F.CurrencyString = QStringLiteral("\u00A4");
    F.CurrencyFormat = 0;
    F.NegCurrFormat = 0;
    F.ThousandSeparator = u',';
    F.DecimalSeparator = u'.';
    F.CurrencyDecimals = 2;
    F.DateSeparator = u'/';
    F.TimeSeparator = u':';
    F.ListSeparator = u',';
    F.ShortDateFormat = QStringLiteral("MM/dd/yyyy");
    F.LongDateFormat = QStringLiteral("dddd, dd MMMMM yyyy");
    F.TimeAMString = QStringLiteral("AM");
    F.TimePMString = QStringLiteral("PM");
    F.ShortTimeFormat = QStringLiteral("hh:nn");
    F.LongTimeFormat = QStringLiteral("hh:nn:ss");
    static const char16_t* const Months[12] = {u"January",   u"February", u"March",    u"April",
                                               u"May",       u"June",     u"July",     u"August",
                                               u"September", u"October",  u"November", u"December"};
    static const char16_t* const Days[7] = {u"Sunday",   u"Monday", u"Tuesday", u"Wednesday",
                                            u"Thursday", u"Friday", u"Saturday"};
    for (int I = 0; I < 12; ++I) {
        F.LongMonthNames[I] = QString::fromUtf16(Months[I]);
        F.ShortMonthNames[I] = F.LongMonthNames[I].left(3);
    }
    for (int I = 0; I < 7; ++I) {
        F.LongDayNames[I] = QString::fromUtf16(Days[I]);
        F.ShortDayNames[I] = F.LongDayNames[I].left(3);
    }
    F.TwoDigitYearCenturyWindow = 50;
    return F;
}

TFormatSettings TFormatSettings::Create(const QLocale& Locale) {
    if (Locale.language() == QLocale::C) return Invariant();
    TFormatSettings F = Invariant();
    const String Dec = Locale.decimalPoint(), Group = Locale.groupSeparator();
    if (!Dec.isEmpty()) F.DecimalSeparator = Dec[0].unicode();
    F.ThousandSeparator = Group.isEmpty() ? Char(0) : Group[0].unicode();
    F.ListSeparator = F.DecimalSeparator == u',' ? u';' : u',';
    F.CurrencyString = Locale.currencySymbol();
    const String QtShort = Locale.dateFormat(QLocale::ShortFormat);
    F.DateSeparator = SeparatorIn(QtShort, QStringLiteral("dMy"), u'/');
    F.ShortDateFormat = FromQtPicture(QtShort, F.DateSeparator);
    F.LongDateFormat = FromQtPicture(Locale.dateFormat(QLocale::LongFormat), 0);
    const String QtLongTime = Locale.timeFormat(QLocale::LongFormat);
    F.TimeSeparator = SeparatorIn(QtLongTime, QStringLiteral("hHm"), u':');
    F.LongTimeFormat = FromQtPicture(QtLongTime, 0);
    F.ShortTimeFormat = FromQtPicture(Locale.timeFormat(QLocale::ShortFormat), 0);
    F.TimeAMString = Locale.amText();
    F.TimePMString = Locale.pmText();
    for (int I = 0; I < 12; ++I) {
        F.LongMonthNames[I] = Locale.monthName(I + 1, QLocale::LongFormat);
        F.ShortMonthNames[I] = Locale.monthName(I + 1, QLocale::ShortFormat);
    }
    for (int I = 0; I < 7; ++I) {
        const int QtDay = I == 0 ? 7 : I; // Qt counts from Monday = 1
        F.LongDayNames[I] = Locale.dayName(QtDay, QLocale::LongFormat);
        F.ShortDayNames[I] = Locale.dayName(QtDay, QLocale::ShortFormat);
    }
    return F;
}

TFormatSettings TFormatSettings::Create() {
    return Create(DefaultLocaleRef());
}

TFormatSettings FormatSettings = TFormatSettings::Invariant();

TSysLocale SysLocale;

void SetDefaultFormatLocale(const QLocale& Locale) {
    DefaultLocaleRef() = Locale;
    FormatSettings = TFormatSettings::Create(Locale);
    SysLocale.MiddleEast = Locale.textDirection() == Qt::RightToLeft;
    const auto Language = Locale.language();
    SysLocale.FarEast =
        Language == QLocale::Chinese || Language == QLocale::Japanese || Language == QLocale::Korean;
}

QLocale DefaultFormatLocale() {
    return DefaultLocaleRef();
}

// ---- integers ----------------------------------------------------------------------------------------

namespace {

String Digits(uint64_t V, bool Negative) {
    char Buf[24];
    auto [End, Ec] = std::to_chars(Buf, Buf + sizeof Buf, V);
    (void)Ec;
    String R;
    R.reserve(End - Buf + 1);
    if (Negative) R += u'-';
    for (char* P = Buf; P < End; ++P) R += QChar(char16_t(*P));
    return R;
}

String Signed(int64_t V) {
    return V < 0 ? Digits(uint64_t(0) - uint64_t(V), true) : Digits(uint64_t(V), false);
}

String Hex(uint64_t V, int MinDigits) {
    static const char16_t HexDigits[] = u"0123456789ABCDEF";
    char16_t Buf[16];
    int N = 0;
    do {
        Buf[N++] = HexDigits[V & 15];
        V >>= 4;
    } while (V != 0);
    String R;
    if (MinDigits > N) R = String(MinDigits - N, u'0');
    while (N > 0) R += QChar(Buf[--N]);
    return R;
}

[[noreturn]] void RaiseInteger(const String& S) {
    throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(S));
}

// The class library's integer syntax, as magnitude and sign: blanks, sign, "$"/"0x"/"x" hex or
// decimal digits, nothing after them. Hex reports its form so 32-bit callers can accept $FFFFFFFF.
struct TParsedInt {
    uint64_t Magnitude = 0;
    bool Negative = false;
    bool Hex = false;
};

std::optional<TParsedInt> ParseInt(const String& S) {
    TParsedInt R;
    qsizetype I = 0;
    const qsizetype N = S.size();
    while (I < N && S[I] == u' ') ++I;
    if (I < N && (S[I] == u'-' || S[I] == u'+')) R.Negative = S[I++] == u'-';
    if (I < N && S[I] == u'$') {
        R.Hex = true;
        ++I;
    } else if (I < N && (S[I] == u'x' || S[I] == u'X')) {
        R.Hex = true;
        ++I;
    } else if (I + 1 < N && S[I] == u'0' && (S[I + 1] == u'x' || S[I + 1] == u'X')) {
        R.Hex = true;
        I += 2;
    }
    if (I >= N) return std::nullopt;
    for (; I < N; ++I) {
        const char16_t C = S[I].unicode();
        unsigned D;
        if (C >= u'0' && C <= u'9')
            D = C - u'0';
        else if (R.Hex && C >= u'a' && C <= u'f')
            D = C - u'a' + 10;
        else if (R.Hex && C >= u'A' && C <= u'F')
            D = C - u'A' + 10;
        else
            return std::nullopt;
        const uint64_t Base = R.Hex ? 16 : 10;
        if (R.Magnitude > (std::numeric_limits<uint64_t>::max() - D) / Base) return std::nullopt;
        R.Magnitude = R.Magnitude * Base + D;
    }
    return R;
}

} // namespace

String IntToStr(int Value) {
    return Signed(Value);
}
String IntToStr(long Value) {
    return Signed(Value);
}
String IntToStr(long long Value) {
    return Signed(Value);
}
String IntToStr(unsigned Value) {
    return Digits(Value, false);
}
String IntToStr(unsigned long Value) {
    return Digits(Value, false);
}
String IntToStr(unsigned long long Value) {
    return Digits(Value, false);
}
String UIntToStr(unsigned Value) {
    return Digits(Value, false);
}
String UIntToStr(unsigned long Value) {
    return Digits(Value, false);
}
String UIntToStr(unsigned long long Value) {
    return Digits(Value, false);
}

String IntToHex(int Value, int Digits) {
    return Hex(uint32_t(Value), Digits);
}
String IntToHex(long Value, int Digits) {
    return Hex(uint64_t(Value), Digits);
}
String IntToHex(long long Value, int Digits) {
    return Hex(uint64_t(Value), Digits);
}
String IntToHex(unsigned Value, int Digits) {
    return Hex(Value, Digits);
}
String IntToHex(unsigned long Value, int Digits) {
    return Hex(Value, Digits);
}
String IntToHex(unsigned long long Value, int Digits) {
    return Hex(Value, Digits);
}

bool TryStrToInt(const String& S, int& Value) {
    const auto P = ParseInt(S);
    if (!P) return false;
    int64_t V;
    if (P->Hex && P->Magnitude <= 0xFFFFFFFFu)
        V = int32_t(uint32_t(P->Magnitude));
    else if (P->Magnitude <= uint64_t(std::numeric_limits<int32_t>::max()) + (P->Negative ? 1 : 0))
        V = int64_t(P->Magnitude);
    else
        return false;
    Value = int32_t(P->Negative ? -V : V);
    return true;
}

bool TryStrToInt64(const String& S, int64_t& Value) {
    const auto P = ParseInt(S);
    if (!P) return false;
    uint64_t Limit = uint64_t(std::numeric_limits<int64_t>::max()) + (P->Negative ? 1 : 0);
    if (P->Hex) Limit = std::numeric_limits<uint64_t>::max();
    if (P->Magnitude > Limit) return false;
    Value = P->Negative ? int64_t(uint64_t(0) - P->Magnitude) : int64_t(P->Magnitude);
    return true;
}

bool TryStrToUInt64(const String& S, uint64_t& Value) {
    const auto P = ParseInt(S);
    if (!P || (P->Negative && P->Magnitude != 0)) return false;
    Value = P->Magnitude;
    return true;
}

int StrToInt(const String& S) {
    int V;
    if (!TryStrToInt(S, V)) RaiseInteger(S);
    return V;
}

int64_t StrToInt64(const String& S) {
    int64_t V;
    if (!TryStrToInt64(S, V)) RaiseInteger(S);
    return V;
}

uint64_t StrToUInt64(const String& S) {
    uint64_t V;
    if (!TryStrToUInt64(S, V)) RaiseInteger(S);
    return V;
}

int StrToIntDef(const String& S, int Default) {
    int V;
    return TryStrToInt(S, V) ? V : Default;
}

int64_t StrToInt64Def(const String& S, int64_t Default) {
    int64_t V;
    return TryStrToInt64(S, V) ? V : Default;
}

uint64_t StrToUInt64Def(const String& S, uint64_t Default) {
    uint64_t V;
    return TryStrToUInt64(S, V) ? V : Default;
}

// ---- floating point: decimal digits ---------------------------------------------------------------

namespace {

// A value as decimal digits: Value = 0.D1D2D3… × 10^Exponent; no leading or trailing zeros; Digits is
// empty for zero.
struct TDecimal {
    bool Negative = false;
    int Exponent = 0;
    std::string Digits;
};

// At most Precision significant digits and at most Decimals digits after the point, rounded half away
// from zero on the value's exact binary expansion.
TDecimal ToDecimal(double Value, int Precision, int Decimals) {
    TDecimal D;
    D.Negative = std::signbit(Value);
    const double A = std::fabs(Value);
    if (A == 0) return D;
    char Buf[64];
    std::snprintf(Buf, sizeof Buf, "%.24e", A); // 25 exact significant digits
    std::string All;
    const char* P = Buf;
    for (; *P && *P != 'e'; ++P)
        if (*P >= '0' && *P <= '9') All += *P;
    const int Exp10 = std::atoi(P + 1);
    D.Exponent = Exp10 + 1;
    long Keep = std::min<long>(Precision, long(D.Exponent) + Decimals);
    if (Keep < 0) {
        D.Digits.clear();
        D.Exponent = 0;
        return D;
    }
    std::string Kept = All.substr(0, size_t(Keep));
    if (size_t(Keep) < All.size() && All[size_t(Keep)] >= '5') {
        int I = int(Kept.size()) - 1;
        while (I >= 0 && Kept[size_t(I)] == '9') Kept[size_t(I--)] = '0';
        if (I >= 0)
            ++Kept[size_t(I)];
        else {
            Kept.insert(Kept.begin(), '1');
            ++D.Exponent;
        }
    }
    while (!Kept.empty() && Kept.back() == '0') Kept.pop_back();
    // A carry into a new leading digit leaves one digit too many at the end: only zeros, dropped above.
    D.Digits = Kept;
    if (D.Digits.empty()) D.Exponent = 0;
    return D;
}

String Ascii(const std::string& S) {
    return QString::fromLatin1(S.data(), qsizetype(S.size()));
}

// Integer digits of D ("0" for |value| < 1), with thousand separators when ThousandSep != 0.
String IntegerPart(const TDecimal& D, Char ThousandSep) {
    std::string Int;
    if (D.Exponent <= 0)
        Int = "0";
    else
        for (int I = 0; I < D.Exponent; ++I) Int += I < int(D.Digits.size()) ? D.Digits[size_t(I)] : '0';
    if (!ThousandSep) return Ascii(Int);
    String R;
    for (size_t I = 0; I < Int.size(); ++I) {
        if (I > 0 && (Int.size() - I) % 3 == 0) R += QChar(ThousandSep);
        R += QChar(char16_t(Int[I]));
    }
    return R;
}

// Exactly Count fraction digits of D.
std::string FractionPart(const TDecimal& D, int Count) {
    std::string R;
    for (int I = 0; I < Count; ++I) {
        const int Index = D.Exponent + I;
        R += (Index >= 0 && Index < int(D.Digits.size())) ? D.Digits[size_t(Index)] : '0';
    }
    return R;
}

String ExponentText(int Exp, bool AlwaysSign, int MinDigits) {
    String R;
    if (Exp < 0)
        R += u'-';
    else if (AlwaysSign)
        R += u'+';
    String Digits = QString::number(std::abs(Exp));
    if (Digits.size() < MinDigits) Digits.prepend(String(MinDigits - Digits.size(), u'0'));
    return R + Digits;
}

String SpecialValue(double Value) {
    if (std::isnan(Value)) return QStringLiteral("NAN");
    return Value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
}

String Scientific(const TDecimal& D, int MinMantissaDigits, bool ExpSign, int ExpDigits, Char DecSep) {
    String R;
    if (D.Negative) R += u'-';
    const std::string Dig = D.Digits.empty() ? std::string("0") : D.Digits;
    R += QChar(char16_t(Dig[0]));
    std::string Rest = Dig.substr(1);
    while (int(Rest.size()) + 1 < MinMantissaDigits) Rest += '0';
    if (!Rest.empty()) {
        R += QChar(DecSep);
        R += Ascii(Rest);
    }
    R += u'E';
    R += ExponentText(D.Digits.empty() ? 0 : D.Exponent - 1, ExpSign, ExpDigits);
    return R;
}

String General(double Value, int Precision, int ExpDigits, Char DecSep) {
    TDecimal D = ToDecimal(Value, Precision, 9999);
    if (D.Digits.empty()) return QStringLiteral("0");
    if (D.Exponent > Precision || D.Exponent < -3) return Scientific(D, 1, false, ExpDigits, DecSep);
    String R;
    if (D.Negative) R += u'-';
    R += IntegerPart(D, 0);
    const int Frac = std::max(0, int(D.Digits.size()) - D.Exponent);
    if (Frac > 0) {
        R += QChar(DecSep);
        R += Ascii(FractionPart(D, Frac));
    }
    return R;
}

String Fixed(double Value, int Precision, int Decimals, Char DecSep, Char ThousandSep) {
    TDecimal D = ToDecimal(Value, Precision, Decimals);
    if (D.Exponent > Precision) return General(Value, Precision, 0, DecSep);
    String R;
    if (D.Negative && !D.Digits.empty()) R += u'-';
    R += IntegerPart(D, ThousandSep);
    if (Decimals > 0) {
        R += QChar(DecSep);
        R += Ascii(FractionPart(D, Decimals));
    }
    return R;
}

String Currency(double Value, int Decimals, const TFormatSettings& F) {
    String Number = Fixed(std::fabs(Value), 18, Decimals, F.DecimalSeparator, F.ThousandSeparator);
    bool Negative = false;
    if (Value < 0)
        for (QChar C : Number)
            if (C >= u'1' && C <= u'9') Negative = true;
    static const char* const Positive[4] = {"$1", "1$", "$ 1", "1 $"};
    static const char* const NegativeForms[16] = {"($1)", "-$1",  "$-1",   "$1-",  "(1$)", "-1$",
                                                  "1-$",  "1$-",  "-1 $",  "-$ 1", "1 $-", "$ 1-",
                                                  "$ -1", "1- $", "($ 1)", "(1 $)"};
    const char* Form = Negative ? NegativeForms[F.NegCurrFormat & 15] : Positive[F.CurrencyFormat & 3];
    String R;
    for (const char* P = Form; *P; ++P) {
        if (*P == '$')
            R += F.CurrencyString;
        else if (*P == '1')
            R += Number;
        else
            R += QChar(char16_t(*P));
    }
    return R;
}

} // namespace

String FloatToStrF(double Value, TFloatFormat Format, int Precision, int Digits,
                   const TFormatSettings& Settings) {
    if (!std::isfinite(Value)) return SpecialValue(Value);
    Precision = std::clamp(Precision, 1, 18);
    switch (Format) {
    case ffGeneral:
        return General(Value, Precision, std::clamp(Digits, 0, 4), Settings.DecimalSeparator);
    case ffExponent:
        return Scientific(ToDecimal(Value, Precision, 9999), Precision, true, std::clamp(Digits, 0, 4),
                          Settings.DecimalSeparator);
    case ffFixed:
        return Fixed(Value, Precision, std::clamp(Digits, 0, 18), Settings.DecimalSeparator, 0);
    case ffNumber:
        return Fixed(Value, Precision, std::clamp(Digits, 0, 18), Settings.DecimalSeparator,
                     Settings.ThousandSeparator);
    case ffCurrency:
        return Currency(Value, std::clamp(Digits, 0, 18), Settings);
    }
    return String();
}

String FloatToStrF(double Value, TFloatFormat Format, int Precision, int Digits) {
    return FloatToStrF(Value, Format, Precision, Digits, FormatSettings);
}

String FloatToStr(double Value, const TFormatSettings& Settings) {
    return FloatToStrF(Value, ffGeneral, 15, 0, Settings);
}

String FloatToStr(double Value) {
    return FloatToStr(Value, FormatSettings);
}

// ---- floating point: parsing ------------------------------------------------------------------------

bool TryStrToFloat(const String& S, double& Value, const TFormatSettings& Settings) {
    std::string A;
    qsizetype I = 0;
    const qsizetype N = S.size();
    while (I < N && S[I].unicode() <= 32) ++I;
    qsizetype E = N;
    while (E > I && S[E - 1].unicode() <= 32) --E;
    if (I < E && (S[I] == u'+' || S[I] == u'-')) {
        if (S[I] == u'-') A += '-';
        ++I;
    }
    int MantissaDigits = 0;
    bool SeenPoint = false;
    for (; I < E; ++I) {
        const char16_t C = S[I].unicode();
        if (C >= u'0' && C <= u'9') {
            A += char(C);
            ++MantissaDigits;
        } else if (C == Settings.DecimalSeparator && !SeenPoint) {
            A += '.';
            SeenPoint = true;
        } else {
            break;
        }
    }
    if (MantissaDigits == 0) return false;
    if (I < E && (S[I] == u'e' || S[I] == u'E')) {
        A += 'e';
        ++I;
        if (I < E && (S[I] == u'+' || S[I] == u'-')) A += char(S[I++].unicode());
        int ExpDigits = 0;
        for (; I < E && S[I] >= u'0' && S[I] <= u'9'; ++I, ++ExpDigits) A += char(S[I].unicode());
        if (ExpDigits == 0) return false;
    }
    if (I != E) return false;
    double V = 0;
    const auto [Ptr, Ec] = std::from_chars(A.data(), A.data() + A.size(), V);
    if (Ec == std::errc::result_out_of_range) {
        // Too small for a double reads as zero; too large is no valid value.
        if (std::fabs(V) == 0 || (std::fabs(V) < 1 && std::isfinite(V)))
            V = A[0] == '-' ? -0.0 : 0.0;
        else
            return false;
        const size_t Epos = A.find('e');
        if (Epos == std::string::npos || A.find('-', Epos) == std::string::npos) return false;
    } else if (Ec != std::errc() || Ptr != A.data() + A.size() || !std::isfinite(V)) {
        return false;
    }
    Value = V;
    return true;
}

bool TryStrToFloat(const String& S, double& Value) {
    return TryStrToFloat(S, Value, FormatSettings);
}

double StrToFloat(const String& S, const TFormatSettings& Settings) {
    double V;
    if (!TryStrToFloat(S, V, Settings))
        throw EConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(S));
    return V;
}

double StrToFloat(const String& S) {
    return StrToFloat(S, FormatSettings);
}

double StrToFloatDef(const String& S, double Default, const TFormatSettings& Settings) {
    double V;
    return TryStrToFloat(S, V, Settings) ? V : Default;
}

double StrToFloatDef(const String& S, double Default) {
    return StrToFloatDef(S, Default, FormatSettings);
}

// ---- FormatFloat ------------------------------------------------------------------------------------

namespace {

// One section of a picture, analysed.
struct TPicture {
    String Text;
    int IntPlaceholders = 0; // '0'/'#' before the point (or before the exponent)
    int MinIntDigits = 0;    // from the first '0' before the point
    int MinDecimals = 0;     // up to the last '0' after the point
    int MaxDecimals = 0;     // every placeholder after the point
    bool HasPoint = false;
    bool Thousands = false;
    bool Scientific = false;
    bool ExpSign = false; // E+ (always a sign) rather than E- (only a minus)
    int ExpDigits = 0;
};

// Splits a picture at ';' outside quotes.
std::vector<String> Sections(const String& Format) {
    std::vector<String> R(1);
    Char Quote = 0;
    for (QChar C : Format) {
        if (Quote) {
            if (C.unicode() == Quote) Quote = 0;
        } else if (C == u'\'' || C == u'"') {
            Quote = C.unicode();
        } else if (C == u';') {
            if (R.size() == 3) break;
            R.emplace_back();
            continue;
        }
        R.back() += C;
    }
    return R;
}

TPicture Analyse(const String& Text) {
    TPicture P;
    P.Text = Text;
    Char Quote = 0;
    bool AfterPoint = false;
    int FirstZero = -1;
    for (qsizetype I = 0; I < Text.size(); ++I) {
        const char16_t C = Text[I].unicode();
        if (Quote) {
            if (C == Quote) Quote = 0;
            continue;
        }
        switch (C) {
        case u'\'':
        case u'"':
            Quote = C;
            break;
        case u'0':
        case u'#':
            if (AfterPoint) {
                ++P.MaxDecimals;
                if (C == u'0') P.MinDecimals = P.MaxDecimals;
            } else {
                if (C == u'0' && FirstZero < 0) FirstZero = P.IntPlaceholders;
                ++P.IntPlaceholders;
            }
            break;
        case u'.':
            if (!AfterPoint) P.HasPoint = AfterPoint = true;
            break;
        case u',':
            if (!AfterPoint) P.Thousands = true;
            break;
        case u'E':
        case u'e':
            if (I + 1 < Text.size() && (Text[I + 1] == u'+' || Text[I + 1] == u'-')) {
                P.Scientific = true;
                P.ExpSign = Text[I + 1] == u'+';
                qsizetype J = I + 2;
                while (J < Text.size() && Text[J] == u'0' && P.ExpDigits < 4) {
                    ++P.ExpDigits;
                    ++J;
                }
                I = Text.size(); // the rest of the section is not scanned for placeholders
            }
            break;
        default:
            break;
        }
    }
    P.MinIntDigits = FirstZero < 0 ? 0 : P.IntPlaceholders - FirstZero;
    return P;
}

bool HasSection(const std::vector<String>& Sec, size_t Index) {
    return Sec.size() > Index && !Sec[Index].isEmpty();
}

String Render(const TPicture& P, double Value, bool WithMinus, const TFormatSettings& F) {
    TDecimal D;
    int Exp = 0;
    if (P.Scientific) {
        const int Sig = std::max(1, P.IntPlaceholders) + P.MaxDecimals;
        D = ToDecimal(Value, std::min(Sig, 15), 9999);
        if (!D.Digits.empty()) {
            const int IntDigits = std::max(1, P.IntPlaceholders);
            Exp = D.Exponent - IntDigits;
            D.Exponent = IntDigits;
        }
    } else {
        D = ToDecimal(Value, 15, P.MaxDecimals);
    }
    // Integer digits and fraction digits as the picture shows them.
    std::string Int;
    for (int I = 0; I < D.Exponent; ++I) Int += I < int(D.Digits.size()) ? D.Digits[size_t(I)] : '0';
    if (int(Int.size()) < P.MinIntDigits) Int.insert(0, size_t(P.MinIntDigits) - Int.size(), '0');
    std::string Frac = FractionPart(D, P.MaxDecimals);
    while (int(Frac.size()) > P.MinDecimals && Frac.back() == '0') Frac.pop_back();

    String R;
    if (WithMinus && !(D.Digits.empty())) R += u'-';
    int IntPlaceholderSeen = 0, FracIndex = 0;
    bool PointDone = false;
    const int IntLen = int(Int.size());
    auto EmitIntDigit = [&](int Index) { // Index from the left of Int
        R += QChar(char16_t(Int[size_t(Index)]));
        const int FromRight = IntLen - 1 - Index;
        if (P.Thousands && FromRight > 0 && FromRight % 3 == 0 && F.ThousandSeparator)
            R += QChar(F.ThousandSeparator);
    };
    auto EmitPoint = [&]() {
        if (PointDone) return;
        PointDone = true;
        if (!Frac.empty()) R += QChar(F.DecimalSeparator);
    };
    Char Quote = 0;
    const String& T = P.Text;
    for (qsizetype I = 0; I < T.size(); ++I) {
        const char16_t C = T[I].unicode();
        if (Quote) {
            if (C == Quote)
                Quote = 0;
            else
                R += QChar(C);
            continue;
        }
        switch (C) {
        case u'\'':
        case u'"':
            Quote = C;
            break;
        case u'0':
        case u'#':
            if (!PointDone) {
                // Placeholder k from the left of IntPlaceholders takes the digit aligned to it; the first
                // one also takes every digit that has no placeholder of its own.
                const int FromRight = P.IntPlaceholders - 1 - IntPlaceholderSeen;
                const int Index = IntLen - 1 - FromRight;
                if (IntPlaceholderSeen == 0)
                    for (int K = 0; K < Index; ++K) EmitIntDigit(K);
                if (Index >= 0) EmitIntDigit(Index);
                ++IntPlaceholderSeen;
            } else {
                if (FracIndex < int(Frac.size())) R += QChar(char16_t(Frac[size_t(FracIndex)]));
                ++FracIndex;
            }
            break;
        case u'.':
            if (!PointDone) {
                if (IntPlaceholderSeen == 0)
                    for (int K = 0; K < IntLen; ++K) EmitIntDigit(K);
                IntPlaceholderSeen = P.IntPlaceholders;
                EmitPoint();
            }
            break;
        case u',':
            break;
        case u'E':
        case u'e':
            if (P.Scientific && I + 1 < T.size() && (T[I + 1] == u'+' || T[I + 1] == u'-')) {
                R += QChar(C);
                R += ExponentText(Exp, P.ExpSign, P.ExpDigits);
                I += 2;
                while (I < T.size() && T[I] == u'0') ++I;
                // The rest of the section after the exponent is literal text.
                for (; I < T.size(); ++I) {
                    const char16_t L = T[I].unicode();
                    if (L == u'\'' || L == u'"') {
                        const qsizetype End = T.indexOf(QChar(L), I + 1);
                        const qsizetype Stop = End < 0 ? T.size() : End;
                        R += QStringView(T).mid(I + 1, Stop - I - 1);
                        I = Stop;
                    } else {
                        R += QChar(L);
                    }
                }
            } else {
                R += QChar(C);
            }
            break;
        default:
            R += QChar(C);
        }
    }
    return R;
}

} // namespace

String FormatFloat(const String& Format, double Value, const TFormatSettings& Settings) {
    if (!std::isfinite(Value)) return SpecialValue(Value);
    if (Format.isEmpty()) return FloatToStr(Value, Settings);
    const std::vector<String> Sec = Sections(Format);
    size_t Index = 0;
    if (Value < 0 && HasSection(Sec, 1))
        Index = 1;
    else if (Value == 0 && HasSection(Sec, 2))
        Index = 2;
    if (Sec[Index].isEmpty()) return FloatToStr(Value, Settings);
    const TPicture P = Analyse(Sec[Index]);
    // A value that rounds to zero in its section shows as zero: the zero section when there is one.
    if (!P.Scientific && Value != 0 && ToDecimal(Value, 15, P.MaxDecimals).Digits.empty()) {
        const size_t Zero = HasSection(Sec, 2) ? 2 : 0;
        return Render(Analyse(Sec[Zero]), 0.0, false, Settings);
    }
    return Render(P, std::fabs(Value), Value < 0 && Index == 0, Settings);
}

String FormatFloat(const String& Format, double Value) {
    return FormatFloat(Format, Value, FormatSettings);
}

// ---- Format -----------------------------------------------------------------------------------------

namespace {

[[noreturn]] void RaiseFormat(const String& Fmt) {
    throw EConvertError(QStringLiteral("Format '%1' invalid or incompatible with argument").arg(Fmt));
}

[[noreturn]] void RaiseMissing(const String& Fmt) {
    throw EConvertError(QStringLiteral("No argument for format '%1'").arg(Fmt));
}

bool IsIntegerKind(TVarRec::TKind K) {
    return K == TVarRec::TKind::Integer || K == TVarRec::TKind::Int64 || K == TVarRec::TKind::UInt64;
}

double AsFloat(const TVarRec& A) {
    switch (A.Kind()) {
    case TVarRec::TKind::Extended:
        return A.AsExtended();
    case TVarRec::TKind::UInt64:
        return double(A.AsUInt64());
    default:
        return double(A.AsInt64());
    }
}

} // namespace

String Format(const String& Fmt, const TVarRecs& Args, const TFormatSettings& Settings) {
    String R;
    R.reserve(Fmt.size() + 16 * qsizetype(Args.size()));
    size_t ArgIndex = 0;
    const qsizetype N = Fmt.size();
    auto Next = [&]() -> const TVarRec& {
        if (ArgIndex >= Args.size()) RaiseMissing(Fmt);
        return Args[ArgIndex++];
    };
    // A number of the specifier, or '*' taking one from the arguments; -1 when absent.
    auto Number = [&](qsizetype& I) -> int {
        if (I < N && Fmt[I] == u'*') {
            ++I;
            const TVarRec& A = Next();
            // Widths past a million are never meant; refusing them keeps a bad argument from
            // allocating gigabytes of padding.
            if (!IsIntegerKind(A.Kind()) || A.AsInt64() > (1 << 20) || A.AsInt64() < -(1 << 20))
                RaiseFormat(Fmt);
            return int(A.AsInt64());
        }
        if (I >= N || Fmt[I] < u'0' || Fmt[I] > u'9') return -1;
        int64_t V = 0;
        while (I < N && Fmt[I] >= u'0' && Fmt[I] <= u'9') {
            V = V * 10 + (Fmt[I++].unicode() - u'0');
            if (V > 1 << 20) RaiseFormat(Fmt);
        }
        return int(V);
    };
    for (qsizetype I = 0; I < N; ++I) {
        const QChar C = Fmt[I];
        if (C != u'%') {
            R += C;
            continue;
        }
        ++I;
        if (I >= N) RaiseFormat(Fmt);
        if (Fmt[I] == u'%') {
            R += u'%';
            continue;
        }
        int Width = Number(I);
        if (I < N && Fmt[I] == u':') {
            ++I;
            if (Width < 0) Width = 0;
            ArgIndex = size_t(Width);
            Width = -1;
        }
        bool Left = false;
        if (I < N && Fmt[I] == u'-') {
            Left = true;
            ++I;
        }
        if (Width < 0 || Left) {
            const int W = Number(I);
            if (W >= 0 || Left) Width = W;
        }
        if (Width < 0 && Width != -1) { // a negative width from '*' justifies left
            Left = true;
            Width = -Width;
        }
        int Prec = -1;
        if (I < N && Fmt[I] == u'.') {
            ++I;
            Prec = Number(I);
            if (Prec < 0) Prec = 0;
        }
        if (I >= N) RaiseFormat(Fmt);
        const char16_t Type = QChar(Fmt[I]).toLower().unicode();
        String Item;
        switch (Type) {
        case u'd':
        case u'u':
        case u'x': {
            const TVarRec& A = Next();
            String Digits;
            bool Negative = false;
            const auto K = A.Kind();
            if (K == TVarRec::TKind::Pointer) {
                const uint64_t V = uint64_t(reinterpret_cast<uintptr_t>(A.AsPointer()));
                Digits = Type == u'x' ? Hex(V, 0) : rtl::Digits(V, false);
            } else if (!IsIntegerKind(K)) {
                RaiseFormat(Fmt);
            } else if (Type == u'x') {
                const uint64_t V =
                    K == TVarRec::TKind::Integer ? uint64_t(uint32_t(A.AsInt64())) : A.AsUInt64();
                Digits = Hex(V, 0);
            } else if (Type == u'u') {
                const uint64_t V =
                    K == TVarRec::TKind::Integer ? uint64_t(uint32_t(A.AsInt64())) : A.AsUInt64();
                Digits = rtl::Digits(V, false);
            } else if (K == TVarRec::TKind::UInt64) {
                Digits = rtl::Digits(A.AsUInt64(), false);
            } else {
                const int64_t V = A.AsInt64();
                Negative = V < 0;
                Digits = rtl::Digits(Negative ? uint64_t(0) - uint64_t(V) : uint64_t(V), false);
            }
            if (Prec > Digits.size()) Digits.prepend(String(Prec - Digits.size(), u'0'));
            Item = Negative ? QStringLiteral("-") + Digits : Digits;
            break;
        }
        case u's': {
            const TVarRec& A = Next();
            if (A.Kind() == TVarRec::TKind::String)
                Item = A.AsString();
            else if (A.Kind() == TVarRec::TKind::Char)
                Item = QString(QChar(A.AsChar()));
            else
                RaiseFormat(Fmt);
            if (Prec >= 0 && Prec < Item.size()) Item.truncate(Prec);
            break;
        }
        case u'f':
        case u'e':
        case u'g':
        case u'n':
        case u'm': {
            const TVarRec& A = Next();
            if (A.Kind() != TVarRec::TKind::Extended && !IsIntegerKind(A.Kind())) RaiseFormat(Fmt);
            const double V = AsFloat(A);
            switch (Type) {
            case u'f':
                Item = FloatToStrF(V, ffFixed, 18, Prec < 0 ? 2 : Prec, Settings);
                break;
            case u'n':
                Item = FloatToStrF(V, ffNumber, 18, Prec < 0 ? 2 : Prec, Settings);
                break;
            case u'm':
                Item = FloatToStrF(V, ffCurrency, 18, Prec < 0 ? Settings.CurrencyDecimals : Prec, Settings);
                break;
            case u'e':
                Item = FloatToStrF(V, ffExponent, Prec < 0 ? 15 : Prec, 3, Settings);
                break;
            default:
                Item = FloatToStrF(V, ffGeneral, Prec <= 0 ? 15 : Prec, 0, Settings);
                break;
            }
            break;
        }
        case u'p': {
            const TVarRec& A = Next();
            if (A.Kind() != TVarRec::TKind::Pointer) RaiseFormat(Fmt);
            Item = Hex(uint64_t(reinterpret_cast<uintptr_t>(A.AsPointer())), 16);
            break;
        }
        default:
            RaiseFormat(Fmt);
        }
        if (Width > Item.size()) {
            const String Pad(Width - Item.size(), u' ');
            Item = Left ? Item + Pad : Pad + Item;
        }
        R += Item;
    }
    return R;
}

String Format(const String& Fmt, const TVarRecs& Args) {
    return Format(Fmt, Args, FormatSettings);
}

// ---- booleans -----------------------------------------------------------------------------------------

bool TryStrToBool(const String& S, bool& Value) {
    if (SameText(S, QStringLiteral("True"))) {
        Value = true;
        return true;
    }
    if (SameText(S, QStringLiteral("False"))) {
        Value = false;
        return true;
    }
    double D;
    if (TryStrToFloat(S, D)) {
        Value = D != 0;
        return true;
    }
    return false;
}

bool StrToBool(const String& S) {
    bool V;
    if (!TryStrToBool(S, V)) throw EConvertError(QStringLiteral("'%1' is not a valid boolean value").arg(S));
    return V;
}

bool StrToBoolDef(const String& S, bool Default) {
    bool V;
    return TryStrToBool(S, V) ? V : Default;
}

String BoolToStr(bool B, bool UseBoolStrs) {
    if (UseBoolStrs) return B ? QStringLiteral("True") : QStringLiteral("False");
    return B ? QStringLiteral("-1") : QStringLiteral("0");
}

// ---- GUIDs -----------------------------------------------------------------------------------------------

TGUID CreateGUID() {
    const QUuid U = QUuid::createUuid();
    TGUID G;
    G.D1 = U.data1;
    G.D2 = U.data2;
    G.D3 = U.data3;
    for (int I = 0; I < 8; ++I) G.D4[I] = U.data4[I];
    return G;
}

String GUIDToString(const TGUID& Guid) {
    String R = u'{' + Hex(Guid.D1, 8) + u'-' + Hex(Guid.D2, 4) + u'-' + Hex(Guid.D3, 4) + u'-';
    for (int I = 0; I < 8; ++I) {
        if (I == 2) R += u'-';
        R += Hex(Guid.D4[I], 2);
    }
    return R + u'}';
}

TGUID StringToGUID(const String& S) {
    auto Fail = [&]() -> TGUID {
        throw EConvertError(QStringLiteral("'%1' is not a valid GUID value").arg(S));
    };
    if (S.size() != 38 || S[0] != u'{' || S[37] != u'}') return Fail();
    auto HexAt = [&](int From, int Count) -> uint64_t {
        uint64_t V = 0;
        for (int I = From; I < From + Count; ++I) {
            const char16_t C = S[I].unicode();
            int D = 0;
            if (C >= u'0' && C <= u'9')
                D = C - u'0';
            else if (C >= u'a' && C <= u'f')
                D = C - u'a' + 10;
            else if (C >= u'A' && C <= u'F')
                D = C - u'A' + 10;
            else
                Fail();
            V = V * 16 + uint64_t(D);
        }
        return V;
    };
    for (int Dash : {9, 14, 19, 24})
        if (S[Dash] != u'-') Fail();
    TGUID G;
    G.D1 = uint32_t(HexAt(1, 8));
    G.D2 = uint16_t(HexAt(10, 4));
    G.D3 = uint16_t(HexAt(15, 4));
    G.D4[0] = uint8_t(HexAt(20, 2));
    G.D4[1] = uint8_t(HexAt(22, 2));
    for (int I = 0; I < 6; ++I) G.D4[2 + I] = uint8_t(HexAt(25 + 2 * I, 2));
    return G;
}

} // namespace rtl
