// The encoder's report read into a TVideoFileInfo, the clock-text parser, the extension test and the
// corrections that follow the library. Lines are the quoted build's and Debian's ffmpeg 5.1's.
#include <gtest/gtest.h>

#include "tests/support/QtPrint.h"

#include <optional>

#include "app/engine/Analysis.h"
#include "base/Strings.h"

namespace {

using engine::TAudioStreamInfo;
using engine::TVideoFileInfo;
using engine::TVideoStreamInfo;

QString Q(const char16_t* Text) {
    return QString::fromUtf16(Text);
}

TVideoFileInfo ParseReport(std::initializer_list<const char16_t*> Lines) {
    rtl::TStringList List;
    for (const char16_t* Line : Lines) List.Add(Q(Line));
    TVideoFileInfo Info;
    engine::ParseEncoderReport(&List, Info);
    return Info;
}

// ---- clock texts and extensions -----------------------------------------------------------------------

struct TimeCase {
    const char16_t* Text;
    double Seconds;
};
class ParseTimeStrTable : public ::testing::TestWithParam<TimeCase> {};

TEST_P(ParseTimeStrTable, ReadsHoursMinutesAndSeconds) {
    EXPECT_DOUBLE_EQ(engine::ParseTimeStr(Q(GetParam().Text)), GetParam().Seconds);
}

INSTANTIATE_TEST_SUITE_P(Cases, ParseTimeStrTable,
                         ::testing::Values(TimeCase{u"01:02:03,5", 3723.5}, TimeCase{u"00:03:25.47", 205.47},
                                           TimeCase{u"N/A", 0}, TimeCase{u"", 0}, TimeCase{u"1:30", 3600},
                                           TimeCase{u" 00 : 01 : 00.50", 60.5}, TimeCase{u"x:05:10", 310},
                                           TimeCase{u"02:00:xx", 7200}, TimeCase{u"100:00:00.00", 360000}));

struct ExtCase {
    const char16_t* Name;
    bool Media;
};
class IsMediaFileExtTable : public ::testing::TestWithParam<ExtCase> {};

TEST_P(IsMediaFileExtTable, MatchesWholeKnownExtensions) {
    EXPECT_EQ(engine::IsMediaFileExt(Q(GetParam().Name)), GetParam().Media)
        << QString::fromUtf16(GetParam().Name).toStdString();
}

INSTANTIATE_TEST_SUITE_P(Cases, IsMediaFileExtTable,
                         ::testing::Values(ExtCase{u"clip.m4a", true}, ExtCase{u"CLIP.DVR-MS", true},
                                           ExtCase{u"/music/a.b/clip.WebM", true}, ExtCase{u"clip", false},
                                           ExtCase{u"clip.webm.part", false},
                                           ExtCase{u"/dir.mp4/clip", false}, ExtCase{u"clip.mp", false},
                                           ExtCase{u"clip.tta", true}));

// ---- the duration line
// -------------------------------------------------------------------------------------

TEST(EncoderReport, DurationStartAndBitrateOfTheDurationLine) {
    const TVideoFileInfo Info =
        ParseReport({u"  Duration: 00:01:00.50, start: 1.500000, bitrate: 1200 kb/s"});
    EXPECT_EQ(Info.DurationStr, Q(u"00:01:00.50"));
    EXPECT_DOUBLE_EQ(Info.Duration, 60500);
    EXPECT_EQ(Info.Start, 2u);
    EXPECT_EQ(Info.Seconds, 59u);
    EXPECT_EQ(Info.VideoStreams[0].Bitrate, 1140);
    EXPECT_EQ(Info.OverallBitrate, 0); // the library's value, not the report's
}

struct BitrateCase {
    const char16_t* Line;
    int Bitrate;
};
class DurationLineBitrate : public ::testing::TestWithParam<BitrateCase> {};

TEST_P(DurationLineBitrate, LowersRatesAboveOneHundredBySixty) {
    EXPECT_EQ(ParseReport({GetParam().Line}).VideoStreams[0].Bitrate, GetParam().Bitrate);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DurationLineBitrate,
    ::testing::Values(BitrateCase{u"  Duration: 00:00:10.00, start: 0.000000, bitrate: 90 kb/s", 90},
                      BitrateCase{u"  Duration: 00:00:10.00, start: 0.000000, bitrate: 100 kb/s", 100},
                      BitrateCase{u"  Duration: 00:00:10.00, start: 0.000000, bitrate: 101 kb/s", 41},
                      BitrateCase{u"  Duration: 00:00:10.00, start: 0.000000, bitrate: -5 kb/s", 0},
                      BitrateCase{u"  Duration: 00:00:10.00, bitrate: 500 kb/s", 440},
                      BitrateCase{u"  Duration: N/A, start: 0.000000, bitrate: N/A", 0}));

TEST(EncoderReport, UnknownDurationAndDurationWithoutCommaGiveNothing) {
    TVideoFileInfo Info = ParseReport({u"  Duration: N/A, start: 0.000000, bitrate: N/A"});
    EXPECT_DOUBLE_EQ(Info.Duration, 0);
    EXPECT_EQ(Info.Seconds, 0u);
    EXPECT_EQ(Info.DurationStr, Q(u"N/A"));

    Info = ParseReport({u"  Duration: 00:00:05.00"});
    EXPECT_DOUBLE_EQ(Info.Duration, 0);
    EXPECT_TRUE(Info.DurationStr.isEmpty());
}

TEST(EncoderReport, NegativeStartLengthensThePlayablePartAndStaysZero) {
    // Debian's ffmpeg on a WebM: Matroska streams start a few milliseconds before zero.
    TVideoFileInfo Info = ParseReport({u"  Duration: 00:00:02.01, start: -0.007000, bitrate: 119 kb/s"});
    EXPECT_EQ(Info.Start, 0u);
    EXPECT_EQ(Info.Seconds, 2u);
    EXPECT_EQ(Info.VideoStreams[0].Bitrate, 59);
    // A start far below zero must not wrap around in the unsigned field.
    Info = ParseReport({u"  Duration: 00:00:05.00, start: -1.600000, bitrate: 50 kb/s"});
    EXPECT_EQ(Info.Start, 0u);
    EXPECT_EQ(Info.Seconds, 7u);
}

// ---- stream lines
// ----------------------------------------------------------------------------------------------

struct VideoCase {
    const char16_t* Line;
    int Index;
    const char16_t* Codec;
    const char16_t* PixelFormat;
    int Width, Height, Bitrate;
    double Fps;
};
class VideoLineTable : public ::testing::TestWithParam<VideoCase> {};

TEST_P(VideoLineTable, ReadsIndexCodecSizeBitrateAndFrameRate) {
    const VideoCase& C = GetParam();
    TVideoStreamInfo S;
    engine::ParseVideoStreamLine(Q(C.Line), 10, S);
    EXPECT_TRUE(S.Exists);
    EXPECT_EQ(S.StreamIndex, C.Index);
    EXPECT_EQ(S.Codec, Q(C.Codec));
    EXPECT_EQ(S.PixelFormat, Q(C.PixelFormat));
    EXPECT_EQ(S.Width, C.Width);
    EXPECT_EQ(S.Height, C.Height);
    EXPECT_EQ(S.Bitrate, C.Bitrate);
    EXPECT_DOUBLE_EQ(S.FPS, C.Fps);
    EXPECT_EQ(S.Frames, uint32_t(std::nearbyint(10 * C.Fps)));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VideoLineTable,
    ::testing::Values(
        VideoCase{u"Stream #0:0: Video: h264 (High), yuv420p, 1280x720 [SAR 1:1 DAR 16:9], 1500 kb/s, 25 "
                  u"fps, 25 tbr, 1k tbn",
                  0, u"h264 (High)", u"yuv420p", 1280, 720, 1500, 25},
        // ffmpeg 5.1: stream id and language after the index, commas inside the pixel format.
        VideoCase{u"Stream #0:0[0x1](und): Video: h264 (High) (avc1 / 0x31637661), yuv420p(tv, bt709, "
                  u"progressive), "
                  u"1920x1080 [SAR 1:1 DAR 16:9], 4000 kb/s, 29.97 fps, 29.97 tbr, 30k tbn (default)",
                  0, u"h264 (High) (avc1 / 0x31637661)", u"yuv420p(tv, bt709, progressive)", 1920, 1080, 4000,
                  29.97},
        // ffmpeg 5.1 on a WebM: the stream's own aspect ratio as a part of its own.
        VideoCase{u"Stream #0:0: Video: vp9 (Profile 0), yuv420p(tv, progressive), 160x120, SAR 1:1 DAR 4:3, "
                  u"10 fps, 10 "
                  u"tbr, 1k tbn",
                  0, u"vp9 (Profile 0)", u"yuv420p(tv, progressive)", 160, 120, 0, 10},
        VideoCase{u"Stream #0:0[0x1](und): Video: h264 (avc1 / 0x31637661), yuv420p(progressive), 160x120, "
                  u"68 kb/s, SAR "
                  u"1:1 DAR 4:3, 10 fps, 10 tbr, 10240 tbn (default)",
                  0, u"h264 (avc1 / 0x31637661)", u"yuv420p(progressive)", 160, 120, 68, 10},
        VideoCase{u"Stream #0:12: Video: mpeg4 (Simple Profile), yuv420p, 32x32 [SAR 1:1 DAR 1:1], 200 kb/s, "
                  u"5 fps, 5 tbr, "
                  u"1k tbn",
                  12, u"mpeg4 (Simple Profile)", u"yuv420p", 32, 32, 200, 5},
        VideoCase{u"Stream #0:0: Video: h264, yuv420p, 1280x720, 25 tbr, 1k tbn", 0, u"h264", u"yuv420p",
                  1280, 720, 0, 25},
        VideoCase{u"Stream #0:2: Video: mjpeg (Baseline), yuvj420p(pc, bt470bg/unknown/unknown), 600x600 "
                  u"[SAR 1:1 DAR "
                  u"1:1], 90k tbr, 90k tbn (attached pic)",
                  2, u"mjpeg (Baseline)", u"yuvj420p(pc, bt470bg/unknown/unknown)", 600, 600, 0, 0},
        // Brackets that do not balance: every comma splits, as the quoted build's parser did.
        VideoCase{u"Stream #0:0: Video: h264 (High, yuv420p, 640x480, 25 fps", 0, u"h264 (High", u"yuv420p",
                  640, 480, 0, 25}));

TEST(EncoderReport, BitsPerPixelFollowsFromTheReportAlone) {
    TVideoStreamInfo S;
    engine::ParseVideoStreamLine(Q(u"Stream #0:0: Video: h264 (High), yuv420p, 1280x720 [SAR 1:1 DAR 16:9], "
                                   u"1500 kb/s, 25 fps, 25 tbr, 1k tbn"),
                                 0, S);
    EXPECT_NEAR(S.BitsPerPixel, 1500000.0 / (1280.0 * 720 * 25), 1e-12);
}

struct AudioCase {
    const char16_t* Line;
    int Index;
    const char16_t* Codec;
    const char16_t* CodecFF;
    int Channels, Bitrate, Bits;
};
class AudioLineTable : public ::testing::TestWithParam<AudioCase> {};

TEST_P(AudioLineTable, ReadsIndexCodecChannelsBitrateAndSampleBits) {
    const AudioCase& C = GetParam();
    TAudioStreamInfo S;
    engine::ParseAudioStreamLine(Q(C.Line), S);
    EXPECT_TRUE(S.Exists);
    EXPECT_EQ(S.StreamIndex, C.Index);
    EXPECT_EQ(S.Codec, Q(C.Codec));
    EXPECT_EQ(S.CodecFF, Q(C.CodecFF));
    EXPECT_EQ(S.Channels, C.Channels);
    EXPECT_EQ(S.Bitrate, C.Bitrate);
    EXPECT_EQ(S.BitsPerSample, C.Bits);
    EXPECT_EQ(S.SamplingRate, 0); // the library's value
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AudioLineTable,
    ::testing::Values(
        AudioCase{u"Stream #0:1(eng): Audio: aac (LC), 44100 Hz, stereo, fltp, 128 kb/s (default)", 1,
                  u"aac (LC)", u"aac", 2, 128, 0},
        AudioCase{u"Stream #0:1[0x2](und): Audio: aac (LC) (mp4a / 0x6134706D), 44100 Hz, mono, fltp, 65 "
                  u"kb/s (default)",
                  1, u"aac (LC) (mp4a / 0x6134706D)", u"aac", 1, 65, 0},
        AudioCase{u"Stream #0:1: Audio: pcm_s16le ([1][0][0][0] / 0x0001), 44100 Hz, stereo, s16, 1411 kb/s",
                  1, u"pcm_s16le ([1][0][0][0] / 0x0001)", u"pcm_s16le", 2, 1411, 16},
        AudioCase{u"Stream #0:2: Audio: flac, 96000 Hz, stereo, s32 (24 bit)", 2, u"flac", u"flac", 2, 0, 32},
        AudioCase{u"Stream #0:11: Audio: opus, 48000 Hz, mono, fltp", 11, u"opus", u"opus", 1, 0, 0},
        AudioCase{u"Stream #0:1: Audio: ac3, 48000 Hz, 5.1(side), fltp, 448 kb/s", 1, u"ac3", u"ac3", 0, 448,
                  0}));

TEST(EncoderReport, StoresStreamLinesAndCountsStreamsInReportOrder) {
    const TVideoFileInfo Info = ParseReport({
        u"Input #0, matroska,webm, from 'a.webm':",
        u"  Metadata:",
        u"    title           : Stream #0:5: Video: h264, yuv420p, 1x1", // a tag, not a stream
        u"  Duration: 00:00:02.01, start: 0.000000, bitrate: 119 kb/s",
        u"  Stream #0:0: Video: vp9 (Profile 0), yuv420p(tv, progressive), 160x120, SAR 1:1 DAR 4:3, 10 fps, "
        u"10 tbr, 1k tbn",
        u"    Metadata:",
        u"      DURATION        : 00:00:02.005000000",
        u"  Stream #0:1(eng): Audio: opus, 48000 Hz, stereo, fltp (default)",
        u"  Stream #0:2(ger): Audio: opus, 48000 Hz, mono, fltp",
        u"Guessed Channel Layout for Input Stream #0.3 : mono",
        u"At least one output file must be specified",
    });
    EXPECT_EQ(Info.NumberOfVideoStreams, 1);
    EXPECT_EQ(Info.NumberOfAudioStreams, 2);
    EXPECT_TRUE(Info.StreamsStr[0].StreamExists);
    EXPECT_TRUE(Info.StreamsStr[0].Str1.startsWith(Q(u"Stream #0:0: Video: vp9"))); // trimmed
    EXPECT_TRUE(Info.StreamsStr[2].Str1.startsWith(Q(u"Stream #0:2(ger)")));
    EXPECT_FALSE(Info.StreamsStr[3].StreamExists);
    EXPECT_EQ(Info.VideoStreams[0].Width, 160);
    EXPECT_EQ(Info.VideoStreams[0].Frames, 20u);
    EXPECT_EQ(Info.AudioStreams[1].StreamIndex, 2);
    EXPECT_EQ(Info.AudioStreams[1].Channels, 1);
}

TEST(EncoderReport, SlotsStopAtTenVideoAndNinetyEightAudioStreamsWhileCountsGoOn) {
    rtl::TStringList List;
    for (int i = 0; i < 11; ++i)
        List.Add(
            QStringLiteral("  Stream #0:%1: Video: mpeg4, yuv420p, %2x32, 5 fps").arg(i).arg(32 + 2 * i));
    for (int i = 0; i < 99; ++i)
        List.Add(QStringLiteral("  Stream #0:%1: Audio: opus, 48000 Hz, mono, fltp").arg(11 + i));
    TVideoFileInfo Info;
    engine::ParseEncoderReport(&List, Info);
    EXPECT_EQ(Info.NumberOfVideoStreams, 11);
    EXPECT_EQ(Info.NumberOfAudioStreams, 99);
    EXPECT_EQ(Info.VideoStreams[9].Width, 50);
    EXPECT_EQ(Info.VideoStreams[9].StreamIndex, 9);
    EXPECT_EQ(Info.AudioStreams[97].StreamIndex, 108);
    EXPECT_TRUE(Info.StreamsStr[109].StreamExists);
}

TEST(EncoderReport, KeepsAtMost255StreamLines) {
    rtl::TStringList List;
    for (int i = 0; i < 300; ++i) List.Add(QStringLiteral("  Stream #0:%1: Data: none").arg(i));
    TVideoFileInfo Info;
    engine::ParseEncoderReport(&List, Info);
    EXPECT_TRUE(Info.StreamsStr[254].StreamExists);
    EXPECT_FALSE(Info.StreamsStr[255].StreamExists);
}

TEST(EncoderReport, Mpeg1PeakRateKeepsTheRateOfTheDurationLine) {
    TVideoFileInfo Info = ParseReport({
        u"  Duration: 00:00:10.00, start: 0.000000, bitrate: 1200 kb/s",
        u"  Stream #0:0[0x1e0]: Video: mpeg1video, yuv420p(tv), 352x288 [SAR 1:1 DAR 11:9], 104857 kb/s, 25 "
        u"fps, 25 tbr, 90k tbn",
    });
    EXPECT_EQ(Info.VideoStreams[0].Bitrate, 1140);
    EXPECT_EQ(Info.VideoStreams[0].Codec, Q(u"mpeg1video"));
    Info = ParseReport({
        u"  Duration: 00:00:10.00, start: 0.000000, bitrate: 1200 kb/s",
        u"  Stream #0:0: Video: mpeg2video (Main), yuv420p(tv), 720x576, 10485 kb/s, 25 fps",
    });
    EXPECT_EQ(Info.VideoStreams[0].Bitrate, 10485);
}

// ---- corrections after the library ---------------------------------------------------------------------

TEST(AnalysisCorrections, SingleVideoStreamSizeIsTheFileLessItsAudio) {
    TVideoFileInfo Info;
    Info.FileSize = 4000;
    Info.NumberOfVideoStreams = 1;
    Info.NumberOfAudioStreams = 2;
    Info.AudioStreams[0].StreamSize = 700;
    Info.AudioStreams[1].StreamSize = 300;
    engine::ApplyAnalysisCorrections(Info);
    EXPECT_EQ(Info.VideoStreams[0].StreamSize, 3000);
    EXPECT_EQ(Info.VideoStreams[0].StreamSizeStr, QStringLiteral("2.93 KB"));
    EXPECT_EQ(Info.VideoStreams[0].StreamSizeInPercent, 75);

    // A size the library gave stays, and so does a file with two video streams.
    TVideoFileInfo Known = Info;
    Known.VideoStreams[0].StreamSize = 12;
    engine::ApplyAnalysisCorrections(Known);
    EXPECT_EQ(Known.VideoStreams[0].StreamSize, 12);
    TVideoFileInfo Two = Info;
    Two.VideoStreams[0] = {};
    Two.NumberOfVideoStreams = 2;
    engine::ApplyAnalysisCorrections(Two);
    EXPECT_EQ(Two.VideoStreams[0].StreamSize, 0);
}

TEST(AnalysisCorrections, AudioOnlyFileTakesTheOverallBitrate) {
    TVideoFileInfo Info;
    Info.NumberOfAudioStreams = 1;
    Info.NumberOfDataStreams = 1;
    Info.OverallBitrate = 64;
    Info.AudioStreams[0].Bitrate = 60;
    engine::ApplyAnalysisCorrections(Info);
    EXPECT_EQ(Info.AudioStreams[0].Bitrate, 64);
    Info.AudioStreams[0].Bitrate = 70;
    engine::ApplyAnalysisCorrections(Info);
    EXPECT_EQ(Info.AudioStreams[0].Bitrate, 70);
    Info.AudioStreams[0].Bitrate = 60;
    Info.NumberOfDataStreams = 2; // a video or a menu besides
    engine::ApplyAnalysisCorrections(Info);
    EXPECT_EQ(Info.AudioStreams[0].Bitrate, 60);
}

TEST(Analysis, MissingFileOrEncoderRunsNothing) {
    TVideoFileInfo Info =
        engine::GetVideoFileInfo(QStringLiteral("/nonexistent/clip.webm"), QStringLiteral("/bin/sh"));
    EXPECT_EQ(Info.FileName, QStringLiteral("/nonexistent/clip.webm"));
    EXPECT_EQ(Info.FileSize, 0);
    EXPECT_EQ(Info.NumberOfVideoStreams + Info.NumberOfAudioStreams, 0);
    EXPECT_EQ(Info.Chapters[255].StartTimeMs, -1);

    Info = engine::GetVideoFileInfo(QStringLiteral("/bin/sh"), QStringLiteral("/nonexistent/ffmpeg"));
    EXPECT_GT(Info.FileSize, 0);
    EXPECT_FALSE(Info.StreamsStr[0].StreamExists);
}

} // namespace
