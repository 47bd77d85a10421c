// The main window's settings column headless: the enabling rules, the controls kept in step with the
// encoder and metadata settings, folding, defaults, the profile combo, the language switch across the
// windows, the tray and stay-on-top, and the pages the help actions open.
#include <gtest/gtest.h>

#include <QDir>

#include "app/engine/Procs.h"
#include "app/engine/Profiles.h"
#include "app/shell/AppStrings.h"
#include "app/shell/FormAbout.h"
#include "app/shell/FormCheckUpdate.h"
#include "app/shell/FormCmdLine.h"
#include "app/shell/FormErrors.h"
#include "app/shell/FormFileInfo.h"
#include "app/shell/FormMain.h"
#include "app/shell/FormMainLang.h"
#include "app/shell/LangIniList.h"
#include "app/shell/Links.h"
#include "components/KWPlusSplitter.h"
#include "tests/support/QtPrint.h"
#include "tests/support/TempDir.h"
#include "tests/support/windows/FormHarness.h"
#include "win/shell32/shellapi.h"

namespace {

using namespace shell;
using testing_support::FormHarness;
using testing_support::TempDir;

// A language file with a few texts of every kind the column shows.
const QByteArray GermanIni = "[INFO]\r\nLangName_InEnglish=German\r\nLangName_Native=Deutsch\r\n"
                             "[MAIN]\r\nAuto=Automatisch\r\ncpTag=Metadaten\r\nTag_Copy=Von der Quelle\r\n"
                             "Tag_Add=Eigene Metadaten\r\nTag_None=Keine\r\ncpAudio=Ton\r\nactConvert=Konvertieren\r\n"
                             "cbAfterConversion_CloseWindows=System beenden\r\nlblAudioBitrate=Bitrate:\r\n"
                             "[FileInfo]\r\nbtnCopy=Kopieren\r\nactCopy=In die Zwischenablage\r\n"
                             "[About]\r\nCaption=Über\r\n[Errors]\r\nCaption=Fehler\r\n";
const QByteArray EnglishIni = "[INFO]\r\nLangName_InEnglish=English\r\nLangName_Native=English\r\n";

class SettingsColumn : public ::testing::Test {
protected:
    void SetUp() override {
        engine::SetProgramDirOverride(Program.QPath());
        engine::ForgetMissingTools();
        QDir(Program.QPath()).mkpath("lang");
        QDir(Program.QPath()).mkpath("profiles");
        Program.Write("lang/German.ini", GermanIni);
        Program.Write("lang/English.ini", EnglishIni);
    }
    void TearDown() override {
        H.reset();
        engine::SetProgramDirOverride({});
        StartArgs.reset();
        FormAbout = nullptr;
        FormErrors = nullptr;
        FormFileInfo = nullptr;
        FormCmdLine = nullptr;
        bTagCopied = false;
        TwSetShellLauncher(nullptr);
    }
    TFormMain* Create() {
        StartArgs = QStringList();
        H = std::make_unique<FormHarness>();
        return H->Create<TFormMain>();
    }
    // What a user's choice does: the control changes and its change handler runs.
    void Choose(TFormMain* W, components::TPlusComboBox* Combo, int Index) {
        Combo->SetItemIndex(Index);
        W->PanelControlChange(Combo);
    }
    void Tick(TFormMain* W, vcl::TCheckBox* Check, bool On) {
        Check->SetChecked(On);
        W->PanelControlChange(Check);
    }

    TempDir Program;
    std::unique_ptr<FormHarness> H;
};

TEST_F(SettingsColumn, EnablingFollowsFormatModeChannelsLowpassAndTagChoices) {
    TFormMain* w = Create();
    struct Case {
        int format, mode, channels;
        bool lowpass;
        int tags;
        bool autoNumbering, copied;
        // bit rate, presets, stereo mode, quality, low-pass value, sampling, channels, volume
        bool bitrate, presets, stereo, quality, lowpassValue, sampling, chans, volume;
        // metadata panel shown, its custom fields, track number, paste
        bool tagPanel, custom, trackNo, paste;
    } cases[] = {
        {0, 0, 0, false, 0, true, false, true, false, true, true, false, true, true, true, true, false, false, false},
        {0, 2, 0, true, 1, true, true, false, true, true, true, true, true, true, true, true, true, false, true},
        {0, 1, 1, true, 1, false, false, true, false, false, true, true, true, true, true, true, true, true, false},
        {1, 0, 2, true, 1, false, true, false, false, false, false, false, true, true, true, false, false, false, false},
        {2, 0, 0, false, 1, false, true, false, false, false, false, false, false, false, false, true, true, true, true},
        {2, 0, 0, false, 2, false, true, false, false, false, false, false, false, false, false, true, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "format " << c.format << " mode " << c.mode << " channels " << c.channels
                                        << " tags " << c.tags);
        bTagCopied = c.copied;
        Choose(w, w->cbOutputFormat, c.format);
        Choose(w, w->cbBitrateMode, c.mode);
        Choose(w, w->cbAudioChannels, c.channels);
        Tick(w, w->chAudioLowpass, c.lowpass);
        Choose(w, w->cbTagSettings, c.tags);
        Tick(w, w->chTagAutoNumbering, c.autoNumbering);
        EXPECT_EQ(w->cbAudioBitrate->Enabled(), c.bitrate);
        EXPECT_EQ(w->cbPresets->Enabled(), c.presets);
        EXPECT_EQ(w->cbAudioStereoMode->Enabled(), c.stereo);
        EXPECT_EQ(w->cbAudioAlgoQuality->Enabled(), c.quality);
        EXPECT_EQ(w->spedAudioLowpass->Enabled(), c.lowpassValue);
        EXPECT_EQ(w->cbAudioSampling->Enabled(), c.sampling);
        EXPECT_EQ(w->cbAudioChannels->Enabled(), c.chans);
        EXPECT_EQ(w->tbAudioVolume->Enabled(), c.volume);
        EXPECT_EQ(w->fpTag->Visible(), c.tagPanel);
        EXPECT_EQ(w->edTagArtist->Enabled(), c.custom);
        EXPECT_EQ(w->edTagTrackNo->Enabled(), c.trackNo);
        EXPECT_EQ(w->actTagPaste->Enabled(), c.paste);
    }
    // The output folder only in the custom mode.
    Choose(w, w->cbOutDirMode, 4);
    EXPECT_TRUE(w->cbOutDir->Enabled());
    EXPECT_TRUE(w->actBrowseOutDir->Enabled());
    Choose(w, w->cbOutDirMode, 0);
    EXPECT_FALSE(w->cbOutDir->Enabled());
    EXPECT_FALSE(w->actExploreOutDir->Enabled());
}

TEST_F(SettingsColumn, ControlsWriteTheSettingsAndShowWhatAProfileLoads) {
    TFormMain* w = Create();
    Choose(w, w->cbOutputFormat, engine::ofWAV);
    EXPECT_EQ(w->EncoderPanel.cbOutputFormat.ItemIndex(), engine::ofWAV);
    w->cbAudioBitrate->SetText(QStringLiteral("100"));
    w->PanelControlChange(w->cbAudioBitrate);
    EXPECT_EQ(w->EncoderPanel.cbAudioBitrate.Text(), "100");
    w->edTagArtist->SetText(QStringLiteral("Someone"));
    w->PanelControlChange(w->edTagArtist);
    EXPECT_EQ(w->TagPanel.edTagArtist, "Someone");
    w->spedTimeStartS->SetValue(42);
    EXPECT_EQ(w->EncoderPanel.spedTimeStartS.Value, 42) << "a spin edit's change reaches its setting";

    // A profile read into the settings shows in the controls.
    const QString profile = Program.Write("profiles/loud.ini",
                                          "[MAIN]\r\nAppName=Tunewright\r\nAppVer=1.5\r\n[AUDIO]\r\nOutputFormat=MP3\r\n"
                                          "AudioBitrateMode=1\r\nAudioBitrate=192\r\nVolume=500\r\n");
    engine::LoadProfile(w->EncoderPanel, profile);
    w->InitControls();
    EXPECT_EQ(w->cbOutputFormat->ItemIndex(), engine::ofMP3);
    EXPECT_EQ(w->cbBitrateMode->ItemIndex(), 1);
    EXPECT_EQ(w->cbAudioBitrate->Text(), "192");
    EXPECT_EQ(w->tbAudioVolume->Position(), 300);
    EXPECT_EQ(w->lblAudioVolumeInfo->Caption(), "3.00x");
}

TEST_F(SettingsColumn, FoldingAndShowingOnePanel) {
    TFormMain* w = Create();
    w->actShowHideSettingsPanel->Execute();
    EXPECT_TRUE(bRightPanelCollapsed);
    EXPECT_EQ(w->pnNav->Width(), 26);
    EXPECT_FALSE(w->fpAudio->Visible());
    EXPECT_EQ(w->actShowHideSettingsPanel->Hint(), AppStrings->Main.actShowSettingsPanel);

    // Ctrl+Shift+3 unfolds the column with only the audio panel open.
    w->actPanels_ShowAudio->Execute();
    EXPECT_FALSE(bRightPanelCollapsed);
    EXPECT_EQ(w->pnNav->Width(), 382);
    EXPECT_TRUE(w->fpAudio->Visible());
    EXPECT_TRUE(w->fpAudio->Expanded());
    for (controls::TKWRgFlipPanel* f : {w->fpOutput, w->fpProfile, w->fpAdditional}) EXPECT_FALSE(f->Expanded());
    EXPECT_TRUE(w->tmFixControlPos->Enabled());
    w->tmFixControlPosTimer(nullptr);
    EXPECT_FALSE(w->tmFixControlPos->Enabled()) << "one shot";
    EXPECT_EQ(w->cbOutDir->Left(), 14);
    EXPECT_EQ(w->cbOutDir->Width() + w->btnBrowseOutDir->Width(), w->fpOutput->Width() - 28);
    EXPECT_EQ(w->btnBrowseOutDir->Width(), 26);
    EXPECT_EQ(w->btnBrowseOutDir->Left(), w->cbOutDir->Left() + w->cbOutDir->Width());
    EXPECT_EQ(w->cbProfileNew->Left(), 10);
    EXPECT_EQ(w->cbProfileNew->Width(), w->fpProfile->Width() - 20);

    w->actPanelsExpand->Execute();
    for (controls::TKWRgFlipPanel* f : {w->fpOutput, w->fpProfile, w->fpAudio, w->fpAdditional}) EXPECT_TRUE(f->Expanded());
    EXPECT_TRUE(w->PanelExpanded[3]) << "the settings file keeps what the panels show";
    // Folding and unfolding leave the panels in their order.
    EXPECT_LT(w->fpOutput->Top(), w->fpProfile->Top());
    EXPECT_LT(w->fpProfile->Top(), w->fpAudio->Top());
    EXPECT_LT(w->fpAudio->Top(), w->fpAdditional->Top());
}

TEST_F(SettingsColumn, DefaultsLeaveOutputAndMetadataAndASavedAfterActionSurvivesStartUp) {
    Program.Write("TunewrightApp.ini", "[MAIN]\r\ncbAfterConversion=2\r\nLeft=10\r\n");
    TFormMain* w = Create();
    EXPECT_EQ(w->cbAfterConversion->ItemIndex(), 2);
    EXPECT_EQ(w->cbAfterConversion->Items()->Count(), 3);
    EXPECT_EQ(w->cbTagGenres->Items()->Count(), 149);
    EXPECT_EQ(w->cbTagGenres->Items()->Strings(145), "Trash Metal") << "genre 144 after \"Audiobook\"";
    EXPECT_EQ(w->cbTagYear->Items()->Count(), 101);

    Choose(w, w->cbOutDirMode, 4);
    Choose(w, w->cbOutputExists, 2);
    Choose(w, w->cbOutputFormat, engine::ofWAV);
    Choose(w, w->cbTagSettings, engine::tmAddCustom);
    w->edTagAlbum->SetText(QStringLiteral("Kept"));
    w->PanelControlChange(w->edTagAlbum);
    w->actSetDefaultEncoderSettings->Execute();
    EXPECT_EQ(w->cbOutputFormat->ItemIndex(), engine::ofMP3);
    EXPECT_EQ(w->cbPresets->ItemIndex(), 3);
    EXPECT_EQ(w->cbOutDirMode->ItemIndex(), 4);
    EXPECT_EQ(w->cbOutputExists->ItemIndex(), 2);
    EXPECT_EQ(w->edTagAlbum->Text(), "Kept");
    EXPECT_EQ(w->cbTagSettings->ItemIndex(), int(engine::tmAddCustom));
    EXPECT_EQ(w->cbProfileNew->ItemIndex(), 1);
}

// The plain style's panel, splitter and volume-bar colours are the window's own design colours;
// the entries the design does not give keep the table's.
TEST_F(SettingsColumn, ThePlainStyleTakesThePanelSplitterAndVolumeColoursOfTheDesign) {
    TFormMain* w = Create();
    engine::TStyleColorScheme& s = engine::StyleColorSchemes[engine::WindowsSchemeIndex];
    const engine::TStyleColorScheme before = s;
    controls::TKWRgFlipPanel* f = w->fpTemplate;
    f->SetColor(0x010101);
    f->SetHeaderColor(0x020202);
    f->SetHeaderColorTo(0x030303);
    f->SetHeaderHotBorderColor(0x040404);
    f->HeaderFont()->SetColor(0x050505);
    f->SetHeaderHotColor(0x060606);
    f->SetToggleTriangleColor(0x070707);
    f->SetToggleTriangleHotColor(0x080808);
    components::TSplitterAppearance* sa = w->spMain->Appearance();
    sa->SetColor(0x090909);
    sa->SetColorHot(0x0A0A0A);
    sa->SetGripBrushColor(0x0B0B0B);
    controls::TKWRgTrackBar6* t = w->tbAudioVolume;
    t->SetProgressColor(0x111111);
    t->SetTrackColor(0x121212);
    t->SetTrackBorderColor(0x131313);
    t->SetThumbColor(0x141414);
    t->SetThumbBorderColor(0x151515);
    t->SetThumbHotColor(0x161616);
    t->SetThumbHotBorderColor(0x171717);
    t->SetTickMarkColor(0x181818);
    t->SetSignsColor(0x191919);
    w->PrepareControls();
    const std::pair<vcl::TColor, vcl::TColor> cases[] = {
        {s.FlipPanelColor, 0x010101},        {s.FlipPanelHeaderColor, 0x020202},
        {s.FlipPanelHeaderColorTo, 0x030303}, {s.FlipPanelBorderColor, 0x040404},
        {s.FlipPanelHeaderFontColor, 0x050505}, {s.FlipPanelHeaderHotColor, 0x060606},
        {s.FlipPanelTriangleColor, 0x070707}, {s.FlipPanelTriangleHotColor, 0x080808},
        {s.SplitterColor, 0x090909},         {s.SplitterHotColor, 0x0A0A0A},
        {s.SplitterGripColor, 0x0B0B0B},     {s.TrackProgressColor, 0x111111},
        {s.TrackColor, 0x121212},            {s.TrackBorderColor, 0x131313},
        {s.TrackThumbColor, 0x141414},       {s.TrackThumbBorderColor, 0x151515},
        {s.TrackThumbHotColor, 0x161616},    {s.TrackThumbHotBorderColor, 0x171717},
        {s.TrackTickMarkColor, 0x181818},    {s.TrackSignsColor, 0x191919}};
    for (size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(cases[i].first, cases[i].second) << "case " << i;
    EXPECT_EQ(s.FlipPanelHeaderHotBorderColor, before.FlipPanelHeaderHotBorderColor);
    EXPECT_EQ(s.HeaderPanelColor, before.HeaderPanelColor);
    engine::InitStyleColorSchemes(engine::StyleColorSchemes);
}

// The splitter left of the column: flat, without borders, its dots in the plain style's grip colour; a
// drag resizes the column while the mouse moves and stops at the minimum instead of snapping it shut.
TEST_F(SettingsColumn, TheSplitterResizesTheColumnLiveAndStopsAtItsMinimum) {
    TFormMain* w = Create();
    components::TKWPlusSplitter* sp = w->spMain;
    const components::TSplitterAppearance* a = sp->Appearance();
    EXPECT_EQ(a->ColorTo(), a->Color());
    EXPECT_EQ(a->ColorHotTo(), a->ColorHot());
    EXPECT_NE(vcl::ColorToRGB(a->ColorHot()), vcl::ColorToRGB(a->Color()));
    EXPECT_EQ(a->BorderColor(), vcl::clNone);
    EXPECT_EQ(a->BorderColorHot(), vcl::clNone);
    EXPECT_EQ(a->GripBrushColor(), engine::StyleColorSchemes[engine::WindowsSchemeIndex].SplitterGripColor);
    w->Show();
    H->Pump();
    ASSERT_EQ(sp->Width(), 6);
    EXPECT_EQ(sp->Left() + sp->Width(), w->pnNav->Left());

    // The first of the nine dots in the bar's middle column, and the bar between two dots.
    auto rgb = [](vcl::TColor c) {
        c = vcl::ColorToRGB(c);
        return qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF) & 0xFFFFFF;
    };
    const FormHarness::Target dot = FormHarness::TargetOf(sp, POINT{2, (sp->Height() - 34) / 2 + 1});
    EXPECT_EQ(H->App().Pixel(dot.hwnd, dot.point.x, dot.point.y), rgb(a->GripBrushColor()));
    EXPECT_EQ(H->App().Pixel(dot.hwnd, dot.point.x, dot.point.y + 2), rgb(a->Color()));

    const FormHarness::Target t = FormHarness::TargetOf(sp);
    const int width = w->pnNav->Width();
    H->App().Press(t.hwnd, t.point);
    H->App().MoveTo(t.hwnd, POINT{t.point.x - 50, t.point.y});
    EXPECT_EQ(w->pnNav->Width(), width + 50); // before the button is let go
    H->App().MoveTo(t.hwnd, POINT{t.point.x + width - 40, t.point.y});
    H->App().Release(t.hwnd, POINT{t.point.x + width - 40, t.point.y});
    EXPECT_EQ(w->pnNav->Width(), 80);
}

TEST_F(SettingsColumn, TheProfileComboLoadsItsItemsAndListsASavedProfile) {
    auto profile = [this](const char* Name, const char* Body) {
        return Program.Write(QStringLiteral("profiles/") + Name,
                             QByteArray("[MAIN]\r\nAppName=Tunewright\r\nAppVer=1.5\r\n") + Body);
    };
    profile("a.ini", "SortIndex=1\r\n[AUDIO]\r\nOutputFormat=WAV\r\n");
    profile("b.ini", "SortIndex=2\r\nType=Extract\r\n[AUDIO]\r\nOutputFormat=extract\r\n");
    TFormMain* w = Create();
    ASSERT_EQ(w->cbProfileNew->Items()->Count(), 4);
    EXPECT_EQ(w->cbProfileNew->ItemIndex(), 0) << "the last session's settings are chosen at start";
    EXPECT_EQ(w->cbProfileNew->ItemHeight(), 36);

    auto choose = [&](int Index) {
        w->cbProfileNew->SetItemIndex(Index);
        w->cbProfileNewChange(w->cbProfileNew);
        return w->cbOutputFormat->ItemIndex();
    };
    EXPECT_EQ(choose(3), engine::ofExtract);
    EXPECT_EQ(choose(1), engine::ofMP3) << "the default settings";
    EXPECT_EQ(choose(2), engine::ofWAV);
    // An entry past the list's end loads the first profile.
    w->Profiles.Items << QStringLiteral("gone");
    w->cbProfileNew->Items()->Add(QStringLiteral("gone"));
    choose(1);
    EXPECT_EQ(choose(4), engine::ofWAV);
    // The last session's profile, then an unreadable one: the failure is swallowed.
    engine::SaveProfile(w->EncoderPanel, engine::AppParams.LastProfileFile, QStringLiteral("last"), String());
    choose(1);
    EXPECT_EQ(choose(0), engine::ofWAV);
    QFile::remove(Program.QFile("profiles/a.ini"));
    QDir(Program.QPath()).mkpath("profiles/a.ini");
    EXPECT_NO_THROW(choose(2));

    // A profile saved into the profiles folder is listed and selected.
    w->SaveProfileAs(Program.QFile("profiles/mine.ini"));
    const int mine = w->cbProfileNew->ItemIndex();
    ASSERT_GE(mine, 2);
    EXPECT_EQ(w->cbProfileNew->Items()->Strings(mine), "mine");
}

TEST_F(SettingsColumn, ASwitchOfLanguageKeepsSelectionsAndReachesEveryWindow) {
    TFormMain* w = Create();
    FormAbout = H->Create<TFormAbout>();
    FormErrors = H->Create<TFormErrors>();
    FormFileInfo = H->Create<TFormFileInfo>();
    FormCmdLine = H->Create<TFormCmdLine>();
    bool optionsFirst = false, editorCalled = false;
    OutputDirListSetLang = [&] { editorCalled = true; };

    Choose(w, w->cbTagSettings, engine::tmNone);
    Choose(w, w->cbAfterConversion, 2);
    w->cbAudioSampling->SetText(QStringLiteral("44100"));
    w->PanelControlChange(w->cbAudioSampling);
    ASSERT_EQ(w->cbAudioBitrate->Text(), "Auto");

    EXPECT_FALSE(SwitchLanguage(QStringLiteral("Klingon")));
    EXPECT_TRUE(SwitchLanguage(QStringLiteral(" deutsch "), [&] { optionsFirst = w->actConvert->Caption() != "Konvertieren"; }));
    OutputDirListSetLang = nullptr;
    EXPECT_EQ(engine::AppParams.LanguageIni, "German.ini");
    EXPECT_TRUE(optionsFirst) << "the options window takes the texts before the main window";
    EXPECT_TRUE(editorCalled);
    EXPECT_EQ(w->cbTagSettings->ItemIndex(), int(engine::tmNone));
    EXPECT_EQ(w->cbTagSettings->Text(), "Keine");
    EXPECT_EQ(w->fpTag->Caption(), "Metadaten - Keine");
    EXPECT_EQ(w->cbAfterConversion->Text(), "System beenden");
    EXPECT_EQ(w->cbAudioBitrate->Text(), "Automatisch");
    EXPECT_EQ(w->cbAudioSampling->Text(), "44100");
    EXPECT_EQ(w->cbAudioBitrate->LabelCaption(), "Bitrate:");
    EXPECT_EQ(w->fpAudio->Caption(), "Ton");
    EXPECT_EQ(w->actConvert->Caption(), "Konvertieren");
    EXPECT_EQ(FormAbout->Caption(), "Über");
    EXPECT_EQ(FormErrors->Caption(), "Fehler");
    EXPECT_EQ(FormFileInfo->btnCopy->Caption(), "Kopieren");
    // The open dialog's media patterns: 78, no trailing separator.
    engine::AppParams.AcceptAllMediaFiles = true;
    w->SetLang();
    const String filter = w->dlgOpen->Filter();
    EXPECT_EQ(filter.section(u'|', 1).split(u';').size(), 78);
    EXPECT_FALSE(filter.endsWith(u';'));
    engine::AppParams.AcceptAllMediaFiles = false;

    // English over German gives the built-in texts again.
    ASSERT_TRUE(SwitchLanguage(QStringLiteral("English")));
    const TAppStrings builtIn;
    EXPECT_EQ(w->actConvert->Caption(), builtIn.Main.actConvert);
    EXPECT_EQ(w->fpTag->Caption(), builtIn.Main.cpTag + " - " + builtIn.Main.Tag_None);
    EXPECT_EQ(w->cbAudioBitrate->Text(), "Auto");
    EXPECT_EQ(FormFileInfo->btnCopy->Caption(), builtIn.FileInfo.btnCopy);
}

TEST(ShippedEnglish, TheGeneratedFileReadOverAnotherLanguageGivesEveryBuiltInText) {
    TempDir dir;
    TAppStrings read;
    read.ForEachText([](const String&, const String&, String& Value) { Value = QStringLiteral("other"); });
    read.LoadFromFile(QString::fromUtf8(TW_ENGLISH_INI));
    TAppStrings builtIn;
    builtIn.SetEN();
    QStringList got, want;
    read.ForEachText([&](const String& S, const String& K, String& V) { got << S + u'/' + K + u'=' + V; });
    builtIn.ForEachText([&](const String& S, const String& K, String& V) {
        // Texts no file sets keep what they held.
        const bool unread = V.isEmpty() || K == QStringLiteral("UAuto");
        want << S + u'/' + K + u'=' + (unread ? QStringLiteral("other") : V);
    });
    ASSERT_EQ(got.size(), want.size());
    QStringList differ;
    for (int i = 0; i < got.size(); ++i)
        if (got[i] != want[i]) differ << got[i] + QStringLiteral(" (built in: ") + want[i] + u')';
    EXPECT_TRUE(differ.isEmpty()) << differ.join(u'\n').toStdString();
}

TEST_F(SettingsColumn, WithoutATrayTheWindowMinimisesAndStaysReachable) {
    TFormMain* w = Create();
    // Told so, and as the platform answers headless (no notification area there).
    for (const bool told : {true, false}) {
        w->Show();
        w->SetWindowState(vcl::wsNormal);
        if (told)
            w->TrayAvailable = [] { return false; };
        else
            w->TrayAvailable = nullptr;
        w->actMinimizeToTray->Execute();
        EXPECT_TRUE(w->Visible()) << "a hidden window with no tray icon could not come back";
        EXPECT_EQ(w->WindowState(), vcl::wsMinimized);
        EXPECT_FALSE(w->ti->Visible());
    }
}

TEST_F(SettingsColumn, TheTrayIconShowsExactlyWhileTheWindowIsHidden) {
    TFormMain* w = Create();
    w->Show();
    w->TrayAvailable = [] { return true; };
    w->actMinimizeToTray->Execute();
    EXPECT_FALSE(w->Visible());
    EXPECT_TRUE(w->ti->Visible());
    EXPECT_EQ(w->actShowHideMainWindow->Caption(), AppStrings->Main.actShowMainWindow);
    w->tiClick(w->ti);
    EXPECT_TRUE(w->Visible());
    EXPECT_FALSE(w->ti->Visible());
    EXPECT_EQ(w->actShowHideMainWindow->Caption(), AppStrings->Main.actMinimizeToTray);
    w->tiClick(w->ti);
    EXPECT_TRUE(w->Visible()) << "a click while shown does nothing";
}

TEST_F(SettingsColumn, StayOnTopOffLeavesTheOtherWindowsOnTop) {
    TFormMain* w = Create();
    FormAbout = H->Create<TFormAbout>();
    w->actStayOnTop->Execute();
    EXPECT_TRUE(bStayOnTop);
    EXPECT_TRUE(w->actStayOnTop->Checked());
    EXPECT_EQ(FormAbout->FormStyle(), vcl::fsStayOnTop);
    w->actStayOnTop->Execute();
    EXPECT_FALSE(bStayOnTop);
    EXPECT_EQ(w->FormStyle(), vcl::fsNormal);
    EXPECT_EQ(FormAbout->FormStyle(), vcl::fsStayOnTop);
}

std::vector<QString> Opened;
BOOL CALLBACK RecordLaunch(const LPCWSTR* argv, int argc, LPCWSTR, BOOL) {
    Opened.push_back(QString::fromUtf16(reinterpret_cast<const char16_t*>(argv[argc - 1])));
    return TRUE;
}

TEST_F(SettingsColumn, HelpAndHomePageOpenTheProgramsOwnPages) {
    TFormMain* w = Create();
    TwSetShellLauncher(RecordLaunch);
    Opened.clear();
    engine::AppParams.LanguageIni = QStringLiteral("English.ini");
    w->actHelp->Execute();
    engine::AppParams.LanguageIni = QStringLiteral("polish.ini");
    w->actHelp->Execute();
    w->actGoToHomePage->Execute();
    const std::vector<QString> expected = {LinkAddress(lnkGuide), LinkAddress(lnkQuickStartPolish), LinkAddress(lnkHomePage)};
    EXPECT_EQ(Opened, expected);
    for (const QString& page : Opened) EXPECT_TRUE(page.startsWith(WebSite)) << page.toStdString();
    // The tag library's hint names its page with blanks.
    EXPECT_FALSE(w->btnTagLibrary->Hint().contains(QStringLiteral("%20")));
    EXPECT_TRUE(w->btnTagLibrary->Hint().startsWith(QStringLiteral("Tag library 1.0 - ")));
}

} // namespace
