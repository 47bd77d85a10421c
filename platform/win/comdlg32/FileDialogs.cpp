// The open and save dialogs.
#include "win/comdlg32/commdlg.h"
#include "win/kernel32/winbase.h"
#include "win/user32/winwindow.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>

#include <cstring>
#include <vector>

namespace {

constexpr int Width = 480, Height = 400, Margin = 10, ButtonW = 88, ButtonH = 26;

thread_local DWORD lastError = 0;

struct Filter {
    QString text;
    QStringList patterns;
};

struct FileDialog {
    LPOPENFILENAMEW ofn = nullptr;
    bool save = false;
    std::vector<Filter> filters;
    QString folder;
    QStringList entries; // the list's lines: "name/" for a folder, else a file name
    QStringList chosen;  // full paths
    bool delivered = false;
};

std::u16string Text(const QString& s) { return s.toStdU16String(); }

std::vector<Filter> ParseFilters(LPCWSTR f) {
    std::vector<Filter> out;
    while (f && *f) {
        Filter filter;
        filter.text = QString::fromUtf16(f);
        f += std::char_traits<char16_t>::length(f) + 1;
        if (!*f) break;
        filter.patterns = QString::fromUtf16(f).split(u';', Qt::SkipEmptyParts);
        f += std::char_traits<char16_t>::length(f) + 1;
        out.push_back(filter);
    }
    if (out.empty()) out.push_back({QString(), {QStringLiteral("*")}});
    return out;
}

int CurrentFilter(HWND dlg) {
    const LRESULT i = SendDlgItemMessageW(dlg, cmb1, CB_GETCURSEL, 0, 0);
    return i < 0 ? 0 : int(i);
}

// Windows masks without case; "*.*" is everything.
bool Matches(const QStringList& patterns, const QString& name) {
    for (QString p : patterns) {
        p = p.trimmed();
        if (p == QLatin1String("*.*") || p == QLatin1String("*")) return true;
        const QRegularExpression re(QRegularExpression::wildcardToRegularExpression(p),
                                    QRegularExpression::CaseInsensitiveOption);
        if (re.match(name).hasMatch()) return true;
    }
    return false;
}

void List(HWND dlg, FileDialog& d, const QString& folder) {
    d.folder = QDir::cleanPath(folder);
    SetDlgItemTextW(dlg, stc1, Text(d.folder).c_str());
    d.entries.clear();
    const QDir dir(d.folder);
    if (d.folder != QLatin1String("/")) d.entries << QStringLiteral("../");
    for (const QString& sub : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase)) d.entries << sub + u'/';
    const QStringList& patterns = d.filters[size_t(CurrentFilter(dlg))].patterns;
    for (const QString& file : dir.entryList(QDir::Files, QDir::Name | QDir::IgnoreCase))
        if (Matches(patterns, file)) d.entries << file;
    HWND list = GetDlgItem(dlg, lst1);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (const QString& e : d.entries) SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Text(e).c_str()));
}

HWND Child(HWND dlg, const char16_t* cls, const char16_t* text, DWORD style, int x, int y, int w, int h, int id) {
    HWND c = CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, dlg, reinterpret_cast<HMENU>(INT_PTR(id)),
                             nullptr, nullptr);
    SendMessageW(c, WM_SETFONT, SendMessageW(dlg, WM_GETFONT, 0, 0), FALSE);
    return c;
}

void Build(HWND dlg, FileDialog& d) {
    Child(dlg, u"Static", u"", SS_LEFT | SS_NOPREFIX, Margin, Margin, Width - 2 * Margin, 18, stc1);
    const int listBottom = Height - Margin - ButtonH - 70;
    Child(dlg, u"ListBox", u"", LBS_NOTIFY | WS_VSCROLL | WS_BORDER | WS_TABSTOP, Margin, 32, Width - 2 * Margin, listBottom - 32, lst1);
    Child(dlg, u"Static", u"File &name:", SS_LEFT, Margin, listBottom + 10, 90, 20, 0xFFFF);
    Child(dlg, u"Edit", u"", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, Margin + 95, listBottom + 8, Width - 2 * Margin - 95, 24, edt1);
    HWND combo = Child(dlg, u"ComboBox", u"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, Margin + 95, listBottom + 38,
                       Width - 2 * Margin - 95, 200, cmb1);
    for (const Filter& f : d.filters) SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Text(f.text).c_str()));
    const DWORD index = d.ofn->nFilterIndex;
    SendMessageW(combo, CB_SETCURSEL, index >= 1 && index <= d.filters.size() ? index - 1 : 0, 0);
    const int by = Height - Margin - ButtonH;
    Child(dlg, u"Button", d.save ? u"&Save" : u"&Open", BS_DEFPUSHBUTTON | WS_TABSTOP, Width - Margin - 2 * ButtonW - 8, by, ButtonW,
          ButtonH, IDOK);
    Child(dlg, u"Button", u"Cancel", BS_PUSHBUTTON | WS_TABSTOP, Width - Margin - ButtonW, by, ButtonW, ButtonH, IDCANCEL);
    RECT wr{0, 0, Width, Height};
    TwAdjustWindowRectFor(dlg, &wr);
    SetWindowPos(dlg, nullptr, 0, 0, wr.right - wr.left, wr.bottom - wr.top, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
}

// The names typed: one, or several in double quotes where several are allowed.
QStringList Names(const QString& typed, bool multi) {
    QStringList names;
    if (multi && typed.contains(u'"')) {
        static const QRegularExpression quoted(QStringLiteral("\"([^\"]*)\""));
        for (auto m = quoted.globalMatch(typed); m.hasNext();) {
            const QString n = m.next().captured(1).trimmed();
            if (!n.isEmpty()) names << n;
        }
    } else if (!typed.trimmed().isEmpty()) {
        names << typed.trimmed();
    }
    return names;
}

bool Refuse(HWND dlg, const QString& text, UINT type = MB_OK | MB_ICONWARNING) {
    WCHAR title[256] = {};
    GetWindowTextW(dlg, title, 256);
    return MessageBoxW(dlg, Text(text).c_str(), title, type) != IDYES;
}

// OK pressed: the names become paths, or the dialog stays open (a folder was entered, a check failed).
bool Accept(HWND dlg, FileDialog& d) {
    WCHAR buffer[4096] = {};
    GetDlgItemTextW(dlg, edt1, buffer, 4096);
    const QStringList names = Names(QString::fromUtf16(buffer), d.ofn->Flags & OFN_ALLOWMULTISELECT);
    if (names.isEmpty()) return false;
    const QString defExt = d.ofn->lpstrDefExt ? QString::fromUtf16(d.ofn->lpstrDefExt) : QString();
    QStringList paths;
    for (const QString& name : names) {
        QString path = QDir::isAbsolutePath(name) ? name : QDir(d.folder).filePath(name);
        const QFileInfo fi(path);
        if (names.size() == 1 && fi.isDir()) { // a folder typed or picked: go into it
            List(dlg, d, fi.absoluteFilePath());
            SetDlgItemTextW(dlg, edt1, u"");
            return false;
        }
        if (fi.suffix().isEmpty() && !defExt.isEmpty() && !fi.exists()) path += u'.' + defExt;
        paths << QDir::cleanPath(path);
    }
    for (const QString& path : paths) {
        const QFileInfo fi(path);
        if ((d.ofn->Flags & (OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST)) && !fi.absoluteDir().exists()) {
            Refuse(dlg, path + QStringLiteral("\nPath does not exist.\nCheck the path and try again."));
            return false;
        }
        if ((d.ofn->Flags & OFN_FILEMUSTEXIST) && !fi.isFile()) {
            Refuse(dlg, fi.fileName() + QStringLiteral("\nFile not found.\nCheck the file name and try again."));
            return false;
        }
        if (d.save && (d.ofn->Flags & OFN_OVERWRITEPROMPT) && fi.exists() &&
            Refuse(dlg, fi.fileName() + QStringLiteral(" already exists.\nDo you want to replace it?"), MB_YESNO | MB_ICONWARNING))
            return false;
    }
    d.chosen = paths;
    return true;
}

bool Deliver(FileDialog& d, HWND dlg);

// The choice is written out while the dialog and its filter list still exist.
void Finish(HWND dlg, FileDialog& d) {
    d.delivered = Deliver(d, dlg);
    EndDialog(dlg, IDOK);
}

INT_PTR CALLBACK FileProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    auto* d = reinterpret_cast<FileDialog*>(GetWindowLongPtrW(dlg, DWLP_USER));
    switch (msg) {
    case WM_INITDIALOG: {
        d = reinterpret_cast<FileDialog*>(lp);
        SetWindowLongPtrW(dlg, DWLP_USER, lp);
        Build(dlg, *d);
        // The initial name may carry its folder; else the initial folder, else the current one.
        QString initial = d->ofn->lpstrFile ? QString::fromUtf16(d->ofn->lpstrFile) : QString();
        QString folder = d->ofn->lpstrInitialDir && *d->ofn->lpstrInitialDir ? QString::fromUtf16(d->ofn->lpstrInitialDir) : QDir::currentPath();
        if (initial.contains(u'/')) {
            const QFileInfo fi(initial);
            if (fi.absoluteDir().exists()) folder = fi.absolutePath();
            initial = fi.fileName();
        }
        if (!QFileInfo(folder).isDir()) folder = QDir::currentPath();
        List(dlg, *d, folder);
        SetDlgItemTextW(dlg, edt1, Text(initial).c_str());
        return TRUE;
    }
    case WM_COMMAND: {
        if (!d) return FALSE;
        const int id = LOWORD(wp), code = HIWORD(wp);
        if (id == cmb1 && code == CBN_SELCHANGE) {
            List(dlg, *d, d->folder);
            return TRUE;
        }
        if (id == lst1 && (code == LBN_SELCHANGE || code == LBN_DBLCLK)) {
            const LRESULT i = SendDlgItemMessageW(dlg, lst1, LB_GETCURSEL, 0, 0);
            if (i < 0 || i >= d->entries.size()) return TRUE;
            const QString e = d->entries[int(i)];
            if (e.endsWith(u'/')) {
                if (code == LBN_DBLCLK) List(dlg, *d, QDir(d->folder).filePath(e.chopped(1)));
            } else {
                SetDlgItemTextW(dlg, edt1, Text(e).c_str());
                if (code == LBN_DBLCLK && Accept(dlg, *d)) Finish(dlg, *d);
            }
            return TRUE;
        }
        if (id == IDOK && code == BN_CLICKED) {
            if (Accept(dlg, *d)) Finish(dlg, *d);
            return TRUE;
        }
        if (id == IDCANCEL) {
            EndDialog(dlg, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    }
    default: return FALSE;
    }
}

// Writes the result into the caller's structure; false with FNERR_BUFFERTOOSMALL when it does not fit.
bool Deliver(FileDialog& d, HWND dlg) {
    OPENFILENAMEW& o = *d.ofn;
    std::u16string out;
    WORD offset = 0, extension = 0;
    if (d.chosen.size() == 1) {
        const QFileInfo fi(d.chosen[0]);
        out = Text(d.chosen[0]);
        offset = WORD(d.chosen[0].size() - fi.fileName().size());
        extension = fi.suffix().isEmpty() ? 0 : WORD(d.chosen[0].size() - fi.suffix().size());
        if (o.lpstrFileTitle && o.nMaxFileTitle > 0) {
            const QString title = fi.fileName().left(qsizetype(o.nMaxFileTitle) - 1);
            std::memcpy(o.lpstrFileTitle, title.utf16(), size_t(title.size() + 1) * 2);
        }
    } else {
        // Several: the folder, then each name, every one ended by a zero, and one more zero.
        out = Text(QFileInfo(d.chosen[0]).absolutePath());
        out.push_back(u'\0');
        offset = WORD(out.size());
        for (const QString& p : d.chosen) {
            out += Text(QFileInfo(p).fileName());
            out.push_back(u'\0');
        }
    }
    out.push_back(u'\0');
    if (!o.lpstrFile || out.size() > o.nMaxFile) {
        if (o.lpstrFile && o.nMaxFile >= 1) o.lpstrFile[0] = char16_t(out.size() & 0xFFFF);
        lastError = FNERR_BUFFERTOOSMALL;
        return false;
    }
    std::memcpy(o.lpstrFile, out.data(), out.size() * 2);
    o.nFileOffset = offset;
    o.nFileExtension = extension;
    o.nFilterIndex = DWORD(CurrentFilter(dlg) + 1);
    return true;
}

BOOL Run(LPOPENFILENAMEW ofn, bool save) {
    lastError = 0;
    if (!ofn || ofn->lStructSize < offsetof(OPENFILENAMEW, pvReserved)) {
        lastError = CDERR_STRUCTSIZE;
        return FALSE;
    }
    FileDialog d;
    d.ofn = ofn;
    d.save = save;
    d.filters = ParseFilters(ofn->lpstrFilter);
    const std::u16string title = ofn->lpstrTitle ? std::u16string(ofn->lpstrTitle) : std::u16string(save ? u"Save As" : u"Open");
    const INT_PTR r = TwRunCommonDialog(save ? TW_DIALOG_SAVE_FILE : TW_DIALOG_OPEN_FILE, ofn->hwndOwner, title.c_str(), FileProc,
                                        reinterpret_cast<LPARAM>(&d));
    return r == IDOK && d.delivered;
}

} // namespace

extern "C" {

BOOL WINAPI GetOpenFileNameW(LPOPENFILENAMEW ofn) { return Run(ofn, false); }
BOOL WINAPI GetSaveFileNameW(LPOPENFILENAMEW ofn) { return Run(ofn, true); }
DWORD WINAPI CommDlgExtendedError(void) { return lastError; }

} // extern "C"
