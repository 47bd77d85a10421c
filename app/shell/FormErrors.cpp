#include "app/shell/FormErrors.h"

#include "app/engine/Procs.h"
#include "app/engine/ProcsControls.h"
#include "app/shell/AppStrings.h"
#include "app/shell/ButtonStyles.h"
#include "rtl/Encoding.h"
#include "rtl/Files.h"

namespace shell {

namespace {

constexpr int StripHeight = 40;

void TakeMonospaceFont(vcl::TMemo* Memo, const engine::TAppParams& Params) {
    if (!Params.MonospaceFont.Name.isEmpty()) Memo->Font()->SetName(Params.MonospaceFont.Name);
    if (Params.MonospaceFont.Size > 0) Memo->Font()->SetSize(Params.MonospaceFont.Size);
}

// The window's parts shared by both: a memo over a bottom strip of buttons, actions, Esc.
template <class TForm>
vcl::TMemo* NewMemo(TForm* Form) {
    auto* me = new vcl::TMemo(Form);
    me->SetParent(Form);
    me->SetAlign(vcl::alClient);
    return me;
}

components::TKwpPanel* NewStrip(vcl::TForm* Form) {
    auto* strip = new components::TKwpPanel(Form);
    strip->SetParent(Form);
    strip->SetAlign(vcl::alBottom);
    strip->SetHeight(StripHeight);
    strip->Appearance()->SetDrawBorder(true);
    return strip;
}

template <class TForm>
vcl::TAction* NewAction(TForm* Form, vcl::TActionList* List, const char16_t* Caption,
                        void (TForm::*Handler)(rtl::TObject*)) {
    auto* a = new vcl::TAction(Form);
    a->SetActionList(List);
    a->SetCaption(String::fromUtf16(Caption));
    a->SetOnExecute(rtl::TNotifyEvent(Form, Handler));
    return a;
}

components::TKwpPngButton* NewButton(vcl::TForm* Form, components::TKwpPanel* Strip, vcl::TAction* Action,
                                     int Left) {
    auto* b = new components::TKwpPngButton(Form);
    b->SetParent(Strip);
    b->SetBounds(Left, 7, 110, 26);
    b->SetAction(Action);
    return b;
}

} // namespace

// ---- error log ----------------------------------------------------------------------------------------

TFormErrors::TFormErrors(rtl::TComponent* AOwner) : vcl::TForm(AOwner) {
    SetFormStyle(vcl::fsStayOnTop);
    SetPosition(vcl::poOwnerFormCenter);
    SetBorderIcons(vcl::TBorderIcons{vcl::biSystemMenu});
    SetClientWidth(620);
    SetClientHeight(360);
    SetCaption(QStringLiteral("Errors"));

    pnBottom = NewStrip(this);
    me = NewMemo(this);
    me->SetScrollBars(vcl::ssVertical);

    Actions = new vcl::TActionList(this);
    actClearLog = NewAction(this, Actions, u"Clear", &TFormErrors::actClearLogExecute);
    actSaveLog = NewAction(this, Actions, u"Save...", &TFormErrors::actSaveLogExecute);
    actClose = NewAction(this, Actions, u"Close", &TFormErrors::actCloseExecute);
    actEsc = NewAction(this, Actions, u"", &TFormErrors::actCloseExecute);
    actEsc->SetShortCut(VK_ESCAPE);
    btnClearLog = NewButton(this, pnBottom, actClearLog, 8);
    btnSaveLog = NewButton(this, pnBottom, actSaveLog, 124);
    btnClose = NewButton(this, pnBottom, actClose, 620 - 8 - 110);
    btnClose->SetAnchors(vcl::TAnchors{vcl::akTop, vcl::akRight});

    dlgSaveLog = new vcl::TSaveDialog(this);
    dlgSaveLog->SetDefaultExt(QStringLiteral("log"));
    dlgSaveLog->SetOptions(dlgSaveLog->Options().Include(vcl::ofOverwritePrompt));

    OnCreate = rtl::TNotifyEvent(this, &TFormErrors::FormCreate);
}

void TFormErrors::FormCreate(rtl::TObject*) {
    me->Lines()->Clear();
    TakeMonospaceFont(me, *Params);
    Constraints()->SetMinWidth(400);
    Constraints()->SetMinHeight(200);
    dlgSaveLog->SetInitialDir(rtl::ExtractFilePath(rtl::ParamStr(0)));
    dlgSaveLog->SetFileName(QStringLiteral("TunewrightApp_Errors.log"));
    for (auto* b : {btnClearLog, btnSaveLog, btnClose}) components::SetButtonFonts(b, QStringLiteral("Segoe UI"), 8);
    if (AppStrings) SetLang(*AppStrings);
    SetStyleColors(Params->StyleName);
}

void TFormErrors::SetLang(const TAppStrings& S) {
    SetCaption(S.Errors.Caption);
    engine::SetControlCaption(actClose, S.Errors.actClose, true);
    engine::SetControlCaption(actSaveLog, S.Errors.actSaveLog, true);
    engine::SetControlCaption(actClearLog, S.Errors.actClearLog, true);
    dlgSaveLog->SetFilter(S.Errors.dlgSaveLogFilter + QStringLiteral("|*.log"));
}

void TFormErrors::SetStyleColors(const String& StyleName) {
    SetButtonsStyle({btnClearLog, btnSaveLog, btnClose}, StyleName, TemplateButton);
    pnBottom->Appearance()->Borders()->Top()->SetVisible(engine::IsSystemStyleName(StyleName));
    pnBottom->Invalidate();
}

void TFormErrors::ShowErrorLog(const engine::TErrorLog& ALog, bool Modal) {
    me->Lines()->Assign(const_cast<rtl::TStringList*>(&ALog.Lines));
    if (Modal)
        ShowModal();
    else
        Show();
}

void TFormErrors::actClearLogExecute(rtl::TObject*) {
    me->Lines()->Clear();
    if (Log) Log->Lines.Clear(); // the entry counter goes on: later entries keep numbering the run
}

void TFormErrors::actSaveLogExecute(rtl::TObject*) {
    if (!dlgSaveLog->Execute()) return;
    me->Lines()->SaveToFile(dlgSaveLog->FileName(), rtl::TEncoding::UTF8());
}

void TFormErrors::actCloseExecute(rtl::TObject*) {
    Close();
}

// ---- tools information --------------------------------------------------------------------------------

TFormToolsInfo::TFormToolsInfo(rtl::TComponent* AOwner) : vcl::TForm(AOwner) {
    SetFormStyle(vcl::fsStayOnTop);
    SetPosition(vcl::poOwnerFormCenter);
    SetBorderIcons(vcl::TBorderIcons{vcl::biSystemMenu});
    SetClientWidth(640);
    SetClientHeight(420);

    pnBottom = NewStrip(this);
    me = NewMemo(this);
    me->SetReadOnly(true);
    me->SetScrollBars(vcl::ssBoth);
    me->SetWordWrap(false);

    Actions = new vcl::TActionList(this);
    actClose = NewAction(this, Actions, u"Close", &TFormToolsInfo::actCloseExecute);
    actEsc = NewAction(this, Actions, u"", &TFormToolsInfo::actCloseExecute);
    actEsc->SetShortCut(VK_ESCAPE);
    actSelectAll = NewAction(this, Actions, u"", &TFormToolsInfo::actSelectAllExecute);
    actSelectAll->SetShortCut(vcl::ShortCut('A', vcl::TShiftState{vcl::ssCtrl}));
    btnClose = NewButton(this, pnBottom, actClose, 640 - 8 - 110);
    btnClose->SetAnchors(vcl::TAnchors{vcl::akTop, vcl::akRight});

    OnCreate = rtl::TNotifyEvent(this, &TFormToolsInfo::FormCreate);
}

void TFormToolsInfo::FormCreate(rtl::TObject*) {
    SetCaption(QStringLiteral("Tools info"));
    me->Lines()->Clear();
    TakeMonospaceFont(me, *Params);
    components::SetButtonFonts(btnClose, QStringLiteral("Segoe UI"), 8);
    if (AppStrings) SetLang(*AppStrings);
    SetStyleColors(Params->StyleName);
}

void TFormToolsInfo::SetLang(const TAppStrings& S) {
    SetCaption(S.ToolsInfo.Caption);
    engine::SetControlCaption(actClose, S.ToolsInfo.actClose, true);
}

void TFormToolsInfo::SetStyleColors(const String& StyleName) {
    SetButtonsStyle({btnClose}, StyleName, TemplateButton);
    pnBottom->Appearance()->Borders()->Top()->SetVisible(engine::IsSystemStyleName(StyleName));
    pnBottom->Invalidate();
}

void TFormToolsInfo::actCloseExecute(rtl::TObject*) {
    Close();
}

void TFormToolsInfo::actSelectAllExecute(rtl::TObject*) {
    me->SelectAll();
}

} // namespace shell
