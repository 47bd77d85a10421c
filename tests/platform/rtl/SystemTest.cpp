#include "rtl/System.h"

#include <gtest/gtest.h>

TEST(Exceptions, CarryTheirMessageAndClassName) {
    try {
        throw rtl::EFOpenError(QStringLiteral("Cannot open file \"x\""));
    } catch (const rtl::EStreamError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Cannot open file \"x\""));
        EXPECT_EQ(e.ClassName(), QStringLiteral("EFOpenError"));
        EXPECT_STREQ(e.what(), "Cannot open file \"x\"");
    }
}
