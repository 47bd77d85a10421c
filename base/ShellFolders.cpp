// base/ShellFolders.cpp
#include "base/ShellFolders.h"

#include "vcl/Controls.h"
#include "vcl/Forms.h"

#include <algorithm>

namespace base {

namespace {

LPCWSTR W(const String& S) { return reinterpret_cast<LPCWSTR>(S.utf16()); }

constexpr int AcceptedFolders[] = {
    CSIDL_ADMINTOOLS, CSIDL_ALTSTARTUP, CSIDL_APPDATA, CSIDL_BITBUCKET, CSIDL_CDBURN_AREA, CSIDL_COMMON_ADMINTOOLS,
    CSIDL_COMMON_ALTSTARTUP, CSIDL_COMMON_APPDATA, CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_COMMON_DOCUMENTS,
    CSIDL_COMMON_FAVORITES, CSIDL_COMMON_MUSIC, CSIDL_COMMON_OEM_LINKS, CSIDL_COMMON_PICTURES, CSIDL_COMMON_PROGRAMS,
    CSIDL_COMMON_STARTMENU, CSIDL_COMMON_STARTUP, CSIDL_COMMON_TEMPLATES, CSIDL_COMMON_VIDEO, CSIDL_COMPUTERSNEARME,
    CSIDL_CONNECTIONS, CSIDL_CONTROLS, CSIDL_COOKIES, CSIDL_DESKTOP, CSIDL_DESKTOPDIRECTORY, CSIDL_DRIVES,
    CSIDL_FAVORITES, CSIDL_FONTS, CSIDL_HISTORY, CSIDL_INTERNET, CSIDL_INTERNET_CACHE, CSIDL_LOCAL_APPDATA,
    CSIDL_MYDOCUMENTS, CSIDL_MYMUSIC, CSIDL_MYPICTURES, CSIDL_MYVIDEO, CSIDL_NETHOOD, CSIDL_NETWORK, CSIDL_PERSONAL,
    CSIDL_PRINTERS, CSIDL_PRINTHOOD, CSIDL_PROFILE, CSIDL_PROFILES, CSIDL_PROGRAM_FILES, CSIDL_PROGRAM_FILESX86,
    CSIDL_PROGRAM_FILES_COMMON, CSIDL_PROGRAM_FILES_COMMONX86, CSIDL_PROGRAMS, CSIDL_RECENT, CSIDL_RESOURCES,
    CSIDL_RESOURCES_LOCALIZED, CSIDL_SENDTO, CSIDL_STARTMENU, CSIDL_STARTUP, CSIDL_SYSTEM, CSIDL_SYSTEMX86,
    CSIDL_TEMPLATES, CSIDL_WINDOWS,
};

using TSHGetFolderLocation = HRESULT (*)(HWND, int, HANDLE, DWORD, PIDLIST_ABSOLUTE*);

// Looked up by name once: a shell without it takes the older call.
TSHGetFolderLocation FolderLocation() {
    static const TSHGetFolderLocation Proc = [] {
        HMODULE Shell = LoadLibraryW(u"shell32.dll");
        return Shell ? reinterpret_cast<TSHGetFolderLocation>(reinterpret_cast<void*>(GetProcAddress(Shell, "SHGetFolderLocation")))
                     : nullptr;
    }();
    return Proc;
}

void FreeItemList(PIDLIST_ABSOLUTE ItemList) {
    IMalloc* Malloc = nullptr;
    if (ItemList && SUCCEEDED(SHGetMalloc(&Malloc)) && Malloc) Malloc->Free(ItemList);
}

} // namespace

PIDLIST_ABSOLUTE SpecialFolderItemList(int FolderID) {
    PIDLIST_ABSOLUTE Result = nullptr;
    const HRESULT R = FolderLocation() ? FolderLocation()(nullptr, FolderID, nullptr, 0, &Result)
                                       : SHGetSpecialFolderLocation(nullptr, FolderID, &Result);
    return R < 0 ? nullptr : Result;
}

String ItemListPath(PCIDLIST_ABSOLUTE ItemList) {
    WCHAR Path[MAX_PATH] = {};
    return SHGetPathFromIDListW(ItemList, Path) ? String::fromUtf16(Path) : String();
}

String ItemListDisplayName(PCIDLIST_ABSOLUTE ItemList) {
    SHFILEINFOW Info{};
    if (!SHGetFileInfoW(reinterpret_cast<LPCWSTR>(ItemList), 0, &Info, sizeof Info, SHGFI_PIDL | SHGFI_DISPLAYNAME))
        return {};
    return String::fromUtf16(Info.szDisplayName);
}

TKwBrowseDialog::TKwBrowseDialog(rtl::TComponent* AOwner) : rtl::TComponent(AOwner) {
    fData.Self = this;
    if (!ComponentState().Contains(rtl::csDesigning)) fNewBrowseWndProc = &TKwBrowseDialog::SubclassProc;
}

TKwBrowseDialog::~TKwBrowseDialog() { fNewBrowseWndProc = nullptr; }

void TKwBrowseDialog::SetRootFolderID(int Value) {
    if (Value == fRootFolderID) return;
    if (std::find(std::begin(AcceptedFolders), std::end(AcceptedFolders), Value) == std::end(AcceptedFolders))
        throw EKwShellFolders(QStringLiteral("Invalid special folder ID"));
    fRootFolderID = Value;
}

bool TKwBrowseDialog::Execute() {
    fRoot = nullptr;
    if (fRootFolderID != 0) {
        fRoot = SpecialFolderItemList(fRootFolderID);
        if (!fRoot) throw EKwShellFolders(QStringLiteral("Root folder not supported on this system"));
    }
    struct Release {
        PIDLIST_ABSOLUTE& Root;
        ~Release() {
            FreeItemList(Root);
            Root = nullptr;
        }
    } Guard{fRoot};

    BROWSEINFOW Info{};
    WCHAR Display[MAX_PATH] = {};
    if (auto* Owner = dynamic_cast<vcl::TWinControl*>(this->Owner())) Info.hwndOwner = Owner->Handle();
    Info.pidlRoot = fRoot;
    Info.pszDisplayName = Display;
    Info.lpszTitle = W(fHeadline);
    if (fOptions.Contains(boDirsOnly)) Info.ulFlags |= BIF_RETURNONLYFSDIRS;
    if (NewStyle()) Info.ulFlags |= BIF_NEWDIALOGSTYLE;
    if (fOptions.Contains(boEditBox)) Info.ulFlags |= BIF_EDITBOX | BIF_VALIDATE;
    if (NewStyle() && fOptions.Contains(boHint) && !fOptions.Contains(boEditBox)) Info.ulFlags |= BIF_UAHINT;
    if (!NewStyle() && fOptions.Contains(boStatusText)) Info.ulFlags |= BIF_STATUSTEXT;
    Info.lpfn = &TKwBrowseDialog::Callback;
    Info.lParam = reinterpret_cast<LPARAM>(&fData);

    PIDLIST_ABSOLUTE Chosen = SHBrowseForFolderW(&Info);
    fData.Window = nullptr;
    if (!Chosen) return false;
    fFolderName = ItemListPath(Chosen);
    fDisplayName = String::fromUtf16(Display);
    FreeItemList(Chosen);
    return true;
}

int CALLBACK TKwBrowseDialog::Callback(HWND Window, UINT Msg, LPARAM LParam, LPARAM Data) {
    auto* Self = reinterpret_cast<decltype(fData)*>(Data)->Self;
    Self->fData.Window = Window;
    switch (Msg) {
    case BFFM_INITIALIZED: Self->Initialise(); break;
    case BFFM_SELCHANGED: Self->SelChanged(reinterpret_cast<PCIDLIST_ABSOLUTE>(LParam)); break;
    case BFFM_VALIDATEFAILEDW: {
        bool CanClose = true;
        if (Self->OnValidationFailed) Self->OnValidationFailed(Self, String::fromUtf16(reinterpret_cast<LPCWSTR>(LParam)), CanClose);
        return CanClose ? 0 : 1;
    }
    }
    return 0;
}

void TKwBrowseDialog::Initialise() {
    const HWND Window = fData.Window;
    if (fNewBrowseWndProc) {
        SetPropW(Window, u"KwBrowseDialog", reinterpret_cast<HANDLE>(this));
        fOldBrowseWndProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(Window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(fNewBrowseWndProc)));
    }
    if (!fFolderName.isEmpty()) SendMessageW(Window, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(W(fFolderName)));
    if (!fTitle.isEmpty()) SetWindowTextW(Window, W(fTitle));
    if (fOptions.Contains(boShowHelp) && !NewStyle()) CreateHelpButton();
    if (fOptions.Contains(boHideMakeFolderBtn) && NewStyle())
        if (HWND Button = GetDlgItem(Window, KwBrowseNewFolderButtonID)) ShowWindow(Button, SW_HIDE);
    if (!fOptions.Contains(boContextHelp))
        SetWindowLongW(Window, GWL_EXSTYLE, GetWindowLongW(Window, GWL_EXSTYLE) & ~LONG(WS_EX_CONTEXTHELP));
    if (OnInitialise) OnInitialise(this);
    if (fRoot) SelChanged(fRoot);
}

void TKwBrowseDialog::CreateHelpButton() {
    const HWND Window = fData.Window;
    const HWND Ok = GetDlgItem(Window, IDOK), Cancel = GetDlgItem(Window, IDCANCEL);
    if (!Ok || !Cancel) return;
    RECT OkRect, CancelRect;
    GetWindowRect(Ok, &OkRect);
    GetWindowRect(Cancel, &CancelRect);
    MapWindowPoints(nullptr, Window, reinterpret_cast<LPPOINT>(&OkRect), 2);
    MapWindowPoints(nullptr, Window, reinterpret_cast<LPPOINT>(&CancelRect), 2);
    // OK moves left by the distance between the two, Cancel to OK's place; Help takes Cancel's.
    SetWindowPos(Ok, nullptr, 2 * OkRect.left - CancelRect.left, OkRect.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    SetWindowPos(Cancel, nullptr, OkRect.left, OkRect.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    const HWND Help = CreateWindowExW(0, u"Button", u"&Help", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                                      CancelRect.left, OkRect.top, OkRect.right - OkRect.left, OkRect.bottom - OkRect.top,
                                      Window, reinterpret_cast<HMENU>(INT_PTR(KwBrowseHelpButtonID)), nullptr, nullptr);
    SendMessageW(Help, WM_SETFONT, SendMessageW(Ok, WM_GETFONT, 0, 0), FALSE);
    EnableWindow(Help, HelpAvailable());
}

void TKwBrowseDialog::SelChanged(PCIDLIST_ABSOLUTE ItemList) {
    const String Path = ItemListPath(ItemList);
    String Display = ItemListDisplayName(ItemList);
    if (Display.isEmpty()) Display = Path;
    if (Display == Path) Display = Path.section(u'/', -1, -1, QString::SectionSkipEmpty);
    const HWND Ok = GetDlgItem(fData.Window, IDOK);
    const bool OkState = Ok && IsWindowEnabled(Ok);
    bool OKEnabled = OkState && (!fOptions.Contains(boDirsOnly) || !Path.isEmpty());
    String StatusText;
    if (OnSelChange) OnSelChange(this, Path, Display, StatusText, OKEnabled);
    if (OnSelChangeEx) OnSelChangeEx(this, ItemList, StatusText, OKEnabled);
    if (OKEnabled != OkState) SendMessageW(fData.Window, BFFM_ENABLEOK, 0, OKEnabled);
    if (fOptions.Contains(boStatusText) && !NewStyle())
        SendMessageW(fData.Window, BFFM_SETSTATUSTEXTW, 0, reinterpret_cast<LPARAM>(W(StatusText)));
}

bool TKwBrowseDialog::HelpAvailable() const {
    return fHelpType == htKeyword ? !fHelpKeyword.isEmpty() : fHelpContext != 0;
}

void TKwBrowseDialog::ShowHelp() {
    if (!HelpAvailable()) return;
    try {
        bool Handled = false;
        if (OnHelp) OnHelp(this, Handled);
        if (!Handled && vcl::Application) {
            if (fHelpType == htKeyword) vcl::Application->HelpKeyword(fHelpKeyword);
            else vcl::Application->HelpContext(fHelpContext);
        }
    } catch (...) {
        if (vcl::Application) vcl::Application->HandleException(this);
    }
}

LRESULT CALLBACK TKwBrowseDialog::SubclassProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
    auto* Self = reinterpret_cast<TKwBrowseDialog*>(GetPropW(Window, u"KwBrowseDialog"));
    if (!Self) return DefWindowProcW(Window, Msg, WParam, LParam);
    return Self->BrowseWndProc(Window, Msg, WParam, LParam);
}

LRESULT TKwBrowseDialog::BrowseWndProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
    const WNDPROC Old = fOldBrowseWndProc;
    switch (Msg) {
    case WM_DESTROY:
        if (OnClose) OnClose(this);
        RemovePropW(Window, u"KwBrowseDialog");
        break;
    case WM_HELP:
        if (!fOptions.Contains(boContextHelp)) {
            ShowHelp();
            return 1;
        }
        break;
    case WM_COMMAND:
        if (LOWORD(WParam) == KwBrowseHelpButtonID && HIWORD(WParam) == BN_CLICKED && fOptions.Contains(boShowHelp) &&
            !NewStyle()) {
            ShowHelp();
            return 0;
        }
        break;
    }
    return CallWindowProcW(Old, Window, Msg, WParam, LParam);
}

} // namespace base
