// String primitives, integer, float and boolean conversions, GUIDs and the format settings.
#include "rtl/SysUtils.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

using rtl::String;

String S(const char16_t* Text) {
    return QString::fromUtf16(Text);
}

// Pins the global settings for one test and puts the previous ones back.
class SettingsScope {
public:
    explicit SettingsScope(const QLocale& Locale)
        : FSaved(rtl::FormatSettings), FLocale(rtl::DefaultFormatLocale()) {
        rtl::SetDefaultFormatLocale(Locale);
    }
    ~SettingsScope() {
        rtl::SetDefaultFormatLocale(FLocale);
        rtl::FormatSettings = FSaved;
    }

private:
    rtl::TFormatSettings FSaved;
    QLocale FLocale;
};

// ---- 1-based primitives ----------------------------------------------------------------------------

TEST(StringPrimitives, PositionsCountFromOne) {
    EXPECT_EQ(rtl::Pos(S(u"b"), S(u"abcb")), 2);
    EXPECT_EQ(rtl::Pos(S(u"x"), S(u"abc")), 0);
    EXPECT_EQ(rtl::Pos(S(u""), S(u"abc")), 0);
    EXPECT_EQ(rtl::Pos(u'\t', S(u"File\tCtrl+O")), 5);
    EXPECT_EQ(rtl::PosEx(S(u":"), S(u"a:b:c"), 3), 4);
    EXPECT_EQ(rtl::PosEx(S(u":"), S(u"a:b:c"), 0), 0);
    EXPECT_EQ(rtl::PosEx(S(u":"), S(u"a:b:c"), 9), 0);
}

TEST(StringPrimitives, CopyClipsIndexAndCount) {
    const String s = S(u"abcdef");
    EXPECT_EQ(rtl::Copy(s, 2, 3), S(u"bcd"));
    EXPECT_EQ(rtl::Copy(s, 0, 2), S(u"ab")); // index below 1 counts from 1
    EXPECT_EQ(rtl::Copy(s, 5, 100), S(u"ef"));
    EXPECT_EQ(rtl::Copy(s, 7, 1), S(u""));
    EXPECT_EQ(rtl::Copy(s, 2, -1), S(u""));
    EXPECT_EQ(rtl::Copy(s, 3), S(u"cdef"));
}

TEST(StringPrimitives, DeleteAndInsertIgnoreOutOfRangeIndexes) {
    String s = S(u"abcdef");
    rtl::Delete(s, 2, 2);
    EXPECT_EQ(s, S(u"adef"));
    rtl::Delete(s, 3, 100);
    EXPECT_EQ(s, S(u"ad"));
    rtl::Delete(s, 0, 1);
    rtl::Delete(s, 3, 1);
    EXPECT_EQ(s, S(u"ad"));
    rtl::Insert(S(u"XY"), s, 2);
    EXPECT_EQ(s, S(u"aXYd"));
    rtl::Insert(S(u"<"), s, -5);
    rtl::Insert(S(u">"), s, 99);
    EXPECT_EQ(s, S(u"<aXYd>"));
    EXPECT_EQ(rtl::StringOfChar(u'-', 3), S(u"---"));
    EXPECT_EQ(rtl::StringOfChar(u'-', -1), S(u""));
}

// ---- case and trimming -----------------------------------------------------------------------------

TEST(Case, UpperCaseChangesOnlyAsciiLetters) {
    EXPECT_EQ(rtl::UpperCase(S(u"abc\u00e4z_")), S(u"ABC\u00e4Z_"));
    EXPECT_EQ(rtl::LowerCase(S(u"ABC\u00c9")), S(u"abc\u00c9"));
    EXPECT_EQ(rtl::AnsiUpperCase(S(u"abc\u00e4")), S(u"ABC\u00c4"));
    EXPECT_EQ(rtl::AnsiLowerCase(S(u"POLISH \u015a")), S(u"polish \u015b"));
}

TEST(Trim, RemovesControlCharactersAndBlanksOnly) {
    EXPECT_EQ(rtl::Trim(S(u"\t\r\n x y \x01\x1f")), S(u"x y"));
    EXPECT_EQ(rtl::Trim(S(u"\u00a0x\u007f")), S(u"\u00a0x\u007f")); // no-break space and DEL stay
    EXPECT_EQ(rtl::TrimLeft(S(u"  x  ")), S(u"x  "));
    EXPECT_EQ(rtl::TrimRight(QString::fromUtf16(u"  x \0\0", 6)), S(u"  x")); // NULs go too
    EXPECT_EQ(rtl::Trim(S(u"   ")), S(u""));
}

TEST(Compare, TextComparisonsFoldAsciiOnly) {
    EXPECT_TRUE(rtl::SameText(S(u"Button"), S(u"bUTTON")));
    EXPECT_FALSE(rtl::SameText(S(u"\u00e9"), S(u"\u00c9")));
    EXPECT_TRUE(rtl::AnsiSameText(S(u"\u00e9t\u00e9"), S(u"\u00c9T\u00c9")));
    EXPECT_EQ(rtl::CompareText(S(u"abc"), S(u"ABC")), 0);
    EXPECT_LT(rtl::CompareText(S(u"abc"), S(u"ABD")), 0);
    EXPECT_LT(rtl::CompareText(S(u"ab"), S(u"abc")), 0);
    EXPECT_LT(rtl::CompareText(S(u"a"), S(u"_")), 0); // folds to upper case, like the class library
    EXPECT_LT(rtl::CompareStr(S(u"0000110000"), S(u"0000150000")), 0);
    EXPECT_LT(rtl::CompareStr(S(u"B"), S(u"a")), 0);
}

// ---- replace, quote, delimiters ----------------------------------------------------------------------

struct ReplaceCase {
    const char16_t* text;
    const char16_t* from;
    const char16_t* to;
    rtl::TReplaceFlags flags;
    const char16_t* expected;
};

class StringReplaceTable : public ::testing::TestWithParam<ReplaceCase> {};

TEST_P(StringReplaceTable, ReplacesFirstOrAll) {
    const auto& c = GetParam();
    EXPECT_EQ(rtl::StringReplace(S(c.text), S(c.from), S(c.to), c.flags), S(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StringReplaceTable,
    ::testing::Values(ReplaceCase{u"a %s b %s", u"%s", u"X", 0, u"a X b %s"},
                      ReplaceCase{u"a\\nb\\nc", u"\\n", u"\r\n", rtl::rfReplaceAll, u"a\r\nb\r\nc"},
                      ReplaceCase{u"12 MiB 3 mib", u"MIB", u"", rtl::rfIgnoreCase, u"12  3 mib"},
                      ReplaceCase{u"See %app_url% and %APP_URL%", u"%APP_URL%", u"u",
                                  rtl::rfReplaceAll | rtl::rfIgnoreCase, u"See u and u"},
                      ReplaceCase{u"\u015a\u015b", u"\u015b", u"s", rtl::rfReplaceAll | rtl::rfIgnoreCase,
                                  u"ss"},
                      ReplaceCase{u"aaa", u"aa", u"b", rtl::rfReplaceAll, u"ba"},
                      ReplaceCase{u"abc", u"", u"x", rtl::rfReplaceAll, u"abc"},
                      ReplaceCase{u"abc", u"B", u"x", 0, u"abc"}));

TEST(Quote, QuotesAndDequotesWithDoubledQuotes) {
    EXPECT_EQ(rtl::QuotedStr(S(u"It's")), S(u"'It''s'"));
    EXPECT_EQ(rtl::AnsiQuotedStr(S(u"a\"b"), u'"'), S(u"\"a\"\"b\""));
    EXPECT_EQ(rtl::AnsiDequotedStr(S(u"'It''s' rest"), u'\''), S(u"It's"));
    EXPECT_EQ(rtl::AnsiDequotedStr(S(u"plain"), u'\''), S(u"plain"));
    EXPECT_EQ(rtl::AnsiDequotedStr(S(u"'open"), u'\''), S(u"open"));
}

TEST(Delimiters, FindTheLastDelimiterFromOne) {
    EXPECT_EQ(rtl::LastDelimiter(S(u"/."), S(u"dir/clip.webm.part")), 14);
    EXPECT_EQ(rtl::LastDelimiter(S(u"/"), S(u"clip")), 0);
    EXPECT_TRUE(rtl::IsDelimiter(S(u",;"), S(u"a;b"), 2));
    EXPECT_FALSE(rtl::IsDelimiter(S(u",;"), S(u"a;b"), 4));
}

TEST(LineBreaks, AdjustLineBreaksMakesEveryBreakCrLf) {
    EXPECT_EQ(rtl::AdjustLineBreaks(S(u"a\nb\rc\r\nd\n\re")), S(u"a\r\nb\r\nc\r\nd\r\ne"));
}

TEST(LineBreaks, WrapTextBreaksAfterTheLastBlankThatFits) {
    EXPECT_EQ(rtl::WrapText(S(u"The quick brown fox"), S(u"\n"), S(u" "), 10), S(u"The quick \nbrown fox"));
    EXPECT_EQ(rtl::WrapText(S(u"'a b c' d"), S(u"\n"), S(u" "), 3), S(u"'a b c' \nd")); // quotes stay whole
    EXPECT_EQ(rtl::WrapText(S(u"short"), S(u"\n"), S(u" "), 10), S(u"short"));
}

// ---- integers ------------------------------------------------------------------------------------------

TEST(IntToStr, WritesSignedUnsignedAndHex) {
    EXPECT_EQ(rtl::IntToStr(-42), S(u"-42"));
    EXPECT_EQ(rtl::IntToStr(int64_t(-9223372036854775807LL - 1)), S(u"-9223372036854775808"));
    EXPECT_EQ(rtl::UIntToStr(uint32_t(0xFFFFFFFFu)), S(u"4294967295"));
    EXPECT_EQ(rtl::UIntToStr(uint64_t(18446744073709551615ULL)), S(u"18446744073709551615"));
    EXPECT_EQ(rtl::IntToHex(255, 2), S(u"FF"));
    EXPECT_EQ(rtl::IntToHex(10, 1), S(u"A"));
    EXPECT_EQ(rtl::IntToHex(0, 0), S(u"0"));
    EXPECT_EQ(rtl::IntToHex(0x1F, 8), S(u"0000001F"));
    EXPECT_EQ(rtl::IntToHex(-1, 2), S(u"FFFFFFFF"));
    EXPECT_EQ(rtl::IntToHex(int64_t(-2), 1), S(u"FFFFFFFFFFFFFFFE"));
}

struct StrToIntCase {
    const char16_t* text;
    std::optional<int> expected;
};

class StrToIntTable : public ::testing::TestWithParam<StrToIntCase> {};

TEST_P(StrToIntTable, ParsesLikeTheClassLibrary) {
    const auto& c = GetParam();
    int value = 12345;
    EXPECT_EQ(rtl::TryStrToInt(S(c.text), value), c.expected.has_value())
        << QString::fromUtf16(c.text).toStdString();
    if (c.expected) {
        EXPECT_EQ(value, *c.expected);
    } else {
        EXPECT_EQ(value, 12345); // untouched on failure
    }
    EXPECT_EQ(rtl::StrToIntDef(S(c.text), -99), c.expected.value_or(-99));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StrToIntTable,
    ::testing::Values(StrToIntCase{u"42", 42}, StrToIntCase{u"-7", -7}, StrToIntCase{u"+7", 7},
                      StrToIntCase{u"$1F", 31}, StrToIntCase{u"0x1f", 31}, StrToIntCase{u"0X1F", 31},
                      StrToIntCase{u"-$10", -16}, StrToIntCase{u"  12", 12}, StrToIntCase{u"007", 7},
                      StrToIntCase{u"2147483647", 2147483647}, StrToIntCase{u"-2147483648", -2147483647 - 1},
                      StrToIntCase{u"$FFFFFFFF", -1}, StrToIntCase{u"2147483648", std::nullopt},
                      StrToIntCase{u"$100000000", std::nullopt}, StrToIntCase{u"12 ", std::nullopt},
                      StrToIntCase{u"12a", std::nullopt}, StrToIntCase{u"1.5", std::nullopt},
                      StrToIntCase{u"12.5", std::nullopt}, StrToIntCase{u"", std::nullopt},
                      StrToIntCase{u"-", std::nullopt}, StrToIntCase{u"$", std::nullopt},
                      StrToIntCase{u"0x", std::nullopt}, StrToIntCase{u"$$FF", std::nullopt},
                      StrToIntCase{u"99999999999999999999999", std::nullopt}));

TEST(StrToInt, RaisesConvertErrorWithTheText) {
    try {
        rtl::StrToInt(S(u"abc"));
        FAIL() << "no error";
    } catch (const rtl::EConvertError& e) {
        EXPECT_EQ(e.Message(), S(u"'abc' is not a valid integer value"));
    }
    EXPECT_THROW(rtl::StrToInt(S(u"")), rtl::EConvertError);
}

TEST(StrToInt64, CoversTheSixtyFourBitRange) {
    int64_t v = 0;
    EXPECT_TRUE(rtl::TryStrToInt64(S(u"9223372036854775807"), v));
    EXPECT_EQ(v, INT64_MAX);
    EXPECT_TRUE(rtl::TryStrToInt64(S(u"-9223372036854775808"), v));
    EXPECT_EQ(v, INT64_MIN);
    EXPECT_TRUE(rtl::TryStrToInt64(S(u"$FFFFFFFFFFFFFFFF"), v));
    EXPECT_EQ(v, -1);
    EXPECT_FALSE(rtl::TryStrToInt64(S(u"9223372036854775808"), v));
    EXPECT_FALSE(rtl::TryStrToInt64(S(u"$$FF"), v));
    EXPECT_EQ(rtl::StrToUInt64Def(S(u"18446744073709551615"), 0), UINT64_MAX);
    EXPECT_EQ(rtl::StrToUInt64Def(S(u"-1"), 7), 7u);
}

// ---- floating point -------------------------------------------------------------------------------------

struct StrToFloatCase {
    const char16_t* text;
    char16_t separator;
    std::optional<double> expected;
};

class StrToFloatTable : public ::testing::TestWithParam<StrToFloatCase> {};

TEST_P(StrToFloatTable, ParsesWithTheSettingsSeparator) {
    const auto& c = GetParam();
    rtl::TFormatSettings f = rtl::TFormatSettings::Invariant();
    f.DecimalSeparator = c.separator;
    f.ThousandSeparator = c.separator == u',' ? u'.' : u',';
    double value = -1;
    EXPECT_EQ(rtl::TryStrToFloat(S(c.text), value, f), c.expected.has_value())
        << QString::fromUtf16(c.text).toStdString();
    if (c.expected) {
        EXPECT_DOUBLE_EQ(value, *c.expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StrToFloatTable,
    ::testing::Values(StrToFloatCase{u"1.5", u'.', 1.5}, StrToFloatCase{u"1,5", u'.', std::nullopt},
                      StrToFloatCase{u"1,5", u',', 1.5}, StrToFloatCase{u"1.5", u',', std::nullopt},
                      StrToFloatCase{u"-2.5e3", u'.', -2500}, StrToFloatCase{u"2,5E-1", u',', 0.25},
                      StrToFloatCase{u" 3 ", u'.', 3}, StrToFloatCase{u".5", u'.', 0.5},
                      StrToFloatCase{u"5.", u'.', 5}, StrToFloatCase{u"+7", u'.', 7},
                      StrToFloatCase{u"1,234.5", u'.', std::nullopt},
                      StrToFloatCase{u"nan", u'.', std::nullopt}, StrToFloatCase{u"inf", u'.', std::nullopt},
                      StrToFloatCase{u"-INF", u'.', std::nullopt}, StrToFloatCase{u"", u'.', std::nullopt},
                      StrToFloatCase{u".", u'.', std::nullopt}, StrToFloatCase{u"1e", u'.', std::nullopt},
                      StrToFloatCase{u"1e400", u'.', std::nullopt},
                      StrToFloatCase{u"0x10", u'.', std::nullopt},
                      StrToFloatCase{u"1.5.2", u'.', std::nullopt}));

TEST(StrToFloat, FollowsTheGlobalLocaleAndRaisesConvertError) {
    {
        SettingsScope german(QLocale(QLocale::German, QLocale::Germany));
        EXPECT_EQ(rtl::FormatSettings.DecimalSeparator, u',');
        EXPECT_DOUBLE_EQ(rtl::StrToFloat(S(u"1,25")), 1.25);
        EXPECT_EQ(rtl::FloatToStr(1.25), S(u"1,25"));
        EXPECT_DOUBLE_EQ(rtl::StrToFloatDef(S(u"1.25"), 9), 9);
    }
    EXPECT_EQ(rtl::FormatSettings.DecimalSeparator, u'.');
    EXPECT_DOUBLE_EQ(rtl::StrToFloat(S(u"1.25")), 1.25);
    try {
        rtl::StrToFloat(S(u"x1"));
        FAIL() << "no error";
    } catch (const rtl::EConvertError& e) {
        EXPECT_EQ(e.Message(), S(u"'x1' is not a valid floating point value"));
    }
}

TEST(FormatSettings, DefaultIsTheCLocale) {
    const rtl::TFormatSettings f = rtl::TFormatSettings::Create(QLocale::c());
    EXPECT_EQ(f.DecimalSeparator, u'.');
    EXPECT_EQ(f.ThousandSeparator, u',');
    EXPECT_EQ(f.DateSeparator, u'/');
    EXPECT_EQ(f.TimeSeparator, u':');
    EXPECT_EQ(f.LongTimeFormat, S(u"hh:nn:ss"));
}

TEST(FormatSettings, SysLocaleKnowsRightToLeftLocales) {
    {
        SettingsScope arabic(QLocale(QLocale::Arabic, QLocale::Egypt));
        EXPECT_TRUE(rtl::SysLocale.MiddleEast);
    }
    EXPECT_FALSE(rtl::SysLocale.MiddleEast);
}

TEST(FormatSettings, LocaleDateFormatsUseTheClassLibraryLetters) {
    const rtl::TFormatSettings f = rtl::TFormatSettings::Create(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(f.DateSeparator, u'.');
    EXPECT_EQ(f.ThousandSeparator, u'.');
    EXPECT_EQ(f.ListSeparator, u';');
    EXPECT_EQ(f.ShortDateFormat, S(u"dd/mm/yyyy"));
    EXPECT_EQ(f.LongTimeFormat, S(u"hh:nn:ss"));
    EXPECT_EQ(f.LongMonthNames[2], S(u"M\u00e4rz"));
}

// ---- booleans and GUIDs ----------------------------------------------------------------------------------

TEST(Bool, ReadsTrueFalseInAnyCaseAndNumbers) {
    EXPECT_TRUE(rtl::StrToBool(S(u"TRUE")));
    EXPECT_FALSE(rtl::StrToBool(S(u"false")));
    EXPECT_TRUE(rtl::StrToBool(S(u"-1")));
    EXPECT_TRUE(rtl::StrToBool(S(u"2")));
    EXPECT_FALSE(rtl::StrToBool(S(u"0")));
    EXPECT_THROW(rtl::StrToBool(S(u"yes")), rtl::EConvertError);
    EXPECT_THROW(rtl::StrToBool(S(u"")), rtl::EConvertError);
    EXPECT_EQ(rtl::BoolToStr(true, true), S(u"True"));
    EXPECT_EQ(rtl::BoolToStr(false, true), S(u"False"));
    EXPECT_EQ(rtl::BoolToStr(true), S(u"-1"));
}

TEST(Guid, RoundTripsTheBracedUpperCaseForm) {
    const rtl::TGUID g = rtl::CreateGUID();
    const String text = rtl::GUIDToString(g);
    EXPECT_EQ(text.size(), 38);
    EXPECT_EQ(text, text.toUpper());
    EXPECT_EQ(rtl::StringToGUID(text), g);
    rtl::TGUID known{0x01234567, 0x89AB, 0xCDEF, {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF}};
    EXPECT_EQ(rtl::GUIDToString(known), S(u"{01234567-89AB-CDEF-0123-456789ABCDEF}"));
    EXPECT_EQ(rtl::StringToGUID(S(u"{01234567-89ab-cdef-0123-456789abcdef}")), known);
    for (const char16_t* bad :
         {u"01234567-89AB-CDEF-0123-456789ABCDEF", u"{01234567-89AB-CDEF-0123-456789ABCDEG}",
          u"{01234567+89AB-CDEF-0123-456789ABCDEF}", u""})
        EXPECT_THROW(rtl::StringToGUID(S(bad)), rtl::EConvertError);
}

} // namespace
