// vcl/ExtCtrls.cpp: TTimer.
#include "vcl/ExtCtrls.h"

namespace vcl {

namespace {
constexpr UINT_PTR TimerId = 1;
}

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {}

TTimer::~TTimer() {
    FEnabled = false;
    UpdateTimer();
    if (FWindowHandle) DeallocateHWnd(FWindowHandle);
}

void TTimer::UpdateTimer() {
    if (FRunning && FWindowHandle && IsWindow(FWindowHandle)) KillTimer(FWindowHandle, TimerId);
    FRunning = false;
    if (FInterval == 0 || !FEnabled || !FOnTimer) return;
    // The window model may have been reset under us (tests do): make the window again then.
    if (!FWindowHandle || !IsWindow(FWindowHandle)) FWindowHandle = AllocateHWnd(TWndMethod(this, &TTimer::WndProc));
    if (!SetTimer(FWindowHandle, TimerId, FInterval, nullptr))
        throw EOutOfResources(QStringLiteral("Not enough timers available"));
    FRunning = true;
}

void TTimer::SetEnabled(bool Value) {
    if (FEnabled == Value) return;
    FEnabled = Value;
    UpdateTimer();
}

void TTimer::SetInterval(UINT Value) {
    if (FInterval == Value) return;
    FInterval = Value;
    UpdateTimer();
}

void TTimer::SetOnTimer(const TNotifyEvent& Value) {
    FOnTimer = Value;
    UpdateTimer();
}

void TTimer::Timer() {
    if (FEnabled) FOnTimer(this);
}

void TTimer::WndProc(TMessage& Message) {
    if (Message.Msg == WM_TIMER) {
        // The handler may free the timer: nothing of it is touched afterwards.
        try {
            Timer();
        } catch (...) {
            HandleControlException(this);
        }
        return;
    }
    Message.Result = DefWindowProcW(FWindowHandle, Message.Msg, Message.WParam, Message.LParam);
}

} // namespace vcl
