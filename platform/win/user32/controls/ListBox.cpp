// "ListBox" and "ComboLBox" (the drop-down list of a combo box): items with text and data, single,
// multiple and extended selection, sorting, owner-drawn items of fixed or variable height, scrolling and
// type-ahead.
#include "win/user32/controls/Controls.h"
#include "win/user32/controls/ListBox.h"

#include <QString>

#include <algorithm>
#include <string>
#include <vector>

namespace twuser::controls {

namespace {

struct Item {
    std::u16string text;
    ULONG_PTR data = 0;
    bool selected = false;
    int height = 0;  // owner-drawn variable lists
};

struct ListState {
    std::vector<Item> items;
    int cur = -1;     // the selection of a single-selection list
    int caret = 0;    // the item with the focus rectangle
    int anchor = -1;  // extended selection's fixed end
    int top = 0;
    int itemHeight = 16;
    int hExtent = 0;
    HFONT font = nullptr;
    bool focused = false;
    bool tracking = false;
    HWND combo = nullptr;  // a ComboLBox's combo box
    bool vscroll = false;  // made with WS_VSCROLL: the bar comes back when the items outgrow the list
    std::u16string typed;  // type-ahead
    DWORD typedAt = 0;
};

LONG StyleOf(HWND h) { return GetWindowLongW(h, GWL_STYLE); }
bool OwnerDraw(HWND h) { return StyleOf(h) & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE); }
bool HasStrings(HWND h) { return !OwnerDraw(h) || (StyleOf(h) & LBS_HASSTRINGS); }
bool MultiSel(HWND h) { return StyleOf(h) & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL); }
int Count(const ListState* s) { return int(s->items.size()); }
// A combo box's list that drops down (a pop-up): the combo box handles its mouse.
bool DropList(HWND hwnd, const ListState* s) { return s->combo && !(StyleOf(hwnd) & WS_CHILD); }

// Who hears of the list: the combo box's parent for a drop-down list, the parent otherwise.
HWND Owner(HWND hwnd, const ListState* s) { return s->combo ? GetParent(s->combo) : GetParent(hwnd); }
UINT CtlId(HWND hwnd, const ListState* s) { return UINT(GetDlgCtrlID(s->combo ? s->combo : hwnd)); }

void Notify(HWND hwnd, ListState* s, WORD code) {
    if (s->combo) {
        SendMessageW(s->combo, TW_CBLM_LISTNOTIFY, code, 0);
        return;
    }
    if (StyleOf(hwnd) & LBS_NOTIFY) NotifyParent(hwnd, code);
}

int ItemHeightOf(const ListState* s, HWND hwnd, int i) {
    if ((StyleOf(hwnd) & LBS_OWNERDRAWVARIABLE) && i >= 0 && i < Count(s)) return s->items[size_t(i)].height;
    return s->itemHeight;
}

int ClientHeight(HWND hwnd) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    return rc.bottom;
}

int FullyVisibleCount(HWND hwnd, const ListState* s) {
    int h = ClientHeight(hwnd), n = 0;
    for (int i = s->top; i < Count(s); ++i) {
        h -= ItemHeightOf(s, hwnd, i);
        if (h < 0) break;
        ++n;
    }
    return std::max(1, n);
}

bool ItemRect(HWND hwnd, const ListState* s, int i, RECT& r) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    int y = 0;
    if (i >= s->top) {
        for (int k = s->top; k < i; ++k) y += ItemHeightOf(s, hwnd, k);
    } else {
        for (int k = i; k < s->top; ++k) y -= ItemHeightOf(s, hwnd, k);
    }
    r = RECT{0, y, std::max<LONG>(rc.right, s->hExtent), y + ItemHeightOf(s, hwnd, i)};
    return i >= 0 && i < Count(s);
}

int ItemAt(HWND hwnd, const ListState* s, POINT pt) {
    int y = 0;
    for (int i = s->top; i < Count(s); ++i) {
        const int h = ItemHeightOf(s, hwnd, i);
        if (pt.y >= y && pt.y < y + h) return i;
        y += h;
    }
    return -1;
}

void UpdateScroll(HWND hwnd, ListState* s) {
    // An empty range hides the bar (its style bit goes); it must come back when items are added.
    if (!s->vscroll) return;
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | ((StyleOf(hwnd) & LBS_DISABLENOSCROLL) ? SIF_DISABLENOSCROLL : 0);
    si.nMin = 0;
    si.nMax = std::max(0, Count(s) - 1);
    si.nPage = UINT(FullyVisibleCount(hwnd, s));
    si.nPos = s->top;
    SetScrollInfo(hwnd, SB_VERT, &si, TRUE);
}

void Redraw(HWND hwnd, ListState* s) {
    if (StyleOf(hwnd) & LBS_NOREDRAW) return;
    UpdateScroll(hwnd, s);
    InvalidateRect(hwnd, nullptr, TRUE);
}

void SetTop(HWND hwnd, ListState* s, int top) {
    // The last top that still fills the list: the items from it to the end fit in the client area.
    int maxTop = Count(s), room = ClientHeight(hwnd);
    while (maxTop > 0 && room - ItemHeightOf(s, hwnd, maxTop - 1) >= 0) room -= ItemHeightOf(s, hwnd, --maxTop);
    top = std::clamp(top, 0, std::max(maxTop, 0));
    if (top == s->top) return;
    s->top = top;
    Redraw(hwnd, s);
}

void EnsureVisible(HWND hwnd, ListState* s, int i) {
    if (i < 0 || i >= Count(s)) return;
    if (i < s->top) SetTop(hwnd, s, i);
    else {
        while (i >= s->top + FullyVisibleCount(hwnd, s) && s->top < i) {
            ++s->top;
        }
        Redraw(hwnd, s);
    }
}

int Compare(HWND hwnd, ListState* s, const Item& a, int ia, const Item& b, int ib) {
    if (HasStrings(hwnd))
        return QString::fromStdU16String(a.text).compare(QString::fromStdU16String(b.text), Qt::CaseInsensitive);
    COMPAREITEMSTRUCT c{};
    c.CtlType = s->combo ? ODT_COMBOBOX : ODT_LISTBOX;
    c.CtlID = CtlId(hwnd, s);
    c.hwndItem = s->combo ? s->combo : hwnd;
    c.itemID1 = UINT(ia);
    c.itemData1 = a.data;
    c.itemID2 = UINT(ib);
    c.itemData2 = b.data;
    return int(SendMessageW(Owner(hwnd, s), WM_COMPAREITEM, c.CtlID, reinterpret_cast<LPARAM>(&c)));
}

int Insert(HWND hwnd, ListState* s, int at, LPARAM lp, bool sorted) {
    Item it;
    if (HasStrings(hwnd)) it.text = lp ? std::u16string(reinterpret_cast<const WCHAR*>(lp)) : std::u16string();
    else it.data = ULONG_PTR(lp);
    if (sorted) {
        // The first place whose item sorts after the new one (binary search: the list is kept sorted).
        int lo = 0, hi = Count(s);
        while (lo < hi) {
            const int mid = (lo + hi) / 2;
            if (Compare(hwnd, s, it, -1, s->items[size_t(mid)], mid) < 0) hi = mid;
            else lo = mid + 1;
        }
        at = lo;
    } else if (at < 0 || at > Count(s)) {
        at = Count(s);
    }
    it.height = s->itemHeight;
    if (StyleOf(hwnd) & LBS_OWNERDRAWVARIABLE) {
        MEASUREITEMSTRUCT m{};
        m.CtlType = s->combo ? ODT_COMBOBOX : ODT_LISTBOX;
        m.CtlID = CtlId(hwnd, s);
        m.itemID = UINT(at);
        m.itemHeight = UINT(s->itemHeight);
        m.itemData = HasStrings(hwnd) ? ULONG_PTR(lp) : it.data;
        SendMessageW(Owner(hwnd, s), WM_MEASUREITEM, m.CtlID, reinterpret_cast<LPARAM>(&m));
        it.height = int(m.itemHeight);
    }
    s->items.insert(s->items.begin() + at, std::move(it));
    if (s->cur >= at) ++s->cur;
    if (s->caret >= at && Count(s) > 1) ++s->caret;
    if (s->anchor >= at) ++s->anchor;
    Redraw(hwnd, s);
    return at;
}

void DeleteNotify(HWND hwnd, ListState* s, int i) {
    if (!OwnerDraw(hwnd) && !s->items[size_t(i)].data) return;
    DELETEITEMSTRUCT d{};
    d.CtlType = s->combo ? ODT_COMBOBOX : ODT_LISTBOX;
    d.CtlID = CtlId(hwnd, s);
    d.itemID = UINT(i);
    d.hwndItem = s->combo ? s->combo : hwnd;
    d.itemData = s->items[size_t(i)].data;
    SendMessageW(Owner(hwnd, s), WM_DELETEITEM, d.CtlID, reinterpret_cast<LPARAM>(&d));
}

LRESULT Delete(HWND hwnd, ListState* s, int i) {
    if (i < 0 || i >= Count(s)) return LB_ERR;
    DeleteNotify(hwnd, s, i);
    if (!IsWindow(hwnd) || i >= Count(s)) return LB_ERR;
    s->items.erase(s->items.begin() + i);
    if (s->cur == i) s->cur = -1;
    else if (s->cur > i) --s->cur;
    if (s->caret > i || s->caret >= Count(s)) s->caret = std::max(0, s->caret - 1);
    if (s->anchor >= Count(s)) s->anchor = -1;
    if (s->top >= Count(s)) s->top = std::max(0, Count(s) - 1);
    Redraw(hwnd, s);
    return Count(s);
}

void Reset(HWND hwnd, ListState* s) {
    for (int i = Count(s) - 1; i >= 0; --i) DeleteNotify(hwnd, s, i);
    s->items.clear();
    s->cur = -1;
    s->caret = 0;
    s->anchor = -1;
    s->top = 0;
    Redraw(hwnd, s);
}

int Find(HWND hwnd, ListState* s, int after, const WCHAR* what, bool exact) {
    const int n = Count(s);
    if (n == 0 || !what) return LB_ERR;
    const QString w = QString::fromUtf16(what);
    const int start = (after < 0 || after >= n) ? 0 : after + 1;
    for (int k = 0; k < n; ++k) {
        const int i = (start + k) % n;
        const Item& it = s->items[size_t(i)];
        if (!HasStrings(hwnd)) {
            if (it.data == ULONG_PTR(what)) return i;
            continue;
        }
        const QString t = QString::fromStdU16String(it.text);
        if (exact ? t.compare(w, Qt::CaseInsensitive) == 0 : t.startsWith(w, Qt::CaseInsensitive)) return i;
    }
    return LB_ERR;
}

// The single selection moves (or clears with -1); redraws only what changed.
void SetCur(HWND hwnd, ListState* s, int i) {
    if (i >= Count(s)) i = -1;
    if (s->cur == i) return;
    s->cur = i;
    if (i >= 0) s->caret = i;
    InvalidateRect(hwnd, nullptr, TRUE);
    if (i >= 0) EnsureVisible(hwnd, s, i);
}

void SelectRange(ListState* s, int a, int b, bool on) {
    if (a > b) std::swap(a, b);
    for (int i = std::max(0, a); i <= b && i < Count(s); ++i) s->items[size_t(i)].selected = on;
}

void Paint(HWND hwnd, HDC hdc) {
    auto* s = StateOf<ListState>(hwnd);
    if (!s) return;
    const int saved = SaveDC(hdc);
    SelectObject(hdc, s->font ? s->font : DefaultGuiFont());
    RECT rc;
    GetClientRect(hwnd, &rc);
    HBRUSH bg = ControlColor(hwnd, hdc, WM_CTLCOLORLISTBOX);
    const COLORREF text = GetTextColor(hdc), back = GetBkColor(hdc);
    FillRect(hdc, &rc, bg);
    const bool multi = MultiSel(hwnd);
    const bool focusShown = s->focused && !(SendMessageW(hwnd, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS);
    int y = 0;
    for (int i = s->top; i < Count(s) && y < rc.bottom; ++i) {
        const int h = ItemHeightOf(s, hwnd, i);
        RECT r{0, y, rc.right, y + h};
        const bool sel = multi ? s->items[size_t(i)].selected : i == s->cur;
        const bool hasFocus = (focusShown || s->combo) && i == s->caret;
        if (OwnerDraw(hwnd)) {
            DRAWITEMSTRUCT d{};
            d.CtlType = s->combo ? ODT_COMBOBOX : ODT_LISTBOX;
            d.CtlID = CtlId(hwnd, s);
            d.itemID = UINT(i);
            d.itemAction = ODA_DRAWENTIRE;
            d.itemState = (sel ? ODS_SELECTED : 0) | (hasFocus && !s->combo ? ODS_FOCUS : 0) |
                          (IsWindowEnabled(hwnd) ? 0 : ODS_DISABLED);
            d.hwndItem = s->combo ? s->combo : hwnd;
            d.hDC = hdc;
            d.rcItem = r;
            d.itemData = s->items[size_t(i)].data;
            const int inner = SaveDC(hdc);
            SendMessageW(Owner(hwnd, s), WM_DRAWITEM, d.CtlID, reinterpret_cast<LPARAM>(&d));
            RestoreDC(hdc, inner);
        } else {
            if (sel) FillRect(hdc, &r, GetSysColorBrush(COLOR_HIGHLIGHT));
            SetBkMode(hdc, TRANSPARENT);
            SetTextColor(hdc, sel ? GetSysColor(COLOR_HIGHLIGHTTEXT) : text);
            const std::u16string& t = s->items[size_t(i)].text;
            RECT tr = r;
            tr.left += 2;
            UINT f = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
            if (StyleOf(hwnd) & LBS_USETABSTOPS) f |= DT_EXPANDTABS;
            DrawTextW(hdc, t.c_str(), int(t.size()), &tr, f);
            if (hasFocus && !s->combo && focusShown) DrawFocusRect(hdc, &r);
        }
        y += h;
    }
    SetTextColor(hdc, text);
    SetBkColor(hdc, back);
    RestoreDC(hdc, saved);
}

// A user's choice of item i (click, key): selection, anchor and caret as the selection style says.
void Choose(HWND hwnd, ListState* s, int i, bool shift, bool ctrl, bool toggle) {
    if (i < 0 || i >= Count(s) || (StyleOf(hwnd) & LBS_NOSEL)) return;
    const LONG style = StyleOf(hwnd);
    if (style & LBS_MULTIPLESEL) {
        if (toggle) s->items[size_t(i)].selected = !s->items[size_t(i)].selected;
    } else if (style & LBS_EXTENDEDSEL) {
        if (shift && s->anchor >= 0) {
            if (!ctrl)
                for (Item& it : s->items) it.selected = false;
            SelectRange(s, s->anchor, i, true);
        } else if (ctrl) {
            s->items[size_t(i)].selected = !s->items[size_t(i)].selected;
            s->anchor = i;
        } else {
            for (Item& it : s->items) it.selected = false;
            s->items[size_t(i)].selected = true;
            s->anchor = i;
        }
    } else {
        const int before = s->cur;
        SetCur(hwnd, s, i);
        if (before == s->cur) {
            s->caret = i;
            return;
        }
    }
    s->caret = i;
    EnsureVisible(hwnd, s, i);
    InvalidateRect(hwnd, nullptr, TRUE);
    Notify(hwnd, s, LBN_SELCHANGE);
}

void TypeAhead(HWND hwnd, ListState* s, char16_t c) {
    const DWORD now = GetTickCount();
    if (now - s->typedAt > 1000) s->typed.clear();
    s->typedAt = now;
    // The same letter again steps through the items that start with it.
    const bool repeat = s->typed.size() == 1 && QChar(s->typed[0]).toLower() == QChar(c).toLower();
    if (!repeat) s->typed.push_back(c);
    const int from = repeat || s->typed.size() == 1 ? s->caret : s->caret - 1;
    const int i = Find(hwnd, s, from, s->typed.c_str(), false);
    if (i >= 0) Choose(hwnd, s, i, false, false, false);
}

void KeyDown(HWND hwnd, ListState* s, WPARAM vk) {
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    const int page = std::max(1, FullyVisibleCount(hwnd, s) - 1);
    const int from = MultiSel(hwnd) ? s->caret : (s->cur < 0 ? -1 : s->cur);
    int to = from;
    switch (vk) {
    case VK_UP:
    case VK_LEFT: to = from - 1; break;
    case VK_DOWN:
    case VK_RIGHT: to = from + 1; break;
    case VK_PRIOR: to = from - page; break;
    case VK_NEXT: to = from + page; break;
    case VK_HOME: to = 0; break;
    case VK_END: to = Count(s) - 1; break;
    case VK_SPACE:
        if (MultiSel(hwnd)) Choose(hwnd, s, s->caret, false, true, true);
        return;
    default: return;
    }
    if (Count(s) == 0) return;
    to = std::clamp(to, 0, Count(s) - 1);
    if (StyleOf(hwnd) & LBS_MULTIPLESEL) {
        s->caret = to;
        EnsureVisible(hwnd, s, to);
        InvalidateRect(hwnd, nullptr, TRUE);
        return;
    }
    // A move by key tells the parent even where it stays on the same item (at either end).
    const bool single = !MultiSel(hwnd);
    const int before = s->cur;
    Choose(hwnd, s, to, shift, false, false);
    if (single && s->cur == before && before == to && IsWindow(hwnd)) Notify(hwnd, s, LBN_SELCHANGE);
}

} // namespace

// The list procedure both classes share; `combo` marks a drop-down list.
LRESULT ListProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, bool comboList) {
    auto* s = StateOf<ListState>(hwnd);
    if (!s && msg != WM_NCCREATE) return DefWindowProcW(hwnd, msg, wp, lp);
    switch (msg) {
    case WM_NCCREATE: {
        s = AttachState<ListState>(hwnd);
        const auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lp);
        if (comboList) s->combo = reinterpret_cast<HWND>(cs->lpCreateParams);
        s->vscroll = cs->style & WS_VSCROLL;
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
    case WM_CREATE: {
        s->itemHeight = FontHeight(hwnd, nullptr);
        if (StyleOf(hwnd) & LBS_OWNERDRAWFIXED) {
            MEASUREITEMSTRUCT m{};
            m.CtlType = s->combo ? ODT_COMBOBOX : ODT_LISTBOX;
            m.CtlID = CtlId(hwnd, s);
            m.itemHeight = UINT(s->itemHeight);
            SendMessageW(Owner(hwnd, s), WM_MEASUREITEM, m.CtlID, reinterpret_cast<LPARAM>(&m));
            s->itemHeight = int(m.itemHeight);
        }
        UpdateScroll(hwnd, s);
        return 0;
    }
    case WM_NCDESTROY:
        FreeState<ListState>(hwnd);
        return DefWindowProcW(hwnd, msg, wp, lp);
    case WM_DESTROY:
        Reset(hwnd, s);
        return 0;
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT:
    case WM_PRINTCLIENT: PaintOrPrint(hwnd, msg == WM_PRINTCLIENT ? wp : 0, Paint); return 0;
    case WM_SIZE: UpdateScroll(hwnd, s); return 0;
    case WM_SETFONT:
        s->font = reinterpret_cast<HFONT>(wp);
        if (!OwnerDraw(hwnd)) {
            s->itemHeight = FontHeight(hwnd, s->font);
        }
        if (LOWORD(lp)) Redraw(hwnd, s);
        return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(s->font);
    case WM_SETFOCUS:
        s->focused = true;
        InvalidateRect(hwnd, nullptr, TRUE);
        Notify(hwnd, s, LBN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        s->focused = false;
        InvalidateRect(hwnd, nullptr, TRUE);
        Notify(hwnd, s, LBN_KILLFOCUS);
        return 0;
    case WM_ENABLE: InvalidateRect(hwnd, nullptr, TRUE); return 0;
    case WM_LBUTTONDOWN: {
        if (DropList(hwnd, s)) return SendMessageW(s->combo, TW_CBLM_LISTMOUSE, msg, lp);
        if (GetFocus() != hwnd) SetFocus(hwnd);
        if (!(s = StateOf<ListState>(hwnd))) return 0;
        const int i = ItemAt(hwnd, s, POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
        Choose(hwnd, s, i, wp & MK_SHIFT, wp & MK_CONTROL, true);
        SetCapture(hwnd);
        s->tracking = true;
        return 0;
    }
    case WM_MOUSEMOVE:
        if (DropList(hwnd, s)) return SendMessageW(s->combo, TW_CBLM_LISTMOUSE, msg, lp);
        if (s->tracking && !MultiSel(hwnd)) {
            const int i = ItemAt(hwnd, s, POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
            if (i >= 0) Choose(hwnd, s, i, false, false, false);
        }
        return 0;
    case WM_LBUTTONUP:
        if (DropList(hwnd, s)) return SendMessageW(s->combo, TW_CBLM_LISTMOUSE, msg, lp);
        if (s->tracking) {
            s->tracking = false;
            if (GetCapture() == hwnd) ReleaseCapture();
        }
        return 0;
    case WM_CAPTURECHANGED:
        s->tracking = false;
        if (DropList(hwnd, s) && reinterpret_cast<HWND>(lp) != hwnd) SendMessageW(s->combo, TW_CBLM_LISTMOUSE, msg, lp);
        return 0;
    case WM_LBUTTONDBLCLK:
        if (DropList(hwnd, s)) return SendMessageW(s->combo, TW_CBLM_LISTMOUSE, WM_LBUTTONDOWN, lp);
        Notify(hwnd, s, LBN_DBLCLK);
        return 0;
    case WM_MOUSEWHEEL: SetTop(hwnd, s, s->top - 3 * GET_WHEEL_DELTA_WPARAM(wp) / WHEEL_DELTA); return 0;
    case WM_VSCROLL: {
        const int page = std::max(1, FullyVisibleCount(hwnd, s) - 1);
        switch (LOWORD(wp)) {
        case SB_LINEUP: SetTop(hwnd, s, s->top - 1); break;
        case SB_LINEDOWN: SetTop(hwnd, s, s->top + 1); break;
        case SB_PAGEUP: SetTop(hwnd, s, s->top - page); break;
        case SB_PAGEDOWN: SetTop(hwnd, s, s->top + page); break;
        case SB_TOP: SetTop(hwnd, s, 0); break;
        case SB_BOTTOM: SetTop(hwnd, s, Count(s)); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: SetTop(hwnd, s, HIWORD(wp)); break;
        default: break;
        }
        return 0;
    }
    case WM_KEYDOWN: KeyDown(hwnd, s, wp); return 0;
    case WM_CHAR:
        if (wp > 0x20 && HasStrings(hwnd)) TypeAhead(hwnd, s, char16_t(wp));
        return 0;
    case LB_ADDSTRING: {
        const bool sorted = (StyleOf(hwnd) & LBS_SORT) != 0;
        return Insert(hwnd, s, -1, lp, sorted);
    }
    case LB_INSERTSTRING: return Insert(hwnd, s, int(INT_PTR(wp)), lp, false);
    case LB_DELETESTRING: return Delete(hwnd, s, int(INT_PTR(wp)));
    case LB_RESETCONTENT: Reset(hwnd, s); return 0;
    case LB_INITSTORAGE: s->items.reserve(s->items.size() + size_t(wp)); return Count(s) + LRESULT(wp);
    case LB_GETCOUNT: return Count(s);
    case LB_GETTEXTLEN: {
        const int i = int(INT_PTR(wp));
        if (i < 0 || i >= Count(s)) return LB_ERR;
        return HasStrings(hwnd) ? LRESULT(s->items[size_t(i)].text.size()) : LRESULT(sizeof(ULONG_PTR));
    }
    case LB_GETTEXT: {
        const int i = int(INT_PTR(wp));
        if (i < 0 || i >= Count(s) || !lp) return LB_ERR;
        if (!HasStrings(hwnd)) {
            *reinterpret_cast<ULONG_PTR*>(lp) = s->items[size_t(i)].data;
            return sizeof(ULONG_PTR);
        }
        const std::u16string& t = s->items[size_t(i)].text;
        std::copy(t.begin(), t.end(), reinterpret_cast<WCHAR*>(lp));
        reinterpret_cast<WCHAR*>(lp)[t.size()] = 0;
        return LRESULT(t.size());
    }
    case LB_GETITEMDATA: {
        const int i = int(INT_PTR(wp));
        if (i < 0 || i >= Count(s)) return LB_ERR;
        return LRESULT(s->items[size_t(i)].data);
    }
    case LB_SETITEMDATA: {
        const int i = int(INT_PTR(wp));
        if (i < 0 || i >= Count(s)) return LB_ERR;
        s->items[size_t(i)].data = ULONG_PTR(lp);
        return TRUE;
    }
    case LB_SETCURSEL:
        if (MultiSel(hwnd)) return LB_ERR;
        SetCur(hwnd, s, int(INT_PTR(wp)));
        return s->cur < 0 ? LB_ERR : s->cur;
    case LB_GETCURSEL: return MultiSel(hwnd) ? s->caret : (s->cur < 0 ? LB_ERR : s->cur);
    case LB_SETSEL: {
        if (!MultiSel(hwnd)) return LB_ERR;
        const int i = int(INT_PTR(lp));
        if (i == -1) SelectRange(s, 0, Count(s) - 1, wp != 0);
        else if (i >= 0 && i < Count(s)) s->items[size_t(i)].selected = wp != 0;
        else return LB_ERR;
        InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    }
    case LB_GETSEL: {
        const int i = int(INT_PTR(wp));
        if (i < 0 || i >= Count(s)) return LB_ERR;
        return MultiSel(hwnd) ? LRESULT(s->items[size_t(i)].selected) : LRESULT(i == s->cur);
    }
    case LB_GETSELCOUNT:
        if (!MultiSel(hwnd)) return LB_ERR;
        return LRESULT(std::count_if(s->items.begin(), s->items.end(), [](const Item& it) { return it.selected; }));
    case LB_GETSELITEMS: {
        if (!MultiSel(hwnd)) return LB_ERR;
        auto* out = reinterpret_cast<INT*>(lp);
        int n = 0;
        for (int i = 0; i < Count(s) && n < int(wp); ++i)
            if (s->items[size_t(i)].selected) out[n++] = i;
        return n;
    }
    case LB_SELITEMRANGE:
        if (!MultiSel(hwnd)) return LB_ERR;
        SelectRange(s, LOWORD(lp), HIWORD(lp), wp != 0);
        InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case LB_SELITEMRANGEEX:
        if (!MultiSel(hwnd)) return LB_ERR;
        if (INT_PTR(lp) >= INT_PTR(wp)) SelectRange(s, int(wp), int(lp), true);
        else SelectRange(s, int(lp), int(wp), false);
        InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case LB_FINDSTRING: return Find(hwnd, s, int(INT_PTR(wp)), reinterpret_cast<const WCHAR*>(lp), false);
    case LB_FINDSTRINGEXACT: return Find(hwnd, s, int(INT_PTR(wp)), reinterpret_cast<const WCHAR*>(lp), true);
    case LB_SELECTSTRING: {
        const int i = Find(hwnd, s, int(INT_PTR(wp)), reinterpret_cast<const WCHAR*>(lp), false);
        if (i >= 0 && !MultiSel(hwnd)) SetCur(hwnd, s, i);
        return i;
    }
    case LB_GETTOPINDEX: return s->top;
    case LB_SETTOPINDEX:
        if (INT_PTR(wp) < 0 || int(wp) >= std::max(1, Count(s))) return LB_ERR;
        SetTop(hwnd, s, int(wp));
        return 0;
    case LB_GETITEMRECT: {
        RECT r;
        const int i = int(INT_PTR(wp));
        if (!lp || (i < 0 || (i >= Count(s) && !(i == 0 && Count(s) == 0)))) return LB_ERR;
        ItemRect(hwnd, s, i, r);
        *reinterpret_cast<RECT*>(lp) = r;
        return 1;
    }
    case LB_SETITEMHEIGHT: {
        const int h = LOWORD(lp);
        if (h <= 0 || h > 255) return LB_ERR;
        if (StyleOf(hwnd) & LBS_OWNERDRAWVARIABLE) {
            const int i = int(INT_PTR(wp));
            if (i < 0 || i >= Count(s)) return LB_ERR;
            s->items[size_t(i)].height = h;
        } else {
            s->itemHeight = h;
        }
        Redraw(hwnd, s);
        return 0;
    }
    case LB_GETITEMHEIGHT: return ItemHeightOf(s, hwnd, int(INT_PTR(wp)));
    case LB_GETCARETINDEX: return Count(s) ? s->caret : LB_ERR;
    case LB_SETCARETINDEX:
        if (INT_PTR(wp) < 0 || int(wp) >= Count(s)) return LB_ERR;
        s->caret = int(wp);
        EnsureVisible(hwnd, s, s->caret);
        InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case LB_GETANCHORINDEX: return s->anchor;
    case LB_SETANCHORINDEX:
        if (INT_PTR(wp) < -1 || int(wp) >= Count(s)) return LB_ERR;
        s->anchor = int(wp);
        return 0;
    case LB_ITEMFROMPOINT: {
        const POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        RECT rc;
        GetClientRect(hwnd, &rc);
        int i = ItemAt(hwnd, s, pt);
        const bool outside = !PtInRect(&rc, pt) || i < 0;
        if (i < 0) i = std::max(0, Count(s) - 1);
        return MAKELRESULT(i, outside ? 1 : 0);
    }
    case LB_SETHORIZONTALEXTENT: s->hExtent = int(wp); return 0;
    case LB_GETHORIZONTALEXTENT: return s->hExtent;
    case TW_LBM_HOTITEM: {
        // The drop-down list follows the mouse: the item under it is the highlighted one.
        const int i = int(INT_PTR(wp));
        if (i >= 0 && i < Count(s) && i != s->cur) {
            s->cur = i;
            s->caret = i;
            EnsureVisible(hwnd, s, i);
            InvalidateRect(hwnd, nullptr, TRUE);
        }
        return 0;
    }
    case TW_LBM_ITEMAT: return ItemAt(hwnd, s, POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
    case TW_LBM_TOTALHEIGHT: {
        int h = 0;
        for (int i = 0; i < Count(s); ++i) h += ItemHeightOf(s, hwnd, i);
        return h;
    }
    default: return DefWindowProcW(hwnd, msg, wp, lp);
    }
}

LRESULT CALLBACK ListBoxProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) { return ListProc(hwnd, msg, wp, lp, false); }
LRESULT CALLBACK ComboLBoxProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) { return ListProc(hwnd, msg, wp, lp, true); }

} // namespace twuser::controls
