// The encoder command line: audio options, time range and seeks, stream choice, extension, and the texts of
// the player and the command-line window.
#include <gtest/gtest.h>

#include "tests/support/QtPrint.h"

#include <QLocale>

#include <functional>

#include "app/engine/EncoderParams.h"
#include "app/shell/AppStrings.h"
#include "rtl/SysUtils.h"
#include "win/kernel32/winbase.h"

using namespace engine;

namespace {

// A file with two audio streams: English stereo Opus at 96 kbit/s (stream #0:1) and German mono AAC
// whose bit rate is unknown (#0:2); 125 s long.
TVideoFileInfo TwoStreamFile() {
    TVideoFileInfo info;
    info.Seconds = 125;
    info.NumberOfAudioStreams = 2;
    info.AudioStreams[0].Exists = true;
    info.AudioStreams[0].CodecFF = QStringLiteral("opus");
    info.AudioStreams[0].Bitrate = 96;
    info.AudioStreams[0].StreamIndex = 1;
    info.AudioStreams[1].Exists = true;
    info.AudioStreams[1].Codec = QStringLiteral("AAC");
    info.AudioStreams[1].Bitrate = 0;
    info.AudioStreams[1].StreamIndex = 2;
    return info;
}

void SetTime(TEncoderPanel& P, bool Start, int H, int M, int S, int Ms) {
    (Start ? P.chTimeStart : P.chTimeEnd) = true;
    SetSpinEditInt(Start ? P.spedTimeStartH : P.spedTimeEndH, H);
    SetSpinEditInt(Start ? P.spedTimeStartM : P.spedTimeEndM, M);
    SetSpinEditInt(Start ? P.spedTimeStartS : P.spedTimeEndS, S);
    SetSpinEditInt(Start ? P.spedTimeStartMs : P.spedTimeEndMs, Ms);
}

struct AudioCase {
    const char* name;
    std::function<void(TEncoderPanel&)> set;
    const char16_t* expected;
};

class AudioPart : public ::testing::TestWithParam<AudioCase> {};

TEST_P(AudioPart, FollowsThePanel) {
    TEncoderPanel panel;
    panel.SetAudioTrackItems({QStringLiteral("1: eng"), QStringLiteral("2: ger")});
    GetParam().set(panel);
    TEncodingParams ep;
    EXPECT_EQ(GetAudioParamsStr(panel, TwoStreamFile(), ep, false), QString::fromUtf16(GetParam().expected));
    EXPECT_EQ(ep.LamePreset, -1);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AudioPart,
    ::testing::Values(
        AudioCase{"Mp3Cbr192", [](TEncoderPanel& p) { p.cbAudioBitrate.SetText(QStringLiteral("192")); },
                  u"-vn -sn -c:a libmp3lame -b:a 192k"},
        AudioCase{"Mp3AbrWithEveryOption",
                  [](TEncoderPanel& p) {
                      p.cbBitrateMode.SetItemIndex(1);
                      p.cbAudioBitrate.SetText(QStringLiteral("160"));
                      p.cbAudioStereoMode.SetItemIndex(2);
                      p.cbAudioAlgoQuality.SetItemIndex(3);
                      p.chAudioLowpass = true;
                      SetSpinEditInt(p.spedAudioLowpass, 15000);
                      p.cbAudioSampling.SetText(QStringLiteral("32000"));
                      p.cbAudioChannels.SetItemIndex(2);
                      p.tbAudioVolume.SetPosition(50);
                  },
                  u"-vn -sn -c:a libmp3lame -joint_stereo 1 -compression_level 2 -cutoff 15000 -b:a 160k -abr 1 -ar 32000 "
                  u"-ac 2 -af volume=0.50"},
        AudioCase{"MonoDropsTheStereoMode",
                  [](TEncoderPanel& p) {
                      p.cbAudioStereoMode.SetItemIndex(1);
                      p.cbAudioChannels.SetItemIndex(1);
                  },
                  u"-vn -sn -c:a libmp3lame -b:a 96k -ac 1"},
        AudioCase{"LrStereo", [](TEncoderPanel& p) { p.cbAudioStereoMode.SetItemIndex(1); },
                  u"-vn -sn -c:a libmp3lame -joint_stereo 0 -b:a 96k"},
        AudioCase{"AutoCbrRoundsTheStreamRate", [](TEncoderPanel&) {}, u"-vn -sn -c:a libmp3lame -b:a 96k"},
        AudioCase{"AutoOfAnUnknownRateIs128EvenInCbr", [](TEncoderPanel& p) { p.cbAudioTrackNo.SetItemIndex(2); },
                  u"-vn -sn -c:a libmp3lame -b:a 128k -map 0:2"},
        AudioCase{"PresetInsane",
                  [](TEncoderPanel& p) {
                      p.cbBitrateMode.SetItemIndex(2);
                      p.cbPresets.SetItemIndex(0);
                  },
                  u"-vn -sn -c:a libmp3lame -b:a 320k"},
        AudioCase{"PresetV2Louder",
                  [](TEncoderPanel& p) {
                      p.cbBitrateMode.SetItemIndex(2);
                      p.cbPresets.SetItemIndex(3);
                      p.tbAudioVolume.SetPosition(150);
                  },
                  u"-vn -sn -c:a libmp3lame -q:a 2 -af volume=1.50"},
        AudioCase{"WavTakesNoMp3Options",
                  [](TEncoderPanel& p) {
                      p.cbOutputFormat.SetItemIndex(ofWAV);
                      p.cbAudioBitrate.SetText(QStringLiteral("192"));
                      p.cbAudioStereoMode.SetItemIndex(2);
                      p.chAudioLowpass = true;
                      p.cbAudioSampling.SetText(QStringLiteral("44100"));
                      p.cbAudioChannels.SetItemIndex(2);
                  },
                  u"-vn -sn -ar 44100 -ac 2"},
        AudioCase{"ExtractSecondStream",
                  [](TEncoderPanel& p) {
                      p.cbOutputFormat.SetItemIndex(ofExtract);
                      p.cbAudioTrackNo.SetItemIndex(1);
                      p.tbAudioVolume.SetPosition(200);
                  },
                  u"-vn -sn -c:a copy -map 0:1"},
        AudioCase{"InvalidBitrateIsAnError", [](TEncoderPanel& p) { p.cbAudioBitrate.SetText(QStringLiteral("12x")); },
                  u"ERROR"},
        AudioCase{"InvalidSamplingIsAnErrorForWav",
                  [](TEncoderPanel& p) {
                      p.cbOutputFormat.SetItemIndex(ofWAV);
                      p.cbAudioSampling.SetText(QStringLiteral("fast"));
                  },
                  u"ERROR"},
        AudioCase{"ExtractionReadsNoBitrate",
                  [](TEncoderPanel& p) {
                      p.cbOutputFormat.SetItemIndex(ofExtract);
                      p.cbAudioBitrate.SetText(QStringLiteral("12x"));
                      p.cbAudioSampling.SetText(QStringLiteral("fast"));
                  },
                  u"-vn -sn -c:a copy"},
        AudioCase{"WavIgnoresAnInvalidBitrate",
                  [](TEncoderPanel& p) {
                      p.cbOutputFormat.SetItemIndex(ofWAV);
                      p.cbAudioBitrate.SetText(QStringLiteral("12x"));
                  },
                  u"-vn -sn"},
        AudioCase{"ATrackBeyondTheFileMapsNothing", [](TEncoderPanel& p) {
                      p.SetAudioTrackItems({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")});
                      p.cbAudioTrackNo.SetItemIndex(3);
                      p.cbAudioBitrate.SetText(QStringLiteral("64"));
                  },
                  u"-vn -sn -c:a libmp3lame -b:a 64k"}),
    [](const auto& Info) { return std::string(Info.param.name); });

TEST(AudioPart, AutoIsRecognisedInTheCurrentLanguage) {
    TEncoderPanel panel;
    TEngineTexts texts;
    texts.Auto = QStringLiteral("Automatisch");
    panel.SetTexts(texts);
    EXPECT_EQ(panel.cbAudioBitrate.Text(), QStringLiteral("Automatisch"));
    panel.cbAudioSampling.SetText(QStringLiteral("  automatisch "));
    TEncodingParams ep;
    EXPECT_EQ(GetAudioParamsStr(panel, TwoStreamFile(), ep, false), QStringLiteral("-vn -sn -c:a libmp3lame -b:a 96k"));
    panel.cbAudioSampling.SetText(QStringLiteral("Auto"));   // the English word is no longer "Auto"
    EXPECT_EQ(GetAudioParamsStr(panel, TwoStreamFile(), ep, false), QStringLiteral("ERROR"));
}

TEST(AudioPart, EngineTextsStartAsTheBuiltInEnglish) {
    shell::TAppStrings strings;
    strings.SetEN();
    const TEngineTexts t;
    EXPECT_EQ(t.Auto, strings.Main.Auto);
    EXPECT_EQ(t.FirstAudioTrack, strings.Main.FirstAudioTrack);
    EXPECT_EQ(t.CantCreateDirectory, strings.Main.CantCreateDirectory);
    EXPECT_EQ(t.Skipped, strings.Main.Skipped);
    EXPECT_EQ(t.OK_Renamed, strings.Main.OK_Renamed);
    EXPECT_EQ(t.OK_Overwritten, strings.Main.OK_Overwritten);
    EXPECT_EQ(t.ExtractAudioStream, strings.Main.ExtractAudioStream);
    EXPECT_EQ(t.cbProfile_TheLastSessionSettings, strings.Main.cbProfile_TheLastSessionSettings);
    EXPECT_EQ(t.cbProfile_DefaultSettings, strings.Main.cbProfile_DefaultSettings);
    EXPECT_EQ(t.CommandLineInfo, strings.Main.CommandLineInfo);
    EXPECT_EQ(t.cbOutputExists_Rename, strings.Main.cbOutputExists_Rename);
    EXPECT_EQ(t.cbOutputExists_Overwrite, strings.Main.cbOutputExists_Overwrite);
    EXPECT_EQ(t.cbOutputExists_Skip, strings.Main.cbOutputExists_Skip);
}

// ---- time range and seeks -------------------------------------------------------------------------------

struct RangeCase {
    const char* name;
    std::function<void(TEncoderPanel&)> set;
    const TFileRowInfo* row;
    int start, end, duration;   // the record's fields afterwards
    const char16_t* onePass;    // fIn "in", fOut "out"
};

const TFileRowInfo ChapterRow{QStringLiteral("/m/in.webm"), true, 10000, 70500, QStringLiteral("Intro"), QStringLiteral("1")};

class TimeRange : public ::testing::TestWithParam<RangeCase> {};

TEST_P(TimeRange, GivesSeeksAndLength) {
    const RangeCase& c = GetParam();
    TEncoderPanel panel;
    panel.cbAudioBitrate.SetText(QStringLiteral("128"));
    c.set(panel);
    TEncodingParams ep;
    ep.fIn = QStringLiteral("in");
    ep.fOut = QStringLiteral("out");
    TAppParams params;
    GetEncodingParams(panel, TwoStreamFile(), ep, false, c.row, params);
    EXPECT_EQ(ep.StartOffsetMs, c.start);
    EXPECT_EQ(ep.EndOffsetMs, c.end);
    EXPECT_EQ(ep.DurationMs, c.duration);
    EXPECT_EQ(ep.Params_OnePass, QString::fromUtf16(c.onePass));
    EXPECT_EQ(ep.ParamsALL, ep.ParamsAudio + u' ' + ep.ParamsAdditional);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TimeRange,
    ::testing::Values(
        RangeCase{"NoRangeIsTheWholeFile", [](TEncoderPanel&) {}, nullptr, -1, -1, 125000,
                  u"-y  -i \"in\" -vn -sn -c:a libmp3lame -b:a 128k  \"out\""},
        RangeCase{"StartAt30SeeksOnTheOutputOnly", [](TEncoderPanel& p) { SetTime(p, true, 0, 0, 30, 0); }, nullptr, 30000,
                  -1, -1, u"-y  -i \"in\" -ss 30.000 -vn -sn -c:a libmp3lame -b:a 128k  \"out\""},
        RangeCase{"StartAt40IsStillOneSeek", [](TEncoderPanel& p) { SetTime(p, true, 0, 0, 40, 0); }, nullptr, 40000, -1, -1,
                  u"-y  -i \"in\" -ss 40.000 -vn -sn -c:a libmp3lame -b:a 128k  \"out\""},
        RangeCase{"StartAt100SeeksTwice", [](TEncoderPanel& p) { SetTime(p, true, 0, 1, 40, 0); }, nullptr, 100000, -1, -1,
                  u"-y -ss 60.000 -i \"in\" -ss 40.000 -vn -sn -c:a libmp3lame -b:a 128k  \"out\""},
        RangeCase{"EndWithoutStartIsTheLength", [](TEncoderPanel& p) { SetTime(p, false, 0, 1, 0, 0); }, nullptr, -1, 60000,
                  60000, u"-y  -i \"in\" -vn -sn -c:a libmp3lame -b:a 128k -t 60.000 \"out\""},
        RangeCase{"StartAndEnd",
                  [](TEncoderPanel& p) {
                      SetTime(p, true, 0, 0, 1, 250);
                      SetTime(p, false, 0, 0, 2, 0);
                  },
                  nullptr, 1250, 2000, 750, u"-y  -i \"in\" -ss 1.250 -vn -sn -c:a libmp3lame -b:a 128k -t 0.750 \"out\""},
        RangeCase{"EndBeforeStartGivesNothing",
                  [](TEncoderPanel& p) {
                      SetTime(p, true, 0, 0, 20, 0);
                      SetTime(p, false, 0, 0, 10, 0);
                  },
                  nullptr, 20000, 0, 0, u"-y  -i \"in\" -ss 20.000 -vn -sn -c:a libmp3lame -b:a 128k -t 0.000 \"out\""},
        RangeCase{"UncheckedTimesAreIgnored",
                  [](TEncoderPanel& p) {
                      SetTime(p, true, 0, 0, 20, 0);
                      SetTime(p, false, 0, 0, 30, 0);
                      p.chTimeStart = p.chTimeEnd = false;
                  },
                  nullptr, -1, -1, 125000, u"-y  -i \"in\" -vn -sn -c:a libmp3lame -b:a 128k  \"out\""},
        RangeCase{"ChapterRowTakesItsOwnRange", [](TEncoderPanel& p) { SetTime(p, true, 0, 0, 5, 0); }, &ChapterRow, 10000,
                  70500, 60500, u"-y  -i \"in\" -ss 10.000 -vn -sn -c:a libmp3lame -b:a 128k -t 60.500 \"out\""}),
    [](const auto& Info) { return std::string(Info.param.name); });

TEST(TimeRange, AChapterWithoutARangeKeepsNothingOfThePreviousRow) {
    TEncoderPanel panel;
    panel.cbAudioBitrate.SetText(QStringLiteral("128"));
    TEncodingParams ep;
    ep.fIn = QStringLiteral("in");
    ep.fOut = QStringLiteral("out");
    TAppParams params;
    GetEncodingParams(panel, TwoStreamFile(), ep, false, &ChapterRow, params);
    ASSERT_EQ(ep.StartOffsetMs, 10000);

    const TFileRowInfo broken{QStringLiteral("/m/in.webm"), true, 5000, 5000, QString(), QStringLiteral("2")};
    GetEncodingParams(panel, TwoStreamFile(), ep, false, &broken, params);
    EXPECT_EQ(ep.StartOffsetMs, -1);
    EXPECT_EQ(ep.EndOffsetMs, -1);
    EXPECT_EQ(ep.DurationMs, 125000);
    EXPECT_EQ(ep.ParamsAdditional, QString());
    EXPECT_EQ(ep.Params_OnePass, QStringLiteral("-y  -i \"in\" -vn -sn -c:a libmp3lame -b:a 128k  \"out\""));
}

TEST(EncodingParams, FileNamesSurviveTheCommandLineSplit) {
    TEncoderPanel panel;
    TEncodingParams ep;
    ep.fIn = QStringLiteral("/m/a \"quoted\" name\\.webm");
    ep.fOut = QStringLiteral("/o/dir with blank\\/out\\\\");
    TAppParams params;
    GetEncodingParams(panel, TwoStreamFile(), ep, false, nullptr, params);
    const auto argv = TwCommandLineToArgv((QStringLiteral("ffmpeg ") + ep.Params_OnePass).toStdU16String());
    ASSERT_GE(argv.size(), 4u);
    EXPECT_EQ(QString::fromStdU16String(argv[3]), ep.fIn);
    EXPECT_EQ(QString::fromStdU16String(argv.back()), ep.fOut);
    EXPECT_TRUE(ep.DisableSubtitles);
    EXPECT_EQ(ep.ffmpeg, params.ffmpeg);
}

// ---- helpers -----------------------------------------------------------------------------------------------

TEST(RoundToStdBitrate, ClimbsTheLadderAndSnaps) {
    const std::pair<int, int> cases[] = {{50, 64},   {64, 64},   {65, 80},   {128, 128}, {130, 128}, {131, 160},
                                         {165, 160}, {171, 192}, {199, 192}, {201, 224}, {230, 224}, {231, 256},
                                         {260, 256}, {267, 320}, {400, 320}, {-5, 64}};
    for (const auto& [in, out] : cases) EXPECT_EQ(RoundToStdBitrate(in, 64, 64, 320), out) << in;
    EXPECT_EQ(RoundToStdBitrate(10, 64, 0, 2000), 32);
    EXPECT_EQ(RoundToStdBitrate(321, 64, 0, 2000), 384);
    EXPECT_EQ(RoundToStdBitrate(1472, 64, 0, 2000), 1472);
    EXPECT_EQ(RoundToStdBitrate(1473, 999, 0, 2000), 999);
}

TEST(CodecToFileExt, MapsTheCodecNames) {
    const std::pair<const char16_t*, const char16_t*> cases[] = {
        {u"pcm_s16be", u"aiff"}, {u"pcm_s16le", u"wav"}, {u"pcm_u8", u"wav"},     {u"pcm_f32le", u"wav"},
        {u"mp3", u"mp3"},        {u"mp3float", u"mp3"},  {u"truehd", u"thd"},     {u"liba52", u"ac3"},
        {u" AC3 ", u"ac3"},      {u"AC-3", u"ac3"},      {u"eac3", u"-"},         {u"wmav2", u"wma"},
        {u"aac", u"m4a"},        {u"MPEG4AAC", u"m4a"},  {u"mp4a", u"m4a"},       {u"aac_latm", u"-"},
        {u"mp2", u"mp2"},        {u"mp1", u"mpa"},       {u"flac", u"flac"},      {u"vorbis", u"ogg"},
        {u"alac", u"m4a"},       {u"dts", u"dts"},       {u"dtshd", u"dts"},      {u"amr_nb", u"amr"},
        {u"wavpack", u"wv"},     {u"opus", u"-"},        {u"", u"-"}};
    for (const auto& [codec, ext] : cases)
        EXPECT_EQ(CodecToFileExt(QString::fromUtf16(codec), QStringLiteral("-")), QString::fromUtf16(ext))
            << QString::fromUtf16(codec).toStdString();
}

TEST(VolumeToFactorStr, UsesAPointInEveryLocale) {
    const QLocale before = rtl::DefaultFormatLocale();
    rtl::SetDefaultFormatLocale(QLocale(QLocale::German, QLocale::Germany));
    ASSERT_EQ(LocaleDecimalSeparator(), u',');
    EXPECT_EQ(VolumeToFactorStr(150), QStringLiteral("1.50"));
    EXPECT_EQ(VolumeToFactorStr(5), QStringLiteral("0.05"));
    EXPECT_EQ(VolumeToFactorStr(300), QStringLiteral("3.00"));
    rtl::SetDefaultFormatLocale(before);
    EXPECT_EQ(VolumeToFactorStr(50), QStringLiteral("0.50"));
}

TEST(GetExt, FollowsTheFormatAndTheChosenStream) {
    TEncoderPanel panel;
    const TVideoFileInfo info = TwoStreamFile();
    EXPECT_EQ(GetExt(panel, info, true), QStringLiteral(".mp3"));
    panel.cbOutputFormat.SetItemIndex(ofWAV);
    EXPECT_EQ(GetExt(panel, info, false), QStringLiteral("wav"));
    panel.cbOutputFormat.SetItemIndex(-1);
    EXPECT_EQ(GetExt(panel, info, true), QStringLiteral(".wav"));
    EXPECT_EQ(GetAudioCodecStr(panel), QString());

    panel.cbOutputFormat.SetItemIndex(ofExtract);
    panel.SetAudioTrackItems({QStringLiteral("1"), QStringLiteral("2")});
    EXPECT_EQ(GetExt(panel, info, true), QStringLiteral(".WAV"));   // Opus has no file type of its own here
    panel.cbAudioTrackNo.SetItemIndex(2);                           // the library's name when the report had none
    EXPECT_EQ(GetExt(panel, info, true), QStringLiteral(".m4a"));
    EXPECT_EQ(GetExt(panel, TVideoFileInfo(), true), QStringLiteral(".WAV"));
}

// ---- the player and the command-line window -----------------------------------------------------------

TEST(PlayerParams, CarryStartLengthVolumeAndTitle) {
    TEncoderPanel panel;
    TEncodingParams ep;
    ep.fIn = QStringLiteral("/m/my song.webm");
    ep.StartOffsetMs = 75250;
    ep.DurationMs = 5000;
    panel.tbAudioVolume.SetPosition(120);
    EXPECT_EQ(GetFFplayParamsStr(panel, ep),
              QStringLiteral(" -i \"/m/my song.webm\" -ss 0075.250  -t 0005.000 -af volume=1.20  -sn -window_title "
                             "\"Tunewright - my song.webm - Press Q to exit!\""));
    ep.StartOffsetMs = 0;
    ep.DurationMs = 0;
    panel.tbAudioVolume.SetPosition(100);
    EXPECT_EQ(GetFFplayParamsStr(panel, ep),
              QStringLiteral(" -i \"/m/my song.webm\"  -sn -window_title \"Tunewright - my song.webm - Press Q to exit!\""));
}

TEST(PlayerParams, PreviewPipesTheEncoderIntoThePlayer) {
    TEncodingParams ep;
    ep.fIn = QStringLiteral("/m/in.webm");
    ep.ffplay = QStringLiteral("/usr/bin/ffplay");
    ep.StartOffsetQuickMs = 60000;
    ep.StartOffsetSlowMs = 40000;
    ep.ParamsAudio = QStringLiteral("-vn -sn -c:a libmp3lame -b:a 128k");
    ep.ParamsAdditional = QStringLiteral("-t 1.000");
    EXPECT_EQ(GetPreviewParams_Encoding(ep),
              QStringLiteral("-ss 0060.000  -i \"/m/in.webm\" -ss 0040.000 -vn -sn -c:a libmp3lame -b:a 128k -t 1.000 - | "
                             "\"/usr/bin/ffplay\" -i - -window_title \"Tunewright - Conversion Preview - Press Q to exit!\""));
}

TEST(CmdLineInfo, ShowsPlaceholdersWithoutARow) {
    TEncoderPanel panel;
    panel.cbAudioBitrate.SetText(QStringLiteral("192"));
    SetTime(panel, true, 0, 1, 40, 0);
    TEncodingParams ep;
    ep.fIn = QStringLiteral("<input_file>");
    ep.fOut = QStringLiteral("<output_file>");
    TAppParams params;
    GetEncodingParams(panel, TVideoFileInfo(), ep, false, nullptr, params);
    const TCmdLineInfo info = GetCmdLineInfo(panel, ep, GetExt(panel, TVideoFileInfo(), true));
    EXPECT_EQ(info.Caption, QStringLiteral("FFmpeg command-line parameters"));
    EXPECT_EQ(info.Params, QStringLiteral("-y -ss 60.000 -i \"<input_file>\" -ss 40.000 \r\n-vn -sn -c:a libmp3lame -b:a 192k"));
    EXPECT_EQ(info.OutputName, QStringLiteral("output_file.mp3"));
    EXPECT_EQ(info.Text().split(QStringLiteral("\r\n")).size(), 4);   // the parameters hold their own break
    EXPECT_TRUE(info.Text().endsWith(QStringLiteral("\r\n\"output_file.mp3\"")));
}

TEST(CmdLineInfo, ExtractionToWavDropsTheCopy) {
    TEncoderPanel panel;
    panel.cbOutputFormat.SetItemIndex(ofExtract);
    TEncodingParams ep;
    ep.fIn = QStringLiteral("/m/in.webm");
    ep.fOut = QStringLiteral("<output_file>");
    TAppParams params;
    const TVideoFileInfo info = TwoStreamFile();
    GetEncodingParams(panel, info, ep, false, nullptr, params);
    const TCmdLineInfo cmd = GetCmdLineInfo(panel, ep, GetExt(panel, info, true));
    EXPECT_EQ(cmd.Params, QStringLiteral("-y  -i \"/m/in.webm\" \r\n-vn -sn"));
    EXPECT_EQ(cmd.OutputName, QStringLiteral("output_file.WAV"));
}

} // namespace
