// tests/shell/xdotool/WindowPicture.cpp: what the X server shows of a window, compared with an expected
// picture. Usage: tw_window_picture WINDOW EXPECTED.png [X,Y,W,H ...]: the rectangles (window
// coordinates) hold what differs from run to run and are filled with magenta on both sides. Exits 0 when
// the pictures are equal; otherwise saves the screen beside the expected picture as NAME-actual.png
// and exits 1. With TW_UPDATE_EXPECTED set it writes the expected picture instead. The screen is read
// again for up to 3 s until it matches, so a window still drawing is not taken for a difference.
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QThread>

#include <cstdio>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc < 3) return 2;
    const WId window = WId(QString::fromLatin1(argv[1]).toULongLong(nullptr, 0));
    const QString expected = QString::fromLocal8Bit(argv[2]);
    QList<QRect> masked;
    for (int i = 3; i < argc; ++i) {
        const QStringList n = QString::fromLatin1(argv[i]).split(u',');
        if (n.size() == 4) masked << QRect(n[0].toInt(), n[1].toInt(), n[2].toInt(), n[3].toInt());
    }
    auto shot = [&] {
        QImage image = QGuiApplication::primaryScreen()->grabWindow(window).toImage().convertToFormat(QImage::Format_RGB32);
        for (const QRect& r : masked)
            for (int y = std::max(r.top(), 0); y <= std::min(r.bottom(), image.height() - 1); ++y)
                for (int x = std::max(r.left(), 0); x <= std::min(r.right(), image.width() - 1); ++x)
                    image.setPixel(x, y, 0xFFFF00FF);
        return image;
    };
    if (qEnvironmentVariableIsSet("TW_UPDATE_EXPECTED")) {
        QThread::msleep(500); // the last repaints
        return shot().save(expected, "PNG") ? 0 : 1;
    }
    const QImage want = QImage(expected).convertToFormat(QImage::Format_RGB32);
    if (want.isNull()) {
        std::fprintf(stderr, "missing %s\n", qPrintable(expected));
        return 1;
    }
    QImage got;
    QElapsedTimer waited;
    waited.start();
    do {
        got = shot();
        if (got == want) return 0;
        QThread::msleep(100);
    } while (waited.elapsed() < 3000);
    QString actual = expected;
    actual.replace(QStringLiteral(".png"), QStringLiteral("-actual.png"));
    if (const QByteArray dir = qgetenv("TW_PICTURE_OUT"); !dir.isEmpty())
        actual = QString::fromLocal8Bit(dir) + u'/' + actual.section(u'/', -1);
    got.save(actual, "PNG");
    std::fprintf(stderr, "the screen differs from %s; saved as %s\n", qPrintable(expected), qPrintable(actual));
    return 1;
}
