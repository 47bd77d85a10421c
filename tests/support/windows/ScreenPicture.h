// tests/support/windows/ScreenPicture.h: what a real X server shows of a form, compared with an expected
// picture in a folder of the source tree (TW_UPDATE_EXPECTED=1 writes the picture instead).
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
#include <QScreen>
#include <QStandardPaths>

#include <algorithm>
#include <vector>

namespace testing_support {

// Asked before any window exists: the platform the application will start on.
inline bool OnXServer() { return qEnvironmentVariable("QT_QPA_PLATFORM") == QLatin1String("xcb"); }

// Folder is relative to the source tree (TW_SOURCE_DIR), e.g. "tests/grid/expected"; Name has no ".png".
// On a difference the screen and the model's own picture are saved beside the harness's screenshots.
// Masked areas (window coordinates) hold what differs from run to run (a temporary path, a measured
// speed): they are filled with magenta on both sides, and so in the expected picture.
inline void ComparePicture(FormHarness& Harness, vcl::TForm* Form, const char* Folder, const char* Name,
                           const std::vector<QRect>& Masked = {}) {
    const QRect Area(Form->Left(), Form->Top(), Form->Width(), Form->Height());
    const auto Mask = [&](QImage Image) {
        for (const QRect& R : Masked)
            for (int y = std::max(R.top(), 0); y <= std::min(R.bottom(), Image.height() - 1); ++y)
                for (int x = std::max(R.left(), 0); x <= std::min(R.right(), Image.width() - 1); ++x)
                    Image.setPixel(x, y, 0xFFFF00FF);
        return Image;
    };
    const QImage Model = Mask(Harness.App().Grab(Form->Handle()).convertToFormat(QImage::Format_RGB32));
    const auto Screen = [&] {
        return Mask(QGuiApplication::primaryScreen()
                        ->grabWindow(0, Area.x(), Area.y(), Area.width(), Area.height())
                        .toImage()
                        .convertToFormat(QImage::Format_RGB32));
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
    const QString Expected = qEnvironmentVariable("TW_SOURCE_DIR") + u'/' + QString::fromLatin1(Folder) + u'/' + File +
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
inline bool Xdotool(FormHarness& Harness, const QStringList& Args) {
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

} // namespace testing_support
