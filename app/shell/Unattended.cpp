// The command-line run without a main window.
#include "app/shell/Unattended.h"

#include "app/engine/EncoderPanel.h"
#include "app/engine/FormProgress.h"
#include "app/engine/Metadata.h"
#include "app/engine/Procs.h"
#include "app/engine/Profiles.h"
#include "app/shell/CmdLine.h"
#include "qt/QtBackend.h"

#include <QtGlobal>
#include "rtl/SysUtils.h"

#include <chrono>
#include <memory>
#include <thread>

namespace shell {

void TConsoleView::Print(const rtl::String& Text) {
    rtl::String t = Text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    std::fprintf(FOut, "%s\n", t.toUtf8().constData());
    std::fflush(FOut);
}

void TConsoleView::SetInputFile(const rtl::String& FileName) {
    FLastPercent = -1;
    if (FShown) Print(QStringLiteral("Input file: ") + FileName);
}

void TConsoleView::SetOutputFile(const rtl::String& FileName) {
    if (FShown) Print(QStringLiteral("Output file: ") + FileName);
}

void TConsoleView::SetStatus(const rtl::String& Text, engine::TColor) {
    if (FShown && !Text.isEmpty()) Print(QStringLiteral("Status: ") + Text);
}

void TConsoleView::SetStatusLine(const rtl::String& Text, int Percent) {
    // One line per ten percent is enough on a terminal.
    if (!FShown || Percent / 10 == FLastPercent / 10) return;
    FLastPercent = Percent;
    Print(Text);
}

void TConsoleView::Message(engine::TRunMessageKind, const rtl::String& Text) {
    Print(QStringLiteral("Tunewright: ") + Text);
}

bool TConsoleView::AskYesNo(const rtl::String& Text) {
    Print(Text + QStringLiteral("\n(no answer possible here: No)"));
    return false;
}

void TConsoleView::ShowErrorLog(const engine::TErrorLog& Log, bool) {
    Print(Log.Lines.Text());
}

namespace {

// The progress window beside the terminal: what the run shows goes to both, while messages and
// questions stay on the terminal, since an unattended run has nobody to answer a box.
class TWindowedView : public engine::TConversionView {
public:
    TWindowedView(TConsoleView& Console, engine::TFormProgress& Form) : C(Console), F(Form) {}

    void ShowProgress() override { C.ShowProgress(); F.ShowProgress(); }
    void HideProgress() override { C.HideProgress(); F.HideProgress(); }
    void SetAbortCaption(const rtl::String& Text) override { F.SetAbortCaption(Text); }
    void SetBarPosition(int Position) override { F.SetBarPosition(Position); }
    void SetInputFile(const rtl::String& Text) override { C.SetInputFile(Text); F.SetInputFile(Text); }
    void SetOutputFile(const rtl::String& Text) override { C.SetOutputFile(Text); F.SetOutputFile(Text); }
    void SetStatus(const rtl::String& Text, engine::TColor Color) override {
        C.SetStatus(Text, Color);
        F.SetStatus(Text, Color);
    }
    void ClearEncoderValues() override { F.ClearEncoderValues(); }
    void ShowEncoderValues(const engine::TEncoderProgress& Values, const rtl::String& TimeText) override {
        F.ShowEncoderValues(Values, TimeText);
    }
    void SetStatusLine(const rtl::String& Text, int Percent) override {
        C.SetStatusLine(Text, Percent);
        F.SetStatusLine(Text, Percent);
    }
    void SetProgressCaption(const rtl::String& Text) override { F.SetProgressCaption(Text); }
    void SetAppTitle(const rtl::String& Text) override { F.SetAppTitle(Text); }
    void Message(engine::TRunMessageKind Kind, const rtl::String& Text) override { C.Message(Kind, Text); }
    bool AskYesNo(const rtl::String& Text) override { return C.AskYesNo(Text); }
    void ShowErrorLog(const engine::TErrorLog& Log, bool Modal) override { C.ShowErrorLog(Log, Modal); }
    void ProcessMessages() override { F.ProcessMessages(); }
    // The fixed waits between steps keep the window painted and its Abort button alive.
    void Wait(int Ms) override {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(Ms);
        while (std::chrono::steady_clock::now() < end) {
            F.ProcessMessages();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }

private:
    TConsoleView& C;
    engine::TFormProgress& F;
};

// Qt's own notices (no runtime folder, a platform without window opacity…) are nothing the user can act
// on, and standard error carries the run's messages only.
void QuietQt(QtMsgType Type, const QMessageLogContext&, const QString& Text) {
    if (Type == QtCriticalMsg || Type == QtFatalMsg) std::fprintf(stderr, "%s\n", qUtf8Printable(Text));
}

// Qt and the presentation for the progress window; offscreen when there is no display.
class TGui {
public:
    TGui() {
        FOldHandler = qInstallMessageHandler(QuietQt);
        static int argc = 1;
        static char name[] = "tunewright";
        static char* argv[] = {name, nullptr};
        FStarted = TwStartGui(&argc, argv, FALSE) && twqt::Install();
    }
    ~TGui() {
        if (FStarted) {
            twqt::Uninstall();
            TwStopGui();
        }
        qInstallMessageHandler(FOldHandler);
    }
    bool Started() const { return FStarted; }

private:
    bool FStarted = false;
    QtMessageHandler FOldHandler = nullptr;
};

} // namespace

int RunUnattended(const QStringList& Args) {
    engine::InitAppParams(engine::AppParams);
    engine::TAppParams& params = engine::AppParams;
    // Each tool is looked up at start, as the main window does; the options may name others.
    engine::GetFFmpegExe(params);
    engine::GetFFplayExe(params);
    engine::GetFFprobeExe(params);
    engine::GetMediaInfoDll(params);
    engine::TEncoderPanel panel;
    engine::TFileRows rows;
    TConsoleView view;

    TRunParamsActions actions;
    actions.AddToList = [&](const rtl::String& FileName) { AddToList(rows, FileName, true, params); };
    actions.LoadFileList = [&](const rtl::String& LstFile) {
        try {
            LoadFileList(rows, LstFile, params);
        } catch (const rtl::Exception& e) {
            view.Message(engine::rmError, e.Message());
        }
    };
    actions.SetDefaultEncoderSettings = [&] { panel.SetDefaultParams(); };
    actions.LoadProfile = [&](const rtl::String& FileName) { engine::LoadProfile(panel, FileName); };
    ParseRunParams(Args, params, actions);

    if (!params.RunParams.bAutoConvert) {
        std::printf("Tunewright %s: %d row(s) listed. The main window is not built yet; add -AUTOCONVERT "
                    "-AUTOCLOSE to convert them.\n",
                    TW_VERSION, int(rows.Rows.size()));
        return 0;
    }

    TGui gui;
    std::unique_ptr<engine::TFormProgress> form;
    std::unique_ptr<TWindowedView> windowed;
    if (gui.Started()) {
        engine::InitStyleColorSchemes(engine::StyleColorSchemes);
        form = std::make_unique<engine::TFormProgress>(nullptr);
        form->Params = &params;
        // Its creation now, not at its first showing in the middle of the run: settings, texts, the
        // bar's colours captured for the plain style and then the style's own.
        form->AfterConstruction();
        windowed = std::make_unique<TWindowedView>(view, *form);
    }
    engine::TConversionView& shown = windowed ? static_cast<engine::TConversionView&>(*windowed) : view;

    engine::TConversionRun run(panel, rows, shown, params);
    if (form) form->SetRun(&run);
    const engine::TTagPanel tagPanel; // the source's tags are copied into the outputs
    run.TagStep = engine::MakeTagStep(tagPanel, rows, run.EncodingParams);
    engine::TRunResult result;
    try {
        result = run.Execute();
    } catch (const std::exception& e) {
        view.Message(engine::rmError, rtl::String::fromUtf8(e.what()));
        return 2;
    }
    if (form) {
        form->SetRun(nullptr);
        form.reset();
    }
    for (const rtl::String& output : result.Outputs) std::printf("%s\n", output.toUtf8().constData());
    std::fflush(stdout);
    return result.ExitStatus();
}

} // namespace shell
