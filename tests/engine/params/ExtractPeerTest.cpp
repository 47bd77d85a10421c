// Extraction of the original stream through a whole conversion run with the real encoder and analysis:
// PCM keeps its sample format and depth (the copy option stays), a stream without a file type of its own
// becomes 16-bit PCM in a ".WAV" file. The outputs are checked with ffprobe.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonObject>

#include "app/engine/Analysis.h"
#include "app/engine/Conversion.h"
#include "app/engine/EncoderParams.h"
#include "app/engine/Procs.h"
#include "rtl/Files.h"
#include "tests/support/MediaFixtures.h"
#include "tests/support/Peers.h"
#include "tests/support/QtPrint.h"
#include "tests/support/TempDir.h"

namespace {

using namespace engine;

struct ExtractCase {
    const char* codec;     // of the input's audio, made by the encoder from a test tone
    const char* container; // of the input
    const char* ext;       // of the output
    const char* outCodec;
    int outBits;           // bits_per_sample of the output
    bool copies;           // the command line keeps "-c:a copy"
};

const ExtractCase Cases[] = {
    {"pcm_s24le", "mkv", ".wav", "pcm_s24le", 24, true},
    {"pcm_f32le", "mov", ".wav", "pcm_f32le", 32, true},
    {"pcm_s16be", "mov", ".aiff", "pcm_s16be", 16, true},
    {"libopus", "ogg", ".WAV", "pcm_s16le", 16, false},
};

class Extract : public ::testing::Test {
protected:
    void SetUp() override {
        TW_REQUIRE_TOOL("ffprobe");
        Ffmpeg = testing_support::FfmpegPath();
        if (Ffmpeg.isEmpty()) GTEST_SKIP() << "no ffmpeg";
        InitAppParams(Params);
        Params.ffmpeg = Ffmpeg;
        Panel.cbOutputFormat.SetItemIndex(ofExtract);
        for (const ExtractCase& c : Cases) {
            const QString in = Dir.QFile(QStringLiteral("%1.%2").arg(QString::fromLatin1(c.codec), QString::fromLatin1(c.container)));
            const auto made = testing_support::RunProgram(
                Ffmpeg, {"-v", "error", "-y", "-f", "lavfi", "-i", "sine=frequency=440:duration=1:sample_rate=48000", "-c:a",
                         QString::fromLatin1(c.codec), in});
            ASSERT_TRUE(made.Ok()) << made.Describe();
            TFileRow row;
            row.Info.FileName = in;
            Rows.Rows.push_back(row);
        }
    }

    testing_support::TempDir Dir;
    QString Ffmpeg;
    TAppParams Params;
    TEncoderPanel Panel;
    TFileRows Rows;
};

TEST_F(Extract, KeepsThePcmFormatAndDecodesTheRest) {
    TConversionView view;
    TConversionRun run(Panel, Rows, view, Params);
    run.ErrorOutput = [](const String& Text) { ADD_FAILURE() << Text.toStdString(); };
    const TRunResult result = run.Execute();
    ASSERT_EQ(result.ExitStatus(), 0);
    ASSERT_EQ(result.Outputs.size(), qsizetype(std::size(Cases)));

    for (size_t i = 0; i < std::size(Cases); ++i) {
        const ExtractCase& c = Cases[i];
        SCOPED_TRACE(c.codec);
        const QString out = result.Outputs[qsizetype(i)];
        EXPECT_EQ(rtl::ExtractFileExt(out), QString::fromLatin1(c.ext));
        const QJsonObject s = testing_support::FfprobeJson(out)["streams"].toArray().at(0).toObject();
        EXPECT_EQ(s["codec_name"].toString(), QString::fromLatin1(c.outCodec));
        EXPECT_EQ(s["bits_per_sample"].toInt(), c.outBits);
        EXPECT_EQ(s["sample_rate"].toString(), "48000");

        // The command line shown to the user is what ran.
        const TVideoFileInfo info = GetVideoFileInfo(Rows.Rows[i].Info.FileName, Ffmpeg);
        const String ext = GetExt(Panel, info, true);
        TEncodingParams ep;
        ep.fIn = Rows.Rows[i].Info.FileName;
        ep.fOut = out;
        GetEncodingParams(Panel, info, ep, false, &Rows.Rows[i].Info, Params);
        EXPECT_EQ(GetCmdLineInfo(Panel, ep, ext).Params.contains("-c:a copy"), c.copies);
    }
}

} // namespace
