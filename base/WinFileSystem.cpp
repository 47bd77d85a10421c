// base/WinFileSystem.cpp
#include "base/WinFileSystem.h"

#include <string>

#include "win/kernel32/userdirs.h"

#include "rtl/Files.h"

namespace base {

rtl::String GetSpecialFolderPath(int FolderID, const rtl::String& Default) {
    // The shell's own mapping onto the XDG user folders, without its 260-character buffer.
    std::u16string Path(1024, u'\0');
    DWORD N = TwUserFolderPath(FolderID, Path.data(), DWORD(Path.size()));
    if (N > Path.size()) {
        Path.resize(N);
        N = TwUserFolderPath(FolderID, Path.data(), DWORD(Path.size()));
    }
    if (N == 0 || N >= Path.size()) return Default;
    Path.resize(N);
    return rtl::String::fromStdU16String(Path);
}

rtl::String GetDesktopDir() {
    return GetSpecialFolderPath(CSIDL_DESKTOPDIRECTORY, rtl::String());
}

bool DirExists(const rtl::String& Path) {
    return rtl::DirectoryExists(Path); // a link counts by its target, as the attribute test did
}

} // namespace base
