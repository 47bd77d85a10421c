// app/shell/Unattended.h: the run from the command line while there is no main window: the options
// fill a plain file list, -AUTOCONVERT converts it with the progress window up (offscreen when there
// is no display), progress and messages go to standard error.
#pragma once
#include <QStringList>

#include <cstdio>

#include "app/engine/Conversion.h"

namespace shell {

// The conversion's windows on a terminal: progress lines and messages on standard error, nobody to
// answer a question (the answer is No).
class TConsoleView : public engine::TConversionView {
public:
    explicit TConsoleView(std::FILE* Out = stderr) : FOut(Out) {}

    void ShowProgress() override { FShown = true; }
    void HideProgress() override { FShown = false; }
    void SetInputFile(const rtl::String& FileName) override;
    void SetOutputFile(const rtl::String& FileName) override;
    void SetStatus(const rtl::String& Text, engine::TColor Color) override;
    void SetStatusLine(const rtl::String& Text, int Percent) override;
    void Message(engine::TRunMessageKind Kind, const rtl::String& Text) override;
    bool AskYesNo(const rtl::String& Text) override;
    void ShowErrorLog(const engine::TErrorLog& Log, bool Modal) override;

private:
    void Print(const rtl::String& Text);

    std::FILE* FOut;
    bool FShown = false;
    int FLastPercent = -1;
};

// Parses Args (without the program itself), and with -AUTOCONVERT converts. Returns the exit status:
// 0 every checked row converted or skipped, 1 a row failed, 2 nothing could run. Without -AUTOCONVERT
// it says what it would need and returns 0.
int RunUnattended(const QStringList& Args);

} // namespace shell
