// win/user32/Dialog.h: the dialog manager's entry points for the rest of user32 (message boxes).
#pragma once

#include "win/user32/winctrl.h"

namespace twuser {

// Builds a dialog from a template; `modal` marks it for EndDialog (the caller runs the loop).
HWND CreateDialogFromTemplate(HINSTANCE inst, const DLGTEMPLATE* t, HWND parent, DLGPROC proc, LPARAM param,
                              bool modal);
// Shows the dialog and runs its modal loop until EndDialog; destroys it and returns the result.
// `owner` (may be null) was disabled by the caller and is enabled again.
INT_PTR RunModalDialog(HWND dlg, HWND owner);

} // namespace twuser
