// app/engine/EncoderParams.h: the encoder's parameters built from the encoder panel and the analysis of
// the current file: the audio options, the time range, the stream choice, the output extension, the
// parameter string of one encoder run, and the player's and the command-line window's texts.
#pragma once
#include <cstdint>

#include "app/engine/EncoderPanel.h"
#include "app/engine/Types.h"

namespace engine {

// ---- helpers ---------------------------------------------------------------------------------------------

// The decimal separator of the program's number format settings.
rtl::Char LocaleDecimalSeparator();
// The volume filter's factor: 150 gives "1.50", 5 gives "0.05", whatever the locale.
String VolumeToFactorStr(int Percent);
// The file extension (lower case, no dot) for an audio codec name, or Default.
String CodecToFileExt(const String& Codec, const String& Default);
// Bitrate clamped to Min..Max, then raised to the next standard rate (Default above 1472), with a few
// rates just above a standard one snapped down to it.
uint16_t RoundToStdBitrate(int Bitrate, int Default, int Min, int Max);

// ---- the encoder command line --------------------------------------------------------------------------

// "libmp3lame" for MP3, "copy" for extraction, empty for WAV and for no selection.
String GetAudioCodecStr(const TEncoderPanel& Panel);
// "-map 0:" and the chosen stream's index, or empty for the automatic choice or a missing stream.
String GetMapParams(const TEncoderPanel& Panel, const TVideoFileInfo& Info);
// The output extension; an extracted stream of a codec without its own file type gives "WAV".
String GetExt(const TEncoderPanel& Panel, const TVideoFileInfo& Info, bool bIncludeDot);
// The audio options, or exactly "ERROR" when the bit rate or the sampling rate is not a number (never
// in extraction mode). Sets AudioCodec, MP3BitrateMode, AudioBitrate, LamePreset (-1), AudioSampling,
// AudioChannels and AudioVolume. No message is shown whatever ShowErrors says.
String GetAudioParamsStr(const TEncoderPanel& Panel, const TVideoFileInfo& Info, TEncodingParams& ep, bool ShowErrors);
// The time range (" -t" part); sets StartOffsetMs, EndOffsetMs and DurationMs (-1: not given). Row is
// the file-list row the parameters are for, or null for none.
String GetAdditionalParamsStr(const TEncoderPanel& Panel, TEncodingParams& ep, bool ShowErrors, const TFileRowInfo* Row);
// Fills ep completely for Row (null: no particular row). fIn and fOut are the caller's. The tool paths
// come from the locators, which store them in Params.
void GetEncodingParams(const TEncoderPanel& Panel, const TVideoFileInfo& Info, TEncodingParams& ep, bool ShowErrors,
                       const TFileRowInfo* Row, TAppParams& Params = AppParams);

// An extraction whose extension fell back to ".WAV" writes PCM: the first "-c:a copy" goes.
String RemoveFirstCopyOption(const String& Params);
// The encoder's parameters of one pass as the run passes them. Only the fallback ".WAV" (upper case) drops
// the copy option: a PCM stream's own ".wav" keeps it, so 24-bit and float samples stay as they are.
String RunParamsOnePass(const TEncoderPanel& Panel, const TEncodingParams& ep, const String& Ext);

// ---- the player and the command-line window -----------------------------------------------------------

// The player's parameters: input, start, length and volume as the conversion would use them.
String GetFFplayParamsStr(const TEncoderPanel& Panel, const TEncodingParams& ep);
// The encode-and-play text: the encoder's output piped into the player.
String GetPreviewParams_Encoding(const TEncodingParams& ep);
// The preview script in the temporary folder.
String GetPreviewBatFileName();

// The command-line window's contents for parameters built with fIn "<input_file>" and fOut
// "<output_file>" (or a row's input).
struct TCmdLineInfo {
    String Caption;      // the window's caption
    String ExePath;      // the encoder, as the first line shows it (in double quotes)
    String Params;       // the parameters, a line break before "-vn"
    String OutputName;   // "output_file" and the extension (in double quotes on the third line)
    // The window's text: the three lines joined by CR LF.
    String Text() const;
};
TCmdLineInfo GetCmdLineInfo(const TEncoderPanel& Panel, const TEncodingParams& ep, const String& Ext);

} // namespace engine
