// The scrolling base: the bar model's clamping and visibility, the scroll messages, the change events,
// manual scrolling and middle-button rolling.
#include "grid/ScrollControl.h"
#include "tests/support/windows/FormHarness.h"

#include <gtest/gtest.h>

using namespace grid;
using testing_support::FormHarness;

namespace {

// Every position is worth 10 pixels; the deltas asked for are counted.
class TTenPixelControl : public TRgScrollControl {
public:
    using TRgScrollControl::TRgScrollControl;
    int DeltaCalls = 0;
    int GetVertScrollDelta(int OldPosition, int NewPosition) override {
        ++DeltaCalls;
        return (OldPosition - NewPosition) * 10;
    }
    int GetHorzScrollDelta(int OldPosition, int NewPosition) override { return OldPosition - NewPosition; }
};

class TScrollForm : public vcl::TForm {
public:
    explicit TScrollForm(rtl::TComponent* AOwner) : vcl::TForm(AOwner) {
        BeginLoading();
        SetPosition(vcl::poDesigned);
        SetBounds(10, 10, 300, 300);
        Control = new TTenPixelControl(this);
        Control->SetParent(this);
        Control->SetBounds(0, 0, 200, 200);
        EndLoading();
    }
    TTenPixelControl* Control;
};

struct TScrollTest {
    FormHarness Harness;
    TTenPixelControl* Control;
    TRgScrollBar* Bar;
    std::vector<int> Events;
    TScrollTest() {
        Control = Harness.Show<TScrollForm>()->Control;
        Bar = Control->VertScrollBar();
        Bar->SetPageSize(10);
        Bar->SetMax(100);
        Control->OnVerticalScroll = [this](rtl::TObject*, int Position) { Events.push_back(Position); };
    }
    int WindowPos() { return GetScrollPos(Control->Handle(), SB_VERT); }
    void Send(int Code) { Control->Perform(WM_VSCROLL, WPARAM(Code), LPARAM(0)); }
};

} // namespace

TEST(ScrollBarModel, PositionsStopAtTheLastPageAndAtZero) {
    TScrollTest t;
    struct Case { std::function<void()> act; int expected; };
    const Case cases[] = {
        {[&] { t.Bar->Last(); }, 91},
        {[&] { t.Bar->First(); }, 0},
        {[&] { t.Send(SB_BOTTOM); }, 91},
        {[&] { t.Send(SB_TOP); }, 0},
        {[&] { t.Bar->SetPosition(-5); }, 0},
        {[&] { t.Bar->SetPosition(1000); }, 91}, // never past the last page
        {[&] { t.Bar->MoveBy(95); }, 91},
        {[&] { t.Send(SB_LINEUP); }, 90},
        {[&] { t.Send(SB_PAGEUP); }, 89}, // the large change is 1 unless set
        {[&] { t.Bar->SetLargeChange(10); t.Send(SB_PAGEUP); }, 79},
        {[&] { t.Send(SB_PAGEDOWN); }, 89},
        {[&] { t.Send(SB_ENDSCROLL); }, 89},
    };
    int i = 0;
    for (const auto& c : cases) {
        c.act();
        EXPECT_EQ(t.Bar->Position(), c.expected) << "case " << i;
        EXPECT_EQ(t.WindowPos(), c.expected) << "case " << i;
        ++i;
    }
    t.Bar->Last();
    EXPECT_TRUE(t.Bar->IsLast());
    t.Bar->SetMax(50); // the position follows a shrinking range
    EXPECT_EQ(t.Bar->Position(), 41);
    t.Bar->SetMax(-3);
    EXPECT_EQ(t.Bar->Max(), 0);
    t.Bar->SetPageSize(0);
    EXPECT_EQ(t.Bar->PageSize(), 1);
}

TEST(ScrollBarModel, ContentScrollsByTheOwnersDeltaUnlessManualOrUpdating) {
    TScrollTest t;
    t.Bar->SetPosition(3);
    EXPECT_EQ(t.Control->DeltaCalls, 1);
    t.Bar->SetManualScroll(true);
    t.Bar->SetPosition(5);
    EXPECT_EQ(t.Control->DeltaCalls, 1);
    EXPECT_EQ(t.WindowPos(), 5); // only the bar moved
    t.Bar->SetManualScroll(false);
    t.Bar->BeginUpdate();
    t.Bar->SetPosition(7);
    t.Bar->EndUpdate();
    EXPECT_EQ(t.Control->DeltaCalls, 1);
    EXPECT_EQ(t.Bar->OldPosition(), 5);
}

TEST(ScrollBarModel, EveryScrollMessageFiresTheEventButPriorAtTheTopSendsNone) {
    TScrollTest t;
    t.Bar->Prior();
    EXPECT_TRUE(t.Events.empty());
    t.Bar->PageUp(); // sent although at the top: the position stays and the event fires
    EXPECT_EQ(t.Events, std::vector<int>({0}));
    EXPECT_EQ(t.Bar->ScrollKind(), rkPage);
    t.Events.clear();
    t.Bar->Next();
    EXPECT_EQ(t.Bar->ScrollKind(), rkLine);
    // The bar's change notice and the message's own report.
    EXPECT_EQ(t.Events, std::vector<int>({1, 1}));
    t.Events.clear();
    t.Send(SB_ENDSCROLL);
    EXPECT_EQ(t.Events, std::vector<int>({1}));
    t.Bar->SetMax(0);
    t.Events.clear();
    t.Bar->Next(); // no range: nothing is sent
    EXPECT_TRUE(t.Events.empty());
}

TEST(ScrollBarModel, AutoHideHidesAnEmptyRangeOtherwiseTheBarStaysDisabled) {
    TScrollTest t;
    const auto Shown = [&] {
        return (GetWindowLongW(t.Control->Handle(), GWL_STYLE) & WS_VSCROLL) != 0;
    };
    EXPECT_TRUE(t.Bar->Visible());
    EXPECT_TRUE(Shown());
    t.Bar->SetMax(0);
    EXPECT_FALSE(t.Bar->Visible());
    EXPECT_FALSE(Shown());
    t.Bar->SetAutoHide(false);
    EXPECT_TRUE(t.Bar->Visible());
    EXPECT_TRUE(Shown());
}

TEST(ScrollBarModel, AssigningAnotherModelChangesNothingAndOtherSourcesAreRefused) {
    TScrollTest t;
    TRgScrollBar Other(nullptr, nullptr);
    Other.SetMax(7);
    t.Bar->Assign(&Other);
    EXPECT_EQ(t.Bar->Max(), 100);
    rtl::TPersistent Foreign;
    EXPECT_THROW(t.Bar->Assign(&Foreign), rtl::Exception);
}

TEST(ScrollControl, MiddleButtonRollScrollsFasterTheFartherThePointer) {
    TScrollTest t;
    HWND Wnd = t.Control->Handle();
    t.Harness.App().Press(Wnd, {50, 50}, TW_BUTTON_MIDDLE);
    EXPECT_TRUE(t.Control->ViewState().Contains(vsRolling));
    t.Harness.App().MoveTo(Wnd, {50, 80});
    EXPECT_TRUE(t.Control->RollDirection().Contains(rdDown));
    t.Harness.Advance(std::chrono::milliseconds(10)); // the platform's shortest timer
    EXPECT_EQ(t.Bar->Position(), 1);
    EXPECT_EQ(t.Control->RollTimer()->Interval(), 70u); // 100 - 30
    t.Harness.Advance(std::chrono::milliseconds(69));
    EXPECT_EQ(t.Bar->Position(), 1);
    t.Harness.Advance(std::chrono::milliseconds(1));
    EXPECT_EQ(t.Bar->Position(), 2);
    t.Harness.App().Release(Wnd, {50, 80}, TW_BUTTON_MIDDLE);
    EXPECT_FALSE(t.Control->ViewState().Contains(vsRolling));
    EXPECT_FALSE(t.Control->RollTimer()->Enabled());
    t.Harness.Advance(std::chrono::milliseconds(200));
    EXPECT_EQ(t.Bar->Position(), 2);
}
