// toolbars/BarDock.h: docks that hold bars in rows at a form's edges, the dockable window every bar
// derives from (docked, floating in a small frame of its own, or standing on a form), that frame,
// and the modal loops that drag a bar between docks and size a floating one.
#pragma once
#include "toolbars/BarCommon.h"
#include "toolbars/BarHook.h"
#include "toolbars/BarItem.h"

#include "rtl/Classes.h"
#include "rtl/Event.h"
#include "rtl/SysUtils.h"
#include "vcl/Controls.h"
#include "vcl/Forms.h"

#include <functional>
#include <memory>
#include <typeinfo>
#include <vector>

namespace bars {

class TBarDock;
class TBarCustomDockableWindow;
class TBarFloatingWindowParent;

// ---- types of the unit ----

enum TBarDockPosition { dpTop, dpBottom, dpLeft, dpRight };
enum TBarDockBoundLinesValues { blTop, blBottom, blLeft, blRight };
using TBarDockBoundLines = rtl::TSet<TBarDockBoundLinesValues>;
enum TBarDockKind { dkNotDocked, dkFloating, dkTopBottom, dkLeftRight };
enum TBarShrinkMode { tbsmNone, tbsmWrap, tbsmChevron };
enum TBarDockMode { dmCanFloat, dmCannotFloat, dmCannotFloatOrChangeDocks };
enum TBarDragHandleStyle { dhDouble, dhNone, dhSingle };
using TBarDockableTo = rtl::TSet<TBarDockPosition>;
enum TBarFloatingMode { fmOnTopOfParentForm, fmOnTopOfAllForms };
enum TBarDockableWindowStyle { tbdsResizeEightCorner, tbdsResizeClipCursor };
using TBarDockableWindowStyles = rtl::TSet<TBarDockableWindowStyle>;
enum TBarSizeHandle { twshLeft, twshRight, twshTop, twshTopLeft, twshTopRight, twshBottom, twshBottomLeft, twshBottomRight };
enum TBarFramePart { tbfpBorder, tbfpCaption, tbfpCloseButton };
using TBarFrameParts = rtl::TSet<TBarFramePart>;

using TBarInsertRemoveEvent = rtl::TEvent<void(rtl::TObject* Sender, bool Inserting, TBarCustomDockableWindow* Bar)>;
using TBarRequestDockEvent = rtl::TEvent<void(rtl::TObject* Sender, TBarCustomDockableWindow* Bar, bool& Accept)>;
using TBarDockChangingEvent = rtl::TEvent<void(rtl::TObject* Sender, bool Floating, TBarDock* DockingTo)>;

// Non-client hit codes of the framework.
constexpr int HT_TB2k_Border = 2000;  // docked drag handle
constexpr int HT_TB2k_Close = 2001;   // close button
constexpr int HT_TB2k_Caption = 2002; // floating caption

// The messages of the dock's errors.
inline const char16_t* const STBarDockCannotChangePosition =
    u"Cannot change Position of a TBarDock if it already contains controls";
inline const char16_t* const STBarDockParentNotAllowed =
    u"A TBarDock control cannot be placed inside a tool window or another TBarDock";
inline const char16_t* const STBarDockNoParentForm = u"Control '%s' has no parent window";

// ---- metrics ----

int DockedBorderWidth();
int DragHandleThickness(bool CloseButtonWhenDocked, TBarDragHandleStyle DragHandleStyle);
int DragHandleBarOffset(bool CloseButtonWhenDocked, TBarDragHandleStyle DragHandleStyle);
int SmallCaptionHeight();

// ---- unit routines ----

TBarDockKind DockKindOf(TBarDock* Dock, bool Floating);
// Orders by DockRow, then DockPos; a stable sort keeps list order among equals.
bool DockOrderCompare(TBarCustomDockableWindow* A, TBarCustomDockableWindow* B);
bool ShownOnDock(TBarDock* Dock, TBarCustomDockableWindow* Window);
vcl::TCustomForm* ParentFormOf(vcl::TControl* Window);
vcl::TCustomForm* RequireParentForm(vcl::TControl* Window);
// The class library has no MDI client window here: a form is its own MDI parent.
vcl::TCustomForm* MDIParentOf(vcl::TCustomForm* Form);
void SetWindowOwner(HWND Wnd, HWND Owner);
HWND FindOtherThreadWindow(HWND Wnd);
bool IsWindowInChain(HWND A, HWND W);
void RedrawWholeWindow(HWND Wnd);
// Tracks a press on a close button until release; StateProc hears whether the pointer is over it.
// True only for a release over the button.
bool TrackCloseButton(HWND Wnd, const TRect& ScreenRect, const std::function<void(bool Pressed)>& StateProc);

// ---- shared background ----

class TBarBasicBackground : public rtl::TComponent {
public:
    using rtl::TComponent::TComponent;
    virtual void PaintTo(HDC DC, const TRect& DrawRect) = 0;
    virtual HPALETTE GetPalette() = 0;
    virtual void AddChangeListener(const rtl::TNotifyEvent& Proc) = 0;
    virtual void SystemColorsChanged() = 0;
    virtual void RemoveChangeListener(const rtl::TNotifyEvent& Proc) = 0;
    virtual bool InUse() = 0;
};

// ---- the dock ----

class TBarDock : public vcl::TCustomControl {
public:
    explicit TBarDock(rtl::TComponent* AOwner);
    ~TBarDock() override;

    void ArrangeToolbars();
    void BeginUpdate();
    void EndUpdate();
    int GetCurrentRowSize(int Row, bool& AFullSize);
    int GetMinRowSize(int Row, TBarCustomDockableWindow* ExcludeControl);
    int GetHighestRow(bool HighestEffective);
    TBarCustomDockableWindow* Toolbars(int Index) const { return DockVisibleList.at(size_t(Index)); }
    int ToolbarCount() const { return int(DockVisibleList.size()); }
    int RowAtPosition(int Pos);
    bool AnyToolbarShown();
    void UpdateDockList(bool Insert, TBarCustomDockableWindow* Bar);
    void UpdateVisibleList(TBarCustomDockableWindow* Bar, bool ForceRemove);
    void AdoptEffectivePositions();
    void RepaintBackground();
    void RelayToFloatingBars(vcl::TMessage& Message);
    bool Vertical() const { return FPosition == dpLeft || FPosition == dpRight; }

    TBarDockPosition Position() const { return FPosition; }
    void SetPosition(TBarDockPosition Value);
    bool AllowDrag() const { return FAllowDrag; }
    void SetAllowDrag(bool Value);
    TBarDockBoundLines BoundLines() const { return FBoundLines; }
    void SetBoundLines(TBarDockBoundLines Value);
    TBarBasicBackground* Background() const { return FBackground; }
    void SetBackground(TBarBasicBackground* Value);
    bool BackgroundOnToolbars() const { return FBkgOnToolbars; }
    void SetBackgroundOnToolbars(bool Value);
    bool FixAlign() const { return FFixAlign; }
    void SetFixAlign(bool Value);
    bool LimitToOneRow() const { return FLimitToOneRow; }
    void SetLimitToOneRow(bool Value);
    bool CommitNewPositions() const { return FCommitNewPositions; }
    void SetCommitNewPositions(bool Value) { FCommitNewPositions = Value; }
    int NonClientWidth() const { return FNonClientWidth; }
    int NonClientHeight() const { return FNonClientHeight; }

    TBarInsertRemoveEvent OnInsertRemoveBar;
    TBarRequestDockEvent OnRequestDock;

    std::vector<TBarCustomDockableWindow*> DockList;        // every window that belongs to the dock
    std::vector<TBarCustomDockableWindow*> DockVisibleList; // the windows shown on it, in order

    virtual void DrawBackground(HDC DC, const TRect& DrawRect);
    virtual bool BackgroundInUse();
    HPALETTE GetPalette() override;
    void SetParent(vcl::TWinControl* AParent) override;

protected:
    void Loaded() override;
    void Notification(rtl::TComponent* AComponent, rtl::TOperation Operation) override;
    void AlignControls(vcl::TControl* AControl, TRect& Rect) override;
    void CreateParams(vcl::TCreateParams& Params) override;
    void Paint() override;
    void Dispatch(vcl::TMessage& Message) override;
    void PaintNonClient(bool DrawToDC, HDC DC, HRGN Clip);
    void SetDockSize(int W, int H);
    void BackgroundChangeNotify(rtl::TObject* Sender);

private:
    struct TPosDataRec;
    void UpdateNonClientSize();
    void RefreshFrame();

    TBarDockPosition FPosition = dpTop;
    bool FAllowDrag = true;
    TBarDockBoundLines FBoundLines;
    TBarBasicBackground* FBackground = nullptr;
    bool FBkgOnToolbars = true;
    bool FFixAlign = false;
    bool FCommitNewPositions = false;
    bool FLimitToOneRow = false;
    int FDisableArrangeToolbars = 0;
    bool FArrangeToolbarsNeeded = false;
    int FNonClientWidth = 0;
    int FNonClientHeight = 0;
};

// ---- position data ----

struct TBarReadPositionData {
    std::function<int(const String& ToolbarName, const String& Value, int Default, void* ExtraData)> ReadIntProc;
    std::function<String(const String& ToolbarName, const String& Value, const String& Default, void* ExtraData)>
        ReadStringProc;
    void* ExtraData = nullptr;
};
struct TBarWritePositionData {
    std::function<void(const String& ToolbarName, const String& Value, int Data, void* ExtraData)> WriteIntProc;
    std::function<void(const String& ToolbarName, const String& Value, const String& Data, void* ExtraData)>
        WriteStringProc;
    void* ExtraData = nullptr;
};

// The frame class a dockable window floats in: the class library's `class of`, a factory with the type.
struct TBarFloatingWindowParentClass {
    const std::type_info* Type = nullptr;
    TBarFloatingWindowParent* (*Create)() = nullptr;
    template <class T> static TBarFloatingWindowParentClass Of() {
        return {&typeid(T), []() -> TBarFloatingWindowParent* {
                    T* frame = new T(nullptr);
                    frame->AfterConstruction();
                    return frame;
                }};
    }
};

// ---- the dockable window ----

class TBarCustomDockableWindow : public vcl::TCustomControl {
public:
    explicit TBarCustomDockableWindow(rtl::TComponent* AOwner);
    ~TBarCustomDockableWindow() override;

    void BeginUpdate();
    void EndUpdate();
    void MoveOnScreen(bool OnlyIfFullyOffscreen);
    bool IsMovable();
    void BeginMoving(int InitX, int InitY);
    void BeginSizing(TBarSizeHandle ASizeHandle);
    void AddDockedNCAreaToSize(TPoint& S, bool LeftRight);
    void AddFloatingNCAreaToSize(TPoint& S);
    void GetDockedNCArea(TPoint& TopLeft, TPoint& BottomRight, bool LeftRight);
    void GetFloatingNCArea(TPoint& TopLeft, TPoint& BottomRight);
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void SetParent(vcl::TWinControl* AParent) override;
    void ToggleFloating();
    bool QueryCloseAndHide();
    void RecalcArrangement();
    virtual void ReadPositionData(const TBarReadPositionData& Data) { (void)Data; }
    void DoneReadingPositionData(const TBarReadPositionData& Data) { (void)Data; }
    virtual void WritePositionData(const TBarWritePositionData& Data) { (void)Data; }
    void AddDockForm(vcl::TCustomForm* Form);
    void RemoveDockForm(vcl::TCustomForm* Form);

    // Placement.
    bool Docked() const { return FDocked; }
    TBarDock* CurrentDock() const { return FCurrentDock; }
    void SetCurrentDock(TBarDock* Value);
    TBarDock* DefaultDock() const { return FDefaultDock; }
    void SetDefaultDock(TBarDock* Value);
    TBarDock* LastDock() const { return FLastDock; }
    void SetLastDock(TBarDock* Value);
    bool Floating() const { return FFloating; }
    void SetFloating(bool Value);
    TPoint FloatingPosition() const { return FFloatingPosition; }
    void SetFloatingPosition(const TPoint& Value);
    TBarFloatingWindowParent* FloatParent() const { return FFloatParent; }
    int DockPos() const { return FDockPos; }
    void SetDockPos(int Value);
    int DockRow() const { return FDockRow; }
    void SetDockRow(int Value);
    int EffectiveDockPos() const { return FEffectiveDockPos; }
    int EffectiveDockRow() const { return FEffectiveDockRow; }
    int CurrentSize() const { return FCurrentSize; }
    bool DragMode() const { return FDragMode; }
    bool DragSplitting() const { return FDragSplitting; }
    int NonClientWidth() { return GetNonClientSize().X; }
    int NonClientHeight() { return GetNonClientSize().Y; }

    // Options.
    bool ActivateParent() const { return FActivateParent; }
    void SetActivateParent(bool Value) { FActivateParent = Value; }
    bool AutoResize() const { return FAutoResize; }
    void SetAutoResize(bool Value);
    vcl::TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(vcl::TBorderStyle Value);
    bool CloseButton() const { return FCloseButton; }
    void SetCloseButton(bool Value);
    bool CloseButtonWhenDocked() const { return FCloseButtonWhenDocked; }
    void SetCloseButtonWhenDocked(bool Value);
    TBarDockableTo DockableTo() const { return FDockableTo; }
    void SetDockableTo(TBarDockableTo Value) { FDockableTo = Value; }
    TBarDockMode DockMode() const { return FDockMode; }
    void SetDockMode(TBarDockMode Value) { FDockMode = Value; }
    TBarDragHandleStyle DragHandleStyle() const { return FDragHandleStyle; }
    void SetDragHandleStyle(TBarDragHandleStyle Value);
    TBarFloatingMode FloatingMode() const { return FFloatingMode; }
    void SetFloatingMode(TBarFloatingMode Value);
    bool FullSize() const { return FFullSize; }
    void SetFullSize(bool Value);
    bool HideWhenInactive() const { return FHideWhenInactive; }
    void SetHideWhenInactive(bool Value);
    bool Resizable() const { return FResizable; }
    void SetResizable(bool Value);
    bool ShowCaption() const { return FShowCaption; }
    void SetShowCaption(bool Value);
    bool SmoothDrag() const { return FSmoothDrag; }
    void SetSmoothDrag(bool Value) { FSmoothDrag = Value; }
    bool Stretch() const { return FStretch; }
    void SetStretch(bool Value);
    bool UseLastDock() const { return FUseLastDock; }
    void SetUseLastDock(bool Value);
    TBarDockableWindowStyles DockableWindowStyles() const { return FDockableWindowStyles; }
    void SetDockableWindowStyles(TBarDockableWindowStyles Value) { FDockableWindowStyles = Value; }
    bool InactiveCaption() const { return FInactiveCaption; }

    bool HasParent() const override;
    HPALETTE GetPalette() override;
    rtl::TComponent* GetParentComponent() const override;

    rtl::TNotifyEvent OnClose;
    rtl::TNotifyEvent OnDockChanged;
    rtl::TNotifyEvent OnMove;
    rtl::TNotifyEvent OnRecreated;
    rtl::TNotifyEvent OnRecreating;
    rtl::TNotifyEvent OnVisibleChanged;
    vcl::TCloseQueryEvent OnCloseQuery;
    TBarDockChangingEvent OnDockChanging;
    TBarDockChangingEvent OnDockChangingHidden;

    // Own virtual operations.
    virtual TPoint GetNonClientSize();
    virtual void HitTestChildControls(const TPoint& P, bool& Found);
    virtual TPoint ArrangeContents(bool CanMoveControls, TBarDockKind CurrentKind, bool NewFloating, TBarDock* NewDock) = 0;
    virtual void PaintDockedNCArea(bool DrawToDC, HDC DC, HRGN Clip);
    virtual void GetBaseSize(TPoint& ASize) = 0;
    virtual TRect DockedCloseButtonRect(bool LeftRight);
    virtual void GetMinimumLength(int& AMinimumSize) { (void)AMinimumSize; }
    virtual void GetSizeLimits(int& MinClientWidth, int& MinClientHeight, int& MaxClientWidth, int& MaxClientHeight) {
        (void)MinClientWidth; (void)MinClientHeight; (void)MaxClientWidth; (void)MaxClientHeight;
    }
    virtual TBarShrinkMode GetShrinkMode() { return tbsmNone; }
    virtual void BoundsSizeChanging(int AWidth, int AHeight) { (void)AWidth; (void)AHeight; }
    virtual TPoint GetFloatingBorderSize();

    // Dynamic operations.
    virtual bool IsChildTransparent(vcl::TControl* Ctl) { (void)Ctl; return false; }
    virtual void DockChangingHidden(bool Floating, TBarDock* DockingTo);
    virtual TBarFloatingWindowParentClass FloatingParentClass();
    virtual void PrepareAfterLoad() {}
    virtual void SizingStarted(TBarSizeHandle SizeHandle) { (void)SizeHandle; }
    virtual void SizingEnded() {}
    virtual void SizingTracked(TRect& NewRect, const TRect& OrigRect) { (void)NewRect; (void)OrigRect; }
    virtual void SizingAccepted() {}

    // Visibility while floating.
    bool ShouldBeShown();
    void SyncVisibility();
    void SyncTopmost();
    void RefreshCaptionState();

protected:
    friend class TBarDock;
    friend class TBarFloatingWindowParent;

    void Loaded() override;
    // "SavedAtRunTime": written (true) whenever the form is written outside design time.
    void DefineProperties(rtl::TFiler* Filer) override;
    void Notification(rtl::TComponent* AComponent, rtl::TOperation Operation) override;
    void Dispatch(vcl::TMessage& Message) override;
    void MouseDown(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y) override;

    bool SizesItself();
    void ApplyArrangedSize(TPoint Size);
    void DoMoved();
    void SendNCContextMenu(int X, int Y);
    void RedrawDockedNCArea();
    void ClearCloseHover();
    void SetCloseButtonDown(bool Pressed);
    void RefreshFrame();
    void ArrangeDock();
    void UpdateThreadFloatingList(bool Floating);
    TRect DockBackgroundRect(bool ClientCoords);
    void DockFreed(TBarDock* Dock);

    // Message handlers.
    void WMNCCalcSize(vcl::TMessage& Message);
    void WMNCHitTest(vcl::TMessage& Message);
    void WMSetCursorMsg(vcl::TMessage& Message);
    void WMNCLButtonDown(vcl::TMessage& Message);
    void WMNCLButtonDblClk(vcl::TMessage& Message);
    void WMNCMouseMove(vcl::TMessage& Message);
    void WMMoveMsg(vcl::TMessage& Message);
    void WMEraseBkgndMsg(vcl::TMessage& Message);
    void CMShowingChangedMsg(vcl::TMessage& Message);
    void CMVisibleChangedMsg(vcl::TMessage& Message);
    void WMContextMenuMsg(vcl::TMessage& Message);

    bool FAutoResize = true;
    int FDockPos = -1;
    int FDockRow = 0;
    int FEffectiveDockPos = 0;
    int FEffectiveDockRow = -1;
    bool FDocked = false;
    TBarDock* FCurrentDock = nullptr;
    TBarDock* FDefaultDock = nullptr;
    TBarDock* FLastDock = nullptr;
    int FCurrentSize = 0;
    bool FFloating = false;
    bool FActivateParent = true;
    bool FHideWhenInactive = true;
    bool FCloseButton = true;
    bool FCloseButtonWhenDocked = false;
    bool FFullSize = false;
    bool FResizable = true;
    bool FShowCaption = true;
    bool FStretch = false;
    bool FUseLastDock = true;
    vcl::TBorderStyle FBorderStyle = vcl::bsSingle;
    TBarDockMode FDockMode = dmCanFloat;
    TBarDragHandleStyle FDragHandleStyle = dhSingle;
    TBarDockableTo FDockableTo{dpTop, dpBottom, dpLeft, dpRight};
    TBarFloatingMode FFloatingMode = fmOnTopOfParentForm;
    bool FSmoothDrag = true;
    TBarDockableWindowStyles FDockableWindowStyles;
    int FLastRowSize = 0;
    bool FInsertRowBefore = false;
    int FUpdatingBounds = 0;
    int FDisableArrange = 0;
    int FDisableOnMove = 0;
    int FHidden = 0;
    bool FArrangeNeeded = false;
    bool FMoved = false;
    bool FInactiveCaption = false;
    TPoint FFloatingPosition;
    std::unique_ptr<std::vector<vcl::TCustomForm*>> FDockForms;
    bool FSavedAtRunTime = false;
    bool FDragMode = false;
    bool FDragSplitting = false;
    bool FDragCanSplit = false;
    bool FSmoothDragging = false;
    bool FCloseButtonDown = false;
    bool FCloseButtonHover = false;
    TBarFloatingWindowParent* FFloatParent = nullptr;

private:
    struct TDragState;
    void MouseMoveStep(TDragState& D, bool AllowDocking);
    void DropStep(TDragState& D);
    void FreeUnusedFloatParent();
};

// Every dockable window of this thread whose parent is a floating frame.
const std::vector<TBarCustomDockableWindow*>& ThreadFloatingWindows();

// Moves the XOR outline of a drag from OldRect to NewRect (1 pixel for a docked placement, the floating
// border's width for a floating one); empty rectangles draw nothing.
void DrawDragOutline(TBarCustomDockableWindow* Window, HDC DC, const TRect& NewRect, const TRect& OldRect,
                     bool NewDocking, bool OldDocking);

// ---- the floating frame ----

class TBarFloatingWindowParent : public vcl::TCustomForm {
public:
    explicit TBarFloatingWindowParent(rtl::TComponent* AOwner);
    ~TBarFloatingWindowParent() override;

    TBarCustomDockableWindow* DockableWindow() const { return FDockableWindow; }
    vcl::TCustomForm* ParentForm() const { return FParentForm; }
    void SetParentForm(vcl::TCustomForm* Value);
    bool ShouldShow() const { return FShouldShow; }
    bool CloseButtonDown() const { return FCloseButtonDown; }

    TRect CaptionRect(bool AdjustForBorder, bool MinusCloseButton);
    TRect CaptionCloseButtonRect(bool AdjustForBorder);
    void RepaintFrameParts(TBarFrameParts Parts);
    virtual void PaintNCArea(bool DrawToDC, HDC DC, HRGN Clip, TBarFrameParts Parts);
    // The frame's own hit codes at P (window coordinates), whatever the client area covers.
    int HitTest(const TPoint& P);

protected:
    friend class TBarCustomDockableWindow;

    void Notification(rtl::TComponent* AComponent, rtl::TOperation Operation) override;
    void AlignControls(vcl::TControl* AControl, TRect& Rect) override;
    void CreateParams(vcl::TCreateParams& Params) override;
    void Dispatch(vcl::TMessage& Message) override;
    void SetCloseButtonDown(bool Pressed);

    bool FCloseButtonDown = false;
    TBarCustomDockableWindow* FDockableWindow = nullptr;
    vcl::TCustomForm* FParentForm = nullptr;
    bool FShouldShow = false;
};

} // namespace bars
