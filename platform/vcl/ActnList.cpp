#include "vcl/ActnList.h"

#include "vcl/ImgList.h"
#include "win/windows.h"

#include <algorithm>

namespace vcl {

namespace {
constexpr intptr_t AltMask = 0x20000000;
} // namespace

TShortCut ShortCutFromKeyMessage(uint16_t CharCode, intptr_t KeyData) {
    if (CharCode == 0 || (CharCode & 0xFF00) != 0) return scNone;
    TShortCut result = CharCode;
    if (GetKeyState(VK_SHIFT) < 0) result |= scShift;
    if (GetKeyState(VK_CONTROL) < 0) result |= scCtrl;
    if (KeyData & AltMask) result |= scAlt;
    return result;
}

TActionDispatch& ActionDispatch() {
    static TActionDispatch dispatch;
    return dispatch;
}

// ---- TBasicActionLink ----

TBasicActionLink::TBasicActionLink(rtl::TObject* AClient) { AssignClient(AClient); }

TBasicActionLink::~TBasicActionLink() {
    if (FAction) FAction->UnRegisterChanges(this);
}

void TBasicActionLink::Change() { OnChange(FAction); }

bool TBasicActionLink::Execute(rtl::TComponent* AComponent) {
    if (!FAction) return false;
    TBasicAction* action = FAction;
    action->SetActionComponent(AComponent);
    struct Reset {
        TBasicActionLink* Link;
        ~Reset() {
            // The handler may have freed the action (and so unlinked it) or relinked the client.
            if (Link->FAction) Link->FAction->SetActionComponent(nullptr);
        }
    } reset{this};
    return action->Execute();
}

bool TBasicActionLink::Update() { return FAction && FAction->Update(); }

void TBasicActionLink::SetAction(TBasicAction* Value) {
    if (Value == FAction) return;
    if (FAction) FAction->UnRegisterChanges(this);
    FAction = Value;
    if (Value) Value->RegisterChanges(this);
}

// ---- TActionLink ----

TCustomAction* TActionLink::CustomAction() const { return dynamic_cast<TCustomAction*>(FAction); }

bool TActionLink::IsAutoCheckLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsCaptionLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsCheckedLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsEnabledLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsGroupIndexLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsHelpContextLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsHintLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsImageIndexLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsShortCutLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsVisibleLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsOnExecuteLinked() { return FAction != nullptr; }

// ---- TBasicAction ----

TBasicAction::TBasicAction(rtl::TComponent* AOwner) : rtl::TComponent(AOwner) {}

TBasicAction::~TBasicAction() {
    if (FActionComponent) FActionComponent->RemoveFreeNotification(this);
    while (!FClients.empty()) UnRegisterChanges(FClients.back());
}

bool TBasicAction::Execute() {
    if (!FOnExecute) return false;
    const rtl::TNotifyEvent handler = FOnExecute; // the handler may free this action
    handler(this);
    return true;
}

bool TBasicAction::Update() {
    if (!OnUpdate) return false;
    const rtl::TNotifyEvent handler = OnUpdate;
    handler(this);
    return true;
}

void TBasicAction::SetActionComponent(rtl::TComponent* Value) {
    if (Value == FActionComponent) return;
    if (FActionComponent) FActionComponent->RemoveFreeNotification(this);
    FActionComponent = Value;
    if (Value) Value->FreeNotification(this);
}

void TBasicAction::RegisterChanges(TBasicActionLink* Value) {
    Value->FAction = this;
    if (std::find(FClients.begin(), FClients.end(), Value) == FClients.end()) FClients.push_back(Value);
}

void TBasicAction::UnRegisterChanges(TBasicActionLink* Value) {
    auto it = std::find(FClients.begin(), FClients.end(), Value);
    if (it == FClients.end()) return;
    FClients.erase(it);
    Value->FAction = nullptr;
}

void TBasicAction::SetOnExecute(const rtl::TNotifyEvent& Value) {
    if (Value == FOnExecute) return;
    for (TBasicActionLink* link : std::vector<TBasicActionLink*>(FClients)) link->SetOnExecute(Value);
    FOnExecute = Value;
    Change();
}

void TBasicAction::Change() {
    OnChange(this);
    // A client may drop its link while it follows the change.
    for (TBasicActionLink* link : std::vector<TBasicActionLink*>(FClients))
        if (std::find(FClients.begin(), FClients.end(), link) != FClients.end()) link->Change();
}

void TBasicAction::Notification(rtl::TComponent* AComponent, rtl::TOperation Operation) {
    rtl::TComponent::Notification(AComponent, Operation);
    if (Operation == rtl::opRemove && AComponent == FActionComponent) FActionComponent = nullptr;
}

// ---- TContainedAction ----

TContainedAction::~TContainedAction() {
    if (FActionList) FActionList->RemoveAction(this);
}

void TContainedAction::SetActionList(TCustomActionList* Value) {
    if (Value == FActionList) return;
    if (FActionList) FActionList->RemoveAction(this);
    if (Value) Value->AddAction(this);
}

void TContainedAction::SetCategory(const rtl::String& Value) {
    if (Value == FCategory) return;
    FCategory = Value;
    if (FActionList) FActionList->Change();
}

int TContainedAction::Index() const {
    if (!FActionList) return -1;
    auto& list = FActionList->FActions;
    return static_cast<int>(std::find(list.begin(), list.end(), this) - list.begin());
}

void TContainedAction::SetIndex(int Value) {
    const int current = Index();
    if (current < 0 || Value == current) return;
    auto& list = FActionList->FActions;
    Value = std::clamp(Value, 0, static_cast<int>(list.size()) - 1);
    list.erase(list.begin() + current);
    list.insert(list.begin() + Value, this);
}

rtl::TComponent* TContainedAction::GetParentComponent() const { return FActionList; }

void TContainedAction::SetParentComponent(rtl::TComponent* AParent) {
    if (auto* list = dynamic_cast<TCustomActionList*>(AParent)) SetActionList(list);
}

// ---- TCustomAction ----

TCustomAction::TCustomAction(rtl::TComponent* AOwner) : TContainedAction(AOwner) {}

template <class F> void TCustomAction::ForEachActionLink(F&& Apply) {
    for (TBasicActionLink* link : std::vector<TBasicActionLink*>(FClients))
        if (auto* actionLink = dynamic_cast<TActionLink*>(link)) Apply(actionLink);
}

bool TCustomAction::Execute() {
    if (ActionList() && ActionList()->State() != asNormal) return false;
    Update();
    if (!FEnabled) return false;
    if (FAutoCheck && (!FChecked || FGroupIndex == 0)) SetChecked(!FChecked);
    // Each step may free this action: nothing of it is touched after the one that handles it.
    if (ActionList() && ActionList()->ExecuteAction(this)) return true;
    auto& dispatch = ActionDispatch();
    if (dispatch.ExecuteAction && dispatch.ExecuteAction(this)) return true;
    if (TBasicAction::Execute()) return true;
    return dispatch.ExecuteMessage && dispatch.ExecuteMessage(this);
}

bool TCustomAction::Update() {
    if (ActionList() && ActionList()->UpdateAction(this)) return true;
    auto& dispatch = ActionDispatch();
    if (dispatch.UpdateAction && dispatch.UpdateAction(this)) return true;
    if (TBasicAction::Update()) return true;
    return dispatch.UpdateMessage && dispatch.UpdateMessage(this);
}

bool TCustomAction::DoHint(rtl::String& HintStr) {
    bool canShow = true;
    OnHint(HintStr, canShow);
    return canShow;
}

void TCustomAction::SetAutoCheck(bool Value) {
    if (Value == FAutoCheck) return;
    ForEachActionLink([&](TActionLink* l) { l->SetAutoCheck(Value); });
    FAutoCheck = Value;
    Change();
}

void TCustomAction::SetCaption(const rtl::String& Value) {
    if (Value == FCaption) return;
    ForEachActionLink([&](TActionLink* l) { l->SetCaption(Value); });
    FCaption = Value;
    Change();
}

void TCustomAction::SetChecked(bool Value) {
    if (FChecking || Value == FChecked) return;
    FChecking = true;
    struct Done {
        bool& Flag;
        ~Done() { Flag = false; }
    } done{FChecking};
    ForEachActionLink([&](TActionLink* l) { l->SetChecked(Value); });
    FChecked = Value;
    if (FGroupIndex > 0 && FChecked && ActionList())
        for (TContainedAction* other : *ActionList())
            if (auto* custom = dynamic_cast<TCustomAction*>(other);
                custom && custom != this && custom->FGroupIndex == FGroupIndex)
                custom->SetChecked(false);
    Change();
}

void TCustomAction::SetEnabled(bool Value) {
    if (Value == FEnabled) return;
    // A suspended list keeps its actions as they are; asSuspendedEnabled has enabled them all.
    if (ActionList()) {
        if (ActionList()->State() == asSuspended) {
            FEnabled = Value; // the links catch up when the list resumes
            return;
        }
        if (ActionList()->State() == asSuspendedEnabled) Value = true;
    }
    ForEachActionLink([&](TActionLink* l) { l->SetEnabled(Value); });
    FEnabled = Value;
    Change();
}

void TCustomAction::SetGroupIndex(int Value) {
    if (Value == FGroupIndex) return;
    FGroupIndex = Value;
    ForEachActionLink([&](TActionLink* l) { l->SetGroupIndex(Value); });
    Change();
}

void TCustomAction::SetHelpContext(THelpContext Value) {
    if (Value == FHelpContext) return;
    ForEachActionLink([&](TActionLink* l) { l->SetHelpContext(Value); });
    FHelpContext = Value;
    Change();
}

void TCustomAction::SetHint(const rtl::String& Value) {
    if (Value == FHint) return;
    ForEachActionLink([&](TActionLink* l) { l->SetHint(Value); });
    FHint = Value;
    Change();
}

void TCustomAction::SetImageIndex(TImageIndex Value) {
    if (Value == FImageIndex) return;
    ForEachActionLink([&](TActionLink* l) { l->SetImageIndex(Value); });
    FImageIndex = Value;
    Change();
}

void TCustomAction::SetShortCut(TShortCut Value) {
    if (Value == FShortCut) return;
    ForEachActionLink([&](TActionLink* l) { l->SetShortCut(Value); });
    FShortCut = Value;
    Change();
}

void TCustomAction::SetVisible(bool Value) {
    if (Value == FVisible) return;
    ForEachActionLink([&](TActionLink* l) { l->SetVisible(Value); });
    FVisible = Value;
    Change();
}

void TCustomAction::SetOnExecute(const rtl::TNotifyEvent& Value) { TBasicAction::SetOnExecute(Value); }

TCustomImageList* TCustomAction::Images() const { return ActionList() ? ActionList()->Images() : nullptr; }

// ---- TCustomActionList ----

TCustomActionList::TCustomActionList(rtl::TComponent* AOwner)
    : rtl::TComponent(AOwner), FImageChangeLink(std::make_unique<TChangeLink>()) {
    FImageChangeLink->OnChange = rtl::TNotifyEvent(this, &TCustomActionList::ImageListChange);
}

TCustomActionList::~TCustomActionList() {
    // Let go of the images without announcing it: the clients are told nothing while the list goes.
    if (FImages) {
        FImages->UnRegisterChanges(FImageChangeLink.get());
        FImages->RemoveFreeNotification(this);
        FImages = nullptr;
    }
    while (!FActions.empty()) delete FActions.back();
}

TContainedAction* TCustomActionList::Actions(int Index) const {
    if (Index < 0 || Index >= ActionCount()) rtl::TList::Error("List index out of bounds (%d)", Index);
    return FActions[static_cast<size_t>(Index)];
}

void TCustomActionList::AddAction(TContainedAction* Action) {
    if (!Action || Action->FActionList == this) return;
    if (Action->FActionList) Action->FActionList->RemoveAction(Action);
    FActions.push_back(Action);
    Action->FActionList = this;
    Action->FreeNotification(this);
}

void TCustomActionList::RemoveAction(TContainedAction* Action) {
    auto it = std::find(FActions.begin(), FActions.end(), Action);
    if (it == FActions.end()) return;
    FActions.erase(it);
    Action->FActionList = nullptr;
    Action->RemoveFreeNotification(this);
}

bool TCustomActionList::ExecuteAction(TBasicAction* Action) {
    bool handled = false;
    OnExecute(Action, handled);
    return handled;
}

bool TCustomActionList::UpdateAction(TBasicAction* Action) {
    bool handled = false;
    OnUpdate(Action, handled);
    return handled;
}

bool TCustomActionList::IsShortCut(TShortCut ShortCut) {
    if (ShortCut == scNone) return false;
    for (TContainedAction* action : FActions)
        if (auto* custom = dynamic_cast<TCustomAction*>(action); custom && custom->ShortCut() == ShortCut)
            return custom->HandleShortCut(); // the handler may free this list: leave at once
    return false;
}

void TCustomActionList::SetImages(TCustomImageList* Value) {
    if (Value == FImages) return;
    if (FImages) {
        FImages->UnRegisterChanges(FImageChangeLink.get());
        FImages->RemoveFreeNotification(this);
    }
    FImages = Value;
    if (Value) {
        Value->RegisterChanges(FImageChangeLink.get());
        Value->FreeNotification(this);
    }
    Change();
}

void TCustomActionList::SetState(TActionListState Value) {
    if (Value == FState) return;
    FState = Value;
    if (Value == asSuspendedEnabled)
        for (TContainedAction* action : std::vector<TContainedAction*>(FActions))
            if (auto* custom = dynamic_cast<TCustomAction*>(action)) custom->SetEnabled(true);
    OnStateChange(this);
}

void TCustomActionList::Change() {
    OnChange(this);
    if (ComponentState().Contains(rtl::csLoading) || ComponentState().Contains(rtl::csDestroying)) return;
    for (TContainedAction* action : std::vector<TContainedAction*>(FActions)) action->Change();
}

void TCustomActionList::ImageListChange(rtl::TObject* Sender) {
    if (Sender == FImages) Change();
}

void TCustomActionList::Notification(rtl::TComponent* AComponent, rtl::TOperation Operation) {
    rtl::TComponent::Notification(AComponent, Operation);
    if (Operation != rtl::opRemove) return;
    if (AComponent == FImages) {
        FImages = nullptr; // its change links are gone with it
        Change();
    } else if (auto* action = dynamic_cast<TContainedAction*>(AComponent)) {
        RemoveAction(action);
    }
}

void TCustomActionList::GetChildren(const rtl::TGetChildProc& Proc, rtl::TComponent* Root) {
    for (TContainedAction* action : FActions)
        if (action->Owner() == Root) Proc(action);
}

void TCustomActionList::SetChildOrder(rtl::TComponent* Child, int Order) {
    if (auto* action = dynamic_cast<TContainedAction*>(Child); action && action->FActionList == this)
        action->SetIndex(Order);
}

bool DispatchShortCut(rtl::TComponent* Root, TShortCut ShortCut) {
    if (!Root || ShortCut == scNone) return false;
    for (int i = 0; i < Root->ComponentCount(); ++i)
        if (auto* list = dynamic_cast<TCustomActionList*>(Root->Components(i)); list && list->IsShortCut(ShortCut))
            return true;
    return false;
}

} // namespace vcl
