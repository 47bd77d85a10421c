// base/Shortcuts.h: the program's shortcut on the desktop: a desktop entry (name.desktop) in the
// folder the shell's "Shell Folders" key names (the XDG desktop folder for "Desktop").
#pragma once
#include "rtl/System.h"

namespace base {

// True when the folder named by FolderValueName holds the link; false when the key cannot be opened.
// A link name ending in ".lnk" stands for the same name ending in ".desktop".
bool ShortcutExists(const rtl::String& FolderValueName, const rtl::String& LinkFileName);
// Writes an executable desktop entry that starts TargetPath in its own folder, creating the folder
// first when needed. Never raises and shows nothing: a failure leaves no shortcut (and no half one).
void CreateShortcut(const rtl::String& TargetPath, const rtl::String& FolderValueName, const rtl::String& LinkFileName,
                    const rtl::String& Description);
// The text of the desktop entry CreateShortcut writes.
rtl::String DesktopEntryText(const rtl::String& Name, const rtl::String& TargetPath, const rtl::String& Description);

} // namespace base
