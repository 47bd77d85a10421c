// styling/hooks/DialogHook.cpp
#include "styling/hooks/DialogHook.h"

#include "styling/hooks/StyleGraphics.h"
#include "styling/hooks/StyleMisc.h"
#include "styling/hooks/SysControls.h"

namespace styling {

using namespace vcl;

namespace {

bool IsCaptionButton(WPARAM Hit) { return Hit == HTMINBUTTON || Hit == HTMAXBUTTON || Hit == HTCLOSE || Hit == HTHELP; }

bool IsButtonCommand(WPARAM Command) {
    const UINT c = UINT(Command) & 0xFFF0;
    return c == SC_CLOSE || c == SC_MAXIMIZE || c == SC_MINIMIZE || c == SC_RESTORE || c == SC_CONTEXTHELP;
}

bool StyleAvailable() {
    TCustomStyleServices* style = TStyleManager::ActiveStyle();
    return style && style->Available();
}

} // namespace

TSysDialogStyleHook::TSysDialogStyleHook(HWND AHandle) : TSysScrollingStyleHook(AHandle) {
    SetStyleElements(TStyleElements{seFont, seClient, seBorder});
    FOverrideEraseBkgnd = true;
    ClaimFrame(true, true);
}

TSysDialogStyleHook::~TSysDialogStyleHook() {
    if (FRegion) DeleteObject(FRegion);
    if (FIcon) DestroyIcon(FIcon);
    if (IsWindow(FHandle)) ClaimFrame(false);
}

// The stand-in shows a window whose frame the hook paints without the desktop's decorations.
void TSysDialogStyleHook::ClaimFrame(bool Own, bool Creating) {
    if (!FHandle || (FSysControl->Style() & WS_CHILD)) return;
    const bool own = Own && IsStyled() && UpdateRegion() && BorderStyle() != bsNone;
    if (bool(TwHasOwnFrame(FHandle)) == own) return;
    if (Creating) {
        // The window is being made: its size comes from its creation after this; WM_CREATE grows it.
        TwSetOwnFrame(FHandle, own);
        FSizeAtCreate = true;
        return;
    }
    // The dialog was laid out for its client area: with the frame and caption taken inside the window
    // (or given back to the desktop) the window changes size by the difference, so the client area
    // keeps its size.
    RECT before{};
    GetClientRect(FHandle, &before);
    TwSetOwnFrame(FHandle, own);
    const UINT flags = SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE;
    SetWindowPos(FHandle, nullptr, 0, 0, 0, 0, flags | SWP_NOSIZE | SWP_FRAMECHANGED);
    RECT after{}, wr{};
    GetClientRect(FHandle, &after);
    GetWindowRect(FHandle, &wr);
    if (!EqualRect(&before, &after))
        SetWindowPos(FHandle, nullptr, 0, 0, wr.right - wr.left + before.right - after.right,
                     wr.bottom - wr.top + before.bottom - after.bottom, flags);
}

// ---- properties ----

bool TSysDialogStyleHook::UpdateRegion() const {
    const LONG_PTR s = FSysControl->Style();
    return (s & WS_CAPTION) == WS_CAPTION || (s & WS_SYSMENU) || (s & WS_THICKFRAME);
}

TFormBorderStyle TSysDialogStyleHook::BorderStyle() const {
    const LONG_PTR s = FSysControl->Style();
    if (!UpdateRegion()) return bsNone;
    if (s & WS_THICKFRAME) return bsSizeable;
    if (s & WS_MINIMIZEBOX) return bsSingle;
    return bsDialog;
}

TBorderIcons TSysDialogStyleHook::BorderIcons() const {
    const LONG_PTR s = FSysControl->Style();
    TBorderIcons icons;
    if (s & WS_SYSMENU) icons.Include(biSystemMenu);
    if (s & WS_MAXIMIZEBOX) icons.Include(biMaximize);
    if (s & WS_MINIMIZEBOX) icons.Include(biMinimize);
    if ((FSysControl->ExStyle() & WS_EX_CONTEXTHELP) && !(s & (WS_MAXIMIZEBOX | WS_MINIMIZEBOX))) icons.Include(biHelp);
    return icons;
}

TWindowState TSysDialogStyleHook::WindowState() const {
    if (IsIconic(FHandle)) return wsMinimized;
    if (IsZoomed(FHandle)) return wsMaximized;
    return wsNormal;
}

HMENU TSysDialogStyleHook::SysMenu() const { return GetSystemMenu(FHandle, FALSE); }

bool TSysDialogStyleHook::IsCloseMissing() const { return MenuItemPosition(SysMenu(), SC_CLOSE) < 0; }

TRect TSysDialogStyleHook::GetBorderWidths() {
    if (BorderStyle() == bsNone || !StyleAvailable()) return TRect(0, 0, 0, 0);
    TCustomStyleServices* style = StyleServices();
    auto size = [style](TThemedWindow Element) {
        TSize s{0, 0};
        style->GetElementSize(nullptr, style->GetElementDetails(Element), esActual, s);
        return s;
    };
    return TRect(size(twFrameLeftActive).cx, size(twCaptionActive).cy, size(twFrameRightActive).cx,
                 size(twFrameBottomActive).cy);
}

TThemedWindow TSysDialogStyleHook::CaptionElement() const { return FFrameActive ? twCaptionActive : twCaptionInactive; }

TThemedWindow TSysDialogStyleHook::ButtonElement(int Button) const {
    TThemedWindow normal = twCloseButtonNormal;
    switch (Button) {
    case HTMAXBUTTON: normal = WindowState() == wsMaximized ? twRestoreButtonNormal : twMaxButtonNormal; break;
    case HTMINBUTTON: normal = twMinButtonNormal; break;
    case HTHELP: normal = twHelpButtonNormal; break;
    default: break;
    }
    // Normal, Hot, Pushed and Disabled follow each other.
    int offset = 3;
    if (FPressedButton == Button && FHotButton == Button) offset = 2;
    else if (FHotButton == Button) offset = 1;
    else if (FFrameActive) offset = 0;
    return TThemedWindow(int(normal) + offset);
}

TRect TSysDialogStyleHook::CaptionRect() {
    const int w = FSysControl->Width();
    if (BorderStyle() == bsNone) return TRect(0, 0, w, 0);
    TSize s{0, 0};
    StyleServices()->GetElementSize(nullptr, StyleServices()->GetElementDetails(CaptionElement()), esActual, s);
    return TRect(0, 0, w, s.cy);
}

TRect TSysDialogStyleHook::ButtonRect(int Button) {
    TRect r;
    if (!StyleServices()->GetElementContentRect(nullptr, StyleServices()->GetElementDetails(ButtonElement(Button)),
                                                CaptionRect(), r))
        return TRect();
    return r;
}

TRect TSysDialogStyleHook::CloseButtonRect() {
    if (!BorderIcons().Contains(biSystemMenu)) return TRect();
    return ButtonRect(HTCLOSE);
}

TRect TSysDialogStyleHook::MaxButtonRect() {
    const TBorderIcons icons = BorderIcons();
    if (!icons.Contains(biMaximize) || !icons.Contains(biSystemMenu) || BorderStyle() == bsDialog) return TRect();
    return ButtonRect(HTMAXBUTTON);
}

TRect TSysDialogStyleHook::MinButtonRect() {
    const TBorderIcons icons = BorderIcons();
    if (!icons.Contains(biMinimize) || !icons.Contains(biSystemMenu) || BorderStyle() == bsDialog) return TRect();
    return ButtonRect(HTMINBUTTON);
}

TRect TSysDialogStyleHook::HelpButtonRect() {
    const TBorderIcons icons = BorderIcons();
    if (!icons.Contains(biHelp) || !icons.Contains(biSystemMenu)) return TRect();
    if ((icons.Contains(biMaximize) || icons.Contains(biMinimize)) && BorderStyle() != bsDialog) return TRect();
    return ButtonRect(HTHELP);
}

TRect TSysDialogStyleHook::SysMenuButtonRect() {
    if (!BorderIcons().Contains(biSystemMenu) || BorderStyle() == bsDialog) return TRect();
    TRect c;
    StyleServices()->GetElementContentRect(nullptr, StyleServices()->GetElementDetails(twSysButtonNormal), CaptionRect(), c);
    const int w = GetSysMetricsForDpi(SM_CXSMICON), h = GetSysMetricsForDpi(SM_CYSMICON);
    const int left = c.Left + (c.Width() - w) / 2, top = c.Top + (c.Height() - h) / 2;
    return TRect(left, top, left + w, top + h);
}

TPoint TSysDialogStyleHook::DialogScreenToWindow(const TPoint& Point) {
    const TRect w = FSysControl->WindowRect();
    // A right-to-left layout mirrors the window: its caption buttons are hit at the mirrored place.
    if (FSysControl->ExStyle() & WS_EX_LAYOUTRTL) return TPoint(w.Right - 1 - Point.X, Point.Y - w.Top);
    return TPoint(Point.X - w.Left, Point.Y - w.Top);
}

int TSysDialogStyleHook::HotButtonAt(const TPoint& Point) {
    int result = HTCAPTION;
    if (HelpButtonRect().Contains(Point)) result = HTHELP;
    else if (MinButtonRect().Contains(Point)) result = HTMINBUTTON;
    else if (MaxButtonRect().Contains(Point)) result = HTMAXBUTTON;
    else if (CloseButtonRect().Contains(Point)) result = HTCLOSE;
    if (result == HTCAPTION) {
        if (FHotButton != 0) {
            FHotButton = 0;
            InvalidateNC();
        }
    } else if (result != FHotButton) {
        FHotButton = result;
        InvalidateNC();
    }
    return result;
}

HRGN TSysDialogStyleHook::CaptionRegion() {
    if (FRegion) DeleteObject(FRegion);
    FRegion = nullptr;
    if (!StyleAvailable()) return nullptr;
    HRGN region = nullptr;
    const TRect all(0, 0, FSysControl->Width(), FSysControl->Height());
    if (!StyleServices()->GetElementRegion(StyleServices()->GetElementDetails(twCaptionActive), all, region)) return nullptr;
    return region;
}

HICON TSysDialogStyleHook::Icon() { return FIcon && FIconHandle ? FIcon : LoadDialogIcon(); }

HICON TSysDialogStyleHook::LoadDialogIcon() {
    HICON found = reinterpret_cast<HICON>(SendMessageW(FHandle, WM_GETICON, ICON_SMALL, 0));
    if (!found) found = reinterpret_cast<HICON>(SendMessageW(FHandle, WM_GETICON, ICON_BIG, 0));
    if (!found) found = reinterpret_cast<HICON>(SendMessageW(FHandle, WM_GETICON, ICON_SMALL2, 0));
    if (!found) {
        WCHAR name[256];
        if (GetClassNameW(FHandle, name, 256) > 0) {
            WNDCLASSEXW wc{};
            wc.cbSize = sizeof(wc);
            if (GetClassInfoExW(reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(FHandle, GWLP_HINSTANCE)), name, &wc))
                found = wc.hIconSm ? wc.hIconSm : wc.hIcon;
        }
    }
    if (found) {
        int cx = GetSysMetricsForDpi(SM_CXSMICON), cy = GetSysMetricsForDpi(SM_CYSMICON);
        if (cx == 0) cx = GetSystemMetrics(SM_CXSIZE);
        if (cy == 0) cy = GetSystemMetrics(SM_CYSIZE);
        if (FIcon) DestroyIcon(FIcon);
        FIcon = reinterpret_cast<HICON>(CopyImage(found, IMAGE_ICON, cx, cy, 0));
        FIconHandle = found;
    }
    return FIcon;
}

// ---- commands ----

void TSysDialogStyleHook::CommandClose() {
    if (FHandle && !FSysCloseButtonDisabled) SendMessageW(FHandle, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void TSysDialogStyleHook::CommandHelp() { SendMessageW(FHandle, WM_SYSCOMMAND, SC_CONTEXTHELP, 0); }

void TSysDialogStyleHook::CommandMaximize() {
    FPressedButton = FHotButton = 0;
    SendMessageW(FHandle, WM_SYSCOMMAND, IsZoomed(FHandle) ? SC_RESTORE : SC_MAXIMIZE, 0);
}

void TSysDialogStyleHook::CommandMinimize() {
    FPressedButton = FHotButton = 0;
    SendMessageW(FHandle, WM_SYSCOMMAND, IsIconic(FHandle) ? SC_RESTORE : SC_MINIMIZE, 0);
}

void TSysDialogStyleHook::CommandRestore() {
    FPressedButton = FHotButton = 0;
    SendMessageW(FHandle, WM_SYSCOMMAND, SC_RESTORE, 0);
}

// ---- painting ----

void TSysDialogStyleHook::Paint(TCanvas* Canvas) {
    TSysScrollingStyleHook::Paint(Canvas);
    PaintBackground(Canvas);
}

void TSysDialogStyleHook::PaintNC(TCanvas* Canvas) {
    if (BorderStyle() == bsNone || WindowState() == wsMinimized) return;
    TCustomStyleServices* style = StyleServices();
    const TRect caption = CaptionRect();
    const int W = FSysControl->Width(), H = FSysControl->Height();
    auto bitmap = std::make_unique<TBitmap>(caption.Width(), std::max<LONG>(caption.Height(), 1));
    HDC bdc = bitmap->Canvas()->Handle();
    DrawStyleElement(bdc, style->GetElementDetails(CaptionElement()), caption, true);
    TRect text = caption;
    const TBorderIcons icons = BorderIcons();
    if (!icons.Contains(biSystemMenu) || BorderStyle() == bsDialog) {
        text.Left += 8;
    } else {
        TRect c;
        style->GetElementContentRect(nullptr, style->GetElementDetails(twSysButtonNormal), caption, c);
        const int iw = GetSysMetricsForDpi(SM_CXSMICON), ih = GetSysMetricsForDpi(SM_CYSMICON);
        const TRect icon = Bounds(c.Left + (c.Width() - iw) / 2, c.Top + (c.Height() - ih) / 2, iw, ih);
        if (c.Width() > 0)
            if (HICON i = Icon()) DrawIconEx(bdc, icon.Left, icon.Top, i, 0, 0, 0, nullptr, DI_NORMAL);
        text.Left += c.Width() + 8;
        FSysMenuButtonRect = c;
    }
    auto drawButton = [&](TThemedWindow Element, const TRect& R) {
        if (R.Width() > 0) style->DrawElement(bdc, style->GetElementDetails(Element), R);
        if (R.Left > 0) text.Right = R.Left;
    };
    if (icons.Contains(biSystemMenu) && !IsMenuItemDisabled(SysMenu(), MenuItemPosition(SysMenu(), SC_CLOSE)))
        drawButton(FSysCloseButtonDisabled ? twCloseButtonNormal : ButtonElement(HTCLOSE), CloseButtonRect());
    if (icons.Contains(biMaximize) && icons.Contains(biSystemMenu) && BorderStyle() != bsDialog)
        drawButton(ButtonElement(HTMAXBUTTON), MaxButtonRect());
    if (icons.Contains(biMinimize) && icons.Contains(biSystemMenu) && BorderStyle() != bsDialog)
        drawButton(ButtonElement(HTMINBUTTON), MinButtonRect());
    if (icons.Contains(biHelp) && icons.Contains(biSystemMenu) &&
        ((!icons.Contains(biMaximize) && !icons.Contains(biMinimize)) || BorderStyle() == bsDialog)) {
        TRect r;
        style->GetElementContentRect(nullptr, style->GetElementDetails(ButtonElement(HTHELP)), caption, r);
        drawButton(ButtonElement(HTHELP), r);
    }
    Canvas->Draw(0, 0, bitmap.get());
    // The caption text in the caption element's own text colour.
    Canvas->Font()->Assign(FSysControl->Font());
    TRect t = text;
    style->DrawText(Canvas->Handle(), style->GetElementDetails(CaptionElement()), FSysControl->Text(), t,
                    TTextFormat{tfLeft, tfSingleLine, tfVerticalCenter});
    FCaptionRect = text;
    const TRect b = GetBorderWidths();
    const bool active = FFrameActive;
    if (b.Left < W)
        DrawStyleElement(Canvas->Handle(), style->GetElementDetails(active ? twFrameLeftActive : twFrameLeftInactive),
                         TRect(0, caption.Height(), b.Left, H), true);
    if (b.Right < W)
        DrawStyleElement(Canvas->Handle(), style->GetElementDetails(active ? twFrameRightActive : twFrameRightInactive),
                         TRect(W - b.Right, caption.Height(), W, H), true);
    DrawStyleElement(Canvas->Handle(), style->GetElementDetails(active ? twFrameBottomActive : twFrameBottomInactive),
                     TRect(0, H - b.Bottom, W, H), true);
    TSysScrollingStyleHook::PaintNC(Canvas);
}

// ---- messages ----

void TSysDialogStyleHook::Dispatch(TMessage& Message) {
    const bool styled = IsStyled() && FOverridePaintNC;
    switch (Message.Msg) {
    case WM_SIZE:
        if (styled) WMSize(Message);
        return;
    case WM_SETTEXT: WMSetText(Message); return;
    case WM_PAINT: WMPaintDialog(Message); return;
    case WM_NCCALCSIZE:
        // A top-level dialog whose frame the desktop draws again (the hook going) has none of ours.
        if (styled && BorderStyle() != bsNone && UpdateRegion() &&
            ((FSysControl->Style() & WS_CHILD) || TwHasOwnFrame(FHandle)))
            WMNCCalcSize(Message);
        return;
    case WM_NCHITTEST:
        if (styled) WMNCHitTestDialog(Message);
        return;
    case WM_NCACTIVATE:
        if (!styled) return;
        FFrameActive = Message.WParam != 0;
        InvalidateNC();
        Message.Result = 1;
        FHandled = true;
        return;
    case WM_NCMOUSEMOVE:
    case WM_NCLBUTTONUP: return;  // the window's own procedure
    case WM_NCLBUTTONDOWN:
        if (styled) WMNCLButtonDownDialog(Message);
        return;
    default: TSysScrollingStyleHook::Dispatch(Message); return;
    }
}

void TSysDialogStyleHook::WMNCHitTestDialog(TMessage& Message) {
    const int hit = HotButtonAt(DialogScreenToWindow(TPoint(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam))));
    if (IsCaptionButton(WPARAM(hit))) {
        Message.Result = hit;
        FHandled = true;
        return;
    }
    WMNCHitTest(Message);
    // The system's own caption buttons are not drawn: they must never react.
    if (IsCaptionButton(WPARAM(Message.Result))) Message.Result = HTCLIENT;
    FHandled = true;
}

void TSysDialogStyleHook::WMNCLButtonDownDialog(TMessage& Message) {
    if (!IsCaptionButton(Message.WParam)) {
        WMNCLButtonDown(Message);
        FHandled = true;
        return;
    }
    const int button = int(Message.WParam);
    FPressedButton = button;
    InvalidateNC();
    SetRedraw(false);
    FCommandDuringPress = false;
    Message.Result = CallDefaultProc(Message);
    if (!IsWindow(FHandle)) return;
    SetRedraw(true);
    FPressedButton = FHotButton = 0;
    InvalidateNC();
    FHandled = true;
    // The window's own loop runs the command when the button comes up over it; it must not run twice.
    if (FCommandDuringPress) return;
    POINT p{};
    GetCursorPos(&p);
    const TPoint at = DialogScreenToWindow(TPoint(p));
    switch (button) {
    case HTMINBUTTON:
        if (MinButtonRect().Contains(at)) CommandMinimize();
        break;
    case HTMAXBUTTON:
        if (MaxButtonRect().Contains(at)) WindowState() == wsMaximized ? CommandRestore() : CommandMaximize();
        break;
    case HTCLOSE:
        if (CloseButtonRect().Contains(at)) CommandClose();
        break;
    case HTHELP:
        if (HelpButtonRect().Contains(at)) CommandHelp();
        break;
    default: break;
    }
}

void TSysDialogStyleHook::WMSize(TMessage& Message) {
    Message.Result = CallDefaultProc(Message);
    FRegion = CaptionRegion();
    // After SetWindowRgn the region belongs to the system.
    if (FRegion && BorderStyle() != bsNone && UpdateRegion() && SetWindowRgn(FHandle, FRegion, TRUE)) FRegion = nullptr;
    FHandled = true;
}

void TSysDialogStyleHook::WMSetText(TMessage& Message) {
    TCustomStyleServices* style = TStyleManager::ActiveStyle();
    if (BorderStyle() == bsNone || WindowState() == wsMinimized || !style || style->IsSystemStyle()) return;
    const bool visible = FSysControl->Visible();
    if (visible) SetRedraw(false);
    Message.Result = CallDefaultProc(Message);
    if (visible) {
        SetRedraw(true);
        InvalidateNC();
    }
    FHandled = true;
}

void TSysDialogStyleHook::WMPaintDialog(TMessage& Message) {
    if (FOverridePaint && IsSimpleDialog(FHandle)) {
        WMPaint(Message);
        return;
    }
    Message.Result = CallDefaultProc(Message);
    FHandled = true;
}

void TSysDialogStyleHook::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_DESTROY: {
        FSysControl->FDestroyed = true;
        // The dialog's own clean-up always runs, whatever its parent's hook is doing.
        Message.Result = CallDefaultProc(Message);
        if (HWND parent = GetParent(FHandle)) RedrawWindow(parent, nullptr, nullptr, 0x407);
        return;
    }
    case WM_CREATE: {
        Message.Result = CallDefaultProc(Message);
        if (!FSizeAtCreate || !IsWindow(FHandle)) return;
        FSizeAtCreate = false;
        // Made with the size of its client area (the desktop would have drawn the frame outside it):
        // the frame and caption are added around it.
        RECT wr{}, cr{};
        GetWindowRect(FHandle, &wr);
        GetClientRect(FHandle, &cr);
        const int w = wr.right - wr.left, h = wr.bottom - wr.top;
        if (w > 0 && h > 0)
            SetWindowPos(FHandle, nullptr, 0, 0, 2 * w - cr.right, 2 * h - cr.bottom, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
        return;
    }
    case WM_SHOWWINDOW: {
        Message.Result = CallDefaultProc(Message);
        // The style's frame is taken once, at the first show.
        if (!Message.WParam || FGrown || !IsWindow(FHandle)) return;
        FGrown = true;
        const TRect b = GetBorderWidths();
        const int border = GetSystemMetrics(SM_CXBORDER) + 1;
        if (b.Left != border) {
            const int d = b.Left + b.Right - 2 * border;
            SetWindowPos(FHandle, nullptr, 0, 0, FSysControl->Width() + d, FSysControl->Height() + d + 1,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
        }
        return;
    }
    case WM_WINDOWPOSCHANGED: FSysCloseButtonDisabled = IsCloseMissing(); break;
    case WM_SYSCOMMAND:
        if (FPressedButton && IsButtonCommand(Message.WParam)) FCommandDuringPress = true;
        break;
    default: break;
    }
    TSysScrollingStyleHook::WndProc(Message);
}

} // namespace styling
