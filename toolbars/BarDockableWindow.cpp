// toolbars/BarDockableWindow.cpp: the dockable window: placement and re-parenting that keeps the
// window handle, its docked non-client area (border, drag handle, close button), and its visibility,
// owner and caption state while it floats.
#include "toolbars/BarDock.h"

#include "rtl/Filer.h"
#include "rtl/SysUtils.h"
#include "vcl/Messages.h"

#include <algorithm>

namespace bars {

using vcl::TMessage;

namespace {

std::vector<TBarCustomDockableWindow*>& FloatingList() {
    thread_local std::vector<TBarCustomDockableWindow*> list;
    return list;
}

TPoint PointFromLParam(LPARAM L) { return TPoint(short(LOWORD(L)), short(HIWORD(L))); }

bool ShownBit(HWND Wnd) { return (GetWindowLongW(Wnd, GWL_STYLE) & WS_VISIBLE) != 0; }

HWND ApplicationWindow() { return vcl::Application ? vcl::Application->Handle() : nullptr; }

// A window counts as minimized when it or an ancestor reached through the parents of child windows
// is iconic.
bool IsMinimizedChain(HWND Wnd) {
    for (HWND w = Wnd; w; w = (GetWindowLongW(w, GWL_STYLE) & WS_CHILD) ? GetParent(w) : nullptr)
        if (IsIconic(w)) return true;
    return false;
}

void DockableWindowHookProc(THookProcCode Code, HWND Wnd, WPARAM, LPARAM LParam) {
    for (TBarCustomDockableWindow* w : std::vector<TBarCustomDockableWindow*>(FloatingList())) {
        if (std::find(FloatingList().begin(), FloatingList().end(), w) == FloatingList().end()) continue;
        switch (Code) {
        case hpSendActivate:
        case hpSendActivateApp: w->SyncVisibility(); break;
        case hpSendWindowPosChanged: {
            const auto* pos = reinterpret_cast<const WINDOWPOS*>(LParam);
            if (!(pos->flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW | SWP_FRAMECHANGED))) break;
            if (w->FloatingMode() != fmOnTopOfParentForm || !w->HandleAllocated()) break;
            vcl::TCustomForm* form = ParentFormOf(w);
            if (form && form->HandleAllocated() && IsWindowInChain(Wnd, form->WindowHandle())) w->SyncVisibility();
            break;
        }
        case hpPreDestroy: {
            // A frame owned by a window that goes is handed to the application window, so it survives.
            TBarFloatingWindowParent* frame = w->FloatParent();
            if (frame && frame->HandleAllocated() && GetWindow(frame->WindowHandle(), GW_OWNER) == Wnd)
                SetWindowOwner(frame->WindowHandle(), ApplicationWindow());
            break;
        }
        default: break;
        }
    }
}

struct TCounter {
    int& Value;
    explicit TCounter(int& V) : Value(V) { ++Value; }
    ~TCounter() { --Value; }
};

} // namespace

const std::vector<TBarCustomDockableWindow*>& ThreadFloatingWindows() { return FloatingList(); }

// ---- unit routines ----

vcl::TCustomForm* ParentFormOf(vcl::TControl* Window) {
    vcl::TCustomForm* result = nullptr;
    for (vcl::TControl* c = Window->Parent(); c; c = c->Parent())
        if (auto* form = dynamic_cast<vcl::TCustomForm*>(c)) result = form;
    if (auto* frame = dynamic_cast<TBarFloatingWindowParent*>(result)) result = frame->ParentForm();
    return result;
}

vcl::TCustomForm* RequireParentForm(vcl::TControl* Window) {
    vcl::TCustomForm* form = ParentFormOf(Window);
    if (!form) throw rtl::EInvalidOperation(rtl::Format(String::fromUtf16(STBarDockNoParentForm), {Window->Name()}));
    return form;
}

vcl::TCustomForm* MDIParentOf(vcl::TCustomForm* Form) { return Form; }

void SetWindowOwner(HWND Wnd, HWND Owner) { SetWindowLongPtrW(Wnd, GWLP_HWNDPARENT, LONG_PTR(Owner)); }

HWND FindOtherThreadWindow(HWND Wnd) {
    struct Search {
        HWND exclude, app, notTopmost = nullptr, topmost = nullptr;
    } s{Wnd, ApplicationWindow()};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND h, LPARAM p) -> BOOL {
            auto* s = reinterpret_cast<Search*>(p);
            if (h == s->exclude || h == s->app || !IsWindowVisible(h) || !IsWindowEnabled(h)) return TRUE;
            if (GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_TOPMOST) {
                if (!s->topmost) s->topmost = h;
                return TRUE;
            }
            s->notTopmost = h;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&s));
    return s.notTopmost ? s.notTopmost : s.topmost;
}

bool IsWindowInChain(HWND A, HWND W) {
    for (HWND w = W; w; w = GetParent(w))
        if (w == A) return true;
    return false;
}

void RedrawWholeWindow(HWND Wnd) { RedrawWindow(Wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_NOCHILDREN); }

bool TrackCloseButton(HWND Wnd, const TRect& ScreenRect, const std::function<void(bool Pressed)>& StateProc) {
    auto inside = [&] {
        POINT p;
        GetCursorPos(&p);
        return ScreenRect.Contains(TPoint(p.x, p.y));
    };
    bool result = false;
    StateProc(inside());
    SetCapture(Wnd);
    try {
        while (GetCapture() == Wnd) {
            MSG msg;
            const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
            if (got == -1) break;
            if (!got) {
                PostQuitMessage(int(msg.wParam));
                break;
            }
            switch (msg.message) {
            case WM_KEYDOWN: case WM_KEYUP: case WM_SYSKEYDOWN: case WM_SYSKEYUP:
            case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_RBUTTONDBLCLK:
            case WM_MBUTTONDOWN: case WM_MBUTTONUP: case WM_MBUTTONDBLCLK:
                break;
            case WM_MOUSEMOVE: StateProc(inside()); break;
            case WM_LBUTTONDOWN:
            case WM_LBUTTONDBLCLK: goto done;
            case WM_LBUTTONUP:
                result = inside();
                goto done;
            default:
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
    done:;
    } catch (...) {
        if (GetCapture() == Wnd) ReleaseCapture();
        StateProc(false);
        throw;
    }
    if (GetCapture() == Wnd) ReleaseCapture();
    StateProc(false);
    return result;
}

// ---- the dockable window ----

TBarCustomDockableWindow::TBarCustomDockableWindow(rtl::TComponent* AOwner) : vcl::TCustomControl(AOwner) {
    FControlStyle.Include(vcl::csAcceptsControls).Include(vcl::csClickEvents).Include(vcl::csSetCaption)
        .Include(vcl::csDoubleClicks);
    FControlStyle.Exclude(vcl::csCaptureMouse).Exclude(vcl::csOpaque);
    FDockableWindowStyles = {tbdsResizeEightCorner, tbdsResizeClipCursor};
    SetColor(vcl::clBtnFace);
    if (!ComponentState().Contains(rtl::csDesigning)) {
        InstallHookProcedure(this, DockableWindowHookProc,
                             {hpSendActivate, hpSendActivateApp, hpSendWindowPosChanged, hpPreDestroy});
        InitTrackMouseEvent();
    }
}

TBarCustomDockableWindow::~TBarCustomDockableWindow() {
    Destroying();
    // The class library would take the window off its parent first; docks and the frame must not
    // keep it once it is half gone.
    if (FParent) SetParent(nullptr);
    UpdateThreadFloatingList(false);
    if (FLastDock) FLastDock->UpdateDockList(false, this);
    if (FCurrentDock) FCurrentDock->UpdateDockList(false, this);
    FDockForms.reset();
    delete FFloatParent;
    FFloatParent = nullptr;
    UninstallHookProcedure(this, DockableWindowHookProc);
}

void TBarCustomDockableWindow::DockFreed(TBarDock* Dock) {
    if (FDefaultDock == Dock) FDefaultDock = nullptr;
    if (FLastDock == Dock) FLastDock = nullptr;
    if (FCurrentDock == Dock) {
        FCurrentDock = nullptr;
        FDocked = false;
    }
}

void TBarCustomDockableWindow::UpdateThreadFloatingList(bool Floating) {
    auto& list = FloatingList();
    auto it = std::find(list.begin(), list.end(), this);
    if (Floating && it == list.end()) list.push_back(this);
    if (!Floating && it != list.end()) list.erase(it);
}

void TBarCustomDockableWindow::BeginUpdate() { ++FDisableArrange; }

void TBarCustomDockableWindow::EndUpdate() {
    if (--FDisableArrange == 0 && FArrangeNeeded) RecalcArrangement();
}

bool TBarCustomDockableWindow::IsMovable() {
    return (FDocked && FCurrentDock->AllowDrag()) || FFloating;
}

bool TBarCustomDockableWindow::HasParent() const {
    return !dynamic_cast<TBarFloatingWindowParent*>(FParent) && vcl::TCustomControl::HasParent();
}

rtl::TComponent* TBarCustomDockableWindow::GetParentComponent() const {
    if (dynamic_cast<TBarFloatingWindowParent*>(FParent)) return nullptr;
    return vcl::TCustomControl::GetParentComponent();
}

// ---- metrics ----

TPoint TBarCustomDockableWindow::GetNonClientSize() {
    if (!FDocked) return TPoint(0, 0);
    const int b2 = 2 * DockedBorderWidth();
    TPoint result(b2, b2);
    if (FCurrentDock->AllowDrag()) {
        const int handle = DragHandleThickness(FCloseButtonWhenDocked, FDragHandleStyle);
        if (FCurrentDock->Vertical())
            result.Y += handle;
        else
            result.X += handle;
    }
    return result;
}

void TBarCustomDockableWindow::HitTestChildControls(const TPoint& P, bool& Found) {
    Found = false;
    for (int i = 0; i < ControlCount(); ++i) {
        vcl::TControl* c = Controls(i);
        if (c->Visible() && !IsChildTransparent(c) && c->BoundsRect().Contains(P)) {
            Found = true;
            return;
        }
    }
}

TRect TBarCustomDockableWindow::DockedCloseButtonRect(bool LeftRight) {
    const int b = DragHandleThickness(FCloseButtonWhenDocked, FDragHandleStyle) - 3;
    const int border = DockedBorderWidth();
    if (LeftRight) {
        const int x = ClientWidth() + border - b, y = border + ScaleForDPI(1);
        return TRect(x, y, x + b, y + b);
    }
    const int x = border + ScaleForDPI(1), y = border;
    return TRect(x, y, x + b, y + b);
}

TPoint TBarCustomDockableWindow::GetFloatingBorderSize() {
    if (FResizable) return TPoint(GetSystemMetrics(SM_CXFRAME), GetSystemMetrics(SM_CYFRAME));
    return TPoint(GetSystemMetrics(SM_CXFIXEDFRAME), GetSystemMetrics(SM_CYFIXEDFRAME));
}

void TBarCustomDockableWindow::GetDockedNCArea(TPoint& TopLeft, TPoint& BottomRight, bool LeftRight) {
    const int b = DockedBorderWidth();
    TopLeft = TPoint(b, b);
    BottomRight = TPoint(b, b);
    const int handle = DragHandleThickness(FCloseButtonWhenDocked, FDragHandleStyle);
    if (LeftRight)
        TopLeft.Y += handle;
    else
        TopLeft.X += handle;
}

void TBarCustomDockableWindow::AddDockedNCAreaToSize(TPoint& S, bool LeftRight) {
    TPoint tl, br;
    GetDockedNCArea(tl, br, LeftRight);
    S.X += tl.X + br.X;
    S.Y += tl.Y + br.Y;
}

void TBarCustomDockableWindow::GetFloatingNCArea(TPoint& TopLeft, TPoint& BottomRight) {
    const TPoint border = GetFloatingBorderSize();
    TopLeft = border;
    if (FShowCaption) TopLeft.Y += SmallCaptionHeight();
    BottomRight = border;
}

void TBarCustomDockableWindow::AddFloatingNCAreaToSize(TPoint& S) {
    TPoint tl, br;
    GetFloatingNCArea(tl, br);
    S.X += tl.X + br.X;
    S.Y += tl.Y + br.Y;
}

// ---- setters ----

void TBarCustomDockableWindow::RefreshFrame() {
    if (HandleAllocated())
        SetWindowPos(WindowHandle(), nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
}

void TBarCustomDockableWindow::ArrangeDock() {
    if (FDocked) FCurrentDock->ArrangeToolbars();
}

void TBarCustomDockableWindow::SetAutoResize(bool Value) {
    FAutoResize = Value;
    if (Value) RecalcArrangement();
}

void TBarCustomDockableWindow::SetBorderStyle(vcl::TBorderStyle Value) {
    FBorderStyle = Value;
    if (FDocked) RefreshFrame();
}

void TBarCustomDockableWindow::SetDragHandleStyle(TBarDragHandleStyle Value) {
    FDragHandleStyle = Value;
    if (FDocked) {
        RefreshFrame();
        ArrangeDock();
    }
}

void TBarCustomDockableWindow::SetCloseButtonWhenDocked(bool Value) {
    FCloseButtonWhenDocked = Value;
    if (FDocked) {
        RefreshFrame();
        ArrangeDock();
    }
}

void TBarCustomDockableWindow::SetCloseButton(bool Value) {
    FCloseButton = Value;
    if (FFloating && FFloatParent) FFloatParent->RepaintFrameParts({tbfpCaption, tbfpCloseButton});
}

void TBarCustomDockableWindow::SetCurrentDock(TBarDock* Value) {
    if (ComponentState().Contains(rtl::csLoading)) return;
    if (Value)
        SetParent(Value);
    else
        SetParent(RequireParentForm(this));
}

void TBarCustomDockableWindow::SetDefaultDock(TBarDock* Value) {
    FDefaultDock = Value;
    if (Value) Value->FreeNotification(this);
}

void TBarCustomDockableWindow::SetDockPos(int Value) {
    FDockPos = Value;
    ArrangeDock();
}

void TBarCustomDockableWindow::SetDockRow(int Value) {
    FDockRow = Value;
    ArrangeDock();
}

void TBarCustomDockableWindow::SetFullSize(bool Value) {
    FFullSize = Value;
    ArrangeDock();
}

void TBarCustomDockableWindow::SetStretch(bool Value) {
    FStretch = Value;
    ArrangeDock();
}

void TBarCustomDockableWindow::SetFloatingMode(TBarFloatingMode Value) {
    FFloatingMode = Value;
    if (HandleAllocated()) Perform(vcl::CM_SHOWINGCHANGED);
}

void TBarCustomDockableWindow::SetFloatingPosition(const TPoint& Value) {
    FFloatingPosition = Value;
    if (FFloating && FFloatParent && FParent == FFloatParent)
        FFloatParent->SetBounds(Value.X, Value.Y, FFloatParent->Width(), FFloatParent->Height());
}

void TBarCustomDockableWindow::SetHideWhenInactive(bool Value) {
    FHideWhenInactive = Value;
    SyncVisibility();
}

void TBarCustomDockableWindow::SetResizable(bool Value) {
    FResizable = Value;
    if (FFloating && FFloatParent) FFloatParent->RecreateWnd();
}

void TBarCustomDockableWindow::SetShowCaption(bool Value) {
    FShowCaption = Value;
    if (FFloating && FFloatParent && FFloatParent->HandleAllocated()) {
        SetWindowPos(FFloatParent->WindowHandle(), nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
        RecalcArrangement();
    }
}

void TBarCustomDockableWindow::SetUseLastDock(bool Value) {
    FUseLastDock = Value;
    SetLastDock(Value ? FCurrentDock : nullptr);
}

void TBarCustomDockableWindow::SetLastDock(TBarDock* Value) {
    if (FUseLastDock && FDocked) Value = FCurrentDock;
    if (Value == FLastDock) return;
    if (FLastDock && FLastDock != FParent) FLastDock->UpdateDockList(false, this);
    FLastDock = Value;
    if (Value) {
        FUseLastDock = true;
        Value->FreeNotification(this);
        Value->UpdateDockList(true, this);
    }
}

void TBarCustomDockableWindow::AddDockForm(vcl::TCustomForm* Form) {
    if (!Form) return;
    if (!FDockForms) FDockForms = std::make_unique<std::vector<vcl::TCustomForm*>>();
    if (std::find(FDockForms->begin(), FDockForms->end(), Form) != FDockForms->end()) return;
    FDockForms->push_back(Form);
    Form->FreeNotification(this);
}

void TBarCustomDockableWindow::RemoveDockForm(vcl::TCustomForm* Form) {
    if (!FDockForms) return;
    FDockForms->erase(std::remove(FDockForms->begin(), FDockForms->end(), Form), FDockForms->end());
}

void TBarCustomDockableWindow::DockChangingHidden(bool Floating, TBarDock* DockingTo) {
    if (!ComponentState().Contains(rtl::csDestroying)) OnDockChangingHidden(this, Floating, DockingTo);
}

TBarFloatingWindowParentClass TBarCustomDockableWindow::FloatingParentClass() {
    return TBarFloatingWindowParentClass::Of<TBarFloatingWindowParent>();
}

// ---- placement ----

void TBarCustomDockableWindow::FreeUnusedFloatParent() {
    if (FFloatParent && FParent != FFloatParent) {
        TBarFloatingWindowParent* frame = FFloatParent;
        FFloatParent = nullptr;
        delete frame;
    }
}

void TBarCustomDockableWindow::SetParent(vcl::TWinControl* AParent) {
    auto* oldDock = dynamic_cast<TBarDock*>(FParent);
    auto* newDock = dynamic_cast<TBarDock*>(AParent);
    const bool newFloating = dynamic_cast<TBarFloatingWindowParent*>(AParent) != nullptr;
    auto refresh = [this] {
        FCurrentDock = dynamic_cast<TBarDock*>(FParent);
        FDocked = FCurrentDock != nullptr;
        FFloating = dynamic_cast<TBarFloatingWindowParent*>(FParent) != nullptr;
    };
    if (AParent == FParent) {
        refresh();
        UpdateThreadFloatingList(FFloating);
        return;
    }
    const bool destroying = ComponentState().Contains(rtl::csDestroying);
    if (!destroying && AParent) {
        OnDockChanging(this, newFloating, newDock);
        OnRecreating(this);
    }
    {
        TCounter hidden(FHidden), disableOnMove(FDisableOnMove);
        SyncVisibility();
        if (oldDock) oldDock->BeginUpdate();
        if (newDock) newDock->BeginUpdate();
        struct TDockBrackets {
            TBarDock *Old, *New;
            ~TDockBrackets() {
                if (New) New->EndUpdate();
                if (Old) Old->EndUpdate();
            }
        } brackets{oldDock, newDock};
        TCounter updating(FUpdatingBounds);
        if (AParent) DockChangingHidden(newFloating, newDock);
        BeginUpdate();
        struct TEnd {
            TBarCustomDockableWindow* W;
            ~TEnd() { W->EndUpdate(); }
        } endUpdate{this};
        FCurrentSize = 0;
        if (oldDock) {
            if (!(FUseLastDock && FLastDock == oldDock)) oldDock->UpdateDockList(false, this);
            oldDock->UpdateVisibleList(this, true);
        }
        if (AParent) {
            // The window handle survives the move: it is kept aside while the class library takes the
            // control off its old parent, then given to the new one.
            const HWND saved = FHandle;
            try {
                FHandle = nullptr;
                vcl::TCustomControl::SetParent(nullptr);
                FCurrentDock = newDock;
                FDocked = newDock != nullptr;
                FFloating = newFloating;
                FHandle = saved;
                if (saved) {
                    ::SetParent(saved, AParent->Handle());
                    SetWindowPos(saved, nullptr, 0, 0, 0, 0,
                                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
                }
                vcl::TCustomControl::SetParent(AParent);
            } catch (...) {
                if (!FHandle && saved && IsWindow(saved)) FHandle = saved;
                refresh();
                throw;
            }
        } else {
            vcl::TCustomControl::SetParent(nullptr);
            refresh();
        }
        FEffectiveDockRow = -1;
        if (!FSmoothDragging) FreeUnusedFloatParent();
        if (newDock) {
            if (FUseLastDock && !FSmoothDragging) {
                SetLastDock(newDock);
                newDock->UpdateVisibleList(this, false);
            } else
                newDock->UpdateDockList(true, this);
        }
        UpdateThreadFloatingList(newFloating);
        if (newFloating) {
            auto* frame = static_cast<TBarFloatingWindowParent*>(AParent);
            frame->SetBounds(FFloatingPosition.X, FFloatingPosition.Y, frame->Width(), frame->Height());
        }
        RecalcArrangement();
    }
    SyncVisibility();
    if (FParent) DoMoved();
    if (!destroying && AParent) {
        OnRecreated(this);
        OnDockChanged(this);
    }
}

void TBarCustomDockableWindow::SetFloating(bool Value) {
    if (FFloating == Value) return;
    if (!Value || ComponentState().Contains(rtl::csDesigning)) {
        SetParent(RequireParentForm(this));
        return;
    }
    vcl::TCustomForm* form = RequireParentForm(this);
    if (!FFloatParent) {
        TBarFloatingWindowParent* frame = FloatingParentClass().Create();
        try {
            frame->FDockableWindow = this;
            frame->SetBorderStyle(vcl::bsToolWindow);
            frame->SetShowHint(true);
            frame->SetVisible(true);
        } catch (...) {
            delete frame;
            throw;
        }
        FFloatParent = frame;
    }
    form->FreeNotification(FFloatParent);
    FFloatParent->SetParentForm(form);
    FFloatParent->SetCaption(Caption());
    SetParent(FFloatParent);
    SetBounds(0, 0, Width(), Height());
}

void TBarCustomDockableWindow::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    if (FFloating && !ComponentState().Contains(rtl::csDesigning)) {
        if (FFloatParent && FParent == FFloatParent) {
            TPoint tl, br;
            GetFloatingNCArea(tl, br);
            FFloatParent->SetBounds(FFloatParent->Left(), FFloatParent->Top(), AWidth + tl.X + br.X,
                                    AHeight + tl.Y + br.Y);
        }
        ALeft = 0;
        ATop = 0;
    }
    if (FUpdatingBounds == 0 && (AWidth != Width() || AHeight != Height())) BoundsSizeChanging(AWidth, AHeight);
    vcl::TCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
}

bool TBarCustomDockableWindow::SizesItself() { return FAutoResize || FDocked || FFloating; }

void TBarCustomDockableWindow::RecalcArrangement() {
    if (FDisableArrange > 0 || ComponentState().Contains(rtl::csLoading) || !FParent) {
        FArrangeNeeded = true;
        return;
    }
    FArrangeNeeded = false;
    const TPoint s = ArrangeContents(true, DockKindOf(FCurrentDock, FFloating), FFloating, FCurrentDock);
    if (SizesItself()) ApplyArrangedSize(s);
}

void TBarCustomDockableWindow::ApplyArrangedSize(TPoint Size) {
    if (FDocked) {
        FCurrentDock->ArrangeToolbars();
        return;
    }
    const TPoint nc = GetNonClientSize();
    int w = Size.X + nc.X, h = Size.Y + nc.Y;
    if (!FFloating) {
        if (Anchors().Contains(vcl::akLeft) && Anchors().Contains(vcl::akRight)) w = Width();
        if (Anchors().Contains(vcl::akTop) && Anchors().Contains(vcl::akBottom)) h = Height();
    }
    TCounter updating(FUpdatingBounds);
    SetBounds(Left(), Top(), w, h);
}

void TBarCustomDockableWindow::DefineProperties(rtl::TFiler* Filer) {
    vcl::TCustomControl::DefineProperties(Filer);
    Filer->DefineProperty(QStringLiteral("SavedAtRunTime"),
                          rtl::TReaderProc([this](rtl::TReader* Reader) { FSavedAtRunTime = Reader->ReadBoolean(); }),
                          rtl::TWriterProc([](rtl::TWriter* Writer) { Writer->WriteBoolean(true); }),
                          !ComponentState().Contains(rtl::csDesigning));
}

void TBarCustomDockableWindow::Loaded() {
    vcl::TCustomControl::Loaded();
    if (!ComponentState().Contains(rtl::csDesigning) && dynamic_cast<TBarFloatingWindowParent*>(FParent) &&
        !FSavedAtRunTime) {
        // Bounds written at design time are client coordinates of the parent form.
        if (vcl::TCustomForm* form = ParentFormOf(this)) {
            const TPoint p = form->ClientToScreen(TPoint(Left(), Top()));
            SetFloatingPosition(p);
            MoveOnScreen(false);
        }
    }
    PrepareAfterLoad();
    RecalcArrangement();
}

void TBarCustomDockableWindow::MoveOnScreen(bool OnlyIfFullyOffscreen) {
    if (!FFloating || !FFloatParent) return;
    TRect r = FFloatParent->BoundsRect();
    const TRect wa = MonitorRectForRect(r, true);
    if (OnlyIfFullyOffscreen) {
        const bool intersects = r.Left < wa.Right && wa.Left < r.Right && r.Top < wa.Bottom && wa.Top < r.Bottom;
        if (intersects) return;
    }
    int dx = 0, dy = 0;
    if (r.Right > wa.Right) dx = wa.Right - r.Right;
    if (r.Bottom > wa.Bottom) dy = wa.Bottom - r.Bottom;
    if (r.Left + dx < wa.Left) dx = wa.Left - r.Left;
    if (r.Top + dy < wa.Top) dy = wa.Top - r.Top;
    FFloatParent->SetBounds(r.Left + dx, r.Top + dy, r.Width(), r.Height());
}

void TBarCustomDockableWindow::ToggleFloating() {
    if (!FDocked) {
        if (FLastDock)
            SetParent(FLastDock);
        else if (FDefaultDock) {
            FDockRow = 0;
            FDockPos = ScaleForDPI(-8);
            SetParent(FDefaultDock);
        }
    } else if (FDockMode == dmCanFloat) {
        SetFloating(true);
        MoveOnScreen(true);
    }
}

bool TBarCustomDockableWindow::QueryCloseAndHide() {
    bool canClose = true;
    OnCloseQuery(this, canClose);
    if (!canClose) return false;
    Hide();
    OnClose(this);
    return true;
}

void TBarCustomDockableWindow::DoMoved() {
    if (!ComponentState().Contains(rtl::csLoading) && FDisableOnMove == 0) OnMove(this);
}

void TBarCustomDockableWindow::SendNCContextMenu(int X, int Y) {
    if (HandleAllocated())
        SendMessageW(WindowHandle(), WM_CONTEXTMENU, WPARAM(WindowHandle()), MAKELPARAM(WORD(X), WORD(Y)));
}

void TBarCustomDockableWindow::Notification(rtl::TComponent* AComponent, rtl::TOperation Operation) {
    vcl::TCustomControl::Notification(AComponent, Operation);
    if (Operation != rtl::opRemove) return;
    if (AComponent == FDefaultDock) FDefaultDock = nullptr;
    if (AComponent == FLastDock) FLastDock = nullptr;
    if (AComponent == FCurrentDock) {
        FCurrentDock = nullptr;
        FDocked = false;
    }
    if (AComponent == FFloatParent) FFloatParent = nullptr;
    if (FDockForms) RemoveDockForm(static_cast<vcl::TCustomForm*>(static_cast<void*>(AComponent)));
}

HPALETTE TBarCustomDockableWindow::GetPalette() {
    return FDocked ? FCurrentDock->GetPalette() : vcl::TCustomControl::GetPalette();
}

// ---- visibility while floating ----

bool TBarCustomDockableWindow::ShouldBeShown() {
    if (!Showing() || FHidden != 0) return false;
    if (!FFloating || ComponentState().Contains(rtl::csDesigning)) return true;
    if (FFloatingMode == fmOnTopOfParentForm) {
        vcl::TCustomForm* form = ParentFormOf(this);
        if (!form || !form->HandleAllocated() || !ShownBit(form->WindowHandle())) return false;
        if (IsMinimizedChain(form->WindowHandle())) return false;
    }
    if (FHideWhenInactive && !ApplicationIsActive()) return false;
    return true;
}

void TBarCustomDockableWindow::SyncVisibility() {
    if (!HandleAllocated()) return;
    if (ShownBit(WindowHandle()) != ShouldBeShown())
        Perform(vcl::CM_SHOWINGCHANGED);
    else if (ShownBit(WindowHandle()) && FFloating)
        RefreshCaptionState();
}

void TBarCustomDockableWindow::SyncTopmost() {
    if (!FFloatParent || !FFloatParent->HandleAllocated()) return;
    const HWND frame = FFloatParent->WindowHandle();
    bool topmost = FFloatingMode == fmOnTopOfAllForms;
    if (!topmost) {
        const HWND owner = GetWindow(frame, GW_OWNER);
        topmost = owner && (GetWindowLongW(owner, GWL_EXSTYLE) & WS_EX_TOPMOST);
    }
    if (bool(GetWindowLongW(frame, GWL_EXSTYLE) & WS_EX_TOPMOST) != topmost)
        SetWindowPos(frame, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TBarCustomDockableWindow::RefreshCaptionState() {
    if (!FFloatParent || !FFloatParent->HandleAllocated()) return;
    const HWND active = GetActiveWindow();
    // A menu popup over the frame keeps the caption as it is.
    if (active && dynamic_cast<IBarPopupWindow*>(vcl::FindControl(active))) return;
    const HWND frame = FFloatParent->WindowHandle();
    bool inactive = !ApplicationIsActive();
    if (!inactive && FFloatingMode == fmOnTopOfParentForm && GetWindow(frame, GW_OWNER) != ApplicationWindow()) {
        HWND a = active;
        if (auto* other = dynamic_cast<TBarFloatingWindowParent*>(a ? vcl::FindControl(a) : nullptr))
            if (other->ParentForm() && other->ParentForm()->HandleAllocated()) a = other->ParentForm()->WindowHandle();
        bool related = false;
        for (HWND w = frame; w && !related; w = GetParent(w)) related = w == a;
        inactive = !a || !related;
    }
    if (FInactiveCaption != inactive) {
        FInactiveCaption = inactive;
        FFloatParent->RepaintFrameParts({tbfpBorder, tbfpCaption, tbfpCloseButton});
    }
}

void TBarCustomDockableWindow::CMShowingChangedMsg(TMessage&) {
    if (!HandleAllocated()) return;
    const bool show = ShouldBeShown();
    if (auto* frame = dynamic_cast<TBarFloatingWindowParent*>(FParent); frame && frame->HandleAllocated()) {
        const HWND fw = frame->WindowHandle();
        if (show) {
            if (FFloatingMode == fmOnTopOfAllForms)
                SetWindowOwner(fw, ApplicationWindow());
            else if (vcl::TCustomForm* form = MDIParentOf(ParentFormOf(this)); form && form->HandleAllocated()) {
                const HWND fh = form->WindowHandle();
                if (GetWindow(fw, GW_OWNER) != fh) SetWindowOwner(fw, fh);
                // Directly below the nearest window above the form that the form does not own.
                const bool frameTopmost = GetWindowLongW(fw, GWL_EXSTYLE) & WS_EX_TOPMOST;
                HWND insertAfter = HWND_TOP;
                for (HWND above = GetWindow(fh, GW_HWNDPREV); above; above = GetWindow(above, GW_HWNDPREV)) {
                    if (above == fw) continue;
                    bool owned = false, passOver = false;
                    for (HWND o = GetWindow(above, GW_OWNER); o; o = GetWindow(o, GW_OWNER)) {
                        if (o == fh) owned = true;
                        if (frameTopmost && !(GetWindowLongW(o, GWL_EXSTYLE) & WS_EX_TOPMOST)) passOver = true;
                    }
                    if (!owned && !passOver) {
                        insertAfter = above;
                        break;
                    }
                }
                SetWindowPos(fw, insertAfter, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            }
            RefreshCaptionState();
        }
        SyncTopmost();
        frame->FShouldShow = show;
        frame->Perform(vcl::CM_SHOWINGCHANGED);
    }
    const HWND wnd = WindowHandle();
    const bool wasActive = GetActiveWindow() == wnd;
    SetWindowPos(wnd, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | (show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
    if (!show && wasActive)
        if (HWND other = FindOtherThreadWindow(wnd)) SetActiveWindow(other);
}

void TBarCustomDockableWindow::CMVisibleChangedMsg(TMessage& Message) {
    if (!ComponentState().Contains(rtl::csDesigning) && FDocked) FCurrentDock->UpdateVisibleList(this, false);
    vcl::TCustomControl::Dispatch(Message);
    OnVisibleChanged(this);
}

// ---- docked non-client area ----

void TBarCustomDockableWindow::WMNCCalcSize(TMessage& Message) {
    Message.Result = 0;
    if (!FDocked) return;
    RECT* r = reinterpret_cast<RECT*>(Message.LParam);
    const int b = DockedBorderWidth();
    InflateRect(r, -b, -b);
    if (FCurrentDock->AllowDrag()) {
        const int handle = DragHandleThickness(FCloseButtonWhenDocked, FDragHandleStyle);
        if (FCurrentDock->Vertical())
            r->top += handle;
        else
            r->left += handle;
    }
}

void TBarCustomDockableWindow::WMNCHitTest(TMessage& Message) {
    vcl::TCustomControl::Dispatch(Message);
    if (!FDocked || Message.Result == HTCLIENT) return;
    Message.Result = HT_TB2k_Border;
    if (FCloseButtonWhenDocked && FCurrentDock->AllowDrag()) {
        RECT wr;
        GetWindowRect(WindowHandle(), &wr);
        const TPoint p = PointFromLParam(Message.LParam);
        if (DockedCloseButtonRect(FCurrentDock->Vertical()).Contains(TPoint(p.X - wr.left, p.Y - wr.top)))
            Message.Result = HT_TB2k_Close;
    }
}

void TBarCustomDockableWindow::WMSetCursorMsg(TMessage& Message) {
    if (FDocked && FCurrentDock->AllowDrag() && reinterpret_cast<HWND>(Message.WParam) == WindowHandle() &&
        LOWORD(Message.LParam) == HT_TB2k_Border && FDragHandleStyle != dhNone) {
        POINT p;
        GetCursorPos(&p);
        RECT wr;
        GetWindowRect(WindowHandle(), &wr);
        const int along = FCurrentDock->Vertical() ? p.y - wr.top : p.x - wr.left;
        if (along < DockedBorderWidth() + DragHandleThickness(FCloseButtonWhenDocked, FDragHandleStyle)) {
            ::SetCursor(LoadCursorW(nullptr, IDC_SIZEALL));
            Message.Result = 1;
            return;
        }
    }
    vcl::TCustomControl::Dispatch(Message);
}

void TBarCustomDockableWindow::SetCloseButtonDown(bool Pressed) {
    if (FCloseButtonDown == Pressed) return;
    FCloseButtonDown = Pressed;
    RedrawDockedNCArea();
}

void TBarCustomDockableWindow::WMNCLButtonDown(TMessage& Message) {
    if (Message.WParam == WPARAM(HT_TB2k_Border)) {
        if (IsMovable()) {
            const TPoint p = ScreenToClient(PointFromLParam(Message.LParam));
            BeginMoving(p.X, p.Y);
        }
        return;
    }
    if (Message.WParam == WPARAM(HT_TB2k_Close)) {
        RECT wr;
        GetWindowRect(WindowHandle(), &wr);
        TRect r = DockedCloseButtonRect(FCurrentDock && FCurrentDock->Vertical());
        r = TRect(r.Left + wr.left, r.Top + wr.top, r.Right + wr.left, r.Bottom + wr.top);
        if (TrackCloseButton(WindowHandle(), r, [this](bool Pressed) { SetCloseButtonDown(Pressed); }))
            QueryCloseAndHide();
        return;
    }
    vcl::TCustomControl::Dispatch(Message);
}

void TBarCustomDockableWindow::WMNCLButtonDblClk(TMessage& Message) {
    if (Message.WParam == WPARAM(HT_TB2k_Border)) {
        if (IsMovable()) ToggleFloating();
        return;
    }
    vcl::TCustomControl::Dispatch(Message);
}

void TBarCustomDockableWindow::WMNCMouseMove(TMessage& Message) {
    vcl::TCustomControl::Dispatch(Message);
    StartMouseTracking(WindowHandle(), TME_LEAVE | TME_NONCLIENT);
    const bool hover = Message.WParam == WPARAM(HT_TB2k_Close);
    if (FCloseButtonHover != hover) {
        FCloseButtonHover = hover;
        RedrawDockedNCArea();
    }
}

void TBarCustomDockableWindow::ClearCloseHover() {
    if (!FCloseButtonHover) return;
    FCloseButtonHover = false;
    RedrawDockedNCArea();
}

void TBarCustomDockableWindow::RedrawDockedNCArea() {
    if (HandleAllocated() && IsWindowVisible(WindowHandle())) PaintDockedNCArea(false, nullptr, nullptr);
}

// The dock's background is anchored to the dock's parent: the rectangle of that parent's client
// area in this window's coordinates (its client coordinates, or window coordinates).
TRect TBarCustomDockableWindow::DockBackgroundRect(bool ClientCoords) {
    vcl::TWinControl* anchor = FCurrentDock->Parent() ? FCurrentDock->Parent() : FCurrentDock;
    const TPoint anchorOrigin = anchor->ClientOrigin();
    TPoint origin = ClientOrigin();
    if (!ClientCoords && HandleAllocated()) {
        RECT wr;
        GetWindowRect(WindowHandle(), &wr);
        origin = TPoint(wr.left, wr.top);
    }
    const int dx = anchorOrigin.X - origin.X, dy = anchorOrigin.Y - origin.Y;
    return TRect(dx, dy, dx + anchor->ClientWidth(), dy + anchor->ClientHeight());
}

void TBarCustomDockableWindow::PaintDockedNCArea(bool DrawToDC, HDC DC, HRGN Clip) {
    if (!FDocked || !HandleAllocated()) return;
    const HWND wnd = WindowHandle();
    HDC dc = DrawToDC ? DC : GetWindowDC(wnd);
    if (!DrawToDC) SelectNCPaintClipRgn(wnd, dc, Clip);
    RECT wr;
    GetWindowRect(wnd, &wr);
    RECT r{0, 0, wr.right - wr.left, wr.bottom - wr.top};
    HBRUSH brush = CreateSolidBrush(vcl::ColorToRGB(Color()));
    const bool vertical = FCurrentDock->Vertical();
    const int border = DockedBorderWidth(), s1 = ScaleForDPI(1);
    const bool useBkg = FCurrentDock->BackgroundInUse() && FCurrentDock->BackgroundOnToolbars();

    // The client rectangle in window coordinates.
    RECT client;
    ::GetClientRect(wnd, &client);
    POINT origin{0, 0};
    ::ClientToScreen(wnd, &origin);
    OffsetRect(&client, origin.x - wr.left, origin.y - wr.top);

    if (FBorderStyle == vcl::bsSingle)
        DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
    else
        FrameRect(dc, &r, brush);
    RECT r2 = r;
    InflateRect(&r2, -s1, -s1);
    if (!useBkg)
        FrameRect(dc, &r2, brush);
    else {
        const int saved = SaveDC(dc);
        IntersectClipRect(dc, r2.left, r2.top, r2.right, r2.bottom);
        ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
        FCurrentDock->DrawBackground(dc, DockBackgroundRect(false));
        RestoreDC(dc, saved);
    }

    if (FCurrentDock->AllowDrag()) {
        const int saved = SaveDC(dc);
        const int z = (vertical ? client.right - client.left : client.bottom - client.top) + border;
        const int s = DragHandleThickness(FCloseButtonWhenDocked, FDragHandleStyle);
        if (FDragHandleStyle != dhNone) {
            const int e = FDragHandleStyle == dhSingle ? 1 : 0;
            int across = border + DragHandleBarOffset(FCloseButtonWhenDocked, FDragHandleStyle);
            int from = border + e, to = z - e;
            if (FCloseButtonWhenDocked) {
                if (vertical)
                    to -= s - border;
                else
                    from += s - border;
            }
            const int bars = FDragHandleStyle == dhDouble ? 2 : 1, width = ScaleForDPI(3);
            for (int i = 0; i < bars; ++i) {
                RECT bar = vertical ? RECT{from, across, to, across + width} : RECT{across, from, across + width, to};
                DrawEdge(dc, &bar, BDR_RAISEDINNER, BF_RECT | BF_SOFT);
                // The far-end corner pixel.
                if (vertical)
                    SetPixel(dc, bar.right - 1, bar.top, GetSysColor(COLOR_BTNHIGHLIGHT));
                else
                    SetPixel(dc, bar.left, bar.bottom - 1, GetSysColor(COLOR_BTNHIGHLIGHT));
                ExcludeClipRect(dc, bar.left, bar.top, bar.right, bar.bottom);
                across += width;
            }
        }
        if (!useBkg) {
            RECT handle = vertical ? RECT{border, border, z, border + s} : RECT{border, border, border + s, z};
            FillRect(dc, &handle, brush);
        }
        RestoreDC(dc, saved);
    }

    if (FCloseButtonWhenDocked) {
        TRect cb = DockedCloseButtonRect(vertical);
        RECT b{cb.Left, cb.Top, cb.Right, cb.Bottom};
        if (FCloseButtonDown)
            DrawEdge(dc, &b, BDR_SUNKENOUTER, BF_RECT);
        else if (FCloseButtonHover)
            DrawEdge(dc, &b, BDR_RAISEDINNER, BF_RECT);
        const int s2 = ScaleForDPI(2);
        InflateRect(&b, -s2, -s2);
        if (FCloseButtonDown) OffsetRect(&b, s1, s1);
        static const WORD pattern[8] = {0x00, 0xCC, 0x78, 0x30, 0x78, 0xCC, 0x00, 0x00};
        HBITMAP glyph = CreateBitmap(8, 8, 1, 1, pattern);
        HDC mem = CreateCompatibleDC(dc);
        HGDIOBJ oldBmp = SelectObject(mem, glyph);
        HBRUSH text = CreateSolidBrush(GetSysColor(COLOR_BTNTEXT));
        HGDIOBJ oldBrush = SelectObject(dc, text);
        const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
        const COLORREF oldBk = SetBkColor(dc, RGB(255, 255, 255));
        BitBlt(dc, b.left, b.top, b.right - b.left, b.bottom - b.top, mem, 0, 0, 0x00E20746);
        SetTextColor(dc, oldText);
        SetBkColor(dc, oldBk);
        SelectObject(dc, oldBrush);
        DeleteObject(text);
        SelectObject(mem, oldBmp);
        DeleteDC(mem);
        DeleteObject(glyph);
    }
    DeleteObject(brush);
    if (!DrawToDC) ReleaseDC(wnd, dc);
}

// ---- messages ----

void TBarCustomDockableWindow::MouseDown(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y) {
    vcl::TCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button != vcl::mbLeft || !IsMovable()) return;
    bool found = false;
    HitTestChildControls(TPoint(X, Y), found);
    if (found) return;
    if (Shift.Contains(vcl::ssDouble))
        ToggleFloating();
    else {
        BeginMoving(X, Y);
        MouseUp(vcl::mbLeft, vcl::TShiftState(), -1, -1);
    }
}

void TBarCustomDockableWindow::WMMoveMsg(TMessage& Message) {
    vcl::TCustomControl::Dispatch(Message);
    FMoved = true;
    if (FDocked && FCurrentDock->BackgroundInUse() && HandleAllocated()) RedrawWholeWindow(WindowHandle());
    DoMoved();
}

void TBarCustomDockableWindow::WMEraseBkgndMsg(TMessage& Message) {
    if (FDocked && FCurrentDock->BackgroundInUse() && FCurrentDock->BackgroundOnToolbars()) {
        const HDC dc = reinterpret_cast<HDC>(Message.WParam);
        const TRect r = ClientRect();
        const int saved = SaveDC(dc);
        IntersectClipRect(dc, r.Left, r.Top, r.Right, r.Bottom);
        FCurrentDock->DrawBackground(dc, DockBackgroundRect(true));
        RestoreDC(dc, saved);
        Message.Result = 1;
        return;
    }
    vcl::TCustomControl::Dispatch(Message);
}

void TBarCustomDockableWindow::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_NCCALCSIZE: WMNCCalcSize(Message); return;
    case WM_NCHITTEST: WMNCHitTest(Message); return;
    case WM_SETCURSOR: WMSetCursorMsg(Message); return;
    case WM_NCLBUTTONDOWN: WMNCLButtonDown(Message); return;
    case WM_NCLBUTTONDBLCLK: WMNCLButtonDblClk(Message); return;
    case WM_NCRBUTTONUP: {
        const TPoint p = PointFromLParam(Message.LParam);
        SendNCContextMenu(p.X, p.Y);
        return;
    }
    case WM_NCMOUSEMOVE: WMNCMouseMove(Message); return;
    case WM_NCMOUSELEAVE:
        if (!GetCapture()) ClearCloseHover();
        return;
    case WM_MOUSEMOVE:
    case vcl::CM_MOUSELEAVE:
        ClearCloseHover();
        break;
    case WM_NCPAINT: PaintDockedNCArea(false, nullptr, reinterpret_cast<HRGN>(Message.WParam)); return;
    case WM_PRINT:
        HandlePrintRequest(
            WindowHandle(), Message,
            [](HWND, HDC DC, LPARAM AppData) {
                reinterpret_cast<TBarCustomDockableWindow*>(AppData)->PaintDockedNCArea(true, DC, nullptr);
            },
            reinterpret_cast<LPARAM>(this));
        return;
    case WM_PRINTCLIENT: HandlePrintClientRequest(WindowProc, Message); return;
    case WM_PALETTECHANGED:
        // Another window realized its palette: our colours may have moved, so draw again.
        if (reinterpret_cast<HWND>(Message.WParam) != WindowHandle() && HandleAllocated())
            RedrawWholeWindow(WindowHandle());
        break;
    case WM_MOVE: WMMoveMsg(Message); return;
    case WM_ERASEBKGND: WMEraseBkgndMsg(Message); return;
    case vcl::CM_COLORCHANGED:
        if (HandleAllocated()) RedrawWholeWindow(WindowHandle());
        break;
    case vcl::CM_TEXTCHANGED:
        vcl::TCustomControl::Dispatch(Message);
        if (FFloatParent && FParent == FFloatParent) FFloatParent->SetCaption(Caption());
        return;
    case vcl::CM_VISIBLECHANGED: CMVisibleChangedMsg(Message); return;
    case vcl::CM_SHOWINGCHANGED: CMShowingChangedMsg(Message); return;
    default: break;
    }
    vcl::TCustomControl::Dispatch(Message);
}

} // namespace bars
