// The skin's text colours, marks and theme-element map, and the shared button, edit-frame and
// list-item faces, under each of the four skin types.
#include "skins/SkSkinsFaces.h"
#include "skins/SkSkinsPaint.h"

#include "tests/components/Paper.h"
#include "tests/support/windows/FormHarness.h"
#include "vcl/ExtCtrls.h"
#include "tests/support/windows/HeadlessApp.h"
#include "vcl/Themes.h"

#include <gtest/gtest.h>

#include <QDir>

#include <string>
#include <vector>

using namespace skins;
using components_test::kPaper;
using components_test::Paper;
using vcl::clNone;
using vcl::TRect;
using vcl::TThemedElementDetails;

namespace {

constexpr TColor kRed = 0x0000FF, kBlue = 0xFF0000, kGreen = 0x00FF00, kYellow = 0x00FFFF, kTeal = 0x808000;

// A skin with a few telling categories.
class FacesSkin : public TSkSkinOptions {
public:
    void FillOptions() override {
        SetSkinName(QStringLiteral("Faces test"));
        Options(skncDock)->SetTextColor(kTeal);
        Options(skncToolbarItem, sknsNormal)->SetTextColor(kYellow);
        Options(skncCheckBox, sknsNormal)->Body()->Fill(0, kRed, clNone, clNone, clNone);
        Options(skncCheckBox, sknsNormal)->SetTextColor(kBlue);
        Options(skncRadioButton, sknsNormal)->Body()->Fill(0, kRed, clNone, clNone, clNone);
        Options(skncRadioButton, sknsNormal)->Borders()->Fill(0, kGreen, clNone, clNone, clNone);
        Options(skncRadioButton, sknsNormal)->SetTextColor(kBlue);
        Options(skncButton, sknsPushed)->Body()->Fill(0, kBlue, clNone, clNone, clNone);
        Options(skncEditFrame, sknsNormal)->Body()->Fill(0, kRed, clNone, clNone, clNone);
        Options(skncEditFrame, sknsDisabled)->Body()->Fill(0, kGreen, clNone, clNone, clNone);
        Options(skncEditFrame, sknsHotTrack)->Body()->Fill(0, kYellow, clNone, clNone, clNone);
        Options(skncListItem, sknsChecked)->Body()->Fill(0, kRed, clNone, clNone, clNone);
        Options(skncListItem, sknsChecked)->Borders()->Fill(1, kGreen, kGreen, clNone, clNone);
        Options(skncListItem, sknsChecked)->SetTextColor(kBlue);
    }
};

class Faces : public ::testing::Test {
protected:
    void SetUp() override {
        manager = GetSkinManager();
        manager->SkinsList()->AddSkin(QStringLiteral("Faces test"), TSkSkinOptions::ClassOf<FacesSkin>());
    }
    void TearDown() override {
        manager->SetToDefaultSkin();
        TwSetThemeActive(FALSE);
        vcl::TStyleManager::SetStyle(vcl::TStyleManager::SystemStyle());
    }
    void Use(TSkSkinType Type) {
        manager->SetToDefaultSkin();
        vcl::TStyleManager::SetStyle(vcl::TStyleManager::SystemStyle());
        TwSetThemeActive(Type == sknWindows);
        if (Type == sknSkin) manager->SetSkin(QStringLiteral("Faces test"));
        if (Type == sknDelphiStyle) {
            const QString styles = qEnvironmentVariable("TW_SOURCE_DIR") + QStringLiteral("/data/styles");
            auto* style = vcl::TStyleManager::Style(QStringLiteral("Carbon"));
            if (!style) style = vcl::TStyleManager::LoadFromFile(QDir(styles).filePath(QStringLiteral("Carbon.vsf")));
            ASSERT_NE(style, nullptr) << "the shipped style Carbon is missing under " << styles.toStdString();
            vcl::TStyleManager::SetStyle(style);
        }
        ASSERT_EQ(manager->GetSkinType(), Type);
    }
    TSkSkinOptions* Skin() { return GetCurrentSkin(); }
    static TColor Rgb(TColor C) { return vcl::ColorToRGB(C); }
    template <class E> static TThemedElementDetails El(E Detail) { return vcl::StyleServices()->GetElementDetails(Detail); }
    // The element's text colour, or the given start colour when the style has none.
    template <class E> static TColor ElementText(E Detail, TColor Start) {
        TColor c = Start;
        vcl::StyleServices()->GetElementColor(El(Detail), vcl::ecTextColor, c);
        return c;
    }

    testing_support::HeadlessApp app;
    TSkSkinManager* manager = nullptr;
};

} // namespace

// ---- the theme-element map ----

TEST_F(Faces, ComponentsMapToTheirThemeElementsFirstMatchingConditionFirst) {
    Use(sknWindows);
    struct Case {
        TSkSkinComponentsType component;
        bool E, P, H, C, F, D, G;
        TThemedElementDetails expected;
    };
    const Case cases[] = {
        {skncDock, 1, 0, 0, 0, 0, 0, 0, El(vcl::trRebarDontCare)},
        {skncPanel, 0, 0, 0, 0, 0, 0, 0, El(vcl::tbGroupBoxDisabled)},
        {skncSeparator, 1, 0, 0, 0, 0, 0, 0, El(vcl::ttbSeparatorNormal)},
        {skncSeparator, 0, 0, 0, 0, 0, 0, 0, El(vcl::ttbSeparatorVertNormal)},
        {skncToolbarGrip, 1, 0, 0, 0, 0, 0, 0, El(vcl::trGripperVert)},
        {skncToolbarGrip, 0, 0, 0, 0, 0, 0, 0, El(vcl::trGripper)},
        {skncWindowTitleBar, 0, 0, 0, 0, 0, 0, 0, El(vcl::twSmallCaptionInactive)},
        {skncMenuBarItem, 1, 1, 1, 0, 0, 0, 0, El(vcl::tmMenuBarItemPushed)},
        {skncMenuBarItem, 1, 0, 1, 0, 0, 0, 0, El(vcl::tmMenuBarItemHot)},
        {skncMenuItem, 0, 0, 1, 0, 0, 0, 0, El(vcl::tmPopupItemDisabledHot)},
        {skncMenuItem, 0, 0, 0, 0, 0, 0, 0, El(vcl::tmPopupItemDisabled)},
        {skncMenuItem, 1, 0, 1, 0, 0, 0, 0, El(vcl::tmPopupItemHot)},
        {skncToolbarItem, 1, 1, 1, 1, 0, 0, 0, El(vcl::ttbButtonPressed)},
        {skncToolbarItem, 1, 0, 1, 1, 0, 0, 0, El(vcl::ttbButtonCheckedHot)},
        {skncToolbarItem, 1, 0, 0, 1, 0, 0, 0, El(vcl::ttbButtonChecked)},
        {skncButton, 1, 0, 0, 1, 0, 0, 0, El(vcl::tbPushButtonPressed)},
        {skncButton, 1, 0, 0, 0, 1, 0, 0, El(vcl::tbPushButtonDefaulted)},
        {skncButton, 1, 0, 1, 0, 1, 0, 0, El(vcl::tbPushButtonHot)},
        {skncEditButton, 0, 1, 1, 0, 0, 0, 0, El(vcl::tbPushButtonDisabled)},
        {skncCheckBox, 1, 0, 1, 1, 0, 0, 1, El(vcl::tbCheckBoxMixedHot)},
        {skncCheckBox, 1, 1, 0, 1, 0, 0, 0, El(vcl::tbCheckBoxCheckedPressed)},
        {skncCheckBox, 0, 0, 0, 0, 0, 0, 0, El(vcl::tbCheckBoxUncheckedDisabled)},
        {skncLabel, 1, 0, 1, 0, 0, 0, 0, El(vcl::tbCheckBoxUncheckedNormal)},
        {skncRadioButton, 1, 0, 1, 1, 0, 0, 0, El(vcl::tbRadioButtonCheckedHot)},
        {skncRadioButton, 0, 1, 0, 0, 0, 0, 0, El(vcl::tbRadioButtonUncheckedDisabled)},
        {skncTab, 1, 0, 1, 1, 0, 0, 0, El(vcl::ttTabItemSelected)},
        {skncTab, 1, 0, 1, 0, 0, 0, 0, El(vcl::ttTabItemHot)},
    };
    for (const Case& c : cases) {
        TThemedElementDetails d;
        ASSERT_TRUE(Skin()->GetThemedElementDetails(c.component, c.E, c.P, c.H, c.C, c.F, c.D, c.G, d)) << c.component;
        EXPECT_EQ(d, c.expected) << "component " << c.component << " E" << c.E << " P" << c.P << " H" << c.H
                                 << " C" << c.C;
    }
    TThemedElementDetails d = El(vcl::ttbButtonHot);
    for (auto c : {skncMenuBar, skncOpenToolbarItem, skncSplitter, skncTabBackground, skncTabToolbar, skncWindow,
                   skncEditFrame, skncHeader, skncListItem, skncProgressBar, skncTrackBar, skncTrackBarButton})
        EXPECT_FALSE(Skin()->GetThemedElementDetails(c, sknsNormal, d)) << c;
    // The state form: CheckedAndHotTrack is hot and checked.
    ASSERT_TRUE(Skin()->GetThemedElementDetails(skncToolbarItem, sknsCheckedAndHotTrack, d));
    EXPECT_EQ(d, El(vcl::ttbButtonCheckedHot));
}

TEST_F(Faces, UnderAStyleTheDockAndTitleBarTakeTheStylesElements) {
    Use(sknDelphiStyle);
    TThemedElementDetails d;
    ASSERT_TRUE(Skin()->GetThemedElementDetails(skncDock, sknsNormal, d));
    EXPECT_EQ(d, El(vcl::ttbToolBarDontCare));
    ASSERT_TRUE(Skin()->GetThemedElementDetails(skncWindowTitleBar, sknsNormal, d));
    EXPECT_EQ(d, El(vcl::twCaptionActive));
}

// ---- text colours ----

TEST_F(Faces, TextColoursUnderTheSkin) {
    Use(sknSkin);
    struct Case {
        TSkSkinComponentsType component;
        TSkSkinStatesType state;
        TColor expected;
    };
    const Case cases[] = {
        {skncDock, sknsNormal, kTeal},
        {skncDock, sknsHotTrack, clNone},              // not a state of the dock
        {skncEditFrame, sknsPushed, clNone},
        {skncToolbarItem, sknsNormal, kYellow},
        {skncToolbarItem, sknsHotTrack, vcl::clMenuText},
        {skncToolbarItem, sknsDisabled, vcl::clGrayText},
        {skncStatusBar, sknsNormal, kYellow},          // the toolbar item's
        {skncWindowTitleBar, sknsNormal, kYellow},
        {skncTabToolbar, sknsNormal, kYellow},
        {skncMenuItem, sknsHotTrack, vcl::clMenuText},
        {skncMenuBarItem, sknsDisabled, vcl::clGrayText},
        {skncButton, sknsPushed, vcl::clBtnText},
        {skncListItem, sknsCheckedAndHotTrack, vcl::clBtnText},
        {skncListItem, sknsChecked, kBlue},
        {skncPanel, sknsNormal, vcl::clBtnText},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Skin()->GetTextColor(c.component, c.state), c.expected) << c.component << "/" << c.state;
}

TEST_F(Faces, TextColoursOfTheClassicLook) {
    Use(sknNone);
    struct Case {
        TSkSkinComponentsType component;
        TSkSkinStatesType state;
        TColor expected;
    };
    const Case cases[] = {
        {skncDock, sknsHotTrack, vcl::clBtnText},
        {skncMenuItem, sknsChecked, vcl::clMenuText},
        {skncMenuItem, sknsHotTrack, vcl::clHighlightText},
        {skncMenuItem, sknsCheckedAndHotTrack, vcl::clHighlightText},
        {skncMenuItem, sknsDisabled, vcl::clGrayText},
        {skncMenuBarItem, sknsHotTrack, vcl::clMenuText},
        {skncToolbarItem, sknsPushed, vcl::clMenuText},
        {skncButton, sknsDisabled, vcl::clGrayText},
        {skncTabToolbar, sknsHotTrack, vcl::clBtnText},
        {skncStatusBar, sknsNormal, vcl::clBtnText},
        {skncListItem, sknsChecked, vcl::clHighlightText},
        {skncListItem, sknsHotTrack, vcl::clBtnText},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Skin()->GetTextColor(c.component, c.state), c.expected) << c.component << "/" << c.state;
}

TEST_F(Faces, TextColoursUnderTheSystemThemeComeFromTheElements) {
    Use(sknWindows);
    EXPECT_EQ(Skin()->GetTextColor(skncDock, sknsHotTrack), vcl::clBtnText);
    EXPECT_EQ(Skin()->GetTextColor(skncToolbarItem, sknsHotTrack), vcl::clMenuText);
    EXPECT_EQ(Skin()->GetTextColor(skncListItem, sknsCheckedAndHotTrack), vcl::clHighlightText);
    EXPECT_EQ(Skin()->GetTextColor(skncButton, sknsDisabled), ElementText(vcl::tbPushButtonDisabled, vcl::clGrayText));
    EXPECT_EQ(Skin()->GetTextColor(skncMenuItem, sknsHotTrack), ElementText(vcl::tmPopupItemHot, vcl::clBtnText));
    EXPECT_EQ(Skin()->GetTextColor(skncStatusBar, sknsNormal), ElementText(vcl::tsPane, vcl::clBtnText));
    EXPECT_EQ(Skin()->GetTextColor(skncTabToolbar, sknsHotTrack), Skin()->GetTextColor(skncTab, sknsHotTrack));
    EXPECT_EQ(Skin()->GetTextColor(skncTab, sknsHotTrack), ElementText(vcl::ttTabItemHot, vcl::clBtnText));
}

TEST_F(Faces, TextColoursUnderAStyleUseItsFontColours) {
    Use(sknDelphiStyle);
    auto* style = vcl::StyleServices();
    EXPECT_EQ(Skin()->GetTextColor(skncListItem, sknsChecked), style->GetStyleFontColor(vcl::sfListItemTextSelected));
    EXPECT_EQ(Skin()->GetTextColor(skncListItem, sknsNormal), style->GetStyleFontColor(vcl::sfListItemTextNormal));
    EXPECT_EQ(Skin()->GetTextColor(skncToolbarItem, sknsHotTrack), ElementText(vcl::ttbButtonHot, vcl::clBtnText));
}

// ---- marks ----

TEST_F(Faces, CheckBoxMarkOverTheCheckBoxBackground) {
    Use(sknSkin);
    const TRect r(0, 0, 16, 16);
    struct Case {
        bool checked, grayed;
        std::vector<std::pair<vcl::TPoint, TColor>> pixels;
    };
    // The mark's centre is (7, 9).
    const Case cases[] = {
        {false, false, {{{0, 0}, kRed}, {{6, 9}, kRed}, {{9, 8}, kRed}, {{3, 3}, kRed}}},
        {true, false, {{{0, 0}, kRed}, {{6, 9}, kBlue}, {{9, 8}, kBlue}, {{3, 3}, kRed}}},
        {false, true, {{{2, 2}, kRed}, {{3, 3}, kBlue}, {{12, 12}, kBlue}, {{13, 13}, kRed}}},
    };
    for (const Case& c : cases) {
        auto bmp = Paper(16, 16);
        bmp->Canvas()->Pen()->SetColor(kTeal);
        Skin()->PaintMenuCheckMark(bmp->Canvas(), r, c.checked, c.grayed, false, sknsNormal);
        for (auto [p, color] : c.pixels)
            EXPECT_EQ(bmp->Canvas()->Pixels(p.X, p.Y), color) << c.checked << c.grayed << " at " << p.X << "," << p.Y;
        EXPECT_EQ(bmp->Canvas()->Pen()->Color(), kTeal);
    }
}

TEST_F(Faces, MenuCheckMarkIsTheSmallTickInMenuText) {
    Use(sknNone);
    auto bmp = Paper(16, 16);
    Skin()->PaintMenuCheckMark(bmp->Canvas(), TRect(0, 0, 16, 16), true, false, true, sknsNormal);
    // Tick points (4,7) (6,9) (10,5) (10,6) (6,10) (4,8) around the centre (7, 9).
    EXPECT_EQ(bmp->Canvas()->Pixels(6, 9), Rgb(vcl::clMenuText));
    EXPECT_EQ(bmp->Canvas()->Pixels(8, 8), Rgb(vcl::clMenuText));
    EXPECT_EQ(bmp->Canvas()->Pixels(1, 1), kPaper);
    EXPECT_EQ(bmp->Canvas()->Pixels(7, 5), kPaper);
}

TEST_F(Faces, RadioBoxBodyIsClippedToItsRoundOutline) {
    Use(sknSkin);
    for (bool checked : {false, true}) {
        auto bmp = Paper(17, 17);
        HRGN before = CreateRectRgn(0, 0, 0, 0);
        const int hadClip = GetClipRgn(bmp->Canvas()->Handle(), before);
        Skin()->PaintMenuRadioMark(bmp->Canvas(), TRect(0, 0, 17, 17), checked, false, sknsNormal);
        // The 13 x 13 box starts at (2, 2).
        EXPECT_EQ(bmp->Canvas()->Pixels(2, 2), kPaper);      // a cut corner
        EXPECT_EQ(bmp->Canvas()->Pixels(14, 14), kPaper);
        EXPECT_EQ(bmp->Canvas()->Pixels(5, 5), kRed);
        EXPECT_EQ(bmp->Canvas()->Pixels(2, 8), kGreen);      // the outline's left side
        EXPECT_EQ(bmp->Canvas()->Pixels(8, 2), kGreen);
        EXPECT_EQ(bmp->Canvas()->Pixels(8, 8), checked ? kBlue : kRed);

        // Painted through a moved origin the clip moves with the mark.
        auto moved = Paper(20, 20);
        SetWindowOrgEx(moved->Canvas()->Handle(), -3, -3, nullptr);
        Skin()->PaintMenuRadioMark(moved->Canvas(), TRect(0, 0, 17, 17), checked, false, sknsNormal);
        SetWindowOrgEx(moved->Canvas()->Handle(), 0, 0, nullptr);
        EXPECT_EQ(moved->Canvas()->Pixels(5, 5), kPaper);
        EXPECT_EQ(moved->Canvas()->Pixels(8, 8), kRed);
        EXPECT_EQ(moved->Canvas()->Pixels(5, 11), kGreen);
        // The clip is back: painting reaches the corner again.
        bmp->Canvas()->Brush()->SetColor(kYellow);
        bmp->Canvas()->FillRect(TRect(0, 0, 17, 17));
        EXPECT_EQ(bmp->Canvas()->Pixels(2, 2), kYellow);
        EXPECT_EQ(GetClipRgn(bmp->Canvas()->Handle(), before), hadClip);
        DeleteObject(before);
    }
}

TEST_F(Faces, MenuRadioMarkIsARoundDotAtTheExactCentre) {
    Use(sknNone);
    auto bmp = Paper(16, 16);
    Skin()->PaintMenuRadioMark(bmp->Canvas(), TRect(0, 0, 16, 16), true, true, sknsNormal);
    // Centre (8, 8): the round rectangle covers 5 .. 10 both ways.
    for (int x : {5, 8, 10}) EXPECT_EQ(bmp->Canvas()->Pixels(x, 8), Rgb(vcl::clMenuText)) << x;
    EXPECT_EQ(bmp->Canvas()->Pixels(8, 5), Rgb(vcl::clMenuText));
    EXPECT_EQ(bmp->Canvas()->Pixels(4, 8), kPaper);
    EXPECT_EQ(bmp->Canvas()->Pixels(11, 8), kPaper);
    EXPECT_EQ(bmp->Canvas()->Pixels(8, 11), kPaper);
}

TEST_F(Faces, ThemedMenuMarksDrawTheElementCentred) {
    Use(sknWindows);
    auto bmp = Paper(40, 40);
    Skin()->PaintMenuCheckMark(bmp->Canvas(), TRect(0, 0, 40, 40), true, false, true, sknsNormal);
    // Drawn at the element's own size in the middle, nothing around it.
    const int w = GetSystemMetrics(SM_CXMENUCHECK), h = GetSystemMetrics(SM_CYMENUCHECK);
    const TRect inside = CenteredRect(TRect(0, 0, 40, 40), w, h);
    int outside = 0, drawn = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) {
            const bool changed = bmp->Canvas()->Pixels(x, y) != kPaper;
            (inside.Contains(vcl::TPoint(x, y)) ? drawn : outside) += changed;
        }
    EXPECT_GT(drawn, 0);
    EXPECT_EQ(outside, 0);
}

// ---- faces ----

TEST_F(Faces, ClassicButtonFace) {
    Use(sknNone);
    auto pushed = Paper(20, 12);
    DrawButtonFace(pushed->Canvas(), TRect(0, 0, 20, 12), true, true, false, false, false, false);
    EXPECT_EQ(pushed->Canvas()->Pixels(0, 0), Rgb(vcl::clBtnShadow));
    EXPECT_EQ(pushed->Canvas()->Pixels(19, 11), Rgb(vcl::clBtnShadow));
    EXPECT_EQ(pushed->Canvas()->Pixels(5, 5), Rgb(vcl::clBtnFace));

    auto focused = Paper(20, 12);
    DrawButtonFace(focused->Canvas(), TRect(0, 0, 20, 12), true, false, false, false, true, false);
    EXPECT_EQ(focused->Canvas()->Pixels(0, 0), Rgb(vcl::clWindowFrame));
    EXPECT_EQ(focused->Canvas()->Pixels(1, 1), Rgb(vcl::clBtnHighlight));   // the push-button frame inside
    EXPECT_NE(focused->Canvas()->Pixels(3, 3), Rgb(vcl::clBtnFace));        // the focus rectangle
    EXPECT_EQ(focused->Canvas()->Pixels(4, 4), Rgb(vcl::clBtnFace));
}

TEST_F(Faces, SkinnedButtonAndEditFramePaintTheirStatesCategory) {
    Use(sknSkin);
    auto bmp = Paper(20, 12);
    DrawButtonFace(bmp->Canvas(), TRect(0, 0, 20, 12), true, true, true, false, false, false);
    EXPECT_EQ(bmp->Canvas()->Pixels(10, 6), kBlue);
    struct Case {
        bool enabled, hot;
        TColor expected;
    };
    for (const Case& c : {Case{true, false, kRed}, Case{true, true, kYellow}, Case{false, true, kGreen}}) {
        DrawEditFrame(bmp->Canvas(), TRect(0, 0, 20, 12), c.enabled, c.hot);
        EXPECT_EQ(bmp->Canvas()->Pixels(0, 0), c.expected) << c.enabled << c.hot;
    }
}

TEST_F(Faces, ClassicEditFrameSinksWhenHot) {
    Use(sknNone);
    auto bmp = Paper(20, 12);
    DrawEditFrame(bmp->Canvas(), TRect(0, 0, 20, 12), true, true);
    EXPECT_EQ(bmp->Canvas()->Pixels(0, 0), Rgb(vcl::clBtnShadow));
    EXPECT_EQ(bmp->Canvas()->Pixels(19, 11), Rgb(vcl::clBtnHighlight));
    EXPECT_EQ(bmp->Canvas()->Pixels(1, 1), Rgb(vcl::clBtnFace));
    EXPECT_EQ(bmp->Canvas()->Pixels(5, 5), kPaper);
    DrawEditFrame(bmp->Canvas(), TRect(0, 0, 20, 12), true, false);
    EXPECT_EQ(bmp->Canvas()->Pixels(0, 0), Rgb(vcl::clBtnFace));
    EXPECT_EQ(bmp->Canvas()->Pixels(19, 11), Rgb(vcl::clBtnFace));
}

TEST_F(Faces, SkinnedListItemFillsThenPaintsTheSelectionAndSetsTheTextColour) {
    Use(sknSkin);
    for (bool square : {false, true}) {
        auto bmp = Paper(20, 12);
        bmp->Canvas()->Brush()->SetColor(vcl::clWhite);
        DrawListItemBackground(bmp->Canvas(), TRect(0, 0, 20, 12), true, false, false, square, true);
        EXPECT_EQ(bmp->Canvas()->Font()->Color(), kBlue);
        EXPECT_EQ(bmp->Canvas()->Pixels(5, 5), kRed);
        EXPECT_EQ(bmp->Canvas()->Pixels(0, 0), square ? kGreen : TColor(0xFFFFFF)) << square;
    }
    auto plain = Paper(20, 12);
    plain->Canvas()->Brush()->SetColor(vcl::clWhite);
    DrawListItemBackground(plain->Canvas(), TRect(0, 0, 20, 12), false, false, false, false, true);
    EXPECT_EQ(plain->Canvas()->Pixels(5, 5), TColor(0xFFFFFF));
}

TEST_F(Faces, ClassicListItemSelectedInHighlight) {
    Use(sknNone);
    auto bmp = Paper(20, 12);
    DrawListItemBackground(bmp->Canvas(), TRect(0, 0, 20, 12), true, false, true, false, true);
    EXPECT_EQ(bmp->Canvas()->Font()->Color(), vcl::clHighlightText);
    EXPECT_EQ(bmp->Canvas()->Pixels(5, 5), Rgb(vcl::clHighlight));
    EXPECT_NE(bmp->Canvas()->Pixels(0, 0), Rgb(vcl::clHighlight));   // the focus rectangle
}

TEST(EditFrameNC, TheRingAroundTheEditOnItsWindowDeviceContext) {
    testing_support::FormHarness forms;
    GetSkinManager()->SetToDefaultSkin();
    TwSetThemeActive(FALSE);
    auto* form = forms.Show<vcl::TForm>();
    form->SetColor(kGreen);
    auto* edit = new vcl::TPanel(form);   // any windowed control stands for the edit
    edit->SetParent(form);
    edit->SetBounds(5, 7, 30, 12);
    edit->SetColor(kRed);
    forms.Pump();
    auto px = [&](int x, int y) { return TColor(forms.App().Grab(edit->Handle()).pixel(x, y) & 0xFFFFFF); };
    auto rgb = [](TColor c) {   // Grab gives 0xRRGGBB
        const TColor v = vcl::ColorToRGB(c);
        return TColor(((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF));
    };
    // The inner area is left alone: fill it with a marker first.
    HDC dc = GetWindowDC(edit->Handle());
    RECT all{0, 0, 30, 12};
    HBRUSH blue = CreateSolidBrush(kBlue);
    FillRect(dc, &all, blue);
    DeleteObject(blue);
    ReleaseDC(edit->Handle(), dc);

    PaintEditFrameNC(edit, true, false);
    EXPECT_EQ(px(0, 0), rgb(vcl::clBtnShadow));
    EXPECT_EQ(px(29, 11), rgb(vcl::clBtnHighlight));
    EXPECT_EQ(px(1, 1), rgb(vcl::clBtnFace));
    EXPECT_EQ(px(2, 2), rgb(kBlue));
    EXPECT_EQ(px(27, 9), rgb(kBlue));

    PaintEditFrameNC(edit, false, true);
    EXPECT_EQ(px(0, 0), rgb(kRed));
    EXPECT_EQ(px(1, 10), rgb(kRed));
    EXPECT_EQ(px(2, 2), rgb(kBlue));
}

TEST_F(Faces, ThemedFacesAreTheThemesOwnParts) {
    Use(sknWindows);
    auto same = [](vcl::TBitmap* A, vcl::TBitmap* B) {
        for (int y = 0; y < A->Height(); ++y)
            for (int x = 0; x < A->Width(); ++x)
                if (A->Canvas()->Pixels(x, y) != B->Canvas()->Pixels(x, y)) return false;
        return true;
    };
    const TRect r(0, 0, 30, 14);
    auto face = Paper(30, 14), element = Paper(30, 14);
    DrawButtonFace(face->Canvas(), r, true, false, true, false, false, false);
    vcl::StyleServices()->DrawElement(element->Canvas()->Handle(), El(vcl::tbPushButtonHot), r);
    EXPECT_TRUE(same(face.get(), element.get()));
    EXPECT_NE(face->Canvas()->Pixels(0, 0), kPaper);

    auto frame = Paper(30, 14), border = Paper(30, 14);
    DrawEditFrame(frame->Canvas(), r, false, true);
    HTHEME combo = OpenThemeData(nullptr, u"COMBOBOX");
    ASSERT_TRUE(combo);
    RECT rc = r;
    DrawThemeBackground(combo, border->Canvas()->Handle(), 4 /* border */, 4 /* disabled */, &rc, nullptr);
    CloseThemeData(combo);
    EXPECT_TRUE(same(frame.get(), border.get()));
    EXPECT_NE(frame->Canvas()->Pixels(0, 0), kPaper);
}

TEST_F(Faces, RadioBoxOfAnEmptySkinDrawsNoOutlineInAnUnsetColour) {
    Use(sknNone);
    auto bmp = Paper(17, 17);
    Skin()->PaintMenuRadioMark(bmp->Canvas(), TRect(0, 0, 17, 17), false, false, sknsNormal);
    for (int y = 0; y < 17; ++y)
        for (int x = 0; x < 17; ++x) ASSERT_EQ(bmp->Canvas()->Pixels(x, y), kPaper) << x << "," << y;
}
