// A dialog with every standard control, from an in-memory template: its picture matches the expected
// one, in the window model (offscreen, in the suite's run) and on a real X server (ctest runs the test a
// second time as user32_xvfb_screenshot under xvfb-run). Run it with TW_UPDATE_EXPECTED=1 to write the
// expected picture again.
#include "ControlsFixture.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

namespace {

using namespace user32_test;

INT_PTR CALLBACK Quiet(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG; }

DialogBuilder EveryControl() {
    DialogBuilder b(WS_POPUP | WS_BORDER | WS_VISIBLE | DS_3DLOOK, 250, 130, u"");
    b.Item(SS_LEFT, 7, 9, 40, 8, 10, 0x82, u"&Name:")
        .Item(ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 50, 7, 110, 12, 11, 0x81, u"song.webm")
        .Item(BS_GROUPBOX, 7, 24, 100, 50, 12, 0x80, u"Quality")
        .Item(BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 14, 36, 80, 10, 13, 0x80, u"&High")
        .Item(BS_AUTORADIOBUTTON, 14, 48, 80, 10, 14, 0x80, u"&Low")
        .Item(BS_AUTO3STATE | WS_GROUP | WS_TABSTOP, 14, 60, 80, 10, 15, 0x80, u"&Tags")
        .Item(BS_AUTOCHECKBOX | WS_TABSTOP, 7, 78, 100, 10, 16, 0x80, u"&Keep the source")
        .Item(LBS_NOTIFY | WS_BORDER | WS_VSCROLL | WS_TABSTOP, 115, 24, 60, 46, 17, 0x83, u"")
        .Item(CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 182, 24, 60, 60, 18, 0x85, u"")
        .Item(ES_AUTOHSCROLL | ES_NUMBER | WS_BORDER | WS_TABSTOP, 182, 42, 40, 12, 19, 0x81, u"128")
        .Item(UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_AUTOBUDDY, 0, 0, 0, 0, 20, 0, u"", u"msctls_updown32")
        .Item(SBS_HORZ, 115, 76, 127, 10, 21, 0x84, u"")
        .Item(SS_ETCHEDHORZ, 7, 94, 235, 1, 22, 0x82, u"")
        .Item(ES_MULTILINE | ES_READONLY | WS_BORDER, 7, 98, 120, 24, 23, 0x81, u"Read-only notes\r\non two lines")
        .Item(BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP, 138, 108, 50, 14, IDOK, 0x80, u"OK")
        .Item(BS_PUSHBUTTON | WS_TABSTOP, 192, 108, 50, 14, IDCANCEL, 0x80, u"Cancel");
    return b;
}

HWND ShowEveryControl() {
    const DialogBuilder b = EveryControl();
    HWND dlg = CreateDialogIndirectParamW(nullptr, b.Get(), nullptr, Quiet, 0);
    if (!dlg) return nullptr;
    SendDlgItemMessageW(dlg, 13, BM_SETCHECK, BST_CHECKED, 0);
    SendDlgItemMessageW(dlg, 15, BM_SETCHECK, BST_INDETERMINATE, 0);
    SendDlgItemMessageW(dlg, 16, BM_SETCHECK, BST_CHECKED, 0);
    for (const char16_t* s : {u"MP3", u"WAV", u"Copy", u"FLAC"}) {
        SendDlgItemMessageW(dlg, 17, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
        SendDlgItemMessageW(dlg, 18, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
    }
    SendDlgItemMessageW(dlg, 17, LB_SETCURSEL, 1, 0);
    SendDlgItemMessageW(dlg, 18, CB_SETCURSEL, 0, 0);
    SendDlgItemMessageW(dlg, 20, UDM_SETRANGE32, 32, 320);
    SendDlgItemMessageW(dlg, 20, UDM_SETPOS32, 0, 128);
    SetScrollRange(GetDlgItem(dlg, 21), SB_CTL, 0, 10, FALSE);
    SetScrollPos(GetDlgItem(dlg, 21), SB_CTL, 3, TRUE);
    // The focus on the default button, where a caret cannot blink.
    SendMessageW(dlg, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dlg, IDOK)), TRUE);
    SetWindowPos(dlg, nullptr, 40, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    return dlg;
}

QImage ScreenArea(const QRect& r) {
    return QGuiApplication::primaryScreen()->grabWindow(0, r.x(), r.y(), r.width(), r.height()).toImage().convertToFormat(
        QImage::Format_RGB32);
}

TEST(DialogScreenshot, EveryControlMatchesTheExpectedPicture) {
    testing_support::HeadlessApp app;
    HWND dlg = ShowEveryControl();
    ASSERT_TRUE(dlg);
    app.PumpUntilIdle();
    const QImage model = app.Grab(dlg).convertToFormat(QImage::Format_RGB32);
    const QString expectedPath = QStringLiteral(TW_USER32_TEST_DIR "/expected/dialog-every-control.png");
    const bool onX = QGuiApplication::platformName() == QLatin1String("xcb");
    if (!onX && qEnvironmentVariableIsSet("TW_UPDATE_EXPECTED")) {
        ASSERT_TRUE(model.save(expectedPath, "PNG"));
        GTEST_SKIP() << "wrote " << expectedPath.toStdString();
    }
    const QImage expected = QImage(expectedPath).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(expected.isNull()) << "missing " << expectedPath.toStdString();
    const QString saved = app.SaveScreenshot(dlg, QStringLiteral("dialog-every-control.png"));
    EXPECT_EQ(model, expected) << "the dialog's picture differs; see " << saved.toStdString();
    if (!onX) return;
    // The X server shows the picture once the presentation has been exposed and has drawn.
    RECT r;
    GetWindowRect(dlg, &r);
    const QRect area(r.left, r.top, r.right - r.left, r.bottom - r.top);
    QImage shot;
    QElapsedTimer waited;
    waited.start();
    do {
        app.PumpUntilIdle();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        shot = ScreenArea(area);
    } while (shot != expected && waited.elapsed() < 5000);
    if (shot != expected) {
        shot.save(QFileInfo(saved).dir().filePath(QStringLiteral("dialog-every-control-xvfb.png")));
        ADD_FAILURE() << "the screen differs from " << expectedPath.toStdString() << "; saved beside " << saved.toStdString();
    }
    DestroyWindow(dlg);
}

} // namespace
