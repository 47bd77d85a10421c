/* The message-sequence scenarios, written once in the subset of C that also compiles as C++: the probe
 * (probe.c, built with mingw-w64 and run under Wine) and OracleTraceTest.cpp (against our window model)
 * include this file and so run exactly the same calls. The includer provides the Win32 declarations,
 * T("...") for a UTF-16 literal, OracleSleep(ms) (real sleep under Wine, manual clock for us) and
 * OracleClick(x, y) (a left click at a screen point, through the system's input queue).
 *
 * Trace format, one line per event:
 *   "<indent><window> <MESSAGE>[ facts]"  a message reaching the window procedure; two spaces of indent
 *                                         per level of nesting (a message sent while another is handled)
 *   "<indent><window> CBT_CREATEWND"      the thread's WH_CBT hook
 *   "<indent><window> sub<A|B> WM_USER"   a subclass procedure seeing the message before passing it on
 *   "> text"                               a step of the scenario (an API call), before the call
 *   "< result"                             what the call returned (a number, or a window's name)
 *   "= focus=.. active=.. capture=.."      the state after a step
 * Windows are named by the scenario; a handle we did not make is "other". Every message is logged: the
 * comparison filters the desktop, IME and theme chatter (see OracleTraceTest.cpp). */

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

#define ORACLE_LOG_SIZE 65536
static char oracleLog[ORACLE_LOG_SIZE];
static size_t oracleLogLen;
static int oracleDepth;     /* nesting of the window procedure */
static int oracleLogging;   /* 0 while a scenario sets up or settles */
static const char* oraclePending;  /* the name of the window being created */
static HHOOK oracleCbt;

#define ORACLE_MAX_WINDOWS 32
static HWND oracleHandles[ORACLE_MAX_WINDOWS];
static const char* oracleNames[ORACLE_MAX_WINDOWS];
static int oracleCount;

static void OracleAppend(const char* fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    if (oracleLogLen < ORACLE_LOG_SIZE) {
        int n = vsnprintf(oracleLog + oracleLogLen, ORACLE_LOG_SIZE - oracleLogLen, fmt, ap);
        if (n > 0) oracleLogLen += (size_t)n;
        if (oracleLogLen > ORACLE_LOG_SIZE - 1) oracleLogLen = ORACLE_LOG_SIZE - 1;
    }
    va_end(ap);
}

static void OracleName(HWND h, const char* name) {
    int i;
    for (i = 0; i < oracleCount; ++i)
        if (oracleHandles[i] == h) {
            oracleNames[i] = name;
            return;
        }
    if (oracleCount < ORACLE_MAX_WINDOWS) {
        oracleHandles[oracleCount] = h;
        oracleNames[oracleCount] = name;
        ++oracleCount;
    }
}

static const char* OracleWho(HWND h) {
    int i;
    if (!h) return "0";
    for (i = 0; i < oracleCount; ++i)
        if (oracleHandles[i] == h) return oracleNames[i];
    /* The first sign of a window under construction names it. */
    if (oraclePending) {
        OracleName(h, oraclePending);
        oraclePending = 0;
        return oracleNames[oracleCount - 1];
    }
    return "other";
}

static void OracleIndent(void) {
    int i;
    for (i = 0; i < oracleDepth; ++i) OracleAppend("  ");
}

struct OracleMsgName {
    UINT msg;
    const char* name;
};
static const struct OracleMsgName oracleMsgNames[] = {
    {0x0001, "WM_CREATE"}, {0x0002, "WM_DESTROY"}, {0x0003, "WM_MOVE"}, {0x0005, "WM_SIZE"},
    {0x0006, "WM_ACTIVATE"}, {0x0007, "WM_SETFOCUS"}, {0x0008, "WM_KILLFOCUS"}, {0x000A, "WM_ENABLE"},
    {0x000B, "WM_SETREDRAW"}, {0x000C, "WM_SETTEXT"}, {0x000D, "WM_GETTEXT"}, {0x000E, "WM_GETTEXTLENGTH"},
    {0x000F, "WM_PAINT"}, {0x0010, "WM_CLOSE"}, {0x0012, "WM_QUIT"}, {0x0014, "WM_ERASEBKGND"},
    {0x0013, "WM_QUERYOPEN"}, {0x0018, "WM_SHOWWINDOW"}, {0x001C, "WM_ACTIVATEAPP"}, {0x001F, "WM_CANCELMODE"},
    {0x0020, "WM_SETCURSOR"}, {0x0021, "WM_MOUSEACTIVATE"}, {0x0022, "WM_CHILDACTIVATE"},
    {0x0024, "WM_GETMINMAXINFO"}, {0x0026, "WM_PAINTICON"}, {0x0027, "WM_ICONERASEBKGND"}, {0x003D, "WM_GETOBJECT"}, {0x0046, "WM_WINDOWPOSCHANGING"},
    {0x0047, "WM_WINDOWPOSCHANGED"}, {0x007C, "WM_STYLECHANGING"}, {0x007D, "WM_STYLECHANGED"},
    {0x007F, "WM_GETICON"}, {0x0081, "WM_NCCREATE"}, {0x0082, "WM_NCDESTROY"}, {0x0083, "WM_NCCALCSIZE"},
    {0x0084, "WM_NCHITTEST"}, {0x0085, "WM_NCPAINT"}, {0x0086, "WM_NCACTIVATE"}, {0x0088, "WM_SYNCPAINT"},
    {0x00A0, "WM_NCMOUSEMOVE"}, {0x00A1, "WM_NCLBUTTONDOWN"}, {0x0112, "WM_SYSCOMMAND"}, {0x0113, "WM_TIMER"}, {0x0118, "WM_SYSTIMER"}, {0x0128, "WM_UPDATEUISTATE"},
    {0x0200, "WM_MOUSEMOVE"}, {0x0201, "WM_LBUTTONDOWN"}, {0x0202, "WM_LBUTTONUP"}, {0x0203, "WM_LBUTTONDBLCLK"}, {0x020A, "WM_MOUSEWHEEL"}, {0x0210, "WM_PARENTNOTIFY"}, {0x0215, "WM_CAPTURECHANGED"},
    {0x0231, "WM_ENTERSIZEMOVE"}, {0x0232, "WM_EXITSIZEMOVE"}, {0x0281, "WM_IME_SETCONTEXT"}, {0x0282, "WM_IME_NOTIFY"}, {0x030F, "WM_QUERYNEWPALETTE"},
    {0x031F, "WM_DWMNCRENDERINGCHANGED"},
    /* the controls' scenarios (controls.h) */
    {0x0028, "WM_NEXTDLGCTL"}, {0x002B, "WM_DRAWITEM"}, {0x002C, "WM_MEASUREITEM"}, {0x002D, "WM_DELETEITEM"},
    {0x0030, "WM_SETFONT"}, {0x0031, "WM_GETFONT"}, {0x004E, "WM_NOTIFY"}, {0x0087, "WM_GETDLGCODE"},
    {0x0100, "WM_KEYDOWN"}, {0x0101, "WM_KEYUP"}, {0x0102, "WM_CHAR"}, {0x0104, "WM_SYSKEYDOWN"},
    {0x0105, "WM_SYSKEYUP"}, {0x0106, "WM_SYSCHAR"}, {0x0110, "WM_INITDIALOG"}, {0x0111, "WM_COMMAND"},
    {0x0114, "WM_HSCROLL"}, {0x0115, "WM_VSCROLL"}, {0x0121, "WM_ENTERIDLE"}, {0x0127, "WM_CHANGEUISTATE"},
    {0x0129, "WM_QUERYUISTATE"}, {0x0132, "WM_CTLCOLORMSGBOX"}, {0x0133, "WM_CTLCOLOREDIT"},
    {0x0134, "WM_CTLCOLORLISTBOX"}, {0x0135, "WM_CTLCOLORBTN"}, {0x0136, "WM_CTLCOLORDLG"},
    {0x0137, "WM_CTLCOLORSCROLLBAR"}, {0x0138, "WM_CTLCOLORSTATIC"},
};

static void OracleMsgText(UINT msg) {
    size_t i;
    for (i = 0; i < sizeof oracleMsgNames / sizeof oracleMsgNames[0]; ++i)
        if (oracleMsgNames[i].msg == msg) {
            OracleAppend("%s", oracleMsgNames[i].name);
            return;
        }
    if (msg >= 0x0400 && msg < 0x8000)
        OracleAppend("WM_USER+%u", (unsigned)(msg - 0x0400));
    else
        OracleAppend("0x%04x", (unsigned)msg);
}

struct OracleFlagName {
    UINT bit;
    const char* name;
};
static const struct OracleFlagName oracleSwpNames[] = {
    {0x0001, "NOSIZE"}, {0x0002, "NOMOVE"}, {0x0004, "NOZORDER"}, {0x0008, "NOREDRAW"},
    {0x0010, "NOACTIVATE"}, {0x0020, "FRAMECHANGED"}, {0x0040, "SHOWWINDOW"}, {0x0080, "HIDEWINDOW"},
    {0x0100, "NOCOPYBITS"}, {0x0200, "NOOWNERZORDER"}, {0x0400, "NOSENDCHANGING"},
    {0x0800, "NOCLIENTSIZE"}, {0x1000, "NOCLIENTMOVE"}, {0x2000, "DEFERERASE"}, {0x4000, "ASYNCWINDOWPOS"},
    {0x8000, "STATECHANGED"},
};

static void OracleWindowPos(const WINDOWPOS* wp) {
    size_t i;
    int first = 1;
    UINT rest = wp->flags;
    OracleAppend(" flags=");
    for (i = 0; i < sizeof oracleSwpNames / sizeof oracleSwpNames[0]; ++i)
        if (wp->flags & oracleSwpNames[i].bit) {
            OracleAppend("%s%s", first ? "" : "|", oracleSwpNames[i].name);
            rest &= ~oracleSwpNames[i].bit;
            first = 0;
        }
    if (rest) OracleAppend("%s0x%x", first ? "" : "|", rest);
    else if (first) OracleAppend("0");
    if (!(wp->flags & 0x0004)) {  /* SWP_NOZORDER */
        LONG_PTR after = (LONG_PTR)wp->hwndInsertAfter;
        if (after == 0) OracleAppend(" after=TOP");
        else if (after == 1) OracleAppend(" after=BOTTOM");
        else if (after == -1) OracleAppend(" after=TOPMOST");
        else if (after == -2) OracleAppend(" after=NOTOPMOST");
        else OracleAppend(" after=%s", OracleWho(wp->hwndInsertAfter));
    }
    if (!(wp->flags & 0x0002)) OracleAppend(" pos=%d,%d", wp->x, wp->y);
    if (!(wp->flags & 0x0001)) OracleAppend(" size=%d,%d", wp->cx, wp->cy);
}

static void OracleControlFacts(UINT msg, WPARAM wp, LPARAM lp); /* controls.h */

/* The facts of a message that the program can rely on. */
static void OracleFacts(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case 0x0003: /* WM_MOVE */
        OracleAppend(" %d,%d", (int)(short)LOWORD(lp), (int)(short)HIWORD(lp));
        break;
    case 0x0005: /* WM_SIZE */
        OracleAppend(" type=%d %d,%d", (int)wp, (int)LOWORD(lp), (int)HIWORD(lp));
        break;
    case 0x0006: /* WM_ACTIVATE */
        OracleAppend(" %d other=%s", (int)LOWORD(wp), OracleWho((HWND)lp));
        break;
    case 0x0007: /* WM_SETFOCUS */
    case 0x0008: /* WM_KILLFOCUS */
        OracleAppend(" other=%s", OracleWho((HWND)wp));
        break;
    case 0x000A: /* WM_ENABLE */
    case 0x001C: /* WM_ACTIVATEAPP */
    case 0x0083: /* WM_NCCALCSIZE */
    case 0x0086: /* WM_NCACTIVATE */
        OracleAppend(" %d", (int)wp);
        break;
    case 0x0018: /* WM_SHOWWINDOW */
        OracleAppend(" %d status=%d", (int)wp, (int)lp);
        break;
    case 0x0046: /* WM_WINDOWPOSCHANGING */
    case 0x0047: /* WM_WINDOWPOSCHANGED */
        OracleWindowPos((const WINDOWPOS*)lp);
        break;
    case 0x007C: /* WM_STYLECHANGING */
    case 0x007D: /* WM_STYLECHANGED */
        OracleAppend(" %s", (int)wp == -16 ? "style" : "exstyle");
        break;
    case 0x0012: /* WM_QUIT */
        OracleAppend(" code=%d", (int)wp);
        break;
    case 0x0112: /* WM_SYSCOMMAND */
        OracleAppend(" 0x%04x", (unsigned)(wp & 0xFFF0));
        break;
    case 0x0021: /* WM_MOUSEACTIVATE */
        OracleAppend(" top=%s hit=%d msg=0x%04x", OracleWho((HWND)wp), (int)(short)LOWORD(lp), (unsigned)HIWORD(lp));
        break;
    case 0x0113: /* WM_TIMER */
        OracleAppend(" id=%d", (int)wp);
        break;
    case 0x0210: /* WM_PARENTNOTIFY */
        if (LOWORD(wp) == 0x0001 || LOWORD(wp) == 0x0002) /* WM_CREATE, WM_DESTROY: the child */
            OracleAppend(" %d child=%s", (int)LOWORD(wp), OracleWho((HWND)lp));
        else /* a button went down: where, in the parent's client area */
            OracleAppend(" %d at=%d,%d", (int)LOWORD(wp), (int)(short)LOWORD(lp), (int)(short)HIWORD(lp));
        break;
    case 0x0215: /* WM_CAPTURECHANGED */
        OracleAppend(" new=%s", OracleWho((HWND)lp));
        break;
    default:
        OracleControlFacts(msg, wp, lp);
        break;
    }
}

/* WM_GETMINMAXINFO logged with the limits it arrives with; not the largest tracking size, which is a
 * system metric of the desktop's own screen (ours keeps the values of a 1920 x 1080 one). */
static int oracleMinMaxFacts;

static void OracleMinMax(const MINMAXINFO* m) {
    OracleAppend(" max=%d,%d at=%d,%d mintrack=%d,%d", (int)m->ptMaxSize.x, (int)m->ptMaxSize.y,
                 (int)m->ptMaxPosition.x, (int)m->ptMaxPosition.y, (int)m->ptMinTrackSize.x, (int)m->ptMinTrackSize.y);
}

static void OracleLogMessage(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    const char* who = OracleWho(h);
    OracleIndent();
    OracleAppend("%s ", who);
    OracleMsgText(msg);
    OracleFacts(msg, wp, lp);
    if (msg == 0x0024 && oracleMinMaxFacts) OracleMinMax((const MINMAXINFO*)lp);
    OracleAppend("\n");
}

static HWND oracleNoActivate; /* answers WM_MOUSEACTIVATE with MA_NOACTIVATE */
static int oracleWholeClient;  /* WM_NCCALCSIZE answered without DefWindowProcW: the client is the window */
static int oracleTextProbe;    /* WM_NCCREATE: the window text's length before and after DefWindowProcW */
static int oracleOwnNcCreate;  /* WM_NCCREATE answered TRUE without DefWindowProcW */
static int oracleOwnSysCommand; /* WM_SYSCOMMAND answered 0 without DefWindowProcW: only its arrival counts */

static void OracleTextLength(HWND h, const char* when) {
    int saved = oracleLogging, n;
    oracleLogging = 0;
    n = GetWindowTextLengthW(h);
    oracleLogging = saved;
    OracleIndent();
    OracleAppend("%s text %s=%d\n", OracleWho(h), when, n);
}

static LRESULT CALLBACK OracleProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT r;
    if (oracleLogging) OracleLogMessage(h, msg, wp, lp);
    else OracleWho(h);
    ++oracleDepth;
    if (msg == 0x0400) r = 1; /* WM_USER: the subclass scenario reads the sum of the answers */
    else if (msg == 0x0021 && h == oracleNoActivate) r = MA_NOACTIVATE;
    else if (msg == 0x0083 && oracleWholeClient) r = 0;
    else if (msg == 0x0081 && oracleOwnNcCreate) r = TRUE;
    else if (msg == 0x0112 && oracleOwnSysCommand) r = 0;
    else if (msg == 0x0081 && oracleTextProbe) {
        OracleTextLength(h, "before");
        r = DefWindowProcW(h, msg, wp, lp);
        OracleTextLength(h, "after");
    } else r = DefWindowProcW(h, msg, wp, lp);
    --oracleDepth;
    return r;
}

static LRESULT CALLBACK OracleCbt(int code, WPARAM wp, LPARAM lp) {
    if (oracleLogging && (code == HCBT_CREATEWND || code == HCBT_DESTROYWND)) {
        OracleIndent();
        OracleAppend("%s %s\n", OracleWho((HWND)wp), code == HCBT_CREATEWND ? "CBT_CREATEWND" : "CBT_DESTROYWND");
    }
    return CallNextHookEx(oracleCbt, code, wp, lp);
}

/* The hook of the scenarios about the hook itself: every code, with its facts; it refuses `oracleCbtVeto`. */
static int oracleCbtVeto = -1;

static LRESULT CALLBACK OracleCbtFull(int code, WPARAM wp, LPARAM lp) {
    if (oracleLogging) {
        OracleIndent();
        switch (code) {
        case HCBT_CREATEWND: OracleAppend("%s CBT_CREATEWND", OracleWho((HWND)wp)); break;
        case HCBT_DESTROYWND: OracleAppend("%s CBT_DESTROYWND", OracleWho((HWND)wp)); break;
        case HCBT_ACTIVATE: {
            const CBTACTIVATESTRUCT* a = (const CBTACTIVATESTRUCT*)lp;
            OracleAppend("%s CBT_ACTIVATE mouse=%d from=%s", OracleWho((HWND)wp), a ? (int)a->fMouse : -1,
                         a ? OracleWho(a->hWndActive) : "?");
            break;
        }
        case HCBT_SETFOCUS: OracleAppend("%s CBT_SETFOCUS from=%s", OracleWho((HWND)wp), OracleWho((HWND)lp)); break;
        case HCBT_MINMAX: OracleAppend("%s CBT_MINMAX %d", OracleWho((HWND)wp), (int)LOWORD(lp)); break;
        case HCBT_MOVESIZE: {
            const RECT* r = (const RECT*)lp;
            OracleAppend("%s CBT_MOVESIZE %d,%d,%d,%d", OracleWho((HWND)wp), (int)r->left, (int)r->top, (int)r->right,
                         (int)r->bottom);
            break;
        }
        case HCBT_SYSCOMMAND: OracleAppend("- CBT_SYSCOMMAND 0x%04x", (unsigned)(wp & 0xFFF0)); break;
        default: OracleAppend("- CBT_%d", code); break;
        }
        if (code == oracleCbtVeto) {
            OracleAppend(" refused\n");
            return 1;
        }
        OracleAppend("\n");
    }
    return CallNextHookEx(oracleCbt, code, wp, lp);
}

static void OracleStep(const char* fmt, ...) {
    va_list ap;
    OracleAppend("> ");
    va_start(ap, fmt);
    if (oracleLogLen < ORACLE_LOG_SIZE) {
        int n = vsnprintf(oracleLog + oracleLogLen, ORACLE_LOG_SIZE - oracleLogLen, fmt, ap);
        if (n > 0) oracleLogLen += (size_t)n;
        if (oracleLogLen > ORACLE_LOG_SIZE - 1) oracleLogLen = ORACLE_LOG_SIZE - 1;
    }
    va_end(ap);
    OracleAppend("\n");
}

static void OracleResult(int r) {
    OracleAppend("< %d\n", r);
}

static void OracleResultWho(HWND h) {
    OracleAppend("< %s\n", OracleWho(h));
}

static void OracleState(void) {
    OracleAppend("= focus=%s active=%s capture=%s\n", OracleWho(GetFocus()), OracleWho(GetActiveWindow()),
                 OracleWho(GetCapture()));
}

/* Lets whatever the system queued for itself (or the desktop posted) happen, unlogged. */
static void OracleSettle(void) {
    MSG m;
    int saved = oracleLogging, round;
    oracleLogging = 0;
    for (round = 0; round < 3; ++round) {
        while (PeekMessageW(&m, 0, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
        OracleSleep(20);
    }
    while (PeekMessageW(&m, 0, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
    oracleLogging = saved;
}

static void OracleRegister(void) {
    WNDCLASSEXW wc;
    memset(&wc, 0, sizeof wc);
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = OracleProc;
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    wc.lpszClassName = T("OracleWindow");
    RegisterClassExW(&wc);
}

static HWND OracleCreate(const char* name, DWORD style, int x, int y, int w, int h, HWND parent, int id) {
    HWND made;
    oraclePending = name;
    made = CreateWindowExW(0, T("OracleWindow"), T("oracle"), style, x, y, w, h, parent, (HMENU)(INT_PTR)id,
                           GetModuleHandleW(0), 0);
    oraclePending = 0;
    if (made) OracleName(made, name);
    return made;
}

static HWND OraclePopup(const char* name, BOOL visible, int x, int y) {
    return OracleCreate(name, WS_POPUP | WS_BORDER | (visible ? WS_VISIBLE : 0), x, y, 200, 150, 0, 0);
}

static HWND OracleChild(const char* name, HWND parent, BOOL visible, int x, int y, int id) {
    return OracleCreate(name, WS_CHILD | (visible ? WS_VISIBLE : 0), x, y, 60, 40, parent, id);
}

static void OracleHook(BOOL on) {
    if (on) oracleCbt = SetWindowsHookExW(WH_CBT, OracleCbt, 0, GetCurrentThreadId());
    else if (oracleCbt) UnhookWindowsHookEx(oracleCbt);
    if (!on) oracleCbt = 0;
}

static void OracleBegin(void) {
    oracleLogging = 1;
}

/* ---- the scenarios ---- */

static void ScCreatePopup(void) {
    OracleHook(TRUE);
    OracleBegin();
    OracleStep("CreateWindowExW popup WS_POPUP|WS_BORDER|WS_VISIBLE");
    OraclePopup("popup", TRUE, 100, 100);
    OracleState();
    OracleStep("CreateWindowExW hidden WS_POPUP|WS_BORDER");
    OraclePopup("hidden", FALSE, 300, 100);
    OracleState();
    OracleHook(FALSE);
}

static void ScCreateChild(void) {
    HWND top = OraclePopup("popup", TRUE, 100, 100);
    OracleSettle();
    OracleHook(TRUE);
    OracleBegin();
    OracleStep("CreateWindowExW child WS_CHILD|WS_VISIBLE");
    OracleChild("child", top, TRUE, 10, 20, 1);
    OracleState();
    OracleStep("CreateWindowExW hidden WS_CHILD");
    OracleChild("hidden", top, FALSE, 80, 20, 2);
    OracleState();
    OracleHook(FALSE);
}

static void ScDestroyParent(void) {
    HWND top = OraclePopup("popup", TRUE, 100, 100);
    HWND a = OracleChild("a", top, TRUE, 10, 10, 1);
    OracleChild("b", top, TRUE, 80, 10, 2);
    SetFocus(a);
    OracleSettle();
    OracleHook(TRUE);
    OracleBegin();
    OracleStep("DestroyWindow popup");
    DestroyWindow(top);
    OracleState();
    OracleHook(FALSE);
}

static void ScShowPopup(void) {
    OraclePopup("first", TRUE, 100, 100);
    HWND p = OraclePopup("popup", FALSE, 300, 100);
    OracleSettle();
    OracleBegin();
    OracleStep("ShowWindow popup SW_SHOW");
    OracleResult(ShowWindow(p, SW_SHOW));
    OracleState();
    OracleStep("ShowWindow popup SW_HIDE");
    OracleResult(ShowWindow(p, SW_HIDE));
    OracleState();
    OracleStep("ShowWindow popup SW_SHOWNOACTIVATE");
    OracleResult(ShowWindow(p, SW_SHOWNOACTIVATE));
    OracleState();
    OracleStep("ShowWindow popup SW_HIDE");
    OracleResult(ShowWindow(p, SW_HIDE));
    OracleState();
}

static void ScShowChild(void) {
    HWND top = OraclePopup("popup", TRUE, 100, 100);
    HWND c = OracleChild("child", top, FALSE, 10, 10, 1);
    OracleSettle();
    OracleBegin();
    OracleStep("ShowWindow child SW_SHOW");
    OracleResult(ShowWindow(c, SW_SHOW));
    OracleState();
    OracleStep("SetFocus child");
    SetFocus(c);
    OracleStep("ShowWindow child SW_HIDE");
    OracleResult(ShowWindow(c, SW_HIDE));
    OracleState();
    OracleStep("ShowWindow child SW_SHOWNOACTIVATE");
    OracleResult(ShowWindow(c, SW_SHOWNOACTIVATE));
    OracleState();
}

static void OracleOrder(HWND parent) {
    HWND c;
    int first = 1;
    OracleAppend("= order=");
    for (c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        OracleAppend("%s%s", first ? "" : ",", OracleWho(c));
        first = 0;
    }
    OracleAppend("\n");
}

static void ScSetWindowPos(void) {
    HWND top = OraclePopup("popup", TRUE, 100, 100);
    HWND other = OraclePopup("other", FALSE, 400, 100);
    HWND a = OracleChild("a", top, TRUE, 10, 10, 1);
    HWND b = OracleChild("b", top, TRUE, 80, 10, 2);
    OracleSettle();
    OracleBegin();
    OracleOrder(top);
    OracleStep("SetWindowPos a move SWP_NOSIZE|SWP_NOZORDER|SWP_NOACTIVATE");
    SetWindowPos(a, 0, 15, 25, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    OracleStep("SetWindowPos a size SWP_NOMOVE|SWP_NOZORDER|SWP_NOACTIVATE");
    SetWindowPos(a, 0, 0, 0, 70, 45, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    OracleStep("SetWindowPos a move+size SWP_NOZORDER|SWP_NOACTIVATE");
    SetWindowPos(a, 0, 5, 6, 50, 30, SWP_NOZORDER | SWP_NOACTIVATE);
    OracleStep("SetWindowPos a HWND_BOTTOM SWP_NOMOVE|SWP_NOSIZE|SWP_NOACTIVATE");
    SetWindowPos(a, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    OracleOrder(top);
    OracleStep("SetWindowPos a HWND_TOP SWP_NOMOVE|SWP_NOSIZE");
    SetWindowPos(a, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    OracleOrder(top);
    OracleState();
    OracleStep("SetWindowPos b after a SWP_NOMOVE|SWP_NOSIZE|SWP_NOACTIVATE");
    SetWindowPos(b, a, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    OracleOrder(top);
    OracleStep("SetWindowPos popup move SWP_NOSIZE|SWP_NOZORDER|SWP_NOACTIVATE");
    SetWindowPos(top, 0, 120, 130, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    OracleStep("SetWindowPos popup size SWP_NOMOVE|SWP_NOZORDER|SWP_NOACTIVATE");
    SetWindowPos(top, 0, 0, 0, 220, 160, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    OracleStep("SetWindowPos other SWP_SHOWWINDOW|SWP_NOACTIVATE");
    SetWindowPos(other, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
    OracleState();
    OracleStep("SetWindowPos other SWP_HIDEWINDOW");
    SetWindowPos(other, 0, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_HIDEWINDOW);
    OracleState();
    OracleStep("SetWindowPos other move (hidden) SWP_NOSIZE|SWP_NOZORDER|SWP_NOACTIVATE");
    SetWindowPos(other, 0, 410, 110, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    OracleStep("SetWindowPos other SWP_SHOWWINDOW");
    SetWindowPos(other, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    OracleState();
    OracleStep("ShowWindow b SW_HIDE, then SetWindowPos b move (hidden)");
    ShowWindow(b, SW_HIDE);
    SetWindowPos(b, 0, 90, 12, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

static void ScFocus(void) {
    HWND top = OraclePopup("popup", TRUE, 100, 100);
    HWND a = OracleChild("a", top, TRUE, 10, 10, 1);
    HWND b = OracleChild("b", top, TRUE, 80, 10, 2);
    OracleSettle();
    OracleBegin();
    OracleState();
    OracleStep("SetFocus a");
    OracleResultWho(SetFocus(a));
    OracleState();
    OracleStep("SetFocus b");
    OracleResultWho(SetFocus(b));
    OracleState();
    OracleStep("SetFocus b again");
    OracleResultWho(SetFocus(b));
    OracleStep("SetFocus 0");
    OracleResultWho(SetFocus(0));
    OracleState();
    OracleStep("SetFocus popup");
    OracleResultWho(SetFocus(top));
    OracleState();
}

static void ScActivate(void) {
    HWND p1 = OraclePopup("p1", TRUE, 100, 100);
    HWND p2 = OraclePopup("p2", TRUE, 400, 100);
    OracleChild("c1", p1, TRUE, 10, 10, 1);
    OracleSettle();
    OracleBegin();
    OracleState();
    OracleStep("SetActiveWindow p1");
    OracleResultWho(SetActiveWindow(p1));
    OracleState();
    OracleStep("SetActiveWindow p2");
    OracleResultWho(SetActiveWindow(p2));
    OracleState();
    OracleStep("SetActiveWindow p2 again");
    OracleResultWho(SetActiveWindow(p2));
    OracleState();
}

static void ScCapture(void) {
    HWND top = OraclePopup("popup", TRUE, 100, 100);
    HWND a = OracleChild("a", top, TRUE, 10, 10, 1);
    HWND b = OracleChild("b", top, TRUE, 80, 10, 2);
    OracleSettle();
    OracleBegin();
    OracleStep("SetCapture a");
    OracleResultWho(SetCapture(a));
    OracleState();
    OracleStep("SetCapture b");
    OracleResultWho(SetCapture(b));
    OracleState();
    OracleStep("ReleaseCapture");
    OracleResult(ReleaseCapture());
    OracleState();
    OracleStep("ReleaseCapture again");
    OracleResult(ReleaseCapture());
    OracleStep("SetCapture a");
    OracleResultWho(SetCapture(a));
    OracleStep("DestroyWindow a");
    DestroyWindow(a);
    OracleState();
}

static void ScEnable(void) {
    HWND top = OraclePopup("popup", TRUE, 100, 100);
    HWND a = OracleChild("a", top, TRUE, 10, 10, 1);
    OracleSettle();
    OracleBegin();
    OracleStep("EnableWindow a FALSE");
    OracleResult(EnableWindow(a, FALSE));
    OracleStep("EnableWindow a FALSE again");
    OracleResult(EnableWindow(a, FALSE));
    OracleStep("EnableWindow a TRUE");
    OracleResult(EnableWindow(a, TRUE));
    OracleStep("SetFocus a");
    SetFocus(a);
    OracleStep("EnableWindow a FALSE (focused)");
    OracleResult(EnableWindow(a, FALSE));
    OracleState();
    OracleStep("EnableWindow a TRUE");
    OracleResult(EnableWindow(a, TRUE));
    OracleStep("SetCapture a");
    SetCapture(a);
    OracleStep("EnableWindow a FALSE (captured)");
    OracleResult(EnableWindow(a, FALSE));
    OracleState();
    OracleStep("EnableWindow popup FALSE (active)");
    OracleResult(EnableWindow(top, FALSE));
    OracleState();
    OracleStep("EnableWindow popup TRUE");
    OracleResult(EnableWindow(top, TRUE));
    OracleState();
}

static void ScSetParent(void) {
    HWND p1 = OraclePopup("p1", TRUE, 100, 100);
    HWND p2 = OraclePopup("p2", TRUE, 400, 100);
    HWND c = OracleChild("child", p1, TRUE, 10, 10, 1);
    OracleSettle();
    OracleBegin();
    OracleStep("SetParent child p2");
    OracleResultWho(SetParent(c, p2));
    OracleState();
    OracleStep("SetFocus child");
    SetFocus(c);
    OracleState();
    OracleStep("SetParent child p1");
    OracleResultWho(SetParent(c, p1));
    OracleState();
}

static WNDPROC oracleOldA, oracleOldB;

static LRESULT CALLBACK OracleSubA(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT r;
    if (msg == 0x0400 && oracleLogging) {
        OracleIndent();
        OracleAppend("%s subA WM_USER\n", OracleWho(h));
    }
    r = CallWindowProcW(oracleOldA, h, msg, wp, lp);
    return msg == 0x0400 ? r + 10 : r;
}

static LRESULT CALLBACK OracleSubB(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT r;
    if (msg == 0x0400 && oracleLogging) {
        OracleIndent();
        OracleAppend("%s subB WM_USER\n", OracleWho(h));
    }
    r = CallWindowProcW(oracleOldB, h, msg, wp, lp);
    return msg == 0x0400 ? r + 100 : r;
}

static const char* OracleProcName(LONG_PTR p) {
    if (p == (LONG_PTR)OracleProc) return "OracleProc";
    if (p == (LONG_PTR)OracleSubA) return "subA";
    if (p == (LONG_PTR)OracleSubB) return "subB";
    return "other";
}

static void ScSubclass(void) {
    HWND w = OraclePopup("popup", FALSE, 100, 100);
    LONG_PTR prev;
    OracleSettle();
    OracleBegin();
    prev = SetWindowLongPtrW(w, GWLP_WNDPROC, (LONG_PTR)OracleSubA);
    oracleOldA = (WNDPROC)prev;
    OracleStep("install subA -> %s", OracleProcName(prev));
    prev = SetWindowLongPtrW(w, GWLP_WNDPROC, (LONG_PTR)OracleSubB);
    oracleOldB = (WNDPROC)prev;
    OracleStep("install subB -> %s", OracleProcName(prev));
    OracleStep("SendMessageW WM_USER");
    OracleResult((int)SendMessageW(w, 0x0400, 0, 0));
    /* subA leaves first, the way a careless subclass does: it puts back what it replaced. */
    prev = SetWindowLongPtrW(w, GWLP_WNDPROC, (LONG_PTR)oracleOldA);
    OracleStep("remove subA -> %s", OracleProcName(prev));
    OracleStep("SendMessageW WM_USER");
    OracleResult((int)SendMessageW(w, 0x0400, 0, 0));
    prev = SetWindowLongPtrW(w, GWLP_WNDPROC, (LONG_PTR)oracleOldB);
    OracleStep("remove subB -> %s", OracleProcName(prev));
    OracleStep("SendMessageW WM_USER");
    OracleResult((int)SendMessageW(w, 0x0400, 0, 0));
    OracleStep("GWLP_WNDPROC is %s", OracleProcName(GetWindowLongPtrW(w, GWLP_WNDPROC)));
    SetWindowLongPtrW(w, GWLP_WNDPROC, (LONG_PTR)OracleProc);
}

static void OracleGot(const char* how, const MSG* m) {
    OracleAppend("%s ", how);
    OracleMsgText(m->message);
    OracleFacts(m->message, m->wParam, m->lParam);
    OracleAppend(" %s\n", OracleWho(m->hwnd));
}

/* Takes messages out of the queue, logging the order they come in, and dispatches them: with
 * PeekMessageW until the queue is empty, or `count` of them with GetMessageW (which would wait). */
static void OracleDrain(int count) {
    MSG m;
    int n;
    for (n = 0; n < (count ? count : 20); ++n) {
        if (count) {
            if (!GetMessageW(&m, 0, 0, 0)) {
                OracleGot("got", &m);
                break;
            }
            OracleGot("got", &m);
        } else {
            if (!PeekMessageW(&m, 0, 0, 0, PM_REMOVE)) {
                OracleAppend("peek none\n");
                break;
            }
            OracleGot("peek", &m);
            if (m.message == 0x0012) continue; /* WM_QUIT is not dispatched */
        }
        if (m.message == 0x0113) KillTimer(m.hwnd, m.wParam); /* one tick is enough */
        DispatchMessageW(&m);
    }
}

static void ScQueue(void) {
    HWND w = OraclePopup("popup", TRUE, 100, 100);
    MSG m;
    OracleSettle();
    OracleBegin();
    OracleStep("post WM_USER+1, invalidate, timer 1, post WM_USER+2, wait; PeekMessageW");
    PostMessageW(w, 0x0401, 0, 0);
    InvalidateRect(w, 0, TRUE);
    SetTimer(w, 1, 10, 0);
    PostMessageW(w, 0x0402, 0, 0);
    OracleSleep(50);
    OracleDrain(0);
    OracleStep("timer 2, invalidate, post WM_USER+3, wait; GetMessageW three times");
    SetTimer(w, 2, 10, 0);
    InvalidateRect(w, 0, TRUE);
    PostMessageW(w, 0x0403, 0, 0);
    OracleSleep(50);
    OracleDrain(3);
    OracleStep("PM_NOREMOVE leaves a posted message; a filter skips to the one asked for");
    PostMessageW(w, 0x0404, 0, 0);
    PostMessageW(w, 0x0405, 0, 0);
    SetTimer(w, 3, 10, 0);
    OracleSleep(50);
    if (PeekMessageW(&m, 0, 0, 0, PM_NOREMOVE)) OracleGot("noremove", &m);
    if (PeekMessageW(&m, 0, 0x0113, 0x0113, PM_REMOVE)) {
        OracleGot("filtered", &m);
        KillTimer(w, 3);
    }
    if (PeekMessageW(&m, 0, 0x0405, 0x0405, PM_REMOVE)) OracleGot("filtered", &m);
    OracleDrain(0);
    OracleStep("PostQuitMessage 3, post WM_USER+6, invalidate; PeekMessageW");
    PostQuitMessage(3);
    PostMessageW(w, 0x0406, 0, 0);
    InvalidateRect(w, 0, TRUE);
    OracleDrain(0);
    KillTimer(w, 1);
    KillTimer(w, 2);
}

static void OracleHookFull(BOOL on) {
    if (on) oracleCbt = SetWindowsHookExW(WH_CBT, OracleCbtFull, 0, GetCurrentThreadId());
    else OracleHook(FALSE);
}

/* Where a window is and what it is: the rectangles and state a program reads back. */
static void OracleRects(HWND h) {
    RECT r, c, n;
    WINDOWPLACEMENT pl;
    GetWindowRect(h, &r);
    GetClientRect(h, &c);
    memset(&pl, 0, sizeof pl);
    pl.length = sizeof pl;
    GetWindowPlacement(h, &pl);
    n = pl.rcNormalPosition;
    OracleAppend("= %s rect=%d,%d,%d,%d client=%d,%d iconic=%d zoomed=%d visible=%d show=%d normal=%d,%d,%d,%d\n",
                 OracleWho(h), (int)r.left, (int)r.top, (int)r.right, (int)r.bottom, (int)c.right, (int)c.bottom,
                 IsIconic(h) ? 1 : 0, IsZoomed(h) ? 1 : 0, IsWindowVisible(h) ? 1 : 0, (int)pl.showCmd, (int)n.left,
                 (int)n.top, (int)n.right, (int)n.bottom);
}

/* A window's relations: parent, ancestors and owner. */
static void OracleLinks(HWND h) {
    OracleAppend("= %s", OracleWho(h));
    OracleAppend(" parent=%s", OracleWho(GetParent(h)));
    OracleAppend(" ga_parent=%s", OracleWho(GetAncestor(h, GA_PARENT)));
    OracleAppend(" ga_root=%s", OracleWho(GetAncestor(h, GA_ROOT)));
    OracleAppend(" ga_rootowner=%s", OracleWho(GetAncestor(h, GA_ROOTOWNER)));
    OracleAppend(" gw_owner=%s\n", OracleWho(GetWindow(h, GW_OWNER)));
}

static void OracleVisible(HWND a, HWND b) {
    OracleAppend("= visible %s=%d %s=%d\n", OracleWho(a), IsWindowVisible(a) ? 1 : 0, OracleWho(b),
                 IsWindowVisible(b) ? 1 : 0);
}

/* Dispatches what arrived (input included), logged, letting a little time pass between rounds. */
static void OraclePump(void) {
    MSG m;
    int round;
    for (round = 0; round < 3; ++round) {
        while (PeekMessageW(&m, 0, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
        OracleSleep(20);
    }
}

static void ScDestroyFocused(void) {
    HWND p2, a, b, g, c;
    OraclePopup("p1", TRUE, 100, 100);
    p2 = OraclePopup("p2", TRUE, 400, 100);
    a = OracleChild("a", p2, TRUE, 10, 10, 1);
    b = OracleChild("b", p2, TRUE, 80, 10, 2);
    g = OracleChild("g", b, TRUE, 5, 5, 3);
    c = OracleChild("c", p2, TRUE, 10, 60, 4);
    SetFocus(a);
    OracleSettle();
    OracleHook(TRUE);
    OracleBegin();
    OracleState();
    OracleStep("DestroyWindow a (focused)");
    OracleResult(DestroyWindow(a));
    OracleState();
    OracleStep("SetFocus g");
    SetFocus(g);
    OracleStep("ShowWindow b SW_HIDE (its child g focused)");
    OracleResult(ShowWindow(b, SW_HIDE));
    OracleState();
    OracleStep("ShowWindow b SW_SHOW, SetFocus g");
    ShowWindow(b, SW_SHOW);
    SetFocus(g);
    OracleStep("DestroyWindow b (its child g focused)");
    OracleResult(DestroyWindow(b));
    OracleState();
    OracleStep("SetFocus c");
    SetFocus(c);
    OracleStep("DestroyWindow p2 (active, its child c focused)");
    OracleResult(DestroyWindow(p2));
    OracleState();
    OracleHook(FALSE);
}

static void ScSetParentDesktop(void) {
    HWND p1 = OraclePopup("p1", TRUE, 100, 100);
    HWND c = OracleChild("child", p1, TRUE, 10, 10, 1);
    OracleName(GetDesktopWindow(), "desktop");
    SetFocus(c);
    OracleSettle();
    OracleBegin();
    OracleState();
    OracleStep("SetParent child desktop (focused)");
    OracleResultWho(SetParent(c, 0));
    OracleState();
    OracleLinks(c);
    OracleRects(c);
    OracleStep("SetWindowLongPtrW child GWL_STYLE WS_POPUP|WS_BORDER|WS_VISIBLE");
    SetWindowLongPtrW(c, GWL_STYLE, (LONG_PTR)(WS_POPUP | WS_BORDER | WS_VISIBLE));
    OracleStep("SetWindowPos child SWP_FRAMECHANGED|SWP_NOMOVE|SWP_NOSIZE|SWP_NOZORDER");
    SetWindowPos(c, 0, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
    OracleLinks(c);
    OracleRects(c);
    OracleStep("SetActiveWindow child");
    OracleResultWho(SetActiveWindow(c));
    OracleState();
    OracleStep("SetWindowLongPtrW child GWL_STYLE WS_CHILD|WS_VISIBLE");
    SetWindowLongPtrW(c, GWL_STYLE, (LONG_PTR)(WS_CHILD | WS_VISIBLE));
    OracleStep("SetParent child p1 (active)");
    OracleResultWho(SetParent(c, p1));
    OracleState();
    OracleLinks(c);
    OracleRects(c);
}

static void ScOwned(void) {
    HWND owner, owned, c, owned2;
    OraclePopup("bystander", TRUE, 700, 100);
    owner = OraclePopup("owner", TRUE, 100, 100);
    OracleName(GetDesktopWindow(), "desktop");
    OracleSettle();
    OracleBegin();
    OracleStep("CreateWindowExW owned WS_POPUP|WS_BORDER|WS_VISIBLE, owner");
    owned = OracleCreate("owned", WS_POPUP | WS_BORDER | WS_VISIBLE, 150, 150, 200, 150, owner, 0);
    OracleState();
    oracleLogging = 0;
    c = OracleChild("c", owned, TRUE, 10, 10, 1);
    OracleSettle();
    oracleLogging = 1;
    OracleLinks(owned);
    OracleLinks(c);
    OracleLinks(owner);
    OracleStep("ShowWindow owned SW_HIDE (active)");
    OracleResult(ShowWindow(owned, SW_HIDE));
    OracleState();
    OracleStep("ShowWindow owned SW_SHOW");
    OracleResult(ShowWindow(owned, SW_SHOW));
    OracleState();
    OracleStep("ShowWindow owner SW_MINIMIZE (owned active)");
    OracleResult(ShowWindow(owner, SW_MINIMIZE));
    OracleVisible(owner, owned);
    OracleState();
    OracleStep("ShowWindow owner SW_RESTORE");
    OracleResult(ShowWindow(owner, SW_RESTORE));
    OracleVisible(owner, owned);
    OracleState();
    OracleStep("ShowWindow owner SW_HIDE");
    OracleResult(ShowWindow(owner, SW_HIDE));
    OracleVisible(owner, owned);
    OracleState();
    OracleStep("ShowWindow owner SW_SHOW");
    OracleResult(ShowWindow(owner, SW_SHOW));
    OracleVisible(owner, owned);
    OracleState();
    OracleStep("SetActiveWindow owned");
    OracleResultWho(SetActiveWindow(owned));
    OracleStep("DestroyWindow owned (active)");
    OracleResult(DestroyWindow(owned));
    OracleState();
    oracleLogging = 0;
    owned2 = OracleCreate("owned2", WS_POPUP | WS_BORDER, 150, 150, 200, 150, owner, 0);
    OracleSettle();
    oracleLogging = 1;
    OracleLinks(owned2);
    OracleStep("DestroyWindow owner (owned2 hidden)");
    OracleResult(DestroyWindow(owner));
    OracleResult(IsWindow(owned2));
    OracleState();
}

static void ScCbt(void) {
    HWND p1 = OraclePopup("p1", TRUE, 100, 100);
    HWND c = OracleChild("c", p1, TRUE, 10, 10, 1);
    HWND d = OracleChild("d", p1, TRUE, 80, 10, 2);
    HWND p2 = OraclePopup("p2", TRUE, 400, 100);
    OracleSettle();
    OracleHookFull(TRUE);
    OracleBegin();
    OracleState();
    OracleStep("SetActiveWindow p1");
    OracleResultWho(SetActiveWindow(p1));
    OracleState();
    OracleStep("SetFocus c");
    OracleResultWho(SetFocus(c));
    OracleStep("ShowWindow p2 SW_MINIMIZE");
    OracleResult(ShowWindow(p2, SW_MINIMIZE));
    OracleState();
    OracleStep("ShowWindow p2 SW_RESTORE");
    OracleResult(ShowWindow(p2, SW_RESTORE));
    OracleState();
    OracleStep("SendMessageW p2 WM_SYSCOMMAND SC_MINIMIZE");
    SendMessageW(p2, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    OracleStep("SendMessageW p2 WM_SYSCOMMAND SC_RESTORE");
    SendMessageW(p2, WM_SYSCOMMAND, SC_RESTORE, 0);
    OracleState();
    OracleStep("DestroyWindow c (focused)");
    OracleResult(DestroyWindow(c));
    OracleState();
    oracleCbtVeto = HCBT_ACTIVATE;
    OracleStep("SetActiveWindow p1 (refused)");
    OracleResultWho(SetActiveWindow(p1));
    OracleState();
    oracleCbtVeto = HCBT_SETFOCUS;
    OracleStep("SetFocus d (refused)");
    OracleResultWho(SetFocus(d));
    OracleState();
    oracleCbtVeto = HCBT_MINMAX;
    OracleStep("ShowWindow p1 SW_MINIMIZE (refused)");
    OracleResult(ShowWindow(p1, SW_MINIMIZE));
    OracleRects(p1);
    OracleState();
    oracleCbtVeto = HCBT_DESTROYWND;
    OracleStep("DestroyWindow d (refused)");
    OracleResult(DestroyWindow(d));
    OracleResult(IsWindow(d));
    OracleState();
    oracleCbtVeto = -1;
    OracleHook(FALSE);
}

/* The keyboard move loop, ended at once by an Enter posted before WM_SYSCOMMAND SC_MOVE (the real loop
 * moves by arrows through the pointer, which a posted key cannot drive). */
static void OracleKeyMove(HWND w) {
    PostMessageW(w, WM_KEYDOWN, VK_RETURN, 0);
    SendMessageW(w, WM_SYSCOMMAND, SC_MOVE, 0);
}

/* A top-level window with a sizing frame and the minimise and maximise boxes, but no caption: one whose
 * frame our model draws itself (a captioned window gets its caption and frame from the desktop). */
#define ORACLE_FRAME_STYLE (WS_POPUP | WS_THICKFRAME | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_VISIBLE)

static void ScCbtMoveSize(void) {
    int edge;
    HWND w = OracleCreate("frame", ORACLE_FRAME_STYLE, 200, 200, 300, 200, 0, 0);
    OracleSettle();
    OracleHookFull(TRUE);
    OracleBegin();
    OracleRects(w);
    OracleStep("WM_SYSCOMMAND SC_MOVE, key return");
    OracleKeyMove(w);
    OracleRects(w);
    OracleState();
    oracleCbtVeto = HCBT_MOVESIZE;
    OracleStep("WM_SYSCOMMAND SC_MOVE, key return (refused)");
    OracleKeyMove(w);
    OracleRects(w);
    OracleState();
    oracleCbtVeto = -1;
    /* The commands a frameless window's own frame and caption send: each edge, and the caption drag, with
     * no point and no button held. */
    for (edge = 1; edge <= 8; ++edge) {
        OracleStep("WM_SYSCOMMAND SC_SIZE+%d, key return", edge);
        PostMessageW(w, WM_KEYDOWN, VK_RETURN, 0);
        SendMessageW(w, WM_SYSCOMMAND, SC_SIZE + edge, 0);
        OracleRects(w);
    }
    OracleStep("WM_SYSCOMMAND 0xF012, key return");
    PostMessageW(w, WM_KEYDOWN, VK_RETURN, 0);
    SendMessageW(w, WM_SYSCOMMAND, 0xF012, 0);
    OracleRects(w);
    OracleState();
    OracleHook(FALSE);
}

static void ScMinMax(void) {
    HWND w, b;
    OraclePopup("other", TRUE, 700, 100);
    w = OracleCreate("frame", ORACLE_FRAME_STYLE, 100, 100, 400, 300, 0, 0);
    OracleSettle();
    OracleBegin();
    OracleRects(w);
    OracleStep("ShowWindow frame SW_MINIMIZE");
    OracleResult(ShowWindow(w, SW_MINIMIZE));
    OracleRects(w);
    OracleState();
    OracleStep("ShowWindow frame SW_RESTORE");
    OracleResult(ShowWindow(w, SW_RESTORE));
    OracleRects(w);
    OracleState();
    OracleStep("ShowWindow frame SW_MAXIMIZE");
    OracleResult(ShowWindow(w, SW_MAXIMIZE));
    OracleRects(w);
    OracleState();
    OracleStep("ShowWindow frame SW_RESTORE");
    OracleResult(ShowWindow(w, SW_RESTORE));
    OracleRects(w);
    OracleStep("SendMessageW frame WM_SYSCOMMAND SC_MINIMIZE");
    SendMessageW(w, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    OracleRects(w);
    OracleState();
    OracleStep("SendMessageW frame WM_SYSCOMMAND SC_RESTORE");
    SendMessageW(w, WM_SYSCOMMAND, SC_RESTORE, 0);
    OracleRects(w);
    OracleState();
    OracleStep("SendMessageW frame WM_SYSCOMMAND SC_MAXIMIZE");
    SendMessageW(w, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    OracleRects(w);
    OracleStep("ShowWindow frame SW_MINIMIZE (maximised)");
    OracleResult(ShowWindow(w, SW_MINIMIZE));
    OracleRects(w);
    OracleStep("SendMessageW frame WM_SYSCOMMAND SC_RESTORE (back to maximised)");
    SendMessageW(w, WM_SYSCOMMAND, SC_RESTORE, 0);
    OracleRects(w);
    OracleStep("SendMessageW frame WM_SYSCOMMAND SC_RESTORE");
    SendMessageW(w, WM_SYSCOMMAND, SC_RESTORE, 0);
    OracleRects(w);
    OracleState();
    /* A window without any frame, maximized: the limits it is asked about and the rectangle it gets. */
    oracleLogging = 0;
    b = OracleCreate("bare", WS_POPUP | WS_VISIBLE, 150, 150, 300, 200, 0, 0);
    OracleSettle();
    oracleLogging = 1;
    oracleMinMaxFacts = 1;
    OracleStep("ShowWindow bare SW_MAXIMIZE");
    OracleResult(ShowWindow(b, SW_MAXIMIZE));
    OracleRects(b);
    oracleMinMaxFacts = 0;
    OracleStep("ShowWindow bare SW_RESTORE");
    OracleResult(ShowWindow(b, SW_RESTORE));
    OracleRects(b);
}

/* A hidden popup shown with no size by SetWindowPos, as an empty menu is. */
static void ScPopupZeroSize(void) {
    HWND z = OracleCreate("zero", WS_POPUP, 100, 100, 200, 150, 0, 0);
    HWND f = OraclePopup("framed", FALSE, 400, 100);
    OracleSettle();
    OracleBegin();
    OracleStep("SetWindowPos zero 50,60 0x0 SHOWWINDOW|NOACTIVATE");
    OracleResult(SetWindowPos(z, HWND_TOPMOST, 50, 60, 0, 0, SWP_SHOWWINDOW | SWP_NOACTIVATE));
    OracleRects(z);
    OracleState();
    OracleStep("SetWindowPos framed 300,60 0x0 SHOWWINDOW|NOACTIVATE");
    OracleResult(SetWindowPos(f, HWND_TOPMOST, 300, 60, 0, 0, SWP_SHOWWINDOW | SWP_NOACTIVATE));
    OracleRects(f);
    OracleState();
}

/* A popup with a 3-pixel frame (a dialog frame) shown, then repainted whole: the order of its frame,
 * background and client painting. */
static void ScPopupFramePaint(void) {
    HWND w = OracleCreate("framed", WS_POPUP | WS_DLGFRAME, 100, 100, 200, 150, 0, 0);
    OracleSettle();
    OracleBegin();
    OracleRects(w);
    OracleStep("ShowWindow framed SW_SHOWNOACTIVATE, UpdateWindow");
    ShowWindow(w, SW_SHOWNOACTIVATE);
    UpdateWindow(w);
    OracleStep("RedrawWindow framed FRAME|INVALIDATE|ERASE|UPDATENOW");
    RedrawWindow(w, 0, 0, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    OracleRects(w);
}

static void ScMouseActivate(void) {
    HWND p1, p2;
    p1 = OraclePopup("p1", FALSE, 100, 100);
    OracleChild("c1", p1, TRUE, 10, 10, 1);
    p2 = OraclePopup("p2", FALSE, 400, 100);
    OraclePopup("hidden", FALSE, 700, 100);
    OracleCreate("owned", WS_POPUP | WS_BORDER, 700, 300, 200, 150, p1, 0);
    ShowWindow(p1, SW_SHOWNOACTIVATE);
    ShowWindow(p2, SW_SHOWNOACTIVATE);
    OracleSettle();
    OracleBegin();
    OracleState();
    OracleStep("click c1 (nothing active)");
    OracleClick(131, 131);
    OraclePump();
    OracleState();
    OracleStep("click p2, which answers MA_NOACTIVATE");
    oracleNoActivate = p2;
    OracleClick(450, 150);
    OraclePump();
    OracleState();
    oracleNoActivate = 0;
    OracleStep("click p2");
    OracleClick(460, 160);
    OraclePump();
    OracleState();
    OracleStep("click c1 (p1 inactive)");
    OracleClick(121, 121);
    OraclePump();
    OracleState();
}

typedef void (*OracleScenarioFn)(void);
struct OracleScenario {
    const char* name;
    OracleScenarioFn run;
};
/* An overlapped window hears WM_SIZE and WM_MOVE when it is first shown, not while it is created (a
 * popup or child hears them at creation). Its client area is its whole rectangle, so the trace does not
 * depend on who draws the caption. */
static void ScCreateOverlapped(void) {
    HWND w;
    oracleWholeClient = 1;
    OracleHook(TRUE);
    OracleBegin();
    OracleStep("CreateWindowExW overlapped WS_OVERLAPPEDWINDOW");
    w = OracleCreate("overlapped", WS_OVERLAPPEDWINDOW, 100, 100, 300, 200, 0, 0);
    OracleState();
    OracleStep("ShowWindow overlapped SW_SHOW");
    OracleResult(ShowWindow(w, SW_SHOW));
    OracleState();
    OracleStep("ShowWindow overlapped SW_HIDE");
    OracleResult(ShowWindow(w, SW_HIDE));
    OracleStep("ShowWindow overlapped SW_SHOW");
    OracleResult(ShowWindow(w, SW_SHOW));
    OracleState();
    OracleStep("CreateWindowExW shown WS_OVERLAPPEDWINDOW|WS_VISIBLE");
    OracleCreate("shown", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 150, 150, 300, 200, 0, 0);
    OracleState();
    OracleHook(FALSE);
    oracleWholeClient = 0;
}

/* Shown or hidden under a hidden parent, a child only hears WM_SHOWWINDOW: nothing of it reaches the
 * screen, so nothing moves. */
static void ScShowChildHiddenParent(void) {
    HWND top = OraclePopup("popup", FALSE, 100, 100);
    HWND c = OracleChild("child", top, FALSE, 10, 10, 1);
    OracleSettle();
    OracleBegin();
    OracleStep("ShowWindow child SW_SHOW");
    OracleResult(ShowWindow(c, SW_SHOW));
    OracleResult(IsWindowVisible(c));
    OracleStep("ShowWindow child SW_HIDE");
    OracleResult(ShowWindow(c, SW_HIDE));
    OracleStep("ShowWindow child SW_SHOWNA");
    OracleResult(ShowWindow(c, SW_SHOWNA));
    OracleStep("ShowWindow popup SW_SHOWNA");
    OracleResult(ShowWindow(top, SW_SHOWNA));
    OracleResult(IsWindowVisible(c));
    OracleState();
}

/* The window text comes from CREATESTRUCT in DefWindowProcW(WM_NCCREATE): a window that answers
 * WM_NCCREATE itself has none. */
static void ScNcCreateText(void) {
    HWND w;
    oracleTextProbe = 1;
    OracleBegin();
    OracleStep("CreateWindowExW texted WS_POPUP");
    w = OracleCreate("texted", WS_POPUP, 100, 100, 200, 150, 0, 0);
    OracleResult(GetWindowTextLengthW(w));
    oracleTextProbe = 0;
    oracleOwnNcCreate = 1;
    OracleStep("CreateWindowExW untexted WS_POPUP");
    w = OracleCreate("untexted", WS_POPUP, 100, 100, 200, 150, 0, 0);
    oracleOwnNcCreate = 0;
    OracleResult(GetWindowTextLengthW(w));
}

#include "controls.h"
#include "mouse.h"
#include "loop.h"
#include "docking.h"
#include "editors.h"

/* A point well inside the part of a window's non-client area where its hit test answers `hit`: the
 * window's top rows are searched from the right. (-1, -1) when there is none. */
static POINT OracleFindHit(HWND h, int hit) {
    RECT r;
    POINT p;
    int x, y;
    GetWindowRect(h, &r);
    p.x = -1;
    p.y = -1;
    for (y = r.top; y < r.top + 40 && p.x < 0; ++y)
        for (x = r.right - 1; x > r.left && p.x < 0; --x)
            if (SendMessageW(h, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == hit) {
                p.x = x - 6;
                p.y = y + 5;
            }
    return p;
}

/* A caption button is held until the left button comes up; its command comes only when released over it. */
static void ScCaptionButtons(void) {
    HWND w = OracleCreate("frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 200, 200, 400, 300, 0, 0);
    POINT max;
#ifndef _WIN32
    /* Our top-level windows take the desktop's caption unless they draw their own, as styled dialogs do. */
    TwSetOwnFrame(w, TRUE);
    SetWindowPos(w, 0, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
#endif
    OracleSettle();
    max = OracleFindHit(w, HTMAXBUTTON);
    oracleOwnSysCommand = 1;
    OracleBegin();
    OracleStep("press the maximise button, move off, release");
    OracleDrag(max.x, max.y, max.x - 150, max.y + 100);
    OracleDeliver(0);
    OracleState();
    OracleSleep(1000);
    OracleStep("press the maximise button, release");
    OracleDrag(max.x, max.y, max.x, max.y);
    OracleDeliver(0);
    OracleState();
    oracleOwnSysCommand = 0;
}

/* The non-client scroll loop: an arrow, the track and the thumb of a window's vertical bar. */
static void ScNcScroll(void) {
    SCROLLINFO si;
    RECT r;
    int x, cy;
    HWND w = OracleCreate("frame", WS_POPUP | WS_BORDER | WS_VSCROLL | WS_VISIBLE, 200, 200, 200, 200, 0, 0);
    memset(&si, 0, sizeof si);
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    si.nMax = 99;
    si.nPage = 10;
    SetScrollInfo(w, SB_VERT, &si, TRUE);
    OracleSettle();
    GetWindowRect(w, &r);
    cy = GetSystemMetrics(SM_CYVSCROLL);
    x = r.right - 1 - GetSystemMetrics(SM_CXVSCROLL) / 2;
    OracleBegin();
    OracleStep("click the down arrow");
    OracleClick(x, r.bottom - 1 - cy / 2);
    OracleDeliver(0);
    OracleStep("click the track above the down arrow");
    OracleClick(x, r.bottom - 1 - cy - 4);
    OracleDeliver(0);
    OracleStep("drag the thumb down by 60");
    OracleDrag(x, r.top + 1 + cy + 4, x, r.top + 1 + cy + 64);
    OracleDeliver(0);
    OracleState();
}


static const struct OracleScenario oracleScenarios[] = {
    {"create_popup", ScCreatePopup}, {"create_child", ScCreateChild}, {"destroy_parent", ScDestroyParent},
    {"show_popup", ScShowPopup},     {"show_child", ScShowChild},     {"setwindowpos", ScSetWindowPos},
    {"focus", ScFocus},              {"activate", ScActivate},        {"capture", ScCapture},
    {"enable", ScEnable},            {"setparent", ScSetParent},      {"subclass", ScSubclass},
    {"queue", ScQueue},              {"destroy_focused", ScDestroyFocused},
    {"setparent_desktop", ScSetParentDesktop},                    {"owned", ScOwned},
    {"cbt", ScCbt},                  {"cbt_movesize", ScCbtMoveSize}, {"minmax", ScMinMax},
    {"mouseactivate", ScMouseActivate},
    {"create_overlapped", ScCreateOverlapped}, {"show_child_hidden_parent", ScShowChildHiddenParent},
    {"nccreate_text", ScNcCreateText},   {"caption_buttons", ScCaptionButtons}, {"nc_scroll", ScNcScroll},
    {"popup_zero_size", ScPopupZeroSize}, {"popup_frame_paint", ScPopupFramePaint},
};

/* Runs one scenario from a clean start; the trace is left in oracleLog. */
static int OracleRun(const char* name) {
    size_t i;
    oracleLogLen = 0;
    oracleLog[0] = 0;
    oracleDepth = 0;
    oracleLogging = 0;
    oracleCount = 0;
    oraclePending = 0;
    oracleNoActivate = 0;
    oracleCbtVeto = -1;
    oracleOwnSysCommand = 0;
    oracleMinMaxFacts = 0;
    OracleRegister();
    for (i = 0; i < sizeof oracleScenarios / sizeof oracleScenarios[0]; ++i)
        if (strcmp(oracleScenarios[i].name, name) == 0) {
            oracleScenarios[i].run();
            oracleLogging = 0;
            return 1;
        }
    for (i = 0; i < sizeof oracleControlScenarios / sizeof oracleControlScenarios[0]; ++i)
        if (strcmp(oracleControlScenarios[i].name, name) == 0) {
            oracleControlScenarios[i].run();
            oracleLogging = 0;
            return 1;
        }
    for (i = 0; i < sizeof oracleMouseScenarios / sizeof oracleMouseScenarios[0]; ++i)
        if (strcmp(oracleMouseScenarios[i].name, name) == 0) {
            oracleMouseScenarios[i].run();
            oracleLogging = 0;
            return 1;
        }
    for (i = 0; i < sizeof oracleLoopScenarios / sizeof oracleLoopScenarios[0]; ++i)
        if (strcmp(oracleLoopScenarios[i].name, name) == 0) {
            oracleLoopScenarios[i].run();
            oracleLogging = 0;
            return 1;
        }
    for (i = 0; i < sizeof oracleDockScenarios / sizeof oracleDockScenarios[0]; ++i)
        if (strcmp(oracleDockScenarios[i].name, name) == 0) {
            oracleDockScenarios[i].run();
            oracleLogging = 0;
            return 1;
        }
    for (i = 0; i < sizeof oracleEditorScenarios / sizeof oracleEditorScenarios[0]; ++i)
        if (strcmp(oracleEditorScenarios[i].name, name) == 0) {
            oracleEditorScenarios[i].run();
            oracleLogging = 0;
            return 1;
        }
    return 0;
}
