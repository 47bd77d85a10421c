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
// How many of the first bytes are no-op instructions. gcc pads with single 0x90 bytes, clang with the
// long forms (optional 0x66/0x2E prefixes, then 0F 1F with a memory operand), so both are read.
size_t NopBytes(const uint8_t* Code, size_t Size) {
    size_t i = 0;
    while (i < Size) {
        size_t k = i;
        while (k < Size && (Code[k] == 0x66 || Code[k] == 0x2E)) ++k;
        if (k < Size && Code[k] == 0x90) {
            i = k + 1;
            continue;
        }
        if (k + 2 >= Size || Code[k] != 0x0F || Code[k + 1] != 0x1F) break;
        const uint8_t ModRm = Code[k + 2];
        const unsigned Mod = ModRm >> 6, Rm = ModRm & 7;
        size_t Len = 3;
        if (Mod != 3 && Rm == 4) ++Len; // SIB byte
        if (Mod == 1) Len += 1;
        else if (Mod == 2 || (Mod == 0 && Rm == 5)) Len += 4;
        if (k + Len > Size) break;
        i = k + Len;
    }
    return i;
}

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
        EXPECT_EQ(NopBytes(code, sizeof code), sizeof code) << f;
    }
}

} // namespace
