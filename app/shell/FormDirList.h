// app/shell/FormDirList.h: the output-folder list editor: a grid of folders, each with an active flag,
// edited in place, filled by drops and the folder browser, and kept as ".dirlist" files.
#pragma once
#include <functional>

#include "app/engine/Types.h"
#include "base/DropFiles.h"
#include "base/ShellFolders.h"
#include "components/KwpPanel.h"
#include "components/KwpPngButton.h"
#include "components/PngImageList.h"
#include "grid/GridReport.h"
#include "skins/SkBars.h"
#include "skins/SkPopup.h"
#include "vcl/ActnList.h"
#include "vcl/Dialogs.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"

namespace shell {

using rtl::String;
class TAppStrings;

class TFormListFileEdit : public vcl::TForm {
public:
    explicit TFormListFileEdit(rtl::TComponent* AOwner);
    ~TFormListFileEdit() override;

    enum TCol { colNo, colActive, colItemValue };

    // The grid becomes the items, in order; a current value (a folder) missing from them, compared with
    // a trailing delimiter and letter case counting, is added as one more active row.
    void LoadGridData(const engine::TListFileArray& Items, const String& CurrentValue);
    // Items becomes the grid's rows with a value, in row order.
    void SaveGridData(engine::TListFileArray& Items);
    // Adds the folder unless a row names it already (letter case and one trailing "." and delimiter
    // aside); true when a row was added.
    bool AddDirectoryToList(const String& Folder);
    void InitControls();
    void SetLang();
    void SetStyleColors(const String& StyleName);

    grid::TReportGrid* ng;
    components::TKwpPanel* pnBottom;
    vcl::TLabel* lblDragInfo;
    components::TKwpPngButton *btnOk, *btnCancel;
    vcl::TActionList* Actions;
    // The toolbar above the grid and the grid's popup: the seven list actions, with their pictures.
    skins::TSkDock* dockList;
    skins::TSkToolbar* tbList;
    skins::TSkPopupMenu* popNg;
    components::TPngImageList* pilList;
    vcl::TAction *actAddNewRow, *actAddNewFolder, *actRemoveSelected, *actLoadList, *actSaveList, *actSelectAll,
        *actUnselectAll, *actOk, *actCancel, *actEsc;
    vcl::TOpenDialog* dlgOpenListFile;
    vcl::TSaveDialog* dlgSaveListFile;
    base::TKwBrowseDialog* dlgFolder;
    base::TKwFormDropFiles* dropFolder;

    engine::TAppParams* Params = &engine::AppParams;
    // The main window's template button, whose look the buttons copy under the system style.
    components::TKwpPngButton* TemplateButton = nullptr;
    // The main window's output-folder text and its folder browser's last folder: the browser's start.
    String OwnerOutputDir, OwnerBrowseDir;

    void actAddNewRowExecute(rtl::TObject* Sender);
    void actAddNewFolderExecute(rtl::TObject* Sender);
    void actRemoveSelectedExecute(rtl::TObject* Sender);
    void actLoadListExecute(rtl::TObject* Sender);
    void actSaveListExecute(rtl::TObject* Sender);
    void actSelectAllExecute(rtl::TObject* Sender);
    void actUnselectAllExecute(rtl::TObject* Sender);
    // The dropped items as the drop target hands them over: the first counts, and only a folder.
    void DropItems(const QStringList& Items);

private:
    void FormCreate(rtl::TObject* Sender);
    void actOkExecute(rtl::TObject* Sender);
    void actCancelExecute(rtl::TObject* Sender);
    void dropFolderDropFiles(rtl::TObject* Sender);
    void ngAfterEdit(rtl::TObject* Sender, int ACol, int ARow, const String& Value);
    void ngClick(rtl::TObject* Sender);
    void ngKeyUp(rtl::TObject* Sender, WORD& Key, vcl::TShiftState Shift);
    void BuildBars();
    void ApplyPendingEdit();
    int AddItemRow(bool Active, const String& Value);

    bool FUpdatingControls = false;
};

extern TFormListFileEdit* FormListFileEdit;

// The main window's "edit the output-folder list": the editor shows List and CurrentText modally; only
// with OK does List take the edited rows, without duplicate folders. True after OK.
bool EditOutputDirList(TFormListFileEdit& Editor, engine::TListFileArray& List, const String& CurrentText);

} // namespace shell
