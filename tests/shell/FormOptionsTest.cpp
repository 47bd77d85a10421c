// The options window: every change reaches the main window's grid or the settings at once, nothing
// happens while the controls are filled, each activation re-reads what changed elsewhere, the language
// and style lists switch every window, and the desktop shortcut is made once.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include "app/shell/AppStrings.h"
#include "app/shell/FormAbout.h"
#include "app/shell/FormCheckUpdate.h"
#include "app/shell/FormErrors.h"
#include "app/shell/FormMainLang.h"
#include "app/shell/LangIniList.h"
#include "app/shell/MainStyle.h"
#include "app/shell/VisualStyles.h"
#include "rtl/Files.h"
#include "tests/shell/ShellWindows.h"

namespace {

using namespace shell;
using shell_test::ShellWindows;
using Options_ = ShellWindows;

TEST_F(Options_, ActivationShowsWhatChangedElsewhere) {
    Main->ng->SetOptions(Main->ng->Options() - grid::TGridOptions{grid::goGrid} + grid::TGridOptions{grid::goDisableColumnMoving});
    Main->ng->SetRowSize(31);
    engine::AppParams.FileAnalysis = engine::faQuick;
    engine::AppParams.SplitChapters = true;
    EXPECT_TRUE(Options->chFileListGridLines->Checked()); // as it was when the window was made
    Options->Show();
    Options->OnActivate(Options);
    EXPECT_FALSE(Options->chFileListGridLines->Checked());
    EXPECT_FALSE(Options->chFileListAllowColumnMoving->Checked());
    EXPECT_EQ(Options->udFileListRowHeight->Position(), 31);
    EXPECT_EQ(Options->cbFileListFileAnalysis->ItemIndex(), 1);
    EXPECT_TRUE(Options->chSplitChapters->Checked());
    // filling the boxes changed nothing back
    EXPECT_FALSE(Main->ng->Options().Contains(grid::goGrid));
    EXPECT_EQ(engine::AppParams.FileAnalysis, engine::faQuick);
}

TEST_F(Options_, FontSizeSetsEveryFontAndTheHeaderHeight) {
    struct Case {
        int size, header;
    } cases[] = {{13, 22}, {14, 34}, {6, 22}, {20, 34}};
    for (const Case& c : cases) {
        Options->udFileListFontSize->SetPosition(c.size);
        Options->udFileListFontSizeClick(Options->udFileListFontSize, vcl::btNext);
        EXPECT_EQ(Main->ng->HeaderSize(), c.header) << c.size;
        EXPECT_EQ(Main->ng->Font()->Size(), c.size);
        grid::TRgCustomColumn* last = Main->ng->Columns()->Item(Main->ng->Columns()->Count() - 1);
        EXPECT_EQ(last->Font()->Size(), c.size);
        EXPECT_EQ(last->Header()->Font()->Size(), c.size);
    }
    Options->cbFileListFont->SetText(QStringLiteral("DejaVu Serif"));
    Options->cbFileListFontSelect(Options->cbFileListFont);
    EXPECT_EQ(Main->ng->Font()->Name(), QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(Main->ng->Columns()->Item(colStatus)->Font()->Name(), QStringLiteral("DejaVu Serif"));
}

TEST_F(Options_, RowHeightReachesTheRowsThatExist) {
    Main->ng->AddRow(3);
    Main->ng->SetRowHeight(1, 40); // a row sized by hand takes the new height too
    Options->udFileListRowHeight->SetPosition(28);
    Options->udFileListRowHeightClick(Options->udFileListRowHeight, vcl::btNext);
    EXPECT_EQ(Main->ng->RowSize(), 28);
    for (int r = 0; r < 3; ++r) EXPECT_EQ(Main->ng->GetRowHeight(r), 28) << r;
    Main->ng->AddRow();
    EXPECT_EQ(Main->ng->GetRowHeight(3), 28);
}

TEST_F(Options_, GridBoxesAddAndRemoveTheirOptionColumnMovingInverted) {
    struct Case {
        vcl::TCheckBox* box;
        grid::TGridOption option;
        bool inverted;
    } cases[] = {{Options->chFileListAllowRowMoving, grid::goRowMoving, false},
                 {Options->chFileListAllowColumnMoving, grid::goDisableColumnMoving, true},
                 {Options->chFileListGridLines, grid::goGrid, false},
                 {Options->chFileListFooter, grid::goFooter, false},
                 {Options->chFileListRowIndicator, grid::goIndicator, false}};
    for (const Case& c : cases)
        for (bool tick : {false, true, false}) {
            c.box->SetChecked(tick);
            Options->chGridOptionClick(c.box);
            EXPECT_EQ(Main->ng->Options().Contains(c.option), tick != c.inverted)
                << c.box->Caption().toStdString() << " ticked " << tick;
        }
    // while the controls are filled no handler acts
    const grid::TGridOptions before = Main->ng->Options();
    bUpdatingControls = true;
    Options->chFileListGridLines->SetChecked(!before.Contains(grid::goGrid));
    Options->chGridOptionClick(Options->chFileListGridLines);
    Options->cbFileListFileAnalysis->SetItemIndex(2);
    Options->cbFileListFileAnalysisChange(Options->cbFileListFileAnalysis);
    bUpdatingControls = false;
    EXPECT_EQ(Main->ng->Options(), before);
    EXPECT_NE(engine::AppParams.FileAnalysis, engine::faNone);
}

TEST_F(Options_, AnalysisNoneLeavesNewRowsWithNameFolderSizeIconAndStatusOnly) {
    const QString file = Dir.Write("clip.webm", QByteArray(2000, 'x'));
    Options->cbFileListFileAnalysis->SetItemIndex(2);
    Options->cbFileListFileAnalysisChange(Options->cbFileListFileAnalysis);
    ASSERT_EQ(engine::AppParams.FileAnalysis, engine::faNone);
    ASSERT_EQ(Main->AddToList(file, true), arAdded);
    EXPECT_EQ(Analysed, 0);
    EXPECT_EQ(Main->ng->GetCell(colFileName, 0)->AsString(), QStringLiteral("clip.webm"));
    EXPECT_EQ(Main->ng->GetCell(colTagTitle, 0)->AsString(), QString());
    EXPECT_EQ(Main->ng->GetCell(colDuration, 0)->AsString().toDouble(), 0.0);

    Options->cbFileListFileAnalysis->SetItemIndex(0);
    Options->cbFileListFileAnalysisChange(Options->cbFileListFileAnalysis);
    Main->AddToList(Dir.Write("clip2.webm", QByteArray(2000, 'x')), true);
    EXPECT_EQ(Analysed, 1);
    EXPECT_EQ(Main->ng->GetCell(colTagTitle, 1)->AsString(), QStringLiteral("A title"));

    for (auto [box, field] : {std::pair{Options->chFileListIconClickOpen, &engine::TAppParams::OpenFileAfterIconClick},
                              std::pair{Options->chSplitChapters, &engine::TAppParams::SplitChapters}}) {
        box->SetChecked(!(engine::AppParams.*field));
        box->OnClick(box);
        EXPECT_EQ(engine::AppParams.*field, box->Checked());
    }
}

TEST_F(Options_, TheDesktopShortcutIsMadeOnceAndSilently) {
    const QString desktop = Dir.QFile("Desktop");
    qputenv("XDG_DESKTOP_DIR", desktop.toUtf8());
    qputenv("XDG_CONFIG_HOME", Dir.QFile("config").toUtf8());
    Options->btnCreateShortcutOnDesktopClick(nullptr);
    const QString entry = desktop + QStringLiteral("/Tunewright.desktop");
    ASSERT_TRUE(QFile::exists(entry));
    EXPECT_TRUE(QFile::permissions(entry) & QFileDevice::ExeOwner);
    const QString validator = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    if (!validator.isEmpty()) {
        QProcess check;
        check.start(validator, {entry});
        ASSERT_TRUE(check.waitForFinished(10000));
        EXPECT_EQ(check.exitCode(), 0) << check.readAllStandardOutput().toStdString();
    }
    // a shortcut there already stays as the user left it
    testing_support::WriteFileBytes(entry, "[Desktop Entry]\nName=Mine\n");
    Options->btnCreateShortcutOnDesktopClick(nullptr);
    EXPECT_EQ(testing_support::ReadFileBytes(entry), QByteArray("[Desktop Entry]\nName=Mine\n"));
    EXPECT_TRUE(H->Dialogs().empty());
    qunsetenv("XDG_DESKTOP_DIR");
    qunsetenv("XDG_CONFIG_HOME");
}

TEST_F(Options_, TheLanguageListSwitchesTheTextsOfTheWindows) {
    const QString langs = Dir.QFile("lang");
    QDir().mkpath(langs);
    testing_support::WriteFileBytes(langs + QStringLiteral("/German.ini"),
                                    "[INFO]\r\nLangName_InEnglish=German\r\nLangName_Native=Deutsch\r\n"
                                    "[Options]\r\nCaption=Einstellungen\r\nFileAnalysis_None=Keine\r\n"
                                    "[DirectoryList]\r\nactOk=Gut\r\n[MAIN]\r\nactShowOptions=Optionen...\r\n");
    engine::AppParams.LangDir = langs;
    PrepareLangIniList(engine::AppParams);
    Options->InitCbLanguage();
    ASSERT_EQ(Options->cbLanguage->Items()->Count(), 1);
    Options->cbFileListFileAnalysis->SetItemIndex(2);

    Options->cbLanguage->SetItemIndex(0);
    Options->cbLanguageChange(Options->cbLanguage);
    EXPECT_EQ(engine::AppParams.LanguageIni, QStringLiteral("German.ini"));
    EXPECT_EQ(Options->Caption(), QStringLiteral("Einstellungen"));
    EXPECT_EQ(Options->cbFileListFileAnalysis->Text(), QStringLiteral("Keine")); // the choice is kept
    EXPECT_EQ(Editor->actOk->Caption(), QStringLiteral("Gut"));
    EXPECT_EQ(Main->actShowOptions->Caption(), QStringLiteral("Optionen..."));

    // a name without a file changes nothing
    EXPECT_FALSE(SwitchLanguage(QStringLiteral("Klingon"), {}));
    EXPECT_EQ(engine::AppParams.LanguageIni, QStringLiteral("German.ini"));
    LangIniList.reset();
    AppStrings->SetEN();
}

TEST_F(Options_, TheMainWindowKnowsBothWindowsWhileTheyExist) {
    EXPECT_EQ(Main->OptionsForm, Options);
    EXPECT_EQ(Main->OutputDirListForm, Editor);
    EXPECT_EQ(Main->actShowOptions->ShortCut(), VK_F12);
    Main->actShowOptions->Execute();
    EXPECT_TRUE(Options->Visible());
    delete Editor;
    Editor = nullptr;
    EXPECT_EQ(Main->OutputDirListForm, nullptr);
}

TEST_F(Options_, AStyleChoiceReachesTheWindowsInOrder) {
    engine::AppParams.StylesDir = QStringLiteral(TW_STYLES_DIR);
    VisualStyles = std::make_unique<TVisualStyles>(engine::AppParams.StylesDir);
    Options->InitCbVisualStyles();
    const int carbon = Options->cbVisualStyles->Items()->IndexOf(QStringLiteral("Carbon"));
    ASSERT_GE(carbon, 0);
    FormErrors = H->Create<TFormErrors>();
    FormAbout = H->Create<TFormAbout>();
    FormCheckUpdate = H->Create<TFormCheckUpdate>();
    std::vector<std::string> reached;
    OnStyleReachedWindow = [&](const char* Window) { reached.emplace_back(Window); };
    Options->cbVisualStyles->SetItemIndex(carbon);
    Options->cbVisualStylesChange(Options->cbVisualStyles);
    OnStyleReachedWindow = nullptr;
    EXPECT_EQ(engine::AppParams.StyleName, QStringLiteral("Carbon"));
    EXPECT_TRUE(engine::AppParams.DarkStyle);
    EXPECT_EQ(VisualStyles->ActiveStyle().Name, QStringLiteral("Carbon"));
    EXPECT_EQ(reached, (std::vector<std::string>{"options", "main", "error log", "about", "update check", "output folders"}));
    ChangeVisualStyle(QStringLiteral("Windows"));
    FormErrors = nullptr;
    FormAbout = nullptr;
    FormCheckUpdate = nullptr;
    VisualStyles.reset();
}

} // namespace
