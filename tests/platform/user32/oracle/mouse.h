/* The mouse scenarios the report grid relies on, on the machinery of scenarios.h (which includes this
 * file before its table): a capture taken by a window that sends itself a button press, as the floating
 * column header does; double clicks with and without CS_DBLCLKS; wheel deltas and the keys held; tool
 * windows shown without taking the activation; and clicks beside a window region falling through.
 * Windows of the class "OracleMouse" log as OracleProc does, add the facts of the wheel and the buttons,
 * and take the capture on a button press while `oracleCaptureOnPress` is set. */

static int oracleCaptureOnPress;

static LRESULT CALLBACK OracleMouseProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT r;
    if (oracleLogging) {
        OracleIndent();
        OracleAppend("%s ", OracleWho(h));
        OracleMsgText(msg);
        if (msg == 0x020A) /* WM_MOUSEWHEEL: delta, keys, screen point */
            OracleAppend(" delta=%d keys=0x%x at=%d,%d", (int)(short)HIWORD(wp), (unsigned)LOWORD(wp), (int)(short)LOWORD(lp),
                         (int)(short)HIWORD(lp));
        else if (msg >= 0x0201 && msg <= 0x0203) /* left button: keys, client point */
            OracleAppend(" keys=0x%x at=%d,%d", (unsigned)wp, (int)(short)LOWORD(lp), (int)(short)HIWORD(lp));
        else
            OracleFacts(msg, wp, lp);
        OracleAppend("\n");
    } else {
        OracleWho(h);
    }
    ++oracleDepth;
    if (msg == 0x0201 && oracleCaptureOnPress) {
        SetCapture(h);
        r = 0;
    } else if (msg == 0x0021 && h == oracleNoActivate) {
        r = MA_NOACTIVATE;
    } else {
        r = DefWindowProcW(h, msg, wp, lp);
    }
    --oracleDepth;
    return r;
}

static HWND OracleMouseWindow(const char* name, BOOL dblclks, DWORD exStyle, DWORD style, int x, int y, int w, int h,
                              HWND parent) {
    WNDCLASSEXW wc;
    HWND made;
    memset(&wc, 0, sizeof wc);
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = OracleMouseProc;
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    wc.style = dblclks ? CS_DBLCLKS : 0;
    wc.lpszClassName = dblclks ? T("OracleMouseDbl") : T("OracleMouse");
    RegisterClassExW(&wc);
    oraclePending = name;
    made = CreateWindowExW(exStyle, wc.lpszClassName, T("oracle"), style, x, y, w, h, parent, 0, GetModuleHandleW(0), 0);
    oraclePending = 0;
    if (made) OracleName(made, name);
    return made;
}

/* The wheel turned at a screen point, Delta in the platform's units (120 a notch). */
static void OracleWheel(int x, int y, int delta) {
#ifdef _WIN32
    INPUT in;
    SetCursorPos(x, y);
    memset(&in, 0, sizeof in);
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = MOUSEEVENTF_WHEEL;
    in.mi.mouseData = (DWORD)delta;
    SendInput(1, &in, sizeof(INPUT));
    Sleep(50);
#else
    TwInputMouseMove(x, y);
    TwInputMouseWheel(x, y, delta, FALSE);
#endif
}

static void ScMouseCaptureByPress(void) {
    HWND top = OraclePopup("top", TRUE, 100, 100);
    HWND grid = OracleMouseWindow("grid", TRUE, 0, WS_CHILD | WS_VISIBLE, 10, 10, 150, 100, top);
    HWND box = OracleMouseWindow("box", FALSE, WS_EX_TOOLWINDOW, WS_POPUP, 120, 90, 80, 18, top);
    OracleSettle();
    OracleBegin();
    OracleStep("SetCapture grid (the press in the grid)");
    OracleResultWho(SetCapture(grid));
    OracleStep("SetWindowPos box SHOWWINDOW|NOACTIVATE");
    SetWindowPos(box, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
    OracleState();
    OracleStep("SendMessage box WM_LBUTTONDOWN (it captures)");
    oracleCaptureOnPress = 1;
    SendMessageW(box, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    oracleCaptureOnPress = 0;
    OracleState();
    OracleStep("ReleaseCapture");
    OracleResult(ReleaseCapture());
    OracleState();
}

static void ScMouseDoubleClick(void) {
    HWND top = OraclePopup("top", TRUE, 100, 100);
    OracleMouseWindow("dbl", TRUE, 0, WS_CHILD | WS_VISIBLE, 10, 10, 60, 40, top);
    OracleMouseWindow("plain", FALSE, 0, WS_CHILD | WS_VISIBLE, 100, 10, 60, 40, top);
    SetForegroundWindow(top);
    SetActiveWindow(top);
    OracleSettle();
    OracleBegin();
    OracleStep("two clicks on dbl (CS_DBLCLKS)");
    OracleClick(131, 131);
    OracleClick(131, 131);
    OraclePump();
    OracleSleep(1000);
    OraclePump();
    OracleStep("two clicks on plain");
    OracleClick(221, 131);
    OracleClick(221, 131);
    OraclePump();
}

static void ScMouseWheel(void) {
    HWND top = OraclePopup("top", TRUE, 100, 100);
    HWND w = OracleMouseWindow("w", FALSE, 0, WS_CHILD | WS_VISIBLE, 10, 10, 150, 100, top);
    SetForegroundWindow(top);
    SetActiveWindow(top);
    SetFocus(w);
    OracleSettle();
    OracleBegin();
    OracleState();
    OracleStep("wheel down a notch");
    OracleWheel(150, 150, -120);
    OraclePump();
    OracleStep("wheel up two notches with Ctrl");
    OracleKey(VK_CONTROL, TRUE);
    OracleWheel(150, 150, 240);
    OraclePump();
    OracleKey(VK_CONTROL, FALSE);
    OraclePump();
}

static void ScMouseToolWindow(void) {
    HWND top = OraclePopup("top", TRUE, 100, 100);
    HWND tool = OracleMouseWindow("tool", FALSE, WS_EX_TOOLWINDOW, WS_POPUP, 400, 100, 9, 9, top);
    SetForegroundWindow(top);
    SetActiveWindow(top);
    OracleSettle();
    OracleBegin();
    OracleState();
    OracleStep("SetWindowPos tool SHOWWINDOW|NOACTIVATE");
    SetWindowPos(tool, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
    OracleState();
    OracleStep("SetWindowPos tool HIDEWINDOW|NOACTIVATE");
    SetWindowPos(tool, 0, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_HIDEWINDOW | SWP_NOACTIVATE);
    OracleState();
}

static void ScMouseRegion(void) {
    HWND under = OracleMouseWindow("under", FALSE, 0, WS_POPUP | WS_VISIBLE, 100, 100, 200, 150, 0);
    HWND arrow = OracleMouseWindow("arrow", FALSE, WS_EX_TOOLWINDOW, WS_POPUP, 150, 150, 9, 9, under);
    /* An arrow pointing down: its head fills the lower rows, its shaft the middle columns. */
    POINT shape[8] = {{5, 0}, {3, 0}, {3, 4}, {0, 4}, {4, 9}, {9, 4}, {6, 4}, {6, 0}};
    POINT shaft, beside;
    SetWindowRgn(arrow, CreatePolygonRgn(shape, 8, WINDING), TRUE);
    SetWindowPos(arrow, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
    SetForegroundWindow(under);
    SetActiveWindow(under);
    OracleSettle();
    OracleBegin();
    OracleStep("WindowFromPoint on the shaft");
    shaft.x = 154, shaft.y = 151;
    OracleResultWho(WindowFromPoint(shaft));
    OracleStep("WindowFromPoint beside the shaft");
    beside.x = 151, beside.y = 151;
    OracleResultWho(WindowFromPoint(beside));
    OracleStep("click beside the shaft");
    OracleClick(151, 151);
    OraclePump();
    OracleStep("click on the head");
    oracleNoActivate = arrow;
    OracleClick(154, 156);
    OraclePump();
    oracleNoActivate = 0;
    OracleState();
}

static const struct OracleScenario oracleMouseScenarios[] = {
    {"mouse_capture_by_press", ScMouseCaptureByPress}, {"mouse_double_click", ScMouseDoubleClick},
    {"mouse_wheel", ScMouseWheel},                     {"mouse_tool_window", ScMouseToolWindow},
    {"mouse_region", ScMouseRegion},
};
