// tests/toolbars/bardemo/BarDemo.cpp: a form at (40, 40), too narrow for the six buttons of the toolbar
// in its top dock, and a floating toolbar of six buttons on two lines, for input from outside (xdotool
// under Xvfb). It prints the floating toolbar's listed widths, the points to click, each command as it
// runs and each new width of the floating toolbar; it compares the screen with two expected pictures
// (the floating toolbar once shown, the docked toolbar with its chevron popup open; argument 1 is their
// folder, TW_UPDATE_EXPECTED=1 writes them). Quits after the floating toolbar has been sized once.
#include "tests/toolbars/DemoMain.h"
#include "toolbars/BarToolbar.h"
#include "vcl/Forms.h"

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

class TDemoForm : public vcl::TForm {
public:
    explicit TDemoForm(rtl::TComponent* AOwner) : vcl::TForm(AOwner) {
        SetBorderStyle(vcl::bsNone);
        SetPosition(vcl::poDesigned);
        SetBounds(40, 40, 200, 120);
        auto* dock = new TBarDock(this);
        dock->SetParent(this);
        FTools = new TBarCustomToolbar(this);
        for (const char16_t* caption : {u"Convert", u"Analyse", u"Play", u"Tags", u"Options", u"Help"})
            Command(FTools, caption);
        FHidden = FTools->Items()->GetItem(1);  // Analyse: new buttons come first, so the first go behind the chevron
        FTools->ChevronItem()->OnPopup = [](TBarCustomItem*, bool) { SetTimer(nullptr, 0, 300, &ChevronOpen); };
        FTools->SetParent(dock);
        FFloating = new TBarCustomToolbar(this);
        FFloating->SetCaption(u"Floating"_qs);
        for (const char16_t* caption : {u"A", u"B", u"C", u"D", u"E", u"F"}) Command(FFloating, caption);
        FFloating->SetFloatingPosition(TPoint(320, 60));
        FFloating->SetParent(this);
        FFloating->SetFloating(true);
    }

    void Start() {
        std::vector<TPoint> sizes;
        FFloating->ListFloatingSizes(sizes);
        std::string line = "sizes";
        for (const TPoint& s : sizes) line += " " + std::to_string(s.X);
        Say(line);
        FFloating->SetFloatingWidth(sizes.size() > 1 ? sizes[1].X : 0);
        FFloating->SetFloating(false);  // placed again at the new width
        FFloating->SetFloating(true);
        FLastWidth = FFloating->Width();
        SetTimer(nullptr, 0, 300, &FloatingShown);
    }

private:
    static void CALLBACK FloatingShown(HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        TBarFloatingWindowParent* frame = demo->FFloating->FloatParent();
        const TRect r(frame->Left(), frame->Top(), frame->Left() + frame->Width(), frame->Top() + frame->Height());
        Compare("floating-toolbar", r);
        Say("floating width " + std::to_string(demo->FFloating->Width()));
        Say("frame " + std::to_string(r.Left) + " " + std::to_string(r.Top) + " " + std::to_string(r.Width()) + " " +
            std::to_string(r.Height()));
        const TPoint c = ScreenCentre(demo->FTools->View(), demo->FTools->ChevronItem(), demo->FTools->Handle());
        Say("chevron " + std::to_string(c.X) + " " + std::to_string(c.Y));
    }
    static void CALLBACK ChevronOpen(HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        Compare("toolbar-chevron", TRect(40, 40, 300, 220));
        for (TBarPopupWindow* w : PopupWindows())
            if (IsWindowVisible(w->Handle())) {
                const TPoint c = ScreenCentre(w->View(), demo->FHidden, w->Handle());
                Say("hidden " + std::to_string(c.X) + " " + std::to_string(c.Y));
                return;
            }
        Say("no popup");
    }
    static void CALLBACK WatchWidth(HWND, UINT, UINT_PTR, DWORD) {
        TBarCustomToolbar* bar = demo->FFloating;
        if (bar->SizeData() || bar->Width() == demo->FLastWidth) return;
        Say("floating width " + std::to_string(bar->Width()));
        vcl::Application->Terminate();
    }
    TBarCustomItem* Command(TBarCustomToolbar* Bar, const char16_t* Caption) {
        auto* item = new TBarCustomItem(this);
        item->SetCaption(String::fromUtf16(Caption));
        item->OnClick = [item](rtl::TObject*) {
            Say("click " + item->Caption().toStdString());
            SetTimer(nullptr, 0, 100, &WatchWidth);  // from now on the floating toolbar's width is watched
        };
        Bar->Items()->Add(item);
        return item;
    }
    TBarCustomToolbar* FTools = nullptr;
    TBarCustomToolbar* FFloating = nullptr;
    TBarCustomItem* FHidden = nullptr;
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
