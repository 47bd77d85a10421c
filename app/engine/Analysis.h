// app/engine/Analysis.h: the analysis of one media file into a TVideoFileInfo: the encoder's report
// ("ffmpeg -i"), then the media-analysis library, then two corrections. Also the clock-text parser and
// the media-extension test.
#pragma once
#include <memory>

#include "app/engine/ConRun.h"
#include "app/engine/Types.h"
#include "rtl/Classes.h"

namespace engine {

// The full analysis. Runs the encoder (EncoderPath) with "-i" on the file, parses its report, then asks
// the library at AppParams.MediaInfoDll. With a missing file or encoder, only FileName and FileSize
// are set. A runner failure (the process cannot be created) raises rtl::EOSError.
TVideoFileInfo GetVideoFileInfo(const String& FileName, const String& EncoderPath);

// GetVideoFileInfo in two halves: the encoder's report starts with the object (its child is then the
// running one), and Finish reads it, asks the library and corrects, so that the caller can wait for
// something else while the encoder starts up. A runner failure is raised by Finish. Finish is called once.
class TPendingVideoFileInfo {
public:
    TPendingVideoFileInfo(const String& FileName, const String& EncoderPath);
    ~TPendingVideoFileInfo();
    TVideoFileInfo Finish();

private:
    String FFileName;
    TVideoFileInfo FInfo;
    std::unique_ptr<TConsoleChild> FReport;
};

// Every text empty, every number and flag 0, every chapter's three times -1.
void ClearVideoFileInfo(TVideoFileInfo& Info);

// "hh:mm:ss.ss" in seconds ('.' or ',' as decimal mark, blanks ignored); 0 without any ':', and the
// hours alone with only one ':'.
double ParseTimeStr(const String& TimeStr);

// True when the file's extension is one of MediaFileExtensions (any letter case).
bool IsMediaFileExt(const String& FileName);

// A number read from tool output, where both '.' and ',' are decimal marks. False, Value untouched,
// when Text is not a number.
bool TryReadDecimal(const String& Text, double& Value);
// Round half to even into 0..UINT32_MAX (the record's whole-second and frame fields).
uint32_t RoundToCardinal(double Value);

// ---- the steps of GetVideoFileInfo, for the callers that have a report already ----------------------------

// Reads the encoder's report lines into Info: durations, start, the first video bit rate from the
// "Duration:" line, the "Stream #" lines, and the video and audio streams they describe. Info is
// expected cleared (counters and slots are added to).
void ParseEncoderReport(rtl::TStrings* Lines, TVideoFileInfo& Info);
// One "Stream #" line of the report into a stream slot.
void ParseVideoStreamLine(const String& Line, uint32_t Seconds, TVideoStreamInfo& Stream);
void ParseAudioStreamLine(const String& Line, TAudioStreamInfo& Stream);
// After the library: the single video stream's size from the file size less the audio sizes, and the
// single audio stream of an audio-only file takes the overall bit rate.
void ApplyAnalysisCorrections(TVideoFileInfo& Info);

} // namespace engine
