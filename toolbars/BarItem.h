// toolbars/BarItem.h: the item tree of menus and toolbars, the viewers that show one item in one
// view, and the views that show one level of the tree in one window (a toolbar, the menu bar, a
// popup menu), with their layout, selection and menu keys.
//
// Items know nothing of windows: a view registers as a listener on the item whose subitems it shows,
// and every change of an item reaches its listeners as a change notification. Layout is lazy: a
// change marks the view's layout stale, and the next paint, hit test or selection move lays it out.
#pragma once
#include "toolbars/BarAnim.h"
#include "toolbars/BarCommon.h"

#include "rtl/Classes.h"
#include "rtl/Event.h"
#include "rtl/SysUtils.h"
#include "vcl/ActnList.h"
#include "vcl/Controls.h"
#include "vcl/Graphics.h"
#include "vcl/ImgList.h"

#include <memory>
#include <typeinfo>
#include <vector>

namespace bars {

class TBarCustomItem;
class TBarItemViewer;
class TBarView;
class TBarPopupWindow;
class TBarBaseAccObject;
class TBarModalHandler;

// ---- types of the unit ----

enum TBarItemStyleFlag {
    tbisSubmenu,                 // opens a popup of its subitems
    tbisSelectable,
    tbisSeparator,
    tbisEmbeddedGroup,           // the subitems show inline in the parent's view, not the item itself
    tbisClicksTransparent,       // a press on it is a press on the bar
    tbisCombo,                   // split button: button part and arrow part
    tbisNoAutoOpen,              // keyboard selection in menu mode does not open its popup
    tbisSubitemsEditable,
    tbisNoLineBreak,             // a separator that does not break a line just because the line wrapped
    tbisRightAlign,              // it and the rest of its line move to the line's end
    tbisDontSelectFirst,         // skipped when a popup selects its first item
    tbisRedrawOnSelChange,
    tbisRedrawOnMouseOverChange
};
using TBarItemStyle = rtl::TSet<TBarItemStyleFlag>;

enum TBarItemOption {
    tboDefault,
    tboDropdownArrow,
    tboImageAboveCaption,
    tboLongHintInMenuOnly,
    tboNoAutoHint,
    tboNoRotation,
    tboSameWidth,
    tboShowHint,
    tboToolbarStyle,
    tboToolbarSize
};
using TBarItemOptions = rtl::TSet<TBarItemOption>;

enum TBarItemDisplayMode { nbdmDefault, nbdmTextOnly, nbdmTextOnlyInMenus, nbdmImageAndText };

enum TBarItemChangedAction {
    tbicInserted,
    tbicDeleting,
    tbicSubitemsChanged,
    tbicSubitemsBeginUpdate,
    tbicSubitemsEndUpdate,
    tbicInvalidate,
    tbicInvalidateAndResize,
    tbicRecreateItemViewers,
    tbicNameChanged,
    tbicSubMenuImagesChanged
};

using TBarItemChangedProc = rtl::TEvent<void(TBarCustomItem* Sender, bool Relayed, TBarItemChangedAction Action,
                                             int Index, TBarCustomItem* Item)>;
using TBarPopupEvent = rtl::TEvent<void(TBarCustomItem* Sender, bool FromLink)>;
using TBarSelectEvent = rtl::TEvent<void(TBarCustomItem* Sender, TBarItemViewer* Viewer, bool Selecting)>;

enum TBarPopupAlignment { tbpaLeft, tbpaRight, tbpaCenter };

struct TItemChangedNotificationData {
    TBarItemChangedProc Proc;
    int RefCount = 0;
};

class EBarItemError : public rtl::Exception {
public:
    using rtl::Exception::Exception;
};

// The messages of the item tree's errors.
inline const char16_t* const STBarItemIndexOutOfRange = u"Toolbar item index out of range";
inline const char16_t* const STBarItemAlreadyInserted = u"Toolbar item already inserted";
inline const char16_t* const STBarItemBadContainer = u"Toolbar item cannot be inserted into container of type %s";
inline const char16_t* const STBarViewerNotFound = u"An item viewer associated the specified item could not be found";

// The size of the list when the link last saw it, so a change tells a new size from new pictures.
class TBarImageChangeLink : public vcl::TChangeLink {
public:
    int FLastWidth = 0;
    int FLastHeight = 0;
};

// Class references of the unit: what the class library's `class of` gives, a factory with the type.
struct TBarItemViewerClass {
    const std::type_info* Type = nullptr;
    TBarItemViewer* (*Create)(TBarView* AView, TBarCustomItem* AItem, int AGroupLevel) = nullptr;
    template <class T> static TBarItemViewerClass Of() {
        return {&typeid(T), [](TBarView* V, TBarCustomItem* I, int L) -> TBarItemViewer* { return new T(V, I, L); }};
    }
    bool operator==(const TBarItemViewerClass& O) const { return Type == O.Type || (Type && O.Type && *Type == *O.Type); }
};

struct TBarPopupWindowClass {
    const std::type_info* Type = nullptr;
    TBarPopupWindow* (*Create)(rtl::TComponent* AOwner, TBarView* AParentView, TBarCustomItem* AItem,
                               bool ACustomizing) = nullptr;
    // The window is built, then its view from the window's own ViewClass (a constructor cannot ask a
    // subclass for it).
    template <class T> static TBarPopupWindowClass Of() {
        return {&typeid(T), [](rtl::TComponent* O, TBarView* V, TBarCustomItem* I, bool C) -> TBarPopupWindow* {
                    T* window = new T(O, V, I, C);
                    FinishPopupWindow(window, V, I, C);
                    return window;
                }};
    }
    static void FinishPopupWindow(TBarPopupWindow* Window, TBarView* AParentView, TBarCustomItem* AItem,
                                  bool ACustomizing);
};

// ---- the item's action link ----

class TBarCustomItemActionLink : public vcl::TActionLink {
public:
    explicit TBarCustomItemActionLink(rtl::TObject* AClient);

    bool IsAutoCheckLinked() override;
    bool IsCaptionLinked() override;
    bool IsCheckedLinked() override;
    bool IsEnabledLinked() override;
    bool IsHelpContextLinked() override;
    bool IsHintLinked() override;
    bool IsImageIndexLinked() override;
    bool IsShortCutLinked() override;
    bool IsVisibleLinked() override;
    bool IsOnExecuteLinked() override;

    void SetAutoCheck(bool Value) override;
    void SetCaption(const String& Value) override;
    void SetChecked(bool Value) override;
    void SetEnabled(bool Value) override;
    void SetHelpContext(vcl::THelpContext Value) override;
    void SetHint(const String& Value) override;
    void SetImageIndex(vcl::TImageIndex Value) override;
    void SetShortCut(vcl::TShortCut Value) override;
    void SetVisible(bool Value) override;
    void SetOnExecute(const rtl::TNotifyEvent& Value) override;

protected:
    void AssignClient(rtl::TObject* AClient) override;
    TBarCustomItem* FClient = nullptr;
};

// ---- items ----

// The interface by which a container that is not an item offers its root item (a toolbar, a popup
// menu) when forms are streamed.
class IBarItems {
public:
    virtual ~IBarItems() = default;
    virtual TBarCustomItem* GetItems() = 0;
};

class TBarCustomItem : public rtl::TComponent {
public:
    explicit TBarCustomItem(rtl::TComponent* AOwner);
    ~TBarCustomItem() override;

    // ---- the tree ----
    int Count() const { return FItems ? static_cast<int>(FItems->size()) : 0; }
    TBarCustomItem* GetItem(int Index) const;  // EBarItemError for an index outside 0..Count-1
    TBarCustomItem* operator[](int Index) const { return GetItem(Index); }
    TBarCustomItem* Parent() const { return FParent; }
    void Add(TBarCustomItem* AItem) { Insert(Count(), AItem); }
    void Insert(int NewIndex, TBarCustomItem* AItem);
    void Delete(int Index);
    void Remove(TBarCustomItem* Item);
    int IndexOf(TBarCustomItem* AItem) const;
    void Move(int CurIndex, int NewIndex);
    void Clear();  // frees every subitem, last first

    void RegisterNotification(const TBarItemChangedProc& ANotify);
    void UnregisterNotification(const TBarItemChangedProc& ANotify);
    void ViewBeginUpdate();
    void ViewEndUpdate();
    void Notify(TBarItemChangedAction Action, int Index, TBarCustomItem* Item);

    // ---- clicking, shortcuts, popups ----
    void PostClick();
    bool IsShortCut(vcl::TWMKey& Message);
    String GetShortCutText() const;
    // Shows the subitems as a popup menu at the screen point and returns the clicked item (nil when
    // cancelled). It needs the modal menu loop; without it the menu is cancelled at once.
    TBarCustomItem* Popup(int X, int Y, bool TrackRightButton, TBarPopupAlignment Alignment = tbpaLeft,
                          bool ReturnClickedItemOnly = false);

    // ---- virtual operations ----
    virtual void Change(bool NeedResize);
    virtual TBarPopupWindow* CreatePopup(TBarView* ParentView, TBarItemViewer* ParentViewer, bool PositionAsSubmenu,
                                         bool SelectFirstItem, bool Customizing, const TPoint& PopupPoint,
                                         TBarPopupAlignment Alignment);
    virtual void DoPopup(TBarCustomItem* Sender, bool FromLink);
    virtual void EnabledChanged();
    virtual TBarView* GetChevronParentView() { return nullptr; }
    virtual TBarItemViewerClass GetItemViewerClass(TBarView* AView);
    virtual TBarPopupWindowClass GetPopupWindowClass();
    virtual bool ViewerNeedsRecreate(TBarItemViewer* AViewer) {
        (void)AViewer;
        return false;
    }
    virtual void Click();
    virtual void InitiateAction();

    // ---- properties ----
    vcl::TBasicAction* Action() const;
    void SetAction(vcl::TBasicAction* Value);
    bool AutoCheck() const { return FAutoCheck; }
    void SetAutoCheck(bool Value) { FAutoCheck = Value; }
    const String& Caption() const { return FCaption; }
    void SetCaption(const String& Value);
    bool Checked() const { return FChecked; }
    void SetChecked(bool Value);
    TBarItemDisplayMode DisplayMode() const { return FDisplayMode; }
    void SetDisplayMode(TBarItemDisplayMode Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    TBarItemOptions EffectiveOptions() const { return FEffectiveOptions; }
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value);
    int HelpContext() const { return FHelpContext; }
    void SetHelpContext(int Value) { FHelpContext = Value; }
    const String& Hint() const { return FHint; }
    void SetHint(const String& Value) { FHint = Value; }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    vcl::TCustomImageList* Images() const { return FImages; }
    void SetImages(vcl::TCustomImageList* Value);
    bool InheritOptions() const { return FInheritOptions; }
    void SetInheritOptions(bool Value);
    TBarItemStyle ItemStyle() const { return FItemStyle; }
    TBarCustomItem* LinkSubitems() const { return FLinkSubitems; }
    void SetLinkSubitems(TBarCustomItem* Value);
    TBarItemOptions MaskOptions() const { return FMaskOptions; }
    void SetMaskOptions(TBarItemOptions Value);
    TBarItemOptions Options() const { return FOptions; }
    void SetOptions(TBarItemOptions Value);
    bool RadioItem() const { return FRadioItem; }
    void SetRadioItem(bool Value);
    vcl::TShortCut ShortCut() const { return FShortCut; }
    void SetShortCut(vcl::TShortCut Value) { FShortCut = Value; }
    vcl::TCustomImageList* SubMenuImages() const { return FSubMenuImages; }
    void SetSubMenuImages(vcl::TCustomImageList* Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    rtl::TComponent* ParentComponentOfRoot() const { return FParentComponent; }
    void SetParentComponentOfRoot(rtl::TComponent* Value) { FParentComponent = Value; }

    rtl::TNotifyEvent OnClick;
    TBarPopupEvent OnPopup;
    TBarSelectEvent OnSelect;

    // Whether a form stream holds the property: not when the action link supplies it.
    bool IsCaptionStored();
    bool IsCheckedStored();
    bool IsEnabledStored();
    bool IsHelpContextStored();
    bool IsHintStored();
    bool IsImageIndexStored();
    bool IsShortCutStored();
    bool IsVisibleStored();
    bool IsAutoCheckStored();
    bool IsOnClickStored();

    // ---- streaming ----
    void GetChildren(const rtl::TGetChildProc& Proc, rtl::TComponent* Root) override;
    void SetChildOrder(rtl::TComponent* Child, int Order) override;
    bool HasParent() const override { return true; }
    rtl::TComponent* GetParentComponent() const override;
    void SetParentComponent(rtl::TComponent* Value) override;
    void SetName(const String& NewName) override;

protected:
    void Loaded() override;
    void Notification(rtl::TComponent* AComponent, rtl::TOperation Operation) override;
    virtual void ApplyActionProperties(vcl::TBasicAction* Sender, bool CheckDefaults);
    virtual std::unique_ptr<TBarCustomItemActionLink> CreateActionLink();  // the ActionLinkClass

    TBarItemStyle FItemStyle;

private:
    friend class TBarCustomItemActionLink;
    void ActionChanged(rtl::TObject* Sender);
    void RefreshEffectiveOptions();
    void UncheckGroupSiblings();
    void ImageListChanged(rtl::TObject* Sender);
    bool SwapImageList(vcl::TCustomImageList*& Field, vcl::TCustomImageList* New,
                       std::unique_ptr<TBarImageChangeLink>& Link);
    void RelayNotification(TBarCustomItem* Sender, int Depth, TBarItemChangedAction Action, int Index,
                           TBarCustomItem* Item);
    void NotifyListeners(TBarCustomItem* Sender, TBarItemChangedAction Action, int Index, TBarCustomItem* Item);

    std::unique_ptr<TBarCustomItemActionLink> FActionLink;
    bool FAutoCheck = false;
    String FCaption;
    bool FChecked = false;
    TBarItemDisplayMode FDisplayMode = nbdmDefault;
    bool FEnabled = true;
    TBarItemOptions FEffectiveOptions;
    int FGroupIndex = 0;
    int FHelpContext = 0;
    String FHint;
    int FImageIndex = -1;
    vcl::TCustomImageList* FImages = nullptr;
    std::unique_ptr<TBarImageChangeLink> FImagesChangeLink;
    std::unique_ptr<std::vector<TBarCustomItem*>> FItems;
    std::unique_ptr<std::vector<TBarCustomItem*>> FLinkParents;
    TBarItemOptions FMaskOptions;
    TBarItemOptions FOptions;
    bool FInheritOptions = true;
    std::unique_ptr<std::vector<TItemChangedNotificationData>> FNotifyList;
    TBarCustomItem* FParent = nullptr;
    rtl::TComponent* FParentComponent = nullptr;
    bool FRadioItem = false;
    vcl::TShortCut FShortCut = 0;
    vcl::TCustomImageList* FSubMenuImages = nullptr;
    std::unique_ptr<TBarImageChangeLink> FSubMenuImagesChangeLink;
    TBarCustomItem* FLinkSubitems = nullptr;
    bool FVisible = true;
};

// The item whose subitems Item shows: its LinkSubitems, else itself.
TBarCustomItem* LinkedItem(TBarCustomItem* Item);

class TBarRootItem : public TBarCustomItem {
public:
    using TBarCustomItem::TBarCustomItem;
};

class TBarGroupItem : public TBarCustomItem {
public:
    explicit TBarGroupItem(rtl::TComponent* AOwner);
};

class TBarSeparatorItem : public TBarCustomItem {
public:
    explicit TBarSeparatorItem(rtl::TComponent* AOwner);
    bool Blank() const { return FBlank; }
    void SetBlank(bool Value);
    TBarItemViewerClass GetItemViewerClass(TBarView* AView) override;

private:
    bool FBlank = false;
};

class TBarControlItem : public TBarCustomItem {
public:
    explicit TBarControlItem(rtl::TComponent* AOwner);
    ~TBarControlItem() override;
    vcl::TControl* Control() const { return FControl; }
    void SetControl(vcl::TControl* Value);
    bool DontFreeControl() const { return FDontFreeControl; }
    void SetDontFreeControl(bool Value) { FDontFreeControl = Value; }

protected:
    void Notification(rtl::TComponent* AComponent, rtl::TOperation Operation) override;

private:
    vcl::TControl* FControl = nullptr;
    bool FDontFreeControl = false;
};

// The item, or the root item an IBarItems container offers, or nil.
TBarCustomItem* ItemContainerOf(rtl::TObject* Obj);
TBarCustomItem* FindItemWithShortCut(TBarCustomItem* AParent, vcl::TShortCut AShortCut,
                                     TBarCustomItem*& TopmostParent);

// ---- the per-thread deferred-click queue ----

// The message posted to the queue's window; WParam = the flag, LParam = the slot.
constexpr UINT WM_BAR_DEFERREDCLICK = WM_USER;  // 0x0500

void QueueDeferredClick(rtl::TObject* Obj, WPARAM Flag);
void RemoveFromClickQueue(rtl::TObject* Obj);

// ---- viewers ----

// DPI-scaled metrics of the unit (pixels at 96 dpi, scaled at each use).
int MenuItemExtraHeight();
int MenuImageGap();
int MenuCaptionIndent();
int MenuCaptionEndGap();
int MenuSeparatorIndent();
int PopupScrollArrowHeight();
int DropdownArrowWidth();
int DropdownArrowMargin();
int SplitArrowWidth();
int SplitArrowMargin();
int LineBreakSeparatorSize();
int FloatingSeparatorInset();
int ToolbarSeparatorInset();

enum TBarItemViewerStateFlag { tbvsInvalidated, tbvsLineBreak };
using TBarItemViewerState = rtl::TSet<TBarItemViewerStateFlag>;

class TBarItemViewer : public rtl::TObject {
public:
    TBarItemViewer(TBarView* AView, TBarCustomItem* AItem, int AGroupLevel);
    ~TBarItemViewer() override;

    // ---- virtual operations ----
    virtual void MeasureSize(vcl::TCanvas* Canvas, int& AWidth, int& AHeight);
    virtual bool PerformExecute();
    virtual void DrawCaptionText(vcl::TCanvas* Canvas, TRect ARect, const String& ACaption, bool AUseDisabledShadow,
                                 UINT AFormat);
    virtual void SelectionEntered();
    virtual int AccessibleRole();
    virtual bool AccessibleValue(String& Value) {
        (void)Value;
        return false;
    }
    virtual String CaptionText();
    virtual void GetCursor(const TPoint& Pt, HCURSOR& Cursor) {
        (void)Pt;
        (void)Cursor;
    }
    virtual bool PointInButtonPart(int X, int Y);
    virtual void KeyDown(WORD& Key, vcl::TShiftState Shift) {
        (void)Key;
        (void)Shift;
    }
    virtual void SelectionLeft();
    virtual void CaptureLost();
    virtual void MouseDown(vcl::TShiftState Shift, int X, int Y, bool& DidDrag);
    virtual void MouseMove(int X, int Y) {
        (void)X;
        (void)Y;
    }
    virtual void MouseUp(int X, int Y, bool DidDrag);
    virtual void MouseWheel(int WheelDelta, int X, int Y) {
        (void)WheelDelta;
        (void)X;
        (void)Y;
    }
    virtual void Paint(vcl::TCanvas* Canvas, const TRect& ClientAreaRect, bool IsSelected, bool IsPushed,
                       bool UseDisabledShadow);
    virtual bool UsesSameWidth();
    virtual bool ShowsCaption();

    // ---- the rest ----
    void Execute(bool AGivePriority);
    String GetHintText();
    // Made on first use when the accessibility library is there (nil otherwise); the viewer keeps no
    // reference, its clients do.
    TBarBaseAccObject* GetAccObject();
    bool IsAccessible() const { return FShow || FOffEdge || FClipped; }
    bool IsToolbarStyle();
    bool IsToolbarSize();
    TPoint ScreenToClient(const TPoint& P);
    bool ShowsImage();
    vcl::TCustomImageList* EffectiveImages();
    bool DrawsRotated();
    int PositionInView();
    void PostAccSelect(WPARAM Flag);
    void HandleAccSelect(WPARAM Flag);

    const TRect& BoundsRect() const { return FBoundsRect; }
    bool Clipped() const { return FClipped; }
    int GroupLevel() const { return FGroupLevel; }
    TBarCustomItem* Item() const { return FItem; }
    bool OffEdge() const { return FOffEdge; }
    bool Show() const { return FShow; }
    TBarView* View() const { return FView; }

    TBarItemViewerState State;

protected:
    friend class TBarView;
    friend class TBarItemViewerAccObject;  // forgets itself when its last reference goes
    TRect FBoundsRect;
    bool FClipped = false;
    int FGroupLevel = 0;
    TBarCustomItem* FItem = nullptr;
    bool FOffEdge = false;
    bool FShow = false;
    TBarView* FView = nullptr;
    TBarBaseAccObject* FAccObjectInstance = nullptr;

private:
    // What a plain viewer's measured size depends on; a layout measures again only when it differs.
    struct TMeasureKey {
        String Caption;
        String FontName;
        vcl::TShortCut ShortCut = 0;
        vcl::TCustomImageList* Images = nullptr;
        int ImagesWidth = 0, ImagesHeight = 0;
        int ImageIndex = -1;
        int DisplayMode = 0;
        int Orientation = 0;
        int DPI = 0;
        int FontHeight = 0;
        int FontCharset = 0, FontPitch = 0, FontOrientation = 0;
        vcl::TFontStyles FontStyle;
        TBarItemOptions Options;
        TBarItemStyle ItemStyle;
        bool Toolbar = false;
        bool operator==(const TMeasureKey&) const = default;
    };
    struct TMeasuredSize {
        bool Valid = false;
        TMeasureKey Key;
        int Width = 0, Height = 0;
    };
    TMeasuredSize FMeasured;
};

class TBarSeparatorItemViewer : public TBarItemViewer {
public:
    using TBarItemViewer::TBarItemViewer;
    void MeasureSize(vcl::TCanvas* Canvas, int& AWidth, int& AHeight) override;
    void Paint(vcl::TCanvas* Canvas, const TRect& ClientAreaRect, bool IsSelected, bool IsPushed,
               bool UseDisabledShadow) override;
    bool UsesSameWidth() override { return false; }
};

// ---- views ----

enum TBarViewOrientation { tbvoHorizontal, tbvoVertical, tbvoFloating };

enum TBarViewStateFlag {
    vsModal,
    vsMouseInWindow,
    vsDrawInOrder,
    vsOppositePopup,
    vsIgnoreFirstMouseUp,
    vsShowAccels,
    vsDropDownMenus,
    vsNoAnimation
};
using TBarViewState = rtl::TSet<TBarViewStateFlag>;

enum TBarViewStyleFlag { vsMenuBar, vsUseHiddenAccels, vsAlwaysShowHints };
using TBarViewStyle = rtl::TSet<TBarViewStyleFlag>;

enum TBarEnterToolbarLoopOption { tbetMouseDown, tbetExecuteSelected, tbetFromMSAA };
using TBarEnterToolbarLoopOptions = rtl::TSet<TBarEnterToolbarLoopOption>;

enum TBarDoneAction { tbdaNone, tbdaCancel, tbdaClickItem, tbdaOpenSystemMenu, tbdaHelpContext };

struct TBarDoneActionData {
    TBarDoneAction DoneAction = tbdaNone;
    TBarCustomItem* ClickItem = nullptr;
    bool Sound = false;
    HWND Wnd = nullptr;
    WORD Key = 0;
    int ContextID = 0;
};

// The position "no position" of UpdateSelection.
constexpr int NoPosition = -2147483647 - 1;

// A subclass whose ChevronItem, MDI items or viewer classes differ calls RecreateAllViewers at the end
// of its own constructor: the base constructor builds the viewers before the subclass exists.
class TBarView : public rtl::TComponent {
public:
    TBarView(rtl::TComponent* AOwner, TBarView* AParentView, TBarCustomItem* AParentItem, vcl::TWinControl* AWindow,
             bool AIsToolbar, bool ACustomizing, bool AUsePriorityList);
    ~TBarView() override;

    // ---- virtual operations ----
    virtual void FitWindowToContent(int W, int H) {
        (void)W;
        (void)H;
    }
    virtual void LayoutAndResize(TPoint& NewSize);
    virtual TBarCustomItem* ChevronItem() { return nullptr; }
    virtual void ContentMargins(TBarViewOrientation AOrientation, int& Left, int& Top, int& Right, int& Bottom);
    virtual TBarCustomItem* MDIButtonsItem() { return nullptr; }
    virtual TBarCustomItem* MDISystemMenuItem() { return nullptr; }
    virtual void KeyDown(WORD& Key, vcl::TShiftState Shift);
    virtual vcl::TFont* GetFont();
    virtual void InvalidatePositions();

    // ---- viewers and layout ----
    void BeginUpdate();
    void EndUpdate();
    void ValidatePositions();
    void TryValidatePositions();
    TPoint UpdatePositions();
    int ViewerCount() const { return static_cast<int>(FViewers.size()); }
    TBarItemViewer* GetViewer(int Index) const;
    int IndexOf(TBarItemViewer* AViewer) const;
    TBarItemViewer* Find(TBarCustomItem* Item) const;
    TBarItemViewer* ViewerFromPoint(const TPoint& P);
    bool ContainsView(TBarView* AView) const;
    void RecreateAllViewers();
    void RecreateViewer(int Index);
    void DrawSubitems(vcl::TCanvas* ACanvas);
    void Invalidate(TBarItemViewer* AViewer);
    // Made on first use when the accessibility library is there (nil otherwise); the view keeps a reference.
    TBarBaseAccObject* GetAccObject();
    // Answers WM_GETOBJECT for the view's window with its object; false leaves it to the default.
    bool HandleWMGetObject(vcl::TMessage& Message);
    void GetOffEdgeControlList(std::vector<vcl::TControl*>& List);
    void HandleHintShowMessage(vcl::TCMHintShow& Message);
    TBarView* RootView();
    TBarView* ToolbarViewOf();
    // Lays the viewers out (Apply: into the viewers) for an orientation, wrap length and chevron.
    bool LayoutViewers(bool Apply, TBarViewOrientation AOrientation, int AWrapOffset, int AChevronOffset,
                       int AChevronSize, TPoint& ABaseSize, TPoint& ATotalSize, int& AWrappedLines);

    // ---- selection, popups, keys ----
    void Select(TBarItemViewer* Value, bool ViaMouse);
    void SetSelected(TBarItemViewer* Value) { Select(Value, false); }
    // P in screen coordinates; P.X = NoPosition when there is none.
    void UpdateSelection(const TPoint& P, bool AllowNewSelection);
    TBarItemViewer* FirstSelectable();
    TBarItemViewer* NextSelectable(TBarItemViewer* CurViewer, bool GoForward);
    TBarItemViewer* NextSelectableWithAccel(TBarItemViewer* CurViewer, char16_t Key, bool RequirePrimaryAccel,
                                            bool& IsOnlyItemWithAccel);
    TBarItemViewer* HighestPriorityViewer();
    void GivePriority(TBarItemViewer* AViewer);
    bool OpenChildPopup(bool SelectFirstItem);
    void CloseChildPopups();
    void CancelChildPopups();
    void EndModal();
    void EndModalWithClick(TBarItemViewer* AViewer);
    void EndModalWithHelp(int AContextID);
    void EndModalWithSystemMenu(HWND AWnd, WORD AKey);
    bool IsModalEnding();
    void ExecuteSelected(bool AGivePriority);
    void SetCapture() { FCapture = true; }
    void CancelCapture();
    void ScrollSelectedIntoView();
    void NotifyFocusEvent();
    void CancelMode();
    void SetAccelsVisibility(bool Show);
    void StartTimer(int N, UINT Interval);
    void StopTimer(int N);
    void StopAllTimers();
    void Scroll(bool Down);
    // Runs the modal menu loop on this toolbar's view, then carries out what it ended with.
    void EnterToolbarLoop(TBarEnterToolbarLoopOptions Options);

    // ---- state ----
    vcl::TColor BackgroundColor() const { return FBackgroundColor; }
    void SetBackgroundColor(vcl::TColor Value) { FBackgroundColor = Value; }
    TPoint BaseSize() const { return FBaseSize; }
    bool Capture() const { return FCapture; }
    int ChevronOffset() const { return FChevronOffset; }
    void SetChevronOffset(int Value) { FChevronOffset = Value; }
    TBarView* ChevronParentView() const { return FChevronParentView; }
    void SetChevronParentView(TBarView* Value);
    int ChevronSize() const { return FChevronSize; }
    void SetChevronSize(int Value) { FChevronSize = Value; }
    TBarCustomItem* CurParentItem() const { return FCurParentItem; }
    bool Customizing() const { return FCustomizing; }
    void SetCustomizing(bool Value);
    TBarDoneActionData& DoneActionData() { return FDoneActionData; }
    int InternalViewersAtEnd() const { return FInternalViewersAtEnd; }
    int InternalViewersAtFront() const { return FInternalViewersAtFront; }
    bool IsPopup() const { return FIsPopup; }
    bool IsToolbar() const { return FIsToolbar; }
    int MaxHeight() const { return FMaxHeight; }
    void SetMaxHeight(int Value) { FMaxHeight = Value; }
    bool MouseOverSelected() const { return FMouseOverSelected; }
    bool NewViewersGetHighestPriority() const { return FNewViewersGetHighestPriority; }
    void SetNewViewersGetHighestPriority(bool Value) { FNewViewersGetHighestPriority = Value; }
    TBarItemViewer* OpenViewer() const { return FOpenViewer; }
    TBarView* OpenViewerView() const { return FOpenViewerView; }
    TBarPopupWindow* OpenViewerWindow() const { return FOpenViewerWindow; }
    TBarView* ParentView() const { return FParentView; }
    TBarCustomItem* ParentItem() const { return FParentItem; }
    const std::vector<TBarItemViewer*>* PriorityList() const { return FPriorityList.get(); }
    TBarViewOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TBarViewOrientation Value);
    int ScrollOffset() const { return FScrollOffset; }
    void SetScrollOffset(int Value) { FScrollOffset = Value; }
    TBarItemViewer* Selected() const { return FSelected; }
    bool SelectedViaMouse() const { return FSelectedViaMouse; }
    const TRect& MonitorRect() const { return FMonitorRect; }
    bool ShowDownArrow() const { return FShowDownArrow; }
    bool ShowUpArrow() const { return FShowUpArrow; }
    uint8_t ActiveTimers() const { return FActiveTimers; }
    bool UsePriorityList() const { return FUsePriorityList; }
    void SetUsePriorityList(bool Value);
    bool Validated() const { return FValidated; }
    vcl::TWinControl* Window() const { return FWindow; }
    int WrapOffset() const { return FWrapOffset; }
    void SetWrapOffset(int Value) { FWrapOffset = Value; }

    TBarViewState State;
    TBarViewStyle Style;

protected:
    friend class TBarCustomItem;  // opening a popup links the new window into its parent view
    friend class TBarModalHandler;  // the menu loop drives the chain of views
    friend class TBarViewAccObject;  // forgets itself when its last reference goes
    void Notification(rtl::TComponent* AComponent, rtl::TOperation Operation) override;

    std::vector<TBarItemViewer*> FViewers;
    uint8_t FActiveTimers = 0;
    vcl::TColor FBackgroundColor = vcl::clDefault;
    TPoint FBaseSize;
    bool FCapture = false;
    HWND FCaptureWnd = nullptr;
    int FChevronOffset = 0;
    TBarView* FChevronParentView = nullptr;
    int FChevronSize = 0;
    TBarCustomItem* FCurParentItem = nullptr;
    bool FCustomizing = false;
    TBarDoneActionData FDoneActionData;
    int FInternalViewersAtEnd = 0;
    int FInternalViewersAtFront = 0;
    bool FIsPopup = false;
    bool FIsToolbar = false;
    int FMaxHeight = 0;
    TRect FMonitorRect;
    bool FMouseOverSelected = false;
    bool FNewViewersGetHighestPriority = true;
    TBarItemViewer* FOpenViewer = nullptr;
    TBarView* FOpenViewerView = nullptr;
    TBarPopupWindow* FOpenViewerWindow = nullptr;
    TBarView* FParentView = nullptr;
    TBarCustomItem* FParentItem = nullptr;
    std::unique_ptr<std::vector<TBarItemViewer*>> FPriorityList;
    TBarViewOrientation FOrientation = tbvoHorizontal;
    int FScrollOffset = 0;
    TBarItemViewer* FSelected = nullptr;
    bool FSelectedViaMouse = false;
    bool FShowDownArrow = false;
    bool FShowUpArrow = false;
    int FUpdating = 0;
    bool FUsePriorityList = false;
    bool FValidated = false;
    vcl::TWinControl* FWindow = nullptr;
    int FWrapOffset = 0;
    TBarBaseAccObject* FAccObjectInstance = nullptr;

private:
    void UpdateCurParentItem();
    void InitiateViewerActions();
    int InsertViewer(int Index, TBarCustomItem* Item, int GroupLevel, bool AddToPriority, bool AtFront);
    void InsertItemViewers(TBarCustomItem* Sender, int Index, TBarCustomItem* Item);
    void RemoveItemViewers(TBarCustomItem* Item);
    void ViewerDestroying(TBarItemViewer* Viewer);
    void FreeViewer(int Index);
    void FreeViewers();
    void ItemNotification(TBarCustomItem* Sender, bool Relayed, TBarItemChangedAction Action, int Index,
                          TBarCustomItem* Item);
    void ParentItemNotification(TBarCustomItem* Sender, bool Relayed, TBarItemChangedAction Action, int Index,
                                TBarCustomItem* Item);
    void ImagesChanged();
    TBarItemViewer::TMeasureKey MeasureKeyOf(TBarItemViewer* Viewer, vcl::TFont* Font, TBarViewOrientation AOrientation,
                                             int DPI);
    void PaintViewer(TBarItemViewer* Viewer, vcl::TCanvas* Canvas, bool Offscreen);
    void SelectNextInView(TBarView* V, bool GoForward);
    bool IsTimerWindow() const;

    TBarItemChangedProc FItemNotifyProc;
    TBarItemChangedProc FParentItemNotifyProc;
};

// The window of one open popup level (declared here for the views; see BarPopup.h for the rest).
// Every other window recognises a popup of the menu system by this interface.
class IBarPopupWindow {
public:
    virtual ~IBarPopupWindow() = default;
};

// The view a popup window shows: it sizes the window to its content plus the 3-pixel frame.
class TBarPopupView : public TBarView {
public:
    using TBarView::TBarView;
    void FitWindowToContent(int W, int H) override;
    vcl::TFont* GetFont() override;
};

using TBarViewClass = TBarView* (*)(rtl::TComponent* AOwner, TBarView* AParentView, TBarCustomItem* AParentItem,
                                    vcl::TWinControl* AWindow, bool AIsToolbar, bool ACustomizing,
                                    bool AUsePriorityList);

// A borderless, topmost, non-activating window that shows one view of one item's subitems.
class TBarPopupWindow : public vcl::TCustomControl, public IBarPopupWindow {
public:
    // Builds the hidden window; its view follows from ViewClass (TBarPopupWindowClass does both).
    TBarPopupWindow(rtl::TComponent* AOwner, TBarView* AParentView, TBarCustomItem* AItem, bool ACustomizing);
    ~TBarPopupWindow() override;
    TBarView* View() const { return FView; }
    TBarAnimationDirection AnimationDirection() const { return FAnimationDirection; }
    void SetAnimationDirection(TBarAnimationDirection Value) { FAnimationDirection = Value; }

    virtual void PaintScrollArrows();
    virtual TBarViewClass ViewClass();
    // The view, its font and its accelerator state: the second half of building the window.
    void CreateView(TBarView* AParentView, TBarCustomItem* AItem, bool ACustomizing);

protected:
    void CreateParams(vcl::TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWindowHandle() override;
    void Paint() override;
    void Dispatch(vcl::TMessage& Message) override;
    virtual void PaintNCFrame(HDC DC);
    void CMShowingChanged(vcl::TMessage& Message) override;

    bool FAccelsVisibilitySet = false;
    TBarAnimationDirection FAnimationDirection;
    TBarView* FView = nullptr;

private:
    static void NCPaintProc(HWND Wnd, HDC DC, LPARAM AppData);
};

} // namespace bars
