// tests/base/StringsTest.cpp: the string, number and percent helpers.
#include <gtest/gtest.h>

#include "tests/support/QtPrint.h"

#include <QLocale>

#include "base/Conversion.h"
#include "base/Math.h"
#include "base/Strings.h"
#include "base/StringsExt.h"
#include "base/TStr.h"
#include "rtl/Math.h"
#include "rtl/SysUtils.h"

namespace {

using base::String;

QString Q(const char16_t* S) {
    return QString::fromUtf16(S);
}

struct SizeCase {
    int64_t Size;
    const char16_t* Expected;
};
class FileSizeText : public ::testing::TestWithParam<SizeCase> {};

TEST_P(FileSizeText, FormatsWithTwoDecimalsAndADot) {
    rtl::SetDefaultFormatLocale(QLocale(QLocale::German)); // ',' must not leak in
    EXPECT_EQ(base::FormatFileSizeText(GetParam().Size, QStringLiteral(" bytes")), Q(GetParam().Expected));
    rtl::SetDefaultFormatLocale(QLocale::c());
}

INSTANTIATE_TEST_SUITE_P(Cases, FileSizeText,
                         ::testing::Values(SizeCase{0, u" 0 bytes"}, SizeCase{5, u" 5 bytes"},
                                           SizeCase{512, u"512 bytes"}, SizeCase{1023, u"1023 bytes"},
                                           SizeCase{1024, u"1.00 KB"}, SizeCase{1536, u"1.50 KB"},
                                           SizeCase{-2048, u"-2.00 KB"},
                                           SizeCase{1152, u"1.13 KB"}, // 1.125: decimals round, halves up
                                           SizeCase{1048576, u"1.00 MB"}, SizeCase{1073741823, u"1024.00 MB"},
                                           SizeCase{1073741824, u"1.00 GB"},
                                           SizeCase{5LL * 1073741824 + 536870912, u"5.50 GB"}));

struct GroupCase {
    int64_t Value;
    char16_t Sep;
    const char16_t* Expected;
};
class DigitGroups : public ::testing::TestWithParam<GroupCase> {};

TEST_P(DigitGroups, SeparateThreesFromTheRight) {
    const auto& C = GetParam();
    EXPECT_EQ(base::GroupDigits(C.Value, C.Sep), Q(C.Expected));
    if (C.Value >= INT32_MIN && C.Value <= INT32_MAX) {
        EXPECT_EQ(base::GroupDigitsInt(int(C.Value), C.Sep), Q(C.Expected));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DigitGroups,
    ::testing::Values(GroupCase{0, u' ', u"0"}, GroupCase{999, u' ', u"999"}, GroupCase{1000, u' ', u"1 000"},
                      GroupCase{123456, u' ', u"123 456"}, GroupCase{1234567, u' ', u"1 234 567"},
                      GroupCase{-123456, u',', u"-123,456"}, GroupCase{-1000, u'.', u"-1.000"},
                      GroupCase{INT64_MIN, u'.', u"-9.223.372.036.854.775.808"}));

TEST(Strings, PaddingNeverCuts) {
    EXPECT_EQ(base::PadLeftText("7", 3, u'0'), "007");
    EXPECT_EQ(base::PadLeftText("12345", 3, u'0'), "12345");
    EXPECT_EQ(base::PadRightText("ab", 4, u'.'), "ab..");
    EXPECT_EQ(base::StrPadLeft("7", 2, u' '), " 7");
    EXPECT_EQ(base::StrPadRight("7", 0, u' '), "7");
}

TEST(Strings, BoundsAndSplitting) {
    EXPECT_EQ(base::StripBounds("[ x ]", "[", "]"), " x ");
    EXPECT_EQ(base::StripBounds("x]", "[", "]"), "x");
    EXPECT_EQ(base::StripBounds("[x", "[", ""), "x");
    EXPECT_EQ(base::StripBounds("]", "]", "]"), ""); // the prefix goes first
    EXPECT_EQ(base::SurroundText("a", u'<', u'>'), "<a>");

    std::vector<String> Parts{"old"};
    base::SplitToStringArray("a,,b,", Parts, ",");
    EXPECT_EQ(Parts, (std::vector<String>{"a", "", "b"}));
    base::SplitToStringArray("", Parts, ",");
    EXPECT_TRUE(Parts.empty());
    base::SplitToStringArray("a--b", Parts, "--");
    EXPECT_EQ(Parts, (std::vector<String>{"a", "b"}));
    base::SplitToStringArray("a,b", Parts, "");
    EXPECT_EQ(Parts, (std::vector<String>{"a,b"}));
}

TEST(Strings, ReplacingAndRemoving) {
    EXPECT_EQ(base::ReplaceAllText("aXbxc", "x", "-", true), "a-b-c");
    EXPECT_EQ(base::ReplaceAllText("aXbxc", "x", "-", false), "aXb-c");
    EXPECT_EQ(base::ReplaceFirstText("xax", "x", "", false), "ax");
    EXPECT_EQ(base::DeleteAllText(Q(u"Ärger ärger"), Q(u"ä"), true), "rger rger");
    EXPECT_EQ(base::StrRemoveAll("abab", "B", false), "abab");
    EXPECT_EQ(base::RemoveSpaces(" a\tb c "), "a\tbc");
    EXPECT_EQ(base::ReplaceInvalidFileNameChars("a:b?c\"d", "_", true), "a_b_c'd");
    EXPECT_EQ(base::ReplaceInvalidFileNameChars("a/b\\c<d>e|f*\"", "", false), "abcdef\"");
    EXPECT_EQ(base::ReplaceInvalidFileNameChars("a?b", "[?]", false), "a[?]b");
}

TEST(Strings, CharactersAndPositions) {
    EXPECT_EQ(base::FirstNonDigitPos("123a5"), 4);
    EXPECT_EQ(base::FirstNonDigitPos("123"), 0);
    EXPECT_EQ(base::FirstNonDigitPos(Q(u"١")), 1); // only ASCII digits count
    EXPECT_EQ(base::CountChar(u'a', "banana"), 3);
    EXPECT_EQ(base::LastCharPos("a/b/c", u'/'), 4);
    EXPECT_EQ(base::LastCharPos("abc", u'/'), 0);
    EXPECT_EQ(base::DropTrailingChar("ab/", u'/'), "ab");
    EXPECT_EQ(base::DropTrailingChar("", u'/'), "");
    EXPECT_EQ(base::UpperTrim(Q(u" äbc\t")), Q(u"äBC"));
    EXPECT_EQ(base::ExtractExtension("clip.webm.part", false), ".part");
    EXPECT_EQ(base::ExtractExtension("/a.b/clip", true), "");
    EXPECT_EQ(base::ExtractExtension("clip.MP3", true), "MP3");
    EXPECT_EQ(base::TrimDirTail("/a/."), "/a");
    EXPECT_EQ(base::TrimDirTail("/a/"), "/a");
    EXPECT_EQ(base::TrimDirTail("/"), "");
}

TEST(Strings, SplitToStringsTrimsAndAppends) {
    rtl::TStringList L;
    L.Add("kept");
    base::SplitToStrings(" a , b ,, c ", &L, ",");
    ASSERT_EQ(L.Count(), 5);
    EXPECT_EQ(L[0], "kept");
    EXPECT_EQ(L[1], "a");
    EXPECT_EQ(L[2], "b");
    EXPECT_EQ(L[3], "");
    EXPECT_EQ(L[4], "c");
    L.Clear();
    base::SplitToStrings("x;;  ", &L, ";"); // a blank remainder is not added
    EXPECT_EQ(L.Count(), 2);
    base::SplitToStrings("x", nullptr, ","); // no list: nothing happens
}

TEST(Strings, DecimalSeparatorFollowsTheLocale) {
    rtl::SetDefaultFormatLocale(QLocale(QLocale::German));
    EXPECT_EQ(base::GetDecimalSeparatorChar(), u',');
    rtl::SetDefaultFormatLocale(QLocale::c());
    EXPECT_EQ(base::GetDecimalSeparatorChar(), u'.');
}

TEST(Strings, RandomHexStringsNeverHoldFF) {
    rtl::RandSeed = 12345;
    const String S = base::MakeRandomHexString(4, "", false);
    ASSERT_EQ(S.size(), 8);
    EXPECT_EQ(S, S.toUpper());
    for (int i = 0; i < 2000; ++i) {
        const String One = base::MakeRandomHexString(1, "", false);
        ASSERT_NE(One, "FF");
    }
    EXPECT_EQ(base::MakeRandomHexString(3, ":", true).size(), 8);
    EXPECT_EQ(base::MakeRandomHexString(3, ":", true).count(u':'), 2);
    EXPECT_EQ(base::MakeRandomHexString(0, ":", true), "");
    const String Lower = base::MakeRandomHexString(50, "", true);
    EXPECT_EQ(Lower, Lower.toLower());
}

TEST(Conversion, HexAndByteReaders) {
    int64_t V = -1;
    EXPECT_TRUE(base::TryHexToInt64("$1A", V));
    EXPECT_EQ(V, 26);
    EXPECT_TRUE(base::TryHexToInt64("ff", V));
    EXPECT_EQ(V, 255);
    V = 7;
    EXPECT_FALSE(base::TryHexToInt64("", V));
    EXPECT_FALSE(base::TryHexToInt64("xyz", V));
    EXPECT_EQ(V, 7);
    uint8_t B = 9;
    EXPECT_TRUE(base::TryHexToByte("FF", B));
    EXPECT_EQ(B, 255);
    EXPECT_FALSE(base::TryHexToByte("100", B));
    EXPECT_EQ(B, 255);
    EXPECT_TRUE(base::TryTextToByte("200", B));
    EXPECT_EQ(B, 200);
    EXPECT_FALSE(base::TryTextToByte("256", B));
    EXPECT_FALSE(base::TryTextToByte("-1", B));
}

struct ValidityCase {
    const char16_t* Text;
    bool IgnoreSpaces;
    bool Float;
    bool Int;
};
class NumberTexts : public ::testing::TestWithParam<ValidityCase> {};

TEST_P(NumberTexts, AreCheckedCharacterByCharacter) {
    const auto& C = GetParam();
    EXPECT_EQ(base::IsValidFloatText(Q(C.Text), C.IgnoreSpaces), C.Float);
    EXPECT_EQ(base::IsValidIntText(Q(C.Text), C.IgnoreSpaces), C.Int);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NumberTexts,
    ::testing::Values(ValidityCase{u"-1.5E3", false, true, false}, ValidityCase{u"1,5", false, true, false},
                      ValidityCase{u"1.5,3", false, false, false}, ValidityCase{u"1E+3", false, false, false},
                      ValidityCase{u"1E-3", false, false, false}, ValidityCase{u"", false, true, true},
                      ValidityCase{u"-", false, true, true}, ValidityCase{u"+12", false, true, true},
                      ValidityCase{u"1 2", false, false, false}, ValidityCase{u"1 2", true, true, true},
                      ValidityCase{u"1e2e3", false, false, false}, ValidityCase{u"1..2", false, false, false},
                      ValidityCase{u"12a", false, false, false}));

TEST(Conversion, TextToNumbers) {
    EXPECT_EQ(base::TextToInt("$1F"), 31);
    EXPECT_EQ(base::TextToInt("-12"), -12);
    EXPECT_THROW(base::TextToInt("12a"), rtl::EConvertError);
    EXPECT_TRUE(base::IsIntConvertible("0x10"));
    EXPECT_FALSE(base::IsIntConvertible("1.5"));
    EXPECT_TRUE(base::IsFloatConvertible("1.5"));
    EXPECT_FALSE(base::IsFloatConvertible("nan"));
    for (const QLocale& Locale : {QLocale::c(), QLocale(QLocale::German)}) {
        rtl::SetDefaultFormatLocale(Locale);
        EXPECT_DOUBLE_EQ(base::TextToFloatDef("1,5", 9), 1.5);
        EXPECT_DOUBLE_EQ(base::TextToFloatDef("1.5", 9), 1.5);
        EXPECT_DOUBLE_EQ(base::TextToFloatDef("abc", 9), 9);
        EXPECT_DOUBLE_EQ(base::TextToFloatDef("1.000,5", 9), 9);
    }
    rtl::SetDefaultFormatLocale(QLocale::c());
    EXPECT_EQ(base::GetDecimalSeparatorChar(), u'.');
    EXPECT_EQ(base::Int64ToText(-9000000000LL), "-9000000000");
    EXPECT_EQ(base::IntToText(0), "0");
    EXPECT_EQ(base::BoolToDigit(true), "1");
    EXPECT_EQ(base::IfThenText(false, "a", "b"), "b");
}

TEST(Conversion, ClampTestsMinFirst) {
    EXPECT_EQ(base::ClampInt(5, 0, 3), 3);
    EXPECT_EQ(base::ClampInt(-5, 0, 3), 0);
    EXPECT_EQ(base::ClampInt(5, 10, 3), 10); // empty range: Min wins
    EXPECT_EQ(base::ClampInt64(INT64_MAX, 0, 1LL << 40), 1LL << 40);
    int V = 12;
    base::ClampIntVar(V, 0, 10);
    EXPECT_EQ(V, 10);
}

TEST(Percent, RoundsHalvesToEvenAndSurvivesZero) {
    EXPECT_DOUBLE_EQ(base::PercentRatio(5, 0), 0);
    EXPECT_DOUBLE_EQ(base::PercentRatio(1, 4), 25);
    EXPECT_EQ(base::PercentOfRounded(5, 50), 2);
    EXPECT_EQ(base::PercentOfRounded(7, 50), 4);
    EXPECT_DOUBLE_EQ(base::PercentOf(200, 15), 30);
}

} // namespace
