// tests/grid/CellPaintersTest.cpp
#include "grid/CellPainters.h"

#include "tests/grid/GridFixture.h"
#include "tests/grid/PaintFixture.h"
#include "vcl/ImgList.h"

#include <gtest/gtest.h>

namespace grid_test {
namespace {

using namespace grid;
using vcl::TColor;
using vcl::TRect;

struct CellPainting : ::testing::Test {
    TGridData Grid;
    std::unique_ptr<vcl::TBitmap> Bmp = Paper(120, 40);

    template <class Column> Column* Add() { return Grid.Add<Column>(); }
    // A display of the column's class on the paper, for the cell Cell.
    std::unique_ptr<TColumnDisplay> Display(TRgCustomColumn* C, const TRect& Cell = TRect(0, 0, 40, 20)) {
        auto D = CreateColumnDisplay(C);
        D->SetCanvas(Bmp->Canvas());
        D->SetClientRect(Cell);
        Bmp->Canvas()->Font()->SetColor(vcl::clBlack);
        return D;
    }
    std::unique_ptr<TColumnPlay> Play(TRgCustomColumn* C, const TRect& Cell = TRect(0, 0, 40, 20)) {
        auto P = CreateColumnPlay(C);
        P->SetClientRect(Cell);
        return P;
    }
    TColor At(int x, int y) { return Px(Bmp.get(), x, y); }
};

// An image list of Count 6x6 images, image i filled with colour 0x10 * (i + 1).
std::unique_ptr<vcl::TImageList> SquareImages(int Count) {
    auto list = std::make_unique<vcl::TImageList>(nullptr, 6, 6);
    for (int i = 0; i < Count; ++i) {
        vcl::TBitmap b(6, 6);
        b.Canvas()->Brush()->SetColor(0x10 * (i + 1));
        b.Canvas()->FillRect(TRect(0, 0, 6, 6));
        list->Add(&b, nullptr);
    }
    return list;
}

TEST_F(CellPainting, EachColumnClassHasItsDisplayAndPlay) {
    EXPECT_NE(dynamic_cast<TTextColumnDisplay*>(CreateColumnDisplay(Add<TRgTextColumn>()).get()), nullptr);
    EXPECT_NE(dynamic_cast<TNumberColumnDisplay*>(CreateColumnDisplay(Add<TRgNumberColumn>()).get()),
              nullptr);
    EXPECT_NE(dynamic_cast<TCheckBoxColumnDisplay*>(CreateColumnDisplay(Add<TRgCheckBoxColumn>()).get()),
              nullptr);
    EXPECT_NE(dynamic_cast<TImageColumnDisplay*>(CreateColumnDisplay(Add<TRgImageColumn>()).get()), nullptr);
    EXPECT_NE(dynamic_cast<TTreeColumnDisplay*>(CreateColumnDisplay(Add<TRgTreeColumn>()).get()), nullptr);
    EXPECT_EQ(CreateColumnPlay(Grid.Columns.Item(0)), nullptr);
    EXPECT_NE(dynamic_cast<TCheckBoxColumnPlay*>(CreateColumnPlay(Grid.Columns.Item(2)).get()), nullptr);
    EXPECT_NE(dynamic_cast<TTreeColumnPlay*>(CreateColumnPlay(Grid.Columns.Item(4)).get()), nullptr);
}

// ---- text ----

TEST_F(CellPainting, TextFlagsFollowTheColumn) {
    auto* c = Add<TRgTextColumn>();
    auto d = Display(c);
    EXPECT_EQ(d->TextFlags(true), UINT(DT_NOPREFIX | DT_VCENTER | DT_END_ELLIPSIS | DT_SINGLELINE));
    EXPECT_EQ(d->TextFlags(false), UINT(DT_NOPREFIX | DT_VCENTER | DT_SINGLELINE))
        << "no ellipsis when measuring";
    c->SetAlignment(taRightJustify);
    c->SetVerticalAlignment(taAlignBottom);
    c->SetWrapKind(wkPathEllipsis);
    c->SetBiDiMode(bdRightToLeft);
    EXPECT_EQ(d->TextFlags(true),
              UINT(DT_NOPREFIX | DT_RTLREADING | DT_RIGHT | DT_BOTTOM | DT_PATH_ELLIPSIS | DT_SINGLELINE));
    c->SetWrapKind(wkWordWrap);
    c->SetAlignment(taCenter);
    c->SetBiDiMode(bdLeftToRight);
    c->SetVerticalAlignment(taAlignTop);
    EXPECT_EQ(d->TextFlags(true), UINT(DT_NOPREFIX | DT_CENTER | DT_WORDBREAK | DT_EDITCONTROL));
    c->SetWrapKind(wkNone);
    c->SetMultiLine(true);
    EXPECT_EQ(d->TextFlags(true), UINT(DT_NOPREFIX | DT_CENTER));
}

TEST_F(CellPainting, TextCellsDrawTheColumnsDrawTextInTheTextRectangle) {
    auto* c = Add<TRgTextColumn>();
    c->SetTextBefore(QStringLiteral("["));
    c->SetAlignment(taRightJustify);
    auto d = Display(c, TRect(10, 0, 110, 20));
    EXPECT_EQ(d->GetTextRect(), TRect(12, 0, 108, 20));
    d->SetAsString(QStringLiteral("x"));
    d->Paint();
    EXPECT_EQ(Inked(Bmp.get(), TRect(0, 0, 60, 40)), 0);
    EXPECT_EQ(Inked(Bmp.get(), TRect(108, 0, 120, 40)), 0);
    EXPECT_GT(Inked(Bmp.get(), TRect(90, 0, 108, 20)), 0);

    // the column's draw text, not the raw value: "[x" is wider than "x"
    auto plain = Paper(120, 40);
    auto p = CreateColumnDisplay(Add<TRgTextColumn>());
    p->SetCanvas(plain->Canvas());
    p->SetClientRect(TRect(10, 0, 110, 20));
    Grid.Columns.Item(1)->SetAlignment(taRightJustify);
    p->SetAsString(QStringLiteral("x"));
    p->Paint();
    EXPECT_LT(FirstInkedColumn(Bmp.get(), TRect(0, 0, 120, 20)),
              FirstInkedColumn(plain.get(), TRect(0, 0, 120, 20)));
}

TEST_F(CellPainting, MultiLineTextIsPlacedByItsMeasuredHeight) {
    auto* c = Add<TRgTextColumn>();
    c->SetMultiLine(true);
    c->SetVerticalAlignment(taAlignBottom);
    auto d = Display(c, TRect(0, 0, 100, 40));
    d->DrawCellText(QStringLiteral("a\nb"), TRect(0, 0, 100, 40));
    const int h = Bmp->Canvas()->TextHeight(QStringLiteral("a")) * 2;
    EXPECT_EQ(Inked(Bmp.get(), TRect(0, 0, 100, 40 - h)), 0);
    EXPECT_GT(Inked(Bmp.get(), TRect(0, 40 - h, 100, 40)), 0);
    EXPECT_EQ(Bmp->Canvas()->Brush()->Style(), vcl::bsSolid);
}

TEST_F(CellPainting, HintMarkAndBackground) {
    auto d = Display(Add<TRgTextColumn>(), TRect(0, 0, 40, 20));
    d->PaintBackground(0x00FFFF, false);
    EXPECT_EQ(At(0, 10), 0x00FFFF);
    EXPECT_EQ(At(20, 10), kPaper) << "not a client cell: framed only";
    d->PaintBackground(0x00FFFF, true);
    EXPECT_EQ(At(20, 10), 0x00FFFF);
    d->DrawHintMark();
    EXPECT_EQ(At(38, 0), vcl::clRed);
    EXPECT_EQ(At(39, 3), vcl::clRed);
    EXPECT_EQ(At(35, 3), 0x00FFFF);
}

// ---- check boxes ----

TEST_F(CellPainting, ClassicCheckBoxShowsItsTickWhenTrue) {
    auto* c = Add<TRgCheckBoxColumn>();
    for (bool checked : {false, true}) {
        Bmp = Paper(40, 20);
        auto d = Display(c);
        d->SetAsBoolean(checked);
        d->Paint();
        // 11 pixels, margin 2 from the left, centred: (2, 5) to (13, 16)
        EXPECT_EQ(At(2, 5), Rgb(vcl::clBtnShadow));
        EXPECT_EQ(At(12, 15), Rgb(vcl::clBtnShadow));
        EXPECT_EQ(At(13, 16), kPaper);
        EXPECT_EQ(At(10, 12), Rgb(vcl::clWindow));
        for (int dy : {0, 1, 2})
            EXPECT_EQ(At(5, 10 + dy), Rgb(checked ? vcl::clWindowText : vcl::clWindow)) << dy;
        EXPECT_EQ(At(5, 13), Rgb(vcl::clWindow)) << "three rows of tick";
        EXPECT_EQ(d->GetContentWidth(), 11);
    }
    auto d = Display(c);
    static_cast<TCheckBoxColumnDisplay*>(d.get())->DrawCheckBox(TRect(0, 0, 40, 20), false, false, true);
    EXPECT_EQ(At(10, 12), Rgb(vcl::clBtnFace)) << "a pressed box";
}

// Native themes make the system style enabled, so the box takes the style's 16 pixels; the content
// width stays the theme's 13.
TEST_F(CellPainting, ThemedCheckBoxTakesTheStyleSize) {
    auto* c = Add<TRgCheckBoxColumn>();
    TwSetThemeActive(TRUE);
    struct Off {
        ~Off() { TwSetThemeActive(FALSE); }
    } off;
    auto d = Display(c);
    d->SetAsBoolean(true);
    d->Paint();
    EXPECT_EQ(d->GetContentWidth(), 13);
    EXPECT_EQ(CheckBoxSize(), 16);
    EXPECT_EQ(static_cast<TCheckBoxColumnPlay*>(Play(c).get())->CheckBoxRect(), TRect(1, 2, 17, 18));
    // the style's box in (2, 2, 18, 18)
    EXPECT_GT(Inked(Bmp.get(), TRect(2, 2, 18, 18)), 0);
    EXPECT_EQ(Inked(Bmp.get(), TRect(18, 0, 120, 40)), 0);
    EXPECT_EQ(Inked(Bmp.get(), TRect(0, 18, 120, 40)), 0);
}

TEST_F(CellPainting, CheckBoxTogglesBySpaceAndByAClickInsideTheBox) {
    auto* c = Add<TRgCheckBoxColumn>();
    int playChanges = 0, columnChanges = 0;
    c->OnChange = [&](rtl::TObject*) { ++columnChanges; };
    auto p = Play(c);
    p->OnChange = [&](rtl::TObject*) { ++playChanges; };
    auto* box = static_cast<TCheckBoxColumnPlay*>(p.get());
    EXPECT_EQ(box->CheckBoxRect(), TRect(1, 5, 12, 16));

    rtl::Char space = u' ', other = u'x';
    p->KeyPress(space);
    EXPECT_TRUE(p->AsBoolean());
    EXPECT_EQ(p->AsString(), QStringLiteral("True"));
    p->KeyPress(other);
    EXPECT_EQ(playChanges, 1);
    EXPECT_EQ(columnChanges, 1);

    p->MouseUp(vcl::mbLeft, {}, 30, 10); // outside the box
    EXPECT_EQ(playChanges, 1);
    p->MouseUp(vcl::mbLeft, {}, 5, 10);
    EXPECT_FALSE(p->AsBoolean());
    EXPECT_EQ(p->AsString(), QStringLiteral("False"));
    EXPECT_EQ(columnChanges, 2);

    c->SetOptions(c->Options() - TColumnOptions{coCanClick});
    p->MouseUp(vcl::mbLeft, {}, 5, 10);
    EXPECT_EQ(playChanges, 2) << "a column that cannot be clicked";
}

TEST_F(CellPainting, ShowTakesTheDisplaysValueAndPaintsIt) {
    auto* c = Add<TRgCheckBoxColumn>();
    auto d = Display(c);
    auto p = Play(c);
    p->SetDisplay(d.get());
    d->SetAsBoolean(true);
    p->Show();
    EXPECT_TRUE(p->AsBoolean());
    EXPECT_EQ(At(5, 11), Rgb(vcl::clWindowText));
}

// ---- images ----

TEST_F(CellPainting, ImageCellsDrawOnlyAnImageTheListHas) {
    auto* c = Add<TRgImageColumn>();
    auto images = SquareImages(2);
    auto d = Display(c);
    EXPECT_EQ(d->GetContentWidth(), 0);
    d->SetAsInteger(0);
    d->Paint();
    EXPECT_EQ(Inked(Bmp.get(), TRect(0, 0, 120, 40)), 0) << "no list";
    c->SetImages(images.get());
    EXPECT_EQ(d->GetContentWidth(), 6);
    for (int index : {-1, 2}) {
        d->SetAsInteger(index);
        d->Paint();
        EXPECT_EQ(Inked(Bmp.get(), TRect(0, 0, 120, 40)), 0) << index;
    }
    d->SetAsInteger(1);
    c->SetAlignment(taRightJustify);
    d->Paint();
    // right-aligned with margin 2 in (0, 0, 40, 20): x 32..37, y 7..12
    EXPECT_EQ(At(32, 7), 0x20);
    EXPECT_EQ(At(37, 12), 0x20);
    EXPECT_EQ(At(38, 7), kPaper);
}

// ---- trees ----

TEST_F(CellPainting, TreeTextStartsTwoIndentsAndTheButtonRoomRight) {
    auto* c = Add<TRgTreeColumn>();
    auto d = Display(c, TRect(10, 0, 110, 20));
    d->SetLevel(2);
    const TRect base(12, 0, 108, 20);
    EXPECT_EQ(d->GetTextRect(), TRect(base.Left + 2 * 19 + 16, 0, 108, 20));
    auto images = SquareImages(1);
    c->SetImages(images.get());
    EXPECT_EQ(d->GetTextRect().Left, base.Left + 2 * 19 + 16 + 6);
    d->SetAsString(QString());
    EXPECT_EQ(d->GetContentWidth(), d->GetTextSize().cx + 2 * 19 + 16);
}

TEST_F(CellPainting, TreeImageStandsRightOfTheButtonRoom) {
    auto* c = Add<TRgTreeColumn>();
    auto images = SquareImages(1);
    c->SetImages(images.get());
    auto d = Display(c, TRect(0, 0, 100, 20));
    d->SetLevel(1);
    d->SetImageIndex(0);
    d->Paint();
    // x = 19 + 16, centred: y 7..12
    EXPECT_EQ(FirstInkedColumn(Bmp.get(), TRect(0, 0, 100, 20)), 35);
    EXPECT_EQ(At(35, 7), 0x10);
    EXPECT_EQ(At(40, 12), 0x10);
    EXPECT_EQ(At(35, 6), kPaper);
    Bmp = Paper(120, 40);
    auto beyond = Display(c, TRect(0, 0, 100, 20));
    beyond->SetImageIndex(1); // the list has one image
    beyond->Paint();
    EXPECT_EQ(Inked(Bmp.get(), TRect(0, 0, 100, 20)), 0);
}

TEST_F(CellPainting, TreeButtonShowsMinusOrPlus) {
    auto* c = Add<TRgTreeColumn>();
    for (bool expanded : {true, false}) {
        Bmp = Paper(120, 40);
        auto d = Display(c, TRect(0, 0, 100, 20));
        d->SetLevel(1);
        d->SetChildCount(3);
        d->SetExpanded(expanded);
        d->Paint();
        // box at (0 + 19 + 2, 10 - 5) = (21, 5), 9 by 9
        EXPECT_EQ(At(21, 5), Rgb(vcl::clGrayText));
        EXPECT_EQ(At(29, 13), Rgb(vcl::clGrayText));
        EXPECT_EQ(At(24, 9), vcl::clBlack) << "minus";
        EXPECT_EQ(At(25, 7), expanded ? kPaper : vcl::clBlack) << "plus only when collapsed";
    }
    Bmp = Paper(120, 40);
    auto leaf = Display(c, TRect(0, 0, 100, 20));
    leaf->Paint();
    EXPECT_EQ(Inked(Bmp.get(), TRect(0, 0, 100, 20)), 0) << "no children, no lines: nothing";
}

TEST_F(CellPainting, TreeLinesAskTheParentQueryLevelByLevel) {
    auto* c = Add<TRgTreeColumn>();
    c->SetShowLines(true);
    c->SetShowButtons(false);
    auto d = Display(c, TRect(0, 10, 100, 30));
    d->SetLevel(1);
    d->SetRowIndex(7);
    std::vector<int> asked;
    // level 1 has a next sibling, level 0 has none
    d->OnParentRow = [&](int& ARow, int& NextSibling) {
        asked.push_back(ARow);
        NextSibling = asked.size() == 1 ? 8 : -1;
        ARow = ARow - 1;
    };
    d->Paint();
    EXPECT_EQ(asked, (std::vector<int>{7, 6}));
    const TColor line = Rgb(vcl::clGrayText);
    const int m = 20; // Round(10 + 20 / 2)
    EXPECT_EQ(At(25, 10), line) << "x(1) = 19 + 6, through the whole cell";
    EXPECT_EQ(At(25, 29), line);
    EXPECT_EQ(At(6, 15), kPaper) << "no line at level 0";
    EXPECT_EQ(At(27, m - 1), line) << "connector";
    EXPECT_EQ(At(33, m - 1), line);
    EXPECT_EQ(At(34, m - 1), kPaper);
}

TEST_F(CellPainting, FirstTreeRowStartsItsLineAtItsMiddleAndRunsToTheClipBottom) {
    auto* c = Add<TRgTreeColumn>();
    c->SetShowLines(true);
    auto d = Display(c, TRect(0, 10, 100, 30));
    d->SetIsFirst(true);
    d->OnParentRow = [](int&, int& NextSibling) { NextSibling = 1; };
    d->Paint();
    EXPECT_EQ(At(6, 15), kPaper);
    EXPECT_EQ(At(6, 20), Rgb(vcl::clGrayText));
    EXPECT_EQ(At(6, 39), Rgb(vcl::clGrayText)) << "below the cell, down to the clip rectangle's bottom";
}

TEST_F(CellPainting, LastTreeRowStopsAtItsMiddle) {
    auto* c = Add<TRgTreeColumn>();
    c->SetShowLines(true);
    auto d = Display(c, TRect(0, 0, 100, 20));
    d->SetIsLast(true);
    d->OnParentRow = [](int&, int& NextSibling) { NextSibling = -1; };
    d->Paint();
    EXPECT_EQ(At(6, 0), Rgb(vcl::clGrayText));
    EXPECT_EQ(At(6, 9), Rgb(vcl::clGrayText));
    EXPECT_EQ(At(6, 11), kPaper);
}

TEST_F(CellPainting, TreePlayExpandsUnlessLocked) {
    auto* c = Add<TRgTreeColumn>();
    c->SetPadding(4);
    auto p = Play(c, TRect(0, 0, 100, 20));
    p->SetLevel(1);
    int expands = 0;
    p->OnExpand = [&](rtl::TObject*) { ++expands; };
    auto* tree = static_cast<TTreeColumnPlay*>(p.get());
    EXPECT_EQ(tree->ButtonRect(), TRect(19 + 4 + 2, 5, 19 + 4 + 2 + 9, 14)) << "moved by the padding";
    rtl::Char plus = u'+', minus = u'-', other = u'a';
    p->KeyPress(plus);
    p->KeyPress(minus);
    p->KeyPress(other);
    p->MouseUp(vcl::mbLeft, {}, 26, 6);
    p->MouseUp(vcl::mbLeft, {}, 22, 6); // left of the button
    EXPECT_EQ(expands, 3);
    c->SetExpandLock(true);
    p->KeyPress(plus);
    p->MouseUp(vcl::mbLeft, {}, 26, 6);
    EXPECT_EQ(expands, 3);
}

} // namespace
} // namespace grid_test
