// vcl/ControlActions.cpp: a control's Action property and the link that keeps the control in step.
#include "vcl/Controls.h"
#include "vcl/ControlsInternal.h"

namespace vcl {

TBasicAction* TControl::Action() const { return FActionLink ? FActionLink->Action() : nullptr; }

std::unique_ptr<TControlActionLink> TControl::CreateActionLink() { return std::make_unique<TControlActionLink>(this); }

void TControl::SetAction(TBasicAction* Value) {
    if (!Value) {
        FActionLink.reset();
        FControlStyle.Exclude(csActionClient);
        return;
    }
    FControlStyle.Include(csActionClient);
    if (!FActionLink) FActionLink = CreateActionLink();
    FActionLink->SetAction(Value);
    FActionLink->OnChange = TNotifyEvent(this, &TControl::DoActionChange);
    ActionChange(Value, Value->ComponentState().Contains(rtl::csLoading));
    Value->FreeNotification(this);
}

bool TControl::ExecuteAction(TBasicAction* Action) {
    if (!Action || !Action->HandlesTarget(this)) return false;
    Action->ExecuteTarget(this);
    return true;
}

bool TControl::UpdateAction(TBasicAction* Action) {
    if (!Action || !Action->HandlesTarget(this)) return false;
    Action->UpdateTarget(this);
    return true;
}

void TControl::DoActionChange(TObject* Sender) {
    if (Sender == Action()) ActionChange(Sender, false);
}

void TControl::ActionChange(TObject* Sender, bool CheckDefaults) {
    auto* action = dynamic_cast<TCustomAction*>(Sender);
    if (!action) return;
    if (!CheckDefaults || Caption().isEmpty() || Caption() == Name()) SetCaption(action->Caption());
    if (!CheckDefaults || Enabled()) SetEnabled(action->Enabled());
    if (!CheckDefaults || FHint.isEmpty()) SetHint(action->Hint());
    if (!CheckDefaults || FVisible) SetVisible(action->Visible());
    if (!CheckDefaults || !OnClick) OnClick = action->OnExecute();
    if (!CheckDefaults || FHelpContext == 0) SetHelpContext(action->HelpContext());
}

TControlActionLink::TControlActionLink(TObject* AClient) : TActionLink(AClient) { AssignClient(AClient); }

void TControlActionLink::AssignClient(TObject* AClient) { FClient = dynamic_cast<TControl*>(AClient); }

bool TControlActionLink::IsCaptionLinked() {
    return TActionLink::IsCaptionLinked() && CustomAction() && FClient->Caption() == CustomAction()->Caption();
}

bool TControlActionLink::IsEnabledLinked() {
    return TActionLink::IsEnabledLinked() && CustomAction() && FClient->Enabled() == CustomAction()->Enabled();
}

bool TControlActionLink::IsHelpContextLinked() {
    return TActionLink::IsHelpContextLinked() && CustomAction() &&
           FClient->HelpContext() == CustomAction()->HelpContext();
}

bool TControlActionLink::IsHintLinked() {
    return TActionLink::IsHintLinked() && CustomAction() && FClient->Hint() == CustomAction()->Hint();
}

bool TControlActionLink::IsVisibleLinked() {
    return TActionLink::IsVisibleLinked() && CustomAction() && FClient->Visible() == CustomAction()->Visible();
}

bool TControlActionLink::IsOnExecuteLinked() {
    return TActionLink::IsOnExecuteLinked() && FAction && FClient->OnClick == FAction->OnExecute();
}

void TControlActionLink::SetCaption(const String& Value) {
    if (IsCaptionLinked()) FClient->SetCaption(Value);
}

void TControlActionLink::SetEnabled(bool Value) {
    if (IsEnabledLinked()) FClient->SetEnabled(Value);
}

void TControlActionLink::SetHelpContext(THelpContext Value) {
    if (IsHelpContextLinked()) FClient->SetHelpContext(Value);
}

void TControlActionLink::SetHint(const String& Value) {
    if (IsHintLinked()) FClient->SetHint(Value);
}

void TControlActionLink::SetVisible(bool Value) {
    if (IsVisibleLinked()) FClient->SetVisible(Value);
}

void TControlActionLink::SetOnExecute(const TNotifyEvent& Value) {
    if (IsOnExecuteLinked()) FClient->OnClick = Value;
}

bool TControlActionLink::DoShowHint(String& HintStr) {
    auto* action = CustomAction();
    return action ? action->DoHint(HintStr) : true;
}

} // namespace vcl
