// A unit as tags/ would write it; with TW_INCLUDE_A_LOWER_LAYER it reaches for a layer tags/ may not use.
#include "rtl/SysUtils.h"
#ifdef TW_INCLUDE_A_LOWER_LAYER
#include "win/windows.h"
#endif

int LayeringProbe() { return 0; }
