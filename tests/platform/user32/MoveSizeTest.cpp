// The move and size loop: caption and border drags, keyboard moves, Escape, on queued input.
#include "Recorder.h"

using namespace user32_test;

namespace {

RECT RectOf(HWND h) {
    RECT r;
    GetWindowRect(h, &r);
    return r;
}

bool Same(const RECT& a, const RECT& b) { return EqualRect(&a, &b); }

// Moves the pointer through `steps` (screen points) one per idle turn of the loop, then releases.
void DragWhenIdle(testing_support::HeadlessApp& app, std::vector<POINT> steps) {
    auto i = std::make_shared<size_t>(0);
    app.OnIdle([steps, i] {
        if (*i < steps.size()) TwInputMouseMove(steps[*i].x, steps[*i].y);
        else if (*i == steps.size()) TwInputMouseButton(steps.back().x, steps.back().y, TW_BUTTON_LEFT, FALSE);
        ++*i;
    });
}

} // namespace

TEST_F(WindowTest, CaptionDragRunsTheMoveLoopInWindowsOrderAndKeepsWhatMovingChanged) {
    HWND w = TopLevel(WS_POPUP | WS_VISIBLE, RECT{100, 100, 300, 300});
    rec.handlers[w] = [](HWND, UINT m, WPARAM, LPARAM lp) -> std::optional<LRESULT> {
        if (m == WM_NCHITTEST) return HTCAPTION;
        if (m == WM_MOVING) {
            auto* r = reinterpret_cast<RECT*>(lp);
            const int snapped = r->left / 50 * 50;  // the program snaps to a grid
            OffsetRect(r, snapped - r->left, 0);
        }
        return std::nullopt;
    };
    app.PumpUntilIdle();
    DragWhenIdle(app, {POINT{125, 120}, POINT{180, 150}});
    rec.Clear();
    TwInputMouseMove(110, 110);
    TwInputMouseButton(110, 110, TW_BUTTON_LEFT, TRUE);
    app.PumpUntilIdle();

    std::vector<UINT> order;
    for (UINT m : rec.Messages(w))
        if (m == WM_SYSCOMMAND || m == WM_GETMINMAXINFO || m == WM_ENTERSIZEMOVE || m == WM_MOVING ||
            m == WM_CAPTURECHANGED || m == WM_EXITSIZEMOVE)
            if (order.empty() || order.back() != m) order.push_back(m);
    EXPECT_EQ(order, (std::vector<UINT>{WM_SYSCOMMAND, WM_GETMINMAXINFO, WM_ENTERSIZEMOVE, WM_MOVING,
                                        WM_CAPTURECHANGED, WM_EXITSIZEMOVE}));
    ASSERT_FALSE(rec.Of(WM_SYSCOMMAND).empty());
    EXPECT_EQ(rec.Of(WM_SYSCOMMAND)[0].wp, WPARAM(SC_MOVE | HTCAPTION));
    EXPECT_TRUE(Same(RectOf(w), RECT{150, 140, 350, 340}));  // +70,+40, x snapped down to 150
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_TRUE(rec.Of(WM_NCLBUTTONUP).empty());  // the release belonged to the loop
}

TEST_F(WindowTest, ProgramStartedDragWithoutAPointFollowsThePointerFromWhereItWasPressed) {
    // A frameless window dragged by its own client area: a press, then WM_SYSCOMMAND 0xF012 (or SC_SIZE
    // with an edge) with no point, as such programs send it.
    HWND w = TopLevel(WS_POPUP | WS_VISIBLE, RECT{100, 100, 300, 300});
    app.PumpUntilIdle();
    struct Case {
        WPARAM command;
        RECT expected;
    };
    for (const Case& c : {Case{SC_MOVE | HTCAPTION, RECT{130, 120, 330, 320}},
                          Case{SC_SIZE | WMSZ_BOTTOMRIGHT, RECT{130, 120, 360, 340}}}) {
        SCOPED_TRACE(c.command);
        const RECT before = RectOf(w);
        TwInputMouseMove(before.left + 50, before.top + 50);
        TwInputMouseButton(before.left + 50, before.top + 50, TW_BUTTON_LEFT, TRUE);
        app.PumpUntilIdle();
        DragWhenIdle(app, {POINT{before.left + 80, before.top + 70}});
        ReleaseCapture();
        SendMessageW(w, WM_SYSCOMMAND, c.command, 0);
        app.OnIdle(nullptr);
        const RECT got = RectOf(w);
        EXPECT_TRUE(Same(got, c.expected)) << got.left << "," << got.top << "," << got.right << "," << got.bottom;
    }
}

TEST_F(WindowTest, BorderDragsSizeTheNamedEdgesWithinTheTrackLimits) {
    struct Case { int hit; POINT delta; RECT expected; };
    const Case cases[] = {
        {HTLEFT, {50, 0}, {150, 100, 400, 400}},
        {HTBOTTOMRIGHT, {20, 30}, {100, 100, 420, 430}},
        {HTTOP, {0, 200}, {100, 250, 400, 400}},  // stops at the minimum height 150
        {HTTOPLEFT, {-10, -10}, {90, 90, 400, 400}},
        {HTRIGHT, {400, 0}, {100, 100, 600, 400}},  // stops at the maximum width 500
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.hit);
        HWND w = TopLevel(WS_POPUP | WS_VISIBLE, RECT{100, 100, 400, 400});
        const int hit = c.hit;
        rec.handlers[w] = [hit](HWND, UINT m, WPARAM, LPARAM lp) -> std::optional<LRESULT> {
            if (m == WM_NCHITTEST) return hit;
            if (m == WM_GETMINMAXINFO) {
                auto* mmi = reinterpret_cast<MINMAXINFO*>(lp);
                mmi->ptMinTrackSize = POINT{150, 150};
                mmi->ptMaxTrackSize = POINT{500, 500};
            }
            return std::nullopt;
        };
        app.PumpUntilIdle();
        const POINT from{200, 200};
        DragWhenIdle(app, {POINT{from.x + c.delta.x / 2, from.y + c.delta.y / 2}, POINT{from.x + c.delta.x, from.y + c.delta.y}});
        rec.Clear();
        TwInputMouseMove(from.x, from.y);
        TwInputMouseButton(from.x, from.y, TW_BUTTON_LEFT, TRUE);
        app.PumpUntilIdle();
        const RECT got = RectOf(w);
        EXPECT_TRUE(Same(got, c.expected)) << got.left << "," << got.top << "," << got.right << "," << got.bottom;
        ASSERT_FALSE(rec.Of(WM_SIZING).empty());
        EXPECT_EQ(rec.Of(WM_SIZING)[0].wp, WPARAM(c.hit - HTLEFT + WMSZ_LEFT));
        app.OnIdle(nullptr);
        DestroyWindow(w);
    }
}

TEST_F(WindowTest, KeyboardMoveStepsWithArrowsAndEscapePutsTheWindowBack) {
    HWND w = TopLevel(WS_POPUP | WS_VISIBLE, RECT{100, 100, 300, 300});
    app.PumpUntilIdle();
    // From a menu: no button held, the keys drive it.
    std::vector<UINT> keys{VK_RIGHT, VK_RIGHT, VK_DOWN, VK_RETURN};
    size_t i = 0;
    app.OnIdle([&] {
        if (i < keys.size()) TwInputKey(keys[i], TRUE, FALSE, nullptr, FALSE);
        ++i;
    });
    SendMessageW(w, WM_SYSCOMMAND, SC_MOVE, 0);
    EXPECT_TRUE(Same(RectOf(w), RECT{116, 108, 316, 308}));
    EXPECT_EQ(rec.Of(WM_EXITSIZEMOVE).size(), 1u);

    // Sizing that the program starts itself after a press, abandoned with Escape.
    TwInputMouseMove(310, 200);
    TwInputMouseButton(310, 200, TW_BUTTON_LEFT, TRUE);
    app.PumpUntilIdle();
    std::vector<std::function<void()>> steps{[] { TwInputMouseMove(374, 200); },
                                             [] { TwInputKey(VK_ESCAPE, TRUE, FALSE, nullptr, FALSE); }};
    i = 0;
    bool sizedMeanwhile = false;
    app.OnIdle([&] {
        if (i == 1) sizedMeanwhile = RectOf(w).right == 380;
        if (i < steps.size()) steps[i]();
        ++i;
    });
    ReleaseCapture();
    SendMessageW(w, WM_SYSCOMMAND, SC_SIZE | WMSZ_RIGHT, MAKELPARAM(310, 200));
    EXPECT_TRUE(sizedMeanwhile);
    EXPECT_TRUE(Same(RectOf(w), RECT{116, 108, 316, 308}));
    EXPECT_EQ(rec.Of(WM_EXITSIZEMOVE).size(), 2u);
    EXPECT_EQ(GetCapture(), nullptr);
}
