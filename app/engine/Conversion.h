// app/engine/Conversion.h: the conversion run: every checked row of the file list through the encoder,
// with the progress display, abort, error log, batch script, tags and file dates. The run talks to the
// windows only through TConversionView, so it also runs, and is tested, without a display.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "app/engine/EncoderPanel.h"
#include "app/engine/OutputNames.h"
#include "app/engine/Progress.h"
#include "app/engine/Types.h"
#include "rtl/Classes.h"

namespace engine {

// The file list as the run reads and marks it (the main window's grid, or a plain list of rows).
class TConvertList {
public:
    virtual ~TConvertList() = default;
    virtual int RowCount() const = 0;
    virtual bool IsChecked(int Row) const = 0;
    virtual TFileRowInfo RowInfo(int Row) const = 0; // path and chapter cells
    virtual void SetStatus(int Row, const String& Status) = 0;
};

// 0 <= Row < the list's row count.
inline bool IsValidGridRow(const TConvertList& Grid, int Row) {
    return Row >= 0 && Row < Grid.RowCount();
}

// One row of TFileRows.
struct TFileRow {
    TFileRowInfo Info;
    bool Checked = true;
    String Status;
};

// The file list without a grid: what the unattended start fills from the command line.
class TFileRows : public TConvertList {
public:
    std::vector<TFileRow> Rows;

    int RowCount() const override { return int(Rows.size()); }
    bool IsChecked(int Row) const override { return Rows[size_t(Row)].Checked; }
    TFileRowInfo RowInfo(int Row) const override { return Rows[size_t(Row)].Info; }
    void SetStatus(int Row, const String& Status) override { Rows[size_t(Row)].Status = Status; }
    // True when a file row (not a chapter row) of this path is listed already.
    bool HasFile(const String& FileName) const;
};

// The language texts the run shows (English until the main window copies the chosen language in).
struct TRunTexts {
    // section MAIN
    String Error = QStringLiteral("Error");
    String Errors = QStringLiteral("Errors");
    String Abort = QStringLiteral("Abort");
    String Aborted = QStringLiteral("Aborted");
    String Close = QStringLiteral("Close");
    String Done = QStringLiteral("Done");
    String PleaseWait = QStringLiteral("Please wait...");
    String FFmpegNotExists = QStringLiteral(
        "Could not find FFmpeg encoder!\\n\\nRemember to extract ALL files from the original ZIP archive (%s). "
        "Especially tools directory and all EXE and DLL files.\\n\\nYou can download the latest version of %s "
        "from www.tunewright.example.");
    String DeleteUnfinished = QStringLiteral(
        "The conversion has been aborted.\\n\\nDo you want to delete a partially converted file:\\n\\n%s");
    String CannotDeleteFile = QStringLiteral("Cannot delete file:\\n\\n%s");
    String AudioBitrateMustBeInteger = QStringLiteral("Audio bitrate: %s\\nBitrate must be an integer value!");
    String AudioSamplingMustBeInteger =
        QStringLiteral("Audio sampling frequency: %s\\nFrequency must be an integer value!");
    // section Errors
    String ErrorsCaption = QStringLiteral("Errors");
    // section Progress
    String ProgressCaption = QStringLiteral("Conversion");
    String lblProgress = QStringLiteral("Progress:");
    String ConvertingFile = QStringLiteral("Converting file:");
    String Conversion_Complete = QStringLiteral("Complete:");
};

// A language text with "\n" as a line break (CR LF) and its first two "%s" filled in.
String FillRunText(const String& Text, const String& Arg1 = String(), const String& Arg2 = String());

constexpr const char16_t* AppTitleText = u"Tunewright 1.5  [64-bit]";
constexpr const char16_t* AppShortName = u"Tunewright";
constexpr const char16_t* ProductPageUrl = u"https://www.tunewright.example/products/tunewright/";

// ---- error log -----------------------------------------------------------------------------------------

// The error log window's text and its entry counter.
struct TErrorLog {
    rtl::TStringList Lines;
    int Count = 0; // ErrorLogCount: numbered entries of this run
};
// ErrorLogCount := 0 and the text emptied.
void ClearErrorLog(TErrorLog& Log);
// Appends one entry: for Number > 0 the separator and "Error # n", then date and time, input, output,
// the parameters when not empty, an empty line and the log text line by line.
void AddErrorLogEntry(TErrorLog& Log, const String& LogText, const String& InputFile, const String& OutputFile,
                      int Number, const String& Params);
// "//" followed by 60 "-".
String ErrorLogSeparator();

// ---- batch script ---------------------------------------------------------------------------------------

// The encoder commands of a run as a POSIX shell script: every argument single-quoted, so nothing in a
// file name ($, `, %, quotes, blanks) is expanded by the shell.
class TBatchScript {
public:
    void Start();                                // the header lines
    void SetEncoder(const String& EncoderPath);  // the line naming the encoder
    void AddRowComment(int FileNo);              // the separator line of a row
    void AddCommand(const String& Params);       // the encoder with the parameters of one run
    void Finish();                               // the closing lines
    const QStringList& Lines() const { return FLines; }
    String Text() const;                         // LF line ends
    // Writes UTF-8 without a BOM through a temporary file, executable; false when that fails.
    bool SaveToFile(const String& FileName) const;

private:
    QStringList FLines;
};

// A text in single quotes for sh ("'" becomes '\'').
String ShellQuote(const String& Text);
// The command line split with the Windows rules (as the child would receive it), each argument quoted
// for sh and joined by blanks.
String ShellQuoteParams(const String& Params);

// ---- the view --------------------------------------------------------------------------------------------

// What a message box asks.
enum TRunMessageKind { rmWarning, rmError, rmInfo };

// Everything the run shows or asks outside itself. The defaults show nothing and answer No.
class TConversionView {
public:
    virtual ~TConversionView() = default;

    // progress window
    virtual void ShowProgress() {}
    virtual void HideProgress() {}
    virtual bool CloseAfterConversion() const { return true; }
    virtual void SetAbortCaption(const String&) {}
    virtual void SetBarPosition(int) {}
    virtual void SetInputFile(const String&) {}
    virtual void SetOutputFile(const String&) {}
    // Color < 0: the window-text colour.
    virtual void SetStatus(const String&, TColor) {}
    virtual void ClearEncoderValues() {}
    virtual void ShowEncoderValues(const TEncoderProgress&, const String& /*TimeText*/) {}
    virtual void SetStatusLine(const String&, int /*Percent*/) {}
    virtual void SetProgressCaption(const String&) {}
    // application title and main window caption
    virtual void SetAppTitle(const String&) {}
    virtual void SetMainCaption(const String&) {}

    // main window
    virtual void DisableControls() {}
    virtual void EnableControls() {}
    virtual void StopPreview() {}
    virtual void CloseMain() {}
    // "Close application" / "Close Windows" after a clean run (the main window's choice).
    virtual void AfterConversion() {}

    // error log window
    virtual void SetErrorLogCaption(const String&) {}
    virtual void ShowErrorLog(const TErrorLog&, bool /*Modal*/) {}

    // boxes
    virtual void Message(TRunMessageKind, const String&) {}
    virtual bool AskYesNo(const String&) { return false; }

    // the message pump (once per encoder line) and the fixed waits between steps
    virtual void ProcessMessages() {}
    virtual void Wait(int Ms);
};

// ---- the run ---------------------------------------------------------------------------------------------

// Why a run ended before its loop finished.
enum TRunEnd { reNone, reNoEncoder, reNothingChecked, reOutputName, reOutputFolder, reException };

struct TRunResult {
    TRunEnd EndedEarly = reNone;
    int Checked = 0;    // FilesToConvert
    int Converted = 0;  // outputs written (or, in batch-script mode, commands written)
    int Skipped = 0;    // by the existing-file rule
    int Failed = 0;     // error log entries and empty outputs
    bool Aborted = false;
    QStringList Outputs; // the files written, in row order (the batch script's targets in batch mode)
    // The unattended exit status: 0 all converted or skipped, 1 a row failed or the run was
    // aborted, 2 the run ended early.
    int ExitStatus() const;
};

// The tag step after a successful MP3 or extraction output. The main window's metadata panel fills it;
// without one no tags are touched.
using TTagStep = std::function<void(const String& Input, const String& Output, int Row)>;

class TConversionRun {
public:
    TConversionRun(TEncoderPanel& Panel, TConvertList& List, TConversionView& View, TAppParams& Params = AppParams);
    ~TConversionRun();
    TConversionRun(const TConversionRun&) = delete;
    TConversionRun& operator=(const TConversionRun&) = delete;

    TRunTexts Texts;
    TTagStep TagStep;
    // Analyses one input; unset (the default), the run's own analysis (GetVideoFileInfo, its encoder report
    // started before the row's first pause). Tests replace it.
    std::function<TVideoFileInfo(const String& FileName, const String& EncoderPath)> Analyse;
    // Where -SILENT messages go (standard error unless a test catches them).
    std::function<void(const String& Text)> ErrorOutput;
    // The time in milliseconds that the abort timer counts (the window model's clock by default).
    std::function<uint64_t()> Clock;

    // Options of the run (from the main window)
    bool bSaveAsBatch = false;
    String BatchFileName;
    bool KeepFileDates = false;

    // The Convert action.
    TRunResult Execute();

    // Abort (the progress window's button and action): "q" to the encoder and the abort timer armed.
    // When no conversion runs, only hides the progress window.
    void Abort();
    // The abort timer fired: from the next encoder line on the encoder is stopped by force.
    void AbortTimerFired();
    // The console runner's line handler during a run.
    void OnEncoderLine();

    // Run state (read by the progress window)
    bool bConverting = false;
    bool bAbortRequested = false;
    bool bForceKill = false;
    int CurrentFileNo = 0;
    int FilesToConvert = 0;
    int64_t ExpectedDurationSec = 0;
    TErrorLog ErrorLog;
    rtl::TStringList EncoderOutputList;
    TBatchScript Batch;
    TEncodingParams EncodingParams;
    std::unique_ptr<TVideoFileInfo> VideoFileInfo;

    static constexpr int AbortTimerMs = 1000;
    static constexpr int RowWaitMs = 150;

private:
    enum TRowOutcome { roConverted, roSkipped, roFailed, roEnd };
    TRowOutcome ConvertRow(int Row, TRunResult& Result);
    void FailRow(int Row, const String& Reason, const String& Input, const String& Output);
    TRunResult FinishEarly(TRunResult Result);
    void AskDeleteUnfinished(const String& FileName);
    void Report(TRunMessageKind Kind, const String& Text);
    bool Silent() const;
    bool Stopping() const { return bAbortRequested || bForceKill; }
    void ForceStop();

    TEncoderPanel& FPanel;
    TConvertList& FList;
    TConversionView& FView;
    TAppParams& FParams;
    std::unique_ptr<TOutputNamer> FNamer;
    uint32_t FLastExitCode = 0;
    bool FLastRowFailed = false; // by its parameters: no exit code tells
    String FLastOutput;
    uint64_t FAbortTick = 0;
    TEncoderProgressScan FProgressScan; // the line handler's place in EncoderOutputList
    bool FAbortTimerArmed = false;
};

// False when the output holds no progress line to show (or the "Multiple frames" line stopped it).
// With Scan, the lines it read before are not read again.
bool GetProgressTexts(rtl::TStrings* Output, int FileNo, int FileCount, int64_t ExpectedSec, const TRunTexts& Texts,
                      TProgressTexts& Result, TEncoderProgressScan* Scan = nullptr);

} // namespace engine
