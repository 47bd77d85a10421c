// The output-folder list editor's toolbar and grid popup: the seven list actions in order with their
// separators and pictures, enabled as the selection allows, run from either bar, opened by a right press
// in the grid, and re-captioned by a language switch.
#include <QDir>

#include "app/shell/FormMainLang.h"
#include "app/shell/LangIniList.h"
#include "tests/shell/ScreenPicture.h"
#include "tests/shell/ShellWindows.h"
#include "tests/toolbars/MenuFixture.h"

namespace {

using namespace shell;
using shell_test::ShellWindows;
using DirListBars = ShellWindows;

// The captions of a bar's items, "-" for a separator.
std::string Layout(bars::TBarCustomItem* Root) {
    QStringList out;
    for (int i = 0; i < Root->Count(); ++i) {
        bars::TBarCustomItem* item = Root->GetItem(i);
        out << (dynamic_cast<bars::TBarSeparatorItem*>(item) ? QStringLiteral("-") : item->Caption());
    }
    return out.join(u',').toStdString();
}

// Remove, Select all and Unselect all of a bar as "1"/"0" for enabled.
std::string SelectionItems(bars::TBarCustomItem* Root) {
    std::string s;
    for (int i : {2, 7, 8}) s += Root->GetItem(i)->Enabled() ? '1' : '0';
    return s;
}

engine::TListFileArray Rows(int Count) {
    engine::TListFileArray items;
    for (int i = 0; i < Count; ++i) items.push_back({true, QStringLiteral("/folder%1").arg(i)});
    return items;
}

TEST_F(DirListBars, BothBarsHoldTheSevenActionsInOrderWithTheirPictures) {
    const std::string seven =
        "Add new row,Add new folder...,Remove selected rows,-,Load directory list...,Save directory list...,-,"
        "Select all rows,Unselect all rows";
    EXPECT_EQ(Layout(Editor->tbList->Items()), seven);
    EXPECT_EQ(Layout(Editor->popNg->Items()), seven);
    EXPECT_EQ(Editor->ng->PopupMenu(), Editor->popNg);
    vcl::TAction* const list[] = {Editor->actAddNewRow, Editor->actAddNewFolder, Editor->actRemoveSelected,
                                  Editor->actLoadList,  Editor->actSaveList,     Editor->actSelectAll,
                                  Editor->actUnselectAll};
    for (bars::TBarCustomItem* root : {Editor->tbList->Items(), Editor->popNg->Items()}) {
        int next = 0;
        for (int i = 0; i < root->Count(); ++i) {
            bars::TBarCustomItem* item = root->GetItem(i);
            if (dynamic_cast<bars::TBarSeparatorItem*>(item)) continue;
            EXPECT_EQ(item->Action(), list[next]) << i;
            EXPECT_EQ(item->ImageIndex(), next) << i;
            EXPECT_EQ(item->Hint(), item->Caption()) << i;
            ++next;
        }
    }
    EXPECT_EQ(Editor->tbList->Images(), Editor->pilList);
    EXPECT_EQ(Editor->popNg->Images(), Editor->pilList);
    EXPECT_EQ(Editor->pilList->Count(), 7);

    // With the icon theme beside the program the pictures are the theme's, none left blank.
    shell_test::CopyBuiltIcons(Program.QPath());
    auto* dressed = H->Create<TFormListFileEdit>();
    ASSERT_EQ(dressed->pilList->Count(), 7);
    for (int i = 0; i < 7; ++i) {
        // a blank stand-in is one colour throughout
        vcl::TPngImage* picture = dressed->pilList->PngImages()->GetItem(i)->PngImage();
        bool drawn = false;
        for (int y = 0; y < picture->Height() && !drawn; ++y)
            for (int x = 0; x < picture->Width() && !drawn; ++x) drawn = picture->Pixels(x, y) != picture->Pixels(0, 0);
        EXPECT_TRUE(drawn) << "picture " << i;
    }
}

TEST_F(DirListBars, TheSelectionItemsFollowInitControlsOnBothBars) {
    Editor->Show();
    H->Pump();
    struct Case {
        int rows;
        std::vector<int> selected;
        const char* expected; // Remove, Select all, Unselect all
    } cases[] = {{0, {}, "000"}, {3, {}, "010"}, {3, {1}, "111"}, {3, {0, 1, 2}, "101"}};
    for (const Case& c : cases) {
        Editor->LoadGridData(Rows(c.rows), QString());
        Editor->ng->ClearSelection();
        for (int r : c.selected) Editor->ng->SetSelectedFlag(r, true);
        Editor->InitControls();
        EXPECT_EQ(SelectionItems(Editor->tbList->Items()), c.expected) << c.rows << "/" << c.selected.size();
        EXPECT_EQ(SelectionItems(Editor->popNg->Items()), c.expected) << c.rows << "/" << c.selected.size();
    }
    // The other four stay enabled whatever the rows.
    for (int i : {0, 1, 4, 5}) EXPECT_TRUE(Editor->tbList->Items()->GetItem(i)->Enabled()) << i;
}

TEST_F(DirListBars, TheBarsItemsRunTheirActions) {
    Editor->Show();
    H->Pump();
    Editor->LoadGridData(Rows(3), QString());
    Editor->ng->ClearSelection();
    Editor->InitControls();
    Editor->tbList->Items()->GetItem(7)->Click(); // Select all
    EXPECT_EQ(Editor->ng->SelectedCount(), 3);
    Editor->popNg->Items()->GetItem(8)->Click(); // Unselect all
    EXPECT_EQ(Editor->ng->SelectedCount(), 0);
    Editor->ng->SetSelectedFlag(0, true);
    Editor->InitControls();
    Editor->popNg->Items()->GetItem(2)->Click(); // Remove selected
    EXPECT_EQ(Editor->ng->RowCount(), 2);
    Editor->tbList->Items()->GetItem(0)->Click(); // Add new row: its value is being edited at once
    EXPECT_EQ(Editor->ng->RowCount(), 3);
    EXPECT_TRUE(Editor->ng->Editing());
    Editor->ng->EndEditing();
    // The folder browser from the toolbar; a cancelled browser adds nothing.
    H->Script({testing_support::FormHarness::Answer(IDCANCEL)});
    Editor->tbList->Items()->GetItem(1)->Click();
    EXPECT_EQ(H->Dialogs().size(), 1u);
    EXPECT_EQ(Editor->ng->RowCount(), 3);
}

TEST_F(DirListBars, ARightPressInTheGridOpensThePopupAndItsItemRuns) {
    Editor->Show();
    H->Pump();
    Editor->LoadGridData(Rows(3), QString());
    Editor->ng->ClearSelection();
    Editor->InitControls();
    POINT at{Editor->ng->ClientWidth() / 2, Editor->ng->ClientHeight() - 10}; // below the rows
    ClientToScreen(Editor->ng->Handle(), &at);
    bool opened = false;
    std::string shownEnabled;
    H->WhenIdle([&] {
        opened = bars_test::PopupOf(Editor->popNg->Items()) != nullptr;
        shownEnabled = SelectionItems(Editor->popNg->Items());
        if (opened) bars_test::ClickAt(bars_test::ItemPoint(Editor->popNg->Items()->GetItem(7))); // Select all
        else bars_test::Key(VK_ESCAPE);
    });
    bars_test::ClickAt(at, TW_BUTTON_RIGHT);
    H->Pump();
    EXPECT_TRUE(opened);
    EXPECT_EQ(shownEnabled, "010");
    EXPECT_EQ(Editor->ng->SelectedCount(), 3);
}

TEST_F(DirListBars, ALanguageSwitchRecaptionsBothBars) {
    QDir(Program.QPath()).mkpath(QStringLiteral("lang"));
    Program.Write("lang/German.ini",
                  "[INFO]\r\nLangName_InEnglish=German\r\nLangName_Native=Deutsch\r\n[DirectoryList]\r\n"
                  "actAddNewRow=Neue Zeile\r\nactRemoveSelected=Auswahl entfernen\r\nactUnselectAll=Nichts waehlen\r\n");
    Program.Write("lang/English.ini", "[INFO]\r\nLangName_InEnglish=English\r\nLangName_Native=English\r\n");
    PrepareLangIniList(engine::AppParams);
    ASSERT_TRUE(SwitchLanguage(QStringLiteral("Deutsch")));
    const std::string german = "Neue Zeile,Add new folder...,Auswahl entfernen,-,Load directory list...,"
                               "Save directory list...,-,Select all rows,Nichts waehlen";
    EXPECT_EQ(Layout(Editor->tbList->Items()), german);
    EXPECT_EQ(Layout(Editor->popNg->Items()), german);
    EXPECT_EQ(Editor->tbList->Items()->GetItem(2)->Hint(), "Auswahl entfernen");
    ASSERT_TRUE(SwitchLanguage(QStringLiteral("English")));
    EXPECT_EQ(Editor->popNg->Items()->GetItem(0)->Caption(), "Add new row");
    EXPECT_EQ(Editor->tbList->Items()->GetItem(8)->Hint(), "Unselect all rows");
}

} // namespace
