// tests/support/MediaFixtures.h: small media files made by ffmpeg (lavfi test sources) at test time.
//
// Every file is made once into a shared cache folder (TW_FIXTURE_DIR, which CTest sets to
// <build>/fixtures; otherwise a folder under $TMPDIR) on first use and reused by every later test and
// test process. Generation is safe when several test processes ask at once. The cache folder is named
// after a hash of the recipes, so changing a recipe makes fresh files.
//
//     TEST(Analysis, ReadsTheAudioStreamOfAWebm) {
//         TW_REQUIRE_FIXTURES();      // skips when ffmpeg is missing
//         const QString file = testing_support::Fixture(testing_support::EFixture::WebmVp9Opus);
//         const auto& expected = testing_support::FixtureInfo(testing_support::EFixture::WebmVp9Opus);
//         ...
//     }
//
// The files are shared: a test that changes a file (tags, renames, outputs beside the input) works on
// a copy from CopyFixture().
#pragma once
#include <QString>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace testing_support {

enum class EFixture {
    WebmVp9Opus, // the main input kind
    WebmVp8Vorbis,
    Mp4H264Aac,
    Flv,             // Sorenson Spark + MP3
    ThreeGp,         // H.263 + AAC, mono
    Mkv,             // H.264 + AC-3
    AudioM4a,        // AAC, no video
    AudioMp3,        // MP3, no video
    VideoOnly,       // VP9 WebM without audio
    TwoAudioStreams, // WebM: English stereo and German mono Opus
    Mono,            // WebM: VP8 + mono Vorbis at 22050 Hz
    Tagged,          // WebM with title, artist, album, date, genre, comment and track
    TaggedMp4,       // the same tags in MP4
    Chapters,        // WebM with three titled chapters of one second each
    Sample,          // the bundled sample, made by scripts/make-sample.sh
};

// One stream as ffprobe reports it.
struct TFixtureStream {
    QString Type;  // codec_type: "video" or "audio"
    QString Codec; // codec_name
    int Width = 0; // video
    int Height = 0;
    int Channels = 0; // audio
    int SampleRate = 0;
    QString Language; // empty: none set (ffprobe then shows no language or "und")
};

struct TFixtureChapter {
    QString Title;
    int StartMs = 0;
    int EndMs = 0;
};

// What a fixture holds, to check a reader against.
struct TFixtureInfo {
    EFixture Id;
    QString FileName;                              // in the cache folder; the extension names the container
    QString Format;                                // ffprobe's format_name
    int DurationMs = 0;                            // nominal; encoder delay and muxing add up to ~60 ms
    std::vector<TFixtureStream> Streams;           // in file order within each type; muxers order types
                                                   // differently (FLV puts audio first)
    std::vector<std::pair<QString, QString>> Tags; // container tags; keys are lower case, but matroska
                                                   // files store all but "title" in upper case
    std::vector<TFixtureChapter> Chapters;

    int StreamCount(const QString& Type) const;
};

const std::vector<TFixtureInfo>& AllMediaFixtures();
const TFixtureInfo& FixtureInfo(EFixture Id);

// ffmpeg's full path, or empty when it is not installed.
QString FfmpegPath();
// The cache folder of this recipe set (created on demand).
QString FixtureDir();

// The path of the fixture, made on first use. Empty, with a test failure recorded, when it cannot be
// made (call TW_REQUIRE_FIXTURES() first so that a missing ffmpeg skips instead).
QString Fixture(EFixture Id);
// The same into a given folder; Fixture() uses FixtureDir().
QString FixtureIn(const QString& Dir, EFixture Id);
// A private copy of the fixture in DestDir (named Name, or the fixture's own name) that a test may change.
QString CopyFixture(EFixture Id, const QString& DestDir, const QString& Name = {});

} // namespace testing_support

#define TW_REQUIRE_FIXTURES()                                                                                \
    do {                                                                                                     \
        if (::testing_support::FfmpegPath().isEmpty())                                                       \
            GTEST_SKIP() << "ffmpeg is not installed, so the media fixtures cannot be made "                 \
                            "(scripts/bootstrap.sh installs it)";                                            \
    } while (0)
