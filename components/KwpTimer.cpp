// components/KwpTimer.cpp
#include "components/KwpTimer.h"

#include <map>

namespace components {

// ---- TKwpCustomTimer ----

TKwpCustomTimer::TKwpCustomTimer(rtl::TComponent* AOwner)
    : vcl::TTimer(AOwner), FTagExt(std::make_unique<TKwpTagExt>(this)) {}

TKwpCustomTimer::~TKwpCustomTimer() { SetEnabled(false); }

void TKwpCustomTimer::Start() {
    if (FClearCounterOnStart) FCounter = 0;
    SetEnabled(true);
}

void TKwpCustomTimer::Stop() { SetEnabled(false); }

void TKwpCustomTimer::Restart() {
    Stop();
    Start();
}

void TKwpCustomTimer::Timer() {
    if (FRepeatCountLimit == 0 || FCounter < FRepeatCountLimit) {
        ++FCounter;
        if (OnTimer()) OnTimer()(this);
        if (FRepeatCountLimit != 0 && FCounter >= FRepeatCountLimit) {
            Stop();
            if (OnRepeatCountLimitReached) OnRepeatCountLimitReached(this);
        }
        return;
    }
    // The limit was lowered below the count: stop at once, without a tick.
    Stop();
    if (OnRepeatCountLimitReached) OnRepeatCountLimitReached(this);
}

// ---- TKwpFlashBase ----

namespace {

// Flash objects that release themselves are freed from a zero-delay timer of their own, after the
// notification of their blink timer has returned (freeing that timer inside it would pull it away
// from under its own caller).
std::map<UINT_PTR, TKwpFlashBase*>& PendingReleases() {
    static std::map<UINT_PTR, TKwpFlashBase*> pending;
    return pending;
}

void CALLBACK ReleaseFlash(HWND, UINT, UINT_PTR Id, DWORD) {
    KillTimer(nullptr, Id);
    auto& pending = PendingReleases();
    const auto it = pending.find(Id);
    if (it == pending.end()) return;
    TKwpFlashBase* flash = it->second;
    pending.erase(it);
    delete flash;
}

} // namespace

TKwpFlashBase::TKwpFlashBase(rtl::TComponent* AOwner) : FTimer(new TKwpTimer(AOwner)) {
    FTimer->SetEnabled(false);
    FTimer->SetInterval(FFlashInterval);
    FTimer->SetOnTimer(rtl::TNotifyEvent(this, &TKwpFlashBase::TimerTick));
    FTimer->OnRepeatCountLimitReached = rtl::TNotifyEvent(this, &TKwpFlashBase::FlashFinished);
}

TKwpFlashBase::~TKwpFlashBase() {
    for (auto it = PendingReleases().begin(); it != PendingReleases().end();)
        if (it->second == this) {
            KillTimer(nullptr, it->first);
            it = PendingReleases().erase(it);
        } else {
            ++it;
        }
    FTimer->Stop();
    delete FTimer;
}

void TKwpFlashBase::SetEnabled(bool Value) {
    if (Value == FEnabled) return;
    FEnabled = Value;
    if (FFlashing) FlashFinished(this);
}

void TKwpFlashBase::SetFlashColor(vcl::TColor Value) {
    if (Value != FFlashColor) FFlashColor = Value;
}

void TKwpFlashBase::SetFlashCount(TKwpFlashCountInt Value) {
    FFlashCount = std::max<TKwpFlashCountInt>(Value, 1);
    FTimer->SetRepeatCountLimit(2u * FFlashCount);
}

void TKwpFlashBase::SetFlashInterval(TKwpFlashIntervalInt Value) {
    FFlashInterval = std::clamp<TKwpFlashIntervalInt>(Value, 20, 2000);
    FTimer->SetInterval(FFlashInterval);
}

void TKwpFlashBase::Flash() {
    if (!FEnabled) return;
    FFlashing = true;
    FTimer->Restart();
}

void TKwpFlashBase::TimerTick(rtl::TObject*) {
    if (!FEnabled) return;
    FCurrentColor = FTimer->Counter() % 2 ? FFlashColor : FOriginalColor;
    if (OnFlashColorChanged) OnFlashColorChanged(this, FCurrentColor);
}

void TKwpFlashBase::FlashFinished(rtl::TObject*) {
    FFlashing = false;
    if (FTimer->Enabled()) FTimer->Stop();
    if (OnFlashFinished) OnFlashFinished(this);
    if (FFreeOnFlashFinished) {
        const UINT_PTR id = SetTimer(nullptr, 0, 0, ReleaseFlash);
        if (id) PendingReleases()[id] = this;
    }
}

} // namespace components
