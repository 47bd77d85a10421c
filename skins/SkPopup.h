// skins/SkPopup.h: skinned popup windows (background, gutter, the join with the toolbar item that
// opened them, empty submenus that show nothing, popup events), the skinned chevron with its viewer and
// popup, and the skinned popup menu with Popup and PopupEx.
#pragma once
#include "skins/SkControls.h"
#include "skins/SkItem.h"

#include "toolbars/BarPopup.h"
#include "toolbars/BarToolbar.h"

namespace skins {

using vcl::TPoint;

class TSkPopupWindowView : public bars::TBarPopupView {
public:
    using bars::TBarPopupView::TBarPopupView;
    // An empty popup of a submenu with HideEmptyPopup becomes a 0 x 0 window.
    void FitWindowToContent(int W, int H) override;
    void SetIsToolbar(bool Value) { FIsToolbar = Value; }
};

class TSkPopupWindow : public bars::TBarPopupWindow {
public:
    TSkPopupWindow(rtl::TComponent* AOwner, bars::TBarView* AParentView, bars::TBarCustomItem* AItem,
                   bool ACustomizing);
    ~TSkPopupWindow() override;

    // The window class of skinned items: the window, its view, then the skinned finish.
    template <class T = TSkPopupWindow> static bars::TBarPopupWindowClass ClassOf() {
        return {&typeid(T), [](rtl::TComponent* O, bars::TBarView* V, bars::TBarCustomItem* I,
                               bool C) -> bars::TBarPopupWindow* {
                    T* window = new T(O, V, I, C);
                    bars::TBarPopupWindowClass::FinishPopupWindow(window, V, I, C);
                    window->ViewCreated(I);
                    return window;
                }};
    }

    bars::TBarViewClass ViewClass() override;
    virtual void DoPopupShowingChanged(bool IsVisible);
    virtual void PaintBackground(vcl::TCanvas* ACanvas, const TRect& ARect);
    const vcl::TSize& MaximumImageSize() const { return FMaximumImageSize; }

protected:
    // A toolbar-style popup lays out as a toolbar; the largest image size is taken.
    void ViewCreated(bars::TBarCustomItem* AItem);
    void PaintNCFrame(HDC DC) override;
    void CMShowingChanged(vcl::TMessage& Message) override;
    void Dispatch(vcl::TMessage& Message) override;
    // The whole window, frame included, on DC.
    void PaintPopupNC(HDC DC);

    bool FPaintingClientArea = false;
    vcl::TSize FMaximumImageSize{0, 0};
    bool FShownOnce = false;
};

// ---- the chevron ----

class TSkChevronItem : public bars::TBarChevronItem {
public:
    using bars::TBarChevronItem::TBarChevronItem;
    bars::TBarItemViewerClass GetItemViewerClass(bars::TBarView* AView) override;
    bars::TBarPopupWindowClass GetPopupWindowClass() override;
};

class TSkChevronItemViewer : public bars::TBarItemViewer {
public:
    using bars::TBarItemViewer::TBarItemViewer;
    void Paint(vcl::TCanvas* Canvas, const TRect& ClientAreaRect, bool IsSelected, bool IsPushed,
               bool UseDisabledShadow) override;
    virtual TColor GetTextColor(TSkSkinStatesType State);
};

// The chevron glyphs, one 16-bit row per line, the used bits leftmost: horizontal 8 x 5, vertical 5 x 8.
extern const uint8_t SkChevronGlyphHorizontal[16];   // padded to the 8 rows the drawing reads
extern const uint8_t SkChevronGlyphVertical[16];

class TSkChevronPopupWindow : public TSkPopupWindow {
public:
    using TSkPopupWindow::TSkPopupWindow;

protected:
    // The hidden items of a toolbar with ChevronVertical are listed as a menu.
    void Dispatch(vcl::TMessage& Message) override;
};

// ---- the popup menu ----

class TSkPopupMenu : public bars::TBarPopupMenu, public ISkPopupMenu {
public:
    explicit TSkPopupMenu(rtl::TComponent* AOwner);
    ~TSkPopupMenu() override;

    TSkRootItem* SkItems() const { return static_cast<TSkRootItem*>(FItem); }
    void Popup(int X, int Y) override;
    // Under PopupControl's bottom-left corner when one is given; with ReturnClickedItemOnly the chosen
    // item is returned and not run.
    virtual bars::TBarCustomItem* PopupEx(int X, int Y, vcl::TControl* PopupControl, bool ReturnClickedItemOnly);
    bars::TBarCustomItem* PopupEx(int X, int Y, bool ReturnClickedItemOnly = false) override {
        return PopupEx(X, Y, nullptr, ReturnClickedItemOnly);
    }
    // Shows the menu; afterwards a windowed PopupControl that still exists is posted CM_POPUPMENUCLOSED
    // and its children hear it at once.
    bool InternalPopup(int X, int Y, bool ForceFocus, vcl::TControl* PopupControl) override;

    bool ToolBoxPopup() const { return FToolBoxPopup; }
    void SetToolBoxPopup(bool Value) { FToolBoxPopup = Value; }
    bool ReturnClickedItemOnly() const { return FReturnClickedItemOnly; }
    bars::TBarCustomItem* ClickedItem() const { return FClickedItem; }

    TSkPopupEvent& OnInitPopup() { return SkItems()->OnInitPopup; }
    rtl::TNotifyEvent& OnClosePopup() { return SkItems()->OnClosePopup; }

protected:
    void Notification(rtl::TComponent* AComponent, rtl::TOperation Operation) override;

private:
    bars::TBarCustomItem* FClickedItem = nullptr;
    bool FReturnClickedItemOnly = false;
    bool FToolBoxPopup = false;
    vcl::TWinControl* FWatchedControl = nullptr;
};

} // namespace skins
