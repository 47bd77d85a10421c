// Output file naming: folders, chapter names, the existing-file rules, -OUTFILE and -OUTDIR.
#include <gtest/gtest.h>

#include "tests/support/QtPrint.h"

#include <QFile>

#include <filesystem>

#include "app/engine/OutputNames.h"
#include "rtl/Files.h"
#include "tests/support/TempDir.h"

using namespace engine;
using testing_support::TempDir;

namespace {

struct Named {
    String Name, Status, Err;
};

class OutputNames : public ::testing::Test {
protected:
    Named Run(const TFileRowInfo& Row, const String& Ext = QStringLiteral(".mp3"), bool Batch = false) {
        if (!Namer || Batch != FBatch) {
            FBatch = Batch;
            Namer = std::make_unique<TOutputNamer>(Panel, RunParams, Batch);
            Namer->Hooks.OnSkip = [this](const String& Status, const String& FileName, bool ShowInRow) {
                Skips.push_back(Status + u'|' + FileName + (ShowInRow ? QStringLiteral("|row") : QString()));
            };
            Namer->Hooks.OnFolderError = [this](const String& Message) { FolderErrors.push_back(Message); };
        }
        Named n;
        n.Status = QStringLiteral("unchanged");
        n.Name = Namer->GetOutputFileName(Row, Ext, Row.bChapter, n.Status, n.Err);
        return n;
    }
    TFileRowInfo Row(const QString& FileName) const { return TFileRowInfo{FileName, false, -1, -1, {}, {}}; }
    String Touch(const QString& Name) const { return Dir.Write(Name, "x"); }

    TempDir Dir;
    TEncoderPanel Panel;
    TRunParams RunParams;
    std::unique_ptr<TOutputNamer> Namer;
    std::vector<String> Skips, FolderErrors;

private:
    bool FBatch = false;
};

TEST(GetUniqueFileName, NumbersPastTheTakenNames) {
    TempDir dir;
    const String song = dir.QFile(QStringLiteral("song.mp3"));
    EXPECT_EQ(GetUniqueFileName(song, QStringLiteral("_"), 3), song);
    dir.Write(QStringLiteral("song.mp3"), "x");
    dir.Write(QStringLiteral("song_001.mp3"), "x");
    EXPECT_EQ(GetUniqueFileName(song, QStringLiteral("_"), 3), dir.QFile(QStringLiteral("song_002.mp3")));
    EXPECT_EQ(GetUniqueFileName(song, QStringLiteral("-"), 1), dir.QFile(QStringLiteral("song-1.mp3")));

    dir.Write(QStringLiteral("noext"), "x");
    EXPECT_EQ(GetUniqueFileName(dir.QFile(QStringLiteral("noext")), QStringLiteral("_"), 2), dir.QFile(QStringLiteral("noext_01")));
    // Every numbered name taken: nothing is left.
    EXPECT_EQ(GetUniqueFileName(song, QStringLiteral("_"), 3, [](const String&) { return true; }), String());
}

TEST_F(OutputNames, FollowsTheFolderMode) {
    const String input = Dir.QFile(QStringLiteral("song.webm"));
    EXPECT_EQ(Run(Row(input)).Name, Dir.QFile(QStringLiteral("song.mp3")));
    Panel.cbOutDirMode.SetItemIndex(4);
    Panel.cbOutDir.SetText(QStringLiteral("  /x/out/. "));
    EXPECT_EQ(Run(Row(input), QStringLiteral(".wav")).Name, QStringLiteral("/x/out/song.wav"));
    Panel.cbOutDirMode.SetItemIndex(2);
    const Named music = Run(Row(input));
    EXPECT_TRUE(music.Name.endsWith(QStringLiteral("/song.mp3"))) << music.Name.toStdString();
    EXPECT_EQ(music.Status, QStringLiteral("unchanged"));
}

TEST_F(OutputNames, NamesChaptersAfterTheirTitle) {
    struct Case { const char16_t* title; const char16_t* number; const char16_t* expected; };
    const Case cases[] = {
        {u"Intro", u"3", u"song - 03 - Intro.mp3"},
        {u"  ", u"3", u"song - 03 - Chapter 03.mp3"},
        {u"01 Prelude", u"1", u"song - 01 Prelude.mp3"},
        {u"  7 Seas ", u"4", u"song - 7 Seas.mp3"},
        {u"a:b/c\"d?e", u"12", u"song - 12 - a_b_c'd_e.mp3"},
    };
    for (const Case& c : cases) {
        const TFileRowInfo row{Dir.QFile(QStringLiteral("song.webm")), true, 0, 1000, QString::fromUtf16(c.title),
                               QString::fromUtf16(c.number)};
        EXPECT_EQ(Run(row).Name, Dir.QFile(QString::fromUtf16(c.expected)));
    }
}

TEST_F(OutputNames, AppliesTheExistingFileRule) {
    const String input = Dir.QFile(QStringLiteral("song.webm"));
    const String existing = Touch(QStringLiteral("song.mp3"));

    Named n = Run(Row(input));   // rename, the default
    EXPECT_EQ(n.Name, Dir.QFile(QStringLiteral("song_001.mp3")));
    EXPECT_EQ(n.Status, QStringLiteral("OK - Renamed"));

    Namer.reset();   // a new run
    Panel.cbOutputExists.SetItemIndex(1);
    n = Run(Row(input));
    EXPECT_EQ(n.Name, existing);
    EXPECT_EQ(n.Status, QStringLiteral("OK - Overwritten"));
    EXPECT_EQ(n.Err, String());

    Namer.reset();
    Panel.cbOutputExists.SetItemIndex(2);
    n = Run(Row(input));
    EXPECT_EQ(n.Name, existing);
    EXPECT_EQ(n.Err, QStringLiteral("skip"));
    EXPECT_EQ(n.Status, QStringLiteral("Skipped"));
    n = Run(Row(input), QStringLiteral(".mp3"), true);   // a batch script leaves the row's cell alone
    ASSERT_EQ(Skips.size(), 2u);
    EXPECT_EQ(Skips[0], QStringLiteral("Skipped|") + existing + QStringLiteral("|row"));
    EXPECT_EQ(Skips[1], QStringLiteral("Skipped|") + existing);

    // The command line's choice wins over the window's.
    Namer.reset();
    RunParams.bOverwriteParams = true;
    RunParams.Overwrite = opRename;
    EXPECT_EQ(Run(Row(input)).Name, Dir.QFile(QStringLiteral("song_001.mp3")));
}

TEST_F(OutputNames, OverwriteNeverReplacesTheInput) {
    const String input = Touch(QStringLiteral("take.wav"));
    Panel.cbOutputExists.SetItemIndex(1);
    Named n = Run(Row(input), QStringLiteral(".wav"));
    EXPECT_EQ(n.Name, Dir.QFile(QStringLiteral("take_001.wav")));
    EXPECT_EQ(n.Status, QStringLiteral("OK - Overwritten"));

    // The same file reached through a linked folder is still the input.
    std::filesystem::create_directory(Dir.File("real"));
    std::filesystem::create_directory_symlink(Dir.File("real"), Dir.File("link"));
    Touch(QStringLiteral("real/clip.wav"));
    Namer.reset();
    Panel.cbOutDirMode.SetItemIndex(4);
    Panel.cbOutDir.SetText(Dir.QFile(QStringLiteral("real")));
    n = Run(Row(Dir.QFile(QStringLiteral("link/clip.wav"))), QStringLiteral(".wav"));
    EXPECT_EQ(n.Name, Dir.QFile(QStringLiteral("real/clip_001.wav")));

    // And a hard link too.
    std::filesystem::create_hard_link(Dir.File("real/clip.wav"), Dir.File("clip.wav"));
    Namer.reset();
    Panel.cbOutDir.SetText(Dir.QPath());
    n = Run(Row(Dir.QFile(QStringLiteral("real/clip.wav"))), QStringLiteral(".wav"));
    EXPECT_EQ(n.Name, Dir.QFile(QStringLiteral("clip_001.wav")));
    EXPECT_TRUE(IsSameFile(Dir.QFile(QStringLiteral("real/../real/none.wav")), Dir.QFile(QStringLiteral("link/none.wav"))));
    EXPECT_FALSE(IsSameFile(Dir.QFile(QStringLiteral("real/none.wav")), Dir.QFile(QStringLiteral("real/none2.wav"))));
}

TEST_F(OutputNames, OutFileGoesToTheOutDirOrBesideTheInput) {
    RunParams.bAutoConvert = true;
    RunParams.OutFile = QStringLiteral("out.mp3");
    RunParams.OutDir = QStringLiteral("/x/dir/");
    EXPECT_EQ(Run(Row(QStringLiteral("/m/in.webm"))).Name, QStringLiteral("/x/dir/out.mp3"));
    Namer.reset();
    RunParams.OutDir.clear();
    EXPECT_EQ(Run(Row(QStringLiteral("/m/in.webm"))).Name, QStringLiteral("/m/out.mp3"));
    Namer.reset();
    RunParams.OutFile = QStringLiteral("/y/keep.ogg");   // a full path is taken whatever the format
    EXPECT_EQ(Run(Row(QStringLiteral("/m/in.webm")), QStringLiteral(".wav")).Name, QStringLiteral("/y/keep.ogg"));
}

TEST_F(OutputNames, ARunNeverOverwritesItsOwnOutput) {
    RunParams.bAutoConvert = true;
    RunParams.OutFile = QStringLiteral("out.mp3");
    RunParams.OutDir = Dir.QPath();
    RunParams.bOverwriteParams = true;
    for (TOverwriteParams rule : {opOverwrite, opRename, opSkip}) {
        SCOPED_TRACE(int(rule));
        Namer.reset();
        RunParams.Overwrite = rule;
        const Named first = Run(Row(QStringLiteral("/m/a.webm")));
        Touch(QStringLiteral("out.mp3"));   // the encoder wrote it
        const Named second = Run(Row(QStringLiteral("/m/b.webm")));
        const Named third = Run(Row(QStringLiteral("/m/c.webm")));
        EXPECT_EQ(first.Name, Dir.QFile(QStringLiteral("out.mp3")));
        if (rule == opSkip) {
            // The run's own name is skipped, never overwritten.
            for (const Named& later : {second, third}) {
                EXPECT_EQ(later.Status, QStringLiteral("Skipped"));
                EXPECT_EQ(later.Err, QStringLiteral("skip"));
            }
        } else {
            EXPECT_EQ(second.Name, Dir.QFile(QStringLiteral("out_001.mp3")));
            EXPECT_EQ(second.Err, String());
            EXPECT_EQ(third.Name, Dir.QFile(QStringLiteral("out_002.mp3")));   // out_001 was not written: still taken
            EXPECT_EQ(third.Status, QStringLiteral("OK - Renamed"));
        }
        std::filesystem::remove(Dir.File("out.mp3"));
    }
    // A file that was there before the run follows the rule.
    Namer.reset();
    Touch(QStringLiteral("out.mp3"));
    RunParams.Overwrite = opOverwrite;
    EXPECT_EQ(Run(Row(QStringLiteral("/m/a.webm"))).Name, Dir.QFile(QStringLiteral("out.mp3")));
}

TEST_F(OutputNames, OutDirIsCreatedOrReported) {
    RunParams.bAutoConvert = true;
    RunParams.OutDir = Dir.QFile(QStringLiteral("new/deeper"));
    EXPECT_EQ(Run(Row(QStringLiteral("/m/in.webm")), QStringLiteral(".wav")).Name, Dir.QFile(QStringLiteral("new/deeper/in.wav")));
    EXPECT_TRUE(std::filesystem::is_directory(Dir.File("new/deeper")));

    Touch(QStringLiteral("plain"));
    RunParams.OutDir = Dir.QFile(QStringLiteral("plain/sub"));
    const Named n = Run(Row(QStringLiteral("/m/in.webm")));
    EXPECT_EQ(n.Name, String());
    EXPECT_EQ(n.Err, QStringLiteral("Couldn't create directory \"") + RunParams.OutDir + QStringLiteral("\" !"));
    EXPECT_EQ(FolderErrors, std::vector<String>{n.Err});

    RunParams.Silent = 2;   // nothing shown: the run's own folder check handles it
    EXPECT_EQ(Run(Row(QStringLiteral("/m/in.webm"))).Name, Dir.QFile(QStringLiteral("plain/sub/in.mp3")));
    EXPECT_EQ(FolderErrors.size(), 1u);
}

struct FitCase {
    const char* name;
    QString stem;
    int reserve;
    int keptUnits; // UTF-16 units of the stem that stay
};

class FitFileName : public ::testing::TestWithParam<FitCase> {};

TEST_P(FitFileName, CutsTheStemAtACharacterSoTheNameFits255Bytes) {
    const auto& c = GetParam();
    const QString fitted = FitFileNameLength(QStringLiteral("/dir.d/") + c.stem + QStringLiteral(".mp3"), c.reserve);
    EXPECT_EQ(fitted, QStringLiteral("/dir.d/") + c.stem.left(c.keptUnits) + QStringLiteral(".mp3"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FitFileName,
    ::testing::Values(FitCase{"shortStays", QString(10, u'a'), 0, 10},
                      FitCase{"exactlyFits", QString(251, u'a'), 0, 251},
                      FitCase{"oneByteOver", QString(252, u'a'), 0, 251},
                      FitCase{"asciiCut", QString(300, u'a'), 0, 251},
                      FitCase{"roomForACounter", QString(300, u'a'), 4, 247},
                      // 3 bytes each: 83 x 3 = 249 fit beside ".mp3", 84 would not
                      FitCase{"cjkCut", QString(90, QChar(0x6F22)), 0, 83},
                      // 4 bytes each (two UTF-16 units): 62 fit, the 63rd pair is not split
                      FitCase{"surrogatePairsStayWhole", QString::fromUcs4(std::u32string(70, U'\U0001F3B5').c_str()), 0, 124}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(OutputNames, ALongChapterTitleGivesANameLinuxTakes) {
    TFileRowInfo row = Row(Dir.QFile(QStringLiteral("talk.webm")));
    row.bChapter = true;
    row.ChapterNo = QStringLiteral("1");
    row.ChapterTitle = QString(90, QChar(0x6F22));
    const Named first = Run(row);
    EXPECT_LE(rtl::ExtractFileName(first.Name).toUtf8().size(), 255);
    EXPECT_TRUE(first.Name.endsWith(QStringLiteral(".mp3")));
    ASSERT_TRUE(QFile(first.Name).open(QIODevice::WriteOnly)); // the file system takes it
    // The existing-file rule works on the cut name; the counter still fits.
    Namer.reset();
    const Named second = Run(row);
    EXPECT_NE(second.Name, first.Name);
    EXPECT_TRUE(second.Name.endsWith(QStringLiteral("_001.mp3")));
    EXPECT_LE(rtl::ExtractFileName(second.Name).toUtf8().size(), 255);
    EXPECT_EQ(second.Status, QStringLiteral("OK - Renamed"));
}

TEST_F(OutputNames, ManyRowsOfOneOutFileAreNumberedInOrder) {
    RunParams.bAutoConvert = true;
    RunParams.OutFile = QStringLiteral("all.mp3");
    RunParams.OutDir = Dir.QPath();
    Touch(QStringLiteral("all_002.mp3")); // there before the run
    QStringList got;
    for (int i = 0; i < 5; ++i) got << rtl::ExtractFileName(Run(Row(QStringLiteral("/m/in.webm"))).Name);
    EXPECT_EQ(got, QStringList({"all.mp3", "all_001.mp3", "all_003.mp3", "all_004.mp3", "all_005.mp3"}));
}

TEST_F(OutputNames, AClaimIsKnownUnderAnotherSpellingOfItsPath) {
    std::filesystem::create_directory(Dir.File("real"));
    std::filesystem::create_directory_symlink(Dir.File("real"), Dir.File("link"));
    TOutputNamer namer(Panel, RunParams, false);
    namer.Claim(Dir.QFile(QStringLiteral("real/a.mp3")));
    EXPECT_TRUE(namer.Claimed(Dir.QFile(QStringLiteral("link/a.mp3"))));
    EXPECT_TRUE(namer.Claimed(Dir.QFile(QStringLiteral("real/../real/a.mp3"))));
    EXPECT_FALSE(namer.Claimed(Dir.QFile(QStringLiteral("real/b.mp3"))));
    // An existing file claimed once is known by its inode, also through a hard link.
    const QString existing = Touch(QStringLiteral("real/c.mp3"));
    namer.Claim(existing);
    std::filesystem::create_hard_link(Dir.File("real/c.mp3"), Dir.File("hard.mp3"));
    EXPECT_TRUE(namer.Claimed(Dir.QFile(QStringLiteral("hard.mp3"))));
}

} // namespace
