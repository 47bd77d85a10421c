// vcl/Menus.cpp: menu items and menus over the platform's menu handles, pop-up menus, the pop-up
// list's window, and shortcut texts.
#include "vcl/Menus.h"
#include "vcl/Forms.h"
#include "vcl/Graphics.h"
#include "vcl/ImgList.h"

#include <algorithm>

namespace vcl {

using rtl::String;
using rtl::TComponent;
using rtl::TObject;

namespace {

// Commands are unique in the process, so one window can tell every pop-up menu's items apart.
UINT NextCommand() {
    static UINT next = 0;
    next = next >= 0xFFFF ? 1 : next + 1;
    return next;
}

TMenuItem* FindIn(TMenuItem* Item, UINT_PTR Value, TFindItemKind Kind) {
    if (!Item) return nullptr;
    switch (Kind) {
    case fkCommand:
        if (Item->Command() == Value) return Item;
        break;
    case fkHandle:
        if (Item->HandleAllocated() && reinterpret_cast<UINT_PTR>(Item->Handle()) == Value) return Item;
        break;
    case fkShortCut:
        if (Item->ShortCut() == Value && Item->ShortCut() != scNone) return Item;
        break;
    }
    for (int i = 0; i < Item->Count(); ++i)
        if (TMenuItem* hit = FindIn(Item->Items(i), Value, Kind)) return hit;
    return nullptr;
}

// A canvas over a DC for the length of one owner-draw call.
struct DCCanvas {
    TCanvas canvas;
    explicit DCCanvas(HDC dc) { canvas.SetHandle(dc); }
    ~DCCanvas() { canvas.SetHandle(nullptr); }
};

} // namespace

// ---- shortcut texts ----

namespace {

String KeyName(WORD key) {
    switch (key) {
    case VK_BACK: return QStringLiteral("BkSp");
    case VK_TAB: return QStringLiteral("Tab");
    case VK_ESCAPE: return QStringLiteral("Esc");
    case VK_RETURN: return QStringLiteral("Enter");
    case VK_SPACE: return QStringLiteral("Space");
    case VK_PRIOR: return QStringLiteral("PgUp");
    case VK_NEXT: return QStringLiteral("PgDn");
    case VK_END: return QStringLiteral("End");
    case VK_HOME: return QStringLiteral("Home");
    case VK_LEFT: return QStringLiteral("Left");
    case VK_UP: return QStringLiteral("Up");
    case VK_RIGHT: return QStringLiteral("Right");
    case VK_DOWN: return QStringLiteral("Down");
    case VK_INSERT: return QStringLiteral("Ins");
    case VK_DELETE: return QStringLiteral("Del");
    default: break;
    }
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return String(QChar(key));
    if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9) return QStringLiteral("Num ") + QChar(u'0' + (key - VK_NUMPAD0));
    if (key >= VK_F1 && key <= VK_F1 + 23) return QStringLiteral("F") + String::number(key - VK_F1 + 1);
    return {};
}

} // namespace

String ShortCutToText(TShortCut ShortCut) {
    const String name = KeyName(WORD(ShortCut & 0xFF));
    if (name.isEmpty()) return {};
    String s;
    if (ShortCut & scShift) s += QStringLiteral("Shift+");
    if (ShortCut & scCtrl) s += QStringLiteral("Ctrl+");
    if (ShortCut & scAlt) s += QStringLiteral("Alt+");
    return s + name;
}

TShortCut TextToShortCut(const String& Text) {
    String rest = Text;
    TShortCut mods = 0;
    // The modifiers may come in any order and any case.
    for (bool more = true; more;) {
        more = false;
        for (const auto& [prefix, bit] : {std::pair<const char16_t*, TShortCut>{u"Shift+", scShift},
                                          {u"Ctrl+", scCtrl}, {u"Alt+", scAlt}}) {
            const String p = String::fromUtf16(prefix);
            if (rest.startsWith(p, Qt::CaseInsensitive) && rest.size() > p.size()) {
                mods |= bit;
                rest = rest.mid(p.size());
                more = true;
            }
        }
    }
    for (WORD key = 8; key <= 255; ++key) {
        const String name = KeyName(key);
        if (!name.isEmpty() && name.compare(rest, Qt::CaseInsensitive) == 0) return TShortCut(mods | key);
    }
    return scNone;
}

String StripHotkey(const String& Text) {
    String out;
    for (int i = 0; i < Text.size(); ++i) {
        if (Text[i] == u'&' && i + 1 < Text.size()) ++i;
        out += Text[i];
    }
    return out;
}

// ---- the action link ----

TMenuActionLink::TMenuActionLink(TObject* AClient) : TActionLink(AClient) { AssignClient(AClient); }

void TMenuActionLink::AssignClient(TObject* AClient) { FClient = dynamic_cast<TMenuItem*>(AClient); }

bool TMenuActionLink::IsAutoCheckLinked() {
    return TActionLink::IsAutoCheckLinked() && CustomAction() && FClient->AutoCheck() == CustomAction()->AutoCheck();
}
bool TMenuActionLink::IsCaptionLinked() {
    return TActionLink::IsCaptionLinked() && CustomAction() && FClient->Caption() == CustomAction()->Caption();
}
bool TMenuActionLink::IsCheckedLinked() {
    return TActionLink::IsCheckedLinked() && CustomAction() && FClient->Checked() == CustomAction()->Checked();
}
bool TMenuActionLink::IsEnabledLinked() {
    return TActionLink::IsEnabledLinked() && CustomAction() && FClient->Enabled() == CustomAction()->Enabled();
}
bool TMenuActionLink::IsGroupIndexLinked() {
    return FClient->RadioItem() && TActionLink::IsGroupIndexLinked() && CustomAction() &&
           FClient->GroupIndex() == CustomAction()->GroupIndex();
}
bool TMenuActionLink::IsHelpContextLinked() {
    return TActionLink::IsHelpContextLinked() && CustomAction() && FClient->HelpContext() == CustomAction()->HelpContext();
}
bool TMenuActionLink::IsHintLinked() {
    return TActionLink::IsHintLinked() && CustomAction() && FClient->Hint() == CustomAction()->Hint();
}
bool TMenuActionLink::IsImageIndexLinked() {
    return TActionLink::IsImageIndexLinked() && CustomAction() && FClient->ImageIndex() == CustomAction()->ImageIndex();
}
bool TMenuActionLink::IsShortCutLinked() {
    return TActionLink::IsShortCutLinked() && CustomAction() && FClient->ShortCut() == CustomAction()->ShortCut();
}
bool TMenuActionLink::IsVisibleLinked() {
    return TActionLink::IsVisibleLinked() && CustomAction() && FClient->Visible() == CustomAction()->Visible();
}
bool TMenuActionLink::IsOnExecuteLinked() {
    return TActionLink::IsOnExecuteLinked() && FAction && FClient->OnClick == FAction->OnExecute();
}

void TMenuActionLink::SetAutoCheck(bool Value) {
    if (IsAutoCheckLinked()) FClient->SetAutoCheck(Value);
}
void TMenuActionLink::SetCaption(const String& Value) {
    if (IsCaptionLinked()) FClient->SetCaption(Value);
}
void TMenuActionLink::SetChecked(bool Value) {
    if (IsCheckedLinked()) FClient->SetChecked(Value);
}
void TMenuActionLink::SetEnabled(bool Value) {
    if (IsEnabledLinked()) FClient->SetEnabled(Value);
}
void TMenuActionLink::SetGroupIndex(int Value) {
    if (IsGroupIndexLinked()) FClient->SetGroupIndex(Value);
}
void TMenuActionLink::SetHelpContext(THelpContext Value) {
    if (IsHelpContextLinked()) FClient->SetHelpContext(Value);
}
void TMenuActionLink::SetHint(const String& Value) {
    if (IsHintLinked()) FClient->SetHint(Value);
}
void TMenuActionLink::SetImageIndex(TImageIndex Value) {
    if (IsImageIndexLinked()) FClient->SetImageIndex(Value);
}
void TMenuActionLink::SetShortCut(TShortCut Value) {
    if (IsShortCutLinked()) FClient->SetShortCut(Value);
}
void TMenuActionLink::SetVisible(bool Value) {
    if (IsVisibleLinked()) FClient->SetVisible(Value);
}
void TMenuActionLink::SetOnExecute(const rtl::TNotifyEvent& Value) {
    if (IsOnExecuteLinked()) FClient->OnClick = Value;
}

// ---- menu items ----

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner), FCommand(NextCommand()) {}

TMenuItem::~TMenuItem() {
    if (FParent) FParent->Remove(this);
    while (!FItems.empty()) delete FItems.back();  // each child leaves this item as it dies
    FActionLink.reset();
    DestroyHandle();
}

void TMenuItem::Add(TMenuItem* Item) { Insert(Count(), Item); }

void TMenuItem::Insert(int Index, TMenuItem* Item) {
    if (!Item || Item->FParent) throw rtl::Exception(QStringLiteral("Menu inserted twice"));
    Index = std::clamp(Index, 0, Count());
    FItems.insert(FItems.begin() + Index, Item);
    Item->FParent = this;
    MenuChanged(true);
}

void TMenuItem::Delete(int Index) {
    if (Index < 0 || Index >= Count()) throw rtl::Exception(QStringLiteral("Menu index out of range"));
    TMenuItem* item = FItems[size_t(Index)];
    FItems.erase(FItems.begin() + Index);
    item->FParent = nullptr;
    MenuChanged(true);
}

void TMenuItem::Remove(TMenuItem* Item) {
    const int i = IndexOf(Item);
    if (i >= 0) Delete(i);
}

void TMenuItem::Clear() {
    while (!FItems.empty()) delete FItems.back();
}

int TMenuItem::IndexOf(const TMenuItem* Item) const {
    auto it = std::find(FItems.begin(), FItems.end(), Item);
    return it == FItems.end() ? -1 : int(it - FItems.begin());
}

TMenu* TMenuItem::GetParentMenu() const {
    const TMenuItem* root = this;
    while (root->FParent) root = root->FParent;
    return root->FMenu;
}

TMenuItem* TMenuItem::Find(const String& ACaption) const {
    const String wanted = StripHotkey(ACaption);
    for (TMenuItem* item : FItems)
        if (StripHotkey(item->Caption()).compare(wanted, Qt::CaseInsensitive) == 0) return item;
    return nullptr;
}

TComponent* TMenuItem::GetParentComponent() const {
    if (FParent && FParent->FMenu) return FParent->FMenu;
    return FParent;
}

void TMenuItem::SetParentComponent(TComponent* Value) {
    if (FParent) FParent->Remove(this);
    if (auto* menu = dynamic_cast<TMenu*>(Value)) menu->Items()->Add(this);
    else if (auto* item = dynamic_cast<TMenuItem*>(Value)) item->Add(this);
}

void TMenuItem::GetChildren(const rtl::TGetChildProc& Proc, TComponent* Root) {
    (void)Root;
    for (TMenuItem* item : FItems) Proc(item);
}

void TMenuItem::Notification(TComponent* AComponent, rtl::TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation != rtl::opRemove) return;
    if (AComponent == FSubMenuImages) SetSubMenuImages(nullptr);
    if (FActionLink && AComponent == FActionLink->Action()) SetAction(nullptr);
}

void TMenuItem::MenuChanged(bool Rebuild) {
    // The handle of the item that holds this one shows its caption and state: it is made again when
    // next needed.
    (FParent ? FParent : this)->FHandleStale = true;
    if (TMenu* menu = GetParentMenu()) menu->MenuChanged(menu, this, Rebuild);
}

void TMenuItem::SetCaption(const String& Value) {
    if (FCaption == Value) return;
    FCaption = Value;
    MenuChanged(true);
}

void TMenuItem::TurnSiblingsOff() {
    if (!FParent) return;
    for (TMenuItem* item : FParent->FItems)
        if (item != this && item->FRadioItem && item->FGroupIndex == FGroupIndex) {
            if (item->FActionLink) item->FActionLink->SetChecked(false);
            item->FChecked = false;
        }
}

void TMenuItem::SetChecked(bool Value) {
    if (FChecked == Value) return;
    FChecked = Value;
    if (Value && FRadioItem) TurnSiblingsOff();
    MenuChanged(false);
}

void TMenuItem::SetEnabled(bool Value) {
    if (FEnabled == Value) return;
    FEnabled = Value;
    MenuChanged(false);
}

void TMenuItem::SetVisible(bool Value) {
    if (FVisible == Value) return;
    FVisible = Value;
    MenuChanged(true);
}

void TMenuItem::SetDefault(bool Value) {
    if (FDefault == Value) return;
    if (Value && FParent)
        for (TMenuItem* item : FParent->FItems) item->FDefault = false;
    FDefault = Value;
    MenuChanged(true);
}

void TMenuItem::SetRadioItem(bool Value) {
    if (FRadioItem == Value) return;
    FRadioItem = Value;
    if (FChecked && FRadioItem) TurnSiblingsOff();
    MenuChanged(false);
}

void TMenuItem::SetGroupIndex(int Value) {
    if (FGroupIndex == Value) return;
    FGroupIndex = Value;
    if (FChecked && FRadioItem) TurnSiblingsOff();
}

void TMenuItem::SetShortCut(TShortCut Value) {
    if (FShortCut == Value) return;
    FShortCut = Value;
    MenuChanged(true);
}

void TMenuItem::SetImageIndex(TImageIndex Value) {
    if (FImageIndex == Value) return;
    FImageIndex = Value;
    MenuChanged(true);
}

TBitmap* TMenuItem::Bitmap() {
    if (!FBitmap) FBitmap = std::make_unique<TBitmap>();
    return FBitmap.get();
}

bool TMenuItem::HasBitmap() const { return FBitmap && !FBitmap->Empty(); }

void TMenuItem::SetBreak(TMenuBreak Value) {
    if (FBreak == Value) return;
    FBreak = Value;
    MenuChanged(true);
}

void TMenuItem::SetSubMenuImages(TCustomImageList* Value) {
    if (FSubMenuImages) RemoveFreeNotification(FSubMenuImages);
    FSubMenuImages = Value;
    if (Value) Value->FreeNotification(this);
    MenuChanged(true);
}

void TMenuItem::SetAction(TBasicAction* Value) {
    if (!Value) {
        FActionLink.reset();
        return;
    }
    if (!FActionLink) FActionLink = std::make_unique<TMenuActionLink>(this);
    FActionLink->SetAction(Value);
    FActionLink->OnChange = rtl::TNotifyEvent(this, &TMenuItem::DoActionChange);
    ActionChange(Value, Value->ComponentState().Contains(rtl::csLoading));
    Value->FreeNotification(this);
}

void TMenuItem::DoActionChange(TObject* Sender) {
    if (Sender == Action()) ActionChange(Sender, false);
}

void TMenuItem::ActionChange(TObject* Sender, bool CheckDefaults) {
    auto* action = dynamic_cast<TCustomAction*>(Sender);
    if (!action) return;
    if (!CheckDefaults || !FAutoCheck) SetAutoCheck(action->AutoCheck());
    if (!CheckDefaults || FCaption.isEmpty()) SetCaption(action->Caption());
    if (!CheckDefaults || !FChecked) SetChecked(action->Checked());
    if (!CheckDefaults || FEnabled) SetEnabled(action->Enabled());
    if (!CheckDefaults || FHelpContext == 0) SetHelpContext(action->HelpContext());
    if (!CheckDefaults || FHint.isEmpty()) SetHint(action->Hint());
    if (FRadioItem && (!CheckDefaults || FGroupIndex == 0)) SetGroupIndex(action->GroupIndex());
    if (!CheckDefaults || FImageIndex == -1) SetImageIndex(action->ImageIndex());
    if (!CheckDefaults || FShortCut == scNone) SetShortCut(action->ShortCut());
    if (!CheckDefaults || FVisible) SetVisible(action->Visible());
    if (!CheckDefaults || !OnClick) OnClick = action->OnExecute();
}

void TMenuItem::Click() {
    if (!FEnabled) return;
    // An item checks itself only when its action does not do it already.
    const auto* action = dynamic_cast<TCustomAction*>(Action());
    if (FAutoCheck && !(action && action->AutoCheck())) SetChecked(!FChecked);
    if (OnClick && Action() && !(OnClick == Action()->OnExecute())) OnClick(this);
    else if (FActionLink) FActionLink->Execute(this);
    else OnClick(this);
}

void TMenuItem::InitiateAction() {
    if (FActionLink) FActionLink->Update();
}

bool TMenuItem::IsOwnerDraw() const {
    const TMenu* menu = GetParentMenu();
    if (menu && menu->OwnerDraw()) return true;
    // Images and bitmaps are drawn by the library itself.
    const TCustomImageList* images = FParent && FParent->FSubMenuImages ? FParent->FSubMenuImages : menu ? menu->Images() : nullptr;
    return (images && FImageIndex >= 0) || HasBitmap();
}

void TMenuItem::AppendTo(HMENU Menu) {
    MENUITEMINFOW mi{};
    mi.cbSize = sizeof mi;
    mi.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING | MIIM_SUBMENU | MIIM_DATA;
    mi.wID = FCommand;
    String text = FCaption;
    const bool line = IsLine();
    if (FShortCut != scNone && !line && (!FParent || FParent->FParent || !GetParentMenu() || !GetParentMenu()->IsMenuBar()))
        text += QChar(u'\t') + ShortCutToText(FShortCut);
    FDrawCaption = text.toStdU16String();
    mi.dwTypeData = line ? nullptr : FDrawCaption.data();
    if (line) mi.fType |= MFT_SEPARATOR;
    if (FRadioItem) mi.fType |= MFT_RADIOCHECK;
    if (FBreak == mbBreak) mi.fType |= MFT_MENUBREAK;
    if (FBreak == mbBarBreak) mi.fType |= MFT_MENUBARBREAK;
    if (!line && IsOwnerDraw()) {
        // An owner-drawn item hands its caption to the platform as the item's data.
        mi.fType |= MFT_OWNERDRAW;
        mi.dwItemData = reinterpret_cast<ULONG_PTR>(FDrawCaption.c_str());
    }
    mi.fState = (FChecked ? MFS_CHECKED : 0) | (FEnabled ? 0 : MFS_GRAYED) | (FDefault ? MFS_DEFAULT : 0);
    if (!FItems.empty()) mi.hSubMenu = Handle();
    InsertMenuItemW(Menu, UINT(-1), TRUE, &mi);
}

HMENU TMenuItem::Handle() {
    if (FHandle && !FHandleStale && IsMenu(FHandle)) return FHandle;
    const TMenu* menu = GetParentMenu();
    const bool bar = !FParent && menu && menu->IsMenuBar();
    if (!FHandle || !IsMenu(FHandle)) FHandle = bar ? CreateMenu() : CreatePopupMenu();
    // Rebuilt in place, so windows and sub-menu items that hold the handle keep it.
    while (GetMenuItemCount(FHandle) > 0) RemoveMenu(FHandle, 0, MF_BYPOSITION);
    FHandleStale = false;
    for (TMenuItem* item : FItems)
        if (item->FVisible) item->AppendTo(FHandle);
    return FHandle;
}

void TMenuItem::DestroyHandle() {
    if (!FHandle) return;
    // The sub-items' menus belong to them: take them out before the handle dies.
    while (GetMenuItemCount(FHandle) > 0) RemoveMenu(FHandle, 0, MF_BYPOSITION);
    DestroyMenu(FHandle);
    FHandle = nullptr;
}

void TMenuItem::MeasureItem(TCanvas* ACanvas, int& Width, int& Height) {
    if (OnMeasureItem) {
        OnMeasureItem(this, ACanvas, Width, Height);
        return;
    }
    const TMenu* menu = GetParentMenu();
    const TCustomImageList* images = FParent && FParent->FSubMenuImages ? FParent->FSubMenuImages : menu ? menu->Images() : nullptr;
    const int imageW = images ? images->Width() : 16, imageH = images ? images->Height() : 16;
    String text = FCaption;
    if (FShortCut != scNone) text += QStringLiteral("    ") + ShortCutToText(FShortCut);
    Width = imageW + 8 + ACanvas->TextWidth(StripHotkey(text)) + 8;
    Height = std::max(imageH + 4, ACanvas->TextHeight(QStringLiteral("Wg")) + 4);
}

void TMenuItem::DrawItem(TCanvas* ACanvas, const TRect& ARect, bool Selected) {
    if (OnDrawItem) {
        OnDrawItem(this, ACanvas, ARect, Selected);
        return;
    }
    TOwnerDrawState state;
    if (Selected) state.Include(odSelected);
    if (!FEnabled) state.Include(odDisabled);
    if (FChecked) state.Include(odChecked);
    if (FDefault) state.Include(odDefault);
    AdvancedDrawItem(ACanvas, ARect, state, false);
}

void TMenuItem::AdvancedDrawItem(TCanvas* ACanvas, const TRect& ARect, TOwnerDrawState State, bool TopLevel) {
    (void)TopLevel;
    if (OnAdvancedDrawItem) {
        OnAdvancedDrawItem(this, ACanvas, ARect, State);
        return;
    }
    const bool selected = State.Contains(odSelected);
    ACanvas->Brush()->SetColor(selected ? clHighlight : clMenu);
    ACanvas->FillRect(ARect);
    const TMenu* menu = GetParentMenu();
    TCustomImageList* images = FParent && FParent->FSubMenuImages ? FParent->FSubMenuImages : menu ? menu->Images() : nullptr;
    const int imageW = images ? images->Width() : 16;
    if (images && FImageIndex >= 0) {
        images->Draw(ACanvas, ARect.Left + 2, ARect.Top + (ARect.Height() - images->Height()) / 2, FImageIndex, FEnabled);
        if (FChecked) {
            ACanvas->Brush()->SetColor(selected ? clHighlightText : clMenuText);
            ACanvas->FrameRect(TRect(ARect.Left, ARect.Top, ARect.Left + imageW + 4, ARect.Bottom));
        }
    } else if (HasBitmap()) {
        ACanvas->Draw(ARect.Left + 2, ARect.Top + (ARect.Height() - FBitmap->Height()) / 2, FBitmap.get());
    }
    ACanvas->Brush()->SetStyle(bsClear);
    ACanvas->Font()->SetColor(!FEnabled ? clGrayText : selected ? clHighlightText : clMenuText);
    TRect text(ARect.Left + imageW + 8, ARect.Top, ARect.Right - 4, ARect.Bottom);
    String caption = FCaption;
    ACanvas->TextRect(text, caption, TTextFormat{tfLeft, tfSingleLine, tfVerticalCenter});
    if (FShortCut != scNone) {
        String shortcut = ShortCutToText(FShortCut);
        ACanvas->TextRect(text, shortcut, TTextFormat{tfRight, tfSingleLine, tfVerticalCenter});
    }
    ACanvas->Brush()->SetStyle(bsSolid);
}

// ---- menus ----

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), FItems(std::make_unique<TMenuItem>(nullptr)) {
    FItems->FMenu = this;
    FImageChangeLink = std::make_unique<TChangeLink>();
    FImageChangeLink->OnChange = rtl::TNotifyEvent([this](TObject*) { FItems->MenuChanged(true); });
}

TMenu::~TMenu() {
    if (FImages) FImages->UnRegisterChanges(FImageChangeLink.get());
    FItems->FMenu = nullptr;  // the items die without telling a menu that is going away
    FItems.reset();
}

void TMenu::SetImages(TCustomImageList* Value) {
    if (FImages) {
        FImages->UnRegisterChanges(FImageChangeLink.get());
        RemoveFreeNotification(FImages);
    }
    FImages = Value;
    if (Value) {
        Value->RegisterChanges(FImageChangeLink.get());
        Value->FreeNotification(this);
    }
    FItems->MenuChanged(true);
}

void TMenu::SetOwnerDraw(bool Value) {
    if (FOwnerDraw == Value) return;
    FOwnerDraw = Value;
    FItems->MenuChanged(true);
}

void TMenu::Notification(TComponent* AComponent, rtl::TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == rtl::opRemove && AComponent == FImages) {
        // The list is going: it let go of its change links already and is only a component by now, so
        // it is forgotten without being called.
        FImages = nullptr;
        FItems->MenuChanged(true);
    }
}

void TMenu::MenuChanged(TObject* Sender, TMenuItem* Source, bool Rebuild) {
    (void)Source;
    (void)Rebuild;
    OnChange(Sender);
}

TMenuItem* TMenu::FindItem(UINT_PTR Value, TFindItemKind Kind) const { return FindIn(FItems.get(), Value, Kind); }

bool TMenu::IsShortCut(TShortCut ShortCut) {
    if (ShortCut == scNone) return false;
    TMenuItem* item = FindItem(ShortCut, fkShortCut);
    if (!item) return false;
    // Every parent is told first, as opening it would (their actions update the items).
    std::vector<TMenuItem*> chain;
    for (TMenuItem* p = item; p; p = p->Parent()) chain.push_back(p);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) (*it)->InitiateAction();
    if (!item->Enabled()) return false;
    item->Click();
    return true;
}

bool TMenu::IsShortCut(TWMKey& Message) { return IsShortCut(ShortCutFromKeyMessage(Message.CharCode(), Message.KeyData())); }

bool TMenu::DispatchCommand(WORD ACommand) {
    TMenuItem* item = FindItem(ACommand, fkCommand);
    if (!item || item == FItems.get()) return false;
    item->Click();
    return true;
}

bool TMenu::DispatchPopup(HMENU AMenu) {
    TMenuItem* item = FindItem(reinterpret_cast<UINT_PTR>(AMenu), fkHandle);
    if (!item) return false;
    // Opening an item's sub-menu is that item's click; its sub-items update from their actions.
    for (int i = 0; i < item->Count(); ++i) item->Items(i)->InitiateAction();
    if (item != FItems.get()) item->Click();
    if (item->FHandleStale) item->Handle();
    return true;
}

bool TMenu::DispatchMeasure(MEASUREITEMSTRUCT& Info) {
    if (Info.CtlType != ODT_MENU) return false;
    TMenuItem* item = FindItem(Info.itemID, fkCommand);
    if (!item) return false;
    HDC dc = GetDC(nullptr);
    DCCanvas c(dc);
    if (Screen) c.canvas.Font()->Assign(Screen->MenuFont());
    int w = int(Info.itemWidth), h = int(Info.itemHeight);
    item->MeasureItem(&c.canvas, w, h);
    Info.itemWidth = UINT(std::max(w, 0));
    Info.itemHeight = UINT(std::max(h, 0));
    c.canvas.SetHandle(nullptr);
    ReleaseDC(nullptr, dc);
    return true;
}

bool TMenu::DispatchDraw(const DRAWITEMSTRUCT& Info) {
    if (Info.CtlType != ODT_MENU) return false;
    TMenuItem* item = FindItem(Info.itemID, fkCommand);
    if (!item) return false;
    const int saved = SaveDC(Info.hDC);
    {
        DCCanvas c(Info.hDC);
        if (Screen) c.canvas.Font()->Assign(Screen->MenuFont());
        const TRect r(Info.rcItem.left, Info.rcItem.top, Info.rcItem.right, Info.rcItem.bottom);
        const bool selected = (Info.itemState & ODS_SELECTED) != 0;
        if (item->OnAdvancedDrawItem) item->AdvancedDrawItem(&c.canvas, r, OwnerDrawStateOf(Info.itemState), false);
        else item->DrawItem(&c.canvas, r, selected);
    }
    RestoreDC(Info.hDC, saved);
    return true;
}

void TMenu::GetChildren(const rtl::TGetChildProc& Proc, TComponent* Root) { FItems->GetChildren(Proc, Root); }

void TMenu::SetChildOrder(TComponent* Child, int Order) {
    auto* item = dynamic_cast<TMenuItem*>(Child);
    if (!item || item->Parent() != FItems.get()) return;
    FItems->Remove(item);
    FItems->Insert(Order, item);
}

void TMainMenu::SetWindowHandle(HWND Value) {
    if (FWindowHandle && FWindowHandle != Value && IsWindow(FWindowHandle)) ::SetMenu(FWindowHandle, nullptr);
    FWindowHandle = Value;
    if (Value) ::SetMenu(Value, Handle());
}

void TMainMenu::MenuChanged(TObject* Sender, TMenuItem* Source, bool Rebuild) {
    if (FWindowHandle && IsWindow(FWindowHandle)) {
        Handle();  // brings the bar's items up to date
        DrawMenuBar(FWindowHandle);
    }
    TMenu::MenuChanged(Sender, Source, Rebuild);
}

// ---- pop-up menus ----

namespace {

// A control's popup menu opens on its right click and on the menu key, unless AutoPopup is off.
bool ControlPopup(TPopupMenu* Menu, TControl* Control, const TPoint& Pos) {
    if (!Menu || !Menu->AutoPopup()) return false;
    Menu->SetPopupComponent(Control);
    Menu->Popup(Pos.X, Pos.Y);
    return true;
}

} // namespace

TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenu(AOwner) {
    ApplicationHooks().PopupMenu = &ControlPopup;
    PopupList()->Add(this);
}

TPopupMenu::~TPopupMenu() { PopupList()->Remove(this); }

void TPopupMenu::SetPopupComponent(TComponent* Value) {
    if (FPopupComponent) RemoveFreeNotification(FPopupComponent);
    FPopupComponent = Value;
    if (Value) Value->FreeNotification(this);
}

void TPopupMenu::Notification(TComponent* AComponent, rtl::TOperation Operation) {
    TMenu::Notification(AComponent, Operation);
    if (Operation == rtl::opRemove && AComponent == FPopupComponent) FPopupComponent = nullptr;
}

void TPopupMenu::DoPopup(TObject* Sender) { OnPopup(Sender); }

void TPopupMenu::DoClose() { OnClose(this); }

void TPopupMenu::Popup(int X, int Y) {
    FPopupPoint = TPoint(X, Y);
    DoPopup(this);
    static constexpr UINT align[] = {TPM_LEFTALIGN, TPM_RIGHTALIGN, TPM_CENTERALIGN};
    static constexpr UINT button[] = {TPM_RIGHTBUTTON, TPM_LEFTBUTTON};
    const UINT flags = align[FAlignment] | button[FTrackButton];
    FItems->InitiateAction();
    for (int i = 0; i < FItems->Count(); ++i) FItems->Items(i)->InitiateAction();
    TrackPopupMenu(FItems->Handle(), flags, X, Y, 0, PopupList()->Window(), nullptr);
    DoClose();
}

TPopupList::TPopupList() = default;

// The list lives as long as the process; its window goes with the window model.
TPopupList::~TPopupList() = default;

void TPopupList::Add(TPopupMenu* Popup) { FItems.push_back(Popup); }

void TPopupList::Remove(TPopupMenu* Popup) { FItems.erase(std::remove(FItems.begin(), FItems.end(), Popup), FItems.end()); }

HWND TPopupList::Window() {
    if (!FWindow || !IsWindow(FWindow)) FWindow = AllocateHWnd(TWndMethod(this, &TPopupList::WndProc));
    return FWindow;
}

void TPopupList::WndProc(TMessage& Message) {
    // Each handler may free menus: walk a copy.
    const std::vector<TPopupMenu*> menus = FItems;
    auto alive = [this](TPopupMenu* m) { return std::find(FItems.begin(), FItems.end(), m) != FItems.end(); };
    try {
        switch (Message.Msg) {
        case WM_COMMAND:
            for (TPopupMenu* m : menus)
                if (alive(m) && m->DispatchCommand(LOWORD(Message.WParam))) return;
            break;
        case WM_INITMENUPOPUP:
            for (TPopupMenu* m : menus)
                if (alive(m) && m->DispatchPopup(reinterpret_cast<HMENU>(Message.WParam))) return;
            break;
        case WM_MEASUREITEM:
            for (TPopupMenu* m : menus)
                if (alive(m) && m->DispatchMeasure(*reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam))) {
                    Message.Result = 1;
                    return;
                }
            break;
        case WM_DRAWITEM:
            for (TPopupMenu* m : menus)
                if (alive(m) && m->DispatchDraw(*reinterpret_cast<const DRAWITEMSTRUCT*>(Message.LParam))) {
                    Message.Result = 1;
                    return;
                }
            break;
        default: break;
        }
    } catch (...) {
        HandleControlException(nullptr);
        return;
    }
    Message.Result = DefWindowProcW(FWindow, Message.Msg, Message.WParam, Message.LParam);
}

TPopupList* PopupList() {
    static TPopupList list;
    return &list;
}

} // namespace vcl
