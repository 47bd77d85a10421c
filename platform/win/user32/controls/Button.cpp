// "Button": push and default push buttons, check boxes (two- and three-state, automatic or not), radio
// buttons, group boxes and owner-drawn buttons, in the classic look.
#include "win/user32/controls/Controls.h"

#include <algorithm>
#include <string>

namespace twuser::controls {

namespace {

struct ButtonState {
    UINT check = BST_UNCHECKED;
    bool pushed = false;
    bool focused = false;
    bool tracking = false;  // the left button (or space) went down on us and is not up yet
    bool spaceDown = false;
    bool dontClick = false;
    HFONT font = nullptr;
    HANDLE image = nullptr;
    BUTTON_IMAGELIST imageList{};
    RECT textMargin{1, 1, 1, 1};
    std::u16string note;
};

UINT TypeOf(HWND hwnd) { return UINT(GetWindowLongW(hwnd, GWL_STYLE)) & BS_TYPEMASK; }

bool IsPush(UINT type) {
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || type == BS_USERBUTTON || type == BS_PUSHBOX;
}
bool IsCheck(UINT type) {
    return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE || type == BS_AUTO3STATE;
}
bool IsRadio(UINT type) { return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON; }

void Redraw(HWND hwnd) { InvalidateRect(hwnd, nullptr, FALSE); }

void SetCheck(HWND hwnd, ButtonState* s, UINT check) {
    const UINT type = TypeOf(hwnd);
    if (!IsCheck(type) && !IsRadio(type)) return;
    if (check == BST_INDETERMINATE && type != BS_3STATE && type != BS_AUTO3STATE) check = BST_CHECKED;
    if (check > BST_INDETERMINATE) check = BST_CHECKED;
    // A radio button is reached by Tab only while it is the checked one of its group.
    if (IsRadio(type)) {
        const LONG style = GetWindowLongW(hwnd, GWL_STYLE);
        const LONG want = check ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP);
        if (want != style) SetWindowLongW(hwnd, GWL_STYLE, want);
    }
    if (s->check != check) {
        s->check = check;
        Redraw(hwnd);
    }
}

// The auto radio buttons of hwnd's group, itself excluded, are unchecked.
void UncheckGroup(HWND hwnd) {
    const HWND parent = GetParent(hwnd);
    if (!parent) return;
    // Bounded by the number of siblings, so that no grouping of styles can make it go round for ever.
    int siblings = 0;
    for (HWND c = GetWindow(hwnd, GW_HWNDFIRST); c; c = GetWindow(c, GW_HWNDNEXT)) ++siblings;
    HWND c = hwnd;
    for (int i = 0; i < siblings && (c = GetNextDlgGroupItem(parent, c, FALSE)) && c != hwnd; ++i) {
        if ((SendMessageW(c, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) &&
            (GetWindowLongW(c, GWL_STYLE) & BS_TYPEMASK) == BS_AUTORADIOBUTTON)
            SendMessageW(c, BM_SETCHECK, BST_UNCHECKED, 0);
    }
}

// A completed click: the automatic kinds change their state before the parent hears of it.
void Clicked(HWND hwnd, ButtonState* s) {
    switch (TypeOf(hwnd)) {
    case BS_AUTOCHECKBOX: SetCheck(hwnd, s, s->check ? BST_UNCHECKED : BST_CHECKED); break;
    case BS_AUTO3STATE: SetCheck(hwnd, s, (s->check + 1) % 3); break;
    case BS_AUTORADIOBUTTON:
        SetCheck(hwnd, s, BST_CHECKED);
        UncheckGroup(hwnd);
        break;
    default: break;
    }
    NotifyParent(hwnd, BN_CLICKED);
}

void DrawOwnerNow(HWND hwnd, ButtonState* s, UINT action);

// `notify`: the user pressed or released it (BM_SETSTATE tells the parent nothing).
void SetPushed(HWND hwnd, ButtonState* s, bool pushed, bool notify = true) {
    if (s->pushed == pushed) return;
    s->pushed = pushed;
    if (notify && (TypeOf(hwnd) == BS_OWNERDRAW || (GetWindowLongW(hwnd, GWL_STYLE) & BS_NOTIFY)))
        NotifyParent(hwnd, pushed ? BN_HILITE : BN_UNHILITE);
    // The parent of an owner-drawn button draws the change of state at once.
    if (TypeOf(hwnd) == BS_OWNERDRAW) DrawOwnerNow(hwnd, s, ODA_SELECT);
    else Redraw(hwnd);
}

UINT TextFormat(HWND hwnd, bool push) {
    const LONG style = GetWindowLongW(hwnd, GWL_STYLE);
    UINT f = (style & BS_MULTILINE) ? DT_WORDBREAK : DT_SINGLELINE;
    switch (style & BS_CENTER) {
    case BS_LEFT: f |= DT_LEFT; break;
    case BS_RIGHT: f |= DT_RIGHT; break;
    case BS_CENTER: f |= DT_CENTER; break;
    default: f |= push ? DT_CENTER : DT_LEFT; break;
    }
    if (!(style & BS_MULTILINE)) {
        switch (style & BS_VCENTER) {
        case BS_TOP: f |= DT_TOP; break;
        case BS_BOTTOM: f |= DT_BOTTOM; break;
        default: f |= DT_VCENTER; break;
        }
    }
    if (SendMessageW(hwnd, WM_QUERYUISTATE, 0, 0) & UISF_HIDEACCEL) f |= DT_HIDEPREFIX;
    return f;
}

bool ShowFocus(HWND hwnd, const ButtonState* s) {
    return s->focused && !(SendMessageW(hwnd, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS);
}

// Text (or the image that replaces it) inside r; returns the rectangle the text took.
RECT DrawLabel(HWND hwnd, HDC hdc, const ButtonState* s, RECT r, UINT format) {
    const LONG style = GetWindowLongW(hwnd, GWL_STYLE);
    if ((style & (BS_ICON | BS_BITMAP)) && s->image) {
        int w = 0, h = 0;
        if (style & BS_ICON) {
            w = GetSystemMetrics(SM_CXICON);
            h = GetSystemMetrics(SM_CYICON);
        } else {
            BITMAP bm{};
            GetObjectW(s->image, sizeof bm, &bm);
            w = bm.bmWidth, h = bm.bmHeight;
        }
        const int x = r.left + (r.right - r.left - w) / 2, y = r.top + (r.bottom - r.top - h) / 2;
        if (style & BS_ICON) {
            DrawIconEx(hdc, x, y, reinterpret_cast<HICON>(s->image), w, h, 0, nullptr, DI_NORMAL);
        } else {
            HDC mem = CreateCompatibleDC(hdc);
            HGDIOBJ old = SelectObject(mem, s->image);
            BitBlt(hdc, x, y, w, h, mem, 0, 0, SRCCOPY);
            SelectObject(mem, old);
            DeleteDC(mem);
        }
        return RECT{x, y, x + w, y + h};
    }
    const std::u16string text = TextOf(hwnd);
    RECT calc = r;
    DrawTextW(hdc, text.c_str(), int(text.size()), &calc, format | DT_CALCRECT);
    // DT_CALCRECT keeps the left/top edge: place the measured box as the alignment asks.
    const int tw = calc.right - calc.left, th = calc.bottom - calc.top;
    RECT box = r;
    if (format & DT_CENTER) box.left = r.left + (r.right - r.left - tw) / 2;
    else if (format & DT_RIGHT) box.left = r.right - tw;
    box.right = box.left + tw;
    if (format & DT_VCENTER) box.top = r.top + (r.bottom - r.top - th) / 2;
    else if (format & DT_BOTTOM) box.top = r.bottom - th;
    box.bottom = box.top + th;
    SetBkMode(hdc, TRANSPARENT);
    if (!IsWindowEnabled(hwnd)) SetTextColor(hdc, GetSysColor(COLOR_GRAYTEXT));
    DrawTextW(hdc, text.c_str(), int(text.size()), &r, format);
    return box;
}

void PaintPush(HWND hwnd, HDC hdc, ButtonState* s, RECT rc) {
    const UINT type = TypeOf(hwnd);
    HBRUSH bg = ControlColor(hwnd, hdc, WM_CTLCOLORBTN);
    FillRect(hdc, &rc, bg);
    const int themeState = !IsWindowEnabled(hwnd) ? PBS_DISABLED
                           : s->pushed            ? PBS_PRESSED
                           : type == BS_DEFPUSHBUTTON ? PBS_DEFAULTED
                                                      : PBS_NORMAL;
    if (ThemedPart(hwnd, hdc, u"Button", BP_PUSHBUTTON, themeState, rc)) {
        InflateRect(&rc, -1, -1);  // the label and focus keep their classic places
    } else {
        // A default button (or the focused push button in a dialog) has a dark outer frame.
        if (type == BS_DEFPUSHBUTTON) {
            FrameRect(hdc, &rc, GetSysColorBrush(COLOR_WINDOWFRAME));
            InflateRect(&rc, -1, -1);
        }
        RECT face = rc;
        UINT state = DFCS_BUTTONPUSH | (s->pushed ? DFCS_PUSHED : 0) | (IsWindowEnabled(hwnd) ? 0 : DFCS_INACTIVE);
        if (s->check && (GetWindowLongW(hwnd, GWL_STYLE) & BS_PUSHLIKE)) state |= DFCS_CHECKED;
        DrawFrameControl(hdc, &face, DFC_BUTTON, state);
    }
    RECT text = rc;
    InflateRect(&text, -4, -4);
    if (s->pushed) OffsetRect(&text, 1, 1);
    SetTextColor(hdc, GetSysColor(COLOR_BTNTEXT));
    DrawLabel(hwnd, hdc, s, text, TextFormat(hwnd, true));
    if (ShowFocus(hwnd, s)) {
        RECT f = rc;
        InflateRect(&f, -3, -3);
        DrawFocusRect(hdc, &f);
    }
}

void PaintCheck(HWND hwnd, HDC hdc, ButtonState* s, RECT rc) {
    const UINT type = TypeOf(hwnd);
    const LONG style = GetWindowLongW(hwnd, GWL_STYLE);
    HBRUSH bg = ControlColor(hwnd, hdc, WM_CTLCOLORSTATIC);
    FillRect(hdc, &rc, bg);
    constexpr int box = 13;
    const bool leftText = style & BS_LEFTTEXT;
    RECT mark;
    mark.top = rc.top + (rc.bottom - rc.top - box) / 2;
    mark.bottom = mark.top + box;
    mark.left = leftText ? rc.right - box : rc.left;
    mark.right = mark.left + box;
    UINT state = IsRadio(type) ? DFCS_BUTTONRADIO : (s->check == BST_INDETERMINATE ? DFCS_BUTTON3STATE : DFCS_BUTTONCHECK);
    if (s->check) state |= DFCS_CHECKED;
    if (s->pushed) state |= DFCS_PUSHED;
    if (!IsWindowEnabled(hwnd)) state |= DFCS_INACTIVE;
    // Each check state has four looks in a theme: normal, hot, pressed, disabled.
    const int base = IsRadio(type) ? (s->check ? RBS_CHECKEDNORMAL : RBS_UNCHECKEDNORMAL)
                     : s->check == BST_INDETERMINATE ? CBS_MIXEDNORMAL
                     : s->check                      ? CBS_CHECKEDNORMAL
                                                     : CBS_UNCHECKEDNORMAL;
    const int look = !IsWindowEnabled(hwnd) ? 3 : s->pushed ? 2 : 0;
    if (!ThemedPart(hwnd, hdc, u"Button", IsRadio(type) ? BP_RADIOBUTTON : BP_CHECKBOX, base + look, mark))
        DrawFrameControl(hdc, &mark, DFC_BUTTON, state);
    RECT text = rc;
    if (leftText) text.right = mark.left - 4;
    else text.left = mark.right + 4;
    const RECT took = DrawLabel(hwnd, hdc, s, text, TextFormat(hwnd, false));
    if (ShowFocus(hwnd, s) && !TextOf(hwnd).empty()) {
        RECT f = took;
        InflateRect(&f, 1, 1);
        IntersectRect(&f, &f, &rc);
        DrawFocusRect(hdc, &f);
    }
}

void PaintGroup(HWND hwnd, HDC hdc, ButtonState* s, RECT rc) {
    HBRUSH bg = ControlColor(hwnd, hdc, WM_CTLCOLORSTATIC);
    FillRect(hdc, &rc, bg);
    TEXTMETRICW tm{};
    GetTextMetricsW(hdc, &tm);
    RECT frame = rc;
    frame.top += tm.tmHeight / 2;
    if (!ThemedPart(hwnd, hdc, u"Button", BP_GROUPBOX, IsWindowEnabled(hwnd) ? GBS_NORMAL : GBS_DISABLED, frame))
        DrawEdge(hdc, &frame, EDGE_ETCHED, BF_RECT);
    const std::u16string text = TextOf(hwnd);
    if (text.empty()) return;
    RECT t{rc.left + 8, rc.top, rc.right - 8, rc.top + tm.tmHeight};
    RECT calc = t;
    DrawTextW(hdc, text.c_str(), int(text.size()), &calc, DT_SINGLELINE | DT_CALCRECT);
    calc.right = std::min(calc.right + 2, t.right);
    calc.left = t.left - 2 < rc.left ? rc.left : t.left - 2;
    FillRect(hdc, &calc, bg);
    DrawLabel(hwnd, hdc, s, t, DT_SINGLELINE | DT_LEFT | DT_TOP);
}

void PaintOwnerDrawn(HWND hwnd, HDC hdc, ButtonState* s, RECT rc, UINT action = ODA_DRAWENTIRE) {
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_BUTTON;
    dis.CtlID = UINT(GetDlgCtrlID(hwnd));
    dis.itemAction = action;
    dis.itemState = DrawItemState(hwnd) | (s->pushed ? ODS_SELECTED : 0) | (s->focused ? ODS_FOCUS : 0);
    dis.hwndItem = hwnd;
    dis.hDC = hdc;
    dis.rcItem = rc;
    // The parent gets its colours asked first, as it does for a push button.
    ControlColor(hwnd, hdc, WM_CTLCOLORBTN);
    SendMessageW(GetParent(hwnd), WM_DRAWITEM, WPARAM(dis.CtlID), reinterpret_cast<LPARAM>(&dis));
}

void Paint(HWND hwnd, HDC hdc) {
    auto* s = StateOf<ButtonState>(hwnd);
    if (!s) return;
    RECT rc;
    GetClientRect(hwnd, &rc);
    const int saved = SaveDC(hdc);
    SelectObject(hdc, s->font ? s->font : DefaultGuiFont());
    const UINT type = TypeOf(hwnd);
    const bool pushLike = (GetWindowLongW(hwnd, GWL_STYLE) & BS_PUSHLIKE) && (IsCheck(type) || IsRadio(type));
    if (type == BS_OWNERDRAW) PaintOwnerDrawn(hwnd, hdc, s, rc);
    else if (type == BS_GROUPBOX) PaintGroup(hwnd, hdc, s, rc);
    else if (IsPush(type) || pushLike) {
        const bool was = s->pushed;
        if (pushLike && s->check) s->pushed = true;
        PaintPush(hwnd, hdc, s, rc);
        s->pushed = was;
    } else PaintCheck(hwnd, hdc, s, rc);
    RestoreDC(hdc, saved);
}

void PaintNow(HWND hwnd) { PaintOrPrint(hwnd, 0, Paint); }

// Asks the parent of an owner-drawn button to draw one change (focus, pushed) now, outside WM_PAINT.
void DrawOwnerNow(HWND hwnd, ButtonState* s, UINT action) {
    if (!IsWindowVisible(hwnd)) return;
    HDC hdc = GetDC(hwnd);
    if (!hdc) return;
    const int saved = SaveDC(hdc);
    SelectObject(hdc, s->font ? s->font : DefaultGuiFont());
    RECT rc;
    GetClientRect(hwnd, &rc);
    PaintOwnerDrawn(hwnd, hdc, s, rc, action);
    RestoreDC(hdc, saved);
    ReleaseDC(hwnd, hdc);
}

LRESULT DialogCode(HWND hwnd) {
    switch (TypeOf(hwnd)) {
    case BS_DEFPUSHBUTTON: return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
    case BS_PUSHBUTTON:
    case BS_USERBUTTON:
    case BS_PUSHBOX:
    case BS_OWNERDRAW: return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON: return DLGC_BUTTON | DLGC_RADIOBUTTON;
    case BS_GROUPBOX: return DLGC_STATIC;
    default: return DLGC_BUTTON;
    }
}

} // namespace

LRESULT CALLBACK ButtonProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* s = StateOf<ButtonState>(hwnd);
    if (!s && msg != WM_NCCREATE) return DefWindowProcW(hwnd, msg, wp, lp);
    switch (msg) {
    case WM_NCCREATE:
        AttachState<ButtonState>(hwnd);
        return DefWindowProcW(hwnd, msg, wp, lp);
    case WM_NCDESTROY:
        FreeState<ButtonState>(hwnd);
        return DefWindowProcW(hwnd, msg, wp, lp);
    case WM_GETDLGCODE: return DialogCode(hwnd);
    case WM_ERASEBKGND: return 1;
    case WM_PAINT:
    case WM_PRINTCLIENT: PaintOrPrint(hwnd, msg == WM_PRINTCLIENT ? wp : 0, Paint); return 0;
    case WM_SETFONT:
        s->font = reinterpret_cast<HFONT>(wp);
        if (LOWORD(lp)) Redraw(hwnd);
        return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(s->font);
    case WM_SETTEXT: {
        const LRESULT r = DefWindowProcW(hwnd, msg, wp, lp);
        Redraw(hwnd);
        return r;
    }
    case WM_ENABLE:
        // The new look is drawn at once, whatever else is pending.
        DefWindowProcW(hwnd, msg, wp, lp);
        if (IsWindowVisible(hwnd)) {
            if (TypeOf(hwnd) == BS_OWNERDRAW) DrawOwnerNow(hwnd, s, ODA_DRAWENTIRE);
            else if (HDC hdc = GetDC(hwnd)) {
                Paint(hwnd, hdc);
                ReleaseDC(hwnd, hdc);
            }
        }
        return 0;
    case WM_UPDATEUISTATE: {
        const LRESULT r = DefWindowProcW(hwnd, msg, wp, lp);
        Redraw(hwnd);
        return r;
    }
    case WM_SETFOCUS:
        s->focused = true;
        if (TypeOf(hwnd) == BS_OWNERDRAW) DrawOwnerNow(hwnd, s, ODA_FOCUS);
        else Redraw(hwnd);
        if (GetWindowLongW(hwnd, GWL_STYLE) & BS_NOTIFY) NotifyParent(hwnd, BN_SETFOCUS);
        // Reaching an unchecked auto radio button from the keyboard checks it.
        if (TypeOf(hwnd) == BS_AUTORADIOBUTTON && !s->check && !s->tracking && GetKeyState(VK_LBUTTON) >= 0 &&
            !s->dontClick)
            Clicked(hwnd, s);
        return 0;
    case WM_KILLFOCUS:
        s->focused = false;
        if (s->tracking || s->spaceDown) {
            s->tracking = s->spaceDown = false;
            if (GetCapture() == hwnd) ReleaseCapture();
            SetPushed(hwnd, s, false);
        }
        if (TypeOf(hwnd) == BS_OWNERDRAW) DrawOwnerNow(hwnd, s, ODA_FOCUS);
        Redraw(hwnd);
        if (GetWindowLongW(hwnd, GWL_STYLE) & BS_NOTIFY) NotifyParent(hwnd, BN_KILLFOCUS);
        return 0;
    case WM_LBUTTONDBLCLK: {
        const UINT type = TypeOf(hwnd);
        if (IsRadio(type) || type == BS_OWNERDRAW || (GetWindowLongW(hwnd, GWL_STYLE) & BS_NOTIFY)) {
            NotifyParent(hwnd, BN_DOUBLECLICKED);
            return 0;
        }
        [[fallthrough]];
    }
    case WM_LBUTTONDOWN:
        if (TypeOf(hwnd) == BS_GROUPBOX) return 0;
        SetCapture(hwnd);
        s->tracking = true;
        if (GetFocus() != hwnd) SetFocus(hwnd);
        if (!(s = StateOf<ButtonState>(hwnd))) return 0;
        SetPushed(hwnd, s, true);
        return 0;
    case WM_MOUSEMOVE:
        if (s->tracking && GetCapture() == hwnd) {
            RECT rc;
            GetClientRect(hwnd, &rc);
            SetPushed(hwnd, s, PtInRect(&rc, POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}));
        }
        return 0;
    case WM_LBUTTONUP: {
        if (!s->tracking) return 0;
        s->tracking = false;
        RECT rc;
        GetClientRect(hwnd, &rc);
        const bool inside = PtInRect(&rc, POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
        SetPushed(hwnd, s, false);
        if (GetCapture() == hwnd) ReleaseCapture();
        if (inside && (s = StateOf<ButtonState>(hwnd))) Clicked(hwnd, s);
        return 0;
    }
    case WM_CAPTURECHANGED:
        if (s->tracking && reinterpret_cast<HWND>(lp) != hwnd) {
            s->tracking = false;
            SetPushed(hwnd, s, false);
        }
        return 0;
    case WM_KEYDOWN:
        if (wp == VK_SPACE && !(lp & 0x40000000) && TypeOf(hwnd) != BS_GROUPBOX) {
            s->spaceDown = true;
            SetPushed(hwnd, s, true);
            return 0;
        }
        return DefWindowProcW(hwnd, msg, wp, lp);
    case WM_KEYUP:
        if (wp == VK_SPACE && s->spaceDown) {
            s->spaceDown = false;
            SetPushed(hwnd, s, false);
            Clicked(hwnd, s);
            return 0;
        }
        return DefWindowProcW(hwnd, msg, wp, lp);
    case WM_CHAR:
        // + and - set and clear a check box, as its keyboard shortcuts.
        if (IsCheck(TypeOf(hwnd)) && (wp == u'+' || wp == u'=' || wp == u'-')) {
            const UINT want = wp == u'-' ? BST_UNCHECKED : BST_CHECKED;
            if (s->check != want) {
                const UINT type = TypeOf(hwnd);
                if (type == BS_AUTOCHECKBOX || type == BS_AUTO3STATE) SetCheck(hwnd, s, want);
                NotifyParent(hwnd, BN_CLICKED);
            }
            return 0;
        }
        return DefWindowProcW(hwnd, msg, wp, lp);
    case BM_GETCHECK: return s->check;
    case BM_SETCHECK: SetCheck(hwnd, s, UINT(wp)); return 0;
    case BM_GETSTATE:
        return s->check | (s->pushed ? BST_PUSHED : 0) | (s->focused ? BST_FOCUS : 0);
    case BM_SETSTATE: SetPushed(hwnd, s, wp != 0, false); return 0;
    case BM_SETSTYLE: {
        const LONG style = GetWindowLongW(hwnd, GWL_STYLE);
        SetWindowLongW(hwnd, GWL_STYLE, (style & ~LONG(BS_TYPEMASK)) | LONG(wp & BS_TYPEMASK));
        if (LOWORD(lp)) PaintNow(hwnd);
        return 0;
    }
    case BM_CLICK:
        if (!IsWindowEnabled(hwnd) || s->dontClick) return 0;
        SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, 0);
        SendMessageW(hwnd, WM_LBUTTONUP, 0, 0);
        return 0;
    case BM_SETDONTCLICK: s->dontClick = wp != 0; return 0;
    case BM_GETIMAGE: return reinterpret_cast<LRESULT>(s->image);
    case BM_SETIMAGE: {
        HANDLE old = s->image;
        s->image = reinterpret_cast<HANDLE>(lp);
        Redraw(hwnd);
        return reinterpret_cast<LRESULT>(old);
    }
    case BCM_SETIMAGELIST:
        if (!lp) return FALSE;
        s->imageList = *reinterpret_cast<const BUTTON_IMAGELIST*>(lp);
        Redraw(hwnd);
        return TRUE;
    case BCM_GETIMAGELIST:
        if (!lp) return FALSE;
        *reinterpret_cast<BUTTON_IMAGELIST*>(lp) = s->imageList;
        return TRUE;
    case BCM_SETTEXTMARGIN:
        if (!lp) return FALSE;
        s->textMargin = *reinterpret_cast<const RECT*>(lp);
        return TRUE;
    case BCM_GETTEXTMARGIN:
        if (!lp) return FALSE;
        *reinterpret_cast<RECT*>(lp) = s->textMargin;
        return TRUE;
    case BCM_SETNOTE:
        s->note = lp ? std::u16string(reinterpret_cast<LPCWSTR>(lp)) : std::u16string();
        return TRUE;
    case BCM_GETNOTE: {
        auto* size = reinterpret_cast<DWORD*>(wp);
        if (!size || !lp) return FALSE;
        if (*size <= s->note.size()) {
            *size = DWORD(s->note.size() + 1);
            return FALSE;
        }
        CopyText(s->note, *size, lp);
        return TRUE;
    }
    case BCM_GETNOTELENGTH: return LRESULT(s->note.size());
    case BCM_GETIDEALSIZE: {
        auto* size = reinterpret_cast<SIZE*>(lp);
        if (!size) return FALSE;
        HDC hdc = GetDC(hwnd);
        HGDIOBJ old = SelectObject(hdc, s->font ? s->font : DefaultGuiFont());
        const std::u16string text = TextOf(hwnd);
        RECT r{0, 0, 0, 0};
        DrawTextW(hdc, text.c_str(), int(text.size()), &r, DT_SINGLELINE | DT_CALCRECT);
        SelectObject(hdc, old);
        ReleaseDC(hwnd, hdc);
        const UINT type = TypeOf(hwnd);
        const int extra = IsPush(type) || type == BS_OWNERDRAW ? 16 : 13 + 4 + 2;
        size->cx = r.right - r.left + extra + s->textMargin.left + s->textMargin.right;
        size->cy = std::max<int>(r.bottom - r.top + (IsPush(type) ? 10 : 2), IsPush(type) ? 0 : 13);
        return TRUE;
    }
    default: return DefWindowProcW(hwnd, msg, wp, lp);
    }
}

} // namespace twuser::controls
