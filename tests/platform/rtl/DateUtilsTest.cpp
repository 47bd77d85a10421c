// TDateTime encoding, arithmetic, formatting, parsing, the clock and the time-zone conversions.
#include "rtl/DateUtils.h"

#include <gtest/gtest.h>

#include <QDate>

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

namespace {

using rtl::String;
using rtl::TDateTime;

String S(const char16_t* Text) {
    return QString::fromUtf16(Text);
}

// Pins the clock for one test.
class ClockScope {
public:
    explicit ClockScope(TDateTime Value) {
        rtl::SetClock([Value] { return Value; });
    }
    ~ClockScope() { rtl::SetClock({}); }
};

// Pins the process time zone for one test (POSIX rules, so no zone database is needed).
class TimeZoneScope {
public:
    explicit TimeZoneScope(const char* Zone) {
        if (const char* old = std::getenv("TZ")) FOld = old;
        setenv("TZ", Zone, 1);
        tzset();
    }
    ~TimeZoneScope() {
        if (FOld)
            setenv("TZ", FOld->c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

private:
    std::optional<std::string> FOld;
};

const rtl::TFormatSettings& English() {
    static const rtl::TFormatSettings f = rtl::TFormatSettings::Invariant();
    return f;
}

rtl::TFormatSettings German() {
    rtl::TFormatSettings f = rtl::TFormatSettings::Invariant();
    f.DateSeparator = u'.';
    f.ShortDateFormat = S(u"dd/mm/yyyy");
    f.DecimalSeparator = u',';
    return f;
}

// ---- encoding -----------------------------------------------------------------------------------------

TEST(EncodeDate, CountsDaysFrom1899_12_30) {
    EXPECT_EQ(rtl::EncodeDate(1899, 12, 30), 0);
    EXPECT_EQ(rtl::EncodeDate(1900, 1, 1), 2);
    EXPECT_EQ(rtl::EncodeDate(1970, 1, 1), rtl::UnixDateDelta);
    EXPECT_EQ(rtl::EncodeDate(2000, 2, 29), 36585);
    EXPECT_EQ(rtl::EncodeDate(1899, 12, 29), -1);
    EXPECT_EQ(rtl::EncodeDate(1, 1, 1), -693593);
    EXPECT_DOUBLE_EQ(rtl::EncodeTime(18, 0, 0, 0), 0.75);
}

TEST(EncodeDate, RejectsDaysThatDoNotExist) {
    TDateTime d = 123;
    EXPECT_FALSE(rtl::TryEncodeDate(2023, 2, 29, d));
    EXPECT_FALSE(rtl::TryEncodeDate(1900, 2, 29, d)); // century, not a leap year
    EXPECT_TRUE(rtl::TryEncodeDate(2000, 2, 29, d));  // 400-year rule
    EXPECT_FALSE(rtl::TryEncodeDate(2024, 4, 31, d));
    EXPECT_FALSE(rtl::TryEncodeDate(0, 1, 1, d));
    EXPECT_FALSE(rtl::TryEncodeDate(10000, 1, 1, d));
    EXPECT_FALSE(rtl::TryEncodeDate(2024, 13, 1, d));
    EXPECT_FALSE(rtl::TryEncodeTime(24, 0, 0, 0, d));
    EXPECT_FALSE(rtl::TryEncodeTime(0, 0, 60, 0, d));
    EXPECT_THROW(rtl::EncodeDate(2023, 2, 29), rtl::EConvertError);
    EXPECT_THROW(rtl::EncodeTime(0, 0, 0, 1000), rtl::EConvertError);
}

TEST(EncodeDate, RoundTripsEveryDayOfSelectedYears) {
    for (int year : {1, 1600, 1899, 1900, 1970, 2000, 2023, 2024, 2100, 9999}) {
        TDateTime previous = rtl::EncodeDate(year, 1, 1) - 1;
        for (int month = 1; month <= 12; ++month) {
            ASSERT_EQ(rtl::DaysInAMonth(year, month),
                      month == 2 ? (rtl::IsLeapYear(year) ? 29 : 28)
                                 : (month == 4 || month == 6 || month == 9 || month == 11 ? 30 : 31));
            for (int day = 1; day <= rtl::DaysInAMonth(year, month); ++day) {
                const TDateTime d = rtl::EncodeDateTime(year, month, day, 13, 45, 30, 250);
                int y, m, dd, h, n, s, z;
                rtl::DecodeDateTime(d, y, m, dd, h, n, s, z);
                ASSERT_EQ((std::vector<int>{y, m, dd, h, n, s, z}),
                          (std::vector<int>{year, month, day, 13, 45, 30, 250}))
                    << year << "-" << month << "-" << day;
                ASSERT_EQ(rtl::DateOf(d), previous + 1); // consecutive days, across month ends
                previous = rtl::DateOf(d);
            }
        }
    }
}

TEST(EncodeDate, AgreesWithQtsGregorianCalendar) {
    const qint64 zero = QDate(1899, 12, 30).toJulianDay();
    for (int year = 1; year <= 9999; year += 37) {
        for (int month = 1; month <= 12; month += 5) {
            const int day = rtl::DaysInAMonth(year, month);
            ASSERT_EQ(day, QDate(year, month, 1).daysInMonth());
            ASSERT_EQ(rtl::EncodeDate(year, month, day), double(QDate(year, month, day).toJulianDay() - zero))
                << year << "-" << month;
        }
    }
}

TEST(DecodeDate, ReadsDatesBefore1899AsTheClassLibraryDoes) {
    // -1.25 is 1899-12-29 06:00: the day counts back, the fraction is the time.
    int y, m, d, h, n, s, z;
    rtl::DecodeDateTime(-1.25, y, m, d, h, n, s, z);
    EXPECT_EQ((std::vector<int>{y, m, d, h}), (std::vector<int>{1899, 12, 29, 6}));
    EXPECT_DOUBLE_EQ(rtl::EncodeDateTime(1899, 12, 29, 6, 0, 0, 0), -1.25);
}

TEST(DecodeTime, RoundsToTheMillisecond) {
    int h, n, s, z;
    rtl::DecodeTime(rtl::EncodeTime(23, 59, 59, 999), h, n, s, z);
    EXPECT_EQ((std::vector<int>{h, n, s, z}), (std::vector<int>{23, 59, 59, 999}));
    int y, m, d;
    rtl::DecodeDateTime(rtl::EncodeDate(2024, 2, 28) + 0.99999999999, y, m, d, h, n, s,
                        z); // rounds into the next day
    EXPECT_EQ((std::vector<int>{y, m, d, h}), (std::vector<int>{2024, 2, 29, 0}));
}

TEST(DayOfWeek, CountsFromSunday) {
    EXPECT_EQ(rtl::DayOfWeek(rtl::EncodeDate(2024, 1, 7)), 1); // Sunday
    EXPECT_EQ(rtl::DayOfWeek(rtl::EncodeDate(2024, 1, 1)), 2); // Monday
    EXPECT_EQ(rtl::DayOfWeek(0), 7);                           // 1899-12-30, a Saturday
    EXPECT_EQ(rtl::DayOfWeek(rtl::EncodeDate(1601, 1, 1)), 2);
    EXPECT_EQ(rtl::DayOfTheWeek(rtl::EncodeDate(2024, 1, 7)), 7);
}

// ---- arithmetic ---------------------------------------------------------------------------------------

struct IncMonthCase {
    int y, m, d, months, ey, em, ed;
};

class IncMonthTable : public ::testing::TestWithParam<IncMonthCase> {};

TEST_P(IncMonthTable, KeepsTheDayOrTakesTheLastDay) {
    const auto& c = GetParam();
    const TDateTime r = rtl::IncMonth(rtl::EncodeDateTime(c.y, c.m, c.d, 10, 30, 0, 0), c.months);
    int y, m, d, h, n, s, z;
    rtl::DecodeDateTime(r, y, m, d, h, n, s, z);
    EXPECT_EQ((std::vector<int>{y, m, d, h, n}), (std::vector<int>{c.ey, c.em, c.ed, 10, 30}));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IncMonthTable,
    ::testing::Values(IncMonthCase{2024, 1, 31, 1, 2024, 2, 29}, IncMonthCase{2023, 1, 31, 1, 2023, 2, 28},
                      IncMonthCase{2024, 3, 31, -1, 2024, 2, 29}, IncMonthCase{2024, 12, 15, 1, 2025, 1, 15},
                      IncMonthCase{2024, 1, 15, -1, 2023, 12, 15}, IncMonthCase{2024, 2, 29, 12, 2025, 2, 28},
                      IncMonthCase{1899, 12, 30, -3588, 1600, 12, 30}, // across the zero date
                      IncMonthCase{2000, 5, 31, 0, 2000, 5, 31}));

TEST(IncTime, MovesForwardAcrossTheZeroDate) {
    // Plain arithmetic on the double would go the wrong way before 1899-12-30; these count milliseconds.
    const TDateTime before = rtl::EncodeDateTime(1899, 12, 29, 18, 0, 0, 0);
    int y, m, d, h, n, s, z;
    rtl::DecodeDateTime(rtl::IncHour(before, 12), y, m, d, h, n, s, z);
    EXPECT_EQ((std::vector<int>{y, m, d, h}), (std::vector<int>{1899, 12, 30, 6}));
    rtl::DecodeDateTime(rtl::IncHour(rtl::EncodeDateTime(1899, 12, 30, 6, 0, 0, 0), -12), y, m, d, h, n, s,
                        z);
    EXPECT_EQ((std::vector<int>{y, m, d, h}), (std::vector<int>{1899, 12, 29, 18}));
    rtl::DecodeDateTime(rtl::IncMilliSecond(rtl::EncodeDate(1601, 1, 1), 1500), y, m, d, h, n, s, z);
    EXPECT_EQ((std::vector<int>{y, m, d, s, z}), (std::vector<int>{1601, 1, 1, 1, 500}));
    EXPECT_DOUBLE_EQ(rtl::IncDay(rtl::EncodeDate(2024, 2, 28), 2), rtl::EncodeDate(2024, 3, 1));
    EXPECT_EQ(rtl::SecondsBetween(rtl::EncodeTime(1, 0, 0, 0), rtl::EncodeTime(0, 59, 0, 0)), 60);
    EXPECT_THROW(rtl::IncHour(0, INT64_MAX / 2), rtl::EConvertError); // no silent wrap-around
    EXPECT_THROW(rtl::DecodeDate(1e300, y, m, d), rtl::EConvertError);
}

// ---- clock, Unix time, time zones --------------------------------------------------------------------

TEST(Clock, NowDateAndTimeReadTheInjectedClock) {
    const TDateTime at = rtl::EncodeDateTime(2024, 3, 5, 14, 7, 9, 45);
    {
        ClockScope clock(at);
        EXPECT_DOUBLE_EQ(rtl::Now(), at);
        EXPECT_DOUBLE_EQ(rtl::Date(), rtl::EncodeDate(2024, 3, 5));
        EXPECT_NEAR(rtl::Time(), rtl::EncodeTime(14, 7, 9, 45), 1e-9);
    }
    EXPECT_GT(rtl::Now(), rtl::EncodeDate(2024, 1, 1)); // the system clock again
}

TEST(UnixTime, ConvertsBothWays) {
    EXPECT_EQ(rtl::DateTimeToUnix(rtl::EncodeDate(1970, 1, 1)), 0);
    EXPECT_EQ(rtl::DateTimeToUnix(rtl::EncodeDateTime(2024, 3, 5, 14, 7, 9, 0)), 1709647629);
    EXPECT_EQ(rtl::DateTimeToUnix(rtl::EncodeDateTime(1969, 12, 31, 23, 59, 59, 0)), -1);
    EXPECT_DOUBLE_EQ(rtl::UnixToDateTime(86400), rtl::EncodeDate(1970, 1, 2));
    EXPECT_EQ(rtl::DateTimeToUnix(rtl::UnixToDateTime(-11644473600)), -11644473600); // 1601-01-01
}

TEST(TimeZone, LocalAndUtcFollowTheZoneRules) {
    TimeZoneScope zone("CET-1CEST,M3.5.0,M10.5.0/3");
    const TDateTime winterUtc = rtl::EncodeDateTime(2024, 1, 15, 12, 0, 0, 0);
    const TDateTime summerUtc = rtl::EncodeDateTime(2024, 7, 15, 12, 0, 0, 0);
    EXPECT_EQ(rtl::LocalUtcOffsetMinutes(winterUtc), 60);
    EXPECT_EQ(rtl::LocalUtcOffsetMinutes(summerUtc), 120);
    EXPECT_DOUBLE_EQ(rtl::UTCToLocal(summerUtc), rtl::EncodeDateTime(2024, 7, 15, 14, 0, 0, 0));
    EXPECT_NEAR(rtl::LocalToUTC(rtl::EncodeDateTime(2024, 1, 15, 13, 0, 0, 500)),
                rtl::EncodeDateTime(2024, 1, 15, 12, 0, 0, 500), 1e-9);
}

TEST(FileDate, IsUnixTimeWithEvenSeconds) {
    TimeZoneScope zone("UTC0");
    const TDateTime local = rtl::EncodeDateTime(2024, 3, 5, 14, 7, 9, 700);
    const int64_t fileDate = rtl::DateTimeToFileDate(local);
    EXPECT_EQ(fileDate, 1709647628);
    EXPECT_DOUBLE_EQ(rtl::FileDateToDateTime(fileDate), rtl::EncodeDateTime(2024, 3, 5, 14, 7, 8, 0));
}

// ---- formatting -----------------------------------------------------------------------------------------

struct FormatDateCase {
    const char16_t* format;
    const char16_t* expected;
};

class FormatDateTimeTable : public ::testing::TestWithParam<FormatDateCase> {};

TEST_P(FormatDateTimeTable, RendersEveryLetter) {
    const TDateTime at = rtl::EncodeDateTime(2024, 3, 5, 14, 7, 9, 45);
    EXPECT_EQ(rtl::FormatDateTime(S(GetParam().format), at, English()), S(GetParam().expected))
        << QString::fromUtf16(GetParam().format).toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FormatDateTimeTable,
    ::testing::Values(FormatDateCase{u"yyyy-mm-dd hh:nn:ss.zzz", u"2024-03-05 14:07:09.045"},
                      FormatDateCase{u"d/m/yy", u"5/3/24"}, FormatDateCase{u"YYYY/MM/DD", u"2024/03/05"},
                      FormatDateCase{u"mmm mmmm ddd dddd", u"Mar March Tue Tuesday"},
                      FormatDateCase{u"hh:mm", u"14:07"}, // m right after h is the minute
                      FormatDateCase{u"h:m:s z", u"14:7:9 45"}, FormatDateCase{u"h:nn am/pm", u"2:07 pm"},
                      FormatDateCase{u"hh:nn AM/PM", u"02:07 PM"}, FormatDateCase{u"h a/p", u"2 p"},
                      FormatDateCase{u"h ampm", u"2 PM"},
                      FormatDateCase{u"'Today is' dddd", u"Today is Tuesday"},
                      FormatDateCase{u"\"y\" yyyy", u"y 2024"}, FormatDateCase{u"ddddd", u"03/05/2024"},
                      FormatDateCase{u"c", u"03/05/2024 14:07:09"},
                      FormatDateCase{u"t|tt", u"14:07|14:07:09"},
                      FormatDateCase{u"", u"03/05/2024 14:07:09"}));

TEST(FormatDateTime, UsesTheSettingsSeparatorsAndNames) {
    const TDateTime at = rtl::EncodeDateTime(2024, 3, 5, 0, 0, 0, 0);
    EXPECT_EQ(rtl::FormatDateTime(S(u"dd/mm/yyyy"), at, German()), S(u"05.03.2024"));
    EXPECT_EQ(rtl::FormatDateTime(S(u"h:nn am/pm"), at, English()), S(u"12:00 am"));
    EXPECT_EQ(rtl::FormatDateTime(S(u"yyyy-mm-dd"), rtl::EncodeDate(1601, 1, 1), English()),
              S(u"1601-01-01"));
}

TEST(DateTimeToStr, LeavesOutTheTimeAtExactlyMidnight) {
    EXPECT_EQ(rtl::DateTimeToStr(rtl::EncodeDate(2024, 3, 5), English()), S(u"03/05/2024"));
    EXPECT_EQ(rtl::DateTimeToStr(rtl::EncodeDateTime(2024, 3, 5, 0, 0, 1, 0), English()),
              S(u"03/05/2024 00:00:01"));
    EXPECT_EQ(rtl::DateToStr(rtl::EncodeDate(2024, 3, 5), German()), S(u"05.03.2024"));
    EXPECT_EQ(rtl::TimeToStr(rtl::EncodeTime(9, 5, 3, 0), English()), S(u"09:05:03"));
}

// ---- parsing ---------------------------------------------------------------------------------------------

struct ParseCase {
    const char16_t* text;
    bool german;
    std::optional<TDateTime> expected;
};

class StrToDateTimeTable : public ::testing::TestWithParam<ParseCase> {};

TEST_P(StrToDateTimeTable, ReadsDatesInShortDateOrder) {
    ClockScope clock(rtl::EncodeDate(2024, 6, 1));
    const auto& c = GetParam();
    TDateTime value = -7;
    EXPECT_EQ(rtl::TryStrToDateTime(S(c.text), value, c.german ? German() : English()),
              c.expected.has_value())
        << QString::fromUtf16(c.text).toStdString();
    if (c.expected) {
        EXPECT_NEAR(value, *c.expected, 1e-9) << QString::fromUtf16(c.text).toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StrToDateTimeTable,
    ::testing::Values(ParseCase{u"03/05/2024", false, rtl::EncodeDate(2024, 3, 5)},
                      ParseCase{u"05.03.2024", true, rtl::EncodeDate(2024, 3, 5)},
                      ParseCase{u"5.3.2024 14:07:09", true, rtl::EncodeDateTime(2024, 3, 5, 14, 7, 9, 0)},
                      ParseCase{u"3/5/2024 2:07 PM", false, rtl::EncodeDateTime(2024, 3, 5, 14, 7, 0, 0)},
                      ParseCase{u"3/5/2024 12:00:00 am", false, rtl::EncodeDate(2024, 3, 5)},
                      ParseCase{u"3/5/2024 10:00:00.5", false,
                                rtl::EncodeDateTime(2024, 3, 5, 10, 0, 0, 500)},
                      ParseCase{u"3/5", false, rtl::EncodeDate(2024, 3, 5)}, // this year
                      ParseCase{u"3/5/24", false, rtl::EncodeDate(2024, 3, 5)},
                      ParseCase{u"3/5/80", false, rtl::EncodeDate(1980, 3, 5)}, // 50-year window
                      ParseCase{u"14:07", false, rtl::EncodeTime(14, 7, 0, 0)},
                      ParseCase{u"31.02.2024", true, std::nullopt},
                      ParseCase{u"03/05/2024 25:00", false, std::nullopt},
                      ParseCase{u"13:00 PM", false, std::nullopt}, ParseCase{u"2024", false, std::nullopt},
                      ParseCase{u"", false, std::nullopt}, ParseCase{u"03/05/2024 x", false, std::nullopt}));

TEST(StrToDate, RaisesConvertErrorWithTheText) {
    try {
        rtl::StrToDate(S(u"31.02.2024"), German());
        FAIL() << "no error";
    } catch (const rtl::EConvertError& e) {
        EXPECT_EQ(e.Message(), S(u"'31.02.2024' is not a valid date"));
    }
    EXPECT_THROW(rtl::StrToDateTime(S(u"x"), English()), rtl::EConvertError);
    EXPECT_DOUBLE_EQ(rtl::StrToDateTimeDef(S(u"x"), 0), 0);
}

TEST(StrToDateTime, ReadsBackWhatDateTimeToStrWrote) {
    for (const TDateTime at : {rtl::EncodeDateTime(2024, 12, 31, 23, 59, 59, 0), rtl::EncodeDate(1999, 1, 1),
                               rtl::EncodeDateTime(1800, 6, 15, 6, 30, 0, 0)}) {
        for (const auto& settings : {English(), German()})
            EXPECT_NEAR(rtl::StrToDateTime(rtl::DateTimeToStr(at, settings), settings), at, 1e-9);
    }
}

} // namespace
