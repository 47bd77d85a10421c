// tests/components/PlusComboTest.cpp: the flat combo box's label (placements, enabled and visible state,
// focus bold, DPI scaling), its button width range, focus colours, Enter as Tab, the exact-text
// selection and the close-up notice.
#include "components/KwThemeLib.h"
#include "components/PlusCombo.h"
#include "grid/shared/DrawHelpers.h"

#include "EventCounter.h"
#include "tests/support/windows/FormHarness.h"
#include "vcl/Forms.h"

#include <gtest/gtest.h>

#include "win/uxtheme/uxtheme.h"

using namespace components;
using components_test::Counter;
using testing_support::FormHarness;

namespace {

class ComboForm : public vcl::TForm {
public:
    explicit ComboForm(rtl::TComponent* AOwner) : vcl::TForm(AOwner) {
        BeginLoading();
        SetBounds(0, 0, 500, 300);
        first = new vcl::TEdit(this);
        first->SetParent(this);
        first->SetBounds(10, 10, 100, 21);
        combo = new TPlusComboBox(this);
        combo->SetParent(this);
        combo->SetStyle(vcl::csDropDownList);
        combo->SetBounds(200, 100, 120, 21);
        combo->Items()->Add(QStringLiteral("MP3"));
        combo->Items()->Add(QStringLiteral("WAV"));
        combo->SetLabelCaption(QStringLiteral("Output format:"));
        combo->SetLabelMargin(3);
        combo->SetLabelPosition(lpLeftCenter);
        last = new vcl::TEdit(this);
        last->SetParent(this);
        last->SetBounds(10, 250, 100, 21);
        EndLoading();
    }
    vcl::TEdit *first, *last;
    TPlusComboBox* combo;
};

class PlusCombo : public ::testing::Test {
protected:
    void SetUp() override {
        form = H.Show<ComboForm>();
        c = form->combo;
        l = c->Label();
        ASSERT_NE(l, nullptr);
    }
    int TextWidth() {
        l->Canvas()->Font()->Assign(l->Font());
        return l->Canvas()->TextWidth(l->Caption());
    }
    FormHarness H;
    ComboForm* form = nullptr;
    TPlusComboBox* c = nullptr;
    vcl::TLabel* l = nullptr;
};

TEST_F(PlusCombo, LabelTakesEachOfTheFifteenPlaces) {
    l->SetAutoSize(false);
    c->SetBounds(200, 100, 120, 21);
    const int w = TextWidth(), L = 200, T = 100, CW = 120, CH = c->Height(), M = 7;
    c->SetLabelMargin(M);
    // Label sizes on both sides of the control's, and of both parities against it.
    for (const auto& [LW, LH] : {std::pair{150, 13}, std::pair{60, 12}, std::pair{150, CH + 3}}) {
        l->SetBounds(l->Left(), l->Top(), LW, LH); // LW 150: wider than its text, the text's width places it
        ASSERT_NE(w, LW);
        const int midY = LH < CH ? T + (CH - LH) / 2 : T - (LH - CH) / 2;
        const int midX = LW < CW ? L + (CW - LW) / 2 : L - (LW - CW) / 2;
        struct Case {
            TPlusLabelPosition pos;
            int top, left;
        } cases[] = {
            {lpLeftTop, T, L - w - M},           {lpLeftCenter, midY, L - w - M},
            {lpLeftBottom, T + CH - LH, L - w - M}, {lpTopLeft, T - LH - M, L},
            {lpBottomLeft, T + CH + M, L},       {lpLeftTopLeft, T, L - M},
            {lpLeftCenterLeft, midY, L - M},     {lpLeftBottomLeft, T + CH - LH, L - M},
            {lpTopCenter, T - LH - M, midX},     {lpBottomCenter, T + CH + M, midX},
            {lpRightTop, T, L + CW + M},         {lpRightCenter, midY, L + CW + M},
            {lpRighBottom, T + CH - LH, L + CW + M}, {lpTopRight, T - LH - M, L + CW - LW},
            {lpBottomRight, T + CH + M, L + CW - LW},
        };
        for (const Case& k : cases) {
            c->SetLabelPosition(k.pos);
            EXPECT_EQ(l->Top(), k.top) << k.pos << " " << LW << "x" << LH;
            EXPECT_EQ(l->Left(), k.left) << k.pos << " " << LW << "x" << LH;
        }
    }
    c->SetLabelPosition(lpLeftTopLeft);
    c->SetLabelMargin(80);
    EXPECT_EQ(l->Left(), L - 80);
}

TEST_F(PlusCombo, LabelIsCreatedWithItsCaptionAndFollowsTheControl) {
    EXPECT_EQ(l->Parent(), form);
    EXPECT_EQ(l->FocusControl(), c);
    EXPECT_EQ(c->LabelCaption(), QStringLiteral("Output format:"));
    EXPECT_EQ(l->Left() + TextWidth() + 3, c->Left());
    c->SetLabelCaption(QStringLiteral("Format:"));
    EXPECT_EQ(l->Left() + TextWidth() + 3, c->Left()); // placed again for the new text
    c->SetBounds(250, 150, 120, 21);
    EXPECT_EQ(l->Left() + TextWidth() + 3, 250);
    c->SetVisible(false);
    EXPECT_FALSE(l->Visible());
    c->SetVisible(true);
    EXPECT_TRUE(l->Visible());
    c->SetLabelTransparent(true);
    EXPECT_TRUE(l->Transparent());
    delete l; // freed from outside: the control forgets it and makes a new one when asked
    EXPECT_EQ(c->Label(), nullptr);
    c->SetBounds(240, 150, 120, 21);
    c->SetLabelCaption(QStringLiteral("Again:"));
    ASSERT_NE(c->Label(), nullptr);
    EXPECT_EQ(c->Label()->Parent(), form);

    TPlusComboBox bare(nullptr);
    EXPECT_EQ(bare.LabelCaption(), QString());
    EXPECT_EQ(bare.Label(), nullptr);
    EXPECT_EQ(bare.Version(), QStringLiteral("1.8.0.1"));
}

TEST_F(PlusCombo, LabelFollowsTheEnabledStateUnlessAlwaysEnabled) {
    c->SetEnabled(false);
    EXPECT_FALSE(c->GetEnabled());
    EXPECT_FALSE(l->Enabled());
    l->SetEnabled(true);
    c->SetEnabled(false); // no change: the label is left alone
    EXPECT_TRUE(l->Enabled());
    c->SetEnabled(true);
    EXPECT_TRUE(l->Enabled());
    c->SetLabelAlwaysEnabled(true);
    c->SetEnabled(false);
    EXPECT_TRUE(l->Enabled());
}

TEST_F(PlusCombo, AlignedControlsLeaveRoomForTheLabel) {
    c->SetAlign(vcl::alTop);
    EXPECT_EQ(c->Left(), l->Width() + 3);
    EXPECT_EQ(c->Width(), form->ClientWidth() - l->Width() - 3);
}

TEST(PlusComboButton, WidthIsTakenOnlyFrom14To32) {
    TPlusComboBox c(nullptr);
    EXPECT_EQ(c.ButtonWidth(), GetSystemMetrics(SM_CXVSCROLL) + 2);
    const struct {
        int value, expected;
    } cases[] = {{14, 14}, {13, 14}, {32, 32}, {33, 32}, {20, 20}, {0, 20}};
    for (const auto& k : cases) {
        c.SetButtonWidth(k.value);
        EXPECT_EQ(c.ButtonWidth(), k.expected) << k.value;
    }
}

TEST_F(PlusCombo, FocusShowsItsColourAndBoldLabelAndLeavingRestoresThem) {
    const vcl::TColor normal = c->Color();
    c->FocusColor = 0x00FFFF;
    c->FocusLabel = true;
    c->SetFocus();
    H.Pump();
    EXPECT_EQ(c->Color(), 0x00FFFF);
    EXPECT_TRUE(l->Font()->Style().Contains(vcl::fsBold));
    form->last->SetFocus();
    H.Pump();
    EXPECT_EQ(c->Color(), normal);
    EXPECT_FALSE(l->Font()->Style().Contains(vcl::fsBold));
}

TEST_F(PlusCombo, EnterMovesOnOnlyWithReturnIsTab) {
    c->SetFocus();
    H.App().Tap(VK_RETURN);
    H.Pump();
    EXPECT_TRUE(c->Focused());
    c->ReturnIsTab = true;
    H.App().Tap(VK_RETURN);
    H.Pump();
    EXPECT_TRUE(form->last->Focused());
}

TEST_F(PlusCombo, ExactTextSelectsAndTellsTheChange) {
    Counter changes;
    c->OnChange = rtl::TNotifyEvent(&changes, &Counter::Hit);
    EXPECT_TRUE(c->SelectItemText(QStringLiteral("WAV")));
    EXPECT_EQ(c->ItemIndex(), 1);
    EXPECT_EQ(changes.count, 1);
    EXPECT_FALSE(c->SelectItemText(QStringLiteral("WA")));
    EXPECT_EQ(c->ItemIndex(), 1);
    EXPECT_EQ(changes.count, 1);
}

TEST_F(PlusCombo, ClosingTheListTellsOnDropUp) {
    Counter dropUps;
    c->OnDropUp = rtl::TNotifyEvent(&dropUps, &Counter::Hit);
    c->SetDroppedDown(true);
    H.Pump();
    EXPECT_EQ(dropUps.count, 0);
    c->SetDroppedDown(false);
    H.Pump();
    EXPECT_EQ(dropUps.count, 1);
}

TEST_F(PlusCombo, FlatTakesTheParentsColourAndGivesItBack) {
    form->SetColor(0x336699);
    const vcl::TColor loaded = c->Color();
    c->SetFlat(true);
    EXPECT_EQ(c->Color(), 0x336699);
    c->SetFlat(false);
    EXPECT_EQ(c->Color(), loaded);
}

// A form built with its label font set apart from the control's, as a designed form at 96 DPI stores it.
class DpiForm : public vcl::TForm {
public:
    explicit DpiForm(rtl::TComponent* AOwner) : vcl::TForm(AOwner) {
        BeginLoading();
        SetBounds(0, 0, 300, 200);
        combo = new TPlusComboBox(this);
        combo->SetParentFont(false);
        combo->LabelFont()->SetHeight(8);
        combo->SetLabelCaption(QStringLiteral("Bitrate:"));
        combo->SetParent(this);
        combo->SetBounds(100, 50, 100, 21);
        EndLoading();
    }
    TPlusComboBox* combo;
};

TEST(PlusComboDpi, LabelFontIsScaledByTheZeroHeightRatio) {
    EXPECT_EQ(TPlusComboBox(nullptr).GetDpiScale(), 1.0f); // offscreen screens are 96 DPI
    TPlusCustomCombo::ScreenDpiOverride = 144;
    FormHarness H;
    auto* form = H.Show<DpiForm>();
    TPlusCustomCombo::ScreenDpiOverride = 0;
    const float ratio = float(TPlusCustomCombo::TextHeightAtDpi(144, 9)) / TPlusCustomCombo::TextHeightAtDpi(96, 9);
    EXPECT_GT(ratio, 1.3f);
    EXPECT_EQ(form->combo->LabelFont()->Height(), int(std::nearbyint(8 * ratio)));
    EXPECT_EQ(form->combo->Label()->Parent(), form); // captioned before it had a parent
}

} // namespace

namespace {

class PaintForm : public vcl::TForm {
public:
    explicit PaintForm(rtl::TComponent* AOwner) : vcl::TForm(AOwner) {
        SetBounds(0, 0, 400, 200);
        SetColor(0x336699);
        list = new TPlusComboBox(this);
        list->SetParent(this);
        list->SetStyle(vcl::csDropDownList);
        list->SetBounds(20, 20, 150, 21);
        list->Items()->Add(QStringLiteral("One"));
        edit = new TPlusComboBox(this);
        edit->SetParent(this);
        edit->SetStyle(vcl::csDropDown);
        edit->SetBounds(20, 80, 150, 21);
        edit->SetEmptyText(QStringLiteral("Type a name here"));
        other = new vcl::TEdit(this);
        other->SetParent(this);
        other->SetBounds(20, 150, 100, 21);
    }
    TPlusComboBox *list, *edit;
    vcl::TEdit* other;
};

class PlusComboPaint : public ::testing::Test {
protected:
    void SetUp() override {
        form = H.Show<PaintForm>();
        form->other->SetFocus();
        H.Pump();
    }
    vcl::TColor At(vcl::TControl* C, int X, int Y) {
        H.Pump();
        const QRgb rgb = H.App().Pixel(form->Handle(), C->Left() + X, C->Top() + Y);
        return vcl::TColor(qRed(rgb) | qGreen(rgb) << 8 | qBlue(rgb) << 16);
    }
    int Count(vcl::TControl* C, vcl::TColor Color, int X0, int X1) {
        int n = 0;
        for (int y = 0; y < C->Height(); ++y)
            for (int x = X0; x < X1; ++x) n += At(C, x, y) == Color;
        return n;
    }
    FormHarness H;
    PaintForm* form = nullptr;
};

TEST_F(PlusComboPaint, BorderColourFramesTheWholeWindow) {
    TPlusComboBox* c = form->list;
    c->SetBorderColor(0x0000FF);
    c->Invalidate();
    EXPECT_EQ(At(c, 0, 0), 0x0000FF);
    EXPECT_EQ(At(c, c->Width() - 1, c->Height() - 1), 0x0000FF);
    EXPECT_EQ(At(c, c->Width() / 2, 0), 0x0000FF);
    EXPECT_NE(At(c, c->Width() / 2, 1), 0x0000FF);
}

TEST_F(PlusComboPaint, CustomButtonColoursFillTheButtonWithItsArrow) {
    TPlusComboBox* c = form->list;
    c->ButtonColor = 0x00FF00;
    c->ButtonBorderColor = 0xFF0000;
    c->ButtonTextColor = 0x000000;
    c->Invalidate();
    EXPECT_GT(Count(c, 0x00FF00, c->Width() - c->ButtonWidth(), c->Width()), 40);
    EXPECT_GT(Count(c, 0xFF0000, c->Width() - c->ButtonWidth() - 2, c->Width()), 8);
    EXPECT_GE(Count(c, 0x000000, c->Width() - c->ButtonWidth(), c->Width()), 9); // the arrow
    EXPECT_EQ(Count(c, 0x00FF00, 0, c->Width() - c->ButtonWidth() - 4), 0);
}

TEST_F(PlusComboPaint, EmptyTextShowsOnlyWhileEmptyAndUnfocused) {
    TPlusComboBox* c = form->edit;
    const int textArea = c->Width() - c->ButtonWidth() - 4;
    EXPECT_GT(Count(c, vcl::clGray, 0, textArea), 10);
    c->SetFocus();
    H.Pump();
    EXPECT_EQ(Count(c, vcl::clGray, 0, textArea), 0);
    form->other->SetFocus();
    H.Pump();
    EXPECT_GT(Count(c, vcl::clGray, 0, textArea), 10);
    c->SetText(QStringLiteral("x"));
    H.Pump();
    EXPECT_EQ(Count(c, vcl::clGray, 0, textArea), 0);
}

} // namespace

namespace {

TEST_F(PlusCombo, TabInAnOpenListKeepsTheHighlightedItemAndMovesOn) {
    c->SetItemIndex(0);
    c->SetFocus();
    c->SetDroppedDown(true);
    H.Pump();
    H.App().Tap(VK_DOWN);
    H.Pump();
    H.App().Tap(VK_TAB);
    H.Pump();
    EXPECT_FALSE(c->DroppedDown());
    EXPECT_EQ(c->ItemIndex(), 1);
    EXPECT_TRUE(form->last->Focused());
}

} // namespace

namespace {

TEST(KwThemeLib, TheStandInsLibraryServesThePaintingEntryPoints) {
    const KwThemeLib::TThemeLib& lib = KwThemeLib::ThemeLib();
    ASSERT_TRUE(lib.Loaded);
    EXPECT_EQ(reinterpret_cast<void*>(lib.Entries[34]), reinterpret_cast<void*>(lib.IsThemeActive));
    EXPECT_STREQ(KwThemeLib::EntryNames[44], "EnableTheming");
    EXPECT_EQ(&KwThemeLib::ThemeLib(), &lib); // bound once
    EXPECT_EQ(lib.Module, grid::ThemeLibrary().Module) << "one loading of the library, shared with the grid";
    EXPECT_EQ(reinterpret_cast<void*>(lib.OpenThemeData), reinterpret_cast<void*>(grid::ThemeLibrary().OpenThemeData));
}

} // namespace

namespace {

TEST_F(PlusComboPaint, AFocusOnlyBorderShowsAsSoonAsTheFocusComes) {
    TPlusComboBox* c = form->list;
    c->FocusBorderColor = 0x0000FF;
    auto corner = [&] { // read as drawn so far: no message is pumped
        const QRgb rgb = H.App().Pixel(form->Handle(), c->Left(), c->Top());
        return vcl::TColor(qRed(rgb) | qGreen(rgb) << 8 | qBlue(rgb) << 16);
    };
    H.Pump();
    EXPECT_NE(corner(), 0x0000FF);
    c->SetFocus();
    EXPECT_EQ(corner(), 0x0000FF);
    EXPECT_EQ(At(c, c->Width() - 1, c->Height() - 1), 0x0000FF); // and it stays after the repaint
    form->other->SetFocus();
    EXPECT_NE(At(c, 0, 0), 0x0000FF); // leaving repaints without it
}

TEST_F(PlusComboPaint, DisabledAndThemedWithoutItsBorderFramesInTheThemesGreyBlue) {
    struct ThemeOn {
        ThemeOn() { TwSetThemeActive(TRUE); }
        ~ThemeOn() { TwSetThemeActive(FALSE); }
    } theme;
    TPlusComboBox* c = form->list;
    c->DisabledBorder = false;
    c->SetEnabled(false);
    c->Invalidate();
    EXPECT_EQ(At(c, 0, 0), 0xB99D7F);
    EXPECT_EQ(At(c, c->Width() - 1, c->Height() / 2), 0xB99D7F);
    c->DisabledBorder = true;
    c->Invalidate();
    EXPECT_NE(At(c, 0, 0), 0xB99D7F);
}

TEST_F(PlusComboPaint, FlatLookFramesInTheParentsColourWithALineUnderTheText) {
    TPlusComboBox* c = form->list;
    c->SetFlat(true);
    c->SetFlatLineColor(0x0000FF);
    c->Invalidate();
    EXPECT_EQ(At(c, 0, 0), 0x336699);
    EXPECT_EQ(At(c, c->Width() - 1, 0), 0x336699);
    EXPECT_EQ(At(c, 0, c->Height() - 1), 0x0000FF);
    EXPECT_EQ(At(c, c->Width() - c->ButtonWidth() - 4, c->Height() - 1), 0x0000FF);
    EXPECT_NE(At(c, c->Width() - c->ButtonWidth() - 3, c->Height() - 1), 0x0000FF);
}

TEST_F(PlusComboPaint, FlatKeepsItsColoursWhileDisabled) {
    TPlusComboBox* c = form->list;
    c->SetFlatParentColor(false);
    c->SetFlat(true);
    c->SetColor(0x00FFFF);
    c->SetEnabled(false);
    EXPECT_TRUE(c->ParentColor());
    EXPECT_EQ(c->Color(), 0x336699);
    c->SetEnabled(true);
    EXPECT_FALSE(c->ParentColor());
    EXPECT_EQ(c->Color(), 0x00FFFF);
    c->SetParentColor(true);
    c->SetEnabled(false);
    c->SetEnabled(true);
    EXPECT_TRUE(c->ParentColor());
}

} // namespace
