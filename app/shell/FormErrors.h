// app/shell/FormErrors.h: the error log window (the conversion errors since the last run started) and
// the tools information window (the report of the tools found). Each shows a text and closes with Esc.
#pragma once
#include "app/engine/Conversion.h"
#include "components/KwpPanel.h"
#include "components/KwpPngButton.h"
#include "vcl/ActnList.h"
#include "vcl/Dialogs.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"

namespace shell {

using rtl::String;
class TAppStrings;

class TFormErrors : public vcl::TForm {
public:
    explicit TFormErrors(rtl::TComponent* AOwner);

    // The memo shows the log's text; the window shows (modally when asked).
    void ShowErrorLog(const engine::TErrorLog& ALog, bool Modal);
    void SetLang(const TAppStrings& Strings);
    void SetStyleColors(const String& StyleName);

    vcl::TMemo* me;
    components::TKwpPanel* pnBottom;
    components::TKwpPngButton *btnClearLog, *btnSaveLog, *btnClose;
    vcl::TActionList* Actions;
    vcl::TAction *actClearLog, *actSaveLog, *actClose, *actEsc;
    vcl::TSaveDialog* dlgSaveLog;

    engine::TAppParams* Params = &engine::AppParams;
    // The main window's template button, whose look the buttons copy under the system style.
    components::TKwpPngButton* TemplateButton = nullptr;
    // The run's log, emptied by Clear (its entry counter goes on); none: only the memo empties.
    engine::TErrorLog* Log = nullptr;

    void actClearLogExecute(rtl::TObject* Sender);
    void actSaveLogExecute(rtl::TObject* Sender);

private:
    void FormCreate(rtl::TObject* Sender);
    void actCloseExecute(rtl::TObject* Sender);
};

class TFormToolsInfo : public vcl::TForm {
public:
    explicit TFormToolsInfo(rtl::TComponent* AOwner);

    void SetLang(const TAppStrings& Strings);
    void SetStyleColors(const String& StyleName);

    vcl::TMemo* me;
    components::TKwpPanel* pnBottom;
    components::TKwpPngButton* btnClose;
    vcl::TActionList* Actions;
    vcl::TAction *actClose, *actEsc, *actSelectAll;

    engine::TAppParams* Params = &engine::AppParams;
    components::TKwpPngButton* TemplateButton = nullptr;

private:
    void FormCreate(rtl::TObject* Sender);
    void actCloseExecute(rtl::TObject* Sender);
    void actSelectAllExecute(rtl::TObject* Sender);
};

} // namespace shell
