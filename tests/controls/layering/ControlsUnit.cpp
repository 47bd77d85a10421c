// A unit as controls/ would write it: the grid's shared drawing is in reach; with
// TW_INCLUDE_THE_GRID it reaches for the grid control itself, which controls/ may not use.
#include "grid/shared/DrawHelpers.h"
#ifdef TW_INCLUDE_THE_GRID
#include "grid/GridControl.h"
#endif

int ControlsLayeringProbe() { return grid::IsThemingActive() ? 1 : 0; }
