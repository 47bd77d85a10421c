// tests/styling/windows/ManagerTraceTest.cpp: the window model's message sequences, which the platform's
// suite matches against traces recorded on the real platform (tests/platform/user32/oracle), come out
// the same while the style-hook manager hooks every window of those scenarios under a custom style:
// the creation hook before WM_NCCREATE, the parent's notice of a new child, subclasses put on and taken
// off under the hook's own, a parent destroyed with its children.
#include "tests/styling/windows/StyleHookFixture.h"

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

#include <string>

#include "styling/hooks/SysStyleHook.h"

// The input the scenarios give, through the platform's queue as the platform's suite gives it.
#define T(s) u##s
static void OracleSleep(DWORD ms) { TwAdvanceClock(ms); }
static void OracleDrag(int x0, int y0, int x1, int y1) {
    TwInputMouseMove(x0, y0);
    TwInputMouseButton(x0, y0, TW_BUTTON_LEFT, TRUE);
    TwInputMouseMove(x1, y1);
    TwInputMouseButton(x1, y1, TW_BUTTON_LEFT, FALSE);
}
static void OracleClick(int x, int y) { OracleDrag(x, y, x, y); }
static void OracleKey(UINT vk, BOOL down) { TwInputKey(vk, down, FALSE, nullptr, FALSE); }
#include "tests/platform/user32/oracle/scenarios.h"
#undef T

namespace {

using namespace styling;

// Each hook made for a scenario's window, so that the test knows the manager took part.
int HooksMade = 0;
class CountingHook : public TSysStyleHook {
public:
    explicit CountingHook(HWND AHandle) : TSysStyleHook(AHandle) { ++HooksMade; }
};

std::string Trace(const char* Name, bool Hooked) {
    testing_support::HeadlessApp app;
    std::unique_ptr<vcl::TCustomStyle> style;
    if (Hooked) {
        TSysStyleManager::RegisterSysStyleHook(QStringLiteral("OracleWindow"), &CreateHook<CountingHook>);
        style = styletest::MakeStyle(QStringLiteral("Trace Dark"), vcl::TColor(0x303030));
        vcl::TStyleManager::SetStyle(style.get());
    }
    EXPECT_TRUE(OracleRun(Name));
    std::string trace(oracleLog, oracleLogLen);
    app.PumpUntilIdle();
    if (Hooked) {
        TSysStyleManager::UnRegisterSysStyleHook(QStringLiteral("OracleWindow"));
        vcl::TStyleManager::SetStyle(vcl::TStyleManager::SystemStyle());
    }
    return trace;
}

class ManagerTrace : public ::testing::TestWithParam<const char*> {};

TEST_P(ManagerTrace, IsTheSameWithTheManagerHookingEveryWindow) {
    const std::string plain = Trace(GetParam(), false);
    HooksMade = 0;
    std::string hooked = Trace(GetParam(), true);
    EXPECT_GT(HooksMade, 0);
    // A subclass put on a hooked window finds the hook's procedure where the window's own stood (the
    // scenario names it "other"); the messages go the same way.
    for (size_t at; (at = hooked.find("-> other\n")) != std::string::npos;) hooked.replace(at, 8, "-> OracleProc");
    ASSERT_FALSE(plain.empty());
    EXPECT_EQ(hooked, plain);
}

INSTANTIATE_TEST_SUITE_P(Scenarios, ManagerTrace,
                         ::testing::Values("create_child", "create_popup", "subclass", "destroy_parent", "cbt"),
                         [](const auto& Info) { return std::string(Info.param); });

} // namespace
