// tests/toolbars/BarMenuOracleTest.cpp: the platform's own pop-up menus as a real implementation runs
// them (the committed traces of tests/platform/user32/oracle) replayed on a popup menu of ours with the
// same items and the same input: the chosen item, a cancel, the beeps and what is queued afterwards
// agree. Where the bars behave otherwise on purpose, the case says so.
#include "tests/toolbars/MenuFixture.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <regex>

using namespace bars_test;

namespace {

// What the real menu did: the result of TrackPopupMenu, the command it posted, how often it asked the
// owner about a key without a match (the menu then beeps), and the scroll window's height.
struct Oracle {
    unsigned flags = 0;
    int result = -1;
    int command = 0;
    int unmatchedKeys = 0;
    int scrollWindow = 0;
};

Oracle ReadTrace(const std::string& name) {
    std::ifstream in(std::string(std::getenv("TW_SOURCE_DIR")) + "/tests/platform/user32/oracle/traces/" + name + ".txt");
    EXPECT_TRUE(in.good()) << name;
    Oracle o;
    std::string line;
    std::smatch m;
    while (std::getline(in, line)) {
        if (std::regex_search(line, m, std::regex(R"(^> TrackPopupMenu flags=0x([0-9a-f]+))")))
            o.flags = static_cast<unsigned>(std::stoul(m[1], nullptr, 16));
        else if (std::regex_search(line, m, std::regex(R"(^< (-?\d+))")))
            o.result = std::stoi(m[1]);
        else if (std::regex_search(line, m, std::regex(R"(owner WM_COMMAND id=(\d+))")))
            o.command = std::stoi(m[1]);
        else if (line.find("owner WM_MENUCHAR") != std::string::npos)
            ++o.unmatchedKeys;
        else if (std::regex_search(line, m, std::regex(R"(item scroll-window window=(\d+))")))
            o.scrollWindow = std::stoi(m[1]);
    }
    return o;
}

constexpr unsigned TPM_RETURNCMD_FLAG = 0x100;

// The probe's menus with their command ids.
struct Replay : MenuFixture {
    std::map<TBarCustomItem*, int> ids;
    TPlainItem *more = nullptr, *beta = nullptr;
    explicit Replay(const std::string& kind) {
        menu->Items()->Clear();
        at = POINT{100, 100};
        // The fixture's control lies elsewhere; the probe's owner window did not cover (900, 700) either.
        if (kind == "fruit") {
            Id(u"&Apple", 1);
            Id(u"&Cherry", 2);
            Id(u"&Banana", 3);
        } else if (kind == "scroll") {
            for (int i = 1; i <= 90; ++i) Id(u"Entry", i);
        } else {
            Id(u"&One", 1);
            Id(u"&Two", 2);
            menu->Items()->Add(new TBarSeparatorItem(form));
            Id(u"T&hree", 3);
            more = Id(u"&More", 0);
            more->AddStyle(tbisSubmenu);
            ids[Add(u"&Alpha", more)] = 11;
            beta = Add(u"&Beta", more);
            ids[beta] = 12;
        }
        clicks.clear();
    }
    TPlainItem* Id(const char16_t* caption, int id) {
        TPlainItem* item = Add(caption, menu->Items());
        ids[item] = id;
        return item;
    }
    // Runs the menu as the probe did; what it chose, as TrackPopupMenu reports it.
    int Run(const Oracle& o) {
        TBarCustomItem* chosen = Popup((o.flags & TPM_RETURNCMD_FLAG) != 0);
        const int result = chosen ? ids[chosen] : 0;
        return (o.flags & TPM_RETURNCMD_FLAG) ? result : (chosen ? 1 : 0);
    }
    // The command the menu left for the program: the deferred click, run by the next pump.
    int PostedCommand() {
        clicks.clear();
        h.Pump();
        if (clicks.empty()) return 0;
        for (auto& [item, id] : ids)
            if (item->Caption().toStdString() == clicks.front()) return id;
        return -1;
    }
};

// The traces are found through the source folder that ctest names.
class MenuOracle : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("TW_SOURCE_DIR")) GTEST_SKIP() << "TW_SOURCE_DIR is not set (ctest sets it)";
    }
};

void Compare(Replay& r, const Oracle& o, int result, const std::string& name) {
    EXPECT_EQ(result, o.result) << name;
    EXPECT_EQ(Recorded::Count("MessageBeep 0"), o.unmatchedKeys) << name;
    EXPECT_FALSE(MenuFixture::Queued(WM_CHAR, WM_DEADCHAR)) << name;
    EXPECT_FALSE(MenuFixture::Queued(WM_SYSCHAR, WM_SYSDEADCHAR)) << name;
    EXPECT_EQ(r.PostedCommand(), o.command) << name;
}

TEST_F(MenuOracle, KeysDownDownReturn) {
    const Oracle o = ReadTrace("menu_keys");
    Replay r("sample");
    r.Then([] {
        Key(VK_DOWN);
        Key(VK_DOWN);
        Key(VK_RETURN);
    });
    Compare(r, o, r.Run(o), "menu_keys");
}

TEST_F(MenuOracle, MnemonicsWithoutAMatchBeepThenAUniqueOneChooses) {
    const Oracle o = ReadTrace("menu_mnemonics");
    Replay r("fruit");
    r.Then([] {
        Key('Z', u"z");
        Key('B', u"b");
    });
    Compare(r, o, r.Run(o), "menu_mnemonics");
}

TEST_F(MenuOracle, AMnemonicOpensTheSubmenuWithItsFirstItemSelected) {
    const Oracle o = ReadTrace("menu_subkeys");
    Replay r("sample");
    r.Then([] {
        Key('M', u"m");
        Key(VK_DOWN);
        Key(VK_RETURN);
    });
    Compare(r, o, r.Run(o), "menu_subkeys");
}

TEST_F(MenuOracle, RestingOnASubmenuOpensItThenAClickChooses) {
    const Oracle o = ReadTrace("menu_mouse");
    Replay r("sample");
    r.Then([&] { MoveTo(ItemPoint(r.more)); });
    r.Then([] { TwAdvanceClock(400); });  // the menu show delay
    r.Then([&] { ClickAt(ItemPoint(r.beta)); });
    Compare(r, o, r.Run(o), "menu_mouse");
}

TEST_F(MenuOracle, AClickOutsideCancels) {
    const Oracle o = ReadTrace("menu_outside");
    Replay r("sample");
    r.Then([] { ClickAt(POINT{900, 700}); });
    // The bars leave the press queued for the window under it (here none of the program's), where the
    // platform's menu loop takes it: the queue is not compared for this case.
    const int result = r.Run(o);
    EXPECT_EQ(result, o.result);
    EXPECT_EQ(Recorded::Count("MessageBeep 0"), o.unmatchedKeys);
    EXPECT_EQ(r.PostedCommand(), o.command);
}

TEST_F(MenuOracle, NinetyItemsFillTheScreenHighAndScroll) {
    const Oracle o = ReadTrace("menu_scroll");
    Replay r("scroll");
    int height = 0;
    bool arrows = false;
    r.Then([&] {
        TBarPopupWindow* w = PopupOf(r.menu->Items());
        height = w->Height();
        arrows = w->View()->ShowDownArrow();
        Key(VK_ESCAPE);
    });
    EXPECT_EQ(r.Run(o), o.result);
    EXPECT_EQ(height, o.scrollWindow);
    EXPECT_TRUE(arrows);
}

// The submenu arrow as the real menu draws it, from the probe's pixel table (its glyph box and rows,
// 'T' ink, 'F' the menu's face), read from our popup's window at the probe's check-box size.
TEST_F(MenuOracle, TheSubmenuArrowHasTheRealMenusPixels) {
    std::ifstream in(std::string(std::getenv("TW_SOURCE_DIR")) + "/tests/platform/user32/oracle/traces/menu_pixels.txt");
    std::vector<std::string> want;
    int box = 0, gap = -1;
    std::string line;
    std::smatch m;
    while (std::getline(in, line)) {
        if (std::regex_search(line, m, std::regex(R"(^px menu .*check=(\d+)x)"))) box = std::stoi(m[1]);
        else if (std::regex_search(line, m, std::regex(R"(^px arrow dx=\d+ gap=(\d+))"))) gap = std::stoi(m[1]);
        else if (std::regex_search(line, m, std::regex(R"(^px arrow row \d+ ([A-Z]+))"))) want.push_back(m[1]);
    }
    ASSERT_GT(box, 0);
    ASSERT_FALSE(want.empty());
    Replay r("sample");  // the harness starts from its own metrics
    const int savedW = GetSystemMetrics(SM_CXMENUCHECK), savedH = GetSystemMetrics(SM_CYMENUCHECK);
    TwSetSystemMetric(SM_CXMENUCHECK, box);
    TwSetSystemMetric(SM_CYMENUCHECK, box);
    std::vector<std::string> got;
    int gotGap = -1;
    r.Then([&] {
        TBarPopupWindow* w = PopupOf(r.menu->Items());
        ASSERT_NE(w, nullptr);
        UpdateWindow(w->Handle());
        const TRect item = w->View()->Find(r.more)->BoundsRect();
        HDC dc = GetDC(w->Handle());
        const COLORREF face = GetPixel(dc, item.Right - 1, item.Top);
        // The glyph's box: the ink in the item's right part, past its caption.
        int left = item.Right, right = -1, top = item.Bottom, bottom = -1;
        for (int y = item.Top; y < item.Bottom; ++y)
            for (int x = item.Right - box - 4; x < item.Right; ++x)
                if (GetPixel(dc, x, y) != face) {
                    left = std::min(left, x), right = std::max(right, x + 1);
                    top = std::min(top, y), bottom = std::max(bottom, y + 1);
                }
        for (int y = top; y < bottom; ++y) {
            std::string row;
            for (int x = left; x < right; ++x) row += GetPixel(dc, x, y) != face ? 'T' : 'F';
            got.push_back(row);
        }
        gotGap = item.Right - right;
        ReleaseDC(w->Handle(), dc);
        Key(VK_ESCAPE);
    });
    r.Popup();
    TwSetSystemMetric(SM_CXMENUCHECK, savedW);
    TwSetSystemMetric(SM_CYMENUCHECK, savedH);
    EXPECT_EQ(got, want);
    // The bars set the arrow's box inside the item; the real menu lets it reach two pixels past the
    // item's right edge, so its arrow ends two pixels nearer the edge.
    EXPECT_EQ(gotGap, gap + 2);
}

// The popup's frame, flat and raised, from the probe's pixel tables: the three frame pixels of each side,
// from the window's edge inwards, as the letters of their colours' roles (system colours set apart).
TEST_F(MenuOracle, TheFrameFlatAndRaisedHasTheRealMenusPixels) {
    const int roles[] = {COLOR_MENU, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT, COLOR_3DDKSHADOW, COLOR_3DLIGHT, COLOR_BTNFACE};
    const COLORREF colours[] = {RGB(208, 208, 208), RGB(96, 96, 96),   RGB(255, 255, 255),
                                RGB(24, 24, 24),    RGB(232, 232, 232), RGB(192, 192, 192)};
    const char letters[] = "FSWDLB";
    COLORREF saved[6];
    for (int i = 0; i < 6; ++i) saved[i] = GetSysColor(roles[i]);
    for (const auto& [trace, flat] : {std::pair{"menu_pixels", true}, {"menu_pixels_raised", false}}) {
        std::ifstream in(std::string(std::getenv("TW_SOURCE_DIR")) + "/tests/platform/user32/oracle/traces/" + trace + ".txt");
        std::map<std::string, std::string> want;
        std::string line;
        std::smatch m;
        while (std::getline(in, line))
            if (std::regex_search(line, m, std::regex(R"(^px frame (\w+) ([A-Z?]+))"))) want[m[1]] = m[2].str().substr(0, 3);
        ASSERT_EQ(want.size(), 4u) << trace;
        Replay r("sample");
        MenuSettings::Flat = flat;
        SetSysColors(6, roles, colours);
        std::map<std::string, std::string> got;
        r.Then([&] {
            TBarPopupWindow* w = PopupOf(r.menu->Items());
            ASSERT_NE(w, nullptr);
            RedrawWindow(w->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
            HDC dc = GetWindowDC(w->Handle());
            const int width = w->Width(), height = w->Height();
            const TRect item = w->View()->Find(r.more)->BoundsRect();
            const int y = 3 + (item.Top + item.Bottom) / 2;  // through an item, as the probe reads it
            auto role = [&](int x, int yy) {
                const COLORREF c = GetPixel(dc, x, yy);
                for (int i = 0; i < 6; ++i)
                    if (c == colours[i]) return letters[i];
                return '?';
            };
            for (int i = 0; i < 3; ++i) {
                got["left"] += role(i, y);
                got["right"] += role(width - 1 - i, y);
                got["top"] += role(width / 2, i);
                got["bottom"] += role(width / 2, height - 1 - i);
            }
            ReleaseDC(w->Handle(), dc);
            Key(VK_ESCAPE);
        });
        r.Popup();
        SetSysColors(6, roles, saved);
        for (const char* side : {"left", "right", "top", "bottom"}) {
            std::string expected = want[side];
            // The raised frame's last ring is the button face in the bars, the menu's colour in the real menu.
            if (!flat) expected[2] = 'B';
            EXPECT_EQ(got[side], expected) << trace << ' ' << side;
        }
    }
}

// The check mark and the bullet: the ink of the mark itself (the text colour), row by row, against the
// probe's pixel table. The bars draw their own marks in a sunken box beside the caption; what differs
// from the real menu's glyphs is named below.
TEST_F(MenuOracle, CheckAndRadioMarksAgainstTheRealMenusPixels) {
    std::ifstream in(std::string(std::getenv("TW_SOURCE_DIR")) + "/tests/platform/user32/oracle/traces/menu_pixels.txt");
    std::map<std::string, std::vector<std::string>> want;
    std::string line;
    std::smatch m;
    while (std::getline(in, line))
        if (std::regex_search(line, m, std::regex(R"(^px (check|radio) row \d+ ([A-Z]+))"))) want[m[1]].push_back(m[2]);
    ASSERT_EQ(want.size(), 2u);
    std::map<std::string, std::vector<std::string>> got;
    for (const char* kind : {"check", "radio"}) {
        Replay r("sample");
        TPlainItem* item = r.Id(u"", 99);
        item->SetChecked(true);
        item->SetRadioItem(std::string(kind) == "radio");
        r.Then([&] {
            TBarPopupWindow* w = PopupOf(r.menu->Items());
            ASSERT_NE(w, nullptr);
            UpdateWindow(w->Handle());
            const TRect box = w->View()->Find(item)->BoundsRect();
            HDC dc = GetDC(w->Handle());
            const COLORREF ink = GetSysColor(COLOR_BTNTEXT);
            int left = box.Right, right = -1, top = box.Bottom, bottom = -1;
            for (int y = box.Top; y < box.Bottom; ++y)
                for (int x = box.Left; x < box.Right; ++x)
                    if (GetPixel(dc, x, y) == ink) {
                        left = std::min(left, x), right = std::max(right, x + 1);
                        top = std::min(top, y), bottom = std::max(bottom, y + 1);
                    }
            for (int y = top; y < bottom; ++y) {
                std::string row;
                for (int x = left; x < right; ++x) row += GetPixel(dc, x, y) == ink ? 'T' : 'F';
                got[kind].push_back(row);
            }
            ReleaseDC(w->Handle(), dc);
            Key(VK_ESCAPE);
        });
        r.Popup();
    }
    // The check: the same hook, as tall, its tip at the same place and its arm reaching the top right
    // corner; the bars' arm runs one pixel further (7 wide against 6), the hook of their check box.
    const auto &check = got["check"], &realCheck = want["check"];
    ASSERT_EQ(check.size(), realCheck.size());
    EXPECT_EQ(check.front().size(), realCheck.front().size() + 1);
    EXPECT_EQ(check.back().find('T'), realCheck.back().find('T'));  // the tip
    EXPECT_EQ(check.front().back(), 'T');
    EXPECT_EQ(check.back().find('T'), check.back().rfind('T'));
    // The bullet: a disc with its corners left out; the bars' is a pixel larger each way (5 against 4).
    const auto &radio = got["radio"], &realRadio = want["radio"];
    ASSERT_EQ(radio.size(), realRadio.size() + 1);
    EXPECT_EQ(radio.front().size(), realRadio.front().size() + 1);
    for (const auto* rows : {&radio, &realRadio}) {
        EXPECT_EQ(rows->front().front(), 'F');
        EXPECT_EQ(rows->back().back(), 'F');
        EXPECT_EQ((*rows)[rows->size() / 2], std::string(rows->size(), 'T'));
    }
}

// The ink of a drawing table of the GDI reference (tests/platform/win/oracle/tables), row by row.
std::vector<std::string> TableInk(const std::string& name) {
    std::ifstream in(std::string(std::getenv("TW_SOURCE_DIR")) + "/tests/platform/win/oracle/tables/" + name + ".txt");
    int w = 0, h = 0;
    in >> w >> h;
    std::vector<std::string> rows(size_t(std::max(h, 0)));
    for (std::string& row : rows)
        for (int x = 0; x < w; ++x) {
            std::string px;
            in >> px;
            row += px == "00ffffff" ? 'F' : 'T';
        }
    std::vector<std::string> out;
    for (const std::string& row : rows)
        if (row.find('T') != std::string::npos) out.push_back(row.substr(row.find('T'), row.rfind('T') - row.find('T') + 1));
    return out;
}

// The scroll arrows of a tall popup: the triangles the GDI reference fills for the same points.
TEST_F(MenuOracle, ScrollArrowsAreTheReferenceTriangles) {
    const auto up = TableInk("menu_scroll_arrow_up"), down = TableInk("menu_scroll_arrow_down");
    ASSERT_FALSE(up.empty());
    Replay r("scroll");
    std::vector<std::string> gotDown, gotUp;
    auto ink = [](HDC dc, int top, int bottom, int width) {
        const COLORREF c = GetSysColor(COLOR_MENUTEXT);
        std::vector<std::string> out;
        for (int y = top; y < bottom; ++y) {
            std::string row;
            for (int x = 0; x < width; ++x) row += GetPixel(dc, x, y) == c ? 'T' : 'F';
            if (row.find('T') != std::string::npos) out.push_back(row.substr(row.find('T'), row.rfind('T') - row.find('T') + 1));
        }
        return out;
    };
    r.Then([&] {
        TBarPopupWindow* w = PopupOf(r.menu->Items());
        ASSERT_NE(w, nullptr);
        UpdateWindow(w->Handle());
        HDC dc = GetDC(w->Handle());
        RECT c;
        GetClientRect(w->Handle(), &c);
        gotDown = ink(dc, c.bottom - PopupScrollArrowHeight(), c.bottom, c.right);
        ReleaseDC(w->Handle(), dc);
        Key(VK_END);
    });
    r.Then([&] {
        TBarPopupWindow* w = PopupOf(r.menu->Items());
        UpdateWindow(w->Handle());
        HDC dc = GetDC(w->Handle());
        RECT c;
        GetClientRect(w->Handle(), &c);
        gotUp = ink(dc, 0, PopupScrollArrowHeight(), c.right);
        ReleaseDC(w->Handle(), dc);
        Key(VK_ESCAPE);
    });
    r.Popup();
    EXPECT_EQ(gotDown, down);
    EXPECT_EQ(gotUp, up);
}

} // namespace
