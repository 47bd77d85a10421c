// tests/toolbars/BarDragTest.cpp: the drag and size loops, scripted with queued input: cancelling,
// Ctrl, the dock modes, the row chosen by where the bar is dropped, dock vetoes, split drags,
// the sizing minimum and the state an exception leaves.
#include "tests/toolbars/DockFixture.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace bars_test;

namespace {

struct Drag : ::testing::Test {
    DockForm f;
    TBarDock* top = f.Dock(dpTop);
    TFixedBar* bar = nullptr;
    void SetUp() override {
        bar = f.Bar(top, 50, 20);
        f.h.Pump();
        TwInputActivate(f.form->Handle());
        f.h.Pump();
    }
    // The middle of a docked bar's drag handle, on the screen.
    static TPoint HandleOf(TBarCustomDockableWindow* b) {
        const TRect r = WindowRectOf(b->Handle());
        return TPoint(r.Left + 4, (r.Top + r.Bottom) / 2);
    }
    TPoint DockClient(TBarDock* d, int x, int y) {
        POINT p{x, y};
        ClientToScreen(d->Handle(), &p);
        return TPoint(p.x, p.y);
    }
    // Presses at Start and runs the steps, one each time the loop waits for input.
    void Run(TPoint start, std::vector<std::function<void()>> steps) {
        TwAdvanceClock(1000);
        for (auto& s : steps) f.h.WhenIdle(s);
        QueueButton(start, true);
        f.h.Pump();
    }
};

TEST_F(Drag, EscapeLeavesAnOutlineDragWhereItBegan) {
    bar->SetSmoothDrag(false);
    const TRect before = bar->BoundsRect();
    const TPoint start = HandleOf(bar);
    bool dragging = false;
    Run(start, {[&] { QueueMove(TPoint(start.X + 150, start.Y + 200)); },
                [&] {
                    dragging = bar->DragMode();
                    QueueKey(VK_ESCAPE, true);
                }});
    EXPECT_TRUE(dragging);
    EXPECT_TRUE(bar->Docked());
    EXPECT_EQ(bar->BoundsRect(), before);
    EXPECT_FALSE(bar->DragMode());
    EXPECT_EQ(GetCapture(), nullptr);
    QueueKey(VK_ESCAPE, false);
    f.h.Pump();
}

TEST_F(Drag, ASmoothDragStaysWhereTheMouseLeftItAndAnUndockedEndKeepsItsRequest) {
    bar->SetDockRow(0);
    bar->SetDockPos(-1);
    const TPoint start = HandleOf(bar);
    Run(start, {[&] { QueueMove(TPoint(start.X + 150, start.Y + 200)); },
                [&] { QueueKey(VK_ESCAPE, true); }});
    EXPECT_TRUE(bar->Floating());
    EXPECT_EQ(bar->DockRow(), 0);
    EXPECT_EQ(bar->DockPos(), -1);
    EXPECT_FALSE(bar->DragMode());
    // The frame follows the mouse: the pointer keeps its place in the window.
    const TRect fr = WindowRectOf(bar->FloatParent()->Handle());
    EXPECT_TRUE(fr.Contains(TPoint(start.X + 150, start.Y + 200)));
    QueueKey(VK_ESCAPE, false);
    f.h.Pump();
}

TEST_F(Drag, CtrlPreventsDockingAndItsReleaseDocksAtOnce) {
    const TPoint start = HandleOf(bar);
    const TPoint inDock(start.X + 100, start.Y);
    bool floatedWithCtrl = false, dockedAfter = false;
    Run(start, {[&] {
                    QueueKey(VK_CONTROL, true);
                    QueueMove(inDock);
                },
                [&] {
                    floatedWithCtrl = bar->Floating();
                    QueueKey(VK_CONTROL, false);
                },
                [&] {
                    dockedAfter = bar->Docked();
                    QueueButton(inDock, false);
                }});
    EXPECT_TRUE(floatedWithCtrl);
    EXPECT_TRUE(dockedAfter);
    EXPECT_TRUE(bar->Docked());
    EXPECT_EQ(bar->FloatParent(), nullptr);
}

TEST_F(Drag, ABarThatCannotFloatShowsNoAndDoesNotMove) {
    bar->SetDockMode(dmCannotFloat);
    const TRect before = bar->BoundsRect();
    const TPoint start = HandleOf(bar);
    const TPoint away(start.X + 100, start.Y + 250);
    HCURSOR shown = nullptr;
    Run(start, {[&] { QueueMove(away); },
                [&] {
                    shown = GetCursor();
                    QueueButton(away, false);
                }});
    EXPECT_EQ(shown, LoadCursorW(nullptr, IDC_NO));
    EXPECT_TRUE(bar->Docked());
    EXPECT_EQ(bar->BoundsRect(), before);
}

TEST_F(Drag, ABarThatCannotChangeDocksStaysInItsDock) {
    TBarDock* bottom = f.Dock(dpBottom);
    f.h.Pump();
    bar->SetDockMode(dmCannotFloatOrChangeDocks);
    const TPoint start = HandleOf(bar);
    const TPoint target = DockClient(bottom, 40, 0);
    Run(start, {[&] { QueueMove(target); }, [&] { QueueButton(target, false); }});
    EXPECT_EQ(bar->CurrentDock(), top);
    // Without the restriction the same drop lands in the other dock.
    bar->SetDockMode(dmCanFloat);
    Run(HandleOf(bar), {[&] { QueueMove(target); }, [&] { QueueButton(target, false); }});
    EXPECT_EQ(bar->CurrentDock(), bottom);
    EXPECT_EQ(bar->LastDock(), bottom);
}

// Three rows of 24 pixels, B on row 0, C on row 1 and the dragged bar A alone on row 2. The cursor
// holds A at its vertical middle, so the dropped bar's centre is the cursor's Y in the dock.
struct RowCase {
    int y;
    bool fullSize;
    int rowA, rowB, rowC;
};
void PrintTo(const RowCase& c, std::ostream* os) { *os << "y " << c.y << (c.fullSize ? " full" : ""); }
struct RowRule : Drag, ::testing::WithParamInterface<RowCase> {};

TEST_P(RowRule, QuarterOfARowAddsARowAndTheMiddleHalfJoins) {
    const RowCase& c = GetParam();
    TFixedBar* b = bar;
    b->SetDockPos(0);
    TFixedBar* cBar = f.Bar(top, 50, 20, 1, 0);
    TFixedBar* a = f.Bar(top, 50, 20, 2, 200);
    a->SetSmoothDrag(false);
    a->SetFullSize(c.fullSize);
    f.h.Pump();
    ASSERT_EQ(top->Height(), 72);
    const TPoint start = HandleOf(a);
    const TPoint target(start.X, DockClient(top, 0, c.y).Y);
    Run(start, {[&] { QueueMove(target); }, [&] { QueueButton(target, false); }});
    EXPECT_EQ(a->EffectiveDockRow(), c.rowA);
    EXPECT_EQ(b->EffectiveDockRow(), c.rowB);
    EXPECT_EQ(cBar->EffectiveDockRow(), c.rowC);
}

INSTANTIATE_TEST_SUITE_P(Drop, RowRule,
                         ::testing::Values(RowCase{2, false, 0, 1, 2},    // top quarter of row 0: a row before it
                                           RowCase{10, false, 0, 0, 1},   // middle half: joins row 0
                                           RowCase{20, false, 1, 0, 2},   // bottom quarter: a row before row 1
                                           RowCase{35, false, 1, 0, 1},   // joins row 1
                                           RowCase{60, false, 2, 0, 1},   // its own row
                                           RowCase{10, true, 0, 1, 2},    // a full-size bar never joins:
                                           RowCase{13, true, 1, 0, 2}));  // the row's middle splits

TEST_F(Drag, AVetoingDockHandsTheBarToTheNextOne) {
    TBarDock* left = f.Dock(dpLeft);
    f.h.Pump();
    int asked = 0;
    bool refuse = true;
    top->OnRequestDock = [&](rtl::TObject*, TBarCustomDockableWindow*, bool& Accept) {
        ++asked;
        Accept = !refuse;
    };
    // The corner where the top dock meets the left one: both are within reach.
    const TPoint corner = DockClient(top, 2, 2);
    auto dragFromFloating = [&] {
        bar->SetFloatingPosition(TPoint(700, 500));
        bar->SetFloating(true);
        f.h.Pump();
        const TRect fr = WindowRectOf(bar->FloatParent()->Handle());
        Run(TPoint(fr.Left + 20, fr.Top + 10), {[&] { QueueMove(corner); }, [&] { QueueButton(corner, false); }});
    };
    dragFromFloating();
    EXPECT_GT(asked, 0);
    EXPECT_EQ(bar->CurrentDock(), left);
    refuse = false;
    dragFromFloating();
    EXPECT_EQ(bar->CurrentDock(), top);
}

TEST_F(Drag, ASplitDragStartsAfterTenPixelsAlongACrowdedRow) {
    bar->BaseW = 200;
    bar->Mode = tbsmChevron;
    bar->MinLength = 50;
    bar->SetDockPos(0);
    TFixedBar* other = f.Bar(top, 200, 20, 0, 210);
    other->Mode = tbsmChevron;
    other->MinLength = 50;
    top->ArrangeToolbars();
    f.h.Pump();
    ASSERT_EQ(top->Height(), 24);
    const TPoint start = HandleOf(bar);
    bool at9 = true, at10 = false;
    Run(start, {[&] { QueueMove(TPoint(start.X + 9, start.Y)); },
                [&] {
                    at9 = bar->DragSplitting();
                    QueueMove(TPoint(start.X + 10, start.Y));
                },
                [&] {
                    at10 = bar->DragSplitting();
                    QueueButton(TPoint(start.X + 10, start.Y), false);
                }});
    EXPECT_FALSE(at9);
    EXPECT_TRUE(at10);
    EXPECT_FALSE(bar->DragSplitting());
    EXPECT_EQ(bar->EffectiveDockRow(), 0);
    EXPECT_EQ(other->EffectiveDockRow(), 0);
}

TEST_F(Drag, SizingStopsAtTheMinimum) {
    bar->MinClientW = 40;
    bar->BaseH = 80;  // tall enough for a side between the corners
    bar->SetFloatingPosition(TPoint(600, 400));
    bar->SetFloating(true);
    f.h.Pump();
    TBarFloatingWindowParent* frame = bar->FloatParent();
    const int nc = frame->Width() - bar->Width();
    const TRect fr = WindowRectOf(frame->Handle());
    const TPoint edge(fr.Right - 2, (fr.Top + fr.Bottom) / 2 + 3);
    ASSERT_EQ(SendMessageW(frame->Handle(), WM_NCHITTEST, 0, MAKELPARAM(edge.X, edge.Y)), HTRIGHT);
    int widthOnTheWay = 0;
    RECT clip{};
    Run(edge, {[&] { QueueMove(TPoint(edge.X + 30, edge.Y)); },
               [&] {
                   widthOnTheWay = frame->Width();
                   GetClipCursor(&clip);
                   QueueMove(TPoint(edge.X - 300, edge.Y));
               },
               [&] { QueueButton(TPoint(edge.X - 300, edge.Y), false); }});
    EXPECT_EQ(widthOnTheWay, 50 + nc + 30);
    // While sizing, the pointer is kept on the one screen.
    EXPECT_EQ(clip.left, 0);
    EXPECT_EQ(clip.top, 0);
    EXPECT_EQ(clip.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(clip.bottom, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_EQ(frame->Width(), 40 + nc);
    EXPECT_EQ(bar->Width(), 40);
    EXPECT_EQ(frame->Left(), fr.Left);
    EXPECT_EQ(bar->SizingEndedCalls, 1);
}

TEST_F(Drag, AnExceptionInTheMoveLoopLeavesNoDragState) {
    int calls = 0;
    top->OnRequestDock = [&](rtl::TObject*, TBarCustomDockableWindow*, bool&) {
        if (++calls == 2) throw std::runtime_error("refused loudly");
    };
    const TPoint start = HandleOf(bar);
    QueueMove(start);
    f.h.Pump();
    f.h.WhenIdle([&] { QueueMove(TPoint(start.X + 20, start.Y)); });
    EXPECT_THROW(bar->BeginMoving(4, 10), std::runtime_error);
    EXPECT_FALSE(bar->DragMode());
    EXPECT_FALSE(bar->DragSplitting());
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_TRUE(bar->Docked());
}

class TThrowingBar : public TFixedBar {
public:
    using TFixedBar::TFixedBar;
    void SizingTracked(TRect&, const TRect&) override { throw std::runtime_error("cannot size"); }
};

TEST_F(Drag, AnExceptionInTheSizeLoopStillEndsTheSizing) {
    auto* b = new TThrowingBar(f.form, 50, 20);
    b->SetParent(top);
    b->SetFloating(true);
    f.h.Pump();
    const TRect fr = WindowRectOf(b->FloatParent()->Handle());
    QueueMove(TPoint(fr.Right - 2, fr.Bottom - 2));
    f.h.Pump();
    f.h.WhenIdle([&] { QueueMove(TPoint(fr.Right + 20, fr.Bottom + 20)); });
    EXPECT_THROW(b->BeginSizing(twshBottomRight), std::runtime_error);
    EXPECT_EQ(b->SizingEndedCalls, 1);
    EXPECT_EQ(GetCapture(), nullptr);
    RECT clip;
    GetClipCursor(&clip);  // released: the whole desktop
    EXPECT_EQ(clip.right - clip.left, GetSystemMetrics(SM_CXVIRTUALSCREEN));
    EXPECT_EQ(clip.bottom - clip.top, GetSystemMetrics(SM_CYVIRTUALSCREEN));
}

} // namespace

namespace {

// The XOR outline on a memory DC: a halftone frame, one pixel wide docked and the floating border's
// width floating, that a second drawing erases.
TEST(DragOutline, InvertsAHalftoneFrameThatASecondDrawingErases) {
    DockForm f(false);
    auto* bar = new TFixedBar(f.form, 50, 20);
    const int border = bar->GetFloatingBorderSize().X;
    ASSERT_EQ(border, 4);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 100, 100);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bmp);
    RECT all{0, 0, 100, 100};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    auto inverted = [&](int x0, int x1, int y) {
        int n = 0;
        for (int x = x0; x < x1; ++x) n += GetPixel(dc, x, y) != RGB(255, 255, 255);
        return n;
    };
    const TRect docked(10, 10, 50, 40), floating(20, 50, 80, 90);
    DrawDragOutline(bar, dc, docked, TRect(), true, false);
    EXPECT_EQ(inverted(10, 50, 10), 20);  // every other pixel of the top edge
    EXPECT_EQ(inverted(10, 11, 20) + inverted(10, 11, 21), 1);  // the left edge, one pixel wide
    EXPECT_EQ(inverted(11, 12, 20) + inverted(11, 12, 21), 0);
    EXPECT_EQ(inverted(11, 49, 20), 0);   // nothing inside
    // Moving it to a floating placement erases the old frame and draws the wide one.
    DrawDragOutline(bar, dc, floating, docked, false, true);
    EXPECT_EQ(inverted(0, 100, 10), 0);
    EXPECT_EQ(inverted(20, 20 + border, 70) + inverted(20, 20 + border, 71), border);
    EXPECT_EQ(inverted(20 + border, 80 - border, 70), 0);
    DrawDragOutline(bar, dc, TRect(), floating, false, false);
    for (int y = 0; y < 100; ++y) ASSERT_EQ(inverted(0, 100, y), 0) << y;
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
}

} // namespace
