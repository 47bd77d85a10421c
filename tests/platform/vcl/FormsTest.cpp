// Forms and the application: the modal loop, closing, the message loop's end, exceptions in handlers,
// shortcuts of actions, timers on the manual clock, hints.
#include "tests/support/windows/FormHarness.h"
#include "vcl/ActnList.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"

#include <gtest/gtest.h>

using namespace vcl;
using testing_support::FormHarness;

namespace {

class TFocusPad : public TCustomControl {
public:
    explicit TFocusPad(TComponent* AOwner) : TCustomControl(AOwner) { SetTabStop(true); }
    int keys = 0;

protected:
    void KeyDown(WORD& Key, TShiftState Shift) override {
        ++keys;
        TCustomControl::KeyDown(Key, Shift);
    }
};

class TShortcutForm : public TForm {
public:
    explicit TShortcutForm(TComponent* AOwner) : TForm(AOwner) {
        BeginLoading();
        SetBounds(50, 50, 300, 200);
        pad = new TFocusPad(this);
        pad->SetBounds(10, 10, 100, 50);
        pad->SetParent(this);
        actions = new TActionList(this);
        refresh = new TAction(this);
        refresh->SetActionList(actions);
        refresh->SetCaption(u"Refresh"_qs);
        refresh->SetShortCut(ShortCut(VK_F5, {}));
        refresh->SetOnExecute([this](TObject*) { ++executed; });
        pad->SetAction(refresh);
        EndLoading();
    }
    TFocusPad* pad;
    TActionList* actions;
    TAction* refresh;
    int executed = 0;
};

} // namespace

TEST(FormActions, ShortcutRunsTheActionOnceAndNeverWhileDisabled) {
    FormHarness h;
    auto* form = h.Show<TShortcutForm>();
    form->pad->SetFocus();
    h.Pump();
    ASSERT_TRUE(form->pad->Focused());
    h.Keys(VK_F5);
    EXPECT_EQ(form->executed, 1);
    EXPECT_EQ(form->pad->keys, 0);  // a shortcut never reaches the control as a key
    form->refresh->SetEnabled(false);
    EXPECT_FALSE(form->pad->Enabled());  // the linked control follows its action
    form->pad->SetEnabled(true);
    form->pad->SetFocus();
    h.Pump();
    h.Keys(VK_F5);
    EXPECT_EQ(form->executed, 1);
    EXPECT_EQ(form->pad->keys, 1);  // the disabled action let the key through
    // The control's caption followed the action; its click runs it.
    EXPECT_EQ(form->pad->Caption(), u"Refresh"_qs);
    form->refresh->SetEnabled(true);
    h.Click(form->pad);
    EXPECT_EQ(form->executed, 2);
}

TEST(FormModal, ShowModalRunsItsOwnLoopAndReturnsTheModalResult) {
    FormHarness h;
    auto* mainForm = h.Show<TForm>();
    auto* dialog = new TForm(mainForm);
    dialog->SetBounds(0, 0, 200, 100);
    dialog->SetPosition(poMainFormCenter);
    bool mainWasDisabled = false;
    h.Script({FormHarness::Answer(mrOk, [&](const FormHarness::Dialog& d) {
        EXPECT_EQ(d.form, dialog);
        mainWasDisabled = !IsWindowEnabled(mainForm->Handle());
        EXPECT_TRUE(IsWindowVisible(dialog->Handle()));
    })});
    EXPECT_EQ(dialog->ShowModal(), mrOk);
    EXPECT_TRUE(mainWasDisabled);
    EXPECT_TRUE(IsWindowEnabled(mainForm->Handle()));
    EXPECT_FALSE(dialog->Visible());
    EXPECT_FALSE(dialog->FormState().Contains(fsModal));
    // Centred on the main form.
    EXPECT_EQ(dialog->Left() + dialog->Width() / 2, mainForm->Left() + mainForm->Width() / 2);
    // A visible form cannot go modal.
    dialog->Show();
    EXPECT_THROW(dialog->ShowModal(), rtl::EInvalidOperation);
}

TEST(FormModal, CloseQueryAndCloseActionDecideWhetherAModalFormEnds) {
    FormHarness h;
    auto* dialog = h.Create<TForm>();
    int asked = 0;
    dialog->OnCloseQuery = [&](TObject*, bool& CanClose) { CanClose = ++asked > 1; };
    // First answer refused by CloseQuery (the loop goes on), the second accepted.
    h.Script({FormHarness::Answer(mrYes), FormHarness::Answer(mrNo)});
    EXPECT_EQ(dialog->ShowModal(), mrNo);
    EXPECT_EQ(asked, 2);
}

TEST(FormApplication, TerminateBeforeRunReturnsAtOnce) {
    FormHarness h;
    Application->Terminate();
    Application->Run();
    EXPECT_TRUE(Application->Terminated());
}

TEST(FormApplication, ClosingTheMainFormEndsRun) {
    FormHarness h;
    auto* mainForm = h.Create<TForm>();
    auto* other = h.Create<TForm>();
    std::vector<std::string> events;
    mainForm->OnShow = [&](TObject*) { events.push_back("show"); };
    mainForm->OnClose = [&](TObject*, TCloseAction& Action) {
        events.push_back("close");
        EXPECT_EQ(Action, caHide);
    };
    other->OnClose = [&](TObject*, TCloseAction& Action) { Action = caFree; };
    h.WhenIdle([&] {
        other->Show();
        PostMessageW(other->Handle(), WM_CLOSE, 0, 0);  // a second form closing does not end the run
    });
    h.WhenIdle([&] { PostMessageW(mainForm->Handle(), WM_CLOSE, 0, 0); });
    Application->Run();
    EXPECT_TRUE(Application->Terminated());
    EXPECT_EQ(events, (std::vector<std::string>{"show", "close"}));
    EXPECT_EQ(Screen->FormCount(), 1);  // the other form freed itself (caFree)
}

TEST(FormApplication, ExceptionInAHandlerGoesToHandleExceptionAndTheLoopGoesOn) {
    FormHarness h;
    auto* form = h.Show<TShortcutForm>();
    form->pad->SetAction(nullptr);
    int clicks = 0;
    form->pad->OnClick = [&](TObject*) {
        if (++clicks == 1) throw rtl::EConvertError(u"bad value"_qs);
    };
    std::vector<QString> errors;
    Application->OnException = [&](TObject* Sender, rtl::Exception* E) {
        EXPECT_EQ(Sender, form->pad);
        errors.push_back(E->Message());
    };
    h.Click(form->pad);
    h.Advance(std::chrono::milliseconds(1000));  // not a double click
    h.Click(form->pad);
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(errors, (std::vector<QString>{u"bad value"_qs}));
    // Without a handler the message is shown in a box, with a full stop added.
    Application->OnException = nullptr;
    clicks = 0;
    h.Script({IDOK});
    h.Advance(std::chrono::milliseconds(1000));
    h.Click(form->pad);
    ASSERT_EQ(h.Dialogs().size(), 1u);
    EXPECT_EQ(h.Dialogs()[0].text, u"bad value."_qs);
    EXPECT_TRUE(h.Dialogs()[0].type & MB_ICONSTOP);
    EXPECT_EQ(h.Dialogs()[0].caption, u"vcl_tests"_qs);  // the application's title: the program's name
}

TEST(FormTimer, FiresOnTheManualClockAndMayFreeItselfInItsHandler) {
    FormHarness h;
    auto* timer = new TTimer(nullptr);
    timer->SetInterval(100);
    int ticks = 0;
    timer->SetOnTimer([&](TObject*) { ++ticks; });
    h.Advance(std::chrono::milliseconds(99));
    EXPECT_EQ(ticks, 0);
    h.Advance(std::chrono::milliseconds(1));
    EXPECT_EQ(ticks, 1);
    h.Advance(std::chrono::milliseconds(250));
    EXPECT_EQ(ticks, 3);
    timer->SetEnabled(false);
    h.Advance(std::chrono::milliseconds(500));
    EXPECT_EQ(ticks, 3);
    timer->SetEnabled(true);
    timer->SetOnTimer([&](TObject* Sender) {
        ++ticks;
        delete static_cast<TTimer*>(Sender);
    });
    h.Advance(std::chrono::milliseconds(1000));
    EXPECT_EQ(ticks, 4);
}

TEST(FormHints, HintAppearsAfterThePauseAndGoesAfterTheHidePause) {
    FormHarness h;
    auto* form = h.Show<TShortcutForm>();
    form->pad->SetAction(nullptr);
    form->pad->SetHint(u"Refresh the list|Reads the folder again"_qs);
    form->pad->SetShowHint(true);
    Application->SetHintPause(500);
    Application->SetHintHidePause(2000);
    h.MoveTo(form->pad, POINT{5, 5});
    EXPECT_EQ(Application->Hint(), u"Reads the folder again"_qs);
    h.Advance(std::chrono::milliseconds(400));
    EXPECT_TRUE(!Application->HintWindow() || !Application->HintWindow()->HandleAllocated());
    h.Advance(std::chrono::milliseconds(100));
    THintWindow* hint = Application->HintWindow();
    ASSERT_NE(hint, nullptr);
    ASSERT_TRUE(hint->HandleAllocated());
    EXPECT_TRUE(IsWindowVisible(hint->Handle()));
    EXPECT_EQ(hint->Caption(), u"Refresh the list"_qs);
    // Below the pointer.
    const TPoint cursor = form->pad->ClientToScreen(TPoint(5, 5));
    EXPECT_GT(hint->Top(), cursor.Y);
    h.Advance(std::chrono::milliseconds(2000));
    EXPECT_FALSE(hint->HandleAllocated());
    // A control without ShowHint shows none.
    form->pad->SetShowHint(false);
    h.MoveTo(form->pad, POINT{6, 6});
    h.Advance(std::chrono::milliseconds(1000));
    EXPECT_FALSE(hint->HandleAllocated());
}

TEST(FormInput, WheelGoesToTheFocusedControlThenUpToItsParentsOnce) {
    FormHarness h;
    auto* form = h.Show<TShortcutForm>();
    form->pad->SetFocus();
    h.Pump();
    std::vector<std::string> seen;
    form->pad->OnMouseWheel = [&](TObject*, TShiftState, int Delta, TPoint, bool& Handled) {
        seen.push_back("pad:" + std::to_string(Delta));
        Handled = false;
    };
    form->OnMouseWheel = [&](TObject*, TShiftState, int Delta, TPoint, bool& Handled) {
        seen.push_back("form:" + std::to_string(Delta));
        Handled = true;
    };
    h.App().Wheel(form->Handle(), POINT{200, 150}, -WHEEL_DELTA);
    EXPECT_EQ(seen, (std::vector<std::string>{"pad:-120", "form:-120"}));
}

TEST(FormInput, FilesDroppedOnTheFormReachOnDropFiles) {
    FormHarness h;
    auto* form = h.Create<TForm>();
    form->SetAcceptFiles(true);
    form->Show();
    h.Pump();
    QStringList got;
    TPoint at;
    form->OnDropFiles = [&](TObject*, const QStringList& Files, TPoint Pos) {
        got = Files;
        at = Pos;
    };
    const POINT p = testing_support::HeadlessApp::ToScreen(form->Handle(), POINT{30, 40});
    ASSERT_TRUE(TwInputDropFiles(p.x, p.y, u"/tmp/a b.webm\0/tmp/c.mp4\0"));
    h.Pump();
    EXPECT_EQ(got, (QStringList{u"/tmp/a b.webm"_qs, u"/tmp/c.mp4"_qs}));
    EXPECT_EQ(at, TPoint(30, 40));
}

TEST(FormPlacement, PositionStyleAndStateReachTheWindow) {
    FormHarness h;
    auto* form = h.Create<TForm>();
    form->SetBounds(0, 0, 400, 300);
    form->SetPosition(poScreenCenter);
    form->SetFormStyle(fsStayOnTop);
    form->SetBorderStyle(bsDialog);
    form->Show();
    h.Pump();
    const TRect work = Screen->WorkAreaRect();
    EXPECT_EQ(form->Left(), work.Left + (work.Width() - 400) / 2);
    EXPECT_EQ(form->Top(), work.Top + (work.Height() - 300) / 2);
    const LONG ex = GetWindowLongW(form->Handle(), GWL_EXSTYLE), style = GetWindowLongW(form->Handle(), GWL_STYLE);
    EXPECT_TRUE(ex & WS_EX_TOPMOST);
    EXPECT_TRUE(ex & WS_EX_DLGMODALFRAME);
    EXPECT_FALSE(style & WS_THICKFRAME);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);  // a dialog has no minimise or maximise box
    // Checked before pumping: the offscreen presentation reports its own geometry back afterwards.
    form->SetWindowState(wsMaximized);
    EXPECT_TRUE(IsZoomed(form->Handle()));
    EXPECT_EQ(form->WindowState(), wsMaximized);
    EXPECT_EQ(form->Width(), work.Width());
    form->SetWindowState(wsNormal);
    EXPECT_FALSE(IsZoomed(form->Handle()));
    EXPECT_EQ(form->Width(), 400);
}

TEST(FormApplication, OnMessageSeesMessagesFirstAndIdleUpdatesActions) {
    FormHarness h;
    auto* form = h.Show<TShortcutForm>();
    int updates = 0;
    form->refresh->OnUpdate = [&](TObject*) { ++updates; };
    std::vector<UINT> seen;
    Application->OnMessage = [&](MSG& Msg, bool& Handled) {
        if (Msg.message == WM_USER + 7) {
            seen.push_back(Msg.message);
            Handled = true;
        }
    };
    int idles = 0;
    Application->OnIdle = [&](TObject*, bool& Done) {
        ++idles;
        Done = true;
    };
    PostMessageW(form->Handle(), WM_USER + 7, 0, 0);
    h.WhenIdle([&] { Application->Terminate(); });
    Application->Run();
    EXPECT_EQ(seen, (std::vector<UINT>{WM_USER + 7}));
    EXPECT_GE(idles, 1);
    EXPECT_GE(updates, 1);  // the pad's action was updated at idle time
}

TEST(FormApplication, WindowHookSeesTheApplicationsShortcutMessage) {
    FormHarness h;
    auto* mainForm = h.Show<TShortcutForm>();
    auto* other = new TShortcutForm(mainForm);
    other->refresh->SetShortCut(ShortCut('R', {ssCtrl}));
    other->Show();
    other->pad->SetFocus();
    h.Pump();
    std::vector<WPARAM> keys;
    TApplication::TWindowHook watch = [&](TMessage& m) {
        if (m.Msg == CM_APPKEYDOWN) keys.push_back(m.WParam);
        return false;
    };
    Application->HookMainWindow(watch);
    // F5 is the main form's shortcut: from the other form it runs through the application, once.
    h.Keys(VK_F5);
    EXPECT_EQ(mainForm->executed, 1);
    EXPECT_EQ(other->executed, 0);
    EXPECT_EQ(keys, (std::vector<WPARAM>{VK_F5}));
    h.Keys('R', {VK_CONTROL});
    EXPECT_EQ(other->executed, 1);
    EXPECT_EQ(mainForm->executed, 1);
    // Alt+letter on the other form reaches the main form's system command through the same window.
    std::vector<WPARAM> commands;
    TApplication::TWindowHook menus = [&](TMessage& m) {
        if (m.Msg == CM_APPSYSCOMMAND) commands.push_back(m.WParam);
        return false;
    };
    Application->HookMainWindow(menus);
    SendMessageW(other->Handle(), WM_SYSCOMMAND, SC_KEYMENU, 'f');
    EXPECT_EQ(commands, (std::vector<WPARAM>{SC_KEYMENU}));
    Application->UnhookMainWindow(menus);
    Application->UnhookMainWindow(watch);
}

namespace {
// An action that works on any TFocusPad (as the standard edit actions work on edits).
class TPadAction : public TAction {
public:
    using TAction::TAction;
    TObject* target = nullptr;
    bool HandlesTarget(TObject* Target) override { return dynamic_cast<TFocusPad*>(Target) != nullptr; }
    void ExecuteTarget(TObject* Target) override { target = Target; }
};
} // namespace

TEST(FormActions, ActionWithoutHandlerRunsOnTheActiveControlOfTheActiveForm) {
    FormHarness h;
    auto* form = h.Show<TShortcutForm>();
    auto* action = new TPadAction(form);
    form->pad->SetFocus();
    h.Pump();
    EXPECT_TRUE(action->Execute());
    EXPECT_EQ(action->target, form->pad);
}

TEST(ControlReflectionExtra, DrawAndMeasureItemAndSystemColoursReachTheChildren) {
    std::vector<UINT> got; // outlives the harness, whose form still sends the pad messages as it goes
    FormHarness h;
    auto* form = h.Show<TShortcutForm>();
    TFocusPad* pad = form->pad;
    pad->WindowProc = [pad, &got](TMessage& m) {
        if (m.Msg == CN_DRAWITEM || m.Msg == CN_MEASUREITEM || m.Msg == CM_SYSCOLORCHANGE || m.Msg == CM_WININICHANGE)
            got.push_back(m.Msg);
        pad->WndProc(m);
    };
    struct { UINT CtlType, CtlID, itemID, itemAction, itemState; HWND hwndItem; HDC hDC; RECT rcItem; ULONG_PTR itemData; } draw{};
    draw.CtlType = 4;  // a button
    draw.hwndItem = pad->Handle();
    SendMessageW(form->Handle(), WM_DRAWITEM, 0, LPARAM(&draw));
    struct { UINT CtlType, CtlID, itemID, itemWidth, itemHeight; ULONG_PTR itemData; } measure{};
    measure.CtlType = 3;
    measure.CtlID = UINT(GetDlgCtrlID(pad->Handle()));
    SendMessageW(form->Handle(), WM_MEASUREITEM, measure.CtlID, LPARAM(&measure));
    SendMessageW(form->Handle(), WM_SYSCOLORCHANGE, 0, 0);
    SendMessageW(form->Handle(), WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0);
    EXPECT_EQ(got, (std::vector<UINT>{CN_DRAWITEM, CN_MEASUREITEM, CM_SYSCOLORCHANGE, CM_WININICHANGE}));
}

TEST(FormApplication, HelpRequestsGoToOnHelpOnly) {
    FormHarness h;
    EXPECT_FALSE(Application->HelpContext(42));  // no viewer, no handler: not handled
    std::vector<std::pair<WORD, QString>> asked;
    Application->OnHelp = [&](WORD Command, intptr_t Data, bool&) {
        asked.emplace_back(Command, Command == 0x0101 ? QString::fromUtf16(reinterpret_cast<const char16_t*>(Data))
                                                      : QString::number(Data));
        return true;
    };
    EXPECT_TRUE(Application->HelpContext(42));
    EXPECT_TRUE(Application->HelpKeyword(u"profiles"_qs));
    EXPECT_EQ(asked, (std::vector<std::pair<WORD, QString>>{{0x0001, u"42"_qs}, {0x0101, u"profiles"_qs}}));
}
