// app/shell/FileListColumns.h: the file list's grid as the main window designs it: its 32 columns
// (class, caption, width, alignment, visibility, sort type) and its options, sizes and colours.
#pragma once
#include "grid/GridReport.h"

#include <array>

namespace shell {

enum TFileListColumnClass { flcNumber, flcCheckBox, flcImage, flcText };

struct TFileListColumn {
    const char* Name;
    TFileListColumnClass Class;
    const char* Caption; // the designed English caption; the language replaces it
    int Width;           // 0: the column's default width
    bool Shown;
    vcl::TAlignment Alignment;
    grid::TSortType SortType;
    bool Bold = false; // the file-name columns
    int Tag = 0;       // 100: internal, never shown nor stored
};

// The columns in their designed order (position 0 to 31).
extern const std::array<TFileListColumn, 32> FileListColumnTable;

// Index of a column of the table by its name; -1 when there is none.
int FileListColumnIndex(const char* Name);

// Gives the grid the designed options, sizes and colours, and adds the 32 columns owned by Owner (the
// check-box column showing Checked, the icon column drawing from Icons when given).
void SetUpFileListGrid(grid::TReportGrid* Grid, rtl::TComponent* Owner, vcl::TBitmap* Checked = nullptr,
                       vcl::TCustomImageList* Icons = nullptr);

} // namespace shell
