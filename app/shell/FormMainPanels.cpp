// The main window's settings column: the output, profile, audio and additional panels at the right and
// the metadata panel under the list. Their controls mirror the encoder and metadata models the runs read.
#include <QDir>

#include <array>

#include "app/engine/Procs.h"
#include "app/engine/ProcsControls.h"
#include "app/engine/Profiles.h"
#include "app/shell/AppStrings.h"
#include "app/shell/FormMain.h"
#include "app/shell/Links.h"
#include "app/shell/VisualStyles.h"
#include "base/Colors.h"
#include "base/WinFileSystem.h"
#include "components/Gradient.h"
#include "rtl/Files.h"
#include "rtl/SysUtils.h"
#include "tags/TagID3v1.h"
#include "vcl/Forms.h"

namespace shell {

namespace {

constexpr int NavWidth = 382;      // the unfolded settings column
constexpr int NavFoldedWidth = 26; // the folded strip
// The splitter's colours under the pointer and of its dots in the plain style.
constexpr vcl::TColor SplitterHotColor = 0xDADADA, SplitterGripColor = 0xA5A5A5;

QStringList Texts(std::initializer_list<const char16_t*> List) {
    QStringList out;
    for (const char16_t* t : List) out << String::fromUtf16(t);
    return out;
}

// The items of the table of the settings column that are not language texts.
const QStringList OutputFormats = Texts({u"MP3 - MPEG-1 Layer 3", u"WAV - Uncompressed audio", u"Try extract original audio stream"});
const QStringList OutDirModes = Texts({u"The same as input file", u"System folder: Desktop", u"System folder: My Music",
                                       u"System folder: My Documents", u"Custom"});
const QStringList TagModes = Texts({u"Copy from source", u"Add custom metadata", u"No metadata"});
const QStringList Mp3TagKinds = Texts({u"ID3v1 & ID3v2", u"ID3v2", u"ID3v1"});

void SetItems(vcl::TCustomComboBox* Combo, const QStringList& Items) {
    rtl::TStrings* items = Combo->Items();
    if (items->Count() == Items.size()) {
        bool same = true;
        for (int i = 0; i < Items.size() && same; ++i) same = items->Strings(i) == Items[i];
        if (same) return;
    }
    items->BeginUpdate();
    items->Clear();
    for (const String& s : Items) items->Add(s);
    items->EndUpdate();
}

// A combo of the window from its model: items, selection and text (only what differs, so a text being
// typed keeps its caret).
void ComboFromModel(vcl::TCustomComboBox* Combo, const engine::TComboModel& Model) {
    SetItems(Combo, Model.Items);
    if (Combo->ItemIndex() != Model.ItemIndex()) Combo->SetItemIndex(Model.ItemIndex());
    if (Combo->Style() != vcl::csDropDownList && Combo->Text() != Model.Text()) {
        Combo->SetText(Model.Text());
        // A text put in by the program is not shown selected.
        if (!Combo->Focused()) {
            Combo->SetSelStart(0);
            Combo->SetSelLength(0);
        }
    }
}

void ComboToModel(vcl::TCustomComboBox* Combo, engine::TComboModel& Model) {
    if (Combo->Style() == vcl::csDropDownList) {
        Model.SetItemIndex(Combo->ItemIndex());
        return;
    }
    const int index = Combo->ItemIndex();
    if (index >= 0 && index < Model.Count() && Combo->Text() == Model.Items[index])
        Model.SetItemIndex(index);
    else
        Model.SetText(Combo->Text());
}

void SetTextIfOther(vcl::TControl* Control, const String& Text) {
    if (Control->Text() != Text) Control->SetText(Text);
}

} // namespace

// ---- construction -------------------------------------------------------------------------------------

void TFormMain::BuildSettingsColumn() {
    using vcl::scCtrl;
    using vcl::scShift;
    auto label = [this](vcl::TWinControl* Parent, int X, int Y, const char16_t* Text) {
        auto* l = new vcl::TLabel(this);
        l->SetParent(Parent);
        l->SetBounds(X, Y, 0, 0);
        l->SetAutoSize(true);
        l->SetCaption(String::fromUtf16(Text));
        return l;
    };
    auto combo = [this](vcl::TWinControl* Parent, int X, int Y, int W, bool Editable, const char16_t* Label) {
        auto* c = new components::TPlusComboBox(this);
        c->SetParent(Parent);
        c->SetStyle(Editable ? vcl::csDropDown : vcl::csDropDownList);
        c->SetBounds(X, Y, W, 21);
        c->SetDropDownCount(16);
        if (Label) c->SetLabelCaption(String::fromUtf16(Label));
        c->OnChange = rtl::TNotifyEvent(this, &TFormMain::PanelControlChange);
        return c;
    };
    auto check = [this](vcl::TWinControl* Parent, int X, int Y, int W, const char16_t* Text) {
        auto* c = new vcl::TCheckBox(this);
        c->SetParent(Parent);
        c->SetBounds(X, Y, W, 19);
        c->SetCaption(String::fromUtf16(Text));
        c->OnClick = rtl::TNotifyEvent(this, &TFormMain::PanelControlChange);
        return c;
    };
    auto spin = [this](vcl::TWinControl* Parent, int X, int Y, int W, int Min, int Max) {
        auto* s = new skins::TSkSpinEdit(this);
        s->SetParent(Parent);
        s->SetBounds(X, Y, W, 21);
        s->SpinOptions()->SetMinValue(Min);
        s->SpinOptions()->SetMaxValue(Max);
        s->SpinOptions()->SetValueType(skins::spnInteger);
        s->SetOnValueChanged(rtl::TNotifyEvent(this, &TFormMain::PanelControlChange));
        return s;
    };
    auto button = [this](vcl::TWinControl* Parent, int X, int Y, int W, const char16_t* Text) {
        auto* b = new components::TKwpPngButton(this);
        b->SetParent(Parent);
        b->SetBounds(X, Y, W, 23);
        b->SetCaption(String::fromUtf16(Text));
        return b;
    };
    auto panel = [this](vcl::TWinControl* Parent, const char16_t* Caption, int FullHeight) {
        auto* f = new controls::TKWRgFlipPanel(this);
        f->SetParent(Parent);
        f->SetAlign(vcl::alTop);
        f->SetCaption(String::fromUtf16(Caption));
        f->SetFullHeight(FullHeight);
        f->SetHeight(FullHeight);
        f->OnChange = rtl::TNotifyEvent(this, &TFormMain::fpChange);
        return f;
    };

    // The column: a panel at the right with a splitter, holding the scroll box of the four panels.
    pnNav = new components::TKwpPanel(this);
    pnNav->SetParent(pnMain);
    pnNav->SetAlign(vcl::alRight);
    pnNav->SetWidth(NavWidth);
    // The splitter left of the column resizes it live and never snaps it shut; flat colours, no borders,
    // and a row of flat dots. These colours are the plain style's (PrepareControls keeps them).
    spMain = new components::TKWPlusSplitter(this);
    spMain->SetParent(pnMain);
    spMain->SetWidth(6);
    spMain->SetAlign(vcl::alRight);
    spMain->SetMinSize(80);
    spMain->SetAutoSnap(false);
    spMain->SetResizeStyle(vcl::rsUpdate);
    spMain->SetGripStyle(components::sgFlatDots);
    components::TSplitterAppearance* sa = spMain->Appearance();
    sa->SetColor(vcl::clBtnFace);
    sa->SetColorTo(vcl::clBtnFace);
    sa->SetColorHot(SplitterHotColor);
    sa->SetColorHotTo(SplitterHotColor);
    sa->SetBorderColor(vcl::clNone);
    sa->SetBorderColorHot(vcl::clNone);
    sa->SetGripBrushColor(SplitterGripColor);
    sa->SetGripPenColor(SplitterGripColor);
    sboxNav = new vcl::TScrollBox(this);
    sboxNav->SetParent(pnNav);
    sboxNav->SetAlign(vcl::alClient);

    // Top-aligned in creation order.
    fpOutput = panel(sboxNav, u"Output", 160);
    cbOutDirMode = combo(fpOutput, 14, 46, 336, false, u"Output directory:");
    cbOutDirMode->SetLabelPosition(components::lpTopLeft);
    cbOutDir = combo(fpOutput, 14, 72, 310, true, nullptr);
    cbOutDir->OnChange = rtl::TNotifyEvent(this, &TFormMain::cbOutDirChange);
    btnBrowseOutDir = button(fpOutput, 324, 71, 26, u"...");
    btnEditOutputDirList = button(fpOutput, 14, 98, 170, u"Edit list...");
    btnExploreOutDir = button(fpOutput, 190, 98, 160, u"Explore...");
    cbOutputExists = combo(fpOutput, 150, 126, 200, false, u"If output file exists:");
    chKeepDates = check(fpOutput, 14, 148, 300, u"Keep file dates");
    fpOutput->SetFullHeight(172);
    fpOutput->SetHeight(172);

    fpProfile = panel(sboxNav, u"Profile", 108);
    cbProfileNew = new skins::TSkComboBox(this);
    cbProfileNew->SetParent(fpProfile);
    cbProfileNew->SetStyle(vcl::csOwnerDrawFixed);
    cbProfileNew->SetAutoItemHeight(false);
    cbProfileNew->SetBounds(10, 30, 340, 40);
    cbProfileNew->SetItemHeight(36);
    cbProfileNew->SetDropDownCount(12);
    cbProfileNew->OnChange = rtl::TNotifyEvent(this, &TFormMain::cbProfileNewChange);
    cbProfileNew->OnDrawItem = skins::TSkDrawListItemEvent(this, &TFormMain::cbProfileNewDrawItem);
    btnLoadSelectedProfile = button(fpProfile, 10, 76, 100, u"<-- Load");

    fpAudio = panel(sboxNav, u"Audio", 318);
    cbOutputFormat = combo(fpAudio, 130, 30, 220, false, u"Output format:");
    cbAudioTrackNo = combo(fpAudio, 130, 56, 220, false, u"Audio track:");
    cbBitrateMode = combo(fpAudio, 130, 82, 220, false, u"Bitrate mode:");
    cbPresets = combo(fpAudio, 130, 108, 220, false, u"LAME preset:");
    cbAudioBitrate = combo(fpAudio, 130, 134, 100, true, u"Bitrate:");
    lblAudioBitrateUnit = label(fpAudio, 234, 137, u"kbit/s");
    btnBitrateInfo = button(fpAudio, 280, 133, 70, u"Info...");
    btnBitrateInfo->OnClick = rtl::TNotifyEvent(this, &TFormMain::btnBitrateInfoClick);
    cbAudioSampling = combo(fpAudio, 130, 160, 100, true, u"Sampling rate:");
    lblAudioSamplingUnit = label(fpAudio, 234, 163, u"Hz");
    cbAudioChannels = combo(fpAudio, 130, 186, 220, false, u"Channels:");
    cbAudioStereoMode = combo(fpAudio, 130, 212, 220, false, u"Stereo mode:");
    cbAudioAlgoQuality = combo(fpAudio, 130, 238, 220, false, u"Algorithm quality:");
    chAudioLowpass = check(fpAudio, 10, 264, 160, u"Lowpass filter");
    spedAudioLowpass = spin(fpAudio, 180, 263, 80, 1000, 32000);
    lblAudioLowpass = label(fpAudio, 264, 266, u"Hz");
    lblAudioVolume = label(fpAudio, 10, 292, u"Volume:");
    tbAudioVolume = new controls::TKWRgTrackBar6(this);
    tbAudioVolume->SetParent(fpAudio);
    tbAudioVolume->SetBounds(130, 288, 170, 22);
    tbAudioVolume->SetMin(1);
    tbAudioVolume->SetMax(300);
    tbAudioVolume->SetPosition(100);
    tbAudioVolume->OnChange = rtl::TNotifyEvent(this, &TFormMain::tbAudioVolumeChange);
    lblAudioVolumeInfo = label(fpAudio, 306, 292, u"1.00x");

    fpAdditional = panel(sboxNav, u"Additional settings", 132);
    gbTimeRange = new components::TFlatGroupBox(this);
    gbTimeRange->SetParent(fpAdditional);
    gbTimeRange->SetBounds(10, 28, 340, 62);
    gbTimeRange->SetCaption(QStringLiteral("Time range"));
    chTimeStart = check(gbTimeRange, 8, 16, 60, u"Start:");
    chTimeEnd = check(gbTimeRange, 8, 38, 60, u"End:");
    {
        skins::TSkSpinEdit** starts[] = {&spedTimeStartH, &spedTimeStartM, &spedTimeStartS, &spedTimeStartMs};
        skins::TSkSpinEdit** ends[] = {&spedTimeEndH, &spedTimeEndM, &spedTimeEndS, &spedTimeEndMs};
        vcl::TLabel** startLabels[] = {&lblTimeStartH, &lblTimeStartM, &lblTimeStartS, &lblTimeStartMs};
        vcl::TLabel** endLabels[] = {&lblTimeEndH, &lblTimeEndM, &lblTimeEndS, &lblTimeEndMs};
        const int maxima[] = {24, 60, 60, 999};
        const char16_t* units[] = {u"h", u"m", u"s", u"ms"};
        for (int i = 0; i < 4; ++i) {
            const int x = 72 + i * 66;
            *starts[i] = spin(gbTimeRange, x, 14, 46, 0, maxima[i]);
            *ends[i] = spin(gbTimeRange, x, 36, 46, 0, maxima[i]);
            *startLabels[i] = label(gbTimeRange, x + 48, 17, units[i]);
            *endLabels[i] = label(gbTimeRange, x + 48, 39, units[i]);
        }
    }
    cbAfterConversion = combo(fpAdditional, 150, 98, 200, false, u"After conversion:");

    // The metadata panel under the list.
    fpTag = new controls::TKWRgFlipPanel(this);
    fpTag->SetParent(pnMain);
    fpTag->SetAlign(vcl::alBottom);
    fpTag->SetFullHeight(184);
    fpTag->SetHeight(184);
    fpTag->SetCaption(QStringLiteral("Metadata"));
    fpTag->OnChange = rtl::TNotifyEvent(this, &TFormMain::fpChange);
    cbTagSettings = combo(fpTag, 100, 30, 170, false, u"Metadata:");
    cbMP3TagsToWrite = combo(fpTag, 400, 30, 130, false, u"MP3 tags:");
    auto edit = [this](int X, int Y, int W, const char16_t* Label) {
        auto* e = new vcl::TLabeledEdit(this);
        e->SetParent(fpTag);
        e->SetBounds(X, Y, W, 21);
        e->EditLabel()->SetCaption(String::fromUtf16(Label));
        e->OnChange = rtl::TNotifyEvent(this, &TFormMain::PanelControlChange);
        return e;
    };
    edTagArtist = edit(10, 74, 200, u"Artist");
    edTagAlbum = edit(220, 74, 200, u"Album");
    edTagTitle = edit(10, 116, 330, u"Title");
    btnTagFileName = button(fpTag, 346, 115, 74, u"<FILE_NAME>");
    btnTagFileName->OnClick = rtl::TNotifyEvent(this, &TFormMain::btnTagFileNameClick);
    edTagTrackNo = edit(430, 74, 40, u"Track");
    edTagTrackNo2 = edit(476, 74, 40, u"");
    cbTagYear = combo(fpTag, 430, 116, 86, true, u"Year");
    cbTagGenres = combo(fpTag, 10, 158, 200, true, u"Genre");
    for (components::TPlusComboBox* c : {cbTagYear, cbTagGenres}) c->SetLabelPosition(components::lpTopLeft);
    meTagComment = new vcl::TMemo(this);
    meTagComment->SetParent(fpTag);
    meTagComment->SetBounds(220, 150, 296, 30);
    meTagComment->OnChange = rtl::TNotifyEvent(this, &TFormMain::PanelControlChange);
    lblTagComment = label(fpTag, 220, 136, u"Comment");
    chTagAutoNumbering = check(fpTag, 530, 74, 230, u"Auto numbering");
    chTagAddEncoderInfo = check(fpTag, 530, 96, 230, u"Add encoder info");
    btnTagCopy = button(fpTag, 530, 124, 30, u"");
    btnTagPaste = button(fpTag, 564, 124, 30, u"");
    btnTagClear = button(fpTag, 598, 124, 30, u"");
    btnTagCopy->SetAction(actTagCopy);
    btnTagPaste->SetAction(actTagPaste);
    btnTagClear->SetAction(actTagClear);
    btnTagLibrary = button(fpTag, 640, 124, 30, u"");
    btnTagLibrary->OnClick = rtl::TNotifyEvent(this, &TFormMain::btnTagLibraryClick);

    tmFixControlPos = new vcl::TTimer(this);
    tmFixControlPos->SetEnabled(false);
    tmFixControlPos->SetInterval(100);
    tmFixControlPos->SetOnTimer(rtl::TNotifyEvent(this, &TFormMain::tmFixControlPosTimer));

    actPanelsExpand = NewAction(u"Expand all panels", 0, &TFormMain::actPanelsExpandExecute);
    actPanelsCollapse = NewAction(u"Collapse all panels", 0, &TFormMain::actPanelsCollapseExecute);
    actPanels_ShowOutput = NewAction(u"Output", scCtrl | scShift | '1', &TFormMain::actPanelsShowExecute);
    actPanels_ShowProfile = NewAction(u"Profile", scCtrl | scShift | '2', &TFormMain::actPanelsShowExecute);
    actPanels_ShowAudio = NewAction(u"Audio", scCtrl | scShift | '3', &TFormMain::actPanelsShowExecute);
    actPanels_ShowAdditional = NewAction(u"Additional settings", scCtrl | scShift | '4', &TFormMain::actPanelsShowExecute);
    actShowHideSettingsPanel =
        NewAction(u"Hide settings panel", scCtrl | scShift | 'P', &TFormMain::actShowHideSettingsPanelExecute);
    actBrowseOutDir = NewAction(u"Select output directory", 0, &TFormMain::actBrowseOutDirExecute);
    actExploreOutDir = NewAction(u"Explore...", 0, &TFormMain::actExploreOutDirExecute);
    actEditOutputDirList = NewAction(u"Edit list...", 0, &TFormMain::actEditOutputDirListExecute);
    actLoadSelectedProfile = NewAction(u"<-- Load", 0, &TFormMain::actLoadSelectedProfileExecute);
    // The browse button keeps its "..." whatever the action is called.
    btnBrowseOutDir->OnClick = [this](rtl::TObject*) { actBrowseOutDir->Execute(); };
    btnEditOutputDirList->SetAction(actEditOutputDirList);
    btnExploreOutDir->SetAction(actExploreOutDir);
    btnLoadSelectedProfile->SetAction(actLoadSelectedProfile);

    PickOutDir = [this](const String& StartDir, String& Folder) {
        Folder = StartDir;
        return ChooseFolder && ChooseFolder(Folder);
    };
    FSettingsBuilt = true;
}

void TFormMain::ReleaseSettingsColumn() {
    if (!FSettingsBuilt) return;
    FSettingsBuilt = false;
    // The controls outlive this class's part of the window; none may call back into it.
    for (components::TPlusComboBox* c : {cbOutDirMode, cbOutDir, cbOutputExists, cbOutputFormat, cbAudioTrackNo,
                                         cbBitrateMode, cbPresets, cbAudioBitrate, cbAudioSampling, cbAudioChannels,
                                         cbAudioStereoMode, cbAudioAlgoQuality, cbAfterConversion, cbTagSettings,
                                         cbTagYear, cbTagGenres, cbMP3TagsToWrite})
        c->OnChange = nullptr;
    for (vcl::TCheckBox* c : {chKeepDates, chAudioLowpass, chTimeStart, chTimeEnd, chTagAutoNumbering, chTagAddEncoderInfo})
        c->OnClick = nullptr;
    for (skins::TSkSpinEdit* s : {spedAudioLowpass, spedTimeStartH, spedTimeStartM, spedTimeStartS, spedTimeStartMs,
                                  spedTimeEndH, spedTimeEndM, spedTimeEndS, spedTimeEndMs})
        s->SetOnValueChanged(nullptr);
    for (vcl::TLabeledEdit* e : {edTagArtist, edTagAlbum, edTagTitle, edTagTrackNo, edTagTrackNo2}) e->OnChange = nullptr;
    meTagComment->OnChange = nullptr;
    for (controls::TKWRgFlipPanel* f : {fpOutput, fpProfile, fpAudio, fpAdditional, fpTag}) f->OnChange = nullptr;
    cbProfileNew->OnChange = nullptr;
    cbProfileNew->OnDrawItem = nullptr;
    tbAudioVolume->OnChange = nullptr;
    tmFixControlPos->SetOnTimer(nullptr);
    for (components::TKwpPngButton* b : {btnBitrateInfo, btnTagFileName, btnTagLibrary, btnBrowseOutDir}) b->OnClick = nullptr;
    if (ti) {
        ti->OnClick = nullptr;
        ti->SetVisible(false);
    }
    if (popTi) popTi->OnPopup = nullptr;
}

// ---- preparing ----------------------------------------------------------------------------------------

void TFormMain::PrepareControls() {
    const bool was = bUpdatingControls;
    bUpdatingControls = true;
    engine::TAppParams& p = engine::AppParams;
    // 1. the panels' first state
    fpOutput->SetExpanded(true);
    fpProfile->SetExpanded(true);
    fpAudio->SetExpanded(true);
    fpAdditional->SetExpanded(false);
    fpTag->SetExpanded(false);
    // 3. the text windows' font: the first installed of three
    const struct {
        const char16_t* Name;
        int Size;
    } fonts[] = {{u"Fira Mono", 9}, {u"Consolas", 10}, {u"Courier New", 9}};
    p.MonospaceFont.Name = QStringLiteral("Courier New");
    p.MonospaceFont.Size = 9;
    for (const auto& f : fonts)
        if (vcl::Screen->Fonts()->IndexOf(String::fromUtf16(f.Name)) >= 0) {
            p.MonospaceFont.Name = String::fromUtf16(f.Name);
            p.MonospaceFont.Size = f.Size;
            break;
        }
    // 4. the scroll box
    sboxNav->SetBorderStyle(vcl::bsNone);
    // 5. the template and the tag buttons take the window's font; the tag buttons show pictures only
    for (components::TKwpPngButton* b : {btnT, btnBrowseOutDir, btnTagCopy}) {
        b->Font()->SetName(Font()->Name());
        b->Font()->SetSize(Font()->Size());
    }
    for (components::TKwpPngButton* b : {btnTagPaste, btnTagClear}) b->Font()->Assign(btnTagCopy->Font());
    for (components::TKwpPngButton* b : {btnTagCopy, btnTagPaste, btnTagClear}) b->SetCaption(String());
    SetGridFont(QStringLiteral("Segoe UI"), 8);
    // 6. the plain style's panel, splitter and volume colours come from the window's design
    CaptureControlColors(engine::StyleColorSchemes[engine::WindowsSchemeIndex]);
    // 7. the combos
    SetItems(cbOutDirMode, OutDirModes);
    cbOutDirMode->SetItemIndex(0);
    SetItems(cbOutputFormat, OutputFormats);
    SetItems(cbAfterConversion, {Strings()->Main.cbAfterConversion_DoNothing, Strings()->Main.cbAfterConversion_CloseApplication,
                                 Strings()->Main.cbAfterConversion_CloseWindows});
    cbAfterConversion->SetItemIndex(0);
    SetItems(cbTagSettings, TagModes);
    SetItems(cbMP3TagsToWrite, Mp3TagKinds);
    {
        const String text = EncoderPanel.cbOutDir.Text();
        EncoderPanel.cbOutDir.Items.clear();
        for (const engine::TListFileRec& r : p.ArrListOutputDirectories)
            if (r.Active) EncoderPanel.cbOutDir.Items << r.ItemValue;
        EncoderPanel.cbOutDir.SetText(base::GetDesktopDir());
        if (!text.isEmpty()) EncoderPanel.cbOutDir.SetText(text);
    }
    // 8. genres and years
    QStringList years;
    for (int y = 1930; y <= 2030; ++y) years << QString::number(y);
    SetItems(cbTagYear, years);
    QStringList genres{QStringLiteral("Audiobook")};
    for (int g = 0; g < 148; ++g) genres << QString::fromLatin1(tags::ID3v1Genres[g]);
    SetItems(cbTagGenres, genres);
    btnTagLibrary->SetHint(QStringLiteral("Tag library 1.0 - ") + LinkAddress(lnkTagLibrary).replace(QStringLiteral("%20"), QStringLiteral(" ")));
    TagPanel.meTagComment.clear();
    meTagComment->Clear();
    PanelsFromModels();
    bUpdatingControls = was;
}

// The plain style takes its flip-panel colours from the hidden template panel, the splitter's (at rest,
// under the pointer, its dots) from spMain and the volume bar's from tbAudioVolume.
void TFormMain::CaptureControlColors(engine::TStyleColorScheme& S) {
    using vcl::ColorToRGB;
    const controls::TKWRgFlipPanel* f = fpTemplate;
    S.FlipPanelColor = ColorToRGB(f->Color());
    S.FlipPanelHeaderColor = ColorToRGB(f->HeaderColor());
    S.FlipPanelHeaderColorTo = ColorToRGB(f->HeaderColorTo());
    S.FlipPanelBorderColor = ColorToRGB(f->HeaderHotBorderColor());
    S.FlipPanelHeaderFontColor = ColorToRGB(f->HeaderFont()->Color());
    S.FlipPanelHeaderHotColor = ColorToRGB(f->HeaderHotColor());
    S.FlipPanelTriangleColor = ColorToRGB(f->ToggleTriangleColor());
    S.FlipPanelTriangleHotColor = ColorToRGB(f->ToggleTriangleHotColor());
    const components::TSplitterAppearance* sa = spMain->Appearance();
    S.SplitterColor = ColorToRGB(sa->Color());
    S.SplitterHotColor = ColorToRGB(sa->ColorHot());
    S.SplitterGripColor = ColorToRGB(sa->GripBrushColor());
    const controls::TKWRgTrackBar6* t = tbAudioVolume;
    S.TrackProgressColor = ColorToRGB(t->ProgressColor());
    S.TrackColor = ColorToRGB(t->TrackColor());
    S.TrackBorderColor = ColorToRGB(t->TrackBorderColor());
    S.TrackThumbColor = ColorToRGB(t->ThumbColor());
    S.TrackThumbBorderColor = ColorToRGB(t->ThumbBorderColor());
    S.TrackThumbHotColor = ColorToRGB(t->ThumbHotColor());
    S.TrackThumbHotBorderColor = ColorToRGB(t->ThumbHotBorderColor());
    S.TrackTickMarkColor = ColorToRGB(t->TickMarkColor());
    S.TrackSignsColor = ColorToRGB(t->SignsColor());
}

void TFormMain::SetDefaultParams() {
    const bool was = bUpdatingControls;
    bUpdatingControls = true;
    EncoderPanel.SetDefaultParams();
    AfterConversion = 0;
    PanelsFromModels();
    bUpdatingControls = was;
}

// ---- the models and the controls ---------------------------------------------------------------------

// The encoder's combos and spin edits beside the settings they show.
std::array<std::pair<components::TPlusComboBox*, engine::TComboModel*>, 12> TFormMain::ComboBindings() {
    engine::TEncoderPanel& e = EncoderPanel;
    return {{{cbOutDirMode, &e.cbOutDirMode},       {cbOutDir, &e.cbOutDir},
             {cbOutputExists, &e.cbOutputExists},   {cbOutputFormat, &e.cbOutputFormat},
             {cbAudioTrackNo, &e.cbAudioTrackNo},   {cbBitrateMode, &e.cbBitrateMode},
             {cbPresets, &e.cbPresets},             {cbAudioBitrate, &e.cbAudioBitrate},
             {cbAudioSampling, &e.cbAudioSampling}, {cbAudioChannels, &e.cbAudioChannels},
             {cbAudioStereoMode, &e.cbAudioStereoMode}, {cbAudioAlgoQuality, &e.cbAudioAlgoQuality}}};
}

std::array<std::pair<skins::TSkSpinEdit*, engine::TSpinEditModel*>, 9> TFormMain::SpinBindings() {
    engine::TEncoderPanel& e = EncoderPanel;
    return {{{spedAudioLowpass, &e.spedAudioLowpass}, {spedTimeStartH, &e.spedTimeStartH},
             {spedTimeStartM, &e.spedTimeStartM},     {spedTimeStartS, &e.spedTimeStartS},
             {spedTimeStartMs, &e.spedTimeStartMs},   {spedTimeEndH, &e.spedTimeEndH},
             {spedTimeEndM, &e.spedTimeEndM},         {spedTimeEndS, &e.spedTimeEndS},
             {spedTimeEndMs, &e.spedTimeEndMs}}};
}

void TFormMain::PanelsFromModels() {
    if (!FSettingsBuilt) return;
    const bool was = bUpdatingControls;
    bUpdatingControls = true;
    engine::TEncoderPanel& e = EncoderPanel;
    const auto combos = ComboBindings();
    for (const auto& [combo, model] : combos) ComboFromModel(combo, *model);
    const auto spins = SpinBindings();
    for (const auto& [spin, model] : spins) {
        spin->SpinOptions()->SetMinValue(model->MinValue);
        spin->SpinOptions()->SetMaxValue(model->MaxValue);
        if (spin->Value() != model->Value) spin->SetValue(model->Value);
    }
    chAudioLowpass->SetChecked(e.chAudioLowpass);
    chTimeStart->SetChecked(e.chTimeStart);
    chTimeEnd->SetChecked(e.chTimeEnd);
    if (tbAudioVolume->Position() != e.tbAudioVolume.Position) tbAudioVolume->SetPosition(e.tbAudioVolume.Position);
    tbAudioVolumeChange(tbAudioVolume);
    if (AfterConversion != cbAfterConversion->ItemIndex()) cbAfterConversion->SetItemIndex(AfterConversion);
    chKeepDates->SetChecked(KeepFileDates);
    if (cbProfileNew->ItemIndex() != Profiles.ItemIndex && Profiles.ItemIndex < cbProfileNew->Items()->Count())
        cbProfileNew->SetItemIndex(Profiles.ItemIndex);

    const engine::TTagPanel& t = TagPanel;
    if (cbTagSettings->ItemIndex() != int(t.Mode)) cbTagSettings->SetItemIndex(int(t.Mode));
    if (cbMP3TagsToWrite->ItemIndex() != int(t.cbMP3TagsToWrite)) cbMP3TagsToWrite->SetItemIndex(int(t.cbMP3TagsToWrite));
    SetTextIfOther(edTagArtist, t.edTagArtist);
    SetTextIfOther(edTagAlbum, t.edTagAlbum);
    SetTextIfOther(edTagTitle, t.edTagTitle);
    SetTextIfOther(edTagTrackNo, t.edTagTrackNo);
    SetTextIfOther(edTagTrackNo2, t.edTagTrackNo2);
    SetTextIfOther(cbTagYear, t.cbTagYear);
    SetTextIfOther(cbTagGenres, t.cbTagGenres);
    if (meTagComment->Lines()->Text() != t.meTagComment && meTagComment->Text() != t.meTagComment)
        meTagComment->SetText(t.meTagComment);
    chTagAutoNumbering->SetChecked(t.chTagAutoNumbering);
    chTagAddEncoderInfo->SetChecked(t.chTagAddEncoderInfo);
    bUpdatingControls = was;
}

// Any control of the column changed by the user: its value goes to its model, then the rules apply.
void TFormMain::PanelControlChange(rtl::TObject*) {
    if (bUpdatingControls) return;
    engine::TEncoderPanel& e = EncoderPanel;
    const auto combos = ComboBindings();
    for (const auto& [combo, model] : combos) ComboToModel(combo, *model);
    const auto spins = SpinBindings();
    for (const auto& [spin, model] : spins) engine::SetSpinEditInt(*model, int(spin->SpinOptions()->ValueAsInteger()));
    e.chAudioLowpass = chAudioLowpass->Checked();
    e.chTimeStart = chTimeStart->Checked();
    e.chTimeEnd = chTimeEnd->Checked();
    AfterConversion = std::max(0, cbAfterConversion->ItemIndex());
    KeepFileDates = chKeepDates->Checked();

    engine::TTagPanel& t = TagPanel;
    t.Mode = engine::TTagMode(std::clamp(cbTagSettings->ItemIndex(), 0, 2));
    t.cbMP3TagsToWrite = engine::TMP3TagsToWrite(std::clamp(cbMP3TagsToWrite->ItemIndex(), 0, 2));
    t.edTagArtist = edTagArtist->Text();
    t.edTagAlbum = edTagAlbum->Text();
    t.edTagTitle = edTagTitle->Text();
    t.edTagTrackNo = edTagTrackNo->Text();
    t.edTagTrackNo2 = edTagTrackNo2->Text();
    t.cbTagYear = cbTagYear->Text();
    t.cbTagGenres = cbTagGenres->Text();
    t.meTagComment = meTagComment->Text();
    t.chTagAutoNumbering = chTagAutoNumbering->Checked();
    t.chTagAddEncoderInfo = chTagAddEncoderInfo->Checked();
    InitControls();
}

// ---- the enabling rules --------------------------------------------------------------------------------

void TFormMain::ApplyPanelRules() {
    if (!FSettingsBuilt) return;
    const engine::TEncoderPanel& e = EncoderPanel;
    const int format = e.cbOutputFormat.ItemIndex();
    const bool mp3 = format == engine::ofMP3, extract = format == engine::ofExtract;
    const int mode = e.cbBitrateMode.ItemIndex();

    const bool custom = e.cbOutDirMode.ItemIndex() == 4;
    cbOutDir->SetEnabled(custom);
    btnBrowseOutDir->SetEnabled(custom);
    actBrowseOutDir->SetEnabled(custom);
    actExploreOutDir->SetEnabled(custom);
    actEditOutputDirList->SetEnabled(custom);

    cbAudioTrackNo->SetEnabled(true);
    cbBitrateMode->SetEnabled(mp3);
    cbAudioAlgoQuality->SetEnabled(mp3);
    chAudioLowpass->SetEnabled(mp3);
    const bool bitrate = mp3 && (mode == 0 || mode == 1);
    cbAudioBitrate->SetEnabled(bitrate);
    lblAudioBitrateUnit->SetEnabled(bitrate);
    cbPresets->SetEnabled(mp3 && mode == 2);
    for (vcl::TControl* c : std::initializer_list<vcl::TControl*>{cbAudioSampling, lblAudioSamplingUnit, cbAudioChannels,
                                                                  tbAudioVolume, lblAudioVolume, lblAudioVolumeInfo})
        c->SetEnabled(!extract);
    // Mono (channels item 1) has no stereo mode.
    cbAudioStereoMode->SetEnabled(mp3 && e.cbAudioChannels.ItemIndex() != 1);
    const bool lowpass = mp3 && e.chAudioLowpass;
    spedAudioLowpass->SetEnabled(lowpass);
    lblAudioLowpass->SetEnabled(lowpass);

    chTimeStart->SetEnabled(true);
    chTimeEnd->SetEnabled(true);
    for (vcl::TControl* c : std::initializer_list<vcl::TControl*>{spedTimeStartH, spedTimeStartM, spedTimeStartS,
                                                                  spedTimeStartMs, lblTimeStartH, lblTimeStartM,
                                                                  lblTimeStartS, lblTimeStartMs})
        c->SetEnabled(e.chTimeStart);
    for (vcl::TControl* c : std::initializer_list<vcl::TControl*>{spedTimeEndH, spedTimeEndM, spedTimeEndS, spedTimeEndMs,
                                                                  lblTimeEndH, lblTimeEndM, lblTimeEndS, lblTimeEndMs})
        c->SetEnabled(e.chTimeEnd);

    const bool tags = mp3 || extract;
    cbTagSettings->SetEnabled(tags);
    const bool customTags = tags && TagPanel.Mode == engine::tmAddCustom;
    for (vcl::TControl* c : std::initializer_list<vcl::TControl*>{edTagArtist, edTagAlbum, edTagTitle, cbTagYear,
                                                                  cbTagGenres, meTagComment, lblTagComment, btnTagFileName,
                                                                  chTagAutoNumbering, chTagAddEncoderInfo, cbMP3TagsToWrite})
        c->SetEnabled(customTags);
    actTagCopy->SetEnabled(customTags);
    actTagClear->SetEnabled(customTags);
    actTagPaste->SetEnabled(customTags && bTagCopied);
    const bool trackNo = customTags && !TagPanel.chTagAutoNumbering;
    edTagTrackNo->SetEnabled(trackNo);
    edTagTrackNo2->SetEnabled(trackNo);
    fpTag->SetVisible(tags);
    fpTag->SetCaption(Strings()->Main.cpTag + QStringLiteral(" - ") + cbTagSettings->Text());
}

void TFormMain::DisableFlipPanels() {
    for (controls::TKWRgFlipPanel* f : {fpOutput, fpProfile, fpAudio, fpAdditional, fpTag}) f->SetEnabled(false);
}

void TFormMain::EnableFlipPanels() {
    for (controls::TKWRgFlipPanel* f : {fpOutput, fpProfile, fpAudio, fpAdditional, fpTag}) f->SetEnabled(true);
}

void TFormMain::UpdateOutputPanelRightCaption() {
    fpOutput->SetRightCaption(cbOutDirMode->ItemIndex() == 4 ? rtl::Trim(cbOutDir->Text()) : cbOutDirMode->Text());
}

void TFormMain::UpdateAudioPanelRightCaption() { fpAudio->SetRightCaption(cbOutputFormat->Text()); }

// ---- folding ------------------------------------------------------------------------------------------

// The panels of the column in their fixed order, whatever folding did to their places.
void TFormMain::RealignNav() {
    if (!FSettingsBuilt) return;
    int top = -sboxNav->VertScrollBar()->Position();
    for (controls::TKWRgFlipPanel* f : {fpOutput, fpProfile, fpAudio, fpAdditional}) {
        f->SetTop(top);
        top += f->Visible() ? f->Height() : 1;
    }
    sboxNav->Realign();
}

void TFormMain::fpChange(rtl::TObject*) {
    RealignNav();
    cbOutDir->SetSelLength(0);
    controls::TKWRgFlipPanel* panels[] = {fpOutput, fpProfile, fpAudio, fpAdditional, fpTag};
    for (int i = 0; i < 5; ++i) PanelExpanded[i] = panels[i]->Expanded();
}

void TFormMain::actPanelsExpandExecute(rtl::TObject*) {
    for (controls::TKWRgFlipPanel* f : {fpOutput, fpProfile, fpAudio, fpAdditional}) f->SetExpanded(true);
    cbOutDir->SetSelLength(0);
    InitControls();
}

void TFormMain::actPanelsCollapseExecute(rtl::TObject*) {
    for (controls::TKWRgFlipPanel* f : {fpOutput, fpProfile, fpAudio, fpAdditional}) f->SetExpanded(false);
    InitControls();
}

void TFormMain::ShowOnlyPanel(controls::TKWRgFlipPanel* Panel) {
    // The navigation bar's expander unfolds the column.
    if (bRightPanelCollapsed) RightPanelCollapsed();
    for (controls::TKWRgFlipPanel* f : {fpOutput, fpProfile, fpAudio, fpAdditional}) f->SetExpanded(f == Panel);
    InitControls();
    RealignNav();
}

void TFormMain::actPanelsShowExecute(rtl::TObject* Sender) {
    ShowOnlyPanel(Sender == actPanels_ShowOutput    ? fpOutput
                  : Sender == actPanels_ShowProfile ? fpProfile
                  : Sender == actPanels_ShowAudio   ? fpAudio
                                                    : fpAdditional);
}

void TFormMain::RightPanelCollapsed() { spbtnExpander->Click(); }

void TFormMain::actShowHideSettingsPanelExecute(rtl::TObject*) {
    bRightPanelCollapsed = !bRightPanelCollapsed;
    const bool folded = bRightPanelCollapsed;
    for (controls::TKWRgFlipPanel* f : {fpOutput, fpProfile, fpAudio, fpAdditional}) f->SetVisible(!folded);
    spMain->SetVisible(!folded);
    if (folded) {
        pnNav->SetWidth(NavFoldedWidth);
        actShowHideSettingsPanel->SetHint(Strings()->Main.actShowSettingsPanel);
    } else {
        pnNav->SetWidth(NavWidth);
        // The splitter goes back to the left of the column.
        spMain->SetLeft(pnNav->Left() - spMain->Width());
        actShowHideSettingsPanel->SetHint(Strings()->Main.actHideSettingsPanel);
        btnBrowseOutDir->SetBounds(cbOutDir->Left() + cbOutDir->Width(), btnBrowseOutDir->Top(), 26, btnBrowseOutDir->Height());
        cbProfileNew->SetWidth(fpProfile->Width() - cbProfileNew->Left() - 14);
        tmFixControlPos->SetEnabled(true);
    }
    UpdateNavButtons();
    RealignNav();
    cbProfileNew->SetItemHeight(36);
    cbOutDir->SetSelLength(0);
}

void TFormMain::tmFixControlPosTimer(rtl::TObject*) {
    tmFixControlPos->SetEnabled(false);
    // The folder and its browse button together fill the panel less the margins.
    cbOutDir->SetBounds(14, cbOutDir->Top(), fpOutput->Width() - 28 - btnBrowseOutDir->Width(), cbOutDir->Height());
    btnBrowseOutDir->SetLeft(cbOutDir->Left() + cbOutDir->Width());
    cbProfileNew->SetBounds(10, cbProfileNew->Top(), fpProfile->Width() - 20, cbProfileNew->Height());
    cbProfileNew->Invalidate();
}

// ---- other handlers -----------------------------------------------------------------------------------

void TFormMain::tbAudioVolumeChange(rtl::TObject*) {
    const int percent = int(std::lround(tbAudioVolume->Position()));
    if (!bUpdatingControls) EncoderPanel.tbAudioVolume.SetPosition(percent);
    lblAudioVolumeInfo->SetCaption(QString::number(percent / 100.0, 'f', 2) + u'x');
    lblAudioVolumeInfo->Repaint();
}

void TFormMain::btnBitrateInfoClick(rtl::TObject*) {
    const String file = engine::AppParams.AudioBitratesFile;
    if (!file.isEmpty() && rtl::FileExists(file)) engine::ShellOpen(file, Handle());
}

void TFormMain::btnTagFileNameClick(rtl::TObject*) {
    edTagTitle->SetText(QStringLiteral("<FILE_NAME>"));
    TagPanel.edTagTitle = edTagTitle->Text();
}

void TFormMain::cbOutDirChange(rtl::TObject* Sender) {
    PanelControlChange(Sender);
    UpdateOutputPanelRightCaption();
}

void TFormMain::actBrowseOutDirExecute(rtl::TObject*) {
    const String text = cbOutDir->Text();
    const String start = rtl::DirectoryExists(text) ? text : engine::GetProgramDir();
    String folder;
    if (!PickOutDir || !PickOutDir(start, folder)) return;
    cbOutDir->SetText(folder);
    EncoderPanel.cbOutDir.SetText(folder);
    InitControls();
}

void TFormMain::actExploreOutDirExecute(rtl::TObject*) {
    const String text = cbOutDir->Text();
    engine::ShellOpen(rtl::DirectoryExists(text) ? text : engine::GetProgramDir(), Handle());
}

// ---- the profile combo --------------------------------------------------------------------------------

void TFormMain::GetProfiles() {
    const engine::TAppParams& p = engine::AppParams;
    Profiles = engine::GetProfiles(p.ProfilesDir, p.LastProfileFile, EncoderPanel.Texts);
    const bool was = bUpdatingControls;
    bUpdatingControls = true;
    SetItems(cbProfileNew, Profiles.Items);
    cbProfileNew->SetItemIndex(Profiles.ItemIndex);
    SetProfileComboColor();
    cbProfileNew->Invalidate();
    bUpdatingControls = was;
}

void TFormMain::SaveProfileAs(const String& FileName) {
    const engine::TAppParams& p = engine::AppParams;
    engine::SaveProfile(EncoderPanel, FileName, QStringLiteral("user"), QString::number(int(Profiles.List.size()) - 1000));
    const String folder = rtl::ExcludeTrailingPathDelimiter(rtl::ExtractFileDir(FileName));
    if (folder.toUpper() != rtl::ExcludeTrailingPathDelimiter(p.ProfilesDir).toUpper()) return;
    GetProfiles();
    const bool was = bUpdatingControls;
    bUpdatingControls = true;
    Profiles.ItemIndex = engine::FindProfileItem(Profiles, rtl::ExtractFileName(FileName));
    cbProfileNew->SetItemIndex(Profiles.ItemIndex);
    bUpdatingControls = was;
}

void TFormMain::ApplySavedPanels() {
    controls::TKWRgFlipPanel* panels[] = {fpOutput, fpProfile, fpAudio, fpAdditional, fpTag};
    const bool was = bUpdatingControls;
    bUpdatingControls = true;
    bool expanded[5];
    std::copy(std::begin(PanelExpanded), std::end(PanelExpanded), expanded);
    for (int i = 0; i < 5; ++i) panels[i]->SetExpanded(expanded[i]);
    if (AfterConversion >= 0 && AfterConversion < cbAfterConversion->Items()->Count())
        cbAfterConversion->SetItemIndex(AfterConversion);
    bUpdatingControls = was;
    // The saved fold: the column starts unfolded, so the action folds it.
    if (bRightPanelCollapsed) {
        bRightPanelCollapsed = false;
        actShowHideSettingsPanel->Execute();
    }
}

void TFormMain::actLoadSelectedProfileExecute(rtl::TObject*) {
    String file;
    switch (engine::ProfileForItem(Profiles, cbProfileNew->ItemIndex(), engine::AppParams.ProfilesDir, file)) {
    case engine::pcNothing:
        return;
    case engine::pcLastSession:
        engine::LoadProfile(EncoderPanel, engine::AppParams.LastProfileFile);
        break;
    case engine::pcDefaults:
        actSetDefaultEncoderSettings->Execute();
        return;
    case engine::pcFile:
        engine::LoadProfile(EncoderPanel, file);
        break;
    }
    InitControls();
}

void TFormMain::cbProfileNewChange(rtl::TObject*) {
    if (bUpdatingControls) return;
    Profiles.ItemIndex = cbProfileNew->ItemIndex();
    try {
        actLoadSelectedProfileExecute(nullptr);
    } catch (const std::exception&) {
        // an unreadable profile changes nothing
    }
    SetProfileComboColor();
    tbAudioVolume->Repaint();
}

void TFormMain::cbProfileNewDrawItem(rtl::TObject*, vcl::TCanvas* C, vcl::TRect& R, int Index, vcl::TOwnerDrawState State,
                                     skins::TSkPaintStage PaintStage, bool& PaintDefault) {
    if (PaintStage != skins::pstPrePaint) return;
    PaintDefault = false;
    const engine::TAppParams& p = engine::AppParams;
    const bool listOpen = !State.Contains(vcl::odComboBoxEdit);
    const String text = Index >= 0 && Index < Profiles.Items.size() ? Profiles.Items[Index] : String();
    const engine::TProfileItemLook look =
        engine::GetProfileItemLook(Profiles, Index, text, State.Contains(vcl::odSelected), listOpen, p.StyleName,
                                   p.DarkStyle, EncoderPanel.Texts);
    // The vertical gradient, one line at a time.
    const int h = std::max(1, R.Height());
    for (int y = 0; y < h; ++y) {
        auto mix = [&](int Shift) {
            const int a = (look.GradientFrom >> Shift) & 0xFF, b = (look.GradientTo >> Shift) & 0xFF;
            return (a + (b - a) * y / h) << Shift;
        };
        C->Brush()->SetColor(vcl::TColor(mix(0) | mix(8) | mix(16)));
        C->FillRect(vcl::TRect(R.Left, R.Top + y, R.Right, R.Top + y + 1));
    }
    C->Font()->SetStyle(look.Bold ? vcl::TFontStyles{vcl::fsBold} : vcl::TFontStyles{});
    C->Font()->SetColor(look.TextColor);
    C->Brush()->SetStyle(vcl::bsClear);
    vcl::TRect tr(R.Left + look.TextLeft, R.Top + look.TextTop, R.Right - 2, R.Bottom - 1);
    const UINT flags = DT_EXPANDTABS | DT_NOCLIP | DT_LEFT | (look.WordWrap ? DT_WORDBREAK : (DT_SINGLELINE | DT_VCENTER));
    if (!look.WordWrap) tr.Top = R.Top;
    const std::u16string text16 = look.Text.toStdU16String();
    RECT rc{tr.Left, tr.Top, tr.Right, tr.Bottom};
    DrawTextW(C->Handle(), reinterpret_cast<const WCHAR*>(text16.c_str()), int(text16.size()), &rc, flags);
    if (listOpen) {
        C->Pen()->SetColor(look.LineColor);
        C->MoveTo(R.Left, R.Bottom - 1);
        C->LineTo(R.Right, R.Bottom - 1);
    } else if (cbProfileNew->Color() != look.Background) {
        cbProfileNew->SetColor(look.Background);
    }
}

// The closed box's colour before it paints: a colour first set while the box paints repaints it
// without the text just drawn.
void TFormMain::SetProfileComboColor() {
    const engine::TAppParams& p = engine::AppParams;
    const int i = cbProfileNew->ItemIndex();
    const String text = i >= 0 && i < Profiles.Items.size() ? Profiles.Items[i] : String();
    cbProfileNew->SetColor(
        engine::GetProfileItemLook(Profiles, i, text, false, false, p.StyleName, p.DarkStyle, EncoderPanel.Texts).Background);
}

} // namespace shell
