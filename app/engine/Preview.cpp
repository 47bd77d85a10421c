// The Play and command-line actions.
#include "app/engine/Preview.h"

#include "app/engine/Analysis.h"
#include "app/engine/ConRun.h"
#include "app/engine/EncoderParams.h"
#include "app/engine/Procs.h"
#include "rtl/Files.h"
#include "win/windows.h"

#include <chrono>
#include <thread>

namespace engine {

String PlayerCommand(const String& PlayerPath) {
    String s = PlayerPath;
    if (s.contains(u' ')) s = u'"' + s + u'"';
    s.replace(QStringLiteral("\"\""), QStringLiteral("\""));
    return s;
}

bool PlayExecute(TPlayRequest& R) {
    if (R.StopPreview) R.StopPreview();
    if (R.List.RowCount() > 0 && R.SelectedRow < 0) R.SelectedRow = 0;
    if (!IsValidGridRow(R.List, R.SelectedRow)) return false;
    const TFileRowInfo row = R.List.RowInfo(R.SelectedRow);

    TEncodingParams& ep = R.EncodingParams;
    GetEncodingParams(R.Panel, R.VideoFileInfo, ep, false, &row, R.Params);
    R.VideoFileInfo = R.Analyse ? R.Analyse(row.FileName, ep.ffmpeg) : GetVideoFileInfo(row.FileName, ep.ffmpeg);
    ep.fIn = row.FileName;
    // Again, now that the analysis is in place (the length of a whole file comes from it).
    GetEncodingParams(R.Panel, R.VideoFileInfo, ep, false, &row, R.Params);

    if (ep.ffplay.isEmpty() || !rtl::FileExists(ep.ffplay)) return false;
    RunConsoleApp(PlayerCommand(ep.ffplay), ep.ParamsFFplay, R.OutputList, SW_SHOW);
    return true;
}

bool ShowCmdLineExecute(TCmdLineRequest& R) {
    if (!R.FromFileList) {
        if (R.View.CmdLineVisible()) {
            R.View.HideCmdLine();
            return false;
        }
    }
    TEncodingParams& ep = R.EncodingParams;
    ep.fIn = QStringLiteral("<input_file>");
    ep.fOut = QStringLiteral("<output_file>");
    R.VideoFileInfo.Clear();
    GetEncodingParams(R.Panel, R.VideoFileInfo, ep, false, nullptr, R.Params);

    if (IsValidGridRow(R.List, R.SelectedRow)) {
        const TFileRowInfo row = R.List.RowInfo(R.SelectedRow);
        ep.fIn = row.FileName;
        R.VideoFileInfo = R.Analyse ? R.Analyse(row.FileName, ep.ffmpeg) : GetVideoFileInfo(row.FileName, ep.ffmpeg);
        GetEncodingParams(R.Panel, R.VideoFileInfo, ep, false, &row, R.Params);
        if (R.Wait)
            R.Wait(150);
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(150));
    }

    const TCmdLineInfo info = GetCmdLineInfo(R.Panel, ep, GetExt(R.Panel, R.VideoFileInfo, true));
    R.View.SetCmdLineCaption(info.Caption);
    R.View.SetMemoText(u'"' + info.ExePath + u'"', info.Params, u'"' + info.OutputName + u'"');
    R.View.ShowCmdLine();
    return true;
}

} // namespace engine
