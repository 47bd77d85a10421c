// The tunewright executable.
#include <QLocale>
#include <QtGlobal>

#include <cstdio>

#include "app/engine/ConRun.h"
#include "app/engine/FormProgress.h"
#include "app/shell/CmdLine.h"
#include "app/shell/FormAbout.h"
#include "app/shell/FormCheckUpdate.h"
#include "app/shell/FormCmdLine.h"
#include "app/shell/FormDirList.h"
#include "app/shell/FormErrors.h"
#include "app/shell/FormFileInfo.h"
#include "app/shell/FormMain.h"
#include "app/shell/FormOptions.h"
#include "qt/QtBackend.h"
#include "rtl/Files.h"
#include "rtl/SysUtils.h"
#include "styling/hooks/Styling.h"

namespace {

// Qt's own notices (no runtime folder, a platform without window opacity…) are nothing the user can act
// on; standard error carries the program's messages only.
void QuietQt(QtMsgType Type, const QMessageLogContext&, const QString& Text) {
    if (Type == QtCriticalMsg || Type == QtFatalMsg) std::fprintf(stderr, "%s\n", qUtf8Printable(Text));
}

bool HasDisplay() { return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"); }

} // namespace

int main(int argc, char** argv) {
    // The system-window styling is the first thing started and the last ended.
    styling::Initialize();
    rtl::InitParams(argc, argv);
    rtl::SetDefaultFormatLocale(QLocale::system());
    engine::KeepHeapForOutputLists();
    qInstallMessageHandler(QuietQt);

    static int qtArgc = 1;
    static char name[] = "tunewright";
    static char* qtArgv[] = {name, nullptr};
    const bool display = HasDisplay();
    if (!TwStartGui(&qtArgc, qtArgv, FALSE) || !twqt::Install()) {
        std::fprintf(stderr, "Tunewright: the windows cannot start.\n");
        styling::Finalize();
        return 2;
    }

    int exitCode = 0;
    {
        using namespace shell;
        vcl::Application->Initialize();
        vcl::Application->SetMainFormOnTaskbar(true);
        // The main window reads the command line as the last step of its creation.
        TFormMain* main = nullptr;
        vcl::Application->CreateForm(main);
        main->Headless = !display;
        vcl::Application->CreateForm(FormOptions);
        engine::TFormProgress* progress = nullptr;
        vcl::Application->CreateForm(progress);
        FormProgress = progress;
        vcl::Application->CreateForm(FormFileInfo);
        vcl::Application->CreateForm(FormErrors);
        vcl::Application->CreateForm(FormCmdLine);
        vcl::Application->CreateForm(FormAbout);
        vcl::Application->CreateForm(FormToolsInfo);
        vcl::Application->CreateForm(FormCheckUpdate);
        vcl::Application->CreateForm(FormListFileEdit);
        main->AttachSecondaryForms();

        engine::TAppParams& p = engine::AppParams;
        if (p.RunParams.bAutoConvert) {
            // Nothing that was named reaches the list silently: each file left out is named with the reason.
            for (const QString& note : main->NotAddedNotes) std::fprintf(stderr, "Tunewright: %s\n", qUtf8Printable(note));
            if (main->GetNgCheckedCount() == 0)
                std::fprintf(stderr, "Tunewright: nothing to convert.\n");
            else
                try {
                    main->actConvert->Execute();
                } catch (const std::exception& e) {
                    std::fprintf(stderr, "Tunewright: %s\n", e.what());
                }
            for (const QString& output : main->LastRun.Outputs) std::printf("%s\n", qUtf8Printable(output));
            std::fflush(stdout);
        }
        if (display && FormMain) {
            if (!p.RunParams.bAutoClose || !main->HasRun) {
                main->Show();
                vcl::Application->Run();
            }
        } else if (!p.RunParams.bAutoConvert) {
            std::fprintf(stderr, "Tunewright: no display; %d row(s) listed, nothing converted (add -AUTOCONVERT to "
                                 "convert them).\n",
                         main->ng->RowCount());
        }
        if (p.RunParams.bAutoConvert) {
            exitCode = main->HasRun ? main->LastRun.ExitStatus() : 2;
            if (main->HasRun && main->LastRun.Checked == 0) exitCode = 2;
        }
        // Without a display (and after an unattended run) the window closes as with -AUTOCLOSE.
        if (FormMain && (!display || p.RunParams.bAutoClose)) {
            p.RunParams.bAutoClose = true;
            main->Close();
        }
    }
    twqt::Uninstall();
    TwStopGui();
    styling::Finalize();
    return exitCode;
}
