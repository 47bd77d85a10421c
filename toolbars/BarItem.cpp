// toolbars/BarItem.cpp: the item tree: tree operations, change notifications, option inheritance,
// radio groups, clicking and the deferred-click queue, shortcuts, action links and image lists.
#include "toolbars/BarItem.h"
#include "toolbars/BarInternal.h"

#include "vcl/Forms.h"
#include "vcl/Menus.h"

#include <algorithm>

namespace bars {

namespace {

// ---- the per-thread deferred-click queue ----

// A slot whose object was destroyed before its message arrived: taken until then, clicked never.
char RemovedMarkerStorage;
rtl::TObject* RemovedMarker() { return reinterpret_cast<rtl::TObject*>(&RemovedMarkerStorage); }

struct TClickQueue {
    HWND Wnd = nullptr;
    std::unique_ptr<std::vector<rtl::TObject*>> List;
    int LiveCount = 0;  // items and viewers alive on this thread
};
thread_local TClickQueue ClickQueue;

void ClickQueueWndProc(vcl::TMessage& Message) {
    if (Message.Msg != WM_BAR_DEFERREDCLICK) {
        Message.Result = DefWindowProcW(ClickQueue.Wnd, Message.Msg, Message.WParam, Message.LParam);
        return;
    }
    rtl::TObject* entry = nullptr;
    auto& list = ClickQueue.List;
    if (list && Message.LParam >= 0 && Message.LParam < static_cast<LPARAM>(list->size())) {
        entry = (*list)[static_cast<size_t>(Message.LParam)];
        (*list)[static_cast<size_t>(Message.LParam)] = nullptr;
        if (entry == RemovedMarker()) entry = nullptr;
        while (!list->empty() && list->back() == nullptr) list->pop_back();
    }
    if (!entry) return;
    try {
        if (auto* item = dynamic_cast<TBarCustomItem*>(entry))
            item->Click();
        else if (auto* viewer = dynamic_cast<TBarItemViewer*>(entry))
            viewer->HandleAccSelect(Message.WParam);
    } catch (...) {
        vcl::HandleControlException(entry);
    }
}

// Path holds the levels being searched further up: a level met again (an item showing the items of
// its own ancestor) holds nothing that its first search will not find, and searching it again would
// double the walk at every such link, up to the link limit.
TBarCustomItem* FindShortCutIn(TBarCustomItem* AParent, vcl::TShortCut AShortCut, int Links,
                               std::vector<TBarCustomItem*>& Path) {
    TBarCustomItem* level = AParent;
    if (level->LinkSubitems()) {
        level = level->LinkSubitems();
        ++Links;
    }
    if (Links > 25 || std::find(Path.begin(), Path.end(), level) != Path.end()) return nullptr;
    Path.push_back(level);
    TBarCustomItem* found = nullptr;
    for (int i = 0; i < level->Count() && !found; ++i) {
        TBarCustomItem* sub = level->GetItem(i);
        found = sub->ShortCut() == AShortCut ? sub : FindShortCutIn(sub, AShortCut, Links, Path);
    }
    Path.pop_back();
    return found;
}

// Options whose change alters an item's size.
const TBarItemOptions ResizeOptions{tboDefault,  tboDropdownArrow, tboImageAboveCaption, tboNoRotation,
                                    tboSameWidth, tboToolbarStyle, tboToolbarSize};

TBarItemOptions SanitizeOptions(TBarItemOptions Value) {
    if (!Value.Contains(tboToolbarStyle)) Value.Exclude(tboToolbarSize);
    return Value;
}

bool IsCustomAction(vcl::TBasicAction* Action) { return dynamic_cast<vcl::TCustomAction*>(Action) != nullptr; }

} // namespace

void internal::ClickQueueAddLive() { ++ClickQueue.LiveCount; }

void internal::ClickQueueReleaseLive() {
    if (--ClickQueue.LiveCount > 0) return;
    if (ClickQueue.Wnd) vcl::DeallocateHWnd(ClickQueue.Wnd);
    ClickQueue.Wnd = nullptr;
    ClickQueue.List.reset();
}

void QueueDeferredClick(rtl::TObject* Obj, WPARAM Flag) {
    if (!ClickQueue.Wnd) ClickQueue.Wnd = vcl::AllocateHWnd(vcl::TWndMethod(&ClickQueueWndProc));
    if (!ClickQueue.List) ClickQueue.List = std::make_unique<std::vector<rtl::TObject*>>();
    auto& list = *ClickQueue.List;
    auto slot = std::find(list.begin(), list.end(), nullptr);
    size_t index;
    if (slot != list.end()) {
        *slot = Obj;
        index = static_cast<size_t>(slot - list.begin());
    } else {
        list.push_back(Obj);
        index = list.size() - 1;
    }
    PostMessageW(ClickQueue.Wnd, WM_BAR_DEFERREDCLICK, Flag, static_cast<LPARAM>(index));
}

void RemoveFromClickQueue(rtl::TObject* Obj) {
    if (!ClickQueue.List) return;
    for (auto& entry : *ClickQueue.List)
        if (entry == Obj) entry = RemovedMarker();
}

TBarCustomItem* LinkedItem(TBarCustomItem* Item) {
    if (Item && Item->LinkSubitems()) return Item->LinkSubitems();
    return Item;
}

TBarCustomItem* ItemContainerOf(rtl::TObject* Obj) {
    if (auto* item = dynamic_cast<TBarCustomItem*>(Obj)) return item;
    if (auto* items = dynamic_cast<IBarItems*>(Obj)) return items->GetItems();
    return nullptr;
}

TBarCustomItem* FindItemWithShortCut(TBarCustomItem* AParent, vcl::TShortCut AShortCut,
                                     TBarCustomItem*& TopmostParent) {
    TopmostParent = nullptr;
    TBarCustomItem* level = AParent;
    int links = 0;
    if (level->LinkSubitems()) {
        level = level->LinkSubitems();
        ++links;
    }
    std::vector<TBarCustomItem*> path{level};
    for (int i = 0; i < level->Count(); ++i) {
        TBarCustomItem* sub = level->GetItem(i);
        if (sub->ShortCut() == AShortCut) return sub;
        if (TBarCustomItem* found = FindShortCutIn(sub, AShortCut, links, path)) {
            TopmostParent = sub;
            return found;
        }
    }
    return nullptr;
}

// ---------------------------------------------------------------------------------------------------
// The action link

TBarCustomItemActionLink::TBarCustomItemActionLink(rtl::TObject* AClient) : vcl::TActionLink(AClient) {
    AssignClient(AClient);
}

void TBarCustomItemActionLink::AssignClient(rtl::TObject* AClient) { FClient = dynamic_cast<TBarCustomItem*>(AClient); }

bool TBarCustomItemActionLink::IsAutoCheckLinked() {
    return CustomAction() && FClient->AutoCheck() == CustomAction()->AutoCheck();
}
bool TBarCustomItemActionLink::IsCaptionLinked() {
    return vcl::TActionLink::IsCaptionLinked() && FClient->Caption() == CustomAction()->Caption();
}
bool TBarCustomItemActionLink::IsCheckedLinked() {
    return vcl::TActionLink::IsCheckedLinked() && FClient->Checked() == CustomAction()->Checked();
}
bool TBarCustomItemActionLink::IsEnabledLinked() {
    return vcl::TActionLink::IsEnabledLinked() && FClient->Enabled() == CustomAction()->Enabled();
}
bool TBarCustomItemActionLink::IsHelpContextLinked() {
    return vcl::TActionLink::IsHelpContextLinked() && FClient->HelpContext() == CustomAction()->HelpContext();
}
bool TBarCustomItemActionLink::IsHintLinked() {
    return vcl::TActionLink::IsHintLinked() && FClient->Hint() == CustomAction()->Hint();
}
bool TBarCustomItemActionLink::IsImageIndexLinked() {
    return vcl::TActionLink::IsImageIndexLinked() && FClient->ImageIndex() == CustomAction()->ImageIndex();
}
bool TBarCustomItemActionLink::IsShortCutLinked() {
    return vcl::TActionLink::IsShortCutLinked() && FClient->ShortCut() == CustomAction()->ShortCut();
}
bool TBarCustomItemActionLink::IsVisibleLinked() {
    return vcl::TActionLink::IsVisibleLinked() && FClient->Visible() == CustomAction()->Visible();
}
bool TBarCustomItemActionLink::IsOnExecuteLinked() {
    return FAction && FClient->OnClick == FAction->OnExecute();
}

void TBarCustomItemActionLink::SetAutoCheck(bool Value) {
    if (IsAutoCheckLinked()) FClient->FAutoCheck = Value;
}
void TBarCustomItemActionLink::SetCaption(const String& Value) {
    if (IsCaptionLinked()) FClient->SetCaption(Value);
}
void TBarCustomItemActionLink::SetChecked(bool Value) {
    if (IsCheckedLinked()) FClient->SetChecked(Value);
}
void TBarCustomItemActionLink::SetEnabled(bool Value) {
    if (IsEnabledLinked()) FClient->SetEnabled(Value);
}
void TBarCustomItemActionLink::SetHelpContext(vcl::THelpContext Value) {
    if (IsHelpContextLinked()) FClient->FHelpContext = Value;
}
void TBarCustomItemActionLink::SetHint(const String& Value) {
    if (IsHintLinked()) FClient->FHint = Value;
}
void TBarCustomItemActionLink::SetImageIndex(vcl::TImageIndex Value) {
    if (IsImageIndexLinked()) FClient->SetImageIndex(Value);
}
void TBarCustomItemActionLink::SetShortCut(vcl::TShortCut Value) {
    if (IsShortCutLinked()) FClient->FShortCut = Value;
}
void TBarCustomItemActionLink::SetVisible(bool Value) {
    if (IsVisibleLinked()) FClient->SetVisible(Value);
}
void TBarCustomItemActionLink::SetOnExecute(const rtl::TNotifyEvent& Value) {
    if (IsOnExecuteLinked()) FClient->OnClick = Value;
}

// ---------------------------------------------------------------------------------------------------
// Items

TBarCustomItem::TBarCustomItem(rtl::TComponent* AOwner) : rtl::TComponent(AOwner) {
    FItemStyle = {tbisSelectable, tbisRedrawOnSelChange, tbisRedrawOnMouseOverChange};
    internal::ClickQueueAddLive();
}

TBarCustomItem::~TBarCustomItem() {
    FComponentState.Include(rtl::csDestroying);
    RemoveFromClickQueue(this);
    // Items that show this one's subitems let go first, while it can still take their leave. One that
    // heard of this item's removal already has let go of its side.
    if (FLinkParents) {
        const std::vector<TBarCustomItem*> linkParents = *FLinkParents;
        for (TBarCustomItem* lp : linkParents)
            if (lp->FLinkSubitems == this) lp->SetLinkSubitems(nullptr);
        FLinkParents.reset();
    }
    if (FLinkSubitems) SetLinkSubitems(nullptr);
    while (Count() > 0) delete GetItem(Count() - 1);
    if (FParent) FParent->Remove(this);
    FItems.reset();
    FActionLink.reset();
    FImagesChangeLink.reset();
    FSubMenuImagesChangeLink.reset();
    FNotifyList.reset();
    FLinkParents.reset();
    internal::ClickQueueReleaseLive();
}

// ---- the tree ----

TBarCustomItem* TBarCustomItem::GetItem(int Index) const {
    if (Index < 0 || Index >= Count()) throw EBarItemError(String::fromUtf16(STBarItemIndexOutOfRange));
    return (*FItems)[static_cast<size_t>(Index)];
}

void TBarCustomItem::Insert(int NewIndex, TBarCustomItem* AItem) {
    if (AItem->FParent) throw EBarItemError(String::fromUtf16(STBarItemAlreadyInserted));
    if (NewIndex < 0 || NewIndex > Count()) throw EBarItemError(String::fromUtf16(STBarItemIndexOutOfRange));
    if (!FItems) FItems = std::make_unique<std::vector<TBarCustomItem*>>();
    FItems->insert(FItems->begin() + NewIndex, AItem);
    AItem->FParent = this;
    ViewBeginUpdate();
    try {
        Notify(tbicInserted, NewIndex, AItem);
        AItem->RefreshEffectiveOptions();
    } catch (...) {
        ViewEndUpdate();
        throw;
    }
    ViewEndUpdate();
}

void TBarCustomItem::Delete(int Index) {
    TBarCustomItem* item = GetItem(Index);
    Notify(tbicDeleting, Index, item);
    item->FParent = nullptr;
    // A listener may have moved things: take the item out where it is now.
    auto it = std::find(FItems->begin(), FItems->end(), item);
    if (it != FItems->end()) FItems->erase(it);
}

void TBarCustomItem::Remove(TBarCustomItem* Item) {
    const int i = IndexOf(Item);
    if (i >= 0) Delete(i);
}

int TBarCustomItem::IndexOf(TBarCustomItem* AItem) const {
    if (!FItems) return -1;
    auto it = std::find(FItems->begin(), FItems->end(), AItem);
    return it == FItems->end() ? -1 : static_cast<int>(it - FItems->begin());
}

void TBarCustomItem::Move(int CurIndex, int NewIndex) {
    if (CurIndex == NewIndex) return;
    if (NewIndex < 0 || NewIndex >= Count()) throw EBarItemError(String::fromUtf16(STBarItemIndexOutOfRange));
    TBarCustomItem* item = GetItem(CurIndex);
    ViewBeginUpdate();
    try {
        Delete(CurIndex);
        Insert(NewIndex, item);
    } catch (...) {
        ViewEndUpdate();
        throw;
    }
    ViewEndUpdate();
}

void TBarCustomItem::Clear() {
    while (Count() > 0) delete GetItem(Count() - 1);
}

// ---- notifications ----

void TBarCustomItem::RegisterNotification(const TBarItemChangedProc& ANotify) {
    if (!FNotifyList) FNotifyList = std::make_unique<std::vector<TItemChangedNotificationData>>();
    for (auto& data : *FNotifyList)
        if (data.Proc == ANotify) {
            ++data.RefCount;
            return;
        }
    FNotifyList->push_back({ANotify, 1});
}

void TBarCustomItem::UnregisterNotification(const TBarItemChangedProc& ANotify) {
    if (!FNotifyList) return;
    for (auto it = FNotifyList->begin(); it != FNotifyList->end(); ++it)
        if (it->Proc == ANotify) {
            if (--it->RefCount == 0) FNotifyList->erase(it);
            break;
        }
    if (FNotifyList->empty()) FNotifyList.reset();
}

void TBarCustomItem::ViewBeginUpdate() { Notify(tbicSubitemsBeginUpdate, -1, nullptr); }
void TBarCustomItem::ViewEndUpdate() { Notify(tbicSubitemsEndUpdate, -1, nullptr); }

void TBarCustomItem::Notify(TBarItemChangedAction Action, int Index, TBarCustomItem* Item) {
    RelayNotification(this, 0, Action, Index, Item);
}

// One run of the notification on this item: relays to the parents of embedded groups (this item and
// the groups linked to it), then the listeners. In the first run Sender is this item.
void TBarCustomItem::RelayNotification(TBarCustomItem* Sender, int Depth, TBarItemChangedAction Action, int Index,
                                       TBarCustomItem* Item) {
    const bool isRelay = Sender != this;
    auto relay = [&](TBarCustomItem* X) {
        if (Depth <= 10 && X->FItemStyle.Contains(tbisEmbeddedGroup) && X->FParent)
            X->FParent->RelayNotification(isRelay ? Sender : X, Depth + 1, Action, Index, Item);
    };
    relay(this);
    if (FLinkParents) {
        const std::vector<TBarCustomItem*> linkParents = *FLinkParents;
        for (TBarCustomItem* lp : linkParents)
            if (lp != FParent) relay(lp);
    }
    NotifyListeners(Sender, Action, Index, Item);
}

void TBarCustomItem::NotifyListeners(TBarCustomItem* Sender, TBarItemChangedAction Action, int Index,
                                     TBarCustomItem* Item) {
    size_t i = 0;
    while (FNotifyList && i < FNotifyList->size()) {
        const TBarItemChangedProc proc = (*FNotifyList)[i].Proc;
        proc(Sender, Sender != this, Action, Index, Item);
        // A listener may have unregistered itself: stay at the index unless the entry is still it.
        if (!FNotifyList || i >= FNotifyList->size()) break;
        if ((*FNotifyList)[i].Proc == proc) ++i;
    }
}

void TBarCustomItem::Change(bool NeedResize) {
    if (FParent) FParent->Notify(NeedResize ? tbicInvalidateAndResize : tbicInvalidate, -1, this);
}

void TBarCustomItem::EnabledChanged() { Change(false); }

void TBarCustomItem::SetName(const String& NewName) {
    if (Name() == NewName) return;
    rtl::TComponent::SetName(NewName);
    if (FParent) FParent->Notify(tbicNameChanged, -1, this);
}

// ---- options ----

void TBarCustomItem::RefreshEffectiveOptions() {
    TBarItemOptions inherited;
    if (FInheritOptions && FParent) inherited = FParent->FEffectiveOptions - TBarItemOptions{tboDefault};
    const TBarItemOptions newOptions = SanitizeOptions((inherited - FMaskOptions) + FOptions);
    if (newOptions == FEffectiveOptions) return;
    const TBarItemOptions old = FEffectiveOptions;
    FEffectiveOptions = newOptions;
    const TBarItemOptions changed = (old - newOptions) + (newOptions - old);
    if (!(changed * ResizeOptions).Empty()) Change(true);
    for (int i = 0; i < Count(); ++i) {
        TBarCustomItem* sub = GetItem(i);
        if (sub->FInheritOptions) sub->RefreshEffectiveOptions();
    }
}

void TBarCustomItem::SetInheritOptions(bool Value) {
    if (FInheritOptions == Value) return;
    FInheritOptions = Value;
    RefreshEffectiveOptions();
}

void TBarCustomItem::SetMaskOptions(TBarItemOptions Value) {
    if (FMaskOptions == Value) return;
    FMaskOptions = Value;
    RefreshEffectiveOptions();
}

void TBarCustomItem::SetOptions(TBarItemOptions Value) {
    Value = SanitizeOptions(Value);
    if (FOptions == Value) return;
    FOptions = Value;
    RefreshEffectiveOptions();
}

// ---- property setters ----

void TBarCustomItem::SetCaption(const String& Value) {
    if (FCaption == Value) return;
    FCaption = Value;
    Change(true);
}

void TBarCustomItem::SetDisplayMode(TBarItemDisplayMode Value) {
    if (FDisplayMode == Value) return;
    FDisplayMode = Value;
    Change(true);
}

void TBarCustomItem::SetVisible(bool Value) {
    if (FVisible == Value) return;
    FVisible = Value;
    Change(true);
}

void TBarCustomItem::SetChecked(bool Value) {
    if (FChecked == Value) return;
    FChecked = Value;
    Change(false);
    if (Value) UncheckGroupSiblings();
}

void TBarCustomItem::SetEnabled(bool Value) {
    if (FEnabled == Value) return;
    FEnabled = Value;
    EnabledChanged();
}

void TBarCustomItem::SetRadioItem(bool Value) {
    if (FRadioItem == Value) return;
    FRadioItem = Value;
    Change(false);
}

void TBarCustomItem::SetGroupIndex(int Value) {
    if (FGroupIndex == Value) return;
    FGroupIndex = Value;
    if (FChecked) UncheckGroupSiblings();
}

void TBarCustomItem::UncheckGroupSiblings() {
    if (FGroupIndex == 0 || !FParent) return;
    for (int i = 0; i < FParent->Count(); ++i) {
        TBarCustomItem* sibling = FParent->GetItem(i);
        if (sibling != this && sibling->FGroupIndex == FGroupIndex) sibling->SetChecked(false);
    }
}

void TBarCustomItem::SetImageIndex(int Value) {
    if (FImageIndex == Value) return;
    const bool needResize = (FImageIndex == -1) != (Value == -1);
    FImageIndex = Value;
    Change(needResize);
}

bool TBarCustomItem::SwapImageList(vcl::TCustomImageList*& Field, vcl::TCustomImageList* New,
                                   std::unique_ptr<TBarImageChangeLink>& Link) {
    int oldWidth = -1, oldHeight = -1;
    bool result = false;
    if (Field) {
        oldWidth = Field->Width();
        oldHeight = Field->Height();
        if (Link) Field->UnRegisterChanges(Link.get());
        RemoveFreeNotification(Field);
        if (!New) {
            Link.reset();
            result = true;
        }
    }
    Field = New;
    if (!New) return result;
    result = New->Width() != oldWidth || New->Height() != oldHeight;
    if (!Link) {
        Link = std::make_unique<TBarImageChangeLink>();
        Link->OnChange = rtl::TNotifyEvent(this, &TBarCustomItem::ImageListChanged);
    }
    Link->FLastWidth = New->Width();
    Link->FLastHeight = New->Height();
    New->RegisterChanges(Link.get());
    New->FreeNotification(this);
    return result;
}

void TBarCustomItem::SetImages(vcl::TCustomImageList* Value) {
    if (FImages == Value) return;
    Change(SwapImageList(FImages, Value, FImagesChangeLink));
}

void TBarCustomItem::SetSubMenuImages(vcl::TCustomImageList* Value) {
    if (FSubMenuImages == Value) return;
    SwapImageList(FSubMenuImages, Value, FSubMenuImagesChangeLink);
    Notify(tbicSubMenuImagesChanged, -1, nullptr);
}

void TBarCustomItem::ImageListChanged(rtl::TObject* Sender) {
    if (Sender == FSubMenuImages && FSubMenuImagesChangeLink) {
        FSubMenuImagesChangeLink->FLastWidth = FSubMenuImages->Width();
        FSubMenuImagesChangeLink->FLastHeight = FSubMenuImages->Height();
        Notify(tbicSubMenuImagesChanged, -1, nullptr);
    }
    if (Sender == FImages && FImagesChangeLink) {
        const bool needResize = FImages->Width() != FImagesChangeLink->FLastWidth ||
                                FImages->Height() != FImagesChangeLink->FLastHeight;
        FImagesChangeLink->FLastWidth = FImages->Width();
        FImagesChangeLink->FLastHeight = FImages->Height();
        Change(needResize);
    }
}

void TBarCustomItem::SetLinkSubitems(TBarCustomItem* Value) {
    if (Value == this) Value = nullptr;
    if (FLinkSubitems == Value) return;
    if (FLinkSubitems) {
        RemoveFromList(FLinkSubitems->FLinkParents, this);
        RemoveFreeNotification(FLinkSubitems);
    }
    FLinkSubitems = Value;
    if (Value) {
        AddToList(Value->FLinkParents, this);
        Value->FreeNotification(this);
    }
    Notify(tbicSubitemsChanged, -1, nullptr);
}

// ---- actions ----

vcl::TBasicAction* TBarCustomItem::Action() const { return FActionLink ? FActionLink->Action() : nullptr; }

std::unique_ptr<TBarCustomItemActionLink> TBarCustomItem::CreateActionLink() {
    return std::make_unique<TBarCustomItemActionLink>(this);
}

void TBarCustomItem::SetAction(vcl::TBasicAction* Value) {
    if (!Value) {
        FActionLink.reset();
        return;
    }
    if (!FActionLink) FActionLink = CreateActionLink();
    FActionLink->SetAction(Value);
    FActionLink->OnChange = rtl::TNotifyEvent(this, &TBarCustomItem::ActionChanged);
    ApplyActionProperties(Value, Value->ComponentState().Contains(rtl::csLoading) ||
                                     ComponentState().Contains(rtl::csLoading));
    Value->FreeNotification(this);
}

void TBarCustomItem::ActionChanged(rtl::TObject* Sender) {
    if (Sender == Action()) ApplyActionProperties(Action(), false);
}

void TBarCustomItem::ApplyActionProperties(vcl::TBasicAction* Sender, bool CheckDefaults) {
    auto* action = dynamic_cast<vcl::TCustomAction*>(Sender);
    if (!action || !IsCustomAction(Action())) return;
    if (!CheckDefaults || !FAutoCheck) FAutoCheck = action->AutoCheck();
    if (!CheckDefaults || FCaption.isEmpty()) SetCaption(action->Caption());
    if (!CheckDefaults || !FChecked) SetChecked(action->Checked());
    if (!CheckDefaults || FEnabled) SetEnabled(action->Enabled());
    if (!CheckDefaults || FHelpContext == 0) FHelpContext = action->HelpContext();
    if (!CheckDefaults || FHint.isEmpty()) FHint = action->Hint();
    if (!CheckDefaults || FImageIndex == -1) SetImageIndex(action->ImageIndex());
    if (!CheckDefaults || FShortCut == 0) FShortCut = action->ShortCut();
    if (!CheckDefaults || FVisible) SetVisible(action->Visible());
    if (!CheckDefaults || !OnClick) OnClick = action->OnExecute();
}

void TBarCustomItem::Loaded() {
    rtl::TComponent::Loaded();
    if (Action()) ApplyActionProperties(Action(), true);
}

void TBarCustomItem::InitiateAction() {
    if (FActionLink) FActionLink->Update();
}

bool TBarCustomItem::IsCaptionStored() { return !FActionLink || !FActionLink->IsCaptionLinked(); }
bool TBarCustomItem::IsCheckedStored() { return !FActionLink || !FActionLink->IsCheckedLinked(); }
bool TBarCustomItem::IsEnabledStored() { return !FActionLink || !FActionLink->IsEnabledLinked(); }
bool TBarCustomItem::IsHelpContextStored() { return !FActionLink || !FActionLink->IsHelpContextLinked(); }
bool TBarCustomItem::IsHintStored() { return !FActionLink || !FActionLink->IsHintLinked(); }
bool TBarCustomItem::IsImageIndexStored() { return !FActionLink || !FActionLink->IsImageIndexLinked(); }
bool TBarCustomItem::IsShortCutStored() { return !FActionLink || !FActionLink->IsShortCutLinked(); }
bool TBarCustomItem::IsVisibleStored() { return !FActionLink || !FActionLink->IsVisibleLinked(); }
bool TBarCustomItem::IsAutoCheckStored() { return !FActionLink || !FActionLink->IsAutoCheckLinked(); }
bool TBarCustomItem::IsOnClickStored() { return !FActionLink || !FActionLink->IsOnExecuteLinked(); }

// ---- clicking ----

void TBarCustomItem::Click() {
    if (!FEnabled) return;
    if (FAutoCheck && (!FActionLink || !FActionLink->IsAutoCheckLinked())) SetChecked(!FChecked);
    if (OnClick && Action() && !(OnClick == Action()->OnExecute())) {
        OnClick(this);
        return;
    }
    if (!ComponentState().Contains(rtl::csDesigning) && FActionLink) {
        FActionLink->Execute(this);
        return;
    }
    OnClick(this);
}

void TBarCustomItem::PostClick() { QueueDeferredClick(this, 0); }

// ---- shortcuts ----

bool TBarCustomItem::IsShortCut(vcl::TWMKey& Message) {
    const vcl::TShortCut sc = vcl::ShortCutFromKeyMessage(Message.CharCode(), Message.KeyData());
    const bool designing = ComponentState().Contains(rtl::csDesigning);
    for (;;) {
        TBarCustomItem* top = nullptr;
        if (!FindItemWithShortCut(this, sc, top)) return false;
        TBarCustomItem* p = this;
        bool restart = false;
        while (!restart) {
            if (!p->FEnabled) return false;
            TBarCustomItem* linked = LinkedItem(p);
            if (!designing)
                for (int i = 0; i < linked->Count(); ++i) linked->GetItem(i)->InitiateAction();
            if (!p->FItemStyle.Contains(tbisEmbeddedGroup)) {
                // OnPopup handlers may build or update the submenu before its shortcuts count.
                try {
                    if (linked != p) linked->DoPopup(p, true);
                    p->DoPopup(p, false);
                } catch (...) {
                    vcl::HandleControlException(p);
                }
            }
            TBarCustomItem* match = FindItemWithShortCut(p, sc, top);
            if (!match) {
                restart = true;  // the handlers changed the tree: start over from the receiver
                break;
            }
            if (top) {
                p = top;
                continue;
            }
            if (!match->FEnabled) return false;
            try {
                match->Click();
            } catch (...) {
                vcl::HandleControlException(match);
            }
            return true;
        }
    }
}

String TBarCustomItem::GetShortCutText() const {
    const qsizetype tab = FCaption.indexOf(u'\t');
    if (tab >= 0) return FCaption.mid(tab + 1);
    return FShortCut ? vcl::ShortCutToText(FShortCut) : String();
}

// ---- popups ----

void TBarCustomItem::DoPopup(TBarCustomItem* Sender, bool FromLink) {
    OnPopup(Sender, FromLink);
    if (!FItemStyle.Contains(tbisCombo)) Click();
}

TBarItemViewerClass TBarCustomItem::GetItemViewerClass(TBarView*) { return TBarItemViewerClass::Of<TBarItemViewer>(); }

TBarPopupWindowClass TBarCustomItem::GetPopupWindowClass() { return TBarPopupWindowClass::Of<TBarPopupWindow>(); }

// ---- streaming and component removal ----

void TBarCustomItem::GetChildren(const rtl::TGetChildProc& Proc, rtl::TComponent*) {
    for (int i = 0; i < Count(); ++i) Proc(GetItem(i));
}

void TBarCustomItem::SetChildOrder(rtl::TComponent* Child, int Order) {
    const int i = IndexOf(dynamic_cast<TBarCustomItem*>(Child));
    if (i >= 0) Move(i, Order);
}

rtl::TComponent* TBarCustomItem::GetParentComponent() const {
    if (FParent && FParent->FParentComponent) return FParent->FParentComponent;
    return FParent;
}

void TBarCustomItem::SetParentComponent(rtl::TComponent* Value) {
    if (FParent) FParent->Remove(this);
    if (!Value) return;
    TBarCustomItem* container = ItemContainerOf(Value);
    if (!container) throw EBarItemError(rtl::Format(String::fromUtf16(STBarItemBadContainer), {Value->ClassName()}));
    container->Add(this);
}

void TBarCustomItem::Notification(rtl::TComponent* AComponent, rtl::TOperation Operation) {
    rtl::TComponent::Notification(AComponent, Operation);
    if (Operation != rtl::opRemove) return;
    // The component is being destroyed: forget it without calling into it.
    if (FLinkParents) {
        auto& list = *FLinkParents;
        list.erase(std::remove_if(list.begin(), list.end(), [&](TBarCustomItem* i) { return i == AComponent; }),
                   list.end());
        if (list.empty()) FLinkParents.reset();
    }
    if (FActionLink && AComponent == FActionLink->Action()) FActionLink.reset();
    if (AComponent == FImages) {
        FImages = nullptr;
        FImagesChangeLink.reset();
        Change(true);
    }
    if (AComponent == FSubMenuImages) {
        FSubMenuImages = nullptr;
        FSubMenuImagesChangeLink.reset();
        Notify(tbicSubMenuImagesChanged, -1, nullptr);
    }
    if (AComponent == FLinkSubitems) {
        FLinkSubitems = nullptr;
        Notify(tbicSubitemsChanged, -1, nullptr);
    }
}

// ---------------------------------------------------------------------------------------------------
// Item classes

TBarGroupItem::TBarGroupItem(rtl::TComponent* AOwner) : TBarCustomItem(AOwner) {
    FItemStyle.Include(tbisEmbeddedGroup).Include(tbisSubitemsEditable);
}

TBarSeparatorItem::TBarSeparatorItem(rtl::TComponent* AOwner) : TBarCustomItem(AOwner) {
    FItemStyle.Exclude(tbisSelectable).Exclude(tbisRedrawOnSelChange).Exclude(tbisRedrawOnMouseOverChange);
    FItemStyle.Include(tbisSeparator).Include(tbisClicksTransparent);
}

void TBarSeparatorItem::SetBlank(bool Value) {
    if (FBlank == Value) return;
    FBlank = Value;
    Change(false);
}

TBarItemViewerClass TBarSeparatorItem::GetItemViewerClass(TBarView*) {
    return TBarItemViewerClass::Of<TBarSeparatorItemViewer>();
}

TBarControlItem::TBarControlItem(rtl::TComponent* AOwner) : TBarCustomItem(AOwner) {
    FItemStyle.Exclude(tbisSelectable).Include(tbisClicksTransparent);
}

TBarControlItem::~TBarControlItem() {
    vcl::TControl* control = FControl;
    const bool freeIt = control && !FDontFreeControl && !control->ComponentState().Contains(rtl::csAncestor);
    if (control) {
        RemoveFreeNotification(control);
        FControl = nullptr;
    }
    if (freeIt) delete control;
}

void TBarControlItem::SetControl(vcl::TControl* Value) {
    if (FControl == Value) return;
    if (FControl) RemoveFreeNotification(FControl);
    FControl = Value;
    if (Value) Value->FreeNotification(this);
    Change(true);
}

void TBarControlItem::Notification(rtl::TComponent* AComponent, rtl::TOperation Operation) {
    TBarCustomItem::Notification(AComponent, Operation);
    if (Operation == rtl::opRemove && AComponent == FControl) {
        FControl = nullptr;
        Change(true);
    }
}

} // namespace bars
