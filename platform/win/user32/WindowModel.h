// win/user32/WindowModel.h: the objects behind HWNDs and the queue, shared by the window-model files of
// user32. Not for callers outside user32 (the presentation backend uses win/user32/Backend.h).
#pragma once

#include "win/gdi32/Gdi.h"
#include "win/user32/Backend.h"
#include "win/user32/winuser.h"

#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

// Flags of WINDOWPOS that only the system sets (values as Windows uses them).
#define TW_SWP_NOCLIENTSIZE 0x0800
#define TW_SWP_NOCLIENTMOVE 0x1000
#define TW_SWP_STATECHANGED 0x8000

namespace twuser {

using wingdi::Region;

struct WndClass {
    std::u16string name;
    std::u16string key;  // case-folded name
    ATOM atom = 0;
    UINT style = 0;
    WNDPROC proc = nullptr;
    int clsExtra = 0, wndExtra = 0;
    HINSTANCE instance = nullptr;
    HICON icon = nullptr, iconSm = nullptr;
    HCURSOR cursor = nullptr;
    HBRUSH background = nullptr;
    std::u16string menuName;
    std::vector<uint8_t> extra;
    int windows = 0;  // live windows of the class; such a class cannot be unregistered
};

struct ScrollBar {
    int min = 0, max = 0;
    UINT page = 0;
    int pos = 0;
    int trackPos = 0;
    bool tracking = false;     // the thumb is being dragged: nTrackPos is the live position
    UINT userDisabled = 0;     // ESB_ arrows disabled by EnableScrollBar
    bool noScrollDisabled = false;  // disabled by SIF_DISABLENOSCROLL because the range needs no scrolling
    int pressedPart = 0;       // part drawn pushed during tracking (ScrollPart)
    UINT Disabled() const { return userDisabled | (noScrollDisabled ? ESB_DISABLE_BOTH : 0); }
};

// A top-level window's pixels: the window rectangle, NC area included, 0xAARRGGBB.
struct Backing {
    int width = 0, height = 0;
    std::unique_ptr<uint32_t[]> pixels;
    RECT dirty{0, 0, 0, 0};  // drawn since the last presentation (window coordinates)
    TwSurface Surface() const { return TwSurface{pixels.get(), width, height, width * 4}; }
};

struct Window {
    HWND handle = nullptr;
    WndClass* cls = nullptr;
    std::u16string text;
    DWORD style = 0, exStyle = 0;
    LONG_PTR id = 0;  // GWLP_ID (the menu handle of a top-level window)
    HINSTANCE instance = nullptr;
    WNDPROC proc = nullptr;
    LONG_PTR userData = 0;
    std::vector<uint8_t> extra;
    Window* parent = nullptr;  // the desktop for top-level windows
    Window* owner = nullptr;
    std::vector<Window*> children;  // z-order: front is the top
    RECT rect{};    // in the parent's client coordinates (screen for top-level windows)
    RECT client{};  // in window coordinates (relative to rect's top-left)
    std::vector<std::pair<std::u16string, HANDLE>> props;
    Region update;  // window coordinates
    bool eraseNeeded = false;
    bool frameNeeded = false;   // WM_NCPAINT pending
    bool internalPaint = false;
    std::optional<Region> windowRgn;  // window coordinates
    HRGN windowRgnHandle = nullptr;   // the handle the caller gave (owned by the window)
    ScrollBar hbar, vbar;
    bool created = false;     // WM_NCCREATE done
    bool destroying = false;  // DestroyWindow running
    bool dead = false;        // destroyed: the handle no longer answers
    size_t liveSlot = 0;      // its place in the state's list of live windows
    bool everOwner = false;   // some window was given it as owner: only then are its owned windows looked for
    bool messageOnly = false;
    bool redraw = true;       // WM_SETREDRAW
    bool minimized = false, maximized = false;
    bool restoreMaximized = false;  // minimised from the maximised state: restoring maximises again
    RECT normalRect{};
    std::unique_ptr<Backing> backing;  // top-level windows only, made when first shown
    BYTE alpha = 255;
    DWORD layeredFlags = 0;
    COLORREF colorKey = 0;
    HICON iconSmall = nullptr, iconBig = nullptr;
    bool shownOnScreen = false;  // the presentation knows this window
    bool sizeOwed = false;  // an overlapped window hears WM_SIZE and WM_MOVE when first shown
    WORD uiState = 0;  // UISF_ bits: keyboard cues hidden or shown
    bool ownFrame = false;  // top-level window drawing its own caption and frame (TwSetOwnFrame)

    bool Visible() const { return (style & WS_VISIBLE) != 0; }
    bool IsChildStyle() const { return (style & WS_CHILD) != 0; }
    int Width() const { return rect.right - rect.left; }
    int Height() const { return rect.bottom - rect.top; }
};

struct Timer {
    HWND hwnd = nullptr;
    UINT_PTR id = 0;
    UINT interval = 0;
    TIMERPROC proc = nullptr;
    ULONGLONG due = 0;
    bool system = false;  // WM_SYSTIMER (scroll-bar repeat, caret blink)
    bool killed = false;
};

struct InputEvent {
    enum Kind { MouseMove, Button, Wheel, Key } kind = MouseMove;
    POINT pt{};
    DWORD time = 0;
    int button = 0;   // TW_BUTTON_*
    bool down = false;
    int delta = 0;
    bool horizontal = false;
    UINT vk = 0;
    LPARAM keyData = 0;
    std::u16string text;
};

struct Hook {
    HHOOK handle = nullptr;
    int type = 0;
    HOOKPROC proc = nullptr;
    bool removed = false;
};

struct Caret {
    HWND hwnd = nullptr;
    int width = 0, height = 0;
    HBITMAP bitmap = nullptr;
    POINT pos{0, 0};
    int hideCount = 1;  // shown when 0
    bool drawn = false;
};

struct Cursor {
    int standardId = 0;  // IDC_* number, or 0 for an image
    std::u16string name;
    QImage image;
    POINT hotspot{0, 0};
};

// The window model and queue of the one GUI thread (PostMessageW may come from other threads).
struct State {
    // classes and windows
    std::vector<std::unique_ptr<WndClass>> classes;
    ATOM nextAtom = 0xC000;
    std::vector<std::unique_ptr<Window>> windows;  // index = handle number; never reused
    std::vector<Window*> live;  // the windows not freed yet, in no order: what a walk over every window visits
    std::vector<std::unique_ptr<Window>> graveyard;  // destroyed, freed when no message is in progress
    Window* desktop = nullptr;
    int sendDepth = 0;

    // queue
    std::mutex postLock;
    std::deque<MSG> posted;
    std::deque<InputEvent> input;
    bool quitPosted = false;
    int quitCode = 0;
    MSG lastMsg{};  // GetMessagePos / GetMessageTime
    std::vector<std::pair<std::u16string, UINT>> registeredMessages;

    // time
    bool manualClock = false;
    ULONGLONG manualNow = 0;
    std::vector<Timer> timers;
    UINT_PTR nextTimerId = 0x7FF0;
    TwIdleProc idleProc = nullptr;
    void* idleContext = nullptr;

    // hooks
    std::vector<Hook> hooks;  // front = last installed (called first)
    uintptr_t nextHook = 0x100;
    int hookDepth = 0;

    // input and window state
    HWND active = nullptr, focus = nullptr, capture = nullptr;
    bool appActive = false;
    BYTE keyState[256] = {};
    BYTE asyncKeyState[256] = {};
    POINT cursorPos{0, 0};
    POINT lastClickPt{0, 0};
    DWORD lastClickTime = 0;
    UINT lastClickMsg = 0;
    HWND lastClickHwnd = nullptr;
    HWND mouseWindow = nullptr;  // last window that received a mouse message (leave tracking)
    int mouseHit = HTNOWHERE;
    HWND trackLeave = nullptr;
    bool trackLeaveNC = false;
    bool lastInputKeyboard = false;  // decides UIS_INITIALIZE: cues shown after keys, hidden after clicks
    bool altAlone = false;  // Alt went down and no other key since: its release opens the menu
    bool altChord = false;  // another key went down while Alt was held: Alt's release is a plain WM_KEYUP
    bool f10Down = false;
    HWND captionPressed = nullptr;  // the caption button held down (drawn pushed while the pointer is on it)
    int captionPressedHit = 0;
    struct PendingText {
        UINT vk;
        LPARAM data;
        std::u16string text;
    };
    std::deque<PendingText> pendingText;  // text from the presentation for TranslateMessage
    UINT doubleClickTime = 500;

    // cursors and caret
    std::vector<std::unique_ptr<Cursor>> cursors;
    HCURSOR currentCursor = nullptr;
    int cursorShowCount = 0;
    Caret caret;

    // painting
    std::vector<std::pair<HDC, HWND>> windowDCs;
    std::vector<HDC> paintDCs;

    // backend
    Backend* backend = nullptr;
    bool desktopChange = false;  // the desktop moved, sized or minimised a window: the screen has it already
};

State& S();

// ---- lookup ----
Window* Get(HWND h);  // live windows only
Window* Desktop();
WndClass* FindClass(LPCWSTR name);  // by name (without case) or by atom
void Unlink(Window* w);  // out of its parent's z-order
// Places w among its siblings: HWND_TOP, HWND_BOTTOM, HWND_TOPMOST, HWND_NOTOPMOST or after a sibling.
void LinkAfter(Window* w, HWND after);
MINMAXINFO TrackLimits(Window* w);  // sends WM_GETMINMAXINFO with the defaults filled in
bool SizeTracked(const Window* w);  // a top-level window whose size WM_GETMINMAXINFO limits
void ClampTracked(Window* w, WINDOWPOS& pos);  // DefWindowProcW's WM_WINDOWPOSCHANGING (may destroy w)
RECT MaximizedRect(Window* w);  // where maximising puts it (parent coordinates); asks WM_GETMINMAXINFO
BOOL SetWindowPosImpl(HWND hwnd, HWND after, int x, int y, int cx, int cy, UINT flags);
// WM_SIZE (of the window's state) and WM_MOVE with its client area now (may destroy w).
void SendSizeAndMove(Window* w);
bool InWindowShape(const Window* w, POINT screenPt);
Window* DeepestAt(Window* w, POINT pt);
inline HWND H(const Window* w) { return w ? w->handle : nullptr; }
bool IsTopLevel(const Window* w);
Window* TopLevelOf(Window* w);  // the top-level window that holds w's pixels (w itself when top-level)
bool IsDecorated(const Window* w);  // caption and frame come from the desktop
std::u16string Fold(std::u16string_view s);
std::u16string FromW(LPCWSTR s);  // null-safe; integer atoms become "#n"

// ---- geometry (all in screen coordinates unless named) ----
POINT WindowOrigin(const Window* w);  // screen position of the window rectangle's top-left
POINT ClientOrigin(const Window* w);  // screen position of the client area's top-left
RECT ScreenRect(const Window* w);
RECT ScreenClientRect(const Window* w);
bool ReallyVisible(const Window* w);  // it and every ancestor visible
// The part of a window's window (or client) area that drawing may reach, in its own window
// (or client) coordinates: ancestors, siblings and children clipped as the styles say.
Region VisibleRegion(const Window* w, bool clientArea, bool clipChildren, bool clipSiblings);

// ---- messages ----
LRESULT Send(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);  // with the send hooks
LRESULT CallProc(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
void Post(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
DWORD Now();
void WakeQueue();
void BumpSerial();  // something new arrived (input, paint): WaitMessage returns
void FreeDeadWindows();
bool WaitForWork(std::optional<ULONGLONG> deadline);  // false: the deadline passed
LRESULT CallHooks(int type, int code, WPARAM wp, LPARAM lp, bool* called = nullptr);
bool HasHook(int type);

// ---- timers ----
UINT_PTR AddTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc, bool system);
void RemoveTimer(HWND hwnd, UINT_PTR id, bool system);
void RemoveTimersOf(HWND hwnd);
std::optional<ULONGLONG> NextTimerDue();
// The first due timer matching the filter: fills msg, restarts the timer when `remove`.
bool TakeTimer(MSG& msg, HWND filter, UINT minMsg, UINT maxMsg, bool remove);

// ---- painting ----
void InvalidateWindow(Window* w, const Region* rgn, UINT flags);  // rgn in window coordinates; null = all
bool FindPaintWindow(HWND filter, HWND& out);
void EnsureBacking(Window* top);
void MarkDirty(Window* top, const RECT& windowRect);
void PresentAll();
HDC MakeWindowDC(Window* w, bool windowArea, bool clipChildren, bool clipSiblings, const Region* extraClip);
void ForgetDC(HDC hdc);
void ScrollBitsInBacking(Window* w, const RECT& srcRect, const RECT& clipRect, int dx, int dy);  // client coords

// ---- non-client area and scroll bars ----
RECT CalcNonClient(const Window* w, const RECT& windowRect);  // client rect in the same coordinates
int FrameWidth(const Window* w);  // the border our model draws (0 for decorated windows)
void UpdateClientRect(Window* w, bool sendCalcSize);
LRESULT DefHitTest(Window* w, POINT screenPt);
void PaintNonClient(Window* w, HDC windowDC);
void PaintScrollBars(Window* w, HDC windowDC);
enum ScrollPart { SpNone = 0, SpLineUp, SpPageUp, SpThumb, SpPageDown, SpLineDown };
bool ScrollBarRect(const Window* w, int bar, RECT& out);  // window coordinates; false when not shown
ScrollPart ScrollHit(const Window* w, int bar, POINT windowPt, int* thumbOffset = nullptr);
void TrackScrollBar(Window* w, int bar, POINT screenPt);
bool BarShown(const Window* w, int bar);

// The modal move or size loop of WM_SYSCOMMAND SC_MOVE/SC_SIZE; `cmd` keeps the WMSZ_/HTCAPTION bits.
void MoveSizeLoop(Window* w, UINT cmd);
// The modal loop of a press on a caption button (HTCLOSE, HTMAXBUTTON, HTMINBUTTON, HTHELP).
void TrackCaptionButton(Window* w, int hit, POINT screenPt);
LRESULT DefUiState(Window* w, UINT msg, WPARAM wp, LPARAM lp);

// ---- focus, activation, capture ----
void ActivateWindow(Window* w, bool byMouse);
void FocusLost(Window* w);  // a dying or hidden window gives up focus, activation and capture
void AppDeactivate();

// ---- input ----
void QueueInput(InputEvent ev);
bool TakeInput(MSG& msg, HWND filter, UINT minMsg, UINT maxMsg, bool remove);
void UpdateMouseTracking(HWND hwnd, int hit);
LPARAM KeyData(UINT vk, bool down, bool extended, bool repeat, bool alt);

// ---- carets and cursors ----
void CaretHideForPaint(HWND hwnd);
void CaretShowAfterPaint(HWND hwnd);
void CaretBlink();
void DestroyCaretOf(HWND hwnd);
HCURSOR StandardCursor(int id);
void ApplyCursor();

// ---- the scroll-bar and system timer ids ----
constexpr UINT_PTR TimerScrollRepeat = 0xFFFA;
constexpr UINT_PTR TimerCaretBlink = 0xFFFB;

} // namespace twuser
