// The engine's texts from the language strings: the built-in English ones agree with the engine's own
// defaults, and a language file reaches the progress window's captions.
#include "app/shell/EngineLang.h"

#include <gtest/gtest.h>

#include "tests/support/QtPrint.h"
#include "tests/support/TempDir.h"
#include "tests/support/windows/FormHarness.h"

namespace {

using testing_support::FormHarness;
using testing_support::TempDir;

TEST(EngineLang, BuiltInEnglishMatchesTheEnginesDefaults) {
    const shell::TAppStrings en;
    const engine::TRunTexts run = shell::GetRunTexts(en), runDefault;
    const QStringList got = {run.Error, run.Errors, run.Abort, run.Aborted, run.Close, run.Done, run.PleaseWait,
                             run.FFmpegNotExists, run.DeleteUnfinished, run.CannotDeleteFile, run.ErrorsCaption,
                             run.ProgressCaption, run.lblProgress, run.ConvertingFile, run.Conversion_Complete,
                             run.AudioBitrateMustBeInteger, run.AudioSamplingMustBeInteger};
    const QStringList want = {runDefault.Error, runDefault.Errors, runDefault.Abort, runDefault.Aborted,
                              runDefault.Close, runDefault.Done, runDefault.PleaseWait, runDefault.FFmpegNotExists,
                              runDefault.DeleteUnfinished, runDefault.CannotDeleteFile, runDefault.ErrorsCaption,
                              runDefault.ProgressCaption, runDefault.lblProgress, runDefault.ConvertingFile,
                              runDefault.Conversion_Complete, runDefault.AudioBitrateMustBeInteger,
                              runDefault.AudioSamplingMustBeInteger};
    EXPECT_EQ(got, want);

    const engine::TEngineTexts e = shell::GetEngineTexts(en), eDefault;
    EXPECT_EQ(QStringList({e.Auto, e.FirstAudioTrack, e.CantCreateDirectory, e.Skipped, e.OK_Renamed,
                           e.OK_Overwritten, e.ExtractAudioStream, e.cbProfile_TheLastSessionSettings,
                           e.cbProfile_DefaultSettings, e.CommandLineInfo, e.cbOutputExists_Rename,
                           e.cbOutputExists_Overwrite, e.cbOutputExists_Skip}),
              QStringList({eDefault.Auto, eDefault.FirstAudioTrack, eDefault.CantCreateDirectory, eDefault.Skipped,
                           eDefault.OK_Renamed, eDefault.OK_Overwritten, eDefault.ExtractAudioStream,
                           eDefault.cbProfile_TheLastSessionSettings, eDefault.cbProfile_DefaultSettings,
                           eDefault.CommandLineInfo, eDefault.cbOutputExists_Rename,
                           eDefault.cbOutputExists_Overwrite, eDefault.cbOutputExists_Skip}));
}

TEST(EngineLang, ALanguageFileReachesTheProgressWindow) {
    TempDir dir;
    FormHarness h;
    h.Create<vcl::TForm>();
    auto* form = h.Create<engine::TFormProgress>();
    shell::TAppStrings strings;
    strings.LoadFromFile(dir.Write("de.lng", "[MAIN]\r\nClose=Schlie\xc3\x9f" "en\r\n"
                                             "AudioBitrateMustBeInteger=Audio-Bitrate: %s\\nGanzzahl!\r\n"
                                             "AudioSamplingMustBeInteger=Abtastrate: %s\\nGanzzahl!\r\n"
                                             "[Progress]\r\nCaption=Konvertierung\r\nlblStatus=Zustand:\r\n"
                                             "lblInputFile=Eingabe:\r\nlblOutputFile=Ausgabe:\r\n"
                                             "lblProgress=Fortschritt:\r\nbtnAbort=Abbrechen\r\n"
                                             "chCloseAfterConversion=Danach schlie\xc3\x9f" "en\r\n"
                                             "lblTime=Zeit:\r\nlblSize=Gr\xc3\xb6\xc3\x9f" "e:\r\n"
                                             "lblBitrate=Bitrate:\r\nlblSpeed=Tempo:\r\n"));
    shell::SetLang(*form, strings);
    EXPECT_EQ(form->Caption(), "Konvertierung");
    EXPECT_EQ(QStringList({form->lblStatusDesc->Caption(), form->lblInputFileDesc->Caption(),
                           form->lblOutputFileDesc->Caption(), form->lblProgress->Caption(),
                           form->btnAbort->Caption(), form->chCloseAfterConversion->Caption(),
                           form->lblTimeDesc->Caption(), form->lblSizeDesc->Caption(),
                           form->lblBitrateDesc->Caption(), form->lblSpeedDesc->Caption()}),
              QStringList({"Zustand:", "Eingabe:", "Ausgabe:", "Fortschritt:", "Abbrechen", "Danach schließen",
                           "Zeit:", "Größe:", "Bitrate:", "Tempo:"}));
    EXPECT_EQ(form->Lang.Close, "Schließen");
    EXPECT_EQ(shell::GetRunTexts(strings).Close, "Schließen");
    EXPECT_EQ(shell::GetRunTexts(strings).ProgressCaption, "Konvertierung");
    // the reasons a row fails for typed values
    EXPECT_EQ(shell::GetRunTexts(strings).AudioBitrateMustBeInteger, "Audio-Bitrate: %s\\nGanzzahl!");
    EXPECT_EQ(shell::GetRunTexts(strings).AudioSamplingMustBeInteger, "Abtastrate: %s\\nGanzzahl!");
}

} // namespace
