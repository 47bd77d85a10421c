// The settings column's texts in the chosen language, and the language switch while the program runs.
#include "app/shell/FormMainLang.h"

#include <vector>

#include "app/engine/ProcsControls.h"
#include "app/shell/AppStrings.h"
#include "app/shell/EngineLang.h"
#include "app/shell/FormAbout.h"
#include "app/shell/FormCheckUpdate.h"
#include "app/shell/FormCmdLine.h"
#include "app/shell/FormErrors.h"
#include "app/shell/FormFileInfo.h"
#include "app/shell/FormMain.h"
#include "app/shell/LangIniList.h"
#include "rtl/Files.h"
#include "rtl/SysUtils.h"

namespace shell {

std::function<void()> OutputDirListSetLang;

namespace {

// A combo's items replaced in place, its selection kept (clamped to the new items).
void ReplaceItems(vcl::TCustomComboBox* Combo, const QStringList& Items) {
    const int index = Combo->ItemIndex();
    rtl::TStrings* items = Combo->Items();
    items->BeginUpdate();
    items->Clear();
    for (const String& s : Items) items->Add(s);
    items->EndUpdate();
    Combo->SetItemIndex(std::min(index, int(Items.size()) - 1));
}

} // namespace

void TFormMain::SetLangPanels(const String& TypedBitrate, const String& TypedSampling) {
    const TMainModuleStrings& m = Strings()->Main;
    using engine::SetControlCaption;
    const std::pair<vcl::TAction*, const String*> actions[] = {
        {actEditOutputDirList, &m.EditOutputDirList},   {actStayOnTop, &m.actStayOnTop},
        {actHelp, &m.mnuHelp},                          {actPanels_ShowOutput, &m.cpOutput},
        {actPanels_ShowProfile, &m.cpProfile},          {actPanels_ShowAudio, &m.cpAudio},
        {actPanels_ShowAdditional, &m.cpAdditional},    {actMinimizeToTray, &m.actMinimizeToTray},
        {actGoToHomePage, &m.actGoToHomePage},          {actShowOptions, &m.actShowOptions},
        {actBrowseOutDir, &m.actBrowseOutDir},          {actExploreOutDir, &m.actExploreOutDir},
        {actPanelsExpand, &m.actPanelsExpand},          {actPanelsCollapse, &m.actPanelsCollapse},
    };
    for (const auto& [action, text] : actions) SetControlCaption(action, *text, true);

    // The labels of the combos.
    const std::pair<components::TPlusComboBox*, const String*> labels[] = {
        {cbAudioStereoMode, &m.lblAudioStereoMode}, {cbAudioAlgoQuality, &m.lblAudioAlgoQuality},
        {cbAudioTrackNo, &m.gbAudioTrackNo},        {cbOutputFormat, &m.lblOutputFormat},
        {cbOutputExists, &m.lblIfOutputExists},     {cbAfterConversion, &m.lblAfterConversion},
        {cbAudioBitrate, &m.lblAudioBitrate},       {cbAudioSampling, &m.lblAudioSampling},
        {cbAudioChannels, &m.lblAudioChannels},     {cbBitrateMode, &m.lblBitrateMode},
        {cbPresets, &m.lblLamePreset},              {cbTagSettings, &m.lblTagSettings},
        {cbMP3TagsToWrite, &m.MP3TagsToWrite},      {cbTagYear, &m.TagYear},
        {cbTagGenres, &m.TagGenre},
    };
    for (const auto& [combo, text] : labels) SetControlCaption(combo, *text);
    cbOutDirMode->SetLabelCaption(m.OutputDir);

    // The combos' items. The encoder's own texts ("Auto", the existing-file choices, the first audio
    // track) were replaced by SetLang already; a whole number typed into the bit-rate or sampling box
    // stays, any other text there becomes "Auto".
    engine::TEncoderPanel& e = EncoderPanel;
    e.cbOutputFormat.Items[2] = m.ExtractAudioStream;
    e.cbOutputFormat.SetItemIndex(e.cbOutputFormat.ItemIndex());
    for (components::TPlusComboBox* c : {cbAudioBitrate, cbAudioSampling}) {
        engine::TComboModel& model = c == cbAudioBitrate ? e.cbAudioBitrate : e.cbAudioSampling;
        const String typed = c == cbAudioBitrate ? TypedBitrate : TypedSampling;
        int number = 0;
        if (engine::TryWholeNumber(typed, number))
            model.SetText(typed);
        else
            model.SetItemIndex(0);
    }
    for (engine::TComboModel* c : {&e.cbAudioStereoMode, &e.cbAudioAlgoQuality})
        if (c->Count() > 0) {
            c->Items[0] = m.Auto;
            c->SetItemIndex(c->ItemIndex());
        }
    e.cbOutDirMode.Items = QStringList{m.OutDirMode_TheSame, m.OutDirMode_Desktop, m.OutDirMode_MyMusic,
                                       m.OutDirMode_MyDocuments, m.OutDirMode_Custom};
    e.cbOutDirMode.SetItemIndex(e.cbOutDirMode.ItemIndex());
    ReplaceItems(cbAfterConversion,
                 {m.cbAfterConversion_DoNothing, m.cbAfterConversion_CloseApplication, m.cbAfterConversion_CloseWindows});
    ReplaceItems(cbTagSettings, {m.Tag_Copy, m.Tag_Add, m.Tag_None});
    if (cbProfileNew->Items()->Count() >= 3) {
        const String extract = QStringLiteral("Try extract original audio stream");
        String item = cbProfileNew->Items()->Strings(2);
        const int at = item.indexOf(extract);
        if (at >= 0) cbProfileNew->Items()->SetStrings(2, item.replace(at, extract.size(), m.ExtractAudioStream));
    }
    if (cbProfileNew->Items()->Count() >= 2) {
        const int index = cbProfileNew->ItemIndex();
        cbProfileNew->Items()->SetStrings(0, m.cbProfile_TheLastSessionSettings);
        cbProfileNew->Items()->SetStrings(1, m.cbProfile_DefaultSettings);
        Profiles.ItemIndex = std::max(index, 0);
        cbProfileNew->SetItemIndex(Profiles.ItemIndex);
    }
    Profiles.Items = QStringList();
    for (int i = 0; i < cbProfileNew->Items()->Count(); ++i) Profiles.Items << cbProfileNew->Items()->Strings(i);
    PanelsFromModels();

    // The other controls.
    SetControlCaption(chAudioLowpass, m.chAudioLowpassFilter);
    SetControlCaption(chKeepDates, m.chKeepDates);
    chKeepDates->SetHint(m.KeepDates);
    btnEditOutputDirList->SetHint(m.EditOutputDirList);
    btnBrowseOutDir->SetHint(m.actBrowseOutDir);
    SetControlCaption(btnBrowseOutDir, QStringLiteral("..."));
    fpProfile->SetCaption(m.cpProfile);
    fpOutput->SetCaption(m.cpOutput);
    fpAudio->SetCaption(m.cpAudio);
    fpAdditional->SetCaption(m.cpAdditional);
    SetControlCaption(lblAudioVolume, m.lblAudioVolume);
    SetControlCaption(gbTimeRange, m.gbTimeRange);
    SetControlCaption(chTimeStart, m.chTimeStart);
    SetControlCaption(chTimeEnd, m.chTimeEnd);
    for (vcl::TLabel* l : {lblTimeStartH, lblTimeEndH}) SetControlCaption(l, m.lblTimeH);
    for (vcl::TLabel* l : {lblTimeStartM, lblTimeEndM}) SetControlCaption(l, m.lblTimeM);
    for (vcl::TLabel* l : {lblTimeStartS, lblTimeEndS}) SetControlCaption(l, m.lblTimeS);
    for (vcl::TLabel* l : {lblTimeStartMs, lblTimeEndMs}) SetControlCaption(l, m.lblTimeMs);
    SetControlCaption(edTagArtist, m.TagArtist);
    SetControlCaption(edTagAlbum, m.TagAlbum);
    SetControlCaption(edTagTitle, m.TagTitle);
    SetControlCaption(edTagTrackNo, m.TagTrackNo);
    SetControlCaption(lblTagComment, m.TagComment);
    SetControlCaption(btnTagFileName, m.btnTagFileName);
    btnTagFileName->SetHint(m.btnTagFileNameHint);
    SetControlCaption(chTagAddEncoderInfo, m.chTagAddEncoderInfo);
    SetControlCaption(chTagAutoNumbering, m.chTagAutoNumbering);
    for (components::TKwpPngButton* b : {btnTagCopy, btnTagPaste, btnTagClear}) SetControlCaption(b, String());
    fpTag->SetCaption(m.cpTag + QStringLiteral(" - ") + cbTagSettings->Text());
    actShowHideSettingsPanel->SetHint(bRightPanelCollapsed ? m.actShowSettingsPanel : m.actHideSettingsPanel);
    UpdateOutputPanelRightCaption();
    UpdateAudioPanelRightCaption();
}

TToolbarsCaptionUpdate::TToolbarsCaptionUpdate(std::initializer_list<skins::TSkToolbar*> Toolbars) {
    // The skinned view's own update, not only its items': it holds the right-aligning too.
    for (skins::TSkToolbar* bar : Toolbars)
        if (bar && bar->SkView()) FViews.push_back(bar->SkView());
    for (skins::TSkToolbarView* view : FViews) view->BeginUpdate();
}

TToolbarsCaptionUpdate::~TToolbarsCaptionUpdate() {
    for (skins::TSkToolbarView* view : FViews) view->EndUpdate();
}

bool SwitchLanguage(const String& NativeName, const std::function<void()>& OptionsSetLang) {
    TLangIniListItem* item = LangIniList ? LangIniList->GetItemByNativeName(NativeName) : nullptr;
    if (!item) return false;
    engine::AppParams.LanguageIni = rtl::ExtractFileName(item->FileName);
    AppStrings->SetEN();
    AppStrings->LoadFromFile(item->FileName);
    const TAppStrings& s = *AppStrings;
    if (OptionsSetLang) OptionsSetLang();
    if (FormMain) {
        const TToolbarsCaptionUpdate update{FormMain->tbMenu, FormMain->tbMain, FormMain->tbNav};
        FormMain->SetLang();
        FormMain->CalcFooter();
    }
    if (FormProgress) SetLang(*FormProgress, s);
    if (FormAbout) FormAbout->SetLang(s);
    if (FormErrors) FormErrors->SetLang(s);
    if (FormFileInfo) FormFileInfo->SetLang(s);
    if (FormCmdLine) FormCmdLine->SetLang(s);
    if (FormToolsInfo) FormToolsInfo->SetLang(s);
    if (FormCheckUpdate) FormCheckUpdate->SetLang(s);
    if (OutputDirListSetLang) OutputDirListSetLang();
    return true;
}

} // namespace shell
