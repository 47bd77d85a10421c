// Rounding, MulDiv, clamping and the shared generator.
#include "rtl/Math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

struct RoundCase {
    double value;
    int64_t rounded;
    int64_t truncated;
};

class RoundTable : public ::testing::TestWithParam<RoundCase> {};

TEST_P(RoundTable, RoundsHalvesToEvenAndTruncatesTowardZero) {
    EXPECT_EQ(rtl::Round(GetParam().value), GetParam().rounded) << GetParam().value;
    EXPECT_EQ(rtl::Trunc(GetParam().value), GetParam().truncated) << GetParam().value;
}

INSTANTIATE_TEST_SUITE_P(Cases, RoundTable,
                         ::testing::Values(RoundCase{60.5, 60, 60}, RoundCase{2.5, 2, 2},
                                           RoundCase{3.5, 4, 3}, RoundCase{1.5, 2, 1}, RoundCase{2.7, 3, 2},
                                           RoundCase{-2.5, -2, -2}, RoundCase{-0.5, 0, 0},
                                           RoundCase{-2.7, -3, -2}, RoundCase{0.49999999999999994, 0, 0},
                                           RoundCase{4503599627370497.0, 4503599627370497, 4503599627370497},
                                           RoundCase{-9.2e18, -9200000000000000000, -9200000000000000000}));

TEST(Round, RaisesInvalidOpOutsideInt64) {
    EXPECT_THROW(rtl::Round(std::numeric_limits<double>::quiet_NaN()), rtl::EInvalidOp);
    EXPECT_THROW(rtl::Round(std::numeric_limits<double>::infinity()), rtl::EInvalidOp);
    EXPECT_THROW(rtl::Trunc(1e19), rtl::EInvalidOp);
    EXPECT_THROW(rtl::Floor(3e9), rtl::EInvalidOp);
}

TEST(FloorCeil, RoundTowardTheirInfinity) {
    EXPECT_EQ(rtl::Floor(-1.5), -2);
    EXPECT_EQ(rtl::Ceil(-1.5), -1);
    EXPECT_EQ(rtl::Floor(2.0), 2);
    EXPECT_EQ(rtl::Ceil(2.0000001), 3);
    EXPECT_DOUBLE_EQ(rtl::Frac(-2.25), -0.25);
}

struct MulDivCase {
    int number, numerator, denominator, expected;
};

class MulDivTable : public ::testing::TestWithParam<MulDivCase> {};

TEST_P(MulDivTable, IsExactAndRoundsHalvesAwayFromZero) {
    const auto& c = GetParam();
    EXPECT_EQ(rtl::MulDiv(c.number, c.numerator, c.denominator), c.expected)
        << c.number << "*" << c.numerator << "/" << c.denominator;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MulDivTable,
    ::testing::Values(MulDivCase{10, 3, 2, 15}, MulDivCase{5, 1, 2, 3}, MulDivCase{-5, 1, 2, -3},
                      MulDivCase{5, -1, 2, -3}, MulDivCase{5, 1, -2, -3}, MulDivCase{-5, -1, 2, 3},
                      MulDivCase{7, 1, 3, 2}, MulDivCase{8, 1, 3, 3}, MulDivCase{-7, 1, 3, -2},
                      MulDivCase{96, 120, 96, 120}, MulDivCase{12, 144, 96, 18},
                      MulDivCase{2147483647, 2147483647, 2147483647, 2147483647}, // needs 64 bits inside
                      MulDivCase{-2147483647 - 1, 1, 1, -2147483647 - 1}, MulDivCase{1, 1, 0, -1},
                      MulDivCase{0, 5, 0, -1}, MulDivCase{2147483647, 2, 1, -1})); // overflow

TEST(RoundTo, RoundsToPowersOfTenWithHalvesToEven) {
    EXPECT_DOUBLE_EQ(rtl::RoundTo(1234.5678, -2), 1234.57);
    EXPECT_DOUBLE_EQ(rtl::RoundTo(1250, 2), 1200);
    EXPECT_DOUBLE_EQ(rtl::RoundTo(1350, 2), 1400);
    EXPECT_DOUBLE_EQ(rtl::RoundTo(2.5, 0), 2);
    EXPECT_THROW(rtl::RoundTo(1, 21), rtl::ERangeError);
    EXPECT_THROW(rtl::RoundTo(1, -21), rtl::ERangeError);
}

TEST(Clamp, EnsureRangeMinMaxSign) {
    EXPECT_EQ(rtl::EnsureRange(5, 12, 50), 12);
    EXPECT_EQ(rtl::EnsureRange(60, 12, 50), 50);
    EXPECT_EQ(rtl::EnsureRange(20, 12, 50), 20);
    EXPECT_TRUE(rtl::InRange(6, 6, 20));
    EXPECT_FALSE(rtl::InRange(21, 6, 20));
    EXPECT_EQ(rtl::Min(3, -4), -4);
    EXPECT_DOUBLE_EQ(rtl::Max(1.5, 2.5), 2.5);
    EXPECT_EQ(rtl::Sign(-0.1), -1);
    EXPECT_EQ(rtl::Sign(0), 0);
    EXPECT_EQ(rtl::IfThen(true, 4, 5), 4);
}

TEST(Power, RaisesOnlyWhereNoRealResultExists) {
    EXPECT_NEAR(rtl::Power(0.5, 1 / 2.2), std::pow(0.5, 1 / 2.2), 1e-15);
    EXPECT_DOUBLE_EQ(rtl::Power(-2, 3), -8);
    EXPECT_DOUBLE_EQ(rtl::Power(0, 0), 1);
    EXPECT_THROW(rtl::Power(-2, 0.5), rtl::EInvalidOp);
}

TEST(Random, SameSeedGivesTheSameSequenceWithinRange) {
    auto draw = [](int32_t seed) {
        rtl::RandSeed = seed;
        std::vector<int> values;
        for (int i = 0; i < 200; ++i) values.push_back(rtl::Random(255));
        return values;
    };
    const auto a = draw(1234), b = draw(1234), c = draw(1235);
    EXPECT_EQ(a, b);
    EXPECT_NE(a, c);
    for (int v : a) {
        EXPECT_GE(v, 0);
        EXPECT_LT(v, 255);
    }
    rtl::RandSeed = 0;
    EXPECT_EQ(rtl::Random(1), 0);
    EXPECT_EQ(rtl::Random(0), 0);
    const double f = rtl::Random();
    EXPECT_GE(f, 0.0);
    EXPECT_LT(f, 1.0);
    rtl::RandSeed = 7;
    const int r = rtl::RandomRange(10, 5);
    EXPECT_GE(r, 5);
    EXPECT_LT(r, 10);
}

TEST(Random, SpreadsOverTheWholeRange) {
    rtl::RandSeed = 42;
    std::vector<int> seen(10, 0);
    for (int i = 0; i < 10000; ++i) ++seen[size_t(rtl::Random(10))];
    for (int count : seen) EXPECT_GT(count, 800);
}

} // namespace
