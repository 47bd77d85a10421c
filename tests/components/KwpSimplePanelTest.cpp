// tests/components/KwpSimplePanelTest.cpp
#include "components/KwpSimplePanel.h"

#include "PanelPaint.h"

#include <gtest/gtest.h>

using namespace components;
using namespace components_test;
using vcl::TColor;

namespace {

constexpr TColor Red = 0x0000FF, Green = 0x00FF00, Blue = 0xFF0000;

struct SimpleFixture {
    rtl::TComponent owner{nullptr};
    TKwpSimplePanel* panel = new TKwpSimplePanel(&owner);
    SimpleFixture(int W, int H) { panel->SetBounds(0, 0, W, H); }
    TKwpSimplePanelAppearance* A() const { return panel->Appearance(); }
};

} // namespace

TEST(KwpSimplePanel, NewPanelIsAFaceFilledBoxWithAGrayFrame) {
    SimpleFixture f(12, 8);
    EXPECT_EQ(f.panel->CaptionMargin(), 6);
    EXPECT_EQ(f.panel->Alignment(), vcl::taCenter);
    EXPECT_EQ(f.panel->BevelOuter(), vcl::bvNone);
    auto bmp = Painted(f.panel);
    const TColor face = vcl::ColorToRGB(vcl::clBtnFace);
    EXPECT_EQ(Row(*bmp, 0, vcl::clGray), std::string(12, '#'));
    EXPECT_EQ(Row(*bmp, 7, vcl::clGray), std::string(12, '#'));
    EXPECT_EQ(Row(*bmp, 3, vcl::clGray), "#..........#");
    EXPECT_EQ(Row(*bmp, 3, face), ".##########.");
}

TEST(KwpSimplePanel, BorderStyleClearAndColourNoneLeaveTheFrameOut) {
    SimpleFixture f(10, 6);
    f.A()->SetBackgroundColor(Green);
    f.A()->SetBorderStyle(vcl::psClear);
    auto bmp = Painted(f.panel);
    for (int y = 0; y < 6; ++y) EXPECT_EQ(Row(*bmp, y, Green), std::string(10, '#')) << y;
    f.A()->SetBorderStyle(vcl::psSolid);
    f.A()->SetBorderColor(vcl::clNone);
    bmp = Painted(f.panel);
    for (int y = 0; y < 6; ++y) EXPECT_EQ(Row(*bmp, y, Green), std::string(10, '#')) << y;
}

TEST(KwpSimplePanel, SidesAreSwitchedOneByOne) {
    SimpleFixture f(8, 6);
    f.A()->SetBorderColor(Red);
    f.A()->SetDrawTopBorder(false);
    f.A()->SetDrawRightBorder(false);
    auto bmp = Painted(f.panel);
    EXPECT_EQ(Row(*bmp, 0, Red), "#.......");
    EXPECT_EQ(Row(*bmp, 5, Red), "########");
    EXPECT_EQ(Column(*bmp, 7, Red), ".....#");
}

TEST(KwpSimplePanel, GradientRunsDownFromTheBackgroundColour) {
    SimpleFixture f(10, 40);
    f.A()->SetBorderColor(vcl::clNone);
    f.A()->SetBackgroundColor(0x000000);
    f.A()->SetBackroundColorTo(0xFFFFFF);
    auto bmp = Painted(f.panel);
    int previous = -1, bands = 0;
    for (int y = 0; y < 40; ++y) {
        const int level = Px(*bmp, 5, y) & 0xFF;
        EXPECT_GE(level, previous) << y;
        if (level != previous) ++bands;
        previous = level;
    }
    EXPECT_LT(Px(*bmp, 5, 0) & 0xFF, 0x10); // from black at the top
    EXPECT_LE(bands, 40);
    EXPECT_GT(bands, 10);
}

TEST(KwpSimplePanel, ParentBackgroundKeepsTheBorderAndColourFollows) {
    SimpleFixture f(10, 6);
    f.panel->SetParentBackground(true);
    f.A()->SetBackgroundColor(Blue);
    f.A()->SetBorderColor(Red);
    auto bmp = Painted(f.panel);
    EXPECT_EQ(Px(*bmp, 5, 3), kPaper);
    EXPECT_EQ(Row(*bmp, 0, Red), std::string(10, '#'));
    EXPECT_EQ(f.panel->Color(), Blue);
}

TEST(KwpSimplePanel, BackgroundColourAlwaysTellsOtherSettingsOnlyWhenChanged) {
    SimpleFixture f(10, 6);
    int told = 0;
    rtl::TNotifyEvent previous = f.A()->OnChange;
    f.A()->OnChange = rtl::TNotifyEvent([&](rtl::TObject* s) { ++told; previous(s); });
    f.A()->SetBackgroundColor(vcl::clBtnFace); // unchanged, still told
    f.A()->SetDrawTopBorder(true);             // unchanged, not told
    f.A()->SetBorderStyle(vcl::psSolid);
    EXPECT_EQ(told, 1);
    f.A()->SetBackgroundColor(Red);
    EXPECT_EQ(f.panel->Color(), Red); // the panel's colour follows outside loading
    f.owner.BeginLoading();
    f.A()->SetBackgroundColor(Green);
    EXPECT_EQ(f.panel->Color(), Red);
    f.owner.EndLoading();
}

TEST(KwpSimplePanel, CaptionIsPlacedByAlignmentAndMargin) {
    struct Case {
        vcl::TAlignment Alignment;
        int Margin;
    };
    for (const Case c : {Case{vcl::taLeftJustify, 6}, Case{vcl::taRightJustify, 10}, Case{vcl::taCenter, 30}}) {
        SimpleFixture f(120, 30);
        f.A()->SetBackgroundColor(0x000000);
        f.A()->SetBorderColor(vcl::clNone);
        f.panel->Font()->SetColor(0xFFFFFF);
        f.panel->SetCaption(QStringLiteral("WWW"));
        f.panel->SetAlignment(c.Alignment);
        f.panel->SetCaptionMargin(c.Margin);
        auto bmp = Painted(f.panel);
        bmp->Canvas()->Font()->Assign(f.panel->Font());
        const int w = bmp->Canvas()->TextWidth(QStringLiteral("WWW"));
        int left = 120, right = -1, top = 30, bottom = -1;
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 120; ++x)
                if (Px(*bmp, x, y) != 0x000000)
                    left = std::min(left, x), right = std::max(right, x), top = std::min(top, y),
                    bottom = std::max(bottom, y);
        ASSERT_LE(left, right) << c.Alignment;
        const int expectedLeft = c.Alignment == vcl::taLeftJustify    ? c.Margin
                                 : c.Alignment == vcl::taRightJustify ? 120 - w - c.Margin
                                                                      : 60 - w / 2;
        EXPECT_NEAR(left, expectedLeft, 2) << c.Alignment;
        EXPECT_NEAR((top + bottom) / 2.0, 15, 3) << c.Alignment;
    }
}

TEST(KwpSimplePanel, CompanionsFollowTheSimplePanel) {
    SimpleFixture f(50, 20);
    auto* companion = new TKwpSimplePanel(&f.owner);
    companion->SetBounds(0, 0, 10, 10);
    f.panel->AnchoredControls()->Right()->SetControl(companion);
    f.panel->SetBounds(5, 5, 50, 20);
    EXPECT_EQ(companion->Left(), 5 + 50 + 3);
    delete companion;
    EXPECT_EQ(f.panel->AnchoredControls()->Right()->Control(), nullptr);
}
