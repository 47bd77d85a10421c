// Input: the raw input queue fed by the presentation (or tests), hit testing and capture when a message
// is taken, double clicks, key state that follows the queue, keyboard translation with our own
// virtual-key table, mouse tracking, and the window state input depends on: enabled, focus,
// activation and capture.
#include "win/user32/WindowModel.h"

#include <algorithm>
#include <cstdlib>

namespace twuser {

namespace {

struct ScanEntry {
    UINT vk;
    UINT scan;
    const char16_t* name;
};

const ScanEntry ScanTable[] = {
    {VK_ESCAPE, 0x01, u"Esc"},  {'1', 0x02, u"1"},       {'2', 0x03, u"2"},          {'3', 0x04, u"3"},
    {'4', 0x05, u"4"},          {'5', 0x06, u"5"},       {'6', 0x07, u"6"},          {'7', 0x08, u"7"},
    {'8', 0x09, u"8"},          {'9', 0x0A, u"9"},       {'0', 0x0B, u"0"},          {VK_OEM_MINUS, 0x0C, u"-"},
    {VK_OEM_PLUS, 0x0D, u"="},  {VK_BACK, 0x0E, u"Backspace"}, {VK_TAB, 0x0F, u"Tab"}, {'Q', 0x10, u"Q"},
    {'W', 0x11, u"W"},          {'E', 0x12, u"E"},       {'R', 0x13, u"R"},          {'T', 0x14, u"T"},
    {'Y', 0x15, u"Y"},          {'U', 0x16, u"U"},       {'I', 0x17, u"I"},          {'O', 0x18, u"O"},
    {'P', 0x19, u"P"},          {VK_OEM_4, 0x1A, u"["},  {VK_OEM_6, 0x1B, u"]"},     {VK_RETURN, 0x1C, u"Enter"},
    {VK_CONTROL, 0x1D, u"Ctrl"}, {'A', 0x1E, u"A"},      {'S', 0x1F, u"S"},          {'D', 0x20, u"D"},
    {'F', 0x21, u"F"},          {'G', 0x22, u"G"},       {'H', 0x23, u"H"},          {'J', 0x24, u"J"},
    {'K', 0x25, u"K"},          {'L', 0x26, u"L"},       {VK_OEM_1, 0x27, u";"},     {VK_OEM_7, 0x28, u"'"},
    {VK_OEM_3, 0x29, u"`"},     {VK_SHIFT, 0x2A, u"Shift"}, {VK_OEM_5, 0x2B, u"\\"}, {'Z', 0x2C, u"Z"},
    {'X', 0x2D, u"X"},          {'C', 0x2E, u"C"},       {'V', 0x2F, u"V"},          {'B', 0x30, u"B"},
    {'N', 0x31, u"N"},          {'M', 0x32, u"M"},       {VK_OEM_COMMA, 0x33, u","}, {VK_OEM_PERIOD, 0x34, u"."},
    {VK_OEM_2, 0x35, u"/"},     {VK_MULTIPLY, 0x37, u"Num *"}, {VK_MENU, 0x38, u"Alt"}, {VK_SPACE, 0x39, u"Space"},
    {VK_CAPITAL, 0x3A, u"Caps Lock"}, {VK_F1, 0x3B, u"F1"}, {VK_F2, 0x3C, u"F2"},    {VK_F3, 0x3D, u"F3"},
    {VK_F4, 0x3E, u"F4"},       {VK_F5, 0x3F, u"F5"},    {VK_F6, 0x40, u"F6"},       {VK_F7, 0x41, u"F7"},
    {VK_F8, 0x42, u"F8"},       {VK_F9, 0x43, u"F9"},    {VK_F10, 0x44, u"F10"},     {VK_NUMLOCK, 0x45, u"Num Lock"},
    {VK_SCROLL, 0x46, u"Scroll Lock"}, {VK_HOME, 0x47, u"Home"}, {VK_UP, 0x48, u"Up"}, {VK_PRIOR, 0x49, u"Page Up"},
    {VK_SUBTRACT, 0x4A, u"Num -"}, {VK_LEFT, 0x4B, u"Left"}, {VK_CLEAR, 0x4C, u"Num 5"}, {VK_RIGHT, 0x4D, u"Right"},
    {VK_ADD, 0x4E, u"Num +"},   {VK_END, 0x4F, u"End"},  {VK_DOWN, 0x50, u"Down"},   {VK_NEXT, 0x51, u"Page Down"},
    {VK_INSERT, 0x52, u"Insert"}, {VK_DELETE, 0x53, u"Delete"}, {VK_F11, 0x57, u"F11"}, {VK_F12, 0x58, u"F12"},
    {VK_LWIN, 0x5B, u"Left Windows"}, {VK_APPS, 0x5D, u"Application"},
};

UINT ScanOf(UINT vk) {
    for (const auto& e : ScanTable)
        if (e.vk == vk) return e.scan;
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) {
        static const UINT pad[] = {0x52, 0x4F, 0x50, 0x51, 0x4B, 0x4C, 0x4D, 0x47, 0x48, 0x49};
        return pad[vk - VK_NUMPAD0];
    }
    return 0;
}

bool Down(BYTE state) { return state & 0x80; }

void SetKey(BYTE* table, UINT vk, bool down) {
    if (vk > 255) return;
    if (down) {
        if (!(table[vk] & 0x80)) table[vk] ^= 1;  // toggles on each new press
        table[vk] |= 0x80;
    } else {
        table[vk] &= ~0x80;
    }
    // Left and right keys also move their generic key.
    auto generic = [&](UINT l, UINT r, UINT g) {
        if (vk == l || vk == r) {
            if (down) table[g] |= 0x80;
            else if (!(table[l == vk ? r : l] & 0x80)) table[g] &= ~0x80;
        }
    };
    generic(VK_LSHIFT, VK_RSHIFT, VK_SHIFT);
    generic(VK_LCONTROL, VK_RCONTROL, VK_CONTROL);
    generic(VK_LMENU, VK_RMENU, VK_MENU);
}

UINT ButtonVk(int button) {
    switch (button) {
    case TW_BUTTON_LEFT: return VK_LBUTTON;
    case TW_BUTTON_RIGHT: return VK_RBUTTON;
    case TW_BUTTON_MIDDLE: return VK_MBUTTON;
    case TW_BUTTON_X1: return VK_XBUTTON1;
    case TW_BUTTON_X2: return VK_XBUTTON2;
    default: return 0;
    }
}

// Client message of a button: down, up, double click.
UINT ButtonMessage(int button, bool down, bool dbl) {
    UINT base = WM_LBUTTONDOWN;
    switch (button) {
    case TW_BUTTON_RIGHT: base = WM_RBUTTONDOWN; break;
    case TW_BUTTON_MIDDLE: base = WM_MBUTTONDOWN; break;
    case TW_BUTTON_X1:
    case TW_BUTTON_X2: base = WM_XBUTTONDOWN; break;
    default: break;
    }
    return down ? (dbl ? base + 2 : base) : base + 1;
}

WPARAM MouseKeys(const BYTE* k) {
    WPARAM mk = 0;
    if (Down(k[VK_LBUTTON])) mk |= MK_LBUTTON;
    if (Down(k[VK_RBUTTON])) mk |= MK_RBUTTON;
    if (Down(k[VK_MBUTTON])) mk |= MK_MBUTTON;
    if (Down(k[VK_XBUTTON1])) mk |= MK_XBUTTON1;
    if (Down(k[VK_XBUTTON2])) mk |= MK_XBUTTON2;
    if (Down(k[VK_SHIFT])) mk |= MK_SHIFT;
    if (Down(k[VK_CONTROL])) mk |= MK_CONTROL;
    return mk;
}

Window* HitIn(Window* w, POINT pt, int& hit) {
    const RECT cr = ScreenClientRect(w);
    if (PtInRect(&cr, pt)) {
        for (Window* c : std::vector<Window*>(w->children)) {
            if (!Get(c->handle) || !c->Visible() || !InWindowShape(c, pt)) continue;
            if ((c->style & (WS_CHILD | WS_DISABLED)) == (WS_CHILD | WS_DISABLED)) continue;
            const HWND ch = c->handle;
            if (Window* r = HitIn(c, pt, hit)) return r;
            if (!Get(ch)) continue;
        }
    }
    const HWND h = w->handle;
    hit = int(SHORT(Send(h, WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y))));
    if (!Get(h) || hit == HTTRANSPARENT) return nullptr;
    return Get(h);
}

Window* HitTest(POINT pt, int& hit) {
    for (Window* top : std::vector<Window*>(Desktop()->children)) {
        if (!Get(top->handle) || !top->Visible() || top->messageOnly || top->minimized || !InWindowShape(top, pt)) continue;
        if (top->style & WS_DISABLED) {
            hit = HTERROR;
            return top;
        }
        if (Window* r = HitIn(top, pt, hit)) return r;
    }
    return nullptr;
}

struct Resolved {
    HWND hwnd = nullptr;
    int hit = HTNOWHERE;
    MSG msg{};
    bool dbl = false;
};

bool ResolveMouse(const InputEvent& ev, Resolved& r) {
    auto& s = S();
    Window* target = nullptr;
    int hit = HTCLIENT;
    if (s.capture && Get(s.capture)) {
        target = Get(s.capture);
    } else {
        target = HitTest(ev.pt, hit);
    }
    if (!target) return false;
    r.hwnd = target->handle;
    r.hit = hit;
    BYTE keys[256];
    std::copy(std::begin(s.keyState), std::end(s.keyState), keys);
    if (ev.kind == InputEvent::Button) SetKey(keys, ButtonVk(ev.button), ev.down);
    const WPARAM mk = MouseKeys(keys);
    r.msg.hwnd = target->handle;
    r.msg.time = ev.time;
    r.msg.pt = ev.pt;
    if (ev.kind == InputEvent::Wheel) {
        r.msg.message = ev.horizontal ? WM_MOUSEHWHEEL : WM_MOUSEWHEEL;
        r.msg.wParam = MAKEWPARAM(mk, WORD(SHORT(ev.delta)));
        r.msg.lParam = MAKELPARAM(ev.pt.x, ev.pt.y);
        return true;
    }
    const bool client = hit == HTCLIENT;
    if (ev.kind == InputEvent::MouseMove) {
        r.msg.message = client ? WM_MOUSEMOVE : WM_NCMOUSEMOVE;
    } else {
        if (ev.down && hit != HTERROR) {
            const int cx = GetSystemMetrics(SM_CXDOUBLECLK) / 2, cy = GetSystemMetrics(SM_CYDOUBLECLK) / 2;
            const bool classWants = !client || (target->cls && (target->cls->style & CS_DBLCLKS));
            r.dbl = classWants && s.lastClickTime != 0 && s.lastClickHwnd == target->handle &&
                    s.lastClickMsg == ButtonMessage(ev.button, true, false) &&
                    ev.time - s.lastClickTime <= s.doubleClickTime && std::abs(ev.pt.x - s.lastClickPt.x) <= cx &&
                    std::abs(ev.pt.y - s.lastClickPt.y) <= cy;
        }
        UINT m = ButtonMessage(ev.button, ev.down, r.dbl);
        if (!client) m -= WM_MOUSEMOVE - WM_NCMOUSEMOVE;
        r.msg.message = m;
    }
    WPARAM wp = client ? mk : WPARAM(hit);
    if (ev.kind == InputEvent::Button && (ev.button == TW_BUTTON_X1 || ev.button == TW_BUTTON_X2))
        wp = MAKEWPARAM(LOWORD(wp), ev.button == TW_BUTTON_X1 ? 1 : 2);
    r.msg.wParam = wp;
    if (client) {
        const POINT o = ClientOrigin(target);
        r.msg.lParam = MAKELPARAM(ev.pt.x - o.x, ev.pt.y - o.y);
    } else {
        r.msg.lParam = MAKELPARAM(ev.pt.x, ev.pt.y);
    }
    return true;
}

bool ResolveKey(const InputEvent& ev, Resolved& r) {
    auto& s = S();
    HWND target = Get(s.focus) ? s.focus : nullptr;
    const bool noFocus = !target;
    if (!target) target = Get(s.active) ? s.active : nullptr;
    if (!target) return false;
    const bool alt = HIWORD(ev.keyData) & KF_ALTDOWN;
    const bool ctrl = Down(s.keyState[VK_CONTROL]) || (ev.vk == VK_CONTROL && ev.down);
    const bool chordEnd = ev.vk == VK_MENU && !ev.down && s.altChord;
    const bool sys = (((alt && !ctrl) || ev.vk == VK_F10 || (ev.vk == VK_MENU && !ctrl)) && !chordEnd) || noFocus;
    r.hwnd = target;
    r.msg = MSG{target, UINT(ev.down ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP)),
                ev.vk, ev.keyData, ev.time, s.cursorPos};
    return true;
}

void CommitMouse(const InputEvent& ev, const Resolved& r, bool& eat) {
    auto& s = S();
    eat = false;
    if (ev.kind == InputEvent::Button) {
        SetKey(s.keyState, ButtonVk(ev.button), ev.down);
        if (ev.down) {
            s.altAlone = false;
            if (r.dbl) {
                s.lastClickTime = 0;
            } else {
                s.lastClickTime = ev.time ? ev.time : 1;
                s.lastClickHwnd = r.hwnd;
                s.lastClickPt = ev.pt;
                s.lastClickMsg = ButtonMessage(ev.button, true, false);
            }
        }
    }
    if (ev.kind == InputEvent::Wheel) return;
    const bool captured = s.capture && Get(s.capture);
    if (ev.kind == InputEvent::Button && ev.down && !captured) {
        // The ancestors of a child hear of a button going down in it (where, in their client areas),
        // before anything is activated.
        for (Window* c = Get(r.hwnd); c && (c->style & WS_CHILD) && !IsTopLevel(c) && !(c->exStyle & WS_EX_NOPARENTNOTIFY);) {
            const HWND p = H(c->parent);
            const POINT o = ClientOrigin(c->parent);
            const WORD xb = ev.button == TW_BUTTON_X1 ? 1 : ev.button == TW_BUTTON_X2 ? 2 : 0;
            Send(p, WM_PARENTNOTIFY, MAKEWPARAM(ButtonMessage(ev.button, true, false), xb),
                 MAKELPARAM(ev.pt.x - o.x, ev.pt.y - o.y));
            c = Get(p);
        }
        if (!Get(r.hwnd)) return;
        Window* w = Get(r.hwnd);
        Window* top = TopLevelOf(w);
        // Any window but the active one is asked, a child of the active window too (its parents may eat
        // the click), though only an inactive top-level window is then activated.
        if (w && top && s.active != r.hwnd && r.hit != HTERROR) {
            const LRESULT ma = Send(r.hwnd, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(top->handle),
                                    MAKELPARAM(r.hit, ButtonMessage(ev.button, true, false)));
            if ((ma == MA_ACTIVATE || ma == MA_ACTIVATEANDEAT) && Get(top->handle) && s.active != top->handle &&
                !(top->exStyle & WS_EX_NOACTIVATE))
                ActivateWindow(top, true);
            if (ma == MA_ACTIVATEANDEAT || ma == MA_NOACTIVATEANDEAT) eat = true;
        }
    }
    if (!captured && (ev.kind == InputEvent::MouseMove || ev.down) && Get(r.hwnd)) {
        const UINT m = ev.kind == InputEvent::MouseMove ? WM_MOUSEMOVE : ButtonMessage(ev.button, true, false);
        Send(r.hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(r.hwnd), MAKELPARAM(r.hit, m));
    }
    if (r.hit == HTERROR) eat = true;
    UpdateMouseTracking(r.hwnd, r.hit);
}

void CommitKey(const InputEvent& ev) {
    auto& s = S();
    SetKey(s.keyState, ev.vk, ev.down);
    if (ev.vk == VK_SHIFT || ev.vk == VK_CONTROL || ev.vk == VK_MENU) {
        // Our table has no left/right split from the presentation: keep the left key in step.
        const UINT left = ev.vk == VK_SHIFT ? VK_LSHIFT : ev.vk == VK_CONTROL ? VK_LCONTROL : VK_LMENU;
        if (ev.down) s.keyState[left] |= 0x80;
        else s.keyState[left] &= ~0x80;
    }
    if (ev.down && !ev.text.empty()) {
        s.pendingText.push_back(State::PendingText{ev.vk, ev.keyData, ev.text});
        while (s.pendingText.size() > 16) s.pendingText.pop_front();
    }
}

char16_t LayoutChar(UINT vk, bool shift, bool ctrl, bool caps) {
    if (vk >= 'A' && vk <= 'Z') {
        if (ctrl) return char16_t(vk - 'A' + 1);
        return (shift != caps) ? char16_t(vk) : char16_t(vk - 'A' + 'a');
    }
    if (ctrl) {
        switch (vk) {
        case VK_OEM_4: return 27;
        case VK_OEM_5: return 28;
        case VK_OEM_6: return 29;
        case VK_RETURN: return '\n';
        case VK_BACK: return 0x7F;
        case VK_SPACE: return ' ';
        case VK_ESCAPE: return 27;
        default: return 0;
        }
    }
    if (vk >= '0' && vk <= '9') return shift ? u")!@#$%^&*("[vk - '0'] : char16_t(vk);
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) return char16_t('0' + vk - VK_NUMPAD0);
    switch (vk) {
    case VK_SPACE: return ' ';
    case VK_RETURN: return '\r';
    case VK_BACK: return 8;
    case VK_TAB: return 9;
    case VK_ESCAPE: return 27;
    case VK_MULTIPLY: return '*';
    case VK_ADD: return '+';
    case VK_SUBTRACT: return '-';
    case VK_DECIMAL: return '.';
    case VK_DIVIDE: return '/';
    case VK_OEM_1: return shift ? ':' : ';';
    case VK_OEM_PLUS: return shift ? '+' : '=';
    case VK_OEM_COMMA: return shift ? '<' : ',';
    case VK_OEM_MINUS: return shift ? '_' : '-';
    case VK_OEM_PERIOD: return shift ? '>' : '.';
    case VK_OEM_2: return shift ? '?' : '/';
    case VK_OEM_3: return shift ? '~' : '`';
    case VK_OEM_4: return shift ? '{' : '[';
    case VK_OEM_5: return shift ? '|' : '\\';
    case VK_OEM_6: return shift ? '}' : ']';
    case VK_OEM_7: return shift ? '"' : '\'';
    default: return 0;
    }
}

void PostLeave() {
    auto& s = S();
    if (!s.trackLeave) return;
    const HWND h = s.trackLeave;
    const bool nc = s.trackLeaveNC;
    s.trackLeave = nullptr;
    if (Get(h)) Post(h, nc ? WM_NCMOUSELEAVE : WM_MOUSELEAVE, 0, 0);
}

} // namespace

LPARAM KeyData(UINT vk, bool down, bool extended, bool repeat, bool alt) {
    DWORD d = 1 | (ScanOf(vk) << 16);
    if (extended) d |= 1u << 24;
    if (alt) d |= 1u << 29;
    if (!down || repeat) d |= 1u << 30;
    if (!down) d |= 1u << 31;
    return LPARAM(d);
}

void QueueInput(InputEvent ev) {
    auto& s = S();
    ev.time = GetTickCount();
    if (ev.kind != InputEvent::Key) s.cursorPos = ev.pt;
    if (ev.kind == InputEvent::MouseMove && !s.input.empty() && s.input.back().kind == InputEvent::MouseMove) {
        s.input.back() = ev;  // moves coalesce, as in Windows
    } else {
        s.input.push_back(std::move(ev));
    }
    BumpSerial();
    WakeQueue();
}

bool TakeInput(MSG& out, HWND filter, UINT minMsg, UINT maxMsg, bool remove) {
    auto& s = S();
    for (size_t i = 0; i < s.input.size();) {
        const InputEvent ev = s.input[i];
        Resolved r;
        const bool ok = ev.kind == InputEvent::Key ? ResolveKey(ev, r) : ResolveMouse(ev, r);
        if (!ok) {
            // Nobody to receive it (no window under the point, no focus): it is dropped, but its
            // state change still counts.
            if (remove || i == 0) {
                if (ev.kind == InputEvent::Key) CommitKey(ev);
                else if (ev.kind == InputEvent::Button) SetKey(s.keyState, ButtonVk(ev.button), ev.down);
                if (ev.kind == InputEvent::MouseMove) PostLeave();
                s.input.erase(s.input.begin() + ptrdiff_t(i));
                continue;
            }
            ++i;
            continue;
        }
        MSG m = r.msg;
        bool match = true;
        if (filter == reinterpret_cast<HWND>(-1)) match = false;
        else if (filter && m.hwnd != filter && !IsChild(filter, m.hwnd)) match = false;
        if (!(minMsg == 0 && maxMsg == 0) && (m.message < minMsg || m.message > maxMsg)) match = false;
        if (!match) {
            ++i;
            continue;
        }
        // Hooks may throw the message away.
        bool drop = false;
        if (ev.kind == InputEvent::Key) {
            if (HasHook(WH_KEYBOARD))
                drop = CallHooks(WH_KEYBOARD, remove ? HC_ACTION : HC_NOREMOVE, ev.vk, ev.keyData) != 0;
        } else if (HasHook(WH_MOUSE)) {
            MOUSEHOOKSTRUCT mh{ev.pt, r.hwnd, UINT(r.hit), 0};
            drop = CallHooks(WH_MOUSE, remove ? HC_ACTION : HC_NOREMOVE, m.message, reinterpret_cast<LPARAM>(&mh)) != 0;
        }
        if (drop) {
            if (ev.kind == InputEvent::Key) CommitKey(ev);
            else if (ev.kind == InputEvent::Button) SetKey(s.keyState, ButtonVk(ev.button), ev.down);
            if (i < s.input.size()) s.input.erase(s.input.begin() + ptrdiff_t(i));
            continue;
        }
        if (!remove) {
            out = m;
            return true;
        }
        // Taking the message: it leaves the queue before anything else is sent.
        if (i < s.input.size()) s.input.erase(s.input.begin() + ptrdiff_t(i));
        if (ev.kind == InputEvent::Key) {
            const bool altHeld = Down(s.keyState[VK_MENU]);
            CommitKey(ev);
            if (ev.down && ev.vk != VK_MENU) s.altAlone = ev.vk == VK_MENU;
            if (ev.down && ev.vk == VK_MENU && !altHeld) s.altChord = false;
            else if (ev.down && ev.vk != VK_MENU && altHeld) s.altChord = true;
            if (ev.down) s.lastInputKeyboard = true;
        } else {
            if (ev.kind == InputEvent::Button && ev.down) s.lastInputKeyboard = false;
            bool eat = false;
            CommitMouse(ev, r, eat);
            if (eat || !Get(m.hwnd)) continue;
            if (r.msg.message == WM_MOUSEMOVE || r.msg.message == WM_NCMOUSEMOVE) {
                // The window may have moved while the messages above ran.
                if (r.msg.message == WM_MOUSEMOVE) {
                    const POINT o = ClientOrigin(Get(m.hwnd));
                    m.lParam = MAKELPARAM(ev.pt.x - o.x, ev.pt.y - o.y);
                }
            }
        }
        out = m;
        return true;
    }
    return false;
}

void UpdateMouseTracking(HWND hwnd, int hit) {
    auto& s = S();
    if (s.trackLeave) {
        const bool leftWindow = hwnd != s.trackLeave;
        const bool leftArea = s.trackLeaveNC ? hit == HTCLIENT : hit != HTCLIENT;
        if (leftWindow || (leftArea && !(s.capture == hwnd))) PostLeave();
    }
    s.mouseWindow = hwnd;
    s.mouseHit = hit;
}

// ---- activation and focus ----

void ActivateWindow(Window* w, bool byMouse) {
    auto& s = S();
    w = TopLevelOf(w);
    if (!w || w->messageOnly) return;
    const HWND h = w->handle;
    if (s.active == h) return;
    CBTACTIVATESTRUCT cbt{byMouse, s.active};
    if (CallHooks(WH_CBT, HCBT_ACTIVATE, reinterpret_cast<WPARAM>(h), reinterpret_cast<LPARAM>(&cbt))) return;
    const HWND old = Get(s.active) ? s.active : nullptr;
    if (old) {
        Send(old, WM_NCACTIVATE, FALSE, reinterpret_cast<LPARAM>(h));
        Send(old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, IsIconic(old)), reinterpret_cast<LPARAM>(h));
    }
    if (!Get(h)) return;
    s.active = h;
    if (!s.appActive) {
        s.appActive = true;
        std::vector<HWND> tops;
        for (Window* t : Desktop()->children)
            if (!t->messageOnly) tops.push_back(t->handle);
        for (HWND t : tops) Send(t, WM_ACTIVATEAPP, TRUE, 0);
        if (!Get(h) || s.active != h) return;
    }
    Send(h, WM_NCACTIVATE, TRUE, reinterpret_cast<LPARAM>(old));
    if (!Get(h)) return;
    Send(h, WM_ACTIVATE, MAKEWPARAM(byMouse ? WA_CLICKACTIVE : WA_ACTIVE, IsIconic(h)), reinterpret_cast<LPARAM>(old));
    if (!(w = Get(h)) || s.active != h) return;
    if (s.backend && w->shownOnScreen) s.backend->Activate(h);
    // Focus always ends up inside the active window.
    if (s.focus != h && !IsChild(h, s.focus) && !w->minimized) SetFocus(h);
}

void FocusLost(Window* w) {
    auto& s = S();
    const HWND h = w->handle;
    if (s.capture && (s.capture == h || IsChild(h, s.capture))) s.capture = nullptr;
    if (IsTopLevel(w) && s.active == h) {
        // The owner, else the next window below it (the windows it owns are above it), else the topmost
        // other visible window, becomes active.
        auto eligible = [w](const Window* t) {
            return t != w && t->Visible() && !t->messageOnly && !(t->style & WS_DISABLED) && !t->destroying &&
                   (IsDecorated(t) || !(t->exStyle & (WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE)));
        };
        Window* next = nullptr;
        if (w->owner && w->owner->Visible() && !(w->owner->style & WS_DISABLED)) next = w->owner;
        const std::vector<Window*>& tops = Desktop()->children;
        const auto self = std::find(tops.begin(), tops.end(), w);
        for (auto it = self == tops.end() ? tops.end() : self + 1; !next && it != tops.end(); ++it)
            if (eligible(*it)) next = *it;
        for (auto it = tops.begin(); !next && it != tops.end(); ++it)
            if (eligible(*it)) next = *it;
        if (next) ActivateWindow(next, false);
        else AppDeactivate();  // nothing of ours is left to activate: another program's window would be
    }
    if (s.focus && (s.focus == h || IsChild(h, s.focus))) {
        // A window dying with the focus (or inside a dying window) is not told that it lost it.
        const HWND f = s.focus;
        s.focus = nullptr;
        bool dying = false;
        for (Window* a = Get(f); a && !dying; a = a->parent) dying = a->destroying;
        if (Get(f) && !dying) Send(f, WM_KILLFOCUS, 0, 0);
    }
}

void AppDeactivate() {
    auto& s = S();
    if (!s.appActive) return;
    const HWND old = Get(s.active) ? s.active : nullptr;
    if (old) {
        Send(old, WM_NCACTIVATE, FALSE, 0);
        Send(old, WM_ACTIVATE, WA_INACTIVE, 0);
    }
    s.active = nullptr;
    s.appActive = false;
    std::vector<HWND> tops;
    for (Window* t : Desktop()->children)
        if (!t->messageOnly) tops.push_back(t->handle);
    for (HWND t : tops) Send(t, WM_ACTIVATEAPP, FALSE, 0);
    if (s.focus) {
        const HWND f = s.focus;
        s.focus = nullptr;
        Send(f, WM_KILLFOCUS, 0, 0);
    }
}

} // namespace twuser

using namespace twuser;

extern "C" {

BOOL WINAPI EnableWindow(HWND hwnd, BOOL enable) {
    Window* w = Get(hwnd);
    if (!w) return FALSE;
    const bool wasDisabled = w->style & WS_DISABLED;
    auto& s = S();
    if (!enable && wasDisabled) {
        Send(hwnd, WM_CANCELMODE, 0, 0);  // even when it stays disabled
        return TRUE;
    }
    if (enable && !wasDisabled) return FALSE;
    if (enable) {
        w->style &= ~WS_DISABLED;
    } else {
        // WM_CANCELMODE ends what the window was tracking (its default releases the capture).
        Send(hwnd, WM_CANCELMODE, 0, 0);
        if (!(w = Get(hwnd))) return FALSE;
        if (!(w->style & WS_DISABLED)) {
            w->style |= WS_DISABLED;
            if (s.focus == hwnd || IsChild(hwnd, s.focus)) SetFocus(nullptr);
            if (s.capture == hwnd) ReleaseCapture();
        }
    }
    if (Get(hwnd)) Send(hwnd, WM_ENABLE, enable ? TRUE : FALSE, 0);
    return wasDisabled;
}

BOOL WINAPI IsWindowEnabled(HWND hwnd) {
    Window* w = Get(hwnd);
    return w && !(w->style & WS_DISABLED) ? TRUE : FALSE;
}

HWND WINAPI SetFocus(HWND hwnd) {
    auto& s = S();
    const HWND previous = Get(s.focus) ? s.focus : nullptr;
    if (!hwnd) {
        if (!previous) return nullptr;
        if (CallHooks(WH_CBT, HCBT_SETFOCUS, 0, reinterpret_cast<LPARAM>(previous))) return nullptr;
        s.focus = nullptr;
        Send(previous, WM_KILLFOCUS, 0, 0);
        return previous;
    }
    Window* w = Get(hwnd);
    if (!w || w == S().desktop) return nullptr;
    if (hwnd == previous) return previous;
    for (Window* a = w; a && a != S().desktop; a = a->parent)
        if (a->style & (WS_MINIMIZE | WS_DISABLED)) return nullptr;
    if (CallHooks(WH_CBT, HCBT_SETFOCUS, reinterpret_cast<WPARAM>(hwnd), reinterpret_cast<LPARAM>(previous)))
        return nullptr;
    if (!(w = Get(hwnd))) return nullptr;
    Window* root = TopLevelOf(w);
    if (root && s.active != root->handle) {
        ActivateWindow(root, false);
        if (!Get(hwnd) || !root || s.active != root->handle) return nullptr;
    }
    const HWND old = Get(s.focus) ? s.focus : nullptr;
    if (old == hwnd) return previous;
    s.focus = hwnd;
    if (old) Send(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
    if (s.focus != hwnd || !Get(hwnd)) return old;
    Send(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
    return old;
}

HWND WINAPI GetFocus(void) { return Get(S().focus) ? S().focus : nullptr; }

HWND WINAPI SetActiveWindow(HWND hwnd) {
    auto& s = S();
    const HWND old = Get(s.active) ? s.active : nullptr;
    Window* w = Get(hwnd);
    if (!w) return nullptr;
    ActivateWindow(w, false);
    // The activation a CBT hook refused answers 0.
    if (Window* top = TopLevelOf(Get(hwnd)); !top || (s.active != top->handle && !top->messageOnly)) return nullptr;
    return old;
}

HWND WINAPI GetActiveWindow(void) { return Get(S().active) ? S().active : nullptr; }

BOOL WINAPI SetForegroundWindow(HWND hwnd) {
    Window* w = Get(hwnd);
    if (!w) return FALSE;
    ActivateWindow(w, false);
    return TRUE;
}

HWND WINAPI GetForegroundWindow(void) { return S().appActive ? GetActiveWindow() : nullptr; }

BOOL WINAPI LockSetForegroundWindow(UINT uLockCode) {
    TwRecordCall(u"LockSetForegroundWindow", nullptr, uLockCode);
    return TRUE;
}

HWND WINAPI SetCapture(HWND hwnd) {
    auto& s = S();
    const HWND old = Get(s.capture) ? s.capture : nullptr;
    if (!Get(hwnd)) return old;
    s.capture = hwnd;
    if (old && old != hwnd) Send(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hwnd));
    return old;
}

HWND WINAPI GetCapture(void) { return Get(S().capture) ? S().capture : nullptr; }

BOOL WINAPI ReleaseCapture(void) {
    auto& s = S();
    const HWND old = s.capture;
    if (!old) return TRUE;
    s.capture = nullptr;
    if (Get(old)) Send(old, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

// ---- keyboard ----

SHORT WINAPI GetKeyState(int vk) {
    if (vk < 0 || vk > 255) return 0;
    const BYTE k = S().keyState[vk];
    return SHORT((k & 0x80 ? 0xFF80 : 0) | (k & 1));
}

SHORT WINAPI GetAsyncKeyState(int vk) {
    if (vk < 0 || vk > 255) return 0;
    return SHORT(S().asyncKeyState[vk] & 0x80 ? 0x8000 : 0);
}

BOOL WINAPI GetKeyboardState(PBYTE out) {
    if (!out) return FALSE;
    std::copy(std::begin(S().keyState), std::end(S().keyState), out);
    return TRUE;
}

UINT WINAPI MapVirtualKeyW(UINT code, UINT type) {
    switch (type) {
    case MAPVK_VK_TO_VSC: return ScanOf(code);
    case MAPVK_VSC_TO_VK:
        for (const auto& e : ScanTable)
            if (e.scan == code) return e.vk;
        return 0;
    case MAPVK_VK_TO_CHAR: {
        const char16_t c = LayoutChar(code, false, false, false);
        return (code >= 'A' && code <= 'Z') ? code : c;
    }
    default: return 0;
    }
}

int WINAPI GetKeyNameTextW(LONG lParam, LPWSTR buf, int size) {
    if (!buf || size <= 0) return 0;
    const UINT scan = (DWORD(lParam) >> 16) & 0xFF;
    for (const auto& e : ScanTable)
        if (e.scan == scan) {
            std::u16string name(e.name);
            const int n = std::min<int>(int(name.size()), size - 1);
            std::copy_n(name.data(), n, buf);
            buf[n] = 0;
            return n;
        }
    buf[0] = 0;
    return 0;
}

BOOL WINAPI TranslateMessage(const MSG* msg) {
    if (!msg) return FALSE;
    if (msg->message == WM_KEYUP || msg->message == WM_SYSKEYUP) return TRUE;
    if (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN) return FALSE;
    auto& s = S();
    const bool sys = msg->message == WM_SYSKEYDOWN;
    std::u16string text;
    bool fromPresentation = false;
    for (auto it = s.pendingText.begin(); it != s.pendingText.end(); ++it)
        if (it->vk == msg->wParam && it->data == msg->lParam) {
            text = it->text;
            fromPresentation = true;
            s.pendingText.erase(s.pendingText.begin(), it + 1);
            break;
        }
    if (!fromPresentation) {
        const bool shift = GetKeyState(VK_SHIFT) < 0, ctrl = GetKeyState(VK_CONTROL) < 0;
        const bool alt = GetKeyState(VK_MENU) < 0;
        const bool caps = GetKeyState(VK_CAPITAL) & 1;
        if (ctrl && alt) return TRUE;
        const char16_t c = LayoutChar(UINT(msg->wParam), shift, ctrl, caps);
        if (c) text.assign(1, c);
    }
    for (char16_t c : text) Post(msg->hwnd, sys ? WM_SYSCHAR : WM_CHAR, c, msg->lParam);
    return TRUE;
}

// ---- mouse ----

BOOL WINAPI TrackMouseEvent(LPTRACKMOUSEEVENT t) {
    if (!t || t->cbSize < sizeof(TRACKMOUSEEVENT)) return FALSE;
    auto& s = S();
    if (t->dwFlags & TME_QUERY) {
        t->dwFlags = s.trackLeave ? (TME_LEAVE | (s.trackLeaveNC ? TME_NONCLIENT : 0)) : 0;
        t->hwndTrack = s.trackLeave;
        t->dwHoverTime = 0;
        return TRUE;
    }
    if (!Get(t->hwndTrack)) return FALSE;
    const bool nc = t->dwFlags & TME_NONCLIENT;
    if (t->dwFlags & TME_CANCEL) {
        if (s.trackLeave == t->hwndTrack && s.trackLeaveNC == nc) s.trackLeave = nullptr;
        return TRUE;
    }
    if (t->dwFlags & TME_LEAVE) {
        s.trackLeave = t->hwndTrack;
        s.trackLeaveNC = nc;
        // Not over the window (or not in the asked part) now: the leave comes at once.
        const bool over = s.mouseWindow == t->hwndTrack && (nc ? s.mouseHit != HTCLIENT : s.mouseHit == HTCLIENT);
        if (!over) PostLeave();
    }
    return TRUE;
}

BOOL WINAPI _TrackMouseEvent(LPTRACKMOUSEEVENT t) { return TrackMouseEvent(t); }

BOOL WINAPI GetCursorPos(LPPOINT pt) {
    if (!pt) return FALSE;
    *pt = S().cursorPos;
    return TRUE;
}

BOOL WINAPI SetCursorPos(int x, int y) {
    InputEvent ev;
    ev.kind = InputEvent::MouseMove;
    ev.pt = POINT{x, y};
    QueueInput(ev);
    return TRUE;
}

// The rectangle is kept for GetClipCursor; the desktop's pointer is not confined.
namespace {
RECT gCursorClip{};
bool gCursorClipped = false;
} // namespace

BOOL WINAPI ClipCursor(const RECT* rect) {
    gCursorClipped = rect != nullptr;
    if (rect) gCursorClip = *rect;
    return TRUE;
}

BOOL WINAPI GetClipCursor(LPRECT rect) {
    if (!rect) return FALSE;
    if (gCursorClipped)
        *rect = gCursorClip;
    else
        *rect = RECT{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                     GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                     GetSystemMetrics(SM_YVIRTUALSCREEN) + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    return TRUE;
}

BOOL WINAPI MessageBeep(UINT uType) {
    TwRecordCall(u"MessageBeep", nullptr, uType);
    return TRUE;
}

// ---- input from the presentation and from tests ----

void WINAPI TwInputMouseMove(int x, int y) {
    InputEvent ev;
    ev.kind = InputEvent::MouseMove;
    ev.pt = POINT{x, y};
    QueueInput(ev);
}

void WINAPI TwInputMouseButton(int x, int y, int button, BOOL down) {
    const UINT vk = ButtonVk(button);
    if (!vk) return;
    SetKey(S().asyncKeyState, vk, down);
    InputEvent ev;
    ev.kind = InputEvent::Button;
    ev.pt = POINT{x, y};
    ev.button = button;
    ev.down = down;
    QueueInput(ev);
}

void WINAPI TwInputMouseWheel(int x, int y, int delta, BOOL horizontal) {
    InputEvent ev;
    ev.kind = InputEvent::Wheel;
    ev.pt = POINT{x, y};
    ev.delta = delta;
    ev.horizontal = horizontal;
    QueueInput(ev);
}

void WINAPI TwInputMouseLeft(void) {
    PostLeave();
    S().mouseWindow = nullptr;
    S().mouseHit = HTNOWHERE;
}

void WINAPI TwInputKey(UINT vk, BOOL down, BOOL extended, LPCWSTR text, BOOL autoRepeat) {
    if (vk == 0 || vk > 255) return;
    auto& s = S();
    const bool repeat = down && (autoRepeat || Down(s.asyncKeyState[vk]));
    SetKey(s.asyncKeyState, vk, down);
    const bool alt = Down(s.asyncKeyState[VK_MENU]);
    InputEvent ev;
    ev.kind = InputEvent::Key;
    ev.vk = vk;
    ev.down = down;
    ev.pt = s.cursorPos;
    ev.keyData = KeyData(vk, down, extended, repeat, alt);
    if (text) ev.text = text;
    QueueInput(ev);
}

void WINAPI TwSyncModifiers(BOOL shift, BOOL control, BOOL alt) {
    auto& s = S();
    for (auto [vk, down] : {std::pair<UINT, bool>{VK_SHIFT, shift}, {VK_CONTROL, control}, {VK_MENU, alt}}) {
        SetKey(s.asyncKeyState, vk, down);
        SetKey(s.keyState, vk, down);
    }
}

void WINAPI TwInputActivate(HWND hwnd) {
    Window* w = Get(hwnd);
    // A disabled window (the owner of a modal dialog) hands activation to its enabled pop-up.
    if (w && (w->style & WS_DISABLED)) w = Get(GetWindow(hwnd, GW_ENABLEDPOPUP));
    if (w) ActivateWindow(w, false);
}

void WINAPI TwInputDeactivateApp(void) { AppDeactivate(); }

} // extern "C"
