// The unattended run end to end: the tunewright executable as a child process with no display, Debian's
// ffmpeg as the encoder, the outputs checked with ffprobe.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QProcess>

#include "app/engine/EncoderPanel.h"
#include "app/engine/Profiles.h"
#include "tests/support/MediaFixtures.h"
#include "rtl/Files.h"
#include "tests/support/Peers.h"
#include "tests/support/QtPrint.h"
#include "tests/support/TempDir.h"

namespace {

using testing_support::EFixture;
using testing_support::TempDir;

struct Child {
    int ExitCode = -1;
    QString Out, Err;
};

// No display, no way to the tools but what the test allows.
Child RunTunewright(const QStringList& Args, const QString& Path = qEnvironmentVariable("PATH")) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    env.insert("PATH", Path);
    p.setProcessEnvironment(env);
    p.setStandardInputFile(QProcess::nullDevice()); // nobody to answer
    p.start(QStringLiteral(TW_TUNEWRIGHT_EXE), Args);
    Child c;
    if (!p.waitForFinished(120000)) {
        p.kill();
        p.waitForFinished();
        ADD_FAILURE() << "tunewright did not end: " << Args.join(' ').toStdString();
        return c;
    }
    c.ExitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    c.Out = QString::fromUtf8(p.readAllStandardOutput());
    c.Err = QString::fromUtf8(p.readAllStandardError());
    return c;
}

struct Probed {
    QString Codec;
    int Rate = 0, Channels = 0;
    double Duration = 0;
};

Probed Probe(const QString& File) {
    Probed p;
    const QJsonDocument doc = testing_support::FfprobeJson(File);
    for (const QJsonValue& v : doc["streams"].toArray()) {
        const QJsonObject s = v.toObject();
        if (s["codec_type"].toString() != "audio") continue;
        p.Codec = s["codec_name"].toString();
        p.Rate = s["sample_rate"].toString().toInt();
        p.Channels = s["channels"].toInt();
        break;
    }
    p.Duration = doc["format"]["duration"].toString().toDouble();
    return p;
}

class Unattended : public ::testing::Test {
protected:
    void SetUp() override {
        TW_REQUIRE_FIXTURES();
        TW_REQUIRE_TOOL("ffprobe");
    }
    QString Copy(EFixture Id, const QString& Name = {}) { return testing_support::CopyFixture(Id, Dir.QPath(), Name); }
    QString Out(const QString& Name) const { return Dir.QFile("out/" + Name); }
    // A profile of the panel's defaults changed by Set.
    QString Profile(const QString& Name, const std::function<void(engine::TEncoderPanel&)>& Set) {
        engine::TEncoderPanel panel;
        Set(panel);
        const QString file = Dir.QFile(Name + ".ini");
        engine::SaveProfile(panel, file, "", "");
        return file;
    }
    TempDir Dir;
};

TEST_F(Unattended, ConvertsToMp3WavAndTheOriginalStream) {
    const QString wav = Profile("wav", [](engine::TEncoderPanel& p) { p.cbOutputFormat.SetItemIndex(engine::ofWAV); });
    const QString extract =
        Profile("extract", [](engine::TEncoderPanel& p) { p.cbOutputFormat.SetItemIndex(engine::ofExtract); });
    struct Case {
        EFixture input;
        QString profile, output, codec;
    } cases[] = {
        {EFixture::WebmVp9Opus, "default", "opus.mp3", "mp3"},
        {EFixture::WebmVp9Opus, wav, "opus.wav", "pcm_s16le"},
        {EFixture::WebmVp8Vorbis, extract, "vorbis.ogg", "vorbis"},
        // Opus has no file type of its own here: PCM in a WAV file, the copy option dropped.
        {EFixture::WebmVp9Opus, extract, "opus.WAV", "pcm_s16le"},
    };
    for (const Case& c : cases) {
        const auto& info = testing_support::FixtureInfo(c.input);
        const QString in = Copy(c.input, rtl::ChangeFileExt(c.output, ".webm"));
        const Child r = RunTunewright({in, "-AUTOCONVERT", "-AUTOCLOSE", "-PROFILE=" + c.profile, "-OUTDIR=" + Dir.QFile("out")});
        EXPECT_EQ(r.ExitCode, 0) << r.Err.toStdString();
        const QString file = Out(c.output);
        EXPECT_EQ(r.Out.trimmed(), file);
        ASSERT_TRUE(QFile::exists(file)) << QDir(Dir.QFile("out")).entryList().join(' ').toStdString();
        const Probed p = Probe(file);
        EXPECT_EQ(p.Codec, c.codec) << c.output.toStdString();
        const auto& source = info.Streams[size_t(info.StreamCount("video"))]; // audio follows video
        EXPECT_EQ(p.Rate, source.SampleRate) << c.output.toStdString();
        EXPECT_EQ(p.Channels, source.Channels) << c.output.toStdString();
        EXPECT_NEAR(p.Duration * 1000, info.DurationMs, 120) << c.output.toStdString();
        // Progress on standard error, without -SILENT.
        EXPECT_TRUE(r.Err.contains("Output file: " + file)) << r.Err.toStdString();
    }
}

TEST_F(Unattended, ChapterRowsGiveOneFilePerChapter) {
    const QString in = Copy(EFixture::Chapters, "talk.webm");
    const Child r = RunTunewright({"-AUTOCONVERT", "-AUTOCLOSE", "-SILENT", in, "-OUTDIR=" + Dir.QFile("out")});
    EXPECT_EQ(r.ExitCode, 0) << r.Err.toStdString();
    EXPECT_EQ(r.Err, "");
    const auto& chapters = testing_support::FixtureInfo(EFixture::Chapters).Chapters;
    ASSERT_EQ(chapters.size(), 3u);
    QStringList expected;
    for (size_t i = 0; i < chapters.size(); ++i)
        expected << QString("talk - %1 - %2.mp3").arg(i + 1, 2, 10, QChar('0')).arg(chapters[i].Title);
    QStringList got = QDir(Dir.QFile("out")).entryList(QDir::Files, QDir::Name);
    expected.sort();
    EXPECT_EQ(got, expected);
    for (const QString& f : got) EXPECT_NEAR(Probe(Out(f)).Duration, 1.0, 0.12) << f.toStdString();
}

TEST_F(Unattended, AFailingInputGivesStatusOneAndTheLogOnStandardError) {
    const QString bad = Dir.Write("broken.webm", QByteArray(4000, 'x'));
    const QString good = Copy(EFixture::Mono, "good.webm");
    const Child r = RunTunewright({"-AUTOCONVERT", "-AUTOCLOSE", "-SILENT=1", bad, good, "-OUTDIR=" + Dir.QFile("out")});
    EXPECT_EQ(r.ExitCode, 1);
    EXPECT_TRUE(r.Err.startsWith("Errors (1)\n")) << r.Err.toStdString();
    EXPECT_TRUE(r.Err.contains("Error # 1"));
    EXPECT_TRUE(r.Err.contains("Input file: \"" + bad + "\""));
    EXPECT_FALSE(QFile::exists(Out("broken.mp3")));
    EXPECT_TRUE(QFile::exists(Out("good.mp3")));
    EXPECT_EQ(Probe(Out("good.mp3")).Channels, 1);

    // No -SILENT: the error log, which would be a modal window, is written out and nothing waits.
    const Child loud = RunTunewright({"-AUTOCONVERT", "-AUTOCLOSE", bad, "-OUTDIR=" + Dir.QFile("out")});
    EXPECT_EQ(loud.ExitCode, 1);
    EXPECT_TRUE(loud.Err.contains("Error # 1")) << loud.Err.toStdString();

    // -SILENT=2: the same status, and nothing on standard error.
    const Child quiet = RunTunewright({"-AUTOCONVERT", "-AUTOCLOSE", "-SILENT=2", bad, "-OUTDIR=" + Dir.QFile("out")});
    EXPECT_EQ(quiet.ExitCode, 1);
    EXPECT_EQ(quiet.Err, "");
}

TEST_F(Unattended, EarlyEndsCloseWithStatusTwoAndOneMessage) {
    const QString in = Copy(EFixture::Mono, "a.webm");
    // No encoder anywhere.
    Child r = RunTunewright({"-AUTOCONVERT", "-AUTOCLOSE", "-SILENT", in}, "/nonexistent");
    EXPECT_EQ(r.ExitCode, 2);
    EXPECT_EQ(r.Err.count("Could not find FFmpeg encoder!"), 1) << r.Err.toStdString();
    // An output folder under a file.
    const QString blocker = Dir.Write("blocker", "x");
    r = RunTunewright({"-AUTOCONVERT", "-AUTOCLOSE", "-SILENT", in, "-OUTDIR=" + blocker + "/sub"});
    EXPECT_EQ(r.ExitCode, 2);
    EXPECT_EQ(r.Err.count("Couldn't create directory"), 1) << r.Err.toStdString();
    // Nothing accepted.
    r = RunTunewright({"-AUTOCONVERT", "-AUTOCLOSE", "-SILENT", Dir.Write("notes.txt", "x")});
    EXPECT_EQ(r.ExitCode, 2);
    // Without -AUTOCONVERT nothing runs.
    r = RunTunewright({in, "-OUTDIR=" + Dir.QFile("out")});
    EXPECT_EQ(r.ExitCode, 0);
    EXPECT_FALSE(QDir(Dir.QFile("out")).exists());
}

TEST_F(Unattended, OutFileAndTheOverwriteRules) {
    const QString a = Copy(EFixture::Mono, "a.webm");
    const QString b = Copy(EFixture::Mono, "b.webm");
    const QString outDir = "-OUTDIR=" + Dir.QFile("out");
    // Two rows, one -OUTFILE: the second is numbered, never written over the first.
    Child r = RunTunewright({"-AUTOCONVERT", "-AUTOCLOSE", "-SILENT", a, b, outDir, "-OUTFILE=both.mp3"});
    EXPECT_EQ(r.ExitCode, 0) << r.Err.toStdString();
    EXPECT_EQ(r.Out.split('\n', Qt::SkipEmptyParts), QStringList({Out("both.mp3"), Out("both_001.mp3")}));

    const QByteArray before = testing_support::ReadFileBytes(Out("both.mp3"));
    testing_support::WriteFileBytes(Out("a.mp3"), "mine");
    r = RunTunewright({"-AUTOCONVERT", "-AUTOCLOSE", "-SILENT", a, outDir, "-OVERWRITE=SKIP"});
    EXPECT_EQ(r.ExitCode, 0);
    EXPECT_EQ(testing_support::ReadFileBytes(Out("a.mp3")), "mine");
    r = RunTunewright({"-AUTOCONVERT", "-AUTOCLOSE", "-SILENT", a, outDir});
    EXPECT_EQ(r.ExitCode, 0);
    EXPECT_EQ(r.Out.trimmed(), Out("a_001.mp3")); // rename by default
    EXPECT_EQ(testing_support::ReadFileBytes(Out("a.mp3")), "mine");
    r = RunTunewright({"-AUTOCONVERT", "-AUTOCLOSE", "-SILENT", a, outDir, "-overwrite=overwrite"});
    EXPECT_EQ(r.ExitCode, 0);
    EXPECT_EQ(r.Out.trimmed(), Out("a.mp3"));
    EXPECT_EQ(Probe(Out("a.mp3")).Codec, "mp3");
    EXPECT_EQ(testing_support::ReadFileBytes(Out("both.mp3")), before);
}

TEST_F(Unattended, AFileListAddsEveryFile) {
    const QString a = Copy(EFixture::Mono, "one.webm");
    QDir(Dir.QPath()).mkpath("sub");
    const QString b = testing_support::CopyFixture(EFixture::Mp4H264Aac, Dir.QFile("sub"), "two.mp4");
    const QString list = Dir.Write("files.LST", "\xEF\xBB\xBF" + a.toUtf8() + "\r\n" + Dir.QFile("sub/./two.mp4").toUtf8() + "\r\n");
    const Child r = RunTunewright({"-AUTOCONVERT", "-AUTOCLOSE", "-SILENT", list, "-OUTDIR=" + Dir.QFile("out")});
    EXPECT_EQ(r.ExitCode, 0) << r.Err.toStdString();
    EXPECT_EQ(r.Out.split('\n', Qt::SkipEmptyParts), QStringList({Out("one.mp3"), Out("two.mp3")}));
}

} // namespace
