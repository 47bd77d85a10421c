// vcl/WinControl.cpp: TWinControl (windows made on demand, children, alignment, focus, keys,
// reflection), the canvases of controls, TGraphicControl, TCustomControl and the utility windows.
#include "vcl/Controls.h"
#include "vcl/ControlsInternal.h"
#include "vcl/Forms.h"
#include "vcl/Themes.h"
#include "rtl/Math.h"

#include <algorithm>
#include <cstdlib>

namespace vcl {

namespace {

TWinControl* gCreationControl = nullptr;  // the control whose window CreateWindowExW is making

const String ControlAtomName = QStringLiteral("TwVclControl");

bool IsMouseButtonDown(UINT Msg) {
    return Msg == WM_LBUTTONDOWN || Msg == WM_RBUTTONDOWN || Msg == WM_MBUTTONDOWN || Msg == WM_LBUTTONDBLCLK ||
           Msg == WM_RBUTTONDBLCLK || Msg == WM_MBUTTONDBLCLK;
}

} // namespace

// ---------------------------------------------------------------------------------------------------
// The window procedure of the library's windows

namespace detail {

LRESULT CALLBACK StdWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    TWinControl* control = FindControl(hwnd);
    if (!control && gCreationControl) {
        control = gCreationControl;
        gCreationControl = nullptr;
        ControlAccess::SetHandle(control, hwnd);
        HandleMap()[hwnd] = control;
    }
    if (!control) return DefWindowProcW(hwnd, msg, wp, lp);
    TMessage message;
    message.Msg = msg;
    message.WParam = wp;
    message.LParam = lp;
    // No exception may leave a window procedure: the application shows or records it and goes on.
    try {
        control->WindowProc(message);
    } catch (...) {
        HandleControlException(control);
    }
    return message.Result;
}

} // namespace detail

bool IsVclControlHandle(HWND Handle) {
    if (!Handle) return false;
    if (FindControl(Handle)) return true;
    // A window being made for a control runs the library's procedure before anything links it.
    return gCreationControl && reinterpret_cast<WNDPROC>(GetWindowLongPtrW(Handle, GWLP_WNDPROC)) == detail::StdWndProc;
}

// ---------------------------------------------------------------------------------------------------
// Utility windows

namespace {

std::unordered_map<HWND, TWndMethod>& UtilWindows() {
    static std::unordered_map<HWND, TWndMethod> map;
    return map;
}

LRESULT CALLBACK UtilWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto& map = UtilWindows();
    auto it = map.find(hwnd);
    if (it == map.end()) return DefWindowProcW(hwnd, msg, wp, lp);
    const TWndMethod method = it->second;  // the handler may deallocate the window
    TMessage message;
    message.Msg = msg;
    message.WParam = wp;
    message.LParam = lp;
    try {
        method(message);
    } catch (...) {
        HandleControlException(nullptr);
    }
    if (msg == WM_NCDESTROY) UtilWindows().erase(hwnd);
    return message.Result;
}

const char16_t UtilClassName[] = u"TPUtilWindow";

} // namespace

HWND AllocateHWnd(const TWndMethod& Method) {
    WNDCLASSW info{};
    if (!GetClassInfoW(nullptr, UtilClassName, &info) || info.lpfnWndProc != UtilWndProc) {
        if (info.lpfnWndProc) UnregisterClassW(UtilClassName, nullptr);
        WNDCLASSW cls{};
        cls.lpfnWndProc = UtilWndProc;
        cls.lpszClassName = UtilClassName;
        RegisterClassW(&cls);
    }
    HWND wnd = CreateWindowExW(WS_EX_TOOLWINDOW, UtilClassName, u"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr,
                               nullptr);
    if (wnd && Method) UtilWindows()[wnd] = Method;
    return wnd;
}

void DeallocateHWnd(HWND Wnd) {
    UtilWindows().erase(Wnd);
    if (IsWindow(Wnd)) DestroyWindow(Wnd);
}

// ---------------------------------------------------------------------------------------------------
// TWinControl: creation and handles

TWinControl::TWinControl(TComponent* AOwner)
    : TControl(AOwner), FBrush(std::make_unique<TBrush>()), FPadding(std::make_unique<TPadding>(this)) {
    FWindowed = true;
    FBrush->SetColor(FColor);
    FPadding->OnChange = TNotifyEvent(this, &TWinControl::PaddingChanged);
}

TWinControl* TWinControl::CreateParented(HWND ParentWindow) {
    auto* control = new TWinControl(nullptr);
    control->SetParentWindow(ParentWindow);
    return control;
}

TWinControl::~TWinControl() {
    Destroying();
    detail::ControlGone(this);
    TCustomStyleEngine::ControlGone(this);
    if (FParent) FParent->RemoveControl(this);  // while this is still a windowed control
    // The children stay with their owner; they only lose their parent.
    for (TControl* c : FControls) c->FParent = nullptr;
    for (TWinControl* c : FWinControls) c->FParent = nullptr;
    FControls.clear();
    FWinControls.clear();
    FTabList.clear();
    if (FHandle) DestroyWindowHandle();
}

HWND TWinControl::Handle() {
    HandleNeeded();
    return FHandle;
}

void TWinControl::HandleNeeded() {
    if (FHandle) return;
    if (FParent) FParent->HandleNeeded();
    CreateHandle();
}

void TWinControl::SetParentWindow(HWND Value) {
    if (FParent || FParentWindow == Value) return;
    if (FHandle && FParentWindow && Value) {
        ::SetParent(FHandle, Value);
        FParentWindow = Value;
        return;
    }
    DestroyHandle();
    FParentWindow = Value;
    UpdateControlState();
}

void TWinControl::CreateParams(TCreateParams& Params) {
    Params = TCreateParams{};
    Params.Caption = FText;
    Params.Style = WS_CHILD | WS_CLIPSIBLINGS;
    if (FControlStyle.Contains(csAcceptsControls)) {
        Params.Style |= WS_CLIPCHILDREN;
        Params.ExStyle |= WS_EX_CONTROLPARENT;
    }
    if (!FEnabled) Params.Style |= WS_DISABLED;
    if (FTabStop) Params.Style |= WS_TABSTOP;
    Params.X = FLeft;
    Params.Y = FTop;
    Params.Width = FWidth;
    Params.Height = FHeight;
    if (FParent)
        Params.WndParent = FParent->Handle();
    else
        Params.WndParent = FParentWindow;
    Params.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    Params.WindowClass.lpfnWndProc = DefWindowProcW;
    Params.WindowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    Params.WinClassName = ClassName();
}

void TWinControl::CreateSubClass(TCreateParams& Params, const String& ControlClassName) {
    WNDCLASSW info{};
    const std::u16string name = ControlClassName.toStdU16String();
    if (!GetClassInfoW(nullptr, name.c_str(), &info)) return;
    // The platform class's procedure answers what the control leaves to it (DefWndProc); its own DC
    // styles stay with the platform class.
    Params.WindowClass = info;
    Params.WindowClass.style &= ~UINT(CS_OWNDC | CS_CLASSDC | CS_PARENTDC | CS_GLOBALCLASS);
}

void TWinControl::CreateWnd() {
    TCreateParams params;
    CreateParams(params);
    if (!params.WndParent && (params.Style & WS_CHILD))
        throw rtl::EInvalidOperation(QStringLiteral("Control '%1' has no parent window").arg(Name()));
    FDefWndProc = params.WindowClass.lpfnWndProc ? params.WindowClass.lpfnWndProc : DefWindowProcW;
    const std::u16string className = params.WinClassName.toStdU16String();
    WNDCLASSW existing{};
    const bool registered = GetClassInfoW(nullptr, className.c_str(), &existing);
    if (!registered || existing.lpfnWndProc != detail::StdWndProc) {
        if (registered) UnregisterClassW(className.c_str(), nullptr);
        WNDCLASSW cls = params.WindowClass;
        cls.lpfnWndProc = detail::StdWndProc;
        cls.lpszClassName = className.c_str();
        cls.lpszMenuName = nullptr;
        if (!RegisterClassW(&cls))
            throw rtl::EOSError(QStringLiteral("Cannot register the window class %1").arg(params.WinClassName));
    }
    FClassName = params.WinClassName;
    TWinControl* saved = gCreationControl;
    gCreationControl = this;
    try {
        CreateWindowHandle(params);
    } catch (...) {
        gCreationControl = saved;
        throw;
    }
    gCreationControl = saved;
    if (!FHandle) throw rtl::EOSError(QStringLiteral("Error creating window for '%1'").arg(Name()));
    if ((GetWindowLongW(FHandle, GWL_STYLE) & WS_CHILD) && GetWindowLongPtrW(FHandle, GWLP_ID) == 0)
        SetWindowLongPtrW(FHandle, GWLP_ID, LONG_PTR(intptr_t(FHandle) & 0x7FFFFFFF));
    Perform(WM_SETFONT, WPARAM(FFont->Handle()), LPARAM(1));
    if (FAutoSize) AdjustSize();
}

void TWinControl::CreateWindowHandle(const TCreateParams& Params) {
    const std::u16string caption = Params.Caption.toStdU16String();
    const std::u16string className = Params.WinClassName.toStdU16String();
    HWND wnd = CreateWindowExW(Params.ExStyle, className.c_str(), caption.c_str(), Params.Style, Params.X, Params.Y,
                               Params.Width, Params.Height, Params.WndParent, nullptr, nullptr, Params.Param);
    if (wnd && !FHandle) {
        FHandle = wnd;
        detail::HandleMap()[wnd] = this;
    }
}

void TWinControl::CreateHandle() {
    if (FHandle) return;
    CreateWnd();
    SetPropW(FHandle, reinterpret_cast<LPCWSTR>(ControlAtomName.utf16()), HANDLE(this));
    if (FParent) {
        // Keep the window z-order the same as the control order.
        auto& siblings = FParent->FWinControls;
        auto it = std::find(siblings.begin(), siblings.end(), this);
        HWND after = HWND_TOP;
        for (auto j = it; j != siblings.begin();) {
            --j;
            if ((*j)->FHandle) {
                after = (*j)->FHandle;
                break;
            }
        }
        if (after != HWND_TOP)
            SetWindowPos(FHandle, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    for (TControl* c : FControls) c->UpdateAnchorRules();
    for (TWinControl* c : FWinControls) c->UpdateAnchorRules();
    if (FControlState.Contains(csAlignmentNeeded)) Realign();
}

void TWinControl::DestroyHandle() {
    if (!FHandle) return;
    for (TWinControl* c : FWinControls) c->DestroyHandle();
    DestroyWnd();
}

void TWinControl::DestroyWnd() {
    FText = GetText();
    DestroyWindowHandle();
}

void TWinControl::DestroyWindowHandle() {
    FControlState.Include(csDestroyingHandle);
    HWND wnd = FHandle;
    FreeDeviceContexts(wnd);  // canvases of this window and of its windowless children
    if (wnd && IsWindow(wnd)) DestroyWindow(wnd);  // WM_NCDESTROY unlinks the window
    if (FHandle == wnd) {
        detail::HandleMap().erase(wnd);
        FHandle = nullptr;
    }
    FShowing = false;
    FControlState.Exclude(csDestroyingHandle);
}

void TWinControl::WMNCDestroy(TMessage& Message) {
    DefaultHandler(Message);
    if (FHandle) {
        detail::HandleMap().erase(FHandle);
        FHandle = nullptr;
        FShowing = false;
        FTracking = false;
    }
}

void TWinControl::RecreateWnd() {
    if (FHandle) Perform(CM_RECREATEWND);
}

void TWinControl::CMRecreateWnd(TMessage& Message) {
    (void)Message;
    const bool wasFocused = Focused();
    FControlState.Include(csRecreating);
    try {
        DestroyHandle();
        UpdateControlState();
    } catch (...) {
        FControlState.Exclude(csRecreating);
        throw;
    }
    FControlState.Exclude(csRecreating);
    if (wasFocused && FHandle) ::SetFocus(FHandle);
}

bool TWinControl::IsFormLike() const { return false; }

void TWinControl::UpdateShowing() {
    // Called from the top down when the outermost window shows: children make their windows first.
    const bool showControl = (FVisible || FComponentState.Contains(rtl::csDesigning)) &&
                             !FComponentState.Contains(rtl::csDestroying);
    if (showControl) {
        if (!FHandle) CreateHandle();
        for (TWinControl* c : std::vector<TWinControl*>(FWinControls)) c->UpdateShowing();
    }
    if (!FHandle || FShowing == showControl) return;
    FShowing = showControl;
    try {
        Perform(CM_SHOWINGCHANGED, WPARAM(showControl));
    } catch (...) {
        FShowing = !showControl;
        throw;
    }
    if (!showControl)
        for (TWinControl* c : std::vector<TWinControl*>(FWinControls)) c->UpdateShowing();
}

void TWinControl::UpdateControlState() {
    TWinControl* top = this;
    while (top->FParent) {
        top = top->FParent;
        if (!top->Showing()) return;
    }
    if (top->IsFormLike() || top->FParentWindow) UpdateShowing();
}

void TWinControl::CMShowingChanged(TMessage& Message) {
    (void)Message;
    SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | (FShowing ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void TWinControl::CMVisibleChanged(TMessage& Message) {
    if (!FVisible && FParent) {
        if (TCustomForm* form = GetParentForm(this)) form->DefocusControl(this, false);
    }
    if (!FComponentState.Contains(rtl::csDesigning) || FParent) UpdateControlState();
    (void)Message;
}

void TWinControl::ShowControl(TControl* AControl) {
    (void)AControl;
    if (FParent) FParent->ShowControl(this);
}

// ---------------------------------------------------------------------------------------------------
// Children

TControl* TWinControl::Controls(int Index) const {
    const int n = int(FControls.size());
    if (Index < 0 || Index >= ControlCount()) rtl::TList::Error("List index out of bounds (%d)", Index);
    return Index < n ? FControls[size_t(Index)] : FWinControls[size_t(Index - n)];
}

void TWinControl::InsertControl(TControl* AControl) {
    // The new parent may refuse the control or take note of it.
    AControl->ValidateContainer(this);
    Perform(CM_CONTROLLISTCHANGE, WPARAM(AControl), LPARAM(1));
    if (AControl->IsWindowed()) {
        auto* win = static_cast<TWinControl*>(AControl);
        FWinControls.push_back(win);
        FTabList.push_back(win);
    } else
        FControls.push_back(AControl);
    AControl->FParent = this;
    if (!FComponentState.Contains(rtl::csLoading) || !AControl->FComponentState.Contains(rtl::csLoading)) {
        AControl->Perform(CM_PARENTCOLORCHANGED);
        AControl->Perform(CM_PARENTFONTCHANGED);
        AControl->Perform(CM_PARENTSHOWHINTCHANGED);
        AControl->Perform(CM_PARENTBIDIMODECHANGED);
    }
    if (AControl->IsWindowed()) {
        auto* win = static_cast<TWinControl*>(AControl);
        win->UpdateControlState();
    } else if (FHandle)
        AControl->Invalidate();
    if (AControl->FAlign != alNone) AlignControl(AControl);
    Perform(CM_CONTROLCHANGE, WPARAM(AControl), LPARAM(1));
}

void TWinControl::RemoveControl(TControl* AControl) {
    Perform(CM_CONTROLCHANGE, WPARAM(AControl), LPARAM(0));
    if (AControl->IsWindowed()) {
        auto* win = static_cast<TWinControl*>(AControl);
        if (TCustomForm* form = GetParentForm(this)) form->DefocusControl(win, true);
        win->DestroyHandle();
        FWinControls.erase(std::remove(FWinControls.begin(), FWinControls.end(), win), FWinControls.end());
        FTabList.erase(std::remove(FTabList.begin(), FTabList.end(), win), FTabList.end());
    } else {
        if (FHandle) AControl->InvalidateControl(AControl->FVisible, false);
        FControls.erase(std::remove(FControls.begin(), FControls.end(), AControl), FControls.end());
    }
    AControl->FParent = nullptr;
    Perform(CM_CONTROLLISTCHANGE, WPARAM(AControl), LPARAM(0));
    if (AControl->FAlign != alNone && !FComponentState.Contains(rtl::csDestroying)) Realign();
}

bool TWinControl::ContainsControl(TControl* Control) const {
    while (Control && Control != this) Control = Control->FParent;
    return Control == this;
}

TControl* TWinControl::ControlAtPos(const TPoint& Pos, bool AllowDisabled, bool AllowWinControls, bool AllLevels) {
    auto hit = [&](TControl* c) -> bool {
        if (!(c->FVisible || c->FComponentState.Contains(rtl::csDesigning))) return false;
        if (!(c->Enabled() || AllowDisabled)) return false;
        if (!c->BoundsRect().Contains(Pos)) return false;
        const TPoint local(Pos.X - c->FLeft, Pos.Y - c->FTop);
        return c->Perform(CM_HITTEST, 0, LPARAM(MAKELPARAM(WORD(local.X), WORD(local.Y)))) != 0;
    };
    if (AllowWinControls)
        for (auto it = FWinControls.rbegin(); it != FWinControls.rend(); ++it)
            if (hit(*it)) {
                if (AllLevels) {
                    const TPoint local(Pos.X - (*it)->FLeft, Pos.Y - (*it)->FTop);
                    if (TControl* deeper = (*it)->ControlAtPos(local, AllowDisabled, true, true)) return deeper;
                }
                return *it;
            }
    for (auto it = FControls.rbegin(); it != FControls.rend(); ++it)
        if (hit(*it)) return *it;
    return nullptr;
}

TWinControl* TWinControl::FindChildControl(const String& ControlName) const {
    for (TWinControl* c : FWinControls)
        if (c->Name().compare(ControlName, Qt::CaseInsensitive) == 0) return c;
    return nullptr;
}

void TWinControl::Broadcast(TMessage& Message) {
    for (int i = 0; i < ControlCount(); ++i) {
        Controls(i)->WindowProc(Message);
        if (Message.Result != 0) return;
    }
}

void TWinControl::NotifyControls(UINT Msg) {
    TMessage message;
    message.Msg = Msg;
    Broadcast(message);
}

void TWinControl::GetChildren(const rtl::TGetChildProc& Proc, TComponent* Root) {
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        if (c->Owner() == Root) Proc(c);
    }
}

void TWinControl::SetChildOrder(TComponent* Child, int Order) {
    auto* control = dynamic_cast<TControl*>(Child);
    if (!control || control->FParent != this) return;
    if (control->IsWindowed()) {
        auto& list = FWinControls;
        list.erase(std::remove(list.begin(), list.end(), control), list.end());
        list.insert(list.begin() + std::clamp<int>(Order, 0, int(list.size())), static_cast<TWinControl*>(control));
    } else {
        auto& list = FControls;
        list.erase(std::remove(list.begin(), list.end(), control), list.end());
        list.insert(list.begin() + std::clamp<int>(Order, 0, int(list.size())), control);
    }
}

void TWinControl::SetParent(TWinControl* AParent) {
    if (FParent == AParent) return;
    if (!AParent && FParent && FHandle) {
        // Leaving the parent: the window goes with the link to it.
        TControl::SetParent(nullptr);
        return;
    }
    TControl::SetParent(AParent);
}

void TWinControl::SetZOrder(bool TopMost) {
    if (!FParent) {
        if (FHandle) SetWindowPos(FHandle, TopMost ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        return;
    }
    auto& list = FParent->FWinControls;
    auto it = std::find(list.begin(), list.end(), this);
    if (it == list.end()) return;
    list.erase(it);
    if (TopMost)
        list.push_back(this);
    else
        list.insert(list.begin(), this);
    if (FHandle) SetWindowPos(FHandle, TopMost ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TWinControl::Notification(TComponent* AComponent, rtl::TOperation Operation) {
    TControl::Notification(AComponent, Operation);
}

void TWinControl::Loaded() {
    TControl::Loaded();
    if (FParent && FTabOrderPending >= 0) FParent->FixupTabList();
    FTabOrderPending = -1;
    Realign();
}

// ---------------------------------------------------------------------------------------------------
// Bounds and alignment

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    if (!CheckNewBounds(ALeft, ATop, AWidth, AHeight)) return;
    if (FHandle && !IsIconic(FHandle)) {
        // The window reports its new place (WM_WINDOWPOSCHANGED, WM_SIZE), which sets the fields.
        SetWindowPos(FHandle, nullptr, ALeft, ATop, AWidth, AHeight, SWP_NOZORDER | SWP_NOACTIVATE);
        if (FLeft != ALeft || FTop != ATop || FWidth != AWidth || FHeight != AHeight) {
            // The window refused or changed the size (its own limits): keep what it took.
            UpdateBounds();
        }
    } else {
        const bool resized = AWidth != FWidth || AHeight != FHeight;
        FLeft = ALeft;
        FTop = ATop;
        FWidth = AWidth;
        FHeight = AHeight;
        if (resized) {
            Realign();
            if (!FComponentState.Contains(rtl::csLoading)) Resize();
        }
    }
    UpdateAnchorRules();
    RequestAlign();
}

void TWinControl::UpdateBounds() {
    if (!FHandle || IsIconic(FHandle)) return;
    RECT r{};
    GetWindowRect(FHandle, &r);
    if (GetWindowLongW(FHandle, GWL_STYLE) & WS_CHILD) {
        HWND parent = GetParent(FHandle);
        if (parent) MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    }
    FLeft = r.left;
    FTop = r.top;
    FWidth = r.right - r.left;
    FHeight = r.bottom - r.top;
}

TRect TWinControl::GetClientRect() {
    if (!FHandle) return TControl::GetClientRect();
    RECT r{};
    ::GetClientRect(FHandle, &r);
    return TRect(r);
}

void TWinControl::SetClientSize(const TPoint& Value) {
    const TRect client = GetClientRect();
    SetBounds(FLeft, FTop, FWidth - client.Right + Value.X, FHeight - client.Bottom + Value.Y);
}

TPoint TWinControl::ClientOrigin() {
    if (!FHandle && FParent) {
        const TPoint p = FParent->ClientOrigin();
        return TPoint(p.X + FLeft, p.Y + FTop);
    }
    POINT p{0, 0};
    ::ClientToScreen(Handle(), &p);
    return TPoint(p);
}

void TWinControl::AdjustClientRect(TRect& Rect) {
    Rect.Inflate(-FBorderWidth, -FBorderWidth);
    Rect.Left += FPadding->Left();
    Rect.Top += FPadding->Top();
    Rect.Right -= FPadding->Right();
    Rect.Bottom -= FPadding->Bottom();
}

void TWinControl::SetBorderWidth(int Value) {
    if (FBorderWidth == Value) return;
    FBorderWidth = Value;
    Perform(CM_BORDERCHANGED);
}

void TWinControl::WMNCCalcSize(TMessage& Message) {
    // The bevels lie outside the window's own frame and scroll bars.
    if (FBevelKind != bkNone && Message.LParam) {
        const int edge = (FBevelInner != bvNone ? FBevelWidth : 0) + (FBevelOuter != bvNone ? FBevelWidth : 0);
        RECT& r = Message.WParam ? reinterpret_cast<NCCALCSIZE_PARAMS*>(Message.LParam)->rgrc[0]
                                 : *reinterpret_cast<RECT*>(Message.LParam);
        if (FBevelEdges.Contains(beLeft)) r.left += edge;
        if (FBevelEdges.Contains(beTop)) r.top += edge;
        if (FBevelEdges.Contains(beRight)) r.right -= edge;
        if (FBevelEdges.Contains(beBottom)) r.bottom -= edge;
    }
    DefaultHandler(Message);
}

void TWinControl::WMNCPaint(TMessage& Message) {
    DefaultHandler(Message);
    if (FBevelKind == bkNone || !FHandle) return;
    static constexpr UINT Inner[] = {0, BDR_SUNKENINNER, BDR_RAISEDINNER, 0};
    static constexpr UINT Outer[] = {0, BDR_SUNKENOUTER, BDR_RAISEDOUTER, 0};
    static constexpr UINT Kind[] = {0, 0, BF_SOFT, BF_FLAT};
    RECT r;
    GetWindowRect(FHandle, &r);
    OffsetRect(&r, -r.left, -r.top);
    HDC dc = GetWindowDC(FHandle);
    // One line per bevel and pixel of width, from the outside in.
    const UINT flags = UINT(FBevelEdges.Bits()) | Kind[FBevelKind] | (FCtl3D ? 0 : BF_MONO) | BF_ADJUST;
    for (int i = 0; i < FBevelWidth && Outer[FBevelOuter]; ++i) DrawEdge(dc, &r, Outer[FBevelOuter], flags);
    for (int i = 0; i < FBevelWidth && Inner[FBevelInner]; ++i) DrawEdge(dc, &r, Inner[FBevelInner], flags);
    ReleaseDC(FHandle, dc);
}

void TWinControl::CMBorderChanged(TMessage& Message) {
    (void)Message;
    if (FHandle)
        SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                     SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    Realign();
    Invalidate();
}

void TWinControl::PaddingChanged(TObject* Sender) {
    (void)Sender;
    Realign();
}

void TWinControl::DisableAlign() { ++FAlignLevel; }

void TWinControl::EnableAlign() {
    if (--FAlignLevel == 0 && FControlState.Contains(csAlignmentNeeded)) Realign();
}

void TWinControl::Realign() { AlignControl(nullptr); }

void TWinControl::AlignControl(TControl* AControl) {
    if (FComponentState.Contains(rtl::csDestroying)) return;
    if (FAlignLevel != 0 || FComponentState.Contains(rtl::csLoading)) {
        FControlState.Include(csAlignmentNeeded);
        return;
    }
    DisableAlign();
    try {
        TRect rect = GetClientRect();
        AlignControls(AControl, rect);
    } catch (...) {
        FControlState.Exclude(csAlignmentNeeded);
        --FAlignLevel;
        throw;
    }
    FControlState.Exclude(csAlignmentNeeded);
    --FAlignLevel;
}

void TWinControl::AlignControls(TControl* AControl, TRect& Rect) {
    AdjustClientRect(Rect);
    FControlState.Include(csAligning);
    std::vector<TControl*> list;
    list.reserve(size_t(ControlCount()));

    auto inserts = [](TControl* c1, TControl* c2, TAlign align) {
        switch (align) {
        case alTop: return c1->FTop < c2->FTop;
        case alBottom: return c1->FTop + c1->FHeight >= c2->FTop + c2->FHeight;
        case alLeft: return c1->FLeft < c2->FLeft;
        case alRight: return c1->FLeft + c1->FWidth >= c2->FLeft + c2->FWidth; // right edges, as bottoms below
        default: return false;
        }
    };

    auto place = [&](TControl* c, TAlign align) {
        TRect margins(0, 0, 0, 0);
        if (c->FAlignWithMargins)
            margins = TRect(c->FMargins->Left(), c->FMargins->Top(), c->FMargins->Right(), c->FMargins->Bottom());
        int left = Rect.Left, top = Rect.Top;
        int width = Rect.Width(), height = Rect.Height();
        switch (align) {
        case alTop: height = c->FHeight + margins.Top + margins.Bottom; break;
        case alBottom:
            height = c->FHeight + margins.Top + margins.Bottom;
            top = Rect.Bottom - height;
            break;
        case alLeft: width = c->FWidth + margins.Left + margins.Right; break;
        case alRight:
            width = c->FWidth + margins.Left + margins.Right;
            left = Rect.Right - width;
            break;
        case alCustom: {
            left = c->FLeft;
            top = c->FTop;
            width = c->FWidth;
            height = c->FHeight;
            CustomAlignPosition(c, left, top, width, height, Rect);
            margins = TRect(0, 0, 0, 0);
            break;
        }
        default: break;
        }
        c->SetBounds(left + margins.Left, top + margins.Top, std::max(0, int(width - margins.Left - margins.Right)),
                     std::max(0, int(height - margins.Top - margins.Bottom)));
        // Limits may have changed the size: the space taken is what the control really has.
        switch (align) {
        case alTop: Rect.Top += c->FHeight + margins.Top + margins.Bottom; break;
        case alBottom: Rect.Bottom -= c->FHeight + margins.Top + margins.Bottom; break;
        case alLeft: Rect.Left += c->FWidth + margins.Left + margins.Right; break;
        case alRight: Rect.Right -= c->FWidth + margins.Left + margins.Right; break;
        default: break;
        }
    };

    auto doAlign = [&](TAlign align) {
        list.clear();
        if (AControl && AControl->FAlign == align && (AControl->FVisible || AControl->FComponentState.Contains(rtl::csDesigning)))
            list.push_back(AControl);
        for (int i = 0; i < ControlCount(); ++i) {
            TControl* c = Controls(i);
            if (c == AControl || c->FAlign != align) continue;
            if (!c->FVisible && !c->FComponentState.Contains(rtl::csDesigning)) continue;
            auto pos = list.begin();
            while (pos != list.end() && !inserts(c, *pos, align)) ++pos;
            list.insert(pos, c);
        }
        for (TControl* c : list) place(c, align);
    };

    try {
        doAlign(alTop);
        doAlign(alBottom);
        doAlign(alLeft);
        doAlign(alRight);
        doAlign(alClient);
        doAlign(alCustom);
        // Anchored controls follow the parent's size against the size their rules were taken at.
        const TRect client = GetClientRect();
        const int parentW = client.Width(), parentH = client.Height();
        for (int i = 0; i < ControlCount(); ++i) {
            TControl* c = Controls(i);
            if (c->FAlign != alNone || c->FAnchors == TAnchors{akLeft, akTop}) continue;
            if (c->FOriginalParentSize.X == 0 && c->FOriginalParentSize.Y == 0) continue;
            const TRect& ex = c->FExplicitBounds;
            int left = ex.Left, top = ex.Top, width = ex.Width(), height = ex.Height();
            const int dx = parentW - c->FOriginalParentSize.X, dy = parentH - c->FOriginalParentSize.Y;
            if (c->FAnchors.Contains(akRight)) {
                if (c->FAnchors.Contains(akLeft))
                    width = ex.Width() + dx;
                else
                    left = ex.Left + dx;
            } else if (!c->FAnchors.Contains(akLeft) && c->FOriginalParentSize.X > 0)
                left = rtl::MulDiv(c->FAnchorRules.X, parentW, c->FOriginalParentSize.X) - width / 2;
            if (c->FAnchors.Contains(akBottom)) {
                if (c->FAnchors.Contains(akTop))
                    height = ex.Height() + dy;
                else
                    top = ex.Top + dy;
            } else if (!c->FAnchors.Contains(akTop) && c->FOriginalParentSize.Y > 0)
                top = rtl::MulDiv(c->FAnchorRules.Y, parentH, c->FOriginalParentSize.Y) - height / 2;
            c->SetBounds(left, top, std::max(0, width), std::max(0, height));
        }
    } catch (...) {
        FControlState.Exclude(csAligning);
        throw;
    }
    FControlState.Exclude(csAligning);
}

bool TWinControl::CanAutoSize(int& NewWidth, int& NewHeight) {
    // The smallest size that holds every visible child, as far as they allow it.
    if (ControlCount() == 0) return true;
    int right = 0, bottom = 0;
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        if (!c->FVisible) continue;
        right = std::max(right, int(c->FLeft + c->FWidth));
        bottom = std::max(bottom, int(c->FTop + c->FHeight));
    }
    const TRect client = GetClientRect();
    NewWidth = right + (FWidth - client.Width()) + FPadding->Right() + FBorderWidth;
    NewHeight = bottom + (FHeight - client.Height()) + FPadding->Bottom() + FBorderWidth;
    return true;
}

void TWinControl::ChangeScale(int M, int D) {
    DisableAlign();
    try {
        for (int i = 0; i < ControlCount(); ++i) Controls(i)->ChangeScale(M, D);
        FPadding->SetBounds(rtl::MulDiv(FPadding->Left(), M, D), rtl::MulDiv(FPadding->Top(), M, D),
                            rtl::MulDiv(FPadding->Right(), M, D), rtl::MulDiv(FPadding->Bottom(), M, D));
        TControl::ChangeScale(M, D);
    } catch (...) {
        EnableAlign();
        throw;
    }
    EnableAlign();
}

// ---------------------------------------------------------------------------------------------------
// Text, enabled state, painting

String TWinControl::GetText() const {
    if (!FHandle) return FText;
    const int n = GetWindowTextLengthW(FHandle);
    std::u16string buffer(size_t(n) + 1, u'\0');
    const int got = GetWindowTextW(FHandle, buffer.data(), n + 1);
    return String::fromUtf16(buffer.data(), got);
}

void TWinControl::SetTextValue(const String& Value) {
    FText = Value;
    if (FHandle) SetWindowTextW(FHandle, reinterpret_cast<LPCWSTR>(Value.utf16()));
}

void TWinControl::DoSetEnabled(bool Value) {
    if (FEnabled == Value) return;
    FEnabled = Value;
    if (FHandle) EnableWindow(FHandle, Value);
    Perform(CM_ENABLEDCHANGED);
}

void TWinControl::CMEnabledChanged(TMessage& Message) {
    if (!FEnabled && FParent) {
        if (TCustomForm* form = GetParentForm(this)) form->DefocusControl(this, false);
    }
    if (FHandle && !FComponentState.Contains(rtl::csDesigning)) EnableWindow(FHandle, FEnabled);
    TControl::CMEnabledChanged(Message);
}

void TWinControl::CMFontChanged(TMessage& Message) {
    TControl::CMFontChanged(Message);
    if (FHandle) Perform(WM_SETFONT, WPARAM(FFont->Handle()), LPARAM(0));
    TMessage notice;
    notice.Msg = CM_PARENTFONTCHANGED;
    for (int i = 0; i < ControlCount(); ++i) Controls(i)->WindowProc(notice);
}

void TWinControl::CMColorChanged(TMessage& Message) {
    FBrush->SetColor(FColor);
    TControl::CMColorChanged(Message);
    NotifyControls(CM_PARENTCOLORCHANGED);
}

void TWinControl::CMShowHintChanged(TMessage& Message) {
    (void)Message;
    NotifyControls(CM_PARENTSHOWHINTCHANGED);
}

void TWinControl::CMSysColorChange(TMessage& Message) {
    FBrush->SetColor(FColor);  // system colours resolve again
    Broadcast(Message);
    Message.Result = 0;
    Invalidate();
}

void TWinControl::WMSysColorChange(TMessage& Message) {
    Perform(CM_SYSCOLORCHANGE);
    DefaultHandler(Message);
}

void TWinControl::WMSettingChange(TMessage& Message) {
    Perform(CM_WININICHANGE, Message.WParam, Message.LParam);
    DefaultHandler(Message);
}

void TWinControl::SetDoubleBuffered(bool Value) {
    if (FDoubleBuffered == Value) return;
    FDoubleBuffered = Value;
    FParentDoubleBuffered = false;
    Perform(CM_DOUBLEBUFFEREDCHANGED);
}

void TWinControl::SetParentBackground(bool Value) {
    if (ParentBackground() == Value) return;
    if (Value)
        FControlStyle.Include(csParentBackground);
    else
        FControlStyle.Exclude(csParentBackground);
    Invalidate();
}

void TWinControl::Invalidate() {
    if (FHandle) InvalidateRect(FHandle, nullptr, !FControlStyle.Contains(csOpaque));
}

void TWinControl::Update() {
    if (FHandle) UpdateWindow(FHandle);
}

void TWinControl::Repaint() {
    Invalidate();
    Update();
}

void TWinControl::WMPaint(TWMPaint& Message) {
    if (Message.DC() || FDoubleBuffered || !FControls.empty() || FControlState.Contains(csCustomPaint)) {
        if (FDoubleBuffered && !Message.DC()) {
            // Paint into a bitmap of the client size, then copy it on screen in one go.
            PAINTSTRUCT ps{};
            HDC dc = BeginPaint(FHandle, &ps);
            const TRect client = GetClientRect();
            HDC memDC = CreateCompatibleDC(dc);
            HBITMAP bmp = CreateCompatibleBitmap(dc, client.Right, client.Bottom);
            HGDIOBJ old = SelectObject(memDC, bmp);
            Perform(WM_ERASEBKGND, WPARAM(memDC), LPARAM(memDC));
            TMessage inner;
            inner.Msg = WM_PAINT;
            inner.WParam = WPARAM(memDC);
            PaintHandler(MessageAs<TWMPaint>(inner));
            BitBlt(dc, 0, 0, client.Right, client.Bottom, memDC, 0, 0, SRCCOPY);
            SelectObject(memDC, old);
            DeleteObject(bmp);
            DeleteDC(memDC);
            EndPaint(FHandle, &ps);
            return;
        }
        PaintHandler(Message);
        return;
    }
    DefaultHandler(Message);
}

void TWinControl::PaintHandler(TWMPaint& Message) {
    HDC dc = Message.DC();
    PAINTSTRUCT ps{};
    if (!dc) dc = BeginPaint(FHandle, &ps);
    try {
        if (FControls.empty())
            PaintWindow(dc);
        else {
            // Opaque windowless children cover their part of the window: leave it to them.
            const int saved = SaveDC(dc);
            for (TControl* c : FControls)
                if ((c->FVisible || c->FComponentState.Contains(rtl::csDesigning)) && c->FControlStyle.Contains(csOpaque))
                    ExcludeClipRect(dc, c->FLeft, c->FTop, c->FLeft + c->FWidth, c->FTop + c->FHeight);
            PaintWindow(dc);
            RestoreDC(dc, saved);
        }
        PaintControls(dc, nullptr);
    } catch (...) {
        if (!Message.DC()) EndPaint(FHandle, &ps);
        throw;
    }
    if (!Message.DC()) EndPaint(FHandle, &ps);
}

void TWinControl::PaintWindow(HDC DC) {
    if (FDefWndProc == DefWindowProcW || !FDefWndProc) return;  // nothing of the platform's to draw
    TMessage message;
    message.Msg = WM_PAINT;
    message.WParam = WPARAM(DC);
    DefaultHandler(message);
}

void TWinControl::PaintControls(HDC DC, TControl* First) {
    auto it = FControls.begin();
    if (First) {
        it = std::find(FControls.begin(), FControls.end(), First);
        if (it == FControls.end()) it = FControls.begin();
    }
    for (; it != FControls.end(); ++it) {
        TControl* c = *it;
        if (!(c->FVisible || c->FComponentState.Contains(rtl::csDesigning))) continue;
        const RECT r = c->BoundsRect();
        if (!RectVisible(DC, &r)) continue;
        const int saved = SaveDC(DC);
        POINT org{};
        GetViewportOrgEx(DC, &org);
        SetViewportOrgEx(DC, org.x + c->FLeft, org.y + c->FTop, nullptr);
        IntersectClipRect(DC, 0, 0, c->FWidth, c->FHeight);
        c->Perform(WM_PAINT, WPARAM(DC), LPARAM(0));
        RestoreDC(DC, saved);
    }
}

void TWinControl::PaintTo(HDC DC, int X, int Y) {
    const int saved = SaveDC(DC);
    POINT org{};
    GetViewportOrgEx(DC, &org);
    SetViewportOrgEx(DC, org.x + X, org.y + Y, nullptr);
    IntersectClipRect(DC, 0, 0, FWidth, FHeight);
    Perform(WM_ERASEBKGND, WPARAM(DC), LPARAM(DC));
    Perform(WM_PAINT, WPARAM(DC), LPARAM(0));
    for (TWinControl* c : FWinControls)
        if (c->FVisible) c->PaintTo(DC, c->FLeft, c->FTop);
    RestoreDC(DC, saved);
}

void TWinControl::WMEraseBkgnd(TWMEraseBkgnd& Message) {
    if (FControlStyle.Contains(csOpaque) && !FDoubleBuffered) {
        Message.Result = 1;
        return;
    }
    const RECT r = GetClientRect();
    ::FillRect(Message.DC(), &r, FBrush->Handle());
    Message.Result = 1;
}

// ---------------------------------------------------------------------------------------------------
// Messages

void TWinControl::MainWndProc(TMessage& Message) {
    try {
        WindowProc(Message);
    } catch (...) {
        HandleControlException(this);
    }
}

void TWinControl::SetMouseTracking() {
    if (FTracking || !FHandle) return;
    TRACKMOUSEEVENT track{};
    track.cbSize = sizeof track;
    track.dwFlags = TME_LEAVE;
    track.hwndTrack = FHandle;
    FTracking = TrackMouseEvent(&track) != FALSE;
}

bool TWinControl::IsControlMouseMsg(TWMMouse& Message) {
    TControl* control = nullptr;
    if (FHandle && GetCapture() == FHandle) {
        TControl* capture = GetCaptureControl();
        if (capture && capture != this && capture->FParent == this) control = capture;
    } else
        control = ControlAtPos(TPoint(Message.XPos(), Message.YPos()), false);
    if (!control) return false;
    TMessage forwarded = Message;
    MessageAs<TWMMouse>(forwarded).SetPos(Message.XPos() - control->FLeft, Message.YPos() - control->FTop);
    control->WindowProc(forwarded);
    Message.Result = forwarded.Result;
    return true;
}

void TWinControl::WndProc(TMessage& Message) {
    // Under a custom style the control's style hook sees the message first.
    if (!ComponentState().Contains(rtl::csDestroying))
        if (TStyleHook* hook = TCustomStyleEngine::HookOf(this); hook && hook->HandleMessage(Message)) return;
    switch (Message.Msg) {
    case WM_SETFOCUS:
        if (TCustomForm* form = GetParentForm(this); form && !form->SetFocusedControl(this)) return;
        break;
    case WM_KILLFOCUS:
        if (FControlState.Contains(csFocusing)) return;
        break;
    case WM_NCHITTEST:
        TControl::WndProc(Message);
        if (Message.Result == HTTRANSPARENT && ControlAtPos(ScreenToClient(TPoint(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam))), false))
            Message.Result = HTCLIENT;
        return;
    case WM_MOUSEMOVE: {
        // Enter and leave follow the control under the pointer, windowless children included, also while
        // a control holds the capture (the messages still go to that control).
        SetMouseTracking();
        TWMMouse& mouse = MessageAs<TWMMouse>(Message);
        const TPoint pos(mouse.XPos(), mouse.YPos());
        TControl* target = nullptr;
        if (GetClientRect().Contains(pos)) {
            target = ControlAtPos(pos, false);
            if (!target) target = this;
        }
        detail::ControlAccess::SetMouseControl(target);
        if (IsControlMouseMsg(mouse)) return;
        break;
    }
    case WM_MOUSELEAVE: {
        FTracking = false;
        TControl* current = GetMouseControl();
        if (current && (current == this || (!current->IsWindowed() && current->FParent == this)))
            detail::ControlAccess::SetMouseControl(nullptr);
        Dispatch(Message);
        return;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
        if (IsControlMouseMsg(MessageAs<TWMMouse>(Message))) {
            // The window's own procedure still hears the click for activation and focus rules.
            if (IsMouseButtonDown(Message.Msg) && FHandle) DefWndProc(Message);
            Message.Result = 0;
            return;
        }
        break;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(Message.LParam) != FHandle) {
            TControl* capture = GetCaptureControl();
            if (capture == this || (capture && capture->FParent == this)) SetCaptureControl(nullptr);
        }
        break;
    case WM_KEYFIRST + 0:
    case WM_KEYUP:
    case WM_CHAR:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
    case WM_SYSCHAR:
        if (Dragging()) {
            if (Message.Msg == WM_KEYDOWN && Message.WParam == VK_ESCAPE) CancelDrag();
            return;
        }
        break;
    default: break;
    }
    TControl::WndProc(Message);
}

void TWinControl::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_PAINT: WMPaint(MessageAs<TWMPaint>(Message)); return;
    case WM_ERASEBKGND: WMEraseBkgnd(MessageAs<TWMEraseBkgnd>(Message)); return;
    case WM_SIZE: WMSize(MessageAs<TWMSize>(Message)); return;
    case WM_MOVE: WMMove(MessageAs<TWMMove>(Message)); return;
    case WM_WINDOWPOSCHANGED: WMWindowPosChanged(MessageAs<TWMWindowPosMsg>(Message)); return;
    case WM_WINDOWPOSCHANGING: WMWindowPosChanging(MessageAs<TWMWindowPosMsg>(Message)); return;
    case WM_SETFOCUS: WMSetFocus(MessageAs<TWMSetFocus>(Message)); return;
    case WM_KILLFOCUS: WMKillFocus(MessageAs<TWMKillFocus>(Message)); return;
    case WM_KEYDOWN: WMKeyDown(MessageAs<TWMKey>(Message)); return;
    case WM_KEYUP: WMKeyUp(MessageAs<TWMKey>(Message)); return;
    case WM_CHAR: WMChar(MessageAs<TWMKey>(Message)); return;
    case WM_SYSKEYDOWN: WMSysKeyDown(MessageAs<TWMKey>(Message)); return;
    case WM_SYSKEYUP: WMSysKeyUp(MessageAs<TWMKey>(Message)); return;
    case WM_SYSCHAR: WMSysChar(MessageAs<TWMKey>(Message)); return;
    case WM_COMMAND: WMCommand(MessageAs<TWMCommand>(Message)); return;
    case WM_NOTIFY: WMNotify(MessageAs<TWMNotify>(Message)); return;
    case WM_DRAWITEM: WMDrawItem(MessageAs<TWMDrawItem>(Message)); return;
    case WM_MEASUREITEM: WMMeasureItem(MessageAs<TWMMeasureItem>(Message)); return;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: WMCtlColor(MessageAs<TWMCtlColor>(Message)); return;
    case WM_HSCROLL: WMHScroll(MessageAs<TWMScroll>(Message)); return;
    case WM_VSCROLL: WMVScroll(MessageAs<TWMScroll>(Message)); return;
    case WM_SETCURSOR: WMSetCursor(MessageAs<TWMSetCursor>(Message)); return;
    case WM_MOUSELEAVE: WMMouseLeave(Message); return;
    case WM_SYSCOLORCHANGE: WMSysColorChange(Message); return;
    case WM_SETTINGCHANGE: WMSettingChange(Message); return;
    case WM_NCDESTROY: WMNCDestroy(Message); return;
    case WM_NCCALCSIZE: WMNCCalcSize(Message); return;
    case WM_NCPAINT: WMNCPaint(Message); return;
    case WM_GETMINMAXINFO: WMGetMinMaxInfo(MessageAs<TWMGetMinMaxInfo>(Message)); return;
    case CN_KEYDOWN: CNKeyDown(MessageAs<TWMKey>(Message)); return;
    case CN_KEYUP: CNKeyUp(MessageAs<TWMKey>(Message)); return;
    case CN_CHAR: CNChar(MessageAs<TWMKey>(Message)); return;
    case CN_SYSKEYDOWN: CNSysKeyDown(MessageAs<TWMKey>(Message)); return;
    case CN_SYSCHAR: CNSysChar(MessageAs<TWMKey>(Message)); return;
    case CM_DIALOGKEY: CMDialogKey(MessageAs<TCMDialogKey>(Message)); return;
    case CM_DIALOGCHAR: CMDialogChar(MessageAs<TCMDialogChar>(Message)); return;
    case CM_CHILDKEY: CMChildKey(Message); return;
    case CM_ENTER: CMEnter(Message); return;
    case CM_EXIT: CMExit(Message); return;
    case CM_FOCUSCHANGED: CMFocusChanged(MessageAs<TCMFocusChanged>(Message)); return;
    case CM_SHOWINGCHANGED: CMShowingChanged(Message); return;
    case CM_RECREATEWND: CMRecreateWnd(Message); return;
    case CM_BORDERCHANGED: CMBorderChanged(Message); return;
    case CM_CONTROLCHANGE: CMControlChange(MessageAs<TCMControlChange>(Message)); return;
    case CM_CONTROLLISTCHANGE: CMControlListChange(MessageAs<TCMControlListChange>(Message)); return;
    case CM_SHOWHINTCHANGED: CMShowHintChanged(Message); return;
    case CM_WININICHANGE:
        // Every control hears of changed settings (menu fonts follow SPI_SETNONCLIENTMETRICS).
        for (int i = 0; i < ControlCount(); ++i) Controls(i)->Perform(CM_WININICHANGE, Message.WParam, Message.LParam);
        return;
    default: TControl::Dispatch(Message); return;
    }
}

void TWinControl::DefaultHandler(TMessage& Message) {
    if (!FHandle) {
        TControl::DefaultHandler(Message);
        return;
    }
    if (Message.Msg >= CN_CTLCOLORMSGBOX && Message.Msg <= CN_CTLCOLORSTATIC) {
        HDC dc = reinterpret_cast<HDC>(Message.WParam);
        SetTextColor(dc, ColorToRGB(FFont->Color()));
        SetBkColor(dc, ColorToRGB(FBrush->Color()));
        Message.Result = LRESULT(FBrush->Handle());
        return;
    }
    if (Message.Msg >= CM_BASE && Message.Msg < CM_BASE + 0x1000) {
        Message.Result = 0;  // the library's own notices mean nothing to the platform's procedures
        return;
    }
    Message.Result = CallWindowProcW(FDefWndProc ? FDefWndProc : DefWindowProcW, FHandle, Message.Msg, Message.WParam,
                                     Message.LParam);
}

void TWinControl::WMSize(TWMSize& Message) {
    UpdateBounds();
    DefaultHandler(Message);
    if (Message.SizeType() == SIZE_MINIMIZED) return;
    Realign();
    if (!FComponentState.Contains(rtl::csLoading)) Resize();
}

void TWinControl::WMMove(TWMMove& Message) {
    UpdateBounds();
    DefaultHandler(Message);
}

void TWinControl::WMWindowPosChanged(TWMWindowPosMsg& Message) {
    UpdateBounds();
    DefaultHandler(Message);
}

void TWinControl::WMWindowPosChanging(TWMWindowPosMsg& Message) {
    WINDOWPOS* pos = Message.WindowPos();
    if (pos && !(pos->flags & SWP_NOSIZE) && FHandle) {
        int w = pos->cx, h = pos->cy;
        DoConstrainedResize(w, h);
        pos->cx = w;
        pos->cy = h;
    }
    DefaultHandler(Message);
}

void TWinControl::WMGetMinMaxInfo(TWMGetMinMaxInfo& Message) {
    DefaultHandler(Message);
    MINMAXINFO* info = Message.MinMaxInfo();
    if (!info) return;
    TSizeConstraints* c = Constraints();
    if (c->MinWidth() > 0) info->ptMinTrackSize.x = c->MinWidth();
    if (c->MinHeight() > 0) info->ptMinTrackSize.y = c->MinHeight();
    if (c->MaxWidth() > 0) info->ptMaxTrackSize.x = c->MaxWidth();
    if (c->MaxHeight() > 0) info->ptMaxTrackSize.y = c->MaxHeight();
}

void TWinControl::WMSetFocus(TWMSetFocus& Message) { DefaultHandler(Message); }
void TWinControl::WMKillFocus(TWMKillFocus& Message) { DefaultHandler(Message); }

void TWinControl::WMSetCursor(TWMSetCursor& Message) {
    if (Message.CursorWnd() == FHandle && Message.HitTest() == HTCLIENT) {
        TCursor cursor = Screen ? Screen->Cursor() : crDefault;
        if (cursor == crDefault) {
            POINT p{};
            GetCursorPos(&p);
            TControl* control = ControlAtPos(ScreenToClient(TPoint(p)), false);
            cursor = control ? control->Cursor() : FCursor;
        }
        if (cursor != crDefault && Screen) {
            ::SetCursor(Screen->Cursors(cursor));
            Message.Result = 1;
            return;
        }
    }
    DefaultHandler(Message);
}

void TWinControl::WMMouseLeave(TMessage& Message) { DefaultHandler(Message); }

// ---- keys ----

bool TWinControl::DoKeyDown(TWMKey& Message) {
    TCustomForm* form = GetParentForm(this);
    if (form && form != static_cast<TWinControl*>(this) && form->KeyPreview() && form->DoKeyDown(Message)) return true;
    if (!FControlStyle.Contains(csNoStdEvents)) {
        WORD key = Message.CharCode();
        KeyDown(key, KeyDataToShiftState(Message.KeyData()));
        Message.SetCharCode(key);
        if (key == 0) return true;
    }
    return false;
}

bool TWinControl::DoKeyUp(TWMKey& Message) {
    TCustomForm* form = GetParentForm(this);
    if (form && form != static_cast<TWinControl*>(this) && form->KeyPreview() && form->DoKeyUp(Message)) return true;
    if (!FControlStyle.Contains(csNoStdEvents)) {
        WORD key = Message.CharCode();
        KeyUp(key, KeyDataToShiftState(Message.KeyData()));
        Message.SetCharCode(key);
        if (key == 0) return true;
    }
    return false;
}

bool TWinControl::DoKeyPress(TWMKey& Message) {
    TCustomForm* form = GetParentForm(this);
    if (form && form != static_cast<TWinControl*>(this) && form->KeyPreview() && form->DoKeyPress(Message)) return true;
    if (!FControlStyle.Contains(csNoStdEvents)) {
        rtl::Char ch = rtl::Char(Message.CharCode());
        KeyPress(ch);
        Message.SetCharCode(WORD(ch));
        if (ch == 0) return true;
    }
    return false;
}

void TWinControl::KeyDown(WORD& Key, TShiftState Shift) { OnKeyDown(this, Key, Shift); }
void TWinControl::KeyUp(WORD& Key, TShiftState Shift) { OnKeyUp(this, Key, Shift); }
void TWinControl::KeyPress(rtl::Char& Key) { OnKeyPress(this, Key); }

void TWinControl::WMKeyDown(TWMKey& Message) {
    if (!DoKeyDown(Message)) DefaultHandler(Message);
}
void TWinControl::WMKeyUp(TWMKey& Message) {
    if (!DoKeyUp(Message)) DefaultHandler(Message);
}
void TWinControl::WMChar(TWMKey& Message) {
    if (!DoKeyPress(Message)) DefaultHandler(Message);
}
void TWinControl::WMSysKeyDown(TWMKey& Message) {
    if (!DoKeyDown(Message)) DefaultHandler(Message);
}
void TWinControl::WMSysKeyUp(TWMKey& Message) {
    if (!DoKeyUp(Message)) DefaultHandler(Message);
}
void TWinControl::WMSysChar(TWMKey& Message) { DefaultHandler(Message); }

bool TWinControl::IsMenuKey(TWMKey& Message) {
    if (FComponentState.Contains(rtl::csDesigning)) return false;
    TCustomForm* form = GetParentForm(this);
    if (form && form->IsShortCut(Message)) return true;
    // The application's own shortcuts (the main form's, when another form is active).
    return ApplicationHooks().IsShortCut && ApplicationHooks().IsShortCut(Message);
}

void TWinControl::CNKeyDown(TWMKey& Message) {
    Message.Result = 1;
    if (IsMenuKey(Message)) return;
    if (!FComponentState.Contains(rtl::csDesigning)) {
        if (Perform(CM_CHILDKEY, Message.CharCode(), LPARAM(this)) != 0) return;
        LRESULT mask = 0;
        switch (Message.CharCode()) {
        case VK_TAB: mask = DLGC_WANTTAB; break;
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN: mask = DLGC_WANTARROWS; break;
        case VK_RETURN:
        case 0x2B:  // VK_EXECUTE
        case VK_ESCAPE:
        case VK_CANCEL: mask = DLGC_WANTALLKEYS; break;
        default: break;
        }
        if (mask != 0 && Perform(CM_WANTSPECIALKEY, Message.CharCode(), Message.LParam) == 0 &&
            (Perform(WM_GETDLGCODE) & mask) == 0) {
            TCustomForm* form = GetParentForm(this);
            if (form && form->Perform(CM_DIALOGKEY, Message.CharCode(), Message.LParam) != 0) return;
        }
    }
    Message.Result = 0;
}

void TWinControl::CNKeyUp(TWMKey& Message) { Message.Result = 0; }

void TWinControl::CNChar(TWMKey& Message) {
    Message.Result = 0;
    if (FComponentState.Contains(rtl::csDesigning)) return;
    // A character the control does not take may be a dialog character (an accelerator).
    if ((Perform(WM_GETDLGCODE) & DLGC_WANTCHARS) == 0) {
        TCustomForm* form = GetParentForm(this);
        if (form && form->Perform(CM_DIALOGCHAR, Message.CharCode(), Message.LParam) != 0) Message.Result = 1;
    }
}

void TWinControl::CNSysKeyDown(TWMKey& Message) {
    Message.Result = 1;
    if (IsMenuKey(Message)) return;
    if (!FComponentState.Contains(rtl::csDesigning)) {
        TCustomForm* form = GetParentForm(this);
        if (form && form->Perform(CM_DIALOGKEY, Message.CharCode(), Message.LParam) != 0) return;
    }
    Message.Result = 0;
}

void TWinControl::CNSysChar(TWMKey& Message) {
    Message.Result = 0;
    if (FComponentState.Contains(rtl::csDesigning) || Message.CharCode() == VK_SPACE) return;
    TCustomForm* form = GetParentForm(this);
    if (form && form->Perform(CM_DIALOGCHAR, Message.CharCode(), Message.LParam) != 0) Message.Result = 1;
}

void TWinControl::CMDialogKey(TCMDialogKey& Message) { Broadcast(Message); }
void TWinControl::CMDialogChar(TCMDialogChar& Message) { Broadcast(Message); }

void TWinControl::CMChildKey(TMessage& Message) {
    if (FParent) Message.Result = FParent->Perform(CM_CHILDKEY, Message.WParam, Message.LParam);
}

void TWinControl::CMFocusChanged(TCMFocusChanged& Message) { Broadcast(Message); }

void TWinControl::CMCancelMode(TCMCancelMode& Message) {
    (void)Message;
}

void TWinControl::DoEnter() { OnEnter(this); }
void TWinControl::DoExit() { OnExit(this); }

// ---- reflection: a parent hands its children's notifications back to them ----

void TWinControl::ReflectTo(HWND Child, TMessage& Message) {
    if (TWinControl* control = FindControl(Child); control && control != this) {
        Message.Result = control->Perform(CN_BASE + Message.Msg, Message.WParam, Message.LParam);
        return;
    }
    DefaultHandler(Message);
}

void TWinControl::WMCommand(TWMCommand& Message) {
    if (Message.Ctl()) {
        ReflectTo(Message.Ctl(), Message);
        return;
    }
    DefaultHandler(Message);
}

void TWinControl::WMNotify(TWMNotify& Message) {
    // NMHDR starts with the window the notification is about.
    HWND from = Message.NMHdr() ? *static_cast<HWND*>(Message.NMHdr()) : nullptr;
    if (from) {
        ReflectTo(from, Message);
        return;
    }
    DefaultHandler(Message);
}

namespace {
// The head of the platform's DRAWITEMSTRUCT and MEASUREITEMSTRUCT: the fields reflection reads.
struct DrawItemHead {
    UINT CtlType;
    UINT CtlID;
    UINT itemID;
    UINT itemAction;
    UINT itemState;
    HWND hwndItem;
};
struct MeasureItemHead {
    UINT CtlType;
    UINT CtlID;
};
constexpr UINT OdtMenu = 1;
} // namespace

void TWinControl::WMDrawItem(TWMDrawItem& Message) {
    const auto* head = static_cast<const DrawItemHead*>(Message.DrawItemStruct());
    if (head && head->CtlType != OdtMenu && head->hwndItem) {
        ReflectTo(head->hwndItem, Message);
        return;
    }
    DefaultHandler(Message);
}

void TWinControl::WMMeasureItem(TWMMeasureItem& Message) {
    const auto* head = static_cast<const MeasureItemHead*>(Message.MeasureItemStruct());
    if (head && head->CtlType != OdtMenu && FHandle) {
        if (HWND child = GetDlgItem(FHandle, int(head->CtlID))) {
            ReflectTo(child, Message);
            return;
        }
    }
    DefaultHandler(Message);
}

void TWinControl::WMCtlColor(TWMCtlColor& Message) { ReflectTo(Message.ChildWnd(), Message); }

void TWinControl::WMHScroll(TWMScroll& Message) {
    if (Message.ScrollBar()) {
        ReflectTo(Message.ScrollBar(), Message);
        return;
    }
    DefaultHandler(Message);
}

void TWinControl::WMVScroll(TWMScroll& Message) {
    if (Message.ScrollBar()) {
        ReflectTo(Message.ScrollBar(), Message);
        return;
    }
    DefaultHandler(Message);
}

// ---------------------------------------------------------------------------------------------------
// Focus and tab order

bool TWinControl::Focused() const { return FHandle && GetFocus() == FHandle; }

bool TWinControl::CanFocus() {
    TCustomForm* form = GetParentForm(this);
    if (!form) return false;
    for (TControl* c = this; c; c = c->FParent) {
        if (!(c->FVisible && c->Enabled())) return false;
        if (c == static_cast<TControl*>(form)) break;
    }
    return true;
}

void TWinControl::SetFocus() {
    if (TCustomForm* form = GetParentForm(this))
        form->FocusControl(this);
    else if (FParentWindow)
        ::SetFocus(Handle());
    else
        ValidParentForm(this);
}

void TWinControl::SetTabStop(bool Value) {
    if (FTabStop == Value) return;
    FTabStop = Value;
    if (FHandle) {
        LONG style = GetWindowLongW(FHandle, GWL_STYLE);
        SetWindowLongW(FHandle, GWL_STYLE, Value ? (style | WS_TABSTOP) : (style & ~LONG(WS_TABSTOP)));
    }
    Perform(CM_TABSTOPCHANGED);
}

int TWinControl::TabOrder() const {
    if (!FParent) return -1;
    const auto& list = FParent->FTabList;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : int(it - list.begin());
}

void TWinControl::SetTabOrder(int Value) {
    if (FComponentState.Contains(rtl::csLoading) || FComponentState.Contains(rtl::csReading)) {
        // Siblings created later are not there yet: put the list in order once loading ends.
        FTabOrderPending = Value;
        if (FParent) UpdateTabOrder(Value);
        return;
    }
    UpdateTabOrder(Value);
}

void TWinControl::UpdateTabOrder(int Value) {
    if (!FParent) return;
    auto& list = FParent->FTabList;
    const int current = TabOrder();
    if (current < 0) return;
    if (Value < 0 || Value >= int(list.size())) Value = int(list.size()) - 1;
    if (Value == current) return;
    list.erase(list.begin() + current);
    list.insert(list.begin() + Value, this);
}

void TWinControl::FixupTabList() {
    std::vector<std::pair<int, TWinControl*>> keyed;
    keyed.reserve(FTabList.size());
    for (size_t i = 0; i < FTabList.size(); ++i) {
        TWinControl* c = FTabList[i];
        keyed.emplace_back(c->FTabOrderPending >= 0 ? c->FTabOrderPending : int(i), c);
    }
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (size_t i = 0; i < keyed.size(); ++i) FTabList[i] = keyed[i].second;
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& List) {
    for (TWinControl* c : FTabList) {
        List.push_back(c);
        c->GetTabOrderList(List);
    }
}

TWinControl* TWinControl::FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop,
                                          bool CheckParent) {
    std::vector<TWinControl*> list;
    GetTabOrderList(list);
    if (list.empty()) return nullptr;
    const int count = int(list.size());
    int start = int(std::find(list.begin(), list.end(), CurControl) - list.begin());
    if (start == count) start = GoForward ? count - 1 : 0;
    int i = start;
    do {
        if (GoForward) {
            if (++i == count) i = 0;
        } else {
            if (i == 0) i = count;
            --i;
        }
        TWinControl* c = list[size_t(i)];
        if (c->CanFocus() && (!CheckTabStop || c->FTabStop) && (!CheckParent || c->FParent == this)) return c;
    } while (i != start);
    return nullptr;
}

void TWinControl::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop) {
    if (TWinControl* next = FindNextControl(CurControl, GoForward, CheckTabStop, !CheckTabStop)) next->SetFocus();
}

void TWinControl::SelectFirst() {
    TCustomForm* form = GetParentForm(this);
    if (!form) return;
    TWinControl* control = form->ActiveControl();
    if (!control || !ContainsControl(control)) {
        control = FindNextControl(nullptr, true, true, false);
        if (!control) control = FindNextControl(nullptr, true, false, false);
    }
    if (control) form->SetActiveControl(control);
}

// ---------------------------------------------------------------------------------------------------
// Canvases

namespace {
// Canvases drawing outside painting hold a DC of a window until idle time (or until the window goes).
std::vector<TControlCanvas*>& CanvasesWithDC() {
    static std::vector<TControlCanvas*> list;
    return list;
}
} // namespace

void FreeDeviceContexts(HWND Window) {
    for (TControlCanvas* canvas : std::vector<TControlCanvas*>(CanvasesWithDC()))
        if (!Window || canvas->FWindowHandle == Window) canvas->FreeHandle();
}

TControlCanvas::~TControlCanvas() { FreeHandle(); }

void TControlCanvas::SetControl(TControl* AControl) {
    if (FControl == AControl) return;
    FreeHandle();
    FControl = AControl;
}

void TControlCanvas::CreateHandle() {
    if (!FControl) return;
    if (FControl->IsWindowed()) {
        auto* win = static_cast<TWinControl*>(FControl);
        FWindowHandle = win->Handle();
        FDeviceContext = GetDCEx(FWindowHandle, nullptr, DCX_CACHE | DCX_CLIPSIBLINGS);
    } else {
        TWinControl* parent = FControl->Parent();
        if (!parent) return;
        FWindowHandle = parent->Handle();
        FDeviceContext = GetDCEx(FWindowHandle, nullptr, DCX_CACHE | DCX_CLIPSIBLINGS);
        SetViewportOrgEx(FDeviceContext, FControl->Left(), FControl->Top(), nullptr);
        IntersectClipRect(FDeviceContext, 0, 0, FControl->Width(), FControl->Height());
    }
    if (FDeviceContext) CanvasesWithDC().push_back(this);
    FHandle = FDeviceContext;
}

void TControlCanvas::PaintOn(HDC DC, const std::function<void()>& Paint) {
    FreeHandle();
    Lock();
    SetHandle(DC);
    struct Unbind {
        TControlCanvas* canvas;
        ~Unbind() {
            canvas->SetHandle(nullptr);
            canvas->Unlock();
        }
    } unbind{this};
    Paint();
}

void TControlCanvas::FreeHandle() {
    if (!FDeviceContext) return;
    HDC dc = FDeviceContext;
    HWND wnd = FWindowHandle;
    FDeviceContext = nullptr;
    FWindowHandle = nullptr;
    auto& list = CanvasesWithDC();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    if (FHandle == dc) SetHandle(nullptr);
    if (IsWindow(wnd)) ReleaseDC(wnd, dc);
}

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner), FCanvas(std::make_unique<TControlCanvas>()) {
    FCanvas->SetControl(this);
}

TGraphicControl::~TGraphicControl() { FCanvas->SetControl(nullptr); }

void TGraphicControl::Dispatch(TMessage& Message) {
    if (Message.Msg == WM_PAINT) {
        WMPaint(MessageAs<TWMPaint>(Message));
        return;
    }
    TControl::Dispatch(Message);
}

void TGraphicControl::WMPaint(TWMPaint& Message) {
    if (Message.DC()) FCanvas->PaintOn(Message.DC(), [this] { Paint(); });
}

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner), FCanvas(std::make_unique<TControlCanvas>()) {
    FCanvas->SetControl(this);
}

TCustomControl::~TCustomControl() { FCanvas->SetControl(nullptr); }

void TCustomControl::PaintWindow(HDC DC) { FCanvas->PaintOn(DC, [this] { Paint(); }); }

void TCustomControl::WMPaint(TWMPaint& Message) {
    FControlState.Include(csCustomPaint);
    try {
        TWinControl::WMPaint(Message);
    } catch (...) {
        FControlState.Exclude(csCustomPaint);
        throw;
    }
    FControlState.Exclude(csCustomPaint);
}

void TCustomControl::DestroyWindowHandle() {
    FCanvas->FreeHandle();
    TWinControl::DestroyWindowHandle();
}

} // namespace vcl
