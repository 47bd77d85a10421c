// toolbars/BarCommon.h: free routines shared by the toolbar, menu and dock framework and the skins:
// printing a window into a DC, non-client clip regions, the XOR drag outline, gradients and small
// captions, flicker-free repaints, caption text (accelerator marks, vertical text), message-queue
// helpers, small list helpers, system settings, monitors, mouse tracking, sounds and DPI scaling.
#pragma once
#include "rtl/System.h"
#include "vcl/Controls.h"
#include "vcl/Graphics.h"
#include "win/windows.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace bars {

using rtl::String;
using vcl::TPoint;
using vcl::TRect;

// ---- printing and painting ----

// Paints Wnd's non-client area into DC for WM_PRINT; AppData is handed through.
using TBarNCPaintProc = void (*)(HWND Wnd, HDC DC, LPARAM AppData);

// Answers a WM_PRINT (WParam the DC, LParam the PRF_ flags) for Wnd; the result goes into Result.
void HandlePrintRequest(HWND Wnd, vcl::TMessage& Message, TBarNCPaintProc NCPaintFunc, LPARAM AppData);
// Answers a WM_PRINTCLIENT by running a control's paint handler with a WM_PAINT whose WParam is the DC.
void HandlePrintClientRequest(const vcl::TWndMethod& PaintHandler, vcl::TMessage& Message);
void SelectNCPaintClipRgn(HWND Wnd, HDC DC, HRGN Rgn);
// Repaints Wnd's client area at once through an off-screen bitmap; when that cannot be done the
// window is invalidated (with erasing) instead.
void PaintWindowBuffered(HWND Wnd);
HRGN CreateFrameRgn(const TRect& R, const SIZE& Border);
void DrawInvertFrame(HDC DC, const TRect& NewRect, const TRect& OldRect, const SIZE& NewSize,
                     const SIZE& OldSize, HBRUSH Brush);
HBITMAP CreateMonoBitmap(int Width, int Height, const void* Bits);
HBRUSH CreateHalftoneBrush();
void DrawHalftoneInvertFrame(HDC DC, const TRect& NewRect, const TRect& OldRect, const SIZE& NewSize,
                             const SIZE& OldSize);
bool IsGradientFillAvailable();
void GradientFillRect(HDC DC, const TRect& R, COLORREF Color1, COLORREF Color2, bool Horizontal);
void DrawSmallWindowCaption(HWND Wnd, HDC DC, TRect R, const String& Text, bool Active);

// ---- caption text ----

String StripAccelChars(const String& S);
String EscapeAmpersands(const String& S);
String StripTrailingPunctuation(const String& S);
// The character after the last single '&' ("&&" is a literal ampersand), or 0.
char16_t FindAccelChar(const String& S);
char16_t CharToLower(char16_t C);
// The metrics of the DC's font, measured once per font.
TEXTMETRICW TextMetricsOf(HDC DC);
int GetTextWidth(HDC DC, String S, bool Prefix);
void DrawTextStr(HDC DC, const String& S, RECT& R, UINT Format);
void GetTextExtentStr(HDC DC, const String& S, SIZE& Size);
void TextOutStr(HDC DC, int X, int Y, const String& S);
bool FontExists(HDC DC, const String& FaceName);
// The DC's font turned by 270 degrees, or 0 when the current font cannot be read. The caller frees it.
HFONT CreateVerticalTextFont(HDC DC);
void DrawVerticalText(HDC DC, const String& S, const TRect& R, UINT Format);

// ---- messages ----

void ProcessPaintMessages();
// Removes every queued message in Min..Max; a WM_QUIT met on the way is posted again and stops it.
void RemoveMessages(UINT Min, UINT Max);
TPoint MessagePosAsPoint();

// ---- lists and methods ----

// The list is created on the first addition and freed when it becomes empty, as the item's link
// and notification lists are.
template <class T> bool AddToList(std::unique_ptr<std::vector<T>>& List, const T& Item) {
    if (!List) List = std::make_unique<std::vector<T>>();
    if (std::find(List->begin(), List->end(), Item) != List->end()) return false;
    List->push_back(Item);
    return true;
}
template <class T> bool AddToFrontOfList(std::unique_ptr<std::vector<T>>& List, const T& Item) {
    if (!List) List = std::make_unique<std::vector<T>>();
    if (std::find(List->begin(), List->end(), Item) != List->end()) return false;
    List->insert(List->begin(), Item);
    return true;
}
template <class T> void RemoveFromList(std::unique_ptr<std::vector<T>>& List, const T& Item) {
    if (!List) return;
    auto it = std::find(List->begin(), List->end(), Item);
    if (it != List->end()) List->erase(it);
    if (List->empty()) List.reset();
}
// Method references are equal when code and object are: the events compare that way.
template <class E> bool SameMethod(const E& A, const E& B) { return A == B; }
inline int MaxOfInts(int A, int B) { return A > B ? A : B; }
inline int MinOfInts(int A, int B) { return A < B ? A : B; }

// ---- system settings ----

bool ApplicationIsActive();
int GetMenuShowDelay();
// Forgets the menu delay read from the registry, so the next GetMenuShowDelay reads it again
// (after a settings change; tests use it too).
void ForgetMenuShowDelay();
bool IsWindowsXPOrLater();
bool IsFlatMenuStyleOn();
bool AlwaysUnderlineAccelKeys();
bool GetSystemParamBool(UINT Action, bool Default);
bool GetNonClientMetrics(NONCLIENTMETRICSW& Metrics);
// N pixels at 96 dpi scaled to the screen's pixels per inch.
int ScaleForDPI(int N);

// ---- monitors ----

TRect GetScreenRect(bool WorkArea);
bool MultipleMonitors();
bool GetMonitorRect(HMONITOR Monitor, bool WorkArea, TRect& R);
TRect MonitorRectForRect(const TRect& R, bool WorkArea);
TRect MonitorRectForPoint(const TPoint& P, bool WorkArea);
TRect MonitorRectForWindow(HWND Wnd, bool WorkArea);

// ---- mouse, foreground, sounds ----

void InitTrackMouseEvent();
bool StartMouseTracking(HWND Wnd, DWORD Flags);
void CallLockSetForegroundWindow(bool Lock);
bool IsMenuSoundConfigured(const String& Name);
void PlayMenuSound(const String& Name);

} // namespace bars
