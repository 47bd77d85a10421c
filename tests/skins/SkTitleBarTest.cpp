// tests/skins/SkTitleBarTest.cpp: the title bar's subclassing of its form's window procedure, with and
// without a later subclass in the chain, the sizing hit table of its frame, and the bar on a form: its
// buttons, maximizing within the work area, the keyboard and window-menu requests, and its clicks.
#include "skins/SkTitleBar.h"

#include "toolbars/BarCommon.h"

#include "tests/support/windows/FormHarness.h"
#include "vcl/Forms.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace skins_test {
namespace {

using skins::TSkWindowSubclass;

constexpr UINT WM_PROBE = WM_USER + 77;

std::vector<std::string>& Log() {
    static std::vector<std::string> log;
    return log;
}

class TProbeForm : public vcl::TForm {
public:
    using vcl::TForm::TForm;

protected:
    void Dispatch(vcl::TMessage& Message) override {
        if (Message.Msg == WM_PROBE) Log().push_back("form");
        vcl::TForm::Dispatch(Message);
    }
};

// Stands for the title bar: a heap object whose handler reads its own state.
struct TBarStandIn {
    std::string name = "bar";
    TSkWindowSubclass subclass;
    void Hook(HWND Wnd) {
        subclass.Install(Wnd, [this](HWND, UINT Msg, WPARAM, LPARAM, LRESULT&) {
            if (Msg == WM_PROBE) Log().push_back(name);
            return false;
        });
    }
};

// Another subclass in the plain Windows manner, which puts back what it saved.
WNDPROC gSecondSaved = nullptr;
LRESULT CALLBACK SecondProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (Msg == WM_PROBE) Log().push_back("second");
    return CallWindowProcW(gSecondSaved, Wnd, Msg, WParam, LParam);
}

struct Subclassing : ::testing::Test {
    testing_support::FormHarness h;
    TProbeForm* form = nullptr;
    HWND wnd = nullptr;
    LONG_PTR own = 0;
    void SetUp() override {
        Log().clear();
        form = h.Create<TProbeForm>();
        wnd = form->Handle();
        own = GetWindowLongPtrW(wnd, GWLP_WNDPROC);
    }
    std::vector<std::string> Probe() {
        Log().clear();
        SendMessageW(wnd, WM_PROBE, 0, 0);
        return Log();
    }
    using Seq = std::vector<std::string>;
};

TEST_F(Subclassing, BarAloneRestoresTheFormsProcedure) {
    auto bar = std::make_unique<TBarStandIn>();
    bar->Hook(wnd);
    EXPECT_EQ(Probe(), (Seq{"bar", "form"}));
    bar.reset();
    EXPECT_EQ(GetWindowLongPtrW(wnd, GWLP_WNDPROC), own);
    EXPECT_EQ(Probe(), Seq{"form"});
}

TEST_F(Subclassing, FreedBarLeavesAForwarderSoALaterSubclassKeepsWorkingAndTheBarHearsNothing) {
    auto bar = std::make_unique<TBarStandIn>();
    bar->Hook(wnd);
    gSecondSaved = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(wnd, GWLP_WNDPROC, LONG_PTR(&SecondProc)));
    EXPECT_EQ(Probe(), (Seq{"second", "bar", "form"}));

    bar.reset();   // the second subclass is not cut out
    EXPECT_EQ(GetWindowLongPtrW(wnd, GWLP_WNDPROC), LONG_PTR(&SecondProc));
    EXPECT_EQ(Probe(), (Seq{"second", "form"}));

    // The second one puts back what it saved: the forwarder, which reaches the form.
    SetWindowLongPtrW(wnd, GWLP_WNDPROC, LONG_PTR(gSecondSaved));
    EXPECT_EQ(Probe(), Seq{"form"});

    // A new bar takes the forwarder over and leaves the form's own procedure when it goes.
    auto again = std::make_unique<TBarStandIn>();
    again->name = "again";
    again->Hook(wnd);
    EXPECT_EQ(Probe(), (Seq{"again", "form"}));
    again.reset();
    EXPECT_EQ(GetWindowLongPtrW(wnd, GWLP_WNDPROC), own);
}

TEST(TitleBarSizing, HitTableOfAFourPixelFrame) {
    struct Case {
        int x, y, edge;
        vcl::TCursor cursor;
    };
    const int W = 300, H = 200;
    for (const Case& c : {Case{3, 3, WMSZ_TOPLEFT, vcl::crSizeNWSE}, Case{3, 10, 0, vcl::crDefault},
                          Case{3, 11, WMSZ_LEFT, vcl::crSizeWE}, Case{W - 3, 3, WMSZ_TOPRIGHT, vcl::crSizeNESW},
                          Case{3, H - 3, WMSZ_BOTTOMLEFT, vcl::crSizeNESW},
                          Case{W - 3, H - 3, WMSZ_BOTTOMRIGHT, vcl::crSizeNWSE}, Case{150, 2, WMSZ_TOP, vcl::crSizeNS},
                          Case{150, H - 2, WMSZ_BOTTOM, vcl::crSizeNS}, Case{W - 2, 100, WMSZ_RIGHT, vcl::crSizeWE},
                          Case{150, 100, 0, vcl::crDefault}, Case{5, 100, 0, vcl::crDefault}}) {
        const skins::TSkSizingHit hit = skins::GetSizingHitInfo(c.x, c.y, W, H, vcl::TPoint(4, 4));
        EXPECT_EQ(hit.Edge, c.edge) << c.x << ',' << c.y;
        EXPECT_EQ(hit.Cursor, c.cursor) << c.x << ',' << c.y;
    }
}

// A title bar whose system menu only records where it would open.
class TProbeTitleBar : public skins::TSkTitleBar {
public:
    using skins::TSkTitleBar::TSkTitleBar;
    using skins::TSkTitleBar::Loaded;
    std::vector<vcl::TPoint> menus;
    void PopupSystemMenu(const vcl::TPoint& P) override { menus.push_back(P); }
};

UINT gTaskbarEdge = ABE_BOTTOM, gTaskbarState = 0;
bool FakeTaskbar(UINT& Edge, vcl::TRect& Rect, UINT& State) {
    Edge = gTaskbarEdge;
    Rect = vcl::TRect();
    State = gTaskbarState;
    return true;
}

// What passed the bar on to the form's own procedure (a plain subclass under the bar's); swallowed.
std::vector<std::pair<UINT, WPARAM>> gReached;
WNDPROC gBehindSaved = nullptr;
LRESULT CALLBACK BehindProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (Msg == WM_SYSCOMMAND || Msg == 0x313) {
        gReached.emplace_back(Msg, WParam);
        return 0;
    }
    return CallWindowProcW(gBehindSaved, Wnd, Msg, WParam, LParam);
}

struct TitleBar : ::testing::Test {
    testing_support::FormHarness h;
    TProbeForm* form = nullptr;
    TProbeTitleBar* bar = nullptr;
    std::vector<std::pair<UINT, WPARAM>>& reached = gReached;

    void SetUp() override {
        form = h.Create<TProbeForm>();
        form->SetBounds(60, 60, 400, 260);
        form->SetBorderStyle(vcl::bsNone);   // as the bar leaves it: no new window under the recorder
        form->Show();
        h.Pump();
        gReached.clear();
        gBehindSaved =
            reinterpret_cast<WNDPROC>(SetWindowLongPtrW(form->Handle(), GWLP_WNDPROC, LONG_PTR(&BehindProc)));
        bar = new TProbeTitleBar(form);
        bar->SetParent(form);
        bar->Loaded();
        h.Pump();
        skins::TaskbarInfoProbe = &FakeTaskbar;
    }
    void TearDown() override { skins::TaskbarInfoProbe = &skins::GetTaskbarInfo; }
    // A point on the caption spacer, in the inner toolbar.
    POINT CaptionSpot() {
        const vcl::TRect r = bar->Toolbar()->View()->Find(bar->Options()->RightAlignSpacer())->BoundsRect();
        return POINT{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    }
    void DoubleClickCaption() {
        const POINT p = CaptionSpot();
        SendMessageW(bar->Toolbar()->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(p.x, p.y));
        SendMessageW(bar->Toolbar()->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
    }
};

TEST_F(TitleBar, ButtonsInOrderWithBuiltInGlyphsAndNegativeIndexesStoredAsNone) {
    skins::TSkTitleBarButtonOptions* o = bar->Options();
    std::vector<bars::TBarCustomItem*> order;
    for (int i = 0; i < bar->Items()->Count(); ++i) order.push_back(bar->Items()->GetItem(i));
    EXPECT_EQ(order, (std::vector<bars::TBarCustomItem*>{o->SystemButton(), o->RightAlignSpacer(), o->EditableItems(),
                                                         o->MinimizeButton(), o->MaximizeButton(), o->CloseButton()}));
    EXPECT_EQ(bar->GetRootItems(), o->EditableItems());

    o->SetCloseImageIndex(-5);
    EXPECT_EQ(o->CloseImageIndex(), -1);
    EXPECT_EQ(o->CloseButton()->Images(), skins::TitleButtonImages());
    EXPECT_EQ(o->CloseButton()->ImageIndex(), 0);
    o->SetCloseImageIndex(7);   // the bar's own images
    EXPECT_EQ(o->CloseButton()->Images(), nullptr);
    EXPECT_EQ(o->CloseButton()->ImageIndex(), 7);
    EXPECT_EQ(o->MaximizeButton()->ImageIndex(), 1);
    EXPECT_EQ(o->MinimizeButton()->ImageIndex(), 2);

    o->SetClose(false);
    o->SetMinimize(false);
    o->SetMaximize(false);
    o->SetCaption(false);
    o->SetSystemMenu(false);
    EXPECT_FALSE(o->RightAlignSpacer()->Visible());
    o->SetClose(true);
    EXPECT_TRUE(o->RightAlignSpacer()->Visible());
    EXPECT_TRUE(o->CloseButton()->Visible());
    EXPECT_FALSE(o->MaximizeButton()->Visible());
}

TEST_F(TitleBar, ActiveBarTakesOverTheFrameAndGivesItBack) {
    EXPECT_EQ(form->BorderStyle(), vcl::bsNone);
    EXPECT_TRUE(GetWindowLongW(form->Handle(), GWL_STYLE) & WS_SYSMENU);
    EXPECT_TRUE(bar->Dock()->Visible());
    const vcl::TPoint f = bar->GetFrameSize();
    EXPECT_EQ(bar->GetClientAreaRect(), vcl::TRect(f.X, f.Y, bar->Width() - f.X, bar->Height() - f.Y));
    bar->SetActive(false);
    EXPECT_EQ(form->BorderStyle(), vcl::bsSizeable);
    EXPECT_FALSE(bar->Dock()->Visible());
    EXPECT_EQ(bar->GetClientAreaRect(), bar->ClientRect());
}

TEST_F(TitleBar, MaximizedSizeIsTheWorkAreaLessTwoPixelsTowardAnAutoHiddenTaskbar) {
    const vcl::TRect work = bars::MonitorRectForWindow(form->Handle(), true);
    const int W = work.Right - work.Left, H = work.Bottom - work.Top;
    struct Case {
        UINT edge, state;
        int w, h;
    };
    for (const Case& c : {Case{ABE_BOTTOM, 0, W, H}, Case{ABE_BOTTOM, ABS_AUTOHIDE, W, H - 2},
                          Case{ABE_TOP, ABS_AUTOHIDE, W, H - 2}, Case{ABE_LEFT, ABS_AUTOHIDE, W - 2, H},
                          Case{ABE_RIGHT, ABS_AUTOHIDE | 2, W - 2, H}}) {
        gTaskbarEdge = c.edge;
        gTaskbarState = c.state;
        MINMAXINFO info{};
        SendMessageW(form->Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
        EXPECT_EQ(info.ptMaxSize.x, c.w) << c.edge << ' ' << c.state;
        EXPECT_EQ(info.ptMaxSize.y, c.h) << c.edge << ' ' << c.state;
    }
    EXPECT_EQ(form->Constraints()->MaxWidth(), 0);   // not maximized: no cap
    bar->SetFullScreenMaximize(true);
    MINMAXINFO info{};
    info.ptMaxSize = POINT{12345, 12345};
    SendMessageW(form->Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_NE(info.ptMaxSize.y, H - 2);
}

TEST_F(TitleBar, AltAloneIsSwallowedWithoutAMenuBarSpaceAndWindowMenuRequestsOpenTheSystemMenu) {
    SendMessageW(form->Handle(), WM_SYSCOMMAND, SC_KEYMENU, 0);
    EXPECT_TRUE(reached.empty());
    SendMessageW(form->Handle(), WM_SYSCOMMAND, SC_KEYMENU, VK_SPACE);
    EXPECT_TRUE(reached.empty());
    EXPECT_EQ(bar->menus.size(), 1u);
    SendMessageW(form->Handle(), 0x313, 0, 0);
    EXPECT_TRUE(reached.empty());
    EXPECT_EQ(bar->menus.size(), 2u);

    // With a menu bar on the form, Alt goes on to it.
    auto* menuBar = new skins::TSkToolbar(form);
    menuBar->SetMenuBar(true);
    SendMessageW(form->Handle(), WM_SYSCOMMAND, SC_KEYMENU, 0);
    EXPECT_EQ(reached.size(), 1u);
    delete menuBar;

    // Without the system menu nothing is taken.
    reached.clear();
    bar->Options()->SetSystemMenu(false);
    SendMessageW(form->Handle(), WM_SYSCOMMAND, SC_KEYMENU, 0);
    EXPECT_EQ(reached.size(), 1u);
}

TEST_F(TitleBar, DoubleClickOnTheCaptionMaximizesOnlyWithMaximizeOnAndNotFixedSize) {
    bar->Options()->SetMaximize(false);
    DoubleClickCaption();
    EXPECT_FALSE(IsZoomed(form->Handle()));
    bar->Options()->SetMaximize(true);
    bar->SetFixedSize(true);
    DoubleClickCaption();
    EXPECT_FALSE(IsZoomed(form->Handle()));
    bar->SetFixedSize(false);
    DoubleClickCaption();
    EXPECT_TRUE(IsZoomed(form->Handle()));
    EXPECT_EQ(bar->Options()->MaximizeButton()->ImageIndex(), 3);   // now it restores
}

TEST_F(TitleBar, FramePressSizesTheFormUnlessFixedSize) {
    const vcl::TPoint f = bar->GetFrameSize();
    ASSERT_GT(f.X, 1);
    const POINT corner{1, bar->Height() - 2};   // bottom-left, under the toolbar
    SendMessageW(bar->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(corner.x, corner.y));
    SendMessageW(bar->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(corner.x, corner.y));
    EXPECT_EQ(reached, (std::vector<std::pair<UINT, WPARAM>>{{WM_SYSCOMMAND, SC_SIZE + WMSZ_BOTTOMLEFT}}));
    reached.clear();
    bar->SetFixedSize(true);
    SendMessageW(bar->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(corner.x, corner.y));
    SendMessageW(bar->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(corner.x, corner.y));
    EXPECT_TRUE(reached.empty());
}

TEST(TitleBarFrame, FormWindowMadeAnewByTheFrameChangeIsStillHooked) {
    testing_support::FormHarness h;
    auto* form = h.Create<TProbeForm>();
    form->Show();
    h.Pump();
    const HWND before = form->Handle();
    auto* bar = new TProbeTitleBar(form);
    bar->SetParent(form);
    bar->Loaded();   // bsSizeable to bsNone: a new window
    ASSERT_NE(form->Handle(), before);
    SendMessageW(form->Handle(), 0x313, 0, 0);
    EXPECT_EQ(bar->menus.size(), 1u);
    bar->SetActive(false);   // and back
    SendMessageW(form->Handle(), 0x313, 0, 0);
    EXPECT_EQ(bar->menus.size(), 2u);
}

TEST_F(TitleBar, FreedBarLeavesALaterSubclassOfTheFormWorking) {
    bar->SetMouseActive(false);   // the form keeps its frame, so its window stays the same when the bar goes
    gSecondSaved = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(form->Handle(), GWLP_WNDPROC, LONG_PTR(&SecondProc)));
    Log().clear();
    delete bar;
    bar = nullptr;
    EXPECT_EQ(GetWindowLongPtrW(form->Handle(), GWLP_WNDPROC), LONG_PTR(&SecondProc));
    SendMessageW(form->Handle(), WM_PROBE, 0, 0);
    EXPECT_EQ(Log(), (std::vector<std::string>{"second", "form"}));
    SetWindowLongPtrW(form->Handle(), GWLP_WNDPROC, LONG_PTR(gSecondSaved));
    SendMessageW(form->Handle(), 0x313, 0, 0);   // reaches the recorder, no freed bar on the way
    EXPECT_EQ(reached.size(), 1u);
}

} // namespace
} // namespace skins_test
