// The shell: special folders and item lists, the folder browser answered by the dialog handler, and
// what ShellExecuteW starts.
#include "win/kernel32/userdirs.h"
#include "win/shell32/shellapi.h"
#include "win/windows.h"

#include "tests/support/Peers.h"
#include "tests/support/windows/HeadlessApp.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QMap>
#include <QTemporaryDir>
#include <QUrl>

#include <functional>
#include <vector>

#include <gtest/gtest.h>

namespace {

QString PathOf(PCIDLIST_ABSOLUTE pidl) {
    WCHAR path[MAX_PATH];
    return SHGetPathFromIDListW(pidl, path) ? QString::fromUtf16(path) : QStringLiteral("<none>");
}

TEST(SpecialFolders, PathsItemListsAndNames) {
    WCHAR path[MAX_PATH], expected[MAX_PATH];
    ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_MYMUSIC, nullptr, SHGFP_TYPE_CURRENT, path), S_OK);
    TwUserFolderPath(CSIDL_MYMUSIC, expected, MAX_PATH);
    EXPECT_EQ(std::u16string(path), std::u16string(expected));
    EXPECT_EQ(SHGetFolderPathW(nullptr, CSIDL_BITBUCKET, nullptr, 0, path), E_FAIL);

    // A folder with a path, and the computer, which has none.
    PIDLIST_ABSOLUTE music = nullptr, computer = nullptr;
    ASSERT_EQ(SHGetFolderLocation(nullptr, CSIDL_MYMUSIC, nullptr, 0, &music), S_OK);
    EXPECT_EQ(PathOf(music), QString::fromUtf16(expected));
    ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &computer), S_OK);
    EXPECT_EQ(PathOf(computer), "<none>");
    SHFILEINFOW info{};
    ASSERT_TRUE(SHGetFileInfoW(reinterpret_cast<LPCWSTR>(computer), 0, &info, sizeof info, SHGFI_PIDL | SHGFI_DISPLAYNAME));
    EXPECT_EQ(std::u16string(info.szDisplayName), u"Computer");
    IMalloc* malloc = nullptr;
    ASSERT_EQ(SHGetMalloc(&malloc), S_OK);
    malloc->Free(music);
    CoTaskMemFree(computer);
    // The create flag is no identifier of its own.
    EXPECT_NE(SHGetFolderLocation(nullptr, CSIDL_PERSONAL | CSIDL_FLAG_CREATE, nullptr, 0, &music), S_OK);

    // Looked up by name, as callers do when the export may be absent.
    HMODULE shell = LoadLibraryW(u"shell32.dll");
    ASSERT_NE(shell, nullptr);
    EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(shell, "SHGetFolderLocation")), reinterpret_cast<void*>(&SHGetFolderLocation));

    QTemporaryDir dir;
    QFile(dir.filePath("song.mp3")).open(QIODevice::WriteOnly);
    ASSERT_TRUE(SHGetFileInfoW(dir.filePath("song.mp3").toStdU16String().c_str(), 0, &info, sizeof info, SHGFI_DISPLAYNAME));
    EXPECT_EQ(std::u16string(info.szDisplayName), u"song.mp3");
    EXPECT_FALSE(SHGetFileInfoW(dir.filePath("gone.mp3").toStdU16String().c_str(), 0, &info, sizeof info, SHGFI_DISPLAYNAME));
    EXPECT_TRUE(SHGetFileInfoW(u"gone.mp3", 0, &info, sizeof info, SHGFI_DISPLAYNAME | SHGFI_USEFILEATTRIBUTES));
}

// What the desktop lacks answers as absent, so that callers take their fall-back path: no COM
// classes, no window-manager or multimedia library, no sound scheme, no task bar.
TEST(AbsentServices, AnswerSoCallersFallBack) {
    EXPECT_EQ(CoInitialize(nullptr), S_OK);
    EXPECT_EQ(CoInitialize(nullptr), S_FALSE);
    const CLSID shellLink{0x00021401, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
    void* object = &object;
    EXPECT_EQ(CoCreateInstance(shellLink, nullptr, CLSCTX_INPROC_SERVER, shellLink, &object), REGDB_E_CLASSNOTREG);
    EXPECT_EQ(object, nullptr);
    CoUninitialize();
    CoUninitialize();

    for (const char16_t* library : {u"dwmapi.dll", u"winmm.dll"})
        EXPECT_EQ(LoadLibraryW(library), nullptr) << QString::fromUtf16(library).toStdString();
    EXPECT_FALSE(PlaySoundW(u"MenuPopup", nullptr, SND_ALIAS | SND_ASYNC | SND_NODEFAULT | SND_SYSTEM));

    // The task bar query finds no bar and leaves the caller's record alone.
    EXPECT_EQ(FindWindowW(u"Shell_TrayWnd", nullptr), nullptr);
    APPBARDATA bar{};
    bar.cbSize = sizeof bar;
    bar.uEdge = ABE_LEFT;
    bar.rc = RECT{1, 2, 3, 4};
    EXPECT_EQ(SHAppBarMessage(ABM_GETTASKBARPOS, &bar), 0u);
    EXPECT_EQ(SHAppBarMessage(ABM_GETSTATE, &bar), 0u);
    EXPECT_EQ(bar.rc.right, 3);
    EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(u"shell32.dll"), "SHAppBarMessage")),
              reinterpret_cast<void*>(&SHAppBarMessage));
}

// Type names come from the MIME database: the untranslated comments, as a reader of the database's own
// file finds them.
TEST(FileInfo, TypeNamesFromTheMimeDatabase) {
    TW_REQUIRE_TOOL("/usr/bin/python3");
    const QString database = QStringLiteral("/usr/share/mime/packages/freedesktop.org.xml");
    if (!QFile::exists(database)) GTEST_SKIP() << "no MIME database (shared-mime-info)";
    if (QLocale::system().language() != QLocale::English && QLocale::system().language() != QLocale::C)
        GTEST_SKIP() << "type names are translated in this locale";
    const auto r = testing_support::RunProgram(
        "/usr/bin/python3",
        {"-c",
         "import sys, xml.etree.ElementTree as E\n"
         "n = {'m': 'http://www.freedesktop.org/standards/shared-mime-info'}\n"
         "for t in E.parse(sys.argv[1]).getroot().findall('m:mime-type', n):\n"
         "    if t.get('type') in sys.argv[2:]:\n"
         "        print(t.get('type') + '=' + [c.text for c in t.findall('m:comment', n) if not c.attrib][0])\n",
         database, "audio/mpeg", "video/webm", "inode/directory"});
    ASSERT_TRUE(r.Ok()) << r.Describe();
    QMap<QString, QString> expected;
    for (const QByteArray& line : r.Out.trimmed().split('\n')) expected[QString::fromUtf8(line.left(line.indexOf('=')))] = QString::fromUtf8(line.mid(line.indexOf('=') + 1));
    ASSERT_EQ(expected.size(), 3);
    struct Case {
        const char16_t* name;
        DWORD attributes;
        const char* type;
    };
    for (const Case& c : {Case{u"song.mp3", 0, "audio/mpeg"}, Case{u"CLIP.WEBM", 0, "video/webm"},
                          Case{u"Music", FILE_ATTRIBUTE_DIRECTORY, "inode/directory"}}) {
        SHFILEINFOW info{};
        ASSERT_TRUE(SHGetFileInfoW(c.name, c.attributes, &info, sizeof info, SHGFI_USEFILEATTRIBUTES | SHGFI_TYPENAME));
        EXPECT_EQ(QString::fromUtf16(info.szTypeName), expected[c.type]) << c.type;
    }
}

TEST(FolderBrowser, WithoutDisplayOrHandlerReturnsAtOnce) {
    BROWSEINFOW bi{};
    bi.lpszTitle = u"Pick";
    EXPECT_EQ(SHBrowseForFolderW(&bi), nullptr);
}

// One browser run: the callback's notifications as "message:path", answered by `answer`.
struct BrowseRun {
    std::vector<QString> events;
    std::function<int(HWND)> answer;
    std::function<int(HWND, UINT, LPARAM)> onCallback;
    static BrowseRun* current;

    static int CALLBACK Callback(HWND dlg, UINT msg, LPARAM lp, LPARAM data) {
        auto* run = reinterpret_cast<BrowseRun*>(data);
        QString what = msg == BFFM_INITIALIZED     ? QStringLiteral("init")
                       : msg == BFFM_SELCHANGED    ? QStringLiteral("sel:") + PathOf(reinterpret_cast<PCIDLIST_ABSOLUTE>(lp))
                       : msg == BFFM_VALIDATEFAILEDW ? QStringLiteral("invalid:") + QString::fromUtf16(reinterpret_cast<LPCWSTR>(lp))
                                                   : QStringLiteral("other");
        run->events.push_back(what);
        return run->onCallback ? run->onCallback(dlg, msg, lp) : 0;
    }
    static int CALLBACK Handler(HWND dlg, UINT kind) {
        EXPECT_EQ(kind, UINT(TW_DIALOG_BROWSE_FOLDER));
        current->events.push_back(QStringLiteral("handler"));
        return current->answer(dlg);
    }
    QString Browse(BROWSEINFOW bi) {
        current = this;
        bi.lpfn = Callback;
        bi.lParam = reinterpret_cast<LPARAM>(this);
        const TwCommonDialogProc old = TwSetCommonDialogHandler(Handler);
        PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&bi);
        TwSetCommonDialogHandler(old);
        const QString path = chosen ? PathOf(chosen) : QStringLiteral("<cancelled>");
        CoTaskMemFree(chosen);
        return path;
    }
};
BrowseRun* BrowseRun::current = nullptr;

class FolderBrowserTest : public ::testing::Test {
protected:
    testing_support::HeadlessApp app;
    QTemporaryDir dir;
    void SetUp() override {
        for (const char* d : {"music/rock", "music/jazz", "video"}) QDir().mkpath(dir.filePath(d));
    }
    QString P(const char* rel) const { return QDir::cleanPath(dir.filePath(rel)); }
};

TEST_F(FolderBrowserTest, SelectionSequenceAndChosenFolder) {
    BrowseRun run;
    const std::u16string start = P("music").toStdU16String();
    run.onCallback = [&](HWND dlg, UINT msg, LPARAM) {
        if (msg == BFFM_INITIALIZED) SendMessageW(dlg, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(start.c_str()));
        return 0;
    };
    run.answer = [&](HWND dlg) {
        // Into "music", then pick "rock" in its list.
        SendMessageW(dlg, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(start.c_str()));
        HWND list = GetDlgItem(dlg, TW_BFF_TREE);
        const std::u16string music = start;
        SendMessageW(dlg, BFFM_SETEXPANDED, TRUE, reinterpret_cast<LPARAM>(music.c_str()));
        const LRESULT rock = SendMessageW(list, LB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(u"rock"));
        EXPECT_GE(rock, 0);
        SendMessageW(list, LB_SETCURSEL, WPARAM(rock), 0);
        SendMessageW(dlg, WM_COMMAND, MAKEWPARAM(TW_BFF_TREE, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
        return IDOK;
    };
    BROWSEINFOW bi{};
    WCHAR name[MAX_PATH] = {};
    bi.pszDisplayName = name;
    bi.lpszTitle = u"Output folder";
    bi.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    EXPECT_EQ(run.Browse(bi), P("music/rock"));
    EXPECT_EQ(std::u16string(name), u"rock");
    // The callback's own selection on opening replaces the root's; each later one is heard.
    ASSERT_GE(run.events.size(), 4u);
    EXPECT_EQ(run.events[0], "init");
    EXPECT_EQ(run.events[1], "sel:" + P("music"));
    EXPECT_EQ(run.events[2], "handler");
    EXPECT_EQ(run.events.back(), "sel:" + P("music/rock"));
}

TEST_F(FolderBrowserTest, VirtualRootDisablesOkForFileSystemFoldersOnly) {
    PIDLIST_ABSOLUTE computer = nullptr;
    ASSERT_EQ(SHGetFolderLocation(nullptr, CSIDL_DRIVES, nullptr, 0, &computer), S_OK);
    BrowseRun run;
    int rounds = 0;
    run.answer = [&](HWND dlg) {
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dlg, IDOK))); // the computer has no path
        EXPECT_EQ(GetDlgItem(dlg, TW_BFF_NEWFOLDER), nullptr);  // old style
        return ++rounds == 1 ? IDOK : IDCANCEL;                  // OK is refused; then cancel
    };
    BROWSEINFOW bi{};
    bi.pidlRoot = computer;
    bi.ulFlags = BIF_RETURNONLYFSDIRS;
    EXPECT_EQ(run.Browse(bi), "<cancelled>");
    EXPECT_EQ(rounds, 2);
    CoTaskMemFree(computer);
}

TEST_F(FolderBrowserTest, EditBoxValidationAndNewFolder) {
    PIDLIST_ABSOLUTE root = ILCreateFromPathW(P("music").toStdU16String().c_str());
    BrowseRun run;
    int rounds = 0;
    run.onCallback = [&](HWND, UINT msg, LPARAM) { return msg == BFFM_VALIDATEFAILEDW ? 1 : 0; }; // keep it open
    run.answer = [&](HWND dlg) {
        if (++rounds == 1) {
            SetDlgItemTextW(dlg, TW_BFF_EDIT, u"no such folder");
            return IDOK; // refused by the callback
        }
        // New Folder makes "New Folder" inside the selection (the root) and selects it.
        SendMessageW(dlg, WM_COMMAND, MAKEWPARAM(TW_BFF_NEWFOLDER, BN_CLICKED), 0);
        return IDOK;
    };
    BROWSEINFOW bi{};
    bi.pidlRoot = root;
    bi.ulFlags = BIF_EDITBOX | BIF_VALIDATE | BIF_NEWDIALOGSTYLE;
    EXPECT_EQ(run.Browse(bi), P("music/New Folder"));
    EXPECT_TRUE(QFileInfo(P("music/New Folder")).isDir());
    EXPECT_TRUE(std::count(run.events.begin(), run.events.end(), "invalid:no such folder") == 1);
    CoTaskMemFree(root);
}

// ---- ShellExecuteW ----

std::vector<QStringList> launches;
bool fileManagerPresent = true;
BOOL CALLBACK Record(const LPCWSTR* argv, int argc, LPCWSTR, BOOL wait) {
    QStringList args;
    for (int i = 0; i < argc; ++i) args << QString::fromUtf16(argv[i]);
    if (wait) args.prepend("<wait>");
    launches.push_back(args);
    return !wait || fileManagerPresent;
}

TEST(ShellExecute, DocumentsAddressesProgramsAndTheFileManager) {
    QTemporaryDir dir;
    const QString doc = dir.filePath("notes.txt"), tool = dir.filePath("tool.sh");
    QFile(doc).open(QIODevice::WriteOnly);
    {
        QFile f(tool);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\n");
        f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
    }
    launches.clear();
    struct Restore {
        TwLaunchProc old = TwSetShellLauncher(Record);
        ~Restore() { TwSetShellLauncher(old); } // also when an assertion ends the test early
    } restore;
    struct Case {
        QString file, params;
        QStringList argv;
    };
    const Case cases[] = {
        {QStringLiteral("https://example.org/help?a=1&b=2"), {}, {"xdg-open", "https://example.org/help?a=1&b=2"}},
        {doc, {}, {"xdg-open", doc}},
        {dir.path(), {}, {"xdg-open", dir.path()}},
        {tool, QStringLiteral("-x \"two words\" 'q'"), {tool, "-x", "two words", "'q'"}},
    };
    for (const Case& c : cases) {
        launches.clear();
        EXPECT_GT(reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, u"open", c.file.toStdU16String().c_str(),
                                                          c.params.toStdU16String().c_str(), nullptr, 1)), 32)
            << c.file.toStdString();
        ASSERT_EQ(launches.size(), 1u) << c.file.toStdString();
        EXPECT_EQ(launches[0], c.argv);
    }
    launches.clear();
    const std::u16string select = (QStringLiteral("/select,\"") + doc + QStringLiteral("\"")).toStdU16String();
    ShellExecuteW(nullptr, u"open", u"explorer.exe", select.c_str(), nullptr, 1);
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_EQ(launches[0].mid(0, 2), (QStringList{"<wait>", "dbus-send"}));
    EXPECT_TRUE(launches[0].contains("array:string:" + QUrl::fromLocalFile(doc).toString(QUrl::FullyEncoded)));
    // Without a file manager on the bus, the folder opens instead.
    launches.clear();
    fileManagerPresent = false;
    ShellExecuteW(nullptr, u"open", u"explorer.exe", select.c_str(), nullptr, 1);
    fileManagerPresent = true;
    ASSERT_EQ(launches.size(), 2u);
    EXPECT_EQ(launches[1], (QStringList{"xdg-open", dir.path()}));

    launches.clear();
    EXPECT_EQ(reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, u"open", dir.filePath("gone.txt").toStdU16String().c_str(),
                                                      nullptr, nullptr, 1)), SE_ERR_FNF);
    EXPECT_TRUE(launches.empty());
}

TEST(ShellExecute, ProgramThatCannotStartIsReported) {
    QTemporaryDir dir;
    const QString tool = dir.filePath("broken.sh");
    QFile f(tool);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("#!/nonexistent/interpreter\n");
    f.close();
    f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
    EXPECT_EQ(reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, u"open", tool.toStdU16String().c_str(), nullptr, nullptr, 1)),
              SE_ERR_ACCESSDENIED);
}

} // namespace
