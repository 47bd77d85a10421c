// tests/styling/windows/PopupMenuTraceTest.cpp: the menu loops recorded on the real platform, run again
// with the styled pop-up menu hook on every menu window: the keys and clicks choose the same command,
// and the owner hears the same selections and commands in the same order.
#include "tests/styling/windows/StyleHookFixture.h"

#include <string>
#include <vector>

#include "styling/hooks/PopupMenuHook.h"
#include "tests/platform/user32/MenuOracle.h"

using namespace styletest;

namespace {

// The owner's selections and commands; a mouse selection's MF_MOUSESELECT bit, which the real
// platform's trace leaves out, is dropped on both sides.
std::vector<std::string> OwnerChoices(const std::string& Trace) {
    std::vector<std::string> out;
    std::istringstream in(Trace);
    std::string s;
    while (std::getline(in, s)) {
        if (!s.empty() && s.back() == '\r') s.pop_back();
        if (s.rfind("owner WM_MENUSELECT", 0) != 0 && s.rfind("owner WM_COMMAND", 0) != 0) continue;
        const size_t flags = s.find("flags=0x8");
        if (flags != std::string::npos) s[flags + 8] = '0';
        out.push_back(s);
    }
    return out;
}

// A person's pace: the probe queues its keys before the menu opens, but the styled menu takes arrow
// keys only once its first painting pass has had 100 ms. Before each key the menu paints and the clock
// moves on by that much.
LRESULT CALLBACK AtAPersonsPace(int Code, WPARAM WParam, LPARAM LParam) {
    const MSG* m = reinterpret_cast<const MSG*>(LParam);
    if (Code == MSGF_MENU && m->message == WM_KEYDOWN) {
        TwFlushPainting();
        TwAdvanceClock(100);
        MSG timer;
        while (PeekMessageW(&timer, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE)) DispatchMessageW(&timer);
    }
    return CallNextHookEx(nullptr, Code, WParam, LParam);
}

class StyledMenuTrace : public StyleHookTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(StyledMenuTrace, ChoosesAsTheRealPlatform) {
    const std::string name = GetParam();
    const std::string real = ReadMenuTrace(TW_STYLING_SOURCE_DIR "/tests/platform/user32/oracle/traces", name);
    ASSERT_FALSE(real.empty()) << name;
    // Every menu window that opens is hooked: the paint log counts the items the hook painted.
    std::vector<styling::TSysPopupStyleHook::TPainted> painted;
    styling::TSysPopupStyleHook::PaintLog = &painted;
    const HHOOK pace = SetWindowsHookExW(WH_MSGFILTER, &AtAPersonsPace, nullptr, GetCurrentThreadId());
    EXPECT_TRUE(OracleRunMenu(name.c_str()));
    UnhookWindowsHookEx(pace);
    styling::TSysPopupStyleHook::PaintLog = nullptr;
    const std::string ours(oracleLog, oracleLogLen);
    EXPECT_FALSE(painted.empty()) << "the hook painted nothing";
    EXPECT_EQ(OwnerChoices(ours), OwnerChoices(real)) << "left: styled, right: the real platform";
}

INSTANTIATE_TEST_SUITE_P(Loops, StyledMenuTrace,
                         ::testing::Values("menu_keys", "menu_subkeys", "menu_escape", "menu_mnemonics", "menu_outside",
                                           "menu_mouse", "menu_click"),
                         [](const ::testing::TestParamInfo<const char*>& info) { return std::string(info.param); });

} // namespace
