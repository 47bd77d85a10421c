// vcl/ControlsInternal.h: what the units of the control layer share among themselves and nothing above
// them includes: the handle map, the tracked pointer control, and the doors into controls' internals.
#pragma once
#include "vcl/Controls.h"

#include <unordered_map>

namespace vcl::detail {

std::unordered_map<HWND, TWinControl*>& HandleMap();
// A control is going: forget it as capture, pointer or drag control, and tell the application.
void ControlGone(TControl* Control);

struct ControlAccess {
    // The pointer is now over Control (nullptr: over none of ours): CM_MOUSELEAVE to the old one,
    // CM_MOUSEENTER to the new one.
    static void SetMouseControl(TControl* Control);
    static void SetHandle(TWinControl* Control, HWND Handle) { Control->FHandle = Handle; }
};

// The window procedure every window of the library's classes has.
LRESULT CALLBACK StdWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

} // namespace vcl::detail
