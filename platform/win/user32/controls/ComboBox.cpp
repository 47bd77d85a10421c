// "ComboBox": simple, drop-down and drop-down-list combo boxes over a "ComboLBox" list (a child for the
// simple kind, a pop-up window that closes on every path for the others) and an "Edit" for the editable
// kinds; owner-drawn items of fixed or variable height.
#include "win/user32/controls/Controls.h"
#include "win/user32/controls/ListBox.h"

#include <algorithm>
#include <string>

namespace twuser::controls {

namespace {

constexpr int EditId = 1001;
constexpr int ListId = 1000;

struct ComboState {
    HWND edit = nullptr;
    HWND list = nullptr;
    HFONT font = nullptr;
    int fieldHeight = 16;   // the selection field's item height
    int droppedHeight = 0;  // the whole height with the list open (the height the control was given)
    int droppedWidth = 0;
    bool dropped = false;
    bool focused = false;
    bool beenFocused = false;  // the edit's text was selected when the box first took the focus
    bool buttonDown = false;  // the button is drawn pushed
    int selAtDrop = -1;       // the selection when the list opened, or last chosen by key (restored on cancel)
    bool extendedUi = false;
    bool syncing = false;  // the edit is being given the selected item's text: not the user's editing
};

LONG StyleOf(HWND h) { return GetWindowLongW(h, GWL_STYLE); }
UINT Kind(HWND h) { return UINT(StyleOf(h)) & 3; }
bool OwnerDrawn(HWND h) { return StyleOf(h) & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE); }
int ButtonWidth() { return GetSystemMetrics(SM_CXVSCROLL); }

int ClosedHeight(const ComboState* s) { return s->fieldHeight + 6; }

// A drop-down combo box takes the height of its selection field.
void FitClosedHeight(HWND hwnd, const ComboState* s) {
    if (Kind(hwnd) == CBS_SIMPLE) return;
    RECT wr;
    GetWindowRect(hwnd, &wr);
    SetWindowPos(hwnd, nullptr, 0, 0, wr.right - wr.left, ClosedHeight(s), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT List(ComboState* s, UINT msg, WPARAM wp = 0, LPARAM lp = 0) { return SendMessageW(s->list, msg, wp, lp); }
int CurSel(ComboState* s) { return int(List(s, LB_GETCURSEL)); }

std::u16string ItemText(ComboState* s, int i) {
    const LRESULT n = List(s, LB_GETTEXTLEN, WPARAM(i));
    if (n == LB_ERR || n < 0) return {};
    std::u16string t(size_t(n) + 1, u'\0');
    List(s, LB_GETTEXT, WPARAM(i), reinterpret_cast<LPARAM>(t.data()));
    t.resize(size_t(n));
    return t;
}

RECT ButtonRect(HWND hwnd) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    InflateRect(&rc, -2, -2);
    rc.left = rc.right - ButtonWidth();
    return rc;
}

RECT FieldRect(HWND hwnd, const ComboState* s) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    InflateRect(&rc, -2, -2);
    if (Kind(hwnd) != CBS_SIMPLE) rc.right -= ButtonWidth();
    else rc.bottom = rc.top + s->fieldHeight + 2;
    return rc;
}

// The edit shows the selected item's text, selected whole only while the box has the focus: the edit
// keeps showing a selection without it, so a box changed by the program while unfocused shows none.
void SyncEdit(HWND, ComboState* s) {
    if (!s->edit) return;
    const int i = CurSel(s);
    const std::u16string t = i >= 0 ? ItemText(s, i) : std::u16string();
    s->syncing = true;
    SetWindowTextW(s->edit, t.c_str());
    s->syncing = false;
    if (s->focused) SendMessageW(s->edit, EM_SETSEL, 0, -1);
}

void Notify(HWND hwnd, WORD code) { NotifyParent(hwnd, code); }

void Layout(HWND hwnd, ComboState* s) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    if (s->edit) {
        const RECT f = FieldRect(hwnd, s);
        MoveWindow(s->edit, f.left + 1, f.top + 1, f.right - f.left - 2, f.bottom - f.top - 2, TRUE);
    }
    if (Kind(hwnd) == CBS_SIMPLE) {
        const int top = s->fieldHeight + 6;
        MoveWindow(s->list, 0, top, rc.right, std::max<int>(0, rc.bottom - top), TRUE);
    }
}

void CloseUp(HWND hwnd, ComboState* s, bool accept) {
    if (!s->dropped) return;
    s->dropped = false;
    s->buttonDown = false;
    if (!accept) List(s, LB_SETCURSEL, WPARAM(s->selAtDrop));
    Notify(hwnd, accept ? CBN_SELENDOK : CBN_SELENDCANCEL);
    if (!IsWindow(hwnd)) return;
    if (GetCapture() == s->list) ReleaseCapture();
    ShowWindow(s->list, SW_HIDE);
    // The field is drawn again before the parent hears the list is closed.
    InvalidateRect(hwnd, nullptr, TRUE);
    UpdateWindow(hwnd);
    if (!IsWindow(hwnd)) return;
    Notify(hwnd, CBN_CLOSEUP);
    if (!IsWindow(hwnd)) return;
    if (accept && CurSel(s) != s->selAtDrop) {
        SyncEdit(hwnd, s);
        Notify(hwnd, CBN_SELCHANGE);
    }
}

// A drop-down asked for by a program (CB_SHOWDROPDOWN) leaves the focus where it is, as the real
// platform does; one by the user takes it.
void DropDown(HWND hwnd, ComboState* s, bool takeFocus = true) {
    if (s->dropped || Kind(hwnd) == CBS_SIMPLE || !IsWindowEnabled(hwnd)) return;
    Notify(hwnd, CBN_DROPDOWN);
    if (!IsWindow(hwnd) || !(s = StateOf<ComboState>(hwnd))) return;
    if (takeFocus && GetFocus() != hwnd && GetFocus() != s->edit) SetFocus(s->edit ? s->edit : hwnd);
    s->dropped = true;
    s->buttonDown = true;
    s->selAtDrop = CurSel(s);
    RECT wr;
    GetWindowRect(hwnd, &wr);
    const int width = std::max<int>(s->droppedWidth, wr.right - wr.left);
    const int items = int(List(s, TW_LBM_TOTALHEIGHT));
    const int itemH = int(List(s, LB_GETITEMHEIGHT, 0));
    const int room = std::max(s->droppedHeight - (wr.bottom - wr.top), itemH);
    const int height = std::max(std::min(items, (StyleOf(hwnd) & CBS_NOINTEGRALHEIGHT) ? room : room - room % std::max(1, itemH)), itemH) + 2;
    // Below the combo box, or above it when the screen ends first.
    int y = wr.bottom;
    if (y + height > GetSystemMetrics(SM_CYSCREEN) && wr.top - height >= 0) y = wr.top - height;
    SetWindowPos(s->list, HWND_TOPMOST, wr.left, y, width, height, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    if (s->selAtDrop >= 0) List(s, LB_SETTOPINDEX, WPARAM(s->selAtDrop));
    SetCapture(s->list);
    // The field is drawn again at once, without its focus look, before the list paints.
    InvalidateRect(hwnd, nullptr, TRUE);
    UpdateWindow(hwnd);
}

// Mouse messages of the dropped list (it holds the capture): hover highlights, a release on an item
// chooses it, a press outside cancels.
LRESULT ListMouse(HWND hwnd, ComboState* s, UINT msg, LPARAM lp) {
    if (msg == WM_CAPTURECHANGED) {
        CloseUp(hwnd, s, false);
        return 0;
    }
    const POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    RECT rc;
    GetClientRect(s->list, &rc);
    const bool inside = PtInRect(&rc, pt);
    const int item = inside ? int(List(s, TW_LBM_ITEMAT, 0, lp)) : -1;
    switch (msg) {
    case WM_MOUSEMOVE:
        if (item >= 0) List(s, TW_LBM_HOTITEM, WPARAM(item));
        return 0;
    case WM_LBUTTONDOWN:
        if (!inside) {
            // The press that closes the list is not passed on (a second press on the button closes it).
            CloseUp(hwnd, s, false);
        }
        return 0;
    case WM_LBUTTONUP:
        if (item >= 0) {
            List(s, TW_LBM_HOTITEM, WPARAM(item));
            CloseUp(hwnd, s, true);
        } else if (s->buttonDown) {
            s->buttonDown = false;
            InvalidateRect(hwnd, nullptr, FALSE);
        }
        return 0;
    default: return 0;
    }
}

// A choice by key or wheel: the parent hears of it at once, whether the list is open or not (a closed
// list first ends the selection with CBN_SELENDOK, as when it closes).
void SelectAndTell(HWND hwnd, ComboState* s, int i) {
    const int count = int(List(s, LB_GETCOUNT));
    if (count == 0) return;
    i = std::clamp(i, 0, count - 1);
    if (i == CurSel(s)) return;
    List(s, LB_SETCURSEL, WPARAM(i));
    if (s->dropped) s->selAtDrop = i;  // kept when the list is cancelled
    else {
        Notify(hwnd, CBN_SELENDOK);
        if (!IsWindow(hwnd) || !(s = StateOf<ComboState>(hwnd))) return;
    }
    SyncEdit(hwnd, s);
    InvalidateRect(hwnd, nullptr, TRUE);
    Notify(hwnd, CBN_SELCHANGE);
}

bool KeyDown(HWND hwnd, ComboState* s, WPARAM vk) {
    const bool alt = GetKeyState(VK_MENU) < 0;
    if (vk == VK_F4 || (alt && (vk == VK_DOWN || vk == VK_UP))) {
        if (s->dropped) CloseUp(hwnd, s, true);
        else DropDown(hwnd, s);
        return true;
    }
    if (s->dropped) {
        if (vk == VK_ESCAPE) {
            CloseUp(hwnd, s, false);
            return true;
        }
        if (vk == VK_RETURN) {
            CloseUp(hwnd, s, true);
            return true;
        }
    }
    const int cur = CurSel(s);
    int to = cur;
    switch (vk) {
    case VK_UP: to = cur - 1; break;
    case VK_DOWN: to = cur + 1; break;
    case VK_PRIOR: to = cur - 8; break;
    case VK_NEXT: to = cur + 8; break;
    case VK_HOME:
        if (s->edit) return false;
        to = 0;
        break;
    case VK_END:
        if (s->edit) return false;
        to = int(List(s, LB_GETCOUNT)) - 1;
        break;
    default: return false;
    }
    SelectAndTell(hwnd, s, to < 0 ? 0 : to);
    return true;
}

void Paint(HWND hwnd, HDC hdc) {
    auto* s = StateOf<ComboState>(hwnd);
    if (!s) return;
    const int saved = SaveDC(hdc);
    SelectObject(hdc, s->font ? s->font : DefaultGuiFont());
    RECT rc;
    GetClientRect(hwnd, &rc);
    const bool simple = Kind(hwnd) == CBS_SIMPLE;
    RECT frame = rc;
    if (simple) frame.bottom = frame.top + s->fieldHeight + 6;
    HBRUSH bg = ControlColor(hwnd, hdc, IsWindowEnabled(hwnd) ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC);
    FillRect(hdc, &frame, bg);
    DrawEdge(hdc, &frame, EDGE_SUNKEN, BF_RECT);
    if (!simple) {
        RECT b = ButtonRect(hwnd);
        const int state = !IsWindowEnabled(hwnd) ? CBXS_DISABLED : s->buttonDown ? CBXS_PRESSED : CBXS_NORMAL;
        if (!ThemedPart(hwnd, hdc, u"ComboBox", CP_DROPDOWNBUTTON, state, b))
            DrawFrameControl(hdc, &b, DFC_SCROLL,
                             DFCS_SCROLLCOMBOBOX | (s->buttonDown ? DFCS_PUSHED | DFCS_FLAT : 0) |
                                 (IsWindowEnabled(hwnd) ? 0 : DFCS_INACTIVE));
    }
    if (Kind(hwnd) == CBS_DROPDOWNLIST) {
        RECT f = FieldRect(hwnd, s);
        InflateRect(&f, -1, -1);
        const int i = CurSel(s);
        const bool highlight = s->focused && !s->dropped;
        if (OwnerDrawn(hwnd)) {
            DRAWITEMSTRUCT d{};
            d.CtlType = ODT_COMBOBOX;
            d.CtlID = UINT(GetDlgCtrlID(hwnd));
            d.itemID = UINT(i);
            d.itemAction = ODA_DRAWENTIRE;
            d.itemState = ODS_COMBOBOXEDIT | (highlight ? ODS_SELECTED | ODS_FOCUS : 0) |
                          (IsWindowEnabled(hwnd) ? 0 : ODS_DISABLED);
            d.hwndItem = hwnd;
            d.hDC = hdc;
            d.rcItem = f;
            d.itemData = i >= 0 ? ULONG_PTR(List(s, LB_GETITEMDATA, WPARAM(i))) : 0;
            SendMessageW(GetParent(hwnd), WM_DRAWITEM, d.CtlID, reinterpret_cast<LPARAM>(&d));
        } else {
            if (highlight) {
                FillRect(hdc, &f, GetSysColorBrush(COLOR_HIGHLIGHT));
                SetTextColor(hdc, GetSysColor(COLOR_HIGHLIGHTTEXT));
            } else if (!IsWindowEnabled(hwnd)) {
                SetTextColor(hdc, GetSysColor(COLOR_GRAYTEXT));
            }
            SetBkMode(hdc, TRANSPARENT);
            const std::u16string t = i >= 0 ? ItemText(s, i) : std::u16string();
            RECT tr = f;
            tr.left += 2;
            DrawTextW(hdc, t.c_str(), int(t.size()), &tr, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
            if (highlight && !(SendMessageW(hwnd, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS)) DrawFocusRect(hdc, &f);
        }
    }
    RestoreDC(hdc, saved);
}

// The edit of a combo box passes the keys that open, close and step the list to the combo box.
LRESULT CALLBACK ComboEditProc(HWND edit, UINT msg, WPARAM wp, LPARAM lp) {
    const HWND combo = GetParent(edit);
    auto* s = StateOf<ComboState>(combo);
    if (s && (msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN)) {
        const bool alt = GetKeyState(VK_MENU) < 0;
        const bool forward = wp == VK_F4 || wp == VK_UP || wp == VK_DOWN || wp == VK_PRIOR || wp == VK_NEXT ||
                             (s->dropped && (wp == VK_ESCAPE || wp == VK_RETURN)) || (alt && wp == VK_DOWN);
        if (forward && KeyDown(combo, s, wp)) return 0;
    }
    if (s && msg == WM_GETDLGCODE) {
        LRESULT code = EditProc(edit, msg, wp, lp);
        if (const auto* m = reinterpret_cast<const MSG*>(lp);
            s->dropped && m && m->message == WM_KEYDOWN && (m->wParam == VK_RETURN || m->wParam == VK_ESCAPE))
            code |= DLGC_WANTMESSAGE;
        return code;
    }
    return EditProc(edit, msg, wp, lp);
}

void Create(HWND hwnd, ComboState* s, const CREATESTRUCTW* cs) {
    s->fieldHeight = FontHeight(hwnd, nullptr);
    const LONG style = StyleOf(hwnd);
    if (style & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)) {
        // The selection field's height is asked with item -1.
        MEASUREITEMSTRUCT m{};
        m.CtlType = ODT_COMBOBOX;
        m.CtlID = UINT(GetDlgCtrlID(hwnd));
        m.itemID = UINT(-1);
        m.itemHeight = UINT(s->fieldHeight);
        SendMessageW(GetParent(hwnd), WM_MEASUREITEM, m.CtlID, reinterpret_cast<LPARAM>(&m));
        s->fieldHeight = int(m.itemHeight);
    }
    s->droppedHeight = cs->cy;
    DWORD listStyle = LBS_COMBOBOX | LBS_NOTIFY | WS_VSCROLL | LBS_NOINTEGRALHEIGHT;
    if (style & CBS_SORT) listStyle |= LBS_SORT;
    if (style & CBS_HASSTRINGS) listStyle |= LBS_HASSTRINGS;
    if (style & CBS_OWNERDRAWFIXED) listStyle |= LBS_OWNERDRAWFIXED;
    if (style & CBS_OWNERDRAWVARIABLE) listStyle |= LBS_OWNERDRAWVARIABLE;
    if (style & CBS_DISABLENOSCROLL) listStyle |= LBS_DISABLENOSCROLL;
    if (Kind(hwnd) == CBS_SIMPLE) {
        s->list = CreateWindowExW(WS_EX_CLIENTEDGE | WS_EX_NOPARENTNOTIFY, u"ComboLBox", u"", listStyle | WS_CHILD | WS_VISIBLE, 0, 0, 0, 0,
                                  hwnd, reinterpret_cast<HMENU>(INT_PTR(ListId)), nullptr, hwnd);
    } else {
        s->list = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, u"ComboLBox", u"", listStyle | WS_POPUP | WS_BORDER,
                                  0, 0, 0, 0, hwnd, nullptr, nullptr, hwnd);
    }
    if (Kind(hwnd) != CBS_DROPDOWNLIST) {
        DWORD es = WS_CHILD | WS_VISIBLE | ES_NOHIDESEL | ES_LEFT;
        if (style & CBS_AUTOHSCROLL) es |= ES_AUTOHSCROLL;
        if (style & CBS_UPPERCASE) es |= ES_UPPERCASE;
        if (style & CBS_LOWERCASE) es |= ES_LOWERCASE;
        s->edit = CreateWindowExW(WS_EX_NOPARENTNOTIFY, u"Edit", cs->lpszName && !IS_INTRESOURCE(cs->lpszName) ? cs->lpszName : u"", es, 0, 0,
                                  0, 0, hwnd, reinterpret_cast<HMENU>(INT_PTR(EditId)), nullptr, nullptr);
        SetWindowLongPtrW(s->edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ComboEditProc));
    }
}

} // namespace

LRESULT CALLBACK ComboBoxProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* s = StateOf<ComboState>(hwnd);
    if (!s && msg != WM_NCCREATE) return DefWindowProcW(hwnd, msg, wp, lp);
    // The edit and the list are coloured by the box's parent, as the box itself is.
    if (msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC && GetParent(hwnd))
        return SendMessageW(GetParent(hwnd), msg, wp, lp);
    switch (msg) {
    case WM_NCCREATE: {
        AttachState<ComboState>(hwnd);
        // Scroll-bar styles are meant for the list: the combo box itself has none.
        const LONG style = StyleOf(hwnd);
        if (style & (WS_VSCROLL | WS_HSCROLL)) SetWindowLongW(hwnd, GWL_STYLE, style & ~(WS_VSCROLL | WS_HSCROLL));
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
    case WM_CREATE:
        Create(hwnd, s, reinterpret_cast<const CREATESTRUCTW*>(lp));
        if (Kind(hwnd) != CBS_SIMPLE)
            SetWindowPos(hwnd, nullptr, 0, 0, reinterpret_cast<const CREATESTRUCTW*>(lp)->cx, ClosedHeight(s),
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        Layout(hwnd, s);
        return 0;
    case WM_DESTROY:
        if (s->dropped && GetCapture() == s->list) ReleaseCapture();
        if (s->list && !(GetWindowLongW(s->list, GWL_STYLE) & WS_CHILD)) DestroyWindow(s->list);
        return 0;
    case WM_NCDESTROY:
        FreeState<ComboState>(hwnd);
        return DefWindowProcW(hwnd, msg, wp, lp);
    case WM_WINDOWPOSCHANGING: {
        // A drop-down combo keeps its closed height; a height it is given is the height with the list open.
        auto* pos = reinterpret_cast<WINDOWPOS*>(lp);
        if (Kind(hwnd) != CBS_SIMPLE && !(pos->flags & SWP_NOSIZE) && pos->cy != ClosedHeight(s)) {
            s->droppedHeight = pos->cy;
            pos->cy = ClosedHeight(s);
        }
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
    case WM_SIZE: Layout(hwnd, s); return 0;
    case WM_GETDLGCODE: {
        LRESULT code = DLGC_WANTCHARS | DLGC_WANTARROWS;
        // While the list is open, Enter and Escape close it instead of the dialog.
        if (const auto* m = reinterpret_cast<const MSG*>(lp);
            s->dropped && m && m->message == WM_KEYDOWN && (m->wParam == VK_RETURN || m->wParam == VK_ESCAPE))
            code |= DLGC_WANTMESSAGE;
        return code;
    }
    case WM_ERASEBKGND: return 1;
    case WM_PAINT:
    case WM_PRINTCLIENT: PaintOrPrint(hwnd, msg == WM_PRINTCLIENT ? wp : 0, Paint); return 0;
    case WM_SETFONT:
        s->font = reinterpret_cast<HFONT>(wp);
        if (s->edit) SendMessageW(s->edit, WM_SETFONT, wp, lp);
        SendMessageW(s->list, WM_SETFONT, wp, lp);
        if (!OwnerDrawn(hwnd)) {
            s->fieldHeight = FontHeight(hwnd, s->font);
            FitClosedHeight(hwnd, s);
        }
        Layout(hwnd, s);
        if (LOWORD(lp)) InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(s->font);
    case WM_SETTEXT:
        if (s->edit) return SendMessageW(s->edit, WM_SETTEXT, wp, lp);
        {
            // A drop-down list shows only its items: the text selects the item it names.
            const LRESULT i = List(s, LB_FINDSTRINGEXACT, WPARAM(-1), lp);
            if (i == LB_ERR) return CB_ERR;
            List(s, LB_SETCURSEL, WPARAM(i));
            InvalidateRect(hwnd, nullptr, TRUE);
            return TRUE;
        }
    case WM_GETTEXT:
        if (s->edit) return SendMessageW(s->edit, WM_GETTEXT, wp, lp);
        return CopyText(CurSel(s) >= 0 ? ItemText(s, CurSel(s)) : std::u16string(), wp, lp);
    case WM_GETTEXTLENGTH:
        if (s->edit) return SendMessageW(s->edit, WM_GETTEXTLENGTH, 0, 0);
        return CurSel(s) >= 0 ? LRESULT(ItemText(s, CurSel(s)).size()) : 0;
    case WM_ENABLE:
        if (s->edit) EnableWindow(s->edit, BOOL(wp));
        EnableWindow(s->list, BOOL(wp));
        if (!wp) CloseUp(hwnd, s, false);
        InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case WM_SHOWWINDOW:
        if (!wp) CloseUp(hwnd, s, false);
        return DefWindowProcW(hwnd, msg, wp, lp);
    case WM_CANCELMODE: CloseUp(hwnd, s, false); return 0;
    case WM_SETFOCUS:
        if (s->edit) {
            SetFocus(s->edit);
            if (!s->beenFocused) {
                s->beenFocused = true;
                SendMessageW(s->edit, EM_SETSEL, 0, -1);
            }
            return 0;
        }
        if (!s->focused) {
            s->focused = true;
            InvalidateRect(hwnd, nullptr, TRUE);
            Notify(hwnd, CBN_SETFOCUS);
        }
        return 0;
    case WM_KILLFOCUS: {
        const HWND to = reinterpret_cast<HWND>(wp);
        if (to == s->edit || to == s->list) return 0;
        CloseUp(hwnd, s, false);
        if (s->focused) {
            s->focused = false;
            InvalidateRect(hwnd, nullptr, TRUE);
            Notify(hwnd, CBN_KILLFOCUS);
        }
        return 0;
    }
    case WM_COMMAND: {
        const HWND from = reinterpret_cast<HWND>(lp);
        if (from != s->edit) return 0;
        switch (HIWORD(wp)) {
        case EN_SETFOCUS:
            if (!s->focused) {
                s->focused = true;
                Notify(hwnd, CBN_SETFOCUS);
            }
            break;
        case EN_KILLFOCUS: {
            const HWND to = GetFocus();
            if (to == hwnd || to == s->list) break;
            CloseUp(hwnd, s, false);
            if (s->focused) {
                s->focused = false;
                Notify(hwnd, CBN_KILLFOCUS);
            }
            break;
        }
        case EN_UPDATE:
            if (!s->syncing) Notify(hwnd, CBN_EDITUPDATE);
            break;
        case EN_CHANGE: {
            if (s->syncing) break;
            // Typing in an open list highlights the first item the text begins.
            if (s->dropped) {
                WCHAR buf[256];
                GetWindowTextW(s->edit, buf, 256);
                const LRESULT i = List(s, LB_FINDSTRING, WPARAM(-1), reinterpret_cast<LPARAM>(buf));
                if (i != LB_ERR) List(s, TW_LBM_HOTITEM, WPARAM(i));
            }
            Notify(hwnd, CBN_EDITCHANGE);
            break;
        }
        default: break;
        }
        return 0;
    }
    case TW_CBLM_LISTNOTIFY:
        if (Kind(hwnd) == CBS_SIMPLE && wp == LBN_SELCHANGE) {
            SyncEdit(hwnd, s);
            Notify(hwnd, CBN_SELCHANGE);
        } else if (wp == LBN_DBLCLK) {
            Notify(hwnd, CBN_DBLCLK);
        }
        return 0;
    case TW_CBLM_LISTMOUSE: return ListMouse(hwnd, s, UINT(wp), lp);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        const POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        const RECT b = ButtonRect(hwnd);
        if (Kind(hwnd) == CBS_DROPDOWNLIST || (Kind(hwnd) == CBS_DROPDOWN && PtInRect(&b, pt))) {
            if (GetFocus() != hwnd && !s->edit) SetFocus(hwnd);
            if (!(s = StateOf<ComboState>(hwnd))) return 0;
            if (s->dropped) CloseUp(hwnd, s, true);
            else DropDown(hwnd, s);
        } else if (s->edit) {
            SetFocus(s->edit);
        }
        return 0;
    }
    case WM_MOUSEWHEEL:
        if (!s->dropped) SelectAndTell(hwnd, s, CurSel(s) + (GET_WHEEL_DELTA_WPARAM(wp) > 0 ? -1 : 1));
        return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (KeyDown(hwnd, s, wp)) return 0;
        return DefWindowProcW(hwnd, msg, wp, lp);
    case WM_CHAR:
        if (!s->edit && wp > 0x20) {
            // Type-ahead on the list, as a list box does.
            const WCHAR what[2] = {WCHAR(wp), 0};
            const LRESULT i = List(s, LB_FINDSTRING, WPARAM(CurSel(s)), reinterpret_cast<LPARAM>(what));
            if (i != LB_ERR) {
                if (s->dropped) List(s, TW_LBM_HOTITEM, WPARAM(i));
                else SelectAndTell(hwnd, s, int(i));
            }
        }
        return 0;
    case CB_ADDSTRING: {
        const LRESULT r = List(s, LB_ADDSTRING, 0, lp);
        return r;
    }
    case CB_INSERTSTRING: return List(s, LB_INSERTSTRING, wp, lp);
    case CB_DELETESTRING: {
        const LRESULT r = List(s, LB_DELETESTRING, wp, 0);
        InvalidateRect(hwnd, nullptr, TRUE);
        return r;
    }
    case CB_RESETCONTENT:
        List(s, LB_RESETCONTENT);
        if (s->edit) SetWindowTextW(s->edit, u"");
        InvalidateRect(hwnd, nullptr, TRUE);
        return CB_OKAY;
    case CB_INITSTORAGE: return List(s, LB_INITSTORAGE, wp, lp);
    case CB_GETCOUNT: return List(s, LB_GETCOUNT);
    case CB_GETCURSEL: return List(s, LB_GETCURSEL);
    case CB_SETCURSEL: {
        const LRESULT r = List(s, LB_SETCURSEL, wp);
        if (INT_PTR(wp) < 0) List(s, LB_SETCURSEL, WPARAM(-1));
        SyncEdit(hwnd, s);
        InvalidateRect(hwnd, nullptr, TRUE);
        return r;
    }
    case CB_GETLBTEXT: return List(s, LB_GETTEXT, wp, lp);
    case CB_GETLBTEXTLEN: return List(s, LB_GETTEXTLEN, wp);
    case CB_GETITEMDATA: return List(s, LB_GETITEMDATA, wp);
    case CB_SETITEMDATA: return List(s, LB_SETITEMDATA, wp, lp);
    case CB_FINDSTRING: return List(s, LB_FINDSTRING, wp, lp);
    case CB_FINDSTRINGEXACT: return List(s, LB_FINDSTRINGEXACT, wp, lp);
    case CB_SELECTSTRING: {
        const LRESULT i = List(s, LB_FINDSTRING, wp, lp);
        if (i != LB_ERR) {
            List(s, LB_SETCURSEL, WPARAM(i));
            SyncEdit(hwnd, s);
            InvalidateRect(hwnd, nullptr, TRUE);
        }
        return i;
    }
    case CB_GETTOPINDEX: return List(s, LB_GETTOPINDEX);
    case CB_SETTOPINDEX: return List(s, LB_SETTOPINDEX, wp) == LB_ERR ? CB_ERR : 0;
    case CB_SHOWDROPDOWN:
        if (wp) DropDown(hwnd, s, false);
        else CloseUp(hwnd, s, false);
        return TRUE;
    case CB_GETDROPPEDSTATE: return s->dropped;
    case CB_SETDROPPEDWIDTH: s->droppedWidth = int(wp); [[fallthrough]];  // answers the width in effect
    case CB_GETDROPPEDWIDTH: {
        RECT wr;
        GetWindowRect(hwnd, &wr);
        return std::max<LRESULT>(s->droppedWidth, wr.right - wr.left);
    }
    case CB_GETDROPPEDCONTROLRECT: {
        if (!lp) return CB_ERR;
        RECT wr;
        GetWindowRect(hwnd, &wr);
        wr.right = wr.left + std::max<LONG>(s->droppedWidth, wr.right - wr.left);
        wr.bottom = wr.top + std::max(s->droppedHeight, ClosedHeight(s));
        *reinterpret_cast<RECT*>(lp) = wr;
        return TRUE;
    }
    case CB_SETITEMHEIGHT: {
        const int h = int(LOWORD(lp));
        if (h <= 0 || h > 255) return CB_ERR;
        if (INT_PTR(wp) == -1) {
            s->fieldHeight = h;
            FitClosedHeight(hwnd, s);
            Layout(hwnd, s);
            InvalidateRect(hwnd, nullptr, TRUE);
            return 0;
        }
        return List(s, LB_SETITEMHEIGHT, wp, lp) == LB_ERR ? CB_ERR : 0;
    }
    case CB_GETITEMHEIGHT:
        if (INT_PTR(wp) == -1) return s->fieldHeight;
        return List(s, LB_GETITEMHEIGHT, wp);
    case CB_SETEDITSEL:
        if (!s->edit) return CB_ERR;
        SendMessageW(s->edit, EM_SETSEL, WPARAM(SHORT(LOWORD(lp))), LPARAM(SHORT(HIWORD(lp))));
        return TRUE;
    case CB_GETEDITSEL:
        if (!s->edit) return CB_ERR;
        return SendMessageW(s->edit, EM_GETSEL, wp, lp);
    case CB_LIMITTEXT:
        if (!s->edit) return CB_ERR;
        SendMessageW(s->edit, EM_LIMITTEXT, wp, 0);
        return TRUE;
    case CB_SETEXTENDEDUI: s->extendedUi = wp != 0; return CB_OKAY;
    case CB_GETEXTENDEDUI: return s->extendedUi;
    case CB_GETCOMBOBOXINFO: {
        auto* info = reinterpret_cast<COMBOBOXINFO*>(lp);
        if (!info) return FALSE;
        info->rcItem = FieldRect(hwnd, s);
        info->rcButton = Kind(hwnd) == CBS_SIMPLE ? RECT{0, 0, 0, 0} : ButtonRect(hwnd);
        info->stateButton = Kind(hwnd) == CBS_SIMPLE ? STATE_SYSTEM_INVISIBLE : (s->buttonDown ? STATE_SYSTEM_PRESSED : 0);
        info->hwndCombo = hwnd;
        info->hwndItem = s->edit ? s->edit : hwnd;
        info->hwndList = s->list;
        return TRUE;
    }
    default: return DefWindowProcW(hwnd, msg, wp, lp);
    }
}

} // namespace twuser::controls

extern "C" BOOL WINAPI GetComboBoxInfo(HWND combo, PCOMBOBOXINFO info) {
    if (!info || info->cbSize != sizeof(COMBOBOXINFO)) return FALSE;
    return BOOL(SendMessageW(combo, CB_GETCOMBOBOXINFO, 0, reinterpret_cast<LPARAM>(info)));
}
