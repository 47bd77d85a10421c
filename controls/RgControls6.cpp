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
