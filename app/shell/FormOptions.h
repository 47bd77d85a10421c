// app/shell/FormOptions.h: the options window: language, visual style, the file list's font, row
// height and grid options, the analysis depth and chapter splitting, and the desktop shortcut. Every
// change takes effect at once; the window re-reads everything whenever it is activated.
#pragma once
#include "components/KwpPanel.h"
#include "components/KwpPngButton.h"
#include "controls/RgCollection.h"
#include "controls/RgComboBox6.h"
#include "vcl/ActnList.h"
#include "vcl/ComCtrls.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"

namespace grid {
class TReportGrid;
}

namespace shell {

using rtl::String;

class TFormOptions : public vcl::TForm {
public:
    explicit TFormOptions(rtl::TComponent* AOwner);
    ~TFormOptions() override;

    void InitControls();
    void InitCbLanguage();
    void InitCbVisualStyles();
    void SetLang();
    void SetStyleColors(const String& StyleName);
    void SetButtonsStyle(const String& StyleName);

    vcl::TGroupBox* gbLanguage;
    vcl::TComboBox* cbLanguage;
    vcl::TLabel* lblVisualStyle;
    vcl::TComboBox* cbVisualStyles;
    controls::TRgHeaderPanel* pnFileList;
    vcl::TLabel *lblFileListFontName, *lblFileListFontSize, *lblFileListRowHeight, *lblFileListAnalysis;
    controls::TRgFontComboBox6* cbFileListFont;
    vcl::TEdit *edFileListFontSize, *edFileListRowHeight;
    vcl::TUpDown *udFileListFontSize, *udFileListRowHeight;
    vcl::TCheckBox *chFileListAllowRowMoving, *chFileListAllowColumnMoving, *chFileListGridLines, *chFileListFooter,
        *chFileListRowIndicator, *chFileListIconClickOpen, *chSplitChapters;
    vcl::TComboBox* cbFileListFileAnalysis;
    components::TKwpPngButton* btnCreateShortcutOnDesktop;
    components::TKwpPanel* pnBottom;
    components::TKwpPngButton* btnOK;
    vcl::TActionList* Actions;
    vcl::TAction *actEsc, *actClose;

    // The change handlers (each does nothing while controls are filled by code).
    void cbLanguageChange(rtl::TObject* Sender);
    void cbVisualStylesChange(rtl::TObject* Sender);
    void cbFileListFontSelect(rtl::TObject* Sender);
    void udFileListFontSizeClick(rtl::TObject* Sender, vcl::TUDBtnType Button);
    void udFileListRowHeightClick(rtl::TObject* Sender, vcl::TUDBtnType Button);
    void chGridOptionClick(rtl::TObject* Sender);
    void chFileListIconClickOpenClick(rtl::TObject* Sender);
    void chSplitChaptersClick(rtl::TObject* Sender);
    void cbFileListFileAnalysisChange(rtl::TObject* Sender);
    void btnCreateShortcutOnDesktopClick(rtl::TObject* Sender);

private:
    void FormCreate(rtl::TObject* Sender);
    void FormActivate(rtl::TObject* Sender);
    void actCloseExecute(rtl::TObject* Sender);
    grid::TReportGrid* Grid() const;
};

extern TFormOptions* FormOptions;

} // namespace shell
