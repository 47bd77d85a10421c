// "ScrollBar" as a control and "msctls_updown32": what they tell their parent, repeat and acceleration
// while held, and the up-down's buddy.
#include "ControlsFixture.h"

using namespace user32_test;

namespace {

class BarTest : public WindowTest {
protected:
    HWND top = TopLevel();
    HWND Make(const char16_t* cls, DWORD style, RECT r, int id = 3) { return MakeControl(top, cls, style, r, id); }
    // (code, pos) of each WM_VSCROLL the parent got from `from`.
    std::vector<std::pair<int, int>> Scrolls(HWND from) {
        std::vector<std::pair<int, int>> out;
        for (const Seen& s : rec.seen)
            if (s.hwnd == top && s.msg == WM_VSCROLL && reinterpret_cast<HWND>(s.lp) == from)
                out.emplace_back(int(LOWORD(s.wp)), int(SHORT(HIWORD(s.wp))));
        return out;
    }
};

} // namespace

TEST_F(BarTest, ScrollInfoOfAControlIsItsOwnAndClamped) {
    HWND bar = Make(u"ScrollBar", SBS_VERT, {10, 10, 27, 210});
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMin = 0, si.nMax = 99, si.nPage = 10, si.nPos = 95;
    EXPECT_EQ(SetScrollInfo(bar, SB_CTL, &si, TRUE), 90);  // the last position a page can start at
    EXPECT_EQ(GetScrollPos(bar, SB_CTL), 90);
    int mn = -1, mx = -1;
    EXPECT_TRUE(GetScrollRange(bar, SB_CTL, &mn, &mx));
    EXPECT_EQ(std::make_pair(mn, mx), std::make_pair(0, 99));
    EXPECT_FALSE(GetWindowLongW(bar, GWL_STYLE) & WS_VSCROLL);  // not the window's own bar
}

TEST_F(BarTest, AHeldArrowRepeatsAfterADelayAndEndsTheScroll) {
    HWND bar = Make(u"ScrollBar", SBS_VERT, {10, 10, 27, 210});
    SetScrollRange(bar, SB_CTL, 0, 100, FALSE);
    rec.Clear();
    app.Press(bar, {8, 195});
    EXPECT_EQ(Scrolls(bar).size(), 1u);
    app.Advance(std::chrono::milliseconds(399));
    EXPECT_EQ(Scrolls(bar).size(), 1u);
    app.Advance(std::chrono::milliseconds(51));  // the first repeat at 400 ms, then every 50 ms
    EXPECT_EQ(Scrolls(bar).size(), 3u);
    app.Release(bar, {8, 195});
    const auto s = Scrolls(bar);
    EXPECT_EQ(s.front().first, SB_LINEDOWN);
    EXPECT_EQ(s.back().first, SB_ENDSCROLL);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(BarTest, DraggingTheThumbTracksThenSetsThePosition) {
    HWND bar = Make(u"ScrollBar", SBS_VERT, {10, 10, 27, 210});
    SetScrollRange(bar, SB_CTL, 0, 100, FALSE);
    rec.Clear();
    app.Drag(bar, {8, 20}, {8, 120});
    const auto s = Scrolls(bar);
    ASSERT_GE(s.size(), 3u);
    EXPECT_EQ(s[0].first, SB_THUMBTRACK);
    EXPECT_GT(s[1].second, s[0].second);
    const auto& last = s[s.size() - 2];
    EXPECT_EQ(last.first, SB_THUMBPOSITION);
    EXPECT_EQ(last.second, 67);  // the thumb moved 100 of the 149 pixels it can travel
    EXPECT_EQ(s.back().first, SB_ENDSCROLL);
}

TEST_F(BarTest, AnUpDownMadeWithoutAWidthTakesAScrollBarsBesideItsBuddy) {
    HWND edit = Make(u"Edit", ES_AUTOHSCROLL, {10, 10, 110, 34}, 4);
    HWND ud = Make(UPDOWN_CLASSW, UDS_ALIGNRIGHT | UDS_AUTOBUDDY, {0, 0, 0, 0}, 5);
    RECT er, ur;
    GetWindowRect(edit, &er);
    GetWindowRect(ud, &ur);
    EXPECT_EQ(ur.right - ur.left, GetSystemMetrics(SM_CXVSCROLL));
    EXPECT_EQ(ur.bottom - ur.top, 24);
    EXPECT_EQ(er.right, ur.left);
    EXPECT_EQ(ur.right - er.left, 100);  // the pair keeps the buddy's old width
    // Beside a framed buddy the arrows cover the frame's inner two pixels.
    HWND framed = Make(u"Edit", ES_AUTOHSCROLL | WS_BORDER, {10, 40, 110, 64}, 6);
    HWND ud2 = Make(UPDOWN_CLASSW, UDS_ALIGNRIGHT | UDS_AUTOBUDDY, {0, 0, 16, 24}, 7);
    GetWindowRect(framed, &er);
    GetWindowRect(ud2, &ur);
    EXPECT_EQ(er.right - er.left, 84);
    EXPECT_EQ(ur.left, er.right - 2);
}

TEST_F(BarTest, UpDownStepsItsBuddyAsTheParentAllows) {
    HWND edit = Make(u"Edit", ES_AUTOHSCROLL, {10, 10, 110, 34}, 4);
    HWND ud = Make(UPDOWN_CLASSW, UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_AUTOBUDDY, {0, 0, 16, 24}, 5);
    EXPECT_EQ(reinterpret_cast<HWND>(SendMessageW(ud, UDM_GETBUDDY, 0, 0)), edit);
    RECT er, ur;
    GetWindowRect(edit, &er);
    GetWindowRect(ud, &ur);
    EXPECT_EQ(er.right, ur.left);  // the arrows took the buddy's right end
    SendMessageW(ud, UDM_SETRANGE32, 0, 1500);
    SendMessageW(ud, UDM_SETPOS32, 0, 999);
    EXPECT_EQ(Text(edit), u"999");
    std::vector<std::pair<int, int>> asked;
    bool refuse = false;
    rec.handlers[top] = [&](HWND, UINT m, WPARAM, LPARAM lp) -> std::optional<LRESULT> {
        if (m != WM_NOTIFY) return std::nullopt;
        auto* nm = reinterpret_cast<NMUPDOWN*>(lp);
        EXPECT_EQ(nm->hdr.code, UINT(UDN_DELTAPOS));
        asked.emplace_back(nm->iPos, nm->iDelta);
        return refuse;
    };
    app.Click(ud, {8, 4});
    EXPECT_EQ(Text(edit), u"1,000");  // thousands grouped unless UDS_NOTHOUSANDS
    SetFocus(edit);
    app.Tap(VK_DOWN);
    EXPECT_EQ(SendMessageW(ud, UDM_GETPOS32, 0, 0), 999);
    refuse = true;
    app.Click(ud, {8, 4});
    EXPECT_EQ(SendMessageW(ud, UDM_GETPOS32, 0, 0), 999);
    EXPECT_EQ(asked, (std::vector<std::pair<int, int>>{{999, 1}, {1000, -1}, {999, 1}}));
    // A number typed into the buddy is what the position reads.
    SetWindowTextW(edit, u"42");
    BOOL failed = TRUE;
    EXPECT_EQ(SendMessageW(ud, UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&failed)), 42);
    EXPECT_FALSE(failed);
    SetWindowTextW(edit, u"lots");
    SendMessageW(ud, UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&failed));
    EXPECT_TRUE(failed);
}

struct WrapCase {
    DWORD style;
    int from, expected;
};

class UpDownEnds : public BarTest, public ::testing::WithParamInterface<WrapCase> {};

TEST_P(UpDownEnds, StopAtTheEndOrWrap) {
    HWND ud = Make(UPDOWN_CLASSW, GetParam().style, {10, 10, 26, 34});
    SendMessageW(ud, UDM_SETRANGE32, 0, 10);
    SendMessageW(ud, UDM_SETPOS32, 0, GetParam().from);
    app.Click(ud, {8, 4});
    EXPECT_EQ(SendMessageW(ud, UDM_GETPOS32, 0, 0), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Ends, UpDownEnds, ::testing::Values(
    WrapCase{0, 9, 10}, WrapCase{0, 10, 10}, WrapCase{UDS_WRAP, 10, 0}));

TEST_F(BarTest, HoldingAnUpDownAcceleratesByItsTable) {
    HWND ud = Make(UPDOWN_CLASSW, 0, {10, 10, 26, 34});
    SendMessageW(ud, UDM_SETRANGE32, 0, 100000);
    app.Press(ud, {8, 4});
    app.Advance(std::chrono::milliseconds(2050));  // past 2 s: steps of 5
    const LRESULT at2s = SendMessageW(ud, UDM_GETPOS32, 0, 0);
    app.Advance(std::chrono::milliseconds(100));
    EXPECT_EQ(SendMessageW(ud, UDM_GETPOS32, 0, 0) - at2s, 5);
    app.Release(ud, {8, 4});
    const LRESULT stopped = SendMessageW(ud, UDM_GETPOS32, 0, 0);
    app.Advance(std::chrono::milliseconds(500));
    EXPECT_EQ(SendMessageW(ud, UDM_GETPOS32, 0, 0), stopped);
}
