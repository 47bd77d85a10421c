// tests/grid/ColumnsTest.cpp: columns, their parts, the column collection's two orders and layout, and
// the footer formulas.
#include "GridFixture.h"

#include <cmath>

using namespace grid_test;

namespace {

struct TChangeLog {
    std::vector<std::pair<TColumnChangeKind, int>> Changes;
    void Watch(TRgColumns& Columns) {
        Columns.OnColumnChange = [this](rtl::TObject*, TRgCustomColumn*, TColumnChangeKind Kind, int Param) {
            Changes.emplace_back(Kind, Param);
        };
    }
};

// ---- auto-size ----

struct AutoSizeCase {
    const char* Name;
    int ClientWidth;
    bool Indicator;
    std::vector<int> Widths;
    std::vector<bool> AutoSize;
    std::vector<int> MinWidths;
    std::vector<int> Expected;
};

class AutoSize : public ::testing::TestWithParam<AutoSizeCase> {};

TEST_P(AutoSize, SharesTheFreeWidthWithTheCarriedPixel) {
    const auto& c = GetParam();
    TGridData G;
    G.Host.Indicator = c.Indicator;
    G.Host.Width = c.ClientWidth;
    G.Host.Loading = true; // set the stage without resizing
    std::vector<TRgCustomColumn*> Cols;
    for (size_t i = 0; i < c.Widths.size(); ++i) {
        auto* C = G.Add(ctString);
        C->SetWidth(c.Widths[i]);
        C->SetMinWidth(c.MinWidths.empty() ? 8 : c.MinWidths[i]);
        Cols.push_back(C);
    }
    for (size_t i = 0; i < Cols.size(); ++i)
        if (c.AutoSize[i]) Cols[i]->SetOptions(Cols[i]->Options() + TColumnOptions{coAutoSize});
    G.Host.Loading = false;
    G.Columns.UpdateColumns(false);
    G.Columns.ResizeColumns(nullptr, false);
    std::vector<int> Widths;
    for (auto* C : Cols) Widths.push_back(C->Width());
    EXPECT_EQ(Widths, c.Expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, AutoSize, ::testing::Values(
    AutoSizeCase{"TwoColumnsOddSpace", 301, false, {100, 100}, {true, true}, {}, {150, 151}},
    AutoSizeCase{"SingleTakesAll", 301, false, {100}, {true}, {}, {301}},
    AutoSizeCase{"FixedColumnFirst", 301, false, {50, 100, 100}, {false, true, true}, {}, {50, 125, 126}},
    AutoSizeCase{"IndicatorTakesItsStrip", 313, true, {100, 100}, {true, true}, {}, {150, 151}},
    AutoSizeCase{"WholeCarryGoesToTheNextColumn", 402, false, {100, 100, 200}, {true, true, true}, {}, {100, 101, 201}},
    AutoSizeCase{"ThreeThirds", 100, false, {10, 10, 10}, {true, true, true}, {}, {33, 33, 34}},
    AutoSizeCase{"NeverBelowMinWidth", 100, false, {90, 50}, {false, true}, {8, 40}, {90, 40}}),
    [](const auto& Info) { return std::string(Info.param.Name); });

// ---- the two orders ----

TEST(ColumnOrders, MoveChangesTheItemOrderAndTheCellLists) {
    TGridData G;
    for (int i = 0; i < 3; ++i) G.Add(ctString)->SetName(QStringLiteral("c%1").arg(i));
    G.Cells.AddRow();
    G.Cell(0, 0)->SetAsString(u"first"_qs);
    TRgCustomColumn* First = G.Columns.Item(0);
    G.Columns.Move(0, 2);
    EXPECT_EQ(First->Index(), 2);
    EXPECT_EQ(G.Cell(2, 0)->AsString(), u"first"_qs);
    EXPECT_EQ(G.Columns.PositionItem(0), First); // the display order stays
    G.Columns.Move(0, 5);                         // outside the collection: nothing
    EXPECT_EQ(First->Index(), 2);
    First->SetIndex(1);
    EXPECT_EQ(G.Columns.Item(1), First);
    EXPECT_EQ(G.Cell(1, 0)->AsString(), u"first"_qs);
}

TEST(ColumnOrders, ChangePositionMovesOnlyTheDisplayOrder) {
    TGridData G;
    for (int i = 0; i < 3; ++i) G.Add(ctString)->SetWidth(10 * (i + 1));
    G.Cells.AddRow();
    G.Cell(2, 0)->SetAsString(u"third"_qs);
    TRgCustomColumn* Third = G.Columns.Item(2);
    TChangeLog Log;
    Log.Watch(G.Columns);
    G.Columns.ChangePosition(2, 0);
    EXPECT_EQ(Third->Index(), 2);
    EXPECT_EQ(Third->Position(), 0);
    EXPECT_EQ(Third->Left(), 0);
    EXPECT_EQ(G.Columns.Item(0)->Position(), 1);
    EXPECT_EQ(G.Columns.Item(0)->Left(), 30);
    EXPECT_EQ(G.Cell(2, 0)->AsString(), u"third"_qs);
    EXPECT_EQ(Log.Changes, (std::vector<std::pair<TColumnChangeKind, int>>{{ccPosition, 2}}));

    // Through the property: the collection's notice, then the column's own.
    Log.Changes.clear();
    Third->SetPosition(2);
    EXPECT_EQ(G.Columns.PositionItem(2), Third);
    EXPECT_EQ(Log.Changes, (std::vector<std::pair<TColumnChangeKind, int>>{{ccPosition, 0}, {ccPosition, -1}}));
}

TEST(ColumnLayout, LeftAndVisibleIndexFollowTheDisplayOrderAfterTheIndicator) {
    TGridData G;
    G.Host.Indicator = true;
    for (int w : {40, 50, 60}) G.Add(ctString)->SetWidth(w);
    auto* Middle = G.Columns.Item(1);
    EXPECT_EQ(G.Columns.Item(0)->Left(), 12);
    EXPECT_EQ(Middle->Left(), 52);
    EXPECT_EQ(G.Columns.Item(2)->Left(), 102);
    TChangeLog Log;
    Log.Watch(G.Columns);
    Middle->SetVisible(false);
    EXPECT_EQ(Middle->VisibleIndex(), -1);
    EXPECT_EQ(G.Columns.Item(2)->Left(), 52);
    EXPECT_EQ(G.Columns.Item(2)->VisibleIndex(), 1);
    EXPECT_EQ(G.Columns.ClientWidth(), 100);
    EXPECT_EQ(Log.Changes.front(), std::make_pair(ccVisible, -1));
    EXPECT_EQ(G.Columns.Item(2)->Location(), clRightSide);
    EXPECT_EQ(G.Columns.Item(0)->NextColumn(), G.Columns.Item(2));
    EXPECT_EQ(G.Columns.Item(2)->NextColumn(), G.Columns.Item(2));
    EXPECT_TRUE(G.Columns.Item(0)->First());
    G.Columns.Item(2)->SetEnabled(false);
    EXPECT_TRUE(G.Columns.Item(0)->Last());
    EXPECT_EQ(G.Columns.Item(0)->PrevColumn(), G.Columns.Item(0));
}

TEST(ColumnLayout, WidthChangeReportsTheDifferenceAndResizesAutoSizeColumnsToTheRight) {
    TGridData G;
    G.Host.Width = 200;
    auto* Fixed = G.Add(ctString);
    auto* Auto = G.Add(ctString);
    Auto->SetOptions(Auto->Options() + TColumnOptions{coAutoSize});
    EXPECT_EQ(Auto->Width(), 120);
    TChangeLog Log;
    Log.Watch(G.Columns);
    Fixed->SetWidth(100);
    EXPECT_EQ(Auto->Width(), 100);
    EXPECT_EQ(Auto->Left(), 100);
    EXPECT_EQ(Log.Changes.front(), std::make_pair(ccWidth, 20));
    Fixed->SetWidth(3);
    EXPECT_EQ(Fixed->Width(), 8); // MinWidth
}

TEST(ColumnLayout, LoadingOnlyStoresTheLayoutProperties) {
    TGridData G;
    auto* C = new TTypedColumn(&G.Form, ctString);
    G.Form.BeginLoading();
    G.Columns.JoinLoading(C);
    C->SetWidth(3);
    C->SetPosition(0);
    EXPECT_EQ(C->Width(), 3);
    EXPECT_EQ(G.Columns.PositionOf(C), -1);
    G.Form.EndLoading();
    EXPECT_EQ(G.Columns.PositionItem(0), C);
    EXPECT_EQ(G.Cells.ColCount(), 1);
}

// ---- exclusive settings ----

TEST(ColumnSettings, OneSortedColumnAndOneSearchColumn) {
    TGridData G;
    auto* A = G.Add(ctString);
    auto* B = G.Add(ctString);
    auto* Tree = G.Add<TRgTreeColumn>();
    TChangeLog Log;
    Log.Watch(G.Columns);
    A->SetSorted(true);
    B->SetSorted(true);
    EXPECT_FALSE(A->Sorted());
    EXPECT_TRUE(B->Sorted());
    EXPECT_EQ(Log.Changes.back(), std::make_pair(ccSorted, -1));
    Tree->SetSorted(true);
    EXPECT_FALSE(Tree->Sorted());
    EXPECT_TRUE(B->Sorted());

    A->SetOptions(A->Options() + TColumnOptions{coSearchColumn});
    B->SetOptions(B->Options() + TColumnOptions{coSearchColumn});
    EXPECT_FALSE(A->Options().Contains(coSearchColumn));
    EXPECT_TRUE(B->Options().Contains(coSearchColumn));
}

TEST(ColumnSettings, StateFollowsEditingOnlyWhereTheColumnCanEdit) {
    TGridData G;
    auto* Text = G.Add<TRgTextColumn>();
    auto* Image = G.Add<TRgImageColumn>();
    Text->SetEditing(true);
    Image->SetEditing(true);
    EXPECT_EQ(Text->ColumnState(), (TColumnState{ceEditable, ceCanInput}));
    EXPECT_TRUE(Image->ColumnState().Empty());
    auto* Editor = new rtl::TComponent(nullptr);
    Image->SetInplaceEdit(Editor);
    EXPECT_EQ(Image->ColumnState(), (TColumnState{ceEditable, ceCanInput}));
    delete Editor; // the column lets go of a freed editor
    EXPECT_EQ(Image->InplaceEdit(), nullptr);
    Text->SetEnabled(false);
    EXPECT_TRUE(Text->ColumnState().Empty());
}

TEST(ColumnParts, HeaderKeepsParentFontWhenAFontIsAssigned) {
    TGridData G;
    auto* C = G.Add(ctString);
    TChangeLog Log;
    Log.Watch(G.Columns);
    vcl::TFont Font;
    Font.SetStyle({vcl::fsBold});
    C->Header()->SetFont(&Font);
    EXPECT_TRUE(C->Header()->ParentFont());
    EXPECT_EQ(C->Header()->Font()->Style(), vcl::TFontStyles{vcl::fsBold});
    EXPECT_EQ(Log.Changes.size(), 1u);
    // The column's own font is another matter: setting it ends ParentFont.
    C->Font()->SetStyle({vcl::fsItalic});
    EXPECT_FALSE(C->ParentFont());
}

TEST(ColumnParts, ParentFontCopiesTheGridFontAndStaysSet) {
    TGridData G;
    auto* C = G.Add(ctString);
    G.Host.GridFont.SetStyle({vcl::fsBold});
    G.Host.GridFont.SetColor(0x112233);
    C->SetParentFont(true);
    EXPECT_TRUE(C->ParentFont());
    EXPECT_EQ(C->Font()->Style(), vcl::TFontStyles{vcl::fsBold});
    EXPECT_EQ(C->Font()->Color(), 0x112233);
    // New cells take the column font's style and colour.
    G.Cells.AddRow();
    EXPECT_EQ(G.Cell(0, 0)->FontStyle(), vcl::TFontStyles{vcl::fsBold});
    EXPECT_EQ(G.Cell(0, 0)->TextColor(), 0x112233);
}

TEST(ColumnParts, GlyphTakesItsBottomLeftPixelAsTransparentColour) {
    TGridData G;
    auto* C = G.Add(ctString);
    TChangeLog Log;
    Log.Watch(G.Columns);
    vcl::TBitmap Glyph(3, 2);
    Glyph.Canvas()->SetPixels(0, 1, 0x0000FF);
    Glyph.Canvas()->SetPixels(0, 0, 0x00FF00);
    C->Header()->SetGlyph(&Glyph);
    EXPECT_TRUE(C->Header()->Glyph()->Transparent());
    EXPECT_EQ(C->Header()->Glyph()->TransparentColor(), 0x0000FF);
    EXPECT_FALSE(Log.Changes.empty());
    for (const auto& Change : Log.Changes) EXPECT_EQ(Change.first, ccUndefined);
}

TEST(ColumnParts, FooterAssignCopiesSettingsButNotTheResult) {
    TGridData G;
    auto* A = G.Add(ctFloat);
    auto* B = G.Add(ctFloat);
    A->Footer()->SetFormulaKind(fkSum);
    A->Footer()->SetTextBefore(u"Σ "_qs);
    A->Footer()->SetCaption(u"12"_qs);
    A->Footer()->SetFormulaValue(12);
    B->Footer()->Assign(A->Footer());
    EXPECT_EQ(B->Footer()->FormulaKind(), fkSum);
    EXPECT_EQ(B->Footer()->TextBefore(), u"Σ "_qs);
    EXPECT_EQ(B->Footer()->Caption(), u""_qs);
    EXPECT_EQ(B->Footer()->FormulaValue(), 0);
}

TEST(ColumnParts, CellInfoOfARowNumberCountsFromOne) {
    TGridData G;
    G.Add(ctAutoInc);
    G.Add<TRgTextColumn>();
    G.Cells.AddRow(3);
    const TCellInfo Info = GetCellInfo(G.Cell(0, 2), ctAutoInc);
    EXPECT_EQ(Info.AsInteger, 3);
    EXPECT_EQ(G.Columns.Item(1)->GetDrawText(Info), u"3"_qs);
}

TEST(ColumnMeasure, BestFitAddsTheMarginsAndKeepsTheMinimum) {
    TGridData G;
    auto* Base = G.Add(ctString);
    auto* Text = G.Add<TRgTextColumn>();
    EXPECT_EQ(Base->GetCellBestFit(u"abc"_qs), 21 + 6);
    EXPECT_EQ(Base->GetCellBestFit(u""_qs), 8);
    EXPECT_EQ(Text->GetCellBestFit(u"abc"_qs), 21 + 5);
}

TEST(ColumnMeasure, TheCanvasMeasuresInTheColumnFont) {
    TCanvasTextMeasurer Measurer;
    vcl::TFont Font;
    Font.SetName(u"DejaVu Sans"_qs);
    Font.SetSize(10);
    const int Narrow = Measurer.TextWidth(u"iiii"_qs, &Font);
    const int Wide = Measurer.TextWidth(u"WWWW"_qs, &Font);
    EXPECT_GT(Narrow, 0);
    EXPECT_GT(Wide, 2 * Narrow);
    Font.SetSize(20);
    EXPECT_GT(Measurer.TextWidth(u"WWWW"_qs, &Font), Wide * 3 / 2);
}

// ---- footer formulas ----

struct TFooterGrid {
    TGridData G;
    TRgCustomColumn* Number;
    TRgCustomColumn* Text;
    explicit TFooterGrid(const std::vector<double>& Values, const std::vector<QString>& Texts = {}) {
        Number = G.Add(ctFloat);
        Text = G.Add(ctString);
        G.Cells.AddRow(int(Values.size()));
        for (int r = 0; r < int(Values.size()); ++r) {
            G.Cell(0, r)->SetAsFloat(Values[r]);
            if (!Texts.empty()) G.Cell(1, r)->SetAsString(Texts[r]);
        }
    }
    double Run(TRgCustomColumn* Column, TFormulaKind Kind, bool VisibleOnly = true) {
        Column->Footer()->SetFormulaKind(Kind);
        CalculateFooter(&G.Columns, &G.Cells, VisibleOnly);
        return Column->Footer()->FormulaValue();
    }
};

TEST(FooterFormulas, AggregateTheRowsThatTakePart) {
    TFooterGrid F({-5, -3, -9});
    EXPECT_EQ(F.Run(F.Number, fkMaximum), -3);
    EXPECT_EQ(F.Number->Footer()->Caption(), u"-3"_qs);
    EXPECT_EQ(F.Run(F.Number, fkMinimum), -9);
    EXPECT_EQ(F.Run(F.Number, fkSum), -17);
    EXPECT_EQ(F.Run(F.Number, fkCount), 3);
    TFooterGrid Avg({1, 2, 3, 4});
    EXPECT_EQ(Avg.Run(Avg.Number, fkAverage), 2.5);
    EXPECT_EQ(Avg.Number->Footer()->Caption(), u"2.5"_qs);
}

TEST(FooterFormulas, RowZeroCountsForMaximumAndMinimum) {
    TFooterGrid F({9, 1, 5});
    EXPECT_EQ(F.Run(F.Number, fkMaximum), 9);
    TFooterGrid G2({-9, 1, 5});
    EXPECT_EQ(G2.Run(G2.Number, fkMinimum), -9);
}

TEST(FooterFormulas, WithoutRowsEveryFormulaShowsZero) {
    TFooterGrid F({});
    F.Text->Footer()->SetFormulaKind(fkDistinct);
    EXPECT_EQ(F.Run(F.Number, fkMaximum), 0);
    EXPECT_EQ(F.Number->Footer()->Caption(), u"0"_qs);
    EXPECT_EQ(F.Text->Footer()->Caption(), u"0"_qs);
}

TEST(FooterFormulas, DistinctCountsTextsIgnoringCaseWithoutReadingNumbers) {
    TFooterGrid F({1, 2, 3, 4}, {u"Apple"_qs, u"apple"_qs, u"Éclair"_qs, u"éclair"_qs});
    EXPECT_EQ(F.Run(F.Text, fkDistinct), 2);
}

TEST(FooterFormulas, HiddenRowsTakePartUnlessVisibleOnly) {
    TFooterGrid F({100, 2, 3});
    F.G.Cells.ShowRow(0, false);
    EXPECT_EQ(F.Run(F.Number, fkMaximum, true), 3);
    EXPECT_EQ(F.Run(F.Number, fkMaximum, false), 100);
    EXPECT_EQ(F.Run(F.Number, fkSum, false), 105);
}

TEST(FooterFormulas, RejectedRowsAreLeftOutEverywhere) {
    TFooterGrid F({50, 1, 2, 3});
    F.G.Host.AcceptRow = [](int Row) { return Row != 0; };
    EXPECT_EQ(F.Run(F.Number, fkMaximum), 3);
    EXPECT_EQ(F.Run(F.Number, fkSum), 6);
    EXPECT_EQ(F.Run(F.Number, fkAverage), 2); // divided by the three rows taking part
    EXPECT_EQ(F.Run(F.Number, fkCount), 3);
}

TEST(FooterFormulas, CustomValueComesFromTheGrid) {
    TFooterGrid F({1});
    F.G.Host.FooterValue = [](int ACol, double& Value) { Value = 40 + ACol; };
    EXPECT_EQ(F.Run(F.Number, fkCustom), 40);
}

TEST(FooterFormulas, TextThatIsNoNumberFailsTheSum) {
    TFooterGrid F({1, 2}, {u"x"_qs, u"y"_qs});
    EXPECT_THROW(F.Run(F.Text, fkSum), rtl::EConvertError);
}

} // namespace
