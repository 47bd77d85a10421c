// The analysis library's binding and report, against fake libraries whose answers each test writes.
#include <gtest/gtest.h>

#include "tests/support/QtPrint.h"

#include <dlfcn.h>

#include <array>

#include "app/engine/MediaInfoDll.h"
#include "app/engine/MediaInfoReport.h"
#include "tests/support/TempDir.h"

namespace {

using engine::TVideoFileInfo;

const QString FullLib = QStringLiteral(TW_FAKE_MEDIAINFO_FULL);
const QString NoGetLib = QStringLiteral(TW_FAKE_MEDIAINFO_NOGET);
const QString NoAnsiLib = QStringLiteral(TW_FAKE_MEDIAINFO_NOANSI);

struct TCalls {
    int News = 0, Deletes = 0, Closes = 0, Opens = 0, Options = 0, Gets = 0;
};

// Every test starts and ends with no library bound: the binding keeps the first one it loads.
class FakeLibrary : public ::testing::Test {
protected:
    void SetUp() override { engine::UnloadMediaInfoLib(); }
    void TearDown() override { engine::UnloadMediaInfoLib(); }

    // The calls the loaded fake has seen since the last look.
    static TCalls Calls() {
        using TStats = void (*)(int*);
        auto Stats = reinterpret_cast<TStats>(dlsym(engine::MediaInfoLibHandle, "FakeMediaInfo_Stats"));
        std::array<int, 6> C{};
        if (Stats) Stats(C.data());
        return {C[0], C[1], C[2], C[3], C[4], C[5]};
    }
    static QString LastOption() {
        using TLast = const char* (*)();
        auto Last = reinterpret_cast<TLast>(dlsym(engine::MediaInfoLibHandle, "FakeMediaInfo_LastOption"));
        return Last ? QString::fromUtf8(Last()) : QString();
    }

    // A "media file" holding the fake's answers.
    QString Answers(const QString& Text, const QString& Name = QStringLiteral("clip.mkv")) {
        return Dir.Write(Name, Text.toUtf8());
    }

    // Reads the answers through the fake library into a record.
    TVideoFileInfo Read(const QString& Text, TVideoFileInfo Info = {}) {
        engine::ReadMediaInfo(Answers(Text), FullLib, Info);
        return Info;
    }

    testing_support::TempDir Dir;
};

TEST_F(FakeLibrary, BindsAllTwentyExports) {
    ASSERT_TRUE(engine::LoadMediaInfoLib(FullLib));
    const auto& L = engine::MediaInfoLib;
    const void* Slots[] = {reinterpret_cast<void*>(L.MediaInfo_New),
                           reinterpret_cast<void*>(L.MediaInfo_Delete),
                           reinterpret_cast<void*>(L.MediaInfo_Open),
                           reinterpret_cast<void*>(L.MediaInfo_Close),
                           reinterpret_cast<void*>(L.MediaInfo_Inform),
                           reinterpret_cast<void*>(L.MediaInfo_GetI),
                           reinterpret_cast<void*>(L.MediaInfo_Get),
                           reinterpret_cast<void*>(L.MediaInfo_Option),
                           reinterpret_cast<void*>(L.MediaInfo_State_Get),
                           reinterpret_cast<void*>(L.MediaInfo_Count_Get),
                           L.MediaInfoA_New,
                           L.MediaInfoA_Delete,
                           L.MediaInfoA_Open,
                           L.MediaInfoA_Close,
                           L.MediaInfoA_Inform,
                           L.MediaInfoA_GetI,
                           L.MediaInfoA_Get,
                           L.MediaInfoA_Option,
                           L.MediaInfoA_State_Get,
                           L.MediaInfoA_Count_Get};
    for (const void* Slot : Slots) EXPECT_NE(Slot, nullptr);
}

TEST_F(FakeLibrary, LibraryWithoutTheUnusedExportsStillServes) {
    ASSERT_TRUE(engine::LoadMediaInfoLib(NoAnsiLib));
    EXPECT_EQ(engine::MediaInfoLib.MediaInfoA_Get, nullptr);
    EXPECT_NE(engine::MediaInfoLib.MediaInfo_Get, nullptr);
    TVideoFileInfo Info;
    engine::ReadMediaInfo(Answers(QStringLiteral("0|0|StreamCount=1\n0|0|Format=WebM\n")), NoAnsiLib, Info);
    EXPECT_EQ(Info.Format, QStringLiteral("WebM"));
}

TEST_F(FakeLibrary, LibraryMissingACalledExportCountsAsNotLoaded) {
    EXPECT_FALSE(engine::LoadMediaInfoLib(NoGetLib));
    EXPECT_EQ(engine::MediaInfoLibHandle, nullptr);
    EXPECT_EQ(engine::MediaInfoLib.MediaInfo_New, nullptr);

    TVideoFileInfo Info;
    Info.Format = QStringLiteral("from the encoder");
    engine::ReadMediaInfo(Answers(QStringLiteral("0|0|StreamCount=1\n0|0|Format=WebM\n")), NoGetLib, Info);
    EXPECT_EQ(Info.Format, QStringLiteral("from the encoder"));
    // The next call tries again, and a good library then loads.
    EXPECT_TRUE(engine::LoadMediaInfoLib(FullLib));
}

TEST_F(FakeLibrary, FileThatIsNoLibraryFailsToLoad) {
    EXPECT_FALSE(engine::LoadMediaInfoLib(Dir.Write(QStringLiteral("libmediainfo.so.0"), "not a library\n")));
    EXPECT_FALSE(engine::LoadMediaInfoLib(Dir.QFile(QStringLiteral("missing.so"))));
    EXPECT_FALSE(engine::LoadMediaInfoLib(QString()));
    EXPECT_EQ(engine::MediaInfoLibHandle, nullptr);
}

TEST_F(FakeLibrary, FirstLoadedLibraryServesLaterPaths) {
    ASSERT_TRUE(engine::LoadMediaInfoLib(FullLib));
    void* const Handle = engine::MediaInfoLibHandle;
    EXPECT_TRUE(engine::LoadMediaInfoLib(NoGetLib));
    EXPECT_EQ(engine::MediaInfoLibHandle, Handle);
    EXPECT_NE(engine::MediaInfoLib.MediaInfo_Get, nullptr);
}

TEST_F(FakeLibrary, FailedOpenLeavesTheRecordAndReleasesTheHandle) {
    TVideoFileInfo Info;
    Info.Format = QStringLiteral("kept");
    Info.NumberOfDataStreams = 0;
    Info = Read(QStringLiteral("unopenable\n0|0|StreamCount=1\n0|0|Format=WebM\n"), Info);
    EXPECT_EQ(Info.Format, QStringLiteral("kept"));
    EXPECT_TRUE(Info.MediaInfoFull.isEmpty());
    const TCalls C = Calls();
    EXPECT_EQ(C.News, 1);
    EXPECT_EQ(C.Opens, 1);
    EXPECT_EQ(C.Closes, 1);
    EXPECT_EQ(C.Deletes, 1);
    EXPECT_EQ(C.Options, 0);
}

TEST_F(FakeLibrary, EveryAnalysedFileDeletesItsHandle) {
    for (int i = 0; i < 3; ++i) Read(QStringLiteral("0|0|StreamCount=1\n"));
    const TCalls C = Calls();
    EXPECT_EQ(C.News, 3);
    EXPECT_EQ(C.Closes, 3);
    EXPECT_EQ(C.Deletes, 3);
}

TEST_F(FakeLibrary, EmptyOrMissingInputsAreNeverOpened) {
    TVideoFileInfo Info;
    engine::ReadMediaInfo(Dir.Write(QStringLiteral("empty.webm"), QByteArray()), FullLib, Info);
    engine::ReadMediaInfo(Dir.QFile(QStringLiteral("missing.webm")), FullLib, Info);
    EXPECT_EQ(engine::MediaInfoLibHandle, nullptr); // not even loaded
    engine::ReadMediaInfo(Answers(QStringLiteral("0|0|StreamCount=1\n")), Dir.QFile(QStringLiteral("no.so")),
                          Info);
    EXPECT_EQ(engine::MediaInfoLibHandle, nullptr);
    EXPECT_EQ(Info.NumberOfDataStreams, 0);
}

TEST_F(FakeLibrary, TextsCrossTheWideCharacterBoundaryIntact) {
    // A name and a report outside the basic plane: UTF-16 pairs in, 32-bit characters at the library.
    const QString Name = QStringLiteral("Zo\u00eb \U0001F3B5 clip.mkv");
    TVideoFileInfo Info;
    engine::ReadMediaInfo(
        Answers(QStringLiteral("inform=General\\nTitle : Zo\u00eb \U0001F3B5\n0|0|StreamCount=1\n"
                               "0|0|Format=Zo\u00eb \U0001F3B5\n"),
                Name),
        FullLib, Info);
    EXPECT_EQ(Info.MediaInfoFull, QStringLiteral("General\nTitle : Zo\u00eb \U0001F3B5"));
    EXPECT_EQ(Info.Format, QStringLiteral("Zo\u00eb \U0001F3B5"));
    EXPECT_EQ(LastOption(), QStringLiteral("null:Complete=0")); // the option goes to no handle
}

TEST_F(FakeLibrary, ReadsContainerVideoAndAudioValues) {
    TVideoFileInfo Before;
    Before.Duration = 10000;
    Before.VideoStreams[0].PixelFormat = QStringLiteral("yuv420p");
    Before.VideoStreams[0].StreamIndex = 3;
    Before.AudioStreams[0].CodecFF = QStringLiteral("mp3");
    Before.AudioStreams[0].Exists = true;
    const TVideoFileInfo Info =
        Read(QStringLiteral("inform=General\n"
                            "0|0|StreamCount=1\n1|0|StreamCount=1\n2|0|StreamCount=2\n6|0|StreamCount=1\n"
                            "0|0|Format=Matroska\n0|0|OverallBitRate=1640000\n"
                            "0|0|Encoded_Library=Lavf59.27.100\n"
                            "1|0|Format=MPEG Video\n1|0|Format_Version=Version 2\n1|0|CodecID=V_MPEG2\n"
                            "1|0|Format_Profile=Main@Main\n1|0|BitRate=1500000\n1|0|Width=1280\n"
                            "1|0|Height=720\n1|0|DisplayAspectRatio=1.778\n"
                            "1|0|DisplayAspectRatio/String=16:9\n1|0|FrameRate=25.000\n"
                            "1|0|FrameCount=-1\n1|0|ScanType/String=Progressive\n"
                            "1|0|StreamSize=12884901888\n1|0|StreamSize/String=12.0 GiB (95%)\n"
                            "1|0|Encoded_Library/String=x264 core 164\n"
                            "2|0|Format=MPEG Audio\n2|0|Format_Version=Version 1\n2|0|CodecID/Hint=MP3\n"
                            "2|0|CodecID=A_MPEG/L3\n2|0|Duration=2016.000000\n"
                            "2|0|BitRate=128000 / 96000\n2|0|BitRate_Mode=VBR\n2|0|Channel(s)=2\n"
                            "2|0|Channel(s)/String=2 channels\n2|0|SamplingRate=44100\n"
                            "2|0|SamplingCount=88200\n2|0|Video_Delay=-5\n2|0|Language/String=English\n"
                            "2|0|StreamSize=3000000000\n2|0|StreamSize/String=2.79 GiB (4%)\n"
                            "2|0|Encoded_Library=LAME3.100\u015e\n"
                            "2|1|Format=AAC\n2|1|CodecID/Info=Advanced Audio Codec\n2|1|BitRate=127999\n"
                            "2|1|BitRate_Mode=CBR\n2|1|Channel(s)_Original=6\n2|1|Channel(s)=2\n"
                            "2|1|BitDepth=16\n2|1|Encoded_Library/String=Lavc\n"),
             Before);
    EXPECT_EQ(Info.MediaInfoFull, QStringLiteral("General"));
    EXPECT_EQ(Info.NumberOfVideoStreams, 1);
    EXPECT_EQ(Info.NumberOfAudioStreams, 2);
    EXPECT_EQ(Info.NumberOfDataStreams, 4); // video, two audio, menu
    EXPECT_TRUE(Info.MenuExists);
    EXPECT_EQ(Info.Format, QStringLiteral("Matroska"));
    EXPECT_EQ(Info.OverallBitrate, 1640);
    EXPECT_EQ(Info.EncodedApplication, QStringLiteral("Lavf59.27.100"));

    const auto& V = Info.VideoStreams[0];
    EXPECT_EQ(V.Codec, QStringLiteral("MPEG Video - Version 2"));
    EXPECT_EQ(V.CodecID, QStringLiteral("V_MPEG2"));
    EXPECT_EQ(V.Profile, QStringLiteral("Main@Main"));
    EXPECT_EQ(V.Bitrate, 1500);
    EXPECT_EQ(V.Width, 1280);
    EXPECT_EQ(V.Height, 720);
    EXPECT_DOUBLE_EQ(V.DAR, 1.778);
    EXPECT_EQ(V.DARStr, QStringLiteral("16:9"));
    EXPECT_DOUBLE_EQ(V.FPS, 25);
    EXPECT_EQ(V.Frames, 250u); // a negative count is worked out from the duration
    EXPECT_NEAR(V.BitsPerPixel, 1500000.0 / 23040000.0, 1e-12);
    EXPECT_EQ(V.ScanType, QStringLiteral("Progressive"));
    EXPECT_EQ(V.StreamSize, 12884901888LL); // past 2 GiB
    EXPECT_EQ(V.StreamSizeStr, QStringLiteral("12.0 GB"));
    EXPECT_EQ(V.StreamSizeInPercent, 95);
    EXPECT_EQ(V.EncodedLibrary, QStringLiteral("x264 core 164"));
    EXPECT_EQ(V.PixelFormat, QStringLiteral("yuv420p")); // the encoder's values stay
    EXPECT_EQ(V.StreamIndex, 3);

    const auto& A = Info.AudioStreams[0];
    EXPECT_EQ(A.Codec, QStringLiteral("MPEG Audio - Version 1 (MP3)"));
    EXPECT_EQ(A.CodecID, QStringLiteral("A_MPEG/L3"));
    EXPECT_EQ(A.DurationMs, 2016);
    EXPECT_DOUBLE_EQ(Info.Duration, 10000); // the report's duration stays
    EXPECT_EQ(A.Bitrate, 112);
    EXPECT_EQ(A.BitrateMode, QStringLiteral("VBR"));
    EXPECT_EQ(A.Channels, 2);
    EXPECT_EQ(A.ChannelsStr, QStringLiteral("2 channels"));
    EXPECT_EQ(A.SamplingRate, 44100);
    EXPECT_EQ(A.Frames, 88200u);
    EXPECT_EQ(A.VideoDelay, -5);
    EXPECT_EQ(A.Language, QStringLiteral("English"));
    EXPECT_EQ(A.StreamSize, 3000000000LL);
    EXPECT_EQ(A.StreamSizeStr, QStringLiteral("2.79 GB"));
    EXPECT_EQ(A.StreamSizeInPercent, 4);
    EXPECT_EQ(A.EncodedLibrary, QStringLiteral("LAME3.100"));
    EXPECT_EQ(A.CodecFF, QStringLiteral("mp3"));
    EXPECT_TRUE(A.Exists);

    const auto& B = Info.AudioStreams[1];
    EXPECT_EQ(B.Codec, QStringLiteral("AAC (Advanced Audio Codec)"));
    EXPECT_EQ(B.Bitrate, 128); // 127999 at a constant rate
    EXPECT_EQ(B.Channels, 6);  // the original count wins
    EXPECT_EQ(B.BitsPerSample, 16);
    EXPECT_EQ(B.EncodedLibrary, QStringLiteral("Lavc"));
    EXPECT_FALSE(B.Exists);
}

TEST_F(FakeLibrary, FirstAudioDurationFillsAnEmptyFileDuration) {
    const TVideoFileInfo Info = Read(QStringLiteral("2|0|StreamCount=1\n2|0|Duration=2016\n"));
    EXPECT_DOUBLE_EQ(Info.Duration, 2016);
    EXPECT_EQ(Info.DurationStr, QStringLiteral("00:00:02.016"));
    EXPECT_EQ(Info.Seconds, 0u);
    EXPECT_EQ(Info.Format, QString()); // no general stream count: no container values
}

TEST_F(FakeLibrary, AudioOnlyFileTakesTheOverallBitrate) {
    TVideoFileInfo Info =
        Read(QStringLiteral("0|0|StreamCount=1\n2|0|StreamCount=1\n0|0|OverallBitRate=64000\n"
                            "2|0|BitRate=60000\n"));
    EXPECT_EQ(Info.NumberOfDataStreams, 1);
    EXPECT_EQ(Info.AudioStreams[0].Bitrate, 64);
}

TEST_F(FakeLibrary, CountsKeepTheLibraryNumbersBeyondTheSlots) {
    QString Text = QStringLiteral("0|0|StreamCount=1\n1|0|StreamCount=12\n2|0|StreamCount=300\n");
    for (int i = 0; i < 12; ++i) Text += QStringLiteral("1|%1|Width=%2\n").arg(i).arg(100 + i);
    const TVideoFileInfo Info = Read(Text);
    EXPECT_EQ(Info.NumberOfVideoStreams, 12);
    EXPECT_EQ(Info.NumberOfAudioStreams, 255);
    EXPECT_EQ(Info.NumberOfDataStreams, 312);
    EXPECT_EQ(Info.VideoStreams[9].Width, 109);
}

TEST_F(FakeLibrary, BitsPerPixelAnswerReplacesTheComputedValue) {
    const TVideoFileInfo Info =
        Read(QStringLiteral("1|0|StreamCount=1\n1|0|BitRate=1500000\n1|0|Width=1280\n"
                            "1|0|Height=720\n1|0|FrameRate=25\n1|0|Bits-(Pixel*Frame)=0,065\n"));
    EXPECT_DOUBLE_EQ(Info.VideoStreams[0].BitsPerPixel, 0.065);
}

struct SizeCase {
    const char16_t* Text;
    const char16_t* SizeStr;
    int Percent;
};
class SizeTextTable : public ::testing::TestWithParam<SizeCase> {};

TEST_P(SizeTextTable, ShortensUnitsAndReadsThePercentage) {
    QString Size;
    uint8_t Percent = 7;
    engine::ReadStreamSizeText(QString::fromUtf16(GetParam().Text), Size, Percent);
    EXPECT_EQ(Size, QString::fromUtf16(GetParam().SizeStr));
    EXPECT_EQ(Percent, GetParam().Percent);
}

INSTANTIATE_TEST_SUITE_P(Cases, SizeTextTable,
                         ::testing::Values(SizeCase{u"1.20 MiB (45%)", u"1.20 MB", 45},
                                           SizeCase{u"512 KiB", u"512 KB", 7},
                                           SizeCase{u"1.5 gib (100%)", u"1.5 GB", 100},
                                           SizeCase{u"900 Bytes (x%)", u"900 Bytes", 7},
                                           SizeCase{u"", u"", 7}));

struct BitrateCase {
    const char16_t* Text;
    bool Read;
    int Kbps;
};
class AudioBitrateTable : public ::testing::TestWithParam<BitrateCase> {};

TEST_P(AudioBitrateTable, ReadsSingleAndDoubleRates) {
    int Kbps = -99;
    EXPECT_EQ(engine::ReadMediaInfoAudioBitrate(QString::fromUtf16(GetParam().Text), Kbps), GetParam().Read);
    EXPECT_EQ(Kbps, GetParam().Read ? GetParam().Kbps : -99);
}

INSTANTIATE_TEST_SUITE_P(Cases, AudioBitrateTable,
                         ::testing::Values(BitrateCase{u"128000", true, 128},
                                           BitrateCase{u"128000 / 96000", true, 112},
                                           BitrateCase{u"-1", true, 0}, BitrateCase{u"999", true, 0},
                                           BitrateCase{u"", false, 0}, BitrateCase{u"VBR", false, 0},
                                           BitrateCase{u"128000 / x", false, 0}));

TEST(MediaInfoAudioCodecName, JoinsFormatVersionAndHint) {
    EXPECT_EQ(engine::MediaInfoAudioCodecName(QStringLiteral("AAC"), {}, {},
                                              QStringLiteral("Advanced Audio Codec")),
              QStringLiteral("AAC (Advanced Audio Codec)"));
    EXPECT_EQ(engine::MediaInfoAudioCodecName(QStringLiteral("MPEG Audio"), QStringLiteral("Version 1"),
                                              QStringLiteral("MP3"), {}),
              QStringLiteral("MPEG Audio - Version 1 (MP3)"));
    EXPECT_EQ(engine::MediaInfoAudioCodecName(QStringLiteral("Opus"), {}, QStringLiteral("Opus"), {}),
              QStringLiteral("Opus"));
    EXPECT_EQ(engine::MediaInfoAudioCodecName(QStringLiteral("PCM"), {}, QStringLiteral("1"),
                                              QStringLiteral("Microsoft PCM")),
              QStringLiteral("PCM (Microsoft PCM)"));
}

} // namespace
