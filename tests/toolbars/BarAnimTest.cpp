// tests/toolbars/BarAnimTest.cpp: the popup animation on the manual clock: fade alphas and timing,
// slide offsets per direction, what ends it, and popups that show plainly (keyboard, a bar's second
// popup, a failing start).
#include "tests/toolbars/BarFixture.h"
#include "tests/toolbars/MenuFixture.h"

using namespace bars_test;

namespace {

// A hidden popup-style window that counts the end-of-animation notices it receives.
struct Counted {
    static inline int ended = 0;
    static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
        if (m == WM_BAR_ANIMATIONENDED) ++ended;
        return DefWindowProcW(h, m, w, l);
    }
    HWND wnd = nullptr;
    Counted(int x = 100, int y = 100, int w = 80, int h = 60) {
        ended = 0;
        WNDCLASSW cls{};
        cls.lpfnWndProc = &Proc;
        cls.lpszClassName = u"BarAnimTestWindow";
        RegisterClassW(&cls);
        wnd = CreateWindowExW(WS_EX_TOOLWINDOW, u"BarAnimTestWindow", u"", WS_POPUP, x, y, w, h, nullptr, nullptr,
                              nullptr, nullptr);
    }
    ~Counted() { DestroyWindow(wnd); }
};

// Records the constant alpha of every UpdateLayeredWindow call.
struct FakeLayered {
    static inline std::vector<int> alphas;
    static inline bool fail = false;
    static BOOL WINAPI Update(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF, TW_ULW_BLENDFUNCTION* blend, DWORD) {
        if (fail) return FALSE;
        alphas.push_back(blend->SourceConstantAlpha);
        return TRUE;
    }
    internal::TBarAnimCalls saved = internal::AnimCalls();
    explicit FakeLayered(bool present = true) {
        alphas.clear();
        fail = false;
        internal::AnimCalls().LookedUp = true;
        internal::AnimCalls().UpdateLayeredWindow = present ? &Update : nullptr;
    }
    ~FakeLayered() { internal::AnimCalls() = saved; }
};

RECT RegionBox(HWND wnd) {
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    RECT box{-1, -1, -1, -1};
    if (GetWindowRgn(wnd, rgn) != ERROR) GetRgnBox(rgn, &box);
    DeleteObject(rgn);
    return box;
}

TEST(Fade, StartsAtAlpha40AndEndsAt148ms) {
    testing_support::HeadlessApp app;
    FakeLayered layered;
    Counted w;
    StartPopupAnimation(w.wnd, true, {});
    EXPECT_TRUE(PopupAnimationRunning());
    EXPECT_TRUE(IsWindowVisible(w.wnd));
    EXPECT_TRUE(GetWindowLongW(w.wnd, GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_EQ(layered.alphas, std::vector<int>{40});
    TwAdvanceClock(138);
    StepPopupAnimation();
    EXPECT_EQ(layered.alphas.back(), 138 * 255 / 175 + 40);
    TwAdvanceClock(9);  // 147 ms: less than 10 ms since the last step, nothing happens
    StepPopupAnimation();
    EXPECT_TRUE(PopupAnimationRunning());
    TwAdvanceClock(1);  // 148 ms: full opacity
    StepPopupAnimation();
    EXPECT_FALSE(PopupAnimationRunning());
    EXPECT_FALSE(GetWindowLongW(w.wnd, GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_EQ(Counted::ended, 1);
    EndPopupAnimation();  // ending twice sends nothing more
    EXPECT_EQ(Counted::ended, 1);
}

struct SlideCase {
    std::vector<TBarAnimationDirectionFlag> direction;
    int x, y;  // region origin at 75 of 150 ms: step 127 of a 80x60 window
};

std::ostream& operator<<(std::ostream& os, const SlideCase& c) {
    os << "direction";
    for (auto d : c.direction) os << ' ' << int(d);
    return os;
}

class Slide : public ::testing::TestWithParam<SlideCase> {};

TEST_P(Slide, MovesTheImageInFromTheNamedSide) {
    const SlideCase& c = GetParam();
    testing_support::HeadlessApp app;
    FakeLayered layered;
    Counted w;
    TBarAnimationDirection direction;
    for (auto d : c.direction) direction.Include(d);
    StartPopupAnimation(w.wnd, false, direction);
    EXPECT_TRUE(layered.alphas.empty());
    const RECT start = RegionBox(w.wnd);
    EXPECT_TRUE(IsRectEmpty(&start));
    TwAdvanceClock(75);
    StepPopupAnimation();
    const RECT box = RegionBox(w.wnd);
    EXPECT_EQ(box.left, c.x);
    EXPECT_EQ(box.top, c.y);
    EXPECT_EQ(box.right - box.left, 80);
    EXPECT_EQ(box.bottom - box.top, 60);
    EndPopupAnimation();
    EXPECT_EQ(RegionBox(w.wnd).left, -1);  // the region is gone
}

// MulDiv(80, 127, 255) = 40, MulDiv(60, 127, 255) = 30.
INSTANTIATE_TEST_SUITE_P(Directions, Slide,
                         ::testing::Values(SlideCase{{tbadDown}, 0, 30 - 60}, SlideCase{{tbadUp}, 0, 60 - 30},
                                           SlideCase{{tbadRight}, 40 - 80, 0}, SlideCase{{tbadLeft}, 80 - 40, 0},
                                           SlideCase{{tbadDown, tbadRight}, 40 - 80, 30 - 60},
                                           SlideCase{{}, 0, 0}));

TEST(Slide, WithoutLayeredWindowsAFadeSlides) {
    testing_support::HeadlessApp app;
    FakeLayered layered(false);
    Counted w;
    StartPopupAnimation(w.wnd, true, {tbadDown});
    EXPECT_FALSE(GetWindowLongW(w.wnd, GWL_EXSTYLE) & WS_EX_LAYERED);
    const RECT start = RegionBox(w.wnd);
    EXPECT_TRUE(IsRectEmpty(&start));
    EndPopupAnimation();
}

TEST(Animation, EndsWhenTheMouseEntersOrAnotherStarts) {
    testing_support::HeadlessApp app;
    FakeLayered layered;
    Counted a(100, 100), b(300, 100);
    TwInputMouseMove(10, 10);
    app.PumpUntilIdle();
    StartPopupAnimation(a.wnd, false, {tbadDown});
    TwAdvanceClock(20);
    TwInputMouseMove(500, 500);  // moved, but not into the window
    app.PumpUntilIdle();
    StepPopupAnimation();
    EXPECT_TRUE(PopupAnimationRunning());
    TwAdvanceClock(20);
    TwInputMouseMove(120, 120);
    app.PumpUntilIdle();
    StepPopupAnimation();
    EXPECT_FALSE(PopupAnimationRunning());
    EXPECT_EQ(Counted::ended, 1);
    // A new start ends the running one first.
    StartPopupAnimation(a.wnd, false, {tbadDown});
    StartPopupAnimation(b.wnd, false, {tbadDown});
    EXPECT_EQ(Counted::ended, 2);
    EndPopupAnimationFor(a.wnd);  // not a's any more
    EXPECT_TRUE(PopupAnimationRunning());
    EndPopupAnimationFor(nullptr);
    EXPECT_FALSE(PopupAnimationRunning());
}

// ---- popups that animate, and those that show at once ----

TEST(PopupAnimation, AMouseOpenedPopupAnimatesUntilItPaints) {
    MenuFixture f;
    FakeLayered layered;
    MenuSettings::Animation = true;
    MenuSettings::Fade = true;
    std::unique_ptr<TBarPopupWindow> popup(
        f.menu->Items()->CreatePopup(nullptr, nullptr, false, false, false, TPoint(200, 200), tbpaLeft));
    EXPECT_TRUE(PopupAnimationRunning());
    EXPECT_EQ(layered.alphas, std::vector<int>{40});
    SendMessageW(popup->Handle(), WM_PAINT, 0, 0);
    EXPECT_FALSE(PopupAnimationRunning());
    // Hiding ends it too.
    popup->SetVisible(false);
    std::unique_ptr<TBarPopupWindow> second(
        f.menu->Items()->CreatePopup(nullptr, nullptr, false, false, false, TPoint(200, 200), tbpaLeft));
    EXPECT_TRUE(PopupAnimationRunning());
    second->SetVisible(false);
    EXPECT_FALSE(PopupAnimationRunning());
}

TEST(PopupAnimation, KeyboardPopupsAndABarsSecondPopupAppearAtOnce) {
    MenuFixture f;
    FakeLayered layered;
    MenuSettings::Animation = true;
    std::unique_ptr<TBarPopupWindow> popup(
        f.menu->Items()->CreatePopup(nullptr, nullptr, false, true, false, TPoint(200, 200), tbpaLeft));
    EXPECT_FALSE(PopupAnimationRunning());
    EXPECT_TRUE(IsWindowVisible(popup->Handle()));
    popup.reset();
    // A bar whose first popup closed in this loop shows the next one at once.
    Bar b;
    auto* file = b.Plain<TPlainItem>(u"&File");
    file->AddStyle(tbisSubmenu);
    b.Plain(u"&Open", file);
    TBarView* bar = b.Toolbar();
    bar->State.Include(vsModal);
    bar->SetSelected(bar->Find(file));
    ASSERT_TRUE(bar->OpenChildPopup(false));
    EXPECT_TRUE(PopupAnimationRunning());
    bar->CloseChildPopups();
    EXPECT_TRUE(bar->State.Contains(vsNoAnimation));
    EXPECT_FALSE(PopupAnimationRunning());
    ASSERT_TRUE(bar->OpenChildPopup(false));
    EXPECT_FALSE(PopupAnimationRunning());
    EXPECT_TRUE(IsWindowVisible(bar->OpenViewerWindow()->Handle()));
    bar->CloseChildPopups();
}

// A failing start used to raise out of the show and free the window: the menu never opened.
struct FailCase {
    const char* name;
    int step;  // 0 GetDCEx, 1 the bitmap, 2 the memory DC, 3 the first UpdateLayeredWindow
};

std::ostream& operator<<(std::ostream& os, const FailCase& c) { return os << c.name; }

class FailingStart : public ::testing::TestWithParam<FailCase> {};

TEST_P(FailingStart, ShowsThePopupPlainly) {
    const FailCase& c = GetParam();
    MenuFixture f;
    FakeLayered layered;
    MenuSettings::Animation = true;
    MenuSettings::Fade = true;
    auto& calls = internal::AnimCalls();
    if (c.step == 0) calls.GetDCEx = [](HWND, HRGN, DWORD) -> HDC { return nullptr; };
    if (c.step == 1) calls.CreateCompatibleBitmap = [](HDC, int, int) -> HBITMAP { return nullptr; };
    if (c.step == 2) calls.CreateCompatibleDC = [](HDC) -> HDC { return nullptr; };
    if (c.step == 3) FakeLayered::fail = true;
    f.Then([&] {
        TBarPopupWindow* w = PopupOf(f.menu->Items());
        EXPECT_TRUE(w && IsWindowVisible(w->Handle())) << c.name;
        Key(VK_DOWN);
        Key(VK_RETURN);
    });
    EXPECT_EQ(f.Popup(true), f.open) << c.name;
    EXPECT_FALSE(PopupAnimationRunning());
}

INSTANTIATE_TEST_SUITE_P(Steps, FailingStart,
                         ::testing::Values(FailCase{"GetDCEx", 0}, FailCase{"bitmap", 1}, FailCase{"memory DC", 2},
                                           FailCase{"UpdateLayeredWindow", 3}),
                         [](const auto& info) { return std::to_string(info.param.step); });

TEST(PopupAnimation, TheLoopPollsOnlyWhileAnAnimationRuns) {
    MenuFixture f;
    FakeLayered layered;
    MenuSettings::Animation = true;
    MenuSettings::Fade = true;
    bool runningAtFirstWait = false;
    f.Then([&] {
        runningAtFirstWait = PopupAnimationRunning();
        TwAdvanceClock(200);
    });
    f.Then([&] { Key(VK_ESCAPE); });
    EXPECT_EQ(f.Popup(), nullptr);
    // While it ran the loop polled (1 ms waits advance nothing on the manual clock, so the idle step
    // ran); the fade then ended on the loop's next step.
    EXPECT_TRUE(runningAtFirstWait);
    EXPECT_GE(layered.alphas.size(), 1u);
}

} // namespace
