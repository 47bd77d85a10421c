// The command-line window and the action that fills it: placeholders without a row, the selected row's
// parameters, the toggle, Esc, and the caption from a language file.
#include "app/shell/FormCmdLine.h"

#include <gtest/gtest.h>

#include "app/engine/Procs.h"
#include "app/shell/AppStrings.h"
#include "tests/support/QtPrint.h"
#include "tests/support/TempDir.h"
#include "tests/support/windows/FormHarness.h"

namespace {

using engine::String;
using testing_support::FormHarness;
using testing_support::TempDir;

QStringList MemoLines(vcl::TMemo* Memo) {
    QStringList lines;
    for (int i = 0; i < Memo->Lines()->Count(); ++i) lines << Memo->Lines()->Strings(i);
    return lines;
}

class CmdLineWindow : public ::testing::Test {
protected:
    void SetUp() override {
        engine::InitAppParams(Params);
        Params.ffmpeg = Dir.Write("ffmpeg", "#!/bin/sh\n");
        // The window reads the program's parameters when it is created.
        SavedFont = engine::AppParams.MonospaceFont;
        engine::AppParams.MonospaceFont = {QStringLiteral("DejaVu Sans Mono"), 9};
        H.Create<vcl::TForm>(); // the main window
        Form = H.Create<shell::TFormCmdLine>();
    }
    void TearDown() override { engine::AppParams.MonospaceFont = SavedFont; }
    bool Execute(int Selected, bool FromFileList = false) {
        engine::TCmdLineRequest r{Panel, Rows, Selected, Ep, Info, *Form, Params, FromFileList,
                                  [this](const String& FileName, const String&) {
                                      ++Analysed;
                                      engine::TVideoFileInfo i;
                                      i.SetFileName(FileName);
                                      i.Seconds = 300;
                                      return i;
                                  },
                                  [this](int Ms) { Waited += Ms; }};
        return engine::ShowCmdLineExecute(r);
    }
    TempDir Dir;
    FormHarness H;
    engine::TAppParams Params;
    engine::TEncoderPanel Panel;
    engine::TFileRows Rows;
    engine::TEncodingParams Ep;
    engine::TVideoFileInfo Info;
    shell::TFormCmdLine* Form = nullptr;
    int Analysed = 0, Waited = 0;
    engine::TFontParams SavedFont;
};

TEST_F(CmdLineWindow, WithoutARowShowsPlaceholdersAndTheActionToggles) {
    Info.SetFileName(QStringLiteral("/stale/analysis.webm")); // the global record is cleared
    EXPECT_TRUE(Execute(-1));
    EXPECT_TRUE(Form->Visible());
    EXPECT_EQ(Form->Caption(), "FFmpeg command-line parameters");
    EXPECT_EQ(MemoLines(Form->me),
              QStringList({u'"' + Params.ffmpeg + u'"', "-y  -i \"<input_file>\" ", "-vn -sn -c:a libmp3lame -b:a 128k",
                           "\"output_file.mp3\""}));
    EXPECT_EQ(Info.FileName, "");
    EXPECT_EQ(Analysed, 0);
    EXPECT_EQ(Waited, 0);

    EXPECT_FALSE(Execute(-1)); // shown: the action hides it
    EXPECT_FALSE(Form->Visible());
    EXPECT_TRUE(Execute(-1, true)); // the file list refreshes without toggling
    EXPECT_TRUE(Execute(-1, true));
    EXPECT_TRUE(Form->Visible());
}

TEST_F(CmdLineWindow, ASelectedRowShowsItsInputAndTheTwoStageSeek) {
    engine::TFileRow row;
    row.Info.FileName = Dir.Write("my song.webm", "x");
    Rows.Rows = {row};
    Panel.chTimeStart = true;
    Panel.spedTimeStartM.Value = 1;
    Panel.spedTimeStartS.Value = 40;
    Panel.cbOutputFormat.SetItemIndex(engine::ofWAV);
    EXPECT_TRUE(Execute(0));
    const QStringList lines = MemoLines(Form->me);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[1], "-y -ss 60.000 -i \"" + row.Info.FileName + "\" -ss 40.000 ");
    EXPECT_TRUE(lines[2].startsWith("-vn")) << lines[2].toStdString();
    EXPECT_EQ(lines[3], "\"output_file.wav\"");
    EXPECT_EQ(Info.FileName, row.Info.FileName);
    EXPECT_EQ(Analysed, 1);
    EXPECT_EQ(Waited, 150);
    EXPECT_EQ(Ep.fOut, "<output_file>");
}

TEST_F(CmdLineWindow, AlwaysHoldsThreeLinesAndLooksLikeANote) {
    Form->SetMemoText(String(), String(), QStringLiteral("\"c\""));
    EXPECT_EQ(MemoLines(Form->me), QStringList({"", "", "\"c\""}));
    Form->SetMemoText("\"a\"", "b", "\"c\"");
    EXPECT_EQ(MemoLines(Form->me), QStringList({"\"a\"", "b", "\"c\""}));
    EXPECT_TRUE(Form->me->ReadOnly());
    EXPECT_EQ(Form->me->Color(), 0x00E1FAFD);
    EXPECT_EQ(Form->Color(), 0x00E1FAFD);
    EXPECT_EQ(Form->me->Font()->Name(), "DejaVu Sans Mono");
    EXPECT_EQ(Form->me->Font()->Size(), 9);
    EXPECT_EQ(Form->Constraints()->MinWidth(), 500);
    EXPECT_EQ(Form->Constraints()->MinHeight(), 150);
    EXPECT_EQ(Form->me->ScrollBars(), vcl::ssVertical);
}

TEST_F(CmdLineWindow, EscClosesAndTheCaptionFollowsTheLanguage) {
    Form->Show();
    H.Pump();
    H.Keys(VK_ESCAPE);
    EXPECT_FALSE(Form->Visible());

    shell::TAppStrings strings;
    strings.LoadFromFile(Dir.Write("de.lng", "[MAIN]\r\nCommandLineInfo=FFmpeg-Befehlszeile\r\n"));
    Form->SetLang(strings);
    EXPECT_EQ(Form->Caption(), "FFmpeg-Befehlszeile");
}

} // namespace
