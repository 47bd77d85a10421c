// "Edit": single- and multi-line text editing with selection, clipboard, one level of undo, scrolling,
// margins, limits, password and case styles. Positions count UTF-16 units; the caret never stops inside
// a surrogate pair or a CR LF.
#include "win/user32/controls/Controls.h"

#include <QChar>
#include <QString>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace twuser::controls {

namespace {

constexpr size_t DefaultLimit = 0x7FFFFFFE;

struct EditState {
    std::u16string text;
    size_t anchor = 0, caret = 0;  // selection: from anchor to caret
    size_t limit = DefaultLimit;
    bool modified = false;
    HFONT font = nullptr;
    int lineHeight = 16, aveChar = 7;
    int leftMargin = 1, rightMargin = 1;
    bool customRect = false;
    RECT format{};                // the formatting rectangle (client coordinates)
    std::vector<size_t> lines{0};  // start of each (visual) line
    size_t firstLine = 0;          // multi-line: top visible line
    int xOffset = 0;               // pixels scrolled to the left
    WCHAR password = 0;
    bool focused = false;
    bool tracking = false;
    char16_t pendingHigh = 0;  // a high surrogate waiting for its low half
    // One level of undo, kept as the last run of editing: `undoInserted` units at `undoAt` took the
    // place of `undoText`. Insertions that continue the run, and deletions that continue a deletion,
    // join it, so a run of typing (or pasting) undoes at once.
    bool canUndo = false;
    std::u16string undoText;
    size_t undoAt = 0, undoInserted = 0;
};

LONG StyleOf(HWND h) { return GetWindowLongW(h, GWL_STYLE); }
bool Multi(HWND h) { return StyleOf(h) & ES_MULTILINE; }
size_t SelMin(const EditState* s) { return std::min(s->anchor, s->caret); }
size_t SelMax(const EditState* s) { return std::max(s->anchor, s->caret); }

bool IsHigh(char16_t c) { return c >= 0xD800 && c < 0xDC00; }
bool IsLow(char16_t c) { return c >= 0xDC00 && c < 0xE000; }

// The display form of the text: password characters instead of the text.
std::u16string Shown(const EditState* s, size_t from, size_t to) {
    if (!s->password) return s->text.substr(from, to - from);
    return std::u16string(to - from, s->password);
}

HFONT FontOf(const EditState* s) { return s->font ? s->font : DefaultGuiFont(); }

int TextWidth(HDC hdc, const EditState* s, size_t from, size_t to) {
    if (to <= from) return 0;
    const std::u16string t = Shown(s, from, to);
    SIZE sz{0, 0};
    GetTextExtentPoint32W(hdc, t.c_str(), int(t.size()), &sz);
    return sz.cx;
}

struct DcFont {
    HWND hwnd;
    HDC hdc;
    HGDIOBJ old;
    DcFont(HWND h, const EditState* s) : hwnd(h), hdc(GetDC(h)), old(SelectObject(hdc, FontOf(s))) {}
    ~DcFont() {
        SelectObject(hdc, old);
        ReleaseDC(hwnd, hdc);
    }
};

size_t LineEnd(const EditState* s, size_t line) {
    size_t end = line + 1 < s->lines.size() ? s->lines[line + 1] : s->text.size();
    // A hard break's CR LF belongs to no line's text.
    if (end >= 2 && end > s->lines[line] && s->text[end - 1] == u'\n' && s->text[end - 2] == u'\r') end -= 2;
    else if (end >= 1 && end > s->lines[line] && s->text[end - 1] == u'\n') end -= 1;
    return end;
}

size_t LineOf(const EditState* s, size_t pos) {
    auto it = std::upper_bound(s->lines.begin(), s->lines.end(), pos);
    return size_t(it - s->lines.begin()) - 1;
}

void UpdateFormatRect(HWND hwnd, EditState* s) {
    if (s->customRect) return;
    RECT rc;
    GetClientRect(hwnd, &rc);
    rc.left += s->leftMargin;
    rc.right -= s->rightMargin;
    if (!Multi(hwnd)) {
        // A single line sits vertically centred only when the control is taller than a line.
        rc.bottom = rc.top + s->lineHeight;
    }
    s->format = rc;
}

bool Wraps(HWND hwnd) { return Multi(hwnd) && !(StyleOf(hwnd) & (ES_AUTOHSCROLL | WS_HSCROLL)); }

// Splits the text into lines: at CR LF (and lone LF), and where the width runs out when the edit wraps.
void Reflow(HWND hwnd, EditState* s) {
    s->lines.assign(1, 0);
    if (!Multi(hwnd)) return;
    const bool wrap = Wraps(hwnd);
    const int width = std::max<int>(1, s->format.right - s->format.left);
    std::unique_ptr<DcFont> dc;
    if (wrap) dc = std::make_unique<DcFont>(hwnd, s);
    const size_t n = s->text.size();
    size_t start = 0;
    while (start <= n) {
        size_t end = start;
        while (end < n && s->text[end] != u'\r' && s->text[end] != u'\n') ++end;
        // Wrap the paragraph [start, end).
        size_t p = start;
        while (wrap && p < end) {
            int fit = 0;
            const std::u16string t = Shown(s, p, end);
            SIZE sz{0, 0};
            GetTextExtentExPointW(dc->hdc, t.c_str(), int(t.size()), width, &fit, nullptr, &sz);
            if (size_t(fit) >= end - p) break;
            size_t cut = p + size_t(std::max(fit, 1));
            if (IsLow(s->text[cut]) && cut > p + 1) --cut;
            // Break after the last space that fits, or inside the word when none does.
            size_t space = cut;
            while (space > p && s->text[space - 1] != u' ' && s->text[space - 1] != u'\t') --space;
            if (space > p) cut = space;
            s->lines.push_back(cut);
            p = cut;
        }
        if (end >= n) break;
        size_t next = end + 1;
        if (s->text[end] == u'\r' && next < n && s->text[next] == u'\n') ++next;
        s->lines.push_back(next);
        start = next;
    }
    if (s->firstLine >= s->lines.size()) s->firstLine = s->lines.size() - 1;
}

// After [a, a + removed) became `inserted` units of new text: the line starts of a multi-line edit that
// does not wrap, found again only around the change (typing stays linear in a long text).
void ReflowAround(HWND hwnd, EditState* s, size_t a, size_t removed, size_t inserted) {
    if (!Multi(hwnd) || Wraps(hwnd)) {
        Reflow(hwnd, s);
        return;
    }
    const size_t b = a + removed;
    const size_t first = LineOf(s, a > 0 ? a - 1 : 0);
    // Line starts past the old range (and the unit after it, where a CR LF may have been split or joined)
    // only move.
    std::vector<size_t> tail;
    for (size_t i = first + 1; i < s->lines.size(); ++i)
        if (s->lines[i] > b + 1) tail.push_back(s->lines[i] - removed + inserted);
    s->lines.resize(first + 1);
    const size_t n = s->text.size(), scanEnd = a + inserted + 1;
    for (size_t p = s->lines[first]; p < n;) {
        size_t end = p;
        while (end < n && end < scanEnd && s->text[end] != u'\r' && s->text[end] != u'\n') ++end;
        if (end >= n || end >= scanEnd) break;
        size_t next = end + 1;
        if (s->text[end] == u'\r' && next < n && s->text[next] == u'\n') ++next;
        if (next > scanEnd) break;
        s->lines.push_back(next);
        p = next;
    }
    s->lines.insert(s->lines.end(), tail.begin(), tail.end());
    if (s->firstLine >= s->lines.size()) s->firstLine = s->lines.size() - 1;
}

int VisibleLines(const EditState* s) {
    return std::max(1, int((s->format.bottom - s->format.top) / std::max(1, s->lineHeight)));
}

void UpdateScrollBars(HWND hwnd, EditState* s) {
    const LONG style = StyleOf(hwnd);
    if (!Multi(hwnd)) return;
    if (style & WS_VSCROLL) {
        SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, int(s->lines.size()) - 1, UINT(VisibleLines(s)),
                      int(s->firstLine), 0};
        SetScrollInfo(hwnd, SB_VERT, &si, TRUE);
    }
    if (style & WS_HSCROLL) {
        SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 4096, UINT(s->format.right - s->format.left),
                      s->xOffset, 0};
        SetScrollInfo(hwnd, SB_HORZ, &si, TRUE);
    }
}

// x of a text position relative to the formatting rectangle's left, before scrolling.
int XOf(HWND hwnd, EditState* s, size_t pos) {
    const size_t line = LineOf(s, pos);
    DcFont dc(hwnd, s);
    int x = TextWidth(dc.hdc, s, s->lines[line], std::min(pos, LineEnd(s, line)));
    const LONG style = StyleOf(hwnd);
    const int room = s->format.right - s->format.left;
    const int lineW = TextWidth(dc.hdc, s, s->lines[line], LineEnd(s, line));
    if (style & ES_RIGHT) x += room - lineW;
    else if (style & ES_CENTER) x += (room - lineW) / 2;
    return x;
}

POINT PosOf(HWND hwnd, EditState* s, size_t pos) {
    const size_t line = LineOf(s, pos);
    return POINT{s->format.left + XOf(hwnd, s, pos) - s->xOffset,
                 s->format.top + (int(line) - int(s->firstLine)) * s->lineHeight};
}

// The text position nearest to a client point.
size_t PosFromPoint(HWND hwnd, EditState* s, POINT pt) {
    int line = Multi(hwnd) ? int(s->firstLine) + (pt.y - s->format.top) / std::max(1, s->lineHeight) : 0;
    if (pt.y < s->format.top && Multi(hwnd)) line = int(s->firstLine) - 1;
    line = std::clamp(line, 0, int(s->lines.size()) - 1);
    const size_t from = s->lines[size_t(line)], to = LineEnd(s, size_t(line));
    const int x = pt.x - s->format.left + s->xOffset - (XOf(hwnd, s, from));
    DcFont dc(hwnd, s);
    size_t best = from;
    int prev = 0;
    for (size_t p = from; p < to;) {
        size_t next = p + 1;
        if (IsHigh(s->text[p]) && next < to && IsLow(s->text[next])) ++next;
        const int w = TextWidth(dc.hdc, s, from, next);
        if (x < (prev + w) / 2) return p;
        prev = w;
        p = next;
        best = p;
    }
    return best;
}

void PlaceCaret(HWND hwnd, EditState* s) {
    if (!s->focused) return;
    const POINT p = PosOf(hwnd, s, s->caret);
    SetCaretPos(p.x, p.y);
}

// Scrolls so that the caret is in view.
void ScrollToCaret(HWND hwnd, EditState* s) {
    const size_t line = LineOf(s, s->caret);
    bool moved = false;
    if (Multi(hwnd)) {
        const size_t visible = size_t(VisibleLines(s));
        if (line < s->firstLine) s->firstLine = line, moved = true;
        else if (line >= s->firstLine + visible) s->firstLine = line - visible + 1, moved = true;
        if (moved) NotifyParent(hwnd, EN_VSCROLL);
    }
    if (!Wraps(hwnd)) {
        const int x = XOf(hwnd, s, s->caret);
        const int room = s->format.right - s->format.left;
        const int old = s->xOffset;
        if (x < s->xOffset) s->xOffset = std::max(0, x - room / 3);
        else if (x >= s->xOffset + room) s->xOffset = x - room + room / 3;
        if (s->xOffset != old) {
            moved = true;
            // A one-line edit follows its caret without telling the parent; a multi-line one scrolls as
            // by its bar, and says so.
            if (Multi(hwnd)) NotifyParent(hwnd, EN_HSCROLL);
        }
    }
    if (moved) {
        UpdateScrollBars(hwnd, s);
        InvalidateRect(hwnd, nullptr, TRUE);
    }
    PlaceCaret(hwnd, s);
}

// What an edit replaced, for finding the lines again around it only.
struct Change {
    size_t at, removed, inserted;
};

void Changed(HWND hwnd, EditState* s, bool notify, const Change* change = nullptr) {
    if (change) ReflowAround(hwnd, s, change->at, change->removed, change->inserted);
    else Reflow(hwnd, s);
    UpdateScrollBars(hwnd, s);
    InvalidateRect(hwnd, nullptr, TRUE);
    ScrollToCaret(hwnd, s);
    if (!notify) return;
    NotifyParent(hwnd, EN_UPDATE);
    if (IsWindow(hwnd)) NotifyParent(hwnd, EN_CHANGE);
}

void RecordUndo(EditState* s, size_t at, const std::u16string& removed, size_t inserted) {
    if (s->canUndo && removed.empty() && at == s->undoAt + s->undoInserted) {
        s->undoInserted += inserted;
        return;
    }
    if (s->canUndo && s->undoInserted == 0 && inserted == 0 && !removed.empty()) {
        if (at + removed.size() == s->undoAt) {  // Backspace before the deleted run
            s->undoText.insert(0, removed);
            s->undoAt = at;
            return;
        }
        if (at == s->undoAt) {  // Delete after it
            s->undoText += removed;
            return;
        }
    }
    s->undoAt = at;
    s->undoInserted = inserted;
    s->undoText = removed;
    s->canUndo = true;
}

void ForgetUndo(EditState* s) {
    s->canUndo = false;
    s->undoText.clear();
    s->undoAt = s->undoInserted = 0;
}

// Replaces the selection; false (and EN_MAXTEXT) when the limit leaves no room for any of it.
bool ReplaceSelection(HWND hwnd, EditState* s, std::u16string with, bool undoable) {
    const size_t a = SelMin(s), b = SelMax(s);
    const size_t room = s->limit - std::min(s->limit, s->text.size() - (b - a));
    if (with.size() > room) {
        with.resize(room);
        if (!with.empty() && IsHigh(with.back())) with.pop_back();
        NotifyParent(hwnd, EN_MAXTEXT);
        if (with.empty() && a == b) return false;
    }
    // A change that cannot be undone leaves the record's positions meaningless.
    if (undoable) RecordUndo(s, a, s->text.substr(a, b - a), with.size());
    else ForgetUndo(s);
    s->text.replace(a, b - a, with);
    s->anchor = s->caret = a + with.size();
    s->modified = true;
    const Change change{a, b - a, with.size()};
    Changed(hwnd, s, true, &change);
    return true;
}

std::u16string Cased(HWND hwnd, std::u16string t) {
    const LONG style = StyleOf(hwnd);
    if (!(style & (ES_UPPERCASE | ES_LOWERCASE))) return t;
    QString q = QString::fromStdU16String(t);
    q = (style & ES_UPPERCASE) ? q.toUpper() : q.toLower();
    return q.toStdU16String();
}

size_t NextPos(const EditState* s, size_t p) {
    if (p >= s->text.size()) return s->text.size();
    if (s->text[p] == u'\r' && p + 1 < s->text.size() && s->text[p + 1] == u'\n') return p + 2;
    if (IsHigh(s->text[p]) && p + 1 < s->text.size() && IsLow(s->text[p + 1])) return p + 2;
    return p + 1;
}

size_t PrevPos(const EditState* s, size_t p) {
    if (p == 0) return 0;
    if (p >= 2 && s->text[p - 1] == u'\n' && s->text[p - 2] == u'\r') return p - 2;
    if (p >= 2 && IsLow(s->text[p - 1]) && IsHigh(s->text[p - 2])) return p - 2;
    return p - 1;
}

bool IsWordChar(char16_t c) { return !QChar(c).isSpace() && !QChar(c).isPunct(); }

size_t WordLeft(const EditState* s, size_t p) {
    while (p > 0 && !IsWordChar(s->text[p - 1])) p = PrevPos(s, p);
    while (p > 0 && IsWordChar(s->text[p - 1])) --p;
    return p;
}

size_t WordRight(const EditState* s, size_t p) {
    const size_t n = s->text.size();
    while (p < n && IsWordChar(s->text[p])) ++p;
    while (p < n && !IsWordChar(s->text[p])) p = NextPos(s, p);
    return p;
}

void SetSelection(HWND hwnd, EditState* s, size_t anchor, size_t caret) {
    anchor = std::min(anchor, s->text.size());
    caret = std::min(caret, s->text.size());
    if (anchor == s->anchor && caret == s->caret) return;
    s->anchor = anchor;
    s->caret = caret;
    InvalidateRect(hwnd, nullptr, FALSE);
    ScrollToCaret(hwnd, s);
}

void MoveCaret(HWND hwnd, EditState* s, size_t to, bool extend) { SetSelection(hwnd, s, extend ? s->anchor : to, to); }

// ---- clipboard ----

void Copy(HWND hwnd, EditState* s) {
    if (s->password || SelMin(s) == SelMax(s)) return;
    const std::u16string t = s->text.substr(SelMin(s), SelMax(s) - SelMin(s));
    if (!OpenClipboard(hwnd)) return;
    EmptyClipboard();
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, (t.size() + 1) * sizeof(WCHAR));
    if (auto* p = static_cast<WCHAR*>(GlobalLock(mem))) {
        std::copy(t.begin(), t.end(), p);
        p[t.size()] = 0;
        GlobalUnlock(mem);
        SetClipboardData(CF_UNICODETEXT, mem);
    }
    CloseClipboard();
}

void Paste(HWND hwnd, EditState* s) {
    if (StyleOf(hwnd) & ES_READONLY) return;
    if (!OpenClipboard(hwnd)) return;
    std::u16string t;
    if (HANDLE h = GetClipboardData(CF_UNICODETEXT))
        if (auto* p = static_cast<const WCHAR*>(GlobalLock(h))) {
            t = p;
            GlobalUnlock(h);
        }
    CloseClipboard();
    // A single line takes the text up to the first line break.
    if (!Multi(hwnd)) t = t.substr(0, t.find_first_of(u"\r\n"));
    if (StyleOf(hwnd) & ES_NUMBER) {
        if (std::any_of(t.begin(), t.end(), [](char16_t c) { return c < u'0' || c > u'9'; })) {
            MessageBeep(0);
            return;
        }
    }
    if (!t.empty() || SelMin(s) != SelMax(s)) ReplaceSelection(hwnd, s, Cased(hwnd, t), true);
}

void Undo(HWND hwnd, EditState* s) {
    if (!s->canUndo) return;
    const size_t at = std::min(s->undoAt, s->text.size());
    const size_t n = std::min(s->undoInserted, s->text.size() - at);
    std::u16string back = std::move(s->undoText);
    std::u16string removed = s->text.substr(at, n);
    s->text.replace(at, n, back);
    // The undone run becomes the record, so that a second undo redoes; what came back is selected.
    s->undoAt = at;
    s->undoInserted = back.size();
    s->undoText = std::move(removed);
    s->anchor = at;
    s->caret = at + back.size();
    s->modified = true;
    const Change change{at, n, back.size()};
    Changed(hwnd, s, true, &change);
}

// ---- painting ----

void PaintLine(HDC hdc, HWND hwnd, EditState* s, size_t line, int y, bool showSel) {
    const size_t from = s->lines[line], to = LineEnd(s, line);
    const int x0 = s->format.left + XOf(hwnd, s, from) - s->xOffset;
    const size_t a = showSel ? std::clamp(SelMin(s), from, to) : from;
    const size_t b = showSel ? std::clamp(SelMax(s), from, to) : from;
    const COLORREF text = GetTextColor(hdc), back = GetBkColor(hdc);
    int x = x0;
    auto run = [&](size_t p, size_t q, bool selected) {
        if (q <= p) return;
        const std::u16string t = Shown(s, p, q);
        SetTextColor(hdc, selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : text);
        SetBkColor(hdc, selected ? GetSysColor(COLOR_HIGHLIGHT) : back);
        SetBkMode(hdc, selected ? OPAQUE : TRANSPARENT);
        ExtTextOutW(hdc, x, y, 0, nullptr, t.c_str(), UINT(t.size()), nullptr);
        x += TextWidth(hdc, s, p, q);
    };
    run(from, a, false);
    run(a, b, true);
    run(b, to, false);
    SetTextColor(hdc, text);
    SetBkColor(hdc, back);
}

void Paint(HWND hwnd, HDC hdc) {
    auto* s = StateOf<EditState>(hwnd);
    if (!s) return;
    const LONG style = StyleOf(hwnd);
    const int saved = SaveDC(hdc);
    SelectObject(hdc, FontOf(s));
    // Read-only and disabled edits take the colours of a static.
    const bool staticLook = (style & ES_READONLY) || !IsWindowEnabled(hwnd);
    HBRUSH bg = ControlColor(hwnd, hdc, staticLook ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT);
    RECT rc;
    GetClientRect(hwnd, &rc);
    FillRect(hdc, &rc, bg);
    if (!IsWindowEnabled(hwnd)) SetTextColor(hdc, GetSysColor(COLOR_GRAYTEXT));
    IntersectClipRect(hdc, s->format.left, s->format.top, s->format.right, std::max(s->format.bottom, rc.bottom));
    const bool showSel = s->focused || (style & ES_NOHIDESEL);
    const size_t visible = size_t(VisibleLines(s)) + 1;
    for (size_t line = s->firstLine; line < s->lines.size() && line < s->firstLine + visible; ++line)
        PaintLine(hdc, hwnd, s, line, s->format.top + int(line - s->firstLine) * s->lineHeight, showSel);
    RestoreDC(hdc, saved);
}

void PaintThemedBorder(HWND hwnd, const EditState* s) {
    if (!(GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_CLIENTEDGE)) return;
    HDC dc = GetWindowDC(hwnd);
    if (!dc) return;
    RECT w;
    GetWindowRect(hwnd, &w);
    OffsetRect(&w, -w.left, -w.top);
    const LONG style = StyleOf(hwnd);
    const int state = !IsWindowEnabled(hwnd) ? ETS_DISABLED
                      : (style & ES_READONLY) ? ETS_READONLY
                      : s->focused            ? ETS_FOCUSED
                                              : ETS_NORMAL;
    // Only the edge: the client area (and any scroll bars inside the edge) stay as drawn.
    const int saved = SaveDC(dc);
    const int edge = GetSystemMetrics(SM_CXEDGE);
    RECT inner = w;
    InflateRect(&inner, -edge, -edge);
    ExcludeClipRect(dc, inner.left, inner.top, inner.right, inner.bottom);
    ThemedPart(hwnd, dc, u"Edit", EP_EDITTEXT, state, w);
    RestoreDC(dc, saved);
    ReleaseDC(hwnd, dc);
}

void SetFontMetrics(HWND hwnd, EditState* s) {
    DcFont dc(hwnd, s);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc.hdc, &tm);
    s->lineHeight = std::max<int>(1, tm.tmHeight);
    s->aveChar = std::max<int>(1, tm.tmAveCharWidth);
}

void SetText(HWND hwnd, EditState* s, const WCHAR* t) {
    s->text = t ? std::u16string(t) : std::u16string();
    if (!Multi(hwnd)) s->text = s->text.substr(0, s->text.find_first_of(u"\r\n"));
    s->anchor = s->caret = 0;
    s->firstLine = 0;
    s->xOffset = 0;
    ForgetUndo(s);
    s->modified = false;
    Changed(hwnd, s, !Multi(hwnd));
}

void KeyDown(HWND hwnd, EditState* s, WPARAM vk) {
    const bool shift = GetKeyState(VK_SHIFT) < 0, ctrl = GetKeyState(VK_CONTROL) < 0;
    const size_t line = LineOf(s, s->caret);
    switch (vk) {
    case VK_LEFT:
        if (!shift && SelMin(s) != SelMax(s)) MoveCaret(hwnd, s, SelMin(s), false);
        else MoveCaret(hwnd, s, ctrl ? WordLeft(s, s->caret) : PrevPos(s, s->caret), shift);
        break;
    case VK_RIGHT:
        if (!shift && SelMin(s) != SelMax(s)) MoveCaret(hwnd, s, SelMax(s), false);
        else MoveCaret(hwnd, s, ctrl ? WordRight(s, s->caret) : NextPos(s, s->caret), shift);
        break;
    case VK_HOME: MoveCaret(hwnd, s, ctrl ? 0 : s->lines[line], shift); break;
    case VK_END: MoveCaret(hwnd, s, ctrl ? s->text.size() : LineEnd(s, line), shift); break;
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT: {
        if (!Multi(hwnd)) {
            if (vk == VK_UP) KeyDown(hwnd, s, VK_LEFT);
            if (vk == VK_DOWN) KeyDown(hwnd, s, VK_RIGHT);
            break;
        }
        const int step = (vk == VK_UP || vk == VK_DOWN) ? 1 : std::max(1, VisibleLines(s) - 1);
        const int target = std::clamp(int(line) + ((vk == VK_UP || vk == VK_PRIOR) ? -step : step), 0,
                                      int(s->lines.size()) - 1);
        if (size_t(target) == line) break;
        POINT p = PosOf(hwnd, s, s->caret);
        p.y += (target - int(line)) * s->lineHeight;
        if (vk == VK_PRIOR || vk == VK_NEXT) {
            s->firstLine = size_t(std::clamp<int>(int(s->firstLine) + target - int(line), 0, int(s->lines.size()) - 1));
            p.y = s->format.top + (target - int(s->firstLine)) * s->lineHeight;
            InvalidateRect(hwnd, nullptr, TRUE);
            UpdateScrollBars(hwnd, s);
        }
        const size_t saveFirst = s->firstLine;
        if (p.y < s->format.top) {
            s->firstLine = size_t(target);
            p.y = s->format.top;
        }
        size_t to = PosFromPoint(hwnd, s, POINT{p.x, p.y + 1});
        if (LineOf(s, to) != size_t(target)) to = LineEnd(s, size_t(target));
        s->firstLine = std::min(s->firstLine, saveFirst);
        MoveCaret(hwnd, s, to, shift);
        break;
    }
    case VK_DELETE:
        if (StyleOf(hwnd) & ES_READONLY) break;
        if (shift) {
            SendMessageW(hwnd, WM_CUT, 0, 0);
            break;
        }
        if (SelMin(s) == SelMax(s)) {
            if (s->caret >= s->text.size()) break;
            s->anchor = ctrl ? WordRight(s, s->caret) : NextPos(s, s->caret);
        }
        ReplaceSelection(hwnd, s, u"", true);
        break;
    case VK_INSERT:
        if (ctrl) SendMessageW(hwnd, WM_COPY, 0, 0);
        else if (shift) SendMessageW(hwnd, WM_PASTE, 0, 0);
        break;
    default: break;
    }
}

void Char(HWND hwnd, EditState* s, char16_t c) {
    const LONG style = StyleOf(hwnd);
    switch (c) {
    case 0x01: SetSelection(hwnd, s, 0, s->text.size()); return;  // Ctrl+A
    case 0x03: SendMessageW(hwnd, WM_COPY, 0, 0); return;
    case 0x16: SendMessageW(hwnd, WM_PASTE, 0, 0); return;
    case 0x18: SendMessageW(hwnd, WM_CUT, 0, 0); return;
    case 0x1A: SendMessageW(hwnd, WM_UNDO, 0, 0); return;
    default: break;
    }
    if (style & ES_READONLY) {
        MessageBeep(0);
        return;
    }
    if (c == 0x08) {  // Backspace
        if (SelMin(s) == SelMax(s)) {
            if (s->caret == 0) return;
            s->anchor = PrevPos(s, s->caret);
        }
        ReplaceSelection(hwnd, s, u"", true);
        return;
    }
    std::u16string t;
    if (IsHigh(c)) {
        s->pendingHigh = c;  // inserted together with its low half
        return;
    }
    if (IsLow(c)) {
        if (!s->pendingHigh) return;
        t = {s->pendingHigh, c};
        s->pendingHigh = 0;
    } else if (c == u'\r') {
        if (!Multi(hwnd)) return;
        t = u"\r\n";
    } else if (c == u'\t') {
        if (!Multi(hwnd)) return;
        t = u"\t";
    } else if (c < 0x20 || c == 0x7F) {
        return;
    } else {
        t = std::u16string(1, c);
    }
    s->pendingHigh = 0;
    if ((style & ES_NUMBER) && (t.size() != 1 || t[0] < u'0' || t[0] > u'9')) {
        MessageBeep(0);
        return;
    }
    ReplaceSelection(hwnd, s, Cased(hwnd, t), true);
}

void Scroll(HWND hwnd, EditState* s, int lines) {
    const int first = std::clamp(int(s->firstLine) + lines, 0, std::max(0, int(s->lines.size()) - VisibleLines(s)));
    if (size_t(first) == s->firstLine) return;
    s->firstLine = size_t(first);
    NotifyParent(hwnd, EN_VSCROLL);
    UpdateScrollBars(hwnd, s);
    InvalidateRect(hwnd, nullptr, TRUE);
    PlaceCaret(hwnd, s);
}

LRESULT ScrollMessage(HWND hwnd, EditState* s, WPARAM code) {
    const int page = std::max(1, VisibleLines(s) - 1);
    const int before = int(s->firstLine);
    switch (LOWORD(code)) {
    case SB_LINEUP: Scroll(hwnd, s, -1); break;
    case SB_LINEDOWN: Scroll(hwnd, s, 1); break;
    case SB_PAGEUP: Scroll(hwnd, s, -page); break;
    case SB_PAGEDOWN: Scroll(hwnd, s, page); break;
    case SB_TOP: Scroll(hwnd, s, -int(s->lines.size())); break;
    case SB_BOTTOM: Scroll(hwnd, s, int(s->lines.size())); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: Scroll(hwnd, s, int(HIWORD(code)) - before); break;
    default: break;
    }
    return MAKELRESULT(int(s->firstLine) - before, TRUE);
}

LRESULT DialogCode(HWND hwnd, LPARAM lp) {
    LRESULT code = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
    if (!Multi(hwnd)) return code;
    code |= DLGC_WANTALLKEYS;
    // In a dialog, Tab and Escape still navigate and cancel, and Enter presses the default button unless
    // the edit wants its returns.
    if (const auto* m = reinterpret_cast<const MSG*>(lp); m && m->message == WM_KEYDOWN) {
        if (m->wParam == VK_TAB || m->wParam == VK_ESCAPE ||
            (m->wParam == VK_RETURN && !(StyleOf(hwnd) & ES_WANTRETURN)))
            code &= ~DLGC_WANTALLKEYS;
    }
    return code;
}

} // namespace

LRESULT CALLBACK EditProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* s = StateOf<EditState>(hwnd);
    if (!s && msg != WM_NCCREATE) return DefWindowProcW(hwnd, msg, wp, lp);
    switch (msg) {
    case WM_NCCREATE: {
        s = AttachState<EditState>(hwnd);
        const auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lp);
        if (cs->style & ES_PASSWORD) s->password = u'*';
        if (cs->lpszName && !IS_INTRESOURCE(cs->lpszName)) s->text = cs->lpszName;
        if (!(cs->style & ES_MULTILINE)) s->text = s->text.substr(0, s->text.find_first_of(u"\r\n"));
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
    case WM_CREATE:
        SetFontMetrics(hwnd, s);
        UpdateFormatRect(hwnd, s);
        Reflow(hwnd, s);
        UpdateScrollBars(hwnd, s);
        return 0;
    case WM_NCDESTROY:
        FreeState<EditState>(hwnd);
        return DefWindowProcW(hwnd, msg, wp, lp);
    case WM_SIZE:
        UpdateFormatRect(hwnd, s);
        Reflow(hwnd, s);
        UpdateScrollBars(hwnd, s);
        InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case WM_GETDLGCODE: return DialogCode(hwnd, lp);
    case WM_ERASEBKGND: return 1;
    case WM_NCPAINT: {
        // The sunken client edge takes the theme's border when themes are on.
        const LRESULT r = DefWindowProcW(hwnd, msg, wp, lp);
        PaintThemedBorder(hwnd, s);
        return r;
    }
    case WM_PAINT:
    case WM_PRINTCLIENT: PaintOrPrint(hwnd, msg == WM_PRINTCLIENT ? wp : 0, Paint); return 0;
    case WM_SETFONT:
        s->font = reinterpret_cast<HFONT>(wp);
        SetFontMetrics(hwnd, s);
        UpdateFormatRect(hwnd, s);
        Reflow(hwnd, s);
        if (s->focused) {
            CreateCaret(hwnd, nullptr, 1, s->lineHeight);
            ShowCaret(hwnd);
            PlaceCaret(hwnd, s);
        }
        if (LOWORD(lp)) InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(s->font);
    case WM_SETTEXT: SetText(hwnd, s, reinterpret_cast<const WCHAR*>(lp)); return TRUE;
    case WM_GETTEXT: return CopyText(s->text, wp, lp);
    case WM_GETTEXTLENGTH: return LRESULT(s->text.size());
    case WM_ENABLE: InvalidateRect(hwnd, nullptr, TRUE); return 0;
    case WM_SETFOCUS:
        s->focused = true;
        CreateCaret(hwnd, nullptr, 1, s->lineHeight);
        PlaceCaret(hwnd, s);
        ShowCaret(hwnd);
        InvalidateRect(hwnd, nullptr, FALSE);
        PaintThemedBorder(hwnd, s);
        NotifyParent(hwnd, EN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        s->focused = false;
        s->pendingHigh = 0;
        DestroyCaret();
        InvalidateRect(hwnd, nullptr, FALSE);
        PaintThemedBorder(hwnd, s);
        NotifyParent(hwnd, EN_KILLFOCUS);
        return 0;
    case WM_KEYDOWN: KeyDown(hwnd, s, wp); return 0;
    case WM_CHAR: Char(hwnd, s, char16_t(wp)); return 0;
    case WM_LBUTTONDOWN: {
        if (GetFocus() != hwnd) SetFocus(hwnd);
        if (!(s = StateOf<EditState>(hwnd))) return 0;
        SetCapture(hwnd);
        s->tracking = true;
        const size_t p = PosFromPoint(hwnd, s, POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
        SetSelection(hwnd, s, (wp & MK_SHIFT) ? s->anchor : p, p);
        return 0;
    }
    case WM_MOUSEMOVE:
        if (s->tracking && GetCapture() == hwnd)
            SetSelection(hwnd, s, s->anchor, PosFromPoint(hwnd, s, POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}));
        return 0;
    case WM_LBUTTONUP:
        if (s->tracking) {
            s->tracking = false;
            if (GetCapture() == hwnd) ReleaseCapture();
        }
        return 0;
    case WM_CAPTURECHANGED: s->tracking = false; return 0;
    case WM_LBUTTONDBLCLK: {
        const size_t p = PosFromPoint(hwnd, s, POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
        size_t a = p, b = p;
        while (a > 0 && IsWordChar(s->text[a - 1])) --a;
        while (b < s->text.size() && IsWordChar(s->text[b])) ++b;
        while (b < s->text.size() && s->text[b] == u' ') ++b;
        SetSelection(hwnd, s, a, b);
        return 0;
    }
    case WM_MOUSEWHEEL:
        if (Multi(hwnd)) Scroll(hwnd, s, -3 * GET_WHEEL_DELTA_WPARAM(wp) / WHEEL_DELTA);
        return 0;
    case WM_VSCROLL: return Multi(hwnd) ? ScrollMessage(hwnd, s, wp) : 0;
    case WM_HSCROLL: {
        const int room = s->format.right - s->format.left;
        int x = s->xOffset;
        switch (LOWORD(wp)) {
        case SB_LINELEFT: x -= s->aveChar; break;
        case SB_LINERIGHT: x += s->aveChar; break;
        case SB_PAGELEFT: x -= room; break;
        case SB_PAGERIGHT: x += room; break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: x = HIWORD(wp); break;
        default: break;
        }
        x = std::max(0, x);
        if (x != s->xOffset) {
            s->xOffset = x;
            NotifyParent(hwnd, EN_HSCROLL);
            UpdateScrollBars(hwnd, s);
            InvalidateRect(hwnd, nullptr, TRUE);
            PlaceCaret(hwnd, s);
        }
        return 0;
    }
    case WM_COPY: Copy(hwnd, s); return 0;
    case WM_CUT:
        if ((StyleOf(hwnd) & ES_READONLY) || s->password) return 0;
        Copy(hwnd, s);
        if (SelMin(s) != SelMax(s)) ReplaceSelection(hwnd, s, u"", true);
        return 0;
    case WM_PASTE: Paste(hwnd, s); return 0;
    case WM_CLEAR:
        if (!(StyleOf(hwnd) & ES_READONLY) && SelMin(s) != SelMax(s)) ReplaceSelection(hwnd, s, u"", true);
        return 0;
    case WM_UNDO:
    case EM_UNDO: Undo(hwnd, s); return s->canUndo;
    case EM_CANUNDO: return s->canUndo;
    case EM_EMPTYUNDOBUFFER: ForgetUndo(s); return 0;
    case EM_GETSEL: {
        const DWORD a = DWORD(SelMin(s)), b = DWORD(SelMax(s));
        if (wp) *reinterpret_cast<DWORD*>(wp) = a;
        if (lp) *reinterpret_cast<DWORD*>(lp) = b;
        return (a > 0xFFFF || b > 0xFFFF) ? -1 : MAKELRESULT(a, b);
    }
    case EM_SETSEL: {
        const auto start = INT_PTR(wp), end = INT_PTR(lp);
        if (start < 0) {
            SetSelection(hwnd, s, s->caret, s->caret);  // removes the selection
            return 0;
        }
        size_t a = size_t(start), b = end < 0 ? s->text.size() : size_t(end);
        a = std::min(a, s->text.size());
        b = std::min(b, s->text.size());
        SetSelection(hwnd, s, a, b);
        return 0;
    }
    case EM_REPLACESEL: {
        const auto* t = reinterpret_cast<const WCHAR*>(lp);
        std::u16string with = t ? std::u16string(t) : std::u16string();
        if (!Multi(hwnd)) with = with.substr(0, with.find_first_of(u"\r\n"));
        ReplaceSelection(hwnd, s, with, wp != 0);
        return 0;
    }
    case EM_GETMODIFY: return s->modified;
    case EM_SETMODIFY: s->modified = wp != 0; return 0;
    case EM_GETLINECOUNT: return LRESULT(s->lines.size());
    case EM_LINEINDEX: {
        const INT_PTR line = INT_PTR(wp) < 0 ? INT_PTR(LineOf(s, s->caret)) : INT_PTR(wp);
        return size_t(line) < s->lines.size() ? LRESULT(s->lines[size_t(line)]) : -1;
    }
    case EM_LINEFROMCHAR: {
        const size_t pos = INT_PTR(wp) < 0 ? SelMin(s) : std::min(size_t(wp), s->text.size());
        return LRESULT(LineOf(s, pos));
    }
    case EM_LINELENGTH: {
        if (INT_PTR(wp) < 0) {
            // The unselected characters on the lines the selection touches.
            const size_t a = SelMin(s), b = SelMax(s);
            return LRESULT((a - s->lines[LineOf(s, a)]) + (LineEnd(s, LineOf(s, b)) - b));
        }
        if (size_t(wp) > s->text.size()) return 0;
        const size_t line = LineOf(s, size_t(wp));
        return LRESULT(LineEnd(s, line) - s->lines[line]);
    }
    case EM_GETLINE: {
        if (!lp) return 0;
        const size_t line = Multi(hwnd) ? size_t(wp) : 0;
        if (line >= s->lines.size()) return 0;
        auto* buf = reinterpret_cast<WCHAR*>(lp);
        WORD max;
        std::memcpy(&max, buf, sizeof max);
        const size_t n = std::min<size_t>(max, LineEnd(s, line) - s->lines[line]);
        std::copy_n(s->text.data() + s->lines[line], n, buf);  // no terminator, as the platform does
        return LRESULT(n);
    }
    case EM_LIMITTEXT: s->limit = wp ? size_t(wp) : DefaultLimit; return 0;
    case EM_GETLIMITTEXT: return LRESULT(s->limit);
    case EM_SETPASSWORDCHAR: {
        if (Multi(hwnd)) return 0;
        s->password = WCHAR(wp);
        const LONG style = StyleOf(hwnd);
        SetWindowLongW(hwnd, GWL_STYLE, wp ? (style | ES_PASSWORD) : (style & ~ES_PASSWORD));
        Changed(hwnd, s, false);
        return 0;
    }
    case EM_GETPASSWORDCHAR: return s->password;
    case EM_SETREADONLY: {
        const LONG style = StyleOf(hwnd);
        SetWindowLongW(hwnd, GWL_STYLE, wp ? (style | ES_READONLY) : (style & ~ES_READONLY));
        InvalidateRect(hwnd, nullptr, TRUE);
        return TRUE;
    }
    case EM_SETMARGINS:
        if (wp & EC_LEFTMARGIN) s->leftMargin = LOWORD(lp) == EC_USEFONTINFO ? s->aveChar / 3 : SHORT(LOWORD(lp));
        if (wp & EC_RIGHTMARGIN) s->rightMargin = HIWORD(lp) == EC_USEFONTINFO ? s->aveChar / 3 : SHORT(HIWORD(lp));
        UpdateFormatRect(hwnd, s);
        Changed(hwnd, s, false);
        return 0;
    case EM_GETMARGINS: return MAKELRESULT(s->leftMargin, s->rightMargin);
    case EM_GETRECT:
        if (lp) *reinterpret_cast<RECT*>(lp) = s->format;
        return 0;
    case EM_SETRECT:
    case EM_SETRECTNP:
        if (!lp) {
            s->customRect = false;
            UpdateFormatRect(hwnd, s);
        } else {
            s->customRect = true;
            s->format = *reinterpret_cast<const RECT*>(lp);
        }
        Reflow(hwnd, s);
        if (msg == EM_SETRECT) InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case EM_SCROLL: return Multi(hwnd) ? ScrollMessage(hwnd, s, wp) : 0;
    case EM_LINESCROLL:
        if (!Multi(hwnd)) return FALSE;
        Scroll(hwnd, s, int(lp));
        if (wp) SendMessageW(hwnd, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, std::max(0, s->xOffset + int(INT_PTR(wp)) * s->aveChar)), 0);
        return TRUE;
    case EM_SCROLLCARET: ScrollToCaret(hwnd, s); return TRUE;
    case EM_GETFIRSTVISIBLELINE: {
        if (Multi(hwnd)) return LRESULT(s->firstLine);
        // A single line answers with the first visible character.
        POINT p{s->format.left, s->format.top};
        return LRESULT(PosFromPoint(hwnd, s, p));
    }
    case EM_POSFROMCHAR: {
        if (size_t(wp) > s->text.size()) return -1;
        const POINT p = PosOf(hwnd, s, size_t(wp));
        return MAKELRESULT(p.x, p.y);
    }
    case EM_CHARFROMPOS: {
        const size_t p = PosFromPoint(hwnd, s, POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
        return MAKELRESULT(p, LineOf(s, p));
    }
    case EM_SETTABSTOPS: return TRUE;
    case EM_FMTLINES: return wp;
    case EM_GETTHUMB: return LRESULT(s->firstLine);
    default: return DefWindowProcW(hwnd, msg, wp, lp);
    }
}

} // namespace twuser::controls
