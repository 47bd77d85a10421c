// base/WinFileSystem.cpp
#include "base/WinFileSystem.h"

#include <QStandardPaths>

#include "rtl/Files.h"

namespace base {

rtl::String GetSpecialFolderPath(int FolderID, const rtl::String& Default) {
    QStandardPaths::StandardLocation Location;
    switch (FolderID) {
    case CSIDL_PERSONAL:
        Location = QStandardPaths::DocumentsLocation;
        break;
    case CSIDL_MYMUSIC:
        Location = QStandardPaths::MusicLocation;
        break;
    case CSIDL_DESKTOPDIRECTORY:
        Location = QStandardPaths::DesktopLocation;
        break;
    default:
        return Default;
    }
    const rtl::String Path = QStandardPaths::writableLocation(Location);
    return Path.isEmpty() ? Default : Path;
}

rtl::String GetDesktopDir() {
    return GetSpecialFolderPath(CSIDL_DESKTOPDIRECTORY, rtl::String());
}

bool DirExists(const rtl::String& Path) {
    return rtl::DirectoryExists(Path); // a link counts by its target, as the attribute test did
}

} // namespace base
