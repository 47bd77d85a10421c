// tests/styling/windows/ControlTraceTest.cpp: queries recorded on the real platform, asked again of
// standard controls with their styled hooks on: the buttons' check state for every button type and the
// combo box's dropped state give the real platform's answers.
#include "tests/styling/windows/StyleHookFixture.h"

#include <string>
#include <vector>

#include "styling/hooks/StdCtrlHooks.h"
#include "tests/platform/user32/MenuOracle.h"

using namespace styletest;

namespace {

// The steps and the answers of a trace ("> step", "< answer").
std::vector<std::string> Answers(const std::string& Trace) {
    std::vector<std::string> out;
    std::istringstream in(Trace);
    std::string s;
    while (std::getline(in, s)) {
        if (!s.empty() && s.back() == '\r') s.pop_back();
        if (s.rfind("> ", 0) == 0 || s.rfind("< ", 0) == 0) out.push_back(s);
    }
    return out;
}

class StyledControlTrace : public StyleHookTest, public ::testing::WithParamInterface<const char*> {
protected:
    void SetUp() override {
        StyleHookTest::SetUp();
        // The harness started under the system style: the controls' hooks are registered under this one.
        styling::UnRegisterStdCtrlStyleHooks();
        styling::RegisterStdCtrlStyleHooks();
    }
    void TearDown() override {
        styling::UnRegisterStdCtrlStyleHooks();
        UseSystemStyle();
        styling::RegisterStdCtrlStyleHooks();
        StyleHookTest::TearDown();
    }
};

TEST_P(StyledControlTrace, AnswersAsTheRealPlatform) {
    const std::string name = GetParam();
    const std::string real = ReadMenuTrace(TW_STYLING_SOURCE_DIR "/tests/platform/user32/oracle/traces", name);
    ASSERT_FALSE(real.empty()) << name;
    size_t before = styling::TSysStyleManager::HookedWindows().size();
    EXPECT_TRUE(OracleRun(name.c_str()));
    const std::string ours(oracleLog, oracleLogLen);
    EXPECT_GT(styling::TSysStyleManager::HookedWindows().size(), before) << "no control was hooked";
    EXPECT_EQ(Answers(ours), Answers(real)) << "left: styled, right: the real platform";
}

INSTANTIATE_TEST_SUITE_P(Queries, StyledControlTrace, ::testing::Values("button_getcheck", "combo_droppedstate"),
                         [](const ::testing::TestParamInfo<const char*>& info) { return std::string(info.param); });

} // namespace
