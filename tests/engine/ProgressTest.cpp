// The encoder-output side of the progress window: progress lines, the log filter, the forced stop.
#include "app/engine/Progress.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>

#include <memory>

#include "win/windows.h"

namespace {

std::unique_ptr<rtl::TStringList> ListOf(const QStringList& Lines) {
    auto list = std::make_unique<rtl::TStringList>();
    for (const QString& l : Lines) list->Add(l);
    return list;
}

QStringList Lines(rtl::TStrings& List) {
    QStringList out;
    for (int i = 0; i < List.Count(); ++i) out << List[i];
    return out;
}

TEST(EncoderProgress, ReadsTimeSizeBitrateAndSpeed) {
    auto list =
        ListOf({"Stream mapping:", "size=     512kB time=00:00:10.00 bitrate= 419.4kbits/s speed=20.1x"});
    engine::TEncoderProgress p;
    ASSERT_TRUE(engine::ParseEncoderProgress(list.get(), p));
    EXPECT_EQ(p.Time, "00:00:10.00");
    EXPECT_EQ(p.PositionSec, 10);
    EXPECT_EQ(p.Size, "512.00 KB");
    EXPECT_EQ(p.Bitrate, "419.4 kbits/s");
    EXPECT_EQ(p.Speed, "20.1x");
    EXPECT_EQ(engine::ProgressPercent(p.PositionSec, 40), 25);
}

TEST(EncoderProgress, TheNewestProgressLineDecides) {
    auto list =
        ListOf({"size=  100kB time=00:00:01.00 bitrate=  1.0kbits/s speed=1x",
                "size=  200kB time=00:00:30.50 bitrate=  2.0kbits/s speed=2x", "[mp3 @ 0x1] some notice"});
    engine::TEncoderProgress p;
    ASSERT_TRUE(engine::ParseEncoderProgress(list.get(), p));
    EXPECT_EQ(p.Time, "00:00:30.50");
    EXPECT_EQ(p.PositionSec, 30); // 30.5 rounds to even
    EXPECT_EQ(p.Speed, "2x");
}

TEST(EncoderProgress, AMultipleFramesNoticeBelowTheProgressLineStopsThisUpdateOnly) {
    auto list = ListOf({"size=  100kB time=00:00:01.00 bitrate=  1.0kbits/s speed=1x",
                        "Multiple frames in a packet from stream 1"});
    engine::TEncoderProgress p;
    EXPECT_FALSE(engine::ParseEncoderProgress(list.get(), p));
    list->Add("size=  300kB time=00:00:03.00 bitrate=  1.0kbits/s speed=1x");
    EXPECT_TRUE(engine::ParseEncoderProgress(list.get(), p));
    EXPECT_EQ(p.PositionSec, 3);
}

// The line handler's incremental reading gives what reading the whole list gives, line after line,
// across multiple-frames notices, a cleared list, a shrunk one and a rewritten one.
TEST(EncoderProgress, TheIncrementalScanReadsWhatTheWholeListSays) {
    rtl::TStringList list;
    engine::TEncoderProgressScan scan;
    int step = 0;
    auto check = [&] {
        ++step;
        engine::TEncoderProgress whole, incremental;
        const bool a = engine::ParseEncoderProgress(&list, whole);
        const bool b = scan.Scan(&list, incremental);
        ASSERT_EQ(a, b) << "step " << step;
        EXPECT_EQ(whole.Time, incremental.Time) << "step " << step;
        EXPECT_EQ(whole.Size, incremental.Size) << "step " << step;
        EXPECT_EQ(whole.PositionSec, incremental.PositionSec) << "step " << step;
    };
    auto progress = [](int sec) {
        return QStringLiteral("size=  %1kB time=00:00:%2.00 bitrate=  1.0kbits/s speed=1x")
            .arg(sec * 10)
            .arg(sec, 2, 10, QChar(u'0'));
    };
    for (const QString& line : {QStringLiteral("Stream mapping:"), progress(1), QStringLiteral("warning"),
                                progress(2), QStringLiteral("MULTIPLE FRAMES IN A PACKET FROM STREAM 0"),
                                QStringLiteral("noise"), progress(3), QStringLiteral("noise")}) {
        list.Add(line);
        check();
    }
    list.Delete(list.Count() - 1);
    list.Delete(list.Count() - 1); // back before the newest progress line
    check();
    list.Clear();
    check();
    list.Add(progress(7));
    check();
    list.SetStrings(0, progress(9)); // rewritten in place
    check();
    EXPECT_EQ(step, 12);
}

TEST(EncoderProgress, KeepsWhatALineDoesNotHold) {
    engine::TEncoderProgress p;
    p.Speed = "9x";
    engine::ParseEncoderProgressLine("size=N/A time=00:01:00.00 bitrate=N/A", p);
    EXPECT_EQ(p.Speed, "9x");
    EXPECT_EQ(p.Size, "N/A");
    EXPECT_EQ(p.Bitrate, "N/A");
    EXPECT_EQ(p.PositionSec, 60);
}

TEST(EncoderProgress, PercentStaysWithinItsRange) {
    EXPECT_EQ(engine::ProgressPercent(10, 0), 0);
    EXPECT_EQ(engine::ProgressPercent(0, 40), 0);
    EXPECT_EQ(engine::ProgressPercent(-5, 40), 0);
    EXPECT_EQ(engine::ProgressPercent(90, 40), 100);
    // The encoder shows a negative time before its first frame.
    engine::TEncoderProgress p;
    engine::ParseEncoderProgressLine("size=       0kB time=-577014:32:22.77 bitrate=  -0.0kbits/s speed=N/A",
                                     p);
    EXPECT_EQ(engine::ProgressPercent(p.PositionSec, 40), 0);
}

TEST(ClockSeconds, FollowsTheClockTextRules) {
    EXPECT_DOUBLE_EQ(engine::ParseClockSeconds("01:02:03,5"), 3723.5);
    EXPECT_DOUBLE_EQ(engine::ParseClockSeconds("00:00:10.00"), 10.0);
    EXPECT_DOUBLE_EQ(engine::ParseClockSeconds("N/A"), 0.0);
    EXPECT_DOUBLE_EQ(engine::ParseClockSeconds("1:30"), 3600.0);
    EXPECT_DOUBLE_EQ(engine::ParseClockSeconds("x:2:1.5"), 121.5);
}

TEST(EncoderLogFilter, RemovesNoiseAndKeepsTheRest) {
    auto list = ListOf({
        "ffmpeg version 5.1",                                // kept
        "  configuration: --prefix=/usr",                    // banner
        "  LIBAVCODEC     59. 37.100",                       // case-insensitive start
        "   ",                                               // blank
        "Press [q] to stop, [?] for help",                   // prompt
        "[mp3 @ 0x55] Header missing",                       // contained text
        "[h263 @ 0x1] warning, clipping 1 dct coefficients", // pair
        "warning: something else",                           // pair incomplete: kept
        "Input #0, matroska,webm, from 'a.webm':",           // kept
        "pts has no value",                                  // contained
        "x  libavutil   57",                                 // not at the start: kept
        "MULTIPLE FRAMES IN A PACKET FROM STREAM 0",         // a start in capitals
        "[mp3 @ 0x55] header missing",                       // contained texts keep their case: kept
        "enddists: -1 -1 after an overread",                 // a pair in the other order
        "trailing text: pts has no value",                   // contained at the very end
        "pts has no valu",                                   // one character short: kept
        "\u00a0 libavutil 57",                               // a first character outside ASCII: kept
    });
    rtl::TObject tag;
    list->SetObjects(8, &tag); // "Input #0": its object stays with it
    engine::FilterEncoderLog(list.get());
    EXPECT_EQ(Lines(*list), (QStringList{"ffmpeg version 5.1", "warning: something else",
                                         "Input #0, matroska,webm, from 'a.webm':", "x  libavutil   57",
                                         "[mp3 @ 0x55] header missing", "pts has no valu",
                                         QString::fromUtf8("\u00a0 libavutil 57")}));
    EXPECT_EQ(list->Objects(2), &tag);
    EXPECT_EQ(list->Objects(1), nullptr);
}

// The contained texts are looked for by a window that skips ahead: each is found wherever it stands
// (behind fillers that end like the start of another text), and a text missing one character, at its
// start, end or middle, is not.
TEST(EncoderLogFilter, FindsContainedTextsAtEveryPlaceAndNotTheirNearMisses) {
    const QStringList texts = {"enddists: -1 after an overread", "overread then enddists:", "concealing mpeg4",
                               "pts has no value", "Header missing", "ff asf skip", "Last message repeated",
                               "Using AVStream.codec to pass codec parameters to muxers is deprecated",
                               "vcd buffer underflow", "Error at MB: in mpeg4"};
    const QStringList fillers = {"", "x", "ab", "Head", "pts has no", "enddists", "ff asf", "Last messag",
                                 "Error at M", "0123456789abcdefghij"};
    for (const QString& text : texts)
        for (const QString& before : fillers)
            for (const QString& after : {QString(), QStringLiteral(" tail")}) {
                const QString line = "#" + before + text + after;
                auto list = ListOf({line});
                engine::FilterEncoderLog(list.get());
                EXPECT_EQ(list->Count(), 0) << line.toStdString();
            }
    for (const QString& text : {QStringLiteral("pts has no value"), QStringLiteral("Header missing"),
                                QStringLiteral("Last message repeated"), QStringLiteral("buffer underflow vcd")})
        for (const qsizetype at : {qsizetype(0), text.size() / 2, text.size() - 1}) {
            const QString line = "#" + QString(text).remove(at, 1) + " ok";
            auto list = ListOf({line});
            engine::FilterEncoderLog(list.get());
            EXPECT_EQ(list->Count(), 1) << line.toStdString();
        }
}

// A list that owns its objects frees those of the noise lines only (the sanitizer sees a leak or a
// second free); the kept lines keep theirs, in order, over a long log.
TEST(EncoderLogFilter, AnOwningListFreesOnlyTheNoisesObjects) {
    struct TTagged : rtl::TObject {
        explicit TTagged(int No) : No(No) {}
        int No;
    };
    rtl::TStringList list(true);
    for (int i = 0; i < 3000; ++i)
        list.AddObject(i % 3 ? QStringLiteral("Stream #0:%1: Audio").arg(i)
                             : QStringLiteral("Last message repeated %1 times").arg(i),
                       new TTagged(i));
    engine::FilterEncoderLog(&list);
    ASSERT_EQ(list.Count(), 2000);
    for (int k = 0; k < list.Count(); ++k) {
        const int no = static_cast<TTagged*>(list.Objects(k))->No;
        EXPECT_NE(no % 3, 0) << k;
        EXPECT_EQ(list[k], QStringLiteral("Stream #0:%1: Audio").arg(no)) << k;
        if (k) EXPECT_GT(no, static_cast<TTagged*>(list.Objects(k - 1))->No) << k;
    }
}

// ---- forced stop ---------------------------------------------------------------------------------------

struct Child {
    explicit Child(const QString& CommandLine) {
        std::u16string line = CommandLine.toStdU16String();
        Started = CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr,
                                 &Info);
    }
    ~Child() {
        if (!Started) return;
        TerminateProcess(Info.hProcess, 9);
        WaitForSingleObject(Info.hProcess, 5000);
        CloseHandle(Info.hProcess);
        CloseHandle(Info.hThread);
    }
    DWORD ExitCode(DWORD WaitMs) {
        WaitForSingleObject(Info.hProcess, WaitMs);
        DWORD code = 0;
        GetExitCodeProcess(Info.hProcess, &code);
        return code;
    }
    BOOL Started = FALSE;
    PROCESS_INFORMATION Info{};
};

TEST(TerminateApp, StopsOnlyTheChildrenRunningThatExecutable) {
    const QString fake = QStringLiteral(TW_FAKE_TOOL);
    Child a(fake + QStringLiteral(" sleep:20000")), b(fake + QStringLiteral(" sleep:20000"));
    Child other(QStringLiteral("/bin/sleep 20"));
    ASSERT_TRUE(a.Started && b.Started && other.Started);
    // Another spelling of the same file still names it.
    const QString spelled =
        QFileInfo(fake).absolutePath() + QStringLiteral("/./") + QFileInfo(fake).fileName();
    EXPECT_TRUE(engine::TerminateApp(spelled));
    EXPECT_EQ(a.ExitCode(5000), 1u);
    EXPECT_EQ(b.ExitCode(5000), 1u);
    EXPECT_EQ(other.ExitCode(0), DWORD(STILL_ACTIVE));
    EXPECT_FALSE(engine::TerminateApp(fake)); // nothing left to stop
}

} // namespace
