// tests/components/FlatGroupBoxTest.cpp: the flat group box's frame around its caption, its disabled
// caption, the parent's background when transparent, its border colour from its own colour, and the
// flat hint window: where it shows for each quarter of the screen, how it is painted, and what the
// hint component does to the application.
#include "components/FlatGroupBox.h"
#include "components/FlatHint.h"

#include "tests/support/windows/FormHarness.h"
#include "vcl/ExtCtrls.h"

#include <gtest/gtest.h>

using namespace components;
using testing_support::FormHarness;
using vcl::TColor;

namespace {

constexpr TColor kFace = 0x336699, kBorder = 0x0000FF;

class GroupForm : public vcl::TForm {
public:
    explicit GroupForm(rtl::TComponent* AOwner) : vcl::TForm(AOwner) {
        SetBounds(0, 0, 400, 300);
        SetColor(0x00AA00);
        box = new TFlatGroupBox(this);
        box->SetParent(this);
        box->SetBounds(20, 30, 200, 100);
        box->SetColor(kFace);
        box->SetColorBorder(kBorder);
        box->SetCaption(QStringLiteral("Time range"));
    }
    TFlatGroupBox* box;
};

class FlatGroupBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = H.Show<GroupForm>();
        box = form->box;
    }
    TColor At(int X, int Y) {
        const QRgb rgb = H.App().Pixel(box->Handle(), X, Y);
        return TColor(qRed(rgb) | qGreen(rgb) << 8 | qBlue(rgb) << 16);
    }
    // Caption width and height in the box's font.
    vcl::TSize Caption() {
        vcl::TBitmap bmp;
        bmp.SetSize(1, 1);
        bmp.Canvas()->Font()->Assign(box->Font());
        return bmp.Canvas()->TextExtent(box->Caption());
    }
    FormHarness H;
    GroupForm* form = nullptr;
    TFlatGroupBox* box = nullptr;
};

} // namespace

TEST_F(FlatGroupBoxTest, TheTopLineLeavesAGapAroundTheCaption) {
    const vcl::TSize t = Caption();
    const int mid = t.cy / 2;
    // The polyline starts at x = 5 and ends at tw + 12, whose last point is not painted.
    for (int x : {0, 5, t.cx + 13, 150, 199}) EXPECT_EQ(At(x, mid), kBorder) << x;
    for (int x : {6, t.cx + 12}) EXPECT_NE(At(x, mid), kBorder) << x;
    for (int y : {mid, 50, 99}) {
        EXPECT_EQ(At(0, y), kBorder) << y;
        EXPECT_EQ(At(199, y), kBorder) << y;
    }
    EXPECT_EQ(At(100, 99), kBorder);
    EXPECT_EQ(At(100, 50), kFace);
    EXPECT_EQ(At(0, mid - 1), kFace);  // nothing above the top line
    H.App().SaveScreenshot(form->Handle(), QStringLiteral("flat-group-box.png"));

    // Only the top line: no sides, no bottom.
    box->SetBorder(brOnlyTopLine);
    H.Pump();
    EXPECT_EQ(At(150, mid), kBorder);
    EXPECT_EQ(At(0, 50), kFace);
    EXPECT_EQ(At(100, 99), kFace);
}

TEST_F(FlatGroupBoxTest, ADisabledCaptionIsEmbossed) {
    const vcl::TSize t = Caption();
    auto count = [&](TColor C) {
        int n = 0;
        for (int y = 0; y <= t.cy; ++y)
            for (int x = 10; x <= 11 + t.cx; ++x) n += At(x, y) == C;
        return n;
    };
    const TColor light = vcl::ColorToRGB(vcl::clBtnHighlight), dark = vcl::ColorToRGB(vcl::clBtnShadow);
    EXPECT_EQ(count(light), 0);
    box->SetEnabled(false);
    H.Pump();
    EXPECT_GT(count(light), 10);
    EXPECT_GT(count(dark), 10);
}

TEST_F(FlatGroupBoxTest, ATransparentBoxShowsItsParent) {
    EXPECT_EQ(At(100, 50), kFace);
    box->SetTransparent(true);
    H.Pump();
    EXPECT_EQ(At(100, 50), 0x00AA00);
    EXPECT_EQ(At(0, 50), kBorder);
    // The parent's windowless children show through too, and follow a move of the box.
    auto* shape = new vcl::TShape(form);
    shape->Brush()->SetColor(0x0000FF);
    shape->Pen()->SetColor(0x0000FF);
    shape->SetBounds(110, 70, 20, 20);
    shape->SetParent(form);
    box->Invalidate();
    H.Pump();
    EXPECT_EQ(At(100, 50), 0x0000FF);  // form (120, 80)
    box->SetBounds(40, 30, 200, 100);
    H.Pump();
    EXPECT_EQ(At(80, 50), 0x0000FF);
    EXPECT_EQ(At(100, 50), 0x00AA00);
}

TEST_F(FlatGroupBoxTest, AdvancedColoursDeriveTheBorderFromTheBoxColour) {
    box->SetAdvColorBorder(0);
    box->SetUseAdvColors(true);
    EXPECT_EQ(box->ColorBorder(), kBorder);  // 0 leaves it
    EXPECT_TRUE(box->ParentColor());
    EXPECT_EQ(box->Color(), 0x00AA00);  // the parent's now
    box->SetAdvColorBorder(30);
    EXPECT_EQ(box->ColorBorder(), ShiftColorLuminance(0x00AA00, kBorder, 30, true));
    // The parent's colour changes: the border follows.
    form->SetColor(0xC0C0C0);
    EXPECT_EQ(box->ColorBorder(), ShiftColorLuminance(0xC0C0C0, kBorder, 30, true));
    box->SetAdvColorBorder(250);
    EXPECT_EQ(box->AdvColorBorder(), 100);
}

TEST_F(FlatGroupBoxTest, ItsAcceleratorFocusesIt) {
    box->SetCaption(QStringLiteral("&Time"));
    box->SetTabStop(true);
    EXPECT_EQ(box->Perform(vcl::CM_DIALOGCHAR, 'T'), 1);
    EXPECT_TRUE(box->Focused());
    EXPECT_EQ(box->Perform(vcl::CM_DIALOGCHAR, 'X'), 0);
}

// ---- the flat hint ----

namespace {

class HintForm : public vcl::TForm {
public:
    explicit HintForm(rtl::TComponent* AOwner) : vcl::TForm(AOwner) { SetBounds(0, 0, 200, 100); }
};

struct QuarterCase {
    POINT mouse;
    TArrowPos pos;
    bool right, below;  // where the window lies from the mouse
    int gap;
};

class HintQuarters : public ::testing::TestWithParam<QuarterCase> {};

} // namespace

TEST_P(HintQuarters, TheHintLiesTowardTheMiddleWithItsArrowAtTheMouse) {
    const QuarterCase& c = GetParam();
    FormHarness H;
    auto* form = H.Create<HintForm>();
    auto* hint = new TFlatHint(form);
    TFlatHintWindow window(nullptr);
    SetCursorPos(c.mouse.x, c.mouse.y);
    window.ActivateHint(vcl::TRect(0, 0, 10, 10), QStringLiteral("Split chapters into files"));
    H.Pump();
    EXPECT_EQ(window.ArrowPos(), c.pos);
    const vcl::TRect r = window.BoundsRect();
    if (c.right)
        EXPECT_EQ(r.Left, c.mouse.x + c.gap);
    else
        EXPECT_EQ(r.Right, c.mouse.x - c.gap);
    if (c.below)
        EXPECT_EQ(r.Top, c.mouse.y + c.gap);
    else
        EXPECT_EQ(r.Bottom, c.mouse.y - c.gap);
    EXPECT_LE(r.Width(), hint->MaxHintWidth());
    EXPECT_TRUE(IsWindowVisible(window.Handle()));
    EXPECT_TRUE(window.Active());
    RECT wr;
    GetWindowRect(window.Handle(), &wr);
    EXPECT_EQ(wr.left, r.Left);
    EXPECT_EQ(wr.top, r.Top);
}

INSTANTIATE_TEST_SUITE_P(Quarters, HintQuarters,
                         ::testing::Values(QuarterCase{{100, 100}, NW, true, true, 12},
                                           QuarterCase{{1000, 100}, NE, false, true, 5},
                                           QuarterCase{{100, 900}, SW, true, false, 5},
                                           QuarterCase{{1000, 900}, SE, false, false, 5}));

TEST(FlatHint, PaintsTheArrowBoxTheTextBoxAndTheFrame) {
    FormHarness H;
    auto* form = H.Create<HintForm>();
    auto* hint = new TFlatHint(form);
    hint->SetColorByIndex(0, 0xEEEEEE);
    hint->SetColorByIndex(1, 0x0000FF);
    hint->SetColorByIndex(2, 0x00FFFF);
    hint->SetColorByIndex(3, 0xFF0000);
    hint->SetColorByIndex(4, 0x123456);  // no such colour
    TFlatHintWindow window(nullptr);
    SetCursorPos(1000, 100);  // NE: the arrow box on the right
    window.ActivateHint(vcl::TRect(0, 0, 10, 10), QStringLiteral("Hint"));
    H.Pump();
    auto at = [&](int X, int Y) {
        const QRgb rgb = H.App().Pixel(window.Handle(), X, Y);
        return TColor(qRed(rgb) | qGreen(rgb) << 8 | qBlue(rgb) << 16);
    };
    const int w = window.Width(), h = window.Height();
    EXPECT_EQ(at(0, 0), 0x0000FF);
    EXPECT_EQ(at(w - 1, h - 1), 0x0000FF);
    EXPECT_EQ(at(w - 8, h - 2), 0x00FFFF);
    EXPECT_EQ(at(w - 16, h - 2), 0xEEEEEE);
    const vcl::TPoint tip = window.ArrowPoint();
    EXPECT_EQ(tip, vcl::TPoint(w - 4, 3));
    EXPECT_EQ(at(tip.X, tip.Y + 3), 0xFF0000);   // the shaft down from the tip
    EXPECT_EQ(at(tip.X - 3, tip.Y), 0xFF0000);   // the head to the left
    H.App().SaveScreenshot(window.Handle(), QStringLiteral("flat-hint.png"));
}

TEST(FlatHint, InstallsItselfInTheApplicationAndGivesItBackWhenFreed) {
    FormHarness H;
    auto* form = H.Create<HintForm>();
    const vcl::THintWindowClass before = vcl::HintWindowClass;
    auto* hint = new TFlatHint(form);
    EXPECT_NE(vcl::HintWindowClass, before);
    EXPECT_EQ(vcl::Application->HintShortPause(), 25);
    EXPECT_EQ(vcl::Application->HintPause(), 500);
    EXPECT_EQ(vcl::Application->HintHidePause(), 5000);
    int shown = 0;
    hint->OnShowHint = [&](rtl::String& Text, bool&, vcl::THintInfo&) {
        ++shown;
        Text = QStringLiteral("changed");
    };
    rtl::String text = QStringLiteral("x");
    bool canShow = true;
    vcl::THintInfo info;
    vcl::Application->OnShowHint(text, canShow, info);
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(text, "changed");
    EXPECT_EQ(FindFlatHint(), hint);
    delete hint;
    EXPECT_EQ(vcl::HintWindowClass, before);
    EXPECT_FALSE(vcl::Application->OnShowHint);
    EXPECT_EQ(FindFlatHint(), nullptr);
}

TEST(FlatHint, WithoutAFlatHintOnAnyFormNothingShows) {
    FormHarness H;
    H.Create<HintForm>();
    TFlatHintWindow window(nullptr);
    SetCursorPos(100, 100);
    window.ActivateHint(vcl::TRect(0, 0, 10, 10), QStringLiteral("Hint"));
    H.Pump();
    EXPECT_FALSE(window.HandleAllocated() && IsWindowVisible(window.Handle()));
}
