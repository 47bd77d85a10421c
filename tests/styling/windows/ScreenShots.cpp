// tests/styling/windows/ScreenShots.cpp
#include "tests/styling/windows/ScreenShots.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>

#include <cstdlib>

namespace styletest {

QString SourceDir() { return qEnvironmentVariable("TW_SOURCE_DIR", QStringLiteral(TW_STYLING_SOURCE_DIR)); }

double Differing(const QImage& A, const QImage& B) {
    if (A.size() != B.size()) return 1.0;
    int n = 0;
    for (int y = 0; y < A.height(); ++y)
        for (int x = 0; x < A.width(); ++x) {
            const QRgb a = A.pixel(x, y), b = B.pixel(x, y);
            n += std::abs(qRed(a) - qRed(b)) > 48 || std::abs(qGreen(a) - qGreen(b)) > 48 || std::abs(qBlue(a) - qBlue(b)) > 48;
        }
    return double(n) / (A.width() * A.height());
}

QImage ScreenOf(HWND Window) {
    RECT r{};
    GetWindowRect(Window, &r);
    const auto grab = [&] {
        return QGuiApplication::primaryScreen()
            ->grabWindow(0, r.left, r.top, r.right - r.left, r.bottom - r.top)
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    };
    // The server shows the window once it has been mapped, exposed and drawn: two grabs in a row that
    // agree, after painting, are what a person sees.
    QImage last, shot;
    QElapsedTimer waited;
    waited.start();
    do {
        TwFlushPainting();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        last = shot;
        shot = grab();
    } while ((shot != last || waited.elapsed() < 300) && waited.elapsed() < 5000);
    return shot;
}

void ExpectPicture(const QImage& Got, const QString& Name) {
    const QString expected = SourceDir() + QStringLiteral("/tests/styling/windows/expected/%1.png").arg(Name);
    if (qEnvironmentVariableIsSet("TW_UPDATE_EXPECTED")) Got.save(expected);
    const QImage want(expected);
    ASSERT_FALSE(want.isNull()) << "no picture at " << expected.toStdString() << ": run with TW_UPDATE_EXPECTED=1";
    const double differing = Differing(Got, want.convertToFormat(QImage::Format_RGB32));
    if (differing >= 0.01) {
        const QString kept = QDir::temp().filePath(Name + QStringLiteral("-actual.png"));
        Got.save(kept);
        ADD_FAILURE() << Name.toStdString() << ": " << differing * 100 << "% of the pixels differ; the picture is at "
                      << kept.toStdString();
    }
}

bool Xdotool(const QStringList& Arguments) {
    const QString xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
    return !xdotool.isEmpty() && QProcess::startDetached(xdotool, Arguments);
}

} // namespace styletest
