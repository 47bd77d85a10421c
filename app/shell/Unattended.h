// app/shell/Unattended.h: the conversion run's view on a terminal, for a run without a display:
// progress lines and messages on standard error.
#pragma once
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

} // namespace shell
