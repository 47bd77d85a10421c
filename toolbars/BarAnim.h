// toolbars/BarAnim.h: the fade or slide of a newly shown popup menu window. One animation runs per
// thread; the modal menu loop advances it between messages, and the window's own painting, hiding or
// destruction ends it. It works on one captured image of the window and never asks it to paint.
#pragma once
#include "rtl/Classes.h"
#include "win/windows.h"

namespace bars {

enum TBarAnimationDirectionFlag { tbadLeft, tbadRight, tbadDown, tbadUp };
using TBarAnimationDirection = rtl::TSet<TBarAnimationDirectionFlag>;

// Sent (notified) to the window when its animation has ended; nothing needs to answer it.
constexpr UINT WM_BAR_ANIMATIONENDED = 0x0956;

// Starts a fade (when UpdateLayeredWindow exists) or a slide of a hidden window and shows it. A
// failing step ends the animation and raises the system error.
void StartPopupAnimation(HWND Wnd, bool Fade, TBarAnimationDirection Direction);
void StepPopupAnimation();
void EndPopupAnimation();
// Ends the running animation when it belongs to Wnd, or whatever window it belongs to for Wnd 0.
void EndPopupAnimationFor(HWND Wnd);
bool PopupAnimationRunning();

namespace internal {

// The calls the animation makes that can fail; tests replace them to make one fail.
struct TBarAnimCalls {
    HDC (*GetDCEx)(HWND, HRGN, DWORD) = ::GetDCEx;
    HBITMAP (*CreateCompatibleBitmap)(HDC, int, int) = ::CreateCompatibleBitmap;
    HDC (*CreateCompatibleDC)(HDC) = ::CreateCompatibleDC;
    // Looked up by name in user32 on the first start; nil where it is missing (fades then slide).
    decltype(&::UpdateLayeredWindow) UpdateLayeredWindow = nullptr;
    bool LookedUp = false;
};
TBarAnimCalls& AnimCalls();

} // namespace internal

} // namespace bars
