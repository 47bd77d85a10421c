// base/DateTime.cpp
#include "base/DateTime.h"

#include "base/Strings.h"
#include "rtl/DateUtils.h"

namespace base {

namespace {

String Num(int64_t Value, int Width) {
    return PadLeftText(QString::number(Value), Width, u'0');
}

} // namespace

int SecondsToMs(int Seconds) {
    return int(uint32_t(Seconds) * 1000u);
} // wraps as 32-bit arithmetic does

String MsToSecText(int Ms, int SecWidth, int MsWidth) {
    return Num(Ms / 1000, SecWidth) + u'.' + Num(Ms % 1000, MsWidth);
}

String MsToClockText(int64_t Ms, bool RoundToSeconds) {
    if (Ms <= 0) return RoundToSeconds ? QStringLiteral("00:00:00") : QStringLiteral("00:00:00.000");
    if (RoundToSeconds) Ms = (Ms + 500) / 1000 * 1000;
    String Result =
        Num(Ms / 3600000, 2) + u':' + Num(Ms % 3600000 / 60000, 2) + u':' + Num(Ms % 60000 / 1000, 2);
    if (!RoundToSeconds) Result += u'.' + Num(Ms % 1000, 3);
    return Result;
}

String SecToClockText(int Seconds) {
    return MsToClockTextEx(uint32_t(Seconds) * 1000u, 1, false);
}

String MsToClockTextEx(uint32_t Ms, uint8_t Precision, bool OmitZeroHours) {
    const uint32_t H = Ms / 3600000, M = Ms % 3600000 / 60000, S = Ms % 60000 / 1000, Z = Ms % 1000;
    const String HM = Num(H, 2) + u':' + Num(M, 2);
    if (Precision == 0) return HM;
    String Result = (OmitZeroHours && H == 0 ? Num(M, 2) : HM) + u':' + Num(S, 2);
    if (Precision == 2) return Result + u'.' + Num(Z / 100, 1);
    if (Precision >= 3) return Result + u'.' + Num(Z, 3);
    return Result;
}

String DateTimeToTextSep(rtl::TDateTime DateTime, const String& DateSep, const String& TimeSep,
                         const String& DateTimeSep, const String& MsSep, bool WithMs) {
    int Year, Month, Day, Hour, Min, Sec, MSec;
    rtl::DecodeDateTime(DateTime, Year, Month, Day, Hour, Min, Sec, MSec);
    String Result = QString::number(Year) + DateSep + Num(Month, 2) + DateSep + Num(Day, 2) + DateTimeSep +
                    Num(Hour, 2) + TimeSep + Num(Min, 2) + TimeSep + Num(Sec, 2);
    if (WithMs) Result += MsSep + Num(MSec, 3);
    return Result;
}

String DateTimeToTextSepEx(rtl::TDateTime DateTime, bool WithMs, const String& DateSep, const String& TimeSep,
                           const String& DateTimeSep, const String& MsSep) {
    return DateTimeToTextSep(DateTime, DateSep, TimeSep, DateTimeSep, MsSep, WithMs);
}

} // namespace base
