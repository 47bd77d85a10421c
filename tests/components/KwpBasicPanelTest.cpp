// tests/components/KwpBasicPanelTest.cpp
#include "components/KwpBasicPanel.h"

#include "PanelPaint.h"

#include <gtest/gtest.h>

using namespace components;
using namespace components_test;
using vcl::TColor;

namespace {

constexpr TColor Red = 0x0000FF, Green = 0x00FF00, Blue = 0xFF0000;

struct BasicFixture {
    rtl::TComponent owner{nullptr};
    TKwpBasicPanel* panel = new TKwpBasicPanel(&owner);
    BasicFixture(int W, int H) {
        panel->SetBounds(0, 0, W, H);
        for (TKwpBasicPanelBorder* s : Sides()) s->Pen()->SetColor(Blue);
    }
    TKwpBasicPanelAppearance* A() const { return panel->Appearance(); }
    std::vector<TKwpBasicPanelBorder*> Sides() const {
        TKwpBasicPanelBorders* b = A()->Borders();
        return {b->Left(), b->Right(), b->Top(), b->Bottom()};
    }
};

} // namespace

TEST(KwpBasicPanel, NavigationLookFillsAndDrawsTheLeftAndTopSides) {
    BasicFixture f(10, 8);
    f.A()->SetDrawGradient(false);
    f.A()->SetBackgroundColor(Green);
    f.A()->Borders()->Left()->Pen()->SetColor(Red);
    f.A()->Borders()->Right()->SetVisible(false);
    f.A()->Borders()->Bottom()->SetVisible(false);
    auto bmp = Painted(f.panel);
    EXPECT_EQ(Column(*bmp, 0, Red), ".#######");   // the top side is drawn after the left one
    EXPECT_EQ(Row(*bmp, 0, Blue), std::string(10, '#'));
    EXPECT_EQ(Row(*bmp, 7, Green), ".#########");
    EXPECT_EQ(Column(*bmp, 9, Green), ".#######");

    // The window switches the left side at run time; the chain repaints the panel.
    int invalidated = 0;
    f.A()->OnChange = rtl::TNotifyEvent([&](rtl::TObject*) { ++invalidated; });
    f.A()->Borders()->Left()->SetVisible(false);
    EXPECT_EQ(invalidated, 1);
    bmp = Painted(f.panel);
    EXPECT_EQ(Column(*bmp, 0, Green), ".#######");
}

TEST(KwpBasicPanel, ParentBackgroundPaintsTheSidesOnly) {
    BasicFixture f(10, 8);
    f.panel->SetParentBackground(true);
    auto bmp = Painted(f.panel);
    EXPECT_EQ(Px(*bmp, 5, 4), kPaper);
    EXPECT_EQ(Row(*bmp, 0, Blue), std::string(10, '#'));
    EXPECT_EQ(Row(*bmp, 7, Blue), std::string(10, '#'));
}

TEST(KwpBasicPanel, GradientsSplitAtThePercentageAndStyleTakesOver) {
    BasicFixture f(20, 20);
    f.A()->UpperGradient()->SetColorFrom(Red);
    f.A()->UpperGradient()->SetColorTo(Red);
    f.A()->BottomGradient()->SetColorFrom(Green);
    f.A()->BottomGradient()->SetColorTo(Green);
    f.A()->SetUpperGradientPercent(25);
    f.A()->SetDrawBorder(false);
    auto bmp = Painted(f.panel);
    EXPECT_EQ(Column(*bmp, 5, Red), std::string(5, '#') + std::string(15, '.'));
    EXPECT_EQ(Column(*bmp, 5, Green), std::string(5, '.') + std::string(15, '#'));

    vcl::TCustomStyleServices* jet = ShippedStyle(QStringLiteral("Jet"));
    if (!jet) GTEST_SKIP() << "TW_SOURCE_DIR (set by CTest) names the shipped styles' folder";
    vcl::TStyleManager::SetStyle(jet);
    const TColor styled = Px(*Painted(f.panel), 5, 5);
    vcl::TStyleManager::SetStyle(vcl::TStyleManager::SystemStyle());
    EXPECT_EQ(styled, 0x2E2E2E);
}
