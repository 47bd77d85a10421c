// tests/grid/PaintersTest.cpp
#include "grid/Painters.h"

#include "tests/grid/GridFixture.h"
#include "tests/grid/PaintFixture.h"
#include "vcl/MaskUtils.h"
#include "vcl/Themes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace grid_test {
namespace {

using namespace grid;
using vcl::TColor;
using vcl::TRect;

constexpr TColor kFace = 0x00FF00; // header colour
constexpr TColor kGridColor = 0x00C0C0;

// A grid as the painters see it: its colour, its maker's colours (which may fail to read) and the
// focused column.
class TPaintOwner : public rtl::TComponent, public IStyleDisplayOwner {
public:
    TPaintOwner() : rtl::TComponent(nullptr) {}
    TKwGridColors Colors;
    bool FailColors = false;
    bool Grid = true;
    vcl::TStyleElements Elements{vcl::seFont, vcl::seClient, vcl::seBorder};
    TColor GridColor() const override { return kGridColor; }
    vcl::TStyleElements GridStyleElements() const override { return Elements; }
    TKwGridColors KwColors() const override {
        if (FailColors) throw rtl::Exception(QStringLiteral("not readable"));
        return Colors;
    }
    bool IsGridControl() const override { return Grid; }
};

class TPaintHost : public TTestHost {
public:
    int Focus = -1;
    int FocusedColumn() const override { return Focus; }
};

struct StylePainting : ::testing::Test {
    TPaintHost Host;
    rtl::TComponent Form{nullptr};
    TRgColumns Columns{nullptr, &Host};
    TPaintOwner Owner;

    ~StylePainting() override {
        while (Columns.Count() > 0) delete Columns.Item(Columns.Count() - 1);
    }
    TRgCustomColumn* Add(int Count = 1) {
        TRgCustomColumn* C = nullptr;
        for (int i = 0; i < Count; ++i) {
            C = new TRgTextColumn(&Form);
            Columns.AddColumn(C);
            C->Header()->SetColor(kFace);
            C->Footer()->SetColor(kFace);
            C->Font()->SetColor(vcl::clBlack);
        }
        return C;
    }
    template <class T> std::unique_ptr<T> Display(vcl::TBitmap* Bmp) {
        auto D = std::make_unique<T>(&Owner);
        D->SetCanvas(Bmp->Canvas());
        Bmp->Canvas()->Font()->SetColor(vcl::clBlack);
        return D;
    }
    void Customise() {
        Owner.Colors.CustomizationEnabled = true;
        Owner.Colors.HeaderGrid = 0x0000A0;
        Owner.Colors.IndicatorColumnBackground = 0xA00000;
        Owner.Colors.IndicatorColumnGrid = 0x000080;
        Owner.Colors.IndicatorColumnGridSelected = 0x0000F0;
        Owner.Colors.CornerBoxTop = 0x101010;
        Owner.Colors.CornerBoxTopBorder = 0x202020;
        Owner.Colors.CornerBoxBottom = 0x303030;
        Owner.Colors.CornerBoxBottomBorder = 0x404040;
        Owner.Colors.FooterBorder = 0x505050;
        Owner.Colors.FooterAreaSplitter = 0x606060;
        Owner.Colors.IndicatorHotBackground = 0x707070;
        Owner.Colors.IndicatorHotTriangle = 0x808080;
    }
};

// The left-most column of R holding colour C, -1 without one.
int FirstColumnOf(vcl::TBitmap* bmp, const TRect& R, TColor C) {
    for (int x = R.Left; x < R.Right; ++x)
        for (int y = R.Top; y < R.Bottom; ++y)
            if (Px(bmp, x, y) == C) return x;
    return -1;
}

bool SamePixels(vcl::TBitmap* a, vcl::TBitmap* b) {
    for (int y = 0; y < a->Height(); ++y)
        for (int x = 0; x < a->Width(); ++x)
            if (Px(a, x, y) != Px(b, x, y)) return false;
    return true;
}

// ---- the flat painter (the program's look) ----

TEST_F(StylePainting, FlatHeaderLinesFollowTheMakersColours) {
    Add(2);
    for (bool custom : {false, true}) {
        if (custom) Customise();
        auto bmp = Paper(100, 20);
        auto d = Display<TFlatStyleDisplay>(bmp.get());
        d->DrawHeader(Columns.Item(0), TRect(10, 0, 90, 20));
        const TColor line = custom ? 0x0000A0 : Rgb(vcl::clGrayText);
        EXPECT_EQ(Px(bmp.get(), 89, 0), line) << custom;
        EXPECT_EQ(Px(bmp.get(), 89, 19), line);
        EXPECT_EQ(Px(bmp.get(), 10, 19), line);
        EXPECT_EQ(Px(bmp.get(), 9, 19), kPaper);
        EXPECT_EQ(Px(bmp.get(), 50, 5), kFace);
        EXPECT_EQ(Px(bmp.get(), 90, 5), kPaper);
    }
}

TEST_F(StylePainting, FlatHeaderOfTheLastColumnKeepsOnlyItsBottomLineWhenAsked) {
    Add(2);
    Owner.Colors.DontDrawHeaderVertGridOnLastCol = true;
    for (int index : {0, 1}) {
        auto bmp = Paper(100, 20);
        Display<TFlatStyleDisplay>(bmp.get())->DrawHeader(Columns.Item(index), TRect(10, 0, 90, 20));
        const bool last = index == 1;
        EXPECT_EQ(Px(bmp.get(), 89, 5), last ? kFace : Rgb(vcl::clGrayText)) << index;
        EXPECT_EQ(Px(bmp.get(), 89, 19), Rgb(vcl::clGrayText));
        EXPECT_EQ(Px(bmp.get(), 9, 19), last ? Rgb(vcl::clGrayText) : kPaper)
            << "one pixel left of the header";
        EXPECT_EQ(Px(bmp.get(), 90, 19), kPaper);
    }
}

TEST_F(StylePainting, FlatCornerBoxesNearTheTopTakeTheTopColours) {
    Customise();
    struct Case {
        int top;
        TColor face, border;
    };
    for (const Case& c :
         {Case{0, 0x101010, 0x202020}, Case{4, 0x101010, 0x202020}, Case{5, 0x303030, 0x404040}}) {
        auto bmp = Paper(20, 30);
        Display<TFlatStyleDisplay>(bmp.get())->DrawCornerBox(TRect(0, c.top, 12, c.top + 10), bpAlone);
        EXPECT_EQ(Px(bmp.get(), 3, c.top + 3), c.face) << c.top;
        EXPECT_EQ(Px(bmp.get(), 11, c.top), c.border) << c.top;
        EXPECT_EQ(Px(bmp.get(), 0, c.top + 9), c.border) << c.top;
    }
}

TEST_F(StylePainting, FlatIndicatorAndSplitterColours) {
    Customise();
    auto bmp = Paper(40, 20);
    auto d = Display<TFlatStyleDisplay>(bmp.get());
    d->DrawIndicator(TRect(0, 0, 12, 10), 0, false, false);
    d->DrawIndicator(TRect(20, 0, 32, 10), 1, true, false);
    d->DrawAreaSplitter(TRect(0, 12, 40, 16));
    EXPECT_EQ(Px(bmp.get(), 4, 4), 0xA00000);
    EXPECT_EQ(Px(bmp.get(), 11, 4), 0x000080);
    EXPECT_EQ(Px(bmp.get(), 31, 4), 0x0000F0) << "a selected row's indicator lines";
    EXPECT_EQ(Px(bmp.get(), 20, 14), 0x606060);
}

TEST_F(StylePainting, ColoursThatCannotBeReadDrawUncustomised) {
    Customise();
    Owner.FailColors = true;
    Add();
    auto bmp = Paper(100, 20);
    auto d = Display<TFlatStyleDisplay>(bmp.get());
    d->DrawHeader(Columns.Item(0), TRect(0, 0, 50, 20));
    d->DrawIndicator(TRect(50, 0, 62, 10), 0, false, false);
    d->DrawAreaSplitter(TRect(70, 0, 80, 10));
    EXPECT_EQ(Px(bmp.get(), 49, 3), Rgb(vcl::clGrayText));
    EXPECT_EQ(Px(bmp.get(), 55, 3), Rgb(vcl::clBtnFace));
    EXPECT_EQ(Px(bmp.get(), 75, 3), Rgb(vcl::clBtnFace));
}

// ---- header content: caption place and sort arrow ----

TEST_F(StylePainting, SortedRightAlignedCaptionMakesRoomForTheArrow) {
    TRgCustomColumn* c = Add();
    c->Header()->SetCaption(QStringLiteral("Ab"));
    c->Header()->SetAlignment(taRightJustify);
    int start[2];
    for (bool sorted : {false, true}) {
        c->SetSorted(sorted);
        auto bmp = Paper(200, 20);
        Display<TFlatStyleDisplay>(bmp.get())->DrawHeader(c, TRect(0, 0, 200, 20));
        start[sorted] = FirstColumnOf(bmp.get(), TRect(0, 0, 200, 20), vcl::clBlack);
        ASSERT_GT(start[sorted], 0);
    }
    EXPECT_EQ(start[0] - start[1], 31);
}

TEST_F(StylePainting, HideArrowHidesTheArrowOnlyWhenItDoesNotFit) {
    TRgCustomColumn* c = Add();
    c->SetSorted(true);
    // an empty caption: arrow X = Left + 2 + 2 + 19 = 23, Y = 6; its base row 12 in the shadow colour
    struct Case {
        int width;
        bool hideArrow, drawn;
    };
    for (const Case& k : {Case{31, true, false}, Case{31, false, true}, Case{32, true, true}}) {
        c->Header()->SetHideArrow(k.hideArrow);
        auto bmp = Paper(40, 20);
        Display<TFlatStyleDisplay>(bmp.get())->DrawHeader(c, TRect(0, 0, k.width, 20));
        EXPECT_EQ(Px(bmp.get(), 26, 12) == Rgb(vcl::clBtnShadow), k.drawn) << k.width << " " << k.hideArrow;
    }
}

TEST_F(StylePainting, VerticalCaptionsMeasureByTextHeight) {
    TRgCustomColumn* c = Add();
    c->Header()->SetCaption(QStringLiteral("Abcdefgh"));
    c->Header()->SetOrientation(hoVertical);
    c->Header()->SetHideArrow(false);
    c->SetSorted(true);
    auto bmp = Paper(200, 60);
    Display<TFlatStyleDisplay>(bmp.get())->DrawHeader(c, TRect(0, 0, 200, 60));
    EXPECT_GE(FirstColumnOf(bmp.get(), TRect(0, 0, 200, 59), vcl::clBlack), 2) << "the caption is drawn";
    // arrow X = 2 + (text height + 2) + 19, Y = 30 - 4; its base row in the shadow colour
    const int x = 2 + bmp->Canvas()->TextHeight(QStringLiteral("Abcdefgh")) + 2 + 19;
    EXPECT_EQ(Px(bmp.get(), x + 3, 32), Rgb(vcl::clBtnShadow));
    EXPECT_EQ(Px(bmp.get(), x - 2, 32), kFace);
}

TEST_F(StylePainting, SortArrowShapes) {
    auto bmp = Paper(40, 20);
    auto d = Display<TOffice2010StyleDisplay>(bmp.get());
    TRgCustomColumn* c = Add();
    c->SetSorted(true);
    c->SetSortKind(skDescending);
    d->DrawHeader(c, TRect(0, 0, 40, 20));
    // own arrow of the 2010 style: a grey triangle with a black outline, pointing down
    EXPECT_EQ(Px(bmp.get(), 27, 7), 0xB5ACA5);
    EXPECT_EQ(Px(bmp.get(), 23, 6), 0x000000);
    EXPECT_EQ(Px(bmp.get(), 27, 10), 0x000000);

    auto themed = Paper(40, 20);
    auto t = Display<TFlatStyleDisplay>(themed.get());
    t->SetEnableThemes(true);
    c->SetSortKind(skAscending);
    t->DrawHeader(c, TRect(0, 0, 40, 20));
    EXPECT_EQ(Px(themed.get(), 27, 9), Rgb(vcl::clGrayText)) << "a filled grey triangle when themed";
    EXPECT_EQ(Px(themed.get(), 27, 6), Rgb(vcl::clGrayText));
    EXPECT_EQ(Px(themed.get(), 27, 5), kFace);
}

TEST_F(StylePainting, FocusedHeaderIsInvertedWhereTheStyleSaysSo) {
    Add(2);
    Host.Focus = 0;
    for (bool themed : {false, true}) {
        auto bmp = Paper(100, 20);
        auto d = Display<TDefaultStyleDisplay>(bmp.get());
        d->SetEnableThemes(themed); // themed headers show the focus as pressed, not inverted
        d->SetDefaultDrawing(true);
        if (!themed) {
            d->DrawHeader(Columns.Item(0), TRect(0, 0, 50, 20));
            EXPECT_EQ(Px(bmp.get(), 20, 10), TColor(~kFace & 0xFFFFFF));
            EXPECT_EQ(Px(bmp.get(), 49, 10), Rgb(vcl::clBtnShadow))
                << "the last column is left out beside others";
        }
        EXPECT_EQ(d->GetStyleDisplayAttributes().Contains(sdaInvertFocus), !themed);
    }
}

TEST_F(StylePainting, HeaderGlyphPlaceByAlignmentAndSort) {
    TRgCustomColumn* c = Add();
    vcl::TBitmap glyph;
    glyph.SetPixelFormat(vcl::pf24bit);
    glyph.SetSize(4, 4);
    glyph.Canvas()->Brush()->SetColor(0xFF00FF);
    glyph.Canvas()->FillRect(TRect(0, 0, 4, 4));
    glyph.Canvas()->Brush()->SetColor(0x0000FF);
    glyph.Canvas()->FillRect(TRect(0, 0, 3, 3));
    c->Header()->SetGlyph(&glyph);
    c->Header()->SetDisplayMode(dmTextAndImage);
    struct Case {
        TAlignment alignment;
        bool sorted;
        int width, glyphLeft; // -1: not drawn
    };
    // an empty caption is 2 pixels wide; glyph top 10 - 2
    for (const Case& k :
         {Case{taLeftJustify, false, 100, 3}, Case{taRightJustify, false, 100, 100 - 4 - 2 - 2},
          Case{taRightJustify, true, 100, 100 - 8 - 31}, Case{taCenter, false, 100, 50 - 3},
          Case{taRightJustify, false, 5, -1}}) {
        c->Header()->SetAlignment(k.alignment);
        c->SetSorted(k.sorted);
        auto bmp = Paper(100, 20);
        Display<TFlatStyleDisplay>(bmp.get())->DrawHeader(c, TRect(0, 0, k.width, 20));
        EXPECT_EQ(FirstColumnOf(bmp.get(), TRect(0, 0, 100, 20), 0x0000FF), k.glyphLeft)
            << k.alignment << k.sorted;
        if (k.glyphLeft >= 0) {
            EXPECT_EQ(Px(bmp.get(), k.glyphLeft + 3, 11), kFace) << "transparent corner";
        }
    }
}

TEST_F(StylePainting, HeaderSpacingAndContentWidth) {
    TRgCustomColumn* c = Add();
    auto bmp = Paper(10, 10);
    auto d = Display<TFlatStyleDisplay>(bmp.get());
    EXPECT_EQ(d->GetHeaderSpacing(c), 2);
    d->SetEnableThemes(true);
    EXPECT_EQ(d->GetHeaderSpacing(c), 11);
    c->Header()->SetDisplayMode(dmTextAndImage);
    EXPECT_EQ(d->GetHeaderSpacing(c), 2);
    d->SetDisplayMedia(dmPaper);
    EXPECT_EQ(d->GetHeaderSpacing(c), 0);

    c->Header()->SetCaption(QStringLiteral("Title"));
    const int text = bmp->Canvas()->TextWidth(QStringLiteral("Title"));
    vcl::TBitmap glyph(7, 5);
    c->Header()->SetGlyph(&glyph);
    EXPECT_EQ(d->GetHeaderContentWidth(c), 7 + text + 2);
    c->Header()->SetDisplayMode(dmImageOnly);
    EXPECT_EQ(d->GetHeaderContentWidth(c), 7);
    c->Header()->SetDisplayMode(dmTextOnly);
    EXPECT_EQ(d->GetHeaderContentWidth(c), text);
}

TEST_F(StylePainting, CustomOnlyHeadersAreLeftToTheOwner) {
    TRgCustomColumn* c = Add();
    c->Header()->SetDrawingOptions(doCustomOnly);
    auto bmp = Paper(60, 20);
    auto d = Display<TFlatStyleDisplay>(bmp.get());
    std::vector<int> drawn;
    d->OnHeaderDraw = [&](rtl::TObject*, int Index, const TRect&) { drawn.push_back(Index); };
    d->DrawHeader(c, TRect(0, 0, 60, 20));
    EXPECT_EQ(Inked(bmp.get(), TRect(0, 0, 60, 20)), 0);
    EXPECT_EQ(drawn, std::vector<int>{0});
}

// ---- footer ----

// The footer's content drawn against the expected text written straight into the same place.
struct FooterCase {
    TFormatMaskKind kind;
    const char16_t* mask;
    const char16_t* caption;
    const char16_t* shown;
};

class FooterText : public StylePainting, public ::testing::WithParamInterface<FooterCase> {};

TEST_P(FooterText, ShowsTheFormattedCaptionBetweenItsTexts) {
    const auto& k = GetParam();
    TRgCustomColumn* c = Add();
    c->Footer()->SetFormatMaskKind(k.kind);
    c->Footer()->SetFormatMask(QString::fromUtf16(k.mask));
    c->Footer()->SetCaption(QString::fromUtf16(k.caption));
    c->Footer()->SetTextBefore(QStringLiteral("<"));
    c->Footer()->SetTextAfter(QStringLiteral(">"));
    auto bmp = Paper(200, 20);
    Display<TFlatStyleDisplay>(bmp.get())->DrawFooter(c, TRect(0, 0, 200, 20), false);

    auto expected = Paper(200, 20);
    auto e = Display<TFlatStyleDisplay>(expected.get());
    expected->Canvas()->Font()->Assign(c->Font());
    expected->Canvas()->Brush()->SetColor(kFace);
    expected->Canvas()->FillRect(TRect(0, 0, 200, 20));
    e->DoDrawText(expected->Canvas(), TRect(2, 0, 200, 20),
                  QStringLiteral("<") + QString::fromUtf16(k.shown) + QStringLiteral(">"), false);
    expected->Canvas()->Pen()->SetColor(vcl::clBtnFace);
    expected->Canvas()->MoveTo(0, 19);
    expected->Canvas()->LineTo(199, 19);
    expected->Canvas()->MoveTo(199, 0);
    expected->Canvas()->LineTo(199, 21);
    EXPECT_TRUE(SamePixels(bmp.get(), expected.get()));
}

INSTANTIATE_TEST_SUITE_P(Cases, FooterText,
                         ::testing::Values(FooterCase{mkFloat, u"0.00", u"3.14159", u"3.14"},
                                           FooterCase{mkFloat, u"0.00", u"many", u"0.00"},
                                           FooterCase{mkText, u"000-000;0;_", u"12345", u"123-45_"},
                                           FooterCase{mkText, u"", u"as is", u"as is"}));

TEST_F(StylePainting, FooterGridLinesOwnerDrawingAndClip) {
    Customise();
    TRgCustomColumn* c = Add();
    c->Footer()->SetCaption(QStringLiteral("a long footer caption that would run out of its cell"));
    auto bmp = Paper(80, 20);
    auto d = Display<TFlatStyleDisplay>(bmp.get());
    d->DrawFooter(c, TRect(0, 0, 40, 20), true); // no owner drawing assigned: still fine
    EXPECT_EQ(Px(bmp.get(), 39, 5), 0x505050);
    EXPECT_EQ(Px(bmp.get(), 10, 19), 0x505050);
    EXPECT_EQ(Inked(bmp.get(), TRect(40, 0, 80, 20)), 0) << "the text stays in its cell";

    TRect seen;
    int index = -1;
    d->OnDraw = [&](rtl::TObject*, int Index, const TRect& R) {
        index = Index;
        seen = R;
        bmp->Canvas()->Brush()->SetColor(vcl::clRed);
        bmp->Canvas()->FillRect(TRect(0, 0, 80, 20)); // clipped to the fill rectangle
    };
    d->DrawFooter(c, TRect(0, 0, 40, 20), true);
    EXPECT_EQ(index, 0);
    EXPECT_EQ(seen, TRect(0, 0, 39, 19));
    EXPECT_EQ(Px(bmp.get(), 38, 18), vcl::clRed);
    EXPECT_EQ(Px(bmp.get(), 39, 5), 0x505050);
    EXPECT_EQ(Px(bmp.get(), 60, 5), kPaper);
    bmp->Canvas()->FillRect(TRect(60, 0, 61, 1));
    EXPECT_EQ(Px(bmp.get(), 60, 0), vcl::clRed) << "the clip returns to what it was";
}

TEST_F(StylePainting, ImageOnlyFooterDrawsItsGlyphAndNoText) {
    TRgCustomColumn* c = Add();
    c->Footer()->SetCaption(QStringLiteral("Hidden"));
    c->Footer()->SetDisplayMode(dmImageOnly);
    vcl::TBitmap glyph;
    glyph.SetPixelFormat(vcl::pf24bit);
    glyph.SetSize(4, 4);
    glyph.Canvas()->Brush()->SetColor(0xFF00FF);
    glyph.Canvas()->FillRect(TRect(0, 0, 4, 4));
    glyph.Canvas()->Brush()->SetColor(0x0000FF);
    glyph.Canvas()->FillRect(TRect(0, 0, 3, 3)); // the bottom-left pixel stays the transparent colour
    c->Footer()->SetGlyph(&glyph);
    auto bmp = Paper(100, 20);
    Display<TFlatStyleDisplay>(bmp.get())->DrawFooter(c, TRect(0, 0, 100, 20), false);
    // glyph left at Left + 3, top at 10 - 2
    EXPECT_EQ(Px(bmp.get(), 3, 8), 0x0000FF);
    EXPECT_EQ(Px(bmp.get(), 6, 11), kFace) << "transparent";
    EXPECT_EQ(FirstColumnOf(bmp.get(), TRect(0, 0, 100, 19), vcl::clBlack), -1);
}

// ---- input cell and indicator ----

TEST_F(StylePainting, InputCellColoursBySelection) {
    TRgCustomColumn* c = Add();
    c->SetColor(0x00FFFF);
    c->SetInputCaption(QStringLiteral("Add"));
    auto bmp = Paper(60, 40);
    auto d = Display<TFlatStyleDisplay>(bmp.get());
    d->DrawInput(c, TRect(0, 0, 60, 20), true, false, false);
    d->DrawInput(c, TRect(0, 20, 60, 40), true, true, true);
    EXPECT_EQ(Px(bmp.get(), 1, 1), 0x00FFFF);
    EXPECT_EQ(Px(bmp.get(), 1, 21), Rgb(vcl::clHighlight));
    EXPECT_EQ(Px(bmp.get(), 59, 30), Rgb(vcl::clHighlight)) << "grid lines of a selected input cell";
    EXPECT_EQ(FirstColumnOf(bmp.get(), TRect(0, 0, 60, 20), Rgb(vcl::clGrayText)) > 10, true)
        << "caption centred";
    EXPECT_GE(FirstColumnOf(bmp.get(), TRect(0, 20, 60, 40), Rgb(vcl::clHighlightText)), 0);
}

TEST_F(StylePainting, CurrentRowMarkFollowsCustomisation) {
    const TRect r(0, 0, 12, 17);
    const vcl::TPoint p = TCalcProvider::PosInRect(6, 11, 0, r, taCenter, taVerticalCenter);
    {
        auto bmp = Paper(12, 20);
        Display<TFlatStyleDisplay>(bmp.get())->DrawIndicatorState(r, true, false);
        EXPECT_EQ(Px(bmp.get(), p.X + 1, p.Y + 5), Rgb(vcl::clWindowText));
        EXPECT_EQ(Px(bmp.get(), 0, 0), kPaper);
    }
    Customise();
    {
        auto bmp = Paper(12, 20);
        Display<TFlatStyleDisplay>(bmp.get())->DrawIndicatorState(r, true, false);
        EXPECT_EQ(Px(bmp.get(), p.X + 1, p.Y + 5), 0x808080);
        EXPECT_EQ(Px(bmp.get(), 0, 0), 0x707070);
        EXPECT_EQ(Px(bmp.get(), 5, 17), 0x707070) << "the hot background reaches one row lower";
        auto hot = Paper(12, 20);
        Display<TFlatStyleDisplay>(hot.get())->DrawIndicatorState(r, false, true);
        EXPECT_EQ(Px(hot.get(), p.X + 1, p.Y + 5), 0x707070);
    }
    Owner.Grid = false; // only a grid control's colours count here
    {
        auto bmp = Paper(12, 20);
        Display<TFlatStyleDisplay>(bmp.get())->DrawIndicatorState(r, false, true);
        EXPECT_EQ(Px(bmp.get(), 3, 3), TColor(~kPaper & 0xFFFFFF)) << "highlighted: inverted";
    }
}

TEST_F(StylePainting, RaisedIndicatorCell) {
    auto bmp = Paper(12, 24);
    auto d = Display<TStyleDisplay>(bmp.get());
    d->DrawIndicator(TRect(0, 0, 12, 10), 0, false, false);
    d->DrawIndicator(TRect(0, 10, 12, 20), 1, false, false);
    const TColor hi = Rgb(vcl::clBtnHighlight), sh = Rgb(vcl::clBtnShadow), face = Rgb(vcl::clBtnFace);
    EXPECT_EQ(Px(bmp.get(), 0, 5), hi);
    EXPECT_EQ(Px(bmp.get(), 1, 0), hi) << "the first row's top line starts at 1";
    EXPECT_EQ(Px(bmp.get(), 1, 10), face) << "later rows keep their corners";
    EXPECT_EQ(Px(bmp.get(), 2, 10), hi);
    EXPECT_EQ(Px(bmp.get(), 11, 15), sh);
    EXPECT_EQ(Px(bmp.get(), 5, 19), sh);
    EXPECT_EQ(Px(bmp.get(), 1, 19), face);
    EXPECT_EQ(Px(bmp.get(), 5, 15), face);
}

// ---- the other styles ----

TEST_F(StylePainting, ClassicHeaderEdgesByLocation) {
    Add(3);
    auto bmp = Paper(150, 20);
    auto d = Display<TDefaultStyleDisplay>(bmp.get());
    d->SetDefaultDrawing(false);
    d->DrawHeader(Columns.Item(0), TRect(0, 0, 50, 20));
    d->DrawHeader(Columns.Item(1), TRect(50, 0, 100, 20));
    const TColor hi = Rgb(vcl::clBtnHighlight), sh = Rgb(vcl::clBtnShadow);
    EXPECT_EQ(Px(bmp.get(), 0, 1), hi) << "the left side's edge runs from the top";
    EXPECT_EQ(Px(bmp.get(), 50, 1), kFace) << "a middle column's edge is shortened";
    EXPECT_EQ(Px(bmp.get(), 50, 5), hi);
    EXPECT_EQ(Px(bmp.get(), 49, 1), kFace);
    EXPECT_EQ(Px(bmp.get(), 49, 5), sh);
    EXPECT_EQ(Px(bmp.get(), 75, 19), sh);
    EXPECT_EQ(Px(bmp.get(), 75, 0), hi);
    EXPECT_EQ(Px(bmp.get(), 75, 10), kFace);
}

TEST_F(StylePainting, DefaultCornerBoxes) {
    auto bmp = Paper(40, 40);
    auto d = Display<TDefaultStyleDisplay>(bmp.get());
    d->DrawCornerBox(TRect(0, 0, 12, 10), bpAlone);
    d->DrawCornerBox(TRect(0, 12, 12, 22), bpBottom);
    d->DrawCornerBox(TRect(0, 24, 12, 34), bpTop);
    EXPECT_EQ(Px(bmp.get(), 0, 0), Rgb(vcl::clBtnHighlight));
    EXPECT_EQ(Px(bmp.get(), 11, 9), Rgb(vcl::clBtnShadow));
    EXPECT_EQ(Px(bmp.get(), 5, 12), Rgb(vcl::clBtnShadow)) << "a sunken box below the rows";
    EXPECT_EQ(Px(bmp.get(), 5, 13), Rgb(vcl::clBtnHighlight));
    EXPECT_EQ(Inked(bmp.get(), TRect(0, 24, 12, 34)), 0) << "nothing for a top box";
}

TEST_F(StylePainting, OldOutlookVistaAndOfficeFaces) {
    Add(2);
    TRgCustomColumn* c = Columns.Item(0);
    {
        auto bmp = Paper(60, 20);
        Display<TOldStyleDisplay>(bmp.get())->DrawHeader(c, TRect(0, 0, 60, 20));
        EXPECT_EQ(Px(bmp.get(), 30, 10), Rgb(vcl::clBtnFace)) << "whatever the header colour";
        EXPECT_EQ(Px(bmp.get(), 59, 10), Rgb(vcl::clWindowFrame));
    }
    {
        auto bmp = Paper(60, 20);
        auto d = Display<TOutlookStyleDisplay>(bmp.get());
        d->DrawHeader(c, TRect(0, 0, 60, 20));
        EXPECT_EQ(Px(bmp.get(), 30, 5), kFace);
        EXPECT_EQ(Px(bmp.get(), 30, 17), AlphaBlendColor(vcl::clBtnShadow, kFace, 50));
        EXPECT_EQ(Px(bmp.get(), 30, 19), AlphaBlendColor(vcl::clBtnShadow, kFace, 150));
        EXPECT_EQ(Px(bmp.get(), 0, 1), Rgb(vcl::clBtnHighlight));
        EXPECT_EQ(Px(bmp.get(), 59, 1), kFace) << "a left-side column's right edge is shortened";
        EXPECT_EQ(Px(bmp.get(), 59, 2), Rgb(vcl::clBtnShadow));
    }
    {
        auto bmp = Paper(60, 20);
        auto d = Display<TVistaStyleDisplay>(bmp.get());
        d->DrawHeader(c, TRect(0, 0, 60, 20));
        EXPECT_EQ(Px(bmp.get(), 0, 5), vcl::clWhite);
        EXPECT_EQ(Px(bmp.get(), 59, 5), Rgb(vcl::clBtnFace));
        EXPECT_EQ(Px(bmp.get(), 30, 5), 0xF0F0F0);
        c->SetSorted(true);
        d->DrawHeader(c, TRect(0, 0, 60, 20));
        EXPECT_EQ(Px(bmp.get(), 10, 0), 0xF0DCAF);
        EXPECT_EQ(Px(bmp.get(), 10, 10), vcl::clWhite);
        EXPECT_TRUE(d->GetStyleDisplayAttributes().Contains(sdaCustomArrow));
        c->SetSorted(false);
    }
    {
        auto bmp = Paper(60, 20);
        auto d = Display<TOffice2007StyleDisplay>(bmp.get());
        d->DrawHeader(c, TRect(0, 0, 60, 20));
        EXPECT_EQ(Px(bmp.get(), 30, 0), vcl::clWhite);
        EXPECT_EQ(Px(bmp.get(), 30, 19), GetSchemeColor(2));
        EXPECT_EQ(Px(bmp.get(), 59, 5), GetSchemeColor(10));
        d->DrawAreaSplitter(TRect(0, 0, 5, 5));
        EXPECT_EQ(Px(bmp.get(), 2, 2), GetSchemeColor(11));
        Host.Focus = 0;
        d->DrawHeader(c, TRect(0, 0, 60, 20));
        EXPECT_EQ(Px(bmp.get(), 30, 0), GetSchemeColor(11))
            << "a focused header's gradient runs the other way";
    }
    {
        auto bmp = Paper(60, 20);
        Host.Focus = -1;
        Display<TOffice2010StyleDisplay>(bmp.get())->DrawCornerBox(TRect(0, 0, 60, 20), bpAlone);
        EXPECT_EQ(Px(bmp.get(), 30, 0), GetSchemeColor(6));
        EXPECT_EQ(Px(bmp.get(), 59, 5), GetSchemeColor(2));
    }
}

TEST_F(StylePainting, UnderVisualStylesTheDefaultHeaderIsTheStylesHeaderItem) {
    Add();
    TwSetThemeActive(TRUE);
    struct Off {
        ~Off() { TwSetThemeActive(FALSE); }
    } off;
    auto normal = Paper(60, 20);
    Display<TDefaultStyleDisplay>(normal.get())->DrawHeader(Columns.Item(0), TRect(0, 0, 60, 20));
    Host.Focus = 0;
    auto pressed = Paper(60, 20);
    Display<TDefaultStyleDisplay>(pressed.get())->DrawHeader(Columns.Item(0), TRect(0, 0, 60, 20));
    EXPECT_NE(Px(normal.get(), 30, 10), kFace) << "the style's face, not the header colour";
    EXPECT_NE(Px(normal.get(), 30, 10), kPaper);
    EXPECT_FALSE(SamePixels(normal.get(), pressed.get())) << "the focused column's header is pressed";
}

// A custom style whose normal header items have red text, registered once for the run.
void UseRedHeaderStyle() {
    static const bool loaded = [] {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("GridPainters.vsf"));
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write("tunewright-style 1\nname GridPaintersRed\ndark no\n"
                "element teHeader 1 1 fill #F0F0F0 border #A0A0A0 glyph #000000 text #FF0000\n");
        f.close();
        vcl::TStyleManager::LoadFromFile(path);
        return true;
    }();
    (void)loaded;
    vcl::TStyleManager::SetStyle(QStringLiteral("GridPaintersRed"));
}

TEST_F(StylePainting, UnderACustomStyleCaptionsTakeTheStylesHeaderTextColour) {
    TRgCustomColumn* c = Add();
    c->Header()->SetCaption(QStringLiteral("Title"));
    UseRedHeaderStyle();
    struct Back {
        ~Back() { vcl::TStyleManager::SetStyle(vcl::TStyleManager::SystemStyle()); }
    } back;
    for (bool font : {true, false}) {
        Owner.Elements =
            font ? vcl::TStyleElements{vcl::seFont, vcl::seClient} : vcl::TStyleElements{vcl::seClient};
        auto bmp = Paper(100, 20);
        Display<TFlatStyleDisplay>(bmp.get())->DrawHeader(c, TRect(0, 0, 100, 20));
        EXPECT_EQ(FirstColumnOf(bmp.get(), TRect(0, 0, 100, 19), vcl::clRed) >= 0, font) << font;
        EXPECT_EQ(FirstColumnOf(bmp.get(), TRect(0, 0, 100, 19), vcl::clBlack) >= 0, !font) << font;
    }
}

TEST_F(StylePainting, FactoryMakesOnePainterPerStyle) {
    EXPECT_NE(dynamic_cast<TDefaultStyleDisplay*>(CreateStyleDisplay(0, &Owner).get()), nullptr);
    EXPECT_NE(dynamic_cast<TFlatStyleDisplay*>(CreateStyleDisplay(1, &Owner).get()), nullptr);
    EXPECT_NE(dynamic_cast<TOffice2010StyleDisplay*>(CreateStyleDisplay(3, &Owner).get()), nullptr);
    EXPECT_NE(dynamic_cast<TVistaStyleDisplay*>(CreateStyleDisplay(6, &Owner).get()), nullptr);
    auto d = CreateStyleDisplay(5, &Owner);
    EXPECT_TRUE(d->DefaultDrawing());
    EXPECT_EQ(d->DisplayMedia(), dmScreen);
    EXPECT_EQ(d->Owner(), &Owner);
}

} // namespace
} // namespace grid_test
