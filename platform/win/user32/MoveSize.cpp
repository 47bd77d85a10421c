// The modal loop of WM_SYSCOMMAND SC_MOVE and SC_SIZE: a caption or border drag (or the same commands
// sent by a program that drags its own frameless windows), with the window following the pointer; and
// the loop of a press on a caption button.
#include "win/user32/WindowModel.h"

#include <algorithm>

namespace twuser {

namespace {

constexpr int KeyStep = 8;  // pixels an arrow key moves the window or edge

RECT ParentRect(const Window* w) { return w->rect; }  // in the parent's client coordinates

// The edges a WMSZ_ code moves.
struct Edges {
    bool left = false, right = false, top = false, bottom = false;
};

Edges EdgesOf(int wmsz) {
    Edges e;
    e.left = wmsz == WMSZ_LEFT || wmsz == WMSZ_TOPLEFT || wmsz == WMSZ_BOTTOMLEFT;
    e.right = wmsz == WMSZ_RIGHT || wmsz == WMSZ_TOPRIGHT || wmsz == WMSZ_BOTTOMRIGHT;
    e.top = wmsz == WMSZ_TOP || wmsz == WMSZ_TOPLEFT || wmsz == WMSZ_TOPRIGHT;
    e.bottom = wmsz == WMSZ_BOTTOM || wmsz == WMSZ_BOTTOMLEFT || wmsz == WMSZ_BOTTOMRIGHT;
    return e;
}

RECT Sized(const RECT& r0, int wmsz, int dx, int dy, const MINMAXINFO& mmi) {
    const Edges e = EdgesOf(wmsz);
    RECT r = r0;
    const int minW = mmi.ptMinTrackSize.x, maxW = std::max(mmi.ptMinTrackSize.x, mmi.ptMaxTrackSize.x);
    const int minH = mmi.ptMinTrackSize.y, maxH = std::max(mmi.ptMinTrackSize.y, mmi.ptMaxTrackSize.y);
    // The opposite edge stays where it is; the moved one stops at the track limits.
    if (e.left) r.left = r0.right - std::clamp<int>(r0.right - (r0.left + dx), minW, maxW);
    if (e.right) r.right = r0.left + std::clamp<int>(r0.right + dx - r0.left, minW, maxW);
    if (e.top) r.top = r0.bottom - std::clamp<int>(r0.bottom - (r0.top + dy), minH, maxH);
    if (e.bottom) r.bottom = r0.top + std::clamp<int>(r0.bottom + dy - r0.top, minH, maxH);
    return r;
}

void Place(HWND hwnd, const RECT& r, bool moveOnly) {
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    if (moveOnly) flags |= SWP_NOSIZE;
    SetWindowPos(hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, flags);
}

// A key picks the edge of a keyboard size: arrows as Windows maps them.
int EdgeForKey(WPARAM vk) {
    switch (vk) {
    case VK_LEFT: return WMSZ_LEFT;
    case VK_RIGHT: return WMSZ_RIGHT;
    case VK_UP: return WMSZ_TOP;
    case VK_DOWN: return WMSZ_BOTTOM;
    default: return 0;
    }
}

} // namespace

void MoveSizeLoop(Window* w, UINT cmd) {
    const HWND hwnd = w->handle;
    if (w->maximized || w->minimized || !ReallyVisible(w)) return;
    const bool sizing = (cmd & 0xFFF0) == SC_SIZE;
    int wmsz = sizing ? int(cmd & 0x0F) : 0;
    if (wmsz > WMSZ_BOTTOMRIGHT) return;
    // The mouse drives the loop when the command names the part that was pressed (HTCAPTION or an
    // edge); otherwise it came from the keyboard or a menu and keys drive it until a click.
    const bool byMouse = sizing ? wmsz != 0 : (cmd & 0x0F) != 0;
    const bool buttonHeld = GetKeyState(VK_LBUTTON) < 0;

    const MINMAXINFO mmi = TrackLimits(w);
    if (!(w = Get(hwnd))) return;
    const RECT r0 = ParentRect(w);
    RECT cur = r0;
    // Measured from where the pointer is, not from the command's point: programs that drag their own
    // frameless windows send SC_MOVE | HTCAPTION (or SC_SIZE with an edge) with no point at all.
    POINT origin = S().cursorPos;
    POINT keyOffset{0, 0};

    SetCapture(hwnd);
    Send(hwnd, WM_ENTERSIZEMOVE, 0, 0);
    bool cancel = false;
    auto follow = [&](POINT pt) {
        Window* x = Get(hwnd);
        if (!x) return;
        if (sizing && !wmsz) return;  // no edge chosen yet
        const int dx = pt.x + keyOffset.x - origin.x, dy = pt.y + keyOffset.y - origin.y;
        RECT r = sizing ? Sized(r0, wmsz, dx, dy, mmi) : RECT{r0.left + dx, r0.top + dy, r0.right + dx, r0.bottom + dy};
        Send(hwnd, sizing ? WM_SIZING : WM_MOVING, sizing ? WPARAM(wmsz) : 0, reinterpret_cast<LPARAM>(&r));
        if (!Get(hwnd) || EqualRect(&r, &cur)) return;
        cur = r;
        Place(hwnd, cur, !sizing);
    };
    POINT last = origin;
    for (;;) {
        if (!Get(hwnd) || GetCapture() != hwnd) break;
        MSG m;
        if (!PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
            WaitMessage();
            continue;
        }
        if (CallMsgFilterW(&m, sizing ? MSGF_SIZE : MSGF_MOVE)) continue;
        if (m.message == WM_QUIT) {
            PostQuitMessage(int(m.wParam));
            break;
        }
        if (m.message == WM_MOUSEMOVE || m.message == WM_NCMOUSEMOVE) {
            last = m.pt;
            follow(last);
            continue;
        }
        if (m.message == WM_LBUTTONUP || m.message == WM_NCLBUTTONUP) {
            if (byMouse && buttonHeld) break;
            continue;
        }
        if (m.message == WM_LBUTTONDOWN || m.message == WM_RBUTTONDOWN || m.message == WM_NCLBUTTONDOWN ||
            m.message == WM_NCRBUTTONDOWN) {
            // Without a held button, a click puts the window down.
            if (!(byMouse && buttonHeld)) break;
            continue;
        }
        if (m.message == WM_KEYDOWN || m.message == WM_SYSKEYDOWN) {
            if (m.wParam == VK_ESCAPE) {
                cancel = true;
                break;
            }
            if (m.wParam == VK_RETURN) break;
            const int edge = EdgeForKey(m.wParam);
            if (!edge) continue;
            if (sizing && !wmsz) {
                wmsz = edge;  // the first arrow picks the edge; the pointer moves it from here
                origin = last;
                continue;
            }
            const int step = KeyStep;
            if (m.wParam == VK_LEFT) keyOffset.x -= step;
            else if (m.wParam == VK_RIGHT) keyOffset.x += step;
            else if (m.wParam == VK_UP) keyOffset.y -= step;
            else keyOffset.y += step;
            follow(last);
            continue;
        }
        if ((m.message >= WM_KEYFIRST && m.message <= WM_KEYLAST) ||
            (m.message >= WM_MOUSEFIRST && m.message <= WM_MOUSELAST) ||
            (m.message >= WM_NCMOUSEMOVE && m.message <= WM_NCXBUTTONDBLCLK))
            continue;
        DispatchMessageW(&m);
    }
    if (GetCapture() == hwnd) ReleaseCapture();
    if (!cancel && Get(hwnd)) {
        // The CBT hook sees where the window ends up; refusing puts it back where it was.
        RECT end = cur;
        if (CallHooks(WH_CBT, HCBT_MOVESIZE, reinterpret_cast<WPARAM>(hwnd), reinterpret_cast<LPARAM>(&end))) cancel = true;
    }
    if (cancel && Get(hwnd) && !EqualRect(&cur, &r0)) Place(hwnd, r0, !sizing);
    if (Get(hwnd)) Send(hwnd, WM_EXITSIZEMOVE, 0, 0);
}

namespace {

// The command of a caption button; a maximised window's maximise button restores it.
UINT CaptionCommand(const Window* w, int hit) {
    switch (hit) {
    case HTMINBUTTON: return w->minimized ? SC_RESTORE : SC_MINIMIZE;
    case HTMAXBUTTON: return w->maximized ? SC_RESTORE : SC_MAXIMIZE;
    case HTCLOSE: return SC_CLOSE;
    default: return SC_CONTEXTHELP;
    }
}

// Whether the window's own hit test puts the screen point on the button (a window that draws its own
// caption places its buttons itself).
bool OverButton(HWND hwnd, int hit, POINT sp) {
    return Send(hwnd, WM_NCHITTEST, 0, MAKELPARAM(sp.x, sp.y)) == hit;
}

void PressCaption(HWND hwnd, int hit) {
    S().captionPressed = hit ? hwnd : nullptr;
    S().captionPressedHit = hit;
    // Only the frame is drawn again, at once, as the real platform redraws just the button.
    if (Get(hwnd)) Send(hwnd, WM_NCPAINT, 1, 0);
}

} // namespace

void TrackCaptionButton(Window* w, int hit, POINT screenPt) {
    const HWND hwnd = w->handle;
    // The button is held until the left button comes up; it is drawn pushed while the pointer is on it,
    // and its command runs only when the button is released over it.
    SetCapture(hwnd);
    bool over = true;
    PressCaption(hwnd, hit);
    POINT last = screenPt;
    bool released = false;
    for (;;) {
        if (!Get(hwnd) || GetCapture() != hwnd) break;
        MSG m;
        if (!PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
            WaitMessage();
            continue;
        }
        if (m.message == WM_QUIT) {
            PostQuitMessage(int(m.wParam));
            break;
        }
        if (m.message == WM_MOUSEMOVE || m.message == WM_NCMOUSEMOVE) {
            last = m.pt;
            const bool now = OverButton(hwnd, hit, last);
            if (now != over) {
                over = now;
                PressCaption(hwnd, over ? hit : 0);
            }
            continue;
        }
        if (m.message == WM_LBUTTONUP || m.message == WM_NCLBUTTONUP) {
            last = m.pt;
            released = true;
            break;
        }
        if ((m.message >= WM_KEYFIRST && m.message <= WM_KEYLAST) ||
            (m.message >= WM_MOUSEFIRST && m.message <= WM_MOUSELAST) ||
            (m.message >= WM_NCMOUSEMOVE && m.message <= WM_NCXBUTTONDBLCLK))
            continue;
        DispatchMessageW(&m);
    }
    if (S().captionPressed == hwnd) PressCaption(hwnd, 0);
    if (GetCapture() == hwnd) ReleaseCapture();
    Window* x = Get(hwnd);
    if (!x || !released || !OverButton(hwnd, hit, last)) return;
    if ((x = Get(hwnd))) Send(hwnd, WM_SYSCOMMAND, CaptionCommand(x, hit), MAKELPARAM(last.x, last.y));
}

} // namespace twuser
