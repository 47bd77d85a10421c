/* The window menu bar driven from the keyboard: Alt pressed and released, F10, Alt+letter with one,
 * two and no matching items, Alt+'-', Alt+Space, arrows across open menus and Escape per level. The
 * window logs what a program hears (the system characters and commands with their lParam, the menu
 * notifications); keys meant for the open menu loop are tapped when it first goes idle. Included after
 * menus.h by the probe.
 *
 * Extra trace lines:
 *   "bar WM_SYSCHAR ch=.. lp=0x.."   "bar WM_SYSCOMMAND cmd=0x.. lp=0x.."   "item altname=.." */

static const UINT* oracleBarIdleKeys;
static int oracleBarIdleCount;
static int oracleBarIdleStep;

static LRESULT CALLBACK OracleBarProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == 0x0121) { /* WM_ENTERIDLE */
        if (oracleBarIdleStep < oracleBarIdleCount) OracleTap(0, oracleBarIdleKeys[oracleBarIdleStep++]);
        return 0;
    }
    if (oracleLogging) switch (msg) {
        case WM_SYSCHAR: OracleIndent(); OracleAppend("bar WM_SYSCHAR ch=%d lp=0x%08lx\n", (int)wp, (unsigned long)lp); break;
        case WM_SYSCOMMAND:
            OracleIndent();
            OracleAppend("bar WM_SYSCOMMAND cmd=0x%04x lp=0x%lx\n", (unsigned)(wp & 0xFFF0), (unsigned long)lp);
            break;
        case 0x0211:
        case 0x0212: OracleLogMenuLoop("bar", msg, wp); break;
        case 0x0117:
            OracleIndent();
            OracleAppend("bar WM_INITMENUPOPUP menu=%s sys=%d\n", OracleMenuName((HMENU)wp), (int)HIWORD(lp));
            break;
        case 0x011F:
            if (lp) {
                OracleIndent();
                OracleAppend("bar WM_MENUSELECT id=%d flags=0x%04x menu=%s\n", (int)LOWORD(wp), (unsigned)HIWORD(wp),
                             OracleMenuName((HMENU)lp));
            }
            break;
        case 0x0120:
            OracleIndent();
            OracleAppend("bar WM_MENUCHAR ch=%d menu=%s\n", (int)LOWORD(wp), OracleMenuName((HMENU)lp));
            break;
        case 0x0111: OracleLogMenuLoop("bar", msg, wp); break;
        default: break;
        }
    return DefWindowProcW(h, msg, wp, lp);
}

/* One step: the keys tapped into the queue, then those tapped each time the menu loop goes idle. */
static void OracleBarStep(HWND w, const char* name, UINT mod, UINT key, const UINT* idleKeys, int idleCount) {
    MSG m;
    int round;
    OracleStep("%s", name);
    SetForegroundWindow(w);
    SetFocus(w);
    oracleBarIdleKeys = idleKeys;
    oracleBarIdleCount = idleCount;
    oracleBarIdleStep = 0;
    OracleTap(mod, key);
    for (round = 0; round < 6; ++round) {
        while (PeekMessageW(&m, 0, 0, 0, PM_REMOVE)) {
            TranslateMessage(&m);
            DispatchMessageW(&m);
        }
        OracleSleep(30);
    }
    oracleBarIdleCount = 0;
    OracleAppend("= step done\n");
}

static void ScMenuBarKeys(void) {
    static const UINT escape1[] = {VK_ESCAPE, VK_ESCAPE};
    static const UINT across[] = {VK_DOWN, VK_RIGHT, VK_RIGHT, VK_ESCAPE, VK_ESCAPE, VK_ESCAPE};
    static const UINT convert[] = {'F', VK_RETURN};
    WNDCLASSEXW wc;
    HMENU bar, file, edit, tools, themes;
    HWND w;
    WCHAR name[64];
    memset(&wc, 0, sizeof wc);
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = OracleBarProc;
    wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    wc.lpszClassName = T("OracleMenuBar");
    RegisterClassExW(&wc);
    bar = OracleMenuNamed(CreateMenu(), "bar");
    file = OracleMenuNamed(CreatePopupMenu(), "file");
    edit = OracleMenuNamed(CreatePopupMenu(), "edit");
    tools = OracleMenuNamed(CreatePopupMenu(), "tools");
    themes = CreatePopupMenu(); /* "other" in the trace: four menus are named at most */
    AppendMenuW(file, MF_STRING, 1, T("&Convert"));
    AppendMenuW(file, MF_STRING, 2, T("E&xit"));
    AppendMenuW(edit, MF_STRING, 3, T("&Undo"));
    AppendMenuW(tools, MF_STRING, 4, T("&Options"));
    AppendMenuW(themes, MF_STRING, 5, T("&Dark"));
    AppendMenuW(bar, MF_POPUP, (UINT_PTR)file, T("&File"));
    AppendMenuW(bar, MF_POPUP, (UINT_PTR)edit, T("&Edit"));
    AppendMenuW(bar, MF_POPUP, (UINT_PTR)tools, T("&Tools"));
    AppendMenuW(bar, MF_POPUP, (UINT_PTR)themes, T("&Themes"));
    w = CreateWindowExW(0, T("OracleMenuBar"), T("form"), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 400, 300, 0, bar, 0, 0);
    OracleSettle();
    name[0] = 0;
    GetKeyNameTextW((LONG)(MapVirtualKeyW(VK_MENU, MAPVK_VK_TO_VSC) << 16), name, 64);
    OracleBegin();
    {
        char ascii[64];
        int i;
        for (i = 0; i < 63 && name[i]; ++i) ascii[i] = (char)name[i];
        ascii[i] = 0;
        OracleAppend("item altname=%s\n", ascii);
    }
    OracleBarStep(w, "Alt", 0, VK_MENU, escape1, 2);
    OracleBarStep(w, "F10", 0, VK_F10, escape1, 2);
    OracleBarStep(w, "Alt+E (one match)", VK_MENU, 'E', escape1, 2);
    OracleBarStep(w, "Alt+T (two matches)", VK_MENU, 'T', escape1, 2);
    OracleBarStep(w, "Alt+Z (none)", VK_MENU, 'Z', escape1, 2);
    OracleBarStep(w, "Alt+- (minus)", VK_MENU, VK_OEM_MINUS, escape1, 2);
    OracleBarStep(w, "Alt+Space", VK_MENU, VK_SPACE, escape1, 2);
    OracleBarStep(w, "Alt then Down Right Right Escape Escape Escape", 0, VK_MENU, across, 6);
    OracleBarStep(w, "Alt then F Return", 0, VK_MENU, convert, 2);
    DestroyWindow(w);
}

static const struct OracleScenario oracleMenuBarScenarios[] = {
    {"menubar_keys", ScMenuBarKeys},
};

static int OracleRunMenuBar(const char* name) {
    return OracleRunScenarioIn(oracleMenuBarScenarios, sizeof oracleMenuBarScenarios / sizeof oracleMenuBarScenarios[0],
                               name);
}
