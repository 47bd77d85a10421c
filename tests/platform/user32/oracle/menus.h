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

static LRESULT CALLBACK OracleMenuOwnerProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == 0x0121) { /* WM_ENTERIDLE: the loop waits; the scenario may act (not logged: it repeats) */
        if (oracleIdleAction && oracleIdleStep < ORACLE_MENU_IDLE_STEPS) oracleIdleAction(h, oracleIdleStep++);
        return 0;
    }
    if (oracleLogging) {
        const char* line = 0;
        switch (msg) {
        case 0x0211: OracleIndent(); OracleAppend("owner WM_ENTERMENULOOP %d\n", (int)wp); break;
        case 0x0212: OracleIndent(); OracleAppend("owner WM_EXITMENULOOP %d\n", (int)wp); break;
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
        case 0x0111: OracleIndent(); OracleAppend("owner WM_COMMAND id=%d\n", (int)LOWORD(wp)); break;
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
 * menu window; the window's border. */
static void OracleLogLayout(HWND owner, int step) {
    HMENU m = oracleMenus[0];
    int i, n = GetMenuItemCount(m);
    HWND menuWnd;
    RECT wr, cr, first;
    POINT o = {0, 0};
    if (step != 0) return;
    GetMenuItemRect(owner, m, 0, &first);
    o.x = (first.left + first.right) / 2;
    o.y = (first.top + first.bottom) / 2;
    menuWnd = WindowFromPoint(o);
    o.x = o.y = 0;
    GetWindowRect(menuWnd, &wr);
    GetClientRect(menuWnd, &cr);
    ClientToScreen(menuWnd, &o);
    OracleAppend("item border=%d,%d left=%d\n", (int)(o.x - wr.left), (int)(o.y - wr.top), (int)(first.left - o.x));
    for (i = 0; i < n; ++i) {
        RECT r;
        GetMenuItemRect(owner, m, (UINT)i, &r);
        OracleAppend("item %d top=%d height=%d\n", i, (int)(r.top - o.y), (int)(r.bottom - r.top));
    }
    OracleTap(0, VK_ESCAPE);
}

static void ScMenuLayout(void) {
    HWND owner = OracleMenuOwner();
    HMENU m = OracleMenuNamed(CreatePopupMenu(), "main");
    HMENU sub = OracleMenuNamed(CreatePopupMenu(), "sub");
    AppendMenuW(sub, MF_STRING, 11, T("x"));
    AppendMenuW(m, MF_STRING, 1, T("&Open\tCtrl+O"));
    AppendMenuW(m, MF_STRING | MF_CHECKED, 2, T("Chec&ked"));
    AppendMenuW(m, MF_SEPARATOR, 0, 0);
    AppendMenuW(m, MF_POPUP, (UINT_PTR)sub, T("&Sub"));
    AppendMenuW(m, MF_STRING | MF_GRAYED, 3, T("&Gray"));
    OracleSettle();
    oracleIdleAction = OracleLogLayout;
    OracleBegin();
    oracleLogging = 0; /* the geometry only */
    OracleTrack(owner, m, TPM_RETURNCMD);
    DestroyMenu(m);
}

static const struct OracleScenario oracleMenuScenarios[] = {
    {"menu_keys", ScMenuKeys},           {"menu_subkeys", ScMenuSubKeys}, {"menu_escape", ScMenuEscape},
    {"menu_mnemonics", ScMenuMnemonics}, {"menu_outside", ScMenuOutside},
    {"menu_layout", ScMenuLayout},       {"system_menu", ScSystemMenu},
};

static int OracleRunMenu(const char* name) {
    size_t i;
    for (i = 0; i < sizeof oracleMenuScenarios / sizeof oracleMenuScenarios[0]; ++i)
        if (strcmp(oracleMenuScenarios[i].name, name) == 0) {
            oracleLogLen = 0;
            oracleLog[0] = 0;
            oracleDepth = 0;
            oracleLogging = 0;
            oracleCount = 0;
            oraclePending = 0;
            OracleRegister();
            oracleMenuScenarios[i].run();
            oracleLogging = 0;
            oracleIdleAction = 0;
            return 1;
        }
    return 0;
}
