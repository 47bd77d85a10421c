// tests/grid/DragBoxTest.cpp
#include "grid/DragBox.h"

#include "tests/grid/GridFixture.h"
#include "tests/support/windows/HeadlessApp.h"

#include <gtest/gtest.h>

namespace grid_test {
namespace {

using namespace grid;
using vcl::TRect;

using testing_support::HeadlessApp;

struct GridFlyouts : ::testing::Test {
    HeadlessApp App;
    vcl::TCustomControl GridControl{nullptr};
    TGridData Data;

    // Whether the window's region holds the point (window coordinates).
    static bool InRegion(HWND Wnd, int X, int Y) {
        HRGN rgn = CreateRectRgn(0, 0, 0, 0);
        const bool has = GetWindowRgn(Wnd, rgn) != ERROR && PtInRegion(rgn, X, Y);
        DeleteObject(rgn);
        return has;
    }
    static RECT RegionBox(HWND Wnd) {
        HRGN rgn = CreateRectRgn(0, 0, 0, 0);
        RECT box{};
        if (GetWindowRgn(Wnd, rgn) != ERROR) GetRgnBox(rgn, &box);
        DeleteObject(rgn);
        return box;
    }
};

TEST_F(GridFlyouts, AreHiddenPopupToolWindows) {
    TDragArrow arrow(nullptr);
    EXPECT_FALSE(arrow.Visible());
    HWND h = arrow.Handle();
    const LONG_PTR style = GetWindowLongPtrW(h, GWL_STYLE), ex = GetWindowLongPtrW(h, GWL_EXSTYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_FALSE(style & (WS_CHILD | WS_TABSTOP | WS_GROUP));
    EXPECT_TRUE(ex & WS_EX_TOOLWINDOW);
    EXPECT_EQ(GetClassLongPtrW(h, GCL_STYLE) & CS_SAVEBITS, ULONG_PTR(CS_SAVEBITS));
    EXPECT_EQ(arrow.Width(), 9);
    EXPECT_EQ(arrow.Height(), 9);
    EXPECT_EQ(arrow.Perform(WM_ERASEBKGND, 0, LPARAM(0)), 1);
}

TEST_F(GridFlyouts, DragArrowsPointUpOrDown) {
    TDragArrow arrow(nullptr);
    arrow.SetArrowKind(akUp);
    HWND h = arrow.Handle();
    EXPECT_TRUE(InRegion(h, 4, 1)) << "the head at the top";
    EXPECT_TRUE(InRegion(h, 4, 7)) << "the shaft";
    EXPECT_FALSE(InRegion(h, 0, 8));
    arrow.SetArrowKind(akDown);
    EXPECT_TRUE(InRegion(h, 4, 7)) << "the head at the bottom";
    EXPECT_FALSE(InRegion(h, 0, 1));
    EXPECT_TRUE(InRegion(h, 4, 1));
    arrow.SetArrowKind(akNone);
    const RECT none = RegionBox(h);
    EXPECT_TRUE(IsRectEmpty(&none)) << "no direction, nothing shown";
}

TEST_F(GridFlyouts, RollMarkerCentresItsDotOnTheStartPoint) {
    TRollShadow roll(nullptr);
    EXPECT_EQ(roll.Kind(), rkVertical);
    roll.SetPosition(vcl::TPoint(100, 200));
    EXPECT_EQ(roll.Position(), vcl::TPoint(100, 200));
    EXPECT_EQ(roll.BoundsRect(), TRect(93, 189, 125, 221));
    HWND h = roll.Handle();
    EXPECT_TRUE(InRegion(h, 7, 11)) << "the dot";
    EXPECT_TRUE(InRegion(h, 7, 3)) << "the upward head";
    EXPECT_TRUE(InRegion(h, 6, 18)) << "the downward head";
    EXPECT_FALSE(InRegion(h, 20, 11));
    EXPECT_FALSE(InRegion(h, 7, 25));
}

TEST_F(GridFlyouts, DragBoxCapturesFollowsAndDropsOnTheLeftButtonOnly) {
    auto* column = Data.Add<TRgTextColumn>();
    column->Header()->SetCaption(QStringLiteral("Name"));
    GridControl.Font()->SetColor(0x0000FF);
    TColumnDragBox box(&GridControl);
    box.SetBounds(100, 100, 80, 20);
    std::vector<vcl::TPoint> moves, drops;
    box.OnDragBoxMove = [&](rtl::TObject*, int X, int Y) { moves.emplace_back(X, Y); };
    box.OnDragBoxDrop = [&](rtl::TObject*, int X, int Y) { drops.emplace_back(X, Y); };

    box.Show(0, 0, column, true);
    EXPECT_FALSE(box.Visible()) << "Hide starts the capture unseen";
    EXPECT_FALSE(IsWindowVisible(box.Handle()));
    EXPECT_EQ(GetCapture(), box.Handle());
    EXPECT_EQ(box.Column(), column);
    EXPECT_FALSE(box.ColumnDisplay()->DefaultDrawing());
    EXPECT_EQ(box.Canvas()->Font()->Color(), 0x0000FF);

    // the captured box sees the pointer wherever it goes
    App.MoveTo(box.Handle(), POINT{3, 4});
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(moves[0], vcl::TPoint(103, 104));
    EXPECT_EQ(box.BoundsRect(), TRect(63, 88, 143, 108));
    moves.clear();
    box.SetBounds(100, 100, 80, 20);

    box.Show(0, 0, column, false);
    EXPECT_TRUE(box.Visible());
    EXPECT_TRUE(IsWindowVisible(box.Handle()));
    box.Perform(WM_MOUSEMOVE, WPARAM(MK_LBUTTON), MAKELPARAM(10, 5));
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(moves[0], vcl::TPoint(110, 105));
    EXPECT_EQ(box.BoundsRect(), TRect(70, 89, 150, 109)) << "the pointer near the middle of the lower edge";

    box.Perform(WM_RBUTTONUP, 0, MAKELPARAM(40, 16));
    EXPECT_TRUE(box.Visible());
    EXPECT_TRUE(drops.empty());
    box.Perform(WM_LBUTTONUP, 0, MAKELPARAM(40, 16));
    EXPECT_FALSE(IsWindowVisible(box.Handle()));
    ASSERT_EQ(drops.size(), 1u);
    EXPECT_EQ(drops[0], vcl::TPoint(110, 105));
}

TEST_F(GridFlyouts, DragBoxPaintsTheHeaderWithABlackEdge) {
    auto* column = Data.Add<TRgTextColumn>();
    column->Header()->SetColor(0x00FF00);
    TColumnDragBox box(&GridControl);
    box.SetBounds(200, 200, 60, 18);
    box.Show(0, 0, column, false);
    ReleaseCapture();
    App.PumpUntilIdle();
    HWND h = box.Handle();
    EXPECT_TRUE(IsWindowVisible(h));
    EXPECT_EQ(App.Pixel(h, 59, 5), 0x000000u);
    EXPECT_EQ(App.Pixel(h, 20, 17), 0x000000u);
    EXPECT_EQ(App.Pixel(h, 30, 9) & 0xFFFFFF, 0x00FF00u) << "the header face";
}

} // namespace
} // namespace grid_test
