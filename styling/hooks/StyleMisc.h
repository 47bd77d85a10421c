// styling/hooks/StyleMisc.h: small window and DC helpers of the style hooks.
#pragma once
#include "rtl/System.h"
#include "vcl/Graphics.h"
#include "win/windows.h"

namespace styling {

// A system metric for the DPI of the main form's monitor (the screen's without a main form), on
// systems that know per-monitor metrics; the plain metric on older ones.
int GetSysMetricsForDpi(int Index);
// The system version GetVersionExW gives (major, minor, build).
void GetOSVersion(DWORD& Major, DWORD& Minor, DWORD& Build);
// Window's class name; empty when the window is unknown.
rtl::String GetWindowClassName(HWND Window);
// R's size at Bounds.Left, centred vertically in Bounds (above Bounds.Top when R is taller).
vcl::TRect CenterRectVertically(const vcl::TRect& R, const vcl::TRect& Bounds);
// Moves the DC's window origin by (-DX, -DY).
void MoveWindowOrg(HDC DC, int DX, int DY);

} // namespace styling
