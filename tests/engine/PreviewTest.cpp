// The Play action with a stand-in player that prints the arguments it got.
#include "app/engine/Preview.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "app/engine/Procs.h"
#include "tests/support/QtPrint.h"
#include "tests/support/TempDir.h"

namespace {

using engine::String;
using testing_support::TempDir;

TEST(PlayerCommand, QuotesAPathWithABlankOnce) {
    EXPECT_EQ(engine::PlayerCommand("/opt/my tools/ffplay"), "\"/opt/my tools/ffplay\"");
    EXPECT_EQ(engine::PlayerCommand("\"/opt/my tools/ffplay\""), "\"/opt/my tools/ffplay\"");
    EXPECT_EQ(engine::PlayerCommand("/usr/bin/ffplay"), "/usr/bin/ffplay");
}

class Play : public ::testing::Test {
protected:
    void SetUp() override {
        engine::InitAppParams(Params);
        QDir(Dir.QPath()).mkpath("my tools");
        Params.ffplay = Dir.Write("my tools/ffplay", "#!/bin/sh\nfor a; do printf '%s\\n' \"$a\"; done\n");
        QFile::setPermissions(Params.ffplay, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        Params.ffmpeg = Params.ffplay; // only its existence matters: the analysis is a stand-in
    }
    QStringList Execute() {
        rtl::TStringList out;
        engine::TPlayRequest r{Panel, Rows, Selected, Ep, Info, &out, Params, [this] { ++Stops; },
                               [](const String& FileName, const String&) {
                                   engine::TVideoFileInfo i;
                                   i.SetFileName(FileName);
                                   i.Seconds = 200;
                                   return i;
                               }};
        Played = engine::PlayExecute(r);
        QStringList lines;
        for (int i = 0; i < out.Count(); ++i)
            if (!out[i].isEmpty()) lines << out[i];
        return lines;
    }
    TempDir Dir;
    engine::TAppParams Params;
    engine::TEncoderPanel Panel;
    engine::TFileRows Rows;
    int Selected = -1;
    engine::TEncodingParams Ep;
    engine::TVideoFileInfo Info;
    int Stops = 0;
    bool Played = false;
};

TEST_F(Play, RunsThePlayerOnTheFirstRowWithTheConversionsRange) {
    engine::TFileRow row;
    row.Info.FileName = Dir.Write("my song.webm", "x");
    Rows.Rows = {row, row};
    Panel.chTimeStart = true;
    Panel.spedTimeStartS.Value = 15;
    Panel.spedTimeStartMs.Value = 250;
    Panel.chTimeEnd = true;
    Panel.spedTimeEndS.Value = 25;
    Panel.tbAudioVolume.SetPosition(150);
    const QStringList args = Execute();
    EXPECT_TRUE(Played);
    EXPECT_EQ(Selected, 0);
    EXPECT_EQ(Stops, 1);
    EXPECT_EQ(args, QStringList({"-i", row.Info.FileName, "-ss", "0015.250", "-t", "0009.750", "-af", "volume=1.50",
                                 "-sn", "-window_title", "Tunewright - my song.webm - Press Q to exit!"}));
}

TEST_F(Play, AWholeFileGetsItsLengthFromTheAnalysis) {
    engine::TFileRow row;
    row.Info.FileName = Dir.Write("a.webm", "x");
    Rows.Rows = {row};
    EXPECT_EQ(Execute().mid(0, 4), QStringList({"-i", row.Info.FileName, "-t", "0200.000"}));
}

TEST_F(Play, NothingRunsWithoutARowOrAPlayer) {
    EXPECT_TRUE(Execute().isEmpty());
    EXPECT_FALSE(Played);
    engine::TFileRow row;
    row.Info.FileName = Dir.Write("a.webm", "x");
    Rows.Rows = {row};
    Selected = 3;
    Execute();
    EXPECT_FALSE(Played);
    Selected = 0;
    Params.ffplay = Dir.QFile("none");
    Params.ToolsDir = Dir.QFile("none");
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", "/nonexistent");
    Execute();
    qputenv("PATH", path);
    EXPECT_FALSE(Played);
}

} // namespace
