// The prober's report and chapters: the output filter, the unescaping, the INI reading and the report
// text, against a scripted stand-in of the tool and against Debian's ffprobe.
#include <gtest/gtest.h>

#include "tests/support/QtPrint.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonObject>

#include <map>

#include "app/engine/FFprobe.h"
#include "tests/engine/analysis/PeerReports.h"
#include "tests/support/MediaFixtures.h"
#include "tests/support/Peers.h"
#include "tests/support/TempDir.h"

namespace {

using engine::TFFKeyValueList;

QString Q(const char16_t* Text) {
    return QString::fromUtf16(Text);
}

// ---- unescaping and filtering -----------------------------------------------------------------------

struct UnescapeCase {
    const char16_t* Text;
    const char16_t* Expected;
};
class UnescapeTable : public ::testing::TestWithParam<UnescapeCase> {};

TEST_P(UnescapeTable, UndoesEveryEscapeInOnePass) {
    EXPECT_EQ(engine::UnescapeFFprobeIniValue(Q(GetParam().Text)), Q(GetParam().Expected));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnescapeTable,
    ::testing::Values(UnescapeCase{u"title=a\\=b;c\\#d", u"title=a=b;c#d"}, // what ffprobe 5.1 writes
                      UnescapeCase{u"start_time=0\\:00\\:02.000", u"start_time=0:00:02.000"},
                      UnescapeCase{u"path=C\\\\new", u"path=C\\new"}, // an escaped backslash, then n
                      UnescapeCase{u"a\\\\\\\\b", u"a\\\\b"}, UnescapeCase{u"x\\ny", u"x\r\ny"},
                      UnescapeCase{u"x\\ry", u"x\r\ny"}, UnescapeCase{u"t\\tab", u"t\tab"},
                      UnescapeCase{u"c\\x0001d", u"c\x01"
                                                 u"d"},
                      UnescapeCase{u"\\b\\f", u"\b\f"}, UnescapeCase{u"\\'\\\"\\?\\;", u"'\"?;"},
                      UnescapeCase{u"keep \\q", u"keep \\q"}, UnescapeCase{u"cut \\x0", u"cut \\x0"},
                      UnescapeCase{u"end\\", u"end\\"}, UnescapeCase{u"plain", u"plain"}));

TEST(FFprobeFilter, KeepsSectionHeadersAndKeyLinesOnly) {
    rtl::TStringList Lines;
    for (const char16_t* L :
         {u"Input #0, matroska,webm, from 'a b.webm':", u"  Metadata:", u"    title           : x=y", u"",
          u"[format]", u"filename=a b.webm", u"[matroska,webm @ 0x55d0] Unknown entry", u"# ffprobe output",
          u"input #1 = lower case", u"[format.tags]", u"title=x\\=y", u"no equals sign", u"=empty key"})
        Lines.Add(Q(L));
    engine::FilterFFprobeIniOutput(&Lines);
    EXPECT_EQ(Lines.Text(),
              Q(u"[format]\r\nfilename=a b.webm\r\n[format.tags]\r\ntitle=x\\=y\r\n=empty key\r\n"));
}

// ---- the INI reading and the report text ------------------------------------------------------------------

TEST(FFprobeParts, FormatKeepsKeyOrderAndFirstValuesOfRepeatedKeys) {
    engine::TFFFormat Format;
    Format.FFormatTags.emplace_back(Q(u"old"), Q(u"entry"));
    Format.ParseIniString(Q(u"ignored=before any section\r\n[FORMAT]\r\n; a comment\r\nfilename=a.webm\r\n"
                            u"  nb_streams = 2 \r\nTitle=first\r\n=no name\r\ntitle=second\r\nbare key\r\n"
                            u"[format.tags]\r\nartist=Zo\u00eb\r\n[streams.stream.0]\r\nindex=0\r\n"));
    const TFFKeyValueList Info = {{Q(u"filename"), Q(u"a.webm")},
                                  {Q(u"nb_streams"), Q(u"2")},
                                  {Q(u"Title"), Q(u"first")},
                                  {Q(u"title"), Q(u"first")},
                                  {Q(u"bare key"), Q(u"")}};
    EXPECT_EQ(Format.FFormatInfo, Info);
    EXPECT_EQ(Format.FFormatTags, (TFFKeyValueList{{Q(u"artist"), Q(u"Zo\u00eb")}}));
}

TEST(FFprobeParts, StreamsAreReadUpToTheFirstMissingNumber) {
    engine::TFFStreams Streams;
    Streams.ParseIniString(
        Q(u"[streams.stream.0]\nindex=0\ncodec_type=Audio\n[streams.stream.0.disposition]\ndefault=1\n"
          u"[streams.stream.0.tags]\nlanguage=eng\n[streams.stream.1]\nCODEC_TYPE=video\n"
          u"[streams.stream.2]\ncodec_type=data\n[streams.stream.4]\ncodec_type=subtitle\n"));
    ASSERT_EQ(Streams.FItems.size(), 3u);
    EXPECT_EQ(Streams.FItems[0]->FStreamType, engine::ffstAudio);
    EXPECT_EQ(Streams.FItems[0]->FStreamDisposition, (TFFKeyValueList{{Q(u"default"), Q(u"1")}}));
    EXPECT_EQ(Streams.FItems[0]->FStreamTags, (TFFKeyValueList{{Q(u"language"), Q(u"eng")}}));
    EXPECT_EQ(Streams.FItems[1]->FStreamType, engine::ffstVideo);
    EXPECT_EQ(Streams.FItems[2]->FStreamType, engine::ffstUnknown);
    EXPECT_TRUE(Streams.FItems[1]->FStreamTags.empty());
}

TEST(FFprobeParts, ReadsAtMost201NumberedSections) {
    QString Text;
    for (int i = 0; i < 250; ++i) Text += QStringLiteral("[chapters.chapter.%1]\nid=%1\n").arg(i);
    engine::TFFChapters Chapters;
    Chapters.ParseIniString(Text);
    ASSERT_EQ(Chapters.FItems.size(), 201u);
    EXPECT_EQ(Chapters.FItems[200]->FChapterInfo, (TFFKeyValueList{{Q(u"id"), Q(u"200")}}));
}

// A stand-in of the probing tool: a shell script that prints a prepared text for each kind of run.
class ScriptedProbe : public ::testing::Test {
protected:
    QString Tool(const QString& Format, const QString& Streams, const QString& Chapters) {
        Dir.Write(QStringLiteral("format.txt"), Format.toUtf8());
        Dir.Write(QStringLiteral("streams.txt"), Streams.toUtf8());
        Dir.Write(QStringLiteral("chapters.txt"), Chapters.toUtf8());
        const QString D = Dir.QPath();
        const QString Path = Dir.Write(
            QStringLiteral("fake probe"),
            QStringLiteral("#!/bin/sh\necho \"$*\" >> '%1/args.txt'\ncase \"$*\" in\n*-show_format*) cat "
                           "'%1/format.txt';;\n"
                           "*-show_streams*) cat '%1/streams.txt';;\n*) cat '%1/chapters.txt';;\nesac\n")
                .arg(D)
                .toUtf8());
        QFile::setPermissions(Path, QFile::permissions(Path) | QFileDevice::ExeOwner);
        return Path;
    }
    QString Args() const {
        return QString::fromUtf8(testing_support::ReadFileBytes(Dir.QFile(QStringLiteral("args.txt"))));
    }
    QString Media() const { return Dir.Write(QStringLiteral("it's a \"clip\".webm"), "x"); }

    testing_support::TempDir Dir;
};

TEST_F(ScriptedProbe, ReportTextHasFormatStreamsAndChapters) {
    const QString Exe =
        Tool(QStringLiteral("Input #0, webm\n  Duration: 1\n[format]\nformat_name=matroska,webm\n"
                            "[format.tags]\ntitle=x\\=y\\nnext\n"),
             QStringLiteral("[streams.stream.0]\ncodec_type=audio\n[streams.stream.0.tags]\nlanguage=eng\n"),
             QStringLiteral("[chapters.chapter.0]\nid=1\n[chapters.chapter.0.tags]\ntitle=One\n"));
    engine::TFFProbe Probe;
    ASSERT_TRUE(Probe.ReadFile(Exe, Media()));
    EXPECT_EQ(
        Probe.AsText(QStringLiteral("  ")),
        Q(u"FORMAT\r\n"
          u"  FORMAT INFO\r\n    format_name=matroska,webm\r\n"
          u"  FORMAT TAGS\r\n    title=x=y\r\n    next=\r\n"
          u"\r\n"
          u"STREAMS (1) \r\n"
          u"  STREAM 1\r\n    STREAM INFO\r\n        codec_type=audio\r\n    STREAM TAGS\r\n        "
          u"language=eng\r\n"
          u"\r\n"
          u"\r\n"
          u"CHAPTERS (1) \r\n"
          u"  CHAPTER 1\r\n    CHAPTER INFO\r\n        id=1\r\n    CHAPTER TAGS\r\n        title=One\r\n"
          u"\r\n"));
    // Three runs, each with the file's name passed back exactly.
    const QString Name =
        QStringLiteral(" -print_format ini -i ") + Dir.QFile(QStringLiteral("it's a \"clip\".webm")) + u'\n';
    EXPECT_EQ(Args(), QStringLiteral("-pretty -hide_banner -show_format") + Name +
                          QStringLiteral("-pretty -hide_banner -show_streams") + Name +
                          QStringLiteral("-pretty -hide_banner -show_chapters") + Name);
}

TEST_F(ScriptedProbe, ReportWithoutStreamsOrChapters) {
    const QString Exe = Tool(QString(), QString(), QString());
    engine::TFFProbe Probe;
    Probe.SetReadChapters(false);
    ASSERT_TRUE(Probe.ReadFile(Exe, Media()));
    EXPECT_EQ(Probe.AsText(QStringLiteral("\t")), Q(u"FORMAT\r\n\r\nSTREAMS (0) \r\n"));
    EXPECT_EQ(Args().count(u'\n'), 2);
}

TEST_F(ScriptedProbe, MissingFileOrToolGivesFalseAndAnEmptyReport) {
    engine::TFFProbe Probe;
    EXPECT_FALSE(Probe.ReadFile(Dir.QFile(QStringLiteral("no-probe")), Media()));
    EXPECT_EQ(Probe.FileName(), Media());
    EXPECT_FALSE(Probe.ReadFile(Tool({}, {}, {}), Dir.QFile(QStringLiteral("missing.webm"))));
    EXPECT_TRUE(Probe.Format().FFormatInfo.empty());
}

TEST_F(ScriptedProbe, ChaptersStopAtTheFirstWithoutATime) {
    const QString Exe =
        Tool({}, {},
             QStringLiteral("ffprobe version 5.1\n  configuration: --a=b\n"
                            "[chapters.chapter.0]\nid=1\nstart_time=0.000000\nend_time=90.500000\n"
                            "[chapters.chapter.0.tags]\ncomment=no title\n"
                            "[chapters.chapter.1]\nid=2\nstart_time=90,500000\nend_time=120.000000\n"
                            "[chapters.chapter.1.tags]\ntitle=Second \\= part\n"
                            "[chapters.chapter.2]\nid=3\nstart_time=120.000000\nend_time=121\n"
                            "[chapters.chapter.3]\nid=4\nstart_time=121\n"
                            "[chapters.chapter.4]\nid=5\nstart_time=130\nend_time=140\n"));
    engine::TVideoFileInfo Info;
    engine::GetMediaChapters(Media(), Exe, Info);
    EXPECT_EQ(Info.ChapterCount, 3);
    const auto& C = Info.Chapters;
    EXPECT_EQ(C[0].IDStr, Q(u"1"));
    EXPECT_EQ(C[0].StartTimeStr, Q(u"0.000000"));
    EXPECT_EQ(C[0].StartTimeMs, 0);
    EXPECT_EQ(C[0].EndTimeMs, 90500);
    EXPECT_EQ(C[0].DurationMs, 90500);
    EXPECT_EQ(C[0].Title, Q(u"Chapter 1"));
    EXPECT_EQ(C[1].StartTimeMs, 90500);
    EXPECT_EQ(C[1].Title, Q(u"Second = part"));
    EXPECT_TRUE(C[2].Exists);
    EXPECT_TRUE(C[2].Title.isEmpty()); // no tags section
    EXPECT_FALSE(C[3].Exists);
    EXPECT_EQ(C[3].EndTimeMs, -1);
    EXPECT_EQ(C[4].StartTimeMs, -1); // after the stop: untouched
    EXPECT_EQ(Args(), QStringLiteral("-show_chapters -print_format ini -i ") + Media() + u'\n');
}

TEST_F(ScriptedProbe, ChaptersAreAddedToTheCount) {
    const QString Exe = Tool({}, {}, QStringLiteral("[chapters.chapter.0]\nstart_time=1\nend_time=2\n"));
    engine::TVideoFileInfo Info;
    Info.ChapterCount = 5;
    engine::GetMediaChapters(Media(), Exe, Info);
    EXPECT_EQ(Info.ChapterCount, 6);
    engine::GetMediaChapters(Dir.QFile(QStringLiteral("missing.webm")), Exe, Info);
    EXPECT_EQ(Info.ChapterCount, 6);
}

// ---- against Debian's ffprobe
// -------------------------------------------------------------------------------

class RealProbe : public ::testing::Test {
protected:
    void SetUp() override {
        TW_REQUIRE_FIXTURES();
        TW_REQUIRE_TOOL("ffprobe");
        Ffprobe = testing_support::FindTool(QStringLiteral("ffprobe"));
    }
    QString Ffprobe;
};

std::map<QString, QString> AsMap(const TFFKeyValueList& Pairs) {
    std::map<QString, QString> M;
    for (const auto& [K, V] : Pairs) M.emplace(K, V);
    return M;
}

// The report reads every line trimmed, so a value's trailing blanks ("M4A ") do not survive it.
std::map<QString, QString> AsMap(const QJsonObject& Object) {
    std::map<QString, QString> M;
    for (auto It = Object.begin(); It != Object.end(); ++It)
        M.emplace(It.key(), It.value().toString().trimmed());
    return M;
}

TEST_F(RealProbe, ReportMatchesTheJsonReport) {
    // Container and stream tags of both tag styles, two languages, and chapters.
    const auto Ids = {testing_support::EFixture::Tagged, testing_support::EFixture::TaggedMp4,
                      testing_support::EFixture::TwoAudioStreams, testing_support::EFixture::Chapters};
    QStringList Files;
    for (const auto Id : Ids) Files << testing_support::Fixture(Id);
    analysis_tests::AskPeersAhead(Files);
    for (const auto Id : Ids) {
        const QString File = testing_support::Fixture(Id);
        const QJsonObject& Json = analysis_tests::PeerReports(File).Probe;
        engine::TFFProbe Probe;
        ASSERT_TRUE(Probe.ReadFile(Ffprobe, File));
        SCOPED_TRACE(File.toStdString());
        const auto Info = AsMap(Probe.Format().FFormatInfo);
        EXPECT_EQ(Info.at(QStringLiteral("format_name")),
                  Json[QStringLiteral("format")][QStringLiteral("format_name")].toString());
        EXPECT_EQ(Info.at(QStringLiteral("filename")), File);
        EXPECT_EQ(AsMap(Probe.Format().FFormatTags),
                  AsMap(Json[QStringLiteral("format")][QStringLiteral("tags")].toObject()));

        const QJsonArray Streams = Json[QStringLiteral("streams")].toArray();
        ASSERT_EQ(Probe.Streams().FItems.size(), size_t(Streams.size()));
        for (qsizetype i = 0; i < Streams.size(); ++i) {
            const auto& S = *Probe.Streams().FItems[size_t(i)];
            const QJsonObject J = Streams[i].toObject();
            EXPECT_EQ(AsMap(S.FStreamInfo).at(QStringLiteral("codec_name")),
                      J[QStringLiteral("codec_name")].toString());
            EXPECT_EQ(S.FStreamType, J[QStringLiteral("codec_type")].toString() == QStringLiteral("audio")
                                         ? engine::ffstAudio
                                         : engine::ffstVideo);
            EXPECT_EQ(AsMap(S.FStreamTags), AsMap(J[QStringLiteral("tags")].toObject()));
            EXPECT_EQ(AsMap(S.FStreamDisposition).at(QStringLiteral("default")),
                      QString::number(J[QStringLiteral("disposition")][QStringLiteral("default")].toInt()));
        }
        const QJsonArray Chapters = Json[QStringLiteral("chapters")].toArray();
        ASSERT_EQ(Probe.Chapters().FItems.size(), size_t(Chapters.size()));
        for (qsizetype i = 0; i < Chapters.size(); ++i)
            EXPECT_EQ(AsMap(Probe.Chapters().FItems[size_t(i)]->FChapterTags),
                      AsMap(Chapters[i].toObject()[QStringLiteral("tags")].toObject()));
    }
}

TEST_F(RealProbe, TagValuesComeBackUnescaped) {
    testing_support::TempDir Dir;
    const QString Title = QStringLiteral("a=b;c#d\\new:e\\\\f 'g' \"h\" ?");
    const QString File = Dir.QFile(QStringLiteral("escapes [1].mka"));
    const auto Made = testing_support::RunProgram(
        testing_support::FfmpegPath(),
        {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-f"), QStringLiteral("lavfi"),
         QStringLiteral("-i"), QStringLiteral("sine=duration=0.2"), QStringLiteral("-c:a"),
         QStringLiteral("libvorbis"), QStringLiteral("-metadata"), QStringLiteral("title=") + Title,
         QStringLiteral("-metadata"), QStringLiteral("comment=one\ttwo"), File});
    ASSERT_TRUE(Made.Ok()) << Made.Describe();
    engine::TFFProbe Probe;
    Probe.SetReadStreamsInfo(false);
    ASSERT_TRUE(Probe.ReadFile(Ffprobe, File));
    const auto Tags = AsMap(Probe.Format().FFormatTags);
    EXPECT_EQ(Tags.at(QStringLiteral("title")), Title);
    EXPECT_EQ(Tags.at(QStringLiteral("COMMENT")), QStringLiteral("one\ttwo")); // Matroska keys are upper case
    EXPECT_EQ(AsMap(Probe.Format().FFormatInfo).at(QStringLiteral("filename")), File);
}

TEST_F(RealProbe, ChaptersMatchTheJsonReport) {
    const QString File = testing_support::Fixture(testing_support::EFixture::Chapters);
    const QJsonArray Json = analysis_tests::PeerReports(File).Probe[QStringLiteral("chapters")].toArray();
    const auto& Expected = testing_support::FixtureInfo(testing_support::EFixture::Chapters).Chapters;
    engine::TVideoFileInfo Info;
    engine::GetMediaChapters(File, Ffprobe, Info);
    ASSERT_EQ(Info.ChapterCount, Json.size());
    ASSERT_EQ(size_t(Info.ChapterCount), Expected.size());
    for (int i = 0; i < Info.ChapterCount; ++i) {
        const auto& C = Info.Chapters[size_t(i)];
        const QJsonObject J = Json[i].toObject();
        EXPECT_TRUE(C.Exists);
        EXPECT_EQ(C.Title, Expected[size_t(i)].Title);
        EXPECT_EQ(C.Title, J[QStringLiteral("tags")][QStringLiteral("title")].toString());
        EXPECT_EQ(C.StartTimeStr, J[QStringLiteral("start_time")].toString());
        EXPECT_EQ(C.EndTimeStr, J[QStringLiteral("end_time")].toString());
        EXPECT_EQ(C.IDStr, QString::number(J[QStringLiteral("id")].toInteger()));
        EXPECT_EQ(C.StartTimeMs, Expected[size_t(i)].StartMs);
        EXPECT_EQ(C.EndTimeMs, Expected[size_t(i)].EndMs);
        EXPECT_EQ(C.DurationMs, C.EndTimeMs - C.StartTimeMs);
    }
    EXPECT_FALSE(Info.Chapters[size_t(Info.ChapterCount)].Exists);
}

} // namespace
