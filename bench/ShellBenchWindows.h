// bench/ShellBenchWindows.h: the shell benchmarks' ten windows, made in the program's order, and one full
// repaint of them.
#pragma once
#include "app/engine/FormProgress.h"
#include "app/shell/FormAbout.h"
#include "app/shell/FormCheckUpdate.h"
#include "app/shell/FormCmdLine.h"
#include "app/shell/FormDirList.h"
#include "app/shell/FormErrors.h"
#include "app/shell/FormFileInfo.h"
#include "app/shell/FormMain.h"
#include "app/shell/FormOptions.h"
#include "bench/BenchSupport.h"

#include <vector>

namespace bench_support {

// Main, options, progress, file information, error log, command line, About, tools information, update
// check and folder-list editor, each shown; the main window first.
inline std::vector<vcl::TForm*> MakeTheTenWindows() {
    using namespace shell;
    TFormMain* main = nullptr;
    vcl::Application->CreateForm(main);
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
    const std::vector<vcl::TForm*> forms = {
        main,        FormOptions, progress,      FormFileInfo,    FormErrors,
        FormCmdLine, FormAbout,   FormToolsInfo, FormCheckUpdate, FormListFileEdit};
    for (vcl::TForm* f : forms) f->Show();
    vcl::Application->ProcessMessages();
    return forms;
}

// The windows, each painted whole into a bitmap: one full repaint; its time in seconds.
inline double RepaintAll(const std::vector<vcl::TForm*>& Forms) {
    vcl::TBitmap paper;
    paper.SetWidth(1280);
    paper.SetHeight(1024);
    QElapsedTimer t;
    t.start();
    for (vcl::TForm* f : Forms) f->PaintTo(paper.Canvas()->Handle(), 0, 0);
    return Seconds(t);
}

} // namespace bench_support
