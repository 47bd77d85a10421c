// Prefix, suffix and part helpers.
#include "rtl/StrUtils.h"

#include <gtest/gtest.h>

namespace {

using rtl::String;

String S(const char16_t* Text) {
    return QString::fromUtf16(Text);
}

TEST(StrUtils, PartsClipTheirCounts) {
    EXPECT_EQ(rtl::LeftStr(S(u"abcdef"), 2), S(u"ab"));
    EXPECT_EQ(rtl::LeftStr(S(u"ab"), 5), S(u"ab"));
    EXPECT_EQ(rtl::LeftStr(S(u"ab"), -1), S(u""));
    EXPECT_EQ(rtl::RightStr(S(u"abcdef"), 2), S(u"ef"));
    EXPECT_EQ(rtl::RightStr(S(u"ab"), 0), S(u""));
    EXPECT_EQ(rtl::MidStr(S(u"abcdef"), 2, 3), S(u"bcd"));
}

TEST(StrUtils, TextFormsIgnoreCaseStrFormsDoNot) {
    EXPECT_TRUE(rtl::StartsText(S(u"input #"), S(u"Input #0, matroska")));
    EXPECT_FALSE(rtl::StartsStr(S(u"input #"), S(u"Input #0, matroska")));
    EXPECT_TRUE(rtl::EndsText(S(u".WEBM"), S(u"clip.webm")));
    EXPECT_FALSE(rtl::EndsStr(S(u".WEBM"), S(u"clip.webm")));
    EXPECT_TRUE(rtl::ContainsText(S(u"Polski (POLISH)"), S(u"polish")));
    EXPECT_FALSE(rtl::ContainsStr(S(u"Polski (POLISH)"), S(u"polish")));
    EXPECT_TRUE(rtl::ContainsText(S(u"\u00c9t\u00e9"), S(u"\u00e9T")));
    EXPECT_TRUE(rtl::StartsText(S(u""), S(u"x")));
    EXPECT_FALSE(rtl::StartsText(S(u"xy"), S(u"x")));
}

TEST(StrUtils, ReverseKeepsSurrogatePairsWhole) {
    EXPECT_EQ(rtl::ReverseString(S(u"abc")), S(u"cba"));
    EXPECT_EQ(rtl::ReverseString(S(u"a\U0001F600b")), S(u"b\U0001F600a"));
    EXPECT_EQ(rtl::ReverseString(S(u"")), S(u""));
}

TEST(StrUtils, MatchAndSplit) {
    const std::vector<String> names{S(u"Carbon"), S(u"Windows")};
    EXPECT_EQ(rtl::IndexText(S(u"windows"), names), 1);
    EXPECT_EQ(rtl::IndexStr(S(u"windows"), names), -1);
    EXPECT_EQ(rtl::SplitString(S(u"Button-OK;Button"), S(u";")),
              (std::vector<String>{S(u"Button-OK"), S(u"Button")}));
    EXPECT_EQ(rtl::SplitString(S(u"a;;b "), S(u";")), (std::vector<String>{S(u"a"), S(u""), S(u"b ")}));
    EXPECT_EQ(rtl::ReplaceText(S(u"a-A-a"), S(u"a"), S(u"x")), S(u"x-x-x"));
    EXPECT_EQ(rtl::DupeString(S(u"ab"), 3), S(u"ababab"));
    EXPECT_EQ(rtl::IfThen(false, S(u"yes"), S(u"no")), S(u"no"));
}

} // namespace
