// vcl/ScrollBox.cpp: the window's own scroll bars over its content, scrolling windows, the scroll box.
#include "vcl/ScrollBox.h"
#include "vcl/Forms.h"

#include <algorithm>

namespace vcl {

// ---- TControlScrollBar ----

TControlScrollBar::TControlScrollBar(TScrollingWinControl* AControl, TScrollBarKind AKind)
    : FControl(AControl), FKind(AKind) {}

void TControlScrollBar::Assign(rtl::TPersistent* Source) {
    auto* source = dynamic_cast<TControlScrollBar*>(Source);
    if (!source) {
        rtl::TPersistent::Assign(Source);
        return;
    }
    FIncrement = source->FIncrement;
    FMargin = source->FMargin;
    FVisible = source->FVisible;
    FTracking = source->FTracking;
    SetRange(source->FRange);
    SetPosition(source->FPosition);
}

int TControlScrollBar::ControlSize() {
    // The client area as it is, the other bar already taken off.
    return FKind == sbHorizontal ? FControl->ClientWidth() : FControl->ClientHeight();
}

int TControlScrollBar::ScrollRange() { return std::max(0, FRange - ControlSize()); }

bool TControlScrollBar::IsScrollBarVisible() {
    if (!FVisible || !FControl->HandleAllocated()) return false;
    const LONG style = GetWindowLongW(FControl->WindowHandle(), GWL_STYLE);
    return (style & (FKind == sbHorizontal ? WS_HSCROLL : WS_VSCROLL)) != 0;
}

void TControlScrollBar::SetRange(int Value) {
    // A range set by hand ends the automatic one.
    FControl->FAutoScroll = false;
    DoSetRange(Value);
}

void TControlScrollBar::DoSetRange(int Value) {
    FRange = std::max(Value, 0);
    FControl->UpdateScrollBars();
}

void TControlScrollBar::SetMargin(int Value) {
    FMargin = Value;
    if (FControl->FAutoScroll) FControl->CalcAutoRange();
}

void TControlScrollBar::SetVisible(bool Value) {
    FVisible = Value;
    FControl->UpdateScrollBars();
}

void TControlScrollBar::SetPosition(int Value) {
    Value = std::clamp(Value, 0, std::max(0, FVisible ? ScrollRange() : 0));
    const int bar = FKind == sbHorizontal ? SB_HORZ : SB_VERT;
    if (Value != FPosition) {
        const int old = FPosition;
        FPosition = Value;
        if (FKind == sbHorizontal) FControl->ScrollBy(old - Value, 0);
        else FControl->ScrollBy(0, old - Value);
    }
    if (FControl->HandleAllocated() && GetScrollPos(FControl->WindowHandle(), bar) != FPosition)
        SetScrollPos(FControl->WindowHandle(), bar, FPosition, TRUE);
}

void TControlScrollBar::CalcAutoRange() {
    if (!FControl->FAutoScroll) return;
    // The far edge of the children that stay put on this side, plus those aligned to the far side.
    int range = 0, alignMargin = 0;
    for (int i = 0; i < FControl->ControlCount(); ++i) {
        TControl* c = FControl->Controls(i);
        if (!c->Visible()) continue;
        if (FKind == sbHorizontal) {
            if (c->Align() == alLeft || (c->Align() == alNone && (c->Anchors() * TAnchors{akLeft, akRight}) == TAnchors{akLeft}))
                range = std::max(range, FPosition + c->Left() + c->Width());
            else if (c->Align() == alRight)
                alignMargin += c->Width();
        } else {
            if (c->Align() == alTop || (c->Align() == alNone && (c->Anchors() * TAnchors{akTop, akBottom}) == TAnchors{akTop}))
                range = std::max(range, FPosition + c->Top() + c->Height());
            else if (c->Align() == alBottom)
                alignMargin += c->Height();
        }
    }
    DoSetRange(range + alignMargin + FMargin);
}

void TControlScrollBar::ScrollMessage(TWMScroll& Message) {
    auto trackPos = [&] {
        SCROLLINFO si{};
        si.cbSize = sizeof(si);
        si.fMask = SIF_TRACKPOS;
        GetScrollInfo(FControl->WindowHandle(), FKind == sbHorizontal ? SB_HORZ : SB_VERT, &si);
        return si.nTrackPos;
    };
    switch (Message.ScrollCode()) {
    case SB_LINEUP: SetPosition(FPosition - FIncrement); break;
    case SB_LINEDOWN: SetPosition(FPosition + FIncrement); break;
    case SB_PAGEUP: SetPosition(FPosition - ControlSize()); break;
    case SB_PAGEDOWN: SetPosition(FPosition + ControlSize()); break;
    case SB_THUMBPOSITION: SetPosition(trackPos()); break;
    case SB_THUMBTRACK:
        if (FTracking) SetPosition(trackPos());
        break;
    case SB_TOP: SetPosition(0); break;
    case SB_BOTTOM: SetPosition(ScrollRange()); break;
    default: break;
    }
}

void TControlScrollBar::Update() {
    if (!FControl->HandleAllocated()) return;
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_ALL;
    si.nMin = 0;
    // A page of the client size plus one over a maximum of the range: the bar shows while the range is
    // larger than the client.
    si.nMax = FVisible ? FRange : 0;
    si.nPage = UINT(ControlSize() + 1);
    si.nPos = FPosition;
    SetScrollInfo(FControl->WindowHandle(), FKind == sbHorizontal ? SB_HORZ : SB_VERT, &si, TRUE);
}

// ---- TScrollingWinControl ----

TScrollingWinControl::TScrollingWinControl(TComponent* AOwner)
    : TWinControl(AOwner),
      FHorzScrollBar(std::make_unique<TControlScrollBar>(this, sbHorizontal)),
      FVertScrollBar(std::make_unique<TControlScrollBar>(this, sbVertical)) {}

TScrollingWinControl::~TScrollingWinControl() = default;

void TScrollingWinControl::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    Params.Style &= ~DWORD(WS_HSCROLL | WS_VSCROLL);
}

void TScrollingWinControl::CreateWnd() {
    TWinControl::CreateWnd();
    UpdateScrollBars();
}

void TScrollingWinControl::SetAutoScroll(bool Value) {
    if (FAutoScroll == Value) return;
    FAutoScroll = Value;
    if (Value) {
        CalcAutoRange();
    } else {
        FHorzScrollBar->DoSetRange(0);
        FVertScrollBar->DoSetRange(0);
    }
}

void TScrollingWinControl::DisableAutoRange() { ++FAutoRangeCount; }

void TScrollingWinControl::EnableAutoRange() {
    if (FAutoRangeCount > 0 && --FAutoRangeCount == 0) CalcAutoRange();
}

void TScrollingWinControl::CalcAutoRange() {
    if (FAutoRangeCount > 0) return;
    FHorzScrollBar->CalcAutoRange();
    FVertScrollBar->CalcAutoRange();
}

void TScrollingWinControl::UpdateScrollBars() {
    if (FUpdatingScrollBars || !HandleAllocated()) return;
    FUpdatingScrollBars = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{FUpdatingScrollBars};
    // Showing one bar narrows the client for the other: twice settles both.
    for (int pass = 0; pass < 2; ++pass) {
        FVertScrollBar->Update();
        FHorzScrollBar->Update();
    }
    // A smaller range or a larger client pulls the content back.
    FHorzScrollBar->SetPosition(FHorzScrollBar->Position());
    FVertScrollBar->SetPosition(FVertScrollBar->Position());
}

void TScrollingWinControl::AlignControls(TControl* AControl, TRect& Rect) {
    TWinControl::AlignControls(AControl, Rect);
    CalcAutoRange();
}

void TScrollingWinControl::Resize() {
    UpdateScrollBars();
    TWinControl::Resize();
}

void TScrollingWinControl::ScrollBy(int DeltaX, int DeltaY) {
    if (DeltaX == 0 && DeltaY == 0) return;
    DisableAlign();
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        c->SetBounds(c->Left() + DeltaX, c->Top() + DeltaY, c->Width(), c->Height());
    }
    // Moving the children is not a new arrangement.
    FControlState.Exclude(csAlignmentNeeded);
    EnableAlign();
    Invalidate();
}

void TScrollingWinControl::ScrollInView(TControl* AControl) {
    if (!AControl || !ContainsControl(AControl) || !AControl->Parent()) return;
    // The whole control, its border too, with the bars' margins around it.
    TWinControl* parent = AControl->Parent();
    const TPoint topLeft = ScreenToClient(parent->ClientToScreen(TPoint(AControl->Left(), AControl->Top())));
    TRect r(topLeft.X - FHorzScrollBar->Margin(), topLeft.Y - FVertScrollBar->Margin(),
            topLeft.X + AControl->Width() + FHorzScrollBar->Margin(),
            topLeft.Y + AControl->Height() + FVertScrollBar->Margin());
    const int width = ClientWidth(), height = ClientHeight();
    if (r.Left < 0) {
        FHorzScrollBar->SetPosition(FHorzScrollBar->Position() + r.Left);
    } else if (r.Right > width) {
        // Wider than the client: its left edge shows.
        if (r.Width() > width) r.Right = r.Left + width;
        FHorzScrollBar->SetPosition(FHorzScrollBar->Position() + r.Right - width);
    }
    if (r.Top < 0) {
        FVertScrollBar->SetPosition(FVertScrollBar->Position() + r.Top);
    } else if (r.Bottom > height) {
        if (r.Height() > height) r.Bottom = r.Top + height;
        FVertScrollBar->SetPosition(FVertScrollBar->Position() + r.Bottom - height);
    }
}

void TScrollingWinControl::AutoScrollInView(TControl* AControl) {
    if (AControl && !AControl->ComponentState().Contains(rtl::csLoading) &&
        !ComponentState().Contains(rtl::csLoading) && !ComponentState().Contains(rtl::csDestroying))
        ScrollInView(AControl);
}

void TScrollingWinControl::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_HSCROLL:
    case WM_VSCROLL:
        // The window's own bars (a child scroll bar's message goes back to that child).
        if (Message.LParam == 0) {
            (Message.Msg == WM_HSCROLL ? FHorzScrollBar : FVertScrollBar)->ScrollMessage(MessageAs<TWMScroll>(Message));
            Message.Result = 0;
            return;
        }
        break;
    case CM_FOCUSCHANGED:
        // A control inside that takes the focus is scrolled into view.
        if (auto* focused = MessageAs<TCMFocusChanged>(Message).Sender(); focused && ContainsControl(focused))
            AutoScrollInView(focused);
        break;
    case CM_CONTROLLISTCHANGE:
        TWinControl::Dispatch(Message);
        if (FAutoScroll) CalcAutoRange();
        return;
    default: break;
    }
    TWinControl::Dispatch(Message);
}

// ---- TScrollBox ----

TScrollBox::TScrollBox(TComponent* AOwner) : TScrollingWinControl(AOwner) {
    SetControlStyle(TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks});
    SetBounds(Left(), Top(), 185, 41);
}

void TScrollBox::CreateParams(TCreateParams& Params) {
    TScrollingWinControl::CreateParams(Params);
    if (FBorderStyle == bsSingle) Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TScrollBox::SetBorderStyle(TBorderStyle Value) {
    if (FBorderStyle == Value) return;
    FBorderStyle = Value;
    RecreateWnd();
}

} // namespace vcl
