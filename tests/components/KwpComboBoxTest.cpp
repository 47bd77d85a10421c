// tests/components/KwpComboBoxTest.cpp: the bound label's place and state, the combo box's enabled and
// disabled colours, the memo's state colours, Enter as Tab and a label freed from outside.
#include "components/KwpComboBox.h"
#include "components/KwpMemo.h"

#include "tests/support/windows/FormHarness.h"
#include "vcl/Forms.h"

#include <gtest/gtest.h>

using namespace components;
using testing_support::FormHarness;

namespace {

class EditForm : public vcl::TForm {
public:
    explicit EditForm(rtl::TComponent* AOwner) : vcl::TForm(AOwner) {
        BeginLoading();
        SetBounds(0, 0, 400, 300);
        first = new vcl::TEdit(this);
        first->SetParent(this);
        first->SetBounds(10, 10, 100, 21);
        combo = new TKwpComboBox(this);
        combo->SetParent(this);
        combo->SetBounds(100, 50, 120, 21);
        combo->BoundLabel()->SetCaption(QStringLiteral("Year:"));
        memo = new TKwpMemo(this);
        memo->SetParent(this);
        memo->SetBounds(100, 120, 200, 80);
        memo->BoundLabel()->SetCaption(QStringLiteral("Comment:"));
        memo->SetBoundLabelPosition(vcl::lpAbove);
        memo->SetBoundLabelSpacing(2);
        memo->Appearance()->SetFocusedBgColor(0x00FFFF);
        memo->Appearance()->SetHotBgColor(0xFFFF00);
        memo->Appearance()->SetDisabledBgColor(0xC0C0C0);
        last = new vcl::TEdit(this);
        last->SetParent(this);
        last->SetBounds(10, 250, 100, 21);
        EndLoading();
    }
    vcl::TEdit *first, *last;
    TKwpComboBox* combo;
    TKwpMemo* memo;
};

class BoundLabel : public ::testing::Test {
protected:
    void SetUp() override { form = H.Show<EditForm>(); }
    FormHarness H;
    EditForm* form = nullptr;
};

TEST_F(BoundLabel, SitsBesideTheControlAndFollowsIt) {
    TKwpComboBox* c = form->combo;
    TKwpControlBoundLabel* l = c->BoundLabel();
    EXPECT_EQ(c->DropDownCount(), 16);
    EXPECT_EQ(l->Parent(), form);
    EXPECT_EQ(l->FocusControl(), c);
    EXPECT_EQ(l->Left() + l->Width(), c->Left() - 4);
    EXPECT_EQ(l->Top(), c->Top() + (c->Height() - l->Height()) / 2);
    c->SetBounds(150, 80, 120, c->Height());
    EXPECT_EQ(l->Left() + l->Width(), 146);
    c->SetBoundLabelPosition(vcl::lpBelow);
    EXPECT_EQ(l->Top(), 80 + c->Height() + 4);
    EXPECT_EQ(l->Left(), 150);
    c->SetBoundLabelPosition(vcl::lpRight);
    EXPECT_EQ(l->Left(), 150 + 120 + 4);
    // The memo's label above it, 2 pixels away; a new spacing moves it at once.
    TKwpMemo* m = form->memo;
    EXPECT_EQ(m->BoundLabel()->Top(), m->Top() - m->BoundLabel()->Height() - 2);
    m->SetBoundLabelSpacing(10);
    EXPECT_EQ(m->BoundLabel()->Top(), m->Top() - m->BoundLabel()->Height() - 10);
    // A longer caption keeps the right edge beside the control.
    c->SetBoundLabelPosition(vcl::lpLeft);
    l->SetCaption(QStringLiteral("A much longer caption:"));
    EXPECT_EQ(l->Left() + l->Width(), c->Left() - 4);
}

TEST_F(BoundLabel, FollowsVisibilityAndShowLabel) {
    TKwpComboBox* c = form->combo;
    c->SetVisible(false);
    EXPECT_FALSE(c->BoundLabel()->Visible());
    c->SetVisible(true);
    EXPECT_TRUE(c->BoundLabel()->Visible());
    c->SetShowLabel(false);
    EXPECT_FALSE(c->BoundLabel()->Visible());
    c->SetBoundLabelSpacing(6);  // placing again keeps it hidden
    EXPECT_FALSE(c->BoundLabel()->Visible());
}

TEST_F(BoundLabel, ComboColoursFollowEnabled) {
    TKwpComboBox* c = form->combo;
    c->SetEnabled(false);
    EXPECT_FALSE(c->BoundLabel()->Enabled());
    EXPECT_EQ(c->Color(), 0xF0F0F0);
    c->SetColorEnabled(0x00FF00);  // disabled: waits for the next enable
    EXPECT_EQ(c->Color(), 0xF0F0F0);
    c->SetEnabled(true);
    EXPECT_TRUE(c->BoundLabel()->Enabled());
    EXPECT_EQ(c->Color(), 0x00FF00);
    c->SetColorEnabled(0x0000FF);
    EXPECT_EQ(c->Color(), 0x0000FF);
}

TEST_F(BoundLabel, MemoStateColours) {
    TKwpMemo* m = form->memo;
    EXPECT_EQ(m->Color(), vcl::clWindow);  // normal after loading
    H.MoveTo(m);
    EXPECT_TRUE(m->MouseOverControl());
    EXPECT_EQ(m->Color(), 0xFFFF00);
    m->SetFocus();
    H.Pump();
    EXPECT_EQ(m->Color(), 0x00FFFF);
    H.MoveTo(form->first);  // leaving with the focus keeps the focused colours
    EXPECT_EQ(m->Color(), 0x00FFFF);
    H.MoveTo(m);
    form->first->SetFocus();  // leaving the focus shows the normal colours, pointer or not
    H.Pump();
    EXPECT_EQ(m->Color(), vcl::clWindow);
    m->SetEnabled(false);
    EXPECT_EQ(m->Color(), 0xC0C0C0);
    EXPECT_EQ(m->Font()->Color(), vcl::clGrayText);
}

TEST_F(BoundLabel, EnterMovesTheFocusOnlyWhenAsked) {
    TKwpMemo* m = form->memo;
    H.Type(m, QStringLiteral("a\rb"));
    EXPECT_EQ(m->Lines()->Count(), 2);  // without TabOnEnter: a new line
    EXPECT_TRUE(m->Focused());
    m->SetTabOnEnter(true);
    H.Type(m, QStringLiteral("c\r"));
    EXPECT_TRUE(form->last->Focused());
    EXPECT_EQ(m->Lines()->Count(), 2);
    EXPECT_TRUE(m->Text().endsWith(QStringLiteral("c")));
    form->combo->SetTabOnEnter(true);
    form->combo->SetFocus();
    H.App().KeyDown(VK_SHIFT);
    H.App().Tap(VK_RETURN);
    H.App().KeyUp(VK_SHIFT);
    H.Pump();
    EXPECT_TRUE(form->first->Focused());
}

TEST_F(BoundLabel, ALabelFreedFromOutsideLeavesAWorkingControl) {
    TKwpComboBox* c = form->combo;
    delete c->BoundLabel();
    EXPECT_EQ(c->BoundLabel(), nullptr);
    c->SetBounds(10, 10, 80, c->Height());
    c->SetBoundLabelPosition(vcl::lpAbove);
    c->SetShowLabel(false);
    c->SetEnabled(false);
    c->SetVisible(false);
    EXPECT_EQ(c->BoundLabelPosition(), vcl::lpLeft);  // nothing to place
}

TEST_F(BoundLabel, FlashBlinksAndGivesTheColourBack) {
    TKwpComboBox* c = form->combo;
    c->SetColor(0x00FF00);
    c->FlashBackground();
    H.Advance(std::chrono::milliseconds(150));
    EXPECT_EQ(c->Color(), 0x7878FF);
    H.Advance(std::chrono::milliseconds(150 * 5));
    EXPECT_EQ(c->Color(), 0x00FF00);
    EXPECT_FALSE(c->Flash()->Flashing());
}

} // namespace

namespace {

TEST_F(BoundLabel, CompanionsFollowTheMemo) {
    auto* companion = new vcl::TButton(form);
    companion->SetParent(form);
    companion->SetBounds(0, 0, 30, 20);
    form->memo->AnchoredControls()->Bottom()->SetControl(companion);
    form->memo->SetBounds(100, 100, 200, 80);
    EXPECT_EQ(companion->Top(), 100 + 80 + form->memo->AnchoredControls()->Bottom()->Spacing());
    delete companion;
    EXPECT_EQ(form->memo->AnchoredControls()->Bottom()->Control(), nullptr);
    EXPECT_NE(form->memo->BoundLabel(), nullptr);
}

} // namespace

namespace {

TEST_F(BoundLabel, AnAssignedAppearanceIsCopiedAndStaysWired) {
    TKwpMemo* m = form->memo;
    TKwpCustomMemoAppearance other;
    other.SetNormalBgColor(0x102030);
    other.SetNormalTextColor(0x0000FF);
    m->SetAppearance(&other);
    EXPECT_EQ(m->Color(), 0x102030);
    EXPECT_EQ(m->Font()->Color(), 0x0000FF);
    EXPECT_NE(m->Appearance(), &other);
    m->Appearance()->SetNormalBgColor(0x405060);  // the memo's own object still reaches it
    EXPECT_EQ(m->Color(), 0x405060);
}

} // namespace
