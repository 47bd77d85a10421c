// vcl/ExtCtrls.h: the timer component (the other controls of this unit come with the standard controls).
#pragma once
#include "vcl/Controls.h"

namespace vcl {

// A WM_TIMER of its own hidden window, on the one clock of the window model (the manual clock in tests).
class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* AOwner);
    ~TTimer() override;

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    UINT Interval() const { return FInterval; }
    void SetInterval(UINT Value);
    // Setting the handler starts the timer when it is enabled; no handler, no timer.
    const TNotifyEvent& OnTimer() const { return FOnTimer; }
    void SetOnTimer(const TNotifyEvent& Value);

protected:
    virtual void Timer();

private:
    void UpdateTimer();
    void WndProc(TMessage& Message);

    bool FEnabled = true;
    UINT FInterval = 1000;
    TNotifyEvent FOnTimer;
    HWND FWindowHandle = nullptr;
    bool FRunning = false;
};

} // namespace vcl
