// The conversion run's messages on a terminal.
#include "app/shell/Unattended.h"


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

} // namespace shell
