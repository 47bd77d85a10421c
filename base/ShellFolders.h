// base/ShellFolders.h: a configurable folder picker with special-folder roots.
#pragma once
#include "rtl/Classes.h"
#include "rtl/Event.h"
#include "rtl/System.h"
#include "win/windows.h"

namespace base {

using rtl::String;

class EKwShellFolders : public rtl::Exception {
public:
    using rtl::Exception::Exception;
    String ClassName() const override { return QStringLiteral("EKwShellFolders"); }
};

enum TKwBrowseDlgOption {
    boShowHelp,          // a Help button on the old-style dialog
    boContextHelp,       // keep the caption's ? button and the system's context help
    boStatusText,        // a status line on the old-style dialog
    boDirsOnly,          // only file-system folders can be chosen
    boNewDlgStyle,       // the resizable new-style dialog
    boHideMakeFolderBtn, // no New Folder button on the new-style dialog
    boEditBox,           // an edit box for typing a folder
    boHint               // a usage hint on the new-style dialog without an edit box
};
using TKwBrowseDlgOptions = rtl::TSet<TKwBrowseDlgOption>;

enum TKwHelpType { htKeyword, htContext };

using TKwBrowseSelChangeEvent = rtl::TEvent<void(rtl::TObject* Sender, const String& FolderName,
                                                 const String& DisplayName, String& StatusText, bool& OKEnabled)>;
using TKwBrowseSelChangeEventEx =
    rtl::TEvent<void(rtl::TObject* Sender, PCIDLIST_ABSOLUTE ItemList, String& StatusText, bool& OKEnabled)>;
using TKwBrowseValidationFailedEvent = rtl::TEvent<void(rtl::TObject* Sender, const String& EditText, bool& CanClose)>;
using TKwBrowseHelpEvent = rtl::TEvent<void(rtl::TObject* Sender, bool& Handled)>;

// The control numbers of the shell's folder dialog this component works with.
constexpr int KwBrowseHelpButtonID = 4096;
constexpr int KwBrowseNewFolderButtonID = 14150;

class TKwBrowseDialog : public rtl::TComponent {
public:
    explicit TKwBrowseDialog(rtl::TComponent* AOwner);
    ~TKwBrowseDialog() override;

    // Runs the dialog; true with FolderName and DisplayName set when a folder was chosen.
    bool Execute();

    const String& FolderName() const { return fFolderName; }
    void SetFolderName(const String& Value) { fFolderName = Value; }
    const String& Headline() const { return fHeadline; }
    void SetHeadline(const String& Value) { fHeadline = Value; }
    const String& DisplayName() const { return fDisplayName; }
    int RootFolderID() const { return fRootFolderID; }
    // Raises EKwShellFolders "Invalid special folder ID" for an identifier the shell does not list.
    void SetRootFolderID(int Value);
    const String& Title() const { return fTitle; }
    void SetTitle(const String& Value) { fTitle = Value; }
    TKwBrowseDlgOptions Options() const { return fOptions; }
    void SetOptions(TKwBrowseDlgOptions Value) { fOptions = Value; }
    int HelpContext() const { return fHelpContext; }
    void SetHelpContext(int Value) { fHelpContext = Value; }
    TKwHelpType HelpType() const { return fHelpType; }
    void SetHelpType(TKwHelpType Value) { fHelpType = Value; }
    const String& HelpKeyword() const { return fHelpKeyword; }
    void SetHelpKeyword(const String& Value) { fHelpKeyword = Value; }
    // The dialog's window while it is open.
    HWND Handle() const { return fData.Window; }

    rtl::TNotifyEvent OnInitialise;
    TKwBrowseSelChangeEvent OnSelChange;
    TKwBrowseSelChangeEventEx OnSelChangeEx;
    rtl::TNotifyEvent OnClose;
    TKwBrowseValidationFailedEvent OnValidationFailed;
    TKwBrowseHelpEvent OnHelp;

protected:
    // The window procedure of the subclassed dialog.
    virtual LRESULT BrowseWndProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam);

private:
    static int CALLBACK Callback(HWND Window, UINT Msg, LPARAM LParam, LPARAM Data);
    static LRESULT CALLBACK SubclassProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam);
    void Initialise();
    void SelChanged(PCIDLIST_ABSOLUTE ItemList);
    void CreateHelpButton();
    bool HelpAvailable() const;
    void ShowHelp();
    bool NewStyle() const { return fOptions.Contains(boNewDlgStyle); }

    String fFolderName;
    String fHeadline;
    String fDisplayName;
    int fRootFolderID = 0;
    String fTitle;
    TKwBrowseDlgOptions fOptions{boContextHelp, boDirsOnly};
    int fHelpContext = 0;
    TKwHelpType fHelpType = htContext;
    String fHelpKeyword;
    struct {
        HWND Window = nullptr;
        TKwBrowseDialog* Self = nullptr;
    } fData;
    WNDPROC fOldBrowseWndProc = nullptr;
    WNDPROC fNewBrowseWndProc = nullptr;
    PIDLIST_ABSOLUTE fRoot = nullptr; // while Execute runs
};

// The item list of a special folder (SHGetFolderLocation where shell32 exports it, else
// SHGetSpecialFolderLocation); null on failure.
PIDLIST_ABSOLUTE SpecialFolderItemList(int FolderID);
String ItemListPath(PCIDLIST_ABSOLUTE ItemList);
String ItemListDisplayName(PCIDLIST_ABSOLUTE ItemList);

} // namespace base
