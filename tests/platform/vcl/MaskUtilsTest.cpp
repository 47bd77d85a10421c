// tests/platform/vcl/MaskUtilsTest.cpp
#include "vcl/MaskUtils.h"

#include <gtest/gtest.h>

namespace {

struct MaskCase {
    const char16_t* mask;
    const char16_t* value;
    const char16_t* expected;
};

class FormatMaskTable : public ::testing::TestWithParam<MaskCase> {};

TEST_P(FormatMaskTable, PutsValueAndLiteralsInPlace) {
    const auto& c = GetParam();
    EXPECT_EQ(vcl::FormatMaskText(QString::fromUtf16(c.mask), QString::fromUtf16(c.value)),
              QString::fromUtf16(c.expected));
}

INSTANTIATE_TEST_SUITE_P(Cases, FormatMaskTable,
                         ::testing::Values(MaskCase{u"!(999)000-0000;0;_", u"5551234567", u"(555)123-4567"},
                                           MaskCase{u"(999)000-0000;1;_", u"(555)123-4567", u"(555)123-4567"},
                                           MaskCase{u"000-000;0;*", u"12", u"12*-***"},
                                           MaskCase{u">LL<ll", u"abCD", u"ABcd"},
                                           MaskCase{u">L<>l", u"ab", u"Ab"},
                                           MaskCase{u"\\#00", u"42", u"#42"},
                                           MaskCase{u"", u"free text", u"free text"}));

} // namespace
