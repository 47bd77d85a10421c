#include "app/shell/FormDirList.h"

#include "app/engine/Procs.h"
#include "app/engine/ProcsControls.h"
#include "app/engine/StyleColors.h"
#include "app/shell/AppStrings.h"
#include "app/shell/ButtonStyles.h"
#include "app/shell/FormMain.h"
#include "app/shell/FormMainLang.h"
#include "app/shell/GridFont.h"
#include "app/shell/VisualStyles.h"
#include "grid/ColumnClasses.h"
#include "rtl/Files.h"

namespace shell {

TFormListFileEdit* FormListFileEdit = nullptr;

namespace {

constexpr int DesignClientWidth = 620, DesignClientHeight = 380, StripHeight = 42;

// A folder as the duplicate test compares it: one trailing "." and then one delimiter dropped.
String StrippedFolder(const String& Folder) {
    String f = Folder;
    if (f.endsWith(u'.')) f.chop(1);
    return rtl::ExcludeTrailingPathDelimiter(f);
}

// The list actions' pictures, in the actions' order, by file name under data/icons.
const char16_t* const ListPictureFiles[] = {u"list-add",      u"folder-new",      u"list-remove",   u"document-open",
                                            u"document-save", u"edit-select-all", u"edit-clear"};

} // namespace

TFormListFileEdit::TFormListFileEdit(rtl::TComponent* AOwner) : vcl::TForm(AOwner) {
    SetBorderStyle(vcl::bsSizeable);
    SetBorderIcons({vcl::biSystemMenu});
    SetPosition(vcl::poOwnerFormCenter);
    SetClientWidth(DesignClientWidth);
    SetClientHeight(DesignClientHeight);
    SetCaption(QStringLiteral("Output directories"));

    pilList = new components::TPngImageList(this);
    pilList->SetSize(16, 16);
    dockList = new skins::TSkDock(this);
    dockList->SetAllowDrag(false);
    dockList->SetPosition(bars::dpTop);
    dockList->SetParent(this);
    pnBottom = new components::TKwpPanel(this);
    pnBottom->SetParent(this);
    pnBottom->SetAlign(vcl::alBottom);
    pnBottom->SetHeight(StripHeight);
    lblDragInfo = new vcl::TLabel(this);
    lblDragInfo->SetParent(pnBottom);
    lblDragInfo->SetBounds(10, 14, 360, 16);

    ng = new grid::TReportGrid(this);
    ng->SetParent(this);
    ng->SetAlign(vcl::alClient);
    ng->SetOptions({grid::goGrid, grid::goHeader, grid::goMultiSelect, grid::goSelectFullRow, grid::goRowMoving,
                    grid::goSecondClickEdit, grid::goDisableColumnMoving});
    auto* no = new grid::TRgNumberColumn(this);
    no->SetDefaultValue(QStringLiteral("0"));
    no->SetPrecision(0);
    no->SetWidth(44);
    no->SetOptions(no->Options() + grid::TColumnOptions{grid::coFixedSize});
    no->Header()->SetCaption(QStringLiteral("No"));
    auto* active = new grid::TRgCheckBoxColumn(this);
    active->SetWidth(26);
    auto* value = new grid::TRgTextColumn(this);
    value->SetWidth(500);
    value->SetOptions(value->Options() + grid::TColumnOptions{grid::coEditing});
    value->Header()->SetCaption(QStringLiteral("Value"));
    for (grid::TRgCustomColumn* c : {static_cast<grid::TRgCustomColumn*>(no), static_cast<grid::TRgCustomColumn*>(active),
                                     static_cast<grid::TRgCustomColumn*>(value)})
        ng->Columns()->AddColumn(c);

    Actions = new vcl::TActionList(this);
    auto action = [this](const char16_t* Caption, void (TFormListFileEdit::*Handler)(rtl::TObject*)) {
        auto* a = new vcl::TAction(this);
        a->SetActionList(Actions);
        a->SetCaption(String::fromUtf16(Caption));
        a->SetOnExecute(rtl::TNotifyEvent(this, Handler));
        return a;
    };
    actAddNewRow = action(u"Add new row", &TFormListFileEdit::actAddNewRowExecute);
    actAddNewFolder = action(u"Add new folder...", &TFormListFileEdit::actAddNewFolderExecute);
    actRemoveSelected = action(u"Remove selected", &TFormListFileEdit::actRemoveSelectedExecute);
    actLoadList = action(u"Load list...", &TFormListFileEdit::actLoadListExecute);
    actSaveList = action(u"Save list...", &TFormListFileEdit::actSaveListExecute);
    actSelectAll = action(u"Select all", &TFormListFileEdit::actSelectAllExecute);
    actUnselectAll = action(u"Unselect all", &TFormListFileEdit::actUnselectAllExecute);
    actOk = action(u"OK", &TFormListFileEdit::actOkExecute);
    actCancel = action(u"Cancel", &TFormListFileEdit::actCancelExecute);
    actEsc = action(u"actEsc", &TFormListFileEdit::actCancelExecute);
    actEsc->SetShortCut(VK_ESCAPE);

    BuildBars();

    btnOk = new components::TKwpPngButton(this);
    btnCancel = new components::TKwpPngButton(this);
    int left = DesignClientWidth - 2 * 110 - 16;
    for (auto [b, a] : {std::pair{btnOk, actOk}, std::pair{btnCancel, actCancel}}) {
        b->SetParent(pnBottom);
        b->SetBounds(left, 8, 104, 26);
        b->SetAnchors({vcl::akRight, vcl::akTop});
        b->SetAction(a);
        left += 110;
    }
    btnOk->SetModalResult(vcl::mrOk);
    btnCancel->SetModalResult(vcl::mrCancel);

    dlgOpenListFile = new vcl::TOpenDialog(this);
    dlgSaveListFile = new vcl::TSaveDialog(this);
    for (vcl::TOpenDialog* d : {static_cast<vcl::TOpenDialog*>(dlgOpenListFile), static_cast<vcl::TOpenDialog*>(dlgSaveListFile)}) {
        d->SetDefaultExt(QStringLiteral("dirlist"));
        d->SetFilter(QStringLiteral("DIRLIST files|*.dirlist"));
    }
    dlgSaveListFile->SetOptions(dlgSaveListFile->Options() + vcl::TOpenOptions{vcl::ofOverwritePrompt});
    dlgFolder = new base::TKwBrowseDialog(this);
    dlgFolder->SetOptions({base::boDirsOnly, base::boNewDlgStyle});
    dropFolder = new base::TKwFormDropFiles(this);
    dropFolder->OnDropFiles() = rtl::TNotifyEvent(this, &TFormListFileEdit::dropFolderDropFiles);

    ng->OnAfterEdit = grid::TGridValueEvent(this, &TFormListFileEdit::ngAfterEdit);
    ng->OnClick = rtl::TNotifyEvent(this, &TFormListFileEdit::ngClick);
    ng->OnKeyUp = vcl::TKeyEvent(this, &TFormListFileEdit::ngKeyUp);
    ng->OnSelectCell = [this](rtl::TObject*, int, int) { InitControls(); };
    OnCreate = rtl::TNotifyEvent(this, &TFormListFileEdit::FormCreate);
}

TFormListFileEdit::~TFormListFileEdit() {
    ng->OnAfterEdit = nullptr;
    ng->OnClick = nullptr;
    ng->OnKeyUp = nullptr;
    ng->OnSelectCell = nullptr;
    ng->SetPopupMenu(nullptr);
    OnCreate = nullptr;
    if (FormListFileEdit == this) {
        FormListFileEdit = nullptr;
        OutputDirListSetLang = nullptr;
    }
    if (FormMain && FormMain->OutputDirListForm == this) FormMain->OutputDirListForm = nullptr;
}

void TFormListFileEdit::FormCreate(rtl::TObject*) {
    FormListFileEdit = this;
    OutputDirListSetLang = [this] { SetLang(); };
    if (FormMain) {
        FormMain->OutputDirListForm = this;
        if (!TemplateButton) TemplateButton = FormMain->btnT;
        if (OwnerBrowseDir.isEmpty()) OwnerBrowseDir = FormMain->FolderDialogDir;
    }
    SetLang();
    SetGridFont(ng, Font()->Name(), Font()->Size());
    for (auto* b : {btnOk, btnCancel}) components::SetButtonFonts(b, Font()->Name(), Font()->Size());
    const vcl::TColor header = ng->Columns()->Item(colNo)->Header()->Color();
    for (int c = 0; c < ng->Columns()->Count(); ++c) ng->Columns()->Item(c)->Header()->SetColor(header);
    dlgOpenListFile->SetInitialDir(Params->DataDir);
    dlgSaveListFile->SetInitialDir(Params->DataDir);
    InitControls();
    SetStyleColors(Params->StyleName);
    const String out = OwnerOutputDir.trimmed();
    dlgFolder->SetFolderName(!out.isEmpty() && rtl::DirectoryExists(out) ? out : OwnerBrowseDir);
}

void TFormListFileEdit::BuildBars() {
    tbList = new skins::TSkToolbar(this);
    tbList->SetName(QStringLiteral("tbList"));
    tbList->SetParent(dockList);
    tbList->SetShrinkMode(bars::tbsmNone);
    popNg = new skins::TSkPopupMenu(this);
    popNg->SetName(QStringLiteral("popNg"));
    vcl::TAction* const list[] = {actAddNewRow, actAddNewFolder, actRemoveSelected, actLoadList,
                                  actSaveList,  actSelectAll,    actUnselectAll};
    for (bars::TBarCustomItem* root : {tbList->Items(), popNg->Items()}) {
        for (size_t i = 0; i < std::size(list); ++i) {
            if (i == 3 || i == 5) root->Add(new skins::TSkSeparatorItem(this));
            auto* item = new skins::TSkItem(this);
            item->SetAction(list[i]);
            root->Add(item);
        }
    }
    LoadBarPictures(pilList, ListPictureFiles, int(std::size(ListPictureFiles)));
    for (size_t i = 0; i < std::size(list); ++i) list[i]->SetImageIndex(int(i));
    Actions->SetImages(pilList);
    tbList->SetImages(pilList);
    popNg->SetImages(pilList);
    ng->SetPopupMenu(popNg);
}

int TFormListFileEdit::AddItemRow(bool Active, const String& Value) {
    const int row = ng->AddRow();
    ng->GetCell(colNo, row)->SetAsInteger(ng->RowCount());
    ng->GetCell(colActive, row)->SetAsBoolean(Active);
    ng->GetCell(colItemValue, row)->SetAsString(Value);
    return row;
}

void TFormListFileEdit::LoadGridData(const engine::TListFileArray& Items, const String& CurrentValue) {
    ng->BeginUpdate();
    ng->ClearRows();
    for (const engine::TListFileRec& item : Items) AddItemRow(item.Active, item.ItemValue);
    if (!CurrentValue.isEmpty()) {
        const String current = rtl::IncludeTrailingPathDelimiter(CurrentValue);
        bool found = false;
        for (int r = 0; r < ng->RowCount() && !found; ++r)
            found = rtl::IncludeTrailingPathDelimiter(ng->GetCell(colItemValue, r)->AsString()) == current;
        if (!found) AddItemRow(true, current);
    }
    ng->EndUpdate();
    InitControls();
}

void TFormListFileEdit::SaveGridData(engine::TListFileArray& Items) {
    Items.clear();
    for (int r = 0; r < ng->RowCount(); ++r) {
        const String value = ng->GetCell(colItemValue, r)->AsString();
        if (!value.isEmpty()) Items.push_back({ng->GetCell(colActive, r)->AsBoolean(), value});
    }
}

bool TFormListFileEdit::AddDirectoryToList(const String& Folder) {
    const String folder = StrippedFolder(Folder);
    const String key = folder.toUpper();
    for (int r = 0; r < ng->RowCount(); ++r)
        if (StrippedFolder(ng->GetCell(colItemValue, r)->AsString()).toUpper() == key) return false;
    AddItemRow(true, folder);
    InitControls();
    return true;
}

void TFormListFileEdit::InitControls() {
    FUpdatingControls = true;
    const int rows = ng->RowCount();
    const int selected = rows > 0 ? ng->SelectedCount() : 0;
    actRemoveSelected->SetEnabled(selected > 0);
    actSelectAll->SetEnabled(selected < rows);
    actUnselectAll->SetEnabled(rows > 0 && selected > 0);
    FUpdatingControls = false;
}

void TFormListFileEdit::SetLang() {
    const TAppStrings fallback;
    const TDirectoryListModuleStrings& S = (AppStrings ? *AppStrings : fallback).DirectoryList;
    SetCaption(S.Caption);
    const TToolbarsCaptionUpdate update{tbList};
    const std::pair<vcl::TAction*, const String*> list[] = {
        {actAddNewRow, &S.actAddNewRow}, {actAddNewFolder, &S.actAddNewFolder}, {actRemoveSelected, &S.actRemoveSelected},
        {actLoadList, &S.actLoadList},   {actSaveList, &S.actSaveList},         {actSelectAll, &S.actSelectAll},
        {actUnselectAll, &S.actUnselectAll}};
    for (const auto& [a, text] : list) engine::SetControlCaption(a, *text, true);
    actOk->SetCaption(S.actOk);
    actCancel->SetCaption(S.actCancel);
    ng->Columns()->Item(colNo)->Header()->SetCaption(S.colNo);
    ng->Columns()->Item(colActive)->Header()->SetCaption(S.colActive);
    ng->Columns()->Item(colItemValue)->Header()->SetCaption(S.colDirectory);
    lblDragInfo->SetCaption(S.lblDragInfo);
}

void TFormListFileEdit::SetStyleColors(const String& StyleName) {
    const bool system = engine::IsSystemStyleName(StyleName);
    SetButtonsStyle({btnOk, btnCancel}, StyleName, TemplateButton);
    pnBottom->Appearance()->SetDrawBorder(system);
    SetGridStyleColors(ng, engine::GetStyleColors(StyleName));
    pnBottom->Invalidate();
}

void TFormListFileEdit::ApplyPendingEdit() {
    if (ng->Editing()) ng->ApplyEditing();
}

void TFormListFileEdit::actAddNewRowExecute(rtl::TObject*) {
    ApplyPendingEdit();
    const int row = ng->AddRow();
    ng->ScrollToRow(row);
    ng->GetCell(colActive, row)->SetAsBoolean(true);
    ng->EditCell(colItemValue, row, String());
    InitControls();
}

void TFormListFileEdit::actAddNewFolderExecute(rtl::TObject*) {
    if (dlgFolder->Execute()) AddDirectoryToList(dlgFolder->FolderName());
}

void TFormListFileEdit::DropItems(const QStringList& Items) {
    if (!Items.isEmpty() && rtl::DirectoryExists(Items.first())) AddDirectoryToList(Items.first());
}

void TFormListFileEdit::dropFolderDropFiles(rtl::TObject*) {
    QStringList items;
    for (int i = 0; i < dropFolder->Count(); ++i) items << dropFolder->Files(i);
    DropItems(items);
}

void TFormListFileEdit::actRemoveSelectedExecute(rtl::TObject*) {
    ApplyPendingEdit();
    ng->BeginUpdate();
    for (int r = ng->RowCount() - 1; r >= 0; --r)
        if (ng->Selected(r)) ng->DeleteRow(r);
    ng->EndUpdate();
    InitControls();
}

void TFormListFileEdit::actSelectAllExecute(rtl::TObject*) {
    ng->SelectAll();
    InitControls();
}

void TFormListFileEdit::actUnselectAllExecute(rtl::TObject*) {
    ng->BeginUpdate();
    for (int r = 0; r < ng->RowCount(); ++r) ng->SetSelectedFlag(r, false);
    ng->EndUpdate();
    InitControls();
}

void TFormListFileEdit::actLoadListExecute(rtl::TObject*) {
    if (!dlgOpenListFile->Execute()) return;
    engine::TListFileArray items;
    engine::LoadListFile(dlgOpenListFile->FileName(), items, true);
    LoadGridData(items, String());
}

void TFormListFileEdit::actSaveListExecute(rtl::TObject*) {
    if (!dlgSaveListFile->Execute()) return;
    engine::TListFileArray items;
    SaveGridData(items);
    engine::SaveListFile(dlgSaveListFile->FileName(), items, true, String(), true);
}

void TFormListFileEdit::actOkExecute(rtl::TObject*) {
    SetModalResult(vcl::mrOk);
}

void TFormListFileEdit::actCancelExecute(rtl::TObject*) {
    SetModalResult(vcl::mrCancel);
}

void TFormListFileEdit::ngAfterEdit(rtl::TObject*, int, int, const String&) { InitControls(); }
void TFormListFileEdit::ngClick(rtl::TObject*) { InitControls(); }
void TFormListFileEdit::ngKeyUp(rtl::TObject*, WORD&, vcl::TShiftState) { InitControls(); }

bool EditOutputDirList(TFormListFileEdit& Editor, engine::TListFileArray& List, const String& CurrentText) {
    Editor.LoadGridData(List, CurrentText);
    if (AppStrings) Editor.SetCaption(AppStrings->DirectoryList.Caption);
    Editor.SetLang();
    if (Editor.ShowModal() != vcl::mrOk) return false;
    Editor.SaveGridData(List);
    engine::RemoveDuplicateDirs(List, false);
    return true;
}

} // namespace shell
