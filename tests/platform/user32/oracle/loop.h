/* The queue and window primitives a modal menu loop stands on, on the machinery of scenarios.h (which
 * includes this file before its lookup): a PM_NOREMOVE peek followed by a removal filtered to the
 * message's own number; a press queued while another window holds the capture, taken after
 * ReleaseCapture; Alt+letter translated into WM_SYSCHAR; WM_QUIT meeting filtered peeks; the UI state
 * after UIS_INITIALIZE; a hidden popup shown by SetWindowPos with the flags 0x425F; WM_PRINT with
 * PRF_NONCLIENT|PRF_CLIENT|PRF_ERASEBKGND|PRF_CHILDREN.
 *
 * Extra trace lines:
 *   "<how> <MESSAGE> wp=.. ctx=.. up=.. <window>"   a key message taken from the queue (lParam bits 29-31)
 *   "<window> erase-in-print"                        WM_ERASEBKGND sent while WM_PRINT is handled
 *   "= uistate <window>=0x.."   "= update <window>=0|1" */

static int oracleInPrint;

static LRESULT CALLBACK OracleLoopProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT r;
    if (oracleLogging) {
        if (msg == 0x0014 && oracleInPrint) { /* WM_ERASEBKGND: filtered by name in the comparison */
            OracleIndent();
            OracleAppend("%s erase-in-print\n", OracleWho(h));
        } else if (msg == 0x0317 || msg == 0x0318) { /* WM_PRINT, WM_PRINTCLIENT */
            OracleIndent();
            OracleAppend("%s %s flags=0x%x\n", OracleWho(h), msg == 0x0317 ? "WM_PRINT" : "WM_PRINTCLIENT", (unsigned)lp);
        } else {
            OracleLogMessage(h, msg, wp, lp);
        }
    } else {
        OracleWho(h);
    }
    ++oracleDepth;
    if (msg == 0x0317) ++oracleInPrint;
    r = DefWindowProcW(h, msg, wp, lp);
    if (msg == 0x0317) --oracleInPrint;
    --oracleDepth;
    return r;
}

static HWND OracleLoopWindow(const char* name, DWORD style, int x, int y, int w, int h, HWND parent) {
    WNDCLASSEXW wc;
    HWND made;
    memset(&wc, 0, sizeof wc);
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = OracleLoopProc;
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    wc.lpszClassName = T("OracleLoop");
    RegisterClassExW(&wc);
    oraclePending = name;
    made = CreateWindowExW(0, wc.lpszClassName, T("oracle"), style, x, y, w, h, parent, 0, GetModuleHandleW(0), 0);
    oraclePending = 0;
    if (made) OracleName(made, name);
    return made;
}

/* A message taken from the queue; keys with their code and the context, previous-state and transition bits. */
static void OracleGotKey(const char* how, const MSG* m) {
    if (m->message >= 0x0100 && m->message <= 0x0109) {
        OracleAppend("%s ", how);
        OracleMsgText(m->message);
        OracleAppend(" wp=%d ctx=%d up=%d %s\n", (int)m->wParam, (int)((m->lParam >> 29) & 1), (int)((m->lParam >> 31) & 1),
                     OracleWho(m->hwnd));
    } else {
        OracleGot(how, m);
    }
}

/* As the menu loop reads its queue: look without removing, then remove exactly that message number. */
static void OracleLoopPeekThenRemove(int translate) {
    MSG m, taken;
    int n;
    for (n = 0; n < 20; ++n) {
        if (!PeekMessageW(&m, 0, 0, 0, PM_NOREMOVE)) {
            OracleAppend("peek none\n");
            return;
        }
        OracleGotKey("noremove", &m);
        if (!PeekMessageW(&taken, 0, m.message, m.message, PM_REMOVE)) {
            OracleAppend("filtered none\n");
            return;
        }
        OracleGotKey("filtered", &taken);
        if (taken.message == 0x0012) continue; /* WM_QUIT */
        if (taken.message == 0x0113) KillTimer(taken.hwnd, taken.wParam);
        if (translate) TranslateMessage(&taken);
        else DispatchMessageW(&taken);
    }
}

static void ScLoopPeekFiltered(void) {
    HWND w = OracleLoopWindow("popup", WS_POPUP | WS_VISIBLE, 100, 100, 200, 150, 0);
    OracleSettle();
    SetFocus(w);
    OracleSettle();
    OracleBegin();
    OracleStep("post WM_USER+2, WM_USER+1, timer 1, a key and a click, wait; peek without removing, remove that number");
    PostMessageW(w, 0x0402, 0, 0);
    PostMessageW(w, 0x0401, 0, 0);
    SetTimer(w, 1, 10, 0);
    OracleKey('A', TRUE);
    OracleKey('A', FALSE);
    OracleClick(150, 150);
    OracleSleep(50);
    OracleLoopPeekThenRemove(0);
    KillTimer(w, 1);
}

static void ScLoopCaptureRelease(void) {
    HWND below = OracleLoopWindow("below", WS_POPUP | WS_VISIBLE, 100, 100, 200, 150, 0);
    HWND top = OracleLoopWindow("holder", WS_POPUP | WS_VISIBLE, 400, 100, 200, 150, 0);
    OracleSettle();
    OracleBegin();
    OracleStep("SetCapture holder; click on below, unpumped");
    SetCapture(top);
    OracleClick(150, 150);
    OracleState();
    OracleStep("ReleaseCapture; PeekMessageW");
    ReleaseCapture();
    OracleState();
    OracleDrain(0);
    (void)below;
}

static void ScLoopSysChar(void) {
    HWND w = OracleLoopWindow("popup", WS_POPUP | WS_VISIBLE, 100, 100, 200, 150, 0);
    OracleSettle();
    SetFocus(w);
    OracleSettle();
    OracleBegin();
    OracleStep("Alt down, F down and up, Alt up; each taken and translated, never dispatched");
    OracleKey(VK_MENU, TRUE);
    OracleKey('F', TRUE);
    OracleKey('F', FALSE);
    OracleKey(VK_MENU, FALSE);
    OracleLoopPeekThenRemove(1);
}

static void ScLoopQuitFiltered(void) {
    HWND w = OracleLoopWindow("popup", WS_POPUP | WS_VISIBLE, 100, 100, 200, 150, 0);
    MSG m;
    OracleSettle();
    OracleBegin();
    OracleStep("PostQuitMessage 5, post WM_USER+1; PM_NOREMOVE filtered to WM_TIMER");
    PostQuitMessage(5);
    PostMessageW(w, 0x0401, 0, 0);
    if (PeekMessageW(&m, 0, 0x0113, 0x0113, PM_NOREMOVE)) OracleGot("noremove", &m);
    else OracleAppend("noremove none\n");
    OracleStep("PM_NOREMOVE filtered to the window, WM_USER+1 only");
    if (PeekMessageW(&m, w, 0x0401, 0x0401, PM_NOREMOVE)) OracleGot("noremove", &m);
    else OracleAppend("noremove none\n");
    OracleStep("PM_REMOVE filtered to WM_QUIT");
    if (PeekMessageW(&m, 0, 0x0012, 0x0012, PM_REMOVE)) OracleGot("filtered", &m);
    else OracleAppend("filtered none\n");
    OracleStep("PM_REMOVE filtered to WM_KEYDOWN..WM_KEYUP");
    if (PeekMessageW(&m, 0, 0x0100, 0x0101, PM_REMOVE)) OracleGot("filtered", &m);
    else OracleAppend("filtered none\n");
    OracleDrain(0);
}

static void OracleUiState(HWND h) {
    int saved = oracleLogging;
    LRESULT s;
    oracleLogging = 0;
    s = SendMessageW(h, 0x0129, 0, 0); /* WM_QUERYUISTATE */
    oracleLogging = saved;
    OracleAppend("= uistate %s=0x%x\n", OracleWho(h), (unsigned)s);
}

static void ScLoopUiState(void) {
    HWND w = OracleLoopWindow("popup", WS_POPUP | WS_VISIBLE, 100, 100, 200, 150, 0);
    HWND c = OracleLoopWindow("child", WS_CHILD | WS_VISIBLE, 10, 10, 60, 40, w);
    BOOL cues = FALSE;
    OracleSettle();
    SystemParametersInfoW(SPI_GETKEYBOARDCUES, 0, &cues, 0);
    OracleBegin();
    OracleAppend("= cues=%d\n", cues ? 1 : 0);
    OracleUiState(w);
    OracleUiState(c);
    OracleStep("WM_CHANGEUISTATE UIS_SET hide-focus|hide-accel to child");
    SendMessageW(c, 0x0127, MAKEWPARAM(1, 3), 0);
    OracleUiState(w);
    OracleUiState(c);
    OracleStep("WM_CHANGEUISTATE UIS_CLEAR hide-accel to child");
    SendMessageW(c, 0x0127, MAKEWPARAM(2, 2), 0);
    OracleUiState(w);
    OracleUiState(c);
    OracleStep("WM_CHANGEUISTATE UIS_INITIALIZE hide-focus|hide-accel to popup");
    SendMessageW(w, 0x0127, MAKEWPARAM(3, 3), 0);
    OracleUiState(w);
    OracleUiState(c);
}

static void OracleUpdate(HWND h) {
    OracleAppend("= update %s=%d\n", OracleWho(h), GetUpdateRect(h, 0, FALSE) ? 1 : 0);
}

static void ScLoopShowNoActivate(void) {
    HWND a = OracleLoopWindow("active", WS_POPUP | WS_VISIBLE, 400, 100, 200, 150, 0);
    HWND w = OracleLoopWindow("hidden", WS_POPUP | WS_BORDER, 100, 100, 200, 150, 0);
    OracleSettle();
    SetActiveWindow(a);
    OracleSettle();
    OracleBegin();
    OracleStep("SetWindowPos hidden 0x425F");
    OracleResult(SetWindowPos(w, 0, 0, 0, 0, 0, 0x425F));
    OracleState();
    OracleVisible(w, a);
    OracleUpdate(w);
    OracleDrain(0);
}

static void ScLoopPrint(void) {
    HWND w = OracleLoopWindow("popup", WS_POPUP | WS_BORDER | WS_VISIBLE, 100, 100, 200, 150, 0);
    HDC screen, dc;
    HBITMAP bmp, old;
    OracleLoopWindow("child", WS_CHILD | WS_VISIBLE, 10, 10, 60, 40, w);
    OracleSettle();
    screen = GetDC(0);
    dc = CreateCompatibleDC(screen);
    bmp = CreateCompatibleBitmap(screen, 200, 150);
    old = (HBITMAP)SelectObject(dc, bmp);
    OracleBegin();
    OracleStep("WM_PRINT 0x1E to popup");
    SendMessageW(w, 0x0317, (WPARAM)dc, 0x1E);
    oracleLogging = 0;
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
    ReleaseDC(0, screen);
}

static const struct OracleScenario oracleLoopScenarios[] = {
    {"loop_peek_filtered", ScLoopPeekFiltered},       {"loop_capture_release", ScLoopCaptureRelease},
    {"loop_syschar", ScLoopSysChar},                  {"loop_quit_filtered", ScLoopQuitFiltered},
    {"loop_uistate", ScLoopUiState},                  {"loop_show_noactivate", ScLoopShowNoActivate},
    {"loop_print", ScLoopPrint},
};
