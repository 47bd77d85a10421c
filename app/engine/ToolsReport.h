// app/engine/ToolsReport.h: plain-text reports that identify a file (size, checksums, executable kind,
// version strings) and the external tools the program drives.
#pragma once
#include "app/engine/Types.h"

namespace engine {

// Empty when the file does not exist. Labels are right-aligned to LabelWidth; lines end with CR LF but
// the last.
String GetFileInfoText(const String& FileName, int LabelWidth);
// The four tools (located again, which refreshes their paths in AppParams) and the encoder's libraries.
String GetToolsInfoText(int LabelWidth);

} // namespace engine
