// app/shell/GridFont.h: one font for a grid, its cells and its headers.
#pragma once
#include "grid/GridControl.h"

namespace shell {

// The grid's font and every column's cell and header font take the name and size.
void SetGridFont(grid::TRgCustomGrid* Grid, const rtl::String& Name, int Size);

} // namespace shell
