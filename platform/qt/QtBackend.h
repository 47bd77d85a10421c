// qt/QtBackend.h: the Qt presentation of the window model. main() and the test harness install it.
#pragma once

#include "win/windows.h"

#include <Qt>

class QWindow;

namespace twqt {

// Starts Qt when no application object exists yet (TwStartGui: the offscreen platform when there is
// no display) and installs the presentation into the window model; screens, work area and DPI go into the metrics.
// Returns false when Qt cannot start.
bool Install();
// Takes the presentation out again (windows stay in the model, hidden from the screen).
void Uninstall();
// Qt's screens as monitors (the provider Install gives the window model); how many there are.
int ScreenMonitors(TwMonitorDesc* monitors, int max);
// The Qt window showing a top-level window, or nullptr.
QWindow* WindowOf(HWND hwnd);
// Our virtual-key code for a Qt key; `extended` tells whether Windows marks the key extended.
UINT VirtualKeyOf(int qtKey, Qt::KeyboardModifiers modifiers, bool& extended);

} // namespace twqt
