// vcl/Dialogs.cpp
#include "vcl/Dialogs.h"

#include "vcl/Forms.h"

#include <QFileInfo>

#include <vector>

namespace vcl {

namespace {

LPCWSTR W(const rtl::String& S) { return reinterpret_cast<LPCWSTR>(S.utf16()); }

// "text|pattern|text|pattern" as the common dialog's list of zero-ended strings.
std::u16string FilterList(const rtl::String& Filter) {
    std::u16string Out;
    if (Filter.isEmpty()) return Out;
    for (const QString& Part : Filter.split(u'|')) {
        Out += Part.toStdU16String();
        Out.push_back(u'\0');
    }
    if (Filter.count(u'|') % 2 == 0) Out.push_back(u'\0'); // a text without its pattern
    Out.push_back(u'\0');
    return Out;
}

HWND OwnerWindow(rtl::TComponent* Owner) {
    if (auto* Control = dynamic_cast<TWinControl*>(Owner)) return Control->Handle();
    if (Screen && Screen->ActiveForm()) return Screen->ActiveForm()->Handle();
    return GetActiveWindow();
}

constexpr DWORD OptionFlags[] = {
    OFN_READONLY, OFN_OVERWRITEPROMPT, OFN_HIDEREADONLY, OFN_NOCHANGEDIR, OFN_SHOWHELP, OFN_NOVALIDATE, OFN_ALLOWMULTISELECT,
    OFN_EXTENSIONDIFFERENT, OFN_PATHMUSTEXIST, OFN_FILEMUSTEXIST, OFN_CREATEPROMPT, 0, OFN_NOREADONLYRETURN, 0, 0, 0, 0, 0,
    0, OFN_ENABLESIZING, 0, 0,
};

} // namespace

TOpenDialog::TOpenDialog(rtl::TComponent* AOwner) : rtl::TComponent(AOwner), FFiles(std::make_unique<rtl::TStringList>()) {}

TOpenDialog::~TOpenDialog() = default;

bool TOpenDialog::Execute() { return DoExecute(false); }

bool TSaveDialog::Execute() { return DoExecute(true); }

bool TOpenDialog::DoExecute(bool Save) {
    const std::u16string Filters = FilterList(FFilter);
    // Large enough for many names at once; grown once when the dialog says the choice did not fit.
    std::vector<char16_t> Buffer(FOptions.Contains(ofAllowMultiSelect) ? 65536 : 4096, u'\0');
    const std::u16string Initial = FFileName.toStdU16String();
    std::copy_n(Initial.c_str(), std::min(Initial.size(), Buffer.size() - 1), Buffer.begin());
    OPENFILENAMEW O{};
    O.lStructSize = sizeof O;
    O.hwndOwner = OwnerWindow(Owner());
    O.lpstrFilter = Filters.empty() ? nullptr : Filters.c_str();
    O.nFilterIndex = DWORD(FFilterIndex);
    O.lpstrFile = Buffer.data();
    O.nMaxFile = DWORD(Buffer.size());
    O.lpstrInitialDir = FInitialDir.isEmpty() ? nullptr : W(FInitialDir);
    O.lpstrTitle = FTitle.isEmpty() ? nullptr : W(FTitle);
    O.lpstrDefExt = FDefaultExt.isEmpty() ? nullptr : W(FDefaultExt);
    O.Flags = OFN_EXPLORER;
    for (int I = 0; I <= int(ofForceShowHidden); ++I)
        if (FOptions.Contains(TOpenOption(I))) O.Flags |= OptionFlags[I];
    const BOOL Ok = Save ? GetSaveFileNameW(&O) : GetOpenFileNameW(&O);
    if (!Ok) return false;
    FFiles->Clear();
    const char16_t* P = Buffer.data();
    const rtl::String First = rtl::String::fromUtf16(P);
    P += First.size() + 1;
    // Past a single name the buffer may still hold the tail of a longer initial name: only a
    // multiple choice is a list.
    if (*P == 0 || !FOptions.Contains(ofAllowMultiSelect)) {
        FFiles->Add(First);
    } else { // a folder, then the names
        for (; *P; P += std::char_traits<char16_t>::length(P) + 1)
            FFiles->Add(First + u'/' + rtl::String::fromUtf16(P));
    }
    FFileName = FFiles->Strings(0);
    FFilterIndex = int(O.nFilterIndex);
    return true;
}

void ShowMessage(const rtl::String& Msg) {
    const rtl::String Title = Application ? Application->Title() : rtl::String();
    MessageBoxW(OwnerWindow(nullptr), W(Msg), W(Title), MB_OK);
}

int MessageDlg(const rtl::String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int) {
    static const char16_t* const Captions[] = {u"Warning", u"Error", u"Information", u"Confirm"};
    static const UINT Icons[] = {MB_ICONWARNING, MB_ICONERROR, MB_ICONINFORMATION, MB_ICONQUESTION, 0};
    const rtl::String Caption = DlgType == mtCustom ? (Application ? Application->Title() : rtl::String())
                                                    : rtl::String::fromUtf16(Captions[DlgType]);
    UINT Type = MB_OK;
    const auto Has = [&](TMsgDlgBtn B) { return Buttons.Contains(B); };
    if (Has(mbYes) && Has(mbNo)) Type = Has(mbCancel) ? MB_YESNOCANCEL : MB_YESNO;
    else if (Has(mbAbort) && Has(mbRetry)) Type = MB_ABORTRETRYIGNORE;
    else if (Has(mbRetry) && Has(mbCancel)) Type = MB_RETRYCANCEL;
    else if (Has(mbOK) && Has(mbCancel)) Type = MB_OKCANCEL;
    return MessageBoxW(OwnerWindow(nullptr), W(Msg), W(Caption), Type | Icons[DlgType]);
}

} // namespace vcl
