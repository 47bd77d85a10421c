// The up-down control: its edit shows the number, arrows step it with events that may refuse a step,
// Wrap goes round the ends; the progress bar's filled part.
#include "tests/support/windows/FormHarness.h"
#include "vcl/ComCtrls.h"

#include <gtest/gtest.h>

using namespace vcl;
using testing_support::FormHarness;

namespace {

class TUpDownForm : public TForm {
public:
    explicit TUpDownForm(TComponent* AOwner) : TForm(AOwner) {
        BeginLoading();
        SetPosition(poDesigned);
        SetBounds(100, 100, 300, 200);
        edit = new TEdit(this);
        edit->SetName(u"edSize"_qs);
        edit->SetBounds(10, 10, 60, 21);
        edit->SetParent(this);
        updown = new TUpDown(this);
        updown->SetName(u"udSize"_qs);
        updown->SetParent(this);
        updown->SetMin(6);
        updown->SetMax(20);
        updown->SetPosition(12);
        updown->SetAssociate(edit);
        updown->OnClick = [this](TObject*, TUDBtnType b) { clicks.push_back(b == btNext ? "next" : "prev"); };
        EndLoading();
    }
    TEdit* edit;
    TUpDown* updown;
    std::vector<std::string> clicks;
};

POINT UpArrow(TControl* c) { return POINT{c->Width() / 2, c->Height() / 4}; }
POINT DownArrow(TControl* c) { return POINT{c->Width() / 2, c->Height() * 3 / 4}; }

} // namespace

TEST(UpDown, ArrowsStepThePositionAndTheEditShowsIt) {
    FormHarness h;
    auto* form = h.Show<TUpDownForm>();
    TUpDown* ud = form->updown;
    EXPECT_EQ(form->edit->Text(), u"12"_qs);
    // The arrows stand right beside the edit, which gave them room.
    // (over the edit's border, as the platform places them)
    EXPECT_LE(ud->Left(), form->edit->Left() + form->edit->Width());
    EXPECT_GE(ud->Left(), form->edit->Left() + form->edit->Width() - 2);
    EXPECT_LT(form->edit->Width(), 60);
    h.Click(ud, UpArrow(ud));
    EXPECT_EQ(ud->Position(), 13);
    EXPECT_EQ(form->edit->Text(), u"13"_qs);
    h.Click(ud, DownArrow(ud));
    h.Click(ud, DownArrow(ud));
    EXPECT_EQ(ud->Position(), 11);
    EXPECT_EQ(form->clicks, (std::vector<std::string>{"next", "prev", "prev"}));
    // The number typed into the edit is the position.
    form->edit->SetText(u"15"_qs);
    EXPECT_EQ(ud->Position(), 15);
    ud->SetPosition(99); // kept inside the range
    EXPECT_EQ(ud->Position(), 20);
    EXPECT_EQ(form->edit->Text(), u"20"_qs);
    h.Click(ud, UpArrow(ud)); // at the end: no step
    EXPECT_EQ(ud->Position(), 20);
    EXPECT_EQ(form->clicks.size(), 3u);
}

TEST(UpDown, ChangingMayRefuseAStepAndWrapGoesRoundInTheSameDirection) {
    FormHarness h;
    auto* form = h.Show<TUpDownForm>();
    TUpDown* ud = form->updown;
    std::vector<std::pair<int, TUpDownDirection>> asked;
    bool allow = false;
    ud->OnChangingEx = [&](TObject*, bool& Allow, int NewValue, TUpDownDirection Direction) {
        asked.push_back({NewValue, Direction});
        Allow = allow;
    };
    h.Click(ud, UpArrow(ud));
    EXPECT_EQ(ud->Position(), 12);
    EXPECT_TRUE(form->clicks.empty());
    EXPECT_EQ(asked, (std::vector<std::pair<int, TUpDownDirection>>{{13, updUp}}));
    allow = true;
    ud->SetWrap(true);
    ud->SetIncrement(5);
    EXPECT_EQ(ud->Associate(), form->edit); // kept over the new window
    ud->SetPosition(20);
    h.Click(ud, UpArrow(ud));
    EXPECT_EQ(ud->Position(), 6);
    EXPECT_EQ(form->clicks, (std::vector<std::string>{"next"}));
    h.Click(ud, DownArrow(ud));
    EXPECT_EQ(ud->Position(), 20);
    EXPECT_EQ(form->clicks.back(), "prev");
}

TEST(UpDown, AnAssociateBelongsToOneUpDownAndLeavesWhenFreed) {
    FormHarness h;
    auto* form = h.Show<TUpDownForm>();
    auto* second = new TUpDown(form);
    second->SetName(u"udOther"_qs);
    second->SetParent(form);
    try {
        second->SetAssociate(form->edit);
        ADD_FAILURE() << "a second up-down took the same edit";
    } catch (const rtl::Exception& e) {
        EXPECT_EQ(e.Message(), u"edSize is already associated with udSize"_qs);
    }
    EXPECT_EQ(second->Associate(), nullptr);
    delete form->edit;
    EXPECT_EQ(form->updown->Associate(), nullptr);
    h.Click(form->updown, UpArrow(form->updown)); // steps on without a buddy
    EXPECT_EQ(form->updown->Position(), 13);
}

TEST(ProgressBar, FillsInProportionAndStaysInRange) {
    FormHarness h;
    auto* form = h.Show<TUpDownForm>();
    auto* bar = new TProgressBar(form);
    bar->SetBounds(10, 100, 102, 16);
    bar->SetParent(form);
    bar->SetSmooth(true);
    bar->SetPosition(25);
    EXPECT_EQ(bar->BarRect(), TRect(1, 1, 26, 15));
    bar->StepIt();
    bar->StepBy(100); // no further than Max
    EXPECT_EQ(bar->Position(), 100);
    EXPECT_EQ(bar->BarRect().Right, 101);
    bar->SetMax(50); // a smaller range pulls the position in
    EXPECT_EQ(bar->Position(), 50);
    bar->SetPosition(25);
    TBitmap shot(bar->Width(), bar->Height());
    bar->PaintTo(shot.Canvas()->Handle(), 0, 0);
    EXPECT_EQ(shot.Canvas()->Pixels(30, 8), ColorToRGB(clHighlight));
    EXPECT_EQ(shot.Canvas()->Pixels(60, 8), ColorToRGB(clBtnFace));
    bar->SetOrientation(pbVertical);
    EXPECT_EQ(bar->Width(), 16);
    EXPECT_EQ(bar->BarRect().Top, bar->ClientHeight() - 1 - (bar->ClientHeight() - 2) / 2);
}
