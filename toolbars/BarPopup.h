// toolbars/BarPopup.h: popup menus: the popup menu component that wraps a root item as a form's
// context menu, the image list with images for checked, disabled and hot items, and the shared menu
// font of root popups. The popup window itself is declared with the views in BarItem.h.
#pragma once
#include "toolbars/BarItem.h"

#include "vcl/Menus.h"

namespace bars {

// The system's menu font, made on first use; root popups use it. Refresh reads the system's again.
vcl::TFont* SharedMenuFont();
void RefreshSharedMenuFont();
// The first popup of the process paints before its sound starts; later ones sound first.
extern bool PopupSoundPlayedOnce;

class TBarPopupMenu : public vcl::TPopupMenu, public IBarItems {
public:
    explicit TBarPopupMenu(rtl::TComponent* AOwner);
    ~TBarPopupMenu() override;

    void Popup(int X, int Y) override;
    // Shows the menu at the screen point and returns the clicked item (nil when cancelled); with
    // ReturnClickedItemOnly the item is returned and not run.
    virtual TBarCustomItem* PopupEx(int X, int Y, bool ReturnClickedItemOnly = false);
    bool IsShortCut(vcl::TWMKey& Message) override;

    vcl::TCustomImageList* Images() const { return FItem->SubMenuImages(); }
    void SetImages(vcl::TCustomImageList* Value) { FItem->SetSubMenuImages(Value); }
    TBarRootItem* Items() const { return FItem; }
    TBarCustomItem* GetItems() override { return FItem; }
    TBarCustomItem* LinkSubitems() const { return FItem->LinkSubitems(); }
    void SetLinkSubitems(TBarCustomItem* Value) { FItem->SetLinkSubitems(Value); }
    TBarItemOptions Options() const { return FItem->Options(); }
    void SetOptions(TBarItemOptions Value) { FItem->SetOptions(Value); }

    // The items are stored as children of the menu.
    void GetChildren(const rtl::TGetChildProc& Proc, rtl::TComponent* Root) override;
    void SetChildOrder(rtl::TComponent* Child, int Order) override;

protected:
    virtual TBarRootItem* RootItemClass(rtl::TComponent* AOwner);
    void RootItemPopup(TBarCustomItem* Sender, bool FromLink);

    TBarRootItem* FItem = nullptr;
};

class TBarCustomImageList : public vcl::TImageList {
public:
    explicit TBarCustomImageList(rtl::TComponent* AOwner);
    TBarCustomImageList(rtl::TComponent* AOwner, int AWidth, int AHeight);
    ~TBarCustomImageList() override;

    // Draws image Index from the list the item's state calls for.
    virtual void DrawState(vcl::TCanvas* Canvas, int X, int Y, int Index, bool Enabled, bool Selected, bool Checked);

    vcl::TCustomImageList* CheckedImages() const { return FCheckedImages; }
    void SetCheckedImages(vcl::TCustomImageList* Value);
    vcl::TCustomImageList* DisabledImages() const { return FDisabledImages; }
    void SetDisabledImages(vcl::TCustomImageList* Value);
    vcl::TCustomImageList* HotImages() const { return FHotImages; }
    void SetHotImages(vcl::TCustomImageList* Value);
    vcl::TBitmap* ImagesBitmap() const { return FImagesBitmap.get(); }
    void SetImagesBitmap(vcl::TBitmap* Value);
    vcl::TColor ImagesBitmapMaskColor() const { return FImagesBitmapMaskColor; }
    void SetImagesBitmapMaskColor(vcl::TColor Value);

protected:
    void DefineProperties(rtl::TFiler* Filer) override;
    void Notification(rtl::TComponent* AComponent, rtl::TOperation Operation) override;

private:
    void Init();
    void SetStateList(vcl::TCustomImageList*& Field, vcl::TChangeLink* Link, vcl::TCustomImageList* Value);
    void LinkedListChanged(rtl::TObject* Sender);
    void ImagesBitmapChanged(rtl::TObject* Sender);

    vcl::TCustomImageList* FCheckedImages = nullptr;
    std::unique_ptr<vcl::TChangeLink> FCheckedImagesChangeLink;
    vcl::TCustomImageList* FDisabledImages = nullptr;
    std::unique_ptr<vcl::TChangeLink> FDisabledImagesChangeLink;
    vcl::TCustomImageList* FHotImages = nullptr;
    std::unique_ptr<vcl::TChangeLink> FHotImagesChangeLink;
    std::unique_ptr<vcl::TBitmap> FImagesBitmap;
    vcl::TColor FImagesBitmapMaskColor = vcl::clFuchsia;
};

// The bars' popup windows among the top-level windows, in their order (shown or not).
std::vector<TBarPopupWindow*> PopupWindows();

} // namespace bars
