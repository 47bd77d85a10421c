// The tunewright executable.
#include <QLocale>

#include "app/engine/ConRun.h"
#include "app/shell/CmdLine.h"
#include "app/shell/Unattended.h"
#include "rtl/Files.h"
#include "rtl/SysUtils.h"

int main(int argc, char** argv) {
    rtl::InitParams(argc, argv);
    rtl::SetDefaultFormatLocale(QLocale::system());
    engine::KeepHeapForOutputLists();
    // Until the main window exists, the command line is the program's only way in.
    return shell::RunUnattended(shell::ProcessArgs());
}
