#include "tests/support/windows/FormHarness.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

namespace testing_support {

namespace {
FormHarness* current = nullptr;

QString FromWide(LPCWSTR s) { return s ? QString::fromUtf16(s) : QString(); }
} // namespace

FormHarness::FormHarness() {
    // A fresh application object per test: no main form, no terminate request, no handlers.
    delete vcl::Application;
    vcl::Application = new vcl::TApplication(nullptr);
    current = this;
    previousBox_ = TwSetMessageBoxHandler(&FormHarness::MessageBoxThunk);
    previousCommon_ = TwSetCommonDialogHandler(&FormHarness::CommonDialogThunk);
    app_.OnIdle([this] { Idle(); });
}

FormHarness::~FormHarness() {
    app_.OnIdle(nullptr);
    // Forms owned elsewhere than by the application go too, before the windows are reset.
    while (vcl::Screen->FormCount() > 0) {
        const int before = vcl::Screen->FormCount();
        vcl::TCustomForm* form = vcl::Screen->Forms(before - 1);
        delete form;
        if (vcl::Screen->FormCount() == before) break;  // a form that does not leave the list
    }
    delete vcl::Application;
    vcl::Application = new vcl::TApplication(nullptr);
    TwSetMessageBoxHandler(previousBox_);
    TwSetCommonDialogHandler(previousCommon_);
    current = nullptr;
    if (!answers_.empty()) ADD_FAILURE() << answers_.size() << " scripted answer(s) were never asked for";
}

int FormHarness::Pump() {
    int n = 0;
    for (int round = 0; round < 1000; ++round) {
        MSG msg;
        if (!PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            TwFlushPainting();
            QCoreApplication::processEvents();
            if (!PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) break;
        }
        if (msg.message == WM_QUIT) break;  // left for the program's own loop
        vcl::Application->ProcessMessages();
        ++n;
    }
    return n;
}

void FormHarness::Advance(std::chrono::milliseconds ms) {
    const ULONGLONG end = GetTickCount64() + ULONGLONG(ms.count());
    Pump();
    for (int guard = 0; guard < 100000; ++guard) {
        ULONGLONG due = 0;
        if (!TwNextTimerDue(&due) || due > end) break;
        const ULONGLONG now = GetTickCount64();
        if (due > now) TwAdvanceClock(due - now);
        Pump();
    }
    const ULONGLONG now = GetTickCount64();
    if (end > now) TwAdvanceClock(end - now);
    Pump();
}

FormHarness::Target FormHarness::TargetOf(vcl::TControl* control, std::optional<POINT> at) {
    POINT p = at ? *at : POINT{control->Width() / 2, control->Height() / 2};
    vcl::TControl* c = control;
    while (!c->IsWindowed()) {
        p.x += c->Left();
        p.y += c->Top();
        c = c->Parent();
    }
    return Target{static_cast<vcl::TWinControl*>(c)->Handle(), p};
}

void FormHarness::MoveTo(vcl::TControl* control, std::optional<POINT> at) {
    const Target t = TargetOf(control, at);
    const POINT p = HeadlessApp::ToScreen(t.hwnd, t.point);
    TwInputMouseMove(p.x, p.y);
    Pump();
}

void FormHarness::Click(vcl::TControl* control, std::optional<POINT> at, int button) {
    const Target t = TargetOf(control, at);
    const POINT p = HeadlessApp::ToScreen(t.hwnd, t.point);
    TwInputMouseMove(p.x, p.y);
    TwInputMouseButton(p.x, p.y, button, TRUE);
    Pump();
    TwInputMouseButton(p.x, p.y, button, FALSE);
    Pump();
}

void FormHarness::DoubleClick(vcl::TControl* control, std::optional<POINT> at) {
    Click(control, at);
    TwAdvanceClock(50);
    Click(control, at);
}

void FormHarness::Type(vcl::TWinControl* control, const QString& text) {
    control->SetFocus();
    Pump();
    for (QChar c : text) {
        const QChar up = c.toUpper();
        UINT vk = VK_OEM_PERIOD;  // any key: the character travels as the key's text
        if (up >= QLatin1Char('A') && up <= QLatin1Char('Z'))
            vk = up.unicode();
        else if (c.isDigit())
            vk = c.unicode();
        else if (c == QLatin1Char(' '))
            vk = VK_SPACE;
        const char16_t s[2] = {c.unicode(), 0};
        TwInputKey(vk, TRUE, FALSE, s, FALSE);
        TwInputKey(vk, FALSE, FALSE, nullptr, FALSE);
        Pump();
    }
}

void FormHarness::Keys(UINT vk, std::initializer_list<UINT> modifiers) {
    for (UINT m : modifiers) TwInputKey(m, TRUE, FALSE, nullptr, FALSE);
    TwInputKey(vk, TRUE, FALSE, nullptr, FALSE);
    TwInputKey(vk, FALSE, FALSE, nullptr, FALSE);
    for (auto it = std::rbegin(modifiers); it != std::rend(modifiers); ++it) TwInputKey(*it, FALSE, FALSE, nullptr, FALSE);
    Pump();
}

void FormHarness::MouseOut() {
    TwInputMouseLeft();
    Pump();
}

void FormHarness::DesktopResize(vcl::TCustomForm* form, int width, int height) {
    // As the presentation reports a size the window manager gave the window.
    RECT r{};
    GetWindowRect(form->Handle(), &r);
    TwDesktopPlaced(form->Handle(), r.left, r.top, width, height);
    Pump();
}

void FormHarness::Script(std::initializer_list<Answer> answers) {
    for (const Answer& a : answers) answers_.push_back(a);
}

void FormHarness::WhenIdle(std::function<void()> step) { idleSteps_.push_back(std::move(step)); }

int FormHarness::TakeAnswer(const Dialog& dialog) {
    dialogs_.push_back(dialog);
    if (answers_.empty()) {
        ADD_FAILURE() << "no scripted answer for the dialog \"" << dialog.text.toStdString() << "\"";
        return IDCANCEL;
    }
    Answer answer = answers_.front();
    answers_.pop_front();
    if (answer.action) answer.action(dialog);
    return answer.result;
}

int CALLBACK FormHarness::MessageBoxThunk(HWND, LPCWSTR lpText, LPCWSTR lpCaption, UINT uType) {
    if (!current) return IDCANCEL;
    return current->TakeAnswer(Dialog{FromWide(lpText), FromWide(lpCaption), uType, nullptr});
}

int CALLBACK FormHarness::CommonDialogThunk(HWND hDialog, UINT kind) {
    if (!current) return IDCANCEL;
    WCHAR title[256] = {};
    GetWindowTextW(hDialog, title, 256);
    return current->TakeAnswer(Dialog{FromWide(title), FromWide(title), 0, nullptr, hDialog, kind});
}

void FormHarness::Idle() {
    // The innermost modal form that has not been answered yet gets the next answer.
    for (int i = 0; i < vcl::Screen->FormCount(); ++i) {
        vcl::TCustomForm* form = vcl::Screen->Forms(i);
        if (!form->FormState().Contains(vcl::fsModal) || form->ModalResult() != vcl::mrNone) continue;
        if (std::find(answered_.begin(), answered_.end(), form) != answered_.end()) continue;
        answered_.push_back(form);
        const int result = TakeAnswer(Dialog{form->Caption(), form->Caption(), 0, form});
        if (form->ModalResult() == vcl::mrNone) form->SetModalResult(result ? result : vcl::mrCancel);
        answered_.erase(std::find(answered_.begin(), answered_.end(), form));
        PostMessageW(vcl::Application->Handle(), WM_NULL, 0, 0);  // wakes the waiting loop
        return;
    }
    if (!idleSteps_.empty()) {
        auto step = std::move(idleSteps_.front());
        idleSteps_.pop_front();
        step();
        PostMessageW(vcl::Application->Handle(), WM_NULL, 0, 0);
        return;
    }
    ADD_FAILURE() << "a message loop waits with nothing scripted: terminating the application";
    vcl::Application->Terminate();
}

} // namespace testing_support
