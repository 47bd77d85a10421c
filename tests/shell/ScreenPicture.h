// tests/shell/ScreenPicture.h: what a real X server shows of a form, compared with an expected picture
// under tests/shell/expected (TW_UPDATE_EXPECTED=1 writes the picture instead).
#pragma once
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

// Asked before any window exists: the platform the application will start on.
inline bool OnXServer() { return qEnvironmentVariable("QT_QPA_PLATFORM") == QLatin1String("xcb"); }

inline void ComparePicture(testing_support::FormHarness& Harness, vcl::TForm* Form, const char* Name) {
    const QRect Area(Form->Left(), Form->Top(), Form->Width(), Form->Height());
    const QImage Model = Harness.App().Grab(Form->Handle()).convertToFormat(QImage::Format_RGB32);
    const auto Screen = [&] {
        return QGuiApplication::primaryScreen()
            ->grabWindow(0, Area.x(), Area.y(), Area.width(), Area.height())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    };
    // The X server shows the picture once the window has been exposed and has drawn.
    QImage Shot;
    QElapsedTimer Waited;
    Waited.start();
    do {
        Harness.Pump();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        Shot = Screen();
    } while (Shot != Model && Waited.elapsed() < 5000);
    const QString File = QString::fromLatin1(Name);
    const QString Expected = qEnvironmentVariable("TW_SOURCE_DIR") + QStringLiteral("/tests/shell/expected/") + File +
                             QStringLiteral(".png");
    if (qEnvironmentVariableIsSet("TW_UPDATE_EXPECTED")) {
        ASSERT_TRUE(Shot.save(Expected, "PNG"));
        return;
    }
    const QImage Want = QImage(Expected).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(Want.isNull()) << "missing " << Expected.toStdString();
    if (Shot != Want) {
        const QString Saved = Harness.App().SaveScreenshot(Form->Handle(), File + QStringLiteral("-model.png"));
        Shot.save(QFileInfo(Saved).dir().filePath(File + QStringLiteral("-actual.png")));
        ADD_FAILURE() << "the screen differs from " << Expected.toStdString() << "; saved beside " << Saved.toStdString();
    }
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
