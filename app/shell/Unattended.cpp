// The command-line run without a main window.
#include "app/shell/Unattended.h"

#include "app/engine/EncoderPanel.h"
#include "app/engine/Metadata.h"
#include "app/engine/Procs.h"
#include "app/engine/Profiles.h"
#include "app/shell/CmdLine.h"
#include "rtl/SysUtils.h"

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

    engine::TConversionRun run(panel, rows, view, params);
    const engine::TTagPanel tagPanel; // the source's tags are copied into the outputs
    run.TagStep = engine::MakeTagStep(tagPanel, rows, run.EncodingParams);
    engine::TRunResult result;
    try {
        result = run.Execute();
    } catch (const std::exception& e) {
        view.Message(engine::rmError, rtl::String::fromUtf8(e.what()));
        return 2;
    }
    for (const rtl::String& output : result.Outputs) std::printf("%s\n", output.toUtf8().constData());
    std::fflush(stdout);
    return result.ExitStatus();
}

} // namespace shell
