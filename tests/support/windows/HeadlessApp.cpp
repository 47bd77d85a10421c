#include "tests/support/windows/HeadlessApp.h"
#include "qt/QtBackend.h"
#include "styling/hooks/Styling.h"

#include <QDir>
#include <QGuiApplication>

#include <gtest/gtest.h>

namespace testing_support {

namespace {

constexpr ULONGLONG ClockStart = 10'000'000;

int CALLBACK FixedWorkArea(UINT action, UINT, PVOID pv, UINT) {
    if (action != SPI_GETWORKAREA || !pv) return -1;
    *static_cast<RECT*>(pv) = RECT{0, 0, HeadlessApp::ScreenWidth, HeadlessApp::ScreenHeight - 40};
    return 1;
}

// Ends the GUI application when the test program's run is over, while main() still runs.
struct StopGuiAtEnd : ::testing::Environment {
    void TearDown() override {
        twqt::Uninstall();
        TwStopGui();
    }
};

} // namespace

HeadlessApp::HeadlessApp() {
    static const bool stopRegistered = (::testing::AddGlobalTestEnvironment(new StopGuiAtEnd), true);
    (void)stopRegistered;
    if (!TwStartGui(nullptr, nullptr, TRUE) || !twqt::Install()) ADD_FAILURE() << "the Qt presentation could not start";
    TwResetWindowing();
    TwResetSystemSettings();
    TwSetSystemMetric(SM_CXSCREEN, ScreenWidth);
    TwSetSystemMetric(SM_CYSCREEN, ScreenHeight);
    TwSetSystemMetric(SM_CXVIRTUALSCREEN, ScreenWidth);
    TwSetSystemMetric(SM_CYVIRTUALSCREEN, ScreenHeight);
    TwSetSystemParametersProvider(FixedWorkArea);
    TwSetMonitorProvider(nullptr);  // one monitor: the fixed screen above
    TwSetLogPixels(96);
    TwUseManualClock(ClockStart);
    TwSetIdleHook(&HeadlessApp::IdleThunk, this);
    // The program starts its system-window styling first and ends it last: so does every window test.
    styling::Initialize();
}

HeadlessApp::~HeadlessApp() {
    styling::Finalize();
    TwSetIdleHook(nullptr, nullptr);
    TwResetWindowing();
    TwResetSystemSettings();
    TwUseRealClock();
}

void CALLBACK HeadlessApp::IdleThunk(void* self) {
    auto* app = static_cast<HeadlessApp*>(self);
    if (app->idle_) app->idle_();
}

void HeadlessApp::OnIdle(std::function<void()> idle) { idle_ = std::move(idle); }

int HeadlessApp::PumpUntilIdle(int limit) {
    int n = 0;
    MSG msg;
    for (; n < limit; ++n) {
        if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) break;
        if (msg.message == WM_QUIT) {
            PostQuitMessage(int(msg.wParam));  // keep it for the program's own loop
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    TwFlushPainting();
    QCoreApplication::processEvents();
    return n;
}

void HeadlessApp::Advance(std::chrono::milliseconds ms) {
    const ULONGLONG end = GetTickCount64() + ULONGLONG(ms.count());
    PumpUntilIdle();
    // Step from one due timer to the next, as if the program ran the whole time.
    for (int guard = 0; guard < 1000000; ++guard) {
        const ULONGLONG now = GetTickCount64();
        ULONGLONG due = 0;
        if (!TwNextTimerDue(&due) || due > end) break;
        if (due > now) TwAdvanceClock(due - now);
        PumpUntilIdle();
    }
    const ULONGLONG now = GetTickCount64();
    if (end > now) TwAdvanceClock(end - now);
    PumpUntilIdle();
}

POINT HeadlessApp::ToScreen(HWND hwnd, POINT client) {
    POINT p = client;
    ClientToScreen(hwnd, &p);
    return p;
}

void HeadlessApp::MoveTo(HWND hwnd, POINT client) {
    const POINT p = ToScreen(hwnd, client);
    TwInputMouseMove(p.x, p.y);
    PumpUntilIdle();
}

void HeadlessApp::Press(HWND hwnd, POINT client, int button) {
    const POINT p = ToScreen(hwnd, client);
    TwInputMouseMove(p.x, p.y);
    TwInputMouseButton(p.x, p.y, button, TRUE);
    PumpUntilIdle();
}

void HeadlessApp::Release(HWND hwnd, POINT client, int button) {
    const POINT p = ToScreen(hwnd, client);
    TwInputMouseMove(p.x, p.y);
    TwInputMouseButton(p.x, p.y, button, FALSE);
    PumpUntilIdle();
}

void HeadlessApp::Click(HWND hwnd, POINT client, int button) {
    Press(hwnd, client, button);
    Release(hwnd, client, button);
}

void HeadlessApp::DoubleClick(HWND hwnd, POINT client, int button) {
    Click(hwnd, client, button);
    TwAdvanceClock(50);
    Click(hwnd, client, button);
}

void HeadlessApp::Drag(HWND hwnd, POINT from, POINT to, int steps, int button) {
    Press(hwnd, from, button);
    for (int i = 1; i <= steps; ++i) {
        TwAdvanceClock(10);
        MoveTo(hwnd, POINT{from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps});
    }
    Release(hwnd, to, button);
}

void HeadlessApp::Wheel(HWND hwnd, POINT client, int delta) {
    const POINT p = ToScreen(hwnd, client);
    TwInputMouseMove(p.x, p.y);
    TwInputMouseWheel(p.x, p.y, delta, FALSE);
    PumpUntilIdle();
}

void HeadlessApp::KeyDown(UINT vk) {
    TwInputKey(vk, TRUE, FALSE, nullptr, FALSE);
    PumpUntilIdle();
}

void HeadlessApp::KeyUp(UINT vk) {
    TwInputKey(vk, FALSE, FALSE, nullptr, FALSE);
    PumpUntilIdle();
}

void HeadlessApp::Tap(UINT vk) {
    KeyDown(vk);
    KeyUp(vk);
}

void HeadlessApp::Type(const QString& text) {
    for (QChar c : text) {
        const QChar up = c.toUpper();
        UINT vk = 0;
        if (up >= QLatin1Char('A') && up <= QLatin1Char('Z')) vk = up.unicode();
        else if (c.isDigit()) vk = c.unicode();
        else if (c == QLatin1Char(' ')) vk = VK_SPACE;
        else vk = VK_OEM_PERIOD;  // any key: the character travels as the key's text
        const char16_t s[2] = {c.unicode(), 0};
        TwInputKey(vk, TRUE, FALSE, s, FALSE);
        TwInputKey(vk, FALSE, FALSE, nullptr, FALSE);
    }
    PumpUntilIdle();
}

QImage HeadlessApp::Grab(HWND hwnd) const {
    TwSurface s{};
    POINT origin{};
    if (!TwGetWindowSurface(hwnd, &s, &origin)) return QImage();
    RECT r;
    GetWindowRect(hwnd, &r);
    const QImage all(static_cast<const uchar*>(s.bits), s.width, s.height, s.stride, QImage::Format_RGB32);
    return all.copy(origin.x, origin.y, r.right - r.left, r.bottom - r.top);
}

QRgb HeadlessApp::Pixel(HWND hwnd, int x, int y) const {
    TwSurface s{};
    POINT origin{};
    if (!TwGetWindowSurface(hwnd, &s, &origin)) return 0;
    RECT wr;
    GetWindowRect(hwnd, &wr);
    POINT c{x, y};
    ClientToScreen(hwnd, &c);
    const int bx = origin.x + c.x - wr.left, by = origin.y + c.y - wr.top;
    if (bx < 0 || by < 0 || bx >= s.width || by >= s.height) return 0;
    return static_cast<const uint32_t*>(s.bits)[size_t(by) * (size_t(s.stride) / 4) + size_t(bx)] & 0xFFFFFF;
}

QString HeadlessApp::SaveScreenshot(HWND hwnd, const QString& name) const {
    QString dir = qEnvironmentVariable("TW_SCREENSHOT_DIR");
    if (dir.isEmpty()) dir = QDir::currentPath() + QStringLiteral("/screenshots");
    QDir().mkpath(dir);
    const QString path = dir + QLatin1Char('/') + name;
    Grab(hwnd).save(path, "PNG");
    return path;
}

} // namespace testing_support
