// app/engine/FormProgress.h: the progress window of a conversion run: the file being converted, the
// output, the encoder's time, size, bit rate and speed, the bar, and the Abort button. It is the run's
// view; the run's line handler feeds it.
#pragma once
#include "app/engine/Conversion.h"
#include "app/engine/StyleColors.h"
#include "components/KwpLabel.h"
#include "components/KwpPanel.h"
#include "components/KwpPngButton.h"
#include "components/PlusProgressBar.h"
#include "vcl/ActnList.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"

namespace engine {

// The window's language texts (section Progress), English until a language is applied.
struct TProgressLang {
    String Caption = QStringLiteral("Conversion");
    String lblStatus = QStringLiteral("Status:");
    String lblInputFile = QStringLiteral("Input file:");
    String lblOutputFile = QStringLiteral("Output file:");
    String lblProgress = QStringLiteral("Progress:");
    String btnAbort = QStringLiteral("Abort");
    String chCloseAfterConversion = QStringLiteral("Close after conversion");
    String lblTime = QStringLiteral("Time:");
    String lblSize = QStringLiteral("Size:");
    String lblBitrate = QStringLiteral("Bitrate:");
    String lblSpeed = QStringLiteral("Speed:");
    String Close = QStringLiteral("Close"); // section MAIN
};

class TFormProgress : public vcl::TForm, public TConversionView {
public:
    explicit TFormProgress(rtl::TComponent* AOwner);

    // The run whose Abort the button and the timer call; nullptr while none is attached.
    void SetRun(TConversionRun* Run) { FRun = Run; }
    TProgressLang Lang;
    TAppParams* Params = &AppParams;
    // The colour schemes the window captures its bar's design colours into and takes its style from.
    TStyleColorSchemes* Schemes = &StyleColorSchemes;

    void LoadSettings();
    // Applies Lang (each caption through the shared caption setter).
    void SetLang();
    // The bar takes the colours of the style's scheme.
    void SetStyleColors(const String& StyleName);

    // The main window's title bar, which the run also writes while converting.
    std::function<void(const String&)> OnMainCaption;

    components::TKwpPanel* pnMain;
    components::TKwpLabel *lblStatusDesc, *lblInputFileDesc, *lblOutputFileDesc, *lblTimeDesc, *lblSizeDesc,
        *lblBitrateDesc, *lblSpeedDesc, *lblProgress;
    components::TKwpLabel *lblStatus, *lblInputFile, *lblOutputFile, *lblTime, *lblSize, *lblBitrate, *lblSpeed;
    components::TPlusProgressBar* pbFile;
    vcl::TCheckBox* chCloseAfterConversion;
    components::TKwpPngButton* btnAbort;
    vcl::TActionList* Actions;
    vcl::TAction *actAbort, *actF8;
    vcl::TTimer* tmAbort;

    // TConversionView
    void ShowProgress() override;
    void HideProgress() override;
    bool CloseAfterConversion() const override { return chCloseAfterConversion->Checked(); }
    void SetAbortCaption(const String& Text) override;
    void SetBarPosition(int Position) override { pbFile->SetPosition(Position); }
    void SetInputFile(const String& Text) override { lblInputFile->SetCaption(Text); }
    void SetOutputFile(const String& Text) override { lblOutputFile->SetCaption(Text); }
    void SetStatus(const String& Text, TColor Color) override;
    void ClearEncoderValues() override;
    void ShowEncoderValues(const TEncoderProgress& Values, const String& TimeText) override;
    void SetStatusLine(const String& Text, int Percent) override;
    void SetProgressCaption(const String& Text) override { SetCaption(Text); }
    void SetAppTitle(const String& Text) override;
    void SetMainCaption(const String& Text) override;
    void Message(TRunMessageKind Kind, const String& Text) override;
    bool AskYesNo(const String& Text) override;
    void ProcessMessages() override;

private:
    void actAbortExecute(rtl::TObject* Sender);
    void actF8Execute(rtl::TObject* Sender);
    void tmAbortTimer(rtl::TObject* Sender);
    void FormCreate(rtl::TObject* Sender);
    void FormClose(rtl::TObject* Sender, vcl::TCloseAction& Action);
    bool Converting() const { return FRun && FRun->bConverting; }

    TConversionRun* FRun = nullptr;
};

} // namespace engine
