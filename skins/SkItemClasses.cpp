// skins/SkItemClasses.cpp: the skinned items, their action link, the item cache, filling items from a
// system menu, and the customizing drag objects.
#include "skins/SkItem.h"
#include "skins/SkPopup.h"

#include "vcl/ActnList.h"
#include "vcl/Menus.h"
#include "vcl/StdCtrls.h"

#include "win/windows.h"

#include <algorithm>

namespace skins {

using namespace vcl;
using bars::TBarCustomItem;
using bars::TBarItemViewerClass;

namespace {

// A tool-box popup shows its items in toolbar style.
void SetToolbarStyleOption(TBarCustomItem* Item, bool Value) {
    auto options = Item->Options();
    if (Value)
        options.Include(bars::tboToolbarStyle);
    else
        options.Exclude(bars::tboToolbarStyle);
    Item->SetOptions(options);
}

void PopupShowingChanged(rtl::TObject* Sender, const TSkPopupEvent& OnInitPopup, const rtl::TNotifyEvent& OnClosePopup,
                         bars::TBarPopupWindow* APopupWindow, bool IsVisible) {
    if (!APopupWindow) return;
    if (IsVisible)
        OnInitPopup(Sender, APopupWindow->View());
    else
        OnClosePopup(Sender);
}

} // namespace

// ---------------------------------------------------------------------------------------------------
// TSkCustomItem

TSkCustomItem::TSkCustomItem(rtl::TComponent* AOwner)
    : TBarCustomItem(AOwner), FFontSettings(std::make_unique<TSkFontSettings>()) {
    FFontSettings->OnChange = rtl::TNotifyEvent(this, &TSkCustomItem::FontSettingsChanged);
}

TSkCustomItem::~TSkCustomItem() {
    if (FControl) FControl->RemoveFreeNotification(this);
    FControl = nullptr;
    FFontSettings->OnChange = nullptr;
}

void TSkCustomItem::FontSettingsChanged(rtl::TObject*) { Change(true); }

TBarItemViewerClass TSkCustomItem::GetItemViewerClass(bars::TBarView*) {
    return TBarItemViewerClass::Of<TSkItemViewer>();
}

std::unique_ptr<bars::TBarCustomItemActionLink> TSkCustomItem::CreateActionLink() {
    return std::make_unique<TSkCustomItemActionLink>(this);
}

void TSkCustomItem::Notification(rtl::TComponent* AComponent, rtl::TOperation Operation) {
    TBarCustomItem::Notification(AComponent, Operation);
    if (Operation == rtl::opRemove && AComponent == FControl) FControl = nullptr;
}

void TSkCustomItem::ApplyActionProperties(TBasicAction* Sender, bool CheckDefaults) {
    if (auto* action = dynamic_cast<TCustomAction*>(Sender)) {
        if (!CheckDefaults || Caption().isEmpty()) SetCaption(action->Caption());
        if (!CheckDefaults || Hint().isEmpty()) SetHint(action->Hint());
    }
    TBarCustomItem::ApplyActionProperties(Sender, CheckDefaults);
}

void TSkCustomItem::Click() {
    if (FControl) ToggleControl();
    TBarCustomItem::Click();
}

void TSkCustomItem::InitiateAction() {
    TBarCustomItem::InitiateAction();
    UpdateCheckedFromControl();
}

String TSkCustomItem::GetShortCutText() const {
    const String& caption = Caption();
    const qsizetype tab = caption.indexOf(u'\t');
    if (tab >= 0 && tab < caption.size() - 1) return caption.mid(tab + 1);
    return ShortCut() != 0 ? ShortCutToText(ShortCut()) : String();
}

bool TSkCustomItem::DialogChar(WORD) { return false; }

void TSkCustomItem::DoAdjustFont(TFont*, TSkSkinStatesType) {}

void TSkCustomItem::DoDrawHint(TBitmap* AHintBitmap, String& AHint, bool& PaintDefault) {
    if (OnDrawHint) OnDrawHint(this, AHintBitmap, AHint, PaintDefault);
}

void TSkCustomItem::DoDrawItem(TCanvas* ACanvas, const TRect& ARect, const TSkMenuItemInfo& ItemInfo,
                               TSkPaintStage PaintStage, bool& PaintDefault) {
    if (OnDrawItem) OnDrawItem(this, ACanvas, ARect, ItemInfo, PaintStage, PaintDefault);
}

void TSkCustomItem::DoDrawCaption(TCanvas* ACanvas, const TRect& ClientAreaRect, TSkSkinStatesType State,
                                  String& ACaption, TRect& CaptionRect, uint32_t& CaptionFormat, bool IsTextRotated,
                                  TSkPaintStage PaintStage, bool& PaintDefault) {
    if (OnDrawCaption)
        OnDrawCaption(this, ACanvas, ClientAreaRect, State, ACaption, CaptionRect, CaptionFormat, IsTextRotated,
                      PaintStage, PaintDefault);
}

void TSkCustomItem::DoDrawImage(TCanvas* ACanvas, TSkSkinStatesType State, TSkPaintStage PaintStage,
                                TCustomImageList*& AImageList, int& AImageIndex, TRect& ARect, bool& PaintDefault) {
    if (OnDrawImage) OnDrawImage(this, ACanvas, State, PaintStage, AImageList, AImageIndex, ARect, PaintDefault);
}

void TSkCustomItem::DoPopupShowingChanged(bars::TBarPopupWindow* APopupWindow, bool IsVisible) {
    PopupShowingChanged(this, OnInitPopup, OnClosePopup, APopupWindow, IsVisible);
}

void TSkCustomItem::ToggleControl() {
    if (FControl) FControl->SetVisible(!FControl->Visible());
}

void TSkCustomItem::UpdateCheckedFromControl() {
    const auto state = ComponentState();
    if (FControl && !state.Contains(rtl::csLoading) && !state.Contains(rtl::csDestroying) &&
        !state.Contains(rtl::csDesigning))
        SetChecked(FControl->Visible());
}

void TSkCustomItem::SetCaptionGlow(TSkGlowDirection Value) {
    if (FCaptionGlow == Value) return;
    FCaptionGlow = Value;
    Change(false);
}

void TSkCustomItem::SetCaptionGlowColor(TColor Value) {
    if (FCaptionGlowColor == Value) return;
    FCaptionGlowColor = Value;
    Change(false);
}

void TSkCustomItem::SetAlignment(TAlignment Value) {
    if (FAlignment == Value) return;
    FAlignment = Value;
    Change(false);
}

void TSkCustomItem::SetAnchored(bool Value) { FAnchored = Value; }

void TSkCustomItem::SetControl(TControl* Value) {
    if (FControl == Value) return;
    if (FControl) FControl->RemoveFreeNotification(this);
    FControl = Value;
    if (FControl) FControl->FreeNotification(this);
    UpdateCheckedFromControl();
}

void TSkCustomItem::SetCustomWidth(int Value) {
    Value = std::max(Value, -1);
    if (FCustomWidth == Value) return;
    FCustomWidth = Value;
    Change(true);
}

void TSkCustomItem::SetCustomHeight(int Value) {
    Value = std::max(Value, -1);
    if (FCustomHeight == Value) return;
    FCustomHeight = Value;
    Change(true);
}

void TSkCustomItem::SetFontSettings(TSkFontSettings* Value) { FFontSettings->Assign(Value); }

void TSkCustomItem::SetMargins(int Value) {
    if (FMargins == Value) return;
    FMargins = Value;
    Change(true);
}

void TSkCustomItem::SetMinHeight(int Value) {
    if (FMinHeight == Value) return;
    FMinHeight = Value;
    Change(true);
}

void TSkCustomItem::SetMinWidth(int Value) {
    if (FMinWidth == Value) return;
    FMinWidth = Value;
    Change(true);
}

void TSkCustomItem::SetStretch(bool Value) {
    if (FStretch == Value) return;
    FStretch = Value;
    Change(true);
}

void TSkCustomItem::SetToolBoxPopup(bool Value) {
    FToolBoxPopup = Value;
    SetToolbarStyleOption(this, Value);
}

void TSkCustomItem::SetWrapping(TTextWrapping Value) {
    if (FWrapping == Value) return;
    FWrapping = Value;
    Change(false);
}

// ---------------------------------------------------------------------------------------------------
// TSkSubmenuItem, labels, separators, root

TSkSubmenuItem::TSkSubmenuItem(rtl::TComponent* AOwner) : TSkItem(AOwner) {
    FItemStyle.Include(bars::tbisSubmenu);
    FItemStyle.Include(bars::tbisSubitemsEditable);
}

void TSkSubmenuItem::SetDropdownCombo(bool Value) {
    if (DropdownCombo() == Value) return;
    if (Value)
        FItemStyle.Include(bars::tbisCombo);
    else
        FItemStyle.Exclude(bars::tbisCombo);
    Change(true);
}

TSkCustomLabelItem::TSkCustomLabelItem(rtl::TComponent* AOwner) : TSkCustomItem(AOwner) {
    FItemStyle.Exclude(bars::tbisSelectable);
    FItemStyle.Exclude(bars::tbisRedrawOnSelChange);
    FItemStyle.Exclude(bars::tbisRedrawOnMouseOverChange);
    FItemStyle.Include(bars::tbisClicksTransparent);
    SetAlignment(taLeftJustify);
    SetStretch(false);
    SetDisplayMode(bars::nbdmImageAndText);
}

TBarItemViewerClass TSkCustomLabelItem::GetItemViewerClass(bars::TBarView*) {
    return TBarItemViewerClass::Of<TSkLabelItemViewer>();
}

bool TSkCustomLabelItem::DialogChar(WORD CharCode) {
    const bool result = TSkCustomItem::DialogChar(CharCode);
    if (result || !Enabled() || !Visible()) return result;
    auto* control = dynamic_cast<TWinControl*>(Control());
    if (!control || !IsAccel(CharCode, Caption()) || !CanFocusControl(control)) return result;
    control->SetFocus();
    return true;
}

void TSkCustomLabelItem::DoDrawItem(TCanvas* ACanvas, const TRect& ARect, const TSkMenuItemInfo& ItemInfo,
                                    TSkPaintStage PaintStage, bool& PaintDefault) {
    PaintDefault = true;
    TSkCustomItem::DoDrawItem(ACanvas, ARect, ItemInfo, PaintStage, PaintDefault);
    PaintDefault = false;
}

TBarItemViewerClass TSkSeparatorItem::GetItemViewerClass(bars::TBarView*) {
    return TBarItemViewerClass::Of<TSkSeparatorItemViewer>();
}

void TSkRootItem::SetToolBoxPopup(bool Value) {
    FToolBoxPopup = Value;
    SetToolbarStyleOption(this, Value);
}

bars::TBarPopupWindowClass TSkCustomItem::GetPopupWindowClass() { return TSkPopupWindow::ClassOf(); }
bars::TBarPopupWindowClass TSkRootItem::GetPopupWindowClass() { return TSkPopupWindow::ClassOf(); }

void TSkRootItem::DoPopupShowingChanged(bars::TBarPopupWindow* APopupWindow, bool IsVisible) {
    PopupShowingChanged(this, OnInitPopup, OnClosePopup, APopupWindow, IsVisible);
}

// ---------------------------------------------------------------------------------------------------
// TSkSystemMenuItem

TSkSystemMenuItem::TSkSystemMenuItem(rtl::TComponent* AOwner) : TSkCustomItem(AOwner) {
    FItemStyle.Exclude(bars::tbisRedrawOnSelChange);
    FItemStyle.Exclude(bars::tbisRedrawOnMouseOverChange);
    FItemStyle.Include(bars::tbisSubmenu);
    FItemStyle.Include(bars::tbisDontSelectFirst);
    SetCaption(QStringLiteral("&-"));
}

TBarItemViewerClass TSkSystemMenuItem::GetItemViewerClass(bars::TBarView*) {
    return TBarItemViewerClass::Of<TSkSystemMenuItemViewer>();
}

TCustomForm* TSkSystemMenuItem::TargetForm() const {
    TBarCustomItem* root = const_cast<TSkSystemMenuItem*>(this);
    while (root->Parent()) root = root->Parent();
    if (auto* control = dynamic_cast<TControl*>(root->ParentComponentOfRoot())) return GetParentForm(control);
    // No MDI children here: the main form is the target with MDISystemMenu too.
    return Application ? Application->MainForm() : nullptr;
}

void TSkSystemMenuItem::Click() {
    TSkCustomItem::Click();
    Clear();
    if (TCustomForm* form = TargetForm())
        FillSystemMenuPopup(form, this, true, true, true, true,
                            rtl::TNotifyEvent(this, &TSkSystemMenuItem::CommandClick));
}

void TSkSystemMenuItem::CommandClick(rtl::TObject* Sender) {
    auto* item = dynamic_cast<TBarCustomItem*>(Sender);
    TCustomForm* form = TargetForm();
    if (!item || !form) return;
    if (item->Tag() == SC_MAXIMIZE) {
        form->SetWindowState(wsMaximized);
        return;
    }
    form->Perform(WM_SYSCOMMAND, WPARAM(item->Tag()), LPARAM(GetMessagePos()));
}

// ---------------------------------------------------------------------------------------------------
// The item cache

void TSkItemCache::Assign(rtl::TPersistent* Source) {
    auto* source = dynamic_cast<TSkItemCache*>(Source);
    if (!source) {
        rtl::TCollectionItem::Assign(Source);
        return;
    }
    FDock = source->FDock;
    FItem = source->FItem;
    FWidth = source->FWidth;
    FHeight = source->FHeight;
    FParentWidth = source->FParentWidth;
    FParentHeight = source->FParentHeight;
}

String TSkItemCache::Name() const { return FItem ? FItem->Name() : FName; }

int TSkItemCacheCollection::Add(TBarCustomItem* AItem) {
    auto* entry = static_cast<TSkItemCache*>(rtl::TCollection::Add());
    entry->SetItem(AItem);
    return entry->Index();
}

int TSkItemCacheCollection::IndexOf(TBarCustomItem* AItem) const {
    if (!AItem) return -1;
    for (int i = 0; i < Count(); ++i)
        if (Items(i)->Item() == AItem) return i;
    return -1;
}

// ---------------------------------------------------------------------------------------------------
// System menus

String GetMenuItemText(HMENU Menu, int Position) {
    char16_t buffer[261] = {};
    const int n = GetMenuStringW(Menu, UINT(Position), buffer, 261, MF_BYPOSITION);
    return n > 0 ? String::fromUtf16(buffer, std::min(n, 260)) : String();
}

bool FillItemsFromMenu(HMENU Menu, TBarCustomItem* ParentItem) {
    if (!ParentItem || !IsMenu(Menu)) return false;
    rtl::TComponent* owner = ParentItem->Owner();
    const int count = GetMenuItemCount(Menu);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_TYPE;
        // Without a buffer the type query gives no text; the text comes from GetMenuItemText.
        if (!GetMenuItemInfoW(Menu, UINT(i), TRUE, &info)) continue;
        if (info.fType & MFT_SEPARATOR) {
            ParentItem->Add(new TSkSeparatorItem(owner));
            continue;
        }
        TSkCustomItem* item = info.hSubMenu ? static_cast<TSkCustomItem*>(new TSkSubmenuItem(owner))
                                            : static_cast<TSkCustomItem*>(new TSkItem(owner));
        item->SetCaption(GetMenuItemText(Menu, i));
        item->SetTag(intptr_t(info.wID));
        item->SetEnabled((info.fState & MFS_GRAYED) == 0);
        item->SetChecked((info.fState & MFS_CHECKED) != 0);
        if (info.fState & MFS_DEFAULT) {
            auto options = item->Options();
            options.Include(bars::tboDefault);
            item->SetOptions(options);
        }
        ParentItem->Add(item);
    }
    return true;
}

bool FillSystemMenuPopup(TCustomForm* Form, TBarCustomItem* ParentItem, bool ShowSize, bool ShowMinimize,
                         bool ShowMaximize, bool ShowClose, const rtl::TNotifyEvent& OnClick) {
    if (!Form || !ParentItem) return false;
    const int first = ParentItem->Count();
    if (!FillItemsFromMenu(GetSystemMenu(Form->Handle(), FALSE), ParentItem)) return false;
    const TWindowState state = Form->WindowState();
    for (int i = first; i < ParentItem->Count(); ++i) {
        TBarCustomItem* item = ParentItem->GetItem(i);
        item->OnClick = OnClick;
        auto glyph = [&](int Index) {
            item->SetImages(TitleButtonImages());
            item->SetImageIndex(Index);
        };
        switch (item->Tag()) {
        case SC_SIZE:
            item->SetVisible(ShowSize);
            item->SetEnabled(state != wsMaximized);
            break;
        case SC_MOVE: item->SetEnabled(state != wsMaximized); break;
        case SC_MINIMIZE:
            item->SetVisible(ShowMinimize);
            item->SetEnabled(state != wsMinimized);
            glyph(2);
            break;
        case SC_MAXIMIZE:
            item->SetVisible(ShowMaximize);
            item->SetEnabled(state != wsMaximized);
            glyph(1);
            break;
        case SC_CLOSE: {
            item->SetVisible(ShowClose);
            auto options = item->Options();
            options.Include(bars::tboDefault);
            item->SetOptions(options);
            glyph(0);
            break;
        }
        case SC_RESTORE:
            item->SetVisible(ShowMaximize);
            item->SetEnabled(state != wsNormal);
            glyph(3);
            break;
        default: break;
        }
    }
    return true;
}

// ---------------------------------------------------------------------------------------------------
// Drag objects

namespace {

// The drag object tells its source control what became of the drag, which only the control's own
// family may ask of it.
struct TDragSourceAccess : TControl {
    static void Canceled(TControl* Control) { (Control->*(&TDragSourceAccess::DragCanceled))(); }
};

} // namespace

TSkCustomDragObject::TSkCustomDragObject(TControl* ASourceControl, TBarCustomItem* AItem)
    : FDragCursorAccept(crCustomizeMove), FDragCursorCancel(crNo), FSourceControl(ASourceControl),
      FSourceItem(AItem) {}

TCursor TSkCustomDragObject::GetDragCursor(bool Accepted, int, int) {
    return Accepted ? FDragCursorAccept : FDragCursorCancel;
}

void TSkCustomDragObject::Finished(rtl::TObject* Target, int X, int Y, bool Accepted) {
    TDragObjectEx::Finished(Target, X, Y, Accepted);
    // The library hands the end of the drag (target and point) to the dragging control itself.
    if (!Accepted && FSourceControl) TDragSourceAccess::Canceled(FSourceControl);
}

} // namespace skins
