#include "app/shell/FormOptions.h"

#include "app/engine/ProcsControls.h"
#include "app/engine/StyleColors.h"
#include "app/shell/AppStrings.h"
#include "app/shell/ButtonStyles.h"
#include "app/shell/FormMain.h"
#include "app/shell/FormMainLang.h"
#include "app/shell/LangIniList.h"
#include "app/shell/MainStyle.h"
#include "app/shell/VisualStyles.h"
#include "base/Shortcuts.h"
#include "rtl/Files.h"

namespace shell {

TFormOptions* FormOptions = nullptr;

namespace {

constexpr int DesignClientWidth = 440, DesignClientHeight = 470;

// The grid option each check box stands for (column moving is the inverted "disable column moving").
grid::TGridOption GridOptionOf(const TFormOptions& F, rtl::TObject* Box) {
    if (Box == F.chFileListAllowRowMoving) return grid::goRowMoving;
    if (Box == F.chFileListAllowColumnMoving) return grid::goDisableColumnMoving;
    if (Box == F.chFileListGridLines) return grid::goGrid;
    if (Box == F.chFileListFooter) return grid::goFooter;
    return grid::goIndicator;
}

} // namespace

TFormOptions::TFormOptions(rtl::TComponent* AOwner) : vcl::TForm(AOwner) {
    SetBorderStyle(vcl::bsDialog);
    SetFormStyle(vcl::fsStayOnTop);
    SetPosition(vcl::poOwnerFormCenter);
    SetClientWidth(DesignClientWidth);
    SetClientHeight(DesignClientHeight);
    SetCaption(QStringLiteral("Options"));

    auto label = [this](vcl::TWinControl* Parent, int Left, int Top, int Width) {
        auto* l = new vcl::TLabel(this);
        l->SetParent(Parent);
        l->SetBounds(Left, Top, Width, 16);
        return l;
    };
    auto combo = [this](vcl::TWinControl* Parent, int Left, int Top, int Width) {
        auto* c = new vcl::TComboBox(this);
        c->SetParent(Parent);
        c->SetStyle(vcl::csDropDownList);
        c->SetBounds(Left, Top, Width, 24);
        return c;
    };
    gbLanguage = new vcl::TGroupBox(this);
    gbLanguage->SetParent(this);
    gbLanguage->SetBounds(10, 8, 205, 56);
    cbLanguage = combo(gbLanguage, 10, 22, 185);
    cbLanguage->Items()->Add(QStringLiteral("English"));
    cbLanguage->SetItemIndex(0);
    lblVisualStyle = label(this, 228, 12, 200);
    cbVisualStyles = combo(this, 228, 32, 200);
    cbVisualStyles->SetDropDownCount(24);

    pnFileList = new controls::TRgHeaderPanel(this);
    pnFileList->SetParent(this);
    pnFileList->SetBounds(10, 76, 420, 300);
    lblFileListFontName = label(pnFileList, 12, 34, 200);
    cbFileListFont = new controls::TRgFontComboBox6(this);
    cbFileListFont->SetParent(pnFileList);
    cbFileListFont->SetBounds(12, 52, 220, 24);
    lblFileListFontSize = label(pnFileList, 248, 34, 80);
    lblFileListRowHeight = label(pnFileList, 332, 34, 80);
    auto spin = [this](int Left, int Min, int Max, vcl::TEdit*& Edit, vcl::TUpDown*& UpDown) {
        Edit = new vcl::TEdit(this);
        Edit->SetParent(pnFileList);
        Edit->SetBounds(Left, 52, 48, 24);
        UpDown = new vcl::TUpDown(this);
        UpDown->SetParent(pnFileList);
        UpDown->SetMin(Min);
        UpDown->SetMax(Max);
        UpDown->SetAssociate(Edit);
    };
    spin(248, 6, 20, edFileListFontSize, udFileListFontSize);
    spin(332, 12, 50, edFileListRowHeight, udFileListRowHeight);
    int top = 88;
    for (vcl::TCheckBox** box : {&chFileListAllowRowMoving, &chFileListAllowColumnMoving, &chFileListGridLines,
                                 &chFileListFooter, &chFileListRowIndicator, &chFileListIconClickOpen}) {
        *box = new vcl::TCheckBox(this);
        (*box)->SetParent(pnFileList);
        (*box)->SetBounds(12, top, 396, 20);
        top += 24;
    }
    lblFileListAnalysis = label(pnFileList, 12, top + 8, 200);
    cbFileListFileAnalysis = combo(pnFileList, 12, top + 26, 160);
    for (const char* item : {"Full", "Quick", "None"}) cbFileListFileAnalysis->Items()->Add(QString::fromLatin1(item));
    chSplitChapters = new vcl::TCheckBox(this);
    chSplitChapters->SetParent(this);
    chSplitChapters->SetBounds(20, 384, 400, 20);

    pnBottom = new components::TKwpPanel(this);
    pnBottom->SetParent(this);
    pnBottom->SetAlign(vcl::alBottom);
    pnBottom->SetHeight(44);
    btnCreateShortcutOnDesktop = new components::TKwpPngButton(this);
    btnCreateShortcutOnDesktop->SetParent(pnBottom);
    btnCreateShortcutOnDesktop->SetBounds(10, 9, 220, 26);
    btnOK = new components::TKwpPngButton(this);
    btnOK->SetParent(pnBottom);
    btnOK->SetBounds(DesignClientWidth - 120, 9, 110, 26);

    Actions = new vcl::TActionList(this);
    for (vcl::TAction** a : {&actEsc, &actClose}) {
        *a = new vcl::TAction(this);
        (*a)->SetActionList(Actions);
        (*a)->SetOnExecute(rtl::TNotifyEvent(this, &TFormOptions::actCloseExecute));
    }
    actEsc->SetShortCut(VK_ESCAPE);

    cbLanguage->OnChange = rtl::TNotifyEvent(this, &TFormOptions::cbLanguageChange);
    cbVisualStyles->OnChange = rtl::TNotifyEvent(this, &TFormOptions::cbVisualStylesChange);
    cbFileListFont->OnSelect = rtl::TNotifyEvent(this, &TFormOptions::cbFileListFontSelect);
    udFileListFontSize->OnClick = vcl::TUDClickEvent(this, &TFormOptions::udFileListFontSizeClick);
    udFileListRowHeight->OnClick = vcl::TUDClickEvent(this, &TFormOptions::udFileListRowHeightClick);
    for (vcl::TCheckBox* box : {chFileListAllowRowMoving, chFileListAllowColumnMoving, chFileListGridLines,
                                chFileListFooter, chFileListRowIndicator})
        box->OnClick = rtl::TNotifyEvent(this, &TFormOptions::chGridOptionClick);
    chFileListIconClickOpen->OnClick = rtl::TNotifyEvent(this, &TFormOptions::chFileListIconClickOpenClick);
    chSplitChapters->OnClick = rtl::TNotifyEvent(this, &TFormOptions::chSplitChaptersClick);
    cbFileListFileAnalysis->OnChange = rtl::TNotifyEvent(this, &TFormOptions::cbFileListFileAnalysisChange);
    btnCreateShortcutOnDesktop->OnClick = rtl::TNotifyEvent(this, &TFormOptions::btnCreateShortcutOnDesktopClick);
    btnOK->OnClick = rtl::TNotifyEvent(this, &TFormOptions::actCloseExecute);
    OnCreate = rtl::TNotifyEvent(this, &TFormOptions::FormCreate);
    OnActivate = rtl::TNotifyEvent(this, &TFormOptions::FormActivate);
}

TFormOptions::~TFormOptions() {
    OnCreate = nullptr;
    OnActivate = nullptr;
    if (FormOptions == this) FormOptions = nullptr;
    if (FormMain && FormMain->OptionsForm == this) FormMain->OptionsForm = nullptr;
}

grid::TReportGrid* TFormOptions::Grid() const { return FormMain ? FormMain->ng : nullptr; }

void TFormOptions::FormCreate(rtl::TObject*) {
    FormOptions = this;
    if (FormMain) FormMain->OptionsForm = this;
    SetLang();
    Constraints()->SetMaxWidth(Width());
    Constraints()->SetMaxHeight(Height());
    if (FormMain && FormMain->actShowOptions) actClose->SetShortCut(FormMain->actShowOptions->ShortCut());
    InitCbLanguage();
    InitCbVisualStyles();
    InitControls();
    engine::TStyleColorScheme& windows = engine::StyleColorSchemes[engine::WindowsSchemeIndex];
    windows.HeaderPanelColor = pnFileList->Color();
    windows.HeaderPanelHeaderColor = pnFileList->HeaderColor();
    windows.HeaderPanelBorderColor = pnFileList->BorderColor();
    SetStyleColors(engine::AppParams.StyleName);
}

void TFormOptions::FormActivate(rtl::TObject*) { InitControls(); }

void TFormOptions::actCloseExecute(rtl::TObject*) { Close(); }

void TFormOptions::InitControls() {
    const engine::TAppParams& p = engine::AppParams;
    bUpdatingControls = true;
    if (grid::TReportGrid* ng = Grid()) {
        cbFileListFont->SetText(ng->Font()->Name());
        udFileListFontSize->SetPosition(ng->Font()->Size());
        udFileListRowHeight->SetPosition(ng->RowSize());
        const grid::TGridOptions o = ng->Options();
        chFileListAllowRowMoving->SetChecked(o.Contains(grid::goRowMoving));
        chFileListAllowColumnMoving->SetChecked(!o.Contains(grid::goDisableColumnMoving));
        chFileListGridLines->SetChecked(o.Contains(grid::goGrid));
        chFileListFooter->SetChecked(o.Contains(grid::goFooter));
        chFileListRowIndicator->SetChecked(o.Contains(grid::goIndicator));
    }
    chFileListIconClickOpen->SetChecked(p.OpenFileAfterIconClick);
    cbFileListFileAnalysis->SetItemIndex(p.FileAnalysis == engine::faFull    ? 0
                                         : p.FileAnalysis == engine::faQuick ? 1
                                                                             : 2);
    chSplitChapters->SetChecked(p.SplitChapters);
    bUpdatingControls = false;
}

void TFormOptions::InitCbLanguage() {
    const engine::TAppParams& p = engine::AppParams;
    if (!rtl::DirectoryExists(p.LangDir) || !LangIniList) return;
    bUpdatingControls = true;
    cbLanguage->Items()->Clear();
    int selected = -1;
    const String current = rtl::ExtractFileName(p.LanguageIni.trimmed());
    for (int i = 0; i < LangIniList->Count(); ++i) {
        const TLangIniListItem* item = LangIniList->GetItem(i);
        cbLanguage->Items()->Add(item->LangName_Native);
        if (selected < 0 && rtl::ExtractFileName(item->FileName).trimmed().compare(current, Qt::CaseInsensitive) == 0)
            selected = i;
    }
    cbLanguage->SetItemIndex(LangIniList->Count() > 0 ? std::max(selected, 0) : -1);
    bUpdatingControls = false;
}

void TFormOptions::InitCbVisualStyles() {
    if (!VisualStyles || !rtl::DirectoryExists(engine::AppParams.StylesDir)) return;
    bUpdatingControls = true;
    cbVisualStyles->Items()->Clear();
    int selected = -1;
    for (int i = 0; i < VisualStyles->Count(); ++i) {
        const String& name = VisualStyles->Item(i).Name;
        cbVisualStyles->Items()->Add(name);
        if (selected < 0 && name.compare(VisualStyles->ActiveStyle().Name, Qt::CaseInsensitive) == 0) selected = i;
    }
    cbVisualStyles->SetItemIndex(selected);
    bUpdatingControls = false;
}

void TFormOptions::cbLanguageChange(rtl::TObject*) {
    if (bUpdatingControls) return;
    SwitchLanguage(cbLanguage->Text(), [this] { SetLang(); });
}

void TFormOptions::cbVisualStylesChange(rtl::TObject*) {
    if (bUpdatingControls || cbVisualStyles->ItemIndex() < 0) return;
    ChangeVisualStyle(cbVisualStyles->Items()->Strings(cbVisualStyles->ItemIndex()));
}

void TFormOptions::cbFileListFontSelect(rtl::TObject*) {
    grid::TReportGrid* ng = Grid();
    if (bUpdatingControls || !ng) return;
    const String name = cbFileListFont->Text();
    ng->Font()->SetName(name);
    for (int c = 0; c < ng->Columns()->Count(); ++c) ng->Columns()->Item(c)->Font()->SetName(name);
}

void TFormOptions::udFileListFontSizeClick(rtl::TObject*, vcl::TUDBtnType) {
    if (bUpdatingControls || !FormMain) return;
    FormMain->SetGridFont(FormMain->ng->Font()->Name(), udFileListFontSize->Position());
}

void TFormOptions::udFileListRowHeightClick(rtl::TObject*, vcl::TUDBtnType) {
    grid::TReportGrid* ng = Grid();
    if (bUpdatingControls || !ng) return;
    const int height = udFileListRowHeight->Position();
    ng->BeginUpdate();
    ng->SetRowSize(height);
    for (int r = 0; r < ng->RowCount(); ++r) ng->SetRowHeight(r, height);
    ng->EndUpdate();
}

void TFormOptions::chGridOptionClick(rtl::TObject* Sender) {
    grid::TReportGrid* ng = Grid();
    if (bUpdatingControls || !ng) return;
    const grid::TGridOption option = GridOptionOf(*this, Sender);
    bool add = static_cast<vcl::TCheckBox*>(Sender)->Checked();
    if (option == grid::goDisableColumnMoving) add = !add;
    grid::TGridOptions o = ng->Options();
    if (add) o += grid::TGridOptions{option};
    else o -= grid::TGridOptions{option};
    ng->SetOptions(o);
}

void TFormOptions::chFileListIconClickOpenClick(rtl::TObject*) {
    if (!bUpdatingControls) engine::AppParams.OpenFileAfterIconClick = chFileListIconClickOpen->Checked();
}

void TFormOptions::chSplitChaptersClick(rtl::TObject*) {
    if (!bUpdatingControls) engine::AppParams.SplitChapters = chSplitChapters->Checked();
}

void TFormOptions::cbFileListFileAnalysisChange(rtl::TObject*) {
    if (bUpdatingControls) return;
    static const engine::TFileAnalysis byItem[] = {engine::faFull, engine::faQuick, engine::faNone};
    const int i = cbFileListFileAnalysis->ItemIndex();
    if (i >= 0 && i < 3) engine::AppParams.FileAnalysis = byItem[i];
}

void TFormOptions::btnCreateShortcutOnDesktopClick(rtl::TObject*) {
    const String link = ShortcutFileName.isEmpty() ? QStringLiteral("Tunewright.lnk") : ShortcutFileName;
    if (base::ShortcutExists(QStringLiteral("Desktop"), link)) return;
    base::CreateShortcut(rtl::ParamStr(0), QStringLiteral("Desktop"), link, QStringLiteral("Tunewright 1.5  [64-bit]"));
}

void TFormOptions::SetLang() {
    const TAppStrings fallback;
    const TAppStrings& all = AppStrings ? *AppStrings : fallback;
    const TOptionsModuleStrings& S = all.Options;
    SetCaption(S.Caption);
    engine::SetControlCaption(btnOK, all.Main.Close);
    engine::SetControlCaption(gbLanguage, S.gbLanguage);
    pnFileList->SetCaption(S.pnFileList);
    const std::pair<vcl::TLabel*, const String*> labels[] = {{lblFileListFontName, &S.lblFileListFontName},
                                                            {lblFileListFontSize, &S.lblFileListFontSize},
                                                            {lblFileListRowHeight, &S.lblFileListRowHeight},
                                                            {lblVisualStyle, &S.lblVisualStyle},
                                                            {lblFileListAnalysis, &S.lblFileAnalysis}};
    for (const auto& [l, text] : labels) engine::SetControlCaption(l, *text);
    const std::pair<vcl::TCheckBox*, const String*> boxes[] = {
        {chFileListAllowRowMoving, &S.chFileListAllowRowMoving}, {chFileListAllowColumnMoving, &S.chFileListAllowColumnMoving},
        {chFileListGridLines, &S.chFileListGridLines},           {chFileListFooter, &S.chFileListFooter},
        {chFileListRowIndicator, &S.chFileListRowIndicator},     {chFileListIconClickOpen, &S.chFileListIconClickOpen},
        {chSplitChapters, &S.chSplitChapters}};
    for (const auto& [b, text] : boxes) engine::SetControlCaption(b, *text);
    engine::SetControlCaption(btnCreateShortcutOnDesktop, S.btnCreateShortcutOnDesktop);
    const int selected = cbFileListFileAnalysis->ItemIndex();
    const bool updating = bUpdatingControls;
    bUpdatingControls = true;
    cbFileListFileAnalysis->Items()->Clear();
    for (const String* item : {&S.FileAnalysis_Full, &S.FileAnalysis_Quick, &S.FileAnalysis_None})
        cbFileListFileAnalysis->Items()->Add(*item);
    cbFileListFileAnalysis->SetItemIndex(selected);
    bUpdatingControls = updating;
}

void TFormOptions::SetStyleColors(const String& StyleName) {
    SetHeaderPanelStyleColors(pnFileList, engine::GetStyleColors(StyleName));
    SetButtonsStyle(StyleName);
}

void TFormOptions::SetButtonsStyle(const String& StyleName) {
    shell::SetButtonsStyle({btnCreateShortcutOnDesktop, btnOK}, StyleName, FormMain ? FormMain->btnT : nullptr);
}

} // namespace shell
