// The pop-up menu window ("#32768") and the modal menu loop of TrackPopupMenu(Ex), the menu bar and the
// system menu: keyboard with arrows and mnemonics, mouse with hover-opened sub-menus on the one clock,
// scrolling of menus taller than the work area, and the notifications owners and subclasses rely on.
#include "win/user32/MenuModel.h"

#include <algorithm>

namespace twuser::menus {

LRESULT CALLBACK PopupMenuProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

bool ScrollsItself(const Menu* m) {
    return m->scrolls && m->window &&
           GetWindowLongPtrW(m->window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&PopupMenuProc);
}

namespace {

constexpr LPCWSTR PopupClass = u"#32768";
constexpr UINT_PTR HoverTimer = 0xFFE1;   // opens the sub-menu of the item under the pointer
constexpr UINT_PTR ScrollTimer = 0xFFE2;  // scrolls while the pointer rests on a scroll arrow
constexpr UINT ScrollInterval = 100;
constexpr int ItemNone = -1, ArrowUp = -2, ArrowDown = -3;

struct Level {
    HMENU menu = nullptr;
    HWND wnd = nullptr;
};

struct Tracker {
    HWND owner = nullptr;
    UINT flags = 0;
    bool notify = true;
    bool cues = false;
    bool system = false;
    std::vector<Level> levels;
    bool ended = false;
    bool chosen = false;
    UINT command = 0;
    HWND barWnd = nullptr;
    int barItem = -1;
    int nextBarItem = -1;   // the loop ends to reopen at this bar item (arrows, clicks on the bar)
    bool pressed = false;   // a button went down since the menu opened
    bool moved = false;
    POINT lastPt{-100000, -100000};
    bool altDown = false;
    bool mouseSelect = false;  // the selection being made comes from the mouse (MF_MOUSESELECT)
    const RECT* exclude = nullptr;  // TrackPopupMenuEx's rectangle the first menu must not cover
    HMENU chosenMenu = nullptr;  // where the chosen item sits, for menus that notify by position
    int chosenPos = -1;
    bool barOnly = false;    // the keyboard is on the bar itself, no menu open
    bool backToBar = false;  // the loop ends to put the keyboard back on the bar (Escape)
};

Tracker* current = nullptr;

Menu* MenuOfWindow(HWND hwnd) { return Find(reinterpret_cast<HMENU>(GetWindowLongPtrW(hwnd, 0))); }

int LevelOf(HWND hwnd) {
    if (!current) return -1;
    for (size_t i = 0; i < current->levels.size(); ++i)
        if (current->levels[i].wnd == hwnd) return int(i);
    return -1;
}

void EnsureClass() {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(nullptr, PopupClass, &existing)) return;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_SAVEBITS | CS_DBLCLKS | CS_DROPSHADOW | CS_GLOBALCLASS;
    wc.lpfnWndProc = PopupMenuProc;
    wc.cbWndExtra = sizeof(void*);
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    wc.lpszClassName = PopupClass;
    RegisterClassExW(&wc);
}

RECT WorkAreaAt(POINT pt) {
    MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    GetMonitorInfoW(MonitorFromPoint(pt, MONITOR_DEFAULTTONEAREST), &mi);
    return mi.rcWork;
}

int ClientHeight(HWND wnd) {
    RECT c;
    GetClientRect(wnd, &c);
    return c.bottom;
}

// The item, arrow or nothing at a screen point of a level's window.
int HitItem(const Level& l, POINT sp) {
    Menu* m = Find(l.menu);
    if (!m) return ItemNone;
    POINT p = sp;
    ScreenToClient(l.wnd, &p);
    RECT c;
    GetClientRect(l.wnd, &c);
    if (!PtInRect(&c, p)) return ItemNone;
    if (ScrollsItself(m)) {
        if (p.y < ScrollArrowHeight) return ArrowUp;
        if (p.y >= c.bottom - ScrollArrowHeight) return ArrowDown;
    }
    p.y -= PopupItemShift(m);
    for (size_t i = 0; i < m->items.size(); ++i)
        if (PtInRect(&m->items[i].rect, p)) return m->items[i].Separator() ? ItemNone : int(i);
    return ItemNone;
}

void PaintArrow(HDC hdc, const RECT& r, bool up, bool enabled) {
    FillRect(hdc, &r, GetSysColorBrush(COLOR_MENU));
    HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(enabled ? COLOR_MENUTEXT : COLOR_GRAYTEXT));
    HGDIOBJ old = SelectObject(hdc, pen);
    const int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
    for (int i = 0; i < 4; ++i) {
        const int y = up ? cy - 2 + i : cy + 1 - i;
        MoveToEx(hdc, cx - i, y, nullptr);
        LineTo(hdc, cx + i + 1, y);
    }
    SelectObject(hdc, old);
    DeleteObject(pen);
}

void PaintMenu(HWND hwnd, HDC hdc) {
    Menu* m = MenuOfWindow(hwnd);
    if (!m) return;
    RECT c;
    GetClientRect(hwnd, &c);
    FillRect(hdc, &c, m->background ? m->background : GetSysColorBrush(COLOR_MENU));
    const HWND owner = current ? current->owner : nullptr;
    const bool cues = current ? current->cues : true;
    const int dy = PopupItemShift(m);
    const int save = SaveDC(hdc);
    const bool scrolls = ScrollsItself(m);
    if (scrolls) IntersectClipRect(hdc, c.left, ScrollArrowHeight, c.right, c.bottom - ScrollArrowHeight);
    for (size_t i = 0; i < m->items.size(); ++i) {
        const RECT& r = m->items[i].rect;
        if (r.bottom + dy <= 0 || r.top + dy >= c.bottom) continue;  // only the items that show are drawn
        PaintPopupItem(hdc, m, int(i), owner, cues, dy);
    }
    RestoreDC(hdc, save);
    // Barred columns are divided by an etched line.
    for (const Item& it : m->items)
        if (&it != &m->items.front() && (it.type & MFT_MENUBARBREAK)) {
            RECT line{it.rect.left - 3, c.top, it.rect.left - 1, c.bottom};
            DrawEdge(hdc, &line, EDGE_ETCHED, BF_LEFT);
        }
    if (scrolls) {
        const int view = c.bottom - 2 * ScrollArrowHeight;
        PaintArrow(hdc, RECT{c.left, c.top, c.right, ScrollArrowHeight}, true, m->scroll > 0);
        PaintArrow(hdc, RECT{c.left, c.bottom - ScrollArrowHeight, c.right, c.bottom}, false, m->scroll + view < m->size.cy);
    }
}

void RepaintItem(Menu* m, int index) {
    if (!m->window || index < 0 || size_t(index) >= m->items.size()) return;
    RECT r = m->items[size_t(index)].rect;
    OffsetRect(&r, 0, PopupItemShift(m));
    InvalidateRect(m->window, &r, FALSE);
}

void MenuSelect(Menu* m, int index) {
    if (!current || !current->notify) return;
    const UINT sysFlag = current->system ? MF_SYSMENU : 0;
    if (index < 0) {
        SendMessageW(current->owner, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF) & 0xFFFF0000, 0);
        return;
    }
    const Item& it = m->items[size_t(index)];
    UINT flags = MF_HILITE | sysFlag | (current->mouseSelect ? MF_MOUSESELECT : 0) | (it.state & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_DEFAULT)) |
                 (it.type & (MF_OWNERDRAW | MF_BITMAP | MF_SEPARATOR));
    WORD idOrPos = WORD(it.id);
    if (it.sub) {
        flags |= MF_POPUP;
        idOrPos = WORD(index);
    }
    SendMessageW(current->owner, WM_MENUSELECT, MAKEWPARAM(idOrPos, flags), reinterpret_cast<LPARAM>(m->handle));
}

void CloseLevelsFrom(size_t from);

void EnsureVisible(Menu* m, int index) {
    if (!ScrollsItself(m) || index < 0) return;
    const int view = ClientHeight(m->window) - 2 * ScrollArrowHeight;
    const RECT& r = m->items[size_t(index)].rect;
    int s = m->scroll;
    if (r.top < s) s = r.top;
    if (r.bottom > s + view) s = r.bottom - view;
    s = std::clamp(s, 0, std::max(0, int(m->size.cy) - view));
    if (s != m->scroll) {
        m->scroll = s;
        InvalidateRect(m->window, nullptr, FALSE);
    }
}

// The default answer to MN_SELECTITEM: the selection of one level moves (deeper levels close).
void SelectItem(HWND hwnd, int index) {
    Menu* m = MenuOfWindow(hwnd);
    if (!m) return;
    if (index < 0 || size_t(index) >= m->items.size() || m->items[size_t(index)].Separator()) index = -1;
    const int lvl = LevelOf(hwnd);
    if (lvl >= 0 && current && size_t(lvl) + 1 < current->levels.size() && index != m->selected) CloseLevelsFrom(size_t(lvl) + 1);
    if (index == m->selected) return;
    const int old = m->selected;
    m->selected = index;
    KillTimer(hwnd, HoverTimer);
    RepaintItem(m, old);
    RepaintItem(m, index);
    EnsureVisible(m, index);
    if (index >= 0) MenuSelect(m, index);
}

bool Selectable(const Item& it) { return !it.Separator(); }

int NextItem(Menu* m, int from, int step) {
    const int n = int(m->items.size());
    if (n == 0) return -1;
    int i = from;
    for (int k = 0; k < n; ++k) {
        i = (i < 0 && step < 0) ? n - 1 : (i + step + n) % n;
        if (Selectable(m->items[size_t(i)])) return i;
    }
    return -1;
}

Level OpenLevel(HMENU menu, POINT at, UINT flags, const RECT* parentItem, int openerIndex);

void End(bool chose, UINT command) {
    if (!current || current->ended) return;
    current->ended = true;
    current->chosen = chose;
    current->command = command;
    BumpSerial();  // a loop waiting for input looks again
}

// Opens the sub-menu of a level's selected item; `selectFirst` when the keyboard opened it.
void OpenSub(size_t lvl, bool selectFirst) {
    if (!current || lvl >= current->levels.size()) return;
    Menu* m = Find(current->levels[lvl].menu);
    if (!m || m->selected < 0) return;
    const Item& it = m->items[size_t(m->selected)];
    if (!it.sub || it.Disabled() || !Find(it.sub)) return;
    if (lvl + 1 < current->levels.size()) {
        if (current->levels[lvl + 1].menu == it.sub) return;  // already open
        CloseLevelsFrom(lvl + 1);
    }
    RECT ir = it.rect;
    OffsetRect(&ir, 0, PopupItemShift(m));
    POINT o{0, 0};
    ClientToScreen(m->window, &o);
    OffsetRect(&ir, o.x, o.y);
    const HMENU sub = it.sub;
    const int opener = m->selected;
    Level l = OpenLevel(sub, POINT{ir.right, ir.top}, 0, &ir, opener);
    if (!l.wnd || !current) return;
    current->levels.push_back(l);
    if (selectFirst) SendMessageW(l.wnd, MN_SELECTITEM, WPARAM(NextItem(Find(sub), -1, 1)), 0);
}

void CloseLevel(Level& l) {
    Menu* m = Find(l.menu);
    if (m) {
        m->selected = -1;
        m->window = nullptr;
        m->scroll = 0;
    }
    if (l.wnd && IsWindow(l.wnd)) DestroyWindow(l.wnd);
    if (current && current->notify && m)
        SendMessageW(current->owner, WM_UNINITMENUPOPUP, reinterpret_cast<WPARAM>(l.menu),
                     MAKELPARAM(0, current->system ? MF_SYSMENU : 0));
    l.wnd = nullptr;
}

void CloseLevelsFrom(size_t from) {
    if (!current) return;
    while (current->levels.size() > from) {
        Level l = current->levels.back();
        current->levels.pop_back();
        CloseLevel(l);
    }
}

void Choose(Menu* m, int index) {
    if (!m || index < 0 || size_t(index) >= m->items.size()) return;
    const Item& it = m->items[size_t(index)];
    if (it.Separator()) return;
    if (it.sub) {
        const int lvl = current ? LevelOf(m->window) : -1;
        if (lvl >= 0) OpenSub(size_t(lvl), true);
        return;
    }
    if (current && !it.Disabled()) {
        current->chosenMenu = m->handle;
        current->chosenPos = index;
    }
    // A disabled item closes the menu without a command.
    End(!it.Disabled(), it.Disabled() ? 0 : it.id);
}

// The bar item `step` away from the current one, wrapping; the owner hears WM_NEXTMENU when the
// keyboard leaves either end of the bar.
int StepBar(int step) {
    Menu* bar = Find(BarMenuOf(Get(current->barWnd)));
    if (!bar || bar->items.empty()) return -1;
    const int n = int(bar->items.size());
    const int next = (current->barItem + step + n) % n;
    if (next != current->barItem + step && current->notify) {
        MDINEXTMENU nm{bar->handle, nullptr, nullptr};
        SendMessageW(current->owner, WM_NEXTMENU, step < 0 ? VK_LEFT : VK_RIGHT, reinterpret_cast<LPARAM>(&nm));
    }
    return next;
}

void MoveBar(int step) {
    if (!current || !current->barWnd) return;
    const int next = StepBar(step);
    if (next < 0 || !current) return;
    current->nextBarItem = next;
    End(false, 0);
}

// The bar item shown hot while its menu is open.
void HiliteBar(int item);

void SelectBarItem(int item) {
    Menu* bar = Find(BarMenuOf(Get(current->barWnd)));
    if (!bar || item < 0 || size_t(item) >= bar->items.size()) return;
    current->barItem = item;
    HiliteBar(item);
    if (current->notify) {
        const Item& it = bar->items[size_t(item)];
        const UINT f = MF_HILITE | (it.sub ? MF_POPUP : 0) | (it.state & (MF_GRAYED | MF_DISABLED));
        SendMessageW(current->owner, WM_MENUSELECT, MAKEWPARAM(it.sub ? UINT(item) : it.id, f), reinterpret_cast<LPARAM>(bar->handle));
    }
}

// Opens the menu of a bar item from keyboard mode on the bar; an item without one is a command.
void OpenBarItem(int item) {
    Menu* bar = Find(BarMenuOf(Get(current->barWnd)));
    if (!bar || item < 0 || size_t(item) >= bar->items.size()) return;
    const Item& it = bar->items[size_t(item)];
    if (it.sub) {
        current->nextBarItem = item;
        End(false, 0);
    } else if (!it.Disabled()) {
        End(true, it.id);
    }
}

// A key while the keyboard is on the bar and no menu is open.
void BarKey(WPARAM vk) {
    switch (vk) {
    case VK_LEFT:
    case VK_RIGHT:
        if (const int next = StepBar(vk == VK_LEFT ? -1 : 1); next >= 0 && current) SelectBarItem(next);
        break;
    case VK_RETURN:
        OpenBarItem(current->barItem);
        break;
    case VK_DOWN:
    case VK_UP:
        if (Menu* bar = Find(BarMenuOf(Get(current->barWnd))); bar && bar->items[size_t(current->barItem)].sub)
            OpenBarItem(current->barItem);
        break;
    case VK_ESCAPE: End(false, 0); break;
    default: break;
    }
}

void BarChar(WPARAM ch) {
    Menu* bar = Find(BarMenuOf(Get(current->barWnd)));
    if (!bar) return;
    const char16_t c = QChar(char16_t(ch)).toLower().unicode();
    for (size_t i = 0; i < bar->items.size(); ++i)
        if (bar->items[i].Mnemonic() == c) {
            OpenBarItem(int(i));
            return;
        }
    MessageBeep(0);
}

LRESULT KeyDown(HWND hwnd, WPARAM vk) {
    Menu* m = MenuOfWindow(hwnd);
    const int lvl = LevelOf(hwnd);
    if (!m || lvl < 0) return 0;
    switch (vk) {
    case VK_DOWN:
    case VK_UP: SendMessageW(hwnd, MN_SELECTITEM, WPARAM(NextItem(m, m->selected, vk == VK_DOWN ? 1 : -1)), 0); break;
    case VK_HOME: SendMessageW(hwnd, MN_SELECTITEM, WPARAM(NextItem(m, -1, 1)), 0); break;
    case VK_END: SendMessageW(hwnd, MN_SELECTITEM, WPARAM(NextItem(m, -1, -1)), 0); break;
    case VK_RIGHT:
        if (m->selected >= 0 && m->items[size_t(m->selected)].sub && !m->items[size_t(m->selected)].Disabled()) OpenSub(size_t(lvl), true);
        else MoveBar(1);
        break;
    case VK_LEFT:
        if (lvl > 0) CloseLevelsFrom(size_t(lvl));
        else MoveBar(-1);
        break;
    case VK_ESCAPE:
        if (lvl > 0) CloseLevelsFrom(size_t(lvl));
        else if (current->barWnd) {
            // Out of a bar item's menu the keyboard stays on the bar.
            current->backToBar = true;
            current->nextBarItem = current->barItem;
            End(false, 0);
        }
        else End(false, 0);
        break;
    case VK_RETURN:
        if (m->selected >= 0) Choose(m, m->selected);
        break;
    default: break;
    }
    return 0;
}

// A typed character: the items whose mnemonic it is, else what the owner answers to WM_MENUCHAR.
LRESULT Char(HWND hwnd, WPARAM ch) {
    Menu* m = MenuOfWindow(hwnd);
    if (!m || !current) return 0;
    const char16_t c = QChar(char16_t(ch)).toLower().unicode();
    std::vector<int> hits;
    for (size_t i = 0; i < m->items.size(); ++i)
        if (m->items[i].Mnemonic() == c) hits.push_back(int(i));
    if (hits.size() == 1) {
        SendMessageW(hwnd, MN_SELECTITEM, WPARAM(hits[0]), 0);
        Choose(m, hits[0]);
        return 0;
    }
    if (hits.size() > 1) {
        // Duplicates only move the selection, to the next one after it.
        auto next = std::upper_bound(hits.begin(), hits.end(), m->selected);
        SendMessageW(hwnd, MN_SELECTITEM, WPARAM(next == hits.end() ? hits.front() : *next), 0);
        return 0;
    }
    LRESULT r = 0;
    if (current->notify)
        r = SendMessageW(current->owner, WM_MENUCHAR, MAKEWPARAM(WORD(ch), MF_POPUP | (current->system ? MF_SYSMENU : 0)),
                         reinterpret_cast<LPARAM>(m->handle));
    switch (HIWORD(r)) {
    case MNC_CLOSE: End(false, 0); break;
    case MNC_EXECUTE:
        SendMessageW(hwnd, MN_SELECTITEM, LOWORD(r), 0);
        Choose(m, LOWORD(r));
        break;
    case MNC_SELECT: SendMessageW(hwnd, MN_SELECTITEM, LOWORD(r), 0); break;
    default: MessageBeep(0); break;
    }
    return 0;
}

void ScrollBy(Menu* m, int delta) {
    if (!ScrollsItself(m)) return;
    const int view = ClientHeight(m->window) - 2 * ScrollArrowHeight;
    const int s = std::clamp(m->scroll + delta, 0, std::max(0, int(m->size.cy) - view));
    if (s == m->scroll) return;
    m->scroll = s;
    InvalidateRect(m->window, nullptr, FALSE);
}

// What the opening animation does: the shown window prints itself into an image, which is put on the
// screen. A subclass that paints the menu learns of it here.
void PrintShown(HWND wnd) {
    RECT wr;
    if (!GetWindowRect(wnd, &wr) || wr.right <= wr.left || wr.bottom <= wr.top) return;
    const int w = wr.right - wr.left, h = wr.bottom - wr.top;
    HDC screen = GetWindowDC(wnd);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP image = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(mem, image);
    SendMessageW(wnd, WM_PRINT, reinterpret_cast<WPARAM>(mem), PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN);
    if (IsWindow(wnd)) BitBlt(screen, 0, 0, w, h, mem, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteObject(image);
    DeleteDC(mem);
    ReleaseDC(wnd, screen);
}

Level OpenLevel(HMENU menu, POINT at, UINT flags, const RECT* parentItem, int openerIndex) {
    Level l;
    l.menu = menu;
    Menu* m = Find(menu);
    if (!m || !current) return l;
    if (current->notify)
        SendMessageW(current->owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu),
                     MAKELPARAM(openerIndex < 0 ? 0 : openerIndex, current->system ? 1 : 0));
    if (!(m = Find(menu)) || !current || current->ended) return l;
    LayoutPopup(m, current->owner);
    m->selected = -1;
    m->scroll = 0;
    const RECT work = WorkAreaAt(at);
    int w = m->size.cx + 2 * PopupBorder, h = m->size.cy + 2 * PopupBorder;
    const int room = m->maxHeight ? std::min<int>(int(m->maxHeight), work.bottom - work.top) : work.bottom - work.top;
    m->scrolls = h > room;
    if (m->scrolls) h = room;
    int x = at.x, y = at.y;
    if (parentItem) {
        // Beside the item that opens it, overlapping the parent's border; to its left when it does not fit.
        x = parentItem->right;
        y = parentItem->top - PopupBorder - PopupMargin;
        if (x + w > work.right) x = std::max<int>(work.left, parentItem->left - w);
    } else {
        if (flags & TPM_CENTERALIGN) x -= w / 2;
        else if (flags & TPM_RIGHTALIGN) x -= w;
        if (flags & TPM_VCENTERALIGN) y -= h / 2;
        else if (flags & TPM_BOTTOMALIGN) y -= h;
        if (x + w > work.right) x = (flags & (TPM_CENTERALIGN | TPM_RIGHTALIGN)) ? work.right - w : std::max<int>(x - w, work.left);
    }
    if (y + h > work.bottom) y = (!parentItem && y - h >= work.top) ? y - h : work.bottom - h;
    x = std::max<int>(x, work.left);
    y = std::max<int>(y, work.top);
    if (const RECT* ex = parentItem ? nullptr : current->exclude) {
        // Beside the rectangle to keep clear: below or above it with TPM_VERTICAL, else right or left.
        const RECT placed{x, y, x + w, y + h};
        RECT overlap;
        if (IntersectRect(&overlap, &placed, ex)) {
            if (flags & TPM_VERTICAL) y = ex->bottom + h <= work.bottom ? int(ex->bottom) : std::max<int>(work.top, ex->top - h);
            else x = ex->right + w <= work.right ? int(ex->right) : std::max<int>(work.left, ex->left - w);
        }
    }
    EnsureClass();
    const HWND wnd = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, PopupClass, nullptr,
                                     WS_POPUP | WS_CLIPSIBLINGS, x, y, w, h, current->owner, nullptr, nullptr, menu);
    if (!wnd) return l;
    l.wnd = wnd;
    m->window = wnd;
    SetWindowPos(wnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    PrintShown(wnd);
    return l;
}

// The bar item shown hot while its menu is open.
void HiliteBar(int item) {
    if (!current || !current->barWnd) return;
    Window* w = Get(current->barWnd);
    Menu* bar = Find(BarMenuOf(w));
    if (!bar) return;
    bar->selected = item;
    if (w) {
        w->frameNeeded = true;
        BumpSerial();
    }
}

bool IsMouseDown(UINT msg) {
    return msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN || msg == WM_MBUTTONDOWN || msg == WM_LBUTTONDBLCLK ||
           msg == WM_RBUTTONDBLCLK || msg == WM_NCLBUTTONDOWN || msg == WM_NCRBUTTONDOWN || msg == WM_NCMBUTTONDOWN ||
           msg == WM_NCLBUTTONDBLCLK;
}

bool IsMouseUp(UINT msg) {
    return msg == WM_LBUTTONUP || msg == WM_RBUTTONUP || msg == WM_MBUTTONUP || msg == WM_NCLBUTTONUP ||
           msg == WM_NCRBUTTONUP || msg == WM_NCMBUTTONUP;
}

void Mouse(const MSG& m) {
    Tracker& t = *current;
    // The deepest menu under the pointer.
    int lvl = -1, hit = ItemNone;
    for (int i = int(t.levels.size()) - 1; i >= 0; --i) {
        RECT wr;
        GetWindowRect(t.levels[size_t(i)].wnd, &wr);
        if (PtInRect(&wr, m.pt)) {
            lvl = i;
            hit = HitItem(t.levels[size_t(i)], m.pt);
            break;
        }
    }
    if (m.message == WM_MOUSEMOVE || m.message == WM_NCMOUSEMOVE) {
        if (m.pt.x == t.lastPt.x && m.pt.y == t.lastPt.y) return;
        if (t.lastPt.x != -100000) t.moved = true;
        t.lastPt = m.pt;
        if (lvl < 0) {
            // Off every menu: the deepest one forgets its selection unless it opened a sub-menu.
            if (t.barWnd) {
                const int b = BarItemAt(Get(t.barWnd), m.pt);
                if (b >= 0 && b != t.barItem) {
                    if (t.barOnly) {
                        SelectBarItem(b);  // with no menu open the pointer only moves the highlight
                        return;
                    }
                    t.nextBarItem = b;
                    End(false, 0);
                }
            }
            return;
        }
        const Level& l = t.levels[size_t(lvl)];
        if (hit == ArrowUp || hit == ArrowDown) {
            SetTimer(l.wnd, ScrollTimer, ScrollInterval, nullptr);
            return;
        }
        if (hit < 0) return;
        Menu* menu = Find(l.menu);
        if (menu->selected != hit) {
            t.mouseSelect = true;
            SendMessageW(l.wnd, MN_SELECTITEM, WPARAM(hit), 0);
            t.mouseSelect = false;
        }
        else if (size_t(lvl) + 1 < t.levels.size()) CloseLevelsFrom(size_t(lvl) + 2);  // back onto the opener
        if (!current || t.ended) return;
        menu = Find(l.menu);
        if (menu && menu->selected == hit && menu->items[size_t(hit)].sub && size_t(lvl) + 1 == t.levels.size()) {
            UINT delay = 400;
            SystemParametersInfoW(SPI_GETMENUSHOWDELAY, 0, &delay, 0);
            SetTimer(l.wnd, HoverTimer, std::max<UINT>(delay, 1), nullptr);
        }
        return;
    }
    if (IsMouseDown(m.message)) {
        t.pressed = true;
        if (lvl >= 0) {
            if (hit == ArrowUp || hit == ArrowDown) return;
            t.mouseSelect = true;
            SendMessageW(t.levels[size_t(lvl)].wnd, MN_BUTTONDOWN, WPARAM(hit), 0);
            if (current) t.mouseSelect = false;
            return;
        }
        if (t.barWnd) {
            const int b = BarItemAt(Get(t.barWnd), m.pt);
            if (b >= 0 && (b != t.barItem || t.barOnly)) t.nextBarItem = b;
        }
        // A press outside every menu cancels; the press itself is not passed on.
        End(false, 0);
        return;
    }
    if (IsMouseUp(m.message)) {
        if (lvl < 0 || hit < 0) return;
        const bool right = m.message == WM_RBUTTONUP || m.message == WM_NCRBUTTONUP;
        if (right && !(t.flags & TPM_RIGHTBUTTON) && !t.system) return;
        // The release of the click that opened the menu chooses nothing unless the pointer moved.
        if (!t.pressed && !t.moved) return;
        // A subclass that keeps its own scroll position knows where the items are; the unscrolled hit
        // here would name another item. It acted on the press.
        const Menu* menu = Find(t.levels[size_t(lvl)].menu);
        if (menu && menu->scrolls && !ScrollsItself(menu)) return;
        SendMessageW(t.levels[size_t(lvl)].wnd, MN_BUTTONUP, WPARAM(hit), 0);
        return;
    }
    if (m.message == WM_MOUSEWHEEL && lvl >= 0) {
        Menu* menu = Find(t.levels[size_t(lvl)].menu);
        if (menu) ScrollBy(menu, -GET_WHEEL_DELTA_WPARAM(m.wParam) / WHEEL_DELTA * GetSystemMetrics(SM_CYMENUSIZE));
    }
}

} // namespace

// The window procedure of "#32768". The menu loop drives it with the same messages a subclass sees.
LRESULT CALLBACK PopupMenuProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_NCCREATE: {
        const auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lp);
        SetWindowLongPtrW(hwnd, 0, reinterpret_cast<LONG_PTR>(cs ? cs->lpCreateParams : nullptr));
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
    case WM_NCCALCSIZE: {
        RECT* r = wp ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lp)->rgrc[0] : reinterpret_cast<RECT*>(lp);
        if (r) InflateRect(r, -PopupBorder, -PopupBorder);
        return 0;
    }
    case WM_NCPAINT: {
        HDC hdc = GetWindowDC(hwnd);
        RECT r;
        GetWindowRect(hwnd, &r);
        OffsetRect(&r, -r.left, -r.top);
        FrameRect(hdc, &r, GetSysColorBrush(COLOR_BTNSHADOW));
        ReleaseDC(hwnd, hdc);
        return 0;
    }
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC hdc = wp ? reinterpret_cast<HDC>(wp) : BeginPaint(hwnd, &ps);
        PaintMenu(hwnd, hdc);
        if (!wp) EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_PRINTCLIENT: PaintMenu(hwnd, reinterpret_cast<HDC>(wp)); return 0;
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case MN_GETHMENU: return GetWindowLongPtrW(hwnd, 0);
    case MN_SELECTITEM: SelectItem(hwnd, int(wp)); return 0;
    case MN_BUTTONDOWN: {
        Menu* m = MenuOfWindow(hwnd);
        const int index = int(wp);
        if (!m || index < 0 || size_t(index) >= m->items.size()) return 0;
        if (m->selected != index) SendMessageW(hwnd, MN_SELECTITEM, wp, 0);
        const int lvl = LevelOf(hwnd);
        if (lvl >= 0 && m->items[size_t(index)].sub) OpenSub(size_t(lvl), false);
        return 0;
    }
    case MN_BUTTONUP: {
        Menu* m = MenuOfWindow(hwnd);
        const int index = int(wp);
        if (!m || index < 0 || size_t(index) >= m->items.size() || m->items[size_t(index)].sub) return 0;
        if (m->items[size_t(index)].Disabled()) return 0;  // a click on a disabled item keeps the menu open
        if (m->selected != index) SendMessageW(hwnd, MN_SELECTITEM, wp, 0);
        Choose(m, index);
        return 0;
    }
    case WM_KEYDOWN: return KeyDown(hwnd, wp);
    case WM_CHAR: return Char(hwnd, wp);
    case WM_TIMER:
        if (wp == HoverTimer) {
            KillTimer(hwnd, HoverTimer);
            const int lvl = LevelOf(hwnd);
            if (lvl >= 0) OpenSub(size_t(lvl), false);
            return 0;
        }
        if (wp == ScrollTimer) {
            Menu* m = MenuOfWindow(hwnd);
            const int lvl = LevelOf(hwnd);
            POINT pt;
            GetCursorPos(&pt);
            const int hit = lvl >= 0 ? HitItem(current->levels[size_t(lvl)], pt) : ItemNone;
            if (!m || (hit != ArrowUp && hit != ArrowDown)) {
                KillTimer(hwnd, ScrollTimer);
                return 0;
            }
            ScrollBy(m, hit == ArrowUp ? -GetSystemMetrics(SM_CYMENUSIZE) : GetSystemMetrics(SM_CYMENUSIZE));
            return 0;
        }
        return 0;
    case WM_CANCELMODE:
        End(false, 0);
        return 0;
    case WM_DESTROY:
        if (Menu* m = MenuOfWindow(hwnd); m && m->window == hwnd) m->window = nullptr;
        return 0;
    default: return DefWindowProcW(hwnd, msg, wp, lp);
    }
}

bool MenuLoopActive() { return current != nullptr; }

UINT RunMenuLoop(HMENU menu, UINT flags, POINT at, HWND owner, const RECT* exclude, bool byKeyboard, bool systemMenu,
                 HWND barWnd, int barItem, bool barOnly) {
    if (current || !Find(menu)) {
        SetLastError(1401);
        return 0;
    }
    Tracker t;
    t.owner = owner;
    t.flags = flags;
    t.notify = !(flags & TPM_NONOTIFY);
    BOOL cues = FALSE;
    SystemParametersInfoW(SPI_GETKEYBOARDCUES, 0, &cues, 0);
    t.cues = byKeyboard || cues;
    t.system = systemMenu;
    t.barWnd = barWnd;
    t.barItem = barItem;
    t.exclude = exclude;
    t.barOnly = barWnd && barOnly;
    current = &t;
    const HWND activeAtStart = GetActiveWindow();
    if (t.notify) {
        SendMessageW(owner, WM_ENTERMENULOOP, barWnd ? FALSE : TRUE, 0);
        SendMessageW(owner, WM_INITMENU, reinterpret_cast<WPARAM>(barWnd ? menu : menu), 0);
    }
    HMENU first = menu;
    int opener = -1;
    POINT where = at;
    RECT barItemRect{};
    if (barWnd) {
        // A bar item without a sub-menu is a command of its own.
        Menu* bar = Find(menu);
        const Item& it = bar->items[size_t(barItem)];
        SelectBarItem(barItem);
        if (t.barOnly) {
            first = nullptr;
        } else if (!it.sub) {
            if (!it.Disabled()) End(true, it.id);
            first = nullptr;
        } else {
            first = it.sub;
            opener = barItem;
            GetMenuItemRect(barWnd, menu, UINT(barItem), &barItemRect);
            where = POINT{barItemRect.left, barItemRect.bottom};
        }
    }
    if (first && !t.ended) {
        Level l = OpenLevel(first, where, barWnd ? TPM_LEFTALIGN : flags, nullptr, opener < 0 ? 0 : opener);
        if (l.wnd) {
            t.levels.push_back(l);
            if (byKeyboard) SendMessageW(l.wnd, MN_SELECTITEM, WPARAM(NextItem(Find(first), -1, 1)), 0);
        } else if (!t.ended) {
            End(false, 0);
        }
    }
    const HWND captureWnd = t.barOnly ? barWnd : t.levels.empty() ? nullptr : t.levels.front().wnd;
    if (captureWnd) SetCapture(captureWnd);
    bool idleSent = false;
    while (!t.ended) {
        if (t.barOnly ? !IsWindow(barWnd) : (t.levels.empty() || !IsWindow(t.levels.front().wnd))) break;
        if (GetCapture() != captureWnd || GetActiveWindow() != activeAtStart) break;
        MSG m;
        if (!PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
            if (!idleSent && t.notify) {
                idleSent = true;
                SendMessageW(owner, WM_ENTERIDLE, MSGF_MENU, reinterpret_cast<LPARAM>(t.levels.empty() ? nullptr : t.levels.back().wnd));
                continue;
            }
            WaitMessage();
            continue;
        }
        idleSent = false;
        if (m.message == WM_QUIT) {
            PostQuitMessage(int(m.wParam));
            break;
        }
        if (CallMsgFilterW(&m, MSGF_MENU)) continue;
        if ((m.message >= WM_MOUSEFIRST && m.message <= WM_MOUSELAST) ||
            (m.message >= WM_NCMOUSEMOVE && m.message <= WM_NCXBUTTONDBLCLK)) {
            Mouse(m);
            continue;
        }
        if (m.message == WM_KEYDOWN || m.message == WM_SYSKEYDOWN) {
            if (m.wParam == VK_MENU || m.wParam == VK_F10) {
                t.altDown = true;
                continue;
            }
            t.altDown = false;
            t.cues = true;
            TranslateMessage(&m);
            if (t.barOnly) {
                BarKey(m.wParam);
                continue;
            }
            SendMessageW(t.levels.back().wnd, WM_KEYDOWN, m.wParam, m.lParam);
            continue;
        }
        if (m.message == WM_KEYUP || m.message == WM_SYSKEYUP) {
            // Alt (or F10) pressed and released inside the loop closes the menus.
            if ((m.wParam == VK_MENU || m.wParam == VK_F10) && t.altDown) End(false, 0);
            continue;
        }
        if (m.message == WM_CHAR || m.message == WM_SYSCHAR) {
            // Control characters (Escape, Enter, Tab) were keys of their own already.
            if (m.wParam >= 0x20) {
                if (t.barOnly) BarChar(m.wParam);
                else SendMessageW(t.levels.back().wnd, WM_CHAR, m.wParam, m.lParam);
            }
            continue;
        }
        if (m.message == WM_DEADCHAR || m.message == WM_SYSDEADCHAR || m.message == WM_CONTEXTMENU) continue;
        DispatchMessageW(&m);
    }
    End(false, 0);
    for (const Level& l : t.levels) {
        if (IsWindow(l.wnd)) {
            KillTimer(l.wnd, HoverTimer);
            KillTimer(l.wnd, ScrollTimer);
        }
    }
    if (captureWnd && GetCapture() == captureWnd) ReleaseCapture();
    CloseLevelsFrom(0);
    if (barWnd) HiliteBar(-1);
    if (t.notify) {
        SendMessageW(owner, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
        SendMessageW(owner, WM_EXITMENULOOP, barWnd ? FALSE : TRUE, 0);
    }
    current = nullptr;
    const UINT command = t.chosen ? t.command : 0;
    if (t.chosen && !(flags & TPM_RETURNCMD) && IsWindow(owner)) {
        if (systemMenu) PostMessageW(owner, WM_SYSCOMMAND, command, MAKELPARAM(at.x, at.y));
        else if (Menu* cm = Find(t.chosenMenu); cm && (cm->style & MNS_NOTIFYBYPOS))
            PostMessageW(owner, WM_MENUCOMMAND, WPARAM(t.chosenPos), reinterpret_cast<LPARAM>(t.chosenMenu));
        else PostMessageW(owner, WM_COMMAND, MAKEWPARAM(command, 0), 0);
    }
    // Arrows or the pointer moved to another bar item: its menu opens next.
    if (barWnd && t.nextBarItem >= 0 && IsWindow(barWnd)) {
        TrackMenuBar(barWnd, t.nextBarItem, byKeyboard || t.cues, t.backToBar);
        return 0;
    }
    return command;
}

} // namespace twuser::menus

using namespace twuser;
using namespace twuser::menus;

extern "C" {

BOOL WINAPI TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND hwnd, LPTPMPARAMS tpm) {
    if (!Find(menu)) {
        SetLastError(1401);
        return FALSE;
    }
    if (!IsWindow(hwnd)) {
        SetLastError(1400);  // ERROR_INVALID_WINDOW_HANDLE
        return FALSE;
    }
    if (MenuLoopActive()) {
        SetLastError(1446);  // ERROR_POPUP_ALREADY_ACTIVE
        return FALSE;
    }
    const UINT cmd = RunMenuLoop(menu, flags, POINT{x, y}, hwnd, tpm ? &tpm->rcExclude : nullptr, false, false);
    return (flags & TPM_RETURNCMD) ? BOOL(cmd) : TRUE;
}

BOOL WINAPI TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int, HWND hwnd, const RECT*) {
    return TrackPopupMenuEx(menu, flags, x, y, hwnd, nullptr);
}

BOOL WINAPI EndMenu(void) {
    if (!MenuLoopActive()) return FALSE;
    End(false, 0);
    return TRUE;
}

} // extern "C"
