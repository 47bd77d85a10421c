// "Static": text, icons, bitmaps, filled and framed rectangles, etched lines and frames, owner-drawn.
#include "win/user32/controls/Controls.h"

namespace twuser::controls {

namespace {

struct StaticState {
    HFONT font = nullptr;
    HANDLE image = nullptr;  // icon (SS_ICON) or bitmap (SS_BITMAP)
};

UINT TypeOf(HWND hwnd) { return UINT(GetWindowLongW(hwnd, GWL_STYLE)) & SS_TYPEMASK; }

void PaintText(HWND hwnd, HDC hdc, const RECT& rc) {
    const LONG style = GetWindowLongW(hwnd, GWL_STYLE);
    const UINT type = style & SS_TYPEMASK;
    UINT f = DT_EXPANDTABS;
    switch (type) {
    case SS_CENTER: f |= DT_CENTER | DT_WORDBREAK; break;
    case SS_RIGHT: f |= DT_RIGHT | DT_WORDBREAK; break;
    case SS_SIMPLE: f |= DT_SINGLELINE | DT_NOCLIP; break;
    case SS_LEFTNOWORDWRAP: f |= DT_SINGLELINE; break;
    default: f |= DT_WORDBREAK; break;
    }
    if (style & SS_NOPREFIX) f |= DT_NOPREFIX;
    if (style & SS_CENTERIMAGE) f = (f & ~DT_WORDBREAK) | DT_SINGLELINE | DT_VCENTER;
    switch (style & SS_ELLIPSISMASK) {
    case SS_ENDELLIPSIS: f |= DT_END_ELLIPSIS; break;
    case SS_PATHELLIPSIS: f |= DT_PATH_ELLIPSIS; break;
    case SS_WORDELLIPSIS: f |= DT_WORD_ELLIPSIS; break;
    default: break;
    }
    if (SendMessageW(hwnd, WM_QUERYUISTATE, 0, 0) & UISF_HIDEACCEL) f |= DT_HIDEPREFIX;
    HBRUSH bg = ControlColor(hwnd, hdc, WM_CTLCOLORSTATIC);
    if (type != SS_SIMPLE || bg) FillRect(hdc, &rc, bg);
    if (!IsWindowEnabled(hwnd)) SetTextColor(hdc, GetSysColor(COLOR_GRAYTEXT));
    SetBkMode(hdc, TRANSPARENT);
    const std::u16string text = TextOf(hwnd);
    RECT r = rc;
    DrawTextW(hdc, text.c_str(), int(text.size()), &r, f);
}

void PaintImage(HWND hwnd, HDC hdc, const RECT& rc, const StaticState* s) {
    HBRUSH bg = ControlColor(hwnd, hdc, WM_CTLCOLORSTATIC);
    FillRect(hdc, &rc, bg);
    if (!s->image) return;
    const bool center = GetWindowLongW(hwnd, GWL_STYLE) & SS_CENTERIMAGE;
    if (TypeOf(hwnd) == SS_ICON) {
        ICONINFO ii{};
        int w = GetSystemMetrics(SM_CXICON), h = GetSystemMetrics(SM_CYICON);
        if (GetIconInfo(reinterpret_cast<HICON>(s->image), &ii)) {
            BITMAP bm{};
            if (ii.hbmColor && GetObjectW(ii.hbmColor, sizeof bm, &bm)) w = bm.bmWidth, h = bm.bmHeight;
            if (ii.hbmColor) DeleteObject(ii.hbmColor);
            if (ii.hbmMask) DeleteObject(ii.hbmMask);
        }
        const int x = center ? (rc.right - w) / 2 : 0, y = center ? (rc.bottom - h) / 2 : 0;
        DrawIconEx(hdc, x, y, reinterpret_cast<HICON>(s->image), w, h, 0, nullptr, DI_NORMAL);
        return;
    }
    BITMAP bm{};
    if (!GetObjectW(s->image, sizeof bm, &bm)) return;
    const int x = center ? (rc.right - bm.bmWidth) / 2 : 0, y = center ? (rc.bottom - bm.bmHeight) / 2 : 0;
    HDC mem = CreateCompatibleDC(hdc);
    HGDIOBJ old = SelectObject(mem, s->image);
    BitBlt(hdc, x, y, bm.bmWidth, bm.bmHeight, mem, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteDC(mem);
}

void Paint(HWND hwnd, HDC hdc) {
    auto* s = StateOf<StaticState>(hwnd);
    if (!s) return;
    RECT rc;
    GetClientRect(hwnd, &rc);
    const int saved = SaveDC(hdc);
    SelectObject(hdc, s->font ? s->font : DefaultGuiFont());
    switch (TypeOf(hwnd)) {
    case SS_ICON:
    case SS_BITMAP: PaintImage(hwnd, hdc, rc, s); break;
    case SS_BLACKRECT: FillRect(hdc, &rc, GetSysColorBrush(COLOR_3DDKSHADOW)); break;
    case SS_GRAYRECT: FillRect(hdc, &rc, GetSysColorBrush(COLOR_3DSHADOW)); break;
    case SS_WHITERECT: FillRect(hdc, &rc, GetSysColorBrush(COLOR_3DHIGHLIGHT)); break;
    case SS_BLACKFRAME: FrameRect(hdc, &rc, GetSysColorBrush(COLOR_3DDKSHADOW)); break;
    case SS_GRAYFRAME: FrameRect(hdc, &rc, GetSysColorBrush(COLOR_3DSHADOW)); break;
    case SS_WHITEFRAME: FrameRect(hdc, &rc, GetSysColorBrush(COLOR_3DHIGHLIGHT)); break;
    case SS_ETCHEDHORZ: DrawEdge(hdc, &rc, EDGE_ETCHED, BF_TOP); break;
    case SS_ETCHEDVERT: DrawEdge(hdc, &rc, EDGE_ETCHED, BF_LEFT); break;
    case SS_ETCHEDFRAME: DrawEdge(hdc, &rc, EDGE_ETCHED, BF_RECT); break;
    case SS_OWNERDRAW: {
        DRAWITEMSTRUCT dis{};
        dis.CtlType = ODT_STATIC;
        dis.CtlID = UINT(GetDlgCtrlID(hwnd));
        dis.itemAction = ODA_DRAWENTIRE;
        dis.itemState = DrawItemState(hwnd);
        dis.hwndItem = hwnd;
        dis.hDC = hdc;
        dis.rcItem = rc;
        ControlColor(hwnd, hdc, WM_CTLCOLORSTATIC);
        SendMessageW(GetParent(hwnd), WM_DRAWITEM, WPARAM(dis.CtlID), reinterpret_cast<LPARAM>(&dis));
        break;
    }
    default: PaintText(hwnd, hdc, rc); break;
    }
    if (GetWindowLongW(hwnd, GWL_STYLE) & SS_SUNKEN) DrawEdge(hdc, &rc, BDR_SUNKENOUTER, BF_RECT);
    RestoreDC(hdc, saved);
}

// An icon or bitmap static takes the image's size unless it centres the image.
void FitToImage(HWND hwnd, HANDLE image) {
    if (!image || (GetWindowLongW(hwnd, GWL_STYLE) & SS_CENTERIMAGE)) return;
    int w = 0, h = 0;
    if (TypeOf(hwnd) == SS_ICON) {
        w = GetSystemMetrics(SM_CXICON), h = GetSystemMetrics(SM_CYICON);
        ICONINFO ii{};
        if (GetIconInfo(reinterpret_cast<HICON>(image), &ii)) {
            BITMAP bm{};
            if (ii.hbmColor && GetObjectW(ii.hbmColor, sizeof bm, &bm)) w = bm.bmWidth, h = bm.bmHeight;
            if (ii.hbmColor) DeleteObject(ii.hbmColor);
            if (ii.hbmMask) DeleteObject(ii.hbmMask);
        }
    } else {
        BITMAP bm{};
        if (!GetObjectW(image, sizeof bm, &bm)) return;
        w = bm.bmWidth, h = bm.bmHeight;
    }
    SetWindowPos(hwnd, nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HANDLE SetImage(HWND hwnd, StaticState* s, HANDLE image) {
    HANDLE old = s->image;
    s->image = image;
    FitToImage(hwnd, image);
    InvalidateRect(hwnd, nullptr, TRUE);
    return old;
}

} // namespace

LRESULT CALLBACK StaticProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* s = StateOf<StaticState>(hwnd);
    if (!s && msg != WM_NCCREATE) return DefWindowProcW(hwnd, msg, wp, lp);
    const LONG style = GetWindowLongW(hwnd, GWL_STYLE);
    switch (msg) {
    case WM_NCCREATE:
        AttachState<StaticState>(hwnd);
        return DefWindowProcW(hwnd, msg, wp, lp);
    case WM_NCDESTROY:
        FreeState<StaticState>(hwnd);
        return DefWindowProcW(hwnd, msg, wp, lp);
    case WM_NCHITTEST:
        // Without SS_NOTIFY, clicks fall through to what lies beneath.
        return (style & SS_NOTIFY) ? HTCLIENT : HTTRANSPARENT;
    case WM_GETDLGCODE: return DLGC_STATIC;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT:
    case WM_PRINTCLIENT: PaintOrPrint(hwnd, msg == WM_PRINTCLIENT ? wp : 0, Paint); return 0;
    case WM_SETFONT:
        s->font = reinterpret_cast<HFONT>(wp);
        if (LOWORD(lp)) InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(s->font);
    case WM_SETTEXT: {
        const LRESULT r = DefWindowProcW(hwnd, msg, wp, lp);
        InvalidateRect(hwnd, nullptr, TRUE);
        return r;
    }
    case WM_ENABLE:
        InvalidateRect(hwnd, nullptr, TRUE);
        if (style & SS_NOTIFY) NotifyParent(hwnd, wp ? STN_ENABLE : STN_DISABLE);
        return 0;
    case WM_LBUTTONDOWN:
        if (style & SS_NOTIFY) NotifyParent(hwnd, STN_CLICKED);
        return 0;
    case WM_LBUTTONDBLCLK:
        if (style & SS_NOTIFY) NotifyParent(hwnd, STN_DBLCLK);
        return 0;
    case STM_GETICON: return TypeOf(hwnd) == SS_ICON ? reinterpret_cast<LRESULT>(s->image) : 0;
    case STM_SETICON:
        if (TypeOf(hwnd) != SS_ICON) return 0;
        return reinterpret_cast<LRESULT>(SetImage(hwnd, s, reinterpret_cast<HANDLE>(wp)));
    case STM_GETIMAGE:
        if ((wp == IMAGE_ICON && TypeOf(hwnd) == SS_ICON) || (wp == IMAGE_BITMAP && TypeOf(hwnd) == SS_BITMAP))
            return reinterpret_cast<LRESULT>(s->image);
        return 0;
    case STM_SETIMAGE:
        if ((wp == IMAGE_ICON || wp == IMAGE_CURSOR) && TypeOf(hwnd) == SS_ICON)
            return reinterpret_cast<LRESULT>(SetImage(hwnd, s, reinterpret_cast<HANDLE>(lp)));
        if (wp == IMAGE_BITMAP && TypeOf(hwnd) == SS_BITMAP)
            return reinterpret_cast<LRESULT>(SetImage(hwnd, s, reinterpret_cast<HANDLE>(lp)));
        return 0;
    default: return DefWindowProcW(hwnd, msg, wp, lp);
    }
}

} // namespace twuser::controls
