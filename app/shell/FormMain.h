// app/shell/FormMain.h: the main window: the file list (the report grid), how files reach it (dialogs,
// drops, file lists, the command line), its settings file, the actions that work on it and the
// conversion run started from it, its menu bar, toolbars and popups, and the settings column.
#pragma once
#include <array>
#include <functional>
#include <memory>
#include <optional>

#include <QElapsedTimer>
#include <QSet>

#include "app/engine/Conversion.h"
#include "app/engine/EncoderPanel.h"
#include "app/engine/FormProgress.h"
#include "app/engine/Metadata.h"
#include "app/engine/StyleColors.h"
#include "app/shell/FileListColumns.h"
#include "app/shell/MainStyle.h"
#include "components/KwpPanel.h"
#include "components/PngImageList.h"
#include "components/KwpPngButton.h"
#include "components/KwpTimer.h"
#include "grid/GridReport.h"
#include "vcl/ActnList.h"
#include "vcl/Dialogs.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"
#include "vcl/ImgList.h"
// The settings column, the tray and the languages at run time.
#include "app/engine/Profiles.h"
#include "components/FlatGroupBox.h"
#include "components/FlatHint.h"
#include "components/KWPlusSplitter.h"
#include "components/PlusCombo.h"
#include "controls/FlipPanel.h"
#include "controls/TrackBar.h"
#include "skins/SkBars.h"
#include "skins/SkEditors.h"
#include "skins/SkPopup.h"
#include "vcl/Menus.h"
#include "vcl/ScrollBox.h"
#include "vcl/StdCtrls.h"
#include "vcl/TrayIcon.h"

namespace base {
class TKwpMemIniFile;
}

namespace shell {

using rtl::String;
class TFileIcons;

// Fills List with the pictures named by Files (without ".png") under data/icons of the program's folder;
// a missing or unreadable file keeps its place as an empty picture, so the indexes never move.
void LoadBarPictures(components::TPngImageList* List, const char16_t* const* Files, int Count);

class TFormMain;
class TAppStrings;

// ---- the unit's globals ---------------------------------------------------------------------------------

extern TFormMain* FormMain;
extern bool bConverting;           // a conversion run is under way
extern bool bStopAdding;           // the running add loop is to stop
extern bool bStayOnTop;
extern bool bRightPanelCollapsed;
extern bool bTagCopied;            // the metadata panel was copied once: pasting is possible
extern bool bChooseLangBySystem;
extern bool bUpdatingControls;     // controls are filled by code; change handlers do nothing
extern String ShortcutFileName;
extern int ChapterIconIndex;
extern engine::TTagRec TagRec;     // the metadata panel's copy
extern std::unique_ptr<TFileIcons> FileIcons;
extern rtl::TStringList* EncoderOutputList;

// The secondary windows (the entry creates them after the main window; null until then).
class TFormErrors;
class TFormToolsInfo;
class TFormCmdLine;
class TFormAbout;
class TFormCheckUpdate;
class TFormFileInfo;
extern engine::TFormProgress* FormProgress;
extern TFormErrors* FormErrors;
extern TFormToolsInfo* FormToolsInfo;
extern TFormCmdLine* FormCmdLine;
extern TFormAbout* FormAbout;
extern TFormCheckUpdate* FormCheckUpdate;
extern TFormFileInfo* FormFileInfo;
// Add loops under way (a close waits until the outermost has returned).
extern int AddLoopDepth;

// The arguments the main window's creation reads (the process's own unless set before it is created).
extern std::optional<QStringList> StartArgs;

// The window caption and application title.
extern const char16_t* const MainCaption;

// How the program ends a system session ("Close Windows" after a conversion); tests replace it.
extern std::function<void()> PowerOffWindows;

// The grid's columns by position in the designed table.
enum TFileListCol {
    colNo, colActive, colIcon, colFullFileName, colFileName, colDirectory, colSize, colDuration, colMenu,
    colChapterCount, colChapterNo, colChapterTitle, colChapterStart, colChapterEnd, colTagArtist, colTagTrackNo,
    colTagTitle, colTagAlbum, colTagYear, colTagGenre, colAudio, colAudioCodec, colAudioCodecID, colAudioProfile,
    colAudioBitrate, colAudioChannels, colAudioSampling, colAudioStreamSize, colVideo, colStatus, colStatusInt,
    colFileType
};

// A chapter row's file name and full name are its file's, behind this indent.
inline const String ChapterIndent = QStringLiteral("        ");

// What happened to a file offered to the list.
enum TAddResult { arAdded, arNotAccepted, arListed, arMissing };

// The grid as the conversion run reads and marks it.
class TGridConvertList : public engine::TConvertList {
public:
    explicit TGridConvertList(TFormMain& Form) : F(Form) {}
    int RowCount() const override;
    bool IsChecked(int Row) const override;
    engine::TFileRowInfo RowInfo(int Row) const override;
    void SetStatus(int Row, const String& Status) override;

private:
    TFormMain& F;
};

class TFormMain : public vcl::TForm {
public:
    explicit TFormMain(rtl::TComponent* AOwner);
    ~TFormMain() override;

    // ---- components ----
    components::TKwpPanel* pnMain;
    grid::TReportGrid* ng;
    components::TKwpPanel* pnTemplates;  // hidden: its button's colours and font are the windows' template
    components::TKwpPngButton* btnT;
    controls::TKWRgFlipPanel* fpTemplate;  // hidden: its colours fill the plain style's flip-panel colours
    components::TFlatHint* AppHint;        // the application's hints are flat ones, in the style's colours
    vcl::TActionList* Actions;
    vcl::TAction *actAddFiles, *actAddFolder, *actLoadFileList, *actSaveFileList, *actConvert, *actSaveBAT,
        *actExit, *actEsc, *actRemoveChecked, *actClearFileList, *actCheckAll, *actUncheckAll, *actInvertSelection,
        *actCheckSelected, *actUncheckSelected, *actShowHideFormErrors, *actShowProgressWindow,
        *actShowHideFileInfo, *actExploreDirectory, *actToolsInfo, *actCheckUpdate, *actAbout, *actPlay,
        *actShowCmdLine, *actLoadProfile, *actSaveProfile, *actSetDefaultEncoderSettings, *actTagClear,
        *actTagCopy, *actTagPaste;
    vcl::TOpenDialog *dlgOpen, *dlgOpenFileList, *dlgOpenProfile;
    vcl::TSaveDialog *dlgSaveFileList, *dlgSaveBAT, *dlgSaveProfile;
    vcl::TImageList* ilIcons;
    vcl::TTimer* tmExit;
    components::TKwpTimer* tmUpdateLastSelectedRow;

    // The grid row whose details the window last showed.
    int LastSelectedRow = -1;

    // ---- the settings column's values (its controls come later) ----
    engine::TEncoderPanel EncoderPanel;
    engine::TTagPanel TagPanel;
    int AfterConversion = 0; // 0 nothing, 1 close the program, 2 end the system session
    bool KeepFileDates = false;
    bool EscExit = false;
    bool PanelExpanded[5] = {true, true, true, true, true}; // output, profile, audio, additional, tag
    String FolderDialogDir;                                  // the add-folder dialog's folder

    // ---- seams for tests ----
    // Reads a file for its row (quick or full analysis).
    std::function<void(const String& FileName, engine::TVideoFileInfo& Info, engine::TTagRec& Tags)> AnalyseForRow;
    // The chapters of a file with a menu.
    std::function<void(const String& FileName, engine::TVideoFileInfo& Info)> ReadChapters;
    // The analysis of the selected row (audio tracks, file information).
    std::function<engine::TVideoFileInfo(const String& FileName)> AnalyseSelected;
    // The add-folder dialog: true and the folder when one was chosen.
    std::function<bool(String& Folder)> ChooseFolder;
    // Why file arguments added nothing (an unattended run reports them).
    QStringList NotAddedNotes;
    // The language texts the window shows.
    TAppStrings* Strings() const;

    // ---- start-up and shut-down ----
    void FormCreate(rtl::TObject* Sender);
    void FormClose(rtl::TObject* Sender, vcl::TCloseAction& Action);
    void FormDestroy(rtl::TObject* Sender);
    void tmExitTimer(rtl::TObject* Sender);
    void CloseAllSecondaryForms();
    void ClosePreview();
    void CheckIniFile();
    // The secondary windows, once they exist (the entry creates them after this one).
    void AttachSecondaryForms();

    // ---- adding files ----
    TAddResult AddToList(const String& fName, bool Checked);
    bool IsFileOnList(const String& fName) const;
    void LoadFileList(const String& LstFile, bool FromCommandLine = false);
    void AddFolder(const String& Folder, bool SuspendUpdates);
    void DropFiles(const QStringList& Files);
    void UpdateInitialFolders(const String& Dir);
    void actAddFilesExecute(rtl::TObject* Sender);
    void actAddFolderExecute(rtl::TObject* Sender);
    void actLoadFileListExecute(rtl::TObject* Sender);

    // ---- the rows ----
    bool IsValidRowIndex(int Row) const;
    bool IsChapterRow(int Row) const;
    int GetNgCheckedCount() const;
    String GetNgDirectory(int Row) const;
    String GetNgFullFileName(int Row) const;
    void GetGridInfo(engine::TGridInfo& Info) const;
    void RenumNg();
    void ClearFooter();
    void CalcFooter();
    void ngUpdateRowFileInfo(int Row);
    void UpdateCbAudioTrackNo();
    // The text a cell shows by its column's rule (the stored value stays).
    String CellDrawText(int Col, int Row, const String& Stored) const;
    void actCheckAllExecute(rtl::TObject* Sender);
    void actUncheckAllExecute(rtl::TObject* Sender);
    void actInvertSelectionExecute(rtl::TObject* Sender);
    void actCheckSelectedExecute(rtl::TObject* Sender);
    void actUncheckSelectedExecute(rtl::TObject* Sender);
    void actRemoveCheckedExecute(rtl::TObject* Sender);
    void actClearFileListExecute(rtl::TObject* Sender);
    void SetGridFont(const String& Name, int Size);

    // ---- settings ----
    void LoadSettingsFromIni();
    void SaveSettingsToIni();

    // ---- actions ----
    void InitControls();
    void DisableAll();
    void EnableAll();
    void SetLang();
    void actExitExecute(rtl::TObject* Sender);
    void actEscExecute(rtl::TObject* Sender);
    void actSaveBATExecute(rtl::TObject* Sender);
    void actSaveFileListExecute(rtl::TObject* Sender);
    void SaveFileList(const String& FileName);
    void actShowHideFormErrorsExecute(rtl::TObject* Sender);
    void actShowProgressWindowExecute(rtl::TObject* Sender);
    void actShowHideFileInfoExecute(rtl::TObject* Sender);
    void actExploreDirectoryExecute(rtl::TObject* Sender);
    void actToolsInfoExecute(rtl::TObject* Sender);
    void actCheckUpdateExecute(rtl::TObject* Sender);
    void actAboutExecute(rtl::TObject* Sender);
    void actConvertExecute(rtl::TObject* Sender);
    void actPlayExecute(rtl::TObject* Sender);
    void actShowCmdLineExecute(rtl::TObject* Sender);
    void actLoadProfileExecute(rtl::TObject* Sender);
    void actSaveProfileExecute(rtl::TObject* Sender);
    void actSetDefaultEncoderSettingsExecute(rtl::TObject* Sender);
    void actTagClearExecute(rtl::TObject* Sender);
    void actTagCopyExecute(rtl::TObject* Sender);
    void actTagPasteExecute(rtl::TObject* Sender);

    // ---- the settings column, the tray, stay-on-top and the remaining actions ----
    // (FormMainPanels.cpp, FormMainLang.cpp, Tray.cpp). The controls mirror EncoderPanel and TagPanel:
    // a change in a control writes its model, and InitControls puts the models back into the controls.
    components::TKwpPanel* pnNav;   // the settings column at the right
    components::TKWPlusSplitter* spMain;
    vcl::TScrollBox* sboxNav;
    controls::TKWRgFlipPanel *fpOutput, *fpProfile, *fpAudio, *fpAdditional, *fpTag;
    components::TPlusComboBox *cbOutDirMode, *cbOutDir, *cbOutputExists, *cbOutputFormat, *cbAudioTrackNo,
        *cbBitrateMode, *cbPresets, *cbAudioBitrate, *cbAudioSampling, *cbAudioChannels, *cbAudioStereoMode,
        *cbAudioAlgoQuality, *cbAfterConversion, *cbTagSettings, *cbTagYear, *cbTagGenres, *cbMP3TagsToWrite;
    skins::TSkComboBox* cbProfileNew;
    skins::TSkSpinEdit *spedAudioLowpass, *spedTimeStartH, *spedTimeStartM, *spedTimeStartS, *spedTimeStartMs,
        *spedTimeEndH, *spedTimeEndM, *spedTimeEndS, *spedTimeEndMs;
    vcl::TCheckBox *chKeepDates, *chAudioLowpass, *chTimeStart, *chTimeEnd, *chTagAutoNumbering, *chTagAddEncoderInfo;
    controls::TKWRgTrackBar6* tbAudioVolume;
    vcl::TLabel *lblAudioVolumeInfo, *lblAudioVolume, *lblAudioBitrateUnit, *lblAudioSamplingUnit, *lblAudioLowpass,
        *lblTimeStartH, *lblTimeStartM, *lblTimeStartS, *lblTimeStartMs, *lblTimeEndH, *lblTimeEndM, *lblTimeEndS,
        *lblTimeEndMs, *lblTagComment;
    components::TFlatGroupBox* gbTimeRange;
    vcl::TLabeledEdit *edTagArtist, *edTagAlbum, *edTagTitle, *edTagTrackNo, *edTagTrackNo2;
    vcl::TMemo* meTagComment;
    components::TKwpPngButton *btnBrowseOutDir, *btnEditOutputDirList, *btnExploreOutDir, *btnLoadSelectedProfile,
        *btnBitrateInfo, *btnTagFileName, *btnTagCopy, *btnTagPaste, *btnTagClear, *btnTagLibrary;
    vcl::TTimer* tmFixControlPos;
    vcl::TTrayIcon* ti;
    vcl::TPopupMenu* popTi;
    vcl::TAction *actPanelsExpand, *actPanelsCollapse, *actPanels_ShowOutput, *actPanels_ShowProfile,
        *actPanels_ShowAudio, *actPanels_ShowAdditional, *actShowHideSettingsPanel, *actBrowseOutDir,
        *actExploreOutDir, *actEditOutputDirList, *actLoadSelectedProfile, *actMinimizeToTray,
        *actShowHideMainWindow, *actStayOnTop, *actHelp, *actGoToHomePage, *actShowOptions;
    // The profile combo's entries (items 2.. are its profiles).
    engine::TProfileCombo Profiles;
    // The folder picker of actBrowseOutDir (tests replace it): true and the folder when one was chosen.
    std::function<bool(const String& StartDir, String& Folder)> PickOutDir;
    // Whether the desktop has a notification area (tests replace it).
    std::function<bool()> TrayAvailable;
    // The options window and the output-folder list editor, once they exist (shown, hidden, kept on top).
    vcl::TCustomForm* OptionsForm = nullptr;
    vcl::TCustomForm* OutputDirListForm = nullptr;

    void PrepareControls();
    void SetDefaultParams();
    void PanelsFromModels();     // the models into the controls
    void ApplyPanelRules();      // the enabling rules of the settings column
    void DisableFlipPanels();
    void EnableFlipPanels();
    void UpdateOutputPanelRightCaption();
    void UpdateAudioPanelRightCaption();
    void GetProfiles();
    // Saves the panel as a profile; one saved in the profiles folder is listed and selected.
    void SaveProfileAs(const String& FileName);
    // The panels' saved state (expanded panels, folded column, after-conversion choice) shown.
    void ApplySavedPanels();
    // The settings column's part of SetLang; the bit-rate and sampling texts as they were before it.
    void SetLangPanels(const String& TypedBitrate, const String& TypedSampling);
    void ShowOnlyPanel(controls::TKWRgFlipPanel* Panel);
    void RealignNav(); // re-aligns the scroll box with the panels in their order
    void actPanelsExpandExecute(rtl::TObject* Sender);
    void actPanelsCollapseExecute(rtl::TObject* Sender);
    void actPanelsShowExecute(rtl::TObject* Sender);
    void actShowHideSettingsPanelExecute(rtl::TObject* Sender);
    void RightPanelCollapsed();
    void actBrowseOutDirExecute(rtl::TObject* Sender);
    void actExploreOutDirExecute(rtl::TObject* Sender);
    void actEditOutputDirListExecute(rtl::TObject* Sender);
    void actLoadSelectedProfileExecute(rtl::TObject* Sender);
    void cbProfileNewChange(rtl::TObject* Sender);
    void cbOutDirChange(rtl::TObject* Sender);
    void tmFixControlPosTimer(rtl::TObject* Sender);
    void tbAudioVolumeChange(rtl::TObject* Sender);
    void btnBitrateInfoClick(rtl::TObject* Sender);
    void btnTagFileNameClick(rtl::TObject* Sender);
    void btnTagLibraryClick(rtl::TObject* Sender);
    void fpChange(rtl::TObject* Sender);
    void PanelControlChange(rtl::TObject* Sender);
    void cbProfileNewDrawItem(rtl::TObject* Sender, vcl::TCanvas* ACanvas, vcl::TRect& ARect, int Index,
                              vcl::TOwnerDrawState State, skins::TSkPaintStage PaintStage, bool& PaintDefault);
    void actMinimizeToTrayExecute(rtl::TObject* Sender);
    void actShowHideMainWindowExecute(rtl::TObject* Sender);
    void actStayOnTopExecute(rtl::TObject* Sender);
    void actHelpExecute(rtl::TObject* Sender);
    void actGoToHomePageExecute(rtl::TObject* Sender);
    void actShowOptionsExecute(rtl::TObject* Sender);
    void OpenLink(int Index); // an entry of the links table
    void tiClick(rtl::TObject* Sender);
    void popTiPopup(rtl::TObject* Sender);
    // The secondary windows stay-on-top follows.
    QList<vcl::TCustomForm*> SecondaryForms() const;

private:
    void BuildSettingsColumn();
    void BuildTray();
    void BuildBars();
    void ReleaseBars();
    void ngMouseDown(rtl::TObject* Sender, vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y);
    void ngContextPopup(rtl::TObject* Sender, vcl::TPoint MousePos, bool& Handled);
    bool FHeaderPopupShown = false;
    bool FBarsBuilt = false;
    std::array<std::pair<components::TPlusComboBox*, engine::TComboModel*>, 12> ComboBindings();
    std::array<std::pair<skins::TSkSpinEdit*, engine::TSpinEditModel*>, 9> SpinBindings();
    void ReleaseSettingsColumn();
    bool FSettingsBuilt = false;

public:
    // The last run's result (the unattended exit status) and whether a run took place.
    engine::TRunResult LastRun;
    bool HasRun = false;
    // With no display the run's boxes and error log go to standard error.
    bool Headless = false;
    // Set by the run when the program is to close once it has returned.
    bool CloseAfterRun = false;
    // The batch-script mode of the next run and its file.
    bool bSaveAsBatch = false;
    String BatchFileName;
    // The run under way (null between runs).
    engine::TConversionRun* CurrentRun = nullptr;
    // Tests replace the run's analysis.
    std::function<engine::TVideoFileInfo(const String& FileName, const String& EncoderPath)> RunAnalyse;

    // ---- the bars (FormMainBars.cpp) ----
    skins::TSkDock *dockMainMenu, *dockToolbar, *dockNav;
    skins::TSkToolbar *tbMenu, *tbMain, *tbNav;
    skins::TSkSubmenuItem *mnuFile, *mnuFileList, *mnuColumnsMenu, *mnuEncoder, *mnuHelp, *mnuLinks;
    skins::TSkItem *btnAdd, *btnAddFolder, *btnRemove, *btnConvert, *btnFileInfo, *btnOptions, *btnHomePage,
        *btnStayOnTop;
    // The navigation bar: "<<" (folded only), the four panels, Expand, Collapse and the expander ">>>".
    skins::TSkItem *btnShowSettingsPanel, *btnNavOutput, *btnNavProfile, *btnNavAudio, *btnNavAdditional,
        *btnNavExpand, *btnNavCollapse, *spbtnExpander;
    bars::TBarSeparatorItem *sepNav1, *sepNav2;
    skins::TSkPopupMenu *popNg, *popColumns, *popPreview_Filters;
    skins::TSkSubmenuItem* popColumnsSubmenu;
    std::array<skins::TSkItem*, 10> miStartF{}; // miStartF0 .. miStartF90
    // actColNoVisible .. actColStatusVisible, in the column menus' order.
    std::array<vcl::TAction*, 29> actColVisible{};
    // The column each of actColVisible shows or hides.
    static const std::array<TFileListCol, 29> ColVisibleColumns;
    void InitColVisibleActions();
    void actColVisibleExecute(rtl::TObject* Sender);
    // The bars take the pictures the style chose (light or dimmed), the navigation bar its menu-bar look.
    void SetBarImages(bool Dark, bool Carbon);
    // The bars' texts in the chosen language (part of SetLang).
    void SetLangBars();
    // Shows the navigation bar's buttons for the column's fold.
    void UpdateNavButtons();
    // Detaches and empties the image lists (the close).
    void ReleaseImageLists();

    // ---- options, the output-folder list and the visual style ----
    components::TPngImageList *pilMain_Light, *pilMain_Dark, *pilNav_LightIcons, *pilNav_DarkIcons;
    // The pictures the style chose for the bars (the dimmed set under a dark style).
    components::TPngImageList *ActivePictures = nullptr, *ActiveNavPictures = nullptr;
    // The settings column's controls the style colours (set as the column is built).
    TMainStyleControls StyleControls;
    // The output-folder box's text and its reload after the list was edited (set by the box's owner).
    std::function<String()> GetOutputDirText;
    std::function<void()> OutputDirListChanged;
    void SetStyleColors(const String& StyleName);
    void CreateStyleParts(); // in the constructor
    void PrepareStyle();     // in FormCreate, once the settings are read

protected:
    void CreateWnd() override;

private:
    void ngSelectCell(rtl::TObject* Sender, int ACol, int ARow);
    void ngClick(rtl::TObject* Sender);
    void ngCellClick(rtl::TObject* Sender, int ACol, int ARow);
    void ngDrawText(rtl::TObject* Sender, int ACol, int ARow, String& Value);
    void ngCellColoring(rtl::TObject* Sender, int ACol, int ARow, vcl::TColor& CellColor, vcl::TColor& GridColor,
                        grid::TCellState CellState);
    void ngCellFormating(rtl::TObject* Sender, int ACol, int ARow, vcl::TColor& TextColor, vcl::TFontStyles& Style,
                         grid::TCellState CellState);
    void tmUpdateLastSelectedRowTimer(rtl::TObject* Sender);
    void FormDropFiles(rtl::TObject* Sender, const QStringList& Files, vcl::TPoint Pos);
    void SetCheckAll(int Mode, bool SelectedOnly); // 0 uncheck, 1 check, 2 invert
    vcl::TAction* NewAction(const char16_t* Caption, vcl::TShortCut ShortCut, void (TFormMain::*Handler)(rtl::TObject*));
    void AddChapterRows(int FileRow, const String& FullName, const engine::TVideoFileInfo& Info);
    void Pump();
    void RefreshAtPumpPoint();
    void CaptureGridColors(engine::TStyleColorScheme& Scheme);
    void CaptureControlColors(engine::TStyleColorScheme& Scheme);
    void SetProfileComboColor();

    TGridConvertList FList{*this};
    // The listed paths, kept beside the grid so that a long add is not quadratic; rebuilt whenever the
    // grid's row count differs from what the set has seen (rows removed elsewhere).
    mutable QSet<QString> FListed;
    mutable int FListedRows = -1;
    QElapsedTimer FRefreshClock; // since the last refresh at an add loop's pump point
    int64_t FRefreshGapMs = 100;  // until the next one
    bool FClosed = false; // shut down: a second close does nothing
};

// The settings folder: the program's own when it can be written, else $XDG_CONFIG_HOME/tunewright (or
// ~/.config/tunewright). The settings file, the output-folder list and the last session's profile go there.
String SettingsDir(const String& ProgramDir);
// Points the settings file, the output-folder list and the last session's profile at Dir.
void UseSettingsDir(engine::TAppParams& Params, const String& Dir);

} // namespace shell
