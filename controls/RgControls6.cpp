#include "controls/RgControls6.h"

#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"

namespace controls {

// ---- TRgUserControl6 ----

TRgUserControl6::TRgUserControl6(rtl::TComponent* AOwner) : vcl::TCustomControl(AOwner) {
    SetControlStyle(ControlStyle() + vcl::TControlStyle{vcl::csGestures});
    Padding()->OnChange = rtl::TNotifyEvent(this, &TRgUserControl6::PaddingChanged);
}

void TRgUserControl6::PaddingChanged(rtl::TObject*) { Realign(); }

bool TRgUserControl6::IsParentFormShowing() {
    vcl::TCustomForm* form = vcl::GetParentForm(this);
    return form && form->Showing();
}

void TRgUserControl6::InvalidateRectNoErase(const vcl::TRect& R) {
    if (!HandleAllocated() || Painting()) return;
    const RECT r = R;
    InvalidateRect(WindowHandle(), &r, FALSE);
}

void TRgUserControl6::PaintWindow(HDC DC) {
    FPaintingState.Include(ptPainting);
    struct Done {
        TRgPaintState& s;
        ~Done() { s.Exclude(ptPainting); }
    } done{FPaintingState};
    vcl::TCustomControl::PaintWindow(DC);
}

// ---- TRgControl6 ----

TRgControl6::TRgControl6(rtl::TComponent* AOwner) : TRgUserControl6(AOwner) {}

TRgControl6::~TRgControl6() { FreeHintWindow(); }

void TRgControl6::SetBorderColor(vcl::TColor Value) {
    if (Value == FBorderColor) return;
    FBorderColor = Value;
    Perform(vcl::CM_BORDERCHANGED);
}

void TRgControl6::SetBorderSize(int Value) {
    if (Value == FBorderSize) return;
    FBorderSize = Value;
    Perform(vcl::CM_BORDERCHANGED);
}

void TRgControl6::SetBorderStyle(TRgBorderStyle Value) {
    if (Value == FBorderStyle) return;
    FBorderStyle = Value;
    Perform(vcl::CM_BORDERCHANGED);
}

void TRgControl6::FillBackground(const vcl::TRect& R, vcl::TColor C) {
    Canvas()->Brush()->SetColor(C == vcl::clNone ? Color() : C);
    Canvas()->FillRect(R);
}

void TRgControl6::FreeHintWindow() {
    delete FHintPauseTimer;
    FHintPauseTimer = nullptr;
    if (FHintWindow) {
        FHintWindow->DestroyHandle();
        delete FHintWindow;
        FHintWindow = nullptr;
    }
}

void TRgControl6::PaintWindow(HDC DC) {
    TRgUserControl6::PaintWindow(DC);
    DoPaint();
}

void TRgControl6::CMMouseLeave(vcl::TCMMouseEnterLeave& Message) {
    TRgUserControl6::CMMouseLeave(Message);
    FreeHintWindow();
}

void TRgControl6::Dispatch(vcl::TMessage& Message) {
    TRgUserControl6::Dispatch(Message);
    if (Message.Msg == WM_NCCALCSIZE && Message.LParam) {
        RECT& r = Message.WParam ? reinterpret_cast<NCCALCSIZE_PARAMS*>(Message.LParam)->rgrc[0]
                                 : *reinterpret_cast<RECT*>(Message.LParam);
        InflateRect(&r, -FBorderSize, -FBorderSize);
    } else if (Message.Msg == WM_NCPAINT && FBorderSize > 0) {
        PaintBorder();
    }
}

void TRgControl6::PaintBorder() {
    if (!HandleAllocated()) return;
    vcl::TColor c1 = FBorderColor, c2 = FBorderColor;
    if (FBorderStyle == btLowered) {
        c1 = vcl::clBtnShadow;
        c2 = vcl::clBtnHighlight;
    } else if (FBorderStyle == btRaised) {
        c1 = vcl::clBtnHighlight;
        c2 = vcl::clBtnShadow;
    }
    HWND wnd = WindowHandle();
    RECT wr;
    GetWindowRect(wnd, &wr);
    const int l = 0, t = 0, r = wr.right - wr.left, b = wr.bottom - wr.top;
    HDC dc = GetWindowDC(wnd);
    HPEN pen1 = CreatePen(PS_SOLID, 1, static_cast<COLORREF>(vcl::ColorToRGB(c1)));
    HPEN pen2 = CreatePen(PS_SOLID, 1, static_cast<COLORREF>(vcl::ColorToRGB(c2)));
    struct Release {
        HWND wnd;
        HDC dc;
        HPEN p1, p2;
        HGDIOBJ old;
        ~Release() {
            SelectObject(dc, old);
            DeleteObject(p1);
            DeleteObject(p2);
            ReleaseDC(wnd, dc);
        }
    } release{wnd, dc, pen1, pen2, SelectObject(dc, pen1)};
    // Each ring one pixel further in: top and left in the first colour, bottom and right in the second.
    for (int i = 0; i < FBorderSize; ++i) {
        const POINT a[3] = {{l + i, b - 1 - i}, {l + i, t + i}, {r - i, t + i}};
        Polyline(dc, a, 3);
    }
    SelectObject(dc, pen2);
    for (int i = 0; i < FBorderSize; ++i) {
        const POINT a[3] = {{l + 1 + i, b - 1 - i}, {r - 1 - i, b - 1 - i}, {r - 1 - i, t + i}};
        Polyline(dc, a, 3);
    }
}

// ---- TRgStyledControl6 ----

void TRgStyledControl6::SetStyleOptions(TRgStyleOptions Value) {
    if (Value == FStyleOptions) return;
    FStyleOptions = Value;
    StyleOptionsChanged();
}

bool TRgStyledControl6::CanStyle(TRgStyleOption Option) const {
    if (Option == soNativeStyles) return FStyleOptions.Contains(soNativeStyles) && IsNativeThemeActive();
    return !ComponentState().Contains(rtl::csDesigning) && FStyleOptions.Contains(soVCLStyles) &&
           CanUseStyle6(TRgStyleOptions{soVCLStyles});
}

} // namespace controls

namespace controls {

// ---- scroll bars ----

TRgScrollType ScrollCodeToType(int Code) {
    switch (Code) {
    case SB_LINEUP: return stSmallDecrement;
    case SB_LINEDOWN: return stSmallIncrement;
    case SB_PAGEUP: return stLargeDecrement;
    case SB_PAGEDOWN: return stLargeIncrement;
    case SB_THUMBPOSITION: return stThumbPosition;
    case SB_THUMBTRACK: return stThumbTrack;
    case SB_TOP: return stFirst;
    case SB_BOTTOM: return stLast;
    default: return stEndScroll;
    }
}

TRgCustomScrollBar::TRgCustomScrollBar(IRgScrollingControl* Control, vcl::TScrollBarKind Kind)
    : FControl(Control), FKind(Kind) {}

void TRgCustomScrollBar::SetAutoHide(bool Value) {
    if (Value == FAutoHide) return;
    FAutoHide = Value;
    Update();
}

void TRgCustomScrollBar::SetMax(int Value) {
    FMax = Value;
    Update();
}

void TRgCustomScrollBar::SetMin(int Value) {
    FMin = Value;
    Update();
}

void TRgCustomScrollBar::SetPageSize(int Value) {
    FPageSize = Value;
    if (FMax < FPageSize) Clear(false);
    Update();
}

void TRgCustomScrollBar::Unlock(bool DoUpdate) {
    if (!FLocked) return;
    FLocked = false;
    if (DoUpdate) Update();
}

void TRgCustomScrollBar::Clear(bool DoUpdate) {
    FMax = FPageSize = FPosition = 0;
    if (DoUpdate) Update();
}

void TRgCustomScrollBar::ValidatePosition() {
    if (FMax < FPageSize || FPageSize == 0 || FMax == 0) FPosition = 0;
}

void TRgCustomScrollBar::SetValues(int AMax, int APageSize) {
    FMax = AMax;
    FPageSize = APageSize;
    ValidatePosition();
    Update();
}

bool TRgCustomScrollBar::IsBarShown() {
    if (!FControl || !FControl->IsHandleAllocated()) return false;
    const LONG style = GetWindowLongW(FControl->GetHandle(), GWL_STYLE);
    return (style & (FKind == vcl::sbHorizontal ? WS_HSCROLL : WS_VSCROLL)) != 0;
}

int TRgCustomScrollBar::GetPosition() {
    if (!IsBarShown() || FLocked) return FPosition;
    return GetScrollPos(FControl->GetHandle(), GetScrollBarForKind());
}

int TRgCustomScrollBar::ReadTrackPosition() {
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_TRACKPOS;
    if (!FControl || !FControl->IsHandleAllocated()) return FPosition;
    GetScrollInfo(FControl->GetHandle(), GetScrollBarForKind(), &si);
    return si.nTrackPos;
}

void TRgCustomScrollBar::SetPosition(int Value) {
    const int old = FLocked ? 0 : GetPosition();
    FPosition = Value;
    if (FMax < Value + FPageSize) FPosition = FMax - FPageSize + 1;
    if (FPosition < 0) FPosition = 0;
    Update();
    if (FLocked || !FControl) return;
    const int delta = GetPosition() - old;
    if (FKind == vcl::sbHorizontal)
        FControl->DoContentScroll(delta, 0);
    else
        FControl->DoContentScroll(0, delta);
}

void TRgCustomScrollBar::Scroll(TRgScrollType Type) {
    int value = 0;
    switch (Type) {
    case stFirst: value = 0; break;
    case stLast: value = FMax; break;
    case stSmallDecrement: value = GetPosition() - FSmallChange; break;
    case stSmallIncrement: value = GetPosition() + FSmallChange; break;
    case stLargeDecrement: value = GetPosition() - FLargeChange; break;
    case stLargeIncrement: value = GetPosition() + FLargeChange; break;
    case stThumbPosition:
    case stThumbTrack: value = ReadTrackPosition(); break;
    case stEndScroll: return;
    }
    SetPosition(value);
}

void TRgCustomScrollBar::SendScroll(int Code) {
    if (FMax <= 0 || !FControl || !FControl->IsHandleAllocated()) return;
    SendMessageW(FControl->GetHandle(), FKind == vcl::sbHorizontal ? WM_HSCROLL : WM_VSCROLL, WPARAM(Code), 0);
}

void TRgCustomScrollBar::First() { SendScroll(SB_TOP); }
void TRgCustomScrollBar::Last() { SendScroll(SB_BOTTOM); }
void TRgCustomScrollBar::Next() { SendScroll(SB_LINEDOWN); }
void TRgCustomScrollBar::Prior() { SendScroll(SB_LINEUP); }
void TRgCustomScrollBar::PageUp() { SendScroll(SB_PAGEUP); }
void TRgCustomScrollBar::PageDown() { SendScroll(SB_PAGEDOWN); }

void TRgCustomScrollBar::Show() {
    if (FControl && FControl->IsHandleAllocated()) ShowScrollBar(FControl->GetHandle(), GetScrollBarForKind(), TRUE);
}

void TRgCustomScrollBar::Hide() {
    if (FControl && FControl->IsHandleAllocated()) ShowScrollBar(FControl->GetHandle(), GetScrollBarForKind(), FALSE);
}

void TRgCustomScrollBar::SetVisible(bool Value) {
    FVisible = Value;
    if (Value) {
        Show();
        Update();
    } else {
        Hide();
    }
}

bool TRgCustomScrollBar::IsFirst() {
    if (!FControl || !FControl->IsHandleAllocated()) return true;
    return GetScrollPos(FControl->GetHandle(), GetScrollBarForKind()) == 0;
}

bool TRgCustomScrollBar::IsLast() {
    if (!FControl || !FControl->IsHandleAllocated()) return true;
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_ALL;
    GetScrollInfo(FControl->GetHandle(), GetScrollBarForKind(), &si);
    return si.nPos > si.nMax - static_cast<int>(si.nPage);
}

void TRgCustomScrollBar::Update() {
    if (FUpdating || FLocked || !FControl || !FControl->IsHandleAllocated() || FControl->IsDestroying()) return;
    FUpdating = true;
    struct Done {
        bool& f;
        ~Done() { f = false; }
    } done{FUpdating};
    HWND wnd = FControl->GetHandle();
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;
    if (!FAutoHide) si.fMask |= SIF_DISABLENOSCROLL;
    si.nMin = FMin;
    si.nMax = FMax == -1 ? 0 : FMax;
    if (FKind == vcl::sbHorizontal && si.nMax < FPageSize) si.nMax = 0;
    si.nPage = static_cast<UINT>(FPageSize);
    si.nPos = si.nTrackPos = FPosition;
    if (!FAutoHide && si.nMax == 0) {
        SCROLLINFO now{};
        now.cbSize = sizeof(now);
        now.fMask = SIF_RANGE;
        if (GetScrollInfo(wnd, GetScrollBarForKind(), &now) && now.nMax == 0) return;
    }
    if (!FVisible) return;
    SetScrollInfo(wnd, GetScrollBarForKind(), &si, TRUE);
    if (FPageSize < FMax) {
        const bool on = FControl->GetEnabled() && FEnabled && FMax > 0;
        EnableScrollBar(wnd, static_cast<UINT>(GetScrollBarForKind()), on ? ESB_ENABLE_BOTH : ESB_DISABLE_BOTH);
    }
}

// ---- TRgScrollControl6 ----

TRgScrollControl6::TRgScrollControl6(rtl::TComponent* AOwner)
    : TRgStyledControl6(AOwner), FHorzScrollBar(std::make_unique<TRgScrollBar>(this, vcl::sbHorizontal)),
      FVertScrollBar(std::make_unique<TRgScrollBar>(this, vcl::sbVertical)) {}

TRgScrollControl6::~TRgScrollControl6() = default;

void TRgScrollControl6::SetScrollBars(TRgScrollBars Value) {
    FScrollBars = Value;
    if (!HandleAllocated()) return;
    FHorzScrollBar->SetVisible(Value.Contains(vcl::sbHorizontal));
    FVertScrollBar->SetVisible(Value.Contains(vcl::sbVertical));
    Invalidate();
}

void TRgScrollControl6::CreateParams(vcl::TCreateParams& Params) {
    TRgStyledControl6::CreateParams(Params);
    Params.Style |= WS_CLIPCHILDREN | WS_HSCROLL | WS_VSCROLL;
}

void TRgScrollControl6::CreateWnd() {
    TRgStyledControl6::CreateWnd();
    SetScrollBars(FScrollBars);
}

void TRgScrollControl6::Dispatch(vcl::TMessage& Message) {
    const bool horizontal = Message.Msg == WM_HSCROLL;
    if (!horizontal) TRgStyledControl6::Dispatch(Message);
    if (Message.Msg != WM_HSCROLL && Message.Msg != WM_VSCROLL) return;
    const TRgScrollType type = ScrollCodeToType(LOWORD(Message.WParam));
    (horizontal ? FHorzScrollBar : FVertScrollBar)->Scroll(type);
    if (type == stEndScroll) return;
    if (horizontal)
        DoHorizontalScroll();
    else
        DoVerticalScroll();
}

} // namespace controls
