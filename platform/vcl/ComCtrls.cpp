// vcl/ComCtrls.cpp: the up-down control and the progress bar.
#include "vcl/ComCtrls.h"

#include "vcl/Themes.h"

#include <algorithm>

namespace vcl {

TCustomUpDown::TCustomUpDown(TComponent* AOwner) : TWinControl(AOwner) {
    SetBounds(Left(), Top(), GetSystemMetrics(SM_CXVSCROLL), GetSystemMetrics(SM_CYVSCROLL) * 2);
    SetControlStyle(ControlStyle() - TControlStyle{csDoubleClicks} + TControlStyle{csFixedWidth, csFixedHeight});
    SetTabStop(false);
}

void TCustomUpDown::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, String::fromUtf16(UPDOWN_CLASSW));
    Params.Style |= UDS_SETBUDDYINT | (FAlignButton == udRight ? UDS_ALIGNRIGHT : UDS_ALIGNLEFT);
    if (FOrientation == udHorizontal) Params.Style |= UDS_HORZ;
    if (FArrowKeys) Params.Style |= UDS_ARROWKEYS;
    if (!FThousands) Params.Style |= UDS_NOTHOUSANDS;
    if (FWrap) Params.Style |= UDS_WRAP;
}

void TCustomUpDown::CreateWnd() {
    const int width = Width();
    TWinControl::CreateWnd();
    SetWidth(width);
    Send(UDM_SETRANGE32, WPARAM(FMin), LPARAM(FMax));
    Send(UDM_SETPOS32, 0, LPARAM(FPosition));
    UDACCEL accel[1]{};
    Send(UDM_GETACCEL, 1, LPARAM(accel));
    accel[0].nInc = UINT(FIncrement);
    Send(UDM_SETACCEL, 1, LPARAM(accel));
    SetAssociate(FAssociate);
}

void TCustomUpDown::SetAssociate(TWinControl* Value) {
    if (Value && Parent()) {
        for (int i = 0; i < Parent()->ControlCount(); ++i) {
            auto* other = dynamic_cast<TCustomUpDown*>(Parent()->Controls(i));
            if (other && other != this && other->Associate() == Value)
                throw rtl::Exception(QStringLiteral("%1 is already associated with %2").arg(Value->Name(), other->Name()));
        }
    }
    if (FAssociate && FAssociate != Value) {
        if (HandleAllocated()) Send(UDM_SETBUDDY, 0, 0);
        FAssociate->RemoveFreeNotification(this);
    }
    // Only a sibling can be a buddy, and never another up-down.
    if (Value && Value->Parent() == Parent() && !dynamic_cast<TCustomUpDown*>(Value)) {
        FAssociate = Value;
        Value->FreeNotification(this);
        if (HandleAllocated() && Value->Parent()) {
            // The window places itself beside the buddy and narrows it; both controls hear of it.
            Send(UDM_SETBUDDY, WPARAM(Value->Handle()), 0);
        }
        ShowPosition();
    } else {
        FAssociate = nullptr;
    }
}

void TCustomUpDown::Notification(TComponent* AComponent, rtl::TOperation Operation) {
    TWinControl::Notification(AComponent, Operation);
    if (Operation == rtl::opRemove && AComponent == FAssociate) {
        FAssociate = nullptr;
        if (HandleAllocated()) Send(UDM_SETBUDDY, 0, 0);
    }
}

void TCustomUpDown::ShowPosition() {
    if (auto* edit = dynamic_cast<TCustomEdit*>(FAssociate); edit && !HandleAllocated())
        edit->SetText(QString::number(FPosition));
}

void TCustomUpDown::SetOrientation(TUDOrientation Value) {
    if (FOrientation == Value) return;
    FOrientation = Value;
    // The arrows turn: width and height trade places.
    if (!ComponentState().Contains(rtl::csLoading)) SetBounds(Left(), Top(), Height(), Width());
    RecreateWnd();
}

void TCustomUpDown::SetMin(int Value) {
    if (FMin == Value) return;
    FMin = Value;
    if (HandleAllocated()) Send(UDM_SETRANGE32, WPARAM(FMin), LPARAM(FMax));
}

void TCustomUpDown::SetMax(int Value) {
    if (FMax == Value) return;
    FMax = Value;
    if (HandleAllocated()) Send(UDM_SETRANGE32, WPARAM(FMin), LPARAM(FMax));
}

void TCustomUpDown::SetIncrement(int Value) {
    if (FIncrement == Value) return;
    FIncrement = Value;
    if (!HandleAllocated()) return;
    UDACCEL accel[1]{};
    Send(UDM_GETACCEL, 1, LPARAM(accel));
    accel[0].nInc = UINT(Value);
    Send(UDM_SETACCEL, 1, LPARAM(accel));
}

int TCustomUpDown::Position() {
    if (HandleAllocated()) {
        BOOL error = FALSE;
        const int pos = int(Send(UDM_GETPOS32, 0, LPARAM(&error)));
        if (!error) FPosition = pos;
    }
    return FPosition;
}

void TCustomUpDown::SetPosition(int Value) {
    Value = std::clamp(Value, std::min(FMin, FMax), std::max(FMin, FMax));
    if (Value == FPosition && !HandleAllocated()) return;
    FPosition = Value;
    if (HandleAllocated()) Send(UDM_SETPOS32, 0, LPARAM(Value));
    ShowPosition();
}

bool TCustomUpDown::CanChange() {
    bool allow = true;
    OnChanging(this, allow);
    const TUpDownDirection direction = FNewValueDelta > 0 ? updUp : FNewValueDelta < 0 ? updDown : updNone;
    OnChangingEx(this, allow, FNewValue, direction);
    return allow;
}

void TCustomUpDown::Click(TUDBtnType Button) { OnClick(this, Button); }

void TCustomUpDown::Scrolled(TWMScroll& Message) {
    if (Message.ScrollCode() != SB_THUMBPOSITION) return;
    const int before = FPosition;
    FPosition = Position();
    // The direction of the step, not of the number: a step round the end with Wrap goes on the same way.
    if (FPosition != before) Click(FNewValueDelta > 0 ? btNext : btPrev);
}

void TCustomUpDown::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case CN_NOTIFY: {
        const auto* nm = reinterpret_cast<const NMUPDOWN*>(Message.LParam);
        if (nm && nm->hdr.code == UDN_DELTAPOS) {
            FNewValue = nm->iPos + nm->iDelta;
            FNewValueDelta = nm->iDelta;
            Message.Result = CanChange() ? 0 : 1;
            return;
        }
        break;
    }
    case CN_HSCROLL:
    case CN_VSCROLL:
        Scrolled(MessageAs<TWMScroll>(Message));
        Message.Result = 0;
        return;
    default: break;
    }
    TWinControl::Dispatch(Message);
}

// ---- TProgressBar ----

TProgressBar::TProgressBar(TComponent* AOwner) : TCustomControl(AOwner) {
    SetBounds(Left(), Top(), 150, 16);
    SetParentColor(false);
    SetColor(clBtnFace);
}

void TProgressBar::SetRange(int AMin, int AMax) {
    if (AMax < AMin) std::swap(AMin, AMax);
    FMin = AMin;
    FMax = AMax;
    SetPosition(FPosition);
    Invalidate();
}

void TProgressBar::SetPosition(int Value) {
    Value = std::clamp(Value, FMin, FMax);
    if (Value == FPosition) return;
    FPosition = Value;
    Invalidate();
}

void TProgressBar::SetSmooth(bool Value) {
    if (FSmooth == Value) return;
    FSmooth = Value;
    Invalidate();
}

void TProgressBar::SetOrientation(TProgressBarOrientation Value) {
    if (FOrientation == Value) return;
    FOrientation = Value;
    if (!ComponentState().Contains(rtl::csLoading)) SetBounds(Left(), Top(), Height(), Width());
    Invalidate();
}

TRect TProgressBar::BarRect() {
    TRect r = ClientRect();
    r.Left += 1; r.Top += 1; r.Right -= 1; r.Bottom -= 1;  // inside the sunken edge
    const long long span = std::max(1, FMax - FMin), done = FPosition - FMin;
    if (FOrientation == pbHorizontal) r.Right = r.Left + int(r.Width() * done / span);
    else r.Top = r.Bottom - int(r.Height() * done / span);
    return r;
}

void TProgressBar::Paint() {
    TCanvas* canvas = Canvas();
    RECT client{0, 0, ClientWidth(), ClientHeight()};
    const bool horizontal = FOrientation == pbHorizontal;
    if (TStyleManager::IsCustomStyleActive()) {
        // The style's trough and its filled part.
        TCustomStyleServices* style = StyleServices();
        style->DrawElement(canvas->Handle(), style->GetElementDetails(horizontal ? tpBar : tpBarVert), ClientRect());
        const TRect bar = BarRect();
        if (!bar.IsEmpty())
            style->DrawElement(canvas->Handle(), style->GetElementDetails(horizontal ? tpChunk : tpChunkVert), bar);
        return;
    }
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(ClientRect());
    DrawEdge(canvas->Handle(), &client, BDR_SUNKENOUTER, BF_RECT);
    const TRect bar = BarRect();
    canvas->Brush()->SetColor(clHighlight);
    if (FSmooth) {
        canvas->FillRect(bar);
        return;
    }
    // Blocks two thirds as long as the bar is thick, one pixel apart.
    const int block = std::max(2, (horizontal ? ClientHeight() : ClientWidth()) * 2 / 3);
    if (horizontal) {
        for (int x = bar.Left; x < bar.Right; x += block + 1)
            canvas->FillRect(TRect(x, bar.Top, std::min(x + block, bar.Right), bar.Bottom));
    } else {
        for (int y = bar.Bottom; y > bar.Top; y -= block + 1)
            canvas->FillRect(TRect(bar.Left, std::max(y - block, bar.Top), bar.Right, y));
    }
}

} // namespace vcl
