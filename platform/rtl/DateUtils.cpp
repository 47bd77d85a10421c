#include "rtl/DateUtils.h"

#include <cmath>
#include <ctime>
#include <limits>
#include <mutex>

namespace rtl {

namespace {

// Days from 1970-01-01 to a proleptic Gregorian date (era arithmetic, valid for every year >= 1).
int64_t DaysFromCivil(int64_t Y, unsigned M, unsigned D) {
    Y -= M <= 2;
    const int64_t Era = (Y >= 0 ? Y : Y - 399) / 400;
    const unsigned Yoe = unsigned(Y - Era * 400);
    const unsigned Doy = (153 * (M + (M > 2 ? -3 : 9)) + 2) / 5 + D - 1;
    const unsigned Doe = Yoe * 365 + Yoe / 4 - Yoe / 100 + Doy;
    return Era * 146097 + int64_t(Doe) - 719468;
}

void CivilFromDays(int64_t Z, int& Year, int& Month, int& Day) {
    Z += 719468;
    const int64_t Era = (Z >= 0 ? Z : Z - 146096) / 146097;
    const unsigned Doe = unsigned(Z - Era * 146097);
    const unsigned Yoe = (Doe - Doe / 1460 + Doe / 36524 - Doe / 146096) / 365;
    const unsigned Doy = Doe - (365 * Yoe + Yoe / 4 - Yoe / 100);
    const unsigned Mp = (5 * Doy + 2) / 153;
    Day = int(Doy - (153 * Mp + 2) / 5 + 1);
    Month = int(Mp < 10 ? Mp + 3 : Mp - 9);
    Year = int(int64_t(Yoe) + Era * 400 + (Month <= 2));
}

// The class library's split of a TDateTime: a day count (the integer part, toward zero) and the
// milliseconds of the time of day (from the absolute fraction), rounded to the millisecond.
struct TSplit {
    int64_t Days;
    int64_t MSec;
};

TSplit Split(TDateTime Value) {
    const double Total = std::nearbyint(Value * double(MSecsPerDay));
    if (!(std::fabs(Total) < 9.0e18)) throw EConvertError(QStringLiteral("Invalid date/time value"));
    const int64_t Ms = int64_t(Total);
    return {Ms / MSecsPerDay, (Ms < 0 ? -Ms : Ms) % MSecsPerDay};
}

// A date and a time of day combined as the class library does: before 1899-12-30 the time counts
// away from zero.
TDateTime Combine(TDateTime DatePart, TDateTime TimePart) {
    return DatePart >= 0 ? DatePart + TimePart : DatePart - TimePart;
}

[[noreturn]] void RaiseDateEncode() {
    throw EConvertError(QStringLiteral("Invalid argument to date encode"));
}
[[noreturn]] void RaiseTimeEncode() {
    throw EConvertError(QStringLiteral("Invalid argument to time encode"));
}

} // namespace

// ---- encoding and decoding --------------------------------------------------------------------------

bool IsLeapYear(int Year) {
    return Year % 4 == 0 && (Year % 100 != 0 || Year % 400 == 0);
}

int DaysInAMonth(int Year, int Month) {
    static const int Days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (Month < 1 || Month > 12) return 0;
    return Month == 2 && IsLeapYear(Year) ? 29 : Days[Month - 1];
}

bool TryEncodeDate(int Year, int Month, int Day, TDateTime& Date) {
    if (Year < 1 || Year > 9999 || Month < 1 || Month > 12 || Day < 1 || Day > DaysInAMonth(Year, Month))
        return false;
    Date = double(DaysFromCivil(Year, unsigned(Month), unsigned(Day)) + UnixDateDelta);
    return true;
}

bool TryEncodeTime(int Hour, int Min, int Sec, int MSec, TDateTime& Time) {
    if (Hour < 0 || Hour >= 24 || Min < 0 || Min >= 60 || Sec < 0 || Sec >= 60 || MSec < 0 || MSec >= 1000)
        return false;
    Time = double(((int64_t(Hour) * 60 + Min) * 60 + Sec) * 1000 + MSec) / double(MSecsPerDay);
    return true;
}

bool TryEncodeDateTime(int Year, int Month, int Day, int Hour, int Min, int Sec, int MSec, TDateTime& Value) {
    TDateTime D, T;
    if (!TryEncodeDate(Year, Month, Day, D) || !TryEncodeTime(Hour, Min, Sec, MSec, T)) return false;
    Value = Combine(D, T);
    return true;
}

TDateTime EncodeDate(int Year, int Month, int Day) {
    TDateTime R;
    if (!TryEncodeDate(Year, Month, Day, R)) RaiseDateEncode();
    return R;
}

TDateTime EncodeTime(int Hour, int Min, int Sec, int MSec) {
    TDateTime R;
    if (!TryEncodeTime(Hour, Min, Sec, MSec, R)) RaiseTimeEncode();
    return R;
}

TDateTime EncodeDateTime(int Year, int Month, int Day, int Hour, int Min, int Sec, int MSec) {
    return Combine(EncodeDate(Year, Month, Day), EncodeTime(Hour, Min, Sec, MSec));
}

void DecodeDate(TDateTime Date, int& Year, int& Month, int& Day) {
    CivilFromDays(Split(Date).Days - UnixDateDelta, Year, Month, Day);
}

void DecodeTime(TDateTime Time, int& Hour, int& Min, int& Sec, int& MSec) {
    int64_t Ms = Split(Time).MSec;
    MSec = int(Ms % 1000);
    Ms /= 1000;
    Sec = int(Ms % 60);
    Ms /= 60;
    Min = int(Ms % 60);
    Hour = int(Ms / 60);
}

void DecodeDateTime(TDateTime Value, int& Year, int& Month, int& Day, int& Hour, int& Min, int& Sec,
                    int& MSec) {
    DecodeDate(Value, Year, Month, Day);
    DecodeTime(Value, Hour, Min, Sec, MSec);
}

int DayOfWeek(TDateTime Date) {
    const int64_t D = Split(Date).Days; // 1899-12-30 was a Saturday
    return int(((D + 6) % 7 + 7) % 7) + 1;
}

int DayOfTheWeek(TDateTime Date) {
    const int W = DayOfWeek(Date);
    return W == 1 ? 7 : W - 1;
}

int DaysInMonth(TDateTime Date) {
    int Y, M, D;
    DecodeDate(Date, Y, M, D);
    return DaysInAMonth(Y, M);
}

int YearOf(TDateTime Value) {
    int Y, M, D;
    DecodeDate(Value, Y, M, D);
    return Y;
}
int MonthOf(TDateTime Value) {
    int Y, M, D;
    DecodeDate(Value, Y, M, D);
    return M;
}
int DayOf(TDateTime Value) {
    int Y, M, D;
    DecodeDate(Value, Y, M, D);
    return D;
}
int HourOf(TDateTime Value) {
    int H, N, S, Z;
    DecodeTime(Value, H, N, S, Z);
    return H;
}
int MinuteOf(TDateTime Value) {
    int H, N, S, Z;
    DecodeTime(Value, H, N, S, Z);
    return N;
}
int SecondOf(TDateTime Value) {
    int H, N, S, Z;
    DecodeTime(Value, H, N, S, Z);
    return S;
}
int MilliSecondOf(TDateTime Value) {
    int H, N, S, Z;
    DecodeTime(Value, H, N, S, Z);
    return Z;
}
TDateTime DateOf(TDateTime Value) {
    return double(Split(Value).Days);
}
TDateTime TimeOf(TDateTime Value) {
    return double(Split(Value).MSec) / double(MSecsPerDay);
}

// ---- arithmetic ---------------------------------------------------------------------------------------

int64_t DateTimeToMilliseconds(TDateTime Value) {
    // The time of day always counts forward from the start of its day, whatever the sign.
    const TSplit S = Split(Value);
    return S.Days * MSecsPerDay + S.MSec;
}

TDateTime MillisecondsToDateTime(int64_t Milliseconds) {
    int64_t Days = Milliseconds / MSecsPerDay;
    int64_t Rest = Milliseconds % MSecsPerDay;
    if (Rest < 0) {
        --Days;
        Rest += MSecsPerDay;
    }
    return Combine(double(Days), double(Rest) / double(MSecsPerDay));
}

TDateTime IncMonth(TDateTime Date, int NumberOfMonths) {
    int Y, M, D;
    DecodeDate(Date, Y, M, D);
    int64_t Months = int64_t(Y) * 12 + (M - 1) + NumberOfMonths;
    const int NewYear = int(Months / 12), NewMonth = int(Months % 12) + 1;
    if (Months < 0 || NewYear < 1 || NewYear > 9999) RaiseDateEncode();
    D = std::min(D, DaysInAMonth(NewYear, NewMonth));
    return Combine(EncodeDate(NewYear, NewMonth, D), TimeOf(Date));
}

TDateTime IncYear(TDateTime Value, int NumberOfYears) {
    return IncMonth(Value, NumberOfYears * 12);
}
TDateTime IncWeek(TDateTime Value, int NumberOfWeeks) {
    return IncDay(Value, NumberOfWeeks * 7);
}
namespace {
TDateTime IncUnits(TDateTime Value, int64_t Count, int64_t UnitMs) {
    int64_t Delta, Result;
    if (__builtin_mul_overflow(Count, UnitMs, &Delta) ||
        __builtin_add_overflow(DateTimeToMilliseconds(Value), Delta, &Result))
        throw EConvertError(QStringLiteral("Invalid date/time value"));
    return MillisecondsToDateTime(Result);
}
} // namespace

TDateTime IncDay(TDateTime Value, int NumberOfDays) {
    return IncUnits(Value, NumberOfDays, MSecsPerDay);
}
TDateTime IncHour(TDateTime Value, int64_t NumberOfHours) {
    return IncUnits(Value, NumberOfHours, 3600000);
}
TDateTime IncMinute(TDateTime Value, int64_t NumberOfMinutes) {
    return IncUnits(Value, NumberOfMinutes, 60000);
}
TDateTime IncSecond(TDateTime Value, int64_t NumberOfSeconds) {
    return IncUnits(Value, NumberOfSeconds, 1000);
}
TDateTime IncMilliSecond(TDateTime Value, int64_t NumberOfMilliSeconds) {
    return IncUnits(Value, NumberOfMilliSeconds, 1);
}

int64_t MilliSecondsBetween(TDateTime ANow, TDateTime AThen) {
    const int64_t D = DateTimeToMilliseconds(ANow) - DateTimeToMilliseconds(AThen);
    return D < 0 ? -D : D;
}
int64_t SecondsBetween(TDateTime ANow, TDateTime AThen) {
    return MilliSecondsBetween(ANow, AThen) / 1000;
}
int DaysBetween(TDateTime ANow, TDateTime AThen) {
    return int(MilliSecondsBetween(ANow, AThen) / MSecsPerDay);
}

// ---- clock ---------------------------------------------------------------------------------------------

namespace {

std::mutex ClockLock;
TClockFunc& ClockRef() {
    static TClockFunc Clock;
    return Clock;
}

TDateTime FromTm(const std::tm& T, int MSec) {
    return Combine(EncodeDate(T.tm_year + 1900, T.tm_mon + 1, T.tm_mday),
                   EncodeTime(T.tm_hour, T.tm_min, std::min(T.tm_sec, 59), MSec));
}

TDateTime SystemNow() {
    const auto Now = std::chrono::system_clock::now();
    const int64_t Ms = std::chrono::duration_cast<std::chrono::milliseconds>(Now.time_since_epoch()).count();
    const std::time_t Secs = std::time_t(Ms / 1000 - (Ms % 1000 < 0 ? 1 : 0));
    std::tm Local{};
    localtime_r(&Secs, &Local);
    return FromTm(Local, int(((Ms % 1000) + 1000) % 1000));
}

} // namespace

void SetClock(TClockFunc Clock) {
    std::lock_guard<std::mutex> Lock(ClockLock);
    ClockRef() = std::move(Clock);
}

TDateTime Now() {
    TClockFunc Clock;
    {
        std::lock_guard<std::mutex> Lock(ClockLock);
        Clock = ClockRef();
    }
    return Clock ? Clock() : SystemNow();
}

TDateTime Date() {
    return DateOf(Now());
}
TDateTime Time() {
    return TimeOf(Now());
}

// ---- Unix time, UTC and file dates ---------------------------------------------------------------------

int64_t DateTimeToUnix(TDateTime Value) {
    const int64_t Ms = DateTimeToMilliseconds(Value) - int64_t(UnixDateDelta) * MSecsPerDay;
    // Nearest second, halves away from zero.
    return Ms >= 0 ? (Ms + 500) / 1000 : -((-Ms + 500) / 1000);
}

TDateTime UnixToDateTime(int64_t Value) {
    return IncSecond(double(UnixDateDelta), Value);
}

int LocalUtcOffsetMinutes(TDateTime Utc) {
    const std::time_t Secs = std::time_t(DateTimeToUnix(Utc));
    std::tm Local{};
    if (!localtime_r(&Secs, &Local)) return 0;
    return int(Local.tm_gmtoff / 60);
}

TDateTime UTCToLocal(TDateTime Utc) {
    return IncMinute(Utc, LocalUtcOffsetMinutes(Utc));
}

TDateTime LocalToUTC(TDateTime Local) {
    int Y, M, D, H, N, S, Z;
    DecodeDateTime(Local, Y, M, D, H, N, S, Z);
    std::tm T{};
    T.tm_year = Y - 1900;
    T.tm_mon = M - 1;
    T.tm_mday = D;
    T.tm_hour = H;
    T.tm_min = N;
    T.tm_sec = S;
    T.tm_isdst = -1; // let the zone rules decide
    const std::time_t Secs = mktime(&T);
    return IncMilliSecond(UnixToDateTime(int64_t(Secs)), Z);
}

TDateTime NowUTC() {
    return LocalToUTC(Now());
}

int64_t DateTimeToFileDate(TDateTime DateTime) {
    int Y, M, D, H, N, S, Z;
    if (!std::isfinite(DateTime) || DateTime < MinDateTime || DateTime > MaxDateTime) return -1;
    DecodeDateTime(DateTime, Y, M, D, H, N, S, Z);
    return DateTimeToUnix(LocalToUTC(EncodeDateTime(Y, M, D, H, N, S - S % 2, 0)));
}

TDateTime FileDateToDateTime(int64_t FileDate) {
    return UTCToLocal(UnixToDateTime(FileDate));
}

// ---- formatting -----------------------------------------------------------------------------------------

namespace {

String Pad2(int V) {
    return V < 10 ? QStringLiteral("0") + QString::number(V) : QString::number(V);
}

// Does the picture from position I on hold an AM/PM specifier (outside quotes)?
bool HasAmPm(const String& F, qsizetype I) {
    Char Quote = 0;
    for (; I < F.size(); ++I) {
        const char16_t C = F[I].unicode();
        if (Quote) {
            if (C == Quote) Quote = 0;
        } else if (C == u'\'' || C == u'"') {
            Quote = C;
        } else if (C == u'a' || C == u'A') {
            const QStringView Rest = QStringView(F).mid(I);
            if (Rest.startsWith(u"am/pm", Qt::CaseInsensitive) ||
                Rest.startsWith(u"a/p", Qt::CaseInsensitive) || Rest.startsWith(u"ampm", Qt::CaseInsensitive))
                return true;
        }
    }
    return false;
}

void AppendFormatted(String& R, const String& F, TDateTime Value, const TFormatSettings& S, int Depth) {
    if (Depth > 2) return; // a format naming itself ("c" inside ShortDateFormat)
    int Year, Month, Day, Hour, Min, Sec, MSec;
    DecodeDateTime(Value, Year, Month, Day, Hour, Min, Sec, MSec);
    const bool TwelveHour = HasAmPm(F, 0);
    bool AfterHour = false;
    const qsizetype N = F.size();
    for (qsizetype I = 0; I < N; ++I) {
        const char16_t C = F[I].unicode();
        const char16_t L = QChar(C).toLower().unicode();
        qsizetype Run = 1;
        while (I + Run < N && QChar(F[I + Run]).toLower().unicode() == L &&
               (L == u'y' || L == u'm' || L == u'd' || L == u'h' || L == u'n' || L == u's' || L == u'z' ||
                L == u't'))
            ++Run;
        switch (L) {
        case u'\'':
        case u'"': {
            const qsizetype End = F.indexOf(QChar(C), I + 1);
            const qsizetype Stop = End < 0 ? N : End;
            R += QStringView(F).mid(I + 1, Stop - I - 1);
            I = Stop;
            continue;
        }
        case u'y':
            R += Run <= 2 ? Pad2(Year % 100) : QStringLiteral("%1").arg(Year, 4, 10, QChar(u'0'));
            AfterHour = false;
            break;
        case u'm':
            if (AfterHour && Run <= 2)
                R += Run == 1 ? QString::number(Min) : Pad2(Min);
            else if (Run == 1)
                R += QString::number(Month);
            else if (Run == 2)
                R += Pad2(Month);
            else if (Run == 3)
                R += S.ShortMonthNames[size_t(Month - 1)];
            else
                R += S.LongMonthNames[size_t(Month - 1)];
            AfterHour = false;
            break;
        case u'd': {
            const size_t Dow = size_t(DayOfWeek(Value) - 1);
            if (Run == 1)
                R += QString::number(Day);
            else if (Run == 2)
                R += Pad2(Day);
            else if (Run == 3)
                R += S.ShortDayNames[Dow];
            else if (Run == 4)
                R += S.LongDayNames[Dow];
            else if (Run == 5)
                AppendFormatted(R, S.ShortDateFormat, Value, S, Depth + 1);
            else
                AppendFormatted(R, S.LongDateFormat, Value, S, Depth + 1);
            AfterHour = false;
            break;
        }
        case u'h': {
            int H = Hour;
            if (TwelveHour) {
                H = Hour % 12;
                if (H == 0) H = 12;
            }
            R += Run == 1 ? QString::number(H) : Pad2(H);
            AfterHour = true;
            break;
        }
        case u'n':
            R += Run == 1 ? QString::number(Min) : Pad2(Min);
            AfterHour = false;
            break;
        case u's':
            R += Run == 1 ? QString::number(Sec) : Pad2(Sec);
            AfterHour = false;
            break;
        case u'z':
            R += Run < 3 ? QString::number(MSec) : QStringLiteral("%1").arg(MSec, 3, 10, QChar(u'0'));
            AfterHour = false;
            break;
        case u't':
            AppendFormatted(R, Run == 1 ? S.ShortTimeFormat : S.LongTimeFormat, Value, S, Depth + 1);
            AfterHour = false;
            break;
        case u'c':
            AppendFormatted(R, S.ShortDateFormat, Value, S, Depth + 1);
            if (Hour != 0 || Min != 0 || Sec != 0 || MSec != 0) {
                R += u' ';
                AppendFormatted(R, S.LongTimeFormat, Value, S, Depth + 1);
            }
            AfterHour = false;
            break;
        case u'a': {
            const QStringView Rest = QStringView(F).mid(I);
            const bool Pm = Hour >= 12;
            if (Rest.startsWith(u"am/pm", Qt::CaseInsensitive)) {
                const QStringView Part = Pm ? Rest.mid(3, 2) : Rest.mid(0, 2);
                R += Part;
                I += 4;
            } else if (Rest.startsWith(u"a/p", Qt::CaseInsensitive)) {
                R += Pm ? Rest[2] : Rest[0];
                I += 2;
            } else if (Rest.startsWith(u"ampm", Qt::CaseInsensitive)) {
                R += Pm ? S.TimePMString : S.TimeAMString;
                I += 3;
            } else {
                R += QChar(C);
            }
            continue;
        }
        case u'/':
            if (S.DateSeparator) R += QChar(S.DateSeparator);
            break;
        case u':':
            if (S.TimeSeparator) R += QChar(S.TimeSeparator);
            break;
        default:
            R += QChar(C);
        }
        I += Run - 1;
    }
}

} // namespace

String FormatDateTime(const String& Format, TDateTime DateTime, const TFormatSettings& Settings) {
    String R;
    AppendFormatted(R, Format.isEmpty() ? QStringLiteral("c") : Format, DateTime, Settings, 0);
    return R;
}

String FormatDateTime(const String& Format, TDateTime DateTime) {
    return FormatDateTime(Format, DateTime, FormatSettings);
}
String DateToStr(TDateTime Date, const TFormatSettings& Settings) {
    return FormatDateTime(QStringLiteral("ddddd"), Date, Settings);
}
String DateToStr(TDateTime Date) {
    return DateToStr(Date, FormatSettings);
}
String TimeToStr(TDateTime Time, const TFormatSettings& Settings) {
    return FormatDateTime(QStringLiteral("tt"), Time, Settings);
}
String TimeToStr(TDateTime Time) {
    return TimeToStr(Time, FormatSettings);
}
String DateTimeToStr(TDateTime DateTime, const TFormatSettings& Settings) {
    return FormatDateTime(QStringLiteral("c"), DateTime, Settings);
}
String DateTimeToStr(TDateTime DateTime) {
    return DateTimeToStr(DateTime, FormatSettings);
}

// ---- parsing --------------------------------------------------------------------------------------------

namespace {

class TScanner {
public:
    TScanner(const String& Text) : FText(Text) {}

    void SkipBlanks() {
        while (FPos < FText.size() && FText[FPos] == u' ') ++FPos;
    }
    bool AtEnd() const { return FPos >= FText.size(); }
    qsizetype Position() const { return FPos; }
    void SetPosition(qsizetype P) { FPos = P; }

    // Unsigned decimal number; Digits gets how many digits it had.
    bool Number(int& Value, int& Digits) {
        SkipBlanks();
        Value = 0;
        Digits = 0;
        while (FPos < FText.size() && FText[FPos] >= u'0' && FText[FPos] <= u'9' && Digits < 9) {
            Value = Value * 10 + (FText[FPos++].unicode() - u'0');
            ++Digits;
        }
        return Digits > 0;
    }

    bool Char(rtl::Char C) {
        SkipBlanks();
        if (C != 0 && FPos < FText.size() && FText[FPos].unicode() == C) {
            ++FPos;
            return true;
        }
        return false;
    }

    bool Text(const String& T) {
        SkipBlanks();
        if (!T.isEmpty() && QStringView(FText).mid(FPos).startsWith(T, Qt::CaseInsensitive)) {
            FPos += T.size();
            return true;
        }
        return false;
    }

private:
    const String& FText;
    qsizetype FPos = 0;
};

enum class TOrder { MDY, DMY, YMD };

TOrder DateOrder(const String& ShortDateFormat) {
    for (QChar C : ShortDateFormat) {
        const char16_t L = C.toLower().unicode();
        if (L == u'y') return TOrder::YMD;
        if (L == u'm') return TOrder::MDY;
        if (L == u'd') return TOrder::DMY;
    }
    return TOrder::MDY;
}

bool ScanDate(TScanner& In, TDateTime& Value, const TFormatSettings& S) {
    int N1, N2, N3, L1, L2, L3 = 0;
    if (!In.Number(N1, L1) || !In.Char(S.DateSeparator) || !In.Number(N2, L2)) return false;
    bool Three = false;
    const qsizetype Mark = In.Position();
    if (In.Char(S.DateSeparator)) {
        if (In.Number(N3, L3))
            Three = true;
        else
            In.SetPosition(Mark);
    }
    int Year, Month, Day, YearDigits;
    const TOrder Order = DateOrder(S.ShortDateFormat);
    if (!Three) {
        Year = YearOf(Now());
        YearDigits = 4;
        if (Order == TOrder::DMY) {
            Day = N1;
            Month = N2;
        } else if (Order == TOrder::MDY) {
            Month = N1;
            Day = N2;
        } else {
            Month = N1;
            Day = N2;
        }
    } else if (Order == TOrder::DMY) {
        Day = N1;
        Month = N2;
        Year = N3;
        YearDigits = L3;
    } else if (Order == TOrder::MDY) {
        Month = N1;
        Day = N2;
        Year = N3;
        YearDigits = L3;
    } else {
        Year = N1;
        Month = N2;
        Day = N3;
        YearDigits = L1;
    }
    if (YearDigits <= 2) {
        // Two-digit years fall into the window of 100 years ending TwoDigitYearCenturyWindow years
        // after today.
        int Base = YearOf(Now()) - S.TwoDigitYearCenturyWindow;
        Year += Base / 100 * 100;
        if (S.TwoDigitYearCenturyWindow > 0 && Year < Base) Year += 100;
    }
    return TryEncodeDate(Year, Month, Day, Value);
}

bool ScanTime(TScanner& In, TDateTime& Value, const TFormatSettings& S) {
    int Hour, Min = 0, Sec = 0, MSec = 0, L;
    if (!In.Number(Hour, L)) return false;
    bool HasMin = false;
    if (In.Char(S.TimeSeparator)) {
        if (!In.Number(Min, L)) return false;
        HasMin = true;
        if (In.Char(S.TimeSeparator)) {
            if (!In.Number(Sec, L)) return false;
            if (In.Char(S.DecimalSeparator) || In.Char(u'.')) {
                if (!In.Number(MSec, L) || L > 3) return false;
                for (; L < 3; ++L) MSec *= 10;
            }
        }
    }
    int AmPm = 0;
    if (In.Text(S.TimeAMString) || In.Text(QStringLiteral("AM")))
        AmPm = 1;
    else if (In.Text(S.TimePMString) || In.Text(QStringLiteral("PM")))
        AmPm = 2;
    if (!HasMin && AmPm == 0) return false; // a lone number is no time
    if (AmPm) {
        if (Hour < 1 || Hour > 12) return false;
        if (Hour == 12) Hour = 0;
        if (AmPm == 2) Hour += 12;
    }
    return TryEncodeTime(Hour, Min, Sec, MSec, Value);
}

} // namespace

bool TryStrToDate(const String& S, TDateTime& Value, const TFormatSettings& Settings) {
    TScanner In(S);
    TDateTime D;
    if (!ScanDate(In, D, Settings)) return false;
    In.SkipBlanks();
    if (!In.AtEnd()) return false;
    Value = D;
    return true;
}

bool TryStrToTime(const String& S, TDateTime& Value, const TFormatSettings& Settings) {
    TScanner In(S);
    TDateTime T;
    if (!ScanTime(In, T, Settings)) return false;
    In.SkipBlanks();
    if (!In.AtEnd()) return false;
    Value = T;
    return true;
}

bool TryStrToDateTime(const String& S, TDateTime& Value, const TFormatSettings& Settings) {
    TScanner In(S);
    TDateTime D = 0, T = 0;
    if (ScanDate(In, D, Settings)) {
        In.SkipBlanks();
        if (!In.AtEnd() && !ScanTime(In, T, Settings)) return false;
    } else {
        In.SetPosition(0);
        if (!ScanTime(In, T, Settings)) return false;
    }
    In.SkipBlanks();
    if (!In.AtEnd()) return false;
    Value = Combine(D, T);
    return true;
}

bool TryStrToDate(const String& S, TDateTime& Value) {
    return TryStrToDate(S, Value, FormatSettings);
}
bool TryStrToTime(const String& S, TDateTime& Value) {
    return TryStrToTime(S, Value, FormatSettings);
}
bool TryStrToDateTime(const String& S, TDateTime& Value) {
    return TryStrToDateTime(S, Value, FormatSettings);
}

TDateTime StrToDate(const String& S, const TFormatSettings& Settings) {
    TDateTime V;
    if (!TryStrToDate(S, V, Settings)) throw EConvertError(QStringLiteral("'%1' is not a valid date").arg(S));
    return V;
}

TDateTime StrToTime(const String& S, const TFormatSettings& Settings) {
    TDateTime V;
    if (!TryStrToTime(S, V, Settings)) throw EConvertError(QStringLiteral("'%1' is not a valid time").arg(S));
    return V;
}

TDateTime StrToDateTime(const String& S, const TFormatSettings& Settings) {
    TDateTime V;
    if (!TryStrToDateTime(S, V, Settings))
        throw EConvertError(QStringLiteral("'%1' is not a valid date and time").arg(S));
    return V;
}

TDateTime StrToDate(const String& S) {
    return StrToDate(S, FormatSettings);
}
TDateTime StrToTime(const String& S) {
    return StrToTime(S, FormatSettings);
}
TDateTime StrToDateTime(const String& S) {
    return StrToDateTime(S, FormatSettings);
}

TDateTime StrToDateDef(const String& S, TDateTime Default) {
    TDateTime V;
    return TryStrToDate(S, V) ? V : Default;
}

TDateTime StrToDateTimeDef(const String& S, TDateTime Default) {
    TDateTime V;
    return TryStrToDateTime(S, V) ? V : Default;
}

} // namespace rtl
