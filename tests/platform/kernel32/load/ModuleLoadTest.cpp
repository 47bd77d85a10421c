// Modules found by name although this program does not link them.
#include "win/kernel32/modules.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

namespace {

TEST(ModuleLoad, UnlinkedModulesLoadWhenAskedForByName) {
    struct Case { const char16_t* module; const char* proc; };
    for (const Case& c : {Case{u"comctl32.dll", "_TrackMouseEvent"}, Case{u"UXTHEME", "OpenThemeData"},
                          Case{u"user32.dll", "GetSysColor"}, Case{u"msimg32.dll", "AlphaBlend"}}) {
        const HMODULE module = TwFindModule(c.module);
        ASSERT_NE(module, nullptr) << c.proc;
        EXPECT_NE(TwFindExport(module, c.proc), nullptr) << c.proc;
        EXPECT_EQ(GetModuleHandleW(c.module), module) << c.proc;
    }
}

TEST(ModuleLoad, NamesThatAreNoModuleOfOursLoadNothing) {
    for (const char16_t* name : {u"dwmapi.dll", u"../libtw_user32.dll", u"tw_user32/x.dll", u".dll", u""})
        EXPECT_EQ(TwFindModule(name), nullptr);
    EXPECT_EQ(LoadLibraryW(u"dwmapi.dll"), nullptr);
}

} // namespace
