// skins/SkBars.h: skinned docks and toolbars: backgrounds and docked non-client areas painted through
// the current skin, the drag handle with its close button, a right-align spacer and anchored items
// that follow the dock's length, a cap on a toolbar's thickness, display modes, label clicks, and
// rearranging items by drag and drop while customizing; and the skinned frame of a floating bar.
#pragma once
#include "skins/SkControls.h"
#include "skins/SkItem.h"

#include "toolbars/BarToolbar.h"

namespace skins {

using vcl::TPoint;

class TSkDock;
class TSkToolbar;

// ---- painting a dockable window ----

// Desktop composition; a test sets the probe to answer in its place.
extern bool (*DwmCompositionProbe)();
bool IsDwmCompositionEnabled();

// The drag handle's thickness: 0 without a dock or when the dock allows no dragging.
int GetDragHandleSize(bars::TBarCustomDockableWindow* Window);
// The window's dock lies at the left or right edge.
bool IsDockedVertically(bars::TBarCustomDockableWindow* Window);
bool IsDockBackgroundValid(bars::TBarDock* Dock);
// The dock under the bar (a skinned dock shows through it), then the bar's own background.
void DrawDockableWindowBackground(bars::TBarCustomDockableWindow* Window, vcl::TCanvas* ACanvas, const TRect& ARect,
                                  bool PaintOnNCArea, bool PaintBorders, TSkSkinComponentsType Component);
// The grip and the docked close button over the window rectangle R (window coordinates).
// Hover and Held are the close button's states.
void DrawDragHandleAndCloseButton(bars::TBarCustomDockableWindow* Window, vcl::TCanvas* ACanvas, const TRect& R,
                                  bool Hover = false, bool Held = false);

// The close glyph: 7 x 7, a row per byte from the top, leftmost pixel in the high bit.
extern const uint8_t CloseGlyph[7];

// ---- the dock ----

class TSkDock : public bars::TBarDock {
public:
    explicit TSkDock(rtl::TComponent* AOwner);
    ~TSkDock() override;

    void DrawBackground(HDC DC, const TRect& DrawRect) override;
    // The skinned background is always in use: erasing and moving always go through DrawBackground.
    bool BackgroundInUse() override { return true; }
    bool CanResize(int& NewWidth, int& NewHeight) override;
    void Resize() override;
    virtual void DoDrawBackground(vcl::TCanvas* ACanvas, const TRect& ARect, TSkPaintStage PaintStage,
                                  bool& PaintDefault);

    bool Moving() const { return FMoving; }
    bool Resizing() const { return FResizing; }

    TSkDrawEvent OnDrawBackground;

protected:
    void Dispatch(vcl::TMessage& Message) override;

private:
    bool FMoving = false;
    bool FResizing = false;
    int FPrevWidth = 0;
    int FPrevHeight = 0;
};

// ---- the toolbar ----

enum TSkToolbarDisplayMode { tbdmSelectiveCaption, tbdmImageOnly, tbdmImageAboveCaption, tbdmTextOnly };
enum TSkToolbarState { tstResizing, tstRightAligning, tstAnchoring };
using TSkToolbarStates = rtl::TSet<TSkToolbarState>;

using TSkItemNotificationEvent =
    rtl::TEvent<void(rtl::TObject* Sender, bars::TBarCustomItem* Ancestor, bool Relayed,
                     bars::TBarItemChangedAction Action, int Index, bars::TBarCustomItem* Item)>;

class TSkToolbarView : public bars::TBarToolbarView {
public:
    TSkToolbarView(rtl::TComponent* AOwner, bars::TBarView* AParentView, bars::TBarCustomItem* AParentItem,
                   vcl::TWinControl* AWindow, bool AIsToolbar, bool ACustomizing, bool AUsePriorityList);

    void LayoutAndResize(TPoint& NewSize) override;
    void BeginUpdate();
    // The last end of an update right-aligns and anchors the owner's items.
    void EndUpdate();
    bool IsUpdating() const { return FUpdating > 0; }

    int MaxSize() const { return FMaxSize; }
    void SetMaxSize(int Value);
    int TallestItemSize() const { return FTallestItemSize; }

private:
    int FMaxSize = -1;
    int FTallestItemSize = 0;
    int FUpdating = 0;
};

class TSkToolbar : public bars::TBarCustomToolbar {
public:
    explicit TSkToolbar(rtl::TComponent* AOwner);
    ~TSkToolbar() override;

    TSkToolbarView* SkView() const { return static_cast<TSkToolbarView*>(View()); }

    // Menu-bar painting on or off; a menu bar is never customizable.
    void SetMenuBar(bool Value);
    bool MenuBar() const { return FMenuBar; }
    bool Customizable() const { return FCustomizable; }
    void SetCustomizable(bool Value);
    TSkToolbarDisplayMode DisplayMode() const { return FDisplayMode; }
    void SetDisplayMode(TSkToolbarDisplayMode Value);
    bool ChevronVertical() const { return FChevronVertical; }
    void SetChevronVertical(bool Value) { FChevronVertical = Value; }
    bool CompoundToolbar() const { return FCompoundToolbar; }
    void SetCompoundToolbar(bool Value) { FCompoundToolbar = Value; }
    int MaxSize() const;
    void SetMaxSize(int Value);

    bool IsVertical() { return IsDockedVertically(this); }
    bool IsUpdating() const { return SkView() && SkView()->IsUpdating(); }
    bool IsCustomizing() const { return FCustomizingCount > 0; }
    bool IsItemMoving() const { return FItemMovingCount > 0; }
    void BeginCustomize() { ++FCustomizingCount; }
    void EndCustomize() { --FCustomizingCount; }
    void BeginItemMove() { ++FItemMovingCount; }
    void EndItemMove() { --FItemMovingCount; }
    const TSkToolbarStates& State() const { return FState; }
    const TRect& LastDropMark() const { return FLastDropMark; }
    TSkItemCacheCollection* AnchoredControlItems() const { return FAnchoredControlItems.get(); }
    int DefaultToolbarBorderSize() const { return FDefaultToolbarBorderSize; }

    void ReadPositionData(const bars::TBarReadPositionData& Data) override;
    void WritePositionData(const bars::TBarWritePositionData& Data) override;
    void PaintDockedNCArea(bool DrawToDC, HDC DC, HRGN Clip) override;
    TPoint GetFloatingBorderSize() override;
    bars::TBarFloatingWindowParentClass FloatingParentClass() override;
    void DragOver(rtl::TObject* Source, int X, int Y, vcl::TDragState State, bool& Accept) override;
    void DragDrop(rtl::TObject* Source, int X, int Y) override;

    // New operations.
    virtual void AnchorItems(bool UpdateControlItems);
    virtual void RightAlignItems();
    virtual TColor GetItemsTextColor(TSkSkinStatesType State);
    virtual void DrawBackground(vcl::TCanvas* ACanvas, const TRect& ARect, bool PaintOnNCArea, bool PaintBorders);
    virtual void DoDrawBackground(vcl::TCanvas* ACanvas, const TRect& ARect, TSkPaintStage PaintStage,
                                  bool& PaintDefault);
    virtual int GetRightAlignMargin();
    virtual bool CanDragCustomize(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y);
    virtual bool CanItemClick(bars::TBarCustomItem* Item, vcl::TMouseButton Button, vcl::TShiftState Shift, int X,
                              int Y);
    virtual void DoItemClick(bars::TBarCustomItem* Item, vcl::TMouseButton Button, vcl::TShiftState Shift, int X,
                             int Y);
    virtual void DoItemNotification(bars::TBarCustomItem* Ancestor, bool Relayed, bars::TBarItemChangedAction Action,
                                    int Index, bars::TBarCustomItem* Item);
    // Right-aligns and anchors the items, then the base handling.
    void Resize() override;
    // The paint that keeps items from flickering on a size change: items at once, then the rest.
    void RepaintWithoutFlicker();
    // Wraps Control in a control item at Index, unless an item (groups searched) already wraps it. The
    // inner toolbar of a compound bar puts it among the items its owner keeps.
    void AddControlItem(int Index, vcl::TControl* Control);

    TSkDrawEvent OnDrawBackground;
    TSkItemNotificationEvent OnItemNotification;

protected:
    bars::TBarChevronItem* ChevronItemClass(rtl::TComponent* AOwner) override;
    bars::TBarViewClass ViewClass() override;
    void MouseDown(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y) override;
    void MouseMove(vcl::TShiftState Shift, int X, int Y) override;
    void DoStartDrag(vcl::TDragObject*& DragObject) override;
    void Dispatch(vcl::TMessage& Message) override;
    void CMControlChange(vcl::TCMControlChange& Message) override;

    int FCustomizingCount = 0;
    int FItemMovingCount = 0;

private:
    void ItemNotification(bars::TBarCustomItem* Sender, bool Relayed, bars::TBarItemChangedAction Action, int Index,
                          bars::TBarCustomItem* Item);
    bool Destroying() const { return ComponentState().Contains(rtl::csDestroying); }

    bool FChevronVertical = true;
    bool FCompoundToolbar = false;
    bool FCustomizable = true;
    TSkToolbarDisplayMode FDisplayMode = tbdmSelectiveCaption;
    TRect FLastDropMark;
    int FLastSelectableWidth = 0;
    bool FMenuBar = false;
    bars::TBarItemViewer* FBeginDragIV = nullptr;
    std::unique_ptr<TSkItemCacheCollection> FAnchoredControlItems;
    TSkToolbarStates FState;
    int FDefaultToolbarBorderSize = 2;
};

// Where a drop at P (view coordinates) would land: the viewer (groups resolved), the insertion index in
// Root (-1 when none) and the 4-pixel mark.
bars::TBarItemViewer* GetDropViewer(bars::TBarCustomItem* Root, bars::TBarView* View, const TPoint& P,
                                    bool ResolveGroups);
void GetDropPosition(bars::TBarCustomItem* Root, bars::TBarView* View, const TPoint& P, bars::TBarItemViewer*& Viewer,
                     int& Index, TRect& Mark);

// ---- the tool window ----

// A dockable panel for arbitrary controls, sized by its client area within the given limits.
class TSkCustomToolWindow : public bars::TBarCustomDockableWindow {
public:
    explicit TSkCustomToolWindow(rtl::TComponent* AOwner);
    ~TSkCustomToolWindow() override;

    int MinClientWidth() const { return FMinClientWidth; }
    void SetMinClientWidth(int Value) { FMinClientWidth = Value; }
    int MinClientHeight() const { return FMinClientHeight; }
    void SetMinClientHeight(int Value) { FMinClientHeight = Value; }
    // 0: no maximum.
    int MaxClientWidth() const { return FMaxClientWidth; }
    void SetMaxClientWidth(int Value) { FMaxClientWidth = Value; }
    int MaxClientHeight() const { return FMaxClientHeight; }
    void SetMaxClientHeight(int Value) { FMaxClientHeight = Value; }
    const TPoint& BarSize() const { return FBarSize; }
    int DefaultToolbarBorderSize() const { return FDefaultToolbarBorderSize; }

    TPoint ArrangeContents(bool CanMoveControls, bars::TBarDockKind CurrentKind, bool NewFloating,
                           bars::TBarDock* NewDock) override;
    void PaintDockedNCArea(bool DrawToDC, HDC DC, HRGN Clip) override;
    void GetBaseSize(TPoint& ASize) override;
    void GetSizeLimits(int& MinClientWidth, int& MinClientHeight, int& MaxClientWidth, int& MaxClientHeight) override;
    void BoundsSizeChanging(int AWidth, int AHeight) override;
    TPoint GetFloatingBorderSize() override;
    void ReadPositionData(const bars::TBarReadPositionData& Data) override;
    void WritePositionData(const bars::TBarWritePositionData& Data) override;
    bars::TBarFloatingWindowParentClass FloatingParentClass() override;

    // New operations.
    // The client size the window takes on ADock (floating without one).
    virtual TPoint CalcSize(bars::TBarDock* ADock);
    virtual void SetClientSize(int AWidth, int AHeight);
    using bars::TBarCustomDockableWindow::SetClientSize;
    virtual void DrawBackground(vcl::TCanvas* ACanvas, const TRect& ARect, bool PaintOnNCArea, bool PaintBorders);
    virtual void DoDrawBackground(vcl::TCanvas* ACanvas, const TRect& ARect, TSkPaintStage PaintStage,
                                  bool& PaintDefault);
    virtual void InvalidateBackground(bool InvalidateChildren);

    TSkDrawEvent OnDrawBackground;

protected:
    void Paint() override;
    void Dispatch(vcl::TMessage& Message) override;

private:
    bool Destroying() const { return ComponentState().Contains(rtl::csDestroying); }

    int FMinClientWidth = 32;
    int FMinClientHeight = 32;
    int FMaxClientWidth = 0;
    int FMaxClientHeight = 0;
    TPoint FBarSize;
    int FDefaultToolbarBorderSize = 2;
};

// ---- the floating frame ----

class TSkFloatingWindowParent : public bars::TBarFloatingWindowParent {
public:
    explicit TSkFloatingWindowParent(rtl::TComponent* AOwner);
    ~TSkFloatingWindowParent() override;

    void PaintNCArea(bool DrawToDC, HDC DC, HRGN Clip, bars::TBarFrameParts Parts) override;
    void RedrawFloatingFrame();
    bool CloseButtonHover() const { return FCloseButtonHover; }
    bool CloseOnAltF4() const { return FCloseOnAltF4; }
    void SetCloseOnAltF4(bool Value) { FCloseOnAltF4 = Value; }

protected:
    void CreateWnd() override;
    void Dispatch(vcl::TMessage& Message) override;

private:
    void UpdateFrameStyle();
    void CancelCloseButtonHover();

    bool FCloseButtonHover = false;
    bool FCloseOnAltF4 = false;
};

} // namespace skins
