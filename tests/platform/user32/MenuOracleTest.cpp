// Menus against the real platform: oracle/menus.h runs the same menu loops and queries here and in the
// probe under Wine (scripts/make-message-oracle.sh); the traces in oracle/traces must match ours, but for
// the differences listed below with their reasons.
#include "tests/platform/user32/MenuOracle.h"
#include "tests/support/windows/HeadlessApp.h"

#include <algorithm>
#include <functional>
#include <map>
#include <vector>

#include <gtest/gtest.h>

namespace {

// Lines of one side changed or left out before comparing, per scenario, and why:
// - menu_escape: the real loop tells of a closed sub-menu (WM_UNINITMENUPOPUP) only when the whole menu
//   ends; ours tells when it closes, as the message's own description says.
// - menu_mouse, menu_click: a selection made with the mouse carries MF_MOUSESELECT (0x8000) in
//   WM_MENUSELECT, as the platform documents it; the oracle leaves the flag out.
struct Known {
    const char* scenario;
    bool oursSide;
    const char* line;
    const char* becomes;  // nullptr: the line is left out
};
const Known KnownLines[] = {
    {"menu_escape", true, "owner WM_UNINITMENUPOPUP menu=sub", nullptr},
    {"menu_escape", false, "owner WM_UNINITMENUPOPUP menu=sub", nullptr},
    {"menu_mouse", true, "owner WM_MENUSELECT id=4 flags=0x8090 menu=main", "owner WM_MENUSELECT id=4 flags=0x0090 menu=main"},
    {"menu_mouse", true, "owner WM_MENUSELECT id=12 flags=0x8080 menu=sub", "owner WM_MENUSELECT id=12 flags=0x0080 menu=sub"},
    {"menu_click", true, "owner WM_MENUSELECT id=2 flags=0x8080 menu=main", "owner WM_MENUSELECT id=2 flags=0x0080 menu=main"},
};

std::string ReadTrace(const std::string& name) { return ReadMenuTrace(TW_USER32_TEST_DIR "/oracle/traces", name); }

std::vector<std::string> Lines(const std::string& trace, const std::string& scenario, bool oursSide) {
    std::vector<std::string> out;
    std::istringstream in(trace);
    std::string s;
    while (std::getline(in, s)) {
        if (!s.empty() && s.back() == '\r') s.pop_back();
        if (s.empty()) continue;
        bool dropped = false;
        for (const Known& k : KnownLines)
            if (k.scenario == scenario && k.oursSide == oursSide && s == k.line) {
                if (k.becomes) s = k.becomes;
                else dropped = true;
                break;
            }
        if (!dropped) out.push_back(s);
    }
    return out;
}

// `setup` adjusts our settings to the probe's after the fresh start.
std::string RunOurs(const char* name, const std::function<void()>& setup = {}) {
    testing_support::HeadlessApp app;
    if (setup) setup();
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
                         ::testing::Values("menu_keys", "menu_subkeys", "menu_escape", "menu_mnemonics", "menu_outside",
                                           "menu_mouse", "menu_click"),
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

// Item heights follow the menu font, which differs between the probe's display and ours; the first
// item's place, the separator and the item column are compared. Where the client area starts is not:
// the oracle draws the menu's one-pixel frame inside its client area, while ours keeps it in the
// non-client area, where the platform has it and where a window subclass takes it away.
TEST(MenuOracleLayout, FrameMarginAndSeparatorsMatchTheClassicPopup) {
    const auto real = Geometry(ReadTrace("menu_layout"));
    ASSERT_FALSE(real.empty()) << "no trace for menu_layout; run scripts/make-message-oracle.sh";
    const auto ours = Geometry(RunOurs("menu_layout"));
    ASSERT_EQ(ours.size(), real.size());
    auto field = [](const std::string& rest, const char* name) {
        const size_t at = rest.find(name);
        return at == std::string::npos ? -1 : std::atoi(rest.c_str() + at + strlen(name));
    };
    auto border = [](const std::map<std::string, std::string>& m) {
        const auto b = std::find_if(m.begin(), m.end(), [](const auto& e) { return e.first.rfind("border=", 0) == 0; });
        return b == m.end() ? std::string() : b->second;
    };
    ASSERT_FALSE(border(real).empty());
    EXPECT_EQ(field(border(ours), "left="), field(border(real), "left="));  // items from the window's edge
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

// A menu taller than the screen fills the work area; item rectangles stay where the layout puts them
// whatever the scroll, the first one below the top scroll arrow.
TEST(MenuOracleLayout, AScrollingMenuKeepsItsItemRectangles) {
    const auto real = Geometry(ReadTrace("menu_scroll"));
    ASSERT_FALSE(real.empty()) << "no trace for menu_scroll; run scripts/make-message-oracle.sh";
    const auto ours = Geometry(RunOurs("menu_scroll", [] {
        // The probe's screen, as tall as the virtual display it ran on.
        TwSetMonitorProvider([](TwMonitorDesc* mons, int max) {
            if (max > 0) mons[0] = TwMonitorDesc{RECT{0, 0, 1280, 1024}, RECT{0, 0, 1280, 1024}, TRUE};
            return 1;
        });
    }));
    ASSERT_EQ(ours.size(), real.size());
    auto field = [](const std::map<std::string, std::string>& m, const char* key, const char* name) {
        const std::string& rest = m.at(key);
        const size_t at = rest.find(name);
        return at == std::string::npos ? -1 : std::atoi(rest.c_str() + at + strlen(name));
    };
    for (const auto* side : {&ours, &real}) {
        EXPECT_EQ(field(*side, "scroll-window", "window="), field(*side, "scroll-window", "fits="));
        // Scrolling to the end leaves the rectangles where they were, one item after the other.
        EXPECT_EQ(side->at("scroll-end"), side->at("scroll-top"));
        EXPECT_EQ(field(*side, "scroll-top", "last="),
                  field(*side, "scroll-top", "first=") + 89 * field(*side, "scroll-top", "height="));
    }
    EXPECT_EQ(field(ours, "scroll-window", "window="), field(real, "scroll-window", "window="));
    EXPECT_EQ(field(ours, "scroll-top", "first="), field(real, "scroll-top", "first="));
}

// The pixel table of the classic pop-up ("px" lines): each pixel as the letter of its colour's role.
// Glyphs, the frame, the separator and the selection are compared exactly; text only where its ink
// starts and ends, within two pixels, as the fonts differ.
std::map<std::string, std::string> Pixels(const std::string& trace) {
    std::map<std::string, std::string> out;
    for (const std::string& l : Lines(trace, "", false)) {
        if (l.rfind("px ", 0) != 0) continue;
        // "px check row 3 TTTTTF" by "check row 3"; "px check dx=.." by "check"; "px frame left SFF" by "frame left"
        const size_t eq = l.find('=');
        const size_t cut = eq != std::string::npos ? l.rfind(' ', eq) : l.rfind(' ');
        out[l.substr(3, cut - 3)] = l.substr(cut + 1);
    }
    return out;
}

int Field(const std::string& facts, const char* name) {
    const size_t at = (" " + facts).find(std::string(" ") + name + "=");
    return at == std::string::npos ? -9999 : std::atoi(facts.c_str() + at + strlen(name) + 1);
}

TEST(MenuOracleLayout, GlyphsFrameSeparatorAndSelectionMatchThePixelTable) {
    const auto real = Pixels(ReadTrace("menu_pixels"));
    ASSERT_FALSE(real.empty()) << "no trace for menu_pixels; run scripts/make-message-oracle.sh";
    auto at = [](const std::map<std::string, std::string>& m, const std::string& k) {
        const auto i = m.find(k);
        return i == m.end() ? std::string("<missing>") : i->second;
    };
    // The size of the check-mark box is a setting of the display (the menu font's); ours takes the probe's.
    const std::string check = at(real, "menu");
    const int box = std::atoi(check.c_str() + check.find("check=") + 6);
    ASSERT_GT(box, 0);
    const auto ours = Pixels(RunOurs("menu_pixels", [box] {
        TwSetSystemMetric(SM_CXMENUCHECK, box);
        TwSetSystemMetric(SM_CYMENUCHECK, box);
    }));
    for (const char* side : {"frame left", "frame right", "frame top", "frame bottom", "separator column", "selected"})
        EXPECT_EQ(at(ours, side), at(real, side)) << side;
    EXPECT_EQ(Field(at(ours, "separator"), "dx"), Field(at(real, "separator"), "dx"));
    EXPECT_EQ(Field(at(ours, "separator"), "gap"), Field(at(real, "separator"), "gap"));
    // The check mark and the bullet sit at the item's left, the arrow at its right. Item heights follow
    // the fonts (they differ by a pixel), so a glyph's place from the item's middle may too.
    for (const auto& [glyph, edge] : {std::pair{"check", "dx"}, {"radio", "dx"}, {"arrow", "gap"}}) {
        const std::string o = at(ours, glyph), r = at(real, glyph);
        EXPECT_EQ(Field(o, edge), Field(r, edge)) << glyph;
        EXPECT_NEAR(Field(o, "dy"), Field(r, "dy"), 1) << glyph;
        // The oracle's menu check mark is a 6x6 hook; ours is the 7x7 mark of the classic check box,
        // which matches the oracle's check-box table. The bullet and the arrow match pixel for pixel.
        if (std::string(glyph) == "check") continue;
        EXPECT_EQ(Field(o, "size"), Field(r, "size")) << glyph;
        for (int row = 0; row < 16; ++row) {
            const std::string k = std::string(glyph) + " row " + std::to_string(row);
            EXPECT_EQ(at(ours, k), at(real, k)) << k;
        }
    }
    EXPECT_NEAR(Field(at(ours, "text"), "dx"), Field(at(real, "text"), "dx"), 2);   // where the caption starts
    EXPECT_NEAR(Field(at(ours, "text"), "gap"), Field(at(real, "text"), "gap"), 2);  // where the shortcut ends
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
