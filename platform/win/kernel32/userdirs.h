// win/kernel32/userdirs.h: the one mapping of the shell's special folders onto the XDG user folders,
// shared by the shell's folder functions, the key store's "Shell Folders" and the base library.
#pragma once

#include "win/windef.h"

extern "C" {

// The folder for a shell folder identifier (CSIDL_* without flags), as xdg-user-dir answers: the
// value in $XDG_CONFIG_HOME/user-dirs.dirs (else ~/.config/user-dirs.dirs), else the XDG_*_DIR
// variable, else $HOME/Desktop for the desktop and $HOME for the other user folders. Application data
// follow the XDG base folders, the temporary folder $TMPDIR or /tmp. Writes the path and returns its
// length; returns the size needed (terminator included) when the buffer is too small, and 0 (with
// ERROR_FILE_NOT_FOUND) for a folder with no place here (the recycle bin, printers, the network...).
DWORD WINAPI TwUserFolderPath(int csidl, LPWSTR lpBuffer, DWORD nSize);

} // extern "C"
