// SHAppBarMessage: no task bar is published to other programs on Linux desktops.
#include "win/shell32/shellapi.h"

extern "C" {

UINT_PTR WINAPI SHAppBarMessage(DWORD, PAPPBARDATA) { return 0; }

} // extern "C"
