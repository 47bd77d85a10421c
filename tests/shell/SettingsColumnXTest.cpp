// The settings column on a real X server: the column folded and unfolded by real keys (xdotool), a
// language switched, and the window as a person then sees it, against an expected picture.
#include <gtest/gtest.h>

#include <QDir>

#include "app/engine/Procs.h"
#include "app/shell/AppStrings.h"
#include "app/shell/FormMain.h"
#include "app/shell/FormMainLang.h"
#include "tests/shell/ScreenPicture.h"
#include "tests/support/TempDir.h"
#include "tests/support/windows/FormHarness.h"
#include "tests/support/windows/HeadlessApp.h"

namespace {

using namespace shell;

TEST(SettingsColumnX, FoldedAndUnfoldedByRealKeysThenInGerman) {
    if (!shell_test::OnXServer()) GTEST_SKIP() << "needs a real X server; ctest runs it as shell_xvfb_settings";
    testing_support::TempDir program;
    shell_test::CopyBuiltIcons(program.QPath());
    engine::SetProgramDirOverride(program.QPath());
    QDir(program.QPath()).mkpath("lang");
    program.Write("lang/German.ini",
                  "[INFO]\r\nLangName_InEnglish=German\r\nLangName_Native=Deutsch\r\n[MAIN]\r\ncpOutput=Ausgabe\r\n"
                  "cpProfile=Profil\r\ncpAudio=Ton\r\ncpAdditional=Weitere Einstellungen\r\ncpTag=Metadaten\r\n"
                  "Tag_Add=Eigene Metadaten\r\nlblOutputFormat=Ausgabeformat:\r\nAuto=Automatisch\r\n");
    program.Write("TunewrightApp.ini", "[MAIN]\r\nLeft=20\r\nTop=20\r\nWidth=1000\r\nHeight=720\r\n");
    StartArgs = QStringList();
    testing_support::FormHarness h;
    auto* w = h.Create<TFormMain>();
    w->SetBorderStyle(vcl::bsNone); // the picture is the window alone
    w->Show();
    w->ng->SetFocus();
    h.Pump();
    const POINT at = testing_support::HeadlessApp::ToScreen(w->ng->Handle(), POINT{100, 100});
    if (!shell_test::Xdotool(h, {"mousemove", QString::number(at.x), QString::number(at.y)}))
        GTEST_SKIP() << "xdotool is missing";
    shell_test::Xdotool(h, {"click", "1"});

    shell_test::Xdotool(h, {"key", "ctrl+shift+p"});
    EXPECT_TRUE(bRightPanelCollapsed);
    EXPECT_EQ(w->pnNav->Width(), 26);
    shell_test::Xdotool(h, {"key", "ctrl+shift+3"});
    EXPECT_FALSE(bRightPanelCollapsed);
    EXPECT_EQ(w->pnNav->Width(), 382);
    EXPECT_TRUE(w->fpAudio->Expanded());
    EXPECT_FALSE(w->fpOutput->Expanded());
    // Everything open again, and the metadata panel with its own fields.
    w->actPanelsExpand->Execute();
    w->fpTag->SetExpanded(true);
    w->cbTagSettings->SetItemIndex(engine::tmAddCustom);
    w->PanelControlChange(w->cbTagSettings);

    ASSERT_TRUE(SwitchLanguage(QStringLiteral("Deutsch")));
    EXPECT_EQ(w->fpTag->Caption(), "Metadaten - Eigene Metadaten");
    w->tmFixControlPosTimer(nullptr);
    shell_test::ComparePicture(h, w, "mainwindow-settings-german");
    AppStrings->SetEN();
    engine::AppParams.LanguageIni.clear();
    engine::SetProgramDirOverride({});
    StartArgs.reset();
}

} // namespace
