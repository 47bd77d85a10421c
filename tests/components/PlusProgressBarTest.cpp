// tests/components/PlusProgressBarTest.cpp: the bar's fills read back as pixels (blocks, stacked
// segments, zones, the endless window), its immediate paint on a position change, the clamp that
// waits for the next paint, and the endless mode's timer.
#include "components/PlusProgressBar.h"

#include "Paper.h"
#include "tests/support/windows/FormHarness.h"
#include "vcl/Forms.h"

#include <gtest/gtest.h>

using namespace components;
using components_test::kPaper;
using components_test::Paper;
using testing_support::FormHarness;
using vcl::TColor;

namespace {

constexpr TColor kFill = 0x00AA00, kBack = 0xFFFFFF, kBorder = 0x808080;

// Plain settings: flat colours (level n is 0x0000n0-ish), square frame, no text.
TGaugeSettings Plain(int Percent) {
    static vcl::TFont font;
    return TGaugeSettings{kFill,   kFill,    0x00CCCC, 0x00CCCC, 0x0000CC, 0x0000CC, 0xCC0000, 0xCC0000,
                          70,      90,       kBorder,  vcl::clNone, vcl::clNone, vcl::clNone, true, false,
                          true,    false,    &font,    false,  false,   8,      Percent, Percent, 100,
                          kBack,   goHorizontal, false, QString(), false, 0};
}

// The runs of Color along row Y: [start, end) pairs.
std::vector<std::pair<int, int>> Runs(vcl::TBitmap* Bmp, int Y, TColor Color) {
    std::vector<std::pair<int, int>> runs;
    for (int x = 0; x < Bmp->Width(); ++x)
        if (Bmp->Canvas()->Pixels(x, Y) == Color) {
            if (!runs.empty() && runs.back().second == x)
                ++runs.back().second;
            else
                runs.push_back({x, x + 1});
        }
    return runs;
}

std::vector<std::pair<int, int>> Blocks(int Percent) {
    auto bmp = Paper(128, 18);
    DrawGauge(bmp->Canvas(), vcl::TRect(0, 0, 128, 18), Plain(Percent));
    return Runs(bmp.get(), 9, kFill);
}

TEST(GaugeBlocks, HalfOfTheDefaultBarIsSevenBlocksOfSeven) {
    const auto runs = Blocks(50);  // n = 63
    ASSERT_EQ(runs.size(), 7u);
    for (size_t i = 0; i < runs.size(); ++i) EXPECT_EQ(runs[i], std::make_pair(2 + 9 * int(i), 9 + 9 * int(i)));
}

TEST(GaugeBlocks, ShortFillsAndTheLastShortBlock) {
    EXPECT_TRUE(Blocks(1).empty());  // n = 1
    EXPECT_EQ(Blocks(4), (std::vector<std::pair<int, int>>{{2, 6}}));  // n = 5
    const auto runs = Blocks(10);  // n = 13: one block and a short one of 13 mod 9 = 4
    EXPECT_EQ(runs, (std::vector<std::pair<int, int>>{{2, 9}, {11, 13}}));
}

TEST(GaugeBlocks, LevelFollowsThePercentage) {
    for (auto [percent, color] : {std::pair{69, kFill}, {70, TColor(0x00CCCC)}, {90, TColor(0x0000CC)},
                                  {100, TColor(0xCC0000)}}) {
        auto bmp = Paper(128, 18);
        DrawGauge(bmp->Canvas(), vcl::TRect(0, 0, 128, 18), Plain(percent));
        EXPECT_EQ(bmp->Canvas()->Pixels(4, 9), color) << percent;
    }
}

TEST(GaugeStacked, FullBarEndsExactlyAtTheInnerEdge) {
    for (int width : {128, 131, 97, 110}) {
        auto bmp = Paper(width, 18);
        TGaugeSettings s = Plain(100);
        s.Stacked = true;
        DrawGauge(bmp->Canvas(), vcl::TRect(0, 0, width, 18), s);
        const int W = width - 2;
        const int s0 = int(std::nearbyint(0.7 * W));
        EXPECT_EQ(bmp->Canvas()->Pixels(1, 9), kFill) << width;
        EXPECT_EQ(bmp->Canvas()->Pixels(s0, 9), kFill) << width;
        EXPECT_EQ(bmp->Canvas()->Pixels(s0 + 1, 9), 0x00CCCC) << width;
        EXPECT_EQ(bmp->Canvas()->Pixels(width - 2, 9), 0x0000CC) << width;
        EXPECT_EQ(bmp->Canvas()->Pixels(width - 1, 9), kBorder) << width;
    }
}

TEST(GaugeStacked, VerticalBarGrowsFromTheBottom) {
    auto bmp = Paper(18, 100);
    TGaugeSettings s = Plain(50);
    s.Stacked = true;
    s.Orientation = goVertical;
    DrawGauge(bmp->Canvas(), vcl::TRect(0, 0, 18, 100), s);
    EXPECT_EQ(bmp->Canvas()->Pixels(9, 95), kFill);
    EXPECT_EQ(bmp->Canvas()->Pixels(9, 20), kBack);
}

TEST(GaugeZones, OnlyTheColouredZoneIsPainted) {
    auto bmp = Paper(128, 18);
    TGaugeSettings s = Plain(0);
    s.Level0BkColor = 0x3333AA;
    DrawGauge(bmp->Canvas(), vcl::TRect(0, 0, 128, 18), s);
    EXPECT_EQ(Runs(bmp.get(), 9, 0x3333AA), (std::vector<std::pair<int, int>>{{2, 88}}));  // z0 = Round(0.7 * 126)
    EXPECT_EQ(bmp->Canvas()->Pixels(100, 9), kBack);
}

TEST(GaugeGradient, MainColourOnTheMiddleLinePartnerOnTheEdges) {
    auto bmp = Paper(128, 18);
    TGaugeSettings s = Plain(100);
    s.CompletionSmooth = true;
    s.ShowGradient = true;
    s.Level3Color = 0x0000FF;
    s.Level3ColorTo = 0xFFFFFF;
    DrawGauge(bmp->Canvas(), vcl::TRect(0, 0, 128, 18), s);
    EXPECT_EQ(bmp->Canvas()->Pixels(50, 9), 0x0000FF);  // the second half starts with the main colour
    EXPECT_GT(bmp->Canvas()->Pixels(50, 2) & 0xFF00, 0x8000); // near the edge: close to the partner
}

TEST(GaugeEndless, TheLitWindowRunsAroundItsPosition) {
    auto bmp = Paper(128, 18);
    TGaugeSettings s = Plain(30);
    s.Infinite = true;
    s.CompletionSmooth = true;
    s.Level0Color = s.Level0ColorTo = kFill;
    s.InfinitePos = 50;  // k = Round(0.5 * 124) = 62
    DrawGauge(bmp->Canvas(), vcl::TRect(0, 0, 128, 18), s);
    EXPECT_EQ(Runs(bmp.get(), 9, kFill), (std::vector<std::pair<int, int>>{{52, 74}}));
}

TEST(GaugeFrame, BorderlessFillsToTheEdgeAndRoundedCornersAreKeyed) {
    auto bmp = Paper(128, 18);
    TGaugeSettings s = Plain(100);
    s.ShowBorder = false;
    s.CompletionSmooth = true;
    DrawGauge(bmp->Canvas(), vcl::TRect(0, 0, 128, 18), s);
    EXPECT_EQ(bmp->Canvas()->Pixels(0, 0), kBack);   // the frame is drawn in the background colour
    EXPECT_EQ(bmp->Canvas()->Pixels(1, 9), 0xCC0000); // the fill starts one pixel nearer the edge
    s.Rounded = true;
    s.ShowBorder = true;
    DrawGauge(bmp->Canvas(), vcl::TRect(0, 0, 128, 18), s);
    EXPECT_EQ(bmp->Canvas()->Pixels(0, 0), 0xFF00FF);
    EXPECT_EQ(bmp->Canvas()->Pixels(127, 17), 0xFF00FF);
    EXPECT_EQ(bmp->Canvas()->Pixels(64, 0), kBorder);
}

TEST(GaugeText, AFormatThatDoesNotFitFallsBackToThePercentage) {
    TGaugeSettings s = Plain(40);
    s.ShowPosition = true;
    s.Format = QStringLiteral("%s of %s");
    auto broken = Paper(128, 18);
    EXPECT_NO_THROW(DrawGauge(broken->Canvas(), vcl::TRect(0, 0, 128, 18), s));
    s.Format.clear();
    auto plain = Paper(128, 18);
    DrawGauge(plain->Canvas(), vcl::TRect(0, 0, 128, 18), s);
    s.Format = QStringLiteral("%d of %d");
    auto formatted = Paper(128, 18);
    DrawGauge(formatted->Canvas(), vcl::TRect(0, 0, 128, 18), s);
    int same = 0, differs = 0;
    for (int x = 0; x < 128; ++x) {
        same += broken->Canvas()->Pixels(x, 9) == plain->Canvas()->Pixels(x, 9);
        differs += formatted->Canvas()->Pixels(x, 9) != plain->Canvas()->Pixels(x, 9);
    }
    EXPECT_EQ(same, 128);
    EXPECT_GT(differs, 0);
}

// ---- the control ----

class BarForm : public vcl::TForm {
public:
    explicit BarForm(rtl::TComponent* AOwner) : vcl::TForm(AOwner) {
        SetBounds(0, 0, 300, 100);
        bar = new TPlusProgressBar(this);
        bar->SetParent(this);
        bar->SetBounds(10, 10, 128, 18);
        bar->SetRounded(false);
        bar->SetShowPosition(false);
        bar->SetShowGradient(false);
        bar->SetCompletionSmooth(true);
    }
    TPlusProgressBar* bar;
};

class ProgressBar : public ::testing::Test {
protected:
    void SetUp() override {
        form = H.Show<BarForm>();
        bar = form->bar;
    }
    TColor At(int X, int Y) {
        const QRgb rgb = H.App().Pixel(form->Handle(), 10 + X, 10 + Y);
        return TColor(qRed(rgb) | qGreen(rgb) << 8 | qBlue(rgb) << 16);
    }
    FormHarness H;
    BarForm* form = nullptr;
    TPlusProgressBar* bar = nullptr;
};

TEST_F(ProgressBar, StartsWithItsDefaults) {
    TPlusProgressBar fresh(nullptr);
    EXPECT_EQ(fresh.Width(), 128);
    EXPECT_EQ(fresh.Height(), 18);
    EXPECT_EQ(fresh.Position(), 50);
    EXPECT_EQ(fresh.Level2Color(), 0x53A9FF);
    EXPECT_EQ(fresh.Font()->Name(), "Verdana");
    EXPECT_EQ(fresh.Version(), "1.3.0.1");
    EXPECT_FALSE(fresh.Timer()->Enabled());
}

TEST_F(ProgressBar, APositionInRangePaintsAtOnceAnOutOfRangeOneWaits) {
    bar->SetPosition(20);  // no pump: the paint is synchronous
    EXPECT_EQ(At(20, 9), 0x00FF00);
    EXPECT_EQ(At(100, 9), 0xFFFFFF);
    bar->SetPosition(500);
    EXPECT_EQ(bar->Position(), 100);
    H.Pump();
    EXPECT_EQ(At(100, 9), 0xFFFFFF);  // clamped, shown only at the next paint
    bar->Invalidate();
    H.Pump();
    EXPECT_EQ(At(100, 9), 0x0000FF);  // full: level 3
    bar->SetPosition(-3);
    EXPECT_EQ(bar->Position(), 0);
}

TEST_F(ProgressBar, PercentageFollowsTheRange) {
    bar->SetMin(50);
    bar->SetMax(150);
    bar->SetPosition(100);
    EXPECT_EQ(bar->Percentage(), 50);
    bar->SetPosition(150);
    EXPECT_EQ(bar->Percentage(), 100);
    bar->SetMax(50);  // an empty range shows 0 and divides by nothing
    EXPECT_EQ(bar->Percentage(), 0);
}

TEST_F(ProgressBar, EndlessWindowBouncesOnlyWhenAnimated) {
    bar->SetInfinite(true);
    EXPECT_FALSE(bar->Timer()->Enabled());
    H.Advance(std::chrono::milliseconds(500));
    EXPECT_EQ(bar->InfinitePos(), 0);
    bar->SetAnimated(true);
    EXPECT_TRUE(bar->Timer()->Enabled());
    H.Advance(std::chrono::milliseconds(50 * 26));  // the first tick turns at 0, then 25 steps of 4
    EXPECT_EQ(bar->InfinitePos(), 100);
    H.Advance(std::chrono::milliseconds(50));
    EXPECT_EQ(bar->InfinitePos(), 96);
    bar->SetInfinite(false);
    EXPECT_FALSE(bar->Timer()->Enabled());
}

TEST_F(ProgressBar, ColourSettersTakeEffectAtTheNextPaint) {
    bar->SetPosition(100);
    bar->SetLevel3Color(0x123456);
    bar->SetBackgroundColor(0x654321);
    bar->SetPosition(30);
    H.Pump();
    EXPECT_EQ(At(100, 9), 0x654321);
}

} // namespace
