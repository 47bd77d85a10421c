// The main window: start-up, shut-down and the actions that are not about rows.
#include "app/shell/FormMain.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <unistd.h>

#include "app/engine/Analysis.h"
#include "app/engine/ConRun.h"
#include "app/engine/MediaInfoReport.h"
#include "app/engine/EncoderParams.h"
#include "app/engine/Preview.h"
#include "app/engine/Procs.h"
#include "app/engine/ProcsControls.h"
#include "app/engine/Profiles.h"
#include "app/engine/StyleColors.h"
#include "app/engine/ToolsReport.h"
#include "app/shell/AppStrings.h"
#include "app/shell/CmdLine.h"
#include "app/shell/EngineLang.h"
#include "app/shell/FileIcons.h"
#include "app/shell/FormAbout.h"
#include "app/shell/FormCheckUpdate.h"
#include "app/shell/FormCmdLine.h"
#include "app/shell/FormErrors.h"
#include "app/shell/FormFileInfo.h"
#include "app/shell/LangIniList.h"
#include "app/shell/VisualStyles.h"
#include "app/shell/Settings.h"
#include "base/Colors.h"
#include "base/MemIniFile.h"
#include "rtl/Encoding.h"
#include "win/shell32/objbase.h"
#include "win/shell32/shlobj.h"
#include "rtl/Files.h"
#include "rtl/SysUtils.h"
#include "win/kernel32/winbase.h"
#include "win/kernel32/winnls.h"

namespace shell {

TFormMain* FormMain = nullptr;
bool bConverting = false;
bool bStopAdding = false;
bool bStayOnTop = false;
bool bRightPanelCollapsed = false;
bool bTagCopied = false;
bool bChooseLangBySystem = true;
bool bUpdatingControls = false;
String ShortcutFileName;
int ChapterIconIndex = -1;
engine::TTagRec TagRec;
std::unique_ptr<TFileIcons> FileIcons;
rtl::TStringList* EncoderOutputList = nullptr;
int AddLoopDepth = 0;
std::optional<QStringList> StartArgs;
const char16_t* const MainCaption = u"Tunewright 1.5  [64-bit]";

engine::TFormProgress* FormProgress = nullptr;
TFormErrors* FormErrors = nullptr;
TFormToolsInfo* FormToolsInfo = nullptr;
TFormCmdLine* FormCmdLine = nullptr;
TFormAbout* FormAbout = nullptr;
TFormCheckUpdate* FormCheckUpdate = nullptr;
TFormFileInfo* FormFileInfo = nullptr;

std::function<void()> PowerOffWindows = [] {
    // The session's own way out; nothing is reported when it refuses.
    engine::RunConsoleApp(QStringLiteral("systemctl"), QStringLiteral("poweroff"), nullptr, 0);
};

// ---- the settings folder ------------------------------------------------------------------------------

String SettingsDir(const String& ProgramDir) {
    // A probe file rather than access(): a root user passes access() on a read-only folder too.
    const String probe = rtl::IncludeTrailingPathDelimiter(ProgramDir) + QStringLiteral(".tunewright-write-test");
    QFile f(probe);
    if (f.open(QIODevice::WriteOnly)) {
        f.close();
        f.remove();
        return ProgramDir;
    }
    String config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty()) config = QDir::homePath() + QStringLiteral("/.config");
    return rtl::ExcludeTrailingPathDelimiter(config) + QStringLiteral("/tunewright");
}

void UseSettingsDir(engine::TAppParams& Params, const String& Dir) {
    Params.IniName = Dir + QStringLiteral("/TunewrightApp.ini");
    Params.ListFile_Directories = Dir + QStringLiteral("/data/directories.ini");
    // The last session's profile goes with the settings; the shipped profiles are only read.
    Params.LastProfileFile = Dir + QStringLiteral("/profiles/__Last.ini");
}

// ---- the grid as the run's list -----------------------------------------------------------------------

int TGridConvertList::RowCount() const { return F.ng->RowCount(); }

bool TGridConvertList::IsChecked(int Row) const { return F.ng->GetCell(colActive, Row)->AsBoolean(); }

engine::TFileRowInfo TGridConvertList::RowInfo(int Row) const {
    engine::TFileRowInfo info;
    info.FileName = F.GetNgFullFileName(Row);
    info.bChapter = F.IsChapterRow(Row);
    if (info.bChapter) {
        info.ChapterStartMs = F.ng->GetCell(colChapterStart, Row)->AsInteger();
        info.ChapterEndMs = F.ng->GetCell(colChapterEnd, Row)->AsInteger();
        info.ChapterTitle = F.ng->GetCell(colChapterTitle, Row)->AsString();
        info.ChapterNo = F.ng->GetCell(colChapterNo, Row)->AsString();
    }
    return info;
}

void TGridConvertList::SetStatus(int Row, const String& Status) {
    F.ng->GetCell(colStatus, Row)->SetAsString(Status);
}

// ---- creation ---------------------------------------------------------------------------------------

// The plain style's grid colours, from the window's design.
void TFormMain::CaptureGridColors(engine::TStyleColorScheme& S) {
    auto grey = [](int v) { return vcl::TColor(v | (v << 8) | (v << 16)); };
    S.GridColor = 0xFFFFFF;
    S.GridHeaderColor = vcl::ColorToRGB(ng->Columns()->Item(colNo)->Header()->Color());
    S.GridHeaderBorderColor = grey(210);
    S.GridHeaderFontColor = 0;
    S.GridCellColor = S.GridColor;
    S.GridLinesColor = grey(240);
    S.GridFontColor = 0;
    S.GridHighlightedTextColor = 0;
    S.GridSelectionColor = 0xC7D6BA;
    S.GridInactiveSelectionColor = grey(229);
    S.Spare12 = grey(240);
    S.GridFooterColor = S.GridHeaderColor;
    S.GridFooterSplitterColor = grey(230);
    S.GridNumberFooterColor = S.GridColor;
    S.GridFooterBorderColor = grey(210);
    S.GridIndicatorColor = S.GridHeaderColor;
    S.GridIndicatorLineColor = S.GridHeaderBorderColor;
    S.GridIndicatorHotColor = 0x5A6D45;
    S.GridIndicatorSelectedLineColor = base::ChangeColorByPercent(S.GridIndicatorHotColor, 40, true);
    S.GridIndicatorHotTriangleColor = 0xFFFFFF;
    S.GridSortColor = vcl::ColorToRGB(vcl::clBtnFace);
}

vcl::TAction* TFormMain::NewAction(const char16_t* Caption, vcl::TShortCut ShortCut,
                                   void (TFormMain::*Handler)(rtl::TObject*)) {
    auto* a = new vcl::TAction(this);
    a->SetActionList(Actions);
    a->SetCaption(String::fromUtf16(Caption));
    a->SetShortCut(ShortCut);
    a->SetOnExecute(rtl::TNotifyEvent(this, Handler));
    return a;
}

TFormMain::TFormMain(rtl::TComponent* AOwner) : vcl::TForm(AOwner) {
    using vcl::scCtrl;
    using vcl::scShift;
    SetPosition(vcl::poScreenCenter);
    SetCaption(String::fromUtf16(MainCaption));

    pnMain = new components::TKwpPanel(this);
    pnMain->SetParent(this);
    pnMain->SetAlign(vcl::alClient);
    ilIcons = new vcl::TImageList(this);
    ilIcons->SetWidth(16);
    ilIcons->SetHeight(16);
    ng = new grid::TReportGrid(this);
    ng->SetParent(pnMain);
    SetUpFileListGrid(ng, this, nullptr, ilIcons);

    pnTemplates = new components::TKwpPanel(this);
    pnTemplates->SetParent(this);
    btnT = new components::TKwpPngButton(this);
    btnT->SetParent(pnTemplates);
    fpTemplate = new controls::TKWRgFlipPanel(this);
    fpTemplate->SetParent(pnTemplates);
    AppHint = new components::TFlatHint(this);

    Actions = new vcl::TActionList(this);
    actConvert = NewAction(u"Convert checked files...", scCtrl | 'E', &TFormMain::actConvertExecute);
    actAddFiles = NewAction(u"Add files...", scCtrl | 'O', &TFormMain::actAddFilesExecute);
    actAddFolder = NewAction(u"Add folder...", scCtrl | 'F', &TFormMain::actAddFolderExecute);
    actLoadFileList = NewAction(u"Load file list...", scCtrl | scShift | 'O', &TFormMain::actLoadFileListExecute);
    actSaveFileList = NewAction(u"Save file list...", scCtrl | scShift | 'S', &TFormMain::actSaveFileListExecute);
    actSaveBAT = NewAction(u"Save BAT file...", 0, &TFormMain::actSaveBATExecute);
    actExit = NewAction(u"Exit", 0, &TFormMain::actExitExecute);
    actEsc = NewAction(u"actEsc", VK_ESCAPE, &TFormMain::actEscExecute);
    actRemoveChecked = NewAction(u"Remove checked", 0, &TFormMain::actRemoveCheckedExecute);
    actClearFileList = NewAction(u"Clear file list", 0, &TFormMain::actClearFileListExecute);
    actCheckAll = NewAction(u"Check all", scCtrl | 'A', &TFormMain::actCheckAllExecute);
    actUncheckAll = NewAction(u"Uncheck all", 0, &TFormMain::actUncheckAllExecute);
    actInvertSelection = NewAction(u"Invert selection", scCtrl | 'I', &TFormMain::actInvertSelectionExecute);
    actCheckSelected = NewAction(u"Check selected", 0, &TFormMain::actCheckSelectedExecute);
    actUncheckSelected = NewAction(u"Uncheck selected", 0, &TFormMain::actUncheckSelectedExecute);
    actShowHideFormErrors = NewAction(u"Errors", VK_F11, &TFormMain::actShowHideFormErrorsExecute);
    actShowProgressWindow = NewAction(u"Progress window", VK_F8, &TFormMain::actShowProgressWindowExecute);
    actShowHideFileInfo = NewAction(u"Info", VK_F10, &TFormMain::actShowHideFileInfoExecute);
    actExploreDirectory = NewAction(u"Open directory", 0, &TFormMain::actExploreDirectoryExecute);
    actToolsInfo = NewAction(u"Tools info", scCtrl | scShift | 'I', &TFormMain::actToolsInfoExecute);
    actCheckUpdate = NewAction(u"Check for updates...", scCtrl | scShift | 'U', &TFormMain::actCheckUpdateExecute);
    actAbout = NewAction(u"About...", scCtrl | scShift | VK_F1, &TFormMain::actAboutExecute);
    actPlay = NewAction(u"Play", VK_F5, &TFormMain::actPlayExecute);
    actShowCmdLine = NewAction(u"Command line", VK_F2, &TFormMain::actShowCmdLineExecute);
    actLoadProfile = NewAction(u"Load profile...", scCtrl | 'P', &TFormMain::actLoadProfileExecute);
    actSaveProfile = NewAction(u"Save profile...", scCtrl | 'S', &TFormMain::actSaveProfileExecute);
    actSetDefaultEncoderSettings =
        NewAction(u"Default encoder settings", 0, &TFormMain::actSetDefaultEncoderSettingsExecute);
    actTagClear = NewAction(u"Clear", 0, &TFormMain::actTagClearExecute);
    actTagCopy = NewAction(u"Copy", 0, &TFormMain::actTagCopyExecute);
    actTagPaste = NewAction(u"Paste", 0, &TFormMain::actTagPasteExecute);
    BuildTray();
    BuildSettingsColumn();

    dlgOpen = new vcl::TOpenDialog(this);
    dlgOpen->SetOptions({vcl::ofAllowMultiSelect, vcl::ofFileMustExist, vcl::ofHideReadOnly});
    dlgOpenFileList = new vcl::TOpenDialog(this);
    dlgOpenProfile = new vcl::TOpenDialog(this);
    dlgOpenProfile->SetDefaultExt(QStringLiteral("ini"));
    dlgSaveFileList = new vcl::TSaveDialog(this);
    dlgSaveFileList->SetDefaultExt(QStringLiteral("lst"));
    dlgSaveBAT = new vcl::TSaveDialog(this);
    dlgSaveBAT->SetDefaultExt(QStringLiteral("sh"));
    dlgSaveProfile = new vcl::TSaveDialog(this);
    dlgSaveProfile->SetDefaultExt(QStringLiteral("ini"));

    tmExit = new vcl::TTimer(this);
    tmExit->SetEnabled(false);
    tmExit->SetInterval(200);
    tmExit->SetOnTimer(rtl::TNotifyEvent(this, &TFormMain::tmExitTimer));
    tmUpdateLastSelectedRow = new components::TKwpTimer(this);
    tmUpdateLastSelectedRow->SetEnabled(false);
    tmUpdateLastSelectedRow->SetInterval(400);
    tmUpdateLastSelectedRow->SetRepeatCountLimit(1);
    tmUpdateLastSelectedRow->SetOnTimer(rtl::TNotifyEvent(this, &TFormMain::tmUpdateLastSelectedRowTimer));

    ng->OnSelectCell = grid::TGridCellEvent(this, &TFormMain::ngSelectCell);
    ng->OnClick = rtl::TNotifyEvent(this, &TFormMain::ngClick);
    ng->OnCellClick = grid::TGridCellEvent(this, &TFormMain::ngCellClick);
    ng->OnCellColoring = grid::TGridCellColoringEvent(this, &TFormMain::ngCellColoring);
    ng->OnCellFormating = grid::TCellFormatingEvent(this, &TFormMain::ngCellFormating);
    for (int c = 0; c < int(FileListColumnTable.size()); ++c)
        ng->Columns()->Item(c)->OnGetDrawText = [this, c](rtl::TObject*, String& Text) { Text = CellDrawText(c, -1, Text); };

    OnCreate = rtl::TNotifyEvent(this, &TFormMain::FormCreate);
    OnClose = vcl::TCloseEvent(this, &TFormMain::FormClose);
    OnDestroy = rtl::TNotifyEvent(this, &TFormMain::FormDestroy);
    OnDropFiles = vcl::TDropFilesEvent(this, &TFormMain::FormDropFiles);

    AnalyseForRow = [](const String& FileName, engine::TVideoFileInfo& Info, engine::TTagRec& Tags) {
        engine::TAppParams& p = engine::AppParams;
        engine::ReadMediaInfo(FileName, p.MediaInfoDll, Info);
        engine::ReadTagsFromFile(FileName, Tags);
        const bool videoGap = Info.NumberOfVideoStreams > 0 &&
                              (Info.VideoStreams[0].Bitrate < 1 || !(Info.VideoStreams[0].FPS > 0));
        if (p.FileAnalysis == engine::faFull && (Info.Duration == 0 || videoGap))
            Info = engine::GetVideoFileInfo(FileName, engine::GetFFmpegExe(p));
    };
    ReadChapters = [](const String& FileName, engine::TVideoFileInfo& Info) {
        engine::GetMediaChapters(FileName, engine::GetFFprobeExe(engine::AppParams), Info);
    };
    AnalyseSelected = [](const String& FileName) {
        return engine::GetVideoFileInfo(FileName, engine::GetFFmpegExe(engine::AppParams));
    };
    ChooseFolder = [this](String& Folder) {
        // The folder dialog of the platform's shell.
        BROWSEINFOW bi{};
        bi.hwndOwner = Handle();
        PIDLIST_ABSOLUTE pidl = SHBrowseForFolderW(&bi);
        if (!pidl) return false;
        WCHAR path[4096] = {};
        const bool ok = SHGetPathFromIDListW(pidl, path);
        CoTaskMemFree(pidl);
        if (ok) Folder = String::fromUtf16(path);
        return ok;
    };
    FolderDialogDir = engine::GetProgramDir();
    CreateStyleParts();
    BuildBars();
}

TFormMain::~TFormMain() {
    // The form's own destruction, which runs after this, must call nothing of this class any more.
    FormDestroy(this);
    ReleaseBars();
    ReleaseSettingsColumn();
    OnDestroy = nullptr;
    OnClose = nullptr;
    OnCreate = nullptr;
    OnDropFiles = nullptr;
    ng->OnSelectCell = nullptr;
    ng->OnClick = nullptr;
    ng->OnCellClick = nullptr;
    ng->OnCellColoring = nullptr;
    ng->OnCellFormating = nullptr;
    for (int c = 0; c < ng->Columns()->Count(); ++c) ng->Columns()->Item(c)->OnGetDrawText = nullptr;
    tmExit->SetOnTimer(nullptr);
    tmUpdateLastSelectedRow->SetOnTimer(nullptr);
    if (FormMain == this) {
        FormMain = nullptr;
        // A window freed without closing (tests) still gives back what its creation made.
        delete EncoderOutputList;
        EncoderOutputList = nullptr;
        FileIcons.reset();
    }
}

TAppStrings* TFormMain::Strings() const { return AppStrings.get(); }

void TFormMain::CreateWnd() {
    vcl::TForm::CreateWnd();
    // Drops are accepted again whenever the window is made anew.
    SetAcceptFiles(true);
}

void TFormMain::FormCreate(rtl::TObject*) {
    FormMain = this;
    engine::TAppParams& p = engine::AppParams;
    pnTemplates->SetVisible(false);
    engine::InitStyleColorSchemes(engine::StyleColorSchemes);
    CaptureGridColors(engine::StyleColorSchemes[engine::WindowsSchemeIndex]);
    // The flat hint, made with the window's components, is already the application's hint window.
    vcl::Application->SetHintHidePause(10000);
    Constraints()->SetMinHeight(340);
    Constraints()->SetMinWidth(600);
    SetWidth(1024);
    SetHeight(722);
    bStayOnTop = bRightPanelCollapsed = bConverting = false;
    engine::ClearTagRec(TagRec);
    bTagCopied = bStopAdding = false;
    ShortcutFileName = QStringLiteral("Tunewright.lnk");

    engine::InitAppParams(p);
    UseSettingsDir(p, SettingsDir(engine::GetProgramDir()));
    engine::GetFFmpegExe(p);
    engine::GetFFplayExe(p);
    engine::GetFFprobeExe(p);
    engine::GetMediaInfoDll(p);
    p.StyleName = QStringLiteral("Windows");

    AppStrings = std::make_unique<TAppStrings>();
    AppStrings->SetEN();
    FileIcons = std::make_unique<TFileIcons>(ilIcons);
    {
        // The pictures made at build time; a missing or damaged one leaves the rows or the window without.
        const String icons = engine::GetProgramDir() + QStringLiteral("/data/icons/");
        auto load = [](vcl::TIcon* Icon, const String& File) {
            try {
                if (rtl::FileExists(File)) Icon->LoadFromFile(File);
            } catch (const std::exception&) {
            }
        };
        vcl::TIcon chapter;
        load(&chapter, icons + QStringLiteral("chapter.ico"));
        ChapterIconIndex = FileIcons->AddIcon(QStringLiteral(".CHAPTER"), &chapter);
        load(Icon(), icons + QStringLiteral("program.ico"));
    }
    p.BatPreview = engine::GetPreviewBatFileName();
    EncoderOutputList = new rtl::TStringList();
    SetCaption(String::fromUtf16(MainCaption));
    vcl::Application->SetTitle(String::fromUtf16(MainCaption));
    ng->SetAlign(vcl::alClient);

    CheckIniFile();
    InitLang(p, *AppStrings, bChooseLangBySystem, GetThreadLocale());
    LoadListFiles(p);
    PrepareControls();
    SetDefaultParams();

    dlgOpenProfile->SetInitialDir(p.ProfilesDir);
    dlgSaveProfile->SetInitialDir(p.ProfilesDir);
    UpdateInitialFolders(engine::GetProgramDir());
    if (!rtl::DirectoryExists(rtl::ExtractFileDir(p.LastProfileFile))) {
        try {
            rtl::ForceDirectories(rtl::ExtractFileDir(p.LastProfileFile));
        } catch (const std::exception&) {
            // the last session's profile is then not kept
        }
    }
    if (rtl::FileExists(p.LastProfileFile)) engine::LoadProfile(EncoderPanel, p.LastProfileFile);

    LoadSettingsFromIni();
    // The styles come from the folder the settings name, so they are read once the settings are.
    VisualStyles = std::make_unique<TVisualStyles>(p.StylesDir);
    ApplySavedPanels();
    PrepareStyle();
    SetLang();
    InitControls();
    GetProfiles();
    // The saved visual style and its colours, twice as the start-up always did: the second pass settles
    // what the first one's window changes moved; the first keeps the window where it was.
    for (int pass = 0; pass < 2; ++pass) {
        const int left = Left(), top = Top();
        if (!p.StyleName.isEmpty() && VisualStyles && VisualStyles->Count() > 0) VisualStyles->SetStyle(p.StyleName);
        SetStyleColors(p.StyleName);
        if (pass > 0) continue;
        SetLeft(left);
        SetTop(top);
    }

    // The command line comes last, so its options override the saved state.
    TRunParamsActions actions;
    actions.AddToList = [this](const String& FileName) {
        static const char* const why[] = {"", "not an accepted file type", "already listed", "not found"};
        const TAddResult r = AddToList(FileName, true);
        if (r != arAdded) NotAddedNotes << FileName + QStringLiteral(": ") + QString::fromLatin1(why[r]);
    };
    actions.LoadFileList = [this](const String& LstFile) { LoadFileList(LstFile, true); };
    actions.SetDefaultEncoderSettings = [this] { actSetDefaultEncoderSettingsExecute(nullptr); };
    actions.LoadProfile = [this](const String& FileName) { engine::LoadProfile(EncoderPanel, FileName); };
    actions.NotFound = [this](const String& Arg) { NotAddedNotes << Arg + QStringLiteral(": not found"); };
    ParseRunParams(StartArgs ? *StartArgs : ProcessArgs(), p, actions);
    RenumNg();
    CalcFooter();
    InitControls();
    tmFixControlPos->SetEnabled(true);
}

void TFormMain::AttachSecondaryForms() {
    if (FormErrors) FormErrors->TemplateButton = btnT;
    if (FormToolsInfo) FormToolsInfo->TemplateButton = btnT;
    if (FormProgress) shell::SetLang(*FormProgress, *AppStrings);
}

void TFormMain::CheckIniFile() {
    engine::TAppParams& p = engine::AppParams;
    bChooseLangBySystem = true;
    if (!rtl::FileExists(p.IniName)) return;
    try {
        base::TKwpMemIniFile ini(p.IniName, rtl::TEncoding::UTF8());
        // A saved language file chooses the language; without one the system does.
        bChooseLangBySystem = ini.ReadString(QStringLiteral("MAIN"), QStringLiteral("LanguageIni"), String()).trimmed().isEmpty();
        if (!bChooseLangBySystem)
            p.LanguageIni = ini.ReadString(QStringLiteral("MAIN"), QStringLiteral("LanguageIni"), String());
    } catch (const std::exception&) {
        bChooseLangBySystem = true;
    }
}

// ---- closing --------------------------------------------------------------------------------------------

void TFormMain::FormClose(rtl::TObject*, vcl::TCloseAction& Action) {
    engine::TAppParams& p = engine::AppParams;
    if (FClosed) return;
    if (bConverting) {
        Action = vcl::caNone;
        return;
    }
    bStopAdding = true;
    const bool childRuns = engine::ChildProcessInfo.hProcess != 0;
    // An add loop still under way uses what the shut-down frees: the close waits until it has returned.
    if (childRuns || AddLoopDepth > 0) {
        if (childRuns) ClosePreview();
        tmExit->SetEnabled(true);
        Action = vcl::caNone;
        return;
    }
    tmExit->SetEnabled(false);
    FClosed = true;
    if (!p.RunParams.bAutoClose) SaveSettingsToIni();
    SaveListFiles(p);
    if (!p.BatPreview.isEmpty() && rtl::FileExists(p.BatPreview)) QFile::remove(p.BatPreview);
    if (!p.RunParams.bAutoClose) {
        try {
            engine::SaveProfile(EncoderPanel, p.LastProfileFile, QStringLiteral("last"), String());
        } catch (const std::exception&) {
            // the last session's profile is only a convenience
        }
    }
    CloseAllSecondaryForms();
    Hide();
    // Every window is hidden by now, so the switch repaints nothing on the screen; the settings file
    // already holds the user's own style. A style that fails to switch does not stop the close.
    try {
        if (VisualStyles) VisualStyles->SetStyle(QStringLiteral("Carbon"));
    } catch (const std::exception&) {
    }
    ReleaseImageLists();
    ilIcons->Clear();
    delete EncoderOutputList;
    EncoderOutputList = nullptr;
    FileIcons.reset();
    VisualStyles.reset();
    LangIniList.reset();
    // The texts stay until the window is freed: the secondary windows still read them while closing.
}

void TFormMain::FormDestroy(rtl::TObject*) {
    try {
        if (HandleAllocated()) DragAcceptFiles(Handle(), FALSE);
    } catch (...) {
    }
}

void TFormMain::tmExitTimer(rtl::TObject*) {
    engine::ChildProcessInfo = engine::TChildProcessInfo();
    Close();
}

void TFormMain::CloseAllSecondaryForms() {
    vcl::TCustomForm* forms[] = {FormCmdLine, FormFileInfo, FormAbout, FormErrors, OptionsForm, FormProgress, FormCheckUpdate};
    for (vcl::TCustomForm* f : forms)
        if (f && f->Visible()) f->Close();
}

void TFormMain::ClosePreview() {
    engine::WriteToChildStdIn(QString::fromLatin1(engine::StrToOem(QStringLiteral("q"))));
    if (engine::ChildProcessInfo.hProcess != 0) TerminateProcess(engine::ChildProcessHandle(), 0);
}

// ---- the controls ---------------------------------------------------------------------------------------

void TFormMain::InitControls() {
    bUpdatingControls = true;
    SetCaption(String::fromUtf16(MainCaption));
    engine::TGridInfo gi;
    GetGridInfo(gi);
    const bool rows = gi.RowCount > 0;
    actSaveFileList->SetEnabled(rows);
    actClearFileList->SetEnabled(rows);
    actShowHideFileInfo->SetEnabled(rows);
    actInvertSelection->SetEnabled(rows);
    actPlay->SetEnabled(rows);
    actUncheckSelected->SetEnabled(gi.SelectedCheckedCount > 0);
    actCheckSelected->SetEnabled(gi.SelectedUncheckedCount > 0);
    actCheckAll->SetEnabled(rows && gi.CheckedCount < gi.RowCount);
    actUncheckAll->SetEnabled(rows && gi.UncheckedCount < gi.RowCount);
    actSaveBAT->SetEnabled(gi.CheckedCount > 0);
    actConvert->SetEnabled(gi.CheckedCount > 0);
    actRemoveChecked->SetEnabled(gi.CheckedCount > 0);

    const int sel = ng->SelectedRow();
    const String folder = IsValidRowIndex(sel) ? GetNgDirectory(sel) : String();
    const String explore = FormatLangStr(Strings()->Main.actExploreDirectory, folder);
    actExploreDirectory->SetCaption(explore);
    actExploreDirectory->SetHint(explore);
    actExploreDirectory->SetEnabled(IsValidRowIndex(sel));
    actConvert->SetCaption(Strings()->Main.actConvert);
    actConvert->SetHint(Strings()->Main.actConvert);
    actShowHideMainWindow->SetCaption(Visible() ? Strings()->Main.actMinimizeToTray : Strings()->Main.actShowMainWindow);
    PanelsFromModels();
    ApplyPanelRules();
    CalcFooter();
    UpdateOutputPanelRightCaption();
    UpdateAudioPanelRightCaption();
    bUpdatingControls = false;
}

void TFormMain::DisableAll() {
    tbMain->SetEnabled(false);
    ng->SetEnabled(false);
    DisableFlipPanels();
    for (int i = 0; i < Actions->ActionCount(); ++i)
        if (auto* a = dynamic_cast<vcl::TAction*>(Actions->Actions(i))) a->SetEnabled(false);
}

void TFormMain::EnableAll() {
    tbMain->SetEnabled(true);
    ng->SetEnabled(true);
    EnableFlipPanels();
    for (int i = 0; i < Actions->ActionCount(); ++i)
        if (auto* a = dynamic_cast<vcl::TAction*>(Actions->Actions(i))) a->SetEnabled(true);
    // Escape closes the program only when the settings ask for it.
    actEsc->SetEnabled(EscExit);
    InitControls();
}

void TFormMain::SetLang() {
    const bool was = bUpdatingControls;
    bUpdatingControls = true;
    struct Restore {
        bool Value;
        ~Restore() { bUpdatingControls = Value; }
    } restore{was};
    const TMainModuleStrings& m = Strings()->Main;
    const struct {
        vcl::TAction* Action;
        const String& Text;
    } captions[] = {
        {actConvert, m.actConvert}, {actAddFiles, m.actAddFiles}, {actAddFolder, m.actAddFolder},
        {actLoadFileList, m.actLoadFileList}, {actSaveFileList, m.actSaveFileList}, {actSaveBAT, m.actSaveBAT},
        {actExit, m.actExit}, {actRemoveChecked, m.actRemoveChecked}, {actClearFileList, m.actClearFileList},
        {actCheckAll, m.actCheckAll}, {actUncheckAll, m.actUncheckAll}, {actInvertSelection, m.actInvertSelection},
        {actCheckSelected, m.actCheckSelected}, {actUncheckSelected, m.actUncheckSelected},
        {actShowHideFormErrors, m.actShowHideFormErrors}, {actShowProgressWindow, m.actShowProgressWindow},
        {actShowHideFileInfo, m.actShowHideFileInfo}, {actToolsInfo, m.actToolsInfo},
        {actCheckUpdate, m.actCheckUpdate}, {actAbout, m.actAbout}, {actPlay, m.Play},
        {actShowCmdLine, m.actShowCmdLine}, {actLoadProfile, m.actLoadProfile}, {actSaveProfile, m.actSaveProfile},
        {actSetDefaultEncoderSettings, m.actSetDefaultEncoderSettings}, {actTagClear, m.actTagClear},
        {actTagCopy, m.actTagCopy}, {actTagPaste, m.actTagPaste},
    };
    for (const auto& c : captions) {
        c.Action->SetCaption(c.Text);
        c.Action->SetHint(c.Text);
    }
    const String* headers[] = {&m.colNo, nullptr, nullptr, &m.colFullFileName, &m.colFile, &m.colDirectory,
                               &m.colSize, &m.colDuration, &m.colMenu, &m.colChapterCount, &m.colChapterNo,
                               &m.colChapterTitle, &m.colChapterStart, &m.colChapterEnd, &m.colArtist, &m.colTrackNo,
                               &m.colTitle, &m.colAlbum, &m.colYear, &m.colGenre, &m.colAudio, &m.colAudioCodec,
                               &m.colAudioCodecID, &m.colAudioProfile, &m.colAudioBitrate, &m.colAudioChannels,
                               &m.colAudioSampling, &m.colAudioStreamSize, &m.colVideo, &m.colStatus, nullptr, nullptr};
    for (int c = 0; c < int(std::size(headers)); ++c)
        if (headers[c]) ng->Columns()->Item(c)->Header()->SetCaption(*headers[c]);

    // The add-files filter: the four web formats, or every known media extension.
    String patterns = QStringLiteral("*.webm;*.mp4;*.flv;*.3gp");
    if (engine::AppParams.AcceptAllMediaFiles) {
        QStringList all;
        for (const char16_t* ext : engine::MediaFileExtensions) all << QStringLiteral("*.") + String::fromUtf16(ext).toLower();
        patterns = all.join(u';');
    }
    dlgOpen->SetFilter(m.dlgOpen_Filter1 + u'|' + patterns);
    dlgOpenFileList->SetFilter(m.dlgOpenFileList_Filter + QStringLiteral("|*.lst"));
    dlgSaveFileList->SetFilter(m.dlgSaveFileList_Filter + QStringLiteral("|*.lst"));
    dlgSaveBAT->SetFilter(QStringLiteral("Shell scripts (*.sh)|*.sh"));
    dlgOpenProfile->SetFilter(m.dlgOpenProfile_Filter + QStringLiteral("|*.ini"));
    dlgSaveProfile->SetFilter(m.dlgSaveProfile_Filter + QStringLiteral("|*.ini"));
    const String typedBitrate = EncoderPanel.cbAudioBitrate.Text(), typedSampling = EncoderPanel.cbAudioSampling.Text();
    EncoderPanel.SetTexts(GetEngineTexts(*Strings()));
    SetLangPanels(typedBitrate, typedSampling);
    SetLangBars();
}

// ---- actions ------------------------------------------------------------------------------------------

void TFormMain::actExitExecute(rtl::TObject*) { Close(); }

void TFormMain::actEscExecute(rtl::TObject*) {
    if (!bConverting) Close();
}

void TFormMain::actSaveBATExecute(rtl::TObject*) {
    if (!dlgSaveBAT->Execute()) return;
    BatchFileName = dlgSaveBAT->FileName();
    bSaveAsBatch = true;
    try {
        actConvert->Execute();
    } catch (...) {
        bSaveAsBatch = false;
        throw;
    }
    bSaveAsBatch = false;
}

void TFormMain::SaveFileList(const String& FileName) {
    QStringList lines;
    for (int r = 0; r < ng->RowCount(); ++r) lines << GetNgFullFileName(r);
    QFile f(FileName);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw rtl::EFCreateError(QStringLiteral("Cannot create file \"%1\". %2").arg(FileName, f.errorString()));
    // UTF-8 with a byte-order mark: every path survives, and the list reader knows the encoding.
    f.write("\xEF\xBB\xBF");
    for (const String& line : lines) f.write((line + QStringLiteral("\r\n")).toUtf8());
}

void TFormMain::actSaveFileListExecute(rtl::TObject*) {
    if (dlgSaveFileList->Execute()) SaveFileList(dlgSaveFileList->FileName());
}

void TFormMain::actShowHideFormErrorsExecute(rtl::TObject*) {
    if (!FormErrors) return;
    if (FormErrors->Visible())
        FormErrors->Hide();
    else
        FormErrors->Show();
}

void TFormMain::actShowProgressWindowExecute(rtl::TObject*) {
    if (FormProgress) FormProgress->Show();
}

void TFormMain::actShowHideFileInfoExecute(rtl::TObject*) {
    if (!FormFileInfo) return;
    FormFileInfo->SetVisible(!FormFileInfo->Visible());
    if (ng->RowCount() > 0 && ng->SelectedCount() == 0) ng->SetSelected(0, true);
    const int row = ng->SelectedRow();
    if (!FormFileInfo->Visible() || !IsValidRowIndex(row)) return;
    const String ffmpeg = engine::GetFFmpegExe(engine::AppParams);
    if (!rtl::FileExists(ffmpeg)) {
        vcl::Application->MessageBox(Strings()->Main.FFmpegNotExists, QStringLiteral("Warning"), MB_OK | MB_ICONWARNING);
        return;
    }
    FormFileInfo->UpdateList(AnalyseSelected(GetNgFullFileName(row)), 0);
}

void TFormMain::actExploreDirectoryExecute(rtl::TObject*) {
    const int row = ng->SelectedRow();
    if (!IsValidRowIndex(row)) return;
    const String dir = GetNgDirectory(row);
    if (!rtl::DirectoryExists(dir)) {
        vcl::Application->MessageBox(QStringLiteral("Directory \"") + dir + QStringLiteral("\" does not exists!"),
                                     QStringLiteral("Warning"), MB_OK | MB_ICONWARNING);
        return;
    }
    engine::ShellOpen(dir, Handle());
}

void TFormMain::actToolsInfoExecute(rtl::TObject*) {
    if (!FormToolsInfo) return;
    FormToolsInfo->me->Lines()->SetText(engine::GetToolsInfoText(18));
    FormToolsInfo->Show();
}

void TFormMain::actCheckUpdateExecute(rtl::TObject*) {
    if (!FormCheckUpdate) return;
    FormCheckUpdate->ClearStatus();
    FormCheckUpdate->tmCheckUpdate->SetEnabled(true);
    FormCheckUpdate->Show();
}

void TFormMain::actAboutExecute(rtl::TObject*) {
    if (!FormAbout) return;
    FormAbout->SetStyleColors(engine::AppParams.StyleName);
    FormAbout->Show();
}

void TFormMain::actPlayExecute(rtl::TObject*) {
    int row = ng->SelectedRow();
    engine::TEncodingParams ep;
    engine::TVideoFileInfo info;
    engine::TPlayRequest r{EncoderPanel, FList, row, ep, info, EncoderOutputList, engine::AppParams,
                           [this] { ClosePreview(); }, nullptr};
    engine::PlayExecute(r);
}

void TFormMain::actShowCmdLineExecute(rtl::TObject*) {
    if (!FormCmdLine) return;
    engine::TEncodingParams ep;
    engine::TVideoFileInfo info;
    engine::TCmdLineRequest r{EncoderPanel, FList, ng->SelectedRow(), ep, info, *FormCmdLine, engine::AppParams,
                              false, nullptr, nullptr};
    engine::ShowCmdLineExecute(r);
}

void TFormMain::actLoadProfileExecute(rtl::TObject*) {
    if (!dlgOpenProfile->Execute()) return;
    engine::LoadProfile(EncoderPanel, dlgOpenProfile->FileName());
    InitControls();
}

void TFormMain::actSaveProfileExecute(rtl::TObject*) {
    if (!dlgSaveProfile->Execute()) return;
    SaveProfileAs(dlgSaveProfile->FileName());
}

void TFormMain::actSetDefaultEncoderSettingsExecute(rtl::TObject*) {
    SetDefaultParams();
    const bool was = bUpdatingControls;
    bUpdatingControls = true;
    if (cbProfileNew->Items()->Count() > 1) {
        Profiles.ItemIndex = 1;
        cbProfileNew->SetItemIndex(1);
    }
    bUpdatingControls = was;
    InitControls();
}

void TFormMain::actTagClearExecute(rtl::TObject*) {
    engine::TTagPanel cleared;
    cleared.Mode = TagPanel.Mode;
    cleared.cbMP3TagsToWrite = TagPanel.cbMP3TagsToWrite;
    TagPanel = cleared;
    InitControls();
}

void TFormMain::actTagCopyExecute(rtl::TObject*) {
    TagRec.Artist = TagPanel.edTagArtist;
    TagRec.Album = TagPanel.edTagAlbum;
    TagRec.Title = TagPanel.edTagTitle;
    TagRec.Genre = TagPanel.cbTagGenres;
    TagRec.Year = TagPanel.cbTagYear;
    TagRec.Comment = TagPanel.meTagComment;
    TagRec.TrackNo = TagPanel.edTagTrackNo;
    TagRec.TrackCount = TagPanel.edTagTrackNo2;
    bTagCopied = true;
    InitControls();
}

void TFormMain::actTagPasteExecute(rtl::TObject*) {
    if (!bTagCopied) return;
    TagPanel.edTagArtist = TagRec.Artist;
    TagPanel.edTagAlbum = TagRec.Album;
    TagPanel.edTagTitle = TagRec.Title;
    TagPanel.cbTagGenres = TagRec.Genre;
    TagPanel.cbTagYear = TagRec.Year;
    TagPanel.meTagComment = TagRec.Comment;
    TagPanel.edTagTrackNo = TagRec.TrackNo;
    TagPanel.edTagTrackNo2 = TagRec.TrackCount;
    InitControls();
}

} // namespace shell
