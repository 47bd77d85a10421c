// components/KwpLabel.cpp
#include "components/KwpLabel.h"

namespace components {

void FollowHostBounds(rtl::TComponent* Host, TKwpAnchoredControls* Anchors) {
    if (Anchors && !Host->ComponentState().Contains(rtl::csDestroying)) Anchors->UpdateAllControlsPos();
}

void ForgetRemovedCompanion(rtl::TComponent* Host, TKwpAnchoredControls* Anchors, rtl::TComponent* AComponent,
                            rtl::TOperation Operation) {
    if (Anchors && Operation == rtl::opRemove && !Host->ComponentState().Contains(rtl::csDestroying))
        Anchors->ControlRemoved(AComponent);
}

TKwpCustomLabel::TKwpCustomLabel(rtl::TComponent* AOwner)
    : vcl::TCustomLabel(AOwner), FTagExt(std::make_unique<TKwpTagExt>(this)),
      FAnchoredControls(std::make_unique<TKwpAnchoredControls>(this)) {}

TKwpCustomLabel::~TKwpCustomLabel() = default;

void TKwpCustomLabel::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    vcl::TCustomLabel::SetBounds(ALeft, ATop, AWidth, AHeight);
    FollowHostBounds(this, FAnchoredControls.get());
}

void TKwpCustomLabel::Notification(rtl::TComponent* AComponent, rtl::TOperation Operation) {
    vcl::TCustomLabel::Notification(AComponent, Operation);
    ForgetRemovedCompanion(this, FAnchoredControls.get(), AComponent, Operation);
}

} // namespace components
