// base/BrowseForFolder.h: the plain folder picker.
#pragma once
#include "rtl/System.h"
#include "win/windef.h"

namespace base {

// The desktop's folder dialog (file-system folders only, new style) with Title as prompt, starting
// at InitialFolder when it is given. The chosen folder's path, or empty when cancelled or when the
// chosen item has no path.
rtl::String BrowseForFolder(const rtl::String& Title, const rtl::String& InitialFolder, HWND OwnerWindow);

} // namespace base
