// The output-folder list editor: how the current folder and added folders are compared, what is
// saved, the selection actions' states, removal, drops, ".dirlist" files, and that only OK gives the
// edited list back.
#include <QDir>

#include "app/shell/AppStrings.h"
#include "tests/shell/ShellWindows.h"
#include "win/comdlg32/commdlg.h"

namespace {

using namespace shell;
using shell_test::ShellWindows;
using testing_support::FormHarness;
using Editor_ = ShellWindows;

engine::TListFileArray Items(std::initializer_list<std::pair<bool, const char*>> Rows) {
    engine::TListFileArray items;
    for (const auto& [active, value] : Rows) items.push_back({active, QString::fromUtf8(value)});
    return items;
}

QStringList Values(TFormListFileEdit* E) {
    QStringList v;
    for (int r = 0; r < E->ng->RowCount(); ++r) v << E->ng->GetCell(TFormListFileEdit::colItemValue, r)->AsString();
    return v;
}

TEST_F(Editor_, TheCurrentFolderJoinsWithADelimiterUnlessARowNamesItExactly) {
    struct Case {
        const char* current;
        QStringList expected;
    } cases[] = {
        {"/music", {"/music/", "/video"}},           // "/music/" matches once both end in a delimiter
        {"/video/", {"/music/", "/video"}},          // and the other way round
        {"/Music", {"/music/", "/video", "/Music/"}}, // letter case counts here
        {"/new", {"/music/", "/video", "/new/"}},
        {"", {"/music/", "/video"}},
    };
    for (const Case& c : cases) {
        Editor->LoadGridData(Items({{true, "/music/"}, {false, "/video"}}), QString::fromUtf8(c.current));
        EXPECT_EQ(Values(Editor), c.expected) << c.current;
        const int last = Editor->ng->RowCount() - 1;
        EXPECT_EQ(Editor->ng->GetCell(TFormListFileEdit::colNo, last)->AsInteger(), last + 1);
    }
    Editor->LoadGridData(Items({{true, "/music/"}, {false, "/video"}}), QStringLiteral("/new"));
    EXPECT_FALSE(Editor->ng->GetCell(TFormListFileEdit::colActive, 1)->AsBoolean());
    EXPECT_TRUE(Editor->ng->GetCell(TFormListFileEdit::colActive, 2)->AsBoolean());
}

TEST_F(Editor_, AnAddedFolderIsComparedWithoutCaseOrTrailingDelimiter) {
    Editor->LoadGridData(Items({{true, "/data/music/"}, {true, "/data/video/."}}), QString());
    struct Case {
        const char* folder;
        bool added;
    } cases[] = {{"/DATA/MUSIC/", false}, {"/data/music/.", false}, {"/data/music", false}, {"/Data/Video", false},
                 {"/data/musical/", true}, {"/data/musical", false}, {"/data/", true}};
    for (const Case& c : cases) EXPECT_EQ(Editor->AddDirectoryToList(QString::fromUtf8(c.folder)), c.added) << c.folder;
    EXPECT_EQ(Values(Editor), (QStringList{"/data/music/", "/data/video/.", "/data/musical", "/data"}));
    EXPECT_EQ(Editor->ng->GetCell(TFormListFileEdit::colNo, 3)->AsInteger(), 4);
}

TEST_F(Editor_, SavingDropsEmptyRowsAndKeepsTheActiveFlags) {
    Editor->Show();
    H->Pump();
    Editor->LoadGridData(Items({{false, "/a"}, {true, "/b"}}), QString());
    Editor->actAddNewRow->Execute(); // added and left empty
    EXPECT_TRUE(Editor->ng->Editing());
    Editor->ng->EndEditing();
    ASSERT_EQ(Editor->ng->RowCount(), 3);
    engine::TListFileArray saved = Items({{true, "/stale"}});
    Editor->SaveGridData(saved);
    ASSERT_EQ(saved.size(), 2u);
    EXPECT_FALSE(saved[0].Active);
    EXPECT_EQ(saved[1].ItemValue, QStringLiteral("/b"));
}

TEST_F(Editor_, SelectionActionsFollowTheRowsAndRemovalKeepsNumbers) {
    Editor->LoadGridData({}, QString());
    EXPECT_FALSE(Editor->actRemoveSelected->Enabled());
    EXPECT_FALSE(Editor->actSelectAll->Enabled());
    EXPECT_FALSE(Editor->actUnselectAll->Enabled());

    Editor->LoadGridData(Items({{true, "/1"}, {true, "/2"}, {true, "/3"}, {true, "/4"}}), QString());
    Editor->ng->ClearSelection();
    Editor->InitControls();
    EXPECT_FALSE(Editor->actRemoveSelected->Enabled());
    EXPECT_TRUE(Editor->actSelectAll->Enabled());
    EXPECT_FALSE(Editor->actUnselectAll->Enabled());
    Editor->actSelectAll->Execute();
    EXPECT_EQ(Editor->ng->SelectedCount(), 4);
    EXPECT_FALSE(Editor->actSelectAll->Enabled());
    EXPECT_TRUE(Editor->actUnselectAll->Enabled());
    Editor->actUnselectAll->Execute();
    EXPECT_EQ(Editor->ng->SelectedCount(), 0);

    Editor->ng->SetSelectedFlag(1, true);
    Editor->ng->SetSelectedFlag(3, true);
    Editor->InitControls();
    Editor->actRemoveSelected->Execute();
    EXPECT_EQ(Values(Editor), (QStringList{"/1", "/3"}));
    EXPECT_EQ(Editor->ng->GetCell(TFormListFileEdit::colNo, 1)->AsInteger(), 3);
    EXPECT_FALSE(Editor->actRemoveSelected->Enabled());
}

TEST_F(Editor_, OnlyTheFirstDroppedItemCountsAndOnlyWhenItIsAFolder) {
    QDir().mkpath(Dir.QFile("first"));
    QDir().mkpath(Dir.QFile("second"));
    const QString file = Dir.Write("song.webm", "x");
    Editor->LoadGridData({}, QString());
    Editor->DropItems({file, Dir.QFile("first")});
    Editor->DropItems({Dir.QFile("gone")});
    EXPECT_EQ(Editor->ng->RowCount(), 0);
    Editor->DropItems({Dir.QFile("first") + u'/', Dir.QFile("second")});
    EXPECT_EQ(Values(Editor), QStringList{Dir.QFile("first")});
}

TEST_F(Editor_, ADirlistFileKeepsTheListAndABadFileLoadsWhatItCan) {
    Editor->LoadGridData(Items({{true, "/music/"}, {false, "/ünïcødé folder"}}), QString());
    const QString file = Dir.QFile("folders.dirlist");
    auto answer = [&](const QString& Name) {
        return FormHarness::Answer(IDOK, [Name](const FormHarness::Dialog& d) {
            SetDlgItemTextW(d.window, edt1, reinterpret_cast<LPCWSTR>(Name.utf16()));
        });
    };
    H->Script({answer(file)});
    Editor->actSaveList->Execute();
    const QByteArray saved = testing_support::ReadFileBytes(file);
    EXPECT_TRUE(saved.startsWith("\xEF\xBB\xBF")) << saved.toStdString();
    EXPECT_FALSE(saved.contains("/music/")) << "trailing delimiters are not written";

    Editor->LoadGridData(Items({{true, "/other"}}), QString());
    H->Script({answer(file)});
    Editor->actLoadList->Execute();
    EXPECT_EQ(Values(Editor), (QStringList{"/music", "/ünïcødé folder"}));
    EXPECT_FALSE(Editor->ng->GetCell(TFormListFileEdit::colActive, 1)->AsBoolean());

    // a file that does not exist gives an empty list, one with junk the entries it can read, one that is
    // not UTF-8 text nothing (the list reader takes no guesses there)
    struct Case {
        QByteArray bytes;
        QStringList expected;
    } cases[] = {{QByteArray(), {}},
                 {QByteArray("junk = line\r\n[x]\r\nValue=[/kept/]\r\n[y]\r\nActive=1\r\n[z\r\nValue=\r\n[]\r\n"),
                  {"/kept"}},
                 {QByteArray("[x]\r\nValue=[/b\xC3(d]\r\n"), {}}};
    for (const Case& c : cases) {
        const QString bad = Dir.QFile("bad.dirlist");
        QFile::remove(bad);
        if (!c.bytes.isEmpty()) testing_support::WriteFileBytes(bad, c.bytes);
        H->Script({answer(bad)});
        Editor->actLoadList->Execute();
        EXPECT_EQ(Editor->dlgOpenListFile->FileName(), bad); // not the tail of the longer name before it
        EXPECT_EQ(Values(Editor), c.expected);
    }
    EXPECT_EQ(Editor->dlgOpenListFile->DefaultExt(), QStringLiteral("dirlist"));
    EXPECT_TRUE(Editor->dlgSaveListFile->Options().Contains(vcl::ofOverwritePrompt));
}

TEST_F(Editor_, OnlyOkGivesTheEditedListBack) {
    const engine::TListFileArray original = Items({{true, "/a"}, {true, "/b"}});
    auto edit = [&](int Result, std::function<void()> Change) {
        engine::TListFileArray list = original;
        H->Script({FormHarness::Answer(Result, [&](const FormHarness::Dialog&) { Change(); })});
        const bool ok = EditOutputDirList(*Editor, list, QStringLiteral("/c"));
        return std::pair{ok, list};
    };
    auto removeFirst = [&] {
        Editor->ng->ClearSelection();
        Editor->ng->SetSelectedFlag(0, true);
        Editor->InitControls(); // as a click does
        Editor->actRemoveSelected->Execute();
    };
    for (int result : {int(vcl::mrCancel)}) {
        const auto [ok, list] = edit(result, removeFirst);
        EXPECT_FALSE(ok);
        ASSERT_EQ(list.size(), 2u);
        EXPECT_EQ(list[0].ItemValue, QStringLiteral("/a"));
    }
    const auto [ok, list] = edit(vcl::mrOk, [&] {
        removeFirst();
        Editor->AddDirectoryToList(QStringLiteral("/b/")); // a duplicate by the editor's test: nothing added
    });
    EXPECT_TRUE(ok);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].ItemValue, QStringLiteral("/b"));
    EXPECT_EQ(list[1].ItemValue, QStringLiteral("/c/"));
}

// The main window's button beside the output-folder box opens the editor on the box's text; only OK
// refills the box's list, and the folder typed in the box stays.
TEST_F(Editor_, TheFolderBoxsButtonEditsTheListAndOkRefillsTheBox) {
    engine::AppParams.ArrListOutputDirectories = Items({{true, "/a"}, {false, "/off"}});
    Main->OutputDirListChanged();
    Main->cbOutDirMode->SetItemIndex(4); // the custom folder: the button is enabled
    Main->cbOutDir->SetText(QStringLiteral("/typed"));
    Main->PanelControlChange(Main->cbOutDir);
    Main->InitControls();
    ASSERT_TRUE(Main->actEditOutputDirList->Enabled());
    auto boxItems = [&] {
        QStringList items;
        for (int i = 0; i < Main->cbOutDir->Items()->Count(); ++i) items << Main->cbOutDir->Items()->Strings(i);
        return items;
    };
    ASSERT_EQ(boxItems(), QStringList{"/a"});
    QStringList shown;
    for (int result : {int(vcl::mrCancel), int(vcl::mrOk)}) {
        H->Script({FormHarness::Answer(result, [&](const FormHarness::Dialog&) {
            shown = Values(Editor);
            Editor->AddDirectoryToList(QStringLiteral("/new"));
        })});
        Main->btnEditOutputDirList->Click();
        EXPECT_EQ(shown, (QStringList{"/a", "/off", "/typed/"})) << result; // the box's text is offered
        EXPECT_EQ(boxItems(), result == vcl::mrOk ? (QStringList{"/a", "/typed/", "/new"}) : QStringList{"/a"}) << result;
        EXPECT_EQ(Main->cbOutDir->Text(), QStringLiteral("/typed")) << result;
    }
    engine::AppParams.ArrListOutputDirectories.clear();
}

TEST_F(Editor_, EscAndTheButtonsCloseWithTheirResults) {
    for (auto [action, result] : {std::pair{Editor->actOk, vcl::mrOk}, std::pair{Editor->actCancel, vcl::mrCancel},
                                  std::pair{Editor->actEsc, vcl::mrCancel}}) {
        Editor->SetModalResult(vcl::mrNone);
        action->Execute();
        EXPECT_EQ(Editor->ModalResult(), result);
    }
    EXPECT_EQ(Editor->actEsc->ShortCut(), VK_ESCAPE);
}

} // namespace
