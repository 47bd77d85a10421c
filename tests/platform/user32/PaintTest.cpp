// Painting: update regions, DCs given by other windows, GetDC at any time, regions, the screenshot.
#include "Recorder.h"
#include "win/user32/Backend.h"

#include <QDir>
#include <QFile>

using namespace user32_test;

namespace {

void Fill(HDC hdc, RECT r, COLORREF c) {
    HBRUSH b = CreateSolidBrush(c);
    FillRect(hdc, &r, b);
    DeleteObject(b);
}

std::optional<LRESULT> PaintSolid(HWND h, UINT m, COLORREF c) {
    if (m != WM_PAINT) return std::nullopt;
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(h, &ps);
    RECT r;
    GetClientRect(h, &r);
    Fill(hdc, r, c);
    EndPaint(h, &ps);
    return 0;
}

} // namespace

TEST_F(WindowTest, EraseAndPrintWithAForeignDCPaintIntoThatDCAtItsOrigin) {
    HWND w = TopLevel(WS_POPUP | WS_VISIBLE, RECT{0, 0, 40, 30});
    app.PumpUntilIdle();
    const QRgb before = app.Pixel(w, 5, 5);
    HDC mem = CreateCompatibleDC(nullptr);
    BITMAPINFO bi{};
    bi.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 60, -50, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bm = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    std::fill_n(static_cast<uint32_t*>(bits), 60 * 50, 0x00112233u);
    SelectObject(mem, bm);
    OffsetWindowOrgEx(mem, -10, -5, nullptr);  // the window's (0,0) lands at (10,5)
    TwSetSysColor(COLOR_WINDOW, RGB(0, 200, 0));
    EXPECT_EQ(SendMessageW(w, WM_ERASEBKGND, reinterpret_cast<WPARAM>(mem), 0), 1);
    const auto* px = static_cast<const uint32_t*>(bits);
    EXPECT_EQ(px[5 * 60 + 10] & 0xFFFFFF, 0x00C800u);
    EXPECT_EQ(px[34 * 60 + 49] & 0xFFFFFF, 0x00C800u);
    EXPECT_EQ(px[4 * 60 + 10] & 0xFFFFFF, 0x112233u);
    EXPECT_EQ(px[5 * 60 + 50] & 0xFFFFFF, 0x112233u);
    // WM_PAINT with a DC leaves the window's own pixels alone.
    InvalidateRect(w, nullptr, TRUE);
    SendMessageW(w, WM_PAINT, reinterpret_cast<WPARAM>(mem), 0);
    EXPECT_EQ(app.Pixel(w, 5, 5), before);
    RECT upd;
    EXPECT_TRUE(GetUpdateRect(w, &upd, FALSE));
    DeleteDC(mem);
    DeleteObject(bm);
}

TEST_F(WindowTest, InvalidationPaintsParentFirstThenChildrenAndValidateRemoves) {
    HWND top = TopLevel(WS_POPUP | WS_VISIBLE, RECT{0, 0, 200, 200});
    HWND child = Child(top, RECT{10, 10, 60, 60});
    app.PumpUntilIdle();
    rec.Clear();
    InvalidateRect(top, nullptr, FALSE);
    app.PumpUntilIdle();
    std::vector<HWND> painted;
    for (const Seen& s : rec.Of(WM_PAINT)) painted.push_back(s.hwnd);
    EXPECT_EQ(painted, (std::vector<HWND>{top, child}));
    // WS_CLIPCHILDREN keeps children out of the parent's invalidation.
    SetWindowLongPtrW(top, GWL_STYLE, GetWindowLongPtrW(top, GWL_STYLE) | WS_CLIPCHILDREN);
    rec.Clear();
    InvalidateRect(top, nullptr, FALSE);
    app.PumpUntilIdle();
    EXPECT_EQ(rec.Of(WM_PAINT).size(), 1u);
    InvalidateRect(top, nullptr, FALSE);
    ValidateRect(top, nullptr);
    rec.Clear();
    app.PumpUntilIdle();
    EXPECT_TRUE(rec.Of(WM_PAINT).empty());
}

namespace {
struct PresentSpy : twuser::Backend {
    std::vector<std::pair<HWND, RECT>> presents;
    void Show(HWND, const twuser::TopLevelInfo&) override {}
    void Hide(HWND) override {}
    void Geometry(HWND, const RECT&) override {}
    void Destroyed(HWND) override {}
    void Title(HWND, const QString&) override {}
    void Opacity(HWND, double) override {}
    void Present(HWND h, const RECT& r) override { presents.emplace_back(h, r); }
    void Activate(HWND) override {}
    void CursorShape(int, const QImage*, POINT) override {}
    void ProcessEvents(int) override {}
    void Wake() override {}
    bool ClipboardText(QString&) override { return false; }
    bool ClipboardFiles(QStringList&) override { return false; }
    void SetClipboard(const QString*, const QStringList*) override {}
};
} // namespace

TEST_F(WindowTest, DrawingThroughGetDCOutsidePaintReachesTheScreenImage) {
    HWND top = TopLevel(WS_POPUP | WS_VISIBLE, RECT{0, 0, 200, 200});
    HWND child = Child(top, RECT{20, 30, 120, 130});
    app.PumpUntilIdle();
    twuser::Backend* qt = twuser::CurrentBackend();
    PresentSpy spy;
    twuser::SetBackend(&spy);
    HDC hdc = GetDC(child);
    Fill(hdc, RECT{0, 0, 10, 10}, RGB(255, 0, 0));
    ReleaseDC(child, hdc);
    MSG m;
    PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE);  // idle: what was drawn is presented
    ASSERT_FALSE(spy.presents.empty());
    EXPECT_EQ(spy.presents.back().first, top);
    const RECT d = spy.presents.back().second;
    EXPECT_LE(d.left, 20);
    EXPECT_GE(d.right, 30);
    twuser::SetBackend(qt);
    EXPECT_EQ(app.Pixel(child, 0, 0), 0xFF0000u);
    EXPECT_EQ(app.Pixel(top, 20 + 9, 30 + 9), 0xFF0000u);
    EXPECT_NE(app.Pixel(top, 20 + 10, 30 + 10), 0xFF0000u);
}

TEST_F(WindowTest, WindowRegionClipsTheWindowDCAndLayeredWindowsKeepAlpha) {
    HWND w = TopLevel(WS_POPUP | WS_VISIBLE, RECT{0, 0, 100, 100}, WS_EX_LAYERED);
    app.PumpUntilIdle();
    EXPECT_EQ(SetWindowRgn(w, CreateRectRgn(10, 10, 50, 50), FALSE), 1);
    HDC hdc = GetWindowDC(w);
    Fill(hdc, RECT{0, 0, 100, 100}, RGB(0, 0, 255));
    ReleaseDC(w, hdc);
    EXPECT_EQ(app.Pixel(w, 20, 20), 0x0000FFu);
    EXPECT_NE(app.Pixel(w, 5, 5), 0x0000FFu);
    EXPECT_NE(app.Pixel(w, 60, 60), 0x0000FFu);
    // Hit testing follows the region too.
    EXPECT_EQ(WindowFromPoint(POINT{5, 5}), nullptr);
    EXPECT_EQ(WindowFromPoint(POINT{20, 20}), w);
    EXPECT_TRUE(SetLayeredWindowAttributes(w, 0, 40, LWA_ALPHA));
    BYTE alpha = 0;
    DWORD flags = 0;
    EXPECT_TRUE(GetLayeredWindowAttributes(w, nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 40);
    EXPECT_EQ(flags, DWORD(LWA_ALPHA));
}

TEST_F(WindowTest, ScrollWindowExMovesPixelsAndInvalidatesTheUncoveredStrip) {
    HWND w = TopLevel(WS_POPUP | WS_VISIBLE, RECT{0, 0, 100, 100});
    app.PumpUntilIdle();
    HDC hdc = GetDC(w);
    Fill(hdc, RECT{0, 0, 100, 100}, RGB(255, 255, 255));
    Fill(hdc, RECT{0, 50, 100, 60}, RGB(255, 0, 0));
    ReleaseDC(w, hdc);
    RECT upd;
    ScrollWindowEx(w, 0, -20, nullptr, nullptr, nullptr, &upd, SW_INVALIDATE);
    EXPECT_EQ(app.Pixel(w, 5, 30), 0xFF0000u);
    EXPECT_EQ(app.Pixel(w, 5, 55), 0xFFFFFFu);
    EXPECT_EQ(upd.top, 80);
    EXPECT_EQ(upd.bottom, 100);
    RECT pending;
    ASSERT_TRUE(GetUpdateRect(w, &pending, FALSE));
    EXPECT_EQ(pending.top, 80);
}

// Every pixel holds its own position. A move in any direction, where the rows and spans overlap
// their sources, lands each moved pixel where it belongs, from and into the clip only; a child window splits
// the rows into two spans and keeps its own pixels.
TEST_F(WindowTest, ScrollWindowExMovesOverlappingPixelsInEveryDirection) {
    const struct {
        int dx, dy;
    } Moves[] = {{0, 7}, {0, -7}, {5, 0}, {-5, 0}, {3, 4}, {-3, -4}, {4, -2}, {-4, 2}};
    const RECT scroll{5, 5, 55, 45}, clip{8, 6, 50, 44}, child{20, 0, 26, 50};
    const auto in = [](const RECT& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; };
    const auto mark = [](int x, int y) { return QRgb(x << 16 | y << 8 | 7); };
    for (const auto& m : Moves) {
        HWND w = TopLevel(WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, RECT{0, 0, 60, 50});
        Child(w, child);
        app.PumpUntilIdle();
        HDC hdc = GetDC(w);
        for (int y = 0; y < 50; ++y)
            for (int x = 0; x < 60; ++x) SetPixelV(hdc, x, y, RGB(x, y, 7));
        ReleaseDC(w, hdc);
        ScrollWindowEx(w, m.dx, m.dy, &scroll, &clip, nullptr, nullptr, 0);
        int wrong = 0;
        for (int y = 0; y < 50; ++y)
            for (int x = 0; x < 60; ++x) {
                if (in(child, x, y)) continue;
                const int sx = x - m.dx, sy = y - m.dy;
                const bool moved =
                    in(clip, x, y) && in(scroll, sx, sy) && in(clip, sx, sy) && !in(child, sx, sy);
                if (app.Pixel(w, x, y) != (moved ? mark(sx, sy) : mark(x, y)) && ++wrong <= 3)
                    ADD_FAILURE() << "move " << m.dx << "," << m.dy << " at " << x << "," << y;
            }
        EXPECT_EQ(wrong, 0) << "move " << m.dx << "," << m.dy;
        DestroyWindow(w);
    }
}

TEST_F(WindowTest, ScreenshotOfPaintedChildWindowsMatchesTheExpectedImage) {
    HWND top = TopLevel(WS_POPUP | WS_VISIBLE | WS_BORDER, RECT{0, 0, 160, 120});
    HWND red = Child(top, RECT{10, 10, 70, 60}, WS_CHILD | WS_VISIBLE | WS_BORDER, 1);
    HWND blue = Child(top, RECT{50, 40, 140, 100}, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 2);
    HWND edged = CreateWindowExW(WS_EX_CLIENTEDGE, u"TwTestWindow", u"", WS_CHILD | WS_VISIBLE | WS_VSCROLL, 10, 70, 40,
                                 40, top, nullptr, nullptr, nullptr);
    rec.handlers[red] = [](HWND h, UINT m, WPARAM, LPARAM) { return PaintSolid(h, m, RGB(220, 40, 40)); };
    rec.handlers[blue] = [](HWND h, UINT m, WPARAM, LPARAM) { return PaintSolid(h, m, RGB(40, 60, 220)); };
    rec.handlers[edged] = [](HWND h, UINT m, WPARAM, LPARAM) { return PaintSolid(h, m, RGB(250, 250, 120)); };
    app.PumpUntilIdle();
    const QString path = app.SaveScreenshot(top, QStringLiteral("user32-children.png"));
    const QImage actual = app.Grab(top).convertToFormat(QImage::Format_RGB32);
    const QString expectedPath = QStringLiteral(TW_USER32_TEST_DIR "/expected/children.png");
    if (!qEnvironmentVariableIsEmpty("TW_UPDATE_EXPECTED")) {
        QDir().mkpath(QStringLiteral(TW_USER32_TEST_DIR "/expected"));
        ASSERT_TRUE(actual.save(expectedPath, "PNG"));
    }
    const QImage expected = QImage(expectedPath).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(expected.isNull()) << "missing " << expectedPath.toStdString();
    EXPECT_EQ(actual, expected) << "see " << path.toStdString();
    // The later sibling with WS_CLIPSIBLINGS stays under the earlier one where they overlap.
    EXPECT_EQ(app.Pixel(top, 60, 50), QRgb(0xDC2828));
}
