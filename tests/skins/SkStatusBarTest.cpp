// tests/skins/SkStatusBarTest.cpp: the status bar on a shown form: where its size grip shows and how
// wide the right-align margin is, the grip press that sizes the form, and the compound bar's parts.
#include "skins/SkStatusBar.h"
#include "skins/SkTitleBar.h"

#include "tests/support/windows/FormHarness.h"
#include "vcl/Forms.h"

#include <gtest/gtest.h>

#include <vector>

namespace skins_test {
namespace {

using namespace skins;

struct StatusBar : ::testing::Test {
    testing_support::FormHarness h;
    vcl::TForm* form = nullptr;
    TSkStatusBar* bar = nullptr;
    std::vector<WPARAM> commands;   // WM_SYSCOMMAND reaching the form, swallowed
    TSkWindowSubclass watch;

    void DockToToolbar(POINT& P) {
        ::ClientToScreen(bar->Dock()->Handle(), &P);
        ::ScreenToClient(bar->StatusToolbar()->Handle(), &P);
    }
    void Maximize(bool On) {
        // Read at once: the offscreen desktop puts a pumped form back to normal.
        ShowWindow(form->Handle(), On ? SW_SHOWMAXIMIZED : SW_RESTORE);
    }

    void SetUp() override {
        form = h.Create<vcl::TForm>();
        form->SetBounds(40, 40, 500, 300);
        bar = new TSkStatusBar(form);
        bar->SetParent(form);
        auto* item = new TSkItem(form);
        item->SetCaption(QStringLiteral("Ready"));
        bar->Items()->Add(item);
        form->Show();
        h.Pump();
        watch.Install(form->Handle(), [this](HWND, UINT Msg, WPARAM W, LPARAM, LRESULT&) {
            if (Msg != WM_SYSCOMMAND) return false;
            commands.push_back(W);
            return true;
        });
    }
};

TEST_F(StatusBar, GripShowsOnlyOnASizeableNormalFormAndSetsTheRightMargin) {
    TSkStatusToolbar* toolbar = bar->StatusToolbar();
    const TRect dock = bar->Dock()->ClientRect();
    const TRect grip = toolbar->GetGripRect();
    EXPECT_EQ(grip, TRect(dock.Right - GetSystemMetrics(SM_CXVSCROLL), dock.Top, dock.Right, dock.Bottom));
    EXPECT_EQ(toolbar->GetRightAlignMargin(), GetSystemMetrics(SM_CXVSCROLL));

    bar->SetSizeGrip(false);
    EXPECT_TRUE(toolbar->GetGripRect().IsEmpty());
    EXPECT_EQ(toolbar->GetRightAlignMargin(), 4);
    bar->SetSizeGrip(true);

    Maximize(true);
    EXPECT_TRUE(toolbar->GetGripRect().IsEmpty());
    EXPECT_EQ(toolbar->GetRightAlignMargin(), 4);
    Maximize(false);

    form->SetBorderStyle(vcl::bsSingle);   // no sizing border
    h.Pump();
    EXPECT_TRUE(toolbar->GetGripRect().IsEmpty());
}

TEST_F(StatusBar, PressOnTheGripSizesTheFormFromItsBottomRightCorner) {
    TSkStatusToolbar* toolbar = bar->StatusToolbar();
    const TRect grip = toolbar->GetGripRect();
    ASSERT_FALSE(grip.IsEmpty());
    POINT in{grip.Right - 3, (grip.Top + grip.Bottom) / 2};
    DockToToolbar(in);
    SendMessageW(toolbar->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(in.x, in.y));
    SendMessageW(toolbar->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(in.x, in.y));
    EXPECT_EQ(commands, std::vector<WPARAM>{SC_SIZE | WMSZ_BOTTOMRIGHT});

    commands.clear();
    POINT out{grip.Left - 40, in.y};
    DockToToolbar(out);
    SendMessageW(toolbar->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(out.x, out.y));
    SendMessageW(toolbar->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(out.x, out.y));
    EXPECT_TRUE(commands.empty());
}

TEST_F(StatusBar, SitsAtTheBottomAtItsDocksHeightAndKeepsItsToolbarToItself) {
    EXPECT_EQ(bar->Align(), vcl::alBottom);
    EXPECT_EQ(bar->Height(), bar->Dock()->Height());
    int w = bar->Width(), hgt = bar->Height() + 30;
    EXPECT_FALSE(bar->CanResize(w, hgt));
    EXPECT_TRUE(bar->Toolbar()->CompoundToolbar());
    EXPECT_FALSE(bar->Toolbar()->Customizable());

    bar->SetName(QStringLiteral("Status"));
    EXPECT_EQ(bar->Toolbar()->Name(), QStringLiteral("StatusToolbar"));

    auto* stranger = new TSkToolbar(form);
    bool accept = true;
    bar->Dock()->OnRequestDock(bar->Dock(), stranger, accept);
    EXPECT_FALSE(accept);
    accept = false;
    bar->Dock()->OnRequestDock(bar->Dock(), bar->Toolbar(), accept);
    EXPECT_TRUE(accept);
}

TEST_F(StatusBar, PlainLookSeparatorIsALightAndADarkLineAroundItsCentre) {
    ASSERT_EQ(GetSkinManager()->GetSkinType(), sknNone);
    auto* separator = new TSkSeparatorItem(form);
    bar->Items()->Add(separator);
    auto* last = new TSkItem(form);
    last->SetCaption(QStringLiteral("Line 1"));
    bar->Items()->Add(last);
    h.Pump();
    ASSERT_TRUE(bar->StatusToolbar()->NeedsSeparatorRepaint());
    const TRect b = bar->Toolbar()->View()->Find(separator)->BoundsRect();
    ASSERT_FALSE(b.IsEmpty());
    const TRect r = bar->Dock()->ClientRect();
    vcl::TBitmap picture;
    picture.SetSize(r.Right, r.Bottom);
    picture.Canvas()->Brush()->SetColor(vcl::clRed);
    picture.Canvas()->FillRect(r);
    bool paintDefault = true;
    bar->DoDrawDockBackground(picture.Canvas(), r, pstPrePaint, paintDefault);
    EXPECT_FALSE(paintDefault);
    const int x = (b.Left + b.Right) / 2 + 2, y = r.Bottom / 2;
    EXPECT_EQ(picture.Canvas()->Pixels(x - 2, y), vcl::ColorToRGB(vcl::clWindow));
    EXPECT_EQ(picture.Canvas()->Pixels(x + 1, y), vcl::ColorToRGB(vcl::clBtnShadow));
    EXPECT_EQ(picture.Canvas()->Pixels(x, y), vcl::ColorToRGB(vcl::clBtnFace));

    // The separator's own viewer leaves the strip to the bar.
    picture.Canvas()->Brush()->SetColor(vcl::clRed);
    picture.Canvas()->FillRect(r);
    bar->Toolbar()->View()->Find(separator)->Paint(picture.Canvas(), b, false, false, false);
    for (int column = b.Left; column < b.Right; ++column)
        EXPECT_EQ(picture.Canvas()->Pixels(column, y), vcl::ColorToRGB(vcl::clRed)) << column;
}

} // namespace
} // namespace skins_test
