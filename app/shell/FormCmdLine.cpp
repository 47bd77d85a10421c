#include "app/shell/FormCmdLine.h"

#include "app/shell/AppStrings.h"

namespace shell {

namespace {
// RGB(253,250,225): a pale note colour that the window's own colour copies.
constexpr vcl::TColor NoteColor = 0x00E1FAFD;
constexpr int DesignClientWidth = 640, DesignClientHeight = 180;
} // namespace

TFormCmdLine::TFormCmdLine(rtl::TComponent* AOwner) : vcl::TForm(AOwner) {
    SetFormStyle(vcl::fsStayOnTop);
    SetPosition(vcl::poOwnerFormCenter);
    SetBorderIcons(vcl::TBorderIcons{vcl::biSystemMenu});
    SetClientWidth(DesignClientWidth);
    SetClientHeight(DesignClientHeight);
    SetCaption(QStringLiteral("FFmpeg command-line parameters"));

    me = new vcl::TMemo(this);
    me->SetParent(this);
    me->SetAlign(vcl::alClient);
    me->SetReadOnly(true);
    me->SetScrollBars(vcl::ssVertical);
    me->SetBorderStyle(vcl::bsNone);
    me->SetColor(NoteColor);
    SetColor(me->Color());

    Actions = new vcl::TActionList(this);
    actEsc = new vcl::TAction(this);
    actEsc->SetActionList(Actions);
    actEsc->SetShortCut(VK_ESCAPE);
    actEsc->SetOnExecute(rtl::TNotifyEvent(this, &TFormCmdLine::actEscExecute));

    OnCreate = rtl::TNotifyEvent(this, &TFormCmdLine::FormCreate);
}

void TFormCmdLine::FormCreate(rtl::TObject*) {
    if (!Params->MonospaceFont.Name.isEmpty()) me->Font()->SetName(Params->MonospaceFont.Name);
    if (Params->MonospaceFont.Size > 0) me->Font()->SetSize(Params->MonospaceFont.Size);
    Constraints()->SetMinWidth(500);
    Constraints()->SetMinHeight(150);
}

void TFormCmdLine::SetMemoText(const String& ffmpeg, const String& Params, const String& fOut) {
    rtl::TStrings* lines = me->Lines();
    lines->BeginUpdate();
    try {
        lines->Clear();
        lines->Add(ffmpeg);
        lines->Add(Params);
        lines->Add(fOut);
    } catch (...) {
        lines->EndUpdate();
        throw;
    }
    lines->EndUpdate();
}

void TFormCmdLine::SetLang(const TAppStrings& Strings) {
    SetCaption(Strings.Main.CommandLineInfo);
}

void TFormCmdLine::actEscExecute(rtl::TObject*) {
    Close();
}

} // namespace shell
