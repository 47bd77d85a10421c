// tests/styling/windows/ScrollingHookTest.cpp: styled non-client scroll bars on real windows: their
// geometry and pixels, the client rectangle, hot tracking, and a thumb drag inside the window's own
// scroll loop on the manual clock.
#include "tests/styling/windows/StyleHookFixture.h"

#include "styling/hooks/ScrollingHooks.h"

#include <QImage>

using namespace styling;
using namespace styletest;
using namespace vcl;

namespace {

constexpr const char16_t* ScrollingClass = u"TwScrollingClass";

// Colours of the scroll-bar parts in the test style.
constexpr QRgb Track = 0x2040A0, TrackDisabled = 0x808080, Arrow = 0x10C010, Thumb = 0xE0E000, Face = 0x202020,
             SizeBox = 0xA000A0;

class ScrollingHook : public TSysScrollingStyleHook {
public:
    explicit ScrollingHook(HWND AHandle) : TSysScrollingStyleHook(AHandle) {
        SetStyleElements(styling::TStyleElements{styling::seBorder});
        UpdateColors();
    }
    void DrawVertBar(HDC DC) override {
        ++VertDraws;
        TSysScrollingStyleHook::DrawVertBar(DC);
    }
    int VertDraws = 0;
};

struct ScrollLog {
    std::vector<std::pair<int, int>> Vert;  // (code, position) of each WM_VSCROLL the window got
    int NCPaints = 0;
};
ScrollLog& Log() {
    static ScrollLog log;
    return log;
}

LRESULT CALLBACK ScrollingProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (Msg == WM_VSCROLL) {
        Log().Vert.emplace_back(LOWORD(WParam), HIWORD(WParam));
        if (LOWORD(WParam) == SB_THUMBPOSITION) SetScrollPos(Wnd, SB_VERT, HIWORD(WParam), TRUE);
        return 0;
    }
    if (Msg == WM_NCPAINT) ++Log().NCPaints;
    return DefWindowProcW(Wnd, Msg, WParam, LParam);
}

class ScrollingHookTest : public StyleHookTest {
protected:
    void SetUp() override {
        StyleHookTest::SetUp();
        WNDCLASSW cls{};
        cls.lpfnWndProc = &ScrollingProc;
        cls.lpszClassName = ScrollingClass;
        cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        RegisterClassW(&cls);
        Log() = ScrollLog{};
        TSysStyleManager::RegisterSysStyleHook(QString::fromUtf16(ScrollingClass), &CreateHook<ScrollingHook>);
        TStyleFileData data = Style->Data();
        auto element = [&data](int Part, int State, TColor Fill) {
            TStyleElementEntry e;
            e.Element = teScrollBar;
            e.Part = Part;
            e.State = State;
            e.Look.Fill = Fill;
            data.Elements.push_back(e);
        };
        auto bgr = [](QRgb c) { return TColor(qRed(c) | qGreen(c) << 8 | qBlue(c) << 16); };
        element(1, 0, bgr(Arrow));
        element(2, 0, bgr(Thumb));
        element(3, 0, bgr(Thumb));
        element(5, 0, bgr(Track));
        element(7, 0, bgr(Track));
        element(10, 0, bgr(SizeBox));
        element(5, 4, bgr(TrackDisabled));
        element(7, 4, bgr(TrackDisabled));
        Style = std::make_unique<TCustomStyle>(data);
        TStyleManager::SetStyle(Style.get());
    }
    void TearDown() override {
        TSysStyleManager::UnRegisterSysStyleHook(QString::fromUtf16(ScrollingClass));
        StyleHookTest::TearDown();
    }

    ScrollingHook* Hook(HWND W) {
        return dynamic_cast<ScrollingHook*>(TSysStyleManager::HookedWindows().at(W).get());
    }
    HWND MakeScrolling(DWORD Style, DWORD ExStyle = 0, int W = 200, int H = 150) {
        const HWND w = CreateWindowExW(ExStyle, ScrollingClass, u"", WS_POPUP | Style, 100, 100, W, H, nullptr, nullptr,
                                       nullptr, nullptr);
        ShowWindow(w, SW_SHOWNOACTIVATE);
        return w;
    }
    static void SetInfo(HWND W, int Bar, int Min, int Max, int Page, int Pos) {
        // Kept on the window when there is nothing to scroll: it is then drawn disabled.
        SCROLLINFO si{sizeof(si), SIF_ALL | SIF_DISABLENOSCROLL, Min, Max, UINT(Page), Pos, 0};
        SetScrollInfo(W, Bar, &si, FALSE);
    }
    // Paints everything that is due (the hook draws its bars after each client paint).
    QImage Painted(HWND W) {
        RedrawWindow(W, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE);
        App.PumpUntilIdle();
        return App.Grab(W);
    }
    static QRgb At(const QImage& I, int X, int Y) { return I.pixel(X, Y) & 0xFFFFFF; }
    // The run of Colour down a column of the image.
    static std::pair<int, int> Run(const QImage& I, int X, QRgb Colour) {
        int first = -1, last = -1;
        for (int y = 0; y < I.height(); ++y)
            if (At(I, X, y) == Colour) {
                if (first < 0) first = y;
                last = y;
            }
        return {first, last + 1};
    }
};

TEST_F(ScrollingHookTest, BarsAreDrawnWhereTheGeometrySaysWithDisabledEmptyAndPulledBackThumbs) {
    const int cx = GetSystemMetrics(SM_CXVSCROLL), cy = GetSystemMetrics(SM_CYVSCROLL);
    constexpr int W = 200, H = 150;
    struct Case {
        const char* Name;
        DWORD Style, ExStyle;
        int Min, Max, Page, Pos;
        bool Disabled;
        int ThumbTop, ThumbBottom;  // window rows of the vertical thumb (-1: none)
    } cases[] = {
        {"vertical bar, thumb at the top", WS_VSCROLL, 0, 0, 19, 10, 0, false, cy, cy + 61},
        {"both bars on the left", WS_VSCROLL | WS_HSCROLL, WS_EX_LEFTSCROLLBAR, 0, 19, 10, 0, false, cy, cy + 52},
        {"page larger than the range", WS_VSCROLL, 0, 0, 9, 20, 0, true, -1, -1},
        {"empty range", WS_VSCROLL, 0, 0, 0, 0, 0, true, -1, -1},
        {"thumb at least an arrow long", WS_VSCROLL, 0, 0, 100000, 1, 0, false, cy, 2 * cy},
        {"thumb pulled back to the last arrow", WS_VSCROLL, 0, 0, 19, 10, 10, false, H - cy - 61, H - cy},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const HWND w = MakeScrolling(c.Style, c.ExStyle, W, H);
        SetInfo(w, SB_VERT, c.Min, c.Max, c.Page, c.Pos);
        if (c.Style & WS_HSCROLL) SetInfo(w, SB_HORZ, 0, 99, 10, 0);
        ScrollingHook* hook = Hook(w);
        EXPECT_EQ(hook->VertScrollDisabled(), c.Disabled);
        const bool left = c.ExStyle & WS_EX_LEFTSCROLLBAR;
        const QImage image = Painted(w);
        const int column = left ? cx / 2 : W - cx / 2;
        EXPECT_EQ(At(image, column, cy / 2), Arrow) << "the first arrow";
        EXPECT_EQ(At(image, column, (c.Style & WS_HSCROLL ? H - cy : H) - cy / 2), Arrow) << "the last arrow";
        const auto thumb = Run(image, column, Thumb);
        EXPECT_EQ(thumb.first, c.ThumbTop);
        EXPECT_EQ(thumb.second, c.ThumbTop < 0 ? 0 : c.ThumbBottom);
        if (c.Disabled) {
            EXPECT_EQ(At(image, column, H / 2), TrackDisabled);
        }
        if (c.Style & WS_HSCROLL) {
            // The horizontal bar starts after the vertical one; the corner is the hook's colour.
            EXPECT_EQ(At(image, cx + cx / 2, H - cy / 2), Arrow) << "the left arrow, right of the corner";
            EXPECT_EQ(At(image, cx / 2, H - cy / 2), Face) << "the corner square";
            EXPECT_EQ(TRect(hook->HorzScrollRect()).Left - 100, cx);
        }
        DestroyWindow(w);
    }
}

TEST_F(ScrollingHookTest, ClientRectangleLeavesRoomForTheBarsWhoseStylesStayOnTheWindow) {
    const int cx = GetSystemMetrics(SM_CXVSCROLL), cy = GetSystemMetrics(SM_CYHSCROLL);
    const HWND w = MakeScrolling(WS_VSCROLL | WS_HSCROLL | WS_BORDER);
    RECT client{};
    GetClientRect(w, &client);
    // Hooked at creation: the hook alone computes the client (no border width of its own here).
    EXPECT_EQ(client.right, 200 - cx);
    EXPECT_EQ(client.bottom, 150 - cy);
    EXPECT_EQ(GetWindowLongPtrW(w, GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL), LONG_PTR(WS_VSCROLL | WS_HSCROLL));
    EXPECT_TRUE(Hook(w)->HasVertScrollBar());
    EXPECT_TRUE(Hook(w)->HasHorzScrollBar());
}

TEST_F(ScrollingHookTest, MovesAlongABarRedrawOnlyWhenAPartChangesItsLook) {
    const HWND w = MakeScrolling(WS_VSCROLL);
    SetInfo(w, SB_VERT, 0, 99, 10, 0);
    Painted(w);
    ScrollingHook* hook = Hook(w);
    const TRect bar = hook->VertScrollRect();
    hook->VertDraws = 0;
    for (int i = 0; i < 100; ++i) {
        const int y = bar.Top + (i * bar.Height()) / 100;
        EXPECT_EQ(SendMessageW(w, WM_NCHITTEST, 0, MAKELPARAM(bar.Left + 3, y)), HTVSCROLL);
    }
    // Up arrow hot, thumb hot, all normal over the track, down arrow hot.
    EXPECT_EQ(hook->VertDraws, 4);
    EXPECT_EQ(hook->VertThumbDetail(), tsThumbBtnVertNormal);
}

TEST_F(ScrollingHookTest, ThumbDragInTheWindowsOwnLoopSendsTheStyledPositionsAndEndsWithTheLast) {
    const HWND w = MakeScrolling(WS_VSCROLL);
    SetInfo(w, SB_VERT, 0, 99, 10, 0);
    Painted(w);
    ScrollingHook* hook = Hook(w);
    const TRect thumb = hook->VertSliderRect();
    const POINT start{thumb.Left + 3, thumb.Top + 3};
    // Inside the loop the idle hook moves the pointer down the bar and lets the 100 ms timer tick.
    int step = 0;
    App.OnIdle([&] {
        if (step < 4) {
            ++step;
            TwInputMouseMove(start.x, start.y + 20 * step);
            TwAdvanceClock(100);
        } else if (step == 4) {
            ++step;
            TwInputMouseButton(start.x, start.y + 80, TW_BUTTON_LEFT, FALSE);
        } else {
            TwAdvanceClock(100);
        }
    });
    TwInputMouseMove(start.x, start.y);
    TwInputMouseButton(start.x, start.y, TW_BUTTON_LEFT, TRUE);
    App.PumpUntilIdle();
    App.OnIdle(nullptr);

    std::vector<int> tracked;
    int position = -1, ends = 0;
    for (const auto& [code, pos] : Log().Vert) {
        if (code == SB_THUMBTRACK) tracked.push_back(pos);
        if (code == SB_THUMBPOSITION) position = pos;
        if (code == SB_ENDSCROLL) ++ends;
    }
    ASSERT_FALSE(tracked.empty());
    EXPECT_TRUE(std::is_sorted(tracked.begin(), tracked.end()));
    EXPECT_GT(hook->LastTrackPos(), 0);
    EXPECT_EQ(position, hook->LastTrackPos()) << "the end of the drag carries the styled thumb's last position";
    EXPECT_EQ(ends, 1);
    EXPECT_FALSE(hook->Tracking());
    EXPECT_EQ(GetScrollPos(w, SB_VERT), hook->LastTrackPos());
}

TEST_F(ScrollingHookTest, ThumbLetGoBeforeTheTrackingTimerTicksEndsWhereThePointerLetGo) {
    const HWND w = MakeScrolling(WS_VSCROLL);
    SetInfo(w, SB_VERT, 0, 99, 10, 0);
    Painted(w);
    const TRect thumb = Hook(w)->VertSliderRect();
    const POINT start{thumb.Left + 3, thumb.Top + 3};
    int step = 0;
    App.OnIdle([&] {
        if (step++ == 0) {
            TwInputMouseMove(start.x, start.y + 60);
            TwInputMouseButton(start.x, start.y + 60, TW_BUTTON_LEFT, FALSE);
        } else {
            TwAdvanceClock(100);
        }
    });
    TwInputMouseMove(start.x, start.y);
    TwInputMouseButton(start.x, start.y, TW_BUTTON_LEFT, TRUE);
    App.PumpUntilIdle();
    App.OnIdle(nullptr);
    int position = -1;
    for (const auto& [code, pos] : Log().Vert)
        if (code == SB_THUMBPOSITION) position = pos;
    EXPECT_GT(position, 20) << "not the position the press started from";
    EXPECT_EQ(GetScrollPos(w, SB_VERT), position);
}

TEST_F(ScrollingHookTest, DragQueuedAllAtOnceIsAThumbDragNotAPageScroll) {
    // Real input may wait in the queue: when the press is read the pointer is already at the end.
    const HWND w = MakeScrolling(WS_VSCROLL);
    SetInfo(w, SB_VERT, 0, 99, 10, 0);
    Painted(w);
    const TRect thumb = Hook(w)->VertSliderRect();
    const POINT start{thumb.Left + 3, thumb.Top + 3};
    TwInputMouseMove(start.x, start.y);
    TwInputMouseButton(start.x, start.y, TW_BUTTON_LEFT, TRUE);
    TwInputMouseMove(start.x, start.y + 60);
    TwInputMouseButton(start.x, start.y + 60, TW_BUTTON_LEFT, FALSE);
    App.OnIdle([] { TwAdvanceClock(100); });
    App.PumpUntilIdle();
    App.OnIdle(nullptr);
    int position = -1, pages = 0;
    for (const auto& [code, pos] : Log().Vert) {
        if (code == SB_THUMBPOSITION) position = pos;
        pages += code == SB_PAGEDOWN;
    }
    EXPECT_EQ(pages, 0);
    EXPECT_GT(position, 20);
}

TEST_F(ScrollingHookTest, ArrowRepetitionStopsWhenTheButtonComesUp) {
    const HWND w = MakeScrolling(WS_VSCROLL);
    SetInfo(w, SB_VERT, 0, 99, 10, 50);
    Painted(w);
    const TRect down = Hook(w)->VertDownRect();
    const POINT at{down.Left + 3, down.Top + 3};
    int ticks = 0;
    App.OnIdle([&] {
        if (ticks++ < 5) TwAdvanceClock(100);
        else TwInputMouseButton(at.x, at.y, TW_BUTTON_LEFT, FALSE);
    });
    TwInputMouseMove(at.x, at.y);
    TwInputMouseButton(at.x, at.y, TW_BUTTON_LEFT, TRUE);
    App.PumpUntilIdle();
    App.OnIdle(nullptr);
    const auto lines = [] {
        return std::count_if(Log().Vert.begin(), Log().Vert.end(), [](const auto& m) { return m.first == SB_LINEDOWN; });
    };
    const auto during = lines();
    EXPECT_GE(during, 5) << "the press and its repetitions";
    App.Advance(std::chrono::milliseconds(1000));
    EXPECT_EQ(lines(), during) << "nothing after the release";
}

TEST_F(ScrollingHookTest, ScrollBarControlsArePaintedByTheStyleOnlyAsSizeBoxes) {
    TSysStyleManager::RegisterSysStyleHook(QStringLiteral("ScrollBar"), &CreateHook<TSysScrollBarStyleHook>);
    const HWND parent = Make(PlainClass, WS_POPUP | WS_VISIBLE, nullptr, 0, 200, 100);
    const HWND bar = CreateWindowExW(0, u"ScrollBar", u"", WS_CHILD | WS_VISIBLE | SBS_VERT, 0, 0, 17, 80, parent,
                                     nullptr, nullptr, nullptr);
    const HWND box = CreateWindowExW(0, u"ScrollBar", u"", WS_CHILD | WS_VISIBLE | SBS_SIZEBOX, 50, 0, 17, 17, parent,
                                     nullptr, nullptr, nullptr);
    Painted(parent);
    EXPECT_EQ(App.Pixel(box, 8, 8) & 0xFFFFFF, SizeBox);
    EXPECT_NE(App.Pixel(bar, 8, 40) & 0xFFFFFF, SizeBox) << "an ordinary bar is the control's own painting";
    TSysStyleManager::UnRegisterSysStyleHook(QStringLiteral("ScrollBar"));
}

} // namespace
