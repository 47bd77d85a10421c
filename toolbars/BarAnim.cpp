// toolbars/BarAnim.cpp: the popup animation: a fade through a layered window, or a slide through a
// window region moved over a captured image, stepped at most every 10 ms by the modal menu loop.
#include "toolbars/BarAnim.h"

#include "rtl/Math.h"
#include "rtlos/OSUtils.h"

namespace bars {

namespace {

struct TAnimationState {
    bool Active = false;
    HWND Wnd = nullptr;
    int Duration = 0;
    bool Fade = false;
    int StartStep = 0;
    int CurrentStep = 0;
    DWORD StartTime = 0;
    DWORD LastStepTime = 0;
    HDC WindowDC = nullptr;
    HDC MemDC = nullptr;
    HBITMAP Bitmap = nullptr;
    HGDIOBJ OldBitmap = nullptr;
    RECT ClientRect{};
    int Width = 0;
    int Height = 0;
    POINT LastCursorPos{};
    TBarAnimationDirection Direction;
};

thread_local TAnimationState Anim;

// Ends whatever animation this thread still runs when the thread's state goes.
struct TAnimationGuard {
    ~TAnimationGuard() { EndPopupAnimation(); }
};

void LookUpUpdateLayeredWindow() {
    auto& calls = internal::AnimCalls();
    if (calls.LookedUp) return;
    calls.LookedUp = true;
    if (HMODULE user = GetModuleHandleW(u"user32.dll"))
        calls.UpdateLayeredWindow = reinterpret_cast<decltype(&::UpdateLayeredWindow)>(
            reinterpret_cast<void*>(GetProcAddress(user, "UpdateLayeredWindow")));
}

TW_ULW_BLENDFUNCTION Blend(int Alpha) {
    TW_ULW_BLENDFUNCTION blend{};
    blend.BlendOp = AC_SRC_OVER;
    blend.SourceConstantAlpha = static_cast<BYTE>(Alpha);
    return blend;
}

void SetRegion(HWND Wnd, HRGN Rgn) {
    if (!SetWindowRgn(Wnd, Rgn, FALSE)) DeleteObject(Rgn);
}

} // namespace

internal::TBarAnimCalls& internal::AnimCalls() {
    static TBarAnimCalls calls;
    return calls;
}

bool PopupAnimationRunning() { return Anim.Active; }

void StartPopupAnimation(HWND Wnd, bool Fade, TBarAnimationDirection Direction) {
    thread_local TAnimationGuard guard;
    (void)guard;
    EndPopupAnimation();
    LookUpUpdateLayeredWindow();
    auto& calls = internal::AnimCalls();
    try {
        Anim.Wnd = Wnd;
        Anim.Fade = Fade && calls.UpdateLayeredWindow;
        Anim.Direction = Direction;
        GetCursorPos(&Anim.LastCursorPos);
        GetClientRect(Wnd, &Anim.ClientRect);
        MapWindowPoints(Wnd, nullptr, reinterpret_cast<POINT*>(&Anim.ClientRect), 2);
        RECT window{};
        GetWindowRect(Wnd, &window);
        Anim.Width = window.right - window.left;
        Anim.Height = window.bottom - window.top;

        Anim.WindowDC = calls.GetDCEx(Wnd, nullptr, DCX_WINDOW | DCX_CACHE);
        if (!Anim.WindowDC) rtl::RaiseLastOSError();
        Anim.Bitmap = calls.CreateCompatibleBitmap(Anim.WindowDC, Anim.Width, Anim.Height);
        if (!Anim.Bitmap) rtl::RaiseLastOSError();
        Anim.MemDC = calls.CreateCompatibleDC(Anim.WindowDC);
        if (!Anim.MemDC) rtl::RaiseLastOSError();
        Anim.OldBitmap = SelectObject(Anim.MemDC, Anim.Bitmap);

        SendMessageW(Wnd, WM_PRINT, reinterpret_cast<WPARAM>(Anim.MemDC),
                     PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN);

        if (Anim.Fade) {
            SetWindowLongW(Wnd, GWL_EXSTYLE, GetWindowLongW(Wnd, GWL_EXSTYLE) | WS_EX_LAYERED);
            Anim.Duration = 175;
            Anim.StartStep = 40;
            POINT dest{window.left, window.top};
            SIZE size{Anim.Width, Anim.Height};
            POINT src{0, 0};
            TW_ULW_BLENDFUNCTION blend = Blend(Anim.StartStep);
            if (!calls.UpdateLayeredWindow(Wnd, nullptr, &dest, &size, Anim.MemDC, &src, 0, &blend, ULW_ALPHA))
                rtl::RaiseLastOSError();
        } else {
            Anim.Duration = 150;
            Anim.StartStep = 0;
            SetRegion(Wnd, CreateRectRgn(0, 0, 0, 0));
        }
        Anim.CurrentStep = Anim.StartStep;
        Anim.StartTime = Anim.LastStepTime = GetTickCount();
        SetWindowPos(Wnd, nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_NOREDRAW |
                         SWP_SHOWWINDOW | SWP_ASYNCWINDOWPOS);
        Anim.Active = true;
    } catch (...) {
        EndPopupAnimation();
        throw;
    }
}

void StepPopupAnimation() {
    if (!Anim.Active) return;
    const DWORD now = GetTickCount();
    if (now - Anim.LastStepTime < 10) return;
    Anim.LastStepTime = now;
    const int elapsed = static_cast<int>(now - Anim.StartTime);
    if (elapsed < 0 || elapsed >= Anim.Duration) {
        EndPopupAnimation();
        return;
    }
    const int step = elapsed * 255 / Anim.Duration + Anim.StartStep;
    if (step < 0 || step >= 255) {
        EndPopupAnimation();
        return;
    }
    POINT cursor{};
    GetCursorPos(&cursor);
    if (cursor.x != Anim.LastCursorPos.x || cursor.y != Anim.LastCursorPos.y) {
        // The window is complete as soon as the mouse enters it.
        if (PtInRect(&Anim.ClientRect, cursor)) {
            EndPopupAnimation();
            return;
        }
        Anim.LastCursorPos = cursor;
    }
    if (step <= Anim.CurrentStep) return;
    Anim.CurrentStep = step;
    if (Anim.Fade) {
        TW_ULW_BLENDFUNCTION blend = Blend(step);
        internal::AnimCalls().UpdateLayeredWindow(Anim.Wnd, nullptr, nullptr, nullptr, nullptr, nullptr, 0, &blend,
                                                  ULW_ALPHA);
        return;
    }
    int x = 0, y = 0;
    if (Anim.Direction.Contains(tbadDown))
        y = rtl::MulDiv(Anim.Height, step, 255) - Anim.Height;
    else if (Anim.Direction.Contains(tbadUp))
        y = Anim.Height - rtl::MulDiv(Anim.Height, step, 255);
    if (Anim.Direction.Contains(tbadRight))
        x = rtl::MulDiv(Anim.Width, step, 255) - Anim.Width;
    else if (Anim.Direction.Contains(tbadLeft))
        x = Anim.Width - rtl::MulDiv(Anim.Width, step, 255);
    SetRegion(Anim.Wnd, CreateRectRgn(x, y, x + Anim.Width, y + Anim.Height));
    BitBlt(Anim.WindowDC, x, y, Anim.Width, Anim.Height, Anim.MemDC, 0, 0, SRCCOPY);
}

void EndPopupAnimation() {
    Anim.Active = false;
    if (Anim.MemDC) {
        if (Anim.Fade)
            SetWindowLongW(Anim.Wnd, GWL_EXSTYLE, GetWindowLongW(Anim.Wnd, GWL_EXSTYLE) & ~LONG(WS_EX_LAYERED));
        else
            SetWindowRgn(Anim.Wnd, nullptr, FALSE);
        if (Anim.WindowDC) BitBlt(Anim.WindowDC, 0, 0, Anim.Width, Anim.Height, Anim.MemDC, 0, 0, SRCCOPY);
        SelectObject(Anim.MemDC, Anim.OldBitmap);
        DeleteDC(Anim.MemDC);
        Anim.MemDC = nullptr;
    }
    if (Anim.Bitmap) {
        DeleteObject(Anim.Bitmap);
        Anim.Bitmap = nullptr;
    }
    if (Anim.WindowDC) {
        ReleaseDC(Anim.Wnd, Anim.WindowDC);
        Anim.WindowDC = nullptr;
    }
    if (Anim.Wnd) {
        SendNotifyMessageW(Anim.Wnd, WM_BAR_ANIMATIONENDED, 0, 0);
        Anim.Wnd = nullptr;
    }
}

void EndPopupAnimationFor(HWND Wnd) {
    if (Anim.Active && (Wnd == nullptr || Anim.Wnd == Wnd)) EndPopupAnimation();
}

} // namespace bars
