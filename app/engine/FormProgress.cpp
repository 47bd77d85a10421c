#include "app/engine/FormProgress.h"

#include "app/engine/ProcsControls.h"
#include "rtl/IniFiles.h"

#include <QFileInfo>

namespace engine {

using namespace components;

namespace {
constexpr int DesignClientWidth = 599, DesignClientHeight = 226;
constexpr int DescWidth = 110, ValueLeft = 8 + DescWidth + 12, RowHeight = 22;
} // namespace

TFormProgress::TFormProgress(rtl::TComponent* AOwner) : vcl::TForm(AOwner) {
    SetFormStyle(vcl::fsStayOnTop);
    SetPosition(vcl::poOwnerFormCenter);
    SetBorderIcons(vcl::TBorderIcons{vcl::biSystemMenu});
    SetClientWidth(DesignClientWidth);
    SetClientHeight(DesignClientHeight);

    pnMain = new TKwpPanel(this);
    pnMain->SetParent(this);
    pnMain->SetBounds(0, 0, DesignClientWidth, DesignClientHeight);
    // A plain face, no gradient and no border.
    pnMain->Appearance()->SetDrawGradient(false);
    pnMain->Appearance()->SetDrawBorder(false);

    auto label = [&](int row, bool desc) {
        auto* l = new TKwpLabel(this);
        l->SetParent(pnMain);
        l->SetAutoSize(false);
        l->SetShowAccelChar(false);
        l->SetLayout(vcl::tlCenter);
        const int top = 10 + row * RowHeight;
        if (desc) {
            l->SetAlignment(vcl::taRightJustify);
            l->SetBounds(8, top, DescWidth, 16);
        } else {
            l->SetEllipsisPosition(vcl::epEndEllipsis);
            l->SetBounds(ValueLeft, top, DesignClientWidth - ValueLeft - 10, 16);
        }
        return l;
    };
    TKwpLabel** rows[][2] = {{&lblStatusDesc, &lblStatus},   {&lblInputFileDesc, &lblInputFile},
                             {&lblOutputFileDesc, &lblOutputFile}, {&lblTimeDesc, &lblTime},
                             {&lblSizeDesc, &lblSize},       {&lblBitrateDesc, &lblBitrate},
                             {&lblSpeedDesc, &lblSpeed}};
    int row = 0;
    for (auto& pair : rows) {
        *pair[0] = label(row, true);
        *pair[1] = label(row, false);
        (*pair[0])->AnchoredControls()->Right()->SetSpacing(12);
        (*pair[0])->AnchoredControls()->Right()->SetControl(*pair[1]);
        ++row;
    }
    lblOutputFile->Font()->SetStyle(vcl::TFontStyles{vcl::fsBold});
    lblSpeed->Font()->SetStyle(vcl::TFontStyles{vcl::fsBold});
    lblSpeed->Font()->SetColor(0x56AA3E);

    lblProgress = label(row, true);
    pbFile = new TPlusProgressBar(this);
    pbFile->SetParent(pnMain);
    pbFile->SetBounds(ValueLeft, 10 + row * RowHeight - 2, DesignClientWidth - ValueLeft - 10, 20);
    pbFile->SetStacked(true);
    pbFile->SetSteps(4);
    pbFile->SetRounded(false);
    pbFile->Font()->SetStyle(vcl::TFontStyles{vcl::fsBold});
    lblProgress->AnchoredControls()->Right()->SetSpacing(12);
    lblProgress->AnchoredControls()->Right()->SetDeltaPosY(-2);
    lblProgress->AnchoredControls()->Right()->SetControl(pbFile);

    // Each description keeps the next one right-aligned below it, so the column moves as one.
    TKwpLabel* descs[] = {lblStatusDesc, lblInputFileDesc, lblOutputFileDesc, lblTimeDesc,
                          lblSizeDesc,   lblBitrateDesc, lblSpeedDesc, lblProgress};
    for (size_t i = 0; i + 1 < std::size(descs); ++i) {
        TKwpBottomAnchoredControl* below = descs[i]->AnchoredControls()->Bottom();
        below->SetPosition(bcpBottomRight);
        below->SetSpacing(6);
        below->SetControl(descs[i + 1]);
    }

    chCloseAfterConversion = new vcl::TCheckBox(this);
    chCloseAfterConversion->SetParent(pnMain);
    chCloseAfterConversion->SetBounds(ValueLeft, DesignClientHeight - 30, 250, 20);
    chCloseAfterConversion->SetChecked(true);

    Actions = new vcl::TActionList(this);
    actAbort = new vcl::TAction(this);
    actAbort->SetActionList(Actions);
    actAbort->SetOnExecute(rtl::TNotifyEvent(this, &TFormProgress::actAbortExecute));
    actF8 = new vcl::TAction(this);
    actF8->SetActionList(Actions);
    actF8->SetShortCut(VK_F8);
    actF8->SetOnExecute(rtl::TNotifyEvent(this, &TFormProgress::actF8Execute));

    btnAbort = new TKwpPngButton(this);
    btnAbort->SetParent(pnMain);
    btnAbort->SetBounds(DesignClientWidth - 100, DesignClientHeight - 34, 90, 26);
    btnAbort->SetAction(actAbort);

    tmAbort = new vcl::TTimer(this);
    tmAbort->SetEnabled(false);
    tmAbort->SetInterval(1000);
    tmAbort->SetOnTimer(rtl::TNotifyEvent(this, &TFormProgress::tmAbortTimer));

    OnCreate = rtl::TNotifyEvent(this, &TFormProgress::FormCreate);
    OnClose = vcl::TCloseEvent(this, &TFormProgress::FormClose);
}

void TFormProgress::FormCreate(rtl::TObject*) {
    // The height is fixed; only the width may grow.
    Constraints()->SetMinHeight(Height());
    Constraints()->SetMaxHeight(Height());
    Constraints()->SetMinWidth(600);
    pnMain->SetAlign(vcl::alClient);
    for (TKwpLabel* l : {lblStatus, lblOutputFile, lblInputFile, lblTime, lblSize, lblBitrate, lblSpeed})
        l->SetCaption(String());
    pbFile->SetPosition(0);
    LoadSettings();
    SetLang();
    actAbort->SetCaption(Lang.Close);
    btnAbort->SetCaption(Lang.Close);
    // The plain Windows style shows the bar as designed.
    TStyleColorScheme& windows = (*Schemes)[WindowsSchemeIndex];
    windows.ProgressBackgroundColor = pbFile->BackgroundColor();
    windows.ProgressBorderColor = pbFile->BorderColor();
    windows.ProgressLevel0Color = pbFile->Level0Color();
    windows.ProgressLevel0ColorTo = pbFile->Level0ColorTo();
    windows.ProgressLevel1Color = pbFile->Level1Color();
    windows.ProgressLevel1ColorTo = pbFile->Level1ColorTo();
    windows.ProgressLevel2Color = pbFile->Level2Color();
    windows.ProgressLevel2ColorTo = pbFile->Level2ColorTo();
    SetStyleColors(Params->StyleName);
    SetButtonFonts(btnAbort, QStringLiteral("Segoe UI"), 8);
}

void TFormProgress::SetStyleColors(const String& StyleName) {
    SetProgressBarStyleColors(pbFile, GetStyleColors(StyleName, *Schemes));
}

void TFormProgress::LoadSettings() {
    if (Params->IniName.isEmpty() || !QFileInfo(Params->IniName).isFile())
        return;
    rtl::TIniFile ini(Params->IniName);
    const String section = QStringLiteral("PROGRESS");
    SetWidth(ini.ReadInteger(section, QStringLiteral("Width"), Width()));
    chCloseAfterConversion->SetChecked(
        ini.ReadBool(section, QStringLiteral("CloseAfterConversion"), chCloseAfterConversion->Checked()));
}

void TFormProgress::SetLang() {
    SetCaption(Lang.Caption);
    SetControlCaption(lblStatusDesc, Lang.lblStatus);
    SetControlCaption(lblInputFileDesc, Lang.lblInputFile);
    SetControlCaption(lblOutputFileDesc, Lang.lblOutputFile);
    SetControlCaption(lblProgress, Lang.lblProgress);
    SetControlCaption(btnAbort, Lang.btnAbort);
    SetControlCaption(chCloseAfterConversion, Lang.chCloseAfterConversion);
    SetControlCaption(lblTimeDesc, Lang.lblTime);
    SetControlCaption(lblSizeDesc, Lang.lblSize);
    SetControlCaption(lblBitrateDesc, Lang.lblBitrate);
    SetControlCaption(lblSpeedDesc, Lang.lblSpeed);
}

void TFormProgress::actAbortExecute(rtl::TObject*) {
    if (FRun && FRun->bAbortRequested)
        return;
    if (Converting()) {
        FRun->Abort();
        tmAbort->SetEnabled(true);
        return;
    }
    Hide();
}

void TFormProgress::actF8Execute(rtl::TObject*) {
    if (!Converting())
        Close();
}

void TFormProgress::tmAbortTimer(rtl::TObject*) {
    tmAbort->SetEnabled(false);
    if (FRun)
        FRun->AbortTimerFired();
}

void TFormProgress::FormClose(rtl::TObject*, vcl::TCloseAction&) {
    if (Converting())
        actAbort->Execute();
}

void TFormProgress::ShowProgress() { Show(); }
void TFormProgress::HideProgress() {
    tmAbort->SetEnabled(false);
    Hide();
}

void TFormProgress::SetAbortCaption(const String& Text) {
    actAbort->SetCaption(Text);
    btnAbort->SetCaption(Text);
}

void TFormProgress::SetStatus(const String& Text, TColor Color) {
    lblStatus->Font()->SetColor(Color < 0 ? vcl::clWindowText : vcl::TColor(Color));
    lblStatus->SetCaption(Text);
}

void TFormProgress::ClearEncoderValues() {
    for (TKwpLabel* l : {lblTime, lblSize, lblBitrate, lblSpeed})
        l->SetCaption(String());
}

void TFormProgress::ShowEncoderValues(const TEncoderProgress& Values, const String& TimeText) {
    if (!TimeText.isEmpty()) lblTime->SetCaption(TimeText);
    if (!Values.Size.isEmpty()) lblSize->SetCaption(Values.Size);
    if (!Values.Bitrate.isEmpty()) lblBitrate->SetCaption(Values.Bitrate);
    if (!Values.Speed.isEmpty()) lblSpeed->SetCaption(Values.Speed);
}

void TFormProgress::SetStatusLine(const String& Text, int) {
    lblStatus->SetCaption(Text);
    lblStatus->Update();
}

void TFormProgress::SetAppTitle(const String& Text) { vcl::Application->SetTitle(Text); }

void TFormProgress::SetMainCaption(const String& Text) {
    if (OnMainCaption) OnMainCaption(Text);
}

// The boxes carry the short name, not the application title, which holds the run's progress until its end.
void TFormProgress::Message(TRunMessageKind Kind, const String& Text) {
    const UINT icon = Kind == rmError ? MB_ICONERROR : Kind == rmWarning ? MB_ICONWARNING | MB_TOPMOST : MB_ICONINFORMATION;
    vcl::Application->MessageBox(Text, String::fromUtf16(AppShortName), MB_OK | icon);
}

bool TFormProgress::AskYesNo(const String& Text) {
    return vcl::Application->MessageBox(Text, String::fromUtf16(AppShortName), MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void TFormProgress::ProcessMessages() { vcl::Application->ProcessMessages(); }

} // namespace engine
