// The drawing part of user32: focus rectangles, edges, frame controls, system settings, rectangles.
#include "Canvas.h"

using wintest::Canvas;
using wintest::Rows;

namespace {

class User32Test : public ::testing::Test {
protected:
    void TearDown() override { TwResetSystemSettings(); }
};

TEST_F(User32Test, DrawFocusRectTwiceRestoresThePixels) {
    Canvas c(12, 8, RGB(40, 80, 120));
    const auto before = c.Pixels();
    const RECT r{1, 1, 11, 7};
    SetTextColor(c.dc, RGB(1, 2, 3));
    ASSERT_TRUE(DrawFocusRect(c.dc, &r));
    EXPECT_EQ(GetTextColor(c.dc), RGB(1, 2, 3)); // the DC's colours come back
    const COLORREF inv = RGB(255 - 40, 255 - 80, 255 - 120);
    // Every other pixel of the frame is inverted; the inside is left alone.
    EXPECT_EQ(c.Map(inv), Rows({"............", ".#.#.#.#.#..", "..........#.", ".#..........",
                                "..........#.", ".#..........", "..#.#.#.#.#.", "............"}));
    DrawFocusRect(c.dc, &r);
    EXPECT_EQ(c.Pixels(), before);
}

TEST_F(User32Test, DrawEdgeUsesTheThreeDimensionalColoursAndAdjusts) {
    Canvas c(6, 6);
    RECT r{0, 0, 6, 6};
    ASSERT_TRUE(DrawEdge(c.dc, &r, EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_ADJUST));
    EXPECT_EQ(r.left, 2);
    EXPECT_EQ(r.bottom, 4);
    EXPECT_EQ(c.At(0, 0), GetSysColor(COLOR_3DLIGHT));
    EXPECT_EQ(c.At(5, 0), GetSysColor(COLOR_3DDKSHADOW)); // the dark side owns the corners
    EXPECT_EQ(c.At(0, 5), GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(c.At(1, 1), GetSysColor(COLOR_3DHIGHLIGHT));
    EXPECT_EQ(c.At(4, 4), GetSysColor(COLOR_3DSHADOW));
    EXPECT_EQ(c.At(2, 2), GetSysColor(COLOR_BTNFACE));
    RECT sunk{0, 0, 6, 6};
    DrawEdge(c.dc, &sunk, BDR_SUNKENOUTER, BF_RECT);
    EXPECT_EQ(c.At(0, 0), GetSysColor(COLOR_3DSHADOW));
    EXPECT_EQ(c.At(5, 5), GetSysColor(COLOR_3DHIGHLIGHT));
    EXPECT_EQ(sunk.left, 0); // no BF_ADJUST
}

TEST_F(User32Test, SystemColourProviderChangesColoursAndTheirBrushes) {
    HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(240, 240, 240));
    EXPECT_EQ(GetSysColorBrush(COLOR_BTNFACE), face); // the same brush every time
    TwSetSysColor(COLOR_BTNFACE, RGB(10, 20, 30));
    Canvas c(2, 1);
    const RECT r{0, 0, 1, 1};
    FillRect(c.dc, &r, face);
    EXPECT_EQ(c.At(0, 0), RGB(10, 20, 30));
    EXPECT_TRUE(DeleteObject(face)); // harmless: it stays usable
    FillRect(c.dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    EXPECT_EQ(c.At(0, 0), RGB(10, 20, 30));
    EXPECT_EQ(GetSysColor(99), 0u);
    EXPECT_EQ(GetSysColorBrush(99), nullptr);
}

TEST_F(User32Test, MetricsAndParametersHaveWindowsDefaultsThatTestsReplace) {
    EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), 17);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1920);
    EXPECT_EQ(GetSystemMetricsForDpi(SM_CXVSCROLL, 192), 34);
    TwSetSystemMetric(SM_CXSCREEN, 1280);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1280);
    RECT work{};
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
    EXPECT_EQ(work.right, 1280);

    NONCLIENTMETRICSW ncm{};
    ncm.cbSize = sizeof ncm;
    ASSERT_EQ(sizeof ncm, 504u);
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0));
    EXPECT_EQ(ncm.lfMenuFont.lfHeight, -12);
    ncm.cbSize = 12;
    EXPECT_FALSE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, 12, &ncm, 0));

    BOOL flat = FALSE;
    EXPECT_TRUE(SystemParametersInfoW(SPI_GETFLATMENU, 0, &flat, 0));
    EXPECT_TRUE(flat);
    TwSetSystemParametersProvider([](UINT action, UINT, PVOID pv, UINT) -> int {
        if (action != SPI_GETFLATMENU) return -1;
        *static_cast<BOOL*>(pv) = FALSE;
        return 1;
    });
    EXPECT_TRUE(SystemParametersInfoW(SPI_GETFLATMENU, 0, &flat, 0));
    EXPECT_FALSE(flat);
    DWORD delay = 0;
    EXPECT_TRUE(SystemParametersInfoW(SPI_GETMENUSHOWDELAY, 0, &delay, 0)); // not the provider's: default
    EXPECT_EQ(delay, 400u);
}

TEST_F(User32Test, FrameControlsAdjustTheirRectangle) {
    Canvas c(20, 20);
    RECT r{0, 0, 20, 20};
    ASSERT_TRUE(DrawFrameControl(c.dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT));
    EXPECT_EQ(r.left, 2);
    EXPECT_EQ(r.right, 18);
    EXPECT_EQ(c.At(10, 10), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(c.At(0, 0), GetSysColor(COLOR_3DHIGHLIGHT)); // soft raised edge
    RECT s{0, 0, 16, 16};
    c.Fill(RGB(255, 255, 255));
    ASSERT_TRUE(DrawFrameControl(c.dc, &s, DFC_SCROLL, DFCS_SCROLLDOWN));
    EXPECT_EQ(s.right, 16); // not adjusted without the flag
    // The arrow: some button-text pixels in the middle.
    bool arrow = false;
    for (int y = 4; y < 12; ++y)
        for (int x = 4; x < 12; ++x) arrow |= c.At(x, y) == GetSysColor(COLOR_BTNTEXT);
    EXPECT_TRUE(arrow);
    EXPECT_FALSE(DrawFrameControl(c.dc, &s, 99, 0));
}

struct RectCase {
    RECT a, b;
    BOOL intersects;
    RECT intersection, onion;
};

class RectTable : public ::testing::TestWithParam<RectCase> {};

TEST_P(RectTable, IntersectsAndUnites) {
    const auto& k = GetParam();
    RECT i{1, 1, 1, 1}, u{};
    EXPECT_EQ(IntersectRect(&i, &k.a, &k.b), k.intersects);
    EXPECT_TRUE(EqualRect(&i, &k.intersection));
    UnionRect(&u, &k.a, &k.b);
    EXPECT_TRUE(EqualRect(&u, &k.onion));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RectTable,
    ::testing::Values(
        RectCase{{0, 0, 10, 10}, {5, 5, 15, 15}, TRUE, {5, 5, 10, 10}, {0, 0, 15, 15}},
        RectCase{{0, 0, 10, 10}, {10, 0, 20, 10}, FALSE, {0, 0, 0, 0}, {0, 0, 20, 10}}, // touching is not
                                                                                        // overlapping
        RectCase{{0, 0, 0, 10}, {2, 2, 4, 4}, FALSE, {0, 0, 0, 0}, {2, 2, 4, 4}})); // empty ones are ignored

TEST(Rects, HelpersFollowHalfOpenRectangles) {
    RECT r;
    SetRect(&r, 0, 0, 4, 3);
    EXPECT_TRUE(PtInRect(&r, POINT{3, 2}));
    EXPECT_FALSE(PtInRect(&r, POINT{4, 2}));
    InflateRect(&r, -2, -1);
    EXPECT_TRUE(IsRectEmpty(&r)); // 0 wide
    OffsetRect(&r, 5, 5);
    EXPECT_EQ(r.left, 7);
    RECT copy;
    CopyRect(&copy, &r);
    EXPECT_TRUE(EqualRect(&copy, &r));
    const RECT a{0, 0, 10, 10}, cut{0, 0, 4, 10};
    RECT rest;
    EXPECT_TRUE(SubtractRect(&rest, &a, &cut));
    EXPECT_EQ(rest.left, 4);
}

} // namespace
