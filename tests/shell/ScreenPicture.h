// tests/shell/ScreenPicture.h: the shared screen-picture comparison, with the expected pictures under
// tests/shell/expected.
#pragma once
#include "app/engine/Procs.h"
#include "tests/support/TempDir.h"
#include "tests/support/windows/ScreenPicture.h"
#include "tests/support/windows/FormHarness.h"
#include "vcl/Forms.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPixmap>
#include <QProcess>
#include <QStandardPaths>
#include <QScreen>

namespace shell_test {

using testing_support::OnXServer;

inline void ComparePicture(testing_support::FormHarness& Harness, vcl::TForm* Form, const char* Name) {
    testing_support::ComparePicture(Harness, Form, "tests/shell/expected", Name);
}

using testing_support::Xdotool;

// The pictures the build puts beside the program (from the icon theme), copied into a test's program
// folder, so the windows in the expected pictures wear what a user's do. Without them a test skips.
inline void CopyBuiltIcons(const QString& ProgramDir) {
    const QDir built(QFileInfo(QStringLiteral(TW_TUNEWRIGHT_EXE)).path() + QStringLiteral("/data/icons"));
    if (!built.exists(QStringLiteral("document-open.png"))) GTEST_SKIP() << "built without the icon theme";
    QDir(ProgramDir).mkpath(QStringLiteral("data/icons"));
    for (const QString& name : built.entryList(QDir::Files))
        QFile::copy(built.filePath(name), ProgramDir + QStringLiteral("/data/icons/") + name);
}

// A program folder for pictures of the main window in the shipped styles: the built pictures, the
// styles' folder, and the window at 20,20, 760 x 360.
inline void StyledProgram(testing_support::TempDir& Program) {
    CopyBuiltIcons(Program.QPath());
    engine::SetProgramDirOverride(Program.QPath());
    Program.Write("TunewrightApp.ini", QByteArray("[MAIN]\r\nLeft=20\r\nTop=20\r\nWidth=760\r\nHeight=360\r\nStylesDir=") +
                                           QByteArray(TW_STYLES_DIR) + "\r\n");
}

} // namespace shell_test
