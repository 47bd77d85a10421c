// The generated command lines run through the real encoder (by the console runner, as a conversion does),
// and each output checked with ffprobe and by decoding it: codec, bit rate or quality mode, sampling rate,
// channels, length of the requested range, and the chosen stream.
#include <gtest/gtest.h>

#include "tests/support/QtPrint.h"

#include <QJsonArray>
#include <QJsonObject>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cmath>
#include <functional>
#include <map>
#include <thread>

#include "app/engine/Analysis.h"
#include "app/engine/ConRun.h"
#include "app/engine/EncoderParams.h"
#include "tests/support/MediaFixtures.h"
#include "tests/support/Peers.h"
#include "tests/support/TempDir.h"
#include "win/kernel32/winbase.h"

using namespace engine;
using testing_support::EFixture;

namespace {

// Starts a program without copying this (sanitized, large) process: fork is slow here, posix_spawn is
// not. Standard output and error go to files, read back when the program ended.
testing_support::TRunResult Spawn(const QString& Program, const QStringList& Args) {
    static std::atomic<int> counter{0};
    testing_support::TRunResult result;
    const QByteArray base = QFile::encodeName(QDir::tempPath()) + "/tw-params-" + QByteArray::number(getpid()) + '-' +
                            QByteArray::number(counter++);
    const QByteArray outName = base + ".out", errName = base + ".err";
    std::vector<QByteArray> storage{QFile::encodeName(Program)};
    for (const QString& a : Args) storage.push_back(a.toUtf8());
    std::vector<char*> argv;
    for (QByteArray& a : storage) argv.push_back(a.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outName.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, errName.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        result.Error = QString::fromLocal8Bit(strerror(rc));
        return result;
    }
    result.Started = true;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status)) result.ExitCode = WEXITSTATUS(status);
    QFile out(QFile::decodeName(outName)), err(QFile::decodeName(errName));
    if (out.open(QIODevice::ReadOnly)) result.Out = out.readAll();
    if (err.open(QIODevice::ReadOnly)) result.Err = err.readAll();
    out.remove();
    err.remove();
    return result;
}

struct TProbed {
    QString Codec;
    int SampleRate = 0;
    int Channels = 0;
    qint64 BitRate = 0;
    QByteArray Pcm;          // the first audio stream decoded to mono 16-bit at its own rate
    double DecodedMs = 0;
    int Peak = 0;
};

const QString& FfprobePath() {
    static const QString path = testing_support::FindTool(QStringLiteral("ffprobe"));
    return path;
}

TProbed Probe(const QString& File) {
    TProbed p;
    const auto probed = Spawn(FfprobePath(),
                              {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-of"), QStringLiteral("json"),
                               QStringLiteral("-show_streams"), File});
    EXPECT_TRUE(probed.Ok()) << probed.Describe();
    const QJsonDocument doc = QJsonDocument::fromJson(probed.Out);
    for (const QJsonValue& v : doc.object().value(QStringLiteral("streams")).toArray()) {
        const QJsonObject s = v.toObject();
        if (s.value(QStringLiteral("codec_type")).toString() != QStringLiteral("audio")) continue;
        p.Codec = s.value(QStringLiteral("codec_name")).toString();
        p.SampleRate = s.value(QStringLiteral("sample_rate")).toString().toInt();
        p.Channels = s.value(QStringLiteral("channels")).toInt();
        p.BitRate = s.value(QStringLiteral("bit_rate")).toString().toLongLong();
        break;
    }
    const auto decoded = Spawn(
        testing_support::FfmpegPath(), {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-i"), File, QStringLiteral("-map"),
                                        QStringLiteral("0:a:0"), QStringLiteral("-f"), QStringLiteral("s16le"), QStringLiteral("-ac"),
                                        QStringLiteral("1"), QStringLiteral("-")});
    EXPECT_TRUE(decoded.Ok()) << decoded.Describe();
    p.Pcm = decoded.Out;
    if (p.SampleRate > 0) p.DecodedMs = p.Pcm.size() / 2 * 1000.0 / p.SampleRate;
    const auto* samples = reinterpret_cast<const int16_t*>(p.Pcm.constData());
    for (qsizetype i = 0; i < p.Pcm.size() / 2; ++i) p.Peak = std::max(p.Peak, std::abs(int(samples[i])));
    return p;
}

const testing_support::TFixtureStream& SourceAudio(EFixture Id, int N) {
    int seen = 0;
    for (const auto& s : testing_support::FixtureInfo(Id).Streams)
        if (s.Type == QStringLiteral("audio") && ++seen == N) return s;
    throw std::runtime_error("fixture without that audio stream");
}

void SetTime(TEncoderPanel& P, bool Start, int S, int Ms) {
    (Start ? P.chTimeStart : P.chTimeEnd) = true;
    SetSpinEditInt(Start ? P.spedTimeStartS : P.spedTimeEndS, S);
    SetSpinEditInt(Start ? P.spedTimeStartMs : P.spedTimeEndMs, Ms);
}

struct PeerCase {
    const char* name;
    EFixture input;
    std::function<void(TEncoderPanel&)> set;
    const char* ext;          // GetExt(true)
    const char* codec;        // what ffprobe reports
    int rate = 0;             // 0: the source stream's
    int channels = 0;         // 0: the source stream's
    int cbrKbps = 0;          // constant bit rate expected
    const char* lameTag = ""; // "Info" (constant) or "Xing" (variable or average) in the first frame
    int durationMs = 0;       // the range converted; 0: the whole input
    int chapter = 0;          // n: convert the file's n-th chapter as a chapter row
    double volume = 0;        // the expected peak ratio to the source's
};

PeerCase Case(const char* Name, EFixture In, std::function<void(TEncoderPanel&)> Set, const char* Ext, const char* Codec) {
    PeerCase c;
    c.name = Name;
    c.input = In;
    c.set = std::move(Set);
    c.ext = Ext;
    c.codec = Codec;
    return c;
}
template <typename F>
PeerCase With(PeerCase C, F Change) {
    Change(C);
    return C;
}

auto Format(int Index) {
    return [Index](TEncoderPanel& p) { p.cbOutputFormat.SetItemIndex(Index); };
}

const PeerCase PeerCases[] = {
    With(Case("Mp3Cbr192FromOpus", EFixture::WebmVp9Opus, [](TEncoderPanel& p) { p.cbAudioBitrate.SetText(QStringLiteral("192")); },
              ".mp3", "mp3"),
         [](PeerCase& c) { c.cbrKbps = 192, c.lameTag = "Info"; }),
    With(Case("Mp3Abr128FromAac", EFixture::Mp4H264Aac,
              [](TEncoderPanel& p) {
                  p.cbBitrateMode.SetItemIndex(1);
                  p.cbAudioBitrate.SetText(QStringLiteral("128"));
              },
              ".mp3", "mp3"),
         [](PeerCase& c) { c.lameTag = "Xing"; }),
    With(Case("Mp3PresetV2FromVorbis", EFixture::WebmVp8Vorbis, [](TEncoderPanel& p) { p.cbBitrateMode.SetItemIndex(2); }, ".mp3",
              "mp3"),
         [](PeerCase& c) { c.lameTag = "Xing"; }),
    With(Case("Mp3PresetInsane", EFixture::AudioMp3,
              [](TEncoderPanel& p) {
                  p.cbBitrateMode.SetItemIndex(2);
                  p.cbPresets.SetItemIndex(0);
              },
              ".mp3", "mp3"),
         [](PeerCase& c) { c.cbrKbps = 320, c.lameTag = "Info"; }),
    // The automatic rate: the FLV's MP3 stream has 64 kb/s, a rate of the ladder, which CBR keeps.
    With(Case("Mp3AutoBitrateFromFlv", EFixture::Flv, [](TEncoderPanel&) {}, ".mp3", "mp3"), [](PeerCase& c) { c.cbrKbps = 64; }),
    With(Case("Mp3ResampledMonoWithLowpass", EFixture::WebmVp9Opus,
              [](TEncoderPanel& p) {
                  p.cbAudioSampling.SetText(QStringLiteral("22050"));
                  p.cbAudioChannels.SetItemIndex(1);
                  p.cbAudioStereoMode.SetItemIndex(2);
                  p.cbAudioAlgoQuality.SetItemIndex(3);
                  p.chAudioLowpass = true;
                  SetSpinEditInt(p.spedAudioLowpass, 8000);
                  p.cbAudioBitrate.SetText(QStringLiteral("64"));
              },
              ".mp3", "mp3"),
         [](PeerCase& c) { c.rate = 22050, c.channels = 1, c.cbrKbps = 64; }),
    With(Case("Mp3JointStereoAt32k", EFixture::AudioM4a,
              [](TEncoderPanel& p) {
                  p.cbAudioSampling.SetText(QStringLiteral("32000"));
                  p.cbAudioChannels.SetItemIndex(2);
                  p.cbAudioStereoMode.SetItemIndex(2);
                  p.cbAudioBitrate.SetText(QStringLiteral("96"));
              },
              ".mp3", "mp3"),
         [](PeerCase& c) { c.rate = 32000, c.channels = 2, c.cbrKbps = 96; }),
    With(Case("WavUpmixedAndResampled", EFixture::Mono,
              [](TEncoderPanel& p) {
                  p.cbOutputFormat.SetItemIndex(ofWAV);
                  p.cbAudioSampling.SetText(QStringLiteral("44100"));
                  p.cbAudioChannels.SetItemIndex(2);
              },
              ".wav", "pcm_s16le"),
         [](PeerCase& c) { c.rate = 44100, c.channels = 2; }),
    Case("WavAsTheSource", EFixture::ThreeGp, Format(ofWAV), ".wav", "pcm_s16le"),
    With(Case("WavAtHalfVolume", EFixture::AudioM4a,
              [](TEncoderPanel& p) {
                  p.cbOutputFormat.SetItemIndex(ofWAV);
                  p.tbAudioVolume.SetPosition(50);
              },
              ".wav", "pcm_s16le"),
         [](PeerCase& c) { c.volume = 0.5; }),
    With(Case("Mp3StartAndEnd", EFixture::WebmVp9Opus,
              [](TEncoderPanel& p) {
                  p.cbAudioBitrate.SetText(QStringLiteral("128"));
                  SetTime(p, true, 0, 500);
                  SetTime(p, false, 1, 500);
              },
              ".mp3", "mp3"),
         [](PeerCase& c) { c.durationMs = 1000; }),
    With(Case("WavEndOnly", EFixture::AudioMp3,
              [](TEncoderPanel& p) {
                  p.cbOutputFormat.SetItemIndex(ofWAV);
                  SetTime(p, false, 1, 200);
              },
              ".wav", "pcm_s16le"),
         [](PeerCase& c) { c.durationMs = 1200; }),
    With(Case("WavStartOnly", EFixture::WebmVp8Vorbis,
              [](TEncoderPanel& p) {
                  p.cbOutputFormat.SetItemIndex(ofWAV);
                  SetTime(p, true, 1, 250);
              },
              ".wav", "pcm_s16le"),
         [](PeerCase& c) { c.durationMs = 750; }),
    With(Case("Mp3SecondChapter", EFixture::Chapters, [](TEncoderPanel& p) { p.cbAudioBitrate.SetText(QStringLiteral("128")); },
              ".mp3", "mp3"),
         [](PeerCase& c) {
             c.chapter = 2;
             const auto& ch = testing_support::FixtureInfo(EFixture::Chapters).Chapters.at(1);
             c.durationMs = ch.EndMs - ch.StartMs;
         }),
    Case("Mp3OfTheFirstStream", EFixture::TwoAudioStreams, [](TEncoderPanel& p) { p.cbAudioTrackNo.SetItemIndex(1); }, ".mp3", "mp3"),
    Case("Mp3OfTheSecondStream", EFixture::TwoAudioStreams, [](TEncoderPanel& p) { p.cbAudioTrackNo.SetItemIndex(2); }, ".mp3",
         "mp3"),
    Case("ExtractVorbis", EFixture::WebmVp8Vorbis, Format(ofExtract), ".ogg", "vorbis"),
    Case("ExtractAac", EFixture::AudioM4a, Format(ofExtract), ".m4a", "aac"),
    Case("ExtractAacFromVideo", EFixture::Mp4H264Aac, Format(ofExtract), ".m4a", "aac"),
    Case("ExtractMp3", EFixture::Flv, Format(ofExtract), ".mp3", "mp3"),
    Case("ExtractAc3", EFixture::Mkv, Format(ofExtract), ".ac3", "ac3"),
    With(Case("ExtractOpusBecomesWav", EFixture::WebmVp9Opus, Format(ofExtract), ".WAV", "pcm_s16le"), [](PeerCase&) {}),
    Case("ExtractTheSecondStream", EFixture::TwoAudioStreams,
         [](TEncoderPanel& p) {
             p.cbOutputFormat.SetItemIndex(ofExtract);
             p.cbAudioTrackNo.SetItemIndex(2);
         },
         ".WAV", "pcm_s16le"),
};


// Runs the jobs a few at a time: every encoder start costs a quarter of a second, and the table is long.
void RunInParallel(std::vector<std::function<void()>>& Jobs) {
    std::atomic<size_t> next{0};
    std::vector<std::thread> workers;
    const unsigned count = std::clamp(std::thread::hardware_concurrency(), 2u, 8u);
    for (unsigned w = 0; w < count; ++w)
        workers.emplace_back([&] {
            for (size_t i = next++; i < Jobs.size(); i = next++) Jobs[i]();
        });
    for (std::thread& t : workers) t.join();
}

// The arguments of a command line as the kernel stand-in splits it for the child.
QStringList SplitArgs(const String& Exe, const String& Params) {
    QStringList args;
    const auto argv = TwCommandLineToArgv((QuoteFileName(Exe) + u' ' + Params).toStdU16String());
    for (size_t i = 1; i < argv.size(); ++i) args << QString::fromStdU16String(argv[i]);
    return args;
}

struct TCaseRun {
    String Ext;
    String CommandLine;
    String ParamsAudio;
    int SourceTrack = 1;
    String OutFile;
    testing_support::TRunResult Encoded;
    TProbed Out;
    TProbed In;                 // only where the case compares with its input
};

class EncoderRun : public ::testing::TestWithParam<PeerCase> {
protected:
    // The whole table at once: analyse the inputs, build every command line, run the encoder for
    // all of them, then probe every output.
    static void SetUpTestSuite() {
        if (testing_support::FfmpegPath().isEmpty() || !testing_support::MissingTool(QStringLiteral("ffprobe")).isEmpty()) return;
        Dir = std::make_unique<testing_support::TempDir>();
        const QString ffmpeg = testing_support::FfmpegPath();

        std::map<EFixture, TVideoFileInfo> analysed;
        for (const PeerCase& c : PeerCases) analysed[c.input];
        std::vector<std::function<void()>> jobs;
        for (auto& [id, info] : analysed) {
            const QString file = testing_support::Fixture(id);
            jobs.push_back([&, file, &info = info] {  // older clang cannot capture a structured binding
                // The encoder's report, read as the analysis reads it.
                const auto report = Spawn(ffmpeg, {QStringLiteral("-i"), file});
                rtl::TStringList lines;
                for (const QString& line : QString::fromUtf8(report.Err).split(u'\n')) lines.Add(line);
                info.SetFileName(file);
                info.FileSize = QFileInfo(file).size();
                ParseEncoderReport(&lines, info);
                ApplyAnalysisCorrections(info);
            });
        }
        RunInParallel(jobs);

        jobs.clear();
        for (const PeerCase& c : PeerCases) {
            TCaseRun& run = Runs[c.name];
            const TVideoFileInfo& info = analysed[c.input];
            TEncoderPanel panel;
            QStringList tracks;
            for (int i = 0; i < info.NumberOfAudioStreams; ++i) tracks << QString::number(i + 1);
            panel.SetAudioTrackItems(tracks);
            c.set(panel);
            TFileRowInfo row{testing_support::Fixture(c.input), false, -1, -1, {}, {}};
            if (c.chapter > 0) {
                const auto& chapter = testing_support::FixtureInfo(c.input).Chapters.at(c.chapter - 1);
                row = TFileRowInfo{row.FileName, true, chapter.StartMs, chapter.EndMs, chapter.Title, QString::number(c.chapter)};
            }
            run.Ext = GetExt(panel, info, true);
            TEncodingParams ep;
            ep.fIn = row.FileName;
            ep.fOut = run.OutFile = Dir->QFile(QString::fromLatin1(c.name) + QStringLiteral(" \"out\"") + run.Ext);
            TAppParams params;
            GetEncodingParams(panel, info, ep, false, &row, params);
            run.ParamsAudio = ep.ParamsAudio;
            run.CommandLine = RunParamsOnePass(panel, ep, run.Ext);
            run.SourceTrack = std::max(1, panel.cbAudioTrackNo.ItemIndex());
            const QStringList args = QStringList{QStringLiteral("-v"), QStringLiteral("error")} + SplitArgs(ep.ffmpeg, run.CommandLine);
            jobs.push_back([&run, ep, args] { run.Encoded = Spawn(ep.ffmpeg, args); });
        }
        RunInParallel(jobs);

        jobs.clear();
        std::map<EFixture, TProbed> inputs;
        for (const PeerCase& c : PeerCases) {
            TCaseRun& run = Runs[c.name];
            if (run.Encoded.Ok()) jobs.push_back([&run] { run.Out = Probe(run.OutFile); });
            if (c.volume > 0 || c.durationMs == 0) inputs[c.input];
        }
        for (auto& [id, probed] : inputs) {
            const QString in = testing_support::Fixture(id);
            jobs.push_back([&probed = probed, in] { probed = Probe(in); });
        }
        RunInParallel(jobs);
        for (const PeerCase& c : PeerCases)
            if (inputs.count(c.input)) Runs[c.name].In = inputs[c.input];
        RunInParallel(jobs);
    }
    static void TearDownTestSuite() {
        Runs.clear();
        Dir.reset();
    }
    void SetUp() override {
        TW_REQUIRE_FIXTURES();
        TW_REQUIRE_TOOL("ffprobe");
    }

    static inline std::unique_ptr<testing_support::TempDir> Dir;
    static inline std::map<std::string, TCaseRun> Runs;
};

TEST_P(EncoderRun, ProducesWhatThePanelAsks) {
    const PeerCase& c = GetParam();
    const TCaseRun& run = Runs.at(c.name);
    ASSERT_EQ(run.Ext, QString::fromLatin1(c.ext));
    ASSERT_NE(run.ParamsAudio, QStringLiteral("ERROR"));
    SCOPED_TRACE(run.CommandLine.toStdString());
    ASSERT_TRUE(run.Encoded.Ok()) << run.Encoded.Describe();

    const auto& source = SourceAudio(c.input, run.SourceTrack);
    const TProbed& out = run.Out;
    EXPECT_EQ(out.Codec, QString::fromLatin1(c.codec));
    EXPECT_EQ(out.SampleRate, c.rate ? c.rate : source.SampleRate);
    EXPECT_EQ(out.Channels, c.channels ? c.channels : source.Channels);
    if (c.cbrKbps != 0) {
        EXPECT_EQ(out.BitRate, c.cbrKbps * 1000);
    }
    if (*c.lameTag) {
        const QByteArray head = testing_support::ReadFileBytes(run.OutFile).left(512);
        EXPECT_TRUE(head.contains(c.lameTag)) << c.lameTag;
    }
    // Within one frame (an MP3 frame is the longest here) of the range; the whole file is as long as
    // its input decodes.
    const double frameMs = 1152.0 * 1000 / std::max(out.SampleRate, 1);
    EXPECT_NEAR(out.DecodedMs, c.durationMs ? c.durationMs : run.In.DecodedMs, frameMs);
    if (c.volume > 0) {
        EXPECT_NEAR(double(out.Peak) / std::max(run.In.Peak, 1), c.volume, 0.03);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, EncoderRun, ::testing::ValuesIn(PeerCases),
                         [](const auto& Info) { return std::string(Info.param.name); });

// Every codec the encoder can put in a file gets an extension it can copy the stream into unchanged,
// or falls back to WAV (then decoded to PCM).
TEST(CodecToFileExt, EveryExtractedStreamFitsItsExtension) {
    TW_REQUIRE_FIXTURES();
    TW_REQUIRE_TOOL("ffprobe");
    testing_support::TempDir dir;
    const QString ffmpeg = testing_support::FfmpegPath();
    struct TJob {
        const char* Encoder;
        QString Reported;   // ffprobe's codec name of the source stream
        String Mapped;
        QString ReadBack;
        std::string Failure;
    };
    std::vector<TJob> codecs;
    for (const char* encoder : {"flac", "pcm_s16le", "pcm_s16be", "pcm_u8", "mp2", "alac", "wavpack", "wmav2", "eac3",
                                "libvorbis", "libopus", "ac3", "aac", "libmp3lame"})
        codecs.push_back(TJob{encoder, {}, {}, {}, {}});
    // Every source in one encoder run: each start of the encoder is costly.
    const QStringList quiet{QStringLiteral("-v"), QStringLiteral("error")};
    QStringList make = quiet + QStringList{QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                                           QStringLiteral("sine=sample_rate=48000:duration=0.3"), QStringLiteral("-ac"), QStringLiteral("2")};
    auto source = [&](const TJob& Job) { return dir.QFile(QStringLiteral("src-%1.mkv").arg(QString::fromLatin1(Job.Encoder))); };
    for (const TJob& job : codecs) make << QStringLiteral("-c:a") << QString::fromLatin1(job.Encoder) << source(job);
    const auto made = Spawn(ffmpeg, make);
    ASSERT_TRUE(made.Ok()) << made.Describe();

    std::vector<std::function<void()>> jobs;
    for (TJob& job : codecs)
        jobs.push_back([&job, &dir, &quiet, ffmpeg, in = source(job)] {
            job.Reported = Probe(in).Codec;
            job.Mapped = CodecToFileExt(job.Reported, QStringLiteral("UNSUPPORTED"));
            const bool fallback = job.Mapped == QStringLiteral("UNSUPPORTED");
            const QString out = dir.QFile(QStringLiteral("out-%1.%2").arg(QString::fromLatin1(job.Encoder), fallback ? QStringLiteral("WAV") : job.Mapped));
            QStringList args = quiet + QStringList{QStringLiteral("-i"), in, QStringLiteral("-vn")};
            if (!fallback) args << QStringLiteral("-c:a") << QStringLiteral("copy");
            const auto copied = Spawn(ffmpeg, args << out);
            if (!copied.Ok()) {
                job.Failure = "the stream does not go into " + out.toStdString() + ": " + copied.Describe();
                return;
            }
            // What the file holds, as the encoder itself reads it back.
            const auto read = Spawn(ffmpeg, {QStringLiteral("-hide_banner"), QStringLiteral("-i"), out});
            const qsizetype at = read.Err.indexOf("Audio: ");
            if (at >= 0) job.ReadBack = QString::fromUtf8(read.Err.mid(at + 7).split(' ').first()).remove(u',');
        });
    RunInParallel(jobs);
    for (const TJob& job : codecs) {
        SCOPED_TRACE(job.Encoder);
        EXPECT_EQ(job.Failure, std::string());
        const bool fallback = job.Mapped == QStringLiteral("UNSUPPORTED");
        EXPECT_EQ(job.ReadBack, fallback ? QStringLiteral("pcm_s16le") : job.Reported) << job.Reported.toStdString();
    }
    // The codecs this program has always given a file type of their own.
    for (const TJob& job : codecs)
        if (QStringList{QStringLiteral("opus"), QStringLiteral("eac3")}.contains(job.Reported))
            EXPECT_EQ(job.Mapped, QStringLiteral("UNSUPPORTED"));
        else
            EXPECT_NE(job.Mapped, QStringLiteral("UNSUPPORTED")) << job.Reported.toStdString();
}

} // namespace
