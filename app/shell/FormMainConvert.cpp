// The Convert action: the conversion run over the grid, its windows through the main window's view.
#include "app/shell/FormMain.h"

#include <chrono>
#include <thread>

#include "app/shell/AppStrings.h"
#include "app/shell/EngineLang.h"
#include "app/shell/FormErrors.h"
#include "app/shell/Unattended.h"

namespace shell {

namespace {

// The run's windows: the progress window, the main window's controls, the error-log window and message
// boxes. Without a display the boxes, questions and the error log go to standard error (nobody could
// answer), and the progress is mirrored there as well.
class TMainConversionView : public engine::TConversionView {
public:
    explicit TMainConversionView(TFormMain& Form) : F(Form) {}

    engine::TConversionView* P() const { return FormProgress; }
    void ShowProgress() override {
        C.ShowProgress();
        if (P() && engine::AppParams.RunParams.Silent == 0) P()->ShowProgress();
    }
    void HideProgress() override {
        C.HideProgress();
        if (P()) P()->HideProgress();
    }
    bool CloseAfterConversion() const override { return P() ? P()->CloseAfterConversion() : true; }
    void SetAbortCaption(const String& Text) override {
        if (P()) P()->SetAbortCaption(Text);
    }
    void SetBarPosition(int Position) override {
        if (P()) P()->SetBarPosition(Position);
    }
    void SetInputFile(const String& Text) override {
        if (F.Headless) C.SetInputFile(Text);
        if (P()) P()->SetInputFile(Text);
    }
    void SetOutputFile(const String& Text) override {
        if (F.Headless) C.SetOutputFile(Text);
        if (P()) P()->SetOutputFile(Text);
    }
    void SetStatus(const String& Text, engine::TColor Color) override {
        if (F.Headless) C.SetStatus(Text, Color);
        if (P()) P()->SetStatus(Text, Color);
    }
    void ClearEncoderValues() override {
        if (P()) P()->ClearEncoderValues();
    }
    void ShowEncoderValues(const engine::TEncoderProgress& Values, const String& TimeText) override {
        if (P()) P()->ShowEncoderValues(Values, TimeText);
    }
    void SetStatusLine(const String& Text, int Percent) override {
        if (F.Headless) C.SetStatusLine(Text, Percent);
        if (P()) P()->SetStatusLine(Text, Percent);
    }
    void SetProgressCaption(const String& Text) override {
        if (P()) P()->SetProgressCaption(Text);
    }
    void SetAppTitle(const String& Text) override { vcl::Application->SetTitle(Text); }
    void SetMainCaption(const String& Text) override { F.SetCaption(Text); }

    void DisableControls() override { F.DisableAll(); }
    void EnableControls() override { F.EnableAll(); }
    void StopPreview() override { F.ClosePreview(); }
    void CloseMain() override { F.CloseAfterRun = true; }
    void AfterConversion() override {
        if (F.AfterConversion == 1) F.CloseAfterRun = true;
        if (F.AfterConversion == 2 && PowerOffWindows) PowerOffWindows();
    }

    void SetErrorLogCaption(const String& Caption) override {
        if (FormErrors) FormErrors->SetCaption(Caption);
        FErrorsCaption = Caption;
    }
    void ShowErrorLog(const engine::TErrorLog& Log, bool Modal) override {
        if (F.Headless || !FormErrors) {
            if (!FErrorsCaption.isEmpty()) std::fprintf(stderr, "%s\n", FErrorsCaption.toUtf8().constData());
            C.ShowErrorLog(Log, Modal);
            return;
        }
        FormErrors->ShowErrorLog(Log, Modal);
    }
    void Message(engine::TRunMessageKind Kind, const String& Text) override {
        if (F.Headless) {
            C.Message(Kind, Text);
            return;
        }
        const UINT icon = Kind == engine::rmError ? MB_ICONERROR : Kind == engine::rmWarning ? MB_ICONWARNING : MB_ICONINFORMATION;
        vcl::Application->MessageBox(Text, vcl::Application->Title(), MB_OK | icon);
    }
    bool AskYesNo(const String& Text) override {
        if (F.Headless) return C.AskYesNo(Text);
        return vcl::Application->MessageBox(Text, vcl::Application->Title(), MB_YESNO | MB_ICONQUESTION) == IDYES;
    }
    void ProcessMessages() override { vcl::Application->ProcessMessages(); }

private:
    TFormMain& F;
    TConsoleView C;
    String FErrorsCaption;
};

} // namespace

void TFormMain::actConvertExecute(rtl::TObject*) {
    if (bConverting) return;
    TMainConversionView view(*this);
    engine::TConversionRun run(EncoderPanel, FList, view, engine::AppParams);
    run.Texts = GetRunTexts(*Strings());
    if (RunAnalyse) run.Analyse = RunAnalyse;
    run.bSaveAsBatch = bSaveAsBatch;
    run.BatchFileName = BatchFileName;
    run.KeepFileDates = KeepFileDates;
    run.TagStep = engine::MakeTagStep(TagPanel, FList, run.EncodingParams);
    if (FormProgress) FormProgress->SetRun(&run);
    CurrentRun = &run;
    CloseAfterRun = false;
    bConverting = true;
    try {
        LastRun = run.Execute();
    } catch (...) {
        // The window must never stay locked after a failed run: the flags go, the controls come back.
        bConverting = false;
        bSaveAsBatch = false;
        CurrentRun = nullptr;
        if (FormProgress) FormProgress->SetRun(nullptr);
        EnableAll();
        throw;
    }
    HasRun = true;
    bConverting = false;
    CurrentRun = nullptr;
    if (FormProgress) FormProgress->SetRun(nullptr);
    if (EncoderOutputList) EncoderOutputList->Assign(&run.EncoderOutputList);
    if (CloseAfterRun) Close();
}

} // namespace shell
