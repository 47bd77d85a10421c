// app/shell/FormCmdLine.h: the command-line window: the encoder, the parameters of the selected row and
// the output name, in a read-only memo. Created once, refilled each time the command-line action shows it.
#pragma once
#include "app/engine/Preview.h"
#include "vcl/ActnList.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"

namespace shell {

using rtl::String;
class TAppStrings;

class TFormCmdLine : public vcl::TForm, public engine::TCmdLineView {
public:
    explicit TFormCmdLine(rtl::TComponent* AOwner);

    // The memo becomes exactly these three lines, in this order.
    void SetMemoText(const String& ffmpeg, const String& Params, const String& fOut) override;
    void SetLang(const TAppStrings& Strings);

    vcl::TMemo* me;
    vcl::TActionList* Actions;
    vcl::TAction* actEsc;

    engine::TAppParams* Params = &engine::AppParams;

    // engine::TCmdLineView
    bool CmdLineVisible() const override { return Visible(); }
    void ShowCmdLine() override { Show(); }
    void HideCmdLine() override { Hide(); }
    void SetCmdLineCaption(const String& Text) override { SetCaption(Text); }

private:
    void FormCreate(rtl::TObject* Sender);
    void actEscExecute(rtl::TObject* Sender);
};

} // namespace shell
