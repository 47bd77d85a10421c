// "msctls_updown32": a pair of arrows that step a position within a range, ask the parent first
// (UDN_DELTAPOS), accelerate while held, and keep a buddy window's number in step.
#include "win/user32/controls/Controls.h"

#include <QLocale>
#include <QString>

#include <algorithm>
#include <vector>

namespace twuser::controls {

namespace {

constexpr UINT_PTR RepeatTimer = 1;
constexpr UINT FirstDelay = 500, RepeatDelay = 100;

struct UpDownState {
    int min = 100, max = 0;  // the platform's default range runs backwards
    int pos = 0;
    HWND buddy = nullptr;
    WNDPROC buddyProc = nullptr;  // the buddy's own procedure when the arrow keys are taken over
    std::vector<UDACCEL> accel{{0, 1}, {2, 5}, {5, 20}};
    int base = 10;
    int pressed = 0;  // +1 the up (right) arrow, -1 the down (left) arrow
    DWORD pressedAt = 0;
};

LONG StyleOf(HWND h) { return GetWindowLongW(h, GWL_STYLE); }
bool Horizontal(HWND h) { return StyleOf(h) & UDS_HORZ; }

std::u16string Number(HWND hwnd, const UpDownState* s, int v) {
    QString t;
    if (s->base == 16) t = QStringLiteral("0x%1").arg(uint(v), 4, 16, QLatin1Char('0')).toUpper().replace("0X", "0x");
    else if (StyleOf(hwnd) & UDS_NOTHOUSANDS) t = QString::number(v);
    else {
        // Thousands grouped with the user's separator (a comma where the locale has none).
        QString sep = QLocale::system().groupSeparator();
        if (sep.isEmpty()) sep = QStringLiteral(",");
        t = QString::number(qAbs(qlonglong(v)));
        for (int i = int(t.size()) - 3; i > 0; i -= 3) t.insert(i, sep);
        if (v < 0) t.prepend(u'-');
    }
    return t.toStdU16String();
}

// The buddy's text read back as a number (thousands separators allowed); false when it is not one.
bool ReadBuddy(HWND hwnd, UpDownState* s) {
    if (!s->buddy || !(StyleOf(hwnd) & UDS_SETBUDDYINT)) return true;
    QString t = QString::fromStdU16String(TextOf(s->buddy)).trimmed();
    if (const QString sep = QLocale::system().groupSeparator(); !sep.isEmpty()) t.remove(sep);
    t.remove(u',');
    bool ok = false;
    const int v = s->base == 16 ? t.toInt(&ok, 16) : t.toInt(&ok, 10);
    if (!ok) return false;
    const int lo = std::min(s->min, s->max), hi = std::max(s->min, s->max);
    if (v < lo || v > hi) return false;
    s->pos = v;
    return true;
}

void WriteBuddy(HWND hwnd, UpDownState* s) {
    if (!s->buddy || !(StyleOf(hwnd) & UDS_SETBUDDYINT)) return;
    SetWindowTextW(s->buddy, Number(hwnd, s, s->pos).c_str());
}

// Letting go of the arrows leaves the buddy edit's number selected, ready to be typed over.
void SelectBuddy(const UpDownState* s) {
    WCHAR cls[8] = {};
    if (s->buddy && GetClassNameW(s->buddy, cls, 8) && QString::fromUtf16(cls).compare(u"Edit", Qt::CaseInsensitive) == 0)
        SendMessageW(s->buddy, EM_SETSEL, 0, -1);
}

int Clamp(const UpDownState* s, int v) { return std::clamp(v, std::min(s->min, s->max), std::max(s->min, s->max)); }

// One step of the arrows: the parent may refuse or change it through UDN_DELTAPOS.
void Step(HWND hwnd, UpDownState* s, int direction) {
    ReadBuddy(hwnd, s);
    UINT inc = 1;
    const DWORD held = (GetTickCount() - s->pressedAt) / 1000;
    for (const UDACCEL& a : s->accel)
        if (held >= a.nSec) inc = a.nInc;
    int delta = int(inc) * direction * (s->max >= s->min ? 1 : -1);
    NMUPDOWN nm{};
    nm.hdr.hwndFrom = hwnd;
    nm.hdr.idFrom = UINT_PTR(GetDlgCtrlID(hwnd));
    nm.hdr.code = UDN_DELTAPOS;
    nm.iPos = s->pos;
    nm.iDelta = delta;
    const HWND parent = GetParent(hwnd);
    if (parent && SendMessageW(parent, WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm))) return;
    if (!IsWindow(hwnd)) return;
    delta = nm.iDelta;
    const int lo = std::min(s->min, s->max), hi = std::max(s->min, s->max);
    long long next = (long long)s->pos + delta;
    if (next < lo || next > hi) {
        if (StyleOf(hwnd) & UDS_WRAP) next = next < lo ? hi : lo;
        else next = std::clamp<long long>(next, lo, hi);
    }
    if (int(next) != s->pos) {
        s->pos = int(next);
        WriteBuddy(hwnd, s);
    }
    if (parent)
        SendMessageW(parent, Horizontal(hwnd) ? WM_HSCROLL : WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, LOWORD(s->pos)),
                     reinterpret_cast<LPARAM>(hwnd));
}

void Paint(HWND hwnd, HDC hdc) {
    auto* s = StateOf<UpDownState>(hwnd);
    if (!s) return;
    RECT rc;
    GetClientRect(hwnd, &rc);
    const bool horz = Horizontal(hwnd), enabled = IsWindowEnabled(hwnd);
    RECT first = rc, second = rc;
    if (horz) first.right = second.left = rc.right / 2;
    else first.bottom = second.top = rc.bottom / 2;
    const UINT off = enabled ? 0 : DFCS_INACTIVE;
    // Up (or left, which steps down) first.
    DrawFrameControl(hdc, &first, DFC_SCROLL,
                     (horz ? DFCS_SCROLLLEFT : DFCS_SCROLLUP) | off |
                         ((horz ? s->pressed < 0 : s->pressed > 0) ? DFCS_PUSHED : 0));
    DrawFrameControl(hdc, &second, DFC_SCROLL,
                     (horz ? DFCS_SCROLLRIGHT : DFCS_SCROLLDOWN) | off |
                         ((horz ? s->pressed > 0 : s->pressed < 0) ? DFCS_PUSHED : 0));
}

LRESULT CALLBACK BuddyProc(HWND buddy, UINT msg, WPARAM wp, LPARAM lp);

// Places the arrows beside the buddy (shrinking it) when the style asks to.
void Attach(HWND hwnd, UpDownState* s, HWND buddy) {
    if (s->buddy && s->buddyProc) SetWindowLongPtrW(s->buddy, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(s->buddyProc));
    s->buddy = buddy;
    s->buddyProc = nullptr;
    if (!buddy) return;
    const LONG style = StyleOf(hwnd);
    if (style & UDS_ARROWKEYS) {
        SetPropW(buddy, u"TwUpDown", hwnd);
        s->buddyProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(buddy, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(BuddyProc)));
    }
    if (style & (UDS_ALIGNRIGHT | UDS_ALIGNLEFT)) {
        RECT br, me;
        GetWindowRect(buddy, &br);
        GetWindowRect(hwnd, &me);
        const HWND parent = GetParent(buddy);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&br), 2);
        // Made without a width (as templates often do), the arrows take a scroll bar's.
        const int w = me.right > me.left ? me.right - me.left : GetSystemMetrics(SM_CXVSCROLL);
        // Beside a framed buddy the arrows cover its frame's inner edge, so that the two read as one.
        const bool framed = (StyleOf(buddy) & WS_BORDER) || (GetWindowLongW(buddy, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
        const int overlap = framed ? 2 : 0;
        if (style & UDS_ALIGNRIGHT) {
            MoveWindow(buddy, br.left, br.top, br.right - br.left - w, br.bottom - br.top, TRUE);
            MoveWindow(hwnd, br.right - w - overlap, br.top, w, br.bottom - br.top, TRUE);
        } else {
            MoveWindow(buddy, br.left + w, br.top, br.right - br.left - w, br.bottom - br.top, TRUE);
            MoveWindow(hwnd, br.left + overlap, br.top, w, br.bottom - br.top, TRUE);
        }
    }
    WriteBuddy(hwnd, s);
}

LRESULT CALLBACK BuddyProc(HWND buddy, UINT msg, WPARAM wp, LPARAM lp) {
    const HWND updown = reinterpret_cast<HWND>(GetPropW(buddy, u"TwUpDown"));
    auto* s = updown ? StateOf<UpDownState>(updown) : nullptr;
    if (!s || !s->buddyProc) return DefWindowProcW(buddy, msg, wp, lp);
    const WNDPROC next = s->buddyProc;
    if (msg == WM_KEYDOWN && (wp == VK_UP || wp == VK_DOWN || wp == VK_LEFT || wp == VK_RIGHT)) {
        const bool horz = Horizontal(updown);
        if (horz == (wp == VK_LEFT || wp == VK_RIGHT)) {
            if (!(lp & 0x40000000)) s->pressedAt = GetTickCount();
            Step(updown, s, (wp == VK_UP || wp == VK_RIGHT) ? 1 : -1);
            return 0;
        }
    }
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(buddy, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(next));
        RemovePropW(buddy, u"TwUpDown");
        s->buddy = nullptr;
        s->buddyProc = nullptr;
    }
    return CallWindowProcW(next, buddy, msg, wp, lp);
}

} // namespace

LRESULT CALLBACK UpDownProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* s = StateOf<UpDownState>(hwnd);
    if (!s && msg != WM_NCCREATE) return DefWindowProcW(hwnd, msg, wp, lp);
    switch (msg) {
    case WM_NCCREATE:
        AttachState<UpDownState>(hwnd);
        return DefWindowProcW(hwnd, msg, wp, lp);
    case WM_CREATE:
        if (StyleOf(hwnd) & UDS_AUTOBUDDY) Attach(hwnd, s, GetWindow(hwnd, GW_HWNDPREV));
        return 0;
    case WM_DESTROY: Attach(hwnd, s, nullptr); return 0;
    case WM_NCDESTROY:
        FreeState<UpDownState>(hwnd);
        return DefWindowProcW(hwnd, msg, wp, lp);
    case WM_ERASEBKGND: return 1;
    case WM_PAINT:
    case WM_PRINTCLIENT: PaintOrPrint(hwnd, msg == WM_PRINTCLIENT ? wp : 0, Paint); return 0;
    case WM_ENABLE: InvalidateRect(hwnd, nullptr, TRUE); return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        RECT rc;
        GetClientRect(hwnd, &rc);
        const POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        s->pressed = Horizontal(hwnd) ? (p.x >= rc.right / 2 ? 1 : -1) : (p.y < rc.bottom / 2 ? 1 : -1);
        s->pressedAt = GetTickCount();
        if (s->buddy && GetFocus() != s->buddy) SetFocus(s->buddy);
        if (!(s = StateOf<UpDownState>(hwnd))) return 0;
        SetCapture(hwnd);
        InvalidateRect(hwnd, nullptr, FALSE);
        Step(hwnd, s, s->pressed);
        if (!(s = StateOf<UpDownState>(hwnd))) return 0;
        SetTimer(hwnd, RepeatTimer, FirstDelay, nullptr);
        return 0;
    }
    case WM_TIMER:
        if (wp == RepeatTimer && s->pressed) {
            SetTimer(hwnd, RepeatTimer, RepeatDelay, nullptr);
            Step(hwnd, s, s->pressed);
        }
        return 0;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
        if (!s->pressed) return 0;
        s->pressed = 0;
        KillTimer(hwnd, RepeatTimer);
        if (msg == WM_LBUTTONUP && GetCapture() == hwnd) ReleaseCapture();
        InvalidateRect(hwnd, nullptr, FALSE);
        SelectBuddy(s);
        if (!(s = StateOf<UpDownState>(hwnd))) return 0;
        if (const HWND parent = GetParent(hwnd))
            SendMessageW(parent, Horizontal(hwnd) ? WM_HSCROLL : WM_VSCROLL, MAKEWPARAM(SB_ENDSCROLL, LOWORD(s->pos)),
                         reinterpret_cast<LPARAM>(hwnd));
        return 0;
    case UDM_SETRANGE:
        s->max = SHORT(LOWORD(lp));
        s->min = SHORT(HIWORD(lp));
        s->pos = Clamp(s, s->pos);
        return 0;
    case UDM_GETRANGE: return MAKELRESULT(WORD(s->max), WORD(s->min));
    case UDM_SETRANGE32:
        s->min = int(wp);
        s->max = int(lp);
        s->pos = Clamp(s, s->pos);
        return 0;
    case UDM_GETRANGE32:
        if (wp) *reinterpret_cast<int*>(wp) = s->min;
        if (lp) *reinterpret_cast<int*>(lp) = s->max;
        return 0;
    case UDM_SETPOS:
    case UDM_SETPOS32: {
        const int old = s->pos;
        s->pos = Clamp(s, msg == UDM_SETPOS ? SHORT(LOWORD(lp)) : int(lp));
        WriteBuddy(hwnd, s);
        return old;
    }
    case UDM_GETPOS: {
        const bool ok = ReadBuddy(hwnd, s);
        return MAKELRESULT(WORD(s->pos), ok ? 0 : 1);
    }
    case UDM_GETPOS32: {
        const bool ok = ReadBuddy(hwnd, s);
        if (lp) *reinterpret_cast<BOOL*>(lp) = !ok;
        return s->pos;
    }
    case UDM_SETBUDDY: {
        const HWND old = s->buddy;
        Attach(hwnd, s, reinterpret_cast<HWND>(wp));
        return reinterpret_cast<LRESULT>(old);
    }
    case UDM_GETBUDDY: return reinterpret_cast<LRESULT>(s->buddy);
    case UDM_SETACCEL:
        if (!wp || !lp) return FALSE;
        s->accel.assign(reinterpret_cast<const UDACCEL*>(lp), reinterpret_cast<const UDACCEL*>(lp) + wp);
        return TRUE;
    case UDM_GETACCEL: {
        const size_t n = std::min<size_t>(wp, s->accel.size());
        if (lp) std::copy_n(s->accel.begin(), n, reinterpret_cast<UDACCEL*>(lp));
        return LRESULT(s->accel.size());
    }
    case UDM_SETBASE: {
        if (wp != 10 && wp != 16) return 0;
        const int old = s->base;
        s->base = int(wp);
        WriteBuddy(hwnd, s);
        return old;
    }
    case UDM_GETBASE: return s->base;
    default: return DefWindowProcW(hwnd, msg, wp, lp);
    }
}

} // namespace twuser::controls
