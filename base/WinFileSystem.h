// base/WinFileSystem.h: special folders and the folder test.
#pragma once
#include "rtl/System.h"

namespace base {

// Shell folder identifiers the program asks for.
constexpr int CSIDL_PERSONAL = 5;
constexpr int CSIDL_MYMUSIC = 13;
constexpr int CSIDL_DESKTOPDIRECTORY = 16;

// The user's folder for FolderID (the XDG user folders), or Default when there is none.
rtl::String GetSpecialFolderPath(int FolderID, const rtl::String& Default);
rtl::String GetDesktopDir();
bool DirExists(const rtl::String& Path);

} // namespace base
