// The main window's bars: the menu bar, the main toolbar, the navigation bar of the settings column, the
// grid's popup and the column menus, their pictures and texts.
#include "app/engine/Procs.h"
#include "app/engine/ProcsControls.h"
#include "app/shell/AppStrings.h"
#include "app/shell/FormMain.h"
#include "app/shell/FormOptions.h"
#include "app/shell/Links.h"
#include "rtl/Files.h"
#include "rtl/SysUtils.h"

namespace shell {

namespace {

// The pictures of the main bars and of the navigation bar, by file name under data/icons.
enum TMainPicture {
    picAddFiles, picAddFolder, picRemove, picConvert, picFileInfo, picOptions, picHomePage, picStayOnTop, picExit,
    picLoadFileList, picSaveFileList, picClearFileList, picPlay, picHelp, picErrors, picCmdLine, picCheckUpdate,
    picExploreDirectory, picMainCount
};
const char16_t* const MainPictureFiles[picMainCount] = {
    u"document-open", u"folder-new", u"list-remove", u"media-playback-start", u"dialog-information",
    u"preferences-system", u"go-home", u"go-top", u"system-log-out", u"text-x-generic", u"document-save",
    u"edit-clear", u"audio-volume-high", u"help-browser", u"dialog-warning", u"utilities-terminal",
    u"system-software-update", u"folder",
};
enum TNavPicture { navOutput, navProfile, navAudio, navAdditional, navExpand, navCollapse, navShow, picNavCount };
const char16_t* const NavPictureFiles[picNavCount] = {
    u"folder", u"document-properties", u"audio-x-generic", u"preferences-desktop", u"list-add", u"list-remove",
    u"go-previous",
};

// The 29 column actions: their names and groups (a separator before each group's first).
struct TColVisibleDef {
    const char16_t* Name;
    bool GroupStart;
};
const TColVisibleDef ColVisibleDefs[29] = {
    {u"actColNoVisible", false}, {u"actColIconVisible", false}, {u"actColFullFileNameVisible", false},
    {u"actColFileNameVisible", false}, {u"actColDirectoryVisible", false}, {u"actColSizeVisible", false},
    {u"actColDurationVisible", false},
    {u"actColAudioVisible", true}, {u"actColAudioCodecVisible", false}, {u"actColAudioCodecIDVisible", false},
    {u"actColAudioProfileVisible", false}, {u"actColAudioBitrateVisible", false},
    {u"actColAudioChannelsVisible", false}, {u"actColAudioSamplingVisible", false},
    {u"actColAudioStreamSizeVisible", false},
    {u"actColVideoVisible", true},
    {u"actColMenuVisible", true}, {u"actColChapterCountVisible", false}, {u"actColChapterTitleVisible", false},
    {u"actColChapterStartVisible", false}, {u"actColChapterEndVisible", false}, {u"actColChapterNoVisible", false},
    {u"actColTagArtistVisible", true}, {u"actColTagTitleVisible", false}, {u"actColTagAlbumVisible", false},
    {u"actColTagYearVisible", false}, {u"actColTagTrackNoVisible", false}, {u"actColTagGenreVisible", false},
    {u"actColStatusVisible", true},
};

// A bar item bound to an action that keeps its own caption and hint once it has them (the toolbar's
// captions are shorter than the actions'), while following the action's enabling, checking and picture.
class TOwnTextItem : public skins::TSkItem {
public:
    using skins::TSkItem::TSkItem;
    bool OwnText = false;

protected:
    void ApplyActionProperties(vcl::TBasicAction* Sender, bool CheckDefaults) override {
        const String caption = Caption(), hint = Hint();
        skins::TSkItem::ApplyActionProperties(Sender, CheckDefaults);
        if (!OwnText) return;
        SetCaption(caption);
        SetHint(hint);
    }
};

} // namespace

void LoadBarPictures(components::TPngImageList* List, const char16_t* const* Files, int Count) {
    const String dir = engine::GetProgramDir() + QStringLiteral("/data/icons/");
    List->BeginUpdate();
    List->Clear();
    for (int i = 0; i < Count; ++i) {
        vcl::TPngImage png;
        const String file = dir + String::fromUtf16(Files[i]) + QStringLiteral(".png");
        bool loaded = false;
        if (rtl::FileExists(file)) {
            try {
                png.LoadFromFile(file);
                loaded = png.Width() > 0;
            } catch (const std::exception&) {
                // an unreadable picture is left empty
            }
        }
        if (!loaded) png.CreateBlank(6 /* RGB with alpha */, 8, List->Width(), List->Height());
        List->AddPng(&png, vcl::clNone);
    }
    List->EndUpdate();
}

const std::array<TFileListCol, 29> TFormMain::ColVisibleColumns = {
    colNo, colIcon, colFullFileName, colFileName, colDirectory, colSize, colDuration,
    colAudio, colAudioCodec, colAudioCodecID, colAudioProfile, colAudioBitrate, colAudioChannels, colAudioSampling,
    colAudioStreamSize,
    colVideo,
    colMenu, colChapterCount, colChapterTitle, colChapterStart, colChapterEnd, colChapterNo,
    colTagArtist, colTagTitle, colTagAlbum, colTagYear, colTagTrackNo, colTagGenre,
    colStatus,
};

void TFormMain::BuildBars() {
    using skins::TSkItem;
    auto item = [this](bars::TBarCustomItem* Parent, vcl::TAction* Action, const char16_t* Name = nullptr) {
        auto* i = new TOwnTextItem(this);
        if (Name) i->SetName(String::fromUtf16(Name));
        if (Action) i->SetAction(Action);
        Parent->Add(i);
        return i;
    };
    auto separator = [this](bars::TBarCustomItem* Parent) {
        auto* s = new skins::TSkSeparatorItem(this);
        Parent->Add(s);
        return s;
    };
    auto submenu = [this](bars::TBarCustomItem* Parent, const char16_t* Name, const char16_t* Caption) {
        auto* m = new skins::TSkSubmenuItem(this);
        m->SetName(String::fromUtf16(Name));
        m->SetCaption(String::fromUtf16(Caption));
        if (Parent) Parent->Add(m);
        return m;
    };
    auto actions = [&](bars::TBarCustomItem* Parent, std::initializer_list<vcl::TAction*> List) {
        for (vcl::TAction* a : List) a ? (void)item(Parent, a) : (void)separator(Parent);
    };
    auto dock = [this](vcl::TWinControl* Parent, bars::TBarDockPosition Position) {
        auto* d = new skins::TSkDock(this);
        d->SetAllowDrag(false);
        d->SetPosition(Position);
        d->SetParent(Parent);
        return d;
    };
    auto toolbar = [this](skins::TSkDock* Dock, const char16_t* Name) {
        auto* t = new skins::TSkToolbar(this);
        t->SetName(String::fromUtf16(Name));
        t->SetParent(Dock);
        return t;
    };

    // The column actions.
    for (int i = 0; i < 29; ++i) {
        vcl::TAction* a = NewAction(ColVisibleDefs[i].Name, 0, &TFormMain::actColVisibleExecute);
        a->SetName(String::fromUtf16(ColVisibleDefs[i].Name));
        actColVisible[size_t(i)] = a;
    }
    auto columns = [&](bars::TBarCustomItem* Parent) {
        for (int i = 0; i < 29; ++i) {
            if (ColVisibleDefs[i].GroupStart) separator(Parent);
            item(Parent, actColVisible[size_t(i)]);
        }
    };

    // The menu bar; the links at its right end.
    dockMainMenu = dock(this, bars::dpTop);
    dockMainMenu->SetName(QStringLiteral("dockMainMenu"));
    tbMenu = toolbar(dockMainMenu, u"tbMenu");
    tbMenu->SetMenuBar(true);
    tbMenu->SetStretch(true);
    tbMenu->SetShrinkMode(bars::tbsmNone);
    bars::TBarCustomItem* bar = tbMenu->Items();
    mnuFile = submenu(bar, u"mnuFile", u"File");
    actions(mnuFile, {actConvert, nullptr, actAddFiles, actAddFolder, nullptr, actSaveBAT, nullptr, actShowOptions,
                      actStayOnTop, nullptr, actMinimizeToTray, actExit});
    mnuFileList = submenu(bar, u"mnuFileList", u"File list");
    actions(mnuFileList, {actRemoveChecked, actClearFileList, nullptr, actCheckAll, actUncheckAll, actInvertSelection,
                          actCheckSelected, actUncheckSelected, nullptr, actLoadFileList, actSaveFileList, nullptr,
                          actShowHideFileInfo, actExploreDirectory, nullptr});
    mnuColumnsMenu = submenu(mnuFileList, u"mnuColumnsMenu", u"Columns");
    columns(mnuColumnsMenu);
    mnuColumnsMenu->OnPopup = [this](bars::TBarCustomItem*, bool) { InitColVisibleActions(); };
    mnuEncoder = submenu(bar, u"mnuEncoder", u"Encoder");
    actions(mnuEncoder, {actShowProgressWindow, nullptr, actLoadProfile, actSaveProfile, nullptr,
                         actSetDefaultEncoderSettings, nullptr, actPlay, nullptr, actShowCmdLine, actShowHideFormErrors,
                         actToolsInfo});
    mnuHelp = submenu(bar, u"mnuHelp", u"Help");
    actions(mnuHelp, {actHelp, nullptr, actGoToHomePage});
    TSkItem* download = item(mnuHelp, nullptr);
    download->SetCaption(LinkCaption(lnkDownload));
    download->OnClick = [this](rtl::TObject*) { OpenLink(lnkDownload); };
    actions(mnuHelp, {nullptr, actCheckUpdate, nullptr, actAbout});
    bar->Add(new skins::TSkRightAlignSpacerItem(this));
    mnuLinks = submenu(bar, u"mnuLinks", u"Links");
    for (int l = 0; l < lnkCount; ++l) {
        TSkItem* link = item(mnuLinks, nullptr);
        link->SetCaption(LinkCaption(TLink(l)));
        link->OnClick = [this, l](rtl::TObject*) { OpenLink(l); };
    }

    // The main toolbar under it; its link buttons show pictures only.
    dockToolbar = dock(this, bars::dpTop);
    dockToolbar->SetName(QStringLiteral("dockToolbar"));
    dockToolbar->SetTop(dockMainMenu->Height());
    tbMain = toolbar(dockToolbar, u"tbMain");
    tbMain->SetDockRow(0);
    bar = tbMain->Items();
    btnAdd = item(bar, actAddFiles, u"btnAdd");
    btnAddFolder = item(bar, actAddFolder, u"btnAddFolder");
    btnRemove = item(bar, actRemoveChecked, u"btnRemove");
    separator(bar);
    btnConvert = item(bar, actConvert, u"btnConvert");
    separator(bar);
    btnFileInfo = item(bar, actShowHideFileInfo, u"btnFileInfo");
    btnOptions = item(bar, actShowOptions, u"btnOptions");
    separator(bar);
    btnHomePage = item(bar, actGoToHomePage, u"btnHomePage");
    separator(bar);
    btnStayOnTop = item(bar, actStayOnTop, u"btnStayOnTop");
    for (TSkItem* b : {btnAdd, btnAddFolder, btnRemove, btnConvert, btnFileInfo, btnOptions})
        b->SetDisplayMode(bars::nbdmImageAndText);

    // The navigation bar spans the top of the settings column.
    dockNav = dock(pnNav, bars::dpTop);
    dockNav->SetName(QStringLiteral("dockNav"));
    tbNav = toolbar(dockNav, u"tbNav");
    tbNav->SetFullSize(true);
    tbNav->SetShrinkMode(bars::tbsmNone);
    bar = tbNav->Items();
    btnShowSettingsPanel = item(bar, nullptr, u"btnShowSettingsPanel");
    btnShowSettingsPanel->SetCaption(QStringLiteral("<<"));
    btnShowSettingsPanel->SetImageIndex(navShow);
    btnShowSettingsPanel->OnClick = [this](rtl::TObject*) { actShowHideSettingsPanel->Execute(); };
    btnNavOutput = item(bar, actPanels_ShowOutput, u"btnNavOutput");
    btnNavProfile = item(bar, actPanels_ShowProfile, u"btnNavProfile");
    btnNavAudio = item(bar, actPanels_ShowAudio, u"btnNavAudio");
    btnNavAdditional = item(bar, actPanels_ShowAdditional, u"btnNavAdditional");
    sepNav1 = separator(bar);
    btnNavExpand = item(bar, actPanelsExpand, u"btnNavExpand");
    btnNavCollapse = item(bar, actPanelsCollapse, u"btnNavCollapse");
    sepNav2 = separator(bar);
    spbtnExpander = item(bar, nullptr, u"spbtnExpander");
    spbtnExpander->SetCaption(QStringLiteral(">>>"));
    spbtnExpander->OnClick = [this](rtl::TObject*) { actShowHideSettingsPanel->Execute(); };
    const std::pair<TSkItem*, int> navPictures[] = {{btnNavOutput, navOutput}, {btnNavProfile, navProfile},
                                                    {btnNavAudio, navAudio}, {btnNavAdditional, navAdditional},
                                                    {btnNavExpand, navExpand}, {btnNavCollapse, navCollapse}};
    for (const auto& [b, index] : navPictures) b->SetImageIndex(index);
    UpdateNavButtons();

    // The grid's popup, the header's popup, and the preview start points.
    popNg = new skins::TSkPopupMenu(this);
    popNg->SetName(QStringLiteral("popNg"));
    actions(popNg->Items(), {actConvert, nullptr, actAddFiles, actAddFolder, actRemoveChecked, actClearFileList, nullptr,
                             actCheckAll, actUncheckAll, actInvertSelection, actCheckSelected, actUncheckSelected,
                             nullptr, actLoadFileList, actSaveFileList, nullptr, actShowHideFileInfo, nullptr,
                             actExploreDirectory, nullptr});
    popColumnsSubmenu = submenu(popNg->Items(), u"popColumnsSubmenu", u"Columns");
    columns(popColumnsSubmenu);
    popColumnsSubmenu->OnPopup = [this](bars::TBarCustomItem*, bool) { InitColVisibleActions(); };
    popNg->OnPopup = [this](rtl::TObject*) { InitControls(); };
    ng->SetPopupMenu(popNg);
    popColumns = new skins::TSkPopupMenu(this);
    popColumns->SetName(QStringLiteral("popColumns"));
    columns(popColumns->Items());
    popColumns->OnPopup = [this](rtl::TObject*) { InitColVisibleActions(); };
    ng->OnMouseDown = vcl::TMouseEvent(this, &TFormMain::ngMouseDown);
    ng->OnContextPopup = vcl::TContextPopupEvent(this, &TFormMain::ngContextPopup);
    popPreview_Filters = new skins::TSkPopupMenu(this);
    popPreview_Filters->SetName(QStringLiteral("popPreview_Filters"));
    for (int i = 0; i < 10; ++i) {
        miStartF[size_t(i)] = item(popPreview_Filters->Items(), nullptr);
        miStartF[size_t(i)]->SetName(QStringLiteral("miStartF%1").arg(i * 10));
    }

    LoadBarPictures(pilMain_Light, MainPictureFiles, picMainCount);
    LoadBarPictures(pilNav_DarkIcons, NavPictureFiles, picNavCount);
    LoadBarPictures(pilNav_LightIcons, NavPictureFiles, picNavCount);
    const std::pair<vcl::TAction*, int> pictures[] = {
        {actAddFiles, picAddFiles}, {actAddFolder, picAddFolder}, {actRemoveChecked, picRemove},
        {actConvert, picConvert}, {actShowHideFileInfo, picFileInfo}, {actShowOptions, picOptions},
        {actGoToHomePage, picHomePage}, {actStayOnTop, picStayOnTop}, {actExit, picExit},
        {actLoadFileList, picLoadFileList}, {actSaveFileList, picSaveFileList}, {actClearFileList, picClearFileList},
        {actPlay, picPlay}, {actHelp, picHelp}, {actShowHideFormErrors, picErrors}, {actShowCmdLine, picCmdLine},
        {actCheckUpdate, picCheckUpdate}, {actExploreDirectory, picExploreDirectory},
    };
    for (const auto& [a, index] : pictures) a->SetImageIndex(index);
    SetBarImages(false, false);
    FBarsBuilt = true;
}

void TFormMain::ReleaseBars() {
    if (!FBarsBuilt) return;
    FBarsBuilt = false;
    ng->OnMouseDown = nullptr;
    ng->OnContextPopup = nullptr;
    ng->SetPopupMenu(nullptr);
    for (bars::TBarCustomItem* i : {static_cast<bars::TBarCustomItem*>(mnuColumnsMenu), static_cast<bars::TBarCustomItem*>(popColumnsSubmenu)})
        i->OnPopup = nullptr;
    for (vcl::TPopupMenu* p : {static_cast<vcl::TPopupMenu*>(popNg), static_cast<vcl::TPopupMenu*>(popColumns)})
        p->OnPopup = nullptr;
    for (bars::TBarCustomItem* root : {mnuHelp, mnuLinks, static_cast<skins::TSkSubmenuItem*>(nullptr)})
        if (root)
            for (int i = 0; i < root->Count(); ++i) root->GetItem(i)->OnClick = nullptr;
    btnShowSettingsPanel->OnClick = nullptr;
    spbtnExpander->OnClick = nullptr;
}

void TFormMain::SetBarImages(bool Dark, bool Carbon) {
    components::TPngImageList* pictures = Dark ? pilMain_Dark : pilMain_Light;
    tbMain->SetImages(pictures);
    Actions->SetImages(pictures);
    popNg->SetImages(pictures);
    tbMenu->SetImages(pictures);
    tbNav->SetImages(Dark ? pilNav_LightIcons : pilNav_DarkIcons);
    tbNav->SetMenuBar(Carbon);
}

void TFormMain::UpdateNavButtons() {
    const bool folded = bRightPanelCollapsed;
    btnShowSettingsPanel->SetVisible(folded);
    for (bars::TBarCustomItem* i : {static_cast<bars::TBarCustomItem*>(btnNavOutput), static_cast<bars::TBarCustomItem*>(btnNavProfile),
                                   static_cast<bars::TBarCustomItem*>(btnNavAudio), static_cast<bars::TBarCustomItem*>(btnNavAdditional),
                                   static_cast<bars::TBarCustomItem*>(btnNavExpand), static_cast<bars::TBarCustomItem*>(btnNavCollapse),
                                   static_cast<bars::TBarCustomItem*>(spbtnExpander), static_cast<bars::TBarCustomItem*>(sepNav1),
                                   static_cast<bars::TBarCustomItem*>(sepNav2)})
        i->SetVisible(!folded);
    const TMainModuleStrings& m = Strings() ? Strings()->Main : TMainModuleStrings();
    if (folded) {
        btnShowSettingsPanel->SetHint(m.actShowSettingsPanel);
    } else {
        spbtnExpander->SetCaption(QStringLiteral(">>>"));
        spbtnExpander->SetHint(m.actHideSettingsPanel);
    }
}

void TFormMain::InitColVisibleActions() {
    if (bUpdatingControls) return;
    for (int i = 0; i < 29; ++i)
        actColVisible[size_t(i)]->SetChecked(ng->Columns()->Item(ColVisibleColumns[size_t(i)])->Visible());
}

void TFormMain::actColVisibleExecute(rtl::TObject* Sender) {
    for (int i = 0; i < 29; ++i) {
        if (actColVisible[size_t(i)] != Sender) continue;
        grid::TRgCustomColumn* c = ng->Columns()->Item(ColVisibleColumns[size_t(i)]);
        c->SetVisible(!c->Visible());
        actColVisible[size_t(i)]->SetChecked(c->Visible());
    }
    if (FormOptions && FormOptions->Visible()) FormOptions->InitControls();
}

void TFormMain::ngMouseDown(rtl::TObject*, vcl::TMouseButton Button, vcl::TShiftState, int X, int Y) {
    FHeaderPopupShown = false;
    const vcl::TRect header = ng->GetHeaderRect();
    if (Button != vcl::mbRight || X < header.Left || X >= header.Right || Y < header.Top || Y >= header.Bottom) return;
    FHeaderPopupShown = true;
    try {
        const vcl::TPoint p = ng->ClientToScreen(vcl::TPoint(X, Y));
        popColumns->Popup(p.X, p.Y);
    } catch (const std::exception&) {
        // the columns menu is a convenience; the list goes on without it
    }
}

void TFormMain::ngContextPopup(rtl::TObject*, vcl::TPoint, bool& Handled) {
    // The header's press showed the columns menu already.
    if (FHeaderPopupShown) Handled = true;
    FHeaderPopupShown = false;
}

void TFormMain::SetLangBars() {
    const TMainModuleStrings& m = Strings()->Main;
    const std::pair<bars::TBarCustomItem*, const String*> captions[] = {
        {mnuFile, &m.mnuFile},     {mnuFileList, &m.mnuFileList}, {mnuEncoder, &m.mnuEncoder},
        {mnuHelp, &m.mnuHelp},     {mnuLinks, &m.mnuLinks},       {mnuColumnsMenu, &m.mnuColumns},
        {popColumnsSubmenu, &m.mnuColumns}, {btnAdd, &m.btnAdd},  {btnRemove, &m.btnRemove},
        {btnConvert, &m.btnConvert}, {btnOptions, &m.btnOptions}, {btnFileInfo, &m.btnFileInfo},
    };
    for (const auto& [i, text] : captions) i->SetCaption(*text);
    // The toolbar's buttons keep these texts whatever their actions say later.
    for (skins::TSkItem* b : {btnAdd, btnAddFolder, btnRemove, btnConvert, btnOptions, btnFileInfo, btnHomePage, btnStayOnTop})
        static_cast<TOwnTextItem*>(b)->OwnText = false;
    btnAddFolder->SetCaption(m.actAddFolder);
    btnAddFolder->SetCaption(m.btnAddFolder);
    btnAddFolder->SetHint(m.actAddFolder);
    btnConvert->SetHint(actConvert->Hint());
    btnAdd->SetHint(actAddFiles->Hint());
    btnRemove->SetHint(actRemoveChecked->Hint());
    btnHomePage->SetHint(actGoToHomePage->Hint());
    btnFileInfo->SetHint(actShowHideFileInfo->Hint());
    btnHomePage->SetCaption(String());
    btnStayOnTop->SetHint(actStayOnTop->Caption());
    btnStayOnTop->SetCaption(String());
    for (skins::TSkItem* b : {btnAdd, btnAddFolder, btnRemove, btnConvert, btnOptions, btnFileInfo, btnHomePage, btnStayOnTop})
        static_cast<TOwnTextItem*>(b)->OwnText = true;
    spbtnExpander->SetHint(bRightPanelCollapsed ? m.actShowSettingsPanel : m.actHideSettingsPanel);
    btnShowSettingsPanel->SetHint(m.actShowSettingsPanel);
    for (int i = 0; i < 10; ++i)
        miStartF[size_t(i)]->SetCaption(FormatLangStr(m.StartFrom_Percent, QStringLiteral("%1%").arg(i * 10)));
    // The column actions take their column's plain name as caption only.
    const String* names[29] = {
        &m.colNo, &m.colIcon, &m.colFullFileName, &m.colFile, &m.colDirectory, &m.colSize, &m.colDuration,
        &m.colAudio, &m.colAudioCodec, &m.colAudioCodecID, &m.colAudioProfile, &m.colAudioBitrate,
        &m.colAudioChannels, &m.colAudioSampling, &m.colAudioStreamSize, &m.colVideo, &m.colMenu,
        &m.colChapterCount, &m.colChapterTitle, &m.colChapterStart, &m.colChapterEnd, &m.colChapterNo,
        &m.colArtist, &m.colTitle, &m.colAlbum, &m.colYear, &m.colTrackNo, &m.colGenre, &m.colStatus,
    };
    for (int i = 0; i < 29; ++i) actColVisible[size_t(i)]->SetCaption(*names[i]);
}

void TFormMain::ReleaseImageLists() {
    Actions->SetImages(nullptr);
    for (int i = 0; i < Actions->ActionCount(); ++i)
        if (auto* a = dynamic_cast<vcl::TAction*>(Actions->Actions(i))) a->SetImageIndex(-1);
    tbMenu->SetImages(nullptr);
    for (components::TPngImageList* list : {pilMain_Dark, pilMain_Light, pilNav_LightIcons, pilNav_DarkIcons}) {
        for (int i = 0; i < list->PngImages()->Count(); ++i) list->PngImages()->GetItem(i)->SetPngImage(nullptr);
        list->Clear();
    }
}

} // namespace shell
