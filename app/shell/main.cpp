// The tunewright executable.
#include <QLocale>
#include <QtGlobal>

#include <cstdio>

#include "app/engine/ConRun.h"
#include "app/shell/FormMain.h"
#include "app/shell/FormMainEntry.h"
#include "qt/QtBackend.h"
#include "rtl/Files.h"
#include "rtl/SysUtils.h"
#include "styling/hooks/Styling.h"

namespace {

// Qt's own notices (no runtime folder, a platform without window opacity…) are nothing the user can act
// on; standard error carries the program's messages only.
void QuietQt(QtMsgType Type, const QMessageLogContext&, const QString& Text) {
    if (Type == QtCriticalMsg || Type == QtFatalMsg) std::fprintf(stderr, "%s\n", qUtf8Printable(Text));
}

bool HasDisplay() { return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"); }

} // namespace

int main(int argc, char** argv) {
    // The system-window styling is the first thing started and the last ended.
    styling::Initialize();
    rtl::InitParams(argc, argv);
    rtl::SetDefaultFormatLocale(QLocale::system());
    engine::KeepHeapForOutputLists();
    qInstallMessageHandler(QuietQt);

    static int qtArgc = 1;
    static char name[] = "tunewright";
    static char* qtArgv[] = {name, nullptr};
    // TW_EXIT_WHEN_SHOWN (the start-up benchmark, offscreen too): the window is shown, and once its first
    // messages are handled the program prints "shown" and ends quietly, as with -AUTOCLOSE.
    const bool exitWhenShown = !qEnvironmentVariableIsEmpty("TW_EXIT_WHEN_SHOWN");
    const bool display = HasDisplay() || exitWhenShown;
    if (!TwStartGui(&qtArgc, qtArgv, FALSE) || !twqt::Install()) {
        std::fprintf(stderr, "Tunewright: the windows cannot start.\n");
        styling::Finalize();
        return 2;
    }

    shell::TEntryHooks hooks;
    if (exitWhenShown)
        hooks.RunLoop = [] {
            vcl::Application->ProcessMessages();
            std::printf("shown\n");
            std::fflush(stdout);
            engine::AppParams.RunParams.bAutoClose = true;
        };
    const int exitCode = shell::RunEntry(display, hooks);
    twqt::Uninstall();
    TwStopGui();
    styling::Finalize();
    return exitCode;
}
