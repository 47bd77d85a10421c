// tests/toolbars/bardemo/BarDemo.cpp: a form at (40, 40), too narrow for the six buttons of the toolbar
// in its top dock, and a floating toolbar of six buttons on two lines, for input from outside (xdotool
// under Xvfb). It prints the floating toolbar's listed widths, the points to click, each command as it
// runs and each new width of the floating toolbar; it compares the screen with two expected pictures
// (the floating toolbar once shown, the docked toolbar with its chevron popup open; argument 1 is their
// folder, TW_UPDATE_EXPECTED=1 writes them). Quits after the floating toolbar has been sized once.
#include "tests/toolbars/DemoMain.h"
#include "tests/toolbars/bardemo/BarScene.h"

#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>

#include <cstdio>
#include <string>

using namespace bars;

namespace {

QString expectedDir;

void Say(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

QImage ScreenArea(const TRect& r) {
    return QGuiApplication::primaryScreen()
        ->grabWindow(0, r.Left, r.Top, r.Width(), r.Height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

// Waits until the screen shows the expected picture (or 5 s) and says whether it does.
void Compare(const char* Name, const TRect& Area) {
    TwFlushPainting();
    const QString path = QDir(expectedDir).filePath(QString::fromLatin1(Name) + QStringLiteral(".png"));
    if (qEnvironmentVariableIsSet("TW_UPDATE_EXPECTED")) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 200);
        Say(std::string(Name) + (ScreenArea(Area).save(path, "PNG") ? " written" : " not written"));
        return;
    }
    const QImage expected = QImage(path).convertToFormat(QImage::Format_RGB32);
    QImage shot;
    QElapsedTimer waited;
    waited.start();
    do {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        shot = ScreenArea(Area);
    } while (shot != expected && waited.elapsed() < 5000);
    if (shot == expected)
        Say(std::string(Name) + " matches");
    else {
        shot.save(QString::fromLatin1(Name) + QStringLiteral("-actual.png"), "PNG");
        Say(std::string(Name) + " differs (saved " + Name + "-actual.png)");
    }
}

TPoint ScreenCentre(TBarView* View, TBarCustomItem* Item, HWND Wnd) {
    const TRect r = View->Find(Item)->BoundsRect();
    POINT p{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    ClientToScreen(Wnd, &p);
    return TPoint(p.x, p.y);
}

class TDemoForm;
TDemoForm* demo = nullptr;

class TDemoForm : public TBarSceneForm {
public:
    explicit TDemoForm(rtl::TComponent* AOwner) : TBarSceneForm(AOwner) {
        Tools->ChevronItem()->OnPopup = [](TBarCustomItem*, bool) { SetTimer(nullptr, 0, 300, &ChevronOpen); };
        OnCommand = [](TBarCustomItem* Item) {
            Say("click " + Item->Caption().toStdString());
            SetTimer(nullptr, 0, 100, &WatchWidth);  // from now on the floating toolbar's width is watched
        };
    }

    void Start() {
        std::string line = "sizes";
        for (const TPoint& s : PlaceFloatingOnTwoLines()) line += " " + std::to_string(s.X);
        Say(line);
        FLastWidth = Floating->Width();
        SetTimer(nullptr, 0, 300, &FloatingShown);
    }

private:
    static void CALLBACK FloatingShown(HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        TBarFloatingWindowParent* frame = demo->Floating->FloatParent();
        const TRect r(frame->Left(), frame->Top(), frame->Left() + frame->Width(), frame->Top() + frame->Height());
        Compare("floating-toolbar", r);
        Say("floating width " + std::to_string(demo->Floating->Width()));
        Say("frame " + std::to_string(r.Left) + " " + std::to_string(r.Top) + " " + std::to_string(r.Width()) + " " +
            std::to_string(r.Height()));
        const TPoint c = ScreenCentre(demo->Tools->View(), demo->Tools->ChevronItem(), demo->Tools->Handle());
        Say("chevron " + std::to_string(c.X) + " " + std::to_string(c.Y));
    }
    static void CALLBACK ChevronOpen(HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        Compare("toolbar-chevron", ChevronPictureArea());
        for (TBarPopupWindow* w : PopupWindows())
            if (IsWindowVisible(w->Handle())) {
                const TPoint c = ScreenCentre(w->View(), demo->Hidden, w->Handle());
                Say("hidden " + std::to_string(c.X) + " " + std::to_string(c.Y));
                return;
            }
        Say("no popup");
    }
    static void CALLBACK WatchWidth(HWND, UINT, UINT_PTR, DWORD) {
        TBarCustomToolbar* bar = demo->Floating;
        if (bar->SizeData() || bar->Width() == demo->FLastWidth) return;
        Say("floating width " + std::to_string(bar->Width()));
        vcl::Application->Terminate();
    }
    int FLastWidth = 0;
};

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    expectedDir = QString::fromLocal8Bit(argv[1]);
    return RunDemo<TDemoForm>(argc, argv, [](TDemoForm* Form) {
        demo = Form;
        demo->Start();
    });
}
