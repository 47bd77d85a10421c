// base/Shortcuts.cpp
#include "base/Shortcuts.h"

#include "win/windows.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace base {

namespace {

const char16_t* const ShellFoldersKey = u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// The folder the value names; false when the key cannot be opened (a missing value reads empty).
bool ShellFolder(const rtl::String& ValueName, rtl::String& Folder) {
    HKEY Key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, ShellFoldersKey, 0, KEY_READ, &Key) != ERROR_SUCCESS) return false;
    DWORD Size = 0, Type = 0;
    Folder.clear();
    const LPCWSTR Name = reinterpret_cast<LPCWSTR>(ValueName.utf16());
    if (RegQueryValueExW(Key, Name, nullptr, &Type, nullptr, &Size) == ERROR_SUCCESS && Size >= 2) {
        std::u16string Buffer(Size / 2, u'\0');
        if (RegQueryValueExW(Key, Name, nullptr, &Type, reinterpret_cast<BYTE*>(Buffer.data()), &Size) == ERROR_SUCCESS)
            Folder = rtl::String::fromStdU16String(Buffer.c_str());
    }
    RegCloseKey(Key);
    return true;
}

rtl::String LinkName(const rtl::String& LinkFileName) {
    if (LinkFileName.endsWith(QLatin1String(".lnk"), Qt::CaseInsensitive))
        return LinkFileName.left(LinkFileName.size() - 4) + QStringLiteral(".desktop");
    return LinkFileName;
}

// One argument of Exec: quoted when it holds anything but plain characters, with the characters the
// desktop entry format reserves escaped inside the quotes.
rtl::String ExecArgument(const rtl::String& Arg) {
    static const QString Reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`=%");
    bool Plain = !Arg.isEmpty();
    for (QChar C : Arg)
        if (Reserved.contains(C)) Plain = false;
    rtl::String Out;
    if (Plain) return Arg;
    Out += u'"';
    for (QChar C : Arg) {
        if (C == u'"' || C == u'`' || C == u'$' || C == u'\\') Out += u'\\';
        Out += C;
    }
    Out += u'"';
    return Out;
}

// A value of a key: the escapes of the string type, and a literal '%' doubled for Exec.
rtl::String Escaped(const rtl::String& Value, bool Exec) {
    rtl::String Out;
    for (QChar C : Value) {
        if (C == u'\\') Out += QStringLiteral("\\\\");
        else if (C == u'\n') Out += QStringLiteral("\\n");
        else if (C == u'\t') Out += QStringLiteral("\\t");
        else if (C == u'\r') Out += QStringLiteral("\\r");
        else if (C == u'%' && Exec) Out += QStringLiteral("%%");
        else Out += C;
    }
    return Out;
}

} // namespace

rtl::String DesktopEntryText(const rtl::String& Name, const rtl::String& TargetPath, const rtl::String& Description) {
    rtl::String Text = QStringLiteral("[Desktop Entry]\nType=Application\nVersion=1.0\n");
    Text += QStringLiteral("Name=") + Escaped(Name, false) + u'\n';
    if (!Description.isEmpty()) Text += QStringLiteral("Comment=") + Escaped(Description, false) + u'\n';
    Text += QStringLiteral("Exec=") + Escaped(ExecArgument(TargetPath), true) + u'\n';
    Text += QStringLiteral("Path=") + Escaped(QFileInfo(TargetPath).absolutePath(), false) + u'\n';
    Text += QStringLiteral("Terminal=false\nCategories=AudioVideo;Audio;\n");
    return Text;
}

bool ShortcutExists(const rtl::String& FolderValueName, const rtl::String& LinkFileName) {
    rtl::String Folder;
    if (!ShellFolder(FolderValueName, Folder)) return false;
    return QFileInfo::exists(Folder + u'/' + LinkName(LinkFileName));
}

void CreateShortcut(const rtl::String& TargetPath, const rtl::String& FolderValueName, const rtl::String& LinkFileName,
                    const rtl::String& Description) {
    try {
        rtl::String Folder;
        if (!ShellFolder(FolderValueName, Folder) || Folder.isEmpty()) return;
        if (!QDir().mkpath(Folder)) return;
        const rtl::String Link = LinkName(LinkFileName);
        // Written beside the target under a unique name and renamed into place: never half a file.
        QSaveFile File(Folder + u'/' + Link);
        if (!File.open(QIODevice::WriteOnly)) return;
        const rtl::String Name = QFileInfo(Link).completeBaseName();
        File.write(DesktopEntryText(Name, TargetPath, Description).toUtf8());
        File.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                            QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::ExeOther);
        File.commit();
    } catch (...) {
        // A shortcut is a convenience: nothing is shown and nothing escapes.
    }
}

} // namespace base
