// SHGetFileInfoW from the MIME database and the desktop's icon theme.
#include "win/shell32/Items.h"
#include "win/shell32/shellapi.h"
#include "win/kernel32/fileapi.h"
#include "win/user32/Icons.h"

#include <QFileInfo>
#include <QIcon>
#include <QImage>
#include <QMimeDatabase>

#include <algorithm>
#include <cstring>

namespace {

void Put(WCHAR* to, size_t capacity, const QString& text) {
    const QString cut = text.left(qsizetype(capacity) - 1);
    std::memcpy(to, cut.utf16(), size_t(cut.size()) * 2);
    to[cut.size()] = 0;
}

HICON ThemeIcon(const QMimeType& type, bool folder, int size) {
    QIcon icon = QIcon::fromTheme(folder ? QStringLiteral("folder") : type.iconName());
    if (icon.isNull() && !folder) icon = QIcon::fromTheme(type.genericIconName());
    if (icon.isNull()) return nullptr;
    const QImage image = icon.pixmap(size, size).toImage().convertToFormat(QImage::Format_ARGB32);
    if (image.isNull()) return nullptr;
    winuser::IconImage out;
    out.width = image.width();
    out.height = image.height();
    out.hasAlpha = true;
    out.argb.resize(size_t(out.width) * size_t(out.height));
    out.transparent.assign(out.argb.size(), 0);
    for (int y = 0; y < out.height; ++y)
        std::memcpy(&out.argb[size_t(y) * size_t(out.width)], image.constScanLine(y), size_t(out.width) * 4);
    return winuser::IconFromImage(out);
}

} // namespace

extern "C" {

DWORD_PTR WINAPI SHGetFileInfoW(LPCWSTR pszPath, DWORD attributes, SHFILEINFOW* info, UINT size, UINT flags) {
    if (!pszPath || (info && size < sizeof(SHFILEINFOW))) return 0;
    QString path, name;
    bool folder = false;
    if (flags & SHGFI_PIDL) {
        const twshell::Item item = twshell::Read(reinterpret_cast<PCIDLIST_ABSOLUTE>(pszPath));
        if (!item.valid) return 0;
        path = item.path;
        name = item.name;
        folder = true; // item lists here are folders
    } else {
        path = QString::fromUtf16(pszPath);
        const QFileInfo fi(path);
        if (flags & SHGFI_USEFILEATTRIBUTES) {
            folder = attributes & FILE_ATTRIBUTE_DIRECTORY;
        } else {
            if (!fi.exists()) return 0;
            folder = fi.isDir();
        }
        name = fi.fileName().isEmpty() ? path : fi.fileName();
    }
    if (!info) return 1;
    std::memset(info, 0, sizeof *info);
    static const QMimeDatabase mimes;
    const QMimeType type = folder ? mimes.mimeTypeForName(QStringLiteral("inode/directory"))
                                  : (flags & SHGFI_USEFILEATTRIBUTES ? mimes.mimeTypeForFile(path, QMimeDatabase::MatchExtension)
                                                                     : mimes.mimeTypeForFile(path));
    if (flags & SHGFI_DISPLAYNAME) Put(info->szDisplayName, MAX_PATH, name);
    if (flags & SHGFI_TYPENAME) Put(info->szTypeName, 80, type.comment());
    if (flags & SHGFI_ATTRIBUTES) info->dwAttributes = folder ? 0x20000000 /* SFGAO_FOLDER */ : 0;
    if (flags & SHGFI_ICON) {
        info->hIcon = ThemeIcon(type, folder, (flags & SHGFI_SMALLICON) ? 16 : 32);
        if (!info->hIcon) return 0; // no icon theme has one
    }
    return 1;
}

} // extern "C"
