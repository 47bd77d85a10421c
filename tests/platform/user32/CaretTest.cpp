// Carets blinking on the manual clock, and cursors chosen through WM_SETCURSOR.
#include "Recorder.h"
#include "qt/QtBackend.h"

#include <QCursor>
#include <QWindow>

using namespace user32_test;

namespace {

constexpr QRgb White = 0xFFFFFF;

} // namespace

TEST_F(WindowTest, CaretBlinksOnTheClockHidesInNestsAndShowsAtOnceWhereItMoves) {
    TwSetSysColor(COLOR_WINDOW, RGB(255, 255, 255));
    HWND w = TopLevel(WS_POPUP | WS_VISIBLE, RECT{0, 0, 200, 100});
    app.PumpUntilIdle();
    ASSERT_TRUE(CreateCaret(w, nullptr, 2, 10));
    SetCaretPos(5, 5);
    EXPECT_EQ(app.Pixel(w, 5, 5), White);  // created hidden
    ShowCaret(w);
    EXPECT_NE(app.Pixel(w, 5, 5), White);
    EXPECT_NE(app.Pixel(w, 6, 14), White);
    EXPECT_EQ(app.Pixel(w, 7, 5), White);  // 2 px wide
    app.Advance(std::chrono::milliseconds(GetCaretBlinkTime()));
    EXPECT_EQ(app.Pixel(w, 5, 5), White);
    app.Advance(std::chrono::milliseconds(GetCaretBlinkTime()));
    EXPECT_NE(app.Pixel(w, 5, 5), White);
    app.Advance(std::chrono::milliseconds(GetCaretBlinkTime()));  // off phase now
    SetCaretPos(50, 5);
    EXPECT_NE(app.Pixel(w, 50, 5), White);
    EXPECT_EQ(app.Pixel(w, 5, 5), White);
    POINT at{};
    GetCaretPos(&at);
    EXPECT_EQ(at.x, 50);

    HideCaret(w);
    HideCaret(w);
    ShowCaret(w);
    EXPECT_EQ(app.Pixel(w, 50, 5), White);
    app.Advance(std::chrono::milliseconds(2 * GetCaretBlinkTime()));
    EXPECT_EQ(app.Pixel(w, 50, 5), White);  // hidden carets do not blink
    ShowCaret(w);
    EXPECT_NE(app.Pixel(w, 50, 5), White);
    EXPECT_TRUE(DestroyCaret());
    EXPECT_EQ(app.Pixel(w, 50, 5), White);
    app.Advance(std::chrono::milliseconds(2 * GetCaretBlinkTime()));
    EXPECT_EQ(app.Pixel(w, 50, 5), White);
    EXPECT_FALSE(ShowCaret(w));
}

TEST_F(WindowTest, SetCursorMessagesAskTheParentFirstAndDefaultsFollowTheHitCode) {
    HWND top = TopLevel(WS_POPUP | WS_VISIBLE, RECT{0, 0, 300, 300});
    HWND child = Child(top, RECT{0, 0, 200, 200});
    const int hitAt[] = {HTCLIENT, 2000, HTLEFT, HTTOPLEFT, HTBOTTOM, HTCAPTION};
    int hit = HTCLIENT;
    rec.handlers[child] = [&](HWND, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (m == WM_NCHITTEST) return hit;
        return std::nullopt;
    };
    rec.handlers[top] = [&](HWND, UINT m, WPARAM wp, LPARAM lp) -> std::optional<LRESULT> {
        if (m == WM_SETCURSOR && SHORT(LOWORD(lp)) == 2000) {
            EXPECT_EQ(reinterpret_cast<HWND>(wp), child);  // the window under the pointer
            SetCursor(LoadCursorW(nullptr, IDC_SIZEALL));
            return TRUE;
        }
        return std::nullopt;
    };
    const LPCWSTR expected[] = {nullptr, IDC_SIZEALL, IDC_SIZEWE, IDC_SIZENWSE, IDC_SIZENS, IDC_ARROW};
    for (size_t i = 0; i < std::size(hitAt); ++i) {
        SCOPED_TRACE(hitAt[i]);
        hit = hitAt[i];
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        app.MoveTo(child, POINT{int(10 + i), 10});
        // Without a class cursor the client area keeps whatever the program set.
        EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, expected[i] ? expected[i] : IDC_WAIT));
    }
    hit = 2000;
    app.MoveTo(child, POINT{40, 10});
    ASSERT_NE(twqt::WindowOf(top), nullptr);
    EXPECT_EQ(twqt::WindowOf(top)->cursor().shape(), Qt::SizeAllCursor);  // the desktop shows it

    rec.Clear();
    SetCapture(child);
    app.MoveTo(child, POINT{50, 10});
    EXPECT_TRUE(rec.Of(WM_SETCURSOR).empty());  // the capture keeps the shape
    ReleaseCapture();
}
