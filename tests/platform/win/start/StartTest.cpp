// Measuring text before anything has started Qt, with no display: the offscreen platform, no abort.
#include "win/windows.h"

#include <QGuiApplication>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

TEST(GuiStart, TextMeasuredBeforeAnyStartRunsOffscreenWithoutADisplay) {
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) unsetenv(name);
    ASSERT_EQ(QCoreApplication::instance(), nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    SIZE size{};
    ASSERT_TRUE(GetTextExtentPoint32W(dc, u"Tunewright", 10, &size));
    EXPECT_GT(size.cx, 20);
    EXPECT_GT(size.cy, 5);
    DeleteDC(dc);
    EXPECT_EQ(QGuiApplication::platformName(), QStringLiteral("offscreen"));
    // Later starts find it running; a presentation installed now uses the same application.
    EXPECT_TRUE(TwStartGui(nullptr, nullptr, FALSE));
    TwStopGui();
    EXPECT_EQ(QCoreApplication::instance(), nullptr);
}

} // namespace
