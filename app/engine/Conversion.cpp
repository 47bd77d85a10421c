// The conversion run.
#include "app/engine/Conversion.h"

#include <QFile>
#include <QSaveFile>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>
#include <thread>

#include "app/engine/Analysis.h"
#include "app/engine/ConRun.h"
#include "app/engine/EncoderParams.h"
#include "app/engine/Procs.h"
#include "base/DateTime.h"
#include "base/Files.h"
#include "rtl/DateUtils.h"
#include "rtl/Files.h"
#include "rtl/SysUtils.h"
#include "win/windows.h"

namespace engine {

namespace {

const String CrLf = QStringLiteral("\r\n");

// Milliseconds of a time-range control group.
int RangeMs(const TSpinEditModel& H, const TSpinEditModel& M, const TSpinEditModel& S, const TSpinEditModel& Ms) {
    return ((GetSpinEditInt(H) * 60 + GetSpinEditInt(M)) * 60 + GetSpinEditInt(S)) * 1000 + GetSpinEditInt(Ms);
}

// Why a row's time range gives no audio at all, or empty text. A chapter row brings its own range.
String EmptyRangeReason(const TEncoderPanel& Panel, const TFileRowInfo& Row) {
    if (Row.bChapter || !Panel.chTimeEnd) return String();
    const int start = Panel.chTimeStart ? RangeMs(Panel.spedTimeStartH, Panel.spedTimeStartM, Panel.spedTimeStartS,
                                                  Panel.spedTimeStartMs)
                                        : 0;
    const int end = RangeMs(Panel.spedTimeEndH, Panel.spedTimeEndM, Panel.spedTimeEndS, Panel.spedTimeEndMs);
    if (end > std::max(start, 0)) return String();
    return QStringLiteral("The time range is empty: its end (%1) is not after its start (%2).")
        .arg(base::MsToClockText(end, false), base::MsToClockText(std::max(start, 0), false));
}

// The language's texts for each typed value that is not a whole number, a line break between them.
String InvalidParamsReason(const TEncoderPanel& Panel, const TEncodingParams& ep, const TRunTexts& Texts) {
    QStringList parts;
    if (ep.AudioBitrateInvalid) parts << FillRunText(Texts.AudioBitrateMustBeInteger, Panel.cbAudioBitrate.Text());
    if (ep.AudioSamplingInvalid) parts << FillRunText(Texts.AudioSamplingMustBeInteger, Panel.cbAudioSampling.Text());
    if (parts.isEmpty()) parts << QStringLiteral("Invalid encoder parameters."); // never a failed row without a reason
    return parts.join(CrLf);
}

bool DeleteOutput(const String& FileName) {
    if (!rtl::FileExists(FileName, false)) return true;
    return base::ForceDeleteFile(FileName);
}

} // namespace

String FillRunText(const String& Text, const String& Arg1, const String& Arg2) {
    String s = Text;
    s.replace(QStringLiteral("\\n"), CrLf);
    s.replace(QStringLiteral("\\t"), QStringLiteral("\t"));
    int p = s.indexOf(QStringLiteral("%s"));
    if (p >= 0) s.replace(p, 2, Arg1);
    p = s.indexOf(QStringLiteral("%s"));
    if (p >= 0) s.replace(p, 2, Arg2);
    return s;
}

bool TFileRows::HasFile(const String& FileName) const {
    for (const TFileRow& r : Rows)
        if (!r.Info.bChapter && r.Info.FileName == FileName) return true;
    return false;
}

// ---- error log -----------------------------------------------------------------------------------------

String ErrorLogSeparator() {
    return QStringLiteral("//") + String(60, u'-');
}

void ClearErrorLog(TErrorLog& Log) {
    Log.Count = 0;
    Log.Lines.Clear();
}

void AddErrorLogEntry(TErrorLog& Log, const String& LogText, const String& InputFile, const String& OutputFile,
                      int Number, const String& Params) {
    rtl::TStringList& l = Log.Lines;
    if (Number > 0) {
        l.Add(ErrorLogSeparator());
        l.Add(String());
        l.Add(QStringLiteral("Error # ") + QString::number(Number));
        l.Add(String());
    }
    const rtl::TDateTime now = rtl::Now();
    l.Add(QStringLiteral("Date & Time: ") + rtl::DateToStr(now) + QStringLiteral(" / ") + rtl::TimeToStr(now));
    l.Add(QStringLiteral("Input file: \"") + InputFile + u'"');
    l.Add(QStringLiteral("Output file: \"") + OutputFile + u'"');
    if (!Params.isEmpty()) l.Add(QStringLiteral("Parameters: ") + Params);
    l.Add(String());
    String text = LogText;
    text.replace(CrLf, QStringLiteral("\n"));
    for (const String& line : text.split(u'\n')) l.Add(line);
}

// ---- batch script ---------------------------------------------------------------------------------------

String ShellQuote(const String& Text) {
    String s = Text;
    s.replace(u'\'', QStringLiteral("'\\''"));
    return u'\'' + s + u'\'';
}

String ShellQuoteParams(const String& Params) {
    // Split as the child's argument vector is made: behind a program name, whose own rules differ.
    const std::vector<std::u16string> args = TwCommandLineToArgv(u"x " + Params.toStdU16String());
    QStringList quoted;
    for (size_t i = 1; i < args.size(); ++i) quoted << ShellQuote(String::fromStdU16String(args[i]));
    return quoted.join(u' ');
}

void TBatchScript::Start() {
    // Names stand in single quotes on purpose: a "$" in one is a character, not an expansion.
    FLines = {QStringLiteral("#!/bin/sh"), QStringLiteral("# shellcheck disable=SC2016"), QStringLiteral("# UTF-8 encoding"),
              String()};
}

void TBatchScript::SetEncoder(const String& EncoderPath) {
    FLines << QStringLiteral("ffmpeg=") + ShellQuote(EncoderPath);
}

void TBatchScript::AddRowComment(int FileNo) {
    FLines << QStringLiteral("# //////// file ") + QString::number(FileNo) + u' ' + String(93, u'/');
}

void TBatchScript::AddCommand(const String& Params) {
    FLines << QStringLiteral("\"$ffmpeg\" ") + ShellQuoteParams(Params);
}

void TBatchScript::Finish() {
    // The pause waits only for a person at a terminal.
    FLines << String() << QStringLiteral("if [ -t 0 ]; then printf 'Press Enter to continue . . . '; read -r _; fi");
}

String TBatchScript::Text() const {
    return FLines.join(u'\n') + u'\n';
}

bool TBatchScript::SaveToFile(const String& FileName) const {
    QSaveFile file(FileName);
    if (!file.open(QIODevice::WriteOnly)) return false;
    const QByteArray bytes = Text().toUtf8();
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    file.setPermissions(file.permissions() | QFileDevice::ExeOwner | QFileDevice::ExeGroup | QFileDevice::ExeOther |
                        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                        QFileDevice::ReadOther);
    if (!file.commit()) return false;
    return QFile::setPermissions(FileName, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                                               QFileDevice::ReadGroup | QFileDevice::ExeGroup |
                                               QFileDevice::ReadOther | QFileDevice::ExeOther);
}

// ---- the view --------------------------------------------------------------------------------------------

void TConversionView::Wait(int Ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(Ms));
}

// ---- progress texts ----------------------------------------------------------------------------------

namespace {

void MakeProgressTexts(int FileNo, int FileCount, int64_t ExpectedSec, const TRunTexts& Texts, TProgressTexts& Result) {
    const int percent = ProgressPercent(Result.Values.PositionSec, ExpectedSec);
    Result.Percent = percent;
    const String no = QString::number(FileNo), count = QString::number(FileCount), pc = QString::number(percent);
    if (percent > 0) {
        Result.Status = Texts.ConvertingFile + u' ' + no + QStringLiteral(" / ") + count + QStringLiteral("  ::::  ") +
                        Texts.Conversion_Complete + u' ' + pc + QStringLiteral(" %");
        Result.AppTitle = no + QStringLiteral(" / ") + count + QStringLiteral("  ::::  ") + pc + QStringLiteral("% ") +
                          String::fromUtf16(AppTitleText);
        Result.Caption = Texts.lblProgress + u' ' + pc + QStringLiteral("% (") + no + QStringLiteral(" / ") + count + u')';
        Result.RunTitle = u'(' + no + u'/' + count + QStringLiteral(") ") + pc + QStringLiteral(" %") +
                          QStringLiteral(" - ") + String::fromUtf16(AppShortName);
    }
    if (!Result.Values.Time.isEmpty())
        Result.TimeText = Result.Values.Time + QStringLiteral(" / ") +
                          base::MsToClockText(std::clamp<int64_t>(ExpectedSec, 0, INT32_MAX / 1000) * 1000, true);
}

} // namespace

bool GetProgressTexts(rtl::TStrings* Output, int FileNo, int FileCount, int64_t ExpectedSec, const TRunTexts& Texts,
                      TProgressTexts& Result, TEncoderProgressScan* Scan) {
    Result = TProgressTexts();
    if (!(Scan ? Scan->Scan(Output, Result.Values) : ParseEncoderProgress(Output, Result.Values))) return false;
    if (Scan) {
        TEncoderProgressScan::TTextsMemo& m = Scan->Memo;
        if (m.Valid && m.FileNo == FileNo && m.FileCount == FileCount && m.ExpectedSec == ExpectedSec &&
            m.ConvertingFile == Texts.ConvertingFile && m.Complete == Texts.Conversion_Complete &&
            m.ProgressLabel == Texts.lblProgress) {
            Result = m.Texts;
            return true;
        }
        MakeProgressTexts(FileNo, FileCount, ExpectedSec, Texts, Result);
        m = {true, FileNo, FileCount, ExpectedSec, Texts.ConvertingFile, Texts.Conversion_Complete, Texts.lblProgress, Result};
        return true;
    }
    MakeProgressTexts(FileNo, FileCount, ExpectedSec, Texts, Result);
    return true;
}


// ---- the run ---------------------------------------------------------------------------------------------

int TRunResult::ExitStatus() const {
    if (EndedEarly != reNone) return 2;
    if (Failed > 0 || Aborted) return 1;
    return 0;
}

TConversionRun::TConversionRun(TEncoderPanel& Panel, TConvertList& List, TConversionView& View, TAppParams& Params)
    : VideoFileInfo(std::make_unique<TVideoFileInfo>()), FPanel(Panel), FList(List), FView(View), FParams(Params) {
    ErrorOutput = [](const String& Text) {
        const QByteArray bytes = Text.toUtf8();
        std::fprintf(stderr, "%s\n", bytes.constData());
        std::fflush(stderr);
    };
    Clock = [] { return uint64_t(GetTickCount64()); };
}

TConversionRun::~TConversionRun() = default;

bool TConversionRun::Silent() const {
    return FParams.RunParams.bAutoConvert && FParams.RunParams.Silent > 0;
}

void TConversionRun::Report(TRunMessageKind Kind, const String& Text) {
    // An unattended silent run has nobody to click a box away: the message goes to standard error.
    if (Silent()) {
        String t = Text;
        t.replace(CrLf, QStringLiteral("\n"));
        ErrorOutput(String::fromUtf16(AppShortName) + QStringLiteral(": ") + t);
    } else {
        FView.Message(Kind, Text);
    }
}

void TConversionRun::Abort() {
    if (bAbortRequested) return;
    if (!bConverting) {
        FView.HideProgress();
        return;
    }
    const QByteArray q = StrToOem(QStringLiteral("q"));
    WriteToChildStdIn(QString::fromLatin1(q)); // a failed write still arms the forced stop
    FAbortTick = Clock();
    FAbortTimerArmed = true;
    bAbortRequested = true;
}

void TConversionRun::AbortTimerFired() {
    FAbortTimerArmed = false;
    bForceKill = true;
}

void TConversionRun::ForceStop() {
    if (WriteToChildStdIn(QStringLiteral("q"))) FView.Wait(500);
    TerminateApp(GetFFmpegExe(FParams));
}

void TConversionRun::OnEncoderLine() {
    FView.ProcessMessages();
    if (FAbortTimerArmed && Clock() - FAbortTick >= uint64_t(AbortTimerMs)) AbortTimerFired();
    if (bForceKill) ForceStop();

    TProgressTexts t;
    if (!GetProgressTexts(&EncoderOutputList, CurrentFileNo, FilesToConvert, ExpectedDurationSec, Texts, t, &FProgressScan))
        return;
    if (t.Percent > 0) {
        FView.SetBarPosition(t.Percent);
        FView.SetStatusLine(t.Status, t.Percent);
        FView.SetAppTitle(t.AppTitle);
        FView.SetProgressCaption(t.Caption);
        if (bConverting) {
            FView.SetAppTitle(t.RunTitle);
            FView.SetMainCaption(t.RunTitle);
        }
    }
    FView.ShowEncoderValues(t.Values, t.TimeText);
}

void TConversionRun::FailRow(int Row, const String& Reason, const String& Input, const String& Output) {
    ++ErrorLog.Count;
    AddErrorLogEntry(ErrorLog, Reason, Input, Output, ErrorLog.Count, EncodingParams.Params_OnePass);
    // The log keeps the reason's line breaks; the status cell has one line.
    String line = Reason;
    line.replace(CrLf, QStringLiteral(" "));
    const String status = Texts.Error + QStringLiteral(" (") + line + u')';
    FView.SetStatus(status, FParams.ColorError);
    if (!bSaveAsBatch) FList.SetStatus(Row, status);
}

void TConversionRun::AskDeleteUnfinished(const String& FileName) {
    if (FileName.isEmpty() || !rtl::FileExists(FileName, false)) return;
    const String question = FillRunText(Texts.DeleteUnfinished, FileName);
    if (Silent()) {
        // Nobody can answer: the partial file is kept and named.
        Report(rmInfo, question);
        return;
    }
    if (!FView.AskYesNo(question)) return;
    if (!DeleteOutput(FileName)) Report(rmError, FillRunText(Texts.CannotDeleteFile, FileName));
}

TRunResult TConversionRun::FinishEarly(TRunResult Result) {
    FilterEncoderLog(&EncoderOutputList);
    bConverting = false;
    FView.EnableControls();
    FView.SetAppTitle(String::fromUtf16(AppTitleText));
    FView.SetProgressCaption(Texts.ProgressCaption);
    const bool stopped = Stopping();
    if (!stopped && FLastExitCode == 0 && !FLastRowFailed) FView.SetStatus(Texts.Done, -1);
    if (stopped) AskDeleteUnfinished(FLastOutput);
    bAbortRequested = false;
    FAbortTimerArmed = false;
    if (FView.CloseAfterConversion()) FView.HideProgress();
    Result.Aborted = stopped;
    // An unattended run always ends the program, early ends included.
    if (FParams.RunParams.bAutoClose) FView.CloseMain();
    return Result;
}

TConversionRun::TRowOutcome TConversionRun::ConvertRow(int Row, TRunResult& Result) {
    TEncodingParams& ep = EncodingParams;
    const TFileRowInfo row = FList.RowInfo(Row);

    // The row's own analysis: the encoder's report is started before the pause that comes first and read
    // after it, so the pause stays and the encoder's start-up passes inside it.
    std::optional<TPendingVideoFileInfo> pending;
    if (!Analyse) pending.emplace(row.FileName, ep.ffmpeg);
    FView.Wait(RowWaitMs);
    ++CurrentFileNo;

    VideoFileInfo->Clear();
    *VideoFileInfo = pending ? pending->Finish() : Analyse(row.FileName, ep.ffmpeg);
    const TVideoFileInfo& info = *VideoFileInfo;

    FView.Wait(RowWaitMs);
    FView.SetInputFile(row.FileName);
    FView.SetStatus(String(), -1);

    const String ext = GetExt(FPanel, info, true);
    String status = Texts.Done, sErr;
    const String output = FNamer->GetOutputFileName(row, ext, row.bChapter, status, sErr);
    if (sErr == QStringLiteral("skip")) return roSkipped;
    if (!sErr.isEmpty()) {
        Report(rmWarning, sErr);
        Result.EndedEarly = reOutputName;
        return roEnd;
    }

    const String dir = rtl::ExtractFileDir(output);
    if (!dir.isEmpty() && !rtl::DirectoryExists(dir)) {
        try {
            rtl::ForceDirectories(dir);
        } catch (const std::exception&) {
            // reported below: the folder is still missing
        }
    }
    if (!dir.isEmpty() && !rtl::DirectoryExists(dir)) {
        Report(rmWarning, FillRunText(FPanel.Texts.CantCreateDirectory, dir));
        Result.EndedEarly = reOutputFolder;
        return roEnd;
    }

    FView.SetBarPosition(0);
    FView.SetOutputFile(output);
    EncoderOutputList.Clear();
    FView.SetStatus(Texts.PleaseWait, -1);
    FView.ProcessMessages();

    ep.fIn = row.FileName;
    ep.fOut = output;
    GetEncodingParams(FPanel, info, ep, false, &row, FParams);
    ep.Params_OnePass = RunParamsOnePass(FPanel, ep, ext);

    ExpectedDurationSec = ep.DurationMs / 1000;
    if (ep.StartOffsetMs > 0 && ep.EndOffsetMs < 0) ExpectedDurationSec = int64_t(info.Seconds) - ep.StartOffsetMs / 1000;

    Batch.AddRowComment(CurrentFileNo);

    // Parameters that cannot give a good output fail the row, with the reason, instead of ending the run
    // without a word (or writing an output without audio).
    String reason;
    if (ep.ParamsAudio == QStringLiteral("ERROR") || ep.ParamsAdditional == QStringLiteral("ERROR"))
        reason = InvalidParamsReason(FPanel, ep, Texts);
    else
        reason = EmptyRangeReason(FPanel, row);
    if (!reason.isEmpty()) {
        FailRow(Row, reason, row.FileName, output);
        FLastRowFailed = true;
        return roFailed;
    }
    FLastRowFailed = false;

    FLastExitCode = 0;
    Batch.AddCommand(ep.Params_OnePass);

    TFileTimes times;
    bool timesRead = false;
    if (!bSaveAsBatch) {
        EncoderOutputList.Clear();
        FView.ClearEncoderValues();
        if (KeepFileDates) timesRead = GetFileTimes(row.FileName, times);
        // A blank in the encoder's path would split it on the command line: quoted then.
        const String exe = ep.ffmpeg.contains(u' ') || ep.ffmpeg.contains(u'"') ? QuoteFileName(ep.ffmpeg) : ep.ffmpeg;
        if (!Stopping()) {
            // Only a file the encoder was writing when the run stopped is offered for deletion: an
            // abort during the analysis must not name an earlier, whole file of the same name.
            FLastOutput = output;
            FLastExitCode = RunConsoleApp(exe, ep.Params_OnePass, &EncoderOutputList, SW_HIDE);
            if (!Stopping()) FLastOutput.clear();
        }
        if (FLastExitCode != 0) {
            status = Texts.Error + QStringLiteral(" (") + QString::number(FLastExitCode) + u')';
            ++ErrorLog.Count;
            FilterEncoderLog(&EncoderOutputList);
            AddErrorLogEntry(ErrorLog, QStringLiteral("ExitCode: ") + QString::number(FLastExitCode) + CrLf + EncoderOutputList.Text(),
                             row.FileName, output, ErrorLog.Count, ep.Params_OnePass);
            DeleteOutput(output);
        }
    }

    const bool stopped = Stopping();
    if (!stopped)
        FView.SetBarPosition(100);
    else
        status = Texts.Aborted;
    const bool ok = FLastExitCode == 0 && !stopped;
    FView.SetStatus(status, ok ? FParams.ColorOK : FParams.ColorError);
    if (!bSaveAsBatch) FList.SetStatus(Row, status);

    bool empty = false;
    if (!bSaveAsBatch && rtl::FileExists(output, false) && rtl::FileSizeByName(output) == 0) {
        DeleteOutput(output);
        empty = true;
    }

    const int format = FPanel.cbOutputFormat.ItemIndex();
    if (FLastExitCode == 0 && !bSaveAsBatch && !empty && (format == ofMP3 || format == ofExtract) && TagStep)
        TagStep(row.FileName, output, Row);

    if (KeepFileDates && timesRead && !bSaveAsBatch && rtl::FileExists(output, false)) SetFileTimes(output, times);

    if (stopped) return roEnd;
    if (FLastExitCode != 0 || empty) return roFailed;
    Result.Outputs << output;
    return roConverted;
}

TRunResult TConversionRun::Execute() {
    TRunResult result;
    TEncodingParams& ep = EncodingParams;

    bForceKill = false;
    bAbortRequested = false;
    FAbortTimerArmed = false;
    bConverting = true;
    CurrentFileNo = 0;
    ClearErrorLog(ErrorLog);
    FView.StopPreview();
    ep.StartOffsetMs = 0;
    FParams.KeepFileDates = KeepFileDates;
    FLastExitCode = 0;
    FLastRowFailed = false;
    FLastOutput.clear();

    FView.SetErrorLogCaption(Texts.ErrorsCaption);
    VideoFileInfo->Clear();
    GetEncodingParams(FPanel, *VideoFileInfo, ep, false, nullptr, FParams);
    FView.DisableControls();
    Batch.Start();

    if (ep.ffmpeg.isEmpty() || !rtl::FileExists(ep.ffmpeg)) {
        Report(rmWarning, FillRunText(Texts.FFmpegNotExists, QStringLiteral("Tunewright_PORTABLE.zip"),
                                      String::fromUtf16(AppShortName)));
        result.EndedEarly = reNoEncoder;
        return FinishEarly(result);
    }

    Batch.SetEncoder(ep.ffmpeg);
    FView.SetBarPosition(0);
    FView.SetAbortCaption(Texts.Abort);

    FilesToConvert = 0;
    for (int i = 0; i < FList.RowCount(); ++i)
        if (FList.IsChecked(i)) ++FilesToConvert;
    result.Checked = FilesToConvert;
    if (FilesToConvert == 0) {
        result.EndedEarly = reNothingChecked;
        return FinishEarly(result);
    }

    if (!bSaveAsBatch && !Silent()) FView.ShowProgress();

    FNamer = std::make_unique<TOutputNamer>(FPanel, FParams.RunParams, bSaveAsBatch);
    FNamer->Hooks.OnSkip = [this](const String& Status, const String& FileName, bool ShowInRow) {
        FView.SetOutputFile(FileName);
        FView.SetStatus(Status, -1);
        (void)ShowInRow; // the row's cell is set by the loop, which knows the row
    };

    // The runner hands every encoder line to the progress display while this run lasts.
    const TConsoleLineEvent savedHandler = OnConsoleLine;
    OnConsoleLine = [this](uint32_t, const String&, bool) { OnEncoderLine(); };
    struct Restore {
        TConsoleLineEvent Saved;
        ~Restore() { OnConsoleLine = Saved; }
    } restore{savedHandler};

    try {
        for (int i = 0; i < FList.RowCount(); ++i) {
            if (!FList.IsChecked(i)) continue;
            const TRowOutcome outcome = ConvertRow(i, result);
            if (outcome == roSkipped) {
                ++result.Skipped;
                if (!bSaveAsBatch) FList.SetStatus(i, FPanel.Texts.Skipped);
                continue;
            }
            if (outcome == roConverted) ++result.Converted;
            if (outcome == roFailed) ++result.Failed;
            if (outcome == roEnd) {
                if (result.EndedEarly != reNone) return FinishEarly(result);
                break; // aborted
            }
        }
    } catch (...) {
        result.EndedEarly = reException;
        FinishEarly(result);
        throw;
    }
    // Empty outputs are failures too, but the error log counts only numbered entries.
    result.Failed = std::max(result.Failed, ErrorLog.Count);

    // Normal end
    Batch.Finish();
    if (bSaveAsBatch && !Batch.SaveToFile(BatchFileName))
        Report(rmError, QStringLiteral("Cannot write the batch script \"%1\".").arg(BatchFileName));

    FView.SetAbortCaption(Texts.Close);
    FilterEncoderLog(&EncoderOutputList);
    bConverting = false;
    FView.EnableControls();
    FView.SetAppTitle(String::fromUtf16(AppTitleText));
    FView.SetProgressCaption(Texts.ProgressCaption);
    const bool stopped = Stopping();
    result.Aborted = stopped;
    if (!stopped && FLastExitCode == 0 && !FLastRowFailed) FView.SetStatus(Texts.Done, -1);

    if (stopped) AskDeleteUnfinished(FLastOutput);
    if (FView.CloseAfterConversion()) FView.HideProgress();

    const String errorsCaption = Texts.Errors + QStringLiteral(" (") + QString::number(ErrorLog.Count) + u')';
    if (FParams.RunParams.bAutoClose) {
        if (ErrorLog.Count > 0 && FParams.RunParams.Silent != 2) {
            FView.SetErrorLogCaption(errorsCaption);
            if (!bForceKill) {
                if (Silent())
                    ErrorOutput(errorsCaption + u'\n' + ErrorLog.Lines.Text().replace(CrLf, QStringLiteral("\n")));
                else
                    FView.ShowErrorLog(ErrorLog, true);
            }
        }
        FView.HideProgress();
        FView.CloseMain();
    } else {
        if (ErrorLog.Count > 0) {
            FView.SetErrorLogCaption(errorsCaption);
            if (!bForceKill) FView.ShowErrorLog(ErrorLog, false);
        }
        if (FilesToConvert > 0 && !stopped && ErrorLog.Count == 0) FView.AfterConversion();
        bForceKill = false;
    }
    bAbortRequested = false;
    FAbortTimerArmed = false;
    return result;
}

} // namespace engine
