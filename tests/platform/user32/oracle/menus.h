/* The menu scenarios: pop-up menus driven by keys queued before the menu loop starts or by input the
 * owner sends when the loop first goes idle (WM_ENTERIDLE), the geometry of the classic pop-up, and the
 * system menu's items. Included after scenarios.h (its log, names and helpers), by the probe and by
 * MenuOracleTest.cpp. The owner logs what a program hears of a menu; the menu windows themselves are
 * the system's and are not logged.
 *
 * Extra trace lines:
 *   "owner WM_MENUSELECT id=.. flags=0x.. menu=.."  and the other menu notifications with their facts
 *   "item <i> ..."                                  a menu query (system menu, layout) */

#define ORACLE_MENU_IDLE_STEPS 8
static HMENU oracleMenus[4];
static const char* oracleMenuNames[4];
static int oracleMenuCount;
static int oracleIdleStep;
static void (*oracleIdleAction)(HWND owner, int step);

static const char* OracleMenuName(HMENU m) {
    int i;
    if (!m) return "0";
    for (i = 0; i < oracleMenuCount; ++i)
        if (oracleMenus[i] == m) return oracleMenuNames[i];
    return "other";
}

static HMENU OracleMenuNamed(HMENU m, const char* name) {
    if (oracleMenuCount < 4) {
        oracleMenus[oracleMenuCount] = m;
        oracleMenuNames[oracleMenuCount] = name;
        ++oracleMenuCount;
    }
    return m;
}

/* The menu loop's entry and exit and the command it ends with, as "<who> WM_... <value>". */
static void OracleLogMenuLoop(const char* who, UINT msg, WPARAM wp) {
    OracleIndent();
    if (msg == 0x0211) OracleAppend("%s WM_ENTERMENULOOP %d\n", who, (int)wp);
    else if (msg == 0x0212) OracleAppend("%s WM_EXITMENULOOP %d\n", who, (int)wp);
    else OracleAppend("%s WM_COMMAND id=%d\n", who, (int)LOWORD(wp));
}

static LRESULT CALLBACK OracleMenuOwnerProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == 0x0121) { /* WM_ENTERIDLE: the loop waits; the scenario may act (not logged: it repeats) */
        if (oracleIdleAction && oracleIdleStep < ORACLE_MENU_IDLE_STEPS) oracleIdleAction(h, oracleIdleStep++);
        return 0;
    }
    if (oracleLogging) {
        const char* line = 0;
        switch (msg) {
        case 0x0211:
        case 0x0212: OracleLogMenuLoop("owner", msg, wp); break;
        case 0x0116: OracleIndent(); OracleAppend("owner WM_INITMENU menu=%s\n", OracleMenuName((HMENU)wp)); break;
        case 0x0117:
            OracleIndent();
            OracleAppend("owner WM_INITMENUPOPUP menu=%s index=%d sys=%d\n", OracleMenuName((HMENU)wp), (int)LOWORD(lp),
                         (int)HIWORD(lp));
            break;
        case 0x0125: OracleIndent(); OracleAppend("owner WM_UNINITMENUPOPUP menu=%s\n", OracleMenuName((HMENU)wp)); break;
        case 0x011F:
            OracleIndent();
            OracleAppend("owner WM_MENUSELECT id=%d flags=0x%04x menu=%s\n", (int)LOWORD(wp), (unsigned)HIWORD(wp),
                         OracleMenuName((HMENU)lp));
            break;
        case 0x0120:
            OracleIndent();
            OracleAppend("owner WM_MENUCHAR ch=%c flags=0x%04x menu=%s\n", (char)LOWORD(wp), (unsigned)HIWORD(wp),
                         OracleMenuName((HMENU)lp));
            break;
        case 0x0111: OracleLogMenuLoop("owner", msg, wp); break;
        case 0x0112: OracleIndent(); OracleAppend("owner WM_SYSCOMMAND 0x%04x\n", (unsigned)(wp & 0xFFF0)); break;
        default: break;
        }
        (void)line;
    }
    return DefWindowProcW(h, msg, wp, lp);
}

static HWND OracleMenuOwner(void) {
    WNDCLASSEXW wc;
    HWND h;
    memset(&wc, 0, sizeof wc);
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = OracleMenuOwnerProc;
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    wc.lpszClassName = T("OracleMenuOwner");
    RegisterClassExW(&wc);
    h = CreateWindowExW(0, T("OracleMenuOwner"), T("owner"), WS_POPUP | WS_BORDER | WS_VISIBLE, 50, 50, 300, 200, 0, 0,
                        GetModuleHandleW(0), 0);
    OracleName(h, "owner");
    SetForegroundWindow(h);
    SetActiveWindow(h);
    oracleMenuCount = 0;
    oracleIdleStep = 0;
    oracleIdleAction = 0;
    return h;
}

/* One, Two, ---, Three, More > (Alpha, Beta) */
static HMENU OracleSampleMenu(void) {
    HMENU m = OracleMenuNamed(CreatePopupMenu(), "main");
    HMENU sub = OracleMenuNamed(CreatePopupMenu(), "sub");
    AppendMenuW(sub, MF_STRING, 11, T("&Alpha"));
    AppendMenuW(sub, MF_STRING, 12, T("&Beta"));
    AppendMenuW(m, MF_STRING, 1, T("&One"));
    AppendMenuW(m, MF_STRING, 2, T("&Two"));
    AppendMenuW(m, MF_SEPARATOR, 0, 0);
    AppendMenuW(m, MF_STRING, 3, T("T&hree"));
    AppendMenuW(m, MF_POPUP, (UINT_PTR)sub, T("&More"));
    return m;
}

static void OracleTrack(HWND owner, HMENU m, UINT flags) {
    OracleStep("TrackPopupMenu flags=0x%x", flags);
    MSG msg;
    OracleResult((int)TrackPopupMenu(m, flags, 100, 100, 0, owner, 0));
    /* A command is posted: it arrives with the next messages. */
    while (PeekMessageW(&msg, 0, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    OracleAppend("= menus done\n");
}

static void ScMenuKeys(void) {
    HWND owner = OracleMenuOwner();
    HMENU m = OracleSampleMenu();
    OracleSettle();
    OracleBegin();
    OracleStep("keys Down Down Return");
    OracleTap(0, VK_DOWN);
    OracleTap(0, VK_DOWN);
    OracleTap(0, VK_RETURN);
    OracleTrack(owner, m, 0);
    DestroyMenu(m);
}

static void ScMenuSubKeys(void) {
    HWND owner = OracleMenuOwner();
    HMENU m = OracleSampleMenu();
    OracleSettle();
    OracleBegin();
    OracleStep("keys M Down Return");
    OracleTap(0, 'M');
    OracleTap(0, VK_DOWN);
    OracleTap(0, VK_RETURN);
    OracleTrack(owner, m, TPM_RETURNCMD);
    DestroyMenu(m);
}

static void ScMenuEscape(void) {
    HWND owner = OracleMenuOwner();
    HMENU m = OracleSampleMenu();
    OracleSettle();
    OracleBegin();
    OracleStep("keys M Escape Escape");
    OracleTap(0, 'M');
    OracleTap(0, VK_ESCAPE);
    OracleTap(0, VK_ESCAPE);
    OracleTrack(owner, m, 0);
    DestroyMenu(m);
}

static void ScMenuMnemonics(void) {
    HWND owner = OracleMenuOwner();
    HMENU m = OracleMenuNamed(CreatePopupMenu(), "main");
    AppendMenuW(m, MF_STRING, 1, T("&Apple"));
    AppendMenuW(m, MF_STRING, 2, T("&Cherry"));
    AppendMenuW(m, MF_STRING, 3, T("&Banana"));
    OracleSettle();
    OracleBegin();
    OracleStep("keys Z B");
    OracleTap(0, 'Z');
    OracleTap(0, 'B');
    OracleTrack(owner, m, TPM_RETURNCMD);
    DestroyMenu(m);
}

static void OracleClickOutside(HWND owner, int step) {
    (void)owner;
    if (step == 0) OracleClick(900, 700);
}

static void ScMenuOutside(void) {
    HWND owner = OracleMenuOwner();
    HMENU m = OracleSampleMenu();
    OracleSettle();
    oracleIdleAction = OracleClickOutside;
    OracleBegin();
    OracleStep("click outside when idle");
    OracleTrack(owner, m, TPM_RETURNCMD);
    DestroyMenu(m);
}

static void OracleLogSystemMenu(const char* what, DWORD style, int maximize) {
    HWND w = OracleCreate(what, style, 100, 100, 300, 200, 0, 0);
    HMENU m;
    int i, n;
    if (maximize) ShowWindow(w, SW_MAXIMIZE);
    m = GetSystemMenu(w, FALSE);
    OracleStep("GetSystemMenu %s", what);
    n = GetMenuItemCount(m);
    OracleResult(n);
    for (i = 0; i < n; ++i) {
        WCHAR text[64];
        char ascii[64];
        int k, len = GetMenuStringW(m, (UINT)i, text, 64, MF_BYPOSITION);
        for (k = 0; k < len && k < 63; ++k) ascii[k] = text[k] == '\t' ? '|' : (char)text[k];
        ascii[k < 63 ? k : 63] = 0;
        OracleAppend("item %d id=0x%04x state=0x%04x text=%s\n", i, (unsigned)GetMenuItemID(m, i),
                     (unsigned)(GetMenuState(m, (UINT)i, MF_BYPOSITION) & 0xFFFF), ascii);
    }
    OracleAppend("item default=0x%04x\n", (unsigned)GetMenuDefaultItem(m, FALSE, 0));
    DestroyWindow(w);
}

static void ScSystemMenu(void) {
    OracleBegin();
    oracleLogging = 0; /* only the queries are traced */
    OracleLogSystemMenu("overlapped", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0);
    OracleLogSystemMenu("maximized", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 1);
    OracleLogSystemMenu("minbox", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_VISIBLE, 0);
    OracleLogSystemMenu("fixed", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 0);
}

/* The classic pop-up's geometry: each item's top and height, and where items start, relative to the
 * menu window's outer edge; where its client area starts. */
static void OracleLogLayout(HWND owner, int step) {
    HMENU m = oracleMenus[0];
    int i, n = GetMenuItemCount(m);
    HWND menuWnd;
    RECT wr, cr, first;
    POINT o = {0, 0};
    (void)owner;
    if (step != 0) return;
    GetMenuItemRect(0, m, 0, &first);
    o.x = (first.left + first.right) / 2;
    o.y = (first.top + first.bottom) / 2;
    menuWnd = WindowFromPoint(o);
    o.x = o.y = 0;
    GetWindowRect(menuWnd, &wr);
    GetClientRect(menuWnd, &cr);
    ClientToScreen(menuWnd, &o);
    OracleAppend("item border=%d,%d left=%d\n", (int)(o.x - wr.left), (int)(o.y - wr.top), (int)(first.left - wr.left));
    for (i = 0; i < n; ++i) {
        RECT r;
        GetMenuItemRect(0, m, (UINT)i, &r);
        OracleAppend("item %d top=%d height=%d\n", i, (int)(r.top - wr.top), (int)(r.bottom - r.top));
    }
    OracleTap(0, VK_ESCAPE);
}

/* The menu whose look is traced: Open with a shortcut, a checked item, a separator, a sub-menu, a grey
 * item; with `glyphsOnly` the checked and the sub-menu items have no text, and a radio item follows. */
static HMENU OracleLookMenu(int glyphsOnly) {
    HMENU m = OracleMenuNamed(CreatePopupMenu(), "main");
    HMENU sub = OracleMenuNamed(CreatePopupMenu(), "sub");
    AppendMenuW(sub, MF_STRING, 11, T("x"));
    AppendMenuW(m, MF_STRING, 1, T("&Open\tCtrl+O"));
    AppendMenuW(m, MF_STRING | MF_CHECKED, 2, glyphsOnly ? T("") : T("Chec&ked"));
    AppendMenuW(m, MF_SEPARATOR, 0, 0);
    AppendMenuW(m, MF_POPUP, (UINT_PTR)sub, glyphsOnly ? T("") : T("&Sub"));
    AppendMenuW(m, MF_STRING | MF_GRAYED, 3, T("&Gray"));
    if (glyphsOnly) {
        AppendMenuW(m, MF_STRING, 4, T(""));
        CheckMenuRadioItem(m, 5, 5, 5, MF_BYPOSITION);
    }
    return m;
}

/* Shows the menu with `log` acting while the loop waits; only what it logs is traced. */
static void OracleLookAt(HWND owner, HMENU m, void (*log)(HWND, int)) {
    OracleSettle();
    oracleIdleAction = log;
    OracleBegin();
    oracleLogging = 0;
    OracleTrack(owner, m, TPM_RETURNCMD);
    DestroyMenu(m);
}

static void ScMenuLayout(void) {
    HWND owner = OracleMenuOwner();
    OracleLookAt(owner, OracleLookMenu(0), OracleLogLayout);
}

/* The visible pop-up menu windows. */
static BOOL CALLBACK OracleCountMenuWindow(HWND h, LPARAM lp) {
    static const char name[] = "#32768";
    WCHAR cls[16];
    int i, n = GetClassNameW(h, cls, 16);
    for (i = 0; i < n && name[i] && cls[i] == (WCHAR)name[i]; ++i) {}
    if (n == 6 && i == 6 && IsWindowVisible(h)) ++*(int*)lp;
    return TRUE;
}

static int OracleMenuWindows(void) {
    int n = 0;
    EnumWindows(OracleCountMenuWindow, (LPARAM)&n);
    return n;
}

static POINT OracleItemCentre(HMENU m, UINT pos) {
    RECT r;
    POINT p;
    GetMenuItemRect(0, m, pos, &r);
    p.x = (r.left + r.right) / 2;
    p.y = (r.top + r.bottom) / 2;
    return p;
}

/* The pointer rests on "More" until its sub-menu opens (the show delay passes while the loop waits),
 * then clicks "Beta" in it. */
static int oracleMouseState;
static void OracleHoverThenClick(HWND owner, int step) {
    POINT p;
    (void)owner;
    (void)step;
    if (oracleMouseState == 0) {
        p = OracleItemCentre(oracleMenus[0], 4);
        OracleMove(p.x, p.y);
        oracleMouseState = 1;
    } else if (oracleMouseState == 1 && OracleMenuWindows() >= 2) {
        p = OracleItemCentre(oracleMenus[1], 1);
        OracleClick(p.x, p.y);
        oracleMouseState = 2;
    } else if (oracleMouseState == 1) {
        OracleSleep(200);
    }
}

static void ScMenuMouse(void) {
    HWND owner = OracleMenuOwner();
    HMENU m = OracleSampleMenu();
    OracleSettle();
    oracleMouseState = 0;
    oracleIdleAction = OracleHoverThenClick;
    OracleBegin();
    OracleStep("rest on More, click Beta in its sub-menu");
    OracleTrack(owner, m, 0);
    DestroyMenu(m);
}

static void OracleClickTwo(HWND owner, int step) {
    POINT p;
    (void)owner;
    if (step != 0) return;
    p = OracleItemCentre(oracleMenus[0], 1);
    OracleClick(p.x, p.y);
}

static void ScMenuClick(void) {
    HWND owner = OracleMenuOwner();
    HMENU m = OracleSampleMenu();
    OracleSettle();
    oracleIdleAction = OracleClickTwo;
    OracleBegin();
    OracleStep("click Two");
    OracleTrack(owner, m, TPM_RETURNCMD);
    DestroyMenu(m);
}

/* Pixel table of the classic pop-up. The system colours are first set apart, so that each pixel reads
 * as the letter of its colour's role ('?' for any other, such as smoothed text):
 *   F menu, T menu text, H highlight, I highlight text, G grey text, S shadow, W button highlight,
 *   D dark shadow, L 3-D light, B button face, K window frame, M menu highlight, R menu bar.
 * Items without text show only their glyph, whose letters are logged row by row with the glyph's box
 * relative to the item: "dx" from its left edge, "gap" to its right edge, "dy" of its top from the
 * item's vertical centre. Text items log where their ink starts and ends. */
static const int oracleRoles[] = {COLOR_MENU,      COLOR_MENUTEXT,     COLOR_HIGHLIGHT,  COLOR_HIGHLIGHTTEXT,
                                  COLOR_GRAYTEXT,  COLOR_BTNSHADOW,    COLOR_BTNHIGHLIGHT, COLOR_3DDKSHADOW,
                                  COLOR_3DLIGHT,   COLOR_BTNFACE,      COLOR_WINDOWFRAME,  COLOR_MENUHILIGHT,
                                  COLOR_MENUBAR};
static const COLORREF oracleRoleColours[] = {
    RGB(208, 208, 208), RGB(128, 0, 0),   RGB(0, 0, 160),   RGB(255, 255, 0), RGB(128, 128, 0),
    RGB(96, 96, 96),    RGB(255, 255, 255), RGB(24, 24, 24), RGB(232, 232, 232), RGB(192, 192, 192),
    RGB(0, 96, 0),      RGB(0, 160, 0),   RGB(176, 176, 200)};
static const char oracleRoleLetters[] = "FTHIGSWDLBKMR";
#define ORACLE_ROLES ((int)(sizeof oracleRoles / sizeof oracleRoles[0]))
static COLORREF oracleSavedRoles[ORACLE_ROLES];

static void OracleSetRoles(int on) {
    int i;
    if (on)
        for (i = 0; i < ORACLE_ROLES; ++i) oracleSavedRoles[i] = GetSysColor(oracleRoles[i]);
    SetSysColors(ORACLE_ROLES, oracleRoles, on ? oracleRoleColours : oracleSavedRoles);
}

static char OracleRole(HDC dc, int x, int y) {
    COLORREF c = GetPixel(dc, x, y);
    int i;
    for (i = 0; i < ORACLE_ROLES; ++i)
        if (c == oracleRoleColours[i]) return oracleRoleLetters[i];
    return '?';
}

static HWND oraclePixelWnd;
static RECT oraclePixelWr;

/* An item's rectangle in the menu window's coordinates. */
static RECT OracleItemInWindow(UINT pos) {
    RECT r;
    GetMenuItemRect(0, oracleMenus[0], pos, &r);
    OffsetRect(&r, -oraclePixelWr.left, -oraclePixelWr.top);
    return r;
}

/* The box of pixels not of the background `bg` inside r; false when there are none. */
static int OracleInk(HDC dc, RECT r, char bg, RECT* box) {
    int x, y, found = 0;
    SetRect(box, r.right, r.bottom, r.left, r.top);
    for (y = r.top; y < r.bottom; ++y)
        for (x = r.left; x < r.right; ++x)
            if (OracleRole(dc, x, y) != bg) {
                found = 1;
                if (x < box->left) box->left = x;
                if (x + 1 > box->right) box->right = x + 1;
                if (y < box->top) box->top = y;
                if (y + 1 > box->bottom) box->bottom = y + 1;
            }
    return found;
}

static void OracleLogGlyph(HDC dc, const char* what, RECT item) {
    RECT g;
    int x, y;
    char row[64];
    if (!OracleInk(dc, item, 'F', &g)) {
        OracleAppend("px %s none\n", what);
        return;
    }
    OracleAppend("px %s dx=%d gap=%d dy=%d size=%dx%d\n", what, (int)(g.left - item.left), (int)(item.right - g.right),
                 (int)(g.top - (item.top + item.bottom) / 2), (int)(g.right - g.left), (int)(g.bottom - g.top));
    for (y = g.top; y < g.bottom; ++y) {
        for (x = g.left; x < g.right && x - g.left < 63; ++x) row[x - g.left] = OracleRole(dc, x, y);
        row[x - g.left] = 0;
        OracleAppend("px %s row %d %s\n", what, (int)(y - g.top), row);
    }
}

static void OracleLogPixels(HWND owner, int step) {
    HDC dc;
    RECT r, ink;
    POINT p;
    char line[64];
    int i, w, h;
    BOOL flat = FALSE;
    (void)owner;
    if (step == 0) {
        p = OracleItemCentre(oracleMenus[0], 0);
        oraclePixelWnd = WindowFromPoint(p);
    }
    UpdateWindow(oraclePixelWnd);
    GetWindowRect(oraclePixelWnd, &oraclePixelWr);
    w = oraclePixelWr.right - oraclePixelWr.left;
    h = oraclePixelWr.bottom - oraclePixelWr.top;
    dc = GetWindowDC(oraclePixelWnd);
    if (step == 0) {
        SystemParametersInfoW(SPI_GETFLATMENU, 0, &flat, 0);
        OracleAppend("px menu flat=%d check=%dx%d\n", flat ? 1 : 0, GetSystemMetrics(SM_CXMENUCHECK), GetSystemMetrics(SM_CYMENUCHECK));
        /* The frame and margin on each side, from the window's edge inwards, through the first item. */
        r = OracleItemInWindow(0);
        for (i = 0; i < 6; ++i) line[i] = OracleRole(dc, i, (r.top + r.bottom) / 2);
        line[6] = 0;
        OracleAppend("px frame left %s\n", line);
        for (i = 0; i < 6; ++i) line[i] = OracleRole(dc, w - 1 - i, (r.top + r.bottom) / 2);
        OracleAppend("px frame right %s\n", line);
        for (i = 0; i < 6; ++i) line[i] = OracleRole(dc, w / 2, i);
        OracleAppend("px frame top %s\n", line);
        for (i = 0; i < 6; ++i) line[i] = OracleRole(dc, w / 2, h - 1 - i);
        OracleAppend("px frame bottom %s\n", line);
        /* Caption and shortcut: where the ink of "Open\tCtrl+O" starts and ends. */
        if (OracleInk(dc, r, 'F', &ink))
            OracleAppend("px text dx=%d gap=%d\n", (int)(ink.left - r.left), (int)(r.right - ink.right));
        OracleLogGlyph(dc, "check", OracleItemInWindow(1));
        OracleLogGlyph(dc, "radio", OracleItemInWindow(5));
        OracleLogGlyph(dc, "arrow", OracleItemInWindow(3));
        /* The separator: its column at the middle, and where its line starts and ends. */
        r = OracleItemInWindow(2);
        for (i = 0; i < r.bottom - r.top && i < 63; ++i) line[i] = OracleRole(dc, (r.left + r.right) / 2, r.top + i);
        line[i] = 0;
        OracleAppend("px separator column %s\n", line);
        if (OracleInk(dc, r, 'F', &ink))
            OracleAppend("px separator dx=%d gap=%d\n", (int)(ink.left - r.left), (int)(r.right - ink.right));
        /* A grey item: the roles its ink takes. */
        r = OracleItemInWindow(4);
        {
            char seen[ORACLE_ROLES + 2];
            int x, y, k, n = 0;
            for (k = 0; k < ORACLE_ROLES + 1; ++k) {
                const char c = k < ORACLE_ROLES ? oracleRoleLetters[k] : '?';
                int any = 0;
                if (c == 'F') continue;
                for (y = r.top; y < r.bottom && !any; ++y)
                    for (x = r.left; x < r.right && !any; ++x) any = OracleRole(dc, x, y) == c;
                if (any) seen[n++] = c;
            }
            seen[n] = 0;
            OracleAppend("px grey roles %s\n", seen);
        }
        OracleTap(0, VK_DOWN);
    } else if (step == 1) {
        /* The first item selected: the highlight's extent and the roles of its text. */
        r = OracleItemInWindow(0);
        line[0] = OracleRole(dc, r.left + 1, (r.top + r.bottom) / 2);
        line[1] = 0;
        if (OracleInk(dc, r, 'F', &ink))
            OracleAppend("px selected %s dx=%d gap=%d top=%d bottom=%d\n", line, (int)(ink.left - r.left),
                         (int)(r.right - ink.right), (int)(ink.top - r.top), (int)(r.bottom - ink.bottom));
        OracleTap(0, VK_ESCAPE);
    }
    ReleaseDC(oraclePixelWnd, dc);
}

static void ScMenuPixels(void) {
    HWND owner = OracleMenuOwner();
    HMENU m = OracleLookMenu(1);
    OracleSetRoles(1);
    OracleLookAt(owner, m, OracleLogPixels);
    OracleSetRoles(0);
}

/* A menu taller than the screen: the window's height and where GetMenuItemRect puts the first and the
 * last item, relative to the window's top, before and after End scrolls to the last item. */
static void OracleLogScroll(HWND owner, int step) {
    HMENU m = oracleMenus[0];
    int n = GetMenuItemCount(m);
    RECT wr, first, last;
    (void)owner;
    if (step > 1) return;
    GetMenuItemRect(0, m, 0, &first);
    GetMenuItemRect(0, m, (UINT)(n - 1), &last);
    {
        POINT p;
        p.x = (first.left + first.right) / 2;
        p.y = (first.top + first.bottom) / 2;
        GetWindowRect(WindowFromPoint(p), &wr);
    }
    if (step == 0) {
        MONITORINFO mi;
        memset(&mi, 0, sizeof mi);
        mi.cbSize = sizeof mi;
        GetMonitorInfoW(MonitorFromRect(&wr, MONITOR_DEFAULTTONEAREST), &mi);
        OracleAppend("item scroll-window window=%d fits=%d\n", (int)(wr.bottom - wr.top),
                     (int)(mi.rcWork.bottom - mi.rcWork.top));
    }
    OracleAppend("item scroll-%s first=%d last=%d height=%d\n", step == 0 ? "top" : "end", (int)(first.top - wr.top),
                 (int)(last.top - wr.top), (int)(first.bottom - first.top));
    OracleTap(0, step == 0 ? VK_END : VK_ESCAPE);
}

static void ScMenuScroll(void) {
    HWND owner = OracleMenuOwner();
    HMENU m = OracleMenuNamed(CreatePopupMenu(), "main");
    int i;
    for (i = 1; i <= 90; ++i) AppendMenuW(m, MF_STRING, (UINT)i, T("Entry"));
    OracleLookAt(owner, m, OracleLogScroll);
}

/* A made menu read entry by entry as the skinned bars fill their items from a menu: type, state, id and
 * submenu through GetMenuItemInfoW without a text buffer, the text through GetMenuStringW by position
 * (at most 260 characters), shown as its length, its first 40 characters and its last one. */
static void ScMenuFill(void) {
    HMENU m = CreatePopupMenu(), sub = CreatePopupMenu();
    WCHAR longText[301];
    MENUITEMINFOW mii;
    int i, n;
    for (i = 0; i < 300; ++i) longText[i] = (WCHAR)('a' + i % 26);
    longText[300] = 0;
    AppendMenuW(sub, MF_STRING, 201, T("Inner"));
    AppendMenuW(m, MF_STRING, 101, T("&Open\tCtrl+O"));
    AppendMenuW(m, MF_SEPARATOR, 0, NULL);
    AppendMenuW(m, MF_STRING | MF_GRAYED, 102, T("&Grayed"));
    AppendMenuW(m, MF_STRING | MF_DISABLED, 105, T("Disabled"));
    AppendMenuW(m, MF_STRING | MF_CHECKED, 103, T("Checked"));
    AppendMenuW(m, MF_POPUP, (UINT_PTR)sub, T("&Sub"));
    AppendMenuW(m, MF_STRING, 104, longText);
    SetMenuDefaultItem(m, 103, FALSE);
    OracleBegin();
    oracleLogging = 0;
    n = GetMenuItemCount(m);
    OracleStep("fill");
    OracleResult(n);
    for (i = 0; i < n; ++i) {
        WCHAR text[261];
        char ascii[41];
        int k, len;
        memset(&mii, 0, sizeof mii);
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_TYPE;
        if (!GetMenuItemInfoW(m, (UINT)i, TRUE, &mii)) {
            OracleAppend("item %d failed\n", i);
            continue;
        }
        len = GetMenuStringW(m, (UINT)i, text, 261, MF_BYPOSITION);
        for (k = 0; k < len && k < 40; ++k) ascii[k] = text[k] == '\t' ? '|' : (char)text[k];
        ascii[k] = 0;
        /* A submenu entry's identifier is its menu handle, which differs from run to run. */
        OracleAppend("item %d type=0x%04x state=0x%04x id=%u sub=%d len=%d last=%c text=%s\n", i,
                     (unsigned)mii.fType, (unsigned)mii.fState, mii.hSubMenu ? 0u : (unsigned)mii.wID,
                     mii.hSubMenu != NULL, len, len > 0 ? (char)text[len - 1] : '-', ascii);
    }
    DestroyMenu(m);
}

static const struct OracleScenario oracleMenuScenarios[] = {
    {"menu_keys", ScMenuKeys},           {"menu_subkeys", ScMenuSubKeys}, {"menu_escape", ScMenuEscape},
    {"menu_mnemonics", ScMenuMnemonics}, {"menu_outside", ScMenuOutside}, {"menu_mouse", ScMenuMouse},
    {"menu_click", ScMenuClick},         {"menu_layout", ScMenuLayout},   {"menu_pixels", ScMenuPixels},
    {"menu_scroll", ScMenuScroll},       {"system_menu", ScSystemMenu},   {"menu_fill", ScMenuFill},
};

/* Runs the scenario of that name from the list from a clean start; 0 when the list has none. */
static int OracleRunScenarioIn(const struct OracleScenario* list, size_t count, const char* name) {
    size_t i;
    for (i = 0; i < count; ++i)
        if (strcmp(list[i].name, name) == 0) {
            oracleLogLen = 0;
            oracleLog[0] = 0;
            oracleDepth = 0;
            oracleLogging = 0;
            oracleCount = 0;
            oraclePending = 0;
            OracleRegister();
            list[i].run();
            oracleLogging = 0;
            oracleIdleAction = 0;
            return 1;
        }
    return 0;
}

static int OracleRunMenu(const char* name) {
    return OracleRunScenarioIn(oracleMenuScenarios, sizeof oracleMenuScenarios / sizeof oracleMenuScenarios[0], name);
}
