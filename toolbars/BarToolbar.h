// toolbars/BarToolbar.h: the toolbar: a dockable window that shows an item tree as a bar of buttons,
// with a chevron for the items that do not fit, hosted controls, floating sizes that snap to whole
// lines, application-wide shortcuts, and the form's menu bar (Alt, F10, Alt+letter).
#pragma once
#include "toolbars/BarDock.h"
#include "toolbars/BarPopup.h"

#include "vcl/Forms.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace bars {

class TBarCustomToolbar;

enum TBarChevronPriorityForNewItems { tbcpHighest, tbcpLowest };

// The chevron's hint (short part before '|' is its caption).
inline const char16_t* const STBarChevronHint = u"More Buttons|";

// The chevron's 8 x 8 glyphs, a byte per row from the top, the leftmost pixel in the high bit:
// [0] for horizontal toolbars, [1] for vertical ones.
extern const uint8_t ChevronGlyph[2][8];

// The view of a toolbar: it gives the toolbar's chevron item and sizes the toolbar to its content.
class TBarToolbarView : public TBarView {
public:
    TBarToolbarView(rtl::TComponent* AOwner, TBarView* AParentView, TBarCustomItem* AParentItem,
                    vcl::TWinControl* AWindow, bool AIsToolbar, bool ACustomizing, bool AUsePriorityList);
    void FitWindowToContent(int W, int H) override;
    void LayoutAndResize(TPoint& NewSize) override;
    void InvalidatePositions() override;
    vcl::TFont* GetFont() override;
    TBarCustomItem* ChevronItem() override;
    TBarCustomItem* MDIButtonsItem() override;
    TBarCustomItem* MDISystemMenuItem() override;
    TBarCustomToolbar* Toolbar() const { return FToolbar; }

protected:
    TBarCustomToolbar* FToolbar = nullptr;
};

class TBarChevronItem : public TBarCustomItem {
public:
    explicit TBarChevronItem(rtl::TComponent* AOwner);
    TBarView* GetChevronParentView() override;
    TBarItemViewerClass GetItemViewerClass(TBarView* AView) override;

protected:
    TBarCustomToolbar* FToolbar = nullptr;
};

class TBarChevronItemViewer : public TBarItemViewer {
public:
    using TBarItemViewer::TBarItemViewer;
    void Paint(vcl::TCanvas* Canvas, const TRect& ClientAreaRect, bool IsSelected, bool IsPushed,
               bool UseDisabledShadow) override;
};

// The state of one sizing of a floating toolbar.
struct TToolbarSizeData {
    TBarSizeHandle SizeHandle = twshRight;
    std::vector<TPoint> NewSizes;  // allowed frame sizes
    int OrigWidth = 0, OrigHeight = 0;
    int NCXDiff = 0;
    int CurRightX = 0;
    bool DisableSensCheck = false;
    bool OpSide = false;
    int DistanceToSmallerSize = 0, DistanceToLargerSize = 0;
};

using TShortCutEvent = rtl::TEvent<void(vcl::TWMKey& Msg, bool& Handled)>;

class TBarCustomToolbar : public TBarCustomDockableWindow, public IBarItems {
public:
    explicit TBarCustomToolbar(rtl::TComponent* AOwner);
    ~TBarCustomToolbar() override;

    // ---- the contents ----
    TBarRootItem* Items() const { return FItem; }
    TBarCustomItem* GetItems() override { return FItem; }
    TBarToolbarView* View() const { return FView; }
    TBarChevronItem* ChevronItem() const { return FChevronItem; }
    vcl::TCustomImageList* Images() const { return FItem->SubMenuImages(); }
    void SetImages(vcl::TCustomImageList* Value) { FItem->SetSubMenuImages(Value); }
    TBarCustomItem* LinkSubitems() const { return FItem->LinkSubitems(); }
    void SetLinkSubitems(TBarCustomItem* Value) { FItem->SetLinkSubitems(Value); }
    TBarItemOptions Options() const { return FItem->Options(); }
    void SetOptions(TBarItemOptions Value) { FItem->SetOptions(Value); }

    // ---- properties ----
    String ChevronHint() const { return FChevronItem->Hint(); }
    void SetChevronHint(const String& Value);
    bool IsChevronHintStored() const;
    bool ChevronMoveItems() const { return FChevronMoveItems; }
    void SetChevronMoveItems(bool Value);
    TBarChevronPriorityForNewItems ChevronPriorityForNewItems() const { return FChevronPriorityForNewItems; }
    void SetChevronPriorityForNewItems(TBarChevronPriorityForNewItems Value);
    bool MenuBar() const { return FMenuBar; }
    void SetMenuBar(bool Value);
    bool ProcessShortCuts() const { return FProcessShortCuts; }
    void SetProcessShortCuts(bool Value);
    TBarShrinkMode ShrinkMode() const { return FShrinkMode; }
    void SetShrinkMode(TBarShrinkMode Value);
    bool SystemFont() const { return FSystemFont; }
    void SetSystemFont(bool Value);
    bool UpdateActions() const { return FUpdateActions; }
    void SetUpdateActions(bool Value) { FUpdateActions = Value; }
    int FloatingWidth() const { return FFloatingWidth; }
    void SetFloatingWidth(int Value);
    int LastWrappedLines() const { return FLastWrappedLines; }
    bool MainWindowHookInstalled() const { return FMainWindowHookInstalled; }
    const TToolbarSizeData* SizeData() const { return FSizeData.get(); }

    TShortCutEvent OnShortCut;

    // ---- operations ----
    // Opens the item with accelerator Key (#0: the first selectable item) from the keyboard.
    bool KeyboardOpen(char16_t Key, bool RequirePrimaryAccel);
    bool IsShortCut(vcl::TWMKey& Message);
    void CreateWrappersForAllControls();
    void CreateWrapper(int Index, vcl::TControl* Control);
    void ClearHotItem();
    void UpdateViewProperties();
    int GetWrapOffset(TBarDock* Dock);
    int GetChevronOffset(TBarDock* Dock, TBarViewOrientation Orientation);
    TPoint GetRowCrossSize();
    // One frame-less size per number of lines, each the narrowest giving that many lines.
    virtual void ListFloatingSizes(std::vector<TPoint>& List);

    // ---- answers to the dock ----
    TPoint ArrangeContents(bool Apply, TBarDockKind CurrentKind, bool NewFloating, TBarDock* NewDock) override;
    void GetBaseSize(TPoint& ASize) override;
    void GetMinimumLength(int& AMinimumSize) override;
    TBarShrinkMode GetShrinkMode() override { return FShrinkMode; }
    void HitTestChildControls(const TPoint& P, bool& Found) override;
    void SizingStarted(TBarSizeHandle SizeHandle) override;
    void SizingEnded() override;
    void SizingTracked(TRect& NewRect, const TRect& OrigRect) override;
    void SizingAccepted() override;
    void ReadPositionData(const TBarReadPositionData& Data) override;
    void WritePositionData(const TBarWritePositionData& Data) override;

    // ---- the class library's operations ----
    void InitiateAction() override;
    void GetChildren(const rtl::TGetChildProc& Proc, rtl::TComponent* Root) override;
    void SetChildOrder(rtl::TComponent* Child, int Order) override;
    void GetTabOrderList(std::vector<vcl::TWinControl*>& List) override;

protected:
    friend class TBarToolbarView;

    virtual TBarChevronItem* ChevronItemClass(rtl::TComponent* AOwner);
    virtual TBarRootItem* RootItemClass(rtl::TComponent* AOwner);
    virtual TBarViewClass ViewClass();

    void Loaded() override;
    void AlignControls(vcl::TControl* AControl, TRect& Rect) override;
    void Paint() override;
    void MouseDown(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y) override;
    void MouseMove(vcl::TShiftState Shift, int X, int Y) override;
    void DoContextPopup(const TPoint& MousePos, bool& Handled) override;
    void Dispatch(vcl::TMessage& Message) override;
    void CMControlChange(vcl::TCMControlChange& Message) override;
    void CMControlListChange(vcl::TCMControlListChange& Message) override;

    void UpdateMainWindowHook();
    void InstallMainWindowHook();
    void UninstallMainWindowHook();
    void WMSysCommand(vcl::TMessage& Message);

    TPoint FBaseSize;
    TBarChevronItem* FChevronItem = nullptr;
    bool FChevronMoveItems = true;
    TBarChevronPriorityForNewItems FChevronPriorityForNewItems = tbcpHighest;
    int FDisableAlignArrange = 0;
    int FFloatingWidth = 0;
    bool FIgnoreMouseLeave = false;
    TBarRootItem* FItem = nullptr;
    int FLastWrappedLines = 1;
    bool FMenuBar = false;
    bool FProcessShortCuts = false;
    bool FMainWindowHookInstalled = false;
    TBarShrinkMode FShrinkMode = tbsmChevron;
    std::unique_ptr<TToolbarSizeData> FSizeData;
    bool FSystemFont = true;
    bool FUpdateActions = true;
    TBarCustomItem* FMDIButtonsItem = nullptr;
    TBarCustomItem* FMDISystemMenuItem = nullptr;
    TBarToolbarView* FView = nullptr;
};

// The toolbars that hear the application's shortcut keys and system commands, in order.
const std::vector<TBarCustomToolbar*>& ShortCutToolbars();
// Offers a key to the toolbars of Form that process shortcuts; true when one took it.
bool ProcessToolbarShortCuts(vcl::TCustomForm* Form, vcl::TWMKey& Message);
// The first visible, enabled menu bar inside Control that takes the system command.
bool FindMenuBarFor(vcl::TWinControl* Control, WPARAM WParam, LPARAM LParam);

} // namespace bars
