// rtl/DateUtils.h: TDateTime (days since 1899-12-30, time as the fraction) with the class library's
// encoding, decoding, arithmetic, formatting and parsing routines, an injectable clock, and the
// conversions to Unix time, UTC and file dates.
#pragma once
#include "rtl/SysUtils.h"

#include <chrono>
#include <cstdint>
#include <functional>

namespace rtl {

inline constexpr int HoursPerDay = 24;
inline constexpr int MinsPerHour = 60;
inline constexpr int SecsPerMin = 60;
inline constexpr int MSecsPerSec = 1000;
inline constexpr int MinsPerDay = HoursPerDay * MinsPerHour;
inline constexpr int SecsPerDay = MinsPerDay * SecsPerMin;
inline constexpr int64_t MSecsPerDay = int64_t(SecsPerDay) * MSecsPerSec;
inline constexpr int DateDelta = 693594;                   // days from 0001-01-01 to 1899-12-31
inline constexpr int UnixDateDelta = 25569;                // TDateTime of 1970-01-01
inline constexpr TDateTime MinDateTime = -657434.0;        // 0100-01-01
inline constexpr TDateTime MaxDateTime = 2958465.99999999; // 9999-12-31 23:59:59.999

// ---- encoding and decoding --------------------------------------------------------------------------

// Years 1..9999. EConvertError "Invalid argument to date encode" / "... time encode" on bad fields.
TDateTime EncodeDate(int Year, int Month, int Day);
TDateTime EncodeTime(int Hour, int Min, int Sec, int MSec);
TDateTime EncodeDateTime(int Year, int Month, int Day, int Hour, int Min, int Sec, int MSec);
bool TryEncodeDate(int Year, int Month, int Day, TDateTime& Date);
bool TryEncodeTime(int Hour, int Min, int Sec, int MSec, TDateTime& Time);
bool TryEncodeDateTime(int Year, int Month, int Day, int Hour, int Min, int Sec, int MSec, TDateTime& Value);
// Negative values (before 1899-12-30) decode as the class library does: the date part counts back,
// the time part is the absolute fraction.
void DecodeDate(TDateTime Date, int& Year, int& Month, int& Day);
void DecodeTime(TDateTime Time, int& Hour, int& Min, int& Sec, int& MSec);
void DecodeDateTime(TDateTime Value, int& Year, int& Month, int& Day, int& Hour, int& Min, int& Sec,
                    int& MSec);
// 1 = Sunday … 7 = Saturday.
int DayOfWeek(TDateTime Date);
// ISO: 1 = Monday … 7 = Sunday.
int DayOfTheWeek(TDateTime Date);
bool IsLeapYear(int Year);
int DaysInAMonth(int Year, int Month);
int DaysInMonth(TDateTime Date);
int YearOf(TDateTime Value);
int MonthOf(TDateTime Value);
int DayOf(TDateTime Value);
int HourOf(TDateTime Value);
int MinuteOf(TDateTime Value);
int SecondOf(TDateTime Value);
int MilliSecondOf(TDateTime Value);
TDateTime DateOf(TDateTime Value); // midnight of the day (truncated toward zero)
TDateTime TimeOf(TDateTime Value); // the fraction

// ---- arithmetic ---------------------------------------------------------------------------------------

// Adds months keeping the day, or the month's last day when the new month is shorter; keeps the time.
TDateTime IncMonth(TDateTime Date, int NumberOfMonths = 1);
TDateTime IncYear(TDateTime Value, int NumberOfYears = 1);
TDateTime IncWeek(TDateTime Value, int NumberOfWeeks = 1);
TDateTime IncDay(TDateTime Value, int NumberOfDays = 1);
// The Inc* time routines work in milliseconds, so negative dates (where the time counts the other
// way) move in the right direction too.
TDateTime IncHour(TDateTime Value, int64_t NumberOfHours = 1);
TDateTime IncMinute(TDateTime Value, int64_t NumberOfMinutes = 1);
TDateTime IncSecond(TDateTime Value, int64_t NumberOfSeconds = 1);
TDateTime IncMilliSecond(TDateTime Value, int64_t NumberOfMilliSeconds = 1);
int64_t MilliSecondsBetween(TDateTime ANow, TDateTime AThen);
int64_t SecondsBetween(TDateTime ANow, TDateTime AThen);
int DaysBetween(TDateTime ANow, TDateTime AThen);

// A TDateTime as a signed millisecond count from 1899-12-30 00:00 and back (exact on negative values).
int64_t DateTimeToMilliseconds(TDateTime Value);
TDateTime MillisecondsToDateTime(int64_t Milliseconds);

// ---- clock ---------------------------------------------------------------------------------------------

// The local wall-clock time; tests replace it. Now() reads it; Date() is today at 00:00; Time() the
// time of day.
using TClockFunc = std::function<TDateTime()>;
void SetClock(TClockFunc Clock); // an empty function restores the system clock
TDateTime Now();
TDateTime Date();
TDateTime Time();

// ---- Unix time, UTC and file dates ---------------------------------------------------------------------

// Seconds since 1970-01-01 00:00 (no time zone applied; the value is taken as UTC by the callers that
// mean it). DateTimeToUnix rounds to the nearest second.
int64_t DateTimeToUnix(TDateTime Value);
TDateTime UnixToDateTime(int64_t Value);
// The local time zone's offset from UTC in minutes at the given UTC instant (positive east of UTC),
// with the historical rules of the system's time zone database.
int LocalUtcOffsetMinutes(TDateTime Utc);
TDateTime UTCToLocal(TDateTime Utc);
TDateTime LocalToUTC(TDateTime Local);
TDateTime NowUTC(); // LocalToUTC(Now())

// File dates: on Linux a file date is the Unix time (seconds, UTC) of the local TDateTime, not the
// DOS packed date; seconds are truncated to even ones as the DOS form would, which the callers that
// restore a file's date rely on. -1 when the value is out of range.
int64_t DateTimeToFileDate(TDateTime DateTime);
TDateTime FileDateToDateTime(int64_t FileDate);

// ---- formatting and parsing ------------------------------------------------------------------------------

// Format letters (any case unless noted): y yy yyyy, m mm mmm mmmm (month; minutes right after h/hh),
// d dd ddd dddd ddddd (short date) dddddd (long date), h hh, n nn, s ss, z zzz, am/pm a/p ampm
// (12-hour clock), c (short date, then long time unless midnight), t (short time), tt (long time),
// / (DateSeparator), : (TimeSeparator), 'quoted' and "quoted" literals. An empty Format is "c".
String FormatDateTime(const String& Format, TDateTime DateTime);
String FormatDateTime(const String& Format, TDateTime DateTime, const TFormatSettings& Settings);
String DateToStr(TDateTime Date); // ShortDateFormat
String DateToStr(TDateTime Date, const TFormatSettings& Settings);
String TimeToStr(TDateTime Time); // LongTimeFormat
String TimeToStr(TDateTime Time, const TFormatSettings& Settings);
// Short date + " " + long time; the time is left out at exactly midnight.
String DateTimeToStr(TDateTime DateTime);
String DateTimeToStr(TDateTime DateTime, const TFormatSettings& Settings);

// Dates in the order of ShortDateFormat (d, m, y) separated by DateSeparator; a missing year is the
// current year; two-digit years use TwoDigitYearCenturyWindow. Times h[:n[:s[.z]]] with an optional
// AM/PM. Failure: EConvertError "'<S>' is not a valid date" / "... time" / "... date and time".
TDateTime StrToDate(const String& S);
TDateTime StrToDate(const String& S, const TFormatSettings& Settings);
TDateTime StrToTime(const String& S);
TDateTime StrToTime(const String& S, const TFormatSettings& Settings);
TDateTime StrToDateTime(const String& S);
TDateTime StrToDateTime(const String& S, const TFormatSettings& Settings);
bool TryStrToDate(const String& S, TDateTime& Value);
bool TryStrToDate(const String& S, TDateTime& Value, const TFormatSettings& Settings);
bool TryStrToTime(const String& S, TDateTime& Value);
bool TryStrToTime(const String& S, TDateTime& Value, const TFormatSettings& Settings);
bool TryStrToDateTime(const String& S, TDateTime& Value);
bool TryStrToDateTime(const String& S, TDateTime& Value, const TFormatSettings& Settings);
TDateTime StrToDateDef(const String& S, TDateTime Default);
TDateTime StrToDateTimeDef(const String& S, TDateTime Default);

} // namespace rtl
