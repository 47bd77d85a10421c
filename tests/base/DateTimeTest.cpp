// tests/base/DateTimeTest.cpp: clock texts.
#include <gtest/gtest.h>

#include "tests/support/QtPrint.h"

#include "base/DateTime.h"
#include "rtl/DateUtils.h"

namespace {

struct ClockCase {
    int64_t Ms;
    bool Round;
    const char* Expected;
};
class ClockText : public ::testing::TestWithParam<ClockCase> {};

TEST_P(ClockText, CarriesRoundingIntoMinutesAndHours) {
    EXPECT_EQ(base::MsToClockText(GetParam().Ms, GetParam().Round), QString::fromLatin1(GetParam().Expected));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ClockText,
    ::testing::Values(ClockCase{0, true, "00:00:00"}, ClockCase{-5, false, "00:00:00.000"},
                      ClockCase{59500, true, "00:01:00"}, ClockCase{59499, true, "00:00:59"},
                      ClockCase{3723004, false, "01:02:03.004"}, ClockCase{3599500, true, "01:00:00"},
                      ClockCase{360000000, true, "100:00:00"}));

struct ClockExCase {
    uint32_t Ms;
    uint8_t Precision;
    bool Omit;
    const char* Expected;
};
class ClockTextEx : public ::testing::TestWithParam<ClockExCase> {};

TEST_P(ClockTextEx, CutsToThePrecisionWithoutRounding) {
    const auto& C = GetParam();
    EXPECT_EQ(base::MsToClockTextEx(C.Ms, C.Precision, C.Omit), QString::fromLatin1(C.Expected));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ClockTextEx,
    ::testing::Values(ClockExCase{61000, 1, true, "01:01"}, ClockExCase{61950, 2, true, "01:01.9"},
                      ClockExCase{61950, 2, false, "00:01:01.9"}, ClockExCase{3661999, 0, true, "01:01"},
                      ClockExCase{61999, 0, true, "00:01"}, ClockExCase{61999, 1, false, "00:01:01"},
                      ClockExCase{3661007, 3, true, "01:01:01.007"}, ClockExCase{61007, 4, true, "01:01.007"},
                      ClockExCase{61007, 9, false, "00:01:01.007"},
                      ClockExCase{4294967295u, 3, false, "1193:02:47.295"}));

TEST(ClockTexts, SecondsAndDates) {
    EXPECT_EQ(base::MsToSecText(65432, 0, 3), "65.432");
    EXPECT_EQ(base::MsToSecText(65432, 4, 3), "0065.432");
    EXPECT_EQ(base::MsToSecText(40, 0, 3), "0.040");
    EXPECT_EQ(base::MsToSecText(999, 0, 3), "0.999");
    EXPECT_EQ(base::SecToClockText(3725), "01:02:05");
    EXPECT_EQ(base::SecondsToMs(90), 90000);

    const rtl::TDateTime T = rtl::EncodeDateTime(987, 3, 4, 5, 6, 7, 89);
    EXPECT_EQ(base::DateTimeToTextSep(T, "-", ":", " ", ".", true), "987-03-04 05:06:07.089");
    EXPECT_EQ(base::DateTimeToTextSepEx(T, false, "", "", "_", "."), "9870304_050607");
}

} // namespace
