// tests/support/windows/HeadlessApp.h: runs the window model headless for a test: the offscreen Qt
// presentation, a manual clock, 96 DPI and a fixed 1280x1024 screen; pumps messages, moves time,
// injects input at window coordinates and reads pixels.
#pragma once

#include "win/windows.h"

#include <QImage>
#include <QString>

#include <chrono>
#include <functional>

namespace testing_support {

class HeadlessApp {
public:
    HeadlessApp();
    ~HeadlessApp();
    HeadlessApp(const HeadlessApp&) = delete;
    HeadlessApp& operator=(const HeadlessApp&) = delete;

    static constexpr int ScreenWidth = 1280;
    static constexpr int ScreenHeight = 1024;

    // Dispatches every waiting message (painting and due timers included); the number dispatched.
    int PumpUntilIdle(int limit = 100000);
    // Moves the clock, firing timers at the times they fall due, pumping after each step.
    void Advance(std::chrono::milliseconds ms);
    // Called when a modal loop inside the program waits for input under the manual clock.
    void OnIdle(std::function<void()> idle);

    // Input at client coordinates of a window (queued, then pumped).
    void MoveTo(HWND hwnd, POINT client);
    void Press(HWND hwnd, POINT client, int button = TW_BUTTON_LEFT);
    void Release(HWND hwnd, POINT client, int button = TW_BUTTON_LEFT);
    void Click(HWND hwnd, POINT client, int button = TW_BUTTON_LEFT);
    void DoubleClick(HWND hwnd, POINT client, int button = TW_BUTTON_LEFT);
    void Drag(HWND hwnd, POINT from, POINT to, int steps = 4, int button = TW_BUTTON_LEFT);
    void Wheel(HWND hwnd, POINT client, int delta);
    void KeyDown(UINT vk);
    void KeyUp(UINT vk);
    void Tap(UINT vk);        // down and up
    void Type(const QString& text);  // one key per character, with the character's own text
    // The same, queued without pumping (for modal loops that pump themselves).
    static POINT ToScreen(HWND hwnd, POINT client);

    // The pixels of a window (its whole window rectangle), as drawn so far.
    QImage Grab(HWND hwnd) const;
    // One pixel at client coordinates, 0xRRGGBB.
    QRgb Pixel(HWND hwnd, int x, int y) const;
    // Saves Grab(hwnd) as a PNG under the test output folder; returns the path.
    QString SaveScreenshot(HWND hwnd, const QString& name) const;

private:
    static void CALLBACK IdleThunk(void* self);
    std::function<void()> idle_;
};

} // namespace testing_support
