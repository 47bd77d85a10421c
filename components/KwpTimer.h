// components/KwpTimer.h: a timer that counts its ticks and can stop itself after a number of them (a
// limit of 1 with Restart on every trigger is a restartable one-shot), and the engine that makes a
// control's colour blink a few times with such a timer and then gives the colour back.
#pragma once
#include "components/Common.h"
#include "vcl/ExtCtrls.h"

#include <memory>

namespace components {

class TKwpCustomTimer : public vcl::TTimer {
public:
    explicit TKwpCustomTimer(rtl::TComponent* AOwner);
    ~TKwpCustomTimer() override;

    // Clears the counter (when ClearCounterOnStart) and enables the timer.
    void Start();
    // Disables the timer; the counter stays.
    void Stop();
    // Starts the interval again from now.
    void Restart();

    uint32_t Counter() const { return FCounter; }
    void SetCounter(uint32_t Value) { FCounter = Value; }
    uint32_t RepeatCountLimit() const { return FRepeatCountLimit; }
    void SetRepeatCountLimit(uint32_t Value) { FRepeatCountLimit = Value; }
    bool ClearCounterOnStart() const { return FClearCounterOnStart; }
    void SetClearCounterOnStart(bool Value) { FClearCounterOnStart = Value; }
    TKwpTagExt* TagExt() const { return FTagExt.get(); }

    rtl::TNotifyEvent OnRepeatCountLimitReached;

protected:
    void Timer() override;

private:
    uint32_t FRepeatCountLimit = 0;
    uint32_t FCounter = 0;
    std::unique_ptr<TKwpTagExt> FTagExt;
    bool FClearCounterOnStart = true;
};

class TKwpTimer : public TKwpCustomTimer {
public:
    using TKwpCustomTimer::TKwpCustomTimer;
};

using TKwpFlashCountInt = uint8_t;       // 1..255
using TKwpFlashIntervalInt = uint16_t;   // 20..2000 ms
using TKwpFlashColorChanged = rtl::TEvent<void(rtl::TObject* Sender, vcl::TColor AColor)>;

class TKwpFlashBase : public TKwpPersistent {
public:
    // The blink timer belongs to AOwner (the control whose colour blinks).
    explicit TKwpFlashBase(rtl::TComponent* AOwner);
    ~TKwpFlashBase() override;

    // Starts a blink from the colour in OriginalColor.
    void Flash();

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    vcl::TColor FlashColor() const { return FFlashColor; }
    void SetFlashColor(vcl::TColor Value);
    TKwpFlashCountInt FlashCount() const { return FFlashCount; }
    void SetFlashCount(TKwpFlashCountInt Value);
    TKwpFlashIntervalInt FlashInterval() const { return FFlashInterval; }
    void SetFlashInterval(TKwpFlashIntervalInt Value);
    bool FreeOnFlashFinished() const { return FFreeOnFlashFinished; }
    void SetFreeOnFlashFinished(bool Value) { FFreeOnFlashFinished = Value; }
    vcl::TColor OriginalColor() const { return FOriginalColor; }
    void SetOriginalColor(vcl::TColor Value) { FOriginalColor = Value; }
    vcl::TColor CurrentColor() const { return FCurrentColor; }
    bool Flashing() const { return FFlashing; }
    TKwpTimer* Timer() const { return FTimer; }

    TKwpFlashColorChanged OnFlashColorChanged;
    rtl::TNotifyEvent OnFlashFinished;

private:
    void TimerTick(rtl::TObject* Sender);
    void FlashFinished(rtl::TObject* Sender);

    TKwpTimer* FTimer;
    vcl::TColor FFlashColor = 0x7878FF;
    bool FFlashing = false;
    TKwpFlashCountInt FFlashCount = 3;
    bool FEnabled = true;
    vcl::TColor FOriginalColor = 0;
    vcl::TColor FCurrentColor = 0;
    TKwpFlashIntervalInt FFlashInterval = 150;
    bool FFreeOnFlashFinished = true;
};

// The flash object of a control: its colour blinks and comes back to OriginalColor at the end.
template <class TEdit> class TKwpFlashControl : public TKwpFlashBase {
public:
    explicit TKwpFlashControl(TEdit* Edit) : TKwpFlashBase(Edit), FEdit(Edit) {
        SetEnabled(true);
        SetFlashCount(3);  // arms the timer's limit at six ticks
        SetFlashInterval(150);
        OnFlashColorChanged = TKwpFlashColorChanged(this, &TKwpFlashControl::ColorChanged);
        OnFlashFinished = rtl::TNotifyEvent(this, &TKwpFlashControl::Finished);
        SetFreeOnFlashFinished(false);  // the control owns and frees it
        if (Edit) SetOriginalColor(Edit->Color());
    }

private:
    void ColorChanged(rtl::TObject*, vcl::TColor AColor) {
        if (FEdit) FEdit->SetColor(AColor);
    }
    void Finished(rtl::TObject*) {
        if (FEdit) FEdit->SetColor(OriginalColor());
    }
    TEdit* FEdit;
};

} // namespace components
