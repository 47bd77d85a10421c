// tests/support/windows/FormHarness.h: runs the class library's forms headless for a test, on top of
// HeadlessApp: a fresh Application and Screen, forms created and freed with the test, clicks and keys
// aimed at controls (windowless ones through their parent), and one scripted hook that answers every
// dialog the program raises (message boxes, modal forms and the common dialogs) and every wait of a
// message loop.
#pragma once

#include "tests/support/windows/HeadlessApp.h"
#include "vcl/Forms.h"

#include <deque>
#include <optional>
#include <functional>
#include <vector>

namespace testing_support {

class FormHarness {
public:
    FormHarness();
    ~FormHarness();
    FormHarness(const FormHarness&) = delete;
    FormHarness& operator=(const FormHarness&) = delete;

    HeadlessApp& App() { return app_; }

    // A form of class T owned by the application (the first one becomes the main form, as CreateForm
    // makes it); OnCreate has run. Freed by the harness unless the test frees it first.
    template <class T> T* Create() {
        T* form = nullptr;
        vcl::Application->CreateForm(form);
        return form;
    }
    template <class T> T* Show() {
        T* form = Create<T>();
        form->Show();
        Pump();
        return form;
    }

    // Runs the application's own message processing (shortcuts, dialog keys, hints) until the queue is
    // empty, painting included; the number of messages handled.
    int Pump();
    void Advance(std::chrono::milliseconds ms);

    // Where a control lies for input: its window (the parent's for a windowless control) and the point
    // of that window's client area; `at` is in the control's client coordinates (default: its centre).
    struct Target {
        HWND hwnd;
        POINT point;
    };
    static Target TargetOf(vcl::TControl* control, std::optional<POINT> at = std::nullopt);
    void MoveTo(vcl::TControl* control, std::optional<POINT> at = std::nullopt);
    void Click(vcl::TControl* control, std::optional<POINT> at = std::nullopt, int button = TW_BUTTON_LEFT);
    void DoubleClick(vcl::TControl* control, std::optional<POINT> at = std::nullopt);
    // Focuses the control (through its form) and types the text, one key per character.
    void Type(vcl::TWinControl* control, const QString& text);
    // A key with modifiers held: Keys(VK_F5), Keys('S', {VK_CONTROL}).
    void Keys(UINT vk, std::initializer_list<UINT> modifiers = {});
    // The pointer leaves every window of the program.
    void MouseOut();

    // The desktop resizes a top-level form (as the window manager would).
    void DesktopResize(vcl::TCustomForm* form, int width, int height);

    // ---- the one dialog hook ----
    // A dialog the program raised: a message box (form == nullptr) or a modal form.
    struct Dialog {
        QString text;      // message text, or the form's caption
        QString caption;
        UINT type = 0;     // MB_* flags of a message box
        vcl::TCustomForm* form = nullptr;
        HWND window = nullptr; // a common dialog (folder, open, save): its window, set up and waiting
        UINT commonKind = 0;   // TW_DIALOG_* of a common dialog; the answer is the button (IDOK, IDCANCEL)
    };
    // What answers it: the result (a message-box button, or the modal result set on the form), after an
    // optional action that may click or type into the form first.
    struct Answer {
        int result = 0;
        std::function<void(const Dialog&)> action;
        Answer(int r) : result(r) {}
        Answer(int r, std::function<void(const Dialog&)> a) : result(r), action(std::move(a)) {}
    };
    // Answers consumed in order. A dialog with no answer left fails the test and is cancelled.
    void Script(std::initializer_list<Answer> answers);
    const std::vector<Dialog>& Dialogs() const { return dialogs_; }
    // Run when a loop of the program (Application.Run, a modal loop) waits and no modal form needs an
    // answer: the next step acts (clicks, closes a form...). With none left the test fails and the
    // application terminates, so nothing hangs.
    void WhenIdle(std::function<void()> step);

private:
    static int CALLBACK MessageBoxThunk(HWND hWnd, LPCWSTR lpText, LPCWSTR lpCaption, UINT uType);
    static int CALLBACK CommonDialogThunk(HWND hDialog, UINT kind);
    int TakeAnswer(const Dialog& dialog);
    void Idle();

    HeadlessApp app_;
    std::deque<Answer> answers_;
    std::deque<std::function<void()>> idleSteps_;
    std::vector<Dialog> dialogs_;
    std::vector<vcl::TCustomForm*> answered_;
    TwMessageBoxProc previousBox_ = nullptr;
    TwCommonDialogProc previousCommon_ = nullptr;
};

} // namespace testing_support
