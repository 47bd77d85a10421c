// components/KwpAnchorHost.h: a control that keeps companion controls around itself: they follow its
// every move and resize, and one that is freed is let go.
#pragma once
#include "components/KwpAnchoredControls.h"

#include <memory>

namespace components {

template <class TBase> class TKwpAnchorHost : public TBase {
public:
    explicit TKwpAnchorHost(rtl::TComponent* AOwner)
        : TBase(AOwner), FAnchoredControls(std::make_unique<TKwpAnchoredControls>(this)) {}

    TKwpAnchoredControls* AnchoredControls() const { return FAnchoredControls.get(); }

    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override {
        TBase::SetBounds(ALeft, ATop, AWidth, AHeight);
        if (FAnchoredControls && !this->ComponentState().Contains(rtl::csDestroying))
            FAnchoredControls->UpdateAllControlsPos();
    }

protected:
    void Notification(rtl::TComponent* AComponent, rtl::TOperation Operation) override {
        TBase::Notification(AComponent, Operation);
        if (Operation == rtl::opRemove && FAnchoredControls && !this->ComponentState().Contains(rtl::csDestroying))
            FAnchoredControls->ControlRemoved(AComponent);
    }

private:
    std::unique_ptr<TKwpAnchoredControls> FAnchoredControls;
};

} // namespace components
