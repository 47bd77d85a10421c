// bench/StylingDialogsBench.cpp: what styling costs a dialog's repaint. A full repaint (frame, client
// area and every control) of a message box and of the file dialog, with a shipped style's hooks on
// them against the same dialog unstyled (at most 2x each). Prints the ratios; exits non-zero when a
// bound is missed. Reads data/styles/Carbon.vsf under TW_SOURCE_DIR (else the working folder).
// bench-libs: styling_hooks styling_hooking vcl win tw_qt Qt6::Gui
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include <QDir>
#include <QTemporaryDir>

#include "qt/QtBackend.h"
#include "styling/hooks/Styling.h"
#include "vcl/StyleFile.h"
#include "vcl/Themes.h"
#include "win/comdlg32/commdlg.h"
#include "win/windows.h"

namespace {

using Clock = std::chrono::steady_clock;

double measured = 0;  // microseconds for one full repaint, the best of the runs

// Once the dialog's loop waits: time full repaints of the dialog, then close it.
void CALLBACK MeasureWhenIdle(void*) {
    const HWND d = FindWindowW(u"#32770", nullptr);
    if (!d || !IsWindowVisible(d) || measured > 0) return;
    TwFlushPainting();
    double best = 1e30;
    for (int run = 0; run < 7; ++run) {
        const auto t0 = Clock::now();
        for (int i = 0; i < 20; ++i)
            RedrawWindow(d, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        best = std::min(best, std::chrono::duration<double, std::micro>(Clock::now() - t0).count() / 20);
    }
    measured = best;
    EndDialog(d, IDCANCEL);
}

double Repaint(const std::function<void()>& Open) {
    measured = 0;
    Open();
    return measured;
}

void MessageBoxRun() { MessageBoxW(nullptr, u"Convert the three files to MP3?", u"Tunewright", MB_OKCANCEL | MB_ICONQUESTION); }

std::u16string folder;
void FileDialogRun() {
    WCHAR file[1024] = {};
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.lpstrFilter = u"Audio (*.mp3)\0*.mp3\0";
    ofn.lpstrFile = file;
    ofn.nMaxFile = 1024;
    ofn.lpstrInitialDir = folder.c_str();
    GetOpenFileNameW(&ofn);
}

bool Check(const char* What, double Ratio, double Bound) {
    std::printf("%-40s %6.2fx (bound %.2fx)\n", What, Ratio, Bound);
    return Ratio <= Bound;
}

} // namespace

int main() {
    if (!TwStartGui(nullptr, nullptr, TRUE) || !twqt::Install()) return 2;
    TwUseManualClock(1000);
    TwSetIdleHook(&MeasureWhenIdle, nullptr);
    QTemporaryDir files;
    for (int i = 1; i <= 40; ++i) QFile(files.filePath(QStringLiteral("track%1.mp3").arg(i))).open(QIODevice::WriteOnly);
    folder = files.path().toStdU16String();
    const QString styleFile = qEnvironmentVariable("TW_SOURCE_DIR", QDir::currentPath()) + QStringLiteral("/data/styles/Carbon.vsf");
    auto style = std::make_unique<vcl::TCustomStyle>(vcl::ReadStyleFile(styleFile));

    const double plainBox = Repaint(&MessageBoxRun), plainFiles = Repaint(&FileDialogRun);
    // The program's start: the style chosen, then the styling, which hooks the dialogs and controls.
    vcl::TStyleManager::SetStyle(style.get());
    styling::Initialize();
    const double styledBox = Repaint(&MessageBoxRun), styledFiles = Repaint(&FileDialogRun);
    std::printf("message box: %.0f us plain, %.0f us styled; file dialog: %.0f us plain, %.0f us styled\n", plainBox,
                styledBox, plainFiles, styledFiles);
    bool ok = plainBox > 0 && plainFiles > 0 && styledBox > 0 && styledFiles > 0;
    ok &= Check("styled message box / unstyled", styledBox / plainBox, 2.0);
    ok &= Check("styled file dialog / unstyled", styledFiles / plainFiles, 2.0);

    styling::Finalize();
    vcl::TStyleManager::SetStyle(vcl::TStyleManager::SystemStyle());
    TwStopGui();
    return ok ? 0 : 1;
}
