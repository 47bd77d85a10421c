// vcl/Dialogs.h: the class library's open and save dialogs over the common dialogs, and its message
// dialogs over MessageBoxW (both answered by the scriptable handlers in tests).
#pragma once
#include "rtl/Classes.h"
#include "rtl/System.h"
#include "vcl/Controls.h"
#include "win/comdlg32/commdlg.h"

#include <memory>

namespace vcl {

enum TOpenOption {
    ofReadOnly, ofOverwritePrompt, ofHideReadOnly, ofNoChangeDir, ofShowHelp, ofNoValidate, ofAllowMultiSelect,
    ofExtensionDifferent, ofPathMustExist, ofFileMustExist, ofCreatePrompt, ofShareAware, ofNoReadOnlyReturn,
    ofNoTestFileCreate, ofNoNetworkButton, ofNoLongNames, ofOldStyleDialog, ofNoDereferenceLinks, ofEnableIncludeNotify,
    ofEnableSizing, ofDontAddToRecent, ofForceShowHidden
};
using TOpenOptions = rtl::TSet<TOpenOption>;

class TOpenDialog : public rtl::TComponent {
public:
    explicit TOpenDialog(rtl::TComponent* AOwner);
    ~TOpenDialog() override;

    // True when the user chose; FileName, Files and FilterIndex then hold the choice.
    virtual bool Execute();

    const rtl::String& FileName() const { return FFileName; }
    void SetFileName(const rtl::String& Value) { FFileName = Value; }
    // Every chosen file (one, or several with ofAllowMultiSelect), full paths.
    rtl::TStrings* Files() const { return FFiles.get(); }
    // "text|pattern;pattern|text|pattern".
    const rtl::String& Filter() const { return FFilter; }
    void SetFilter(const rtl::String& Value) { FFilter = Value; }
    int FilterIndex() const { return FFilterIndex; }
    void SetFilterIndex(int Value) { FFilterIndex = Value; }
    const rtl::String& DefaultExt() const { return FDefaultExt; }
    void SetDefaultExt(const rtl::String& Value) { FDefaultExt = Value; }
    const rtl::String& InitialDir() const { return FInitialDir; }
    void SetInitialDir(const rtl::String& Value) { FInitialDir = Value; }
    const rtl::String& Title() const { return FTitle; }
    void SetTitle(const rtl::String& Value) { FTitle = Value; }
    TOpenOptions Options() const { return FOptions; }
    void SetOptions(TOpenOptions Value) { FOptions = Value; }

protected:
    bool DoExecute(bool Save);

private:
    rtl::String FFileName, FFilter, FDefaultExt, FInitialDir, FTitle;
    int FFilterIndex = 1;
    TOpenOptions FOptions{ofHideReadOnly, ofEnableSizing};
    std::unique_ptr<rtl::TStringList> FFiles;
};

class TSaveDialog : public TOpenDialog {
public:
    using TOpenDialog::TOpenDialog;
    bool Execute() override;
};

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp, mbClose };
using TMsgDlgButtons = rtl::TSet<TMsgDlgBtn>;

// A box with the application's title and an OK button.
void ShowMessage(const rtl::String& Msg);
// A box with the type's caption ("Warning", "Error", "Information", "Confirm"; the application's
// title for mtCustom) and icon; the buttons come as the nearest set the system's box has (Yes/No,
// Yes/No/Cancel, OK/Cancel, Abort/Retry/Ignore, Retry/Cancel, else OK). The modal result of the button.
int MessageDlg(const rtl::String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx);

} // namespace vcl
