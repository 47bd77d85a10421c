// vcl/Menus.h: menus of the class library. A menu item tree (captions with '&', shortcuts, checks,
// radio groups, images, owner-draw events, actions) behind the platform's menu handles, pop-up menus
// with their OnPopup and automatic pop-up on right click or the menu key, the list of every pop-up
// menu, and the shortcut texts.
#pragma once
#include "vcl/ActnList.h"
#include "vcl/Controls.h"
#include "vcl/StdCtrls.h"

#include <memory>
#include <vector>

namespace vcl {

class TMenu;
class TMenuItem;
class TPopupMenu;
class TCanvas;
class TBitmap;
class TCustomImageList;

enum TMenuBreak { mbNone, mbBreak, mbBarBreak };
enum TPopupAlignment { paLeft, paRight, paCenter };
enum TTrackButton { tbRightButton, tbLeftButton };
enum TFindItemKind { fkCommand, fkHandle, fkShortCut };

using TMenuDrawItemEvent = rtl::TEvent<void(rtl::TObject* Sender, TCanvas* ACanvas, TRect ARect, bool Selected)>;
using TAdvancedMenuDrawItemEvent =
    rtl::TEvent<void(rtl::TObject* Sender, TCanvas* ACanvas, TRect ARect, TOwnerDrawState State)>;
using TMenuMeasureItemEvent = rtl::TEvent<void(rtl::TObject* Sender, TCanvas* ACanvas, int& Width, int& Height)>;

// Keeps a menu item in step with its action.
class TMenuActionLink : public TActionLink {
public:
    explicit TMenuActionLink(rtl::TObject* AClient);

    bool IsAutoCheckLinked() override;
    bool IsCaptionLinked() override;
    bool IsCheckedLinked() override;
    bool IsEnabledLinked() override;
    bool IsGroupIndexLinked() override;
    bool IsHelpContextLinked() override;
    bool IsHintLinked() override;
    bool IsImageIndexLinked() override;
    bool IsShortCutLinked() override;
    bool IsVisibleLinked() override;
    bool IsOnExecuteLinked() override;

    void SetAutoCheck(bool Value) override;
    void SetCaption(const rtl::String& Value) override;
    void SetChecked(bool Value) override;
    void SetEnabled(bool Value) override;
    void SetGroupIndex(int Value) override;
    void SetHelpContext(THelpContext Value) override;
    void SetHint(const rtl::String& Value) override;
    void SetImageIndex(TImageIndex Value) override;
    void SetShortCut(TShortCut Value) override;
    void SetVisible(bool Value) override;
    void SetOnExecute(const rtl::TNotifyEvent& Value) override;

protected:
    void AssignClient(rtl::TObject* AClient) override;
    TMenuItem* FClient = nullptr;
};

class TMenuItem : public rtl::TComponent {
public:
    explicit TMenuItem(rtl::TComponent* AOwner);
    ~TMenuItem() override;  // leaves its parent and frees its sub-items

    // The tree.
    int Count() const { return static_cast<int>(FItems.size()); }
    TMenuItem* Items(int Index) const { return FItems.at(static_cast<size_t>(Index)); }
    TMenuItem* Parent() const { return FParent; }
    void Add(TMenuItem* Item);
    void Insert(int Index, TMenuItem* Item);
    void Delete(int Index);  // takes the item out without freeing it
    void Remove(TMenuItem* Item);
    void Clear();            // frees every sub-item
    int IndexOf(const TMenuItem* Item) const;
    int MenuIndex() const { return FParent ? FParent->IndexOf(this) : -1; }
    TMenu* GetParentMenu() const;
    TMenuItem* Find(const rtl::String& ACaption) const;  // a sub-item by caption, '&' ignored

    // The platform's menu of the sub-items, made on first use and rebuilt after changes.
    HMENU Handle();
    bool HandleAllocated() const { return FHandle != nullptr; }
    UINT Command() const { return FCommand; }
    bool IsLine() const { return FCaption == QStringLiteral("-"); }

    // Properties.
    const rtl::String& Caption() const { return FCaption; }
    void SetCaption(const rtl::String& Value);
    bool Checked() const { return FChecked; }
    void SetChecked(bool Value);  // checking a radio item unchecks the others of its group
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    bool Default() const { return FDefault; }
    void SetDefault(bool Value);
    bool RadioItem() const { return FRadioItem; }
    void SetRadioItem(bool Value);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value);
    bool AutoCheck() const { return FAutoCheck; }
    void SetAutoCheck(bool Value) { FAutoCheck = Value; }
    TShortCut ShortCut() const { return FShortCut; }
    void SetShortCut(TShortCut Value);
    const rtl::String& Hint() const { return FHint; }
    void SetHint(const rtl::String& Value) { FHint = Value; }
    THelpContext HelpContext() const { return FHelpContext; }
    void SetHelpContext(THelpContext Value) { FHelpContext = Value; }
    TImageIndex ImageIndex() const { return FImageIndex; }
    void SetImageIndex(TImageIndex Value);
    TBitmap* Bitmap();  // made on first use
    bool HasBitmap() const;
    TMenuBreak Break() const { return FBreak; }
    void SetBreak(TMenuBreak Value);
    TCustomImageList* SubMenuImages() const { return FSubMenuImages; }
    void SetSubMenuImages(TCustomImageList* Value);
    TBasicAction* Action() const { return FActionLink ? FActionLink->Action() : nullptr; }
    void SetAction(TBasicAction* Value);
    TMenuActionLink* ActionLink() const { return FActionLink.get(); }

    // What choosing the item does: AutoCheck toggles, then OnClick or the action runs.
    virtual void Click();
    void InitiateAction();  // the action updates the item

    // Owner drawing: the events, or the library's own look without them.
    virtual void DrawItem(TCanvas* ACanvas, const TRect& ARect, bool Selected);
    virtual void AdvancedDrawItem(TCanvas* ACanvas, const TRect& ARect, TOwnerDrawState State, bool TopLevel);
    virtual void MeasureItem(TCanvas* ACanvas, int& Width, int& Height);

    rtl::TNotifyEvent OnClick;
    TMenuDrawItemEvent OnDrawItem;
    TAdvancedMenuDrawItemEvent OnAdvancedDrawItem;
    TMenuMeasureItemEvent OnMeasureItem;

    bool HasParent() const override { return true; }
    rtl::TComponent* GetParentComponent() const override;
    void SetParentComponent(rtl::TComponent* Value) override;
    void GetChildren(const rtl::TGetChildProc& Proc, rtl::TComponent* Root) override;

protected:
    void Notification(rtl::TComponent* AComponent, rtl::TOperation Operation) override;
    virtual void ActionChange(rtl::TObject* Sender, bool CheckDefaults);
    void MenuChanged(bool Rebuild);  // the handle is rebuilt when it is next needed
    bool IsOwnerDraw() const;

private:
    friend class TMenu;
    void DoActionChange(rtl::TObject* Sender);
    void TurnSiblingsOff();
    void AppendTo(HMENU Menu);
    void DestroyHandle();

    std::vector<TMenuItem*> FItems;
    TMenuItem* FParent = nullptr;
    TMenu* FMenu = nullptr;  // the menu whose root item this is
    HMENU FHandle = nullptr;
    bool FHandleStale = false;
    UINT FCommand = 0;
    rtl::String FCaption;
    std::u16string FDrawCaption;  // the caption an owner-drawn item hands the platform as its data
    bool FChecked = false, FEnabled = true, FVisible = true, FDefault = false, FRadioItem = false, FAutoCheck = false;
    int FGroupIndex = 0;
    TShortCut FShortCut = scNone;
    rtl::String FHint;
    THelpContext FHelpContext = 0;
    TImageIndex FImageIndex = -1;
    std::unique_ptr<TBitmap> FBitmap;
    TMenuBreak FBreak = mbNone;
    TCustomImageList* FSubMenuImages = nullptr;
    std::unique_ptr<TMenuActionLink> FActionLink;
};

class TMenu : public rtl::TComponent {
public:
    explicit TMenu(rtl::TComponent* AOwner);
    ~TMenu() override;

    TMenuItem* Items() const { return FItems.get(); }
    virtual HMENU Handle() { return FItems->Handle(); }
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    bool OwnerDraw() const { return FOwnerDraw; }
    void SetOwnerDraw(bool Value);
    // The window that hears the menu's messages (a form for a main menu, the pop-up list's window).
    HWND WindowHandle() const { return FWindowHandle; }
    virtual void SetWindowHandle(HWND Value) { FWindowHandle = Value; }

    TMenuItem* FindItem(UINT_PTR Value, TFindItemKind Kind) const;
    // A key with its modifiers runs the enabled item whose shortcut it is; true when one did.
    virtual bool IsShortCut(TWMKey& Message);
    bool IsShortCut(TShortCut ShortCut);
    // WM_COMMAND and WM_INITMENUPOPUP of the menu's handles: the item's Click; true when it was ours.
    bool DispatchCommand(WORD ACommand);
    bool DispatchPopup(HMENU AMenu);
    // WM_MEASUREITEM and WM_DRAWITEM of an owner-drawn item; true when it was ours.
    bool DispatchMeasure(MEASUREITEMSTRUCT& Info);
    bool DispatchDraw(const DRAWITEMSTRUCT& Info);

    void GetChildren(const rtl::TGetChildProc& Proc, rtl::TComponent* Root) override;
    void SetChildOrder(rtl::TComponent* Child, int Order) override;

    rtl::TNotifyEvent OnChange;

protected:
    friend class TMenuItem;
    virtual bool IsMenuBar() const { return false; }
    void Notification(rtl::TComponent* AComponent, rtl::TOperation Operation) override;
    virtual void MenuChanged(rtl::TObject* Sender, TMenuItem* Source, bool Rebuild);

    std::unique_ptr<TMenuItem> FItems;
    TCustomImageList* FImages = nullptr;
    bool FOwnerDraw = false;
    HWND FWindowHandle = nullptr;
    std::unique_ptr<TChangeLink> FImageChangeLink;
};

// A form's menu bar: the root items become the bar of the window it is given.
class TMainMenu : public TMenu {
public:
    explicit TMainMenu(rtl::TComponent* AOwner) : TMenu(AOwner) {}
    void SetWindowHandle(HWND Value) override;  // shows the bar on that window (nullptr takes it away)

protected:
    bool IsMenuBar() const override { return true; }
    void MenuChanged(rtl::TObject* Sender, TMenuItem* Source, bool Rebuild) override;
};

class TPopupMenu : public TMenu {
public:
    explicit TPopupMenu(rtl::TComponent* AOwner);
    ~TPopupMenu() override;

    // OnPopup, then the menu's modal loop at the screen point; the chosen item's Click follows when the
    // pop-up list's window hears its command.
    virtual void Popup(int X, int Y);
    rtl::TComponent* PopupComponent() const { return FPopupComponent; }
    void SetPopupComponent(rtl::TComponent* Value);
    TPoint PopupPoint() const { return FPopupPoint; }
    void SetPopupPoint(const TPoint& Value) { FPopupPoint = Value; }
    TPopupAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TPopupAlignment Value) { FAlignment = Value; }
    TTrackButton TrackButton() const { return FTrackButton; }
    void SetTrackButton(TTrackButton Value) { FTrackButton = Value; }
    bool AutoPopup() const { return FAutoPopup; }
    void SetAutoPopup(bool Value) { FAutoPopup = Value; }

    rtl::TNotifyEvent OnPopup;
    rtl::TNotifyEvent OnClose;

protected:
    virtual void DoPopup(rtl::TObject* Sender);
    virtual void DoClose();
    void Notification(rtl::TComponent* AComponent, rtl::TOperation Operation) override;

private:
    rtl::TComponent* FPopupComponent = nullptr;
    TPoint FPopupPoint{-1, -1};
    TPopupAlignment FAlignment = paLeft;
    TTrackButton FTrackButton = tbRightButton;
    bool FAutoPopup = true;
};

// Every pop-up menu, and the window that hears their commands and owner-draw requests.
class TPopupList : public rtl::TObject {
public:
    TPopupList();
    ~TPopupList() override;

    int Count() const { return static_cast<int>(FItems.size()); }
    TPopupMenu* Items(int Index) const { return FItems.at(static_cast<size_t>(Index)); }
    void Add(TPopupMenu* Popup);
    void Remove(TPopupMenu* Popup);
    HWND Window();

private:
    void WndProc(TMessage& Message);
    std::vector<TPopupMenu*> FItems;
    HWND FWindow = nullptr;
};

TPopupList* PopupList();

// "Ctrl+Shift+F1" and back; an unknown text is scNone.
rtl::String ShortCutToText(TShortCut ShortCut);
TShortCut TextToShortCut(const rtl::String& Text);
// The caption without its accelerator marks ("&&" stays one '&').
rtl::String StripHotkey(const rtl::String& Text);

} // namespace vcl
