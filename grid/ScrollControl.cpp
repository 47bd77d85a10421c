// grid/ScrollControl.cpp
#include "grid/ScrollControl.h"

#include "grid/DragBox.h"

#include "vcl/Forms.h"
#include "vcl/ResourceStream.h"

#include <cstdlib>

namespace grid {

using namespace vcl;

// ---- the bar model -------------------------------------------------------------------------------------

TRgCustomScrollBar::TRgCustomScrollBar(TRgCustomScrollControl* AOwnerScrollView, TCanvas* ACanvas)
    : FCanvas(ACanvas), FOwner(AOwnerScrollView) {}

void TRgCustomScrollBar::SetAutoHide(bool Value) {
    FAutoHide = Value;
    SetVisible(FMax != 0 || !FAutoHide);
    UpdateScrollBar();
}

void TRgCustomScrollBar::SetEnabled(bool Value) {
    FEnabled = Value;
    if (FOwner) EnableScrollBar(FOwner->Handle(), FBarFlag, Value ? ESB_ENABLE_BOTH : ESB_DISABLE_BOTH);
    UpdateScrollBar();
}

void TRgCustomScrollBar::SetKind(TScrollBarKind Value) {
    FKind = Value;
    FBarFlag = Value == skHorizontal ? SB_HORZ : SB_VERT;
}

void TRgCustomScrollBar::SetMax(int Value) {
    if (Value == FMax) return;
    FMax = Value < 0 ? 0 : Value;
    SetVisible(!(FPageSize >= FMax && FAutoHide));
    UpdateScrollBar();
    if (FMax < FPosition) SetPosition(FMax);
}

void TRgCustomScrollBar::SetMin(int Value) {
    FMin = Value < 0 ? 0 : Value;
    UpdateScrollBar();
}

void TRgCustomScrollBar::SetPageSize(int Value) {
    if (Value == FPageSize) return;
    FPageSize = Value <= 0 ? 1 : Value;
    UpdateScrollBar();
}

void TRgCustomScrollBar::SetPosition(int Value) {
    FOldPosition = FPosition;
    // One rule for every caller: no further than the last page (Max - PageSize + 1), as the scroll
    // messages clamp, so a direct move cannot scroll past the end of the content.
    const int Last = FMax - (FPageSize < 1 ? 1 : FPageSize) + 1;
    if (Value > Last) Value = Last;
    if (Value < FMin) Value = FMin;
    if (Value < 0) Value = 0;
    FPosition = Value;
    UpdateScrollBar();
    if (FUpdateCount > 0 || FManualScroll || !FOwner) return;
    if (FKind == skHorizontal)
        FOwner->ScrollContent(this, FOwner->GetHorzScrollDelta(FOldPosition, FPosition), 0);
    else
        FOwner->ScrollContent(this, 0, FOwner->GetVertScrollDelta(FOldPosition, FPosition));
}

void TRgCustomScrollBar::SyncPosition(int Value) {
    FOldPosition = FPosition;
    FPosition = Value < 0 ? 0 : Value;
    UpdateScrollBar();
}

void TRgCustomScrollBar::SetValues(int AMax, int APageSize, int ALargeChange) {
    FMax = AMax;
    FPageSize = APageSize;
    FLargeChange = ALargeChange;
    UpdateScrollBar();
}

void TRgCustomScrollBar::SendScroll(int Code) {
    if (FOwner) FOwner->Perform(FKind == skHorizontal ? WM_HSCROLL : WM_VSCROLL, WPARAM(Code), LPARAM(0));
}

void TRgCustomScrollBar::Prior() {
    if (FMax > 0 && FPosition > 0) SendScroll(SB_LINEUP);
}

void TRgCustomScrollBar::Next() {
    if (FMax > 0) SendScroll(SB_LINEDOWN);
}

void TRgCustomScrollBar::PageUp() {
    if (FMax > 0) SendScroll(SB_PAGEUP);
}

void TRgCustomScrollBar::PageDown() {
    if (FMax > 0) SendScroll(SB_PAGEDOWN);
}

void TRgCustomScrollBar::Assign(rtl::TPersistent* Source) {
    // One model taking another's values is accepted and changes nothing: the owner keeps its own.
    if (dynamic_cast<TRgCustomScrollBar*>(Source)) return;
    rtl::TPersistent::Assign(Source);
}

int TRgCustomScrollBar::GetTrackPos() const {
    if (!FOwner || !FOwner->HandleAllocated()) return FShownPosition;
    SCROLLINFO Info{};
    Info.cbSize = sizeof(SCROLLINFO);
    Info.fMask = SIF_TRACKPOS;
    GetScrollInfo(FOwner->WindowHandle(), FBarFlag, &Info);
    return Info.nTrackPos;
}

// ---- the window's bar ----------------------------------------------------------------------------------

void TRgScrollBar::SetVisible(bool Value) {
    TRgCustomScrollBar::SetVisible(Value);
    if (FOwner) ShowScrollBar(FOwner->Handle(), FBarFlag, Value);
}

void TRgScrollBar::UpdateScrollBar() {
    if (IsUpdating) return;
    IsUpdating = true;
    const int Previous = GetTrackPos();
    if (FOwner && FOwner->HandleAllocated()) {
        SCROLLINFO Info{};
        Info.cbSize = sizeof(SCROLLINFO);
        Info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        if (!FAutoHide) Info.fMask |= SIF_DISABLENOSCROLL;
        Info.nMin = FMin;
        Info.nMax = FMax;
        Info.nPage = UINT(FPageSize);
        Info.nPos = FPosition;
        if (FMax > 0)
            EnableScrollBar(FOwner->WindowHandle(), FBarFlag,
                            FOwner->Enabled() && FEnabled ? ESB_ENABLE_BOTH : ESB_DISABLE_BOTH);
        SetScrollInfo(FOwner->WindowHandle(), FBarFlag, &Info, TRUE);
        FShownPosition = GetTrackPos();
    } else {
        FShownPosition = FPosition;
    }
    if (Previous != FPosition) {
        if (auto* Control = dynamic_cast<TRgScrollControl*>(FOwner)) {
            if (FKind == skHorizontal)
                Control->HorzScrollChanged(FPosition);
            else
                Control->VertScrollChanged(FPosition);
        }
    }
    IsUpdating = false;
}

// ---- the controls --------------------------------------------------------------------------------------

void TRgCustomScrollControl::ScrollContent(TRgCustomScrollBar* Bar, int DeltaX, int DeltaY) {
    BeforeScroll(Bar->Kind(), DeltaX, DeltaY);
    if (HandleAllocated() && (DeltaX != 0 || DeltaY != 0)) {
        const RECT Clip = DeltaX != 0 ? RECT(FHorzScrollClipRect) : RECT(FVertScrollClipRect);
        // Only what lies inside the clip moves: the header above the rows (or the fixed columns left of
        // the scrolled ones) would otherwise slide into the rows when they scroll back.
        ScrollWindowEx(WindowHandle(), DeltaX, DeltaY, &Clip, &Clip, nullptr, nullptr, SW_INVALIDATE);
    }
    AfterScroll(Bar->Kind());
}

void TRgCustomScrollControl::FocusWindow() {
    if (GetParentForm(this)) ::SetFocus(Handle());
}

void TRgCustomScrollControl::SelectNextInParent() {
    if (Parent()) PostMessageW(Parent()->Handle(), WM_KEYDOWN, VK_TAB, 0);
}

void TRgCustomScrollControl::SelectPriorInParent() {
    if (!Parent()) return;
    PostMessageW(Parent()->Handle(), WM_KEYDOWN, VK_SHIFT, 0);
    PostMessageW(Parent()->Handle(), WM_KEYDOWN, VK_TAB, 0);
}

TRgScrollControl::TRgScrollControl(rtl::TComponent* AOwner) : TRgCustomScrollControl(AOwner) {
    FHorzScrollBar = std::make_unique<TRgScrollBar>(this, nullptr);
    FVertScrollBar = std::make_unique<TRgScrollBar>(this, nullptr);
    FRollShadow = new TRollShadow(this);
    FRollShadow->SetParent(this);
    FRollTimer = new TTimer(this);
    FRollTimer->SetEnabled(false);
    FRollTimer->SetInterval(1);
    FRollTimer->SetOnTimer(TNotifyEvent(this, &TRgScrollControl::RollTimerTick));
    FHorzScrollBar->SetKind(skHorizontal);
    FVertScrollBar->SetKind(skVertical);
    // Without the pictures the arrow shows.
    if (Screen)
        for (auto [Cursor, Name] : {std::pair{crRoll, u"ROLL"}, {crRollUp, u"ROLLUP"}, {crRollDown, u"ROLLDOWN"}})
            Screen->SetCursors(Cursor, LoadCursorW(HInstance, Name));
}

void TRgScrollControl::ShowRollMarker(const TPoint& ClientPoint, TCursor Cursor) {
    FRollShadow->SetCursor(Cursor);
    FRollShadow->SetPosition(ClientToScreen(ClientPoint));
    FRollShadow->SetVisible(true);
}

void TRgScrollControl::HideRollMarker() { FRollShadow->SetVisible(false); }

TRgScrollControl::~TRgScrollControl() {
    // The bars talk to the window: they go before it does.
    FHorzScrollBar.reset();
    FVertScrollBar.reset();
}

void TRgScrollControl::HorzScrollChanged(int Position) {
    (void)Position;
    if (OnHorizontalScroll) OnHorizontalScroll(this, FHorzScrollBar->Position());
}

void TRgScrollControl::VertScrollChanged(int Position) {
    (void)Position;
    if (OnVerticalScroll) OnVerticalScroll(this, FVertScrollBar->Position());
}

void TRgScrollControl::CreateParams(TCreateParams& Params) {
    TRgCustomScrollControl::CreateParams(Params);
    Params.Style |= WS_HSCROLL | WS_VSCROLL | WS_CLIPCHILDREN;
}

void TRgScrollControl::CreateWnd() {
    TRgCustomScrollControl::CreateWnd();
    if (FHorzScrollBar) FHorzScrollBar->UpdateScrollBar();
    if (FVertScrollBar) FVertScrollBar->UpdateScrollBar();
}

void TRgScrollControl::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_ERASEBKGND: Message.Result = 1; return;
    case WM_GETDLGCODE: Message.Result = DLGC_WANTARROWS; return;
    case WM_HSCROLL:
        if (Message.LParam == 0) {
            WMScroll(MessageAs<TWMScroll>(Message), FHorzScrollBar.get());
            return;
        }
        break;
    case WM_VSCROLL:
        if (Message.LParam == 0) {
            WMScroll(MessageAs<TWMScroll>(Message), FVertScrollBar.get());
            return;
        }
        break;
    default: break;
    }
    TRgCustomScrollControl::Dispatch(Message);
}

void TRgScrollControl::WMScroll(TWMScroll& Message, TRgCustomScrollBar* Bar) {
    TRgCustomScrollControl::Dispatch(Message);
    const int Code = Message.ScrollCode();
    switch (Code) {
    case SB_LINEUP:
    case SB_LINEDOWN: Bar->FScrollKind = rkLine; break;
    case SB_PAGEUP:
    case SB_PAGEDOWN: Bar->FScrollKind = rkPage; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: Bar->FScrollKind = rkThumb; break;
    case SB_TOP:
    case SB_BOTTOM: Bar->FScrollKind = rkTopBottom; break;
    default: break;
    }
    bool HasTarget = true;
    int Target = 0;
    switch (Code) {
    case SB_LINEUP: Target = Bar->Position() - Bar->SmallChange(); break;
    case SB_LINEDOWN: Target = Bar->Position() + Bar->SmallChange(); break;
    case SB_PAGEUP: Target = Bar->Position() - Bar->LargeChange(); break;
    case SB_PAGEDOWN: Target = Bar->Position() + Bar->LargeChange(); break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: Target = Bar->GetTrackPos(); break;
    case SB_TOP: Target = 0; break;
    case SB_BOTTOM: Target = Bar->Max(); break;
    default: HasTarget = false; break;
    }
    if (HasTarget) {
        if (Target < 1) Target = 0;
        if (Target > Bar->Max() - Bar->PageSize()) Target = Bar->Max() - Bar->PageSize() + 1;
        Bar->SetPosition(Target);
    }
    // Every scroll message is reported, the end of a scroll too.
    if (Bar->Kind() == skHorizontal)
        HorzScrollChanged(Bar->Position());
    else
        VertScrollChanged(Bar->Position());
    Message.Result = 0;
}

void TRgScrollControl::CMEnabledChanged(TMessage& Message) {
    TRgCustomScrollControl::CMEnabledChanged(Message);
    Invalidate();
    FHorzScrollBar->UpdateScrollBar();
    FVertScrollBar->UpdateScrollBar();
}

void TRgScrollControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TRgCustomScrollControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbMiddle || !FScrollStyle.Contains(rsRoll)) return;
    FViewState.Include(vsRolling);
    FRollPoint = TPoint(X, Y);
    ShowRollMarker(FRollPoint, crRoll);
    FRollTimer->SetInterval(1);
    FRollTimer->SetEnabled(true);
    if (HandleAllocated()) SetCapture(WindowHandle());
}

void TRgScrollControl::MouseMove(TShiftState Shift, int X, int Y) {
    TRgCustomScrollControl::MouseMove(Shift, X, Y);
    if (!FViewState.Contains(vsRolling)) return;
    FRollDirection = {};
    const int Dy = Y - FRollPoint.Y;
    TCursor Cursor = crRoll;
    if (Dy < -5) {
        Cursor = crRollUp;
        FRollDirection.Include(rdUp);
    } else if (Dy > 5) {
        Cursor = crRollDown;
        FRollDirection.Include(rdDown);
    }
    if (Screen) Screen->SetCursor(Cursor);
    ShowRollMarker(FRollPoint, Cursor);
}

void TRgScrollControl::RollTimerTick(rtl::TObject*) {
    TPoint Cursor = Mouse->CursorPos();
    if (HandleAllocated()) {
        POINT P{Cursor.X, Cursor.Y};
        ::ScreenToClient(WindowHandle(), &P);
        Cursor = TPoint(P.x, P.y);
    }
    const int Dy = Cursor.Y - FRollPoint.Y;
    // The farther the pointer from where the roll started, the faster it goes.
    const int Interval = 100 - std::abs(Dy);
    FRollTimer->SetInterval(UINT(Interval < 1 ? 1 : Interval));
    if (FRollDirection.Contains(rdUp)) FVertScrollBar->Prior();
    if (FRollDirection.Contains(rdDown)) FVertScrollBar->Next();
}

void TRgScrollControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TRgCustomScrollControl::MouseUp(Button, Shift, X, Y);
    if (!FViewState.Contains(vsRolling)) return;
    FRollTimer->SetEnabled(false);
    FViewState.Exclude(vsRolling);
    FRollDirection = {};
    HideRollMarker();
    if (Screen) Screen->SetCursor(crDefault);
    if (HandleAllocated() && GetCapture() == WindowHandle()) ReleaseCapture();
}

bool TRgScrollControl::DoMouseWheelDown(TShiftState Shift, const TPoint& MousePos) {
    if (FMouseWheelEnabled) return true;
    return TRgCustomScrollControl::DoMouseWheelDown(Shift, MousePos);
}

bool TRgScrollControl::DoMouseWheelUp(TShiftState Shift, const TPoint& MousePos) {
    if (FMouseWheelEnabled) return true;
    return TRgCustomScrollControl::DoMouseWheelUp(Shift, MousePos);
}

} // namespace grid
