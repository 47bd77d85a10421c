// tests/shell/ShellWindows.h: the main window with the options window and the output-folder list
// editor beside it, headless, in a program folder of the test's own.
#pragma once
#include <gtest/gtest.h>

#include "app/engine/Procs.h"
#include "app/shell/FormDirList.h"
#include "app/shell/FormMain.h"
#include "app/shell/FormOptions.h"
#include "tests/support/TempDir.h"
#include "tests/support/windows/FormHarness.h"

namespace shell_test {

class ShellWindows : public ::testing::Test {
protected:
    void SetUp() override {
        engine::SetProgramDirOverride(Program.QPath());
        engine::ForgetMissingTools();
        shell::StartArgs = QStringList();
        H = std::make_unique<testing_support::FormHarness>();
        Main = H->Create<shell::TFormMain>();
        Main->AnalyseForRow = [this](const shell::String&, engine::TVideoFileInfo& Info, engine::TTagRec& Tags) {
            ++Analysed;
            Info.Duration = 60000;
            Tags.Title = QStringLiteral("A title");
        };
        Main->ReadChapters = [](const shell::String&, engine::TVideoFileInfo&) {};
        Options = H->Create<shell::TFormOptions>();
        Editor = H->Create<shell::TFormListFileEdit>();
    }
    void TearDown() override {
        H.reset();
        engine::SetProgramDirOverride({});
        shell::StartArgs.reset();
        shell::bUpdatingControls = false;
    }

    testing_support::TempDir Program, Dir;
    std::unique_ptr<testing_support::FormHarness> H;
    shell::TFormMain* Main = nullptr;
    shell::TFormOptions* Options = nullptr;
    shell::TFormListFileEdit* Editor = nullptr;
    int Analysed = 0;
};

} // namespace shell_test
