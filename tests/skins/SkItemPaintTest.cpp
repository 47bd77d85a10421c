// The bar painters that need no bar, through the recording skin (which entry, which sides, which
// rectangle) and by pixels where the geometry is the point; the item font settings; the window
// utilities.
#include "skins/SkItemPaint.h"

#include "tests/skins/RecordingSkin.h"
#include "tests/support/windows/FormHarness.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"

#include <gtest/gtest.h>

#include <memory>

using namespace skins;
using skins_test::TPaintRecord;
using skins_test::TRecordingSkin;
using vcl::TAnchors;
using vcl::TRect;

namespace {

struct Painters : ::testing::Test {
    testing_support::HeadlessApp app;
    std::unique_ptr<vcl::TBitmap> bitmap;
    void SetUp() override {
        TRecordingSkin::Use();
        bitmap = std::make_unique<vcl::TBitmap>();
        bitmap->SetPixelFormat(vcl::pf32bit);
        bitmap->SetSize(100, 60);
        Canvas()->Brush()->SetColor(vcl::clWhite);
        Canvas()->FillRect(TRect(0, 0, 100, 60));
        TRecordingSkin::Log().clear();
    }
    void TearDown() override { GetSkinManager()->SetToDefaultSkin(); }
    vcl::TCanvas* Canvas() { return bitmap->Canvas(); }
    TColor At(int x, int y) { return Canvas()->Pixels(x, y); }
};

struct ItemCase {
    TSkSkinStatesType state;
    TSkComboPart part;
    TAnchors square;
};

class ToolbarItemBackground : public Painters, public ::testing::WithParamInterface<ItemCase> {};

TEST_P(ToolbarItemBackground, PaintsTheStatesEntryWithTheSplitHalvesSquareWhereTheyMeet) {
    const ItemCase& c = GetParam();
    const TRect r(2, 3, 40, 25);
    DrawToolbarItemBackground(Canvas(), r, c.state, c.part);
    ASSERT_EQ(TRecordingSkin::Log().size(), 1u);
    const TPaintRecord& p = TRecordingSkin::Log()[0];
    EXPECT_EQ(p.Component, skncToolbarItem);
    EXPECT_EQ(p.State, c.state);
    EXPECT_EQ(p.Rect, r);
    EXPECT_TRUE(p.Body && p.Borders);
    EXPECT_EQ(p.Forced, c.square);
}

INSTANTIATE_TEST_SUITE_P(Cases, ToolbarItemBackground,
                         ::testing::Values(ItemCase{sknsNormal, cpNone, {}}, ItemCase{sknsHotTrack, cpCombo, {}},
                                           ItemCase{sknsPushed, cpSplitLeft, {vcl::akRight}},
                                           ItemCase{sknsCheckedAndHotTrack, cpSplitRight, {vcl::akLeft}},
                                           ItemCase{sknsDisabled, cpNone, {}}));

TEST_F(Painters, SeparatorLinesTakeTheBodyColoursAndVerticalOnesKeepThreePixelsOff) {
    const TColor c1 = TRecordingSkin::BodyColor(skncSeparator, sknsNormal), c2 = TRecordingSkin::Color2;
    DrawSeparator(Canvas(), TRect(10, 10, 20, 50), false, true);   // x = 14
    EXPECT_EQ(At(14, 13), c1);
    EXPECT_EQ(At(15, 13), c2);
    EXPECT_EQ(At(14, 46), c1);
    EXPECT_EQ(At(14, 12), vcl::clWhite);
    EXPECT_EQ(At(14, 47), vcl::clWhite);
    DrawSeparator(Canvas(), TRect(30, 10, 90, 20), true, false);   // y = 14, full length
    EXPECT_EQ(At(30, 14), c1);
    EXPECT_EQ(At(89, 15), c2);
    EXPECT_EQ(At(90, 14), vcl::clWhite);
}

TEST_F(Painters, PopupOpenedFromAnItemAboveLeavesAGapInItsTopBorder) {
    const TRect r(0, 0, 100, 60);
    DrawPopupBackground(Canvas(), r, TRect(10, -20, 50, 0), false, 16);
    ASSERT_EQ(TRecordingSkin::Log().size(), 2u);
    EXPECT_TRUE(TRecordingSkin::Log()[0].Body && !TRecordingSkin::Log()[0].Borders);
    EXPECT_TRUE(!TRecordingSkin::Log()[1].Body && TRecordingSkin::Log()[1].Borders);
    const TColor border = TRecordingSkin::BorderColor(skncPopup, sknsNormal);
    EXPECT_EQ(At(5, 0), border);
    EXPECT_EQ(At(10, 0), border);   // the item's own outline meets it
    EXPECT_NE(At(11, 0), border);
    EXPECT_NE(At(48, 0), border);
    EXPECT_EQ(At(49, 0), border);
    EXPECT_EQ(At(0, 30), border);

    TRecordingSkin::Log().clear();
    DrawPopupBackground(Canvas(), r, TRect(0, 0, 0, 0), false, 16);
    ASSERT_EQ(TRecordingSkin::Log().size(), 1u);
    EXPECT_EQ(At(30, 0), border);
}

TEST_F(Painters, StatusBarGripStepsUpTwelveEightAndFourPixelsIntoTheCorner) {
    const TColor dot = TRecordingSkin::BodyColor(skncStatusBarGrip, sknsNormal);
    DrawStatusBarBackground(Canvas(), TRect(), TRect(60, 20, 80, 40));
    // A dot's bright pixel sits at the top left of each 4 x 4 cell.
    for (auto [x, y] : std::vector<std::pair<int, int>>{{68, 36}, {72, 36}, {76, 36}, {72, 32}, {76, 32}, {76, 28}})
        EXPECT_EQ(At(x, y), dot) << x << "," << y;
    for (auto [x, y] : std::vector<std::pair<int, int>>{{64, 36}, {68, 32}, {72, 28}, {76, 24}})
        EXPECT_EQ(At(x, y), vcl::clWhite) << x << "," << y;
    EXPECT_TRUE(TRecordingSkin::Log().empty());   // no bar rectangle, no bar
}

TEST_F(Painters, DockToolbarAndTitleBarAskForTheirEntries) {
    DrawDockBackground(Canvas(), TRect(0, 0, 50, 20), true);
    DrawToolbarBackground(Canvas(), TRect(0, 0, 50, 20), true, false, false, false, true, skncToolbar);
    DrawToolbarBackground(Canvas(), TRect(0, 0, 50, 20), false, false, false, true, true, skncToolbar);   // neither
    DrawToolbarBackground(Canvas(), TRect(0, 0, 50, 20), false, true, false, true, true, skncMenuBar);
    DrawTitleBarBackground(Canvas(), TRect(0, 0, 50, 20), true, false);
    const auto& log = TRecordingSkin::Log();
    ASSERT_EQ(log.size(), 4u);
    EXPECT_EQ(log[0].Component, skncDock);
    EXPECT_TRUE(log[0].Vertical);
    EXPECT_EQ(log[1].Component, skncToolbar);
    EXPECT_TRUE(!log[1].Body && log[1].Borders);
    EXPECT_EQ(log[2].Component, skncMenuBar);
    EXPECT_FALSE(log[2].Borders);   // a floating bar has no docked borders
    EXPECT_EQ(log[3].Component, skncWindowTitleBar);
    EXPECT_FALSE(log[3].Borders);
}

TEST_F(Painters, ClassicPathsUseTheSystemColours) {
    GetSkinManager()->SetToDefaultSkin();
    ASSERT_EQ(GetSkinManager()->GetSkinType(), sknNone);
    DrawDockBackground(Canvas(), TRect(0, 0, 50, 20), false);
    EXPECT_EQ(vcl::ColorToRGB(At(25, 10)), vcl::ColorToRGB(vcl::clBtnFace));
    DrawStatusBarBackground(Canvas(), TRect(0, 30, 100, 60), TRect());
    EXPECT_EQ(vcl::ColorToRGB(At(0, 30)), vcl::ColorToRGB(vcl::clBtnShadow));
    EXPECT_EQ(vcl::ColorToRGB(At(99, 59)), vcl::ColorToRGB(vcl::clWindow));
    EXPECT_EQ(vcl::ColorToRGB(At(50, 45)), vcl::ColorToRGB(vcl::clBtnFace));
    // A hint without theme or style is the canvas brush.
    Canvas()->Brush()->SetColor(vcl::clInfoBk);
    DrawHintBackground(Canvas(), TRect(0, 0, 10, 10));
    EXPECT_EQ(vcl::ColorToRGB(At(5, 5)), vcl::ColorToRGB(vcl::clInfoBk));
}

// ---- font settings ----

TEST(FontSettings, SizeIsClampedToItsRangeAndScalesTheFontRounded) {
    struct Case {
        int in;
        int stored;
    };
    for (Case c : {Case{0, 25}, Case{5000, 1000}, Case{24, 25}, Case{150, 150}, Case{1000, 1000}}) {
        TSkFontSettings s;
        s.SetSize(c.in);
        EXPECT_EQ(s.Size(), c.stored) << c.in;
    }
    TSkFontSettings s;
    s.SetSize(150);
    vcl::TFont font;
    font.SetSize(8);
    font.SetName(QStringLiteral("Keep"));
    s.Apply(&font);
    EXPECT_EQ(font.Size(), 12);
    EXPECT_EQ(font.Name(), QStringLiteral("Keep"));
    EXPECT_EQ(font.Color(), vcl::clNone);
    EXPECT_EQ(font.Charset(), DEFAULT_CHARSET);
    s.SetName(QStringLiteral("DejaVu Serif"));
    s.SetStyle({vcl::fsBold});
    s.SetSize(100);
    s.SetColor(vcl::clRed);
    s.Apply(&font);
    EXPECT_EQ(font.Size(), 12);
    EXPECT_EQ(font.Name(), QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(font.Style(), vcl::TFontStyles{vcl::fsBold});
    EXPECT_EQ(font.Color(), vcl::clRed);
}

TEST(FontSettings, SettersFireOnlyOnAChangeAndAssignFiresOnce) {
    TSkFontSettings a, b;
    int changes = 0;
    a.OnChange = rtl::TNotifyEvent([&](rtl::TObject*) { ++changes; });
    a.SetSize(100);
    a.SetColor(vcl::clNone);
    a.SetName(QString());
    EXPECT_EQ(changes, 0);
    a.SetSize(0);
    a.SetSize(10);   // clamped to the same 25
    EXPECT_EQ(changes, 1);
    b.SetSize(200);
    b.SetColor(vcl::clBlue);
    b.SetName(QStringLiteral("x"));
    changes = 0;
    a.Assign(&b);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(a.Size(), 200);
    EXPECT_EQ(a.Color(), vcl::clBlue);
    vcl::TFont font;
    EXPECT_THROW(a.Assign(&font), rtl::EConvertError);
}

// ---- window utilities ----

TEST(WindowUtilities, FocusIndexParentAndPlacement) {
    testing_support::FormHarness h;
    auto* form = h.Show<vcl::TForm>();
    auto* panel = new vcl::TPanel(form);
    panel->SetParent(form);
    auto* a = new vcl::TEdit(form);
    a->SetParent(panel);
    auto* b = new vcl::TEdit(form);
    b->SetParent(panel);
    h.Pump();
    EXPECT_EQ(IndexOfChildControl(panel, b), 1);
    EXPECT_EQ(IndexOfChildControl(panel, panel), -1);
    EXPECT_EQ(IndexOfChildControl(nullptr, b), -1);
    EXPECT_EQ(FindParentOfClass<vcl::TPanel>(b), panel);
    EXPECT_EQ(FindParentOfClass<vcl::TCustomForm>(b), form);
    EXPECT_EQ(FindParentOfClass<vcl::TPanel>(panel), nullptr);

    EXPECT_FALSE(CanFocusControl(nullptr));
    EXPECT_TRUE(CanFocusControl(b));
    b->SetFocus();
    EXPECT_FALSE(CanFocusControl(b));   // already focused
    form->SetEnabled(false);
    EXPECT_FALSE(CanFocusControl(a));
    form->SetEnabled(true);

    TRect bounds(1, 2, 3, 4);
    auto* hidden = new vcl::TForm(form);
    EXPECT_EQ(GetWindowNormalBounds(hidden, bounds), vcl::wsNormal);
    EXPECT_EQ(bounds, TRect());
    SetWindowNormalBounds(form, vcl::wsNormal, TRect(30, 40, 200, 150));   // left, top, width, height
    EXPECT_EQ(GetWindowNormalBounds(form, bounds), vcl::wsNormal);
    EXPECT_EQ(bounds, TRect(30, 40, 200, 150));
    RecalcWindowFrame(form);
    SetDwmNCRendering(form, false);   // no composition library here: nothing to do, nothing breaks
    UINT edge = 0, state = 0;
    TRect rect;
    EXPECT_FALSE(GetTaskbarInfo(edge, rect, state));   // no taskbar window on this desktop
}

} // namespace
