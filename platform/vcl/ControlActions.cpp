// vcl/ControlActions.cpp: a control's Action property and its link.
#include "vcl/Controls.h"
#include "vcl/ControlsInternal.h"

namespace vcl {

TBasicAction* TControl::Action() const { return FAction; }

void TControl::SetAction(TBasicAction* Value) {
    if (FAction == Value) return;
    if (FAction) RemoveFreeNotification(detail::ControlAccess::ActionComponent(this));
    FAction = Value;
    if (FAction) FreeNotification(detail::ControlAccess::ActionComponent(this));
}

namespace detail {

TComponent* ControlAccess::ActionComponent(TControl* Control) {
    // Actions are components with the component as their only base.
    return reinterpret_cast<TComponent*>(Control->FAction);
}

void ControlAccess::FreeActionLink(TControl* Control) { Control->FActionLink = nullptr; }

} // namespace detail
} // namespace vcl
