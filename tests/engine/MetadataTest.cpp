// The tag handoff: the panel's fields, the keep marker, auto-numbering, and tags copied from a tagged
// source read back by mutagen.
#include "app/engine/Metadata.h"

#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QFile>

#include "tests/support/MediaFixtures.h"
#include "tests/support/Peers.h"
#include "tests/support/QtPrint.h"
#include "tests/support/TempDir.h"

namespace {

using engine::String;
using testing_support::EFixture;
using testing_support::TempDir;

// The ID3 frames mutagen reads, as "ID=text".
QStringList MutagenFrames(const QString& File) {
    const auto run = testing_support::RunProgram(
        "/usr/bin/python3",
        {"-c",
         "import sys, json, mutagen.id3\n"
         "try:\n    t = mutagen.id3.ID3(sys.argv[1])\nexcept mutagen.id3.ID3NoHeaderError:\n    t = {}\n"
         "print(json.dumps({k[:4]: str(v) for k, v in t.items() if k[:4] in "
         "('TIT2','TPE1','TALB','TCON','TDRC','TRCK','COMM','TENC','TSSE')}))",
         File});
    if (!run.Ok()) {
        ADD_FAILURE() << run.Describe() << run.Err.toStdString();
        return {};
    }
    const QJsonObject o = QJsonDocument::fromJson(run.Out).object();
    QStringList frames;
    for (auto it = o.begin(); it != o.end(); ++it) frames << it.key() + u'=' + it.value().toString();
    frames.sort();
    return frames;
}

class TagHandoff : public ::testing::Test {
protected:
    void SetUp() override {
        TW_REQUIRE_FIXTURES();
        TW_REQUIRE_TOOL("/usr/bin/python3", "import mutagen");
        // An MP3 without tags of its own, as the encoder writes with -map_metadata -1.
        Mp3 = Dir.QFile("out.mp3");
        const auto made = testing_support::RunProgram(
            testing_support::FfmpegPath(), {"-v", "error", "-i", testing_support::Fixture(EFixture::AudioMp3), "-map_metadata",
                                            "-1", "-c", "copy", "-write_xing", "0", Mp3});
        ASSERT_TRUE(made.Ok()) << made.Describe();
        // A tagged source: ID3v2 as ffmpeg writes it.
        Source = Dir.QFile("source.mp3");
        QStringList args{"-v", "error", "-i", testing_support::Fixture(EFixture::AudioMp3), "-c", "copy"};
        for (const auto& [key, value] : testing_support::FixtureInfo(EFixture::TaggedMp4).Tags)
            args << "-metadata" << key + u'=' + value;
        const auto tagged = testing_support::RunProgram(testing_support::FfmpegPath(), args << Source);
        ASSERT_TRUE(tagged.Ok()) << tagged.Describe();
    }
    TempDir Dir;
    QString Mp3, Source;
};

TEST_F(TagHandoff, CopiesTheSourcesTagsIntoTheOutput) {
    ASSERT_TRUE(engine::CopyTags(Source, Mp3, engine::TagKindAutomatic));
    const QStringList frames = MutagenFrames(Mp3);
    for (const char* f : {"TALB=Test Pressings", "TCON=Ambient", "TDRC=2021", "TIT2=Fixture Tone", "TPE1=Zoë Quartet",
                          "TRCK=3/12"})
        EXPECT_TRUE(frames.contains(QString::fromUtf8(f))) << f << " in " << frames.join('|').toStdString();
    engine::TTagRec rec;
    engine::ReadTagsFromFile(Mp3, rec);
    EXPECT_EQ(rec.Artist, "Zoë Quartet");
    EXPECT_EQ(rec.Title, "Fixture Tone");
    EXPECT_FALSE(engine::CopyTags(Dir.QFile("missing.mp4"), Mp3, engine::TagKindAutomatic));
}

TEST_F(TagHandoff, CopiesFromAnMp4SourceOnceTheLibraryReadsIt) {
    engine::TTagRec rec;
    engine::ReadTagsFromFile(testing_support::Fixture(EFixture::TaggedMp4), rec);
    if (rec.Title.isEmpty()) GTEST_SKIP() << "the tag library reads no MP4 tags yet";
    ASSERT_TRUE(engine::CopyTags(testing_support::Fixture(EFixture::TaggedMp4), Mp3, engine::TagKindAutomatic));
    EXPECT_TRUE(MutagenFrames(Mp3).contains("TIT2=Fixture Tone"));
}

TEST_F(TagHandoff, ThePanelsTagsWithFileNameAndKeepMarker) {
    ASSERT_TRUE(engine::CopyTags(Source, Mp3, engine::TagKindID3v2));
    engine::TFileRows rows;
    rows.Rows.resize(7);
    engine::TTagPanel panel;
    panel.Mode = engine::tmAddCustom;
    panel.cbMP3TagsToWrite = engine::mtID3v2;
    panel.edTagTitle = "<FILE_NAME> - live";
    panel.edTagArtist = QString::fromUtf16(engine::KeepTagMarker); // keeps the copied artist
    panel.edTagAlbum = "<@copy>";                                  // not the marker: written as text
    panel.chTagAutoNumbering = true;
    panel.chTagAddEncoderInfo = true;
    ASSERT_TRUE(engine::AddTag(panel, "/music/concert.webm", Mp3, rows, 2, "-vn -sn -c:a libmp3lame"));
    const QStringList frames = MutagenFrames(Mp3);
    EXPECT_TRUE(frames.contains("TIT2=concert - live")) << frames.join('|').toStdString();
    EXPECT_TRUE(frames.contains("TPE1=Zoë Quartet"));
    EXPECT_TRUE(frames.contains("TALB=<@copy>"));
    EXPECT_TRUE(frames.contains("TRCK=3/7"));
    EXPECT_TRUE(frames.contains("TSSE=-vn -sn -c:a libmp3lame"));
    EXPECT_FALSE(frames.filter(QRegularExpression("^TENC=Tunewright 1.5  \\[64-bit\\] - https://")).isEmpty());
}

TEST_F(TagHandoff, TheTagStepStripsInNoneMode) {
    ASSERT_TRUE(engine::CopyTags(Source, Mp3, engine::TagKindAutomatic));
    engine::TFileRows rows;
    engine::TTagPanel panel;
    panel.Mode = engine::tmNone;
    engine::TEncodingParams ep;
    engine::MakeTagStep(panel, rows, ep)("/in.webm", Mp3, 0);
    EXPECT_EQ(MutagenFrames(Mp3), QStringList());
    EXPECT_FALSE(QFile::exists(Dir.QFile("out.tmp")));
}

TEST(TagHandoffFiles, MissingFilesGiveFalse) {
    engine::TFileRows rows;
    engine::TTagPanel panel;
    EXPECT_FALSE(engine::AddTag(panel, "/a.webm", "/no/such/out.mp3", rows, 0, ""));
    EXPECT_FALSE(engine::WriteTagsToFile("/no/such/out.mp3", engine::TTagRec(), engine::TagKindID3v2));
    EXPECT_FALSE(engine::RemoveTags("/no/such/out.mp3", engine::TagKindAutomatic));
    engine::TTagRec rec;
    rec.Title = "old";
    engine::ReadTagsFromFile("/no/such/in.mp3", rec);
    EXPECT_EQ(rec.Title, "");
}

} // namespace
