// The main window's bars headless: what the menus, toolbars and popups hold, the buttons and keys following
// their actions (also during a run), the column menus' marks, the language switch, the pictures per style,
// the navigation bar's fold, and the image lists let go at the close.
#include "app/shell/FormMain.h"

#include <gtest/gtest.h>

#include <QDir>

#include "app/engine/Procs.h"
#include "app/shell/AppStrings.h"
#include "app/shell/FormFileInfo.h"
#include "app/shell/FormMainLang.h"
#include "app/shell/Links.h"
#include "tests/support/QtPrint.h"
#include "tests/support/TempDir.h"
#include "tests/support/windows/FormHarness.h"
#include "tests/toolbars/MenuFixture.h"

namespace {

using namespace shell;
using testing_support::FormHarness;
using testing_support::TempDir;

const QByteArray GermanIni =
    "[INFO]\r\nLangName_InEnglish=German\r\nLangName_Native=Deutsch\r\n"
    "[MAIN]\r\nmnuFile=Datei\r\nmnuFileList=Dateiliste\r\nmnuEncoder=Kodierer\r\nmnuHelp=Hilfe\r\nmnuLinks=Verweise\r\n"
    "mnuColumns=Spalten\r\nbtnAdd=Hinzu\r\nbtnAddFolder=Ordner\r\nactAddFolder=Ordner hinzu...\r\nbtnRemove=Weg\r\n"
    "btnConvert=Los\r\nbtnOptions=Optionen\r\nbtnFileInfo=Daten\r\nactStayOnTop=Immer oben\r\n"
    "actRemoveChecked=Markierte entfernen\r\nStartFrom_Percent=Ab %s\r\ncolSize=Groesse\r\n"
    "actHideSettingsPanel=Einklappen\r\n";
const QByteArray EnglishIni = "[INFO]\r\nLangName_InEnglish=English\r\nLangName_Native=English\r\n";

// An item list as text: captions, "-" for a separator, a submenu's items in brackets.
std::string Layout(bars::TBarCustomItem* Root, bool Deep = false) {
    QStringList out;
    for (int i = 0; i < Root->Count(); ++i) {
        bars::TBarCustomItem* item = Root->GetItem(i);
        if (dynamic_cast<bars::TBarSeparatorItem*>(item)) {
            out << QStringLiteral("-");
            continue;
        }
        QString s = item->Caption();
        if (Deep && item->Count() > 0) s += QStringLiteral("[") + QString::number(item->Count()) + QStringLiteral("]");
        out << s;
    }
    return out.join(u',').toStdString();
}

class MainBars : public ::testing::Test {
protected:
    void SetUp() override {
        engine::SetProgramDirOverride(Program.QPath());
        engine::ForgetMissingTools();
        QDir(Program.QPath()).mkpath("lang");
        Program.Write("lang/German.ini", GermanIni);
        Program.Write("lang/English.ini", EnglishIni);
    }
    void TearDown() override {
        H.reset();
        engine::SetProgramDirOverride({});
        StartArgs.reset();
        FormFileInfo = nullptr;
        bConverting = false;
        engine::AppParams.StyleName = QStringLiteral("Windows");
    }
    TFormMain* Create() {
        StartArgs = QStringList();
        H = std::make_unique<FormHarness>();
        TFormMain* w = H->Create<TFormMain>();
        w->AnalyseForRow = [](const String&, engine::TVideoFileInfo& Info, engine::TTagRec&) { Info.Duration = 1000; };
        w->AnalyseSelected = [](const String&) { return engine::TVideoFileInfo(); };
        return w;
    }
    QString Media(const QString& Name) { return Dir.Write(Name, QByteArray(100, 'm')); }
    // Closes the menu that opens next without choosing.
    void CancelNextMenu() {
        H->WhenIdle([] {
            bars_test::Key(VK_ESCAPE);
            bars_test::Key(VK_ESCAPE);
        });
    }

    TempDir Program, Dir;
    std::unique_ptr<FormHarness> H;
};

TEST_F(MainBars, MenusToolbarsAndPopupsHoldTheirActionsInOrder) {
    TFormMain* w = Create();
    EXPECT_EQ(Layout(w->tbMenu->Items()), "File,File list,Encoder,Help,,Links");
    EXPECT_EQ(Layout(w->mnuFile), "Convert,-,Add files...,Add folder...,-,Save commands to a batch file...,-,"
                                  "Options...,Stay on top,-,Minimize to tray,Exit");
    EXPECT_EQ(Layout(w->mnuFileList, true),
              "Remove checked files,Clear file list,-,Check all,Uncheck all,Invert selection,Check selected,"
              "Uncheck selected,-,Load file list...,Save file list...,-,File information,Open directory \"\",-,"
              "Columns[34]");
    EXPECT_EQ(Layout(w->mnuEncoder), "Show progress window,-,Load profile...,Save profile...,-,Default encoder settings,"
                                     "-,Play,-,Command line...,Show/hide the error log,Tools info");
    EXPECT_EQ(Layout(w->mnuHelp), "Help,-,Go to the home page,Download,-,Check for updates...,-,About...");
    EXPECT_EQ(w->mnuLinks->Count(), int(lnkCount));
    // The link buttons show pictures only.
    EXPECT_EQ(Layout(w->tbMain->Items()), "Add,Add folder,Remove,-,Convert,-,File info,Options,-,,-,");
    EXPECT_EQ(w->btnStayOnTop->Hint(), "Stay on top");
    EXPECT_EQ(w->btnHomePage->Hint(), w->actGoToHomePage->Hint());
    EXPECT_EQ(Layout(w->popNg->Items(), true),
              "Convert,-,Add files...,Add folder...,Remove checked files,Clear file list,-,Check all,Uncheck all,"
              "Invert selection,Check selected,Uncheck selected,-,Load file list...,Save file list...,-,"
              "File information,-,Open directory \"\",-,Columns[34]");
    // The three column menus list the same 29 actions in five groups.
    const std::string columns = "No,Icon,Full file name,File,Directory,Size,Duration,-,Audio,Audio codec,Audio codec ID,"
                            "Audio profile,Audio bitrate,Channels,Sampling rate,Audio stream size,-,Video,-,Menu,"
                            "Chapters,Chapter title,Chapter start,Chapter end,Chapter,-,Artist,Title,Album,Year,Track,"
                            "Genre,-,Status";
    EXPECT_EQ(Layout(w->popColumns->Items()), columns);
    EXPECT_EQ(Layout(w->popColumnsSubmenu), columns);
    EXPECT_EQ(Layout(w->mnuColumnsMenu), columns);
    EXPECT_EQ(w->miStartF[5]->Caption(), "Start from 50%");
    EXPECT_EQ(w->miStartF[0]->Caption(), "Start from 0%");
}

TEST_F(MainBars, MirroredButtonsKeysAndStayOnTopFollowTheirActionsAndNothingRunsDuringARun) {
    TFormMain* w = Create();
    FormFileInfo = H->Create<TFormFileInfo>();
    w->Show();
    H->Pump();
    auto buttons = [&] {
        QString s;
        for (skins::TSkItem* b : {w->btnConvert, w->btnRemove, w->btnFileInfo, w->btnAdd}) s += b->Enabled() ? '1' : '0';
        return s.toStdString();
    };
    EXPECT_EQ(buttons(), "0001");
    w->AddToList(Media("a.webm"), false);
    w->InitControls();
    EXPECT_EQ(buttons(), "0011");
    w->ng->GetCell(colActive, 0)->SetAsBoolean(true);
    w->InitControls();
    EXPECT_EQ(buttons(), "1111");
    EXPECT_EQ(w->btnConvert->Hint(), w->actConvert->Hint());

    // F10 still runs the file information, not the menu bar.
    H->Keys(VK_F10);
    H->Pump();
    EXPECT_TRUE(FormFileInfo->Visible());
    H->Keys(VK_F10);
    H->Pump();
    EXPECT_FALSE(FormFileInfo->Visible());

    w->actStayOnTop->Execute();
    EXPECT_TRUE(w->btnStayOnTop->Checked());
    w->actStayOnTop->Execute();
    EXPECT_FALSE(w->btnStayOnTop->Checked());

    // During a run: the toolbar, the menus and the shortcuts do nothing.
    w->DisableAll();
    EXPECT_FALSE(w->tbMain->Enabled());
    EXPECT_EQ(buttons(), "0000");
    for (bars::TBarCustomItem* menu : {static_cast<bars::TBarCustomItem*>(w->mnuFile), static_cast<bars::TBarCustomItem*>(w->mnuFileList)})
        for (int i = 0; i < menu->Count(); ++i)
            if (menu->GetItem(i)->Action()) {
                EXPECT_FALSE(menu->GetItem(i)->Enabled()) << menu->GetItem(i)->Caption().toStdString();
            }
    // F10 then only opens the menu bar, whose items are all disabled.
    CancelNextMenu();
    H->Keys(VK_F10);
    H->Pump();
    EXPECT_FALSE(FormFileInfo->Visible());
    w->btnFileInfo->Click();
    EXPECT_FALSE(FormFileInfo->Visible());
    w->EnableAll();
    EXPECT_TRUE(w->tbMain->Enabled());
    EXPECT_EQ(buttons(), "1111");
}

TEST_F(MainBars, ColumnMenusShowTheColumnsVisibilityAndPopNgRefreshesTheControls) {
    TFormMain* w = Create();
    w->Show();
    H->Pump();
    auto marks = [&] {
        QString s;
        for (vcl::TAction* a : w->actColVisible) s += a->Checked() ? '1' : '0';
        return s.toStdString();
    };
    auto shown = [&] {
        QString s;
        for (TFileListCol c : TFormMain::ColVisibleColumns) s += w->ng->Columns()->Item(c)->Visible() ? '1' : '0';
        return s.toStdString();
    };
    // Each of the three menus sets the marks as it opens.
    w->ng->Columns()->Item(colSize)->SetVisible(false);
    w->ng->Columns()->Item(colTagGenre)->SetVisible(true);
    CancelNextMenu();
    w->popColumns->Popup(300, 300);
    EXPECT_EQ(marks(), shown());
    EXPECT_FALSE(w->actColVisible[5]->Checked());

    // A column action toggles its column; while the controls are filled the marks stay.
    w->actColVisible[5]->Execute();
    EXPECT_TRUE(w->ng->Columns()->Item(colSize)->Visible());
    EXPECT_TRUE(w->actColVisible[5]->Checked());
    w->ng->Columns()->Item(colSize)->SetVisible(false);
    bUpdatingControls = true;
    w->InitColVisibleActions();
    bUpdatingControls = false;
    EXPECT_TRUE(w->actColVisible[5]->Checked());

    int ngOpened = 0;
    const rtl::TNotifyEvent init = w->popNg->OnPopup;
    w->popNg->OnPopup = [&](rtl::TObject* S) {
        ++ngOpened;
        init(S);
    };
    // Opening the grid's popup refreshes the controls.
    w->AddToList(Media("a.webm"), true);
    w->actConvert->SetEnabled(false);
    CancelNextMenu();
    w->popNg->Popup(300, 300);
    EXPECT_EQ(ngOpened, 1);
    EXPECT_TRUE(w->actConvert->Enabled());
}

TEST_F(MainBars, ALanguageSwitchRecaptionsEveryBarItem) {
    TFormMain* w = Create();
    const int englishWidth = w->tbMain->Width();
    ASSERT_TRUE(SwitchLanguage(QStringLiteral("Deutsch")));
    EXPECT_LT(w->tbMain->Width(), englishWidth); // laid out again for the shorter texts
    EXPECT_EQ(Layout(w->tbMenu->Items()), "Datei,Dateiliste,Kodierer,Hilfe,,Verweise");
    EXPECT_EQ(w->mnuColumnsMenu->Caption(), "Spalten");
    EXPECT_EQ(w->popColumnsSubmenu->Caption(), "Spalten");
    EXPECT_EQ(Layout(w->tbMain->Items()), "Hinzu,Ordner,Weg,-,Los,-,Daten,Optionen,-,,-,");
    EXPECT_EQ(w->btnAddFolder->Hint(), "Ordner hinzu...");
    EXPECT_EQ(w->btnRemove->Hint(), "Markierte entfernen");
    EXPECT_EQ(w->btnStayOnTop->Hint(), "Immer oben");
    EXPECT_EQ(w->spbtnExpander->Hint(), "Einklappen");
    EXPECT_EQ(w->miStartF[5]->Caption(), "Ab 50%");
    EXPECT_EQ(w->miStartF[9]->Caption(), "Ab 90%");
    EXPECT_EQ(w->actColVisible[5]->Caption(), "Groesse");
    ASSERT_TRUE(SwitchLanguage(QStringLiteral("English")));
    EXPECT_EQ(w->miStartF[5]->Caption(), "Start from 50%");
    EXPECT_EQ(Layout(w->tbMain->Items()), "Add,Add folder,Remove,-,Convert,-,File info,Options,-,,-,");
    EXPECT_EQ(w->tbMain->Width(), englishWidth);
}

TEST_F(MainBars, StylesChooseThePicturesAndCarbonTheNavigationMenuBar) {
    TFormMain* w = Create();
    auto indexes = [&] {
        QString s;
        for (bars::TBarCustomItem* root : {static_cast<bars::TBarCustomItem*>(w->tbMain->Items()), static_cast<bars::TBarCustomItem*>(w->popNg->Items())})
            for (int i = 0; i < root->Count(); ++i) s += QString::number(root->GetItem(i)->ImageIndex()) + u',';
        return s.toStdString();
    };
    const std::string light = indexes();
    EXPECT_EQ(light.rfind("0,1,2,-1,3,", 0), 0u) << light;
    struct Case {
        const char* style;
        bool dark, carbon;
    } cases[] = {{"Carbon", true, true}, {"Windows", false, false}, {"Charcoal", true, false}, {"Luna", false, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.style);
        engine::AppParams.StyleName = QString::fromLatin1(c.style);
        w->SetStyleColors(engine::AppParams.StyleName);
        components::TPngImageList* main = c.dark ? w->pilMain_Dark : w->pilMain_Light;
        EXPECT_EQ(w->tbMain->Images(), main);
        EXPECT_EQ(w->popNg->Images(), main);
        EXPECT_EQ(w->Actions->Images(), main);
        EXPECT_EQ(w->tbNav->Images(), c.dark ? w->pilNav_LightIcons : w->pilNav_DarkIcons);
        EXPECT_EQ(w->tbNav->MenuBar(), c.carbon);
        EXPECT_EQ(indexes(), light);
        EXPECT_EQ(w->pilMain_Dark->Count(), w->pilMain_Light->Count());
    }
}

TEST_F(MainBars, FoldingShowsOnlyTheUnfoldButtonAndTheExpanderUnfolds) {
    TFormMain* w = Create();
    auto visible = [&] {
        QStringList s;
        for (int i = 0; i < w->tbNav->Items()->Count(); ++i) {
            bars::TBarCustomItem* item = w->tbNav->Items()->GetItem(i);
            if (item->Visible()) s << (dynamic_cast<bars::TBarSeparatorItem*>(item) ? QStringLiteral("-") : item->Name());
        }
        return s.join(u',').toStdString();
    };
    const std::string unfolded = "btnNavOutput,btnNavProfile,btnNavAudio,btnNavAdditional,-,btnNavExpand,btnNavCollapse,-,"
                             "spbtnExpander";
    EXPECT_EQ(visible(), unfolded);
    EXPECT_EQ(w->spbtnExpander->Caption(), ">>>");
    w->spbtnExpander->Click();
    EXPECT_TRUE(bRightPanelCollapsed);
    EXPECT_EQ(visible(), "btnShowSettingsPanel");
    EXPECT_EQ(w->btnShowSettingsPanel->Hint(), "Show settings panel");
    // A panel's action unfolds the column through the expander.
    w->actPanels_ShowAudio->Execute();
    EXPECT_FALSE(bRightPanelCollapsed);
    EXPECT_EQ(visible(), unfolded);
    EXPECT_TRUE(w->fpAudio->Expanded());
    EXPECT_FALSE(w->fpOutput->Expanded());
    w->btnShowSettingsPanel->Click();
    EXPECT_TRUE(bRightPanelCollapsed);
    w->btnShowSettingsPanel->Click();
    EXPECT_FALSE(bRightPanelCollapsed);
}

// A switch that narrows the main toolbar uncovers part of its dock, which must show the dock's own
// background there and nothing of the wider toolbar: each row of that strip is one colour.
TEST_F(MainBars, ASwitchThatNarrowsTheToolbarLeavesOnlyTheDockBesideIt) {
    TFormMain* w = Create();
    w->SetBorderStyle(vcl::bsNone);
    w->SetBounds(20, 20, 760, 360);
    w->Show();
    H->Pump();
    const auto strayPixels = [&] {
        const QImage dock = H->App().Grab(w->dockToolbar->Handle());
        int stray = 0;
        for (int y = 0; y < dock.height(); ++y)
            for (int x = w->tbMain->Left() + w->tbMain->Width(); x < dock.width() - 1; ++x)
                stray += dock.pixel(x, y) != dock.pixel(dock.width() - 1, y);
        return stray;
    };
    int narrowed = 0;
    const auto step = [&](const char* What, const std::function<void()>& Switch) {
        SCOPED_TRACE(What);
        const int before = w->tbMain->Width();
        Switch();
        H->Pump();
        narrowed += w->tbMain->Width() < before;
        EXPECT_EQ(strayPixels(), 0);
    };
    step("German", [] { ASSERT_TRUE(SwitchLanguage(QStringLiteral("Deutsch"))); });
    step("English", [] { ASSERT_TRUE(SwitchLanguage(QStringLiteral("English"))); });
    step("Carbon", [w] { w->SetStyleColors(QStringLiteral("Carbon")); });
    step("Windows", [w] { w->SetStyleColors(QStringLiteral("Windows")); });
    EXPECT_GT(narrowed, 0) << "no switch narrowed the toolbar";
}

TEST_F(MainBars, TheCloseDetachesAndEmptiesTheImageLists) {
    TFormMain* w = Create();
    ASSERT_GT(w->pilMain_Light->Count(), 0);
    ASSERT_GT(w->pilNav_DarkIcons->Count(), 0);
    w->Close();
    EXPECT_EQ(w->Actions->Images(), nullptr);
    EXPECT_EQ(w->tbMenu->Images(), nullptr);
    EXPECT_EQ(w->actAddFiles->ImageIndex(), -1);
    for (components::TPngImageList* l : {w->pilMain_Light, w->pilMain_Dark, w->pilNav_LightIcons, w->pilNav_DarkIcons})
        EXPECT_EQ(l->Count(), 0);
    // The bars still paint after it.
    w->tbMain->Repaint();
    H->Pump();
}

} // namespace
