// The modules by Windows name and the patchable exports of user32 and uxtheme.
#include "win/windows.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(Modules, WindowsNamesResolveToTheStandInsExports) {
    HMODULE ux = TwFindModule(u"UXTHEME.DLL");
    ASSERT_NE(ux, nullptr);
    EXPECT_EQ(TwFindModule(u"uxtheme"), ux);
    EXPECT_EQ(reinterpret_cast<void*>(TwFindExport(ux, "OpenThemeData")),
              reinterpret_cast<void*>(&OpenThemeData));
    EXPECT_EQ(TwFindExport(ux, "NoSuchExport"), nullptr);
    HMODULE user = TwFindModule(u"user32.dll");
    ASSERT_NE(user, nullptr);
    EXPECT_EQ(reinterpret_cast<void*>(TwFindExport(user, "GetSysColor")),
              reinterpret_cast<void*>(&GetSysColor));
    EXPECT_NE(TwFindModule(u"gdi32.dll"), nullptr);
    EXPECT_NE(TwFindModule(u"msimg32.dll"), nullptr);
    EXPECT_EQ(TwFindModule(u"dwmapi.dll"), nullptr);
}

// Code that patches an export writes a jump over its first bytes: they must hold no return.
TEST(Modules, PatchableExportsStartWithSixteenBytesOfPadding) {
    const void* exports[] = {
        reinterpret_cast<const void*>(&GetSysColor),      reinterpret_cast<const void*>(&GetSysColorBrush),
        reinterpret_cast<const void*>(&FillRect),         reinterpret_cast<const void*>(&DrawEdge),
        reinterpret_cast<const void*>(&DrawFrameControl), reinterpret_cast<const void*>(&LoadImageW),
        reinterpret_cast<const void*>(&OpenThemeData),    reinterpret_cast<const void*>(&DrawThemeBackground),
        reinterpret_cast<const void*>(&GetThemeColor),    reinterpret_cast<const void*>(&SetWindowTheme)};
    for (const void* f : exports) {
        uint8_t code[16];
        std::memcpy(code, f, sizeof code);
        for (uint8_t b : code) EXPECT_EQ(b, 0x90) << f;
    }
}

} // namespace
