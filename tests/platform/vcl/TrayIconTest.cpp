// The tray icon: Shell_NotifyIconW over a presentation with a notification area (a recording one here,
// in front of the headless presentation, which has none), and TTrayIcon's hint, clicks, balloon and
// pop-up menu answering a scripted click.
#include "tests/support/windows/FormHarness.h"
#include "tests/support/windows/MenuScript.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Menus.h"
#include "win/shell32/trayapi.h"
#include "win/user32/Backend.h"

#include <map>

#include <gtest/gtest.h>

using namespace vcl;
using testing_support::FormHarness;
using testing_support::MenuScript;

namespace {

// The headless presentation with a notification area that records what it shows.
class TrayRecorder : public twuser::Backend {
public:
    TrayRecorder() : inner_(twuser::CurrentBackend()) { twuser::SetBackend(this); }
    ~TrayRecorder() override { twuser::SetBackend(inner_); }

    struct Shown {
        QImage icon;
        QString tip;
        QString balloonTitle, balloonText;
        int balloonKind = -1;
    };
    std::map<int, Shown> shown;

    bool TrayAvailable() override { return true; }
    bool TraySet(int id, const QImage& icon, const QString& tip) override {
        shown[id].icon = icon;
        shown[id].tip = tip;
        return true;
    }
    void TrayRemove(int id) override { shown.erase(id); }
    bool TrayBalloon(int id, const QString& title, const QString& text, int kind, int) override {
        shown[id].balloonTitle = title;
        shown[id].balloonText = text;
        shown[id].balloonKind = kind;
        return true;
    }

    void Show(HWND h, const twuser::TopLevelInfo& i) override { inner_->Show(h, i); }
    void Hide(HWND h) override { inner_->Hide(h); }
    void Geometry(HWND h, const RECT& r) override { inner_->Geometry(h, r); }
    void Destroyed(HWND h) override { inner_->Destroyed(h); }
    void Title(HWND h, const QString& t) override { inner_->Title(h, t); }
    void Opacity(HWND h, double o) override { inner_->Opacity(h, o); }
    void Present(HWND h, const RECT& d) override { inner_->Present(h, d); }
    void Activate(HWND h) override { inner_->Activate(h); }
    void CursorShape(int id, const QImage* image, POINT hot) override { inner_->CursorShape(id, image, hot); }
    void ProcessEvents(int timeoutMs) override { inner_->ProcessEvents(timeoutMs); }
    void Wake() override { inner_->Wake(); }
    bool ClipboardText(QString& text) override { return inner_->ClipboardText(text); }
    bool ClipboardFiles(QStringList& files) override { return inner_->ClipboardFiles(files); }
    void SetClipboard(const QString* text, const QStringList* files) override { inner_->SetClipboard(text, files); }

private:
    twuser::Backend* inner_;
};

class TTrayForm : public TForm {
public:
    explicit TTrayForm(TComponent* AOwner) : TForm(AOwner) {
        BeginLoading();
        SetPosition(poDesigned);
        SetBounds(100, 100, 300, 200);
        popup = new TPopupMenu(this);
        show = new TMenuItem(this);
        show->SetCaption(QStringLiteral("&Show"));
        popup->Items()->Add(show);
        quit = new TMenuItem(this);
        quit->SetCaption(QStringLiteral("&Quit"));
        popup->Items()->Add(quit);
        tray = new TTrayIcon(this);
        tray->SetHint(QStringLiteral("Tunewright"));
        tray->SetPopupMenu(popup);
        EndLoading();
    }
    TPopupMenu* popup;
    TMenuItem *show, *quit;
    TTrayIcon* tray;
};

HICON RedIcon() {
    BYTE bits[16 * 16 * 4];
    for (int i = 0; i < 16 * 16; ++i) {
        bits[i * 4 + 0] = 0;
        bits[i * 4 + 1] = 0;
        bits[i * 4 + 2] = 255;
        bits[i * 4 + 3] = 255;
    }
    ICONINFO ii{};
    ii.fIcon = TRUE;
    ii.hbmColor = CreateBitmap(16, 16, 1, 32, bits);
    ii.hbmMask = CreateBitmap(16, 16, 1, 1, nullptr);
    HICON icon = CreateIconIndirect(&ii);
    DeleteObject(ii.hbmColor);
    DeleteObject(ii.hbmMask);
    return icon;
}

} // namespace

TEST(TrayIcon, WithoutANotificationAreaTheIconIsRefused) {
    FormHarness h;
    auto* f = h.Create<TTrayForm>();
    NOTIFYICONDATAW d{};
    d.cbSize = sizeof d;
    d.hWnd = f->tray->Handle();
    d.uFlags = NIF_TIP;
    EXPECT_FALSE(Shell_NotifyIconW(NIM_ADD, &d));  // the headless presentation has no tray
    f->tray->SetVisible(true);
    EXPECT_TRUE(f->tray->Visible());
    EXPECT_FALSE(f->tray->Shown());
    d.cbSize = 3;
    EXPECT_FALSE(Shell_NotifyIconW(NIM_ADD, &d));
    EXPECT_FALSE(Shell_NotifyIconW(NIM_ADD, nullptr));
}

TEST(TrayIcon, ShowsItsIconHintAndBalloonAndLeavesWhenHidden) {
    FormHarness h;
    TrayRecorder tray;
    auto* f = h.Create<TTrayForm>();
    f->tray->Icon()->SetHandle(RedIcon());
    f->tray->SetVisible(true);
    ASSERT_TRUE(f->tray->Shown());
    const int id = TwTrayIdOf(f->tray->Handle(), 0);
    ASSERT_EQ(tray.shown.count(id), 1u);
    EXPECT_EQ(tray.shown[id].tip, QStringLiteral("Tunewright"));
    ASSERT_FALSE(tray.shown[id].icon.isNull());
    EXPECT_EQ(tray.shown[id].icon.pixel(8, 8), qRgba(255, 0, 0, 255));
    f->tray->SetHint(QStringLiteral("Converting"));
    EXPECT_EQ(tray.shown[id].tip, QStringLiteral("Converting"));
    f->tray->SetBalloonTitle(QStringLiteral("Done"));
    f->tray->SetBalloonHint(QStringLiteral("3 files converted"));
    f->tray->SetBalloonFlags(bfWarning);
    f->tray->ShowBalloonHint();
    EXPECT_EQ(tray.shown[id].balloonTitle, QStringLiteral("Done"));
    EXPECT_EQ(tray.shown[id].balloonText, QStringLiteral("3 files converted"));
    EXPECT_EQ(tray.shown[id].balloonKind, int(NIIF_WARNING));
    f->tray->SetVisible(false);
    EXPECT_TRUE(tray.shown.empty());
    EXPECT_EQ(TwTrayIdOf(f->tray->Handle(), 0), 0);
}

TEST(TrayIcon, ClicksReachTheEventsAndTheMenuAnswersAScriptedClick) {
    FormHarness h;
    TrayRecorder tray;
    MenuScript script(h.App());
    auto* f = h.Create<TTrayForm>();
    f->tray->SetVisible(true);
    const int id = TwTrayIdOf(f->tray->Handle(), 0);
    int clicks = 0, doubles = 0, quits = 0, popups = 0;
    f->tray->OnClick = rtl::TNotifyEvent([&](rtl::TObject*) { ++clicks; });
    f->tray->OnDblClick = rtl::TNotifyEvent([&](rtl::TObject*) { ++doubles; });
    f->quit->OnClick = rtl::TNotifyEvent([&](rtl::TObject*) { ++quits; });
    f->popup->OnPopup = rtl::TNotifyEvent([&](rtl::TObject*) { ++popups; });

    TwTrayEvent(id, WM_LBUTTONDOWN, 1200, 1000);
    TwTrayEvent(id, WM_LBUTTONUP, 1200, 1000);
    TwTrayEvent(id, WM_LBUTTONDBLCLK, 1200, 1000);
    h.Pump();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(doubles, 1);

    // A right click opens the menu at the pointer; the user picks Quit.
    script.Then([&] {
        const auto wins = MenuScript::MenuWindows();
        ASSERT_EQ(wins.size(), 1u);
        RECT wr;
        GetWindowRect(wins[0], &wr);
        EXPECT_LE(wr.bottom, 1000);  // opened upwards, away from the screen's edge
        EXPECT_EQ(f->popup->PopupComponent(), f->tray);
        MenuScript::Key('Q', u"q");
    });
    TwTrayEvent(id, WM_RBUTTONDOWN, 1200, 1000);
    TwTrayEvent(id, WM_RBUTTONUP, 1200, 1000);
    h.Pump();
    EXPECT_EQ(popups, 1);
    EXPECT_EQ(quits, 1);
    EXPECT_TRUE(script.Done());
}
