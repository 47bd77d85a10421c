// app/engine/Preview.h: the Play action: the player on the selected row's input with the start, length
// and volume the conversion would use.
#pragma once
#include <functional>

#include "app/engine/Conversion.h"
#include "app/engine/EncoderPanel.h"
#include "app/engine/Types.h"

namespace engine {

// The player's path for the command line: in double quotes when it holds a blank; then every doubled
// double quote becomes one (a path that came quoted already is not quoted twice).
String PlayerCommand(const String& PlayerPath);

struct TPlayRequest {
    TEncoderPanel& Panel;
    TConvertList& List;
    int& SelectedRow;                 // -1: none; the first row is selected when the list has rows
    TEncodingParams& EncodingParams;  // the global parameters, rebuilt for the row
    TVideoFileInfo& VideoFileInfo;    // the global analysis, refilled for the row
    rtl::TStrings* OutputList;        // the player's output lines
    TAppParams& Params = AppParams;
    std::function<void()> StopPreview;
    std::function<TVideoFileInfo(const String& FileName, const String& EncoderPath)> Analyse;
};

// Runs the player and returns when it has ended. False when no valid row is selected or the player
// cannot be found (nothing runs then); a runner failure raises rtl::EOSError.
bool PlayExecute(TPlayRequest& Request);

} // namespace engine
