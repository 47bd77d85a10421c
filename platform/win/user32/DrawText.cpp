// DrawTextW / DrawTextExW: prefixes, line breaks, word wrapping, tabs, ellipses, alignment and
// measuring, laid out with the DC's font and drawn line by line as ExtTextOutW draws.
#include "win/gdi32/Gdi.h"
#include "win/user32/winuser.h"

#include <QString>

#include <algorithm>
#include <vector>

namespace {

const QString Ellipsis = QStringLiteral("...");

struct Line {
    QString text;
    std::vector<int> underline; // positions in text of characters underlined by a prefix
};

// Removes prefix characters: "&&" is one "&", "&x" underlines x, a final lone "&" stays visible.
Line StripPrefixes(const QString& s, bool keepUnderline) {
    Line out;
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] == u'&' && i + 1 < s.size()) {
            ++i;
            if (s[i] != u'&' && keepUnderline) out.underline.push_back(int(out.text.size()));
        }
        out.text.append(s[i]);
    }
    return out;
}

class Layout {
public:
    Layout(HDC hdc, wingdi::DC& dc, UINT flags, int tabChars) : hdc_(hdc), dc_(dc), flags_(flags) {
        TEXTMETRICW tm{};
        GetTextMetricsW(hdc, &tm);
        tm_ = tm;
        tabWidth_ = std::max(1, tabChars) * std::max<LONG>(1, tm.tmAveCharWidth);
    }

    const TEXTMETRICW& Metrics() const { return tm_; }

    int Width(const QString& s) const {
        if (!(flags_ & DT_EXPANDTABS) || !s.contains(u'\t')) return wingdi::TextWidth(dc_, s);
        int x = 0;
        qsizetype start = 0;
        for (qsizetype i = 0; i <= s.size(); ++i) {
            if (i == s.size() || s[i] == u'\t') {
                x += wingdi::TextWidth(dc_, s.mid(start, i - start));
                if (i < s.size()) x = (x / tabWidth_ + 1) * tabWidth_;
                start = i + 1;
            }
        }
        return x;
    }

    // Splits a paragraph into lines no wider than maxWidth, breaking after spaces; a word wider than
    // the line is broken between characters only for edit-control layout.
    std::vector<Line> Wrap(const Line& para, int maxWidth) const {
        std::vector<Line> lines;
        const QString& t = para.text;
        qsizetype pos = 0;
        if (t.isEmpty()) return {para};
        while (pos < t.size()) {
            qsizetype end = pos, lastBreak = -1;
            while (end < t.size()) {
                qsizetype next = end;
                while (next < t.size() && t[next] != u' ' && t[next] != u'\t') ++next; // the word
                if (Width(t.mid(pos, next - pos)) > maxWidth) break;
                while (next < t.size() && (t[next] == u' ' || t[next] == u'\t')) ++next; // its spaces
                end = next;
                lastBreak = next;
            }
            if (lastBreak < 0) {
                // Not even one word fits.
                qsizetype next = pos;
                while (next < t.size() && t[next] != u' ' && t[next] != u'\t') ++next;
                if (flags_ & DT_EDITCONTROL) {
                    qsizetype k = pos + 1;
                    while (k < next && Width(t.mid(pos, k + 1 - pos)) <= maxWidth) ++k;
                    next = k;
                }
                while (next < t.size() && (t[next] == u' ' || t[next] == u'\t')) ++next;
                end = std::max(next, pos + 1); // always move on
            }
            qsizetype visibleEnd = end;
            while (visibleEnd > pos && (t[visibleEnd - 1] == u' ')) --visibleEnd; // spaces at a break vanish
            Line l;
            l.text = t.mid(pos, visibleEnd - pos);
            for (int u : para.underline)
                if (u >= pos && u < visibleEnd) l.underline.push_back(int(u - pos));
            lines.push_back(std::move(l));
            pos = end;
        }
        return lines;
    }

    void EndEllipsis(Line& l, int maxWidth, bool atWord) const {
        if (Width(l.text) <= maxWidth) return;
        qsizetype k = l.text.size();
        while (k > 0 && Width(l.text.left(k) + Ellipsis) > maxWidth) --k;
        if (atWord) {
            const qsizetype space = l.text.left(k).lastIndexOf(u' ');
            if (space > 0) k = space;
        }
        l.text = l.text.left(k) + Ellipsis;
        std::erase_if(l.underline, [k](int u) { return u >= k; });
    }

    void PathEllipsis(Line& l, int maxWidth) const {
        if (Width(l.text) <= maxWidth) return;
        // Keep the last path element; take characters off the end of what comes before it.
        const qsizetype sep = std::max(l.text.lastIndexOf(u'\\'), l.text.lastIndexOf(u'/'));
        const qsizetype tailStart = sep < 0 ? 0 : sep;
        const QString tail = l.text.mid(tailStart);
        qsizetype k = tailStart;
        while (k > 0 && Width(l.text.left(k) + Ellipsis + tail) > maxWidth) --k;
        std::vector<int> u;
        for (int p : l.underline) {
            if (p < k)
                u.push_back(p);
            else if (p >= tailStart)
                u.push_back(int(p - tailStart + k + Ellipsis.size()));
        }
        l.text = l.text.left(k) + Ellipsis + tail;
        l.underline = std::move(u);
        if ((flags_ & DT_END_ELLIPSIS) && Width(l.text) > maxWidth) EndEllipsis(l, maxWidth, false);
    }

    void Draw(const Line& l, int x, int y, const RECT& clip) const {
        const bool clipped = !(flags_ & DT_NOCLIP);
        const UINT options = clipped ? ETO_CLIPPED : 0;
        if (!(flags_ & DT_PREFIXONLY)) {
            if ((flags_ & DT_EXPANDTABS) && l.text.contains(u'\t')) {
                int cx = 0;
                qsizetype start = 0;
                for (qsizetype i = 0; i <= l.text.size(); ++i) {
                    if (i == l.text.size() || l.text[i] == u'\t') {
                        const QString seg = l.text.mid(start, i - start);
                        wingdi::TextLine(dc_, x + cx, y, options, clipped ? &clip : nullptr, seg, nullptr);
                        cx += wingdi::TextWidth(dc_, seg);
                        if (i < l.text.size()) cx = (cx / tabWidth_ + 1) * tabWidth_;
                        start = i + 1;
                    }
                }
            } else {
                QString text = l.text;
                text.replace(u'\t', u' ');
                wingdi::TextLine(dc_, x, y, options, clipped ? &clip : nullptr, text, nullptr);
            }
        }
        if (l.underline.empty() || (flags_ & DT_HIDEPREFIX) || wingdi::CurrentLogFont(dc_).lfEscapement != 0)
            return;
        // The prefixed character is underlined with a one-pixel line in the text colour.
        HBRUSH brush = CreateSolidBrush(GetTextColor(hdc_));
        for (int u : l.underline) {
            if (u >= l.text.size()) continue;
            const int x0 = x + Width(l.text.left(u)), x1 = x + Width(l.text.left(u + 1));
            const int uy = y + tm_.tmAscent + 1;
            RECT r{x0, uy, x1, uy + 1};
            if (clipped) IntersectRect(&r, &r, &clip);
            if (!IsRectEmpty(&r))
                wingdi::FillDeviceRegion(dc_, wingdi::Region::FromRect(dc_.ToDevice(r)), brush, R2_COPYPEN);
        }
        DeleteObject(brush);
    }

private:
    HDC hdc_;
    wingdi::DC& dc_;
    UINT flags_;
    TEXTMETRICW tm_{};
    int tabWidth_ = 8;
};

int DrawTextImpl(HDC hdc, LPCWSTR str, int count, LPRECT rc, UINT flags, LPDRAWTEXTPARAMS params) {
    wingdi::DC* dc = wingdi::GetDC(hdc);
    if (!dc || !rc || !str) return 0;
    if (params && params->cbSize != sizeof(DRAWTEXTPARAMS)) return 0;
    if (count < 0) {
        count = 0;
        while (str[count]) ++count;
    }
    int tabChars = 8;
    if (flags & DT_TABSTOP) {
        tabChars = int((flags >> 8) & 0xFF);
        flags &= ~0xFF00u; // the tab size lives where the other bits would be
    }
    if (params && params->iTabLength > 0) tabChars = params->iTabLength;
    if (params) params->uiLengthDrawn = UINT(count);
    if (count == 0) {
        if (flags & DT_CALCRECT) {
            rc->right = rc->left;
            rc->bottom = rc->top;
        }
        return 0;
    }
    const int leftMargin = params ? params->iLeftMargin : 0, rightMargin = params ? params->iRightMargin : 0;
    Layout layout(hdc, *dc, flags, tabChars);
    const TEXTMETRICW& tm = layout.Metrics();
    const int lineHeight = tm.tmHeight + ((flags & DT_EXTERNALLEADING) ? tm.tmExternalLeading : 0);
    const int left = rc->left + leftMargin, right = rc->right - rightMargin;
    const int maxWidth = right - left;

    QString text = QString::fromUtf16(str, count);
    Line all = (flags & DT_NOPREFIX) ? Line{text, {}} : StripPrefixes(text, true);

    // Paragraphs end at CR, LF or CR LF unless the text is one line.
    std::vector<Line> paras;
    if (flags & DT_SINGLELINE) {
        paras.push_back(all);
    } else {
        qsizetype start = 0;
        for (qsizetype i = 0; i <= all.text.size(); ++i) {
            const bool end = i == all.text.size();
            if (end || all.text[i] == u'\r' || all.text[i] == u'\n') {
                Line p;
                p.text = all.text.mid(start, i - start);
                for (int u : all.underline)
                    if (u >= start && u < i) p.underline.push_back(int(u - start));
                paras.push_back(std::move(p));
                if (!end && all.text[i] == u'\r' && i + 1 < all.text.size() && all.text[i + 1] == u'\n') ++i;
                start = i + 1;
            }
        }
    }
    std::vector<Line> lines;
    for (const Line& p : paras) {
        if ((flags & DT_WORDBREAK) && !(flags & DT_SINGLELINE)) {
            for (Line& l : layout.Wrap(p, maxWidth)) lines.push_back(std::move(l));
        } else {
            lines.push_back(p);
        }
    }
    const bool measuring = flags & DT_CALCRECT;
    if (!measuring) {
        for (Line& l : lines) {
            if (flags & DT_PATH_ELLIPSIS)
                layout.PathEllipsis(l, maxWidth);
            else if (flags & (DT_END_ELLIPSIS | DT_WORD_ELLIPSIS))
                layout.EndEllipsis(l, maxWidth, flags & DT_WORD_ELLIPSIS);
        }
    }
    int widest = 0;
    for (const Line& l : lines) widest = std::max(widest, layout.Width(l.text));
    const int total = int(lines.size()) * lineHeight;
    int y = rc->top;
    if (flags & DT_SINGLELINE) {
        if (flags & DT_VCENTER)
            y = rc->top + (rc->bottom - rc->top - lineHeight) / 2;
        else if (flags & DT_BOTTOM)
            y = rc->bottom - lineHeight;
    }
    if (measuring) {
        rc->right = rc->left + leftMargin + widest + rightMargin;
        rc->bottom = rc->top + total;
        return total;
    }
    // Lines are drawn left-aligned at the text origin whatever the DC's text alignment says.
    const UINT oldAlign = SetTextAlign(hdc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    int lineY = y;
    for (const Line& l : lines) {
        // An edit control does not show a line it cannot show whole.
        if ((flags & DT_EDITCONTROL) && lineY + lineHeight > rc->bottom && lineY != y) break;
        const int w = layout.Width(l.text);
        int x = left;
        if (flags & DT_CENTER)
            x = left + (maxWidth - w) / 2;
        else if (flags & DT_RIGHT)
            x = right - w;
        layout.Draw(l, x, lineY, *rc);
        lineY += lineHeight;
    }
    SetTextAlign(hdc, oldAlign);
    return (y - rc->top) + total;
}

} // namespace

extern "C" {

int WINAPI DrawTextW(HDC hdc, LPCWSTR text, int count, LPRECT rc, UINT format) {
    return DrawTextImpl(hdc, text, count, rc, format, nullptr);
}

int WINAPI DrawTextExW(HDC hdc, LPWSTR text, int count, LPRECT rc, UINT format, LPDRAWTEXTPARAMS params) {
    return DrawTextImpl(hdc, text, count, rc, format, params);
}

} // extern "C"
