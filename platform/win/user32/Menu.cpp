// Menus: HMENU objects and their items, the pop-up layout and item painting of the classic look, the
// menu bar in a window's non-client area and the system menu.
#include "win/user32/MenuModel.h"

#include <algorithm>
#include <cstddef>
#include <map>
#include <memory>

namespace twuser::menus {

namespace {

constexpr uintptr_t HandleBase = 0x7A0000;  // far from window handles and control ids

struct Store {
    std::vector<std::unique_ptr<Menu>> menus;  // index = (handle - base) / 4; never reused
    std::map<HWND, HMENU> systemMenus;
};

Store& Menus() {
    static Store s;
    return s;
}

constexpr UINT TypeBits = MFT_BITMAP | MFT_MENUBARBREAK | MFT_MENUBREAK | MFT_OWNERDRAW | MFT_RADIOCHECK |
                          MFT_SEPARATOR | MFT_RIGHTORDER | MFT_RIGHTJUSTIFY;
constexpr UINT StateBits = MFS_GRAYED | MFS_CHECKED | MFS_HILITE | MFS_DEFAULT;

HMENU NewMenu(bool popup) {
    auto& s = Menus();
    auto m = std::make_unique<Menu>();
    m->handle = reinterpret_cast<HMENU>(HandleBase + s.menus.size() * 4);
    m->popup = popup;
    const HMENU h = m->handle;
    s.menus.push_back(std::move(m));
    return h;
}

void Changed(Menu* m) {
    m->laidOut = false;
    if (m->barOwner && IsWindow(m->barOwner)) DrawMenuBar(m->barOwner);
}

bool BadMenu() {
    SetLastError(1401);  // ERROR_INVALID_MENU_HANDLE
    return false;
}

bool NoItem() {
    SetLastError(1456);  // ERROR_MENU_ITEM_NOT_FOUND
    return false;
}

Item* SearchById(Menu* m, UINT id, Menu** holder, int* position, int depth) {
    if (!m || depth > 64) return nullptr;
    for (size_t i = 0; i < m->items.size(); ++i) {
        Item& it = m->items[i];
        if (it.sub) {
            if (Item* found = SearchById(Find(it.sub), id, holder, position, depth + 1)) return found;
        }
        if (it.id == id) {
            if (holder) *holder = m;
            if (position) *position = int(i);
            return &it;
        }
    }
    return nullptr;
}

// Item fields from AppendMenuW / InsertMenuW / ModifyMenuW flags.
Item FromFlags(UINT flags, UINT_PTR idNew, LPCWSTR newItem) {
    Item it;
    it.state = flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_HILITE | MF_DEFAULT);
    it.type = flags & (MF_MENUBARBREAK | MF_MENUBREAK | MF_RIGHTJUSTIFY);
    if (flags & MF_POPUP) {
        it.sub = reinterpret_cast<HMENU>(idNew);
        it.id = UINT(idNew);
    } else {
        it.id = UINT(idNew);
    }
    if (flags & MF_SEPARATOR) {
        it.type |= MFT_SEPARATOR;
    } else if (flags & MF_OWNERDRAW) {
        it.type |= MFT_OWNERDRAW;
        it.data = reinterpret_cast<ULONG_PTR>(newItem);
    } else if (flags & MF_BITMAP) {
        it.type |= MFT_BITMAP;
        it.bitmap = reinterpret_cast<HBITMAP>(const_cast<WCHAR*>(newItem));
    } else if (newItem) {
        it.hasText = true;
        it.text = newItem;
    }
    return it;
}

bool ApplyInfo(Item& it, const MENUITEMINFOW& mi) {
    if (mi.fMask & MIIM_TYPE) {
        it.type = mi.fType & TypeBits;
        it.hasText = false;
        it.text.clear();
        if (it.type & MFT_BITMAP) it.bitmap = reinterpret_cast<HBITMAP>(mi.dwTypeData);
        else if (!(it.type & (MFT_SEPARATOR | MFT_OWNERDRAW)) && mi.dwTypeData) {
            it.hasText = true;
            it.text = mi.dwTypeData;
        }
    }
    if (mi.fMask & MIIM_FTYPE) it.type = (it.type & MFT_BITMAP) | (mi.fType & TypeBits & ~MFT_BITMAP);
    if (mi.fMask & MIIM_STRING) {
        it.hasText = mi.dwTypeData != nullptr;
        it.text = mi.dwTypeData ? std::u16string(mi.dwTypeData) : std::u16string();
    }
    if (mi.fMask & MIIM_STATE) it.state = mi.fState & StateBits;
    if (mi.fMask & MIIM_ID) it.id = mi.wID;
    if (mi.fMask & MIIM_SUBMENU) {
        if (mi.hSubMenu && !Find(mi.hSubMenu)) return false;
        it.sub = mi.hSubMenu;
    }
    if (mi.fMask & MIIM_CHECKMARKS) {
        it.checked = mi.hbmpChecked;
        it.unchecked = mi.hbmpUnchecked;
    }
    if (mi.fMask & MIIM_DATA) it.data = mi.dwItemData;
    if (mi.fMask & MIIM_BITMAP) it.bitmap = mi.hbmpItem;
    return true;
}

bool ValidInfo(const MENUITEMINFOW* mi) {
    // Older callers pass the structure without hbmpItem.
    if (!mi || (mi->cbSize != sizeof(MENUITEMINFOW) && mi->cbSize != offsetof(MENUITEMINFOW, hbmpItem))) {
        SetLastError(87);  // ERROR_INVALID_PARAMETER
        return false;
    }
    return true;
}

bool InsertAt(HMENU h, UINT ref, bool byPosition, Item it) {
    Menu* m = Find(h);
    if (!m) return BadMenu();
    if (it.sub && it.sub == h) return false;
    Menu* target = m;
    size_t pos = m->items.size();
    if (byPosition) {
        if (ref < m->items.size()) pos = ref;
    } else if (ref != UINT(-1)) {
        int p = 0;
        Menu* holder = nullptr;
        // An unknown command appends, as Windows does.
        if (FindItem(h, ref, false, &holder, &p)) {
            target = holder;
            pos = size_t(p);
        }
    }
    target->items.insert(target->items.begin() + std::ptrdiff_t(pos), std::move(it));
    Changed(target);
    return true;
}

void DestroyTree(Menu* m, int depth) {
    if (!m || m->destroyed || depth > 64) return;
    m->destroyed = true;
    for (Item& it : m->items)
        if (it.sub) DestroyTree(Find(it.sub), depth + 1);
    m->items.clear();
}

// ---- the classic look ----

int TextHeight() {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, MenuFont());
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return tm.tmHeight;
}

SIZE TextSize(HDC dc, const std::u16string& s) {
    RECT r{0, 0, 0, 0};
    if (!s.empty()) DrawTextW(dc, s.c_str(), int(s.size()), &r, DT_SINGLELINE | DT_CALCRECT | DT_EXPANDTABS);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

SIZE BitmapSize(HBITMAP b) {
    BITMAP bm{};
    if (!b || reinterpret_cast<uintptr_t>(b) <= 11 || !GetObjectW(b, sizeof bm, &bm)) return SIZE{0, 0};
    return SIZE{bm.bmWidth, bm.bmHeight};
}

int CheckWidth() { return GetSystemMetrics(SM_CXMENUCHECK); }
int ItemHeightDefault() { return TextHeight() + 4; }
constexpr int TabGap = 12;          // between the caption and the shortcut column
constexpr int BarItemPadding = 6;   // each side of a bar item's text
constexpr int ColumnBarGap = 4;     // the line of MFT_MENUBARBREAK between columns

void SendMeasure(HWND owner, Item& it, UINT& width, UINT& height) {
    MEASUREITEMSTRUCT mis{};
    mis.CtlType = ODT_MENU;
    mis.itemID = it.id;
    mis.itemWidth = 0;
    mis.itemHeight = UINT(ItemHeightDefault());
    mis.itemData = it.data;
    if (owner && IsWindow(owner)) SendMessageW(owner, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis));
    width = mis.itemWidth;
    height = mis.itemHeight;
}

COLORREF Sys(int index) { return GetSysColor(index); }

void Blit(HDC hdc, HBITMAP bitmap, int x, int y) {
    const SIZE size = BitmapSize(bitmap);
    HDC mem = CreateCompatibleDC(hdc);
    HGDIOBJ old = SelectObject(mem, bitmap);
    BitBlt(hdc, x, y, size.cx, size.cy, mem, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteDC(mem);
}

// A menu glyph (check, bullet, arrow) in one colour: drawn black on white, then only its black
// pixels take the colour.
void DrawGlyph(HDC hdc, int x, int y, int size, UINT dfcs, COLORREF color) {
    RECT g{0, 0, size, size};
    HDC mem = CreateCompatibleDC(hdc);
    HBITMAP mono = CreateBitmap(size, size, 1, 1, nullptr);
    HGDIOBJ old = SelectObject(mem, mono);
    DrawFrameControl(mem, &g, DFC_MENU, dfcs);
    const COLORREF fg = SetTextColor(hdc, RGB(0, 0, 0));
    const COLORREF bg = SetBkColor(hdc, RGB(255, 255, 255));
    HBRUSH brush = CreateSolidBrush(color);
    HGDIOBJ oldBrush = SelectObject(hdc, brush);
    BitBlt(hdc, x, y, size, size, mem, 0, 0, 0xB8074A);  // PSDPxax: the brush where the source is black
    SelectObject(hdc, oldBrush);
    DeleteObject(brush);
    SetTextColor(hdc, fg);
    SetBkColor(hdc, bg);
    SelectObject(mem, old);
    DeleteObject(mono);
    DeleteDC(mem);
}

} // namespace

std::u16string Item::Label() const {
    const size_t tab = text.find(u'\t');
    return tab == std::u16string::npos ? text : text.substr(0, tab);
}

std::u16string Item::Shortcut() const {
    const size_t tab = text.find(u'\t');
    return tab == std::u16string::npos ? std::u16string() : text.substr(tab + 1);
}

char16_t Item::Mnemonic() const {
    if (!hasText) return 0;
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == u'\t') break;
        if (text[i] != u'&') continue;
        if (text[i + 1] == u'&') {
            ++i;
            continue;
        }
        const QChar c(text[i + 1]);
        return c.toLower().unicode();
    }
    return 0;
}

Menu* Find(HMENU h) {
    const uintptr_t v = reinterpret_cast<uintptr_t>(h);
    if (v < HandleBase || (v - HandleBase) % 4) return nullptr;
    auto& s = Menus();
    const size_t index = (v - HandleBase) / 4;
    if (index >= s.menus.size() || s.menus[index]->destroyed) return nullptr;
    return s.menus[index].get();
}

Item* FindItem(HMENU h, UINT ref, bool byPosition, Menu** holder, int* position) {
    Menu* m = Find(h);
    if (!m) return nullptr;
    if (byPosition) {
        if (ref >= m->items.size()) return nullptr;
        if (holder) *holder = m;
        if (position) *position = int(ref);
        return &m->items[ref];
    }
    return SearchById(m, ref, holder, position, 0);
}

HFONT MenuFont(bool bold) {
    static HFONT normal = nullptr, heavy = nullptr;
    HFONT& f = bold ? heavy : normal;
    if (!f) {
        NONCLIENTMETRICSW ncm{};
        ncm.cbSize = sizeof ncm;
        SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0);
        LOGFONTW lf = ncm.lfMenuFont;
        if (bold) lf.lfWeight = FW_BOLD;
        f = CreateFontIndirectW(&lf);
    }
    return f;
}

void LayoutPopup(Menu* m, HWND owner) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ oldFont = SelectObject(dc, MenuFont());
    const int itemH = ItemHeightDefault();
    const int check = CheckWidth();
    // The left column holds check marks and item bitmaps; the widest bitmap widens it.
    int leftCol = check;
    for (const Item& it : m->items)
        if (!(it.type & MFT_BITMAP)) leftCol = std::max<int>(leftCol, BitmapSize(it.bitmap).cx);
    leftCol += 4;
    m->leftColumn = leftCol;
    const int rightCol = check + 6;  // the sub-menu arrow, and the gap after shortcut texts

    // Columns: an item with MFT_MENUBREAK or MFT_MENUBARBREAK starts a new one.
    // Items start inside a margin of the client area, which surrounds them on every side.
    int x = PopupMargin, maxBottom = 0, y = PopupMargin, colLabel = 0, colShortcut = 0;
    int tabColumn = 0;
    auto closeColumn = [&](size_t from, size_t to) {
        const int shortcutPart = colShortcut ? TabGap + colShortcut : 0;
        const int width = leftCol + colLabel + shortcutPart + rightCol;
        int colWidth = width;
        for (size_t i = from; i < to; ++i) colWidth = std::max<int>(colWidth, m->items[i].rect.right - m->items[i].rect.left);
        for (size_t i = from; i < to; ++i) {
            m->items[i].rect.left = x;
            m->items[i].rect.right = x + colWidth;
        }
        tabColumn = std::max(tabColumn, rightCol);
        x += colWidth;
    };
    size_t first = 0;
    for (size_t i = 0; i < m->items.size(); ++i) {
        Item& it = m->items[i];
        if (i > 0 && (it.type & (MFT_MENUBREAK | MFT_MENUBARBREAK))) {
            closeColumn(first, i);
            if (it.type & MFT_MENUBARBREAK) x += ColumnBarGap;
            first = i;
            y = PopupMargin;
            colLabel = colShortcut = 0;
        }
        int w = 0, h = itemH;
        if (it.OwnerDraw()) {
            UINT mw = 0, mh = 0;
            SendMeasure(owner, it, mw, mh);
            w = int(mw) + check;
            h = int(mh);
        } else if (it.Separator()) {
            h = SeparatorHeight;
        } else if (it.type & MFT_BITMAP) {
            const SIZE b = BitmapSize(it.bitmap);
            w = leftCol + b.cx + rightCol;
            h = std::max<int>(b.cy, 1);
        } else {
            if (it.state & MFS_DEFAULT) SelectObject(dc, MenuFont(true));
            const SIZE label = TextSize(dc, it.Label());
            const SIZE shortcut = TextSize(dc, it.Shortcut());
            SelectObject(dc, MenuFont());
            colLabel = std::max<int>(colLabel, label.cx);
            colShortcut = std::max<int>(colShortcut, shortcut.cx);
            h = std::max<int>({itemH, BitmapSize(it.bitmap).cy + 2});
        }
        it.rect = RECT{0, y, w, y + h};
        y += h;
        maxBottom = std::max(maxBottom, y);
    }
    closeColumn(first, m->items.size());
    m->size = SIZE{x + PopupMargin, maxBottom + PopupMargin};
    m->tabColumn = tabColumn;
    m->laidOut = true;
    SelectObject(dc, oldFont);
    ReleaseDC(nullptr, dc);
}

int PopupItemShift(const Menu* m) { return ScrollsItself(m) ? ScrollArrowHeight - m->scroll : 0; }

void PaintPopupItem(HDC hdc, Menu* m, int index, HWND owner, bool cues, int dy) {
    if (index < 0 || size_t(index) >= m->items.size()) return;
    Item& it = m->items[size_t(index)];
    RECT r = it.rect;
    OffsetRect(&r, 0, dy);
    const bool selected = index == m->selected;
    if (it.OwnerDraw()) {
        DRAWITEMSTRUCT dis{};
        dis.CtlType = ODT_MENU;
        dis.itemID = it.id;
        dis.itemAction = ODA_DRAWENTIRE;
        dis.itemState = (selected ? ODS_SELECTED : 0) | ((it.state & MF_GRAYED) ? ODS_GRAYED : 0) |
                        ((it.state & MF_DISABLED) ? ODS_DISABLED : 0) | ((it.state & MFS_CHECKED) ? ODS_CHECKED : 0) |
                        ((it.state & MFS_DEFAULT) ? ODS_DEFAULT : 0) | (cues ? 0 : ODS_NOACCEL);
        dis.hwndItem = reinterpret_cast<HWND>(m->handle);
        dis.hDC = hdc;
        dis.rcItem = r;
        dis.itemData = it.data;
        FillRect(hdc, &r, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_MENU));
        if (owner && IsWindow(owner)) SendMessageW(owner, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
        return;
    }
    if (it.Separator()) {
        // Flat menus (the setting this platform reports) divide with one shadow line across the middle.
        FillRect(hdc, &r, GetSysColorBrush(COLOR_MENU));
        RECT line{r.left + 1, r.top + (r.bottom - r.top) / 2, r.right - 1, r.top + (r.bottom - r.top) / 2 + 1};
        FillRect(hdc, &line, GetSysColorBrush(COLOR_BTNSHADOW));
        return;
    }
    const bool hot = selected;
    FillRect(hdc, &r, GetSysColorBrush(hot ? COLOR_HIGHLIGHT : COLOR_MENU));
    const COLORREF textColor = Sys(it.Disabled() ? COLOR_GRAYTEXT : hot ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT);
    const int check = CheckWidth();
    // Check mark or the item's bitmap in the left column.
    const HBITMAP checkBmp = (it.state & MFS_CHECKED) ? it.checked : it.unchecked;
    const SIZE bmp = BitmapSize(it.bitmap);
    const int leftCol = m->leftColumn;
    auto centred = [&](int height) { return r.top + (r.bottom - r.top - height) / 2; };
    // Glyph boxes centre with the odd pixel above them.
    const int glyphTop = r.top + (r.bottom - r.top - check + 1) / 2;
    if (checkBmp) {
        Blit(hdc, checkBmp, r.left + 2, centred(BitmapSize(checkBmp).cy));
    } else if (it.state & MFS_CHECKED) {
        DrawGlyph(hdc, r.left, glyphTop, check, (it.type & MFT_RADIOCHECK) ? DFCS_MENUBULLET : DFCS_MENUCHECK,
                  textColor);
    } else if (bmp.cx > 0 && !(it.type & MFT_BITMAP)) {
        Blit(hdc, it.bitmap, r.left + 2, centred(bmp.cy));
    }
    if (it.type & MFT_BITMAP) Blit(hdc, it.bitmap, r.left + leftCol, r.top);
    const int oldMode = SetBkMode(hdc, TRANSPARENT);
    const COLORREF oldColor = SetTextColor(hdc, textColor);
    HGDIOBJ oldFont = SelectObject(hdc, MenuFont((it.state & MFS_DEFAULT) != 0));
    const UINT fmt = DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS | (cues ? 0 : DT_HIDEPREFIX);
    if (it.hasText) {
        const std::u16string label = it.Label(), shortcut = it.Shortcut();
        auto draw = [&](const std::u16string& s, RECT tr, UINT align) {
            if (it.Disabled() && !hot) {
                // The classic engraved look: a highlight copy one pixel down and right.
                const COLORREF c = SetTextColor(hdc, Sys(COLOR_BTNHIGHLIGHT));
                RECT e = tr;
                OffsetRect(&e, 1, 1);
                DrawTextW(hdc, s.c_str(), int(s.size()), &e, fmt | align);
                SetTextColor(hdc, c);
            }
            DrawTextW(hdc, s.c_str(), int(s.size()), &tr, fmt | align);
        };
        draw(label, RECT{r.left + leftCol, r.top, r.right - m->tabColumn, r.bottom}, DT_LEFT);
        if (!shortcut.empty()) draw(shortcut, RECT{r.left + leftCol, r.top, r.right - m->tabColumn, r.bottom}, DT_RIGHT);
    }
    SelectObject(hdc, oldFont);
    SetTextColor(hdc, oldColor);
    SetBkMode(hdc, oldMode);
    // The arrow's box reaches past the item's right edge, so the arrow itself ends two pixels before it.
    if (it.sub) DrawGlyph(hdc, r.right - check + 2, glyphTop, check, DFCS_MENUARROW, textColor);
}

// ---- the menu bar ----

HMENU BarMenuOf(const Window* w) {
    if (!w || (w->style & WS_CHILD)) return nullptr;
    const HMENU h = reinterpret_cast<HMENU>(w->id);
    Menu* m = Find(h);
    return m ? h : nullptr;
}

namespace {

// Lays the bar's items out in rows across `area` (whose coordinates have the window's top-left at
// `origin`); the bar's height. The items keep window coordinates.
int LayoutBar(Menu* m, RECT area, POINT origin) {
    OffsetRect(&area, -origin.x, -origin.y);
    HDC dc = GetDC(nullptr);
    HGDIOBJ oldFont = SelectObject(dc, MenuFont());
    const int rowH = GetSystemMetrics(SM_CYMENU);
    int x = area.left, y = area.top;
    const int width = area.right - area.left;
    for (size_t i = 0; i < m->items.size(); ++i) {
        Item& it = m->items[i];
        int w = 0;
        if (it.OwnerDraw()) w = 2 * BarItemPadding;
        else if (it.type & MFT_BITMAP) w = BitmapSize(it.bitmap).cx + 2 * BarItemPadding;
        else w = TextSize(dc, it.Label()).cx + 2 * BarItemPadding;
        if ((x > area.left && x + w > area.left + width) || (i > 0 && (it.type & (MFT_MENUBREAK | MFT_MENUBARBREAK)))) {
            x = area.left;
            y += rowH;
        }
        it.rect = RECT{x, y, x + w, y + rowH - 1};
        x += w;
    }
    // A right-justified item and those after it move to the right end of the last row.
    for (size_t i = 0; i < m->items.size(); ++i) {
        if (!(m->items[i].type & MFT_RIGHTJUSTIFY)) continue;
        const int shift = area.right - m->items.back().rect.right;
        for (size_t j = i; j < m->items.size(); ++j)
            if (m->items[j].rect.top == m->items.back().rect.top) OffsetRect(&m->items[j].rect, std::max(shift, 0), 0);
        break;
    }
    SelectObject(dc, oldFont);
    ReleaseDC(nullptr, dc);
    m->laidOut = true;
    const int height = (y - area.top) + rowH;
    m->barRect = RECT{area.left, area.top, area.right, area.top + height};
    return height;
}

} // namespace

int MenuBarHeight(Window* w, const RECT& area, POINT origin) {
    const HMENU h = BarMenuOf(w);
    if (!h) return 0;
    Menu* m = Find(h);
    m->barOwner = w->handle;
    return LayoutBar(m, area, origin);
}

void PaintMenuBar(Window* w, HDC hdc) {
    const HMENU h = BarMenuOf(w);
    if (!h) return;
    Menu* m = Find(h);
    FillRect(hdc, &m->barRect, GetSysColorBrush(COLOR_MENU));
    const int oldMode = SetBkMode(hdc, TRANSPARENT);
    HGDIOBJ oldFont = SelectObject(hdc, MenuFont());
    const bool cues = !(w->uiState & UISF_HIDEACCEL);
    for (size_t i = 0; i < m->items.size(); ++i) {
        const Item& it = m->items[i];
        const bool hot = int(i) == m->selected;
        RECT r = it.rect;
        if (hot) FillRect(hdc, &r, GetSysColorBrush(COLOR_HIGHLIGHT));
        SetTextColor(hdc, GetSysColor(it.Disabled() ? COLOR_GRAYTEXT : hot ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
        const std::u16string label = it.Label();
        if (it.hasText)
            DrawTextW(hdc, label.c_str(), int(label.size()), &r,
                      DT_SINGLELINE | DT_VCENTER | DT_CENTER | (cues ? 0 : DT_HIDEPREFIX));
    }
    SelectObject(hdc, oldFont);
    SetBkMode(hdc, oldMode);
}

int BarItemAt(Window* w, POINT sp) {
    const HMENU h = BarMenuOf(w);
    if (!h) return -1;
    Menu* m = Find(h);
    const POINT origin = WindowOrigin(w);
    const POINT p{sp.x - origin.x, sp.y - origin.y};
    for (size_t i = 0; i < m->items.size(); ++i)
        if (PtInRect(&m->items[i].rect, p)) return int(i);
    return -1;
}

void TrackMenuBar(HWND hwnd, int item, bool byKeyboard, bool barOnly) {
    Window* w = Get(hwnd);
    const HMENU h = BarMenuOf(w);
    if (!h) return;
    Menu* m = Find(h);
    if (item < 0 || size_t(item) >= m->items.size()) return;
    RunMenuLoop(h, TPM_LEFTALIGN | TPM_TOPALIGN, POINT{0, 0}, hwnd, nullptr, byKeyboard, false, hwnd, item, barOnly);
}

// ---- the system menu ----

HMENU SystemMenuOf(HWND hwnd, bool create) {
    auto& s = Menus();
    auto it = s.systemMenus.find(hwnd);
    if (it != s.systemMenus.end() && Find(it->second)) return it->second;
    if (!create) return nullptr;
    const HMENU h = NewMenu(true);
    Find(h)->systemOf = hwnd;
    AppendMenuW(h, MF_STRING, SC_RESTORE, u"&Restore");
    AppendMenuW(h, MF_STRING, SC_MOVE, u"&Move");
    AppendMenuW(h, MF_STRING, SC_SIZE, u"&Size");
    AppendMenuW(h, MF_STRING, SC_MINIMIZE, u"Mi&nimize");
    AppendMenuW(h, MF_STRING, SC_MAXIMIZE, u"Ma&ximize");
    AppendMenuW(h, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(h, MF_STRING, SC_CLOSE, u"&Close\tAlt+F4");
    const Window* w = Get(hwnd);
    const DWORD style = w ? w->style : 0;
    // A window without minimise and maximise boxes has neither those items nor Restore, and one that
    // cannot be sized has no Size item.
    if (!(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX))) {
        DeleteMenu(h, SC_RESTORE, MF_BYCOMMAND);
        DeleteMenu(h, SC_MINIMIZE, MF_BYCOMMAND);
        DeleteMenu(h, SC_MAXIMIZE, MF_BYCOMMAND);
        if (!(style & WS_THICKFRAME)) DeleteMenu(h, SC_SIZE, MF_BYCOMMAND);
    }
    // The window-state items carry the system's menu bitmaps, which styled menus draw as glyphs.
    const std::pair<UINT, HBITMAP> glyphs[] = {{SC_RESTORE, HBMMENU_POPUP_RESTORE}, {SC_MINIMIZE, HBMMENU_POPUP_MINIMIZE},
                                              {SC_MAXIMIZE, HBMMENU_POPUP_MAXIMIZE}, {SC_CLOSE, HBMMENU_POPUP_CLOSE}};
    for (const auto& [command, bitmap] : glyphs)
        if (Item* item = FindItem(h, command, false)) item->bitmap = bitmap;
    SetMenuDefaultItem(h, SC_CLOSE, FALSE);
    s.systemMenus[hwnd] = h;
    UpdateSystemMenu(hwnd, h);
    return h;
}

void UpdateSystemMenu(HWND hwnd, HMENU h) {
    const Window* w = Get(hwnd);
    if (!w || !Find(h)) return;
    const DWORD style = w->style;
    const bool maxed = w->maximized, mined = w->minimized;
    auto set = [&](UINT cmd, bool enabled) {
        if (GetMenuState(h, cmd, MF_BYCOMMAND) != UINT(-1)) EnableMenuItem(h, cmd, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    };
    set(SC_RESTORE, maxed || mined);
    set(SC_MOVE, !maxed);
    set(SC_SIZE, !maxed && !mined && (style & WS_THICKFRAME));
    set(SC_MINIMIZE, !mined && (style & WS_MINIMIZEBOX));
    set(SC_MAXIMIZE, !maxed && (style & WS_MAXIMIZEBOX));
}

void TrackSystemMenu(HWND hwnd, POINT at, bool byKeyboard) {
    const Window* w = Get(hwnd);
    if (!w || !(w->style & WS_SYSMENU)) return;
    const HMENU h = SystemMenuOf(hwnd, true);
    UpdateSystemMenu(hwnd, h);
    const UINT cmd = RunMenuLoop(h, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD, at, hwnd, nullptr, byKeyboard, true);
    if (cmd && IsWindow(hwnd)) SendMessageW(hwnd, WM_SYSCOMMAND, cmd, MAKELPARAM(at.x, at.y));
}

} // namespace twuser::menus

using namespace twuser;
using namespace twuser::menus;

extern "C" {

HMENU WINAPI CreateMenu(void) { return NewMenu(false); }

HMENU WINAPI CreatePopupMenu(void) { return NewMenu(true); }

BOOL WINAPI DestroyMenu(HMENU h) {
    Menu* m = Find(h);
    if (!m) return BadMenu();
    if (m->window && IsWindow(m->window)) EndMenu();
    DestroyTree(m, 0);
    return TRUE;
}

BOOL WINAPI IsMenu(HMENU h) { return Find(h) != nullptr; }

namespace {
// The menu a MENUINFO call names, or null with the error set.
Menu* MenuInfoTarget(HMENU h, const MENUINFO* mi) {
    Menu* m = Find(h);
    if (!m) {
        BadMenu();
        return nullptr;
    }
    if (!mi || mi->cbSize != sizeof(MENUINFO)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return m;
}
} // namespace

BOOL WINAPI GetMenuInfo(HMENU h, LPMENUINFO mi) {
    Menu* m = MenuInfoTarget(h, mi);
    if (!m) return FALSE;
    if (mi->fMask & MIM_STYLE) mi->dwStyle = m->style;
    if (mi->fMask & MIM_MAXHEIGHT) mi->cyMax = m->maxHeight;
    if (mi->fMask & MIM_BACKGROUND) mi->hbrBack = m->background;
    if (mi->fMask & MIM_HELPID) mi->dwContextHelpID = m->helpId;
    if (mi->fMask & MIM_MENUDATA) mi->dwMenuData = m->data;
    return TRUE;
}

namespace {
void ApplyMenuInfo(Menu* m, const MENUINFO& mi, int depth) {
    if (mi.fMask & MIM_STYLE) m->style = mi.dwStyle;
    if (mi.fMask & MIM_MAXHEIGHT) m->maxHeight = mi.cyMax;
    if (mi.fMask & MIM_BACKGROUND) m->background = mi.hbrBack;
    if (mi.fMask & MIM_HELPID) m->helpId = mi.dwContextHelpID;
    if (mi.fMask & MIM_MENUDATA) m->data = mi.dwMenuData;
    m->laidOut = false;
    // Bounded: a menu that holds itself as a sub-menu must not recurse forever.
    if ((mi.fMask & MIM_APPLYTOSUBMENUS) && depth < 64)
        for (const Item& it : m->items)
            if (Menu* sub = it.sub ? Find(it.sub) : nullptr; sub && sub != m) ApplyMenuInfo(sub, mi, depth + 1);
}
} // namespace

BOOL WINAPI SetMenuInfo(HMENU h, LPCMENUINFO mi) {
    Menu* m = MenuInfoTarget(h, mi);
    if (!m) return FALSE;
    ApplyMenuInfo(m, *mi, 0);
    if (m->barOwner && IsWindow(m->barOwner)) DrawMenuBar(m->barOwner);
    return TRUE;
}

BOOL WINAPI InsertMenuItemW(HMENU h, UINT item, BOOL byPosition, LPCMENUITEMINFOW mi) {
    if (!ValidInfo(mi)) return FALSE;
    Item it;
    if (!ApplyInfo(it, *mi)) return FALSE;
    return InsertAt(h, item, byPosition, std::move(it));
}

BOOL WINAPI AppendMenuW(HMENU h, UINT flags, UINT_PTR idNew, LPCWSTR newItem) {
    if ((flags & MF_POPUP) && !Find(reinterpret_cast<HMENU>(idNew))) return BadMenu();
    return InsertAt(h, UINT(-1), true, FromFlags(flags, idNew, newItem));
}

BOOL WINAPI InsertMenuW(HMENU h, UINT position, UINT flags, UINT_PTR idNew, LPCWSTR newItem) {
    if ((flags & MF_POPUP) && !Find(reinterpret_cast<HMENU>(idNew))) return BadMenu();
    return InsertAt(h, position, (flags & MF_BYPOSITION) != 0, FromFlags(flags, idNew, newItem));
}

BOOL WINAPI ModifyMenuW(HMENU h, UINT position, UINT flags, UINT_PTR idNew, LPCWSTR newItem) {
    Menu* holder = nullptr;
    Item* it = FindItem(h, position, (flags & MF_BYPOSITION) != 0, &holder);
    if (!it) return Find(h) ? NoItem() : BadMenu();
    if ((flags & MF_POPUP) && !Find(reinterpret_cast<HMENU>(idNew))) return BadMenu();
    Item repl = FromFlags(flags, idNew, newItem);
    // A replaced sub-menu dies with the item it belonged to.
    if (it->sub && it->sub != repl.sub) DestroyMenu(it->sub);
    repl.checked = it->checked;
    repl.unchecked = it->unchecked;
    if (!(flags & MF_OWNERDRAW)) repl.data = it->data;
    *it = std::move(repl);
    Changed(holder);
    return TRUE;
}

BOOL WINAPI RemoveMenu(HMENU h, UINT position, UINT flags) {
    Menu* holder = nullptr;
    int pos = 0;
    if (!FindItem(h, position, (flags & MF_BYPOSITION) != 0, &holder, &pos)) return Find(h) ? NoItem() : BadMenu();
    holder->items.erase(holder->items.begin() + pos);
    if (holder->selected == pos) holder->selected = -1;
    else if (holder->selected > pos) --holder->selected;
    Changed(holder);
    return TRUE;
}

BOOL WINAPI DeleteMenu(HMENU h, UINT position, UINT flags) {
    Item* it = FindItem(h, position, (flags & MF_BYPOSITION) != 0);
    if (!it) return Find(h) ? NoItem() : BadMenu();
    const HMENU sub = it->sub;
    if (!RemoveMenu(h, position, flags)) return FALSE;
    if (sub) DestroyMenu(sub);
    return TRUE;
}

BOOL WINAPI GetMenuItemInfoW(HMENU h, UINT item, BOOL byPosition, LPMENUITEMINFOW mi) {
    if (!ValidInfo(mi)) return FALSE;
    Menu* holder = nullptr;
    int pos = 0;
    const Item* it = FindItem(h, item, byPosition, &holder, &pos);
    if (!it) return Find(h) ? NoItem() : BadMenu();
    auto copyText = [&] {
        const UINT len = UINT(it->text.size());
        if (mi->dwTypeData && mi->cch) {
            const UINT n = std::min(len, mi->cch - 1);
            std::copy_n(it->text.data(), n, mi->dwTypeData);
            mi->dwTypeData[n] = 0;
            mi->cch = n;
        } else {
            mi->cch = len;
        }
    };
    const UINT state = it->state | (holder->selected == pos ? MFS_HILITE : 0);
    if (mi->fMask & MIIM_TYPE) {
        mi->fType = it->type;
        if (it->type & MFT_BITMAP) {
            mi->dwTypeData = reinterpret_cast<LPWSTR>(it->bitmap);
            mi->cch = 0;
        } else if (!(it->type & (MFT_SEPARATOR | MFT_OWNERDRAW))) {
            copyText();
        } else {
            mi->cch = 0;
        }
    }
    if (mi->fMask & MIIM_FTYPE) mi->fType = it->type;
    if (mi->fMask & MIIM_STRING) copyText();
    if (mi->fMask & MIIM_STATE) mi->fState = state;
    if (mi->fMask & MIIM_ID) mi->wID = it->id;
    if (mi->fMask & MIIM_SUBMENU) mi->hSubMenu = it->sub;
    if (mi->fMask & MIIM_CHECKMARKS) {
        mi->hbmpChecked = it->checked;
        mi->hbmpUnchecked = it->unchecked;
    }
    if (mi->fMask & MIIM_DATA) mi->dwItemData = it->data;
    if ((mi->fMask & MIIM_BITMAP) && mi->cbSize == sizeof(MENUITEMINFOW))
        mi->hbmpItem = (it->type & MFT_BITMAP) ? nullptr : it->bitmap;
    return TRUE;
}

BOOL WINAPI SetMenuItemInfoW(HMENU h, UINT item, BOOL byPosition, LPCMENUITEMINFOW mi) {
    if (!ValidInfo(mi)) return FALSE;
    Menu* holder = nullptr;
    Item* it = FindItem(h, item, byPosition, &holder);
    if (!it) return Find(h) ? NoItem() : BadMenu();
    Item copy = *it;
    if (!ApplyInfo(copy, *mi)) return BadMenu();
    *it = std::move(copy);
    Changed(holder);
    return TRUE;
}

int WINAPI GetMenuItemCount(HMENU h) {
    Menu* m = Find(h);
    if (!m) {
        BadMenu();
        return -1;
    }
    return int(m->items.size());
}

UINT WINAPI GetMenuItemID(HMENU h, int pos) {
    const Item* it = pos < 0 ? nullptr : FindItem(h, UINT(pos), true);
    if (!it || it->sub) return UINT(-1);
    return it->id;
}

HMENU WINAPI GetSubMenu(HMENU h, int pos) {
    const Item* it = pos < 0 ? nullptr : FindItem(h, UINT(pos), true);
    return it && Find(it->sub) ? it->sub : nullptr;
}

int WINAPI GetMenuStringW(HMENU h, UINT id, LPWSTR buf, int max, UINT flags) {
    const Item* it = FindItem(h, id, (flags & MF_BYPOSITION) != 0);
    if (!it) return 0;
    const int len = it->hasText ? int(it->text.size()) : 0;
    if (!buf) return len;
    if (max <= 0) return 0;
    const int n = std::min(len, max - 1);
    std::copy_n(it->text.data(), n, buf);
    buf[n] = 0;
    return n;
}

BOOL WINAPI EnableMenuItem(HMENU h, UINT id, UINT enable) {
    Menu* holder = nullptr;
    Item* it = FindItem(h, id, (enable & MF_BYPOSITION) != 0, &holder);
    if (!it) return -1;
    const UINT old = it->state & (MF_GRAYED | MF_DISABLED);
    it->state = (it->state & ~UINT(MF_GRAYED | MF_DISABLED)) | (enable & (MF_GRAYED | MF_DISABLED));
    if (old != (it->state & (MF_GRAYED | MF_DISABLED))) Changed(holder);
    return BOOL(old);
}

DWORD WINAPI CheckMenuItem(HMENU h, UINT id, UINT check) {
    Menu* holder = nullptr;
    Item* it = FindItem(h, id, (check & MF_BYPOSITION) != 0, &holder);
    if (!it) return DWORD(-1);
    const DWORD old = it->state & MF_CHECKED;
    it->state = (it->state & ~UINT(MF_CHECKED)) | (check & MF_CHECKED);
    if (holder->window) InvalidateRect(holder->window, nullptr, TRUE);
    return old;
}

BOOL WINAPI CheckMenuRadioItem(HMENU h, UINT first, UINT last, UINT check, UINT flags) {
    const bool byPos = (flags & MF_BYPOSITION) != 0;
    Menu *mFirst = nullptr, *mLast = nullptr, *mCheck = nullptr;
    int pFirst = 0, pLast = 0, pCheck = 0;
    if (!FindItem(h, first, byPos, &mFirst, &pFirst) || !FindItem(h, last, byPos, &mLast, &pLast) ||
        !FindItem(h, check, byPos, &mCheck, &pCheck))
        return FALSE;
    // The group is a run of items of one menu.
    if (mFirst != mLast || mFirst != mCheck || pFirst > pLast || pCheck < pFirst || pCheck > pLast) return FALSE;
    for (int i = pFirst; i <= pLast; ++i) {
        Item& it = mFirst->items[size_t(i)];
        if (i == pCheck) {
            it.state |= MFS_CHECKED;
            it.type |= MFT_RADIOCHECK;
        } else {
            it.state &= ~UINT(MFS_CHECKED);
        }
    }
    if (mFirst->window) InvalidateRect(mFirst->window, nullptr, TRUE);
    return TRUE;
}

UINT WINAPI GetMenuState(HMENU h, UINT id, UINT flags) {
    Menu* holder = nullptr;
    int pos = 0;
    const Item* it = FindItem(h, id, (flags & MF_BYPOSITION) != 0, &holder, &pos);
    if (!it) return UINT(-1);
    const UINT bits = (it->state | (it->type & ~UINT(MFT_RADIOCHECK)) | (holder->selected == pos ? MF_HILITE : 0)) & 0xFFFF;
    if (const Menu* sub = Find(it->sub)) return MAKEWORD(bits & 0xFF, std::min<size_t>(sub->items.size(), 255)) | MF_POPUP;
    return bits;
}

BOOL WINAPI HiliteMenuItem(HWND hwnd, HMENU h, UINT id, UINT hilite) {
    Menu* holder = nullptr;
    int pos = 0;
    if (!FindItem(h, id, (hilite & MF_BYPOSITION) != 0, &holder, &pos)) return FALSE;
    if (hilite & MF_HILITE) holder->selected = pos;
    else if (holder->selected == pos) holder->selected = -1;
    if (holder->barOwner == hwnd && IsWindow(hwnd)) DrawMenuBar(hwnd);
    return TRUE;
}

BOOL WINAPI SetMenuDefaultItem(HMENU h, UINT item, UINT byPos) {
    Menu* m = Find(h);
    if (!m) return BadMenu();
    for (Item& it : m->items) it.state &= ~UINT(MFS_DEFAULT);
    m->laidOut = false;
    if (item == UINT(-1)) return TRUE;
    // A default item is one of the menu's own, not of a sub-menu.
    Item* it = nullptr;
    if (byPos) it = item < m->items.size() ? &m->items[item] : nullptr;
    else
        for (Item& x : m->items)
            if (x.id == item && !x.sub) it = &x;
    if (!it) return NoItem();
    it->state |= MFS_DEFAULT;
    return TRUE;
}

UINT WINAPI GetMenuDefaultItem(HMENU h, UINT byPos, UINT flags) {
    Menu* m = Find(h);
    if (!m) return UINT(-1);
    for (size_t i = 0; i < m->items.size(); ++i) {
        const Item& it = m->items[i];
        if (!(it.state & MFS_DEFAULT)) continue;
        if (it.Disabled() && !(flags & 0x0001)) return UINT(-1);  // GMDI_USEDISABLED
        return byPos ? UINT(i) : it.id;
    }
    return UINT(-1);
}

BOOL WINAPI GetMenuItemRect(HWND hwnd, HMENU h, UINT pos, LPRECT out) {
    Menu* m = Find(h);
    if (!m || !out || pos >= m->items.size()) return FALSE;
    const Item& it = m->items[pos];
    if (m->window && IsWindow(m->window)) {
        // Where the layout puts the item in the pop-up, as if it did not scroll.
        POINT o{0, 0};
        ClientToScreen(m->window, &o);
        *out = it.rect;
        OffsetRect(out, o.x, o.y + (ScrollsItself(m) ? ScrollArrowHeight : 0));
        return TRUE;
    }
    const HWND barWnd = hwnd ? hwnd : m->barOwner;
    if (Window* w = Get(barWnd); w && BarMenuOf(w) == h) {
        const POINT o = WindowOrigin(w);
        *out = it.rect;
        OffsetRect(out, o.x, o.y);
        return TRUE;
    }
    return FALSE;
}

int WINAPI MenuItemFromPoint(HWND hwnd, HMENU h, POINT pt) {
    Menu* m = Find(h);
    if (!m) return -1;
    for (UINT i = 0; i < m->items.size(); ++i) {
        RECT r;
        if (!GetMenuItemRect(hwnd, h, i, &r)) return -1;
        if (m->window && ScrollsItself(m)) OffsetRect(&r, 0, -m->scroll);
        if (PtInRect(&r, pt)) return int(i);
    }
    return -1;
}

LONG WINAPI GetMenuCheckMarkDimensions(void) {
    return MAKELONG(GetSystemMetrics(SM_CXMENUCHECK), GetSystemMetrics(SM_CYMENUCHECK));
}

HMENU WINAPI GetMenu(HWND hwnd) {
    const Window* w = Get(hwnd);
    if (!w || (w->style & WS_CHILD)) return nullptr;
    return reinterpret_cast<HMENU>(w->id);
}

BOOL WINAPI SetMenu(HWND hwnd, HMENU h) {
    Window* w = Get(hwnd);
    if (!w || (w->style & WS_CHILD)) return FALSE;
    if (h && !Find(h)) return BadMenu();
    if (Menu* old = Find(reinterpret_cast<HMENU>(w->id))) old->barOwner = nullptr;
    w->id = reinterpret_cast<LONG_PTR>(h);
    if (Menu* m = Find(h)) m->barOwner = hwnd;
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    return TRUE;
}

BOOL WINAPI DrawMenuBar(HWND hwnd) {
    Window* w = Get(hwnd);
    if (!w) return FALSE;
    if (!BarMenuOf(w)) return TRUE;
    // Items may have changed their size: the bar is laid out again with the frame.
    return SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

HMENU WINAPI GetSystemMenu(HWND hwnd, BOOL revert) {
    Window* w = Get(hwnd);
    if (!w) return nullptr;
    if (revert) {
        // The copy goes; the next call makes the standard one again.
        if (HMENU h = SystemMenuOf(hwnd, false)) {
            DestroyMenu(h);
            Menus().systemMenus.erase(hwnd);
        }
        return nullptr;
    }
    if (!(w->style & WS_SYSMENU)) return nullptr;
    const HMENU h = SystemMenuOf(hwnd, true);
    UpdateSystemMenu(hwnd, h);
    return h;
}

} // extern "C"
