// app/engine/Preview.h: the Play action (the player on the selected row's input with the start, length
// and volume the conversion would use) and the command-line action (the encoder, the parameters of the
// selected row and an output name, shown in the command-line window).
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

// The command-line window as the command-line action drives it.
class TCmdLineView {
public:
    virtual ~TCmdLineView() = default;
    virtual bool CmdLineVisible() const = 0;
    virtual void ShowCmdLine() = 0;
    virtual void HideCmdLine() = 0;
    virtual void SetCmdLineCaption(const String& Text) = 0;
    // The three lines, already quoted as they are to be shown.
    virtual void SetMemoText(const String& ffmpeg, const String& Params, const String& fOut) = 0;
};

struct TCmdLineRequest {
    TEncoderPanel& Panel;
    TConvertList& List;
    int SelectedRow;                  // -1: none
    TEncodingParams& EncodingParams;  // the global parameters, rebuilt
    TVideoFileInfo& VideoFileInfo;    // the global analysis, cleared and refilled for the row
    TCmdLineView& View;
    TAppParams& Params = AppParams;
    // True when the file list calls on a change of the selected row: the window's visibility is not
    // toggled then.
    bool FromFileList = false;
    std::function<TVideoFileInfo(const String& FileName, const String& EncoderPath)> Analyse;
    // The pause after building a row's parameters; a sleep unless replaced.
    std::function<void(int Ms)> Wait;
};

// The command-line action. False when it only hid the window.
bool ShowCmdLineExecute(TCmdLineRequest& Request);

} // namespace engine
