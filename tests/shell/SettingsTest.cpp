// The settings file's pieces outside the main window: column layout texts, the output-folder list
// file kept through a save and a load, and the combo box it fills.
#include "app/shell/Settings.h"

#include <gtest/gtest.h>

#include "app/engine/Procs.h"
#include "tests/support/QtPrint.h"
#include "tests/support/TempDir.h"
#include "tests/support/windows/FormHarness.h"
#include "vcl/StdCtrls.h"

namespace {

using shell::String;
using testing_support::TempDir;

TEST(ColumnLayout, WrittenAsThreeNumbersAndReadOnlyWhenItIsExactlyThat) {
    engine::TColumnInfo ci;
    ci.Position = 4, ci.Width = 220, ci.Visible = true;
    EXPECT_EQ(shell::ColumnInfoToIniStr(ci), QStringLiteral("4,220,1"));
    ci.Visible = false;
    EXPECT_EQ(shell::ColumnInfoToIniStr(ci), QStringLiteral("4,220,0"));

    const std::tuple<const char*, bool, int, int, bool> cases[] = {
        {"4,220,1", true, 4, 220, true},   {" 2 , 80 , 0 ", true, 2, 80, false}, {"1,50,7", true, 1, 50, true},
        {"3,120", false, 0, 0, false},      {"3,120,1,1", false, 0, 0, false},   {"3,wide,1", false, 0, 0, false},
        {"", false, 0, 0, false},           {"-1,-5,0", true, -1, -5, false},
    };
    for (auto [text, ok, position, width, visible] : cases) {
        engine::TColumnInfo read;
        read.Position = 9, read.Width = 99, read.Visible = true;
        EXPECT_EQ(shell::ngTryIniStrToColumnInfo(QString::fromLatin1(text), read), ok) << text;
        if (!ok) continue;
        EXPECT_EQ(read.Position, position) << text;
        EXPECT_EQ(read.Width, width) << text;
        EXPECT_EQ(read.Visible, visible) << text;
    }
}

TEST(OutputFolderList, SavedWithoutDuplicatesAndLoadedIntoTheCombo) {
    TempDir dir;
    engine::TAppParams params;
    params.ListFile_Directories = dir.QFile(QStringLiteral("data/sub/directories.ini"));
    engine::AddListFileItem(true, QStringLiteral("/music/out/"), params.ArrListOutputDirectories);
    engine::AddListFileItem(false, QStringLiteral("/music/old"), params.ArrListOutputDirectories);
    engine::AddListFileItem(true, QStringLiteral("/music/Out"), params.ArrListOutputDirectories);
    engine::AddListFileItem(true, QStringLiteral("/music/out"), params.ArrListOutputDirectories);
    shell::SaveListFiles(params); // makes the missing folders
    const QByteArray saved = testing_support::ReadFileBytes(params.ListFile_Directories);
    EXPECT_TRUE(saved.startsWith("\xEF\xBB\xBF;Encoding: UTF-8\r\n;\r\n;List of directories\r\n;\r\n")) << saved.left(80).toStdString();

    engine::TAppParams loaded;
    loaded.ListFile_Directories = params.ListFile_Directories;
    shell::LoadListFiles(loaded);
    QStringList folders;
    for (const auto& e : loaded.ArrListOutputDirectories) folders << e.ItemValue + (e.Active ? "" : " (off)");
    EXPECT_EQ(folders, QStringList({"/music/old (off)", "/music/Out", "/music/out"})) << "paths compare exactly";

    testing_support::FormHarness h;
    auto* form = h.Create<vcl::TForm>();
    auto* combo = new vcl::TComboBox(form);
    combo->SetParent(form);
    combo->SetText(QStringLiteral("/typed/here"));
    shell::LoadComboList(combo, loaded.ArrListOutputDirectories);
    EXPECT_EQ(combo->Items()->Count(), 2);
    EXPECT_EQ(combo->Items()->Strings(0), QStringLiteral("/music/Out"));
    EXPECT_EQ(combo->Text(), QStringLiteral("/typed/here"));
}

} // namespace
