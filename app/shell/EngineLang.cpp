#include "app/shell/EngineLang.h"

namespace shell {

void SetLang(engine::TFormProgress& Form, const TAppStrings& Strings) {
    const TProgressModuleStrings& p = Strings.Progress;
    engine::TProgressLang& l = Form.Lang;
    l.Caption = p.Caption;
    l.lblStatus = p.lblStatus;
    l.lblInputFile = p.lblInputFile;
    l.lblOutputFile = p.lblOutputFile;
    l.lblProgress = p.lblProgress;
    l.btnAbort = p.btnAbort;
    l.chCloseAfterConversion = p.chCloseAfterConversion;
    l.lblTime = p.lblTime;
    l.lblSize = p.lblSize;
    l.lblBitrate = p.lblBitrate;
    l.lblSpeed = p.lblSpeed;
    l.Close = Strings.Main.Close;
    Form.SetLang();
}

engine::TRunTexts GetRunTexts(const TAppStrings& Strings) {
    const TMainModuleStrings& m = Strings.Main;
    engine::TRunTexts t;
    t.Error = m.Error;
    t.Errors = m.Errors;
    t.Abort = m.Abort;
    t.Aborted = m.Aborted;
    t.Close = m.Close;
    t.Done = m.Done;
    t.PleaseWait = m.PleaseWait;
    t.FFmpegNotExists = m.FFmpegNotExists;
    t.DeleteUnfinished = m.DeleteUnfinished;
    t.CannotDeleteFile = m.CannotDeleteFile;
    t.AudioBitrateMustBeInteger = m.AudioBitrateMustBeInteger;
    t.AudioSamplingMustBeInteger = m.AudioSamplingMustBeInteger;
    t.ErrorsCaption = Strings.Errors.Caption;
    t.ProgressCaption = Strings.Progress.Caption;
    t.lblProgress = Strings.Progress.lblProgress;
    t.ConvertingFile = Strings.Progress.ConvertingFile;
    t.Conversion_Complete = Strings.Progress.Conversion_Complete;
    return t;
}

engine::TEngineTexts GetEngineTexts(const TAppStrings& Strings) {
    const TMainModuleStrings& m = Strings.Main;
    engine::TEngineTexts t;
    t.Auto = m.Auto;
    t.FirstAudioTrack = m.FirstAudioTrack;
    t.CantCreateDirectory = m.CantCreateDirectory;
    t.Skipped = m.Skipped;
    t.OK_Renamed = m.OK_Renamed;
    t.OK_Overwritten = m.OK_Overwritten;
    t.ExtractAudioStream = m.ExtractAudioStream;
    t.cbProfile_TheLastSessionSettings = m.cbProfile_TheLastSessionSettings;
    t.cbProfile_DefaultSettings = m.cbProfile_DefaultSettings;
    t.CommandLineInfo = m.CommandLineInfo;
    t.cbOutputExists_Rename = m.cbOutputExists_Rename;
    t.cbOutputExists_Overwrite = m.cbOutputExists_Overwrite;
    t.cbOutputExists_Skip = m.cbOutputExists_Skip;
    return t;
}

} // namespace shell
