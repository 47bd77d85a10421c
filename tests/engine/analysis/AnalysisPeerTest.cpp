// The full analysis of real files, compared with what ffprobe's JSON report and `mediainfo --Full` say
// about the same files; and the analysis without the library, from the encoder's report alone.
#include <gtest/gtest.h>

#include "tests/support/QtPrint.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonObject>

#include <cmath>
#include <map>
#include <memory>
#include <vector>

#include "app/engine/Analysis.h"
#include "app/engine/MediaInfoDll.h"
#include "app/engine/Procs.h"
#include "tests/engine/analysis/PeerReports.h"
#include "tests/support/MediaFixtures.h"
#include "tests/support/Peers.h"
#include "tests/support/TempDir.h"

namespace {

using engine::TVideoFileInfo;
using testing_support::EFixture;

// `mediainfo --Full`: sections ("General", "Video", "Audio #2", ...) of keys, each key's first value
// being the raw one.
struct TMediainfoSection {
    QString Kind; // "General", "Video", "Audio", "Menu", ...
    std::map<QString, QString> First;
    std::multimap<QString, QString> All;
    QString Get(const char* Key) const {
        const auto It = First.find(QString::fromLatin1(Key));
        return It == First.end() ? QString() : It->second;
    }
};

std::vector<TMediainfoSection> ParseMediainfo(const QString& Text) {
    std::vector<TMediainfoSection> Sections;
    for (const QString& Line : Text.split(u'\n')) {
        const QString T = Line.trimmed();
        if (T.isEmpty()) continue;
        const qsizetype Colon = T.indexOf(QStringLiteral(" : "));
        if (Colon < 0) {
            Sections.push_back({T.section(u' ', 0, 0), {}, {}});
        } else if (!Sections.empty()) {
            const QString Key = T.left(Colon).trimmed(), Value = T.mid(Colon + 3).trimmed();
            Sections.back().First.emplace(Key, Value);
            Sections.back().All.emplace(Key, Value);
        }
    }
    return Sections;
}

std::vector<const TMediainfoSection*> OfKind(const std::vector<TMediainfoSection>& Sections,
                                             const char* Kind) {
    std::vector<const TMediainfoSection*> Out;
    for (const auto& S : Sections)
        if (S.Kind == QString::fromLatin1(Kind)) Out.push_back(&S);
    return Out;
}

std::vector<QJsonObject> JsonStreams(const QJsonObject& Json, const char* Type) {
    std::vector<QJsonObject> Out;
    for (const auto& S : Json[QStringLiteral("streams")].toArray())
        if (S.toObject()[QStringLiteral("codec_type")].toString() == QString::fromLatin1(Type))
            Out.push_back(S.toObject());
    return Out;
}

double Rational(const QString& Text) {
    const auto Parts = Text.split(u'/');
    return Parts.size() == 2 && Parts[1].toDouble() != 0 ? Parts[0].toDouble() / Parts[1].toDouble() : 0;
}

int RunFfmpeg(const QStringList& Args) {
    const auto R = testing_support::RunProgram(
        testing_support::FfmpegPath(),
        QStringList{QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-y")} + Args);
    EXPECT_TRUE(R.Ok()) << R.Describe();
    return R.ExitCode;
}

// Files the shared fixtures lack, made once for this suite.
struct TExtraFixtures {
    testing_support::TempDir Dir;
    QString TwelveStreams; // French AAC first, then 11 MPEG-4 video streams of widths 32, 34, ... 52
    QString Empty;         // 0 bytes
    QString Text;          // a text file named .webm
};

class RealAnalysis : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (testing_support::FfmpegPath().isEmpty()) return;
        Extra = std::make_unique<TExtraFixtures>();
        Extra->TwelveStreams = Extra->Dir.QFile(QStringLiteral("twelve streams.mkv"));
        QStringList Args{QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                         QStringLiteral("sine=frequency=440:sample_rate=8000:duration=0.4")};
        QStringList Maps{QStringLiteral("-map"), QStringLiteral("0:a")};
        for (int i = 0; i < 11; ++i) {
            Args << QStringLiteral("-f") << QStringLiteral("lavfi") << QStringLiteral("-i")
                 << QStringLiteral("testsrc=size=%1x32:rate=5:duration=0.4").arg(32 + 2 * i);
            Maps << QStringLiteral("-map") << QStringLiteral("%1:v").arg(i + 1);
        }
        RunFfmpeg(Args + Maps +
                  QStringList{QStringLiteral("-c:v"), QStringLiteral("mpeg4"), QStringLiteral("-c:a"),
                              QStringLiteral("aac"), QStringLiteral("-metadata:s:a:0"),
                              QStringLiteral("language=fre"), Extra->TwelveStreams});
        Extra->Empty = Extra->Dir.Write(QStringLiteral("empty.webm"), QByteArray());
        Extra->Text = Extra->Dir.Write(QStringLiteral("notes.webm"), "hello, this is only text\nline two\n");
    }
    static void TearDownTestSuite() { Extra.reset(); }

    void SetUp() override {
        TW_REQUIRE_FIXTURES();
        TW_REQUIRE_TOOL("ffprobe");
        TW_REQUIRE_TOOL("mediainfo");
        engine::TAppParams Params;
        engine::InitAppParams(Params);
        Ffmpeg = engine::GetFFmpegExe(Params);
        Library = engine::GetMediaInfoDll(Params);
        if (Ffmpeg.isEmpty() || Library.isEmpty())
            GTEST_SKIP() << "ffmpeg or libmediainfo.so.0 cannot be located";
        engine::UnloadMediaInfoLib(); // another suite may have bound a fake
        Saved = engine::AppParams.MediaInfoDll;
        engine::AppParams.MediaInfoDll = Library;
    }
    void TearDown() override { engine::AppParams.MediaInfoDll = Saved; }

    // Every value of the record that both peers report, for one file.
    void CompareWithPeers(const QString& File, const TVideoFileInfo& Info) {
        SCOPED_TRACE(File.toStdString());
        const auto& Peers = analysis_tests::PeerReports(File);
        const QJsonObject& Json = Peers.Probe;
        const auto Mi = ParseMediainfo(Peers.Mediainfo);
        ASSERT_FALSE(Mi.empty());
        const TMediainfoSection& General = Mi.front();

        const QJsonObject Format = Json[QStringLiteral("format")].toObject();
        EXPECT_NEAR(Info.Duration, Format[QStringLiteral("duration")].toString().toDouble() * 1000, 10);
        const double Start = Format[QStringLiteral("start_time")].toString().toDouble();
        EXPECT_EQ(Info.Start, uint32_t(std::max(0.0, std::nearbyint(Start))));
        EXPECT_NEAR(double(Info.Seconds), Info.Duration / 1000 - Start, 0.51);
        EXPECT_EQ(Info.Format, General.Get("Format"));
        EXPECT_EQ(Info.OverallBitrate, General.Get("Overall bit rate").toInt() / 1000);
        EXPECT_EQ(Info.NumberOfDataStreams, Mi.size() - 1);
        EXPECT_EQ(Info.MenuExists, !OfKind(Mi, "Menu").empty());
        EXPECT_TRUE(Info.MediaInfoFull.startsWith(QStringLiteral("General")));

        const auto JV = JsonStreams(Json, "video"), JA = JsonStreams(Json, "audio");
        const auto MV = OfKind(Mi, "Video"), MA = OfKind(Mi, "Audio");
        ASSERT_EQ(Info.NumberOfVideoStreams, JV.size());
        ASSERT_EQ(Info.NumberOfAudioStreams, JA.size());
        ASSERT_EQ(MV.size(), JV.size());
        ASSERT_EQ(MA.size(), JA.size());

        for (size_t i = 0; i < std::min<size_t>(JV.size(), engine::MaxVideoStreams); ++i) {
            const auto& V = Info.VideoStreams[i];
            SCOPED_TRACE("video " + std::to_string(i));
            EXPECT_TRUE(V.Exists);
            EXPECT_EQ(V.StreamIndex, JV[i][QStringLiteral("index")].toInt());
            EXPECT_EQ(V.Width, JV[i][QStringLiteral("width")].toInt());
            EXPECT_EQ(V.Height, JV[i][QStringLiteral("height")].toInt());
            EXPECT_NEAR(V.FPS, Rational(JV[i][QStringLiteral("r_frame_rate")].toString()), 0.01);
            EXPECT_TRUE(V.PixelFormat.startsWith(JV[i][QStringLiteral("pix_fmt")].toString()))
                << V.PixelFormat.toStdString();
            QString Codec = MV[i]->Get("Format");
            if (!MV[i]->Get("Format version").isEmpty())
                Codec += QStringLiteral(" - ") + MV[i]->Get("Format version");
            EXPECT_EQ(V.Codec, Codec);
            if (!MV[i]->Get("Bit rate").isEmpty()) {
                EXPECT_EQ(V.Bitrate, MV[i]->Get("Bit rate").toInt() / 1000);
            }
            if (!MV[i]->Get("Stream size").isEmpty()) {
                EXPECT_EQ(V.StreamSize, MV[i]->Get("Stream size").toLongLong());
            }
        }
        for (size_t i = 0; i < std::min<size_t>(JA.size(), engine::MaxAudioStreams); ++i) {
            const auto& A = Info.AudioStreams[i];
            SCOPED_TRACE("audio " + std::to_string(i));
            EXPECT_TRUE(A.Exists);
            EXPECT_EQ(A.StreamIndex, JA[i][QStringLiteral("index")].toInt());
            EXPECT_EQ(A.CodecFF, JA[i][QStringLiteral("codec_name")].toString());
            EXPECT_EQ(A.SamplingRate, JA[i][QStringLiteral("sample_rate")].toString().toInt());
            EXPECT_EQ(A.Channels, JA[i][QStringLiteral("channels")].toInt());
            EXPECT_TRUE(A.Codec.startsWith(MA[i]->Get("Format"))) << A.Codec.toStdString();
            const QString Rate = MA[i]->Get("Bit rate");
            if (!Rate.isEmpty()) {
                int Expected = Rate.toInt() / 1000;
                if (MA[i]->Get("Bit rate mode") == QStringLiteral("CBR") && Expected % 2) ++Expected;
                if (Mi.size() == 2 && Expected <= Info.OverallBitrate)
                    Expected = Info.OverallBitrate; // audio only
                EXPECT_EQ(A.Bitrate, Expected);
            }
            const QString Language = JA[i][QStringLiteral("tags")][QStringLiteral("language")].toString();
            if (!Language.isEmpty() && Language != QStringLiteral("und")) {
                EXPECT_FALSE(A.Language.isEmpty());
                bool Listed = false; // the library's language name is one of the forms --Full lists
                const auto Range = MA[i]->All.equal_range(QStringLiteral("Language"));
                for (auto It = Range.first; It != Range.second; ++It)
                    Listed = Listed || It->second == A.Language;
                EXPECT_TRUE(Listed) << A.Language.toStdString();
            }
        }
    }

    static inline std::unique_ptr<TExtraFixtures> Extra;
    QString Ffmpeg, Library, Saved;
};

QStringList AllFixtureFiles() {
    QStringList Files;
    for (const auto& F : testing_support::AllMediaFixtures()) Files << testing_support::Fixture(F.Id);
    return Files;
}

TEST_F(RealAnalysis, EveryFixtureMatchesBothPeers) {
    analysis_tests::AskPeersAhead(AllFixtureFiles() << (Extra ? Extra->TwelveStreams : QString()));
    for (const auto& F : testing_support::AllMediaFixtures()) {
        const QString File = testing_support::Fixture(F.Id);
        const TVideoFileInfo Info = engine::GetVideoFileInfo(File, Ffmpeg);
        EXPECT_EQ(Info.FileName, File);
        EXPECT_EQ(Info.FileSize, QFile(File).size());
        CompareWithPeers(File, Info);
    }
}

TEST_F(RealAnalysis, LanguagesAndMenuOfTheFixturesThatHaveThem) {
    TVideoFileInfo Info =
        engine::GetVideoFileInfo(testing_support::Fixture(EFixture::TwoAudioStreams), Ffmpeg);
    EXPECT_EQ(Info.AudioStreams[0].Language, QStringLiteral("English"));
    EXPECT_EQ(Info.AudioStreams[1].Language, QStringLiteral("German"));
    EXPECT_EQ(Info.AudioStreams[1].Channels, 1);
    Info = engine::GetVideoFileInfo(testing_support::Fixture(EFixture::Chapters), Ffmpeg);
    EXPECT_TRUE(Info.MenuExists);
    Info = engine::GetVideoFileInfo(testing_support::Fixture(EFixture::VideoOnly), Ffmpeg);
    EXPECT_EQ(Info.NumberOfAudioStreams, 0);
    EXPECT_EQ(Info.NumberOfDataStreams, 1);
}

TEST_F(RealAnalysis, TwelveStreamsFillTenVideoSlotsAndReadTwoDigitIndexes) {
    ASSERT_TRUE(Extra && QFile::exists(Extra->TwelveStreams));
    const TVideoFileInfo Info = engine::GetVideoFileInfo(Extra->TwelveStreams, Ffmpeg);
    CompareWithPeers(Extra->TwelveStreams, Info);
    EXPECT_EQ(Info.NumberOfVideoStreams, 11);
    EXPECT_EQ(Info.NumberOfDataStreams, 12);
    EXPECT_EQ(Info.VideoStreams[9].StreamIndex, 10);
    EXPECT_EQ(Info.VideoStreams[9].Width, 50);
    EXPECT_EQ(Info.AudioStreams[0].Language, QStringLiteral("French"));
    EXPECT_TRUE(Info.StreamsStr[11].Str1.startsWith(QStringLiteral("Stream #0:11")));
    EXPECT_FALSE(Info.StreamsStr[12].StreamExists);
}

TEST_F(RealAnalysis, NameOutsideAsciiReachesTheLibrary) {
    testing_support::TempDir Dir;
    const QString File = testing_support::CopyFixture(
        EFixture::Mp4H264Aac, Dir.QPath(), QStringLiteral("Zo\u00eb \u2013 \U0001F3B5 \"clip\" 1.mp4"));
    const TVideoFileInfo Info = engine::GetVideoFileInfo(File, Ffmpeg);
    EXPECT_EQ(Info.FileName, File);
    EXPECT_EQ(Info.Format, QStringLiteral("MPEG-4"));
    EXPECT_EQ(Info.VideoStreams[0].Width, 160); // the encoder's report of the same file
    EXPECT_TRUE(Info.MediaInfoFull.contains(QStringLiteral("Zo\u00eb \u2013 \U0001F3B5")))
        << Info.MediaInfoFull.toStdString();
}

TEST_F(RealAnalysis, EmptyAndNonMediaFilesGiveAnEmptyAnalysis) {
    ASSERT_TRUE(Extra);
    for (const QString& File : {Extra->Empty, Extra->Text}) {
        SCOPED_TRACE(File.toStdString());
        // Both peers agree there is nothing to play.
        const auto Probe =
            testing_support::RunProgram(testing_support::FindTool(QStringLiteral("ffprobe")),
                                        {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-of"),
                                         QStringLiteral("json"), QStringLiteral("-show_streams"), File});
        EXPECT_NE(Probe.ExitCode, 0);
        const auto Mi = ParseMediainfo(QString::fromUtf8(
            testing_support::RunProgram(QStringLiteral("mediainfo"), {QStringLiteral("--Full"), File}).Out));
        ASSERT_EQ(Mi.size(), 1u);
        EXPECT_TRUE(Mi[0].Get("Format").isEmpty());

        const TVideoFileInfo Info = engine::GetVideoFileInfo(File, Ffmpeg);
        EXPECT_EQ(Info.FileSize, QFile(File).size());
        EXPECT_DOUBLE_EQ(Info.Duration, 0);
        EXPECT_EQ(Info.Seconds, 0u);
        EXPECT_TRUE(Info.Format.isEmpty());
        EXPECT_EQ(Info.NumberOfVideoStreams + Info.NumberOfAudioStreams + Info.NumberOfDataStreams, 0);
        EXPECT_FALSE(Info.StreamsStr[0].StreamExists);
    }
    // Only the file with content reaches the library.
    EXPECT_TRUE(engine::GetVideoFileInfo(Extra->Empty, Ffmpeg).MediaInfoFull.isEmpty());
    EXPECT_TRUE(
        engine::GetVideoFileInfo(Extra->Text, Ffmpeg).MediaInfoFull.startsWith(QStringLiteral("General")));
}

TEST_F(RealAnalysis, WithoutTheLibraryTheEncoderReportStillDescribesTheStreams) {
    engine::UnloadMediaInfoLib();
    engine::AppParams.MediaInfoDll = QStringLiteral("/nonexistent/libmediainfo.so.0");
    // The report's kinds: a WebM (pixel format with commas, aspect ratio apart), an MP4 (stream ids and
    // rates), FLV (audio first), 3GP (mono), and audio alone.
    for (const EFixture Id : {EFixture::WebmVp9Opus, EFixture::Mp4H264Aac, EFixture::Flv, EFixture::ThreeGp,
                              EFixture::AudioMp3}) {
        const QString File = testing_support::Fixture(Id);
        SCOPED_TRACE(File.toStdString());
        const QJsonObject& Json = analysis_tests::PeerReports(File).Probe;
        const TVideoFileInfo Info = engine::GetVideoFileInfo(File, Ffmpeg);
        EXPECT_TRUE(Info.MediaInfoFull.isEmpty());
        EXPECT_TRUE(Info.Format.isEmpty());
        EXPECT_EQ(Info.NumberOfDataStreams, 0);
        EXPECT_NEAR(Info.Duration,
                    Json[QStringLiteral("format")][QStringLiteral("duration")].toString().toDouble() * 1000,
                    10);

        const auto JV = JsonStreams(Json, "video"), JA = JsonStreams(Json, "audio");
        ASSERT_EQ(Info.NumberOfVideoStreams, JV.size());
        ASSERT_EQ(Info.NumberOfAudioStreams, JA.size());
        for (size_t i = 0; i < JV.size(); ++i) {
            const auto& V = Info.VideoStreams[i];
            EXPECT_EQ(V.Width, JV[i][QStringLiteral("width")].toInt());
            EXPECT_EQ(V.Height, JV[i][QStringLiteral("height")].toInt());
            EXPECT_NEAR(V.FPS, Rational(JV[i][QStringLiteral("r_frame_rate")].toString()), 0.01);
            EXPECT_TRUE(V.Codec.startsWith(JV[i][QStringLiteral("codec_name")].toString()))
                << V.Codec.toStdString();
            const QString Rate = JV[i][QStringLiteral("bit_rate")].toString();
            if (!Rate.isEmpty()) {
                EXPECT_EQ(V.Bitrate, Rate.toInt() / 1000); // the stream's own rate
            }
            EXPECT_GT(V.Frames, 0u);
        }
        for (size_t i = 0; i < JA.size(); ++i) {
            const auto& A = Info.AudioStreams[i];
            EXPECT_EQ(A.CodecFF, JA[i][QStringLiteral("codec_name")].toString());
            EXPECT_EQ(A.Channels, JA[i][QStringLiteral("channels")].toInt());
            EXPECT_EQ(A.SamplingRate, 0); // only the library reports it
        }
    }
}

} // namespace
