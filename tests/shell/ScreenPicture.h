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

// Runs xdotool with Args while the program keeps handling its messages (the keys arrive as a person's
// would); false when xdotool is missing.
inline bool Xdotool(testing_support::FormHarness& Harness, const QStringList& Args) {
    const QString Tool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
    if (Tool.isEmpty()) return false;
    QProcess P;
    P.start(Tool, Args);
    EXPECT_TRUE(P.waitForStarted()) << Args.join(u' ').toStdString();
    QElapsedTimer T;
    T.start();
    while (P.state() != QProcess::NotRunning && T.elapsed() < 20000) {
        Harness.Pump();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    EXPECT_EQ(P.exitCode(), 0) << Args.join(u' ').toStdString();
    // The keys' messages are handled before the caller looks.
    for (QElapsedTimer W; !W.isValid() || W.elapsed() < 200;) {
        if (!W.isValid()) W.start();
        Harness.Pump();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

} // namespace shell_test
