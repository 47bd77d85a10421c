// tests/shell/ScreenPicture.h: the shared screen-picture comparison, with the expected pictures under
// tests/shell/expected.
#pragma once
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

} // namespace shell_test
