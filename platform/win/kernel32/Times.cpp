// Calendar and file-time conversions, time zones and the performance counter.
#include "win/kernel32/fileapi.h"
#include "win/kernel32/FileInfo.h"
#include "win/kernel32/winbase.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>
#include <string>

namespace {

constexpr int64_t TicksPerSecond = 10000000;
constexpr int64_t TicksPerDay = TicksPerSecond * 86400;
// Days from 1601-01-01 to 1970-01-01.
constexpr int64_t EpochDays = 134774;

// Days since 1970-01-01 of a proleptic Gregorian date, and back (Howard Hinnant's algorithms).
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = unsigned(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + int64_t(doe) - 719468;
}

void CivilFromDays(int64_t z, int64_t& y, unsigned& m, unsigned& d) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = unsigned(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y = int64_t(yoe) + era * 400 + (m <= 2);
}

int64_t Ticks(const FILETIME& f) { return int64_t(uint64_t(f.dwHighDateTime) << 32 | f.dwLowDateTime); }
FILETIME FromTicks(int64_t t) { return FILETIME{DWORD(uint64_t(t)), DWORD(uint64_t(t) >> 32)}; }

bool Leap(int64_t y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

unsigned DaysIn(int64_t y, unsigned m) {
    static constexpr unsigned days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && Leap(y) ? 29 : days[m - 1];
}

bool ToTicks(const SYSTEMTIME& s, int64_t& ticks) {
    if (s.wYear < 1601 || s.wYear > 30827 || s.wMonth < 1 || s.wMonth > 12 || s.wDay < 1 ||
        s.wDay > DaysIn(s.wYear, s.wMonth) || s.wHour > 23 || s.wMinute > 59 || s.wSecond > 59 ||
        s.wMilliseconds > 999)
        return false;
    const int64_t days = DaysFromCivil(s.wYear, s.wMonth, s.wDay) + EpochDays;
    ticks = days * TicksPerDay + ((int64_t(s.wHour) * 60 + s.wMinute) * 60 + s.wSecond) * TicksPerSecond +
            int64_t(s.wMilliseconds) * 10000;
    return true;
}

bool FromTicksToSystem(int64_t ticks, SYSTEMTIME& s) {
    if (ticks < 0) return false;
    const int64_t days = ticks / TicksPerDay;
    int64_t rest = ticks % TicksPerDay;
    int64_t y;
    unsigned m, d;
    CivilFromDays(days - EpochDays, y, m, d);
    s.wYear = WORD(y);
    s.wMonth = WORD(m);
    s.wDay = WORD(d);
    s.wDayOfWeek = WORD((days + 1) % 7); // 1601-01-01 was a Monday
    s.wHour = WORD(rest / (TicksPerSecond * 3600));
    rest %= TicksPerSecond * 3600;
    s.wMinute = WORD(rest / (TicksPerSecond * 60));
    rest %= TicksPerSecond * 60;
    s.wSecond = WORD(rest / TicksPerSecond);
    s.wMilliseconds = WORD(rest % TicksPerSecond / 10000);
    return true;
}

// Seconds east of UTC in force now.
int64_t OffsetNow() {
    const time_t now = ::time(nullptr);
    struct tm local {};
    ::localtime_r(&now, &local);
    return local.tm_gmtoff;
}

int64_t NowTicks() {
    struct timespec t {};
    ::clock_gettime(CLOCK_REALTIME, &t);
    return Ticks(winkernel::ToFileTime(t));
}

BOOL Fail(DWORD error) {
    SetLastError(error);
    return FALSE;
}

void CopyName(WCHAR* to, const char* from) {
    size_t i = 0;
    for (; from && from[i] && i < 31; ++i) to[i] = WCHAR(uint8_t(from[i]));
    to[i] = 0;
}

// ---- the zone's rules as Windows states them -----------------------------------------------------

// A change date as a rule: the month, the weekday, its occurrence in the month (5 = the last) and the
// wall-clock time at which the change happens.
SYSTEMTIME Rule(const struct tm& wall) {
    SYSTEMTIME r{};
    r.wMonth = WORD(wall.tm_mon + 1);
    r.wDayOfWeek = WORD(wall.tm_wday);
    r.wDay = WORD(wall.tm_mday + 7 > int(DaysIn(wall.tm_year + 1900, unsigned(wall.tm_mon + 1))) ? 5 : (wall.tm_mday - 1) / 7 + 1);
    r.wHour = WORD(wall.tm_hour);
    r.wMinute = WORD(wall.tm_min);
    return r;
}

struct Year {
    int64_t standardOffset = 0, daylightOffset = 0; // seconds east of UTC
    bool daylight = false;
    SYSTEMTIME daylightStart{}, daylightEnd{};
};

// This year's offsets and changes under the system's zone, found hour by hour and then to the second.
Year ThisYear(int year) {
    Year y;
    struct tm first {};
    first.tm_year = year - 1900;
    first.tm_mday = 1;
    first.tm_isdst = -1;
    const time_t begin = ::timegm(&first) - 14 * 3600;
    struct tm at {};
    ::localtime_r(&begin, &at);
    bool seenStandard = false;
    int previous = at.tm_isdst;
    time_t before = begin;
    for (time_t t = begin + 3600; t < begin + 367 * 86400; t += 3600) {
        ::localtime_r(&t, &at);
        if (at.tm_isdst > 0) y.daylightOffset = at.tm_gmtoff, y.daylight = true;
        else y.standardOffset = at.tm_gmtoff, seenStandard = true;
        if (at.tm_isdst != previous) {
            // The change lies within (before, t]: narrow it down to the second.
            time_t lo = before, hi = t;
            while (hi - lo > 1) {
                const time_t mid = lo + (hi - lo) / 2;
                struct tm m {};
                ::localtime_r(&mid, &m);
                (m.tm_isdst == previous ? lo : hi) = mid;
            }
            // The wall-clock time the change is stated in: the time in force just before it.
            struct tm last {};
            ::localtime_r(&lo, &last);
            const time_t wall = hi + last.tm_gmtoff;
            struct tm w {};
            ::gmtime_r(&wall, &w);
            (at.tm_isdst > 0 ? y.daylightStart : y.daylightEnd) = Rule(w);
        }
        previous = at.tm_isdst;
        before = t;
    }
    // A zone in summer time all year (or never) has no changes to state.
    if (!seenStandard || y.daylightStart.wMonth == 0 || y.daylightEnd.wMonth == 0) {
        if (!seenStandard) y.standardOffset = y.daylightOffset;
        y.daylight = false;
    }
    return y;
}

// ThisYear for the zone in force, worked out once per zone and year: callers ask for every date they show.
Year ThisYearCached(int year) {
    static std::mutex lock;
    static std::string zone;
    static int cachedYear = 0;
    static Year cached;
    const char* tz = std::getenv("TZ");
    const std::string current = tz ? std::string("=") + tz : std::string();
    std::lock_guard guard(lock);
    if (year != cachedYear || current != zone) {
        cached = ThisYear(year);
        cachedYear = year;
        zone = current;
    }
    return cached;
}

// The instant (in ticks, UTC) at which a rule takes effect in a year, the rule's wall clock read with
// the bias in force before it.
int64_t RuleInstant(const SYSTEMTIME& rule, int64_t year, LONG biasBefore) {
    unsigned day = rule.wDay;
    if (rule.wYear == 0) {
        // The n-th given weekday of the month; the fifth is the last.
        const int64_t firstDays = DaysFromCivil(year, rule.wMonth, 1);
        const unsigned firstWeekday = unsigned(((firstDays % 7) + 11) % 7); // 1970-01-01 was a Thursday
        day = 1 + (rule.wDayOfWeek + 7 - firstWeekday) % 7 + 7 * (std::min<unsigned>(rule.wDay, 5) - 1);
        while (day > DaysIn(year, rule.wMonth)) day -= 7;
    }
    const int64_t days = DaysFromCivil(year, rule.wMonth, day) + EpochDays;
    return days * TicksPerDay + ((int64_t(rule.wHour) * 60 + rule.wMinute) * 60 + rule.wSecond) * TicksPerSecond +
           int64_t(biasBefore) * 60 * TicksPerSecond;
}

// Whether a UTC instant falls in the zone's summer time under the zone's own rules.
bool InDaylightTime(const TIME_ZONE_INFORMATION& tz, int64_t ticks, int64_t year) {
    if (tz.DaylightDate.wMonth == 0 || tz.StandardDate.wMonth == 0) return false;
    if (tz.DaylightDate.wMonth > 12 || tz.StandardDate.wMonth > 12) return false;
    const int64_t start = RuleInstant(tz.DaylightDate, year, tz.Bias + tz.StandardBias);
    const int64_t end = RuleInstant(tz.StandardDate, year, tz.Bias + tz.DaylightBias);
    // North: summer between start and end; south: summer outside end..start.
    return start < end ? ticks >= start && ticks < end : !(ticks >= end && ticks < start);
}

} // namespace

extern "C" {

void WINAPI GetSystemTimeAsFileTime(LPFILETIME f) {
    if (f) *f = FromTicks(NowTicks());
}

void WINAPI GetSystemTime(LPSYSTEMTIME s) {
    if (s) FromTicksToSystem(NowTicks(), *s);
}

void WINAPI GetLocalTime(LPSYSTEMTIME s) {
    if (s) FromTicksToSystem(NowTicks() + OffsetNow() * TicksPerSecond, *s);
}

BOOL WINAPI FileTimeToSystemTime(const FILETIME* f, LPSYSTEMTIME s) {
    if (!f || !s || !FromTicksToSystem(Ticks(*f), *s)) return Fail(ERROR_INVALID_PARAMETER);
    return TRUE;
}

BOOL WINAPI SystemTimeToFileTime(const SYSTEMTIME* s, LPFILETIME f) {
    int64_t ticks;
    if (!s || !f || !ToTicks(*s, ticks)) return Fail(ERROR_INVALID_PARAMETER);
    *f = FromTicks(ticks);
    return TRUE;
}

BOOL WINAPI FileTimeToLocalFileTime(const FILETIME* f, LPFILETIME local) {
    if (!f || !local) return Fail(ERROR_INVALID_PARAMETER);
    *local = FromTicks(Ticks(*f) + OffsetNow() * TicksPerSecond);
    return TRUE;
}

BOOL WINAPI LocalFileTimeToFileTime(const FILETIME* local, LPFILETIME f) {
    if (!f || !local) return Fail(ERROR_INVALID_PARAMETER);
    *f = FromTicks(Ticks(*local) - OffsetNow() * TicksPerSecond);
    return TRUE;
}

BOOL WINAPI DosDateTimeToFileTime(WORD date, WORD time, LPFILETIME f) {
    if (!f) return Fail(ERROR_INVALID_PARAMETER);
    SYSTEMTIME s{};
    s.wYear = WORD(1980 + (date >> 9));
    s.wMonth = WORD((date >> 5) & 0x0F);
    s.wDay = WORD(date & 0x1F);
    s.wHour = WORD(time >> 11);
    s.wMinute = WORD((time >> 5) & 0x3F);
    s.wSecond = WORD((time & 0x1F) * 2);
    return SystemTimeToFileTime(&s, f);
}

BOOL WINAPI FileTimeToDosDateTime(const FILETIME* f, LPWORD date, LPWORD time) {
    SYSTEMTIME s{};
    if (!f || !date || !time || !FileTimeToSystemTime(f, &s) || s.wYear < 1980 || s.wYear > 2107)
        return Fail(ERROR_INVALID_PARAMETER);
    *date = WORD((s.wYear - 1980) << 9 | s.wMonth << 5 | s.wDay);
    *time = WORD(s.wHour << 11 | s.wMinute << 5 | s.wSecond / 2);
    return TRUE;
}

DWORD WINAPI GetTimeZoneInformation(LPTIME_ZONE_INFORMATION tz) {
    if (!tz) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return TIME_ZONE_ID_INVALID;
    }
    ::tzset();
    std::memset(tz, 0, sizeof *tz);
    const time_t now = ::time(nullptr);
    struct tm local {};
    ::localtime_r(&now, &local);
    const Year year = ThisYearCached(local.tm_year + 1900);
    tz->Bias = LONG(-year.standardOffset / 60);
    CopyName(tz->StandardName, ::tzname[0]);
    CopyName(tz->DaylightName, ::tzname[1]);
    if (!year.daylight) return TIME_ZONE_ID_UNKNOWN;
    tz->DaylightBias = LONG(-(year.daylightOffset - year.standardOffset) / 60);
    tz->DaylightDate = year.daylightStart;
    tz->StandardDate = year.daylightEnd;
    return local.tm_isdst > 0 ? TIME_ZONE_ID_DAYLIGHT : TIME_ZONE_ID_STANDARD;
}

BOOL WINAPI SystemTimeToTzSpecificLocalTime(const TIME_ZONE_INFORMATION* tz, const SYSTEMTIME* utc,
                                            LPSYSTEMTIME local) {
    int64_t ticks;
    if (!utc || !local || !ToTicks(*utc, ticks)) return Fail(ERROR_INVALID_PARAMETER);
    int64_t offset;
    if (tz) {
        offset = -int64_t(tz->Bias + (InDaylightTime(*tz, ticks, utc->wYear) ? tz->DaylightBias : tz->StandardBias)) * 60;
    } else {
        const time_t t = time_t(ticks / TicksPerSecond - EpochDays * 86400);
        struct tm tmLocal {};
        if (!::localtime_r(&t, &tmLocal)) return Fail(ERROR_INVALID_PARAMETER);
        offset = tmLocal.tm_gmtoff;
    }
    if (!FromTicksToSystem(ticks + offset * TicksPerSecond, *local)) return Fail(ERROR_INVALID_PARAMETER);
    return TRUE;
}

BOOL WINAPI QueryPerformanceCounter(LARGE_INTEGER* count) {
    if (!count) return Fail(ERROR_INVALID_PARAMETER);
    struct timespec t {};
    ::clock_gettime(CLOCK_MONOTONIC, &t);
    count->QuadPart = LONGLONG(t.tv_sec) * 1000000000 + t.tv_nsec;
    return TRUE;
}

BOOL WINAPI QueryPerformanceFrequency(LARGE_INTEGER* frequency) {
    if (!frequency) return Fail(ERROR_INVALID_PARAMETER);
    frequency->QuadPart = 1000000000;
    return TRUE;
}

} // extern "C"
