// tests/toolbars/BarDockableWindowTest.cpp: the dockable window: re-parenting between dock and frame,
// its docked non-client area, its docked close button, and how a floating window follows its form.
#include "tests/toolbars/DockFixture.h"

#include "rtl/Filer.h"
#include "rtl/Streams.h"
#include "vcl/Messages.h"
#include "vcl/StdCtrls.h"

#include <gtest/gtest.h>

using namespace bars_test;

namespace {

TPoint ClientOriginOf(HWND h) {
    POINT p{0, 0};
    ClientToScreen(h, &p);
    return TPoint(p.x, p.y);
}
bool ShownBit(HWND h) { return (GetWindowLongW(h, GWL_STYLE) & WS_VISIBLE) != 0; }

struct EventLog {
    std::vector<std::string> events;
    void Watch(TBarCustomDockableWindow* w) {
        w->OnDockChanging = [this](rtl::TObject*, bool floating, TBarDock* dock) {
            events.push_back(std::string("changing ") + (floating ? "float" : dock ? "dock" : "form"));
        };
        w->OnDockChangingHidden = [this](rtl::TObject*, bool, TBarDock*) { events.push_back("hidden"); };
        w->OnRecreating = [this](rtl::TObject*) { events.push_back("recreating"); };
        w->OnRecreated = [this](rtl::TObject*) { events.push_back("recreated"); };
        w->OnDockChanged = [this](rtl::TObject*) { events.push_back("changed"); };
    }
};

TEST(DockableWindow, FloatsAndDocksAgainKeepingItsWindowAndItsRow) {
    DockForm f;
    TBarDock* dock = f.Dock(dpTop);
    TFixedBar* first = f.Bar(dock, 50, 20, 0);
    TFixedBar* bar = f.Bar(dock, 60, 20, 1);
    f.h.Pump();
    const HWND wnd = bar->Handle();
    ASSERT_EQ(bar->EffectiveDockRow(), 1);
    EventLog log;
    log.Watch(bar);

    bar->SetFloating(true);
    f.h.Pump();
    EXPECT_EQ(log.events, (std::vector<std::string>{"changing float", "recreating", "hidden", "recreated", "changed"}));
    EXPECT_TRUE(bar->Floating());
    EXPECT_FALSE(bar->Docked());
    EXPECT_EQ(bar->Handle(), wnd);
    ASSERT_NE(bar->FloatParent(), nullptr);
    EXPECT_EQ(GetParent(wnd), bar->FloatParent()->Handle());
    EXPECT_TRUE(IsWindowVisible(bar->FloatParent()->Handle()));
    // The frame's client area is the bar's size.
    EXPECT_EQ(bar->FloatParent()->ClientWidth(), bar->Width());
    EXPECT_EQ(bar->FloatParent()->ClientHeight(), bar->Height());
    EXPECT_EQ(bar->Width(), 60);
    // It still belongs to its last dock, but is not shown there; the dock closed its row.
    EXPECT_EQ(bar->LastDock(), dock);
    EXPECT_NE(std::find(dock->DockList.begin(), dock->DockList.end(), bar), dock->DockList.end());
    EXPECT_EQ(dock->ToolbarCount(), 1);
    EXPECT_EQ(dock->Height(), 24);
    EXPECT_NE(std::find(ThreadFloatingWindows().begin(), ThreadFloatingWindows().end(), bar),
              ThreadFloatingWindows().end());

    // A double click on the frame's caption brings it back to its row.
    log.events.clear();
    const HWND frame = bar->FloatParent()->Handle();
    const TRect caption = bar->FloatParent()->CaptionRect(true, true);
    const TRect fr = WindowRectOf(frame);
    const TPoint at(fr.Left + caption.Left + 5, fr.Top + caption.Top + 3);
    ASSERT_EQ(SendMessageW(frame, WM_NCHITTEST, 0, MAKELPARAM(at.X, at.Y)), HT_TB2k_Caption);
    f.h.WhenIdle([&] { QueueButton(at, false); });  // the first press starts a move: let it go at once
    QueueButton(at, true);
    f.h.Pump();
    TwAdvanceClock(50);
    QueueButton(at, true);
    QueueButton(at, false);
    f.h.Pump();
    EXPECT_TRUE(bar->Docked());
    EXPECT_EQ(bar->CurrentDock(), dock);
    EXPECT_EQ(bar->Handle(), wnd);
    EXPECT_EQ(bar->EffectiveDockRow(), 1);
    EXPECT_EQ(bar->Top(), 24);
    EXPECT_EQ(first->EffectiveDockRow(), 0);
    EXPECT_EQ(bar->FloatParent(), nullptr);  // the frame went with the float
    EXPECT_TRUE(ThreadFloatingWindows().empty());
    EXPECT_EQ(log.events, (std::vector<std::string>{"changing dock", "recreating", "hidden", "recreated", "changed"}));
}

// The docked non-client insets, by drag handle style, docked close button and DPI.
struct InsetCase {
    int dpi;
    TBarDragHandleStyle style;
    bool closeButton;
    bool allowDrag;
    int left, top;  // client origin in the window
};
void PrintTo(const InsetCase& c, std::ostream* os) {
    *os << c.dpi << "dpi style " << c.style << (c.closeButton ? " close" : "") << (c.allowDrag ? "" : " fixed");
}
class DockedInsets : public ::testing::TestWithParam<InsetCase> {};

TEST_P(DockedInsets, ClientAreaSitsInsideBorderAndHandle) {
    const InsetCase& c = GetParam();
    {
        DockForm f;
        TwSetLogPixels(c.dpi);  // after the harness, which starts at 96
        TBarDock* dock = f.Dock(dpTop, c.allowDrag);
        TFixedBar* bar = f.Bar(dock, 50, 20);
        bar->SetDragHandleStyle(c.style);
        bar->SetCloseButtonWhenDocked(c.closeButton);
        f.h.Pump();
        const TRect wr = WindowRectOf(bar->Handle());
        const TPoint co = ClientOriginOf(bar->Handle());
        EXPECT_EQ(co.X - wr.Left, c.left);
        EXPECT_EQ(co.Y - wr.Top, c.top);
        EXPECT_EQ(bar->ClientWidth(), 50);
        EXPECT_EQ(bar->ClientHeight(), 20);
        EXPECT_EQ(bar->Width(), 50 + c.left + c.top);
    }
    TwSetLogPixels(96);
}

INSTANTIATE_TEST_SUITE_P(Dock, DockedInsets,
                         ::testing::Values(InsetCase{96, dhSingle, false, true, 2 + 6, 2},
                                           InsetCase{96, dhDouble, false, true, 2 + 9, 2},
                                           InsetCase{96, dhNone, false, true, 2, 2},
                                           InsetCase{96, dhNone, true, true, 2 + 14, 2},
                                           InsetCase{96, dhSingle, true, false, 2, 2},
                                           InsetCase{144, dhSingle, false, true, 3 + 9, 3},
                                           InsetCase{144, dhDouble, false, true, 3 + 14, 3},
                                           InsetCase{144, dhSingle, true, true, 3 + 21, 3}));

TEST(DockableWindow, AFixedDockOffersNoHandleAndNothingMoves) {
    DockForm f;
    TBarDock* dock = f.Dock(dpTop, false);
    TFixedBar* bar = f.Bar(dock, 50, 20);
    f.h.Pump();
    const TRect before = bar->BoundsRect();
    const TRect wr = WindowRectOf(bar->Handle());
    const TPoint edge(wr.Left + 1, wr.Top + 1);
    EXPECT_EQ(SendMessageW(bar->Handle(), WM_NCHITTEST, 0, MAKELPARAM(edge.X, edge.Y)), HT_TB2k_Border);
    EXPECT_FALSE(bar->IsMovable());
    // Neither a press on the border nor a double click starts anything.
    QueueButton(edge, true);
    QueueButton(TPoint(edge.X + 100, edge.Y + 100), false);
    f.h.Pump();
    EXPECT_EQ(GetCapture(), nullptr);
    SendMessageW(bar->Handle(), WM_NCLBUTTONDBLCLK, HT_TB2k_Border, MAKELPARAM(edge.X, edge.Y));
    EXPECT_TRUE(bar->Docked());
    EXPECT_EQ(bar->BoundsRect(), before);
}

struct CloseButton : ::testing::Test {
    DockForm f;
    TBarDock* dock = f.Dock(dpTop);
    TFixedBar* bar = f.Bar(dock, 50, 20);
    int closed = 0;
    TPoint inside, outside;
    void SetUp() override {
        bar->SetCloseButtonWhenDocked(true);
        bar->OnClose = [this](rtl::TObject*) { ++closed; };
        f.h.Pump();
        const TRect wr = WindowRectOf(bar->Handle());
        const TRect b = bar->DockedCloseButtonRect(false);
        inside = TPoint(wr.Left + (b.Left + b.Right) / 2, wr.Top + (b.Top + b.Bottom) / 2);
        outside = TPoint(wr.Right + 40, wr.Bottom + 40);
        ASSERT_EQ(SendMessageW(bar->Handle(), WM_NCHITTEST, 0, MAKELPARAM(inside.X, inside.Y)), HT_TB2k_Close);
    }
    void PressAndReleaseAt(TPoint release) {
        f.h.WhenIdle([=] { QueueMove(release); });
        f.h.WhenIdle([=] { QueueButton(release, false); });
        TwAdvanceClock(2000);  // no double click with the press before
        QueueButton(inside, true);
        f.h.Pump();
    }
};

TEST_F(CloseButton, ReleasedOutsideDoesNotClose) {
    PressAndReleaseAt(outside);
    EXPECT_TRUE(bar->Visible());
    EXPECT_EQ(closed, 0);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(CloseButton, ReleasedOverItClosesUnlessTheQueryRefuses) {
    bool allow = false;
    bar->OnCloseQuery = [&](rtl::TObject*, bool& CanClose) { CanClose = allow; };
    PressAndReleaseAt(inside);
    EXPECT_TRUE(bar->Visible());
    EXPECT_EQ(closed, 0);
    allow = true;
    PressAndReleaseAt(inside);
    EXPECT_FALSE(bar->Visible());
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(dock->ToolbarCount(), 0);
}

// ---- floating ----

struct Floating : ::testing::Test {
    DockForm f;
    TBarDock* dock = f.Dock(dpTop);
    TFixedBar* bar = f.Bar(dock, 60, 20);
    HWND frame = nullptr;
    void Float(TBarFloatingMode mode) {
        bar->SetFloatingMode(mode);
        bar->SetFloatingPosition(TPoint(600, 400));
        bar->SetFloating(true);
        f.h.Pump();
        frame = bar->FloatParent()->Handle();
        ASSERT_TRUE(IsWindowVisible(frame));
    }
};

TEST_F(Floating, FollowsItsFormWhenOnTopOfIt) {
    Float(fmOnTopOfParentForm);
    EXPECT_EQ(GetWindow(frame, GW_OWNER), f.form->Handle());
    EXPECT_EQ(WindowRectOf(frame).TopLeft(), TPoint(600, 400));
    f.form->Hide();
    f.h.Pump();
    EXPECT_FALSE(ShownBit(frame));
    f.form->Show();
    f.h.Pump();
    EXPECT_TRUE(ShownBit(frame));
    ShowWindow(f.form->Handle(), SW_MINIMIZE);
    f.h.Pump();
    EXPECT_FALSE(ShownBit(frame));
    ShowWindow(f.form->Handle(), SW_RESTORE);
    f.h.Pump();
    EXPECT_TRUE(ShownBit(frame));
}

TEST_F(Floating, StaysWhenOnTopOfAllForms) {
    bar->SetHideWhenInactive(false);  // hiding the only form deactivates the application
    Float(fmOnTopOfAllForms);
    EXPECT_TRUE(GetWindowLongW(frame, GWL_EXSTYLE) & WS_EX_TOPMOST);
    f.form->Hide();
    f.h.Pump();
    EXPECT_TRUE(ShownBit(frame));
    ShowWindow(f.form->Handle(), SW_MINIMIZE);
    f.h.Pump();
    EXPECT_TRUE(ShownBit(frame));
}

TEST_F(Floating, HidesWhileTheApplicationIsInactive) {
    Float(fmOnTopOfParentForm);
    TwInputActivate(f.form->Handle());
    f.h.Pump();
    ASSERT_TRUE(ApplicationIsActive());
    TwInputDeactivateApp();
    f.h.Pump();
    EXPECT_FALSE(ShownBit(frame));
    TwInputActivate(f.form->Handle());
    f.h.Pump();
    EXPECT_TRUE(ShownBit(frame));
    // Without HideWhenInactive it stays.
    bar->SetHideWhenInactive(false);
    TwInputDeactivateApp();
    f.h.Pump();
    EXPECT_TRUE(ShownBit(frame));
}

TEST_F(Floating, AFrameOutlivesItsOwner) {
    Float(fmOnTopOfParentForm);
    // A second form owns the frame: the frame is handed to the application window when it goes.
    auto* other = f.h.Create<vcl::TForm>();
    other->Show();
    f.h.Pump();
    SetWindowLongPtrW(frame, GWLP_HWNDPARENT, LONG_PTR(other->Handle()));
    ASSERT_EQ(GetWindow(frame, GW_OWNER), other->Handle());
    other->DestroyHandle();
    f.h.Pump();
    EXPECT_TRUE(IsWindow(frame));
    EXPECT_EQ(GetWindow(frame, GW_OWNER), vcl::Application->Handle());
}

// ---- the frame ----

struct HitCase {
    const char* name;
    int x, y;  // negative: from the right or bottom edge (-1 is the last pixel)
    LRESULT hit;
    bool showCaption = true, resizable = true, eightCorner = true;
};
void PrintTo(const HitCase& c, std::ostream* os) { *os << c.name; }
class FrameHitTest : public ::testing::TestWithParam<HitCase> {};

TEST_P(FrameHitTest, AnswersTheFramesParts) {
    const HitCase& c = GetParam();
    DockForm f;
    TBarDock* dock = f.Dock(dpTop);
    TFixedBar* bar = f.Bar(dock, 100, 60);
    bar->SetShowCaption(c.showCaption);
    bar->SetResizable(c.resizable);
    if (!c.eightCorner) bar->SetDockableWindowStyles({});
    bar->SetFloatingPosition(TPoint(500, 300));
    bar->SetFloating(true);
    f.h.Pump();
    const HWND frame = bar->FloatParent()->Handle();
    const TRect wr = WindowRectOf(frame);
    const int x = c.x >= 0 ? wr.Left + c.x : wr.Right + c.x;
    const int y = c.y >= 0 ? wr.Top + c.y : wr.Bottom + c.y;
    EXPECT_EQ(SendMessageW(frame, WM_NCHITTEST, 0, MAKELPARAM(x, y)), c.hit);
}

// Border 4 (SM_CXFRAME), small caption 23: corners reach 23 + 4 - 1 = 26 pixels along each edge.
INSTANTIATE_TEST_SUITE_P(
    Frame, FrameHitTest,
    ::testing::Values(HitCase{"topLeft", 0, 0, HTTOPLEFT}, HitCase{"topLeftAlongTop", 25, 0, HTTOPLEFT},
                      HitCase{"top", 26, 0, HTTOP}, HitCase{"topRight", -1, 0, HTTOPRIGHT},
                      HitCase{"topRightAlongTop", -26, 1, HTTOPRIGHT}, HitCase{"leftTopCorner", 1, 25, HTTOPLEFT},
                      HitCase{"left", 1, 30, HTLEFT}, HitCase{"bottomLeft", 0, -1, HTBOTTOMLEFT},
                      HitCase{"bottom", 40, -1, HTBOTTOM}, HitCase{"topBand", 40, 3, HTTOP},
                      HitCase{"leftBand", 3, 40, HTLEFT}, HitCase{"bottomRight", -1, -1, HTBOTTOMRIGHT},
                      HitCase{"rightBottomCorner", -1, -26, HTBOTTOMRIGHT}, HitCase{"right", -1, 40, HTRIGHT},
                      HitCase{"caption", 20, 8, HT_TB2k_Caption}, HitCase{"closeButton", -8, 8, HT_TB2k_Close},
                      HitCase{"client", 40, 40, HTCLIENT},
                      HitCase{"fourSidesOnly", 0, 0, HTTOP, true, true, false},
                      HitCase{"fourSidesLeft", 1, 10, HTLEFT, true, true, false},
                      HitCase{"nothingWithoutCaptionAndSizing", 0, 0, HTNOWHERE, false, false},
                      HitCase{"noCaptionBand", 40, 8, HTCLIENT, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Floating, BottomAndRightBandsAreOnePixelWider) {
    bar->SetDockableWindowStyles({});  // four sides: the bar is too short for corners and sides apart
    Float(fmOnTopOfParentForm);
    TBarFloatingWindowParent* fp = bar->FloatParent();
    const int w = fp->Width(), h = fp->Height();
    // The window's own answer (HTCLIENT) comes first, so only the frame's table shows the extra pixel.
    EXPECT_EQ(fp->HitTest(TPoint(40, h - 5)), HTBOTTOM);
    EXPECT_EQ(fp->HitTest(TPoint(w - 5, 30)), HTRIGHT);
    EXPECT_EQ(fp->HitTest(TPoint(4, 30)), HTNOWHERE);
    EXPECT_EQ(fp->HitTest(TPoint(40, 4 + 23)), HTNOWHERE);
}

TEST_F(Floating, FrameForwardsCloseAndEscapeToTheForm) {
    Float(fmOnTopOfParentForm);
    int formClosed = 0;
    f.form->OnClose = [&](rtl::TObject*, vcl::TCloseAction& Action) {
        ++formClosed;
        Action = vcl::caNone;
    };
    SendMessageW(frame, WM_CLOSE, 0, 0);
    EXPECT_EQ(formClosed, 1);
    EXPECT_TRUE(bar->Visible());
    EXPECT_TRUE(IsWindowVisible(frame));

    auto* edit = new vcl::TEdit(f.form);
    edit->SetParent(f.form);
    edit->SetBounds(10, 100, 100, 20);
    f.h.Pump();
    TwInputActivate(f.form->Handle());
    f.h.Pump();
    SetFocus(bar->Handle());
    ASSERT_EQ(GetFocus(), bar->Handle());
    EXPECT_EQ(bar->FloatParent()->Perform(vcl::CM_DIALOGKEY, WPARAM(VK_ESCAPE), LPARAM(0)), 1);
    EXPECT_NE(GetFocus(), bar->Handle());
    EXPECT_TRUE(f.form->Active());
}

TEST_F(Floating, AClickOnTheFrameLeavesTheFormActive) {
    Float(fmOnTopOfParentForm);
    TwInputActivate(f.form->Handle());
    f.h.Pump();
    ASSERT_EQ(GetActiveWindow(), f.form->Handle());
    const HWND bw = bar->Handle();
    const TPoint p = ClientOriginOf(bw);
    EXPECT_EQ(SendMessageW(bw, WM_MOUSEACTIVATE, WPARAM(frame), MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)), MA_NOACTIVATE);
    // A press on the bar starts a move, which ends at once where it began.
    f.h.WhenIdle([=] { QueueButton(TPoint(p.X + 30, p.Y + 5), false); });
    QueueButton(TPoint(p.X + 30, p.Y + 5), true);
    f.h.Pump();
    EXPECT_EQ(GetActiveWindow(), f.form->Handle());
    EXPECT_FALSE(bar->InactiveCaption());
}

} // namespace

namespace {

TEST(DockableWindow, WithoutALastDockADoubleClickGoesToTheFrontOfTheDefaultDock) {
    DockForm f;
    TBarDock* top = f.Dock(dpTop);
    TBarDock* bottom = f.Dock(dpBottom);
    TFixedBar* resident = f.Bar(bottom, 50, 20, 0, 0);
    TFixedBar* bar = f.Bar(top, 50, 20);
    bar->SetUseLastDock(false);
    bar->SetFloating(true);
    f.h.Pump();
    EXPECT_EQ(bar->LastDock(), nullptr);
    EXPECT_EQ(std::find(top->DockList.begin(), top->DockList.end(), bar), top->DockList.end());
    bar->ToggleFloating();  // no dock to go to
    EXPECT_TRUE(bar->Floating());
    bar->SetDefaultDock(bottom);
    bar->ToggleFloating();
    EXPECT_EQ(bar->CurrentDock(), bottom);
    EXPECT_EQ(bar->EffectiveDockRow(), 0);
    EXPECT_EQ(bar->Left(), 0);  // before the bar that was there
    EXPECT_GT(resident->Left(), 0);
}

TEST(DockableWindow, AFrameOffTheScreenIsBroughtBack) {
    DockForm f;
    TBarDock* top = f.Dock(dpTop);
    TFixedBar* bar = f.Bar(top, 50, 20);
    bar->SetFloatingPosition(TPoint(5000, 3000));
    bar->SetFloating(true);
    f.h.Pump();
    TBarFloatingWindowParent* frame = bar->FloatParent();
    EXPECT_EQ(frame->Left(), 5000);  // where it was asked to go
    bar->MoveOnScreen(true);         // wholly off the screen: back onto it, at the bottom right
    EXPECT_EQ(frame->Left() + frame->Width(), testing_support::HeadlessApp::ScreenWidth);
    EXPECT_LE(frame->Top() + frame->Height(), testing_support::HeadlessApp::ScreenHeight);
    const TRect kept = frame->BoundsRect();
    bar->SetFloatingPosition(TPoint(kept.Left - 20, kept.Top));
    bar->MoveOnScreen(true);  // partly on the screen: left alone
    EXPECT_EQ(frame->Left(), kept.Left - 20);
}

// ---- streaming ----

bool Contains(rtl::TMemoryStream& s, const char* text) {
    const char* data = static_cast<const char*>(s.Memory());
    return std::string(data, data + s.Size()).find(text) != std::string::npos;
}

TEST(DockableStreaming, SavedAtRunTimeIsWrittenOnlyOutsideDesignTimeAndReadBack) {
    DockForm f;
    TBarDock* dock = f.Dock(dpTop);
    TFixedBar* bar = f.Bar(dock, 50, 20);
    TFixedBar* other = f.Bar(dock, 50, 20);
    rtl::TMemoryStream run;
    rtl::TWriter(&run).WriteProperties(bar);
    EXPECT_TRUE(Contains(run, "SavedAtRunTime"));
    run.SetPosition(0);
    EXPECT_NO_THROW(rtl::TReader(&run).ReadProperties(other));  // a property the window knows

    bar->SetDesigning(true, false);
    rtl::TMemoryStream design;
    rtl::TWriter(&design).WriteProperties(bar);
    EXPECT_FALSE(Contains(design, "SavedAtRunTime"));
    bar->SetDesigning(false, false);
}

TEST(DockablePalette, AnotherWindowsPaletteRedrawsTheBarItsOwnDoesNot) {
    DockForm f;
    TBarDock* dock = f.Dock(dpTop);
    TFixedBar* bar = f.Bar(dock, 50, 20);
    f.h.Pump();
    const HWND h = bar->Handle();
    ValidateRect(h, nullptr);
    SendMessageW(h, 0x0311, reinterpret_cast<WPARAM>(h), 0);  // WM_PALETTECHANGED by the bar itself
    EXPECT_FALSE(GetUpdateRect(h, nullptr, FALSE));
    SendMessageW(h, 0x0311, reinterpret_cast<WPARAM>(dock->Handle()), 0);
    EXPECT_TRUE(GetUpdateRect(h, nullptr, FALSE));
}

} // namespace
