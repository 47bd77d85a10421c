// base/BrowseForFolder.cpp
#include "base/BrowseForFolder.h"

#include "win/windows.h"

namespace base {

namespace {

// The folder to select travels with the dialog (not in a variable of the unit), so two pickers
// may be open at once.
int CALLBACK SelectInitial(HWND Window, UINT Msg, LPARAM, LPARAM Data) {
    if (Msg == BFFM_INITIALIZED && Data) SendMessageW(Window, BFFM_SETSELECTIONW, TRUE, Data);
    return 0;
}

} // namespace

rtl::String BrowseForFolder(const rtl::String& Title, const rtl::String& InitialFolder, HWND OwnerWindow) {
    BROWSEINFOW Info{};
    Info.hwndOwner = OwnerWindow;
    Info.lpszTitle = reinterpret_cast<LPCWSTR>(Title.utf16());
    Info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    Info.lpfn = SelectInitial;
    Info.lParam = InitialFolder.isEmpty() ? 0 : reinterpret_cast<LPARAM>(InitialFolder.utf16());
    PIDLIST_ABSOLUTE Chosen = SHBrowseForFolderW(&Info);
    if (!Chosen) return {};
    WCHAR Path[MAX_PATH] = {};
    const bool HasPath = SHGetPathFromIDListW(Chosen, Path);
    IMalloc* Malloc = nullptr;
    if (SUCCEEDED(SHGetMalloc(&Malloc)) && Malloc) Malloc->Free(Chosen);
    return HasPath ? rtl::String::fromUtf16(Path) : rtl::String();
}

} // namespace base
