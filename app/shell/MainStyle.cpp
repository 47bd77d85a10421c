#include "app/shell/MainStyle.h"

#include <QByteArray>

#include "app/engine/FormProgress.h"
#include "app/engine/Procs.h"
#include "app/engine/StyleColors.h"
#include "app/shell/AppStrings.h"
#include "app/shell/EngineLang.h"
#include "app/shell/FormAbout.h"
#include "app/shell/FormCheckUpdate.h"
#include "app/shell/FormCmdLine.h"
#include "app/shell/FormDirList.h"
#include "app/shell/FormErrors.h"
#include "app/shell/FormFileInfo.h"
#include "app/shell/FormMain.h"
#include "app/shell/FormOptions.h"
#include "app/shell/VisualStyles.h"
#include "base/Container.h"
#include "components/KWPlusSplitter.h"
#include "components/PngImageList.h"
#include "components/PngUtils.h"
#include "controls/FlipPanel.h"
#include "controls/TrackBar.h"
#include "rtl/Files.h"
#include "skins/SkSkins.h"
#include "vcl/ExtCtrls.h"
#include "win/kernel32/winres.h"


namespace shell {

const std::array<const char16_t*, 10> BuiltInSkinResources = {u"SKMN", u"SKCB", u"SKAU", u"SKCH", u"SKCO",
                                                              u"SKIC", u"SKLU", u"SKSI", u"SKSL", u"SKTD"};

std::function<void(const char* Window)> OnStyleReachedWindow;

namespace {

bool ProgramResource(const String& Name, QByteArray& Bytes) {
    const HRSRC res = FindResourceW(nullptr, reinterpret_cast<LPCWSTR>(Name.utf16()), RT_RCDATA);
    if (!res) return false;
    const HGLOBAL data = LoadResource(nullptr, res);
    const void* p = data ? LockResource(data) : nullptr;
    if (!p) return false;
    Bytes = QByteArray(static_cast<const char*>(p), qsizetype(SizeofResource(nullptr, res)));
    return true;
}

// The skin of a style, by its upper-cased name; empty: the skin stays.
String SkinOfStyle(const String& StyleName) {
    if (IsWindowsStyle(StyleName)) return QStringLiteral("main");
    const String name = StyleName.trimmed().toUpper();
    static const std::pair<const char*, const char*> byName[] = {
        {"CARBON", "Carbon"},
        {"AURIC", "Auric"},
        {"AURIC MOD", "Auric"},
        {"CHARCOAL DARK SLATE", "Charcoal"},
        {"CHARCOAL DARK SLATE MOD", "Charcoal"},
        {"COBALT XEMEDIA", "Cobalt"},
        {"ICEBERG CLASSICO", "Iceberg"},
        {"LUNA", "Luna"},
        {"LUNA MOD", "Luna"},
        {"SILVER", "Silver"},
        {"SLATE CLASSICO", "Slate"},
        {"SLATE CLASSICO MOD", "Slate"},
        {"TABLETDARK", "TabletDark"},
        {"TABLET DARK", "TabletDark"}};
    for (const auto& [style, skin] : byName)
        if (name == QLatin1String(style)) return QString::fromLatin1(skin);
    const String token = engine::GetStyleNameToken(name);
    if (token == QStringLiteral("GLOSSY") || token == QStringLiteral("JET")) return QStringLiteral("Charcoal");
    return String();
}

void Reached(const char* Window) {
    if (OnStyleReachedWindow) OnStyleReachedWindow(Window);
}

} // namespace

void PrepareSkins(const std::function<bool(const String& Name, QByteArray& Bytes)>& FindSkin) {
    skins::TSkSkinManager* manager = skins::GetSkinManager();
    for (const char16_t* name : BuiltInSkinResources) {
        QByteArray bytes;
        const String resource = String::fromUtf16(name);
        if (!(FindSkin ? FindSkin(resource, bytes) : ProgramResource(resource, bytes))) continue;
        rtl::TMemoryStream stream;
        stream.WriteBuffer(bytes.constData(), bytes.size());
        try {
            if (base::UnpackContainerInPlace(stream) != 0) continue;
        } catch (const std::exception&) {
            continue; // a payload that does not inflate
        }
        rtl::TStringList lines;
        stream.SetPosition(0);
        lines.LoadFromStream(&stream, rtl::TEncoding::UTF8());
        manager->SkinsList()->AddSkin(&lines);
    }
    manager->SetSkin(QStringLiteral("main"));
}

void PrepareImageList_Dark(components::TPngImageList* Light, components::TPngImageList* Dark) {
    Dark->BeginUpdate();
    Dark->Clear();
    for (int i = 0; i < Light->PngImages()->Count(); ++i) {
        std::unique_ptr<vcl::TPngImage> copy = Light->PngImages()->GetItem(i)->Duplicate();
        components::ScalePngOpacity(copy.get(), 190);
        Dark->AddPng(copy.get(), vcl::clNone);
    }
    Dark->EndUpdate();
}

void SetMainStyleColors(TFormMain& F, const TMainStyleControls& C, const String& StyleName) {
    engine::TAppParams& p = engine::AppParams;
    // 1. the scheme and what the chosen style is
    const engine::TStyleColorScheme scheme = engine::GetStyleColors(StyleName);
    const bool windows = IsWindowsStyle(p.StyleName);
    const bool dark = IsDarkStyle(p.StyleName);
    const bool carbon = IsCarbonStyle(p.StyleName);
    p.DarkStyle = dark;
    // 2. the skin
    const String skin = SkinOfStyle(StyleName);
    if (!skin.isEmpty()) skins::GetSkinManager()->SetSkin(skin);
    // 3. the volume track bar's fill
    const String token = engine::GetStyleNameToken(StyleName.trimmed().toUpper());
    const bool fullFill = token == QStringLiteral("AURIC") || token == QStringLiteral("COBALT");
    if (C.tbVolume) C.tbVolume->SetProgressFillMode(fullFill ? controls::pfmFull : controls::pfmFullWithBorder);
    // 4. the grid and its footers
    SetGridStyleColors(F.ng, scheme);
    for (int col : {colNo, colActive, colSize, colDuration, colAudioStreamSize, colAudioBitrate})
        F.ng->Columns()->Item(col)->Footer()->SetColor(scheme.GridNumberFooterColor);
    // 5.-8. the settings column's panels
    for (controls::TKWRgFlipPanel* fp : C.FlipPanels)
        if (fp) SetFlipPanelStyleColors(fp, scheme, !IsWindowsStyle(StyleName));
    controls::TKWRgFlipPanel* fpOutput = C.FlipPanels[0];
    controls::TKWRgFlipPanel* fpAudio = C.FlipPanels[2];
    const vcl::TColor lineColor = fpAudio ? fpAudio->HeaderColor() : scheme.FlipPanelHeaderColor;
    if (C.pnNav) {
        components::TKwpPanelBorders* b = C.pnNav->Appearance()->Borders();
        for (components::TKwpPanelBorder* side : {b->Left(), b->Top(), b->Bottom()}) side->SetVisible(false);
        b->Right()->SetVisible(true);
        b->Right()->Pen()->SetColor(lineColor);
    }
    for (vcl::TShape* line : C.SeparatorLines) {
        if (!line) continue;
        line->SetVisible(windows);
        line->Pen()->SetColor(lineColor);
    }
    if (fpOutput) {
        for (components::TKwpPanel* panel : {C.pnAudioTrack, C.pnAudioVolume})
            if (panel) panel->Appearance()->SetBackgroundColor(fpOutput->Color());
        if (C.tbVolume) C.tbVolume->SetColor(fpOutput->Color());
    }
    // 9. the splitter
    if (C.spMain) {
        components::TSplitterAppearance* a = C.spMain->Appearance();
        a->SetColor(scheme.SplitterColor);
        a->SetColorTo(scheme.SplitterColor);
        a->SetColorHot(scheme.SplitterHotColor);
        a->SetColorHotTo(scheme.SplitterHotColor);
        a->SetGripBrushColor(scheme.SplitterGripColor);
        a->SetGripPenColor(scheme.SplitterGripColor);
    }
    // 10. the PNG buttons and the track bar's colours
    for (components::TKwpPngButton* b : C.Buttons)
        if (b) SetButtonStyle(b, p.StyleName);
    if (C.tbVolume) SetTrackBarStyleColors(C.tbVolume, scheme);
    // 11. the pictures; 13. the navigation bar's menu-bar look under Carbon
    F.ActivePictures = dark ? F.pilMain_Dark : F.pilMain_Light;
    F.ActiveNavPictures = dark ? F.pilNav_LightIcons : F.pilNav_DarkIcons;
    F.SetBarImages(dark, carbon);
    // 12. the file list's border, the buttons' template
    components::TKwpPanelBorders* mainBorders = F.pnMain->Appearance()->Borders();
    if (windows) {
        for (components::TKwpPanelBorder* side : {mainBorders->Left(), mainBorders->Top(), mainBorders->Right(), mainBorders->Bottom()})
            side->Pen()->SetColor(0xB7B7B7);
        F.pnMain->Appearance()->SetDrawBorder(true);
        for (components::TKwpPngButton* b : C.Buttons)
            if (b) b->Appearance()->Assign(F.btnT->Appearance());
    } else {
        for (components::TKwpPanelBorder* side : {mainBorders->Left(), mainBorders->Top(), mainBorders->Right(), mainBorders->Bottom()})
            side->Pen()->SetColor(scheme.GridHeaderBorderColor);
        for (controls::TKWRgFlipPanel* fp : {fpAudio, fpOutput})
            if (fp) fp->RightCaptionFont()->SetColor(vcl::clWindowText);
    }
    // 14. both panels' edges match
    if (C.pnNav) {
        components::TKwpPanelBorders* navBorders = C.pnNav->Appearance()->Borders();
        navBorders->Left()->Pen()->SetColor(mainBorders->Left()->Pen()->Color());
        navBorders->Right()->Pen()->SetColor(mainBorders->Right()->Pen()->Color());
    }
    // 15. the hints
    if (F.AppHint) {
        F.AppHint->SetColorArrowBackground(scheme.GridIndicatorHotColor);
        F.AppHint->SetColorBorder(F.AppHint->ColorArrowBackground());
        F.AppHint->SetColorArrow(scheme.GridIndicatorHotTriangleColor);
        F.AppHint->SetColorBackground(scheme.GridColor);
        F.AppHint->Font()->SetColor(scheme.GridFontColor);
    }
    F.pnMain->Invalidate();
    F.ng->Invalidate();
}

void ChangeVisualStyle(const String& StyleName) {
    engine::TAppParams& p = engine::AppParams;
    p.StyleName = StyleName;
    if (VisualStyles) VisualStyles->SetStyle(p.StyleName);
    p.DarkStyle = IsDarkStyle(p.StyleName);
    const String& name = p.StyleName;
    if (FormOptions) FormOptions->SetStyleColors(name), Reached("options");
    if (FormMain) FormMain->SetStyleColors(name), Reached("main");
    if (FormFileInfo) FormFileInfo->SetStyleColors(name), Reached("file information");
    if (FormProgress) FormProgress->SetStyleColors(name), Reached("progress");
    if (FormErrors) FormErrors->SetStyleColors(name), Reached("error log");
    if (FormAbout) FormAbout->SetStyleColors(name), Reached("about");
    if (FormToolsInfo) FormToolsInfo->SetStyleColors(name), Reached("tools information");
    if (FormCheckUpdate) FormCheckUpdate->SetStyleColors(name), Reached("update check");
    if (FormListFileEdit) FormListFileEdit->SetStyleColors(name), Reached("output folders");
}

// ---- the main window's part ----

void TFormMain::CreateStyleParts() {
    for (components::TPngImageList** list : {&pilMain_Light, &pilMain_Dark, &pilNav_LightIcons, &pilNav_DarkIcons}) {
        *list = new components::TPngImageList(this);
        (*list)->SetSize(16, 16);
    }
    ActivePictures = pilMain_Light;
    ActiveNavPictures = pilNav_DarkIcons;
    // The settings column is built by now: the style colours its controls, and the output-folder list
    // editor reads and refills its folder box.
    StyleControls.FlipPanels = {fpOutput, fpProfile, fpAudio, fpAdditional, fpTag};
    StyleControls.pnNav = pnNav;
    StyleControls.tbVolume = tbAudioVolume;
    StyleControls.spMain = spMain;
    StyleControls.Buttons = {btnBrowseOutDir, btnEditOutputDirList, btnTagCopy, btnTagPaste, btnTagClear, btnTagFileName};
    GetOutputDirText = [this] { return cbOutDir->Text(); };
    OutputDirListChanged = [this] {
        engine::TComboModel& m = EncoderPanel.cbOutDir;
        const String text = cbOutDir->Text();
        m.Items.clear();
        for (const engine::TListFileRec& r : engine::AppParams.ArrListOutputDirectories)
            if (r.Active) m.Items << r.ItemValue;
        m.SetText(text);
        InitControls();
    };
}

void TFormMain::PrepareStyle() {
    engine::TAppParams& p = engine::AppParams;
    PrepareSkins();
    PrepareImageList_Dark(pilMain_Light, pilMain_Dark);
    if (!VisualStyles) VisualStyles = std::make_unique<TVisualStyles>(p.StylesDir);
    if (!p.StyleName.isEmpty()) VisualStyles->SetStyle(p.StyleName);
    SetStyleColors(p.StyleName);
}

void TFormMain::SetStyleColors(const String& StyleName) {
    SetMainStyleColors(*this, StyleControls, StyleName);
    SetProfileComboColor(); // the closed profile box takes the style's colour before it paints
}

void TFormMain::actEditOutputDirListExecute(rtl::TObject*) {
    if (!FormListFileEdit) return;
    FormListFileEdit->OwnerOutputDir = GetOutputDirText ? GetOutputDirText() : String();
    if (EditOutputDirList(*FormListFileEdit, engine::AppParams.ArrListOutputDirectories, FormListFileEdit->OwnerOutputDir) &&
        OutputDirListChanged)
        OutputDirListChanged();
}

} // namespace shell
