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
class TEncoderProgressScan {
public:
    bool Scan(rtl::TStrings* Output, TEncoderProgress& Progress);
    void Reset();

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
