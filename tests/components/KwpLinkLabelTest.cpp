// tests/components/KwpLinkLabelTest.cpp: the pack's label and link label: companions that follow the
// label and are let go of when freed, the link's state fonts and cursors, and what a click opens.
#include "components/KwpLinkLabel.h"

#include "ShellRecorder.h"
#include "tests/support/windows/FormHarness.h"
#include "vcl/ExtCtrls.h"

#include <gtest/gtest.h>

using namespace components;
using components_test::ShellRecorder;
using testing_support::FormHarness;

namespace {

class LabelForm : public vcl::TForm {
public:
    explicit LabelForm(rtl::TComponent* AOwner) : vcl::TForm(AOwner) {
        SetBounds(0, 0, 400, 200);
        link = new TKwpLinkLabel(this);
        link->SetParent(this);
        link->SetBounds(20, 20, 120, 20);
        link->SetCaption(QStringLiteral("tunewright.example"));
        label = new TKwpLabel(this);
        label->SetParent(this);
        label->SetBounds(20, 100, 60, 16);
        other = new vcl::TShape(this);
        other->SetParent(this);
        other->SetBounds(300, 150, 10, 10);
    }
    TKwpLinkLabel* link;
    TKwpLabel* label;
    vcl::TShape* other;
};

class LinkLabel : public ::testing::Test {
protected:
    void SetUp() override {
        form = H.Show<LabelForm>();
        link = form->link;
    }
    bool Underlined() const { return link->Font()->Style().Contains(vcl::fsUnderline); }
    void Enter() { H.MoveTo(link, POINT{5, 5}); }
    // Clicks far enough apart not to make a double click.
    void Click() {
        H.Click(link, POINT{5, 5});
        H.Advance(std::chrono::milliseconds(1000));
    }
    void Leave() { H.MoveTo(form->other); }

    FormHarness H;
    ShellRecorder shell;
    LabelForm* form = nullptr;
    TKwpLinkLabel* link = nullptr;
};

} // namespace

TEST(KwpLabel, CompanionsFollowTheLabelAndAFreedOneIsLetGo) {
    rtl::TComponent owner(nullptr);
    auto* parent = new vcl::TPanel(&owner);
    parent->SetBounds(0, 0, 400, 300);
    auto* label = new TKwpLabel(&owner);
    label->SetParent(parent);
    label->SetAutoSize(false);
    label->SetBounds(8, 10, 110, 16);
    auto* value = new TKwpLabel(&owner);
    value->SetParent(parent);
    auto* below = new vcl::TShape(&owner);
    below->SetParent(parent);
    label->AnchoredControls()->Right()->SetSpacing(12);
    label->AnchoredControls()->Right()->SetControl(value);
    label->AnchoredControls()->Bottom()->SetSpacing(6);
    label->AnchoredControls()->Bottom()->SetControl(below);
    EXPECT_EQ(vcl::TPoint(value->Left(), value->Top()), vcl::TPoint(130, 10));
    EXPECT_EQ(vcl::TPoint(below->Left(), below->Top()), vcl::TPoint(8, 32));

    label->SetBounds(20, 40, 100, 16);
    EXPECT_EQ(vcl::TPoint(value->Left(), value->Top()), vcl::TPoint(132, 40));
    EXPECT_EQ(vcl::TPoint(below->Left(), below->Top()), vcl::TPoint(20, 62));

    delete value;
    EXPECT_EQ(label->AnchoredControls()->Right()->Control(), nullptr);
    EXPECT_EQ(label->AnchoredControls()->Bottom()->Control(), below);
    label->SetBounds(0, 0, 100, 16);  // must not touch the freed companion
    EXPECT_EQ(below->Top(), 22);
}

TEST_F(LinkLabel, SwitchesItsFontAndCursorWithTheMouse) {
    EXPECT_EQ(link->Font()->Color(), vcl::clBlue);
    EXPECT_FALSE(Underlined());
    EXPECT_EQ(link->Cursor(), vcl::crHandPoint);
    int enters = 0, leaves = 0;
    link->OnMouseEnter = [&](rtl::TObject*) { ++enters; };
    link->OnMouseLeave = [&](rtl::TObject*) { ++leaves; };
    Enter();
    EXPECT_EQ(enters, 1);
    EXPECT_TRUE(Underlined());
    EXPECT_EQ(link->Font()->Color(), vcl::clBlue);
    Leave();
    EXPECT_EQ(leaves, 1);
    EXPECT_FALSE(Underlined());

    // Disabled: the disabled font and the default cursor whether the mouse is over it or not.
    link->SetEnabled(false);
    EXPECT_EQ(link->Font()->Color(), vcl::clBtnShadow);
    EXPECT_TRUE(Underlined());
    EXPECT_EQ(link->Cursor(), vcl::crDefault);
    Enter();
    EXPECT_EQ(link->Font()->Color(), vcl::clBtnShadow);
    EXPECT_EQ(link->Cursor(), vcl::crDefault);
    link->SetEnabled(true);
    EXPECT_EQ(link->Cursor(), vcl::crHandPoint);
    EXPECT_FALSE(Underlined());
}

TEST_F(LinkLabel, AClickOpensTheURLAndMarksTheLinkVisited) {
    link->SetURL(QStringLiteral("https://tunewright.example/about"));
    int clicks = 0;
    link->OnClick = [&](rtl::TObject*) { ++clicks; };
    Click();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(shell.Launched(), QStringList({"https://tunewright.example/about"}));
    EXPECT_TRUE(link->Visited());
    EXPECT_EQ(link->Font()->Color(), vcl::clPurple);
    EXPECT_TRUE(Underlined());
    Leave();
    EXPECT_EQ(link->Font()->Color(), vcl::clPurple);
    EXPECT_FALSE(Underlined());
    Enter();
    EXPECT_TRUE(Underlined());
}

TEST_F(LinkLabel, WithoutAURLOrWhileDisabledAClickOnlyRaisesOnClick) {
    int clicks = 0;
    link->OnClick = [&](rtl::TObject*) { ++clicks; };
    Click();
    EXPECT_FALSE(link->Visited());
    link->SetURL(QStringLiteral("https://tunewright.example/"));
    link->SetEnabled(false);
    Click();
    EXPECT_EQ(clicks, 2);
    EXPECT_TRUE(shell.Launched().isEmpty());
    EXPECT_FALSE(link->Visited());
}

TEST_F(LinkLabel, ExecutesItsActionInActionMode) {
    vcl::TAction action(form);
    int runs = 0;
    action.SetOnExecute([&](rtl::TObject*) { ++runs; });
    link->SetClickActionType(catExecuteAction);
    link->SetURL(QStringLiteral("https://tunewright.example/"));
    Click();
    EXPECT_EQ(runs, 0);  // no action yet: nothing, not visited
    EXPECT_FALSE(link->Visited());
    link->SetAction(&action);
    Click();
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(link->Visited());
    EXPECT_TRUE(shell.Launched().isEmpty());
}

TEST_F(LinkLabel, OnlyTheRestingFontsShowAtOnce) {
    link->FontNormal()->SetColor(0x00AA00);
    EXPECT_EQ(link->Font()->Color(), 0x00AA00);
    link->FontHot()->SetColor(0x0000AA);
    EXPECT_EQ(link->Font()->Color(), 0x00AA00);  // until the next entry
    Enter();
    EXPECT_EQ(link->Font()->Color(), 0x0000AA);
    Leave();
    // A visited link shows the visited font, and follows changes of it only.
    link->SetVisited(true);
    EXPECT_EQ(link->Font()->Color(), vcl::clPurple);
    link->FontNormal()->SetColor(0x111111);
    EXPECT_EQ(link->Font()->Color(), vcl::clPurple);
    link->FontVisitedNormal()->SetColor(0x222222);
    EXPECT_EQ(link->Font()->Color(), 0x222222);
}

TEST_F(LinkLabel, TheShellSetsAllFiveFontsAtOnce) {
    SetLinkLabelFonts(link, QStringLiteral("DejaVu Sans"), 9);
    SetLinkLabelFontColors(link, 1, 2, 3, 4, 5);
    const vcl::TFont* fonts[] = {link->FontNormal(), link->FontHot(), link->FontDisabled(), link->FontVisitedNormal(),
                                 link->FontVisitedHot()};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(fonts[i]->Color(), i + 1);
        EXPECT_EQ(fonts[i]->Size(), 9);
        EXPECT_EQ(fonts[i]->Name(), "DejaVu Sans");
    }
    EXPECT_EQ(link->Font()->Color(), 1);
    EXPECT_EQ(link->Font()->Size(), 9);
}
