// Menus against the real platform: oracle/menus.h runs the same menu loops and queries here and in the
// probe under Wine (scripts/make-message-oracle.sh); the traces in oracle/traces must match ours, but for
// the differences listed below with their reasons.
#include "tests/support/windows/HeadlessApp.h"

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#define T(s) u##s
static void OracleSleep(DWORD ms) { TwAdvanceClock(ms); }
static void OracleClick(int x, int y) {
    TwInputMouseMove(x, y);
    TwInputMouseButton(x, y, TW_BUTTON_LEFT, TRUE);
    TwInputMouseButton(x, y, TW_BUTTON_LEFT, FALSE);
}
static void OracleDrag(int x0, int y0, int x1, int y1) {
    OracleClick(x0, y0);
    OracleClick(x1, y1);
}
static void OracleKey(UINT vk, BOOL down) { TwInputKey(vk, down, FALSE, nullptr, FALSE); }
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"  // the window scenarios' runner is OracleTraceTest's
#include "oracle/scenarios.h"
#pragma GCC diagnostic pop
#include "oracle/menus.h"
#undef T

namespace {

// Lines of one side left out before comparing, per scenario, and why:
// - menu_escape: the real loop tells of a closed sub-menu (WM_UNINITMENUPOPUP) only when the whole menu
//   ends; ours tells when it closes, as the message's own description says.
// - menu_layout: item heights follow the menu font, which differs between the probe's display and ours
//   (our text items are as high as the menu metric SM_CYMENUSIZE); the separators, the border and the
//   item columns are compared.
struct Kept {
    const char* scenario;
    bool oursSide;
    const char* line;
};
const Kept KeptLines[] = {
    {"menu_escape", true, "owner WM_UNINITMENUPOPUP menu=sub"},
    {"menu_escape", false, "owner WM_UNINITMENUPOPUP menu=sub"},
};

std::string ReadTrace(const std::string& name) {
    std::ifstream f(std::string(TW_USER32_TEST_DIR) + "/oracle/traces/" + name + ".txt", std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

std::vector<std::string> Lines(const std::string& trace, const std::string& scenario, bool oursSide) {
    std::vector<std::string> out;
    std::istringstream in(trace);
    std::string s;
    while (std::getline(in, s)) {
        if (!s.empty() && s.back() == '\r') s.pop_back();
        if (s.empty()) continue;
        bool kept = false;
        for (const Kept& k : KeptLines) kept |= k.scenario == scenario && k.oursSide == oursSide && s == k.line;
        if (!kept) out.push_back(s);
    }
    return out;
}

std::string RunOurs(const char* name) {
    testing_support::HeadlessApp app;
    EXPECT_TRUE(OracleRunMenu(name));
    std::string ours(oracleLog, oracleLogLen);
    app.PumpUntilIdle();
    return ours;
}

class MenuOracle : public ::testing::TestWithParam<const char*> {};

TEST_P(MenuOracle, MatchesTheRealPlatform) {
    const std::string name = GetParam();
    const std::string real = ReadTrace(name);
    ASSERT_FALSE(real.empty()) << "no trace for " << name << "; run scripts/make-message-oracle.sh";
    EXPECT_EQ(Lines(RunOurs(name.c_str()), name, true), Lines(real, name, false))
        << "left: our menus, right: the real platform (" << name << ")";
}

INSTANTIATE_TEST_SUITE_P(Loops, MenuOracle,
                         ::testing::Values("menu_keys", "menu_subkeys", "menu_escape", "menu_mnemonics", "menu_outside"),
                         [](const ::testing::TestParamInfo<const char*>& info) { return std::string(info.param); });

// "item <i> top=.. height=.." and "item border=.. left=.." of the layout trace, by key.
std::map<std::string, std::string> Geometry(const std::string& trace) {
    std::map<std::string, std::string> out;
    for (const std::string& l : Lines(trace, "", false)) {
        std::istringstream words(l);
        std::string item, key;
        words >> item >> key;
        if (item != "item") continue;
        std::string rest;
        std::getline(words, rest);
        out[key] = rest;
    }
    return out;
}

TEST(MenuOracleLayout, FrameMarginAndSeparatorsMatchTheClassicPopup) {
    const auto real = Geometry(ReadTrace("menu_layout"));
    ASSERT_FALSE(real.empty()) << "no trace for menu_layout; run scripts/make-message-oracle.sh";
    const auto ours = Geometry(RunOurs("menu_layout"));
    ASSERT_EQ(ours.size(), real.size());
    // The frame around the client area and the items' left margin inside it.
    const auto border = std::find_if(real.begin(), real.end(), [](const auto& e) { return e.first.rfind("border=", 0) == 0; });
    ASSERT_NE(border, real.end());
    ASSERT_EQ(ours.count(border->first), 1u) << "our frame differs from the real " << border->first;
    EXPECT_EQ(ours.at(border->first), border->second);
    auto field = [](const std::string& rest, const char* name) {
        const size_t at = rest.find(name);
        return at == std::string::npos ? -1 : std::atoi(rest.c_str() + at + strlen(name));
    };
    EXPECT_EQ(field(ours.at("0"), "top="), field(real.at("0"), "top="));
    EXPECT_EQ(field(ours.at("2"), "height="), field(real.at("2"), "height="));  // the separator
    // Text items are all as high as the menu font makes them, one after the other without gaps.
    for (const auto* side : {&ours, &real}) {
        const int h = field(side->at("0"), "height=");
        for (const char* i : {"1", "3", "4"}) EXPECT_EQ(field(side->at(i), "height="), h) << i;
        for (int i = 1; i <= 4; ++i)
            EXPECT_EQ(field(side->at(std::to_string(i)), "top="),
                      field(side->at(std::to_string(i - 1)), "top=") + field(side->at(std::to_string(i - 1)), "height="));
    }
}

// The real system menu of the probe's platform carries an item of its own and leaves the states to the
// moment it is shown; the standard items, their commands, texts and the default item are compared.
TEST(MenuOracleSystemMenu, HasTheStandardItemsWithTheirTexts) {
    const std::string real = ReadTrace("system_menu");
    ASSERT_FALSE(real.empty()) << "no trace for system_menu; run scripts/make-message-oracle.sh";
    auto overlapped = [](const std::string& trace) {
        std::vector<std::string> out;
        bool in = false;
        for (const std::string& l : Lines(trace, "", false)) {
            if (l.rfind("> ", 0) == 0) in = l == "> GetSystemMenu overlapped";
            if (!in || l.rfind("item ", 0) != 0 || out.size() == 7) continue;
            // "item i id=0x.... state=0x.... text=..." without the state
            const size_t s = l.find(" state="), t = l.find(" text=");
            out.push_back(l.substr(0, s) + l.substr(t));
        }
        return out;
    };
    EXPECT_EQ(overlapped(RunOurs("system_menu")), overlapped(real));
}

} // namespace
