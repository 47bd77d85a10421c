// app/engine/Progress.h: the encoder-output side of the progress window: reading the encoder's
// progress lines, cleaning its log, and stopping its processes by force.
#pragma once
#include <cstdint>

#include "rtl/Classes.h"

namespace engine {

using rtl::String;

// What the newest progress line of the encoder says. Texts stay empty, and the position -1, when
// the line does not hold them.
struct TEncoderProgress {
    String Time;          // "00:00:10.00"
    String Size;          // "512.00 KB" (a whole number of kB is shown as a file size)
    String Bitrate;       // "419.4 kbits/s"
    String Speed;         // "20.1x"
    int PositionSec = -1; // the time in whole seconds
};

// Reads the newest line of the list that holds both "time=" and "size=". False, with nothing read,
// when a line beginning "Multiple frames in a packet from stream" comes before (below) it, or when
// there is no progress line at all.
bool ParseEncoderProgress(rtl::TStrings* Output, TEncoderProgress& Progress);
// ParseEncoderProgress for a list that grows a line at a time: the lines read before are not read
// again, so following a long run costs time in proportion to its output. Progress gets the values of
// the progress line alone (what the line does not hold is left at its default).
// The progress window's texts for one state of the encoder output: the status line, the titles and
// the values. Percent 0 leaves the status line and titles as they are.
struct TProgressTexts {
    int Percent = 0;
    String Status;      // "Converting file: 2 / 5  ::::  Complete: 37 %"
    String AppTitle;    // "2 / 5  ::::  37% Tunewright 1.5  [64-bit]"
    String Caption;     // "Progress: 37% (2 / 5)"
    String RunTitle;    // "(2/5) 37 % - Tunewright" (application and main window while converting)
    String TimeText;    // "00:00:10.00 / 00:00:40"; empty when the line held no time
    TEncoderProgress Values;
};
class TEncoderProgressScan {
public:
    bool Scan(rtl::TStrings* Output, TEncoderProgress& Progress);
    void Reset();

    // The texts a caller last made from the newest progress line, with what they were made for: most
    // lines an encoder prints change nothing, and those cost no new texts. Emptied by Reset and by a
    // new progress line.
    struct TTextsMemo {
        bool Valid = false;
        int FileNo = 0, FileCount = 0;
        int64_t ExpectedSec = 0;
        String ConvertingFile, Complete, ProgressLabel;
        TProgressTexts Texts;
    };
    TTextsMemo Memo;

private:
    int FScanned = 0;
    int FProgressIndex = -1;       // the newest line with "time=" and "size="
    int FMultipleFramesIndex = -1; // the newest "Multiple frames" line
    String FProgressLine;
    String FParsedLine;            // the line FValues were read from; null when none
    TEncoderProgress FValues;
};
// Parses one progress line into Progress (only the values the line holds are changed).
void ParseEncoderProgressLine(const String& Line, TEncoderProgress& Progress);
// Round(Position x 100 / ExpectedSec) when both are at least 1, else 0; clamped to 0..100.
int ProgressPercent(int PositionSec, int64_t ExpectedSec);
// Seconds of a clock text "hh:mm:ss.ss" ('.' or ',' as decimal mark); 0 without any ':'.
double ParseClockSeconds(const String& Text);

// Removes noise from the encoder output: blank lines and the banner, warning and notice lines the
// log does not need.
void FilterEncoderLog(rtl::TStrings* Output);

// Kills (exit code 1) every child process of this program whose executable is AppPath (both paths
// resolved). True when at least one was killed.
bool TerminateApp(const String& AppPath);

} // namespace engine
