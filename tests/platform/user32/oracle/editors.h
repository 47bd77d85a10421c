/* The scenarios of the controls the skinned editors stand on, on the machinery of scenarios.h and
 * controls.h (scenarios.h includes this file after them): an edit's margins under the three alignments,
 * with children of the edit in its margins; the up-down control with such an edit as its buddy, pressed
 * and held by the mouse and stepped by keys at its bound; owner-drawn combo boxes, a drop-down list and a
 * drop-down, drawn closed, focused and open, and their dropped width.
 *
 * Besides the trace formats of scenarios.h and controls.h:
 *   "= <edit> margins=l,r rect=l,r first=x last=x"  EM_GETMARGINS, EM_GETRECT's sides and where the
 *                                                   first character and the end of the text start
 *   "= <edit> ink=<left>,<right>"                   the colours (hex) seen at the two margin children
 *   "= <combo> dropwidth=.. width=.."               CB_GETDROPPEDWIDTH and the combo's own width */

/* The colour seen at a point of a child's client area, read through its parent's device context. */
static COLORREF OracleAt(HWND h, int x, int y) {
    POINT p;
    HDC dc;
    COLORREF c;
    p.x = x;
    p.y = y;
    MapWindowPoints(h, GetParent(h), &p, 1);
    dc = GetDC(GetParent(h));
    c = GetPixel(dc, p.x, p.y);
    ReleaseDC(GetParent(h), dc);
    return c;
}

/* The left button pressed or released at a screen point, alone. */
static void OracleButton(int x, int y, BOOL down) {
#ifdef _WIN32
    INPUT in;
    SetCursorPos(x, y);
    memset(&in, 0, sizeof in);
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    SendInput(1, &in, sizeof(INPUT));
    Sleep(20);
#else
    TwInputMouseMove(x, y);
    TwInputMouseButton(x, y, TW_BUTTON_LEFT, down);
#endif
}

static void OracleButtonAt(HWND h, int x, int y, BOOL down) {
    POINT p;
    p.x = x;
    p.y = y;
    ClientToScreen(h, &p);
    OracleButton(p.x, p.y, down);
}

/* ---- the edit's margins ---- */

static LRESULT CALLBACK OracleBlotProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    return DefWindowProcW(h, msg, wp, lp);
}

/* A small black child, unlogged, in a margin of `parent`. */
static HWND OracleBlot(HWND parent, int x, int y) {
    WNDCLASSEXW wc;
    memset(&wc, 0, sizeof wc);
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = OracleBlotProc;
    wc.hbrBackground = (HBRUSH)GetStockObject(BLACK_BRUSH);
    wc.lpszClassName = T("OracleBlot");
    RegisterClassExW(&wc);
    return CreateWindowExW(0, T("OracleBlot"), T(""), WS_CHILD | WS_VISIBLE, x, y, 6, 6, parent, 0, GetModuleHandleW(0), 0);
}

/* EM_POSFROMCHAR has no answer past the last character of a one-line edit, so the end of the text is
 * its first character's place plus the text's extent in the edit's font. */
static void OracleMargins(const char* name, HWND edit) {
    RECT r;
    DWORD m;
    LRESULT first;
    WCHAR text[64];
    SIZE extent;
    HDC dc;
    HGDIOBJ font, old;
    int saved = oracleLogging, n;
    oracleLogging = 0;
    m = (DWORD)SendMessageW(edit, EM_GETMARGINS, 0, 0);
    SendMessageW(edit, EM_GETRECT, 0, (LPARAM)&r);
    first = SendMessageW(edit, EM_POSFROMCHAR, 0, 0);
    n = GetWindowTextW(edit, text, 64);
    font = (HGDIOBJ)SendMessageW(edit, WM_GETFONT, 0, 0);
    dc = GetDC(edit);
    old = SelectObject(dc, font ? font : GetStockObject(SYSTEM_FONT));
    GetTextExtentPoint32W(dc, text, n, &extent);
    SelectObject(dc, old);
    ReleaseDC(edit, dc);
    oracleLogging = saved;
    OracleAppend("= %s margins=%d,%d rect=%d,%d first=%d last=%d\n", name, (int)LOWORD(m), (int)HIWORD(m), (int)r.left,
                 (int)r.right, (int)(short)LOWORD(first), (int)(short)LOWORD(first) + (int)extent.cx);
}

static void OracleInkSeen(const char* name, HWND edit, int right) {
    OracleAppend("= %s ink=%06x,%06x\n", name, (unsigned)OracleAt(edit, 5, 5), (unsigned)OracleAt(edit, right - 5, 5));
}

static void ScEditMargins(void) {
    static const char* const names[] = {"left", "center", "right"};
    static const DWORD aligns[] = {ES_LEFT, ES_CENTER, ES_RIGHT};
    HWND host = OracleHost(), edits[3];
    RECT c;
    int i;
    for (i = 0; i < 3; ++i) {
        edits[i] = OracleControl(names[i], T("Edit"), aligns[i] | ES_AUTOHSCROLL | WS_BORDER | WS_CLIPCHILDREN, 10,
                                 10 + 30 * i, 150, 24, host, 1 + i, T("abc"));
        GetClientRect(edits[i], &c);
        OracleBlot(edits[i], 2, 2);
        OracleBlot(edits[i], c.right - 8, 2);
    }
    OracleSettle();
    OracleBegin();
    OracleStep("WM_SETFONT the system font, EM_SETMARGINS 20,20");
    for (i = 0; i < 3; ++i) {
        SendMessageW(edits[i], WM_SETFONT, (WPARAM)GetStockObject(SYSTEM_FONT), FALSE);
        SendMessageW(edits[i], EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELONG(20, 20));
        OracleMargins(names[i], edits[i]);
    }
    OracleStep("SetWindowTextW a long text, focus, select all, paint");
    for (i = 0; i < 3; ++i) {
        GetClientRect(edits[i], &c);
        SetWindowTextW(edits[i], T("mmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmm"));
        SetFocus(edits[i]);
        SendMessageW(edits[i], EM_SETSEL, 0, -1);
        UpdateWindow(edits[i]);
        OracleDeliver(0);
        OracleInkSeen(names[i], edits[i], c.right);
    }
    OracleStep("End, type x");
    SendMessageW(edits[2], EM_SETSEL, 40, 40);
    OracleTap(0, VK_END);
    OracleType("x");
    OracleDeliver(0);
    UpdateWindow(edits[2]);
    GetClientRect(edits[2], &c);
    OracleInkSeen("right", edits[2], c.right);
}

/* ---- the up-down control with that edit as its buddy ---- */

static void ScUpDownBuddy(void) {
    HWND host, edit, ud;
    RECT r;
#ifdef _WIN32
    LoadLibraryW(T("comctl32.dll"));
#endif
    host = OracleHost();
    edit = OracleControl("edit", T("Edit"), ES_RIGHT | ES_AUTOHSCROLL | WS_BORDER | WS_CLIPCHILDREN, 10, 10, 80, 22,
                         host, 1, T(""));
    SendMessageW(edit, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELONG(2, 2));
    ud = OracleControl("updown", T("msctls_updown32"),
                       UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_AUTOBUDDY | UDS_ARROWKEYS | UDS_NOTHOUSANDS, 0, 0, 16,
                       22, host, 2, T(""));
    SendMessageW(ud, UDM_SETRANGE32, 0, 10);
    SendMessageW(ud, UDM_SETPOS32, 0, 8);
    GetClientRect(ud, &r);
    OracleSettle();
    OracleBegin();
    OracleStep("press the up half");
    OracleButtonAt(ud, r.right / 2, 3, TRUE);
    OracleDeliver(0);
    OracleText("edit", edit);
    OracleStep("release");
    OracleButtonAt(ud, r.right / 2, 3, FALSE);
    OracleDeliver(0);
    OracleText("edit", edit);
    OracleStep("click the up half at 9");
    OracleClickAt(ud, r.right / 2, 3);
    OracleDeliver(0);
    OracleText("edit", edit);
    OracleStep("click the up half at the upper bound");
    OracleClickAt(ud, r.right / 2, 3);
    OracleDeliver(0);
    OracleText("edit", edit);
    OracleResult((int)SendMessageW(ud, UDM_GETPOS32, 0, 0));
    OracleStep("SetFocus edit, Up at the upper bound, Down");
    SetFocus(edit);
    OracleTap(0, VK_UP);
    OracleDeliver(0);
    OracleText("edit", edit);
    OracleTap(0, VK_DOWN);
    OracleDeliver(0);
    OracleText("edit", edit);
    OracleResult((int)SendMessageW(ud, UDM_GETPOS32, 0, 0));
}

/* ---- owner-drawn combo boxes ---- */

/* The host of the combo scenarios: logs as OracleProc does and gives every item 16 pixels, the edit
 * part 18, so that the rows shown do not hang on the fonts. */
static LRESULT CALLBACK OracleOwnerProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT r;
    if (oracleLogging) OracleLogMessage(h, msg, wp, lp);
    ++oracleDepth;
    if (msg == 0x002C) { /* WM_MEASUREITEM */
        MEASUREITEMSTRUCT* m = (MEASUREITEMSTRUCT*)lp;
        m->itemHeight = (int)m->itemID == -1 ? 18 : 16;
        r = TRUE;
    } else if (msg == 0x002B) { /* WM_DRAWITEM */
        r = TRUE;
    } else
        r = DefWindowProcW(h, msg, wp, lp);
    --oracleDepth;
    return r;
}

static HWND OracleOwnerHost(void) {
    WNDCLASSEXW wc;
    HWND made;
    memset(&wc, 0, sizeof wc);
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = OracleOwnerProc;
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    wc.lpszClassName = T("OracleOwner");
    RegisterClassExW(&wc);
    oraclePending = "host";
    made = CreateWindowExW(0, T("OracleOwner"), T("oracle"), WS_POPUP | WS_BORDER | WS_VISIBLE, 100, 100, 320, 240, 0,
                           0, GetModuleHandleW(0), 0);
    oraclePending = 0;
    if (made) OracleName(made, "host");
    return made;
}

static void OracleDroppedWidth(const char* name, HWND combo) {
    RECT r;
    GetWindowRect(combo, &r);
    OracleAppend("= %s dropwidth=%d width=%d\n", name, (int)SendMessageW(combo, CB_GETDROPPEDWIDTH, 0, 0),
                 (int)(r.right - r.left));
}

static void OracleOwnerCombo(DWORD kind, const char* name) {
    HWND host = OracleOwnerHost(), combo, other;
    COMBOBOXINFO info;
    int saved;
    combo = OracleControl(name, T("ComboBox"), kind | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS | WS_VSCROLL | WS_TABSTOP, 10,
                          10, 150, 18 + 2 + 5 * 16 + 2, host, 1, T(""));
    other = OracleControl("button", T("Button"), BS_PUSHBUTTON | WS_TABSTOP, 200, 10, 80, 24, host, 2, T("b"));
    OracleFill(combo, CB_ADDSTRING);
    OracleFill(combo, CB_ADDSTRING);
    SetFocus(other);
    OracleSettle();
    OracleBegin();
    OracleStep("paint, nothing selected");
    InvalidateRect(combo, 0, TRUE);
    UpdateWindow(combo);
    OracleStep("CB_SETCURSEL 2, paint");
    SendMessageW(combo, CB_SETCURSEL, 2, 0);
    InvalidateRect(combo, 0, TRUE);
    UpdateWindow(combo);
    OracleStep("SetFocus combo, paint");
    SetFocus(combo);
    InvalidateRect(combo, 0, TRUE);
    UpdateWindow(combo);
    OracleStep("CB_SHOWDROPDOWN TRUE, paint the list");
    SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
    memset(&info, 0, sizeof info);
    info.cbSize = sizeof info;
    saved = oracleLogging;
    oracleLogging = 0;
    GetComboBoxInfo(combo, &info);
    oracleLogging = saved;
    UpdateWindow(info.hwndList);
    OracleCombo(name, combo);
    OracleStep("CB_SHOWDROPDOWN FALSE");
    SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
    OracleDeliver(0);
    OracleStep("CB_SETDROPPEDWIDTH 60, then 240");
    OracleResult((int)SendMessageW(combo, CB_SETDROPPEDWIDTH, 60, 0));
    OracleDroppedWidth(name, combo);
    OracleResult((int)SendMessageW(combo, CB_SETDROPPEDWIDTH, 240, 0));
    OracleDroppedWidth(name, combo);
}

static void ScComboOwnerList(void) {
    OracleOwnerCombo(CBS_DROPDOWNLIST, "list");
}

static void ScComboOwnerDown(void) {
    OracleOwnerCombo(CBS_DROPDOWN, "down");
}

static const struct OracleScenario oracleEditorScenarios[] = {
    {"edit_margins", ScEditMargins},
    {"updown_buddy", ScUpDownBuddy},
    {"combo_owner_list", ScComboOwnerList},
    {"combo_owner_down", ScComboOwnerDown},
};
