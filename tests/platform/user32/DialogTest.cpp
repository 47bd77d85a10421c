// The dialog manager: templates, DefDlgProcW, keyboard navigation, default and Cancel buttons, modal loops.
#include "ControlsFixture.h"

using namespace user32_test;

namespace {

struct DialogLog {
    std::vector<std::pair<int, int>> commands;  // (code, id)
    HWND initFocus = nullptr;
    bool endOnCommand = false;
};

INT_PTR CALLBACK LoggingDialog(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    auto* log = reinterpret_cast<DialogLog*>(GetWindowLongPtrW(dlg, DWLP_USER));
    switch (msg) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(dlg, DWLP_USER, lp);
        reinterpret_cast<DialogLog*>(lp)->initFocus = reinterpret_cast<HWND>(wp);
        return TRUE;
    case WM_COMMAND:
        if (!log || HIWORD(wp) >= EN_SETFOCUS) return FALSE;  // the buttons' commands, not the edit's
        log->commands.emplace_back(HIWORD(wp), LOWORD(wp));
        if (log->endOnCommand && HIWORD(wp) == BN_CLICKED) EndDialog(dlg, LOWORD(wp) + 100);
        return TRUE;
    default: return FALSE;
    }
}

// A name edit, a radio group of three, a check box and OK (default), Cancel.
DialogBuilder Sample() {
    DialogBuilder b(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 200, 120, u"Sample");
    b.Item(SS_LEFT, 7, 7, 40, 8, 100, 0x82, u"&Name:")
        .Item(ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 50, 5, 100, 12, 101, 0x81, u"")
        .Item(BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 7, 25, 60, 10, 201, 0x80, u"&Low")
        .Item(BS_AUTORADIOBUTTON, 7, 37, 60, 10, 202, 0x80, u"&Mid")
        .Item(BS_AUTORADIOBUTTON, 7, 49, 60, 10, 203, 0x80, u"&High")
        .Item(BS_AUTOCHECKBOX | WS_GROUP | WS_TABSTOP, 7, 65, 80, 10, 301, 0x80, u"&Keep")
        .Item(BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP, 90, 100, 50, 14, IDOK, 0x80, u"OK")
        .Item(BS_PUSHBUTTON | WS_TABSTOP, 145, 100, 50, 14, IDCANCEL, 0x80, u"Cancel");
    return b;
}

class DialogTest : public WindowTest {
protected:
    // The dialogs go before the log their procedure writes to (destroying an edit still notifies).
    ~DialogTest() override { TwResetWindowing(); }
    DialogLog log;
    HWND Modeless(const DialogBuilder& b) {
        HWND dlg = CreateDialogIndirectParamW(nullptr, b.Get(), nullptr, LoggingDialog, reinterpret_cast<LPARAM>(&log));
        ShowWindow(dlg, SW_SHOW);
        app.PumpUntilIdle();
        return dlg;
    }
};

} // namespace

TEST_F(DialogTest, TemplateItemsBecomeControlsInDialogUnitsWithTheFirstTabStopFocused) {
    const DialogBuilder b = Sample();
    HWND dlg = Modeless(b);
    ASSERT_TRUE(dlg);
    WCHAR cls[32];
    GetClassNameW(dlg, cls, 32);
    EXPECT_EQ(std::u16string(cls), u"#32770");
    HWND edit = GetDlgItem(dlg, 101);
    ASSERT_TRUE(edit);
    GetClassNameW(edit, cls, 32);
    EXPECT_EQ(QString::fromUtf16(cls).toLower(), "edit");
    EXPECT_EQ(log.initFocus, edit);
    EXPECT_EQ(GetFocus(), edit);
    // Dialog units scale with the font's base units: MapDialogRect gives the same pixels.
    RECT expect{50, 5, 150, 17};
    MapDialogRect(dlg, &expect);
    RECT r;
    GetWindowRect(edit, &r);
    MapWindowPoints(nullptr, dlg, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, expect.left);
    EXPECT_EQ(r.bottom, expect.bottom);
    EXPECT_GT(expect.right - expect.left, 100);  // a dialog unit is more than a pixel across
    EXPECT_EQ(SendMessageW(dlg, DM_GETDEFID, 0, 0), MAKELRESULT(IDOK, DC_HASDEFID));
}

TEST_F(DialogTest, EnterPressesTheDefaultButtonAndEscapeCancels) {
    const DialogBuilder b = Sample();
    HWND dlg = Modeless(b);
    DialogKey(dlg, VK_RETURN);
    DialogKey(dlg, VK_ESCAPE);
    EXPECT_EQ(log.commands, (std::vector<std::pair<int, int>>{{BN_CLICKED, IDOK}, {BN_CLICKED, IDCANCEL}}));
    // On a push button the dialog moved the focus to, Enter presses that one; a disabled default button
    // is not pressed.
    log.commands.clear();
    SendMessageW(dlg, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dlg, IDCANCEL)), TRUE);
    DialogKey(dlg, VK_RETURN);
    SetFocus(GetDlgItem(dlg, 101));
    EnableWindow(GetDlgItem(dlg, IDOK), FALSE);
    DialogKey(dlg, VK_RETURN);
    EXPECT_EQ(log.commands, (std::vector<std::pair<int, int>>{{BN_CLICKED, IDCANCEL}}));
    // DM_SETDEFID moves the default to another button, its look too.
    log.commands.clear();
    EnableWindow(GetDlgItem(dlg, IDOK), TRUE);
    SendMessageW(dlg, DM_SETDEFID, IDCANCEL, 0);
    EXPECT_EQ(SendMessageW(dlg, DM_GETDEFID, 0, 0), MAKELRESULT(IDCANCEL, DC_HASDEFID));
    EXPECT_EQ(GetWindowLongW(GetDlgItem(dlg, IDOK), GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
    EXPECT_EQ(GetWindowLongW(GetDlgItem(dlg, IDCANCEL), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    SetFocus(GetDlgItem(dlg, 101));
    DialogKey(dlg, VK_RETURN);
    EXPECT_EQ(log.commands, (std::vector<std::pair<int, int>>{{BN_CLICKED, IDCANCEL}}));
}

TEST_F(DialogTest, TabVisitsTabStopsAndArrowsMoveAndCheckWithinTheRadioGroup) {
    const DialogBuilder b = Sample();
    HWND dlg = Modeless(b);
    CheckRadioButton(dlg, 201, 203, 201);
    std::vector<int> visited;
    for (int i = 0; i < 5; ++i) {
        DialogKey(dlg, VK_TAB);
        visited.push_back(GetDlgCtrlID(GetFocus()));
    }
    EXPECT_EQ(visited, (std::vector<int>{201, 301, IDOK, IDCANCEL, 101}));
    SetFocus(GetDlgItem(dlg, 201));
    DialogKey(dlg, VK_DOWN);
    EXPECT_EQ(GetDlgCtrlID(GetFocus()), 202);
    EXPECT_EQ(IsDlgButtonChecked(dlg, 202), UINT(BST_CHECKED));
    EXPECT_EQ(IsDlgButtonChecked(dlg, 201), UINT(BST_UNCHECKED));
    DialogKey(dlg, VK_DOWN);
    DialogKey(dlg, VK_DOWN);  // wraps inside the group, never onto the check box
    EXPECT_EQ(GetDlgCtrlID(GetFocus()), 201);
    EXPECT_EQ(IsDlgButtonChecked(dlg, 301), UINT(BST_UNCHECKED));
    // The focused push button shows as the default one while it has the focus.
    SetFocus(GetDlgItem(dlg, 301));
    DialogKey(dlg, VK_TAB);
    DialogKey(dlg, VK_TAB);
    EXPECT_EQ(GetDlgCtrlID(GetFocus()), IDCANCEL);
    EXPECT_EQ(GetWindowLongW(GetDlgItem(dlg, IDCANCEL), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    EXPECT_EQ(GetWindowLongW(GetDlgItem(dlg, IDOK), GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
}

TEST_F(DialogTest, MnemonicsFocusTheLabelledControlOrPressTheButton) {
    const DialogBuilder b = Sample();
    HWND dlg = Modeless(b);
    MSG m{GetFocus(), WM_SYSCHAR, u'k', 0, 0, {0, 0}};
    EXPECT_TRUE(IsDialogMessageW(dlg, &m));
    EXPECT_EQ(IsDlgButtonChecked(dlg, 301), UINT(BST_CHECKED));
    m = MSG{GetFocus(), WM_SYSCHAR, u'N', 0, 0, {0, 0}};
    IsDialogMessageW(dlg, &m);
    EXPECT_EQ(GetDlgCtrlID(GetFocus()), 101);  // "&Name:" hands over to the edit after it
}

TEST_F(DialogTest, ModalDialogDisablesItsOwnerAndReturnsWhatEndDialogGave) {
    const DialogBuilder b = Sample();
    HWND owner = TopLevel();
    log.endOnCommand = true;
    bool ownerWasDisabled = false;
    app.OnIdle([&] {
        HWND dlg = FindWindowW(u"#32770", u"Sample");
        if (!dlg || !IsWindowVisible(dlg)) return;
        ownerWasDisabled = !IsWindowEnabled(owner);
        const POINT p = testing_support::HeadlessApp::ToScreen(GetDlgItem(dlg, IDCANCEL), {5, 5});
        TwInputMouseMove(p.x, p.y);
        TwInputMouseButton(p.x, p.y, TW_BUTTON_LEFT, TRUE);
        TwInputMouseButton(p.x, p.y, TW_BUTTON_LEFT, FALSE);
    });
    const INT_PTR r = DialogBoxIndirectParamW(nullptr, b.Get(), owner, LoggingDialog, reinterpret_cast<LPARAM>(&log));
    EXPECT_EQ(r, IDCANCEL + 100);
    EXPECT_TRUE(ownerWasDisabled);
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_EQ(FindWindowW(u"#32770", u"Sample"), nullptr);
}

TEST_F(DialogTest, CloseBoxAsksForCancelUnlessCancelIsDisabled) {
    const DialogBuilder b = Sample();
    HWND dlg = Modeless(b);
    SendMessageW(dlg, WM_CLOSE, 0, 0);
    app.PumpUntilIdle();
    EnableWindow(GetDlgItem(dlg, IDCANCEL), FALSE);
    SendMessageW(dlg, WM_CLOSE, 0, 0);
    app.PumpUntilIdle();
    EXPECT_EQ(log.commands, (std::vector<std::pair<int, int>>{{BN_CLICKED, IDCANCEL}}));
}

TEST_F(DialogTest, ADialogWithEveryControlIsDrawn) {
    DialogBuilder b(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 230, 150, u"Every control");
    b.Item(BS_GROUPBOX, 5, 3, 105, 55, 10, 0x80, u"&Quality")
        .Item(BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 12, 15, 90, 10, 11, 0x80, u"&High")
        .Item(BS_AUTORADIOBUTTON, 12, 27, 90, 10, 12, 0x80, u"&Low")
        .Item(BS_AUTOCHECKBOX | WS_TABSTOP, 12, 41, 90, 10, 13, 0x80, u"&Keep tags")
        .Item(SS_LEFT, 118, 5, 40, 8, 20, 0x82, u"&Name:")
        .Item(ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 118, 15, 105, 12, 21, 0x81, u"song.webm")
        .Item(CBS_DROPDOWNLIST | WS_TABSTOP | WS_VSCROLL, 118, 32, 105, 60, 22, 0x85, u"")
        .Item(LBS_NOTIFY | WS_BORDER | WS_VSCROLL | WS_TABSTOP, 5, 62, 105, 50, 30, 0x83, u"")
        .Item(ES_MULTILINE | WS_BORDER | WS_VSCROLL, 118, 50, 105, 40, 31, 0x81, u"Line one\r\nLine two")
        .Item(SBS_HORZ, 118, 95, 80, 10, 32, 0x84, u"")
        .Item(ES_NUMBER | WS_BORDER, 118, 108, 40, 12, 33, 0x81, u"5")
        .Item(UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_AUTOBUDDY | UDS_ARROWKEYS, 0, 0, 10, 12, 34, 0, u"", u"msctls_updown32")
        .Item(SS_ETCHEDHORZ, 5, 118, 220, 1, 35, 0x82, u"")
        .Item(BS_DEFPUSHBUTTON | WS_TABSTOP, 118, 128, 50, 14, IDOK, 0x80, u"OK")
        .Item(BS_PUSHBUTTON | WS_TABSTOP, 173, 128, 50, 14, IDCANCEL, 0x80, u"Cancel");
    HWND dlg = Modeless(b);
    for (const char16_t* t : {u"MP3", u"WAV"}) SendDlgItemMessageW(dlg, 22, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(t));
    SendDlgItemMessageW(dlg, 22, CB_SETCURSEL, 0, 0);
    for (const char16_t* t : {u"first.webm", u"second.mp4", u"third.flv"})
        SendDlgItemMessageW(dlg, 30, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(t));
    SendDlgItemMessageW(dlg, 30, LB_SETCURSEL, 1, 0);
    CheckRadioButton(dlg, 11, 12, 11);
    CheckDlgButton(dlg, 13, BST_CHECKED);
    app.PumpUntilIdle();
    const QString path = app.SaveScreenshot(dlg, "dialog-every-control.png");
    const QImage shot = app.Grab(dlg);
    ASSERT_FALSE(shot.isNull());
    // Some of each look: the face colour of the dialog, the window colour of the edits and the list, the
    // highlight of the list's selection.
    auto count = [&](COLORREF c) {
        const QRgb want = qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
        int n = 0;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x) n += (shot.pixel(x, y) & 0xFFFFFF) == (want & 0xFFFFFF);
        return n;
    };
    EXPECT_GT(count(GetSysColor(COLOR_BTNFACE)), shot.width() * shot.height() / 4);
    EXPECT_GT(count(GetSysColor(COLOR_WINDOW)), 2000);
    EXPECT_GT(count(GetSysColor(COLOR_HIGHLIGHT)), 100);
    EXPECT_FALSE(path.isEmpty());
}
