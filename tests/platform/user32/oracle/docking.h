/* The scenarios the tool bars' docking relies on, on the machinery of scenarios.h (which includes this
 * file before its table): a WH_CALLWNDPROC hook watching a form shown, hidden, minimised and
 * deactivated, as the floating windows' hook manager does; the CBT hook hearing an owner destroyed
 * before its owned windows; private hit codes (2000-2002) passing DefWindowProc unchanged; a docked
 * child moved into a floating popup frame and back; a frame answering MA_NOACTIVATE under an active
 * owner; and an owner changed through GWLP_HWNDPARENT.
 *
 * Extra trace lines:
 *   "<window> hook MSG facts"          the WH_CALLWNDPROC hook seeing a message sent to the window
 *   "<window> hit MSG code=.. def=.."  the hit code a message carries, and what DefWindowProc answered
 *   "= <window> same=.. parent=.."     the child's handle unchanged after SetParent */

static HHOOK oracleCallHook;

static LRESULT CALLBACK OracleCallWndProc(int code, WPARAM wp, LPARAM lp) {
    const CWPSTRUCT* c = (const CWPSTRUCT*)lp;
    /* The real platform's own hidden windows (input method) are left out. */
    if (code == HC_ACTION && oracleLogging && c && (c->message == 0x0006 || c->message == 0x001C || c->message == 0x0047) &&
        strcmp(OracleWho(c->hwnd), "other") != 0) {
        OracleIndent();
        OracleAppend("%s hook ", OracleWho(c->hwnd));
        OracleMsgText(c->message);
        OracleFacts(c->message, c->wParam, c->lParam);
        OracleAppend("\n");
    }
    return CallNextHookEx(oracleCallHook, code, wp, lp);
}

/* The window answers WM_NCHITTEST with 2000, 2001 or 2002 by thirds of its width. */
static int oracleDockHits;

static LRESULT CALLBACK OracleDockProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT r;
    if (oracleLogging) OracleLogMessage(h, msg, wp, lp);
    else OracleWho(h);
    ++oracleDepth;
    if (msg == 0x0084 && oracleDockHits) {
        RECT w;
        int x = (int)(short)LOWORD(lp);
        GetWindowRect(h, &w);
        r = 2000 + (x - w.left) * 3 / (w.right - w.left);
    } else if (msg == 0x0021 && h == oracleNoActivate) {
        r = MA_NOACTIVATE;
    } else {
        r = DefWindowProcW(h, msg, wp, lp);
        /* WM_SETCURSOR only for a button press: the pointer's own come as the display moves it. Logged
         * beside the message, not in it, so that leaving out the pointer's messages keeps these lines. */
        if (oracleLogging && oracleDockHits &&
            ((msg == 0x0020 && HIWORD(lp) == 0x0201) || msg == 0x00A1 || msg == 0x00A3 || msg == 0x00A2)) {
            --oracleDepth;
            OracleIndent();
            ++oracleDepth;
            /* DefWindowProc's answer to WM_SETCURSOR here is the previous cursor, whatever that was. */
            OracleAppend("%s hit %s code=%d def=%d\n", OracleWho(h),
                         msg == 0x0020 ? "WM_SETCURSOR" : msg == 0x00A1 ? "WM_NCLBUTTONDOWN"
                                                        : msg == 0x00A2 ? "WM_NCLBUTTONUP" : "WM_NCLBUTTONDBLCLK",
                         msg == 0x0020 ? (int)(short)LOWORD(lp) : (int)wp, msg == 0x0020 ? -1 : (int)r);
        }
    }
    --oracleDepth;
    return r;
}

static HWND OracleDockCreate(const char* name, DWORD style, int x, int y, int w, int h, HWND parent) {
    WNDCLASSEXW wc;
    HWND made;
    memset(&wc, 0, sizeof wc);
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = OracleDockProc;
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    wc.lpszClassName = T("OracleDock");
    RegisterClassExW(&wc);
    oraclePending = name;
    made = CreateWindowExW(0, T("OracleDock"), T("dock"), style, x, y, w, h, parent, 0, GetModuleHandleW(0), 0);
    oraclePending = 0;
    if (made) OracleName(made, name);
    return made;
}

static void ScCallWndProcForm(void) {
    HWND form, other;
    form = OracleCreate("form", ORACLE_FRAME_STYLE & ~WS_VISIBLE, 100, 100, 300, 200, 0, 0);
    other = OraclePopup("other2", FALSE, 500, 100);
    OracleSettle();
    oracleCallHook = SetWindowsHookExW(WH_CALLWNDPROC, OracleCallWndProc, 0, GetCurrentThreadId());
    OracleBegin();
    OracleStep("ShowWindow form SW_SHOW");
    OracleResult(ShowWindow(form, SW_SHOW));
    OracleState();
    OracleStep("ShowWindow other2 SW_SHOW (form deactivated)");
    OracleResult(ShowWindow(other, SW_SHOW));
    OracleState();
    OracleStep("SetActiveWindow form");
    OracleResultWho(SetActiveWindow(form));
    OracleStep("ShowWindow form SW_MINIMIZE");
    OracleResult(ShowWindow(form, SW_MINIMIZE));
    OracleState();
    OracleStep("ShowWindow form SW_RESTORE");
    OracleResult(ShowWindow(form, SW_RESTORE));
    OracleState();
    OracleStep("ShowWindow other2 SW_HIDE");
    OracleResult(ShowWindow(other, SW_HIDE));
    OracleState();
    OracleStep("ShowWindow form SW_HIDE (the application deactivated)");
    OracleResult(ShowWindow(form, SW_HIDE));
    OracleState();
    OracleStep("ShowWindow form SW_SHOW (the application active again)");
    OracleResult(ShowWindow(form, SW_SHOW));
    OracleState();
    UnhookWindowsHookEx(oracleCallHook);
    oracleCallHook = 0;
}

static void ScCbtDestroyOwner(void) {
    HWND owner, a;
    owner = OraclePopup("owner", TRUE, 100, 100);
    a = OracleCreate("ownedA", WS_POPUP | WS_BORDER | WS_VISIBLE, 150, 150, 200, 150, owner, 0);
    OracleChild("childA", a, TRUE, 10, 10, 1);
    OracleCreate("ownedB", WS_POPUP | WS_BORDER, 400, 150, 200, 150, owner, 0);
    OracleSettle();
    OracleHook(TRUE);
    OracleBegin();
    OracleStep("DestroyWindow owner");
    OracleResult(DestroyWindow(owner));
    OracleState();
    OracleHook(FALSE);
}

static void ScHitCodes(void) {
    HWND w = OracleDockCreate("bar", WS_POPUP | WS_BORDER | WS_VISIBLE, 100, 100, 300, 60, 0);
    OracleSettle();
    oracleDockHits = 1;
    OracleBegin();
    OracleStep("click at 2000");
    OracleClick(140, 130);
    OraclePump();
    OracleState();
    OracleStep("click at 2001");
    OracleClick(250, 130);
    OraclePump();
    OracleStep("double click at 2002");
    OracleClick(350, 130);
    OracleClick(350, 130);
    OraclePump();
    OracleState();
    oracleLogging = 0;
    oracleDockHits = 0;
    DestroyWindow(w);
}

static void ScSetParentFrame(void) {
    HWND form, frame, bar;
    form = OraclePopup("form", TRUE, 100, 100);
    frame = OracleCreate("frame", WS_POPUP | WS_BORDER, 500, 100, 200, 100, form, 0);
    bar = OracleChild("bar", form, TRUE, 10, 10, 1);
    SetFocus(bar);
    OracleSettle();
    OracleBegin();
    OracleState();
    OracleStep("SetParent bar frame");
    OracleResultWho(SetParent(bar, frame));
    OracleAppend("= bar same=%d parent=%s\n", IsWindow(bar) ? 1 : 0, OracleWho(GetParent(bar)));
    OracleState();
    OracleStep("ShowWindow frame SW_SHOWNOACTIVATE");
    OracleResult(ShowWindow(frame, SW_SHOWNOACTIVATE));
    OracleState();
    OracleStep("SetParent bar form");
    OracleResultWho(SetParent(bar, form));
    OracleAppend("= bar same=%d parent=%s\n", IsWindow(bar) ? 1 : 0, OracleWho(GetParent(bar)));
    OracleStep("ShowWindow frame SW_HIDE");
    OracleResult(ShowWindow(frame, SW_HIDE));
    OracleState();
}

static void ScNoActivateOwner(void) {
    HWND form, frame;
    form = OraclePopup("form", TRUE, 100, 100);
    frame = OracleDockCreate("frame", WS_POPUP | WS_BORDER, 500, 100, 200, 100, form);
    OracleDockCreate("button", WS_CHILD | WS_VISIBLE, 10, 10, 60, 30, frame);
    ShowWindow(frame, SW_SHOWNOACTIVATE);
    SetActiveWindow(form);
    OracleSettle();
    oracleNoActivate = frame;
    OracleBegin();
    OracleState();
    OracleStep("click frame (MA_NOACTIVATE)");
    OracleClick(650, 170);
    OraclePump();
    OracleState();
    OracleStep("click button in frame");
    OracleClick(530, 130);
    OraclePump();
    OracleState();
    oracleNoActivate = 0;
}

static void ScOwnerHwndParent(void) {
    HWND form, app, frame;
    app = OraclePopup("app", TRUE, 700, 100);
    form = OraclePopup("form", TRUE, 100, 100);
    frame = OracleCreate("frame", WS_POPUP | WS_BORDER | WS_VISIBLE, 400, 100, 200, 100, form, 0);
    OracleSettle();
    OracleBegin();
    OracleLinks(frame);
    OracleStep("SetWindowLongPtrW frame GWLP_HWNDPARENT app");
    OracleResultWho((HWND)SetWindowLongPtrW(frame, GWLP_HWNDPARENT, (LONG_PTR)app));
    OracleLinks(frame);
    OracleStep("ShowWindow form SW_MINIMIZE");
    OracleResult(ShowWindow(form, SW_MINIMIZE));
    OracleVisible(form, frame);
    OracleStep("DestroyWindow form");
    OracleResult(DestroyWindow(form));
    OracleResult(IsWindow(frame));
    OracleLinks(frame);
    OracleStep("SetWindowLongPtrW frame GWLP_HWNDPARENT 0");
    OracleResultWho((HWND)SetWindowLongPtrW(frame, GWLP_HWNDPARENT, 0));
    OracleLinks(frame);
    OracleState();
}

static const struct OracleScenario oracleDockScenarios[] = {
    {"callwndproc_form", ScCallWndProcForm}, {"cbt_destroy_owner", ScCbtDestroyOwner},
    {"hit_codes", ScHitCodes},               {"setparent_frame", ScSetParentFrame},
    {"noactivate_owner", ScNoActivateOwner}, {"owner_hwndparent", ScOwnerHwndParent},
};
