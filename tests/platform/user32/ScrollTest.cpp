// Standard scroll bars: the state rules the controls rely on and the tracking loop on virtual time.
#include "Recorder.h"

using namespace user32_test;

TEST_F(WindowTest, ScrollInfoClampsThePositionAndTrackPosFollowsItOutsideTracking) {
    HWND w = TopLevel(WS_POPUP | WS_VISIBLE | WS_VSCROLL, RECT{0, 0, 200, 200});
    SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 100, 20, 95, 0};
    EXPECT_EQ(SetScrollInfo(w, SB_VERT, &si, TRUE), 81);  // nMax - nPage + 1
    SCROLLINFO got{sizeof got, SIF_ALL, 0, 0, 0, 0, 0};
    ASSERT_TRUE(GetScrollInfo(w, SB_VERT, &got));
    EXPECT_EQ(got.nPos, 81);
    EXPECT_EQ(got.nTrackPos, 81);
    EXPECT_EQ(got.nPage, 20u);
    si = SCROLLINFO{sizeof si, SIF_POS, 0, 0, 0, -5, 0};
    EXPECT_EQ(SetScrollInfo(w, SB_VERT, &si, TRUE), 0);
}

TEST_F(WindowTest, NeedlessBarHidesUnlessDisableNoScrollKeepsItShownAndDisabled) {
    HWND w = TopLevel(WS_POPUP | WS_VISIBLE | WS_VSCROLL, RECT{0, 0, 200, 200});
    rec.Clear();
    SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL, 0, 10, 50, 0, 0};
    SetScrollInfo(w, SB_VERT, &si, TRUE);
    EXPECT_TRUE(GetWindowLongPtrW(w, GWL_STYLE) & WS_VSCROLL);
    EXPECT_TRUE(rec.Of(WM_SIZE).empty());
    si.fMask = SIF_RANGE | SIF_PAGE;
    SetScrollInfo(w, SB_VERT, &si, TRUE);
    EXPECT_FALSE(GetWindowLongPtrW(w, GWL_STYLE) & WS_VSCROLL);
    ASSERT_EQ(rec.Of(WM_SIZE).size(), 1u);  // the client area grew
    EXPECT_EQ(LOWORD(rec.Of(WM_SIZE)[0].lp), 200);
    // A bar the program disabled stays disabled through SetScrollInfo.
    si = SCROLLINFO{sizeof si, SIF_RANGE | SIF_PAGE, 0, 100, 10, 0, 0};
    SetScrollInfo(w, SB_VERT, &si, TRUE);
    EXPECT_TRUE(GetWindowLongPtrW(w, GWL_STYLE) & WS_VSCROLL);
    EXPECT_TRUE(EnableScrollBar(w, SB_VERT, ESB_DISABLE_BOTH));
    SetScrollInfo(w, SB_VERT, &si, TRUE);
    rec.Clear();
    RECT wr;
    GetWindowRect(w, &wr);
    const int x = wr.right - 5;
    TwInputMouseButton(x, wr.top + 5, TW_BUTTON_LEFT, TRUE);
    TwInputMouseButton(x, wr.top + 5, TW_BUTTON_LEFT, FALSE);
    app.PumpUntilIdle();
    EXPECT_TRUE(rec.Of(WM_VSCROLL).empty());
}

TEST_F(WindowTest, TrackingLoopRepeatsOnVirtualTimeAndKeepsTimersRunning) {
    HWND w = TopLevel(WS_POPUP | WS_VISIBLE | WS_VSCROLL, RECT{0, 0, 200, 200});
    SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 100, 10, 0, 0};
    SetScrollInfo(w, SB_VERT, &si, TRUE);
    SetTimer(w, 5, 100, nullptr);
    app.PumpUntilIdle();
    RECT wr;
    GetWindowRect(w, &wr);
    const POINT down{wr.right - 5, wr.bottom - 5};  // the down arrow
    const ULONGLONG start = GetTickCount64();
    app.OnIdle([&] {
        if (GetTickCount64() - start >= 300) TwInputMouseButton(down.x, down.y, TW_BUTTON_LEFT, FALSE);
    });
    rec.Clear();
    TwInputMouseButton(down.x, down.y, TW_BUTTON_LEFT, TRUE);
    app.PumpUntilIdle();
    std::vector<WPARAM> codes;
    for (const Seen& s : rec.Of(WM_VSCROLL)) codes.push_back(LOWORD(s.wp));
    // At once, then after 200 ms, then every 50 ms until the release at 300 ms.
    EXPECT_EQ(codes, (std::vector<WPARAM>{SB_LINEDOWN, SB_LINEDOWN, SB_LINEDOWN, SB_LINEDOWN, SB_ENDSCROLL}));
    EXPECT_EQ(rec.Of(WM_TIMER).size(), 3u);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(WindowTest, DraggingTheThumbSendsThumbTrackAndThumbPosition) {
    HWND w = TopLevel(WS_POPUP | WS_VISIBLE | WS_VSCROLL, RECT{0, 0, 200, 217});
    SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 99, 50, 0, 0};
    SetScrollInfo(w, SB_VERT, &si, TRUE);
    rec.handlers[w] = [w](HWND, UINT m, WPARAM wp, LPARAM) -> std::optional<LRESULT> {
        if (m == WM_VSCROLL && LOWORD(wp) == SB_THUMBTRACK) {
            SCROLLINFO t{sizeof t, SIF_TRACKPOS | SIF_POS, 0, 0, 0, 0, 0};
            GetScrollInfo(w, SB_VERT, &t);
            EXPECT_EQ(t.nTrackPos, int(HIWORD(wp)));
            EXPECT_EQ(t.nPos, 0);
        }
        return std::nullopt;
    };
    app.PumpUntilIdle();
    RECT wr;
    GetWindowRect(w, &wr);
    const int x = wr.right - 5;
    // Track 217 - 2 * 17 = 183 px, thumb 91 px from y = 17: drag it down by 46 px (half the room).
    TwInputMouseButton(x, 30, TW_BUTTON_LEFT, TRUE);
    std::vector<std::pair<int, int>> steps{{x, 53}, {x, 76}};
    int step = 0;
    app.OnIdle([&] {
        if (step < 2) TwInputMouseMove(steps[step].first, steps[step].second);
        else TwInputMouseButton(x, 76, TW_BUTTON_LEFT, FALSE);
        ++step;
    });
    rec.Clear();
    app.PumpUntilIdle();
    std::vector<std::pair<WPARAM, int>> got;
    for (const Seen& s : rec.Of(WM_VSCROLL)) got.emplace_back(LOWORD(s.wp), HIWORD(s.wp));
    ASSERT_GE(got.size(), 3u);
    EXPECT_EQ(got.front().first, WPARAM(SB_THUMBTRACK));
    EXPECT_EQ(got[got.size() - 2], (std::pair<WPARAM, int>{SB_THUMBPOSITION, 25}));
    EXPECT_EQ(got.back().first, WPARAM(SB_ENDSCROLL));
}

TEST_F(WindowTest, ThumbSnapsBackWhenThePointerStraysFarAndFollowsAgainOnReturn) {
    HWND w = TopLevel(WS_POPUP | WS_VISIBLE | WS_VSCROLL, RECT{400, 0, 600, 217});
    SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 99, 50, 0, 0};
    SetScrollInfo(w, SB_VERT, &si, TRUE);
    app.PumpUntilIdle();
    const int x = 595;
    // Down by half the room (position 25), far off to the left (back to 0), back (25), far away and let go.
    const std::vector<POINT> moves{{x, 76}, {x - 200, 76}, {x - 10, 76}, {x, 400}};
    size_t step = 0;
    app.OnIdle([&] {
        if (step < moves.size()) TwInputMouseMove(moves[step].x, moves[step].y);
        else TwInputMouseButton(x, 400, TW_BUTTON_LEFT, FALSE);
        ++step;
    });
    TwInputMouseButton(x, 30, TW_BUTTON_LEFT, TRUE);
    rec.Clear();
    app.PumpUntilIdle();
    std::vector<std::pair<WPARAM, int>> got;
    for (const Seen& s : rec.Of(WM_VSCROLL)) got.emplace_back(LOWORD(s.wp), HIWORD(s.wp));
    // The thumb is first reported where it was picked up.
    EXPECT_EQ(got, (std::vector<std::pair<WPARAM, int>>{{SB_THUMBTRACK, 0}, {SB_THUMBTRACK, 25}, {SB_THUMBTRACK, 0},
                                                         {SB_THUMBTRACK, 25}, {SB_THUMBTRACK, 0}, {SB_THUMBPOSITION, 0},
                                                         {SB_ENDSCROLL, 0}}));
}
