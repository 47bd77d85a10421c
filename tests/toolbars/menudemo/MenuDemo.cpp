// tests/toolbars/menudemo/MenuDemo.cpp: a form at (40, 40) with a menu bar (File, Edit, Tools) and a
// toolbar (Run) in its top dock, for input from outside (xdotool under Xvfb). It prints each popup as
// it opens and each command as it runs; once the File menu has been open for a moment it compares the
// screen around the menu bar with the expected picture (argument 1; TW_UPDATE_EXPECTED=1 writes it).
// Quits after Run.
#include "tests/toolbars/DemoMain.h"
#include "toolbars/BarToolbar.h"
#include "vcl/Forms.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>

#include <cstdio>

using namespace bars;

namespace {

QString expectedPath;
const QRect shotArea(40, 40, 220, 110);  // the menu bar and the File menu under it

void Say(const char* line) {
    std::printf("%s\n", line);
    std::fflush(stdout);
}

void CALLBACK Shoot(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    TwFlushPainting();
    if (qEnvironmentVariableIsSet("TW_UPDATE_EXPECTED")) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 200);
        const QImage shot = QGuiApplication::primaryScreen()->grabWindow(0, shotArea.x(), shotArea.y(), shotArea.width(),
                                                                          shotArea.height()).toImage();
        Say(shot.save(expectedPath, "PNG") ? "screen written" : "screen not written");
        return;
    }
    const QImage expected = QImage(expectedPath).convertToFormat(QImage::Format_RGB32);
    QImage shot;
    QElapsedTimer waited;
    waited.start();
    do {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        shot = QGuiApplication::primaryScreen()
                   ->grabWindow(0, shotArea.x(), shotArea.y(), shotArea.width(), shotArea.height())
                   .toImage()
                   .convertToFormat(QImage::Format_RGB32);
    } while (shot != expected && waited.elapsed() < 5000);
    if (shot == expected)
        Say("screen matches");
    else {
        shot.save(QStringLiteral("menu-bar-open-actual.png"), "PNG");
        Say("screen differs (saved menu-bar-open-actual.png)");
    }
}

class TDemoForm : public vcl::TForm {
public:
    explicit TDemoForm(rtl::TComponent* AOwner) : vcl::TForm(AOwner) {
        SetBorderStyle(vcl::bsNone);
        SetPosition(vcl::poDesigned);
        SetBounds(40, 40, 400, 200);
        auto* dock = new TBarDock(this);
        dock->SetParent(this);
        auto* menuBar = new TBarCustomToolbar(this);
        menuBar->SetMenuBar(true);
        menuBar->SetDockRow(0);
        TBarCustomItem* file = Submenu(menuBar, u"&File"_qs);
        Command(file, u"&Convert"_qs);
        Command(file, u"E&xit"_qs);
        TBarCustomItem* edit = Submenu(menuBar, u"&Edit"_qs);
        Command(edit, u"&Undo"_qs);
        Command(edit, u"&Redo"_qs);
        Command(Submenu(menuBar, u"&Tools"_qs), u"&Options"_qs);
        menuBar->SetParent(dock);
        auto* tools = new TBarCustomToolbar(this);
        tools->SetDockRow(1);
        Command(tools->Items(), u"Run"_qs);
        tools->SetParent(dock);
    }

private:
    class TItem : public TBarCustomItem {
    public:
        using TBarCustomItem::TBarCustomItem;
        void MakeSubmenu() { FItemStyle.Include(tbisSubmenu); }
    };
    TBarCustomItem* Submenu(TBarCustomToolbar* Bar, const String& Caption) {
        auto* item = new TItem(this);
        item->SetCaption(Caption);
        item->MakeSubmenu();
        item->OnPopup = [item](TBarCustomItem*, bool) {
            const std::string line = "popup " + StripAccelChars(item->Caption()).toStdString();
            Say(line.c_str());
            if (line == "popup File") SetTimer(nullptr, 0, 300, &Shoot);
        };
        Bar->Items()->Add(item);
        return item;
    }
    void Command(TBarCustomItem* Parent, const String& Caption) {
        auto* item = new TBarCustomItem(this);
        item->SetCaption(Caption);
        item->OnClick = [item](rtl::TObject*) {
            const std::string line = "click " + StripAccelChars(item->Caption()).toStdString();
            Say(line.c_str());
            if (line == "click Run") vcl::Application->Terminate();
        };
        Parent->Add(item);
    }
};

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    expectedPath = QString::fromLocal8Bit(argv[1]);
    return RunDemo<TDemoForm>(argc, argv);
}
