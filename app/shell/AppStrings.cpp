// Language strings: the built-in English texts, language files and FormatLangStr.
#include "app/shell/AppStrings.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>

#include "rtl/Encoding.h"
#include "rtl/SysUtils.h"

namespace shell {

std::unique_ptr<TAppStrings> AppStrings;

namespace {

template <class R> struct TField {
    const char16_t* Key;
    String R::*Member;
    const char16_t* English; // nullptr: SetEN leaves the text alone
};

// clang-format off
const TField<TMainModuleStrings> MainFields[] = {
    {u"Yes", &TMainModuleStrings::Yes, u"Yes"},
    {u"No", &TMainModuleStrings::No, u"No"},
    {u"Auto", &TMainModuleStrings::Auto, u"Auto"},
    {u"UAuto", &TMainModuleStrings::UAuto, u"AUTO"},
    {u"AverageShort", &TMainModuleStrings::AverageShort, u"AVG"},
    {u"actShowCmdLine", &TMainModuleStrings::actShowCmdLine, u"Command line..."},
    {u"cbProfile_TheLastSessionSettings", &TMainModuleStrings::cbProfile_TheLastSessionSettings, u"The last session settings"},
    {u"cbProfile_DefaultSettings", &TMainModuleStrings::cbProfile_DefaultSettings, u"Default encoder settings"},
    {u"cpProfile", &TMainModuleStrings::cpProfile, u"Profile"},
    {u"mnuLinks", &TMainModuleStrings::mnuLinks, u"Links"},
    {u"dlgSaveProfile_Filter", &TMainModuleStrings::dlgSaveProfile_Filter, u"Ini files (*.INI)"},
    {u"dlgOpenProfile_Filter", &TMainModuleStrings::dlgOpenProfile_Filter, u"Ini files (*.INI)"},
    {u"dlgSaveFileList_Filter", &TMainModuleStrings::dlgSaveFileList_Filter, u"File list (*.LST)"},
    {u"dlgOpenFileList_Filter", &TMainModuleStrings::dlgOpenFileList_Filter, u"File list (*.LST)"},
    {u"dlgSaveBAT_Filter", &TMainModuleStrings::dlgSaveBAT_Filter, u"Batch files (*.BAT)"},
    {u"dlgOpen_Filter1", &TMainModuleStrings::dlgOpen_Filter1, u"Web videos (WebM, MP4, FLV, 3GP)"},
    {u"Custom", &TMainModuleStrings::Custom, u"Custom"},
    {u"mnuFile", &TMainModuleStrings::mnuFile, u"File"},
    {u"mnuFileList", &TMainModuleStrings::mnuFileList, u"File list"},
    {u"mnuEncoder", &TMainModuleStrings::mnuEncoder, u"Encoder"},
    {u"mnuHelp", &TMainModuleStrings::mnuHelp, u"Help"},
    {u"colNo", &TMainModuleStrings::colNo, u"No"},
    {u"colFullFileName", &TMainModuleStrings::colFullFileName, u"Full file name"},
    {u"colFile", &TMainModuleStrings::colFile, u"File"},
    {u"colDirectory", &TMainModuleStrings::colDirectory, u"Directory"},
    {u"colSize", &TMainModuleStrings::colSize, u"Size"},
    {u"colStatus", &TMainModuleStrings::colStatus, u"Status"},
    {u"colDuration", &TMainModuleStrings::colDuration, u"Duration"},
    {u"colVideo", &TMainModuleStrings::colVideo, u"Video"},
    {u"colIcon", &TMainModuleStrings::colIcon, u"Icon"},
    {u"colAudio", &TMainModuleStrings::colAudio, u"Audio"},
    {u"colAudioCodec", &TMainModuleStrings::colAudioCodec, u"Audio codec"},
    {u"colAudioBitrate", &TMainModuleStrings::colAudioBitrate, u"Audio bitrate"},
    {u"colAudioChannels", &TMainModuleStrings::colAudioChannels, u"Channels"},
    {u"colAudioSampling", &TMainModuleStrings::colAudioSampling, u"Sampling rate"},
    {u"colAudioStreamSize", &TMainModuleStrings::colAudioStreamSize, u"Audio stream size"},
    {u"colAudioCodecID", &TMainModuleStrings::colAudioCodecID, u"Audio codec ID"},
    {u"colAudioProfile", &TMainModuleStrings::colAudioProfile, u"Audio profile"},
    {u"colTitle", &TMainModuleStrings::colTitle, u"Title"},
    {u"colArtist", &TMainModuleStrings::colArtist, u"Artist"},
    {u"colAlbum", &TMainModuleStrings::colAlbum, u"Album"},
    {u"colTrackNo", &TMainModuleStrings::colTrackNo, u"Track"},
    {u"colYear", &TMainModuleStrings::colYear, u"Year"},
    {u"colGenre", &TMainModuleStrings::colGenre, u"Genre"},
    {u"colMenu", &TMainModuleStrings::colMenu, u"Menu"},
    {u"colChapterCount", &TMainModuleStrings::colChapterCount, u"Chapters"},
    {u"colChapterTitle", &TMainModuleStrings::colChapterTitle, u"Chapter title"},
    {u"colChapterStart", &TMainModuleStrings::colChapterStart, u"Chapter start"},
    {u"colChapterEnd", &TMainModuleStrings::colChapterEnd, u"Chapter end"},
    {u"colChapterNo", &TMainModuleStrings::colChapterNo, u"Chapter"},
    {u"actConvert", &TMainModuleStrings::actConvert, u"Convert"},
    {u"actExit", &TMainModuleStrings::actExit, u"Exit"},
    {u"actLoadProfile", &TMainModuleStrings::actLoadProfile, u"Load profile..."},
    {u"actSaveProfile", &TMainModuleStrings::actSaveProfile, u"Save profile..."},
    {u"actAddFiles", &TMainModuleStrings::actAddFiles, u"Add files..."},
    {u"actAddFolder", &TMainModuleStrings::actAddFolder, u"Add folder..."},
    {u"actRemoveChecked", &TMainModuleStrings::actRemoveChecked, u"Remove checked files"},
    {u"actMinimizeToTray", &TMainModuleStrings::actMinimizeToTray, u"Minimize to tray"},
    {u"actShowMainWindow", &TMainModuleStrings::actShowMainWindow, u"Show main window"},
    {u"actLoadFileList", &TMainModuleStrings::actLoadFileList, u"Load file list..."},
    {u"actSaveFileList", &TMainModuleStrings::actSaveFileList, u"Save file list..."},
    {u"actCheckAll", &TMainModuleStrings::actCheckAll, u"Check all"},
    {u"actInvertSelection", &TMainModuleStrings::actInvertSelection, u"Invert selection"},
    {u"actUncheckAll", &TMainModuleStrings::actUncheckAll, u"Uncheck all"},
    {u"actCheckSelected", &TMainModuleStrings::actCheckSelected, u"Check selected"},
    {u"actUncheckSelected", &TMainModuleStrings::actUncheckSelected, u"Uncheck selected"},
    {u"actClearFileList", &TMainModuleStrings::actClearFileList, u"Clear file list"},
    {u"actGoToHomePage", &TMainModuleStrings::actGoToHomePage, u"Go to the home page"},
    {u"actAbout", &TMainModuleStrings::actAbout, u"About..."},
    {u"actShowOptions", &TMainModuleStrings::actShowOptions, u"Options..."},
    {u"actStayOnTop", &TMainModuleStrings::actStayOnTop, u"Stay on top"},
    {u"btnStayOnTop", &TMainModuleStrings::btnStayOnTop, u""},
    {u"actBrowseOutDir", &TMainModuleStrings::actBrowseOutDir, u"Select output directory..."},
    {u"actExploreOutDir", &TMainModuleStrings::actExploreOutDir, u"Open output directory"},
    {u"actSaveBAT", &TMainModuleStrings::actSaveBAT, u"Save commands to a batch file..."},
    {u"actSetDefaultEncoderSettings", &TMainModuleStrings::actSetDefaultEncoderSettings, u"Default encoder settings"},
    {u"actShowHideFormErrors", &TMainModuleStrings::actShowHideFormErrors, u"Show/hide the error log"},
    {u"actShowHideFileInfo", &TMainModuleStrings::actShowHideFileInfo, u"File information"},
    {u"actShowProgressWindow", &TMainModuleStrings::actShowProgressWindow, u"Show progress window"},
    {u"lblIfOutputExists", &TMainModuleStrings::lblIfOutputExists, u"If output file exists:"},
    {u"lblAfterConversion", &TMainModuleStrings::lblAfterConversion, u"After conversion:"},
    {u"gbOutputDir", &TMainModuleStrings::gbOutputDir, nullptr},
    {u"rbOutDirIsInDir", &TMainModuleStrings::rbOutDirIsInDir, nullptr},
    {u"cbAfterConversion_DoNothing", &TMainModuleStrings::cbAfterConversion_DoNothing, u"Do nothing"},
    {u"cbAfterConversion_CloseApplication", &TMainModuleStrings::cbAfterConversion_CloseApplication, u"Close application"},
    {u"cbAfterConversion_CloseWindows", &TMainModuleStrings::cbAfterConversion_CloseWindows, u"Close Windows"},
    {u"cbOutputExists_Rename", &TMainModuleStrings::cbOutputExists_Rename, u"Rename file"},
    {u"cbOutputExists_Overwrite", &TMainModuleStrings::cbOutputExists_Overwrite, u"Overwrite it"},
    {u"cbOutputExists_Skip", &TMainModuleStrings::cbOutputExists_Skip, u"Skip file"},
    {u"cpOutput", &TMainModuleStrings::cpOutput, u"Output"},
    {u"cpVideo", &TMainModuleStrings::cpVideo, u"Video"},
    {u"cpAudio", &TMainModuleStrings::cpAudio, u"Audio"},
    {u"cpAdditional", &TMainModuleStrings::cpAdditional, u"Additional"},
    {u"cpTag", &TMainModuleStrings::cpTag, u"Metadata"},
    {u"lblOutputFormat", &TMainModuleStrings::lblOutputFormat, u"Output format:"},
    {u"lblAudioSampling", &TMainModuleStrings::lblAudioSampling, u"Sampling rate:"},
    {u"lblAudioChannels", &TMainModuleStrings::lblAudioChannels, u"Channels:"},
    {u"lblAudioBitrate", &TMainModuleStrings::lblAudioBitrate, u"Bitrate:"},
    {u"btnAdd", &TMainModuleStrings::btnAdd, u"Add"},
    {u"btnAddFolder", &TMainModuleStrings::btnAddFolder, u"Add folder"},
    {u"btnRemove", &TMainModuleStrings::btnRemove, u"Remove"},
    {u"btnConvert", &TMainModuleStrings::btnConvert, u"Convert"},
    {u"btnOptions", &TMainModuleStrings::btnOptions, u"Options"},
    {u"btnHomePage", &TMainModuleStrings::btnHomePage, u"Home page"},
    {u"btnAbout", &TMainModuleStrings::btnAbout, u"About"},
    {u"btnFileInfo", &TMainModuleStrings::btnFileInfo, u"File info"},
    {u"lblAudioVolume", &TMainModuleStrings::lblAudioVolume, u"Volume:"},
    {u"gbFFmpegParams", &TMainModuleStrings::gbFFmpegParams, u"FFmpeg parameters"},
    {u"actExploreDirectory", &TMainModuleStrings::actExploreDirectory, u"Open directory \"%s\""},
    {u"Error", &TMainModuleStrings::Error, u"Error"},
    {u"Errors", &TMainModuleStrings::Errors, u"Errors"},
    {u"Abort", &TMainModuleStrings::Abort, u"Abort"},
    {u"Aborted", &TMainModuleStrings::Aborted, u"Aborted"},
    {u"Close", &TMainModuleStrings::Close, u"Close"},
    {u"CantCreateDirectory", &TMainModuleStrings::CantCreateDirectory, u"Couldn't create directory \"%s\" !"},
    {u"Converting", &TMainModuleStrings::Converting, u"Converting"},
    {u"Done", &TMainModuleStrings::Done, u"Done"},
    {u"OK_Renamed", &TMainModuleStrings::OK_Renamed, u"OK - Renamed"},
    {u"Skipped", &TMainModuleStrings::Skipped, u"Skipped"},
    {u"OK_Overwritten", &TMainModuleStrings::OK_Overwritten, u"OK - Overwritten"},
    {u"PleaseWait", &TMainModuleStrings::PleaseWait, u"Please wait..."},
    {u"Ready", &TMainModuleStrings::Ready, u"Ready"},
    {u"AudioBitrateMustBeInteger", &TMainModuleStrings::AudioBitrateMustBeInteger, u"Audio bitrate: %s\\nBitrate must be an integer value!"},
    {u"AudioSamplingMustBeInteger", &TMainModuleStrings::AudioSamplingMustBeInteger, u"Audio sampling frequency: %s\\nFrequency must be an integer value!"},
    {u"CommandLineInfo", &TMainModuleStrings::CommandLineInfo, u"FFmpeg command-line parameters"},
    {u"FFmpegNotExists", &TMainModuleStrings::FFmpegNotExists, u"Could not find FFmpeg encoder!\\n\\nRemember to extract ALL files from the original ZIP archive (%s). Especially tools directory and all EXE and DLL files.\\n\\nYou can download the latest version of %s from www.tunewright.example."},
    {u"gbAudioTrackNo", &TMainModuleStrings::gbAudioTrackNo, u"Audio track"},
    {u"FirstAudioTrack", &TMainModuleStrings::FirstAudioTrack, u"(first audio track)"},
    {u"AudioLanguageUndefined", &TMainModuleStrings::AudioLanguageUndefined, u"(undefined)"},
    {u"AudioLanguage", &TMainModuleStrings::AudioLanguage, u"Language"},
    {u"AudioChannels", &TMainModuleStrings::AudioChannels, u"Channels"},
    {u"Play", &TMainModuleStrings::Play, u"Play"},
    {u"StartFrom_Percent", &TMainModuleStrings::StartFrom_Percent, u"Start from %s"},
    {u"gbTimeRange", &TMainModuleStrings::gbTimeRange, u"Time range"},
    {u"chTimeStart", &TMainModuleStrings::chTimeStart, u"Start:"},
    {u"chTimeEnd", &TMainModuleStrings::chTimeEnd, u"End:"},
    {u"lblTimeH", &TMainModuleStrings::lblTimeH, u"h"},
    {u"lblTimeM", &TMainModuleStrings::lblTimeM, u"m"},
    {u"lblTimeS", &TMainModuleStrings::lblTimeS, u"s"},
    {u"lblTimeMs", &TMainModuleStrings::lblTimeMs, u"ms"},
    {u"lblBitrateMode", &TMainModuleStrings::lblBitrateMode, u"Bitrate mode:"},
    {u"lblLamePreset", &TMainModuleStrings::lblLamePreset, u"Preset:"},
    {u"ExtractAudioStream", &TMainModuleStrings::ExtractAudioStream, u"Try extract original audio stream"},
    {u"lblTagSettings", &TMainModuleStrings::lblTagSettings, u"Metadata:"},
    {u"Tag_Copy", &TMainModuleStrings::Tag_Copy, u"Copy from source"},
    {u"Tag_Add", &TMainModuleStrings::Tag_Add, u"Add custom metadata"},
    {u"Tag_None", &TMainModuleStrings::Tag_None, u"No metadata"},
    {u"MP3TagsToWrite", &TMainModuleStrings::MP3TagsToWrite, u"Metadata to write"},
    {u"TagArtist", &TMainModuleStrings::TagArtist, u"Artist:"},
    {u"TagAlbum", &TMainModuleStrings::TagAlbum, u"Album:"},
    {u"TagTitle", &TMainModuleStrings::TagTitle, u"Title:"},
    {u"TagYear", &TMainModuleStrings::TagYear, u"Year:"},
    {u"TagTrackNo", &TMainModuleStrings::TagTrackNo, u"Track:"},
    {u"TagGenre", &TMainModuleStrings::TagGenre, u"Genre:"},
    {u"TagComment", &TMainModuleStrings::TagComment, u"Comment:"},
    {u"btnTagFileName", &TMainModuleStrings::btnTagFileName, u"File name"},
    {u"btnTagFileNameHint", &TMainModuleStrings::btnTagFileNameHint, u"Take the title from the file name"},
    {u"chTagAddEncoderInfo", &TMainModuleStrings::chTagAddEncoderInfo, u"Add encoder information"},
    {u"chTagAutoNumbering", &TMainModuleStrings::chTagAutoNumbering, u"Number the tracks automatically"},
    {u"actTagCopy", &TMainModuleStrings::actTagCopy, u"Copy metadata"},
    {u"actTagPaste", &TMainModuleStrings::actTagPaste, u"Paste metadata"},
    {u"actTagClear", &TMainModuleStrings::actTagClear, u"Clear metadata"},
    {u"OutputDir", &TMainModuleStrings::OutputDir, u"Output directory"},
    {u"OutDirMode_TheSame", &TMainModuleStrings::OutDirMode_TheSame, u"The same as input file"},
    {u"OutDirMode_Desktop", &TMainModuleStrings::OutDirMode_Desktop, u"System folder: Desktop"},
    {u"OutDirMode_MyMusic", &TMainModuleStrings::OutDirMode_MyMusic, u"System folder: My Music"},
    {u"OutDirMode_MyDocuments", &TMainModuleStrings::OutDirMode_MyDocuments, u"System folder: My Documents"},
    {u"OutDirMode_Custom", &TMainModuleStrings::OutDirMode_Custom, u"Custom"},
    {u"EditOutputDirList", &TMainModuleStrings::EditOutputDirList, u"Edit the directory list..."},
    {u"actPanelsExpand", &TMainModuleStrings::actPanelsExpand, u"Expand all panels"},
    {u"actPanelsCollapse", &TMainModuleStrings::actPanelsCollapse, u"Collapse all panels"},
    {u"actShowSettingsPanel", &TMainModuleStrings::actShowSettingsPanel, u"Show settings panel"},
    {u"actHideSettingsPanel", &TMainModuleStrings::actHideSettingsPanel, u"Hide settings panel"},
    {u"actToolsInfo", &TMainModuleStrings::actToolsInfo, u"Tools info"},
    {u"mnuColumns", &TMainModuleStrings::mnuColumns, u"Columns"},
    {u"actCheckUpdate", &TMainModuleStrings::actCheckUpdate, u"Check for updates..."},
    {u"chKeepDates", &TMainModuleStrings::chKeepDates, u"Keep file dates"},
    {u"KeepDates", &TMainModuleStrings::KeepDates, u"Keeps the creation, last write and the last access time of the original files"},
    {u"lblAudioStereoMode", &TMainModuleStrings::lblAudioStereoMode, u"Stereo mode:"},
    {u"lblAudioAlgoQuality", &TMainModuleStrings::lblAudioAlgoQuality, u"Algorithm quality:"},
    {u"chAudioLowpassFilter", &TMainModuleStrings::chAudioLowpassFilter, u"Lowpass filter"},
    {u"DeleteUnfinished", &TMainModuleStrings::DeleteUnfinished, u"The conversion has been aborted.\\n\\nDo you want to delete a partially converted file:\\n\\n%s"},
    {u"CannotDeleteFile", &TMainModuleStrings::CannotDeleteFile, u"Cannot delete file:\\n\\n%s"},
};

const TField<TErrorsModuleStrings> ErrorsFields[] = {
    {u"Caption", &TErrorsModuleStrings::Caption, u"Errors"},
    {u"actClose", &TErrorsModuleStrings::actClose, u"Close"},
    {u"actSaveLog", &TErrorsModuleStrings::actSaveLog, u"Save log..."},
    {u"actClearLog", &TErrorsModuleStrings::actClearLog, u"Clear log"},
    {u"dlgSaveLogFilter", &TErrorsModuleStrings::dlgSaveLogFilter, u"Log file"},
};

const TField<TFileInfoModuleStrings> FileInfoFields[] = {
    {u"Caption", &TFileInfoModuleStrings::Caption, u"File properties"},
    {u"lblDataStreams", &TFileInfoModuleStrings::lblDataStreams, u"Data streams:"},
    {u"ColumnTitle_Stream", &TFileInfoModuleStrings::ColumnTitle_Stream, u"Stream"},
    {u"ColumnTitle_Details", &TFileInfoModuleStrings::ColumnTitle_Details, u"Details"},
    {u"gbGeneralInfo", &TFileInfoModuleStrings::gbGeneralInfo, u"General info"},
    {u"lblFileSize", &TFileInfoModuleStrings::lblFileSize, u"File size:"},
    {u"lblDuration", &TFileInfoModuleStrings::lblDuration, u"Duration:"},
    {u"lblFileName", &TFileInfoModuleStrings::lblFileName, u"File name:"},
    {u"lblDirectory", &TFileInfoModuleStrings::lblDirectory, u"Directory:"},
    {u"lblOverallBitrate", &TFileInfoModuleStrings::lblOverallBitrate, u"Overall bitrate:"},
    {u"lblFormat", &TFileInfoModuleStrings::lblFormat, u"Format:"},
    {u"lblNumberOfDataStreams", &TFileInfoModuleStrings::lblNumberOfDataStreams, u"Number of all data streams:"},
    {u"lblNumberOfAudioStreams", &TFileInfoModuleStrings::lblNumberOfAudioStreams, u"Number of audio streams:"},
    {u"lblEncodedApplication", &TFileInfoModuleStrings::lblEncodedApplication, u"Encoded application:"},
    {u"gbAudioStream", &TFileInfoModuleStrings::gbAudioStream, u"Audio stream"},
    {u"lblAudioCodec", &TFileInfoModuleStrings::lblAudioCodec, u"Audio codec:"},
    {u"lblAudioProfile", &TFileInfoModuleStrings::lblAudioProfile, u"Profile:"},
    {u"lblAudioBitrate", &TFileInfoModuleStrings::lblAudioBitrate, u"Bitrate:"},
    {u"lblChannels", &TFileInfoModuleStrings::lblChannels, u"Channels:"},
    {u"lblSamplingRate", &TFileInfoModuleStrings::lblSamplingRate, u"Sampling rate:"},
    {u"lblBitsPerSample", &TFileInfoModuleStrings::lblBitsPerSample, u"Bits per sample:"},
    {u"lblAudioFrames", &TFileInfoModuleStrings::lblAudioFrames, u"Samples:"},
    {u"lblAudioLanguage", &TFileInfoModuleStrings::lblAudioLanguage, u"Language:"},
    {u"lblAudioStreamSize", &TFileInfoModuleStrings::lblAudioStreamSize, u"Stream size:"},
    {u"lblAudioEncodedLibrary", &TFileInfoModuleStrings::lblAudioEncodedLibrary, u"Encoded library:"},
    {u"lblAudioStreamIndex", &TFileInfoModuleStrings::lblAudioStreamIndex, u"Stream index:"},
    {u"lblVideoDelay", &TFileInfoModuleStrings::lblVideoDelay, u"Video delay:"},
    {u"actClose", &TFileInfoModuleStrings::actClose, u"Close"},
    {u"actSave", &TFileInfoModuleStrings::actSave, u"Save..."},
    {u"dlgSaveFilter", &TFileInfoModuleStrings::dlgSaveFilter, u"Text files (*.TXT)"},
    {u"Report_Info", &TFileInfoModuleStrings::Report_Info, u"%s - File information report"},
    {u"Report_File", &TFileInfoModuleStrings::Report_File, u"File:"},
    {u"Report_GeneralInfo", &TFileInfoModuleStrings::Report_GeneralInfo, u"GENERAL INFO"},
    {u"Report_FirstAudioStream", &TFileInfoModuleStrings::Report_FirstAudioStream, u"FIRST AUDIO STREAM"},
    {u"Report_AudioStream", &TFileInfoModuleStrings::Report_AudioStream, u"AUDIO STREAM"},
    {u"Report_DataStreams", &TFileInfoModuleStrings::Report_DataStreams, u"DATA STREAMS:"},
    {u"Report_DataStream", &TFileInfoModuleStrings::Report_DataStream, u"DATA STREAM"},
    {u"actCopy", &TFileInfoModuleStrings::actCopy, u"Copy to the Clipboard"},
    {u"btnCopy", &TFileInfoModuleStrings::btnCopy, u"Copy"},
    {u"tabBasicInfo", &TFileInfoModuleStrings::tabBasicInfo, u"Basic info"},
    {u"tabDetailedInfo", &TFileInfoModuleStrings::tabDetailedInfo, u"Detailed info"},
};

const TField<TOptionsModuleStrings> OptionsFields[] = {
    {u"Caption", &TOptionsModuleStrings::Caption, u"Options"},
    {u"gbShortcuts", &TOptionsModuleStrings::gbShortcuts, u"Shortcuts"},
    {u"chShortcutDesktop", &TOptionsModuleStrings::chShortcutDesktop, u"On the Desktop"},
    {u"chShortcutStartMenu", &TOptionsModuleStrings::chShortcutStartMenu, u"In the Start Menu"},
    {u"gbLanguage", &TOptionsModuleStrings::gbLanguage, u"Language"},
    {u"lblVisualStyle", &TOptionsModuleStrings::lblVisualStyle, u"Visual style:"},
    {u"pnFileList", &TOptionsModuleStrings::pnFileList, u"File list"},
    {u"lblFileListFontName", &TOptionsModuleStrings::lblFileListFontName, u"Font name:"},
    {u"lblFileListFontSize", &TOptionsModuleStrings::lblFileListFontSize, u"Font size:"},
    {u"lblFileListRowHeight", &TOptionsModuleStrings::lblFileListRowHeight, u"Row height:"},
    {u"chFileListAllowRowMoving", &TOptionsModuleStrings::chFileListAllowRowMoving, u"Allow row moving"},
    {u"chFileListAllowColumnMoving", &TOptionsModuleStrings::chFileListAllowColumnMoving, u"Allow column moving"},
    {u"chFileListGridLines", &TOptionsModuleStrings::chFileListGridLines, u"Show grid lines"},
    {u"chFileListFooter", &TOptionsModuleStrings::chFileListFooter, u"Show table footer"},
    {u"chFileListRowIndicator", &TOptionsModuleStrings::chFileListRowIndicator, u"Show selected row indicator"},
    {u"chFileListIconClickOpen", &TOptionsModuleStrings::chFileListIconClickOpen, u"Open file after click on the icon"},
    {u"btnCreateShortcutOnDesktop", &TOptionsModuleStrings::btnCreateShortcutOnDesktop, u"Create shortcut on the Desktop"},
    {u"lblFileAnalysis", &TOptionsModuleStrings::lblFileAnalysis, u"File analysis:"},
    {u"FileAnalysis_Full", &TOptionsModuleStrings::FileAnalysis_Full, u"Full"},
    {u"FileAnalysis_Quick", &TOptionsModuleStrings::FileAnalysis_Quick, u"Quick"},
    {u"FileAnalysis_None", &TOptionsModuleStrings::FileAnalysis_None, u"None"},
    {u"chSplitChapters", &TOptionsModuleStrings::chSplitChapters, u"Split files by chapters"},
};

const TField<TProgressModuleStrings> ProgressFields[] = {
    {u"Caption", &TProgressModuleStrings::Caption, u"Conversion"},
    {u"lblEncoderOutput", &TProgressModuleStrings::lblEncoderOutput, u"Encoder output:"},
    {u"lblStatus", &TProgressModuleStrings::lblStatus, u"Status:"},
    {u"lblInputFile", &TProgressModuleStrings::lblInputFile, u"Input file:"},
    {u"lblOutputFile", &TProgressModuleStrings::lblOutputFile, u"Output file:"},
    {u"lblProgress", &TProgressModuleStrings::lblProgress, u"Progress:"},
    {u"btnAbort", &TProgressModuleStrings::btnAbort, u"Abort"},
    {u"chHideEncoderOutput", &TProgressModuleStrings::chHideEncoderOutput, u"Don't show encoder output"},
    {u"ConvertingFile", &TProgressModuleStrings::ConvertingFile, u"Converting file:"},
    {u"Conversion_Pass", &TProgressModuleStrings::Conversion_Pass, u"pass"},
    {u"Conversion_Speed", &TProgressModuleStrings::Conversion_Speed, u"Speed:"},
    {u"Conversion_FramesPerSecond", &TProgressModuleStrings::Conversion_FramesPerSecond, u"frames/sec"},
    {u"Conversion_Frame", &TProgressModuleStrings::Conversion_Frame, u"Frame:"},
    {u"Conversion_Complete", &TProgressModuleStrings::Conversion_Complete, u"Complete:"},
    {u"chCloseAfterConversion", &TProgressModuleStrings::chCloseAfterConversion, u"Close after conversion"},
    {u"lblTime", &TProgressModuleStrings::lblTime, u"Time:"},
    {u"lblSize", &TProgressModuleStrings::lblSize, u"Size:"},
    {u"lblBitrate", &TProgressModuleStrings::lblBitrate, u"Bitrate:"},
    {u"lblSpeed", &TProgressModuleStrings::lblSpeed, u"Speed:"},
};

const TField<TAboutModuleStrings> AboutFields[] = {
    {u"Caption", &TAboutModuleStrings::Caption, u"About"},
    {u"Donation", &TAboutModuleStrings::Donation, u"DONATION"},
};

const TField<TToolsInfoModuleStrings> ToolsInfoFields[] = {
    {u"Caption", &TToolsInfoModuleStrings::Caption, u"Tools info"},
    {u"actClose", &TToolsInfoModuleStrings::actClose, u"Close"},
};

const TField<TDirectoryListModuleStrings> DirectoryListFields[] = {
    {u"Caption", &TDirectoryListModuleStrings::Caption, u"Directories"},
    {u"actAddNewRow", &TDirectoryListModuleStrings::actAddNewRow, u"Add new row"},
    {u"actAddNewFolder", &TDirectoryListModuleStrings::actAddNewFolder, u"Add new folder..."},
    {u"actRemoveSelected", &TDirectoryListModuleStrings::actRemoveSelected, u"Remove selected rows"},
    {u"actLoadList", &TDirectoryListModuleStrings::actLoadList, u"Load directory list..."},
    {u"actSaveList", &TDirectoryListModuleStrings::actSaveList, u"Save directory list..."},
    {u"actSelectAll", &TDirectoryListModuleStrings::actSelectAll, u"Select all rows"},
    {u"actUnselectAll", &TDirectoryListModuleStrings::actUnselectAll, u"Unselect all rows"},
    {u"actOk", &TDirectoryListModuleStrings::actOk, u"OK"},
    {u"actCancel", &TDirectoryListModuleStrings::actCancel, u"Cancel"},
    {u"colNo", &TDirectoryListModuleStrings::colNo, u"No"},
    {u"colActive", &TDirectoryListModuleStrings::colActive, nullptr},
    {u"colDirectory", &TDirectoryListModuleStrings::colDirectory, u"Directory"},
    {u"lblDragInfo", &TDirectoryListModuleStrings::lblDragInfo, u"You can drop folders from the Explorer"},
};

const TField<TCheckUpdateModuleStrings> CheckUpdateFields[] = {
    {u"Caption", &TCheckUpdateModuleStrings::Caption, u"Check for updates"},
    {u"actClose", &TCheckUpdateModuleStrings::actClose, u"Close"},
    {u"lblUserVersion", &TCheckUpdateModuleStrings::lblUserVersion, u"Your version:"},
    {u"lblLatestVersion", &TCheckUpdateModuleStrings::lblLatestVersion, u"The latest version:"},
    {u"CheckNow", &TCheckUpdateModuleStrings::CheckNow, u"Check now"},
    {u"NoUpdates", &TCheckUpdateModuleStrings::NoUpdates, u"No updates available.\\nYou have the latest version."},
    {u"UpdatesAvailable", &TCheckUpdateModuleStrings::UpdatesAvailable, u"A new version is available."},
    {u"CheckingUpdates", &TCheckUpdateModuleStrings::CheckingUpdates, u"Checking available updates.\\nPlease wait..."},
    {u"ConnectionFailed", &TCheckUpdateModuleStrings::ConnectionFailed, u"Can not connect to the server.\\nPlease try again in a few minutes."},
    {u"GoToDownloadPage", &TCheckUpdateModuleStrings::GoToDownloadPage, u"Go to the download page..."},
    {u"btnDownload", &TCheckUpdateModuleStrings::btnDownload, u"Download..."},
    {u"CannotCheck", &TCheckUpdateModuleStrings::CannotCheck, u"Unable to retrieve version information.\\nPlease try again in a few minutes."},
};
// clang-format on

// A language file in memory: sections and keys without regard to case, the last of repeated keys.
class TLangFile {
public:
    explicit TLangFile(const String& Text) {
        QHash<String, String>* section = nullptr;
        const String text =
            String(Text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
        for (const String& raw : text.split(u'\n')) {
            const String line = rtl::Trim(raw);
            if (line.isEmpty() || line.startsWith(u';')) continue;
            if (line.startsWith(u'[') && line.endsWith(u']') && line.size() >= 2) {
                section = &FSections[rtl::Trim(line.mid(1, line.size() - 2)).toLower()];
                continue;
            }
            const int eq = line.indexOf(u'=');
            if (!section || eq < 0) continue; // before any section, or a key without a value
            (*section)[rtl::Trim(line.left(eq)).toLower()] = rtl::Trim(line.mid(eq + 1));
        }
    }

    bool Find(const String& Section, const String& Key, String& Value) const {
        const auto s = FSections.constFind(Section.toLower());
        if (s == FSections.constEnd()) return false;
        const auto k = s->constFind(Key.toLower());
        if (k == s->constEnd()) return false;
        Value = *k;
        return true;
    }

private:
    QHash<String, QHash<String, String>> FSections;
};

template <class R, size_t N> void SetRecordEN(R& Record, const TField<R> (&Fields)[N]) {
    for (const auto& f : Fields)
        if (f.English) Record.*(f.Member) = QString::fromUtf16(f.English);
}

// The key a field is read from; empty for texts the file never supplies.
String FileKey(const char16_t* Section, const char16_t* Key) {
    const String section = QString::fromUtf16(Section), key = QString::fromUtf16(Key);
    if (section == QStringLiteral("MAIN")) {
        if (key == QStringLiteral("UAuto") || key == QStringLiteral("gbOutputDir") ||
            key == QStringLiteral("rbOutDirIsInDir"))
            return {};
        if (key == QStringLiteral("chKeepDates")) return QStringLiteral("chKeepFileDates");
        if (key == QStringLiteral("KeepDates")) return QStringLiteral("KeepFileDates");
    }
    if (key == QStringLiteral("actClose") &&
        (section == QStringLiteral("ToolsInfo") || section == QStringLiteral("CheckUpdate")))
        return {};
    return key;
}

template <class R, size_t N>
void ReadRecord(const TLangFile& File, const char16_t* Section, R& Record, const TField<R> (&Fields)[N]) {
    for (const auto& f : Fields) {
        const String key = FileKey(Section, f.Key);
        if (!key.isEmpty()) File.Find(QString::fromUtf16(Section), key, Record.*(f.Member));
    }
}

template <class R, size_t N>
void EachText(const char16_t* Section, R& Record, const TField<R> (&Fields)[N],
              const std::function<void(const String&, const String&, String&)>& Proc) {
    const String section = QString::fromUtf16(Section);
    for (const auto& f : Fields) Proc(section, QString::fromUtf16(f.Key), Record.*(f.Member));
}

} // namespace

TAppStrings::TAppStrings() {
    SetEN();
}

void TAppStrings::SetEN() {
    SetRecordEN(Main, MainFields);
    SetRecordEN(Errors, ErrorsFields);
    SetRecordEN(FileInfo, FileInfoFields);
    SetRecordEN(Options, OptionsFields);
    SetRecordEN(Progress, ProgressFields);
    SetRecordEN(About, AboutFields);
    SetRecordEN(ToolsInfo, ToolsInfoFields);
    SetRecordEN(DirectoryList, DirectoryListFields);
    SetRecordEN(CheckUpdate, CheckUpdateFields);
    LanguageName = QStringLiteral("English");
}

void TAppStrings::LoadFromFile(const String& fName) {
    // The language file name is empty until a language is chosen, so the folder itself can arrive here.
    if (!QFileInfo(fName).isFile()) return;
    QFile file(fName);
    if (!file.open(QIODevice::ReadOnly))
        throw rtl::EFOpenError(QStringLiteral("Cannot open file \"%1\". %2").arg(fName, file.errorString()));
    const QByteArray bytes = file.readAll();
    const TLangFile lang(rtl::DecodeText(rtl::TBytes(bytes.begin(), bytes.end())));

    LanguageName.clear();
    lang.Find(QStringLiteral("INFO"), QStringLiteral("LangName_InEnglish"), LanguageName);
    ReadRecord(lang, u"MAIN", Main, MainFields);
    ReadRecord(lang, u"Errors", Errors, ErrorsFields);
    ReadRecord(lang, u"FileInfo", FileInfo, FileInfoFields);
    ReadRecord(lang, u"Options", Options, OptionsFields);
    ReadRecord(lang, u"About", About, AboutFields);
    ReadRecord(lang, u"Progress", Progress, ProgressFields);
    ReadRecord(lang, u"ToolsInfo", ToolsInfo, ToolsInfoFields);
    ToolsInfo.actClose = Errors.actClose;
    ReadRecord(lang, u"DirectoryList", DirectoryList, DirectoryListFields);
    ReadRecord(lang, u"CheckUpdate", CheckUpdate, CheckUpdateFields);
    CheckUpdate.actClose = Errors.actClose;
}

String ReadLanguageFileValue(const String& fName, const String& Section, const String& Key) {
    QFile file(fName);
    if (!QFileInfo(fName).isFile() || !file.open(QIODevice::ReadOnly)) return String();
    const QByteArray bytes = file.readAll();
    String value;
    TLangFile(rtl::DecodeText(rtl::TBytes(bytes.begin(), bytes.end()))).Find(Section, Key, value);
    return value;
}

void TAppStrings::ForEachText(const std::function<void(const String&, const String&, String&)>& Proc) {
    EachText(u"MAIN", Main, MainFields, Proc);
    EachText(u"Errors", Errors, ErrorsFields, Proc);
    EachText(u"FileInfo", FileInfo, FileInfoFields, Proc);
    EachText(u"Options", Options, OptionsFields, Proc);
    EachText(u"Progress", Progress, ProgressFields, Proc);
    EachText(u"About", About, AboutFields, Proc);
    EachText(u"ToolsInfo", ToolsInfo, ToolsInfoFields, Proc);
    EachText(u"DirectoryList", DirectoryList, DirectoryListFields, Proc);
    EachText(u"CheckUpdate", CheckUpdate, CheckUpdateFields, Proc);
    Proc(QStringLiteral("INFO"), QStringLiteral("LangName_InEnglish"), LanguageName);
}

String FormatLangStr(const String& Text, const String& Arg1, const String& Arg2) {
    String s = Text;
    s.replace(QStringLiteral("\\n"), QStringLiteral("\r\n"));
    s.replace(QStringLiteral("\\t"), QStringLiteral("\t"));
    int p = s.indexOf(QStringLiteral("%s"));
    if (p >= 0) s.replace(p, 2, Arg1);
    p = s.indexOf(QStringLiteral("%s"));
    if (p >= 0) s.replace(p, 2, Arg2);
    return s;
}

} // namespace shell
