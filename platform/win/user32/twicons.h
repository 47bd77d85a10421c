// win/user32/twicons.h: a stand-in extension (not Win32) for leak tests of icon handles.
#pragma once

#include "win/windef.h"

extern "C" {

// Number of live icons and cursors (made and not destroyed); shared system icons count once.
int WINAPI TwIconCount(void);

} // extern "C"
