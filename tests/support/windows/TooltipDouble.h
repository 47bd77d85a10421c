// tests/support/windows/TooltipDouble.h: a stand-in for the system's tooltip window class
// ("tooltips_class32"), which the platform does not have: it paints a classic tip and answers
// TTM_ADJUSTRECT with fixed margins, so that hooks of tooltip windows can be tried on real windows.
#pragma once
#include "win/windows.h"

namespace testing_support {

// Margins between a tip's window rectangle and its text rectangle. The double's own: the recorded
// peer (tests/styling/windows/comctl-oracle/tables/tooltip*.txt, Wine 8) answers TTM_ADJUSTRECT with 0
// and leaves the rectangle as it was, plain or balloon, in both directions.
constexpr RECT TooltipTextMargins{3, 1, 3, 1};

// Registers the class (again after a reset of the window model); true when it is registered.
bool RegisterTooltipDouble();
// A visible tip at (X, Y) in screen coordinates with the given text and extra style (TTS_BALLOON…).
HWND CreateTooltipDouble(LPCWSTR Text, int X, int Y, int Width, int Height, DWORD Style = 0);

} // namespace testing_support
