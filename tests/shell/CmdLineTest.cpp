// Command-line options and the plain file list.
#include "app/shell/CmdLine.h"

#include <gtest/gtest.h>

#include <QDir>

#include "app/engine/Procs.h"
#include "tests/support/MediaFixtures.h"
#include "tests/support/Peers.h"
#include "tests/support/TempDir.h"

namespace {

using engine::String;
using testing_support::TempDir;

struct Parsed {
    engine::TAppParams Params;
    QStringList Added, Lists, Profiles;
    int Defaults = 0;
};

Parsed Parse(const QStringList& Args, const QString& ProfilesDir = QString()) {
    Parsed p;
    engine::InitAppParams(p.Params);
    if (!ProfilesDir.isEmpty()) p.Params.ProfilesDir = ProfilesDir;
    shell::TRunParamsActions a;
    a.AddToList = [&](const String& f) { p.Added << f; };
    a.LoadFileList = [&](const String& f) { p.Lists << f; };
    a.SetDefaultEncoderSettings = [&] { ++p.Defaults; };
    a.LoadProfile = [&](const String& f) { p.Profiles << f; };
    shell::ParseRunParams(Args, p.Params, a);
    return p;
}

// ---- the option table ------------------------------------------------------------------------------------

struct OptionCase {
    const char* name;
    QStringList args;
    bool autoConvert = false;
    bool autoClose = false;
    int silent = 0;
    bool overwriteGiven = false;
    engine::TOverwriteParams overwrite = engine::opRename;
    QString outDir{};
    QString outFile{};
};

class OptionTable : public ::testing::TestWithParam<OptionCase> {};

TEST_P(OptionTable, SetsTheRunParameters) {
    const auto& c = GetParam();
    const engine::TRunParams r = Parse(c.args).Params.RunParams;
    EXPECT_EQ(r.bAutoConvert, c.autoConvert);
    EXPECT_EQ(r.bAutoClose, c.autoClose);
    EXPECT_EQ(r.Silent, c.silent);
    EXPECT_EQ(r.bOverwriteParams, c.overwriteGiven);
    EXPECT_EQ(r.Overwrite, c.overwrite);
    EXPECT_EQ(r.OutDir, c.outDir);
    EXPECT_EQ(r.OutFile, c.outFile);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OptionTable,
    ::testing::Values(
        OptionCase{.name = "lowerCaseAndBlanks", .args = {"-autoconvert", "  -AutoClose  "}, .autoConvert = true,
                   .autoClose = true},
        OptionCase{.name = "silentAlone", .args = {"-SILENT"}, .silent = 1},
        OptionCase{.name = "silentWords", .args = {"-silent=noerrors"}, .silent = 2},
        OptionCase{.name = "silentLastWins", .args = {"-SILENT=2", "-SILENT=FALSE"}, .silent = 0},
        OptionCase{.name = "silentThreeIgnored", .args = {"-SILENT=3"}},
        OptionCase{.name = "overwriteSkip", .args = {"-overwrite=skip"}, .overwriteGiven = true,
                   .overwrite = engine::opSkip},
        OptionCase{.name = "overwriteOne", .args = {"-OVERWRITE=1"}, .overwriteGiven = true,
                   .overwrite = engine::opOverwrite},
        OptionCase{.name = "overwriteRename", .args = {"-OVERWRITE=SKIP", "-OVERWRITE=0"}, .overwriteGiven = true},
        OptionCase{.name = "overwriteOtherValueIgnored", .args = {"-OVERWRITE=maybe"}},
        OptionCase{.name = "outDirTrailingDotAndDelimiter", .args = {"-OUTDIR=\"/music/Out Put/.\""},
                   .outDir = "/music/Out Put"},
        OptionCase{.name = "outDirDelimiter", .args = {"-outdir=/music/x/"}, .outDir = "/music/x"},
        OptionCase{.name = "outFileKeepsCaseLosesQuotes", .args = {"-OutFile=My \"Song\".MP3"},
                   .outFile = "My Song.MP3"},
        OptionCase{.name = "unknownIgnored", .args = {"-VERBOSE", "/no/such/file.webm", ""}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CommandLineOptions, ToolPathsOnlyWhenTheFileExists) {
    TempDir dir;
    const QString tool = dir.Write("my ffmpeg", "#!/bin/sh\n");
    Parsed p = Parse({"-FFMPEG=\"" + tool + "\"", "-ffplay=" + tool});
    EXPECT_EQ(p.Params.ffmpeg, tool); // the quotes are gone
    EXPECT_EQ(p.Params.ffplay, tool);
    const QString before = Parse({}).Params.ffmpeg;
    EXPECT_EQ(Parse({"-FFMPEG=" + dir.QFile("missing")}).Params.ffmpeg, before);
}

TEST(CommandLineOptions, ToolsFolderSetsTheToolsThatAreThere) {
    TempDir dir;
    QDir(dir.QPath()).mkpath("tools/FFmpeg");
    const QString ffmpeg = dir.Write("tools/FFmpeg/ffmpeg", "x");
    const QString before = Parse({}).Params.ffplay;
    Parsed p = Parse({"-TOOLS=" + dir.QFile("tools") + "/."});
    EXPECT_EQ(p.Params.ToolsDir, dir.QFile("tools"));
    EXPECT_EQ(p.Params.ffmpeg, ffmpeg);
    EXPECT_EQ(p.Params.ffplay, before); // no ffplay there

    p = Parse({"-TOOLS=" + dir.QFile("empty")});
    EXPECT_NE(p.Params.ToolsDir, dir.QFile("empty")); // a missing folder changes nothing
}

TEST(CommandLineOptions, ProfileByNameFromTheProfilesFolderOrDefault) {
    TempDir dir;
    QDir(dir.QPath()).mkpath("profiles");
    const QString wav = dir.Write("profiles/wav.ini", "[MAIN]\n");
    Parsed p = Parse({"-PROFILE=wav"}, dir.QFile("profiles"));
    EXPECT_EQ(p.Profiles, QStringList{wav});
    p = Parse({"-profile=DeFault"});
    EXPECT_EQ(p.Defaults, 1);
    EXPECT_TRUE(p.Profiles.isEmpty());
    p = Parse({"-PROFILE=missing", "-PROFILE=" + dir.QFile("nowhere.ini")}, dir.QFile("profiles"));
    EXPECT_TRUE(p.Profiles.isEmpty());
    p = Parse({"-PROFILE=" + wav}, dir.QFile("other"));
    EXPECT_EQ(p.Profiles, QStringList{wav});
}

TEST(CommandLineOptions, FileArgumentsAreAddedOrLoadedAsLists) {
    TempDir dir;
    const QString webm = dir.Write("a.webm", "x");
    const QString lst = dir.Write("LIST.LST", "x");
    const QString odd = dir.Write("-OVERWRITE=x", "x"); // not an option value: an existing file
    Parsed p = Parse({webm, lst, odd});
    EXPECT_EQ(p.Added, QStringList({webm, odd}));
    EXPECT_EQ(p.Lists, QStringList{lst});
}

// ---- the file list ---------------------------------------------------------------------------------------

class FileRows : public ::testing::Test {
protected:
    void SetUp() override {
        engine::InitAppParams(Params);
        Params.SplitChapters = false;
    }
    engine::TAppParams Params;
    engine::TFileRows Rows;
    TempDir Dir;
};

TEST_F(FileRows, AcceptsKnownExtensionsOnceAndOnlyExistingFiles) {
    const QString webm = Dir.Write("a.WEBM", "x");
    const QString mp3 = Dir.Write("b.mp3", "x");
    Dir.Write("c.webm.txt", "x");
    QDir(Dir.QPath()).mkpath("folder.webm");
    EXPECT_EQ(shell::AddToList(Rows, webm, true, Params), 1);
    EXPECT_EQ(shell::AddToList(Rows, Dir.QPath() + "/./a.WEBM", true, Params), 0); // the same file
    EXPECT_EQ(shell::AddToList(Rows, mp3, true, Params), 0);
    EXPECT_EQ(shell::AddToList(Rows, Dir.QFile("c.webm.txt"), true, Params), 0);
    EXPECT_EQ(shell::AddToList(Rows, Dir.QFile("folder.webm"), true, Params), 0);
    EXPECT_EQ(shell::AddToList(Rows, Dir.QFile("missing.webm"), true, Params), 0);
    Params.AcceptAllMediaFiles = true;
    EXPECT_EQ(shell::AddToList(Rows, mp3, false, Params), 1);
    ASSERT_EQ(Rows.Rows.size(), 2u);
    EXPECT_EQ(Rows.Rows[0].Info.FileName, webm);
    EXPECT_TRUE(Rows.Rows[0].Checked);
    EXPECT_FALSE(Rows.Rows[1].Checked);
    EXPECT_EQ(Rows.Rows[1].Status, "Ready");
}

TEST_F(FileRows, ChaptersBecomeCheckedRowsUnderAnUncheckedFileRow) {
    TW_REQUIRE_FIXTURES();
    TW_REQUIRE_TOOL("ffprobe");
    Params.SplitChapters = true;
    const QString file = testing_support::Fixture(testing_support::EFixture::Chapters);
    ASSERT_EQ(shell::AddToList(Rows, file, true, Params), 4);
    EXPECT_FALSE(Rows.Rows[0].Checked);
    const auto& chapters = testing_support::FixtureInfo(testing_support::EFixture::Chapters).Chapters;
    for (size_t i = 0; i < chapters.size(); ++i) {
        const engine::TFileRow& r = Rows.Rows[i + 1];
        EXPECT_TRUE(r.Checked);
        EXPECT_TRUE(r.Info.bChapter);
        EXPECT_EQ(r.Info.FileName, file);
        EXPECT_EQ(r.Info.ChapterTitle, chapters[i].Title);
        EXPECT_EQ(r.Info.ChapterNo, QString::number(i + 1));
        EXPECT_EQ(r.Info.ChapterStartMs, chapters[i].StartMs);
        EXPECT_EQ(r.Info.ChapterEndMs, chapters[i].EndMs);
    }
    // Without analysis no chapters are read.
    engine::TFileRows plain;
    Params.FileAnalysis = engine::faNone;
    EXPECT_EQ(shell::AddToList(plain, file, true, Params), 1);
}

TEST_F(FileRows, FileListsAddEveryLineInOrder) {
    QDir(Dir.QPath()).mkpath("sub");
    const QString a = Dir.Write("sub/a.webm", "x");
    const QString b = Dir.Write("b.mp4", "x");
    // No BOM and not UTF-8: Windows-1252; a folder part ending in "." loses it.
    const QString c = Dir.Write(QString::fromUtf8("c\xC3\xA9.flv"), "x");
    const QByteArray list = Dir.QPath().toUtf8() + "/sub/./a.webm\r\n\r\n" + b.toUtf8() + "\r\n" +
                            Dir.QPath().toLatin1() + "/c\xE9.flv\n";
    shell::LoadFileList(Rows, Dir.Write("list.lst", list), Params);
    ASSERT_EQ(Rows.Rows.size(), 3u);
    EXPECT_EQ(Rows.Rows[0].Info.FileName, a);
    EXPECT_EQ(Rows.Rows[1].Info.FileName, b);
    EXPECT_EQ(Rows.Rows[2].Info.FileName, c);
    EXPECT_THROW(shell::LoadFileList(Rows, Dir.QFile("missing.lst"), Params), rtl::EFOpenError);
}

TEST(FileListLines, RebuildThePath) {
    EXPECT_EQ(shell::FileListLinePath("/music/./song.webm"), "/music/song.webm");
    EXPECT_EQ(shell::FileListLinePath("/music/song.webm"), "/music/song.webm");
    EXPECT_EQ(shell::FileListLinePath("/song.webm"), "/song.webm");
    EXPECT_EQ(shell::FileListLinePath("song.webm"), "song.webm");
}

} // namespace
