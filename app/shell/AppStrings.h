// app/shell/AppStrings.h: every text of the user interface that follows the chosen language, with the
// built-in English texts and the reading of language files.
#pragma once
#include <functional>
#include <memory>

#include "rtl/Classes.h"

namespace shell {

using rtl::String;

// One record per window; the language-file section of each is named beside its field in TAppStrings.
// A text's key in the file is its field name (but Main.chKeepDates and Main.KeepDates are read from
// chKeepFileDates and KeepFileDates).
struct TMainModuleStrings {
    String Yes, No, Auto, UAuto, AverageShort, actShowCmdLine, cbProfile_TheLastSessionSettings,
        cbProfile_DefaultSettings, cpProfile, mnuLinks, dlgSaveProfile_Filter, dlgOpenProfile_Filter,
        dlgSaveFileList_Filter, dlgOpenFileList_Filter, dlgSaveBAT_Filter, dlgOpen_Filter1, Custom, mnuFile,
        mnuFileList, mnuEncoder, mnuHelp, colNo, colFullFileName, colFile, colDirectory, colSize, colStatus,
        colDuration, colVideo, colIcon, colAudio, colAudioCodec, colAudioBitrate, colAudioChannels,
        colAudioSampling, colAudioStreamSize, colAudioCodecID, colAudioProfile, colTitle, colArtist, colAlbum,
        colTrackNo, colYear, colGenre, colMenu, colChapterCount, colChapterTitle, colChapterStart,
        colChapterEnd, colChapterNo, actConvert, actExit, actLoadProfile, actSaveProfile, actAddFiles,
        actAddFolder, actRemoveChecked, actMinimizeToTray, actShowMainWindow, actLoadFileList,
        actSaveFileList, actCheckAll, actInvertSelection, actUncheckAll, actCheckSelected, actUncheckSelected,
        actClearFileList, actGoToHomePage, actAbout, actShowOptions, actStayOnTop, btnStayOnTop,
        actBrowseOutDir, actExploreOutDir, actSaveBAT, actSetDefaultEncoderSettings, actShowHideFormErrors,
        actShowHideFileInfo, actShowProgressWindow, lblIfOutputExists, lblAfterConversion, gbOutputDir,
        rbOutDirIsInDir, cbAfterConversion_DoNothing, cbAfterConversion_CloseApplication,
        cbAfterConversion_CloseWindows, cbOutputExists_Rename, cbOutputExists_Overwrite, cbOutputExists_Skip,
        cpOutput, cpVideo, cpAudio, cpAdditional, cpTag, lblOutputFormat, lblAudioSampling, lblAudioChannels,
        lblAudioBitrate, btnAdd, btnAddFolder, btnRemove, btnConvert, btnOptions, btnHomePage, btnAbout,
        btnFileInfo, lblAudioVolume, gbFFmpegParams, actExploreDirectory, Error, Errors, Abort, Aborted,
        Close, CantCreateDirectory, Converting, Done, OK_Renamed, Skipped, OK_Overwritten, PleaseWait, Ready,
        AudioBitrateMustBeInteger, AudioSamplingMustBeInteger, CommandLineInfo, FFmpegNotExists,
        gbAudioTrackNo, FirstAudioTrack, AudioLanguageUndefined, AudioLanguage, AudioChannels, Play,
        StartFrom_Percent, gbTimeRange, chTimeStart, chTimeEnd, lblTimeH, lblTimeM, lblTimeS, lblTimeMs,
        lblBitrateMode, lblLamePreset, ExtractAudioStream, lblTagSettings, Tag_Copy, Tag_Add, Tag_None,
        MP3TagsToWrite, TagArtist, TagAlbum, TagTitle, TagYear, TagTrackNo, TagGenre, TagComment,
        btnTagFileName, btnTagFileNameHint, chTagAddEncoderInfo, chTagAutoNumbering, actTagCopy, actTagPaste,
        actTagClear, OutputDir, OutDirMode_TheSame, OutDirMode_Desktop, OutDirMode_MyMusic,
        OutDirMode_MyDocuments, OutDirMode_Custom, EditOutputDirList, actPanelsExpand, actPanelsCollapse,
        actShowSettingsPanel, actHideSettingsPanel, actToolsInfo, mnuColumns, actCheckUpdate, chKeepDates,
        KeepDates, lblAudioStereoMode, lblAudioAlgoQuality, chAudioLowpassFilter, DeleteUnfinished,
        CannotDeleteFile;
};

struct TErrorsModuleStrings {
    String Caption, actClose, actSaveLog, actClearLog, dlgSaveLogFilter;
};

struct TFileInfoModuleStrings {
    String Caption, lblDataStreams, ColumnTitle_Stream, ColumnTitle_Details, gbGeneralInfo, lblFileSize,
        lblDuration, lblFileName, lblDirectory, lblOverallBitrate, lblFormat, lblNumberOfDataStreams,
        lblNumberOfAudioStreams, lblEncodedApplication, gbAudioStream, lblAudioCodec, lblAudioProfile,
        lblAudioBitrate, lblChannels, lblSamplingRate, lblBitsPerSample, lblAudioFrames, lblAudioLanguage,
        lblAudioStreamSize, lblAudioEncodedLibrary, lblAudioStreamIndex, lblVideoDelay, actClose, actSave,
        dlgSaveFilter, Report_Info, Report_File, Report_GeneralInfo, Report_FirstAudioStream,
        Report_AudioStream, Report_DataStreams, Report_DataStream, actCopy, btnCopy, tabBasicInfo,
        tabDetailedInfo;
};

struct TOptionsModuleStrings {
    String Caption, gbShortcuts, chShortcutDesktop, chShortcutStartMenu, gbLanguage, lblVisualStyle,
        pnFileList, lblFileListFontName, lblFileListFontSize, lblFileListRowHeight, chFileListAllowRowMoving,
        chFileListAllowColumnMoving, chFileListGridLines, chFileListFooter, chFileListRowIndicator,
        chFileListIconClickOpen, btnCreateShortcutOnDesktop, lblFileAnalysis, FileAnalysis_Full,
        FileAnalysis_Quick, FileAnalysis_None, chSplitChapters;
};

struct TProgressModuleStrings {
    String Caption, lblEncoderOutput, lblStatus, lblInputFile, lblOutputFile, lblProgress, btnAbort,
        chHideEncoderOutput, ConvertingFile, Conversion_Pass, Conversion_Speed, Conversion_FramesPerSecond,
        Conversion_Frame, Conversion_Complete, chCloseAfterConversion, lblTime, lblSize, lblBitrate, lblSpeed;
};

struct TAboutModuleStrings {
    String Caption, Donation;
};

struct TToolsInfoModuleStrings {
    String Caption, actClose;
};

struct TDirectoryListModuleStrings {
    String Caption, actAddNewRow, actAddNewFolder, actRemoveSelected, actLoadList, actSaveList, actSelectAll,
        actUnselectAll, actOk, actCancel, colNo, colActive, colDirectory, lblDragInfo;
};

struct TCheckUpdateModuleStrings {
    String Caption, actClose, lblUserVersion, lblLatestVersion, CheckNow, NoUpdates, UpdatesAvailable,
        CheckingUpdates, ConnectionFailed, GoToDownloadPage, btnDownload, CannotCheck;
};

class TAppStrings : public rtl::TObject {
public:
    TAppStrings(); // holds the built-in English texts

    TMainModuleStrings Main;                   // [MAIN]
    TErrorsModuleStrings Errors;               // [Errors]
    TFileInfoModuleStrings FileInfo;           // [FileInfo]
    TOptionsModuleStrings Options;             // [Options]
    TProgressModuleStrings Progress;           // [Progress]
    TAboutModuleStrings About;                 // [About]
    TToolsInfoModuleStrings ToolsInfo;         // [ToolsInfo]
    TDirectoryListModuleStrings DirectoryList; // [DirectoryList]
    TCheckUpdateModuleStrings CheckUpdate;     // [CheckUpdate]
    String LanguageName;                       // [INFO] LangName_InEnglish; "English" for the built-in texts

    // Every built-in English text, LanguageName "English". Main.gbOutputDir, Main.rbOutDirIsInDir and
    // DirectoryList.colActive are left as they are (empty unless someone set them).
    void SetEN();
    // Replaces the texts the file holds, key by key; texts the file lacks stay. Nothing happens when
    // the name is not a file (missing, or a folder); a file that cannot be read raises
    // rtl::EFOpenError. A key with nothing after its "=" gives an empty text. MAIN's UAuto,
    // gbOutputDir and rbOutDirIsInDir are never read; ToolsInfo.actClose and CheckUpdate.actClose
    // follow Errors.actClose.
    void LoadFromFile(const String& fName);

    // Every text with its section and key, in declaration order (for tools and tests).
    void
    ForEachText(const std::function<void(const String& Section, const String& Key, String& Value)>& Proc);
};

// The one instance of the program (the main window creates and frees it).
extern std::unique_ptr<TAppStrings> AppStrings;

// One text of a language file, read by the same rules as LoadFromFile; empty when the file, its
// section or its key is missing, or the file cannot be read.
String ReadLanguageFileValue(const String& fName, const String& Section, const String& Key);

// "\n" becomes CR LF and "\t" a tab, then the first "%s" is replaced by Arg1 and the first "%s" of
// that result by Arg2.
String FormatLangStr(const String& Text, const String& Arg1 = String(), const String& Arg2 = String());

} // namespace shell
