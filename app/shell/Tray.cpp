// The main window's tray icon and its menu, stay-on-top, and the actions that open the program's pages.
#include "app/engine/ProcsControls.h"
#include "app/shell/AppStrings.h"
#include "app/shell/FormAbout.h"
#include "app/shell/FormCheckUpdate.h"
#include "app/shell/FormCmdLine.h"
#include "app/shell/FormErrors.h"
#include "app/shell/FormFileInfo.h"
#include "app/shell/FormMain.h"
#include "app/shell/Links.h"
#include "vcl/Forms.h"

namespace shell {

namespace {

const struct {
    const char16_t* Path;
    const char16_t* Caption;
} LinkTable[lnkCount] = {
    {u"/products/tunewright/guide/", u"Online guide"},
    {u"/products/tunewright/pl/quick-start/", u"Quick start (Polish)"},
    {u"/products/tunewright/", u"Home page"},
    {u"/products/tunewright/download/", u"Download"},
    {u"/products/tag%20library/", u"Tag library"},
};

} // namespace

String LinkAddress(TLink Link) { return WebSite + String::fromUtf16(LinkTable[Link].Path); }
String LinkCaption(TLink Link) { return String::fromUtf16(LinkTable[Link].Caption); }

void TFormMain::BuildTray() {
    using vcl::scCtrl;
    using vcl::scShift;
    actMinimizeToTray = NewAction(u"Minimize to tray", scCtrl | scShift | 'M', &TFormMain::actMinimizeToTrayExecute);
    actShowHideMainWindow = NewAction(u"Show/hide main window", 0, &TFormMain::actShowHideMainWindowExecute);
    actStayOnTop = NewAction(u"Stay on top", 0, &TFormMain::actStayOnTopExecute);
    actHelp = NewAction(u"Help", VK_F1, &TFormMain::actHelpExecute);
    actGoToHomePage = NewAction(u"Home page", 0, &TFormMain::actGoToHomePageExecute);
    actShowOptions = NewAction(u"Options...", VK_F12, &TFormMain::actShowOptionsExecute);

    popTi = new vcl::TPopupMenu(this);
    auto item = [this](vcl::TAction* Action) {
        auto* mi = new vcl::TMenuItem(this);
        if (Action)
            mi->SetAction(Action);
        else
            mi->SetCaption(QStringLiteral("-"));
        popTi->Items()->Add(mi);
    };
    item(actShowHideMainWindow);
    item(nullptr);
    item(actExit);
    popTi->OnPopup = rtl::TNotifyEvent(this, &TFormMain::popTiPopup);

    ti = new vcl::TTrayIcon(this);
    ti->SetHint(String::fromUtf16(MainCaption));
    ti->SetPopupMenu(popTi);
    ti->OnClick = rtl::TNotifyEvent(this, &TFormMain::tiClick);
}

void TFormMain::actMinimizeToTrayExecute(rtl::TObject*) {
    bool tray;
    if (TrayAvailable) {
        tray = TrayAvailable();
    } else {
        ti->SetIcon(Icon());
        ti->SetVisible(true);
        tray = ti->Shown();
        if (!tray) ti->SetVisible(false);
    }
    // Without a notification area a hidden window could not come back: it is minimised instead.
    if (!tray) {
        SetWindowState(vcl::wsMinimized);
        return;
    }
    if (Visible()) actShowHideMainWindow->Execute();
}

void TFormMain::actShowHideMainWindowExecute(rtl::TObject*) {
    if (Visible()) {
        for (vcl::TCustomForm* f : {OptionsForm, static_cast<vcl::TCustomForm*>(this),
                                    static_cast<vcl::TCustomForm*>(FormProgress), static_cast<vcl::TCustomForm*>(FormAbout)})
            if (f) f->Hide();
    } else {
        Show();
        if (WindowState() == vcl::wsMinimized) SetWindowState(vcl::wsNormal);
        if (bConverting && FormProgress) FormProgress->Show();
    }
    ti->SetIcon(Icon());
    ti->SetVisible(!Visible());
    InitControls();
}

void TFormMain::tiClick(rtl::TObject*) {
    if (!Visible()) actShowHideMainWindow->Execute();
}

void TFormMain::popTiPopup(rtl::TObject*) { InitControls(); }

QList<vcl::TCustomForm*> TFormMain::SecondaryForms() const {
    QList<vcl::TCustomForm*> out;
    for (vcl::TCustomForm* f : {OptionsForm, static_cast<vcl::TCustomForm*>(FormCmdLine),
                                static_cast<vcl::TCustomForm*>(FormErrors), static_cast<vcl::TCustomForm*>(FormAbout),
                                static_cast<vcl::TCustomForm*>(FormFileInfo), static_cast<vcl::TCustomForm*>(FormProgress),
                                static_cast<vcl::TCustomForm*>(FormToolsInfo), static_cast<vcl::TCustomForm*>(FormCheckUpdate)})
        if (f) out << f;
    return out;
}

void TFormMain::actStayOnTopExecute(rtl::TObject*) {
    if (bStayOnTop) {
        SetWindowPos(Handle(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        bStayOnTop = false;
        SetFormStyle(vcl::fsNormal);
    } else {
        SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        bStayOnTop = true;
    }
    // The other windows stay on top either way, so they never fall behind the main window.
    for (vcl::TCustomForm* f : SecondaryForms()) {
        f->SetFormStyle(vcl::fsNormal);
        f->SetFormStyle(vcl::fsStayOnTop);
    }
    actStayOnTop->SetChecked(bStayOnTop);
}

void TFormMain::actHelpExecute(rtl::TObject*) {
    const bool polish = engine::AppParams.LanguageIni.toUpper().contains(QStringLiteral("POLISH"));
    OpenLink(polish ? lnkQuickStartPolish : lnkGuide);
}

void TFormMain::actGoToHomePageExecute(rtl::TObject*) { OpenLink(lnkHomePage); }

void TFormMain::btnTagLibraryClick(rtl::TObject*) { OpenLink(lnkTagLibrary); }

void TFormMain::OpenLink(int Index) {
    if (Index < 0 || Index >= lnkCount) return;
    engine::ShellOpen(LinkAddress(TLink(Index)), Handle());
}

void TFormMain::actShowOptionsExecute(rtl::TObject*) {
    if (OptionsForm) OptionsForm->Show();
}

} // namespace shell
