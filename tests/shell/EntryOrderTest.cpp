// The program's start as the executable runs it: the ten windows in their order, an unattended Convert
// once they all exist and before the message loop.
#include "app/shell/FormMainEntry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/engine/Procs.h"
#include "app/shell/FormAbout.h"
#include "app/shell/FormCheckUpdate.h"
#include "app/shell/FormCmdLine.h"
#include "app/shell/FormDirList.h"
#include "app/shell/FormErrors.h"
#include "app/shell/FormFileInfo.h"
#include "app/shell/FormMain.h"
#include "app/shell/FormOptions.h"
#include "tests/support/TempDir.h"
#include "tests/support/windows/FormHarness.h"

namespace {

using namespace shell;
using testing_support::TempDir;

class EntryOrder : public ::testing::Test {
protected:
    void SetUp() override {
        engine::SetProgramDirOverride(Program.QPath());
        engine::ForgetMissingTools();
    }
    void TearDown() override {
        H.reset();
        engine::SetProgramDirOverride({});
        StartArgs.reset();
        FormOptions = nullptr;
        FormProgress = nullptr;
        FormFileInfo = nullptr;
        FormErrors = nullptr;
        FormCmdLine = nullptr;
        FormAbout = nullptr;
        FormToolsInfo = nullptr;
        FormCheckUpdate = nullptr;
        FormListFileEdit = nullptr;
        bConverting = false;
    }

    // Runs the entry; the log holds its steps, and "analysis" when the run analyses a row (with the
    // number of secondary windows that exist by then, and whether the message loop runs).
    int Run(const QStringList& Args, bool Display) {
        StartArgs = Args;
        H = std::make_unique<testing_support::FormHarness>();
        TEntryHooks hooks;
        hooks.OnStep = [this](const char* Step) { Log.emplace_back(Step); };
        hooks.OnMainCreated = [this](TFormMain* W) {
            engine::AppParams.ffmpeg = QStringLiteral(TW_FAKE_ENCODER);
            W->RunAnalyse = [this](const String& FileName, const String&) {
                const int windows = (FormOptions != nullptr) + (FormProgress != nullptr) + (FormFileInfo != nullptr) +
                                    (FormErrors != nullptr) + (FormCmdLine != nullptr) + (FormAbout != nullptr) +
                                    (FormToolsInfo != nullptr) + (FormCheckUpdate != nullptr) +
                                    (FormListFileEdit != nullptr);
                Log.push_back("analysis with " + std::to_string(windows) + " windows" +
                              (vcl::Application->Running() ? ", loop running" : ""));
                engine::TVideoFileInfo info;
                info.SetFileName(FileName);
                info.Seconds = 1;
                info.NumberOfAudioStreams = 1;
                info.AudioStreams[0].Exists = true;
                info.AudioStreams[0].CodecFF = QStringLiteral("opus");
                return info;
            };
        };
        hooks.RunLoop = [this] { Log.emplace_back("loop ran"); };
        return RunEntry(Display, hooks);
    }

    TempDir Program, Dir;
    std::unique_ptr<testing_support::FormHarness> H;
    std::vector<std::string> Log;
};

const std::vector<std::string> TenWindows = {
    "window main",  "window options", "window progress",          "window file information", "window error log",
    "window command line", "window about", "window tools information", "window update check", "window output folders"};

// The path without a display (the run, then the close as with -AUTOCLOSE) is the unattended matrix's,
// run through the executable (UnattendedTest).
TEST_F(EntryOrder, AnUnattendedConvertRunsAfterEveryWindowAndBeforeTheLoop) {
    const QString input = Dir.Write(QStringLiteral("clip.webm"), QByteArray(1000, 'm'));
    EXPECT_EQ(Run({QStringLiteral("-AUTOCONVERT"), input}, true), 0);
    std::vector<std::string> steps = TenWindows;
    steps.insert(steps.end(), {"convert", "analysis with 9 windows", "loop", "loop ran"});
    EXPECT_EQ(Log, steps);
    ASSERT_NE(FormMain, nullptr);
    EXPECT_TRUE(FormMain->HasRun);
    EXPECT_EQ(FormMain->LastRun.Failed, 0);
    EXPECT_TRUE(FormMain->Visible());
}

} // namespace
