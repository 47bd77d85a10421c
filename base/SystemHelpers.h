// base/SystemHelpers.h: message boxes, the keep-above switch, power-off, the program and temporary
// folders and the image path of a process. None of them raises.
#pragma once

#include "rtl/System.h"
#include "win/user32/winwindow.h"

namespace base {

using rtl::String;

void ShowMessageBox(const String& Text, const String& Caption, HWND OwnerWindow, UINT Flags);
void ShowWarningBox(const String& Text, const String& Caption, HWND OwnerWindow);
// The identifier of the button pressed (IDYES, IDNO...).
int ShowQuestionBox(const String& Text, const String& Caption, HWND OwnerWindow, UINT Flags);

bool SetWindowTopmost(HWND Window, bool Topmost);

// Enables the shutdown privilege and asks the platform to power off (ExitWindowsEx, which goes to the
// login manager and never forces: nobody's unsaved work is thrown away). True when both succeed.
bool PowerOffWindows();

// The executable's folder without a trailing delimiter ("/" for the root).
String GetAppDir();
// TMPDIR (else /tmp) with a trailing '/'; Default when that comes out empty.
String GetTempDirDef(const String& Default);
// The full image path of a running process; empty when there is none or access is denied.
String GetProcessFileName(int ProcessID);

} // namespace base
