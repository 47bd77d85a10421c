// vcl/Controls.h: the control hierarchy of the class library: TControl (bounds, alignment, anchors,
// visibility, fonts and colours, mouse and keys, hints, drag objects), TWinControl (a window created
// on demand from CreateParams, children, tab order, focus, message reflection), TGraphicControl
// (windowless, painted and hit-tested by its parent) and TCustomControl (windowed, with a canvas).
#pragma once
#include "rtl/Classes.h"
#include "rtl/Event.h"
#include "rtl/System.h"
#include "vcl/ActnList.h"
#include "vcl/Graphics.h"
#include "vcl/Messages.h"
#include "win/windows.h"

#include <functional>
#include <memory>
#include <vector>

namespace vcl {

using rtl::String;
using rtl::TObject;
using rtl::TComponent;
using rtl::TNotifyEvent;

class TControl;
class TWinControl;
class TCustomForm;
class TPopupMenu;      // menus are their own unit; controls only keep a pointer
class TControlActionLink;
class TDragObject;
class TTouchManager;

namespace detail {
struct ControlAccess;  // the shared state of the control layer reaches into controls through this
}

// ---- enumerations and sets ----
enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
using TAlignSet = rtl::TSet<TAlign>;
enum TAnchorKind { akLeft, akTop, akRight, akBottom };
using TAnchors = rtl::TSet<TAnchorKind>;

enum TControlStyleItem {
    csAcceptsControls, csCaptureMouse, csDesignInteractive, csClickEvents, csFramed, csSetCaption, csOpaque,
    csDoubleClicks, csFixedWidth, csFixedHeight, csNoDesignVisible, csReplicatable, csNoStdEvents,
    csDisplayDragImage, csReflector, csActionClient, csMenuEvents, csNeedsBorderPaint, csParentBackground,
    csPannable, csAlignWithMargins, csGestures, csPaintBlackOpaqueOnGlass, csOverrideStylePaint
};
using TControlStyle = rtl::TSet<TControlStyleItem>;

enum TControlStateItem {
    csLButtonDown, csClicked, csPalette, csReadingState, csAlignmentNeeded, csFocusing, csCreating,
    csPaintCopy, csCustomPaint, csDestroyingHandle, csDocking, csDesignerHide, csPanning, csRecreating,
    csAligning, csGlassPaint, csPrintClient
};
using TControlState = rtl::TSet<TControlStateItem>;

enum TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble, ssTouch, ssPen, ssCommand, ssHorizontal };
using TShiftState = rtl::TSet<TShiftStateItem>;
enum TMouseButton { mbLeft, mbRight, mbMiddle };

enum TDragMode { dmManual, dmAutomatic };
enum TDragKind { dkDrag, dkDock };
enum TDragState { dsDragEnter, dsDragLeave, dsDragMove };
enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };
enum TImeMode { imDisable, imClose, imOpen, imDontCare, imSAlpha, imAlpha, imHira, imSKata, imKata, imChinese, imSHanguel, imHanguel };
enum TMouseActivate { maDefault, maActivate, maActivateAndEat, maNoActivate, maNoActivateAndEat };
enum TStyleElement { seFont, seClient, seBorder };
// A frame of bevels a windowed control may draw around its client area (BevelKind other than bkNone).
enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
enum TBevelKind { bkNone, bkTile, bkSoft, bkFlat };
enum TBevelEdge { beLeft, beTop, beRight, beBottom };
using TBevelEdges = rtl::TSet<TBevelEdge>;
using TStyleElements = rtl::TSet<TStyleElement>;

using TCursor = short;
constexpr TCursor crDefault = 0, crNone = -1, crArrow = -2, crCross = -3, crIBeam = -4, crSizeNESW = -6,
                  crSizeNS = -7, crSizeNWSE = -8, crSizeWE = -9, crUpArrow = -10, crHourGlass = -11,
                  crDrag = -12, crNoDrop = -13, crHSplit = -14, crVSplit = -15, crMultiDrag = -16,
                  crSQLWait = -17, crNo = -18, crAppStart = -19, crHelp = -20, crHandPoint = -21,
                  crSizeAll = -22, crSize = -22;

using TModalResult = int;
constexpr TModalResult mrNone = 0, mrOk = IDOK, mrCancel = IDCANCEL, mrAbort = IDABORT, mrRetry = IDRETRY,
                       mrIgnore = IDIGNORE, mrYes = IDYES, mrNo = IDNO, mrClose = IDCLOSE, mrHelp = IDHELP,
                       mrTryAgain = 10, mrContinue = 11, mrAll = 12, mrNoToAll = 13, mrYesToAll = 14;

// A shortcut (TShortCut, with the action unit): virtual key in the low byte, scShift/scCtrl/scAlt above.
TShortCut ShortCut(WORD Key, TShiftState Shift);
void ShortCutToKey(TShortCut ShortCut, WORD& Key, TShiftState& Shift);

// Shift state of a key message's key data (the Alt bit) and the current Shift/Ctrl keys.
TShiftState KeyDataToShiftState(LONG KeyData);
// Shift state of a mouse message's MK_* keys (and Alt from the keyboard).
TShiftState KeysToShiftState(WPARAM Keys);
TShiftState KeyboardStateToShiftState();

// ---- events ----
using TMouseEvent = rtl::TEvent<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = rtl::TEvent<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TKeyEvent = rtl::TEvent<void(TObject* Sender, WORD& Key, TShiftState Shift)>;
using TKeyPressEvent = rtl::TEvent<void(TObject* Sender, rtl::Char& Key)>;
using TMouseWheelEvent = rtl::TEvent<void(TObject* Sender, TShiftState Shift, int WheelDelta, TPoint MousePos, bool& Handled)>;
using TMouseWheelUpDownEvent = rtl::TEvent<void(TObject* Sender, TShiftState Shift, TPoint MousePos, bool& Handled)>;
using TContextPopupEvent = rtl::TEvent<void(TObject* Sender, TPoint MousePos, bool& Handled)>;
using TCanResizeEvent = rtl::TEvent<void(TObject* Sender, int& NewWidth, int& NewHeight, bool& Resize)>;
using TConstrainedResizeEvent = rtl::TEvent<void(TObject* Sender, int& MinWidth, int& MinHeight, int& MaxWidth, int& MaxHeight)>;
using TDragOverEvent = rtl::TEvent<void(TObject* Sender, TObject* Source, int X, int Y, TDragState State, bool& Accept)>;
using TDragDropEvent = rtl::TEvent<void(TObject* Sender, TObject* Source, int X, int Y)>;
using TStartDragEvent = rtl::TEvent<void(TObject* Sender, TDragObject*& DragObject)>;
using TEndDragEvent = rtl::TEvent<void(TObject* Sender, TObject* Target, int X, int Y)>;
using TMouseActivateEvent = rtl::TEvent<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y, int HitTest, TMouseActivate& MouseActivate)>;
using TWndMethod = rtl::TEvent<void(TMessage& Message)>;

// ---- gestures and touch: the members exist; no gesture ever arrives on this platform ----
enum TInteractiveGesture { igZoom, igPan, igRotate, igTwoFingerTap, igPressAndTap };
using TInteractiveGestures = rtl::TSet<TInteractiveGesture>;
enum TInteractiveGestureOption {
    igoPanSingleFingerHorizontal, igoPanSingleFingerVertical, igoPanInertia, igoPanGutter, igoParentPassthrough
};
using TInteractiveGestureOptions = rtl::TSet<TInteractiveGestureOption>;
enum TGestureFlag { gfBegin, gfInertia, gfEnd };
using TGestureEventFlags = rtl::TSet<TGestureFlag>;
using TGestureID = int;
constexpr TGestureID igiFirst = 256, igiZoom = 259, igiPan = 260, igiRotate = 261, igiTwoFingerTap = 262,
                     igiPressAndTap = 263;
struct TGestureEventInfo {
    TGestureID GestureID = 0;
    TPoint Location;
    TGestureEventFlags Flags;
    int Angle = 0;
    int Distance = 0;
    TPoint InertiaVector;
    TPoint TapLocation;
};
using TGestureEvent = rtl::TEvent<void(TObject* Sender, const TGestureEventInfo& EventInfo, bool& Handled)>;

class TTouchManager : public rtl::TPersistent {
public:
    explicit TTouchManager(TControl* AControl) : FControl(AControl) {}
    TControl* Control() const { return FControl; }
    TInteractiveGestures InteractiveGestures() const { return FInteractiveGestures; }
    void SetInteractiveGestures(TInteractiveGestures Value) { FInteractiveGestures = Value; }
    TInteractiveGestureOptions InteractiveGestureOptions() const { return FInteractiveGestureOptions; }
    void SetInteractiveGestureOptions(TInteractiveGestureOptions Value) { FInteractiveGestureOptions = Value; }
    void Assign(rtl::TPersistent* Source) override;

private:
    TControl* FControl;
    TInteractiveGestures FInteractiveGestures{igPressAndTap};
    TInteractiveGestureOptions FInteractiveGestureOptions{igoPanInertia, igoPanGutter, igoParentPassthrough};
};

// ---- margins, padding and size limits ----
class TMargins : public rtl::TPersistent {
public:
    explicit TMargins(TControl* Control);
    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Right() const { return FRight; }
    int Bottom() const { return FBottom; }
    void SetLeft(int Value) { SetMargin(FLeft, Value); }
    void SetTop(int Value) { SetMargin(FTop, Value); }
    void SetRight(int Value) { SetMargin(FRight, Value); }
    void SetBottom(int Value) { SetMargin(FBottom, Value); }
    void SetBounds(int ALeft, int ATop, int ARight, int ABottom);
    TControl* Control() const { return FControl; }
    void Assign(rtl::TPersistent* Source) override;
    // The rectangle a control takes with its margins around it, and the control's rectangle back.
    void SetControlBounds(int ALeft, int ATop, int AWidth, int AHeight, bool Aligning = false);
    static TRect InitialMargin() { return TRect(3, 3, 3, 3); }

    TNotifyEvent OnChange;

protected:
    TMargins(TControl* Control, int Default);
    void Change();

private:
    void SetMargin(int& Margin, int Value);
    TControl* FControl;
    int FLeft, FTop, FRight, FBottom;
};

class TPadding : public TMargins {
public:
    explicit TPadding(TControl* Control) : TMargins(Control, 0) {}
};

class TSizeConstraints : public rtl::TPersistent {
public:
    explicit TSizeConstraints(TControl* Control) : FControl(Control) {}
    int MaxHeight() const { return FMaxHeight; }
    int MaxWidth() const { return FMaxWidth; }
    int MinHeight() const { return FMinHeight; }
    int MinWidth() const { return FMinWidth; }
    // A maximum below the minimum lifts the maximum; a minimum above the maximum lifts the maximum too.
    void SetMaxHeight(int Value);
    void SetMaxWidth(int Value);
    void SetMinHeight(int Value);
    void SetMinWidth(int Value);
    TControl* Control() const { return FControl; }
    void Assign(rtl::TPersistent* Source) override;

    TNotifyEvent OnChange;

private:
    void Change();
    TControl* FControl;
    int FMaxHeight = 0, FMaxWidth = 0, FMinHeight = 0, FMinWidth = 0;
};

// ---- drag objects ----
class TDragObject : public TObject {
public:
    TDragObject() = default;
    virtual TCursor GetDragCursor(bool Accepted, int X, int Y);
    virtual void Finished(TObject* Target, int X, int Y, bool Accepted);
    virtual bool AutoRelease() const { return false; } // freed by the library when the drag ends
    TControl* DragTarget() const { return FDragTarget; }
    TPoint DragPos() const { return FDragPos; }
    bool Cancelling() const { return FCancelling; }
    bool Dropped() const { return FDropped; }

private:
    friend class TControl;
    friend void DragDone(bool Drop);
    friend void CancelDrag();
    TControl* FDragTarget = nullptr;
    TPoint FDragPos;
    bool FCancelling = false;
    bool FDropped = false;
};
class TDragObjectEx : public TDragObject {
public:
    bool AutoRelease() const override { return true; }
};
// The drag object made for a control that starts dragging without giving its own.
class TDragControlObject : public TDragObject {
public:
    explicit TDragControlObject(TControl* AControl) : FControl(AControl) {}
    TControl* Control() const { return FControl; }
    TCursor GetDragCursor(bool Accepted, int X, int Y) override;

private:
    TControl* FControl;
};
class TDragControlObjectEx : public TDragControlObject {
public:
    using TDragControlObject::TDragControlObject;
    bool AutoRelease() const override { return true; }
};

// The drag in progress (nullptr when none) and its end: Drop tells whether the target accepted.
TDragObject* DragObject();
void DragDone(bool Drop);
void CancelDrag();
// The control under a screen point that accepts drops (windowless ones included), or nullptr.
TControl* FindDragTarget(const TPoint& Pos, bool AllowDisabled);

// ---- hints ----
class THintWindow;
struct THintInfo {
    TControl* HintControl = nullptr;
    THintWindow* (*HintWindowClass)(TComponent* AOwner) = nullptr;
    TPoint HintPos;           // screen position of the hint window
    int HintMaxWidth = 0;
    TColor HintColor = clInfoBk;
    TRect CursorRect;         // client coordinates of HintControl: moving out of it hides the hint
    TPoint CursorPos;         // client coordinates of HintControl
    int ReshowTimeout = 0;
    int HideTimeout = 0;
    String HintStr;
    void* HintData = nullptr;
};

// ---- TControl ----
class TControl : public TComponent {
public:
    explicit TControl(TComponent* AOwner);
    ~TControl() override;

    // Message dispatch: Perform builds the record and hands it to WindowProc, which is WndProc unless
    // someone replaced it; WndProc does the library's pre-processing and calls Dispatch; Dispatch maps
    // the message number to a handler (each class adds its own and passes the rest to its base), and
    // what no handler takes goes to DefaultHandler.
    LRESULT Perform(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);
    LRESULT Perform(UINT Msg, WPARAM WParam, void* LParam) { return Perform(Msg, WParam, reinterpret_cast<LPARAM>(LParam)); }
    TWndMethod WindowProc;
    virtual void WndProc(TMessage& Message);
    virtual void Dispatch(TMessage& Message);
    virtual void DefaultHandler(TMessage& Message);

    // Parent and bounds.
    TWinControl* Parent() const { return FParent; }
    virtual void SetParent(TWinControl* AParent);
    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetLeft(int Value) { SetBounds(Value, FTop, FWidth, FHeight); }
    void SetTop(int Value) { SetBounds(FLeft, Value, FWidth, FHeight); }
    void SetWidth(int Value) { SetBounds(FLeft, FTop, Value, FHeight); }
    void SetHeight(int Value) { SetBounds(FLeft, FTop, FWidth, Value); }
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    TRect BoundsRect() const { return TRect(FLeft, FTop, FLeft + FWidth, FTop + FHeight); }
    void SetBoundsRect(const TRect& Rect) { SetBounds(Rect.Left, Rect.Top, Rect.Width(), Rect.Height()); }
    TRect ClientRect() { return GetClientRect(); }
    int ClientWidth() { return ClientRect().Right; }
    int ClientHeight() { return ClientRect().Bottom; }
    void SetClientWidth(int Value) { SetClientSize(TPoint(Value, ClientHeight())); }
    void SetClientHeight(int Value) { SetClientSize(TPoint(ClientWidth(), Value)); }
    virtual TPoint ClientOrigin();
    TPoint ClientToScreen(const TPoint& Point);
    TPoint ScreenToClient(const TPoint& Point);
    TPoint ClientToParent(const TPoint& Point, TWinControl* AParent = nullptr);
    TPoint ParentToClient(const TPoint& Point, TWinControl* AParent = nullptr);

    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign Value);
    bool AlignWithMargins() const { return FAlignWithMargins; }
    void SetAlignWithMargins(bool Value);
    TAnchors Anchors() const { return FAnchors; }
    void SetAnchors(TAnchors Value);
    TMargins* Margins() const { return FMargins.get(); }
    void SetMargins(TMargins* Value) { FMargins->Assign(Value); }
    TSizeConstraints* Constraints() const { return FConstraints.get(); }
    void SetConstraints(TSizeConstraints* Value) { FConstraints->Assign(Value); }
    bool AutoSize() const { return FAutoSize; }
    virtual void SetAutoSize(bool Value);

    // Visibility and state.
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    virtual bool Showing() const;  // visible, and so is every parent up to a showing window
    bool Enabled() const { return GetEnabled(); }
    void SetEnabled(bool Value) { DoSetEnabled(Value); }
    void Show();
    void Hide() { SetVisible(false); }
    TControlStyle ControlStyle() const { return FControlStyle; }
    void SetControlStyle(TControlStyle Value) { FControlStyle = Value; }
    TControlState ControlState() const { return FControlState; }
    void SetControlState(TControlState Value) { FControlState = Value; }

    // Appearance.
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    bool ParentColor() const { return FParentColor; }
    void SetParentColor(bool Value);
    TFont* Font() const { return FFont.get(); }
    void SetFont(TFont* Value) { FFont->Assign(Value); }
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool Value);
    String Caption() const { return GetText(); }
    void SetCaption(const String& Value) { SetText(Value); }
    String Text() const { return GetText(); }
    void SetText(const String& Value);
    String GetTextBuf() const { return GetText(); }
    int GetTextLen() const { return GetText().size(); }
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor Value);
    TBiDiMode BiDiMode() const { return FBiDiMode; }
    void SetBiDiMode(TBiDiMode Value);
    bool ParentBiDiMode() const { return FParentBiDiMode; }
    void SetParentBiDiMode(bool Value);
    bool UseRightToLeftAlignment() const { return false; }  // left-to-right only on this platform
    bool UseRightToLeftReading() const { return false; }
    UINT DrawTextBiDiModeFlags(UINT Flags) const { return Flags; }
    UINT DrawTextBiDiModeFlagsReadingOnly() const { return 0; }
    TStyleElements StyleElements() const { return FStyleElements; }
    void SetStyleElements(TStyleElements Value);
    bool IsRightToLeft() const { return false; }

    // Hints, popup menu, help.
    String Hint() const { return FHint; }
    void SetHint(const String& Value) { FHint = Value; }
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value);
    bool ParentShowHint() const { return FParentShowHint; }
    void SetParentShowHint(bool Value);
    TPopupMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TPopupMenu* Value);
    int HelpContext() const { return FHelpContext; }
    void SetHelpContext(int Value) { FHelpContext = Value; }
    String HelpKeyword() const { return FHelpKeyword; }
    void SetHelpKeyword(const String& Value) { FHelpKeyword = Value; }

    // Painting.
    virtual void Invalidate();
    virtual void Repaint();
    void Refresh() { Repaint(); }
    virtual void Update();
    void BringToFront();
    void SendToBack();
    virtual HPALETTE GetPalette() { return nullptr; }

    // Mouse.
    bool MouseCapture() const;
    void SetMouseCapture(bool Value);
    bool MouseInClient() const { return FMouseInClient; }
    virtual void Click();
    virtual void DblClick();
    virtual void InitiateAction();
    // An action that works on a target (a standard action) asks the focused control and the form: true
    // when this control is a target of the action and it ran (or was updated) on it.
    virtual bool ExecuteAction(TBasicAction* Action);
    virtual bool UpdateAction(TBasicAction* Action);

    // Actions: the control follows its action's caption, enabled state, hint and visibility, and a
    // click runs the action.
    TBasicAction* Action() const;
    void SetAction(TBasicAction* Value);
    TControlActionLink* ActionLink() const { return FActionLink.get(); }

    // Dragging.
    void BeginDrag(bool Immediate, int Threshold = -1);
    void EndDrag(bool Drop);
    bool Dragging() const;
    TDragMode DragMode() const { return FDragMode; }
    void SetDragMode(TDragMode Value) { FDragMode = Value; }
    TDragKind DragKind() const { return FDragKind; }
    void SetDragKind(TDragKind Value) { FDragKind = Value; }
    TCursor DragCursor() const { return FDragCursor; }
    void SetDragCursor(TCursor Value) { FDragCursor = Value; }
    virtual void DragDrop(TObject* Source, int X, int Y);

    // Scaling.
    void ScaleBy(int M, int D);
    TTouchManager* Touch() const { return FTouch.get(); }
    void SetTouch(TTouchManager* Value) { FTouch->Assign(Value); }

    bool IsControl() const { return FIsControl; }
    void SetIsControl(bool Value) { FIsControl = Value; }
    // Windowed controls are TWinControls; cheaper than a dynamic cast on every mouse message.
    bool IsWindowed() const { return FWindowed; }

    void SetName(const String& NewName) override;
    bool HasParent() const override { return true; }
    TComponent* GetParentComponent() const override;
    void SetParentComponent(TComponent* Value) override;

    // Events.
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TMouseWheelEvent OnMouseWheel;
    TMouseWheelUpDownEvent OnMouseWheelDown;
    TMouseWheelUpDownEvent OnMouseWheelUp;
    TMouseActivateEvent OnMouseActivate;
    TNotifyEvent OnResize;
    TCanResizeEvent OnCanResize;
    TConstrainedResizeEvent OnConstrainedResize;
    TContextPopupEvent OnContextPopup;
    TGestureEvent OnGesture;
    TDragOverEvent OnDragOver;
    TDragDropEvent OnDragDrop;
    TStartDragEvent OnStartDrag;
    TEndDragEvent OnEndDrag;

protected:
    friend class TWinControl;
    friend class TCustomForm;
    friend class TApplication;
    friend void DragDone(bool Drop);
    friend class TMargins;
    friend class TSizeConstraints;
    friend class TControlActionLink;
    friend struct detail::ControlAccess;

    virtual String GetText() const { return FText; }
    virtual void SetTextValue(const String& Value); // stores the text; windows also set theirs
    virtual bool GetEnabled() const { return FEnabled; }
    virtual void DoSetEnabled(bool Value);
    virtual TRect GetClientRect();
    virtual void SetClientSize(const TPoint& Value);
    virtual TWinControl* GetParentHandleOwner() const { return FParent; }

    void Loaded() override;
    void Notification(TComponent* AComponent, rtl::TOperation Operation) override;

    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseEnter();
    virtual void MouseLeave();
    virtual bool DoMouseWheel(TShiftState Shift, int WheelDelta, const TPoint& MousePos);
    virtual bool DoMouseWheelDown(TShiftState Shift, const TPoint& MousePos);
    virtual bool DoMouseWheelUp(TShiftState Shift, const TPoint& MousePos);
    virtual void DoContextPopup(const TPoint& MousePos, bool& Handled);
    virtual void DoGesture(const TGestureEventInfo& EventInfo, bool& Handled);
    virtual void Resize();
    virtual bool CanResize(int& NewWidth, int& NewHeight);
    virtual bool CanAutoSize(int& NewWidth, int& NewHeight);
    virtual void ConstrainedResize(int& MinWidth, int& MinHeight, int& MaxWidth, int& MaxHeight);
    virtual void DoConstrainedResize(int& NewWidth, int& NewHeight);
    virtual void AdjustSize();
    virtual void ChangeScale(int M, int D);
    virtual void VisibleChanging() {}
    virtual void RequestAlign();
    void UpdateAnchorRules();
    // Applies the resize rules (OnCanResize, constraints) to a new size; false when nothing changes.
    bool CheckNewBounds(int ALeft, int ATop, int& AWidth, int& AHeight);
    virtual void Changed();
    virtual void SetZOrder(bool TopMost);
    virtual void SendCancelMode(TControl* Sender);
    virtual void Paint() {}

    virtual void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept);
    virtual void DoStartDrag(TDragObject*& DragObject);
    virtual void DoEndDrag(TObject* Target, int X, int Y);
    virtual void DragCanceled() {}

    // Actions.
    virtual void ActionChange(TObject* Sender, bool CheckDefaults);
    void DoActionChange(TObject* Sender);
    // The link class of this control (the class library's ActionLinkClass).
    virtual std::unique_ptr<TControlActionLink> CreateActionLink();

    // Message handlers reached through Dispatch.
    virtual void WMMouseButton(TWMMouse& Message);  // every button down/up/double-click
    virtual void WMMouseMove(TWMMouse& Message);
    virtual void WMMouseWheel(TWMMouseWheel& Message);
    virtual void WMContextMenu(TWMContextMenu& Message);
    virtual void WMCancelMode(TMessage& Message);
    virtual void WMWindowPosChanged(TWMWindowPosMsg& Message);
    virtual void CMVisibleChanged(TMessage& Message);
    virtual void CMEnabledChanged(TMessage& Message);
    virtual void CMFontChanged(TMessage& Message);
    virtual void CMColorChanged(TMessage& Message);
    virtual void CMParentFontChanged(TMessage& Message);
    virtual void CMParentColorChanged(TMessage& Message);
    virtual void CMParentShowHintChanged(TMessage& Message);
    virtual void CMParentBiDiModeChanged(TMessage& Message);
    virtual void CMTextChanged(TMessage& Message) { (void)Message; }
    virtual void CMMouseEnter(TCMMouseEnterLeave& Message);
    virtual void CMMouseLeave(TCMMouseEnterLeave& Message);
    virtual void CMMouseWheel(TCMMouseWheel& Message);
    virtual void CMHintShow(TCMHintShow& Message);
    virtual void CMHitTest(TCMHitTest& Message) { Message.Result = HTCLIENT; }
    virtual void CMSysColorChange(TMessage& Message) { (void)Message; }
    virtual void CMCancelMode(TCMCancelMode& Message) { (void)Message; }
    virtual void CMGesture(TMessage& Message);

    void DoMouseDown(TWMMouse& Message, TMouseButton Button, TShiftState Shift);
    void DoMouseUp(TWMMouse& Message, TMouseButton Button);
public:
    // Where a wheel message goes: a control hands it to its form, the form to its focused control.
    virtual void MouseWheelHandler(TMessage& Message);

protected:

    TControlStyle FControlStyle;
    TControlState FControlState;
    int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
    TWinControl* FParent = nullptr;
    bool FVisible = true;
    bool FEnabled = true;
    bool FWindowed = false;
    TAlign FAlign = alNone;
    TAnchors FAnchors{akLeft, akTop};
    bool FAlignWithMargins = false;
    bool FAutoSize = false;
    TColor FColor = clWindow;
    bool FParentColor = true;
    std::unique_ptr<TFont> FFont;
    bool FParentFont = true;
    bool FDesktopFont = false;
    String FText;
    String FHint;
    bool FShowHint = false;
    bool FParentShowHint = true;
    TCursor FCursor = crDefault;
    TBiDiMode FBiDiMode = bdLeftToRight;
    bool FParentBiDiMode = true;
    TStyleElements FStyleElements{seFont, seClient, seBorder};
    bool FMouseInClient = false;
    int FScalingFlags = 0;

private:
    friend void DragDone(bool Drop);
    void FontChanged(TObject* Sender);
    void DoMarginsChanged(TObject* Sender);
    void DoConstraintsChanged(TObject* Sender);
    void UpdateBoundsRect(const TRect& R);
    void InvalidateControl(bool IsVisible, bool IsOpaque);

    std::unique_ptr<TMargins> FMargins;
    std::unique_ptr<TSizeConstraints> FConstraints;
    std::unique_ptr<TTouchManager> FTouch;
    std::unique_ptr<TControlActionLink> FActionLink;
    TPopupMenu* FPopupMenu = nullptr;
    int FHelpContext = 0;
    String FHelpKeyword;
    TDragMode FDragMode = dmManual;
    TDragKind FDragKind = dkDrag;
    TCursor FDragCursor = crDrag;
    bool FIsControl = false;
    // Anchors: where the control stood against its parent's client size when the rules were taken.
    TPoint FAnchorRules;
    TPoint FOriginalParentSize;
    TRect FExplicitBounds;
};

// The link between a control and its action: the control's caption, enabled state, hint, visibility and
// OnClick follow the action while they still equal the action's.
class TControlActionLink : public TActionLink {
public:
    explicit TControlActionLink(TObject* AClient);
    TControl* Client() const { return FClient; }

    bool IsCaptionLinked() override;
    bool IsEnabledLinked() override;
    bool IsHelpContextLinked() override;
    bool IsHintLinked() override;
    bool IsVisibleLinked() override;
    bool IsOnExecuteLinked() override;
    void SetCaption(const String& Value) override;
    void SetEnabled(bool Value) override;
    void SetHelpContext(THelpContext Value) override;
    void SetHint(const String& Value) override;
    void SetVisible(bool Value) override;
    void SetOnExecute(const TNotifyEvent& Value) override;
    // The action's hint for the control's hint window (OnHint of the action may change or refuse it).
    virtual bool DoShowHint(String& HintStr);

protected:
    void AssignClient(TObject* AClient) override;
    TControl* FClient = nullptr;
};

// ---- creation parameters of a window ----
struct TCreateParams {
    String Caption;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int X = 0, Y = 0, Width = 0, Height = 0;
    HWND WndParent = nullptr;
    void* Param = nullptr;
    WNDCLASSW WindowClass{};
    String WinClassName;
};

// ---- TWinControl ----
class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* AOwner);
    // A control inside a foreign window (a window of another library or of the platform).
    static TWinControl* CreateParented(HWND ParentWindow);
    ~TWinControl() override;

    HWND Handle();                       // creates the window when there is none yet
    HWND WindowHandle() const { return FHandle; }
    bool HandleAllocated() const { return FHandle != nullptr; }
    void HandleNeeded();
    HWND ParentWindow() const { return FParentWindow; }
    void SetParentWindow(HWND Value);
    void RecreateWnd();
    void DestroyHandle();

    int ControlCount() const { return static_cast<int>(FControls.size() + FWinControls.size()); }
    TControl* Controls(int Index) const;
    void InsertControl(TControl* AControl);
    void RemoveControl(TControl* AControl);
    bool ContainsControl(TControl* Control) const;
    TControl* ControlAtPos(const TPoint& Pos, bool AllowDisabled, bool AllowWinControls = false,
                           bool AllLevels = false);
    TWinControl* FindChildControl(const String& ControlName) const;
    void Broadcast(TMessage& Message);
    void NotifyControls(UINT Msg);
    void PaintTo(HDC DC, int X, int Y);

    // Alignment.
    void DisableAlign();
    void EnableAlign();
    void Realign();
    bool AlignDisabled() const { return FAlignLevel != 0; }
    TPadding* Padding() const { return FPadding.get(); }
    void SetPadding(TPadding* Value) { FPadding->Assign(Value); }
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int Value);
    TBevelKind BevelKind() const { return FBevelKind; }
    void SetBevelKind(TBevelKind Value) { SetBevel(FBevelKind, Value); }
    TBevelEdges BevelEdges() const { return FBevelEdges; }
    void SetBevelEdges(TBevelEdges Value) { SetBevel(FBevelEdges, Value); }
    TBevelCut BevelInner() const { return FBevelInner; }
    void SetBevelInner(TBevelCut Value) { SetBevel(FBevelInner, Value); }
    TBevelCut BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TBevelCut Value) { SetBevel(FBevelOuter, Value); }
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int Value) { SetBevel(FBevelWidth, Value < 1 ? 1 : Value); }

    // Focus and tab order.
    // True when the window (or, for a control made of several windows, any of them) has the focus.
    virtual bool Focused() const;
    virtual bool CanFocus();
    virtual void SetFocus();
    bool TabStop() const { return FTabStop; }
    void SetTabStop(bool Value);
    int TabOrder() const;
    void SetTabOrder(int Value);
    virtual void GetTabOrderList(std::vector<TWinControl*>& List);
    TWinControl* FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop, bool CheckParent);
    void SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop);
    void SelectFirst();

    TBrush* Brush() const { return FBrush.get(); }
    bool Ctl3D() const { return FCtl3D; }
    void SetCtl3D(bool Value) { FCtl3D = Value; }
    bool ParentCtl3D() const { return FParentCtl3D; }
    void SetParentCtl3D(bool Value) { FParentCtl3D = Value; }
    bool DoubleBuffered() const { return FDoubleBuffered; }
    void SetDoubleBuffered(bool Value);
    bool ParentDoubleBuffered() const { return FParentDoubleBuffered; }
    void SetParentDoubleBuffered(bool Value) { FParentDoubleBuffered = Value; }
    bool ParentBackground() const { return FControlStyle.Contains(csParentBackground); }
    void SetParentBackground(bool Value);
    bool DockSite() const { return FDockSite; }
    void SetDockSite(bool Value) { FDockSite = Value; }
    bool UseDockManager() const { return FUseDockManager; }
    void SetUseDockManager(bool Value) { FUseDockManager = Value; }
    TImeMode ImeMode() const { return FImeMode; }
    void SetImeMode(TImeMode Value) { FImeMode = Value; }
    String ImeName() const { return FImeName; }
    void SetImeName(const String& Value) { FImeName = Value; }

    bool Showing() const override { return FShowing; }
    TPoint ClientOrigin() override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void Invalidate() override;
    void Repaint() override;
    void Update() override;
    void SetParent(TWinControl* AParent) override;
    void GetChildren(const rtl::TGetChildProc& Proc, TComponent* Root) override;
    void SetChildOrder(TComponent* Child, int Order) override;

    void WndProc(TMessage& Message) override;
    void Dispatch(TMessage& Message) override;
    void DefaultHandler(TMessage& Message) override;

    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;
    TKeyPressEvent OnKeyPress;
    TKeyEvent OnKeyUp;

protected:
    friend class TControl;
    friend class TCustomForm;
    friend class TApplication;
    friend struct detail::ControlAccess;

    virtual void CreateParams(TCreateParams& Params);
    // Makes Params' class a copy of a platform class: its window procedure answers what ours does not.
    void CreateSubClass(TCreateParams& Params, const String& ControlClassName);
    virtual void CreateWnd();
    virtual void CreateWindowHandle(const TCreateParams& Params);
    virtual void CreateHandle();
    virtual void DestroyWnd();
    virtual void DestroyWindowHandle();
    virtual void UpdateShowing();
    void UpdateControlState();
    virtual void ShowControl(TControl* AControl);
    virtual void AlignControls(TControl* AControl, TRect& Rect);
    virtual void AdjustClientRect(TRect& Rect);
    virtual void CustomAlignPosition(TControl* Control, int& NewLeft, int& NewTop, int& NewWidth, int& NewHeight,
                                     TRect& AlignRect) {
        (void)Control; (void)NewLeft; (void)NewTop; (void)NewWidth; (void)NewHeight; (void)AlignRect;
    }
    virtual void PaintWindow(HDC DC);
    virtual void PaintHandler(TWMPaint& Message);
    void PaintControls(HDC DC, TControl* First);
    virtual void KeyDown(WORD& Key, TShiftState Shift);
    virtual void KeyUp(WORD& Key, TShiftState Shift);
    virtual void KeyPress(rtl::Char& Key);
    bool DoKeyDown(TWMKey& Message);
    bool DoKeyUp(TWMKey& Message);
    bool DoKeyPress(TWMKey& Message);
    virtual void DoEnter();
    virtual void DoExit();
    virtual bool IsMenuKey(TWMKey& Message);
    virtual void ValidateInsert(TComponent* AComponent) override { (void)AComponent; }
    virtual bool CanAutoSize(int& NewWidth, int& NewHeight) override;
    void ChangeScale(int M, int D) override;
    void SetZOrder(bool TopMost) override;
    void SetTextValue(const String& Value) override;
    void DoSetEnabled(bool Value) override;
    TRect GetClientRect() override;
    void SetClientSize(const TPoint& Value) override;
    virtual void DefWndProc(TMessage& Message) { DefaultHandler(Message); }
    String GetText() const override;
    // Forms show without a parent; other windowed controls need one (or a foreign parent window).
    virtual bool IsFormLike() const;
    void FixupTabList();
    void MainWndProc(TMessage& Message);
    virtual void UpdateBounds();
    virtual bool IsControlMouseMsg(TWMMouse& Message);
    void Loaded() override;
    void Notification(TComponent* AComponent, rtl::TOperation Operation) override;

    // Message handlers.
    virtual void WMPaint(TWMPaint& Message);
    virtual void WMEraseBkgnd(TWMEraseBkgnd& Message);
    virtual void WMSize(TWMSize& Message);
    virtual void WMMove(TWMMove& Message);
    void WMWindowPosChanged(TWMWindowPosMsg& Message) override;
    virtual void WMWindowPosChanging(TWMWindowPosMsg& Message);
    virtual void WMSetFocus(TWMSetFocus& Message);
    virtual void WMKillFocus(TWMKillFocus& Message);
    virtual void WMKeyDown(TWMKey& Message);
    virtual void WMKeyUp(TWMKey& Message);
    virtual void WMChar(TWMKey& Message);
    virtual void WMSysKeyDown(TWMKey& Message);
    virtual void WMSysKeyUp(TWMKey& Message);
    virtual void WMSysChar(TWMKey& Message);
    virtual void WMCommand(TWMCommand& Message);
    virtual void WMNotify(TWMNotify& Message);
    virtual void WMDrawItem(TWMDrawItem& Message);
    virtual void WMMeasureItem(TWMMeasureItem& Message);
    virtual void WMCtlColor(TWMCtlColor& Message);
    virtual void WMHScroll(TWMScroll& Message);
    virtual void WMVScroll(TWMScroll& Message);
    virtual void WMSetCursor(TWMSetCursor& Message);
    virtual void WMMouseLeave(TMessage& Message);
    virtual void WMSysColorChange(TMessage& Message);
    virtual void WMSettingChange(TMessage& Message);
    virtual void WMNCDestroy(TMessage& Message);
    virtual void WMGetMinMaxInfo(TWMGetMinMaxInfo& Message);
    virtual void CNKeyDown(TWMKey& Message);
    virtual void CNKeyUp(TWMKey& Message);
    virtual void CNChar(TWMKey& Message);
    virtual void CNSysKeyDown(TWMKey& Message);
    virtual void CNSysChar(TWMKey& Message);
    virtual void CMDialogKey(TCMDialogKey& Message);
    virtual void CMDialogChar(TCMDialogChar& Message);
    virtual void CMChildKey(TMessage& Message);
    virtual void CMEnter(TMessage& Message) { (void)Message; DoEnter(); }
    virtual void CMExit(TMessage& Message) { (void)Message; DoExit(); }
    virtual void CMFocusChanged(TCMFocusChanged& Message);
    virtual void CMShowingChanged(TMessage& Message);
    void CMVisibleChanged(TMessage& Message) override;
    void CMEnabledChanged(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;
    void CMColorChanged(TMessage& Message) override;
    void CMSysColorChange(TMessage& Message) override;
    virtual void CMRecreateWnd(TMessage& Message);
    virtual void CMBorderChanged(TMessage& Message);
    virtual void CMControlChange(TCMControlChange& Message) { (void)Message; }
    virtual void CMControlListChange(TCMControlListChange& Message) { (void)Message; }
    virtual void CMShowHintChanged(TMessage& Message);
    void CMCancelMode(TCMCancelMode& Message) override;

    HWND FHandle = nullptr;
    WNDPROC FDefWndProc = nullptr;
    HWND FParentWindow = nullptr;
    bool FShowing = false;
    bool FTabStop = false;
    int FAlignLevel = 0;
    std::unique_ptr<TBrush> FBrush;

private:
    friend class TCustomControl;
    void AlignControl(TControl* AControl);
    void InsertTab(TWinControl* Control);
    void UpdateTabOrder(int Value);
    void ReflectTo(HWND Child, TMessage& Message);
    void PaddingChanged(TObject* Sender);
    void SetMouseTracking();

    std::vector<TControl*> FControls;         // windowless children, in z-order (bottom first)
    std::vector<TWinControl*> FWinControls;   // windowed children, in z-order
    std::vector<TWinControl*> FTabList;       // windowed children in tab order
    std::unique_ptr<TPadding> FPadding;
    int FBorderWidth = 0;
    TBevelKind FBevelKind = bkNone;
    TBevelEdges FBevelEdges{beLeft, beTop, beRight, beBottom};
    TBevelCut FBevelInner = bvRaised;
    TBevelCut FBevelOuter = bvLowered;
    int FBevelWidth = 1;
    template <class T> void SetBevel(T& Field, T Value) {
        if (Field == Value) return;
        Field = Value;
        Perform(CM_BORDERCHANGED);
    }
    // The bevel frame: its room in WM_NCCALCSIZE, its lines after the window's own non-client parts.
    void WMNCCalcSize(TMessage& Message);
    void WMNCPaint(TMessage& Message);
    bool FCtl3D = true;
    bool FParentCtl3D = true;
    bool FDoubleBuffered = false;
    bool FParentDoubleBuffered = true;
    bool FDockSite = false;
    bool FUseDockManager = false;
    TImeMode FImeMode = imDontCare;
    String FImeName;
    String FClassName;                        // the window class registered for this control
    bool FTracking = false;                   // TrackMouseEvent asked for WM_MOUSELEAVE
    int FTabOrderPending = -1;                // TabOrder set while loading, applied when loading ends
};

// ---- canvases of controls ----
// A canvas over a control's DC, taken with GetDC (or the parent's, for windowless controls) when first
// drawn on outside painting, and given back when the control's handle goes or on FreeHandle.
class TControlCanvas : public TCanvas {
public:
    TControlCanvas() = default;
    ~TControlCanvas() override;
    TControl* Control() const { return FControl; }
    void SetControl(TControl* AControl);
    void FreeHandle();
    void UpdateTextFlags() {}
    // Binds the canvas to a DC that painting gives (locked) for the time Paint runs.
    void PaintOn(HDC DC, const std::function<void()>& Paint);

protected:
    void CreateHandle() override;

private:
    friend void FreeDeviceContexts(HWND Window);
    TControl* FControl = nullptr;
    HDC FDeviceContext = nullptr;
    HWND FWindowHandle = nullptr;
};
// Gives back the DCs that control canvases took outside painting: those of one window, or all
// (nullptr; the application does it at idle time).
void FreeDeviceContexts(HWND Window = nullptr);

class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* AOwner);
    ~TGraphicControl() override;
    TCanvas* Canvas() const { return FCanvas.get(); }

protected:
    void Paint() override {}
    void Dispatch(TMessage& Message) override;
    virtual void WMPaint(TWMPaint& Message);

private:
    std::unique_ptr<TControlCanvas> FCanvas;
};

class TCustomControl : public TWinControl {
public:
    explicit TCustomControl(TComponent* AOwner);
    ~TCustomControl() override;
    TCanvas* Canvas() const { return FCanvas.get(); }

protected:
    void Paint() override {}
    void PaintWindow(HDC DC) override;
    void WMPaint(TWMPaint& Message) override;
    void DestroyWindowHandle() override;

private:
    std::unique_ptr<TControlCanvas> FCanvas;
};

// ---- the mouse ----
class TMouse {
public:
    TPoint CursorPos() const;
    void SetCursorPos(const TPoint& Value);
    HWND Capture() const { return GetCapture(); }
    void SetCapture(HWND Value);
    bool MousePresent() const { return GetSystemMetrics(SM_MOUSEPRESENT) != 0; }
    bool WheelPresent() const { return GetSystemMetrics(SM_MOUSEWHEELPRESENT) != 0; }
    int WheelScrollLines() const;
    bool DragImmediate() const { return FDragImmediate; }
    void SetDragImmediate(bool Value) { FDragImmediate = Value; }
    int DragThreshold() const { return FDragThreshold; }
    void SetDragThreshold(int Value) { FDragThreshold = Value; }
    bool IsDragging() const { return DragObject() != nullptr; }

private:
    bool FDragImmediate = true;
    int FDragThreshold = 5;
};
extern TMouse* Mouse;

// ---- finding controls ----
// The library's control behind a window handle (nullptr for a window the library did not make).
TWinControl* FindControl(HWND Handle);
// Whether Handle belongs to one of the library's controls, also while CreateWindowExW is still making
// it (the control is linked to its window only at the window's first message).
bool IsVclControlHandle(HWND Handle);
// The control at a screen point: the deepest windowed control, or the windowless child under it.
TControl* FindVCLWindow(const TPoint& Pos);
// The form a control stands on (nullptr when it stands on none), and the outermost one.
TCustomForm* GetParentForm(TControl* Control, bool TopForm = true);
TCustomForm* ValidParentForm(TControl* Control, bool TopForm = true);
// The control that holds the mouse capture (windowless controls included).
TControl* GetCaptureControl();
void SetCaptureControl(TControl* Control);
// The control the pointer is over as the library last saw it (enter and leave follow it).
TControl* GetMouseControl();

// A hidden window whose messages go to Method (timers, the application's own window).
HWND AllocateHWnd(const TWndMethod& Method);
void DeallocateHWnd(HWND Wnd);

// Exceptions that escape a window procedure, a timer or an idle handler go here (the application
// object installs its HandleException); without one they are written to standard error.
using TExceptionHandler = std::function<void(TObject* Sender)>;
void SetExceptionHandler(TExceptionHandler Handler);
void HandleControlException(TObject* Sender);

// Hooks the application object installs so that controls can reach it without depending on Forms.
struct TApplicationHooks {
    std::function<void(TControl* Control, TMessage& Message)> HintMouseMessage;
    std::function<bool(TWMKey& Message)> IsShortCut; // the application's own shortcuts (CM_APPKEYDOWN)
    std::function<void(TControl* Control)> ControlDestroyed;
    // Shows a control's popup menu at a screen point (the menu unit installs it); true when shown.
    std::function<bool(TPopupMenu* Menu, TControl* Control, const TPoint& Pos)> PopupMenu;
};
TApplicationHooks& ApplicationHooks();

} // namespace vcl
