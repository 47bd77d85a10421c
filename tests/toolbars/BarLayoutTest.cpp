// tests/toolbars/BarLayoutTest.cpp: the layout of views: visible set, chevron, wrapping, line breaks,
// right alignment, popup scrolling and the empty view.
#include "tests/toolbars/BarFixture.h"

#include <gtest/gtest.h>

#include <functional>

using namespace bars_test;

namespace {

struct Layout {
    TPoint base, total;
    int lines = 0;
};

Layout LayOut(TBarView* v, TBarViewOrientation o = tbvoHorizontal, int wrap = 0, int chevronOffset = 0, int chevronSize = 0) {
    Layout l;
    v->LayoutViewers(true, o, wrap, chevronOffset, chevronSize, l.base, l.total, l.lines);
    return l;
}

TBarItemViewer* ViewerOf(TBarView* v, TBarCustomItem* item) { return v->Find(item); }

TEST(Layout, AnEmptyViewStillHasASize) {
    Bar b;
    auto* v = b.Toolbar();
    const Layout l = LayOut(v);
    EXPECT_EQ(l.base, TPoint(23, 22));
    EXPECT_EQ(l.total, TPoint(23, 22));
    b.Separator();
    b.Item()->SetVisible(false);
    EXPECT_EQ(LayOut(v).base, TPoint(23, 22));
}

TEST(Layout, SeparatorsAtTheStartInARowAndAtTheEndAreNotShown) {
    Bar b;
    auto* s1 = b.Separator();
    auto* a = b.Item();
    auto* s2 = b.Separator();
    auto* s3 = b.Separator();
    auto* c = b.Item();
    auto* s4 = b.Separator();
    auto* v = b.Toolbar();
    const Layout l = LayOut(v);
    EXPECT_FALSE(ViewerOf(v, s1)->Show());
    EXPECT_TRUE(ViewerOf(v, s2)->Show());
    EXPECT_FALSE(ViewerOf(v, s3)->Show());
    EXPECT_FALSE(ViewerOf(v, s4)->Show());
    EXPECT_EQ(ViewerOf(v, a)->BoundsRect(), TRect(0, 0, 30, 20));
    EXPECT_EQ(ViewerOf(v, s2)->BoundsRect(), TRect(30, 0, 36, 20));  // stretched across the line
    EXPECT_EQ(ViewerOf(v, c)->BoundsRect(), TRect(36, 0, 66, 20));
    EXPECT_EQ(l.base, TPoint(66, 20));
}

TEST(Layout, ItemsShrinkBehindTheChevronByPriority) {
    Bar b;
    auto* one = b.Item();
    auto* two = b.Item();
    auto* three = b.Item();
    auto* v = b.ChevronToolbar();
    auto* chevron = b.Chevron();
    ASSERT_EQ(v->ViewerCount(), 4);
    EXPECT_EQ(v->InternalViewersAtEnd(), 1);
    const Layout l = LayOut(v, tbvoHorizontal, 0, 70, 12);
    EXPECT_TRUE(ViewerOf(v, one)->Show());
    EXPECT_TRUE(ViewerOf(v, two)->OffEdge());
    EXPECT_TRUE(ViewerOf(v, three)->OffEdge());
    EXPECT_FALSE(ViewerOf(v, three)->Show());
    EXPECT_EQ(ViewerOf(v, chevron)->BoundsRect(), TRect(58, 0, 70, 20));
    EXPECT_TRUE(chevron->Enabled());
    EXPECT_EQ(l.base.X, 90);  // the length before shrinking
    // Room for everything: nothing off edge, and the chevron has nothing to show.
    LayOut(v, tbvoHorizontal, 0, 200, 12);
    EXPECT_TRUE(ViewerOf(v, three)->Show());
    // A single item is never hidden, however short the bar.
    Bar single;
    single.Item();
    auto* sv = single.ChevronToolbar();
    auto* lone = single.Chevron();
    LayOut(sv, tbvoHorizontal, 0, 10, 12);
    EXPECT_TRUE(sv->GetViewer(0)->Show());
    EXPECT_FALSE(lone->Enabled());
}

TEST(Layout, ExecutingFromTheChevronBringsTheItemBack) {
    Bar b;
    b.Item();
    auto* two = b.Item();
    auto* three = b.Item();
    auto* v = b.ChevronToolbar();
    v->SetChevronOffset(70);
    v->SetChevronSize(12);
    v->UpdatePositions();
    ASSERT_TRUE(ViewerOf(v, three)->OffEdge());
    ViewerOf(v, three)->Execute(true);
    EXPECT_EQ(v->DoneActionData().DoneAction, tbdaClickItem);
    EXPECT_EQ(v->DoneActionData().ClickItem, three);
    EXPECT_TRUE(ViewerOf(v, three)->Show());
    EXPECT_TRUE(ViewerOf(v, two)->OffEdge());  // the lowest priority goes instead
}

TEST(Layout, TheChevronPopupShowsWhatTheBarCouldNotAndGivesPriorityBack) {
    Bar b;
    auto* one = b.Item();
    auto* sep = b.Separator();
    auto* two = b.Item();
    auto* three = b.Item();
    auto* bar = b.ChevronToolbar();
    bar->SetChevronOffset(60);
    bar->SetChevronSize(12);
    bar->UpdatePositions();
    ASSERT_TRUE(ViewerOf(bar, one)->Show());
    ASSERT_TRUE(ViewerOf(bar, two)->OffEdge());
    ASSERT_TRUE(ViewerOf(bar, three)->OffEdge());
    auto* popup = b.Keep(new TBarView(nullptr, bar, b.root, nullptr, true, false, false));
    popup->SetChevronParentView(bar);
    LayOut(popup, tbvoHorizontal);
    EXPECT_FALSE(ViewerOf(popup, one)->Show());
    EXPECT_FALSE(ViewerOf(popup, sep)->Show());  // a separator first in the popup is pruned
    EXPECT_TRUE(ViewerOf(popup, two)->Show());
    EXPECT_TRUE(ViewerOf(popup, three)->Show());
    // A command used from the chevron moves back onto the bar; the lowest priority goes instead.
    ViewerOf(popup, three)->Execute(true);
    EXPECT_EQ(bar->DoneActionData().DoneAction, tbdaClickItem);
    EXPECT_TRUE(ViewerOf(bar, three)->Show());
    EXPECT_TRUE(ViewerOf(bar, one)->OffEdge());
}

TEST(Layout, ASeparatorWhoseGroupDoesNotFitBreaksTheLine) {
    Bar b;
    auto* a = b.Item();
    auto* c = b.Item();
    auto* sep = b.Separator();
    auto* d = b.Item();
    auto* e = b.Item();
    auto* v = b.Toolbar();
    const Layout l = LayOut(v, tbvoHorizontal, 100);
    EXPECT_EQ(l.lines, 2);
    EXPECT_EQ(ViewerOf(v, a)->BoundsRect(), TRect(0, 0, 30, 20));
    EXPECT_EQ(ViewerOf(v, c)->BoundsRect(), TRect(30, 0, 60, 20));
    EXPECT_TRUE(ViewerOf(v, sep)->State.Contains(tbvsLineBreak));
    EXPECT_EQ(ViewerOf(v, sep)->BoundsRect(), TRect(0, 20, 100, 26));  // full width, 6 high
    EXPECT_EQ(ViewerOf(v, d)->BoundsRect(), TRect(0, 26, 30, 46));
    EXPECT_EQ(ViewerOf(v, e)->BoundsRect(), TRect(30, 26, 60, 46));
    EXPECT_EQ(l.total, TPoint(100, 46));  // a wrapped bar takes its whole wrap length
}

TEST(Layout, NoLineBreakKeepsASeparatorAfterAnOrdinaryWrap) {
    for (const bool noLineBreak : {false, true}) {
        Bar b;
        for (int i = 0; i < 4; ++i) b.Item();
        auto* sep = b.Separator();
        if (noLineBreak) sep->AddStyle(tbisNoLineBreak);
        b.Item();
        auto* v = b.Toolbar();
        const Layout l = LayOut(v, tbvoHorizontal, 100);
        // The fourth item wrapped; the separator then breaks only without the flag.
        EXPECT_EQ(ViewerOf(v, sep)->State.Contains(tbvsLineBreak), !noLineBreak) << noLineBreak;
        EXPECT_EQ(l.lines, noLineBreak ? 2 : 3) << noLineBreak;
    }
}

TEST(Layout, RightAlignedItemsMoveToTheEndOnlyWithAWrapLength) {
    for (const int wrap : {0, 100}) {
        Bar b;
        for (int i = 0; i < 3; ++i) b.Item();
        auto* right = b.Item();
        right->AddStyle(tbisRightAlign);
        auto* v = b.Toolbar();
        LayOut(v, tbvoHorizontal, wrap);
        if (wrap)
            EXPECT_EQ(ViewerOf(v, right)->BoundsRect(), TRect(70, 20, 100, 40));
        else
            EXPECT_EQ(ViewerOf(v, right)->BoundsRect(), TRect(90, 0, 120, 20));
    }
}

TEST(Layout, VerticalBarsStackAndMirrorTheirColumns) {
    Bar b;
    auto* a = b.Item(30, 20);
    auto* c = b.Item(30, 20);
    auto* d = b.Item(30, 20);
    auto* v = b.Toolbar();
    const Layout l = LayOut(v, tbvoVertical, 50);
    EXPECT_EQ(l.lines, 2);
    // The first column stands at the right.
    EXPECT_EQ(ViewerOf(v, a)->BoundsRect(), TRect(30, 0, 60, 20));
    EXPECT_EQ(ViewerOf(v, c)->BoundsRect(), TRect(30, 20, 60, 40));
    EXPECT_EQ(ViewerOf(v, d)->BoundsRect(), TRect(0, 0, 30, 20));
    EXPECT_EQ(l.total.X, 60);
}

TEST(Layout, PopupItemsTakeTheWidestWidthAndToolbarSizedOnesRunInARow) {
    Bar b;
    auto* narrow = b.Item(40, 20);
    auto* wide = b.Item(90, 20);
    auto* t1 = b.Item(20, 20);
    auto* t2 = b.Item(20, 20);
    t1->SetOptions({tboToolbarStyle, tboToolbarSize});
    t2->SetOptions({tboToolbarStyle, tboToolbarSize});
    auto* after = b.Item(50, 20);
    auto* v = b.Popup();
    LayOut(v);
    EXPECT_EQ(ViewerOf(v, narrow)->BoundsRect(), TRect(0, 0, 90, 20));
    EXPECT_EQ(ViewerOf(v, wide)->BoundsRect(), TRect(0, 20, 90, 40));
    EXPECT_EQ(ViewerOf(v, t1)->BoundsRect(), TRect(0, 40, 20, 60));
    EXPECT_EQ(ViewerOf(v, t2)->BoundsRect(), TRect(20, 40, 40, 60));
    EXPECT_EQ(ViewerOf(v, after)->BoundsRect(), TRect(0, 60, 90, 80));  // a new row below the row
}

TEST(Layout, SameWidthItemsTakeTheWidestOfThem) {
    Bar b;
    auto* a = b.Item(25, 30);
    auto* c = b.Item(40, 30);
    auto* d = b.Item(10, 30);
    for (auto* i : {a, c}) i->SetOptions({tboImageAboveCaption, tboSameWidth});
    auto* v = b.Toolbar();
    LayOut(v);
    EXPECT_EQ(ViewerOf(v, a)->BoundsRect().Width(), 40);
    EXPECT_EQ(ViewerOf(v, c)->BoundsRect().Width(), 40);
    EXPECT_EQ(ViewerOf(v, d)->BoundsRect().Width(), 10);
}

TEST(Layout, ATallPopupScrollsWithinItsBand) {
    Bar b;
    std::vector<TFixedItem*> items;
    for (int i = 0; i < 10; ++i) items.push_back(b.Item(50, 20));
    auto* v = b.Popup();
    v->SetMaxHeight(100);
    Layout l = LayOut(v);
    EXPECT_EQ(l.total.Y, 100);
    EXPECT_FALSE(v->ShowUpArrow());
    EXPECT_TRUE(v->ShowDownArrow());
    // The band ends 19 pixels above the bottom: four items show, the rest are clipped.
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(ViewerOf(v, items[i])->Show(), i < 4) << i;
        EXPECT_EQ(ViewerOf(v, items[i])->Clipped(), i >= 4) << i;
    }
    v->SetScrollOffset(500);
    l = LayOut(v);
    EXPECT_EQ(v->ScrollOffset(), 100);
    EXPECT_TRUE(v->ShowUpArrow());
    EXPECT_FALSE(v->ShowDownArrow());
    EXPECT_EQ(ViewerOf(v, items[9])->BoundsRect(), TRect(0, 80, 50, 100));
    EXPECT_TRUE(ViewerOf(v, items[9])->Show());
    EXPECT_FALSE(ViewerOf(v, items[5])->Show());  // 0..19 is the up arrow's
    // Scrolling by item: the nearest clipped item moves to the edge of the arrow band.
    v->Scroll(false);
    EXPECT_EQ(v->ScrollOffset(), 81);  // item 5 now starts at 19, below the up arrow
    v->Scroll(true);
    EXPECT_EQ(v->ScrollOffset(), 99);  // item 8 ends at 81, above the down arrow
}

TEST(Layout, MeasuringWritesNothingIntoTheViewers) {
    Bar b;
    auto* a = b.Item();
    auto* v = b.Toolbar();
    LayOut(v);
    TPoint base, total;
    int lines = 0;
    EXPECT_FALSE(v->LayoutViewers(false, tbvoVertical, 0, 0, 0, base, total, lines));
    EXPECT_EQ(total, TPoint(30, 20));
    EXPECT_EQ(v->Orientation(), tbvoHorizontal);  // put back
    EXPECT_EQ(ViewerOf(v, a)->BoundsRect(), TRect(0, 0, 30, 20));
    // Applying again without a change reports no change.
    EXPECT_FALSE(v->LayoutViewers(true, tbvoHorizontal, 0, 0, 0, base, total, lines));
    a->Width = 44;
    EXPECT_TRUE(v->LayoutViewers(true, tbvoHorizontal, 0, 0, 0, base, total, lines));
}

TEST(Layout, FloatingBarsKeepTheirMargins) {
    Bar b;
    auto* a = b.Item();
    auto* v = b.Toolbar();
    const Layout l = LayOut(v, tbvoFloating);
    EXPECT_EQ(ViewerOf(v, a)->BoundsRect(), TRect(4, 2, 34, 22));
    EXPECT_EQ(l.total, TPoint(38, 23));
}

} // namespace

// A layout keeps each plain viewer's measured size; whatever the size is measured from must still
// reach the next layout.
TEST(Layout, AKeptSizeFollowsWhatItWasMeasuredFrom) {
    struct Case {
        const char* what;
        std::function<void(TBarCustomItem*, vcl::TFont*, TBarViewOrientation&)> change;
    };
    const Case cases[] = {
        {"caption", [](TBarCustomItem* i, vcl::TFont*, TBarViewOrientation&) { i->SetCaption(QStringLiteral("A much longer caption")); }},
        {"font", [](TBarCustomItem*, vcl::TFont* f, TBarViewOrientation&) { f->SetHeight(f->Height() * 2 - 4); }},
        {"orientation", [](TBarCustomItem*, vcl::TFont*, TBarViewOrientation& o) { o = tbvoVertical; }},
        {"bold as the default", [](TBarCustomItem* i, vcl::TFont*, TBarViewOrientation&) { i->SetOptions({tboDefault}); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Bar b;
        auto* item = b.Plain(u"Open");
        auto* v = b.Toolbar();
        const int fontHeight = v->GetFont()->Height();  // the font is shared by every view
        TBarViewOrientation o = tbvoHorizontal;
        LayOut(v, o);
        const TRect before = ViewerOf(v, item)->BoundsRect();
        LayOut(v, o);
        EXPECT_EQ(ViewerOf(v, item)->BoundsRect(), before);  // kept: the same size again
        c.change(item, v->GetFont(), o);
        LayOut(v, o);
        const TRect after = ViewerOf(v, item)->BoundsRect();
        v->GetFont()->SetHeight(fontHeight);
        EXPECT_NE(TPoint(after.Width(), after.Height()), TPoint(before.Width(), before.Height()));
    }
}
