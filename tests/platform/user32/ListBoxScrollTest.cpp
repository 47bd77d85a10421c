// A list box's vertical bar: hidden while its items fit, back once they outgrow the list.
#include "ControlsFixture.h"

using namespace user32_test;

namespace {

class ListBoxScroll : public WindowTest {};

TEST_F(ListBoxScroll, BarHiddenByAnEmptyListComesBackWhenTheItemsOutgrowIt) {
    const HWND top = TopLevel();
    const HWND list = MakeControl(top, u"ListBox", WS_VSCROLL | WS_BORDER, RECT{0, 0, 150, 100}, 7);
    EXPECT_FALSE(GetWindowLongW(list, GWL_STYLE) & WS_VSCROLL) << "an empty list shows no bar";
    for (int i = 0; i < 40; ++i) SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(u"line"));
    EXPECT_TRUE(GetWindowLongW(list, GWL_STYLE) & WS_VSCROLL);
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(list, SB_VERT, &si));
    EXPECT_EQ(si.nMax, 39);
    EXPECT_GT(si.nPage, 0u);
    EXPECT_LT(si.nPage, 40u);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    EXPECT_FALSE(GetWindowLongW(list, GWL_STYLE) & WS_VSCROLL);
}

} // namespace
