// Track bar and the styled control bases: the position taken from the mouse with its rounding, the
// range rules, the boxes, keys and wheel, what the bar paints, and the bases' own border and paint event.
#include "controls/TrackBar.h"
#include "tests/controls/PanelForm.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace controls;
using controls_test::PixelAt;
using controls_test::Rgb;
using controls_test::ShowForm;
using controls_test::TPanelForm;
using testing_support::FormHarness;
using vcl::TColor;
using vcl::TRect;

namespace {

// The volume control's set-up: range 1..300 from 100, with 20-pixel boxes, so that on a bar 228 pixels
// wide the track runs from 24 to 204.
TKWRgTrackBar6* ShowVolumeBar(FormHarness& h) {
    TKWRgTrackBar6* bar = nullptr;
    ShowForm(h, [&](TPanelForm* f) {
        bar = new TKWRgTrackBar6(f);
        bar->SetParent(f);
        bar->SetBounds(10, 10, 228, 30);
        bar->SetSignsRectWidth(20);
        bar->SetMax(300);
        bar->SetPosition(100);
    });
    return bar;
}

struct Counter {
    int n = 0;
    rtl::TNotifyEvent Event() {
        return rtl::TNotifyEvent([this](rtl::TObject*) { ++n; });
    }
};

} // namespace

struct PositionCase {
    int x;
    int precision;
    double expected;
};

class TrackBarPositionAtPos : public ::testing::TestWithParam<PositionCase> {};

TEST_P(TrackBarPositionAtPos, RoundsHalvesToEvenAtTheDigitAndClamps) {
    FormHarness h;
    TKWRgTrackBar6* bar = ShowVolumeBar(h);
    ASSERT_EQ(bar->CalcTrackRect().Left, 24);
    ASSERT_EQ(bar->CalcTrackRect().Width(), 180);
    bar->SetPrecision(GetParam().precision);
    EXPECT_DOUBLE_EQ(bar->GetPositionAtPos(GetParam().x, 0), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, TrackBarPositionAtPos,
                         ::testing::Values(PositionCase{114, 0, 150},     // 1 + 90/180 * 299 = 150.5
                                           PositionCase{114, -1, 150.5},  // tenths
                                           PositionCase{114, 1, 150},     // tens: 15.05 to 15
                                           PositionCase{114, 2, 200},
                                           PositionCase{24, 0, 1}, PositionCase{0, 0, 1},
                                           PositionCase{400, 0, 300},
                                           PositionCase{114, 25, 1}));  // beyond the digits RoundTo takes: no error

TEST(TrackBar, PositionIsClampedAndEachChangeFiresOnce) {
    FormHarness h;
    TKWRgTrackBar6* bar = ShowVolumeBar(h);
    Counter changes;
    bar->OnChange = changes.Event();
    bar->SetPosition(500);
    EXPECT_EQ(bar->Position(), 300);
    EXPECT_EQ(changes.n, 1);
    bar->SetPosition(300);
    bar->SetPosition(301);
    EXPECT_EQ(changes.n, 1);
    bar->SetPosition(-4);
    EXPECT_EQ(bar->Position(), 1);
    EXPECT_EQ(changes.n, 2);
}

TEST(TrackBar, RangeStaysAboveMinByStepAndKeepsThePositionInside) {
    FormHarness h;
    TKWRgTrackBar6* bar = ShowVolumeBar(h);
    Counter changes;
    bar->OnChange = changes.Event();
    bar->SetMax(0.5);
    EXPECT_EQ(bar->Max(), 2);
    EXPECT_EQ(bar->Position(), 2);
    EXPECT_EQ(changes.n, 1);
    bar->SetMin(7);
    EXPECT_EQ(bar->Min(), 1);  // not below Max: Max - Step
    bar->SetMax(50);
    bar->SetMin(10);
    EXPECT_EQ(bar->Position(), 10);
    EXPECT_EQ(changes.n, 2);
}

TEST(TrackBar, NonFiniteValuesChangeNothingAndFireNothing) {
    FormHarness h;
    TKWRgTrackBar6* bar = ShowVolumeBar(h);
    Counter changes;
    bar->OnChange = changes.Event();
    const double bad[] = {std::nan(""), HUGE_VAL, -HUGE_VAL};
    const std::function<void(double)> setters[] = {[&](double v) { bar->SetPosition(v); },
                                                   [&](double v) { bar->SetMin(v); },
                                                   [&](double v) { bar->SetMax(v); },
                                                   [&](double v) { bar->SetStep(v); }};
    for (const auto& set : setters)
        for (double v : bad) {
            set(v);
            EXPECT_EQ(bar->Position(), 100);
            EXPECT_EQ(bar->Min(), 1);
            EXPECT_EQ(bar->Max(), 300);
            EXPECT_EQ(bar->Step(), 1);
        }
    EXPECT_EQ(changes.n, 0);
    // A step of NaN would have made the range rule's Max - Step NaN as well.
    bar->SetMin(400);
    EXPECT_EQ(bar->Min(), 299);
}

TEST(TrackBar, BoxesStepAndDoNothingAtTheEnds) {
    FormHarness h;
    TKWRgTrackBar6* bar = ShowVolumeBar(h);
    Counter changes;
    bar->OnChange = changes.Event();
    bar->SetPosition(1);
    changes.n = 0;
    h.Click(bar, POINT{5, 15});  // minus at Min
    EXPECT_EQ(bar->Position(), 1);
    EXPECT_EQ(changes.n, 0);
    h.Click(bar, POINT{220, 15});  // plus
    EXPECT_EQ(bar->Position(), 2);
    EXPECT_EQ(changes.n, 1);
    EXPECT_TRUE(bar->Focused());
}

TEST(TrackBar, PressOnTheTrackJumpsAndDraggingFollows) {
    FormHarness h;
    TKWRgTrackBar6* bar = ShowVolumeBar(h);
    const HWND wnd = bar->Handle();
    h.App().Press(wnd, POINT{114, 15});
    EXPECT_EQ(bar->Position(), 150);
    EXPECT_TRUE(bar->State().Contains(bsPressed));
    h.App().MoveTo(wnd, POINT{204, 15});
    EXPECT_EQ(bar->Position(), 300);
    h.App().Release(wnd, POINT{204, 15});
    EXPECT_FALSE(bar->State().Contains(bsPressed));
    h.App().MoveTo(wnd, POINT{60, 15});
    EXPECT_EQ(bar->Position(), 300);
}

TEST(TrackBar, KeysStepWithoutRoundingAndReachTheEnds) {
    FormHarness h;
    TKWRgTrackBar6* bar = ShowVolumeBar(h);
    bar->SetStep(0.25);
    bar->SetPosition(100.5);
    bar->SetFocus();
    h.Keys(VK_RIGHT);
    EXPECT_DOUBLE_EQ(bar->Position(), 100.75);
    h.Keys(VK_LEFT);
    h.Keys(VK_LEFT);
    EXPECT_DOUBLE_EQ(bar->Position(), 100.25);
    h.Keys(VK_END);
    EXPECT_EQ(bar->Position(), 300);
    h.Keys(VK_HOME);
    EXPECT_EQ(bar->Position(), 1);
    EXPECT_EQ(bar->Perform(WM_GETDLGCODE) & (DLGC_WANTARROWS | DLGC_WANTCHARS), LRESULT(DLGC_WANTARROWS | DLGC_WANTCHARS));
}

TEST(TrackBar, WheelMovesNothingAndAsksItsOwnEvent) {
    FormHarness h;
    TKWRgTrackBar6* bar = ShowVolumeBar(h);
    bar->SetFocus();
    h.App().Wheel(bar->Handle(), POINT{100, 15}, -120);
    EXPECT_EQ(bar->Position(), 100);
    double seen = 0;
    int raw = 0;
    bar->OnMouseWheelDown = TKWRgWheelEvent(
        [&](rtl::TObject*, vcl::TShiftState, double Position, vcl::TPoint, bool& Allow) {
            seen = Position;
            Allow = true;
        });
    bar->OnMouseWheel = TKWRgMouseWheel([&](rtl::TObject*, vcl::TMessage& M) { raw += M.Msg == WM_MOUSEWHEEL; });
    h.App().Wheel(bar->Handle(), POINT{100, 15}, -120);
    EXPECT_EQ(seen, 100);
    EXPECT_EQ(raw, 1);
    EXPECT_EQ(bar->Position(), 100);
}

TEST(TrackBar, HiddenPlusBoxLeavesTheTrackFourPixelsFromTheEdge) {
    FormHarness h;
    TKWRgTrackBar6* bar = ShowVolumeBar(h);
    bar->SetSignPlusVisible(false);
    EXPECT_EQ(bar->CalcTrackRect().Right, 228 - 4);
    bar->SetSignMinusVisible(false);
    EXPECT_EQ(bar->CalcTrackRect().Left, 4);
}

TEST(TrackBarPaint, UserColoursForTrackProgressThumbAndTicks) {
    FormHarness h;
    TKWRgTrackBar6* bar = ShowVolumeBar(h);
    bar->SetColor(0xFFFFFF);
    bar->SetTrackColor(0x404040);
    bar->SetProgressColor(0x0000C0);
    bar->SetThumbColor(0x00C000);
    bar->SetThumbBorderColor(0x008000);
    bar->SetTickFrequency(299);
    bar->SetTickMarkColor(0xC00000);
    h.Pump();
    const TRect track = bar->CalcTrackRect();  // (24, 12, 204, 18)
    const TRect thumb = bar->CalcThumbRect();
    const int y = track.Top + 3;
    EXPECT_EQ(PixelAt(h, bar, track.Left + 5, y), 0x0000C0);       // progress left of the thumb
    EXPECT_EQ(PixelAt(h, bar, track.Right - 5, y), 0x404040);      // track right of it
    EXPECT_EQ(PixelAt(h, bar, track.Right - 1, y), 0x808080);      // track outline
    EXPECT_EQ(PixelAt(h, bar, thumb.Left, thumb.Top + 2), 0x008000);
    EXPECT_EQ(PixelAt(h, bar, thumb.Left + 3, thumb.Top + 2), 0x00C000);
    const int tickY = track.Bottom + 3;
    EXPECT_EQ(PixelAt(h, bar, track.Left, tickY), 0xC00000);        // ticks at 1 and 300
    EXPECT_EQ(PixelAt(h, bar, track.Right, tickY), 0xC00000);
    EXPECT_EQ(PixelAt(h, bar, track.Left + 90, tickY), 0xFFFFFF);
    // The minus box: outline, face and bar.
    const TRect minus = bar->CalcMinusRect();
    EXPECT_EQ(PixelAt(h, bar, minus.Left, minus.Top + 3), 0x808080);
    EXPECT_EQ(PixelAt(h, bar, minus.Left + 2, minus.Top + 3), Rgb(vcl::clBtnFace));
    EXPECT_EQ(PixelAt(h, bar, minus.Left + 10, minus.Top + 7), 0x808080);

    bar->SetProgressFillMode(pfmHidden);
    h.Pump();
    EXPECT_EQ(PixelAt(h, bar, track.Left + 5, y), 0x404040);
}

TEST(TrackBarPaint, ModernAndNativeStyles) {
    FormHarness h;
    TKWRgTrackBar6* bar = ShowVolumeBar(h);
    bar->SetColor(0xFFFFFF);
    bar->SetStyle(stModern);
    h.Pump();
    TRect track = bar->CalcTrackRect();
    TRect thumb = bar->CalcThumbRect();  // 4 x 11
    EXPECT_EQ(thumb.Width(), 4);
    EXPECT_EQ(PixelAt(h, bar, track.Right - 3, track.Top), 0x808080);       // the signs' colour left in the brush
    EXPECT_EQ(PixelAt(h, bar, track.Left + 4, track.Top + 3), 0xF7E6CD);    // progress in scheme colour 7
    EXPECT_EQ(PixelAt(h, bar, thumb.Left + 1, thumb.Top + 1), 0xF7E6CD);

    bar->SetStyle(stNative);  // no themes here: the classic track and thumb
    h.Pump();
    track = bar->CalcTrackRect();
    thumb = bar->CalcThumbRect();
    EXPECT_EQ(thumb.Width(), 8);
    EXPECT_EQ(PixelAt(h, bar, track.Right - 3, track.Top), Rgb(vcl::clBtnHighlight));
    EXPECT_EQ(PixelAt(h, bar, track.Right - 3, track.Bottom - 1), Rgb(vcl::clBtnShadow));
    EXPECT_EQ(PixelAt(h, bar, thumb.Left + 3, thumb.Top), Rgb(vcl::clBtnHighlight));
    EXPECT_EQ(PixelAt(h, bar, thumb.Right, thumb.Top + 2), Rgb(vcl::cl3DDkShadow));
}

TEST(TrackBarPaint, HugeRangeWithUnitTicksPaintsInTime) {
    FormHarness h;
    TKWRgTrackBar6* bar = ShowVolumeBar(h);
    bar->SetMax(4e9);
    bar->SetColor(0xFFFFFF);
    h.Pump();
    const TRect track = bar->CalcTrackRect();
    EXPECT_EQ(PixelAt(h, bar, track.Left + 77, track.Bottom + 4), 0xC0C0C0);
}

// ---- the bases ----

TEST(StyledControl6, BorderRingsSitOutsideTheClientArea) {
    FormHarness h;
    TKWRgTrackBar6* bar = ShowVolumeBar(h);
    int paints = 0;
    bar->OnPaint = rtl::TNotifyEvent([&](rtl::TObject*) { ++paints; });
    bar->SetBorderStyle(btLowered);
    bar->SetBorderSize(2);
    h.Pump();
    EXPECT_GT(paints, 0);
    EXPECT_EQ(bar->ClientWidth(), 224);
    EXPECT_EQ(bar->ClientHeight(), 26);
    const TColor shadow = Rgb(vcl::clBtnShadow), light = Rgb(vcl::clBtnHighlight);
    EXPECT_EQ(PixelAt(h, bar, -2, -2), shadow);
    EXPECT_EQ(PixelAt(h, bar, -1, -1), shadow);
    EXPECT_EQ(PixelAt(h, bar, -2, 10), shadow);
    EXPECT_EQ(PixelAt(h, bar, 225, 27), light);
    EXPECT_EQ(PixelAt(h, bar, 224, 26), light);
    EXPECT_EQ(PixelAt(h, bar, 100, 27), light);
    bar->SetBorderStyle(btSolid);
    bar->SetBorderColor(0x0000FF);
    h.Pump();
    EXPECT_EQ(PixelAt(h, bar, 100, 27), 0x0000FF);
}

TEST(StyledControl6, StyleOptionsRepaintOnlyWhenChangedAndNativeNeedsThemes) {
    FormHarness h;
    TKWRgTrackBar6* bar = ShowVolumeBar(h);
    EXPECT_EQ(bar->StyleOptions(), TRgStyleOptions{soNativeStyles});
    EXPECT_FALSE(bar->CanStyle(soNativeStyles));
    TwSetThemeActive(TRUE);
    EXPECT_TRUE(bar->CanStyle(soNativeStyles));
    bar->SetStyleOptions({});
    EXPECT_FALSE(bar->CanStyle(soNativeStyles));
    TwSetThemeActive(FALSE);
}
