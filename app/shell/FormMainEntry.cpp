#include "app/shell/FormMainEntry.h"

#include <cstdio>

#include "app/engine/FormProgress.h"
#include "app/shell/FormAbout.h"
#include "app/shell/FormCheckUpdate.h"
#include "app/shell/FormCmdLine.h"
#include "app/shell/FormDirList.h"
#include "app/shell/FormErrors.h"
#include "app/shell/FormFileInfo.h"
#include "app/shell/FormMain.h"
#include "app/shell/FormOptions.h"

namespace shell {

namespace {

template <class T>
void Create(T*& Form, const TEntryHooks& Hooks, const char* Step) {
    vcl::Application->CreateForm(Form);
    if (Hooks.OnStep) Hooks.OnStep(Step);
}

} // namespace

int RunEntry(bool Display, const TEntryHooks& Hooks) {
    vcl::Application->Initialize();
    vcl::Application->SetMainFormOnTaskbar(true);
    // The main window reads the command line as the last step of its creation.
    TFormMain* main = nullptr;
    Create(main, Hooks, "window main");
    main->Headless = !Display;
    if (Hooks.OnMainCreated) Hooks.OnMainCreated(main);
    Create(FormOptions, Hooks, "window options");
    engine::TFormProgress* progress = nullptr;
    Create(progress, Hooks, "window progress");
    FormProgress = progress;
    Create(FormFileInfo, Hooks, "window file information");
    Create(FormErrors, Hooks, "window error log");
    Create(FormCmdLine, Hooks, "window command line");
    Create(FormAbout, Hooks, "window about");
    Create(FormToolsInfo, Hooks, "window tools information");
    Create(FormCheckUpdate, Hooks, "window update check");
    Create(FormListFileEdit, Hooks, "window output folders");
    main->AttachSecondaryForms();

    engine::TAppParams& p = engine::AppParams;
    // An unattended Convert runs once every window exists, before the message loop.
    if (p.RunParams.bAutoConvert) {
        // Nothing that was named reaches the list silently: each file left out is named with the reason.
        for (const QString& note : main->NotAddedNotes) std::fprintf(stderr, "Tunewright: %s\n", qUtf8Printable(note));
        if (main->GetNgCheckedCount() == 0)
            std::fprintf(stderr, "Tunewright: nothing to convert.\n");
        else
            try {
                if (Hooks.OnStep) Hooks.OnStep("convert");
                main->actConvert->Execute();
            } catch (const std::exception& e) {
                std::fprintf(stderr, "Tunewright: %s\n", e.what());
            }
        for (const QString& output : main->LastRun.Outputs) std::printf("%s\n", qUtf8Printable(output));
        std::fflush(stdout);
    }
    if (Display && FormMain) {
        if (!p.RunParams.bAutoClose || !main->HasRun) {
            main->Show();
            if (Hooks.OnStep) Hooks.OnStep("loop");
            if (Hooks.RunLoop)
                Hooks.RunLoop();
            else
                vcl::Application->Run();
        }
    } else if (!p.RunParams.bAutoConvert) {
        std::fprintf(stderr, "Tunewright: no display; %d row(s) listed, nothing converted (add -AUTOCONVERT to "
                             "convert them).\n",
                     main->ng->RowCount());
    }
    int exitCode = 0;
    if (p.RunParams.bAutoConvert) {
        exitCode = main->HasRun ? main->LastRun.ExitStatus() : 2;
        if (main->HasRun && main->LastRun.Checked == 0) exitCode = 2;
    }
    // Without a display (and after an unattended run) the window closes as with -AUTOCLOSE.
    if (FormMain && (!Display || p.RunParams.bAutoClose)) {
        p.RunParams.bAutoClose = true;
        main->Close();
    }
    return exitCode;
}

} // namespace shell
