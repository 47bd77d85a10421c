// The report view's painting: one cell's steps in their order, the highlight rules read back from the
// pixels, the empty grid and its caption, the framed lines, the parts and corner boxes, best fit, the
// repaint requests sized to what changed, and the faults the painting must not have (an endless empty
// area, an update bracket left open by a raising handler).
#include "tests/grid/PaintGrid.h"

#include <QStringList>
#include <set>
#include <stdexcept>

using namespace grid_test;
using components_test::kPaper;
using vcl::TColor;
using vcl::TPoint;

namespace {

constexpr TColor kSelection = 0x0080FF;
constexpr TColor kInactive = 0xBFCCD0;

} // namespace

// ---- one cell ------------------------------------------------------------------------------------------

TEST(GridPaintCell, StepsRunInOrderAroundTheUpdateBracketAndTheClipReset) {
    TPaintTest t(2, 2);
    TRgCustomColumn* Col = t.Grid->Columns()->Item(1);
    QStringList Log;
    const auto Mine = [](int c, int r) { return c == 1 && r == 0; };
    t.Grid->OnCellColoring = [&](TObject*, int c, int r, TColor&, TColor&, TCellState) {
        if (Mine(c, r)) Log << QStringLiteral("coloring");
    };
    t.Grid->OnDrawCellBackground = [&](TObject*, int c, int r, const TRect&, TCellState, bool&) {
        if (Mine(c, r)) Log << QStringLiteral("background");
    };
    Col->OnSetCell = [&](TObject*, int c, int r, const TRect&, TCellState) {
        if (Mine(c, r)) Log << (t.Grid->Updating() ? QStringLiteral("set cell, updating") : QStringLiteral("set cell"));
    };
    t.Grid->OnCustomDrawCell = [&](TObject*, int c, int r, const TRect&, TCellState) {
        if (Mine(c, r)) Log << QStringLiteral("custom");
    };
    t.Grid->KW_AfterDrawCell = [&](TObject*, int c, int r, const TRect&, TCellState) {
        if (!Mine(c, r)) return;
        const HDC DC = t.Grid->Canvas()->Handle();
        RECT Box{};
        GetClipBox(DC, &Box);
        // The clip is the whole client again (not the cell's), and no cell is being painted.
        Log << QStringLiteral("after %1 %2").arg(t.Grid->PaintingCell() == TPoint(-1, -1)).arg(Box.right - Box.left);
    };
    Col->SetDrawingOptions(doCustom);
    t.Paint();
    EXPECT_EQ(Log, QStringList({"coloring", "background", "set cell, updating", "custom", "after 1 300"}));
    EXPECT_FALSE(t.Grid->Updating());
}

TEST(GridPaintCell, ColoringComesBeforeTheSortDarkeningAndTheBackgroundMayVetoTheFill) {
    TPaintTest t(2, 3);
    TRgCustomColumn* Col = t.Grid->Columns()->Item(1);
    t.Grid->OnCellColoring = [](TObject*, int c, int, TColor& Cell, TColor&, TCellState State) {
        if (c == 1 && !State.Contains(csSelected)) Cell = 0x0000FF;
    };
    t.Grid->SetSortedStyle(soDarker);
    t.Grid->SetKW_SortDarker(0x00FF00);
    Col->SetSorted(true);
    t.Grid->SetSelectedRow(2);
    t.Focus(true);
    auto Bmp = t.Paint();
    EXPECT_EQ(At(*Bmp, t.Mid(1, 0)), 0x00FF00); // the maker's sort colour over the handler's red
    EXPECT_EQ(At(*Bmp, t.Mid(1, 2)), Rgb(vcl::clHighlight)); // a selected cell keeps the selection colour
    t.Grid->SetKW_CustomizationEnabled(false);
    Bmp = t.Paint();
    EXPECT_EQ(At(*Bmp, t.Mid(1, 0)), Rgb(TGraphicsProvider::BlendColor(vcl::clBlack, 0x0000FF, 10)));
    t.Grid->SetSortedStyle(soWhite);
    EXPECT_EQ(At(*t.Paint(), t.Mid(1, 0)), 0xFFFFFF);

    t.Grid->OnDrawCellBackground = [](TObject*, int c, int, const TRect&, TCellState, bool& Fill) {
        if (c == 1) Fill = false;
    };
    Bmp = t.Paint();
    EXPECT_EQ(At(*Bmp, t.Mid(1, 0)), kPaper);
    EXPECT_NE(At(*Bmp, t.Mid(0, 0)), kPaper);
}

TEST(GridPaintCell, CustomOnlyColumnsAndEmptiedCellsGetNoContentButTheirEvents) {
    TPaintTest t(2, 2);
    TRgCustomColumn* Col = t.Grid->Columns()->Item(0);
    int Custom = 0, After = 0;
    t.Grid->OnCustomDrawCell = [&](TObject*, int c, int, const TRect&, TCellState) { Custom += c == 0; };
    t.Grid->KW_AfterDrawCell = [&](TObject*, int c, int, const TRect&, TCellState) { After += c == 0; };
    const TRect Cell0(0, t.RowTop(0), 79, t.RowTop(0) + 16);

    Col->SetDrawingOptions(doCustomOnly);
    auto Bmp = t.Paint();
    EXPECT_EQ(Custom, 2);
    EXPECT_EQ(Inked(Bmp.get(), Cell0), 0); // neither background nor text

    Col->SetDrawingOptions(doNormal);
    t.Grid->OnCellShowing = [](TObject*, int, int r, bool& Showing) { Showing = r != 0; };
    Custom = After = 0;
    Bmp = t.Paint();
    EXPECT_EQ(Custom, 0);
    EXPECT_EQ(After, 2); // also for the emptied cell
    EXPECT_EQ(Inked(Bmp.get(), Cell0), Cell0.Width() * Cell0.Height()); // background only
    const vcl::TColor Back = Px(Bmp.get(), 1, t.RowTop(0) + 1);
    int Text = 0;
    for (int y = Cell0.Top; y < Cell0.Bottom; ++y)
        for (int x = Cell0.Left; x < Cell0.Right; ++x) Text += Px(Bmp.get(), x, y) != Back;
    EXPECT_EQ(Text, 0);
}

TEST(GridPaintCell, CellsOutsideTheClipBoxAreNotPrepared) {
    TPaintTest t(3, 5);
    std::set<int> Rows;
    t.Paint(); // the display objects are made
    t.Grid->OnCellColoring = [&](TObject*, int, int r, TColor&, TColor&, TCellState State) {
        if (!State.Contains(csEmpty)) Rows.insert(r);
    };
    auto Bmp = components_test::Paper(t.Grid->Width(), t.Grid->Height());
    IntersectClipRect(Bmp->Canvas()->Handle(), 0, t.RowTop(1), 300, t.RowTop(1) + 16);
    t.Grid->DrawnCells = 0;
    t.Grid->PaintTo(Bmp->Canvas()->Handle(), 0, 0);
    SelectClipRgn(Bmp->Canvas()->Handle(), nullptr); // pixels outside a clip do not read back
    EXPECT_EQ(Rows, std::set<int>({1}));
    EXPECT_EQ(Inked(Bmp.get(), TRect(0, 0, 300, t.RowTop(1))), 0);
}

// ---- highlighting --------------------------------------------------------------------------------------

TEST(GridPaintHighlight, SelectionColoursFollowModeFocusAndOptions) {
    const TColor White = 0xFFFFFF;
    const TColor Sel = Rgb(kSelection);
    const TColor Blended = Rgb(TGraphicsProvider::BlendColor(vcl::clWindow, vcl::clHighlight, 0.25));
    struct TCase {
        const char* Name;
        bool FullRow, Focus;
        TAppearanceOptions Appearance;
        bool DontHighlight, Input;
        TColor Current, Other; // the current cell (1,1) and its neighbour (2,1)
    };
    const TCase Cases[] = {
        {"full row", true, true, {}, false, false, Sel, Sel},
        {"full row, unfocused", true, false, {}, false, false, Rgb(kInactive), Rgb(kInactive)},
        {"full row, unfocused, hidden", true, false, {aoHideSelection}, false, false, White, White},
        {"full row, indicated cell", true, true, {aoIndicateSelectedCell}, false, false, White, Sel},
        {"full row, not highlighted column", true, true, {}, true, false, Sel, White},
        {"full row, alpha-blended", true, true, {aoAlphaBlendedSelection}, false, false, Blended, Blended},
        {"full row, input row selected", true, true, {}, false, true, White, White},
        {"cell", false, true, {}, false, false, Sel, White},
        {"cell, unfocused", false, false, {}, false, false, Rgb(kInactive), White},
        {"cell, unfocused, hidden", false, false, {aoHideSelection}, false, false, White, White},
    };
    for (const TCase& c : Cases) {
        SCOPED_TRACE(c.Name);
        TPaintTest t(3, 3);
        t.Grid->SetOptions(c.FullRow ? TGridOptions{goHeader, goGrid, goSelectFullRow, goMultiSelect}
                                     : TGridOptions{goHeader, goGrid});
        t.Grid->SetAppearanceOptions(c.Appearance);
        t.Grid->SetSelectionColor(kSelection);
        t.Grid->SetInactiveSelectionColor(kInactive);
        if (c.DontHighlight) t.Grid->Columns()->Item(2)->SetOptions({coDontHighlight});
        t.Grid->SetSelectedColumn(1);
        t.Grid->SetSelectedRow(1);
        t.Focus(c.Focus);
        if (c.Input) t.Grid->SelectInput();
        auto Bmp = t.Paint();
        EXPECT_EQ(At(*Bmp, t.Mid(1, 1)), c.Current);
        EXPECT_EQ(At(*Bmp, t.Mid(2, 1)), c.Other);
        EXPECT_EQ(At(*Bmp, t.Mid(1, 0)), White);
    }
}

// ---- the empty grid, lines and parts -------------------------------------------------------------------

TEST(GridPaintEmpty, LinesIndicatorCellsAndTheCaptionBelowTheBodyTop) {
    TPaintTest t(3, 0);
    t.Grid->SetGridLinesColor(0x00FF00);
    t.Grid->SetOptions(t.Grid->Options() + TGridOptions{goIndicator});
    t.Grid->SetCaption(QStringLiteral("No files"));
    t.Grid->Font()->SetColor(0x0000FF);
    // Columns now start after the 12-pixel indicator.
    const int LineX = 12 + 79, LineY = t.RowTop(0) + 16;
    auto Bmp = t.Paint();
    EXPECT_EQ(Px(Bmp.get(), LineX, t.RowTop(6) + 3), 0x00FF00);
    EXPECT_EQ(Px(Bmp.get(), 12 + 40, LineY), 0x00FF00);
    EXPECT_GT(Inked(Bmp.get(), TRect(0, t.RowTop(5), 12, t.RowTop(6))), 0); // empty indicator cells
    // The caption: red ink from 4 pixels below the body's top, nothing above.
    int Left = 300, Right = 0;
    const auto Red = [&](int Top, int Bottom) {
        int n = 0;
        for (int y = Top; y < Bottom; ++y)
            for (int x = 12; x < 300; ++x)
                if (Px(Bmp.get(), x, y) == 0x0000FF) {
                    ++n;
                    Left = std::min(Left, x);
                    Right = std::max(Right, x);
                }
        return n;
    };
    EXPECT_EQ(Red(18, 22), 0);
    EXPECT_GT(Red(22, 40), 0);
    // Centred between the body's left and the client's right edge.
    EXPECT_LT(std::abs((Left + Right + 1) / 2 - (12 + 300) / 2), 4);

    for (TGridLinesStyle Style : {lsActiveRows, lsActiveHorzOnly}) {
        t.Grid->SetGridLinesStyle(Style);
        Bmp = t.Paint();
        EXPECT_EQ(Px(Bmp.get(), 12 + 40, LineY), Rgb(t.Grid->Color())) << int(Style);
        EXPECT_EQ(Px(Bmp.get(), LineX, t.RowTop(6) + 3), Rgb(t.Grid->Color())) << int(Style);
    }
    t.Grid->SetEnabled(false);
    Bmp = t.Paint();
    EXPECT_EQ(Red(22, 40), 0);
    int Gray = 0;
    for (int y = 22; y < 40; ++y)
        for (int x = 12; x < 300; ++x) Gray += Px(Bmp.get(), x, y) == Rgb(vcl::clGrayText);
    EXPECT_GT(Gray, 0);
}

TEST(GridPaintLines, FramedDrawsTheLastRowAndTheRightMostColumnBlack) {
    TPaintTest t(3, 3);
    t.Grid->SetGridLinesColor(0x00FF00);
    t.Grid->SetGridLinesStyle(lsFramed);
    auto Bmp = t.Paint();
    EXPECT_EQ(Px(Bmp.get(), 40, t.RowTop(0) + 16), 0x00FF00);
    EXPECT_EQ(Px(Bmp.get(), 40, t.RowTop(2) + 16), 0x000000); // the last row's bottom
    EXPECT_EQ(Px(Bmp.get(), 79, t.RowTop(1) + 5), 0x00FF00);
    EXPECT_EQ(Px(Bmp.get(), 239, t.RowTop(1) + 5), 0x000000); // the right-most column
    EXPECT_EQ(Px(Bmp.get(), 239, t.RowTop(4) + 5), 0x00FF00); // not below the rows
    t.Grid->SetKW_LastRowHorizontalGridColor(0xFF0000);
    EXPECT_EQ(Px(t.Paint().get(), 40, t.RowTop(2) + 16), 0xFF0000);
}

TEST(GridPaintParts, PartsAndCornerBoxesInTheirRectanglesAndTheStripRightOfTheColumns) {
    TPaintTest t(3, 3);
    t.Grid->SetOptions(t.Grid->Options() + TGridOptions{goIndicator, goFooter});
    t.Grid->SetColor(0x00FFFF);
    std::vector<std::pair<int, TRect>> Headers;
    t.Grid->OnCustomDrawHeader = [&](TObject*, int Index, const TRect& R) { Headers.emplace_back(Index, R); };
    for (int c = 0; c < 3; ++c) t.Grid->Columns()->Item(c)->Header()->SetDrawingOptions(doCustom);
    auto Bmp = t.Paint();
    ASSERT_EQ(Headers.size(), 3u);
    EXPECT_EQ(Headers[1].first, 1);
    EXPECT_EQ(Headers[1].second.Left, 12 + 80);
    EXPECT_EQ(Headers[1].second.Bottom, 18);
    const int H = t.Grid->ClientHeight();
    // The corner boxes above the indicator and beside the footer, the footer below the body.
    EXPECT_EQ(Inked(Bmp.get(), TRect(0, 0, 12, 18)), 12 * 18);
    EXPECT_EQ(Inked(Bmp.get(), TRect(0, H - 22 - 1, 12, H)), 12 * 23);
    EXPECT_EQ(Inked(Bmp.get(), TRect(12, H - 18, 252, H)), 240 * 18);
    // Right of the columns the grid's colour from top to bottom.
    EXPECT_EQ(Px(Bmp.get(), 280, 5), 0x00FFFF);
    EXPECT_EQ(Px(Bmp.get(), 280, H - 2), 0x00FFFF);
}

TEST(GridPaintParts, FlatEdgeInTheBorderColour) {
    TPaintTest t(1, 1);
    t.Grid->SetBorderStyle(vcl::bsSingle);
    t.Grid->SetHeaderStyle(hsFlatBorders);
    t.Grid->SetKW_BorderColor(0x0000FF);
    t.Harness.Pump();
    t.Grid->Perform(UINT(WM_NCPAINT), WPARAM(1), LPARAM(0));
    HDC DC = GetWindowDC(t.Grid->Handle());
    EXPECT_EQ(GetPixel(DC, 0, 0), COLORREF(0x0000FF));
    EXPECT_EQ(GetPixel(DC, t.Grid->Width() - 1, t.Grid->Height() / 2), COLORREF(0x0000FF));
    ReleaseDC(t.Grid->Handle(), DC);
}

// ---- best fit ------------------------------------------------------------------------------------------

TEST(GridBestFit, EmptyColumnCellsGiveTheMinimumAndTextWidensIt) {
    TPaintTest t(2, 3);
    TRgCustomColumn* Col = t.Grid->Columns()->Item(1);
    Col->SetPadding(3);
    t.Grid->BestFitColumn(1, bfCells);
    EXPECT_EQ(Col->Width(), 8 + 2 * 3 + 5);
    t.Grid->GetCell(1, 2)->SetAsString(QStringLiteral("A much longer text than eight pixels"));
    QStringList Applied;
    t.Grid->OnApplyCell = [&](TObject*, int, int r, String& Text) {
        Applied << Text;
        if (r == 0) Text = QStringLiteral("x");
    };
    t.Grid->BestFitColumn(1, bfCells);
    EXPECT_EQ(Applied.size(), 3);
    EXPECT_GT(Col->Width(), 8 + 2 * 3 + 5 + 60);
    const int Wide = Col->Width();
    t.Grid->SetRowVisible(2, false);
    t.Grid->BestFitColumn(1, bfCells, true);
    EXPECT_LT(Col->Width(), Wide);
}

// ---- repaint requests ----------------------------------------------------------------------------------

namespace {

// What is waiting to be painted, in client coordinates.
struct TPending {
    HRGN Rgn = CreateRectRgn(0, 0, 0, 0);
    explicit TPending(HWND Wnd) { GetUpdateRgn(Wnd, Rgn, FALSE); }
    ~TPending() { DeleteObject(Rgn); }
    bool Has(int X, int Y) const { return PtInRegion(Rgn, X, Y); }
};

} // namespace

TEST(GridRepaint, AOneRowScrollPaintsOnlyTheNewRowAndRowOutlinesStayOutlines) {
    TPaintTest t(3, 40);
    // Cells are prepared (and coloured) only inside what is repainted.
    std::set<int> Rows;
    int Cells = 0;
    t.Grid->OnCellColoring = [&](TObject*, int, int r, TColor&, TColor&, TCellState State) {
        if (State.Contains(csEmpty)) return;
        Rows.insert(r);
        ++Cells;
    };
    t.Grid->Perform(UINT(WM_VSCROLL), WPARAM(SB_LINEDOWN), LPARAM(0));
    t.Harness.Pump();
    EXPECT_EQ(t.Grid->FirstRow(), 1);
    EXPECT_EQ(Rows, std::set<int>({10}));
    EXPECT_EQ(Cells, 3);

    const HWND Wnd = t.Grid->Handle();
    t.Grid->RefreshRow(3, true);
    {
        TPending P(Wnd);
        EXPECT_TRUE(P.Has(0, t.RowTop(2)));
        EXPECT_TRUE(P.Has(100, t.RowTop(2) + 16));
        EXPECT_FALSE(P.Has(100, t.RowTop(2) + 8));
    }
    t.Harness.Pump();
    t.Grid->RefreshCell(1, 4);
    {
        TPending P(Wnd);
        EXPECT_TRUE(P.Has(80 + 80, t.RowTop(3) + 16)); // grown by the line under it
        EXPECT_FALSE(P.Has(80 + 81, t.RowTop(3) + 8));
        EXPECT_FALSE(P.Has(40, t.RowTop(3) + 8));
    }
    t.Harness.Pump();
    t.Grid->RefreshRowGrid(2);
    {
        TPending P(Wnd);
        EXPECT_TRUE(P.Has(100, t.RowTop(1) + 16));
        EXPECT_FALSE(P.Has(100, t.RowTop(1) + 8));
    }
    t.Harness.Pump();
    t.Grid->RefreshRowsFrom(2, 2);
    {
        TPending P(Wnd);
        EXPECT_TRUE(P.Has(100, t.RowTop(1) + 1));
        EXPECT_TRUE(P.Has(100, t.RowTop(2) + 8));
        EXPECT_FALSE(P.Has(100, t.RowTop(3) + 8));
    }
}

TEST(GridRepaint, TheXorFocusFrameAroundAHorizontalScrollLeavesNoTrace) {
    TPaintTest t(6, 5);
    t.Grid->SetOptions({goHeader, goGrid}); // cell mode: the frame lies on the current cell
    t.Grid->SetSelectedColumn(2);
    t.Grid->SetSelectedRow(1);
    t.Focus(true);
    t.Harness.Pump();
    const HWND Wnd = t.Grid->Handle();
    const auto Window = [&] {
        HDC DC = GetDC(Wnd);
        std::vector<COLORREF> Px;
        for (int y = 0; y < t.Grid->ClientHeight(); ++y)
            for (int x = 0; x < t.Grid->ClientWidth(); ++x) Px.push_back(GetPixel(DC, x, y));
        ReleaseDC(Wnd, DC);
        return Px;
    };
    for (int i = 0; i < 3; ++i) t.Grid->Perform(UINT(WM_HSCROLL), WPARAM(SB_LINEDOWN), LPARAM(0));
    t.Harness.Pump();
    ASSERT_GT(t.Grid->HorzPosition(), 0);
    const auto Scrolled = Window();
    InvalidateRect(Wnd, nullptr, FALSE);
    t.Harness.Pump();
    EXPECT_EQ(Scrolled, Window());
}

// ---- faults the painting must not have -----------------------------------------------------------------

TEST(GridPaintFaults, EmptyRowsWithoutHeightEndAndTheRestIsBackground) {
    TPaintTest t(2, 2);
    t.Grid->SetOptions({goHeader});
    t.Grid->SetColor(0x00FFFF);
    t.Grid->OnMeasuringRowHeight = [](TObject*, int Index, int& Height) {
        if (Index >= 2) Height = 0;
    };
    auto Bmp = t.Paint(); // returns at all
    EXPECT_EQ(Px(Bmp.get(), 40, t.Grid->ClientHeight() - 3), 0x00FFFF);
    EXPECT_EQ(Px(Bmp.get(), 40, 18 + 2 * 16 + 1), 0x00FFFF);
}

TEST(GridPaintFaults, ARaisingSetCellHandlerLeavesTheGridPaintable) {
    TPaintTest t(2, 2);
    t.Grid->Columns()->Item(1)->OnSetCell = [](TObject*, int, int, const TRect&, TCellState) {
        throw std::runtime_error("handler failed");
    };
    EXPECT_ANY_THROW(t.Grid->Perform(UINT(WM_PAINT), WPARAM(components_test::Paper(300, 200)->Canvas()->Handle()), LPARAM(0)));
    EXPECT_FALSE(t.Grid->Updating());
    EXPECT_EQ(t.Grid->PaintingCell(), TPoint(-1, -1));
    t.Grid->Columns()->Item(1)->OnSetCell = nullptr;
    int Cells = 0;
    t.Grid->KW_AfterDrawCell = [&](TObject*, int, int, const TRect&, TCellState) { ++Cells; };
    t.Paint();
    EXPECT_EQ(Cells, 4);
}

TEST(GridPaintTree, ParentsAndSiblingsWhilePaintingAnswerAsTheScansDo) {
    TPaintTest t(1, 3);
    TReportGrid* g = t.Grid;
    g->AddChildRow(0, crLast); // 1: child of 0
    g->AddChildRow(1, crLast); // 2: grandchild
    g->AddChildRow(1, crLast); // 3: grandchild
    g->AddChildRow(0, crLast); // 4: second child of 0
    g->AddChildRow(5, crLast); // 6: child of the second top row (5)
    const int Count = g->RowCount();
    std::vector<int> Parents, Siblings;
    for (int r = 0; r < Count; ++r) {
        Parents.push_back(g->GetParent(r));
        Siblings.push_back(g->GetNextSibling(r));
    }
    EXPECT_EQ(Parents, std::vector<int>({-1, 0, 1, 1, 0, -1, 5, -1}));
    EXPECT_EQ(Siblings, std::vector<int>({5, 4, 3, -1, -1, 7, -1, -1}));
    std::vector<int> PaintedParents, PaintedSiblings;
    g->OnPostDraw = [&](TObject*) {
        for (int r = 0; r < Count; ++r) {
            PaintedParents.push_back(g->GetParent(r));
            PaintedSiblings.push_back(g->GetNextSibling(r));
        }
    };
    t.Paint();
    EXPECT_EQ(PaintedParents, Parents);
    EXPECT_EQ(PaintedSiblings, Siblings);
}
