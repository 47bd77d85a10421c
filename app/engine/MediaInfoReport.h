// app/engine/MediaInfoReport.h: what the media-analysis library reports about a file, read into a
// TVideoFileInfo: its full text report, the stream counts, the container and the video and audio streams.
#pragma once
#include "app/engine/Types.h"

namespace engine {

// Completes Info from the library at LibPath. Does nothing when the library file is missing, the media
// file is empty or missing, the library cannot be loaded, or it cannot open the file. Callers reset
// NumberOfDataStreams first (it is added to).
void ReadMediaInfo(const String& FileName, const String& LibPath, TVideoFileInfo& Info);

// The library's size text "1.20 MiB (45%)" as "1.20 MB" and 45 (Percent untouched without a "(").
void ReadStreamSizeText(const String& Text, String& SizeStr, uint8_t& Percent);
// The audio codec name from the library's format, version, codec hint and codec information.
String MediaInfoAudioCodecName(const String& Format, const String& Version, const String& Hint,
                               const String& Info);
// An audio bit rate in kbit/s: "128000" or "128000 / 96000" (their mean), divided by 1000; false when
// the text is neither. A negative value gives 0.
bool ReadMediaInfoAudioBitrate(const String& Text, int& Kbps);

} // namespace engine
