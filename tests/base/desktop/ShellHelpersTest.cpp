// The desktop shortcut (checked with desktop-file-validate), the plain folder picker and the
// configurable folder dialog, answered by the common-dialog handler.
#include "base/BrowseForFolder.h"
#include "base/ShellFolders.h"
#include "base/Shortcuts.h"

#include "tests/support/Peers.h"
#include "tests/support/windows/FormHarness.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <functional>

#include <gtest/gtest.h>

namespace {

using namespace base;
using testing_support::FormHarness;

// HOME and the XDG configuration in a temporary folder for one test.
class UserHome {
public:
    UserHome() : savedHome_(qgetenv("HOME")), savedConfig_(qgetenv("XDG_CONFIG_HOME")) {
        qputenv("HOME", dir.path().toUtf8());
        qputenv("XDG_CONFIG_HOME", dir.filePath(".config").toUtf8());
        QDir().mkpath(dir.filePath(".config"));
    }
    ~UserHome() {
        qputenv("HOME", savedHome_);
        if (savedConfig_.isEmpty()) qunsetenv("XDG_CONFIG_HOME");
        else qputenv("XDG_CONFIG_HOME", savedConfig_);
    }
    void UserDirs(const QByteArray& text) {
        QFile f(dir.filePath(".config/user-dirs.dirs"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    QTemporaryDir dir;

private:
    QByteArray savedHome_, savedConfig_;
};

TEST(Shortcuts, DesktopEntryIsValidExecutableAndFound) {
    TW_REQUIRE_TOOL("desktop-file-validate");
    UserHome home;
    home.UserDirs("XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n");
    const QString target = home.dir.filePath("my apps/Tune \"wright\" $5 100%/tunewright");
    EXPECT_FALSE(ShortcutExists(QStringLiteral("Desktop"), QStringLiteral("Tunewright.lnk")));
    // The desktop folder does not exist yet: it is made.
    CreateShortcut(target, QStringLiteral("Desktop"), QStringLiteral("Tunewright.lnk"), QStringLiteral("Tunewright 2.1 — audio"));
    const QString link = home.dir.filePath("Schreibtisch/Tunewright.desktop");
    ASSERT_TRUE(QFileInfo::exists(link));
    EXPECT_TRUE(QFileInfo(link).isExecutable());
    EXPECT_TRUE(ShortcutExists(QStringLiteral("Desktop"), QStringLiteral("Tunewright.lnk")));
    EXPECT_FALSE(ShortcutExists(QStringLiteral("No Such Folder"), QStringLiteral("Tunewright.lnk")));
    const auto r = testing_support::RunProgram("desktop-file-validate", {link});
    EXPECT_TRUE(r.Ok()) << r.Describe() << r.Out.toStdString();
    EXPECT_TRUE(r.Out.trimmed().isEmpty()) << r.Out.toStdString(); // not even a hint
    QFile f(link);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(f.readAll());
    // Quoted, the desktop entry format's reserved characters escaped, backslashes doubled by the string type, '%' doubled.
    EXPECT_TRUE(text.contains("\nExec=\"" + home.dir.path() + "/my apps/Tune \\\\\"wright\\\\\" \\\\$5 100%%/tunewright\"\n"))
        << text.toStdString();
    EXPECT_TRUE(text.contains("\nName=Tunewright\n"));
    EXPECT_TRUE(text.contains("\nComment=Tunewright 2.1 — audio\n"));
}

// Runs what the dialog handler is given, one round per call.
std::function<int(HWND)> answer;
int CALLBACK Answer(HWND dlg, UINT) { return answer(dlg); }

class BrowseDialogTest : public ::testing::Test {
protected:
    FormHarness h;
    QTemporaryDir dir;
    vcl::TForm* form = nullptr;
    TwCommonDialogProc old = nullptr;
    void SetUp() override {
        QDir().mkpath(dir.filePath("music/rock"));
        form = h.Show<vcl::TForm>();
        old = TwSetCommonDialogHandler(Answer);
    }
    void TearDown() override {
        TwSetCommonDialogHandler(old);
        answer = nullptr;
    }
    QString P(const char* rel) const { return QDir::cleanPath(dir.filePath(rel)); }
};

TEST_F(BrowseDialogTest, RootFolderIdentifiers) {
    TKwBrowseDialog d(form);
    EXPECT_NO_THROW(d.SetRootFolderID(0)); // unchanged
    try {
        d.SetRootFolderID(0x8005); // CSIDL_PERSONAL with the create flag
        FAIL();
    } catch (const EKwShellFolders& E) {
        EXPECT_EQ(E.Message(), "Invalid special folder ID");
    }
    EXPECT_THROW(d.SetRootFolderID(0x3C), EKwShellFolders); // a gap in the shell's numbers
    d.SetRootFolderID(CSIDL_STARTUP);                        // accepted, but no such folder here
    answer = [](HWND) { return IDOK; };
    try {
        d.Execute();
        FAIL();
    } catch (const EKwShellFolders& E) {
        EXPECT_EQ(E.Message(), "Root folder not supported on this system");
    }
}

TEST_F(BrowseDialogTest, OldStyleWithStatusHelpAndSelection) {
    TKwBrowseDialog d(form);
    d.SetOptions({boShowHelp, boStatusText, boDirsOnly});
    d.SetFolderName(P("music"));
    d.SetTitle(QStringLiteral("Output folders"));
    d.SetHeadline(QStringLiteral("Choose a folder"));
    std::vector<QString> seen;
    d.OnInitialise = [&](rtl::TObject*) { seen.push_back("init"); };
    d.OnClose = [&](rtl::TObject*) { seen.push_back("close"); };
    d.OnSelChange = [&](rtl::TObject*, const String& Folder, const String& Display, String& Status, bool&) {
        seen.push_back("sel " + Display);
        Status = "at " + Folder;
    };
    answer = [&](HWND dlg) {
        WCHAR text[256];
        GetWindowTextW(dlg, text, 256);
        EXPECT_EQ(QString::fromUtf16(text), "Output folders");
        GetDlgItemTextW(dlg, TW_BFF_STATUS, text, 256);
        EXPECT_EQ(QString::fromUtf16(text), "at " + P("music"));
        // Help: present, disabled without a help context, where Cancel was; OK and Cancel moved left.
        HWND help = GetDlgItem(dlg, KwBrowseHelpButtonID);
        EXPECT_NE(help, nullptr);
        EXPECT_FALSE(IsWindowEnabled(help));
        RECT ok, cancel, hr;
        GetWindowRect(GetDlgItem(dlg, IDOK), &ok);
        GetWindowRect(GetDlgItem(dlg, IDCANCEL), &cancel);
        GetWindowRect(help, &hr);
        EXPECT_EQ(hr.left - cancel.left, cancel.left - ok.left);
        EXPECT_EQ(ok.top, hr.top);
        // The context-help style went with boContextHelp.
        EXPECT_FALSE(GetWindowLongW(dlg, GWL_EXSTYLE) & WS_EX_CONTEXTHELP);
        const std::u16string rock = P("music/rock").toStdU16String();
        SendMessageW(dlg, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(rock.c_str()));
        return IDOK;
    };
    ASSERT_TRUE(d.Execute());
    EXPECT_EQ(d.FolderName(), P("music/rock"));
    EXPECT_EQ(d.DisplayName(), "rock");
    EXPECT_EQ(d.Handle(), nullptr);
    EXPECT_EQ(seen, (std::vector<QString>{"sel music", "init", "sel rock", "close"}));
}

TEST_F(BrowseDialogTest, VirtualRootDisablesOkAndCancelKeepsTheFolder) {
    TKwBrowseDialog d(form);
    d.SetRootFolderID(CSIDL_DRIVES);
    d.SetOptions({boContextHelp, boDirsOnly, boNewDlgStyle, boHideMakeFolderBtn});
    d.SetFolderName(QStringLiteral("/kept"));
    bool okSeen = true;
    std::vector<QString> seen;
    d.OnInitialise = [&](rtl::TObject*) { seen.push_back("init"); };
    d.OnSelChange = [&](rtl::TObject*, const String&, const String& Display, String&, bool& OKEnabled) {
        seen.push_back("sel " + Display);
        if (Display == "Computer") okSeen = OKEnabled;
    };
    answer = [&](HWND dlg) {
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dlg, IDOK)));
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(dlg, KwBrowseNewFolderButtonID)));
        EXPECT_TRUE(GetWindowLongW(dlg, GWL_EXSTYLE) & WS_EX_CONTEXTHELP);
        return IDCANCEL;
    };
    EXPECT_FALSE(d.Execute());
    EXPECT_FALSE(okSeen);
    // The root is announced once set up, and again as the dialog's own first selection.
    EXPECT_EQ(seen, (std::vector<QString>{"init", "sel Computer", "sel Computer"}));
    EXPECT_EQ(d.FolderName(), "/kept");
}

TEST_F(BrowseDialogTest, ValidationFailureMayKeepTheDialogOpen) {
    TKwBrowseDialog d(form);
    d.SetOptions({boContextHelp, boDirsOnly, boNewDlgStyle, boEditBox});
    d.SetFolderName(P("music"));
    std::vector<QString> typed;
    d.OnValidationFailed = [&](rtl::TObject*, const String& Text, bool& CanClose) {
        typed.push_back(Text);
        CanClose = typed.size() > 1;
    };
    answer = [&](HWND dlg) {
        SetDlgItemTextW(dlg, TW_BFF_EDIT, u"nowhere");
        return IDOK;
    };
    EXPECT_FALSE(d.Execute()); // the second failure closes it with nothing chosen
    EXPECT_EQ(typed, (std::vector<QString>{"nowhere", "nowhere"}));
}

TEST_F(BrowseDialogTest, PlainPickerStartsAtTheInitialFolder) {
    answer = [&](HWND dlg) {
        WCHAR text[256];
        GetDlgItemTextW(dlg, TW_BFF_TITLE, text, 256);
        EXPECT_EQ(QString::fromUtf16(text), "Pick");
        return IDOK;
    };
    EXPECT_EQ(BrowseForFolder(QStringLiteral("Pick"), P("music/rock"), nullptr), P("music/rock"));
    answer = [](HWND) { return IDCANCEL; };
    EXPECT_EQ(BrowseForFolder(QString(), P("music"), form->Handle()), "");
}

TEST(FolderPickerInForms, AnsweredByTheFormHarnessScript) {
    FormHarness h;
    QTemporaryDir dir;
    QDir().mkpath(dir.filePath("out"));
    const std::u16string out = QDir::cleanPath(dir.filePath("out")).toStdU16String();
    h.Script({FormHarness::Answer(IDOK, [&](const FormHarness::Dialog& d) {
        EXPECT_EQ(d.commonKind, UINT(TW_DIALOG_BROWSE_FOLDER));
        SendMessageW(d.window, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(out.c_str()));
    })});
    EXPECT_EQ(BrowseForFolder(QString(), QString(), nullptr).toStdU16String(), out);
    ASSERT_EQ(h.Dialogs().size(), 1u);
    EXPECT_EQ(h.Dialogs()[0].caption, "Browse For Folder");
}

} // namespace
