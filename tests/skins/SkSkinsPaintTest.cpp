// The skin painting primitives and colour helpers, read back from the pixels of a bitmap.
#include "skins/SkSkinsPaint.h"

#include "tests/components/Paper.h"
#include "tests/support/windows/FormHarness.h"
#include "tests/support/windows/HeadlessApp.h"
#include "vcl/ExtCtrls.h"
#include "vcl/ImgList.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace skins;
using vcl::clNone;
using vcl::TRect;

namespace {

using components_test::kPaper;
using components_test::Paper;
constexpr TColor kRed = 0x0000FF, kBlue = 0xFF0000, kGreen = 0x00FF00, kYellow = 0x00FFFF, kBlack = 0;

class SkinPaint : public ::testing::Test {
protected:
    // The pixels as letters: one per colour of the legend, '.' for the paper, '?' for others.
    static std::vector<std::string> Map(vcl::TCanvas* C, const TRect& R, const std::vector<std::pair<char, TColor>>& Legend) {
        std::vector<std::string> rows;
        for (int y = R.Top; y < R.Bottom; ++y) {
            std::string row;
            for (int x = R.Left; x < R.Right; ++x) {
                const TColor p = C->Pixels(x, y);
                char ch = p == kPaper ? '.' : '?';
                for (auto [letter, color] : Legend)
                    if (p == color) ch = letter;
                row += ch;
            }
            rows.push_back(row);
        }
        return rows;
    }
    static int R(TColor C) { return C & 0xFF; }

    testing_support::HeadlessApp app;
};

} // namespace

// ---- colours ----

struct BlendCase {
    int amount;
    TColor expected;
};
class Blend : public ::testing::TestWithParam<BlendCase> {};

TEST_P(Blend, PercentBelowAHundredPerMilleFromAHundred) {
    testing_support::HeadlessApp app;
    EXPECT_EQ(BlendColors(kRed, kBlue, GetParam().amount), GetParam().expected) << GetParam().amount;
}

INSTANTIATE_TEST_SUITE_P(Cases, Blend,
                         ::testing::Values(BlendCase{50, 0x800080}, BlendCase{99, 0x0300FC}, BlendCase{100, 0xE6001A},
                                           BlendCase{165, 0xD5002A}, BlendCase{1000, 0x0000FF}, BlendCase{0, 0xFF0000},
                                           BlendCase{2000, 0x0000FF}));

TEST_F(SkinPaint, ColourHelpersResolveSystemColoursAndClamp) {
    TwSetSysColor(COLOR_BTNFACE, 0x00F0E0D0);
    EXPECT_EQ(LightenColor(vcl::clBtnFace, 20), 0x00FFF4E4);
    EXPECT_EQ(LightenColor(0x00102030, -0x20), 0x00000010);
    EXPECT_EQ(MakeClampedColor(-5, 300, 17), 0x0011FF00);
    int r, g, b;
    SplitColorRGB(vcl::clBtnFace, r, g, b);
    EXPECT_EQ((std::vector<int>{r, g, b}), (std::vector<int>{0xD0, 0xE0, 0xF0}));
    EXPECT_EQ(ColorToHtmlText(0x00AB0C0D), QStringLiteral("#0D0CAB"));
    EXPECT_EQ(ColorToHtmlText(vcl::clBtnFace), QStringLiteral("#D0E0F0"));
    EXPECT_EQ(ColorToSkinText(vcl::clBtnFace, 0), QStringLiteral("clBtnFace"));
    EXPECT_EQ(ColorToSkinText(0x00AB0C0D, 0), QStringLiteral("$00AB0C0D"));
    EXPECT_EQ(ColorToSkinText(vcl::clBtnFace, 1), QStringLiteral("#D0E0F0"));
    EXPECT_EQ(ColorToSkinText(vcl::clBtnFace, 2), QStringLiteral("clBtnFace"));
    EXPECT_EQ(ColorToSkinText(0x00AB0C0D, 2), QStringLiteral("#0D0CAB"));
}

TEST_F(SkinPaint, CenteredRectangles) {
    const TRect r(10, 20, 30, 41);
    EXPECT_EQ(CenteredRect(r, 8, 5), TRect(16, 28, 24, 33));
    EXPECT_EQ(CenteredRectHorz(r, 8), TRect(16, 20, 24, 41));
    EXPECT_EQ(CenteredRectVert(r, 5), TRect(10, 28, 30, 33));
}

// ---- gradients and bodies ----

TEST_F(SkinPaint, EachGradientRangeStartsOnItsOwnRowWithItsFirstColour) {
    struct Case {
        int kind, height;
        std::vector<std::pair<int, TColor>> rows;   // rows that must hold exactly this colour
    };
    const TColor c1 = kRed, c2 = kBlue, c3 = kGreen, c4 = kYellow;
    const Case cases[] = {
        {1, 10, {{0, c1}}},
        {3, 10, {{0, c1}, {3, c2}, {6, c3}}},        // three steps of S div 3 = 3 rows
        {5, 10, {{0, c1}, {4, c3}}},                 // halves at S div 2 = 4
        {7, 10, {{0, c1}, {3, c3}}},                 // first third
        {9, 40, {{0, c1}, {9, c3}}},                 // the first third capped at 9 rows
        {9, 2, {{0, c3}}},                           // the second range repaints the only row of the first
        {5, 2, {{0, c1}, {1, c3}}},                  // the first half keeps at least its own top row
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("kind " + std::to_string(c.kind) + " height " + std::to_string(c.height));
        auto bmp = Paper(6, c.height + 2);
        TSkSkinOptionCategory cat;
        cat.Body()->Fill(c.kind, c1, c2, c3, c4);
        PaintSkinBody(bmp->Canvas(), TRect(1, 1, 5, 1 + c.height), &cat, false);
        for (auto [row, color] : c.rows) EXPECT_EQ(bmp->Canvas()->Pixels(2, 1 + row), color) << "row " << row;
        EXPECT_EQ(bmp->Canvas()->Pixels(2, 0), kPaper);
        EXPECT_EQ(bmp->Canvas()->Pixels(2, 1 + c.height), kPaper);   // nothing past the bottom
        EXPECT_EQ(bmp->Canvas()->Pixels(0, 2), kPaper);
        EXPECT_EQ(bmp->Canvas()->Pixels(5, 2), kPaper);
    }
}

TEST_F(SkinPaint, OneRowHalvesStayInsideTheRectangle) {
    auto bmp = Paper(6, 4);
    TSkSkinOptionCategory cat;
    cat.Body()->Fill(5, kRed, kBlue, kGreen, kYellow);
    PaintSkinBody(bmp->Canvas(), TRect(1, 1, 5, 2), &cat, false);
    EXPECT_EQ(bmp->Canvas()->Pixels(2, 1), kRed);
    EXPECT_EQ(bmp->Canvas()->Pixels(2, 2), kPaper);
}

TEST_F(SkinPaint, GradientRunsDownAndVerticalBarsTurnItRound) {
    for (bool vertical : {false, true}) {
        SCOPED_TRACE(vertical ? "vertical bar" : "horizontal bar");
        auto bmp = Paper(12, 12);
        TSkSkinOptionCategory cat;
        cat.Body()->Fill(1, kBlack, 0x0000F0, clNone, clNone);
        PaintSkinBody(bmp->Canvas(), TRect(1, 1, 11, 11), &cat, vertical);
        vcl::TCanvas* c = bmp->Canvas();
        EXPECT_EQ(c->Pixels(1, 1), kBlack);
        const TColor along = vertical ? c->Pixels(10, 1) : c->Pixels(1, 10);   // the far end of the gradient
        const TColor across = vertical ? c->Pixels(1, 10) : c->Pixels(10, 1);  // the same step
        EXPECT_GT(R(along), 0xC0);
        EXPECT_EQ(across, kBlack);
    }
}

TEST_F(SkinPaint, UnsetSolidAndUnknownKindsPaintNothing) {
    auto bmp = Paper(4, 4);
    TSkSkinOptionCategory cat;
    cat.Body()->Fill(0, clNone, kRed, kRed, kRed);
    PaintSkinBody(bmp->Canvas(), TRect(0, 0, 4, 4), &cat, false);
    cat.Body()->Fill(11, kRed, kRed, kRed, kRed);
    PaintSkinBody(bmp->Canvas(), TRect(0, 0, 4, 4), &cat, false);
    cat.Borders()->Fill(3, kRed, kRed, kRed, kRed);
    PaintSkinBorders(bmp->Canvas(), TRect(0, 0, 4, 4), &cat);
    for (const auto& row : Map(bmp->Canvas(), TRect(0, 0, 4, 4), {})) EXPECT_EQ(row, "....");
}

// ---- frames ----

TEST_F(SkinPaint, FrameCornersFollowRoundingAndForcedSides) {
    struct Case {
        int rounding;
        vcl::TAnchors force;
        std::vector<std::string> map;
    };
    const Case cases[] = {
        {0, {}, {"RRRRRB", "RGGGYB", "RG..YB", "RG..YB", "RYYYYB", "BBBBBB"}},
        {5, {}, {"..RR..", ".RGGR.", "RG..YB", "RG..YB", ".RYYB.", "..BB.."}},
        {2, {vcl::akTop}, {"RRRRRB", "RGGGYB", "RG..YB", "RG..YB", ".RYYB.", "..BB.."}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("rounding " + std::to_string(c.rounding));
        auto bmp = Paper(8, 8);
        DrawSkinFrame(bmp->Canvas(), TRect(1, 1, 7, 7), c.rounding, kRed, kBlue, kGreen, kYellow, c.force);
        EXPECT_EQ(Map(bmp->Canvas(), TRect(1, 1, 7, 7), {{'R', kRed}, {'B', kBlue}, {'G', kGreen}, {'Y', kYellow}}), c.map);
        EXPECT_EQ(Map(bmp->Canvas(), TRect(0, 0, 8, 1), {})[0], "........");
    }
}

TEST_F(SkinPaint, UnsetFrameLinesAreLeftOut) {
    auto bmp = Paper(6, 6);
    DrawSkinFrame(bmp->Canvas(), TRect(0, 0, 6, 6), 0, clNone, kBlue, clNone, clNone);
    EXPECT_EQ(Map(bmp->Canvas(), TRect(0, 0, 6, 6), {{'B', kBlue}}),
              (std::vector<std::string>{".....B", ".....B", ".....B", ".....B", ".....B", "BBBBBB"}));
}

TEST_F(SkinPaint, BackgroundInsetsTheBodyOnlyUnderABorder) {
    TSkSkinOptions skin;
    auto* cat = skin.Options(skncButton, sknsHotTrack);
    cat->Body()->Fill(0, kRed, clNone, clNone, clNone);
    cat->Borders()->Fill(0, kBlue, kBlue, clNone, clNone);
    struct Case {
        TSkSkinStatesType state;
        bool background, borders;
        TColor corner, inside;
    };
    const Case cases[] = {{sknsHotTrack, true, true, kBlue, kRed},
                          {sknsHotTrack, true, false, kRed, kRed},
                          {sknsHotTrack, false, true, kBlue, kPaper},
                          {sknsNormal, true, true, kPaper, kPaper}};
    for (const auto& c : cases) {
        auto bmp = Paper(6, 6);
        skin.PaintBackground(bmp->Canvas(), TRect(0, 0, 6, 6), skncButton, c.state, c.background, c.borders);
        EXPECT_EQ(bmp->Canvas()->Pixels(0, 0), c.corner);
        EXPECT_EQ(bmp->Canvas()->Pixels(1, 1), c.inside);
    }
    // With an empty border entry the body fills the whole rectangle.
    cat->Borders()->Reset();
    auto bmp = Paper(6, 6);
    skin.PaintBackground(bmp->Canvas(), TRect(0, 0, 6, 6), skncButton, sknsHotTrack, true, true);
    EXPECT_EQ(bmp->Canvas()->Pixels(0, 0), kRed);
}

TEST_F(SkinPaint, WindowFrameRingsTakeTheBorderColoursInTurn) {
    TSkSkinOptions skin;
    skin.Options(skncWindow)->Body()->Fill(0, kBlack, clNone, clNone, clNone);
    skin.Options(skncWindow)->Borders()->Fill(0, kRed, kBlue, kGreen, kYellow);
    auto bmp = Paper(16, 16);
    skin.PaintWindowFrame(bmp->Canvas(), TRect(0, 0, 16, 16), false, true, 6);
    EXPECT_EQ(Map(bmp->Canvas(), TRect(0, 7, 8, 8), {{'R', kRed}, {'B', kBlue}, {'G', kGreen}, {'Y', kYellow}, {'K', kBlack}})[0],
              "RBGYYYKK");
    auto none = Paper(4, 4);
    skin.PaintWindowFrame(none->Canvas(), TRect(0, 0, 4, 4), true, false, 0);
    EXPECT_EQ(none->Canvas()->Pixels(0, 0), kPaper);
}

// ---- marks and glyphs ----

TEST_F(SkinPaint, TitleGlyphsPaintTheirBitPatterns) {
    const std::pair<int, std::vector<std::string>> glyphs[] = {
        {0, {"XX...XX.", "XXX.XXX.", ".XXXXX..", "..XXX...", ".XXXXX..", "XXX.XXX.", "XX...XX.", "........"}},
        {3, {"..XXXXXX", "..XXXXXX", "..X....X", "XXXXXX.X", "XXXXXX.X", "X....XXX", "X....X..", "X....X..",
             "XXXXXX.."}},
    };
    for (const auto& [kind, map] : glyphs) {
        SCOPED_TRACE(kind);
        const int h = int(map.size());
        auto bmp = Paper(8, h);
        DrawTitleButtonGlyph(bmp->Canvas(), TRect(0, 0, 8, h), kind, kBlue);
        EXPECT_EQ(Map(bmp->Canvas(), TRect(0, 0, 8, h), {{'X', kBlue}}), map);
    }
    auto bmp = Paper(8, 8);
    DrawTitleButtonGlyph(bmp->Canvas(), TRect(0, 0, 8, 8), 4, kBlue);
    DrawTitleButtonGlyph(bmp->Canvas(), TRect(0, 0, 8, 8), 2, vcl::clBtnText);   // a system colour's brush
    EXPECT_EQ(bmp->Canvas()->Pixels(1, 5), vcl::ColorToRGB(vcl::clBtnText));
    EXPECT_EQ(bmp->Canvas()->Pixels(0, 5), kPaper);
}

TEST_F(SkinPaint, GripDotsAreShadowedSquaresEveryFourPixels) {
    auto bmp = Paper(9, 5);
    DrawGripDots(bmp->Canvas(), TRect(0, 0, 9, 5), kRed, kBlue);
    EXPECT_EQ(Map(bmp->Canvas(), TRect(0, 0, 9, 4), {{'R', kRed}, {'B', kBlue}}),
              (std::vector<std::string>{"RR..RR...", "RRB.RRB..", ".BB..BB..", "........."}));
}

TEST_F(SkinPaint, ArrowsPointTheirWay) {
    struct Case {
        bool vertical, backward;
        int x, y;          // a pixel inside the arrow's far part
        int nx, ny;        // the same distance the other way, outside
    };
    const Case cases[] = {{false, false, 7, 5, 3, 5}, {false, true, 7, 5, 3, 5}, {true, false, 5, 7, 5, 3}, {true, true, 5, 7, 5, 3}};
    for (const auto& c : cases) {
        auto bmp = Paper(11, 11);
        DrawArrowTriangle(bmp->Canvas(), 5, 5, kRed, c.vertical, c.backward, 3);
        EXPECT_EQ(bmp->Canvas()->Pixels(c.x, c.y), kRed);
        EXPECT_EQ(bmp->Canvas()->Pixels(c.nx, c.ny), kPaper);
    }
    // Right and down are wide at their start, left and up at their end.
    auto right = Paper(11, 11);
    DrawArrowTriangle(right->Canvas(), 5, 5, kRed, false, false, 3);
    EXPECT_EQ(right->Canvas()->Pixels(5, 3), kRed);
    EXPECT_EQ(right->Canvas()->Pixels(7, 3), kPaper);
    auto left = Paper(11, 11);
    DrawArrowTriangle(left->Canvas(), 5, 5, kRed, false, true, 3);
    EXPECT_EQ(left->Canvas()->Pixels(7, 3), kRed);
    EXPECT_EQ(left->Canvas()->Pixels(5, 3), kPaper);
}

TEST_F(SkinPaint, EmptyRectanglesDrawNoMarksAndToolsAreRestored) {
    auto bmp = Paper(6, 6);
    vcl::TCanvas* c = bmp->Canvas();
    c->Pen()->SetColor(kGreen);
    c->Brush()->SetColor(kYellow);
    c->Font()->SetColor(kBlue);
    DrawDropMark(c, TRect(3, 3, 3, 6));
    DrawFocusRectangle(c, TRect(2, 2, 2, 2));
    EXPECT_EQ(Map(c, TRect(0, 0, 6, 6), {})[3], "......");
    DrawSkinFrame(c, TRect(0, 0, 6, 6), 1, kRed, kRed, kRed, kRed);
    DrawArrowTriangle(c, 3, 3, kRed, true, false, 2);
    DrawGripDots(c, TRect(0, 0, 6, 6), kRed, kBlack);
    FillRectFramed(c, TRect(0, 0, 6, 6), kRed, kBlack);
    DrawFocusRectangle(c, TRect(0, 0, 6, 6));
    EXPECT_EQ(c->Pen()->Color(), kGreen);
    EXPECT_EQ(c->Brush()->Color(), kYellow);
    EXPECT_EQ(c->Font()->Color(), kBlue);
}

TEST_F(SkinPaint, DropMarkIsTwoBarsJoinedByAStem) {
    auto bmp = Paper(6, 12);
    vcl::TCanvas* c = bmp->Canvas();
    c->Pen()->SetColor(kBlack);
    c->Brush()->SetColor(kBlack);
    DrawDropMark(c, TRect(0, 0, 6, 12));
    EXPECT_EQ(Map(c, TRect(0, 0, 6, 12), {{'X', kBlack}}),
              (std::vector<std::string>{".XXXX.", "XXXXXX", "XXXXXX", "......", ".XXXX.", ".XXXX.", ".XXXX.", ".XXXX.",
                                        "......", "XXXXXX", "XXXXXX", ".XXXX."}));
}

// ---- images ----

TEST_F(SkinPaint, ImageShadowDarkensTheBackgroundUnderTheImageShape) {
    vcl::TImageList list(nullptr);
    list.SetSize(4, 4);
    vcl::TBitmap image;
    image.SetPixelFormat(vcl::pf24bit);
    image.SetSize(4, 4);
    image.Canvas()->Brush()->SetColor(vcl::clWhite);
    image.Canvas()->FillRect(TRect(0, 0, 4, 4));
    image.Canvas()->Brush()->SetColor(kBlack);
    image.Canvas()->FillRect(TRect(0, 0, 2, 4));
    list.AddMasked(&image, vcl::clWhite);

    // Black image pixels weigh 170/256 on the paper's channels; the masked half leaves it as it was.
    const TColor shaded = MakeClampedColor(0x56 * 170 / 256, 0x34 * 170 / 256, 0x12 * 170 / 256);
    auto bmp = Paper(6, 6);
    DrawImageListImage(bmp->Canvas(), TRect(1, 1, 5, 5), &list, 0, false, true);
    EXPECT_EQ(Map(bmp->Canvas(), TRect(0, 1, 6, 2), {{'S', shaded}})[0], ".SS...");

    // Out of range, or without a list: nothing.
    auto none = Paper(6, 6);
    DrawImageListImage(none->Canvas(), TRect(1, 1, 5, 5), &list, 1, true, false);
    DrawImageListImage(none->Canvas(), TRect(1, 1, 5, 5), nullptr, 0, true, false);
    EXPECT_EQ(Map(none->Canvas(), TRect(0, 1, 6, 2), {})[0], "......");
    // Enabled: the image itself.
    DrawImageListImage(none->Canvas(), TRect(1, 1, 5, 5), &list, 0, true, true);
    EXPECT_EQ(Map(none->Canvas(), TRect(0, 1, 6, 2), {{'K', kBlack}})[0], ".KK...");
}

// ---- sizes by skin type ----

TEST_F(SkinPaint, ArrowSizesAndMenuMarginsFollowTheSkinType) {
    TSkSkinManager* manager = GetSkinManager();
    manager->SetToDefaultSkin();
    int arrow = 0, margin = 0, split = 0;
    struct Case {
        bool themed, skinned;
        int split, left, top, space, caption;
    };
    const Case cases[] = {{false, false, 12, 0, 2, 1, 2}, {true, false, 13, 1, 3, 6, 3}, {false, true, 12, 1, 3, 5, 3}};
    for (const auto& c : cases) {
        TwSetThemeActive(c.themed);
        if (c.skinned) manager->SetSkin(QStringLiteral("Office XP"));
        manager->CurrentSkin()->GetDropDownArrowSize(arrow, margin, split);
        EXPECT_EQ(arrow, 8);
        EXPECT_EQ(margin, 3);
        EXPECT_EQ(split, c.split);
        auto bmp = Paper(4, 4);
        TSkMenuItemMarginsInfo info;
        manager->CurrentSkin()->GetMenuItemMargins(bmp->Canvas(), 0, info);
        EXPECT_EQ(info.Margins, TRect(c.left, c.top, c.left, c.top));
        EXPECT_EQ(info.ImageTextSpace, c.space);
        EXPECT_EQ(info.LeftCaptionMargin, c.caption);
        EXPECT_EQ(info.RightCaptionMargin, c.caption);
        TEXTMETRICW tm{};
        GetTextMetricsW(bmp->Canvas()->Handle(), &tm);
        EXPECT_EQ(info.GutterSize, std::max<int>(tm.tmHeight + tm.tmExternalLeading, 16) + 2 * c.top);
        manager->CurrentSkin()->GetMenuItemMargins(bmp->Canvas(), 40, info);
        EXPECT_EQ(info.GutterSize, 40 + 2 * c.top);
        manager->SetToDefaultSkin();
    }
    TwSetThemeActive(FALSE);
}

// ---- the parent's background ----

TEST(ParentBackground, ComesFromTheParentsEraseShiftedByTheControlsPlace) {
    testing_support::FormHarness forms;
    auto* form = forms.Show<vcl::TForm>();
    form->SetColor(0x00FF00);
    auto* panel = new vcl::TPanel(form);
    panel->SetParent(form);
    panel->SetBounds(5, 7, 20, 10);
    forms.Pump();

    // The parent paints from its own origin, so the bitmap shows the form's face where the panel sits.
    auto bmp = Paper(20, 10);
    HDC dc = bmp->Canvas()->Handle();
    POINT before{};
    GetWindowOrgEx(dc, &before);
    FillParentBackground(panel, dc, TRect(0, 0, 20, 10));
    EXPECT_EQ(bmp->Canvas()->Pixels(3, 3), 0x00FF00);
    POINT after{};
    GetWindowOrgEx(dc, &after);
    EXPECT_EQ(after.x, before.x);
    EXPECT_EQ(after.y, before.y);

    // Without a parent: the button face.
    auto orphan = Paper(4, 4);
    vcl::TPanel loose(nullptr);
    FillParentBackground(&loose, orphan->Canvas()->Handle(), TRect(0, 0, 4, 4));
    EXPECT_EQ(orphan->Canvas()->Pixels(1, 1), vcl::ColorToRGB(vcl::clBtnFace));
}

TEST_F(SkinPaint, FocusRectangleInvertsADottedFrameWhateverTheCanvasColours) {
    auto bmp = Paper(8, 8);
    vcl::TCanvas* c = bmp->Canvas();
    c->Font()->SetColor(kRed);
    SetTextColor(c->Handle(), 0x00FF00);
    SetBkColor(c->Handle(), 0x0000FF);
    DrawFocusRectangle(c, TRect(0, 0, 8, 8));
    EXPECT_EQ(c->Pixels(0, 0), kPaper ^ 0xFFFFFF);
    EXPECT_EQ(c->Pixels(1, 0), kPaper);
    EXPECT_EQ(c->Pixels(3, 3), kPaper);
    EXPECT_EQ(c->Font()->Color(), kRed);
    DrawFocusRectangle(c, TRect(0, 0, 8, 8));
    EXPECT_EQ(c->Pixels(0, 0), kPaper);
}
