// The scroll-bar objects of the second control family over a window's own bars: position limits,
// locking, the scroll messages, and what a bar without range sends.
#include "controls/RgControls6.h"
#include "tests/controls/PanelForm.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using namespace controls;
using controls_test::ShowForm;
using controls_test::TPanelForm;
using testing_support::FormHarness;

namespace {

struct ScrollFixture {
    FormHarness h;
    TRgScrollControl6* control = nullptr;
    std::vector<std::pair<int, int>> scrolled;
    int verticalEvents = 0;

    ScrollFixture() {
        ShowForm(h, [&](TPanelForm* f) {
            control = new TRgScrollControl6(f);
            control->SetParent(f);
            control->SetBounds(10, 10, 200, 150);
        });
        control->OnContentScroll =
            TRgContentScrollEvent([this](rtl::TObject*, int DX, int DY) { scrolled.emplace_back(DX, DY); });
        control->OnVerticalScroll = rtl::TNotifyEvent([this](rtl::TObject*) { ++verticalEvents; });
    }
};

} // namespace

TEST(ScrollBar6, PositionStaysWithinMaxMinusPageAndAboveZero) {
    ScrollFixture f;
    TRgScrollBar* bar = f.control->VertScrollBar();
    bar->SetValues(100, 10);
    bar->SetPosition(95);
    EXPECT_EQ(bar->GetPosition(), 91);
    EXPECT_EQ(f.scrolled.back(), std::make_pair(0, 91));
    bar->SetPosition(-3);
    EXPECT_EQ(bar->GetPosition(), 0);
    EXPECT_EQ(f.scrolled.back(), std::make_pair(0, -91));
    f.control->HorzScrollBar()->SetValues(50, 10);
    f.control->HorzScrollBar()->SetPosition(5);
    EXPECT_EQ(f.scrolled.back(), std::make_pair(5, 0));
}

TEST(ScrollBar6, LockedBarKeepsItsPositionQuiet) {
    ScrollFixture f;
    TRgScrollBar* bar = f.control->VertScrollBar();
    bar->SetValues(100, 10);
    bar->SetPosition(20);
    f.scrolled.clear();
    bar->Lock();
    bar->SetPosition(40);
    EXPECT_EQ(bar->GetPosition(), 40);
    EXPECT_TRUE(f.scrolled.empty());
    EXPECT_EQ(GetScrollPos(f.control->Handle(), SB_VERT), 20);  // the window's bar waits
    bar->Unlock();
    EXPECT_EQ(GetScrollPos(f.control->Handle(), SB_VERT), 40);
}

TEST(ScrollBar6, SnapshotKeepsAPositionUntilErasedAndDrivesThroughItsInterface) {
    ScrollFixture f;
    TRgScrollBar* bar = f.control->VertScrollBar();
    IRgScrollBar* driven = bar; // as a control holding only the interface drives it
    driven->SetValues(100, 10);
    driven->SetPosition(30);
    EXPECT_EQ(bar->SnapshotOrPosition(), 30);
    bar->Snapshot();
    driven->MoveBy(12);
    EXPECT_EQ(driven->GetPosition(), 42);
    EXPECT_EQ(bar->SnapshotOrPosition(), 30);
    bar->EraseSnapshot();
    EXPECT_EQ(bar->SnapshotOrPosition(), 42);
    EXPECT_FALSE(bar->IsUpdating()); // only while it writes the window's bar
}

TEST(ScrollBar6, ScrollMessagesMoveTheBarAndFireTheEvent) {
    ScrollFixture f;
    TRgScrollBar* bar = f.control->VertScrollBar();
    bar->SetValues(100, 10);
    bar->Next();
    EXPECT_EQ(bar->GetPosition(), 1);
    bar->PageDown();
    EXPECT_EQ(bar->GetPosition(), 11);
    bar->Last();
    EXPECT_EQ(bar->GetPosition(), 91);
    EXPECT_TRUE(bar->IsLast());
    bar->First();
    EXPECT_TRUE(bar->IsFirst());
    EXPECT_EQ(f.verticalEvents, 4);
    f.control->Perform(WM_VSCROLL, WPARAM(SB_ENDSCROLL), LPARAM(0));
    EXPECT_EQ(f.verticalEvents, 4);
}

TEST(ScrollBar6, BarWithoutRangeSendsNothing) {
    ScrollFixture f;
    TRgScrollBar* bar = f.control->VertScrollBar();
    bar->First();
    bar->PageDown();
    bar->Next();
    EXPECT_EQ(f.verticalEvents, 0);
    EXPECT_TRUE(f.scrolled.empty());
    // A page larger than the range clears it.
    bar->SetValues(100, 10);
    bar->SetPosition(30);
    bar->SetPageSize(200);
    EXPECT_EQ(bar->Max(), 0);
    EXPECT_EQ(bar->GetPosition(), 0);
}

TEST(ScrollBar6, ScrollBarsChooseTheWindowBarsShown) {
    ScrollFixture f;
    f.control->HorzScrollBar()->SetValues(500, 100);
    f.control->VertScrollBar()->SetValues(500, 100);
    EXPECT_TRUE(GetWindowLongW(f.control->Handle(), GWL_STYLE) & WS_HSCROLL);
    f.control->SetScrollBars({vcl::sbVertical});
    EXPECT_EQ(f.control->ScrollBars(), TRgScrollBars{vcl::sbVertical});
    EXPECT_FALSE(GetWindowLongW(f.control->Handle(), GWL_STYLE) & WS_HSCROLL);
    EXPECT_TRUE(GetWindowLongW(f.control->Handle(), GWL_STYLE) & WS_VSCROLL);
}
