// toolbars/BarFloatingFrame.cpp: the small frame a floating bar lives in: its own border and caption
// with a close button, the hit codes that start the bar's move and size loops, and activation rules
// that leave the bar's form active.
#include "toolbars/BarDock.h"

#include "vcl/Messages.h"

namespace bars {

using vcl::TMessage;

namespace {

TPoint PointFromLParam(LPARAM L) { return TPoint(short(LOWORD(L)), short(HIWORD(L))); }

vcl::TCustomForm* FormOf(TBarCustomDockableWindow* W) { return W ? MDIParentOf(ParentFormOf(W)) : nullptr; }

} // namespace

TBarFloatingWindowParent::TBarFloatingWindowParent(rtl::TComponent* AOwner) : vcl::TCustomForm(AOwner) {}

TBarFloatingWindowParent::~TBarFloatingWindowParent() {
    // The dockable window is the frame's child but not its component: it leaves before the frame goes.
    if (!FDockableWindow) return;
    if (FDockableWindow->FFloatParent == this) FDockableWindow->FFloatParent = nullptr;
    if (FDockableWindow->Parent() == this) FDockableWindow->SetParent(nullptr);
}

void TBarFloatingWindowParent::SetParentForm(vcl::TCustomForm* Value) {
    if (FParentForm == Value) return;
    if (FParentForm) FParentForm->RemoveFreeNotification(this);
    FParentForm = Value;
    if (Value) Value->FreeNotification(this);
}

void TBarFloatingWindowParent::Notification(rtl::TComponent* AComponent, rtl::TOperation Operation) {
    vcl::TCustomForm::Notification(AComponent, Operation);
    if (Operation == rtl::opRemove && AComponent == FParentForm) FParentForm = nullptr;
}

void TBarFloatingWindowParent::AlignControls(vcl::TControl*, TRect&) {}

void TBarFloatingWindowParent::CreateParams(vcl::TCreateParams& Params) {
    vcl::TCustomForm::CreateParams(Params);
    const bool resizable = FDockableWindow && FDockableWindow->Resizable();
    if (ComponentState().Contains(rtl::csDesigning)) {
        Params.Style |= WS_BORDER;
        if (resizable) Params.Style |= WS_THICKFRAME;
        return;
    }
    Params.Style = WS_POPUP | WS_BORDER;
    if (resizable) Params.Style |= WS_THICKFRAME;
    Params.ExStyle = WS_EX_TOOLWINDOW;
    Params.WindowClass.style &= ~UINT(CS_HREDRAW | CS_VREDRAW);
}

TRect TBarFloatingWindowParent::CaptionRect(bool AdjustForBorder, bool MinusCloseButton) {
    const int ch = SmallCaptionHeight();
    TRect r(0, 0, ClientWidth(), ch - 1);
    if (MinusCloseButton) r.Right -= ch - 1;
    if (AdjustForBorder && FDockableWindow) {
        const TPoint b = FDockableWindow->GetFloatingBorderSize();
        r = TRect(r.Left + b.X, r.Top + b.Y, r.Right + b.X, r.Bottom + b.Y);
    }
    return r;
}

TRect TBarFloatingWindowParent::CaptionCloseButtonRect(bool AdjustForBorder) {
    TRect r = CaptionRect(AdjustForBorder, false);
    r.Left = r.Right - SmallCaptionHeight() + 1;
    return r;
}

void TBarFloatingWindowParent::RepaintFrameParts(TBarFrameParts Parts) {
    if (HandleAllocated() && IsWindowVisible(WindowHandle())) PaintNCArea(false, nullptr, nullptr, Parts);
}

void TBarFloatingWindowParent::SetCloseButtonDown(bool Pressed) {
    if (FCloseButtonDown == Pressed) return;
    FCloseButtonDown = Pressed;
    RepaintFrameParts({tbfpCloseButton});
}

int TBarFloatingWindowParent::HitTest(const TPoint& P) {
    if (!FDockableWindow) return HTNOWHERE;
    const TPoint b = FDockableWindow->GetFloatingBorderSize();
    const int ch = SmallCaptionHeight();
    if (FDockableWindow->ShowCaption() && CaptionRect(true, false).Contains(P))
        return FDockableWindow->CloseButton() && CaptionCloseButtonRect(true).Contains(P) ? HT_TB2k_Close
                                                                                           : HT_TB2k_Caption;
    if (!FDockableWindow->Resizable()) return HTNOWHERE;
    const int w = Width(), h = Height();
    const bool top = 0 <= P.Y && P.Y < b.Y, bottom = h - b.Y - 1 <= P.Y && P.Y < h;
    const bool left = 0 <= P.X && P.X < b.X, right = w - b.X - 1 <= P.X && P.X < w;
    if (!FDockableWindow->DockableWindowStyles().Contains(tbdsResizeEightCorner)) {
        if (top) return HTTOP;
        if (bottom) return HTBOTTOM;
        if (left) return HTLEFT;
        if (right) return HTRIGHT;
        return HTNOWHERE;
    }
    const int c = ch + b.X - 1;
    if (left) return P.Y < c ? HTTOPLEFT : P.Y >= h - c ? HTBOTTOMLEFT : HTLEFT;
    if (right) return P.Y < c ? HTTOPRIGHT : P.Y >= h - c ? HTBOTTOMRIGHT : HTRIGHT;
    if (top) return P.X < c ? HTTOPLEFT : P.X >= w - c ? HTTOPRIGHT : HTTOP;
    if (bottom) return P.X < c ? HTBOTTOMLEFT : P.X >= w - c ? HTBOTTOMRIGHT : HTBOTTOM;
    return HTNOWHERE;
}

void TBarFloatingWindowParent::PaintNCArea(bool DrawToDC, HDC DC, HRGN Clip, TBarFrameParts Parts) {
    if (!HandleAllocated() || !FDockableWindow) return;
    const HWND wnd = WindowHandle();
    HDC dc = DrawToDC ? DC : GetWindowDC(wnd);
    if (!DrawToDC) SelectNCPaintClipRgn(wnd, dc, Clip);
    const int saved = SaveDC(dc);
    RECT wr;
    GetWindowRect(wnd, &wr);
    RECT r{0, 0, wr.right - wr.left, wr.bottom - wr.top};
    IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
    BOOL gradient = FALSE;
    if (!SystemParametersInfoW(SPI_GETGRADIENTCAPTIONS, 0, &gradient, 0)) gradient = FALSE;
    const TPoint border = FDockableWindow->GetFloatingBorderSize();
    const bool inactive = FDockableWindow->InactiveCaption();
    const int s1 = ScaleForDPI(1);

    if (Parts.Contains(tbfpBorder)) {
        const RECT outer = r;
        RECT inner = r;
        DrawEdge(dc, &inner, EDGE_RAISED, BF_RECT | BF_ADJUST);
        RECT r2 = outer;
        InflateRect(&r2, s1 - border.X, s1 - border.Y);
        FrameRect(dc, &r2, GetSysColorBrush(COLOR_BTNFACE));
        const int inner2 = SaveDC(dc);
        ExcludeClipRect(dc, r2.left, r2.top, r2.right, r2.bottom);
        FillRect(dc, &inner, GetSysColorBrush(inactive ? COLOR_INACTIVEBORDER : COLOR_ACTIVEBORDER));
        RestoreDC(dc, inner2);
    }
    const bool closeButton = FDockableWindow->CloseButton();
    if (FDockableWindow->ShowCaption()) {
        const TRect closeRect = CaptionCloseButtonRect(true);
        if (Parts.Contains(tbfpCaption)) {
            const int cap = SaveDC(dc);
            if (Parts.Contains(tbfpCloseButton) && closeButton)
                ExcludeClipRect(dc, closeRect.Left, closeRect.Top, closeRect.Right, closeRect.Bottom);
            DrawSmallWindowCaption(wnd, dc, CaptionRect(true, closeButton), Caption(), !inactive);
            RestoreDC(dc, cap);
            const TRect full = CaptionRect(true, false);
            RECT line{full.Left, full.Bottom, full.Right, full.Bottom + 1};
            FillRect(dc, &line, GetSysColorBrush(COLOR_BTNFACE));
        }
        if (closeButton) {
            RECT q{closeRect.Left, closeRect.Top, closeRect.Right, closeRect.Bottom};
            RECT glyph = q;
            InflateRect(&glyph, 0, -ScaleForDPI(2));
            glyph.right -= ScaleForDPI(2);
            if (Parts.Contains(tbfpCaption)) {
                const int fill = SaveDC(dc);
                ExcludeClipRect(dc, glyph.left, glyph.top, glyph.right, glyph.bottom);
                const int index = gradient ? (inactive ? COLOR_GRADIENTINACTIVECAPTION : COLOR_GRADIENTACTIVECAPTION)
                                           : (inactive ? COLOR_INACTIVECAPTION : COLOR_ACTIVECAPTION);
                FillRect(dc, &q, GetSysColorBrush(index));
                RestoreDC(dc, fill);
            }
            if (Parts.Contains(tbfpCloseButton))
                DrawFrameControl(dc, &glyph, DFC_CAPTION, DFCS_CAPTIONCLOSE | (FCloseButtonDown ? DFCS_PUSHED : 0));
        }
    }
    RestoreDC(dc, saved);
    if (!DrawToDC) ReleaseDC(wnd, dc);
}

void TBarFloatingWindowParent::Dispatch(TMessage& Message) {
    const bool designing = ComponentState().Contains(rtl::csDesigning);
    switch (Message.Msg) {
    case WM_GETMINMAXINFO: {
        vcl::TCustomForm::Dispatch(Message);
        auto* info = reinterpret_cast<MINMAXINFO*>(Message.LParam);
        info->ptMinTrackSize = POINT{1, 1};
        info->ptMaxTrackSize = POINT{32767, 32767};
        return;
    }
    case vcl::CM_SHOWINGCHANGED:
        if (HandleAllocated())
            SetWindowPos(WindowHandle(), nullptr, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE |
                             (Showing() && FShouldShow ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
        return;
    case vcl::CM_DIALOGKEY:
        if (Message.WParam == VK_ESCAPE && GetKeyState(VK_SHIFT) >= 0 && GetKeyState(VK_CONTROL) >= 0 &&
            GetKeyState(VK_MENU) >= 0 && FParentForm) {
            FParentForm->SetFocus();
            Message.Result = 1;
            return;
        }
        break;
    case vcl::CM_TEXTCHANGED:
        vcl::TCustomForm::Dispatch(Message);
        RepaintFrameParts({tbfpCaption});
        return;
    case WM_NCCALCSIZE: {
        Message.Result = 0;
        if (!FDockableWindow) return;
        RECT* r = reinterpret_cast<RECT*>(Message.LParam);
        TPoint tl, br;
        FDockableWindow->GetFloatingNCArea(tl, br);
        r->left += tl.X;
        r->top += tl.Y;
        r->right -= br.X;
        r->bottom -= br.Y;
        return;
    }
    case WM_NCPAINT:
        PaintNCArea(false, nullptr, reinterpret_cast<HRGN>(Message.WParam), {tbfpBorder, tbfpCaption, tbfpCloseButton});
        return;
    case WM_PRINT:
        HandlePrintRequest(
            WindowHandle(), Message,
            [](HWND, HDC DC, LPARAM AppData) {
                reinterpret_cast<TBarFloatingWindowParent*>(AppData)->PaintNCArea(
                    true, DC, nullptr, {tbfpBorder, tbfpCaption, tbfpCloseButton});
            },
            reinterpret_cast<LPARAM>(this));
        return;
    case WM_PRINTCLIENT: HandlePrintClientRequest(WindowProc, Message); return;
    case WM_NCHITTEST: {
        vcl::TCustomForm::Dispatch(Message);
        if (Message.Result == HTCLIENT) return;
        RECT wr;
        GetWindowRect(WindowHandle(), &wr);
        const TPoint p = PointFromLParam(Message.LParam);
        Message.Result = HitTest(TPoint(p.X - wr.left, p.Y - wr.top));
        return;
    }
    case WM_NCLBUTTONDOWN: {
        const int hit = int(Message.WParam);
        if (!FDockableWindow) break;
        if (hit >= HTLEFT && hit <= HTBOTTOMRIGHT) {
            if (FDockableWindow->Resizable()) FDockableWindow->BeginSizing(TBarSizeHandle(hit - HTLEFT));
            return;
        }
        if (hit == HT_TB2k_Close) {
            RECT wr;
            GetWindowRect(WindowHandle(), &wr);
            TRect r = CaptionCloseButtonRect(true);
            r = TRect(r.Left + wr.left, r.Top + wr.top, r.Right + wr.left, r.Bottom + wr.top);
            if (TrackCloseButton(WindowHandle(), r, [this](bool Pressed) { SetCloseButtonDown(Pressed); }))
                FDockableWindow->QueryCloseAndHide();
            return;
        }
        if (hit == HT_TB2k_Caption) {
            const TPoint p = FDockableWindow->ScreenToClient(PointFromLParam(Message.LParam));
            FDockableWindow->BeginMoving(p.X, p.Y);
            return;
        }
        break;
    }
    case WM_NCLBUTTONDBLCLK:
        if (Message.WParam == WPARAM(HT_TB2k_Caption) && FDockableWindow) {
            FDockableWindow->ToggleFloating();
            return;
        }
        break;
    case WM_NCRBUTTONUP:
        if (FDockableWindow) {
            const TPoint p = PointFromLParam(Message.LParam);
            FDockableWindow->SendNCContextMenu(p.X, p.Y);
            return;
        }
        break;
    case WM_CLOSE:
        // Alt+F4 on the frame closes the form the bar belongs to, not the bar.
        if (vcl::TCustomForm* form = FormOf(FDockableWindow); form && form->HandleAllocated())
            SendMessageW(form->WindowHandle(), WM_CLOSE, 0, 0);
        return;
    case WM_ACTIVATE:
        if (designing) break;
        if (vcl::TCustomForm* form = FormOf(FDockableWindow); form && form->HandleAllocated()) {
            const bool activating = LOWORD(Message.WParam) != WA_INACTIVE;
            SendMessageW(form->WindowHandle(), WM_NCACTIVATE, activating ? 1 : 0, 0);
            if (activating) {
                if (!IsWindowVisible(WindowHandle())) {
                    if (HWND other = FindOtherThreadWindow(WindowHandle())) SetActiveWindow(other);
                } else if (reinterpret_cast<HWND>(Message.LParam) != form->WindowHandle())
                    SetActiveWindow(form->WindowHandle());
            }
        }
        return;
    case WM_MOUSEACTIVATE: {
        if (designing) break;
        Message.Result = MA_NOACTIVATE;
        SetWindowPos(WindowHandle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        if (FDockableWindow && FDockableWindow->FloatingMode() == fmOnTopOfParentForm &&
            FDockableWindow->ActivateParent() && FParentForm && GetActiveWindow() != WindowHandle()) {
            vcl::TCustomForm* mdi = MDIParentOf(FParentForm);
            if (mdi->HandleAllocated()) SetActiveWindow(mdi->WindowHandle());
            if (FParentForm != mdi && FParentForm->HandleAllocated())
                SetWindowPos(FParentForm->WindowHandle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
        return;
    }
    case WM_MOVE:
        vcl::TCustomForm::Dispatch(Message);
        if (FDockableWindow) FDockableWindow->DoMoved();
        return;
    default: break;
    }
    vcl::TCustomForm::Dispatch(Message);
}

} // namespace bars
