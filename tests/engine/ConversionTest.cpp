// The conversion run's row loop with a stand-in encoder: conversion, failure, skip, abort, forced stop,
// missing encoder, invalid parameters, batch scripts, file dates; the progress texts; the error log.
#include "app/engine/Conversion.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <utime.h>

#include "app/engine/ConRun.h"
#include "app/engine/Procs.h"
#include "rtl/DateUtils.h"
#include "rtl/Files.h"
#include "tests/support/Peers.h"
#include "tests/support/TempDir.h"

namespace {

using engine::String;
using testing_support::TempDir;

const QString FakeEncoder = QStringLiteral(TW_FAKE_ENCODER);

QStringList Lines(const rtl::TStrings& List) {
    QStringList out;
    for (int i = 0; i < List.Count(); ++i) out << List[i];
    return out;
}

// The windows of the run, recorded; a person's actions come from OnPump.
class RecordingView : public engine::TConversionView {
public:
    engine::TConversionRun* Run = nullptr;
    std::function<void(RecordingView&)> OnPump;
    uint64_t Now = 0;
    int PumpStep = 0; // clock milliseconds per pump

    bool ProgressShown = false;
    QStringList Messages, Questions, Statuses;
    bool Answer = false;
    int ErrorLogShown = 0;
    bool ErrorLogModal = false;
    String ErrorLogCaption;
    bool Closed = false;
    int AfterConversionCalls = 0;
    int LastBar = -1;

    void ShowProgress() override { ProgressShown = true; }
    void SetStatus(const String& Text, engine::TColor) override { Statuses << Text; }
    void SetBarPosition(int Value) override { LastBar = Value; }
    void Message(engine::TRunMessageKind, const String& Text) override { Messages << Text; }
    bool AskYesNo(const String& Text) override {
        Questions << Text;
        return Answer;
    }
    void SetErrorLogCaption(const String& Caption) override { ErrorLogCaption = Caption; }
    void ShowErrorLog(const engine::TErrorLog&, bool Modal) override {
        ++ErrorLogShown;
        ErrorLogModal = Modal;
    }
    void CloseMain() override { Closed = true; }
    void AfterConversion() override { ++AfterConversionCalls; }
    void ProcessMessages() override {
        Now += uint64_t(PumpStep);
        if (OnPump) OnPump(*this);
    }
    void Wait(int) override {}
};

class ConversionRun : public ::testing::Test {
protected:
    void SetUp() override {
        engine::InitAppParams(Params);
        Params.ffmpeg = FakeEncoder;
    }

    QString Input(const QString& Name, const QByteArray& Bytes = "media") {
        const QString path = Dir.QFile(Name);
        testing_support::WriteFileBytes(path, Bytes);
        return path;
    }
    QString AddRow(const QString& Name, bool Checked = true) {
        engine::TFileRow row;
        row.Info.FileName = Input(Name);
        row.Checked = Checked;
        Rows.Rows.push_back(row);
        return row.Info.FileName;
    }
    static QString Mp3(const QString& Input) { return rtl::ChangeFileExt(Input, QStringLiteral(".mp3")); }
    // Every input: 40 s of Opus.
    static engine::TVideoFileInfo OpusInfo(const String& FileName) {
        engine::TVideoFileInfo info;
        info.SetFileName(FileName);
        info.Seconds = 40;
        info.NumberOfAudioStreams = 1;
        info.AudioStreams[0].Exists = true;
        info.AudioStreams[0].Codec = QStringLiteral("Opus");
        info.AudioStreams[0].CodecFF = QStringLiteral("opus");
        return info;
    }

    engine::TRunResult Execute() {
        Run = std::make_unique<engine::TConversionRun>(Panel, Rows, View, Params);
        Run->Analyse = [](const String& FileName, const String&) { return OpusInfo(FileName); };
        Run->ErrorOutput = [this](const String& Text) { StdErr << Text; };
        Run->Clock = [this] { return View.Now; };
        Run->bSaveAsBatch = SaveAsBatch;
        Run->BatchFileName = BatchFile;
        Run->KeepFileDates = KeepDates;
        Run->Texts = Texts;
        View.Run = Run.get();
        return Run->Execute();
    }

    TempDir Dir;
    engine::TAppParams Params;
    engine::TEncoderPanel Panel;
    engine::TFileRows Rows;
    RecordingView View;
    std::unique_ptr<engine::TConversionRun> Run;
    engine::TRunTexts Texts;
    QStringList StdErr;
    bool SaveAsBatch = false;
    QString BatchFile;
    bool KeepDates = false;
};

TEST_F(ConversionRun, ConvertsTheCheckedRowsTopToBottom) {
    const QString a = AddRow(QStringLiteral("a.webm"));
    const QString b = AddRow(QStringLiteral("b.webm"), false);
    const QString c = AddRow(QStringLiteral("c.webm"));
    const engine::TRunResult r = Execute();

    EXPECT_EQ(r.ExitStatus(), 0);
    EXPECT_EQ(r.Checked, 2);
    EXPECT_EQ(r.Converted, 2);
    EXPECT_EQ(r.Outputs, QStringList({Mp3(a), Mp3(c)}));
    EXPECT_FALSE(QFile::exists(Mp3(b)));
    EXPECT_EQ(Run->CurrentFileNo, 2);
    EXPECT_EQ(Rows.Rows[0].Status, "Done");
    EXPECT_EQ(Rows.Rows[1].Status, ""); // untouched
    EXPECT_EQ(Rows.Rows[2].Status, "Done");
    EXPECT_TRUE(View.ProgressShown);
    EXPECT_EQ(View.LastBar, 100);
    EXPECT_EQ(View.Statuses.last(), "Done");
    EXPECT_EQ(View.AfterConversionCalls, 1);
    EXPECT_EQ(View.ErrorLogShown, 0);
    EXPECT_FALSE(View.Closed);
    EXPECT_FALSE(Run->bConverting);
    // The encoder got the input, the MP3 codec and the output, as separate arguments.
    const QStringList args = QString::fromUtf8(testing_support::ReadFileBytes(Mp3(a))).split(u'\n');
    EXPECT_EQ(args.mid(0, 3), QStringList({"-y", "-i", a}));
    EXPECT_TRUE(args.contains("libmp3lame"));
    EXPECT_EQ(args.at(args.size() - 2), Mp3(a));
    // The last progress line of the run: 10 s of 40.
    EXPECT_EQ(Run->ExpectedDurationSec, 40);
}

TEST_F(ConversionRun, AFailingRowIsLoggedNumberedAndTheRunGoesOn) {
    const QString bad = AddRow(QStringLiteral("fail.webm"));
    const QString good = AddRow(QStringLiteral("good.webm"));
    const engine::TRunResult r = Execute();

    EXPECT_EQ(r.ExitStatus(), 1);
    EXPECT_EQ(r.Failed, 1);
    EXPECT_EQ(r.Outputs, QStringList({Mp3(good)}));
    EXPECT_FALSE(QFile::exists(Mp3(bad)));
    EXPECT_EQ(Rows.Rows[0].Status, "Error (1)");
    EXPECT_EQ(Rows.Rows[1].Status, "Done");
    EXPECT_EQ(Run->ErrorLog.Count, 1);
    const QStringList log = Lines(Run->ErrorLog.Lines);
    ASSERT_GE(log.size(), 10);
    EXPECT_EQ(log.mid(0, 4), QStringList({engine::ErrorLogSeparator(), "", "Error # 1", ""}));
    EXPECT_TRUE(log[4].startsWith("Date & Time: "));
    EXPECT_EQ(log[5], "Input file: \"" + bad + "\"");
    EXPECT_EQ(log[6], "Output file: \"" + Mp3(bad) + "\"");
    EXPECT_TRUE(log[7].startsWith("Parameters: -y  -i ")) << log[7].toStdString();
    EXPECT_EQ(log[8], "");
    EXPECT_EQ(log[9], "ExitCode: 1");
    EXPECT_TRUE(log.contains("Error while decoding stream #0:1: Invalid argument"));
    // The noise filter ran over the encoder's output before it was logged.
    EXPECT_FALSE(log.join('\n').contains("configuration:"));
    EXPECT_FALSE(log.join('\n').contains("Press [q]"));
    EXPECT_EQ(View.ErrorLogShown, 1);
    EXPECT_FALSE(View.ErrorLogModal);
    EXPECT_EQ(View.ErrorLogCaption, "Errors (1)");
    EXPECT_EQ(View.AfterConversionCalls, 0); // not after errors
}

TEST_F(ConversionRun, TheSkipRuleCountsTheRowButRunsNothing) {
    const QString a = AddRow(QStringLiteral("a.webm"));
    testing_support::WriteFileBytes(Mp3(a), "mine");
    Panel.cbOutputExists.SetItemIndex(2);
    const engine::TRunResult r = Execute();
    EXPECT_EQ(r.ExitStatus(), 0);
    EXPECT_EQ(r.Skipped, 1);
    EXPECT_EQ(r.Converted, 0);
    EXPECT_EQ(Run->CurrentFileNo, 1);
    EXPECT_EQ(Rows.Rows[0].Status, "Skipped");
    EXPECT_EQ(testing_support::ReadFileBytes(Mp3(a)), "mine");
}

TEST_F(ConversionRun, AnEmptyOutputIsDeletedAndCountsAsFailed) {
    const QString a = AddRow(QStringLiteral("empty.webm"));
    const engine::TRunResult r = Execute();
    EXPECT_FALSE(QFile::exists(Mp3(a)));
    EXPECT_EQ(r.Failed, 1);
    EXPECT_EQ(r.ExitStatus(), 1);
    EXPECT_TRUE(r.Outputs.isEmpty());
}

// Parameters that cannot give a good output fail the row, with the reason in the language's words, and the
// run goes on. The status cell shows the reason on one line; the error log keeps its line breaks.
struct BadParamsCase {
    const char* name;
    std::function<void(engine::TEncoderPanel&)> set;
    const char* logged; // the reason's lines in the log, "|" between them
};

class BadParams : public ConversionRun, public ::testing::WithParamInterface<BadParamsCase> {};

TEST_P(BadParams, FailTheRowWithTheReason) {
    Texts.Error = QStringLiteral("Fehler");
    Texts.AudioBitrateMustBeInteger = QStringLiteral("Audio-Bitrate: %s\\nDie Bitrate muss eine ganze Zahl sein!");
    Texts.AudioSamplingMustBeInteger = QStringLiteral("Abtastrate: %s\\nDie Frequenz muss eine ganze Zahl sein!");
    AddRow(QStringLiteral("a.webm"));
    AddRow(QStringLiteral("b.webm"));
    GetParam().set(Panel);
    const engine::TRunResult r = Execute();
    EXPECT_EQ(r.EndedEarly, engine::reNone);
    EXPECT_EQ(r.Failed, 2);
    EXPECT_EQ(r.ExitStatus(), 1);
    EXPECT_TRUE(r.Outputs.isEmpty());
    const QStringList reason = QString::fromUtf8(GetParam().logged).split(u'|');
    for (const engine::TFileRow& row : Rows.Rows)
        EXPECT_EQ(row.Status, QStringLiteral("Fehler (") + reason.join(u' ') + u')');
    EXPECT_EQ(Run->ErrorLog.Count, 2);
    const QStringList log = Lines(Run->ErrorLog.Lines);
    const int at = log.indexOf(reason[0]);
    ASSERT_GE(at, 0) << log.join('\n').toStdString();
    EXPECT_EQ(log.mid(at, reason.size()), reason);
    EXPECT_NE(View.Statuses.last(), "Done");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadParams,
    ::testing::Values(
        BadParamsCase{"bitrate", [](engine::TEncoderPanel& p) { p.cbAudioBitrate.SetText("12x"); },
                      "Audio-Bitrate: 12x|Die Bitrate muss eine ganze Zahl sein!"},
        BadParamsCase{"sampling", [](engine::TEncoderPanel& p) { p.cbAudioSampling.SetText("44.1k"); },
                      "Abtastrate: 44.1k|Die Frequenz muss eine ganze Zahl sein!"},
        BadParamsCase{"both",
                      [](engine::TEncoderPanel& p) {
                          p.cbAudioBitrate.SetText("12x");
                          p.cbAudioSampling.SetText("44.1k");
                      },
                      "Audio-Bitrate: 12x|Die Bitrate muss eine ganze Zahl sein!|Abtastrate: 44.1k|Die Frequenz muss "
                      "eine ganze Zahl sein!"},
        // The language files have no text for an empty range: it stays English.
        BadParamsCase{"endAtZero",
                      [](engine::TEncoderPanel& p) { p.chTimeEnd = true; },
                      "The time range is empty: its end (00:00:00.000) is not after its start (00:00:00.000)."},
        BadParamsCase{"endBeforeStart",
                      [](engine::TEncoderPanel& p) {
                          p.chTimeStart = true;
                          p.spedTimeStartS.Value = 30;
                          p.chTimeEnd = true;
                          p.spedTimeEndS.Value = 20;
                      },
                      "The time range is empty: its end (00:00:20.000) is not after its start (00:00:30.000)."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ConversionRun, AChapterRowAfterARowWithAnEmptyRangeConverts) {
    const QString a = AddRow(QStringLiteral("a.webm"));
    engine::TFileRow chapter = Rows.Rows[0];
    chapter.Info.bChapter = true;
    chapter.Info.ChapterStartMs = 5000;
    chapter.Info.ChapterEndMs = 9000;
    chapter.Info.ChapterTitle = QStringLiteral("Two");
    Rows.Rows.push_back(chapter);
    Panel.chTimeEnd = true; // an end at 0: empty for the whole file, not for the chapter's own range
    const engine::TRunResult r = Execute();
    EXPECT_EQ(r.Failed, 1);
    EXPECT_EQ(r.Converted, 1);
    EXPECT_TRUE(Rows.Rows[0].Status.startsWith(QStringLiteral("Error (The time range is empty")));
    ASSERT_EQ(r.Outputs.size(), 1);
    EXPECT_NE(r.Outputs[0], Mp3(a));
}

TEST_F(ConversionRun, AGoodTimeRangeStillConverts) {
    const QString a = AddRow(QStringLiteral("a.webm"));
    Panel.chTimeStart = true;
    Panel.spedTimeStartS.Value = 5;
    Panel.chTimeEnd = true;
    Panel.spedTimeEndS.Value = 6;
    ASSERT_EQ(Execute().ExitStatus(), 0);
    const QStringList args = QString::fromUtf8(testing_support::ReadFileBytes(Mp3(a))).split(u'\n');
    const int t = args.indexOf("-t");
    ASSERT_GE(t, 0);
    EXPECT_EQ(args[t + 1], "1.000");
}

// Early ends: every one closes an unattended run, says why exactly once, and gives exit status 2.
struct EarlyEndCase {
    const char* name;
    int silent;
    bool missingEncoder; // else: an output folder that cannot be made
};

class EarlyEnd : public ConversionRun, public ::testing::WithParamInterface<EarlyEndCase> {};

TEST_P(EarlyEnd, ClosesWithStatusTwoAndOneMessage) {
    const auto& c = GetParam();
    AddRow(QStringLiteral("a.webm"));
    Params.RunParams.bAutoConvert = true;
    Params.RunParams.bAutoClose = true;
    Params.RunParams.Silent = c.silent;
    const QByteArray path = qgetenv("PATH");
    if (c.missingEncoder) {
        Params.ffmpeg = Dir.QFile(QStringLiteral("no-such-encoder"));
        Params.ToolsDir = Dir.QFile(QStringLiteral("no-tools"));
        qputenv("PATH", "/nonexistent");
    } else {
        Input(QStringLiteral("blocker"));
        Params.RunParams.OutDir = Dir.QFile(QStringLiteral("blocker/out"));
    }
    const engine::TRunResult r = Execute();
    qputenv("PATH", path);
    EXPECT_EQ(r.ExitStatus(), 2);
    EXPECT_TRUE(View.Closed);
    EXPECT_EQ(View.Messages.size() + StdErr.size(), 1) << (View.Messages + StdErr).join('|').toStdString();
    if (c.silent > 0)
        EXPECT_TRUE(View.Messages.isEmpty());
    else
        EXPECT_TRUE(StdErr.isEmpty());
    const QString said = (View.Messages + StdErr).join('|');
    EXPECT_TRUE(said.contains(c.missingEncoder ? "Could not find FFmpeg encoder!" : "Couldn't create directory"))
        << said.toStdString();
    EXPECT_FALSE(View.ProgressShown && c.silent > 0);
    EXPECT_FALSE(Run->bConverting);
}

INSTANTIATE_TEST_SUITE_P(Cases, EarlyEnd,
                         ::testing::Values(EarlyEndCase{"encoderLoud", 0, true}, EarlyEndCase{"encoderSilent", 1, true},
                                           EarlyEndCase{"folderLoud", 0, false},
                                           EarlyEndCase{"folderSilent", 1, false},
                                           EarlyEndCase{"folderNoErrors", 2, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ConversionRun, NothingCheckedEndsEarlyWithoutAWord) {
    AddRow(QStringLiteral("a.webm"), false);
    const engine::TRunResult r = Execute();
    EXPECT_EQ(r.EndedEarly, engine::reNothingChecked);
    EXPECT_TRUE(View.Messages.isEmpty());
    EXPECT_FALSE(View.ProgressShown);
}

TEST_F(ConversionRun, SilentUnattendedErrorsGoToStandardErrorNotToAWindow) {
    AddRow(QStringLiteral("fail.webm"));
    Params.RunParams.bAutoConvert = true;
    Params.RunParams.bAutoClose = true;
    Params.RunParams.Silent = 1;
    const engine::TRunResult r = Execute();
    EXPECT_EQ(r.ExitStatus(), 1);
    EXPECT_FALSE(View.ProgressShown);
    EXPECT_EQ(View.ErrorLogShown, 0);
    EXPECT_TRUE(View.Closed);
    ASSERT_EQ(StdErr.size(), 1);
    EXPECT_TRUE(StdErr[0].startsWith("Errors (1)\n")) << StdErr[0].toStdString();
    EXPECT_TRUE(StdErr[0].contains("ExitCode: 1"));

    // -SILENT=2: no error log at all, and still the close.
    StdErr.clear();
    View = RecordingView();
    Params.RunParams.Silent = 2;
    EXPECT_EQ(Execute().ExitStatus(), 1);
    EXPECT_TRUE(StdErr.isEmpty());
    EXPECT_TRUE(View.Closed);

    // Loud: the error log window, modally, then the close.
    View = RecordingView();
    Params.RunParams.Silent = 0;
    EXPECT_EQ(Execute().ExitStatus(), 1);
    EXPECT_EQ(View.ErrorLogShown, 1);
    EXPECT_TRUE(View.ErrorLogModal);
    EXPECT_TRUE(View.Closed);
}

class AbortRun : public ConversionRun, public ::testing::WithParamInterface<bool> {};

TEST_P(AbortRun, SendsQStopsTheLoopAndAsksAboutThePartialFile) {
    const QString a = AddRow(QStringLiteral("abort.webm"));
    const QString b = AddRow(QStringLiteral("later.webm"));
    View.Answer = GetParam();
    View.OnPump = [](RecordingView& v) {
        if (v.Run->bConverting && v.Run->EncoderOutputList.Text().contains("time=")) v.Run->Abort();
    };
    const engine::TRunResult r = Execute();

    EXPECT_TRUE(r.Aborted);
    EXPECT_EQ(r.ExitStatus(), 1);
    EXPECT_TRUE(Lines(Run->EncoderOutputList).contains("got q"));
    EXPECT_EQ(Rows.Rows[0].Status, "Aborted");
    EXPECT_EQ(Rows.Rows[1].Status, ""); // never reached
    EXPECT_FALSE(QFile::exists(Mp3(b)));
    ASSERT_EQ(View.Questions.size(), 1);
    EXPECT_TRUE(View.Questions[0].contains(Mp3(a)));
    EXPECT_EQ(QFile::exists(Mp3(a)), !GetParam());
    EXPECT_EQ(View.AfterConversionCalls, 0);
    EXPECT_FALSE(Run->bAbortRequested);
}

INSTANTIATE_TEST_SUITE_P(Answers, AbortRun, ::testing::Values(true, false),
                         [](const auto& info) { return std::string(info.param ? "yes" : "no"); });

// An abort while the second row is analysed: its output (an older whole file of the same name under the
// overwrite rule) and the first row's finished output are no partial files, so nothing is asked.
TEST_F(ConversionRun, AbortDuringTheAnalysisAsksNothing) {
    const QString a = AddRow(QStringLiteral("first.webm"));
    const QString b = AddRow(QStringLiteral("second.webm"));
    testing_support::WriteFileBytes(Mp3(b), "older whole file");
    Panel.cbOutputExists.SetItemIndex(1); // overwrite
    View.Answer = true;
    int analysed = 0;
    Run = std::make_unique<engine::TConversionRun>(Panel, Rows, View, Params);
    Run->Analyse = [&](const String& FileName, const String&) {
        if (++analysed == 2) Run->Abort();
        return OpusInfo(FileName);
    };
    Run->Clock = [this] { return View.Now; };
    View.Run = Run.get();
    const engine::TRunResult r = Run->Execute();

    EXPECT_TRUE(r.Aborted);
    EXPECT_TRUE(View.Questions.isEmpty()) << View.Questions.join('|').toStdString();
    EXPECT_TRUE(QFile::exists(Mp3(a)));
    EXPECT_EQ(testing_support::ReadFileBytes(Mp3(b)), "older whole file");
}

TEST_F(ConversionRun, AbortWhenIdleOnlyHidesTheWindow) {
    engine::TConversionRun run(Panel, Rows, View, Params);
    run.Abort();
    EXPECT_FALSE(run.bAbortRequested);
}

TEST_F(ConversionRun, AForcedStopKillsOnlyOurOwnEncoder) {
    // Another copy of the encoder, not our child, must survive.
    qint64 otherPid = 0;
    QProcess other;
    other.setProgram(FakeEncoder);
    other.setArguments({"-i", Input("stubborn-other.webm"), Dir.QFile("other.mp3")});
    other.setStandardOutputFile(QProcess::nullDevice());
    ASSERT_TRUE(other.startDetached(&otherPid));
    AddRow(QStringLiteral("stubborn.webm"));
    View.PumpStep = 300;
    View.OnPump = [](RecordingView& v) {
        if (v.Run->bConverting && !v.Run->bAbortRequested && v.Run->EncoderOutputList.Count() > 0) v.Run->Abort();
    };
    const engine::TRunResult r = Execute();
    // Still running: a killed process stays a zombie until whoever adopted it reaps it.
    QFile stat(QStringLiteral("/proc/%1/stat").arg(otherPid));
    const bool otherAlive = stat.open(QIODevice::ReadOnly) && !stat.readAll().contains(") Z ");
    ::kill(pid_t(otherPid), SIGKILL);

    EXPECT_TRUE(r.Aborted);
    EXPECT_EQ(Rows.Rows[0].Status, "Aborted");
    EXPECT_EQ(Run->ErrorLog.Count, 1); // killed: a non-zero exit code
    EXPECT_TRUE(otherAlive);
    EXPECT_EQ(View.ErrorLogShown, 0); // not after a forced stop
}

TEST_F(ConversionRun, BatchModeWritesAScriptThatShRunsToTheSameOutputs) {
    // Names the shell would expand or split if they were not quoted.
    const QString odd = AddRow(QStringLiteral("it's $HOME `id` %x \"q\" a  b.webm"));
    const QString plain = AddRow(QStringLiteral("plain.webm"));
    SaveAsBatch = true;
    BatchFile = Dir.QFile(QStringLiteral("convert.sh"));
    const engine::TRunResult r = Execute();

    EXPECT_EQ(r.ExitStatus(), 0);
    EXPECT_FALSE(QFile::exists(Mp3(odd))); // nothing ran
    EXPECT_FALSE(QFile::exists(Mp3(plain)));
    EXPECT_EQ(Rows.Rows[0].Status, ""); // no status cells in batch mode
    EXPECT_FALSE(View.ProgressShown);
    ASSERT_TRUE(QFile::exists(BatchFile));
    EXPECT_TRUE(QFileInfo(BatchFile).isExecutable());
    const QString text = QString::fromUtf8(testing_support::ReadFileBytes(BatchFile));
    const QStringList lines = text.split(u'\n');
    EXPECT_EQ(lines.mid(0, 5), QStringList({"#!/bin/sh", "# shellcheck disable=SC2016", "# UTF-8 encoding", "",
                                            "ffmpeg='" + FakeEncoder + "'"}));
    EXPECT_EQ(lines[5], "# //////// file 1 " + QString(93, u'/'));
    EXPECT_TRUE(lines[6].startsWith("\"$ffmpeg\" '-y' '-i' ")) << lines[6].toStdString();
    EXPECT_EQ(lines[7], "# //////// file 2 " + QString(93, u'/'));
    EXPECT_EQ(lines.at(lines.size() - 3), "");
    EXPECT_TRUE(lines.at(lines.size() - 2).contains("read -r"));

    if (testing_support::RequireTool("shellcheck")) {
        const auto check = testing_support::RunProgram("shellcheck", {BatchFile});
        EXPECT_TRUE(check.Ok()) << check.Describe() << check.Out.toStdString();
    }
    const auto sh = testing_support::RunProgram("/bin/sh", {BatchFile});
    ASSERT_TRUE(sh.Ok()) << sh.Describe();
    for (const QString& input : {odd, plain}) {
        const QStringList args = QString::fromUtf8(testing_support::ReadFileBytes(Mp3(input))).split(u'\n');
        EXPECT_EQ(args.mid(0, 3), QStringList({"-y", "-i", input}));
        EXPECT_EQ(args.at(args.size() - 2), Mp3(input));
    }
}

TEST_F(ConversionRun, KeepFileDatesGivesTheOutputTheInputsTimes) {
    const QString a = AddRow(QStringLiteral("a.webm"));
    struct utimbuf times {};
    times.actime = 1000000000;  // 2001-09-09
    times.modtime = 1100000000; // 2004-11-09
    ASSERT_EQ(::utime(QFile::encodeName(a).constData(), &times), 0);
    KeepDates = true;
    ASSERT_EQ(Execute().ExitStatus(), 0);
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(Mp3(a)).constData(), &st), 0);
    EXPECT_EQ(st.st_mtime, 1100000000);
    EXPECT_EQ(st.st_atime, 1000000000);

    KeepDates = false;
    Panel.cbOutputExists.SetItemIndex(1);
    ASSERT_EQ(Execute().ExitStatus(), 0);
    ASSERT_EQ(::stat(QFile::encodeName(Mp3(a)).constData(), &st), 0);
    EXPECT_GT(st.st_mtime, 1100000000);
}

TEST_F(ConversionRun, TheTagStepRunsOnlyAfterASuccessfulMp3OrExtraction) {
    AddRow(QStringLiteral("a.webm"));
    AddRow(QStringLiteral("fail.webm"));
    QStringList tagged;
    Run = nullptr;
    auto execute = [&] {
        Run = std::make_unique<engine::TConversionRun>(Panel, Rows, View, Params);
        Run->Analyse = [](const String& FileName, const String&) {
            engine::TVideoFileInfo info;
            info.SetFileName(FileName);
            return info;
        };
        Run->TagStep = [&](const String&, const String& Output, int Row) {
            tagged << rtl::ExtractFileName(Output) + u'@' + QString::number(Row);
        };
        View.Run = Run.get();
        return Run->Execute();
    };
    execute();
    EXPECT_EQ(tagged, QStringList({"a.mp3@0"}));
    tagged.clear();
    Panel.cbOutputFormat.SetItemIndex(engine::ofWAV);
    execute();
    EXPECT_TRUE(tagged.isEmpty());
}

// ---- progress texts ------------------------------------------------------------------------------------

TEST(ProgressTexts, FromAnEncoderProgressLine) {
    rtl::TStringList out;
    out.Add("Press [q] to stop, [?] for help");
    out.Add("size=     512kB time=00:00:10.00 bitrate= 419.4kbits/s speed=20.1x");
    engine::TProgressTexts t;
    ASSERT_TRUE(engine::GetProgressTexts(&out, 2, 5, 40, engine::TRunTexts(), t));
    EXPECT_EQ(t.Percent, 25);
    EXPECT_EQ(t.Status, "Converting file: 2 / 5  ::::  Complete: 25 %");
    EXPECT_EQ(t.AppTitle, "2 / 5  ::::  25% Tunewright 1.5  [64-bit]");
    EXPECT_EQ(t.Caption, "Progress: 25% (2 / 5)");
    EXPECT_EQ(t.RunTitle, "(2/5) 25 % - Tunewright");
    EXPECT_EQ(t.TimeText, "00:00:10.00 / 00:00:40");
    EXPECT_EQ(t.Values.Size, "512.00 KB");
    EXPECT_EQ(t.Values.Bitrate, "419.4 kbits/s");
    EXPECT_EQ(t.Values.Speed, "20.1x");

    // No expected duration: no percent, no status or titles, but the values still.
    ASSERT_TRUE(engine::GetProgressTexts(&out, 2, 5, 0, engine::TRunTexts(), t));
    EXPECT_EQ(t.Percent, 0);
    EXPECT_EQ(t.Status, "");
    EXPECT_EQ(t.Caption, "");
    EXPECT_EQ(t.TimeText, "00:00:10.00 / 00:00:00");
    EXPECT_EQ(t.Values.Speed, "20.1x");

    // Past the end: clamped to 100.
    ASSERT_TRUE(engine::GetProgressTexts(&out, 1, 1, 5, engine::TRunTexts(), t));
    EXPECT_EQ(t.Percent, 100);

    // A "Multiple frames" notice after the newest progress line holds this update back.
    out.Add("Multiple frames in a packet from stream 1");
    EXPECT_FALSE(engine::GetProgressTexts(&out, 2, 5, 40, engine::TRunTexts(), t));
}

// With a scan, the handler reuses the texts of an unchanged progress line: what it gives still equals
// reading the whole list afresh, whatever changed since the last line (a new progress line, the file
// number, the expected length, the language, a cleared list).
TEST(ProgressTexts, AScanGivesWhatTheWholeListGivesLineAfterLine) {
    rtl::TStringList out;
    engine::TEncoderProgressScan scan;
    engine::TRunTexts texts;
    int fileNo = 1, files = 3;
    int64_t expected = 40;
    int step = 0;
    const auto check = [&] {
        ++step;
        engine::TProgressTexts whole, incremental;
        const bool a = engine::GetProgressTexts(&out, fileNo, files, expected, texts, whole);
        const bool b = engine::GetProgressTexts(&out, fileNo, files, expected, texts, incremental, &scan);
        ASSERT_EQ(a, b) << "step " << step;
        EXPECT_EQ(QStringList({whole.Status, whole.AppTitle, whole.Caption, whole.RunTitle, whole.TimeText}),
                  QStringList({incremental.Status, incremental.AppTitle, incremental.Caption, incremental.RunTitle,
                               incremental.TimeText}))
            << "step " << step;
        EXPECT_EQ(whole.Percent, incremental.Percent) << "step " << step;
    };
    out.Add("size=     512kB time=00:00:10.00 bitrate= 419.4kbits/s speed=20.1x");
    check();
    out.Add("[mp3float @ 0x55] overread, skip -5 enddists: -1 -1");
    check();
    fileNo = 2;
    check();
    expected = 20;
    check();
    texts.ConvertingFile = "Konvertiere:";
    texts.Conversion_Complete = "Fertig:";
    texts.lblProgress = "Fortschritt:";
    check();
    out.Add("size=    1024kB time=00:00:15.00 bitrate= 419.4kbits/s speed=20.1x");
    check();
    out.Clear();
    check();
    out.Add("size=      64kB time=00:00:01.00 bitrate= 419.4kbits/s speed=20.1x");
    check();
    EXPECT_EQ(step, 8);
}

// ---- error log -----------------------------------------------------------------------------------------

TEST(ErrorLog, EntriesAreNumberedOnlyAboveZeroAndSkipEmptyParameters) {
    engine::TErrorLog log;
    engine::AddErrorLogEntry(log, "ExitCode: 3\r\nline one\r\nline two", "/in/a.webm", "/out/a.mp3", 2, "-y -i x");
    engine::AddErrorLogEntry(log, "plain", "/in/b.webm", "/out/b.mp3", 0, "");
    QStringList got = Lines(log.Lines);
    ASSERT_EQ(got.size(), 17);
    for (int i : {4, 12}) {
        EXPECT_TRUE(QRegularExpression("^Date & Time: \\S+ / \\S+").match(got[i]).hasMatch()) << got[i].toStdString();
        got[i] = got[i].left(13);
    }
    EXPECT_EQ(got, QStringList({"//------------------------------------------------------------", "", "Error # 2", "",
                                "Date & Time: ", "Input file: \"/in/a.webm\"", "Output file: \"/out/a.mp3\"",
                                "Parameters: -y -i x", "", "ExitCode: 3", "line one", "line two",
                                // the second entry: no number, no parameters
                                "Date & Time: ", "Input file: \"/in/b.webm\"", "Output file: \"/out/b.mp3\"", "",
                                "plain"}));
    engine::ClearErrorLog(log);
    EXPECT_EQ(log.Lines.Count(), 0);
    EXPECT_EQ(log.Count, 0);
}

// ---- shell quoting -------------------------------------------------------------------------------------

TEST(ShellQuoting, EveryArgumentComesBackExactly) {
    EXPECT_EQ(engine::ShellQuote("it's"), "'it'\\''s'");
    EXPECT_EQ(engine::ShellQuoteParams("-y -i \"/a b/$x `y` %z.webm\" -vn \"/o/\\\"q\\\".mp3\""),
              "'-y' '-i' '/a b/$x `y` %z.webm' '-vn' '/o/\"q\".mp3'");
    EXPECT_EQ(engine::ShellQuoteParams(engine::QuoteFileName("/tmp/back\\slash\\")), "'/tmp/back\\slash\\'");
}

} // namespace
