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
#include <QScreen>

namespace testing_support {

// Asked before any window exists: the platform the application will start on.
inline bool OnXServer() { return qEnvironmentVariable("QT_QPA_PLATFORM") == QLatin1String("xcb"); }

// Folder is relative to the source tree (TW_SOURCE_DIR), e.g. "tests/grid/expected"; Name has no ".png".
// On a difference the screen and the model's own picture are saved beside the harness's screenshots.
inline void ComparePicture(FormHarness& Harness, vcl::TForm* Form, const char* Folder, const char* Name) {
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

} // namespace testing_support
