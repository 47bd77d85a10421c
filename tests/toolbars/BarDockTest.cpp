// tests/toolbars/BarDockTest.cpp: the dock's arrangement of bars in rows (a table over bars of fixed
// size), its update brackets, its errors and its bound lines.
#include "tests/toolbars/DockFixture.h"

#include <gtest/gtest.h>

#include <optional>

using namespace bars_test;

namespace {

// Bars of these cases sit in a top dock 300 pixels long with no drag handles, so a bar's length is
// its base width plus 4 (the docked border) and a row is 24 pixels thick for 20-pixel bars.
struct BarSpec {
    int w = 50;
    int row = 0;
    int pos = -1;
    bool fullSize = false;
    bool stretch = false;
    bool visible = true;
    TBarShrinkMode mode = tbsmNone;
    int minLength = 0;
};
struct Placed {
    int row, pos, length;
    int top = -1;  // -1: 24 pixels a row
};
struct ArrangeCase {
    const char* name;
    std::vector<BarSpec> bars;
    std::vector<std::optional<Placed>> expected;  // nullopt: hidden, only its row is checked
    std::vector<int> hiddenRows;
    int thickness;
    bool fixAlign = false;
    bool limitToOneRow = false;
};

void PrintTo(const ArrangeCase& c, std::ostream* os) { *os << c.name; }

class Arrangement : public ::testing::TestWithParam<ArrangeCase> {};

TEST_P(Arrangement, PlacesRowsPositionsAndLengths) {
    const ArrangeCase& c = GetParam();
    DockForm f(false);
    TBarDock* dock = f.Dock(dpTop, false);
    dock->SetFixAlign(c.fixAlign);
    dock->SetLimitToOneRow(c.limitToOneRow);
    ASSERT_EQ(dock->Width(), 300 + 100);  // the form's client width
    dock->SetAlign(vcl::alNone);
    dock->SetBounds(0, 0, 300, dock->Height());
    std::vector<TFixedBar*> bars;
    for (const BarSpec& s : c.bars) {
        TFixedBar* b = f.Bar(nullptr, s.w, 20, s.row, s.pos);
        b->SetFullSize(s.fullSize);
        b->SetStretch(s.stretch);
        b->SetVisible(s.visible);
        b->Mode = s.mode;
        b->MinLength = s.minLength;
        b->SetParent(dock);
        bars.push_back(b);
    }
    for (TFixedBar* b : bars) b->SetBoundsCalls = 0;
    dock->ArrangeToolbars();
    size_t hidden = 0;
    for (size_t i = 0; i < bars.size(); ++i) {
        SCOPED_TRACE(i);
        if (!c.expected[i]) {
            EXPECT_EQ(bars[i]->EffectiveDockRow(), c.hiddenRows.at(hidden++));
            continue;
        }
        EXPECT_EQ(bars[i]->EffectiveDockRow(), c.expected[i]->row);
        EXPECT_EQ(bars[i]->EffectiveDockPos(), c.expected[i]->pos);
        EXPECT_EQ(bars[i]->Left(), c.expected[i]->pos);
        EXPECT_EQ(bars[i]->Top(), c.expected[i]->top >= 0 ? c.expected[i]->top : 24 * c.expected[i]->row);
        EXPECT_EQ(bars[i]->Width(), c.expected[i]->length);
        EXPECT_EQ(bars[i]->Height(), 24);
        EXPECT_EQ(bars[i]->SetBoundsCalls, 1);  // one SetBounds per bar and arrangement
    }
    EXPECT_EQ(dock->Height(), c.thickness);
    EXPECT_EQ(dock->Width(), 300);
}

INSTANTIATE_TEST_SUITE_P(
    Dock, Arrangement,
    ::testing::Values(
        ArrangeCase{"empty", {}, {}, {}, 0},
        ArrangeCase{"emptyFixAlign", {}, {}, {}, 1, true},
        // A full-size bar keeps its row alone and spans it; its row-mate moves to the next row.
        ArrangeCase{"fullSize", {{50, 0, 0}, {50, 0, 100, true}}, {Placed{1, 0, 54}, Placed{0, 0, 300}}, {}, 48},
        // The first bar whose running minimum overflows goes, with all after it, to the next row.
        ArrangeCase{"wrap",
                    {{100}, {100}, {100}, {100}},
                    {Placed{0, 0, 104}, Placed{0, 104, 104}, Placed{1, 0, 104}, Placed{1, 104, 104}},
                    {},
                    48},
        ArrangeCase{"loneNeverWraps", {{400}}, {Placed{0, 0, 404}}, {}, 24},
        // One row: chevron bars shrink from the end; plain bars never shrink.
        ArrangeCase{"limitToOneRow",
                    {{100, 0, 0}, {100, 1, 104, false, false, true, tbsmChevron, 20}, {100, 2, 208, false, false, true, tbsmChevron, 20}},
                    {Placed{0, 0, 104}, Placed{0, 104, 104}, Placed{0, 208, 92}},
                    {},
                    24,
                    false,
                    true},
        ArrangeCase{"limitToOneRowNone",
                    {{100, 0}, {100, 1}, {100, 2}},
                    {Placed{0, 0, 104}, Placed{0, 104, 104}, Placed{0, 208, 104}},
                    {},
                    24,
                    false,
                    true},
        ArrangeCase{"chevronShrinksFromTheEnd",
                    {{100, 0, 0, false, false, true, tbsmChevron, 20}, {100, 0, 104, false, false, true, tbsmChevron, 20},
                     {100, 0, 208, false, false, true, tbsmChevron, 20}},
                    {Placed{0, 0, 104}, Placed{0, 104, 104}, Placed{0, 208, 92}},
                    {},
                    24},
        // Requested positions that reach back into the bar before take the room from that bar.
        ArrangeCase{"overlapShrinksTheBarBefore",
                    {{100, 0, -1, false, false, true, tbsmChevron, 20}, {100, 0, -1, false, false, true, tbsmChevron, 20},
                     {100, 0, -1, false, false, true, tbsmChevron, 20}},
                    {Placed{0, 0, 92}, Placed{0, 92, 104}, Placed{0, 196, 104}},
                    {},
                    24},
        // A stretching bar takes the gap before the next bar, or the rest of the row as the last one.
        ArrangeCase{"stretchGap", {{50, 0, 0, false, true}, {50, 0, 200}}, {Placed{0, 0, 200}, Placed{0, 200, 54}}, {}, 24},
        ArrangeCase{"stretchLast", {{50, 0, 0}, {50, 0, 100, false, true}}, {Placed{0, 0, 54}, Placed{0, 54, 246}}, {}, 24},
        ArrangeCase{"rowGapCloses", {{50, 0}, {50, 2}}, {Placed{0, 0, 54}, Placed{1, 0, 54}}, {}, 48},
        // A hidden bar keeps its row, which stays (empty) between the others.
        ArrangeCase{"hidden", {{50, 0}, {50, 1, -1, false, false, false}, {50, 2}}, {Placed{0, 0, 54}, std::nullopt, Placed{2, 0, 54, 24}}, {1}, 48},
        ArrangeCase{"negativePosFirst", {{50, 0, 50}, {50, 0, -5}}, {Placed{0, 54, 54}, Placed{0, 0, 54}}, {}, 24},
        // Equal keys keep the dock list's order.
        ArrangeCase{"ties", {{50, 0, 10}, {60, 0, 10}, {70, 0, 10}}, {Placed{0, 10, 54}, Placed{0, 64, 64}, Placed{0, 128, 74}}, {}, 24}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DockUpdates, NestedBracketsArrangeOnceAndFullSizeArrangesAtOnce) {
    DockForm f(false);
    TBarDock* dock = f.Dock(dpTop, false);
    TFixedBar* a = f.Bar(dock);
    TFixedBar* b = f.Bar(dock);
    a->SetBoundsCalls = b->SetBoundsCalls = 0;
    dock->BeginUpdate();
    dock->BeginUpdate();
    a->SetDockPos(100);
    b->SetDockRow(1);
    dock->EndUpdate();
    EXPECT_EQ(a->SetBoundsCalls, 0);
    dock->EndUpdate();
    EXPECT_EQ(a->SetBoundsCalls, 1);
    EXPECT_EQ(b->SetBoundsCalls, 1);
    EXPECT_EQ(a->Left(), 100);
    EXPECT_EQ(b->Top(), 24);
    b->SetFullSize(true);
    EXPECT_EQ(b->Width(), dock->Width());
    EXPECT_EQ(b->Left(), 0);
}

TEST(DockErrors, ExactTexts) {
    DockForm f(false);
    TBarDock* dock = f.Dock(dpTop);
    f.Bar(dock);
    try {
        dock->SetPosition(dpLeft);
        ADD_FAILURE() << "no error";
    } catch (const rtl::EInvalidOperation& e) {
        EXPECT_EQ(e.Message(), u"Cannot change Position of a TBarDock if it already contains controls"_qs);
    }
    EXPECT_EQ(dock->Position(), dpTop);
    EXPECT_EQ(dock->Align(), vcl::alTop);

    auto* inner = new TBarDock(f.form);
    EXPECT_THROW(inner->SetParent(dock), rtl::EInvalidOperation);
    try {
        inner->SetParent(f.Bar(dock));
    } catch (const rtl::EInvalidOperation& e) {
        EXPECT_EQ(e.Message(), u"A TBarDock control cannot be placed inside a tool window or another TBarDock"_qs);
    }
    EXPECT_EQ(inner->Parent(), nullptr);

    auto* loose = new TFixedBar(f.form, 50, 20);
    loose->SetName(u"Loose"_qs);
    try {
        loose->SetFloating(true);
        ADD_FAILURE() << "no error";
    } catch (const rtl::EInvalidOperation& e) {
        EXPECT_EQ(e.Message(), u"Control 'Loose' has no parent window"_qs);
    }
    EXPECT_FALSE(loose->Floating());
}

TEST(DockQueries, RowSizesAndPositions) {
    DockForm f(false);
    TBarDock* dock = f.Dock(dpTop, false);
    TFixedBar* a = f.Bar(dock, 50, 20, 0);
    TFixedBar* b = f.Bar(dock, 50, 30, 1);
    b->SetFullSize(true);
    bool full = false;
    EXPECT_EQ(dock->GetCurrentRowSize(0, full), 24);
    EXPECT_FALSE(full);
    EXPECT_EQ(dock->GetCurrentRowSize(1, full), 34);
    EXPECT_TRUE(full);
    EXPECT_EQ(dock->GetCurrentRowSize(-1, full), 0);
    EXPECT_EQ(dock->GetMinRowSize(1, nullptr), 30);
    EXPECT_EQ(dock->GetMinRowSize(1, b), 0);
    EXPECT_EQ(dock->GetHighestRow(true), 1);
    EXPECT_EQ(dock->RowAtPosition(0), 0);
    EXPECT_EQ(dock->RowAtPosition(23), 0);
    EXPECT_EQ(dock->RowAtPosition(24), 1);
    EXPECT_EQ(dock->RowAtPosition(58), 2);
    EXPECT_EQ(dock->ToolbarCount(), 2);
    a->SetVisible(false);
    EXPECT_EQ(dock->ToolbarCount(), 1);
    EXPECT_EQ(dock->Toolbars(0), b);
    EXPECT_EQ(dock->DockList.size(), 2u);
}

TEST(DockVertical, RowsAreColumns) {
    DockForm f(false);
    TBarDock* dock = f.Dock(dpLeft, false);
    TFixedBar* a = f.Bar(dock, 20, 50, 0);
    TFixedBar* b = f.Bar(dock, 30, 60, 1);
    EXPECT_EQ(a->BoundsRect(), TRect(0, 0, 24, 54));
    EXPECT_EQ(b->BoundsRect(), TRect(24, 0, 58, 64));
    EXPECT_EQ(dock->Width(), 58);
}

TEST(DockBoundLines, NarrowTheClientAndAddToTheThickness) {
    DockForm f;
    TBarDock* dock = f.Dock(dpTop, false);
    dock->SetBoundLines({blTop, blBottom});
    TFixedBar* a = f.Bar(dock);
    f.h.Pump();
    EXPECT_EQ(dock->Height(), 24 + 2);
    EXPECT_EQ(dock->ClientHeight(), 24);
    EXPECT_EQ(a->Top(), 0);
    // Top line in the shadow colour, bottom line in the highlight colour.
    const QImage img = f.h.App().Grab(dock->Handle());
    auto rgb = [](COLORREF c) { return qRgb(GetRValue(c), GetGValue(c), GetBValue(c)); };
    EXPECT_EQ(img.pixel(5, 0) & 0xFFFFFF, rgb(GetSysColor(COLOR_BTNSHADOW)) & 0xFFFFFF);
    EXPECT_EQ(img.pixel(5, 25) & 0xFFFFFF, rgb(GetSysColor(COLOR_BTNHIGHLIGHT)) & 0xFFFFFF);
}

} // namespace
