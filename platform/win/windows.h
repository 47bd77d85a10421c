// win/windows.h: the umbrella header of the Win32 stand-in.
#pragma once

#include "win/windef.h"
#include "win/gdi32/wingdi.h"
#include "win/user32/winuser.h"
#include "win/user32/winctrl.h"
#include "win/comctl32/commctrl.h"
#include "win/uxtheme/uxtheme.h"
#include "win/kernel32/modules.h"
#include "win/kernel32/winres.h"
#include "win/kernel32/winnls.h"
#include "win/kernel32/fileapi.h"
#include "win/kernel32/synchapi.h"
#include "win/kernel32/userdirs.h"
#include "win/advapi32/winreg.h"
#include "win/shell32/shellapi.h"
#include "win/comdlg32/commdlg.h"
#if __has_include("win/kernel32/winbase.h")
#include "win/kernel32/winbase.h"
#endif
