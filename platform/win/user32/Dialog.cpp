// The dialog manager: "#32770" windows built from in-memory templates, DefDlgProcW, modal loops,
// keyboard navigation (IsDialogMessageW) and the dialog-item helpers.
#include "win/user32/controls/Controls.h"
#include "win/user32/Dialog.h"

#include <QString>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace twuser {

namespace {

struct DialogInfo {
    HFONT font = nullptr;
    bool ownsFont = false;
    SIZE base{0, 0};  // dialog base units of the font
    WORD defId = 0;
    HWND savedFocus = nullptr;
    bool modal = false;
    bool ended = false;
    INT_PTR result = 0;
};

std::map<HWND, DialogInfo>& Dialogs() {
    static auto* m = new std::map<HWND, DialogInfo>();
    return *m;
}

DialogInfo* InfoOf(HWND h) {
    auto it = Dialogs().find(h);
    return it == Dialogs().end() ? nullptr : &it->second;
}

// a * b / c rounded half away from zero, as dialog units convert.
int Scale(int a, int b, int c) {
    const long long p = (long long)a * b;
    return int(p >= 0 ? (p + c / 2) / c : (p - c / 2) / c);
}

// ---- templates ----

struct ItemTemplate {
    DWORD style = 0, exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    DWORD id = 0;
    std::u16string cls;
    std::u16string title;
    bool titleIsOrdinal = false;
    WORD titleOrdinal = 0;
    const BYTE* data = nullptr;  // the creation data, its size WORD first
};

struct DialogTemplate {
    DWORD style = 0, exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::u16string menu, cls, title;
    WORD pointSize = 0, weight = FW_NORMAL;
    BYTE italic = 0, charset = DEFAULT_CHARSET;
    std::u16string face;
    std::vector<ItemTemplate> items;
};

struct Reader {
    const BYTE* p;
    WORD Word() {
        WORD v;
        std::memcpy(&v, p, 2);
        p += 2;
        return v;
    }
    DWORD Dword() {
        DWORD v;
        std::memcpy(&v, p, 4);
        p += 4;
        return v;
    }
    short Short() { return short(Word()); }
    std::u16string String() {
        std::u16string s;
        for (WORD c = Word(); c; c = Word()) s.push_back(char16_t(c));
        return s;
    }
    // A string, or 0xFFFF and an ordinal, or an empty 0x0000.
    std::u16string SzOrOrd(bool* isOrdinal = nullptr, WORD* ordinal = nullptr) {
        WORD first;
        std::memcpy(&first, p, 2);
        if (first == 0xFFFF) {
            p += 2;
            const WORD ord = Word();
            if (isOrdinal) *isOrdinal = true;
            if (ordinal) *ordinal = ord;
            return u"#" + std::u16string(QString::number(ord).toStdU16String());
        }
        return String();
    }
    void AlignDword(const BYTE* base) {
        while ((p - base) % 4) ++p;
    }
};

std::u16string ItemClass(Reader& r) {
    bool ord = false;
    WORD atom = 0;
    std::u16string s = r.SzOrOrd(&ord, &atom);
    if (!ord) return s;
    switch (atom) {
    case 0x80: return u"Button";
    case 0x81: return u"Edit";
    case 0x82: return u"Static";
    case 0x83: return u"ListBox";
    case 0x84: return u"ScrollBar";
    case 0x85: return u"ComboBox";
    default: return s;
    }
}

DialogTemplate Parse(const DLGTEMPLATE* t) {
    DialogTemplate d;
    const BYTE* base = reinterpret_cast<const BYTE*>(t);
    Reader r{base};
    WORD sig[2];
    std::memcpy(sig, base, 4);
    const bool ext = sig[0] == 1 && sig[1] == 0xFFFF;
    WORD count = 0;
    if (ext) {
        r.p += 4;
        r.Dword();  // help id
        d.exStyle = r.Dword();
        d.style = r.Dword();
    } else {
        d.style = r.Dword();
        d.exStyle = r.Dword();
    }
    count = r.Word();
    d.x = r.Short(), d.y = r.Short(), d.cx = r.Short(), d.cy = r.Short();
    d.menu = r.SzOrOrd();
    bool clsOrd = false;
    WORD clsAtom = 0;
    d.cls = r.SzOrOrd(&clsOrd, &clsAtom);
    d.title = r.String();
    if (d.style & DS_SETFONT) {
        d.pointSize = r.Word();
        if (ext) {
            d.weight = r.Word();
            d.italic = *r.p++;
            d.charset = *r.p++;
        }
        d.face = r.String();
    }
    for (WORD i = 0; i < count; ++i) {
        r.AlignDword(base);
        ItemTemplate it;
        if (ext) {
            r.Dword();  // help id
            it.exStyle = r.Dword();
            it.style = r.Dword();
        } else {
            it.style = r.Dword();
            it.exStyle = r.Dword();
        }
        it.x = r.Short(), it.y = r.Short(), it.cx = r.Short(), it.cy = r.Short();
        it.id = ext ? r.Dword() : r.Word();
        it.cls = ItemClass(r);
        it.title = r.SzOrOrd(&it.titleIsOrdinal, &it.titleOrdinal);
        const WORD extra = r.Word();
        if (extra) {
            it.data = r.p - 2;
            r.p += extra;
        }
        d.items.push_back(std::move(it));
    }
    return d;
}

SIZE BaseUnitsOf(HFONT font) {
    HDC hdc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(hdc, font);
    TEXTMETRICW tm{};
    GetTextMetricsW(hdc, &tm);
    SIZE sz{0, 0};
    static const char16_t alphabet[] = u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    GetTextExtentPoint32W(hdc, alphabet, 52, &sz);
    SelectObject(hdc, old);
    ReleaseDC(nullptr, hdc);
    return SIZE{(sz.cx / 26 + 1) / 2, tm.tmHeight};
}

RECT DluToPixels(const SIZE& base, int x, int y, int cx, int cy) {
    return RECT{Scale(x, base.cx, 4), Scale(y, base.cy, 8), Scale(x + cx, base.cx, 4), Scale(y + cy, base.cy, 8)};
}

// ---- focus and the default button ----

bool IsPushButton(HWND h) {
    return h && (SendMessageW(h, WM_GETDLGCODE, 0, 0) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON));
}

// The focused push button shows as the default one; when the focus is elsewhere the dialog's default
// button does.
void ShowDefaultButton(HWND dlg, HWND focus) {
    DialogInfo* info = InfoOf(dlg);
    const WORD defId = info && info->defId ? info->defId : 0;
    const HWND def = defId ? GetDlgItem(dlg, defId) : nullptr;
    const HWND shown = IsPushButton(focus) ? focus : def;
    std::vector<HWND> buttons;
    for (HWND c = GetWindow(dlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        if (IsPushButton(c)) buttons.push_back(c);
    for (HWND b : buttons) {
        const bool isDef = SendMessageW(b, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON;
        if (b == shown && !isDef) SendMessageW(b, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
        else if (b != shown && isDef) SendMessageW(b, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    }
}

void DialogSetFocus(HWND dlg, HWND ctl) {
    if (!ctl) return;
    if (SendMessageW(ctl, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) SendMessageW(ctl, EM_SETSEL, 0, -1);
    SetFocus(ctl);
    ShowDefaultButton(dlg, ctl);
}

bool Reachable(HWND h);

// The controls of a dialog in Tab order: children in z-order, entering WS_EX_CONTROLPARENT containers.
void CollectControls(HWND parent, std::vector<HWND>& out) {
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        const LONG ex = GetWindowLongW(c, GWL_EXSTYLE);
        if ((ex & WS_EX_CONTROLPARENT) && Reachable(c)) CollectControls(c, out);
        else out.push_back(c);
    }
}

// Visible and enabled in its own right: a dialog not shown yet still has reachable controls.
bool Reachable(HWND h) {
    const LONG style = GetWindowLongW(h, GWL_STYLE);
    return (style & WS_VISIBLE) && !(style & WS_DISABLED);
}

HWND FindMnemonic(HWND dlg, char16_t key) {
    std::vector<HWND> all;
    CollectControls(dlg, all);
    const char16_t want = QChar(key).toUpper().unicode();
    for (size_t i = 0; i < all.size(); ++i) {
        const HWND c = all[i];
        if (!Reachable(c)) continue;
        const std::u16string text = controls::TextOf(c);
        for (size_t k = 0; k + 1 < text.size(); ++k) {
            if (text[k] != u'&') continue;
            if (text[k + 1] == u'&') {
                ++k;
                continue;
            }
            if (QChar(text[k + 1]).toUpper().unicode() == want) return c;
            break;
        }
    }
    return nullptr;
}

bool HandleMnemonic(HWND dlg, char16_t key) {
    HWND c = FindMnemonic(dlg, key);
    if (!c) return false;
    const LRESULT code = SendMessageW(c, WM_GETDLGCODE, 0, 0);
    if (code & DLGC_STATIC) {
        // A label hands the focus to the control after it: the dialog is told to go to the label, then on.
        SendMessageW(dlg, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(c), TRUE);
        SendMessageW(dlg, WM_NEXTDLGCTL, 0, FALSE);
        return true;
    }
    if (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) {
        SendMessageW(c, BM_CLICK, 0, 0);
        return true;
    }
    DialogSetFocus(dlg, c);
    if (code & DLGC_BUTTON) SendMessageW(c, BM_CLICK, 0, 0);
    return true;
}

// Keyboard use shows the focus (and accelerator) cues; the dialog hears of it only when they were hidden.
void ShowCues(HWND dlg, WORD flags) {
    const WORD hidden = WORD(DefWindowProcW(dlg, WM_QUERYUISTATE, 0, 0) & flags);
    if (hidden) SendMessageW(dlg, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, hidden), 0);
}

void PressButton(HWND dlg, int id) {
    const HWND b = GetDlgItem(dlg, id);
    if (b && !IsWindowEnabled(b)) {
        MessageBeep(0);
        return;
    }
    SendMessageW(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(b));
}

// The top dialog of a control (the window IsDialogMessageW was given, or its ancestor holding controls).
bool InDialog(HWND dlg, HWND h) { return h == dlg || IsChild(dlg, h); }

} // namespace

HWND CreateDialogFromTemplate(HINSTANCE inst, const DLGTEMPLATE* t, HWND parent, DLGPROC proc, LPARAM param,
                              bool modal) {
    if (!t) return nullptr;
    const DialogTemplate d = Parse(t);
    HFONT font = nullptr;
    bool ownsFont = false;
    if (d.style & DS_SETFONT) {
        const int height = d.pointSize == 0x7FFF ? 0 : -Scale(d.pointSize, 96, 72);
        font = CreateFontW(height, 0, 0, 0, d.weight, d.italic, FALSE, FALSE, d.charset, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, d.face.c_str());
        ownsFont = font != nullptr;
    }
    if (!font) font = controls::DefaultGuiFont();
    const SIZE base = BaseUnitsOf(font);

    DWORD style = d.style & ~WS_VISIBLE;
    DWORD exStyle = d.exStyle;
    if (d.style & DS_MODALFRAME) exStyle |= WS_EX_DLGMODALFRAME;
    if (d.style & DS_CONTROL) {
        style &= ~(WS_CAPTION | WS_SYSMENU);
        exStyle |= WS_EX_CONTROLPARENT;
    }
    RECT r = DluToPixels(base, 0, 0, d.cx, d.cy);
    AdjustWindowRectEx(&r, style, !d.menu.empty(), exStyle);
    const int w = r.right - r.left, h = r.bottom - r.top;
    POINT pos{Scale(d.x, base.cx, 4), Scale(d.y, base.cy, 8)};
    const HWND owner = parent;
    if (d.style & DS_CENTER) {
        RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        if (owner && !(style & WS_CHILD)) GetWindowRect(GetAncestor(owner, GA_ROOT), &area);
        else SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
        pos = POINT{area.left + (area.right - area.left - w) / 2, area.top + (area.bottom - area.top - h) / 2};
    } else if (owner && !(style & WS_CHILD) && !(d.style & DS_ABSALIGN)) {
        ClientToScreen(owner, &pos);
    }
    const std::u16string cls = d.cls.empty() ? std::u16string(u"#32770") : d.cls;
    const HWND dlg = CreateWindowExW(exStyle, cls.c_str(), d.title.c_str(), style, pos.x, pos.y, w, h, owner, nullptr,
                                     inst, reinterpret_cast<LPVOID>(param));
    if (!dlg) {
        if (ownsFont) DeleteObject(font);
        return nullptr;
    }
    DialogInfo& info = Dialogs()[dlg];
    info.font = font;
    info.ownsFont = ownsFont;
    info.base = base;
    info.modal = modal;
    SetWindowLongPtrW(dlg, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(proc));
    if (d.style & DS_SETFONT) SendMessageW(dlg, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (!IsWindow(dlg)) return nullptr;

    for (const ItemTemplate& it : d.items) {
        const RECT ir = DluToPixels(base, it.x, it.y, it.cx, it.cy);
        const DWORD itemStyle = (it.style | WS_CHILD) & ~WS_POPUP;
        HWND c = CreateWindowExW(it.exStyle | WS_EX_NOPARENTNOTIFY, it.cls.c_str(),
                                 it.titleIsOrdinal ? u"" : it.title.c_str(), itemStyle, ir.left, ir.top,
                                 ir.right - ir.left, ir.bottom - ir.top, dlg,
                                 reinterpret_cast<HMENU>(UINT_PTR(it.id)), inst, const_cast<BYTE*>(it.data));
        if (!IsWindow(dlg)) return nullptr;
        if (!c) {
            if (d.style & DS_NOFAILCREATE) continue;
            DestroyWindow(dlg);
            return nullptr;
        }
        if (it.titleIsOrdinal && (it.style & SS_TYPEMASK) == SS_ICON && QString::fromStdU16String(it.cls).compare(u"static", Qt::CaseInsensitive) == 0)
            SendMessageW(c, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconW(inst, MAKEINTRESOURCEW(it.titleOrdinal))), 0);
        SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if ((GetWindowLongW(c, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON &&
            (SendMessageW(c, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON) && !InfoOf(dlg)->defId)
            InfoOf(dlg)->defId = WORD(it.id);
    }
    const HWND first = GetNextDlgTabItem(dlg, nullptr, FALSE);
    const LRESULT wantFocus = SendMessageW(dlg, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), param);
    if (!IsWindow(dlg)) return nullptr;
    if (wantFocus && first && IsWindow(first)) DialogSetFocus(dlg, first);
    // Shown, and painted when the program next pumps its queue.
    if (d.style & WS_VISIBLE) ShowWindow(dlg, SW_SHOWNORMAL);
    return IsWindow(dlg) ? dlg : nullptr;
}

INT_PTR RunModalDialog(HWND dlg, HWND owner) {
    DialogInfo* info = InfoOf(dlg);
    if (!info) return -1;
    if (!info->ended) {
        ShowWindow(dlg, SW_SHOWNORMAL);
        UpdateWindow(dlg);
    }
    const bool idleMessages = !(GetWindowLongW(dlg, GWL_STYLE) & DS_NOIDLEMSG);
    MSG msg{};
    while (IsWindow(dlg) && (info = InfoOf(dlg)) && !info->ended) {
        if (!PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (idleMessages && owner) SendMessageW(owner, WM_ENTERIDLE, MSGF_DIALOGBOX, reinterpret_cast<LPARAM>(dlg));
            if (!IsWindow(dlg) || !(info = InfoOf(dlg)) || info->ended) break;
        }
        if (!GetMessageW(&msg, nullptr, 0, 0)) {
            PostQuitMessage(int(msg.wParam));  // the outer loop must see it too
            break;
        }
        if (!CallMsgFilterW(&msg, MSGF_DIALOGBOX) && !IsDialogMessageW(dlg, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    info = IsWindow(dlg) ? InfoOf(dlg) : nullptr;
    const INT_PTR result = info ? info->result : -1;
    if (owner && IsWindow(owner)) EnableWindow(owner, TRUE);
    if (IsWindow(dlg)) DestroyWindow(dlg);
    return result;
}

namespace controls {

LRESULT CALLBACK DialogClassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) { return DefDlgProcW(hwnd, msg, wp, lp); }

} // namespace controls

} // namespace twuser

using namespace twuser;

extern "C" {

HWND WINAPI CreateDialogIndirectParamW(HINSTANCE inst, LPCDLGTEMPLATEW t, HWND parent, DLGPROC proc, LPARAM param) {
    return CreateDialogFromTemplate(inst, t, parent, proc, param, false);
}

INT_PTR WINAPI DialogBoxIndirectParamW(HINSTANCE inst, LPCDLGTEMPLATEW t, HWND parent, DLGPROC proc, LPARAM param) {
    HWND owner = parent ? GetAncestor(parent, GA_ROOT) : nullptr;
    const bool disable = owner && IsWindowEnabled(owner);
    const HWND dlg = CreateDialogFromTemplate(inst, t, owner, proc, param, true);
    if (!dlg) return -1;
    if (disable) EnableWindow(owner, FALSE);
    return RunModalDialog(dlg, disable ? owner : nullptr);
}

BOOL WINAPI EndDialog(HWND dlg, INT_PTR result) {
    DialogInfo* info = InfoOf(dlg);
    if (!info) return FALSE;
    info->ended = true;
    info->result = result;
    if (info->modal) {
        // The owner comes back before the dialog goes, so that activation returns to it.
        const HWND owner = GetWindow(dlg, GW_OWNER);
        if (owner) EnableWindow(owner, TRUE);
        SetWindowPos(dlg, nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
        if (owner && GetActiveWindow() == nullptr) SetActiveWindow(owner);
    }
    PostMessageW(dlg, WM_NULL, 0, 0);  // wakes the modal loop
    return TRUE;
}

LRESULT WINAPI DefDlgProcW(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    auto proc = reinterpret_cast<DLGPROC>(GetWindowLongPtrW(dlg, DWLP_DLGPROC));
    if (proc) {
        SetWindowLongPtrW(dlg, DWLP_MSGRESULT, 0);
        const INT_PTR handled = proc(dlg, msg, wp, lp);
        if (!IsWindow(dlg)) return handled;
        if (handled) {
            switch (msg) {
            case WM_CTLCOLORMSGBOX:
            case WM_CTLCOLOREDIT:
            case WM_CTLCOLORLISTBOX:
            case WM_CTLCOLORBTN:
            case WM_CTLCOLORDLG:
            case WM_CTLCOLORSCROLLBAR:
            case WM_CTLCOLORSTATIC:
            case WM_COMPAREITEM:
            case WM_VKEYTOITEM:
            case WM_CHARTOITEM:
            case WM_QUERYDRAGICON:
            case WM_INITDIALOG: return handled;
            default: return GetWindowLongPtrW(dlg, DWLP_MSGRESULT);
            }
        }
    }
    DialogInfo* info = InfoOf(dlg);
    switch (msg) {
    case WM_ERASEBKGND: {
        HDC hdc = reinterpret_cast<HDC>(wp);
        HBRUSH brush = reinterpret_cast<HBRUSH>(SendMessageW(dlg, WM_CTLCOLORDLG, wp, reinterpret_cast<LPARAM>(dlg)));
        if (!brush) brush = GetSysColorBrush(COLOR_BTNFACE);
        RECT rc;
        GetClientRect(dlg, &rc);
        FillRect(hdc, &rc, brush);
        return 1;
    }
    case WM_SETFONT:
        if (info) info->font = reinterpret_cast<HFONT>(wp);
        return 0;
    case WM_GETFONT: return info ? reinterpret_cast<LRESULT>(info->font) : 0;
    case WM_ACTIVATE:
        if (!info) break;
        if (LOWORD(wp) == WA_INACTIVE) {
            const HWND f = GetFocus();
            if (f && IsChild(dlg, f)) info->savedFocus = f;
        } else if (info->savedFocus && IsWindow(info->savedFocus) && IsChild(dlg, info->savedFocus)) {
            SetFocus(info->savedFocus);
        } else if (HWND first = GetNextDlgTabItem(dlg, nullptr, FALSE)) {
            DialogSetFocus(dlg, first);
        }
        return 0;
    case WM_SETFOCUS:
        if (info && info->savedFocus && IsWindow(info->savedFocus) && IsChild(dlg, info->savedFocus))
            SetFocus(info->savedFocus);
        else if (HWND first = GetNextDlgTabItem(dlg, nullptr, FALSE))
            DialogSetFocus(dlg, first);
        return 0;
    case WM_CLOSE: {
        const HWND cancel = GetDlgItem(dlg, IDCANCEL);
        if (cancel && !IsWindowEnabled(cancel)) {
            MessageBeep(0);
            return 0;
        }
        PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(cancel));
        return 0;
    }
    case DM_GETDEFID:
        return info && info->defId ? MAKELRESULT(info->defId, DC_HASDEFID) : 0;
    case DM_SETDEFID:
        if (!info) return FALSE;
        info->defId = WORD(wp);
        ShowDefaultButton(dlg, GetFocus());
        return TRUE;
    case DM_REPOSITION: return 0;
    case WM_NEXTDLGCTL: {
        HWND target = nullptr;
        if (LOWORD(lp)) target = reinterpret_cast<HWND>(wp);
        else target = GetNextDlgTabItem(dlg, GetFocus(), wp != 0);
        if (target && InDialog(dlg, target)) DialogSetFocus(dlg, target);
        return 0;
    }
    case WM_GETDLGCODE: return 0;
    case WM_NCDESTROY:
        if (info) {
            if (info->ownsFont) DeleteObject(info->font);
            Dialogs().erase(dlg);
        }
        break;
    default: break;
    }
    return DefWindowProcW(dlg, msg, wp, lp);
}

BOOL WINAPI IsDialogMessageW(HWND dlg, LPMSG m) {
    if (!dlg || !m || !InDialog(dlg, m->hwnd)) return FALSE;
    switch (m->message) {
    case WM_KEYDOWN: {
        const LRESULT code = SendMessageW(m->hwnd, WM_GETDLGCODE, m->wParam, reinterpret_cast<LPARAM>(m));
        if (code & DLGC_WANTMESSAGE) break;
        switch (m->wParam) {
        case VK_TAB: {
            if (code & DLGC_WANTTAB) break;
            const bool back = GetKeyState(VK_SHIFT) < 0;
            ShowCues(dlg, UISF_HIDEFOCUS);
            SendMessageW(dlg, WM_NEXTDLGCTL, back, FALSE);
            return TRUE;
        }
        case VK_LEFT:
        case VK_UP:
        case VK_RIGHT:
        case VK_DOWN: {
            if (code & DLGC_WANTARROWS) break;
            const bool back = m->wParam == VK_LEFT || m->wParam == VK_UP;
            ShowCues(dlg, UISF_HIDEFOCUS);
            // Within a group the focus moves directly, without WM_NEXTDLGCTL.
            const HWND next = GetNextDlgGroupItem(dlg, m->hwnd, back);
            if (next && next != m->hwnd) DialogSetFocus(dlg, next);
            return TRUE;
        }
        case VK_RETURN: {
            if (code & DLGC_WANTALLKEYS) break;
            const HWND focus = GetFocus();
            // A push button the dialog made default by moving the focus to it answers for itself;
            // otherwise the dialog's default (DM_GETDEFID) does.
            if (focus && IsPushButton(focus) && InDialog(dlg, focus) && IsWindowEnabled(focus) &&
                (SendMessageW(focus, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON)) {
                SendMessageW(dlg, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(focus), BN_CLICKED),
                             reinterpret_cast<LPARAM>(focus));
                return TRUE;
            }
            const LRESULT def = SendMessageW(dlg, DM_GETDEFID, 0, 0);
            PressButton(dlg, HIWORD(def) == DC_HASDEFID ? LOWORD(def) : IDOK);
            return TRUE;
        }
        case VK_ESCAPE:
            if (code & DLGC_WANTALLKEYS) break;
            PressButton(dlg, IDCANCEL);
            return TRUE;
        default: break;
        }
        break;
    }
    case WM_CHAR: {
        const LRESULT code = SendMessageW(m->hwnd, WM_GETDLGCODE, m->wParam, reinterpret_cast<LPARAM>(m));
        if (code & (DLGC_WANTCHARS | DLGC_WANTMESSAGE)) break;
        if (m->wParam == u'\t' && (code & DLGC_WANTTAB)) break;
        if (m->wParam >= 0x20 && HandleMnemonic(dlg, char16_t(m->wParam))) return TRUE;
        break;
    }
    case WM_SYSCHAR:
        if (HandleMnemonic(dlg, char16_t(m->wParam))) {
            ShowCues(dlg, UISF_HIDEACCEL | UISF_HIDEFOCUS);
            return TRUE;
        }
        break;
    default: break;
    }
    TranslateMessage(m);
    DispatchMessageW(m);
    return TRUE;
}

HWND WINAPI GetNextDlgTabItem(HWND dlg, HWND ctl, BOOL previous) {
    std::vector<HWND> all;
    CollectControls(dlg, all);
    if (all.empty()) return nullptr;
    const size_t n = all.size();
    size_t start = previous ? 0 : n - 1;  // so that the first step lands on the first (or last) control
    if (ctl) {
        auto it = std::find(all.begin(), all.end(), ctl);
        if (it != all.end()) start = size_t(it - all.begin());
    }
    for (size_t step = 1; step <= n; ++step) {
        const size_t i = previous ? (start + n - step) % n : (start + step) % n;
        const HWND c = all[i];
        if (Reachable(c) && (GetWindowLongW(c, GWL_STYLE) & WS_TABSTOP)) return c;
    }
    return ctl;
}

HWND WINAPI GetNextDlgGroupItem(HWND dlg, HWND ctl, BOOL previous) {
    if (!ctl || !IsWindow(ctl)) return GetNextDlgTabItem(dlg, nullptr, previous);
    const HWND parent = GetParent(ctl);
    std::vector<HWND> siblings;
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) siblings.push_back(c);
    const size_t at = size_t(std::find(siblings.begin(), siblings.end(), ctl) - siblings.begin());
    if (at >= siblings.size()) return ctl;
    // The group runs from the nearest WS_GROUP at or before ctl to the next WS_GROUP.
    size_t first = at;
    while (first > 0 && !(GetWindowLongW(siblings[first], GWL_STYLE) & WS_GROUP)) --first;
    size_t last = at + 1;
    while (last < siblings.size() && !(GetWindowLongW(siblings[last], GWL_STYLE) & WS_GROUP)) ++last;
    const size_t n = last - first;
    for (size_t step = 1; step < n; ++step) {
        const size_t i = first + (previous ? (at - first + n - step) % n : (at - first + step) % n);
        if (Reachable(siblings[i])) return siblings[i];
    }
    return ctl;
}

BOOL WINAPI SetDlgItemTextW(HWND dlg, int id, LPCWSTR text) {
    const HWND c = GetDlgItem(dlg, id);
    return c ? SetWindowTextW(c, text) : FALSE;
}

UINT WINAPI GetDlgItemTextW(HWND dlg, int id, LPWSTR text, int max) {
    const HWND c = GetDlgItem(dlg, id);
    if (!c) {
        if (text && max > 0) text[0] = 0;
        return 0;
    }
    return UINT(GetWindowTextW(c, text, max));
}

BOOL WINAPI SetDlgItemInt(HWND dlg, int id, UINT value, BOOL isSigned) {
    const QString s = isSigned ? QString::number(int(value)) : QString::number(value);
    return SetDlgItemTextW(dlg, id, reinterpret_cast<LPCWSTR>(s.utf16()));
}

UINT WINAPI GetDlgItemInt(HWND dlg, int id, BOOL* ok, BOOL isSigned) {
    if (ok) *ok = FALSE;
    const HWND c = GetDlgItem(dlg, id);
    if (!c) return 0;
    const QString s = QString::fromStdU16String(controls::TextOf(c)).trimmed();
    bool good = false;
    const qlonglong v = s.toLongLong(&good);
    if (!good || (!isSigned && v < 0) || v > (isSigned ? 0x7FFFFFFFLL : 0xFFFFFFFFLL) || v < -0x80000000LL) return 0;
    if (ok) *ok = TRUE;
    return UINT(v);
}

LRESULT WINAPI SendDlgItemMessageW(HWND dlg, int id, UINT msg, WPARAM wp, LPARAM lp) {
    const HWND c = GetDlgItem(dlg, id);
    return c ? SendMessageW(c, msg, wp, lp) : 0;
}

BOOL WINAPI CheckDlgButton(HWND dlg, int id, UINT check) {
    const HWND c = GetDlgItem(dlg, id);
    if (!c) return FALSE;
    SendMessageW(c, BM_SETCHECK, check, 0);
    return TRUE;
}

UINT WINAPI IsDlgButtonChecked(HWND dlg, int id) {
    const HWND c = GetDlgItem(dlg, id);
    return c ? UINT(SendMessageW(c, BM_GETCHECK, 0, 0)) : 0;
}

BOOL WINAPI CheckRadioButton(HWND dlg, int first, int last, int check) {
    bool any = false;
    for (int id = first; id <= last; ++id) {
        const HWND c = GetDlgItem(dlg, id);
        if (!c) continue;
        any = true;
        SendMessageW(c, BM_SETCHECK, id == check ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    return any;
}

BOOL WINAPI MapDialogRect(HWND dlg, LPRECT r) {
    DialogInfo* info = InfoOf(dlg);
    if (!info || !r) return FALSE;
    *r = DluToPixels(info->base, r->left, r->top, r->right - r->left, r->bottom - r->top);
    return TRUE;
}

LONG WINAPI GetDialogBaseUnits(void) {
    const SIZE b = BaseUnitsOf(reinterpret_cast<HFONT>(GetStockObject(SYSTEM_FONT)));
    return MAKELONG(b.cx, b.cy);
}

} // extern "C"
