// The tunewright executable.
#include <QLocale>

#include "app/engine/ConRun.h"
#include "app/shell/CmdLine.h"
#include "app/shell/Unattended.h"
#include "rtl/Files.h"
#include "rtl/SysUtils.h"
#include "styling/hooks/Styling.h"

int main(int argc, char** argv) {
    // The system-window styling is the first thing started and the last ended.
    styling::Initialize();
    rtl::InitParams(argc, argv);
    rtl::SetDefaultFormatLocale(QLocale::system());
    engine::KeepHeapForOutputLists();
    // Until the main window exists, the command line is the program's only way in.
    const int exitCode = shell::RunUnattended(shell::ProcessArgs());
    styling::Finalize();
    return exitCode;
}
