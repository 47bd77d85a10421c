// The slides view: where slides and their cells lie, what a point falls on, and how the selection,
// the current slide's frame and highlighted cells are painted.
#include "tests/grid/PaintGrid.h"

using namespace grid_test;

namespace {

using vcl::TPoint;

// Slides 40 high under 1-pixel lines, below an 18-pixel header: slide r's band starts at 18 + 41r.
// Column 0's cell lies at (8, 10) in its slide, 60 by 20.
struct SlidesTest : TPaintTest {
    SlidesTest() : TPaintTest(2, 3) {
        Grid->SetSlideSize(40);
        TRgSlideBounds* B = Grid->Columns()->Item(0)->SlideBounds();
        B->SetLeft(8), B->SetTop(10), B->SetWidth(60), B->SetHeight(20);
        TRgSlideBounds* B1 = Grid->Columns()->Item(1)->SlideBounds();
        B1->SetLeft(100), B1->SetTop(10), B1->SetWidth(60), B1->SetHeight(20);
        Grid->SetGridStyle(gsSlides);
        Grid->SetSlideSelectionColor(0x00FF00);
        Grid->SelectCell(1, 1, {}, true, false);
        Focus(true);
    }
};

} // namespace

TEST(GridSlides, SlidesAndTheirCellsStackBySlideSize) {
    SlidesTest t;
    EXPECT_EQ(t.Grid->GetSlideTop(0), 18);
    EXPECT_EQ(t.Grid->GetSlideTop(2), 18 + 82);
    EXPECT_EQ(t.Grid->GetSlideRect(1), TRect(0, 59, 300, 99));
    EXPECT_EQ(t.Grid->GetCellRect(0, 1), TRect(8, 69, 68, 89));
    const std::vector<std::tuple<int, int, TPoint>> Cells{
        {5, 10, TPoint(-1, 0)},    // above the body: the first slide in view, over no cell
        {8, 69, TPoint(0, 1)},     // left and top edges belong to the cell
        {67, 88, TPoint(0, 1)},
        {68, 80, TPoint(-1, 1)},   // the right edge does not
        {120, 75, TPoint(1, 1)},
        {90, 75, TPoint(-1, 1)},   // inside the slide, outside every cell
        {20, 150, TPoint(-1, 3)},  // below the last slide: RowCount
    };
    for (auto [x, y, cell] : Cells) EXPECT_EQ(t.Grid->GetCellAtPos(TPoint(x, y)), cell) << x << "," << y;
    EXPECT_EQ(t.Grid->GetAreaAtPos(TPoint(5, 10)), gaHeader);
    EXPECT_EQ(t.Grid->GetAreaAtPos(TPoint(290, 150)), gaBody);
    EXPECT_EQ(t.Grid->GetNearestRow(5, 59 + 19), 1);
    EXPECT_EQ(t.Grid->GetNearestRow(5, 59 + 21), 2);
}

TEST(GridSlides, TheCurrentSlideIsFramedOnlyWithTheFrameOption) {
    SlidesTest t;
    const TPoint Frame(1, 70), Inside(5, 70);
    auto Bmp = t.Paint();
    EXPECT_EQ(At(*Bmp, Frame), Rgb(vcl::clHighlight));
    EXPECT_EQ(At(*Bmp, TPoint(2, 70)), Rgb(vcl::clHighlight)) << "a double frame";
    EXPECT_EQ(At(*Bmp, Inside), Rgb(vcl::clWindow));
    t.Grid->SetSlidesOptions({soHideSelection});
    EXPECT_EQ(At(*t.Paint(), Frame), Rgb(vcl::clWindow));
}

TEST(GridSlides, SelectedSlidesShowTheirColourUnlessHidden) {
    SlidesTest t;
    t.Grid->SetSlidesOptions({});
    const TPoint Inside(5, 70), Other(5, 30);
    auto Bmp = t.Paint();
    EXPECT_EQ(At(*Bmp, Inside), vcl::TColor(0x00FF00));
    EXPECT_EQ(At(*Bmp, Other), Rgb(vcl::clWindow));
    t.Focus(false);
    EXPECT_EQ(At(*t.Paint(), Inside), Rgb(vcl::clBtnFace));
    t.Grid->SetSlidesOptions({soHideSelection});
    EXPECT_EQ(At(*t.Paint(), Inside), Rgb(vcl::clWindow));
}

TEST(GridSlides, CellsOfSelectedSlidesAreHighlightedOnlyWhenAsked) {
    SlidesTest t;
    const TPoint Cell(140, 80); // column 1's cell of slide 1, away from its text
    EXPECT_EQ(At(*t.Paint(), Cell), Rgb(vcl::clHighlight));
    t.Grid->SetAppearanceOptions(t.Grid->AppearanceOptions() - TAppearanceOptions{aoHighlightSlideCells});
    EXPECT_NE(At(*t.Paint(), Cell), Rgb(vcl::clHighlight));
}

TEST(GridSlides, SlideColoringCanRecolourASlide) {
    SlidesTest t;
    std::vector<std::pair<int, TSlideState>> Seen;
    t.Grid->OnSlideColoring = [&](rtl::TObject*, int Index, TColor& SlideColor, TColor&, TSlideState State) {
        Seen.emplace_back(Index, State);
        if (Index == 2) SlideColor = 0x0000FF;
    };
    auto Bmp = t.Paint();
    EXPECT_EQ(At(*Bmp, TPoint(5, 18 + 82 + 20)), vcl::TColor(0x0000FF));
    ASSERT_EQ(Seen.size(), 3u);
    EXPECT_EQ(Seen[1].second, (TSlideState{stSelected, stFocused}));
    EXPECT_EQ(Seen[0].second, TSlideState{});
}
