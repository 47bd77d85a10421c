// The folder browser: a modal dialog of the window model with the system dialog's control numbers,
// so that callers can subclass it and find its buttons as they do on Windows.
#include "win/shell32/Items.h"
#include "win/shell32/shlobj.h"
#include "win/kernel32/winbase.h"
#include "win/user32/winwindow.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {

using twshell::Item;

constexpr int Width = 360, Height = 380, Margin = 10, ButtonW = 88, ButtonH = 26;

struct Browser {
    LPBROWSEINFOW info = nullptr;
    Item root;           // where the walk may not go above (empty path: the whole file system)
    QString folder;      // the folder listed
    Item selection;      // what OK would return
    QStringList entries; // the list's folders by index (".." first when the list can go up)
    Item chosen;
    bool done = false;
};

Browser* Of(HWND dlg) { return reinterpret_cast<Browser*>(GetWindowLongPtrW(dlg, DWLP_USER)); }

std::u16string Text(const QString& s) { return s.toStdU16String(); }

QString Top(const Browser& b) { return b.root.path.isEmpty() || b.root.csidl == CSIDL_DESKTOP ? QStringLiteral("/") : b.root.path; }

// The callback hears a selection with its item list, valid for the call.
void Notify(HWND dlg, Browser& b, UINT msg, LPARAM lp) {
    if (b.info->lpfn) b.info->lpfn(dlg, msg, lp, b.info->lParam);
}

void Select(HWND dlg, Browser& b, const Item& item) {
    b.selection = item;
    if (b.info->ulFlags & BIF_RETURNONLYFSDIRS) EnableWindow(GetDlgItem(dlg, IDOK), !item.path.isEmpty());
    if (b.info->ulFlags & BIF_EDITBOX) SetDlgItemTextW(dlg, TW_BFF_EDIT, Text(item.name).c_str());
    PIDLIST_ABSOLUTE pidl = twshell::Copy(item);
    Notify(dlg, b, BFFM_SELCHANGED, reinterpret_cast<LPARAM>(pidl));
    CoTaskMemFree(pidl);
}

Item PathItem(const QString& path) {
    PIDLIST_ABSOLUTE pidl = twshell::ItemOfPath(path);
    Item item = twshell::Read(pidl);
    CoTaskMemFree(pidl);
    return item;
}

void List(HWND dlg, Browser& b, const QString& folder) {
    b.folder = folder;
    b.entries.clear();
    HWND list = GetDlgItem(dlg, TW_BFF_TREE);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    if (QDir::cleanPath(folder) != QDir::cleanPath(Top(b))) b.entries << QStringLiteral("..");
    QStringList names = QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    b.entries << names;
    for (const QString& e : b.entries) SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Text(e).c_str()));
}

QString EntryPath(const Browser& b, int index) {
    if (index < 0 || index >= b.entries.size()) return {};
    const QString e = b.entries[index];
    return e == QLatin1String("..") ? QFileInfo(b.folder).absolutePath() : QDir(b.folder).filePath(e);
}

// Inside the root, or the root itself.
bool Within(const Browser& b, const QString& path) {
    const QString top = QDir::cleanPath(Top(b));
    const QString p = QDir::cleanPath(path);
    return top == QLatin1String("/") || p == top || p.startsWith(top + u'/');
}

void SetSelectionPath(HWND dlg, Browser& b, const QString& path) {
    const QFileInfo fi(path);
    if (!fi.isDir() || !Within(b, fi.absoluteFilePath())) return;
    const QString full = QDir::cleanPath(fi.absoluteFilePath());
    List(dlg, b, full == QDir::cleanPath(Top(b)) ? full : QFileInfo(full).absolutePath());
    const qsizetype index = b.entries.indexOf(QFileInfo(full).fileName());
    if (index >= 0) SendDlgItemMessageW(dlg, TW_BFF_TREE, LB_SETCURSEL, WPARAM(index), 0);
    Select(dlg, b, PathItem(full));
}

HWND Child(HWND dlg, const char16_t* cls, const char16_t* text, DWORD style, int x, int y, int w, int h, int id) {
    HWND c = CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, dlg,
                             reinterpret_cast<HMENU>(INT_PTR(id)), nullptr, nullptr);
    SendMessageW(c, WM_SETFONT, SendMessageW(dlg, WM_GETFONT, 0, 0), FALSE);
    return c;
}

void Build(HWND dlg, Browser& b) {
    const UINT flags = b.info->ulFlags;
    const bool newStyle = flags & BIF_NEWDIALOGSTYLE;
    int y = Margin;
    Child(dlg, u"Static", b.info->lpszTitle ? b.info->lpszTitle : u"", SS_LEFT | SS_NOPREFIX, Margin, y, Width - 2 * Margin, 32,
          TW_BFF_TITLE);
    y += 36;
    if ((flags & BIF_STATUSTEXT) && !newStyle) {
        Child(dlg, u"Static", u"", SS_LEFT | SS_NOPREFIX, Margin, y, Width - 2 * Margin, 18, TW_BFF_STATUS);
        y += 22;
    }
    const int bottom = Height - Margin - ButtonH - Margin - ((flags & BIF_EDITBOX) ? 30 : 0);
    Child(dlg, u"ListBox", u"", LBS_NOTIFY | WS_VSCROLL | WS_BORDER | WS_TABSTOP, Margin, y, Width - 2 * Margin, bottom - y,
          TW_BFF_TREE);
    if (flags & BIF_EDITBOX)
        Child(dlg, u"Edit", u"", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, Margin, bottom + 4, Width - 2 * Margin, 24, TW_BFF_EDIT);
    const int by = Height - Margin - ButtonH;
    if (newStyle && !(flags & BIF_NONEWFOLDERBUTTON))
        Child(dlg, u"Button", u"&Make New Folder", BS_PUSHBUTTON | WS_TABSTOP, Margin, by, 130, ButtonH, TW_BFF_NEWFOLDER);
    Child(dlg, u"Button", u"OK", BS_DEFPUSHBUTTON | WS_TABSTOP, Width - Margin - 2 * ButtonW - 8, by, ButtonW, ButtonH, IDOK);
    Child(dlg, u"Button", u"Cancel", BS_PUSHBUTTON | WS_TABSTOP, Width - Margin - ButtonW, by, ButtonW, ButtonH, IDCANCEL);
    RECT wr{0, 0, Width, Height};
    TwAdjustWindowRectFor(dlg, &wr);
    SetWindowPos(dlg, nullptr, 0, 0, wr.right - wr.left, wr.bottom - wr.top, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
}

// OK with an edit box: the text names a folder (absolute, or inside the listed one), or it fails
// validation and the callback decides whether the dialog closes (with nothing chosen).
bool AcceptEdit(HWND dlg, Browser& b) {
    char16_t text[1024] = {};
    GetDlgItemTextW(dlg, TW_BFF_EDIT, text, 1024);
    const QString typed = QString::fromUtf16(text);
    if (typed == b.selection.name) return true;
    const QString path = QDir::isAbsolutePath(typed) ? typed : QDir(b.folder).filePath(typed);
    if (!typed.isEmpty() && QFileInfo(path).isDir() && Within(b, path)) {
        b.selection = PathItem(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
        return true;
    }
    if (!(b.info->ulFlags & BIF_VALIDATE)) return true;
    const int keep = b.info->lpfn ? b.info->lpfn(dlg, BFFM_VALIDATEFAILEDW, reinterpret_cast<LPARAM>(text), b.info->lParam) : 0;
    if (keep) return false;
    b.selection = Item{};
    return true;
}

void NewFolder(HWND dlg, Browser& b) {
    const QString parent = b.selection.path.isEmpty() ? b.folder : b.selection.path;
    QString name = QStringLiteral("New Folder");
    for (int n = 2; QFileInfo::exists(QDir(parent).filePath(name)); ++n) name = QStringLiteral("New Folder (%1)").arg(n);
    if (QDir(parent).mkdir(name)) SetSelectionPath(dlg, b, QDir(parent).filePath(name));
}

INT_PTR CALLBACK BrowseProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    Browser* b = Of(dlg);
    switch (msg) {
    case WM_INITDIALOG: {
        b = reinterpret_cast<Browser*>(lp);
        SetWindowLongPtrW(dlg, DWLP_USER, lp);
        Build(dlg, *b);
        List(dlg, *b, b->root.path.isEmpty() || b->root.csidl == CSIDL_DESKTOP ? QStringLiteral("/") : b->root.path);
        b->selection = b->root;
        Notify(dlg, *b, BFFM_INITIALIZED, 0);
        if (b->selection.valid && b->selection.path == b->root.path) Select(dlg, *b, b->selection);
        return TRUE;
    }
    case BFFM_SETSELECTIONW:
        if (!b) return FALSE;
        if (wp) {
            SetSelectionPath(dlg, *b, QString::fromUtf16(reinterpret_cast<LPCWSTR>(lp)));
        } else {
            const Item item = twshell::Read(reinterpret_cast<PCIDLIST_ABSOLUTE>(lp));
            if (!item.path.isEmpty()) SetSelectionPath(dlg, *b, item.path);
            else if (item.valid) Select(dlg, *b, item);
        }
        return TRUE;
    case BFFM_SETEXPANDED: // the folder opens: its subfolders are listed, and it is selected
        if (b && wp) {
            const QFileInfo fi(QString::fromUtf16(reinterpret_cast<LPCWSTR>(lp)));
            if (fi.isDir() && Within(*b, fi.absoluteFilePath())) {
                const Item item = PathItem(QDir::cleanPath(fi.absoluteFilePath()));
                List(dlg, *b, item.path);
                Select(dlg, *b, item);
            }
        }
        return TRUE;
    case BFFM_ENABLEOK: EnableWindow(GetDlgItem(dlg, IDOK), lp != 0); return TRUE;
    case BFFM_SETSTATUSTEXTW: SetDlgItemTextW(dlg, TW_BFF_STATUS, reinterpret_cast<LPCWSTR>(lp)); return TRUE;
    case BFFM_SETOKTEXT: SetDlgItemTextW(dlg, IDOK, reinterpret_cast<LPCWSTR>(lp)); return TRUE;
    case WM_COMMAND: {
        if (!b) return FALSE;
        const int id = LOWORD(wp), code = HIWORD(wp);
        if (id == TW_BFF_TREE && (code == LBN_SELCHANGE || code == LBN_DBLCLK)) {
            const int index = int(SendDlgItemMessageW(dlg, TW_BFF_TREE, LB_GETCURSEL, 0, 0));
            const QString path = EntryPath(*b, index);
            if (path.isEmpty()) return TRUE;
            const Item item = PathItem(QDir::cleanPath(path));
            if (code == LBN_DBLCLK) List(dlg, *b, item.path); // into the folder (or up with "..")
            Select(dlg, *b, item);
            return TRUE;
        }
        if (id == TW_BFF_NEWFOLDER && code == BN_CLICKED) {
            NewFolder(dlg, *b);
            return TRUE;
        }
        if (id == IDOK && code == BN_CLICKED) {
            if (!IsWindowEnabled(GetDlgItem(dlg, IDOK))) return TRUE; // a disabled OK cannot be pressed
            if ((b->info->ulFlags & BIF_EDITBOX) && !AcceptEdit(dlg, *b)) return TRUE;
            b->chosen = b->selection;
            EndDialog(dlg, b->chosen.valid ? IDOK : IDCANCEL);
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

} // namespace

extern "C" {

PIDLIST_ABSOLUTE WINAPI SHBrowseForFolderW(LPBROWSEINFOW info) {
    if (!info) return nullptr;
    Browser b;
    b.info = info;
    b.root = twshell::Read(info->pidlRoot);
    if (!info->pidlRoot) {
        PIDLIST_ABSOLUTE desktop = twshell::ItemOfVirtual(CSIDL_DESKTOP);
        b.root = twshell::Read(desktop);
        CoTaskMemFree(desktop);
    }
    if (TwRunCommonDialog(TW_DIALOG_BROWSE_FOLDER, info->hwndOwner, u"Browse For Folder", BrowseProc,
                          reinterpret_cast<LPARAM>(&b)) != IDOK ||
        !b.chosen.valid)
        return nullptr;
    if (info->pszDisplayName) {
        const QString name = b.chosen.name.left(MAX_PATH - 1);
        std::copy_n(name.utf16(), name.size() + 1, info->pszDisplayName);
    }
    return twshell::Copy(b.chosen);
}

} // extern "C"
