#include "app/shell/GridFont.h"

#include "grid/Columns.h"

namespace shell {

void SetGridFont(grid::TRgCustomGrid* Grid, const rtl::String& Name, int Size) {
    Grid->Font()->SetName(Name);
    Grid->Font()->SetSize(Size);
    for (int c = 0; c < Grid->Columns()->Count(); ++c) {
        grid::TRgCustomColumn* col = Grid->Columns()->Item(c);
        col->Font()->SetName(Name);
        col->Font()->SetSize(Size);
        col->Header()->Font()->SetName(Name);
        col->Header()->Font()->SetSize(Size);
    }
}

} // namespace shell
