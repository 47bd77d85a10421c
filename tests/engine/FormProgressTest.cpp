// The progress window over a real run: what it shows from the encoder's lines, its Abort button, F8,
// closing while converting, the abort timer and its saved settings.
#include "app/engine/FormProgress.h"
#include "tests/engine/PumpedProgress.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>

#include "app/engine/Procs.h"
#include "base/MemIniFile.h"
#include "rtl/Files.h"
#include "tests/support/Peers.h"
#include "tests/support/TempDir.h"
#include "tests/support/windows/FormHarness.h"

namespace {

using engine::String;
using testing_support::FormHarness;
using engine_test::PumpedProgress;
using testing_support::TempDir;

class FormProgress : public ::testing::Test {
protected:
    void SetUp() override {
        engine::InitAppParams(Params);
        Params.ffmpeg = QStringLiteral(TW_FAKE_ENCODER);
        Params.IniName = Dir.QFile("settings.ini");
        H.Create<vcl::TForm>(); // the main window: the progress window is not the application's main form
        Form = H.Create<PumpedProgress>();
    }
    void Attach() {
        Run = std::make_unique<engine::TConversionRun>(Panel, Rows, *Form, Params);
        Run->Analyse = [](const String& FileName, const String&) {
            engine::TVideoFileInfo info;
            info.SetFileName(FileName);
            info.Seconds = 40;
            info.NumberOfAudioStreams = 1;
            info.AudioStreams[0].Exists = true;
            info.AudioStreams[0].Codec = QStringLiteral("Opus");
            info.AudioStreams[0].CodecFF = QStringLiteral("opus");
            return info;
        };
        Run->ErrorOutput = [](const String&) {};
        Form->SetRun(Run.get());
    }
    QString AddRow(const QString& Name) {
        engine::TFileRow row;
        row.Info.FileName = Dir.QFile(Name);
        QFile f(row.Info.FileName);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("media");
        Rows.Rows.push_back(row);
        return row.Info.FileName;
    }
    // Feeds encoder lines through the run's line handler, as the runner does.
    void Feed(int FileNo, int Files, int64_t Expected, const QStringList& Lines) {
        Run->CurrentFileNo = FileNo;
        Run->FilesToConvert = Files;
        Run->ExpectedDurationSec = Expected;
        for (const QString& line : Lines) {
            Run->EncoderOutputList.Add(line);
            Run->OnEncoderLine();
        }
    }

    TempDir Dir;
    FormHarness H;
    engine::TAppParams Params;
    engine::TEncoderPanel Panel;
    engine::TFileRows Rows;
    std::unique_ptr<engine::TConversionRun> Run;
    PumpedProgress* Form = nullptr;
};

TEST_F(FormProgress, StartsWithItsTextsAndAnEmptyDisplay) {
    EXPECT_EQ(Form->Caption(), "Conversion");
    EXPECT_EQ(Form->lblStatusDesc->Caption(), "Status:");
    EXPECT_EQ(Form->lblSpeedDesc->Caption(), "Speed:");
    EXPECT_EQ(Form->chCloseAfterConversion->Caption(), "Close after conversion");
    EXPECT_EQ(Form->btnAbort->Caption(), "Close"); // idle: the button only closes
    EXPECT_EQ(Form->lblStatus->Caption(), "");
    EXPECT_TRUE(Form->chCloseAfterConversion->Checked());
    EXPECT_EQ(Form->pbFile->Position(), 0);
    EXPECT_EQ(Form->ClientHeight(), 226);
}

TEST_F(FormProgress, ShowsTheEncoderValuesAndPercentOfRealLines) {
    Attach();
    Form->Show();
    Feed(2, 5, 40,
         {QStringLiteral("Press [q] to stop, [?] for help"),
          QStringLiteral("size=     512kB time=00:00:10.00 bitrate= 419.4kbits/s speed=20.1x")});

    EXPECT_EQ(Form->lblStatus->Caption(), "Converting file: 2 / 5  ::::  Complete: 25 %");
    EXPECT_EQ(Form->pbFile->Position(), 25);
    EXPECT_EQ(Form->pbFile->Percentage(), 25);
    EXPECT_EQ(Form->Caption(), "Progress: 25% (2 / 5)");
    EXPECT_EQ(Form->lblTime->Caption(), "00:00:10.00 / 00:00:40");
    EXPECT_EQ(Form->lblSize->Caption(), "512.00 KB");
    EXPECT_EQ(Form->lblBitrate->Caption(), "419.4 kbits/s");
    EXPECT_EQ(Form->lblSpeed->Caption(), "20.1x");
    EXPECT_EQ(vcl::Application->Title(), "2 / 5  ::::  25% Tunewright 1.5  [64-bit]");
    H.Pump();
    // The values are drawn, not only stored: the status line's area holds dark text pixels.
    const QImage shot = H.App().Grab(Form->Handle());
    const vcl::TRect r = Form->lblStatus->BoundsRect();
    int dark = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x)
            if (qGray(shot.pixel(x, y)) < 100) ++dark;
    EXPECT_GT(dark, 50);
    H.App().SaveScreenshot(Form->Handle(), QStringLiteral("progress-window.png"));
}

TEST_F(FormProgress, WithoutAnExpectedDurationOnlyTheValuesChange) {
    Attach();
    Feed(1, 1, 0, {QStringLiteral("size=    1024kB time=00:00:10.00 bitrate= 128.0kbits/s speed=3x")});
    EXPECT_EQ(Form->lblStatus->Caption(), "");
    EXPECT_EQ(Form->pbFile->Position(), 0);
    EXPECT_EQ(Form->Caption(), "Conversion");
    EXPECT_EQ(Form->lblTime->Caption(), "00:00:10.00 / 00:00:00");
    EXPECT_EQ(Form->lblSize->Caption(), "1.00 MB");
}

TEST_F(FormProgress, AbortButtonStopsTheEncoderAndTheDeleteQuestionGoesThroughTheHook) {
    const QString input = AddRow(QStringLiteral("abort.webm"));
    const QString output = rtl::ChangeFileExt(input, QStringLiteral(".mp3"));
    Attach();
    bool clicked = false;
    Form->OnPump = [&] {
        if (!clicked && Run->bConverting && Run->EncoderOutputList.Text().contains("time=")) {
            clicked = true;
            EXPECT_EQ(Form->btnAbort->Caption(), "Abort");
            H.Click(Form->btnAbort);
        }
    };
    H.Script({IDYES});
    const engine::TRunResult r = Run->Execute();

    EXPECT_TRUE(clicked);
    EXPECT_TRUE(r.Aborted);
    EXPECT_EQ(Rows.Rows[0].Status, "Aborted");
    EXPECT_TRUE(Run->EncoderOutputList.Text().contains("got q"));
    ASSERT_EQ(H.Dialogs().size(), 1u);
    EXPECT_TRUE(H.Dialogs()[0].text.contains(output));
    EXPECT_EQ(H.Dialogs()[0].caption, "Tunewright");
    EXPECT_EQ(H.Dialogs()[0].type & MB_TYPEMASK, UINT(MB_YESNO));
    EXPECT_FALSE(QFile::exists(output)); // answered Yes: the partial file is gone
    EXPECT_EQ(Form->btnAbort->Caption(), "Close");
}

TEST_F(FormProgress, AbortButtonStopsTheRealEncoderWhichExitsCleanly) {
    TW_REQUIRE_TOOL("ffmpeg");
    Params.ffmpeg = testing_support::FindTool(QStringLiteral("ffmpeg"));
    // Half an hour of sound, resampled on the way: the encode runs for seconds, long after its first
    // progress line, so the click always lands while it works.
    engine::TFileRow row;
    row.Info.FileName = Dir.QFile(QStringLiteral("long input.flac"));
    QProcess gen;
    gen.start(Params.ffmpeg, {"-v", "error", "-f", "lavfi", "-i", "sine=frequency=440:sample_rate=8000:duration=1800",
                              "-c:a", "flac", row.Info.FileName});
    ASSERT_TRUE(gen.waitForFinished(60000) && gen.exitCode() == 0) << gen.readAllStandardError().toStdString();
    Rows.Rows.push_back(row);
    Panel.cbAudioSampling.SetText(QStringLiteral("44100"));
    const QString output = rtl::ChangeFileExt(row.Info.FileName, QStringLiteral(".mp3"));

    Run = std::make_unique<engine::TConversionRun>(Panel, Rows, *Form, Params); // the real analysis
    Run->ErrorOutput = [](const String&) {};
    Form->SetRun(Run.get());
    bool clicked = false;
    Form->OnPump = [&] {
        if (!clicked && Run->bConverting && Run->EncoderOutputList.Text().contains("time=")) {
            clicked = true;
            EXPECT_TRUE(QFile::exists(output));
            H.Click(Form->btnAbort);
        }
    };
    H.Script({IDYES});
    const engine::TRunResult r = Run->Execute();

    EXPECT_TRUE(clicked);
    EXPECT_TRUE(r.Aborted);
    EXPECT_FALSE(Run->bForceKill); // "q" was enough
    EXPECT_EQ(Run->ErrorLog.Count, 0) << Run->ErrorLog.Lines.Text().toStdString(); // exit code 0
    EXPECT_TRUE(Run->EncoderOutputList.Text().contains("[q] command received"))
        << Run->EncoderOutputList.Text().toStdString();
    EXPECT_EQ(Rows.Rows[0].Status, "Aborted");
    ASSERT_EQ(H.Dialogs().size(), 1u);
    EXPECT_TRUE(H.Dialogs()[0].text.contains(output)) << H.Dialogs()[0].text.toStdString();
    EXPECT_FALSE(QFile::exists(output));
}

TEST_F(FormProgress, AMissingEncoderIsATopmostWarningUnderTheShortName) {
    AddRow(QStringLiteral("a.webm"));
    Params.ffmpeg = Dir.QFile(QStringLiteral("no-such-encoder"));
    Params.ToolsDir = Dir.QFile(QStringLiteral("no-tools"));
    Attach();
    vcl::Application->SetTitle(QStringLiteral("(1/2) 50 % - Tunewright")); // left by a run's progress
    H.Script({IDOK});
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", "/nonexistent");
    const engine::TRunEnd end = Run->Execute().EndedEarly;
    qputenv("PATH", path);
    EXPECT_EQ(end, engine::reNoEncoder);
    ASSERT_EQ(H.Dialogs().size(), 1u);
    EXPECT_TRUE(H.Dialogs()[0].text.startsWith("Could not find FFmpeg encoder!"));
    EXPECT_EQ(H.Dialogs()[0].caption, "Tunewright");
    EXPECT_EQ(H.Dialogs()[0].type & (MB_ICONMASK | MB_TOPMOST), UINT(MB_ICONWARNING | MB_TOPMOST));
}

TEST_F(FormProgress, ClosingWhileConvertingAbortsAndTheTimerArmsTheForcedStop) {
    Attach();
    Form->Show();
    Run->bConverting = true;
    Form->Close();
    EXPECT_TRUE(Run->bAbortRequested);
    EXPECT_TRUE(Form->tmAbort->Enabled());
    EXPECT_FALSE(Run->bForceKill);
    H.Advance(std::chrono::milliseconds(1000));
    H.Pump();
    EXPECT_TRUE(Run->bForceKill);
    EXPECT_FALSE(Form->tmAbort->Enabled());
    Run->bConverting = false; // the run resets its own flags
}

TEST_F(FormProgress, F8ClosesOnlyWhenIdle) {
    Attach();
    Form->Show();
    Run->bConverting = true;
    H.Keys(VK_F8);
    EXPECT_TRUE(Form->Visible());
    EXPECT_FALSE(Run->bAbortRequested);
    Run->bConverting = false;
    H.Keys(VK_F8);
    EXPECT_FALSE(Form->Visible());
}

TEST_F(FormProgress, AbortWhenIdleOnlyHides) {
    Attach();
    Form->Show();
    H.Click(Form->btnAbort);
    EXPECT_FALSE(Form->Visible());
    EXPECT_FALSE(Run->bAbortRequested);
}

TEST_F(FormProgress, CapturesItsBarColoursForTheWindowsStyleAndTakesOtherStyles) {
    const engine::TStyleColorScheme& windows = engine::StyleColorSchemes[engine::WindowsSchemeIndex];
    EXPECT_EQ(windows.ProgressBackgroundColor, 0xFFFFFF);
    EXPECT_EQ(windows.ProgressBorderColor, 0x808080);
    EXPECT_EQ(windows.ProgressLevel0Color, 0x00FF00);
    EXPECT_EQ(windows.ProgressLevel2ColorTo, 0xA8D3FF);
    EXPECT_EQ(windows.ProgressFontColor, 0); // not captured

    engine::InitStyleColorSchemes(engine::StyleColorSchemes);
    Form->SetStyleColors(QStringLiteral("Iceberg Classico"));
    EXPECT_EQ(Form->pbFile->BackgroundColor(), 0xE1DBD3);
    EXPECT_EQ(Form->pbFile->Level1ColorTo(), 0xD1B892);
    EXPECT_EQ(Form->pbFile->Font()->Color(), 0x0A0A0A);
    Form->SetStyleColors(QStringLiteral("Windows"));
    EXPECT_EQ(Form->pbFile->BackgroundColor(), 0xFFFFFF);
    EXPECT_EQ(Form->pbFile->Level0Color(), 0x00FF00);
}

TEST_F(FormProgress, LoadsWidthAndCloseAfterConversionFromTheSettingsFile) {
    QFile ini(Params.IniName);
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[PROGRESS]\r\nLeft=5\r\nWidth=720\r\nCloseAfterConversion=0\r\n");
    ini.close();
    Form->Params = &Params;
    Form->LoadSettings();
    EXPECT_EQ(Form->Width(), 720);
    EXPECT_FALSE(Form->chCloseAfterConversion->Checked());
    EXPECT_FALSE(Form->CloseAfterConversion());
}

TEST_F(FormProgress, TabReachesTheCloseBoxAndSpaceTogglesIt) {
    Form->Show();
    H.Pump();
    Form->btnAbort->SetFocus();
    H.Pump();
    for (int i = 0; i < 8 && GetFocus() != Form->chCloseAfterConversion->Handle(); ++i) H.Keys(VK_TAB);
    ASSERT_EQ(GetFocus(), Form->chCloseAfterConversion->Handle());
    ASSERT_TRUE(Form->chCloseAfterConversion->Checked());
    H.Keys(VK_SPACE);
    EXPECT_FALSE(Form->CloseAfterConversion());
    H.Keys(VK_SPACE);
    EXPECT_TRUE(Form->CloseAfterConversion());
    H.Keys(VK_SPACE);
    H.App().SaveScreenshot(Form->Handle(), QStringLiteral("progress-keyboard.png"));

    // What the settings writer stores ("1"/"0") the next window reads back.
    base::TKwpMemIniFile ini(Params.IniName);
    ini.WriteBool(QStringLiteral("PROGRESS"), QStringLiteral("CloseAfterConversion"), Form->CloseAfterConversion());
    ini.UpdateFile();
    auto* next = H.Create<PumpedProgress>();
    next->Params = &Params;
    next->LoadSettings();
    EXPECT_FALSE(next->CloseAfterConversion());
}

TEST_F(FormProgress, ALanguageChangeRelabelsTheCloseBox) {
    Form->Show();
    H.Pump();
    Form->Lang.chCloseAfterConversion = QStringLiteral("Danach schlie\u00dfen");
    Form->SetLang();
    EXPECT_EQ(Form->chCloseAfterConversion->Caption(), QStringLiteral("Danach schlie\u00dfen"));
}

TEST_F(FormProgress, TheDescriptionsStay22PixelsApartAndFollowTheFirst) {
    vcl::TControl* descs[] = {Form->lblStatusDesc, Form->lblInputFileDesc, Form->lblOutputFileDesc,
                              Form->lblTimeDesc,   Form->lblSizeDesc,      Form->lblBitrateDesc,
                              Form->lblSpeedDesc,  Form->lblProgress};
    auto expectColumn = [&] {
        for (size_t i = 1; i < std::size(descs); ++i) {
            EXPECT_EQ(descs[i]->Top() - descs[i - 1]->Top(), 22) << i;
            EXPECT_EQ(descs[i]->Left() + descs[i]->Width(), descs[0]->Left() + descs[0]->Width()) << i;
        }
    };
    expectColumn();
    Form->lblStatusDesc->SetBounds(20, 14, 110, 16);
    expectColumn();
    EXPECT_EQ(Form->lblProgress->Top(), 14 + 7 * 22);
}

} // namespace
