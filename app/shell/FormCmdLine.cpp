#include "app/shell/FormCmdLine.h"

#include "app/shell/AppStrings.h"
#include "win/windows.h"

namespace shell {

namespace {
// RGB(253,250,225): a pale note colour that the window's own colour copies.
constexpr vcl::TColor NoteColor = 0x00E1FAFD;
constexpr int DesignClientWidth = 640, DesignClientHeight = 180;
} // namespace

QStringList TCmdLineMemo::Lines() {
    String text = Text();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text.split(u'\n');
}

void TCmdLineMemo::CreateParams(vcl::TCreateParams& Params) {
    vcl::TCustomEdit::CreateParams(Params);
    // Long parameter lines wrap instead of scrolling sideways.
    Params.Style &= ~DWORD(ES_AUTOHSCROLL);
    Params.Style |= ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL;
}

TFormCmdLine::TFormCmdLine(rtl::TComponent* AOwner) : vcl::TForm(AOwner) {
    SetFormStyle(vcl::fsStayOnTop);
    SetPosition(vcl::poOwnerFormCenter);
    SetBorderIcons(vcl::TBorderIcons{vcl::biSystemMenu});
    SetClientWidth(DesignClientWidth);
    SetClientHeight(DesignClientHeight);
    SetCaption(QStringLiteral("FFmpeg command-line parameters"));

    me = new TCmdLineMemo(this);
    me->SetParent(this);
    me->SetAlign(vcl::alClient);
    me->SetReadOnly(true);
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
    // One assignment: the memo changes once, whatever the texts hold.
    me->SetText(ffmpeg + QStringLiteral("\r\n") + Params + QStringLiteral("\r\n") + fOut);
}

void TFormCmdLine::SetLang(const TAppStrings& Strings) {
    SetCaption(Strings.Main.CommandLineInfo);
}

void TFormCmdLine::actEscExecute(rtl::TObject*) {
    Close();
}

} // namespace shell
