// platform/win/shell32/Items.h: what the shell's files share about item lists (inside the library).
#pragma once
#include "win/shell32/shlobj.h"

#include <QString>

namespace twshell {

// One item: a path, or a special folder without one (csidl >= 0, path empty but for the desktop).
struct Item {
    bool valid = false;
    int csidl = -1;
    QString path;
    QString name; // the display name
};

Item Read(PCIDLIST_ABSOLUTE pidl);
PIDLIST_ABSOLUTE Copy(const Item& item);
PIDLIST_ABSOLUTE ItemOfPath(const QString& path);
PIDLIST_ABSOLUTE ItemOfVirtual(int csidl);
bool IsVirtualFolder(int csidl);
QString VirtualName(int csidl);
QString FolderPath(int csidl);

} // namespace twshell
