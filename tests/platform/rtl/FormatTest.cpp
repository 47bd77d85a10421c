// Format, FormatFloat and the float-to-text routines.
#include "rtl/SysUtils.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using rtl::String;

String S(const char16_t* Text) {
    return QString::fromUtf16(Text);
}

rtl::TFormatSettings Dot() {
    return rtl::TFormatSettings::Invariant();
}

rtl::TFormatSettings Comma() {
    rtl::TFormatSettings F = rtl::TFormatSettings::Invariant();
    F.DecimalSeparator = u',';
    F.ThousandSeparator = u'.';
    return F;
}

// ---- Format ----------------------------------------------------------------------------------------

struct FormatCase {
    const char16_t* format;
    rtl::TVarRecs args;
    const char16_t* expected;
};

class FormatTable : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatTable, FormatsLikeTheClassLibrary) {
    const auto& c = GetParam();
    EXPECT_EQ(rtl::Format(S(c.format), c.args, Dot()), S(c.expected))
        << QString::fromUtf16(c.format).toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FormatTable,
    ::testing::Values(
        FormatCase{u"%s: %d", {S(u"Name"), 42}, u"Name: 42"},
        FormatCase{u"%d, %s, %s", {7, u"a", "b"}, u"7, a, b"}, FormatCase{u"[%5d]", {42}, u"[   42]"},
        FormatCase{u"[%-5d]", {42}, u"[42   ]"}, FormatCase{u"[%2d]", {3}, u"[ 3]"},
        FormatCase{u"[%05d]", {3}, u"[    3]"}, // no zero flag: the 0 is part of the width
        FormatCase{u"Line_%.3d", {5}, u"Line_005"}, FormatCase{u"%.3d", {-7}, u"-007"},
        FormatCase{u"%d", {std::numeric_limits<int64_t>::min()}, u"-9223372036854775808"},
        FormatCase{u"%x", {255}, u"FF"}, FormatCase{u"#%.2x%.2x%.2x", {255, 128, 0}, u"#FF8000"},
        FormatCase{u"%4.4x%4.4x", {0x409, 0x4B0}, u"040904B0"}, FormatCase{u"%x", {-1}, u"FFFFFFFF"},
        FormatCase{u"%x", {int64_t(-1)}, u"FFFFFFFFFFFFFFFF"}, FormatCase{u"%u", {-1}, u"4294967295"},
        FormatCase{u"%u.%.2u Beta", {1u, 5u}, u"1.05 Beta"},
        FormatCase{u"%0:s-%1:s-%0:s", {u"a", u"b"}, u"a-b-a"},
        FormatCase{u"%1:s %s", {u"a", u"b", u"c"}, u"b c"}, // an index moves the argument cursor
        FormatCase{u"[%*d]", {5, 42}, u"[   42]"}, FormatCase{u"[%-*s]", {4, u"ab"}, u"[ab  ]"},
        FormatCase{u"%.*f", {2, 3.14159}, u"3.14"}, FormatCase{u"%f", {2.5}, u"2.50"},
        FormatCase{u"%.0f", {2.5}, u"3"}, // halves away from zero in the text forms
        FormatCase{u"%.0f", {-0.5}, u"-1"}, FormatCase{u"%.2f", {1234.5678}, u"1234.57"},
        FormatCase{u"%.2f", {-0.001}, u"0.00"}, FormatCase{u"%8.2f|", {3.14159}, u"    3.14|"},
        FormatCase{u"%2.0f bytes", {5.0}, u" 5 bytes"}, FormatCase{u"%2.0f bytes", {512.0}, u"512 bytes"},
        FormatCase{u"%n", {1234567.891}, u"1,234,567.89"}, FormatCase{u"%.0n", {-1234.5}, u"-1,235"},
        FormatCase{u"%e", {1234.5}, u"1.23450000000000E+003"},
        FormatCase{u"%.3e", {-0.000123}, u"-1.23E-004"}, FormatCase{u"%g", {2.5}, u"2.5"},
        FormatCase{u"%g", {1e20}, u"1E20"}, FormatCase{u"%s", {u'c'}, u"c"},
        FormatCase{u"%.2s|%5s|%-3s|", {u"abcdef", u"ab", u"x"}, u"ab|   ab|x  |"},
        FormatCase{u"100%%", {}, u"100%"},
        FormatCase{u"Error %d : %s.", {5, u"Access denied"}, u"Error 5 : Access denied."},
        FormatCase{u"UxTheme_TaskDialog  class %s hTheme %d",
                   {u"BUTTON", int64_t(0x10002)},
                   u"UxTheme_TaskDialog  class BUTTON hTheme 65538"},
        FormatCase{u"%D %S %X", {1, u"s", 10}, u"1 s A"})); // type letters in either case

TEST(Format, UsesTheSettingsDecimalSeparator) {
    EXPECT_EQ(rtl::Format(S(u"%.2f"), {1.5}, Comma()), S(u"1,50"));
    EXPECT_EQ(rtl::Format(S(u"%n"), {1234.5}, Comma()), S(u"1.234,50"));
}

TEST(Format, RaisesConvertErrorOnBadSpecifierOrArgument) {
    struct Bad {
        const char16_t* format;
        rtl::TVarRecs args;
    };
    const Bad cases[] = {
        {u"%d", {u"text"}}, {u"%s", {1}},   {u"%k", {1}}, {u"%f", {u"x"}},
        {u"%d", {1.5}},     {u"abc %", {}}, {u"%p", {1}}, {u"%5", {1}},
    };
    for (const auto& c : cases) {
        try {
            rtl::Format(S(c.format), c.args);
            ADD_FAILURE() << "no error for " << QString::fromUtf16(c.format).toStdString();
        } catch (const rtl::EConvertError& e) {
            EXPECT_EQ(e.Message(),
                      QStringLiteral("Format '%1' invalid or incompatible with argument").arg(S(c.format)));
        }
    }
}

TEST(Format, RaisesConvertErrorWhenAnArgumentIsMissing) {
    EXPECT_THROW(rtl::Format(u"%d %d", {1}), rtl::EConvertError);
    EXPECT_THROW(rtl::Format(u"%2:s", {u"a"}), rtl::EConvertError);
}

TEST(Format, PrintsPointersAsSixteenHexDigits) {
    const void* p = reinterpret_cast<const void*>(uintptr_t(0xABCDEF));
    EXPECT_EQ(rtl::Format(u"%p", {p}), S(u"0000000000ABCDEF"));
    EXPECT_EQ(rtl::Format(u"hTheme %d", {p}), S(u"hTheme 11259375")); // handles that are pointers
}

TEST(Format, RefusesAbsurdWidthsFromArguments) {
    EXPECT_THROW(rtl::Format(u"%*d", {2147483647, 1}), rtl::EConvertError);
    EXPECT_THROW(rtl::Format(u"%.*d", {-2147483647 - 1, 1}), rtl::EConvertError);
}

// ---- FormatFloat ---------------------------------------------------------------------------------------

struct PictureCase {
    const char16_t* picture;
    double value;
    const char16_t* dot;   // with '.' and ','
    const char16_t* comma; // with ',' and '.'
};

class FormatFloatTable : public ::testing::TestWithParam<PictureCase> {};

TEST_P(FormatFloatTable, RendersThePicture) {
    const auto& c = GetParam();
    const std::string label = QString::fromUtf16(c.picture).toStdString() + " / " + std::to_string(c.value);
    EXPECT_EQ(rtl::FormatFloat(S(c.picture), c.value, Dot()), S(c.dot)) << label;
    EXPECT_EQ(rtl::FormatFloat(S(c.picture), c.value, Comma()), S(c.comma)) << label;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FormatFloatTable,
    ::testing::Values(
        PictureCase{u"0.00", 1.5, u"1.50", u"1,50"}, PictureCase{u"0.00", 5 * 0.01, u"0.05", u"0,05"},
        PictureCase{u"0.00", 0.125, u"0.13", u"0,13"},  // an exact half rounds away from zero
        PictureCase{u"0.00", -0.001, u"0.00", u"0,00"}, // rounds to zero: no minus sign
        PictureCase{u"0", 2.5, u"3", u"3"}, PictureCase{u"0", -2.5, u"-3", u"-3"},
        PictureCase{u"0", 1e15, u"1000000000000000", u"1000000000000000"},
        PictureCase{u"#,##0.00", 1234567.891, u"1,234,567.89", u"1.234.567,89"},
        PictureCase{u"#,##0", 999, u"999", u"999"}, PictureCase{u"#,##0", -1000, u"-1,000", u"-1.000"},
        PictureCase{u"#.##", 0.5, u".5", u",5"}, PictureCase{u"#.##", 0, u"", u""},
        PictureCase{u"00000", 42, u"00042", u"00042"}, PictureCase{u"0.0#", 1.25, u"1.25", u"1,25"},
        PictureCase{u"0.0#", 1.2, u"1.2", u"1,2"},
        PictureCase{u"0.#", 3, u"3", u"3"}, // no fraction: no separator
        PictureCase{u"0.00E+00", 1234.5, u"1.23E+03", u"1,23E+03"},
        PictureCase{u"0.0E-0", 0.00012, u"1.2E-4", u"1,2E-4"},
        PictureCase{u"0.0e+000", 5, u"5.0e+000", u"5,0e+000"},
        PictureCase{u"0.0;(0.0)", -1.5, u"(1.5)", u"(1,5)"},
        PictureCase{u"0.0;(0.0);'zero'", 0, u"zero", u"zero"},
        PictureCase{u"0.0;;zero", -1.5, u"-1.5", u"-1,5"},    // an empty section falls back to the first
        PictureCase{u"0.0;(0.0);nil", -0.01, u"nil", u"nil"}, // rounds to zero: the zero section
        PictureCase{u"'Avg' 0.00 'kbps'", 1.5, u"Avg 1.50 kbps", u"Avg 1,50 kbps"},
        PictureCase{u"\"#\"0", 5, u"#5", u"#5"},
        PictureCase{u"Avg  0.00", 128.456, u"Avg  128.46", u"Avg  128,46"}, // letters are literals
        PictureCase{u"00-00", 1234, u"12-34", u"12-34"},
        PictureCase{u"0", 123456, u"123456", u"123456"}, // digits beyond the placeholders are kept
        PictureCase{u"", 2.5, u"2.5", u"2,5"}));

TEST(FormatFloat, ShowsNanAndInfinityByName) {
    EXPECT_EQ(rtl::FormatFloat(S(u"0.00"), std::numeric_limits<double>::quiet_NaN()), S(u"NAN"));
    EXPECT_EQ(rtl::FormatFloat(S(u"0.00"), -std::numeric_limits<double>::infinity()), S(u"-INF"));
}

// ---- FloatToStr / FloatToStrF ----------------------------------------------------------------------------

struct FloatCase {
    double value;
    const char16_t* expected;
};

class FloatToStrTable : public ::testing::TestWithParam<FloatCase> {};

TEST_P(FloatToStrTable, GivesTheShortestGeneralForm) {
    EXPECT_EQ(rtl::FloatToStr(GetParam().value, Dot()), S(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(Cases, FloatToStrTable,
                         ::testing::Values(FloatCase{2.5, u"2.5"}, FloatCase{2.50, u"2.5"},
                                           FloatCase{0, u"0"}, FloatCase{-1.5, u"-1.5"},
                                           FloatCase{1e20, u"1E20"}, FloatCase{1e15, u"1E15"},
                                           FloatCase{123456789012345.0, u"123456789012345"},
                                           FloatCase{0.1 + 0.2, u"0.3"},
                                           FloatCase{1.0 / 3, u"0.333333333333333"},
                                           FloatCase{0.0001, u"0.0001"}, FloatCase{0.00001, u"1E-5"},
                                           FloatCase{-1.5e-7, u"-1.5E-7"}, FloatCase{1234567.0, u"1234567"}));

TEST(FloatToStr, UsesTheLocaleSeparatorAndNoThousands) {
    EXPECT_EQ(rtl::FloatToStr(1234.5, Comma()), S(u"1234,5"));
}

TEST(FloatToStrF, RoundsToPrecisionThenShowsTheDecimals) {
    // The byte-count texts: four significant digits, two decimals shown.
    EXPECT_EQ(rtl::FloatToStrF(1048575.0 / 1024, rtl::ffFixed, 4, 2, Dot()), S(u"1024.00"));
    EXPECT_EQ(rtl::FloatToStrF(123456789.0 / 1048576, rtl::ffFixed, 4, 2, Dot()), S(u"117.70"));
    EXPECT_EQ(rtl::FloatToStrF(1536.0 / 1024, rtl::ffFixed, 4, 2, Comma()), S(u"1,50"));
    EXPECT_EQ(rtl::FloatToStrF(2.345, rtl::ffFixed, 15, 0, Dot()), S(u"2"));
    EXPECT_EQ(rtl::FloatToStrF(1234.5, rtl::ffExponent, 4, 2, Dot()), S(u"1.235E+03"));
    EXPECT_EQ(rtl::FloatToStrF(1234567.891, rtl::ffNumber, 15, 2, Dot()), S(u"1,234,567.89"));
    EXPECT_EQ(rtl::FloatToStrF(0.5, rtl::ffGeneral, 15, 0, Dot()), S(u"0.5"));
}

} // namespace
