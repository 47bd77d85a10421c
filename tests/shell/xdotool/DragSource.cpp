// tests/shell/xdotool/DragSource.cpp: a small window at a given place that starts a drag of the files on
// its command line (as file URIs) when the mouse is pressed on it; xdotool then carries the drag onto
// another program's window. Usage: tw_drag_source X Y FILE...
#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <QWidget>

namespace {

class TDragSource : public QWidget {
public:
    explicit TDragSource(QList<QUrl> Files) : Urls(std::move(Files)) { setWindowTitle(QStringLiteral("drag source")); }

protected:
    void mousePressEvent(QMouseEvent*) override {
        auto* drag = new QDrag(this);
        auto* data = new QMimeData;
        data->setUrls(Urls);
        drag->setMimeData(data);
        drag->exec(Qt::CopyAction);
    }

private:
    QList<QUrl> Urls;
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 4) return 2;
    QList<QUrl> files;
    for (int i = 3; i < argc; ++i) files << QUrl::fromLocalFile(QString::fromLocal8Bit(argv[i]));
    TDragSource source(files);
    source.setGeometry(QString::fromLatin1(argv[1]).toInt(), QString::fromLatin1(argv[2]).toInt(), 120, 80);
    source.show();
    return app.exec();
}
