// app/shell/Settings.h: pieces of the settings file that stand apart from the main window: a grid
// column's layout as its key's text, and the output-folder list file with its combo box.
#pragma once
#include "app/engine/Types.h"

namespace vcl {
class TCustomComboBox;
}

namespace shell {

using rtl::String;

// "4,220,1": position, width and visibility.
String ColumnInfoToIniStr(const engine::TColumnInfo& ci);
// The key's text read back (blanks removed, exactly three integers); false, with ci perhaps partly
// set, for anything else.
bool ngTryIniStrToColumnInfo(const String& IniValue, engine::TColumnInfo& ci);

// The output-folder list file appended to Params.ArrListOutputDirectories (trailing delimiters
// removed), then duplicate folders dropped.
void LoadListFiles(engine::TAppParams& Params);
// The data folder made when missing; the list, without duplicates, written as UTF-8 with a byte-order
// mark. Nothing is written when the folder cannot be made.
void SaveListFiles(engine::TAppParams& Params);
// The combo's items become the folders of the active entries, in list order; its text stays.
void LoadComboList(vcl::TCustomComboBox* cb, const engine::TListFileArray& Arr);

} // namespace shell
