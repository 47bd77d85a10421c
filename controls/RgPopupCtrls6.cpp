#include "controls/RgPopupCtrls6.h"

#include <algorithm>

namespace controls {

// ---- TRgPopupControl6 ----

TRgPopupControl6::TRgPopupControl6(rtl::TComponent* AOwner) : TRgScrollControl6(AOwner) {
    FDropDown = dynamic_cast<IRgDropDown*>(AOwner);
    SetControlStyle(ControlStyle() + vcl::TControlStyle{vcl::csAcceptsControls, vcl::csNoDesignVisible});
    SetBorderSize(1);
    SetScrollBars({});
    SetVisible(false);
}

void TRgPopupControl6::SetShowShadow(bool Value) {
    if (Value == FShowShadow) return;
    FShowShadow = Value;
    RecreateWnd();
}

void TRgPopupControl6::CreateParams(vcl::TCreateParams& Params) {
    TRgScrollControl6::CreateParams(Params);
    Params.WndParent = GetDesktopWindow();
    Params.Style = WS_CHILD | WS_CLIPSIBLINGS | WS_MAXIMIZEBOX;
    Params.ExStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
    Params.WindowClass.style = CS_SAVEBITS | CS_DBLCLKS;
    if (FShowShadow) Params.WindowClass.style |= CS_DROPSHADOW;
}

void TRgPopupControl6::CreateWnd() {
    TRgScrollControl6::CreateWnd();
    ::SetParent(WindowHandle(), nullptr);
}

void TRgPopupControl6::WndProc(vcl::TMessage& Message) {
    if (Message.Msg == vcl::CM_RELEASE) {
        // Posted by Release: the message that closed the list is done, and nothing below touches Self.
        if (FReleasePending) delete this;
        return;
    }
    ++FHandling;
    try {
        TRgScrollControl6::WndProc(Message);
    } catch (...) {
        --FHandling;
        throw;
    }
    --FHandling;
}

void TRgPopupControl6::Release() {
    if (FHandling == 0 || !HandleAllocated()) {
        delete this;
        return;
    }
    if (FReleasePending) return;
    FReleasePending = true;
    if (GetCapture() == WindowHandle()) ReleaseCapture();
    ShowWindow(WindowHandle(), SW_HIDE);
    PostMessageW(WindowHandle(), vcl::CM_RELEASE, 0, 0);
}

void TRgPopupControl6::Dispatch(vcl::TMessage& Message) {
    switch (Message.Msg) {
    case WM_NCPAINT: PaintFrame(); return;
    case WM_MOUSEACTIVATE:
        // A click in the list must leave the focus with its owner, whose focus loss would close it.
        Message.Result = MA_NOACTIVATE;
        return;
    case WM_NCMOUSELEAVE:
        DefaultHandler(Message);
        TakeCapture();
        return;
    default: TRgScrollControl6::Dispatch(Message);
    }
}

void TRgPopupControl6::PaintFrame() {
    if (!HandleAllocated()) return;
    HWND wnd = WindowHandle();
    RECT wr;
    GetWindowRect(wnd, &wr);
    RECT r{0, 0, wr.right - wr.left, wr.bottom - wr.top};
    HDC dc = GetWindowDC(wnd);
    HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(vcl::ColorToRGB(GetSchemeColor6(18))));
    FrameRect(dc, &r, brush);
    DeleteObject(brush);
    ReleaseDC(wnd, dc);
}

void TRgPopupControl6::Popup(int X, int Y, TRgPopupAnchor Anchor) {
    HandleNeeded();
    BeforePopup();
    const int w = Width(), h = Height();
    const RECT r = Anchor == paLeft ? RECT{X, Y, X + w, Y + h} : RECT{X - w, Y, X, Y + h};
    int x = r.left, y = Y;
    MONITORINFO mi{};
    mi.cbSize = sizeof(mi);
    GetMonitorInfoW(MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), &mi);
    const RECT& wa = mi.rcWork;
    if (r.left < wa.left) x = wa.left;
    if (r.right > wa.right) x = wa.right - w;
    if (r.top < wa.top) y = wa.top;
    if (r.bottom > wa.bottom) y = wa.bottom - h;
    // Pushed up from below the owner and still overlapping it: open above the owner instead.
    const auto* owner = dynamic_cast<vcl::TControl*>(Owner());
    const int ownerHeight = owner ? owner->Height() : 0;
    if (y < Y && y + h > Y + ownerHeight) y = Y - h - ownerHeight;
    SetWindowPos(WindowHandle(), HWND_TOPMOST, x, y, w, h, SWP_SHOWWINDOW | SWP_NOACTIVATE);
    SetVisible(true);
    AfterPopup();
    Repaint();
    if (CursorOutside()) TakeCapture();
}

bool TRgPopupControl6::CursorOutside() {
    if (!HandleAllocated()) return false;
    POINT p;
    GetCursorPos(&p);
    RECT wr;
    GetWindowRect(WindowHandle(), &wr);
    return !PtInRect(&wr, p);
}

void TRgPopupControl6::TakeCapture() {
    if (HandleAllocated() && !FReleasePending) ::SetCapture(WindowHandle());
}

bool TRgPopupControl6::InWindow(int X, int Y) {
    RECT wr;
    GetWindowRect(WindowHandle(), &wr);
    const vcl::TPoint p = ClientToScreen(vcl::TPoint(X, Y));
    return PtInRect(&wr, POINT{p.X, p.Y});
}

void TRgPopupControl6::CMMouseEnter(vcl::TCMMouseEnterLeave& Message) {
    TRgScrollControl6::CMMouseEnter(Message);
    if (HandleAllocated() && GetCapture() == WindowHandle()) ReleaseCapture();
}

void TRgPopupControl6::CMMouseLeave(vcl::TCMMouseEnterLeave& Message) {
    TRgScrollControl6::CMMouseLeave(Message);
    if (CursorOutside()) TakeCapture();
}

void TRgPopupControl6::RequestClose() {
    FPopupState.Include(psClosing);
    if (FDropDown) FDropDown->SetDroppedDown(false);
}

void TRgPopupControl6::Close(const rtl::String&) {
    if (FDropDown && FDropDown->GetAutoClose()) RequestClose();
}

void TRgPopupControl6::MouseDown(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y) {
    TRgScrollControl6::MouseDown(Button, Shift, X, Y);
    FMouseDown = true;
    if (!InClient(X, Y) && !InWindow(X, Y) && FDropDown) {
        FPopupState.Include(psClosing);
        FDropDown->SetDroppedDown(false);
    }
}

void TRgPopupControl6::MouseUp(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y) {
    if (ComponentState().Contains(rtl::csDestroying) || FPopupState.Contains(psClosing)) return;
    TRgScrollControl6::MouseUp(Button, Shift, X, Y);
    if (FMouseDown && InClient(X, Y)) {
        if (FDropDown)
            RequestClose();
        else
            FMouseDown = false;
        return;
    }
    if (!InWindow(X, Y)) TakeCapture();
    FMouseDown = false;
}

// ---- TRgEditPopupControl6 ----

TRgEditPopupControl6::TRgEditPopupControl6(rtl::TComponent* AOwner)
    : TRgPopupControl6(AOwner), FEdit(dynamic_cast<vcl::TCustomEdit*>(AOwner)) {}

void TRgEditPopupControl6::Close(const rtl::String& Value) {
    if (FEdit) FEdit->SetText(Value);
    TRgPopupControl6::Close(Value);
}

// ---- TRgListPopupControl6 ----

int TRgListPopupControl6::GetPageItemCount() { return std::min(GetDropDownCount(), GetCount()); }

void TRgListPopupControl6::KeyDown(WORD& Key, vcl::TShiftState Shift) {
    TRgEditPopupControl6::KeyDown(Key, Shift);
    const int p = TopIndex(), n = GetPageItemCount(), index = GetItemIndex();
    if (Key == VK_PRIOR)
        SetItemIndex(std::max(p < index ? p : index - n, 0));
    else if (Key == VK_NEXT)
        SetItemIndex(std::min(index < p + n - 1 ? p + n - 1 : index + n, GetCount() - 1));
}

void TRgListPopupControl6::ScrollToItem(int Index) {
    const int p = TopIndex();
    if (Index < p)
        VertScrollBar()->MoveBy(Index - p);
    else if (Index > p + GetPageItemCount() - 1)
        VertScrollBar()->SetPosition(Index - GetDropDownCount() + 1);
}

bool TRgListPopupControl6::DrawItem(int Index, const vcl::TRect& Rect, vcl::TOwnerDrawState State) {
    if (IRgStringsControl* s = Strings()) return s->DrawItem(Index, Rect, State);
    return true;
}

void TRgListPopupControl6::Paint() { Canvas()->Font()->Assign(Font()); }

// ---- TRgStringsPopupControl6 ----

TRgStringsPopupControl6::TRgStringsPopupControl6(rtl::TComponent* AOwner) : TRgListPopupControl6(AOwner) {
    SetScrollBars({vcl::sbVertical});
    SetBounds(Left(), Top(), 200, 200);
}

int TRgStringsPopupControl6::GetCount() {
    IRgStringsControl* s = Strings();
    return s && s->GetItems() ? s->GetItems()->Count() : 0;
}

int TRgStringsPopupControl6::GetDropDownCount() {
    IRgStringsControl* s = Strings();
    return s ? s->GetDropDownCount() : 0;
}

int TRgStringsPopupControl6::GetItemIndex() {
    IRgStringsControl* s = Strings();
    return s ? s->GetItemIndex() : -1;
}

void TRgStringsPopupControl6::SetItemIndex(int Value) {
    if (IRgStringsControl* s = Strings()) s->ChangeItemIndex(Value, true);
}

// An owner's item height below one pixel would make every row hit test divide by zero.
int TRgStringsPopupControl6::ItemHeight() {
    IRgStringsControl* s = Strings();
    return s ? std::max(s->GetItemHeight(), 1) : 1;
}

void TRgStringsPopupControl6::UpdateScrollBar() { VertScrollBar()->SetValues(GetCount() - 1, GetPageItemCount()); }

void TRgStringsPopupControl6::BeforePopup() {
    IRgStringsControl* s = Strings();
    const int listWidth = s ? s->GetListWidth() : 0;
    if (listWidth != 0)
        SetWidth(listWidth);
    else if (FEdit)
        SetWidth(FEdit->Width());
    if (GetCount() == 0) {
        SetClientHeight(2);
        return;
    }
    SetClientHeight(ItemHeight() * GetPageItemCount());
    UpdateScrollBar();
    VertScrollBar()->SetPosition(GetItemIndex() - GetDropDownCount() + 1);
    SetHotIndex(GetItemIndex());
}

void TRgStringsPopupControl6::UpdatePopup() {
    SetHotIndex(GetItemIndex());
    ScrollToItem(GetItemIndex());
    Repaint();
}

void TRgStringsPopupControl6::Paint() {
    TRgListPopupControl6::Paint();
    const int count = GetCount();
    if (count == 0) {
        FillBackground(ClientRect(), vcl::clNone);
        return;
    }
    const int h = ItemHeight(), clientWidth = ClientWidth(), clientHeight = ClientHeight();
    for (int row = TopIndex(), y = 0; row < count; ++row, y += h) {
        const vcl::TRect r(0, y, clientWidth, y + h);
        DrawItem(row, r, row == FHotIndex ? vcl::TOwnerDrawState{vcl::odSelected, vcl::odHotLight}
                                          : vcl::TOwnerDrawState{});
        if (r.Bottom > clientHeight) break;
    }
}

void TRgStringsPopupControl6::MouseMove(vcl::TShiftState Shift, int X, int Y) {
    TRgListPopupControl6::MouseMove(Shift, X, Y);
    if (InClient(X, Y)) SetHotIndex(RowAt(Y));
}

void TRgStringsPopupControl6::MouseUp(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y) {
    // A release after the list was closed (by a press outside) picks nothing.
    if (!FPopupState.Contains(psClosing) && InClient(X, Y)) SetItemIndex(RowAt(Y));
    TRgListPopupControl6::MouseUp(Button, Shift, X, Y);
}

void TRgStringsPopupControl6::SetHotIndex(int Value) {
    if (Value == FHotIndex) return;
    InvalidateItem(FHotIndex);
    FHotIndex = Value;
    InvalidateItem(FHotIndex);
}

void TRgStringsPopupControl6::InvalidateItem(int Index) {
    if (Index < 0 || Index > GetCount() - 1) return;
    const int h = ItemHeight(), top = h * (Index - TopIndex());
    InvalidateRectNoErase(vcl::TRect(0, top, ClientWidth(), top + h));
}

void TRgStringsPopupControl6::DoContentScroll(int DeltaX, int DeltaY) {
    TRgListPopupControl6::DoContentScroll(DeltaX, DeltaY);
    if (!HandleAllocated() || DeltaY == 0) return;
    const RECT client = ClientRect();
    ScrollWindowEx(WindowHandle(), 0, -ItemHeight() * DeltaY, &client, &client, nullptr, nullptr, SW_INVALIDATE);
}

} // namespace controls
