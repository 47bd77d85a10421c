#include "rtlos/OSUtils.h"

#include <gtest/gtest.h>

#include <cfenv>

using namespace rtl;

TEST(OSError, CarriesTheCodeAndTheSystemsText) {
    EXPECT_EQ(SysErrorMessage(ERROR_FILE_NOT_FOUND), "The system cannot find the file specified");
    EXPECT_EQ(SysErrorMessage(0xDEADu), QString());

    SetLastError(ERROR_ACCESS_DENIED);
    try {
        RaiseLastOSError();
        FAIL();
    } catch (const EOSError& e) {
        EXPECT_EQ(e.ErrorCode, uint32_t(ERROR_ACCESS_DENIED));
        EXPECT_EQ(e.Message(), "System Error.  Code: 5.\r\nAccess is denied");
    }
    try {
        RaiseLastOSError(ERROR_FILE_NOT_FOUND, QStringLiteral(" (x.ini)"));
        FAIL();
    } catch (const EOSError& e) {
        EXPECT_EQ(e.Message(), "System Error.  Code: 2.\r\nThe system cannot find the file specified (x.ini)");
    }
    try {
        RaiseLastOSError(0);
        FAIL();
    } catch (const EOSError& e) {
        EXPECT_EQ(e.Message(), "A call to an OS function failed");
        EXPECT_EQ(e.ErrorCode, 0u);
    }
}

TEST(SafeLoadLibrary, LoadsTheStandInsModulesAndKeepsTheFloatingPointEnvironment) {
    std::fesetround(FE_UPWARD);
    EXPECT_NE(SafeLoadLibrary(QStringLiteral("uxtheme.dll")), nullptr);
    EXPECT_EQ(SafeLoadLibrary(QStringLiteral("dwmapi.dll")), nullptr);
    EXPECT_EQ(std::fegetround(), FE_UPWARD);
    std::fesetround(FE_TONEAREST);
}

TEST(OSVersion, PresentsWindows10WithVisualStyleCommonControls) {
    EXPECT_EQ(Win32Platform, PlatformWin32NT);
    EXPECT_TRUE(TOSVersion::Check(10));
    EXPECT_TRUE(TOSVersion::Check(6, 1));
    EXPECT_FALSE(TOSVersion::Check(10, 1));
    EXPECT_FALSE(TOSVersion::Check(11));
    EXPECT_TRUE(TOSVersion::ToString().startsWith("Windows 10 (Version 10.0, Build 19045"));
    EXPECT_GE(GetComCtlVersion(), ComCtlVersionIE6);
    EXPECT_GT(GetComCtlVersion() >> 16, 5u);
}
