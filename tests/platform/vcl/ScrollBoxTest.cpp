// Scroll boxes: the range follows the children, the window's bars scroll them, a control is scrolled
// into view on request and when it takes the focus.
#include "tests/support/windows/FormHarness.h"
#include "vcl/ExtCtrls.h"
#include "vcl/ScrollBox.h"

#include <gtest/gtest.h>

using namespace vcl;
using testing_support::FormHarness;

namespace {

class TScrollForm : public TForm {
public:
    explicit TScrollForm(TComponent* AOwner) : TForm(AOwner) {
        BeginLoading();
        SetPosition(poDesigned);
        SetBounds(100, 100, 400, 300);
        box = new TScrollBox(this);
        box->SetBorderStyle(bsNone);
        box->SetBounds(10, 10, 200, 100);
        box->SetParent(this);
        top = new TPanel(this);
        top->SetBounds(10, 10, 50, 40);
        top->SetParent(box);
        far = new TPanel(this);
        far->SetBounds(10, 150, 50, 40);
        far->SetParent(box);
        edit = new TEdit(this);
        edit->SetBounds(10, 250, 80, 21);
        edit->SetParent(box);
        EndLoading();
    }
    TScrollBox* box;
    TPanel *top, *far;
    TEdit* edit;
};

} // namespace

TEST(ScrollBox, RangeFollowsTheChildrenAndTheBarsScrollThem) {
    FormHarness h;
    auto* form = h.Show<TScrollForm>();
    TScrollBox* box = form->box;
    TControlScrollBar* v = box->VertScrollBar();
    EXPECT_EQ(v->Range(), 271);
    EXPECT_TRUE(v->IsScrollBarVisible());
    EXPECT_FALSE(box->HorzScrollBar()->IsScrollBarVisible()); // 90 wide fits
    EXPECT_EQ(v->ScrollRange(), 271 - box->ClientHeight());
    box->Perform(WM_VSCROLL, SB_TOP, LPARAM(0)); // the focused edit at the bottom was scrolled into view
    EXPECT_EQ(form->far->Top(), 150);
    box->Perform(WM_VSCROLL, SB_LINEDOWN, LPARAM(0));
    EXPECT_EQ(v->Position(), 8);
    EXPECT_EQ(form->far->Top(), 142);
    EXPECT_EQ(GetScrollPos(box->Handle(), SB_VERT), 8);
    box->Perform(WM_VSCROLL, SB_BOTTOM, LPARAM(0));
    EXPECT_EQ(v->Position(), v->ScrollRange());
    EXPECT_EQ(form->edit->Top() + form->edit->Height(), box->ClientHeight());
    box->Perform(WM_VSCROLL, SB_PAGEDOWN, LPARAM(0)); // no further than the end
    EXPECT_EQ(v->Position(), v->ScrollRange());
    box->Perform(WM_VSCROLL, SB_TOP, LPARAM(0));
    EXPECT_EQ(form->far->Top(), 150);
    // Room for everything: the bar goes and the content is back in place.
    box->Perform(WM_VSCROLL, SB_LINEDOWN, LPARAM(0));
    box->SetHeight(290);
    EXPECT_FALSE(v->IsScrollBarVisible());
    EXPECT_EQ(v->Position(), 0);
    EXPECT_EQ(form->far->Top(), 150);
}

TEST(ScrollBox, ScrollInViewAndFocusBringAControlIntoSight) {
    FormHarness h;
    auto* form = h.Show<TScrollForm>();
    TScrollBox* box = form->box;
    // The edit took the focus when the form showed.
    EXPECT_EQ(form->edit->Top() + form->edit->Height(), box->ClientHeight());
    box->VertScrollBar()->SetPosition(0);
    box->ScrollInView(form->far);
    EXPECT_EQ(form->far->Top() + form->far->Height(), box->ClientHeight());
    box->ScrollInView(form->top);
    EXPECT_EQ(form->top->Top(), 0);
    box->VertScrollBar()->SetMargin(5);
    form->top->SetTabStop(true);
    form->top->SetFocus();
    form->edit->SetFocus();
    EXPECT_EQ(form->edit->Top() + form->edit->Height() + 5, box->ClientHeight());
    // A range set by hand ends the automatic one.
    box->VertScrollBar()->SetPosition(0);
    box->VertScrollBar()->SetRange(1000);
    EXPECT_FALSE(box->AutoScroll());
    form->far->SetTop(2000);
    box->Realign();
    EXPECT_EQ(box->VertScrollBar()->Range(), 1000);
}
