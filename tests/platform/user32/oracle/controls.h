/* The standard controls' scenarios, on the machinery of scenarios.h (which includes this file before
 * its tables): what a parent or a dialog hears from buttons, edits, list and combo boxes, statics and
 * scroll bars when the program or the user drives them, how a dialog moves the focus by keys, and how
 * a message box lays itself out. The includer also provides OracleKey(vk, down), a key press or
 * release through the system's input queue, and OracleDrag(x0, y0, x1, y1), the left button pressed at
 * one screen point and released at another.
 *
 * Besides the trace format of scenarios.h:
 *   "<window> WM_COMMAND id=.. <code> from=.."  a notification, its code named by the sender's class
 *   "= <window> text=.. sel=a,b"                 an edit's text and selection
 *   "= <window> check=.."  "= <window> cursel=.. dropped=.."
 *   "@ <window> <class> id=.. text=.. rect=l,t,r,b"  a child of a message box, in its client area
 * Controls' own messages are not logged: only what their parent, dialog and the program can see. */

#ifdef _WIN32
#include <commctrl.h> /* the up-down control's messages and styles */
#endif

static const char* const* oracleItemNames; /* dialog items named by id while they are created */
static int oracleItemCount;

static void OracleNarrow(const WCHAR* w, char* out, int size) {
    int i;
    for (i = 0; w[i] && i < size - 1; ++i) out[i] = w[i] < 0x80 ? (char)w[i] : '?';
    out[i] = 0;
}

/* Class names compare without case. */
static int OracleSame(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b)
        if ((*a | 0x20) != (*b | 0x20)) return 0;
    return *a == *b;
}

static const char* OracleCode(HWND from, int code) {
    WCHAR cls[32];
    char c[32];
    static const char* const button[] = {"BN_CLICKED", "BN_PAINT", "BN_HILITE", "BN_UNHILITE",
                                         "BN_DISABLE", "BN_DOUBLECLICKED", "BN_SETFOCUS", "BN_KILLFOCUS"};
    static const char* const list[] = {"0", "LBN_SELCHANGE", "LBN_DBLCLK", "LBN_SELCANCEL", "LBN_SETFOCUS",
                                       "LBN_KILLFOCUS"};
    static const char* const combo[] = {"0", "CBN_SELCHANGE", "CBN_DBLCLK", "CBN_SETFOCUS", "CBN_KILLFOCUS",
                                        "CBN_EDITCHANGE", "CBN_EDITUPDATE", "CBN_DROPDOWN", "CBN_CLOSEUP",
                                        "CBN_SELENDOK", "CBN_SELENDCANCEL"};
    static const char* const stat[] = {"STN_CLICKED", "STN_DBLCLK", "STN_ENABLE", "STN_DISABLE"};
    cls[0] = 0;
    if (from) GetClassNameW(from, cls, 32);
    OracleNarrow(cls, c, 32);
    if (OracleSame(c, "Button") && code >= 0 && code < 8) return button[code];
    if (OracleSame(c, "ListBox") && code > 0 && code < 6) return list[code];
    if (OracleSame(c, "ComboBox") && code > 0 && code < 11) return combo[code];
    if (OracleSame(c, "Static") && code >= 0 && code < 4) return stat[code];
    if (OracleSame(c, "Edit")) switch (code) {
        case 0x100: return "EN_SETFOCUS";
        case 0x200: return "EN_KILLFOCUS";
        case 0x300: return "EN_CHANGE";
        case 0x400: return "EN_UPDATE";
        case 0x501: return "EN_MAXTEXT";
        case 0x601: return "EN_HSCROLL";
        case 0x602: return "EN_VSCROLL";
        default: break;
        }
    return "?";
}

/* The facts of the messages only the controls' scenarios see. */
static void OracleControlFacts(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case 0x0111: /* WM_COMMAND */
        if (lp) OracleAppend(" id=%d %s from=%s", (int)LOWORD(wp), OracleCode((HWND)lp, (int)(short)HIWORD(wp)),
                             OracleWho((HWND)lp));
        else OracleAppend(" id=%d %s", (int)LOWORD(wp), HIWORD(wp) ? "accelerator" : "menu");
        break;
    case 0x0114: /* WM_HSCROLL */
    case 0x0115: /* WM_VSCROLL */
        OracleAppend(" code=%d pos=%d from=%s", (int)LOWORD(wp), (int)(short)HIWORD(wp), OracleWho((HWND)lp));
        break;
    case 0x002B: { /* WM_DRAWITEM */
        const DRAWITEMSTRUCT* d = (const DRAWITEMSTRUCT*)lp;
        OracleAppend(" id=%d item=%d action=0x%x state=0x%x", (int)wp, (int)d->itemID, d->itemAction, d->itemState);
        break;
    }
    case 0x002C: { /* WM_MEASUREITEM */
        const MEASUREITEMSTRUCT* m = (const MEASUREITEMSTRUCT*)lp;
        OracleAppend(" id=%d type=%d item=%d", (int)wp, (int)m->CtlType, (int)m->itemID);
        break;
    }
    case 0x004E: { /* WM_NOTIFY */
        const NMHDR* h = (const NMHDR*)lp;
        if ((int)h->code == (int)UDN_DELTAPOS) {
            const NMUPDOWN* u = (const NMUPDOWN*)lp;
            OracleAppend(" UDN_DELTAPOS pos=%d delta=%d from=%s", u->iPos, u->iDelta, OracleWho(h->hwndFrom));
        } else OracleAppend(" code=%d from=%s", (int)h->code, OracleWho(h->hwndFrom));
        break;
    }
    case 0x0028: /* WM_NEXTDLGCTL: a window to focus, or the next (0) or previous (1) one */
        if (LOWORD(lp)) OracleAppend(" %s 1", OracleWho((HWND)wp));
        else OracleAppend(" %s 0", wp ? "previous" : "next");
        break;
    default: break;
    }
}

static void OracleText(const char* name, HWND edit) {
    WCHAR buf[128];
    char text[128];
    DWORD from = 0, to = 0;
    int saved = oracleLogging;
    oracleLogging = 0;
    GetWindowTextW(edit, buf, 128);
    SendMessageW(edit, EM_GETSEL, (WPARAM)&from, (LPARAM)&to);
    oracleLogging = saved;
    OracleNarrow(buf, text, 128);
    OracleAppend("= %s text=%s sel=%d,%d\n", name, text, (int)from, (int)to);
}

static void OracleCheck(const char* name, HWND button) {
    OracleAppend("= %s check=%d\n", name, (int)SendMessageW(button, BM_GETCHECK, 0, 0));
}

/* A child's rectangle in its parent's client area. */
static void OracleRect(const char* name, HWND h) {
    RECT r;
    GetWindowRect(h, &r);
    MapWindowPoints(0, GetParent(h), (POINT*)&r, 2);
    OracleAppend("= %s rect=%d,%d,%d,%d\n", name, (int)r.left, (int)r.top, (int)r.right, (int)r.bottom);
}

static void OracleCombo(const char* name, HWND combo) {
    OracleAppend("= %s cursel=%d dropped=%d\n", name, (int)SendMessageW(combo, CB_GETCURSEL, 0, 0),
                 (int)SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0));
}

/* A key tapped (down and up); with `mod` (VK_SHIFT, VK_CONTROL, VK_MENU or 0) held around it. */
static void OracleTap(UINT mod, UINT vk) {
    if (mod) OracleKey(mod, TRUE);
    OracleKey(vk, TRUE);
    OracleKey(vk, FALSE);
    if (mod) OracleKey(mod, FALSE);
}

/* Delivers the queued input as a program's loop does, through IsDialogMessageW when `dlg` is given. */
static void OracleDeliver(HWND dlg) {
    MSG m;
    int round;
    for (round = 0; round < 4; ++round) {
        while (PeekMessageW(&m, 0, 0, 0, PM_REMOVE)) {
            if (dlg && IsDialogMessageW(dlg, &m)) continue;
            TranslateMessage(&m);
            DispatchMessageW(&m);
        }
        OracleSleep(20);
    }
}

/* Types ASCII letters, digits and spaces as key presses (capitals with Shift). */
static void OracleType(const char* s) {
    for (; *s; ++s) {
        char c = *s;
        if (c >= 'a' && c <= 'z') OracleTap(0, (UINT)(c - 'a' + 'A'));
        else if (c >= 'A' && c <= 'Z') OracleTap(VK_SHIFT, (UINT)c);
        else OracleTap(0, (UINT)c);
    }
}

static HWND OracleControl(const char* name, const WCHAR* cls, DWORD style, int x, int y, int w, int h, HWND parent,
                          int id, const WCHAR* text) {
    HWND made;
    oraclePending = name;
    made = CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent, (HMENU)(INT_PTR)id,
                           GetModuleHandleW(0), 0);
    oraclePending = 0;
    if (made) OracleName(made, name);
    return made;
}

/* A click at a point of a window's client area. */
static void OracleClickAt(HWND h, int x, int y) {
    POINT p;
    p.x = x;
    p.y = y;
    ClientToScreen(h, &p);
    OracleClick(p.x, p.y);
}

/* Clicks a check box `times` times, with its state after each click. */
static void OracleClickBox(const char* name, HWND box, int times) {
    int i;
    for (i = 0; i < times; ++i) {
        OracleClickAt(box, 5, 10);
        OracleDeliver(0);
        OracleCheck(name, box);
    }
}

static HWND OracleHost(void) {
    return OracleCreate("host", WS_POPUP | WS_BORDER | WS_VISIBLE, 100, 100, 320, 240, 0, 0);
}

/* ---- buttons ---- */

static void ScButtonCreate(void) {
    HWND host = OracleHost();
    OracleSettle();
    OracleHook(TRUE);
    OracleBegin();
    OracleStep("CreateWindowExW Button push, default push, check box, radio, group box");
    OracleControl("push", T("Button"), BS_PUSHBUTTON | WS_TABSTOP, 10, 10, 80, 24, host, 1, T("Push"));
    OracleControl("def", T("Button"), BS_DEFPUSHBUTTON | WS_TABSTOP, 100, 10, 80, 24, host, 2, T("Default"));
    OracleControl("check", T("Button"), BS_AUTOCHECKBOX | WS_TABSTOP, 10, 40, 100, 20, host, 3, T("Check"));
    OracleControl("radio", T("Button"), BS_AUTORADIOBUTTON | WS_TABSTOP, 10, 70, 100, 20, host, 4, T("Radio"));
    OracleControl("group", T("Button"), BS_GROUPBOX, 150, 40, 150, 80, host, 5, T("Group"));
    OracleResult((int)(GetWindowLongW(GetDlgItem(host, 4), GWL_STYLE) & WS_TABSTOP) != 0);
    OracleHook(FALSE);
}

static void ScButtonClick(void) {
    HWND host = OracleHost();
    HWND push = OracleControl("push", T("Button"), BS_PUSHBUTTON, 10, 10, 80, 24, host, 1, T("Push"));
    HWND check = OracleControl("check", T("Button"), BS_AUTOCHECKBOX, 10, 40, 100, 20, host, 2, T("Check"));
    HWND three = OracleControl("three", T("Button"), BS_AUTO3STATE, 10, 64, 100, 20, host, 3, T("Three"));
    HWND r1 = OracleControl("r1", T("Button"), BS_AUTORADIOBUTTON | WS_GROUP, 150, 10, 100, 20, host, 4, T("One"));
    HWND r2 = OracleControl("r2", T("Button"), BS_AUTORADIOBUTTON, 150, 34, 100, 20, host, 5, T("Two"));
    HWND r3 = OracleControl("r3", T("Button"), BS_AUTORADIOBUTTON, 150, 58, 100, 20, host, 6, T("Three"));
    HWND plain = OracleControl("plain", T("Button"), BS_CHECKBOX, 10, 90, 100, 20, host, 7, T("Plain"));
    OracleControl("after", T("Button"), BS_AUTORADIOBUTTON | WS_GROUP, 150, 90, 100, 20, host, 8, T("Other"));
    SendMessageW(r1, BM_SETCHECK, BST_CHECKED, 0);
    SendMessageW(GetDlgItem(host, 8), BM_SETCHECK, BST_CHECKED, 0);
    OracleSettle();
    OracleBegin();
    OracleStep("click push");
    OracleClickAt(push, 40, 12);
    OracleDeliver(0);
    OracleState();
    OracleStep("click check twice");
    OracleClickBox("check", check, 2);
    OracleStep("click three three times");
    OracleClickBox("three", three, 3);
    OracleStep("click r3");
    OracleClickAt(r3, 5, 10);
    OracleDeliver(0);
    OracleCheck("r1", r1);
    OracleCheck("r2", r2);
    OracleCheck("r3", r3);
    OracleCheck("after", GetDlgItem(host, 8));
    OracleStep("click plain (not automatic)");
    OracleClickAt(plain, 5, 10);
    OracleDeliver(0);
    OracleCheck("plain", plain);
    OracleStep("press on push, release outside");
    {
        POINT p;
        p.x = 40;
        p.y = 12;
        ClientToScreen(push, &p);
        OracleDrag(p.x, p.y, p.x + 100, p.y + 100);
    }
    OracleDeliver(0);
    OracleState();
    OracleStep("space on check");
    SetFocus(check);
    OracleTap(0, VK_SPACE);
    OracleDeliver(0);
    OracleCheck("check", check);
    OracleStep("BM_CLICK r2");
    SendMessageW(r2, BM_CLICK, 0, 0);
    OracleCheck("r2", r2);
    OracleCheck("r3", r3);
    OracleState();
}

/* The states an owner-drawn button is drawn in. */
static void ScButtonOwnerDraw(void) {
    HWND host = OracleHost();
    HWND own = OracleControl("own", T("Button"), BS_OWNERDRAW, 10, 10, 80, 24, host, 1, T("Own"));
    OracleSettle();
    OracleBegin();
    OracleStep("UpdateWindow after InvalidateRect");
    InvalidateRect(own, 0, TRUE);
    UpdateWindow(own);
    OracleStep("SetFocus own");
    SetFocus(own);
    UpdateWindow(own);
    OracleStep("BM_SETSTATE TRUE");
    SendMessageW(own, BM_SETSTATE, TRUE, 0);
    UpdateWindow(own);
    OracleStep("BM_SETSTATE FALSE");
    SendMessageW(own, BM_SETSTATE, FALSE, 0);
    UpdateWindow(own);
    OracleStep("EnableWindow own FALSE");
    EnableWindow(own, FALSE);
    UpdateWindow(own);
    OracleState();
}

/* ---- edits ---- */

static void ScEditProgram(void) {
    HWND host = OracleHost();
    HWND edit = OracleControl("edit", T("Edit"), ES_AUTOHSCROLL | WS_BORDER, 10, 10, 200, 24, host, 1, T("start"));
    OracleSettle();
    OracleBegin();
    OracleText("edit", edit);
    OracleStep("SetWindowTextW edit hello");
    SetWindowTextW(edit, T("hello"));
    OracleText("edit", edit);
    OracleStep("EM_SETSEL 1,3");
    SendMessageW(edit, EM_SETSEL, 1, 3);
    OracleText("edit", edit);
    OracleStep("EM_REPLACESEL XY undoable");
    SendMessageW(edit, EM_REPLACESEL, TRUE, (LPARAM)T("XY"));
    OracleText("edit", edit);
    OracleStep("EM_UNDO");
    OracleResult((int)SendMessageW(edit, EM_UNDO, 0, 0));
    OracleText("edit", edit);
    OracleStep("EM_SETSEL 0,-1 then WM_CUT");
    SendMessageW(edit, EM_SETSEL, 0, -1);
    SendMessageW(edit, WM_CUT, 0, 0);
    OracleText("edit", edit);
    OracleStep("WM_PASTE twice");
    SendMessageW(edit, WM_PASTE, 0, 0);
    SendMessageW(edit, WM_PASTE, 0, 0);
    OracleText("edit", edit);
    OracleStep("EM_UNDO after paste");
    OracleResult((int)SendMessageW(edit, EM_UNDO, 0, 0));
    OracleText("edit", edit);
    OracleStep("EM_LIMITTEXT 12, WM_PASTE");
    SendMessageW(edit, EM_LIMITTEXT, 12, 0);
    SendMessageW(edit, WM_PASTE, 0, 0);
    OracleText("edit", edit);
    OracleStep("SetWindowTextW edit same text");
    SetWindowTextW(edit, T("hello"));
    SetWindowTextW(edit, T("hello"));
    OracleText("edit", edit);
    OracleStep("WM_CLEAR with no selection");
    SendMessageW(edit, EM_SETSEL, 2, 2);
    SendMessageW(edit, WM_CLEAR, 0, 0);
    OracleText("edit", edit);
}

static void ScEditTyping(void) {
    HWND host = OracleHost();
    HWND edit = OracleControl("edit", T("Edit"), ES_AUTOHSCROLL | WS_BORDER, 10, 10, 200, 24, host, 1, T(""));
    HWND next = OracleControl("next", T("Edit"), ES_AUTOHSCROLL | WS_BORDER, 10, 40, 200, 24, host, 2, T("next"));
    OracleSettle();
    OracleBegin();
    OracleStep("SetFocus edit");
    SetFocus(edit);
    OracleState();
    OracleStep("type abc");
    OracleType("abc");
    OracleDeliver(0);
    OracleText("edit", edit);
    OracleStep("Backspace");
    OracleTap(0, VK_BACK);
    OracleDeliver(0);
    OracleText("edit", edit);
    OracleStep("Shift+Home");
    OracleTap(VK_SHIFT, VK_HOME);
    OracleDeliver(0);
    OracleText("edit", edit);
    OracleStep("Ctrl+C, End, Ctrl+V");
    OracleTap(VK_CONTROL, 'C');
    OracleTap(0, VK_END);
    OracleTap(VK_CONTROL, 'V');
    OracleDeliver(0);
    OracleText("edit", edit);
    OracleStep("Ctrl+Z");
    OracleTap(VK_CONTROL, 'Z');
    OracleDeliver(0);
    OracleText("edit", edit);
    OracleStep("Left, Delete");
    OracleTap(0, VK_LEFT);
    OracleTap(0, VK_DELETE);
    OracleDeliver(0);
    OracleText("edit", edit);
    OracleStep("SetFocus next");
    SetFocus(next);
    OracleText("next", next);
    OracleState();
}

/* ---- list and combo boxes ---- */

static void OracleFill(HWND h, UINT add) {
    SendMessageW(h, add, 0, (LPARAM)T("alpha"));
    SendMessageW(h, add, 0, (LPARAM)T("beta"));
    SendMessageW(h, add, 0, (LPARAM)T("gamma"));
}

static void ScListBox(void) {
    HWND host = OracleHost();
    HWND list = OracleControl("list", T("ListBox"), LBS_NOTIFY | WS_BORDER | WS_VSCROLL, 10, 10, 150, 120, host, 1, T(""));
    OracleFill(list, LB_ADDSTRING);
    OracleSettle();
    OracleBegin();
    OracleStep("LB_SETCURSEL 1");
    OracleResult((int)SendMessageW(list, LB_SETCURSEL, 1, 0));
    OracleStep("click the first item");
    OracleClickAt(list, 20, 4);
    OracleDeliver(0);
    OracleResult((int)SendMessageW(list, LB_GETCURSEL, 0, 0));
    OracleState();
    OracleStep("Down, Down, Down");
    OracleTap(0, VK_DOWN);
    OracleTap(0, VK_DOWN);
    OracleTap(0, VK_DOWN);
    OracleDeliver(0);
    OracleResult((int)SendMessageW(list, LB_GETCURSEL, 0, 0));
    OracleStep("type b");
    OracleType("b");
    OracleDeliver(0);
    OracleResult((int)SendMessageW(list, LB_GETCURSEL, 0, 0));
}

static void ScComboCreate(void) {
    HWND host = OracleHost();
    OracleSettle();
    OracleBegin();
    OracleStep("CreateWindowExW ComboBox simple, drop-down, drop-down list, owner-drawn");
    OracleControl("simple", T("ComboBox"), CBS_SIMPLE, 10, 10, 120, 100, host, 1, T(""));
    OracleControl("down", T("ComboBox"), CBS_DROPDOWN, 150, 10, 120, 100, host, 2, T(""));
    OracleControl("list", T("ComboBox"), CBS_DROPDOWNLIST, 150, 50, 120, 100, host, 3, T(""));
    OracleControl("owner", T("ComboBox"), CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS, 150, 90, 120, 100,
                  host, 4, T(""));
    OracleStep("CB_ADDSTRING owner");
    OracleFill(GetDlgItem(host, 4), CB_ADDSTRING);
    OracleStep("CB_SETCURSEL down 1");
    OracleResult((int)SendMessageW(GetDlgItem(host, 2), CB_SETCURSEL, 1, 0));
}

static void ScComboDropDown(void) {
    HWND host = OracleHost();
    HWND combo = OracleControl("combo", T("ComboBox"), CBS_DROPDOWNLIST | WS_VSCROLL, 10, 10, 150, 120, host, 1, T(""));
    OracleFill(combo, CB_ADDSTRING);
    OracleSettle();
    OracleBegin();
    OracleStep("SetFocus combo");
    SetFocus(combo);
    OracleStep("F4");
    OracleTap(0, VK_F4);
    OracleDeliver(0);
    OracleCombo("combo", combo);
    OracleStep("Down, Enter");
    OracleTap(0, VK_DOWN);
    OracleTap(0, VK_RETURN);
    OracleDeliver(0);
    OracleCombo("combo", combo);
    OracleStep("Alt+Down, Down, Escape");
    OracleTap(VK_MENU, VK_DOWN);
    OracleTap(0, VK_DOWN);
    OracleTap(0, VK_ESCAPE);
    OracleDeliver(0);
    OracleCombo("combo", combo);
    OracleStep("Down (closed)");
    OracleTap(0, VK_DOWN);
    OracleDeliver(0);
    OracleCombo("combo", combo);
    OracleStep("CB_SHOWDROPDOWN TRUE, FALSE");
    SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
    OracleCombo("combo", combo);
    SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
    OracleCombo("combo", combo);
    OracleStep("click the combo, click the first item");
    OracleClickAt(combo, 140, 10);
    OracleDeliver(0);
    OracleCombo("combo", combo);
    {
        COMBOBOXINFO info;
        RECT r;
        memset(&info, 0, sizeof info);
        info.cbSize = sizeof info;
        GetComboBoxInfo(combo, &info);
        GetClientRect(info.hwndList, &r);
        OracleClickAt(info.hwndList, 10, 3);
    }
    OracleDeliver(0);
    OracleCombo("combo", combo);
    OracleStep("click the combo, click outside");
    OracleClickAt(combo, 140, 10);
    OracleDeliver(0);
    OracleClickAt(host, 300, 220);
    OracleDeliver(0);
    OracleCombo("combo", combo);
    OracleState();
}

/* ---- statics and scroll bars ---- */

static void ScStaticNotify(void) {
    HWND host = OracleHost();
    HWND plain = OracleControl("plain", T("Static"), SS_LEFT, 10, 10, 100, 20, host, 1, T("plain"));
    HWND notify = OracleControl("notify", T("Static"), SS_LEFT | SS_NOTIFY, 10, 40, 100, 20, host, 2, T("notify"));
    OracleSettle();
    OracleBegin();
    OracleStep("click plain");
    OracleClickAt(plain, 5, 5);
    OracleDeliver(0);
    OracleStep("click notify");
    OracleClickAt(notify, 5, 5);
    OracleDeliver(0);
    OracleStep("EnableWindow notify FALSE, TRUE");
    EnableWindow(notify, FALSE);
    EnableWindow(notify, TRUE);
    OracleState();
}

static void ScScrollBar(void) {
    HWND host = OracleHost();
    HWND bar = OracleControl("bar", T("ScrollBar"), SBS_HORZ, 10, 10, 200, 17, host, 1, T(""));
    SetScrollRange(bar, SB_CTL, 0, 10, FALSE);
    OracleSettle();
    OracleBegin();
    OracleStep("click the right arrow");
    OracleClickAt(bar, 195, 8);
    OracleDeliver(0);
    OracleResult(GetScrollPos(bar, SB_CTL));
    OracleStep("click the page area");
    OracleClickAt(bar, 150, 8);
    OracleDeliver(0);
    OracleResult(GetScrollPos(bar, SB_CTL));
    OracleStep("SetScrollPos 4");
    OracleResult(SetScrollPos(bar, SB_CTL, 4, TRUE));
    OracleState();
}

/* ---- up-down controls ---- */

static void ScUpDown(void) {
    HWND host, edit, ud;
#ifdef _WIN32
    LoadLibraryW(T("comctl32.dll")); /* the real up-down class lives there, registered as it loads */
#endif
    host = OracleHost();
    edit = OracleControl("edit", T("Edit"), ES_AUTOHSCROLL | WS_BORDER, 10, 10, 80, 22, host, 1, T(""));
    ud = OracleControl("updown", T("msctls_updown32"),
                       UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_AUTOBUDDY | UDS_ARROWKEYS | UDS_NOTHOUSANDS, 0, 0, 16,
                       22, host, 2, T(""));
    OracleSettle();
    OracleBegin();
    OracleRect("edit", edit);
    OracleRect("updown", ud);
    OracleStep("UDM_SETRANGE32 0,10, UDM_SETPOS32 5");
    SendMessageW(ud, UDM_SETRANGE32, 0, 10);
    SendMessageW(ud, UDM_SETPOS32, 0, 5);
    OracleText("edit", edit);
    OracleStep("click the up arrow");
    OracleClickAt(ud, 8, 4);
    OracleDeliver(0);
    OracleText("edit", edit);
    OracleStep("SetFocus edit, Down, Down");
    SetFocus(edit);
    OracleTap(0, VK_DOWN);
    OracleTap(0, VK_DOWN);
    OracleDeliver(0);
    OracleText("edit", edit);
    OracleResult((int)SendMessageW(ud, UDM_GETPOS32, 0, 0));
    OracleStep("UDM_SETPOS32 20 (out of range)");
    SendMessageW(ud, UDM_SETPOS32, 0, 20);
    OracleText("edit", edit);
    OracleResult((int)SendMessageW(ud, UDM_GETPOS32, 0, 0));
}

/* ---- dialogs ---- */

#define ORACLE_TEMPLATE_WORDS 1024
static WORD oracleTemplate[ORACLE_TEMPLATE_WORDS];
static int oracleTemplateLen;

static void OracleWords(const void* p, int bytes) {
    memcpy(oracleTemplate + oracleTemplateLen, p, (size_t)bytes);
    oracleTemplateLen += bytes / 2;
}

static void OracleString(const WCHAR* s) {
    do oracleTemplate[oracleTemplateLen++] = (WORD)*s;
    while (*s++);
}

static void OracleTemplateBegin(DWORD style, short cx, short cy, const WCHAR* title) {
    DLGTEMPLATE t;
    memset(&t, 0, sizeof t);
    t.style = style | DS_SETFONT;
    t.cx = cx;
    t.cy = cy;
    oracleTemplateLen = 0;
    OracleWords(&t, sizeof t);
    oracleTemplate[oracleTemplateLen++] = 0; /* menu */
    oracleTemplate[oracleTemplateLen++] = 0; /* class */
    OracleString(title);
    oracleTemplate[oracleTemplateLen++] = 8;
    OracleString(T("MS Shell Dlg"));
}

static void OracleItem(DWORD style, short x, short y, short cx, short cy, WORD id, WORD atom, const WCHAR* text) {
    DLGITEMTEMPLATE it;
    DLGTEMPLATE* head = (DLGTEMPLATE*)oracleTemplate;
    if (oracleTemplateLen % 2) oracleTemplate[oracleTemplateLen++] = 0;
    memset(&it, 0, sizeof it);
    it.style = style | WS_CHILD | WS_VISIBLE;
    it.x = x;
    it.y = y;
    it.cx = cx;
    it.cy = cy;
    it.id = id;
    OracleWords(&it, sizeof it);
    oracleTemplate[oracleTemplateLen++] = 0xFFFF;
    oracleTemplate[oracleTemplateLen++] = atom;
    OracleString(text);
    oracleTemplate[oracleTemplateLen++] = 0;
    head->cdit++;
}

static INT_PTR CALLBACK OracleDlgProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (oracleLogging) OracleLogMessage(h, msg, wp, lp);
    else OracleWho(h);
    if (msg == WM_INITDIALOG) return TRUE;
    return FALSE;
}

/* Names the dialog's items by id as they are created, before their first message. */
static LRESULT CALLBACK OracleItemHook(int code, WPARAM wp, LPARAM lp) {
    if (code == HCBT_CREATEWND) {
        const CBT_CREATEWNDW* c = (const CBT_CREATEWNDW*)lp;
        int id = (int)(INT_PTR)c->lpcs->hMenu;
        if ((c->lpcs->style & WS_CHILD) && id > 0 && id < oracleItemCount && oracleItemNames[id])
            OracleName((HWND)wp, oracleItemNames[id]);
    }
    return CallNextHookEx(oracleCbt, code, wp, lp);
}

static HWND OracleDialog(const char* const* names, int count) {
    HWND dlg;
    oracleItemNames = names;
    oracleItemCount = count;
    oracleCbt = SetWindowsHookExW(WH_CBT, OracleItemHook, 0, GetCurrentThreadId());
    oraclePending = "dlg";
    dlg = CreateDialogIndirectParamW(GetModuleHandleW(0), (const DLGTEMPLATE*)oracleTemplate, 0, OracleDlgProc, 0);
    oraclePending = 0;
    UnhookWindowsHookEx(oracleCbt);
    oracleCbt = 0;
    if (dlg) OracleName(dlg, "dlg");
    return dlg;
}

static const char* const oracleNavNames[] = {0, "ok", "cancel", "edit", "r1", "r2", "r3", "check", "apply", "label"};

static void OracleNavTemplate(void) {
    OracleTemplateBegin(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE | DS_MODALFRAME, 200, 120, T("Navigate"));
    OracleItem(SS_LEFT, 7, 9, 30, 8, 9, 0x82, T("&Name:"));
    OracleItem(ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 40, 7, 100, 12, 3, 0x81, T(""));
    OracleItem(BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 7, 25, 60, 10, 4, 0x80, T("One"));
    OracleItem(BS_AUTORADIOBUTTON, 7, 37, 60, 10, 5, 0x80, T("Two"));
    OracleItem(BS_AUTORADIOBUTTON, 7, 49, 60, 10, 6, 0x80, T("Three"));
    OracleItem(BS_AUTOCHECKBOX | WS_GROUP | WS_TABSTOP, 80, 25, 60, 10, 7, 0x80, T("Check"));
    OracleItem(BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP, 30, 100, 50, 14, IDOK, 0x80, T("OK"));
    OracleItem(BS_PUSHBUTTON | WS_TABSTOP, 85, 100, 50, 14, IDCANCEL, 0x80, T("Cancel"));
    OracleItem(BS_PUSHBUTTON | WS_TABSTOP, 140, 100, 50, 14, 8, 0x80, T("&Apply"));
}

static void ScDialogCreate(void) {
    HWND dlg;
    OracleNavTemplate();
    OracleBegin();
    OracleStep("CreateDialogIndirectParamW");
    dlg = OracleDialog(oracleNavNames, 10);
    OracleState();
    OracleResult((int)SendMessageW(dlg, DM_GETDEFID, 0, 0));
    OracleCheck("r1", GetDlgItem(dlg, 4));
    DestroyWindow(dlg);
}

static void ScDialogNavigate(void) {
    HWND dlg;
    OracleNavTemplate();
    dlg = OracleDialog(oracleNavNames, 10);
    CheckRadioButton(dlg, 4, 6, 4);
    OracleSettle();
    OracleBegin();
    OracleState();
    OracleStep("Tab");
    OracleTap(0, VK_TAB);
    OracleDeliver(dlg);
    OracleState();
    OracleStep("Down, Down (radio group)");
    OracleTap(0, VK_DOWN);
    OracleTap(0, VK_DOWN);
    OracleDeliver(dlg);
    OracleState();
    OracleCheck("r1", GetDlgItem(dlg, 4));
    OracleCheck("r3", GetDlgItem(dlg, 6));
    OracleStep("Down (wraps in the group)");
    OracleTap(0, VK_DOWN);
    OracleDeliver(dlg);
    OracleState();
    OracleStep("Tab, Tab");
    OracleTap(0, VK_TAB);
    OracleTap(0, VK_TAB);
    OracleDeliver(dlg);
    OracleState();
    OracleStep("Shift+Tab, Shift+Tab");
    OracleTap(VK_SHIFT, VK_TAB);
    OracleTap(VK_SHIFT, VK_TAB);
    OracleDeliver(dlg);
    OracleState();
    OracleStep("Enter");
    OracleTap(0, VK_RETURN);
    OracleDeliver(dlg);
    OracleState();
    OracleStep("Escape");
    OracleTap(0, VK_ESCAPE);
    OracleDeliver(dlg);
    OracleStep("Alt+A");
    OracleTap(VK_MENU, 'A');
    OracleDeliver(dlg);
    OracleState();
    OracleStep("Alt+N (a label's mnemonic)");
    OracleTap(VK_MENU, 'N');
    OracleDeliver(dlg);
    OracleState();
    OracleStep("SetFocus cancel, Enter");
    SetFocus(GetDlgItem(dlg, IDCANCEL));
    OracleDeliver(dlg);
    OracleTap(0, VK_RETURN);
    OracleDeliver(dlg);
    OracleState();
    OracleStep("WM_NEXTDLGCTL ok, Tab, Enter");
    SendMessageW(dlg, WM_NEXTDLGCTL, (WPARAM)GetDlgItem(dlg, IDOK), TRUE);
    OracleTap(0, VK_TAB);
    OracleDeliver(dlg);
    OracleState();
    OracleTap(0, VK_RETURN);
    OracleDeliver(dlg);
    OracleState();
    OracleStep("WM_NEXTDLGCTL 0 0");
    SendMessageW(dlg, WM_NEXTDLGCTL, 0, 0);
    OracleState();
    OracleResult((int)SendMessageW(dlg, DM_GETDEFID, 0, 0));
    DestroyWindow(dlg);
}

/* An edit in a dialog: the Tab the dialog takes unless the edit asks for it, the selection after typing,
 * margins across a font change, and the focus messages as the focus moves out of the edit and back. */
static const char* const oracleEditDlgNames[] = {0, "ok", "cancel", "edit", "other"};
static WNDPROC oracleEditProc;

static LRESULT CALLBACK OracleEditWantsTab(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT r = CallWindowProcW(oracleEditProc, h, msg, wp, lp);
    return msg == WM_GETDLGCODE ? (r | DLGC_WANTTAB) : r;
}

static void ScEditDialog(void) {
    HWND dlg, edit;
    OracleTemplateBegin(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE | DS_MODALFRAME, 200, 80, T("Edit"));
    OracleItem(ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 7, 7, 120, 12, 3, 0x81, T("hello"));
    OracleItem(ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 7, 25, 120, 12, 4, 0x81, T("other"));
    OracleItem(BS_DEFPUSHBUTTON | WS_TABSTOP, 30, 60, 50, 14, IDOK, 0x80, T("OK"));
    OracleItem(BS_PUSHBUTTON | WS_TABSTOP, 85, 60, 50, 14, IDCANCEL, 0x80, T("Cancel"));
    dlg = OracleDialog(oracleEditDlgNames, 5);
    edit = GetDlgItem(dlg, 3);
    OracleSettle();
    OracleBegin();
    OracleState();
    OracleText("edit", edit);
    OracleStep("WM_GETDLGCODE edit");
    OracleResult((int)SendMessageW(edit, WM_GETDLGCODE, 0, 0));
    OracleStep("Tab");
    OracleTap(0, VK_TAB);
    OracleDeliver(dlg);
    OracleState();
    OracleStep("Shift+Tab");
    OracleTap(VK_SHIFT, VK_TAB);
    OracleDeliver(dlg);
    OracleState();
    OracleText("edit", edit);
    OracleStep("the edit wants Tab; Tab");
    oracleEditProc = (WNDPROC)SetWindowLongPtrW(edit, GWLP_WNDPROC, (LONG_PTR)OracleEditWantsTab);
    OracleTap(0, VK_TAB);
    OracleDeliver(dlg);
    OracleState();
    OracleText("edit", edit);
    SetWindowLongPtrW(edit, GWLP_WNDPROC, (LONG_PTR)oracleEditProc);
    OracleStep("EM_SETSEL 1,3; WM_CHAR x");
    SendMessageW(edit, EM_SETSEL, 1, 3);
    OracleText("edit", edit);
    SendMessageW(edit, WM_CHAR, 'x', 1);
    OracleText("edit", edit);
    OracleStep("EM_SETSEL 4,1 (backwards); EM_SETSEL 0,-1; EM_SETSEL -1,0");
    SendMessageW(edit, EM_SETSEL, 4, 1);
    OracleText("edit", edit);
    SendMessageW(edit, EM_SETSEL, 0, -1);
    OracleText("edit", edit);
    SendMessageW(edit, EM_SETSEL, (WPARAM)-1, 0);
    OracleText("edit", edit);
    OracleStep("EM_SETMARGINS 5,7; WM_SETFONT; EM_SETMARGINS 3 left only");
    SendMessageW(edit, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELONG(5, 7));
    OracleResult((int)SendMessageW(edit, EM_GETMARGINS, 0, 0));
    SendMessageW(edit, WM_SETFONT, (WPARAM)GetStockObject(SYSTEM_FONT), TRUE);
    OracleResult(SendMessageW(edit, EM_GETMARGINS, 0, 0) == MAKELONG(5, 7));
    SendMessageW(edit, EM_SETMARGINS, EC_LEFTMARGIN, MAKELONG(3, 0));
    OracleResult(LOWORD(SendMessageW(edit, EM_GETMARGINS, 0, 0)));
    OracleStep("SetFocus other; SetFocus edit");
    SetFocus(GetDlgItem(dlg, 4));
    OracleState();
    SetFocus(edit);
    OracleState();
    OracleText("edit", edit);
    DestroyWindow(dlg);
}

/* ---- message boxes ---- */

static const WCHAR* oracleBoxText;
static UINT oracleBoxType;

static BOOL CALLBACK OracleBoxChild(HWND h, LPARAM lp) {
    WCHAR cls[32], text[256];
    char c[32], t[256];
    RECT r;
    HWND box = (HWND)lp;
    GetClassNameW(h, cls, 32);
    GetWindowTextW(h, text, 256);
    OracleNarrow(cls, c, 32);
    OracleNarrow(text, t, 48);
    GetWindowRect(h, &r);
    MapWindowPoints(0, box, (POINT*)&r, 2);
    OracleAppend("@ %s id=%d text=%s rect=%d,%d,%d,%d\n", c, GetDlgCtrlID(h), t, (int)r.left, (int)r.top, (int)r.right,
                 (int)r.bottom);
    return TRUE;
}

static BOOL CALLBACK OracleFindBox(HWND h, LPARAM lp) {
    WCHAR cls[16];
    GetClassNameW(h, cls, 16);
    if (IsWindowVisible(h) && cls[0] == '#' && cls[1] == '3' && cls[2] == '2' && cls[3] == '7' && cls[4] == '7' &&
        cls[5] == '0' && !cls[6]) {
        *(HWND*)lp = h;
        return FALSE;
    }
    return TRUE;
}

/* Called from the message box's own loop: logs its layout and answers it with its default button. */
static void CALLBACK OracleBoxTimer(HWND h, UINT msg, UINT_PTR id, DWORD time) {
    HWND box = 0;
    RECT r, c;
    (void)h, (void)msg, (void)time;
    KillTimer(0, id);
    EnumThreadWindows(GetCurrentThreadId(), OracleFindBox, (LPARAM)&box);
    if (!box) {
        OracleAppend("@ no box\n");
        return;
    }
    GetWindowRect(box, &r);
    GetClientRect(box, &c);
    OracleAppend("@ box size=%d,%d client=%d,%d focus=%d\n", (int)(r.right - r.left), (int)(r.bottom - r.top),
                 (int)c.right, (int)c.bottom, GetDlgCtrlID(GetFocus()));
    EnumChildWindows(box, OracleBoxChild, (LPARAM)box);
    /* Enter on the focused (default) button, through the box's own dialog loop. */
    PostMessageW(GetFocus(), WM_KEYDOWN, VK_RETURN, 0);
}

static void OracleBox(const WCHAR* text, UINT type) {
    oracleBoxText = text;
    oracleBoxType = type;
    SetTimer(0, 0, 100, OracleBoxTimer);
    OracleResult(MessageBoxW(0, text, T("Oracle"), type));
}

static void ScMessageBoxShort(void) {
    OracleBegin();
    OracleStep("MessageBoxW short MB_OK");
    OracleBox(T("Short text."), MB_OK);
    OracleStep("MessageBoxW short MB_YESNOCANCEL|MB_ICONQUESTION|MB_DEFBUTTON2");
    OracleBox(T("Save the changes?"), MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2);
}

static void ScMessageBoxLong(void) {
    OracleBegin();
    OracleStep("MessageBoxW long MB_OKCANCEL|MB_ICONEXCLAMATION");
    OracleBox(T("This is a long message that goes on and on, well past the width that a message box allows ")
              T("for one line of text, so that it has to wrap onto several lines, and then it goes on a ")
              T("little further still, to make sure that the wrapping is seen more than once or twice in ")
              T("the layout that the box gives to its text and to the buttons under it."),
              MB_OKCANCEL | MB_ICONEXCLAMATION);
}

/* ---- queries the styled controls answer for themselves ---- */

/* BM_GETCHECK after BM_SETCHECK checked and indeterminate, for every value of the button type. */
static void ScButtonGetCheck(void) {
    HWND host = OracleHost();
    HWND b[16];
    int i;
    for (i = 0; i < 16; ++i) b[i] = CreateWindowExW(0, T("Button"), T("b"), WS_CHILD | WS_VISIBLE | (DWORD)i, 4 + 19 * (i % 8),
                                                    4 + 30 * (i / 8), 18, 24, host, (HMENU)(INT_PTR)(i + 1), NULL, NULL);
    OracleSettle();
    OracleBegin();
    for (i = 0; i < 16; ++i) {
        char step[64];
        sprintf(step, "type %d: checked, indeterminate", i);
        OracleStep(step);
        SendMessageW(b[i], BM_SETCHECK, BST_CHECKED, 0);
        OracleResult((int)SendMessageW(b[i], BM_GETCHECK, 0, 0));
        SendMessageW(b[i], BM_SETCHECK, BST_INDETERMINATE, 0);
        OracleResult((int)SendMessageW(b[i], BM_GETCHECK, 0, 0));
    }
}

/* CB_GETDROPPEDSTATE of a drop-down list closed, shown, hidden; and of a simple combo box. */
static void ScComboDroppedState(void) {
    HWND host = OracleHost();
    HWND combo = OracleControl("combo", T("ComboBox"), CBS_DROPDOWNLIST | WS_VSCROLL, 10, 10, 150, 120, host, 1, T(""));
    HWND simple = OracleControl("simple", T("ComboBox"), CBS_SIMPLE, 170, 10, 120, 100, host, 2, T(""));
    OracleFill(combo, CB_ADDSTRING);
    OracleSettle();
    OracleBegin();
    OracleStep("closed");
    OracleResult((int)SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0));
    OracleStep("CB_SHOWDROPDOWN TRUE");
    SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
    OracleResult((int)SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0));
    OracleStep("CB_SHOWDROPDOWN FALSE");
    SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
    OracleResult((int)SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0));
    OracleStep("simple");
    OracleResult((int)SendMessageW(simple, CB_GETDROPPEDSTATE, 0, 0));
}

/* The client rectangle of a bordered window as its scroll bars come and go. */
static void ScNcCalcSizeBars(void) {
    HWND w = OracleCreate("frame", WS_POPUP | WS_BORDER | WS_VISIBLE, 200, 200, 200, 150, 0, 0);
    RECT c;
    OracleSettle();
    OracleBegin();
    OracleStep("both bars");
    SetWindowLongW(w, GWL_STYLE, GetWindowLongW(w, GWL_STYLE) | WS_VSCROLL | WS_HSCROLL);
    SetWindowPos(w, NULL, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    GetClientRect(w, &c);
    OracleResult((int)c.right);
    OracleResult((int)c.bottom);
    OracleStep("vertical bar only");
    SetWindowLongW(w, GWL_STYLE, GetWindowLongW(w, GWL_STYLE) & ~WS_HSCROLL);
    SetWindowPos(w, NULL, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    GetClientRect(w, &c);
    OracleResult((int)c.right);
    OracleResult((int)c.bottom);
}

/* The WM_CTLCOLOR* messages a dialog's children send while each of them repaints alone. Only these
 * are logged, by a hook that sees every message sent, whichever procedure the receiver has:
 *   "% <receiver> <message> from=<child>"
 * A line already logged in the same step is not logged again (painting may ask twice). */
static HHOOK oracleColorHook;
static char oracleColorSeen[32][64];
static int oracleColorCount;

static LRESULT CALLBACK OracleColorHook(int code, WPARAM wp, LPARAM lp) {
    const CWPSTRUCT* c = (const CWPSTRUCT*)lp;
    if (code == HC_ACTION && c->message >= 0x0132 && c->message <= 0x0138) {
        char line[64];
        int i;
        static const char* const names[] = {"MSGBOX", "EDIT", "LISTBOX", "BTN", "DLG", "SCROLLBAR", "STATIC"};
        snprintf(line, sizeof line, "%s WM_CTLCOLOR%s from=%s", OracleWho(c->hwnd), names[c->message - 0x0132],
                 OracleWho((HWND)c->lParam));
        for (i = 0; i < oracleColorCount && strcmp(oracleColorSeen[i], line); ++i) {}
        if (i == oracleColorCount && oracleColorCount < 32) {
            strcpy(oracleColorSeen[oracleColorCount++], line);
            OracleAppend("%% %s\n", line);
        }
    }
    return CallNextHookEx(oracleColorHook, code, wp, lp);
}

static const char* const oracleColorNames[] = {0,         "push",     "check",    "radio", "three",    "group",
                                               "edit",    "readonly", "disabled", "memo",  "list",     "dropdown",
                                               "droplist", "simple",  "label",    "bar",   "offbutton", "offcombo"};

static void ScCtlColor(void) {
    HWND dlg;
    int id;
    OracleTemplateBegin(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE | DS_MODALFRAME, 260, 180, T("Colours"));
    OracleItem(BS_PUSHBUTTON | WS_TABSTOP, 7, 7, 50, 14, 1, 0x80, T("Push"));
    OracleItem(BS_AUTOCHECKBOX | WS_TABSTOP, 7, 25, 60, 10, 2, 0x80, T("Check"));
    OracleItem(BS_AUTORADIOBUTTON | WS_TABSTOP, 7, 37, 60, 10, 3, 0x80, T("Radio"));
    OracleItem(BS_AUTO3STATE | WS_TABSTOP, 7, 49, 60, 10, 4, 0x80, T("Three"));
    OracleItem(BS_GROUPBOX, 7, 62, 70, 40, 5, 0x80, T("Group"));
    OracleItem(ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 85, 7, 80, 12, 6, 0x81, T("edit"));
    OracleItem(ES_AUTOHSCROLL | ES_READONLY | WS_BORDER, 85, 23, 80, 12, 7, 0x81, T("read"));
    OracleItem(ES_AUTOHSCROLL | WS_BORDER | WS_DISABLED, 85, 39, 80, 12, 8, 0x81, T("off"));
    OracleItem(ES_MULTILINE | WS_VSCROLL | WS_BORDER, 85, 55, 80, 30, 9, 0x81, T("memo"));
    OracleItem(LBS_NOTIFY | WS_VSCROLL | WS_BORDER, 175, 7, 70, 40, 10, 0x83, T(""));
    OracleItem(CBS_DROPDOWN | WS_VSCROLL, 175, 55, 70, 60, 11, 0x85, T(""));
    OracleItem(CBS_DROPDOWNLIST | WS_VSCROLL, 175, 75, 70, 60, 12, 0x85, T(""));
    OracleItem(CBS_SIMPLE, 85, 95, 70, 40, 13, 0x85, T(""));
    OracleItem(SS_LEFT, 7, 110, 60, 8, 14, 0x82, T("Label"));
    OracleItem(SBS_HORZ, 7, 140, 120, 10, 15, 0x84, T(""));
    OracleItem(BS_PUSHBUTTON | WS_DISABLED, 175, 140, 50, 14, 16, 0x80, T("Off"));
    OracleItem(CBS_DROPDOWNLIST | WS_VSCROLL | WS_DISABLED, 175, 160, 70, 60, 17, 0x85, T(""));
    dlg = OracleDialog(oracleColorNames, 18);
    OracleFill(GetDlgItem(dlg, 10), LB_ADDSTRING);
    OracleFill(GetDlgItem(dlg, 11), CB_ADDSTRING);
    OracleFill(GetDlgItem(dlg, 12), CB_ADDSTRING);
    OracleFill(GetDlgItem(dlg, 13), CB_ADDSTRING);
    SendMessageW(GetDlgItem(dlg, 12), CB_SETCURSEL, 1, 0);
    /* As the desktop's dialog manager tells a new dialog whether to show its focus and accelerator cues
     * (Wine leaves it out); the styling takes over a dialog's children when the dialog hears of them. */
    SendMessageW(dlg, WM_CHANGEUISTATE, MAKEWPARAM(UIS_INITIALIZE, UISF_HIDEFOCUS | UISF_HIDEACCEL), 0);
    OracleName(FindWindowExW(GetDlgItem(dlg, 11), 0, T("Edit"), 0), "dropdown.edit");
    OracleName(FindWindowExW(GetDlgItem(dlg, 13), 0, T("Edit"), 0), "simple.edit");
    OracleName(FindWindowExW(GetDlgItem(dlg, 13), 0, T("ComboLBox"), 0), "simple.list");
    OracleSettle();
    oracleColorHook = SetWindowsHookExW(WH_CALLWNDPROC, OracleColorHook, 0, GetCurrentThreadId());
    for (id = 1; id < 18; ++id) {
        OracleStep("%s", oracleColorNames[id]);
        oracleColorCount = 0;
        RedrawWindow(GetDlgItem(dlg, id), NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    }
    OracleStep("dlg");
    oracleColorCount = 0;
    RedrawWindow(dlg, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_NOCHILDREN);
    UnhookWindowsHookEx(oracleColorHook);
    oracleColorHook = 0;
    DestroyWindow(dlg);
}

static const struct OracleScenario oracleControlScenarios[] = {
    {"button_create", ScButtonCreate}, {"button_click", ScButtonClick}, {"button_ownerdraw", ScButtonOwnerDraw},
    {"edit_program", ScEditProgram},   {"edit_typing", ScEditTyping},   {"listbox", ScListBox},
    {"combo_create", ScComboCreate},   {"combo_dropdown", ScComboDropDown}, {"static_notify", ScStaticNotify},
    {"scrollbar", ScScrollBar},        {"updown", ScUpDown},
    {"dialog_create", ScDialogCreate}, {"dialog_navigate", ScDialogNavigate}, {"edit_dialog", ScEditDialog},
    {"messagebox_short", ScMessageBoxShort}, {"messagebox_long", ScMessageBoxLong},
    {"button_getcheck", ScButtonGetCheck}, {"combo_droppedstate", ScComboDroppedState},
    {"nccalcsize_bars", ScNcCalcSizeBars}, {"ctlcolor", ScCtlColor},
};
