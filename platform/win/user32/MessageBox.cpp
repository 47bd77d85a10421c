// Message boxes: "#32770" dialogs made of an icon, the text and a row of buttons, or, when a handler is
// installed (tests, silent runs), the handler's answer instead.
#include "win/user32/Backend.h"
#include "win/user32/Dialog.h"
#include "win/user32/controls/Controls.h"

#include <QString>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace twuser {

namespace {

TwMessageBoxProc messageBoxProc = nullptr;

constexpr int Margin = 12;
constexpr int IconSize = 32;
constexpr int ButtonWidth = 75;
constexpr int ButtonHeight = 23;
constexpr int ButtonGap = 6;
constexpr int TextId = 0xFFFF;  // the text static; tools that recognise message boxes look for it
constexpr int IconId = 0x14;

struct BoxButton {
    int id;
    const char16_t* label;
};

std::vector<BoxButton> ButtonsOf(UINT style) {
    std::vector<BoxButton> b;
    switch (style & MB_TYPEMASK) {
    case MB_OKCANCEL: b = {{IDOK, u"OK"}, {IDCANCEL, u"Cancel"}}; break;
    case MB_ABORTRETRYIGNORE: b = {{IDABORT, u"&Abort"}, {IDRETRY, u"&Retry"}, {IDIGNORE, u"&Ignore"}}; break;
    case MB_YESNOCANCEL: b = {{IDYES, u"&Yes"}, {IDNO, u"&No"}, {IDCANCEL, u"Cancel"}}; break;
    case MB_YESNO: b = {{IDYES, u"&Yes"}, {IDNO, u"&No"}}; break;
    case MB_RETRYCANCEL: b = {{IDRETRY, u"&Retry"}, {IDCANCEL, u"Cancel"}}; break;
    case MB_CANCELTRYCONTINUE: b = {{IDCANCEL, u"Cancel"}, {IDTRYAGAIN, u"&Try Again"}, {IDCONTINUE, u"&Continue"}}; break;
    default: b = {{IDOK, u"OK"}}; break;
    }
    if (style & MB_HELP) b.push_back({IDHELP, u"Help"});
    return b;
}

HICON IconOf(const MSGBOXPARAMSW& p) {
    switch (p.dwStyle & MB_ICONMASK) {
    case MB_ICONHAND: return LoadIconW(nullptr, IDI_HAND);
    case MB_ICONQUESTION: return LoadIconW(nullptr, IDI_QUESTION);
    case MB_ICONEXCLAMATION: return LoadIconW(nullptr, IDI_EXCLAMATION);
    case MB_ICONASTERISK: return LoadIconW(nullptr, IDI_ASTERISK);
    case MB_USERICON: return p.lpszIcon ? LoadIconW(p.hInstance, p.lpszIcon) : nullptr;
    default: return nullptr;
    }
}

// Lays the box out: the text wraps at a quarter of the screen's width (a long line reads badly), the
// buttons are centred under it.
void Build(HWND dlg, const MSGBOXPARAMSW& p) {
    const HFONT font = reinterpret_cast<HFONT>(SendMessageW(dlg, WM_GETFONT, 0, 0));
    const std::u16string text = p.lpszText ? std::u16string(p.lpszText) : std::u16string();
    const HICON icon = IconOf(p);
    const auto buttons = ButtonsOf(p.dwStyle);

    HDC hdc = GetDC(dlg);
    HGDIOBJ old = SelectObject(hdc, font);
    const UINT format = DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX | DT_EDITCONTROL;
    const int maxWidth = GetSystemMetrics(SM_CXSCREEN) / 4;
    RECT tr{0, 0, maxWidth, 0};
    DrawTextW(hdc, text.c_str(), int(text.size()), &tr, format | DT_CALCRECT);
    SelectObject(hdc, old);
    ReleaseDC(dlg, hdc);
    const int textW = std::min<int>(tr.right - tr.left, maxWidth), textH = tr.bottom - tr.top;

    const int textLeft = Margin + (icon ? IconSize + Margin : 0);
    const int bodyH = std::max(icon ? IconSize : 0, textH);
    const int rowW = int(buttons.size()) * ButtonWidth + int(buttons.size() - 1) * ButtonGap;
    const int clientW = std::max(textLeft + textW + Margin, rowW + 2 * Margin);
    const int clientH = Margin + bodyH + Margin + ButtonHeight + Margin;

    if (icon) {
        HWND s = CreateWindowExW(0, u"Static", u"", WS_CHILD | WS_VISIBLE | SS_ICON, Margin, Margin, IconSize, IconSize,
                                 dlg, reinterpret_cast<HMENU>(INT_PTR(IconId)), nullptr, nullptr);
        SendMessageW(s, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    }
    const int textTop = Margin + (bodyH - textH) / 2;
    HWND st = CreateWindowExW(0, u"Static", text.c_str(), WS_CHILD | WS_VISIBLE | SS_NOPREFIX | SS_LEFT, textLeft,
                              textTop, textW, textH, dlg, reinterpret_cast<HMENU>(INT_PTR(TextId)), nullptr, nullptr);
    SendMessageW(st, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);

    const size_t def = std::min<size_t>((p.dwStyle & MB_DEFMASK) >> 8, buttons.size() - 1);
    int x = (clientW - rowW) / 2;
    const int y = clientH - Margin - ButtonHeight;
    HWND defButton = nullptr;
    for (size_t i = 0; i < buttons.size(); ++i) {
        const DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | (i == 0 ? WS_GROUP : 0) |
                            (i == def ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        HWND b = CreateWindowExW(0, u"Button", buttons[i].label, style, x, y, ButtonWidth, ButtonHeight, dlg,
                                 reinterpret_cast<HMENU>(INT_PTR(buttons[i].id)), nullptr, nullptr);
        SendMessageW(b, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (i == def) defButton = b;
        x += ButtonWidth + ButtonGap;
    }
    SendMessageW(dlg, DM_SETDEFID, WPARAM(buttons[def].id), 0);

    RECT wr{0, 0, clientW, clientH};
    TwAdjustWindowRectFor(dlg, &wr);
    const int w = wr.right - wr.left, h = wr.bottom - wr.top;
    RECT area;
    if (p.hwndOwner && IsWindow(p.hwndOwner)) GetWindowRect(GetAncestor(p.hwndOwner, GA_ROOT), &area);
    else SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    SetWindowPos(dlg, nullptr, area.left + (area.right - area.left - w) / 2, area.top + (area.bottom - area.top - h) / 2,
                 w, h, SWP_NOZORDER | SWP_NOACTIVATE);
    if (defButton) SetFocus(defButton);
}

bool HasButton(UINT style, int id) {
    for (const BoxButton& b : ButtonsOf(style))
        if (b.id == id) return true;
    return false;
}

INT_PTR CALLBACK BoxProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG: {
        SetWindowLongPtrW(dlg, GWLP_USERDATA, lp);
        Build(dlg, *reinterpret_cast<const MSGBOXPARAMSW*>(lp));
        const UINT icon = reinterpret_cast<const MSGBOXPARAMSW*>(lp)->dwStyle & MB_ICONMASK;
        if (icon) MessageBeep(icon);
        return FALSE;  // the focus is on the default button already
    }
    case WM_COMMAND: {
        const auto* p = reinterpret_cast<const MSGBOXPARAMSW*>(GetWindowLongPtrW(dlg, GWLP_USERDATA));
        if (!p || HIWORD(wp) != BN_CLICKED) return FALSE;
        int id = LOWORD(wp);
        if (id == IDHELP) {
            if (p->lpfnMsgBoxCallback) p->lpfnMsgBoxCallback(nullptr);
            return TRUE;
        }
        // Escape and the close box cancel; a box with only OK takes them as OK, others without Cancel ignore them.
        if (id == IDCANCEL && !HasButton(p->dwStyle, IDCANCEL)) {
            if ((p->dwStyle & MB_TYPEMASK) != MB_OK) return TRUE;
            id = IDOK;
        }
        if (HasButton(p->dwStyle, id)) EndDialog(dlg, id);
        return TRUE;
    }
    default: return FALSE;
    }
}

int NoDisplayAnswer(LPCWSTR text, LPCWSTR caption, UINT type) {
    // Nothing to show a box on: say it where someone can read it, and give the answer that changes nothing.
    std::fprintf(stderr, "%s: %s\n", QString::fromUtf16(caption ? caption : u"").toLocal8Bit().constData(),
                 QString::fromUtf16(text ? text : u"").toLocal8Bit().constData());
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
    case MB_RETRYCANCEL:
    case MB_YESNOCANCEL:
    case MB_CANCELTRYCONTINUE: return IDCANCEL;
    case MB_YESNO: return IDNO;
    case MB_ABORTRETRYIGNORE: return IDABORT;
    default: return IDOK;
    }
}

int ShowBox(const MSGBOXPARAMSW& p) {
    const LPCWSTR caption = p.lpszCaption ? p.lpszCaption : u"Error";
    if (messageBoxProc) return messageBoxProc(p.hwndOwner, p.lpszText, caption, p.dwStyle);
    if (!CurrentBackend()) return NoDisplayAnswer(p.lpszText, caption, p.dwStyle);
    MSGBOXPARAMSW params = p;
    params.lpszCaption = caption;
    // An empty template with the caption; the controls come in WM_INITDIALOG, laid out in pixels.
    std::vector<WORD> t(sizeof(DLGTEMPLATE) / 2, 0);
    DLGTEMPLATE head{};
    head.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_NOIDLEMSG;
    if (p.dwStyle & (MB_SYSTEMMODAL | MB_TOPMOST)) head.dwExtendedStyle |= WS_EX_TOPMOST;
    std::memcpy(t.data(), &head, sizeof head);
    t.push_back(0);  // no menu
    t.push_back(0);  // the dialog class
    for (const char16_t* c = caption; *c; ++c) t.push_back(WORD(*c));
    t.push_back(0);
    const int r = int(DialogBoxIndirectParamW(p.hInstance, reinterpret_cast<const DLGTEMPLATE*>(t.data()), p.hwndOwner,
                                              BoxProc, reinterpret_cast<LPARAM>(&params)));
    return r < 0 ? 0 : r;
}

} // namespace

} // namespace twuser

using namespace twuser;

extern "C" {

int WINAPI MessageBoxW(HWND hwnd, LPCWSTR text, LPCWSTR caption, UINT type) {
    MSGBOXPARAMSW p{};
    p.cbSize = sizeof p;
    p.hwndOwner = hwnd;
    p.lpszText = text;
    p.lpszCaption = caption;
    p.dwStyle = type;
    return ShowBox(p);
}

int WINAPI MessageBoxIndirectW(const MSGBOXPARAMSW* p) { return p ? ShowBox(*p) : 0; }

TwMessageBoxProc WINAPI TwSetMessageBoxHandler(TwMessageBoxProc proc) {
    const TwMessageBoxProc old = messageBoxProc;
    messageBoxProc = proc;
    return old;
}

} // extern "C"
