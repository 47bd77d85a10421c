// The runner and the one answering handler of the common dialogs.
#include "win/shell32/shlobj.h"
#include "win/user32/Backend.h"
#include "win/user32/winwindow.h"

#include <cstring>
#include <vector>

namespace {

TwCommonDialogProc handler = nullptr;

// Posted once the dialog is set up, so that the handler runs inside the modal loop.
constexpr UINT AskHandler = WM_APP + 0x3F00;
constexpr int MaxRounds = 4;

struct Run {
    UINT kind;
    DLGPROC proc;
    LPARAM param;
    int rounds = 0;
};

INT_PTR CALLBACK RunnerProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    auto* run = reinterpret_cast<Run*>(GetPropW(dlg, u"TwCommonDialog"));
    if (msg == WM_INITDIALOG) {
        run = reinterpret_cast<Run*>(lp);
        SetPropW(dlg, u"TwCommonDialog", run);
        const INT_PTR r = run->proc(dlg, msg, wp, run->param);
        if (handler) PostMessageW(dlg, AskHandler, 0, 0);
        return r;
    }
    if (!run) return FALSE;
    if (msg == AskHandler) {
        if (!handler || ++run->rounds > MaxRounds) {
            EndDialog(dlg, IDCANCEL); // a handler that never lets the dialog close must not hang the run
            return TRUE;
        }
        const int id = handler(dlg, run->kind);
        SendMessageW(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dlg, id)));
        if (IsWindow(dlg)) PostMessageW(dlg, AskHandler, 0, 0); // still open: a refused answer
        return TRUE;
    }
    if (msg == WM_DESTROY) RemovePropW(dlg, u"TwCommonDialog");
    return run->proc(dlg, msg, wp, lp);
}

} // namespace

extern "C" {

TwCommonDialogProc WINAPI TwSetCommonDialogHandler(TwCommonDialogProc proc) {
    const TwCommonDialogProc old = handler;
    handler = proc;
    return old;
}

TwCommonDialogProc WINAPI TwCommonDialogHandler(void) { return handler; }

INT_PTR WINAPI TwRunCommonDialog(UINT kind, HWND owner, LPCWSTR caption, DLGPROC proc, LPARAM param) {
    if (!handler && !twuser::CurrentBackend()) return IDCANCEL;
    std::vector<WORD> t(sizeof(DLGTEMPLATE) / 2, 0);
    DLGTEMPLATE head{};
    head.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_NOIDLEMSG;
    head.dwExtendedStyle = WS_EX_CONTEXTHELP;
    std::memcpy(t.data(), &head, sizeof head);
    t.push_back(0); // no menu
    t.push_back(0); // the dialog class
    for (const char16_t* c = caption ? caption : u""; *c; ++c) t.push_back(WORD(*c));
    t.push_back(0);
    Run run{kind, proc, param};
    const INT_PTR r = DialogBoxIndirectParamW(nullptr, reinterpret_cast<const DLGTEMPLATE*>(t.data()), owner, RunnerProc,
                                              reinterpret_cast<LPARAM>(&run));
    return r == IDOK ? IDOK : IDCANCEL;
}

} // extern "C"
