// The runner against the real encoder: its lines, its exit codes and its quit key.
#include <gtest/gtest.h>

#include <QFileInfo>

#include "app/engine/ConRun.h"
#include "tests/support/MediaFixtures.h"
#include "tests/support/Peers.h"
#include "tests/support/TempDir.h"

namespace {

class FFmpegRun : public ::testing::Test {
protected:
    void SetUp() override {
        TW_REQUIRE_TOOL("ffmpeg");
        Ffmpeg = testing_support::FindTool(QStringLiteral("ffmpeg"));
    }
    void TearDown() override { engine::OnConsoleLine = nullptr; }

    QString Ffmpeg;
    rtl::TStringList Output;
};

TEST_F(FFmpegRun, QuitKeyStopsAnEncodeWithExitCodeZero) {
    testing_support::TempDir dir;
    const QString out = dir.QFile(QStringLiteral("out put.mp3"));
    bool sent = false;
    engine::OnConsoleLine = [&](uint32_t, const rtl::String& Line, bool HasLine) {
        if (HasLine && !sent && Line.contains(QStringLiteral("size=")))
            sent = engine::WriteToChildStdIn(QStringLiteral("q"));
    };
    // Real-time reading keeps the encoder busy for 30 s unless the quit key stops it.
    const uint32_t code = engine::RunConsoleApp(
        Ffmpeg,
        QStringLiteral("-y -hide_banner -re -f lavfi -i sine=frequency=440:duration=30 -c:a libmp3lame ") +
            engine::QuoteFileName(out),
        &Output, 0);
    EXPECT_TRUE(sent);
    EXPECT_EQ(code, 0u) << Output.Text().toStdString();
    EXPECT_GT(QFileInfo(out).size(), 0);
}

TEST_F(FFmpegRun, ReportLinesArriveOneEntryEach) {
    TW_REQUIRE_FIXTURES();
    const QString input = testing_support::Fixture(testing_support::EFixture::WebmVp9Opus);
    const uint32_t code =
        engine::RunConsoleApp(Ffmpeg, QStringLiteral("-i ") + engine::QuoteFileName(input), &Output, 0);
    EXPECT_NE(code, 0u); // no output file given
    ASSERT_GT(Output.Count(), 5);
    EXPECT_TRUE(Output[0].startsWith(QStringLiteral("ffmpeg version"))) << Output[0].toStdString();
    int duration = 0, streams = 0;
    for (int i = 0; i < Output.Count(); ++i) {
        EXPECT_FALSE(Output[i].contains(u'\r') || Output[i].contains(u'\n'));
        if (Output[i].startsWith(QStringLiteral("  Duration: "))) ++duration;
        if (Output[i].trimmed().startsWith(QStringLiteral("Stream #0:"))) ++streams;
    }
    EXPECT_EQ(duration, 1);
    EXPECT_EQ(streams, 2);
}

TEST_F(FFmpegRun, AFailingEncodeGivesANonZeroCode) {
    testing_support::TempDir dir;
    const uint32_t code = engine::RunConsoleApp(
        Ffmpeg,
        QStringLiteral("-y -i ") + engine::QuoteFileName(dir.QFile(QStringLiteral("missing.webm"))) + u' ' +
            engine::QuoteFileName(dir.QFile(QStringLiteral("out.mp3"))),
        &Output, 0);
    EXPECT_NE(code, 0u);
    EXPECT_NE(code, uint32_t(STILL_ACTIVE));
    EXPECT_TRUE(Output.Text().contains(QStringLiteral("No such file or directory")))
        << Output.Text().toStdString();
}

} // namespace
