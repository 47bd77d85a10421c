// The non-client area (borders, captions of undecorated windows, edges, scroll bars) and
// DefWindowProcW with Windows' default answers.
#include "win/user32/MenuModel.h"
#include "win/user32/WindowModel.h"

#include <algorithm>
#include <cstring>

namespace twuser {

int FrameWidth(const Window* w) {
    if (IsDecorated(w)) return 0;
    // SM_CXFRAME counts the outer line that only a bordered (or captioned) sizing frame has.
    if (w->style & WS_THICKFRAME)
        return GetSystemMetrics(SM_CXFRAME) - ((w->style & (WS_BORDER | WS_DLGFRAME)) ? 0 : GetSystemMetrics(SM_CXBORDER));
    if ((w->style & WS_DLGFRAME) || (w->exStyle & WS_EX_DLGMODALFRAME)) return GetSystemMetrics(SM_CXDLGFRAME);
    if (w->style & WS_BORDER) return GetSystemMetrics(SM_CXBORDER);
    return 0;
}

namespace {

bool HasModelCaption(const Window* w) { return !IsDecorated(w) && (w->style & WS_CAPTION) == WS_CAPTION; }

int CaptionHeight(const Window* w) {
    return GetSystemMetrics((w->exStyle & WS_EX_TOOLWINDOW) ? SM_CYSMCAPTION : SM_CYCAPTION);
}

// The rectangle inside borders, caption and edges (window coordinates), before scroll bars.
RECT InnerRect(const Window* w, const RECT& wr) {
    RECT r = wr;
    const int b = FrameWidth(w);
    InflateRect(&r, -b, -b);
    if (HasModelCaption(w)) r.top += CaptionHeight(w);
    r.top += menus::MenuBarHeight(const_cast<Window*>(w), r, POINT{wr.left, wr.top});
    if (w->exStyle & WS_EX_CLIENTEDGE) InflateRect(&r, -GetSystemMetrics(SM_CXEDGE), -GetSystemMetrics(SM_CYEDGE));
    if (w->exStyle & WS_EX_STATICEDGE) InflateRect(&r, -1, -1);
    return r;
}

// The caption (window coordinates) of a window whose caption the model draws.
RECT ModelCaption(const Window* w) {
    const int b = FrameWidth(w);
    return RECT{b, b, w->Width() - b, b + CaptionHeight(w)};
}

// The caption buttons a window shows, as Windows chooses them: close with the system menu; maximise and
// minimise when either box is asked for; help in their place with WS_EX_CONTEXTHELP.
bool HasCaptionButton(const Window* w, int hit) {
    if (!(w->style & WS_SYSMENU)) return false;
    const bool boxes = (w->style & (WS_MAXIMIZEBOX | WS_MINIMIZEBOX)) != 0;
    switch (hit) {
    case HTCLOSE: return true;
    case HTMAXBUTTON:
    case HTMINBUTTON: return boxes && !(w->exStyle & WS_EX_TOOLWINDOW);
    case HTHELP: return !boxes && (w->exStyle & WS_EX_CONTEXTHELP);
    default: return false;
    }
}

constexpr int CaptionButtons[] = {HTCLOSE, HTMAXBUTTON, HTMINBUTTON, HTHELP};

// The caption button under a window point of a window with a model caption; 0 for none.
int CaptionButtonAt(const Window* w, POINT p) {
    const RECT cap = ModelCaption(w);
    for (const int hit : CaptionButtons) {
        RECT r;
        if (HasCaptionButton(w, hit) && TwCaptionButtonRect(&cap, hit, &r) && PtInRect(&r, p)) return hit;
    }
    return 0;
}

void NormalizeRect(RECT& r) {
    r.right = std::max(r.right, r.left);
    r.bottom = std::max(r.bottom, r.top);
}

void Fill(HDC hdc, const RECT& r, int color) { FillRect(hdc, &r, GetSysColorBrush(color)); }

} // namespace

bool BarShown(const Window* w, int bar) { return w->style & (bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL); }

RECT CalcNonClient(const Window* w, const RECT& wr) {
    RECT r = InnerRect(w, wr);
    NormalizeRect(r);
    const int cxv = GetSystemMetrics(SM_CXVSCROLL), cyh = GetSystemMetrics(SM_CYHSCROLL);
    if (BarShown(w, SB_VERT) && r.right - r.left >= cxv) {
        if (w->exStyle & WS_EX_LEFTSCROLLBAR) r.left += cxv;
        else r.right -= cxv;
    }
    if (BarShown(w, SB_HORZ) && r.bottom - r.top >= cyh) r.bottom -= cyh;
    NormalizeRect(r);
    return r;
}

void UpdateClientRect(Window* w, bool sendCalcSize) {
    const HWND h = w->handle;
    RECT r = w->rect;
    if (sendCalcSize) {
        Send(h, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&r));
        if (!(w = Get(h))) return;
    } else {
        r = CalcNonClient(w, r);
    }
    NormalizeRect(r);
    w->client = RECT{r.left - w->rect.left, r.top - w->rect.top, r.right - w->rect.left, r.bottom - w->rect.top};
}

bool ScrollBarRect(const Window* w, int bar, RECT& out) {
    if (!BarShown(w, bar)) return false;
    const RECT& c = w->client;
    const int cxv = GetSystemMetrics(SM_CXVSCROLL), cyh = GetSystemMetrics(SM_CYHSCROLL);
    if (bar == SB_VERT) {
        if (w->exStyle & WS_EX_LEFTSCROLLBAR) out = RECT{c.left - cxv, c.top, c.left, c.bottom};
        else out = RECT{c.right, c.top, c.right + cxv, c.bottom};
        if (out.left < 0 || out.right > w->Width()) return false;
    } else {
        out = RECT{c.left, c.bottom, c.right, c.bottom + cyh};
        if (out.bottom > w->Height()) return false;
    }
    return out.right > out.left && out.bottom > out.top;
}

LRESULT DefHitTest(Window* w, POINT sp) {
    const RECT wr = ScreenRect(w);
    if (!PtInRect(&wr, sp)) return HTNOWHERE;
    const POINT p{sp.x - wr.left, sp.y - wr.top};
    if (PtInRect(&w->client, p)) return HTCLIENT;
    RECT sb;
    if (ScrollBarRect(w, SB_VERT, sb) && PtInRect(&sb, p)) return HTVSCROLL;
    if (ScrollBarRect(w, SB_HORZ, sb) && PtInRect(&sb, p)) return HTHSCROLL;
    RECT v, h;
    if (ScrollBarRect(w, SB_VERT, v) && ScrollBarRect(w, SB_HORZ, h)) {
        const RECT corner{v.left, h.top, v.right, h.bottom};
        if (PtInRect(&corner, p)) return (w->style & WS_THICKFRAME) ? HTBOTTOMRIGHT : HTNOWHERE;
    }
    if (const HMENU bar = menus::BarMenuOf(w)) {
        const RECT band = menus::Find(bar)->barRect;
        if (PtInRect(&band, p)) return HTMENU;
    }
    if (IsDecorated(w)) return HTBORDER;
    const int b = FrameWidth(w);
    const int W = w->Width(), H = w->Height();
    if ((w->style & WS_THICKFRAME) && b > 0) {
        const int corner = GetSystemMetrics(SM_CXSIZE);
        const bool left = p.x < b, right = p.x >= W - b, top = p.y < b, bottom = p.y >= H - b;
        if (left || right || top || bottom) {
            const bool nearLeft = p.x < corner, nearRight = p.x >= W - corner;
            const bool nearTop = p.y < corner, nearBottom = p.y >= H - corner;
            if ((top && nearLeft) || (left && nearTop)) return HTTOPLEFT;
            if ((top && nearRight) || (right && nearTop)) return HTTOPRIGHT;
            if ((bottom && nearLeft) || (left && nearBottom)) return HTBOTTOMLEFT;
            if ((bottom && nearRight) || (right && nearBottom)) return HTBOTTOMRIGHT;
            if (left) return HTLEFT;
            if (right) return HTRIGHT;
            if (top) return HTTOP;
            return HTBOTTOM;
        }
    }
    if (HasModelCaption(w) && p.y >= b && p.y < b + CaptionHeight(w)) {
        if (const int button = CaptionButtonAt(w, p)) return button;
        return HTCAPTION;
    }
    if (b > 0 || (w->exStyle & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE))) return HTBORDER;
    return HTNOWHERE;
}

void PaintNonClient(Window* w, HDC hdc) {
    RECT r{0, 0, w->Width(), w->Height()};
    const int b = FrameWidth(w);
    if (b > 0) {
        if (w->style & (WS_THICKFRAME | WS_DLGFRAME)) {
            RECT e = r;
            DrawEdge(hdc, &e, EDGE_RAISED, BF_RECT | BF_ADJUST);
            // The rest of a thick frame is the face colour.
            for (int i = 2; i < b; ++i) {
                FrameRect(hdc, &e, GetSysColorBrush(COLOR_BTNFACE));
                InflateRect(&e, -1, -1);
            }
        } else {
            FrameRect(hdc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
        }
        InflateRect(&r, -b, -b);
    }
    if (HasModelCaption(w)) {
        RECT cap{r.left, r.top, r.right, r.top + CaptionHeight(w)};
        const bool active = TopLevelOf(w) && H(TopLevelOf(w)) == S().active;
        Fill(hdc, cap, active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION);
        const int oldMode = SetBkMode(hdc, TRANSPARENT);
        const COLORREF oldColor = SetTextColor(hdc, GetSysColor(active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
        RECT t = cap;
        t.left += 4;
        DrawTextW(hdc, w->text.c_str(), int(w->text.size()), &t, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
        SetTextColor(hdc, oldColor);
        SetBkMode(hdc, oldMode);
        const RECT mc = ModelCaption(w);
        for (const int hit : CaptionButtons) {
            RECT br;
            if (!HasCaptionButton(w, hit) || !TwCaptionButtonRect(&mc, hit, &br)) continue;
            UINT kind = hit == HTCLOSE ? DFCS_CAPTIONCLOSE : hit == HTHELP ? DFCS_CAPTIONHELP
                        : hit == HTMINBUTTON ? (w->minimized ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONMIN)
                                             : (w->maximized ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONMAX);
            if (S().captionPressed == w->handle && S().captionPressedHit == hit) kind |= DFCS_PUSHED;
            DrawFrameControl(hdc, &br, DFC_CAPTION, kind);
        }
        r.top = cap.bottom;
    }
    if (menus::BarMenuOf(w)) {
        r.top += menus::MenuBarHeight(w, r, POINT{0, 0});
        menus::PaintMenuBar(w, hdc);
    }
    if (w->exStyle & WS_EX_CLIENTEDGE) {
        RECT e = r;
        DrawEdge(hdc, &e, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
        r = e;
    }
    if (w->exStyle & WS_EX_STATICEDGE) {
        RECT e = r;
        DrawEdge(hdc, &e, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
        r = e;
    }
    PaintScrollBars(w, hdc);
}

} // namespace twuser


extern "C" BOOL WINAPI TwCaptionButtonRect(const RECT* caption, int hitCode, RECT* button) {
    if (!caption || !button) return FALSE;
    const int height = caption->bottom - caption->top;
    const int bw = GetSystemMetrics(SM_CXSIZE) - 2, bh = std::min(GetSystemMetrics(SM_CYSIZE) - 4, height - 4);
    constexpr int Margin = 2;
    const int top = caption->top + (height - bh) / 2;
    int right = caption->right - Margin;
    int slot = 0;
    switch (hitCode) {
    case HTSYSMENU:
        *button = RECT{caption->left + Margin, top, caption->left + Margin + bh, top + bh};
        return TRUE;
    case HTCLOSE: slot = 0; break;
    case HTMAXBUTTON:
    case HTHELP: slot = 1; break;
    case HTMINBUTTON: slot = 2; break;
    default: return FALSE;
    }
    // A gap between close and the rest; maximise and minimise touch.
    if (slot > 0) right -= bw + Margin + (slot - 1) * bw;
    *button = RECT{right - bw, top, right, top + bh};
    return TRUE;
}

using namespace twuser;

namespace {

LRESULT DefPrint(HWND hwnd, HDC hdc, LPARAM flags) {
    Window* w = Get(hwnd);
    if (!w) return 0;
    if ((flags & PRF_CHECKVISIBLE) && !ReallyVisible(w)) return 0;
    const int saved = SaveDC(hdc);
    if (flags & PRF_NONCLIENT) {
        PaintNonClient(w, hdc);
        if (!(w = Get(hwnd))) return 0;
    }
    POINT old;
    OffsetWindowOrgEx(hdc, -w->client.left, -w->client.top, &old);
    IntersectClipRect(hdc, 0, 0, w->client.right - w->client.left, w->client.bottom - w->client.top);
    if (flags & PRF_ERASEBKGND) Send(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0);
    if ((flags & PRF_CLIENT) && Get(hwnd)) Send(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(hdc), flags);
    if ((flags & PRF_CHILDREN) && (w = Get(hwnd))) {
        std::vector<HWND> kids;
        for (auto it = w->children.rbegin(); it != w->children.rend(); ++it)
            if ((*it)->Visible()) kids.push_back((*it)->handle);
        for (HWND k : kids) {
            Window* c = Get(k);
            if (!c) continue;
            const int s2 = SaveDC(hdc);
            POINT o;
            OffsetWindowOrgEx(hdc, -c->rect.left, -c->rect.top, &o);
            IntersectClipRect(hdc, 0, 0, c->Width(), c->Height());
            Send(k, WM_PRINT, reinterpret_cast<WPARAM>(hdc), flags | PRF_NONCLIENT);
            RestoreDC(hdc, s2);
        }
    }
    RestoreDC(hdc, saved);
    return 0;
}

} // namespace

namespace twuser {

namespace {

constexpr WORD UiFlags = UISF_HIDEFOCUS | UISF_HIDEACCEL | UISF_ACTIVE;

// The action and flags of a UI-state message, with UIS_INITIALIZE resolved the way Windows does:
// cues hidden after a click, shown after a key, always shown when the user asked for keyboard cues.
bool UiAction(WPARAM wp, int& action, WORD& flags) {
    action = LOWORD(wp);
    flags = HIWORD(wp);
    if (action < UIS_SET || action > UIS_INITIALIZE || (flags & ~UiFlags)) return false;
    BOOL cues = FALSE;
    SystemParametersInfoW(SPI_GETKEYBOARDCUES, 0, &cues, 0);
    if (action == UIS_INITIALIZE) action = (S().lastInputKeyboard || cues) ? UIS_CLEAR : UIS_SET;
    if (action == UIS_SET && cues) flags &= WORD(~(UISF_HIDEFOCUS | UISF_HIDEACCEL));
    return true;
}

WORD Applied(WORD state, int action, WORD flags) {
    return action == UIS_SET ? WORD(state | flags) : WORD(state & ~flags);
}

} // namespace

LRESULT DefUiState(Window* w, UINT msg, WPARAM wp, LPARAM lp) {
    const HWND hwnd = w->handle;
    if (msg == WM_QUERYUISTATE) return w->uiState;
    int action = 0;
    WORD flags = 0;
    if (!UiAction(wp, action, flags)) return 0;
    const bool initialize = LOWORD(wp) == UIS_INITIALIZE;
    if (msg == WM_CHANGEUISTATE) {
        // Nothing to change: no message goes anywhere (an initialisation always passes on).
        if (!initialize && Applied(w->uiState, action, flags) == w->uiState) return 0;
        // A child asks its parent, so the whole top-level window changes together.
        if (!IsTopLevel(w) && (w->style & WS_CHILD)) return Send(H(w->parent), msg, wp, lp);
        Send(hwnd, WM_UPDATEUISTATE, MAKEWPARAM(action, flags), lp);
        return 0;
    }
    w->uiState = Applied(w->uiState, action, flags);
    std::vector<HWND> children;
    for (Window* c : w->children) children.push_back(c->handle);
    for (HWND c : children)
        if (Get(c)) Send(c, WM_UPDATEUISTATE, MAKEWPARAM(action, flags), lp);
    return 0;
}

} // namespace twuser

using namespace twuser;

extern "C" {

LRESULT WINAPI DefWindowProcW(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Window* w = Get(hwnd);
    if (!w) return 0;
    auto& s = S();
    switch (msg) {
    case WM_NCCREATE:
        // The window text comes from the creation parameters here, not before: a window that answers
        // WM_NCCREATE itself starts without one.
        if (const auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lp); cs && cs->lpszName && !IS_INTRESOURCE(cs->lpszName))
            w->text = cs->lpszName;
        if (w->style & (WS_HSCROLL | WS_VSCROLL)) {
            // Windows gives a window created with scroll bars the range 0..100.
            w->hbar.max = w->vbar.max = 100;
        }
        return TRUE;
    case WM_NCCALCSIZE: {
        if (wp) {
            auto* p = reinterpret_cast<NCCALCSIZE_PARAMS*>(lp);
            if (p) p->rgrc[0] = CalcNonClient(w, p->rgrc[0]);
        } else if (auto* r = reinterpret_cast<RECT*>(lp)) {
            *r = CalcNonClient(w, *r);
        }
        return 0;
    }
    case WM_NCHITTEST: return DefHitTest(w, POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
    case WM_NCPAINT: {
        HDC hdc = GetWindowDC(hwnd);
        if (Window* x = Get(hwnd)) PaintNonClient(x, hdc);
        ReleaseDC(hwnd, hdc);
        return 0;
    }
    case WM_NCACTIVATE:
        if (HasModelCaption(w) && w->Visible()) {
            HDC hdc = GetWindowDC(hwnd);
            PaintNonClient(w, hdc);
            ReleaseDC(hwnd, hdc);
        }
        return TRUE;
    case WM_ERASEBKGND: {
        HBRUSH brush = w->cls ? w->cls->background : nullptr;
        if (!brush || !wp) return 0;
        RECT r;
        GetClientRect(hwnd, &r);
        FillRect(reinterpret_cast<HDC>(wp), &r, brush);
        return 1;
    }
    case WM_PAINT:
        // A DC in wParam means another window asks for a picture: the window's own pixels stay untouched.
        if (!wp) {
            PAINTSTRUCT ps;
            if (BeginPaint(hwnd, &ps)) EndPaint(hwnd, &ps);
        }
        return 0;
    case WM_PRINT: return DefPrint(hwnd, reinterpret_cast<HDC>(wp), lp);
    case WM_PRINTCLIENT: return 0;
    case WM_SETTEXT: {
        auto* text = reinterpret_cast<LPCWSTR>(lp);
        w->text = text ? std::u16string(text) : std::u16string();
        if (IsTopLevel(w) && w->shownOnScreen && s.backend) s.backend->Title(hwnd, QString::fromStdU16String(w->text));
        if (HasModelCaption(w) && w->Visible()) {
            w->frameNeeded = true;
            BumpSerial();
        }
        return TRUE;
    }
    case WM_GETTEXT: {
        auto* buf = reinterpret_cast<LPWSTR>(lp);
        if (!buf || wp == 0) return 0;
        const size_t n = std::min<size_t>(w->text.size(), wp - 1);
        std::copy_n(w->text.data(), n, buf);
        buf[n] = 0;
        return LRESULT(n);
    }
    case WM_GETTEXTLENGTH: return LRESULT(w->text.size());
    case WM_CLOSE: DestroyWindow(hwnd); return 0;
    case WM_SYSCOMMAND: {
        const UINT cmd = UINT(wp) & 0xFFF0;
        if (CallHooks(WH_CBT, HCBT_SYSCOMMAND, wp, lp)) return 0;
        if (!(w = Get(hwnd))) return 0;
        switch (cmd) {
        case SC_CLOSE: Send(hwnd, WM_CLOSE, 0, 0); break;
        case SC_MINIMIZE: ShowWindow(hwnd, SW_MINIMIZE); break;
        case SC_MAXIMIZE: ShowWindow(hwnd, SW_MAXIMIZE); break;
        case SC_RESTORE: ShowWindow(hwnd, SW_RESTORE); break;
        case SC_MOVE:
        case SC_SIZE: MoveSizeLoop(w, UINT(wp)); break;
        case SC_VSCROLL:
        case SC_HSCROLL: TrackScrollBar(w, cmd == SC_VSCROLL ? SB_VERT : SB_HORZ, POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}); break;
        case SC_KEYMENU: {
            // Space opens the system menu; a letter opens the menu-bar item it is the mnemonic of;
            // Alt or F10 alone highlights the first bar item. Anything else beeps.
            if (lp == VK_SPACE && (w->style & WS_SYSMENU)) {
                const POINT o = WindowOrigin(w);
                menus::TrackSystemMenu(hwnd, POINT{o.x, o.y + w->client.top}, true);
                break;
            }
            const HMENU bar = menus::BarMenuOf(w);
            if (bar && lp == 0) {
                if (GetMenuItemCount(bar) > 0) menus::TrackMenuBar(hwnd, 0, true, true);
                break;
            }
            int hit = -1;
            if (bar)
                for (int i = 0; i < GetMenuItemCount(bar) && hit < 0; ++i)
                    if (const auto* it = menus::FindItem(bar, UINT(i), true); it && it->Mnemonic() == QChar(char16_t(lp)).toLower().unicode())
                        hit = i;
            if (hit >= 0) menus::TrackMenuBar(hwnd, hit, true);
            else if (lp != 0) MessageBeep(0);
            break;
        }
        case SC_MOUSEMENU: {
            const POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
            if ((wp & 0x0F) == HTSYSMENU) menus::TrackSystemMenu(hwnd, pt, false);
            else if (const int item = menus::BarItemAt(w, pt); item >= 0) menus::TrackMenuBar(hwnd, item, false);
            break;
        }
        default: break;
        }
        return 0;
    }
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
        if (wp == HTVSCROLL || wp == HTHSCROLL)
            Send(hwnd, WM_SYSCOMMAND, (wp == HTVSCROLL ? SC_VSCROLL : SC_HSCROLL) | wp, lp);
        else if (msg == WM_NCLBUTTONDOWN && (wp == HTMENU || wp == HTSYSMENU))
            Send(hwnd, WM_SYSCOMMAND, SC_MOUSEMENU | wp, lp);
        else if (msg == WM_NCLBUTTONDOWN && (wp == HTMINBUTTON || wp == HTMAXBUTTON || wp == HTCLOSE || wp == HTHELP))
            TrackCaptionButton(w, int(wp), POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
        else if (msg == WM_NCLBUTTONDOWN && wp == HTCAPTION)
            Send(hwnd, WM_SYSCOMMAND, SC_MOVE | HTCAPTION, lp);
        else if (msg == WM_NCLBUTTONDOWN && wp >= HTLEFT && wp <= HTBOTTOMRIGHT)
            Send(hwnd, WM_SYSCOMMAND, SC_SIZE | (wp - HTLEFT + WMSZ_LEFT), lp);
        return 0;
    case WM_RBUTTONUP: {
        POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        ClientToScreen(hwnd, &p);
        Send(hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(p.x, p.y));
        return 0;
    }
    case WM_NCRBUTTONUP:
        if (wp == HTCAPTION || wp == HTSYSMENU) Send(hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd), lp);
        return 0;
    case WM_CONTEXTMENU:
        if (!IsTopLevel(w) && (w->style & WS_CHILD)) return Send(H(w->parent), msg, wp, lp);
        // A right click on the caption of a window with a system menu opens that menu.
        if (lp != -1 && (w->style & WS_SYSMENU)) {
            const POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
            const LRESULT hit = Send(hwnd, WM_NCHITTEST, 0, lp);
            if ((hit == HTCAPTION || hit == HTSYSMENU) && Get(hwnd)) menus::TrackSystemMenu(hwnd, pt, false);
        }
        return 0;
    case 0x0313:  // the desktop asks for the window menu at a point
        if (w->style & WS_SYSMENU) menus::TrackSystemMenu(hwnd, POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}, false);
        return 0;
    case WM_HELP:
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL:
        if (!IsTopLevel(w) && (w->style & WS_CHILD)) return Send(H(w->parent), msg, wp, lp);
        return 0;
    case WM_MOUSEACTIVATE:
        if (!IsTopLevel(w) && (w->style & WS_CHILD)) {
            const LRESULT r = Send(H(w->parent), msg, wp, lp);
            if (r) return r;
        }
        return MA_ACTIVATE;
    case WM_SETCURSOR: {
        if (!IsTopLevel(w) && (w->style & WS_CHILD)) {
            if (Send(H(w->parent), msg, wp, lp)) return TRUE;
            if (!Get(hwnd)) return FALSE;
        }
        const int hit = SHORT(LOWORD(lp));
        const UINT mouseMsg = HIWORD(lp);
        if (hit == HTERROR) {
            if (mouseMsg == WM_LBUTTONDOWN || mouseMsg == WM_RBUTTONDOWN || mouseMsg == WM_MBUTTONDOWN) MessageBeep(0);
            return FALSE;
        }
        int id = 0;
        switch (hit) {
        case HTCLIENT:
            if (w->cls && w->cls->cursor) {
                SetCursor(w->cls->cursor);
                return TRUE;
            }
            return FALSE;
        case HTLEFT: case HTRIGHT: id = 32644; break;
        case HTTOP: case HTBOTTOM: id = 32645; break;
        case HTTOPLEFT: case HTBOTTOMRIGHT: id = 32642; break;
        case HTTOPRIGHT: case HTBOTTOMLEFT: id = 32643; break;
        default: id = 32512; break;
        }
        SetCursor(StandardCursor(id));
        return TRUE;
    }
    case WM_ACTIVATE:
        if (LOWORD(wp) != WA_INACTIVE && !w->minimized) SetFocus(hwnd);
        return 0;
    case WM_WINDOWPOSCHANGING: {
        auto* pos = reinterpret_cast<WINDOWPOS*>(lp);
        if (pos && !(pos->flags & SWP_NOSIZE) && SizeTracked(w)) ClampTracked(w, *pos);
        return 0;
    }
    case WM_WINDOWPOSCHANGED: {
        const auto* pos = reinterpret_cast<const WINDOWPOS*>(lp);
        if (!pos) return 0;
        if (!(pos->flags & TW_SWP_NOCLIENTMOVE))
            Send(hwnd, WM_MOVE, 0, MAKELPARAM(w->rect.left + w->client.left, w->rect.top + w->client.top));
        if ((w = Get(hwnd)) && !(pos->flags & TW_SWP_NOCLIENTSIZE)) {
            const WPARAM type = w->maximized ? SIZE_MAXIMIZED : w->minimized ? SIZE_MINIMIZED : SIZE_RESTORED;
            Send(hwnd, WM_SIZE, type, MAKELPARAM(w->client.right - w->client.left, w->client.bottom - w->client.top));
        }
        return 0;
    }
    case WM_SYSKEYDOWN:
        if (wp == VK_MENU) {
            if (!(HIWORD(lp) & KF_REPEAT)) {
                s.altAlone = true;
                // Alt shows the accelerator underlines of the window it was pressed in.
                Send(hwnd, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEACCEL), 0);
                if (!(w = Get(hwnd))) return 0;
            }
        } else if (wp == VK_F10 && GetKeyState(VK_SHIFT) < 0) {
            // Shift+F10 asks for the context menu, as the menu key does.
            s.altAlone = false;
            Send(hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd), -1);
        } else if (wp == VK_F10) {
            s.f10Down = true;
            s.altAlone = false;
        } else {
            s.altAlone = false;
            if (wp == VK_F4 && (HIWORD(lp) & KF_ALTDOWN)) Send(H(TopLevelOf(w)), WM_SYSCOMMAND, SC_CLOSE, 0);
        }
        return 0;
    case WM_KEYDOWN:
        s.altAlone = false;
        if (wp == VK_F10) s.f10Down = true;
        return 0;
    case WM_SYSKEYUP:
    case WM_KEYUP:
        if (wp == VK_APPS) {
            Send(hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd), -1);
            return 0;
        }
        if ((wp == VK_MENU && s.altAlone) || (wp == VK_F10 && s.f10Down)) {
            s.altAlone = s.f10Down = false;
            Send(H(TopLevelOf(w)), WM_SYSCOMMAND, SC_KEYMENU, 0);
        }
        return 0;
    case WM_SYSCHAR:
        s.altAlone = false;
        if (wp == VK_RETURN && w->minimized) {
            ShowWindow(hwnd, SW_RESTORE);
            return 0;
        }
        if (HIWORD(lp) & KF_ALTDOWN) {
            if (wp == VK_TAB || wp == VK_ESCAPE) return 0;
            if (wp == VK_SPACE && !IsTopLevel(w) && (w->style & WS_CHILD)) return Send(H(w->parent), msg, wp, lp);
            Send(H(TopLevelOf(w)), WM_SYSCOMMAND, SC_KEYMENU, LPARAM(wp));
        } else {
            MessageBeep(0);
        }
        return 0;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: {
        HDC hdc = reinterpret_cast<HDC>(wp);
        if (msg == WM_CTLCOLORSCROLLBAR) {
            SetBkColor(hdc, GetSysColor(COLOR_BTNHIGHLIGHT));
            SetTextColor(hdc, GetSysColor(COLOR_BTNFACE));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_SCROLLBAR));
        }
        const bool window = msg == WM_CTLCOLOREDIT || msg == WM_CTLCOLORLISTBOX;
        SetTextColor(hdc, GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(hdc, GetSysColor(window ? COLOR_WINDOW : COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(window ? COLOR_WINDOW : COLOR_BTNFACE));
    }
    case WM_SETREDRAW:
        // As in Windows: redraw off hides the window from painting without hiding it on screen.
        if (wp) w->style |= WS_VISIBLE;
        else w->style &= ~WS_VISIBLE;
        return 0;
    case WM_GETICON:
        return reinterpret_cast<LRESULT>(wp == ICON_BIG ? w->iconBig : (w->iconSmall ? w->iconSmall : w->iconBig));
    case WM_SETICON: {
        HICON old = wp == ICON_BIG ? w->iconBig : w->iconSmall;
        (wp == ICON_BIG ? w->iconBig : w->iconSmall) = reinterpret_cast<HICON>(lp);
        return reinterpret_cast<LRESULT>(old);
    }
    case WM_CANCELMODE:
        if (s.capture == hwnd) ReleaseCapture();
        return 0;
    case WM_QUERYENDSESSION:
    case WM_QUERYOPEN: return TRUE;
    case WM_QUERYUISTATE:
    case WM_CHANGEUISTATE:
    case WM_UPDATEUISTATE: return DefUiState(w, msg, wp, lp);
    default: return 0;
    }
}

LRESULT WINAPI CallWindowProcW(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (!proc) return 0;
    return CallProc(proc, hwnd, msg, wp, lp);
}

BOOL WINAPI DrawCaption(HWND hwnd, HDC hdc, const RECT* r, UINT flags) {
    if (!hdc || !r) return FALSE;
    Window* w = Get(hwnd);
    const bool active = flags & DC_ACTIVE;
    FillRect(hdc, r, GetSysColorBrush(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
    if ((flags & DC_TEXT) && w) {
        const int mode = SetBkMode(hdc, TRANSPARENT);
        const COLORREF color = SetTextColor(hdc, GetSysColor(active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
        RECT t = *r;
        t.left += 2;
        DrawTextW(hdc, w->text.c_str(), int(w->text.size()), &t, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
        SetTextColor(hdc, color);
        SetBkMode(hdc, mode);
    }
    return TRUE;
}

} // extern "C"
