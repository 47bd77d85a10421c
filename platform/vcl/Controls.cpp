// vcl/Controls.cpp: TControl, its margins and limits, drag objects, the mouse, the shared state of the
// control layer (the capture, the control under the pointer, the handle map). TWinControl and the
// canvases are in WinControl.cpp.
#include "vcl/Controls.h"
#include "vcl/ControlsInternal.h"
#include "vcl/Forms.h"
#include "rtl/Math.h"

#include <algorithm>
#include <cstdio>
#include <unordered_map>

namespace vcl {

namespace {

TControl* gCaptureControl = nullptr;
TControl* gMouseControl = nullptr;
TDragObject* gDragObject = nullptr;
TControl* gDragControl = nullptr;
bool gDragFreeObject = false;

TExceptionHandler& ExceptionHandler() {
    static TExceptionHandler handler;
    return handler;
}

} // namespace

TMouse* Mouse = new TMouse;

// ---------------------------------------------------------------------------------------------------
// Shared state

namespace detail {

std::unordered_map<HWND, TWinControl*>& HandleMap() {
    static std::unordered_map<HWND, TWinControl*> map;
    return map;
}

void ControlGone(TControl* Control) {
    if (gCaptureControl == Control) gCaptureControl = nullptr;
    if (gMouseControl == Control) gMouseControl = nullptr;
    if (gDragControl == Control) {
        gDragControl = nullptr;
        if (gDragFreeObject) delete gDragObject;
        gDragObject = nullptr;
    }
    if (ApplicationHooks().ControlDestroyed) ApplicationHooks().ControlDestroyed(Control);
}

void ControlAccess::SetMouseControl(TControl* Control) {
    if (Control == gMouseControl) return;
    TControl* old = gMouseControl;
    gMouseControl = Control;
    if (old) {
        old->FMouseInClient = false;
        old->Perform(CM_MOUSELEAVE, 0, LPARAM(0));
    }
    // A leave handler may have freed the new control or moved the pointer on.
    if (Control && gMouseControl == Control) {
        Control->FMouseInClient = true;
        Control->Perform(CM_MOUSEENTER, 0, LPARAM(0));
    }
}

} // namespace detail

TWinControl* FindControl(HWND Handle) {
    if (!Handle) return nullptr;
    auto& map = detail::HandleMap();
    auto it = map.find(Handle);
    return it == map.end() ? nullptr : it->second;
}

TControl* FindVCLWindow(const TPoint& Pos) {
    HWND wnd = WindowFromPoint(POINT(Pos));
    while (wnd && !FindControl(wnd)) wnd = GetParent(wnd);
    TWinControl* control = FindControl(wnd);
    if (!control) return nullptr;
    if (TControl* child = control->ControlAtPos(control->ScreenToClient(Pos), false)) return child;
    return control;
}

TControl* FindDragTarget(const TPoint& Pos, bool AllowDisabled) {
    HWND wnd = WindowFromPoint(POINT(Pos));
    while (wnd && !FindControl(wnd)) wnd = GetParent(wnd);
    TWinControl* control = FindControl(wnd);
    if (!control) return nullptr;
    if (TControl* child = control->ControlAtPos(control->ScreenToClient(Pos), AllowDisabled)) return child;
    return control;
}

TControl* GetCaptureControl() {
    // The capture may have gone to another window behind the library's back.
    if (gCaptureControl) {
        HWND owner = gCaptureControl->IsWindowed() ? static_cast<TWinControl*>(gCaptureControl)->WindowHandle()
                     : gCaptureControl->Parent()  ? gCaptureControl->Parent()->WindowHandle()
                                                  : nullptr;
        if (!owner || GetCapture() != owner) gCaptureControl = nullptr;
    }
    if (!gCaptureControl) return FindControl(GetCapture());
    return gCaptureControl;
}

void SetCaptureControl(TControl* Control) {
    ReleaseCapture();
    gCaptureControl = nullptr;
    if (!Control) return;
    if (!Control->IsWindowed()) {
        if (!Control->Parent()) return;
        gCaptureControl = Control;
        Control = Control->Parent();
    }
    SetCapture(static_cast<TWinControl*>(Control)->Handle());
    if (!gCaptureControl) gCaptureControl = Control;
}

TControl* GetMouseControl() { return gMouseControl; }

void SetExceptionHandler(TExceptionHandler Handler) { ExceptionHandler() = std::move(Handler); }

void HandleControlException(TObject* Sender) {
    if (ExceptionHandler()) {
        ExceptionHandler()(Sender);
        return;
    }
    try {
        throw;
    } catch (const rtl::EAbort&) {
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
    } catch (...) {
        std::fprintf(stderr, "unknown exception\n");
    }
}

TApplicationHooks& ApplicationHooks() {
    static TApplicationHooks hooks;
    return hooks;
}

// ---------------------------------------------------------------------------------------------------
// Shortcuts and shift states

TShortCut ShortCut(WORD Key, TShiftState Shift) {
    if (Key & 0xFF00) return scNone;
    TShortCut result = Key & 0xFF;
    if (Shift.Contains(ssShift)) result |= scShift;
    if (Shift.Contains(ssCtrl)) result |= scCtrl;
    if (Shift.Contains(ssAlt)) result |= scAlt;
    return result;
}

void ShortCutToKey(TShortCut Value, WORD& Key, TShiftState& Shift) {
    Key = Value & 0xFF;
    Shift = {};
    if (Value & scShift) Shift.Include(ssShift);
    if (Value & scCtrl) Shift.Include(ssCtrl);
    if (Value & scAlt) Shift.Include(ssAlt);
}

TShiftState KeyDataToShiftState(LONG KeyData) {
    constexpr LONG AltMask = 0x20000000;
    TShiftState result;
    if (GetKeyState(VK_SHIFT) < 0) result.Include(ssShift);
    if (GetKeyState(VK_CONTROL) < 0) result.Include(ssCtrl);
    if (KeyData & AltMask) result.Include(ssAlt);
    return result;
}

TShiftState KeysToShiftState(WPARAM Keys) {
    TShiftState result;
    if (Keys & MK_SHIFT) result.Include(ssShift);
    if (Keys & MK_CONTROL) result.Include(ssCtrl);
    if (Keys & MK_LBUTTON) result.Include(ssLeft);
    if (Keys & MK_RBUTTON) result.Include(ssRight);
    if (Keys & MK_MBUTTON) result.Include(ssMiddle);
    if (GetKeyState(VK_MENU) < 0) result.Include(ssAlt);
    return result;
}

TShiftState KeyboardStateToShiftState() {
    TShiftState result;
    if (GetKeyState(VK_SHIFT) < 0) result.Include(ssShift);
    if (GetKeyState(VK_CONTROL) < 0) result.Include(ssCtrl);
    if (GetKeyState(VK_MENU) < 0) result.Include(ssAlt);
    if (GetKeyState(VK_LBUTTON) < 0) result.Include(ssLeft);
    if (GetKeyState(VK_RBUTTON) < 0) result.Include(ssRight);
    if (GetKeyState(VK_MBUTTON) < 0) result.Include(ssMiddle);
    return result;
}

// ---------------------------------------------------------------------------------------------------
// Touch, margins, constraints

void TTouchManager::Assign(rtl::TPersistent* Source) {
    if (auto* src = dynamic_cast<TTouchManager*>(Source)) {
        FInteractiveGestures = src->FInteractiveGestures;
        FInteractiveGestureOptions = src->FInteractiveGestureOptions;
        return;
    }
    rtl::TPersistent::Assign(Source);
}

TMargins::TMargins(TControl* Control) : TMargins(Control, 3) {}

TMargins::TMargins(TControl* Control, int Default)
    : FControl(Control), FLeft(Default), FTop(Default), FRight(Default), FBottom(Default) {}

void TMargins::SetMargin(int& Margin, int Value) {
    if (Margin == Value) return;
    Margin = Value;
    Change();
}

void TMargins::SetBounds(int ALeft, int ATop, int ARight, int ABottom) {
    if (FLeft == ALeft && FTop == ATop && FRight == ARight && FBottom == ABottom) return;
    FLeft = ALeft;
    FTop = ATop;
    FRight = ARight;
    FBottom = ABottom;
    Change();
}

void TMargins::Change() { OnChange(this); }

void TMargins::Assign(rtl::TPersistent* Source) {
    if (auto* src = dynamic_cast<TMargins*>(Source)) {
        SetBounds(src->FLeft, src->FTop, src->FRight, src->FBottom);
        return;
    }
    rtl::TPersistent::Assign(Source);
}

void TMargins::SetControlBounds(int ALeft, int ATop, int AWidth, int AHeight, bool Aligning) {
    if (!FControl) return;
    if (FControl->AlignWithMargins() && FControl->Parent())
        FControl->SetBounds(ALeft + FLeft, ATop + FTop, AWidth - (FLeft + FRight), AHeight - (FTop + FBottom));
    else
        FControl->SetBounds(ALeft, ATop, AWidth, AHeight);
    (void)Aligning;
}

void TSizeConstraints::SetMaxHeight(int Value) {
    if (Value == FMaxHeight) return;
    FMaxHeight = Value;
    if (Value > 0 && Value < FMinHeight) FMinHeight = Value;
    Change();
}

void TSizeConstraints::SetMaxWidth(int Value) {
    if (Value == FMaxWidth) return;
    FMaxWidth = Value;
    if (Value > 0 && Value < FMinWidth) FMinWidth = Value;
    Change();
}

void TSizeConstraints::SetMinHeight(int Value) {
    if (Value == FMinHeight) return;
    FMinHeight = Value;
    if (FMaxHeight > 0 && Value > FMaxHeight) FMaxHeight = Value;
    Change();
}

void TSizeConstraints::SetMinWidth(int Value) {
    if (Value == FMinWidth) return;
    FMinWidth = Value;
    if (FMaxWidth > 0 && Value > FMaxWidth) FMaxWidth = Value;
    Change();
}

void TSizeConstraints::Change() { OnChange(this); }

void TSizeConstraints::Assign(rtl::TPersistent* Source) {
    if (auto* src = dynamic_cast<TSizeConstraints*>(Source)) {
        FMinWidth = src->FMinWidth;
        FMinHeight = src->FMinHeight;
        FMaxWidth = src->FMaxWidth;
        FMaxHeight = src->FMaxHeight;
        Change();
        return;
    }
    rtl::TPersistent::Assign(Source);
}

// ---------------------------------------------------------------------------------------------------
// Dragging

TCursor TDragObject::GetDragCursor(bool Accepted, int X, int Y) {
    (void)X;
    (void)Y;
    return Accepted ? crDrag : crNoDrop;
}

void TDragObject::Finished(TObject* Target, int X, int Y, bool Accepted) {
    (void)Target;
    (void)X;
    (void)Y;
    (void)Accepted;
}

TCursor TDragControlObject::GetDragCursor(bool Accepted, int X, int Y) {
    (void)X;
    (void)Y;
    return Accepted ? FControl->DragCursor() : crNoDrop;
}

TDragObject* DragObject() { return gDragObject; }

void DragDone(bool Drop) {
    TDragObject* object = gDragObject;
    TControl* source = gDragControl;
    if (!object) return;
    TControl* target = object->FDragTarget;
    const TPoint pos = object->FDragPos;
    const bool accepted = Drop && target;
    object->FDropped = accepted;
    gDragObject = nullptr;
    gDragControl = nullptr;
    if (GetCaptureControl() == source) SetCaptureControl(nullptr);
    TPoint local;
    if (target) {
        local = target->ScreenToClient(pos);
        if (accepted)
            target->DragDrop(source, local.X, local.Y);
        else {
            bool accept = false;
            target->DragOver(source, local.X, local.Y, dsDragLeave, accept);
        }
    }
    object->Finished(accepted ? target : nullptr, local.X, local.Y, accepted);
    if (source) source->DoEndDrag(accepted ? target : nullptr, local.X, local.Y);
    if (source && !accepted) source->DragCanceled();
    if (gDragFreeObject || object->AutoRelease()) delete object;
    gDragFreeObject = false;
}

void CancelDrag() {
    if (gDragObject) {
        gDragObject->FCancelling = true;
        DragDone(false);
    }
}

// ---------------------------------------------------------------------------------------------------
// TControl

TControl::TControl(TComponent* AOwner)
    : TComponent(AOwner), FFont(std::make_unique<TFont>()), FMargins(std::make_unique<TMargins>(this)),
      FConstraints(std::make_unique<TSizeConstraints>(this)), FTouch(std::make_unique<TTouchManager>(this)) {
    WindowProc = TWndMethod(this, &TControl::WndProc);
    FControlStyle = {csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks, csGestures};
    FFont->OnChange = TNotifyEvent(this, &TControl::FontChanged);
    FMargins->OnChange = TNotifyEvent(this, &TControl::DoMarginsChanged);
    FConstraints->OnChange = TNotifyEvent(this, &TControl::DoConstraintsChanged);
}

TControl::~TControl() {
    detail::ControlGone(this);
    if (FParent) FParent->RemoveControl(this);
    FActionLink.reset();
}

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam) {
    TMessage message;
    message.Msg = Msg;
    message.WParam = WParam;
    message.LParam = LParam;
    WindowProc(message);
    return message.Result;
}

void TControl::WndProc(TMessage& Message) {
    if (Message.Msg >= WM_MOUSEFIRST && Message.Msg <= WM_MOUSELAST) {
        if (!FControlStyle.Contains(csDoubleClicks)) {
            switch (Message.Msg) {
            case WM_LBUTTONDBLCLK: Message.Msg = WM_LBUTTONDOWN; break;
            case WM_RBUTTONDBLCLK: Message.Msg = WM_RBUTTONDOWN; break;
            case WM_MBUTTONDBLCLK: Message.Msg = WM_MBUTTONDOWN; break;
            default: break;
            }
        }
        switch (Message.Msg) {
        case WM_MOUSEMOVE:
            if (ApplicationHooks().HintMouseMessage) ApplicationHooks().HintMouseMessage(this, Message);
            if (gDragObject && gDragControl == this) {
                // The drag follows the pointer: offer the object to the control under it.
                TWMMouse& mouse = MessageAs<TWMMouse>(Message);
                const TPoint screen = ClientToScreen(TPoint(mouse.XPos(), mouse.YPos()));
                TControl* target = FindDragTarget(screen, false);
                bool accept = false;
                if (gDragObject->FDragTarget && gDragObject->FDragTarget != target) {
                    const TPoint p = gDragObject->FDragTarget->ScreenToClient(screen);
                    gDragObject->FDragTarget->DragOver(this, p.X, p.Y, dsDragLeave, accept);
                }
                if (target) {
                    const TPoint p = target->ScreenToClient(screen);
                    target->DragOver(this, p.X, p.Y,
                                     gDragObject->FDragTarget == target ? dsDragMove : dsDragEnter, accept);
                }
                gDragObject->FDragTarget = accept ? target : nullptr;
                gDragObject->FDragPos = screen;
                return;
            }
            break;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (FDragMode == dmAutomatic && FDragKind == dkDrag) {
                BeginDrag(false);
                return;
            }
            FControlState.Include(csLButtonDown);
            break;
        case WM_LBUTTONUP:
            FControlState.Exclude(csLButtonDown);
            if (gDragObject && gDragControl == this) {
                DragDone(gDragObject->FDragTarget != nullptr);
                return;
            }
            break;
        default: break;
        }
    }
    Dispatch(Message);
}

void TControl::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK: WMMouseButton(MessageAs<TWMMouse>(Message)); return;
    case WM_MOUSEMOVE: WMMouseMove(MessageAs<TWMMouse>(Message)); return;
    case WM_MOUSEWHEEL: WMMouseWheel(MessageAs<TWMMouseWheel>(Message)); return;
    case WM_CONTEXTMENU: WMContextMenu(MessageAs<TWMContextMenu>(Message)); return;
    case WM_CANCELMODE: WMCancelMode(Message); return;
    case WM_WINDOWPOSCHANGED: WMWindowPosChanged(MessageAs<TWMWindowPosMsg>(Message)); return;
    case CM_VISIBLECHANGED: CMVisibleChanged(Message); return;
    case CM_ENABLEDCHANGED: CMEnabledChanged(Message); return;
    case CM_FONTCHANGED: CMFontChanged(Message); return;
    case CM_COLORCHANGED: CMColorChanged(Message); return;
    case CM_PARENTFONTCHANGED: CMParentFontChanged(Message); return;
    case CM_PARENTCOLORCHANGED: CMParentColorChanged(Message); return;
    case CM_PARENTSHOWHINTCHANGED: CMParentShowHintChanged(Message); return;
    case CM_PARENTBIDIMODECHANGED: CMParentBiDiModeChanged(Message); return;
    case CM_TEXTCHANGED: CMTextChanged(Message); return;
    case CM_MOUSEENTER: CMMouseEnter(MessageAs<TCMMouseEnterLeave>(Message)); return;
    case CM_MOUSELEAVE: CMMouseLeave(MessageAs<TCMMouseEnterLeave>(Message)); return;
    case CM_MOUSEWHEEL: CMMouseWheel(MessageAs<TCMMouseWheel>(Message)); return;
    case CM_HINTSHOW: CMHintShow(MessageAs<TCMHintShow>(Message)); return;
    case CM_HITTEST: CMHitTest(MessageAs<TCMHitTest>(Message)); return;
    case CM_SYSCOLORCHANGE: CMSysColorChange(Message); return;
    case CM_CANCELMODE: CMCancelMode(MessageAs<TCMCancelMode>(Message)); return;
    case CM_GESTURE: CMGesture(Message); return;
    default: DefaultHandler(Message); return;
    }
}

void TControl::DefaultHandler(TMessage& Message) {
    switch (Message.Msg) {
    case WM_GETTEXT: {
        const String text = GetText();
        auto* buffer = reinterpret_cast<char16_t*>(Message.LParam);
        const int capacity = int(Message.WParam);
        if (!buffer || capacity <= 0) {
            Message.Result = 0;
            return;
        }
        const int n = std::min<int>(text.size(), capacity - 1);
        std::copy_n(reinterpret_cast<const char16_t*>(text.utf16()), n, buffer);
        buffer[n] = 0;
        Message.Result = n;
        return;
    }
    case WM_GETTEXTLENGTH: Message.Result = GetText().size(); return;
    case WM_SETTEXT:
        FText = Message.LParam ? String::fromUtf16(reinterpret_cast<const char16_t*>(Message.LParam)) : String();
        Perform(CM_TEXTCHANGED);
        Message.Result = 1;
        return;
    default: Message.Result = 0; return;
    }
}

void TControl::SetParent(TWinControl* AParent) {
    if (FParent == AParent) return;
    if (AParent == this) throw rtl::EInvalidOperation(QStringLiteral("A control cannot have itself as its parent"));
    if (FParent) FParent->RemoveControl(this);
    if (AParent) {
        AParent->InsertControl(this);
        UpdateAnchorRules();
    }
}

TComponent* TControl::GetParentComponent() const { return FParent; }

void TControl::SetParentComponent(TComponent* Value) {
    if (auto* parent = dynamic_cast<TWinControl*>(Value)) SetParent(parent);
}

bool TControl::CanResize(int& NewWidth, int& NewHeight) {
    bool result = true;
    OnCanResize(this, NewWidth, NewHeight, result);
    return result;
}

bool TControl::CanAutoSize(int& NewWidth, int& NewHeight) {
    (void)NewWidth;
    (void)NewHeight;
    return true;
}

void TControl::ConstrainedResize(int& MinWidth, int& MinHeight, int& MaxWidth, int& MaxHeight) {
    OnConstrainedResize(this, MinWidth, MinHeight, MaxWidth, MaxHeight);
}

void TControl::DoConstrainedResize(int& NewWidth, int& NewHeight) {
    int minW = FConstraints->MinWidth(), minH = FConstraints->MinHeight();
    int maxW = FConstraints->MaxWidth(), maxH = FConstraints->MaxHeight();
    ConstrainedResize(minW, minH, maxW, maxH);
    if (maxW > 0 && NewWidth > maxW)
        NewWidth = maxW;
    else if (minW > 0 && NewWidth < minW)
        NewWidth = minW;
    if (maxH > 0 && NewHeight > maxH)
        NewHeight = maxH;
    else if (minH > 0 && NewHeight < minH)
        NewHeight = minH;
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    if (!CheckNewBounds(ALeft, ATop, AWidth, AHeight)) return;
    InvalidateControl(FVisible, false);
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    UpdateAnchorRules();
    Invalidate();
    Perform(WM_WINDOWPOSCHANGED, 0, LPARAM(0));
    RequestAlign();
    if (!FComponentState.Contains(rtl::csLoading)) Resize();
}

bool TControl::CheckNewBounds(int ALeft, int ATop, int& AWidth, int& AHeight) {
    AWidth = std::max(AWidth, 0);
    AHeight = std::max(AHeight, 0);
    if (AWidth != FWidth || AHeight != FHeight) {
        int w = AWidth, h = AHeight;
        if (!CanResize(w, h)) {
            w = FWidth;
            h = FHeight;
        }
        DoConstrainedResize(w, h);
        AWidth = w;
        AHeight = h;
    }
    return ALeft != FLeft || ATop != FTop || AWidth != FWidth || AHeight != FHeight;
}

void TControl::UpdateBoundsRect(const TRect& R) {
    FLeft = R.Left;
    FTop = R.Top;
    FWidth = R.Width();
    FHeight = R.Height();
}

TRect TControl::GetClientRect() { return TRect(0, 0, FWidth, FHeight); }

void TControl::SetClientSize(const TPoint& Value) {
    const TRect client = GetClientRect();
    SetBounds(FLeft, FTop, FWidth - client.Right + Value.X, FHeight - client.Bottom + Value.Y);
}

TPoint TControl::ClientOrigin() {
    if (!FParent) throw rtl::EInvalidOperation(QStringLiteral("Control '%1' has no parent window").arg(Name()));
    const TPoint p = FParent->ClientOrigin();
    return TPoint(p.X + FLeft, p.Y + FTop);
}

TPoint TControl::ClientToScreen(const TPoint& Point) {
    const TPoint o = ClientOrigin();
    return TPoint(Point.X + o.X, Point.Y + o.Y);
}

TPoint TControl::ScreenToClient(const TPoint& Point) {
    const TPoint o = ClientOrigin();
    return TPoint(Point.X - o.X, Point.Y - o.Y);
}

TPoint TControl::ClientToParent(const TPoint& Point, TWinControl* AParent) {
    if (!AParent) AParent = FParent;
    if (!AParent) throw rtl::EInvalidOperation(QStringLiteral("Control '%1' has no parent window").arg(Name()));
    TPoint result = Point;
    for (TControl* c = this; c != AParent; c = c->FParent) {
        if (!c->FParent) throw rtl::EInvalidOperation(QStringLiteral("'%1' is not a parent of '%2'").arg(AParent->Name(), Name()));
        result.X += c->FLeft;
        result.Y += c->FTop;
    }
    return result;
}

TPoint TControl::ParentToClient(const TPoint& Point, TWinControl* AParent) {
    const TPoint origin = ClientToParent(TPoint(0, 0), AParent);
    return TPoint(Point.X - origin.X, Point.Y - origin.Y);
}

void TControl::SetAlign(TAlign Value) {
    if (FAlign == Value) return;
    const TAlign old = FAlign;
    FAlign = Value;
    switch (Value) {
    case alNone:
    case alCustom:
        if (old != alNone && old != alCustom) FAnchors = TAnchors{akLeft, akTop};
        break;
    case alTop: FAnchors = {akLeft, akTop, akRight}; break;
    case alBottom: FAnchors = {akLeft, akRight, akBottom}; break;
    case alLeft: FAnchors = {akLeft, akTop, akBottom}; break;
    case alRight: FAnchors = {akRight, akTop, akBottom}; break;
    case alClient: FAnchors = {akLeft, akTop, akRight, akBottom}; break;
    }
    RequestAlign();
}

void TControl::SetAlignWithMargins(bool Value) {
    if (FAlignWithMargins == Value) return;
    FAlignWithMargins = Value;
    RequestAlign();
}

void TControl::SetAnchors(TAnchors Value) {
    if (FAnchors == Value) return;
    FAnchors = Value;
    UpdateAnchorRules();
}

void TControl::DoMarginsChanged(TObject* Sender) {
    (void)Sender;
    if (FAlignWithMargins) RequestAlign();
}

void TControl::DoConstraintsChanged(TObject* Sender) {
    (void)Sender;
    int w = FWidth, h = FHeight;
    DoConstrainedResize(w, h);
    if (w != FWidth || h != FHeight) SetBounds(FLeft, FTop, w, h);
}

void TControl::UpdateAnchorRules() {
    if (FComponentState.Contains(rtl::csLoading) || !FParent) return;
    if (FParent->FControlState.Contains(csAligning)) return;  // the parent is placing us
    const TRect client = FParent->ClientRect();
    FOriginalParentSize = TPoint(client.Width(), client.Height());
    FExplicitBounds = BoundsRect();
    // A control anchored on neither side keeps its centre at the same proportion of the parent.
    FAnchorRules = TPoint(FLeft + FWidth / 2, FTop + FHeight / 2);
}

void TControl::RequestAlign() {
    if (FParent && (FAlign != alNone || FParent->FControlState.Contains(csAlignmentNeeded))) FParent->AlignControl(this);
}

void TControl::SetAutoSize(bool Value) {
    if (FAutoSize == Value) return;
    FAutoSize = Value;
    if (Value) AdjustSize();
}

void TControl::AdjustSize() {
    if (FComponentState.Contains(rtl::csLoading)) return;
    int w = FWidth, h = FHeight;
    if (CanAutoSize(w, h)) SetBounds(FLeft, FTop, w, h);
}

void TControl::Resize() { OnResize(this); }

void TControl::SetVisible(bool Value) {
    if (FVisible == Value) return;
    VisibleChanging();
    FVisible = Value;
    Perform(CM_VISIBLECHANGED, WPARAM(Value));
    RequestAlign();
}

bool TControl::Showing() const { return FVisible && FParent && FParent->Showing(); }

void TControl::Show() {
    if (FParent) FParent->ShowControl(this);
    if (!FComponentState.Contains(rtl::csDesigning) || FParent) SetVisible(true);
}

void TControl::DoSetEnabled(bool Value) {
    if (FEnabled == Value) return;
    FEnabled = Value;
    Perform(CM_ENABLEDCHANGED);
}

void TControl::SetColor(TColor Value) {
    if (FColor == Value) return;
    FColor = Value;
    FParentColor = false;
    Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool Value) {
    if (FParentColor == Value) return;
    FParentColor = Value;
    if (FParent && Value && !FComponentState.Contains(rtl::csReading)) Perform(CM_PARENTCOLORCHANGED);
}

void TControl::FontChanged(TObject* Sender) {
    (void)Sender;
    FParentFont = false;
    FDesktopFont = false;
    Perform(CM_FONTCHANGED);
}

void TControl::SetParentFont(bool Value) {
    if (FParentFont == Value) return;
    FParentFont = Value;
    if (FParent && Value && !FComponentState.Contains(rtl::csReading)) Perform(CM_PARENTFONTCHANGED);
}

void TControl::SetTextValue(const String& Value) { FText = Value; }

void TControl::SetText(const String& Value) {
    if (GetText() == Value) return;
    SetTextValue(Value);
    Perform(CM_TEXTCHANGED);
}

void TControl::SetName(const String& NewName) {
    const String old = Name();
    const bool changeText = FControlStyle.Contains(csSetCaption) && !FComponentState.Contains(rtl::csLoading) &&
                            old == GetText() &&
                            (!Owner() || !dynamic_cast<TControl*>(Owner()) ||
                             !Owner()->ComponentState().Contains(rtl::csLoading));
    TComponent::SetName(NewName);
    if (changeText) SetText(NewName);
}

void TControl::SetCursor(TCursor Value) {
    if (FCursor == Value) return;
    FCursor = Value;
    Perform(CM_CURSORCHANGED);
}

void TControl::SetBiDiMode(TBiDiMode Value) {
    if (FBiDiMode == Value) return;
    FBiDiMode = Value;
    FParentBiDiMode = false;
    Perform(CM_BIDIMODECHANGED);
}

void TControl::SetParentBiDiMode(bool Value) {
    if (FParentBiDiMode == Value) return;
    FParentBiDiMode = Value;
    if (FParent && Value) Perform(CM_PARENTBIDIMODECHANGED);
}

void TControl::SetStyleElements(TStyleElements Value) {
    if (FStyleElements == Value) return;
    FStyleElements = Value;
    Perform(CM_STYLECHANGED);
}

void TControl::SetShowHint(bool Value) {
    if (FShowHint == Value && !FParentShowHint) return;
    FShowHint = Value;
    FParentShowHint = false;
    Perform(CM_SHOWHINTCHANGED);
}

void TControl::SetParentShowHint(bool Value) {
    if (FParentShowHint == Value) return;
    FParentShowHint = Value;
    if (FParent && Value) Perform(CM_PARENTSHOWHINTCHANGED);
}

void TControl::SetPopupMenu(TPopupMenu* Value) {
    if (FPopupMenu == Value) return;
    if (FPopupMenu) RemoveFreeNotification(reinterpret_cast<TComponent*>(FPopupMenu));
    FPopupMenu = Value;
    if (Value) FreeNotification(reinterpret_cast<TComponent*>(Value));
}

void TControl::Notification(TComponent* AComponent, rtl::TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation != rtl::opRemove) return;
    if (AComponent == reinterpret_cast<TComponent*>(FPopupMenu)) FPopupMenu = nullptr;
    if (FActionLink && AComponent == FActionLink->Action()) SetAction(nullptr);
}

void TControl::Loaded() {
    TComponent::Loaded();
    // Properties that follow the parent were set while loading: take the parent's values now.
    if (FParent) {
        if (FParentColor) Perform(CM_PARENTCOLORCHANGED);
        if (FParentFont) Perform(CM_PARENTFONTCHANGED);
        if (FParentShowHint) Perform(CM_PARENTSHOWHINTCHANGED);
    }
    UpdateAnchorRules();
    RequestAlign();
}

void TControl::InvalidateControl(bool IsVisible, bool IsOpaque) {
    (void)IsOpaque;
    if (!IsVisible && !FComponentState.Contains(rtl::csDesigning)) return;
    if (!FParent || !FParent->HandleAllocated()) return;
    const RECT r = BoundsRect();
    InvalidateRect(FParent->WindowHandle(), &r, !FControlStyle.Contains(csOpaque));
}

void TControl::Invalidate() { InvalidateControl(FVisible, FControlStyle.Contains(csOpaque)); }

void TControl::Repaint() {
    if (!FVisible || !FParent || !FParent->HandleAllocated()) return;
    if (FControlStyle.Contains(csOpaque)) {
        HDC dc = GetDC(FParent->WindowHandle());
        const int saved = SaveDC(dc);
        IntersectClipRect(dc, FLeft, FTop, FLeft + FWidth, FTop + FHeight);
        FParent->PaintControls(dc, this);
        RestoreDC(dc, saved);
        ReleaseDC(FParent->WindowHandle(), dc);
    } else {
        Invalidate();
        Update();
    }
}

void TControl::Update() {
    if (FParent) FParent->Update();
}

void TControl::BringToFront() { SetZOrder(true); }
void TControl::SendToBack() { SetZOrder(false); }

void TControl::SetZOrder(bool TopMost) {
    if (!FParent) return;
    auto& list = FParent->FControls;
    auto it = std::find(list.begin(), list.end(), this);
    if (it == list.end()) return;
    list.erase(it);
    if (TopMost)
        list.push_back(this);
    else
        list.insert(list.begin(), this);
    Invalidate();
}

bool TControl::MouseCapture() const { return GetCaptureControl() == this; }

void TControl::SetMouseCapture(bool Value) {
    if (MouseCapture() == Value) return;
    SetCaptureControl(Value ? this : nullptr);
}

void TControl::Click() {
    // A handler of its own (not the action's) wins; otherwise the action runs.
    TBasicAction* action = Action();
    if (OnClick && action && !(OnClick == action->OnExecute()))
        OnClick(this);
    else if (FActionLink && !FComponentState.Contains(rtl::csDesigning))
        FActionLink->Execute(this);
    else
        OnClick(this);
}
void TControl::DblClick() { OnDblClick(this); }
void TControl::InitiateAction() {
    if (FActionLink) FActionLink->Update();
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) { OnMouseDown(this, Button, Shift, X, Y); }
void TControl::MouseMove(TShiftState Shift, int X, int Y) { OnMouseMove(this, Shift, X, Y); }
void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) { OnMouseUp(this, Button, Shift, X, Y); }
void TControl::MouseEnter() { OnMouseEnter(this); }
void TControl::MouseLeave() { OnMouseLeave(this); }

void TControl::DoMouseDown(TWMMouse& Message, TMouseButton Button, TShiftState Shift) {
    if (FControlStyle.Contains(csNoStdEvents)) return;
    MouseDown(Button, KeysToShiftState(Message.Keys()) + Shift, Message.XPos(), Message.YPos());
}

void TControl::DoMouseUp(TWMMouse& Message, TMouseButton Button) {
    if (FControlStyle.Contains(csNoStdEvents)) return;
    MouseUp(Button, KeysToShiftState(Message.Keys()), Message.XPos(), Message.YPos());
}

// Tells the active control of every form this control stands on that another control takes the mouse
// (a drop-down closes, an auto-repeat stops).
void TControl::SendCancelMode(TControl* Sender) {
    for (TControl* c = this; c; c = c->FParent)
        if (auto* form = dynamic_cast<TCustomForm*>(c); form && form->Active() && form->ActiveControl())
            form->ActiveControl()->Perform(CM_CANCELMODE, 0, LPARAM(Sender));
}

void TControl::WMMouseButton(TWMMouse& Message) {
    switch (Message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        const bool dbl = Message.Msg == WM_LBUTTONDBLCLK;
        SendCancelMode(this);
        if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(true);
        if (FControlStyle.Contains(csClickEvents)) {
            if (dbl)
                DblClick();
            else
                FControlState.Include(csClicked);
        }
        DoMouseDown(Message, mbLeft, dbl ? TShiftState{ssDouble} : TShiftState{});
        break;
    }
    case WM_RBUTTONDOWN: DoMouseDown(Message, mbRight, {}); break;
    case WM_RBUTTONDBLCLK: DoMouseDown(Message, mbRight, {ssDouble}); break;
    case WM_MBUTTONDOWN: DoMouseDown(Message, mbMiddle, {}); break;
    case WM_MBUTTONDBLCLK: DoMouseDown(Message, mbMiddle, {ssDouble}); break;
    case WM_LBUTTONUP:
        if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(false);
        if (FControlState.Contains(csClicked)) {
            FControlState.Exclude(csClicked);
            if (GetClientRect().Contains(TPoint(Message.XPos(), Message.YPos()))) Click();
        }
        DoMouseUp(Message, mbLeft);
        break;
    case WM_RBUTTONUP: DoMouseUp(Message, mbRight); break;
    case WM_MBUTTONUP: DoMouseUp(Message, mbMiddle); break;
    default: break;
    }
    DefaultHandler(Message);
}

void TControl::WMMouseMove(TWMMouse& Message) {
    if (!FControlStyle.Contains(csNoStdEvents)) MouseMove(KeysToShiftState(Message.Keys()), Message.XPos(), Message.YPos());
    DefaultHandler(Message);
}

void TControl::WMMouseWheel(TWMMouseWheel& Message) {
    if (FControlStyle.Contains(csNoStdEvents)) {
        DefaultHandler(Message);
        return;
    }
    MouseWheelHandler(Message);
    if (Message.Result == 0) DefaultHandler(Message);
}

// The wheel goes to the form first (which may hand it to its active control), then to this control.
// The wheel goes to the form, which hands it to its focused control; a control unhandled passes it on to
// its parent.
void TControl::MouseWheelHandler(TMessage& Message) {
    TCustomForm* form = GetParentForm(this);
    if (form && form != static_cast<TControl*>(this))
        form->MouseWheelHandler(Message);
    else
        Message.Result = Perform(CM_MOUSEWHEEL, Message.WParam, Message.LParam);
}

void TControl::CMMouseWheel(TCMMouseWheel& Message) {
    const TShiftState shift = KeysToShiftState(Message.Keys());
    const TPoint pos(Message.XPos(), Message.YPos());
    Message.Result = 0;
    if (DoMouseWheel(shift, Message.WheelDelta(), pos))
        Message.Result = 1;
    else if (FParent)
        Message.Result = FParent->Perform(CM_MOUSEWHEEL, Message.WParam, Message.LParam);
}

bool TControl::DoMouseWheel(TShiftState Shift, int WheelDelta, const TPoint& MousePos) {
    bool handled = false;
    OnMouseWheel(this, Shift, WheelDelta, MousePos, handled);
    if (!handled) {
        if (WheelDelta < 0)
            handled = DoMouseWheelDown(Shift, MousePos);
        else if (WheelDelta > 0)
            handled = DoMouseWheelUp(Shift, MousePos);
    }
    return handled;
}

bool TControl::DoMouseWheelDown(TShiftState Shift, const TPoint& MousePos) {
    bool handled = false;
    OnMouseWheelDown(this, Shift, MousePos, handled);
    return handled;
}

bool TControl::DoMouseWheelUp(TShiftState Shift, const TPoint& MousePos) {
    bool handled = false;
    OnMouseWheelUp(this, Shift, MousePos, handled);
    return handled;
}

void TControl::DoContextPopup(const TPoint& MousePos, bool& Handled) { OnContextPopup(this, MousePos, Handled); }

void TControl::WMContextMenu(TWMContextMenu& Message) {
    if (Message.Result != 0) return;
    const TPoint screen(Message.XPos(), Message.YPos());
    const bool invalid = screen.X == -1 && screen.Y == -1;
    bool handled = false;
    DoContextPopup(invalid ? TPoint(-1, -1) : ScreenToClient(screen), handled);
    Message.Result = handled ? 1 : 0;
    if (handled) return;
    if (FPopupMenu && ApplicationHooks().PopupMenu) {
        SendCancelMode(nullptr);
        const TPoint at = invalid ? ClientToScreen(TPoint(0, 0)) : screen;
        if (ApplicationHooks().PopupMenu(FPopupMenu, this, at)) {
            Message.Result = 1;
            return;
        }
    }
    DefaultHandler(Message);
}

void TControl::DoGesture(const TGestureEventInfo& EventInfo, bool& Handled) { OnGesture(this, EventInfo, Handled); }

void TControl::CMGesture(TMessage& Message) {
    // The platform delivers no gestures; a CM_GESTURE sent by code carries a TGestureEventInfo.
    auto* info = reinterpret_cast<const TGestureEventInfo*>(Message.LParam);
    if (!info) return;
    bool handled = false;
    DoGesture(*info, handled);
    Message.Result = handled ? 1 : 0;
}

void TControl::WMCancelMode(TMessage& Message) {
    if (MouseCapture()) {
        SetMouseCapture(false);
        if (FControlState.Contains(csLButtonDown)) Perform(WM_LBUTTONUP, 0, LPARAM(MAKELPARAM(WORD(-1), WORD(-1))));
    } else
        FControlState.Exclude(csLButtonDown);
    DefaultHandler(Message);
}

void TControl::WMWindowPosChanged(TWMWindowPosMsg& Message) { DefaultHandler(Message); }

void TControl::CMVisibleChanged(TMessage& Message) {
    (void)Message;
    InvalidateControl(true, FVisible && FControlStyle.Contains(csOpaque));
}

void TControl::CMEnabledChanged(TMessage& Message) {
    (void)Message;
    Invalidate();
}

void TControl::CMFontChanged(TMessage& Message) {
    (void)Message;
    Invalidate();
}

void TControl::CMColorChanged(TMessage& Message) {
    (void)Message;
    Invalidate();
}

void TControl::CMParentFontChanged(TMessage& Message) {
    if (!FParentFont) return;
    TFont* source = Message.WParam ? reinterpret_cast<TFont*>(Message.LParam) : (FParent ? FParent->Font() : nullptr);
    if (!source) return;
    FFont->Assign(source);  // sends CM_FONTCHANGED through FontChanged
    FParentFont = true;
}

void TControl::CMParentColorChanged(TMessage& Message) {
    if (!FParentColor) return;
    const TColor color = Message.WParam ? TColor(Message.LParam) : (FParent ? FParent->Color() : FColor);
    if (color == FColor) return;
    FColor = color;
    Perform(CM_COLORCHANGED);
}

void TControl::CMParentShowHintChanged(TMessage& Message) {
    (void)Message;
    if (FParentShowHint && FParent && FShowHint != FParent->ShowHint()) {
        FShowHint = FParent->ShowHint();
        Perform(CM_SHOWHINTCHANGED);
    }
}

void TControl::CMParentBiDiModeChanged(TMessage& Message) {
    (void)Message;
    if (FParentBiDiMode && FParent && FBiDiMode != FParent->BiDiMode()) {
        FBiDiMode = FParent->BiDiMode();
        Perform(CM_BIDIMODECHANGED);
    }
}

void TControl::CMMouseEnter(TCMMouseEnterLeave& Message) {
    if (FParent) FParent->Perform(CM_MOUSEENTER, 0, Message.LParam ? Message.LParam : LPARAM(this));
    if (Message.LParam == 0) MouseEnter();
}

void TControl::CMMouseLeave(TCMMouseEnterLeave& Message) {
    if (FParent) FParent->Perform(CM_MOUSELEAVE, 0, Message.LParam ? Message.LParam : LPARAM(this));
    if (Message.LParam == 0) MouseLeave();
}

void TControl::CMHintShow(TCMHintShow& Message) {
    Message.Result = 0;
    if (FActionLink && Message.HintInfo() && !FActionLink->DoShowHint(Message.HintInfo()->HintStr)) Message.Result = 1;
}

void TControl::Changed() { Perform(CM_CHANGED, 0, LPARAM(this)); }

void TControl::ScaleBy(int M, int D) {
    if (M == D || D == 0) return;
    ChangeScale(M, D);
}

void TControl::ChangeScale(int M, int D) {
    if (M == D || D == 0) return;
    const int x = rtl::MulDiv(FLeft, M, D), y = rtl::MulDiv(FTop, M, D);
    const int w = FControlStyle.Contains(csFixedWidth) ? FWidth : rtl::MulDiv(FLeft + FWidth, M, D) - x;
    const int h = FControlStyle.Contains(csFixedHeight) ? FHeight : rtl::MulDiv(FTop + FHeight, M, D) - y;
    auto scale = [&](int v) { return v > 0 ? rtl::MulDiv(v, M, D) : v; };
    FConstraints->SetMinWidth(scale(FConstraints->MinWidth()));
    FConstraints->SetMinHeight(scale(FConstraints->MinHeight()));
    FConstraints->SetMaxWidth(scale(FConstraints->MaxWidth()));
    FConstraints->SetMaxHeight(scale(FConstraints->MaxHeight()));
    FMargins->SetBounds(rtl::MulDiv(FMargins->Left(), M, D), rtl::MulDiv(FMargins->Top(), M, D), rtl::MulDiv(FMargins->Right(), M, D),
                        rtl::MulDiv(FMargins->Bottom(), M, D));
    SetBounds(x, y, w, h);
    if (!FParentFont) FFont->SetHeight(rtl::MulDiv(FFont->Height(), M, D));
}

// ---- dragging ----

void TControl::BeginDrag(bool Immediate, int Threshold) {
    (void)Immediate;
    (void)Threshold;
    if (gDragObject) return;
    TDragObject* object = nullptr;
    DoStartDrag(object);
    gDragFreeObject = object == nullptr;
    if (!object) object = new TDragControlObject(this);
    gDragObject = object;
    gDragControl = this;
    SetMouseCapture(true);
}

void TControl::EndDrag(bool Drop) {
    if (gDragControl == this) DragDone(Drop);
}

bool TControl::Dragging() const { return gDragControl == this; }

void TControl::DoStartDrag(TDragObject*& Object) { OnStartDrag(this, Object); }

void TControl::DoEndDrag(TObject* Target, int X, int Y) { OnEndDrag(this, Target, X, Y); }

void TControl::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) {
    Accept = bool(OnDragOver);
    OnDragOver(this, Source, X, Y, State, Accept);
}

void TControl::DragDrop(TObject* Source, int X, int Y) { OnDragDrop(this, Source, X, Y); }



// ---------------------------------------------------------------------------------------------------
// TMouse

TPoint TMouse::CursorPos() const {
    POINT p{};
    GetCursorPos(&p);
    return TPoint(p);
}

void TMouse::SetCursorPos(const TPoint& Value) { ::SetCursorPos(Value.X, Value.Y); }

void TMouse::SetCapture(HWND Value) {
    if (Value)
        ::SetCapture(Value);
    else
        ReleaseCapture();
}

int TMouse::WheelScrollLines() const {
    UINT lines = 3;
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    return int(lines);
}

} // namespace vcl
