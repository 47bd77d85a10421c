// The classic looks of buttons, check boxes, radio buttons, group boxes, edit frames and the up-down
// control's arrows, pixel for pixel
// against tables drawn by the real platform: looks/cases.h makes the same control in the same state on
// both sides, with the same system colours; scripts/make-controls-looks-oracle.sh wrote the tables.
#include "tests/support/windows/HeadlessApp.h"

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#define T(s) u##s
#include "looks/cases.h"
#undef T

constexpr const char16_t* ButtonClass = u"Button";
constexpr const char16_t* EditClass = u"Edit";
constexpr const char16_t* ComboClass = u"ComboBox";

namespace {

// Cases where we knowingly differ from the tables, and why. "ours:" marks a fault of ours to mend (the
// glyphs come from DrawFrameControl in user32/Paint.cpp), after which the case leaves the list;
// "unverified:" a case where the reference is not known to be the platform's own look.
const std::map<std::string, std::string> KnownLooks{
    {"updown_up_pressed", "ours: the arrow glyphs are DrawFrameControl's, a known difference there (frame_scroll_* "
                          "of the drawing tables: the reference draws them from its \"Marlett\" face, here a "
                          "pixel left of ours and the up arrow a pixel higher), and so is the plain half's "
                          "soft edge; the pressed half's edge agrees"},
    {"updown_down_pressed", "ours: the arrow glyphs, as in updown_up_pressed"},
    {"updown_disabled", "ours: the arrow glyphs, as in updown_up_pressed"},
    {"push_focused",
     "unverified: the real platform draws no focus rectangle on a push button without text; ours draws it "
     "inside the frame, as a button with text has it, so that the focus shows on image buttons too"},
    {"group",
     "unverified: the frame's top line runs through the middle of the caption's font, which differs: the "
     "reference's box without WM_SETFONT measures its own system font (a line lower than ours)"},
};

struct Table {
    int w = 0, h = 0;
    std::vector<DWORD> px;
};

bool ReadTable(const std::string& name, Table& t) {
    std::ifstream in(std::string(TW_USER32_TEST_DIR) + "/looks/tables/" + name + ".txt");
    if (!(in >> t.w >> t.h) || t.w <= 0 || t.h <= 0) return false;
    t.px.resize(size_t(t.w) * size_t(t.h));
    for (DWORD& v : t.px)
        if (!(in >> std::hex >> v)) return false;
    return true;
}

// Both pictures side by side, a letter per colour, with the differing pixels marked under "^".
std::string Picture(const Table& want, const std::vector<DWORD>& got) {
    std::map<DWORD, char> legend;
    auto letter = [&](DWORD v) {
        auto [it, added] = legend.emplace(v, char('a' + legend.size() % 26));
        return it->second;
    };
    std::ostringstream s;
    for (int y = 0; y < want.h; ++y) {
        std::string a, b, d;
        for (int x = 0; x < want.w; ++x) {
            const size_t i = size_t(y * want.w + x);
            a += letter(want.px[i]);
            b += letter(got[i]);
            d += want.px[i] != got[i] ? '^' : ' ';
        }
        s << a << "  " << b << "  " << d << '\n';
    }
    for (const auto& [v, c] : legend) s << c << '=' << std::hex << v << ' ';
    return s.str();
}

LRESULT CALLBACK HostProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcW(h, m, w, l); }

testing_support::HeadlessApp* current = nullptr;
void Settle() { current->PumpUntilIdle(); }

// Draws a case as looks/cases.h does, in a fresh headless run; `themed` switches the visual styles on.
std::vector<DWORD> Draw(const LooksCase& lc, bool themed = false) {
    testing_support::HeadlessApp app;
    current = &app;
    WNDCLASSW wc{};
    wc.lpfnWndProc = HostProc;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = u"LooksHost";
    RegisterClassW(&wc);
    LooksColors();
    TwSetThemeActive(themed);
    HWND host = CreateWindowExW(0, u"LooksHost", u"", WS_POPUP | WS_VISIBLE, 100, 100, 200, 100, nullptr, nullptr,
                                nullptr, nullptr);
    app.PumpUntilIdle();
    std::vector<DWORD> got(size_t(lc.w * lc.h));
    LooksDraw(&lc, host, Settle, got.data());
    DestroyWindow(host);
    TwSetThemeActive(FALSE);
    current = nullptr;
    return got;
}

class ControlsLooks : public ::testing::TestWithParam<int> {};

TEST_P(ControlsLooks, DrawnAsTheRealPlatformDrawsThem) {
    const LooksCase& lc = kLooksCases[GetParam()];
    Table want;
    ASSERT_TRUE(ReadTable(lc.name, want)) << "no table for " << lc.name << ": run scripts/make-controls-looks-oracle.sh";
    ASSERT_EQ(want.w, lc.w);
    ASSERT_EQ(want.h, lc.h);

    const std::vector<DWORD> got = Draw(lc);
    int differing = 0;
    for (size_t i = 0; i < got.size(); ++i) differing += got[i] != want.px[i];
    if (auto it = KnownLooks.find(lc.name); it != KnownLooks.end()) {
        if (differing == 0) FAIL() << lc.name << " now matches the table: take it off KnownLooks";
        if (LooksIsUpDown(&lc)) {
            // The glyphs aside, the edge rings agree: the pressed half's, sunken, and a disabled control's.
            // (A plain half has DrawFrameControl's known soft edge, frame_scroll_up in the drawing tables.)
            const int half = lc.h / 2;
            int edges = 0;
            for (int y = 0; y < lc.h; ++y)
                for (int x = 0; x < lc.w; ++x) {
                    const bool upper = y < half;
                    if (lc.pushed && (lc.pushed == 1) != upper) continue;
                    const int top = upper ? 0 : half, bottom = upper ? half - 1 : lc.h - 1;
                    const bool ring = x < 2 || x >= lc.w - 2 || y < top + 2 || y > bottom - 2;
                    const size_t i = size_t(y * lc.w + x);
                    edges += ring && got[i] != want.px[i];
                }
            EXPECT_EQ(edges, 0) << "left: the real platform, right: ours\n" << Picture(want, got);
        }
        GTEST_SKIP() << it->second << '\n' << Picture(want, got);
    }
    EXPECT_EQ(differing, 0) << "left: the real platform, right: ours\n" << Picture(want, got);
}

INSTANTIATE_TEST_SUITE_P(Classic, ControlsLooks, ::testing::Range(0, LOOKS_CASE_COUNT),
                         [](const ::testing::TestParamInfo<int>& info) { return std::string(kLooksCases[info.param].name); });

} // namespace

namespace {

// With themes on, the controls draw their frames and glyphs through the visual styles: a pixel of each
// part, in the colour the theme gives that part and state (0xRRGGBB).
struct ThemedPixel {
    LooksCase look;
    int x, y;
    DWORD rgb;
};

const ThemedPixel ThemedPixels[] = {
    {{"push", ButtonClass, BS_PUSHBUTTON, 0, 40, 20, -1, 0, 0, 0}, 0, 0, 0xADADAD},
    {{"push face", ButtonClass, BS_PUSHBUTTON, 0, 40, 20, -1, 0, 0, 0}, 5, 3, 0xE1E1E1},
    {{"push pressed", ButtonClass, BS_PUSHBUTTON, 0, 40, 20, -1, 1, 0, 0}, 0, 0, 0x005499},
    {{"push default", ButtonClass, BS_DEFPUSHBUTTON, 0, 40, 20, -1, 0, 0, 0}, 1, 1, 0x0078D7},
    {{"push disabled", ButtonClass, BS_PUSHBUTTON, 0, 40, 20, -1, 0, 0, 1}, 0, 0, 0xBFBFBF},
    {{"check", ButtonClass, BS_CHECKBOX, 0, 20, 16, 0, 0, 0, 0}, 0, 1, 0x333333},
    {{"check disabled", ButtonClass, BS_CHECKBOX, 0, 20, 16, 1, 0, 0, 1}, 0, 1, 0xBCBCBC},
    {{"check mixed", ButtonClass, BS_3STATE, 0, 20, 16, 2, 0, 0, 0}, 4, 5, 0x000000},
    {{"radio checked", ButtonClass, BS_RADIOBUTTON, 0, 20, 16, 1, 0, 0, 0}, 4, 5, 0x000000},
    {{"group", ButtonClass, BS_GROUPBOX, 0, 40, 30, -1, 0, 0, 0}, 0, 20, 0xDCDCDC},
    {{"edit", EditClass, ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, 40, 20, -1, 0, 0, 0}, 0, 0, 0x7A7A7A},
    {{"edit focused", EditClass, ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, 40, 20, -1, 0, 1, 0}, 0, 10, 0x0078D7},
    {{"combo button", ComboClass, CBS_DROPDOWNLIST, 0, 60, 21, -1, 0, 0, 0}, 60 - 2 - 17, 2, 0xACACAC},
};

void PrintTo(const ThemedPixel& p, std::ostream* os) { *os << p.look.name; }

class ThemedLooks : public ::testing::TestWithParam<ThemedPixel> {};

TEST_P(ThemedLooks, DrawnThroughTheVisualStyles) {
    const ThemedPixel& p = GetParam();
    const std::vector<DWORD> themed = Draw(p.look, true);
    EXPECT_EQ(themed[size_t(p.y * p.look.w + p.x)], p.rgb) << std::hex << "at " << std::dec << p.x << "," << p.y;
    // Themes off again, the classic look comes back.
    EXPECT_NE(Draw(p.look)[size_t(p.y * p.look.w + p.x)], p.rgb);
}

INSTANTIATE_TEST_SUITE_P(Parts, ThemedLooks, ::testing::ValuesIn(ThemedPixels),
                         [](const ::testing::TestParamInfo<ThemedPixel>& info) {
                             std::string n = info.param.look.name;
                             for (char& c : n)
                                 if (c == ' ') c = '_';
                             return n;
                         });

} // namespace
