// tests/components/KwpPanelTest.cpp
#include "components/KwpPanel.h"

#include "PanelPaint.h"
#include "base/Colors.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using namespace components;
using namespace components_test;
using vcl::TColor;

namespace {

constexpr TColor Red = 0x0000FF, Green = 0x00FF00, Blue = 0xFF0000, Black = 0x000000;

struct PanelFixture {
    rtl::TComponent owner{nullptr};
    TKwpPanel* panel = new TKwpPanel(&owner);
    explicit PanelFixture(int W = 100, int H = 40) { panel->SetBounds(0, 0, W, H); }
    TKwpPanelAppearance* A() const { return panel->Appearance(); }
    // Gradients in two flat colours, so a pixel tells which one painted it.
    void FlatGradients(TColor Upper, TColor Lower) {
        A()->UpperGradient()->SetColorFrom(Upper);
        A()->UpperGradient()->SetColorTo(Upper);
        A()->BottomGradient()->SetColorFrom(Lower);
        A()->BottomGradient()->SetColorTo(Lower);
    }
    void BorderColours(TColor C) {
        for (TKwpPanelBorder* s : {A()->Borders()->Left(), A()->Borders()->Right(), A()->Borders()->Top(),
                                   A()->Borders()->Bottom()})
            s->Pen()->SetColor(C);
    }
};

} // namespace

TEST(KwpPanelAppearance, StartsFromTheButtonFace) {
    rtl::TComponent owner(nullptr);
    TKwpPanel panel(&owner);
    const TKwpPanelAppearance* a = panel.Appearance();
    EXPECT_EQ(a->UpperGradient()->ColorFrom(), base::ChangeColorByPercent(vcl::clBtnFace, 5, true));
    EXPECT_EQ(a->UpperGradient()->ColorTo(), base::ChangeColorByPercent(vcl::clBtnFace, 5, false));
    EXPECT_EQ(a->BottomGradient()->ColorFrom(), a->UpperGradient()->ColorTo());
    EXPECT_EQ(a->BottomGradient()->ColorTo(), base::ChangeColorByPercent(vcl::clBtnFace, 10, false));
    if (vcl::ColorToRGB(vcl::clBtnFace) == 0xF0F0F0) {
        EXPECT_EQ(a->UpperGradient()->ColorFrom(), 0xFCFCFC);
        EXPECT_EQ(a->BottomGradient()->ColorTo(), 0xD8D8D8);
    }
    EXPECT_EQ(a->UpperGradientPercent(), 50);
    EXPECT_EQ(a->BackgroundColor(), vcl::clBtnFace);
    EXPECT_TRUE(a->DrawGradient());
    EXPECT_TRUE(a->DrawBorder());
    EXPECT_EQ(a->Borders()->Left()->Pen()->Color(), vcl::clBtnHighlight);
    EXPECT_EQ(a->Borders()->Bottom()->Pen()->Color(), vcl::clBtnShadow);
    EXPECT_EQ(panel.BevelOuter(), vcl::bvNone);
    EXPECT_EQ(panel.Layout(), vcl::tlCenter);
    EXPECT_FALSE(panel.ParentBackground());
}

TEST(KwpPanelAppearance, ChangesTravelUpTheChainEvenWhenUnchanged) {
    rtl::TComponent owner(nullptr);
    TKwpPanelAppearance a(&owner);
    std::vector<std::string> heard;
    a.OnChange = rtl::TNotifyEvent([&](rtl::TObject* s) { heard.push_back(s == &a ? "appearance" : "other"); });
    a.UpperGradient()->OnChange = rtl::TNotifyEvent([&](rtl::TObject*) { heard.push_back("upper"); });
    a.BottomGradient()->OnChange = rtl::TNotifyEvent([&](rtl::TObject*) { heard.push_back("bottom"); });

    a.Borders()->Left()->Pen()->SetColor(Red); // pen -> side -> borders -> appearance
    a.Borders()->Top()->SetVisible(true);      // the value it had
    a.SetDrawBorder(true);
    EXPECT_EQ(heard, (std::vector<std::string>{"appearance", "appearance", "appearance"}));
    heard.clear();
    a.SetUpperGradientPercent(100);
    EXPECT_EQ(heard, (std::vector<std::string>{"bottom", "upper", "appearance"}));
}

TEST(KwpPanelDecorations, ItemsTellOnlyTheirOwnListener) {
    PanelFixture f;
    TKwpPanelVerticalLine* line = f.panel->VerticalLines()->Add();
    EXPECT_EQ(line->PosX(), 10);
    EXPECT_EQ(line->Pen()->Color(), Black);
    int item = 0, collection = 0;
    line->OnChange = rtl::TNotifyEvent([&](rtl::TObject*) { ++item; });
    f.panel->VerticalLines()->OnChange = rtl::TNotifyEvent([&](rtl::TObject*) { ++collection; });
    line->Pen()->SetColor(Red);
    line->SetPosX(12);
    EXPECT_EQ(item, 2);
    EXPECT_EQ(collection, 0);

    TKwpPanelHorizontalBar* bar = f.panel->HorizontalBars()->Add();
    int barTold = 0;
    bar->OnChange = rtl::TNotifyEvent([&](rtl::TObject*) { ++barTold; });
    bar->Gradient()->SetColorFrom(Red);
    bar->Border()->SetWidth(2);
    EXPECT_EQ(barTold, 2);
    EXPECT_EQ(f.panel->HorizontalBars()->GetItem(0), bar);
}

TEST(KwpPanelDecorations, AssignCopiesWhatEachItemKindCopies) {
    PanelFixture f;
    TKwpPanelHorizontalLine* from = f.panel->HorizontalLines()->Add();
    TKwpPanelHorizontalLine* to = f.panel->HorizontalLines()->Add();
    from->Pen()->SetColor(Red);
    from->SetPosY(33);
    from->SetLinePosition(hlpFromBottom);
    int told = 0;
    to->OnChange = rtl::TNotifyEvent([&](rtl::TObject*) { ++told; });
    to->Assign(from);
    EXPECT_EQ(to->Pen()->Color(), Red);
    EXPECT_EQ(to->PosY(), 33);
    EXPECT_EQ(to->LinePosition(), hlpFromBottom);
    EXPECT_EQ(told, 1); // the pen told the handler it had; the source's (none) is taken over before the last call
    EXPECT_THROW(to->Assign(f.panel->Captions()->Add()), rtl::EConvertError);

    TKwpPanelCaption* c1 = f.panel->Captions()->Add();
    TKwpPanelCaption* c2 = f.panel->Captions()->Add();
    c1->SetText(QStringLiteral("One"));
    c1->SetPosX(40);
    c1->Font()->SetColor(Red);
    c2->SetText(QStringLiteral("Two"));
    c2->SetVisible(false);
    int captionTold = 0;
    c2->OnChange = rtl::TNotifyEvent([&](rtl::TObject*) { ++captionTold; });
    c2->Assign(c1);
    EXPECT_EQ(c2->PosX(), 40);
    EXPECT_EQ(c2->Font()->Color(), Red);
    EXPECT_EQ(c2->Text(), QStringLiteral("Two"));
    EXPECT_FALSE(c2->Visible());
    EXPECT_EQ(captionTold, 0);
    c2->Font()->SetSize(20); // the font still reports to its caption
    EXPECT_EQ(captionTold, 1);
}

TEST(KwpPanelPaint, DefaultPanelSplitsTheGradientsAndRaisesItsBorder) {
    PanelFixture f(100, 40);
    f.FlatGradients(Red, Green);
    f.BorderColours(Blue);
    auto bmp = Painted(f.panel);
    EXPECT_EQ(Row(*bmp, 0, Blue), std::string(100, '#'));    // the top line, (0,0)-(100,0)
    EXPECT_EQ(Row(*bmp, 39, Blue), std::string(100, '#'));
    EXPECT_EQ(Column(*bmp, 0, Blue), std::string(40, '#'));
    EXPECT_EQ(Column(*bmp, 99, Blue), std::string(40, '#'));
    EXPECT_EQ(Px(*bmp, 50, 19), Red);
    EXPECT_EQ(Px(*bmp, 50, 20), Green);
    EXPECT_EQ(Column(*bmp, 1, Red), "." + std::string(19, '#') + std::string(20, '.'));
}

TEST(KwpPanelPaint, PlainFillWithoutGradientAndBorder) {
    PanelFixture f(30, 10);
    f.A()->SetDrawGradient(false);
    f.A()->SetDrawBorder(false);
    f.A()->SetBackgroundColor(Red);
    auto bmp = Painted(f.panel);
    for (int y = 0; y < 10; ++y) EXPECT_EQ(Row(*bmp, y, Red), std::string(30, '#')) << y;

    // Only the top side, as the main window's panel shows it.
    f.A()->SetDrawBorder(true);
    f.BorderColours(Blue);
    for (TKwpPanelBorder* s : {f.A()->Borders()->Left(), f.A()->Borders()->Right(), f.A()->Borders()->Bottom()})
        s->SetVisible(false);
    bmp = Painted(f.panel);
    EXPECT_EQ(Row(*bmp, 0, Blue), std::string(30, '#'));
    EXPECT_EQ(Column(*bmp, 0, Blue), "#.........");
}

TEST(KwpPanelPaint, MarginKeepsTheGradientsOffTheBorder) {
    PanelFixture f(40, 20);
    f.FlatGradients(Red, Red);
    f.BorderColours(Blue);
    f.A()->SetBorderToGradientMargin(2);
    auto bmp = Painted(f.panel);
    EXPECT_EQ(Row(*bmp, 10, Red), "..." + std::string(34, '#') + "...");
    EXPECT_EQ(Column(*bmp, 10, Red), "..." + std::string(14, '#') + "...");
    EXPECT_EQ(Px(*bmp, 1, 10), kPaper); // the strip is not filled
    EXPECT_EQ(Px(*bmp, 2, 10), kPaper);
}

TEST(KwpPanelPaint, PercentAtAndAboveAHundredLeavesTheLowerGradientOut) {
    for (int percent : {100, 150}) {
        PanelFixture f(20, 20);
        f.FlatGradients(Red, Green);
        f.A()->SetDrawBorder(false);
        f.A()->SetUpperGradientPercent(uint8_t(percent));
        auto bmp = Painted(f.panel);
        EXPECT_EQ(Column(*bmp, 5, Red), std::string(20, '#')) << percent;
    }
}

TEST(KwpPanelPaint, ParentBackgroundKeepsOnlyTheDecorations) {
    PanelFixture f(30, 30);
    f.panel->SetParentBackground(true);
    f.BorderColours(Blue);
    TKwpPanelHorizontalLine* line = f.panel->HorizontalLines()->Add();
    line->Pen()->SetColor(Red);
    auto bmp = Painted(f.panel);
    EXPECT_EQ(Px(*bmp, 15, 5), kPaper);
    EXPECT_EQ(Row(*bmp, 11, Red), "." + std::string(28, '#') + "."); // bt + PosY, between the sides
    EXPECT_EQ(Px(*bmp, 0, 15), Blue);
}

TEST(KwpPanelPaint, LinesAreSkippedWhenHiddenClearOrZeroWide) {
    PanelFixture f(30, 30);
    f.A()->SetDrawGradient(false);
    f.A()->SetDrawBorder(false);
    f.A()->SetBackgroundColor(Black);
    auto add = [&](int PosX) {
        TKwpPanelVerticalLine* l = f.panel->VerticalLines()->Add();
        l->Pen()->SetColor(Red);
        l->SetPosX(PosX);
        return l;
    };
    add(5);
    add(10)->SetVisible(false);
    add(15)->Pen()->SetStyle(vcl::psClear);
    add(20)->Pen()->SetWidth(0);
    TKwpPanelVerticalLine* centred = add(99);
    centred->SetLinePosition(vlpCenter);
    centred->SetTopMargin(4);
    centred->SetBottomMargin(6);
    auto bmp = Painted(f.panel);
    // Placed inside the visible sides (1 pixel each), which count even with the border switched off.
    std::string expected(30, '.');
    expected[6] = expected[15] = '#';
    EXPECT_EQ(Row(*bmp, 10, Red), expected);
    // The centred line runs from the top margin to the bottom one, its end point left out.
    EXPECT_EQ(Column(*bmp, 15, Red), "....." + std::string(18, '#') + ".......");
}

struct BarCase {
    TKwpHorizontalBarPosition Position;
    bool SidesVisible;
    int PosY, Top;
};
class BarTable : public ::testing::TestWithParam<BarCase> {};

// A 100-pixel-high panel with a bar of height 10; the bar's top row in the bar's colour.
TEST_P(BarTable, PlacesTheBarByItsPosition) {
    const auto& c = GetParam();
    PanelFixture f(40, 100);
    f.A()->SetDrawGradient(false);
    f.A()->SetBackgroundColor(Black);
    f.BorderColours(Blue);
    for (TKwpPanelBorder* s : {f.A()->Borders()->Left(), f.A()->Borders()->Right(), f.A()->Borders()->Top(),
                               f.A()->Borders()->Bottom()})
        s->SetVisible(c.SidesVisible);
    TKwpPanelHorizontalBar* bar = f.panel->HorizontalBars()->Add();
    bar->SetHeight(10);
    bar->SetPosY(c.PosY);
    bar->SetBarPosition(c.Position);
    bar->SetDrawGradient(false);
    bar->SetBackgroundColor(Green);
    bar->Border()->SetColor(Red);
    auto bmp = Painted(f.panel);
    std::string expected(100, '.');
    for (int y = c.Top; y < c.Top + 10; ++y) expected[y] = (y == c.Top || y == c.Top + 9) ? '#' : '.';
    EXPECT_EQ(Column(*bmp, 20, Red), expected);
    EXPECT_EQ(Px(*bmp, 20, c.Top + 1), Green);
}

INSTANTIATE_TEST_SUITE_P(Positions, BarTable,
                         ::testing::Values(BarCase{hbpFromTop, true, 20, 21}, BarCase{hbpFromTop, false, 20, 20},
                                           BarCase{hbpCenter, true, 0, 45}, BarCase{hbpFromBottom, true, 20, 69},
                                           BarCase{hbpPercentFromTop, false, 50, 50},
                                           BarCase{hbpPercentFromTop, true, 50, 50},
                                           BarCase{hbpPercentFromBottom, false, 25, 65}));

TEST(KwpPanelPaint, BarBorderOfWidthZeroDrawsNoFrame) {
    PanelFixture f(40, 40);
    f.A()->SetDrawBorder(false);
    TKwpPanelHorizontalBar* bar = f.panel->HorizontalBars()->Add();
    bar->SetDrawGradient(false);
    bar->SetBackgroundColor(Green);
    bar->Border()->SetWidth(0);
    auto bmp = Painted(f.panel);
    EXPECT_EQ(Px(*bmp, 10, 21), Green); // the bar's top row (below the top side): no frame
    EXPECT_EQ(Px(*bmp, 1, 25), Green);
}

TEST(KwpPanelPaint, BlankCaptionsAreSkippedAndCentredOnesIgnoreTheirOffsets) {
    PanelFixture f(120, 40);
    f.A()->SetDrawGradient(false);
    f.A()->SetDrawBorder(false);
    f.A()->SetBackgroundColor(Black);
    TKwpPanelCaption* blank = f.panel->Captions()->Add();
    blank->SetText(QStringLiteral("   "));
    blank->Font()->SetColor(Red);
    auto bmp = Painted(f.panel);
    for (int y = 0; y < 40; ++y) ASSERT_EQ(Row(*bmp, y, Black), std::string(120, '#')) << y;

    TKwpPanelCaption* centred = f.panel->Captions()->Add();
    centred->SetText(QStringLiteral("WWW"));
    centred->Font()->SetColor(vcl::clWhite);
    centred->SetHorizontalPosition(thpCenter);
    centred->SetVerticalPosition(tvpCenter);
    centred->SetPosX(50);
    centred->SetMarginX(30);
    bmp = Painted(f.panel);
    int left = 120, right = -1;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 120; ++x)
            if (Px(*bmp, x, y) != Black) left = std::min(left, x), right = std::max(right, x);
    ASSERT_LE(left, right);
    EXPECT_NEAR((left + right) / 2.0, 60, 3); // centred on the panel whatever PosX and MarginX say
}

TEST(KwpPanelPaint, StyledBackgroundOnlyUnderAStyleOtherThanWindows) {
    vcl::TCustomStyleServices* jet = ShippedStyle(QStringLiteral("Jet"));
    if (!jet) GTEST_SKIP() << "TW_SOURCE_DIR (set by CTest) names the shipped styles' folder";
    PanelFixture f(20, 20);
    f.FlatGradients(Red, Red);
    f.A()->SetDrawBorder(false);
    EXPECT_EQ(Px(*Painted(f.panel), 10, 10), Red);
    vcl::TStyleManager::SetStyle(jet);
    const TColor styled = Px(*Painted(f.panel), 10, 10);
    f.panel->SetStyleElements(vcl::TStyleElements{vcl::seFont, vcl::seBorder});
    const TColor own = Px(*Painted(f.panel), 10, 10);
    vcl::TStyleManager::SetStyle(vcl::TStyleManager::SystemStyle());
    EXPECT_EQ(styled, 0x2E2E2E); // the style's panel fill
    EXPECT_EQ(own, Red);
}

TEST(KwpPanel, RepaintsOnAppearanceChangesExceptWhileLoading) {
    PanelFixture f;
    int invalidated = 0;
    struct TWatch : TKwpPanel {
        using TKwpPanel::TKwpPanel;
        int* Count = nullptr;
        void Invalidate() override {
            if (Count) ++*Count;
        }
    };
    auto* p = new TWatch(&f.owner);
    p->Count = &invalidated;
    p->Appearance()->Borders()->Top()->SetVisible(true);
    EXPECT_EQ(invalidated, 1);
    f.owner.BeginLoading();
    p->Appearance()->SetDrawBorder(false);
    EXPECT_EQ(invalidated, 1);
    p->Appearance()->UpperGradient()->SetColorFrom(Red); // gradients repaint even now
    EXPECT_EQ(invalidated, 2);
    f.owner.EndLoading();
}

TEST(KwpPanel, EventsFireInThePaintSequenceAndForMessages) {
    PanelFixture f;
    std::vector<std::string> heard;
    f.panel->OnAfterDrawBackground = rtl::TNotifyEvent([&](rtl::TObject*) { heard.push_back("after"); });
    f.panel->OnPaint = rtl::TNotifyEvent([&](rtl::TObject*) { heard.push_back("paint"); });
    f.panel->OnMouseEnter = rtl::TNotifyEvent([&](rtl::TObject*) { heard.push_back("enter"); });
    f.panel->OnMouseLeave = rtl::TNotifyEvent([&](rtl::TObject*) { heard.push_back("leave"); });
    f.panel->OnVisibleChanging = rtl::TNotifyEvent([&](rtl::TObject*) { heard.push_back("visible"); });
    f.panel->OnDragDropFiles = TProcOnOnDragDropFiles(
        [&](rtl::TObject* Sender, vcl::TWMDropFiles& m) { heard.push_back(Sender == f.panel && m.WParam == 42 ? "drop" : "?"); });
    Painted(f.panel);
    f.panel->Perform(vcl::CM_MOUSEENTER, WPARAM(0), LPARAM(0));
    f.panel->Perform(vcl::CM_MOUSELEAVE, WPARAM(0), LPARAM(0));
    f.panel->Perform(WM_DROPFILES, WPARAM(42), LPARAM(0));
    f.panel->SetVisible(false);
    EXPECT_EQ(heard, (std::vector<std::string>{"after", "paint", "enter", "leave", "drop", "visible"}));
}

TEST(KwpPanel, WheelMessageReachesTheWheelEventWithItsKeysDeltaAndPoint) {
    PanelFixture f;
    int calls = 0;
    vcl::TShiftState shift;
    int delta = 0;
    vcl::TPoint at;
    f.panel->OnMouseWheel = vcl::TMouseWheelEvent(
        [&](rtl::TObject*, vcl::TShiftState S, int D, vcl::TPoint P, bool& Handled) {
            ++calls, shift = S, delta = D, at = P;
            Handled = true;
        });
    f.panel->Perform(WM_MOUSEWHEEL, WPARAM(MAKELONG(MK_SHIFT, 120)), LPARAM(MAKELONG(5, 6)));
    // Once through the control's own wheel handling (no form takes the wheel here), then by the panel.
    EXPECT_EQ(calls, 2);
    EXPECT_TRUE(shift.Contains(vcl::ssShift));
    EXPECT_EQ(delta, 120);
    EXPECT_EQ(at, vcl::TPoint(5, 6));
}

TEST(KwpPanel, WholeObjectAssignmentsCopyIntoTheOwnObjects) {
    PanelFixture f;
    TKwpPanelAppearance* own = f.panel->Appearance();
    rtl::TComponent elsewhere(nullptr);
    TKwpPanelAppearance other(&elsewhere);
    other.SetBackgroundColor(Red);
    other.Borders()->Left()->SetVisible(false);
    f.panel->SetAppearance(&other);
    EXPECT_EQ(f.panel->Appearance(), own);
    EXPECT_EQ(own->BackgroundColor(), Red);
    EXPECT_FALSE(own->Borders()->Left()->Visible());

    TKwpTagExt tag;
    tag.SetIntValue(7);
    f.panel->SetTagExt(&tag);
    EXPECT_EQ(f.panel->TagExt()->IntValue(), 7);
}
